// The organisation chart's node model: insertion, deletion and the selection
// that follows it, moves, expand and collapse, the size rules of the node
// setters and the 13-byte attribute record.
#include "treechart/tests/orgchart_fixture.h"

#include "platform/rtl/streams.h"

namespace {

TEST_F(OrgChartTest, FirstInsertedNodeIsSelectedAndNodesKeepTheirIndexes) {
  EXPECT_EQ(Chart->FirstNode(), nullptr);
  EXPECT_EQ(Chart->Count(), 0);
  Build("A(A1,A2),B");
  EXPECT_EQ(Chart->Count(), 4);
  EXPECT_EQ(Chart->Selected(), Find("A"));
  TkxOcNode* b = Find("B");
  TkxOcNode* x = Chart->Insert(b, 0);
  x->SetText("X");
  EXPECT_EQ(Layout(), "A(A1,A2),X,B");
  EXPECT_EQ(x->Index(), 1);
  EXPECT_EQ(b->Index(), 2);
  EXPECT_EQ(x->Parent(), nullptr);
  EXPECT_EQ(Find("A1")->Parent(), Find("A"));
  EXPECT_EQ(Chart->Insert(nullptr, 0), nullptr);
  // a node of another chart is no parent here
  TkxCustomOrgChart* other = NewObject<TkxCustomOrgChart>(Form);
  TkxOcNode* foreign = other->Add(nullptr, 0);
  EXPECT_EQ(Chart->Add(foreign, 0), nullptr);
  EXPECT_EQ(Chart->Count(), 5);
}

TEST_F(OrgChartTest, PreOrderWalksStayInsideTheTree) {
  Build("A(A1(A11),A2),B(B1)");
  std::string forward, backward;
  for (TkxOcNode* n = Chart->FirstNode(); n; n = n->GetNext()) forward += std::string(n->Text()) + " ";
  EXPECT_EQ(forward, "A A1 A11 A2 B B1 ");
  for (TkxOcNode* n = Find("B1"); n; n = n->GetPrev()) backward += std::string(n->Text()) + " ";
  EXPECT_EQ(backward, "B1 B A2 A11 A1 A ");
  EXPECT_TRUE(Find("A11")->IsDescendantOf(Find("A")));
  EXPECT_FALSE(Find("A")->IsDescendantOf(Find("A")));
  EXPECT_TRUE(Find("A")->IsDescendantOf(nullptr));
}

TEST_F(OrgChartTest, DeletingTheSelectionMovesItToANeighbour) {
  struct Case {
    const char* Tree;
    const char* Delete;
    const char* Selected;  // before
    const char* After;
  } cases[] = {
      {"A(A1,A2,A3),B", "A2", "A2", "A3"},  // next sibling
      {"A(A1,A2,A3),B", "A3", "A3", "A2"},  // previous sibling
      {"A(A1),B", "A1", "A1", "A"},          // the parent
      {"A(A1(A11)),B", "A", "A11", "B"},     // the selection was inside the deleted subtree
      {"C", "C", "C", "nil"},                // top level, no sibling
  };
  for (const Case& c : cases) {
    Chart->Clear();
    Build(c.Tree);
    Chart->SetSelected(Find(c.Selected));
    Chart->DeleteNode(Find(c.Delete));
    EXPECT_EQ(TOcRecorder::Name(Chart->Selected()), c.After) << c.Delete;
    EXPECT_EQ(Find(c.Delete), nullptr);
  }
  // a parent left without children is collapsed and its subtree counted out
  Chart->Clear();
  Build("A(A1(A11,A12))");
  TkxOcNode* a1 = Find("A1");
  EXPECT_TRUE(a1->Expanded());
  Chart->DeleteNode(Find("A11"));
  Chart->DeleteNode(Find("A12"));
  EXPECT_FALSE(a1->Expanded());
  EXPECT_EQ(Chart->Count(), 2);
  Chart->DeleteNode(Find("A"));
  EXPECT_EQ(Chart->Count(), 0);
}

TEST_F(OrgChartTest, FreeingANodeDeletesItsSubtreeThroughTheChart) {
  Build("A(A1,A2),B");
  TOcRecorder rec;
  rec.Attach(Chart);
  Find("A")->Free();
  EXPECT_EQ(Layout(), "B");
  EXPECT_EQ(Chart->Count(), 1);
  EXPECT_EQ(Chart->Selected(), Find("B"));
  EXPECT_NE(std::find(rec.Log.begin(), rec.Log.end(), "Deletion:A1"), rec.Log.end());
}

TEST_F(OrgChartTest, MoveToFollowsTheAttachModes) {
  struct Case {
    const char* Node;
    const char* Dest;  // "" for nil
    TNodeAttachMode Mode;
    const char* Layout;
  } cases[] = {
      {"B", "A1", naAdd, "A(A1,A2,B),C"},
      {"B", "A2", naAddFirst, "A(B,A1,A2),C"},
      {"B", "A1", naAddChild, "A(A1(B),A2),C"},
      {"B", "A", naAddChildFirst, "A(B,A1,A2),C"},
      {"B", "A2", naInsert, "A(A1,B,A2),C"},
      {"A", "", naAdd, "B,C,A(A1,A2)"},
      {"C", "", naAddFirst, "C,A(A1,A2),B"},
      {"B", "", naInsert, "A(A1,A2),B,C"},          // nothing
      {"A", "A1", naAddChild, "A(A1,A2),B,C"},      // into its own subtree: nothing
      {"A", "A", naInsert, "A(A1,A2),B,C"},         // onto itself: nothing
      {"A", "C", naInsert, "B,A(A1,A2),C"},         // same parent, index beyond its own
      {"C", "", naAddChild, "A(A1,A2),B,C"},        // already last: nothing
  };
  for (const Case& c : cases) {
    Chart->Clear();
    Build("A(A1,A2),B,C");
    Find(c.Node)->MoveTo(*c.Dest ? Find(c.Dest) : nullptr, c.Mode);
    EXPECT_EQ(Layout(), c.Layout) << c.Node << " -> " << c.Dest << " mode " << int(c.Mode);
  }
}

TEST_F(OrgChartTest, ExpandAndCollapseFireTheirEventsOnlyWhenSomethingChanges) {
  Build("A(A1(A11)),B");
  TOcRecorder rec;
  rec.Attach(Chart);
  Chart->Root()->Collapse(false);
  EXPECT_TRUE(Chart->Root()->Expanded());
  Find("B")->Expand(false);
  EXPECT_TRUE(rec.Log.empty()) << "a node without children: no event";
  Find("A")->Collapse(true);
  EXPECT_FALSE(Find("A")->Expanded());
  EXPECT_FALSE(Find("A1")->Expanded());
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"Collapsed:A", "Collapsed:A1"}));
  rec.Log.clear();
  rec.Allow = false;
  Find("A")->Expand(false);
  EXPECT_FALSE(Find("A")->Expanded()) << "vetoed";
  rec.Allow = true;
  Find("A")->Expand(true);
  EXPECT_TRUE(Find("A")->Expanded());
  EXPECT_TRUE(Find("A1")->Expanded());
  EXPECT_TRUE(Find("A11")->IsVisible());
  Find("A")->SetExpanded(false);
  EXPECT_FALSE(Find("A11")->IsVisible());
  EXPECT_TRUE(Find("A")->IsVisible());
}

