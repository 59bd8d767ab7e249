// Text: the built-in fixed-metric font (exact extents, ink and DrawText
// layout) and real fonts through fontconfig.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "canvas.h"

namespace {

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
const char* const kZhong = "\xD6\xD0";  // 中
const char* const kWen = "\xCE\xC4";    // 文

HFONT FixedFont(bool underline = false, int escapement = 0) {
  LOGFONTA lf;
  std::strcpy(lf.lfFaceName, PV_FIXED_FONT_NAME);
  lf.lfHeight = -14;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfUnderline = underline;
  lf.lfEscapement = lf.lfOrientation = escapement;
  return CreateFontIndirectA(&lf);
}

struct FixedCanvas : Canvas {
  Selected font;
  FixedCanvas(int w, int h, bool underline = false, int esc = 0)
      : Canvas(w, h, kGrey), font(dc, FixedFont(underline, esc)) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInk);
  }
};

TEST(FixedFont, MetricsAndExtents) {
  FixedCanvas c(10, 10);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 14);
  EXPECT_EQ(tm.tmAscent, 11);
  EXPECT_EQ(tm.tmDescent, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
  EXPECT_EQ(tm.tmMaxCharWidth, 14);
  EXPECT_EQ(tm.tmCharSet, GB2312_CHARSET);
  EXPECT_EQ(GetFontLanguageInfo(c.dc), GCP_DBCS);

  std::string s = std::string("ab") + kZhong + "c";
  SIZE sz;
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, s.c_str(), int(s.size()), &sz));
  EXPECT_EQ(sz.cx, 35);
  EXPECT_EQ(sz.cy, 14);
  int fit = -1, dx[5];
  GetTextExtentExPointA(c.dc, s.c_str(), int(s.size()), 20, &fit, dx, &sz);
  EXPECT_EQ(fit, 2);  // the double-byte character is never split
  EXPECT_EQ(std::vector<int>(dx, dx + 5), (std::vector<int>{7, 14, 28, 28, 35}));
  int widths[2];
  GetCharWidthA(c.dc, 'a', 'b', widths);
  EXPECT_EQ(widths[0], 7);
  GetCharWidthA(c.dc, 0xD6D0, 0xD6D0, widths);
  EXPECT_EQ(widths[0], 14);
  ABC abc;
  GetCharABCWidthsA(c.dc, 'x', 'x', &abc);
  EXPECT_EQ(abc.abcA, 1);
  EXPECT_EQ(abc.abcB, 5u);
  EXPECT_EQ(abc.abcC, 1);
  SetTextCharacterExtra(c.dc, 2);
  GetTextExtentPoint32A(c.dc, "ab", 2, &sz);
  EXPECT_EQ(sz.cx, 18);
  SetTextCharacterExtra(c.dc, 0);
  SetTextJustification(c.dc, 5, 2);
  GetTextExtentPoint32A(c.dc, "a b c", 5, &sz);
  EXPECT_EQ(sz.cx, 35 + 5);
  SetTextJustification(c.dc, 0, 0);
  std::string tabbed = "a\tb";
  EXPECT_EQ(LOWORD(GetTabbedTextExtentA(c.dc, tabbed.c_str(), 3, 0, nullptr)), 56 + 7);
  int stop = 20;
  EXPECT_EQ(LOWORD(GetTabbedTextExtentA(c.dc, tabbed.c_str(), 3, 1, &stop)), 27);
}

