// The flat bar painter: one-pixel frames in the highlight colour over the
// manager's tinted fills, a light glyph column in window-coloured menus and a
// striped grip on docked toolbars.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "framework/uxoffice11.h"
#include "platform/controls/stdwnd.h"
#include "platform/win/system.h"

namespace {

void FlatFill(HDC DC, const TRect& R, HBRUSH Brush) {
  if (R.right > R.left && R.bottom > R.top) FillRect(DC, &R, Brush);
}

HBRUSH FlatSys(int Index) { return GetSysColorBrush(Index); }

// The brush the bar window of a control paints with.
HBRUSH FlatBarBrush(TkxBarItemControl* Control) {
  TCustomkxBarControl* bar = Control ? Control->Parent() : nullptr;
  HBRUSH b = bar ? bar->ItemBrush() : nullptr;
  return b ? b : FlatSys(COLOR_BTNFACE);
}

HBRUSH FlatLight(TCustomkxBarControl* Bar) {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->FlatLightBrush() ? m->FlatLightBrush() : FlatSys(COLOR_BTNFACE);
}

HBRUSH FlatShadowOf(TCustomkxBarControl* Bar) {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->FlatShadowBrush() ? m->FlatShadowBrush() : FlatSys(COLOR_BTNSHADOW);
}

bool FlatInMenu(TkxBarItemControl* Control) { return Control && Control->Parent() && Control->Parent()->IsMenuWindow(); }

bool FlatIsMainMenu(TCustomkxBarControl* Bar) {
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  return t && t->Bar() && t->Bar()->IsMainMenu();
}

// Lines through the points, each up to (not including) its end point.
void FlatPolyline(HDC DC, std::initializer_list<POINT> Points, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ old = SelectObject(DC, pen);
  bool first = true;
  for (const POINT& p : Points) {
    if (first) MoveToEx(DC, p.x, p.y, nullptr);
    else LineTo(DC, p.x, p.y);
    first = false;
  }
  SelectObject(DC, old);
  DeleteObject(pen);
}

int FlatMenuArrowSize(TCustomkxBarControl* Bar) {
  if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(Bar)) return std::max(m->GetArrowSize(), 3);
  return Bar ? std::max(Bar->SmallUnit(), 3) : 3;
}

}  // namespace

TkxBarItemControlPainterClass TkxBarItemControlFlatPainter::Instance() {
  static const TkxBarItemControlFlatPainter p;
  return &p;
}

// ---------------------------------------------------------------------------
// added operations

void TkxBarItemControlFlatPainter::DrawSelectionFrame(HDC DC, const TRect& R) const {
  if (IsBlackFaceScheme() || IsBlackFaceNonWhiteTextScheme()) FrameRectWithColor(DC, R, clHighlightText);
  else kxBarDrawFocusFrame(DC, R);
}

HBRUSH TkxBarItemControlFlatPainter::GetStaticBorderBrush(TkxBarItemControl*, TkxBarStaticBorderStyle) const {
  return FlatSys(COLOR_BTNSHADOW);
}

void TkxBarItemControlFlatPainter::DrawOpenOwnerButton(TCustomkxBarControl* Bar, HDC DC, TCustomkxBarControl* Child,
                                                       const TRect& R) const {
  FrameOpenOwner(Bar, DC, Child, nullptr, R);
  TRect r = R;
  InflateRect(&r, -1, -1);
  FlatFill(DC, r, Bar->GetManagerBrush());
}

void TkxBarItemControlFlatPainter::FrameOpenOwner(TCustomkxBarControl* Bar, HDC DC, TCustomkxBarControl* Child,
                                                  TkxBarItemControl* Control, const TRect& R) const {
  if (!Child || !Child->HandleAllocated()) {
    FrameOwnerItem(Bar, DC, R);
    return;
  }
  TRect band;
  Child->GetOwnerEdgeRect(true, band);
  // from the screen into the DC's coordinates
  TCustomkxBarControl* owner = Child->GetOwnerBarControl();
  if (owner && owner->HandleAllocated()) {
    RECT cr;
    GetClientRect(owner->Handle(), &cr);
    POINT o{0, 0};
    ::ClientToScreen(owner->Handle(), &o);
    TRect client{o.x, o.y, o.x + cr.right, o.y + cr.bottom};
    RECT meet;
    if (IntersectRect(&meet, &client, &band)) {
      OffsetRect(&band, -client.left, -client.top);
    } else {
      TRect w = owner->GetWindowRect();
      OffsetRect(&band, -w.left, -w.top);
    }
  } else {
    POINT org{0, 0};
    GetDCOrgEx(DC, &org);
    OffsetRect(&band, -org.x, -org.y);
  }
  FillOwnerEdge(Bar, DC, Control, band, R);
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  ExcludeClipRect(DC, band.left, band.top, band.right, band.bottom);
  FrameOwnerItem(Bar, DC, R);
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlFlatPainter::FrameOwnerItem(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  FrameRect(DC, &R, FlatShadowOf(Bar));
}

void TkxBarItemControlFlatPainter::FillOwnerEdge(TCustomkxBarControl* Bar, HDC DC, TkxBarItemControl*,
                                                 const TRect& Band, const TRect&) const {
  FlatFill(DC, Band, Bar->GetManagerBrush());
}

HBRUSH TkxBarItemControlFlatPainter::GetMenuSeparatorBrush(TkxBarSubMenuControl*) const {
  return FlatSys(COLOR_BTNSHADOW);
}

// ---------------------------------------------------------------------------
// buttons

void TkxBarItemControlFlatPainter::DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                                   const TRect& R, bool FrameFits, HBRUSH Brush) const {
  bool menu = S.PaintKind == kxPaintKindMenu;
  if (S.Down || (S.Selected && !menu)) {
    if (S.Down && S.DropDownMenu) FrameOpenOwner(Control->Parent(), DC, Control->GetChildBarControl(), Control, R);
    else DrawSelectionFrame(DC, R);
  } else if (FrameFits) {
    bool use = S.Down || S.Selected || S.Pressed || Control->NonRecent();
    FrameItemBackground(Control, DC, use, Brush, R);
  }
}

