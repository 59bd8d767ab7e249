// Organisation-chart painting: connectors, shapes, 3-D edges, expand
// buttons, images and text, and the expand animation stepping on the chart's
// timer.
#include "treechart/tests/orgchart_fixture.h"

#include "platform/gdi/tests/refimage.h"

namespace {

class OrgChartPaintTest : public OrgChartTest {
 protected:
  void SetUp() override {
    OrgChartTest::SetUp();
    Chart->Font()->SetName("Tahoma");
    Chart->Font()->SetHeight(-11);
  }
  // A 16 x 16 image list with a red square on a transparent ground and a
  // blue diamond.
  std::unique_ptr<TImageList> MakeImages() {
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetSize(16, 16);
    for (int k = 0; k < 2; ++k) {
      TBitmap b;
      b.SetSize(16, 16);
      b.Canvas()->Brush()->SetColor(clFuchsia);
      b.Canvas()->FillRect(TRect{0, 0, 16, 16});
      b.Canvas()->Brush()->SetColor(k == 0 ? clRed : clBlue);
      b.Canvas()->Pen()->SetColor(clBlack);
      if (k == 0) b.Canvas()->Rectangle(3, 3, 13, 13);
      else {
        const TPoint pts[4] = {{8, 1}, {15, 8}, {8, 15}, {1, 8}};
        b.Canvas()->Polygon(pts, 4);
      }
      list->AddMasked(&b, clFuchsia);
    }
    return list;
  }
};

TEST_F(OrgChartPaintTest, ConnectorsJoinSiblingsButNotASingleTopNode) {
  Build("A");
  // A's box spans x 8..73 below a 16-pixel connector gap; its connection
  // point is (40, 8)
  EXPECT_EQ(Px(40, 10), ColorToRGB(clWindow)) << "a single top-level node has no connector";
  EXPECT_EQ(Px(40, 30), ColorToRGB(clWindow)) << "inside the box";
  EXPECT_EQ(Px(8, 30), COLORREF(0)) << "the box's left edge";
  Build("B");
  EXPECT_EQ(Px(40, 10), COLORREF(0)) << "two top-level nodes have connectors";
  EXPECT_EQ(Px(80, 8), COLORREF(0)) << "and a bus between them";
  EXPECT_EQ(Px(130, 8), ColorToRGB(clWindow)) << "the bus ends at the last connector";
}

TEST_F(OrgChartPaintTest, ThreeDEdgeRunsAlongTheBottomAndRightSides) {
  Build("A");
  Chart->SetLineWidth(3);
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocRect3D});
  // the box is 8..78 across and 0..62 down; the rectangle is drawn 3 pixels
  // narrower and lower, the edge fills the 3 pixels it left
  const TRawImage img = Shot();
  auto at = [&](int x, int y) { return Rgb(img.At(x, y)); };
  EXPECT_EQ(at(40, 59), COLORREF(0)) << "the edge under the rectangle";
  EXPECT_EQ(at(76, 40), COLORREF(0)) << "the edge right of the rectangle";
  EXPECT_EQ(at(40, 62), ColorToRGB(clWindow));
  EXPECT_EQ(at(79, 40), ColorToRGB(clWindow));
  EXPECT_EQ(at(40, 40), ColorToRGB(clWindow));
}

TEST_F(OrgChartPaintTest, ButtonsShowPlusWhenCollapsedAndMinusWhenExpanded) {
  Build("A(A1)");
  TkxOcNode* a = Find("A");
  // the button's anchor is (40, 57): an 11 x 11 square from (35, 51)
  EXPECT_EQ(Px(35, 51), COLORREF(0));
  EXPECT_EQ(Px(40, 56), COLORREF(0)) << "minus";
  EXPECT_EQ(Px(40, 54), ColorToRGB(clWindow)) << "no vertical stroke";
  a->Collapse(false);
  EXPECT_EQ(Px(40, 54), COLORREF(0)) << "plus";
  Chart->SetOptions(Chart->Options() - TkxOcOptions{ocButtons});
  EXPECT_EQ(Px(35, 51), ColorToRGB(clWindow)) << "no buttons";
}

