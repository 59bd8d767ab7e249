// Item controls: the visual instance of one link on one bar window; they
// measure, paint and turn a click into the item's click.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbaritems.h"

TkxBarItemControl::TkxBarItemControl(TkxBarItemLink* ALink) : FLink(ALink), FParent(ALink ? ALink->BarControl() : nullptr) {}

TkxBarItemControl::~TkxBarItemControl() {
  TkxBarManager* m = BarManager();
  if (m && m->SelectedItem() == this) m->SetSelectedItem(nullptr);
  if (FLink && FLink->FControl == this) FLink->FControl = nullptr;
  if (FParent && m && !m->IsDestroying() && !m->IsCustomizingOrDesigning() && FParent->SelectedControl() == this) {
    if (!FLink || FLink->ShownIndex() < 0 || FParent->Locked()) FParent->ClearSelectedControl();
    else FParent->HotTrack(nullptr);
  } else if (FParent && FParent->SelectedControl() == this) {
    FParent->ClearSelectedControl();
  }
  uxClearObjectLinks(this);
}

TkxBarManager* TkxBarItemControl::BarManager() const { return FLink ? FLink->BarManager() : nullptr; }
TkxBarItem* TkxBarItemControl::Item() const { return FLink ? FLink->Item() : nullptr; }

TkxBarItemAlign TkxBarItemControl::Align() const {
  if (Item() && FParent && FParent->CanAlignItemControl(const_cast<TkxBarItemControl*>(this))) return Item()->Align();
  return iaLeft;
}

bool TkxBarItemControl::HasGlyph() {
  TBitmap* g = GetGlyph();
  return (g && !g->Empty()) || HasImage();
}

bool TkxBarItemControl::HasImage() {
  TCustomImageList* images = GetImages(true);
  int i = GetImageIndex();
  return images && i >= 0 && i < images->Count();
}

bool TkxBarItemControl::UnclickAfterDoing() const {
  auto* b = dynamic_cast<TkxBarButton*>(Item());
  return b ? b->UnclickAfterDoing() : true;
}

bool TkxBarItemControl::IsInQuickControl() const { return FParent && FParent->IsQuickCustomizing(); }

bool TkxBarItemControl::IsPressedUnderMouse() const {
  if (!FParent || !const_cast<TkxBarItemControl*>(this)->IsEnabled() || !FParent->HandleAllocated()) return false;
  POINT p;
  GetCursorPos(&p);
  TPoint c = FParent->ScreenToClient(TPoint{p.x, p.y});
  TRect r;
  FParent->GetItemRect(const_cast<TkxBarItemControl*>(this), r);
  if (!(c.x >= r.left && c.x < r.right && c.y >= r.top && c.y < r.bottom)) return false;
  return kxBarIsLeftButtonDown();
}

int TkxBarItemControl::DefaultHeight() {
  if (Align() == iaClient && kxBarIsVerticalToolbar(FParent))
    return kxBarIsRotatedToolbar(FParent) ? GetMinWidth() : GetClientAlignedHeight();
  return GetHeight();
}

int TkxBarItemControl::DefaultWidth() {
  if (Align() == iaClient && !kxBarIsVerticalToolbar(FParent)) return GetMinWidth();
  return GetWidth();
}

TRect TkxBarItemControl::ItemRect() const {
  TRect r{};
  if (FParent) FParent->GetItemRect(const_cast<TkxBarItemControl*>(this), r);
  return r;
}

// ---- notifications ----

void TkxBarItemControl::ItemChanged() {
  if (FParent) FParent->Rebuild();
}

void TkxBarItemControl::CaptionChanged() {
  if (Align() == iaClient) Repaint();
  else if (FParent) FParent->Rebuild();
}

void TkxBarItemControl::EnabledChanged() {
  if (FParent && Item() && !Item()->Enabled() && FParent->SelectedControl() == this) FParent->ClearSelectedControl();
  Repaint();
}

