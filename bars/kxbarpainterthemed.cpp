// The native-theme bar painter: toolbars, menus and item parts drawn with the
// visual-style parts of the platform. Each themed part falls back to the
// classic drawing when its theme class cannot be opened.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "framework/uxoffice11.h"
#include "framework/uxthemes.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace kxbarpainterthemed {

constexpr int kMinSize = 0, kTrueSize = 1;  // the two part-size kinds
constexpr int kFillColorProp = 3802;

TkxBarItemControlPainterClass Flat() { return TkxBarItemControlFlatPainter::Instance(); }
TkxBarItemControlPainterClass Standard() { return TkxBarItemControlStandardPainter::Instance(); }
TkxBarItemControlPainterClass Enhanced() { return TkxBarItemControlEnhancedPainter::Instance(); }

// Draws a part of a theme class into R; false when the class has no theme.
bool Part(TkxThemeClassKind Kind, HDC DC, int PartId, int State, const TRect& R) {
  HTHEME t = kxOpenThemeOfKind(Kind);
  return t && DrawThemeBackground(t, DC, PartId, State, R) >= 0;
}

// The size of a part, measured on DC (the screen's when none); Fallback when
// the class has no theme or the size is unknown.
SIZE PartSize(TkxThemeClassKind Kind, HDC DC, int PartId, int State, int SizeKind, SIZE Fallback) {
  HTHEME t = kxOpenThemeOfKind(Kind);
  if (!t) return Fallback;
  HDC dc = DC ? DC : GetDC(nullptr);
  SIZE s{0, 0};
  bool ok = GetThemePartSize(t, dc, PartId, State, SizeKind, s) >= 0;
  if (!DC) ReleaseDC(nullptr, dc);
  return ok ? s : Fallback;
}

// The margins of a part's content inside (0, 0, 100, 100); false without a theme.
bool ContentMargins(TkxThemeClassKind Kind, HDC DC, int PartId, int State, RECT& Margins) {
  HTHEME t = kxOpenThemeOfKind(Kind);
  if (!t) return false;
  HDC dc = DC ? DC : GetDC(nullptr);
  RECT c{};
  bool ok = GetThemeBackgroundContentRect(t, dc, PartId, State, RECT{0, 0, 100, 100}, c) >= 0;
  if (!DC) ReleaseDC(nullptr, dc);
  if (!ok) return false;
  Margins = RECT{c.left, c.top, 100 - c.right, 100 - c.bottom};
  return true;
}

void Fill(HDC DC, const TRect& R, HBRUSH Brush) {
  if (R.right > R.left && R.bottom > R.top) FillRect(DC, &R, Brush);
}

HBRUSH BarBrush(TkxBarItemControl* Control) {
  TCustomkxBarControl* bar = Control ? Control->Parent() : nullptr;
  HBRUSH b = bar ? bar->ItemBrush() : nullptr;
  return b ? b : GetSysColorBrush(COLOR_BTNFACE);
}

bool InMenu(TkxBarItemControl* Control) { return Control && Control->Parent() && Control->Parent()->IsMenuWindow(); }

TkxBarControl* Toolbar(TCustomkxBarControl* Bar) { return dynamic_cast<TkxBarControl*>(Bar); }

bool IsMainMenuBar(TCustomkxBarControl* Bar) {
  TkxBarControl* t = Toolbar(Bar);
  return t && t->Bar() && t->Bar()->IsMainMenu();
}

// The state of a themed button: 1 normal, 2 hot, 3 pressed, 4 disabled.
int ButtonState(bool Enabled, bool Pressed, bool Hot) { return !Enabled ? 4 : Pressed ? 3 : Hot ? 2 : 1; }

