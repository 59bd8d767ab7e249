// Drawing helpers of sizeable drop-down windows: the strip that carries the
// size grip and the close button, the corner of the grip, and text wrappers.
// Stateless; every call reads the current system metrics.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

// Corners: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
int kxPopupNCBarHeight();
Byte kxGetSizeGripCorner(const RECT& OwnerRect, const RECT& PopupRect);
int kxCornerToHitTest(Byte Corner);
void kxDrawPopupCloseButton(HDC DC, RECT& R, bool Hot, Byte Corner, int StateIndex);
void kxPaintSizeGrip(HDC DC, RECT& R, Byte Corner);
int kxDrawTextStr(HDC DC, const AnsiString& Text, int Count, RECT& R, UINT Format);
BOOL kxExtTextOutStr(HDC DC, int X, int Y, UINT Options, const RECT* R, const AnsiString& Text);
BOOL kxGetTextExtentStr(HDC DC, const AnsiString& Text, int Count, SIZE& Size);
