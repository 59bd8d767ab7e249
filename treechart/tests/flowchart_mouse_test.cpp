// Flow-chart hit testing and mouse editing: what lies under a point, and
// moving, resizing, re-routing and connecting with the mouse.
#include "treechart/tests/flowchart_fixture.h"

namespace {

class FlowChartMouseTest : public FlowChartTest {
 protected:
  void Down(int X, int Y, unsigned Mods = 0) {
    hb->AdvanceClock(1000);
    const TPoint p = At(Chart, X, Y);
    if (Mods & HeadlessBackend::Shift) hb->KeyDown(VK_SHIFT);
    hb->MouseMove(p.x, p.y);
    hb->MouseDown(p.x, p.y);
    if (Mods & HeadlessBackend::Shift) hb->KeyUp(VK_SHIFT);
    Pump();
  }
  void Move(int X, int Y) {
    const TPoint p = At(Chart, X, Y);
    hb->MouseMove(p.x, p.y);
    Pump();
  }
  void Up(int X, int Y) {
    const TPoint p = At(Chart, X, Y);
    hb->MouseUp(p.x, p.y);
    Pump();
  }
  void DragTo(int X1, int Y1, int X2, int Y2) {
    Down(X1, Y1);
    for (int i = 1; i <= 5; ++i) Move(X1 + (X2 - X1) * i / 5, Y1 + (Y2 - Y1) * i / 5);
    Up(X2, Y2);
  }
  static bool Has(TkxFcHitFlags F, TkxFcHitFlag Flag) { return F.Contains(Flag); }
};

TEST_F(FlowChartMouseTest, HitTestsPreferShapesLinesAndHandlesAsTheyShould) {
  TkxFcObject* b = Chart->CreateObject(50, 50, 100, 100, fskRectangle);
  TkxFcObject* a = Chart->CreateObject(40, 40, 120, 120, fskEllipse);
  // inside A's rectangle, outside its shape, inside B's shape
  EXPECT_EQ(Chart->GetHitTestAt(52, 52), (TkxFcHitFlags{fhtObjectBounds, fhtObjectShape}));
  EXPECT_EQ(Chart->GetObjectAt(52, 52), b);
  EXPECT_EQ(Chart->GetObjectAt(100, 100), a);
  EXPECT_EQ(Chart->GetHitTestAt(300, 300), TkxFcHitFlags{fhtNowhere});
  EXPECT_EQ(Chart->GetObjectAt(300, 300), nullptr);

  // a line across A: the line in front, the object when the line is behind
  TkxFcConnection* c = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  c->AddPoint({0, 100});
  c->AddPoint({250, 100});
  TkxFcHitFlags f = Chart->GetHitTestAt(100, 100);
  EXPECT_TRUE(Has(f, fhtLine));
  EXPECT_FALSE(Has(f, fhtObjectShape));
  EXPECT_EQ(Chart->GetConnectionAt(100, 100), c);
  c->SetBehindObjects(true);
  f = Chart->GetHitTestAt(100, 100);
  EXPECT_TRUE(Has(f, fhtObjectShape));
  EXPECT_FALSE(Has(f, fhtLine));
  EXPECT_TRUE(Has(Chart->GetHitTestAt(20, 101), fhtLine)) << "beside the objects the line is hit";

  // two pixels off a handle of the single selected object, under another object
  b->SetSelected(true);
  f = Chart->GetHitTestAt(150 - 1 - 2, 50 + 2);
  EXPECT_TRUE(Has(f, fhtHandle));
  EXPECT_EQ(Chart->GetObjectAt(150 - 1 - 2, 50 + 2), b);
  EXPECT_FALSE(Has(Chart->GetHitTestAt(150 - 1 - 3, 50 + 3), fhtHandle));
}

TEST_F(FlowChartMouseTest, ClicksSelectAndDragsMoveTheSelectionWithItsUnion) {
  TkxFcObject* a = Chart->CreateObject(50, 50, 80, 60, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(250, 50, 80, 60, fskRectangle);
  TkxFcObject* m = Chart->CreateObject(400, 50, 40, 40, fskRectangle);
  a->AddToUnion(m);
  TkxFcConnection* c = Chart->CreateConnection(a, b, 14, 6);
  Down(90, 80);
  Up(90, 80);
  EXPECT_TRUE(a->Selected());
  Down(290, 80, HeadlessBackend::Shift);
  Up(290, 80);
  EXPECT_EQ(Chart->SelectedObjectCount(), 2) << "Shift adds to the selection";
  Down(500, 300);
  Up(500, 300);
  EXPECT_EQ(Chart->SelectedObjectCount(), 2) << "empty space leaves it";
  Down(290, 80);
  Up(290, 80);
  EXPECT_EQ(Chart->SelectedObjectCount(), 2) << "a click on a selected object keeps the others";
  Down(500, 300);
  Up(500, 300);

  // a press and a move of 4 pixels is no drag; 5 pixels is. The press on
  // the union's main object selects its members.
  b->SetSelected(false);
  const TRawImage before = Shot();
  Down(90, 80);
  Move(92, 82);
  EXPECT_FALSE(Chart->Dragging());
  Move(93, 82);
  EXPECT_TRUE(Chart->Dragging());
  Move(110, 100);
  Up(110, 100);
  EXPECT_FALSE(Chart->Dragging());
  // the drag began at (93, 82)
  EXPECT_EQ(a->Left(), 50 + 110 - 93);
  EXPECT_EQ(a->Top(), 50 + 100 - 82);
  EXPECT_EQ(m->Left(), 400 + 110 - 93) << "union members move along";
  EXPECT_EQ(b->Left(), 250);
  EXPECT_EQ(c->DisplayPoints()[0], a->AttachPoint(6)) << "the attached end follows";
  EXPECT_EQ(Chart->SelectedObjectCount(), 2) << "a and its member, nothing more";
  EXPECT_NE(Shot().Pixels, before.Pixels);
}

TEST_F(FlowChartMouseTest, HandlesResizeTheSingleSelectedObject) {
  TkxFcObject* a = Chart->CreateObject(50, 50, 80, 60, fskRectangle);
  a->SetSelected(true);
  const TRawImage idle = Shot();
  // the bottom-right handle at (129, 109)
  Down(129, 109);
  EXPECT_TRUE(Chart->Dragging()) << "a handle starts the drag at once";
  Move(150, 140);
  EXPECT_NE(Shot().Pixels, idle.Pixels) << "the rubber frame shows";
  Move(170, 150);
  Up(170, 150);
  EXPECT_EQ(a->Left(), 50);
  EXPECT_EQ(a->Width(), 120);
  EXPECT_EQ(a->Height(), 100);
  // the left middle handle only moves the left edge
  Down(50, 100);
  Move(40, 130);
  Up(30, 130);
  EXPECT_EQ(a->Left(), 30);
  EXPECT_EQ(a->Width(), 140);
  EXPECT_EQ(a->Top(), 50);
  EXPECT_EQ(a->Height(), 100);
}

TEST_F(FlowChartMouseTest, BendsAreDraggedInsertedAndDeleted) {
  TkxFcConnection* c = Chart->CreateConnection(nullptr, nullptr, 0, 0);
  c->AddPoint({50, 200});
  c->AddPoint({150, 100});
  c->AddPoint({250, 200});
  c->SetSelected(true);
  // a bend dragged away moves
  DragTo(150, 100, 160, 60);
  ASSERT_EQ(c->FreePointCount(), 3);
  EXPECT_EQ(c->Points(1), (TPoint{160, 60}));
  // released on the straight line between its neighbours: deleted
  DragTo(160, 60, 150, 200);
  EXPECT_EQ(c->FreePointCount(), 2);
  // a new bend is pulled out of the selected line
  DragTo(100, 200, 100, 260);
  ASSERT_EQ(c->FreePointCount(), 3);
  EXPECT_EQ(c->Points(1), (TPoint{100, 260}));
  // a click on a bend deletes it with fcoDelOnClick
  Down(100, 260);
  Up(100, 260);
  EXPECT_EQ(c->FreePointCount(), 2);
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoDelOnClick});
  DragTo(100, 200, 100, 240);
  Down(100, 240);
  Up(100, 240);
  EXPECT_EQ(c->FreePointCount(), 3) << "kept without fcoDelOnClick";
  // the screen shows no leftover of the drags
  const TRawImage shown = Shot();
  Chart->Invalidate();
  EXPECT_EQ(Shot().Pixels, shown.Pixels);
}

