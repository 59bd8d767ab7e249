// The screen object: the installed font families, monitors and the cursor table.
#include <gtest/gtest.h>
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

class ScreenTest : public CtlTest {};

// The width of Text drawn in a face, at 16 pixels.
int TextWidthIn(const char* Face, const AnsiString& Text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT f = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, Face);
  HGDIOBJ old = SelectObject(dc, f);
  SIZE sz{};
  GetTextExtentPoint32A(dc, Text.c_str(), int(Text.size()), &sz);
  SelectObject(dc, old);
  DeleteObject(f);
  DeleteDC(dc);
  return sz.cx;
}

// Freeing the focused control leaves the screen without an active control, so
// that freeing its form later touches nothing freed.
TEST_F(ScreenTest, FreedFocusedControlIsNotTheActiveControl) {
  auto* form = new TForm(nullptr, 0);
  form->SetBounds(10, 10, 200, 100);
  auto* box = new TBox(form);
  box->SetParent(form);
  box->SetTabStop(true);
  form->Show();
  Pump();
  box->SetFocus();
  Pump();
  ASSERT_EQ(Screen->ActiveControl(), box);
  form->Hide();  // no window takes the focus back when the box goes
  delete box;
  EXPECT_NE(Screen->ActiveControl(), box);
  delete form;
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

TEST_F(ScreenTest, FontsListsInstalledFamiliesSortedUnderTheirChineseNames) {
  TStrings* fonts = Screen->Fonts();
  ASSERT_GT(fonts->Count(), 0);
  for (int i = 1; i < fonts->Count(); ++i)
    EXPECT_LT(AnsiCompareText(fonts->Get(i - 1), fonts->Get(i)), 0) << fonts->Get(i - 1) << " / " << fonts->Get(i);

  // Installed families come from fontconfig; a family with a simplified-Chinese
  // name is listed under it, not under its Latin name.
  AnsiString wqy = Utf8ToAnsi("\xE6\x96\x87\xE6\xB3\x89\xE9\xA9\xBF\xE5\xBE\xAE\xE7\xB1\xB3\xE9\xBB\x91");  // 文泉驿微米黑
  std::vector<std::string> installed = EnumFontFamilyNames();
  bool haveWqy = std::find(installed.begin(), installed.end(), wqy) != installed.end();
  if (haveWqy) {
    EXPECT_GE(fonts->IndexOf(wqy), 0);
    EXPECT_LT(fonts->IndexOf("WenQuanYi Micro Hei"), 0);
    // The listed name draws with that face.
    AnsiString text = Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87 abc");
    EXPECT_EQ(TextWidthIn(wqy.c_str(), text), TextWidthIn("WenQuanYi Micro Hei", text));
  }
  for (const std::string& f : installed) EXPECT_GE(fonts->IndexOf(f), 0) << f;
  // The faces the drawing layer substitutes stay available.
  for (const char* f : {"\xCB\xCE\xCC\xE5", "Tahoma", "Courier New", PV_FIXED_FONT_NAME})
    EXPECT_GE(fonts->IndexOf(f), 0) << f;
  // No name twice, and no name that lost characters in the code page.
  for (int i = 0; i < fonts->Count(); ++i) EXPECT_EQ(fonts->Get(i).find('?'), AnsiString::npos) << fonts->Get(i);
  EXPECT_EQ(fonts, Screen->Fonts());  // built once
}

TEST_F(ScreenTest, MonitorsAndWorkArea) {
  TMonitor* m = Screen->MonitorFromPoint({10, 10});
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m, Screen->Monitors(0));
  EXPECT_EQ(m->Width(), Screen->Width());
  EXPECT_EQ(m->Height(), Screen->Height());
  EXPECT_TRUE(m->Primary());
  // Off the screen: the nearest monitor, or none when asked for none.
  EXPECT_EQ(Screen->MonitorFromPoint({-5000, -5000}), m);
  EXPECT_EQ(Screen->MonitorFromPoint({-5000, -5000}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_THROW(Screen->Monitors(1), EListError);
  TRect wa = Screen->WorkAreaRect();
  EXPECT_TRUE(wa.Width() > 0 && wa.Width() <= Screen->Width());
  EXPECT_EQ(wa, m->WorkareaRect());
}

TEST_F(ScreenTest, CursorTable) {
  HCURSOR arrow = Screen->Cursors(crArrow);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(Screen->Cursors(crDefault), arrow);
  EXPECT_NE(Screen->Cursors(crIBeam), arrow);
  EXPECT_NE(Screen->Cursors(crDrag), arrow);
  EXPECT_NE(Screen->Cursors(crNoDrop), Screen->Cursors(crDrag));
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  EXPECT_EQ(Screen->Cursors(12345), arrow);  // unknown: the arrow
  // An application cursor by its own index; a later entry replaces it.
  HCURSOR custom = Screen->Cursors(crHandPoint);
  Screen->SetCursors(1, custom);
  EXPECT_EQ(Screen->Cursors(1), custom);
  Screen->SetCursors(1, Screen->Cursors(crCross));
  EXPECT_EQ(Screen->Cursors(1), Screen->Cursors(crCross));
}

}  // namespace
