// Flow-chart objects and connections: attach points, display values, setter
// notifications, fonts, stacking, unions, copying, the point list and arrows.
#include "treechart/tests/flowchart_fixture.h"

namespace {

TEST_F(FlowChartTest, RectangleAttachPointsRunClockwiseFromTheTopLeft) {
  TkxFcObject* o = Chart->CreateObject(10, 20, 100, 50, fskRectangle);
  const struct {
    int Index;
    TPoint At;
  } expected[] = {{0, {10, 20}},   {2, {60, 20}},   {4, {109, 20}}, {6, {109, 45}},
                  {8, {109, 69}},  {10, {60, 69}},  {12, {10, 69}}, {14, {10, 45}}};
  for (const auto& e : expected) EXPECT_EQ(o->AttachPoint(e.Index), e.At) << e.Index;
  // a north triangle: its corners slide onto the base and apex
  o->SetBounds(0, 0, 100, 50);
  o->SetShapeKind(fskNorthTriangle);
  EXPECT_EQ(o->AttachPoint(0), (TPoint{25, 25}));
  EXPECT_EQ(o->AttachPoint(1), (TPoint{25, 25}));
  EXPECT_EQ(o->AttachPoint(4), (TPoint{75, 25}));
  EXPECT_EQ(o->AttachPoint(13), (TPoint{12, 38}));
  EXPECT_EQ(o->AttachPoint(15), (TPoint{38, 12}));
  EXPECT_EQ(o->AttachPoint(5), (TPoint{62, 12}));
  EXPECT_EQ(o->InnerRect(), (TRect{26, 26, 74, 48}));
  // an ellipse pulls its corners in by 150/1024 of the size
  o->SetShapeKind(fskEllipse);
  EXPECT_EQ(o->AttachPoint(0), (TPoint{15, 7}));
  EXPECT_EQ(o->AttachPoint(13), (TPoint{7, 38}));
  // the nearest attach point is searched in the point's quadrant
  EXPECT_EQ(o->NearestAttachPoint(99, 25), 6);
  EXPECT_EQ(o->NearestAttachPoint(50, 0), 2);
  EXPECT_EQ(o->NearestAttachPoint(0, 49), 13);
  EXPECT_EQ(o->NearestHandle(98, 48), 4);
  EXPECT_EQ(o->NearestHandle(2, 25), 7);
}

TEST_F(FlowChartTest, DisplayValuesFollowTheZoom) {
  TkxFcObject* o = Chart->CreateObject(100, 40, 10, 10, fskRectangle);
  Chart->SetZoom(50);
  EXPECT_EQ(o->DisplayRect(), (TRect{50, 20, 55, 25}));
  Chart->SetZoom(20);
  EXPECT_EQ(o->DisplayLineWidth(), 1) << "a line of 1 at zoom 20 stays one pixel";
  o->SetShapeWidth(10);
  EXPECT_EQ(o->DisplayLineWidth(), 2);
  EXPECT_EQ(Chart->ClientToChart(10, 10), (TPoint{50, 50}));
}

TEST_F(FlowChartTest, SettersAnnounceOnlyRealChanges) {
  TFcRecorder rec;
  rec.Attach(Chart);
  TkxFcObject* o = Chart->CreateObject(0, 0, 40, 30, fskRectangle);
  EXPECT_EQ(rec.Creates, 1);
  const int before = rec.Changes;
  o->SetShapeKind(fskRectangle);
  o->SetBkColor(o->BkColor());
  o->SetBounds(0, 0, 40, 30);
  EXPECT_EQ(rec.Changes, before);
  o->SetShapeKind(fskDiamond);
  o->SetText("x");
  EXPECT_EQ(rec.Changes, before + 2);
  o->SetVisible(false);
  EXPECT_EQ(rec.Changes, before + 2) << "visibility is not a change";
  EXPECT_FALSE(o->HasImage());
  EXPECT_TRUE(o->HasFill());
  o->SetTransparent(true);
  EXPECT_FALSE(o->HasFill());
}

TEST_F(FlowChartTest, ChangingAnItemsFontTurnsParentFontOff) {
  TkxFcObject* o = Chart->CreateObject(0, 0, 40, 30, fskRectangle);
  EXPECT_TRUE(o->ParentFont());
  EXPECT_EQ(o->Font()->Name(), Chart->Font()->Name());
  o->Font()->SetSize(20);
  EXPECT_FALSE(o->ParentFont());
  Chart->Font()->SetName("Arial");
  EXPECT_NE(o->Font()->Name(), "Arial") << "no longer follows the chart";
  o->SetParentFont(true);
  EXPECT_EQ(o->Font()->Name(), "Arial");
  Chart->Font()->SetName("Courier New");
  EXPECT_EQ(o->Font()->Name(), "Courier New");
  EXPECT_TRUE(o->ParentFont());
  Chart->SetZoom(50);
  EXPECT_EQ(o->DisplayFont()->Size(), MulDiv(o->Font()->Size(), 50, 100));
}

TEST_F(FlowChartTest, StackingOrderAndUnions) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 10, 10, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(0, 0, 10, 10, fskRectangle);
  TkxFcObject* c = Chart->CreateObject(0, 0, 10, 10, fskRectangle);
  a->SetZOrder(99);
  EXPECT_EQ(a->ZOrder(), 2);
  a->SendToBack();
  EXPECT_EQ(a->ZOrder(), 0);
  c->SetZOrder(-1);
  EXPECT_EQ(c->ZOrder(), 2) << "a negative index counts as beyond the end";
  b->BringToFront();
  EXPECT_EQ(Chart->Objects(2), b);
  EXPECT_EQ(Chart->Objects(3), nullptr);

