// Image lists: equally sized images kept side by side in one bitmap with an
// optional mask, drawn with the platform's styles, and the drag image.
#pragma once
#include "platform/gdi/gdi.h"

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR = 0x0000, ILC_COLORDDB = 0x00FE,
               ILC_COLOR4 = 0x0004, ILC_COLOR8 = 0x0008, ILC_COLOR16 = 0x0010,
               ILC_COLOR24 = 0x0018, ILC_COLOR32 = 0x0020, ILC_PALETTE = 0x0800;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_MASK = 0x0010,
               ILD_IMAGE = 0x0020, ILD_ROP = 0x0040, ILD_BLEND25 = 0x0002,
               ILD_BLEND50 = 0x0004, ILD_OVERLAYMASK = 0x0F00, ILD_FOCUS = ILD_BLEND25,
               ILD_SELECTED = ILD_BLEND50, ILD_BLEND = ILD_BLEND50;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000, CLR_HILIGHT = CLR_DEFAULT;
constexpr UINT ILCF_MOVE = 0, ILCF_SWAP = 1;
constexpr UINT INDEXTOOVERLAYMASK(UINT i) { return i << 8; }

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;  // owned by the list
  HBITMAP hbmMask = nullptr;   // owned by the list
  int Unused1 = 0, Unused2 = 0;
  RECT rcImage;
};

// flags: ILC_MASK plus a colour depth; images are stored at 32 bits whatever
// the depth asked. `grow` is how many slots are added when the list is full.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST himl);
HIMAGELIST ImageList_Duplicate(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_SetImageCount(HIMAGELIST himl, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
BOOL ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy);  // removes all images
BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* info);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

// A bitmap as wide as n images adds n images; returns the first index or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask);
// The mask is made from the pixels of colour `maskColor`, which become black in the image.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask);
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON icon);  // i == -1 adds
inline int ImageList_AddIcon(HIMAGELIST himl, HICON icon) { return ImageList_ReplaceIcon(himl, -1, icon); }
BOOL ImageList_Remove(HIMAGELIST himl, int i);  // -1 removes all
inline BOOL ImageList_RemoveAll(HIMAGELIST himl) { return ImageList_Remove(himl, -1); }
BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags);
BOOL ImageList_SetOverlayImage(HIMAGELIST himl, int image, int overlay);  // overlay 1..15

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdc, int x, int y, UINT style);
// bk: CLR_NONE (transparent), CLR_DEFAULT (the list's background colour) or a colour;
// fg: the blend colour for ILD_BLEND25/50 (CLR_DEFAULT: the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdc, int x, int y, int dx, int dy,
                      COLORREF bk, COLORREF fg, UINT style);
// The image drawn embossed in grey, as for a disabled control.
BOOL ImageList_DrawDisabled(HIMAGELIST himl, int i, HDC hdc, int x, int y);
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
// A new bitmap (the caller owns it) holding image i.
HBITMAP ImageList_GetBitmap(HIMAGELIST himl, int i);

// Drag images. The window manager shows the image: it installs a hook that is
// called whenever the drag image appears, moves or disappears, and draws
// ImageList_GetDragImageList's image 0 at the reported position minus the hotspot.
BOOL ImageList_BeginDrag(HIMAGELIST himl, int i, int dxHotspot, int dyHotspot);
void ImageList_EndDrag();
BOOL ImageList_DragEnter(HANDLE hwndLock, int x, int y);  // x, y relative to the window
BOOL ImageList_DragLeave(HANDLE hwndLock);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragShowNolock(BOOL show);
BOOL ImageList_SetDragCursorImage(HIMAGELIST himl, int i, int dxHotspot, int dyHotspot);
// The drag list (one image), position relative to the locked window and hotspot.
HIMAGELIST ImageList_GetDragImage(POINT* pt, POINT* hotspot);

struct DragImageState {
  HANDLE hwndLock = nullptr;
  bool visible = false;
  POINT pos;      // relative to hwndLock
  POINT hotspot;  // subtract from pos for the image's top-left
  HIMAGELIST image = nullptr;
};
using DragImageHook = void (*)(const DragImageState& state);
void SetDragImageHook(DragImageHook hook);
