// The base owner-drawn control on the headless backend: mouse enter and leave,
// focus on click, dialog codes, geometry, the scroll-bar protocol, the wheel
// and a control freed by its own event handler.
#include "framework/uxcontrols.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/uxclasses.h"
#include "framework/uxscrollbar.h"
#include "framework/uxtimers.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/controls/timers.h"

namespace {

// A control whose content has a fixed size; it reports its ranges from the
// client area the protocol offers.
class TContentControl : public TuxControl {
 public:
  explicit TContentControl(TComponent* AOwner) : TuxControl(AOwner) {}
  int ContentW = 0, ContentH = 0;
  bool HideWhenFits = false;
  bool AllowHide = true;
  bool Flip = false;  // answers the opposite of what it saw: never settles
  int Passes = 0;
  std::vector<int> Scrolls;  // direction codes 1..4 seen by Scroll
  void InitScrollBarsParameters() override {
    ++Passes;
    if (Flip) {
      SetScrollBarInfo(sbVertical, 0, 100, 1, IsVScrollBarVisible() ? 200 : 10, 0, true, true);
      return;
    }
    TRect c = GetClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, ContentW - 1, 1, c.Width(), 0, true, AllowHide);
    SetScrollBarInfo(sbVertical, 0, ContentH - 1, 1, c.Height(), 0, true, AllowHide);
  }
  bool HidesScrollBarWhenContentFits(TScrollBarKind) override { return HideWhenFits; }
  void Scroll(TScrollBarKind Kind, TScrollCode Code, int&) override {
    Scrolls.push_back(Kind == sbHorizontal ? (Code == scLineUp ? 1 : 2) : (Code == scLineUp ? 3 : 4));
  }
};

struct Log {
  std::vector<std::string> Items;
  void Enter(TObject*, TControl* C) { Items.push_back("enter " + C->Name()); }
  void Leave(TObject*, TControl* C) { Items.push_back("leave " + C->Name()); }
  void Focus(TObject* S) { Items.push_back("focus " + static_cast<TComponent*>(S)->Name()); }
  void Down(TObject*, TMouseButton, TShiftState, int, int) { Items.push_back("down"); }
};

class UxControlTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 400, 300);
  }
  void TearDown() override {
    delete Form;
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
  TContentControl* Add(const char* Name, int L, int T, int W, int H) {
    auto* c = NewObject<TContentControl>(Form);
    c->SetName(Name);
    c->SetBounds(L, T, W, H);
    c->SetParent(Form);
    return c;
  }
  // Handles the queue, then one idle pass (where the mouse enter and leave
  // notifications are made) without waiting for more input.
  void PumpIdle() {
    Pump();
    struct NoWait {
      void Idle(TObject*, bool& Done) { Done = false; }
    } nw;
    Application->OnIdle = TIdleEvent(&nw, &NoWait::Idle);
    Application->HandleMessage();
    Application->OnIdle = nullptr;
  }
  void ShowForm() {
    Form->Show();
    Pump();
  }
};

TEST_F(UxControlTest, MouseEnterAndLeaveNameTheControl) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  TContentControl* b = Add("B", 150, 0, 100, 100);
  ShowForm();
  Log log;
  for (TuxControl* c : {a, b}) {
    c->OnMouseEnter = TuxControlEvent(&log, &Log::Enter);
    c->OnMouseLeave = TuxControlEvent(&log, &Log::Leave);
  }
  TPoint pa = At(a, 50, 50), pb = At(b, 50, 50);
  hb->MouseMove(pa.x, pa.y);
  PumpIdle();
  hb->MouseMove(pb.x, pb.y);
  PumpIdle();
  EXPECT_EQ(log.Items, (std::vector<std::string>{"enter A", "leave A", "enter B"}));
  for (TuxControl* c : {a, b}) c->OnMouseEnter = c->OnMouseLeave = nullptr;
}

