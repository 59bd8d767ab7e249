// Scrolling containers: ranges that follow the children, the window's bars,
// scroll messages, the wheel, focus bringing a child into view, descriptions.
#include <gtest/gtest.h>
#include "platform/classes/filer.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/tests/ctltest.h"

namespace {

class ScrollBoxTest : public CtlTest {
 protected:
  TForm* form = nullptr;
  TScrollBox* box = nullptr;
  TBox* far = nullptr;  // a child well below and right of the visible area
  void SetUp() override {
    CtlTest::SetUp();
    RegisterStandardWindowClasses();
    InitStdCtrlsProps();
    InitExtCtrlsProps();
    form = NewObject<TForm>(Application, 0);
    form->SetBounds(20, 20, 400, 300);
    box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBorderStyle(bsNone);
    box->SetBounds(10, 10, 200, 150);
    far = Add(300, 400, 60, 30);
    form->Show();
    Pump();
  }
  TBox* Add(int x, int y, int w, int h) {
    auto* b = new TBox(form);
    b->SetParent(box);
    b->SetBounds(x, y, w, h);
    return b;
  }
  bool HasBar(DWORD Bit) { return (GetWindowLongPtrA(box->Handle(), GWL_STYLE) & Bit) != 0; }
  int ClientW() { return box->ClientWidth(); }
  int ClientH() { return box->ClientHeight(); }
};

TEST_F(ScrollBoxTest, RangesFollowChildrenAndBarsShowWhenContentsDoNotFit) {
  EXPECT_EQ(box->HorzScrollBar()->Range(), 360);
  EXPECT_EQ(box->VertScrollBar()->Range(), 430);
  EXPECT_TRUE(HasBar(WS_HSCROLL));
  EXPECT_TRUE(HasBar(WS_VSCROLL));
  // Both bars take room from the client area.
  EXPECT_EQ(ClientW(), 200 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(ClientH(), 150 - GetSystemMetrics(SM_CYHSCROLL));

  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(box->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 429);
  EXPECT_EQ(int(si.nPage), ClientH());

  // Moving the child back inside removes the need for both bars.
  far->SetBounds(10, 10, 60, 30);
  EXPECT_EQ(box->VertScrollBar()->Range(), 40);
  EXPECT_FALSE(HasBar(WS_HSCROLL));
  EXPECT_FALSE(HasBar(WS_VSCROLL));
  EXPECT_EQ(ClientW(), 200);
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
}

TEST_F(ScrollBoxTest, PositionMovesChildrenAndStaysInRange) {
  TBox* near = Add(5, 5, 20, 20);
  int maxV = 430 - ClientH();
  struct Case {
    int set, expect;
  } cases[] = {{50, 50}, {0, 0}, {-10, 0}, {100000, maxV}, {maxV - 1, maxV - 1}};
  for (const Case& c : cases) {
    box->VertScrollBar()->SetPosition(c.set);
    EXPECT_EQ(box->VertScrollBar()->Position(), c.expect) << c.set;
    EXPECT_EQ(near->Top(), 5 - c.expect) << c.set;
    EXPECT_EQ(far->Top(), 400 - c.expect) << c.set;
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), c.expect) << c.set;
  }
  // The range is measured in unscrolled coordinates, whatever the position.
  EXPECT_EQ(box->VertScrollBar()->Range(), 430);
  // The window of the child moved with it.
  RECT r;
  GetWindowRect(far->Handle(), &r);
  EXPECT_EQ(r.top, box->ClientOrigin().y + far->Top());
}

