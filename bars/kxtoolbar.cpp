// The toolbar window: the window of one bar, docked in a site or floating.
// It lays its item controls out in one or more rows, answers the sizes the
// dock sites ask for, paints its client and docked frame, shows the mark
// with the hidden items, and runs menu mode on a toolbar.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarhooks.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarmdi.h"
#include "framework/uxoffice11.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
constexpr int kMark = 11;  // the room the mark takes along the bar
}  // namespace

TkxBarControl::TkxBarControl(TComponent* AOwner, TkxBar* ABar) : TCustomkxBarControl(AOwner), FBar(ABar) {
  FHasCaption = true;
  SetParentFont(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  FDockingStyle = dsTop;
}

TkxBarControl::~TkxBarControl() {
  FDestroying = true;
  CloseQuickControl();
  if (FActive) CloseChain();
  if (TkxBarManager* m = BarManager())
    if (m->BarInMenuMode() == this) m->SetBarInMenuMode(nullptr);
  if (FDockControl) {
    FDockControl->UndockBar(this, !FDockControl->ComponentState().Contains(csDestroying));
    FDockControl = nullptr;
  }
  StopMarkTimer();
  if (HandleAllocated()) DestroyWindowHandle();
  if (FRotatedFont) DeleteObject(FRotatedFont);
  FRotatedFont = nullptr;
}

bool TkxBarControl::IsMultiLine() const { return FDockingStyle == dsNone || (FBar && FBar->MultiLine()); }

TCustomForm* TkxBarControl::GetOwnerForm() const {
  if (FDockControl && FDockControl->GetOwnerForm()) return FDockControl->GetOwnerForm();
  TkxBarManager* m = BarManager();
  return m ? m->OwnerForm() : nullptr;
}

void TkxBarControl::GetMovingBounds(TRect& R) const {
  if (FDockingStyle != dsNone && FBar && FBar->BorderStyle() == bbsSingle)
    R = IsVertical() ? TRect{-100, -100, 100, 0} : TRect{-100, -100, 0, 100};
  else R = TRect{};
}

void TkxBarControl::CaptionChanged() {
  if (!HandleAllocated()) return;
  SetWindowTextA(Handle(), FBar->Caption().c_str());
  SendMessageA(Handle(), WM_NCPAINT, 0, 0);
}

// ---- creation ----

void TkxBarControl::CreateParams(TCreateParams& Params) {
  TCustomkxBarControl::CreateParams(Params);
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.ExStyle = 0;
  if (FDockingStyle != dsNone) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FDockControl) Params.WndParent = FDockControl->Handle();
  } else {
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU | WS_THICKFRAME;
    TCustomForm* f = GetOwnerForm();
    Params.WndParent = f ? f->Handle() : nullptr;
  }
}

void TkxBarControl::CreateWnd() {
  TCustomkxBarControl::CreateWnd();
  if (FBar) SetWindowTextA(Handle(), FBar->Caption().c_str());
  SendMessageA(Handle(), WM_NCACTIVATE, 1, 0);
  Perform(CM_FONTCHANGED, 0, 0);
}

void TkxBarControl::SetDockingStyle(TkxBarDockingStyle Style) {
  if (Style == FDockingStyle) return;
  bool placementChanges = (Style == dsNone) != (FDockingStyle == dsNone);
  FItemsHidden = false;
  if (placementChanges && HandleAllocated()) {
    FChangingPlacement = true;
    DestroyHandle();
    FChangingPlacement = false;
  }
  if (Style == dsNone && Parent()) SetParent(nullptr);
  TCustomkxBarControl::SetDockingStyle(Style);
}

void TkxBarControl::UpdateFont() {
  if (FBar) Canvas()->SetFont(FBar->Font());
}

HFONT TkxBarControl::GetFontHandle() const {
  if (FBar && FBar->UseOwnFont() && FBar->FontHandle()) return FBar->FontHandle();
  return TCustomkxBarControl::GetFontHandle();
}

void TkxBarControl::UpdateLayeredAttributes() {
  if (!HandleAllocated()) return;
  int alpha = FDockingStyle == dsNone && FBar ? FBar->AlphaBlendValue() : 255;
  kxBarSetWindowAlpha(Handle(), alpha);
}

void TkxBarControl::RecreateBar() {
  UpdateControlStyle();
  CalcMetrics();
  if (FDockingStyle != dsNone) {
    UpdateFrame();
  } else if (FBar && FBar->Visible()) {
    FBar->SetVisible(false);
    FBar->SetVisible(true);
  }
}

void TkxBarControl::UpdateFrame() {
  UpdateDoubleBuffered();
  FrameChanged();
  Rebuild();
}

void TkxBarControl::FrameChanged() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TkxBarControl::Rebuild() {
  if (IsLocked() || !FBar || FBar->LockUpdate() || !HandleAllocated() || FDestroying) return;
  TkxBarManager* m = BarManager();
  TkxBarItemLink* remembered = nullptr;
  if (IsCustomizing() && m && m->SelectedItem() && m->SelectedItem()->Parent() == this) {
    remembered = m->SelectedItem()->Link();
    m->SetSelectedItem(nullptr);
    FSelectedControl = nullptr;
  }
  TkxBarItemLink* selected = FSelectedControl ? FSelectedControl->Link() : nullptr;
  DestroyItemControls();
  CreateItemControls();
  if (remembered && remembered->Control()) SelectItem(remembered->Control());
  else if (selected && selected->Control() && FActive) FSelectedControl = selected->Control();
  if (FDockingStyle != dsNone) {
    if (FDockControl) FDockControl->UpdateDock();
  } else {
    TSize size;
    GetSizeForWidth(dsNone, ClientWidth(), size);
    SetClientSize(size.cx, size.cy);
  }
  CalcControlsPositions();
  Invalidate();
  if (NeedsDoubleBuffering()) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
}

void TkxBarControl::Repaint() {
  if (FBar && FBar->LockUpdate()) return;
  TCustomkxBarControl::Repaint();
}

// ---- the frame ----

TRect TkxBarControl::GetNonClientMargins() const {
  TRect m{};
  TkxBarManager* mgr = BarManager();
  if (!FBar || !mgr || FDockingStyle == dsNone) return m;
  if (FBar->BorderStyle() == bbsSingle) {
    Painter()->GetSingleBorderMargins(FBar, FDockingStyle, m);
    int grip = mgr->GetBarGripSize(FBar);
    if (IsVertical()) m.top += grip;
    else m.left += grip;
  } else if (FBar->IsBottomWholeRow()) {
    m.top = Painter()->GetBottomBarBorderHeight(mgr);
    if (FBar->IsSizeGripVisible()) {
      TSize s;
      Painter()->GetSizeGripSize(mgr, s);
      m.right = s.cx;
    }
  }
  return m;
}

