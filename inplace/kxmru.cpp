#include "inplace/kxmru.h"

#include "platform/controls/menus.h"

KX_EDIT_CLASS_IMPL(TkxInplaceMRUEdit)

namespace {
const TShortCut kMruCtrlEnter = ShortCut(VK_RETURN, TShiftState{ssCtrl});
}

TkxInplaceMRUEdit::TkxInplaceMRUEdit(TComponent* AOwner) : TkxInplacePickEdit(AOwner) {
  ImmediateDropDown = false;
}

void TkxInplaceMRUEdit::SetMaxItemCount(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxItemCount) return;
  FMaxItemCount = Value;
  TrimItems();
}

void TkxInplaceMRUEdit::SetShowEllipsis(bool Value) {
  if (Value == FShowEllipsis) return;
  FShowEllipsis = Value;
  LayoutChanged();
}

void TkxInplaceMRUEdit::TrimItems() {
  if (FMaxItemCount <= 0) return;
  while (Items()->Count() > FMaxItemCount) Items()->Delete(Items()->Count() - 1);
}

void TkxInplaceMRUEdit::DoButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
}

void TkxInplaceMRUEdit::AddMRUItem(const AnsiString& S) {
  if (S.empty()) return;
  const int i = Items()->IndexOf(S);
  if (i == -1) {
    Items()->Insert(0, S);
    TrimItems();
  } else {
    Items()->Move(i, 0);
  }
}

TkxEditViewData* TkxInplaceMRUEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplacePickEdit::CreateViewData(FromData);
  if (auto* m = dynamic_cast<TkxMRUEditViewData*>(vd)) m->ShowEllipsis = FShowEllipsis;
  return vd;
}

void TkxInplaceMRUEdit::ValidateEdit() {
  TkxInplacePickEdit::ValidateEdit();
  if (GetModified()) AddMRUItem(GetMaskText());
}

void TkxInplaceMRUEdit::ButtonDown(bool InClientArea, int Index) {
  // The second button is pushed without opening the list.
  TkxInplacePickEdit::ButtonDown(InClientArea, Index == 1 ? -1 : Index);
}

void TkxInplaceMRUEdit::ButtonClick(int Index) {
  if (Index == 1) DoButtonClick();
}

void TkxInplaceMRUEdit::KeyDown(Word& Key, TShiftState Shift) {
  // Ctrl+Enter is the second button's key: it is taken before the pick
  // editor passes Enter on to the host.
  if (FShowEllipsis && Key != 0 && ShortCut(Key, Shift) == kMruCtrlEnter && IsEditable()) {
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    DoButtonClick();
    Key = 0;
    return;
  }
  TkxInplacePickEdit::KeyDown(Key, Shift);
}

void TkxInplaceMRUEdit::TClassRef::CalcButtons(TkxDropDownEditViewData* VD) const {
  TkxInplacePickEdit::TClassRef::CalcButtons(VD);
  auto* m = dynamic_cast<TkxMRUEditViewData*>(VD);
  const int n = VD->ButtonCount;
  if (n < 1 || n >= kxMaxEditButtons || !m || !m->ShowEllipsis) return;
  TkxEditButtonEntry& first = VD->ButtonEntries[0];
  TkxEditButtonEntry& e = VD->ButtonEntries[n];
  e.Ordinal = n;
  e.LeftAlignment = first.LeftAlignment;
  if (VD->ButtonGlyph) {
    first.Kind = bkDown;
    first.Glyph = nullptr;
    first.Width = GetButtonWidth(VD, first);
    e.Kind = bkGlyph;
    e.Glyph = VD->ButtonGlyph;
  } else {
    e.Kind = bkEllipsis;
    e.Glyph = nullptr;
  }
  e.Width = GetButtonWidth(VD, e);
  VD->ButtonCount = n + 1;
}

void kxInitMRUEdit() { RegisterClasses({TkxInplaceMRUEdit::StaticClass()}); }