TEST_F(ScrollBoxTest, ScrollMessages) {
  TControlScrollBar* v = box->VertScrollBar();
  v->SetIncrement(10);
  int page = ClientH(), maxV = 430 - page;
  struct Case {
    const char* name;
    int start;
    int code;
    int pos;
    bool tracking;
    int expect;
  } cases[] = {
      {"line down", 0, SB_LINEDOWN, 0, false, 10},
      {"line up", 25, SB_LINEUP, 0, false, 15},
      {"line up at top", 0, SB_LINEUP, 0, false, 0},
      {"page down", 0, SB_PAGEDOWN, 0, false, page},
      {"page up", 200, SB_PAGEUP, 0, false, 200 - page},
      {"page down at end", maxV, SB_PAGEDOWN, 0, false, maxV},
      {"bottom", 0, SB_BOTTOM, 0, false, maxV},
      {"top", 100, SB_TOP, 0, false, 0},
      {"thumb released", 0, SB_THUMBPOSITION, 77, false, 77},
      {"thumb dragged, no tracking", 0, SB_THUMBTRACK, 77, false, 0},
      {"thumb dragged, tracking", 0, SB_THUMBTRACK, 77, true, 77},
  };
  for (const Case& c : cases) {
    v->SetTracking(c.tracking);
    v->SetPosition(c.start);
    // The bar's own track position is what a real drag leaves behind.
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = c.start;
    SetScrollInfo(box->Handle(), SB_VERT, &si, FALSE);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(c.code, c.pos), 0);
    EXPECT_EQ(v->Position(), c.expect) << c.name;
    EXPECT_EQ(far->Top(), 400 - c.expect) << c.name;
  }
  // The horizontal bar answers WM_HSCROLL.
  box->HorzScrollBar()->SetIncrement(4);
  SendMessageA(box->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 4);
  EXPECT_EQ(far->Left(), 296);
}

TEST_F(ScrollBoxTest, ScrollBarControlsInsideStillGetTheirNotifications) {
  auto* sb = new TScrollBar(form);
  sb->SetParent(box);
  sb->SetBounds(0, 0, 100, 16);
  sb->SetParams(0, 0, 50);
  SendMessageA(box->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(sb->Handle()));
  EXPECT_EQ(sb->Position(), 1);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
}

TEST_F(ScrollBoxTest, WheelScrollsVerticallyOrHorizontallyWithShift) {
  box->VertScrollBar()->SetIncrement(5);
  int lines = Mouse->WheelScrollLines();
  TPoint p = At(box, 10, 10);
  box->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(box->VertScrollBar()->Position(), 5 * lines);
  box->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  box->Perform(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(box->HorzScrollBar()->Position(), 8 * lines);
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);

  // A handler that takes the wheel keeps the contents still.
  struct H {
    void Wheel(TObject*, TShiftState, int, TPoint, bool& Handled) { Handled = true; }
  } h;
  box->OnMouseWheel = TMouseWheelEvent(&h, &H::Wheel);
  box->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
}

TEST_F(ScrollBoxTest, FocusedChildIsScrolledIntoView) {
  TBox* first = Add(0, 0, 20, 20);
  first->SetTabStop(true);
  far->SetTabStop(true);
  far->SetFocus();
  Pump();
  ASSERT_TRUE(far->Focused());
  // Its bottom-right corner meets the client area's.
  EXPECT_EQ(far->Top() + far->Height(), ClientH());
  EXPECT_EQ(far->Left() + far->Width(), ClientW());

  // Back to one near the origin: it is brought in at the top-left.
  first->SetFocus();
  Pump();
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
  EXPECT_EQ(first->Top(), 0);

  // A child taller than the area shows its top.
  TBox* tall = Add(0, 150, 20, 1000);
  box->ScrollInView(tall);
  EXPECT_EQ(tall->Top(), 0);

  // Without AutoScroll the focus leaves the position alone.
  box->SetAutoScroll(false);
  box->VertScrollBar()->SetRange(2000);
  box->VertScrollBar()->SetPosition(0);
  far->SetFocus();
  Pump();
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
}

TEST_F(ScrollBoxTest, HiddenBarDoesNotScroll) {
  box->VertScrollBar()->SetPosition(40);
  box->VertScrollBar()->SetVisible(false);
  EXPECT_FALSE(HasBar(WS_VSCROLL));
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(far->Top(), 400);
  box->VertScrollBar()->SetPosition(40);
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
}