void TkxBarControl::PaintNonClient(HDC DC) {
  if (FDockingStyle == dsNone || !FBar) return;
  TRect m = GetNonClientMargins();
  TRect whole{0, 0, Width(), Height()};
  TRect client{m.left, m.top, Width() - m.right, Height() - m.bottom};
  HRGN rgn = CreateRectRgnIndirect(&whole);
  kxBarExcludeRectFromRgn(rgn, client);
  SelectClipRgn(DC, rgn);
  DeleteObject(rgn);
  HBRUSH brush = BkBrush();
  if (FBar->BorderStyle() == bbsSingle) {
    FillBackground(DC, whole, false, brush, nullptr);
    Painter()->DrawDockedBorder(this, DC, brush, whole);
  } else {
    Painter()->FillBottomBarBorder(this, DC, brush, whole);
    if (FBar->IsSizeGripVisible()) Painter()->DrawSizeGripArea(this, DC, brush, whole);
  }
  SelectClipRgn(DC, nullptr);
}

void TkxBarControl::WndProc(TMessage& Message) {
  if (PlacementMessage(Message)) return;
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = 7;
      return;
    case WM_SETFOCUS:
      return;
    case WM_SIZE:
      if (FDestroying) return;
      break;
    case CM_FONTCHANGED:
      if (HandleAllocated()) {
        if (kxBarIsRotatedToolbar(this) && !FInFontChange) {
          FInFontChange = true;
          LOGFONTA lf = FBar->Font()->LogFont();
          lf.lfEscapement = -900;
          lf.lfOrientation = -900;
          lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
          if (FRotatedFont) DeleteObject(FRotatedFont);
          FRotatedFont = CreateFontIndirectA(&lf);
          TFont f;
          f.SetHandle(CreateFontIndirectA(&lf));
          Canvas()->SetFont(&f);
          FInFontChange = false;
        } else {
          UpdateFont();
        }
        CalcMetrics();
        if (!IsLocked()) {
          HotTrack(nullptr);
          Rebuild();
        }
      }
      break;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      mm->ptMinTrackSize = POINT{10, 10};
      mm->ptMaxTrackSize = POINT{30000, 30000};
      mm->ptMaxSize = POINT{30000, 30000};
      mm->ptMaxPosition = POINT{30000, 30000};
      Message.Result = 0;
      return;
    }
    case WM_CANCELMODE:
      if (FMDIPressed >= 0 || FMDIHot >= 0) {
        if (GetCapture() == Handle()) ReleaseCapture();
        FMDIPressed = FMDIHot = -1;
        Invalidate();
      }
      break;
    case WM_TIMER:
      if (Message.WParam == 1 && FMarkTimer) {
        TRect r;
        GetMarkScreenRect(r);
        POINT p;
        GetCursorPos(&p);
        if (!IsWindowVisible(Handle()) || !(p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)) {
          StopMarkTimer();
          if (FMarkState == 1) SetMarkState(0);
        }
        return;
      }
      break;
    case WM_SETCURSOR:
      if (!GetCapture()) CheckEditEdges();
      if (FResizingEdit && Screen) {
        ::SetCursor(Screen->Cursors(kxBarEditSizingCursor));
        Message.Result = 1;
        return;
      }
      break;
    case WM_CAPTURECHANGED:
      if (FResizingEdit && HWND(Message.LParam) != Handle()) EndEditResizing(false);
      break;
    case WM_MOUSEACTIVATE:
      TCustomkxBarControl::WndProc(Message);
      if (FDockingStyle == dsNone && !FActive && HandleAllocated())
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    default:
      break;
  }
  TCustomkxBarControl::WndProc(Message);
}

bool TkxBarControl::HitEndsTracking(LRESULT Hit) const { return Hit != HTCLIENT && FCloseButtonState != 1; }

// ---- overrides ----

bool TkxBarControl::CanAlignItemControl(TkxBarItemControl* Control) const {
  if (!FItemLinks || FItemLinks->VisibleItemCount() == 0 || !Control) return false;
  return FItemLinks->VisibleItems(FItemLinks->VisibleItemCount() - 1) == Control->Link();
}

bool TkxBarControl::IsNonFlatFrame() const { return FDockingStyle != dsNone || !IsFlatStyle(); }

bool TkxBarControl::CanCustomizeItems() const {
  return TCustomkxBarControl::CanCustomizeItems() || (FBar && FBar->AllowCustomizing());
}

int TkxBarControl::GetSeparatorSize() const {
  return Painter()->GetBarSeparatorSize(const_cast<TkxBarControl*>(this), nullptr);
}

HBRUSH TkxBarControl::BkBrush() const { return Painter()->GetToolbarBkBrush(const_cast<TkxBarControl*>(this)); }

void TkxBarControl::GetItemRect(TkxBarItemControl* Control, TRect& R) const {
  R = TRect{};
  if (!Control || !Control->Link()) return;
  TRect r = Control->Link()->ItemRect();
  if (r.right <= r.left && r.bottom <= r.top) return;
  int thick = Control->Link()->RowHeight();
  if (IsVertical() && thick > 0) {
    int mid = (r.left + r.right) / 2;
    r.left = mid - thick / 2;
    r.right = r.left + thick;
  } else if (thick > 0) {
    int mid = (r.top + r.bottom) / 2;
    r.top = mid - thick / 2;
    r.bottom = r.top + thick;
  }
  R = r;
}

HRGN TkxBarControl::GetItemRegion(TkxBarItemControl* Control) const {
  TRect r;
  GetItemRect(Control, r);
  HRGN rgn = CreateRectRgnIndirect(&r);
  kxBarExcludeRectFromRgn(rgn, Control->BeginGroupRect());
  return rgn;
}

TkxBarItemControl* TkxBarControl::GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before) {
  TkxBarItemControl* c = TCustomkxBarControl::GetDropPlace(P, InGap, Vertical, Before);
  if (c || !IsPointInClient(P) || !FItemLinks) return c;
  InGap = false;
  Before = false;
  for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
    TkxBarItemControl* last = FItemLinks->ShownItems(i)->Control();
    if (!last || !last->IsOwnItem() || !last->LastInRow()) continue;
    TRect r;
    GetItemRect(last, r);
    bool inBand = IsVertical() ? (P.x >= r.left && P.x < r.right) : (P.y >= r.top && P.y < r.bottom);
    if (!inBand) continue;
    int along = IsVertical() ? P.y : P.x, start = IsVertical() ? r.top : r.left;
    if (along >= start) return last;
    Before = true;
    if (last->Align() == iaCenter || last->Align() == iaRight) return last;
    // empty space before a left or client aligned last control: the bar's first link takes the drop
    return FItemLinks->ShownItems(0)->Control();
  }
  return nullptr;
}

bool TkxBarControl::IsMarkVisible() const {
  if (!FBar || !FBar->ShowMark()) return false;
  if (FItemsHidden || FTruncated) return true;
  return Painter()->SupportsQuickCustomizing() && FBar->AllowQuickCustomizing() && !FBar->IsMainMenu();
}

bool TkxBarControl::IsMouseStill(const TPoint& ClientPoint) {
  if (TCustomkxBarControl::IsMouseStill(ClientPoint)) return true;
  if (FDockingStyle == dsNone) return false;
  TCustomForm* f = GetOwnerForm();
  if (!f || !f->HandleAllocated()) return false;
  if (f->FormStyle() == fsMDIForm) return Application && !Application->Active();
  return !f->Active() && GetActiveWindow() != f->Handle();
}

