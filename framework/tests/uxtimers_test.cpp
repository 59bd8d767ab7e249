// The shared-window timers on the virtual clock, mouse-leave tracking by
// polling, the nested hourglass and the settings controller, on the headless
// backend.
#include "framework/uxtimers.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/uxcontrols.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxwinutils.h"
#include "platform/classes/filer.h"
#include "platform/controls/tests/ctltest.h"

namespace {

struct TickLog {
  int Count = 0;
  TuxTimer* FreeOnTick = nullptr;  // freed by the handler
  void Tick(TObject*) {
    ++Count;
    if (FreeOnTick) {
      TuxTimer* t = FreeOnTick;
      FreeOnTick = nullptr;
      delete t;
    }
  }
  TNotifyEvent Handler() { return TNotifyEvent(this, &TickLog::Tick); }
};

class UxTimerTest : public CtlTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(uxActiveTimerCount(), 0);
    EXPECT_NO_THROW(uxDoneTimers());
    CtlTest::TearDown();
  }
  // Moves the virtual clock on and handles what became due.
  void Advance(std::uint32_t Ms) {
    hb->AdvanceClock(Ms);
    PvProcessMessages();
  }
};

TEST_F(UxTimerTest, FiresEveryIntervalOnTheVirtualClock) {
  TickLog log;
  TuxTimer t(nullptr);
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(t.Interval(), 1000u);
  t.SetInterval(100);
  t.SetOnTimer(log.Handler());
  EXPECT_TRUE(t.TimerOn());
  Advance(99);
  EXPECT_EQ(log.Count, 0);
  Advance(1);
  EXPECT_EQ(log.Count, 1);
  Advance(100);
  Advance(100);
  EXPECT_EQ(log.Count, 3);
}

TEST_F(UxTimerTest, NoPlatformTimerWithoutHandlerOrWhileDisabled) {
  TickLog log;
  TuxTimer t(nullptr);
  t.SetInterval(50);
  EXPECT_FALSE(t.TimerOn());  // enabled, but nothing to call
  EXPECT_EQ(uxActiveTimerCount(), 0);
  t.SetEnabled(false);
  t.SetOnTimer(log.Handler());
  EXPECT_FALSE(t.TimerOn());
  Advance(500);
  EXPECT_EQ(log.Count, 0);
  t.SetEnabled(true);
  EXPECT_TRUE(t.TimerOn());
  Advance(50);
  EXPECT_EQ(log.Count, 1);
  t.SetEnabled(false);
  EXPECT_FALSE(t.TimerOn());
  EXPECT_EQ(uxActiveTimerCount(), 0);
  Advance(500);
  EXPECT_EQ(log.Count, 1);
}

// Each restart counts the interval again from the moment of the change.
TEST_F(UxTimerTest, IntervalAndHandlerChangesRestart) {
  TickLog log;
  TuxTimer t(nullptr);
  t.SetInterval(100);
  t.SetOnTimer(log.Handler());
  Advance(60);
  t.SetInterval(50);  // restarted now: due in 50
  Advance(49);
  EXPECT_EQ(log.Count, 0);
  Advance(1);
  EXPECT_EQ(log.Count, 1);

  t.SetInterval(0);  // ignored: neither changed nor restarted
  EXPECT_EQ(t.Interval(), 50u);
  Advance(50);
  EXPECT_EQ(log.Count, 2);

  Advance(30);
  t.SetOnTimer(log.Handler());  // the same handler still restarts
  Advance(30);
  EXPECT_EQ(log.Count, 2);
  Advance(20);
  EXPECT_EQ(log.Count, 3);

  t.SetInterval(50);  // the current value: no restart
  Advance(50);
  EXPECT_EQ(log.Count, 4);
}

