// The tree view with node drag and drop: Del with and without confirmation,
// moves and copies by drag within a tree and between two trees, refused drop
// targets, the copy cursor, attach modes, automatic scrolling, custom draw,
// the label editor's text and the selected-image index.
#include "treechart/tests/kxtreefixture.h"

namespace {

class KxTreeViewTest : public KxTreeFixture {
 protected:
  TCustomkxTreeView* NewTree(int Left, const std::string& Text, int Height = 300) {
    auto* t = new TCustomkxTreeView(Form);
    t->SetParent(Form);
    t->SetBounds(Left, 10, 200, Height);
    t->SetDragMode(dmAutomatic);
    Form->Show();
    Pump();
    Build(t, Text);
    t->FullExpand();
    Pump();
    return t;
  }
};

TEST_F(KxTreeViewTest, DelDeletesTheSelectedNodeAfterConfirmation) {
  struct Case {
    const char* name;
    bool readOnly, select, editing, confirm;
    TModalResult answer;  // mrNone: no dialog expected
    const char* node;
    const char* after;
    const char* question;
  } cases[] = {
      {"read-only", true, true, false, true, mrNone, "B", "A(A1),B", nullptr},
      {"no selection", false, false, false, true, mrNone, "B", "A(A1),B", nullptr},
      {"label being edited", false, true, true, true, mrNone, "B", "A(A1),B", nullptr},
      {"no confirmation", false, true, false, false, mrNone, "B", "A(A1)", nullptr},
      {"confirmed", false, true, false, true, mrOk, "B", "A(A1)", "Do you want to delete the item \"B\""},
      {"cancelled", false, true, false, true, mrCancel, "B", "A(A1),B", "Do you want to delete the item \"B\""},
      {"subtree confirmed", false, true, false, true, mrOk, "A", "B",
       "Do you want to delete the item \"A\" and all the items below it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* t = NewTree(10, "A(A1),B");
    t->SetReadOnly(c.readOnly);
    t->SetConfirmDeleteByKey(c.confirm);
    int keyDowns = 0;
    struct Counter {
      int* n;
      void KeyDown(TObject*, Word&, TShiftState) { ++*n; }
    } counter{&keyDowns};
    t->OnKeyDown = TKeyEvent(&counter, &Counter::KeyDown);
    t->SetFocus();
    if (c.select) Find(t, c.node)->SetSelected(true);
    else t->SetSelected(nullptr);
    if (c.editing) Find(t, c.node)->EditText();
    Pump();
    ClearDialogLog();
    if (c.answer != mrNone) AnswerButton(c.answer);
    t->Perform(WM_KEYDOWN, VK_DELETE, 0);
    Pump();
    if (c.editing) Find(t, c.node)->EndEdit(true);
    EXPECT_EQ(Dump(t), c.after);
    if (c.question) {
      ASSERT_EQ(DialogLog().size(), 1u);
      EXPECT_EQ(DialogLog()[0].Text, c.question);
    } else {
      EXPECT_TRUE(DialogLog().empty());
    }
    EXPECT_EQ(PendingDialogAnswers(), 0);
    EXPECT_EQ(keyDowns, 1) << "the platform's key handling follows";
    delete t;
  }
}

TEST_F(KxTreeViewTest, DraggingWithinATreeMovesOrCopies) {
  struct Case {
    const char* name;
    const char* source;
    const char* target;
    bool ctrl;
    const char* after;
  } cases[] = {
      {"move under another node", "A2", "B", false, "A(A1),B(A2(A2a))"},
      {"copy with Ctrl", "A2", "B", true, "A(A1,A2(A2a)),B(A2(A2a))"},
      {"onto itself", "A2", "A2", false, "A(A1,A2(A2a)),B"},
      {"into its own subtree", "A", "A2a", false, "A(A1,A2(A2a)),B"},
      {"moved onto its own parent", "A1", "A", false, "A(A1,A2(A2a)),B"},
      {"copied onto its own parent", "A1", "A", true, "A(A1,A2(A2a),A1),B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* t = NewTree(10, "A(A1,A2(A2a)),B");
    DragTo(LabelPoint(t, Find(t, c.source)), LabelPoint(t, Find(t, c.target)), c.ctrl);
    EXPECT_EQ(Dump(t), c.after);
    EXPECT_EQ(kxDragSourceNode(), nullptr);
    EXPECT_EQ(kxDropTargetNode(), nullptr);
    EXPECT_FALSE(t->NodeOperation());
    EXPECT_EQ(DragControl(), nullptr);
    delete t;
  }
}

TEST_F(KxTreeViewTest, TheCursorShowsRefusalAndCopy) {
  auto* t = NewTree(10, "A(A1,A2(A2a)),B");
  HCURSOR copy = Screen->Cursors(crkxTreeDragCopy);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, Screen->Cursors(crDrag));
  TPoint a = LabelPoint(t, Find(t, "A")), a2a = LabelPoint(t, Find(t, "A2a")), b = LabelPoint(t, Find(t, "B"));
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(a.x, a.y + 8);
  hb->MouseMove(a2a.x, a2a.y);
  Pump();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop)) << "over its own subtree";
  hb->MouseMove(b.x, b.y);
  Pump();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
  hb->KeyDown(VK_CONTROL);
  Pump();
  EXPECT_EQ(GetCursor(), copy);
  hb->KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
  hb->Key(VK_ESCAPE);
  hb->MouseUp(b.x, b.y);
  Pump();
  EXPECT_EQ(Dump(t), "A(A1,A2(A2a)),B");
}

