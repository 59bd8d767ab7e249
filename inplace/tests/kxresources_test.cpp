// The editors' shared resources: image lists from the program's bitmaps,
// the hand cursor, command texts, time constants, the currency display
// format of the locale, and what is left after shut-down.
#include "inplace/tests/kxtest.h"

#include "inplace/kxresources.h"
#include "platform/rtl/datetime.h"

namespace {

class KxResourcesTest : public InplaceTest {};

TEST_F(KxResourcesTest, ImageListsCursorAndTexts) {
  ASSERT_NE(nullptr, kxToolbarImages);
  EXPECT_EQ(6, kxToolbarImages->Count());
  EXPECT_EQ(16, kxToolbarImages->Width());
  EXPECT_EQ(16, kxToolbarImages->Height());
  ASSERT_NE(nullptr, kxBlobImages);
  EXPECT_EQ(8, kxBlobImages->Count());
  EXPECT_EQ(18, kxBlobImages->Width());
  EXPECT_EQ(16, kxBlobImages->Height());
  // The olive background is transparent: a blob icon drawn on white keeps white corners.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 18, 16);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 18, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  kxDrawImageListItem(dc, 0, 0, kxBlobImages, 3);
  EXPECT_EQ(0xFFFFFFu, GetPixel(dc, 0, 0));
  EXPECT_EQ(0u, GetPixel(dc, 2, 1));  // the memo's black frame
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  // The hand cursor is the program's own, not the system's hand.
  HCURSOR hand = Screen->Cursors(kxHandPointCursor);
  ASSERT_NE(nullptr, hand);
  EXPECT_EQ(0, CursorShapeId(hand));

  EXPECT_EQ("Cu&t", kxEditorCommandTexts[0].Caption);
  EXPECT_EQ("Save to file...", kxEditorCommandTexts[5].Hint);
  EXPECT_TRUE(kxEditorCommandTexts[6].Caption.empty());
  EXPECT_TRUE(kxEditorCommandTexts[6].Hint.empty());
  EXPECT_EQ("&Cancel", kxPopupButtonCaptions[1]);
  EXPECT_EQ("Invalid Date", kxInvalidDateText);
  EXPECT_EQ("EOM", kxDateKeywords[18]);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 0), kxLastTimeOfDay);
  EXPECT_DOUBLE_EQ(1.0 / 24, kxOneHour);
  EXPECT_EQ(13, kxDefaultCheckWidth);
  EXPECT_EQ(13, kxDefaultCheckHeight);

  // After shut-down nothing is left allocated and no cursor stays registered.
  FinalizeInplace();
  EXPECT_EQ(nullptr, kxToolbarImages);
  EXPECT_EQ(nullptr, kxBlobImages);
  EXPECT_NE(hand, Screen->Cursors(kxHandPointCursor));
  EXPECT_TRUE(kxEditorCommandTexts[0].Caption.empty());
  InitInplace();
  EXPECT_NE(nullptr, kxToolbarImages);
}

TEST_F(KxResourcesTest, CurrencyDisplayFormats) {
  struct Case {
    const char* Currency;
    Byte Format;
    Byte Decimals;
    const char* Expect;
  } cases[] = {
      {"X", 0, 2, "X,0.00;-X,0.00"},      {"X", 1, 2, ",0.00X;-,0.00X"},   {"X", 2, 2, "X ,0.00;-X ,0.00"},
      {"X", 3, 2, ",0.00 X;-,0.00 X"},    {"", 3, 2, ",0.00;-,0.00"},      {"", 0, 0, ",0.;-,0."},
      {"Kr.", 0, 1, "Kr'.',0.0;-Kr'.',0.0"}, {"a,b", 1, 2, ",0.00a','b;-,0.00a','b"}, {"X", 7, 2, ",0.00;-,0.00"},
  };
  for (const Case& c : cases) {
    TFormatSettings fs = DefaultFormatSettings();
    fs.CurrencyString = c.Currency;
    fs.CurrencyFormat = c.Format;
    fs.CurrencyDecimals = c.Decimals;
    SetFormatSettings(fs);
    AnsiString f;
    kxGetCurrencyDisplayFormat(f);
    EXPECT_EQ(AnsiString(c.Expect), f) << c.Currency << " " << int(c.Format);
  }
  // The Chinese profile: the full-width yen sign before the number.
  ResetFormatSettings();
  AnsiString f;
  kxGetCurrencyDisplayFormat(f);
  EXPECT_EQ(Gbk("￥,0.00;-￥,0.00"), f);
}

}  // namespace
