// Quick customizing: the window of a toolbar's mark, its add-or-remove menu
// with a check row per link, and where the window opens.
#include "bars/kxbarcustomize.h"
#include "bars/tests/kxbartest.h"

class QuickTest : public BarsFormTest {
 protected:
  TkxBarManager* M = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    M = F->BarManager1;
    M->SetStyle(bmsEnhanced);
    Pump();
  }
  TkxBarQuickControl* OpenQuick(TkxBarControl* Bar) {
    TRect mark;
    Bar->GetMarkScreenRect(mark);
    hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
    Pump();
    return dynamic_cast<TkxBarQuickControl*>(Bar->QuickControl());
  }
  // Opens the add-or-remove menu of an open quick window.
  TkxBarSubMenuControl* OpenRows(TkxBarQuickControl* Q) {
    TkxBarItemLink* sub = LinkOf(Q->ItemLinks(), Q->QuickSubItem());
    ClickLink(sub);
    return Q->ChildMenu();
  }
};

TEST_F(QuickTest, AToolbarThatFitsShowsOnlyTheAddOrRemoveEntry) {
  TkxBarQuickControl* q = OpenQuick(ToolsBar->Control());
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(kxBarGetQuickControl(), q);
  ASSERT_EQ(q->ItemLinks()->Count(), 1);
  EXPECT_EQ(q->ItemLinks()->Items(0)->Item(), q->QuickSubItem());
  EXPECT_EQ(q->QuickSubItem()->Caption(), A("添加或删除按钮(&A)"));
  EXPECT_TRUE(q->QuickSubItem()->Enabled());
  EXPECT_TRUE(q->IsQuickCustomizing());
  EXPECT_EQ(kxBarLastSoundKind(), 0);
}

TEST_F(QuickTest, TheRowsShowAndHideTheToolbarLinks) {
  TkxBarQuickControl* q = OpenQuick(ToolsBar->Control());
  ASSERT_NE(q, nullptr);
  TkxBarSubMenuControl* rows = OpenRows(q);
  ASSERT_NE(rows, nullptr);
  EXPECT_TRUE(rows->IsQuickCustomizing());
  TkxBarItemLinks* links = rows->ItemLinks();
  // a row per link, the reset entry and the customize entry
  ASSERT_EQ(links->Count(), Tools->Count() + 2);
  for (int i = 0; i < Tools->Count(); ++i) {
    EXPECT_EQ(links->Items(i)->Item(), q->QuickCustItem()) << i;
    EXPECT_EQ(links->Items(i)->OriginalLink(), Tools->Items(i)) << i;
  }
  EXPECT_EQ(links->Items(Tools->Count())->Item()->Caption(), A("重置工具栏(&R)"));
  EXPECT_TRUE(links->Items(Tools->Count())->StoredBeginGroup());
  EXPECT_EQ(links->Items(Tools->Count() + 1)->Item()->Caption(), A("自定义(&C)..."));
  EXPECT_FALSE(links->Items(Tools->Count() + 1)->StoredBeginGroup());
  // a row takes the caption of its link
  EXPECT_EQ(links->Items(0)->Control()->GetCaption(), ToolLink(F->CutButton)->Caption());
  // clicking the Cut row hides Cut and leaves the menu open with the square unticked
  TRect row = LinkScreenRect(links->Items(0));
  TPoint square{row.left + row.Height() / 2, row.top + row.Height() / 2};
  std::uint32_t ticked = hb->ScreenPixel(square.x, square.y);
  ClickLink(links->Items(0));
  EXPECT_FALSE(ToolLink(F->CutButton)->Visible());
  ASSERT_EQ(q->ChildMenu(), rows) << "the menu stays open";
  EXPECT_TRUE(IsWindowVisible(rows->Handle()));
  EXPECT_NE(hb->ScreenPixel(square.x, square.y), ticked);
  ClickLink(links->Items(0));
  EXPECT_TRUE(ToolLink(F->CutButton)->Visible());
  EXPECT_EQ(hb->ScreenPixel(square.x, square.y), ticked);
  EXPECT_TRUE(F->Log.empty()) << "no command ran";
}

