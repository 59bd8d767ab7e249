// The tab control's model: the current tab and its events, hidden tabs, the
// image index rule, style changes, option changes and the errors of the lists.
#include "pagecontrol/tests/pctest.h"

namespace {

struct ChangeLog {
  std::vector<std::string> Items;
  bool Allow = true;
  TuxCustomTabControl* Control = nullptr;
  int DeleteOnChanging = -1;  // a tab index the OnChanging handler deletes
  void Changing(TObject*, bool& AllowChange) {
    Items.push_back("changing");
    if (DeleteOnChanging >= 0) {
      Control->Tabs()->Delete(DeleteOnChanging);
      DeleteOnChanging = -1;
    }
    AllowChange = Allow;
  }
  void Changed(TObject*) { Items.push_back("change " + std::to_string(Control->TabIndex())); }
  void ImageIndex(TObject*, int TabIndex, int& Index) { Index = TabIndex == 0 ? -5 : Index; }
};

using PcModelTest = PcTest;

TEST_F(PcModelTest, FirstTabBecomesCurrentWithoutEvents) {
  auto* C = MakeControl(300, 100, {});
  ChangeLog L;
  L.Control = C;
  C->OnChange = TNotifyEvent(&L, &ChangeLog::Changed);
  C->OnChanging = TuxTabChangingEvent(&L, &ChangeLog::Changing);
  EXPECT_EQ(C->TabIndex(), -1);
  EXPECT_EQ(C->MainTab(), -1);
  C->Tabs()->Add("50");
  EXPECT_EQ(C->TabIndex(), 0);
  EXPECT_EQ(C->MainTab(), 0);
  C->Tabs()->Add("50");
  EXPECT_EQ(C->TabIndex(), 0);
  EXPECT_TRUE(L.Items.empty());
  C->SetTabIndex(1);
  EXPECT_EQ(L.Items, (std::vector<std::string>{"changing", "change 1"}));
  // Out of range and unchanged values are ignored without events.
  L.Items.clear();
  C->SetTabIndex(2);
  C->SetTabIndex(-2);
  C->SetTabIndex(1);
  EXPECT_TRUE(L.Items.empty());
  EXPECT_EQ(C->TabIndex(), 1);
  // A refusal leaves the tab, and a locked control asks nobody.
  L.Allow = false;
  C->SetTabIndex(0);
  EXPECT_EQ(C->TabIndex(), 1);
  C->LockChanges();
  C->SetTabIndex(0);
  C->UnlockChanges();
  C->UnlockChanges();  // never below zero
  EXPECT_EQ(C->ChangeLockCount(), 0);
  EXPECT_EQ(C->TabIndex(), 0);
  EXPECT_EQ(L.Items, (std::vector<std::string>{"changing"}));
}

TEST_F(PcModelTest, TabRemovedByTheChangingHandlerLeavesNoDanglingIndex) {
  auto* C = MakeControl(300, 100, {"50", "50", "50"});
  ChangeLog L;
  L.Control = C;
  C->OnChanging = TuxTabChangingEvent(&L, &ChangeLog::Changing);
  C->OnChange = TNotifyEvent(&L, &ChangeLog::Changed);
  // The handler removes the very tab asked for: the change is dropped.
  L.DeleteOnChanging = 2;
  C->SetTabIndex(2);
  EXPECT_EQ(C->Tabs()->Count(), 2);
  EXPECT_EQ(C->TabIndex(), 0);
  // The handler removes the current tab: the new value still names a tab.
  L.DeleteOnChanging = 0;
  C->SetTabIndex(1);
  EXPECT_EQ(C->Tabs()->Count(), 1);
  EXPECT_LT(C->TabIndex(), C->Tabs()->Count());
  EXPECT_LT(C->MainTab(), C->VisibleTabs()->Count());
  EXPECT_LT(C->HotTab(), C->VisibleTabs()->Count());
  // Every visible index the control hands out names a visible tab.
  C->Tabs()->Clear();
  EXPECT_EQ(C->TabIndex(), -1);
  EXPECT_EQ(C->MainTab(), -1);
  EXPECT_EQ(C->FirstVisibleTab(), -1);
  EXPECT_EQ(C->LastShownTab(), -1);
}

TEST_F(PcModelTest, HiddenCurrentTabStaysCurrentInThePlainControl) {
  auto* C = MakeControl(400, 100, {"50", "50", "50"});
  C->SetTabIndex(2);
  C->Tabs()->Tabs(2)->SetVisible(false);
  EXPECT_EQ(C->TabIndex(), 2);
  EXPECT_EQ(C->MainTab(), 1);  // the last visible tab takes its place
  C->Tabs()->Tabs(2)->SetVisible(true);
  C->Tabs()->Tabs(1)->SetVisible(false);
  C->SetTabIndex(1);
  EXPECT_EQ(C->MainTab(), 1);  // where the hidden tab would be inserted
  EXPECT_EQ(C->VisibleTab(1)->Index(), 2);
}

TEST_F(PcModelTest, ImageIndexNeedsAnImageOfTheList) {
  auto* C = MakeControl(400, 100, {"a", "b", "c", "d"});
  EXPECT_EQ(C->Tabs()->Tabs(3)->ImageIndex(), 3);
  EXPECT_EQ(C->GetImageIndex(3), -1);  // no list
  TImageList Five(nullptr), Three(nullptr);
  TBitmap B;
  B.SetSize(16, 16);
  for (int i = 0; i < 5; ++i) Five.Add(&B, nullptr);
  for (int i = 0; i < 3; ++i) Three.Add(&B, nullptr);
  C->SetImages(&Five);
  EXPECT_EQ(C->GetImageIndex(3), 3);
  C->SetImages(&Three);
  EXPECT_EQ(C->GetImageIndex(3), -1);
  ChangeLog L;
  C->OnGetImageIndex = TuxGetTabImageEvent(&L, &ChangeLog::ImageIndex);
  EXPECT_EQ(C->GetImageIndex(0), -1);  // the handler's negative value
  C->Tabs()->Tabs(1)->SetImageIndex(-7);
  EXPECT_EQ(C->Tabs()->Tabs(1)->ImageIndex(), -1);
  C->SetImages(nullptr);
}

TEST_F(PcModelTest, FreedImageListLeavesNoReference) {
  auto* C = MakeControl(400, 100, {"a"});
  auto* L = new TImageList(Form);
  C->SetImages(L);
  EXPECT_EQ(C->Images(), L);
  delete L;
  EXPECT_EQ(C->Images(), nullptr);
  EXPECT_EQ(C->GetImageIndex(0), -1);
}

TEST_F(PcModelTest, OptionsLayOutOnlyWhenTheyShapeTabs) {
  auto* C = MakeControl(400, 100, {"50", "50"});
  struct Case {
    TuxPCOption Option;
    bool Layout;
  } Cases[] = {{pcoRedrawOnResize, false}, {pcoSort, false}, {pcoUsePageColorForTab, false},
               {pcoCloseButton, true},     {pcoGradient, true}, {pcoTopToBottomText, true}};
  for (const Case& K : Cases) {
    const int Before = TPcTestPainter::Layouts;
    TuxPCOptions O = C->Options();
    O = O.Contains(K.Option) ? O - TuxPCOptions{K.Option} : O + TuxPCOptions{K.Option};
    C->SetOptions(O);
    EXPECT_EQ(TPcTestPainter::Layouts > Before, K.Layout) << K.Option;
  }
}

TEST_F(PcModelTest, StyleChanges) {
  auto* C = MakeControl(400, 100, {"50"});
  TuxPCCustomPainter* P = C->Painter();
  C->SetStyle(4711);  // nobody's id
  EXPECT_EQ(C->Style(), 101);
  EXPECT_EQ(C->Painter(), P);
  C->SetRotate(true);
  C->SetStyle(102);  // cannot rotate: Rotate goes off instead of raising
  EXPECT_EQ(C->Style(), 102);
  EXPECT_FALSE(C->Rotate());
  try {
    C->SetRotate(true);
    FAIL() << "no error";
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxCustomTabControl.SetRotate: TestButtons style does not support rotation of tabs");
  }
  EXPECT_FALSE(C->Rotate());
}

TEST_F(PcModelTest, ListErrorsNameTheOperation) {
  auto* C = MakeControl(400, 100, {"a", "b"});
  C->Tabs()->Tabs(0)->SetVisible(false);
  struct Case {
    std::function<void()> Call;
    const char* Message;
  } Cases[] = {
      {[&] { C->Tabs()->Tabs(2); }, "TuxTabs.GetTab: Tab's index (2) out of bounds"},
      {[&] { C->Tabs()->Get(-1); }, "TuxTabs.Get: Tab's index (-1) out of bounds"},
      {[&] { C->Tabs()->Insert(3, "x"); }, "TuxTabs.Insert: Tab's index (3) out of bounds"},
      {[&] { C->Tabs()->Delete(5); }, "TuxTabs.Delete: Tab's index (5) out of bounds"},
      {[&] { C->VisibleTabs()->Tabs(1); }, "TuxVisibleTabList.GetTab: TabVisibleIndex (1) must be between 0 and 0"},
      {[&] { C->VisibleTab(-1); }, "TuxTabs.GetVisibleTab: TabVisibleIndex (-1) must be between 0 and 0"},
  };
  for (const Case& K : Cases) {
    try {
      K.Call();
      ADD_FAILURE() << "no error for " << K.Message;
    } catch (const Exception& E) {
      EXPECT_STREQ(E.what(), K.Message);
    }
  }
  C->Tabs()->Tabs(1)->SetVisible(false);
  try {
    C->VisibleTabs()->Tabs(0);
    ADD_FAILURE();
  } catch (const Exception& E) {
    EXPECT_STREQ(E.what(), "TuxVisibleTabList.GetTab: There are no visible tabs");
  }
  C->Tabs()->Clear();
  try {
    C->CalculateTabNormalSizes();
    ADD_FAILURE();
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxCustomTabControl.CalculateTabNormalSizes: Tabs.Count = 0");
  }
}

TEST_F(PcModelTest, TabsAsStringsKeepObjectsAndOrder) {
  auto* C = MakeControl(400, 100, {"a", "b", "c"});
  TObject Marker;
  C->Tabs()->PutObject(1, &Marker);
  C->Tabs()->Move(1, 0);
  EXPECT_EQ(C->Tabs()->Get(0), "b");
  EXPECT_EQ(C->Tabs()->Objects(0), &Marker);
  EXPECT_EQ(C->Tabs()->Tabs(0)->Index(), 0);
  EXPECT_EQ(C->Tabs()->Tabs(1)->Index(), 1);
  // A tab freed directly leaves the list once.
  delete C->Tabs()->Tabs(0);
  EXPECT_EQ(C->Tabs()->Count(), 2);
  EXPECT_EQ(C->Tabs()->Get(0), "a");
  EXPECT_EQ(C->Tabs()->Tabs(1)->Index(), 1);
}

TEST_F(PcModelTest, SelectionFollowsThePainter) {
  auto* C = MakeControl(400, 100, {"a", "b", "c"});
  C->Tabs()->Tabs(1)->SetSelected(true);  // only the current tab may be selected here
  EXPECT_FALSE(C->Tabs()->Tabs(1)->Selected());
  C->Tabs()->Tabs(0)->SetSelected(true);
  EXPECT_TRUE(C->Tabs()->Tabs(0)->Selected());
  C->SetStyle(102);
  C->Tabs()->Tabs(1)->SetSelected(true);  // a second selected tab turns multi-selection on
  EXPECT_TRUE(C->MultiSelect());
  C->SetTabIndex(2);  // a new current tab clears every selection
  EXPECT_FALSE(C->Tabs()->Tabs(0)->Selected());
  EXPECT_FALSE(C->Tabs()->Tabs(1)->Selected());
}

}  // namespace
