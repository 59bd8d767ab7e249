// The base bar painter: the default of every painter operation, and the
// larger drawing routines the styles share (glyph cells, captions, sub items,
// menus, separators, edit, combo, spin and progress parts).
#include <algorithm>

#include "bars/kxbaritems.h"
#include "framework/uxoffice11.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "treechart/dropdownhelpers.h"

namespace {

void FillWith(HDC DC, const TRect& R, HBRUSH Brush) {
  if (R.right > R.left && R.bottom > R.top) FillRect(DC, &R, Brush);
}

void FillColor(HDC DC, const TRect& R, int SysColorIndex) { FillWith(DC, R, GetSysColorBrush(SysColorIndex)); }

void Line(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ old = SelectObject(DC, pen);
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
  SelectObject(DC, old);
  DeleteObject(pen);
}

void Triangle(HDC DC, const POINT* P, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HBRUSH brush = CreateSolidBrush(Color);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  Polygon(DC, P, 3);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

TCustomkxBarControl* BarOf(TkxBarItemControl* Control) { return Control ? Control->Parent() : nullptr; }

HBRUSH BarBrushOf(TkxBarItemControl* Control) {
  TCustomkxBarControl* bar = BarOf(Control);
  HBRUSH b = bar ? bar->ItemBrush() : nullptr;
  return b ? b : GetSysColorBrush(COLOR_BTNFACE);
}

int TextWidth(HDC DC, const AnsiString& Text) {
  SIZE s{};
  GetTextExtentPoint32A(DC, Text.c_str(), int(Text.size()), &s);
  return s.cx;
}

int FontPoints(TCustomkxBarControl* Bar) { return Bar ? Bar->Canvas()->Font()->Size() : 9; }

}  // namespace

TkxBarItemControlPainterClass TkxBarItemControlPainter::Instance() {
  static const TkxBarItemControlPainter p;
  return &p;
}

// ---------------------------------------------------------------------------
// buttons and glyph cells

void TkxBarItemControlPainter::DrawGlyphCellCheck(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                                  bool FrameFits, HBRUSH Brush, TRect R) const {
  TRect r = R;
  if (FrameFits) InflateRect(&r, -1, -1);
  if (!IsLayeredStyle()) {
    bool use = S.Pressed || S.Down || S.Selected || Control->NonRecent();
    FillItemBackground(Control, DC, use, Brush, r);
  }
  if (S.PaintKind == kxPaintKindMenu && S.Down) {
    bool small = FontPoints(BarOf(Control)) < 16;
    int w = small ? 9 : 18, h = small ? 7 : 14;
    DrawCheckMark(Control, DC, small ? 1 : 2, (R.top + R.bottom - h) / 2, (R.left + R.right - w) / 2);
  }
}

void TkxBarItemControlPainter::DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                                  int ImageIndex, TCustomImageList* Images, TBitmap* Bitmap,
                                                  const TRect& GlyphR, TRect CellR, bool FrameFits,
                                                  HBRUSH Brush) const {
  if (FrameFits) InflateRect(&CellR, -1, -1);
  TCustomkxBarControl* bar = BarOf(Control);
  bool existing = false;
  if (bar && bar->NeedsDoubleBuffering() && !Control->NonRecent()) {
    bool use = (!KeepsGlyphCellFace() && (S.Pressed || S.Down || S.Selected)) || Control->NonRecent();
    FillItemBackground(Control, DC, use, Brush, CellR);
    existing = true;
  }
  TkxBarGlyphParams g;
  g.Brush = Brush;
  g.ButtonRect = CellR;
  TkxBarManager* m = Control->BarManager();
  g.ImageListBkColor = m ? m->ImageListBkColor() : clFuchsia;
  g.BlendColor = GetFadedGlyphColor(bar);
  g.UseExistingBackground = existing;
  g.ShadowAllowed = HasFlatButtons();
  g.Down = S.Pressed;
  g.Checked = S.Down;
  g.Hot = S.Selected;
  g.FlatLook = HasFlatButtons();
  g.Grayscale = S.Grayscale;
  g.Enabled = Control->CanShowGlyph() && Control->IsEnabled();
  if (!Control->IsEnabled() && Control->CanShowGlyph() && m && m->DisabledImages()) g.Enabled = true;
  g.ImageIndex = ImageIndex;
  g.Images = Images;
  g.Bitmap = Bitmap;
  g.GlyphRect = GlyphR;
  kxBarDrawGlyph(DC, g);
}

void TkxBarItemControlPainter::DrawCellGlyph(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                             int ImageIndex, TCustomImageList* Images, TBitmap* Bitmap,
                                             const TRect& GlyphR, const TRect& CellR, HBRUSH Brush,
                                             bool UseExistingBackground, bool ShadowAllowed, bool FlatLook) const {
  TkxBarManager* m = Control->BarManager();
  TkxBarGlyphParams g;
  g.Brush = Brush;
  g.ButtonRect = CellR;
  g.ImageListBkColor = m ? m->ImageListBkColor() : clFuchsia;
  g.BlendColor = GetFadedGlyphColor(Control->Parent());
  g.UseExistingBackground = UseExistingBackground;
  g.ShadowAllowed = ShadowAllowed;
  g.Down = S.Pressed;
  g.Checked = S.Down;
  g.Hot = S.Selected;
  g.FlatLook = FlatLook;
  g.Grayscale = S.Grayscale;
  g.Enabled = Control->CanShowGlyph() && (Control->IsEnabled() || (m && m->DisabledImages()));
  g.ImageIndex = ImageIndex;
  g.Images = Images;
  g.Bitmap = Bitmap;
  g.GlyphRect = GlyphR;
  kxBarDrawGlyph(DC, g);
}

void TkxBarItemControlPainter::DrawGlyphButton(TkxBarItemControl* Control, HDC DC, const TRect& R,
                                               const TkxBarButtonPaintState& S, bool CaptionOnly,
                                               const TRect* DropDownR) const {
  TkxBarManager* m = Control->BarManager();
  TRect cell = R;
  if (!CaptionOnly && S.PaintKind != kxPaintKindMenu && m) {
    if (S.PaintKind == kxPaintKindRotated) cell.bottom = std::min(int(R.bottom), int(R.top) + m->ButtonHeight());
    else cell.right = std::min(int(R.right), int(R.left) + m->ButtonWidth());
  }
  bool hasGlyph = Control->HasGlyph() && !CaptionOnly;
  int gw = 0, gh = 0;
  TBitmap* bitmap = Control->GetGlyph();
  bool fromBitmap = bitmap && !bitmap->Empty();
  bool large = S.PaintKind != kxPaintKindMenu && m && m->LargeIcons();
  TCustomImageList* images = Control->GetImages(!large);
  if (hasGlyph) {
    if (fromBitmap) {
      gw = bitmap->Width();
      gh = bitmap->Height();
    } else if (images) {
      gw = images->Width();
      gh = images->Height();
    }
    if (S.PaintKind == kxPaintKindMenu && m && m->StretchGlyphs()) {
      int check = 19;
      if (auto* menu = dynamic_cast<TkxBarSubMenuControl*>(BarOf(Control))) check = menu->MenuGlyphSize();
      gw = MulDiv(gw, cell.Width(), check);
      gh = MulDiv(gh, cell.Height(), check);
    } else if (large && !(images && m->UseLargeImages()) && fromBitmap) {
      gw *= 2;
      gh *= 2;
    }
  }
  TRect glyph{};
  if (hasGlyph) {
    int x = cell.left + (cell.Width() - gw) / 2, y = cell.top + (cell.Height() - gh) / 2;
    if (S.Pressed) {
      x += GetPressedGlyphShift(Control);
      y += GetPressedGlyphShift(Control);
    }
    if (S.Down) {
      x += GetDownGlyphShift(Control, S.Pressed);
      y += GetDownGlyphShift(Control, S.Pressed);
    }
    glyph = TRect{x, y, x + gw, y + gh};
  }
  TkxBarButtonPaintState s = S;
  s.NoGlyph = CaptionOnly || !hasGlyph;
  DrawGlyphCell(Control, DC, cell, s, Control->GetImageIndex(), fromBitmap ? nullptr : images,
                fromBitmap ? bitmap : nullptr, glyph);
}

