// Small rectangle and integer helpers shared by the tab control and its painters.
#pragma once

#include <algorithm>
#include <utility>

#include "platform/rtl/wintypes.h"

inline TRect pcRect(int L, int T, int R, int B) {
  TRect X;
  X.left = L;
  X.top = T;
  X.right = R;
  X.bottom = B;
  return X;
}
inline TPoint pcPoint(int X, int Y) {
  TPoint P;
  P.x = X;
  P.y = Y;
  return P;
}
inline bool pcIsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
// The common part of two rectangles; an empty rectangle at 0, 0 when none.
inline TRect pcIntersect(const TRect& A, const TRect& B) {
  TRect R = pcRect(std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right),
                   std::min(A.bottom, B.bottom));
  return pcIsEmpty(R) ? TRect{} : R;
}
inline TRect pcUnion(const TRect& A, const TRect& B) {
  if (pcIsEmpty(A)) return B;
  if (pcIsEmpty(B)) return A;
  return pcRect(std::min(A.left, B.left), std::min(A.top, B.top), std::max(A.right, B.right),
                std::max(A.bottom, B.bottom));
}
inline bool pcContains(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }
inline TRect pcInflate(const TRect& R, int DX, int DY) { return pcRect(R.left - DX, R.top - DY, R.right + DX, R.bottom + DY); }
inline TRect pcOffset(const TRect& R, int DX, int DY) { return pcRect(R.left + DX, R.top + DY, R.right + DX, R.bottom + DY); }
// R with each side moved outwards by the values of D (left, top, right, bottom).
inline TRect pcExtend(const TRect& R, int L, int T, int Rt, int B) {
  return pcRect(R.left - L, R.top - T, R.right + Rt, R.bottom + B);
}
