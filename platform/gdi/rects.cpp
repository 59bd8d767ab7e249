#include "platform/gdi/rects.h"

#include <algorithm>

void (*PvSysColorsChangedHook)() = nullptr;

namespace {
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
}  // namespace

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom) {
  if (!rc) return FALSE;
  rc->left = left;
  rc->top = top;
  rc->right = right;
  rc->bottom = bottom;
  return TRUE;
}

BOOL SetRectEmpty(RECT* rc) { return SetRect(rc, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL OffsetRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  return SetRect(rc, rc->left + dx, rc->top + dy, rc->right + dx, rc->bottom + dy);
}

BOOL InflateRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  return SetRect(rc, rc->left - dx, rc->top - dy, rc->right + dx, rc->bottom + dy);
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst) return FALSE;
  if (!a || !b || Empty(*a) || Empty(*b)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (Empty(r)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst) return FALSE;
  bool ea = !a || Empty(*a), eb = !b || Empty(*b);
  if (ea && eb) {
    SetRectEmpty(dst);
    return FALSE;
  }
  if (ea) {
    *dst = *b;
  } else if (eb) {
    *dst = *a;
  } else {
    RECT r{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
           std::max(a->bottom, b->bottom)};
    *dst = r;
  }
  return TRUE;
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst) return FALSE;
  if (!a || Empty(*a)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  RECT r = *a, cut;
  if (b && IntersectRect(&cut, a, b)) {
    if (cut.left == r.left && cut.right == r.right && cut.top == r.top && cut.bottom == r.bottom) {
      SetRectEmpty(dst);
      return FALSE;
    }
    if (cut.top == r.top && cut.bottom == r.bottom) {
      if (cut.left == r.left)
        r.left = cut.right;
      else if (cut.right == r.right)
        r.right = cut.left;
    } else if (cut.left == r.left && cut.right == r.right) {
      if (cut.top == r.top)
        r.top = cut.bottom;
      else if (cut.bottom == r.bottom)
        r.bottom = cut.top;
    }
  }
  *dst = r;
  return TRUE;
}

BOOL PtInRect(const RECT* rc, POINT pt) {
  if (!rc) return FALSE;
  return pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}

BOOL IsRectEmpty(const RECT* rc) { return !rc || Empty(*rc); }

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
