// The data-aware parts of the in-place editors: how a blob field is shown and
// stored, whether a lookup field's keys can be changed, and the lookup
// editor, which shows a lookup field's text, drops down the records of the
// lookup dataset, searches them as the user types, steps through them with
// the wheel, and writes the chosen record's key into the key field.
#pragma once

#include "inplace/kxblob.h"
#include "inplace/kxdropdown.h"
#include "platform/controls/dbctrls.h"
#include "platform/db/db.h"

enum TkxBlobKind { bkAuto, bkBlob, bkMemo, bkPict, bkOle };
PV_ENUM_NAMES(TkxBlobKind, "bkAuto bkBlob bkMemo bkPict bkOle")

// The edit kind of a blob field: the explicit kind, or for bkAuto one chosen by the field's type.
TkxBlobEditKind kxGetBlobEditKind(TkxBlobKind BlobKind, TField* Field);
// Writes a value into a blob field: Null or 0 clears it, a string (text or a
// picture's bytes) is stored; any other value raises EDatabaseError and leaves
// the field as it was.
void kxAssignBlobFieldValue(const Variant& Value, TField* Field);
// True when the field's dataset has all its key fields and each can be modified.
bool kxCanModifyLookupField(TField* Field);
// Equality of two values, Null equal to Null.
bool kxVarEquals(const Variant& A, const Variant& B);

// The lookup editor's list: the platform's lookup list with the frame and
// shadow of the editors' pop-ups.
class TPopupDBLookupListBox : public TPopupDataList {
  PV_CLASS(TPopupDBLookupListBox, TPopupDataList)
 public:
  explicit TPopupDBLookupListBox(TComponent* AOwner) : TPopupDataList(AOwner) {}
  TkxPopupBorder PopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TkxPopupBorder Value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);
  int ShadowSize = 2;
  int GetBorderSize() const override;
  TWinControl* OwnerControl = nullptr;

 protected:
  void CreateParams(TCreateParams& Params) override;
  TkxPopupBorder FPopupBorder = pbDefault;
  bool FShadow = false;

  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMSize(TWMSize& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
  END_MESSAGE_MAP(TPopupDataList)
};

using TkxLookupCloseUpEvent = TEvent<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TkxInplaceLookupEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceLookupEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceLookupEdit)
 public:
  explicit TkxInplaceLookupEdit(TComponent* AOwner);
  ~TkxInplaceLookupEdit() override;

  bool CanDeleteText = false;
  TShortCut ClearKey = 0;
  TkxLookupCloseUpEvent OnCloseUp;

  TField* LookupField() const { return FLookupField; }
  void SetLookupField(TField* Value);
  AnsiString ListFieldName() const { return FListFieldName; }
  void SetListFieldName(const AnsiString& Value);
  Variant KeyValue() const { return FKeyValue; }
  AnsiString SearchText() const { return FSearchText; }
  bool Searching() const { return FSearching; }
  TPopupDBLookupListBox* List() const { return FList; }
  // The key field of the edited dataset (nullptr for none or a compound key).
  TField* KeyField() const;
  TDataSet* LookupDataSet() const { return FLookupField ? FLookupField->LookupDataSet() : nullptr; }
  // The lookup field's text, or the result field's at the lookup dataset's record.
  AnsiString GetLookupDisplayText(bool FromListRecord);

  virtual void ClearValue();
  virtual TDataLink* GetDataLink() { return nullptr; }
  virtual void ListDataSetChanged() {}
  virtual bool SetKeyValue(const Variant& Value);
  virtual void ListSourceChanged();

  void SetEditValue(const Variant& Value) override;
  bool IsEditable() override { return false; }
  bool GetDataReadOnly() override;
  void SetActive(bool Active) override;
  void DoSetReadOnly(bool Value) override;
  void StepItem(int Delta, bool Cyclic) override;
  void CloseUp(bool Accept) override;
  void DropDown() override;
  void LocateText(const AnsiString& Text) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  bool CanDropDown();
  void EndSearch();
  void LocateSearchText();
  void SelectAfter(int Prefix);
  void ShowText(const AnsiString& Text);
  void PrepareList();

  TField* FLookupField = nullptr;
  AnsiString FListFieldName;
  Variant FKeyValue = Variant::Null();
  AnsiString FSearchText;
  bool FSearching = false;
  TPopupDBLookupListBox* FList = nullptr;
  TDataSource* FListSource = nullptr;
};

class TkxInplaceLookupEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceLookupEdit::StaticClass(); }
};

void kxInitLookupEdit();
