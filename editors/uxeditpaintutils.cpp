#include "editors/uxeditpaintutils.h"

#include "editors/uxtextout.h"
#include "framework/uxpainters.h"
#include "framework/uxthemes.h"
#include "platform/win/system.h"

#include <algorithm>

namespace {

TuxSolidBrushCache* SharedBrushCache = nullptr;

bool IsSystemColorIndex(TColor Color) {
  const unsigned C = unsigned(Color);
  return (C & 0xFF000000u) == 0xFF000000u && (C & 0x00FFFFFFu) <= 30;
}

// The hot-light colour exists on the 9x family with a minor version other
// than 0 and on the NT family of major version 5.
bool HotLightAvailable() {
  static const bool Available = [] {
    OSVERSIONINFOA V;
    if (!GetVersionExA(&V)) return false;
    if (V.dwPlatformId == VER_PLATFORM_WIN32_NT) return V.dwMajorVersion == 5;
    return V.dwPlatformId == 1 && V.dwMinorVersion != 0;
  }();
  return Available;
}

}  // namespace

TuxSolidBrushCache::TuxSolidBrushCache(int MaxDepth) : FMaxDepth(std::max(1, MaxDepth)) {
  for (int I = 0; I <= 30; ++I) FSystemBrushes[I] = GetSysColorBrush(I);
  FNotifier = std::make_unique<TuxSystemPaletteChangedNotifier>(false);
  FNotifier->OnPaletteChanged = [this] { SystemPaletteChanged(); };
}

TuxSolidBrushCache::~TuxSolidBrushCache() {
  FNotifier.reset();
  for (HBRUSH B : FBrushes) DeleteObject(B);
  for (HBRUSH B : FRetired) DeleteObject(B);
}

void TuxSolidBrushCache::Retire(HBRUSH Brush) { FRetired.push_back(Brush); }

HBRUSH TuxSolidBrushCache::GetBrush(TColor Color) {
  if (IsSystemColorIndex(Color)) return FSystemBrushes[unsigned(Color) & 0xFF];
  const unsigned Key = unsigned(Color);
  auto It = std::lower_bound(FColors.begin(), FColors.end(), Key);
  std::size_t Index = std::size_t(It - FColors.begin());
  if (It != FColors.end() && *It == Key) {
    ++FUseCounts[Index];
    return FBrushes[Index];
  }
  if (int(FColors.size()) >= FMaxDepth) {
    const std::size_t Least = std::size_t(std::min_element(FUseCounts.begin(), FUseCounts.end()) - FUseCounts.begin());
    Retire(FBrushes[Least]);
    FColors.erase(FColors.begin() + std::ptrdiff_t(Least));
    FBrushes.erase(FBrushes.begin() + std::ptrdiff_t(Least));
    FUseCounts.erase(FUseCounts.begin() + std::ptrdiff_t(Least));
    if (Least < Index) --Index;
  }
  HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color) & 0xFFFFFF);
  FColors.insert(FColors.begin() + std::ptrdiff_t(Index), Key);
  FBrushes.insert(FBrushes.begin() + std::ptrdiff_t(Index), Brush);
  FUseCounts.insert(FUseCounts.begin() + std::ptrdiff_t(Index), 0);
  return Brush;
}

void TuxSolidBrushCache::SystemPaletteChanged() {
  for (HBRUSH B : FBrushes) Retire(B);
  FColors.clear();
  FBrushes.clear();
  FUseCounts.clear();
}

void uxInitEditPaintUtils() {
  if (!SharedBrushCache) SharedBrushCache = new TuxSolidBrushCache(128);
}

void uxDoneEditPaintUtils() {
  delete SharedBrushCache;
  SharedBrushCache = nullptr;
}

TuxSolidBrushCache* uxSolidBrushCache() {
  uxInitEditPaintUtils();
  return SharedBrushCache;
}

bool uxSolidBrushCacheExists() { return SharedBrushCache != nullptr; }

HBRUSH uxGetSolidBrush(TColor Color) { return uxSolidBrushCache()->GetBrush(Color); }
HBRUSH uxGetCanvasSolidBrush(TuxCanvas*, TColor Color) { return uxGetSolidBrush(Color); }
HBRUSH uxGetCanvasSolidBrush(TCanvas*, TColor Color) { return uxGetSolidBrush(Color); }

void uxFillDCRect(HDC DC, const TRect& R, HBRUSH Brush) { FillRect(DC, &R, Brush); }

void uxFillRectWithColor(TuxCanvas* Canvas, const TRect& R, TColor Color) {
  uxFillDCRect(Canvas->Handle(), R, uxGetSolidBrush(Color));
}

