// Look and feel objects: inheritance from the master and the root, change
// notification, and the listener walk that tolerates a listener leaving.
#include "framework/uxlookandfeel.h"

#include "framework/uxpainters.h"
#include "platform/backend/headless/headless.h"
#include "platform/win/system.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct LookAndFeelTest : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    uxInitLookAndFeel();
  }
  void TearDown() override { uxDoneLookAndFeel(); }
};

struct Recorder {
  std::vector<TuxLookAndFeelValues> Calls;
  void Attach(TuxLookAndFeel& L) {
    L.OnChanged = [this](TuxLookAndFeel*, TuxLookAndFeelValues V) { Calls.push_back(V); };
  }
};

TEST_F(LookAndFeelTest, FallsBackToTheControllersKind) {
  TuxLookAndFeel L(nullptr);
  EXPECT_EQ(L.Kind(), lfUltraFlat);
  Recorder R;
  R.Attach(L);
  {
    TuxLookAndFeelController Controller(nullptr);
    Controller.SetKind(lfOffice11);
    EXPECT_EQ(L.Kind(), lfOffice11);
    EXPECT_EQ(L.GetPainter(), TuxOffice11LookAndFeelPainter::Instance());
    ASSERT_EQ(R.Calls.size(), 1u);
    EXPECT_EQ(R.Calls[0], lfvsKind);
    // A new object takes the application-wide look at once.
    TuxLookAndFeel Fresh(nullptr);
    EXPECT_EQ(Fresh.Kind(), lfOffice11);
  }
  // The last controller leaving resets the root.
  EXPECT_EQ(L.Kind(), lfUltraFlat);
  EXPECT_EQ(R.Calls.size(), 2u);
}

TEST_F(LookAndFeelTest, AssignedValuesAreNotOverriddenByTheMaster) {
  TuxLookAndFeel Master(nullptr), Child(nullptr);
  Child.SetMasterLookAndFeel(&Master);
  Recorder R;
  R.Attach(Child);
  Master.SetKind(lfFlat);
  EXPECT_EQ(Child.Kind(), lfFlat);
  Child.SetKind(lfStandard);
  EXPECT_EQ(Child.AssignedValues(), lfvsKind);
  Master.SetKind(lfOffice11);
  EXPECT_EQ(Child.Kind(), lfStandard);
  // Only two changes reached the child: the inherited one and its own.
  EXPECT_EQ(R.Calls.size(), 2u);
  Child.Reset();
  EXPECT_EQ(Child.Kind(), lfOffice11);
  EXPECT_EQ(R.Calls.size(), 3u);
}

TEST_F(LookAndFeelTest, WritingTheCurrentValueNotifiesNobody) {
  TuxLookAndFeel L(nullptr);
  Recorder R;
  R.Attach(L);
  L.SetKind(lfUltraFlat);
  L.SetNativeStyle(false);
  EXPECT_TRUE(R.Calls.empty());
  // Native style is on, but visual styles are not available: classic painter.
  L.SetNativeStyle(true);
  EXPECT_EQ(L.GetPainter(), TuxUltraFlatLookAndFeelPainter::Instance());
}

TEST_F(LookAndFeelTest, MasterDestroyedReattachesToTheRoot) {
  TuxLookAndFeelController Controller(nullptr);
  Controller.SetKind(lfStandard);
  auto Master = std::make_unique<TuxLookAndFeel>(nullptr);
  TuxLookAndFeel Child(nullptr);
  Child.SetMasterLookAndFeel(Master.get());
  Master->SetKind(lfFlat);
  EXPECT_EQ(Child.Kind(), lfFlat);
  Master.reset();
  EXPECT_EQ(Child.MasterLookAndFeel(), nullptr);
  EXPECT_EQ(Child.Kind(), lfStandard);
  Controller.SetKind(lfOffice11);
  EXPECT_EQ(Child.Kind(), lfOffice11);
}

