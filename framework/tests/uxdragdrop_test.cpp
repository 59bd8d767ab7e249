// Drag and drop of the owner-drawn controls: the own drag inside a control
// (start, moves, end, Escape) and the class-library drag between two controls.
#include "framework/uxdragdrop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/tests/ctltest.h"

namespace {

std::vector<std::string>* g_log = nullptr;

class TRecordingObject : public TuxDragAndDropObject {
  PV_CLASS(TRecordingObject, TuxDragAndDropObject)
 public:
  explicit TRecordingObject(TuxControl* C) : TuxDragAndDropObject(C) {}
  void Update() override { g_log->push_back("update"); }
  void DragAndDrop(const TPoint& P, bool& Accepted) override {
    Accepted = P.x < 100;
    g_log->push_back(Accepted ? "move ok" : "move no");
    TuxDragAndDropObject::DragAndDrop(P, Accepted);
  }
  void EndDragAndDrop(bool Accepted) override {
    g_log->push_back(Accepted ? "end ok" : "end cancel");
    TuxDragAndDropObject::EndDragAndDrop(Accepted);
  }
  void AfterDragAndDrop(bool Accepted) override { g_log->push_back(Accepted ? "after ok" : "after cancel"); }
};

class TDragging : public TuxControl {
 public:
  explicit TDragging(TComponent* AOwner) : TuxControl(AOwner) {
    SetDragAndDropObjectClass(TRecordingObject::StaticClass());
  }
  bool Arm = true;
  bool StartDragAndDrop(const TPoint&) override { return Arm; }
};

class DragTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    g_log = &Log;
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 400, 300);
  }
  void TearDown() override {
    delete Form;
    g_log = nullptr;
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
  template <class T>
  T* Add(int L) {
    auto* c = NewObject<T>(Form);
    c->SetBounds(L, 0, 150, 100);
    c->SetParent(Form);
    return c;
  }
};

TEST_F(DragTest, OwnDragRunsStartMovesAndEnd) {
  auto* c = Add<TDragging>(0);
  Form->Show();
  Pump();
  TPoint a = At(c, 10, 10);
  hb->MouseDown(a.x, a.y);
  Pump();
  hb->MouseMove(a.x + 110, a.y);  // leaves the drag-detect area: starts
  Pump();
  hb->MouseMove(a.x + 40, a.y);
  Pump();
  hb->MouseUp(a.x + 40, a.y);
  Pump();
  ASSERT_FALSE(Log.empty());
  EXPECT_EQ(Log.front(), "update");
  EXPECT_EQ(Log[Log.size() - 2], "end ok");
  EXPECT_EQ(Log.back(), "after ok");
  EXPECT_NE(std::find(Log.begin(), Log.end(), "move ok"), Log.end());
  EXPECT_NE(std::find(Log.begin(), Log.end(), "move no"), Log.end());
  EXPECT_EQ(c->DragAndDropState(), odsNone);
  EXPECT_FALSE(c->HasDragAndDropObject());
  EXPECT_FALSE(c->MouseCapture());
}

TEST_F(DragTest, EscapeCancelsAndRestoresTheCursor) {
  auto* c = Add<TDragging>(0);
  Form->Show();
  Pump();
  c->SetFocus();
  Screen->SetCursor(crHourGlass);
  TPoint a = At(c, 10, 10);
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(a.x + 30, a.y);
  Pump();
  ASSERT_EQ(c->DragAndDropState(), odsDragging);
  EXPECT_NE(Screen->Cursor(), crHourGlass);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(c->DragAndDropState(), odsNone);
  EXPECT_EQ(Log.back(), "after cancel");
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  hb->MouseUp(a.x + 30, a.y);
  Pump();
  Screen->SetCursor(crDefault);
}

TEST_F(DragTest, PressesThatDoNotArmChangeNothing) {
  auto* c = Add<TDragging>(0);
  c->Arm = false;
  Form->Show();
  Pump();
  TPoint a = At(c, 10, 10);
  hb->Drag(a.x, a.y, a.x + 50, a.y + 5);
  Pump();
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(c->DragAndDropState(), odsNone);
}

