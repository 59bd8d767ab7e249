// Painting: the gutter with line numbers, wrap marks, border and marks; the
// text rows in token colours with the selection, the caret line colour,
// visible special characters and the right edge; invalidation; the caret.
#include <algorithm>
#include <climits>

#include "editor/txtdbcs.h"
#include "editor/txtedit.h"
#include "platform/win/system.h"

// What one DrawTextArea call shares between its steps.
struct TCustomTxtEdit::PaintState {
  TRect Clip;
  int FirstRow = 0, LastRow = 0, FirstColumn = 0, LastColumn = 0;
  int FirstLine = 0, LastLine = 0;
  int EdgeX = 0;
  bool DrawEdge = false;
  // the visible selection, as display positions
  bool AnySelection = false;
  TBufferCoord SelStart, SelEnd;
  // per line
  AnsiString LineText;
  int Line = 0;
  bool CaretLine = false;
  bool Special = false;
  TColor LineFg = 0, LineBg = 0, SelFg = 0, SelBg = 0;
  int LineEndMarkColumn = 0;  // display column of the line-end mark, 0 for none
  // per row
  int RowFirstColumn = 0, RowLastColumn = 0;
  int SpanStart = 0, SpanEnd = 0;
  bool PartlySelected = false, WhollySelected = false;
  // the run of tokens of one look
  AnsiString Run;
  int RunColumnsBefore = 0;
  TColor RunFg = 0, RunBg = 0;
  TheStyle RunStyle = 0;
  TRect TokenRect, RowRect;
  // current drawing colours
  TColor DrawFg = 0, DrawBg = 0;
};

namespace {

bool AllSpaces(const AnsiString& S) {
  for (char c : S)
    if (c != ' ') return false;
  return !S.empty();
}

// The marks of visible special characters are drawn as small shapes: the
// single bytes a code page 936 text could use for them would pair with the
// next byte into a double-byte character.
enum TSpecialMark { smkSpace, smkTab, smkLineEnd };

void DrawSpecialMark(HDC DC, TSpecialMark Kind, const RECT& Cell, COLORREF Color) {
  const int w = Cell.right - Cell.left, h = Cell.bottom - Cell.top;
  if (w <= 0 || h <= 0) return;
  HBRUSH brush = CreateSolidBrush(Color);
  auto box = [&](int l, int t, int r, int b) {
    RECT rc{Cell.left + l, Cell.top + t, Cell.left + r, Cell.top + b};
    FillRect(DC, &rc, brush);
  };
  const int cx = w / 2, cy = h / 2;
  switch (Kind) {
    case smkSpace:  // a centred dot
      box(cx - 1, cy - 1, cx + 1, cy + 1);
      break;
    case smkTab: {  // two chevrons pointing right
      const int s = std::max(1, std::min(w, h) / 4);
      for (int k = 0; k <= s; ++k) {
        box(cx - s - 1 + k, cy - s + k, cx - s + k, cy - s + k + 1);
        box(cx - s - 1 + k, cy + s - k, cx - s + k, cy + s - k + 1);
        box(cx + k, cy - s + k, cx + k + 1, cy - s + k + 1);
        box(cx + k, cy + s - k, cx + k + 1, cy + s - k + 1);
      }
      break;
    }
    case smkLineEnd: {  // a pilcrow: a filled bowl and two stems
      const int top = std::max(1, h / 5), bottom = h - std::max(1, h / 6);
      const int right = std::min(w - 1, cx + 2);
      box(cx - 2, top, cx + 1, top + std::max(2, h / 4));
      box(cx, top, cx + 1, bottom);
      box(right, top, right + 1, bottom);
      box(cx - 2, top, right + 1, top + 1);
      break;
    }
  }
  DeleteObject(brush);
}

}  // namespace

// ---------------------------------------------------------------- colours

TColor TCustomTxtEdit::LineBackground(int Line) {
  if (FActiveLineColor != clNone && Line == FCaretY) return FActiveLineColor;
  if (FHighlighter) {
    TTxtHighlighterAttributes* a = FHighlighter->DefaultAttribute(4);
    if (a && a->Background() != clNone) return a->Background();
  }
  return Color();
}

// ---------------------------------------------------------------- paint entry

void TCustomTxtEdit::Paint() {
  TCanvas* c = Canvas();
  const TRect clip = c->ClipRect();
  const int cw = std::max(FCharWidth, 1), lh = std::max(FLineHeight, 1);
  int firstCol = FLeftChar;
  if (clip.left > FGutterWidth + 2) firstCol += (clip.left - FGutterWidth - 2) / cw;
  const int lastCol = FLeftChar + (clip.right - FGutterWidth - 2 + cw - 1) / cw;
  const int firstRow = std::max(FTopLine + clip.top / lh, FTopLine);
  const int lastRow = ClampInt(FTopLine + (clip.bottom + lh - 1) / lh, 1, std::max(1, DisplayRowCount()));
  HideCaretNow();
  try {
    if (clip.left < FGutterWidth) {
      TRect g = clip;
      g.right = std::min(g.right, FGutterWidth);
      DrawGutterArea(g, firstRow, lastRow);
    }
    if (clip.right > FGutterWidth) {
      TRect t = clip;
      t.left = std::max(t.left, FGutterWidth);
      DrawTextArea(t, firstRow, lastRow, firstCol, lastCol);
    }
    for (TTxtEditPlugin* p : FPluginList) p->AfterPaint(c, clip, firstRow, lastRow);
    FirePaint();
    FirePaintTransient(ttAfter);
  } catch (...) {
    PositionSystemCaret();
    throw;
  }
  PositionSystemCaret();
}

