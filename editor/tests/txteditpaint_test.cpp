// Painting: reference pictures of the gutter, the selection, Chinese and Latin
// text, word wrap and rule-driven colouring, and pixel checks of the parts the
// pictures do not pin down (invalidation, special characters, the caret).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "editor/tests/edfixture.h"
#include "editor/txtrules.h"
#include "platform/gdi/tests/refimage.h"

namespace {

const char* const kRefFolder = "editor/tests/ref";

class PaintTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoNoCaret});
  }
  std::uint32_t Pixel(int X, int Y) {
    TRawImage img = Picture(Ed);
    return img.At(X + 2, Y + 2) & 0xFFFFFF;  // inside the sunken border
  }
  static std::uint32_t Rgb(TColor C) {
    COLORREF c = ColorToRGB(C);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  }
  AnsiString ReadRulesFile() {
    std::ifstream in(std::string(PV_SOURCE_DIR) + "/editor/tests/data/prose.h", std::ios::binary);
    return AnsiString((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
};

TEST_F(PaintTest, GutterLineNumbersSelectionAndMixedText) {
  Ed->SetBounds(0, 0, 320, 130);
  Ed->Gutter()->SetShowLineNumbers(true);
  Ed->Gutter()->SetLeftOffset(4);
  SetText("第一章 开端|Alice 在长安 meets 李四。|\tTab\tcells|最后一行 last line|");
  Ed->SetSelectionStart(BC(7, 2));
  Ed->SetSelectionEnd(BC(4, 3));
  EXPECT_TRUE(MatchesReference(Picture(Ed), kRefFolder, "editor_gutter_selection"));
}

TEST_F(PaintTest, WordWrapWithGlyphsAndBookmarks) {
  Ed->SetBounds(0, 0, 300, 150);
  Ed->Gutter()->SetShowLineNumbers(true);
  Ed->Gutter()->SetDigitCount(2);
  Ed->Gutter()->SetLeftOffset(14);
  Ed->SetWordWrap(true);
  SetText(
      "天色渐晚，城门外的驿道上尘土飞扬，一队人马自远处疾驰而来，马蹄声碎。|"
      "The rider at the front raised his hand and the whole column came to a halt.|"
      "短行");
  Ed->PlaceBookmark(1, 1, 1);
  Ed->PlaceBookmark(2, 1, 3);
  EXPECT_GT(Ed->DisplayRowCount(), 3);
  EXPECT_TRUE(MatchesReference(Picture(Ed), kRefFolder, "editor_wordwrap"));
}

TEST_F(PaintTest, RuleDrivenColouringFromARulesFile) {
  TTxtRules rules(nullptr);
  rules.LoadFromText(ReadRulesFile());
  ASSERT_EQ(rules.RootRange->RangeCount(), 2);
  Ed->SetBounds(0, 0, 360, 130);
  Ed->SetHighlighter(&rules);
  Ed->SetRightEdge(40);
  Ed->SetActiveLineColor(TColor(0xF0F0F0));
  SetText("张三：“我们明天去长安。”|李四，点头，带了 3 匹马。// 批注：此处伏笔|Alice 在 洛阳 等了 12 天。");
  Ed->SetCaretXY(BC(1, 3));
  EXPECT_TRUE(MatchesReference(Picture(Ed), kRefFolder, "editor_rules"));
  Ed->SetHighlighter(nullptr);
}

// With the caret line coloured, moving the caret repaints exactly the old and
// the new caret line.
TEST_F(PaintTest, CaretLineColourRepaintsBothLines) {
  SetText("1|2|3|4|5|6|7|8");
  Ed->SetActiveLineColor(clYellow);
  Ed->SetCaretXY(BC(1, 3));
  Pump();
  Ed->BeginPaintLock();  // keep the caret's own repaint out of the picture
  Ed->SetCaretXY(BC(1, 7));
  RECT r;
  ASSERT_TRUE(GetUpdateRect(Ed->Handle(), &r, FALSE));
  const int lh = Ed->LineHeight();
  EXPECT_EQ(r.top, 2 * lh);
  EXPECT_EQ(r.bottom, 7 * lh);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Ed->Handle(), rgn, FALSE);
  EXPECT_FALSE(PtInRegion(rgn, Ed->GutterWidth() + 5, 4 * lh + 1));  // line 5 untouched
  EXPECT_TRUE(PtInRegion(rgn, Ed->GutterWidth() + 5, 2 * lh + 1));
  EXPECT_TRUE(PtInRegion(rgn, Ed->GutterWidth() + 5, 6 * lh + 1));
  DeleteObject(rgn);
  Ed->EndPaintLock();
  EXPECT_EQ(Pixel(Ed->GutterWidth() + 40, 6 * lh + 1), Rgb(clYellow));
  EXPECT_EQ(Pixel(Ed->GutterWidth() + 40, 2 * lh + 1), Rgb(clWindow));
}

// Visible special characters: a dot in a space's cell, one mark centred over
// a tab's cells, a mark after the line end.
TEST_F(PaintTest, SpecialCharactersAreMarked) {
  SetText("a b\t");
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoShowSpecialChars});
  TRawImage img = Picture(Ed);
  const int cw = Ed->CharWidth(), lh = Ed->LineHeight();
  const int x0 = Ed->TextStartX() + 2, y0 = 2;
  auto ink = [&](int col) {  // pixels of the text colour in display column col
    int n = 0;
    for (int y = y0; y < y0 + lh; ++y)
      for (int x = x0 + (col - 1) * cw; x < x0 + col * cw; ++x) n += (img.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
  };
  EXPECT_GT(ink(2), 0);  // the space's dot
  EXPECT_LT(ink(2), ink(1));
  // the tab covers cells 4..8; its mark sits in the middle cell
  EXPECT_EQ(ink(4), 0);
  EXPECT_GT(ink(6), 0);
  EXPECT_EQ(ink(8), 0);
  EXPECT_GT(ink(9), 0);  // the line-end mark
  EXPECT_EQ(ink(10), 0);
}

