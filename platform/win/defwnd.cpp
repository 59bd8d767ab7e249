// The default window procedure and the classic non-client geometry.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>
#include "platform/win/system.h"
#include "platform/win/wndinternal.h"

namespace pvwin {

void DefNcPaint(HWND h, HRGN rgn);             // paint.cpp
LRESULT DefEraseBackground(HWND h, HDC dc);    // paint.cpp
void DefPaint(HWND h);                         // paint.cpp
void DefPrint(HWND h, HDC dc, UINT flags);     // paint.cpp
void DefNcActivateRedraw(HWND h);              // paint.cpp
void MoveSizeLoop(HWND h, UINT cmd, POINT start);  // below
void TrackMenuBar(HWND h, UINT cmd, LPARAM lp);    // menu.cpp

constexpr int kCaption = 19, kSmallCaption = 15, kMenuBar = 19, kScroll = 16;

RECT NcBorders(DWORD style, DWORD exStyle, bool hasMenu, bool topLevel) {
  int b = 0;
  if (style & WS_THICKFRAME) b = 4;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) b = 3;
  else if (style & WS_BORDER) b = 1;
  if (exStyle & WS_EX_CLIENTEDGE) b += 2;
  if (exStyle & WS_EX_STATICEDGE) b += 1;
  RECT r{b, b, b, b};
  if ((style & WS_CAPTION) == WS_CAPTION) r.top += (exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
  if (hasMenu && topLevel && !(style & WS_CHILD)) r.top += kMenuBar;
  return r;
}

static int FrameWidth(DWORD style, DWORD exStyle) {
  if (style & WS_THICKFRAME) return 4;
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return 3;
  if (style & WS_BORDER) return 1;
  return 0;
}

void DefaultNcCalcSize(Wnd* w, RECT* r) {
  if (w->style & WS_MINIMIZE) {  // a minimised window has no client area
    r->right = r->left;
    r->bottom = r->top;
    return;
  }
  RECT b = NcBorders(w->style, w->exStyle, w->menu != nullptr, IsTopLevel(w));
  r->left += b.left;
  r->top += b.top;
  r->right -= b.right;
  r->bottom -= b.bottom;
  if ((w->style & WS_VSCROLL) && r->right - r->left >= kScroll) r->right -= kScroll;
  if ((w->style & WS_HSCROLL) && r->bottom - r->top >= kScroll) r->bottom -= kScroll;
  if (r->right < r->left) r->right = r->left;
  if (r->bottom < r->top) r->bottom = r->top;
}

// Caption layout in window coordinates.
CaptionLayout GetCaptionLayout(Wnd* w) {
  CaptionLayout c;
  if ((w->style & WS_CAPTION) != WS_CAPTION) return c;
  int f = FrameWidth(w->style, w->exStyle);
  int edge = ((w->exStyle & WS_EX_CLIENTEDGE) ? 2 : 0) + ((w->exStyle & WS_EX_STATICEDGE) ? 1 : 0);
  (void)edge;
  bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
  int height = tool ? kSmallCaption : kCaption;
  c.present = true;
  c.bar = {f, f, w->rect.Width() - f, f + height - 1};
  int bw = (tool ? 12 : 18) - 2, bh = height - 5;
  int right = c.bar.right - 2;
  int top = c.bar.top + 2;
  if (w->style & WS_SYSMENU) {
    c.close = {right - bw, top, right, top + bh};
    right = c.close.left - 2;
    if (!tool && (w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && !(w->exStyle & WS_EX_TOOLWINDOW)) {
      c.max = {right - bw, top, right, top + bh};
      c.min = {c.max.left - bw, top, c.max.left, top + bh};
    }
    if (!tool && !(w->exStyle & WS_EX_DLGMODALFRAME)) c.icon = {c.bar.left + 2, c.bar.top + 1, c.bar.left + 18, c.bar.top + 17};
  }
  return c;
}

static bool In(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

int DefaultHitTest(Wnd* w, POINT screen) {
  RECT wr = ScreenRect(w);
  if (!In(wr, screen)) return HTNOWHERE;
  RECT cr = ScreenClient(w);
  if (In(cr, screen)) return HTCLIENT;
  POINT p{screen.x - wr.left, screen.y - wr.top};
  int width = wr.Width(), height = wr.Height();
  if (w->style & WS_MINIMIZE) return HTCAPTION;
  int f = FrameWidth(w->style, w->exStyle);
  if ((w->style & WS_THICKFRAME) && !(w->style & WS_MAXIMIZE)) {
    const int corner = 16 + f;
    bool left = p.x < f, right = p.x >= width - f, top = p.y < f, bottom = p.y >= height - f;
    if (left || right || top || bottom) {
      bool nearLeft = p.x < corner, nearRight = p.x >= width - corner;
      bool nearTop = p.y < corner, nearBottom = p.y >= height - corner;
      if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
      if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
      if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
      if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
      if (left) return HTLEFT;
      if (right) return HTRIGHT;
      if (top) return HTTOP;
      return HTBOTTOM;
    }
  } else if (f > 0 && (p.x < f || p.y < f || p.x >= width - f || p.y >= height - f)) {
    return HTBORDER;
  }
  CaptionLayout c = GetCaptionLayout(w);
  if (c.present && In(c.bar, p)) {
    if (In(c.close, p)) return HTCLOSE;
    if (In(c.max, p)) return HTMAXBUTTON;
    if (In(c.min, p)) return HTMINBUTTON;
    if (In(c.icon, p)) return HTSYSMENU;
    return HTCAPTION;
  }
  if (w->menu && IsTopLevel(w) && !(w->style & WS_CHILD)) {
    int top = f + (c.present ? c.bar.bottom - c.bar.top + 1 : 0);
    if (p.y >= top && p.y < top + kMenuBar) return HTMENU;
  }
  int sb = ScrollHitTest(w, screen);
  if (sb != HTNOWHERE) return sb;
  return HTBORDER;
}

static void ClampToMinMax(Wnd* w, WINDOWPOS* wp) {
  if (wp->flags & SWP_NOSIZE) return;
  if (!((w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD)))) return;
  if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) return;
  State& s = S();
  RECT work = s.backend ? s.backend->WorkArea() : RECT{0, 0, 1920, 1080};
  MINMAXINFO mmi;
  mmi.ptMaxSize = {work.Width(), work.Height()};
  mmi.ptMaxPosition = {work.left, work.top};
  mmi.ptMinTrackSize = {(w->style & WS_CHILD) ? 0 : 112, (w->style & WS_CHILD) ? 0 : 27};
  mmi.ptMaxTrackSize = {work.Width() + 8, work.Height() + 8};
  HWND h = w->h;
  Send(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (!W(h)) return;
  wp->cx = std::clamp<int>(wp->cx, std::min(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x), mmi.ptMaxTrackSize.x);
  wp->cy = std::clamp<int>(wp->cy, std::min(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y), mmi.ptMaxTrackSize.y);
}

static HCURSOR CursorForHit(int hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: return LoadCursorA(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM: return LoadCursorA(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LoadCursorA(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LoadCursorA(nullptr, IDC_SIZENESW);
    default: return LoadCursorA(nullptr, IDC_ARROW);
  }
}

// The modal loop of SC_MOVE and SC_SIZE: follows the mouse until the button is released.
void MoveSizeLoop(HWND h, UINT cmd, POINT start) {
  Wnd* w = W(h);
  if (!w || (w->style & WS_MAXIMIZE)) return;
  State& s = S();
  int hit = int(cmd & 0x0F);  // SC_SIZE + WMSZ_* edge; 0 with SC_SIZE from the keyboard
  bool moving = (cmd & 0xFFF0) == SC_MOVE;
  RECT orig = w->rect;
  Send(h, WM_ENTERSIZEMOVE);
  SetCapture(h);
  MSG msg;
  bool done = false;
  struct Cleanup {  // an exception from a message handler still ends the loop
    HWND h;
    ~Cleanup() {
      if (S().capture == h) ReleaseCapture();
    }
  } cleanup{h};
  while (!done && W(h)) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (s.capture != h) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      POINT p = msg.pt;
      int dx = p.x - start.x, dy = p.y - start.y;
      RECT r = orig;
      if (moving) {
        r = {orig.left + dx, orig.top + dy, orig.right + dx, orig.bottom + dy};
        Send(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
      } else {
        // WMSZ_LEFT 1, RIGHT 2, TOP 3, TOPLEFT 4, TOPRIGHT 5, BOTTOM 6, BOTTOMLEFT 7, BOTTOMRIGHT 8
        if (hit == 1 || hit == 4 || hit == 7) r.left += dx;
        if (hit == 2 || hit == 5 || hit == 8) r.right += dx;
        if (hit == 3 || hit == 4 || hit == 5) r.top += dy;
        if (hit == 6 || hit == 7 || hit == 8) r.bottom += dy;
        Send(h, WM_SIZING, WPARAM(hit), reinterpret_cast<LPARAM>(&r));
      }
      if (!W(h)) break;
      SetWindowPosImpl(h, nullptr, r.left, r.top, r.Width(), r.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | (moving ? SWP_NOSIZE : 0));
      if (msg.message == WM_LBUTTONUP) done = true;
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      SetWindowPosImpl(h, nullptr, orig.left, orig.top, orig.Width(), orig.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (s.capture == h) ReleaseCapture();
  if (W(h)) Send(h, WM_EXITSIZEMOVE);
}

static int HitToSizeEdge(int hit) {
  switch (hit) {
    case HTLEFT: return 1;
    case HTRIGHT: return 2;
    case HTTOP: return 3;
    case HTTOPLEFT: return 4;
    case HTTOPRIGHT: return 5;
    case HTBOTTOM: return 6;
    case HTBOTTOMLEFT: return 7;
    case HTBOTTOMRIGHT: return 8;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// window icons (WM_SETICON / WM_GETICON) and the picture the desktop shows

namespace {

struct WindowIcons {
  HICON big = nullptr, small = nullptr;
};
std::unordered_map<HWND, WindowIcons>& Icons() {
  static auto* m = new std::unordered_map<HWND, WindowIcons>();
  return *m;
}

// The icon drawn over black and over white: equal pixels are opaque, black/white
// pairs are holes, anything between is partly transparent.
bool IconToPixels(HICON icon, std::vector<std::uint32_t>& out, int* width, int* height) {
  ICONINFO ii;
  if (!icon || !GetIconInfo(icon, &ii)) return false;
  BITMAP bm;
  int w = 0, h = 0;
  if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
    w = bm.bmWidth;
    h = bm.bmHeight;
  } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) {
    w = bm.bmWidth;
    h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;  // a monochrome icon stacks AND over XOR
  }
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (w <= 0 || h <= 0 || w > 1024 || h > 1024) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biBitCount = 32;
  void* bits[2] = {nullptr, nullptr};
  HBITMAP dib[2];
  HDC mem = CreateCompatibleDC(nullptr);
  for (int k = 0; k < 2; ++k) {
    dib[k] = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits[k], nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib[k]);
    RECT r{0, 0, w, h};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(k ? WHITE_BRUSH : BLACK_BRUSH)));
    DrawIconEx(mem, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    SelectObject(mem, old);
  }
  DeleteDC(mem);
  out.assign(std::size_t(w) * h, 0);
  auto* onBlack = static_cast<const std::uint32_t*>(bits[0]);
  auto* onWhite = static_cast<const std::uint32_t*>(bits[1]);
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::uint32_t b = onBlack[i], wh = onWhite[i];
    int spread = 0;
    for (int sh = 0; sh < 24; sh += 8) spread = std::max(spread, int((wh >> sh) & 0xFF) - int((b >> sh) & 0xFF));
    unsigned a = unsigned(255 - std::clamp(spread, 0, 255));
    std::uint32_t px = a << 24;
    if (a)
      for (int sh = 0; sh < 24; sh += 8) px |= std::min(255u, (((b >> sh) & 0xFF) * 255 + a / 2) / a) << sh;
    out[i] = px;
  }
  DeleteObject(dib[0]);
  DeleteObject(dib[1]);
  *width = w;
  *height = h;
  return true;
}
}  // namespace

// Gives the desktop the top-level window's picture: its big icon, else its small
// one, else its class's; none leaves the desktop's own.
void BackendIcon(Wnd* w) {
  if (!w || !S().backend || !IsTopLevel(w)) return;
  HICON icon = nullptr;
  auto it = Icons().find(w->h);
  if (it != Icons().end()) icon = it->second.big ? it->second.big : it->second.small;
  if (!icon && w->cls) icon = w->cls->icon ? w->cls->icon : w->cls->iconSm;
  std::vector<std::uint32_t> store;
  BackendImage img;
  int iw = 0, ih = 0;
  if (IconToPixels(icon, store, &iw, &ih)) {
    img.pixels = store.data();
    img.width = img.stride = iw;
    img.height = ih;
  }
  S().backend->WindowIcon(reinterpret_cast<BackendWindowId>(w->h), img);
}

void ForgetWindowIcons(HWND h) { Icons().erase(h); }

}  // namespace pvwin

using namespace pvwin;

LRESULT DefWindowProcA(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Wnd* w = W(h);
  if (!w) return 0;
  State& s = S();
  switch (msg) {
    case WM_NCCREATE: {
      if (w->style & (WS_HSCROLL | WS_VSCROLL)) {
        w->hs = ScrollBarState();
        w->vs = ScrollBarState();
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      if (r) DefaultNcCalcSize(w, r);
      return 0;
    }
    case WM_NCHITTEST: return DefaultHitTest(w, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCPAINT:
      DefNcPaint(h, reinterpret_cast<HRGN>(wp));
      return 0;
    case WM_NCACTIVATE:
      w->ncActive = wp != FALSE;
      DefNcActivateRedraw(h);
      return TRUE;
    case WM_ERASEBKGND:
      return DefEraseBackground(h, reinterpret_cast<HDC>(wp));
    case WM_PAINT:
      DefPaint(h);
      return 0;
    case WM_PRINT:
      DefPrint(h, reinterpret_cast<HDC>(wp), UINT(lp));
      return 0;
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(lp);
      w->text = t ? t : "";
      if (IsTopLevel(w)) {
        BackendTitle(w);
        if ((w->style & WS_CAPTION) == WS_CAPTION) DefNcActivateRedraw(h);
      }
      return TRUE;
    }
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lp);
      int max = int(wp);
      if (!buf || max <= 0) return 0;
      std::size_t n = std::min(w->text.size(), std::size_t(max - 1));
      // never cut a double-byte character in half
      std::size_t i = 0;
      while (i < n) {
        std::size_t len = IsLeadByte(BYTE(w->text[i])) && i + 1 < w->text.size() ? 2 : 1;
        if (i + len > n) break;
        i += len;
      }
      std::memcpy(buf, w->text.data(), i);
      buf[i] = 0;
      return LRESULT(i);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE:
      DestroyWindow(h);
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_SYSCOMMAND: {
      UINT cmd = UINT(wp) & 0xFFF0;
      if (HooksInstalled(WH_CBT) && CallHooks(WH_CBT, HCBT_SYSCOMMAND, wp, lp)) return 0;
      switch (cmd) {
        case SC_CLOSE: Send(h, WM_CLOSE); return 0;
        case SC_MINIMIZE: ShowWindow(h, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(h, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(h, SW_RESTORE); return 0;
        case SC_MOVE:
        case SC_SIZE: MoveSizeLoop(h, UINT(wp), {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
        case SC_KEYMENU:
        case SC_MOUSEMENU: TrackMenuBar(h, UINT(wp), lp); return 0;
      }
      return 0;
    }
    case WM_NCLBUTTONDOWN: {
      int hit = int(wp);
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (hit == HTCAPTION) {
        Send(h, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lp);
      } else if (hit == HTMENU) {
        Send(h, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, lp);
      } else if (int edge = HitToSizeEdge(hit)) {
        Send(h, WM_SYSCOMMAND, SC_SIZE + edge, lp);
      } else if (hit == HTVSCROLL || hit == HTHSCROLL) {
        ScrollTrackClick(w, hit, pt);
      } else if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
        UINT cmd = hit == HTCLOSE ? SC_CLOSE : hit == HTMINBUTTON ? SC_MINIMIZE
                   : (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
        if (hit == HTCLOSE && w->cls && (w->cls->style & CS_NOCLOSE)) return 0;
        Send(h, WM_SYSCOMMAND, cmd, lp);
      }
      return 0;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wp == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        Send(h, WM_SYSCOMMAND, (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lp);
      else if (wp == HTSYSMENU && (w->style & WS_SYSMENU))
        Send(h, WM_SYSCOMMAND, SC_CLOSE, lp);
      else if (wp == HTVSCROLL || wp == HTHSCROLL)
        ScrollTrackClick(w, int(wp), {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_NCRBUTTONUP:
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (msg == WM_RBUTTONUP) ClientToScreen(h, &p);
      Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_HELP:
    case WM_MOUSEWHEEL:
      if ((w->style & WS_CHILD) && w->parent) return Send(w->parent->h, msg, wp, lp);
      return 0;
    case WM_MOUSEACTIVATE: {
      if ((w->style & WS_CHILD) && w->parent) {
        LRESULT r = Send(w->parent->h, WM_MOUSEACTIVATE, wp, lp);
        if (r) return r;
      }
      Wnd* top = TopLevelOf(W(h));
      if (top && (top->exStyle & WS_EX_NOACTIVATE)) return MA_NOACTIVATE;
      return MA_ACTIVATE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
        Wnd* last = W(w->lastFocus);
        if (last && last != w && IsDescendant(w, last) && IsReallyVisible(last) && !(last->style & WS_DISABLED))
          SetFocus(last->h);
        else
          SetFocus(h);
      }
      return 0;
    case WM_SETCURSOR: {
      if ((w->style & WS_CHILD) && w->parent) {
        if (Send(w->parent->h, WM_SETCURSOR, wp, lp)) return TRUE;
        if (!(w = W(h))) return FALSE;
      }
      int hit = SHORT(LOWORD(lp));
      UINT mouseMsg = HIWORD(lp);
      if (hit == HTERROR) {
        if (mouseMsg == WM_LBUTTONDOWN || mouseMsg == WM_RBUTTONDOWN || mouseMsg == WM_MBUTTONDOWN) MessageBeep(0);
        return FALSE;
      }
      if (hit == HTCLIENT) {
        if (w->cls && w->cls->cursor) {
          SetCursor(w->cls->cursor);
          return TRUE;
        }
        return FALSE;
      }
      SetCursor(CursorForHit(hit));
      return TRUE;
    }
    case WM_WINDOWPOSCHANGING:
      ClampToMinMax(w, reinterpret_cast<WINDOWPOS*>(lp));
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOCLIENTMOVE)) {
        Send(h, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
        if (!(w = W(h))) return 0;
      }
      if (!(pos->flags & SWP_NOCLIENTSIZE) || (pos->flags & SWP_STATECHANGED)) {
        UINT type = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
        w->needSizeMove = false;
        Send(h, WM_SIZE, type, MAKELPARAM(w->client.Width(), w->client.Height()));
      }
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (wp == VK_F4 && (lp & (LPARAM(1) << 29))) {
        Wnd* top = TopLevelOf(w);
        if (top) Send(top->h, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSKEYUP:
    case WM_KEYUP:
      // Alt or F10 pressed and released alone asks for the menu
      if ((wp == VK_MENU || wp == VK_F10) && s.lastKeyDown == wp) {
        s.lastKeyDown = 0;
        if (Wnd* top = TopLevelOf(w)) Send(top->h, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR:
      if (Wnd* top = TopLevelOf(w)) Send(top->h, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
      return 0;
    case WM_CANCELMODE:
      if (s.capture == h) ReleaseCapture();
      return 0;
    case WM_SETREDRAW:
      w->redrawOff = !wp;
      return 0;
    case WM_IME_COMPOSITION:
      if (lp & GCS_RESULTSTR) {
        std::string text = ImeResultString();
        for (std::size_t i = 0; i < text.size();) {
          WPARAM ch;
          if (IsLeadByte(BYTE(text[i])) && i + 1 < text.size()) {
            ch = WPARAM((BYTE(text[i]) << 8) | BYTE(text[i + 1]));
            i += 2;
          } else {
            ch = BYTE(text[i]);
            i += 1;
          }
          Send(h, WM_IME_CHAR, ch, 1);
          if (!W(h)) break;
        }
      }
      return 0;
    case WM_IME_CHAR:
      if (wp > 0xFF) {
        PostMessageA(h, WM_CHAR, (wp >> 8) & 0xFF, lp);
        PostMessageA(h, WM_CHAR, wp & 0xFF, lp);
      } else {
        PostMessageA(h, WM_CHAR, wp, lp);
      }
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, GetSysColor(window ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(msg == WM_CTLCOLORSCROLLBAR ? COLOR_SCROLLBAR
                                                        : window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return -1;
    case WM_DROPFILES: return 0;
    case WM_SHOWWINDOW:
      // pop-ups follow their owner's minimising and restoring
      if (lp == SW_PARENTCLOSING && (w->style & WS_VISIBLE) && IsTopLevel(w)) {
        w->hiddenByOwner = true;
        SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else if (lp == SW_PARENTOPENING && w->hiddenByOwner) {
        w->hiddenByOwner = false;
        SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_SETICON: {
      // returns the icon it replaces; the window does not own its icons
      if (wp != ICON_BIG && wp != ICON_SMALL) return 0;
      WindowIcons& icons = Icons()[h];
      HICON& slot = wp == ICON_BIG ? icons.big : icons.small;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lp);
      if (old != slot) BackendIcon(w);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON: {
      auto it = Icons().find(h);
      if (it == Icons().end()) return 0;
      if (wp == ICON_BIG) return reinterpret_cast<LRESULT>(it->second.big);
      if (wp == ICON_SMALL) return reinterpret_cast<LRESULT>(it->second.small);
      if (wp == ICON_SMALL2) return reinterpret_cast<LRESULT>(it->second.small ? it->second.small : it->second.big);
      return 0;
    }
    case WM_NOTIFYFORMAT: return 1;  // NFR_ANSI
    default: return 0;
  }
}

BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle) {
  if (!r) return FALSE;
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION;  // overlapped windows always have one
  RECT b = NcBorders(style, exStyle, menu != FALSE, !(style & WS_CHILD));
  r->left -= b.left;
  r->top -= b.top;
  r->right += b.right;
  r->bottom += b.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(RECT* r, DWORD style, BOOL menu) { return AdjustWindowRectEx(r, style, menu, 0); }
