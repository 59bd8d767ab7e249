// The flow-chart editor: the entry function, settings, palette, clipboard,
// zoom, undo, and the mouse tools that draw objects, connections and the
// rubber band.
#include "treechart/fceditor.h"

#include "platform/controls/dlgscript.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/streams.h"
#include "treechart/tests/flowchart_fixture.h"

namespace {

class FcEditorTest : public FlowChartTest {
 protected:
  TFChartEditor* Ed = nullptr;
  TkxFlowChart* EC = nullptr;

  void SetUp() override {
    FlowChartTest::SetUp();
    RegisterChartForms();
    kxInitFlowChartEditor();
  }
  void TearDown() override {
    delete Ed;
    ClearDialogAnswers();
    ClearModalScript();
    FlowChartTest::TearDown();
  }
  // The editor shown without a modal loop, so that tests can drive it.
  void OpenEditor() {
    Ed = NewObject<TFChartEditor>(Application);
    Ed->Show();
    Pump();
    EC = Ed->Chart;
  }
  void Down(int X, int Y, TMouseButton B = mbLeft) {
    hb->AdvanceClock(1000);
    const TPoint p = At(EC, X, Y);
    hb->MouseMove(p.x, p.y);
    hb->MouseDown(p.x, p.y, B == mbLeft ? HeadlessBackend::Left : HeadlessBackend::Right);
    Pump();
  }
  void Move(int X, int Y) {
    const TPoint p = At(EC, X, Y);
    hb->MouseMove(p.x, p.y);
    Pump();
  }
  void Up(int X, int Y, TMouseButton B = mbLeft) {
    const TPoint p = At(EC, X, Y);
    hb->MouseUp(p.x, p.y, B == mbLeft ? HeadlessBackend::Left : HeadlessBackend::Right);
    Pump();
  }
  void DragOn(int X1, int Y1, int X2, int Y2) {
    Down(X1, Y1);
    for (int i = 1; i <= 4; ++i) Move(X1 + (X2 - X1) * i / 4, Y1 + (Y2 - Y1) * i / 4);
    Up(X2, Y2);
  }
  TMenuItem* Entry(TPopupMenu* M, int Tag) {
    for (int i = 0; i < M->Items()->Count(); ++i)
      if (M->Items()->Items(i)->Tag() == Tag) return M->Items()->Items(i);
    return nullptr;
  }
};

TEST_F(FcEditorTest, OkWithoutChangesGivesTheSameChartAndCancelLeavesIt) {
  TkxFcObject* a = Chart->CreateObject(10, 10, 80, 40, fskRoundRect);
  a->SetText("A");
  Chart->CreateConnection(a, Chart->CreateObject(200, 10, 80, 40, fskEllipse), 14, 6);
  const std::string before = FcBytes(Chart);
  TFcRecorder rec;
  rec.Attach(Chart);
  PushModalScript([&](TCustomForm* f) {
    auto* e = dynamic_cast<TFChartEditor*>(f);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Caption(), "Edit it");
    EXPECT_EQ(FcBytes(e->Chart), before);
    f->SetModalResult(mrOk);
  });
  EXPECT_TRUE(kxFcExecuteEditor(Chart, "Edit it"));
  EXPECT_EQ(FcBytes(Chart), before);
  EXPECT_EQ(rec.Deletions, 0) << "OnDeletion is detached while the chart reloads";
  PushModalScript([&](TCustomForm* f) {
    auto* e = dynamic_cast<TFChartEditor*>(f);
    e->Chart->Clear();
    f->SetModalResult(mrCancel);
  });
  EXPECT_FALSE(kxFcExecuteEditor(Chart, ""));
  EXPECT_EQ(FcBytes(Chart), before);
}

