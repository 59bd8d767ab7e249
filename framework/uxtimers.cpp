#include "framework/uxtimers.h"

#include <algorithm>
#include <map>

#include "framework/uxclasses.h"
#include "framework/uxcontrols.h"
#include "framework/uxwinutils.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/forms.h"
#include "platform/win/system.h"

namespace {

TuxMessageWindow* g_messageWindow = nullptr;
TuxTimerWindow* g_timerWindow = nullptr;
// Identifier -> timer of every timer whose platform timer is set.
std::map<UINT_PTR, TuxTimer*>* g_activeTimers = nullptr;
std::vector<TMouseTrackingTimer*>* g_trackingList = nullptr;
TuxSettingsController* g_settingsController = nullptr;

// Identifiers only grow, so one that has been used never names another object.
UINT_PTR g_lastTimerID = 0;
std::uint64_t g_lastTrackingID = 0;

int g_hourglassCount = 0;
TCursor g_savedCursor = crDefault;

std::map<UINT_PTR, TuxTimer*>& ActiveTimers() {
  if (!g_activeTimers) g_activeTimers = new std::map<UINT_PTR, TuxTimer*>();
  return *g_activeTimers;
}

std::vector<TMouseTrackingTimer*>& TrackingList() {
  if (!g_trackingList) g_trackingList = new std::vector<TMouseTrackingTimer*>();
  return *g_trackingList;
}

void HandleMessageException() {
  if (Application) Application->HandleException(nullptr);
}

// Frees the tracking timer known by ID, when it still exists.
void EndTrackingByID(std::uint64_t ID);

}  // namespace

// ---------------------------------------------------------------------------
// message windows

TuxMessageWindow::TuxMessageWindow() {
  FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TuxMessageWindow::~TuxMessageWindow() { DeallocateHWnd(FHandle); }

void TuxMessageWindow::WndProc(TMessage& Message) {
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

TuxMessageWindow* uxMessageWindow() {
  if (g_messageWindow && !IsWindow(g_messageWindow->Handle())) {
    delete g_messageWindow;
    g_messageWindow = nullptr;
  }
  if (!g_messageWindow) g_messageWindow = new TuxMessageWindow();
  return g_messageWindow;
}

void TuxTimerWindow::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    TuxMessageWindow::WndProc(Message);
    return;
  }
  Message.Result = 0;
  if (!g_activeTimers) return;
  auto it = g_activeTimers->find(UINT_PTR(Message.WParam));
  if (it == g_activeTimers->end()) return;  // stopped or freed: nothing to call
  try {
    it->second->TimeOut();
  } catch (...) {
    HandleMessageException();
  }
}

TuxTimerWindow* uxTimerWindow() {
  if (g_timerWindow && !IsWindow(g_timerWindow->Handle())) {
    // The window manager destroyed the window (and its timers): set the active
    // timers again on a new one.
    delete g_timerWindow;
    g_timerWindow = new TuxTimerWindow();
    if (g_activeTimers)
      for (auto it = g_activeTimers->begin(); it != g_activeTimers->end();) {
        TuxTimer* t = it->second;
        if (SetTimer(g_timerWindow->Handle(), t->TimerID(), t->Interval(), nullptr)) {
          ++it;
        } else {
          t->FTimerOn = false;
          it = g_activeTimers->erase(it);
        }
      }
  }
  if (!g_timerWindow) g_timerWindow = new TuxTimerWindow();
  return g_timerWindow;
}

// ---------------------------------------------------------------------------
// TuxTimer

TuxTimer::TuxTimer(TComponent* AOwner) : TComponent(AOwner), FTimerID(++g_lastTimerID) {}

TuxTimer::~TuxTimer() { Stop(); }

void TuxTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Restart();
}

void TuxTimer::SetInterval(Cardinal Value) {
  if (Value == 0 || FInterval == Value) return;
  FInterval = Value;
  Restart();
}

void TuxTimer::SetOnTimer(const TNotifyEvent& Value) {
  FOnTimer = Value;
  Restart();
}

void TuxTimer::TimeOut() {
  // A copy: the handler may free this timer.
  TNotifyEvent handler = FOnTimer;
  if (handler) handler(this);
}

void TuxTimer::Restart() {
  Stop();
  Start();
}

