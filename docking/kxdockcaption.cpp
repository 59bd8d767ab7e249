// The non-client frame of a dock control: border, caption bar and caption
// buttons, laid out from the painter's metrics, painted through the painter
// and recalculated in step with the controller's lock.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"

bool TkxCustomDockControl::HasCloseButton() { return HasCaption() && CaptionButtons().Contains(cbClose); }

bool TkxCustomDockControl::HasHideButton() {
  return HasCaption() && CaptionButtons().Contains(cbHide) && CanAutoHide();
}

bool TkxCustomDockControl::HasMaximizeButton() {
  return HasCaption() && CaptionButtons().Contains(cbMaximize) && CanMaximize();
}

bool TkxCustomDockControl::IsCaptionActive() { return IsActive() && Application && Application->Active(); }

bool TkxCustomDockControl::IsCaptionVertical() {
  if (!Painter()->CanVerticalCaption()) return false;
  TkxDockingType T = DockType();
  if (TkxSideContainerDockSite* S = SideContainer()) T = S->DockType();
  return T == dtTop || T == dtBottom;
}

void TkxCustomDockControl::CalculateNC(TRect& R) {
  TkxDockControlPainter* P = Painter();
  const int BW = P->BorderWidth();
  if (HasBorder()) R = kxRect(R.left + BW, R.top + BW, R.right - BW, R.bottom - BW);
  if (!HasCaption()) return;
  FCaptionSeparatorRect = TRect();
  FCloseButtonRect = FHideButtonRect = FMaximizeButtonRect = TRect();
  const int H = P->CaptionHeight(), B = P->CaptionButtonSize(), S = P->CaptionSpacing();
  struct TButton {
    bool Present;
    TRect* Rect;
  } Buttons[] = {{HasCloseButton(), &FCloseButtonRect},
                 {HasHideButton(), &FHideButtonRect},
                 {HasMaximizeButton(), &FMaximizeButtonRect}};
  if (IsCaptionVertical()) {
    FCaptionRect = kxRect(R.left, R.top, R.left + H, R.bottom);
    int Y = FCaptionRect.top + 2 * S;
    const int X = FCaptionRect.left + (H - B) / 2;
    for (TButton& Btn : Buttons)
      if (Btn.Present) {
        *Btn.Rect = kxRect(X, Y, X + B, Y + B);
        Y = Btn.Rect->bottom + S;
      }
    FCaptionTextRect = kxRect(FCaptionRect.left, Y, FCaptionRect.right, FCaptionRect.bottom - 2 * S);
    R.left = FCaptionRect.right;
    FCaptionSeparatorRect = kxRect(R.left, R.top, R.left + std::min<int>(R.right - R.left, BW), R.bottom);
    R.left = FCaptionSeparatorRect.right;
  } else {
    FCaptionRect = kxRect(R.left, R.top, R.right, R.top + H);
    int X = FCaptionRect.right - 2 * S;
    const int Y = FCaptionRect.top + (H - B) / 2;
    for (TButton& Btn : Buttons)
      if (Btn.Present) {
        *Btn.Rect = kxRect(X - B, Y, X, Y + B);
        X = Btn.Rect->left - S;
      }
    FCaptionTextRect = kxRect(FCaptionRect.left + 2 * S, FCaptionRect.top, X, FCaptionRect.bottom);
    R.top = FCaptionRect.bottom;
    FCaptionSeparatorRect = kxRect(R.left, R.top, R.right, R.top + std::min<int>(R.bottom - R.top, BW));
    R.top = FCaptionSeparatorRect.bottom;
  }
}

int TkxCustomDockControl::GetMinimizedHeight() {
  TkxDockControlPainter* P = Painter();
  if (!HasCaption()) return 28;
  if (IsCaptionVertical()) return 2 * P->BorderWidth() + 6 * P->CaptionSpacing() + 3 * P->CaptionButtonSize();
  return P->CaptionHeight() + 2 * P->BorderWidth();
}

int TkxCustomDockControl::GetMinimizedWidth() {
  TkxDockControlPainter* P = Painter();
  if (!HasCaption()) return 58;
  if (IsCaptionVertical()) return P->CaptionHeight() + 2 * P->BorderWidth();
  return 2 * P->BorderWidth() + 6 * P->CaptionSpacing() + 3 * P->CaptionButtonSize();
}

// ---- hit tests ----

TPoint TkxCustomDockControl::ClientToWindow(const TPoint& ClientPoint) {
  TPoint S = ClientToScreen(ClientPoint);
  TRect W = ScreenWindowRect();
  return TPoint(S.x - W.left, S.y - W.top);
}