TEST_F(QuickTest, WithoutQuickCustomizingTheEntryIsDisabledAndNeverFills) {
  ToolsBar->SetAllowQuickCustomizing(false);
  ToolsBar->SetShowMark(true);
  F->SetWidth(240);
  Pump();
  TkxBarQuickControl* q = OpenQuick(ToolsBar->Control());
  ASSERT_NE(q, nullptr);
  EXPECT_FALSE(q->QuickSubItem()->Enabled());
  EXPECT_GT(q->ItemLinks()->Count(), 1) << "the hidden links are there";
  OpenRows(q);
  EXPECT_EQ(q->ChildMenu(), nullptr);
  EXPECT_EQ(q->QuickSubItem()->ItemLinks()->Count(), 0);
  EXPECT_EQ(q->QuickSubItem()->OnPopup, TNotifyEvent());
}

TEST_F(QuickTest, AFloatingToolbarNearTheScreenEdgesKeepsTheWindowOnTheWorkArea) {
  M->SetStyle(bmsFlat);  // its window opens left-aligned under the mark
  ToolsBar->SetVisible(false);
  ToolsBar->SetDockingStyle(dsNone);
  struct Case {
    int Left, Top;
    bool AtRight, Above;
  };
  TRect work = kxBarGetWorkArea(TPoint{0, 0});
  ToolsBar->SetVisible(true);
  Pump();
  ASSERT_NE(ToolsBar->Control(), nullptr);
  // the bottom case: the mark (in the floating caption) ends on the work area's lower edge
  TRect first;
  ToolsBar->Control()->GetMarkScreenRect(first);
  int markBottom = int(first.bottom) - ToolsBar->Control()->Top();
  for (Case c : {Case{100, 100, false, false}, Case{int(work.right) - 200, 100, true, false},
                 Case{100, int(work.bottom) - markBottom, false, true}}) {
    SCOPED_TRACE(c.Left * 10000 + c.Top);
    ToolsBar->SetVisible(false);
    ToolsBar->SetFloatLeft(c.Left);
    ToolsBar->SetFloatTop(c.Top);
    ToolsBar->SetVisible(true);
    Pump();
    TkxBarControl* bar = ToolsBar->Control();
    ASSERT_NE(bar, nullptr);
    TRect mark;
    bar->GetMarkScreenRect(mark);
    TkxBarQuickControl* q = OpenQuick(bar);
    ASSERT_NE(q, nullptr);
    TRect w = q->GetWindowRect();
    if (c.AtRight) EXPECT_EQ(w.right, work.right);
    else EXPECT_EQ(w.left, mark.left);
    if (c.Above) EXPECT_EQ(w.bottom, mark.top);
    else EXPECT_EQ(w.top, mark.bottom);
    q->Close();
    Pump();
    EXPECT_EQ(bar->QuickControl(), nullptr);
    EXPECT_EQ(kxBarGetQuickControl(), nullptr);
  }
}

namespace kxbarquick_test {
int gBoxes = 0;
int AnswerOk(HWND, const AnsiString&, const AnsiString&, UINT) {
  ++gBoxes;
  return IDOK;
}
}  // namespace kxbarquick_test

// Choosing "重置工具栏(&R)" closes the menu chain, which frees the quick
// window; the reset still asks and runs.
TEST_F(QuickTest, TheResetEntryResetsTheToolbarAfterTheWindowClosed) {
  kxbarquick_test::gBoxes = 0;
  SetMessageBoxProc(&kxbarquick_test::AnswerOk);
  int designed = Tools->Count();
  ToolLink(F->PasteButton)->SetItem(nullptr);
  Pump();
  ASSERT_EQ(Tools->Count(), designed - 1);
  TkxBarQuickControl* q = OpenQuick(ToolsBar->Control());
  ASSERT_NE(q, nullptr);
  TkxBarSubMenuControl* rows = OpenRows(q);
  ASSERT_NE(rows, nullptr);
  TkxBarItemLink* reset = nullptr;
  for (int i = 0; i < rows->ItemLinks()->Count(); ++i)
    if (rows->ItemLinks()->Items(i)->Item()->Caption() == A("重置工具栏(&R)")) reset = rows->ItemLinks()->Items(i);
  ASSERT_NE(reset, nullptr);
  ClickLink(reset);
  Pump();
  SetMessageBoxProc(nullptr);
  EXPECT_EQ(kxbarquick_test::gBoxes, 1);
  EXPECT_EQ(kxBarGetQuickControl(), nullptr);
  EXPECT_EQ(Tools->Count(), designed);
}