void TuxTimer::Start() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  // A timer the platform refuses stays off and is tried again on the next restart.
  if (!SetTimer(uxTimerWindow()->Handle(), FTimerID, FInterval, nullptr)) return;
  FTimerOn = true;
  ActiveTimers()[FTimerID] = this;
}

void TuxTimer::Stop() {
  if (!FTimerOn) return;
  if (g_timerWindow) KillTimer(g_timerWindow->Handle(), FTimerID);
  if (g_activeTimers) g_activeTimers->erase(FTimerID);
  FTimerOn = false;
}

int uxActiveTimerCount() { return g_activeTimers ? static_cast<int>(g_activeTimers->size()) : 0; }

void uxInitTimers() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TuxTimer::StaticClass()});
  RegisterProps<TuxTimer>([](TPropBuilder<TuxTimer>& p) {
    p.Prop("Enabled", &TuxTimer::Enabled, &TuxTimer::SetEnabled).Default(true);
    p.Prop("Interval", &TuxTimer::Interval, &TuxTimer::SetInterval).Default(1000);
    p.Prop("OnTimer", [](TuxTimer* t) { return t->OnTimer(); }, &TuxTimer::SetOnTimer);
  });
}

// ---------------------------------------------------------------------------
// mouse tracking

namespace {

TMouseTrackingTimer* FindTracking(IuxMouseTrackingCaller* Caller) {
  if (!g_trackingList || !Caller) return nullptr;
  for (TMouseTrackingTimer* t : *g_trackingList)
    if (t->Caller() == Caller) return t;
  return nullptr;
}

void RemoveFromTrackingList(TMouseTrackingTimer* Timer) {
  if (!g_trackingList) return;
  auto& l = *g_trackingList;
  l.erase(std::remove(l.begin(), l.end(), Timer), l.end());
}

}  // namespace

IuxMouseTrackingCaller::~IuxMouseTrackingCaller() { EndMouseTracking(this); }

TMouseTrackingTimer::TMouseTrackingTimer() : TuxTimer(nullptr) { SetInterval(10); }

TMouseTrackingTimer::~TMouseTrackingTimer() {
  RemoveFromTrackingList(this);
  if (FControl) FControl->RemoveFreeNotification(this);
}

void TMouseTrackingTimer::Notification(TComponent* AComponent, TOperation Operation) {
  TuxTimer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl && FControl) {
    // The control is going: tracking ends without calling anyone.
    FControl = nullptr;
    RemoveFromTrackingList(this);
    delete this;
  }
}

bool TMouseTrackingTimer::IsMouseInside() {
  POINT p{};
  GetCursorPos(&p);
  if (auto* ex = dynamic_cast<IuxMouseTrackingCallerEx*>(FCaller))
    return FControl && FControl->HandleAllocated() && ex->ContainsPoint(FControl->ScreenToClient(p));
  return PtInRect(&FBounds, p) != 0;
}