TEST_F(OrgChartPaintTest, ImageSitsAtTheTextRectanglesCorner) {
  auto images = MakeImages();
  Chart->SetImages(images.get());
  Build("A");
  TkxOcNode* a = Find("A");
  a->SetImageIndex(0);
  const TRect tr = a->TextRect();
  // iaLT: the image's top-left is the text rectangle's; its frame at +3
  EXPECT_EQ(Px(tr.left + 3, tr.top + 3), COLORREF(0));
  EXPECT_EQ(Px(tr.left + 8, tr.top + 8), COLORREF(clRed));
  EXPECT_EQ(Px(tr.left + 1, tr.top + 1), ColorToRGB(clWindow)) << "transparent parts show the fill";
  a->SetColor(clYellow);
  EXPECT_EQ(Px(tr.left + 1, tr.top + 1), COLORREF(clYellow));
  a->SetImageAlign(iaBR);
  EXPECT_EQ(Px(tr.right - 8, tr.bottom - 8), COLORREF(clRed));
}

TEST_F(OrgChartPaintTest, AnimationStepsOnTheTimerAndEndsAtTheFinalLayout) {
  Build("A(A1,A2,A3)");
  TkxOcNode* a = Find("A");
  a->Collapse(false);
  const TRawImage collapsed = Shot();
  a->Expand(false);
  const TRawImage final = Shot();
  EXPECT_FALSE(Chart->Animating()) << "without ocAnimate nothing is animated";
  a->Collapse(false);
  Shot();

  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocAnimate});
  a->Expand(false);
  ASSERT_TRUE(Chart->Animating());
  int frames = 0;
  bool between = false;
  while (Chart->Animating() && frames < 40) {
    hb->AdvanceClock(10);
    Pump();
    ++frames;
    const TRawImage now = Shot();
    if (now.Pixels != collapsed.Pixels && now.Pixels != final.Pixels) between = true;
  }
  EXPECT_FALSE(Chart->Animating());
  EXPECT_EQ(frames, 15);
  EXPECT_TRUE(between) << "the children were drawn between their places";
  EXPECT_EQ(Shot().Pixels, final.Pixels);
  // deleting the animated node stops the animation
  a->Collapse(false);
  ASSERT_TRUE(Chart->Animating());
  Chart->DeleteNode(a);
  EXPECT_FALSE(Chart->Animating());
}

TEST_F(OrgChartPaintTest, ShapesOptionsAndTextMatchTheReference) {
  auto images = MakeImages();
  Chart->SetImages(images.get());
  Chart->SetDefaultImageAlign(iaNone);
  Chart->SetLineWidth(2);
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocRect3D});
  Chart->SetEditMode({emWrap, emCenter, emVCenter});
  Chart->SetLineColor(clNavy);
  Build("Root(Rect(R1,R2),Round(Ro1),Ellipse,Diamond(D1(D11,D12)))");
  Find("Root")->SetWidth(90);
  Find("Root")->SetColor(0xE0F0FF);
  Find("Round")->SetShape(nsRoundedRectangle);
  Find("Round")->SetColor(0xD0FFD0);
  Find("Ellipse")->SetShape(nsEllipse);
  Find("Ellipse")->SetWidth(90);
  Find("Diamond")->SetShape(nsDiamond);
  Find("Diamond")->SetWidth(96);
  Find("Diamond")->SetHeight(56);
  Find("Ro1")->SetHeight(56);
  Find("Ro1")->SetText("A long caption that wraps");
  Find("R1")->SetImageIndex(0);
  Find("R1")->SetImageAlign(iaLT);
  Find("R2")->SetImageIndex(1);
  Find("R2")->SetImageAlign(iaTC);
  Find("D12")->SetChildAlign(oaLeft);
  Find("D1")->Collapse(false);
  Find("Rect")->SetChildAlign(oaLeft);
  Chart->SetFocus();
  Chart->SetSelected(Find("Round"));
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "orgchart_shapes"));
}

}  // namespace
