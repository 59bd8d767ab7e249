// Static labels on bars (a caption with an optional glyph, border and
// indents) and the progress item, a label followed by a progress bar.
#include <algorithm>

#include "bars/kxbaritemsext.h"
#include "platform/rtl/strings.h"

namespace kxbaritemsstatic {

bool NoArea(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

// The thinnest progress bar the painters draw, and the strip they keep free
// before it.
constexpr int kMinProgressThickness = 6;
constexpr int kProgressIndent = 0;

int AlignmentIndex(TAlignment A) { return A == taLeftJustify ? 0 : A == taRightJustify ? 2 : 1; }

}  // namespace kxbaritemsstatic

using namespace kxbaritemsstatic;

int kxBarStaticBorderWidth(TkxBarStaticBorderStyle Style) {
  switch (Style) {
    case TkxBarStaticBorderStyle::sbsNone: return 0;
    case TkxBarStaticBorderStyle::sbsLowered:
    case TkxBarStaticBorderStyle::sbsRaised: return 1;
    case TkxBarStaticBorderStyle::sbsEtched:
    case TkxBarStaticBorderStyle::sbsBump: return 2;
  }
  return 0;
}

// ===========================================================================
// TkxBarStatic

void TkxBarStatic::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (!IsLoading()) RepaintControls();
}

void TkxBarStatic::SetBorderStyle(TkxBarStaticBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (IsLoading()) return;
  if (FWidth > 0 && FHeight > 0) RepaintControls();
  else RebuildWindows();
}

void TkxBarStatic::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  if (!IsLoading()) RebuildWindows();
}

void TkxBarStatic::SetSize(int& Field, int Value) {
  Value = std::max(Value, 0);
  if (Field == Value) return;
  Field = Value;
  if (!IsLoading()) RebuildWindows();
}

void TkxBarStatic::SetHeight(int Value) { SetSize(FHeight, Value); }
void TkxBarStatic::SetLeftIndent(int Value) { SetSize(FLeftIndent, Value); }
void TkxBarStatic::SetRightIndent(int Value) { SetSize(FRightIndent, Value); }
void TkxBarStatic::SetWidth(int Value) { SetSize(FWidth, Value); }

// ===========================================================================
// TkxBarStaticControl

TkxBarStatic* TkxBarStaticControl::StaticItem() const { return dynamic_cast<TkxBarStatic*>(Item()); }

TAlignment TkxBarStaticControl::GetAlignment() {
  TkxBarStatic* s = StaticItem();
  return s ? s->Alignment() : taCenter;
}

int TkxBarStaticControl::CaptionTextWidth() {
  if (!FParent || !FParent->HandleAllocated()) return 0;
  AnsiString text = kxBarStripAccelChars(GetCaption());
  SIZE s{};
  GetTextExtentPoint32A(FParent->FontDC(), text.c_str(), int(text.size()), &s);
  return s.cx;
}

bool TkxBarStaticControl::ReservesGlyph() {
  TkxBarStatic* s = StaticItem();
  bool caption = s && s->ShowCaption();
  return HasGlyph() || (!caption && !HasContent());
}

int TkxBarStaticControl::CalcWidth() {
  TkxBarStatic* s = StaticItem();
  TkxBarManager* m = BarManager();
  if (!s || !FParent) return 0;
  if (s->Width() > 0) return s->Width();
  bool caption = s->ShowCaption();
  int w = caption ? CaptionTextWidth() : 0;
  if (ReservesGlyph()) {
    if (m) w += kxBarIsRotatedToolbar(FParent) ? m->ButtonHeight() : m->ButtonWidth();
    if (caption) w += 4;
  } else if (caption) {
    w += FParent->RowUnit() / 2;
  }
  return w + s->LeftIndent() + s->RightIndent() + 2 * s->BorderWidth();
}

int TkxBarStaticControl::CalcHeight() {
  TkxBarStatic* s = StaticItem();
  TkxBarManager* m = BarManager();
  if (!s || !FParent) return 0;
  if (s->Height() > 0) return s->Height();
  int h;
  if (FParent->IsMenuWindow()) {
    h = FParent->RowUnit();
  } else {
    int row = FParent->RowUnit();
    h = ReservesGlyph() && m ? (kxBarIsRotatedToolbar(FParent) ? m->ButtonWidth() : m->ButtonHeight()) : 0;
    if (h == 0) h = row - 3;
    if (s->ShowCaption()) h = std::max(h, row - 3);
  }
  return h + 2 * s->BorderWidth();
}

int TkxBarStaticControl::GetHeight() { return kxBarIsRotatedToolbar(FParent) ? CalcWidth() : CalcHeight(); }
int TkxBarStaticControl::GetWidth() { return kxBarIsRotatedToolbar(FParent) ? CalcHeight() : CalcWidth(); }

