// Process-wide services bound to hidden windows: a message window that hands
// its messages to an object, a light timer component whose timers all share
// one hidden window, mouse-leave tracking by polling, a nested hourglass
// cursor, and the controller that tells the owner-drawn controls when the
// system's non-client metrics change.
//
// Timers are known to their window by a generation-counted identifier, never by
// their address: a WM_TIMER that arrives after its timer stopped or was freed
// names nothing and is dropped.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/classes/classes.h"
#include "platform/controls/controls.h"
#include "platform/win/winuser.h"

class TuxControl;
class TuxFreeNotificator;

// ---- hidden message windows ----

// A hidden window whose messages go to the object's WndProc.
class TuxMessageWindow {
 public:
  TuxMessageWindow();
  virtual ~TuxMessageWindow();
  TuxMessageWindow(const TuxMessageWindow&) = delete;
  TuxMessageWindow& operator=(const TuxMessageWindow&) = delete;

  HWND Handle() const { return FHandle; }

 protected:
  // Base: the default window procedure, its answer stored in the message.
  virtual void WndProc(TMessage& Message);

 private:
  HWND FHandle = nullptr;
};

// The process-wide message window, made on first use (and made again when the
// window manager has destroyed its window).
TuxMessageWindow* uxMessageWindow();

// The one window on which every TuxTimer sets its platform timer.
class TuxTimerWindow : public TuxMessageWindow {
 protected:
  // WM_TIMER of an active timer runs its TimeOut; WM_TIMER of a stopped or
  // freed timer is dropped; everything else goes to the default procedure.
  void WndProc(TMessage& Message) override;
};

TuxTimerWindow* uxTimerWindow();

// ---- the timer component ----

class TuxTimer : public TComponent {
  PV_CLASS(TuxTimer, TComponent)
 public:
  explicit TuxTimer(TComponent* AOwner);
  ~TuxTimer() override;

  bool Enabled() const { return FEnabled; }
  // A new value starts or stops the timer.
  void SetEnabled(bool Value);
  // Milliseconds; 0 is ignored; a new value restarts the timer.
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  // Restarts the timer, even for the handler it already has.
  void SetOnTimer(const TNotifyEvent& Value);

  // Whether a platform timer is set for this timer.
  bool TimerOn() const { return FTimerOn; }
  // The identifier WM_TIMER carries for this timer; never reused by another.
  UINT_PTR TimerID() const { return FTimerID; }

 protected:
  // Calls OnTimer(Self) when it is set.
  virtual void TimeOut();

 private:
  friend class TuxTimerWindow;
  friend TuxTimerWindow* uxTimerWindow();
  friend void uxDoneTimers();
  void Restart();
  void Start();
  void Stop();

  TNotifyEvent FOnTimer;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  bool FTimerOn = false;
  UINT_PTR FTimerID = 0;
};

// The number of timers whose platform timer is set (for checks).
int uxActiveTimerCount();

// Registers TuxTimer and its published settings; called once from the start-up list.
void uxInitTimers();

// ---- mouse tracking ----

// Told when the mouse has left what it tracks. A caller that is destroyed
// while it is still tracked ends its tracking on the way out, so the polling
// never reaches a freed caller.
class IuxMouseTrackingCaller {
 public:
  virtual ~IuxMouseTrackingCaller();
  virtual void MouseLeave() = 0;
};

// A caller that decides itself whether a point (in the tracked control's
// client coordinates) is still inside.
class IuxMouseTrackingCallerEx : public IuxMouseTrackingCaller {
 public:
  virtual bool ContainsPoint(const TPoint& P) = 0;
};

// Polls the cursor every 10 ms for one caller; made by BeginMouseTracking.
class TMouseTrackingTimer : public TuxTimer {
  PV_CLASS(TMouseTrackingTimer, TuxTimer)
 public:
  TMouseTrackingTimer();
  ~TMouseTrackingTimer() override;

  IuxMouseTrackingCaller* Caller() const { return FCaller; }
  TWinControl* Control() const { return FControl; }
  TRect Bounds() const { return FBounds; }  // screen coordinates
  // Names this tracking; never reused by a later one.
  std::uint64_t TrackingID() const { return FTrackingID; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend void BeginMouseTracking(TWinControl*, const TRect&, IuxMouseTrackingCaller*);
  void Tick(TObject* Sender);
  bool IsMouseInside();

  IuxMouseTrackingCaller* FCaller = nullptr;
  TWinControl* FControl = nullptr;
  TRect FBounds{};
  std::uint64_t FTrackingID = 0;
};

// Starts polling for Caller: Bounds is in Control's client coordinates (screen
// coordinates without a control). Nothing happens when Caller is already tracked.
void BeginMouseTracking(TWinControl* Control, const TRect& Bounds, IuxMouseTrackingCaller* Caller);
// Stops polling for Caller; nothing when it is not tracked.
void EndMouseTracking(IuxMouseTrackingCaller* Caller);
// Whether Caller is being tracked.
bool uxIsMouseTracking(IuxMouseTrackingCaller* Caller);
// The number of callers being tracked (must be 0 at shutdown).
int uxMouseTrackingCount();

// ---- hourglass ----

// Nested: the first call shows the hourglass, the matching last hide restores
// the cursor that was on the screen before.
void ShowHourglassCursor();
void HideHourglassCursor();

// ---- the settings controller ----

// Keeps the owner-drawn controls with internal scroll bars informed of changes
// of the system's non-client metrics (the scroll-bar size).
class TuxSettingsController {
 public:
  TuxSettingsController();
  virtual ~TuxSettingsController();
  TuxSettingsController(const TuxSettingsController&) = delete;
  TuxSettingsController& operator=(const TuxSettingsController&) = delete;

  void AddControl(TuxControl* Control);
  void RemoveControl(TuxControl* Control);
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // The hidden window; nullptr while no control is registered.
  HWND Handle() const { return FWindow; }

 protected:
  // WM_SETTINGCHANGE for SPI_SETNONCLIENTMETRICS notifies every registered
  // control whose window exists with UXM_SCROLLBARSIZECHANGED and answers 0.
  virtual void WndProc(TMessage& Message);

 private:
  void ReleaseWindow();
  std::vector<TuxControl*> FControls;
  HWND FWindow = nullptr;
  TuxFreeNotificator* FNotificator = nullptr;  // drops controls freed while registered
};

TuxSettingsController* uxSettingsController();

// Releases the settings controller, the timer window, the active timer list and
// the shared message window. Raises EInvalidOperation
// "MouseTrackingTimerList.Count <> 0" (after releasing the rest) when callers
// are still being tracked.
void uxDoneTimers();
