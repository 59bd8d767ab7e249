// The caret: one per GUI thread, drawn by inverting its rectangle in the owner
// window, blinking on a window-manager timer.
#include "platform/win/wndinternal.h"

namespace pvwin {
void SetSystemTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc, bool cosmetic);
void KillSystemTimer(HWND h, UINT_PTR id);

namespace {
struct Caret {
  HWND hwnd = nullptr;
  int width = 0, height = 0;
  POINT pos;
  int hideCount = 1;     // created hidden
  bool drawn = false;    // currently inverted on screen
  bool paintHidden = false;
  UINT blink = 530;
};
Caret& C() {
  static Caret c;
  return c;
}
constexpr UINT_PTR kBlinkTimer = 0xCA7E;

void Invert() {
  Caret& c = C();
  if (!W(c.hwnd)) return;
  HDC dc = GetDC(c.hwnd);
  if (!dc) return;
  PatBlt(dc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
  ReleaseDC(c.hwnd, dc);
}

void Erase() {
  Caret& c = C();
  if (c.drawn) {
    Invert();
    c.drawn = false;
  }
}

void BlinkProc(HWND, UINT, UINT_PTR, DWORD) {
  Caret& c = C();
  if (!W(c.hwnd) || c.hideCount > 0 || c.paintHidden) return;
  Invert();
  c.drawn = !c.drawn;
}

void Restart() {
  Caret& c = C();
  Erase();
  if (W(c.hwnd) && c.hideCount == 0 && !c.paintHidden) {
    Invert();
    c.drawn = true;
    SetSystemTimer(c.hwnd, kBlinkTimer, c.blink, BlinkProc, true);
  }
}
}  // namespace

void HideCaretForPaint(HWND h) {
  Caret& c = C();
  if (c.hwnd != h || c.paintHidden) return;
  Erase();
  c.paintHidden = true;
}

void ShowCaretAfterPaint(HWND h) {
  Caret& c = C();
  if (c.hwnd != h || !c.paintHidden) return;
  c.paintHidden = false;
  Restart();
}

void CaretWindowDestroyed(HWND h) {
  if (C().hwnd == h) DestroyCaret();
}

void ResetCaret() { C() = Caret(); }
}  // namespace pvwin

using namespace pvwin;

BOOL CreateCaret(HWND h, HBITMAP bitmap, int width, int height) {
  if (!W(h)) return FALSE;
  DestroyCaret();
  Caret& c = C();
  c.hwnd = h;
  c.width = width > 0 ? width : 1;
  c.height = height > 0 ? height : 16;
  if (bitmap) {
    BITMAP bm;
    if (GetObjectA(bitmap, sizeof bm, &bm)) {
      c.width = bm.bmWidth;
      c.height = bm.bmHeight;
    }
  }
  c.pos = {0, 0};
  c.hideCount = 1;
  c.drawn = false;
  c.paintHidden = false;
  return TRUE;
}

BOOL DestroyCaret() {
  Caret& c = C();
  if (!c.hwnd) return FALSE;
  Erase();
  KillSystemTimer(c.hwnd, kBlinkTimer);
  UINT blink = c.blink;
  c = Caret();
  c.blink = blink;
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  Caret& c = C();
  if (!c.hwnd) return FALSE;
  if (c.pos.x == x && c.pos.y == y) return TRUE;
  Erase();
  c.pos = {x, y};
  Restart();
  return TRUE;
}

BOOL GetCaretPos(POINT* p) {
  Caret& c = C();
  if (!p || !c.hwnd) return FALSE;
  *p = c.pos;
  return TRUE;
}

BOOL ShowCaret(HWND h) {
  Caret& c = C();
  if (!c.hwnd || (h && h != c.hwnd)) return FALSE;
  if (c.hideCount == 0) return TRUE;
  if (--c.hideCount == 0) Restart();
  return TRUE;
}

BOOL HideCaret(HWND h) {
  Caret& c = C();
  if (!c.hwnd || (h && h != c.hwnd)) return FALSE;
  if (c.hideCount++ == 0) {
    Erase();
    KillSystemTimer(c.hwnd, kBlinkTimer);
  }
  return TRUE;
}

UINT GetCaretBlinkTime() { return C().blink; }
BOOL SetCaretBlinkTime(UINT ms) {
  C().blink = ms ? ms : 530;
  return TRUE;
}

bool PvCaretIsDrawn() { return C().drawn; }
