// The timer component: OnTimer every Interval milliseconds while Enabled.
#pragma once
#include "platform/classes/classes.h"
#include "platform/win/winuser.h"

class TTimer : public TComponent {
  PV_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 stops the timer.
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer;
  void SetOnTimer(const TNotifyEvent& Value);
  void Loaded() override;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  HWND FWindowHandle = nullptr;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
};

void InitTimersProps();