void TkxBarItemControlPainter::DrawGlyphCell(TkxBarItemControl* Control, HDC DC, const TRect& R,
                                             const TkxBarButtonPaintState& S, int ImageIndex,
                                             TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR) const {
  HBRUSH brush = GetButtonBrush(Control, S);
  TkxBarManager* m = Control->BarManager();
  bool fits;
  if (S.NoGlyph) {
    int size = m ? m->ImageSize() : 16;
    fits = R.Width() >= size + 2 && R.Height() >= size + 2;
  } else {
    fits = R.Width() >= GlyphR.Width() + 2 && R.Height() >= GlyphR.Height() + 2;
  }
  if (IsLayeredStyle()) DrawButtonFrame(Control, DC, S, R, fits, brush);
  if (S.NoGlyph) DrawGlyphCellCheck(Control, DC, S, fits, brush, R);
  else DrawGlyphCellImage(Control, DC, S, ImageIndex, Images, Bitmap, GlyphR, R, fits, brush);
  if (!IsLayeredStyle()) DrawButtonFrame(Control, DC, S, R, fits, brush);
}

HBRUSH TkxBarItemControlPainter::GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState&) const {
  return BarBrushOf(Control);
}

void TkxBarItemControlPainter::FillItemBackground(TkxBarItemControl* Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                                  const TRect& R) const {
  if (R.right <= R.left || R.bottom <= R.top) return;
  if (UseBrush && Brush) {
    FillRect(DC, &R, Brush);
    return;
  }
  TCustomkxBarControl* bar = BarOf(Control);
  if (!bar) {
    FillColor(DC, R, COLOR_BTNFACE);
    return;
  }
  // the bar's background picture where it has one, else the brush
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(bar);
  bool saved = menu && menu->PaintingLessUsed();
  if (menu) menu->SetPaintingLessUsed(Control->NonRecent());
  bar->FillBackground(DC, R, true, Brush ? Brush : bar->BkBrush(), nullptr);
  if (menu) menu->SetPaintingLessUsed(saved);
}

void TkxBarItemControlPainter::FrameItemBackground(TkxBarItemControl* Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                                   const TRect& R) const {
  if (UseBrush && Brush) {
    FrameRect(DC, &R, Brush);
    return;
  }
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  ExcludeClipRect(DC, R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
  FillItemBackground(Control, DC, false, nullptr, R);
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlPainter::DrawDot(TkxBarItemControl*, HDC DC, const TRect& R) const {
  FillColor(DC, R, COLOR_BTNSHADOW);
}

void TkxBarItemControlPainter::GetArrowColors(TkxBarItemControl* Control, int, int& ColorIndex, HBRUSH& Brush, bool,
                                              bool, bool) const {
  ColorIndex = COLOR_BTNTEXT;
  Brush = BarBrushOf(Control);
}

void TkxBarItemControlPainter::GetComboArrowColors(TkxBarItemControl* Control, int State, int& ColorIndex,
                                                   HBRUSH& Brush, bool DroppedDown, bool Selected, bool Enabled) const {
  GetArrowColors(Control, State, ColorIndex, Brush, DroppedDown, Selected, Enabled);
}

int TkxBarItemControlPainter::GetItemTextIndent(TkxBarItemControl* Control) const {
  TCustomkxBarControl* bar = BarOf(Control);
  return bar && bar->IsMenuWindow() ? bar->RowUnit() + 1 : 0;
}

// ---------------------------------------------------------------------------
// arrows

void TkxBarItemControlPainter::DrawDropDownArrow(HDC DC, const TRect& R, bool, bool Enabled, bool Selected,
                                                 int) const {
  kxBarDrawArrow(DC, R, true, Enabled, Selected, false);
}

void TkxBarItemControlPainter::DrawStateArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected,
                                              bool Flat, int Size, int) const {
  kxBarDrawFramedArrow(DC, R, Down, Enabled, Selected, Flat, Size);
}

void TkxBarItemControlPainter::DrawDownTriangle(TkxBarItemControl*, HDC DC, int ColorIndex, int Size, int Top,
                                                int Left) const {
  POINT p[3] = {{Left, Top}, {Left + Size - 1, Top}, {Left + Size / 2, Top + Size / 2}};
  Triangle(DC, p, GetSysColor(ColorIndex));
}

// ---------------------------------------------------------------------------
// captions and colours

void TkxBarItemControlPainter::GetEditColors(TkxBarItemControl* Control, TColor& TextColor, TColor& BkColor) const {
  if (Control && Control->IsEnabled()) {
    TextColor = clWindowText;
    BkColor = clWindow;
    return;
  }
  TextColor = clGrayText;
  LOGBRUSH lb{};
  GetObjectA(BarBrushOf(Control), sizeof lb, &lb);
  BkColor = TColor(lb.lbColor);
}

TColor TkxBarItemControlPainter::GetFadedGlyphColor(TCustomkxBarControl* Bar) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  if (m && m->MakeDisabledImagesFaded()) return MixColorsByPercent(clBtnShadow, clWhite, 70);
  return clNone;
}

void TkxBarItemControlPainter::GetCaptionColors(TkxBarItemControl*, bool Enabled, TColor& ShadowColor,
                                                TColor& TextColor, bool Flat, bool Selected) const {
  if (Enabled) {
    TextColor = Selected && !Flat ? clHighlightText : clBtnText;
    ShadowColor = TextColor;
  } else if (Flat || Selected) {
    TextColor = ShadowColor = clGrayText;
  } else {
    TextColor = clBtnHighlight;
    ShadowColor = clBtnShadow;
  }
}

