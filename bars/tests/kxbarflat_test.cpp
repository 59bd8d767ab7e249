// The flat style: button states in the manager's tinted colours under a
// highlight frame, the striped grip, the metrics that differ from the base,
// the floating caption colour, the high-contrast frame and the detach strip.
#include "bars/tests/kxbartest.h"
#include "framework/uxoffice11.h"

namespace {

COLORREF FlatPixel(const TRawImage& Image, int X, int Y) {
  std::uint32_t p = Image.At(X, Y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace

class BarsFlatTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    F->BarManager1->SetStyle(bmsFlat);
    F->Edit1->SetFocus();
    Pump();
  }
  // The screen image of a link's rectangle.
  TRawImage LinkImage(TkxBarItemLink* Link) { return Screen(LinkScreenRect(Link)); }
  COLORREF Rgb(TColor C) { return ColorToRGB(C); }
};

TEST_F(BarsFlatTest, ButtonStatesShowTheManagerColoursInsideAHighlightFrame) {
  TkxBarManager* m = F->BarManager1;
  ASSERT_EQ(m->PainterClass(), TkxBarItemControlFlatPainter::Instance());
  COLORREF frame = GetSysColor(COLOR_HIGHLIGHT);
  // a checked button that is not hot: the background colour inside the frame
  TkxBarItemLink* office = ToolLink(F->OfficeStyle);
  TRawImage img = LinkImage(office);
  EXPECT_EQ(FlatPixel(img, 0, 0), frame);
  EXPECT_EQ(FlatPixel(img, 2, img.Height / 2), Rgb(m->XPBackgroundColor()));
  // hot: the selected colour
  TkxBarItemLink* copy = ToolLink(F->CopyButton);
  TRect r = LinkScreenRect(copy);
  hb->MouseMove(r.left + 3, r.top + 3);
  Pump();
  img = LinkImage(copy);
  EXPECT_EQ(FlatPixel(img, 0, 0), frame);
  EXPECT_EQ(FlatPixel(img, img.Width - 2, 1), Rgb(m->XPSelectedColor()));
  // pressed: the down colour
  hb->MouseDown(r.left + 3, r.top + 3);
  Pump();
  img = LinkImage(copy);
  EXPECT_EQ(FlatPixel(img, img.Width - 2, 1), Rgb(m->XPDownColor()));
  hb->MouseUp(r.left + 3, r.top + 3);
  Pump();
  EXPECT_EQ(F->Log.back(), "copy");
}

TEST_F(BarsFlatTest, MetricsOfTheStyle) {
  TkxBarManager* m = F->BarManager1;
  TkxBarItemControlPainterClass p = m->PainterClass();
  // the docked grip: offset 1, three striped pixels, two more
  EXPECT_EQ(m->GripOffset(), 1);
  EXPECT_EQ(m->GripAreaSize(), 6);
  EXPECT_EQ(m->MenuSeparatorIndent(), 8);
  // the drop-down arrow part is one pixel narrower than the base
  EXPECT_EQ(m->ButtonArrowWidth(), 11);
  EXPECT_EQ(m->DropDownArrowWidth(), 10);
  m->SetLargeIcons(true);
  m->StyleChanged();
  EXPECT_EQ(m->DropDownArrowWidth(), 22);
  m->SetLargeIcons(false);
  struct {
    int unit, size;
  } arrows[] = {{11, 3}, {15, 4}, {18, 6}, {12, 4}};
  for (auto a : arrows) EXPECT_EQ(p->CalcMenuArrowSize(nullptr, a.unit), a.size) << a.unit;
  int unit = 19, arrow = 0, expand = 0, check = 0;
  p->CalcMenuMetrics(nullptr, unit, arrow, expand, check);
  EXPECT_EQ(unit, 20);  // menu rows one pixel taller
  EXPECT_EQ(check, 20);
  EXPECT_EQ(arrow, 16);
  // a floating toolbar's caption is inactive-coloured even while the form is active
  EXPECT_EQ(p->GetFloatingCaptionColor(MainMenu, true), clInactiveCaption);
  EXPECT_EQ(p->GetFloatingCaptionColor(MainMenu, false), clInactiveCaption);
}

TEST_F(BarsFlatTest, TheGripIsStripedFromItsTopRow) {
  TkxBarControl* tools = ToolsBar->Control();
  ASSERT_NE(tools, nullptr);
  TRect w = tools->GetWindowRect();
  TRawImage img = Screen(w);
  // border (1), corner (1), then the grip one pixel further in: rows from 3 below the inner top
  int x = 2 + 1, top = 2 + 3;
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(FlatPixel(img, x, top), shadow);
  EXPECT_NE(FlatPixel(img, x, top + 1), shadow);
  EXPECT_EQ(FlatPixel(img, x + 2, top + 2), shadow);
  EXPECT_NE(FlatPixel(img, x + 3, top), shadow);  // three pixels wide
}

TEST_F(BarsFlatTest, HighContrastBlackFaceFramesInTheHighlightTextColour) {
  int index[2] = {COLOR_BTNFACE, COLOR_HIGHLIGHTTEXT};
  COLORREF saved[2] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HIGHLIGHTTEXT)};
  COLORREF black[2] = {RGB(0, 0, 0), RGB(0, 255, 0)};
  SetSysColors(2, index, black);
  auto* p = static_cast<const TkxBarItemControlFlatPainter*>(TkxBarItemControlFlatPainter::Instance());
  TBitmap bmp;
  bmp.SetSize(8, 8);
  p->DrawSelectionFrame(bmp.Canvas()->Handle(), TRect{0, 0, 8, 8});
  EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(0, 0)), RGB(0, 255, 0));
  SetSysColors(2, index, saved);
  p->DrawSelectionFrame(bmp.Canvas()->Handle(), TRect{0, 0, 8, 8});
  EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(0, 0)), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(BarsFlatTest, DetachStripGripSpansTheMiddleThirtyThreePixels) {
  auto* menu = new TkxBarSubMenuControl(F->BarManager1);
  TBitmap bmp;
  bmp.SetSize(100, 9);
  HDC dc = bmp.Canvas()->Handle();
  menu->Painter()->FillDetachBar(menu, dc, TRect{0, 0, 100, 9});
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  auto at = [&](int X, int Y) { return ColorToRGB(bmp.Canvas()->Pixels(X, Y)); };
  EXPECT_NE(at(32, 1), shadow);
  EXPECT_EQ(at(33, 1), shadow);
  EXPECT_EQ(at(65, 1), shadow);
  EXPECT_NE(at(66, 1), shadow);
  EXPECT_NE(at(40, 0), shadow);  // one pixel in from the top
  EXPECT_NE(at(40, 2), shadow);  // every second row
  EXPECT_EQ(at(40, 3), shadow);
  menu->Free();
}
