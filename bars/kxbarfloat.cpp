// Moving a toolbar window around: the floating frame with its caption, close
// button and sizing edges, the grip and empty space of a docked bar as drag
// handles, the double click that docks or floats a bar, size snapping of a
// floating bar, keeping it on a monitor, and writing the window's place back
// to its bar. The drag loop itself is the bar collection's.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarhooks.h"
#include "bars/kxbaritems.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
bool kxFloatPtIn(const TRect& R, const TPoint& P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}
}  // namespace

// ---- the bar's place ----

TkxDockCol* TkxBarControl::GetDockCol() const {
  if (!FDockControl || FDockingStyle == dsNone) return nullptr;
  return FDockControl->FindCol(const_cast<TkxBarControl*>(this));
}

int TkxBarControl::GetRowIndex() const {
  int row = -1;
  if (FDockControl && FDockingStyle != dsNone) FDockControl->FindCol(const_cast<TkxBarControl*>(this), &row);
  return std::max(row, 0);
}

int TkxBarControl::GetColIndex() const {
  TkxDockCol* col = GetDockCol();
  if (!col) return 0;
  const std::vector<TkxDockCol*>& cols = FDockControl->Rows(GetRowIndex())->Cols;
  auto it = std::find(cols.begin(), cols.end(), col);
  return it == cols.end() ? 0 : int(it - cols.begin());
}

void TkxBarControl::StoreBarPosition() {
  TkxBarManager* m = BarManager();
  if (!FBar || !FBar->Visible() || FDragMode || !m || m->IsDestroying() || !HandleAllocated() || FDestroying) return;
  if (FDockingStyle == dsNone) {
    FBar->SetFloatLeft(Left());
    FBar->SetFloatTop(Top());
    FBar->SetFloatClientWidth(ClientWidth());
    FBar->SetFloatClientHeight(ClientHeight());
    return;
  }
  TkxDockControl* site = FDockControl;
  if (!site || site->ComponentState().Contains(csDestroying) || site->ControlState().Contains(csDestroyingHandle) ||
      m->WindowCreating())
    return;
  FBar->SetDockedDockingStyle(FDockingStyle);
  FBar->SetDockedDockControl(site->IsMain() ? nullptr : dynamic_cast<TkxBarDockControl*>(site));
  FBar->SetRow(GetRowIndex());
  if (GetDockCol()) {
    FBar->SetOneOnRow(site->Rows(GetRowIndex())->ColCount() == 1);
    FBar->SetDockedLeft(Left());
    FBar->SetDockedTop(Top());
  }
}

void TkxBarControl::GetDragOffset(TkxBarDockingStyle Style, TPoint& P) {
  TkxBarManager* m = BarManager();
  TkxBars* bars = m ? m->Bars() : nullptr;
  if (Style != dsNone && bars && bars->Moving() && bars->MovingWindow() == this && Style == bars->StartStyle()) {
    TPoint grab = bars->GrabOffset(), cursor = bars->CursorOffset();
    if (IsVertical()) P = TPoint{-grab.x, cursor.y};
    else P = TPoint{cursor.x, -grab.y};
    return;
  }
  TSize size;
  GetSizeForDockingStyle(Style, size);
  P.x = FDragSize.x ? MulDiv(size.cx, FDragOffset.x, FDragSize.x) : FDragOffset.x;
  P.y = FDragSize.y ? MulDiv(size.cy, FDragOffset.y, FDragSize.y) : FDragOffset.y;
}

void TkxBarControl::StartDragging() {
  TkxBarManager* m = BarManager();
  if (!m || !FBar || !HandleAllocated()) return;
  DWORD pos = GetMessagePos();
  POINT p{short(LOWORD(pos)), short(HIWORD(pos))};
  TRect w = GetWindowRect();
  FDragOffset = TPoint{p.x - w.left, p.y - w.top};
  FDragSize = TPoint{w.Width(), w.Height()};
  FGrabPoint = FDragOffset;
  TkxBarControlRef self = kxBarRef(this);
  m->Bars()->DragBarControl(this);
  if (kxBarIsBarControlAlive(self)) StoreBarPosition();
}

