// The editors' pop-up window: placement on the work area, the shown list,
// closing by the hooks (a click elsewhere, deactivation, the owner hidden or
// freed), system keys held back from the menu, the local loop of a
// focus-capturing pop-up, and the hooks leaving the chains at shut-down.
#include <gtest/gtest.h>

#include <functional>

#include "editors/tests/uxeditorstest.h"
#include "editors/uxpopupwindow.h"
#include "platform/win/system.h"

namespace {

class PopupWindow : public EditorsTest {
 protected:
  TTestContainer* Edit = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    EditorsTest::SetUp();
    Edit = NewContainer(10, 10, 120, 24);
    Pump();
  }
  // A pop-up of Edit, below it, that records its events.
  TuxCustomPopupWindow* NewPopup(TControl* Owner, bool CaptureFocus, const char* Name, int W = 100, int H = 80) {
    auto* P = NewObject<TuxCustomPopupWindow>(Owner);
    P->SetCaptureFocus(CaptureFocus);
    P->SetModalLoop(false);
    P->SetAdjustable(false);
    P->SetBounds(0, 0, W, H);
    if (auto* C = dynamic_cast<TWinControl*>(Owner)) {
      P->SetOwnerParent(C->Parent());
      P->SetOwnerBounds(C->BoundsRect());
    }
    P->OnShowing = Recorder(Name, "showing");
    P->OnShown = Recorder(Name, "shown");
    P->OnClosing = Recorder(Name, "closing");
    P->OnClosed = Recorder(Name, "closed");
    return P;
  }
  struct Rec : TObject {
    std::vector<std::string>* L;
    std::string Text;
    void Fire(TObject*) { L->push_back(Text); }
  };
  std::vector<std::unique_ptr<Rec>> Recs;
  TNotifyEvent Recorder(const char* Name, const char* What) {
    auto R = std::make_unique<Rec>();
    R->L = &Log;
    R->Text = std::string(Name) + " " + What;
    Recs.push_back(std::move(R));
    return TNotifyEvent(Recs.back().get(), &Rec::Fire);
  }
};

TEST_F(PopupWindow, PlacedBelowTheOwnerAndFlippedWhereThereIsNoRoom) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p", 150, 200);
  P->ShowPopup(nullptr);
  Pump();
  TPoint Below = Edit->ClientToScreen({0, 24});
  EXPECT_EQ(P->Left(), Below.x);
  EXPECT_EQ(P->Top(), Below.y);
  P->ClosePopup();
  // near the bottom of the work area it opens above the owner
  TRect Work = uxGetDesktopWorkArea(TPoint{0, 0});
  Form->SetBounds(100, Work.bottom - 120, 600, 110);
  Pump();
  P->SetOwnerBounds(Edit->BoundsRect());
  P->ShowPopup(nullptr);
  Pump();
  TPoint Above = Edit->ClientToScreen({0, 0});
  EXPECT_EQ(P->Top(), Above.y - 200);
  EXPECT_LE(P->Top() + P->Height(), Work.bottom);
  P->ClosePopup();
}

TEST_F(PopupWindow, ShowingTwiceChangesNothing) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p");
  P->ShowPopup(nullptr);
  TPoint Where{P->Left(), P->Top()};
  P->SetOwnerBounds(TRect{300, 200, 400, 220});
  P->ShowPopup(nullptr);
  EXPECT_EQ(Log, (std::vector<std::string>{"p showing", "p shown"}));
  EXPECT_EQ(uxShownPopupWindows().size(), 1u);
  EXPECT_EQ(TPoint(P->Left(), P->Top()), Where);
  EXPECT_TRUE(uxIsPopupWindowShown(P->Handle()));
  // nothing shows for an owner that is not visible
  P->ClosePopup();
  Edit->SetVisible(false);
  P->ShowPopup(nullptr);
  EXPECT_FALSE(P->IsVisible());
  EXPECT_EQ(Log.back(), "p closed");
}

TEST_F(PopupWindow, AClickElsewhereClosesAndAClickInsideDoesNot) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p");
  auto* Inside = new TBox(P);
  Inside->SetParent(P);
  P->ShowPopup(nullptr);
  Pump();
  TPoint In = Inside->ClientToScreen({5, 5});
  hb->Click(In.x, In.y);
  Pump();
  EXPECT_TRUE(P->IsVisible());
  TPoint Out = Form->ClientToScreen({400, 300});
  hb->Click(Out.x, Out.y);
  Pump();
  EXPECT_FALSE(P->IsVisible());
  EXPECT_FALSE(P->Visible());
  EXPECT_EQ(Log, (std::vector<std::string>{"p showing", "p shown", "p closing", "p closed"}));
  // a click on the owner closes the pop-up and still reaches the owner
  P->ShowPopup(nullptr);
  Pump();
  TPoint OnOwner = Edit->ClientToScreen({1, 12});
  hb->Click(OnOwner.x, OnOwner.y);
  Pump();
  EXPECT_FALSE(P->IsVisible());
  EXPECT_EQ(Edit->MouseDownPos(), TPoint(1, 12));
}

TEST_F(PopupWindow, DeactivatingTheApplicationClosesIt) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p");
  P->ShowPopup(nullptr);
  Pump();
  hb->ActivateFromDesktop(0);
  Pump();
  EXPECT_FALSE(P->IsVisible());
  EXPECT_EQ(Log.back(), "p closed");
}