TEST_F(UxTimerTest, TimerFreedByItsOwnHandler) {
  TickLog log, other;
  auto* t = new TuxTimer(nullptr);
  TuxTimer keep(nullptr);
  t->SetInterval(20);
  keep.SetInterval(20);
  log.FreeOnTick = t;
  t->SetOnTimer(log.Handler());
  keep.SetOnTimer(other.Handler());
  Advance(20);
  EXPECT_EQ(log.Count, 1);
  EXPECT_EQ(other.Count, 1);
  EXPECT_EQ(uxActiveTimerCount(), 1);
  for (int i = 0; i < 5; ++i) Advance(20);
  EXPECT_EQ(log.Count, 1);
  EXPECT_EQ(other.Count, 6);
  keep.SetEnabled(false);
}

// A WM_TIMER that names a freed timer reaches nobody, not even a new timer
// that took the freed one's place in memory; a live timer's identifier still works.
TEST_F(UxTimerTest, StaleIdentifierReachesNoTimer) {
  TickLog first, second;
  auto* a = new TuxTimer(nullptr);
  a->SetOnTimer(first.Handler());
  const UINT_PTR staleID = a->TimerID();
  HWND w = uxTimerWindow()->Handle();
  PostMessageA(w, WM_TIMER, staleID, 0);  // already queued when the timer goes
  delete a;
  auto* b = new TuxTimer(nullptr);
  b->SetOnTimer(second.Handler());
  EXPECT_NE(b->TimerID(), staleID);
  PostMessageA(w, WM_TIMER, staleID, 0);
  PvProcessMessages();
  EXPECT_EQ(first.Count, 0);
  EXPECT_EQ(second.Count, 0);

  PostMessageA(w, WM_TIMER, b->TimerID(), 0);
  PvProcessMessages();
  EXPECT_EQ(second.Count, 1);

  b->SetEnabled(false);  // stopped: its own identifier is dropped too
  PostMessageA(w, WM_TIMER, b->TimerID(), 0);
  PvProcessMessages();
  EXPECT_EQ(second.Count, 1);
  delete b;
}

// The window manager was reset under a running timer: the next use of the
// timer window makes a new one and the timer goes on there.
TEST_F(UxTimerTest, RunningTimerSurvivesLossOfItsWindow) {
  TickLog log;
  TuxTimer t(nullptr);
  t.SetInterval(30);
  t.SetOnTimer(log.Handler());
  HWND old = uxTimerWindow()->Handle();
  PvResetWindowManager();
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindow(uxTimerWindow()->Handle()));
  Advance(30);
  EXPECT_EQ(log.Count, 1);
  t.SetEnabled(false);
}