void TkxBarItemControlFlatPainter::DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top,
                                                 int Left) const {
  int s = Scale, x = Left, y = Top;
  bool enabled = Control->IsEnabled();
  COLORREF color;
  int first;
  if (enabled) {
    color = IsWhiteFaceScheme() || IsBlackFaceNonWhiteTextScheme() ? RGB(255, 255, 255) : RGB(0, 0, 0);
    first = 0;
  } else {
    color = GetSysColor(COLOR_BTNSHADOW);
    first = 1;
  }
  for (int k = first; k < first + 2 * s; ++k)
    FlatPolyline(DC, {POINT{x + s, y + 2 * s + k}, POINT{x + 3 * s, y + 4 * s + k}, POINT{x + 8 * s, y - s + k}},
                 color);
}

void TkxBarItemControlFlatPainter::DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC,
                                                      const TkxBarButtonPaintState& S, int ImageIndex,
                                                      TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR,
                                                      TRect CellR, bool FrameFits, HBRUSH Brush) const {
  if (FrameFits) InflateRect(&CellR, -1, -1);
  TCustomkxBarControl* bar = Control->Parent();
  bool filled = false;
  if (!Control->NonRecent() && bar && bar->NeedsDoubleBuffering()) {
    bool use = S.Pressed || S.Down || S.Selected || Control->NonRecent();
    FillItemBackground(Control, DC, use, Brush, CellR);
    filled = true;
  }
  DrawCellGlyph(Control, DC, S, ImageIndex, Images, Bitmap, GlyphR, CellR, Brush, filled, true, true);
}

HBRUSH TkxBarItemControlFlatPainter::GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const {
  TCustomkxBarControl* bar = Control->Parent();
  if (!bar) return FlatBarBrush(Control);
  if (S.Selected && (S.Pressed || S.Down)) return S.DropDownMenu && S.Down ? bar->GetManagerBrush() : bar->HotDownBrush();
  if (S.Selected) return bar->DownBrush();
  if (S.Down) return bar->HotBrush();
  if (S.PaintKind != kxPaintKindMenu || S.PlainFace) return FlatBarBrush(Control);
  return FlatLight(bar);
}

int TkxBarItemControlFlatPainter::GetItemTextIndent(TkxBarItemControl* Control) const {
  return FlatInMenu(Control) ? Control->Parent()->RowUnit() + 3 : 0;
}

int TkxBarItemControlFlatPainter::CalcDropDownArrowWidth(TkxBarManager* Manager) const {
  return TkxBarItemControlPainter::CalcDropDownArrowWidth(Manager) - 1;
}

int TkxBarItemControlFlatPainter::GetLargeDropDownArrowWidth(TkxBarManager* Manager) const {
  return TkxBarItemControlPainter::GetLargeDropDownArrowWidth(Manager) - 1;
}

void TkxBarItemControlFlatPainter::DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption,
                                                  bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  bool u = Selected || Control->NonRecent();
  HBRUSH light = FlatLight(bar), barBrush = FlatBarBrush(Control);
  TRect r = R;
  if (Selected) {
    DrawSelectionFrame(DC, r);
  } else {
    int d = r.left + r.Height() + 1;
    FillItemBackground(Control, DC, u, light, TRect{r.left, r.top, d, r.top + 1});
    FillItemBackground(Control, DC, u, light, TRect{r.left, r.bottom - 1, d, r.bottom});
    FillItemBackground(Control, DC, u, light, TRect{r.left, r.top, r.left + 1, r.bottom});
    FillItemBackground(Control, DC, u, barBrush, TRect{d, r.top, r.right, r.top + 1});
    FillItemBackground(Control, DC, u, barBrush, TRect{d, r.bottom - 1, r.right, r.bottom});
    FillItemBackground(Control, DC, u, barBrush, TRect{r.right - 1, r.top, r.right, r.bottom});
  }
  InflateRect(&r, -1, -1);
  TRect g{r.left, r.top, r.left + r.Height(), r.bottom};
  TkxBarButtonPaintState s;
  s.Down = Down;
  s.Selected = Selected;
  s.PaintKind = kxPaintKindMenu;
  bool captionOnly = !Control->HasGlyph() || !HasCaption;
  s.NoGlyph = captionOnly;
  DrawGlyphButton(Control, DC, g, s, captionOnly, nullptr);
  HBRUSH down = bar ? bar->DownBrush() : FlatSys(COLOR_HIGHLIGHT);
  FillItemBackground(Control, DC, u, Selected ? down : light, TRect{g.right, r.top, g.right + 2, r.bottom});
  r.left = g.right + 2;
  FillItemBackground(Control, DC, u, Selected ? down : barBrush, r);
  r.left += 8;
  DrawItemCaption(Control, DC, !IsWhiteFaceScheme(), false, false, Selected, Control->IsEnabled(), 0, r,
                  Control->GetCaption());
}

void TkxBarItemControlFlatPainter::DrawLoweredBorder(TkxBarItemControl*, HDC DC, TRect& R) const {
  FrameRect(DC, &R, FlatSys(COLOR_BTNSHADOW));
  InflateRect(&R, -1, -1);
}

