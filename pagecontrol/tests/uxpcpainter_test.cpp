// The painter interface and the factory: registration, default styles and
// errors, the geometry services of the base painter and its clip-region stack.
#include "pagecontrol/tests/pctest.h"

namespace {

using PcPainterTest = PcTest;

TEST(PcFactory, RegistrationKeepsOneEntryAndFreesWhenEmpty) {
  TuxPCPaintersFactory* Before = PaintersFactory();
  ASSERT_EQ(Before, nullptr);
  RegisterPainterClass(TPcTestPainter::Class());
  RegisterPainterClass(TPcTestPainter::Class());
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->Count(), 1);
  RegisterPainterClass(TPcTestPainter::Class2());
  EXPECT_EQ(PaintersFactory()->GetPainterClass(102), TPcTestPainter::Class2());
  EXPECT_EQ(PaintersFactory()->GetPainterClass(7), nullptr);
  // Neither class claims a look and feel: the first registered is the fallback.
  EXPECT_EQ(PaintersFactory()->GetDefaultStyleIDByLookAndFeel(nullptr), -1);
  EXPECT_EQ(PaintersFactory()->GetDefaultStyleID(nullptr), 101);
  UnregisterPainterClass(TPcTestPainter::Class());
  EXPECT_EQ(PaintersFactory()->GetDefaultStyleID(nullptr), 102);
  UnregisterPainterClass(TPcTestPainter::Class2());
  EXPECT_EQ(PaintersFactory(), nullptr);
  RegisterPainterClass(TPcTestPainter::Class());
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->Count(), 1);
  UnregisterPainterClass(TPcTestPainter::Class());
  EXPECT_EQ(PaintersFactory(), nullptr);
}

TEST(PcFactory, ErrorsNameTheOperation) {
  TuxPCPaintersFactory Empty;
  try {
    Empty.GetDefaultStyleID(nullptr);
    ADD_FAILURE();
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxPCPaintersFactory.GetDefaultStyleID: There are no styles registered");
  }
  try {
    Empty.GetPainterInstance(nullptr, nullptr);
    ADD_FAILURE();
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil");
  }
  Empty.ReleasePainter(nullptr);  // accepted
}

TEST(PcGeometry, RotatePointTurnsTopTabsToEachSide) {
  // A point 3 along and 2 across from the page-side corner (L, B - 1) of a
  // tab rectangle 20 wide and 40 high.
  const TRect R = pcRect(10, 20, 30, 60);
  struct Case {
    int Kind;
    TPoint In, Out;
  } Cases[] = {
      {0, {13, 57}, {13, 57}},
      {1, {13, 57}, {13, 22}},  // bottom: mirrored top to bottom
      {2, {13, 57}, {27, 56}},  // left: along runs up, the page side is the right edge
      {3, {13, 57}, {12, 56}},  // right: along runs up, the page side is the left edge
  };
  for (const Case& K : Cases) {
    TPoint P = K.In;
    TuxPCCustomPainter::RotatePoint(R, P, K.Kind);
    EXPECT_EQ(P.x, K.Out.x) << "kind " << K.Kind;
    EXPECT_EQ(P.y, K.Out.y) << "kind " << K.Kind;
  }
}

TEST(PcGeometry, IndentsTurnToTheTabPosition) {
  const TRect N = pcRect(1, 2, 3, 4);
  struct Case {
    TuxTabPosition Position;
    TRect Real;
  } Cases[] = {{tpTop, pcRect(1, 2, 3, 4)},
               {tpBottom, pcRect(3, 4, 1, 2)},
               {tpLeft, pcRect(2, 3, 4, 1)},
               {tpRight, pcRect(4, 1, 2, 3)}};
  for (const Case& K : Cases) EXPECT_EQ(TuxPCCustomPainter::TurnIndents(N, K.Position), K.Real) << K.Position;
}

TEST_F(PcPainterTest, ClipRegionStackAndPolylines) {
  auto* C = MakeControl(200, 100, {"50"});
  TBitmap B;
  B.SetSize(20, 20);
  B.Canvas()->Brush()->SetColor(clWhite);
  B.Canvas()->FillRect(pcRect(0, 0, 20, 20));
  // The control's canvas drawn onto a bitmap for the check.
  C->Canvas()->Canvas()->SetHandle(B.Canvas()->Handle());
  TuxPCCustomPainter* P = C->Painter();
  P->RestoreClipRegion();  // nothing saved: nothing happens
  EXPECT_EQ(P->SavedClipRegionCount(), 0);
  ASSERT_TRUE(P->ClipToRect(pcRect(0, 0, 10, 10)));
  EXPECT_FALSE(P->ClipToRect(pcRect(5, 5, 5, 9)));  // empty
  P->Canvas()->FillRect(pcRect(0, 0, 20, 20), clBlack);
  P->RestoreClipRegion();
  EXPECT_EQ(P->SavedClipRegionCount(), 0);
  EXPECT_EQ(B.Canvas()->Pixels(9, 9), clBlack);
  EXPECT_EQ(B.Canvas()->Pixels(10, 10), clWhite);
  // A polyline includes its last point.
  P->DrawPolyline({pcPoint(12, 12), pcPoint(12, 15), pcPoint(15, 15)}, nullptr, clRed);
  EXPECT_EQ(B.Canvas()->Pixels(15, 15), clRed);
  EXPECT_EQ(B.Canvas()->Pixels(12, 13), clRed);
  C->Canvas()->Canvas()->SetHandle(nullptr);
}

}  // namespace
