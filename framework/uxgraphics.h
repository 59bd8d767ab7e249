// Canvas, region and geometry helpers of the owner-drawn controls.
//
// TuxCanvas wraps one platform canvas (never owned) and adds the operations
// the painters need: framed and tiled fills, 3-D edges, text drawing with its
// own alignment flags and an embossed disabled look, clip-region handling.
#pragma once

#include "platform/controls/controls.h"
#include "platform/controls/graphics.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <vector>

// Sides of a rectangle; TuxBorders is a bit set (bit 0 left ... bit 3 bottom).
enum TuxBorder { bLeft, bTop, bRight, bBottom };
using TuxBorders = unsigned;
constexpr TuxBorders uxBorder(TuxBorder B) { return 1u << unsigned(B); }
constexpr TuxBorders uxbLeft = 1, uxbTop = 2, uxbRight = 4, uxbBottom = 8;
constexpr TuxBorders uxAllBorders = 15;

enum TuxGridLines { glBoth, glNone, glVertical, glHorizontal };
enum TuxAlignmentVert { vaTop, vaBottom, vaCenter };

enum TuxRegionCombineOperation { rcoCopy, rcoUnion, rcoDifference, rcoIntersect };

// Rotation of a bitmap: none, quarter turn counter-clockwise, clockwise, half turn.
enum TuxTextRotation { uxtrNone, uxtrCounterClockwise, uxtrClockwise, uxtrHalfTurn };

// Text flags of TuxCanvas::DrawText and CalcTextRect.
constexpr unsigned ctfLeft = 0x0001, ctfRight = 0x0002, ctfHCenter = 0x0004, ctfTop = 0x0008,
                   ctfBottom = 0x0010, ctfVCenter = 0x0020, ctfSingleLine = 0x0040,
                   ctfNoClip = 0x0080, ctfExpandTabs = 0x0100, ctfShowPrefix = 0x0200,
                   ctfWordBreak = 0x0400, ctfEndEllipsis = 0x0800, ctfCalcOnly = 0x1000,
                   ctfPathEllipsis = 0x2000, ctfNoCharBreak = 0x4000;

struct TuxPaintParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clWindow;
  TFont* Font = nullptr;  // not owned
  TColor TextColor = clWindowText;
};

using TRGBColors = std::vector<std::uint32_t>;

// A platform region, owned.
class TuxRegion {
 public:
  TuxRegion();  // empty region 0,0,0,0
  explicit TuxRegion(const TRect& R);
  static TuxRegion* CreateFromHandle(HRGN Handle);
  ~TuxRegion();
  TuxRegion(const TuxRegion&) = delete;
  TuxRegion& operator=(const TuxRegion&) = delete;

  HRGN Handle() const { return FHandle; }
  void Combine(TuxRegion* Region, TuxRegionCombineOperation Operation, bool DestroyRegion = true);
  bool IsEmpty() const;
  bool IsEqual(TuxRegion* Region) const;
  void Offset(int DX, int DY);
  bool PtInRegion(int X, int Y) const;
  bool PtInRegion(const TPoint& P) const { return PtInRegion(P.x, P.y); }

 private:
  struct FromHandleTag {};
  TuxRegion(HRGN Handle, FromHandleTag) : FHandle(Handle) {}
  HRGN FHandle = nullptr;
};