TEST_F(PopupWindow, HidingTheOwnerClosesItsPopupAndThoseOpenedAfter) {
  TTestContainer* Other = NewContainer(10, 60);
  Pump();
  TuxCustomPopupWindow* First = NewPopup(Other, false, "first");
  TuxCustomPopupWindow* Mine = NewPopup(Edit, false, "mine");
  auto* Inner = new TBox(Mine);
  Inner->SetParent(Mine);
  TuxCustomPopupWindow* Sub = NewPopup(Inner, false, "sub");
  First->ShowPopup(nullptr);
  Mine->ShowPopup(nullptr);
  Sub->ShowPopup(nullptr);
  Log.clear();
  Edit->SetVisible(false);
  Pump();
  EXPECT_TRUE(First->IsVisible());
  EXPECT_FALSE(Mine->IsVisible());
  EXPECT_FALSE(Sub->IsVisible());
  EXPECT_EQ(Log, (std::vector<std::string>{"mine closing", "sub closing", "sub closed", "mine closed"}));
  First->ClosePopup();
}

TEST_F(PopupWindow, FreeingTheOwnerClosesIt) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p");
  P->ShowPopup(nullptr);
  Pump();
  delete Edit;  // frees the pop-up it owns as well
  Edit = nullptr;
  Pump();
  EXPECT_TRUE(uxShownPopupWindows().empty());
}

TEST_F(PopupWindow, SystemKeysDoNotReachTheMenuWhileANonModalPopupIsShown) {
  TuxCustomPopupWindow* P = NewPopup(Edit, false, "p");
  P->ShowPopup(nullptr);
  struct Case {
    WPARAM Key;
    UINT Arrives;
  } Cases[] = {{'F', WM_NULL}, {VK_DOWN, WM_SYSKEYDOWN}, {VK_F4, WM_SYSKEYDOWN}, {VK_HOME, WM_SYSKEYDOWN}};
  for (const Case& K : Cases) {
    PostMessageA(Form->Handle(), WM_SYSKEYDOWN, K.Key, 0);
    MSG M;
    ASSERT_TRUE(PeekMessageA(&M, Form->Handle(), 0, 0, PM_REMOVE));
    EXPECT_EQ(M.message, K.Arrives) << K.Key;
  }
  P->ClosePopup();
  PostMessageA(Form->Handle(), WM_SYSKEYDOWN, 'F', 0);
  MSG M;
  ASSERT_TRUE(PeekMessageA(&M, Form->Handle(), 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, UINT(WM_SYSKEYDOWN));
}

TEST_F(PopupWindow, ThePrivateCloseMessageGivesTheFocusBackToTheOwner) {
  TuxCustomPopupWindow* P = NewPopup(Edit, true, "p");
  auto* Box = new TBox(P);
  Box->SetParent(P);
  Box->SetTabStop(true);
  P->ShowPopup(nullptr);
  Pump();
  EXPECT_EQ(P->FocusedControl(), P);
  EXPECT_TRUE(P->Focused());
  SendMessageA(P->Handle(), UXM_CLOSEPOPUPWINDOW, 0, 0);
  Pump();
  EXPECT_FALSE(P->IsVisible());
  EXPECT_FALSE(P->DeactivateLocked());
  EXPECT_EQ(GetFocus(), Edit->InnerControl()->Handle());
}

// A focus-capturing pop-up in its local loop: a button sets ModalResult; the
// first CloseQuery refuses, the second agrees.
class TQueryPopup : public TuxCustomPopupWindow {
 public:
  using TuxCustomPopupWindow::TuxCustomPopupWindow;
  int Queries = 0;
  std::function<void()> OnRefused;
  bool CloseQuery() override {
    if (++Queries >= 2) return true;
    if (OnRefused) OnRefused();
    return false;
  }
};

TEST_F(PopupWindow, LocalLoopEndsOnlyWhenCloseQueryAgrees) {
  auto* P = NewObject<TQueryPopup>(Edit);
  P->SetBounds(0, 0, 120, 60);
  P->SetAdjustable(false);
  P->SetOwnerParent(Form);
  P->SetOwnerBounds(Edit->BoundsRect());
  auto* Ok = new TTestButton(P);
  Ok->SetParent(P);
  Ok->SetBounds(10, 10, 60, 24);
  Ok->ModalResult = 1;
  struct Clicker : TObject {
    HeadlessBackend* hb;
    TTestButton* B;
    void Shown(TObject*) {
      TPoint At = B->ClientToScreen({5, 5});
      hb->Click(At.x, At.y);
    }
  } K;
  K.hb = hb;
  K.B = Ok;
  P->OnShown = TNotifyEvent(&K, &Clicker::Shown);
  P->OnRefused = [&] {
    hb->AdvanceClock(2000);  // a second click, not a double click
    K.Shown(nullptr);
  };
  ASSERT_TRUE(P->ModalLoop());
  try {
    P->ShowPopup(nullptr);  // returns once the pop-up is hidden
  } catch (Exception& E) {
    ADD_FAILURE() << E.what();
  }
  EXPECT_FALSE(P->IsVisible());
  EXPECT_EQ(P->Queries, 2);
}

TEST_F(PopupWindow, ShutDownLeavesNoHookInTheChains) {
  EXPECT_TRUE(uxPopupHooksInstalled());
  for (int Type : {WH_CALLWNDPROC, WH_GETMESSAGE, WH_MOUSE}) EXPECT_EQ(PvHookCount(Type), 1) << Type;
  FinalizeEditors();
  EXPECT_FALSE(uxPopupHooksInstalled());
  for (int Type : {WH_CALLWNDPROC, WH_GETMESSAGE, WH_MOUSE}) EXPECT_EQ(PvHookCount(Type), 0) << Type;
  EXPECT_EQ(DockingOwnerWindowHook, nullptr);
  InitEditors();
  for (int Type : {WH_CALLWNDPROC, WH_GETMESSAGE, WH_MOUSE}) EXPECT_EQ(PvHookCount(Type), 1) << Type;
}

}  // namespace
