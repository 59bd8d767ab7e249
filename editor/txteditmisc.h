// Free routines shared by the editor and its companions: small integer and
// position helpers, tab expansion, expanded widths and columns, character
// scans that step over double-byte characters, and attribute enumeration.
#pragma once
#include <functional>
#include <vector>

#include "editor/txtedittypes.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"
#include "platform/controls/graphics.h"

class TTxtCustomHighlighter;
class TTxtHighlighterAttributes;

inline POINT TxtMakePoint(int X, int Y) { return POINT{X, Y}; }
inline TBufferCoord MakeBufferCoord(int Char, int Line) { return TBufferCoord{Char, Line}; }
inline int ClampInt(int X, int Min, int Max) {
  int v = X < Max ? X : Max;
  return v > Min ? v : Min;
}
inline void SwapIntegers(int& A, int& B) {
  int t = A;
  A = B;
  B = t;
}
// The earlier of two positions by (line, column); P1 when they are equal.
TBufferCoord EarlierPosition(const TBufferCoord& P1, const TBufferCoord& P2);

// True when Line holds a tab; CharsBefore = bytes before the first tab (all when none).
bool FindFirstTab(const AnsiString& Line, int& CharsBefore);

using TTabExpander = AnsiString (*)(const AnsiString& Line, int TabWidth, bool& HasTabs);
// Tab width 1: every tab becomes a space.
AnsiString TabsToSpacesWidth1(const AnsiString& Line, int TabWidth, bool& HasTabs);
// Each tab becomes a run of tab characters reaching the next multiple of
// TabWidth: one routine for powers of two, one for any width.
AnsiString ExpandTabsPow2(const AnsiString& Line, int TabWidth, bool& HasTabs);
AnsiString ExpandTabsAny(const AnsiString& Line, int TabWidth, bool& HasTabs);
bool IsTabWidthPow2(int N);
TTabExpander ChooseTabExpander(int TabWidth);
// Number of display cells of Line with tabs expanded.
int ExpandedLength(const AnsiString& Line, int TabWidth);
// Display column (1-based) of byte Index (1-based) of Line.
int CharIndexToColumn(int Index, int TabWidth, const AnsiString& Line);

using TTxtCharSetBits = std::vector<bool>;
// First index >= Start (1-based; moved off a second byte) whose character is in
// Chars, stepping over double-byte characters; 0 when none.
int ScanForwardInSet(const AnsiString& Line, int Start, const char* Chars);
// Last index <= Start whose character is in Chars; 0 when none.
int ScanBackwardInSet(const AnsiString& Line, int Start, const char* Chars);
// First lead byte at or after Start (moved off a second byte); 0 when none.
int ScanForwardLeadByte(const AnsiString& Line, int Start);
// Last lead byte in 1..Start; 0 when none.
int ScanBackwardLeadByte(const AnsiString& Line, int Start);
// The first byte at or after P that is CR, LF or the terminating 0; nullptr for nullptr.
const char* FindLineEnd(const char* P);

// Drops a leading "T" (or "TTxt", in any case) and a trailing "syn" (any case).
AnsiString ShortHighlighterName(const AnsiString& S);
// 1 plus the number of entries before Highlighter in List of the same class.
int SameClassIndex(TTxtCustomHighlighter* Highlighter, const std::vector<TTxtCustomHighlighter*>& List);

using TTxtHighlighterAttrProc =
    std::function<bool(TTxtCustomHighlighter* Highlighter, TTxtHighlighterAttributes* Attri,
                       const AnsiString& UniqueAttriName, void* Params)>;
// Calls Callback for every attribute with a name unique over the walk; stops
// when it returns false. The result is the last callback's result.
bool WalkHighlighterAttributes(TTxtCustomHighlighter* Highlighter, bool SkipDuplicates,
                               const TTxtHighlighterAttrProc& Callback, void* Params);

// The bands of a gradient fill: rectangles and their colours, for a canvas to fill.
struct TGradientBand {
  RECT Rect;
  COLORREF Color;
};
std::vector<TGradientBand> GradientBands(COLORREF StartColor, COLORREF EndColor, bool Horizontal,
                                         const RECT& Rect, int Steps);
// Fills Rect with Steps bands (2..256) from StartColor to EndColor, left to
// right (Horizontal) or top to bottom.
void FillGradient(TCanvas* Canvas, TColor StartColor, TColor EndColor, bool Horizontal, const TRect& Rect,
                  int Steps);
