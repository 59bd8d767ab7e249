// The text engine: row breaking on CP936 characters, placement, ellipsis,
// justification, selection and measuring, checked on the fixed-metric font
// (single-byte cells 7 x 14, double-byte 14 x 14, printable characters drawn
// as solid blocks), and a reference sheet in a real Chinese font.
#include "editors/uxtextout.h"

#include "framework/uxgraphics.h"
#include "platform/backend/headless/headless.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TextOutFixture : ::testing::Test {
  std::unique_ptr<TBitmap> B;
  void SetUp() override { HeadlessBackend::Install(); }
  TCanvas* Sheet(int W, int H, const char* FontName = PV_FIXED_FONT_NAME, int FontHeight = 14) {
    B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(clWhite);
    B->Canvas()->FillRect(uxRect(0, 0, W, H));
    B->Canvas()->Font()->SetName(FontName);
    B->Canvas()->Font()->SetHeight(-FontHeight);
    B->Canvas()->Font()->SetColor(clBlack);
    return B->Canvas();
  }
  HDC DC() { return TuxCanvas(B->Canvas()).Handle(); }
  COLORREF Px(int X, int Y) {
    const std::uint32_t P = B->ScanLine(Y)[X];
    return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
  }
  // One character per 7-pixel cell of the row band starting at Y: '#' for
  // ink at the cell's probe point, '.' for none.
  std::string Ink(int X0, int Y, int Cells, COLORREF InkColor = 0) {
    std::string S;
    for (int C = 0; C < Cells; ++C) S += Px(X0 + C * 7 + 3, Y + 7) == InkColor ? '#' : '.';
    return S;
  }
  std::vector<std::string> RowTexts(const char* Text, int Width, int Flags, int MaxLines = 0, bool* Whole = nullptr) {
    TuxTextParams P;
    uxPrepareTextParams(DC(), Flags, P);
    TuxTextRows Rows;
    int Count = 0;
    const bool W = uxMakeTextRows(DC(), Text, uxRect(0, 0, Width, 1000), MaxLines, Count, Rows, P);
    if (Whole) *Whole = W;
    std::vector<std::string> Out;
    for (int I = 0; I < Count; ++I) Out.emplace_back(Rows[I].Text, Rows[I].TextLength);
    return Out;
  }
};

using Rows = std::vector<std::string>;

TEST_F(TextOutFixture, RowsBreakOnWordsAndWholeCharacters) {
  Sheet(200, 200);
  // 中文字符测试 in CP936.
  const char* Hanzi = "\xD6\xD0\xCE\xC4\xD7\xD6\xB7\xFB\xB2\xE2\xCA\xD4";
  struct Case {
    const char* Name;
    const char* Text;
    int Width;
    int Flags;
    Rows Expected;
  } Cases[] = {
      {"words", "aaa bbb ccc", 42, UXTO_WORDBREAK, {"aaa ", "bbb ", "ccc"}},
      {"long word overflows", "abcdefghij k", 35, UXTO_WORDBREAK, {"abcdefghij ", "k"}},
      {"long word broken", "abcdefghij", 35, UXTO_WORDBREAK | UXTO_CHARBREAK, {"abcde", "fghij"}},
      {"hanzi never split", Hanzi, 41, UXTO_WORDBREAK | UXTO_CHARBREAK,
       {"\xD6\xD0\xCE\xC4", "\xD7\xD6\xB7\xFB", "\xB2\xE2\xCA\xD4"}},
      {"mixed widths", "ab\xD6\xD0\xCE\xC4" "cd", 35, UXTO_WORDBREAK | UXTO_CHARBREAK,
       {"ab\xD6\xD0", "\xCE\xC4" "cd"}},
      // A trail byte that looks like a space-free ASCII letter stays with its lead.
      {"trail byte 'A'", "\x81\x41\x81\x41\x81\x41", 30, UXTO_WORDBREAK | UXTO_CHARBREAK,
       {"\x81\x41\x81\x41", "\x81\x41"}},
      {"line breaks", "ab\r\ncd\nef", 200, UXTO_WORDBREAK, {"ab", "cd", "ef"}},
      {"empty paragraph", "ab\r\n\r\ncd", 200, UXTO_WORDBREAK, {"ab", "", "cd"}},
      {"single line keeps breaks", "ab\r\ncd", 200, UXTO_SINGLELINE, {"ab\r\ncd"}},
      {"no wrap without word break", "aaa bbb ccc", 21, 0, {"aaa bbb ccc"}},
      {"justified drops trailing blanks", "aa bb cc", 42, UXTO_JUSTIFY, {"aa bb", "cc"}},
      {"justified blanks before a line break", "aa  \r\nbb", 200, UXTO_JUSTIFY, {"aa", "bb"}},
  };
  for (const Case& C : Cases) EXPECT_EQ(RowTexts(C.Text, C.Width, C.Flags), C.Expected) << C.Name;
}