// The etched edges of each row of a dock site, on the site's background.
void DrawRowEdges(TkxDockControl* Dock, HDC DC) {
  TkxBarDockingStyle style = Dock->DockingStyle();
  bool horizontal = Dock->Horizontal();
  int rows = Dock->RowCount();
  for (int i = 0; i < rows; ++i) {
    TkxDockRow* row = Dock->Rows(i);
    TkxBarControl* first = nullptr;
    for (TkxDockCol* c : row->Cols) {
      if (!c->BarControl || !c->BarControl->Bar()) continue;
      if (!first) first = c->BarControl;
      if (c->BarControl->Bar()->BorderStyle() == bbsSingle) {
        first = c->BarControl;
        break;
      }
    }
    if (!first || first->Bar()->BorderStyle() == bbsNone) continue;
    TRect r = Dock->GetRowRect(i);
    bool light, shadow;
    TRect a, b;
    if (horizontal) {
      light = !(i == 0 && style == dsTop);
      shadow = !(i == rows - 1);
      a = TRect{r.left, r.top, r.right, r.top + 1};
      b = TRect{r.left, r.bottom - 1, r.right, r.bottom};
    } else {
      light = !(i == 0 && style == dsLeft);
      shadow = !(i == rows - 1 && style == dsRight);
      a = TRect{r.left, r.top, r.left + 1, r.bottom};
      b = TRect{r.right - 1, r.top, r.right, r.bottom};
    }
    if (light) Fill(DC, a, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    if (shadow) Fill(DC, b, GetSysColorBrush(COLOR_BTNSHADOW));
  }
}

}  // namespace kxbarpainterthemed

namespace kxpt = kxbarpainterthemed;

TkxBarItemControlPainterClass TkxBarItemControlXPPainter::Instance() {
  static const TkxBarItemControlXPPainter p;
  return &p;
}

// ---------------------------------------------------------------------------
// buttons and glyph cells

void TkxBarItemControlXPPainter::DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                             bool FrameFits, HBRUSH Brush) const {
  bool menu = S.PaintKind == kxPaintKindMenu;
  if (menu && S.NoGlyph && (S.Selected || Control->NonRecent()) && !S.Down) {
    FillItemBackground(Control, DC, true, Brush, R);
    return;
  }
  FillItemBackground(Control, DC, false, nullptr, R);
  if (SuppressesPressedOffset(Control) && !menu && (S.Pressed || S.Selected || S.Down)) {
    kxpt::Fill(DC, R, GetSysColorBrush(COLOR_HIGHLIGHT));
    return;
  }
  int state = !Control->IsEnabled() ? 4 : S.Pressed ? 3 : S.Down ? 5 : S.Selected ? 2 : 1;
  if (!kxpt::Part(tckToolBar, DC, S.DropDownButton ? 3 : 1, state, R))
    kxpt::Standard()->DrawButtonFrame(Control, DC, S, R, FrameFits, Brush);
}

void TkxBarItemControlXPPainter::DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top, int Left) const {
  kxpt::Flat()->DrawCheckMark(Control, DC, Scale, Top, Left);
}

void TkxBarItemControlXPPainter::DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, int ImageIndex,
                                TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR, TRect CellR,
                                bool FrameFits, HBRUSH Brush) const {
  if (FrameFits) InflateRect(&CellR, -1, -1);
  // the frame, painted first, is the background
  DrawCellGlyph(Control, DC, S, ImageIndex, Images, Bitmap, GlyphR, CellR, Brush, true, false, true);
}

TColor TkxBarItemControlXPPainter::GetFadedGlyphColor(TCustomkxBarControl*) const {
  return MixColorsByPercent(kxBarThemeToolbarColor(), clBtnShadow, 70);
}

bool TkxBarItemControlXPPainter::SuppressesPressedOffset(TkxBarItemControl* Control) const {
  return dynamic_cast<TkxBarSubItemControl*>(Control) && kxpt::IsMainMenuBar(Control->Parent());
}

