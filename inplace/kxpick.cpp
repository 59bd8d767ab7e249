#include "inplace/kxpick.h"

#include "platform/controls/stdwnd.h"
#include "platform/rtl/collation.h"
#include "platform/rtl/strings.h"

KX_EDIT_CLASS_IMPL(TkxInplacePickEdit)

// ---- the pop-up pick lists ----

void TCustomkxPopupPickListBox::KeyPress(char& Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  if (Key == '\b' || Key == 27) {
    TypedPrefix.clear();
  } else if (k >= 32) {
    const DWORD now = GetTickCount();
    if (now - LastKeyTick > 2000) TypedPrefix.clear();
    LastKeyTick = now;
    if (TypedPrefix.size() < 32) {
      TypedPrefix += Key;
      if (SendMessageA(Handle(), LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(TypedPrefix.c_str())) ==
          LB_ERR)
        TypedPrefix.pop_back();
    }
    Key = 0;
  }
  TCustomkxPopupListBox::KeyPress(Key);
}

void TkxPopupPickListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomkxPopupPickListBox::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (auto* e = dynamic_cast<TkxInplaceDropDownEdit*>(FOwnerControl))
    e->CloseUp(X >= 0 && X < Width() && Y >= 0 && Y < Height());
}

// ---- TkxInplacePickEdit ----

TkxInplacePickEdit::TkxInplacePickEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FItems = new TStringList();
  FSearchInPopup = true;
  FDropList = new TkxPopupPickListBox(this);
  FDropList->SetOwnerControl(this);
  FDropList->SetControlStyle(FDropList->ControlStyle() + TControlStyle{csReplicatable});
  FDropList->SetIntegralHeight(true);
  FDropList->SetItemHeight(11);
  FDropList->OnMouseUp = TMouseEvent(static_cast<TkxInplaceDropDownEdit*>(this), &TkxInplaceDropDownEdit::PopupMouseUp);
}

TkxInplacePickEdit::~TkxInplacePickEdit() {
  delete FItems;
  FItems = nullptr;
}

void TkxInplacePickEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropList) FDropList = nullptr;
}

void TkxInplacePickEdit::SetDropDownListStyle(bool Value) {
  if (FDropDownListStyle == Value) return;
  FDropDownListStyle = Value;
  DoSetReadOnly(ReadOnly());
}

void TkxInplacePickEdit::SetSorted(bool Value) {
  if (FSorted == Value) return;
  SetDroppedDown(false);
  FSorted = Value;
  FItems->SetSorted(Value);
}

void TkxInplacePickEdit::ResetSearch() {
  if (DisableRefresh) return;
  FSearchActive = false;
  FTypedText.clear();
}

