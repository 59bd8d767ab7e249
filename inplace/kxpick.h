// The pick editor: a text that is usually one of a list of items. Typing
// completes the text to the first item that starts with what was typed, the
// list drops down under the cell while the focus stays in the editor, the
// wheel steps through the items and a double click can cycle through them.
// With DropDownListStyle the text can only become an item.
#pragma once

#include "inplace/kximage.h"

// A pop-up list with its own prefix search for keys typed into it.
class TCustomkxPopupPickListBox : public TCustomkxPopupListBox {
  PV_CLASS(TCustomkxPopupPickListBox, TCustomkxPopupListBox)
 public:
  explicit TCustomkxPopupPickListBox(TComponent* AOwner) : TCustomkxPopupListBox(AOwner) {}
  AnsiString TypedPrefix;
  DWORD LastKeyTick = 0;

 protected:
  void KeyPress(char& Key) override;
};

// The pick editor's list: a mouse release closes its owner's list.
class TkxPopupPickListBox : public TCustomkxPopupPickListBox {
  PV_CLASS(TkxPopupPickListBox, TCustomkxPopupPickListBox)
 public:
  explicit TkxPopupPickListBox(TComponent* AOwner) : TCustomkxPopupPickListBox(AOwner) {}

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TkxInplacePickEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplacePickEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplacePickEdit)
 public:
  explicit TkxInplacePickEdit(TComponent* AOwner);
  ~TkxInplacePickEdit() override;

  bool CanDeleteText = false;
  bool Revertable = false;
  bool DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool Value);
  TStringList* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool SearchActive() const { return FSearchActive; }
  AnsiString TypedText() const { return FTypedText; }
  int StepIndex() const { return FStepIndex; }
  TkxPopupPickListBox* DropList() const { return FDropList; }

  void ResetSearch();
  // The first item starting with Text (ignoring case), -1 for none.
  int FindItem(const AnsiString& Text);
  virtual void ClearText();
  virtual void SetPickText(const AnsiString& Text);

  void SetEditValue(const Variant& Value) override;
  void SetActive(bool Active) override;
  void DoSetReadOnly(bool Value) override;
  bool IsEditable() override;
  bool CanReset() override { return true; }
  void Change() override;
  void CloseUp(bool Accept) override;
  void StepItem(int Delta, bool Cyclic) override;
  void DropDown() override;
  void LocateText(const AnsiString& Text) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Completes the text to the first item starting with the typed text; true when one did.
  bool LocateTyped();
  void FillPickList();
  // Selects from the end of the typed text to the end, the caret at the typed text's end.
  void SelectTail();
  void TypeCharacter(const AnsiString& Ch, bool& Found);
  void Backspace(bool& Found);

  bool FDropDownListStyle = false;
  bool FSearchActive = false;
  AnsiString FTypedText;
  int FStepIndex = -1;
  TStringList* FItems = nullptr;
  TkxPopupPickListBox* FDropList = nullptr;
  bool FSorted = false;
  bool FStepping = false;
  bool FPassingTrail = false;
};

class TkxInplacePickEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplacePickEdit::StaticClass(); }
};

void kxInitPickEdit();