void TkxBarItemControlPainter::DrawItemCaption(TkxBarItemControl* Control, HDC DC, bool Highlight, bool Clip,
                                               bool Rotated, bool Selected, bool Enabled, int Alignment,
                                               const TRect& R, const AnsiString& Text) const {
  int oldMode = SetBkMode(DC, TRANSPARENT);
  TColor first, second;
  GetCaptionColors(Control, Enabled, first, second, HasFlatButtons() && Highlight, Selected);
  COLORREF c1 = ColorToRGB(first), c2 = ColorToRGB(second);
  bool had = false;
  HRGN kept = nullptr;
  if (Clip && Rotated) {
    kept = kxBarKeepClipRegion(DC, had);
    kxBarClipToRect(DC, R);
  }
  auto draw = [&](int DX, int DY, COLORREF Color) {
    SetTextColor(DC, Color);
    if (!Rotated) {
      TRect r = R;
      OffsetRect(&r, DX, DY);
      UINT align = Alignment == 1 ? DT_CENTER : Alignment == 2 ? DT_RIGHT : DT_LEFT;
      UINT flags = DT_SINGLELINE | DT_VCENTER | align | (Clip ? 0 : DT_NOCLIP);
      DrawTextA(DC, Text.c_str(), int(Text.size()), &r, flags);
      return;
    }
    // a font turned by 90 degrees: the prefix is resolved by hand
    AnsiString shown;
    int accel = -1;
    for (std::size_t i = 0; i < Text.size(); ++i) {
      if (Text[i] == '&' && i + 1 < Text.size()) {
        ++i;
        if (Text[i] != '&') accel = int(shown.size());
      }
      shown += Text[i];
      if (IsDBCSLeadByte(static_cast<unsigned char>(Text[i])) && i + 1 < Text.size()) shown += Text[++i];
    }
    SIZE ext{};
    GetTextExtentPoint32A(DC, shown.c_str(), int(shown.size()), &ext);
    TEXTMETRICA tm;
    GetTextMetricsA(DC, &tm);
    int along = Alignment == 1 ? (R.Height() - ext.cx) / 2 : Alignment == 2 ? R.Height() - ext.cx : 0;
    int x = R.left + (R.Width() + tm.tmHeight) / 2 + DX, y = R.top + along + DY;
    TextOutA(DC, x, y, shown.c_str(), int(shown.size()));
    if (accel >= 0) {
      SIZE before{}, ch{};
      GetTextExtentPoint32A(DC, shown.c_str(), accel, &before);
      int len = IsDBCSLeadByte(static_cast<unsigned char>(shown[std::size_t(accel)])) ? 2 : 1;
      GetTextExtentPoint32A(DC, shown.c_str() + accel, len, &ch);
      int ux = x - tm.tmAscent - 1;
      Line(DC, ux, y + before.cx, ux, y + before.cx + ch.cx, Color);
    }
  };
  if (c1 != c2) draw(1, 1, c2);
  draw(0, 0, c1);
  if (Clip && Rotated) kxBarPutBackClipRegion(DC, kept, had);
  SetBkMode(DC, oldMode == 0 ? OPAQUE : oldMode);
  SetBkMode(DC, OPAQUE);
}

void TkxBarItemControlPainter::DrawCenteredText(HDC DC, const TRect& R, bool Opaque, const AnsiString& Text,
                                                int Offset) const {
  TRect r = R;
  OffsetRect(&r, Offset, Offset);
  SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
  SetBkMode(DC, Opaque ? OPAQUE : TRANSPARENT);
  DrawTextA(DC, Text.c_str(), int(Text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void TkxBarItemControlPainter::DrawStaticBorder(TkxBarItemControl*, HDC DC, TkxBarStaticBorderStyle Style, int Inset,
                                                TRect& R) const {
  switch (Style) {
    case TkxBarStaticBorderStyle::sbsLowered:
      DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
      InflateRect(&R, -Inset, -Inset);
      break;
    case TkxBarStaticBorderStyle::sbsRaised:
      DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
      InflateRect(&R, -Inset, -Inset);
      break;
    case TkxBarStaticBorderStyle::sbsEtched:
      DrawEdge(DC, &R, EDGE_ETCHED, BF_RECT);
      InflateRect(&R, -Inset, -Inset);
      break;
    case TkxBarStaticBorderStyle::sbsBump:
      DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
      InflateRect(&R, -1, -1);
      DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
      InflateRect(&R, -1, -1);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// metrics

int TkxBarItemControlPainter::GetFloatingBorderWidth() const { return GetSystemMetrics(SM_CXSIZEFRAME); }
int TkxBarItemControlPainter::GetFloatingBorderHeight() const { return GetSystemMetrics(SM_CYSIZEFRAME); }

int TkxBarItemControlPainter::CalcDropDownArrowWidth(TkxBarManager* Manager) const {
  int w = Manager->ButtonArrowWidth() * (Manager->LargeIcons() ? 2 : 1);
  if (w % 2 == 0) ++w;
  return w;
}

int TkxBarItemControlPainter::GetLargeDropDownArrowWidth(TkxBarManager* Manager) const {
  return Manager->LargeButtonArrowWidth();
}

int TkxBarItemControlPainter::GetSmallCaptionHeight() const {
  NONCLIENTMETRICSA m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  return m.iSmCaptionHeight;
}

void TkxBarItemControlPainter::GetCaptionButtonSize(TSize& Size) const {
  Size.cx = Size.cy = GetSmallCaptionHeight();
}

void TkxBarItemControlPainter::GetDockedBarBorders(TCustomkxBarControl*, TRect& Widths) const {
  int w = GetDockedBarBorderWidth();
  Widths = TRect{w, w, w, w};
}

void TkxBarItemControlPainter::GetSingleBorderMargins(TkxBar*, TkxBarDockingStyle, TRect& Margins) const {
  Margins = TRect{2, 2, 2, 2};
}

void TkxBarItemControlPainter::GetSizeGripSize(TkxBarManager*, TSize& Size) const {
  Size.cx = GetSystemMetrics(SM_CXHSCROLL);
  Size.cy = GetSystemMetrics(SM_CYHSCROLL);
}

// ---------------------------------------------------------------------------
// backgrounds

void TkxBarItemControlPainter::FillDockBackground(TkxDockControl*, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                                                  const TRect& SourceR) const {
  kxBarFillBackground(DC, R, SourceR, nullptr, Color, Brush);
}

HBRUSH TkxBarItemControlPainter::GetBarBrush(TkxBarManager* Manager) const {
  return Manager && Manager->FlatLightBrush() ? Manager->FlatLightBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

void TkxBarItemControlPainter::FillDockedBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush,
                                                       const TRect& R, const TRect& SourceR) const {
  TkxDockControl* site = Bar->DockControl();
  if (!site || !site->NeedsDoubleBuffering()) {
    FillWith(DC, R, Brush ? Brush : Bar->BkBrush());
    return;
  }
  TRect src = SourceR;
  OffsetRect(&src, Bar->Left(), Bar->Top());
  site->FillBackground(DC, R, site->Color(), src);
}

void TkxBarItemControlPainter::FillBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush,
                                                 const TRect& R, const TRect& SourceR) const {
  TkxBarManager* m = Bar->BarManager();
  kxBarFillBackground(DC, R, SourceR, m ? m->BarBackground() : nullptr, Color, Brush ? Brush : Bar->BkBrush());
}

void TkxBarItemControlPainter::FillPopupNonClient(TCustomkxBarControl* Bar, HDC DC) const {
  TRect r;
  Bar->GetOwnerEdgeRect(false, r);
  if (r.right > r.left && r.bottom > r.top) FillWith(DC, r, Bar->GetManagerBrush());
}

void TkxBarItemControlPainter::FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush,
                                                      const TRect& R, const TRect& SourceR) const {
  kxBarFillBackground(DC, R, SourceR, nullptr, Color, Brush);
}

HBRUSH TkxBarItemControlPainter::GetHotBrush(TCustomkxBarControl*) const { return kxBarCheckerBrush(); }

// ---------------------------------------------------------------------------
// bar frames and the mark

TColor TkxBarItemControlPainter::GetFloatingCaptionColor(TCustomkxBarControl*, bool FormActive) const {
  return FormActive ? clActiveCaption : clInactiveCaption;
}

void TkxBarItemControlPainter::DrawSizeGrip(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {
  Bar->FillBackground(DC, R, false, Brush, nullptr);
  kxBarDrawSizeGrip(DC, R);
}

void TkxBarItemControlPainter::DrawCaptionMarkArrow(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  int x = (R.left + R.right - 7) / 2, y = (R.top + R.bottom - 4) / 2;
  POINT p[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
  Triangle(DC, p, ColorToRGB(GetCaptionMarkColor(Bar, Bar ? Bar->MarkState() : 0)));
}

void TkxBarItemControlPainter::DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (!t || !(t->ItemsHidden() || t->Truncated())) return;
  if (t->IsVertical()) {
    DrawMarkChevron(Bar, DC, nullptr, R.bottom - 9, R);
    DrawMarkChevron(Bar, DC, nullptr, R.bottom - 5, R);
  } else {
    DrawMarkChevron(Bar, DC, nullptr, R.left + 2, R);
    DrawMarkChevron(Bar, DC, nullptr, R.left + 6, R);
  }
}

void TkxBarItemControlPainter::GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect&, int& X) const {
  TRect r;
  GetMarkRect(Bar, r);
  X = r.right + 3;
}

void TkxBarItemControlPainter::FillFloatingCaption(TCustomkxBarControl*, HDC DC, HBRUSH Brush, const TRect& R) const {
  FillWith(DC, R, Brush);
}

void TkxBarItemControlPainter::DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                                TRect R) const {
  int o = GetBarSeparatorLineOffset(Bar, DC);
  if (Horizontal) {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.right, R.top + o}, true, Brush, nullptr);
    Bar->FillBackground(DC, TRect{R.left, R.bottom - o, R.right, R.bottom}, true, Brush, nullptr);
    R.top += o;
    R.bottom -= o;
    Bar->FillBackground(DC, R, true, Brush, nullptr);
    DrawEdge(DC, &R, EDGE_ETCHED, BF_TOP);
  } else {
    Bar->FillBackground(DC, TRect{R.left, R.top, R.left + o, R.bottom}, true, Brush, nullptr);
    Bar->FillBackground(DC, TRect{R.right - o, R.top, R.right, R.bottom}, true, Brush, nullptr);
    R.left += o;
    R.right -= o;
    Bar->FillBackground(DC, R, true, Brush, nullptr);
    DrawEdge(DC, &R, EDGE_ETCHED, BF_LEFT);
  }
}

