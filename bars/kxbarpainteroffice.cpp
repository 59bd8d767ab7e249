// The Office 2003 bar painter: the flat painter's routines on the Office 2003
// colour table, with tube-shaded toolbars with rounded corners, dotted grips,
// gradient buttons with a dark border, a shaded glyph column in menus and the
// customize mark.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "framework/uxoffice11.h"
#include "platform/controls/stdwnd.h"
#include "platform/win/system.h"

namespace {

void OfficeFill(HDC DC, const TRect& R, HBRUSH Brush) {
  if (R.right > R.left && R.bottom > R.top) FillRect(DC, &R, Brush);
}

void OfficeFillColor(HDC DC, const TRect& R, TColor Color) {
  if (R.right > R.left && R.bottom > R.top) FillRectWithColor(DC, R, Color);
}

void OfficePixel(HDC DC, int X, int Y, TColor Color) { SetPixel(DC, X, Y, ColorToRGB(Color)); }

TColor Blend(TColor A, TColor B) { return MixColorsByPercent(A, B, 50); }

HBRUSH OfficeBarBrush(TkxBarItemControl* Control) {
  TCustomkxBarControl* bar = Control ? Control->Parent() : nullptr;
  HBRUSH b = bar ? bar->ItemBrush() : nullptr;
  return b ? b : Office11MenuBrush;
}

bool OfficeInMenu(TkxBarItemControl* Control) {
  return Control && Control->Parent() && Control->Parent()->IsMenuWindow();
}

TkxBarControl* OfficeToolbar(TCustomkxBarControl* Bar) { return dynamic_cast<TkxBarControl*>(Bar); }

bool OfficeIsMainMenu(TCustomkxBarControl* Bar) {
  TkxBarControl* t = OfficeToolbar(Bar);
  return t && t->Bar() && t->Bar()->IsMainMenu();
}

bool OfficeHasSingleBorder(TCustomkxBarControl* Bar) {
  TkxBarControl* t = OfficeToolbar(Bar);
  return t && t->Bar() && t->Bar()->BorderStyle() == bbsSingle;
}

// A sub item's menu, or an open drop-down button menu with items: the button
// and its menu are shaded as one.
bool OpensChildMenu(const TkxBarItemControlPainter* P, TkxBarItemControl* Control) {
  if (!Control || (Control->Parent() && Control->Parent()->IsQuickCustomizing())) return false;
  if (dynamic_cast<TkxBarSubItemControl*>(Control)) return true;
  auto* b = dynamic_cast<TkxBarButtonControl*>(Control);
  return b && P->HasFlatButtons() && b->DroppedDown() && b->ButtonItem() && b->ButtonItem()->DropDownMenu();
}

void ButtonGradientColors(TkxBarItemControl* Control, bool DownOrPressed, bool Selected, TColor& C1, TColor& C2) {
  TCustomkxBarControl* bar = Control->Parent();
  if (bar && bar->IsQuickCustomizing()) {
    C1 = C2 = DownOrPressed ? Office11BarFaceColor : Office11HotGradientColor1;
  } else if (!DownOrPressed) {
    C1 = Office11HotGradientColor1;
    C2 = Office11HotGradientColor2;
  } else if (Selected) {
    C1 = Office11DownGradientColor2;
    C2 = Office11DownGradientColor1;
  } else {
    C1 = Office11DownGradientColor1;
    C2 = Office11DownGradientColor2;
    if (ColorToRGB(C1) == ColorToRGB(C2)) C1 = C2 = Office11HotColor;
  }
}

// The bar window's own gradient rectangle (window coordinates): the whole
// window less one pixel at both ends across the bar.
TRect BarGradientRect(TCustomkxBarControl* Bar) {
  TRect w = Bar->GetWindowRect();
  TRect r{0, 0, w.Width(), w.Height()};
  if (kxBarIsVerticalToolbar(Bar)) InflateRect(&r, -1, 0);
  else InflateRect(&r, 0, -1);
  return r;
}

// The dock site's colour at a window column of a docked bar.
TColor DockColorAt(TCustomkxBarControl* Bar, int X) {
  TkxDockControl* site = Bar->DockControl();
  if (!site) return Office11DockColor1;
  TRect c = site->ClientRect();
  return GradientColorAt(c, X + Bar->Left(), Office11DockColor1, Office11DockColor2, true);
}

void ClipTo(HDC DC, const TRect& R, HRGN& Kept, bool& Had) {
  Kept = kxBarKeepClipRegion(DC, Had);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
}

}  // namespace

TkxBarItemControlPainterClass TkxBarItemControlOffice11Painter::Instance() {
  static const TkxBarItemControlOffice11Painter p;
  return &p;
}

void TkxBarItemControlOffice11Painter::DrawGripDots(TCustomkxBarControl*, HDC DC, bool Vertical,
                                                    const TRect& R) const {
  DrawOffice11GripDots(DC, R, Vertical);
}

// ---------------------------------------------------------------------------
// buttons

