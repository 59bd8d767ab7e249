// The flow-chart property dialogs and the union chooser: only the values the
// user changed reach the selected items, numbers are filtered as typed, and
// unions are listed by their numbers.
#include "treechart/fcdialogs.h"

#include "platform/controls/dlgscript.h"
#include "treechart/tests/flowchart_fixture.h"

namespace {

class FcDialogsTest : public FlowChartTest {
 protected:
  void SetUp() override {
    FlowChartTest::SetUp();
    RegisterChartForms();
    kxInitFlowChartDialogs();
  }
  void TearDown() override {
    ClearDialogAnswers();
    ClearModalScript();
    FlowChartTest::TearDown();
  }
  // Queues a click on the middle of a control.
  void ClickOn(TControl* C) {
    const TPoint p = C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2});
    hb->AdvanceClock(1000);
    hb->Click(p.x, p.y);
  }
};

TEST_F(FcDialogsTest, ObjectDialogChangesOnlyWhatWasChanged) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 60, 40, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(100, 0, 80, 50, fskEllipse);
  a->SetSelected(true);
  b->SetSelected(true);
  TFEditObject* shown = nullptr;
  PushModalScript([&](TCustomForm* f) {
    shown = dynamic_cast<TFEditObject*>(f);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Caption(), "\xB6\xD4\xCF\xF3\xB1\xE0\xBC\xAD\xC6\xF7");  // 对象编辑器
    EXPECT_EQ(shown->seWidth->Text(), "60") << "filled from the first selected object";
    EXPECT_EQ(shown->cbShapeStyle->ItemIndex(), int(fskRectangle));
    EXPECT_TRUE(shown->cbLeft->Checked());
    QueueDialogAnswer(TDialogAnswer().TypeText("$0000FF").Press(mrOk));  // the colour dialog
    ClickOn(shown->pColor);
    ClickOn(shown->btnOK);
  });
  EXPECT_TRUE(kxFcEditObjects(Chart, a));
  EXPECT_EQ(a->ShapeColor(), clRed);
  EXPECT_EQ(b->ShapeColor(), clRed);
  EXPECT_EQ(a->ShapeKind(), fskRectangle);
  EXPECT_EQ(b->ShapeKind(), fskEllipse);
  EXPECT_EQ(b->Width(), 80);

  // typed numbers, a check box and a shape; Cancel changes nothing
  PushModalScript([&](TCustomForm* f) {
    auto* d = dynamic_cast<TFEditObject*>(f);
    d->seHeight->SetFocus();
    d->seHeight->SelectAll();
    hb->CommitText("0");  // refused: below 1
    hb->CommitText("75");
    d->cbShapeStyle->SetItemIndex(int(fskHexagon));
    d->MarkChange(d->cbShapeStyle);
    d->cbRaisedOut->SetChecked(true);  // on a page not shown: its click handler marks it
    ClickOn(d->btnOK);
  });
  EXPECT_TRUE(kxFcEditObjects(Chart, a));
  EXPECT_EQ(a->Height(), 75);
  EXPECT_EQ(b->Height(), 75);
  EXPECT_EQ(a->ShapeKind(), fskHexagon);
  EXPECT_EQ(a->FrameEdge(), BDR_RAISEDOUTER);
  EXPECT_EQ(a->FrameFlags(), 15) << "the flags were not touched";
  PushModalScript([&](TCustomForm* f) {
    auto* d = dynamic_cast<TFEditObject*>(f);
    d->memoText->SetText("changed");
    ClickOn(d->btnCancel);
  });
  EXPECT_FALSE(kxFcEditObjects(Chart, a));
  EXPECT_TRUE(a->Text().empty());
  // OK with nothing selected: nothing to change, no success
  Chart->ClearSelection();
  PushModalScript([&](TCustomForm* f) { ClickOn(dynamic_cast<TFEditObject*>(f)->btnOK); });
  EXPECT_FALSE(kxFcEditObjects(Chart, a));
}