TEST_F(TextOutFixture, JustifiedBreakCountsPerMode) {
  Sheet(200, 200);
  struct Case {
    int Mode;
    std::vector<int> Counts;
  } Cases[] = {{UXTO_JUSTIFY_EXCEPT_LAST, {1, 0, 1, 0}}, {UXTO_JUSTIFY, {1, 1, 1, 1}}};
  for (const Case& C : Cases) {
    TuxTextParams P;
    uxPrepareTextParams(DC(), C.Mode, P);
    TuxTextRows R;
    int Count = 0;
    uxMakeTextRows(DC(), "aa bb cc dd\r\nee ff gg hh", uxRect(0, 0, 42, 1000), 0, Count, R, P);
    ASSERT_EQ(Count, 4);
    std::vector<int> Got;
    for (int I = 0; I < Count; ++I) Got.push_back(R[I].BreakCount);
    EXPECT_EQ(Got, C.Counts) << "mode " << C.Mode;
  }
}

TEST_F(TextOutFixture, MaxLineCountReportsACut) {
  Sheet(200, 200);
  bool Whole = true;
  EXPECT_EQ(RowTexts("aaaa bbbb cccc", 35, UXTO_WORDBREAK | UXTO_CENTER_VERTICALLY, 2, &Whole),
            (Rows{"aaaa ", "bbbb "}));
  EXPECT_FALSE(Whole);
  RowTexts("aaaa bbbb", 35, UXTO_WORDBREAK | UXTO_CENTER_VERTICALLY, 2, &Whole);
  EXPECT_TRUE(Whole);
}

TEST_F(TextOutFixture, HorizontalAndVerticalPlacement) {
  struct Case {
    int Flags;
    int InkRowTop;
    std::string Ink;
  } Cases[] = {
      {UXTO_LEFT | UXTO_TOP, 0, "###........"},
      {UXTO_CENTER_HORIZONTALLY | UXTO_CENTER_VERTICALLY, 14, "....###...."},
      {UXTO_RIGHT | UXTO_BOTTOM, 28, "........###"},
  };
  for (const Case& C : Cases) {
    TCanvas* Cv = Sheet(77, 42);
    TRect R = uxRect(0, 0, 77, 42);
    EXPECT_EQ(uxCanvasTextOut(Cv, "abc", R, C.Flags | UXTO_SINGLELINE), C.InkRowTop + 14 - 0) << C.Flags;
    EXPECT_EQ(Ink(0, C.InkRowTop, 11), C.Ink) << C.Flags;
  }
}

TEST_F(TextOutFixture, JustifiedRowsFillTheWidthExceptParagraphEnds) {
  struct Case {
    int Mode;
    std::string Rows[3];
  } Cases[] = {
      // the paragraph's last row and the text's last row stay left
      {UXTO_JUSTIFY_EXCEPT_LAST, {"##..##", "##....", "##.##."}},
      {UXTO_JUSTIFY, {"##..##", "##....", "##..##"}},
  };
  for (const Case& C : Cases) {
    TCanvas* Cv = Sheet(42, 56);
    TRect R = uxRect(0, 0, 42, 56);
    uxCanvasTextOut(Cv, "aa bb cc\r\ndd ee", R, C.Mode);
    for (int Row = 0; Row < 3; ++Row) EXPECT_EQ(Ink(0, Row * 14, 6), C.Rows[Row]) << C.Mode << " row " << Row;
  }
}