void TkxBarItemControlXPPainter::DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                            const TRect& R) const {
  TCustomkxBarControl* bar = Control->Parent();
  bool captionOnly = !Control->HasGlyph() || !HasCaption;
  TRect cell{R.left, R.top, R.left + R.Height(), R.bottom};
  TkxBarButtonPaintState s;
  s.Down = Down;
  s.Selected = Selected;
  s.NoGlyph = captionOnly;
  s.PaintKind = kxPaintKindMenu;
  DrawGlyphButton(Control, DC, cell, s, captionOnly, nullptr);
  HBRUSH down = bar ? bar->DownBrush() : GetSysColorBrush(COLOR_HIGHLIGHT);
  bool use = Selected || Control->NonRecent();
  TRect column{cell.right, R.top, cell.right + 1, R.bottom};
  FillItemBackground(Control, DC, use, Selected && captionOnly && !Down ? down : kxpt::BarBrush(Control), column);
  TRect rest{column.right, R.top, R.right, R.bottom};
  FillItemBackground(Control, DC, use, Selected ? down : kxpt::BarBrush(Control), rest);
  rest.left += 2;
  DrawItemCaption(Control, DC, false, false, false, Selected, Control->IsEnabled(), 0, rest, Control->GetCaption());
}

void TkxBarItemControlXPPainter::DrawLoweredBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const {
  kxpt::Standard()->DrawLoweredBorder(Control, DC, R);
}

HBRUSH TkxBarItemControlXPPainter::GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const {
  TCustomkxBarControl* bar = Control->Parent();
  if (bar && S.Selected && S.PaintKind == kxPaintKindMenu && S.NoGlyph && !S.Down) return bar->DownBrush();
  return kxpt::BarBrush(Control);
}

void TkxBarItemControlXPPainter::DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind, bool HasDropDownItems,
                                     bool DropDownEnabled, bool DroppedDown, bool Pressed, bool Selected,
                                     int ColorIndex, HBRUSH Brush, const TRect& R) const {
  if (!kxOpenThemeOfKind(tckToolBar)) {
    kxpt::Standard()->DrawDropDownButtonArrow(Control, DC, PaintKind, HasDropDownItems, DropDownEnabled, DroppedDown,
                                        Pressed, Selected, ColorIndex, Brush, R);
    return;
  }
  FillItemBackground(Control, DC, Control->NonRecent(), Brush, R);
  bool enabled = Control->IsEnabled() && DropDownEnabled;
  int state = kxpt::ButtonState(enabled, DroppedDown || Pressed, Selected);
  if (PaintKind != kxPaintKindMenu) {
    kxpt::Part(tckToolBar, DC, 4, state, R);
    return;
  }
  kxpt::Part(tckToolBar, DC, 1, state, R);
  int size = 3;
  if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(Control->Parent())) size = std::max(m->GetArrowSize(), 3);
  DrawStateArrow(DC, R, false, enabled, DroppedDown, true, size, ColorIndex);
}

void TkxBarItemControlXPPainter::OffsetButtonCaption(TkxBarItemControl* Control, bool Pressed, TRect& R) const {
  auto* b = dynamic_cast<TkxBarButton*>(Control->Item());
  if (Pressed || (b && b->Down())) OffsetRect(&R, 1, 1);
}

void TkxBarItemControlXPPainter::OffsetContainerContent(TkxBarItemControl*, bool Pressed, TRect& R) const {
  if (Pressed) OffsetRect(&R, 1, 1);
}

// ---------------------------------------------------------------------------
// metrics

int TkxBarItemControlXPPainter::GetGripWidth() const {
  return int(kxpt::PartSize(tckRebar, nullptr, 1, 1, kxpt::kTrueSize, SIZE{3, 3}).cx);
}

int TkxBarItemControlXPPainter::CalcDropDownArrowWidth(TkxBarManager* Manager) const {
  return TkxBarItemControlPainter::CalcDropDownArrowWidth(Manager) + 3;
}

int TkxBarItemControlXPPainter::GetLargeDropDownArrowWidth(TkxBarManager* Manager) const {
  return TkxBarItemControlPainter::GetLargeDropDownArrowWidth(Manager) + 3;
}

int TkxBarItemControlXPPainter::CalcComboButtonWidth(TCustomkxBarControl* Bar, HDC DC, int Unit) const {
  SIZE none{0, 0};
  SIZE s = kxpt::PartSize(tckComboBox, DC, 1, 1, kxpt::kTrueSize, none);
  return s.cx > 0 ? int(s.cx) : TkxBarItemControlPainter::CalcComboButtonWidth(Bar, DC, Unit);
}