TEST_F(UxControlTest, ClickFocusRules) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  TContentControl* b = Add("B", 150, 0, 100, 100);
  ShowForm();
  Log log;
  a->OnFocusChanged = TNotifyEvent(&log, &Log::Focus);
  b->OnFocusChanged = TNotifyEvent(&log, &Log::Focus);
  b->OnMouseDown = TMouseEvent(&log, &Log::Down);
  TPoint pa = At(a, 10, 10), pb = At(b, 10, 10);
  hb->Click(pa.x, pa.y);
  Pump();
  EXPECT_TRUE(a->Focused());
  // FocusOnClick off: the press still reaches OnMouseDown, the focus stays.
  b->SetFocusOnClick(false);
  hb->Click(pb.x, pb.y);
  Pump();
  EXPECT_TRUE(a->Focused());
  EXPECT_FALSE(b->Focused());
  b->SetFocusOnClick(true);
  hb->AdvanceClock(2000);  // not a double click
  hb->Click(pb.x, pb.y);
  Pump();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(log.Items, (std::vector<std::string>{"down", "focus A", "focus B", "down"}));
  EXPECT_EQ(b->MouseDownPos(), (TPoint{10, 10}));
  EXPECT_FALSE(b->MouseButtonPressed());
  a->OnFocusChanged = b->OnFocusChanged = nullptr;  // the log dies before the form
  b->OnMouseDown = nullptr;
}

TEST_F(UxControlTest, DoubleClickDoesNotMoveTheFocus) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  TContentControl* b = Add("B", 150, 0, 100, 100);
  ShowForm();
  a->SetFocus();
  Pump();
  TPoint pb = At(b, 10, 10);
  // The second press of a double click alone must not focus.
  hb->DoubleClick(pb.x, pb.y);
  Pump();
  EXPECT_TRUE(b->Focused());  // the first press of the pair focuses
  a->SetFocus();
  Pump();
  b->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(a->Focused());
}

TEST_F(UxControlTest, DialogCodesFollowWantedKeys) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  ShowForm();
  struct Case {
    TuxWantedKeys keys;
    bool ctrl;
    LRESULT code;
  } cases[] = {
      {{}, false, 0},
      {{wkArrows, wkTab}, false, 3},
      {{wkArrows, wkTab}, true, 1},
      {{wkAll, wkChars}, false, 132},
  };
  for (const Case& c : cases) {
    a->SetWantedKeys(c.keys);
    if (c.ctrl) hb->KeyDown(VK_CONTROL);
    Pump();
    EXPECT_EQ(a->Perform(WM_GETDLGCODE, 0, 0), c.code) << c.code;
    if (c.ctrl) hb->KeyUp(VK_CONTROL);
    Pump();
  }
}

TEST_F(UxControlTest, ClientBoundsLessBorderAndBars) {
  TContentControl* a = Add("A", 0, 0, 100, 50);
  ShowForm();
  EXPECT_FALSE(a->IsHScrollBarVisible());
  EXPECT_EQ(a->GetClientBounds(), (TRect{0, 0, 100, 50}));
  a->SetBorderStyle(uxcbsDefault);
  int b = a->GetBorderSize();
  EXPECT_EQ(b, a->GetPainter()->GetBorderWidth());
  EXPECT_EQ(a->GetClientBounds(), (TRect{b, b, 100 - b, 50 - b}));
  a->SetExplicitBounds(TRect{10, 10, 60, 40});
  EXPECT_EQ(a->GetBounds(), (TRect{10, 10, 60, 40}));
}

TEST_F(UxControlTest, NoScrollBarsWhenTheDescendantSaysSo) {
  struct TPlain : TContentControl {
    using TContentControl::TContentControl;
    bool HasScrollBars() override { return false; }
  };
  auto* p = NewObject<TPlain>(Form);
  p->SetBounds(0, 0, 80, 40);
  p->SetParent(Form);
  p->ContentH = 1000;
  ShowForm();
  p->UpdateScrollBars();
  EXPECT_EQ(p->HScrollBar(), nullptr);
  EXPECT_FALSE(p->IsVScrollBarVisible());
  EXPECT_EQ(p->GetClientBounds(), (TRect{0, 0, 80, 40}));
}

