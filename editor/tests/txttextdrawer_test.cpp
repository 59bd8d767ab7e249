// The text drawer and its shared font records: records are shared by base
// font, style handles are created once, and every byte is drawn in its cell.
#include "editor/txttextdrawer.h"

#include <gtest/gtest.h>

#include "platform/gdi/tests/canvas.h"
#include "platform/rtl/strings.h"

namespace {

std::unique_ptr<TFont> EditorFont(const char* Name = "Courier New", int Size = 10) {
  auto f = std::make_unique<TFont>();
  f->SetName(Name);
  f->SetSize(Size);
  f->SetCharset(1);
  return f;
}

TEST(FontStock, EditorsWithOneFontShareOneRecord) {
  auto font = EditorFont();
  const int before = GetFontsInfoManager().Count();
  TheTextDrawer a(1, font.get());
  TheTextDrawer b(1, font.get());
  TheSharedFontsInfo* rec = a.FontStock()->FontsInfo();
  EXPECT_EQ(b.FontStock()->FontsInfo(), rec);
  EXPECT_EQ(rec->HolderCount, 2);
  b.SetBaseFont(font.get());  // the same font again: no extra holder
  EXPECT_EQ(rec->HolderCount, 2);
  // underline, italic and strike-out are not part of the key; the weight is
  auto underlined = EditorFont();
  underlined->SetStyle(TFontStyles{fsUnderline, fsItalic});
  b.SetBaseFont(underlined.get());
  EXPECT_EQ(b.FontStock()->FontsInfo(), rec);
  auto bold = EditorFont();
  bold->SetStyle(TFontStyles{fsBold});
  b.SetBaseFont(bold.get());
  EXPECT_NE(b.FontStock()->FontsInfo(), rec);
  EXPECT_EQ(rec->HolderCount, 1);
  EXPECT_EQ(GetFontsInfoManager().Count(), before + 2);
}

TEST(FontStock, RecordGoesWithItsLastHolder) {
  auto font = EditorFont("Courier New", 23);
  const int before = GetFontsInfoManager().Count();
  {
    TheTextDrawer a(1, font.get());
    EXPECT_EQ(GetFontsInfoManager().Count(), before + 1);
    EXPECT_EQ(a.FontStock()->FontsInfo()->HandleUsers, 1);
  }
  EXPECT_EQ(GetFontsInfoManager().Count(), before);
}

TEST(FontStock, NilFontsAreRefused) {
  auto font = EditorFont();
  TheTextDrawer d(0, font.get());
  EXPECT_THROW(d.SetBaseFont(nullptr), EheTextDrawerException);
  EXPECT_THROW(d.FontStock()->SetBaseFont(nullptr), EheFontStockException);
  EXPECT_THROW(d.FontStock()->SetStyle(16), EAssertionFailed);
}

// Released handles are made again on the next use, also for the style that
// was current when they went.
TEST(FontStock, StyleHandlesComeBackAfterRelease) {
  auto font = EditorFont();
  TheTextDrawer d(0, font.get());
  d.SetStyle(1);
  HFONT bold = d.FontStock()->FontHandle();
  ASSERT_NE(bold, nullptr);
  d.FreeStyleHandles();
  EXPECT_EQ(d.FontStock()->FontsInfo()->StyleEntries[1].Handle, nullptr);
  d.SetStyle(1);
  EXPECT_NE(d.FontStock()->FontHandle(), nullptr);
  EXPECT_EQ(d.FontStock()->FontsInfo()->StyleEntries[1].Handle, d.FontStock()->FontHandle());
}

TEST(TextDrawer, CellIsTheBoldAdvanceOfM) {
  auto font = EditorFont();
  TheTextDrawer d(1, font.get());
  Canvas c(10, 10);
  LOGFONTA lf = font->LogFont();
  lf.lfWeight = FW_BOLD;
  HFONT f = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(c.dc, f);
  ABC abc;
  ASSERT_TRUE(GetCharABCWidthsA(c.dc, 'M', 'M', &abc));
  TEXTMETRICA tm;
  GetTextMetricsA(c.dc, &tm);
  SelectObject(c.dc, old);
  DeleteObject(f);
  EXPECT_EQ(d.GetCharWidth(), abc.abcA + int(abc.abcB) + abc.abcC);
  EXPECT_EQ(d.GetCharHeight(), tm.tmHeight);
}

TEST(TextDrawer, WidthArrayGrowsInStepsOf64) {
  auto font = EditorFont();
  TheTextDrawer d(1, font.get());
  Canvas c(800, 20);
  d.BeginDrawing(c.dc);
  const std::string text(65, 'x');
  d.ExtTextOut(0, 0, ETO_OPAQUE, RECT{0, 0, 800, 20}, text.c_str(), 65);
  EXPECT_EQ(d.CharWidthArrayLength(), 128);
  d.ExtTextOut(0, 0, ETO_OPAQUE, RECT{0, 0, 800, 20}, text.c_str(), 10);
  EXPECT_EQ(d.CharWidthArrayLength(), 128);
  d.EndDrawing();
  EXPECT_THROW(d.EndDrawing(), EAssertionFailed);
}

// Every byte takes one cell: "a中b" puts the hanzi's ink in cells 1 and 2
// and the "b" in cell 3, and nothing beyond four cells.
TEST(TextDrawer, DoubleByteCharactersCoverTwoCells) {
  auto font = EditorFont();
  TheTextDrawer d(1, font.get());
  const int cw = d.GetCharWidth(), ch = d.GetCharHeight();
  Canvas c(cw * 8, ch);
  d.SetForeColor(clBlack);
  d.SetBackColor(clWhite);
  d.BeginDrawing(c.dc);
  const std::string text = Utf8ToAnsi("a\xE4\xB8\xAD" "b");
  d.ExtTextOut(0, 0, ETO_OPAQUE | ETO_CLIPPED, RECT{0, 0, cw * 8, ch}, text.c_str(), int(text.size()));
  d.EndDrawing();
  EXPECT_GT(c.Ink(0, 0, cw, ch), 0);
  EXPECT_GT(c.Ink(cw, 0, 3 * cw, ch), 0);
  EXPECT_GT(c.Ink(3 * cw, 0, 4 * cw, ch), 0);
  EXPECT_EQ(c.Ink(4 * cw, 0, 8 * cw, ch), 0);
  // drawing restored the device context
  EXPECT_EQ(d.DC(), nullptr);
}

}  // namespace