void uxFillDCRectExcept(TuxCanvas* Canvas, const TRect& R, const TRect& InnerR, HBRUSH Brush) {
  if (uxIsRectEmpty(R) || EqualRect(&R, &InnerR)) return;
  HDC DC = Canvas->Handle();
  if (uxIsRectEmpty(InnerR)) {
    uxFillDCRect(DC, R, Brush);
    return;
  }
  uxFillDCRect(DC, uxRect(R.left, R.top, InnerR.left, R.bottom), Brush);
  uxFillDCRect(DC, uxRect(InnerR.left, R.top, InnerR.right, InnerR.top), Brush);
  uxFillDCRect(DC, uxRect(InnerR.right, R.top, R.right, R.bottom), Brush);
  uxFillDCRect(DC, uxRect(InnerR.left, InnerR.bottom, InnerR.right, R.bottom), Brush);
}

void uxCenterSizeInRect(const TRect& R, const TSize& Size, bool Pressed, int& X, int& Y) {
  X = R.left + (uxRectWidth(R) - Size.cx) / 2;
  Y = R.top + (uxRectHeight(R) - Size.cy) / 2;
  if (Pressed) {
    if (X + 1 + Size.cx <= R.right) ++X;
    if (Y + 1 + Size.cy <= R.bottom) ++Y;
  }
}

void uxCalcArrowSize(const TSize& Size, int Direction, TSize& Result) {
  const int M = std::min(Size.cx, Size.cy);
  int W = (M - 1) / 2;
  if (W % 2 == 0) ++W;
  Result.cx = W;
  Result.cy = W / 2 + 1;
  if (Direction == uxadLeft || Direction == uxadRight) std::swap(Result.cx, Result.cy);
}

void uxDrawArrows(TuxCanvas* Canvas, int Size, const TRect& R, int Direction, int ExtraCount, bool Pressed,
                  TColor Color) {
  if (Size <= 0) return;
  const bool Vertical = Direction == uxadUp || Direction == uxadDown;
  const int Count = ExtraCount + 1;
  TSize Total;
  Total.cx = Vertical ? 2 * Size - 1 : Size * Count;
  Total.cy = Vertical ? Size * Count : 2 * Size - 1;
  int X, Y;
  uxCenterSizeInRect(R, Total, Pressed, X, Y);
  HDC DC = Canvas->Handle();
  HBRUSH Brush = uxGetSolidBrush(Color);
  for (int A = 0; A < Count; ++A) {
    for (int I = 0; I < Size; ++I) {
      // Line I of the triangle: 2 * Half + 1 pixels across, centred on the axis.
      const int Half = (Direction == uxadUp || Direction == uxadLeft) ? I : Size - 1 - I;
      TRect L;
      if (Vertical) {
        const int Top = Y + A * Size + I, Mid = X + Size - 1;
        L = uxRect(Mid - Half, Top, Mid + Half + 1, Top + 1);
      } else {
        const int Left = X + A * Size + I, Mid = Y + Size - 1;
        L = uxRect(Left, Mid - Half, Left + 1, Mid + Half + 1);
      }
      uxFillDCRect(DC, L, Brush);
    }
  }
}

void uxDrawBorderEdges(TuxCanvas* Canvas, TRect& R, int Edges, TColor Color) {
  const TRect Original = R;
  Canvas->Pen()->SetColor(Color);
  auto Line = [&](int X1, int Y1, int X2, int Y2) {
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
  };
  if (Edges & 1) {
    Line(Original.left, Original.top, Original.left, Original.bottom);
    ++R.left;
  }
  if (Edges & 4) {
    Line(Original.right - 1, Original.top, Original.right - 1, Original.bottom);
    --R.right;
  }
  if (Edges & 2) {
    Line(Original.left, Original.top, Original.right, Original.top);
    ++R.top;
  }
  if (Edges & 8) {
    Line(Original.left, Original.bottom - 1, Original.right, Original.bottom - 1);
    --R.bottom;
  }
}

void uxDrawPolyLine(TuxCanvas* Canvas, const TPoint* Points, int Count, TColor Color, bool PixelExact) {
  if (!Points || Count < 0) return;
  if (!PixelExact) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Polyline(std::vector<TPoint>(Points, Points + Count + 1));
    Canvas->SetPixel(Points[Count].x, Points[Count].y, Color);
    return;
  }
  HDC DC = Canvas->Handle();
  HBRUSH Brush = uxGetSolidBrush(Color);
  for (int I = 0; I < Count; ++I) {
    const TPoint& A = Points[I];
    const TPoint& B = Points[I + 1];
    uxFillDCRect(DC, uxRect(std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x) + 1, std::max(A.y, B.y) + 1),
                 Brush);
  }
  uxFillDCRect(DC, uxRect(Points[Count].x, Points[Count].y, Points[Count].x + 1, Points[Count].y + 1), Brush);
}

bool uxIsBitmapUsable(TBitmap* Bitmap) {
  return Bitmap && !Bitmap->Empty() && Bitmap->Width() != 0 && Bitmap->Height() != 0;
}