void TkxBarItemControl::StateChanged() {
  if (!FClicking) Repaint();
}

void TkxBarItemControl::ShortCutChanged() {
  if (FParent && FParent->IsMenuWindow()) FParent->Rebuild();
}

void TkxBarItemControl::VisibleChanged() {
  if (FParent) FParent->Rebuild();
}

void TkxBarItemControl::BeginGroupChanged() {
  if (FParent) FParent->Rebuild();
}

void TkxBarItemControl::AlignChanged() {
  if (FParent) FParent->Rebuild();
}

bool TkxBarItemControl::IsOwnItem() const {
  TkxBarItem* item = Item();
  TkxBarManager* m = BarManager();
  if (!item || !m) return false;
  return item->BarManager() == m || m->ComponentState().Contains(csAncestor);
}

bool TkxBarItemControl::IsSelectable() {
  if (FParent && FParent->IsCustomizing()) return IsOwnItem();
  return true;
}

bool TkxBarItemControl::IsSelected() {
  if (!FParent || FParent->SelectedControl() != this) return false;
  return IsEnabled() || !FSelectedByMouse;
}

bool TkxBarItemControl::AcceptsDoubleClick() {
  TkxBarManager* m = BarManager();
  return (m && m->IsDesigning()) || OpensChildMenu();
}

// ---- clicks ----

void TkxBarItemControl::ClickByKeyboard(bool Flag) {
  if (!IsEnabled()) return;
  TuxObjectLink* self = uxAddObjectLink(this);
  TCustomkxBarControl* parent = FParent;
  TkxBarControlRef parentRef = kxBarRef(parent);
  Activate(Flag);
  bool alive = self->Ref && kxBarIsBarControlAlive(parentRef) && parent->OwnsItemControl(this);
  uxRemoveObjectLink(self);
  if (alive) Click(Flag);
}

void TkxBarItemControl::Click(bool Flag) {
  if (FParent && FParent->IsMenuWindow() && dynamic_cast<TkxBarButtonControl*>(this)) kxBarPlaySound(1);
  TkxBarItemLink* link = FLink;
  TkxBarItemLink* source = link ? link->SourceLink() : nullptr;
  TkxBarItem* item = Item();
  bool clickable = IsClickable();
  bool closes = ClosesMenuOnClick();
  TCustomkxBarControl* parent = FParent;
  if (closes) {
    try {
      if (source) source->MarkUsed(true);
      if (link && link != source) link->MarkUsed(true);
    } catch (...) {
    }
  }
  TuxObjectLink* self = uxAddObjectLink(this);
  bool armed = UnclickAfterDoing() && (!closes || !(parent && parent->IsMenuWindow()));
  if (armed) FClicking = true;
  if (closes) {
    if (parent && kxBarIsBarControlAlive(kxBarRef(parent))) parent->CloseChain();
  } else if (!source) {
    source = link;
  }
  if (clickable && item) {
    TuxObjectLink* itemRef = uxAddObjectLink(item);
    item->SetClickItemLink(source);
    try {
      item->DirectClick();
    } catch (...) {
      if (itemRef->Ref) item->SetClickItemLink(nullptr);
      uxRemoveObjectLink(itemRef);
      uxRemoveObjectLink(self);
      throw;
    }
    if (itemRef->Ref) item->SetClickItemLink(nullptr);
    uxRemoveObjectLink(itemRef);
  }
  if (armed && self->Ref) {
    FClicking = false;
    StateChanged();
  }
  uxRemoveObjectLink(self);
}

void TkxBarItemControl::GetArrowColors(int PaintKind, int& ColorIndex, HBRUSH& Brush, bool PressedOrDroppedDown,
                                       bool Selected, bool Enabled) {
  GetPainter()->GetArrowColors(this, PaintKind, ColorIndex, Brush, PressedOrDroppedDown, Selected, Enabled);
}