int TkxInplacePickEdit::FindItem(const AnsiString& Text) {
  if (Text.empty() || FItems->Count() == 0) return -1;
  for (int i = 0; i < FItems->Count(); ++i) {
    const AnsiString& item = FItems->Strings(i);
    if (item.size() < Text.size()) continue;
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item.c_str(), int(Text.size()), Text.c_str(),
                       int(Text.size())) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

void TkxInplacePickEdit::ClearText() {
  if (!CanModify()) return;
  TkxFlagScope suspended(DisableRefresh);
  SetPickText(AnsiString());
}

void TkxInplacePickEdit::SetPickText(const AnsiString& Text) {
  if (Text == GetMaskText()) return;
  SetMaskText(Text);
  SetModified(true);
}

void TkxInplacePickEdit::SetEditValue(const Variant& Value) {
  TkxInplaceDropDownEdit::SetEditValue(Value);
  ResetSearch();
  FStepIndex = -1;
}

void TkxInplacePickEdit::SetActive(bool Active) {
  TkxInplaceDropDownEdit::SetActive(Active);
  ResetSearch();
  FStepIndex = -1;
}

void TkxInplacePickEdit::DoSetReadOnly(bool Value) {
  TkxInplaceDropDownEdit::DoSetReadOnly(Value);
  if (FDropDownListStyle && HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, TRUE, 0);
}

bool TkxInplacePickEdit::IsEditable() { return !FDropDownListStyle && TkxInplaceDropDownEdit::IsEditable(); }

void TkxInplacePickEdit::Change() {
  TkxInplaceDropDownEdit::Change();
  // A text typed or chosen from the list: the next step starts from it.
  if (!FStepping) FStepIndex = -1;
}

void TkxInplacePickEdit::SelectTail() {
  if (!HandleAllocated()) return;
  const int from = int(FTypedText.size()), to = GetTextLength();
  SendMessageA(Handle(), EM_SETSEL, WPARAM(from), LPARAM(to));
  SendMessageA(Handle(), EM_SETSEL, WPARAM(to), LPARAM(from));
}

bool TkxInplacePickEdit::LocateTyped() {
  const int a = FindItem(FTypedText);
  if (a == -1) return false;
  {
    TkxFlagScope suspended(DisableRefresh);
    if (CanModify()) SetPickText(FItems->Strings(a));
  }
  SelectTail();
  return true;
}

void TkxInplacePickEdit::Backspace(bool& Found) {
  const int len = GetTextLength(), selStart = GetSelStart(), selLen = GetSelLength();
  if (selStart < len && !FDropDownListStyle) ResetSearch();
  if (FDropDownListStyle) {
    if (selLen == len && CanDeleteText) ClearText();
    else if (!FSearchActive) {
      FSearchActive = true;
      FTypedText = Text();
    }
  }
  if (!FSearchActive) return;
  if (!FTypedText.empty()) {
    // The last character, a double-byte one whole.
    std::size_t cut = 0;
    for (std::size_t i = 0; i < FTypedText.size();) {
      cut = i;
      i += IsDBCSLeadByte(static_cast<unsigned char>(FTypedText[i])) && i + 1 < FTypedText.size() ? 2 : 1;
    }
    FTypedText.erase(cut);
  }
  if (FTypedText.empty() && (!FDropDownListStyle || CanDeleteText)) {
    ClearText();
    return;
  }
  SelectTail();
  Found = LocateTyped();
}

void TkxInplacePickEdit::TypeCharacter(const AnsiString& Ch, bool& Found) {
  const int len = GetTextLength(), selStart = GetSelStart(), selLen = GetSelLength();
  // The search goes on while the selection is the completed tail after the typed text.
  if (selStart + selLen < len || len - selLen != int(FTypedText.size())) ResetSearch();
  if (FSearchActive && (MaxLength() == 0 || len < MaxLength())) {
    FTypedText += Ch;
  } else {
    FSearchActive = true;
    AnsiString t = Text();
    t.erase(std::size_t(std::min(selStart, int(t.size()))), std::size_t(selLen));
    FTypedText = t + Ch;
  }
  Found = LocateTyped();
  if (ImmediateDropDown && !FPopupShown) {
    DropDown();
    if (FPopupShown && FDropList && FDropList->HandleAllocated())
      kxRemovePendingMessage(FDropList->Handle(), WM_MOUSEMOVE);
  }
  LocateText(Text());
}

void TkxInplacePickEdit::KeyPress(char& Key) {
  if (FPassingTrail) {
    // The second byte of a character that completed nothing: typed as it came.
    FPassingTrail = false;
    TkxInplaceDropDownEdit::KeyPress(Key);
    return;
  }
  if (ReadOnly()) {
    Key = 0;
    TkxInplaceDropDownEdit::KeyPress(Key);
    return;
  }
  bool found = false;
  bool trailWaiting = false;
  try {
    const unsigned char k = static_cast<unsigned char>(Key);
    if (Key == '\b') {
      Backspace(found);
    } else if (k >= 32) {
      AnsiString ch(1, Key);
      MSG trail;
      if (IsDBCSLeadByte(k) && HandleAllocated() && PeekMessageA(&trail, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE)) {
        ch += char(trail.wParam);
        trailWaiting = true;
      }
      TypeCharacter(ch, found);
    }
  } catch (...) {
    TkxInplaceDropDownEdit::KeyPress(Key);
    throw;
  }
  if (trailWaiting) {
    if (found) kxRemovePendingChar(Handle());
    else FPassingTrail = true;
  }
  if (found) Key = 0;
  TkxInplaceDropDownEdit::KeyPress(Key);
}

void TkxInplacePickEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) ResetSearch();
  if (Key == VK_DELETE && FDropDownListStyle && GetSelLength() == GetTextLength() && CanDeleteText) ClearText();
  TkxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TkxInplacePickEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Shift.Contains(ssDouble) && Revertable && FItems->Count() > 1) {
    StepItem(1, true);
    LocateText(Text());
  }
  TkxInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
}