TEST_F(FlowChartMouseTest, ConnectionsArePulledOutOfObjectsAndEndsReattached) {
  TkxFcObject* a = Chart->CreateObject(50, 50, 100, 80, fskEllipse);
  TkxFcObject* b = Chart->CreateObject(300, 50, 100, 80, fskRectangle);
  a->SetSelected(true);
  // from the border area of the selected ellipse (inside its rectangle,
  // outside its shape) to the other object; the drag begins at (56, 56)
  Down(53, 53);
  Move(56, 56);
  Move(200, 80);
  Move(350, 90);
  Up(350, 90);
  ASSERT_EQ(Chart->ConnectionCount(), 1);
  TkxFcConnection* c = Chart->Connections(0);
  EXPECT_EQ(c->Source(), a);
  EXPECT_EQ(c->Dest(), b);
  EXPECT_EQ(c->SourcePoint(), a->NearestAttachPoint(56, 56));
  EXPECT_EQ(c->DestPoint(), b->NearestAttachPoint(350, 90));
  EXPECT_EQ(c->FreePointCount(), 0);
  // its destination end dragged to empty space stays free there
  Chart->ClearSelection();
  c->SetSelected(true);
  const TPoint end = c->DisplayPoints().back();
  DragTo(end.x, end.y, 380, 300);
  EXPECT_EQ(c->Dest(), nullptr);
  EXPECT_EQ(c->FreePointCount(), 1);
  EXPECT_EQ(c->Points(0), (TPoint{380, 300}));
  // and back onto the object
  DragTo(380, 300, 399, 60);
  EXPECT_EQ(c->Dest(), b);
  EXPECT_EQ(c->FreePointCount(), 0);
}

}  // namespace