void TCustomTxtEdit::FirePaint() {
  if (!OnPaint) return;
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetColor(Color());
  OnPaint(this, Canvas());
}

void TCustomTxtEdit::FirePaintTransientNested(TTransientType TransientType, bool Lock) {
  auto fire = [&]() {
    if (!OnPaintTransient) return;
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetColor(Color());
    HideCaretNow();
    try {
      OnPaintTransient(this, Canvas(), TransientType);
    } catch (...) {
      ShowCaretNow();
      throw;
    }
    ShowCaretNow();
  };
  if (!Lock) {
    if (FTransientPaintDepth == 0) fire();
    return;
  }
  if (TransientType == ttBefore) {
    if (FTransientPaintDepth == 0) fire();
    ++FTransientPaintDepth;
  } else {
    if (--FTransientPaintDepth <= 0) {
      FTransientPaintDepth = 0;
      fire();
    }
  }
}

// ---------------------------------------------------------------- gutter

void TCustomTxtEdit::DrawGutterArea(const TRect& Clip, int FirstRow, int LastRow) {
  TCanvas* c = Canvas();
  const int firstLine = LineOfRow(FirstRow), lastLine = std::min(LineOfRow(LastRow), std::max(LineCount(), 1));
  const bool gradient = FGutter->Gradient();
  if (gradient)
    FillGradient(c, FGutter->GradientStartColor(), FGutter->GradientEndColor(), true,
                 TRect{0, 0, FGutterWidth, ClientHeight()}, FGutter->GradientSteps());
  c->Brush()->SetColor(FGutter->Color());
  if (FGutter->ShowLineNumbers()) {
    const bool own = FGutter->UseFontStyle();
    if (own) FTextDrawer->SetBaseFont(FGutter->Font());
    else FTextDrawer->SetStyle(0);
    try {
      HDC dc = c->Handle();
      FTextDrawer->BeginDrawing(dc);
      FTextDrawer->SetForeColor(own ? FGutter->Font()->Color() : Font()->Color());
      FTextDrawer->SetBackColor(FGutter->Color());
      if (gradient) SetBkMode(dc, TRANSPARENT);
      int prevBottom = Clip.top;
      for (int line = firstLine; line <= lastLine; ++line) {
        const int row = FirstRowOfLine(line);
        const int y = (row - FTopLine) * FLineHeight;
        if (FWordWrapPlugin && !gradient && y > prevBottom) {
          TRect band{Clip.left, prevBottom, Clip.right, y};
          c->FillRect(band);
        }
        TRect cell{Clip.left, y, std::max(int(Clip.right), FGutterWidth - 2), y + FLineHeight};
        AnsiString text = FGutter->LineNumberText(line);
        if (OnGutterGetText) OnGutterGetText(this, line, text);
        SIZE sz{0, 0};
        GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
        const int x = FGutterWidth - FGutter->RightOffset() - int(sz.cx) - 2;
        const int ty = y + (FLineHeight - int(sz.cy)) / 2;
        if (gradient) FTextDrawer->ExtTextOut(x, ty, 0, cell, text.c_str(), int(text.size()));
        else FTextDrawer->ExtTextOut(x, ty, ETO_OPAQUE, cell, text.c_str(), int(text.size()));
        prevBottom = y + FLineHeight;
      }
      if (!gradient && prevBottom < Clip.bottom) {
        TRect rest{Clip.left, prevBottom, Clip.right, Clip.bottom};
        c->FillRect(rest);
      }
      FTextDrawer->EndDrawing();
      c->Refresh();
    } catch (...) {
      if (FTextDrawer->DC()) FTextDrawer->EndDrawing();
      c->Refresh();
      if (own) FTextDrawer->SetBaseFont(Font());
      throw;
    }
    if (own) FTextDrawer->SetBaseFont(Font());
  } else if (!gradient) {
    c->FillRect(Clip);
  }
  // wrapped rows get the wrap glyph
  if (FWordWrapPlugin && FWordWrapGlyph->Visible()) {
    if (gradient) c->Brush()->SetStyle(bsClear);
    const int total = DisplayRowCount();
    for (int row = FirstRow; row <= LastRow && row <= total; ++row) {
      if (FirstRowOfLine(LineOfRow(row)) == row) continue;
      FWordWrapGlyph->Draw(c, FGutterWidth - FGutter->RightOffset() - FWordWrapGlyph->Width() - 2,
                           (row - FTopLine) * FLineHeight, FLineHeight);
    }
    if (gradient) c->Brush()->SetStyle(bsSolid);
  }
  if (FGutter->BorderStyle() != gbsNone && Clip.right >= FGutterWidth - 2) {
    c->Pen()->SetWidth(1);
    if (FGutter->BorderStyle() == gbsMiddle) {
      c->Pen()->SetColor(FGutter->BorderColor());
      c->MoveTo(FGutterWidth - 2, Clip.top);
      c->LineTo(FGutterWidth - 2, Clip.bottom);
      c->Pen()->SetColor(FGutter->Color());
    } else {
      c->Pen()->SetColor(FGutter->BorderColor());
    }
    c->MoveTo(FGutterWidth - 1, Clip.top);
    c->LineTo(FGutterWidth - 1, Clip.bottom);
  }
  // marks
  const int rows = LastRow - FirstRow + 1;
  std::vector<int> offsets(std::size_t(std::max(rows, 1)), 0);
  if (FBookMarkOptions->GlyphsVisible() && FMarks->Count() > 0 && lastLine >= firstLine) {
    bool other = false;
    for (int pass = 0; pass < 2; ++pass) {
      const bool firstGroup = pass == 0;
      if (!firstGroup && !other) break;
      for (int i = 0; i < FMarks->Count(); ++i) {
        TTxtEditMark* m = FMarks->Items(i);
        if (!m->Visible() || m->Line() < firstLine || m->Line() > lastLine) continue;
        const bool inGroup = (m->IsBookmark() == FBookMarkOptions->DrawBookmarksFirst()) == firstGroup;
        if (!inGroup) {
          other = true;
          continue;
        }
        const int row = FirstRowOfLine(m->Line());
        if (row < FirstRow || row > LastRow) continue;
        DrawMarkGlyph(m, offsets[std::size_t(row - FirstRow)], row, firstGroup);
      }
    }
    if (OnGutterPaint)
      for (int line = firstLine; line <= lastLine; ++line) {
        const int row = FirstRowOfLine(line);
        const int off = row >= FirstRow && row <= LastRow ? offsets[std::size_t(row - FirstRow)] : 0;
        OnGutterPaint(this, line, off, (row - FTopLine) * FLineHeight);
      }
  } else if (OnGutterPaint) {
    for (int line = firstLine; line <= lastLine; ++line)
      OnGutterPaint(this, line, 0, (FirstRowOfLine(line) - FTopLine) * FLineHeight);
  }
}