// Only settings that differ from their defaults are written; they read back.
TEST_F(UxTimerTest, PublishedSettingsRoundTrip) {
  uxInitTimers();
  TuxTimer t(nullptr);
  t.SetName("Ticker");
  const AnsiString plain = WriteComponentToText(&t);
  EXPECT_EQ(plain.find("Interval"), AnsiString::npos) << plain;
  EXPECT_EQ(plain.find("Enabled"), AnsiString::npos) << plain;
  t.SetInterval(250);
  t.SetEnabled(false);
  const AnsiString text = WriteComponentToText(&t);
  EXPECT_NE(text.find("Interval = 250"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Enabled = False"), AnsiString::npos) << text;
  TuxTimer copy(nullptr);
  ReadComponentFromText(text, &copy);
  EXPECT_EQ(copy.Interval(), 250u);
  EXPECT_FALSE(copy.Enabled());
}

// ---- mouse tracking ----

// A box that counts the CM_MOUSELEAVE naming itself.
class TLeaveBox : public TBox {
 public:
  using TBox::TBox;
  int Leaves = 0;
  void CMMouseLeave(TMessage& M) {
    if (M.LParam == reinterpret_cast<LPARAM>(this)) ++Leaves;
    TBox::Dispatch(M);
  }
  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
  END_MESSAGE_MAP(TBox)
};

class TCaller : public IuxMouseTrackingCaller {
 public:
  int Leaves = 0;
  TControl* FreeOnLeave = nullptr;
  void MouseLeave() override {
    ++Leaves;
    if (FreeOnLeave) delete FreeOnLeave;
  }
};

// Inside while the client point lies left of Limit.
class TCallerEx : public IuxMouseTrackingCallerEx {
 public:
  int Leaves = 0;
  int Limit = 0;
  std::vector<TPoint> Asked;
  void MouseLeave() override { ++Leaves; }
  bool ContainsPoint(const TPoint& P) override {
    Asked.push_back(P);
    return P.x < Limit;
  }
};

class UxMouseTrackingTest : public UxTimerTest {
 protected:
  TForm* Form = nullptr;
  TLeaveBox* Box = nullptr;
  void SetUp() override {
    UxTimerTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 400, 300);
    Box = new TLeaveBox(Form);
    Box->SetBounds(10, 10, 100, 50);
    Box->SetParent(Form);
    Form->Show();
    PvProcessMessages();
  }
  void TearDown() override {
    delete Form;
    EXPECT_EQ(uxMouseTrackingCount(), 0);
    UxTimerTest::TearDown();
  }
  // Puts the cursor on a client point of the box and lets one polling pass run.
  void MoveTo(int X, int Y) {
    TPoint p = At(Box, X, Y);
    hb->MouseMove(p.x, p.y);
    PvProcessMessages();
    Advance(10);
  }
};

// Bounds that are a part of the client area: the caller hears when the mouse
// leaves that part, the control only when it leaves the whole client area.
TEST_F(UxMouseTrackingTest, LeavingTrackedPartAndLeavingTheControl) {
  TCaller caller;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 50, 50}, &caller);
  EXPECT_TRUE(uxIsMouseTracking(&caller));
  MoveTo(49, 49);
  MoveTo(20, 30);
  EXPECT_EQ(caller.Leaves, 0);
  EXPECT_TRUE(uxIsMouseTracking(&caller));

  MoveTo(70, 20);  // still on the control
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_EQ(Box->Leaves, 0);
  EXPECT_FALSE(uxIsMouseTracking(&caller));
  MoveTo(200, 20);
  EXPECT_EQ(caller.Leaves, 1);  // tracking ended with the first leave

  MoveTo(20, 20);
  BeginMouseTracking(Box, TRect{0, 0, 50, 50}, &caller);
  MoveTo(-5, 20);  // off the control altogether
  EXPECT_EQ(caller.Leaves, 2);
  EXPECT_EQ(Box->Leaves, 1);
  EXPECT_EQ(uxMouseTrackingCount(), 0);
}

TEST_F(UxMouseTrackingTest, SecondBeginKeepsFirstBounds) {
  TCaller caller;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 10, 10}, &caller);
  BeginMouseTracking(Box, TRect{0, 0, 100, 50}, &caller);
  EXPECT_EQ(uxMouseTrackingCount(), 1);
  MoveTo(30, 5);
  EXPECT_EQ(caller.Leaves, 1);
}

// A caller that answers for itself is asked in the control's client coordinates.
TEST_F(UxMouseTrackingTest, ExtendedCallerDecidesInClientCoordinates) {
  TCallerEx caller;
  caller.Limit = 30;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{}, &caller);  // empty bounds: the caller decides
  MoveTo(29, 7);
  EXPECT_EQ(caller.Leaves, 0);
  ASSERT_FALSE(caller.Asked.empty());
  EXPECT_EQ(caller.Asked.back(), (TPoint{29, 7}));
  MoveTo(30, 7);
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_EQ(Box->Leaves, 0);
}

TEST_F(UxMouseTrackingTest, ControlDestroyedEndsTracking) {
  TCaller caller;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 100, 50}, &caller);
  delete Box;
  Box = nullptr;
  EXPECT_FALSE(uxIsMouseTracking(&caller));
  hb->MouseMove(0, 0);
  PvProcessMessages();
  Advance(50);
  EXPECT_EQ(caller.Leaves, 0);
}

