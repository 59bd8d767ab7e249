// The data-aware inspector: the rows show the fields of the current record of
// a dataset and write edits back into them, following the dataset's edit
// cycle. Rows are designed in the window description (DefaultFields False)
// or made one per visible field with the class the field-type row registry
// names (DefaultFields True).
#pragma once

#include "inspector/kxinspector.h"
#include "platform/db/db.h"

class TkxDBInspector;

enum TkxDBInspectorOption {
  dioAutoBandCount, dioAutoWidth, dioBandSizing, dioCancelOnExit, dioColumnSizing, dioDrawEndEllipsis,
  dioDynamicColumnSizing, dioEditing, dioEnterThrough, dioNoCancel, dioRowAutoHeight, dioRowSizing,
  dioStoreToRegistry, dioTabs, dioTabThrough
};
PV_ENUM_NAMES(TkxDBInspectorOption,
              "dioAutoBandCount dioAutoWidth dioBandSizing dioCancelOnExit dioColumnSizing dioDrawEndEllipsis "
              "dioDynamicColumnSizing dioEditing dioEnterThrough dioNoCancel dioRowAutoHeight dioRowSizing "
              "dioStoreToRegistry dioTabs dioTabThrough")
using TkxDBInspectorOptions = TSet<TkxDBInspectorOption>;

// The internal option word of a published option set.
TkxInspectorOptions kxDBInspectorInternalOptions(TkxDBInspectorOptions Value);

class TkxInspectorDataLink : public TDataLink {
  PV_CLASS(TkxInspectorDataLink, TDataLink)
 public:
  explicit TkxInspectorDataLink(TkxDBInspector* AInspector);
  TkxDBInspector* Inspector() const { return FInspector; }
  bool Modified = false;
  void AddField(const AnsiString& FieldName);
  void ClearFields() { FFields.clear(); }
  int FieldCount() const { return int(FFields.size()); }
  TField* Fields(int Index) const;
  void Reset();
  void PostEditedValue();
  void CallRecordChanged(TField* Field) { RecordChanged(Field); }
  void CallUpdateData() { UpdateData(); }

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  TkxDBInspector* FInspector;
  std::vector<Integer> FFields;
  bool FDataSetChanged = false;
};

class TkxDBInspector : public TCustomkxInspectorControl {
  PV_CLASS(TkxDBInspector, TCustomkxInspectorControl)
 public:
  explicit TkxDBInspector(TComponent* AOwner);
  ~TkxDBInspector() override;

  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  bool DefaultFields() const { return FDefaultFields; }
  void SetDefaultFields(bool Value);
  TkxDBInspectorOptions Options() const { return FOptions; }
  void SetOptions(TkxDBInspectorOptions Value);
  TkxInspectorDataLink* DataLink() const { return FDataLink.get(); }
  bool InEdit() const { return FInEdit; }

  void FocusRowOfField(TField* Field);
  TField* FocusedField();
  void DataRecordChanged(bool DataSetWide);
  bool IsLoading() const { return ComponentState().Contains(csLoading); }

  virtual void BuildFieldList();
  virtual void DataActiveChanged(bool Active);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CanEditModify() override;
  bool CanEditAcceptKey(char Key) override;
  bool AcquireFocus() override;
  TkxInspectorNode* CreateNode() override;
  void RowsChanged() override;
  bool CanShowEditor() override;
  void PostEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) override;
  TClass GetDefaultRowClass() override;
  bool HasLayoutData() override { return !FDefaultFields; }
  bool CompareRowValue(const Variant& Value, TkxInspectorRow* Row) override;
  void ClearRows() override;

 protected:
  friend class TkxInspectorDataLink;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void CMExit(TMessage& Message);

 private:
  std::unique_ptr<TkxInspectorDataLink> FDataLink;
  bool FDefaultFields = true;
  TkxDBInspectorOptions FOptions;
  bool FInEdit = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
  END_MESSAGE_MAP(TCustomkxInspectorControl)
};

// The field binding that every data-aware row shares: the field name, the
// field of the inspector's dataset and the answers that follow the field.
class TkxFieldBinding {
 public:
  AnsiString FieldName;
  TField* Field = nullptr;
  bool AsStringText = false;  // the edit text is the field's AsString (memo rows)
  // The row's inspector has a data link and it is active.
  static bool Live(TkxInspectorRow* Row);
  static TkxDBInspector* DBInspector(TkxInspectorRow* Row);
  void SetFieldName(TkxInspectorRow* Row, const AnsiString& Value);
  AnsiString DisplayText(TkxInspectorRow* Row) const;
  AnsiString EditText(TkxInspectorRow* Row) const;
  void SetEditText(TkxInspectorRow* Row, const AnsiString& Text) const;
  int DataMaxLength() const;
  AnsiString DataEditMask(TkxInspectorRow* Row) const;
  AnsiString DefaultCaption() const;
  bool DefaultReadOnly() const;
  bool CanModify(TkxInspectorRow* Row, bool BlobAllowed) const;
  bool IsValidChar(TkxInspectorRow* Row, char Key) const;
};

// Declares the field-binding overrides of a data-aware row class.
#define KX_DB_ROW_BINDING                                                                            \
 public:                                                                                             \
  TkxFieldBinding Binding;                                                                           \
  void GetDisplayText(AnsiString& Text) override { Text = Binding.DisplayText(this); }              \
  int GetDataMaxLength() override { return Binding.DataMaxLength(); }                                \
  void GetDataEditMask(AnsiString& Mask) override { Mask = Binding.DataEditMask(this); }            \
  void GetEditText(AnsiString& Text) override { Text = Binding.EditText(this); }                    \
  void SetEditText(const AnsiString& Text) override { Binding.SetEditText(this, Text); }            \
  TField* GetField() override { return Binding.Field; }                                              \
  void SetField(TField* Value) override { Binding.Field = Value; }                                   \
  void GetFieldName(AnsiString& Name) override { Name = Binding.FieldName; }                        \
  void SetFieldName(const AnsiString& Value) override { Binding.SetFieldName(this, Value); }        \
  void GetDefaultCaption(AnsiString& Caption) override { Caption = Binding.DefaultCaption(); }      \
  int GetDefaultMaxLength() override { return Binding.DataMaxLength(); }                             \
  bool GetDefaultReadOnly() override { return Binding.DefaultReadOnly(); }                           \
  bool IsValidChar(char Key) override { return Binding.IsValidChar(this, Key); }                     \
  AnsiString GetFieldNameProp() { return Binding.FieldName; }                                        \
  void SetFieldNameProp(const AnsiString& Value) { SetFieldName(Value); }                            \
                                                                                                     \
 private:

class TkxInspectorDBRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorDBRow, TkxInspectorRow)
  KX_DB_ROW_BINDING
 public:
  explicit TkxInspectorDBRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  void Assign(TPersistent* Source) override;
  bool CanModify() override { return Binding.CanModify(this, false); }
};

// The field-type row registry.
struct TkxFieldRowClassEntry {
  TClass RowClass = nullptr;
  Integer Priority = 0;
};
using TkxFieldRowProposer = void (*)(TFieldType FieldType, TFieldKind FieldKind, TkxFieldRowClassEntry& Entry);
constexpr int kxFieldRowTypeCount = 22;
void RegisterFieldRowClasses(TkxFieldRowProposer Proposer);
TClass GetFieldRowClass(TField* Field);
void ResetFieldRowClasses();

void kxInitDBInspector();
void kxDoneDBInspector();