void TCustomTxtEdit::DrawMarkGlyph(TTxtEditMark* Mark, int& Offset, int Row, bool FirstGroup) {
  const int y = (Row - FTopLine) * FLineHeight;
  TCustomImageList* images = FBookMarkOptions->BookmarkImages();
  if (images && !Mark->UseInternalImage()) {
    if (Mark->ImageIndex() > images->Count()) return;
    if (FirstGroup) Offset = 0;
    else if (Offset == 0) Offset = FBookMarkOptions->Xoffset();
    images->Draw(Canvas(), FBookMarkOptions->LeftMargin() + Offset, y, Mark->ImageIndex());
  } else {
    if (Mark->ImageIndex() < 0 || Mark->ImageIndex() > 9) return;
    if (!FInternalImage) FInternalImage = std::make_unique<TTxtInternalImageStrip>("TxtEditInternalImages", 10);
    if (Offset == 0)
      FInternalImage->DrawCell(Canvas(), Mark->ImageIndex(), FBookMarkOptions->LeftMargin() + Offset, y, FLineHeight);
  }
  Offset += FBookMarkOptions->Xoffset();
}

// ---------------------------------------------------------------- text

void TCustomTxtEdit::DrawTextArea(const TRect& ClipIn, int FirstRow, int LastRow, int FirstColumn, int LastColumn) {
  TCanvas* c = Canvas();
  PaintState S;
  S.Clip = ClipIn;
  S.FirstRow = FirstRow;
  S.LastRow = LastRow;
  S.FirstColumn = FirstColumn;
  S.LastColumn = LastColumn;
  S.FirstLine = LineOfRow(FirstRow);
  S.LastLine = std::min(LineOfRow(LastRow), LineCount());
  if (FRightEdge > 0) {
    S.EdgeX = FTextStartX + FRightEdge * FCharWidth;
    S.DrawEdge = S.EdgeX >= S.Clip.left && S.EdgeX <= S.Clip.right;
  }
  auto resetRange = [&]() {
    if (FHighlighter) FHighlighter->ResetScanState();
  };
  if (S.Clip.left < FGutterWidth + 2) {
    resetRange();
    c->Brush()->SetColor(LineBackground(0));
    c->FillRect(TRect{std::max(int(S.Clip.left), FGutterWidth), S.Clip.top, FGutterWidth + 2, S.Clip.bottom});
    S.Clip.left = FGutterWidth + 2;
  }
  const int drawnRows = LineCount() == 0 ? 0 : LastRow;
  if (S.LastLine >= S.FirstLine && LineCount() > 0) {
    // the visible selection
    if (!(FHideSelection && !HasFocusNow()) &&
        !(FSelectionAnchor.Line == FSelectionFocus.Line && FSelectionAnchor.Char == FSelectionFocus.Char)) {
      TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
      if (FActiveSelectionMode == smColumn || HasSelection()) {
        if (e.Line >= S.FirstLine && s.Line <= S.LastLine) {
          S.AnySelection = true;
          S.SelStart = TextPosToDisplayPos(s);
          S.SelEnd = TextPosToDisplayPos(e);
          if (FActiveSelectionMode == smColumn && S.SelStart.Char > S.SelEnd.Char)
            std::swap(S.SelStart.Char, S.SelEnd.Char);
        }
      }
    }
    FTextDrawer->SetStyle(StyleBits(Font()->Style()));
    FTextDrawer->BeginDrawing(c->Handle());
    try {
      PaintRows(S);
    } catch (...) {
      FTextDrawer->EndDrawing();
      c->Refresh();
      throw;
    }
    FTextDrawer->EndDrawing();
    c->Refresh();  // the drawer restored the device context under the canvas
  }
  // below the last row
  const int top = (std::max(drawnRows, FTopLine - 1) - FTopLine + 1) * FLineHeight;
  if (top < S.Clip.bottom) {
    resetRange();
    c->Brush()->SetColor(LineBackground(0));
    c->FillRect(TRect{S.Clip.left, std::max(top, int(S.Clip.top)), S.Clip.right, S.Clip.bottom});
    if (S.DrawEdge) {
      c->Pen()->SetColor(FRightEdgeColor);
      c->Pen()->SetWidth(1);
      c->MoveTo(S.EdgeX, std::max(top, int(S.Clip.top)));
      c->LineTo(S.EdgeX, S.Clip.bottom + 1);
    }
  }
}

