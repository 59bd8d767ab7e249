// Flow-chart painting: stacked objects hide each other, lines run behind or
// in front of objects, frames, images, text and selection handles.
#include "treechart/tests/flowchart_fixture.h"

#include "platform/gdi/tests/refimage.h"

namespace {

class FlowChartPaintTest : public FlowChartTest {
 protected:
  std::unique_ptr<TImageList> MakeImages(int Size) {
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetSize(Size, Size);
    TBitmap b;
    b.SetSize(Size, Size);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect{0, 0, Size, Size});
    b.Canvas()->Brush()->SetColor(clTeal);
    b.Canvas()->Ellipse(1, 1, Size - 1, Size - 1);
    list->AddMasked(&b, clFuchsia);
    return list;
  }
};

TEST_F(FlowChartPaintTest, StackedFilledObjectsHideWhatIsBelow) {
  TkxFcObject* low = Chart->CreateObject(20, 20, 100, 60, fskRectangle);
  low->SetBkColor(clRed);
  TkxFcObject* high = Chart->CreateObject(10, 10, 120, 80, fskRectangle);
  high->SetBkColor(clBlue);
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoHideSelection});
  EXPECT_EQ(Px(50, 50), COLORREF(clBlue));
  Shot();
  EXPECT_FALSE(low->Painted) << "covered completely";
  EXPECT_TRUE(high->Painted);
  low->SetSelected(true);
  Shot();
  EXPECT_TRUE(low->Painted) << "a selected object is painted";
  EXPECT_EQ(Px(20, 20), COLORREF(0)) << "its handle shows through";
  EXPECT_EQ(Px(50, 50), COLORREF(clBlue));
  // a transparent object over a filled one: the fill below, its outline on top
  high->SetTransparent(true);
  EXPECT_EQ(Px(50, 50), COLORREF(clRed));
  EXPECT_EQ(Px(10, 50), COLORREF(0));
}

TEST_F(FlowChartPaintTest, LinesRunBehindOrInFrontOfObjects) {
  TkxFcObject* o = Chart->CreateObject(100, 50, 80, 80, fskRectangle);
  o->SetBkColor(clYellow);
  TkxFcConnection* c = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  c->AddPoint({20, 90});
  c->AddPoint({260, 90});
  c->SetColor(clRed);
  EXPECT_EQ(Px(140, 90), COLORREF(clRed)) << "in front";
  EXPECT_EQ(Px(60, 90), COLORREF(clRed));
  c->SetBehindObjects(true);
  EXPECT_EQ(Px(140, 90), COLORREF(clYellow)) << "hidden where the object is";
  EXPECT_EQ(Px(60, 90), COLORREF(clRed));
}

TEST_F(FlowChartPaintTest, FramesImagesTextAndHandles) {
  TkxFcObject* f = Chart->CreateObject(20, 20, 80, 50, fskRectangle);
  f->SetShapeColor(clRed);
  f->SetFrameEdge(EDGE_SUNKEN);
  EXPECT_EQ(Px(20, 40), ColorToRGB(clBtnShadow)) << "a 3-D frame, not the red outline";
  f->SetFrameEdge(0);
  EXPECT_EQ(Px(20, 40), COLORREF(clRed));

  auto big = MakeImages(64);
  Chart->SetImages(big.get());
  f->SetImageIndex(0);
  f->SetHorzImagePos(fhpCenter);
  f->SetVertImagePos(fvpCenter);
  EXPECT_EQ(Px(60, 45), ColorToRGB(clWindow)) << "an image larger than the inner rectangle is not drawn";
  auto small = MakeImages(16);
  Chart->SetImages(small.get());
  EXPECT_EQ(Px(60, 45), COLORREF(clTeal));
  Chart->SetImages(nullptr);

  // with fcoHideSelection and no focus no handles are drawn
  Chart->SetOptions(kxFcAllOptions);
  f->SetSelected(true);
  Form->SetFocus();
  EXPECT_EQ(Px(20, 20), COLORREF(clRed)) << "the outline, no handle";
  Chart->SetFocus();
  EXPECT_EQ(Px(18, 18), COLORREF(0)) << "a handle";
}