int TkxBarItemControlXPPainter::GetTextRowMargin(HDC DC) const {
  RECT m;
  if (!kxpt::ContentMargins(tckEdit, DC, 1, 1, m)) return TkxBarItemControlPainter::GetTextRowMargin(DC);
  return int(m.left + m.right) + 5;
}

int TkxBarItemControlXPPainter::GetBarSeparatorSize(TCustomkxBarControl* Bar, HDC DC) const {
  SIZE none{0, 0};
  SIZE s = kxpt::PartSize(tckToolBar, DC, 5, 0, kxpt::kTrueSize, none);
  return s.cx > 0 ? int(s.cx) : TkxBarItemControlPainter::GetBarSeparatorSize(Bar, DC);
}

void TkxBarItemControlXPPainter::GetCaptionButtonSize(TSize& Size) const {
  SIZE none{0, 0};
  SIZE s = kxpt::PartSize(tckWindow, nullptr, 19, 1, kxpt::kTrueSize, none);
  if (s.cx <= 0 || s.cy <= 0) {
    TkxBarItemControlPainter::GetCaptionButtonSize(Size);
    return;
  }
  Size.cx = s.cx;
  Size.cy = s.cy;
}

void TkxBarItemControlXPPainter::GetSizeGripSize(TkxBarManager* Manager, TSize& Size) const {
  SIZE none{0, 0};
  SIZE s = kxpt::PartSize(tckStatus, nullptr, 3, 1, kxpt::kMinSize, none);
  if (s.cx <= 0 || s.cy <= 0) {
    TkxBarItemControlPainter::GetSizeGripSize(Manager, Size);
    return;
  }
  Size.cx = s.cx;
  Size.cy = s.cy;
}

int TkxBarItemControlXPPainter::GetButtonHeightMargin() const {
  RECT m;
  if (!kxpt::ContentMargins(tckToolBar, nullptr, 3, 1, m)) return TkxBarItemControlPainter::GetButtonHeightMargin();
  return int(m.top + m.bottom);
}

int TkxBarItemControlXPPainter::GetMenuSeparatorSize() const {
  SIZE none{0, 0};
  SIZE s = kxpt::PartSize(tckToolBar, nullptr, 6, 1, kxpt::kTrueSize, none);
  return s.cy > 0 ? int(s.cy) : TkxBarItemControlPainter::GetMenuSeparatorSize();
}

// ---------------------------------------------------------------------------
// backgrounds

void TkxBarItemControlXPPainter::FillDockBackground(TkxDockControl* DockControl, HDC DC, TColor, HBRUSH Brush, const TRect& R,
                                const TRect& SourceR) const {
  TBitmap* cache = DockControl->BackgroundCache();
  if (cache->Empty()) {
    TRect whole = DockControl->ClientRect();
    if (whole.Width() <= 0 || whole.Height() <= 0) return;
    cache->SetSize(whole.Width(), whole.Height());
    HDC cdc = cache->Canvas()->Handle();
    TRect all{0, 0, whole.Width(), whole.Height()};
    if (!kxpt::Part(tckRebar, cdc, 0, 1, all)) kxpt::Fill(cdc, all, Brush ? Brush : GetSysColorBrush(COLOR_BTNFACE));
    kxpt::DrawRowEdges(DockControl, cdc);
  }
  BitBlt(DC, R.left, R.top, R.Width(), R.Height(), cache->Canvas()->Handle(), SourceR.left, SourceR.top, SRCCOPY);
}

void TkxBarItemControlXPPainter::FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor, HBRUSH Brush, const TRect& R,
                                    const TRect& SourceR) const {
  TBitmap* cache = Bar->BackgroundCache();
  if (!cache) return;
  if (cache->Empty()) {
    if (Bar->Width() <= 0 || Bar->Height() <= 0) return;
    cache->SetSize(Bar->Width(), Bar->Height());
    HDC cdc = cache->Canvas()->Handle();
    TRect all{0, 0, Bar->Width(), Bar->Height()};
    if (!kxpt::Part(tckStatus, cdc, 0, 0, all)) kxpt::Fill(cdc, all, Brush ? Brush : GetSysColorBrush(COLOR_BTNFACE));
  }
  BitBlt(DC, R.left, R.top, R.Width(), R.Height(), cache->Canvas()->Handle(), SourceR.left, SourceR.top, SRCCOPY);
}