  EXPECT_TRUE(a->UnionContains(nullptr));
  a->AddToUnion(nullptr);
  a->AddToUnion(a);
  EXPECT_FALSE(a->IsUnion());
  a->AddToUnion(b);
  b->AddToUnion(c);
  a->AddToUnion(c);
  EXPECT_EQ(a->UnionMemberCount(), 1) << "c is already in a's tree";
  EXPECT_TRUE(a->UnionContains(c));
  EXPECT_FALSE(c->UnionContains(a));
  a->SelectUnion();
  EXPECT_EQ(Chart->SelectedObjectCount(), 3);
  Chart->ClearSelection();
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoMultiSelect});
  a->SelectUnion();
  EXPECT_EQ(Chart->SelectedObjectCount(), 1);
  // freeing a member takes it out of every union
  delete b;
  EXPECT_FALSE(a->IsUnion());
  EXPECT_EQ(a->UnionMembers(0), nullptr);
}

TEST_F(FlowChartTest, AssignCopiesTheFieldsButNotVisibilityUnionsOrConnections) {
  TkxFcObject* a = Chart->CreateObject(5, 6, 70, 40, fskHexagon);
  a->SetText("A");
  a->ExtraText = "x";
  a->Tag = 7;
  a->SetBkColor(clYellow);
  a->SetFrameEdge(BDR_RAISEDOUTER);
  a->SetVertTextPos(fvpCenter);
  a->Font()->SetName("Arial");
  TkxFcObject* b = Chart->CreateObject(0, 0, 10, 10, fskNone);
  a->AddToUnion(b);
  Chart->CreateConnection(a, b, 0, 0);
  TkxFcObject* c = Chart->CreateObject(0, 0, 0, 0, fskNone);
  c->SetVisible(false);
  c->Assign(a);
  EXPECT_EQ(c->Left(), 5);
  EXPECT_EQ(c->Height(), 40);
  EXPECT_EQ(c->ShapeKind(), fskHexagon);
  EXPECT_EQ(c->Text(), "A");
  EXPECT_EQ(c->ExtraText, "x");
  EXPECT_EQ(c->Tag, 7);
  EXPECT_EQ(c->BkColor(), clYellow);
  EXPECT_EQ(c->FrameEdge(), BDR_RAISEDOUTER);
  EXPECT_EQ(c->VertTextPos(), fvpCenter);
  EXPECT_EQ(c->Font()->Name(), "Arial");
  EXPECT_FALSE(c->ParentFont());
  EXPECT_FALSE(c->Visible());
  EXPECT_FALSE(c->IsUnion());
  EXPECT_EQ(c->ConnectionCount(), 0);
}

