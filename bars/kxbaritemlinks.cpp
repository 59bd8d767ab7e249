// Item links: each appearance of an item in a bar or a menu, with its own
// visibility, group mark, user overrides and place in the recent-use order;
// and the link lists with their derived lists and the recent-items rule.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
// "不能创建递归的子项目"
const char* const kRecursive = "\xB2\xBB\xC4\xDC\xB4\xB4\xBD\xA8\xB5\xDD\xB9\xE9\xB5\xC4\xD7\xD3\xCF\xEE\xC4\xBF";
}  // namespace

// ===========================================================================
// TkxBarItemLink

TkxBarItemLink::TkxBarItemLink(TCollection* Collection) : TCollectionItem(Collection) {
  FUserGlyph = std::make_unique<TBitmap>();
  TkxBarItemLinks* list = Owner();
  TkxBarManager* m = BarManager();
  FUsageCount = m ? m->InitialUseCount() : 0;
  if (list) list->RecentAdd(this);
  if (m && list && !list->IsOwnerLoading() && m->OnItemLinkAdd) m->OnItemLinkAdd(m, this);
}

TkxBarItemLink::~TkxBarItemLink() {
  FFreeing = true;
  TkxBarItemLinks* list = Owner();
  TkxBarManager* m = BarManager();
  if (m && !m->IsDestroying() && m->OnItemLinkDelete) {
    try {
      m->OnItemLinkDelete(m, this);
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
    }
  }
  // The link being dragged in customizing hands its group mark on.
  TkxBarItemLink* nextVisible = nullptr;
  bool invertNext = false;
  if (FItem && m && m->DragItemLink() == this && list) {
    int vi = VisibleIndex();
    if (vi >= 0 && vi + 1 < list->VisibleItemCount()) {
      nextVisible = list->VisibleItems(vi + 1);
      invertNext = (vi == 0 && nextVisible->FBeginGroup) || (FBeginGroup && !nextVisible->FBeginGroup);
    }
  }
  TCustomkxBarControl* window = list ? list->BarControl() : nullptr;
  if (FControl && window && window->SelectedControl() == FControl) window->ClearSelectedControl();
  DestroyControl();
  if (FItem) FItem->RemoveLink(this);
  FItem = nullptr;
  if (list) list->RecentRemove(this);
  FUserGlyph.reset();
  SetCollection(nullptr);
  if (invertNext) nextVisible->FBeginGroup = !nextVisible->FBeginGroup;
  if (list && window && !window->IsDestroying() && kxBarIsBarControlAlive(kxBarRef(window))) {
    window->Rebuild();
    if (list->OnChange) list->OnChange();
  }
}

TkxBarItemLinks* TkxBarItemLink::Owner() const { return static_cast<TkxBarItemLinks*>(Collection()); }

TkxBarManager* TkxBarItemLink::BarManager() const {
  TkxBarItemLinks* list = Owner();
  return list ? list->BarManager() : nullptr;
}

TCustomkxBarControl* TkxBarItemLink::BarControl() const {
  TkxBarItemLinks* list = Owner();
  return list ? list->BarControl() : nullptr;
}

int TkxBarItemLink::AvailableIndex() const { return Owner() ? Owner()->IndexOfAvailable(this) : -1; }
int TkxBarItemLink::VisibleIndex() const { return Owner() ? Owner()->IndexOfVisible(this) : -1; }
int TkxBarItemLink::ShownIndex() const { return Owner() ? Owner()->IndexOfShown(this) : -1; }

bool TkxBarItemLink::CanBeVisible() const { return FItem && FItem->IsAvailable() && FVisible; }

// ---- the item ----

void TkxBarItemLink::SetItem(TkxBarItem* Value) {
  if (Value == FItem) return;
  if (FItem) FItem->RemoveLink(this);
  FItem = nullptr;
  if (!Value) {
    // the link frees itself: nothing of it may be touched afterwards
    Free();
    return;
  }
  TkxBarItemLinks* list = Owner();
  auto* ownerItem = list ? dynamic_cast<TkxBarItem*>(list->Owner()) : nullptr;
  if (ownerItem && Value->RefersTo(ownerItem)) {
    if (list) list->RefreshLists();
    Changed();
    throw EkxBarError(uxTranslateString(kRecursive));
  }
  FItem = Value;
  Value->AddLink(this);
  if (list) {
    list->RefreshLists();
    if (!list->IsOwnerLoading()) ResetUsage();
  }
  Changed();
}