TEST_F(FlowChartPaintTest, ChartMatchesTheReference) {
  auto images = MakeImages(16);
  Chart->SetImages(images.get());
  Chart->SetColor(0xF8F8F8);
  struct {
    int X, Y;
    TkxFcShapeKind Kind;
    TColor Bk;
    const char* Text;
  } items[] = {
      {20, 20, fskRectangle, 0xFFF0D0, "Start"},         {160, 20, fskRoundRect, 0xD0FFD0, "Rounded"},
      {300, 20, fskEllipse, 0xD0D0FF, "Ellipse"},        {440, 20, fskDiamond, clWhite, "Choice?"},
      {20, 160, fskNorthTriangle, 0xC0E0FF, "Up"},       {160, 160, fskSouthTriangle, 0xC0E0FF, "Down"},
      {300, 160, fskEastTriangle, 0xC0E0FF, "East"},     {440, 160, fskWestTriangle, 0xC0E0FF, "West"},
      {20, 300, fskHexagon, 0xE0E0E0, "Hexagon"},        {160, 300, fskNone, clWhite, "no shape"},
  };
  for (const auto& it : items) {
    TkxFcObject* o = Chart->CreateObject(it.X, it.Y, 110, 80, it.Kind);
    o->SetBkColor(it.Bk);
    o->SetText(it.Text);
    o->SetHorzTextPos(fhpCenter);
    o->SetVertTextPos(fvpCenter);
    o->SetShapeWidth(2);
  }
  TkxFcObject* framed = Chart->CreateObject(300, 300, 110, 80, fskRectangle);
  framed->SetFrameEdge(EDGE_RAISED);
  framed->SetText("Framed with an image and wrapped text");
  framed->SetImageIndex(0);
  framed->SetHorzImagePos(fhpRight);
  framed->SetVertImagePos(fvpBottom);
  framed->Font()->SetStyle({fsItalic});
  TkxFcObject* glass = Chart->CreateObject(455, 290, 100, 100, fskEllipse);
  glass->SetTransparent(true);
  glass->SetShapeColor(clPurple);
  glass->SetText("transparent");
  glass->SetVertTextPos(fvpBottom);
  glass->SetHorzTextPos(fhpCenter);

  auto link = [&](int from, int fp, int to, int tp, TkxFcLineStyle style, TkxFcArrowKind head) {
    TkxFcConnection* c = Chart->CreateConnection(Chart->Objects(from), Chart->Objects(to), Byte(tp), Byte(fp));
    c->SetStyle(style);
    c->DestArrow()->SetArrowKind(head);
    c->DestArrow()->SetWidth(10);
    c->DestArrow()->SetHeight(8);
    c->DestArrow()->SetColor(clNavy);
    return c;
  };
  link(0, 6, 1, 14, flsStraight, fakArrow)->SetText("go");
  link(1, 6, 2, 14, flsStraight, fakOval);
  link(2, 6, 3, 14, flsStraight, fakRect);
  TkxFcConnection* curve = link(3, 10, 8, 6, flsCurved, fakArrow);
  curve->InsertPoint(0, {500, 280});
  curve->SetColor(clRed);
  curve->SetText("curved");
  TkxFcConnection* behind = link(0, 10, 6, 10, flsRectVertical, fakArrow);
  behind->SetBehindObjects(true);
  behind->SetColor(clGreen);
  TkxFcConnection* dotted = link(4, 6, 5, 14, flsRectHorizontal, fakArrow);
  dotted->SetPenStyle(psDot);
  dotted->SourceArrow()->SetArrowKind(fakOval);
  dotted->SourceArrow()->SetWidth(6);
  dotted->SourceArrow()->SetHeight(6);
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoHideSelection});
  Chart->Objects(2)->SetSelected(true);
  curve->SetSelected(true);
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "flowchart_sheet"));
  Chart->SetImages(nullptr);
}

}  // namespace