TEST_F(LookAndFeelTest, ListenerLeavingDuringTheWalkDoesNotSkipItsSuccessor) {
  TuxLookAndFeel Master(nullptr);
  std::vector<std::unique_ptr<TuxLookAndFeel>> Children;
  for (int i = 0; i < 3; ++i) {
    Children.push_back(std::make_unique<TuxLookAndFeel>(nullptr));
    Children.back()->SetMasterLookAndFeel(&Master);
  }
  // The first child leaves its master when it hears the change.
  Children[0]->OnChanged = [&](TuxLookAndFeel*, TuxLookAndFeelValues) { Children[0]->SetMasterLookAndFeel(nullptr); };
  int Heard = 0;
  for (int i = 1; i < 3; ++i) Children[i]->OnChanged = [&](TuxLookAndFeel*, TuxLookAndFeelValues) { ++Heard; };
  Master.SetKind(lfFlat);
  EXPECT_EQ(Heard, 2);
  EXPECT_EQ(Children[1]->Kind(), lfFlat);
  EXPECT_EQ(Children[2]->Kind(), lfFlat);
}

TEST_F(LookAndFeelTest, AssignCopiesValuesAndMaster) {
  TuxLookAndFeel Master(nullptr), Source(nullptr), Target(nullptr);
  Source.SetMasterLookAndFeel(&Master);
  Source.SetNativeStyle(true);
  Master.SetKind(lfFlat);
  Target.Assign(&Source);
  EXPECT_EQ(Target.MasterLookAndFeel(), &Master);
  EXPECT_EQ(Target.AssignedValues(), lfvsNativeStyle);
  EXPECT_TRUE(Target.NativeStyle());
  EXPECT_EQ(Target.Kind(), lfFlat);
}

TEST_F(LookAndFeelTest, CyclicMasterChainIsRefused) {
  TuxLookAndFeel A(nullptr), B(nullptr);
  A.SetMasterLookAndFeel(&B);
  B.SetMasterLookAndFeel(&A);  // would make each inherit from the other
  EXPECT_EQ(B.MasterLookAndFeel(), nullptr);
  B.SetKind(lfStandard);
  EXPECT_EQ(A.Kind(), lfStandard);
}

TEST_F(LookAndFeelTest, PaletteChangeReachesNativeStyleUsers) {
  TuxLookAndFeel L(nullptr);
  Recorder R;
  R.Attach(L);
  uxSystemPaletteChanged();
  // Heard through its own notifier and again through the root's.
  ASSERT_FALSE(R.Calls.empty());
  for (TuxLookAndFeelValues V : R.Calls) EXPECT_EQ(V, lfvsNativeStyle);
}

TEST_F(LookAndFeelTest, SystemColourBroadcastReachesEveryLookAndFeel) {
  TuxLookAndFeel L(nullptr);
  Recorder R;
  R.Attach(L);
  PvSysColorsChanged();  // WM_SYSCOLORCHANGE to every top-level window
  ASSERT_FALSE(R.Calls.empty());
  for (TuxLookAndFeelValues V : R.Calls) EXPECT_EQ(V, lfvsNativeStyle);
}

TEST_F(LookAndFeelTest, PrimaryNotifiersRunFirstLastRegisteredFirst) {
  std::vector<std::string> Order;
  TuxSystemPaletteChangedNotifier P1(true), N1(false), P2(true), N2(false);
  P1.OnPaletteChanged = [&] { Order.push_back("P1"); };
  P2.OnPaletteChanged = [&] { Order.push_back("P2"); };
  N1.OnPaletteChanged = [&] { Order.push_back("N1"); };
  N2.OnPaletteChanged = [&] { Order.push_back("N2"); };
  uxSystemPaletteChanged();
  // Other notifiers (the root's) may run too; ours keep this order.
  std::vector<std::string> Ours;
  for (const auto& S : Order) Ours.push_back(S);
  EXPECT_EQ(Ours, (std::vector<std::string>{"P2", "P1", "N2", "N1"}));
}

TEST_F(LookAndFeelTest, NativeStyleGetsTheNativePainterOnlyWithVisualStyles) {
  TuxLookAndFeel L(nullptr);
  L.SetKind(lfFlat);
  L.SetNativeStyle(true);
  EXPECT_EQ(L.GetPainter(), TuxFlatLookAndFeelPainter::Instance());
  // A stand-in library with styles switched on: the native painter, without
  // any change notification.
  Recorder R;
  R.Attach(L);
  static const auto Active = +[]() -> BOOL { return TRUE; };
  static const auto Open = +[](HWND, const char16_t*) -> HTHEME { return 7; };
  kxLoadUxThemeEntries([](const char* Name) -> void* {
    if (std::string(Name) == "IsThemeActive") return reinterpret_cast<void*>(Active);
    if (std::string(Name) == "OpenThemeData") return reinterpret_cast<void*>(Open);
    return nullptr;
  });
  EXPECT_EQ(L.GetPainter(), TuxWinXPLookAndFeelPainter::Instance());
  EXPECT_EQ(L.GetAvailablePainterForTheme(tckScrollBar), TuxWinXPLookAndFeelPainter::Instance());
  EXPECT_TRUE(R.Calls.empty());
  kxLoadUxThemeEntries(nullptr);
  EXPECT_EQ(L.GetPainter(), TuxFlatLookAndFeelPainter::Instance());
}