bool TkxBarItemLink::RefersTo(const TObject* Obj) const { return FItem && FItem->RefersTo(Obj); }

// ---- derived values ----

AnsiString TkxBarItemLink::Caption() const {
  if (FUserDefine.Contains(udCaption) || !FItem) return FUserCaption;
  return FItem->Caption();
}

TBitmap* TkxBarItemLink::Glyph() const {
  if (FUserDefine.Contains(udGlyph) || !FItem) return FUserGlyph.get();
  return FItem->Glyph();
}

TkxBarPaintStyle TkxBarItemLink::PaintStyle() const {
  if (FUserDefine.Contains(udPaintStyle)) return FUserPaintStyle;
  if (auto* b = dynamic_cast<TkxBarButton*>(FItem)) return b->PaintStyle();
  if (!FItem) return FUserPaintStyle;
  return TkxBarPaintStyle::psStandard;
}

int TkxBarItemLink::Width() const {
  if (FUserDefine.Contains(udWidth)) return FUserWidth;
  if (auto* e = dynamic_cast<TkxBarEdit*>(FItem)) return e->Width();
  return 0;
}

// ---- settings ----

bool TkxBarItemLink::BeginGroup() const {
  int s = ShownIndex();
  if (s < 0) return FBeginGroup;
  if (FBeginGroup && s != 0) return true;
  if (s > 0) {
    TkxBarItemLinks* list = Owner();
    int from = list->ShownItems(s - 1)->AvailableIndex(), to = AvailableIndex();
    for (int i = from + 1; i < to && i >= 0; ++i)
      if (list->AvailableItems(i)->FBeginGroup) return true;
  }
  return false;
}

void TkxBarItemLink::SetBeginGroup(bool Value) {
  if (Value == FBeginGroup) return;
  FBeginGroup = Value;
  if (FControl) FControl->BeginGroupChanged();
  Changed();
}

void TkxBarItemLink::SetVisible(bool Value) {
  TkxBarItemLinks* list = Owner();
  if (list && (list->IsOwnerLoading() || list->Assigning())) {
    FDeferredVisible = Value;
    return;
  }
  FDeferredVisible = Value;
  if (Value == FVisible) return;
  FVisible = Value;
  if (list && !list->IsDesignMode()) {
    list->RefreshLists();
    if (Value) {
      MarkUsed(false);
      if (list->BarControl()) {
        CreateControl();
        if (FControl) FControl->VisibleChanged();
      }
    } else {
      MoveToEnd();
      if (FControl) {
        FControl->VisibleChanged();
        DestroyControl();
      }
    }
  }
  Changed();
}

void TkxBarItemLink::ApplyDeferredVisible() {
  bool v = FDeferredVisible;
  if (v == FVisible) return;
  SetVisible(v);
}

void TkxBarItemLink::SetMostRecentlyUsed(bool Value) {
  FMostRecentlyUsed = Value;
  ResetUsage();
  if (TCustomkxBarControl* w = BarControl()) w->Rebuild();
  Changed();
}

void TkxBarItemLink::SetUserCaption(const AnsiString& Value) {
  FUserCaption = Value;
  FUserDefine << udCaption;
  if (FControl) FControl->CaptionChanged();
  Changed();
}

void TkxBarItemLink::SetUserGlyph(TBitmap* Value) {
  FUserGlyph->Assign(Value);
  FUserDefine << udGlyph;
  if (FControl) FControl->GlyphChanged();
  Changed();
}

void TkxBarItemLink::SetUserPaintStyle(TkxBarPaintStyle Value) {
  if (Value == PaintStyle()) return;
  FUserPaintStyle = Value;
  FUserDefine << udPaintStyle;
  if (auto* b = dynamic_cast<TkxBarButtonControl*>(FControl)) b->PaintStyleChanged();
  Changed();
}