void TkxBarItemControlFlatPainter::DrawStaticBorder(TkxBarItemControl* Control, HDC DC, TkxBarStaticBorderStyle Style,
                                                    int Inset, TRect& R) const {
  HBRUSH b = GetStaticBorderBrush(Control, Style);
  for (int k = 0; k < Inset; ++k) {
    FrameRect(DC, &R, b);
    InflateRect(&R, -1, -1);
  }
}

void TkxBarItemControlFlatPainter::DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed,
                                                       bool Selected, bool, TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  HBRUSH fill;
  if (Selected && bar) {
    DrawSelectionFrame(DC, R);
    fill = Pressed ? bar->HotDownBrush() : bar->DownBrush();
  } else {
    fill = FlatBarBrush(Control);
    FrameRect(DC, &R, fill);
  }
  InflateRect(&R, -1, -1);
  FlatFill(DC, R, fill);
}

void TkxBarItemControlFlatPainter::GetArrowColors(TkxBarItemControl* Control, int, int& ColorIndex, HBRUSH& Brush,
                                                  bool PressedOrDroppedDown, bool Selected, bool) const {
  ColorIndex = COLOR_BTNTEXT;
  TCustomkxBarControl* bar = Control->Parent();
  if (!Selected || !bar) {
    Brush = FlatBarBrush(Control);
  } else if (PressedOrDroppedDown || IsWhiteFaceScheme()) {
    Brush = bar->HotDownBrush();
    ColorIndex = COLOR_HIGHLIGHTTEXT;
  } else {
    Brush = bar->DownBrush();
  }
}

// ---------------------------------------------------------------------------
// bar backgrounds and frames

bool TkxBarItemControlFlatPainter::BarHasShadow(TCustomkxBarControl* Bar) const {
  return Bar && Bar->DockingStyle() == dsNone;
}

HBRUSH TkxBarItemControlFlatPainter::GetBkBrush(TCustomkxBarControl* Bar) const { return FlatLight(Bar); }

HBRUSH TkxBarItemControlFlatPainter::GetToolbarBkBrush(TCustomkxBarControl* Bar) const {
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->Bar() && (t->Bar()->IsMainMenu() || t->Bar()->IsBottomWholeRow())) return FlatSys(COLOR_BTNFACE);
  return GetBkBrush(Bar);
}

HBRUSH TkxBarItemControlFlatPainter::GetHotBrush(TCustomkxBarControl* Bar) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->XPBackgroundBrush() ? m->XPBackgroundBrush() : FlatSys(COLOR_BTNFACE);
}

HBRUSH TkxBarItemControlFlatPainter::GetHotDownBrush(TCustomkxBarControl* Bar) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->XPDownBrush() ? m->XPDownBrush() : FlatSys(COLOR_BTNFACE);
}

HBRUSH TkxBarItemControlFlatPainter::GetDownBrush(TCustomkxBarControl* Bar) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->XPSelectedBrush() ? m->XPSelectedBrush() : FlatSys(COLOR_HIGHLIGHT);
}

void TkxBarItemControlFlatPainter::DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                                    TRect R) const {
  int o = GetBarSeparatorLineOffset(Bar, DC);
  HBRUSH shadow = FlatSys(COLOR_BTNSHADOW);
  if (Horizontal) {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.right, R.top + o}, true, Brush, nullptr);
    Bar->FillBackground(DC, TRect{R.left, R.bottom - o, R.right, R.bottom}, true, Brush, nullptr);
    R.top += o;
    R.bottom -= o;
    FlatFill(DC, TRect{R.left, R.top, R.right, R.top + 1}, shadow);
  } else {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.left + o, R.bottom}, true, Brush, nullptr);
    Bar->FillBackground(DC, TRect{R.right - o, R.top, R.right, R.bottom}, true, Brush, nullptr);
    R.left += o;
    R.right -= o;
    FlatFill(DC, TRect{R.left, R.top, R.left + 1, R.bottom}, shadow);
  }
}

void TkxBarItemControlFlatPainter::DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const {
  FrameRect(DC, &R, FlatSys(COLOR_BTNFACE));
  InflateRect(&R, -1, -1);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  SetPixel(DC, R.left, R.top, face);
  SetPixel(DC, R.right - 1, R.top, face);
  SetPixel(DC, R.left, R.bottom - 1, face);
  SetPixel(DC, R.right - 1, R.bottom - 1, face);
  InflateRect(&R, -1, -1);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !t->Bar() || !t->Bar()->CanBeMoved()) return;
  TkxBarManager* m = Bar->BarManager();
  int offset = m ? m->GripOffset() : GetGripOffset();
  HBRUSH shadow = FlatSys(COLOR_BTNSHADOW);
  if (!t->IsVertical()) {
    TRect g{R.left + offset, R.top + 3, R.left + offset + GetGripWidth(), R.bottom - 3};
    for (int y = g.top; y < g.bottom; ++y)
      FlatFill(DC, TRect{g.left, y, g.right, y + 1}, (y - g.top) % 2 == 0 ? shadow : Brush);
  } else {
    TRect g{R.left + 3, R.top + offset, R.right - 3, R.top + offset + GetGripWidth()};
    for (int x = g.left; x < g.right; ++x)
      FlatFill(DC, TRect{x, g.top, x + 1, g.bottom}, (x - g.left) % 2 == 0 ? shadow : Brush);
  }
}