void TkxBarControl::DockOrFloat() {
  TkxBarManager* m = BarManager();
  TkxBar* bar = FBar;
  if (!bar || !m || m->IsDesigning()) return;
  // hiding the bar frees this window: only locals are used from here on
  if (FDockingStyle != dsNone) {
    if (!m->CanDocking(bar, dsNone, nullptr)) return;
    bar->SetVisible(false);
    bar->SetDockingStyle(dsNone);
    bar->SetVisible(true);
    return;
  }
  TkxBarDockingStyle style = bar->DockedDockingStyle();
  bool first = style == dsNone;
  if (first) style = dsTop;
  TkxDockControl* site = bar->DockedDockControl();
  if (!site) site = m->Bars()->DockControls(style);
  if (!site || !m->CanDocking(bar, style, site)) return;
  bar->SetVisible(false);
  bar->SetDockingStyleAndControl(style, site);
  if (first) {
    bar->SetOneOnRow(true);
    bar->SetRow(site->RowCount());
  }
  bar->SetVisible(true);
}

// ---- the floating frame ----

void TkxBarControl::CalcFloatingFrame(RECT& R) {
  TkxBarItemControlPainterClass p = Painter();
  if (p->UsesSystemFrame()) {
    TMessage m;
    m.Msg = WM_NCCALCSIZE;
    m.WParam = 0;
    m.LParam = reinterpret_cast<LPARAM>(&R);
    DefaultHandler(m);
  } else if (TkxBarManager* mgr = BarManager()) {
    int bw = mgr->GetFloatingBorderWidth(), bh = mgr->GetFloatingBorderHeight();
    R.left += bw;
    R.right -= bw;
    R.top += bh;
    R.bottom -= bh;
  }
  if (FHasCaption) {
    R.top += p->GetFloatingCaptionHeight(this, nullptr) + p->GetFloatingPaddingTop();
    R.left += p->GetFloatingPaddingSide();
    R.right -= p->GetFloatingPaddingSide();
    R.bottom -= p->GetFloatingPaddingBottom();
  }
  if (R.right < R.left) R.right = R.left;
  if (R.bottom < R.top) R.bottom = R.top;
}

void TkxBarControl::PaintFloatingFrame(HDC DC) {
  TkxBarItemControlPainterClass p = Painter();
  TRect whole{0, 0, Width(), Height()};
  TRect client = ClientRect();
  TPoint origin = ClientToScreen(TPoint{0, 0});
  TRect w = GetWindowRect();
  OffsetRect(&client, origin.x - w.left, origin.y - w.top);
  HBRUSH brush = BkBrush();
  p->DrawFloatingBorder(this, DC, brush, client, whole);
  TRect outer = client;
  if (FHasCaption) {
    outer.top -= p->GetFloatingCaptionHeight(this, nullptr) + p->GetFloatingPaddingTop();
    outer.left -= p->GetFloatingPaddingSide();
    outer.right += p->GetFloatingPaddingSide();
    outer.bottom += p->GetFloatingPaddingBottom();
  }
  HRGN rgn = CreateRectRgnIndirect(&outer);
  kxBarExcludeRectFromRgn(rgn, client);
  FillBackgroundRgn(DC, rgn, false, brush);
  DeleteObject(rgn);
  if (!FHasCaption) return;
  p->DrawFloatingCaption(this, DC, brush, FCloseButtonState, GetCaptionRect());
  DrawCloseButtonNC(DC);
  DrawMarkNC(DC);
}

void TkxBarControl::DrawCloseButtonNC(HDC DC) {
  if (!FBar || !FBar->CanClose() || FDockingStyle != dsNone) return;
  Painter()->DrawCloseButton(this, DC, GetCloseButtonRect(true));
}

void TkxBarControl::DrawMarkNC(HDC DC) {
  if (FDockingStyle != dsNone || !IsMarkVisible() || !HandleAllocated()) return;
  TRect r;
  GetMarkRect(r);
  TPoint origin = ClientToScreen(TPoint{0, 0});
  TRect w = GetWindowRect();
  OffsetRect(&r, origin.x - w.left, origin.y - w.top);
  Painter()->DrawCaptionMark(this, DC, r);
}