void TkxBarItemLink::SetUserWidth(int Value) {
  kxBarEnsureMinSize20(Value);
  if (Value == Width()) return;
  FUserWidth = Value;
  FUserDefine << udWidth;
  if (auto* e = dynamic_cast<TkxBarEditControl*>(FControl)) e->WidthChanged();
  Changed();
}

void TkxBarItemLink::SetUserDefine(TkxBarUserDefines Value) {
  FUserDefine = Value;
  if (!Value.Contains(udCaption)) FUserCaption.clear();
  if (!Value.Contains(udGlyph)) {
    TBitmap empty;
    FUserGlyph->Assign(&empty);
  }
  if (!Value.Contains(udPaintStyle)) FUserPaintStyle = TkxBarPaintStyle::psStandard;
  if (!Value.Contains(udWidth)) FUserWidth = 0;
  if (FControl) {
    FControl->CaptionChanged();
    if (FControl) FControl->GlyphChanged();
  }
  Changed();
}

void TkxBarItemLink::Changed() {
  TkxBarManager* m = BarManager();
  TkxBarItemLinks* list = Owner();
  if (!m || !list) return;
  if (list->BarControl() && list->BarControl()->IsCustomizing()) m->DesignerModified();
  if (!list->IsOwnerLoading() && m->OnItemLinkChange) m->OnItemLinkChange(m, this);
}

// ---- the item control ----

void TkxBarItemLink::CreateControl() {
  if (FControl || !FItem) return;
  TCustomkxBarControl* window = BarControl();
  if (!window || window->Locked() || window->IsDestroying()) return;
  TClass cls = nullptr;
  if (dynamic_cast<TkxBarWindowItem*>(FItem) && kxBarIsRotatedToolbar(window)) cls = TkxBarButtonControl::StaticClass();
  else cls = kxBarGetItemControlClass(FItem->ClassType());
  if (!cls) return;
  FControl = static_cast<TkxBarItemControl*>(CreateObject(cls, this));
}

void TkxBarItemLink::DestroyControl() {
  TkxBarItemControl* c = FControl;
  if (!c) return;
  c->Free();
  FControl = nullptr;
}

// ---- accelerators ----

bool TkxBarItemLink::IsAccel(Word Key, int Shift) const {
  AnsiString caption = Caption();
  int accel = -1;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(caption[i]);
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        ++i;
        continue;
      }
      if (i + 1 < caption.size()) accel = int(i + 1);
      continue;
    }
    if (IsDBCSLeadByte(c)) ++i;
  }
  if (accel < 0) return false;
  unsigned char ch = static_cast<unsigned char>(caption[std::size_t(accel)]);
  if (IsDBCSLeadByte(ch)) return false;  // a hanzi is not typed as one key
  if (ch >= 'A' && ch <= 'Z') {
    ch = static_cast<unsigned char>(ch - 'A' + 'a');
    Shift &= ~1;
  }
  if (ch >= '0' && ch <= '9') return Key == ch && Shift == 0;
  SHORT scan = VkKeyScanA(char(ch));
  if (scan == -1) return false;
  int vk = scan & 0xFF, flags = (scan >> 8) & 0xFF;
  int layoutShift = ((flags & 1) ? 1 : 0) | ((flags & 2) ? 4 : 0);
  return Key == vk && layoutShift == Shift;
}

// ---- recent use ----

int TkxBarItemLink::RecentListIndex() const {
  TkxBarItemLinks* list = Owner();
  if (!list) return -1;
  for (int i = 0; i < list->RecentCount(); ++i)
    if (list->RecentItems(i) == this) return i;
  return -1;
}

void TkxBarItemLink::MoveInRecentList(int Index) {
  if (TkxBarItemLinks* list = Owner()) list->RecentMove(this, Index);
}

void TkxBarItemLink::BringToFront(bool Click) {
  TkxBarItemLinks* list = Owner();
  if (!list || !list->UseRecentItems()) return;
  list->RecentMove(this, 0);
  list->RefreshLists();
  if (Click) ++FUsageCount;
}