TEST_F(KxTreeViewTest, TheApplicationDecidesCopyAttachModeAndEmptySpace) {
  auto* t = NewTree(10, "A(A1,A2(A2a)),B(B1)");
  struct Handlers {
    bool copy = false;
    bool acceptNil = false;
    TNodeAttachMode mode = naAddChild;
    bool setMode = false;
    std::vector<std::string> asked;
    void IsCopy(TTreeNode* D, TTreeNode* S, bool& C) {
      asked.push_back((D ? D->Text() : "nil") + "<-" + S->Text());
      C = copy;
    }
    void Accept(TTreeNode* D, TTreeNode*, bool& A) {
      if (!D) A = acceptNil;
    }
    void End(TTreeNode*, TTreeNode*, TNodeAttachMode& M) {
      if (setMode) M = mode;
    }
  } h;
  t->OnDragDropIsCopy = TDragDropIsCopy(&h, &Handlers::IsCopy);
  t->OnDragDropTreeNode = TDragDropTreeNode(&h, &Handlers::Accept);
  TPoint empty = t->ClientToScreen(TPoint(100, 280));

  // the application says copy without Ctrl
  h.copy = true;
  DragTo(LabelPoint(t, Find(t, "A1")), LabelPoint(t, Find(t, "B")));
  EXPECT_EQ(Dump(t), "A(A1,A2(A2a)),B(B1,A1)");
  ASSERT_FALSE(h.asked.empty());
  EXPECT_EQ(h.asked.back(), "B<-A1");
  // empty space refused, then accepted: the subtree becomes the last root node
  h.copy = false;
  DragTo(LabelPoint(t, Find(t, "A2")), empty);
  EXPECT_EQ(Dump(t), "A(A1,A2(A2a)),B(B1,A1)");
  EXPECT_EQ(h.asked.back(), "B<-A1") << "a refused drop is never carried out";
  h.acceptNil = true;
  DragTo(LabelPoint(t, Find(t, "A2")), empty);
  EXPECT_EQ(Dump(t), "A(A1),B(B1,A1),A2(A2a)");
  EXPECT_EQ(h.asked.back(), "nil<-A2");
  // naAddChildFirst puts the node before the existing first child; with an
  // attach-mode handler even a move onto the own parent is carried out
  t->OnEndDragTreeNode = TEndDragTreeNode(&h, &Handlers::End);
  h.setMode = true;
  h.mode = naAddChildFirst;
  DragTo(LabelPoint(t, Find(t, "A2")), LabelPoint(t, Find(t, "B")));
  EXPECT_EQ(Dump(t), "A(A1),B(A2(A2a),B1,A1)");
  DragTo(LabelPoint(t, Find(t, "A1")), LabelPoint(t, Find(t, "B")));
  EXPECT_EQ(Dump(t), "A,B(A1,A2(A2a),B1,A1)");
  h.mode = naInsert;
  DragTo(LabelPoint(t, Find(t, "B1")), LabelPoint(t, Find(t, "A")));
  EXPECT_EQ(Dump(t), "B1,A,B(A1,A2(A2a),A1)");
}

TEST_F(KxTreeViewTest, DraggingBetweenTreesCopiesOrMoves) {
  struct Case {
    const char* name;
    bool ctrl, sourceReadOnly;
    const char* left;
    const char* right;
  } cases[] = {
      {"move", false, false, "A(A1)", "X(A2(A2a))"},
      {"copy with Ctrl", true, false, "A(A1,A2(A2a))", "X(A2(A2a))"},
      {"read-only source stays", false, true, "A(A1,A2(A2a))", "X(A2(A2a))"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* left = NewTree(10, "A(A1,A2(A2a))");
    auto* right = NewTree(300, "X");
    left->SetReadOnly(c.sourceReadOnly);
    left->SetFocus();
    DragTo(LabelPoint(left, Find(left, "A2")), LabelPoint(right, Find(right, "X")), c.ctrl);
    right->FullExpand();
    EXPECT_EQ(Dump(left), c.left);
    EXPECT_EQ(Dump(right), c.right);
    EXPECT_EQ(right->Selected(), Find(right, "A2")) << "the dropped subtree is selected";
    delete left;
    delete right;
  }
}

TEST_F(KxTreeViewTest, RestingOnTheBottomRowScrolls) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += (i ? "," : "") + std::string("N") + std::to_string(i);
  auto* t = NewTree(10, text, 120);
  TTreeNode* top = t->TopItem();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Text(), "N0");
  // the last fully shown row
  TTreeNode* last = top;
  while (last->GetNextVisible() && last->GetNextVisible()->DisplayRect(false).bottom <= t->ClientHeight())
    last = last->GetNextVisible();
  TPoint from = LabelPoint(t, Find(t, "N0"));
  TRect r = last->DisplayRect(true);
  TPoint over = t->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  hb->MouseDown(from.x, from.y);
  hb->MouseMove(from.x, from.y + 8);
  hb->MouseMove(over.x, over.y);
  Pump();
  EXPECT_EQ(t->TopItem()->Text(), "N0") << "the first arrival only highlights";
  hb->MouseMove(over.x + 1, over.y);
  Pump();
  EXPECT_EQ(t->TopItem()->Text(), "N1");
  hb->Key(VK_ESCAPE);
  hb->MouseUp(over.x, over.y);
  Pump();
}

