// Edit buttons and the button editor: the default button and its key, visible
// buttons and their indexes, buttons-only cells, copying buttons, the limit
// of eight, the hidden caret and the stored "ExistButtons".
#include "inplace/tests/kxtest.h"

#include "inplace/kxbuttonedit.h"
#include "platform/classes/filer.h"

namespace {

class Clicks : public TObject {
 public:
  std::vector<int> Indexes;
  std::vector<std::string> Order;
  void Button(TObject*, int Index) {
    Indexes.push_back(Index);
    Order.push_back("button");
  }
  void Hook(TObject*) { Order.push_back("hook"); }
  void Own(TObject*) { Order.push_back("own"); }
};

class KxButtonEditTest : public InplaceTest {
 protected:
  TkxInplaceButtonEdit* E = nullptr;
  Clicks C;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceButtonEdit>();
    E->OnButtonClick = TkxEditButtonClickEvent(&C, &Clicks::Button);
    E->OnHostEditButtonClick = TNotifyEvent(&C, &Clicks::Hook);
    E->OnEditButtonClick = TNotifyEvent(&C, &Clicks::Own);
  }
};

TEST_F(KxButtonEditTest, DefaultButtonAndClickKey) {
  ASSERT_EQ(1, E->Buttons()->Count());
  EXPECT_TRUE(E->Buttons()->GetItem(0)->Default());
  EXPECT_EQ(bkEllipsis, E->Buttons()->GetItem(0)->Kind());
  Activate(E, kxRect(20, 30, 180, 50), Variant("text"));
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_EQ((std::vector<int>{0}), C.Indexes);
  EXPECT_EQ((std::vector<std::string>{"button", "hook", "own"}), C.Order);
  EXPECT_EQ("text", E->Text());  // no line break, and the host never saw the key
  EXPECT_TRUE(Host->KeysDown.empty());
  // A click on the button itself.
  RECT r;
  GetWindowRect(E->Handle(), &r);
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  hb->Click(r.right - 2 - w / 2, (r.top + r.bottom) / 2);
  Pump();
  EXPECT_EQ((std::vector<int>{0, 0}), C.Indexes);
}

TEST_F(KxButtonEditTest, InvisibleButtonsTakeNoRoom) {
  TkxEditButton* second = E->Buttons()->Add();
  second->SetKind(bkDown);
  second->SetVisible(false);
  EXPECT_EQ(1, E->Buttons()->VisibleCount());
  EXPECT_EQ(0, E->Buttons()->VisibleIndexToIndex(0));
  EXPECT_EQ(-1, E->Buttons()->VisibleIndexToIndex(1));
  E->SetBounds(0, 0, 120, 20);
  std::unique_ptr<TkxDropDownEditViewData> vd(static_cast<TkxDropDownEditViewData*>(E->CreateViewData(false)));
  TkxEditViewRects rects;
  E->EditClass()->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(1, vd->ButtonCount);
  E->ButtonClick(0);
  EXPECT_EQ((std::vector<int>{0}), C.Indexes);
  // The first hidden, the second shown: its collection index is reported.
  E->Buttons()->GetItem(0)->SetVisible(false);
  second->SetVisible(true);
  E->ButtonClick(0);
  EXPECT_EQ(1, C.Indexes.back());
  // No visible default button: the click key does nothing.
  Activate(E, kxRect(20, 30, 180, 50), Variant("t"));
  C.Indexes.clear();
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_TRUE(C.Indexes.empty());
}

TEST_F(KxButtonEditTest, ButtonsOnlyFillTheCell) {
  E->Buttons()->Add()->SetKind(bkDown);
  E->SetButtonEditMode(2);
  E->SetBounds(0, 0, 120, 20);
  std::unique_ptr<TkxDropDownEditViewData> vd(static_cast<TkxDropDownEditViewData*>(E->CreateViewData(false)));
  TkxEditViewRects rects;
  E->EditClass()->CalcViewInfo(vd.get(), false, rects);
  ASSERT_EQ(2, vd->ButtonCount);
  EXPECT_EQ(116, vd->ButtonEntries[0].Width + vd->ButtonEntries[1].Width);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), vd->ButtonEntries[0].Width);
  EXPECT_EQ(rects.ClientRect.left, rects.ClientRect.right);
}