TEST_F(FcEditorTest, SettingsPaletteAndCreateConnectReachTheSelection) {
  OpenEditor();
  TkxFcObject* a = EC->CreateObject(10, 10, 80, 40, fskRectangle);
  TkxFcObject* b = EC->CreateObject(200, 10, 80, 40, fskRectangle);
  a->SetSelected(true);
  b->SetSelected(true);
  Ed->btnCreateConnect->SetDown(true);
  Ed->btnCreateConnect->Click();
  ASSERT_EQ(EC->ConnectionCount(), 1);
  TkxFcConnection* c = EC->Connections(0);
  EXPECT_EQ(c->Source(), a);
  EXPECT_EQ(c->Dest(), b);
  EXPECT_EQ(c->SourcePoint(), 0);
  EXPECT_EQ(c->DestPoint(), 0);
  EXPECT_EQ(EC->SelectedConnection(), c) << "the only selected item";
  EXPECT_FALSE(Ed->btnCreateConnect->Down());
  Ed->iRectangleClick(Entry(Ed->SArrowSizePopupMenu, 3));  // "20 x 20"
  EXPECT_EQ(c->SourceArrow()->Width(), 20);
  EXPECT_EQ(c->SourceArrow()->Height(), 20);
  Ed->iRectangleClick(Entry(Ed->StylePopupMenu, 2));  // curved
  EXPECT_EQ(c->Style(), flsCurved);
  EXPECT_EQ(Ed->sbStyle->Tag(), 2);
  // the palette: right button with nothing selected changes the background
  EC->ClearSelection();
  auto* red = dynamic_cast<TPanel*>(Ed->FindComponent("pRed"));
  ASSERT_NE(red, nullptr);
  const TPoint p = red->ClientToScreen(TPoint{5, 5});
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(EC->Color(), clRed);
  EXPECT_EQ(Ed->pBkColor->Color(), clRed);
  a->SetSelected(true);
  hb->AdvanceClock(1000);
  auto* blue = dynamic_cast<TPanel*>(Ed->FindComponent("pBlue"));
  const TPoint q = blue->ClientToScreen(TPoint{5, 5});
  hb->Click(q.x, q.y);
  Pump();
  EXPECT_EQ(a->ShapeColor(), clBlue) << "the left button sets the outline";
  // selecting an object shows its settings on the tools
  a->SetShapeKind(fskDiamond);
  EC->ClearSelection();
  a->SetSelected(true);
  EXPECT_EQ(Ed->sbShape->Tag(), int(fskDiamond));
}

TEST_F(FcEditorTest, UndoClipboardAndZoom) {
  OpenEditor();
  EXPECT_FALSE(Ed->miUndo->Enabled()) << "nothing to undo right after opening";
  Ed->miUndoClick(nullptr);
  const std::string opened = FcBytes(EC);
  TkxFcObject* a = EC->CreateObject(10, 20, 80, 40, fskRectangle);
  EXPECT_TRUE(Ed->miUndo->Enabled());
  Ed->miUndoClick(nullptr);
  EXPECT_EQ(FcBytes(EC), opened);
  EXPECT_FALSE(Ed->miUndo->Enabled());

  a = EC->CreateObject(10, 20, 80, 40, fskRectangle);
  a->SetSelected(true);
  Ed->iCopyClick(nullptr);
  EXPECT_TRUE(Ed->miPaste->Enabled());
  Ed->iPasteClick(nullptr);
  Ed->iPasteClick(nullptr);
  ASSERT_EQ(EC->ObjectCount(), 3);
  EXPECT_EQ(EC->Objects(1)->Left(), 15);
  EXPECT_EQ(EC->Objects(2)->Left(), 15) << "pasting twice pastes at the same place";
  EXPECT_EQ(EC->Objects(2)->Top(), 25);
  EXPECT_TRUE(EC->Objects(2)->Selected());
  Ed->iCutClick(nullptr);
  EXPECT_EQ(EC->ObjectCount(), 2);
  Ed->miUndoClick(nullptr);
  EXPECT_EQ(EC->ObjectCount(), 3);

  EC->SetZoom(480);
  Ed->miZoomInClick(nullptr);
  EXPECT_EQ(EC->Zoom(), 490);
  EXPECT_TRUE(Ed->miZoomIn->Enabled());
  Ed->miZoomInClick(nullptr);
  EXPECT_EQ(EC->Zoom(), 490);
  EXPECT_FALSE(Ed->miZoomIn->Enabled());
  EXPECT_TRUE(Ed->miActualSize->Enabled());
  Ed->miActualSizeClick(nullptr);
  EXPECT_EQ(EC->Zoom(), 100);
  Ed->miFitClick(nullptr);
  EXPECT_EQ(EC->Zoom(), 0);
  EXPECT_TRUE(Ed->sbFit->Down());
  EXPECT_FALSE(Ed->sbZoom->Enabled());
  Ed->miFitClick(nullptr);
  EXPECT_EQ(EC->Zoom(), 100);
}