void TCustomTxtEdit::PaintRows(PaintState& S) {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  const bool hl = FHighlighter && FHighlighter->Enabled();
  const int cw = FCharWidth;
  auto columnX = [&](int Col) { return (Col - 1) * cw + FTextStartX; };

  auto useColors = [&](bool Selected) {
    if (Selected) {
      S.DrawBg = S.SelBg;
      S.DrawFg = S.SelFg;
    } else {
      S.DrawBg = S.RunBg;
      S.DrawFg = S.RunFg;
    }
    FTextDrawer->SetBackColor(S.DrawBg);
    FTextDrawer->SetForeColor(S.DrawFg);
    c->Brush()->SetColor(S.DrawBg);
  };

  // Draws columns First..Last of Text, whose first character stands after ColumnsBefore columns.
  auto drawPart = [&](const AnsiString& Text, int ColumnsBefore, int First, int Last) {
    if (Last < First || S.TokenRect.right <= S.TokenRect.left) return;
    int x = columnX(First);
    First -= ColumnsBefore;
    Last -= ColumnsBefore;
    const int len = int(Text.size());
    int count = 0;
    AnsiString shown;
    if (First <= len) {
      if (First > 1 && IsTrailAt(Text, First)) {
        --First;
        x -= cw;
      }
      count = std::min(Last - First + 1, len - First + 1);
      shown = Text.substr(std::size_t(First - 1), std::size_t(std::max(count, 0)));
    }
    // tabs are blank cells; visible marks are drawn over the blanks
    std::vector<std::pair<int, TSpecialMark>> marks;  // index in shown
    for (int i = 0; i < int(shown.size()); ++i) {
      const int col = ColumnsBefore + First + i;  // display column of shown[i]
      if (shown[std::size_t(i)] == '\t') {
        shown[std::size_t(i)] = ' ';
      } else if (S.LineEndMarkColumn && col == S.LineEndMarkColumn) {
        shown[std::size_t(i)] = ' ';
        if (FShowingSpecialChars) marks.push_back({i, smkLineEnd});
      } else if (shown[std::size_t(i)] == ' ' && FShowingSpecialChars) {
        marks.push_back({i, smkSpace});
      }
    }
    FTextDrawer->ExtTextOut(x, S.TokenRect.top, ETO_OPAQUE | ETO_CLIPPED, S.TokenRect, shown.c_str(),
                            std::max(count, 0));
    const COLORREF fg = ColorToRGB(S.DrawFg);
    for (const auto& m : marks) {
      RECT cell{x + m.first * cw, S.TokenRect.top, x + (m.first + 1) * cw, S.TokenRect.bottom};
      IntersectRect(&cell, &cell, &S.TokenRect);
      DrawSpecialMark(dc, m.second, cell, fg);
    }
    // one mark centred over each run of tab cells
    if (FShowingSpecialChars && count > 0) {
      for (int p = 1; p <= count; ++p) {
        const int at = First + p - 1;  // position in Text
        if (Text[std::size_t(at - 1)] != '\t') continue;
        if (at > First && Text[std::size_t(at - 2)] == '\t' && (ColumnsBefore + at - 1) % FTabWidth != 0) continue;
        int n = 1;
        while ((ColumnsBefore + at + n - 1) % FTabWidth != 0) ++n;
        int mx = columnX(ColumnsBefore + at + n / 2 - 1) + (n % 2 ? cw : cw / 2);
        RECT cell{mx, S.TokenRect.top, mx + cw, S.TokenRect.bottom};
        RECT vis;
        if (IntersectRect(&vis, &cell, &S.TokenRect)) {
          HRGN rgn = CreateRectRgnIndirect(&S.TokenRect);
          int saved = SaveDC(dc);
          ExtSelectClipRgn(dc, rgn, RGN_AND);
          DrawSpecialMark(dc, smkTab, cell, fg);
          RestoreDC(dc, saved);
          DeleteObject(rgn);
        }
      }
    }
    S.TokenRect.left = S.TokenRect.right;
  };

  auto skipOverhang = [&]() {
    if (S.Run.empty() || S.RunStyle == 0) return;
    const unsigned char last = static_cast<unsigned char>(S.Run.back());
    UINT code = last;
    if (S.Run.size() >= 2 && IsTrailAt(S.Run, int(S.Run.size())))
      code = (UINT(static_cast<unsigned char>(S.Run[S.Run.size() - 2])) << 8) | last;
    ABC abc;
    int width;
    if (GetCharABCWidthsA(dc, code, code, &abc)) width = abc.abcA + int(abc.abcB) + (abc.abcC >= 0 ? abc.abcC : 0);
    else {
      SIZE sz{0, 0};
      char buf[2] = {char(code >> 8), char(code & 0xFF)};
      if (code > 0xFF) GetTextExtentPoint32A(dc, buf, 2, &sz);
      else GetTextExtentPoint32A(dc, buf + 1, 1, &sz);
      width = int(sz.cx);
    }
    const int cellW = code > 0xFF ? 2 * cw : cw;
    if (width > cellW) S.TokenRect.left += width - cellW;
  };

  auto flush = [&](bool FillToEnd) {
    const int c1 = std::max(S.FirstColumn, S.RunColumnsBefore + 1);
    const int c2 = std::min(S.LastColumn, S.RunColumnsBefore + int(S.Run.size()) + 1);
    bool before = false, inside, after = false, complex = false;
    if (S.PartlySelected) {
      before = c1 < S.SpanStart;
      inside = c1 < S.SpanEnd && c2 >= S.SpanStart;
      after = c2 >= S.SpanEnd;
      complex = inside && (before || after);
    } else {
      inside = S.WhollySelected;
    }
    if (!S.Run.empty()) {
      if (!S.Special) {
        S.LineFg = S.RunFg;
        S.LineBg = S.RunBg;
      } else if (Has(eoSpecialLineDefaultFg)) {
        S.LineFg = S.RunFg;
      }
      FTextDrawer->SetStyle(S.RunStyle);
      if (complex) {
        if (before) {
          useColors(false);
          S.TokenRect.right = columnX(S.SpanStart);
          drawPart(S.Run, S.RunColumnsBefore, c1, S.SpanStart);
        }
        useColors(true);
        const int s1 = std::max(S.SpanStart, c1), s2 = std::min(S.SpanEnd, c2);
        S.TokenRect.right = columnX(s2);
        drawPart(S.Run, S.RunColumnsBefore, s1, s2);
        if (after) {
          useColors(false);
          S.TokenRect.right = columnX(c2);
          drawPart(S.Run, S.RunColumnsBefore, S.SpanEnd, c2);
        }
      } else {
        useColors(inside);
        S.TokenRect.right = columnX(c2);
        drawPart(S.Run, S.RunColumnsBefore, c1, c2);
      }
    }
    if (FillToEnd && S.TokenRect.left < S.RowRect.right) {
      if (!S.Special) S.RunBg = LineBackground(S.Line);
      else S.RunBg = S.LineBg;
      S.RunFg = S.LineFg;
      auto fill = [&](int Right, bool Selected) {
        useColors(Selected);
        S.TokenRect.right = Right;
        skipOverhang();
        if (S.TokenRect.left < S.TokenRect.right) c->FillRect(S.TokenRect);
        S.TokenRect.left = Right;
      };
      if (S.PartlySelected) {
        const int x1 = columnX(S.SpanStart), x2 = columnX(S.SpanEnd);
        if (S.TokenRect.left < x1) fill(x1, false);
        if (S.TokenRect.left < x2) fill(x2, true);
        if (S.TokenRect.left < S.RowRect.right) fill(S.RowRect.right, false);
      } else {
        fill(S.RowRect.right, S.WhollySelected);
      }
    }
  };

  auto accumulate = [&](const AnsiString& Text, int ColumnsBefore, TTxtHighlighterAttributes* Attri) {
    TColor fg, bg;
    TheStyle style;
    if (Attri) {
      fg = Attri->Foreground();
      bg = Attri->Background();
      style = TheStyle(Attri->Style() & 15);
    } else {
      fg = S.LineFg;
      bg = S.LineBg;
      style = StyleBits(Font()->Style());
    }
    if (bg == clNone || (FActiveLineColor != clNone && S.CaretLine)) bg = LineBackground(S.Line);
    if (fg == clNone) fg = Font()->Color();
    if (!S.Run.empty()) {
      bool join = false;
      const bool spaces = AllSpaces(Text);
      if (S.RunStyle == style || (!(style & 4) && !(S.RunStyle & 4) && spaces)) {
        if ((S.Special && !Has(eoSpecialLineDefaultFg)) || S.WhollySelected ||
            (S.RunBg == bg && (S.RunFg == fg || (spaces && !FShowingSpecialChars))))
          join = true;
      }
      if (join) {
        S.Run += Text;
        return;
      }
      flush(false);
    }
    S.Run = Text;
    S.RunColumnsBefore = ColumnsBefore;
    S.RunFg = fg;
    S.RunBg = bg;
    S.RunStyle = style;
  };

  S.RowRect = TRect{S.Clip.left, (S.FirstRow - FTopLine) * FLineHeight, S.Clip.right, 0};
  S.RowRect.bottom = S.RowRect.top;
  const int totalRows = DisplayRowCount();
  for (int line = S.FirstLine; line <= S.LastLine; ++line) {
    S.Line = line;
    S.LineText = FLines->ExpandedLine(line - 1);
    S.CaretLine = line == FCaretY;
    S.LineFg = Font()->Color();
    S.LineBg = LineBackground(line);
    S.Special = FireSpecialLineColors(line, S.LineFg, S.LineBg);
    if (S.Special) {
      S.SelFg = S.LineBg;
      S.SelBg = S.LineFg;
    } else {
      S.SelFg = FSelectedColor->Foreground();
      S.SelBg = FSelectedColor->Background();
    }
    const int firstRowOfLine = FirstRowOfLine(line);
    const int lastRowOfLine = FWordWrapPlugin ? (line < LineCount() ? FirstRowOfLine(line + 1) - 1 : totalRows) : line;
    for (int row = std::max(firstRowOfLine, S.FirstRow); row <= std::min(lastRowOfLine, S.LastRow); ++row) {
      // a. the row's columns in the line
      if (FWordWrapPlugin) {
        S.RowFirstColumn = FWordWrapPlugin->MapDisplayToBuffer(TBufferCoord{hl ? S.FirstColumn : 1, row}).Char;
        S.RowLastColumn = FWordWrapPlugin->MapDisplayToBuffer(TBufferCoord{S.LastColumn, row}).Char;
      } else {
        S.RowFirstColumn = S.FirstColumn;
        S.RowLastColumn = S.LastColumn;
      }
      // b. the selected span of the row
      S.SpanStart = S.SpanEnd = 0;
      S.PartlySelected = false;
      if (S.AnySelection && row >= S.SelStart.Line && row <= S.SelEnd.Line) {
        S.SpanStart = S.FirstColumn;
        S.SpanEnd = S.LastColumn + 1;
        const bool column = FActiveSelectionMode == smColumn;
        if (column || (FActiveSelectionMode == smNormal && row == S.SelStart.Line)) {
          if (S.SelStart.Char > S.LastColumn) {
            S.SpanStart = S.SpanEnd = 0;
          } else if (S.SelStart.Char > S.FirstColumn) {
            S.SpanStart = S.SelStart.Char;
            S.PartlySelected = true;
          }
        }
        if (column || (FActiveSelectionMode == smNormal && row == S.SelEnd.Line)) {
          if (S.SelEnd.Char < S.FirstColumn) {
            S.SpanStart = S.SpanEnd = 0;
          } else if (S.SelEnd.Char < S.LastColumn) {
            S.SpanEnd = S.SelEnd.Char;
            S.PartlySelected = true;
          }
        }
        if (column && S.SpanStart > 0) {
          if (IsTrailAt(S.LineText, S.SpanStart)) ++S.SpanStart;
          if (IsTrailAt(S.LineText, S.SpanEnd)) ++S.SpanEnd;
        }
        if (S.SpanStart == 0) S.PartlySelected = false;
      }
      // c. the row's rectangle
      S.RowRect.top = S.RowRect.bottom;
      S.RowRect.bottom += FLineHeight;
      S.WhollySelected = !S.PartlySelected && S.SpanStart > 0;
      S.TokenRect = S.RowRect;
      const bool lastRow = row == lastRowOfLine;
      const int textLen = int(S.LineText.size());
      S.LineEndMarkColumn = 0;
      if (hl) {
        // d. the highlighter's tokens
        if (line == 1) FHighlighter->ResetScanState();
        else FHighlighter->RestoreScanState(FLines->GetRangeState(line - 2));
        FHighlighter->StartLine(S.LineText, line - 1);
        S.Run.clear();
        int covered = 0;
        bool broke = false;
        while (!FHighlighter->AtLineEnd()) {
          AnsiString token = FHighlighter->TokenText();
          if (token.empty()) {
            FHighlighter->NextToken();
            if (FHighlighter->AtLineEnd()) break;
            token = FHighlighter->TokenText();
            if (token.empty()) throw Exception("The highlighter seems to be in an infinite loop");
          }
          const int start = FHighlighter->TokenStart();
          int len = int(token.size());
          covered = start + len;
          if (start + len >= S.RowFirstColumn) {
            if (start + len > S.RowLastColumn) {
              if (start >= S.RowLastColumn) {
                broke = true;
                break;
              }
              len = S.RowLastColumn - start - 1;
              if (len <= 0) {
                broke = true;
                break;
              }
              token.resize(std::size_t(len));
            }
            accumulate(token, start + S.FirstColumn - S.RowFirstColumn, FHighlighter->TokenAttribute());
          }
          FHighlighter->NextToken();
        }
        if (!broke && covered < S.RowLastColumn) {
          const int from = std::max(covered, S.RowFirstColumn - 1);
          const int n = std::min(textLen, S.RowLastColumn) - from - 1;
          if (n > 0) accumulate(S.LineText.substr(std::size_t(from), std::size_t(n)), from + S.FirstColumn - S.RowFirstColumn, nullptr);
          if (FShowingSpecialChars && textLen < S.RowLastColumn && lastRow) {
            S.LineEndMarkColumn = textLen + S.FirstColumn - S.RowFirstColumn + 1;
            accumulate(" ", textLen + S.FirstColumn - S.RowFirstColumn, nullptr);
          }
        }
        flush(true);
      } else {
        // e. the whole row in one look
        AnsiString text;
        if (FWordWrapPlugin) {
          const int from = S.RowFirstColumn;
          if (from <= textLen) text = S.LineText.substr(std::size_t(from - 1), std::size_t(std::max(0, S.RowLastColumn - from)));
        } else {
          text = S.LineText.substr(0, std::size_t(std::min(textLen, S.RowLastColumn)));
        }
        // the row's text starts in display column 1
        const int before = 0;
        if (FShowingSpecialChars && lastRow && (FWordWrapPlugin || textLen < S.RowLastColumn) &&
            int(text.size()) + 1 <= S.LastColumn) {
          S.LineEndMarkColumn = int(text.size()) + 1;
          text += ' ';
        }
        S.RunFg = S.LineFg;
        S.RunBg = S.LineBg;
        if (S.PartlySelected) {
          useColors(false);
          S.TokenRect.left = std::max(int(S.RowRect.left), columnX(S.FirstColumn));
          S.TokenRect.right = std::min(int(S.RowRect.right), columnX(S.SpanStart));
          drawPart(text, before, S.FirstColumn, S.SpanStart);
          S.TokenRect.left = std::max(int(S.RowRect.left), columnX(S.SpanEnd));
          S.TokenRect.right = std::min(int(S.RowRect.right), columnX(S.LastColumn));
          drawPart(text, before, S.SpanEnd, S.LastColumn);
          useColors(true);
          S.TokenRect.left = std::max(int(S.RowRect.left), columnX(S.SpanStart));
          S.TokenRect.right = std::min(int(S.RowRect.right), columnX(S.SpanEnd));
          drawPart(text, before, S.SpanStart, S.SpanEnd - 1);
        } else {
          useColors(S.WhollySelected);
          S.TokenRect.right = S.RowRect.right;
          drawPart(text, before, S.FirstColumn, S.LastColumn);
        }
      }
      // f. the right edge
      if (S.DrawEdge) {
        c->Pen()->SetColor(FRightEdgeColor);
        c->Pen()->SetWidth(1);
        c->MoveTo(S.EdgeX, S.RowRect.top);
        c->LineTo(S.EdgeX, S.RowRect.bottom + 1);
      }
    }
  }
}

