// Organisation-chart input: expand buttons, keyboard navigation and the
// insert keys, in-place editing, moving a node by dragging it (with its
// feedback on the desktop overlay) and auto-scrolling at the window edge.
#include "treechart/tests/orgchart_fixture.h"

#include "platform/win/messages.h"

namespace {

class OrgChartInputTest : public OrgChartTest {
 protected:
  void SetUp() override {
    OrgChartTest::SetUp();
    Chart->SetFocus();
    Pump();
  }
  void Key(unsigned Vk, unsigned Mods = 0) {
    hb->Key(Vk, Mods);
    Pump();
  }
  void Type(const std::string& Text) {
    hb->CommitText(Text);
    Pump();
  }
  // Presses on (X1, Y1) of the chart, moves to (X2, Y2) in steps and, unless
  // Hold, releases there.
  void DragInChart(int X1, int Y1, int X2, int Y2, bool Hold = false) {
    const TPoint a = At(Chart, X1, Y1), b = At(Chart, X2, Y2);
    hb->AdvanceClock(1000);  // no double click with the press before
    hb->MouseMove(a.x, a.y);
    hb->MouseDown(a.x, a.y);
    Pump();
    for (int i = 1; i <= 6; ++i) {
      hb->MouseMove(a.x + (b.x - a.x) * i / 6, a.y + (b.y - a.y) * i / 6);
      Pump();
    }
    if (!Hold) {
      hb->MouseUp(b.x, b.y);
      Pump();
    }
  }
};

TEST_F(OrgChartInputTest, ExpandButtonsToggleAndMoveASelectionOutOfTheCollapsedSubtree) {
  Build("A(A1(A11)),B");
  TkxOcNode* a1 = Find("A1");
  a1->Collapse(false);
  // A1's button is centred on (40, 114), A's on (40, 57)
  TPoint p = At(Chart, 40, 116);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_TRUE(a1->Expanded());
  EXPECT_EQ(Chart->Selected(), Find("A")) << "the plus button does not select";

  Chart->SetSelected(Find("A11"));
  TOcRecorder rec;
  rec.Attach(Chart);
  hb->AdvanceClock(1000);
  p = At(Chart, 40, 59);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(Chart->Selected(), Find("A"));
  EXPECT_FALSE(Find("A")->Expanded());
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"Changing:A", "Change:A", "Collapsed:A"}));

  // a double click on a shape toggles it
  hb->AdvanceClock(1000);
  p = At(Chart, 40, 30);
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_TRUE(Find("A")->Expanded());
}

TEST_F(OrgChartInputTest, ArrowsWalkTheVisibleNodesAndSkipRefusedOnes) {
  Build("A(A1,A2),B(B1)");
  Find("B")->Collapse(false);
  Chart->SetSelected(Find("A1"));
  struct Step {
    unsigned Vk;
    const char* Then;
  } steps[] = {{VK_DOWN, "A2"}, {VK_DOWN, "B"},  {VK_DOWN, "B"},  {VK_UP, "A2"},
               {VK_LEFT, "A1"}, {VK_LEFT, "A"},  {VK_RIGHT, "B"}, {VK_UP, "A2"}};
  for (const Step& s : steps) {
    Key(s.Vk);
    EXPECT_EQ(TOcRecorder::Name(Chart->Selected()), s.Then) << s.Vk;
  }
  struct TRefuseA1 : TObject {
    void Changing(TObject*, TkxOcNode* N, bool& Allow) { Allow = std::string(N->Text()) != "A1"; }
  } refuse;
  Chart->OnChanging = TkxOcAllowEvent(&refuse, &TRefuseA1::Changing);
  Key(VK_UP);
  EXPECT_EQ(TOcRecorder::Name(Chart->Selected()), "A") << "A1 refused, skipped";
  Chart->OnChanging = nullptr;
  Key(VK_ADD);
  hb->KeyDown(VK_SUBTRACT, false, "-");
  hb->KeyUp(VK_SUBTRACT);
  Pump();
  EXPECT_FALSE(Find("A")->Expanded()) << "'-' collapses the selection";
}

TEST_F(OrgChartInputTest, InsertKeysAddSiblingsAndChildren) {
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocInsDel});
  Key(VK_INSERT);
  ASSERT_EQ(Chart->Count(), 1) << "an empty chart gets its first node";
  Chart->FirstNode()->SetText("A");
  Build("A1,A2", Find("A"));
  Chart->SetSelected(Find("A2"));
  Key(VK_INSERT);
  TkxOcNode* n = Chart->Selected();
  ASSERT_NE(n, nullptr);
  n->SetText("N");
  EXPECT_EQ(Layout(), "A(A1,A2,N)");
  Chart->SetSelected(Find("A1"));
  Key(VK_INSERT);
  Chart->Selected()->SetText("M");
  EXPECT_EQ(Layout(), "A(A1,M,A2,N)") << "directly after the selection";
  Find("A")->Collapse(false);
  Chart->SetSelected(Find("A"));
  Key(VK_INSERT, HeadlessBackend::Ctrl);
  EXPECT_EQ(Chart->Selected()->Parent(), Find("A"));
  EXPECT_TRUE(Find("A")->Expanded()) << "expanded to show the new child";
  EXPECT_EQ(Find("A")->Count(), 5);
  Chart->SetSelected(Find("N"));
  Key(VK_DELETE);
  EXPECT_EQ(Find("N"), nullptr);
}

