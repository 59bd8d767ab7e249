// Drop shadows: per-pixel alpha strips on layered windows where the screen
// has the colours for it, solid button-shadow strips otherwise.
#include "bars/kxbarshadow.h"

#include <cmath>

#include "platform/win/system.h"

namespace {
constexpr int kShadowOpacityStep = 15;
}  // namespace

// ===========================================================================
// TkxBarShadowPart
// ===========================================================================

TkxBarShadowPart::TkxBarShadowPart(TkxBarShadow* Shadow, int Corners, int Kind)
    : TCustomControl(nullptr), FShadow(Shadow), FCorners(Corners), FKind(Kind) {
  FVisible = false;
  SetColor(clBtnShadow);
}

void TkxBarShadowPart::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = 0;
  if (TkxBarShadow::UsesLayeredRendering()) Params.ExStyle |= WS_EX_LAYERED;
  TCustomkxBarControl* owner = FShadow->Owner();
  if (owner && owner->HandleAllocated()) {
    if (GetWindowLongA(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) Params.ExStyle |= WS_EX_TOPMOST;
    Params.WndParent = owner->Handle();
  } else {
    Params.WndParent = nullptr;
  }
  Params.WindowClass.style = 0;
}

void TkxBarShadowPart::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TkxBarShadowPart::Paint() {
  TRect r = ClientRect();
  HBRUSH b = GetSysColorBrush(COLOR_BTNSHADOW);
  FillRect(Canvas()->Handle(), &r, b);
}

bool TkxBarShadowPart::CanShow() const {
  int s = TkxBarShadow::GetShadowDepth();
  return FCorners == 0 || (Width() >= s && Height() >= s);
}

void TkxBarShadowPart::UpdateImage() {
  int w = Width(), h = Height();
  FAlphas.assign(std::size_t(std::max(0, w)) * std::size_t(std::max(0, h)), 0);
  if (!CanShow() || w <= 0 || h <= 0) return;
  int thickness = FKind == 0 ? h : w;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int d = FKind == 0 ? y : x;
      FAlphas[std::size_t(y) * w + x] = Byte(std::max(0, kShadowOpacityStep * (thickness - d)));
    }
  int s = TkxBarShadow::GetShadowDepth();
  auto scale = [&](int x, int y, int k) {
    Byte& a = FAlphas[std::size_t(y) * w + x];
    a = Byte(std::lround(a * double(k + 1) / double(s + 1)));
  };
  // each faded end: the first s columns or rows from that end, over an s by s square
  for (int k = 0; k < s; ++k)
    for (int j = 0; j < s; ++j) {
      if ((FCorners & 1) && FKind == 0 && k < w && j < h) scale(k, j, k);
      if ((FCorners & 2) && FKind == 0 && w - 1 - k >= 0 && j < h) scale(w - 1 - k, j, k);
      if ((FCorners & 4) && FKind == 1 && k < h && j < w) scale(j, k, k);
    }
}

void TkxBarShadowPart::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateImage();
  if (FShadow->Visible()) ShowPart();
}

