#include "treechart/dropdownhelpers.h"

#include "platform/win/messages.h"
#include "platform/win/system.h"

#include <algorithm>

int kxPopupNCBarHeight() {
  return std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetSystemMetrics(SM_CYSIZE)) + 1;
}

Byte kxGetSizeGripCorner(const RECT& OwnerRect, const RECT& PopupRect) {
  static const Byte Corners[] = {0, 2, 1, 3};
  const int Index = 2 * (OwnerRect.left < PopupRect.right ? 1 : 0) + (OwnerRect.bottom < PopupRect.bottom ? 1 : 0);
  return Corners[Index];
}

int kxCornerToHitTest(Byte Corner) {
  static const int Codes[] = {HTTOPLEFT, HTTOPRIGHT, HTBOTTOMLEFT, HTBOTTOMRIGHT};
  return Codes[(Corner & 0x7F) & 3];  // only corners 0..3 reach here; never index past the table
}

void kxDrawPopupCloseButton(HDC DC, RECT& R, bool Hot, Byte Corner, int StateIndex) {
  static const UINT Edges[] = {BDR_RAISEDINNER, BDR_SUNKENOUTER};
  static const UINT States[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONCLOSE | DFCS_PUSHED};
  StateIndex = StateIndex == 1 ? 1 : 0;
  const int W = GetSystemMetrics(SM_CXSIZE), H = W + 1;
  if (Corner == 1 || Corner == 3) R.right = R.left + W;
  else R.left = R.right - W;
  R.top = (R.top + R.bottom - H) / 2;
  if (Corner == 2 || Corner == 3) ++R.top;
  R.bottom = R.top + H;
  R.left += 1; R.right -= 1; R.top += 2; R.bottom -= 2;
  HBRUSH Face = GetSysColorBrush(COLOR_BTNFACE);
  if (Hot) DrawEdge(DC, &R, Edges[StateIndex], BF_RECT);
  else FrameRect(DC, &R, Face);
  R.left += 1; R.top += 1; R.right -= 1; R.bottom -= 1;
  FrameRect(DC, &R, Face);
  HRGN Saved = CreateRectRgn(0, 0, 0, 0);
  const bool HadClip = GetClipRgn(DC, Saved) == 1;
  IntersectClipRect(DC, R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
  R.left -= 1; R.top -= 1; R.right += 1; R.bottom += 1;
  const int SavedTop = R.top;
  if (GetSystemMetrics(SM_CXSIZE) != 22) ++R.top;
  DrawFrameControl(DC, &R, DFC_CAPTION, States[StateIndex] | DFCS_FLAT);
  R.top = SavedTop;
  SelectClipRgn(DC, HadClip ? Saved : nullptr);
  DeleteObject(Saved);
}

void kxPaintSizeGrip(HDC DC, RECT& R, Byte Corner) {
  const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
  if (Corner == 1 || Corner == 3) R.left = R.right - CX;
  else R.right = R.left + CX;
  if (Corner == 2 || Corner == 3) R.top = R.bottom - CY;
  else R.bottom = R.top + CY;
  const bool MirrorX = Corner == 0 || Corner == 2, MirrorY = Corner == 0 || Corner == 1;
  RECT G = R;
  HBRUSH Face = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
  RECT Strip = R;
  if (MirrorX) { Strip.right = R.left + 2; G.left += 2; }
  else { Strip.left = R.right - 2; G.right -= 2; }
  FillRect(DC, &Strip, Face);
  Strip = R;
  if (MirrorY) { Strip.bottom = R.top + 2; G.top += 2; }
  else { Strip.top = R.bottom - 2; G.bottom -= 2; }
  FillRect(DC, &Strip, Face);
  const int W = G.right - G.left, H = G.bottom - G.top;
  if (W <= 0 || H <= 0) return;
  HDC Mem = CreateCompatibleDC(DC);
  HBITMAP Bmp = CreateCompatibleBitmap(DC, W, H);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  RECT B{0, 0, W, H};
  DrawFrameControl(Mem, &B, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  StretchBlt(DC, G.left, G.top, W, H, Mem, MirrorX ? W - 1 : 0, MirrorY ? H - 1 : 0, MirrorX ? -W : W,
             MirrorY ? -H : H, SRCCOPY);
  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
}

int kxDrawTextStr(HDC DC, const AnsiString& Text, int Count, RECT& R, UINT Format) {
  return DrawTextA(DC, Text.c_str(), Count, &R, Format);
}

BOOL kxExtTextOutStr(HDC DC, int X, int Y, UINT Options, const RECT* R, const AnsiString& Text) {
  return ExtTextOutA(DC, X, Y, Options, R, Text.c_str(), UINT(Text.size()), nullptr);
}

BOOL kxGetTextExtentStr(HDC DC, const AnsiString& Text, int Count, SIZE& Size) {
  if (Count < 0) Count = int(Text.size());
  Count = std::min<int>(Count, int(Text.size()));  // never read past the string
  return GetTextExtentPoint32A(DC, Text.c_str(), Count, &Size);
}