void TkxBarItemControlOffice11Painter::DrawButtonFrame(TkxBarItemControl* Control, HDC DC,
                                                       const TkxBarButtonPaintState& S, const TRect& R, bool FrameFits,
                                                       HBRUSH Brush) const {
  bool menu = S.PaintKind == kxPaintKindMenu;
  if (menu && S.Selected && S.NoGlyph && !S.Down) {
    OfficeFill(DC, R, Brush);
    return;
  }
  bool u = S.Down || S.Selected || S.Pressed;
  TCustomkxBarControl* bar = Control->Parent();
  bool across = kxBarIsVerticalToolbar(bar);
  if (S.Down && OpensChildMenu(this, Control)) {
    FillGradientRect(DC, R, Office11OpenDropDownColor1, Office11OpenDropDownColor2, across);
  } else if (!menu && u) {
    TColor c1, c2;
    ButtonGradientColors(Control, S.Down || S.Pressed, S.Selected, c1, c2);
    FillGradientRect(DC, R, c1, c2, across);
  } else {
    FillItemBackground(Control, DC, u, Brush, R);
  }
  if (S.Down || (S.Selected && !menu)) {
    auto* button = dynamic_cast<TkxBarButtonControl*>(Control);
    bool checked = S.Down && button && button->ButtonItem() && button->ButtonItem()->Down();
    if (S.Down && S.DropDownMenu) FrameOpenOwner(bar, DC, Control->GetChildBarControl(), Control, R);
    else if (S.Selected || checked) FrameRectByOffice11Border(DC, R);
    else FrameRect(DC, &R, Office11FrameBrush);
  } else if (FrameFits) {
    FrameItemBackground(Control, DC, u, Brush, R);
  }
}

void TkxBarItemControlOffice11Painter::DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC,
                                                          const TkxBarButtonPaintState& S, int ImageIndex,
                                                          TCustomImageList* Images, TBitmap* Bitmap,
                                                          const TRect& GlyphR, TRect CellR, bool FrameFits,
                                                          HBRUSH Brush) const {
  if (FrameFits) InflateRect(&CellR, -1, -1);
  // the frame, painted first, is the background
  DrawCellGlyph(Control, DC, S, ImageIndex, Images, Bitmap, GlyphR, CellR, Brush, true, false, false);
}

void TkxBarItemControlOffice11Painter::DrawDropDownArrow(HDC DC, const TRect& R, bool, bool Enabled, bool Selected,
                                                         int) const {
  DrawOffice11MarkTriangle(DC, R, true, Enabled, Selected);
}

void TkxBarItemControlOffice11Painter::DrawStateArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected,
                                                      bool, int Size, int) const {
  DrawOffice11Triangle(DC, R, Down, Size, Selected, Enabled);
}

void TkxBarItemControlOffice11Painter::GetEditColors(TkxBarItemControl* Control, TColor& TextColor,
                                                     TColor& BkColor) const {
  if (Control && Control->IsEnabled()) {
    TextColor = Office11TextColor;
    BkColor = clWindow;
  } else {
    TextColor = Office11DisabledTextColor;
    BkColor = clBtnFace;
  }
}

void TkxBarItemControlOffice11Painter::GetCaptionColors(TkxBarItemControl*, bool Enabled, TColor& ShadowColor,
                                                        TColor& TextColor, bool Flat, bool Selected) const {
  if (!Enabled) TextColor = Office11DisabledTextColor;
  else if (Selected && !Flat) TextColor = IsWhiteFaceScheme() ? clWhite : Office11SelectedCaptionTextColor;
  else TextColor = Office11TextColor;
  ShadowColor = TextColor;
}

TColor TkxBarItemControlOffice11Painter::GetCaptionMarkColor(TCustomkxBarControl*, int MarkState) const {
  switch (MarkState) {
    case 1: return Office11CaptionMarkHotColor;
    case 2: return Office11CaptionMarkPressedColor;
    default: return Office11CaptionTextColor;
  }
}

void TkxBarItemControlOffice11Painter::DrawDownTriangle(TkxBarItemControl*, HDC DC, int Color, int Size, int Top,
                                                        int Left) const {
  COLORREF c = ColorToRGB(TColor(Color));
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HBRUSH brush = CreateSolidBrush(c);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  POINT p[3] = {{Left, Top}, {Left + Size - 1, Top}, {Left + Size / 2, Top + Size / 2}};
  Polygon(DC, p, 3);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

void TkxBarItemControlOffice11Painter::DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption,
                                                      bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  TRect r = R;
  if (Selected) FrameRectByOffice11Border(DC, r);
  else FrameItemBackground(Control, DC, false, nullptr, r);
  InflateRect(&r, -1, -1);
  TRect g{r.left, r.top, r.left + r.Height(), r.bottom};
  TkxBarButtonPaintState s;
  s.Down = Down;
  s.Selected = Selected;
  s.PaintKind = kxPaintKindMenu;
  bool captionOnly = !Control->HasGlyph() || !HasCaption;
  s.NoGlyph = captionOnly;
  DrawGlyphButton(Control, DC, g, s, captionOnly, nullptr);
  HBRUSH brush = Selected && bar ? bar->DownBrush() : OfficeBarBrush(Control);
  FillItemBackground(Control, DC, Selected, brush, TRect{g.right, r.top, g.right + 2, r.bottom});
  r.left = g.right + 2;
  FillItemBackground(Control, DC, Selected, brush, r);
  r.left += 8;
  DrawItemCaption(Control, DC, !IsWhiteFaceScheme(), false, false, Selected, Control->IsEnabled(), 0, r,
                  Control->GetCaption());
}

void TkxBarItemControlOffice11Painter::DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed,
                                                           bool Selected, bool Enabled, TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  HBRUSH fill;
  if (Selected && bar) {
    FrameRectByOffice11Border(DC, R);
    fill = Pressed ? bar->HotDownBrush() : bar->DownBrush();
  } else if (Enabled) {
    FrameRect(DC, &R, OfficeBarBrush(Control));
    fill = Office11BarFaceBrush;
  } else {
    FrameRectWithColor(DC, R, Office11DisabledTextColor);
    fill = GetSysColorBrush(COLOR_BTNFACE);
  }
  InflateRect(&R, -1, -1);
  OfficeFill(DC, R, fill);
}

