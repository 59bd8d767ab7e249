// The bars as they are drawn, in the standard and the enhanced style: the
// left main menu with its turned captions, the toolbar with a glyph button,
// a disabled button, the check group, the edit and the combo, and an open
// menu with a nested one, a shortcut, a separator and a check mark.
#include <algorithm>
#include <cstdlib>

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

namespace kxbarpaint_test {
// The luminance of a screen pixel (0xRRGGBB or with alpha above).
int Luma(std::uint32_t P) {
  int r = int((P >> 16) & 0xFF), g = int((P >> 8) & 0xFF), b = int(P & 0xFF);
  return (r * 299 + g * 587 + b * 114) / 1000;
}
// The largest luminance difference in an area of an image from a
// background pixel: how readable the text drawn there is.
int Contrast(const TRawImage& Img, const TRect& Area, std::uint32_t Background) {
  int best = 0;
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x) best = std::max(best, std::abs(Luma(Img.At(x, y)) - Luma(Background)));
  return best;
}
}  // namespace kxbarpaint_test

// A selected menu row shows its shortcut as readable as its caption, a hot
// toolbar button its caption, in every style; the images show a menu with
// its detach strip hot, the selected row with its shortcut and a sub-menu
// arrow, and a hot toolbar button.
TEST_F(BarsPaintTest, SelectedRowsAndHotButtonsKeepTheirTextReadable) {
  namespace kp = kxbarpaint_test;
  F->FileMenu->SetDetachable(true);
  F->FileMenu->SetDetachingBar(ToolsBar->Index());
  struct Case {
    TkxBarManagerStyle Style;
    const char* Name;
  } cases[] = {{bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}, {bmsFlat, "flat"},
               {bmsXP, "xp"},             {bmsOffice11, "office11"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    F->BarManager1->SetStyle(c.Style);
    Pump();
    // a hot toolbar button with its caption
    TRect cut = LinkScreenRect(ToolLink(F->CutButton));
    hb->MouseMove(cut.right - 3, (cut.top + cut.bottom) / 2);
    Pump();
    TPoint origin = F->ClientToScreen({0, 0});
    TRawImage bar = Client(470, 60);
    TRect text{cut.left - origin.x + F->BarManager1->ButtonWidth(), cut.top - origin.y + 4, cut.right - origin.x - 2,
               cut.bottom - origin.y - 4};
    std::uint32_t face = bar.At(text.right - 1, text.top);
    EXPECT_GT(kp::Contrast(bar, text, face), 120) << "the hot caption stands out";
    EXPECT_TRUE(MatchesReference(bar, "bars/tests/ref", std::string("hot_button_") + c.Name));
    hb->MouseMove(300, 250);
    Pump();
    // the File menu: strip hot, the first row selected with its shortcut
    hb->Key(VK_F10);
    hb->Key(VK_RIGHT);
    Pump();
    TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
    ASSERT_NE(menu, nullptr);
    TRect strip = menu->GetDetachBarRect();
    TRect w = menu->GetWindowRect();
    hb->MouseMove(w.left + (strip.left + strip.right) / 2, w.top + (strip.top + strip.bottom) / 2);
    Pump();
    EXPECT_TRUE(menu->DetachBarHot());
    hb->Key(VK_DOWN);
    Pump();
    ASSERT_EQ(SelectedItemOf(menu), F->OpenItem);
    TRawImage img = Screen(w);
    TRect row = LinkScreenRect(LinkIn(menu, F->OpenItem));
    OffsetRect(&row, -w.left, -w.top);
    int right = row.right - row.Height() - 5;
    TRect shortcut{right - 40, row.top + 2, right, row.bottom - 2};
    std::uint32_t selection = img.At(right + 2, row.top + 2);
    EXPECT_GT(kp::Contrast(img, shortcut, selection), 120) << "the shortcut stands out on the selection";
    EXPECT_TRUE(MatchesReference(img, "bars/tests/ref", std::string("menu_detach_") + c.Name));
    for (int i = 0; i < 5 && F->BarManager1->HasBarInMenuMode(); ++i) {
      hb->Key(VK_ESCAPE);
      Pump();
    }
    ASSERT_FALSE(F->BarManager1->HasBarInMenuMode());
  }
}
