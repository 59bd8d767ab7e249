// Painting: update regions, erasing, clipping of children, scrolling, the
// desktop overlay and screenshots.
#include <cstdio>
#include <fstream>
#include <iterator>
#include "platform/gdi/pictures.h"
#include "platform/win/tests/wintest.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;

// The colour (0xRRGGBB) a window's finished image shows at a client point.
std::uint32_t ClientPixel(HWND h, int x, int y) {
  RECT wr;
  GetWindowRect(h, &wr);
  POINT p{x, y};
  ClientToScreen(h, &p);
  PvWindowImage img = PvCaptureWindow(h);
  int ix = p.x - wr.left, iy = p.y - wr.top;
  if (ix < 0 || iy < 0 || ix >= img.width || iy >= img.height) return 0xDEADBEEF;
  return img.pixels[std::size_t(iy) * img.width + ix] & 0xFFFFFF;
}

void Fill(HDC dc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// Windows whose WM_PAINT fills the client area with their colour (by window).
std::map<HWND, COLORREF>& Colors() {
  static std::map<HWND, COLORREF> m;
  return m;
}

bool PaintColors(HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
  if (m != WM_PAINT || !Colors().count(h)) return false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT cr;
  GetClientRect(h, &cr);
  Fill(dc, cr, Colors()[h]);
  EndPaint(h, &ps);
  *r = 0;
  return true;
}

std::vector<RECT> RegionRects(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<char> buf(size);
  GetRegionData(rgn, size, buf.data());
  auto* hdr = reinterpret_cast<RGNDATAHEADER*>(buf.data());
  std::vector<RECT> r(hdr->nCount);
  std::memcpy(r.data(), buf.data() + hdr->dwSize, hdr->nCount * sizeof(RECT));
  return r;
}

}  // namespace

class PaintTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Colors().clear();
  }
};

TEST_F(PaintTest, UpdateRegionsGrowShrinkAndProduceOnePaint) {
  HWND h = Top(0, 0, 300, 200, WS_POPUP | WS_VISIBLE);
  Pump();
  RECT r;
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));
  RECT a{10, 10, 30, 30}, b{50, 10, 70, 30};
  InvalidateRect(h, &a, FALSE);
  InvalidateRect(h, &b, TRUE);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(h, rgn, FALSE), COMPLEXREGION);
  HRGN want = CreateRectRgn(10, 10, 30, 30);
  HRGN other = CreateRectRgn(50, 10, 70, 30);
  CombineRgn(want, want, other, RGN_OR);
  EXPECT_TRUE(EqualRgn(rgn, want));
  RECT v{50, 10, 70, 30};
  ValidateRect(h, &v);
  GetUpdateRect(h, &r, FALSE);
  EXPECT_EQ(r, a);
  // the area outside the client area is never part of it
  RECT big{-50, -50, 1000, 20};
  InvalidateRect(h, &big, FALSE);
  GetUpdateRect(h, &r, FALSE);
  EXPECT_EQ(r, (RECT{0, 0, 300, 30}));
  static RECT paintRect;
  static BOOL erase;
  R().handler = [](HWND w, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    paintRect = ps.rcPaint;
    erase = ps.fErase;
    EndPaint(w, &ps);
    return true;
  };
  Clear();
  Pump();
  EXPECT_EQ(R().Count(h, WM_PAINT), 1);
  EXPECT_EQ(R().Count(h, WM_ERASEBKGND), 1);
  EXPECT_EQ(paintRect, (RECT{0, 0, 300, 30}));
  EXPECT_FALSE(erase);  // the class brush erased it
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  Clear();
  Pump();
  EXPECT_EQ(R().Count(h, WM_PAINT), 0);
  DeleteObject(rgn);
  DeleteObject(want);
  DeleteObject(other);
}

TEST_F(PaintTest, EraseFillsOnlyTheInvalidAreaWithTheClassBrush) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  HDC dc = GetDC(h);
  Fill(dc, {0, 0, 100, 100}, RGB(255, 0, 0));
  ReleaseDC(h, dc);
  RECT a{10, 10, 20, 20};
  InvalidateRect(h, &a, TRUE);
  RECT b{40, 40, 50, 50};
  InvalidateRect(h, &b, FALSE);  // no erase asked: the union is still erased, once
  Pump();
  EXPECT_EQ(ClientPixel(h, 15, 15), kWhite);
  EXPECT_EQ(ClientPixel(h, 45, 45), kWhite);
  EXPECT_EQ(ClientPixel(h, 5, 5), kRed);
  EXPECT_EQ(ClientPixel(h, 30, 30), kRed);
}

