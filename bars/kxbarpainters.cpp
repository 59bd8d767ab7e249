// The standard and enhanced bar painters: the classic raised-and-sunken look
// with system colours, and its variant with a single grip bar, a triangle on
// the mark and quick customizing.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "framework/uxoffice11.h"
#include "platform/controls/stdwnd.h"
#include "platform/win/system.h"

namespace {

void FillBrush(HDC DC, const TRect& R, HBRUSH Brush) {
  if (R.right > R.left && R.bottom > R.top) FillRect(DC, &R, Brush);
}

void Stroke(HDC DC, std::initializer_list<POINT> Points, COLORREF Color) {
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

void Segment(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) { Stroke(DC, {POINT{X1, Y1}, POINT{X2, Y2}}, Color); }

HBRUSH ItemBrushOf(TkxBarItemControl* Control) {
  TCustomkxBarControl* bar = Control ? Control->Parent() : nullptr;
  HBRUSH b = bar ? bar->ItemBrush() : nullptr;
  return b ? b : GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace

TkxBarItemControlPainterClass TkxBarItemControlStandardPainter::Instance() {
  static const TkxBarItemControlStandardPainter p;
  return &p;
}

TkxBarItemControlPainterClass TkxBarItemControlEnhancedPainter::Instance() {
  static const TkxBarItemControlEnhancedPainter p;
  return &p;
}

// ---------------------------------------------------------------------------
// standard

void TkxBarItemControlStandardPainter::DrawButtonFrame(TkxBarItemControl* Control, HDC DC,
                                                       const TkxBarButtonPaintState& S, const TRect& R, bool FrameFits,
                                                       HBRUSH Brush) const {
  bool menu = S.PaintKind == kxPaintKindMenu;
  if (S.Down || (S.Selected && (!menu || !S.NoGlyph))) {
    TRect r = R;
    DrawEdge(DC, &r, S.Pressed || S.Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (FrameFits) {
    bool use = S.Down || S.Selected || S.Pressed || Control->NonRecent();
    FrameItemBackground(Control, DC, use, Brush, R);
  }
}

void TkxBarItemControlStandardPainter::DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top,
                                                     int Left) const {
  int s = Scale, x = Left, y = Top;
  bool enabled = Control->IsEnabled();
  auto strokes = [&](int First, int Count, COLORREF Color) {
    for (int k = First; k < First + Count; ++k)
      Stroke(DC, {POINT{x + s, y + 2 * s + k}, POINT{x + 3 * s, y + 4 * s + k}, POINT{x + 8 * s, y - s + k}}, Color);
  };
  if (enabled) {
    COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    if (IsBlackFaceScheme()) std::swap(black, white);
    strokes(0, s, RGB(192, 192, 192));
    strokes(s, 2 * s, black);
    strokes(3 * s, s, white);
    Segment(DC, x + s - 1, y + 2 * s + 1, x + s - 1, y + 6 * s - 1, white);
    Segment(DC, x + 8 * s, y - s + 2, x + 8 * s, y + 3 * s, white);
    return;
  }
  strokes(1, 2 * s, GetSysColor(COLOR_BTNSHADOW));
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int k = 0; k < s; ++k) {
    Segment(DC, x + 3 * s + 1, y + 7 * s - k - 1, x + 9 * s, y + s - k, light);
    Segment(DC, x + 4 * s, y + 7 * s - k, x + 9 * s, y + 2 * s - k, light);
  }
}

void TkxBarItemControlStandardPainter::DrawMarkChevron(TCustomkxBarControl* Bar, HDC DC, HBRUSH, int X,
                                                       const TRect& R) const {
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !t->IsVertical()) {
    Stroke(DC, {POINT{X - 1, 1}, POINT{X + 2, 4}}, light);
    Stroke(DC, {POINT{X + 3, 4}, POINT{X - 1, 8}}, light);
    Stroke(DC, {POINT{X, 1}, POINT{X + 2, 3}, POINT{X + 2, 4}, POINT{X - 1, 7}}, shadow);
  } else {
    int w = Bar->ClientWidth();
    Stroke(DC, {POINT{w - 8, X}, POINT{w - 4, X + 4}}, shadow);
    Stroke(DC, {POINT{w - 4, X + 1}, POINT{w - 2, X - 1}}, shadow);
    Stroke(DC, {POINT{w - 7, X}, POINT{w - 5, X + 2}, POINT{w - 4, X + 2}, POINT{w - 1, X - 1}}, light);
  }
  (void)R;
}

void TkxBarItemControlStandardPainter::DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                     const TRect& R) const {
  Bar->FillBackground(DC, R, true, Brush, nullptr);
}

void TkxBarItemControlStandardPainter::DrawDot(TkxBarItemControl* Control, HDC DC, const TRect& R) const {
  TRect r = R;
  OffsetRect(&r, 1, 1);
  FillBrush(DC, r, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  TkxBarItemControlPainter::DrawDot(Control, DC, R);
}

void TkxBarItemControlStandardPainter::DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption,
                                                      bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  bool hasGlyph = Control->HasGlyph();
  TRect cell{R.left, R.top, R.left + R.Height(), R.bottom};
  TkxBarButtonPaintState s;
  s.Down = Down;
  s.Selected = Selected;
  s.NoGlyph = !(hasGlyph && HasCaption);
  s.PaintKind = kxPaintKindMenu;
  DrawGlyphButton(Control, DC, cell, s, !hasGlyph, nullptr);
  HBRUSH brush = ItemBrushOf(Control);
  if (Selected && !hasGlyph && !Down && bar) brush = bar->DownBrush();
  bool use = Selected || Control->NonRecent();
  TRect column{cell.right, R.top, cell.right + 1, R.bottom};
  FillItemBackground(Control, DC, use, brush, column);
  HBRUSH captionBrush = Selected && bar ? bar->DownBrush() : ItemBrushOf(Control);
  TRect caption{column.right, R.top, R.right, R.bottom};
  FillItemBackground(Control, DC, use, captionBrush, caption);
  TRect text{caption.left + 2, caption.top, caption.right, caption.bottom};
  DrawItemCaption(Control, DC, Selected, false, false, Selected, Control->IsEnabled(), 0, text, Control->GetCaption());
}

void TkxBarItemControlStandardPainter::DrawLoweredBorder(TkxBarItemControl*, HDC DC, TRect& R) const {
  DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
  InflateRect(&R, -1, -1);
}

void TkxBarItemControlStandardPainter::DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed,
                                                           bool Selected, bool, TRect& R) const {
  if (Selected) DrawEdge(DC, &R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  else FrameRect(DC, &R, ItemBrushOf(Control));
  InflateRect(&R, -1, -1);
  FillBrush(DC, R, ItemBrushOf(Control));
}

HBRUSH TkxBarItemControlStandardPainter::GetButtonBrush(TkxBarItemControl* Control,
                                                        const TkxBarButtonPaintState& S) const {
  TCustomkxBarControl* bar = Control->Parent();
  if (S.Down && Control->IsEnabled() && bar) return S.Selected ? bar->HotDownBrush() : bar->HotBrush();
  if (S.Selected && S.PaintKind == kxPaintKindMenu && S.NoGlyph && !S.Down && bar) return bar->DownBrush();
  return ItemBrushOf(Control);
}

void TkxBarItemControlStandardPainter::DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  TkxBarManager* m = Bar->BarManager();
  HBRUSH b = CreateSolidBrush(ColorToRGB(GetFloatingCaptionColor(Bar, m && m->FormActive())));
  FrameRect(DC, &R, b);
  DeleteObject(b);
  TRect r = R;
  InflateRect(&r, -1, -1);
  DrawFrameControl(DC, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
}

void TkxBarItemControlStandardPainter::DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH, TRect R) const {
  DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
  InflateRect(&R, -2, -2);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !t->Bar() || !t->Bar()->CanBeMoved()) return;
  bool vertical = t->IsVertical();
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int k = 0; k < 2; ++k) {
    int at = GetGripOffset() + k * GetGripWidth();
    TRect g = vertical ? TRect{R.left, R.top + at, R.right, R.top + at + GetGripWidth()}
                       : TRect{R.left + at, R.top, R.left + at + GetGripWidth(), R.bottom};
    DrawEdge(DC, &g, BDR_RAISEDINNER, BF_RECT);
    if (vertical) SetPixel(DC, g.right - 1, g.top, light);
    else SetPixel(DC, g.left, g.bottom - 1, light);
    TRect inside = g;
    InflateRect(&inside, -1, -1);
    FillBrush(DC, inside, GetSysColorBrush(COLOR_BTNFACE));
    ExcludeClipRect(DC, g.left, g.top, g.right, g.bottom);
  }
}