void TkxBarControl::SetCloseButtonState(int State) {
  if (State == FCloseButtonState) return;
  FCloseButtonState = State;
  if (!HandleAllocated() || FDockingStyle != dsNone) return;
  HDC dc = GetWindowDC(Handle());
  DrawCloseButtonNC(dc);
  ReleaseDC(Handle(), dc);
}

TRect TkxBarControl::GetSizeGripRect() const {
  TSize s{};
  if (TkxBarManager* m = BarManager()) Painter()->GetSizeGripSize(m, s);
  TRect c = const_cast<TkxBarControl*>(this)->ClientRect();
  return TRect{c.right, c.bottom - s.cy, c.right + s.cx, c.bottom};
}

// ---- hit codes ----

bool TkxBarControl::IsOverUsableControl(const TPoint& ClientPoint) {
  if (!IsPointInClient(ClientPoint)) return false;
  TkxBarItemControl* c = ItemAtPos(ClientPoint);
  if (!c) return false;
  if (IsCustomizing()) return true;
  return c->IsEnabled() && (c->IsSelectable() || c->IsClickable());
}

LRESULT TkxBarControl::NonClientHitTest(const TPoint& ScreenPoint, LRESULT Default) {
  FHitCode = 0;
  TPoint p = ScreenToClient(ScreenPoint);
  auto overButtons = [&] {
    if (!HasMDIOrCloseButtons()) return false;
    for (int k = HasMDIButtons() ? 0 : 2; k < 3; ++k)
      if (kxFloatPtIn(GetMDIButtonRect(k), p)) return true;
    return false;
  };
  if (FDockingStyle != dsNone) {
    if (Default == HTNOWHERE) return Default;
    if (FSizeGripVisible && kxFloatPtIn(GetSizeGripRect(), p)) return HTBOTTOMRIGHT;
    if (IsOverUsableControl(p) || overButtons()) return HTCLIENT;
    if (IsMarkVisible()) {
      TRect mark;
      GetMarkRect(mark);
      if (kxFloatPtIn(mark, p)) return HTCLIENT;
    }
    FHitCode = HTCAPTION;
    return HTCLIENT;
  }
  TkxBarManager* m = BarManager();
  TkxBarItemControlPainterClass painter = Painter();
  switch (Default) {
    case HTNOWHERE:
    case HTBORDER: {
      if (!IsCustomizing() && IsMarkVisible()) {
        TRect mark;
        GetMarkRect(mark);
        if (kxFloatPtIn(mark, p)) {
          FHitCode = HTCLIENT;
          return HTCLIENT;
        }
      }
      if (!FBar || !FBar->CanClose() || !kxFloatPtIn(GetCloseButtonRect(), p)) {
        FHitCode = HTCAPTION;
        return HTCLIENT;
      }
      FHitCode = HTCLOSE;
      return painter->UsesSystemCloseButton() ? HTCLOSE : HTCLIENT;
    }
    case HTCLIENT:
      if (IsOverUsableControl(p) || overButtons()) return HTCLIENT;
      FHitCode = HTCAPTION;
      return HTCLIENT;
    default:
      break;
  }
  // the corners of a floating bar size only along one edge
  TRect w = GetWindowRect();
  int bh = m ? m->GetFloatingBorderHeight() : 0;
  LRESULT hit = Default;
  switch (Default) {
    case HTTOPLEFT:
    case HTTOPRIGHT:
      hit = ScreenPoint.y < w.top + bh ? HTTOP : (Default == HTTOPLEFT ? HTLEFT : HTRIGHT);
      break;
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      hit = ScreenPoint.y >= w.bottom - bh ? HTBOTTOM : (Default == HTBOTTOMLEFT ? HTLEFT : HTRIGHT);
      break;
    default:
      break;
  }
  FHitCode = int(hit);
  return hit;
}

// ---- the close button of a floating bar ----

