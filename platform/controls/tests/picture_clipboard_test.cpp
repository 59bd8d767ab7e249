// Pictures through the clipboard (a bitmap copied and pasted back whole, an
// empty clipboard or picture) and the file extension of a graphic class.
#include "platform/controls/tests/ctltest.h"

#include "platform/controls/graphics.h"

namespace {

TEST_F(CtlTest, PicturesTravelThroughTheClipboardAsBitmaps) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  TPicture empty, source, target;
  EXPECT_FALSE(ClipboardHasFormat(CF_PICTURE));
  EXPECT_FALSE(PastePictureFromClipboard(&target));
  CopyPictureToClipboard(&empty);
  EXPECT_FALSE(ClipboardHasFormat(CF_PICTURE));

  TBitmap* b = source.Bitmap();
  b->SetSize(5, 3);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(TRect{0, 0, 5, 3});
  b->Canvas()->SetPixel(4, 2, clBlue);
  CopyPictureToClipboard(&source);
  EXPECT_TRUE(ClipboardHasFormat(CF_PICTURE));
  EXPECT_TRUE(ClipboardHasFormat(CF_BITMAP));
  EXPECT_FALSE(ClipboardHasFormat(CF_TEXT));
  ASSERT_TRUE(PastePictureFromClipboard(&target));
  ASSERT_NE(nullptr, dynamic_cast<TBitmap*>(target.Graphic()));
  EXPECT_EQ(5, target.Width());
  EXPECT_EQ(3, target.Height());
  EXPECT_EQ(clRed, target.Bitmap()->Canvas()->Pixels(0, 0));
  EXPECT_EQ(clBlue, target.Bitmap()->Canvas()->Pixels(4, 2));
  // The clipboard keeps its own copy.
  source.SetGraphic(nullptr);
  TPicture again;
  EXPECT_TRUE(PastePictureFromClipboard(&again));
  EXPECT_EQ(5, again.Width());
}

TEST_F(CtlTest, GraphicExtensionIsTheFirstRegisteredForTheClass) {
  EXPECT_EQ("bmp", GraphicExtension(TBitmap::StaticClass()));
  EXPECT_EQ("ico", GraphicExtension(TIcon::StaticClass()));
  EXPECT_EQ("", GraphicExtension(TPicture::StaticClass()));
}

}  // namespace