// ---------------------------------------------------------------- invalidation

void TCustomTxtEdit::InvalidateArea(const TRect& Rect, bool Erase) {
  if (!HandleAllocated() || !Visible()) return;
  if (State(esStoreUpdating)) {
    if (IsRectEmpty(&FPendingInvalidArea)) FPendingInvalidArea = Rect;
    else UnionRect(&FPendingInvalidArea, &FPendingInvalidArea, &Rect);
    return;
  }
  InvalidateRect(Handle(), &Rect, Erase ? TRUE : FALSE);
}

void TCustomTxtEdit::InvalidateGutterRows(int FirstLine, int LastLine) {
  if (!HandleAllocated() || !Visible()) return;
  if (FirstLine == -1 && LastLine == -1) {
    InvalidateArea(TRect{0, 0, FGutterWidth, ClientHeight()}, false);
    return;
  }
  if (LastLine < FirstLine) std::swap(FirstLine, LastLine);
  int firstRow, lastRow;
  if (FWordWrapPlugin) {
    firstRow = FirstRowOfLine(std::max(FirstLine, 1));
    lastRow = LastLine > LineCount() ? FTopLine + FRowsInWindow : FirstRowOfLine(LastLine);
  } else {
    firstRow = FirstLine;
    lastRow = LastLine;
  }
  firstRow = std::max(firstRow, FTopLine);
  lastRow = std::min(lastRow, FTopLine + FRowsInWindow);
  if (lastRow < firstRow) return;
  InvalidateArea(TRect{0, (firstRow - FTopLine) * FLineHeight, FGutterWidth, (lastRow - FTopLine + 1) * FLineHeight},
                 false);
}

