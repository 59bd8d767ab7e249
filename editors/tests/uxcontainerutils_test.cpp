// The container unit's free routines: border tables, rectangle and region
// helpers, message removal and string comparison.
#include <gtest/gtest.h>

#include "editors/tests/uxeditorstest.h"
#include "editors/uxcontainer.h"
#include "editors/uxpopupwindow.h"
#include "platform/win/system.h"

namespace {

TEST(ContainerUtils, BorderWidthTables) {
  const int ByStyle[] = {0, 1, 2, 2, 2, 1, 1};
  for (int S = cbsNone; S <= cbsOffice11; ++S)
    EXPECT_EQ(uxGetContainerBorderWidth(TuxContainerBorderStyle(S)), ByStyle[S]) << S;
  // out-of-range values are masked to seven bits first
  EXPECT_EQ(uxGetContainerBorderWidth(TuxContainerBorderStyle(128 + cbsThick)), 2);
  const int ByKind[] = {2, 2, 1, 1};
  for (int K = lfFlat; K <= lfOffice11; ++K) EXPECT_EQ(uxGetLookAndFeelBorderWidth(TuxLookAndFeelKind(K)), ByKind[K]);
  EXPECT_EQ(uxTranslateMouseButton(mbLeft), 1);
  EXPECT_EQ(uxTranslateMouseButton(mbRight), 2);
  EXPECT_EQ(uxTranslateMouseButton(mbMiddle), 3);
}

TEST(ContainerUtils, EdgesGrowAndShrinkOnlyTheNamedSides) {
  TRect R{10, 10, 20, 20};
  uxExpandRectByEdges(R, 2, uxbLeft | uxbBottom);
  EXPECT_EQ(R, (TRect{8, 10, 20, 22}));
  R = TRect{10, 10, 20, 20};
  uxShrinkRectByMissingEdges(R, 2, uxbLeft | uxbBottom);
  EXPECT_EQ(R, (TRect{10, 12, 18, 20}));
}

TEST(ContainerUtils, StringsEqual) {
  EXPECT_TRUE(uxStringsEqual("Shadow", "shADOW", false));
  EXPECT_FALSE(uxStringsEqual("Shadow", "shADOW", true));
  EXPECT_TRUE(uxStringsEqual("Shadow", "Shadow", true));
  EXPECT_FALSE(uxStringsEqual("Shadow", "Shadows", false));
}

// Paints into a bitmap and counts the pixels of a colour.
class FillTest : public ::testing::Test {
 protected:
  TBitmap Bmp;
  std::unique_ptr<TuxCanvas> C;
  void SetUp() override {
    Bmp.SetWidth(20);
    Bmp.SetHeight(20);
    C = std::make_unique<TuxCanvas>(Bmp.Canvas());
    C->FillRect(TRect{0, 0, 20, 20}, clWhite);
  }
  int Count(TColor Color) {
    int N = 0;
    for (int Y = 0; Y < 20; ++Y)
      for (int X = 0; X < 20; ++X) N += C->Pixel(X, Y) == Color;
    return N;
  }
};

TEST_F(FillTest, FillRectExcept) {
  struct Case {
    const char* Name;
    TRect R, Inner;
    int Red;
  } Cases[] = {
      {"inner equal to R paints nothing", {2, 2, 12, 12}, {2, 2, 12, 12}, 0},
      {"empty inner paints all of R", {2, 2, 12, 12}, {0, 0, 0, 0}, 100},
      {"a frame around the inner rectangle", {2, 2, 12, 12}, {4, 4, 10, 10}, 100 - 36},
      {"empty R paints nothing", {5, 5, 5, 12}, {0, 0, 0, 0}, 0},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    C->FillRect(TRect{0, 0, 20, 20}, clWhite);
    uxFillRectExcept(C.get(), K.R, K.Inner, clRed);
    EXPECT_EQ(Count(clRed), K.Red);
  }
}

TEST_F(FillTest, ShadowStripsAreClippedOutAfterPainting) {
  uxPaintContainerShadow(C.get(), TRect{0, 0, 10, 10});
  // what is painted later does not cover the shadow
  C->FillRect(TRect{0, 0, 20, 20}, clLime);
  SelectClipRgn(C->Handle(), nullptr);
  const TColor Shadow = TColor(ColorToRGB(clBtnShadow));
  struct P {
    int X, Y;
    TColor Want;
  } Points[] = {{3, 10, Shadow}, {2, 10, clLime},   {9, 12, Shadow},  {10, 3, Shadow},
                {10, 2, clLime}, {12, 12, Shadow},  {13, 12, clLime}, {15, 15, clLime}};
  for (const P& Q : Points) EXPECT_EQ(C->Pixel(Q.X, Q.Y), Q.Want) << Q.X << "," << Q.Y;
}

TEST(ContainerUtils, RegionWithShadowLeavesTheOuterCornersOut) {
  HRGN R = uxCreateContainerRegion(TRect{0, 0, 50, 20}, false, TRect{}, true);
  ASSERT_NE(R, nullptr);
  struct P {
    int X, Y;
    bool In;
  } Points[] = {{0, 0, true}, {49, 19, true}, {52, 22, true}, {51, 1, false}, {1, 21, false}, {50, 3, true}};
  for (const P& Q : Points) EXPECT_EQ(bool(PtInRegion(R, Q.X, Q.Y)), Q.In) << Q.X << "," << Q.Y;
  DeleteObject(R);
  EXPECT_EQ(uxCreateContainerRegion(TRect{0, 0, 50, 20}, true, TRect{}, true), nullptr);
  HRGN E = uxCreateContainerRegion(TRect{0, 0, 50, 20}, false, TRect{10, 0, 20, 20}, false);
  EXPECT_FALSE(PtInRegion(E, 15, 5));
  EXPECT_TRUE(PtInRegion(E, 25, 5));
  DeleteObject(E);
}

class ContainerUtilsWindows : public EditorsTest {};

TEST_F(ContainerUtilsWindows, RemoveMessagesKeepsAQuitRequestPending) {
  HWND H = Form->Handle();
  PostMessageA(H, WM_USER + 1, 0, 0);
  PostMessageA(H, WM_USER + 2, 0, 0);
  PostMessageA(H, WM_USER + 3, 0, 0);
  EXPECT_TRUE(uxRemoveMessages(H, WM_USER, WM_USER + 10, false));  // only the first
  MSG M;
  ASSERT_TRUE(PeekMessageA(&M, H, WM_USER, WM_USER + 10, PM_NOREMOVE));
  EXPECT_EQ(M.message, UINT(WM_USER + 2));
  EXPECT_TRUE(uxRemoveMessages(H, WM_USER, WM_USER + 10, true));
  EXPECT_FALSE(PeekMessageA(&M, H, WM_USER, WM_USER + 10, PM_NOREMOVE));
  EXPECT_FALSE(uxRemoveMessages(H, WM_USER, WM_USER + 10, true));

  PostQuitMessage(7);
  EXPECT_FALSE(uxRemoveMessages(nullptr, 0, 0, true));
  ASSERT_TRUE(PeekMessageA(&M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(M.wParam, 7u);
}

TEST_F(ContainerUtilsWindows, WindowsOfPopupsCountAsInsideTheirOwner) {
  TTestContainer* Edit = NewContainer(10, 10);
  Pump();
  auto* Drop = NewObject<TuxCustomPopupWindow>(Edit);
  Drop->SetCaptureFocus(false);
  Drop->SetBounds(0, 0, 100, 80);
  Drop->SetOwnerParent(Form);
  Drop->SetOwnerBounds(Edit->BoundsRect());
  auto* InDrop = new TBox(Drop);
  InDrop->SetParent(Drop);
  Drop->ShowPopup(nullptr);
  // a pop-up opened from a control on the drop-down
  auto* Sub = NewObject<TuxCustomPopupWindow>(InDrop);
  Sub->SetCaptureFocus(false);
  Sub->SetBounds(0, 0, 60, 40);
  auto* InSub = new TBox(Sub);
  InSub->SetParent(Sub);
  Sub->ShowPopup(nullptr);
  Pump();
  ASSERT_TRUE(uxIsPopupWindowShown(Drop->Handle()));
  ASSERT_TRUE(uxIsPopupWindowShown(Sub->Handle()));

  EXPECT_TRUE(uxIsWindowOfControl(Edit, Edit->Handle(), false));
  EXPECT_TRUE(uxIsWindowOfControl(Edit, Edit->InnerControl()->Handle(), true));
  EXPECT_FALSE(uxIsWindowOfControl(Edit, Drop->Handle(), false));
  EXPECT_TRUE(uxIsWindowOfControl(Edit, Drop->Handle(), true));
  EXPECT_TRUE(uxIsWindowOfControl(Edit, InDrop->Handle(), true));
  EXPECT_TRUE(uxIsWindowOfControl(Edit, InSub->Handle(), true));
  EXPECT_FALSE(uxIsWindowOfControl(Edit, Form->Handle(), true));
  EXPECT_FALSE(uxIsWindowOfControl(nullptr, Form->Handle(), true));

  // the docking panels map a window inside a pop-up to its owner's window
  EXPECT_EQ(uxGetPopupOwnerWindow(InDrop->Handle()), Edit->Handle());
  EXPECT_EQ(uxGetPopupOwnerWindow(Form->Handle()), Form->Handle());
  EXPECT_EQ(DockingOwnerWindowHook, &uxGetPopupOwnerWindow);
  EXPECT_EQ(uxFindFirstNonChildParent(Edit->InnerControl()->Handle()), Form->Handle());
  EXPECT_EQ(uxFindContainer(Edit), Edit);
  EXPECT_EQ(uxFindContainer(Edit->InnerControl()), nullptr);
  Sub->ClosePopup();
  Drop->ClosePopup();
}

}  // namespace