TEST_F(TextOutFixture, CentredTwoRowsOfThreeEndInAnEllipsis) {
  TCanvas* Cv = Sheet(56, 70);
  TRect R = uxRect(0, 0, 56, 70);
  const int H = uxCanvasTextOut(Cv, "aaaa bbbb cccc", R,
                                UXTO_WORDBREAK | UXTO_CENTER_VERTICALLY | UXTO_END_ELLIPSIS | UXTO_FULL_ROWS_ONLY, 0,
                                0, clBlack, clWhite, 2);
  EXPECT_EQ(H, 28 + 21);  // rows start at (70 - 28) / 2 = 21
  EXPECT_EQ(Ink(0, 21, 8), "####....");
  EXPECT_EQ(Ink(0, 35, 8), "####.###");  // "bbbb " then "..."
  EXPECT_EQ(Ink(0, 49, 8), "........");
}

TEST_F(TextOutFixture, EllipsisOnAnOverlongSingleLine) {
  TCanvas* Cv = Sheet(56, 14);
  TRect R = uxRect(0, 0, 56, 14);
  uxCanvasTextOut(Cv, "abcdefghijk", R, UXTO_SINGLELINE | UXTO_END_ELLIPSIS);
  EXPECT_EQ(Ink(0, 0, 8), "########");  // "abcde..." exactly fills 8 cells
  // Only "abcde" and the dots: the sixth cell's block sits at the dot's place.
  TCanvas* Cv2 = Sheet(63, 14);
  TRect R2 = uxRect(0, 0, 63, 14);
  uxCanvasTextOut(Cv2, "ab cdefghijk", R2, UXTO_SINGLELINE | UXTO_END_ELLIPSIS);
  EXPECT_EQ(Ink(0, 0, 9), "##.######");
}

TEST_F(TextOutFixture, SelectionHighlightAndItsBounds) {
  struct Case {
    const char* Name;
    int SelStart, SelLength;
    std::string Highlight;  // cells showing the selection background
  } Cases[] = {
      {"middle", 1, 1, ".#..."},
      {"past the end is shortened", 3, 10, "...##"},
      {"start outside draws none", 5, 2, "....."},
      {"negative start draws none", -1, 3, "....."},
  };
  for (const Case& C : Cases) {
    TCanvas* Cv = Sheet(35, 14);
    TRect R = uxRect(0, 0, 35, 14);
    uxCanvasTextOut(Cv, "abcde", R, UXTO_SINGLELINE, C.SelStart, C.SelLength, clRed, clYellow);
    std::string Got;
    for (int Cell = 0; Cell < 5; ++Cell) Got += Px(Cell * 7, 0) == 0x0000FF ? '#' : '.';
    EXPECT_EQ(Got, C.Highlight) << C.Name;
    // Selected characters are drawn in the selection's text colour.
    if (C.Highlight == ".#...") {
      EXPECT_EQ(Px(7 + 3, 7), COLORREF(0x00FFFF)) << C.Name;
    }
  }
}

TEST_F(TextOutFixture, SelectionCoversWholeDoubleByteCharacters) {
  TCanvas* Cv = Sheet(42, 14);
  TRect R = uxRect(0, 0, 42, 14);
  uxCanvasTextOut(Cv, "a\xD6\xD0" "b", R, UXTO_SINGLELINE, 1, 2, clRed, clYellow);
  EXPECT_EQ(Px(6, 0), COLORREF(0xFFFFFF));
  EXPECT_EQ(Px(7, 0), COLORREF(0x0000FF));
  EXPECT_EQ(Px(20, 0), COLORREF(0x0000FF));
  EXPECT_EQ(Px(21, 0), COLORREF(0xFFFFFF));
}