void TkxBarItemControlPainter::DrawCaptionButtonFace(TCustomkxBarControl* Bar, HDC DC, int State, const TRect& R) const {
  if (State == 0) {
    FillColor(DC, R, COLOR_BTNFACE);
    return;
  }
  kxBarDrawFocusFrame(DC, R);
  TRect inner = R;
  InflateRect(&inner, -1, -1);
  FillWith(DC, inner, State == 1 ? Bar->HotBrush() : Bar->HotDownBrush());
}

void TkxBarItemControlPainter::DrawFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                   int CloseButtonState, TRect R) const {
  FillWith(DC, TRect{R.left, R.bottom, R.right, R.bottom + 1}, Brush);
  if (FillsFloatingCaption()) FillFloatingCaption(Bar, DC, Brush, R);
  auto* t = dynamic_cast<TkxBarControl*>(Bar);
  if (t && t->Bar() && t->Bar()->CanClose()) R.right -= GetSmallCaptionHeight();
  int left = R.left + 2;
  if (Bar->IsMarkVisible()) GetCaptionTextLeft(Bar, R, left);
  AnsiString caption = t && t->Bar() ? t->Bar()->Caption() : AnsiString();
  NONCLIENTMETRICSA m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  LOGFONTA lf = m.lfSmCaptionFont;
  TkxBarManager* mgr = Bar->BarManager();
  if (mgr && !mgr->UseSystemFont() && t && t->Bar()) {
    LOGFONTA own = t->Bar()->Font()->LogFont();
    std::memcpy(lf.lfFaceName, own.lfFaceName, sizeof lf.lfFaceName);
    if (lf.lfHeight > -11) lf.lfHeight = -11;
  }
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(DC, font);
  SetTextColor(DC, ColorToRGB(GetBarCaptionTextColor(Bar)));
  SetBkColor(DC, ColorToRGB(GetFloatingCaptionColor(Bar, mgr && mgr->FormActive())));
  SetBkMode(DC, FillsFloatingCaption() ? TRANSPARENT : OPAQUE);
  TRect tr{left, R.top, R.right, R.bottom};
  DrawTextA(DC, caption.c_str(), int(caption.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(DC, old);
  DeleteObject(font);
  (void)CloseButtonState;
}

void TkxBarItemControlPainter::DrawMarkButton(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {
  DrawMarkFrame(Bar, DC, Brush, R);
  DrawMark(Bar, DC, R);
}

void TkxBarItemControlPainter::DrawSizeGripArea(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {
  TSize s;
  GetSizeGripSize(Bar->BarManager(), s);
  TRect grip = R;
  grip.top = grip.bottom - s.cy;
  grip.left = grip.right - s.cx;
  DrawSizeGrip(Bar, DC, Brush, grip);
}

void TkxBarItemControlPainter::FillBottomBarBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush,
                                                   const TRect& R) const {
  Bar->FillBackground(DC, R, false, Brush, nullptr);
}

void TkxBarItemControlPainter::RedrawMark(TCustomkxBarControl* Bar) const {
  if (!Bar || !Bar->HandleAllocated()) return;
  if (Bar->DockingStyle() != dsNone) {
    TRect r;
    GetMarkRect(Bar, r);
    InvalidateRect(Bar->Handle(), &r, FALSE);
  } else {
    Bar->InvalidateWithFrame();
  }
}

void TkxBarItemControlPainter::CalcQuickCustCheckRect(TkxBarItemControl*, HDC, bool, TRect& RowR, TRect& CheckR) const {
  CheckR.right = CheckR.left + CheckR.Height();
  RowR.left = CheckR.right;
}

// ---------------------------------------------------------------------------
// sub items

int TkxBarItemControlPainter::GetSubItemArrowSize(TkxBarItemControl* Control) const {
  TCustomkxBarControl* bar = BarOf(Control);
  int h = 12;
  if (bar && bar->HandleAllocated()) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bar->GetFontHandle());
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    h = tm.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  return (h + 1) / 2;
}

namespace {
bool SubShowsCaption(TkxBarItemControl* Control) {
  auto* s = dynamic_cast<TCustomkxBarSubItem*>(Control->Item());
  return !s || s->ShowCaption();
}
}  // namespace

int TkxBarItemControlPainter::GetSubItemArrowWidth(TkxBarItemControl* Control) const {
  TCustomkxBarControl* bar = BarOf(Control);
  if (!bar) return 0;
  if (bar->IsMenuWindow()) return bar->RowUnit();
  TkxBarManager* m = Control->BarManager();
  bool rotated = kxBarIsRotatedToolbar(bar);
  bool caption = SubShowsCaption(Control);
  int w = 0;
  if ((Control->HasGlyph() || !caption) && m) w = rotated ? m->ButtonWidth() : m->ButtonHeight();
  if (w == 0 || (caption && w < bar->TextRowHeight())) w = bar->TextRowHeight();
  return w;
}

int TkxBarItemControlPainter::CalcSubItemWidth(TkxBarItemControl* Control) const {
  TCustomkxBarControl* bar = BarOf(Control);
  if (!bar || !bar->HandleAllocated()) return 0;
  AnsiString caption = kxBarStripAccelChars(Control->GetCaption());
  int cw = TextWidth(bar->FontDC(), caption);
  if (bar->IsMenuWindow()) return cw + 2 * bar->RowUnit() + 3;
  TkxBarManager* m = Control->BarManager();
  bool rotated = kxBarIsRotatedToolbar(bar);
  bool showCaption = SubShowsCaption(Control);
  int w = showCaption ? cw : 0;
  if (Control->HasGlyph() || !showCaption) {
    w += m ? (rotated ? m->ButtonHeight() : m->ButtonWidth()) : 23;
    if (showCaption) w += 4;
  } else {
    w += 2 * GetSubItemArrowSize(Control);
  }
  auto* t = dynamic_cast<TkxBarControl*>(bar);
  if (!(t && t->Bar() && t->Bar()->IsMainMenu())) w += bar->RowUnit() / 2;
  return w;
}

void TkxBarItemControlPainter::DrawSubItem(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Open,
                                           bool Selected, const TRect& R) const {
  TCustomkxBarControl* bar = BarOf(Control);
  bool enabled = Control->IsEnabled();
  if (PaintKind == kxPaintKindMenu) {
    DrawMenuButton(Control, DC, false, true, Selected, R);
    int size = 3;
    if (auto* menu = dynamic_cast<TkxBarSubMenuControl*>(bar)) size = std::max(menu->GetArrowSize(), 3);
    TRect ar{R.right - R.Height(), R.top, R.right, R.bottom};
    DrawStateArrow(DC, ar, false, enabled, Selected, false, size, COLOR_BTNTEXT);
    return;
  }
  TkxBarManager* m = Control->BarManager();
  bool rotated = PaintKind == kxPaintKindRotated;
  TkxBarButtonPaintState s;
  s.Pressed = Open;
  s.Selected = Selected;
  s.PaintKind = PaintKind;
  bool showCaption = SubShowsCaption(Control);
  DrawGlyphButton(Control, DC, R, s, !Control->HasGlyph(), nullptr);
  if (Control->HasGlyph() && m) {
    // beside the glyph cell the caption stands on the bar's background
    TRect rest = R;
    if (rotated) rest.top = std::min(int(rest.bottom), int(rest.top) + m->ButtonHeight());
    else rest.left = std::min(int(rest.right), int(rest.left) + m->ButtonWidth());
    FillItemBackground(Control, DC, false, nullptr, rest);
  }
  auto* t = dynamic_cast<TkxBarControl*>(bar);
  bool mainMenu = t && t->Bar() && t->Bar()->IsMainMenu();
  int arrowRoom = mainMenu ? 0 : (bar ? bar->RowUnit() / 2 : 0);
  if (showCaption) {
    TRect cr = R;
    int skip = Control->HasGlyph() ? (m ? (rotated ? m->ButtonHeight() : m->ButtonWidth()) : 23)
                                   : GetSubItemArrowSize(Control);
    if (rotated) {
      cr.top += skip;
      cr.bottom -= arrowRoom;
    } else {
      cr.left += skip;
      cr.right -= arrowRoom;
    }
    if (Open && !SuppressesPressedOffset(Control)) OffsetRect(&cr, 1, 1);
    DrawItemCaption(Control, DC, false, true, rotated, Selected && !t, enabled, 0, cr, Control->GetCaption());
  }
  if (!mainMenu && bar) {
    int size = std::max(bar->SmallUnit() - 1, 3);
    TRect ar = rotated ? TRect{R.left, R.bottom - arrowRoom - 2, R.right, R.bottom}
                       : TRect{R.right - arrowRoom - 2, R.top, R.right, R.bottom};
    DrawStateArrow(DC, ar, true, enabled, false, false, size, COLOR_BTNTEXT);
  }
}

// ---------------------------------------------------------------------------
// menus

void TkxBarItemControlPainter::CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth,
                                               int& ExpandRowHeight, int& CheckWidth) const {
  ArrowPartWidth = RowUnit / 4 * 3 + 1;
  SIZE s{13, 13};
  if (Menu && Menu->HandleAllocated()) GetTextExtentPoint32A(Menu->FontDC(), "0", 1, &s);
  ExpandRowHeight = s.cy + 1;
  int a = CalcMenuArrowSize(Menu, ExpandRowHeight);
  if (a % 2 == 1) ExpandRowHeight = 2 * a + 4;
  CheckWidth = 19;
}

void TkxBarItemControlPainter::GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex,
                                                 int& AvailableHeight, TRect& R) const {
  TRect client = Menu->ClientRect();
  int top = Menu->IsDetachable() ? 0 : 2;
  R = TRect{Menu->GetBarSize() + 2, top, client.Width() - 2, top};
  if (WantFirstIndex) {
    FirstIndex = 0;
    AvailableHeight = 0x7FFFFFFF;
  } else {
    AvailableHeight = client.Height() - 2 - (Menu->IsMarkVisible() ? Menu->RowUnit() : 0);
  }
}