void TCustomTxtEdit::InvalidateTextLines(int FirstLine, int LastLine) {
  if (!HandleAllocated() || !Visible()) return;
  if (FirstLine == -1 && LastLine == -1) {
    InvalidateArea(TRect{FGutterWidth, 0, ClientWidth(), ClientHeight()}, false);
    return;
  }
  if (LastLine < FirstLine) std::swap(FirstLine, LastLine);
  FirstLine = std::max(FirstLine, 1);
  LastLine = std::max(LastLine, 1);
  const bool toEnd = LastLine >= LineCount();
  int firstRow, lastRow;
  if (FWordWrapPlugin) {
    firstRow = FirstRowOfLine(FirstLine);
    lastRow = toEnd ? FTopLine + FRowsInWindow : FirstRowOfLine(LastLine + 1) - 1;
  } else {
    firstRow = FirstLine;
    lastRow = toEnd ? FTopLine + FRowsInWindow : LastLine;
  }
  firstRow = std::max(firstRow, FTopLine);
  lastRow = std::min(lastRow, FTopLine + FRowsInWindow);
  if (lastRow < firstRow) return;
  InvalidateArea(
      TRect{FGutterWidth, (firstRow - FTopLine) * FLineHeight, ClientWidth(), (lastRow - FTopLine + 1) * FLineHeight},
      false);
}