TEST_F(FlowChartTest, ConnectionPointListHoldsTheEndsAndTheFreePoints) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 40, 40, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(200, 0, 40, 40, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(a, b, 14, 6);
  EXPECT_EQ(c->PointCount(), 2);
  EXPECT_EQ(c->FreePointCount(), 0);
  EXPECT_EQ(c->Points(0), (TPoint{0, 0}));
  c->RemovePoint(0);
  EXPECT_EQ(c->PointCount(), 2);
  EXPECT_EQ(c->DisplayPoints()[0], a->AttachPoint(6));
  EXPECT_EQ(c->DisplayPoints()[1], b->AttachPoint(14));

  TkxFcConnection* d = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  d->AddPoint({10, 100});
  d->AddPoint({50, 100});
  d->SetDest(b, 10);
  EXPECT_EQ(d->PointCount(), 3);
  EXPECT_EQ(d->FreePointCount(), 2);
  EXPECT_EQ(d->Points(1), (TPoint{50, 100}));
  d->SetDest(nullptr, 0);
  EXPECT_EQ(d->PointCount(), 2);
  // moving an attached object moves the end and leaves free points alone
  d->SetSource(a, 8);
  a->SetBounds(20, 300, 40, 40);
  EXPECT_EQ(c->DisplayPoints()[0], a->AttachPoint(6));
  EXPECT_EQ(d->DisplayPoints()[0], (TPoint{59, 339}));
  EXPECT_EQ(d->Points(0), (TPoint{10, 100}));
  EXPECT_EQ(d->Points(1), (TPoint{50, 100}));
  // deleting an object deletes every connection at either end
  EXPECT_EQ(Chart->ConnectionCount(), 2);
  delete a;
  EXPECT_EQ(Chart->ConnectionCount(), 0);
}

TEST_F(FlowChartTest, ArrowWingsLieBackAlongTheLine) {
  TkxFcConnection* c = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  c->AddPoint({0, 50});
  c->AddPoint({100, 50});
  c->DestArrow()->SetWidth(10);
  c->DestArrow()->SetHeight(8);
  c->DestArrow()->SetArrowKind(fakArrow);
  EXPECT_EQ(c->DestArrow()->Tip(), (TPoint{100, 50}));
  EXPECT_EQ(c->DestArrow()->Wing1(), (TPoint{90, 46}));
  EXPECT_EQ(c->DestArrow()->Wing2(), (TPoint{90, 54}));
  // a right-angled route: the head follows the last leg
  c->InsertPoint(1, {50, 0});
  c->SetStyle(flsRectVertical);
  EXPECT_EQ(c->DestArrow()->Wing1().x, 90);
  c->SourceArrow()->SetArrowKind(fakOval);
  c->SourceArrow()->SetWidth(6);
  c->SourceArrow()->SetHeight(6);
  EXPECT_EQ(c->SourceArrow()->Rect(), (TRect{-3, 47, 3, 53}));
  // the label sits on the route's middle
  c->SetText("label");
  const TPoint m = c->LabelAnchor();
  const TRect l = c->LabelRect();
  EXPECT_EQ((l.left + l.right) / 2, m.x);
  EXPECT_EQ((l.top + l.bottom) / 2, m.y);
  EXPECT_GT(l.right - l.left, 10);
}

TEST_F(FlowChartTest, ConnectionAssignCopiesEndsArrowsAndPoints) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 40, 40, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(a, nullptr, 0, 3);
  c->AddPoint({100, 100});
  c->SetColor(clRed);
  c->SetPenStyle(psDot);
  c->SetStyle(flsCurved);
  c->SetBehindObjects(true);
  c->DestArrow()->SetArrowKind(fakRect);
  c->DestArrow()->SetColor(clBlue);
  c->SetText("t");
  TkxFcConnection* d = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  d->Assign(c);
  EXPECT_EQ(d->Source(), a);
  EXPECT_EQ(d->SourcePoint(), 3);
  EXPECT_EQ(d->FreePointCount(), 1);
  EXPECT_EQ(d->Points(0), (TPoint{100, 100}));
  EXPECT_EQ(d->Color(), clRed);
  EXPECT_EQ(d->PenStyle(), psDot);
  EXPECT_EQ(d->Style(), flsCurved);
  EXPECT_TRUE(d->BehindObjects());
  EXPECT_EQ(d->DestArrow()->ArrowKind(), fakRect);
  EXPECT_EQ(d->DestArrow()->Color(), clBlue);
  EXPECT_EQ(d->Text(), "t");
}

}  // namespace
