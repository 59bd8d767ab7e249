// The Office 2003 style: gradient button states with the dark border, an open
// menu joined to its owner in the open-drop-down colours, the shaded glyph
// column of menus, the grip, combo button and floating frame metrics.
#include "bars/tests/kxbartest.h"
#include "framework/uxoffice11.h"

namespace {

COLORREF OfficePixelOf(const TRawImage& Image, int X, int Y) {
  std::uint32_t p = Image.At(X, Y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

COLORREF OfficeRgb(TColor C) { return ColorToRGB(C); }

}  // namespace

class BarsOfficeTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    F->BarManager1->SetStyle(bmsOffice11);
    F->Edit1->SetFocus();
    Pump();
  }
  TRawImage LinkImage(TkxBarItemLink* Link) { return Screen(LinkScreenRect(Link)); }
};

TEST_F(BarsOfficeTest, ButtonStatesAreGradientsInsideTheSelectedBorder) {
  TkxBarManager* m = F->BarManager1;
  ASSERT_EQ(m->PainterClass(), TkxBarItemControlOffice11Painter::Instance());
  COLORREF border = OfficeRgb(Office11SelectedBorderColor);
  // checked, not hot: the down gradient, solid hot colour when both ends are equal
  TRawImage img = LinkImage(ToolLink(F->OfficeStyle));
  EXPECT_EQ(OfficePixelOf(img, 0, 0), border);
  COLORREF checked = OfficeRgb(Office11DownGradientColor1) == OfficeRgb(Office11DownGradientColor2)
                         ? OfficeRgb(Office11HotColor)
                         : OfficeRgb(Office11DownGradientColor1);
  EXPECT_EQ(OfficePixelOf(img, img.Width / 2, 1), checked);
  // hot: the hot gradient from its first colour at the top to its second at the bottom
  TkxBarItemLink* copy = ToolLink(F->CopyButton);
  TRect r = LinkScreenRect(copy);
  hb->MouseMove(r.left + 3, r.top + 3);
  Pump();
  img = LinkImage(copy);
  EXPECT_EQ(OfficePixelOf(img, 0, 0), border);
  EXPECT_EQ(OfficePixelOf(img, img.Width - 2, 1), OfficeRgb(Office11HotGradientColor1));
  EXPECT_EQ(OfficePixelOf(img, img.Width - 2, img.Height - 2), OfficeRgb(Office11HotGradientColor2));
  // pressed and hot: the down gradient reversed
  hb->MouseDown(r.left + 3, r.top + 3);
  Pump();
  img = LinkImage(copy);
  EXPECT_EQ(OfficePixelOf(img, img.Width - 2, 1), OfficeRgb(Office11DownGradientColor2));
  hb->MouseUp(r.left + 3, r.top + 3);
  Pump();
  EXPECT_EQ(F->Log.back(), "copy");
}

TEST_F(BarsOfficeTest, AnOpenMenuIsJoinedToItsOwnerInTheOpenDropDownColours) {
  TkxBarItemLink* file = LinkOf(MainMenu->ItemLinks(), F->FileMenu);
  ClickLink(file);
  TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
  ASSERT_NE(menu, nullptr);
  TRect item = LinkScreenRect(file);
  TRawImage img = Screen(TRect{item.left, item.top, item.right + 4, item.bottom});
  // the main menu is vertical: the gradient runs across, from the first colour at the left
  RECT across{0, 0, item.Width(), item.Height()};
  for (int x : {1, item.Width() / 2, item.Width() - 2})
    EXPECT_EQ(OfficePixelOf(img, x, 1),
              OfficeRgb(GradientColorAt(across, x, Office11OpenDropDownColor1, Office11OpenDropDownColor2, true)));
  // the item's frame is open on the side the menu touches, in the gradient's far colour
  int right = item.Width() - 1;
  EXPECT_EQ(OfficePixelOf(img, right, item.Height() / 2), OfficeRgb(Office11OpenDropDownColor2));
  EXPECT_EQ(OfficePixelOf(img, right, 0), OfficeRgb(Office11FrameColor));
  // the menu's frame takes the owner band colour where it joins the item
  TRect mw = menu->GetWindowRect();
  ASSERT_EQ(mw.left, item.right);
  EXPECT_EQ(hb->ScreenPixel(mw.left, item.top + item.Height() / 2) & 0xFFFFFF,
            std::uint32_t(GetRValue(OfficeRgb(Office11MenuColor))) << 16 |
                std::uint32_t(GetGValue(OfficeRgb(Office11MenuColor))) << 8 | GetBValue(OfficeRgb(Office11MenuColor)));
  // an idle menu item has no frame and shows the shaded glyph column
  TkxBarItemLink* open = LinkIn(menu, F->OpenItem);
  TRect o = LinkScreenRect(open);
  TRawImage row = Screen(o);
  int column = menu->GetGlyphColumnWidth();
  EXPECT_NE(OfficePixelOf(row, 2, row.Height / 2), OfficePixelOf(row, column - 2, row.Height / 2));
  EXPECT_EQ(OfficePixelOf(row, row.Width - 2, 0), OfficeRgb(Office11MenuColor));
  hb->Key(VK_ESCAPE);
  Pump();
}

TEST_F(BarsOfficeTest, GripComboAndFloatingFrameMetrics) {
  TkxBarManager* m = F->BarManager1;
  EXPECT_EQ(m->GripOffset(), 3);
  EXPECT_EQ(m->GripAreaSize(), 8);
  EXPECT_EQ(ToolsBar->Control()->ComboButtonWidth(), 13);
  TkxBarItemControlPainterClass p = m->PainterClass();
  EXPECT_EQ(p->GetFloatingBorderWidth(), 3);
  EXPECT_EQ(p->GetFloatingBorderHeight(), 3);
  EXPECT_TRUE(p->IsLayeredStyle());
  // three rings, the inner one with corners of the outer colour (rounded)
  TBitmap bmp;
  bmp.SetSize(20, 20);
  p->DrawFloatingBorder(MainMenu, bmp.Canvas()->Handle(), Office11MenuBrush, TRect{3, 3, 17, 17},
                        TRect{0, 0, 20, 20});
  auto at = [&](int X, int Y) { return ColorToRGB(bmp.Canvas()->Pixels(X, Y)); };
  EXPECT_EQ(at(0, 5), OfficeRgb(Office11FloatingFrameOuterColor));
  EXPECT_EQ(at(1, 5), OfficeRgb(Office11FloatingFrameOuterColor));
  EXPECT_EQ(at(2, 5), OfficeRgb(Office11FloatingFrameInnerColor));
  EXPECT_EQ(at(2, 2), OfficeRgb(Office11FloatingFrameOuterColor));
  // the docked main menu has borders only across the bar
  TRect margins;
  p->GetSingleBorderMargins(F->BarManager1->Bars()->Items(0), dsTop, margins);
  EXPECT_EQ(margins, (TRect{0, 2, 0, 2}));
  p->GetSingleBorderMargins(F->BarManager1->Bars()->Items(0), dsLeft, margins);
  EXPECT_EQ(margins, (TRect{2, 0, 2, 0}));
}
