// Window icons: WM_SETICON/WM_GETICON and the picture the desktop is given.
#include "platform/gdi/tests/canvas.h"
#include "wintest.h"

namespace {

class SetIconTest : public WinTest {
 protected:
  const HeadlessBackend::Window* Shown(HWND h) { return hb->FindWindow(reinterpret_cast<BackendWindowId>(h)); }
  // The desktop's picture at (x, y) as 0xAARRGGBB.
  std::uint32_t IconAt(HWND h, int x, int y) {
    const HeadlessBackend::Window* w = Shown(h);
    return w->icon[std::size_t(y) * w->iconWidth + x];
  }
};

TEST_F(SetIconTest, SetReturnsPreviousAndGetReadsEachSlot) {
  HWND h = Top();
  HICON big = MakeIcon(8, RGB(255, 0, 0)), small = MakeIcon(4, RGB(0, 0, 255)), big2 = MakeIcon(8, RGB(0, 255, 0));
  EXPECT_EQ(SendMessageA(h, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
  EXPECT_EQ(SendMessageA(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small)), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big2))), big);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0)), big2);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0)), small);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL2, 0)), small);
  EXPECT_EQ(SendMessageA(h, WM_SETICON, 7, reinterpret_cast<LPARAM>(big)), 0);  // no such slot
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0)), big2);
  // Clearing the small icon: ICON_SMALL2 falls back to the big one.
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_SETICON, ICON_SMALL, 0)), small);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL2, 0)), big2);
  // A new window does not inherit icons from a destroyed one.
  DestroyWindow(h);
  HWND h2 = Top();
  EXPECT_EQ(SendMessageA(h2, WM_GETICON, ICON_BIG, 0), 0);
  DestroyIcon(big);
  DestroyIcon(small);
  DestroyIcon(big2);
}

TEST_F(SetIconTest, DesktopGetsTheBigIconWithItsTransparency) {
  HWND h = Top();
  HWND child = Child(h, 0, 0, 10, 10);
  ASSERT_NE(Shown(h), nullptr);
  EXPECT_TRUE(Shown(h)->icon.empty());  // the "Rec" class has no icon
  HICON big = MakeIcon(8, RGB(255, 0, 0)), small = MakeIcon(4, RGB(0, 0, 255));
  // Only a small icon: the desktop shows that.
  SendMessageA(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  EXPECT_EQ(Shown(h)->iconWidth, 4);
  SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  const HeadlessBackend::Window* w = Shown(h);
  ASSERT_EQ(w->iconWidth, 8);
  ASSERT_EQ(w->iconHeight, 8);
  EXPECT_EQ(IconAt(h, 6, 3), 0xFFFF0000u);  // opaque red
  EXPECT_EQ(IconAt(h, 1, 3) >> 24, 0u);     // the masked half is transparent
  // Setting the same icon again tells the desktop nothing new.
  int calls = w->iconCalls;
  SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  EXPECT_EQ(Shown(h)->iconCalls, calls);
  // A child window's icon never reaches the desktop.
  SendMessageA(child, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(small));
  EXPECT_EQ(Shown(h)->iconWidth, 8);
  // Removing the big icon falls back to the small one, then to none.
  SendMessageA(h, WM_SETICON, ICON_BIG, 0);
  EXPECT_EQ(Shown(h)->iconWidth, 4);
  SendMessageA(h, WM_SETICON, ICON_SMALL, 0);
  EXPECT_TRUE(Shown(h)->icon.empty());
  DestroyWindow(h);
  DestroyIcon(big);
  DestroyIcon(small);
}

TEST_F(SetIconTest, ClassIconIsShownAtCreation) {
  HICON icon = MakeIcon(6, RGB(0, 0, 255));
  WNDCLASSEXA wc;
  wc.lpfnWndProc = RecProc;
  wc.hIcon = icon;
  wc.lpszClassName = "RecWithIcon";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  HWND h = CreateWindowExA(0, "RecWithIcon", "i", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(Shown(h), nullptr);
  EXPECT_EQ(Shown(h)->iconWidth, 6);
  EXPECT_EQ(IconAt(h, 5, 0), 0xFF0000FFu);
  EXPECT_EQ(SendMessageA(h, WM_GETICON, ICON_BIG, 0), 0);  // the class icon is not the window's own
  DestroyWindow(h);
  UnregisterClassA("RecWithIcon", nullptr);
  DestroyIcon(icon);
}

}  // namespace