void TkxBarItemControlFlatPainter::DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                      const TRect& ClientR, TRect R) const {
  FrameRect(DC, &R, FlatShadowOf(Bar));
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, FlatSys(COLOR_BTNHIGHLIGHT));
  InflateRect(&R, -1, -1);
  while (R.left < ClientR.left && R.right > R.left && R.bottom > R.top) {
    FrameRect(DC, &R, Brush);
    InflateRect(&R, -1, -1);
  }
}

void TkxBarItemControlFlatPainter::DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  int state = t ? t->CloseButtonState() : 0;
  DrawCaptionButtonFace(Bar, DC, state, R);
  TRect r = R;
  InflateRect(&r, -3, -4);
  if ((r.right - r.left) % 2 != 0) --r.right;
  r.bottom = r.top + r.Width() - 1;
  COLORREF c = ColorToRGB(GetCaptionMarkColor(Bar, state));
  FlatPolyline(DC, {POINT{r.left, r.top}, POINT{r.right - 1, r.bottom}}, c);
  FlatPolyline(DC, {POINT{r.left + 1, r.top}, POINT{r.right, r.bottom}}, c);
  FlatPolyline(DC, {POINT{r.left, r.bottom - 1}, POINT{r.right - 1, r.top - 1}}, c);
  FlatPolyline(DC, {POINT{r.left + 1, r.bottom - 1}, POINT{r.right, r.top - 1}}, c);
}

void TkxBarItemControlFlatPainter::DrawCaptionMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->Bar() && t->Bar()->CanClose()) {
    TkxBarManager* m = Bar->BarManager();
    HBRUSH b = CreateSolidBrush(ColorToRGB(GetFloatingCaptionColor(Bar, m && m->FormActive())));
    FlatFill(DC, TRect{R.right, R.top, R.right + 1, R.bottom}, b);
    DeleteObject(b);
  }
  if (Bar->MarkState() == 2) DrawOpenOwnerButton(Bar, DC, t ? t->QuickControl() : nullptr, R);
  else DrawCaptionButtonFace(Bar, DC, Bar->MarkState(), R);
  TkxBarItemControlPainter::DrawCaptionMark(Bar, DC, R);
}

void TkxBarItemControlFlatPainter::DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC,
                                                 bool Pressed, bool Hot) const {
  static const UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  bool enabled = !t || t->IsMDIButtonEnabled(Kind, MF_GRAYED);
  TRect inner = R;
  InflateRect(&inner, -1, -1);
  if (inner.right <= inner.left || inner.bottom <= inner.top) return;
  // the platform's button drawn one pixel larger on every side, so its own border falls outside
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(inner.Width(), inner.Height());
  RECT fr{-1, -1, inner.Width() + 1, inner.Height() + 1};
  DrawFrameControl(bmp->Canvas()->Handle(), &fr, DFC_CAPTION,
                   kinds[std::clamp(Kind, 0, 2)] | DFCS_FLAT | (enabled ? 0 : DFCS_INACTIVE));
  if (Pressed && Hot) FlatFill(DC, inner, Bar->HotDownBrush());
  else if (Pressed) FlatFill(DC, inner, Bar->HotBrush());
  else if (Hot) FlatFill(DC, inner, Bar->DownBrush());
  else Bar->FillBackground(DC, R, true, Bar->ItemBrush() ? Bar->ItemBrush() : Bar->BkBrush(), nullptr);
  TkxBarGlyphParams g;
  g.ButtonRect = inner;
  g.UseExistingBackground = true;
  g.Bitmap = bmp.get();
  g.GlyphRect = inner;
  kxBarDrawGlyph(DC, g);
  if (Hot || Pressed) DrawSelectionFrame(DC, R);
}

// ---------------------------------------------------------------------------
// the mark

TColor TkxBarItemControlFlatPainter::GetCaptionMarkColor(TCustomkxBarControl* Bar, int MarkState) const {
  return MarkState != 0 ? clBtnText : TkxBarItemControlPainter::GetCaptionMarkColor(Bar, MarkState);
}

void TkxBarItemControlFlatPainter::DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                 const TRect& R) const {
  TRect r = R;
  switch (Bar->MarkState()) {
    case 2: {
      auto* t = dynamic_cast<TkxBarControl*>(Bar);
      DrawOpenOwnerButton(Bar, DC, t ? t->QuickControl() : nullptr, R);
      return;
    }
    case 1:
      DrawSelectionFrame(DC, r);
      InflateRect(&r, -1, -1);
      FlatFill(DC, r, Bar->DownBrush());
      return;
    default:
      FrameRect(DC, &r, Brush);
      InflateRect(&r, -1, -1);
      Bar->FillBackground(DC, r, true, Brush, nullptr);
      return;
  }
}

void TkxBarItemControlFlatPainter::DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  TkxBarItemControlEnhancedPainter::Instance()->DrawMark(Bar, DC, R);
}

void TkxBarItemControlFlatPainter::GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect& R, int& X) const {
  X = R.left + 2;
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t) return;
  // the mark rectangle is measured in client coordinates, the caption band in window coordinates
  TRect mark;
  GetMarkRect(Bar, mark);
  TRect cw = t->GetCaptionRect(), cc = t->GetCaptionClientRect();
  R.right = mark.left + (cw.left - cc.left);
}

int TkxBarItemControlFlatPainter::GetMarkArrowColorIndex(TCustomkxBarControl* Bar) const {
  return IsWhiteFaceScheme() && Bar && Bar->MarkState() == 1 ? COLOR_BTNFACE : COLOR_BTNTEXT;
}