TEST_F(UxControlTest, ScrollBarVisibilitySettles) {
  TContentControl* a = Add("A", 0, 0, 200, 100);
  ShowForm();
  int sw = GetSystemMetrics(SM_CXVSCROLL), sh = GetSystemMetrics(SM_CYHSCROLL);
  struct Case {
    const char* name;
    int w, h;
    TScrollStyle style;
    bool hideWhenFits, allowHide;
    bool hVisible, vVisible, vEnabled;
  } cases[] = {
      {"fits", 200, 100, ssBoth, false, true, false, false, true},
      {"taller: vertical only", 150, 110, ssBoth, false, true, false, true, true},
      // The vertical bar narrows the client area so the width needs a bar too.
      {"taller, then wider", 200 - sw / 2, 110, ssBoth, false, true, true, true, true},
      {"ssVertical never shows the horizontal", 1000, 1000, ssVertical, false, true, false, true, true},
      {"fits only without both bars", 200 - 2, 100 - 2, ssBoth, true, true, false, false, true},
      {"may not hide: visible but disabled", 50, 50, ssBoth, false, false, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->SetScrollBars(c.style);
    a->HideWhenFits = c.hideWhenFits;
    a->AllowHide = c.allowHide;
    a->ContentW = c.w;
    a->ContentH = c.h;
    // Start from no bars each time.
    a->HScrollBar()->SetVisible(false);
    a->VScrollBar()->SetVisible(false);
    a->UpdateScrollBars();
    EXPECT_EQ(a->IsHScrollBarVisible(), c.hVisible);
    EXPECT_EQ(a->IsVScrollBarVisible(), c.vVisible);
    if (c.vVisible) {
      EXPECT_EQ(a->VScrollBar()->Enabled(), c.vEnabled);
    }
    EXPECT_EQ(a->SizeGrip()->Visible(), c.hVisible && c.vVisible);
    if (c.vVisible && c.hVisible) {
      EXPECT_EQ(a->VScrollBar()->BoundsRect(), (TRect{200 - sw, 0, 200, 100 - sh}));
      EXPECT_EQ(a->SizeGrip()->BoundsRect(), (TRect{200 - sw, 100 - sh, 200, 100}));
    }
  }
}

TEST_F(UxControlTest, FlippingDescendantDoesNotLoopForEver) {
  TContentControl* a = Add("A", 0, 0, 200, 100);
  ShowForm();
  a->Flip = true;
  a->Passes = 0;
  a->UpdateScrollBars();
  EXPECT_LT(a->Passes, 100);
}

TEST_F(UxControlTest, BatchedUpdatesRunOnce) {
  TContentControl* a = Add("A", 0, 0, 200, 100);
  ShowForm();
  a->ContentH = 500;
  a->BeginScrollBarsUpdate();
  a->BeginScrollBarsUpdate();
  a->Passes = 0;
  a->SetBounds(0, 0, 150, 90);
  a->UpdateScrollBars();
  EXPECT_EQ(a->Passes, 0);
  EXPECT_FALSE(a->IsVScrollBarVisible());
  a->EndScrollBarsUpdate();
  EXPECT_EQ(a->Passes, 0);
  a->EndScrollBarsUpdate();
  EXPECT_GT(a->Passes, 0);
  EXPECT_TRUE(a->IsVScrollBarVisible());
  a->EndScrollBarsUpdate();  // unbalanced end: ignored
}

TEST_F(UxControlTest, WheelScrollsTheSystemLineCount) {
  TContentControl* a = Add("A", 0, 0, 200, 100);
  a->ContentH = 1000;
  ShowForm();
  a->UpdateScrollBars();
  ASSERT_TRUE(a->IsVScrollBarVisible());
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  a->SetFocus();
  TPoint p = At(a, 20, 20);
  hb->Wheel(p.x, p.y, -WHEEL_DELTA);
  Pump();
  EXPECT_EQ(a->Scrolls, std::vector<int>(lines, 4));
  a->Scrolls.clear();
  hb->Wheel(p.x, p.y, 2 * WHEEL_DELTA);  // the magnitude is not used
  Pump();
  EXPECT_EQ(a->Scrolls, std::vector<int>(lines, 3));
}

TEST_F(UxControlTest, FreedByItsOwnMouseDownHandler) {
  struct TSelfFreeing : TContentControl {
    using TContentControl::TContentControl;
    int* Before = nullptr;
    void BeforeMouseDown(TMouseButton, TShiftState, int, int) override { ++*Before; }
    void AfterMouseDown(TMouseButton, int, int) override { ++*Before; }
  };
  auto* c = NewObject<TSelfFreeing>(Form);
  c->SetBounds(0, 0, 50, 50);
  c->SetParent(Form);
  int calls = 0;
  c->Before = &calls;
  struct Killer {
    TControl* Victim;
    void Down(TObject*, TMouseButton, TShiftState, int, int) { delete Victim; }
  } k{c};
  c->OnMouseDown = TMouseEvent(&k, &Killer::Down);
  ShowForm();
  TPoint p = At(c, 5, 5);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(calls, 1);  // BeforeMouseDown ran, the post-processing did not
  EXPECT_EQ(Form->ControlCount(), 0);
}

TEST_F(UxControlTest, PopupMenuTakesOnlyMenus) {
  TContentControl* a = Add("A", 0, 0, 50, 50);
  auto* menu = new TPopupMenu(Form);
  auto* other = new TTimer(Form);
  a->SetPopupMenu(other);
  EXPECT_EQ(a->PopupMenu(), nullptr);
  a->SetPopupMenu(menu);
  EXPECT_EQ(a->PopupMenu(), menu);
  EXPECT_EQ(a->GetPopupMenu(), menu);
  delete menu;  // free notification clears the reference
  EXPECT_EQ(a->PopupMenu(), nullptr);
}

// A control whose content is 1000 pixels high and that scrolls it: the bars
// report the top line it shows.
class TScroller : public TuxControl {
 public:
  explicit TScroller(TComponent* AOwner) : TuxControl(AOwner) {}
  int Top = 0;
  std::vector<TScrollCode> Codes;
  void InitScrollBarsParameters() override {
    SetScrollBarInfo(sbVertical, 0, 999, 10, GetClientBounds().Height(), Top, true, true);
  }
  void Scroll(TScrollBarKind Kind, TScrollCode Code, int& Pos) override {
    if (Kind != sbVertical) return;
    Codes.push_back(Code);
    if (Code == scLineUp || Code == scLineDown || Code == scPageUp || Code == scPageDown || Code == scTrack ||
        Code == scPosition)
      Top = Pos;
    UpdateScrollBars();
  }
};

TEST_F(UxControlTest, InternalBarDrivenByClicksAndDrags) {
  auto* other = Add("Other", 250, 0, 50, 50);
  auto* c = NewObject<TScroller>(Form);
  c->SetBounds(0, 0, 200, 150);
  c->SetParent(Form);
  ShowForm();
  c->UpdateScrollBars();
  ASSERT_TRUE(c->IsVScrollBarVisible());
  other->SetFocus();
  Pump();
  TuxControlScrollBar* bar = c->VScrollBar();
  // A click on the down arrow: one line down, and the control takes the focus.
  TRect down = bar->LineDownRect();
  TPoint p = At(bar, down.left + 3, down.top + 3);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(c->Top, 10);
  EXPECT_EQ(bar->Position(), 10);
  EXPECT_TRUE(c->Focused());
  // A click below the thumb: one page.
  hb->AdvanceClock(2000);
  TRect page = bar->PageDownRect();
  p = At(bar, 5, page.bottom - 2);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(c->Top, 10 + bar->LargeChange());
  // Dragging the thumb to the end of the track shows the last page.
  hb->AdvanceClock(2000);
  TRect t = bar->ThumbRect();
  p = At(bar, 5, t.top + 2);
  hb->Drag(p.x, p.y, p.x, p.y + (bar->LineDownRect().top - t.top), 5);
  Pump();
  EXPECT_EQ(c->Top, 1000 - c->GetClientBounds().Height());
  EXPECT_EQ(bar->Position(), c->Top);
  EXPECT_EQ(c->Codes.back(), scEndScroll);
  // FocusOnClick off: the bar still scrolls, the focus stays where it was.
  other->SetFocus();
  c->SetFocusOnClick(false);
  hb->AdvanceClock(2000);
  down = bar->LineUpRect();
  p = At(bar, down.left + 3, down.top + 3);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(c->Top, 1000 - c->GetClientBounds().Height() - 10);
}

TEST_F(UxControlTest, MouseLeaveHeardOnceThroughTheTrackingPoll) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  ShowForm();
  Log log;
  a->OnMouseEnter = TuxControlEvent(&log, &Log::Enter);
  a->OnMouseLeave = TuxControlEvent(&log, &Log::Leave);
  TPoint in = At(a, 50, 50);
  hb->MouseMove(in.x, in.y);
  PumpIdle();
  ASSERT_EQ(log.Items, (std::vector<std::string>{"enter A"}));
  // Out of the whole form, with no idle pass: the poll notices it.
  hb->MouseMove(5, 5);
  Pump();
  hb->AdvanceClock(20);
  Pump();
  EXPECT_EQ(log.Items, (std::vector<std::string>{"enter A", "leave A"}));
  // The application's own idle pass later does not make a second leave.
  PumpIdle();
  EXPECT_EQ(log.Items, (std::vector<std::string>{"enter A", "leave A"}));
  // Back in: entered again.
  hb->MouseMove(in.x, in.y);
  PumpIdle();
  EXPECT_EQ(log.Items.back(), "enter A");
  a->OnMouseEnter = a->OnMouseLeave = nullptr;
}