TEST_F(FcDialogsTest, NumberKeysAreFilteredAsTyped) {
  TEdit* e = new TEdit(Form);
  e->SetParent(Form);
  struct Case {
    const char* Text;
    int SelStart, SelLength;
    char Key;
    int Max;
    bool Accepted;
  } cases[] = {
      {"", 0, 0, '0', 9999999, false},   // 0 is below 1
      {"12", 0, 0, '5', 9999999, true},  // 512
      {"1", 1, 0, '7', 16, false},       // 17 is beyond the attach points
      {"1", 1, 0, '6', 16, true},
      {"12", 0, 2, '9', 16, true},       // replaces the selection
      {"12", 2, 0, 'x', 9999999, false},
      {"12", 2, 0, '\b', 9999999, true},  // a control key: the text as it is
      {"", 0, 0, '\b', 16, true},         // empty counts as 1
  };
  for (const Case& c : cases) {
    e->SetText(c.Text);
    e->SetSelStart(c.SelStart);
    e->SetSelLength(c.SelLength);
    EXPECT_EQ(AcceptNumberKey(e, c.Key, c.Max, 1), c.Accepted) << c.Text << " + " << c.Key;
  }
  e->SetText("");
  EXPECT_EQ(kxFcEditNumber(e), 1);
  e->SetText("abc");
  EXPECT_EQ(kxFcEditNumber(e), 1);
}

TEST_F(FcDialogsTest, ConnectionDialogShowsAndSetsAttachPointsFromOne) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 60, 40, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(200, 0, 60, 40, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(a, b, 9, 3);
  c->SourceArrow()->SetWidth(12);
  c->SetSelected(true);
  PushModalScript([&](TCustomForm* f) {
    auto* d = dynamic_cast<TFEditConnection*>(f);
    EXPECT_EQ(d->seSPoint->Text(), "4");
    EXPECT_EQ(d->seDPoint->Text(), "10");
    EXPECT_EQ(d->seSArrowSize->Text(), "12");
    d->seSPoint->SetText("");  // an empty point edit attaches at point 0
    d->cbDArrowStyle->SetItemIndex(fakRect);
    d->MarkChange(d->cbDArrowStyle);
    d->seDArrowSize->SetText("20");
    ClickOn(d->btnOK);
  });
  EXPECT_TRUE(kxFcEditConnections(Chart, c));
  EXPECT_EQ(c->SourcePoint(), 0);
  EXPECT_EQ(c->DestPoint(), 9) << "not changed";
  EXPECT_EQ(c->DestArrow()->ArrowKind(), fakRect);
  EXPECT_EQ(c->DestArrow()->Width(), 20);
  EXPECT_EQ(c->DestArrow()->Height(), 20);
  EXPECT_EQ(c->SourceArrow()->Width(), 12);
}

TEST_F(FcDialogsTest, UnionChooserListsUnionsByNumber) {
  TkxFcObject* o[6];
  for (int i = 0; i < 6; ++i) o[i] = Chart->CreateObject(i * 50, 0, 40, 40, fskRectangle);
  o[0]->AddToUnion(o[1]);
  o[2]->AddToUnion(o[3]);
  o[2]->SetText("A");
  o[4]->AddToUnion(o[5]);
  o[4]->AddToUnion(o[0]);  // union 3 holds union 1
  EXPECT_EQ(kxFcUnionNumber(Chart, o[2]), 2);
  EXPECT_EQ(kxFcUnionsOf(Chart, o[1]), (std::vector<TkxFcObject*>{o[0], o[4]}));
  std::vector<std::string> listed;
  PushModalScript([&](TCustomForm* f) {
    auto* d = dynamic_cast<TFSelectUnion*>(f);
    for (int i = 0; i < d->lbUnions->Items()->Count(); ++i) listed.push_back(std::string(d->lbUnions->Items()->Strings(i)));
    d->lbUnions->SetItemIndex(1);
    ClickOn(d->btnOK);
  });
  EXPECT_EQ(kxFcSelectUnion(Chart, false), o[2]);
  EXPECT_EQ(listed, (std::vector<std::string>{"Union 1", "Union 2 ( A )", "Union 3"}));

  listed.clear();
  o[1]->SetSelected(true);
  PushModalScript([&](TCustomForm* f) {
    auto* d = dynamic_cast<TFSelectUnion*>(f);
    for (int i = 0; i < d->lbUnions->Items()->Count(); ++i) listed.push_back(std::string(d->lbUnions->Items()->Strings(i)));
    ClickOn(d->btnCancel);
  });
  EXPECT_EQ(kxFcSelectUnion(Chart, true), nullptr);
  EXPECT_EQ(listed, (std::vector<std::string>{"Union 1", "Union 3"}));
}

}  // namespace