bool TkxCustomDockControl::IsCaptionPoint(const TPoint& ClientPoint) {
  return HasCaption() && kxPtInRect(FCaptionRect, ClientToWindow(ClientPoint));
}

bool TkxCustomDockControl::IsCloseButtonPoint(const TPoint& ClientPoint) {
  return HasCloseButton() && kxPtInRect(FCloseButtonRect, ClientToWindow(ClientPoint));
}

bool TkxCustomDockControl::IsHideButtonPoint(const TPoint& ClientPoint) {
  return HasHideButton() && kxPtInRect(FHideButtonRect, ClientToWindow(ClientPoint));
}

bool TkxCustomDockControl::IsMaximizeButtonPoint(const TPoint& ClientPoint) {
  return HasMaximizeButton() && kxPtInRect(FMaximizeButtonRect, ClientToWindow(ClientPoint));
}

// ---- recalculation and painting ----

void TkxCustomDockControl::WMNCCalcSize(TMessage& Message) {
  RECT* R = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(Message.LParam);
  if (!R) return;
  if (!FRecalculateNC && !Controller()->CanCalculateNC(this) && !ControlState().Contains(csAlignmentNeeded)) {
    // Deferred: keep the frame as last calculated on the new window rectangle.
    const TRect M = FClientMargins;
    TRect C = kxRect(R->left + M.left, R->top + M.top, R->right - M.right, R->bottom - M.bottom);
    if (C.right < C.left) C.left = C.right = std::max<int>(R->left, std::min<int>(C.left, R->right));
    if (C.bottom < C.top) C.top = C.bottom = std::max<int>(R->top, std::min<int>(C.top, R->bottom));
    *R = C;
    Message.Result = 0;
    return;
  }
  TCustomControl::Dispatch(Message);
  const int X = R->left, Y = R->top, W = R->right - R->left, H = R->bottom - R->top;
  FWindowRect = kxRect(0, 0, W, H);
  if (FUseDoubleBufferNC) Controller()->CreateTempBitmap(FWindowRect);
  Canvas()->SetFont(Font());
  TRect C = FWindowRect;
  CalculateNC(C);
  if (C.right < C.left) C.left = C.right;
  if (C.bottom < C.top) C.top = C.bottom;
  C.left = std::clamp<int>(C.left, 0, W);
  C.right = std::clamp<int>(C.right, C.left, W);
  C.top = std::clamp<int>(C.top, 0, H);
  C.bottom = std::clamp<int>(C.bottom, C.top, H);
  FClientMargins = kxRect(C.left, C.top, W - C.right, H - C.bottom);
  *R = kxOffsetRect(C, X, Y);
  FRecalculateNC = false;
  Message.Result = 0;
}