void TkxBarItemControlFlatPainter::GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const {
  int w = Bar->ClientWidth(), h = Bar->ClientHeight();
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->IsVertical()) {
    R = TRect{0, h - 11, w, h};
  } else if (t && t->IsHorizontal()) {
    R = TRect{w - 11, 0, w, h};
  } else if (t) {
    TRect c = t->GetCaptionClientRect();
    R = c;
    R.left = R.right - c.Height();
    if (t->Bar() && t->Bar()->CanClose()) {
      TRect close = t->GetCloseButtonRect();
      OffsetRect(&R, -(close.Width() + 1), 0);
    }
    R.left = std::max(R.left, c.left);
  } else {
    R = TRect{};
  }
}

// ---------------------------------------------------------------------------
// quick customizing

void TkxBarItemControlFlatPainter::CalcQuickCustCheckRect(TkxBarItemControl* Control, HDC DC, bool Selected,
                                                          TRect& RowR, TRect& CheckR) const {
  if (!Selected) {
    TRect ring{CheckR.left, CheckR.top, CheckR.left + CheckR.Height(), CheckR.bottom};
    FrameItemBackground(Control, DC, false, nullptr, ring);
  }
  InflateRect(&CheckR, -1, -1);
  CheckR.right = CheckR.left + CheckR.Height();
  RowR.left = CheckR.right + 1;
}

void TkxBarItemControlFlatPainter::DrawQuickCustCheck(TkxBarItemControl* Control, HDC DC, bool Selected,
                                                      const TRect& CheckR, const TRect& RowR) const {
  if (!Selected) return;
  DrawSelectionFrame(DC, CheckR);
  if (TCustomkxBarControl* bar = Control->Parent())
    FlatFill(DC, TRect{RowR.right, RowR.top, RowR.right + 2, RowR.bottom}, bar->DownBrush());
}

// ---------------------------------------------------------------------------
// drop-down buttons, combos and sub items

void TkxBarItemControlFlatPainter::DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind,
                                                           bool HasDropDownItems, bool DropDownEnabled,
                                                           bool DroppedDown, bool Pressed, bool Selected,
                                                           int ColorIndex, HBRUSH Brush, const TRect& R) const {
  bool menu = PaintKind == kxPaintKindMenu;
  TRect r = R;
  if (!menu) r.left -= 1;
  if (!(!menu && HasDropDownItems && DroppedDown)) {
    FrameArrowPart(Control, DC, menu, Selected, r);
    InflateRect(&r, -1, -1);
    FillItemBackground(Control, DC, DroppedDown || Pressed || Selected || Control->NonRecent(), Brush, r);
    InflateRect(&r, 1, 1);
  }
  bool enabled = Control->IsEnabled() && DropDownEnabled;
  TCustomkxBarControl* bar = Control->Parent();
  if (menu) {
    bool sel = DroppedDown || (Selected && IsWhiteFaceScheme());
    DrawStateArrow(DC, r, false, enabled, sel, true, FlatMenuArrowSize(bar), ColorIndex);
  } else {
    bool sel = Selected && !DroppedDown && IsWhiteFaceScheme();
    DrawDropDownArrow(DC, r, false, enabled, sel, ColorIndex);
  }
}

void TkxBarItemControlFlatPainter::FrameArrowPart(TkxBarItemControl* Control, HDC DC, bool Menu, bool Selected,
                                                  const TRect& R) const {
  if (Selected) DrawSelectionFrame(DC, R);
  else FrameRect(DC, &R, Menu ? FlatSys(COLOR_BTNSHADOW) : FlatBarBrush(Control));
}

void TkxBarItemControlFlatPainter::DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected,
                                                   const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  int width = bar ? bar->ComboButtonWidth() : 11;
  TRect b{R.right - width, R.top, R.right, R.bottom};
  auto* combo = dynamic_cast<TCustomkxBarComboControl*>(Control);
  if (combo) combo->SetButtonRect(b);
  bool enabled = Control->IsEnabled(), dropped = combo && combo->DroppedDown();
  int colorIndex = COLOR_BTNTEXT;
  HBRUSH fill = nullptr;
  GetComboArrowColors(Control, PaintKind, colorIndex, fill, dropped, Selected, enabled);
  if (!fill) fill = FlatBarBrush(Control);
  if (Selected) {
    TRect outer = b;
    InflateRect(&outer, 1, 1);
    DrawSelectionFrame(DC, outer);
    FlatFill(DC, b, fill);
  } else {
    HBRUSH frame = enabled ? FlatSys(COLOR_BTNHIGHLIGHT) : FlatBarBrush(Control);
    FrameRect(DC, &b, frame);
    FlatFill(DC, TRect{b.left - 1, b.top, b.left, b.bottom}, frame);
    InflateRect(&b, -1, -1);
    FlatFill(DC, b, fill);
    if (dropped) OffsetRect(&b, 1, 1);
  }
  int a = b.Width() / 2;
  if (a % 2 == 0) ++a;
  int x = (b.left + b.right - a) / 2, y = (b.top + b.bottom - a / 2) / 2;
  DrawDownTriangle(Control, DC, colorIndex, a, y, x);
}

void TkxBarItemControlFlatPainter::GetComboArrowColors(TkxBarItemControl* Control, int State, int& ColorIndex,
                                                       HBRUSH& Brush, bool DroppedDown, bool Selected,
                                                       bool Enabled) const {
  GetArrowColors(Control, State, ColorIndex, Brush, DroppedDown, Selected, Enabled);
  if (State == kxPaintKindMenu && !Selected && Control->Parent()) Brush = Control->Parent()->BkBrush();
  if (!Enabled) ColorIndex = COLOR_BTNSHADOW;
}

