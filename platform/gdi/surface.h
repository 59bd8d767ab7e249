// The window manager's view of the drawing layer: a DC over an image it owns,
// and image composition between such images.
//
// A Surface is a 32-bit BGRA image (one uint32_t per pixel, 0xAARRGGBB in
// memory order B, G, R, A) that the window manager keeps, for example the
// backing image of a top-level window. A DC made over it draws into the pixels
// directly. Its logical (0,0) sits at `origin` in surface pixels (the client
// area's corner), and drawing is limited to `visible` (a region in surface
// coordinates, e.g. the window's visible region; null means the whole surface)
// intersected with whatever clip the DC's user selects.
//
// The DC reads the Surface's fields at every drawing call, so the window
// manager may move `origin`, replace `visible` or even the pixel buffer
// between calls. The Surface must outlive its DCs. The DC never deletes
// `visible`; the window manager keeps ownership of that region.
#pragma once
#include <cstdint>
#include "platform/gdi/gdi.h"

struct Surface {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;       // bytes from one row to the next (may be negative for bottom-up)
  POINT origin;         // device origin of DCs made over this surface
  HRGN visible = nullptr;  // surface coordinates; null: the whole surface
};

// A DC over the surface. Delete it with DeleteDC (or ReleaseSurfaceDC). Its
// GetDCOrgEx gives `origin`; GetClipBox and friends see the visible region.
HDC CreateSurfaceDC(Surface* surface);
inline BOOL ReleaseSurfaceDC(HDC hdc) { return DeleteDC(hdc); }
// The surface a DC draws into (nullptr for memory DCs).
Surface* GetDCSurface(HDC hdc);
// Whether a drawing call (or GetDCPixels) reached the DC's pixels since it was
// made; measuring and queries do not count.
bool SurfaceDCDrawn(HDC hdc);

// Copies a rectangle of pixels between surfaces (or within one; overlapping
// rectangles are handled), clipped to both surfaces; ignores origins and
// visible regions. For composing window images onto a screen image.
void SurfaceCopy(Surface* dst, int x, int y, const Surface* src, const RECT& srcRect);
// As SurfaceCopy, limited to the region `clip` (destination coordinates).
void SurfaceCopyClipped(Surface* dst, int x, int y, const Surface* src, const RECT& srcRect,
                        HRGN clip);
// Fills a rectangle of the surface with a colour (COLORREF, system colours resolved).
void SurfaceFill(Surface* dst, const RECT& rc, COLORREF color);

// The screen: CreateDCA("DISPLAY", ...) and the screen DC draw into this
// surface (the backend or window manager sets it). Without one, a 1x1 image
// serves for measuring.
void SetScreenSurface(Surface* screen);
Surface* GetScreenSurface();

// A view of a bitmap's pixels as a Surface (top-down, 32-bit; monochrome
// bitmaps hold 0x000000 / 0xFFFFFF pixels). Valid while the bitmap lives.
bool GetBitmapSurface(HBITMAP bmp, Surface* out);

// Describes the pixels a DC draws into (its bitmap or surface) in `out`;
// `out->origin` is the DC's device origin and `out->visible` is null.
bool GetDCPixels(HDC hdc, Surface* out);
