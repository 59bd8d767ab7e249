// Data-aware controls bound to one field of a dataset through a data source:
// TDBEdit (a single-line edit), TDBMemo (a multi-line edit) and TDBText (a
// read-only text shown without a window).
//
// A control shows the current record's value of its field and follows every
// scroll and change of the dataset. Typing puts the dataset into edit state
// (when the source allows AutoEdit and the field can be modified); the text is
// written back to the field when the record is updated (leaving the control,
// posting, scrolling). Escape restores the field's value.
#pragma once
#include <memory>
#include "platform/controls/controls.h"
#include "platform/controls/stdctrls.h"
#include "platform/db/db.h"
#include "platform/db/dbtypes.h"

// Connects the data-access layer to the control library (focusing the control
// of a field). Called by the control library's start-up; harmless to repeat.
void InitDBControls();
// Registers TDBEdit, TDBMemo, TDBText and TDBGrid with their published
// properties, for window descriptions.
void InitDBCtrlsProps();

// A single-line edit showing one field.
class TDBEdit : public TCustomEdit {
  PV_CLASS(TDBEdit, TCustomEdit)
 public:
  explicit TDBEdit(TComponent* AOwner);
  ~TDBEdit() override;

  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TField* Field() const { return FDataLink->Field(); }
  // Read-only for the data: the edit never puts the dataset into edit state.
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMGetDataLink(TMessage& Message);
  void WMCutPaste(TMessage& Message);
  void WMImeChar(TMessage& Message);
  void SetFocused(bool Value);

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FFocused = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_IME_CHAR, TMessage, WMImeChar)
  END_MESSAGE_MAP(TCustomEdit)
};

// A multi-line edit showing one field. Text and memo fields are shown whole;
// with AutoDisplay off a memo field shows "(label)" until Enter or a double
// click loads it.
class TDBMemo : public TDBEdit {
  PV_CLASS(TDBMemo, TDBEdit)
 public:
  explicit TDBMemo(TComponent* AOwner);
  bool AutoDisplay() const { return FAutoDisplay; }
  void SetAutoDisplay(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Loads the field's whole text when AutoDisplay is off.
  void LoadMemo();
  void CreateParams(TCreateParams& Params) override;

 protected:
  void KeyPress(char& Key) override;
  void DblClick() override;
  void MemoDataChange(TObject* Sender);
  void MemoUpdateData(TObject* Sender);
  void WMGetDlgCode(TMessage& Message);

  bool FAutoDisplay = true;
  bool FWordWrap = true;
  bool FMemoLoaded = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TDBEdit)
};

// The field's display text, drawn like a label.
class TDBText : public TGraphicControl {
  PV_CLASS(TDBText, TGraphicControl)
 public:
  explicit TDBText(TComponent* AOwner);
  ~TDBText() override;

  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TField* Field() const { return FDataLink->Field(); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  void SetAutoSize(bool Value) override;
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  void DataChange(TObject* Sender);
  void CMGetDataLink(TMessage& Message);
  void AdjustBounds();

  std::unique_ptr<TFieldDataLink> FDataLink;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FWordWrap = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
  END_MESSAGE_MAP(TGraphicControl)
};

// ---- lookup lists ----

class TDBLookupListBox;

// The link of a lookup list to the dataset of its rows.
class TLookupListDataLink : public TDataLink {
  PV_CLASS(TLookupListDataLink, TDataLink)
 public:
  explicit TLookupListDataLink(TDBLookupListBox* AList) : FList(AList) {}

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void RecordChanged(TField* Field) override;

 private:
  TDBLookupListBox* FList;
};

// The rows of a dataset (ListSource), each shown by its ListField; the row
// whose KeyField holds KeyValue is the selected one. Selecting a row by mouse
// or key moves the dataset to it and takes its key as KeyValue.
class TDBLookupListBox : public TCustomControl {
  PV_CLASS(TDBLookupListBox, TCustomControl)
 public:
  explicit TDBLookupListBox(TComponent* AOwner);
  ~TDBLookupListBox() override;

  TDataSource* ListSource() const { return FListLink->DataSource(); }
  // Raises EDatabaseError (the list is left without a source) when the
  // dataset has no KeyField or ListField.
  void SetListSource(TDataSource* Value);
  const AnsiString& KeyField() const { return FKeyField; }
  void SetKeyField(const AnsiString& Value);
  const AnsiString& ListField() const { return FListField; }
  void SetListField(const AnsiString& Value);
  const Variant& KeyValue() const { return FKeyValue; }
  void SetKeyValue(const Variant& Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  int ItemHeight() const;
  // The selected row (0-based in the dataset), -1 for none; the first row shown.
  int SelectedIndex() const { return FSelected; }
  int TopIndex() const { return FTop; }
  int RecordCount() const;
  AnsiString RowText(int Index);
  // The frame's width on each side (the platform's border).
  virtual int GetBorderSize() const;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TLookupListDataLink;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void ListDataChanged();
  void SelectIndex(int Index);
  void ScrollTo(int Top);
  void UpdateScrollBar();
  TField* Field(const AnsiString& Name) const;
  // Runs F with the dataset on row Index (restored afterwards).
  Variant ValueAt(int Index, const AnsiString& FieldName, bool Display);

  std::unique_ptr<TLookupListDataLink> FListLink;
  AnsiString FKeyField, FListField;
  Variant FKeyValue;
  int FRowCount = 7;
  int FSelected = -1;
  int FTop = 0;
  bool FReading = false;

  void WMVScroll(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }
  void CMFontChanged(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
    PV_MESSAGE_HANDLER(WM_MOUSEWHEEL, TMessage, WMMouseWheel)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
  END_MESSAGE_MAP(TCustomControl)
};

// The list part of a lookup combo box: a frameless, topmost tool window that
// never takes the activation.
class TPopupDataList : public TDBLookupListBox {
  PV_CLASS(TPopupDataList, TDBLookupListBox)
 public:
  explicit TPopupDataList(TComponent* AOwner);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
  END_MESSAGE_MAP(TDBLookupListBox)
};