bool uxIsImageListUsable(TCustomImageList* ImageList) {
  return ImageList && ImageList->Width() > 0 && ImageList->Height() > 0;
}

void uxDrawGlyph(TCanvas* Canvas, int X, int Y, TBitmap* Glyph, bool Enabled, TColor BkColor, TBitmap* WorkBitmap) {
  if (!uxIsBitmapUsable(Glyph)) return;
  const int W = Glyph->Width(), H = Glyph->Height();
  const TRect Src = uxRect(0, 0, W, H);
  if (Enabled) {
    const TColor Transparent = Glyph->TransparentColor();
    if (WorkBitmap) {
      WorkBitmap->Canvas()->BrushCopy(uxRect(0, 0, W, H), Glyph, Src, Transparent);
      Canvas->Draw(X, Y, WorkBitmap);
    } else {
      if (BkColor == clNone) {
        Canvas->Brush()->SetStyle(bsClear);
      } else {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(BkColor);
      }
      Canvas->BrushCopy(uxRect(X, Y, X + W, Y + H), Glyph, Src, Transparent);
    }
    return;
  }
  TCustomImageList Images(W, H);
  Images.AddMasked(Glyph, Glyph->TransparentColor());
  if (WorkBitmap) {
    Images.Draw(WorkBitmap->Canvas(), 0, 0, 0, false);
    Canvas->Draw(X, Y, WorkBitmap);
  } else if (BkColor != clNone) {
    TBitmap Temp;
    Temp.SetSize(W, H);
    Temp.Canvas()->Brush()->SetColor(BkColor);
    Temp.Canvas()->FillRect(Src);
    Images.Draw(Temp.Canvas(), 0, 0, 0, false);
    Canvas->Draw(X, Y, &Temp);
  } else {
    Images.Draw(Canvas, X, Y, 0, false);
  }
}

void uxDrawGlyph(TuxCanvas* Canvas, int X, int Y, TBitmap* Glyph, bool Enabled, TColor BkColor, TBitmap* WorkBitmap) {
  uxDrawGlyph(Canvas->Canvas(), X, Y, Glyph, Enabled, BkColor, WorkBitmap);
}

void uxDrawImageListImage(TuxCanvas* Canvas, TCustomImageList* ImageList, int Index, const TRect& R, TColor BkColor,
                          bool Enabled, TBitmap* WorkBitmap) {
  if (!uxIsImageListUsable(ImageList)) return;
  if (WorkBitmap) {
    ImageList->Draw(WorkBitmap->Canvas(), 0, 0, Index, Enabled);
    Canvas->Draw(R.left, R.top, WorkBitmap);
    return;
  }
  TBitmap Temp;
  Temp.SetSize(ImageList->Width(), ImageList->Height());
  Temp.Canvas()->Brush()->SetColor(BkColor);
  Temp.Canvas()->FillRect(uxRect(0, 0, ImageList->Width(), ImageList->Height()));
  ImageList->Draw(Temp.Canvas(), 0, 0, Index, Enabled);
  Canvas->Draw(R.left, R.top, &Temp);
}

namespace {
// (text-engine bit, canvas bit) pairs carried over by the conversions.
constexpr struct {
  int TextOut;
  unsigned Canvas;
} FlagPairs[] = {{UXTO_CENTER_HORIZONTALLY, ctfHCenter}, {UXTO_RIGHT, ctfRight},
                 {UXTO_CENTER_VERTICALLY, ctfVCenter},   {UXTO_BOTTOM, ctfBottom},
                 {UXTO_SINGLELINE, ctfSingleLine},       {UXTO_WORDBREAK, ctfWordBreak}};
}  // namespace

unsigned uxTextOutFlagsToCanvasFlags(int Flags) {
  unsigned Result = 0;
  for (const auto& P : FlagPairs)
    if (Flags & P.TextOut) Result |= P.Canvas;
  return Result;
}

int uxDrawTextFlagsToTextOutFlags(unsigned Flags) {
  int Result = 0;
  for (const auto& P : FlagPairs)
    if (Flags & P.Canvas) Result |= P.TextOut;
  return Result;
}

TColor uxGetHotTrackTextColor() { return HotLightAvailable() ? clHotLight : clBlue; }

TColor uxGetEditBorderHighlightColor(bool IsOffice11) {
  return IsOffice11 ? static_cast<const TuxOffice11LookAndFeelPainter*>(TuxOffice11LookAndFeelPainter::Instance())
                           ->GetHighlightBorderColor()
                     : clHighlight;
}

TColor uxGetUltraFlatButtonColor(bool Pressed, bool IsOffice11) {
  TuxLookAndFeelPainterClass P = IsOffice11 ? TuxOffice11LookAndFeelPainter::Instance()
                                            : TuxUltraFlatLookAndFeelPainter::Instance();
  return P->GetButtonFaceColor(Pressed ? uxbsPressed : uxbsHot);
}