// A highlighter whose tokens are empty stops the paint with its message.
// (Scanning to the line end still ends, after a hundred steps.)
class TStuckHighlighter : public TTxtCustomHighlighter {
 public:
  explicit TStuckHighlighter(TComponent* AOwner) : TTxtCustomHighlighter(AOwner) {}
  int Steps = 0;
  TTxtHighlighterAttributes* DefaultAttribute(int) override { return nullptr; }
  bool AtLineEnd() const override { return Steps >= 100; }
  AnsiString TokenText() const override { return AnsiString(); }
  TTxtHighlighterAttributes* TokenAttribute() const override { return nullptr; }
  int TokenKind() const override { return 0; }
  int TokenStart() const override { return 0; }
  void NextToken() override { ++Steps; }
  void StartLine(const AnsiString&, int) override { Steps = 0; }
};

struct PaintErrors {
  std::vector<std::string> Messages;
  void Caught(TObject*, Exception* E) { Messages.push_back(E->Message); }
};

TEST_F(PaintTest, EndlessHighlighterStopsThePaint) {
  SetText("abc");
  Pump();
  TStuckHighlighter h(nullptr);
  Ed->SetHighlighter(&h);
  PaintErrors errors;
  Application->OnException = TExceptionEvent(&errors, &PaintErrors::Caught);
  InvalidateRect(Ed->Handle(), nullptr, FALSE);
  UpdateWindow(Ed->Handle());
  Application->OnException = nullptr;
  ASSERT_FALSE(errors.Messages.empty());
  EXPECT_EQ(errors.Messages[0], "The highlighter seems to be in an infinite loop");
  Ed->SetHighlighter(nullptr);
  EXPECT_EQ(Ed->TextDrawer()->DC(), nullptr);  // the drawer was released
}

TEST_F(PaintTest, GutterGradientRunsLeftToRight) {
  SetText("x");
  Ed->Gutter()->SetGradientStartColor(clRed);
  Ed->Gutter()->SetGradientEndColor(clBlue);
  Ed->Gutter()->SetGradientSteps(2);
  Ed->Gutter()->SetGradient(true);
  EXPECT_EQ(Pixel(1, 60), Rgb(clRed));
  EXPECT_EQ(Pixel(Ed->GutterWidth() - 4, 60), Rgb(clBlue));
}

TEST_F(PaintTest, NoRightEdgeAtZero) {
  SetText("x");
  Ed->SetRightEdge(5);
  const int x = Ed->TextStartX() + 5 * Ed->CharWidth();
  EXPECT_EQ(Pixel(x, 40), Rgb(clSilver));
  Ed->SetRightEdge(0);
  EXPECT_EQ(Pixel(x, 40), Rgb(clWindow));
}

TEST_F(PaintTest, CaretShapes) {
  Ed->SetOptions(Ed->Options() - TTxtEditorOptions{eoNoCaret});
  SetText("abc");
  Ed->SetInsertMode(false);  // ctBlock
  POINT p;
  GetCaretPos(&p);
  EXPECT_EQ(p.x, Ed->TextStartX());
  EXPECT_EQ(p.y, 1);
  Ed->SetCaretXY(BC(2, 1));
  Pump();
  GetCaretPos(&p);
  EXPECT_EQ(p.x, Ed->TextStartX() + Ed->CharWidth());
  Ed->SetInsertMode(true);  // ctVerticalLine: one pixel left of the cell
  Pump();
  GetCaretPos(&p);
  EXPECT_EQ(p.x, Ed->TextStartX() + Ed->CharWidth() - 1);
}

}  // namespace
