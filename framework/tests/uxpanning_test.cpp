// Middle-button panning of the base control on the headless backend: the
// direction and pace follow the mouse's distance from the press point, the
// neutral zone never scrolls, and the mode ends on a click, Escape or the
// release that follows a move out of the zone.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/uxcontrols.h"
#include "framework/uxscrollbar.h"
#include "framework/uxwinutils.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/controls/timers.h"

namespace {

// A control with as many bars as asked for; it logs every scroll step with its
// direction (1 left, 2 right, 3 up, 4 down), the time and the cursor shown.
class TPanned : public TuxControl {
 public:
  explicit TPanned(TComponent* AOwner) : TuxControl(AOwner) {}
  bool H = true, V = true;
  struct Step {
    int Direction;
    DWORD Time;
    HCURSOR Cursor;
    bool Scrolling;
  };
  std::vector<Step> Steps;
  std::size_t StopAfter = 0;       // queue Escape once this many steps ran
  HeadlessBackend* Backend = nullptr;
  void InitScrollBarsParameters() override {
    SetScrollBarInfo(sbHorizontal, 0, H ? 999 : 0, 1, 100, 0, true, true);
    SetScrollBarInfo(sbVertical, 0, V ? 999 : 0, 1, 100, 0, true, true);
  }
  void Scroll(TScrollBarKind Kind, TScrollCode Code, int&) override {
    int d = Kind == sbHorizontal ? (Code == scLineUp ? 1 : 2) : (Code == scLineUp ? 3 : 4);
    Steps.push_back({d, GetTickCount(), ::GetCursor(), ScrollingContent()});
    if (StopAfter && Steps.size() == StopAfter) Backend->Key(VK_ESCAPE);
  }
};

// Queues input at a chosen time while a modal loop runs (its WM_TIMER is
// dispatched by the loop like any other message).
struct Later {
  TTimer* Timer = nullptr;
  std::function<void()> Action;
  bool SawScrolling = false;
  TPanned* Control = nullptr;
  Later(TComponent* Owner, Cardinal Ms, std::function<void()> A) : Action(std::move(A)) {
    Timer = new TTimer(Owner);
    Timer->SetInterval(Ms);
    Timer->SetOnTimer(TNotifyEvent(this, &Later::Fire));
  }
  void Fire(TObject*) {
    Timer->SetEnabled(false);
    if (Control) SawScrolling = Control->ScrollingContent();
    Action();
  }
};

class PanningTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TPanned* C = nullptr;
  std::unique_ptr<Later> Watchdog;  // a test that goes wrong fails instead of scrolling for ever
  int AnchorWidth = 28;  // the drawn anchor picture, unless the program has its own
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 500, 400);
    C = NewObject<TPanned>(Form);
    C->Backend = hb;
    C->SetBounds(10, 10, 300, 200);
    C->SetParent(Form);
    Form->Show();
    Pump();
    Watchdog = std::make_unique<Later>(Form, 60000, [this] { hb->Key(VK_ESCAPE); });
    // Distinct shapes for the panning cursors, so the one shown can be told.
    const LPCSTR shapes[] = {IDC_SIZEALL, IDC_SIZEWE, IDC_SIZENS, IDC_UPARROW, IDC_HAND, IDC_NO, IDC_CROSS};
    for (int i = 0; i < 7; ++i) Screen->SetCursors(crUxFullScroll + i, LoadCursorA(nullptr, shapes[i]));
    if (FindResourceData(RT_BITMAP, "UX_FULLSCROLLBITMAP")) {
      TBitmap b;
      b.LoadFromResourceName("UX_FULLSCROLLBITMAP");
      AnchorWidth = b.Width();
    }
  }
  void TearDown() override {
    delete Form;
    Watchdog.reset();
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
  void Bars(bool H, bool V) {
    C->H = H;
    C->V = V;
    C->UpdateScrollBars();
    ASSERT_EQ(C->IsHScrollBarVisible(), H);
    ASSERT_EQ(C->IsVScrollBarVisible(), V);
  }
  TPoint Anchor() { return At(C, 100, 80); }
  // Ticks of 20 ms between steps at a distance, as the pace rule gives them.
  int TicksPerStep(int Distance) { return 13 - std::clamp((Distance - AnchorWidth / 2) / 5 + 1, 1, 12); }
};

