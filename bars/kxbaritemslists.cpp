// Recently-used lists (a list item with a limit, shortened paths and
// removal on click) and sub items whose links open inside their menu, below
// their own line, instead of in a menu of their own.
#include <algorithm>
#include <string>

#include "bars/kxbaritemsext.h"

// ===========================================================================
// TkxBarMRUListItem

void TkxBarMRUListItem::SetMaxItemCount(int Value) {
  Value = std::max(Value, 0);
  if (FMaxItemCount == Value) return;
  FMaxItemCount = Value;
  if (Value == 0 || Items()->Count() <= Value) return;
  Items()->BeginUpdate();
  try {
    while (Items()->Count() > Value) Items()->Delete(Items()->Count() - 1);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

AnsiString TkxBarMRUListItem::GetDisplayText(const AnsiString& S) const {
  AnsiString text = TkxBarListItem::GetDisplayText(S);
  if (text.empty()) return text;
  // a buffer as long as the text needs, with room for the ellipsis
  std::string buf(text);
  buf.append(8, '\0');
  RECT r{0, 0, 300, 100};
  HDC dc = GetDC(nullptr);
  DrawTextA(dc, buf.data(), int(text.size()), &r,
            DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ReleaseDC(nullptr, dc);
  return AnsiString(buf.c_str());
}

void TkxBarMRUListItem::RemoveItem(const AnsiString& Text, TObject* Obj) {
  for (int i = 0; i < Items()->Count(); ++i) {
    bool match = !Text.empty() ? Items()->Get(i) == Text : Items()->Objects(i) == Obj;
    if (match) {
      Items()->Delete(i);
      return;
    }
  }
}

void TkxBarMRUListItem::ButtonClick(TObject* Sender) {
  auto* b = dynamic_cast<TComponent*>(Sender);
  int index = b ? int(b->Tag()) : -1;
  AnsiString text = index >= 0 && index < Items()->Count() ? Items()->Get(index) : AnsiString();
  TuxObjectLink* self = uxAddObjectLink(this);
  try {
    TkxBarListItem::ButtonClick(Sender);
  } catch (...) {
    uxRemoveObjectLink(self);
    throw;
  }
  bool alive = self->Ref != nullptr;
  uxRemoveObjectLink(self);
  if (!alive || !FRemoveItemOnClick || text.empty()) return;
  if (TkxBarManager* m = BarManager(); m && m->IsCustomizingOrDesigning()) return;
  RemoveItem(text);
  SetItemIndex(-1);
}

// ===========================================================================
// TkxBarInPlaceSubItem

void TkxBarInPlaceSubItem::SetExpanded(bool Value) {
  if (FExpanded == Value) return;
  std::vector<TkxBarItemLink*> links(FLinks);
  if (!Value)
    for (TkxBarItemLink* l : links) DoBeforeCollapse(l);
  FExpanded = Value;
  if (!IsLoading()) {
    std::vector<TkxBarSubMenuControl*> menus;
    for (TkxBarItemLink* l : FLinks)
      if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(l->BarControl()))
        if (std::find(menus.begin(), menus.end(), m) == menus.end()) menus.push_back(m);
    FChanging = true;
    try {
      for (TkxBarSubMenuControl* m : menus) m->Rebuild();
    } catch (...) {
      FChanging = false;
      throw;
    }
    FChanging = false;
  }
  if (Value)
    for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks)) DoAfterExpand(l);
}

void TkxBarInPlaceSubItem::DoAfterExpand(TkxBarItemLink* Link) {
  if (OnAfterExpand) OnAfterExpand(this, Link);
  SetFollowingGroup(Link, true);
}

void TkxBarInPlaceSubItem::DoBeforeCollapse(TkxBarItemLink* Link) {
  if (OnBeforeCollapse) OnBeforeCollapse(this, Link);
  SetFollowingGroup(Link, false);
}

void TkxBarInPlaceSubItem::SetFollowingGroup(TkxBarItemLink* Link, bool Value) {
  if (!FKeepBeginGroupWhileExpanded || !Link) return;
  TkxBarItemLinks* owner = Link->Owner();
  if (!owner || dynamic_cast<TkxBar*>(owner->Owner())) return;  // on a toolbar
  int shown = Link->ShownIndex();
  if (shown < 0) return;
  int pos = shown + 1;
  if (!(FBarManager && FBarManager->IsDesigning()))
    for (int i = 0; i < ItemLinks()->Count(); ++i)
      if (ItemLinks()->Items(i)->Visible()) ++pos;
  if (pos >= owner->ShownItemCount()) return;
  owner->ShownItems(pos)->SetBeginGroup(Value);
}