void TkxBarItemLink::MarkUsed(bool Click) {
  if (!CanBeVisible()) return;
  TkxBarItemLinks* list = Owner();
  int shownBefore = ShownIndex();
  BringToFront(Click);
  if (!list || list->IndexOfVisible(this) < 0) return;
  TkxBarManager* m = BarManager();
  auto* toolbar = dynamic_cast<TkxBarControl*>(list->BarControl());
  if (toolbar && toolbar->DockingStyle() != dsNone && shownBefore < 0 && m && m->Style() != bmsStandard &&
      toolbar->HandleAllocated())
    PostMessageA(toolbar->Handle(), WM_KXBAR_REBUILD, 0, 0);
  TkxBarItemLink* up = nullptr;
  if (auto* sub = dynamic_cast<TkxBarItem*>(list->Owner())) up = sub->CurItemLink();
  if (up && up != this) up->SourceLink()->MarkUsed(Click);
}

void TkxBarItemLink::MoveToEnd() {
  TkxBarItemLinks* list = Owner();
  if (!list) return;
  int shownBefore = ShownIndex();
  list->RecentMove(this, list->RecentCount() - 1);
  TkxBarManager* m = BarManager();
  auto* toolbar = dynamic_cast<TkxBarControl*>(list->BarControl());
  if (toolbar && shownBefore >= 0 && m && m->Style() != bmsStandard && toolbar->HandleAllocated())
    PostMessageA(toolbar->Handle(), WM_KXBAR_REBUILD, 0, 0);
}

void TkxBarItemLink::ResetUsage() {
  TkxBarManager* m = BarManager();
  if (FMostRecentlyUsed) {
    FUsageCount = m ? m->InitialUseCount() : 0;
    MarkUsed(false);
  } else {
    FUsageCount = 0;
    MoveToEnd();
  }
}

void TkxBarItemLink::CopyUsage(TkxBarItemLink* Other) {
  if (!Other) return;
  FUsageCount = Other->FUsageCount;
  int idx = Other->RecentListIndex();
  if (idx >= 0 && Owner() == Other->Owner()) MoveInRecentList(idx);
}

void TkxBarItemLink::SaveRecentIndex() { FSavedRecentIndex = RecentListIndex(); }

void TkxBarItemLink::RestoreRecentIndex() {
  if (FSavedRecentIndex >= 0) MoveInRecentList(FSavedRecentIndex);
  FSavedRecentIndex = -1;
}

void TkxBarItemLink::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxBarItemLink*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  FUserCaption = src->FUserCaption;
  FUserGlyph->Assign(src->FUserGlyph.get());
  FUserPaintStyle = src->FUserPaintStyle;
  FUserWidth = src->FUserWidth;
  FOriginalLink = src->FOriginalLink;
  TkxBarItem* item = src->FItem;
  TkxBarManager* m = BarManager();
  if (item && m && m->ComponentState().Contains(csUpdating))
    if (TkxBarItem* same = m->ItemByName(item->Name())) item = same;
  if (item) SetItem(item);
  SetUserDefine(src->FUserDefine);
  SetBeginGroup(src->BeginGroup());
  SetVisible(src->FVisible);
}

// ===========================================================================
// TkxBarItemLinks

TkxBarItemLinks::TkxBarItemLinks(TkxBarManager* Manager, TPersistent* Owner)
    : TCollection(TkxBarItemLink::StaticClass()), FBarManager(Manager), FOwner(Owner) {}

TkxBarItemLinks::~TkxBarItemLinks() {
  if (FBarControl && !FBarControl->IsDestroying()) FBarControl->SetItemLinks(nullptr);
  FAvailable.clear();
  FVisibleItems.clear();
  FShown.clear();
  // the collection frees the links; they find no derived lists to update
  while (Count() > 0) delete Items(Count() - 1);
  FRecent.clear();
}

TPersistent* TkxBarItemLinks::GetOwner() const { return FOwner ? FOwner : static_cast<TPersistent*>(FBarManager); }

bool TkxBarItemLinks::IsDesignMode() const { return FBarManager && FBarManager->IsDesigning(); }

bool TkxBarItemLinks::IsOwnerLoading() const {
  if (auto* c = dynamic_cast<TComponent*>(FOwner)) return c->ComponentState().Contains(csLoading);
  return FBarManager && FBarManager->IsLoading();
}