bool TkxBarItemControlXPPainter::BarHasShadow(TCustomkxBarControl* Bar) const {
  return Bar && Bar->DockingStyle() == dsNone;
}

HBRUSH TkxBarItemControlXPPainter::GetBkBrush(TCustomkxBarControl* Bar) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  return m && m->ThemedToolbarBrush() ? m->ThemedToolbarBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

// ---------------------------------------------------------------------------
// bar frames, the mark, captions and separators

void TkxBarItemControlXPPainter::DrawSizeGrip(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {
  Bar->FillBackground(DC, R, false, Brush, nullptr);
  if (!kxpt::Part(tckStatus, DC, 3, 0, R)) kxBarDrawSizeGrip(DC, R);
}

void TkxBarItemControlXPPainter::DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {
  if (!kxOpenThemeOfKind(tckToolBar)) {
    kxpt::Enhanced()->DrawMarkFrame(Bar, DC, Brush, R);
    return;
  }
  Bar->FillBackground(DC, R, true, Brush, nullptr);
  TRect r = R;
  TkxBarControl* t = kxpt::Toolbar(Bar);
  if (t && t->Bar() && t->Bar()->BorderStyle() == bbsNone) {
    if (t->IsVertical()) InflateRect(&r, -2, 0);
    else InflateRect(&r, 0, -2);
  }
  kxpt::Part(tckToolBar, DC, 1, std::clamp(Bar->MarkState(), 0, 2) + 1, r);
}

void TkxBarItemControlXPPainter::DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const { kxpt::Flat()->DrawMark(Bar, DC, R); }

void TkxBarItemControlXPPainter::GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect& R, int& X) const {
  kxpt::Flat()->GetCaptionTextLeft(Bar, R, X);
}

void TkxBarItemControlXPPainter::GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const { kxpt::Flat()->GetMarkRect(Bar, R); }

void TkxBarItemControlXPPainter::FillFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH, const TRect& R) const {
  TkxBarManager* m = Bar ? Bar->BarManager() : nullptr;
  kxpt::Fill(DC, R, GetSysColorBrush(m && m->FormActive() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

void TkxBarItemControlXPPainter::DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush, TRect R) const {
  if (!kxOpenThemeOfKind(tckToolBar)) {
    TkxBarItemControlPainter::DrawBarSeparator(Bar, DC, Horizontal, Brush, R);
    return;
  }
  Bar->FillBackground(DC, R, true, Brush, nullptr);
  kxpt::Part(tckToolBar, DC, Horizontal ? 6 : 5, 1, R);
}

void TkxBarItemControlXPPainter::DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {
  TkxBarControl* t = kxpt::Toolbar(Bar);
  int state = t ? std::clamp(t->CloseButtonState(), 0, 2) + 1 : 1;
  if (!kxpt::Part(tckWindow, DC, 19, state, R)) kxpt::Standard()->DrawCloseButton(Bar, DC, R);
}

void TkxBarItemControlXPPainter::DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH, TRect R) const {
  TkxBarControl* t = kxpt::Toolbar(Bar);
  if (!t || !t->Bar() || !t->Bar()->CanBeMoved()) return;
  InflateRect(&R, -2, -2);
  TkxBarManager* m = Bar->BarManager();
  int at = m ? m->GripOffset() : GetGripOffset();
  bool vertical = t->IsVertical();
  TRect g = vertical ? TRect{R.left, R.top + at, R.right, R.top + at + GetGripWidth()}
                     : TRect{R.left + at, R.top, R.left + at + GetGripWidth(), R.bottom};
  if (!kxpt::Part(tckRebar, DC, vertical ? 2 : 1, 1, g)) DrawEdge(DC, &g, BDR_RAISEDINNER, BF_RECT);
}

void TkxBarItemControlXPPainter::DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                                TRect R) const {
  kxpt::Flat()->DrawFloatingBorder(Bar, DC, Brush, ClientR, R);
}