void TkxBarItemControlOffice11Painter::GetArrowColors(TkxBarItemControl* Control, int, int& Color, HBRUSH& Brush,
                                                      bool PressedOrDroppedDown, bool Selected, bool Enabled) const {
  TCustomkxBarControl* bar = Control->Parent();
  if (!Enabled) {
    Color = int(Office11DisabledTextColor);
    Brush = GetSysColorBrush(COLOR_BTNFACE);
    return;
  }
  Color = int(Office11TextColor);
  if (!Selected || !bar) {
    Brush = OfficeBarBrush(Control);
    return;
  }
  if (IsWhiteFaceScheme()) Color = int(clWhite);
  else if (PressedOrDroppedDown && !IsOffice11SchemeActive()) Color = int(clHighlightText);
  Brush = PressedOrDroppedDown ? bar->HotDownBrush() : bar->DownBrush();
}

HBRUSH TkxBarItemControlOffice11Painter::GetButtonBrush(TkxBarItemControl* Control,
                                                        const TkxBarButtonPaintState& S) const {
  if (S.PaintKind == kxPaintKindMenu && !S.Selected && !S.Down && !S.PlainFace && Control->Parent())
    return Control->Parent()->BkBrush();
  return TkxBarItemControlFlatPainter::GetButtonBrush(Control, S);
}

// ---------------------------------------------------------------------------
// backgrounds

void TkxBarItemControlOffice11Painter::FillDockBackground(TkxDockControl* DockControl, HDC DC, TColor, HBRUSH,
                                                          const TRect& R, const TRect& SourceR) const {
  TBitmap* cache = DockControl->BackgroundCache();
  if (cache->Empty()) {
    TRect whole = DockControl->ClientRect();
    if (whole.Width() <= 0 || whole.Height() <= 0) return;
    cache->SetSize(whole.Width(), whole.Height());
    TColor c1 = Office11DockColor1, c2 = Office11DockColor2;
    if (DockControl->DockingStyle() == dsRight) c2 = c1;
    else if (DockControl->DockingStyle() == dsBottom) c1 = c2;
    FillGradientRect(cache->Canvas()->Handle(), TRect{0, 0, whole.Width(), whole.Height()}, c1, c2, true);
  }
  BitBlt(DC, R.left, R.top, R.Width(), R.Height(), cache->Canvas()->Handle(), SourceR.left, SourceR.top, SRCCOPY);
}

void TkxBarItemControlOffice11Painter::FillDockedBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color,
                                                               HBRUSH Brush, const TRect& R,
                                                               const TRect& SourceR) const {
  TkxBarControl* t = OfficeToolbar(Bar);
  if (!t || !OfficeHasSingleBorder(Bar) || OfficeIsMainMenu(Bar) || t->HasBackgroundBitmap()) {
    TkxBarItemControlFlatPainter::FillDockedBarBackground(Bar, DC, Color, Brush, R, SourceR);
    return;
  }
  TRect g = BarGradientRect(Bar);
  OffsetRect(&g, R.left - SourceR.left, R.top - SourceR.top);
  HRGN kept;
  bool had;
  ClipTo(DC, R, kept, had);
  FillTubeGradientRect(DC, g, Office11BarColor1, Office11BarColor2, t->IsVertical());
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlOffice11Painter::FillBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush,
                                                         const TRect& R, const TRect& SourceR) const {
  if (Bar->IsQuickCustomizing() || Bar->HasBackgroundBitmap()) {
    TkxBarItemControlFlatPainter::FillBarBackground(Bar, DC, Color, Brush, R, SourceR);
    return;
  }
  HRGN kept;
  bool had;
  ClipTo(DC, R, kept, had);
  FillGradientRect(DC, Bar->ClientRect(), Office11BarColor1, Office11BarColor2, false);
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlOffice11Painter::FillPopupNonClient(TCustomkxBarControl* Bar, HDC DC) const {
  TRect r;
  Bar->GetOwnerEdgeRect(false, r);
  OfficeFill(DC, r, Office11OwnerBandBrush);
}

bool TkxBarItemControlOffice11Painter::BarHasShadow(TCustomkxBarControl* Bar) const {
  if (OfficeToolbar(Bar) && !Bar->IsQuickCustomizing()) return false;
  return TkxBarItemControlFlatPainter::BarHasShadow(Bar);
}

void TkxBarItemControlOffice11Painter::FillMenuBackground(TkxBarSubMenuControl* Menu, HDC DC, TColor Color,
                                                          HBRUSH Brush, const TRect& R) const {
  if (Menu->GetBackgroundBitmap()) {
    TkxBarItemControlFlatPainter::FillMenuBackground(Menu, DC, Color, Brush, R);
    return;
  }
  HRGN kept;
  bool had;
  ClipTo(DC, R, kept, had);
  int w = Menu->GetGlyphColumnWidth(), q = 0;
  bool lessUsed = Menu->PaintingLessUsed();
  TColor c1 = lessUsed ? Office11MenuNonRecentSideStripColor1 : Office11MenuSideStripColor1;
  TColor c2 = lessUsed ? Office11MenuNonRecentSideStripColor2 : Office11MenuSideStripColor2;
  FillTubeGradientRect(DC, TRect{0, R.top, w, R.bottom}, c1, c2, true);
  if (q) OfficeFillColor(DC, TRect{w, R.top, w + q, R.bottom}, c2);
  OfficeFill(DC, TRect{std::max(int(R.left), w + q), R.top, R.right, R.bottom}, Brush ? Brush : Menu->BkBrush());
  kxBarPutBackClipRegion(DC, kept, had);
}

// ---------------------------------------------------------------------------
// toolbar frames

void TkxBarItemControlOffice11Painter::GetDockedBarBorders(TCustomkxBarControl* Bar, TRect& Widths) const {
  TkxBarControl* t = OfficeToolbar(Bar);
  GetSingleBorderMargins(t ? t->Bar() : nullptr, Bar ? Bar->DockingStyle() : dsTop, Widths);
}

void TkxBarItemControlOffice11Painter::GetSingleBorderMargins(TkxBar* Bar, TkxBarDockingStyle Style,
                                                              TRect& Margins) const {
  if (Bar && Bar->IsMainMenu()) {
    Margins = Style == dsTop || Style == dsBottom ? TRect{0, 2, 0, 2} : TRect{2, 0, 2, 0};
    return;
  }
  TkxBarItemControlFlatPainter::GetSingleBorderMargins(Bar, Style, Margins);
}

void TkxBarItemControlOffice11Painter::DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal,
                                                        HBRUSH Brush, TRect R) const {
  Bar->FillBackground(DC, R, true, Brush, nullptr);
  int o = GetBarSeparatorLineOffset(Bar, DC);
  if (Horizontal) {
    R.top += o;
    R.bottom -= o;
    OfficeFill(DC, TRect{R.left + 3, R.top, R.right - 4, R.top + 1}, Office11SeparatorDarkBrush);
    OfficeFill(DC, TRect{R.left + 4, R.top + 1, R.right - 3, R.top + 2}, Office11SeparatorLightBrush);
  } else {
    R.left += o;
    R.right -= o;
    OfficeFill(DC, TRect{R.left, R.top + 3, R.left + 1, R.bottom - 4}, Office11SeparatorDarkBrush);
    OfficeFill(DC, TRect{R.left + 1, R.top + 4, R.left + 2, R.bottom - 3}, Office11SeparatorLightBrush);
  }
}