bool TkxBarControl::HasBackgroundBitmap() const {
  TkxBarManager* m = BarManager();
  return TCustomkxBarControl::HasBackgroundBitmap() || (FBar && !FBar->BackgroundBitmap()->Empty()) ||
         (m && m->BarBackground());
}

bool TkxBarControl::NeedsDoubleBuffering() const {
  TkxBarManager* m = BarManager();
  return (FBar && (FBar->Color() != clDefault || !FBar->BackgroundBitmap()->Empty())) || (m && m->BarBackground()) ||
         TCustomkxBarControl::NeedsDoubleBuffering();
}

void TkxBarControl::GetBackgroundOffset(TPoint& P) const {
  TRect m = GetNonClientMargins();
  P = TPoint{m.left, m.top};
}

void TkxBarControl::FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap) {
  TkxBarManager* m = BarManager();
  if (FBar && !FBar->BackgroundBitmap()->Empty()) {
    kxBarFillBackground(DC, R, R, FBar->BackgroundBitmap(), clNone, nullptr);
  } else if (FBar && FBar->IsBottomWholeRow() && m && m->BarBackground()) {
    Painter()->FillDropDownBackground(this, DC, Color(), Brush, R, R);
  } else if (!FBar || FBar->Color() == clDefault) {
    TCustomkxBarControl::FillBackground(DC, R, ClientCoords, Brush, Bitmap);
  } else {
    FillRectWithColor(DC, R, FBar->Color());
  }
}

// ---- layout ----

namespace {
struct TItemSize {
  TkxBarItemLink* Link;
  TkxBarItemControl* Control;
  int W, H;
};
}  // namespace

void TkxBarControl::CalcControlsPositions() {
  if (!FItemLinks || !HandleAllocated()) return;
  FItemLinks->EmptyItemRects();
  bool multi = IsMultiLine(), vert = IsVertical(), docked = FDockingStyle != dsNone;
  TRect client = ClientRect();
  int cw = client.Width(), ch = client.Height();
  int alongSize = vert ? ch : cw, acrossSize = vert ? cw : ch;
  bool buttons = HasMDIOrCloseButtons();
  int buttonArea = buttons ? (vert ? MDIButtonsHeight() : MDIButtonsWidth()) : 0;
  bool wasHidden = FItemsHidden;
  for (int attempt = 0; attempt < 2; ++attempt) {
    FItemsHidden = wasHidden && attempt == 0 ? false : FItemsHidden;
    bool mark = IsMarkVisible();
    int limit = multi ? alongSize - (mark && docked ? kMark : 0) : alongSize - (mark ? kMark : 0) - buttonArea;
    int rowThick = multi ? 0 : acrossSize;
    int pos = 0, rowOffset = 0;
    std::vector<TkxBarItemLink*> row;
    TkxBarItemControl* lastCtl = nullptr;
    bool hiddenByBreak = false;
    auto centreRow = [&]() {
      for (TkxBarItemLink* l : row) {
        TRect r = l->ItemRect();
        if (!vert) {
          int h = r.Height();
          r.top = rowOffset + (rowThick - h) / 2;
          r.bottom = r.top + h;
        } else {
          int w = r.Width();
          r.left = cw - rowOffset - rowThick + (rowThick - w) / 2;
          r.right = r.left + w;
        }
        l->SetItemRect(r);
        l->SetRowHeight(rowThick);
      }
    };
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* link = FItemLinks->ShownItems(i);
      link->CreateControl();
      TkxBarItemControl* c = link->Control();
      if (!c) continue;
      c->SetLastInRow(false);
      int w = c->DefaultWidth(), h = c->DefaultHeight();
      int itemAlong = vert ? h : w, itemAcross = vert ? w : h;
      int sep = link->BeginGroup() && !row.empty() ? GetSeparatorSize() : 0;
      bool wrap = !row.empty() && (pos + sep + itemAlong > limit || (multi && c->NewRow()));
      if (wrap) {
        if (!multi) {
          hiddenByBreak = true;
          break;
        }
        if (lastCtl) lastCtl->SetLastInRow(true);
        centreRow();
        rowOffset += rowThick + sep;
        pos = 0;
        sep = 0;
        rowThick = 0;
        row.clear();
      }
      TRect r;
      if (multi) {
        if (!vert) r = TRect{pos + sep, rowOffset, pos + sep + w, rowOffset + h};
        else {
          int left = cw - rowOffset - itemAcross;
          r = TRect{left, pos + sep, left + w, pos + sep + h};
        }
      } else if (!vert) {
        int top = (ch - h) / 2;
        r = TRect{pos + sep, top, pos + sep + w, top + h};
      } else {
        int left = (cw - w) / 2;
        r = TRect{left, pos + sep, left + w, pos + sep + h};
      }
      bool aligned = false;
      if (CanAlignItemControl(c) && c->Align() != iaLeft) {
        int lim = limit;
        int end = vert ? r.bottom : r.right;
        if (multi && buttons && lim >= end + buttonArea) lim -= buttonArea;
        int start = vert ? r.top : r.left;
        int newStart = start, newLen = itemAlong;
        switch (c->Align()) {
          case iaCenter: newStart = start + (lim - start - itemAlong) / 2; break;
          case iaRight: newStart = lim - itemAlong; break;
          case iaClient: newLen = std::max(lim - start, c->GetMinWidth()); break;
          default: break;
        }
        newStart = std::max(newStart, start);
        if (vert) {
          r.top = newStart;
          r.bottom = newStart + newLen;
        } else {
          r.left = newStart;
          r.right = newStart + newLen;
        }
        itemAlong = (vert ? r.bottom : r.right) - start;
        aligned = true;
        if (i + 1 < FItemLinks->ShownItemCount()) FItemsHidden = true;
      }
      link->SetItemRect(r);
      link->SetRowHeight(rowThick);
      pos += sep + itemAlong;
      rowThick = std::max(rowThick, itemAcross);
      row.push_back(link);
      lastCtl = c;
      if (aligned && FItemsHidden) break;
    }
    if (lastCtl) lastCtl->SetLastInRow(true);
    if (multi) centreRow();
    else
      for (TkxBarItemLink* l : row) l->SetRowHeight(acrossSize);
    if (hiddenByBreak) FItemsHidden = true;
    // a mark that appears takes room, so the layout runs once more with it
    if (!mark && IsMarkVisible() && attempt == 0) {
      FItemLinks->EmptyItemRects();
      continue;
    }
    break;
  }
}

int TkxBarControl::GetMaxWidth(TkxBarDockingStyle Style) {
  bool vert = Style == dsLeft || Style == dsRight;
  int w = 0;
  TkxBarManager* m = BarManager();
  if (vert || (FBar && (FBar->MultiLine() || Style == dsNone))) {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(i)->Control()) w = std::max(w, c->DefaultWidth());
    if (FItemLinks->ShownItemCount() == 0 && m) w = m->ButtonWidth();
    if (HasMDIOrCloseButtons()) w = std::max(w, MDIButtonsWidth());
  } else {
    if (FItemLinks->ShownItemCount() > 0)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(0)->Control()) w = c->DefaultWidth();
    if (HasMDIOrCloseButtons()) w += MDIButtonsWidth();
  }
  if ((Style == dsTop || Style == dsBottom) && IsMarkVisible()) w += kMark;
  return w;
}