void TkxBarItemControlPainter::CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const {
  Size.cx = Size.cx == 0 ? 100 : Size.cx + Menu->GetBarSize() + 6;
  int h = R.bottom + 4;
  if (Menu->IsMarkVisible() || R.bottom <= 3) h += Menu->RowUnit();
  if (Menu->IsDetachable()) h += GetDetachStripHeight(Menu);
  Size.cy = h;
}

int TkxBarItemControlPainter::GetDetachStripHeight(TkxBarSubMenuControl* Menu) const {
  return Menu->GetDetachBarHeight() + 3;
}

void TkxBarItemControlPainter::DrawMenu(TkxBarSubMenuControl* Menu, HDC DC, int ShownCount, HBRUSH) const {
  TkxBarItemLinks* links = Menu->ItemLinks();
  if (!links || links->ShownItemCount() == 0) return;
  TRect client = Menu->ClientRect();
  HBRUSH bk = Menu->BkBrush();
  TRect lr = DrawMenuScrollParts(Menu, DC);
  int bottomLimit = client.Height() - GetMenuBottomMargin() - (Menu->IsMarkVisible() ? Menu->RowUnit() : 0);
  TRect below{client.left + 1, lr.bottom, client.right - 1, bottomLimit};
  if (below.bottom > below.top) Menu->FillBackground(DC, below, true, bk, nullptr);
  if (Menu->IsMarkVisible()) {
    TRect row{client.left + 1, client.bottom - 1 - Menu->RowUnit(), client.right - 1, client.bottom - 1};
    Menu->FillBackground(DC, row, true, bk, nullptr);
    TRect button = Menu->GetExpandButtonRect();
    bool hot = Menu->MarkState() == 1;
    if (hot) {
      DrawEdge(DC, &button, BDR_RAISEDINNER, BF_RECT);
      TRect inner = button;
      InflateRect(&inner, -1, -1);
      FillWith(DC, inner, Menu->DownBrush());
    } else {
      Menu->FillBackground(DC, button, true, bk, nullptr);
    }
    DrawMenuExpandChevron(Menu, DC, hot, button);
  }
  SelectClipRgn(DC, nullptr);
  (void)ShownCount;
}

TRect TkxBarItemControlPainter::DrawMenuScrollParts(TkxBarSubMenuControl* Menu, HDC DC) const {
  TkxBarItemLinks* links = Menu->ItemLinks();
  HBRUSH bk = Menu->BkBrush();
  int top = std::max(Menu->TopIndex(), 0);
  if (Menu->CanScrollUp() && top < links->ShownItemCount()) {
    TRect r = links->ShownItems(top)->ItemRect();
    Menu->FillBackground(DC, r, true, bk, nullptr);
    DrawMenuScrollArrow(Menu, DC, true, r);
  }
  TkxBarItemControl* last = Menu->LastVisibleControl();
  TRect lr = last && last->Link() ? last->Link()->ItemRect() : TRect{};
  if (Menu->CanScrollDown() && last) {
    Menu->FillBackground(DC, lr, true, bk, nullptr);
    DrawMenuScrollArrow(Menu, DC, false, lr);
  }
  return lr;
}