void TkxBarItemControlOffice11Painter::DrawCaptionButtonFace(TCustomkxBarControl* Bar, HDC DC, int State,
                                                             const TRect& R) const {
  if (State == 0) {
    TkxBarManager* m = Bar->BarManager();
    OfficeFillColor(DC, R, GetFloatingCaptionColor(Bar, m && m->FormActive()));
    return;
  }
  FrameRectByOffice11Border(DC, R);
  TRect r = R;
  InflateRect(&r, -1, -1);
  OfficeFillColor(DC, r, State == 1 ? Office11HotGradientColor1 : Office11HotGradientColor2);
}

void TkxBarItemControlOffice11Painter::DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const {
  TkxBarControl* t = OfficeToolbar(Bar);
  if (!t || !t->Bar()) return;
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  TColor color = Bar->Color();
  auto dock = [&](int l, int t2, int r, int b) {
    TRect q{l, t2, r, b};
    if (q.right > q.left && q.bottom > q.top)
      TkxBarItemControlPainter::FillDockedBarBackground(Bar, DC, color, Brush, q, q);
  };
  auto bar = [&](int l, int t2, int r, int b) {
    TRect q{l, t2, r, b};
    if (q.right > q.left && q.bottom > q.top) FillDockedBarBackground(Bar, DC, color, Brush, q, q);
  };
  auto px = [&](int x, int y, TColor c) { OfficePixel(DC, x, y, c); };
  TRect grad = BarGradientRect(Bar);
  auto grow = [&](int y) { return GradientColorAt(grad, y, Office11BarColor1, Office11BarColor2, false); };
  auto gcol = [&](int x) { return GradientColorAt(grad, x, Office11BarColor1, Office11BarColor2, true); };
  auto D = [&](int x) { return DockColorAt(Bar, x); };
  int s = std::clamp(Bar->MarkState(), 0, 2);
  TColor light = Office11MarkLightColors[s], dark = Office11MarkDarkColors[s], lightBlend = Office11MarkLightBlendColors[s];
  TColor corner = Office11BarCornerColor;
  HBRUSH border = CreateSolidBrush(ColorToRGB(Office11BarBorderColor));
  bool m = Bar->IsMarkVisible();
  bool vertical = t->IsVertical();
  auto tube = [&](const TRect& Over, bool Across, std::initializer_list<TRect> Parts) {
    bool had = false;
    HRGN kept = kxBarKeepClipRegion(DC, had);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (const TRect& p : Parts) {
      HRGN piece = CreateRectRgnIndirect(&p);
      CombineRgn(rgn, rgn, piece, RGN_OR);
      DeleteObject(piece);
    }
    ExtSelectClipRgn(DC, rgn, RGN_AND);
    DeleteObject(rgn);
    FillTubeGradientRect(DC, Over, light, dark, Across);
    kxBarPutBackClipRegion(DC, kept, had);
  };
  if (t->Bar()->IsMainMenu()) {
    if (!vertical) {
      dock(L, T, Rt, T + 2);
      dock(L, B - 2, Rt, B);
    } else {
      dock(L, T, L + 2, B);
      dock(Rt - 2, T, Rt, B);
    }
  } else if (t->Bar()->BorderStyle() == bbsSingle && !vertical) {
    dock(L, T, L + 2, B);
    dock(L + 2, T, Rt, T + 1);
    dock(L + 2, B - 2, L + 3, B - 1);
    dock(L + 3, B - 1, L + 4, B);
    bar(L + 2, T + 3, L + 3, B - 3);
    px(L + 3, B - 3, corner);
    px(L + 2, B - 3, Blend(D(L + 2), corner));
    px(L + 3, B - 2, Blend(D(L + 2), corner));
    px(L + 2, T + 2, Blend(D(L + 2), grow(T + 2)));
    px(L + 3, T + 1, Blend(D(L + 2), grow(T + 2)));
    bar(L + 4, T + 1, m ? Rt - 13 : Rt - 2, T + 2);
    if (m) {
      px(Rt - 12, T + 1, lightBlend);
      px(Rt - 2, T + 2, lightBlend);
      px(Rt - 13, T + 1, Blend(lightBlend, grow(T + 2)));
      px(Rt - 2, T + 1, Blend(lightBlend, D(Rt)));
      px(Rt - 1, T + 2, Blend(lightBlend, D(Rt)));
      tube(TRect{Rt - 12, T + 1, Rt, B}, false,
           {TRect{Rt - 11, T + 1, Rt - 2, T + 2}, TRect{Rt - 2, T + 3, Rt, B - 2}, TRect{Rt - 12, B - 1, Rt - 2, B},
            TRect{Rt - 11, B - 2, Rt - 1, B - 1}});
      px(Rt - 1, B - 2, Blend(dark, D(Rt)));
      px(Rt - 2, B - 1, Blend(dark, D(Rt)));
    } else {
      px(Rt - 2, T + 1, Blend(D(Rt), grow(T + 2)));
      px(Rt - 1, T + 2, Blend(D(Rt), grow(T + 2)));
      bar(Rt - 2, T + 2, Rt - 1, B - 2);
      bar(Rt - 1, T + 3, Rt, B - 1);
    }
    bar(L + 4, B - 2, m ? Rt - 13 : Rt - 2, B - 1);
    if (!m) {
      px(Rt - 2, B - 1, Blend(corner, D(Rt)));
      px(Rt - 1, B - 2, Blend(corner, D(Rt)));
      px(Rt - 2, B - 2, corner);
      OfficeFill(DC, TRect{L + 4, B - 1, Rt - 2, B}, border);
    } else {
      px(Rt - 13, B - 1, Blend(dark, corner));
      px(Rt - 12, B - 2, Blend(dark, corner));
      px(Rt - 13, B - 2, corner);
      OfficeFill(DC, TRect{L + 4, B - 1, Rt - 13, B}, border);
    }
    dock(L + 2, T + 1, L + 3, T + 2);
    dock(Rt - 1, T + 1, Rt, T + 2);
    dock(L + 2, B - 1, L + 3, B);
    dock(Rt - 1, B - 1, Rt, B);
  } else if (t->Bar()->BorderStyle() == bbsSingle) {
    dock(L, T, Rt, T + 2);
    dock(L, T + 2, L + 1, B);
    bar(L + 1, T + 4, L + 2, m ? B - 13 : B - 2);
    bar(L + 3, T + 2, Rt - 2, T + 3);
    px(Rt - 2, T + 3, corner);
    px(Rt - 2, T + 2, Blend(D(L + 1), corner));
    px(Rt - 1, T + 3, Blend(D(L + 1), corner));
    px(L + 1, T + 3, Blend(D(L + 1), gcol(L + 1)));
    px(L + 2, T + 2, Blend(D(L + 1), gcol(L + 1)));
    if (m) {
      px(L + 1, B - 13, Blend(lightBlend, gcol(L + 2)));
      px(L + 1, B - 12, lightBlend);
      px(L + 2, B - 2, lightBlend);
      px(L + 1, B - 2, Blend(lightBlend, D(L + 1)));
      px(L + 2, B - 1, Blend(lightBlend, D(L + 1)));
    } else {
      px(L + 1, B - 2, Blend(D(L + 1), gcol(L + 2)));
      px(L + 2, B - 1, Blend(D(L + 1), gcol(L + 2)));
    }
    bar(Rt - 2, T + 4, Rt - 1, m ? B - 13 : B - 2);
    if (!m) {
      bar(L + 3, B - 1, Rt - 1, B);
      bar(L + 2, B - 2, Rt - 2, B - 1);
      px(Rt - 2, B - 1, Blend(corner, D(Rt)));
      px(Rt - 1, B - 2, Blend(corner, D(Rt)));
      px(Rt - 2, B - 2, corner);
      OfficeFill(DC, TRect{Rt - 1, T + 4, Rt, B - 2}, border);
    } else {
      tube(TRect{L + 1, B - 12, Rt, B}, true,
           {TRect{L + 1, B - 11, L + 2, B - 2}, TRect{L + 3, B - 2, Rt - 2, B}, TRect{Rt - 2, B - 11, Rt - 1, B - 1},
            TRect{Rt - 1, B - 12, Rt, B - 2}});
      px(Rt - 1, B - 2, Blend(dark, D(Rt)));
      px(Rt - 2, B - 1, Blend(dark, D(Rt)));
      px(Rt - 2, B - 12, Blend(dark, corner));
      px(Rt - 1, B - 13, Blend(dark, corner));
      px(Rt - 2, B - 13, corner);
      OfficeFill(DC, TRect{Rt - 1, T + 4, Rt, B - 13}, border);
    }
    dock(L + 1, T + 2, L + 2, T + 3);
    dock(Rt - 1, T + 2, Rt, T + 3);
    dock(L + 1, B - 1, L + 2, B);
    dock(Rt - 1, B - 1, Rt, B);
  }
  DeleteObject(border);
  if (!t->Bar()->CanBeMoved()) return;
  TRect g = R;
  InflateRect(&g, -2, -2);
  TkxBarManager* mgr = Bar->BarManager();
  int offset = mgr ? mgr->GripOffset() : GetGripOffset();
  if (!vertical) g = TRect{g.left + offset, g.top + 3, g.left + offset + GetGripWidth(), g.bottom - 3};
  else g = TRect{g.left + 3, g.top + offset, g.right - 3, g.top + offset + GetGripWidth()};
  DrawGripDots(Bar, DC, !vertical, g);
}