TEST_F(OrgChartInputTest, EditorKeepsOrDiscardsTheTypedText) {
  Build("A,B");
  Chart->SetSelected(Find("A"));
  Key(VK_F2);
  ASSERT_TRUE(Chart->IsEditing());
  Type("x");
  Key(VK_ESCAPE);
  EXPECT_FALSE(Chart->IsEditing());
  EXPECT_EQ(Find("A")->Text(), "A") << "Esc discards";

  Key(VK_F2);
  Type("x");
  Key(VK_F2);
  EXPECT_FALSE(Chart->IsEditing());
  EXPECT_EQ(Chart->Selected()->Text(), "xA") << "F2 keeps";

  Key(VK_RETURN);
  ASSERT_TRUE(Chart->IsEditing());
  Key(VK_END, HeadlessBackend::Ctrl);
  Key(VK_RETURN);
  Type("y");
  EXPECT_TRUE(Chart->IsEditing()) << "Enter alone starts a new line";
  Key(VK_RETURN, HeadlessBackend::Alt);
  EXPECT_FALSE(Chart->IsEditing());
  EXPECT_EQ(Chart->Selected()->Text(), "xA\r\ny");

  // Alt+Right moves the selection; the editor follows, applying the text
  Key(VK_F2);
  Type("z");
  Key(VK_RIGHT, HeadlessBackend::Alt);
  EXPECT_EQ(Chart->Selected(), Find("B"));
  EXPECT_TRUE(Chart->IsEditing());
  EXPECT_EQ(Chart->Editor()->Text(), "B");
  EXPECT_EQ(Find("B")->PrevSibling()->Text(), "zxA\r\ny");
  Key(VK_ESCAPE);

  // the editor stays closed while editing is off
  Chart->SetOptions(Chart->Options() - TkxOcOptions{ocEdit});
  Key(VK_F2);
  EXPECT_FALSE(Chart->IsEditing());
}

TEST_F(OrgChartInputTest, EditedTextGrowsTheNodeAsTheEditModeSays) {
  Build("A,B");
  TkxOcNode* a = Find("A");
  Chart->SetEditMode({emWrap, emGrow});
  a->ApplyEditedText("A caption long enough to need several lines in its box");
  EXPECT_GT(a->Height(), 40) << "taller";
  EXPECT_EQ(a->Width(), 0);
  TkxOcNode* b = Find("B");
  Chart->SetEditMode({});
  b->ApplyEditedText("A caption far too wide for one node");
  EXPECT_GT(b->Width(), 64) << "wider";
  EXPECT_EQ(b->Height(), 0);
  const Word w = b->Width();
  b->ApplyEditedText("A caption far too wide for one node");
  EXPECT_EQ(b->Width(), w) << "the same text changes nothing";
}

TEST_F(OrgChartInputTest, DraggingMovesTheNodeToItsNewParent) {
  Build("A(A1,A2),B(B1)");
  Find("B")->Collapse(false);
  // A box 48..113, A1 8..73 and A2 89..154 one row down, B 170..235
  Chart->SetSelected(Find("A"));
  DragInChart(80, 30, 40, 95);
  EXPECT_EQ(Layout(), "A(A1,A2),B(B1)") << "not onto its own child";

  // the feedback is drawn while dragging and gone after a cancel
  Chart->SetSelected(Find("A2"));
  const TRawImage before = Shot();
  DragInChart(120, 95, 180, 80, true);
  EXPECT_NE(Px(180, 80), Rgb(before.At(180, 80))) << "the feedback rectangle starts at the drag point";
  Key(VK_ESCAPE);
  TPoint drop = At(Chart, 180, 80);
  hb->MouseUp(drop.x, drop.y);
  Pump();
  EXPECT_EQ(Shot().Pixels, before.Pixels);
  EXPECT_EQ(Layout(), "A(A1,A2),B(B1)");

  DragInChart(120, 95, 180, 80);
  EXPECT_EQ(Layout(), "A(A1),B(B1,A2)") << "below a collapsed node: its last child";
  EXPECT_TRUE(Find("B")->Expanded());
  EXPECT_EQ(Chart->Selected(), Find("A2"));

  // dropped on the right part of a box: after that node
  Chart->SetSelected(Find("A1"));
  const TRect b1 = Find("B1")->DisplayRect();
  DragInChart(40, 95, b1.right + 2, b1.top + 30);
  EXPECT_EQ(Layout(), "A,B(B1,A1,A2)");
}

TEST_F(OrgChartInputTest, HoldingANodeAtTheLeftEdgeScrollsUntilTheEnd) {
  Build("N1,N2,N3,N4,N5,N6,N7,N8,N9,N10,N11,N12");
  Chart->UpdateLayout();
  Chart->ScrollTo(40, 0);
  ASSERT_EQ(Chart->LeftEdge(), 40);
  Chart->SetSelected(Find("N2"));
  // N2's box is at 89..154 before scrolling
  DragInChart(120 - 40, 30, 5, 30, true);
  std::vector<int> edges;
  for (int i = 0; i < 5; ++i) {
    hb->AdvanceClock(220);
    Pump();
    edges.push_back(Chart->LeftEdge());
  }
  EXPECT_EQ(edges, (std::vector<int>{24, 8, 0, 0, 0}));
  Key(VK_ESCAPE);
  const TPoint p = At(Chart, 5, 30);
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(Layout(), "N1,N2,N3,N4,N5,N6,N7,N8,N9,N10,N11,N12");
}

}  // namespace