void TkxBarControl::TrackCloseButton() {
  TkxBarManager* m = BarManager();
  TkxBar* bar = FBar;
  if (!m || !bar) return;
  TkxBarControlRef self = kxBarRef(this);
  CloseChain();
  if (!kxBarIsBarControlAlive(self)) return;
  if (!m->HideFloatingBarsWhenInactive())
    if (TCustomForm* f = m->OwnerForm())
      if (f->HandleAllocated()) SetActiveWindow(f->Handle());
  if (!kxBarIsBarControlAlive(self) || !HandleAllocated()) return;
  SetCloseButtonState(2);
  HWND h = Handle();
  SetCapture(h);
  bool close = false;
  MSG msg;
  while (GetCapture() == h) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == -1) break;
    if (!r || msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      TPoint p = ScreenToClient(TPoint{msg.pt.x, msg.pt.y});
      SetCloseButtonState(kxFloatPtIn(GetCloseButtonRect(), p) ? 2 : 1);
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      close = FCloseButtonState == 2;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (!kxBarIsBarControlAlive(self)) return;
  }
  if (GetCapture() == h) ReleaseCapture();
  SetCloseButtonState(0);
  if (!close) return;
  bar->SetVisible(false);  // frees this window
  m->DesignerModified();
  m->DoBarClose(bar);
}

// ---- sizing and placing a floating bar ----

void TkxBarControl::SnapFloatingSize(int Edge, RECT& R) {
  int ncw = FBar->GetNonClientWidth(dsNone), nch = FBar->GetNonClientHeight(dsNone);
  TSize s{};
  switch (Edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT:
      GetSizeForWidth(dsNone, (R.right - R.left) - ncw, s);
      if (Edge == WMSZ_LEFT) R.left = R.right - (s.cx + ncw);
      else R.right = R.left + s.cx + ncw;
      R.bottom = R.top + nch + s.cy;
      break;
    case WMSZ_TOP:
    case WMSZ_BOTTOM:
      GetSizeForHeight(dsNone, (R.bottom - R.top) - nch, s);
      R.right = R.left + s.cx + ncw;
      if (Edge == WMSZ_TOP) R.top = R.bottom - (s.cy + nch);
      else R.bottom = R.top + s.cy + nch;
      break;
    default: {
      TRect b = BoundsRect();
      R = RECT{b.left, b.top, b.right, b.bottom};
      break;
    }
  }
  if (R.top < -15) {
    R.bottom += -15 - R.top;
    R.top = -15;
  }
}

void TkxBarControl::KeepOnMonitor(WINDOWPOS& Pos) {
  TRect b = BoundsRect();
  int x = (Pos.flags & SWP_NOMOVE) ? b.left : Pos.x, y = (Pos.flags & SWP_NOMOVE) ? b.top : Pos.y;
  int cx = (Pos.flags & SWP_NOSIZE) ? b.Width() : Pos.cx, cy = (Pos.flags & SWP_NOSIZE) ? b.Height() : Pos.cy;
  TRect r{x, y, x + cx, y + cy};
  int monitors = Screen ? Screen->MonitorCount() : 1;
  for (int i = 0; i < monitors; ++i) {
    TRect mb = Screen ? Screen->Monitors(i)->BoundsRect() : TRect{};
    TRect work = kxBarGetWorkArea(TPoint{mb.left, mb.top});
    RECT common;
    if (IntersectRect(&common, &r, &work)) return;
  }
  POINT cur;
  GetCursorPos(&cur);
  TRect work = kxBarGetWorkArea(TPoint{cur.x, cur.y});
  if (r.right <= work.left) x = work.left;
  else if (r.bottom <= work.top) y = work.top;
  else if (r.left >= work.right) x = work.right - cx;
  else if (r.top >= work.bottom) y = work.bottom - cy;
  Pos.x = x;
  Pos.y = y;
  Pos.flags &= ~UINT(SWP_NOMOVE);
}

// ---- the window procedure's share ----