TEST(ButtonThemeState, Table) {
  const int Expected[] = {5, 1, 2, 3, 4};
  for (int s = uxbsDefault; s <= uxbsDisabled; ++s)
    EXPECT_EQ(uxButtonStateToThemeState(TuxButtonState(s)), Expected[s]);
}

TEST(ThemeManager, NoVisualStylesAndSafeUnsubscribeDuringTheWalk) {
  EXPECT_FALSE(AreVisualStylesAvailable(0));
  EXPECT_FALSE(IsVisualStyleAvailable(tckScrollBar));
  EXPECT_EQ(kxOpenThemeOfKind(tckButton), 0u);
  auto A = std::make_unique<TkxThemeChangedNotificator>();
  auto B = std::make_unique<TkxThemeChangedNotificator>();
  int Calls = 0;
  A->OnThemeChanged = [&] { ++Calls; B.reset(); };  // frees the next subscriber
  B->OnThemeChanged = [&] { ++Calls; };
  kxThemeChanged();
  EXPECT_EQ(Calls, 1);
}

}  // namespace

// The painters the editor framework picks: without visual styles always the
// classic painter of the kind; the button painter replaces the Office 2003
// painter by the standard one.
TEST_F(LookAndFeelTest, EditAndButtonPainterClasses) {
  const TuxLookAndFeelPainterClass Classic[] = {
      TuxFlatLookAndFeelPainter::Instance(), TuxStandardLookAndFeelPainter::Instance(),
      TuxUltraFlatLookAndFeelPainter::Instance(), TuxOffice11LookAndFeelPainter::Instance()};
  for (int K = lfFlat; K <= lfOffice11; ++K) {
    EXPECT_EQ(uxGetEditPainterClass(false, TuxLookAndFeelKind(K)), Classic[K]);
    EXPECT_EQ(uxGetEditPainterClass(true, TuxLookAndFeelKind(K)), Classic[K]);
    TuxLookAndFeel L(nullptr);
    L.SetKind(TuxLookAndFeelKind(K));
    L.SetNativeStyle(true);
    EXPECT_EQ(uxGetButtonPainterClass(&L),
              K == lfOffice11 ? TuxStandardLookAndFeelPainter::Instance() : Classic[K]);
  }
  static const auto Active = +[]() -> BOOL { return TRUE; };
  static const auto Open = +[](HWND, const char16_t*) -> HTHEME { return 7; };
  kxLoadUxThemeEntries([](const char* Name) -> void* {
    if (std::string(Name) == "IsThemeActive") return reinterpret_cast<void*>(Active);
    if (std::string(Name) == "OpenThemeData") return reinterpret_cast<void*>(Open);
    return nullptr;
  });
  EXPECT_EQ(uxGetEditPainterClass(true, lfFlat), TuxWinXPLookAndFeelPainter::Instance());
  TuxLookAndFeel Office(nullptr);
  Office.SetKind(lfOffice11);
  EXPECT_EQ(uxGetButtonPainterClass(&Office), TuxWinXPLookAndFeelPainter::Instance());
  kxLoadUxThemeEntries(nullptr);
}

TEST_F(LookAndFeelTest, AssignedValuesFromMasterSkipOwnValues) {
  TuxLookAndFeel Master(nullptr), Child(nullptr);
  Child.SetMasterLookAndFeel(&Master);
  Child.SetNativeStyle(false);
  Recorder R;
  R.Attach(Child);
  Master.SetKind(lfStandard);
  Master.SetNativeStyle(true);
  EXPECT_EQ(Child.Kind(), lfStandard);
  EXPECT_FALSE(Child.NativeStyle());
  // Only the kind reached the child's listeners; its own native style did not move.
  ASSERT_EQ(R.Calls.size(), 1u);
  EXPECT_EQ(R.Calls[0], lfvsKind);
  R.Calls.clear();
  Child.SetAssignedValuesFromMaster(&Master, lfvsNativeStyle);
  EXPECT_TRUE(R.Calls.empty());
}