void TkxInplacePickEdit::StepItem(int Delta, bool Cyclic) {
  if (ReadOnly() || FItems->Count() == 0) return;
  ResetSearch();
  const int count = FItems->Count();
  const int b = FStepIndex != -1 ? FStepIndex : FindItem(Text());
  int a = 0;
  if (b >= 0 && b < count) {
    a = std::max(0, b + Delta);
    if (a >= count) a = Cyclic ? 0 : count - 1;
  }
  FStepIndex = a;
  if (CanModify()) {
    FStepping = true;
    try {
      SetPickText(FItems->Strings(a));
    } catch (...) {
      FStepping = false;
      throw;
    }
    FStepping = false;
  }
  SelectAll();
}

void TkxInplacePickEdit::LocateText(const AnsiString& Text) {
  if (!FPopupShown || !FDropList) return;
  if (!FSearchActive && FStepIndex < FDropList->Count()) FDropList->SetItemIndex(FStepIndex);
  else FDropList->SetItemIndex(FindItem(Text));
}

void TkxInplacePickEdit::DropDown() {
  if (!FDropList || !kxFocusForPopupList(this)) return;
  DoEditButtonClick();
  FCurrentPopup = FDropList;
  if (FItems->Count() == 0) return;
  FillPickList();
  kxShowPopupList(FDropList);
  FPopupShown = true;
  Invalidate();
}

void TkxInplacePickEdit::FillPickList() {
  kxPreparePopupList(this, FDropList);
  FDropList->Items()->Assign(FItems);
  FDropList->UpdateItemHeight();
  const int h = std::min(FItems->Count(), DropDownRows) * FDropList->ItemPixelHeight();
  if (DropDownWidth != 0) {
    FDropList->SetClientSizeOfPopup(std::max(0, DropDownWidth - FDropList->NonClientWidth()), h);
  } else {
    int w = 0;
    for (int i = 0; i < FItems->Count(); ++i) w = std::max(w, int(kxFontTextExtent(FDropList->Font(), FItems->Strings(i)).cx));
    FDropList->SetClientSizeOfPopup(std::max(10, w) + 4, h);
  }
  FDropList->SetItemIndex(int(SendMessageA(FDropList->Handle(), LB_FINDSTRINGEXACT, WPARAM(-1),
                                           reinterpret_cast<LPARAM>(Text().c_str()))));
  PositionPopup(FDropList, true);
}

void TkxInplacePickEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FDropList) return;
  ResetSearch();
  kxHidePopupList(this, FDropList);
  FPopupShown = false;
  Invalidate();
  const int i = FDropList->ItemIndex();
  AnsiString text = i != -1 ? FDropList->Items()->Strings(i) : Text();
  DoCloseUp(text, Accept);
  if (Accept && CanModify()) {
    SetPickText(text);
    SelectAll();
  }
}

void kxInitPickEdit() {
  RegisterClasses({TkxInplacePickEdit::StaticClass(), TkxPopupPickListBox::StaticClass()});
}