bool TkxBarItemLinks::IsOwnerDestroying() const {
  if (auto* c = dynamic_cast<TComponent*>(FOwner)) return c->ComponentState().Contains(csDestroying);
  return false;
}

int TkxBarItemLinks::IndexOfAvailable(const TkxBarItemLink* Link) const {
  auto it = std::find(FAvailable.begin(), FAvailable.end(), Link);
  return it == FAvailable.end() ? -1 : int(it - FAvailable.begin());
}
int TkxBarItemLinks::IndexOfVisible(const TkxBarItemLink* Link) const {
  auto it = std::find(FVisibleItems.begin(), FVisibleItems.end(), Link);
  return it == FVisibleItems.end() ? -1 : int(it - FVisibleItems.begin());
}
int TkxBarItemLinks::IndexOfShown(const TkxBarItemLink* Link) const {
  auto it = std::find(FShown.begin(), FShown.end(), Link);
  return it == FShown.end() ? -1 : int(it - FShown.begin());
}

void TkxBarItemLinks::RecentRemove(TkxBarItemLink* Link) {
  std::erase(FRecent, Link);
  std::erase(FAvailable, Link);
  std::erase(FVisibleItems, Link);
  std::erase(FShown, Link);
}

void TkxBarItemLinks::RecentMove(TkxBarItemLink* Link, int Index) {
  auto it = std::find(FRecent.begin(), FRecent.end(), Link);
  if (it == FRecent.end()) return;
  FRecent.erase(it);
  Index = std::clamp(Index, 0, int(FRecent.size()));
  FRecent.insert(FRecent.begin() + Index, Link);
}

void TkxBarItemLinks::RefreshLists() {
  FAvailable.clear();
  FVisibleItems.clear();
  FShown.clear();
  bool design = IsDesignMode();
  for (int i = 0; i < Count(); ++i) {
    TkxBarItemLink* l = Items(i);
    if (l->FFreeing || !l->FItem) continue;
    if (!design && !l->FItem->IsAvailable()) continue;
    FAvailable.push_back(l);
    if (!design && !l->FVisible) continue;
    FVisibleItems.push_back(l);
    if (design || FRecentItemCount == -1) FShown.push_back(l);
  }
  if (design || FRecentItemCount < 1) return;
  for (TkxBarItemLink* l : FRecent) {
    if (int(FShown.size()) >= FRecentItemCount) break;
    if (IndexOfVisible(l) >= 0) FShown.push_back(l);
  }
  std::sort(FShown.begin(), FShown.end(),
            [this](TkxBarItemLink* a, TkxBarItemLink* b) { return IndexOfVisible(a) < IndexOfVisible(b); });
}

bool TkxBarItemLinks::UseRecentItems() const {
  if (!FBarManager || FBarManager->GetEffectiveStyle() == bmsStandard) return false;
  if (dynamic_cast<TkxBarItem*>(FOwner)) {
    TCustomkxBarControl* w = FBarControl;
    TCustomkxBarControl* parent = w ? w->ParentBar() : nullptr;
    if (parent && parent->ItemLinks() && parent->ItemLinks() != this) return parent->ItemLinks()->UseRecentItems();
  }
  return FUseRecentItems;
}

void TkxBarItemLinks::SetRecentItemCount(int Count) {
  FPrevRecentItemCount = FRecentItemCount;
  FRecentItemCount = UseRecentItems() ? Count : -1;
  RefreshLists();
}

void TkxBarItemLinks::RestoreRecentItemCount() {
  FRecentItemCount = FPrevRecentItemCount;
  RefreshLists();
}

int TkxBarItemLinks::GetRecentItemCount() const {
  if (!UseRecentItems() || FVisibleItems.empty()) return -1;
  int mn = FVisibleItems.front()->UsageCount(), mx = mn;
  for (TkxBarItemLink* l : FVisibleItems) {
    mn = std::min(mn, l->UsageCount());
    mx = std::max(mx, l->UsageCount());
  }
  int p = FBarManager->MostRecentItemsPercents();
  int threshold = mn + MulDiv(mx - mn, 100 - p, 100);
  // the recent list holds every link; the walk counts positions among the visible ones
  std::vector<TkxBarItemLink*> visibleRecent;
  for (TkxBarItemLink* l : FRecent)
    if (IndexOfVisible(l) >= 0) visibleRecent.push_back(l);
  int result = 0;
  for (int i = int(visibleRecent.size()) - 1; i >= 0; --i)
    if (visibleRecent[std::size_t(i)]->UsageCount() >= threshold) {
      result = i + 1;
      break;
    }
  return result == int(FVisibleItems.size()) ? -1 : result;
}