struct DesignerLog {
  static std::vector<TCustomForm*>* Calls;
  static void Modified(TCustomForm* F) { Calls->push_back(F); }
};
std::vector<TCustomForm*>* DesignerLog::Calls = nullptr;

TEST_F(UxControlTest, DesignTimeBehaviour) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  TContentControl* b = Add("B", 150, 0, 100, 100);
  a->ContentH = 1000;
  // A menu of the framework's own kind: its shortcut test counts the keys it sees.
  struct TOwnMenu : TComponent, IuxPopupMenu {
    using TComponent::TComponent;
    int Asked = 0;
    bool IsShortCut(TWMKey& M) override { return M.CharCode() == 'G' && ++Asked; }
    void Popup(int, int) override {}
  };
  auto* menu = new TOwnMenu(Form);
  a->SetPopupMenu(menu);
  ASSERT_EQ(a->PopupMenu(), menu);
  ShowForm();
  a->UpdateScrollBars();
  b->SetFocus();
  Pump();
  std::vector<TCustomForm*> calls;
  DesignerLog::Calls = &calls;
  uxSetDesignerModifiedProc(&DesignerLog::Modified);
  // At run time: shortcuts of the pop-up menu work, the designer hears nothing.
  a->SetFocus();
  Pump();
  hb->Key('G', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(menu->Asked, 1);
  a->NotifyDesignerModified();
  EXPECT_TRUE(calls.empty());

  Form->SetDesigning(true);
  ASSERT_TRUE(a->IsDesigning());
  // No focus on click, no pop-up menu shortcuts.
  b->SetFocus();
  Pump();
  TPoint p = At(a, 20, 20);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(a->Focused());
  a->SetFocus();
  Pump();
  hb->Key('G', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(menu->Asked, 1);
  // The internal bars take the mouse in the designer; the control only while
  // it is busy with a press of its own.
  EXPECT_EQ(a->VScrollBar()->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(2, 2)), 1);
  EXPECT_EQ(a->Perform(CM_DESIGNHITTEST, MK_LBUTTON, MAKELPARAM(20, 20)), 0);
  // The designer's notice, but not while the form is being destroyed.
  a->NotifyDesignerModified();
  EXPECT_EQ(calls, (std::vector<TCustomForm*>{Form}));
  Form->Destroying();
  a->NotifyDesignerModified();
  EXPECT_EQ(calls.size(), 1u);
  uxSetDesignerModifiedProc(nullptr);
  DesignerLog::Calls = nullptr;
}

