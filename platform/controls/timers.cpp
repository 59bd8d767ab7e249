// The timer component.
#include "platform/controls/timers.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](TMessage& M) {
    if (M.Msg == WM_TIMER) {
      try {
        Timer();
      } catch (...) {
        if (Application) Application->HandleException(this);
      }
      return;
    }
    M.Result = DefWindowProcA(FWindowHandle, M.Msg, M.WParam, M.LParam);
  });
}

TTimer::~TTimer() {
  FEnabled = false;
  if (FWindowHandle) {
    KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
  }
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, 1);
  // Nothing runs while a description is being read; Loaded starts the timer.
  if (ComponentState().Contains(csLoading)) return;
  if (FInterval != 0 && FEnabled && OnTimer) {
    if (!SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
  }
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  OnTimer = Value;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}

void InitTimersProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TTimer::StaticClass()});
  RegisterProps<TTimer>([](TPropBuilder<TTimer>& p) {
    p.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    p.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    p.Prop("OnTimer", [](TTimer* t) { return t->OnTimer; }, &TTimer::SetOnTimer);
  });
}