void TkxBarItemControlXPPainter::DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC, bool Pressed, bool Hot) const {
  if (!kxOpenThemeOfKind(tckWindow)) {
    kxpt::Standard()->DrawMDIButton(Bar, Kind, R, DC, Pressed, Hot);
    return;
  }
  static const int parts[3] = {16, 22, 20};
  Bar->FillBackground(DC, R, true, Bar->BkBrush(), nullptr);
  TkxBarControl* t = kxpt::Toolbar(Bar);
  bool enabled = t ? t->IsMDIButtonEnabled(Kind, MF_GRAYED) : true;
  int state = !enabled ? 4 : Hot && Pressed ? 3 : Hot ? 2 : 1;
  kxpt::Part(tckWindow, DC, parts[std::clamp(Kind, 0, 2)], state, R);
}

// ---------------------------------------------------------------------------
// combos and drop-down lists

void TkxBarItemControlXPPainter::DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const {
  if (!kxOpenThemeOfKind(tckComboBox)) {
    kxpt::Standard()->DrawComboButton(Control, DC, PaintKind, Selected, R);
    return;
  }
  TCustomkxBarControl* bar = Control->Parent();
  int width = bar ? bar->ComboButtonWidth() : 13;
  TRect b{R.right - width, R.top, R.right, R.bottom};
  auto* combo = dynamic_cast<TCustomkxBarComboControl*>(Control);
  if (combo) combo->SetButtonRect(b);
  bool dropped = combo && combo->DroppedDown();
  kxpt::Part(tckComboBox, DC, 1, kxpt::ButtonState(Control->IsEnabled(), dropped, Selected), b);
}

void TkxBarItemControlXPPainter::DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const {
  kxpt::Flat()->DrawDropDownListBorder(Manager, DC, R);
}

void TkxBarItemControlXPPainter::DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned State, TRect R) const {
  kxpt::Flat()->DrawComboListItem(Combo, Canvas, Index, State, R);
}

// ---------------------------------------------------------------------------
// menus

void TkxBarItemControlXPPainter::GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex, int& AvailableHeight,
                               TRect& R) const {
  kxpt::Flat()->GetMenuClientRect(Menu, WantFirstIndex, FirstIndex, AvailableHeight, R);
}

void TkxBarItemControlXPPainter::CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const {
  kxpt::Flat()->CalcMenuSize(Menu, Size, R);
}

int TkxBarItemControlXPPainter::GetDetachStripHeight(TkxBarSubMenuControl* Menu) const { return Menu->GetDetachBarHeight() + 1; }

void TkxBarItemControlXPPainter::DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const {
  FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
  if (!Menu->IsDetachable()) return;
  InflateRect(&R, -1, -1);
  R.bottom = R.top + GetDetachStripHeight(Menu) + 1;
  FrameRect(DC, &R, GetMenuBkBrush(Menu));
  FillDetachBar(Menu, DC, Menu->GetDetachBarRect());
}

void TkxBarItemControlXPPainter::DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH, TRect R) const {
  FrameRect(DC, &R, GetMenuBkBrush(dynamic_cast<TkxBarSubMenuControl*>(Bar)));
}

void TkxBarItemControlXPPainter::DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int, const TRect& R,
                               HDC DC) const {
  // the band of the menu's separator size that ends where the item starts
  TRect s{R.left, R.bottom - Menu->GetSeparatorSize(), R.right, R.bottom};
  Control->SetBeginGroupRect(s);
  FillItemBackground(Control, DC, Control->NonRecent() && !Control->BandStart(), kxpt::BarBrush(Control), s);
  if (!kxpt::Part(tckToolBar, DC, 6, 1, s)) {
    TRect line{s.left + 2, (s.top + s.bottom) / 2, s.right - 2, s.bottom};
    DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
  }
}

// ---------------------------------------------------------------------------
// edits