TEST_F(UxMouseTrackingTest, CallerDestroyedWhileTrackedEndsTracking) {
  auto caller = std::make_unique<TCaller>();
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 100, 50}, caller.get());
  caller.reset();
  EXPECT_EQ(uxMouseTrackingCount(), 0);
  MoveTo(300, 5);
}

// The caller frees the control while it is told: the polling timer goes with
// the control and nothing touches either afterwards.
TEST_F(UxMouseTrackingTest, ControlFreedByMouseLeave) {
  TCaller caller;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 100, 50}, &caller);
  caller.FreeOnLeave = Box;
  MoveTo(150, 5);
  Box = nullptr;
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_EQ(uxMouseTrackingCount(), 0);
}

TEST_F(UxMouseTrackingTest, ShutdownReportsCallersStillTracked) {
  TCaller caller;
  MoveTo(5, 5);
  BeginMouseTracking(Box, TRect{0, 0, 100, 50}, &caller);
  try {
    uxDoneTimers();
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "MouseTrackingTimerList.Count <> 0");
  }
  EndMouseTracking(&caller);
  EXPECT_NO_THROW(uxDoneTimers());
}

// ---- hourglass ----

TEST_F(UxTimerTest, HourglassNestsAndRestoresTheSavedCursor) {
  Screen->SetCursor(crCross);
  ShowHourglassCursor();
  ShowHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crCross);
  HideHourglassCursor();  // unbalanced: nothing
  EXPECT_EQ(Screen->Cursor(), crCross);
  Screen->SetCursor(crIBeam);
  ShowHourglassCursor();  // the counter did not go below 0
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crIBeam);
  Screen->SetCursor(crDefault);
}

// ---- settings controller ----

class TMetricsControl : public TuxControl {
 public:
  using TuxControl::TuxControl;
  int SizeNotices = 0;
  void WndProc(TMessage& M) override {
    if (M.Msg == UXM_SCROLLBARSIZECHANGED) ++SizeNotices;
    TuxControl::WndProc(M);
  }
};

class UxSettingsControllerTest : public UxTimerTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    UxTimerTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
  }
  void TearDown() override {
    delete Form;
    uxDoneLookAndFeel();
    UxTimerTest::TearDown();
  }
};

TEST_F(UxSettingsControllerTest, NonClientMetricsChangeReachesControlsWithWindows) {
  TuxSettingsController* c = uxSettingsController();
  const int base = c->ControlCount();
  auto* shown = NewObject<TMetricsControl>(Form);
  shown->SetParent(Form);
  shown->HandleNeeded();
  auto* hidden = NewObject<TMetricsControl>(nullptr);  // no window
  c->AddControl(shown);
  c->AddControl(shown);
  c->AddControl(hidden);
  EXPECT_EQ(c->ControlCount(), base + 2);
  ASSERT_TRUE(IsWindow(c->Handle()));
  PvProcessMessages();
  shown->SizeNotices = hidden->SizeNotices = 0;

  // The notice is sent without waiting for an answer; it arrives before the
  // setting message returns.
  EXPECT_EQ(SendMessageA(c->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0), 0);
  EXPECT_EQ(shown->SizeNotices, 1);
  EXPECT_EQ(hidden->SizeNotices, 0);
  PvProcessMessages();

  const int before = shown->SizeNotices;
  SendMessageA(c->Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(shown->SizeNotices, before);

  // A control freed while registered leaves the list by itself.
  delete hidden;
  EXPECT_EQ(c->ControlCount(), base + 1);
  c->RemoveControl(shown);
  EXPECT_EQ(c->ControlCount(), base);
  if (base == 0) {
    EXPECT_EQ(c->Handle(), nullptr);
  }
}

}  // namespace