void TkxBarItemControlFlatPainter::DrawDropDownListBorder(TkxBarManager*, HDC DC, const TRect& R) const {
  FrameRect(DC, &R, FlatSys(COLOR_BTNSHADOW));
  TRect r = R;
  InflateRect(&r, -1, -1);
  FrameRect(DC, &r, FlatSys(COLOR_WINDOW));
}

int TkxBarItemControlFlatPainter::GetSubItemArrowSize(TkxBarItemControl* Control) const {
  return FlatIsMainMenu(Control->Parent()) ? 8 : TkxBarItemControlPainter::GetSubItemArrowSize(Control);
}

int TkxBarItemControlFlatPainter::GetSubItemArrowWidth(TkxBarItemControl* Control) const {
  return TkxBarItemControlPainter::GetSubItemArrowWidth(Control) + (FlatInMenu(Control) ? 2 : 0);
}

int TkxBarItemControlFlatPainter::CalcSubItemWidth(TkxBarItemControl* Control) const {
  return TkxBarItemControlPainter::CalcSubItemWidth(Control) + (FlatInMenu(Control) ? 9 : 0);
}

void TkxBarItemControlFlatPainter::DrawSubItem(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Open,
                                               bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  bool enabled = Control->IsEnabled();
  if (PaintKind == kxPaintKindMenu) {
    DrawMenuButton(Control, DC, false, true, Selected, R);
    TRect ar{R.right - R.Height(), R.top, R.right, R.bottom};
    DrawStateArrow(DC, ar, false, enabled, Selected && IsWhiteFaceScheme(), true, FlatMenuArrowSize(bar),
                   COLOR_BTNTEXT);
    return;
  }
  TkxBarManager* m = Control->BarManager();
  bool rotated = PaintKind == kxPaintKindRotated;
  TkxBarButtonPaintState s;
  s.DropDownMenu = true;
  s.Down = Open;
  s.Selected = Selected;
  s.PaintKind = PaintKind;
  auto* sub = dynamic_cast<TCustomkxBarSubItem*>(Control->Item());
  bool showCaption = !sub || sub->ShowCaption();
  bool glyph = Control->HasGlyph();
  s.NoGlyph = !glyph;
  DrawGlyphButton(Control, DC, R, s, !glyph, nullptr);
  if (glyph && m) {
    TRect rest = R;
    if (rotated) rest.top = std::min(int(rest.bottom), int(rest.top) + m->ButtonHeight());
    else rest.left = std::min(int(rest.right), int(rest.left) + m->ButtonWidth());
    FillItemBackground(Control, DC, false, nullptr, rest);
  }
  bool mainMenu = FlatIsMainMenu(bar);
  int arrowRoom = mainMenu ? 0 : (bar ? bar->RowUnit() / 2 : 0);
  if (showCaption) {
    TRect cr = R;
    int skip = glyph ? (m ? (rotated ? m->ButtonHeight() : m->ButtonWidth()) : 23) : GetSubItemArrowSize(Control);
    if (rotated) {
      cr.top += skip;
      cr.bottom -= arrowRoom;
    } else {
      cr.left += skip;
      cr.right -= arrowRoom;
    }
    DrawItemCaption(Control, DC, !IsWhiteFaceScheme(), true, rotated, Selected && !Open && IsWhiteFaceScheme(),
                    enabled, 0, cr, Control->GetCaption());
  }
  if (!mainMenu && bar) {
    int size = std::max(FlatMenuArrowSize(bar) - 1, 2);
    TRect ar = rotated ? TRect{R.left, R.bottom - arrowRoom - 2, R.right, R.bottom}
                       : TRect{R.right - arrowRoom - 2, R.top, R.right, R.bottom};
    DrawStateArrow(DC, ar, !rotated, enabled, Selected && !Open && IsWhiteFaceScheme(), true, size, COLOR_BTNTEXT);
  }
}

// ---------------------------------------------------------------------------
// menus

void TkxBarItemControlFlatPainter::CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth,
                                                   int& ExpandRowHeight, int& CheckWidth) const {
  RowUnit += 1;
  ArrowPartWidth = RowUnit / 4 * 3 + 1;
  SIZE s{13, 13};
  if (Menu && Menu->HandleAllocated()) GetTextExtentPoint32A(Menu->FontDC(), "0", 1, &s);
  ExpandRowHeight = s.cy + 1;
  int a = CalcMenuArrowSize(Menu, ExpandRowHeight - 2);
  if (a % 2 == 1) ExpandRowHeight = 2 * a + 4;
  CheckWidth = 20;
}

void TkxBarItemControlFlatPainter::GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex,
                                                     int& AvailableHeight, TRect& R) const {
  TRect client = Menu->ClientRect();
  R = TRect{Menu->GetBarSize() + 1, 1, client.Width() - 1, 1};
  if (WantFirstIndex) {
    FirstIndex = 0;
    AvailableHeight = 0x7FFFFFFF;
  } else {
    AvailableHeight = client.Height() - 1 - (Menu->IsMarkVisible() ? Menu->RowUnit() : 0);
  }
}

void TkxBarItemControlFlatPainter::CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const {
  Size.cx = Size.cx == 0 ? 100 : Size.cx + Menu->GetBarSize() + 4;
  int h = R.bottom;
  if (Menu->IsMarkVisible() || R.bottom < 3) h += Menu->RowUnit();
  h += 3;
  if (Menu->IsDetachable()) h += GetDetachStripHeight(Menu);
  Size.cy = h;
}

int TkxBarItemControlFlatPainter::GetDetachStripHeight(TkxBarSubMenuControl* Menu) const {
  return Menu->GetDetachBarHeight() + 1;
}