TEST(FixedFont, InkAndAlignment) {
  std::string s = std::string("A") + kZhong;  // 21 pixels wide
  struct Case {
    UINT align;
    int x, y;
  } cases[] = {
      {TA_LEFT | TA_TOP, 0, 0},       {TA_LEFT | TA_BASELINE, 0, 11}, {TA_LEFT | TA_BOTTOM, 0, 14},
      {TA_RIGHT | TA_TOP, 21, 0},     {TA_CENTER | TA_TOP, 10, 0},
  };
  for (const Case& k : cases) {
    FixedCanvas c(24, 16);
    SetTextAlign(c.dc, k.align);
    TextOutA(c.dc, k.x, k.y, s.c_str(), int(s.size()));
    // 'A' is the block [1,6)x[3,11); the double-byte cell at x=7 holds [8,20)x[1,13).
    EXPECT_EQ(c.Ink(1, 3, 6, 11, kGrey), 40) << k.align;
    EXPECT_EQ(c.Ink(8, 1, 20, 13, kGrey), 144) << k.align;
    EXPECT_EQ(c.Ink(0, 0, 24, 16, kGrey), 184) << k.align;
  }
  // Opaque mode fills the character cells.
  FixedCanvas o(24, 16);
  SetBkMode(o.dc, OPAQUE);
  SetBkColor(o.dc, RGB(255, 255, 0));
  TextOutA(o.dc, 0, 0, s.c_str(), int(s.size()));
  EXPECT_EQ(o.At(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(o.At(20, 13), RGB(255, 255, 0));
  EXPECT_EQ(o.At(21, 0), kGrey);
  // The current position advances with TA_UPDATECP.
  FixedCanvas u(30, 16);
  SetTextAlign(u.dc, TA_UPDATECP);
  MoveToEx(u.dc, 2, 0, nullptr);
  TextOutA(u.dc, 100, 100, "ab", 2);
  POINT cur;
  GetCurrentPositionEx(u.dc, &cur);
  EXPECT_EQ(cur.x, 16);
  EXPECT_EQ(u.Ink(3, 3, 8, 11, kGrey), 40);
}

TEST(FixedFont, UnderlineClippingOpaqueRectAndRotation) {
  FixedCanvas c(24, 16, true);
  TextOutA(c.dc, 0, 0, "ab", 2);
  for (int x = 0; x < 14; ++x) EXPECT_EQ(c.At(x, 12), kInk) << x;
  EXPECT_EQ(c.At(14, 12), kGrey);

  FixedCanvas k(24, 16);
  RECT rc{0, 0, 4, 14};
  SetBkColor(k.dc, RGB(255, 0, 0));
  ExtTextOutA(k.dc, 0, 0, ETO_CLIPPED | ETO_OPAQUE, &rc, "AB", 2, nullptr);
  EXPECT_EQ(k.Ink(0, 0, 24, 16, kGrey), 56);  // the 4x14 opaque box
  EXPECT_EQ(k.At(1, 3), kInk);
  EXPECT_EQ(k.At(4, 3), kGrey);  // clipped
  // Per-character advances
  FixedCanvas d(40, 16);
  int dx[2] = {20, 7};
  ExtTextOutA(d.dc, 0, 0, 0, nullptr, "AB", 2, dx);
  EXPECT_EQ(d.Ink(21, 3, 26, 11, kGrey), 40);

  // 90 degrees: the text runs upwards from the reference point.
  FixedCanvas r(20, 40, false, 900);
  TextOutA(r.dc, 0, 30, "A", 1);
  EXPECT_EQ(r.Ink(3, 25, 11, 30, kGrey), 40);
  EXPECT_EQ(r.Ink(0, 0, 20, 40, kGrey), 40);
  // 270 degrees: downwards, the glyph on the other side of the baseline.
  FixedCanvas d2(20, 40, false, 2700);
  TextOutA(d2.dc, 19, 10, "A", 1);
  EXPECT_EQ(d2.Ink(9, 11, 17, 16, kGrey), 40);
  EXPECT_EQ(d2.Ink(0, 0, 20, 40, kGrey), 40);
  // Tabbed output puts the text after the tab at the tab stop.
  FixedCanvas t(80, 16);
  int stop = 30;
  EXPECT_EQ(LOWORD(TabbedTextOutA(t.dc, 0, 0, "a\tb", 3, 1, &stop, 0)), 37);
  EXPECT_EQ(t.Ink(31, 3, 36, 11, kGrey), 40);
}

struct DrawCase {
  const char* text;
  RECT rc;
  UINT fmt;
  int height;   // return value
  RECT calc;    // rectangle after DT_CALCRECT
};

TEST(DrawTextFixed, WrapAndCalcRect) {
  const std::string zh = std::string(kZhong) + kWen + kZhong + kWen;
  const DrawCase cases[] = {
      // "aaa bbb" | "cc" | "dddddddd" (a word wider than the line stays whole)
      {"aaa bbb cc dddddddd", {0, 0, 50, 100}, DT_WORDBREAK, 42, {0, 0, 56, 42}},
      // ...unless edit-control breaking is asked for
      {"aaa bbb cc dddddddd", {0, 0, 50, 100}, DT_WORDBREAK | DT_EDITCONTROL, 56, {0, 0, 49, 56}},
      {zh.c_str(), {0, 0, 30, 100}, DT_WORDBREAK, 28, {0, 0, 28, 28}},
      {"ab\ncd\r\nef", {0, 0, 100, 100}, 0, 42, {0, 0, 14, 42}},
      {"ab\ncd", {0, 0, 100, 100}, DT_SINGLELINE, 14, {0, 0, 28, 14}},
      {"A&&B", {0, 0, 100, 100}, DT_SINGLELINE, 14, {0, 0, 21, 14}},
      {"A&&B", {0, 0, 100, 100}, DT_SINGLELINE | DT_NOPREFIX, 14, {0, 0, 28, 14}},
      {"a\tb", {0, 0, 100, 100}, DT_SINGLELINE | DT_EXPANDTABS, 14, {0, 0, 63, 14}},
      {"", {5, 5, 100, 100}, 0, 14, {5, 5, 5, 19}},
  };
  for (const DrawCase& k : cases) {
    FixedCanvas c(10, 10);
    RECT rc = k.rc;
    EXPECT_EQ(DrawTextA(c.dc, k.text, -1, &rc, k.fmt | DT_CALCRECT), k.height) << k.text << " " << k.fmt;
    EXPECT_TRUE(rc == k.calc) << k.text << " " << k.fmt << ": " << rc.right << "," << rc.bottom;
    EXPECT_EQ(c.Ink(0, 0, 10, 10, kGrey), 0);  // measuring draws nothing
  }
}

TEST(DrawTextFixed, Ellipses) {
  struct Case {
    const char* text;
    int width;
    UINT fmt;
    const char* shown;
  } cases[] = {
      {"abcdefgh", 35, DT_END_ELLIPSIS, "ab..."},
      {"abcdefgh", 56, DT_END_ELLIPSIS, "abcdefgh"},
      {"abcdefgh", 20, DT_END_ELLIPSIS, "..."},
      {"c:\\dir\\file.txt", 98, DT_PATH_ELLIPSIS, "c:...\\file.txt"},
      {"c:\\dir\\file.txt", 70, DT_PATH_ELLIPSIS, "...\\file.txt"},
      {"one two three", 70, DT_WORD_ELLIPSIS, "one two..."},
  };
  for (const Case& k : cases) {
    FixedCanvas c(120, 20);
    char buf[64] = {};
    std::strcpy(buf, k.text);
    RECT rc{0, 0, k.width, 14};
    DrawTextExA(c.dc, buf, -1, &rc, k.fmt | DT_SINGLELINE | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
    EXPECT_STREQ(buf, k.shown) << k.text << " in " << k.width;
  }
  // Without DT_MODIFYSTRING the caller's text is left alone, and the drawn
  // text is what measuring said: "ab..." puts ink in five cells.
  FixedCanvas c(120, 20);
  char buf[16] = "abcdefgh";
  RECT rc{0, 0, 35, 14};
  DrawTextA(c.dc, buf, -1, &rc, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_STREQ(buf, "abcdefgh");
  EXPECT_EQ(c.Ink(0, 0, 120, 20, kGrey), 5 * 40);
}

TEST(DrawTextFixed, PrefixAlignmentAndReturnValue) {
  FixedCanvas c(100, 20);
  RECT rc{0, 0, 100, 20};
  DrawTextA(c.dc, "&Open", -1, &rc, DT_SINGLELINE);
  EXPECT_EQ(c.At(0, 12), kInk);  // underline under 'O'
  EXPECT_EQ(c.At(6, 12), kInk);
  EXPECT_EQ(c.At(7, 12), kGrey);
  EXPECT_EQ(c.Ink(0, 0, 100, 20, kGrey), 4 * 40 + 7);

  struct Case {
    UINT fmt;
    int firstInkX, firstInkY, ret;
  } cases[] = {
      {DT_SINGLELINE, 1, 3, 14},
      {DT_SINGLELINE | DT_RIGHT, 87, 3, 14},
      {DT_SINGLELINE | DT_CENTER, 44, 3, 14},
      {DT_SINGLELINE | DT_VCENTER, 1, 6, 17},
      {DT_SINGLELINE | DT_BOTTOM, 1, 9, 20},
  };
  for (const Case& k : cases) {
    FixedCanvas d(100, 20);
    RECT r{0, 0, 100, 20};
    EXPECT_EQ(DrawTextA(d.dc, "ab", 2, &r, k.fmt), k.ret) << k.fmt;
    int fy = -1;
    for (int y = 0; y < 20 && fy < 0; ++y)
      for (int x = 0; x < 100; ++x)
        if (d.At(x, y) == kInk) { fy = y; break; }
    int minX = 100;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 100; ++x)
        if (d.At(x, y) == kInk) minX = std::min(minX, x);
    EXPECT_EQ(minX, k.firstInkX) << k.fmt;
    EXPECT_EQ(fy, k.firstInkY) << k.fmt;
  }
  // DT_TABSTOP takes the tab length from the format's second byte (which
  // therefore cannot carry DT_CALCRECT and its neighbours).
  FixedCanvas t(60, 20);
  RECT tr{0, 0, 60, 20};
  DrawTextA(t.dc, "a\tb", 3, &tr, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_EQ(t.Ink(29, 0, 34, 20, kGrey), 40);
  EXPECT_EQ(t.Ink(0, 0, 60, 20, kGrey), 80);
  // Text is clipped to the rectangle unless DT_NOCLIP.
  FixedCanvas e(40, 20);
  RECT small{0, 0, 4, 14};
  DrawTextA(e.dc, "ab", 2, &small, DT_SINGLELINE);
  EXPECT_EQ(e.Ink(0, 0, 40, 20, kGrey), 3 * 8);
  FixedCanvas f(40, 20);
  DrawTextA(f.dc, "ab", 2, &small, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(f.Ink(0, 0, 40, 20, kGrey), 80);
}

bool HaveCjkFont() {
  FILE* p = popen("fc-list :lang=zh family 2>/dev/null", "r");
  if (!p) return false;
  char buf[256];
  bool any = std::fgets(buf, sizeof buf, p) != nullptr;
  pclose(p);
  return any;
}

TEST(RealFonts, ChineseTextPutsInkInEachGlyphCell) {
  if (!HaveCjkFont()) GTEST_SKIP() << "no CJK font installed";
  // "节点 中文ABC" in code page 936
  const std::string s = "\xBD\xDA\xB5\xE3 \xD6\xD0\xCE\xC4" "ABC";
  for (const char* face : {"\xCB\xCE\xCC\xE5", "Tahoma"}) {  // 宋体; a Latin face falls back per character
    Canvas c(200, 40);
    LOGFONTA lf;
    lf.lfHeight = -16;
    lf.lfCharSet = GB2312_CHARSET;
    std::strcpy(lf.lfFaceName, face);
    Selected f(c.dc, CreateFontIndirectA(&lf));
    SetBkMode(c.dc, TRANSPARENT);
    TEXTMETRICA tm;
    GetTextMetricsA(c.dc, &tm);
    EXPECT_GE(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    int dx[16];
    SIZE sz;
    GetTextExtentExPointA(c.dc, s.c_str(), int(s.size()), 1000, nullptr, dx, &sz);
    TextOutA(c.dc, 4, 4, s.c_str(), int(s.size()));
    int start = 0;
    for (std::size_t i = 0; i < s.size();) {
      int n = static_cast<unsigned char>(s[i]) >= 0x81 ? 2 : 1;
      int end = dx[i];
      int ink = c.Ink(4 + start, 4, 4 + end, 4 + tm.tmHeight);
      if (s[i] == ' ') EXPECT_EQ(ink, 0) << face;
      else EXPECT_GT(ink, 8) << face << " character at byte " << i;
      start = end;
      i += std::size_t(n);
    }
    // Measuring and drawing agree: no ink beyond the measured extent.
    EXPECT_EQ(c.Ink(0, 0, 3, 40), 0);
    EXPECT_EQ(c.Ink(4 + sz.cx + 1, 0, 200, 40), 0) << face;
    EXPECT_EQ(sz.cx, dx[s.size() - 1]);
  }
}

// The Chinese UI faces keep the original's cell whatever face draws them: a
// cell as high as the em with no leading, 220/256 of it above the baseline,
// single-byte characters half as wide as double-byte ones.
const char* const kSongFaces[] = {"\xCB\xCE\xCC\xE5", "\xD0\xC2\xCB\xCE\xCC\xE5", "SimSun", "NSimSun",
                                  "Default"};  // 宋体, 新宋体
const std::string kLatin = "Penvarro 1.0";                          // 12 characters
const std::string kHanzi = "\xD6\xD0\xCE\xC4\xD7\xD6";               // 中文字
const std::string kMixed = "ab\xD6\xD0\xCE\xC4" "c";                  // ab中文c

HFONT SongFont(const char* face, int height, int weight = FW_NORMAL, BYTE quality = 0) {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfQuality = quality;
  lf.lfCharSet = GB2312_CHARSET;
  std::strcpy(lf.lfFaceName, face);
  return CreateFontIndirectA(&lf);
}

TEST(SongFaces, KeepTheOriginalCellMetrics) {
  struct Case {
    int height;
    LONG cell, ascent, descent, ave, max;
    int latin, hanzi, mixed;  // extents of kLatin, kHanzi, kMixed
  } cases[] = {
      {-12, 12, 10, 2, 6, 12, 72, 36, 42},
      {12, 12, 10, 2, 6, 12, 72, 36, 42},  // a positive height is the cell, the same without leading
      {-11, 11, 9, 2, 6, 11, 72, 33, 40},
      {16, 16, 14, 2, 8, 16, 96, 48, 56},
      {-16, 16, 14, 2, 8, 16, 96, 48, 56},
  };
  for (const char* face : kSongFaces)
    for (const Case& k : cases) {
      Canvas c(10, 10);
      Selected f(c.dc, SongFont(face, k.height));
      const std::string at = std::string(face) + " at " + std::to_string(k.height);
      TEXTMETRICA tm;
      ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
      EXPECT_EQ(tm.tmHeight, k.cell) << at;
      EXPECT_EQ(tm.tmInternalLeading, 0) << at;
      EXPECT_EQ(tm.tmExternalLeading, 0) << at;
      EXPECT_EQ(tm.tmAscent, k.ascent) << at;
      EXPECT_EQ(tm.tmDescent, k.descent) << at;
      EXPECT_EQ(tm.tmAveCharWidth, k.ave) << at;
      EXPECT_EQ(tm.tmMaxCharWidth, k.max) << at;
      EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << at;  // clear: fixed pitch
      SIZE sz;
      const std::pair<const std::string*, int> extents[] = {{&kLatin, k.latin}, {&kHanzi, k.hanzi}, {&kMixed, k.mixed}};
      for (auto [text, cx] : extents) {
        ASSERT_TRUE(GetTextExtentPoint32A(c.dc, text->c_str(), int(text->size()), &sz));
        EXPECT_EQ(sz.cx, cx) << at << ": " << *text;
        EXPECT_EQ(sz.cy, k.cell) << at;
      }
      int w[2];
      GetCharWidthA(c.dc, 'W', 'W', w);
      GetCharWidthA(c.dc, 0xD6D0, 0xD6D0, w + 1);
      EXPECT_EQ(w[0], k.ave) << at;
      EXPECT_EQ(w[1], k.max) << at;
      RECT rc{0, 0, 0, 0};
      EXPECT_EQ(DrawTextA(c.dc, kMixed.c_str(), int(kMixed.size()), &rc, DT_CALCRECT | DT_SINGLELINE), k.cell) << at;
      EXPECT_EQ(rc.right, k.mixed) << at;
      char name[LF_FACESIZE];
      GetTextFaceA(c.dc, LF_FACESIZE, name);
      EXPECT_STREQ(name, face);
    }
}

// The fixed-pitch faces of program text keep a strict grid: every single-byte
// character takes one cell and every double-byte character exactly two, at odd
// heights too, and the ink of a hanzi stays inside its two cells.
TEST(FixedPitchFaces, HanziAreExactlyTwoCells) {
  for (const char* face : {"Courier New", "Courier"})
    for (int height : {-12, -13, -16, -17}) {
      Canvas c(80, 30);
      Selected f(c.dc, SongFont(face, height));
      const std::string at = std::string(face) + " at " + std::to_string(height);
      SIZE one, latin, hanzi;
      ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "M", 1, &one));
      GetTextExtentPoint32A(c.dc, "il.W", 4, &latin);
      GetTextExtentPoint32A(c.dc, kHanzi.c_str(), int(kHanzi.size()), &hanzi);
      EXPECT_EQ(latin.cx, 4 * one.cx) << at;
      EXPECT_EQ(hanzi.cx, 6 * one.cx) << at;  // three hanzi, six cells
      TEXTMETRICA tm;
      GetTextMetricsA(c.dc, &tm);
      EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << at;
      if (!HaveCjkFont()) continue;
      SetBkMode(c.dc, TRANSPARENT);
      TextOutA(c.dc, 10, 5, kHanzi.c_str(), 2);
      EXPECT_GT(c.Ink(10, 5, 10 + 2 * one.cx, 5 + tm.tmHeight), 0) << at;
      EXPECT_EQ(c.Ink(10, 5, 10 + 2 * one.cx, 5 + tm.tmHeight), c.Ink()) << at;
    }
}

TEST(SongFaces, InkStaysInTheCellAndTheMeasuredExtent) {
  if (!HaveCjkFont()) GTEST_SKIP() << "no CJK font installed";
  // Ascenders, descenders and brackets; hanzi and full-width punctuation;
  // both mixed, with a half-width quote among the double-byte characters.
  const std::string texts[] = {"Hbdfhklgjpqy|()_@W", "\xD6\xD0\xB9\xFA\xFD\x88\xA3\xAC\xA1\xA3\xA3\xA8",
                               "Ag\xD6\xD0\xA1\xB0j\xCE\xC4y"};  // 中国龍，。（; Ag中“j文y
  struct Case {
    int height, weight;
    BYTE quality;
  } cases[] = {{-12, FW_NORMAL, 0}, {-11, FW_NORMAL, 0}, {12, FW_NORMAL, 0}, {16, FW_NORMAL, 0},
               {-12, FW_BOLD, 0},   {-16, FW_BOLD, 0},   {-12, FW_NORMAL, NONANTIALIASED_QUALITY}};
  constexpr int kX = 5, kY = 5;
  for (const Case& k : cases)
    for (const std::string& s : texts) {
      Canvas c(220, 30);
      Selected f(c.dc, SongFont(kSongFaces[0], k.height, k.weight, k.quality));
      SetBkMode(c.dc, TRANSPARENT);
      TEXTMETRICA tm;
      GetTextMetricsA(c.dc, &tm);
      int dx[32];
      SIZE sz;
      GetTextExtentExPointA(c.dc, s.c_str(), int(s.size()), 1000, nullptr, dx, &sz);
      TextOutA(c.dc, kX, kY, s.c_str(), int(s.size()));
      const std::string at = std::to_string(k.height) + "/" + std::to_string(k.weight) + ": " + s;
      EXPECT_EQ(c.Ink(kX, kY, kX + sz.cx, kY + tm.tmHeight), c.Ink()) << at;
      // Every character has ink in its own slot, and the ink fills most of
      // the cell's height.
      int start = 0;
      for (std::size_t i = 0; i < s.size();) {
        std::size_t n = static_cast<unsigned char>(s[i]) >= 0x81 ? 2 : 1;
        EXPECT_GT(c.Ink(kX + start, kY, kX + dx[i], kY + tm.tmHeight), 0) << at << " at byte " << i;
        start = dx[i];
        i += n;
      }
      int top = c.h, bottom = -1;
      for (int y = 0; y < c.h; ++y)
        if (c.Ink(0, y, c.w, y + 1) > 0) top = std::min(top, y), bottom = y;
      EXPECT_GE(bottom - top + 1, tm.tmHeight - 2) << at;
    }
}

TEST(RealFonts, ExtremeHeightsGiveBoundedCells) {
  // Heights come from stored layouts: the most negative one has no magnitude
  // in 32 bits, and huge ones are capped.
  for (const char* face : {"Tahoma", kSongFaces[0]})
    for (LONG height : {LONG(INT32_MIN), LONG(INT32_MAX), LONG(-100000)}) {
      Canvas c(40, 20);
      Selected f(c.dc, SongFont(face, height));
      TEXTMETRICA tm;
      ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
      EXPECT_GT(tm.tmHeight, 0) << face << " " << height;
      EXPECT_LE(tm.tmHeight, 3000) << face << " " << height;
      EXPECT_GT(tm.tmAscent, 0) << face << " " << height;
      EXPECT_TRUE(TextOutA(c.dc, 0, 0, "A\xD6\xD0", 3));
    }
}

TEST(RealFonts, HeightsAndStyles) {
  Canvas c(10, 10);
  LOGFONTA lf;
  std::strcpy(lf.lfFaceName, "Tahoma");
  lf.lfHeight = 20;  // cell height
  Selected f(c.dc, CreateFontIndirectA(&lf));
  TEXTMETRICA tm;
  GetTextMetricsA(c.dc, &tm);
  EXPECT_NEAR(tm.tmHeight, 20, 1);
  SIZE regular, bold;
  GetTextExtentPoint32A(c.dc, "Hello", 5, &regular);
  lf.lfWeight = FW_BOLD;
  HFONT b = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(c.dc, b);
  GetTextExtentPoint32A(c.dc, "Hello", 5, &bold);
  GetTextMetricsA(c.dc, &tm);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  EXPECT_GT(bold.cx, regular.cx);
  SelectObject(c.dc, old);
  DeleteObject(b);
  char face[LF_FACESIZE];
  GetTextFaceA(c.dc, LF_FACESIZE, face);
  EXPECT_STREQ(face, "Tahoma");
}

}  // namespace
