// Tab layout, scrolling and navigation with the plain test painter: rows and
// their balancing, the single scrollable row and its navigator buttons, the
// side each row is drawn on, the mouse, the wheel, the keyboard, the arrow
// timer, the close button and the go-to-tab menu.
#include "pagecontrol/tests/pctest.h"

namespace {

using Widths = std::vector<std::vector<int>>;

class PcLayoutTest : public PcTest {
 protected:
  TuxCustomTabControl* Shown(int Width, int Height, std::vector<std::string> Captions, int Style = 101) {
    auto* C = MakeControl(Width, Height, Captions, Style);
    Form->Show();
    Pump();
    return C;
  }
  // Screen point of the middle of a visible tab.
  TPoint TabPoint(TuxCustomTabControl* C, int VisibleIndex) {
    const TRect R = C->VisibleTab(VisibleIndex)->VisibleRect();
    return At(C, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }
  TPoint ButtonPoint(TuxCustomTabControl* C, TuxPCNavigatorButton B) {
    for (auto& E : Painter(C)->FButtons)
      if (E.first == B) return At(C, (E.second.left + E.second.right) / 2, (E.second.top + E.second.bottom) / 2);
    ADD_FAILURE() << "button not shown";
    return {0, 0};
  }
};

TEST_F(PcLayoutTest, RowsAreFilledInOrderThenBalancedAndStretched) {
  struct Case {
    int RowLength;
    std::vector<std::string> Tabs;
    bool Ragged;
    Widths Expected;
  } Cases[] = {
      // The last tab does not fit the first row; no move would lower the cost.
      {120, {"50", "50", "100"}, true, {{50, 50}, {100}}},
      {120, {"50", "50", "100"}, false, {{60, 60}, {120}}},
      // Filled {60,20,20},{50}; balancing moves one tab down (cost 1300 instead of 2500).
      {100, {"60", "20", "20", "50"}, true, {{60, 20}, {20, 50}}},
      {100, {"60", "20", "20", "50"}, false, {{75, 25}, {28, 72}}},
      // A tab as long as a row gets the row's length and a row of its own.
      {100, {"30", "150", "30"}, true, {{30}, {100}, {30}}},
  };
  for (const Case& K : Cases) {
    auto* C = MakeControl(K.RowLength, 200, K.Tabs);
    C->SetRaggedRight(K.Ragged);
    C->SetMultiLine(true);
    EXPECT_EQ(Rows(C), K.Expected) << "row length " << K.RowLength << (K.Ragged ? " ragged" : "");
    EXPECT_EQ(C->RowCount(), int(K.Expected.size()));
    EXPECT_TRUE(C->ShownNavigatorButtons().Empty());
    delete C;
  }
}

TEST_F(PcLayoutTest, SingleRowShowsButtonsOnlyWhenTabsOverflow) {
  auto* C = MakeControl(200, 100, {"50", "50", "50"});
  C->SetOptions(C->Options() + TuxPCOptions{pcoGoDialog});
  EXPECT_TRUE(C->ShownNavigatorButtons().Empty());
  EXPECT_EQ(C->FirstVisibleTab(), 0);
  EXPECT_EQ(C->LastShownTab(), 2);
  EXPECT_TRUE(C->LastTabFullyShown());
  C->Tabs()->Add("50");
  C->Tabs()->Add("50");
  EXPECT_EQ(C->ShownNavigatorButtons(), (TuxPCNavigatorButtons{nbTopLeft, nbBottomRight, nbGoDialog}));
  EXPECT_EQ(C->NavigatorButtonState(nbTopLeft), nbsDisabled);
  EXPECT_EQ(C->NavigatorButtonState(nbBottomRight), nbsNormal);
  EXPECT_EQ(C->LastShownTab(), 2);  // 140 pixels of row: the third tab is cut
  EXPECT_FALSE(C->LastTabFullyShown());
  // With pcoNoArrows only the go button remains.
  C->SetOptions(C->Options() + TuxPCOptions{pcoNoArrows, pcoCloseButton});
  EXPECT_EQ(C->ShownNavigatorButtons(), (TuxPCNavigatorButtons{nbGoDialog, nbClose}));
}

TEST_F(PcLayoutTest, ScrollingToTheEndAndWideningMovesBack) {
  auto* C = MakeControl(200, 100, {"50", "50", "50", "50", "50"});
  for (int i = 0; i < 10; ++i) C->ScrollTabs(1);
  EXPECT_EQ(C->FirstVisibleTab(), 2);  // 160 pixels: the last three tabs
  EXPECT_TRUE(C->LastTabFullyShown());
  EXPECT_EQ(C->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_EQ(C->NavigatorButtonState(nbTopLeft), nbsNormal);
  C->SetWidth(240);  // 200 pixels: four tabs fit, no empty space after the last
  EXPECT_EQ(C->FirstVisibleTab(), 1);
  C->SetWidth(400);
  EXPECT_EQ(C->FirstVisibleTab(), 0);
  EXPECT_TRUE(C->ShownNavigatorButtons().Empty());
  // Making the current tab visible scrolls the row.
  C->SetWidth(200);
  C->SetTabIndex(4);
  EXPECT_LE(C->FirstVisibleTab(), 4);
  EXPECT_EQ(C->LastShownTab(), 4);
  C->SetTabIndex(0);
  EXPECT_EQ(C->FirstVisibleTab(), 0);
}

TEST_F(PcLayoutTest, MultiLineShowsNoButtonsUnlessItFitsOneRow) {
  auto* C = MakeControl(100, 200, {"60", "60", "60"});
  C->SetOptions(C->Options() + TuxPCOptions{pcoCloseButton, pcoGoDialog});
  C->SetMultiLine(true);
  EXPECT_EQ(C->RowCount(), 3);
  EXPECT_TRUE(C->ShownNavigatorButtons().Empty());
  C->SetWidth(400);
  EXPECT_EQ(C->RowCount(), 1);
  EXPECT_EQ(C->ShownNavigatorButtons(), TuxPCNavigatorButtons{nbClose});
}

TEST_F(PcLayoutTest, RowsAroundThePage) {
  // Three rows of one tab each, at the top of a 100-pixel-wide control.
  auto* C = MakeControl(100, 200, {"60", "60", "60"});
  C->SetMultiLine(true);
  auto DrawnRows = [&] {
    std::vector<int> R;
    for (int i = 0; i < 3; ++i) R.push_back(C->VisibleTab(i)->DrawnRow);
    return R;
  };
  // The main tab's row moves next to the page (the last slot at the top).
  EXPECT_EQ(DrawnRows(), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(C->NearRowCount(), 3);
  EXPECT_EQ(C->VisibleTab(0)->BasePosition.y, 40);
  C->SetTabIndex(1);
  EXPECT_EQ(DrawnRows(), (std::vector<int>{1, 2, 0}));
  // ScrollOpposite: the rows after the main tab's row go below the page.
  C->SetScrollOpposite(true);
  C->SetTabIndex(0);
  EXPECT_EQ(C->NearRowCount(), 1);
  EXPECT_EQ(DrawnRows(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(C->VisibleTab(0)->BasePosition.y, 0);
  EXPECT_EQ(C->VisibleTab(1)->BasePosition.y, 160);
  EXPECT_EQ(C->VisibleTab(2)->BasePosition.y, 180);
  EXPECT_EQ(C->VisibleTab(2)->Side(), tpBottom);
  EXPECT_EQ(C->NearTabArea(), pcRect(0, 0, 100, 20));
  EXPECT_EQ(C->FarTabArea(), pcRect(0, 160, 100, 200));
  // At the bottom the rows mirror: the first slot is the one next to the page.
  C->SetScrollOpposite(false);
  C->SetTabPosition(tpBottom);
  EXPECT_EQ(C->NearRowCount(), 0);
  EXPECT_EQ(C->VisibleTab(0)->BasePosition.y, 140);  // the main row, next to the page
}

TEST_F(PcLayoutTest, VerticalRowsRunBottomToTopUnlessTextRunsDown) {
  auto* C = MakeControl(100, 200, {"50", "50"});
  C->SetTabPosition(tpLeft);
  EXPECT_TRUE(C->IsReversedOrder());
  EXPECT_EQ(C->VisibleTab(0)->NormalRect(), pcRect(0, 150, 20, 200));
  EXPECT_EQ(C->VisibleTab(1)->NormalRect(), pcRect(0, 100, 20, 150));
  C->SetOptions(C->Options() + TuxPCOptions{pcoTopToBottomText});
  EXPECT_FALSE(C->IsReversedOrder());
  EXPECT_EQ(C->VisibleTab(0)->NormalRect(), pcRect(0, 0, 20, 50));
  C->SetTabPosition(tpRight);
  EXPECT_EQ(C->VisibleTab(1)->NormalRect(), pcRect(80, 50, 100, 100));
  EXPECT_EQ(C->VisibleTab(1)->Side(), tpRight);
  EXPECT_EQ(C->VisibleTab(1)->DrawKind(), 8);
}

TEST_F(PcLayoutTest, KeyboardNavigation) {
  auto* C = Shown(400, 100, {"50", "50", "50", "50"});
  C->Tabs()->Tabs(1)->SetEnabled(false);
  C->SetFocus();
  Pump();
  struct Step {
    unsigned Key;
    unsigned Mods;
    int Expected;
  } Steps[] = {
      {VK_RIGHT, 0, 2},                                   // the disabled tab is skipped
      {VK_RIGHT, 0, 3}, {VK_RIGHT, 0, 3},                 // no wrapping with arrows
      {VK_TAB, HeadlessBackend::Ctrl, 0},                 // Ctrl+Tab wraps
      {VK_TAB, HeadlessBackend::Ctrl | HeadlessBackend::Shift, 3},
      {VK_LEFT, 0, 2},  {VK_UP, 0, 0},  {VK_END, 0, 3}, {VK_HOME, 0, 0}, {VK_DOWN, 0, 2},
  };
  for (const Step& S : Steps) {
    hb->Key(S.Key, S.Mods);
    Pump();
    EXPECT_EQ(C->TabIndex(), S.Expected) << "key " << S.Key;
  }
  // Right on the last tab is used although nothing moves; Alt combinations are not.
  C->SetTabIndex(3);
  Word Key = VK_RIGHT;
  EXPECT_TRUE(C->ProcessKey(Key, TShiftState()));
  Key = VK_RIGHT;
  EXPECT_FALSE(C->ProcessKey(Key, TShiftState{ssAlt}));
  Key = VK_TAB;
  EXPECT_FALSE(C->ProcessKey(Key, TShiftState()));
}

TEST_F(PcLayoutTest, CtrlTabReachesTheTabsFromAControlInside) {
  auto* C = Shown(400, 200, {"50", "50"});
  auto* Inner = new TBox(Form);
  Inner->SetParent(C);
  Inner->SetBounds(10, 40, 50, 20);
  Inner->SetTabStop(true);
  Pump();
  Inner->SetFocus();
  Pump();
  hb->Key(VK_TAB, HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(C->TabIndex(), 1);
}

TEST_F(PcLayoutTest, AcceleratorsAndHiddenTabs) {
  auto* C = Shown(400, 100, {"&Alpha", "&Beta", "&Gamma"});
  C->Tabs()->Tabs(1)->SetEnabled(false);
  EXPECT_EQ(C->Perform(CM_DIALOGCHAR, 'g', 0), 1);
  EXPECT_EQ(C->TabIndex(), 2);
  EXPECT_EQ(C->Perform(CM_DIALOGCHAR, 'b', 0), 0);  // a disabled tab is not chosen
  EXPECT_EQ(C->TabIndex(), 2);
  // Hidden tabs: no hits, no keys, the page takes the whole control.
  C->SetHideTabs(true);
  EXPECT_EQ(C->TabAt(10, 10), -1);
  Word Key = VK_LEFT;
  EXPECT_FALSE(C->ProcessKey(Key, TShiftState()));
  EXPECT_EQ(C->Painter()->GetDisplayRect(), pcRect(0, 0, 400, 100));
}

TEST_F(PcLayoutTest, ButtonStyleKeysMoveATrackingMark) {
  auto* C = Shown(400, 100, {"50", "50", "50"}, 102);
  Word Key = VK_RIGHT;
  EXPECT_TRUE(C->ProcessKey(Key, TShiftState()));
  EXPECT_EQ(C->TrackedTab(), 1);
  EXPECT_EQ(C->TabIndex(), 0);
  Key = VK_RETURN;
  EXPECT_TRUE(C->ProcessKey(Key, TShiftState()));
  EXPECT_EQ(C->TabIndex(), 1);
  EXPECT_EQ(C->TrackedTab(), -1);
  Key = VK_SPACE;
  EXPECT_FALSE(C->ProcessKey(Key, TShiftState()));  // nothing tracked
  Key = VK_TAB;  // Ctrl+Tab still selects
  EXPECT_TRUE(C->ProcessKey(Key, TShiftState{ssCtrl}));
  EXPECT_EQ(C->TabIndex(), 2);
}

TEST_F(PcLayoutTest, ClicksSelectTabs) {
  auto* C = Shown(400, 100, {"50", "50", "50"});
  C->Tabs()->Tabs(2)->SetEnabled(false);
  const TPoint P1 = TabPoint(C, 1), P2 = TabPoint(C, 2);
  hb->Click(P1.x, P1.y);
  Pump();
  EXPECT_EQ(C->TabIndex(), 1);
  hb->AdvanceClock(1000);
  hb->Click(P2.x, P2.y);  // disabled
  Pump();
  EXPECT_EQ(C->TabIndex(), 1);
  // Styles whose tabs act as buttons select on release over the pressed tab.
  C->SetStyle(102);
  const TPoint Q0 = TabPoint(C, 0);
  hb->AdvanceClock(1000);
  hb->MouseDown(Q0.x, Q0.y);
  Pump();
  EXPECT_EQ(C->PressedTab(), 0);
  EXPECT_EQ(C->TabIndex(), 1);
  hb->MouseUp(Q0.x, Q0.y);
  Pump();
  EXPECT_EQ(C->TabIndex(), 0);
  EXPECT_EQ(C->PressedTab(), -1);
  hb->AdvanceClock(1000);
  hb->MouseDown(P1.x, P1.y);
  hb->MouseMove(At(C, 300, 80).x, At(C, 300, 80).y);
  hb->MouseUp(At(C, 300, 80).x, At(C, 300, 80).y);
  Pump();
  EXPECT_EQ(C->TabIndex(), 0);
  EXPECT_EQ(C->PressedTab(), -1);
}

TEST_F(PcLayoutTest, HotTrackingFollowsTheMouse) {
  auto* C = Shown(400, 100, {"50", "50", "50"});
  C->Tabs()->Tabs(2)->SetEnabled(false);
  const TPoint P1 = TabPoint(C, 1), P2 = TabPoint(C, 2);
  hb->MouseMove(P1.x, P1.y);
  Pump();
  EXPECT_EQ(C->HotTab(), -1);  // HotTrack is off
  C->SetHotTrack(true);
  EXPECT_EQ(C->HotTab(), 1);
  hb->MouseMove(P2.x, P2.y);
  Pump();
  EXPECT_EQ(C->HotTab(), -1);  // a disabled tab is never hot
}

TEST_F(PcLayoutTest, WheelScrollsOverTheRow) {
  auto* C = Shown(200, 100, {"50", "50", "50", "50", "50"});
  const TPoint OnRow = At(C, 20, 10), Below = At(C, 20, 60);
  C->Perform(WM_MOUSEWHEEL, WPARAM(std::uint16_t(-120)) << 16, MAKELONG(WORD(Below.x), WORD(Below.y)));
  EXPECT_EQ(C->FirstVisibleTab(), 0);
  C->Perform(WM_MOUSEWHEEL, WPARAM(std::uint16_t(-120)) << 16, MAKELONG(WORD(OnRow.x), WORD(OnRow.y)));
  EXPECT_EQ(C->FirstVisibleTab(), 1);
  C->Perform(WM_MOUSEWHEEL, WPARAM(120) << 16, MAKELONG(WORD(OnRow.x), WORD(OnRow.y)));
  EXPECT_EQ(C->FirstVisibleTab(), 0);
}

TEST_F(PcLayoutTest, HeldArrowRepeatsUntilDisabled) {
  auto* C = Shown(200, 100, {"50", "50", "50", "50", "50", "50"});
  const TPoint A = ButtonPoint(C, nbBottomRight);
  hb->MouseMove(A.x, A.y);
  hb->MouseDown(A.x, A.y);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 1);  // at once
  EXPECT_EQ(C->NavigatorButtonState(nbBottomRight), nbsPressed);
  hb->AdvanceClock(299);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 1);
  hb->AdvanceClock(1);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 2);  // 300 ms later
  hb->AdvanceClock(150);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 3);  // then every 150 ms, until the arrow is disabled
  hb->AdvanceClock(150);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 3);
  EXPECT_EQ(C->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_FALSE(C->ArrowTimer()->Enabled());
  hb->MouseUp(A.x, A.y);
  Pump();
  // The other arrow scrolls back once per click.
  const TPoint B = ButtonPoint(C, nbTopLeft);
  hb->AdvanceClock(1000);
  hb->Click(B.x, B.y);
  Pump();
  EXPECT_EQ(C->FirstVisibleTab(), 2);
  EXPECT_FALSE(C->ArrowTimer()->Enabled());
}

struct CloseLog {
  bool Allow = false;
  int Asked = 0;
  void CanClose(TObject*, bool& ACanClose) {
    ++Asked;
    ACanClose = Allow;
  }
};

TEST_F(PcLayoutTest, CloseButtonAsksFirst) {
  auto* C = Shown(400, 100, {"50", "50"});
  C->SetOptions(C->Options() + TuxPCOptions{pcoCloseButton});
  CloseLog L;
  C->OnCanClose = TuxCanCloseEvent(&L, &CloseLog::CanClose);
  const TPoint X = ButtonPoint(C, nbClose);
  hb->Click(X.x, X.y);
  Pump();
  EXPECT_EQ(L.Asked, 1);
  EXPECT_EQ(C->Tabs()->Count(), 2);
  L.Allow = true;
  hb->AdvanceClock(1000);
  hb->Click(X.x, X.y);
  Pump();
  EXPECT_EQ(C->Tabs()->Count(), 1);
  EXPECT_EQ(C->TabIndex(), 0);
  hb->AdvanceClock(1000);
  hb->Click(X.x, X.y);
  Pump();
  EXPECT_EQ(C->Tabs()->Count(), 0);
  EXPECT_EQ(C->TabIndex(), -1);
}

TEST_F(PcLayoutTest, GoMenuListsEnabledVisibleTabs) {
  EXPECT_EQ(uxPCRemoveAccelerators("&Abc&&d&"), "Abc&d");
  auto* C = Shown(200, 100, {"50 &zeta", "50 beta", "50 gamma", "50 alpha", "50 hidden", "50 off"});
  C->SetOptions(C->Options() + TuxPCOptions{pcoGoDialog});
  C->Tabs()->Tabs(4)->SetVisible(false);
  C->Tabs()->Tabs(5)->SetEnabled(false);
  auto Captions = [&] {
    std::vector<std::string> R;
    TMenuItem* Items = C->GoDialog()->Items();
    for (int i = 0; i < Items->Count(); ++i) R.push_back(Items->Items(i)->Caption());
    return R;
  };
  // The menu opens at the go button; Escape closes it and resets the button.
  const TPoint G = ButtonPoint(C, nbGoDialog);
  hb->Click(G.x, G.y);
  hb->Key(VK_ESCAPE);  // read by the menu's own loop
  Pump();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"50 &zeta", "50 beta", "50 gamma", "50 alpha"}));
  EXPECT_FALSE(C->GoDialogShowing());
  EXPECT_NE(C->NavigatorButtonState(nbGoDialog), nbsPressed);
  EXPECT_TRUE(C->PressedNavigatorButtons().Empty());
  // Sorted by the caption without accelerators; choosing an item makes its tab current.
  C->SetOptions(C->Options() + TuxPCOptions{pcoSort});
  hb->AdvanceClock(1000);
  hb->Click(G.x, G.y);
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"50 alpha", "50 beta", "50 gamma", "50 &zeta"}));
  EXPECT_EQ(C->TabIndex(), 1);
  EXPECT_FALSE(C->GoDialogShowing());
}

}  // namespace