void TkxBarItemControlStandardPainter::DrawFloatingBorder(TCustomkxBarControl*, HDC DC, HBRUSH, const TRect&,
                                                          TRect R) const {
  DrawEdge(DC, &R, EDGE_RAISED, BF_RECT);
  InflateRect(&R, -2, -2);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FrameRect(DC, &R, face);
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, face);
}

void TkxBarItemControlStandardPainter::DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC,
                                                     bool Pressed, bool Hot) const {
  static const UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  TkxBarManager* m = Bar->BarManager();
  bool flatClose = Kind == 2 && t && !t->HasMDIButtons() && m && m->FlatCloseButton();
  bool enabled = t ? t->IsMDIButtonEnabled(Kind, MF_GRAYED) : true;
  UINT state = kinds[std::clamp(Kind, 0, 2)] | (!enabled ? DFCS_INACTIVE : 0) | (Hot && Pressed ? DFCS_PUSHED : 0);
  TRect r = R;
  bool had = false;
  HRGN kept = nullptr;
  if (flatClose) {
    kept = kxBarKeepClipRegion(DC, had);
    IntersectClipRect(DC, R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
  }
  DrawFrameControl(DC, &r, DFC_CAPTION, state);
  if (flatClose) {
    kxBarPutBackClipRegion(DC, kept, had);
    r = R;
    DrawEdge(DC, &r, Hot && Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

void TkxBarItemControlStandardPainter::GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const {
  int w = Bar->ClientWidth(), h = Bar->ClientHeight();
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->IsVertical()) R = TRect{w - 9, h - 11, w, h};
  else if (t && t->IsHorizontal()) R = TRect{w - 11, 0, w, 9};
  else R = TRect{0, 0, 13, GetSmallCaptionHeight()};
}

void TkxBarItemControlStandardPainter::DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind,
                                                               bool HasDropDownItems, bool DropDownEnabled,
                                                               bool DroppedDown, bool Pressed, bool Selected,
                                                               int ColorIndex, HBRUSH Brush, const TRect& R) const {
  bool menu = PaintKind == kxPaintKindMenu;
  FillItemBackground(Control, DC, Control->NonRecent(), Brush, R);
  TRect r = R;
  bool active = Selected && DropDownEnabled && HasDropDownItems;
  if (active) DrawEdge(DC, &r, DroppedDown || Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  else if (menu) DrawEdge(DC, &r, EDGE_ETCHED, BF_LEFT);
  bool enabled = Control->IsEnabled() && DropDownEnabled;
  if (menu) {
    int size = 3;
    if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(Control->Parent())) size = std::max(m->GetArrowSize(), 3);
    TRect a = r;
    if (Pressed) OffsetRect(&a, 1, 1);
    DrawStateArrow(DC, a, false, enabled, Selected, false, size, ColorIndex);
  } else {
    TRect a = r;
    if (Pressed && r.Width() > 9) OffsetRect(&a, 1, 1);
    DrawDropDownArrow(DC, a, false, enabled, false, ColorIndex);
  }
}

void TkxBarItemControlStandardPainter::OffsetButtonCaption(TkxBarItemControl* Control, bool Pressed, TRect& R) const {
  auto* b = dynamic_cast<TkxBarButton*>(Control->Item());
  if (b && b->Down()) OffsetRect(&R, 1, 1);
  if (Pressed) OffsetRect(&R, 1, 1);
}

void TkxBarItemControlStandardPainter::OffsetContainerContent(TkxBarItemControl*, bool Pressed, TRect& R) const {
  if (Pressed) OffsetRect(&R, 1, 1);
}

void TkxBarItemControlStandardPainter::DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind,
                                                       bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  int width = bar ? bar->ComboButtonWidth() : 11;
  TRect b{R.right - width, R.top, R.right, R.bottom};
  if (auto* combo = dynamic_cast<TCustomkxBarComboControl*>(Control)) combo->SetButtonRect(b);
  int colorIndex = COLOR_BTNTEXT;
  HBRUSH fill = nullptr;
  bool enabled = Control->IsEnabled();
  bool dropped = false;
  if (auto* combo = dynamic_cast<TCustomkxBarComboControl*>(Control)) dropped = combo->DroppedDown();
  GetComboArrowColors(Control, PaintKind, colorIndex, fill, dropped, Selected, enabled);
  HBRUSH frame;
  if (Selected && enabled) {
    DrawEdge(DC, &b, dropped ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    frame = ItemBrushOf(Control);
  } else {
    frame = enabled ? GetSysColorBrush(COLOR_BTNHIGHLIGHT) : ItemBrushOf(Control);
    FrameRect(DC, &b, frame);
  }
  FillBrush(DC, TRect{b.left - 1, b.top, b.left, b.bottom}, frame);
  InflateRect(&b, -1, -1);
  FillBrush(DC, b, fill ? fill : ItemBrushOf(Control));
  if (dropped) OffsetRect(&b, 1, 1);
  int size = b.Width() / 2;
  if (size % 2 == 0) ++size;
  int left = (b.left + b.right - size) / 2, top = (b.top + b.bottom - (size + 1) / 2) / 2;
  if (enabled) {
    DrawDownTriangle(Control, DC, colorIndex, size, top, left);
  } else {
    DrawDownTriangle(Control, DC, COLOR_BTNHIGHLIGHT, size, top + 1, left + 1);
    DrawDownTriangle(Control, DC, COLOR_BTNSHADOW, size, top, left);
  }
}

void TkxBarItemControlStandardPainter::DrawDropDownListBorder(TkxBarManager*, HDC DC, const TRect& R) const {
  TRect r = R;
  DrawEdge(DC, &r, EDGE_RAISED, BF_RECT);
}

void TkxBarItemControlStandardPainter::DrawMenuItemEdges(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control,
                                                         int GapWidth, int Index, const TRect& R, HDC DC) const {
  int a = GapWidth;
  TkxBarItemLinks* links = Menu->ItemLinks();
  if (Control->BandStart()) {
    int top = R.top - 1;
    if (!Control->NonRecent() && Control->Link() && Control->Link()->BeginGroup() && Index > 0)
      top -= GetMenuSeparatorSize();
    TRect line{R.left - a, top, R.right + 1, top + 1};
    FillBrush(DC, line, GetSysColorBrush(Control->NonRecent() ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
  }
  if (!Control->NonRecent()) return;
  HBRUSH brush = ItemBrushOf(Control);
  if (Index > 0 && !Menu->IsDetachable()) {
    FillBrush(DC, TRect{R.left - a, R.top - 1, R.right + 2, R.top}, brush);
    SetPixel(DC, R.right + 1, R.top - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  FillBrush(DC, TRect{R.left - a, R.top, R.left, R.bottom}, brush);
  FillBrush(DC, TRect{R.right, R.top, R.right + 2, R.bottom}, brush);
  if (links && links->ShownItemCount() > 0 && links->ShownItems(links->ShownItemCount() - 1) == Control->Link()) {
    TRect below{R.left - a, R.bottom, R.right + 2, Menu->ClientHeight()};
    FillBrush(DC, below, brush);
    if (a != 0) SetPixel(DC, R.left - a, Menu->ClientHeight() - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

void TkxBarItemControlStandardPainter::PrepareEditWindow(TkxBarItemControl*, HWND Wnd) const {
  SendMessageA(Wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
}

// ---------------------------------------------------------------------------
// enhanced

void TkxBarItemControlEnhancedPainter::DrawMarkChevron(TCustomkxBarControl* Bar, HDC DC, HBRUSH, int X,
                                                       const TRect& R) const {
  COLORREF text = GetSysColor(COLOR_BTNTEXT);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !t->IsVertical()) {
    int y = IsLowBar(Bar, R) ? 3 : 4;
    for (int k = 0; k < 2; ++k) Stroke(DC, {POINT{X + k, y}, POINT{X + k + 2, y + 2}, POINT{X + k - 1, y + 5}}, text);
  } else {
    int w = Bar->ClientWidth();
    for (int k = 0; k < 2; ++k)
      Stroke(DC, {POINT{w - 8, X + k}, POINT{w - 6, X + k + 2}, POINT{w - 3, X + k - 1}}, text);
  }
}

void TkxBarItemControlEnhancedPainter::DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                     const TRect& R) const {
  TRect r = R;
  int state = Bar->MarkState();
  if (state == 1) DrawEdge(DC, &r, BDR_RAISEDINNER, BF_RECT);
  else if (state == 2) DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
  else FrameRect(DC, &r, Brush);
  InflateRect(&r, -1, -1);
  Bar->FillBackground(DC, r, true, Brush, nullptr);
}

void TkxBarItemControlEnhancedPainter::DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  COLORREF color = GetSysColor(GetMarkArrowColorIndex(Bar));
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  if (!t || !t->IsVertical()) {
    int x = R.left + 3, y = R.bottom - 7 - (IsLowBar(Bar, R) ? 1 : 0);
    POINT p[3] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
    Polygon(DC, p, 3);
  } else {
    int x = R.left + 5, y = R.top + 3;
    POINT p[3] = {{x, y}, {x, y + 4}, {x - 2, y + 2}};
    Polygon(DC, p, 3);
  }
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
  TkxBarItemControlStandardPainter::DrawMark(Bar, DC, R);
}

void TkxBarItemControlEnhancedPainter::DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH, TRect R) const {
  DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
  InflateRect(&R, -2, -2);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !t->Bar() || !t->Bar()->CanBeMoved()) return;
  int at = GetGripOffset();
  TRect g = t->IsVertical() ? TRect{R.left + 1, R.top + at, R.right - 1, R.top + at + GetGripWidth()}
                            : TRect{R.left + at, R.top + 1, R.left + at + GetGripWidth(), R.bottom - 1};
  DrawEdge(DC, &g, BDR_RAISEDINNER, BF_RECT);
  TRect inside = g;
  InflateRect(&inside, -1, -1);
  FillBrush(DC, inside, GetSysColorBrush(COLOR_BTNFACE));
}

void TkxBarItemControlEnhancedPainter::GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const {
  int w = Bar->ClientWidth(), h = Bar->ClientHeight();
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->IsVertical()) R = TRect{0, h - 11, w, h};
  else if (t && t->IsHorizontal()) R = TRect{w - 11, 0, w, h};
  else R = TRect{0, 0, 13, GetSmallCaptionHeight()};
}