void TkxBarItemControlOffice11Painter::DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                          const TRect& ClientR, TRect R) const {
  if (Bar->IsQuickCustomizing()) {
    FrameRect(DC, &R, Office11FrameBrush);
    InflateRect(&R, -1, -1);
    while (R.left < ClientR.left && R.right > R.left && R.bottom > R.top) {
      FrameRect(DC, &R, Brush);
      InflateRect(&R, -1, -1);
    }
    return;
  }
  HBRUSH outer = CreateSolidBrush(ColorToRGB(Office11FloatingFrameOuterColor));
  HBRUSH inner = CreateSolidBrush(ColorToRGB(Office11FloatingFrameInnerColor));
  FrameRect(DC, &R, outer);
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, outer);
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, inner);
  COLORREF o = ColorToRGB(Office11FloatingFrameOuterColor);
  SetPixel(DC, R.left, R.top, o);
  SetPixel(DC, R.right - 1, R.top, o);
  SetPixel(DC, R.left, R.bottom - 1, o);
  SetPixel(DC, R.right - 1, R.bottom - 1, o);
  DeleteObject(outer);
  DeleteObject(inner);
}

void TkxBarItemControlOffice11Painter::DrawFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH,
                                                           int CloseButtonState, TRect R) const {
  HBRUSH fill = CreateSolidBrush(ColorToRGB(Office11FloatingCaptionFillColor));
  TkxBarItemControlFlatPainter::Instance()->DrawFloatingCaption(Bar, DC, fill, CloseButtonState, R);
  DeleteObject(fill);
}