TEST_F(UxControlTest, SystemScrollBarSizeReachesEveryControl) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  TContentControl* b = Add("B", 150, 0, 100, 100);
  a->ContentH = b->ContentH = 1000;
  ShowForm();
  int w = GetSystemMetrics(SM_CXVSCROLL);
  for (TContentControl* c : {a, b}) {
    c->UpdateScrollBars();
    c->VScrollBar()->SetWidth(w + 7);  // as if the system size had been another
  }
  HWND h = uxSettingsController()->Handle();
  ASSERT_NE(h, nullptr);
  SendMessageA(h, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  Pump();
  for (TContentControl* c : {a, b}) {
    EXPECT_EQ(c->VScrollBar()->Width(), w);
    EXPECT_EQ(c->GetClientBounds().right, 100 - w);
  }
  int before = uxSettingsController()->ControlCount();
  delete b;
  EXPECT_EQ(uxSettingsController()->ControlCount(), before - 1);
}

class TNoFocus : public TContentControl {
  PV_CLASS(TNoFocus, TuxControl)
 public:
  using OwnerType = TComponent;
  explicit TNoFocus(TComponent* AOwner) : TContentControl(AOwner) {}
  bool MayFocus() override { return false; }
};

TEST_F(UxControlTest, ConstructionAskTheDescendant) {
  // Made through the platform's constructor call, the descendant's answers count.
  auto* n = NewObject<TNoFocus>(Form);
  EXPECT_FALSE(n->TabStop());
  EXPECT_NE(n->HScrollBar(), nullptr);
  EXPECT_NE(n->VScrollBar(), nullptr);
  // A weak link to a control is cleared when the control goes.
  TuxObjectLink* link = uxAddObjectLink(n);
  delete n;
  EXPECT_EQ(link->Ref, nullptr);
  uxRemoveObjectLink(link);
}