void TkxCustomDockControl::NCChanged(bool Recalculate) {
  FRecalculateNC = Recalculate;
  if (!HandleAllocated()) return;
  if (Recalculate || Controller()->CanCalculateNC(this) || ControlState().Contains(csAlignmentNeeded))
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TkxCustomDockControl::RedrawNC(bool Recalculate) {
  if (Recalculate && HandleAllocated()) {
    TRect R = FWindowRect;
    CalculateNC(R);
  }
  if (HandleAllocated() && Controller()->CanUpdateNC(this)) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TkxCustomDockControl::RedrawCaption() {
  if (HandleAllocated() && Controller()->CanUpdateNC(this)) {
    HDC DC = GetWindowDC(Handle());
    TCanvas C;
    C.SetHandle(DC);
    try {
      NCPaintCaption(&C);
    } catch (...) {
      C.SetHandle(nullptr);
      ReleaseDC(Handle(), DC);
      throw;
    }
    C.SetHandle(nullptr);
    ReleaseDC(Handle(), DC);
  } else {
    RedrawNC(false);
  }
}

void TkxCustomDockControl::WMNCPaint(TMessage& Message) {
  Message.Result = 0;
  if (!HandleAllocated() || !Controller()->CanUpdateNC(this)) return;
  HDC DC = GetWindowDC(Handle());
  const TRect Client = kxRect(FClientMargins.left, FClientMargins.top, FWindowRect.right - FClientMargins.right,
                              FWindowRect.bottom - FClientMargins.bottom);
  ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
  TBitmap* B = FUseDoubleBufferNC ? Controller()->TempBitmap() : nullptr;
  if (B && B->Width() >= FWindowRect.right && B->Height() >= FWindowRect.bottom) {
    TCanvas* BC = B->Canvas();
    SelectClipRgn(BC->Handle(), nullptr);
    NCPaint(BC);
    SelectClipRgn(BC->Handle(), nullptr);
    BitBlt(DC, 0, 0, FWindowRect.right, FWindowRect.bottom, BC->Handle(), 0, 0, SRCCOPY);
  } else {
    TCanvas C;
    C.SetHandle(DC);
    NCPaint(&C);
    C.SetHandle(nullptr);
  }
  ReleaseDC(Handle(), DC);
}

void TkxCustomDockControl::NCPaint(TCanvas* ACanvas) {
  if (HasBorder()) {
    TkxDockControlPainter* P = Painter();
    P->DrawBorder(ACanvas, FWindowRect);
    const int BW = P->BorderWidth();
    const TRect& R = FWindowRect;
    HDC DC = ACanvas->Handle();
    ExcludeClipRect(DC, R.left, R.top, R.left + BW, R.bottom);
    ExcludeClipRect(DC, R.left, R.bottom - BW, R.right, R.bottom);
    ExcludeClipRect(DC, R.right - BW, R.top, R.right, R.bottom);
    ExcludeClipRect(DC, R.left, R.top, R.right, R.top + BW);
  }
  NCPaintCaption(ACanvas);
}

void TkxCustomDockControl::NCPaintCaption(TCanvas* ACanvas) {
  if (!HasCaption()) return;
  TkxDockControlPainter* P = Painter();
  const bool A = IsCaptionActive();
  P->DrawCaption(ACanvas, FCaptionRect, A);
  P->DrawCaptionSeparator(ACanvas, FCaptionSeparatorRect);
  P->DrawCaptionText(ACanvas, FCaptionTextRect, A);
  if (HasCloseButton())
    P->DrawCaptionCloseButton(ACanvas, FCloseButtonRect, A, FCloseButtonIsDown, FCloseButtonIsHot, false);
  if (HasHideButton())
    P->DrawCaptionHideButton(ACanvas, FHideButtonRect, A, FHideButtonIsDown, FHideButtonIsHot, AutoHide());
  if (HasMaximizeButton()) {
    TkxSideContainerDockSite* S = SideContainer();
    const bool Maximized = S && S->ActiveChild() && S->ActiveChild() == SideContainerItem();
    P->DrawCaptionMaximizeButton(ACanvas, FMaximizeButtonRect, A, FMaximizeButtonIsDown, FMaximizeButtonIsHot,
                                 Maximized);
  }
  ExcludeClipRect(ACanvas->Handle(), FCaptionRect.left, FCaptionRect.top, FCaptionRect.right, FCaptionRect.bottom);
}

void TkxCustomDockControl::WMNCHitTest(TMessage& Message) { Message.Result = Visible() ? HTCLIENT : HTTRANSPARENT; }

void TkxCustomDockControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (!DoubleBuffered() || Message.WParam == WPARAM(Message.LParam)) {
    TCanvas C;
    C.SetHandle(Message.DC());
    Painter()->DrawClient(&C, ClientRect());
    C.SetHandle(nullptr);
  }
  Message.Result = 1;
}

void TkxCustomDockControl::CMTextChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  UpdateCaption();
  if (HasCaption()) RedrawCaption();
  if (AutoHide())
    if (TkxDockSite* S = AutoHideHostSite()) S->RedrawNC(true);
  if (TkxTabContainerDockSite* T = TabContainer()) T->RedrawNC(true);
  if (auto* S = dynamic_cast<TkxSideContainerDockSite*>(Container())) S->RedrawNC(false);
}

void TkxCustomDockControl::CMMouseLeave(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FCloseButtonIsHot || FHideButtonIsHot || FMaximizeButtonIsHot) {
    FCloseButtonIsHot = FHideButtonIsHot = FMaximizeButtonIsHot = false;
    RedrawCaption();
  }
  if (AutoHide())
    if (TkxDockSite* S = AutoHideHostSite(); S && S->ShowingControl() == this) S->StartAutoHideTimer();
}

void TkxCustomDockControl::WMContextMenu(TMessage& Message) {
  TPoint P(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  const bool FromKey = P.x < 0 || P.y < 0;
  TPoint Client = FromKey ? P : ScreenToClient(P);
  bool Handled = false;
  DoContextPopup(Client, Handled);
  if (Handled) {
    Message.Result = 1;
    return;
  }
  TPopupMenu* Menu = PopupMenu();
  if (Menu && Menu->AutoPopup()) {
    SendCancelMode(nullptr);
    Menu->SetPopupComponent(this);
    TPoint At = FromKey ? ClientToScreen(TPoint(0, 0)) : P;
    Menu->Popup(At.x, At.y);
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}