// With the system's visual styles the size grips, the border of a bottom
// whole-row bar, drop-down backgrounds and calendar buttons are the theme's.
namespace {
bool OfficeThemed(TkxBarManager* Manager) { return Manager && Manager->VisualStylesAvailable(); }
bool OfficeThemed(TCustomkxBarControl* Bar) { return Bar && OfficeThemed(Bar->BarManager()); }
}  // namespace

void TkxBarItemControlOffice11Painter::DrawSizeGripArea(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                        const TRect& R) const {
  if (OfficeThemed(Bar)) TkxBarItemControlXPPainter::Instance()->DrawSizeGripArea(Bar, DC, Brush, R);
  else TkxBarItemControlPainter::DrawSizeGripArea(Bar, DC, Brush, R);
}

void TkxBarItemControlOffice11Painter::FillBottomBarBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                           const TRect& R) const {
  if (OfficeThemed(Bar)) TkxBarItemControlXPPainter::Instance()->FillBottomBarBorder(Bar, DC, Brush, R);
  else TkxBarItemControlPainter::FillBottomBarBorder(Bar, DC, Brush, R);
}

void TkxBarItemControlOffice11Painter::FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color,
                                                              HBRUSH Brush, const TRect& R,
                                                              const TRect& SourceR) const {
  if (OfficeThemed(Bar)) TkxBarItemControlXPPainter::Instance()->FillDropDownBackground(Bar, DC, Color, Brush, R, SourceR);
  else TkxBarItemControlPainter::FillDropDownBackground(Bar, DC, Color, Brush, R, SourceR);
}

void TkxBarItemControlOffice11Painter::GetSizeGripSize(TkxBarManager* Manager, TSize& Size) const {
  if (OfficeThemed(Manager)) TkxBarItemControlXPPainter::Instance()->GetSizeGripSize(Manager, Size);
  else TkxBarItemControlPainter::GetSizeGripSize(Manager, Size);
}

void TkxBarItemControlOffice11Painter::DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const {
  if (kxBarVisualStylesAvailable()) TkxBarItemControlXPPainter::Instance()->DrawCalendarButton(DC, Pressed, Text, R);
  else TkxBarItemControlFlatPainter::DrawCalendarButton(DC, Pressed, Text, R);
}

// ---------------------------------------------------------------------------
// the mark

void TkxBarItemControlOffice11Painter::DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                     const TRect& R) const {
  int s = std::clamp(Bar->MarkState(), 0, 2);
  TColor light = Office11MarkLightColors[s], dark = Office11MarkDarkColors[s];
  TkxBarControl* t = OfficeToolbar(Bar);
  bool vertical = t && t->IsVertical();
  if (!OfficeHasSingleBorder(Bar) || OfficeIsMainMenu(Bar)) {
    FillTubeGradientRect(DC, R, light, dark, vertical);
    return;
  }
  // the mark reaches into the bar's border: a strip of bar background, then the gradient
  TRect margins = t->GetNonClientMargins();
  TRect grad = BarGradientRect(Bar);
  TRect r = R;
  if (!vertical) {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.left + 2, R.bottom}, true, Brush, nullptr);
    TColor g = GradientColorAt(grad, R.top + margins.top + 2, Office11BarColor1, Office11BarColor2, false);
    OfficePixel(DC, R.left + 1, R.top, Blend(Office11MarkLightBlendColors[s], g));
    r.left += 2;
    r.top -= 2;
    r.bottom += 2;
  } else {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.right, R.top + 2}, true, Brush, nullptr);
    TColor g = GradientColorAt(grad, R.left + margins.left + 2, Office11BarColor1, Office11BarColor2, true);
    OfficePixel(DC, R.left, R.top + 1, Blend(Office11MarkLightBlendColors[s], g));
    r.top += 2;
    r.left -= 2;
    r.right += 2;
  }
  FillTubeGradientRect(DC, r, light, dark, vertical);
}

