#include "app/cooltrayicon.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/classes/typinfo.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

// Every live component that watches the application window, in creation
// order. The application window is subclassed once, for all of them, and
// put back when the last one goes, whatever the order they are freed in.
std::vector<TCoolTrayIcon*>& Watchers() {
  static auto* v = new std::vector<TCoolTrayIcon*>();
  return *v;
}
WNDPROC gPreviousAppProc = nullptr;
HWND gHookedAppWindow = nullptr;

constexpr int kTipBytes = 64;

}  // namespace

TCoolTrayIcon::TCoolTrayIcon(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  FIconVisible = true;
  FEnabled = true;
  FClicked = FShownOnce = false;
  FIconData = NOTIFYICONDATAA();
  FIconData.cbSize = sizeof FIconData;
  FIconData.hWnd = AllocateHWnd([this](TMessage& M) { HandleIconMessage(M); });
  FIconData.uID = 1;
  FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  FIconData.uCallbackMessage = WM_TRAYNOTIFY;
  FCycleTimer = std::make_unique<TTimer>(nullptr);
  FCycleTimer->SetEnabled(false);
  FCycleTimer->SetInterval(FCycleInterval);
  FCycleTimer->OnTimer = TNotifyEvent(this, &TCoolTrayIcon::CycleTimer);
  if (!ComponentState().Contains(csDesigning)) HookApplication();
}

TCoolTrayIcon::~TCoolTrayIcon() {
  // Never leave a stale icon behind.
  Shell_NotifyIconA(NIM_DELETE, &FIconData);
  FCycleTimer.reset();
  if (FIconData.hWnd) DeallocateHWnd(FIconData.hWnd);
  FIconData.hWnd = nullptr;
  UnhookApplication();
}

void TCoolTrayIcon::Loaded() {
  TComponent::Loaded();
  SetIconVisible(FIconVisible);
  if (FStartMinimized && !ComponentState().Contains(csDesigning) && Application) {
    Application->SetShowMainForm(false);
    ShowWindow(Application->Handle(), SW_HIDE);
  }
  UpdateTrayIcon();
}

void TCoolTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (AComponent == FIconList) {
    FIconList = nullptr;
    SetCycleIcons(false);
  }
}

// ---- properties ----

void TCoolTrayIcon::SetIcon(TIcon* Value) {
  FIcon->Assign(Value);
  if (FIconVisible) UpdateTrayIcon();
}

void TCoolTrayIcon::SetIconVisible(bool Value) {
  if (ComponentState().Contains(csLoading)) {
    FIconVisible = Value;
    return;
  }
  if (Value) AddTrayIcon();
  else RemoveTrayIcon();
}

void TCoolTrayIcon::SetHint(const AnsiString& Value) {
  FHint = Value;
  if (FIconVisible) UpdateTrayIcon();
}

void TCoolTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  if (FIconVisible) UpdateTrayIcon();
}

void TCoolTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TCoolTrayIcon::SetIconList(TCustomImageList* Value) {
  if (FIconList == Value) return;
  if (FIconList) FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  FIconIndex = 0;
  if (Value) Value->FreeNotification(this);
}

void TCoolTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) FIconIndex = 0;
  FCycleTimer->SetEnabled(Value);
}

void TCoolTrayIcon::SetCycleInterval(Cardinal Value) {
  FCycleInterval = Value;
  FCycleTimer->SetInterval(Value);  // 0 stops the timer: no cycling
}

void TCoolTrayIcon::SetDesignPreview(bool Value) {
  FDesignPreview = Value;
  if (ComponentState().Contains(csDesigning)) {
    PrepareIconData();
    Shell_NotifyIconA(Value ? NIM_ADD : NIM_DELETE, &FIconData);
  }
}

// ---- the tray record ----

bool TCoolTrayIcon::Sending() const { return !ComponentState().Contains(csDesigning) || FDesignPreview; }

bool TCoolTrayIcon::PrepareIconData() {
  if (!Sending()) return false;
  FIconData.hIcon = FIcon->Handle();
  std::fill(std::begin(FIconData.szTip), std::end(FIconData.szTip), '\0');
  if (!FHint.empty() && FShowHint) {
    // The record's tip holds 63 bytes and a terminator; a double-byte
    // character that does not fit whole is left out.
    std::size_t n = std::min<std::size_t>(FHint.size(), kTipBytes - 1);
    std::size_t cut = 0;
    while (cut < n) {
      std::size_t step = IsDBCSLeadByte(FHint[cut]) ? 2 : 1;
      if (cut + step > n) break;
      cut += step;
    }
    std::memcpy(FIconData.szTip, FHint.data(), cut);
  }
  return true;
}

bool TCoolTrayIcon::AddTrayIcon() {
  if (!ComponentState().Contains(csDesigning)) FIconVisible = true;
  if (!PrepareIconData()) return false;
  // Already shown: brought up to date instead.
  if (Shell_NotifyIconA(NIM_ADD, &FIconData) || Shell_NotifyIconA(NIM_MODIFY, &FIconData)) return true;
  // The desktop has no notification area: the icon is not there.
  if (!ComponentState().Contains(csDesigning)) FIconVisible = false;
  return false;
}

