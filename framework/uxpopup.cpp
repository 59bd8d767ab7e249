#include "framework/uxpopup.h"

#include <algorithm>

#include "platform/win/system.h"

TRect uxGetDesktopWorkArea(const TPoint& P) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR m = MonitorFromPoint(POINT{P.x, P.y}, MONITOR_DEFAULTTONEAREST);
  if (m && GetMonitorInfoA(m, &mi)) return mi.rcWork;
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TPoint uxCalculatePopupPosition(const TRect& A, const TSize& S, TuxPopupDirection Direction,
                                TuxPopupAlignment HorzAlignment, TuxPopupAlignment VertAlignment,
                                TuxWorkAreaFunc WorkAreaAt) {
  TuxPopupAlignment ha = HorzAlignment, va = VertAlignment;
  TPoint p{0, 0}, corner{0, 0};
  auto place = [&] {
    if (ha == palCenter) p.x = (A.left + A.right - S.cx) / 2;
    if (va == palCenter) p.y = (A.top + A.bottom - S.cy) / 2;
    if (Direction == pdrVertical) {
      if (ha != palCenter) p.x = ha == palNear ? A.left : A.right - S.cx;
      if (va != palCenter) p.y = va == palNear ? A.top - S.cy : A.bottom;
    } else {
      if (ha != palCenter) p.x = ha == palNear ? A.left - S.cx : A.right;
      if (va != palCenter) p.y = va == palNear ? A.top : A.bottom - S.cy;
    }
    corner.x = ha == palNear ? A.left : ha == palFar ? A.right : p.x;
    corner.y = va == palNear ? A.top : va == palFar ? A.bottom : p.y;
  };
  place();
  TRect w = WorkAreaAt ? WorkAreaAt(corner) : uxGetDesktopWorkArea(corner);
  if (Direction == pdrVertical && va != palCenter) {
    bool lessBelow = w.bottom - A.bottom < A.top - w.top;
    if (va == palFar && p.y + S.cy > w.bottom && lessBelow) {
      va = palNear;
      place();
    } else if (va == palNear && p.y < w.top && !lessBelow) {
      va = palFar;
      place();
    }
  } else if (Direction == pdrHorizontal && ha != palCenter) {
    bool lessRight = w.right - A.right < A.left - w.left;
    if (ha == palFar && p.x + S.cx > w.right && lessRight) {
      ha = palNear;
      place();
    } else if (ha == palNear && p.x < w.left && !lessRight) {
      ha = palFar;
      place();
    }
  }
  if (Direction == pdrVertical || HorzAlignment == palCenter) {
    if (p.x + S.cx > w.right) p.x = w.right - S.cx;
    if (p.x < w.left) p.x = w.left;
  }
  if (Direction == pdrHorizontal || VertAlignment == palCenter) {
    if (p.y + S.cy > w.bottom) p.y = w.bottom - S.cy;
    if (p.y < w.top) p.y = w.top;
  }
  return p;
}

TuxPopupWindow::TuxPopupWindow(TComponent* AOwner) : TForm(AOwner, 0) {
  TForm::SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  SetVisible(false);
  FUxCanvas = std::make_unique<TuxCanvas>(TForm::Canvas());
}

TuxPopupWindow::~TuxPopupWindow() = default;

void TuxPopupWindow::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CAPTION | WS_THICKFRAME | WS_OVERLAPPED)) | WS_POPUP;
}

int TuxPopupWindow::GetBorderSize() {
  static const int widths[] = {0, 1, 1, 2};
  return widths[FBorderStyle];
}

int TuxPopupWindow::GetBorderWidth(int) { return GetBorderSize() + FBorderSpacing; }

void TuxPopupWindow::SetPopupBorderStyle(TuxPopupBorderStyle Value) {
  // Undo the shift CalculateSize gave the children for the present frame.
  int dl = GetBorderWidth(0), dt = GetBorderWidth(1);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() - dl, c->Top() - dt, c->Width(), c->Height());
  }
  FBorderStyle = Value;
}

void TuxPopupWindow::GetOwnerScreenBounds(TRect& R) {
  R = FAnchorBounds;
  if (!FAnchorControl) return;
  TPoint tl = FAnchorControl->ClientToScreen(TPoint{R.left, R.top});
  TPoint br = FAnchorControl->ClientToScreen(TPoint{R.right, R.bottom});
  R = uxRect(tl.x, tl.y, br.x, br.y);
}

void TuxPopupWindow::CalculatePosition(TPoint& P) {
  TRect a;
  GetOwnerScreenBounds(a);
  P = uxCalculatePopupPosition(a, TSize{Width(), Height()}, FDirection, FHorzAlignment, FVertAlignment, nullptr);
}

void TuxPopupWindow::CalculateSize() {
  if (!FAdjustable) return;
  int maxRight = 0, maxBottom = 0;
  bool found = false;
  int dl = GetBorderWidth(0), dt = GetBorderWidth(1);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    TRect b = c->BoundsRect();
    maxRight = std::max(maxRight, int(b.right));
    maxBottom = std::max(maxBottom, int(b.bottom));
    found = true;
    c->SetBounds(c->Left() + dl, c->Top() + dt, c->Width(), c->Height());
  }
  if (found || maxRight > 0) {
    SetWidth(dl + maxRight + GetBorderWidth(2));
    SetHeight(dt + maxBottom + GetBorderWidth(3));
  }
}

void TuxPopupWindow::InitPopup() {
  if (FAnchorControl) Font()->Assign(FAnchorControl->Font());
}

void TuxPopupWindow::Popup() {
  InitPopup();
  CalculateSize();
  TPoint p;
  CalculatePosition(p);
  SetLeft(p.x);
  CalculatePosition(p);
  SetTop(p.y);
  Show();
}

void TuxPopupWindow::ClosePopup() { Hide(); }

void TuxPopupWindow::Deactivate() {
  TForm::Deactivate();
  ClosePopup();
}

void TuxPopupWindow::Paint() {
  TForm::Paint();
  DrawFrame();
}

void TuxPopupWindow::DrawFrame() {
  TRect r = uxRect(0, 0, Width(), Height());
  switch (FBorderStyle) {
    case pwbSingle:
      FUxCanvas->FrameRect(r, FBorderColor);
      break;
    case pwbFlat:
      FUxCanvas->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
      break;
    case pwb3D:
      FUxCanvas->DrawComplexFrame(r, cl3DLight, cl3DDkShadow);
      FUxCanvas->DrawComplexFrame(uxInflated(r, -1, -1), clBtnHighlight, clBtnShadow);
      break;
    default:
      break;
  }
}

void TuxPopupWindow::WMActivate(TMessage& M) {
  TForm::Dispatch(M);
  if (LOWORD(M.WParam) != WA_INACTIVE) {
    FPrevActiveWindow = reinterpret_cast<HWND>(M.LParam);
    // The window that lost activation keeps its active caption.
    if (FPrevActiveWindow) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, TRUE, 0);
  }
}

void TuxPopupWindow::WMActivateApp(TMessage& M) {
  DefaultHandler(M);
  if (!M.WParam) {
    if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, FALSE, 0);
    ClosePopup();
  }
}

void TuxPopupWindow::CMVisibleChanged(TMessage& M) {
  TForm::Dispatch(M);
  VisibilityChanged();
}