TEST_F(PaintTest, ClippingChildrenKeepsTheParentOffThem) {
  for (bool clip : {false, true}) {
    SCOPED_TRACE(clip);
    PvResetWindowManager();
    HWND p = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE | (clip ? WS_CLIPCHILDREN : 0));
    HWND c = Child(p, 50, 50, 40, 40);
    Colors()[p] = RGB(255, 0, 0);
    Colors()[c] = RGB(0, 0, 255);
    R().handler = PaintColors;
    Pump();
    EXPECT_EQ(ClientPixel(p, 10, 10), kRed);
    EXPECT_EQ(ClientPixel(p, 60, 60), kBlue);
    Clear();
    InvalidateRect(p, nullptr, TRUE);
    Pump();
    // without the style the child is invalidated with its parent and repaints over it
    EXPECT_EQ(R().Count(c, WM_PAINT), clip ? 0 : 1);
    EXPECT_EQ(ClientPixel(p, 60, 60), kBlue);
    // the parent's DC never reaches into a clipped child
    HDC dc = GetDC(p);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(RectVisible(dc, &(const RECT&)RECT{60, 60, 61, 61}) != FALSE, !clip);
    ReleaseDC(p, dc);
    R().handler = nullptr;
  }
}

TEST_F(PaintTest, SiblingsClipByStyleAndParentsPaintBeforeChildren) {
  HWND p = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  // A new child goes below its older siblings, so the first one created is on top.
  HWND above = Child(p, 40, 40, 60, 60, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND below = Child(p, 10, 10, 60, 60, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  ASSERT_EQ(GetTopWindow(p), above);
  ASSERT_EQ(GetWindow(above, GW_HWNDNEXT), below);
  Colors()[p] = RGB(255, 0, 0);
  Colors()[below] = RGB(0, 255, 0);
  Colors()[above] = RGB(0, 0, 255);
  R().handler = PaintColors;
  Clear();
  Pump();
  std::vector<HWND> order;
  for (const Rec& r : R().log)
    if (r.msg == WM_PAINT) order.push_back(r.hwnd);
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front(), p);
  EXPECT_EQ(ClientPixel(p, 50, 50), kBlue);  // overlap: the upper sibling wins
  EXPECT_EQ(ClientPixel(p, 20, 20), kGreen);
  // repainting the lower sibling alone does not draw over the upper one
  InvalidateRect(below, nullptr, TRUE);
  Pump();
  EXPECT_EQ(ClientPixel(p, 50, 50), kBlue);
  // raising it shows it over the other
  SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  EXPECT_EQ(ClientPixel(p, 50, 50), kGreen);
  EXPECT_EQ(ClientPixel(p, 90, 90), kBlue);
  // moving a child uncovers its parent
  MoveWindow(below, 120, 120, 60, 60, TRUE);
  Pump();
  EXPECT_EQ(ClientPixel(p, 20, 20), kRed);
  EXPECT_EQ(ClientPixel(p, 50, 50), kBlue);
  EXPECT_EQ(ClientPixel(p, 130, 130), kGreen);
}

TEST_F(PaintTest, ScrollWindowExMovesPixelsAndReportsTheUncoveredPart) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND c = Child(h, 10, 60, 10, 10);
  Pump();
  HDC dc = GetDC(h);
  Fill(dc, {0, 0, 100, 50}, RGB(255, 0, 0));
  Fill(dc, {0, 50, 100, 100}, RGB(0, 0, 255));
  ReleaseDC(h, dc);
  RECT pending{0, 80, 10, 90};
  ValidateRect(h, nullptr);
  InvalidateRect(h, &pending, FALSE);
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  RECT updRect;
  int type = ScrollWindowEx(h, 0, -20, nullptr, nullptr, upd, &updRect, SW_INVALIDATE | SW_SCROLLCHILDREN);
  EXPECT_EQ(type, SIMPLEREGION);
  EXPECT_EQ(updRect, (RECT{0, 80, 100, 100}));
  // the child moved with the content
  RECT cr;
  GetWindowRect(c, &cr);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  EXPECT_EQ(cr.top - o.y, 40);
  // the pending update moved too, and the uncovered strip joined it
  HRGN now = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(h, now, FALSE);
  HRGN want = CreateRectRgn(0, 60, 10, 70);
  HRGN strip = CreateRectRgn(0, 80, 100, 100);
  CombineRgn(want, want, strip, RGN_OR);
  EXPECT_TRUE(EqualRgn(now, want)) << RegionRects(now).size();
  ValidateRect(h, nullptr);
  // pixels: the boundary between red and blue moved up by 20
  EXPECT_EQ(ClientPixel(h, 50, 29), kRed);
  EXPECT_EQ(ClientPixel(h, 50, 30), kBlue);
  EXPECT_EQ(ClientPixel(h, 50, 70), kBlue);
  // nothing to scroll: an empty region
  EXPECT_EQ(ScrollWindowEx(h, 0, 0, nullptr, nullptr, upd, nullptr, 0), NULLREGION);
  for (HRGN r : {upd, now, want, strip}) DeleteObject(r);
}

