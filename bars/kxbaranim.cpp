// Menu animation on the GUI thread's timers: the menu's final image is
// painted once into a memory bitmap; each timer tick grows the window by one
// step, moves the pixels already shown to their new place and copies only
// the strips that became visible.
#include "bars/kxbaranim.h"

#include <algorithm>
#include <random>

#include "bars/kxbar.h"

namespace {

constexpr int kUnfoldStep = 8, kSlideStep = 17;

// The state of the one running animation.
struct TAnimState {
  TkxBarSubMenuControl* Menu = nullptr;
  UINT_PTR Timer = 0;
  bool Stopping = false;
  HDC ImageDC = nullptr;
  HBITMAP Image = nullptr;
  HGDIOBJ PrevBitmap = nullptr;
  int FinalLeft = 0, FinalTop = 0;
  int ClientWidth = 0, ClientHeight = 0;
  int FrameWidth = 0, FrameHeight = 0;
  bool GrowLeft = false, GrowUp = false;
  TkxBarMenuAnimations Kind = maNone;
  int SizeOffset = 0, Distance = 0, Step = 1;
  int Steps = 0, Done = 0;
  // What the previous step showed: its client size and the image position
  // shown at the client's top-left corner.
  int LastWidth = 0, LastHeight = 0, LastX = 0, LastY = 0;
};

TAnimState& Anim() {
  static TAnimState s;
  return s;
}

// Where in the image the window's top-left client pixel is taken for a
// client of W x H: the image slides out from behind the fixed edge.
void AnimSource(const TAnimState& A, int W, int H, int& X, int& Y) {
  if (A.GrowUp) {
    X = 0;
    Y = 0;
  } else if (A.GrowLeft) {
    X = A.ClientWidth - W;
    Y = A.ClientHeight - H;
  } else {
    X = 0;
    Y = A.ClientHeight - H;
  }
}

void AnimCopy(HDC DC, const TAnimState& A, int L, int T, int R, int B, int SrcX, int SrcY) {
  if (R <= L || B <= T) return;
  BitBlt(DC, L, T, R - L, B - T, A.ImageDC, SrcX + L, SrcY + T, SRCCOPY);
}

void AnimDrawStep(TAnimState& A, int I) {
  TkxBarSubMenuControl* menu = A.Menu;
  if (!menu || !menu->HandleAllocated()) return;
  int w, h;
  if (A.Kind == maUnfold) {
    if (A.SizeOffset <= 0) {
      h = kUnfoldStep * I;
      w = h - A.SizeOffset;
    } else {
      w = kUnfoldStep * I;
      h = A.SizeOffset + w;
    }
  } else {
    w = A.ClientWidth;
    h = kSlideStep * I;
  }
  w = std::min(w, A.ClientWidth);
  h = std::min(h, A.ClientHeight);
  int x = A.GrowLeft ? A.FinalLeft + A.ClientWidth - w : A.FinalLeft;
  int y = A.GrowUp ? A.FinalTop + A.ClientHeight - h : A.FinalTop;
  HWND wnd = menu->Handle();
  SetWindowPos(wnd, nullptr, x, y, A.FrameWidth + w, A.FrameHeight + h,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  int sx, sy;
  AnimSource(A, w, h, sx, sy);
  HDC dc = GetDC(wnd);
  if (!dc) return;
  // the pixels already shown move to where the same part of the image lies now
  int oldL = 0, oldT = 0, oldR = 0, oldB = 0;
  if (A.LastWidth > 0 && A.LastHeight > 0) {
    oldL = A.LastX - sx;
    oldT = A.LastY - sy;
    oldR = oldL + A.LastWidth;
    oldB = oldT + A.LastHeight;
    BitBlt(dc, oldL, oldT, A.LastWidth, A.LastHeight, dc, 0, 0, SRCCOPY);
  }
  // the strips that became visible come from the image
  AnimCopy(dc, A, 0, 0, w, oldT, sx, sy);
  AnimCopy(dc, A, 0, oldB, w, h, sx, sy);
  AnimCopy(dc, A, 0, oldT, oldL, oldB, sx, sy);
  AnimCopy(dc, A, oldR, oldT, w, oldB, sx, sy);
  ReleaseDC(wnd, dc);
  A.LastWidth = w;
  A.LastHeight = h;
  A.LastX = sx;
  A.LastY = sy;
}

// The clean-up: the image goes, the menu stands at its final place and size
// (unless it is closing) and paints itself, the state is cleared.
void AnimFinish() {
  TAnimState& a = Anim();
  TkxBarSubMenuControl* menu = a.Menu;
  if (!menu) return;
  if (a.Timer) KillTimer(nullptr, a.Timer);
  a.Timer = 0;
  if (a.ImageDC) {
    SelectObject(a.ImageDC, a.PrevBitmap);
    DeleteObject(a.Image);
    DeleteDC(a.ImageDC);
  }
  a.ImageDC = nullptr;
  a.Image = nullptr;
  a.PrevBitmap = nullptr;
  a.Menu = nullptr;
  menu->SetAnimate(false);
  if (!menu->Closing() && menu->HandleAllocated()) {
    SetWindowPos(menu->Handle(), nullptr, a.FinalLeft, a.FinalTop, a.FrameWidth + a.ClientWidth,
                 a.FrameHeight + a.ClientHeight,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
    menu->Repaint();
  }
  a.Stopping = false;
}

void AnimTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  TAnimState& a = Anim();
  if (!a.Menu) return;
  if (a.Stopping || a.Done >= a.Steps) {
    AnimFinish();
    return;
  }
  ++a.Done;
  AnimDrawStep(a, a.Done);
  if (a.Done >= a.Steps) AnimFinish();
}

std::minstd_rand& AnimRandom() {
  static std::minstd_rand r(GetTickCount() | 1u);
  return r;
}

}  // namespace

TkxBarSubMenuControl* kxBarAnimatedMenu() { return Anim().Menu; }

bool kxBarAnimationRunning() { return Anim().Menu != nullptr; }

TkxBarMenuAnimations kxBarResolveAnimation(TkxBarMenuAnimations Setting, int Number) {
  if (Setting != maRandom) return Setting;
  if (Number < 33) return maUnfold;
  if (Number < 66) return maSlide;
  return maFade;
}

int kxBarAnimationDraw() { return int(AnimRandom()() % 100u); }

int kxBarAnimationStepCount(TkxBarMenuAnimations Kind, int ClientWidth, int ClientHeight) {
  if (Kind == maSlide) return std::max(ClientHeight, 0) / kSlideStep;
  if (Kind != maUnfold) return 0;
  int offset = ClientHeight - ClientWidth;
  return std::max(offset <= 0 ? ClientHeight : ClientWidth, 0) / kUnfoldStep;
}

void kxBarStopAnimation() {
  if (!Anim().Menu) return;
  Anim().Stopping = true;
  AnimFinish();
}

void TkxBarSubMenuControl::StartAnimation(bool FlipX, bool FlipY) {
  TAnimState& a = Anim();
  // one animation at a time: a menu opens only after the previous one ended,
  // but a left-over one is brought to its end first
  if (a.Menu) kxBarStopAnimation();
  if (!HandleAllocated() || (FAnimationKind != maUnfold && FAnimationKind != maSlide)) {
    FAnimate = false;
    return;
  }
  TRect wr = GetWindowRect();
  TRect cr = ClientRect();
  a.FinalLeft = wr.left;
  a.FinalTop = wr.top;
  a.ClientWidth = cr.right - cr.left;
  a.ClientHeight = cr.bottom - cr.top;
  a.FrameWidth = (wr.right - wr.left) - a.ClientWidth;
  a.FrameHeight = (wr.bottom - wr.top) - a.ClientHeight;
  // the menu grows away from the side it ended up on
  a.GrowLeft = (FDirectionRight && FlipX) || (!FDirectionRight && !FlipX);
  a.GrowUp = (FDirectionDown && FlipY) || (!FDirectionDown && !FlipY);
  a.Kind = FAnimationKind;
  if (a.Kind == maUnfold) {
    a.SizeOffset = a.ClientHeight - a.ClientWidth;
    a.Step = kUnfoldStep;
    if (a.SizeOffset <= 0) {
      a.LastWidth = -a.SizeOffset;
      a.Distance = a.ClientHeight;
    } else {
      a.LastWidth = 0;
      a.Distance = a.ClientWidth;
    }
    a.LastHeight = a.SizeOffset <= 0 ? 0 : a.SizeOffset;
  } else {
    a.SizeOffset = 0;
    a.Step = kSlideStep;
    a.LastWidth = a.ClientWidth;
    a.LastHeight = 0;
    a.Distance = a.ClientHeight;
  }
  a.LastX = a.LastY = 0;
  a.Steps = a.Distance / a.Step;
  a.Done = 0;
  a.Stopping = false;
  // the final image, painted once
  HDC screen = GetDC(Handle());
  a.ImageDC = CreateCompatibleDC(screen);
  a.Image = CreateCompatibleBitmap(screen, std::max(a.ClientWidth, 1), std::max(a.ClientHeight, 1));
  ReleaseDC(Handle(), screen);
  a.PrevBitmap = SelectObject(a.ImageDC, a.Image);
  a.Menu = this;
  FAnimate = false;
  try {
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(a.ImageDC), 0);
  } catch (...) {
    FAnimate = true;
    AnimFinish();
    throw;
  }
  FAnimate = true;
  FreeRecentBrush();
  CreateRecentBrush();
  a.Timer = SetTimer(nullptr, 0, 1, &AnimTimerProc);
  if (!a.Timer) AnimFinish();
}

void TkxBarSubMenuControl::WaitAnimation() {
  if (Anim().Menu != this) return;
  Anim().Stopping = true;
  AnimFinish();
  kxBarDispatchPaintMessages();
}