void TCustomTxtEdit::InvalidateTextLine(int Line) {
  if (!HandleAllocated() || !Visible() || Line < 1 || Line > LineCount()) return;
  if (FWordWrapPlugin) {
    InvalidateTextLines(Line, Line);
    return;
  }
  if (Line < FTopLine || Line > FTopLine + FRowsInWindow) return;
  const int y = (Line - FTopLine) * FLineHeight;
  InvalidateArea(TRect{FGutterWidth, y, ClientWidth(), y + FLineHeight}, false);
}

void TCustomTxtEdit::InvalidateSelection() {
  InvalidateTextLines(GetSelectionStart().Line, GetSelectionEnd().Line);
}

// ---------------------------------------------------------------- caret

bool TCustomTxtEdit::HasFocusNow() { return HandleAllocated() && GetFocus() == Handle(); }

void TCustomTxtEdit::CreateSystemCaret() {
  const TTxtEditCaretType type = FInsertMode ? FInsertCaret : FOverwriteCaret;
  int w, h;
  TPoint off{0, 0};
  switch (type) {
    case ctHorizontalLine:
      w = FCharWidth;
      h = 2;
      off = {0, FLineHeight - 2};
      break;
    case ctHalfBlock:
      w = FCharWidth;
      h = (FLineHeight - 2) / 2;
      off = {0, h};
      break;
    case ctBlock:
      w = FCharWidth;
      h = FLineHeight - 2;
      break;
    default:
      w = 2;
      h = FLineHeight - 2;
      off = {-1, 0};
      break;
  }
  FCaretShapeOffset = off;
  SetState(esSystemCaretShown, false);
  if (HandleAllocated() && (HasFocusNow() || FCaretShownUnfocused)) {
    CreateCaret(Handle(), nullptr, w, h);
    PositionSystemCaret();
  }
}