TEST_F(PaintTest, ScrollingWithinARectangleLeavesTheRestAlone) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  HDC dc = GetDC(h);
  Fill(dc, {0, 0, 100, 100}, RGB(0, 255, 0));
  Fill(dc, {20, 20, 30, 30}, RGB(255, 0, 0));
  ReleaseDC(h, dc);
  RECT area{0, 0, 50, 50};
  RECT upd;
  ScrollWindowEx(h, 10, 0, &area, &area, nullptr, &upd, 0);
  EXPECT_EQ(upd, (RECT{0, 0, 10, 50}));
  EXPECT_EQ(ClientPixel(h, 35, 25), kRed);
  EXPECT_EQ(ClientPixel(h, 25, 25), kGreen);  // the moved square's old left part
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));  // no SW_INVALIDATE
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceAndRedrawOffSuppressesPainting) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  InvalidateRect(h, nullptr, TRUE);
  Clear();
  UpdateWindow(h);
  EXPECT_EQ(R().Count(h, WM_PAINT), 1);
  SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(h, nullptr, TRUE);
  Clear();
  Pump();
  EXPECT_EQ(R().Count(h, WM_PAINT), 0);
  SendMessageA(h, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(R().Count(h, WM_PAINT), 1);
}

TEST_F(PaintTest, NonClientAreaIsPaintedInClassicColours) {
  HWND h = Top(0, 0, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Pump();
  PvWindowImage img = PvCaptureWindow(h);
  auto px = [&](int x, int y) { return img.pixels[std::size_t(y) * img.width + x] & 0xFFFFFF; };
  auto rgb = [](COLORREF c) { return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); };
  EXPECT_EQ(px(100, 10), rgb(GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(px(100, 60), rgb(GetSysColor(COLOR_WINDOW)));
  HWND other = Top(300, 0, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  (void)other;
  Pump();
  img = PvCaptureWindow(h);
  EXPECT_EQ(px(100, 10), rgb(GetSysColor(COLOR_INACTIVECAPTION)));
  // hit testing follows the same layout
  RECT wr;
  GetWindowRect(h, &wr);
  struct {
    int x, y, hit;
  } cases[] = {{100, 10, HTCAPTION}, {100, 60, HTCLIENT}, {1, 50, HTLEFT}, {198, 98, HTBOTTOMRIGHT},
               {wr.Width() - 12, 10, HTCLOSE}, {2, 2, HTTOPLEFT}, {12, 12, HTSYSMENU}};
  for (auto c : cases)
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + c.x, wr.top + c.y)), c.hit) << c.x << "," << c.y;
}

TEST_F(PaintTest, DesktopDrawingIsAnOverlayThatXorUndoes) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  std::uint32_t before = hb->ScreenPixel(50, 50) & 0xFFFFFF;
  EXPECT_EQ(before, kWhite);
  HDC dc = GetDC(nullptr);
  PatBlt(dc, 40, 40, 20, 20, DSTINVERT);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(hb->ScreenPixel(50, 50) & 0xFFFFFF, 0u);
  EXPECT_EQ(ClientPixel(h, 50, 50), kWhite);  // the window itself is untouched
  dc = GetDC(nullptr);
  PatBlt(dc, 40, 40, 20, 20, DSTINVERT);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(hb->ScreenPixel(50, 50) & 0xFFFFFF, kWhite);
}

