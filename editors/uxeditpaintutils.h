// Drawing routines shared by the editors, their buttons and grid cells: the
// program's one cache of solid brushes, small shape painters (arrows, edges,
// pixel-exact polylines, glyphs, image-list images), flag conversions between
// the text engine and the canvas, and a few colours.
#pragma once

#include "framework/uxgraphics.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxpainters.h"  // uxGetEditPainterClass
#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"
#include "platform/gdi/gdi.h"

#include <memory>
#include <vector>

class TuxSystemPaletteChangedNotifier;

// Solid brushes by colour, sorted by colour with a use count each. When the
// cache is full the least used colour leaves it; its brush is kept (not
// destroyed) until the cache itself is freed, because a caller may still be
// painting with it. Callers never delete a brush they got from here.
class TuxSolidBrushCache {
 public:
  explicit TuxSolidBrushCache(int MaxDepth);
  virtual ~TuxSolidBrushCache();
  TuxSolidBrushCache(const TuxSolidBrushCache&) = delete;
  TuxSolidBrushCache& operator=(const TuxSolidBrushCache&) = delete;

  HBRUSH GetBrush(TColor Color);
  int Depth() const { return int(FColors.size()); }
  int MaxDepth() const { return FMaxDepth; }
  // Colours in the cache, ascending as unsigned numbers (for checks).
  const std::vector<unsigned>& Colors() const { return FColors; }

 protected:
  // The system palette changed: the cache starts empty again.
  virtual void SystemPaletteChanged();

 private:
  void Retire(HBRUSH Brush);
  std::vector<unsigned> FColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<int> FUseCounts;
  std::vector<HBRUSH> FRetired;  // left the cache; destroyed with it
  int FMaxDepth;
  std::unique_ptr<TuxSystemPaletteChangedNotifier> FNotifier;
  HBRUSH FSystemBrushes[31] = {};
};

// Start-up and shut-down of the shared cache (the ordered lists of the
// program); the cache also comes into being on first use.
void uxInitEditPaintUtils();
void uxDoneEditPaintUtils();
TuxSolidBrushCache* uxSolidBrushCache();
// Whether the shared cache exists now (without making it).
bool uxSolidBrushCacheExists();

HBRUSH uxGetSolidBrush(TColor Color);
HBRUSH uxGetCanvasSolidBrush(TuxCanvas* Canvas, TColor Color);
HBRUSH uxGetCanvasSolidBrush(TCanvas* Canvas, TColor Color);
void uxFillRectWithColor(TuxCanvas* Canvas, const TRect& R, TColor Color);
void uxFillDCRect(HDC DC, const TRect& R, HBRUSH Brush);
// R less InnerR, as four strips; nothing when R is empty or equals InnerR.
void uxFillDCRectExcept(TuxCanvas* Canvas, const TRect& R, const TRect& InnerR, HBRUSH Brush);

// Arrow directions.
constexpr int uxadUp = 0, uxadDown = 1, uxadLeft = 2, uxadRight = 3;
// ExtraCount + 1 filled triangles of Size, one after the other, centred in R.
void uxDrawArrows(TuxCanvas* Canvas, int Size, const TRect& R, int Direction, int ExtraCount, bool Pressed,
                  TColor Color);
void uxCalcArrowSize(const TSize& Size, int Direction, TSize& Result);
// Edges bits: 1 left, 2 top, 4 right, 8 bottom. R shrinks on each drawn side.
void uxDrawBorderEdges(TuxCanvas* Canvas, TRect& R, int Edges, TColor Color);
// Points holds Count + 1 points; the last point is drawn too.
void uxDrawPolyLine(TuxCanvas* Canvas, const TPoint* Points, int Count, TColor Color, bool PixelExact);
void uxCenterSizeInRect(const TRect& R, const TSize& Size, bool Pressed, int& X, int& Y);
void uxDrawGlyph(TuxCanvas* Canvas, int X, int Y, TBitmap* Glyph, bool Enabled, TColor BkColor,
                 TBitmap* WorkBitmap = nullptr);
void uxDrawGlyph(TCanvas* Canvas, int X, int Y, TBitmap* Glyph, bool Enabled, TColor BkColor,
                 TBitmap* WorkBitmap = nullptr);
void uxDrawImageListImage(TuxCanvas* Canvas, TCustomImageList* ImageList, int Index, const TRect& R,
                          TColor BkColor, bool Enabled, TBitmap* WorkBitmap = nullptr);
bool uxIsBitmapUsable(TBitmap* Bitmap);
bool uxIsImageListUsable(TCustomImageList* ImageList);

// Text-engine flags to TuxCanvas text flags and back, bit by bit.
unsigned uxTextOutFlagsToCanvasFlags(int Flags);
int uxDrawTextFlagsToTextOutFlags(unsigned Flags);

TColor uxGetHotTrackTextColor();
TColor uxGetEditBorderHighlightColor(bool IsOffice11);
TColor uxGetUltraFlatButtonColor(bool Pressed, bool IsOffice11);
