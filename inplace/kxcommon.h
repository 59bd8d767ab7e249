// Small drawing routines that the editors share (cell text with alignment,
// ellipsis and measuring; shadows; a checker overlay; transparent blits;
// image-list items; placing a pop-up on the work area; pop-up frames) and
// TkxRegIniWrapper, one set of calls over an ini file or the registry. The
// routines take every colour, font and brush as arguments and leave the
// device context as they found it.
#pragma once

#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"
#include "platform/gdi/rects.h"
#include "platform/win/winuser.h"

#include "platform/classes/typinfo.h"

// Frame of an editor's pop-up window; pbDefault lets the editor derive it.
enum TkxPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };
PV_ENUM_NAMES(TkxPopupBorder, "pbDefault pbSingle pbFrame3D pbFlat")
// Non-client frame width of a border style (pbSingle 1, pbFrame3D 4, pbFlat 2, pbDefault 0).
int kxPopupBorderWidth(TkxPopupBorder Border);

inline TRect kxRect(int Left, int Top, int Right, int Bottom) {
  TRect r;
  r.left = Left, r.top = Top, r.right = Right, r.bottom = Bottom;
  return r;
}
inline TPoint kxPoint(int X, int Y) {
  TPoint p;
  p.x = X, p.y = Y;
  return p;
}

// Flags of kxPaintCellText.
constexpr Word kxctLeft = 0, kxctCenter = 1, kxctRight = 2;
constexpr Word kxctTop = 0, kxctVCenter = 4, kxctBottom = 8, kxctMultiLine = 16;
constexpr Word kxctEndEllipsis = 256, kxctPathEllipsis = 512, kxctFocusRect = 1024, kxctFocusTextOnly = 2048,
               kxctTransparent = 4096, kxctPrefix = 8192, kxctMeasure = 16384, kxctKeepBkMode = 32768;

// The size of a text in the font selected into DC, or in Font.
SIZE kxTextExtent(HDC DC, const AnsiString& S);
SIZE kxFontTextExtent(TFont* Font, const AnsiString& S);

// Draws or measures Text (its first Length bytes; -1 for all) in TextRect with
// CellRect as the background; returns the measured height when measuring, else 0.
int kxPaintCellText(HDC DC, const AnsiString& Text, int Length, int& LineHeight, COLORREF TextColor,
                    COLORREF BackColor, HFONT Font, HBRUSH Brush, Word Flags, const TRect& TextRect,
                    const TRect& CellRect);
// Fills the bottom and right strips of R, Size pixels wide.
void kxPaintShadow(HDC DC, const TRect& R, int Size, HBRUSH Brush);
// Every other pixel of R (a checkerboard) becomes Color.
void kxHatchRect(HDC DC, const TRect& R, TColor Color);
// Paints Area with Brush and Bitmap at R; the bitmap's transparent colour shows the brush.
void kxBlitTransparent(HDC DC, HBRUSH Brush, const TRect& Area, TBitmap* Bitmap, const TRect& R);
// Enlarges the bitmap to at least Width x Height; never shrinks it.
void kxEnsureBitmapSize(TBitmap* Bitmap, int Width, int Height);
// The work area of the monitor nearest P.
void kxGetMonitorWorkArea(const TPoint& P, TRect& R);
// Moves a pop-up's top-left point onto the work area (flipping it above its owner when there is more room there).
void kxPlacePopupInWorkArea(TPoint& P, int Width, int Height, int OwnerHeight);
COLORREF kxColorToImageListColor(TColor Color);
void kxDrawImageListItem(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index);
// The 8 x 8 checkerboard pattern brush (black where x and y have the same parity).
HBRUSH kxCheckerBrush();
inline HBRUSH kxDottedBrush() { return kxCheckerBrush(); }
// A point in window coordinates (relative to the window's top-left corner).
TPoint kxWindowPointFromScreen(HWND Wnd, const TPoint& P);

// Pop-up frames: the frame and shadow of a pop-up window on its window DC,
// and the window region that lets the shadow's uncovered corners show through.
void kxPaintPopupFrame(HDC DC, TRect R, TkxPopupBorder Border, int ShadowSize, bool Shadow, bool BothScrollBars);
void kxPaintPopupFrameOnWindow(HWND Wnd, TkxPopupBorder Border, int ShadowSize, bool Shadow, bool BothScrollBars);
void kxSetShadowWindowRegion(HWND Wnd, bool Shadow, int ShadowSize);
// Shrinks a pop-up's client rectangle by its frame and shadow.
void kxPopupNCCalcSize(RECT& R, TkxPopupBorder Border, int ShadowSize, bool Shadow);

// One set of calls over an ini file (TCustomIniFile) or the registry (TRegIniFile).
class TkxRegIniWrapper : public TObject {
  PV_CLASS(TkxRegIniWrapper, TObject)
 public:
  TkxRegIniWrapper() = default;
  explicit TkxRegIniWrapper(TObject* Storage) : IniObject(Storage) {}
  TObject* IniObject = nullptr;  // not owned

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
  LongInt ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default);
  void WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value);
  bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
  void ReadSection(const AnsiString& Section, TStrings* Strings);
  void ReadSections(TStrings* Strings);
  void EraseSection(const AnsiString& Section);
  void EraseSectionsWithPrefix(const AnsiString& Prefix);
  // Registry objects only (0 otherwise): the size when BufSize <= 0, else the bytes read.
  int ReadBinaryData(const AnsiString& Key, const AnsiString& Name, void* Buffer, int BufSize);
  void WriteBinaryData(const AnsiString& Key, const AnsiString& Name, const void* Buffer, int BufSize);

 private:
  TCustomIniFile* Ini() const { return dynamic_cast<TCustomIniFile*>(IniObject); }
  TRegIniFile* Reg() const { return dynamic_cast<TRegIniFile*>(IniObject); }
};

void kxInitCommon();
void kxDoneCommon();
