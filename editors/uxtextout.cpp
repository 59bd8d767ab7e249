#include "editors/uxtextout.h"

#include "framework/uxgraphics.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cstring>

namespace {

const char uxtoEllipsis[] = "...";
int uxtoEllipsisLength = int(std::strlen(uxtoEllipsis));  // computed once at start-up

bool IsLineBreak(char C) { return C == '\r' || C == '\n'; }

bool IsJustified(const TuxTextParams& P) {
  return P.HorzAlignment == UXTO_JUSTIFY_EXCEPT_LAST || P.HorzAlignment == UXTO_JUSTIFY;
}

bool IsBreakChar(const TuxTextParams& P, char C) { return C == P.BreakChar || C == '\t'; }

// Bytes of the character at Text[Pos] within Length: a lead byte and its
// trail byte go together, a lead byte at the end stands alone.
int CharBytes(const char* Text, int Pos, int Length) {
  return (IsDBCSLeadByte(Text[Pos]) && Pos + 1 < Length && Text[Pos + 1] != 0) ? 2 : 1;
}

int ExtentOf(HDC DC, const char* Text, int Length, bool ExpandTabs) {
  if (Length <= 0) return 0;
  TSize S;
  uxGetTextExtent(DC, Text, Length, S, ExpandTabs);
  return S.cx;
}

// Byte offsets of the character starts of Text[0, Length), and Length last.
std::vector<int> CharStarts(const char* Text, int Length) {
  std::vector<int> Starts;
  for (int I = 0; I < Length; I += CharBytes(Text, I, Length)) Starts.push_back(I);
  Starts.push_back(Length);
  return Starts;
}

// The longest prefix of whole characters of Text[0, Length) that is not
// wider than Width, found with few measurements: the length is halved until
// the prefix fits, then bisected between that and the full length. A text
// more than eight times too wide is not estimated at all.
struct TFitEstimate {
  int Bytes = 0;
  int Width = 0;
};

TFitEstimate EstimateFit(HDC DC, const char* Text, int Length, int Width, bool ExpandTabs) {
  TFitEstimate E;
  if (Length <= 0 || Width <= 0) return E;
  const int Whole = ExtentOf(DC, Text, Length, ExpandTabs);
  if (Whole <= Width) return {Length, Whole};
  if (Whole > 8 * Width) return E;
  const std::vector<int> Starts = CharStarts(Text, Length);
  const int Chars = int(Starts.size()) - 1;
  int Lo = Chars;
  int LoWidth = Whole;
  while (Lo > 1) {
    Lo /= 2;
    LoWidth = ExtentOf(DC, Text, Starts[Lo], ExpandTabs);
    if (LoWidth <= Width) break;
  }
  if (LoWidth > Width) return E;  // not even one character fits
  int Hi = Chars;                 // known not to fit
  while (Hi - Lo > 1) {
    const int Mid = (Lo + Hi) / 2;
    const int W = ExtentOf(DC, Text, Starts[Mid], ExpandTabs);
    if (W <= Width) {
      Lo = Mid;
      LoWidth = W;
    } else {
      Hi = Mid;
    }
  }
  return {Starts[Lo], LoWidth};
}

// Breaks one row from Text[Pos, Length); answers the position after the row
// and what follows it (the skipped break characters and one line break).
int BreakRow(HDC DC, const char* Text, int Pos, int Length, int MaxWidth, bool LastRow,
             const TuxTextParams& P, TuxTextRow& Row) {
  Row = TuxTextRow();
  Row.Text = Text + Pos;
  Row.StartOffset = Pos;
  const bool Justified = IsJustified(P);
  const bool Wrap = !P.SingleLine && (P.WordBreak || Justified);
  const bool BreakInWords = Wrap && P.CharBreak;
  const bool EllipsisRow = LastRow && P.EndEllipsis && !Justified && !P.FullRowsOnly && !P.NoClip;
  const bool TrackWidth = Wrap || EllipsisRow || P.SingleLine;
  const int Remaining = Length - Pos;

  TFitEstimate Fit;
  if (TrackWidth) {
    // The estimate stops at the first line break, which ends the row anyway.
    int Scan = 0;
    if (!EllipsisRow && !P.SingleLine)
      while (Scan < Remaining && !IsLineBreak(Row.Text[Scan])) Scan += CharBytes(Row.Text, Scan, Remaining);
    else
      Scan = Remaining;
    Fit = EstimateFit(DC, Row.Text, Scan, MaxWidth, P.ExpandTabs);
  }

  int End = 0;              // bytes taken into the row
  int Width = 0;            // running width of Row.Text[0, End)
  int BreakCount = 0;
  int LastBreakEnd = -1;    // row length just after the last break character
  int BreakCountAtLastBreak = 0;
  bool Overflowed = false;  // waiting for a break character to end an overlong word
  bool EndedByLineBreak = false;
  while (End < Remaining) {
    const char C = Row.Text[End];
    if (IsLineBreak(C) && !EllipsisRow && !P.SingleLine) {
      EndedByLineBreak = true;
      break;
    }
    const int N = CharBytes(Row.Text, End, Remaining);
    const bool IsBreak = N == 1 && IsBreakChar(P, C);
    if (Overflowed && IsBreak) {
      End += N;
      ++BreakCount;
      break;
    }
    int NewWidth = Width;
    if (TrackWidth && !Overflowed) {
      if (End + N <= Fit.Bytes)
        NewWidth = End + N == Fit.Bytes ? Fit.Width : Width;
      else if (P.ExpandTabs)
        NewWidth = ExtentOf(DC, Row.Text, End + N, true);
      else
        NewWidth = Width + ExtentOf(DC, Row.Text + End, N, false);
    }
    if (TrackWidth && !Overflowed && NewWidth > MaxWidth && End + N > Fit.Bytes) {
      if (EllipsisRow || P.SingleLine) {
        // The overflowing character stays: the row is then wider than the
        // rectangle, which is what asks for the ellipsis or the clip.
        End += N;
        Width = NewWidth;
        if (IsBreak) ++BreakCount;
        // An ellipsis row or a single line is not broken further.
        while (End < Remaining) End += CharBytes(Row.Text, End, Remaining);
        break;
      }
      if (LastBreakEnd > 0) {
        End = LastBreakEnd;
        BreakCount = BreakCountAtLastBreak;
        break;
      }
      if (BreakInWords) {
        if (End == 0) End = N;  // at least one character
        break;
      }
      Overflowed = true;
    }
    End += N;
    Width = NewWidth;
    if (IsBreak) {
      ++BreakCount;
      LastBreakEnd = End;
      BreakCountAtLastBreak = BreakCount;
    }
  }
  const int Taken = End;  // what the row used up, before trailing blanks are dropped
  if (Justified)
    // (break characters are below 0x40, so never the trail byte of a character)
    while (End > 0 && IsBreakChar(P, Row.Text[End - 1])) {
      --End;
      if (BreakCount > 0) --BreakCount;
    }
  Row.TextLength = End;
  Row.BreakCount = BreakCount;
  uxGetTextExtent(DC, Row.Text, End, Row.TextExtents, P.ExpandTabs);
  if (End == 0) Row.TextExtents.cy = P.RowHeightWithoutLeading;

  // What follows the row: break characters, one Tab, one CR (the paragraph
  // ends), one LF.
  int Next = Pos + Taken;
  if (!EndedByLineBreak)
    while (Next < Length && IsBreakChar(P, Text[Next])) ++Next;
  if (Next < Length && Text[Next] == '\t') ++Next;
  bool ParagraphEnd = false;
  if (Next < Length && Text[Next] == '\r') {
    ++Next;
    ParagraphEnd = true;
  }
  if (Next < Length && Text[Next] == '\n') ++Next;
  if (P.HorzAlignment == UXTO_JUSTIFY_EXCEPT_LAST && (EndedByLineBreak || ParagraphEnd || Next >= Length))
    Row.BreakCount = 0;
  return Next;
}

void PlaceRows(const TRect& R, TuxTextRows& Rows, int RowCount, const TuxTextParams& P) {
  if (RowCount <= 0) return;
  const int Height = R.bottom - R.top;
  int Pitch = P.RowHeight;
  int Spread = 0;
  if (P.VertAlignment == UXTO_DISTRIBUTE_VERTICALLY && RowCount > 1) {
    const int Q = (Height - P.RowHeight) / (RowCount - 1);
    if (Q > P.RowHeight) {
      Pitch = Q;
      Spread = (Height - P.RowHeight) % (RowCount - 1);
    }
  }
  int Top;
  if (P.VertAlignment == UXTO_CENTER_VERTICALLY)
    Top = R.top + (Height - RowCount * Pitch) / 2;
  else if (P.VertAlignment == UXTO_BOTTOM)
    Top = R.bottom - RowCount * Pitch + P.ExternalLeading;
  else
    Top = R.top;
  if (P.PreventTopExceed) Top = std::max(Top, int(R.top));
  const int Width = R.right - R.left;
  for (int I = 0; I < RowCount; ++I) {
    TuxTextRow& Row = Rows[I];
    Row.TextOriginY = Top + I * Pitch + std::min(I, Spread);
    int X;
    if (P.HorzAlignment == UXTO_CENTER_HORIZONTALLY)
      X = R.left + (Width - Row.TextExtents.cx) / 2;
    else if (P.HorzAlignment == UXTO_RIGHT)
      X = R.right - Row.TextExtents.cx;
    else
      X = R.left;
    if (P.PreventLeftExceed) X = std::max(X, int(R.left));
    Row.TextOriginX = X;
  }
}

void DrawRowText(HDC DC, const TuxTextRow& Row, int Length, const TuxTextParams& P) {
  if (Length <= 0) return;
  if (P.ExpandTabs)
    TabbedTextOutA(DC, Row.TextOriginX, Row.TextOriginY, Row.Text, Length, 0, nullptr, Row.TextOriginX);
  else
    TextOutA(DC, Row.TextOriginX, Row.TextOriginY, Row.Text, Length);
}

// Bytes of Row's text that fit into Width (whole characters, at least one).
int FitBytes(HDC DC, const TuxTextRow& Row, int Width, const TuxTextParams& P) {
  const std::vector<int> Starts = CharStarts(Row.Text, Row.TextLength);
  int Best = Starts.size() > 1 ? Starts[1] : Row.TextLength;
  for (std::size_t I = 2; I < Starts.size(); ++I) {
    if (ExtentOf(DC, Row.Text, Starts[I], P.ExpandTabs) > Width) break;
    Best = Starts[I];
  }
  return Best;
}

void DrawRows(HDC DC, const TRect& R, TuxTextRows& Rows, int RowCount, bool EllipsisRequested, int SelStart,
              int SelLength, TColor SelBkColor, TColor SelTextColor, const TuxTextParams& P) {
  const int OldMode = SetBkMode(DC, TRANSPARENT);
  const int RWidth = R.right - R.left;
  for (int I = 0; I < RowCount; ++I) {
    TuxTextRow& Row = Rows[I];
    const bool Last = I == RowCount - 1;
    const bool NeedsEllipsis = Last && P.EndEllipsis && (EllipsisRequested || Row.TextExtents.cx > RWidth);
    if (Row.TextLength == 0) {
      if (NeedsEllipsis) {
        const RECT* Clip = P.NoClip ? nullptr : &R;
        ExtTextOutA(DC, Row.TextOriginX, Row.TextOriginY, P.NoClip ? 0 : ETO_CLIPPED, Clip, uxtoEllipsis,
                    UINT(uxtoEllipsisLength), nullptr);
      }
      continue;
    }
    const bool Justify = IsJustified(P) && !NeedsEllipsis && Row.BreakCount > 0 && Row.TextExtents.cx < RWidth;
    if (Justify) SetTextJustification(DC, RWidth - Row.TextExtents.cx, Row.BreakCount);
    HRGN Saved = nullptr;
    bool Clipped = false;
    const int RowBottom = Row.TextOriginY + P.RowHeight;
    if (!P.NoClip && (Row.TextExtents.cx > RWidth || Row.TextOriginY < R.top || RowBottom > R.bottom ||
                      Row.TextOriginX < R.left || Row.TextOriginX + Row.TextExtents.cx > R.right)) {
      TRect Band = R;
      Band.top = std::max(int(R.top), Row.TextOriginY);
      Band.bottom = std::min(int(R.bottom), RowBottom);
      Saved = uxSetClipRect(DC, Band);
      Clipped = true;
    }
    int Length = Row.TextLength;
    if (NeedsEllipsis) Length = FitBytes(DC, Row, RWidth - P.EllipsisWidth, P);
    DrawRowText(DC, Row, Length, P);

    // The selected part, drawn again over its own background.
    const int RowStart = Row.StartOffset;
    const int A = std::max(SelStart, RowStart), B = std::min(SelStart + SelLength, RowStart + Length);
    if (SelLength > 0 && A < B) {
      const int From = A - RowStart, To = B - RowStart;
      int X1, X2;
      if (uxIsMultiByteTextStart(P.CharSet, AnsiString(Row.Text, Length))) {
        const int Right = Row.TextOriginX + ExtentOf(DC, Row.Text, Length, P.ExpandTabs);
        X1 = Right - ExtentOf(DC, Row.Text + From, Length - From, P.ExpandTabs);
        X2 = Right - ExtentOf(DC, Row.Text + To, Length - To, P.ExpandTabs);
      } else {
        std::vector<int> Dx(std::size_t(Length) + 1, 0);
        SIZE S;
        GetTextExtentExPointA(DC, Row.Text, Length, 0, nullptr, Dx.data(), &S);
        X1 = Row.TextOriginX + (From > 0 ? Dx[From - 1] : 0);
        X2 = Row.TextOriginX + Dx[To - 1];
      }
      TRect Part = uxRect(X1, Row.TextOriginY, X2, RowBottom);
      HRGN SelSaved = uxSetClipRect(DC, Part);
      HBRUSH Brush = CreateSolidBrush(ColorToRGB(SelBkColor));
      FillRect(DC, &Part, Brush);
      DeleteObject(Brush);
      const COLORREF OldColor = SetTextColor(DC, ColorToRGB(SelTextColor));
      DrawRowText(DC, Row, Length, P);
      SetTextColor(DC, OldColor);
      uxRestoreClipRegion(DC, SelSaved);
    }
    if (NeedsEllipsis) {
      const int X = Row.TextOriginX + ExtentOf(DC, Row.Text, Length, P.ExpandTabs);
      const bool Fits = X + P.EllipsisWidth <= R.right;
      ExtTextOutA(DC, X, Row.TextOriginY, (Fits || P.NoClip) ? 0 : ETO_CLIPPED, &R, uxtoEllipsis,
                  UINT(uxtoEllipsisLength), nullptr);
    }
    if (Clipped) uxRestoreClipRegion(DC, Saved);
    if (Justify) SetTextJustification(DC, 0, 0);
  }
  SetBkMode(DC, OldMode);
}

}  // namespace