void TkxBarItemControlOffice11Painter::DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  TkxBarControl* t = OfficeToolbar(Bar);
  bool plain = !OfficeHasSingleBorder(Bar) || OfficeIsMainMenu(Bar);
  int f = plain ? 2 : 0, g = plain ? 1 : 0;
  bool hidden = t && (t->ItemsHidden() || t->Truncated());
  bool vertical = t && t->IsVertical();
  auto shape = [&](int DX, int DY, TColor C) {
    COLORREF c = ColorToRGB(C);
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HBRUSH brush = CreateSolidBrush(c);
    HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
    auto tri = [&](POINT A, POINT B, POINT Cc) {
      POINT p[3] = {{A.x + DX, A.y + DY}, {B.x + DX, B.y + DY}, {Cc.x + DX, Cc.y + DY}};
      Polygon(DC, p, 3);
    };
    if (!vertical) {
      int x = R.right - f - 6, y = R.bottom - g - 8;
      OfficeFill(DC, TRect{x + DX, y + DY, x + 5 + DX, y + 1 + DY}, brush);
      tri({x, y + 3}, {x + 4, y + 3}, {x + 2, y + 5});
      if (hidden) {
        int cx = R.right - f - 7, cy = R.top - g + 3;
        for (int k = 0; k < 2; ++k) tri({cx + 4 * k, cy}, {cx + 4 * k + 1, cy + 1}, {cx + 4 * k, cy + 2});
      }
    } else {
      int x = R.right - g - 8, y = R.bottom - f - 6;
      OfficeFill(DC, TRect{x + DX, y + DY, x + 1 + DX, y + 5 + DY}, brush);
      tri({x + 3, y}, {x + 3, y + 4}, {x + 5, y + 2});
      if (hidden) {
        int cx = R.left - f + 3, cy = R.bottom - g - 7;
        for (int k = 0; k < 2; ++k) tri({cx, cy + 4 * k}, {cx + 1, cy + 4 * k + 1}, {cx + 2, cy + 4 * k});
      }
    }
    SelectObject(DC, op);
    SelectObject(DC, ob);
    DeleteObject(pen);
    DeleteObject(brush);
  };
  shape(1, 1, Office11MarkArrowShadowColor);
  shape(0, 0, Office11MarkArrowColor);
}

void TkxBarItemControlOffice11Painter::GetMarkHitRect(TCustomkxBarControl* Bar, TRect& R) const {
  GetMarkRect(Bar, R);
  if (!OfficeHasSingleBorder(Bar) || OfficeIsMainMenu(Bar)) return;
  switch (Bar->DockingStyle()) {
    case dsLeft:
    case dsRight:
      R.left -= 1;
      R.right += 1;
      R.bottom += 2;
      break;
    case dsTop:
    case dsBottom:
      R.top -= 1;
      R.right += 2;
      R.bottom += 1;
      break;
    default:
      break;
  }
}

void TkxBarItemControlOffice11Painter::RedrawMark(TCustomkxBarControl* Bar) const {
  TkxBarItemControlFlatPainter::RedrawMark(Bar);
  if (Bar && Bar->HandleAllocated() && Bar->DockingStyle() != dsNone) SendMessageA(Bar->Handle(), WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------
// combos, drop-down parts, edits

void TkxBarItemControlOffice11Painter::DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind,
                                                       bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  int width = bar ? bar->ComboButtonWidth() : 13;
  TRect b{R.right - width, R.top, R.right, R.bottom};
  auto* combo = dynamic_cast<TCustomkxBarComboControl*>(Control);
  if (combo) combo->SetButtonRect(b);
  bool enabled = Control->IsEnabled(), dropped = combo && combo->DroppedDown();
  int color = int(Office11TextColor);
  HBRUSH fill = nullptr;
  GetComboArrowColors(Control, PaintKind, color, fill, dropped, Selected, enabled);
  if (Selected) {
    TRect outer = b;
    InflateRect(&outer, 1, 1);
    FrameRectByOffice11Border(DC, outer);
    TColor c1, c2;
    ButtonGradientColors(Control, dropped, Selected, c1, c2);
    FillGradientRect(DC, b, c1, c2, false);
    InflateRect(&b, -1, -1);
  } else {
    HBRUSH frame = enabled ? GetSysColorBrush(COLOR_WINDOW) : fill;
    FrameRect(DC, &b, frame);
    OfficeFill(DC, TRect{b.left - 1, b.top, b.left, b.bottom}, frame);
    InflateRect(&b, -1, -1);
    if (enabled && PaintKind == kxPaintKindMenu) OfficeFill(DC, b, Office11BarFaceBrush);
    else FillItemBackground(Control, DC, !enabled, fill, b);
    if (dropped) OffsetRect(&b, 1, 1);
  }
  int a = b.Width() / 2;
  if (a % 2 == 0) ++a;
  int x = (b.left + b.right - a) / 2, y = (b.top + b.bottom - a / 2) / 2;
  DrawDownTriangle(Control, DC, color, a, y, x);
}

void TkxBarItemControlOffice11Painter::GetComboArrowColors(TkxBarItemControl* Control, int State, int& Color,
                                                           HBRUSH& Brush, bool DroppedDown, bool Selected,
                                                           bool Enabled) const {
  GetArrowColors(Control, State, Color, Brush, DroppedDown, Selected, Enabled);
  TCustomkxBarControl* bar = Control->Parent();
  if (!Enabled || !bar) return;
  if (Selected) Brush = bar->DownBrush();
  else if (DroppedDown) Brush = bar->HotDownBrush();
}

void TkxBarItemControlOffice11Painter::DrawDropDownListBorder(TkxBarManager*, HDC DC, const TRect& R) const {
  FrameRect(DC, &R, Office11FrameBrush);
  TRect r = R;
  InflateRect(&r, -1, -1);
  FrameRect(DC, &r, Office11OwnerBandBrush);
}

void TkxBarItemControlOffice11Painter::FrameArrowPart(TkxBarItemControl* Control, HDC DC, bool Menu, bool Selected,
                                                      const TRect& R) const {
  if (Selected) FrameRectByOffice11Border(DC, R);
  else if (Menu) FrameRect(DC, &R, Office11SeparatorDarkBrush);
  else FrameItemBackground(Control, DC, false, nullptr, R);
}

int TkxBarItemControlOffice11Painter::CalcEditWidth(TkxBarItemControl* Control, int CaptionWidth) const {
  int w = TkxBarItemControlFlatPainter::CalcEditWidth(Control, CaptionWidth);
  if (auto* menu = dynamic_cast<TkxBarSubMenuControl*>(Control ? Control->Parent() : nullptr))
    w += menu->GetGlyphColumnWidth() + 1;
  return w;
}

void TkxBarItemControlOffice11Painter::DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected,
                                                     TRect& R) const {
  if (Selected) FrameRectByOffice11Border(DC, R);
  else if (!Control->IsEnabled()) FrameRectWithColor(DC, R, Office11DisabledTextColor);
  else if (OfficeInMenu(Control)) FrameRect(DC, &R, Office11BarFaceBrush);
  else FrameItemBackground(Control, DC, false, nullptr, R);
  InflateRect(&R, -1, -1);
}