int TkxBarControl::GetMaxHeight(TkxBarDockingStyle Style) {
  bool vert = Style == dsLeft || Style == dsRight;
  int h = 0;
  TkxBarManager* m = BarManager();
  if (!vert || (FBar && FBar->MultiLine())) {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(i)->Control()) h = std::max(h, c->DefaultHeight());
    if (FItemLinks->ShownItemCount() == 0 && m) h = m->ButtonHeight();
    if (HasMDIOrCloseButtons()) h = std::max(h, MDIButtonsHeight());
  } else {
    if (FItemLinks->ShownItemCount() > 0)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(0)->Control()) h = c->DefaultHeight();
    if (HasMDIOrCloseButtons()) h += MDIButtonsHeight();
  }
  if (vert && IsMarkVisible()) h += kMark;
  return h;
}

int TkxBarControl::GetSingleRowWidth(TkxBarDockingStyle Style) {
  bool vert = Style == dsLeft || Style == dsRight;
  int w = 0;
  if (!vert || (FBar && FBar->MultiLine())) {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* l = FItemLinks->ShownItems(i);
      if (!l->Control()) continue;
      if (i > 0 && l->BeginGroup()) w += GetSeparatorSize();
      w += l->Control()->DefaultWidth();
    }
    if (HasMDIOrCloseButtons()) w += MDIButtonsWidth();
    if ((Style == dsTop || Style == dsBottom) && IsMarkVisible()) w += kMark;
  } else {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(i)->Control()) w = std::max(w, c->DefaultWidth());
  }
  return std::max(w, GetMaxWidth(Style));
}

int TkxBarControl::GetSingleColumnHeight(TkxBarDockingStyle Style) {
  bool vert = Style == dsLeft || Style == dsRight;
  int h = 0;
  if (vert || (FBar && FBar->MultiLine())) {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* l = FItemLinks->ShownItems(i);
      if (!l->Control()) continue;
      if (i > 0 && l->BeginGroup()) h += GetSeparatorSize();
      h += l->Control()->DefaultHeight();
    }
    if (HasMDIOrCloseButtons()) h += MDIButtonsHeight();
    if (vert && IsMarkVisible()) h += kMark;
  } else {
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i)
      if (TkxBarItemControl* c = FItemLinks->ShownItems(i)->Control()) h = std::max(h, c->DefaultHeight());
  }
  return std::max(h, GetMaxHeight(Style));
}

void TkxBarControl::CalcRowsForWidth(TkxBarDockingStyle Style, int Limit, TSize& Size) {
  bool vert = Style == dsLeft || Style == dsRight;
  bool docked = Style != dsNone;
  int along0 = vert ? Size.cy : Size.cx;
  int limit = std::max(Limit, along0) - (IsMarkVisible() && docked ? kMark : 0);
  int n = FItemLinks->ShownItemCount();
  std::vector<TItemSize> items;
  for (int i = 0; i < n; ++i) {
    TkxBarItemLink* l = FItemLinks->ShownItems(i);
    l->CreateControl();
    if (TkxBarItemControl* c = l->Control()) {
      c->SetNewRow(false);
      items.push_back({l, c, c->DefaultWidth(), c->DefaultHeight()});
    }
  }
  // a bar without links keeps a button's size, so that links can be dropped on it
  if (items.empty() && !HasMDIOrCloseButtons()) return;
  int maxAlong = 0, across = 0, pos = 0, thick = 0, rowStart = 0, groupStart = -1;
  for (int i = 0; i < int(items.size()); ++i) {
    TItemSize& it = items[std::size_t(i)];
    int a = vert ? it.H : it.W, x = vert ? it.W : it.H;
    bool begin = it.Link->BeginGroup() && i > rowStart;
    int sep = begin ? GetSeparatorSize() : 0;
    if (begin) groupStart = i;
    if (i > rowStart && pos + sep + a > limit) {
      int restart = i;
      if (groupStart > rowStart && groupStart < i) restart = groupStart;  // the whole group moves on
      // the row up to restart is finished
      int rowAlong = 0, rowThick = 0;
      for (int j = rowStart; j < restart; ++j) {
        TItemSize& p = items[std::size_t(j)];
        if (j > rowStart && p.Link->BeginGroup()) rowAlong += GetSeparatorSize();
        rowAlong += vert ? p.H : p.W;
        rowThick = std::max(rowThick, vert ? p.W : p.H);
      }
      maxAlong = std::max(maxAlong, rowAlong);
      across += rowThick + (items[std::size_t(restart)].Link->BeginGroup() ? GetSeparatorSize() : 0);
      items[std::size_t(restart)].Control->SetNewRow(true);
      rowStart = restart;
      groupStart = -1;
      i = restart - 1;
      pos = 0;
      thick = 0;
      continue;
    }
    pos += sep + a;
    thick = std::max(thick, x);
  }
  maxAlong = std::max(maxAlong, pos);
  across += thick;
  if (HasMDIOrCloseButtons()) {
    int area = vert ? MDIButtonsHeight() : MDIButtonsWidth();
    if (pos + area > limit) across += vert ? MDIButtonsWidth() : MDIButtonsHeight();
    else maxAlong = std::max(maxAlong, pos + area);
  }
  if (vert) {
    Size.cy = std::max(int(Size.cy), maxAlong);
    Size.cx = across;
  } else {
    Size.cx = std::max(int(Size.cx), maxAlong);
    Size.cy = across;
  }
}

void TkxBarControl::GetSizeForWidth(TkxBarDockingStyle Style, int Width, TSize& Size) {
  bool vert = Style == dsLeft || Style == dsRight;
  FItemLinks->SetRecentItemCount(-1);
  CreateItemControls();
  FItemLinks->RestoreRecentItemCount();
  bool multi = Style == dsNone || (FBar && FBar->MultiLine());
  if (multi && vert) {
    GetSizeForHeight(Style, GetSingleColumnHeight(Style), Size);
    for (int guard = 0; guard < 4096; ++guard) {
      TSize trial;
      GetSizeForHeight(Style, Size.cy - 1, trial);
      if (trial.cx > Width || trial.cy == Size.cy) break;
      Size = trial;
    }
  } else if (multi) {
    Size = TSize{GetMaxWidth(Style), GetMaxHeight(Style)};
    CalcRowsForWidth(Style, Width, Size);
  } else if (vert) {
    Size = TSize{GetMaxWidth(Style), GetSingleColumnHeight(Style)};
  } else {
    int buttons = HasMDIOrCloseButtons() ? MDIButtonsWidth() : 0;
    int limit = std::max(Width, GetMaxWidth(Style)) - buttons - (IsMarkVisible() ? kMark : 0);
    int w = 0, h = 0;
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* l = FItemLinks->ShownItems(i);
      if (!l->Control()) continue;
      int sep = i > 0 && l->BeginGroup() ? GetSeparatorSize() : 0;
      int iw = l->Control()->DefaultWidth();
      if (i > 0 && w + sep + iw > limit) break;
      w += sep + iw;
      h = std::max(h, l->Control()->DefaultHeight());
    }
    if (IsMarkVisible()) w += kMark;
    if (buttons) {
      w += buttons;
      h = std::max(h, MDIButtonsHeight());
    }
    Size = TSize{w, h};
  }
}