void TkxBarItemControlPainter::DrawMenuScrollArrow(TkxBarSubMenuControl* Menu, HDC DC, bool Up, const TRect& R) const {
  int u = Menu->RowUnit();
  int s = std::max(u / 3 - 2, 1);
  int x = (Menu->ClientWidth() - Menu->GetBarSize()) / 2 + Menu->GetBarSize();
  int offset = (u - (u / 3 - 1)) / 2 + u / 3 - 2;
  int y;
  POINT p[3];
  if (Up) {
    y = R.top + offset;
    p[0] = {x - s, y};
    p[1] = {x + s, y};
    p[2] = {x, y - s};
  } else {
    int rowBottom = Menu->IsMarkVisible() ? R.bottom : Menu->ClientHeight();
    y = rowBottom - offset;
    p[0] = {x - s, y};
    p[1] = {x + s, y};
    p[2] = {x, y + s};
  }
  Triangle(DC, p, GetSysColor(COLOR_BTNTEXT));
  RECT box{x - s - 1, std::min(p[2].y, p[0].y) - 1, x + s + 2, std::max(p[2].y, p[0].y) + 2};
  ExcludeClipRect(DC, box.left, box.top, box.right, box.bottom);
}

void TkxBarItemControlPainter::DrawMenuExpandChevron(TkxBarSubMenuControl* Menu, HDC DC, bool Selected,
                                                     const TRect& R) const {
  int h = Menu->ExpandButtonHeight();
  int n = CalcMenuArrowSize(Menu, h);
  COLORREF color = GetSysColor(IsWhiteFaceScheme() && Selected ? COLOR_BTNFACE : COLOR_BTNTEXT);
  int x0 = (R.left + R.right - n - 1) / 2;
  int y0 = R.top + (h - 2 * n) / 2;
  for (int k = 0; k < n; ++k) {
    int y = y0 + k + (k >= n / 2 ? n / 2 : 0);
    Line(DC, x0, y, x0 + n / 2, y + n / 2, color);
    Line(DC, x0 + n / 2, y + n / 2, x0 + n + 1, y - 1, color);
  }
}

void TkxBarItemControlPainter::FillMenuBackground(TkxBarSubMenuControl* Menu, HDC DC, TColor Color, HBRUSH Brush,
                                                  const TRect& R) const {
  HBRUSH b = Brush;
  if (Menu->PaintingLessUsed() && Menu->RecentBrush()) b = Menu->RecentBrush();
  kxBarFillBackground(DC, R, R, Menu->GetBackgroundBitmap(), Color, b ? b : Menu->BkBrush());
}