void TkxBarItemControlFlatPainter::DrawMenu(TkxBarSubMenuControl* Menu, HDC DC, int, HBRUSH) const {
  TkxBarItemLinks* links = Menu->ItemLinks();
  if (!links || links->ShownItemCount() == 0) return;
  TRect client = Menu->ClientRect();
  HBRUSH bk = Menu->BkBrush();
  TRect lr = DrawMenuScrollParts(Menu, DC);
  bool expand = Menu->IsMarkVisible();
  int bottomLimit = client.Height() - 1 - (expand ? Menu->RowUnit() : 0);
  TRect below{client.left + 1, lr.bottom, client.right - 1, bottomLimit};
  if (below.bottom > below.top) Menu->FillBackground(DC, below, true, bk, nullptr);
  if (expand) {
    TRect button = Menu->GetExpandButtonRect();
    TRect row{client.left + 1, bottomLimit, client.right - 1, button.top};
    if (row.bottom > row.top) Menu->FillBackground(DC, row, true, bk, nullptr);
    bool hot = Menu->MarkState() == 1;
    if (hot) {
      DrawSelectionFrame(DC, button);
      TRect inner = button;
      InflateRect(&inner, -1, -1);
      FlatFill(DC, inner, Menu->DownBrush());
    } else {
      Menu->FillBackground(DC, button, true, bk, nullptr);
    }
    DrawMenuExpandChevron(Menu, DC, hot, button);
  }
  SelectClipRgn(DC, nullptr);
}

void TkxBarItemControlFlatPainter::DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const {
  FrameRect(DC, &R, FlatShadowOf(Menu));
  FillPopupNonClient(Menu, DC);
  if (!Menu->IsDetachable()) return;
  InflateRect(&R, -1, -1);
  HBRUSH window = FlatSys(COLOR_WINDOW);
  FlatFill(DC, TRect{R.left, R.top, R.right, R.top + 1}, window);
  int h = Menu->GetDetachBarHeight();
  FlatFill(DC, TRect{R.left, R.top + 1, R.left + 1, R.top + 1 + h}, window);
  FlatFill(DC, TRect{R.right - 1, R.top + 1, R.right, R.top + 1 + h}, window);
  FillDetachBar(Menu, DC, Menu->GetDetachBarRect());
}

void TkxBarItemControlFlatPainter::DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const {
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(Bar);
  HBRUSH bk = menu ? GetMenuBkBrush(menu) : FlatSys(COLOR_WINDOW);
  FrameRect(DC, &R, bk);
  FlatFill(DC, TRect{R.left, R.top + 1, R.left + 1, R.bottom - 1}, Brush);
}

void TkxBarItemControlFlatPainter::FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const {
  TRect r = R;
  bool hot = Menu->DetachBarHot();
  HBRUSH brush;
  if (hot) {
    DrawSelectionFrame(DC, r);
    InflateRect(&r, -1, -1);
    brush = Menu->DownBrush();
  } else {
    brush = FlatLight(Menu);
  }
  FlatFill(DC, r, brush);
  int left = r.left + (r.Width() - 33) / 2;
  HBRUSH line = FlatSys(hot ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
  for (int y = r.top + 1; y < r.bottom - 1; y += 2) FlatFill(DC, TRect{left, y, left + 33, y + 1}, line);
}

void TkxBarItemControlFlatPainter::DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int,
                                                     const TRect& R, HDC DC) const {
  bool nonRecent = Control->NonRecent(), band = Control->BandStart();
  HBRUSH brush = !PaintsOwnMenuSelection() && band && nonRecent ? GetMenuBkBrush(Menu) : FlatBarBrush(Control);
  bool use = !PaintsOwnMenuSelection() && nonRecent && !band;
  // the band of the menu's separator size that ends at R's bottom (where the item starts)
  TRect s{R.left, R.bottom - Menu->GetSeparatorSize(), R.right, R.bottom};
  Control->SetBeginGroupRect(s);
  int column = Control->GetTextIndent();
  TkxBarManager* m = Menu->BarManager();
  FillItemBackground(Control, DC, use, m ? m->FlatLightBrush() : FlatLight(Menu),
                     TRect{s.left, s.top, std::min(int(s.left) + column, int(s.right)), s.bottom});
  FillItemBackground(Control, DC, use, brush, TRect{s.left + column, s.top, s.right, s.bottom});
  int y = (s.top + s.bottom) / 2;
  int indent = m ? m->MenuSeparatorIndent() : GetMenuSeparatorIndent();
  FlatFill(DC, TRect{s.left + column + indent, y, s.right + 1, y + 1}, GetMenuSeparatorBrush(Menu));
}

int TkxBarItemControlFlatPainter::CalcMenuArrowSize(TkxBarSubMenuControl*, int RowUnit) const {
  int a = (RowUnit - 4) / 2;
  if (a >= 5 && a % 2 == 1) --a;
  return a;
}

void TkxBarItemControlFlatPainter::DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned State,
                                                     TRect R) const {
  auto* c = dynamic_cast<TkxBarCustomCombo*>(Combo);
  if (c && c->DrawingEditBox()) OffsetRect(&R, 0, 2);
  TkxBarItemControlPainter::DrawComboListItem(Combo, Canvas, Index, State, R);
}

// ---------------------------------------------------------------------------
// edits

void TkxBarItemControlFlatPainter::DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  if (Selected) DrawSelectionFrame(DC, R);
  else if (FlatInMenu(Control)) FrameRect(DC, &R, bar->BkBrush());
  else if (Control->IsEnabled()) FrameItemBackground(Control, DC, false, nullptr, R);
  else FrameRect(DC, &R, FlatSys(COLOR_BTNSHADOW));
  InflateRect(&R, -1, -1);
}