void TkxBarControl::GetSizeForHeight(TkxBarDockingStyle Style, int Height, TSize& Size) {
  bool vert = Style == dsLeft || Style == dsRight;
  FItemLinks->SetRecentItemCount(-1);
  CreateItemControls();
  FItemLinks->RestoreRecentItemCount();
  bool multi = Style == dsNone || (FBar && FBar->MultiLine());
  if (multi && vert) {
    Size = TSize{GetMaxWidth(Style), GetMaxHeight(Style)};
    CalcRowsForWidth(Style, Height, Size);
  } else if (multi) {
    GetSizeForWidth(Style, GetSingleRowWidth(Style), Size);
    for (int guard = 0; guard < 4096; ++guard) {
      TSize trial;
      GetSizeForWidth(Style, Size.cx - 1, trial);
      if (trial.cy > Height || trial.cx == Size.cx) break;
      Size = trial;
    }
  } else if (!vert) {
    Size = TSize{GetSingleRowWidth(Style), GetMaxHeight(Style)};
  } else {
    int limit = std::max(Height, GetMaxHeight(Style)) - (IsMarkVisible() ? kMark : 0);
    int w = 0, h = 0;
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* l = FItemLinks->ShownItems(i);
      if (!l->Control()) continue;
      int sep = i > 0 && l->BeginGroup() ? GetSeparatorSize() : 0;
      int ih = l->Control()->DefaultHeight();
      if (i > 0 && h + sep + ih > limit) break;
      h += sep + ih;
      w = std::max(w, l->Control()->DefaultWidth());
    }
    if (IsMarkVisible()) h += kMark;
    Size = TSize{w, h};
  }
}

void TkxBarControl::GetSizeForDockingStyle(TkxBarDockingStyle Style, TSize& Size) {
  int saved = FItemLinks->RecentItemCount();
  bool vert = Style == dsLeft || Style == dsRight;
  if (Style == dsNone) {
    GetSizeForWidth(dsNone, FBar->FloatClientWidth() > 0 ? FBar->FloatClientWidth() : 30000, Size);
    Size.cx += FBar->GetNonClientWidth(dsNone);
  } else if (vert) {
    int h = FBar->WholeRow() && FDockControl ? FDockControl->ClientHeight() - FBar->GetNonClientHeight(Style)
                                            : GetSingleColumnHeight(Style);
    GetSizeForHeight(Style, h, Size);
    Size.cx += FBar->GetNonClientWidth(Style);
    if (FBar->WholeRow() && FDockControl) Size.cy = FDockControl->ClientHeight() - FBar->GetNonClientHeight(Style);
  } else {
    int w = FBar->WholeRow() && FDockControl ? FDockControl->ClientWidth() - FBar->GetNonClientWidth(Style)
                                            : GetSingleRowWidth(Style);
    GetSizeForWidth(Style, w, Size);
    if (FBar->WholeRow() && FDockControl) Size.cx = FDockControl->ClientWidth();
    else Size.cx += FBar->GetNonClientWidth(Style);
  }
  Size.cy += FBar->GetNonClientHeight(Style);
  FItemLinks->SetRecentItemCount(saved);
  CalcControlsPositions();
}

int TkxBarControl::MinLength(TkxBarDockingStyle Style) {
  FItemLinks->SetRecentItemCount(-1);
  CreateItemControls();
  bool vert = Style == dsLeft || Style == dsRight;
  return vert ? GetMaxHeight(Style) : GetMaxWidth(Style);
}

int TkxBarControl::FullLength(TkxBarDockingStyle Style) {
  FItemLinks->SetRecentItemCount(-1);
  CreateItemControls();
  bool vert = Style == dsLeft || Style == dsRight;
  return vert ? GetSingleColumnHeight(Style) : GetSingleRowWidth(Style);
}

TSize TkxBarControl::SizeForLength(TkxBarDockingStyle Style, int Length, bool Truncated) {
  if (Truncated && !Painter()->SupportsQuickCustomizing()) Length -= kMark;
  TSize s{};
  if (Style == dsLeft || Style == dsRight) GetSizeForHeight(Style, Length, s);
  else GetSizeForWidth(Style, Length, s);
  return s;
}

// ---- painting ----

void TkxBarControl::Paint() {
  if (FLocked || !FItemLinks) return;
  CalcControlsPositions();
  if (!IsCustomizing())
    for (int i = 0; i < FItemLinks->Count(); ++i) {
      TkxBarItemLink* l = FItemLinks->Items(i);
      // links not shown or without room on the bar keep their hosted windows away
      bool shown = l->ShownIndex() >= 0 && l->ItemRect().right > l->ItemRect().left &&
                   l->ItemRect().bottom > l->ItemRect().top;
      if (l->Item() && l->Item()->HasHostedWindow() && !shown) l->Item()->HideHostedWindow(this);
    }
  HDC dc = FontDC();
  TRect client = ClientRect();
  HRGN region = CreateRectRgnIndirect(&client);
  bool vert = IsVertical();
  int markRoom = IsMarkVisible() && FDockingStyle != dsNone ? kMark : 0;
  for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
    TkxBarItemLink* l = FItemLinks->ShownItems(i);
    TkxBarItemControl* c = l->Control();
    if (!c) continue;
    TRect r;
    GetItemRect(c, r);
    if (r.right <= r.left || r.bottom <= r.top) {
      c->SetBeginGroupRect(TRect{});
      continue;
    }
    RepaintItem(c);
    kxBarExcludeRectFromRgn(region, r);
    if (i > 0 && l->BeginGroup()) {
      int sep = GetSeparatorSize();
      TRect s;
      bool firstOfRow = c->NewRow() || (i > 0 && FItemLinks->ShownItems(i - 1)->Control() &&
                                        FItemLinks->ShownItems(i - 1)->Control()->LastInRow());
      bool horizontalLine;
      if (!vert) {
        if (firstOfRow) {
          s = TRect{0, r.top - sep, client.Width() - markRoom, r.top};
          horizontalLine = true;
        } else {
          s = TRect{r.left - sep, r.top, r.left, r.bottom};
          horizontalLine = false;
        }
      } else if (firstOfRow) {
        s = TRect{r.right, 0, r.right + sep, client.Height() - markRoom};
        horizontalLine = false;
      } else {
        s = TRect{r.left, r.top - sep, r.right, r.top};
        horizontalLine = true;
      }
      c->SetBeginGroupRect(s);
      kxBarExcludeRectFromRgn(region, s);
      Painter()->DrawBarSeparator(this, dc, horizontalLine, BkBrush(), s);
    } else {
      c->SetBeginGroupRect(TRect{});
    }
  }
  if (HasMDIOrCloseButtons()) {
    DrawMDIButtons(dc);
    for (int k = HasMDIButtons() ? 0 : 2; k < 3; ++k) kxBarExcludeRectFromRgn(region, GetMDIButtonRect(k));
  }
  if (IsMarkVisible() && FDockingStyle != dsNone) {
    TRect mr = GetMarkPaintRect();
    Painter()->DrawMarkButton(this, dc, BkBrush(), mr);
    kxBarExcludeRectFromRgn(region, mr);
  }
  FillBackgroundRgn(dc, region, true, BkBrush());
  DeleteObject(region);
}

