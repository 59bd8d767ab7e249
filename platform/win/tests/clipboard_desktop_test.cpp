// The desktop's clipboard as another program fills it: the window manager
// takes only the list of formats when the clipboard changes and reads the data
// of a format once, when it is asked for; a transfer that fails gives no data,
// says why, and can be tried again.
#include "platform/win/tests/wintest.h"

namespace {

using DesktopClipboardTest = WinTest;

std::string TextOf(HANDLE h) {
  const char* p = static_cast<const char*>(GlobalLock(h));
  std::string s = p ? std::string(p) : std::string();
  GlobalUnlock(h);
  return s;
}

TEST_F(DesktopClipboardTest, ALargeTextIsReadOnceWhenPastedNotWhenOffered) {
  HWND h = Top();
  // 文 repeated: three bytes in UTF-8, two in the code page
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "\xE6\x96\x87";
  hb->SetDesktopClipboardText(text);
  Pump();
  EXPECT_EQ(hb->ClipboardReads(), 0) << "the change read the data";
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(hb->ClipboardReads(), 0);
  ASSERT_TRUE(OpenClipboard(h));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(t);
  const std::string got = TextOf(t);
  EXPECT_EQ(got.size(), 400000u);
  EXPECT_EQ(got.substr(0, 4), "\xCE\xC4\xCE\xC4");
  EXPECT_TRUE(GetClipboardData(CF_UNICODETEXT));
  EXPECT_EQ(GetClipboardData(CF_TEXT), t);
  CloseClipboard();
  EXPECT_EQ(hb->ClipboardReads(), 1);
  EXPECT_EQ(PvClipboardError(), "");
  // a change the loop has not yet taken is seen by the next question
  hb->SetDesktopClipboardText("\xE4\xB9\x99");  // 乙
  ASSERT_TRUE(OpenClipboard(h));
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "\xD2\xD2");
  CloseClipboard();
}

TEST_F(DesktopClipboardTest, AFailedTransferGivesNothingSaysWhyAndCanBeTriedAgain) {
  HWND h = Top();
  hb->SetDesktopClipboardText("\xE6\x96\x87");
  Pump();
  hb->SetClipboardFailure("the program holding the clipboard stopped answering");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(h));
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  EXPECT_EQ(PvClipboardError(), "the program holding the clipboard stopped answering");
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "still offered";
  hb->SetClipboardFailure("");
  ASSERT_TRUE(OpenClipboard(h));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(t);
  EXPECT_EQ(TextOf(t), "\xCE\xC4");
  EXPECT_EQ(PvClipboardError(), "");
  CloseClipboard();
}

}  // namespace