void uxGetTextExtent(HDC DC, const char* Text, int Length, TSize& Size, bool ExpandTabs) {
  Size.cx = Size.cy = 0;
  if (ExpandTabs) {
    const DWORD E = GetTabbedTextExtentA(DC, Text, Length, 0, nullptr);
    Size.cx = LOWORD(E);
    Size.cy = HIWORD(E);
  } else {
    GetTextExtentPoint32A(DC, Text, Length, &Size);
  }
}

HRGN uxSetClipRect(HDC DC, const TRect& R) {
  HRGN Saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, Saved) != 1) {
    DeleteObject(Saved);
    Saved = nullptr;
  }
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  return Saved;
}

void uxRestoreClipRegion(HDC DC, HRGN& Region) {
  SelectClipRgn(DC, Region);
  if (Region) DeleteObject(Region);
  Region = nullptr;
}

void uxPrepareTextParams(HDC DC, int Flags, TuxTextParams& Params) {
  Params = TuxTextParams();
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  Params.RowHeightWithoutLeading = TM.tmHeight;
  if (Flags & UXTO_EXTERNALLEADING) Params.ExternalLeading = TM.tmExternalLeading;
  Params.RowHeight = Params.RowHeightWithoutLeading + Params.ExternalLeading;
  Params.EndEllipsis = (Flags & UXTO_END_ELLIPSIS) != 0;
  if (Params.EndEllipsis) Params.EllipsisWidth = ExtentOf(DC, uxtoEllipsis, uxtoEllipsisLength, false);
  Params.BreakChar = char(TM.tmBreakChar ? TM.tmBreakChar : ' ');
  Params.HorzAlignment = Flags & UXTO_HORZ_ALIGN_MASK;
  Params.VertAlignment = Flags & UXTO_VERT_ALIGN_MASK;
  Params.PreventLeftExceed = (Flags & UXTO_PREVENT_LEFT_EXCEED) != 0;
  Params.PreventTopExceed = (Flags & UXTO_PREVENT_TOP_EXCEED) != 0;
  Params.WordBreak = (Flags & UXTO_WORDBREAK) != 0;
  Params.SingleLine = (Flags & UXTO_SINGLELINE) != 0;
  Params.ExpandTabs = (Flags & UXTO_EXPANDTABS) != 0;
  Params.FullRowsOnly = (Flags & UXTO_FULL_ROWS_ONLY) != 0;
  Params.NoClip = (Flags & UXTO_NOCLIP) != 0;
  Params.CharBreak = (Flags & UXTO_CHARBREAK) != 0;
  Params.CalcOnly = (Flags & UXTO_CALCRECT) != 0;
  Params.CalcRowCount = (Flags & UXTO_CALCROWCOUNT) != 0;
  Params.MaxCharWidth = TM.tmMaxCharWidth;
  Params.CharSet = TM.tmCharSet;
}