void TkxBarControl::RepaintItem(TkxBarItemControl* Control) {
  FItemBrush = BkBrush();
  if (!Control || !Control->Link() || (FBar && FBar->LockUpdate()) || !HandleAllocated()) return;
  TRect r;
  GetItemRect(Control, r);
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (FRepaintingItem) {
    InvalidateRect(Handle(), &r, FALSE);
    return;
  }
  HDC dc = FontDC();
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(dc, had);
  kxBarClipToRect(dc, r);
  try {
    Control->Paint(dc, r, kxBarIsRotatedToolbar(this) ? kxPaintKindRotated : kxPaintKindToolbar);
  } catch (...) {
    kxBarPutBackClipRegion(dc, kept, had);
    throw;
  }
  kxBarPutBackClipRegion(dc, kept, had);
  DrawCustomizingFrame(Control);
}

// ---- the mark ----

void TkxBarControl::GetMarkRect(TRect& R) const { Painter()->GetMarkHitRect(const_cast<TkxBarControl*>(this), R); }

void TkxBarControl::GetMarkScreenRect(TRect& R) {
  GetMarkRect(R);
  TPoint tl = ClientToScreen(TPoint{R.left, R.top});
  OffsetRect(&R, tl.x - R.left, tl.y - R.top);
}

TRect TkxBarControl::GetMarkPaintRect() const {
  TRect r;
  Painter()->GetMarkRect(const_cast<TkxBarControl*>(this), r);
  return r;
}

void TkxBarControl::DrawMark(HDC DC) {
  if (!IsMarkVisible()) return;
  Painter()->DrawMarkButton(this, DC, BkBrush(), GetMarkPaintRect());
}

void TkxBarControl::StartMarkTimer() {
  if (HandleAllocated() && !FMarkTimer) FMarkTimer = SetTimer(Handle(), 1, 50, nullptr);
}

void TkxBarControl::StopMarkTimer() {
  if (FMarkTimer && HandleAllocated()) KillTimer(Handle(), 1);
  FMarkTimer = 0;
}

void TkxBarControl::CloseQuickControl() {
  TkxBarSubMenuControl* q = FQuickControl;
  FQuickControl = nullptr;
  if (q && kxBarIsBarControlAlive(kxBarRef(q))) q->CloseMenu();
}

void TkxBarControl::QuickControlClosed(TObject*) {
  FQuickControl = nullptr;
  if (FMarkState == 2) {
    FMarkState = 0;
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
  }
}

void TkxBarControl::ShowHiddenItems() {
  TkxBarManager* m = BarManager();
  if (!m || !FItemLinks) return;
  auto* quick = new TkxBarQuickControl(m, this);
  quick->OnCloseUp = TNotifyEvent(this, &TkxBarControl::QuickControlClosed);
  FQuickControl = quick;
  TRect mark;
  GetMarkScreenRect(mark);
  kxBarPlaySound(0);
  quick->ShowAtMark(mark);
}

void TkxBarControl::SetMarkState(int State) {
  if (IsCustomizing() || State == FMarkState) return;
  FMarkState = State;
  StopMarkTimer();
  if (State == 2) {
    if (!FActive) ActivateMenuMode(nullptr);
    ShowHiddenItems();
  } else {
    if (FQuickControl) CloseQuickControl();
    if (State == 1 && FDockingStyle == dsNone) StartMarkTimer();
  }
  if (HandleAllocated()) {
    TRect r = GetMarkPaintRect();
    InvalidateRect(Handle(), &r, FALSE);
  }
}

void TkxBarControl::CheckMarkClick(const TPoint& P) {
  if (!IsMarkVisible()) return;
  TRect r;
  GetMarkRect(r);
  if (!(P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom)) return;
  SetMarkState(FMarkState == 2 ? 1 : 2);
}

// ---- the floating caption ----

TRect TkxBarControl::GetCaptionRect() const {
  TkxBarItemControlPainterClass p = Painter();
  int bw = p->UsesSystemFrame() ? GetSystemMetrics(SM_CXSIZEFRAME) : p->GetFloatingBorderWidth();
  int bh = p->UsesSystemFrame() ? GetSystemMetrics(SM_CYSIZEFRAME) : p->GetFloatingBorderHeight();
  int ch = p->GetFloatingCaptionHeight(const_cast<TkxBarControl*>(this), nullptr);
  TRect w = GetWindowRect();
  return TRect{bw, bh, w.Width() - bw, bh + ch};
}

TRect TkxBarControl::GetCaptionClientRect() const {
  TRect r = GetCaptionRect();
  if (!FHandle) return r;
  POINT origin{0, 0};
  ::ClientToScreen(FHandle, &origin);
  TRect w = GetWindowRect();
  OffsetRect(&r, w.left - origin.x, w.top - origin.y);
  return r;
}

TRect TkxBarControl::GetCloseButtonRect(bool InWindow) const {
  TRect c = InWindow ? GetCaptionRect() : GetCaptionClientRect();
  int h = c.Height();
  TSize b;
  Painter()->GetCaptionButtonSize(b);
  int left = c.right - h + (h - b.cx) / 2, top = c.top + (h - b.cy) / 2;
  return TRect{left, top, left + b.cx, top + b.cy};
}

// ---- the MDI child buttons and the close button ----

bool TkxBarControl::HasMDIButtons() const {
  TkxBarManager* m = BarManager();
  if (!FBar || !FBar->IsMainMenu() || !m) return false;
  HWND child = m->GetActiveMDIChild();
  return child && IsZoomed(child) && GetSystemMenu(child, FALSE);
}

bool TkxBarControl::HasMDIOrCloseButtons() const {
  TkxBarManager* m = BarManager();
  return HasMDIButtons() || (FBar && FBar->IsMainMenu() && m && m->ShowCloseButton());
}

int TkxBarControl::MDIButtonsWidth() const {
  int bw = GetSystemMetrics(SM_CXMENUSIZE) - 2;
  return HasMDIButtons() && !IsVertical() ? 3 * bw + 2 : bw;
}

int TkxBarControl::MDIButtonsHeight() const {
  int bh = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  return HasMDIButtons() && IsVertical() ? 3 * bh + 2 : bh;
}

TRect TkxBarControl::GetMDIButtonRect(int Index) {
  int bw = GetSystemMetrics(SM_CXMENUSIZE) - 2, bh = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  TRect client = ClientRect();
  int markRoom = IsMarkVisible() && FDockingStyle != dsNone ? kMark : 0;
  bool three = HasMDIButtons();
  if (!three && Index != 2) return TRect{};
  if (!IsVertical()) {
    int right = client.right - markRoom;
    int left = three ? right - (3 - Index) * bw - (Index == 2 ? 0 : 2) : right - bw;
    int top = (client.Height() - bh) / 2;
    return TRect{left, top, left + bw, top + bh};
  }
  int bottom = client.bottom - markRoom;
  int top = three ? bottom - (3 - Index) * bh - (Index == 2 ? 0 : 2) : bottom - bh;
  int left = (client.Width() - bw) / 2;
  return TRect{left, top, left + bw, top + bh};
}