void TMouseTrackingTimer::Tick(TObject*) {
  if (IsMouseInside()) return;
  // What the calls below may free is reached through locals and the tracking
  // identifier only.
  const std::uint64_t id = FTrackingID;
  IuxMouseTrackingCaller* caller = FCaller;
  TWinControl* control = FControl;
  if (control && control->HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    HWND h = control->Handle();
    ScreenToClient(h, &p);
    RECT r{};
    GetClientRect(h, &r);
    if (!PtInRect(&r, p)) SendMessageA(h, CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  bool stillTracked = false;
  if (g_trackingList)
    for (TMouseTrackingTimer* t : *g_trackingList)
      if (t->TrackingID() == id) stillTracked = true;
  if (!stillTracked) return;  // the control or the caller went during the message
  caller->MouseLeave();
  EndTrackingByID(id);
}

namespace {
void EndTrackingByID(std::uint64_t ID) {
  if (!g_trackingList) return;
  for (TMouseTrackingTimer* t : *g_trackingList)
    if (t->TrackingID() == ID) {
      RemoveFromTrackingList(t);
      delete t;
      return;
    }
}
}  // namespace

void BeginMouseTracking(TWinControl* Control, const TRect& Bounds, IuxMouseTrackingCaller* Caller) {
  if (!Caller || FindTracking(Caller)) return;
  TRect r = Bounds;
  if (Control) {
    if (Control->HandleAllocated()) {
      uxMapRectBetweenWindows(Control->Handle(), nullptr, r);
    } else {
      TPoint tl = Control->ClientToScreen(TPoint{r.left, r.top});
      TPoint br = Control->ClientToScreen(TPoint{r.right, r.bottom});
      r = TRect{tl.x, tl.y, br.x, br.y};
    }
  }
  auto* t = new TMouseTrackingTimer();
  t->FCaller = Caller;
  t->FControl = Control;
  t->FBounds = r;
  t->FTrackingID = ++g_lastTrackingID;
  if (Control) Control->FreeNotification(t);
  TrackingList().push_back(t);
  t->SetOnTimer(TNotifyEvent(t, &TMouseTrackingTimer::Tick));
}

void EndMouseTracking(IuxMouseTrackingCaller* Caller) {
  if (TMouseTrackingTimer* t = FindTracking(Caller)) {
    RemoveFromTrackingList(t);
    delete t;
  }
}

bool uxIsMouseTracking(IuxMouseTrackingCaller* Caller) { return FindTracking(Caller) != nullptr; }

int uxMouseTrackingCount() { return g_trackingList ? static_cast<int>(g_trackingList->size()) : 0; }

// ---------------------------------------------------------------------------
// hourglass

void ShowHourglassCursor() {
  if (g_hourglassCount == 0 && Screen) {
    g_savedCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
  }
  ++g_hourglassCount;
}

void HideHourglassCursor() {
  if (g_hourglassCount == 0) return;
  if (--g_hourglassCount == 0 && Screen) Screen->SetCursor(g_savedCursor);
}

// ---------------------------------------------------------------------------
// settings controller

TuxSettingsController::TuxSettingsController() {
  FNotificator = new TuxFreeNotificator(nullptr);
  FNotificator->OnFreeNotification = [this](TComponent* Sender) {
    auto it = std::find_if(FControls.begin(), FControls.end(),
                           [Sender](TuxControl* C) { return static_cast<TComponent*>(C) == Sender; });
    if (it == FControls.end()) return;
    FControls.erase(it);
    if (FControls.empty()) ReleaseWindow();
  };
}

TuxSettingsController::~TuxSettingsController() {
  for (TuxControl* c : FControls) FNotificator->RemoveSender(c);
  FControls.clear();
  delete FNotificator;
  ReleaseWindow();
}

void TuxSettingsController::AddControl(TuxControl* Control) {
  if (!Control || std::find(FControls.begin(), FControls.end(), Control) != FControls.end()) return;
  if (FWindow && !IsWindow(FWindow)) ReleaseWindow();  // destroyed by the window manager
  if (!FWindow) FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  FControls.push_back(Control);
  FNotificator->AddSender(Control);
}

void TuxSettingsController::RemoveControl(TuxControl* Control) {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  if (it == FControls.end()) return;
  FControls.erase(it);
  FNotificator->RemoveSender(Control);
  if (FControls.empty()) ReleaseWindow();
}

void TuxSettingsController::ReleaseWindow() {
  if (!FWindow) return;
  HWND h = FWindow;
  FWindow = nullptr;
  DeallocateHWnd(h);
}

void TuxSettingsController::WndProc(TMessage& Message) {
  try {
    if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == SPI_SETNONCLIENTMETRICS) {
      for (TuxControl* c : FControls)
        if (c->HandleAllocated()) SendNotifyMessageA(c->Handle(), UXM_SCROLLBARSIZECHANGED, 0, 0);
      Message.Result = 0;
      return;
    }
    Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
  } catch (...) {
    HandleMessageException();
  }
}

TuxSettingsController* uxSettingsController() {
  if (!g_settingsController) g_settingsController = new TuxSettingsController();
  return g_settingsController;
}

// ---------------------------------------------------------------------------
// shutdown

void uxDoneTimers() {
  delete g_settingsController;
  g_settingsController = nullptr;
  if (g_activeTimers) {
    for (auto& [id, t] : *g_activeTimers) t->FTimerOn = false;
    delete g_activeTimers;
    g_activeTimers = nullptr;
  }
  delete g_timerWindow;
  g_timerWindow = nullptr;
  delete g_messageWindow;
  g_messageWindow = nullptr;
  if (uxMouseTrackingCount() != 0) throw EInvalidOperation("MouseTrackingTimerList.Count <> 0");
  delete g_trackingList;
  g_trackingList = nullptr;
}