void uxPrepareTextParams(TCanvas* Canvas, int Flags, TuxTextParams& Params) {
  uxPrepareTextParams(TuxCanvas(Canvas).Handle(), Flags, Params);
}

bool uxMakeTextRows(HDC DC, const char* Text, const TRect& R, int MaxLineCount, int& RowCount, TuxTextRows& Rows,
                    const TuxTextParams& Params) {
  Rows.clear();
  RowCount = 0;
  const int Length = Text ? int(std::strlen(Text)) : 0;
  if (Length == 0) return true;
  const int Width = R.right - R.left, Height = R.bottom - R.top;
  if (Params.CalcOnly && Params.SingleLine) {
    TuxTextRow Row;
    Row.Text = Text;
    Row.TextLength = Length;
    uxGetTextExtent(DC, Text, Length, Row.TextExtents, Params.ExpandTabs);
    Rows.push_back(Row);
    RowCount = 1;
    return true;
  }
  const bool ByCount = Params.VertAlignment != UXTO_TOP || Params.CalcOnly;
  int Pos = 0;
  int Accumulated = 0;
  while (Pos < Length) {
    const int Index = RowCount;
    bool Last = false;
    if (Params.SingleLine) {
      Last = true;
    } else {
      if (MaxLineCount > 0 && Index + 1 >= MaxLineCount) Last = true;
      if (!ByCount) {
        const bool Clipping = !Params.NoClip;
        // A row that would be cut at the bottom is not laid out at all.
        if (Params.FullRowsOnly && Clipping && Index > 0 && Accumulated + Params.RowHeight > Height) break;
        if (Accumulated + Params.RowHeight >= Height) Last = true;
        if (Params.FullRowsOnly && Clipping && Accumulated + 2 * Params.RowHeight > Height) Last = true;
      }
    }
    TuxTextRow Row;
    const int Next = BreakRow(DC, Text, Pos, Length, Width, Last, Params, Row);
    // Every row moves on by at least one character.
    Pos = Next > Pos ? Next : Pos + CharBytes(Text, Pos, Length);
    Rows.push_back(Row);
    ++RowCount;
    Accumulated += Params.RowHeight;
    if (Last) break;
  }
  return Params.SingleLine || Params.CalcOnly || !(MaxLineCount > 0 && RowCount == MaxLineCount && Pos < Length);
}