void TkxBarItemControlPainter::DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const {
  FillColor(DC, TRect{R.left, R.top, R.left + 1, R.bottom}, COLOR_BTNFACE);
  FillColor(DC, TRect{R.left, R.top, R.right, R.top + 1}, COLOR_BTNFACE);
  DrawEdge(DC, &R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  if (Menu->IsDetachable()) {
    InflateRect(&R, -1, -1);
    DrawEdge(DC, &R, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
    InflateRect(&R, -1, -1);
    R.bottom = R.top + GetDetachStripHeight(Menu) - 1;
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
    TRect strip = R;
    InflateRect(&strip, -1, -1);
    FillDetachBar(Menu, DC, strip);
  }
  FillPopupNonClient(Menu, DC);
}

void TkxBarItemControlPainter::DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const {
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(Bar);
  if (menu && menu->IsDetachable()) R.top -= 2;
  DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
  InflateRect(&R, -1, -1);
  FrameRect(DC, &R, Brush ? Brush : GetSysColorBrush(COLOR_BTNFACE));
}

void TkxBarItemControlPainter::FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const {
  FillColor(DC, R, Menu && Menu->DetachBarHot() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
}

void TkxBarItemControlPainter::DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth,
                                                 const TRect& R, HDC DC) const {
  bool nonRecent = Control->NonRecent();
  HBRUSH brush;
  int gap;
  if (Control->BandStart() && nonRecent) {
    brush = Menu->BkBrush();
    gap = 0;
  } else {
    brush = Menu->ItemBrush();
    gap = GapWidth * (nonRecent ? 1 : 0);
  }
  int h = GetMenuSeparatorSize();
  TRect s{R.left - gap, R.bottom - h, R.right, R.bottom};
  Control->SetBeginGroupRect(s);
  bool useBrush = nonRecent && !Control->BandStart();
  int indent = Menu->BarManager() ? Menu->BarManager()->MenuSeparatorIndent() : GetMenuSeparatorIndent();
  FillItemBackground(Control, DC, useBrush, brush, TRect{s.left, s.top, s.right, s.top + 4});
  FillItemBackground(Control, DC, useBrush, brush, TRect{s.left, s.bottom - 4, s.right, s.bottom});
  FillItemBackground(Control, DC, useBrush, brush, TRect{s.left, s.top + 4, s.left + indent, s.bottom - 4});
  int rightIndent = indent + (nonRecent ? 2 : 0);
  FillItemBackground(Control, DC, useBrush, brush, TRect{s.right - rightIndent, s.top + 4, s.right, s.bottom - 4});
  TRect line{s.left + indent, s.top + 4, s.right - rightIndent, s.bottom - 4};
  if (line.right > line.left) {
    FillItemBackground(Control, DC, useBrush, brush, line);
    DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
  }
}

void TkxBarItemControlPainter::InsetDetachBar(TkxBarSubMenuControl*, TRect& R) const { InflateRect(&R, -3, -3); }

// ---------------------------------------------------------------------------
// window lists, combo lists, edits

void TkxBarItemControlPainter::DrawWindowItem(TkxBarItem* Item, TkxBarItemLink* Link, const TRect& R,
                                              TCanvas* Canvas) const {
  Canvas->FillRect(R);
  TRect r{R.left + 2, R.top, R.right - 2, R.bottom};
  AdjustWindowItemRect(r);
  AnsiString text;
  if (auto* w = dynamic_cast<TkxBarWindowItem*>(Item))
    text = Link && Link == w->FocusedItemLink() ? w->GetCurText() : w->Text();
  HDC dc = Canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TkxBarItemControlPainter::DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned, TRect R) const {
  auto* c = dynamic_cast<TkxBarCustomCombo*>(Combo);
  AnsiString text;
  if (c) text = Index == -1 ? c->Text() : (Index >= 0 && Index < c->Items()->Count() ? c->Items()->Get(Index) : "");
  Canvas->FillRect(R);
  HDC dc = Canvas->Handle();
  // the text in the canvas's font and colour (the selection's in a list)
  HGDIOBJ oldFont = SelectObject(dc, Canvas->Font()->Handle());
  SetTextColor(dc, ColorToRGB(Canvas->Font()->Color()));
  SetBkMode(dc, TRANSPARENT);
  RECT r{R.left + 2, R.top, R.right, R.bottom};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

void TkxBarItemControlPainter::DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const {
  bool enabled = Control->IsEnabled();
  HBRUSH bar = BarBrushOf(Control);
  if (Selected) DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
  else FrameItemBackground(Control, DC, Control->NonRecent(), bar, R);
  InflateRect(&R, -1, -1);
  HBRUSH second = enabled ? bar : GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  FrameItemBackground(Control, DC, Selected || Control->NonRecent() || !enabled, second, R);
  InflateRect(&R, -1, -1);
}

void TkxBarItemControlPainter::DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind,
                                               TRect& R) const {
  AnsiString caption = kxBarStripAccelChars(Control->GetCaption());
  int w = TextWidth(DC, caption) + 2;
  TRect cr{R.left, R.top, R.left + w, R.bottom};
  TRect gap{cr.right, R.top, cr.right + 4, R.bottom};
  bool menu = PaintKind == kxPaintKindMenu;
  TCustomkxBarControl* bar = BarOf(Control);
  HBRUSH brush = menu && Selected && bar ? bar->DownBrush() : BarBrushOf(Control);
  bool use = menu && (Selected || Control->NonRecent());
  FillItemBackground(Control, DC, use, brush, cr);
  FillItemBackground(Control, DC, use, brush, gap);
  DrawItemCaption(Control, DC, menu && Selected, false, false, menu && Selected, Control->IsEnabled(), 2, cr,
                  Control->GetCaption());
  R.left = gap.right;
}

void TkxBarItemControlPainter::DrawEditValue(TkxBarItemControl* Control, HDC DC, const TRect& R) const {
  TColor text, bk;
  GetEditColors(Control, text, bk);
  DrawEditValueIn(Control, DC, R, text, bk);
}

void TkxBarItemControlPainter::DrawEditValueIn(TkxBarItemControl* Control, HDC DC, const TRect& R, TColor TextColor,
                                               TColor BkColor) const {
  HBRUSH b = CreateSolidBrush(ColorToRGB(BkColor));
  FillRect(DC, &R, b);
  DeleteObject(b);
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  kxBarClipToRect(DC, R);
  TCustomkxBarControl* bar = BarOf(Control);
  HGDIOBJ old = bar ? SelectObject(DC, bar->Canvas()->Font()->Handle()) : nullptr;
  SetTextColor(DC, ColorToRGB(TextColor));
  SetBkMode(DC, TRANSPARENT);
  if (auto* edit = dynamic_cast<TkxBarEdit*>(Control->Item())) {
    TCanvas canvas;
    canvas.SetHandle(DC);
    canvas.Brush()->SetColor(BkColor);
    if (bar) canvas.Font()->Assign(bar->Canvas()->Font());
    canvas.Font()->SetColor(TextColor);
    edit->DrawInterior(&canvas, Control->Link(), R);
    canvas.SetHandle(nullptr);
  }
  if (old) SelectObject(DC, old);
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlPainter::SelectEditText(TkxBarItemControl*, HWND Wnd, bool) const {
  SendMessageA(Wnd, EM_SETSEL, 0, -1);
}

void TkxBarItemControlPainter::DrawEllipsisButton(TkxBarItemControl* Control, HDC DC, bool Selected, bool Pressed,
                                                  TRect& InnerR, TRect R) const {
  FrameItemBackground(Control, DC, false, nullptr, R);
  InflateRect(&R, 0, -1);
  FrameItemBackground(Control, DC, false, nullptr, R);
  InflateRect(&R, -1, -1);
  InnerR = R;
  TRect face = R;
  DrawSpinButtonFrame(Control, DC, Pressed, Selected, Control->IsEnabled(), face);
  int s = std::max(int(R.Width()) / 7, 1);
  int total = 3 * s + 2 * s;
  int x = (R.left + R.right - total) / 2, y = R.bottom - s - s;
  TRect dots{x, y, x + total, y + s};
  OffsetContainerContent(Control, Pressed, dots);
  for (int k = 0; k < 3; ++k) {
    TRect d{dots.left + k * 2 * s, dots.top, dots.left + k * 2 * s + s, dots.bottom};
    if (Control->IsEnabled()) FillColor(DC, d, IsWhiteFaceScheme() && Pressed ? COLOR_BTNFACE : COLOR_BTNTEXT);
    else DrawDot(Control, DC, d);
  }
}

// ---------------------------------------------------------------------------
// drop-down windows

TkxBarItemLink* TkxBarItemControlPainter::CalcDropDownNonClient(HWND Window, TRect& R, bool Sizable, TkxBarItem* Item,
                                                                Byte& Corner) const {
  InflateRect(&R, -1, -1);
  Corner = 3;
  TkxBarItemLink* link = Item ? Item->CurItemLink() : nullptr;
  if (!Sizable || !link || !link->Control()) return link;
  TCustomkxBarControl* bar = link->BarControl();
  if (!bar || !bar->HandleAllocated()) return link;
  RECT wr;
  GetWindowRect(Window, &wr);
  POINT pts[2] = {{wr.left, wr.top}, {wr.right, wr.bottom}};
  MapWindowPoints(nullptr, bar->Handle(), pts, 2);
  TRect popup{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  Corner = kxGetSizeGripCorner(link->ItemRect(), popup);
  int h = GetDropDownBarHeight(Corner);
  if (Corner == 0 || Corner == 1) R.top += h;
  else R.bottom -= h;
  return link;
}

void TkxBarItemControlPainter::DrawDropDownNonClient(HDC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR,
                                                     Byte Corner, bool Hot, bool Pressed) const {
  PaintDropDownFrame(Window, Sizable, false, Corner, GripR, CloseR, Hot, Pressed);
}

int TkxBarItemControlPainter::GetDropDownBarHeight(Byte) const { return kxPopupNCBarHeight(); }

// ---------------------------------------------------------------------------
// calendars, spins, progress, in-place sub items

void TkxBarItemControlPainter::DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const {
  if (Pressed) {
    DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    COLORREF text = GetSysColor(COLOR_BTNTEXT), face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
             light = GetSysColor(COLOR_BTNHIGHLIGHT);
    Line(DC, R.left, R.bottom - 1, R.right - 1, R.bottom - 1, text);
    Line(DC, R.right - 1, R.top, R.right - 1, R.bottom, text);
    Line(DC, R.left, R.top, R.right - 1, R.top, face);
    Line(DC, R.left, R.top, R.left, R.bottom - 1, face);
    Line(DC, R.left + 1, R.bottom - 2, R.right - 2, R.bottom - 2, shadow);
    Line(DC, R.right - 2, R.top + 1, R.right - 2, R.bottom - 1, shadow);
    Line(DC, R.left + 1, R.top + 1, R.right - 2, R.top + 1, light);
    Line(DC, R.left + 1, R.top + 1, R.left + 1, R.bottom - 2, light);
    SetPixel(DC, R.right - 2, R.top + 1, face);
  }
  InflateRect(&R, -2, -2);
  DrawCenteredText(DC, R, true, Text, Pressed ? 1 : 0);
}

void TkxBarItemControlPainter::DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton,
                                              int Which, bool Selected, int ButtonHeight, int, int ArrowWidth,
                                              const TRect& R) const {
  TRect b = Which == 1 ? TRect{R.left, R.top, R.right, R.top + ButtonHeight}
                       : TRect{R.left, R.bottom - ButtonHeight, R.right, R.bottom};
  bool pressed = Pressed && PressedButton == Which;
  TRect face = b;
  DrawSpinButtonFrame(Control, DC, pressed, Selected, Control->IsEnabled(), face);
  int w = ArrowWidth, h = (w + 1) / 2;
  int x = (b.left + b.right - w) / 2 + (pressed ? 1 : 0), y = (b.top + b.bottom - h) / 2 + (pressed ? 1 : 0);
  auto tri = [&](int DX, int DY, COLORREF C) {
    POINT p[3];
    if (Which == 1) {
      p[0] = {x + DX, y + h - 1 + DY};
      p[1] = {x + w - 1 + DX, y + h - 1 + DY};
      p[2] = {x + w / 2 + DX, y + DY};
    } else {
      p[0] = {x + DX, y + DY};
      p[1] = {x + w - 1 + DX, y + DY};
      p[2] = {x + w / 2 + DX, y + h - 1 + DY};
    }
    Triangle(DC, p, C);
  };
  if (Control->IsEnabled()) tri(0, 0, GetSysColor(COLOR_BTNTEXT));
  else {
    tri(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    tri(0, 0, GetSysColor(COLOR_BTNSHADOW));
  }
}

void TkxBarItemControlPainter::DrawSpinEditBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const {
  FillItemBackground(Control, DC, false, nullptr, TRect{R.left, R.top, R.left + 1, R.bottom});
  FillItemBackground(Control, DC, false, nullptr, TRect{R.right - 1, R.top, R.right, R.bottom});
  R.left += 1;
  R.right -= 1;
}

void TkxBarItemControlPainter::DrawProgressBar(TkxBarItemControl* Control, HDC DC, int Max, int Min, int Position,
                                               bool Solid, int Orientation, TColor Color, const TRect& R) const {
  bool vertical = Orientation == 2;
  int length = vertical ? R.Height() : R.Width();
  int across = vertical ? R.Width() : R.Height();
  int filled = Max > Min ? MulDiv(length, std::clamp(Position, Min, Max) - Min, Max - Min) : 0;
  auto part = [&](int From, int To) {
    return vertical ? TRect{R.left, R.top + From, R.right, R.top + To} : TRect{R.left + From, R.top, R.left + To, R.bottom};
  };
  HBRUSH color = CreateSolidBrush(ColorToRGB(Color));
  if (Solid) {
    FillWith(DC, part(0, filled), color);
  } else {
    int block = MulDiv(across, 2, 3);
    for (int at = 0; at < filled; at += block + 2) {
      FillWith(DC, part(at, std::min(at + block, filled)), color);
      if (at + block < filled) FillItemBackground(Control, DC, false, nullptr, part(at + block, std::min(at + block + 2, filled)));
    }
  }
  DeleteObject(color);
  FillItemBackground(Control, DC, false, nullptr, part(filled, length));
}

void TkxBarItemControlPainter::DrawInPlaceSubItem(TkxBarItemControl* Control, HDC DC, const TRect& R, bool Expanded,
                                                  bool Selected) const {
  TCustomkxBarControl* bar = BarOf(Control);
  FillWith(DC, TRect{R.left, R.bottom - 1, R.right, R.bottom}, BarBrushOf(Control));
  TRect r{R.left, R.top, R.right, R.bottom - 1};
  FillWith(DC, r, Selected && bar ? bar->DownBrush() : GetInPlaceSubItemBrush());
  TRect cr{r.left + 5, r.top, r.right, r.bottom};
  DrawItemCaption(Control, DC, Selected, true, false, Selected, Control->IsEnabled(), 0, cr, Control->GetCaption());
  if (Control->IsEnabled()) {
    int size = bar ? std::max(bar->SmallUnit(), 3) : 3;
    TRect ar{r.right - r.Height(), r.top, r.right, r.bottom};
    DrawStateArrow(DC, ar, Expanded, true, Selected, false, size, COLOR_BTNTEXT);
  }
}

// ---------------------------------------------------------------------------
// the frame of drop-down windows

void TkxBarItemControlPainter::PaintDropDownFrame(HWND Window, bool Sizable, bool Flat, Byte Corner, TRect& GripR,
                                                  TRect& CloseR, bool Hot, bool Pressed, bool Themed) const {
  HDC dc = GetWindowDC(Window);
  RECT wr, cr;
  GetWindowRect(Window, &wr);
  GetClientRect(Window, &cr);
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  int frame = origin.x - wr.left;
  TRect whole{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  HBRUSH frameBrush = Flat || Themed ? GetSysColorBrush(COLOR_BTNSHADOW) : GetSysColorBrush(COLOR_WINDOWFRAME);
  FrameRect(dc, &whole, frameBrush);
  (void)frame;
  if (!Sizable) {
    GripR = CloseR = TRect{};
    ReleaseDC(Window, dc);
    return;
  }
  TRect inside = whole;
  InflateRect(&inside, -1, -1);
  int h = GetDropDownBarHeight(Corner);
  TRect bar, line;
  if (Corner == 0 || Corner == 1) {
    bar = TRect{inside.left, inside.top, inside.right, inside.top + h - 1};
    line = TRect{inside.left, inside.top + h - 1, inside.right, inside.top + h};
  } else {
    line = TRect{inside.left, inside.bottom - h, inside.right, inside.bottom - h + 1};
    bar = TRect{inside.left, inside.bottom - h + 1, inside.right, inside.bottom};
  }
  FillWith(dc, line, frameBrush);
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(dc, had);
  TRect grip = bar;
  if (Themed) {
    kxBarDrawThemeSizeBox(dc, grip, Corner);
  } else {
    RECT g = grip;
    kxPaintSizeGrip(dc, g, Corner);
    grip = g;
  }
  ExcludeClipRect(dc, grip.left, grip.top, grip.right, grip.bottom);
  GripR = grip;
  InflateRect(&GripR, 2, 2);
  GripR.top = std::max(GripR.top, bar.top);
  GripR.bottom = std::min(GripR.bottom, bar.bottom);
  OffsetRect(&GripR, wr.left, wr.top);
  // the close button at the other end of the bar
  TRect b = bar;
  if (Themed) kxBarDrawThemeCloseButton(dc, b, Hot || Pressed, Corner, Hot && Pressed);
  else PaintDropDownCloseButton(dc, b, Flat, Corner, Hot, Pressed);
  ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
  CloseR = b;
  OffsetRect(&CloseR, wr.left, wr.top);
  FillColor(dc, bar, COLOR_BTNFACE);
  if (Corner >= 2) {
    LONG_PTR style = GetWindowLongPtrA(Window, GWL_STYLE);
    if ((style & LONG_PTR(WS_VSCROLL)) && (style & LONG_PTR(WS_HSCROLL))) {
      int sw = GetSystemMetrics(SM_CXVSCROLL), sh = GetSystemMetrics(SM_CYHSCROLL);
      FillColor(dc, TRect{inside.right - sw, line.top - sh, inside.right, line.top}, COLOR_BTNFACE);
    }
  }
  kxBarPutBackClipRegion(dc, kept, had);
  ReleaseDC(Window, dc);
}

void TkxBarItemControlPainter::PaintDropDownCloseButton(HDC dc, TRect& b, bool Flat, Byte Corner, bool Hot,
                                                        bool Pressed) const {
  TRect bar = b;
  int size = GetSystemMetrics(SM_CXSIZE);
  if (Corner == 1 || Corner == 3) b.right = b.left + size;
  else b.left = b.right - size;
  b.top = (bar.top + bar.bottom - size - 1) / 2 + (Corner >= 2 ? 1 : 0);
  b.bottom = b.top + size + 1;
  InflateRect(&b, -1, -2);
  bool hotOrPressed = Hot || Pressed;
  if (!hotOrPressed || Flat) FrameRect(dc, &b, GetSysColorBrush(COLOR_BTNFACE));
  else DrawEdge(dc, &b, Hot && Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  TRect inner = b;
  InflateRect(&inner, -1, -1);
  FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
  bool had2 = false;
  HRGN kept2 = kxBarKeepClipRegion(dc, had2);
  IntersectClipRect(dc, inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1);
  TRect glyph = b;
  if (GetSystemMetrics(SM_CXSIZE) != 22) OffsetRect(&glyph, 0, 1);
  UINT state = DFCS_CAPTIONCLOSE | DFCS_FLAT | (Hot && Pressed && !Flat ? DFCS_PUSHED : 0);
  DrawFrameControl(dc, &glyph, DFC_CAPTION, state);
  kxBarPutBackClipRegion(dc, kept2, had2);
}
