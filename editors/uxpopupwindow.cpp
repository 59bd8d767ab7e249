#include "editors/uxpopupwindow.h"

#include <algorithm>

#include "framework/uxtimers.h"
#include "framework/uxwinutils.h"
#include "platform/win/system.h"

namespace {

std::vector<TuxCustomPopupWindow*> Shown;
HHOOK CallWndProcHook = nullptr, GetMessageHook = nullptr, MouseHook = nullptr;
bool MouseClosing = false;

bool IsShown(TuxCustomPopupWindow* P) { return std::find(Shown.begin(), Shown.end(), P) != Shown.end(); }
void RemoveShown(TuxCustomPopupWindow* P) { Shown.erase(std::remove(Shown.begin(), Shown.end(), P), Shown.end()); }

bool IsBeingDestroyed(TComponent* C) { return !C || C->ComponentState().Contains(csDestroying); }

HWND OwnWindow(TControl* C) {
  auto* W = dynamic_cast<TWinControl*>(C);
  return W && W->HandleAllocated() ? W->Handle() : nullptr;
}

HWND PopupWindowOf(TuxCustomPopupWindow* P) { return P->HandleAllocated() ? P->Handle() : nullptr; }

// Closes P as the hooks do: with deactivation handling held back.
void CloseLocked(TuxCustomPopupWindow* P) {
  P->SetDeactivateLocked(true);
  try {
    P->ClosePopup();
  } catch (...) {
    if (IsShown(P) || true) P->SetDeactivateLocked(false);
    throw;
  }
  P->SetDeactivateLocked(false);
}

void CallWndProcAction(HWND W, UINT Msg, WPARAM WParam) {
  switch (Msg) {
    case WM_DESTROY:
      for (TuxCustomPopupWindow* P : std::vector(Shown))
        if (!IsBeingDestroyed(P) && PopupWindowOf(P) == W) {
          P->Close();
          break;
        }
      break;
    case WM_CLOSE:
      for (TuxCustomPopupWindow* P : std::vector(Shown)) {
        if (PopupWindowOf(P) == W) {
          if (P->CloseQuery()) P->ClosePopup();
          if (!IsShown(P) && P->CaptureFocus() && !IsBeingDestroyed(P->OwnerControl()))
            if (HWND Owner = OwnWindow(P->OwnerControl()))
              if (HWND Top = uxFindFirstNonChildParent(Owner)) SendMessageA(Top, WM_CLOSE, 0, 0);
          return;
        }
      }
      for (TuxCustomPopupWindow* P : std::vector(Shown)) {
        if (P->CaptureFocus() || IsBeingDestroyed(P->OwnerControl())) continue;
        TCustomForm* F = GetParentForm(P->OwnerControl());
        if (!F || !F->HandleAllocated() || F->Handle() == W) P->ClosePopup();
        break;
      }
      break;
    case WM_SHOWWINDOW:
      if (WParam) break;
      for (int I = int(Shown.size()) - 1; I >= 0; --I) {
        TuxCustomPopupWindow* P = Shown[I];
        if (IsBeingDestroyed(P->OwnerControl()) || OwnWindow(P->OwnerControl()) != W) continue;
        std::vector<TuxCustomPopupWindow*> Later(Shown.begin() + I, Shown.end());
        for (auto It = Later.rbegin(); It != Later.rend(); ++It)
          if (IsShown(*It)) (*It)->ClosePopup();
        break;
      }
      break;
    case WM_ACTIVATEAPP:
      if (WParam) break;
      for (bool Closed = true; Closed;) {
        Closed = false;
        for (TuxCustomPopupWindow* P : std::vector(Shown)) {
          if (!IsShown(P)) continue;
          if (P->Enabled() && (!P->CaptureFocus() || Screen->ActiveForm() != P)) {
            TControl* Owner = P->OwnerControl();
            P->ClosePopup();
            if (auto* C = dynamic_cast<TuxContainer*>(Owner); C && !IsBeingDestroyed(C)) C->FocusChanged();
            Closed = true;
            break;
          }
        }
      }
      break;
    case WM_WINDOWPOSCHANGED:
      for (bool Closed = true; Closed;) {
        Closed = false;
        for (TuxCustomPopupWindow* P : std::vector(Shown)) {
          if (!P->HandleAllocated() || IsBeingDestroyed(P)) continue;
          // The owner's own window, or one inside W (a pop-up opened from
          // a control on a pop-up that was just hidden).
          HWND O = OwnWindow(P->OwnerControl());
          if (O && (O == W || IsChild(W, O)) && !IsWindowVisible(O)) {
            P->ClosePopup();
            Closed = true;
            break;
          }
        }
      }
      break;
  }
}

LRESULT CallWndProcHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && !Shown.empty()) {
    auto* C = reinterpret_cast<CWPSTRUCT*>(LParam);
    CallWndProcAction(C->hwnd, C->message, C->wParam);
  }
  return CallNextHookEx(CallWndProcHook, Code, WParam, LParam);
}

