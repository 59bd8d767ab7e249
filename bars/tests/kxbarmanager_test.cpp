// The bar manager and the library-wide routines: a description loads into a
// live manager and is written back the same, the manager's owner rules, the
// style and its painter, lookups, the item-class registry, caption cleaning
// and the liveness of bar windows.
#include "bars/tests/kxbartest.h"

namespace {

// The block of one object of a description (its "object" line to its "end").
AnsiString ObjectBlock(const AnsiString& Text, const char* Head) {
  std::size_t from = Text.find(Head);
  if (from == AnsiString::npos) return {};
  std::size_t to = Text.find("\n  end\n", from);
  return to == AnsiString::npos ? AnsiString() : Text.substr(from, to + 7 - from);
}

}  // namespace

TEST_F(BarsTest, DescriptionLoadsTheMainMenuAndToolbarAndWritesBackTheSame) {
  TBarsTestForm* f = MakeForm();
  TkxBarManager* m = f->BarManager1;
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->Bars()->Count(), 2);
  TkxBar* menu = m->Bars()->Items(0);
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_EQ(m->MainMenuBar(), menu);
  EXPECT_EQ(menu->DockingStyle(), dsLeft);
  EXPECT_TRUE(menu->MultiLine());
  EXPECT_TRUE(menu->WholeRow());
  ASSERT_EQ(menu->ItemLinks()->Count(), 4);
  const char* captions[] = {"文件(&F)", "视图", "工程", "帮助"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(menu->ItemLinks()->Items(i)->Caption(), A(captions[i])) << i;
  TkxBar* tools = m->Bars()->Items(1);
  EXPECT_EQ(tools->DockingStyle(), dsTop);
  EXPECT_EQ(tools->ItemLinks()->Count(), 8);
  EXPECT_TRUE(tools->ItemLinks()->Items(3)->BeginGroup());
  EXPECT_EQ(f->SizeCombo->Items()->Count(), 3);
  EXPECT_EQ(f->SizeCombo->Text(), A("五号"));
  EXPECT_TRUE(f->OfficeStyle->Down());
  EXPECT_EQ(f->OpenItem->ShortCut(), TShortCut(16463));
  EXPECT_EQ(m->Categories()->Count(), 2);
  EXPECT_EQ(m->Style(), bmsStandard);

  // both bars have windows in the form's edge sites
  ASSERT_NE(menu->Control(), nullptr);
  ASSERT_NE(tools->Control(), nullptr);
  EXPECT_EQ(menu->Control()->Parent(), m->Bars()->DockControls(dsLeft));
  EXPECT_EQ(tools->Control()->Parent(), m->Bars()->DockControls(dsTop));
  EXPECT_TRUE(IsWindowVisible(menu->Control()->Handle()));
  EXPECT_GT(menu->Control()->Height(), menu->Control()->Width());

  AnsiString written = WriteComponentToText(f);
  AnsiString source = Utf8ToAnsi(kBarsFormText);
  EXPECT_EQ(ObjectBlock(written, "  object BarManager1"), ObjectBlock(source, "  object BarManager1"));
}

TEST_F(BarsTest, AManagerNeedsAFormOfItsOwn) {
  auto* form = new TForm(nullptr, 0);
  auto* m = new TkxBarManager(form);
  EXPECT_EQ(m->OwnerForm(), form);
  EXPECT_THROW(new TkxBarManager(form), EkxBarError);
  EXPECT_EQ(form->ComponentCount(), 1);
  auto* module = new TDataModule(nullptr, 0);
  EXPECT_THROW(new TkxBarManager(module), EkxBarError);
  EXPECT_EQ(module->ComponentCount(), 0);
  module->Free();
  form->Free();
  EXPECT_EQ(kxBarManagerCount(), 0);
}

// The style picks the painter; without visual styles the native-theme style
// draws with the enhanced painter, and styles whose painters come later fall
// back to it too.
TEST_F(BarsTest, StyleChoosesThePainter) {
  TBarsTestForm* f = MakeForm();
  TkxBarManager* m = f->BarManager1;
  struct Case {
    TkxBarManagerStyle Style;
    TkxBarItemControlPainterClass Painter;
  } cases[] = {
      {bmsStandard, TkxBarItemControlStandardPainter::Instance()},
      {bmsEnhanced, TkxBarItemControlEnhancedPainter::Instance()},
      {bmsXP, TkxBarItemControlEnhancedPainter::Instance()},
  };
  for (const Case& c : cases) {
    m->SetStyle(c.Style);
    EXPECT_EQ(m->Style(), c.Style);
    EXPECT_EQ(m->PainterClass(), c.Painter) << int(c.Style);
    EXPECT_EQ(ControlOf(f, 1)->Painter(), c.Painter);
  }
  m->SetStyle(bmsUseLookAndFeel);
  m->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(m->GetEffectiveStyle(), bmsStandard);
  EXPECT_EQ(m->PainterClass(), TkxBarItemControlStandardPainter::Instance());
  m->LookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(m->GetEffectiveStyle(), bmsEnhanced);
  EXPECT_EQ(m->PainterClass(), TkxBarItemControlEnhancedPainter::Instance());
  // recent items are a matter of the non-standard styles
  m->SetStyle(bmsStandard);
  EXPECT_FALSE(m->IsShowRecentItemsFirst());
  m->SetStyle(bmsEnhanced);
  EXPECT_TRUE(m->IsShowRecentItemsFirst());
}