void TkxBarInPlaceSubItem::AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                                              bool CallGetData) {
  if (FExpanded) TkxBarContainerItem::AddListedItemLinks(Target, Index, ContainerLink, CallGetData);
}

void TkxBarInPlaceSubItem::DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) {
  // the item's own line stays in the menu: its links follow it
  bool present = FExpanded != FChanging;
  if (present) TkxBarContainerItem::DeleteListedItemLinks(Target, Index + 1);
}

// ===========================================================================
// TkxBarInPlaceSubItemControl

TkxBarInPlaceSubItem* TkxBarInPlaceSubItemControl::InPlaceItem() const {
  return dynamic_cast<TkxBarInPlaceSubItem*>(Item());
}

void TkxBarInPlaceSubItemControl::Toggle() {
  TkxBarInPlaceSubItem* item = InPlaceItem();
  TCustomkxBarControl* parent = FParent;
  if (!item || !parent) return;
  TkxBarControlRef parentRef = kxBarRef(parent);
  bool wasSelected = parent->SelectedControl() == this;
  TkxBarItemLink* source = FLink ? FLink->SourceLink() : nullptr;
  int position = FLink ? FLink->ShownIndex() : -1;
  TuxObjectLink* itemRef = uxAddObjectLink(item);
  try {
    item->Click();
    if (itemRef->Ref) item->SetExpanded(!item->Expanded());
  } catch (...) {
    uxRemoveObjectLink(itemRef);
    throw;
  }
  uxRemoveObjectLink(itemRef);
  // this control may be gone: the menu was rebuilt
  if (!wasSelected || position < 0 || !kxBarIsBarControlAlive(parentRef)) return;
  TkxBarItemLinks* links = parent->ItemLinks();
  if (!links || position >= links->ShownItemCount()) return;
  TkxBarItemLink* l = links->ShownItems(position);
  if (l->SourceLink() == source && l->Control()) parent->SelectItem(l->Control());
}

void TkxBarInPlaceSubItemControl::Activate(bool ByMouse) {
  if (InMenu()) Toggle();
  else TkxBarContainerItemControl::Activate(ByMouse);
}

bool TkxBarInPlaceSubItemControl::IsDropDownKey(Word Key) {
  if (!InMenu()) return TkxBarContainerItemControl::IsDropDownKey(Key);
  TkxBarInPlaceSubItem* item = InPlaceItem();
  bool expanded = item && item->Expanded();
  return (Key == VK_LEFT && expanded) || (Key == VK_RIGHT && !expanded);
}

void TkxBarInPlaceSubItemControl::KeyDown(Word Key) {
  if (!InMenu()) {
    TkxBarContainerItemControl::KeyDown(Key);
    return;
  }
  if (IsDropDownKey(Key)) ClickByKeyboard(false);
}

void TkxBarInPlaceSubItemControl::DoubleClick() {
  if (IsEnabled()) ClickByKeyboard(false);
}

bool TkxBarInPlaceSubItemControl::AcceptsDoubleClick() {
  return !InMenu() && TkxBarContainerItemControl::AcceptsDoubleClick();
}

bool TkxBarInPlaceSubItemControl::OpensChildMenu() {
  return !InMenu() && TkxBarContainerItemControl::OpensChildMenu();
}

int TkxBarInPlaceSubItemControl::GetArrowSize() {
  return TkxBarContainerItemControl::GetArrowSize() + (InMenu() ? 1 : 0);
}

int TkxBarInPlaceSubItemControl::CalcSubItemWidth() {
  if (!InMenu()) return TkxBarContainerItemControl::CalcSubItemWidth();
  AnsiString text = kxBarStripAccelChars(GetCaption());
  SIZE s{};
  if (FParent->HandleAllocated()) GetTextExtentPoint32A(FParent->FontDC(), text.c_str(), int(text.size()), &s);
  return s.cx + FParent->TextRowHeight() + 5;
}

int TkxBarInPlaceSubItemControl::GetHeight() {
  return InMenu() ? GetArrowSize() : TkxBarContainerItemControl::GetHeight();
}

int TkxBarInPlaceSubItemControl::GetWidth() {
  return InMenu() ? CalcSubItemWidth() : TkxBarContainerItemControl::GetWidth();
}

void TkxBarInPlaceSubItemControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (!InMenu()) {
    TkxBarContainerItemControl::Paint(DC, R, PaintKind);
    return;
  }
  if (R.right <= R.left || R.bottom <= R.top) return;
  TkxBarInPlaceSubItem* item = InPlaceItem();
  GetPainter()->DrawInPlaceSubItem(this, DC, R, item && item->Expanded(), IsSelected());
}