class TuxCanvas {
 public:
  explicit TuxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}
  virtual ~TuxCanvas() = default;

  TCanvas* Canvas() const { return FCanvas; }
  TBrush* Brush() const { return FCanvas->Brush(); }
  TFont* Font() const { return FCanvas->Font(); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  TPen* Pen() const { return FCanvas->Pen(); }
  // The device context with the canvas's pen, brush and font selected, so
  // that platform calls made on it draw with them.
  HDC Handle() const;

  // pass-through
  void SetPixel(int X, int Y, TColor Color) { FCanvas->SetPixel(X, Y, Color); }
  TColor Pixel(int X, int Y) { return FCanvas->Pixels(X, Y); }
  void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect) {
    FCanvas->CopyRect(Dest, Source, SourceRect);
  }
  void Draw(int X, int Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }
  void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  void TextExtent(const AnsiString& Text, TSize& Size);
  int TextWidth(const AnsiString& Text);
  int TextHeight(const AnsiString& Text);
  int FontHeight(TFont* AFont);
  void BeginPath();
  void EndPath();
  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  bool RectVisible(const TRect& R);
  TPoint GetDCOrigin();
  void SetBrushColor(TColor Value);
  void GetParams(TuxPaintParams& Params);
  void SetParams(const TuxPaintParams& Params);

  void FillRect(const TRect& R, TBitmap* Bitmap = nullptr, bool ExcludeRect = false);
  void FillRect(const TRect& R, TColor Color) { SetBrushColor(Color); FillRect(R); }
  void FrameRect(const TRect& R, TColor Color = clDefault, int LineWidth = 1,
                 TuxBorders Borders = uxAllBorders, bool ExcludeFrame = false);
  void FrameAndFillRect(const TRect& R, const TuxPaintParams& Params, TuxBorders Borders,
                        TColor FrameColor, int LineWidth = 1, bool ExcludeRect = false);
  void DrawComplexFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor,
                        TuxBorders Borders = uxAllBorders, int LineWidth = 1);
  void DrawEdge(const TRect& R, bool Sunken, bool Outer, TuxBorders Borders = uxAllBorders);
  void DrawFocusRect(const TRect& R);
  void InvertRect(const TRect& R);
  void DrawGlyph(int X, int Y, TBitmap* Bitmap, bool Enabled = true, TColor BackgroundColor = clNone);
  void DrawText(const AnsiString& Text, TRect R, unsigned Flags, bool Enabled = true);
  void CalcTextRect(const AnsiString& Text, TRect& R, unsigned Flags);
  void AlignMultiLineText(TRect& R, const AnsiString& Text, bool NoCharBreak, bool Enabled,
                          bool ShowPrefix, bool WordBreak, int Placement);
  void SetFontAngle(int Angle);
  // The caller owns the result.
  TuxRegion* GetClipRegion(bool ConsiderOrigin = true);
  void SetClipRegion(TuxRegion* Region, TuxRegionCombineOperation Operation,
                     bool DestroyRegion = true, bool ConsiderOrigin = true);

 protected:
  TCanvas* FCanvas;
};

// A canvas on the screen's device context, owned and released when freed.
class TuxScreenCanvas : public TuxCanvas {
 public:
  TuxScreenCanvas();
  ~TuxScreenCanvas() override;
 private:
  TCanvas* FScreenCanvas;
  HDC FDC = nullptr;
};

TuxScreenCanvas* uxScreenCanvas();

TRect& uxRectContent(TRect& R, const TRect& Margins);
inline int uxRectWidth(const TRect& R) { return R.right - R.left; }
inline int uxRectHeight(const TRect& R) { return R.bottom - R.top; }
unsigned uxFlagsToDTFlags(unsigned Flags);
TSize uxTextSize(HDC DC, const AnsiString& Text);
bool uxIsMultiByteTextStart(int Charset, const AnsiString& Text);
// clBtnFace, clHighlight and clWindow mixed by signed percentages per channel
// (clHighlight alone when the face is black or white); not snapped.
TColor uxBlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent);
// The nearest solid colour the screen shows.
TColor uxNearestScreenColor(TColor Color);
TColor uxHotTrackColor();
TColor uxPressedColor();
void uxRotateBitmap(TBitmap* Bitmap, TuxTextRotation Rotation, bool FlipVertically = false);

// The parent's image under a transparent control: painted by the parent
// itself when it is double-buffered, else by the visual-style library (a
// no-op while the library is absent).
void uxDrawThemeParentBackground(TControl* Control, TuxCanvas* Canvas, const TRect& R);
void uxDrawThemeParentBackgroundOnTabControl(TControl* Control, TCanvas* Canvas, const TRect& R);
// Paints R of the control's parent (in the control's coordinates) into Canvas
// so that the parent shows through the control.
void uxDrawTransparentControlBackground(TControl* Control, TuxCanvas* Canvas, TRect R, bool WithSiblings);
// Lets Control paint itself into Canvas with its origin moved by (DX, DY) and
// clipped to R (Control's coordinates). TransparentControl is the child the
// image is painted for: its parent draws no border, and with WithSiblings the
// visible child windows before it are painted too.
void uxPaintControlImage(TWinControl* Control, TuxCanvas* Canvas, int DX, int DY, const TRect& R,
                         TControl* TransparentControl = nullptr, bool WithSiblings = false);

// ---- regions ----

// Adds Source to Dest; Source stays as it was.
void uxUniteRegions(TuxRegion* Dest, TuxRegion* Source);

// Rectangle helpers used throughout the painters.
inline TRect uxRect(int L, int T, int R, int B) { TRect X; X.left = L; X.top = T; X.right = R; X.bottom = B; return X; }
inline TRect uxInflated(const TRect& R, int DX, int DY) { return uxRect(R.left - DX, R.top - DY, R.right + DX, R.bottom + DY); }
inline bool uxIsRectEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