TEST_F(PanningTest, DirectionAndPaceFollowTheMouse) {
  struct Case {
    const char* name;
    bool h, v;
    int dx, dy;
    int direction;
    int distance;  // along the chosen axis
    TCursor cursor;
  } cases[] = {
      {"far below", true, true, 0, 150, 4, 150, crUxDownScroll},
      {"far above", true, true, 5, -150, 3, 150, crUxUpScroll},
      {"right beats a smaller vertical move", true, true, 150, 20, 2, 150, crUxRightScroll},
      {"left", true, true, -150, -20, 1, 150, crUxLeftScroll},
      {"a little below: slower", true, true, 0, 40, 4, 40, crUxDownScroll},
      {"no horizontal bar: vertical even when sideways", false, true, 150, 30, 4, 30, crUxDownScroll},
      {"only the horizontal bar", true, false, 60, 150, 2, 60, crUxRightScroll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bars(c.h, c.v);
    C->Steps.clear();
    C->StopAfter = 3;
    TPoint a = Anchor();
    hb->MouseDown(a.x, a.y, HeadlessBackend::Middle);
    hb->MouseMove(a.x + c.dx, a.y + c.dy);
    Pump();
    ASSERT_EQ(C->Steps.size(), 3u);
    for (const TPanned::Step& s : C->Steps) {
      EXPECT_EQ(s.Direction, c.direction);
      EXPECT_EQ(s.Cursor, Screen->Cursors(c.cursor));
      EXPECT_TRUE(s.Scrolling);
    }
    EXPECT_EQ(int(C->Steps[2].Time - C->Steps[1].Time), 20 * TicksPerStep(c.distance));
    EXPECT_FALSE(C->ScrollingContent());
    EXPECT_EQ(GetCapture(), nullptr);
    hb->MouseUp(a.x + c.dx, a.y + c.dy, HeadlessBackend::Middle);
    Pump();
    hb->AdvanceClock(2000);  // the next press is no double click
  }
}

TEST_F(PanningTest, NeutralZoneNeverScrollsAndTheMarkerGoesAway) {
  Bars(true, true);
  TPoint a = Anchor();
  HWND marker = nullptr;
  // Inside the zone for a while, then a left click ends the mode.
  Later end(Form, 1000, [&] {
    POINT p{a.x, a.y};
    marker = WindowFromPoint(p);
    hb->Click(a.x + 3, a.y - 3);
  });
  end.Control = C;
  hb->MouseDown(a.x, a.y, HeadlessBackend::Middle);
  hb->MouseMove(a.x + 3, a.y - 3);
  hb->MouseMove(a.x - AnchorWidth / 2 + 1, a.y + AnchorWidth / 2 - 1);
  Pump();
  EXPECT_TRUE(end.SawScrolling);
  EXPECT_TRUE(C->Steps.empty());
  EXPECT_FALSE(C->ScrollingContent());
  // A marker window stood over the press point while the mode ran.
  EXPECT_NE(marker, nullptr);
  EXPECT_NE(marker, C->Handle());
  EXPECT_FALSE(IsWindow(marker));
  POINT p{a.x, a.y};
  EXPECT_EQ(WindowFromPoint(p), C->Handle());
}

TEST_F(PanningTest, MiddleClickInPlaceKeepsTheModeUntilTheNextClick) {
  Bars(false, true);
  TPoint a = Anchor();
  int clicks = 0;
  struct Counter {
    int* N;
    void Click(TObject*) { ++*N; }
  } counter{&clicks};
  C->OnClick = TNotifyEvent(&counter, &Counter::Click);
  Later end(Form, 500, [&] { hb->Click(a.x, a.y); });
  end.Control = C;
  hb->Click(a.x, a.y, HeadlessBackend::Middle);  // press and release in place
  Pump();
  EXPECT_TRUE(end.SawScrolling);   // the release did not end it
  EXPECT_FALSE(C->ScrollingContent());
  EXPECT_EQ(clicks, 0);            // the ending click goes nowhere
  C->OnClick = nullptr;
}

TEST_F(PanningTest, ReleaseAfterLeavingTheZoneEnds) {
  Bars(true, true);
  TPoint a = Anchor();
  // The way back comes later: queued at once, the moves would merge into one.
  Later back(Form, 100, [&] {
    hb->MouseMove(a.x, a.y);
    hb->MouseUp(a.x, a.y, HeadlessBackend::Middle);
  });
  hb->MouseDown(a.x, a.y, HeadlessBackend::Middle);
  hb->MouseMove(a.x, a.y + 200);
  Pump();
  EXPECT_FALSE(C->ScrollingContent());
  EXPECT_FALSE(C->Steps.empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PanningTest, NothingWithoutVisibleBars) {
  Bars(false, false);
  TPoint a = Anchor();
  hb->MouseDown(a.x, a.y, HeadlessBackend::Middle);
  hb->MouseMove(a.x, a.y + 200);
  hb->MouseUp(a.x, a.y + 200, HeadlessBackend::Middle);
  Pump();
  EXPECT_TRUE(C->Steps.empty());
  EXPECT_FALSE(C->ScrollingContent());
}

TEST_F(PanningTest, ControlFreedWhileScrolling) {
  Bars(true, true);
  struct TSelfFreeing : TPanned {
    using TPanned::TPanned;
    void Scroll(TScrollBarKind, TScrollCode, int&) override { delete this; }
  };
  auto* f = NewObject<TSelfFreeing>(Form);
  f->SetBounds(320, 10, 150, 150);
  f->SetParent(Form);
  f->UpdateScrollBars();
  Pump();
  TPoint a = At(f, 50, 50);
  int before = Form->ControlCount();
  hb->MouseDown(a.x, a.y, HeadlessBackend::Middle);
  hb->MouseMove(a.x, a.y + 200);
  Pump();
  EXPECT_EQ(Form->ControlCount(), before - 1);
  EXPECT_EQ(GetCapture(), nullptr);
  hb->MouseUp(a.x, a.y + 200, HeadlessBackend::Middle);
  Pump();
}

}  // namespace