TEST_F(UxControlTest, FontListenersToldInOrderWhileTheyLeave) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  struct Listener : IuxFontListener {
    std::vector<std::string>* Log;
    std::string Name;
    TuxControl* Control = nullptr;
    IuxFontListener* Drop = nullptr;
    void FontChanged(TObject*, TFont*) override {
      Log->push_back(Name);
      if (Drop) Control->RemoveFontListener(Drop);
    }
  };
  std::vector<std::string> log;
  Listener l1, l2, l3;
  l1.Log = l2.Log = l3.Log = &log;
  l1.Name = "1";
  l2.Name = "2";
  l3.Name = "3";
  l1.Control = a;
  l1.Drop = &l2;  // the first removes the second before it is told
  a->AddFontListener(&l1);
  a->AddFontListener(&l2);
  a->AddFontListener(&l3);
  a->Font()->SetSize(a->Font()->Size() + 2);
  EXPECT_EQ(log, (std::vector<std::string>{"1", "3"}));
  a->RemoveFontListener(&l1);
  a->RemoveFontListener(&l3);
}

TEST_F(UxControlTest, WidePageKeepsAPositiveStep) {
  TContentControl* a = Add("A", 0, 0, 100, 100);
  ShowForm();
  a->SetScrollBarInfo(sbVertical, 0, 1000000, 0, 40000, 0, true, true);
  a->VScrollBar()->ApplyData();
  EXPECT_EQ(a->VScrollBar()->LargeChange(), 32767);
  EXPECT_EQ(a->VScrollBar()->SmallChange(), 1);
  a->VScrollBar()->DoScroll(scPageDown);
  EXPECT_EQ(a->VScrollBar()->Position(), 32767);
}