int TkxBarItemControlOffice11Painter::GetContainerIndent(TkxBarItemControl* Control) const {
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(Control ? Control->Parent() : nullptr);
  if (!menu || Control->HasGlyph()) return 0;
  return menu->GetGlyphColumnWidth();
}

// ---------------------------------------------------------------------------
// menus

void TkxBarItemControlOffice11Painter::DrawMenuExpandChevron(TkxBarSubMenuControl*, HDC DC, bool,
                                                             const TRect& R) const {
  TBitmap* bmp = Office11SubMenuExpandBitmap;
  if (!bmp || bmp->Empty()) return;
  TRect r = R;
  InflateRect(&r, -1, -1);
  int w = bmp->Width(), h = bmp->Height();
  int left = (r.left + r.right) / 2 - w / 2, top = r.top + (r.Height() - h) / 2;
  TkxBarGlyphParams g;
  g.ButtonRect = TRect{left, r.top, left + w, r.bottom};
  g.UseExistingBackground = true;
  g.Bitmap = bmp;
  g.GlyphRect = TRect{left, top, left + w, top + h};
  kxBarDrawGlyph(DC, g);
}

void TkxBarItemControlOffice11Painter::CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth,
                                                       int& ExpandRowHeight, int& CheckWidth) const {
  TkxBarItemControlFlatPainter::CalcMenuMetrics(Menu, RowUnit, ArrowPartWidth, ExpandRowHeight, CheckWidth);
  if (Office11SubMenuExpandBitmap && !Office11SubMenuExpandBitmap->Empty())
    ExpandRowHeight = Office11SubMenuExpandBitmap->Height() + 2;
}

int TkxBarItemControlOffice11Painter::GetDetachStripHeight(TkxBarSubMenuControl* Menu) const {
  return Menu->GetDetachBarHeight() + 5;
}

void TkxBarItemControlOffice11Painter::DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const {
  FrameRect(DC, &R, Office11FrameBrush);
  TRect band;
  Menu->GetOwnerEdgeRect(false, band);
  OfficeFill(DC, band, Office11MenuBrush);
  if (!Menu->IsDetachable()) return;
  InflateRect(&R, -1, -1);
  R.bottom = R.top + Menu->GetDetachBarHeight() + 5;
  FrameRect(DC, &R, Office11MenuBrush);
  R.top += 1;
  R.bottom -= 1;
  OfficeFill(DC, TRect{R.left, R.top, R.right, R.top + 2}, Office11MenuBrush);
  OfficeFill(DC, TRect{R.left, R.bottom - 1, R.right, R.bottom}, Office11MenuBrush);
  FillDetachBar(Menu, DC, Menu->GetDetachBarRect());
}

void TkxBarItemControlOffice11Painter::DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH, TRect R) const {
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(Bar);
  if (!menu || menu->GetBackgroundBitmap() || menu->GetBarSize() != 0) {
    FrameRect(DC, &R, Office11MenuBrush);
    return;
  }
  OfficeFill(DC, TRect{R.left, R.top, R.right, R.top + 1}, Office11MenuBrush);
  OfficeFill(DC, TRect{R.right - 1, R.top, R.right, R.bottom}, Office11MenuBrush);
  OfficeFill(DC, TRect{R.left, R.bottom - 1, R.right, R.bottom}, Office11MenuBrush);
  OfficeFillColor(DC, TRect{R.left, R.top + 1, R.left + 1, R.bottom - 1}, Office11MenuSideStripColor1);
}

void TkxBarItemControlOffice11Painter::FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const {
  TRect r = R;
  bool hot = Menu->DetachBarHot();
  HBRUSH brush = Office11DetachStripBrush;
  if (hot) {
    FrameRectByOffice11Border(DC, r);
    InflateRect(&r, -1, -1);
    brush = Office11DetachStripHotBrush;
  }
  OfficeFill(DC, r, brush);
  int dx = (r.Width() + (hot ? 0 : 2)) / 4, dy = hot ? 1 : 2;
  InflateRect(&r, -dx, -dy);
  DrawGripDots(Menu, DC, false, r);
}

// ---------------------------------------------------------------------------
// owners of open pop-ups

void TkxBarItemControlOffice11Painter::FrameOwnerItem(TCustomkxBarControl*, HDC DC, const TRect& R) const {
  FrameRect(DC, &R, Office11FrameBrush);
}

void TkxBarItemControlOffice11Painter::FillOwnerEdge(TCustomkxBarControl* Bar, HDC DC, TkxBarItemControl* Control,
                                                     const TRect& Band, const TRect& R) const {
  if (!Control || !OpensChildMenu(this, Control)) {
    TkxBarItemControlFlatPainter::FillOwnerEdge(Bar, DC, Control, Band, R);
    return;
  }
  bool farEnd = Band.Width() > Band.Height() ? Band.top > (R.top + R.bottom) / 2 : Band.left > (R.left + R.right) / 2;
  OfficeFillColor(DC, Band, farEnd ? Office11OpenDropDownColor2 : Office11OpenDropDownColor1);
}