bool TkxBarControl::IsMDIButtonEnabled(int Index, UINT Flags) const {
  if (Index == 1 || !HasMDIButtons()) return true;
  static const UINT commands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
  HMENU sys = GetSystemMenu(BarManager()->GetActiveMDIChild(), FALSE);
  UINT state = sys ? GetMenuState(sys, commands[std::clamp(Index, 0, 2)], MF_BYCOMMAND) : 0;
  return state == UINT(-1) || !(state & Flags);
}

void TkxBarControl::DrawMDIButtons(HDC DC) {
  for (int k = HasMDIButtons() ? 0 : 2; k < 3; ++k)
    Painter()->DrawMDIButton(this, k, GetMDIButtonRect(k), DC, FMDIPressed == k, FMDIHot == k);
}

// ---- menu mode ----

void TkxBarControl::ActivateMenuMode(TkxBarItemControl* Control) {
  POINT p;
  GetCursorPos(&p);
  HWND under = kxBarWindowFromScreenPoint(p);
  if (under && under != Handle())
    if (auto* other = dynamic_cast<TCustomkxBarControl*>(FindControl(under))) kxBarEndMouseTracking(other->Handle());
  TCustomForm* form = GetOwnerForm();
  if (form && form->HandleAllocated()) SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
  FSavedFocus = GetFocus();
  if (!IsCustomizing() && form && form->HandleAllocated())
    SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!Control && FItemLinks) {
    // the first link, past the system-menu entry of a maximized MDI child
    TkxBarItemLink* l = FItemLinks->First();
    if (l && dynamic_cast<TSystemMenuSubItemControl*>(l->Control()))
      l = FItemLinks->Next(l);
    Control = l ? l->Control() : nullptr;
  }
  SetActive(true);
  if (Control) SelectItem(Control);
  if (TkxBarManager* m = BarManager()) m->SetBarInMenuMode(this);
}

void TkxBarControl::DeactivateMenuMode() {
  TkxBarManager* m = BarManager();
  if (!m || m->BarInMenuMode() != this) return;
  m->SetBarInMenuMode(nullptr);
  TkxBarControlRef self = kxBarRef(this);
  // the hidden-items drop-down belongs to the menu mode it opened in
  if (FQuickControl) SetMarkState(0);
  if (!kxBarIsBarControlAlive(self)) return;
  SelectItem(nullptr);
  if (!kxBarIsBarControlAlive(self)) return;
  SetActive(false);
  if (!kxBarIsBarControlAlive(self)) return;
  POINT p;
  GetCursorPos(&p);
  HWND under = kxBarWindowFromScreenPoint(p);
  if (auto* c = dynamic_cast<TCustomkxBarControl*>(FindControl(under))) {
    c->SetLastMousePos(TPoint{-1, -1});
    POINT q = p;
    ::ScreenToClient(under, &q);
    PostMessageA(under, WM_MOUSEMOVE, 0, MAKELPARAM(q.x, q.y));
  }
  TCustomForm* form = GetOwnerForm();
  if (Application && Application->Active() && form && form->Active() && FSavedFocus && IsWindow(FSavedFocus) &&
      IsWindowVisible(FSavedFocus))
    ::SetFocus(FSavedFocus);
}

void TkxBarControl::SetActive(bool Value) {
  if (!Value) {
    TkxBarControlRef self = kxBarRef(this);
    if (IsCustomizing()) {
      HotTrack(nullptr);
    } else if (auto* b = dynamic_cast<TkxBarButtonControl*>(FSelectedControl)) {
      if (b->DroppedDown()) b->Deactivate(true);
    }
    if (!kxBarIsBarControlAlive(self)) return;
    FDroppedDown = false;
    if (!IsCustomizing()) DeactivateMenuMode();
    if (!kxBarIsBarControlAlive(self)) return;
    TCustomkxBarControl::SetActive(false);
    if (!kxBarIsBarControlAlive(self)) return;
    DeactivateMenuMode();
    return;
  }
  TCustomkxBarControl::SetActive(true);
}

void TkxBarControl::CloseChain() {
  TkxBarControlRef self = kxBarRef(this);
  DeactivateMenuMode();
  if (!kxBarIsBarControlAlive(self)) return;
  TCustomkxBarControl::CloseChain();
}

void TkxBarControl::SelectItem(TkxBarItemControl* Control) {
  TkxBarItemControl* before = FSelectedControl;
  TkxBarControlRef self = kxBarRef(this);
  TCustomkxBarControl::SelectItem(Control);
  if (!kxBarIsBarControlAlive(self) || IsCustomizing()) return;
  if (FSelectedControl && FSelectedControl != before && !FSelectedControl->Active()) {
    if (dynamic_cast<TkxBarSubItemControl*>(FSelectedControl)) {
      if (FDroppedDown) FSelectedControl->ClickByKeyboard(false);
    } else {
      FSelectedControl->SetActive(true);
    }
  }
}

void TkxBarControl::DoKeyDown(TWMKey& Message) {
  TCustomkxBarControl::DoKeyDown(Message);
  if (!FActive || !kxBarGetActiveBarControl()) return;
  Word key = Message.CharCode();
  if (SendKeyToSelected(key)) return;
  TkxBarControlRef self = kxBarRef(this);
  switch (key) {
    case VK_RETURN:
    case VK_UP:
    case VK_DOWN: {
      TkxBarItemControl* c = FSelectedControl;
      if (!c) return;
      bool sub = dynamic_cast<TkxBarSubItemControl*>(c) != nullptr;
      if (sub && c->IsEnabled()) FDroppedDown = true;
      if (sub || key == VK_RETURN) c->ClickByKeyboard(false);
      return;
    }
    case VK_ESCAPE:
      Message.SetCharCode(0);
      CloseChain();
      return;
    default:
      break;
  }
  (void)self;
}

void TkxBarControl::DoLButtonDown(TWMMouse& Message) {
  if (FIgnoreMouseUp) return;
  if (FResizingEdit) {
    // on an edge of the selected edit item the press starts a width drag
    FNewEditWidth = 0;
    SetCapture(Handle());
    return;
  }
  TkxBarManager* m = BarManager();
  TPoint p = Message.Pos();
  if (m && !m->HideFloatingBarsWhenInactive() && FDockingStyle == dsNone)
    if (TCustomForm* f = m->OwnerForm()) f->SetFocus();
  TkxBarItemControl* c = IsPointInClient(p) ? ItemAtPos(p) : nullptr;
  bool usable = c && (m && m->IsDesigning() ? true : (c->IsEnabled() && (c->IsSelectable() || c->IsClickable())));
  TkxBarControlRef self = kxBarRef(this);
  if (usable) {
    if (IsCustomizing()) {
      if (!FActive) ActivateMenuMode(c);
    } else {
      auto* win = dynamic_cast<TkxBarWinControl*>(c);
      if (FActive && (c != FSelectedControl || (win && !win->Shown()))) {
        FDroppedDown = false;
        SelectItem(c);
        if (!kxBarIsBarControlAlive(self)) return;
      }
      bool isButton = dynamic_cast<TkxBarButtonControl*>(c) != nullptr;
      if (!FActive || (!isButton && FDroppedDown && c == FSelectedControl && c->Active())) {
        if (!FActive) {
          ActivateMenuMode(c);
        } else {
          DeactivateMenuMode();
          if (!kxBarIsBarControlAlive(self)) return;
          FIgnoreMouseUp = true;
          return;
        }
      }
      if (FActive && !c->HasWindow()) FDroppedDown = true;
    }
  } else if (IsPointInClient(p) && FActive && !IsCustomizing()) {
    TCustomkxBarControl::SetActive(false);
    if (!kxBarIsBarControlAlive(self)) return;
  }
  TCustomkxBarControl::DoLButtonDown(Message);
  if (!kxBarIsBarControlAlive(self)) return;
  if (HasMDIOrCloseButtons() && !IsCustomizing()) {
    for (int k = HasMDIButtons() ? 0 : 2; k < 3; ++k) {
      TRect r = GetMDIButtonRect(k);
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom && IsMDIButtonEnabled(k, MF_GRAYED | MF_DISABLED)) {
        FMDIPressed = FMDIHot = k;
        SetCapture(Handle());
        Invalidate();
      }
    }
  }
  CheckMarkClick(p);
}