TEST_F(KxTreeViewTest, CustomDrawColoursNodesAndKeepsTheFocusedSelection) {
  auto* t = NewTree(10, "Red,Plain");
  struct Painter {
    void Draw(TObject*, TTreeNode* N, TFont* F, TColor& C, TColor& Bk) {
      if (N->Text() == "Red") {
        C = clWhite;
        Bk = clRed;
        F->SetStyle(TFontStyles{fsBold});
      }
    }
  } p;
  t->OnCustomDraw = TTreeViewCustomDraw(&p, &Painter::Draw);
  auto* other = new TBox(Form);
  other->SetParent(Form);
  other->SetBounds(300, 10, 50, 20);
  other->SetTabStop(true);
  auto labelPixel = [&](const char* name) {
    TBitmap bmp;
    bmp.SetSize(t->Width(), t->Height());
    t->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    TRect r = Find(t, name)->DisplayRect(true);
    return COLORREF(bmp.Canvas()->Pixels(r.left + 1, r.top + 1));
  };
  // without the focus even the selected node shows the colours it was given
  other->SetFocus();
  t->SetSelected(Find(t, "Plain"));
  Pump();
  EXPECT_EQ(labelPixel("Red"), RGB(255, 0, 0));
  EXPECT_EQ(labelPixel("Plain"), COLORREF(ColorToRGB(clWindow)));
  t->SetSelected(Find(t, "Red"));
  Pump();
  EXPECT_EQ(labelPixel("Red"), RGB(255, 0, 0));
  // selected in the focused tree: the system highlight
  t->SetFocus();
  Pump();
  EXPECT_EQ(labelPixel("Red"), COLORREF(ColorToRGB(clHighlight)));
  EXPECT_EQ(labelPixel("Plain"), COLORREF(ColorToRGB(clWindow)));
}

TEST_F(KxTreeViewTest, SelectedIndexAndEditingText) {
  auto* t = NewTree(10, "A,B");
  t->SetSelectedIndex(3);
  EXPECT_EQ(Find(t, "A")->SelectedIndex(), 3);
  EXPECT_EQ(t->Items()->Add(nullptr, "C")->SelectedIndex(), 3) << "new nodes get it too";
  struct Texts {
    void Get(TObject*, TTreeNode* N, AnsiString& S) { S = "edit " + S; }
  } x;
  t->OnGetEditingText = TTreeGetEditingTextEvent(&x, &Texts::Get);
  t->SetFocus();
  TTreeNode* b = Find(t, "B");
  b->SetSelected(true);
  ASSERT_TRUE(b->EditText());
  char buf[64] = {};
  GetWindowTextA(TreeView_GetEditControl(t->Handle()), buf, sizeof buf);
  EXPECT_STREQ(buf, "edit B");
  b->EndEdit(true);
}

TEST_F(KxTreeViewTest, NodeHintsCanBeSwitchedOff) {
  const std::string longText = "a node whose text is far wider than the tree";
  auto* t = NewTree(10, longText + ",short", 120);
  t->SetWidth(100);
  Pump();
  auto hover = [&](const std::string& name) {
    TPoint p = LabelPoint(t, Find(t, name));
    TRect r = Find(t, name)->DisplayRect(true);
    p = t->ClientToScreen(TPoint(r.left + 6, (r.top + r.bottom) / 2));
    hb->MouseMove(p.x, p.y);
    Pump();
    HWND tip = TreeView_GetToolTips(t->Handle());
    if (!tip || !IsWindowVisible(tip)) return std::string("<none>");
    char buf[128] = {};
    GetWindowTextA(tip, buf, sizeof buf);
    return std::string(buf);
  };
  EXPECT_EQ(hover(longText), longText);
  EXPECT_EQ(hover("short"), "<none>");
  t->SetShowNodeHint(false);
  EXPECT_EQ(hover(longText), "<none>");
}

}  // namespace