TEST_F(FcEditorTest, UndoKeepsAtMostItsDepth) {
  TkxFlowChart* c = ::NewObject<TkxFlowChart>(Form);
  TUndoManager u;
  u.SetChart(c);
  u.SetDepth(3);
  EXPECT_FALSE(u.Store());
  EXPECT_FALSE(u.Store()) << "the same state is stored once";
  for (int i = 0; i < 5; ++i) {
    c->CreateObject(i, 0, 10, 10, fskRectangle);
    u.Store();
  }
  EXPECT_EQ(u.Count(), 3);
  u.Undo();
  u.Undo();
  EXPECT_FALSE(u.CanUndo());
  EXPECT_EQ(c->ObjectCount(), 3) << "the oldest kept state";
}

TEST_F(FcEditorTest, ObjectToolDrawsAnObjectWithTheCurrentSettings) {
  OpenEditor();
  Ed->iRectangleClick(Entry(Ed->ShapePopupMenu, 2));
  Ed->iRectangleClick(Entry(Ed->LinePopupMenu, 3));
  Ed->btnCreateObject->SetDown(true);
  Ed->btnCreateObject->Click();
  DragOn(10, 10, 110, 60);
  ASSERT_EQ(EC->ObjectCount(), 1);
  TkxFcObject* o = EC->Objects(0);
  EXPECT_EQ(o->Left(), 10);
  EXPECT_EQ(o->Top(), 10);
  EXPECT_EQ(o->Width(), 100);
  EXPECT_EQ(o->Height(), 50);
  EXPECT_EQ(o->ShapeKind(), fskEllipse);
  EXPECT_EQ(o->ShapeWidth(), 3);
  EXPECT_EQ(o->Text(), " \xB6\xD4\xCF\xF3 1");
  EXPECT_FALSE(Ed->btnCreateObject->Down());
  EXPECT_TRUE(o->Selected());
  // five pixels or less: nothing, and the tool is released
  Ed->btnCreateObject->SetDown(true);
  DragOn(200, 200, 205, 260);
  EXPECT_EQ(EC->ObjectCount(), 1);
  EXPECT_FALSE(Ed->btnCreateObject->Down());
  // the preview leaves nothing on the screen: a fresh paint looks the same
  auto shot = [&] {
    EC->Repaint();
    Pump();
    const TPoint o2 = EC->ClientToScreen(TPoint{0, 0});
    return hb->ComposeScreen({o2.x, o2.y, o2.x + EC->ClientWidth(), o2.y + EC->ClientHeight()});
  };
  const auto shown = shot();
  EC->Invalidate();
  EXPECT_EQ(shot(), shown);
}

TEST_F(FcEditorTest, ConnectToolAttachesToObjectsOrLeavesFreePoints) {
  OpenEditor();
  TkxFcObject* a = EC->CreateObject(20, 20, 80, 60, fskRectangle);
  Ed->btnCreateConnect->SetDown(true);
  Ed->btnCreateConnect->Click();
  DragOn(99, 50, 300, 200);
  ASSERT_EQ(EC->ConnectionCount(), 1);
  TkxFcConnection* c = EC->Connections(0);
  EXPECT_EQ(c->Source(), a);
  EXPECT_EQ(c->SourcePoint(), 6);
  EXPECT_EQ(c->Dest(), nullptr);
  EXPECT_EQ(c->FreePointCount(), 1);
  EXPECT_EQ(c->Points(0), (TPoint{300, 200}));
  // between two empty places: two free points, attach numbers from the tools
  Ed->iRectangleClick(Entry(Ed->SPointPopupMenu, 4));
  Ed->btnCreateConnect->SetDown(true);
  DragOn(300, 300, 400, 320);
  ASSERT_EQ(EC->ConnectionCount(), 2);
  TkxFcConnection* d = EC->Connections(1);
  EXPECT_EQ(d->Source(), nullptr);
  EXPECT_EQ(d->FreePointCount(), 2);
  EXPECT_EQ(d->SourcePoint(), 4);
}

TEST_F(FcEditorTest, RubberBandTogglesWhatItTouches) {
  OpenEditor();
  TkxFcObject* a = EC->CreateObject(20, 20, 40, 40, fskRectangle);
  TkxFcObject* b = EC->CreateObject(100, 20, 40, 40, fskRectangle);
  TkxFcObject* c = EC->CreateObject(20, 200, 40, 40, fskRectangle);
  DragOn(10, 10, 70, 70);
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(b->Selected());
  c->SetSelected(true);
  hb->KeyDown(VK_SHIFT);
  DragOn(10, 10, 150, 70);
  hb->KeyUp(VK_SHIFT);
  Pump();
  EXPECT_FALSE(a->Selected()) << "toggled off";
  EXPECT_TRUE(b->Selected()) << "toggled on";
  EXPECT_TRUE(c->Selected()) << "the rest is kept";
}