TEST_F(UxControlTest, PopupMenuWithoutAutoPopupIsNotShown) {
  TContentControl* a = Add("A", 0, 0, 50, 50);
  auto* menu = new TPopupMenu(Form);
  int shown = 0;
  struct Counter {
    int* N;
    void Popup(TObject*) { ++*N; }
  } counter{&shown};
  menu->OnPopup = TNotifyEvent(&counter, &Counter::Popup);
  menu->SetAutoPopup(false);
  EXPECT_FALSE(ShowPopupMenu(a, menu, 10, 10));
  EXPECT_FALSE(ShowPopupMenu(a, nullptr, 10, 10));
  EXPECT_EQ(shown, 0);
}

// A control that takes no focus and has no scroll bars.
class TQuietControl : public TuxControl {
  PV_CLASS(TQuietControl, TuxControl)
 public:
  explicit TQuietControl(TComponent* AOwner) : TuxControl(AOwner) {}
  bool MayFocus() override { return false; }
  bool HasScrollBars() override { return false; }
};

// A control whose constructor takes it out of the tab order itself.
class TUntabbedControl : public TuxControl {
  PV_CLASS(TUntabbedControl, TuxControl)
 public:
  explicit TUntabbedControl(TComponent* AOwner) : TuxControl(AOwner) { SetTabStop(false); }
};

template <class T>
concept MadeWithPlainNew = requires(TComponent* Owner) { new T(Owner); };
// TabStop and the internal scroll bars follow the descendant's answers only
// once its constructor has run; a plain new, which would skip that step, does
// not compile.
static_assert(!MadeWithPlainNew<TuxControl> && !MadeWithPlainNew<TQuietControl> &&
              !MadeWithPlainNew<TContentControl>);
static_assert(MadeWithPlainNew<TCustomControl>);  // the check does see a plain new

TEST_F(UxControlTest, FactoryAndCreationByNameSettleTabStopAndScrollBarsAlike) {
  RegisterClasses({TQuietControl::StaticClass(), TUntabbedControl::StaticClass()});
  struct Case {
    TClass Cls;
    TuxControl* (*Make)(TComponent* Owner);
    bool TabStop, ScrollBars;
  };
  const Case Cases[] = {
      {TuxControl::StaticClass(), [](TComponent* O) { return NewObject<TuxControl>(O); }, true, true},
      {TQuietControl::StaticClass(), [](TComponent* O) -> TuxControl* { return NewObject<TQuietControl>(O); },
       false, false},
      {TUntabbedControl::StaticClass(),
       [](TComponent* O) -> TuxControl* { return NewObject<TUntabbedControl>(O); }, false, true},
  };
  for (const Case& C : Cases) {
    TuxControl* ByFactory = C.Make(Form);
    auto* ByName = dynamic_cast<TuxControl*>(CreateObject(C.Cls, Form));
    ASSERT_NE(ByName, nullptr) << C.Cls->Name;
    for (TuxControl* X : {ByFactory, ByName}) {
      SCOPED_TRACE(std::string(C.Cls->Name) + (X == ByFactory ? " by NewObject" : " by name"));
      EXPECT_EQ(X->ClassType(), C.Cls);
      EXPECT_FALSE(X->HandleAllocated());  // all of it before the window exists
      EXPECT_EQ(X->TabStop(), C.TabStop);
      EXPECT_EQ(X->HScrollBar() != nullptr, C.ScrollBars);
      EXPECT_EQ(X->VScrollBar() != nullptr, C.ScrollBars);
      EXPECT_EQ(X->SizeGrip() != nullptr, C.ScrollBars);
      X->SetParent(Form);
    }
  }
  ShowForm();
  // and the window's creation changes none of it
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* X = dynamic_cast<TuxControl*>(Form->Components(i))) {
      EXPECT_TRUE(X->HandleAllocated());
      EXPECT_EQ(X->TabStop(), X->ClassType() == TuxControl::StaticClass()) << X->ClassName();
      EXPECT_EQ(X->HScrollBar() != nullptr, X->ClassType() != TQuietControl::StaticClass()) << X->ClassName();
    }
}

}  // namespace