int TkxBarItemLinks::CountFittingItems() const {
  auto* toolbar = dynamic_cast<TkxBarControl*>(FBarControl);
  if (!toolbar || !dynamic_cast<TkxBar*>(FOwner)) return ShownItemCount();
  TRect client = toolbar->ClientRect();
  int n = 0;
  for (TkxBarItemLink* l : FShown) {
    TRect r = l->ItemRect();
    if (r.right <= r.left || r.bottom <= r.top) break;
    if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom) break;
    ++n;
  }
  return n;
}

namespace {
bool Selectable(TkxBarItemLink* L) { return L->Control() && L->Control()->IsSelectable(); }
}  // namespace

TkxBarItemLink* TkxBarItemLinks::First() const {
  int n = CountFittingItems();
  for (int i = 0; i < n; ++i)
    if (Selectable(FShown[std::size_t(i)])) return FShown[std::size_t(i)];
  return nullptr;
}

TkxBarItemLink* TkxBarItemLinks::Last() const {
  int n = CountFittingItems();
  for (int i = n - 1; i >= 0; --i)
    if (Selectable(FShown[std::size_t(i)])) return FShown[std::size_t(i)];
  return nullptr;
}

TkxBarItemLink* TkxBarItemLinks::Next(TkxBarItemLink* Current) const {
  if (!Current) return First();
  int n = CountFittingItems();
  int start = IndexOfShown(Current);
  if (start < 0 || start >= n) return First();
  for (int k = 1; k <= n; ++k) {
    TkxBarItemLink* l = FShown[std::size_t((start + k) % n)];
    if (l == Current) return nullptr;
    if (Selectable(l)) return l;
  }
  return nullptr;
}

TkxBarItemLink* TkxBarItemLinks::Prev(TkxBarItemLink* Current) const {
  if (!Current) return Last();
  int n = CountFittingItems();
  int start = IndexOfShown(Current);
  if (start < 0 || start >= n) return Last();
  for (int k = 1; k <= n; ++k) {
    TkxBarItemLink* l = FShown[std::size_t((start - k + n) % n)];
    if (l == Current) return nullptr;
    if (Selectable(l)) return l;
  }
  return nullptr;
}

TkxBarItemLink* TkxBarItemLinks::FindAccelLink(Word Key, int Shift, TkxBarItemLink* Start) const {
  Shift &= ~2;
  auto matches = [&](TkxBarItemLink* l) { return l->Item() && l->Item()->CanUseAccel(l) && l->IsAccel(Key, Shift); };
  if (dynamic_cast<TkxBarControl*>(FBarControl)) {
    if (!FBarControl->HandleAllocated() || !IsWindowVisible(FBarControl->Handle())) return nullptr;
    // The start link is tried last, so that a key shared with it finds the others first.
    TkxBarItemLink* l = Start ? Next(Start) : First();
    TkxBarItemLink* first = l;
    while (l) {
      if (matches(l)) return l;
      l = Next(l);
      if (l == first) break;
    }
    if (Start && matches(Start)) return Start;
    return nullptr;
  }
  int n = VisibleItemCount();
  if (n == 0) return nullptr;
  int start = Start ? IndexOfVisible(Start) : -1;
  for (int k = 1; k <= n; ++k) {
    int i = start < 0 ? k - 1 : (start + k) % n;
    if (matches(FVisibleItems[std::size_t(i)])) return FVisibleItems[std::size_t(i)];
  }
  return nullptr;
}

void TkxBarItemLinks::UpdateActions() {
  for (int i = 0; i < Count(); ++i) {
    TkxBarItem* item = Items(i)->Item();
    if (item && item->ActionLink()) item->ActionLink()->Update();
  }
}