void TkxBarStaticControl::CaptionChanged() {
  TkxBarStatic* s = StaticItem();
  if (s && s->Width() > 0) Repaint();
  else TkxBarItemControl::CaptionChanged();
}

void TkxBarStaticControl::GlyphChanged() {
  if (FParent) FParent->Rebuild();
}

bool TkxBarStaticControl::IsClickable() {
  TkxBarStatic* s = StaticItem();
  return s && s->AllowClick();
}

bool TkxBarStaticControl::ClosesMenuOnClick() { return IsClickable(); }

bool TkxBarStaticControl::IsSelectable() {
  TkxBarManager* m = BarManager();
  return TkxBarItemControl::IsSelectable() && m && m->IsCustomizingOrDesigning();
}

void TkxBarStaticControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  TkxBarStatic* s = StaticItem();
  if (!s || !FParent || NoArea(R)) return;
  TkxBarItemControlPainterClass painter = GetPainter();
  HBRUSH brush = FParent->ItemBrush();
  TRect r = R;
  bool rotated = PaintKind == kxPaintKindRotated;
  if (int li = s->LeftIndent(); li > 0) {
    TRect strip = rotated ? TRect{r.left, r.top, r.right, r.top + li} : TRect{r.left, r.top, r.left + li, r.bottom};
    painter->FillItemBackground(this, DC, true, brush, strip);
    (rotated ? r.top : r.left) += li;
  }
  if (int ri = s->RightIndent(); ri > 0) {
    TRect strip =
        rotated ? TRect{r.left, r.bottom - ri, r.right, r.bottom} : TRect{r.right - ri, r.top, r.right, r.bottom};
    painter->FillItemBackground(this, DC, true, brush, strip);
    (rotated ? r.bottom : r.right) -= ri;
  }
  painter->DrawStaticBorder(this, DC, s->BorderStyle(), s->BorderWidth(), r);
  DrawContent(DC, r, PaintKind);
}

void TkxBarStaticControl::DrawContent(HDC DC, const TRect& R, int PaintKind) {
  TkxBarStatic* s = StaticItem();
  TkxBarManager* m = BarManager();
  if (!s || !FParent || NoArea(R)) return;
  TkxBarItemControlPainterClass painter = GetPainter();
  HBRUSH brush = FParent->ItemBrush();
  bool caption = s->ShowCaption();
  bool rotated = PaintKind == kxPaintKindRotated;
  TRect r = R;
  int margin;
  if (HasGlyph()) {
    TRect g = r;
    if (caption) {
      if (PaintKind == kxPaintKindMenu) {
        g.right = g.left + r.Height();
        r.left = g.right;
      } else if (rotated) {
        g.bottom = g.top + (m ? m->ButtonHeight() : r.Width());
        r.top = g.bottom;
      } else {
        g.right = g.left + (m ? m->ButtonWidth() : r.Height());
        r.left = g.right;
      }
      painter->FillItemBackground(this, DC, true, brush, r);
    }
    TkxBarButtonPaintState st;
    st.PlainFace = true;
    st.PaintKind = PaintKind;
    DrawGlyphButton(DC, g, st, false);
    margin = 2;
  } else {
    painter->FillItemBackground(this, DC, true, brush, r);
    margin = FParent->RowUnit() / 4;
  }
  if (!caption) return;
  TAlignment a = GetAlignment();
  if (a == taLeftJustify) (rotated ? r.top : r.left) += margin;
  else if (a == taRightJustify) (rotated ? r.bottom : r.right) -= margin;
  DrawCaption(DC, GetCaption(), false, true, rotated, false, IsEnabled(), AlignmentIndex(a), r);
}

// ===========================================================================
// TkxBarProgressItem

TkxBarProgressItem::TkxBarProgressItem(TComponent* AOwner) : TkxBarStatic(AOwner) {
  FBorderStyle = TkxBarStaticBorderStyle::sbsLowered;
}

void TkxBarProgressItem::SetRange(int AMin, int AMax) {
  FMin = AMin;
  FMax = AMax;
  if (IsLoading()) return;
  if (FMin > FMax) FMin = FMax;
  if (FPosition < FMin) FPosition = FMin;
  else if (FPosition > FMax) FPosition = FMax;
  RepaintBars();
}

void TkxBarProgressItem::SetMin(int Value) { SetRange(Value, std::max(FMax, Value)); }
void TkxBarProgressItem::SetMax(int Value) { SetRange(std::min(FMin, Value), Value); }

void TkxBarProgressItem::Loaded() {
  TkxBarStatic::Loaded();
  SetRange(FMin, FMax);
}

void TkxBarProgressItem::SetPosition(int Value) {
  if (!IsLoading()) Value = std::clamp(Value, FMin, std::max(FMin, FMax));
  if (FPosition == Value) return;
  FPosition = Value;
  RepaintBars();
}

void TkxBarProgressItem::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  RepaintBars();
}