bool TCoolTrayIcon::RemoveTrayIcon() {
  if (!ComponentState().Contains(csDesigning)) FIconVisible = false;
  if (!PrepareIconData()) return false;
  return Shell_NotifyIconA(NIM_DELETE, &FIconData) != FALSE;
}

bool TCoolTrayIcon::UpdateTrayIcon() {
  if (!FIconVisible || !PrepareIconData()) return false;
  return Shell_NotifyIconA(NIM_MODIFY, &FIconData) != FALSE;
}

// ---- the main window ----

namespace {
// Shows a window back in the state it had: a maximised one stays maximised (a
// plain restore or default show would bring it back at its normal size); a
// minimised one is restored, to maximised when it was so before.
void ShowKeepingState(HWND Wnd, int Cmd) {
  if (IsZoomed(Wnd) && !IsIconic(Wnd)) Cmd = IsWindowVisible(Wnd) ? SW_SHOW : SW_SHOWMAXIMIZED;
  ShowWindow(Wnd, Cmd);
}
}  // namespace

void TCoolTrayIcon::RestoreMainWindow() {
  if (!Application) return;
  ShowKeepingState(Application->Handle(), SW_RESTORE);
  TCustomForm* main = Application->MainForm();
  if (!main) return;
  ShowKeepingState(main->Handle(), SW_RESTORE);
  if (FShownOnce) return;
  FShownOnce = true;
  // The first time, also the windowed controls the main form owns directly
  // (when visible) and those they own.
  for (int i = 0; i < main->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(main->Components(i));
    if (!c || !c->Visible() || !c->HandleAllocated()) continue;
    ShowKeepingState(c->Handle(), SW_SHOWDEFAULT);
    for (int k = 0; k < c->ComponentCount(); ++k)
      if (auto* o = dynamic_cast<TWinControl*>(c->Components(k)); o && o->HandleAllocated())
        ShowKeepingState(o->Handle(), SW_SHOWDEFAULT);
  }
}

void TCoolTrayIcon::HideMainWindow() {
  if (!Application) return;
  ShowWindow(Application->Handle(), SW_HIDE);
  if (TCustomForm* main = Application->MainForm(); main && main->HandleAllocated())
    ShowWindow(main->Handle(), SW_HIDE);
}

// ---- messages of the icon ----

TShiftState TCoolTrayIcon::KeyShift() const {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_MENU) < 0) s << ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  return s;
}

void TCoolTrayIcon::HandleIconMessage(TMessage& M) {
  if (M.Msg == WM_QUERYENDSESSION) {
    M.Result = 1;
    return;
  }
  if (M.Msg != WM_TRAYNOTIFY) {
    M.Result = DefWindowProcA(FIconData.hWnd, M.Msg, M.WParam, M.LParam);
    return;
  }
  if (!FEnabled) return;
  POINT pt{0, 0};
  GetCursorPos(&pt);
  const TShiftState shift = KeyShift();
  switch (UINT(M.LParam)) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, pt.x, pt.y);
      break;
    case WM_LBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(this, mbLeft, shift + TShiftState{ssLeft}, pt.x, pt.y);
      FClicked = true;
      if (FLeftPopup) ShowPopup();
      break;
    case WM_LBUTTONUP:
      if (FClicked) {
        FClicked = false;
        if (OnClick) OnClick(this);
      }
      if (OnMouseUp) OnMouseUp(this, mbLeft, shift + TShiftState{ssLeft}, pt.x, pt.y);
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(this);
      if (FPopupMenu && FPopupMenu->AutoPopup() && !FLeftPopup)
        for (int i = 0; i < FPopupMenu->Items()->Count(); ++i)
          if (TMenuItem* item = FPopupMenu->Items()->Items(i); item->Default()) {
            item->Click();
            break;
          }
      break;
    case WM_RBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(this, mbRight, shift + TShiftState{ssRight}, pt.x, pt.y);
      ShowPopup();
      break;
    case WM_RBUTTONUP:
      if (OnMouseUp) OnMouseUp(this, mbRight, shift + TShiftState{ssRight}, pt.x, pt.y);
      break;
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(this, mbMiddle, shift + TShiftState{ssMiddle}, pt.x, pt.y);
      break;
    case WM_MBUTTONUP:
      if (OnMouseUp) OnMouseUp(this, mbMiddle, shift + TShiftState{ssMiddle}, pt.x, pt.y);
      break;
    default: break;
  }
}

void TCoolTrayIcon::ShowPopup() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
  POINT pt;
  if (!GetCursorPos(&pt)) return;
  if (Application) Application->ProcessMessages();
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main->HandleAllocated()) SetForegroundWindow(main->Handle());
  FPopupMenu->SetPopupComponent(this);
  FPopupShowing = true;
  try {
    FPopupMenu->Popup(pt.x, pt.y);
  } catch (...) {
    FPopupShowing = false;
    throw;
  }
  FPopupShowing = false;
  // Lets the menu close properly when the user clicks elsewhere.
  if (main && main->HandleAllocated()) PostMessageA(main->Handle(), WM_NULL, 0, 0);
}