LRESULT GetMessageHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && !Shown.empty() && WParam == PM_REMOVE) {
    MSG* M = reinterpret_cast<MSG*>(LParam);
    TuxCustomPopupWindow* Last = Shown.back();
    if (M->message == WM_SYSKEYDOWN && !(Last->CaptureFocus() && Last->ModalLoop()) &&
        !Last->IsSysKeyAccepted(Word(M->wParam)))
      M->message = WM_NULL;
  }
  return CallNextHookEx(GetMessageHook, Code, WParam, LParam);
}

bool IsPressMessage(WPARAM Msg) {
  switch (Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
      return true;
  }
  return false;
}

// Whether W belongs to the MDI frame around the owner's MDI child form.
bool IsMDIRelated(TCustomForm* OwnerForm, HWND W) {
  if (!OwnerForm || OwnerForm->FormStyle() != fsMDIChild || !OwnerForm->HandleAllocated()) return false;
  HWND Client = GetParent(OwnerForm->Handle());
  if (W == Client) return true;
  HWND Frame = Client ? GetParent(Client) : nullptr;
  return Frame && (W == Frame || IsChild(Frame, W));
}

// Returns true when the mouse message is to be discarded.
bool MouseAction(WPARAM Msg, HWND W, const TPoint& Pt) {
  for (bool Again = true; Again;) {
    Again = false;
    for (TuxCustomPopupWindow* P : std::vector(Shown)) {
      if (!IsShown(P)) continue;
      if (P->CaptureFocus() && Screen->ActiveForm() != P) continue;
      if (uxIsWindowOfControl(P, W, true)) continue;
      TControl* Owner = P->OwnerControl();
      if (IsBeingDestroyed(Owner)) continue;
      TCustomForm* OF = GetParentForm(Owner);
      auto* OwnerPopupForm = dynamic_cast<TuxCustomPopupWindow*>(OF);
      if (uxIsWindowOfControlForm(Owner, W) || (OwnerPopupForm && !IsShown(OwnerPopupForm))) {
        bool OnOwner = false;
        if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK) {
          auto* OW = dynamic_cast<TWinControl*>(Owner);
          TRect B;
          P->GetOwnerScreenBounds(B);
          OnOwner = OW && uxIsWindowOfControl(OW, W, true) && Pt.x >= B.left && Pt.x < B.right && Pt.y >= B.top &&
                    Pt.y < B.bottom;
        }
        std::shared_ptr<bool> Alive;
        if (auto* X = dynamic_cast<TuxControl*>(Owner)) Alive = X->AliveToken();
        P->SetDeactivateLocked(true);
        MouseClosing = true;
        try {
          P->ClosePopup();
        } catch (...) {
          P->SetDeactivateLocked(false);
          MouseClosing = false;
          throw;
        }
        P->SetDeactivateLocked(false);
        MouseClosing = false;
        if (OnOwner && ((Alive && !*Alive) || IsBeingDestroyed(Owner) || !Owner->Visible())) return true;
        Again = true;
        break;
      }
      if (IsMDIRelated(OF, W)) {
        P->ClosePopup();
        Again = true;
        break;
      }
    }
  }
  return false;
}