TEST_F(BarsTest, LookupsByNameAndUniqueNames) {
  TBarsTestForm* f = MakeForm();
  TkxBarManager* m = f->BarManager1;
  EXPECT_EQ(m->ItemByName("cutbutton"), f->CutButton);
  EXPECT_EQ(m->ItemByName("Nothing"), nullptr);
  EXPECT_EQ(m->BarByName("Tools"), m->Bars()->Items(1));
  EXPECT_EQ(m->BarByName("tools"), nullptr);  // bar names match exactly
  EXPECT_EQ(m->BarByCaption(A("工具")), m->Bars()->Items(1));
  EXPECT_EQ(m->BarByName("Nothing"), nullptr);
  EXPECT_EQ(m->Bars()->GetUniqueBarName("Tools"), "Tools1");
  m->Bars()->Items(0)->SetName("Tools1");
  EXPECT_EQ(m->Bars()->Items(0)->Name(), "Tools1");
  EXPECT_EQ(m->Bars()->GetUniqueBarName("Tools"), "Tools2");
  m->Bars()->Items(0)->SetUniqueName("Tools");  // taken: a number is added
  EXPECT_EQ(m->Bars()->Items(0)->Name(), "Tools2");
  EXPECT_EQ(kxBarMakeUniqueItemName(m, TkxBarButton::StaticClass()), "kxBarButton1");
  f->CutButton->SetName("kxBarButton1");
  EXPECT_EQ(kxBarMakeUniqueItemName(m, TkxBarButton::StaticClass()), "kxBarButton2");
  EXPECT_EQ(m->ItemCount(), 17);
}

TEST_F(BarsTest, ItemClassRegistry) {
  EXPECT_EQ(kxBarGetItemControlClass(TkxBarButton::StaticClass()), TkxBarButtonControl::StaticClass());
  EXPECT_EQ(kxBarGetItemControlClass(TkxBarCombo::StaticClass()), TkxBarComboControl::StaticClass());
  EXPECT_EQ(kxBarGetItemControlClass(TkxBarSubItem::StaticClass()), TkxBarSubItemControl::StaticClass());
  EXPECT_EQ(kxBarGetItemControlClass(TForm::StaticClass()), nullptr);
  int count = kxBarRegisteredItemClassCount();
  kxBarUnregisterItemClass(TkxBarEdit::StaticClass());
  EXPECT_EQ(kxBarRegisteredItemClassCount(), count - 1);
  EXPECT_EQ(kxBarGetItemControlClass(TkxBarEdit::StaticClass()), nullptr);
  EXPECT_EQ(GetClass("TkxBarEdit"), nullptr);
  kxBarRegisterItemClass(TkxBarEdit::StaticClass(), TkxBarEditControl::StaticClass(), true);
  EXPECT_EQ(kxBarGetItemControlClass(TkxBarEdit::StaticClass()), TkxBarEditControl::StaticClass());
  EXPECT_NE(GetClass("TkxBarEdit"), nullptr);
}

// The access-key mark goes and the character after it stays; a doubled mark
// leaves one; double-byte characters stay whole.
TEST(BarsUtils, StripAccelChars) {
  struct Case {
    const char* In;
    const char* Out;
  } cases[] = {
      {"文件(&F)", "文件(F)"}, {"&Open", "Open"}, {"A&&B", "A&B"}, {"尾&", "尾&"},
      {"&文件", "文件"},       {"", ""},          {"无", "无"},
  };
  for (const Case& c : cases) EXPECT_EQ(kxBarStripAccelChars(Utf8ToAnsi(c.In)), Utf8ToAnsi(c.Out)) << c.In;
  // a lead byte whose trail byte is the mark's code stays a pair
  AnsiString odd = "\x81&x";
  EXPECT_EQ(kxBarStripAccelChars(odd), odd);
}

// A reference to a bar window outlives it safely: a new window at the same
// address is not taken for the old one.
TEST_F(BarsTest, BarWindowLivenessGoesByGenerationNotAddress) {
  TBarsTestForm* f = MakeForm();
  TkxBar* tools = f->BarManager1->Bars()->Items(1);
  TkxBarControlRef ref = kxBarRef(tools->Control());
  EXPECT_TRUE(kxBarIsBarControlAlive(ref));
  tools->SetVisible(false);
  EXPECT_EQ(tools->Control(), nullptr);
  EXPECT_FALSE(kxBarIsBarControlAlive(ref));
  tools->SetVisible(true);
  ASSERT_NE(tools->Control(), nullptr);
  TkxBarControlRef same{tools->Control(), ref.Serial};
  EXPECT_FALSE(kxBarIsBarControlAlive(same));
  EXPECT_TRUE(kxBarIsBarControlAlive(kxBarRef(tools->Control())));
  EXPECT_FALSE(kxBarIsBarControlAlive(TkxBarControlRef{}));
}