void TkxBarControl::DoLButtonUp(TWMMouse& Message) {
  if (FResizingEdit && GetCapture() == Handle()) {
    EndEditResizing(true);
    return;
  }
  if (FMDIPressed >= 0) {
    int k = FMDIPressed;
    bool hot = FMDIHot == k;
    FMDIPressed = FMDIHot = -1;
    if (GetCapture() == Handle()) ReleaseCapture();
    Invalidate();
    TkxBarManager* m = BarManager();
    if (!hot || !m) return;
    if (HasMDIButtons()) {
      static const UINT commands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
      SendMessageA(m->GetActiveMDIChild(), WM_SYSCOMMAND, commands[std::clamp(k, 0, 2)], 0);
    } else if (k == 2) {
      m->DoCloseButtonClick();
    }
    return;
  }
  TCustomkxBarControl::DoLButtonUp(Message);
}

void TkxBarControl::DoMouseMove(TWMMouse& Message) {
  TPoint p = Message.Pos();
  if (FResizingEdit && GetCapture() == Handle()) {
    TkxBarEditControl* c = CustomizedEditControl();
    if (!c) {
      EndEditResizing(false);
      return;
    }
    TRect r;
    GetItemRect(c, r);
    int w = (FResizeFromRight ? p.x - r.left : r.right - p.x) - c->CaptionWidth();
    kxBarEnsureMinSize20(w);
    if (w == FNewEditWidth) return;
    if (FNewEditWidth) DrawEditWidthFrame();  // erase the last one
    else c->Repaint();
    FNewEditWidth = w;
    DrawEditWidthFrame();
    return;
  }
  if (FMDIPressed >= 0) {
    TRect r = GetMDIButtonRect(FMDIPressed);
    int hot = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom ? FMDIPressed : -1;
    if (hot != FMDIHot) {
      FMDIHot = hot;
      Invalidate();
    }
    return;
  }
  bool moved = !IsMouseStill(p);
  TCustomkxBarControl::DoMouseMove(Message);
  if (moved && !FActive && Painter()->SupportsQuickCustomizing() && IsMarkVisible() && FMarkState != 2) {
    TRect r;
    GetMarkRect(r);
    bool over = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
    SetMarkState(over ? 1 : 0);
  }
}

// ---- edit width dragging ----

TkxBarEditControl* TkxBarControl::CustomizedEditControl() const {
  TkxBarManager* m = BarManager();
  if (!m || !IsCustomizing()) return nullptr;
  auto* c = dynamic_cast<TkxBarEditControl*>(m->SelectedItem());
  return c && c->Parent() == this && c->Link() ? c : nullptr;
}

void TkxBarControl::CheckEditEdges() {
  FResizingEdit = false;
  TkxBarEditControl* c = CustomizedEditControl();
  if (!c || !HandleAllocated()) return;
  POINT s;
  GetCursorPos(&s);
  TPoint p = ScreenToClient(TPoint{s.x, s.y});
  TRect r;
  GetItemRect(c, r);
  constexpr int kBand = 7;
  if (p.y < r.top || p.y >= r.bottom || r.Width() < kBand) return;
  if (p.x >= r.left && p.x < r.left + kBand) {
    FResizingEdit = true;
    FResizeFromRight = false;
  } else if (p.x >= r.right - kBand && p.x < r.right) {
    FResizingEdit = true;
    FResizeFromRight = true;
  }
}

void TkxBarControl::DrawEditWidthFrame() {
  TkxBarEditControl* c = CustomizedEditControl();
  if (!c || !FNewEditWidth || !HandleAllocated()) return;
  TRect r;
  GetItemRect(c, r);
  TPoint o = ClientToScreen(TPoint{0, 0});
  OffsetRect(&r, o.x, o.y);
  int w = c->CaptionWidth() + FNewEditWidth;
  if (FResizeFromRight) r.right = r.left + w;
  else r.left = r.right - w;
  HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  constexpr int kW = 2;
  const int L = r.left, T = r.top, R = r.right, B = r.bottom;
  PatBlt(dc, L + kW, T, R - L - kW, kW, DSTINVERT);
  PatBlt(dc, R - kW, T + kW, kW, B - T - kW, DSTINVERT);
  PatBlt(dc, L, B - kW, R - L - kW, kW, DSTINVERT);
  PatBlt(dc, L, T, kW, B - T - kW, DSTINVERT);
  ReleaseDC(GetDesktopWindow(), dc);
}

void TkxBarControl::EndEditResizing(bool Store) {
  int w = FNewEditWidth;
  if (w) DrawEditWidthFrame();
  FNewEditWidth = 0;
  FResizingEdit = false;
  TkxBarEditControl* c = CustomizedEditControl();
  if (GetCapture() == Handle()) ReleaseCapture();
  if (!c) return;
  // releasing at the old width stores nothing
  if (Store && w && w != c->Link()->Width()) c->Link()->SetUserWidth(w);
  else c->Repaint();
}

void TkxBarControl::DoRButtonDown(TWMMouse& Message) {
  if (GetCapture() == Handle()) ReleaseCapture();
  if (IsCustomizing()) TCustomkxBarControl::SetActive(false);
  TkxBarControlRef self = kxBarRef(this);
  TCustomkxBarControl::DoRButtonDown(Message);
  if (!kxBarIsBarControlAlive(self) || IsCustomizing()) return;
  kxBarShowToolbarsPopup(BarManager(), ClientToScreen(Message.Pos()));
}

void TkxBarControl::DoMouseLeave(TMessage& Message) {
  if (FActive && BarManager() && BarManager()->BarInMenuMode() == this) {
    if (dynamic_cast<TkxBarButtonControl*>(FSelectedControl)) FSelectedControl->Repaint();
    return;
  }
  TCustomkxBarControl::DoMouseLeave(Message);
  FCloseButtonState = 0;
  if (FMDIHot >= 0 && FMDIPressed < 0) {
    FMDIHot = -1;
    Invalidate();
  }
}