TEST_F(OrgChartTest, NodeSizesRespectTheMinimum) {
  Build("A");
  TkxOcNode* a = Find("A");
  EXPECT_EQ(a->Width(), 0);
  EXPECT_EQ(Chart->NodeEffWidth(a), 64) << "follows DefaultNodeWidth";
  a->SetWidth(10);
  EXPECT_EQ(a->Width(), 16);
  a->SetHeight(5);
  EXPECT_EQ(a->Height(), 16);
  TImageList images(nullptr);
  images.SetSize(16, 16);
  Chart->SetImages(&images);
  EXPECT_EQ(Chart->DefaultImageAlign(), iaLT);
  EXPECT_EQ(a->Width(), 32) << "raised to twice the image width";
  a->SetWidth(10);
  EXPECT_EQ(a->Width(), 32);
  Chart->SetDefaultNodeWidth(20);
  EXPECT_EQ(Chart->DefaultNodeWidth(), 32);
  Chart->SetImages(nullptr);
  Chart->SetLineWidth(0);
  EXPECT_EQ(Chart->StoredLineWidth(), 1);
  Chart->SetLineColor(clNone);
  EXPECT_EQ(Chart->LineColor(), clBlack);
  Chart->SetSelectedNodeColor(clDefault);
  EXPECT_EQ(Chart->SelectedNodeColor(), clHighlight);
}