void TCustomTxtEdit::DestroySystemCaret() {
  HideCaretNow();
  DestroyCaret();
  SetState(esSystemCaretShown, false);
}

void TCustomTxtEdit::PositionSystemCaret() {
  if (FPaintLock > 0 || !HandleAllocated() || !(HasFocusNow() || FCaretShownUnfocused)) {
    SetState(esCaretPending, true);
    return;
  }
  SetState(esCaretPending, false);
  TBufferCoord d = GetDisplayCaret();
  if (FWordWrapPlugin) d.Char = std::min(d.Char, FColumnsInWindow + 1);
  TPoint p = DisplayPosToPixels(d);
  p.x += FCaretShapeOffset.x;
  p.y += FCaretShapeOffset.y + 1;
  SetCaretPos(p.x, p.y);
  const TRect client = ClientRect();
  if (p.x >= FGutterWidth && p.x < client.right && p.y >= client.top && p.y < client.bottom) ShowCaretNow();
  else HideCaretNow();
  if (HIMC imc = ImmGetContext(Handle())) {
    COMPOSITIONFORM cf;
    cf.dwStyle = CFS_POINT;
    cf.ptCurrentPos = POINT{p.x, p.y};
    ImmSetCompositionWindow(imc, &cf);
    ImmReleaseContext(Handle(), imc);
  }
}

void TCustomTxtEdit::ShowCaretNow() {
  if (Has(eoNoCaret) || State(esSystemCaretShown) || !HandleAllocated()) return;
  if (ShowCaret(Handle())) SetState(esSystemCaretShown, true);
}

void TCustomTxtEdit::HideCaretNow() {
  if (!State(esSystemCaretShown) || !HandleAllocated()) return;
  if (HideCaret(Handle())) SetState(esSystemCaretShown, false);
}