bool TkxBarControl::PlacementMessage(TMessage& Message) {
  bool floating = FDockingStyle == dsNone;
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      if (!FChangingPlacement && FBar) FSizeGripVisible = FBar->IsSizeGripVisible();
      RECT& r = Message.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : *reinterpret_cast<RECT*>(Message.LParam);
      if (floating) {
        CalcFloatingFrame(r);
      } else {
        TRect m = GetNonClientMargins();
        r.left += m.left;
        r.top += m.top;
        r.right -= m.right;
        r.bottom -= m.bottom;
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
      }
      Message.Result = 0;
      return true;
    }
    case WM_NCPAINT: {
      if (!HandleAllocated()) return false;
      if (floating) DefaultHandler(Message);
      HDC dc = GetWindowDC(Handle());
      if (floating) PaintFloatingFrame(dc);
      else PaintNonClient(dc);
      ReleaseDC(Handle(), dc);
      Message.Result = 0;
      return true;
    }
    case WM_NCHITTEST: {
      DefaultHandler(Message);
      Message.Result = NonClientHitTest(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)},
                                        Message.Result);
      if (HitEndsTracking(Message.Result) && HandleAllocated()) kxBarEndMouseTracking(Handle());
      return true;
    }
    case WM_NCLBUTTONDOWN:
      if (FHitCode == HTCLOSE || Message.WParam == HTCLOSE) {
        if (floating) TrackCloseButton();
        Message.Result = 0;
        return true;
      }
      return false;
    case WM_LBUTTONDOWN:
      if (FIgnoreMouseUp) return false;
      if (FHitCode == HTCAPTION && FBar && FBar->CanBeMoved()) {
        TkxBarControlRef self = kxBarRef(this);
        if (FActive) CloseChain();
        if (kxBarIsBarControlAlive(self)) StartDragging();
        return true;
      }
      if (FHitCode != 0 && FHitCode != HTCLIENT && !IsCustomizing() &&
          !IsPointInClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)})) {
        Perform(WM_NCLBUTTONDOWN, WPARAM(FHitCode), Message.LParam);
        return true;
      }
      return false;
    case WM_LBUTTONDBLCLK:
      if (FHitCode == HTCAPTION) {
        DockOrFloat();
        return true;
      }
      return false;
    case WM_SIZING:
      if (!floating || !FBar) return false;
      SnapFloatingSize(int(Message.WParam), *reinterpret_cast<RECT*>(Message.LParam));
      Message.Result = 1;
      return true;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
      if (!floating || !wp || ((wp->flags & SWP_NOMOVE) && (wp->flags & SWP_NOSIZE))) return false;
      TCustomkxBarControl::WndProc(Message);
      KeepOnMonitor(*wp);
      return true;
    }
    case WM_WINDOWPOSCHANGED: {
      TkxBarControlRef self = kxBarRef(this);
      TCustomkxBarControl::WndProc(Message);
      if (!kxBarIsBarControlAlive(self) || !FBar || IsLocked() || FChangingPlacement || FDestroying) return true;
      if (FDockingStyle != FBar->DockingStyle() || (FDockingStyle != dsNone && FDockControl != FBar->RealDockControl()))
        FBar->SetDockingStyleAndControl(FDockingStyle, FDockControl);
      if (!kxBarIsBarControlAlive(self)) return true;
      StoreBarPosition();
      auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
      if (wp && (wp->flags & SWP_NOSIZE) && !(wp->flags & SWP_NOMOVE) && FDockingStyle != dsNone &&
          FSizeGripVisible != FBar->IsSizeGripVisible())
        UpdateFrame();
      return true;
    }
    case WM_DESTROY: {
      TkxBarManager* m = BarManager();
      TCustomForm* form = m ? m->OwnerForm() : nullptr;
      // a floating window taken down with its owner form comes back with the form's next window
      if (floating && FBar && FBar->Visible() && m && !FDestroying && !FChangingPlacement && !IsLocked() &&
          !ControlState().Contains(csDestroyingHandle) && !IsQuickCustomizing() && form &&
          !form->ComponentState().Contains(csDestroying) && !m->IsDestroying())
        m->AddPendingBar(FBar);
      if (FMarkTimer) StopMarkTimer();
      return false;
    }
    default:
      return false;
  }
}