void TkxBarProgressItem::SetSmooth(bool Value) {
  if (FSmooth == Value) return;
  FSmooth = Value;
  RepaintBars();
}

void TkxBarProgressItem::RepaintBars() {
  for (TkxBarItemLink* l : FLinks) {
    auto* c = dynamic_cast<TkxBarProgressControl*>(l->Control());
    if (!c || !c->Parent() || !c->Parent()->HandleAllocated()) continue;
    TRect r = c->GetBarRect();
    if (!NoArea(r)) InvalidateRect(c->Parent()->Handle(), &r, FALSE);
  }
}

// ===========================================================================
// TkxBarProgressControl

TkxBarProgressItem* TkxBarProgressControl::ProgressItem() const { return dynamic_cast<TkxBarProgressItem*>(Item()); }

TColor TkxBarProgressControl::GetBarColor() {
  TkxBarProgressItem* p = ProgressItem();
  return p && p->Color() != clDefault ? p->Color() : GetPainter()->GetProgressBarColor();
}

int TkxBarProgressControl::BarThickness(const TRect& R) {
  TkxBarProgressItem* p = ProgressItem();
  bool vertical = kxBarIsRotatedToolbar(FParent);
  int across = vertical ? R.Width() : R.Height();
  int t = MulDiv(across - 2 * (p ? p->BorderWidth() : 0), 2, 3);
  if ((across - t) % 2 != 0) ++t;
  return std::max(t, 0);
}

int TkxBarProgressControl::BarLength(const TRect& R) {
  TkxBarProgressItem* p = ProgressItem();
  if (!p) return 0;
  if (p->Width() == 0 && p->Align() != iaClient) return 150;
  int base;
  if (FParent && FParent->IsMenuWindow()) base = R.Width();
  else if (p->Align() == iaClient) base = kxBarIsRotatedToolbar(FParent) ? R.Height() : R.Width();
  else base = p->Width();
  // the natural width of the label part
  int label = p->ShowCaption() ? CaptionTextWidth() : 0;
  if (ReservesGlyph()) label += (BarManager() ? BarManager()->ButtonWidth() : 0) + (p->ShowCaption() ? 4 : 0);
  else if (p->ShowCaption() && FParent) label += FParent->RowUnit() / 2;
  label += p->LeftIndent() + p->RightIndent() + 2 * p->BorderWidth();
  return std::max(base - label - (p->ShowCaption() ? 2 : 4), 0);
}

TRect TkxBarProgressControl::GetBarRect() {
  TkxBarProgressItem* p = ProgressItem();
  TRect r = ItemRect();
  if (!p || NoArea(r)) return TRect{};
  int length = BarLength(r) - kProgressIndent;
  int thick = BarThickness(r);
  if (length <= 0 || thick <= 0) return TRect{};
  int offset = p->BorderWidth() + length + p->RightIndent() + 2;
  if (kxBarIsRotatedToolbar(FParent)) {
    int top = r.bottom - offset;
    int left = r.left + (r.Width() - thick) / 2;
    return TRect{left, top, left + thick, top + length};
  }
  int left = r.right - offset;
  int top = r.top + (r.Height() - thick) / 2;
  return TRect{left, top, left + length, top + thick};
}

int TkxBarProgressControl::CalcHeight() {
  TkxBarProgressItem* p = ProgressItem();
  int h = TkxBarStaticControl::CalcHeight();
  return std::max(h, kMinProgressThickness + 2 * (p ? p->BorderWidth() : 0) + 2);
}

int TkxBarProgressControl::CalcWidth() {
  TkxBarProgressItem* p = ProgressItem();
  int w = TkxBarStaticControl::CalcWidth();
  if (p && p->Width() == 0) w += 152 + (p->ShowCaption() ? 0 : 2);
  return w + kProgressIndent;
}

void TkxBarProgressControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  TkxBarProgressItem* p = ProgressItem();
  if (!p || !FParent || NoArea(R)) return;
  TRect bar = GetBarRect();
  bool had = false;
  HRGN kept = nullptr;
  if (!NoArea(bar)) {
    kept = kxBarKeepClipRegion(DC, had);
    ExcludeClipRect(DC, bar.left, bar.top, bar.right, bar.bottom);
  }
  try {
    TkxBarStaticControl::Paint(DC, R, PaintKind);
  } catch (...) {
    if (!NoArea(bar)) kxBarPutBackClipRegion(DC, kept, had);
    throw;
  }
  if (NoArea(bar)) return;
  kxBarPutBackClipRegion(DC, kept, had);
  int orientation = PaintKind == kxPaintKindRotated ? 2 : PaintKind == kxPaintKindMenu ? 1 : 0;
  GetPainter()->DrawProgressBar(this, DC, p->Max(), p->Min(), p->Position(), p->Smooth(), orientation, GetBarColor(),
                                bar);
}
