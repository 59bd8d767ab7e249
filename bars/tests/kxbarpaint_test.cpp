// The bars as they are drawn, in the standard and the enhanced style: the
// left main menu with its turned captions, the toolbar with a glyph button,
// a disabled button, the check group, the edit and the combo, and an open
// menu with a nested one, a shortcut, a separator and a check mark.
#include "bars/tests/kxbartest.h"
#include "platform/gdi/tests/refimage.h"

class BarsPaintTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    // a 16 x 16 glyph: a blue frame round a yellow square on the
    // transparent colour of its bottom-left pixel
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(16, 16);
    TCanvas* c = glyph->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, 16, 16});
    c->Brush()->SetColor(clNavy);
    c->FillRect(TRect{2, 2, 14, 14});
    c->Brush()->SetColor(clYellow);
    c->FillRect(TRect{4, 4, 12, 12});
    F->CutButton->SetGlyph(glyph.get());
    F->CutButton->SetPaintStyle(TkxBarPaintStyle::psCaptionGlyph);
    F->CopyButton->SetGlyph(glyph.get());
    F->Edit1->SetFocus();
    Pump();
  }
  TRawImage Client(int W, int H) {
    TPoint p = F->ClientToScreen({0, 0});
    return Screen(TRect{p.x, p.y, p.x + W, p.y + H});
  }
  void OpenNestedMenu() {
    hb->Key(VK_F10);
    Pump();
    hb->Key(VK_RIGHT);
    Pump();
    hb->Key(VK_DOWN);
    Pump();
    hb->Key(VK_DOWN);
    Pump();
    hb->Key(VK_RIGHT);
    Pump();
  }
};

TEST_F(BarsPaintTest, StandardAndEnhancedStyles) {
  struct Case {
    TkxBarManagerStyle Style;
    const char* Name;
  } cases[] = {{bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}, {bmsFlat, "flat"}, {bmsOffice11, "office11"}};
  for (const Case& c : cases) {
    F->BarManager1->SetStyle(c.Style);
    Pump();
    EXPECT_TRUE(MatchesReference(Client(470, 140), "bars/tests/ref", std::string("bars_") + c.Name)) << c.Name;
    OpenNestedMenu();
    TkxBarSubMenuControl* file = OpenMenu(ControlOf(F, 0));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(OpenMenu(file), nullptr);
    EXPECT_TRUE(MatchesReference(Client(300, 150), "bars/tests/ref", std::string("menu_") + c.Name)) << c.Name;
    hb->Key(VK_ESCAPE);
    hb->Key(VK_ESCAPE);
    hb->Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  }
}