AnsiString TkxBarItemControl::GetCaption() { return FLink ? FLink->Caption() : AnsiString(); }
bool TkxBarItemControl::IsEnabled() { return FLink && Item() ? Item()->Enabled() : false; }
TBitmap* TkxBarItemControl::GetGlyph() { return FLink ? FLink->Glyph() : nullptr; }
int TkxBarItemControl::GetImageIndex() { return Item() ? Item()->GetImageIndex() : -1; }

TCustomImageList* TkxBarItemControl::GetImages(bool Small) {
  TkxBarManager* m = BarManager();
  if (!m) return nullptr;
  bool large = !Small && m->LargeIcons() && m->UseLargeImages();
  if (!IsEnabled()) {
    TCustomImageList* disabled = large ? m->DisabledLargeImages() : m->DisabledImages();
    if (disabled) return disabled;
  }
  if (large) return m->LargeImages();
  return Item() ? Item()->GetImages() : m->Images();
}

AnsiString TkxBarItemControl::GetHint() { return Item() ? Item()->Hint() : AnsiString(); }
TCustomImageList* TkxBarItemControl::GetHotImages() { return BarManager() ? BarManager()->HotImages() : nullptr; }

bool TkxBarItemControl::CanShowGlyph() {
  if (IsEnabled()) return true;
  TkxBarManager* m = BarManager();
  if (!m || !m->DisabledImages()) return false;
  TBitmap* g = GetGlyph();
  if (g && g->Empty() && !HasImage()) return false;
  return true;
}

TCustomImageList* TkxBarItemControl::GetLargeImages() {
  TkxBarManager* m = BarManager();
  if (!m) return nullptr;
  if (!IsEnabled() && m->DisabledLargeImages()) return m->DisabledLargeImages();
  return m->LargeImages();
}

TkxBarItemControlPainterClass TkxBarItemControl::GetPainter() const {
  TkxBarManager* m = BarManager();
  return m && m->PainterClass() ? m->PainterClass() : TkxBarItemControlEnhancedPainter::Instance();
}

TShortCut TkxBarItemControl::GetShortCut() { return Item() ? Item()->ShortCut() : 0; }
int TkxBarItemControl::GetTextIndent() { return GetPainter()->GetItemTextIndent(this); }

bool TkxBarItemControl::HasHint() { return !GetHint().empty() && dynamic_cast<TkxBarControl*>(FParent); }
int TkxBarItemControl::IsFlatItems() { return FParent ? FParent->IsFlatItems() : 0; }

void TkxBarItemControl::Repaint() {
  if (!FParent || FParent->Locked()) return;
  bool saved = FParent->RepaintingItem();
  FParent->SetRepaintingItem(true);
  try {
    FParent->RepaintItem(this);
  } catch (...) {
    FParent->SetRepaintingItem(saved);
    throw;
  }
  FParent->SetRepaintingItem(saved);
}

// ---- drawing helpers ----

void TkxBarItemControl::DrawLowered(HDC DC, TRect& R) { GetPainter()->DrawLoweredBorder(this, DC, R); }

void TkxBarItemControl::DrawGlyphButton(HDC DC, const TRect& R, const TkxBarButtonPaintState& S, bool CaptionOnly,
                                        const TRect* DropDownR) {
  GetPainter()->DrawGlyphButton(this, DC, R, S, CaptionOnly, DropDownR);
}

void TkxBarItemControl::DrawMenuButton(HDC DC, const TRect& R, bool Down, bool HasCaption, bool Selected) {
  GetPainter()->DrawMenuButton(this, DC, Down, HasCaption, Selected, R);
}

void TkxBarItemControl::DrawCaption(HDC DC, const AnsiString& Text, bool Highlight, bool Clip, bool Rotated,
                                    bool Selected, bool Enabled, int Alignment, const TRect& R) {
  GetPainter()->DrawItemCaption(this, DC, Highlight, Clip, Rotated, Selected, Enabled, Alignment, R, Text);
}