TEST_F(TextOutFixture, MeasuringGivesTheSmallestRectangle) {
  TCanvas* Cv = Sheet(10, 10);
  struct Case {
    const char* Text;
    int Flags;
    int MaxLines;
    TRect Expected;
    int Result;
  } Cases[] = {
      {"aaaa bbbbbb cc", UXTO_WORDBREAK, 0, uxRect(5, 5, 5 + 49, 5 + 42), 42},
      {"aaaa bbbbbb cc", UXTO_WORDBREAK, 2, uxRect(5, 5, 5 + 49, 5 + 28), 28},
      {"aaaa bbbbbb cc", UXTO_WORDBREAK | UXTO_CALCROWCOUNT, 0, uxRect(5, 5, 5 + 49, 5 + 42), 3},
      {"ab\xD6\xD0", UXTO_SINGLELINE, 0, uxRect(5, 5, 5 + 28, 5 + 14), 14},
  };
  for (const Case& C : Cases) {
    TRect R = uxRect(5, 5, 5 + 56, 500);
    EXPECT_EQ(uxCanvasTextOut(Cv, C.Text, R, C.Flags | UXTO_CALCRECT, 0, 0, clBlack, clWhite, C.MaxLines), C.Result)
        << C.Text;
    EXPECT_TRUE(R.left == C.Expected.left && R.top == C.Expected.top && R.right == C.Expected.right &&
                R.bottom == C.Expected.bottom)
        << C.Text << ": " << R.left << "," << R.top << "," << R.right << "," << R.bottom;
  }
  // Indents narrow the layout and come back in the answer.
  TRect R = uxRect(0, 0, 56, 500);
  uxCanvasTextOut(Cv, "aaaa bbbb", R, UXTO_WORDBREAK | UXTO_CALCRECT, 0, 0, clBlack, clWhite, 0, 7, 14);
  EXPECT_EQ(R.right - R.left, 35 + 21);
  EXPECT_EQ(R.bottom, 28);
}

TEST_F(TextOutFixture, NothingForEmptyTextOrRectangle) {
  TCanvas* Cv = Sheet(20, 20);
  TRect R = uxRect(0, 0, 20, 20);
  EXPECT_EQ(uxCanvasTextOut(Cv, "", R, 0), 0);
  TRect Empty = uxRect(0, 0, 20, 0);
  EXPECT_EQ(uxCanvasTextOut(Cv, "abc", Empty, 0), 0);
  EXPECT_EQ(Ink(0, 0, 2), "..");
}

TEST_F(TextOutFixture, ClipRegionIsRestored) {
  Sheet(40, 40);
  HDC D = DC();
  HRGN Saved = uxSetClipRect(D, uxRect(0, 0, 10, 10));
  EXPECT_EQ(Saved, nullptr);  // there was no clip before
  HRGN Probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(D, Probe), 1);
  uxRestoreClipRegion(D, Saved);
  EXPECT_EQ(GetClipRgn(D, Probe), 0);
  DeleteObject(Probe);
}

// Random CP936 text in random widths and flags: every row starts on a
// character, rows follow each other in the text, and drawing does not fail.
TEST_F(TextOutFixture, FuzzRowsStartOnCharacters) {
  TCanvas* Cv = Sheet(120, 120);
  std::mt19937 Rng(11106);
  auto Pick = [&](int N) { return int(Rng() % unsigned(N)); };
  const int FlagBits[] = {UXTO_WORDBREAK, UXTO_CHARBREAK, UXTO_END_ELLIPSIS, UXTO_FULL_ROWS_ONLY, UXTO_EXPANDTABS,
                          UXTO_SINGLELINE, UXTO_NOCLIP};
  for (int Round = 0; Round < 1500; ++Round) {
    std::string T;
    const int Len = Pick(40);
    for (int I = 0; I < Len; ++I) {
      switch (Pick(5)) {
        case 0: T += " \t\r\n"[Pick(4)]; break;
        case 1: T += char('a' + Pick(26)); break;
        default:
          T += char(0x81 + Pick(0x7E));
          T += char(0x40 + Pick(0xBF));
      }
    }
    int Flags = Pick(5) | (Pick(4) << 4);
    for (int Bit : FlagBits)
      if (Pick(3) == 0) Flags |= Bit;
    const int Width = 1 + Pick(110);
    TuxTextParams P;
    uxPrepareTextParams(DC(), Flags, P);
    TuxTextRows Rows;
    int Count = 0;
    uxMakeTextRows(DC(), T.c_str(), uxRect(0, 0, Width, 1 + Pick(110)), Pick(4), Count, Rows, P);
    int Prev = 0;
    for (int I = 0; I < Count; ++I) {
      ASSERT_NE(StrByteType(T.c_str(), std::size_t(Rows[I].StartOffset)), mbTrailByte) << Round;
      ASSERT_GE(Rows[I].StartOffset, Prev) << Round;
      ASSERT_LE(Rows[I].StartOffset + Rows[I].TextLength, int(T.size())) << Round;
      Prev = Rows[I].StartOffset + Rows[I].TextLength;
    }
    TRect R = uxRect(Pick(20), Pick(20), 20 + Width, 20 + Pick(100));
    uxCanvasTextOut(Cv, T.c_str(), R, Flags, Pick(50) - 5, Pick(20), clRed, clYellow, Pick(4));
  }
}