int uxTextOut(HDC DC, const char* Text, TRect& R, int Flags, int SelStart, int SelLength, TColor SelBkColor,
              TColor SelTextColor, int MaxLineCount, int LeftIndent, int RightIndent) {
  if (!Text || !*Text) return 0;
  TuxTextParams P;
  uxPrepareTextParams(DC, Flags, P);
  TRect TextR = R;
  TextR.left += LeftIndent;
  TextR.right -= RightIndent;
  if (P.CalcOnly ? TextR.right <= TextR.left : uxIsRectEmpty(TextR)) return 0;

  TuxTextRows Rows;
  int RowCount = 0;
  const bool Whole = uxMakeTextRows(DC, Text, TextR, MaxLineCount, RowCount, Rows, P);
  if (P.CalcOnly) {
    if (MaxLineCount > 0 && MaxLineCount < RowCount) RowCount = MaxLineCount;
    int Widest = 0;
    for (int I = 0; I < RowCount; ++I) Widest = std::max(Widest, int(Rows[I].TextExtents.cx));
    TextR.right = TextR.left + Widest;
    if (!P.SingleLine) {
      uxMakeTextRows(DC, Text, TextR, MaxLineCount, RowCount, Rows, P);
      if (MaxLineCount > 0 && MaxLineCount < RowCount) RowCount = MaxLineCount;
    }
    PlaceRows(TextR, Rows, RowCount, P);
    if (RowCount > 0) TextR.bottom = Rows[RowCount - 1].TextOriginY + P.RowHeight;
    R = TextR;
    R.left -= LeftIndent;
    R.right += RightIndent;
  } else {
    if (MaxLineCount > 0 && RowCount > MaxLineCount) RowCount = MaxLineCount;
    const bool EllipsisRequested = !Whole && P.EndEllipsis && P.FullRowsOnly && !P.SingleLine;
    const int Length = int(std::strlen(Text));
    if (SelStart < 0 || SelStart >= Length) SelLength = 0;
    else if (SelStart + SelLength > Length) SelLength = Length - SelStart;
    PlaceRows(TextR, Rows, RowCount, P);
    DrawRows(DC, TextR, Rows, RowCount, EllipsisRequested, SelStart, SelLength, SelBkColor, SelTextColor, P);
  }
  if (RowCount == 0) return 0;
  const int Height = Rows[RowCount - 1].TextOriginY + P.RowHeight - TextR.top;
  return (P.CalcRowCount || Height == 0) ? RowCount : Height;
}

int uxCanvasTextOut(TCanvas* Canvas, const char* Text, TRect& R, int Flags, int SelStart, int SelLength,
                    TColor SelBkColor, TColor SelTextColor, int MaxLineCount, int LeftIndent, int RightIndent) {
  return uxTextOut(TuxCanvas(Canvas).Handle(), Text, R, Flags, SelStart, SelLength, SelBkColor, SelTextColor,
                   MaxLineCount, LeftIndent, RightIndent);
}

int uxDrawEditText(TCanvas* Canvas, const AnsiString& Text, TRect& R, int Flags, int MaxLineCount, int LeftIndent,
                   int RightIndent) {
  return uxCanvasTextOut(Canvas, Text.c_str(), R, Flags, 0, 0, clBlack, clWhite, MaxLineCount, LeftIndent,
                         RightIndent);
}