TEST_F(OrgChartTest, AttributeRecordIsThirteenBytesAppliedThroughTheSetters) {
  Build("A");
  TkxOcNode* a = Find("A");
  a->SetWidth(100);
  a->SetHeight(50);
  a->SetColor(0x00112233);
  a->SetChildAlign(oaRight);
  a->SetShape(nsDiamond);
  a->SetImageIndex(-1);
  a->SetImageAlign(iaBC);
  TMemoryStream out;
  a->WriteData(&out);
  ASSERT_EQ(out.Size(), 13);
  const Byte expected[13] = {100, 0, 50, 0, 0x33, 0x22, 0x11, 0x00, 2, 3, 0xFF, 0xFF, 11};
  EXPECT_EQ(std::memcmp(out.Memory(), expected, 13), 0);

  // width 5 is below the minimum: the setter raises it
  const Byte small[13] = {5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x1F, 1, 1, 2, 0, 1};
  TReadOnlyMemoryStream in(small, 13);
  TkxOcNode* b = Chart->Add(nullptr, 0);
  b->ReadData(&in);
  EXPECT_EQ(b->Width(), 16);
  EXPECT_EQ(b->Height(), 0);
  EXPECT_EQ(b->Color(), clNone);
  EXPECT_EQ(b->EffectiveColor(), Chart->Color());
  EXPECT_EQ(b->ChildAlign(), oaCenter);
  EXPECT_EQ(b->Shape(), nsRoundedRectangle);
  EXPECT_EQ(b->ImageIndex(), 2);
  EXPECT_EQ(b->ImageAlign(), iaLT);
  // a record that ends early raises the stream's read error
  TReadOnlyMemoryStream cut(small, 7);
  EXPECT_THROW(b->ReadData(&cut), EReadError);
}

TEST_F(OrgChartTest, TextHandlersSeeAndChangeTheStoredText) {
  struct TTextHooks : TObject {
    int Sets = 0;
    void Get(TObject*, TkxOcNode*, AnsiString& T) {
      if (T == "a") T = "A!";
    }
    void Set(TObject*, TkxOcNode*, const AnsiString&) { ++Sets; }
  } hooks;
  Chart->OnGetText = TkxOcGetTextEvent(&hooks, &TTextHooks::Get);
  Chart->OnSetText = TkxOcSetTextEvent(&hooks, &TTextHooks::Set);
  TkxOcNode* n = Chart->Add(nullptr, 0);
  n->SetText("a");
  EXPECT_EQ(hooks.Sets, 1);
  EXPECT_EQ(n->GetText(), "A!");
  Chart->OnGetText = nullptr;
  EXPECT_EQ(n->GetText(), "A!") << "the handler's change was stored";
}

// A chain of nodes each the only child of the one before, deeper than the
// stack could follow by recursion and than a million pixels: laid out,
// expanded, made visible, hit, painted where it ends, collapsed, deleted; a
// second chain goes with the chart.
TEST_F(OrgChartTest, AChainOfAHundredThousandNodes) {
  constexpr int kDepth = 100000;
  std::vector<TkxOcNode*> chain;
  TkxOcNode* p = nullptr;
  for (int i = 0; i < kDepth; ++i) chain.push_back(p = Chart->Add(p, 0));
  Chart->ExpandAll();
  EXPECT_TRUE(chain[kDepth - 2]->Expanded());
  const int row = 40 + 16 + 1;  // default height, gap down, line
  EXPECT_EQ(Chart->TotalHeight(), kDepth * row + 6);
  chain.back()->MakeVisible();
  const TRect r = chain.back()->DisplayRect();
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, Chart->ClientHeight());
  const int cx = (r.left + r.right) / 2;
  EXPECT_EQ(Chart->NodeAt(cx, r.top + 16 + 10), chain.back());
  const TRawImage shot = Shot();
  auto px = [&](int X, int Y) { return Rgb(shot.Pixels[std::size_t(Y * shot.Width + X)]) & 0xFFFFFF; };
  EXPECT_EQ(px(cx, r.top + 16), 0u) << "the deepest box is drawn";
  EXPECT_EQ(px(cx, r.top + 4), 0u) << "with the connector from its parent";
  EXPECT_EQ(px(r.left + 2, r.top + 30), ColorToRGB(clWindow)) << "filled";

  chain[0]->Collapse(true);
  EXPECT_FALSE(chain[kDepth / 2]->Expanded());
  chain[0]->Expand(true);
  EXPECT_TRUE(chain[kDepth / 2]->Expanded());
  Chart->SetIndentY(20);  // every node's extents again
  EXPECT_EQ(Chart->TotalHeight(), kDepth * (row + 4) + 6);
  Chart->DeleteNode(chain[1]);
  EXPECT_EQ(Chart->Count(), 1);
  EXPECT_EQ(chain[0]->Count(), 0);

  p = nullptr;
  for (int i = 0; i < kDepth; ++i) p = Chart->Add(p, 0);
  Chart->ExpandAll();
  delete Form;
  Form = nullptr;
  Chart = nullptr;
}

}  // namespace