void TkxBarShadowPart::ShowPart() {
  if (!CanShow() || Width() <= 0 || Height() <= 0) return;
  HWND h = Handle();
  if (TkxBarShadow::UsesLayeredRendering() && kxBarUpdateLayeredWindowProc) {
    // black with the part's per-pixel alpha, premultiplied
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = Width();
    bi.bmiHeader.biHeight = -Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
      auto* px = static_cast<std::uint32_t*>(bits);
      for (std::size_t i = 0; i < FAlphas.size(); ++i) px[i] = std::uint32_t(FAlphas[i]) << 24;
      HGDIOBJ old = SelectObject(dc, bmp);
      SIZE size{Width(), Height()};
      POINT src{0, 0};
      BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      kxBarUpdateLayeredWindowProc(h, nullptr, nullptr, &size, dc, &src, 0, &bf, ULW_ALPHA);
      SelectObject(dc, old);
    }
    if (bmp) DeleteObject(bmp);
    DeleteDC(dc);
  }
  HWND below = FShadow->Owner() && FShadow->Owner()->HandleAllocated() ? FShadow->Owner()->Handle() : HWND_TOP;
  SetWindowPos(h, below, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// ===========================================================================
// TkxBarShadow
// ===========================================================================

TkxBarShadow::~TkxBarShadow() { FreeParts(); }

bool TkxBarShadow::UsesLayeredRendering() {
  return kxBarUpdateLayeredWindowProc != nullptr && kxBarScreenBitsPerPixel() > 8;
}

int TkxBarShadow::GetShadowDepth() { return UsesLayeredRendering() ? 4 : 2; }

void TkxBarShadow::FreeParts() {
  for (TkxBarShadowPart* p : FParts) p->Free();
  FParts.clear();
  FRects.clear();
}

void TkxBarShadow::AddPart(int Kind, int Corners, const TRect& R) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  auto* p = new TkxBarShadowPart(this, Corners, Kind);
  FParts.push_back(p);
  FRects.push_back(R);
  p->SetBounds(R.left, R.top, R.Width(), R.Height());
}

void TkxBarShadow::SetOwnerBounds(const TRect& O, const TRect& W) {
  FO = O;
  FW = W;
  bool noOwner = IsRectEmpty(&FO);
  FHorizontal = noOwner || FO.bottom == FW.top || FO.top == FW.bottom;
  if (!noOwner && ((FHorizontal && FO.top == FW.bottom) || (!FHorizontal && FO.left == FW.right))) std::swap(FO, FW);
  Refresh();
}

void TkxBarShadow::Refresh() {
  FreeParts();
  int s = GetShadowDepth();
  const TRect& O = FO;
  const TRect& W = FW;
  bool noOwner = IsRectEmpty(&O);
  if (FHorizontal) {
    if (!noOwner) AddPart(1, 4, TRect{O.right, O.top + s, O.right + s, O.bottom});
    AddPart(0, 3, TRect{W.left + s, W.bottom, W.right + s, W.bottom + s});
    if (!noOwner) {
      if (O.left + s < W.left) AddPart(0, 1, TRect{O.left + s, O.bottom, W.left, O.bottom + s});
      if (W.right < O.right) AddPart(0, 2, TRect{W.right, O.bottom, O.right + s, O.bottom + s});
    }
    if (noOwner || O.right < W.right) AddPart(1, 4, TRect{W.right, W.top + s, W.right + s, W.bottom});
    else AddPart(1, 0, TRect{W.right, W.top, W.right + s, W.bottom});
    return;
  }
  AddPart(1, 4, TRect{W.right, W.top + s, W.right + s, W.bottom});
  if (O.top + s < W.top) AddPart(1, 4, TRect{O.right, O.top + s, O.right + s, W.top});
  if (W.bottom < O.bottom) {
    AddPart(0, 3, TRect{O.left + s, O.bottom, O.right + s, O.bottom + s});
    AddPart(1, 0, TRect{O.right, W.bottom, O.right + s, O.bottom});
  } else {
    AddPart(0, 1, TRect{O.left + s, O.bottom, O.right, O.bottom + s});
  }
  if (O.bottom < W.bottom) AddPart(0, 3, TRect{W.left + s, W.bottom, W.right + s, W.bottom + s});
  else AddPart(0, 2, TRect{W.left, W.bottom, W.right + s, W.bottom + s});
}

void TkxBarShadow::SetVisible(bool Value) {
  FVisible = Value;
  for (TkxBarShadowPart* p : FParts) {
    if (Value) {
      p->ShowPart();
    } else if (p->HandleAllocated()) {
      ShowWindow(p->Handle(), SW_HIDE);
      p->DestroyHandle();
    }
  }
}