TEST_F(KxButtonEditTest, DefaultIsExclusiveAndCopiesAreWhole) {
  TkxEditButtons* b = E->Buttons();
  TkxEditButton* second = b->Add();
  second->SetDefault(true);
  EXPECT_FALSE(b->GetItem(0)->Default());
  EXPECT_TRUE(second->Default());
  b->Delete(1);
  EXPECT_TRUE(b->GetItem(0)->Default());
  // Assign copies all six properties; the copy has a (possibly empty) glyph.
  TkxEditButtons other(nullptr, TkxEditButton::StaticClass());
  TkxEditButton* src = other.Add();
  src->SetKind(bkGlyph);
  src->SetLeftAlignment(true);
  src->SetVisible(false);
  src->SetWidth(30);
  TkxEditButton* copy = b->Add();
  copy->Assign(src);
  EXPECT_EQ(bkGlyph, copy->Kind());
  EXPECT_TRUE(copy->LeftAlignment());
  EXPECT_FALSE(copy->Visible());
  EXPECT_EQ(30, copy->Width());
  ASSERT_NE(nullptr, copy->GlyphOrNull());
  EXPECT_TRUE(copy->GlyphOrNull()->Empty());
  // Eight at most.
  while (b->Count() < 8) b->Add();
  try {
    b->Add();
    ADD_FAILURE() << "a ninth button";
  } catch (const Exception& e) {
    EXPECT_EQ("Too many buttons ( >= 8)", AnsiString(e.what()));
  }
  EXPECT_EQ(8, b->Count());
}

TEST_F(KxButtonEditTest, HiddenCaretSendsArrowsToTheHost) {
  E->SetButtonEditMode(1);
  Activate(E, kxRect(20, 30, 180, 50), Variant("shown"));
  EXPECT_FALSE(E->IsTextEditing());
  EXPECT_FALSE(PvCaretIsDrawn());
  Press(VK_LEFT);
  Press(VK_RIGHT);
  EXPECT_EQ((std::vector<bool>{true, false}), Host->KeyHooks);
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  TkxEditButton* glyphButton = E->Buttons()->Add();
  glyphButton->SetKind(bkGlyph);
  TBitmap g;
  g.SetSize(10, 8);
  g.Canvas()->Brush()->SetColor(clRed);
  g.Canvas()->FillRect(kxRect(0, 0, 10, 8));
  g.Canvas()->Brush()->SetColor(clWhite);
  g.Canvas()->FillRect(kxRect(0, 7, 10, 8));  // the bottom row: the transparent colour
  glyphButton->SetGlyph(&g);
  E->Buttons()->Add()->SetKind(bkDown);
  E->Buttons()->GetItem(2)->SetLeftAlignment(true);
  TRawImage three = ClassShot(E);
  EXPECT_TRUE(MatchesReference(SideBySide(SideBySide(live, cls), three), "inplace/tests/ref", "button_cell"));
}

TEST_F(KxButtonEditTest, StoredEditorsKeepTheirButtons) {
  E->Buttons()->Clear();
  AnsiString text = WriteComponentToText(E);
  EXPECT_EQ(AnsiString::npos, text.find("ExistButtons"));
  auto* copy = NewEditor<TkxInplaceButtonEdit>();
  ReadComponentFromText(text, copy);
  EXPECT_EQ(0, copy->Buttons()->Count());
  E->Buttons()->Add()->SetKind(bkDown);
  E->Buttons()->Add()->SetWidth(25);
  text = WriteComponentToText(E);
  EXPECT_NE(AnsiString::npos, text.find("ExistButtons = True")) << text;
  auto* copy2 = NewEditor<TkxInplaceButtonEdit>();
  ReadComponentFromText(text, copy2);
  ASSERT_EQ(2, copy2->Buttons()->Count());
  EXPECT_EQ(bkDown, copy2->Buttons()->GetItem(0)->Kind());
  EXPECT_EQ(25, copy2->Buttons()->GetItem(1)->Width());
}

}  // namespace
