// Rectangle arithmetic in the platform's usual form. A rectangle is empty
// when its right edge is not right of its left edge or its bottom is not
// below its top; its right and bottom edges lie outside it. Every function
// fails (returns FALSE) on a null pointer instead of touching it, and the
// destination may be one of the sources.
#pragma once
#include "platform/rtl/wintypes.h"

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rc);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL OffsetRect(RECT* rc, int dx, int dy);
// Negative amounts shrink the rectangle.
BOOL InflateRect(RECT* rc, int dx, int dy);
// The common part; when there is none (or either source is empty) the
// destination becomes (0,0,0,0) and the result is FALSE.
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
// The smallest rectangle holding both; an empty source is ignored. When both
// are empty the destination becomes (0,0,0,0) and the result is FALSE.
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
// a minus b, only where the rest is still a rectangle (b covers a whole
// side of a); otherwise the destination is a unchanged. FALSE when nothing
// is left.
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rc, POINT pt);
// A null pointer counts as empty.
BOOL IsRectEmpty(const RECT* rc);
BOOL EqualRect(const RECT* a, const RECT* b);

// Called by SetSysColors after it has changed the table. The window manager
// sets it at start-up to broadcast WM_SYSCOLORCHANGE; null means nobody is
// told.
extern void (*PvSysColorsChangedHook)();