void TkxBarItemControlXPPainter::DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const {
  HTHEME t = kxOpenThemeOfKind(tckEdit);
  int state = kxBarGetEditStateId(Control);
  RECT content{};
  if (!t || GetThemeBackgroundContentRect(t, DC, 1, state, R, content) < 0) {
    kxpt::Flat()->DrawEditFrame(Control, DC, Selected, R);
    return;
  }
  TRect outer = R;
  R = content;
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
  if (Selected || !Control->IsEnabled() || kxpt::InMenu(Control)) DrawThemeBackground(t, DC, 1, state, outer);
  else FillItemBackground(Control, DC, Control->NonRecent(), kxpt::BarBrush(Control), outer);
  kxBarPutBackClipRegion(DC, kept, had);
}

void TkxBarItemControlXPPainter::DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind, TRect& R) const {
  AnsiString plain = kxBarStripAccelChars(Control->GetCaption());
  SIZE ext{};
  GetTextExtentPoint32A(DC, plain.c_str(), int(plain.size()), &ext);
  bool menu = PaintKind == kxPaintKindMenu;
  TRect cr{R.left, R.top, R.left + CalcEditWidth(Control, ext.cx), R.bottom};
  R.left = cr.right;
  TCustomkxBarControl* bar = Control->Parent();
  HBRUSH brush = menu && Selected && bar ? bar->DownBrush() : kxpt::BarBrush(Control);
  FillItemBackground(Control, DC, menu && (Selected || Control->NonRecent()), brush, cr);
  cr.right -= 5;
  DrawItemCaption(Control, DC, false, false, false, menu && Selected, Control->IsEnabled(), 2, cr,
                  Control->GetCaption());
}

void TkxBarItemControlXPPainter::DrawEditValue(TkxBarItemControl* Control, HDC DC, const TRect& R) const {
  HTHEME t = kxOpenThemeOfKind(tckEdit);
  int state = kxBarGetEditStateId(Control);
  DrawEditValueIn(Control, DC, R, kxBarGetThemedEditTextColor(t, state), kxBarGetThemedEditBackground(t, state));
}

DWORD TkxBarItemControlXPPainter::GetEditStyle() const { return kxpt::Flat()->GetEditStyle(); }

void TkxBarItemControlXPPainter::PrepareEditWindow(TkxBarItemControl* Control, HWND Wnd) const { kxpt::Flat()->PrepareEditWindow(Control, Wnd); }

void TkxBarItemControlXPPainter::SelectEditText(TkxBarItemControl* Control, HWND Wnd, bool TextChanged) const {
  kxpt::Flat()->SelectEditText(Control, Wnd, TextChanged);
}

void TkxBarItemControlXPPainter::DrawEllipsisButton(TkxBarItemControl* Control, HDC DC, bool Selected, bool Pressed, TRect& InnerR,
                                TRect R) const {
  FrameItemBackground(Control, DC, false, nullptr, R);
  InflateRect(&R, -1, -1);
  InnerR = R;
  TkxBarButtonPaintState s;
  s.Pressed = Pressed;
  s.Selected = Selected;
  s.NoGlyph = true;
  s.PaintKind = kxPaintKindToolbar;
  DrawButtonFrame(Control, DC, s, R, true, kxpt::BarBrush(Control));
  int u = std::max(int(R.Width()) / 7, 1);
  for (int k = 0; k < 3; ++k) {
    int left = R.left + u + 2 * u * k;
    TRect d{left, R.bottom - 3 * u, left + u, R.bottom - 2 * u};
    OffsetContainerContent(Control, Pressed, d);
    if (Control->IsEnabled()) kxpt::Fill(DC, d, GetSysColorBrush(COLOR_BTNTEXT));
    else DrawDot(Control, DC, d);
  }
}

// ---------------------------------------------------------------------------
// drop-down windows and calendars

void TkxBarItemControlXPPainter::DrawDropDownNonClient(HDC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR, Byte Corner, bool Hot,
                                   bool Pressed) const {
  PaintDropDownFrame(Window, Sizable, false, Corner, GripR, CloseR, Hot, Pressed, true);
}