void TkxBarItemControlFlatPainter::DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind,
                                                   TRect& R) const {
  AnsiString plain = kxBarStripAccelChars(Control->GetCaption());
  SIZE ext{};
  GetTextExtentPoint32A(DC, plain.c_str(), int(plain.size()), &ext);
  int c = CalcEditWidth(Control, ext.cx);
  bool menu = PaintKind == kxPaintKindMenu;
  TRect cr{R.left, R.top, R.left + c, R.bottom};
  R.left = cr.right;
  if (menu && Selected) {
    cr.right += 1;
    DrawSelectionFrame(DC, cr);
    InflateRect(&cr, -1, -1);
  }
  TCustomkxBarControl* bar = Control->Parent();
  HBRUSH brush = menu && Selected && bar ? bar->DownBrush() : FlatBarBrush(Control);
  FillItemBackground(Control, DC, FillsEditCaption(menu, Selected, Control->NonRecent()), brush, cr);
  cr.right -= 5;
  DrawItemCaption(Control, DC, !IsWhiteFaceScheme(), false, false, menu && Selected, Control->IsEnabled(), 2, cr,
                  Control->GetCaption());
}

void TkxBarItemControlFlatPainter::PrepareEditWindow(TkxBarItemControl*, HWND Wnd) const {
  RECT w;
  GetWindowRect(Wnd, &w);
  RECT r{2, 2, w.right - w.left - 2, w.bottom - w.top - 2};
  SendMessageA(Wnd, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TkxBarItemControlFlatPainter::SelectEditText(TkxBarItemControl* Control, HWND Wnd, bool TextChanged) const {
  if (TextChanged) SendMessageA(Wnd, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(Wnd));
  TkxBarItemControlPainter::SelectEditText(Control, Wnd, TextChanged);
}

void TkxBarItemControlFlatPainter::DrawDropDownNonClient(HDC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR,
                                                         Byte Corner, bool Hot, bool Pressed) const {
  PaintDropDownFrame(Window, Sizable, true, Corner, GripR, CloseR, Hot, Pressed);
}

void TkxBarItemControlFlatPainter::DrawCalendarButton(HDC DC, bool, const AnsiString& Text, TRect R) const {
  FrameRect(DC, &R, FlatSys(COLOR_BTNSHADOW));
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, FlatSys(COLOR_BTNFACE));
  InflateRect(&R, -1, -1);
  DrawCenteredText(DC, R, true, Text, 0);
}

void TkxBarItemControlFlatPainter::DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton,
                                                  int Which, bool Selected, int ButtonHeight, int ArrowSize,
                                                  int ArrowWidth, const TRect& R) const {
  bool up = Which == 1;
  TRect b = R;
  if (up) b.bottom = b.top + ButtonHeight + 1;
  else b.top = b.top + ButtonHeight;
  bool enabled = Control->IsEnabled();
  TRect face = b;
  DrawSpinButtonFrame(Control, DC, Pressed && PressedButton == Which, Selected, enabled, face);
  int color = !enabled ? COLOR_BTNSHADOW : (Selected && IsWhiteFaceScheme() ? COLOR_BTNFACE : COLOR_BTNTEXT);
  int a = std::max(ArrowSize, 1);
  int x = b.left + ArrowWidth, y = (b.top + b.bottom - a) / 2 - (up ? 1 : 0);
  COLORREF c = GetSysColor(color);
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HBRUSH brush = CreateSolidBrush(c);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  POINT p[3];
  if (up) {
    p[0] = {x, y + a - 1};
    p[1] = {x + 2 * (a - 1), y + a - 1};
    p[2] = {x + a - 1, y};
  } else {
    p[0] = {x, y};
    p[1] = {x + 2 * (a - 1), y};
    p[2] = {x + a - 1, y + a - 1};
  }
  Polygon(DC, p, 3);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

void TkxBarItemControlFlatPainter::DrawInPlaceSubItem(TkxBarItemControl* Control, HDC DC, const TRect& R,
                                                      bool Expanded, bool Selected) const {
  if (R.right <= R.left || R.bottom <= R.top) return;
  TCustomkxBarControl* bar = Control->Parent();
  FlatFill(DC, TRect{R.left, R.bottom - 1, R.right, R.bottom}, FlatBarBrush(Control));
  TRect r{R.left, R.top, R.right, R.bottom - 1};
  HBRUSH brush;
  if (!Selected || !bar) {
    brush = GetInPlaceSubItemBrush();
    FrameRect(DC, &r, brush);
  } else {
    brush = bar->DownBrush();
    DrawSelectionFrame(DC, r);
  }
  TRect inner = r;
  InflateRect(&inner, -1, -1);
  FlatFill(DC, inner, brush);
  r.left += 5;
  // drawn as selected either way: a header that is not selected shows its caption in the highlight-text colour
  DrawItemCaption(Control, DC, Selected && !IsWhiteFaceScheme(), true, false, true, Control->IsEnabled(), 0, r,
                  Control->GetCaption());
  if (!Control->IsEnabled()) return;
  int s = bar ? FlatMenuArrowSize(bar) : 3;
  int unit = bar ? bar->RowUnit() : r.Height();
  TRect ar{Expanded ? r.right - unit : r.right - unit + s, r.top, r.right, r.bottom};
  DrawStateArrow(DC, ar, Expanded, true, !Selected || IsWhiteFaceScheme(), true, s, COLOR_BTNTEXT);
}