TEST_F(ScrollBoxTest, AlignedChildrenScrollWithTheContents) {
  far->SetBounds(0, 500, 60, 30);
  auto* top = new TBox(form);
  top->SetParent(box);
  top->SetHeight(25);
  top->SetAlign(alTop);
  EXPECT_EQ(top->Top(), 0);
  box->VertScrollBar()->SetPosition(30);
  EXPECT_EQ(top->Top(), -30);
  EXPECT_EQ(far->Top(), 470);
  // A realign keeps the scrolled layout.
  box->Realign();
  EXPECT_EQ(top->Top(), -30);
  EXPECT_EQ(far->Top(), 470);
}

TEST_F(ScrollBoxTest, ManualRangeTurnsAutoScrollOffAndRejectsBadValues) {
  box->HorzScrollBar()->SetRange(1000);
  EXPECT_FALSE(box->AutoScroll());
  EXPECT_EQ(box->HorzScrollBar()->Range(), 1000);
  // Children no longer change the range.
  far->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(box->HorzScrollBar()->Range(), 1000);
  EXPECT_TRUE(HasBar(WS_HSCROLL));
  EXPECT_THROW(box->HorzScrollBar()->SetRange(-1), EInvalidOperation);
  EXPECT_THROW(box->HorzScrollBar()->SetIncrement(0), EInvalidOperation);
  EXPECT_EQ(box->HorzScrollBar()->Range(), 1000);
}

TEST_F(ScrollBoxTest, FormsScrollWithAutoScroll) {
  // The fixture's form does not scroll: its bars are left alone.
  EXPECT_FALSE(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  TForm* f = NewObject<TForm>(Application, 0);
  f->SetBounds(0, 0, 200, 150);
  auto* b = new TBox(f);
  b->SetParent(f);
  b->SetBounds(10, 300, 50, 20);
  f->SetAutoScroll(true);
  f->Show();
  Pump();
  EXPECT_TRUE(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(f->VertScrollBar()->Range(), 320);
  SendMessageA(f->Handle(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(b->Top() + b->Height(), f->ClientHeight());
  // Turning AutoScroll off drops the range and brings the contents home.
  f->SetAutoScroll(false);
  EXPECT_EQ(f->VertScrollBar()->Range(), 0);
  EXPECT_EQ(b->Top(), 300);
  EXPECT_FALSE(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollBoxTest, DescriptionKeepsRangeOnlyWithoutAutoScroll) {
  form->SetName("Form1");
  box->SetName("Box1");
  box->VertScrollBar()->SetIncrement(12);
  AnsiString text = WriteComponentToText(form);
  EXPECT_NE(text.find("VertScrollBar.Increment = 12"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Range"), AnsiString::npos) << text;

  box->VertScrollBar()->SetRange(900);
  box->VertScrollBar()->SetPosition(100);
  text = WriteComponentToText(form);
  EXPECT_NE(text.find("VertScrollBar.Range = 900"), AnsiString::npos) << text;
  EXPECT_NE(text.find("VertScrollBar.Position = 100"), AnsiString::npos) << text;
  EXPECT_NE(text.find("AutoScroll = False"), AnsiString::npos) << text;

  // Read back: the stored range and position hold, and the bar shows. (The
  // class registry's RegisterClass is callable beside the window manager's.)
  RegisterClass(TScrollBox::StaticClass());
  form->SetName("");
  TForm* f2 = NewObject<TForm>(Application, 0);
  ReadComponentFromText(text, f2);
  auto* b2 = dynamic_cast<TScrollBox*>(f2->FindComponent("Box1"));
  ASSERT_NE(b2, nullptr);
  f2->Show();
  Pump();
  EXPECT_FALSE(b2->AutoScroll());
  EXPECT_EQ(b2->VertScrollBar()->Range(), 900);
  EXPECT_EQ(b2->VertScrollBar()->Position(), 100);
  EXPECT_EQ(b2->VertScrollBar()->Increment(), 12);
  EXPECT_TRUE(GetWindowLongPtrA(b2->Handle(), GWL_STYLE) & WS_VSCROLL);
}

}  // namespace