// A sheet in the real Chinese face: alignment, wrapping of a Chinese paragraph,
// ellipsis, justification and a selection.
TEST_F(TextOutFixture, ReferenceSheet) {
  TCanvas* Cv = Sheet(320, 200, "\xCB\xCE\xCC\xE5", 12);  // 宋体
  struct Cell {
    TRect R;
    const char* Text;
    int Flags;
    int SelStart, SelLength, MaxLines;
  } Cells[] = {
      {uxRect(4, 4, 154, 20), "\xD7\xF3\xB6\xD4\xC6\xEB Left", UXTO_LEFT | UXTO_SINGLELINE, 0, 0, 0},
      {uxRect(4, 24, 154, 40), "\xBE\xD3\xD6\xD0 Centre", UXTO_CENTER_HORIZONTALLY | UXTO_SINGLELINE, 0, 0, 0},
      {uxRect(4, 44, 154, 60), "\xD3\xD2\xB6\xD4\xC6\xEB Right", UXTO_RIGHT | UXTO_SINGLELINE, 0, 0, 0},
      {uxRect(4, 64, 154, 80), "\xD5\xE2\xCA\xC7\xD2\xBB\xB8\xF6\xCC\xAB\xB3\xA4\xB5\xC4\xB1\xEA\xCC\xE2\xA3\xAC"
                               "\xD0\xE8\xD2\xAA\xCA\xA1\xC2\xD4\xBA\xC5",
       UXTO_SINGLELINE | UXTO_END_ELLIPSIS, 0, 0, 0},
      {uxRect(4, 84, 154, 100), "Select \xD1\xA1\xD6\xD0 text", UXTO_SINGLELINE, 7, 4, 0},
      {uxRect(164, 4, 316, 76),
       "\xB5\xDA\xD2\xBB\xD5\xC2\xA3\xBA\xC1\xD6\xB4\xE5\xB5\xC4\xB6\xAC\xCC\xEC\xC0\xB4\xB5\xC3\xD4\xE7\xA3\xAC"
       "\xD1\xA9\xB4\xD3\xB1\xB1\xC9\xBD\xC6\xAE\xC2\xE4\xA1\xA3\r\n\xCB\xFD\xD7\xDF\xB3\xF6\xC3\xC5 and walked on.",
       UXTO_WORDBREAK | UXTO_CHARBREAK, 0, 0, 0},
      {uxRect(164, 84, 316, 140), "Justified text spreads its words over the whole width of the box.",
       UXTO_JUSTIFY_EXCEPT_LAST, 0, 0, 0},
      {uxRect(164, 148, 316, 196),
       "\xC8\xFD\xD0\xD0\xB5\xC4\xCE\xC4\xD7\xD6\xD6\xBB\xCF\xD4\xCA\xBE\xC1\xBD\xD0\xD0\xA3\xAC\xB5\xDA\xB6\xFE"
       "\xD0\xD0\xD2\xD4\xCA\xA1\xC2\xD4\xBA\xC5\xBD\xE1\xCA\xF8\xA3\xAC\xB5\xDA\xC8\xFD\xD0\xD0\xB2\xBB\xBB\xAD",
       UXTO_WORDBREAK | UXTO_CHARBREAK | UXTO_CENTER_VERTICALLY | UXTO_END_ELLIPSIS | UXTO_FULL_ROWS_ONLY, 0, 0, 2},
      {uxRect(4, 108, 154, 196), "Bottom right\r\n\xB5\xD7\xB2\xBF\xBF\xBF\xD3\xD2",
       UXTO_RIGHT | UXTO_BOTTOM, 0, 0, 0},
  };
  for (const Cell& C : Cells) {
    Cv->Brush()->SetColor(TColor(0xF0F0F0));
    Cv->FillRect(C.R);
    TRect R = C.R;
    uxCanvasTextOut(Cv, C.Text, R, C.Flags, C.SelStart, C.SelLength, clHighlight, clHighlightText, C.MaxLines);
  }
  EXPECT_TRUE(MatchesReference(B->ToRawImage(), "editors/tests/ref", "textout_sheet"));
}

}  // namespace