TEST_F(PaintTest, TheScreenDcUsedOnlyForMeasuringShowsNothing) {
  Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  const int before = hb->OverlayPresents();
  for (int i = 0; i < 3; ++i) {
    HDC dc = GetDC(nullptr);
    SIZE sz;
    GetTextExtentPoint32A(dc, "Abc", 3, &sz);
    ReleaseDC(nullptr, dc);
  }
  EXPECT_EQ(hb->OverlayPresents(), before);
  HDC dc = GetDC(nullptr);
  PatBlt(dc, 10, 10, 5, 5, DSTINVERT);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(hb->OverlayPresents(), before + 1);
  EXPECT_EQ(hb->ScreenPixel(12, 12) & 0xFFFFFF, 0u);
  dc = GetDC(nullptr);
  PatBlt(dc, 10, 10, 5, 5, DSTINVERT);  // undone: the overlay is empty again and goes once more
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(hb->OverlayPresents(), before + 2);
  EXPECT_EQ(hb->ScreenPixel(12, 12) & 0xFFFFFF, kWhite);
}

TEST_F(PaintTest, ScreenshotOfASmallWindowTreeIsAPng) {
  HWND p = Top(10, 10, 120, 80, WS_POPUP | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN);
  HWND a = Child(p, 10, 10, 30, 30);
  HWND b = Child(p, 60, 10, 30, 30, WS_CHILD | WS_VISIBLE | WS_BORDER);
  Colors()[a] = RGB(255, 0, 0);
  Colors()[b] = RGB(0, 0, 255);
  R().handler = PaintColors;
  Pump();
  std::string path = ::testing::TempDir() + "pv_win_tree.png";
  RECT area{0, 0, 160, 120};
  hb->SaveScreenshot(path, &area);
  std::ifstream f(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  TRawImage img = DecodePng(bytes.data(), bytes.size());
  ASSERT_EQ(img.Width, 160);
  ASSERT_EQ(img.Height, 120);
  auto at = [&](int x, int y) { return img.At(x, y) & 0xFFFFFF; };
  // p's client starts at (11,11) inside its border
  EXPECT_EQ(at(11 + 10 + 5, 11 + 10 + 5), kRed);
  EXPECT_EQ(at(11 + 60 + 5, 11 + 10 + 5), kBlue);
  EXPECT_EQ(at(11 + 60, 11 + 10), 0u);  // b's black border
  EXPECT_EQ(at(11 + 50, 11 + 50), kWhite);
  EXPECT_EQ(at(10, 10), 0u);  // p's border
  COLORREF desk = GetSysColor(COLOR_BACKGROUND);
  EXPECT_EQ(at(5, 5), std::uint32_t(GetRValue(desk)) << 16 | GetGValue(desk) << 8 | GetBValue(desk));
  std::remove(path.c_str());
  // one window's own image, whatever covers it on the screen
  HWND cover = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  (void)cover;
  PvSaveWindowPng(b, path);
  std::ifstream g(path, std::ios::binary);
  std::vector<std::uint8_t> wb((std::istreambuf_iterator<char>(g)), std::istreambuf_iterator<char>());
  TRawImage wi = DecodePng(wb.data(), wb.size());
  EXPECT_EQ(wi.Width, 30);
  EXPECT_EQ(wi.At(0, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(wi.At(15, 15) & 0xFFFFFF, kBlue);
  std::remove(path.c_str());
}

TEST_F(PaintTest, WindowRegionsShapeHitTestingAndDrawing) {
  HWND below = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND shaped = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  SetWindowRgn(shaped, CreateRectRgn(50, 0, 100, 100), TRUE);
  EXPECT_EQ(WindowFromPoint({10, 10}), below);
  EXPECT_EQ(WindowFromPoint({60, 10}), shaped);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(shaped, r), SIMPLEREGION);
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{50, 0, 100, 100}));
  DeleteObject(r);
  HDC dc = GetDC(shaped);
  EXPECT_FALSE(PtVisible(dc, 10, 10));
  EXPECT_TRUE(PtVisible(dc, 60, 10));
  ReleaseDC(shaped, dc);
}

TEST_F(PaintTest, LockedWindowsDrawNothingUntilUnlocked) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Pump();
  ASSERT_TRUE(LockWindowUpdate(h));
  EXPECT_FALSE(LockWindowUpdate(h));  // one at a time
  HDC dc = GetDC(h);
  Fill(dc, {0, 0, 100, 100}, RGB(255, 0, 0));
  ReleaseDC(h, dc);
  EXPECT_EQ(ClientPixel(h, 5, 5), kWhite);
  dc = GetDCEx(h, nullptr, DCX_LOCKWINDOWUPDATE);
  Fill(dc, {0, 0, 10, 10}, RGB(0, 0, 255));
  ReleaseDC(h, dc);
  EXPECT_EQ(ClientPixel(h, 5, 5), kBlue);
  LockWindowUpdate(nullptr);
  EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE));  // unlocking repaints it
}
