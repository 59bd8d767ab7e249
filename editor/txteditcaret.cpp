// Coordinates, caret and selection: conversions between buffer, display and
// pixel positions, caret placement, the selection in its three modes, the
// selected text and its replacement, bookmarks.
#include <algorithm>
#include <climits>
#include <cmath>

#include "editor/txtdbcs.h"
#include "editor/txtedit.h"

namespace {

bool IsAllBlanksText(const AnsiString& S) {
  for (char c : S)
    if (c != ' ' && c != '\t') return false;
  return true;
}

AnsiString TrimTrailingBlanksText(const AnsiString& S) {
  std::size_t n = S.size();
  while (n > 0 && (S[n - 1] == ' ' || S[n - 1] == '\t')) --n;
  return S.substr(0, n);
}

// The pieces of a text split at its line breaks (CR LF, CR or LF each count once).
std::vector<AnsiString> SplitPieces(const AnsiString& Text) {
  std::vector<AnsiString> pieces;
  std::size_t start = 0, i = 0;
  const std::size_t n = Text.size();
  while (i < n) {
    if (Text[i] == '\r' || Text[i] == '\n') {
      pieces.push_back(Text.substr(start, i - start));
      if (Text[i] == '\r' && i + 1 < n && Text[i + 1] == '\n') ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  pieces.push_back(Text.substr(start));
  return pieces;
}

}  // namespace

// ---------------------------------------------------------------- small helpers

bool TCustomTxtEdit::IsTrailAt(const AnsiString& S, int Column) const {
  if (Column < 2 || Column > int(S.size())) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(S.data());
  const int n = int(S.size());
  int i = 0;
  while (i < Column - 1) i += int(txtdbcs::CharWidth(p, std::size_t(n), std::size_t(i)));
  return i > Column - 1;
}

TBufferCoord TCustomTxtEdit::MoveOffTrail(const TBufferCoord& P, int Direction) const {
  if (P.Line < 1 || P.Line > LineCount()) return P;
  if (!IsTrailAt(LineAt(P.Line), P.Char)) return P;
  return TBufferCoord{P.Char + (Direction < 0 ? -1 : 1), P.Line};
}

void TCustomTxtEdit::StoreLine(int Line, const AnsiString& Text) { FLines->Put(Line - 1, TextToStore(Line, Text)); }

AnsiString TCustomTxtEdit::TextToStore(int Line, const AnsiString& Text) {
  if (!Has(eoTrimTrailingSpaces) || FReplayDepth > 0) return Text;
  if (FEditDepth == 0) return TrimTrailingBlanksText(Text);
  if (std::find(FTrimLines.begin(), FTrimLines.end(), Line) == FTrimLines.end()) FTrimLines.push_back(Line);
  return Text;
}

void TCustomTxtEdit::BeginEdit() {
  if (FEditDepth++ > 0) return;
  FTrimLines.clear();
  FEditTop = FUndoList->Top();
  FEditCount = FUndoList->Count();
}

void TCustomTxtEdit::EndEdit() {
  if (FEditDepth <= 0 || --FEditDepth > 0) return;
  TrimEditedLines();
}

// Lines inserted or deleted during an edit move the lines it stored.
void TCustomTxtEdit::ShiftTrimLines(int Index, int Count) {
  if (FTrimLines.empty()) return;
  std::vector<int> kept;
  for (int l : FTrimLines) {
    if (Count > 0 && l - 1 >= Index) l += Count;
    else if (Count < 0 && l - 1 >= Index - Count) l += Count;
    else if (Count < 0 && l - 1 >= Index) continue;  // the line is gone
    kept.push_back(l);
  }
  FTrimLines = kept;
}

void TCustomTxtEdit::TrimEditedLines() {
  std::vector<int> lines;
  lines.swap(FTrimLines);
  if (!Has(eoTrimTrailingSpaces)) return;
  std::sort(lines.begin(), lines.end());
  // the records of this edit, when it made any: the trimming joins their step
  TTxtEditUndoItem* top = FUndoList->Top();
  const bool recorded = top && (top != FEditTop || FUndoList->Count() != FEditCount);
  const auto before = [](const TBufferCoord& A, const TBufferCoord& B) {
    return A.Line < B.Line || (A.Line == B.Line && A.Char <= B.Char);
  };
  for (int l : lines) {
    if (l < 1 || l > LineCount()) continue;
    const AnsiString line = LineAt(l);
    const AnsiString trimmed = TrimTrailingBlanksText(line);
    if (trimmed.size() == line.size()) continue;
    const TBufferCoord from{int(trimmed.size()) + 1, l}, to{int(line.size()) + 1, l};
    // blanks that this edit's insertion brought need no record: undoing the
    // insertion takes away what is left of it
    const bool inserted = recorded &&
                          (top->Reason == urInsert || top->Reason == urPaste || top->Reason == urLineBreak ||
                           top->Reason == urDragDropInsert) &&
                          before(top->StartPos, from) && before(to, top->EndPos);
    FLines->Put(l - 1, trimmed);
    if (!inserted) {
      const int group = FUndoList->GroupStepNumber;
      if (recorded && group == 0) FUndoList->GroupStepNumber = top->StepNumber;
      FUndoList->RecordChange(urCharDeleteAfter, from, to, line.substr(trimmed.size()), smNormal);
      FUndoList->GroupStepNumber = group;
    }
    if (l == FCaretY && FCaretX > from.Char) {
      // the caret keeps its screen column after the blanks that went
      const int n = std::min(FCaretX - 1, int(line.size()));
      const int cells = ExpandedLength(line.substr(0, std::size_t(n)), FTabWidth) + (FCaretX - 1 - n);
      FCaretX = from.Char + cells - ExpandedLength(trimmed, FTabWidth);
      FStatusChanges << scCaretX;
      SetState(esCaretPending, true);
    }
  }
}

int TCustomTxtEdit::LeadingBlankCount(const AnsiString& Text, bool ExpandTabs) const {
  if (!Has(eoAutoIndent) || Text.empty()) return 0;
  int n = 0;
  for (char c : Text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 1 || u > 32) break;
    n += (c == '\t' && ExpandTabs) ? FTabWidth : 1;
  }
  return n;
}

AnsiString TCustomTxtEdit::BlankRun(int Width, bool WantTabs) const {
  if (Width <= 0) return AnsiString();
  if (!WantTabs || Has(eoTabsToSpaces) || Width < FTabWidth) return AnsiString(std::size_t(Width), ' ');
  return AnsiString(std::size_t(Width / FTabWidth), '\t') + AnsiString(std::size_t(Width % FTabWidth), ' ');
}

// ---------------------------------------------------------------- conversions

int TCustomTxtEdit::DisplayRowCount() const {
  if (FWordWrapPlugin) return LineCount() == 0 ? 0 : FWordWrapPlugin->TotalRows();
  return LineCount();
}

int TCustomTxtEdit::FirstRowOfLine(int Line) const {
  if (!FWordWrapPlugin) return Line;
  return FWordWrapPlugin->MapBufferToDisplay(TBufferCoord{1, std::max(Line, 1)}).Line;
}

int TCustomTxtEdit::LineOfRow(int Row) const {
  if (!FWordWrapPlugin) return Row;
  return FWordWrapPlugin->MapDisplayToBuffer(TBufferCoord{1, std::max(Row, 1)}).Line;
}

TBufferCoord TCustomTxtEdit::TextPosToDisplayPos(const TBufferCoord& P) {
  TBufferCoord r = P;
  if (P.Line >= 1 && P.Line <= LineCount()) r.Char = CharIndexToColumn(P.Char, FTabWidth, LineAt(P.Line));
  if (FWordWrapPlugin && r.Char >= 1 && r.Line >= 1) r = FWordWrapPlugin->MapBufferToDisplay(r);
  return r;
}

TBufferCoord TCustomTxtEdit::DisplayPosToTextPos(const TBufferCoord& P) {
  TBufferCoord r = P;
  if (FWordWrapPlugin && r.Char >= 1 && r.Line >= 1) r = FWordWrapPlugin->MapDisplayToBuffer(r);
  if (r.Line >= 1 && r.Line <= LineCount()) {
    const AnsiString s = LineAt(r.Line);
    const int len = int(s.size());
    int x = 0, i = 0;
    while (x < r.Char) {
      ++i;
      if (i <= len && s[std::size_t(i - 1)] == '\t') x += FTabWidth - x % FTabWidth;
      else ++x;
    }
    if (i < 1) i = 1;
    if (IsTrailAt(s, i)) ++i;
    r.Char = i;
  }
  return r;
}

TPoint TCustomTxtEdit::DisplayPosToPixels(const TBufferCoord& P) const {
  return TPoint{(P.Char - 1) * FCharWidth + FTextStartX, (P.Line - FTopLine) * FLineHeight};
}

TBufferCoord TCustomTxtEdit::PixelsToDisplayPos(int X, int Y) const {
  const int cw = std::max(FCharWidth, 1), lh = std::max(FLineHeight, 1);
  return TBufferCoord{std::max(1, FLeftChar + (X - FGutterWidth - 2) / cw), std::max(1, FTopLine + Y / lh)};
}

TBufferCoord TCustomTxtEdit::PixelsToNearestDisplayPos(int X, int Y) const {
  const int cw = std::max(FCharWidth, 1), lh = std::max(FLineHeight, 1);
  if (Y >= FRowsInWindow * lh) Y = std::max(FRowsInWindow * lh - 1, 0);
  const int row = std::max(1, FTopLine + Y / lh);
  const double cells = double(X - FGutterWidth - 2) / double(cw);
  const int col = std::max(1, FLeftChar + int(std::nearbyint(cells)));  // halves go to even
  return TBufferCoord{col, row};
}

void TCustomTxtEdit::MoveCaretToPixel(int X, int Y) {
  TBufferCoord d = PixelsToNearestDisplayPos(X, Y);
  d.Line = ClampInt(d.Line, 1, std::max(1, DisplayRowCount()));
  SetCaretFromDisplay(d);
}

void TCustomTxtEdit::SetCaretFromDisplay(const TBufferCoord& P) {
  BeginPaintLock();
  try {
    MoveCaretTo(DisplayPosToTextPos(P));
    if (FWordWrapPlugin) {
      const bool rowExists = P.Line >= 1 && P.Line <= FWordWrapPlugin->TotalRows();
      if (rowExists && P.Char > FWordWrapPlugin->RowWidth(P.Line) &&
          TextPosToDisplayPos(GetCaretPos()).Line != P.Line)
        FCaretAtWrapEnd = true;
    }
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
  FKeptCaretColumn = GetDisplayX();
}

TBufferCoord TCustomTxtEdit::GetDisplayCaret() {
  TBufferCoord d = TextPosToDisplayPos(GetCaretPos());
  if (FWordWrapPlugin && FCaretAtWrapEnd) {
    if (d.Char == 1 && d.Line > 1) {
      d.Line -= 1;
      d.Char = FWordWrapPlugin->RowWidth(d.Line) + 1;
    } else {
      FCaretAtWrapEnd = false;
    }
  }
  return d;
}

bool TCustomTxtEdit::CaretInView() {
  const TBufferCoord d = GetDisplayCaret();
  return d.Char >= FLeftChar && d.Char <= FLeftChar + FColumnsInWindow && d.Line >= FTopLine &&
         d.Line <= FTopLine + FRowsInWindow;
}

void TCustomTxtEdit::RememberCaretColumn() {
  FPrevRowEndedWrap = false;
  FKeptCaretColumn = GetDisplayX();
}

// ---------------------------------------------------------------- caret

void TCustomTxtEdit::PlaceCaret(bool EnsureVisible, TBufferCoord P) {
  FCaretAtWrapEnd = false;
  if (HandleAllocated()) FirePaintTransient(ttBefore);
  int limit = FWordWrapPlugin ? INT_MAX : FMaxScrollWidth + 1;
  const int count = LineCount();
  if (P.Line > count) P.Line = count;
  if (P.Line < 1) {
    P.Line = 1;
    if (!Has(eoScrollPastEol)) limit = 1;
  } else if (!Has(eoScrollPastEol)) {
    limit = int(LineAt(P.Line).size()) + 1;
  }
  if (P.Char > limit && !(Has(eoScrollPastEol) && Has(eoAutoSizeMaxScrollWidth))) P.Char = limit;
  if (P.Char < 1) P.Char = 1;
  // never inside a double-byte character: a column on its second byte goes after it
  if (P.Line <= LineCount() && IsTrailAt(LineAt(P.Line), P.Char)) ++P.Char;
  if (P.Char == FCaretX && P.Line == FCaretY) {
    RememberCaretColumn();
  } else {
    BeginPaintLock();
    try {
      if (P.Char != FCaretX) {
        FCaretX = P.Char;
        FStatusChanges << scCaretX;
      }
      if (P.Line != FCaretY) {
        if (FActiveLineColor != clNone) {
          InvalidateTextLine(P.Line);
          InvalidateTextLine(FCaretY);
        }
        FCaretY = P.Line;
        FStatusChanges << scCaretY;
      }
      RememberCaretColumn();
      if (EnsureVisible) MakeCaretVisible();
      SetState(esCaretPending, true);
      SetState(esScrollBarsPending, true);
    } catch (...) {
      EndPaintLock();
      throw;
    }
    EndPaintLock();
  }
  if (HandleAllocated()) FirePaintTransient(ttAfter);
}

void TCustomTxtEdit::SetCaretAndCollapse(const TBufferCoord& P) {
  BeginPaintLock();
  try {
    FStatusChanges << scSelection;
    MoveCaretTo(P);
    if (HasSelection()) InvalidateSelection();
    FSelectionAnchor = FSelectionFocus = GetCaretPos();
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

void TCustomTxtEdit::CollapseSelectionAtCaret() {
  FActiveSelectionMode = FSelectionMode;
  if (FSelectionAnchor == GetCaretPos() && FSelectionFocus == GetCaretPos()) return;
  if (HasSelection()) InvalidateSelection();
  FSelectionAnchor = FSelectionFocus = GetCaretPos();
  AddStatusChanges({scSelection});
}

void TCustomTxtEdit::GoToLineCentered(int Line) {
  PlaceCaret(false, TBufferCoord{1, Line});
  if (HasSelection()) InvalidateSelection();
  FSelectionAnchor = FSelectionFocus = GetCaretPos();
  AddStatusChanges({scSelection});
  MakeCaretVisibleCentred(!CaretInView());
}

// ---------------------------------------------------------------- selection

TBufferCoord TCustomTxtEdit::GetSelectionStart() const {
  const TBufferCoord& a = FSelectionAnchor;
  const TBufferCoord& f = FSelectionFocus;
  return (f.Line < a.Line || (f.Line == a.Line && f.Char < a.Char)) ? f : a;
}

TBufferCoord TCustomTxtEdit::GetSelectionEnd() const {
  const TBufferCoord& a = FSelectionAnchor;
  const TBufferCoord& f = FSelectionFocus;
  return (f.Line < a.Line || (f.Line == a.Line && f.Char < a.Char)) ? a : f;
}

bool TCustomTxtEdit::HasSelection() const {
  return FSelectionAnchor.Char != FSelectionFocus.Char ||
         (FSelectionAnchor.Line != FSelectionFocus.Line && FActiveSelectionMode != smColumn);
}

bool TCustomTxtEdit::SelectionSpansLines() const {
  return FSelectionAnchor.Line != FSelectionFocus.Line && FActiveSelectionMode != smColumn;
}

bool TCustomTxtEdit::SelectionCoversWholeLines() {
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  return s.Char <= 1 && e.Char > int(LineText().size()) && HasSelection();
}

void TCustomTxtEdit::SetSelectionMode(TTxtSelectionMode Value) {
  if (FSelectionMode == Value) return;
  FSelectionMode = Value;
  SetActiveSelectionMode(Value);
}

void TCustomTxtEdit::SetActiveSelectionMode(TTxtSelectionMode Value) {
  if (FActiveSelectionMode == Value) return;
  if (HasSelection()) InvalidateSelection();
  FActiveSelectionMode = Value;
  if (HasSelection()) InvalidateSelection();
  AddStatusChanges({scSelection});
}

void TCustomTxtEdit::SetSelectionStart(TBufferCoord P) {
  FActiveSelectionMode = FSelectionMode;
  P.Char = std::max(P.Char, 1);
  if (Has(eoScrollPastEol) && !FWordWrapPlugin) P.Char = std::min(P.Char, FMaxScrollWidth + 1);
  P.Line = ClampInt(P.Line, 1, std::max(1, LineCount()));
  if (FActiveSelectionMode == smNormal) {
    if (P.Line >= 1 && P.Line <= LineCount()) P.Char = std::min(P.Char, int(LineAt(P.Line).size()) + 1);
    else P.Char = 1;
  }
  bool changed;
  if (HasSelection()) {
    const int lo = std::min({P.Line, FSelectionAnchor.Line, FSelectionFocus.Line});
    const int hi = std::max({P.Line, FSelectionAnchor.Line, FSelectionFocus.Line});
    InvalidateTextLines(lo, hi);
    changed = true;
  } else {
    changed = !(P == FSelectionAnchor) || !(P == FSelectionFocus);
  }
  FSelectionAnchor = FSelectionFocus = P;
  if (changed) AddStatusChanges({scSelection});
}

void TCustomTxtEdit::SetSelectionEnd(TBufferCoord P) {
  if (Has(eoNoSelection)) return;
  FActiveSelectionMode = FSelectionMode;
  P.Char = std::max(P.Char, 1);
  if (Has(eoScrollPastEol) && !FWordWrapPlugin) P.Char = std::min(P.Char, FMaxScrollWidth + 1);
  P.Line = ClampInt(P.Line, 1, std::max(1, LineCount()));
  if (FActiveSelectionMode == smNormal) {
    if (P.Line >= 1 && P.Line <= LineCount()) P.Char = std::min(P.Char, int(LineAt(P.Line).size()) + 1);
    else P.Char = 1;
  }
  if (P == FSelectionFocus) return;
  if (P.Line >= 1 && P.Line <= LineCount() && IsTrailAt(LineAt(P.Line), P.Char)) --P.Char;
  if (P == FSelectionFocus) return;
  if (FActiveSelectionMode != smColumn || P.Char == FSelectionFocus.Char) {
    const int lo = std::min(FSelectionFocus.Line, P.Line), hi = std::max(FSelectionFocus.Line, P.Line);
    if (FActiveSelectionMode != smColumn || FSelectionAnchor.Char != P.Char) InvalidateTextLines(lo, hi);
    FSelectionFocus = P;
  } else {
    const int lo = std::min({FSelectionAnchor.Line, FSelectionFocus.Line, P.Line});
    const int hi = std::max({FSelectionAnchor.Line, FSelectionFocus.Line, P.Line});
    InvalidateTextLines(lo, hi);
    FSelectionFocus = P;
  }
  AddStatusChanges({scSelection});
}

void TCustomTxtEdit::PlaceCaretAndSelection(const TBufferCoord& Caret, const TBufferCoord& Begin,
                                            const TBufferCoord& End) {
  const TTxtSelectionMode mode = FActiveSelectionMode;
  BeginPaintLock();
  try {
    MoveCaretTo(Caret);
    SetSelectionStart(Begin);
    SetSelectionEnd(End);
  } catch (...) {
    FActiveSelectionMode = mode;
    EndPaintLock();
    throw;
  }
  FActiveSelectionMode = mode;
  EndPaintLock();
}

void TCustomTxtEdit::SelectAll() {
  const int n = LineCount();
  const TBufferCoord last = n == 0 ? TBufferCoord{1, 1} : TBufferCoord{int(LineAt(n).size()) + 1, n};
  PlaceCaretAndSelection(last, TBufferCoord{1, 1}, last);
  AddStatusChanges({scSelection});
}

void TCustomTxtEdit::SelectWordAt(TBufferCoord P) {
  P.Char = std::max(P.Char, 1);
  if (Has(eoScrollPastEol) && !FWordWrapPlugin) P.Char = std::min(P.Char, FMaxScrollWidth + 1);
  P.Line = ClampInt(P.Line, 1, std::max(1, LineCount()));
  const AnsiString line = LineAt(P.Line);
  if (int(line.size()) + 1 < P.Char) {
    MoveCaretTo(TBufferCoord{int(line.size()) + 1, P.Line});
    return;
  }
  const TBufferCoord s = CurrentWordStartFrom(P), e = CurrentWordEndFrom(P);
  if (s.Line == P.Line && e.Line == P.Line && s.Char < e.Char) PlaceCaretAndSelection(e, s, e);
}

bool TCustomTxtEdit::IsPointInSelection(const TBufferCoord& Value) const {
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  if (Value.Line < s.Line || Value.Line > e.Line || s == e) return false;
  switch (FActiveSelectionMode) {
    case smLine: return true;
    case smColumn: {
      const int lo = std::min(s.Char, e.Char), hi = std::max(s.Char, e.Char);
      return lo != hi && Value.Char >= lo && Value.Char < hi;
    }
    default:
      if (Value.Line == s.Line && Value.Char < s.Char) return false;
      if (Value.Line < e.Line) return true;
      return Value.Char < e.Char;
  }
}

AnsiString TCustomTxtEdit::GetSelText() {
  if (!HasSelection()) return AnsiString();
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  AnsiString out;
  auto piece = [](const AnsiString& L, int From, int To) {  // columns From..To-1, 1-based
    From = std::max(From, 1);
    if (From > int(L.size())) return AnsiString();
    const int n = std::max(0, std::min(To, int(L.size()) + 1) - From);
    return L.substr(std::size_t(From - 1), std::size_t(n));
  };
  switch (FActiveSelectionMode) {
    case smNormal:
      if (s.Line == e.Line) return piece(LineAt(s.Line), s.Char, e.Char);
      out = piece(LineAt(s.Line), s.Char, INT_MAX) + "\r\n";
      for (int l = s.Line + 1; l < e.Line; ++l) out += LineAt(l) + "\r\n";
      out += piece(LineAt(e.Line), 1, e.Char);
      return out;
    case smLine:
      for (int l = s.Line; l <= e.Line; ++l) {
        out += LineAt(l);
        if (l < e.Line || l < LineCount()) out += "\r\n";
      }
      return out;
    case smColumn: {
      const TBufferCoord ds = TextPosToDisplayPos(s), de = TextPosToDisplayPos(e);
      const int left = std::min(ds.Char, de.Char), right = std::max(ds.Char, de.Char);
      for (int row = ds.Line; row <= de.Line; ++row) {
        TBufferCoord a = DisplayPosToTextPos(TBufferCoord{left, row});
        TBufferCoord b = DisplayPosToTextPos(TBufferCoord{right, row});
        const AnsiString L = LineAt(a.Line);
        if (IsTrailAt(L, a.Char)) ++a.Char;
        if (IsTrailAt(L, b.Char)) ++b.Char;
        AnsiString text = piece(L, a.Char, b.Char);
        const int want = b.Char - a.Char;
        if (int(text.size()) < want && !Has(eoTrimTrailingSpaces))
          text += AnsiString(std::size_t(want - int(text.size())), ' ');
        out += text;
        if (row < de.Line) out += "\r\n";
      }
      return out;
    }
  }
  return out;
}

// ---------------------------------------------------------------- replacing the selection

void TCustomTxtEdit::DeleteSelectionInMode() {
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  switch (FActiveSelectionMode) {
    case smNormal: {
      const AnsiString first = LineAt(s.Line), last = LineAt(e.Line);
      AnsiString joined = first.substr(0, std::min<std::size_t>(first.size(), std::size_t(s.Char - 1)));
      if (e.Char - 1 < int(last.size())) joined += last.substr(std::size_t(e.Char - 1));
      if (Has(eoScrollPastEol) && Has(eoTrimTrailingSpaces)) joined = TextToStore(s.Line, joined);
      FLines->Put(s.Line - 1, joined);
      if (e.Line > s.Line) {
        FLines->RemoveLines(s.Line, e.Line - s.Line);
        DoLinesDeleted(s.Line, e.Line - s.Line);
      }
      PlaceCaret(false, s);
      break;
    }
    case smLine: {
      if (e.Line >= LineCount()) {
        FLines->Put(e.Line - 1, AnsiString());
        if (e.Line > s.Line) FLines->RemoveLines(s.Line - 1, e.Line - s.Line);
      } else {
        FLines->RemoveLines(s.Line - 1, e.Line - s.Line + 1);
      }
      DoLinesDeleted(s.Line, e.Line - s.Line + 1);
      PlaceCaret(false, TBufferCoord{1, s.Line});
      break;
    }
    case smColumn: {
      int lo = std::min(s.Char, e.Char), hi = std::max(s.Char, e.Char);
      for (int l = s.Line; l <= e.Line; ++l) {
        AnsiString L = LineAt(l);
        int a = lo, b = hi;
        if (IsTrailAt(L, a)) ++a;
        if (IsTrailAt(L, b)) ++b;
        if (a <= int(L.size())) L.erase(std::size_t(a - 1), std::size_t(std::min(b, int(L.size()) + 1) - a));
        StoreLine(l, L);
      }
      PlaceCaret(false, TBufferCoord{lo, s.Line});
      break;
    }
  }
}

int TCustomTxtEdit::InsertStream(const AnsiString& Text) {
  const AnsiString line = LineText();
  AnsiString left = line.substr(0, std::min<std::size_t>(line.size(), std::size_t(std::max(FCaretX - 1, 0))));
  FInsertFrom = GetCaretPos();
  FInsertOver.clear();
  if (FCaretX - 1 > int(left.size())) {
    // past the line's end: the filler belongs to the insertion
    if (IsAllBlanksText(left) && !Has(eoTabsToSpaces)) {
      FInsertFrom = TBufferCoord{1, FCaretY};
      FInsertOver = left;
      left = BlankRun(GetDisplayX() - 1, true);
    } else {
      FInsertFrom = TBufferCoord{int(left.size()) + 1, FCaretY};
      left += AnsiString(std::size_t(FCaretX - 1 - int(left.size())), ' ');
    }
  }
  const AnsiString right = FCaretX - 1 < int(line.size()) ? line.substr(std::size_t(FCaretX - 1)) : AnsiString();
  const std::vector<AnsiString> pieces = SplitPieces(Text);
  const int breaks = int(pieces.size()) - 1;
  AnsiString str;
  if (breaks == 0) {
    str = left + pieces[0] + right;
    StoreLine(FCaretY, str);
  } else {
    str = left + pieces[0];
    StoreLine(FCaretY, str);
    FLines->InsertEmptyLines(FCaretY, breaks);
  }
  for (int k = 1; k <= breaks; ++k) {
    ++FCaretY;
    FStatusChanges << scCaretY;
    str = pieces[std::size_t(k)];
    if (k == breaks) str += right;
    StoreLine(FCaretY, str);
  }
  FInsertTo = TBufferCoord{int(str.size()) - int(right.size()) + 1, FCaretY};
  if (Has(eoTrimTrailingSpaces) && right.empty()) {
    // the caret stays after blanks that trimming removed (or will remove)
    const AnsiString stored = LineAt(FCaretY);
    FCaretX = int(stored.size()) + (ExpandedLength(str, FTabWidth) - ExpandedLength(stored, FTabWidth)) + 1;
  } else {
    FCaretX = FInsertTo.Char;
  }
  FStatusChanges << scCaretX;
  return breaks;
}

int TCustomTxtEdit::InsertColumn(const AnsiString& Text, bool AddToUndoList) {
  const int insertCol = FCaretX;
  const std::vector<AnsiString> pieces = SplitPieces(Text);
  int added = 0;
  int at = insertCol;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const AnsiString& piece = pieces[k];
    AnsiString L;
    at = insertCol;
    int from = at;  // where the line starts to change: filler counts as inserted
    if (FCaretY > LineCount()) {
      if (AddToUndoList) {
        const TBufferCoord end{int(LineAt(LineCount()).size()) + 1, LineCount()};
        FUndoList->RecordChange(urLineBreak, end, TBufferCoord{1, LineCount() + 1}, AnsiString(), smNormal);
      }
      if (!piece.empty()) {
        L = AnsiString(std::size_t(insertCol - 1), ' ') + piece;
        from = 1;
      }
      FLines->Add(L);
      if (!L.empty()) StoreLine(LineCount(), L);
      ++added;
    } else {
      L = LineAt(FCaretY);
      if (piece.empty() && int(L.size()) < insertCol - 1) {
        // nothing to put on a short line: it gets no filler either
      } else if (int(L.size()) < insertCol - 1) {
        from = int(L.size()) + 1;
        L += AnsiString(std::size_t(insertCol - 1 - int(L.size())), ' ') + piece;
      } else {
        if (IsTrailAt(L, at)) ++at;
        from = at;
        L.insert(std::size_t(std::min(at - 1, int(L.size()))), piece);
      }
      if (!piece.empty()) StoreLine(FCaretY, L);
    }
    // each piece is one span of its own line, undone and redone as a stream
    if (AddToUndoList && at + int(piece.size()) > from)
      FUndoList->RecordChange(urPaste, TBufferCoord{from, FCaretY}, TBufferCoord{at + int(piece.size()), FCaretY},
                              AnsiString(), smNormal);
    if (k + 1 < pieces.size()) {
      ++FCaretY;
      FStatusChanges << scCaretY;
    }
  }
  FCaretX = at + int(pieces.back().size());
  FStatusChanges << scCaretX;
  return added;
}

int TCustomTxtEdit::InsertLines(const AnsiString& Text) {
  FCaretX = 1;
  FStatusChanges << scCaretX;
  std::vector<AnsiString> pieces = SplitPieces(Text);
  // A text ending with a line break carries no line after it.
  if (pieces.size() > 1 && pieces.back().empty()) pieces.pop_back();
  const bool wasEmpty = LineCount() == 0;
  FInsertFrom = TBufferCoord{1, std::max(FCaretY, 1)};
  FInsertOver.clear();
  int inserted = 0;
  for (const AnsiString& piece : pieces) {
    if (FCaretY >= LineCount() || FInsertMode) {
      FLines->Insert(std::min(FCaretY - 1, LineCount()), AnsiString());
      ++inserted;
    } else {
      FInsertOver += LineAt(FCaretY) + "\r\n";  // overwritten
    }
    StoreLine(FCaretY, piece);
    ++FCaretY;
    FStatusChanges << scCaretY;
  }
  // as a stream: the pieces, each with its line break, before the line that
  // followed (an empty store had no line to follow)
  FInsertTo = wasEmpty ? TBufferCoord{int(pieces.back().size()) + 1, LineCount()} : TBufferCoord{1, FCaretY};
  if (wasEmpty) {  // no line followed: the caret ends after the last piece
    FCaretY = FInsertTo.Line;
    FCaretX = FInsertTo.Char;
  }
  return inserted;
}

void TCustomTxtEdit::ReplaceSelectionInMode(TTxtSelectionMode Mode, const AnsiString& Text, bool AddToUndoList) {
  BeginPaintLock();
  FLines->BeginUpdate();
  try {
    if (HasSelection()) DeleteSelectionInMode();
    if (!Text.empty()) {
      const int fromLine = FCaretY + (Mode == smNormal && FCaretX > 1 ? 1 : 0);
      int added = 0;
      switch (Mode) {
        case smNormal: added = InsertStream(Text); break;
        case smColumn: added = InsertColumn(Text, AddToUndoList); break;
        case smLine: added = InsertLines(Text); break;
      }
      if (added > 0) DoLinesInserted(fromLine, added);
      MakeCaretVisible();
    }
    if (FCaretY < 1) FCaretY = 1;
  } catch (...) {
    FLines->EndUpdate();
    EndPaintLock();
    throw;
  }
  FLines->EndUpdate();
  SetState(esCaretPending, true);
  EndPaintLock();
}

void TCustomTxtEdit::RecordInsertion(TTxtUndoReason Reason) {
  if (FInsertTo == FInsertFrom && FInsertOver.empty()) return;
  FUndoList->RecordChange(Reason, FInsertFrom, FInsertTo, FInsertOver, smNormal);
}

void TCustomTxtEdit::RecordSelectionDeletion(bool ByKey) {
  if (!HasSelection()) return;
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  const bool forward = FSelectionAnchor == s;
  const TTxtUndoReason reason = ByKey && !forward ? urReverseDelete : urDelete;
  switch (FActiveSelectionMode) {
    case smNormal: {
      // an end past its line's end deletes from the line's end
      auto clamp = [this](TBufferCoord P) {
        P.Char = std::min(P.Char, int(LineAt(P.Line).size()) + 1);
        return P;
      };
      FUndoList->RecordChange(reason, clamp(FSelectionAnchor), clamp(FSelectionFocus), GetSelText(), smNormal);
      break;
    }
    case smLine: {
      // the lines as a stream; the last line of the store is emptied, not removed
      const TBufferCoord a{1, s.Line};
      const TBufferCoord b = e.Line < LineCount() ? TBufferCoord{1, e.Line + 1}
                                                  : TBufferCoord{int(LineAt(e.Line).size()) + 1, e.Line};
      const AnsiString text = GetSelText();
      if (forward) FUndoList->RecordChange(reason, a, b, text, smNormal);
      else FUndoList->RecordChange(reason, b, a, text, smNormal);
      break;
    }
    case smColumn: {
      // the columns each line loses, as DeleteSelectionInMode takes them
      const int lo = std::min(s.Char, e.Char), hi = std::max(s.Char, e.Char);
      for (int l = s.Line; l <= e.Line; ++l) {
        const AnsiString L = LineAt(l);
        int a = lo, b = hi;
        if (IsTrailAt(L, a)) ++a;
        if (IsTrailAt(L, b)) ++b;
        b = std::min(b, int(L.size()) + 1);
        if (a >= b) continue;
        FUndoList->RecordChange(urDelete, TBufferCoord{a, l}, TBufferCoord{b, l},
                                L.substr(std::size_t(a - 1), std::size_t(b - a)), smNormal);
      }
      break;
    }
  }
}

void TCustomTxtEdit::InsertColumnBlock(const TBufferCoord& Begin, const TBufferCoord& End, const AnsiString& Text,
                                       bool AddToUndoList) {
  PlaceCaretAndSelection(Begin, Begin, End);
  FActiveSelectionMode = smColumn;
  ReplaceSelectionInMode(smColumn, Text, AddToUndoList);
  AddStatusChanges({scSelection});
}

void TCustomTxtEdit::DoLinesDeleted(int FirstLine, int Count) {
  if (Count <= 0) return;
  for (int i = 0; i < FMarks->Count(); ++i) {
    TTxtEditMark* m = FMarks->Items(i);
    if (m->Line() >= FirstLine + Count) m->SetLine(m->Line() - Count);
    else if (m->Line() > FirstLine) m->SetLine(FirstLine);
  }
  for (TTxtEditPlugin* p : FPluginList) p->LinesDeleted(FirstLine, Count);
}

void TCustomTxtEdit::DoLinesInserted(int FirstLine, int Count) {
  if (Count <= 0) return;
  for (int i = 0; i < FMarks->Count(); ++i) {
    TTxtEditMark* m = FMarks->Items(i);
    if (m->Line() >= FirstLine) m->SetLine(m->Line() + Count);
  }
  for (TTxtEditPlugin* p : FPluginList) p->LinesInserted(FirstLine, Count);
}

// ---------------------------------------------------------------- bookmarks

void TCustomTxtEdit::PlaceBookmark(int Index, int X, int Y) {
  if (Index < 0 || Index > 9 || Y < 1 || Y > std::max(1, LineCount())) return;
  auto* mark = new TTxtEditMark();
  mark->SetLine(Y);
  mark->SetChar(X);
  mark->SetImageIndex(Index);
  mark->SetBookmarkIndex(Index);
  mark->SetVisible(true);
  mark->SetUseInternalImage(FBookMarkOptions->BookmarkImages() == nullptr);
  TTxtEditMark* passed = mark;
  try {
    FirePlaceBookmark(passed);
  } catch (...) {
    delete mark;
    throw;
  }
  if (!passed) {
    delete mark;
    return;
  }
  if (passed != mark) delete mark;
  if (FBookmarks[Index]) RemoveBookmark(Index);
  FBookmarks[Index] = passed;
  FMarks->Add(passed);
}

void TCustomTxtEdit::RemoveBookmark(int Index) {
  if (Index < 0 || Index > 9 || !FBookmarks[Index]) return;
  TTxtEditMark* mark = FBookmarks[Index];
  TTxtEditMark* passed = mark;
  FireClearBookmark(passed);
  FBookmarks[Index] = nullptr;
  FMarks->Remove(mark);
}

void TCustomTxtEdit::JumpToBookmark(int Index) {
  if (Index < 0 || Index > 9 || !FBookmarks[Index]) return;
  TTxtEditMark* m = FBookmarks[Index];
  if (m->Line() < 1 || m->Line() > LineCount()) return;
  PlaceCaret(false, TBufferCoord{m->Char(), m->Line()});
  MakeCaretVisibleCentred(!CaretInView());
  if (HasSelection()) InvalidateSelection();
  FSelectionAnchor = FSelectionFocus = GetCaretPos();
  AddStatusChanges({scSelection});
}

bool TCustomTxtEdit::GetBookmark(int Index, int& X, int& Y) const {
  TTxtEditMark* m = Bookmark(Index);
  if (!m) return false;
  X = m->Char();
  Y = m->Line();
  return true;
}