TEST_F(FcEditorTest, EditorWindowLaysOutItsTools) {
  OpenEditor();
  Ed->SetBounds(20, 20, 595, 442);
  EXPECT_EQ(Ed->Width(), 595);
  EXPECT_EQ(EC->Left(), 41) << "the tool column is 41 pixels wide";
  EXPECT_GT(EC->Width(), 500);
  EXPECT_EQ(Ed->LargeImages->Count(), 16);
  EXPECT_EQ(Ed->SmallImages->Count(), 76);
  EXPECT_EQ(Ed->sbSArrowSize->Tag(), 1);
  EXPECT_FALSE(Ed->sbShape->Glyph()->Empty()) << "the glyph of the current value";
  EXPECT_TRUE(Ed->Contens1 && !Ed->Contens1->Visible());
  if (const char* dir = std::getenv("PV_SCREENSHOT_DIR")) {
    Pump();
    const RECT r{20, 20, 20 + 595, 20 + 442};
    hb->SaveScreenshot(std::string(dir) + "/fceditor.png", &r);
  }
}

// Every setting's picture tells its value apart from every other's (a line
// width from an arrow end, a source end from a destination end, one size from
// another), and the font buttons show a picture of their own.
TEST_F(FcEditorTest, EverySettingHasAPictureOfItsOwn) {
  OpenEditor();
  TImageList* small = Ed->SmallImages;
  ASSERT_EQ(small->Count(), 76);
  std::vector<std::vector<TColor>> pictures;
  for (int i = 0; i < small->Count(); ++i) {
    TBitmap b;
    b.SetSize(11, 11);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect{0, 0, 11, 11});
    small->Draw(b.Canvas(), 0, 0, i);
    std::vector<TColor> px;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 11; ++x) px.push_back(b.Canvas()->Pixels(x, y));
    pictures.push_back(px);
  }
  for (int i = 0; i < small->Count(); ++i)
    for (int j = i + 1; j < small->Count(); ++j) EXPECT_NE(pictures[std::size_t(i)], pictures[std::size_t(j)]) << i << " and " << j;
  for (TSpeedButton* b : {Ed->sbObjectFont, Ed->sbConnectFont}) {
    EXPECT_TRUE(b->Caption().empty());
    EXPECT_FALSE(b->Glyph()->Empty());
  }
  // the tool column as shown
  Ed->SetBounds(20, 20, 595, 442);
  Pump();
  const TPoint o = Ed->ClientToScreen(TPoint{0, 0});
  const RECT r{o.x, o.y, o.x + Ed->Chart->Left(), o.y + Ed->Chart->Top() + Ed->Chart->Height()};
  TRawImage img;
  img.Width = r.right - r.left;
  img.Height = r.bottom - r.top;
  img.Pixels = hb->ComposeScreen(r);
  EXPECT_TRUE(MatchesReference(img, "treechart/tests/ref", "fceditor_palette"));
}

TEST_F(FcEditorTest, UnionHintsNameTheUnions) {
  OpenEditor();
  TkxFcObject* o[4];
  for (int i = 0; i < 4; ++i) o[i] = EC->CreateObject(i * 60, 0, 50, 50, fskRectangle);
  o[0]->AddToUnion(o[3]);
  o[1]->AddToUnion(o[2]);
  o[2]->AddToUnion(o[3]);
  EXPECT_EQ(Ed->UnionHintText(o[2]), "Main Item of the Union 3 and Child Item of the Union 2");
  EXPECT_EQ(Ed->UnionHintText(o[3]), "Child Item of the Unions 1, 2, 3");
  EXPECT_EQ(Ed->UnionHintText(o[1]), "Main Item of the Union 2");
  Move(5 + 120, 25);
  EXPECT_EQ(Ed->HintObject(), o[2]);
  EXPECT_EQ(EC->Hint(), Ed->UnionHintText(o[2]));
  EXPECT_TRUE(EC->ShowHint());
  Move(500, 300);
  EXPECT_EQ(Ed->HintObject(), nullptr);
  EXPECT_FALSE(EC->ShowHint());
}

}  // namespace