bool TkxBarItemLinks::ProcessShortCut(TShortCut ShortCut) {
  if (ShortCut == 0) return false;
  UpdateActions();
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FAvailable)) {
    TkxBarItem* item = l->Item();
    if (!item || !item->Enabled()) continue;
    if (TkxBarItemLinks* sub = item->SubItemLinks()) {
      if (sub->ProcessShortCut(ShortCut)) return true;
    } else if (item->CanClicked() && item->ShortCut() == ShortCut) {
      item->DirectClick();
      return true;
    } else if (item->ProcessDropDownShortCut(ShortCut)) {
      return true;
    }
  }
  return false;
}

TCustomkxBarControl* TkxBarItemLinks::CreateBarControl() {
  if (FBarControl) return FBarControl;
  TCustomkxBarControl* c = nullptr;
  if (auto* bar = dynamic_cast<TkxBar*>(FOwner)) {
    c = new TkxBarControl(FBarManager, bar);
  } else {
    TkxBarManager* m = FBarManager;
    if (auto* item = dynamic_cast<TkxBarItem*>(FOwner))
      if (TkxBarItemLink* cur = item->CurItemLink())
        if (cur->BarManager()) m = cur->BarManager();
    c = new TkxBarSubMenuControl(m);
  }
  c->SetItemLinks(this);
  return c;
}

void TkxBarItemLinks::ApplyLoadedState(bool AfterLoading) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->Item()) Items(i)->ResetUsage();
  if (AfterLoading)
    for (int i = Count() - 1; i >= 0; --i) Items(i)->ApplyDeferredVisible();
  for (int i = 0; i < Count(); ++i)
    for (int j = 0; j < Count(); ++j) {
      TkxBarItemLink* l = Items(j);
      if (l->LoadedRecentIndex() != i) continue;
      l->SetUsageCount(l->LoadedUseCount());
      l->MoveInRecentList(i);
      l->SetLoadedRecentIndex(-1);
    }
  RefreshLists();
  if (FBarControl && FBarControl->HandleAllocated()) FBarControl->CreateItemControls();
}

void TkxBarItemLinks::AssignRecentState(TkxBarItemLinks* Source) {
  if (!Source) return;
  for (int i = 0; i < std::min(Count(), Source->Count()); ++i)
    Items(i)->SetMostRecentlyUsedRaw(Source->Items(i)->MostRecentlyUsed());
  ApplyLoadedState(false);
  PackRecentList();
}

void TkxBarItemLinks::PackRecentList() {
  std::stable_partition(FRecent.begin(), FRecent.end(),
                        [this](TkxBarItemLink* l) { return IndexOfVisible(l) >= 0; });
}

void TkxBarItemLinks::EmptyItemRects() {
  for (int i = 0; i < Count(); ++i) Items(i)->SetItemRect(TRect{});
}

bool TkxBarItemLinks::RefersTo(const TObject* Obj) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->RefersTo(Obj)) return true;
  return false;
}

void TkxBarItemLinks::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxBarItemLinks*>(Source);
  if (!src) {
    TCollection::Assign(Source);
    return;
  }
  FAssigning = true;
  try {
    TCollection::Assign(Source);
  } catch (...) {
    FAssigning = false;
    throw;
  }
  FAssigning = false;
  for (int i = 0; i < Count(); ++i) Items(i)->ApplyDeferredVisible();
}

void TkxBarItemLinks::Update(TCollectionItem* Item) {
  if (IsOwnerDestroying()) return;
  if (FBarManager && !dynamic_cast<TkxBarItem*>(FOwner)) FBarManager->DesignerModified();
  RefreshLists();
  if (auto* container = dynamic_cast<TCustomkxBarContainerItem*>(FOwner)) container->ItemsChanged();
  if (OnChange) OnChange();
}

void TkxBarItemLinks::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  if (Action == cnExtracting) {
    // the half-dead link leaves the derived lists at once
    auto* l = static_cast<TkxBarItemLink*>(Item);
    std::erase(FAvailable, l);
    std::erase(FVisibleItems, l);
    std::erase(FShown, l);
  }
}