struct DropTarget {
  int Overs = 0;
  TObject* Dropped = nullptr;
  void Over(TObject*, TObject*, int, int, TDragState, bool& Accept) {
    ++Overs;
    Accept = true;
  }
  void Drop(TObject*, TObject* Source, int, int) { Dropped = Source; }
};

TEST_F(DragTest, ClassLibraryDragBetweenTwoControls) {
  auto* src = Add<TDragging>(0);
  auto* dst = Add<TDragging>(200);
  src->Arm = dst->Arm = false;
  src->SetDragMode(dmAutomatic);
  DropTarget t;
  dst->OnDragOver = TDragOverEvent(&t, &DropTarget::Over);
  dst->OnDragDrop = TDragDropEvent(&t, &DropTarget::Drop);
  Form->Show();
  Pump();
  TPoint a = At(src, 20, 20), m = At(src, 60, 20), b = At(dst, 20, 20);
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(m.x, m.y);
  hb->MouseMove(b.x, b.y);
  hb->MouseMove(b.x + 1, b.y);
  hb->MouseUp(b.x + 1, b.y);
  Pump();
  EXPECT_GT(t.Overs, 0);
  EXPECT_NE(t.Dropped, nullptr);
  EXPECT_EQ(uxCurrentDragObject(), nullptr);
}

// A control that paints its drag image: a red square of the size it asks for.
class TImaged : public TDragging {
 public:
  using TDragging::TDragging;
  TSize Size{16, 12};
  bool Allow = true;
  bool HasDragImages() override { return true; }
  TSize GetDragImagesSize() override { return Size; }
  // A white frame (the corner gives the transparent colour) around red.
  void DrawDragImage(TuxCanvas* C, const TRect& R) override {
    C->FillRect(R, clWhite);
    C->FillRect(uxInflated(R, -2, -2), clRed);
  }
  bool StartDrag(TDragObject*) override { return Allow; }
};

TEST_F(DragTest, DragImagePaintedByTheControl) {
  auto* c = Add<TImaged>(0);
  TDragImageList* il = c->GetDragImages();
  ASSERT_NE(il, nullptr);
  EXPECT_EQ(il->Count(), 1);
  EXPECT_EQ(il->Width(), 16);
  EXPECT_EQ(il->Height(), 12);
  TBitmap b;
  il->GetBitmap(0, &b);
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(8, 6)), ColorToRGB(clRed));
  auto* none = Add<TImaged>(200);
  none->Size = TSize{0, 0};
  EXPECT_EQ(none->GetDragImages(), nullptr);
}

TEST_F(DragTest, CopyCursorWhileCtrlIsHeldOverAnAcceptingTarget) {
  auto* src = Add<TDragging>(0);
  Form->Show();
  Pump();
  TuxDragControlObject o(src);
  struct Case {
    bool ctrl, accepted;
    TCursor cursor;
  } cases[] = {
      {true, true, UX_DRAGCOPYCURSOR},
      {false, true, src->DragCursor()},
      {true, false, crNoDrop},
  };
  for (const Case& c : cases) {
    if (c.ctrl) hb->KeyDown(VK_CONTROL);
    Pump();
    EXPECT_EQ(o.GetDragCursor(c.accepted, 0, 0), c.cursor) << c.ctrl << c.accepted;
    if (c.ctrl) hb->KeyUp(VK_CONTROL);
    Pump();
  }
}

TEST_F(DragTest, DragRefusedByTheControlDropsNothing) {
  auto* src = Add<TImaged>(0);
  auto* dst = Add<TDragging>(200);
  src->Arm = dst->Arm = false;
  src->Allow = false;
  src->SetDragMode(dmAutomatic);
  DropTarget t;
  dst->OnDragOver = TDragOverEvent(&t, &DropTarget::Over);
  dst->OnDragDrop = TDragDropEvent(&t, &DropTarget::Drop);
  Form->Show();
  Pump();
  TPoint a = At(src, 20, 20), m = At(src, 60, 20), b = At(dst, 20, 20);
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(m.x, m.y);
  hb->MouseMove(b.x, b.y);
  hb->MouseUp(b.x, b.y);
  Pump();
  EXPECT_EQ(t.Dropped, nullptr);
  EXPECT_FALSE(src->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