void TCoolTrayIcon::CycleTimer(TObject*) {
  if (!FIconList) return;
  const int count = FIconList->Count();
  if (count <= 0) return;
  if (FIconIndex >= count) FIconIndex = 0;
  FIconList->GetIcon(FIconIndex, FIcon.get());
  if (OnCycle) OnCycle(this, FIconIndex);
  UpdateTrayIcon();
  FIconIndex = FIconIndex + 1 >= count ? 0 : FIconIndex + 1;
}

// ---- the application window ----

void TCoolTrayIcon::ApplicationMinimized() {
  if (!FMinimizeToTray) return;
  // Hidden only when the icon is there to bring it back: without a
  // notification area the program stays minimised.
  if (AddTrayIcon()) HideMainWindow();
}

void TCoolTrayIcon::HookApplication() {
  if (FHooked || !Application) return;
  FHooked = true;
  Watchers().push_back(this);
  if (gHookedAppWindow) return;
  gHookedAppWindow = Application->Handle();
  gPreviousAppProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(gHookedAppWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ApplicationWndProc)));
}

void TCoolTrayIcon::UnhookApplication() {
  if (!FHooked) return;
  FHooked = false;
  auto& w = Watchers();
  w.erase(std::remove(w.begin(), w.end(), this), w.end());
  if (!w.empty() || !gHookedAppWindow) return;
  if (IsWindow(gHookedAppWindow) &&
      GetWindowLongPtrA(gHookedAppWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ApplicationWndProc))
    SetWindowLongPtrA(gHookedAppWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gPreviousAppProc));
  gHookedAppWindow = nullptr;
  gPreviousAppProc = nullptr;
}

LRESULT TCoolTrayIcon::ApplicationWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  WNDPROC previous = gPreviousAppProc;
  if (Msg == WM_SIZE && WParam == SIZE_MINIMIZED) {
    std::vector<TCoolTrayIcon*> watchers = Watchers();  // a handler may free one
    for (TCoolTrayIcon* t : watchers)
      if (std::find(Watchers().begin(), Watchers().end(), t) != Watchers().end()) t->ApplicationMinimized();
  }
  return previous ? CallWindowProcA(previous, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// ---- start-up ----

void InitCoolTrayIcon() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TCoolTrayIcon::StaticClass()});
  RegisterProps<TCoolTrayIcon>([](TPropBuilder<TCoolTrayIcon>& p) {
    p.Prop("CycleInterval", &TCoolTrayIcon::CycleInterval, &TCoolTrayIcon::SetCycleInterval);
    p.Prop("CycleIcons", &TCoolTrayIcon::CycleIcons, &TCoolTrayIcon::SetCycleIcons).Default(false);
    p.Prop("DesignPreview", &TCoolTrayIcon::DesignPreview, &TCoolTrayIcon::SetDesignPreview).Default(false);
    p.Prop("Enabled", &TCoolTrayIcon::Enabled, &TCoolTrayIcon::SetEnabled).Default(true);
    p.Prop("Hint", &TCoolTrayIcon::Hint, &TCoolTrayIcon::SetHint);
    p.Prop("ShowHint", &TCoolTrayIcon::ShowHint, &TCoolTrayIcon::SetShowHint);
    p.Prop("Icon", &TCoolTrayIcon::Icon)
        .Stored([](TObject* o) { return !static_cast<TCoolTrayIcon*>(o)->Icon()->Empty(); });
    p.Prop("IconList", &TCoolTrayIcon::IconList, &TCoolTrayIcon::SetIconList);
    p.Prop("IconVisible", &TCoolTrayIcon::IconVisible, &TCoolTrayIcon::SetIconVisible).Default(true);
    p.Prop("LeftPopup", &TCoolTrayIcon::LeftPopup, &TCoolTrayIcon::SetLeftPopup).Default(false);
    p.Prop("MinimizeToTray", &TCoolTrayIcon::MinimizeToTray, &TCoolTrayIcon::SetMinimizeToTray).Default(false);
    p.Prop("PopupMenu", &TCoolTrayIcon::PopupMenu, &TCoolTrayIcon::SetPopupMenu);
    p.Prop("StartMinimized", &TCoolTrayIcon::StartMinimized, &TCoolTrayIcon::SetStartMinimized).Default(false);
    p.Field("OnClick", &TCoolTrayIcon::OnClick);
    p.Field("OnDblClick", &TCoolTrayIcon::OnDblClick);
    p.Field("OnMouseDown", &TCoolTrayIcon::OnMouseDown);
    p.Field("OnMouseUp", &TCoolTrayIcon::OnMouseUp);
    p.Field("OnMouseMove", &TCoolTrayIcon::OnMouseMove);
    p.Field("OnCycle", &TCoolTrayIcon::OnCycle);
  });
}
