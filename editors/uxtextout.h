// The text engine of the editors and grid cells: breaks a CP936 text into
// rows (word wrap that never splits a double-byte character, justification,
// end ellipsis, a limit on the rows, a highlighted selection), places the rows
// in a rectangle and draws them, or only measures them.
#pragma once

#include "platform/controls/graphics.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

#include <vector>

// Text-out flags. These bits are the engine's own, not the platform's
// drawing flags.
// Horizontal alignment (bits 0-2).
constexpr int UXTO_LEFT = 0x0;
constexpr int UXTO_CENTER_HORIZONTALLY = 0x1;
constexpr int UXTO_RIGHT = 0x2;
constexpr int UXTO_JUSTIFY_EXCEPT_LAST = 0x3;  // the last row of each paragraph stays left
constexpr int UXTO_JUSTIFY = 0x4;              // every row
constexpr int UXTO_HORZ_ALIGN_MASK = 0x7;
// Vertical alignment (bits 4-5).
constexpr int UXTO_TOP = 0x00;
constexpr int UXTO_CENTER_VERTICALLY = 0x10;
constexpr int UXTO_BOTTOM = 0x20;
constexpr int UXTO_DISTRIBUTE_VERTICALLY = 0x30;
constexpr int UXTO_VERT_ALIGN_MASK = 0x30;
constexpr int UXTO_PREVENT_LEFT_EXCEED = 0x40;   // never start left of the rectangle
constexpr int UXTO_PREVENT_TOP_EXCEED = 0x80;    // never start above the rectangle
constexpr int UXTO_WORDBREAK = 0x100;
constexpr int UXTO_SINGLELINE = 0x200;
constexpr int UXTO_EXPANDTABS = 0x400;
constexpr int UXTO_END_ELLIPSIS = 0x800;
constexpr int UXTO_EXTERNALLEADING = 0x2000;
constexpr int UXTO_FULL_ROWS_ONLY = 0x4000;      // a row cut at the bottom is not laid out
constexpr int UXTO_NOCLIP = 0x8000;
constexpr int UXTO_CHARBREAK = 0x20000;          // break inside a word that has no break character
constexpr int UXTO_CALCRECT = 0x100000;          // measure only
constexpr int UXTO_CALCROWCOUNT = 0x200000;      // answer the number of rows, not the height

// What the flags and the device context's font give the layout.
struct TuxTextParams {
  int RowHeightWithoutLeading = 0;  // tmHeight
  int ExternalLeading = 0;          // only with UXTO_EXTERNALLEADING
  int RowHeight = 0;
  int EllipsisWidth = 0;            // only with UXTO_END_ELLIPSIS
  char BreakChar = ' ';
  int HorzAlignment = UXTO_LEFT;
  int VertAlignment = UXTO_TOP;
  bool PreventLeftExceed = false;
  bool PreventTopExceed = false;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool FullRowsOnly = false;
  bool NoClip = false;
  bool CharBreak = false;
  bool CalcOnly = false;
  bool CalcRowCount = false;
  int MaxCharWidth = 0;
  int CharSet = 0;
};

struct TuxTextRow {
  const char* Text = nullptr;  // into the caller's text
  int TextLength = 0;          // bytes
  TSize TextExtents{};
  int BreakCount = 0;          // break characters in the row (justification)
  int TextOriginX = 0;
  int TextOriginY = 0;
  int StartOffset = 0;         // byte offset of the row in the whole text
};
using TuxTextRows = std::vector<TuxTextRow>;

// Lays out and draws (or with UXTO_CALCRECT only measures) the zero-terminated
// Text in R. Answers the height of the rows (or their number with
// UXTO_CALCROWCOUNT, or when the height is 0); in measuring mode R becomes the
// smallest rectangle holding the rows. SelStart (0-based byte offset) and
// SelLength mark a part drawn in SelTextColor on SelBkColor.
int uxTextOut(HDC DC, const char* Text, TRect& R, int Flags, int SelStart = 0, int SelLength = 0,
              TColor SelBkColor = clBlack, TColor SelTextColor = clWhite, int MaxLineCount = 0,
              int LeftIndent = 0, int RightIndent = 0);
int uxCanvasTextOut(TCanvas* Canvas, const char* Text, TRect& R, int Flags, int SelStart = 0,
                    int SelLength = 0, TColor SelBkColor = clBlack, TColor SelTextColor = clWhite,
                    int MaxLineCount = 0, int LeftIndent = 0, int RightIndent = 0);
int uxDrawEditText(TCanvas* Canvas, const AnsiString& Text, TRect& R, int Flags, int MaxLineCount = 0,
                   int LeftIndent = 0, int RightIndent = 0);

// Breaks Text into rows for R. False when MaxLineCount cut the text.
bool uxMakeTextRows(HDC DC, const char* Text, const TRect& R, int MaxLineCount, int& RowCount,
                    TuxTextRows& Rows, const TuxTextParams& Params);
void uxPrepareTextParams(HDC DC, int Flags, TuxTextParams& Params);
// Makes sure the canvas has its handle and font selected first.
void uxPrepareTextParams(TCanvas* Canvas, int Flags, TuxTextParams& Params);
void uxGetTextExtent(HDC DC, const char* Text, int Length, TSize& Size, bool ExpandTabs);

// Intersects the clip with R; answers the clip that was there before (none
// when the context had none). uxRestoreClipRegion selects it back, or removes
// clipping for none, and frees it.
HRGN uxSetClipRect(HDC DC, const TRect& R);
void uxRestoreClipRegion(HDC DC, HRGN& Region);