int TkxBarItemControlXPPainter::GetDropDownBarHeight(Byte) const {
  TSize close, box;
  kxBarGetThemeCloseButtonSize(close);
  kxBarGetThemeSizeBoxSize(box);
  return std::max(int(close.cy) + 4, int(box.cy) + 1);
}

void TkxBarItemControlXPPainter::DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const {
  if (!kxOpenThemeOfKind(tckToolBar)) {
    kxpt::Flat()->DrawCalendarButton(DC, Pressed, Text, R);
    return;
  }
  kxpt::Fill(DC, R, GetSysColorBrush(COLOR_WINDOW));
  kxpt::Part(tckToolBar, DC, 1, Pressed ? 3 : 2, R);
  DrawCenteredText(DC, R, false, Text, Pressed ? 1 : 0);
}

// ---------------------------------------------------------------------------
// spins and progress bars

void TkxBarItemControlXPPainter::DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton, int Which,
                            bool Selected, int ButtonHeight, int ArrowSize, int ArrowWidth, const TRect& R) const {
  if (!kxOpenThemeOfKind(tckSpin)) {
    kxpt::Flat()->DrawSpinButton(Control, DC, Pressed, PressedButton, Which, Selected, ButtonHeight, ArrowSize, ArrowWidth,
                           R);
    return;
  }
  TRect b = R;
  if (Which == 1) b.bottom = R.top + ButtonHeight + 1;
  else b.top = R.top + ButtonHeight;
  FillItemBackground(Control, DC, false, nullptr, b);
  bool mine = PressedButton == Which;
  int state = !Control->IsEnabled() ? 4 : mine ? (Pressed ? 3 : 2) : 1;
  kxpt::Part(tckSpin, DC, Which == 1 ? 1 : 2, state, b);
}

TColor TkxBarItemControlXPPainter::GetProgressBarColor() const {
  HTHEME t = kxOpenThemeOfKind(tckProgress);
  COLORREF c = 0;
  if (t && GetThemeColor(t, 3, 0, kxpt::kFillColorProp, c) >= 0) return TColor(c);
  return TkxBarItemControlPainter::GetProgressBarColor();
}

int TkxBarItemControlXPPainter::GetProgressBarBlockSize(TkxBarItemControl* Control) const {
  SIZE none{0, 0};
  SIZE chunk = kxpt::PartSize(tckProgress, nullptr, 3, 1, kxpt::kMinSize, none);
  RECT m;
  if (chunk.cy <= 0 || !kxpt::ContentMargins(tckProgress, nullptr, 1, 0, m))
    return TkxBarItemControlPainter::GetProgressBarBlockSize(Control);
  return int(chunk.cy - m.left - m.right);
}

void TkxBarItemControlXPPainter::DrawProgressBar(TkxBarItemControl* Control, HDC DC, int Max, int Min, int Position, bool Solid,
                             int Orientation, TColor Color, const TRect& R) const {
  HTHEME t = kxOpenThemeOfKind(tckProgress);
  if (!t) {
    TkxBarItemControlPainter::DrawProgressBar(Control, DC, Max, Min, Position, Solid, Orientation, Color, R);
    return;
  }
  bool vertical = Orientation == 2;
  int frame = vertical ? 2 : 1, chunk = vertical ? 4 : 3;
  if (IsThemeBackgroundPartiallyTransparent(t, frame, 0)) FillItemBackground(Control, DC, false, nullptr, R);
  RECT c = R;
  if (GetThemeBackgroundContentRect(t, DC, frame, 0, R, c) < 0) c = R;
  int length = vertical ? c.bottom - c.top : c.right - c.left;
  // a position outside the range is shown at its end, never past the bar
  int filled = Max > Min ? MulDiv(length, std::clamp(Position, Min, Max) - Min, Max - Min) : 0;
  if (vertical) c.bottom = c.top + filled;
  else c.right = c.left + filled;
  DrawThemeBackground(t, DC, frame, 0, R);
  if (filled <= 0) return;
  if (Solid) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &c, b);
    DeleteObject(b);
  } else {
    DrawThemeBackground(t, DC, chunk, 0, c);
  }
}