LRESULT MouseHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && !Shown.empty() && IsPressMessage(WParam)) {
    auto* M = reinterpret_cast<MOUSEHOOKSTRUCT*>(LParam);
    if (MouseAction(WParam, M->hwnd, TPoint{M->pt.x, M->pt.y})) return 1;
  }
  return CallNextHookEx(MouseHook, Code, WParam, LParam);
}

}  // namespace

// ---- free routines ----

std::vector<TuxCustomPopupWindow*> uxShownPopupWindows() { return Shown; }

bool uxIsPopupWindowShown(HWND Window) {
  for (TuxCustomPopupWindow* P : Shown)
    if (PopupWindowOf(P) == Window) return true;
  return false;
}

void uxInstallPopupHooks() {
  if (CallWndProcHook) return;
  CallWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProcHookProc, nullptr, GetCurrentThreadId());
  GetMessageHook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHookProc, nullptr, GetCurrentThreadId());
  MouseHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
}

void uxRemovePopupHooks() {
  if (!CallWndProcHook) return;
  UnhookWindowsHookEx(MouseHook);
  UnhookWindowsHookEx(GetMessageHook);
  UnhookWindowsHookEx(CallWndProcHook);
  MouseHook = GetMessageHook = CallWndProcHook = nullptr;
}

bool uxPopupHooksInstalled() { return CallWndProcHook != nullptr; }

// ---- TuxCustomPopupWindow ----

TuxCustomPopupWindow::TuxCustomPopupWindow(TControl* AOwnerControl)
    : TuxPopupWindow(AOwnerControl), FOwnerControl(AOwnerControl) {
  SetFormStyle(fsNormal);
  SetVisible(false);
  SetKeyPreview(true);
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

void TuxCustomPopupWindow::AfterConstruction() {
  FStyle.reset(GetStyleClass()(this, cssNormal, nullptr, false));
  FStyle->OnChanged = TNotifyEvent(this, &TuxCustomPopupWindow::StyleChangedHandler);
  FViewInfo.reset(GetViewInfoClass()());
  TuxPopupWindow::AfterConstruction();
}

TuxCustomPopupWindow::~TuxCustomPopupWindow() {
  RemoveShown(this);
  if (FOwnerControl) FOwnerControl->RemoveFreeNotification(this);
  FViewInfo.reset();
  if (FStyle) FStyle->OnChanged = nullptr;
  FStyle.reset();
}

void TuxCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TuxPopupWindow::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FOwnerControl) {
    if (IsShown(this)) ClosePopup();
    FOwnerControl = nullptr;
  }
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  if (AComponent == AnchorControl()) SetAnchorControl(nullptr);
}

TuxContainerStyleClass TuxCustomPopupWindow::GetStyleClass() { return &uxCreateStyleOf<TuxContainerStyle>; }

TuxContainerViewInfoClass TuxCustomPopupWindow::GetViewInfoClass() {
  return []() { return new TuxContainerViewInfo(); };
}

bool TuxCustomPopupWindow::IsVisible() const { return IsShown(const_cast<TuxCustomPopupWindow*>(this)); }

TCustomForm* TuxCustomPopupWindow::OwnerForm() const {
  return FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
}

bool TuxCustomPopupWindow::IsSysKeyAccepted(Word Key) { return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_F4; }

void TuxCustomPopupWindow::GetOwnerScreenBounds(TRect& R) {
  R = OwnerBounds();
  auto* O = dynamic_cast<TWinControl*>(FOwnerControl);
  TWinControl* P = OwnerParent();
  if (P && O && O->HandleAllocated() && uxIsChildWindow(O->Handle())) {
    TPoint TL = P->ClientToScreen(TPoint{R.left, R.top}), BR = P->ClientToScreen(TPoint{R.right, R.bottom});
    R = TRect{TL.x, TL.y, BR.x, BR.y};
  }
}

void TuxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TuxPopupWindow::CreateParams(Params);
  TCustomForm* F = OwnerForm();
  Params.ExStyle &= ~WS_EX_TOPMOST;
  if (FCaptureFocus) {
    if (F && F->HandleAllocated()) Params.WndParent = F->Handle();
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    if (FTopMost && (!F || F->FormStyle() == fsStayOnTop)) Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    // A tool window that never takes the activation, owned by the owner's
    // form or else by the hidden message window.
    Params.Style = WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (F && F->HandleAllocated())
      Params.WndParent = F->Handle();
    else if (uxMessageWindow())
      Params.WndParent = uxMessageWindow()->Handle();
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TuxCustomPopupWindow::CreateHandle() {
  bool WasShown = IsShown(this);
  if (!WasShown) Shown.push_back(this);  // the hooks see its first messages as a pop-up's
  try {
    TuxPopupWindow::CreateHandle();
  } catch (...) {
    if (!WasShown) RemoveShown(this);
    throw;
  }
  if (!WasShown) RemoveShown(this);
}

void TuxCustomPopupWindow::CorrectBoundsToWorkArea(TPoint& P) {
  if (!ShrinksToWorkArea()) return;
  TRect R = uxGetDesktopWorkArea(P);
  int W = Width(), H = Height();
  if (P.x < R.left) {
    W -= R.left - P.x;
    P.x = R.left;
  }
  if (P.y < R.top) {
    H -= R.top - P.y;
    P.y = R.top;
  }
  H = std::min<int>(H, R.bottom - P.y);
  W = std::min<int>(W, R.right - P.x);
  SetBounds(Left(), Top(), W, H);
  if (Height() != H && P.y == R.top) P.y += H - Height();
}

void TuxCustomPopupWindow::ShowPopup(TWinControl* AFocusedControl) {
  if (IsShown(this)) return;
  auto* OW = dynamic_cast<TWinControl*>(FOwnerControl);
  if (!FOwnerControl || !FOwnerControl->Visible() || (OW && !uxIsControlWindowVisible(OW))) return;
  InitPopup();
  CalculateSize();
  TPoint P;
  CalculatePosition(P);
  CorrectBoundsToWorkArea(P);
  Shown.push_back(this);
  if (OnShowing) OnShowing(this);
  SetBounds(P.x, P.y, Width(), Height());
  HandleNeeded();
  if (FCaptureFocus)
    Show();
  else
    ShowWindow(Handle(), SW_SHOWNA), SetVisible(true);
  if (FCaptureFocus) {
    TWinControl* F = nullptr;
    if (!AFocusedControl)
      F = this;
    else if (AFocusedControl->CanFocus() && AFocusedControl->TabStop())
      F = AFocusedControl;
    else
      F = FindNextControl(nullptr, true, true, false);
    FFocusedControl = F ? F : this;
  } else {
    FFocusedControl = AFocusedControl;
  }
  if (FFocusedControl) FFocusedControl->FreeNotification(this);
  if (FCaptureFocus) {
    if (FFocusedControl && FFocusedControl->CanFocus()) FFocusedControl->SetFocus();
  } else if (FFocusedControl && FFocusedControl->CanFocus()) {
    FFocusedControl->SetFocus();
  }
  TCustomForm* F = OwnerForm();
  bool OnTop = !F || F->FormStyle() == fsStayOnTop || (!FCaptureFocus);
  SetWindowPos(Handle(), OnTop ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetModalResult(0);
  DoShown();
  if (!(FCaptureFocus && FModalLoop)) return;
  std::shared_ptr<bool> OwnerAlive;
  if (auto* X = dynamic_cast<TuxControl*>(FOwnerControl)) OwnerAlive = X->AliveToken();
  while (IsShown(this) && Visible() && !Application->Terminated()) {
    if (OwnerAlive && !*OwnerAlive) break;
    MSG M;
    if (PeekMessageA(&M, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (M.wParam == VK_RETURN || M.wParam == VK_MENU || M.wParam == VK_SPACE))
      PeekMessageA(&M, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != 0) {
      if (CloseQuery())
        ModalResultClose();
      else
        SetModalResult(0);
      continue;
    }
    Application->HandleMessage();
  }
}

void TuxCustomPopupWindow::ClosePopup() {
  if (!IsShown(this)) return;
  RemoveShown(this);
  DoClosing();
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Hide();
  DoClosed();
  HWND Cap = GetCapture();
  if (Cap && HandleAllocated() && (Cap == Handle() || IsChild(Handle(), Cap))) ReleaseCapture();
}

void TuxCustomPopupWindow::DoHide() {
  TuxPopupWindow::DoHide();
  Closed();
}

void TuxCustomPopupWindow::Closed() {
  if (!FCaptureFocus || (HandleAllocated() && IsWindowVisible(Handle()))) return;
  auto* O = dynamic_cast<TWinControl*>(FOwnerControl);
  if (!O || IsBeingDestroyed(O) || O->ComponentState().Contains(csDesigning)) return;
  TCustomForm* F = GetParentForm(O);
  if (F && F->HandleAllocated() && GetFocus() == F->Handle() && O->CanFocus()) O->SetFocus();
}

bool TuxCustomPopupWindow::Focused() {
  if (!IsShown(this) || !FCaptureFocus || !HandleAllocated()) return false;
  HWND F = GetFocus();
  return F == Handle() || IsChild(Handle(), F);
}

void TuxCustomPopupWindow::Deactivate() {
  FDroppedDownFlag = false;
  if (FDeactivateLocked) return;
  HWND Active = GetActiveWindow();
  std::vector<TuxCustomPopupWindow*> L = Shown;
  for (auto It = L.rbegin(); It != L.rend(); ++It) {
    TuxCustomPopupWindow* P = *It;
    if (!IsShown(P)) continue;
    if (PopupWindowOf(P) == Active) break;
    if (P->Enabled()) P->ClosePopup();
  }
  if (!Shown.empty()) ClosePopup();
}

void TuxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsShown(this) && HandleAllocated() && GetCapture() == Handle()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  TuxPopupWindow::KeyDown(Key, Shift);
}

void TuxCustomPopupWindow::Paint() { FViewInfo->Paint(UxCanvas()); }

void TuxCustomPopupWindow::WMEraseBkgnd(TMessage& M) {
  if (ErasesBackground())
    TuxPopupWindow::Dispatch(M);
  else
    M.Result = 1;
}

void TuxCustomPopupWindow::CMMouseEnter(TMessage& M) { TuxPopupWindow::Dispatch(M); }

void TuxCustomPopupWindow::CMMouseLeave(TMessage& M) { TuxPopupWindow::Dispatch(M); }

void TuxCustomPopupWindow::UXMClosePopup(TMessage&) {
  CloseLocked(this);
  if (HWND O = OwnWindow(FOwnerControl)) SendMessageA(O, WM_SETFOCUS, 0, 0);
}

void TuxCustomPopupWindow::RecreateAndReshow() {
  bool WasShown = IsShown(this);
  if (WasShown) ClosePopup();
  if (HandleAllocated()) RecreateWnd();
  if (WasShown) ShowPopup(FFocusedControl);
}

void TuxCustomPopupWindow::SetCaptureFocus(bool Value) {
  if (FCaptureFocus == Value) return;
  FCaptureFocus = Value;
  RecreateAndReshow();
}

void TuxCustomPopupWindow::SetTopMost(bool Value) {
  if (FTopMost == Value) return;
  FTopMost = Value;
  RecreateAndReshow();
}
