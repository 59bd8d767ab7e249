// Caret, selection and navigation commands: horizontal and vertical steps,
// line start and end, pages, scrolling, word navigation over single-byte and
// double-byte characters, bracket matching, bookmarks, offsets.
#include <algorithm>
#include <bitset>
#include <climits>

#include "editor/txtdbcs.h"
#include "editor/txtedit.h"

namespace {

using TWordChars = std::bitset<256>;

// The layout of one line: which bytes begin double-byte characters.
struct NavLine {
  const unsigned char* s;
  int n;
  std::vector<std::uint8_t> trail;
  explicit NavLine(const AnsiString& S) : s(reinterpret_cast<const unsigned char*>(S.data())), n(int(S.size())) {
    txtdbcs::MarkTrailBytes(s, std::size_t(n), trail);
  }
  // 1-based columns
  bool IsLead(int c) const { return c >= 1 && c < n && trail[std::size_t(c)] != 0; }
  bool IsTrail(int c) const { return c >= 1 && c <= n && trail[std::size_t(c - 1)] != 0; }
  bool IsDouble(int c) const { return IsLead(c) || IsTrail(c); }
  unsigned char At(int c) const { return s[c - 1]; }
  int Width(int c) const { return IsLead(c) ? 2 : 1; }
};

// First column >= C whose single-byte character is in (Word) or out of
// (!Word) the word class; double-byte characters are stepped over. 0 when none.
int NavScan(const NavLine& L, int C, const TWordChars& Words, bool Word) {
  if (C < 1) C = 1;
  if (L.IsTrail(C)) ++C;
  while (C <= L.n) {
    if (!L.IsDouble(C) && Words[L.At(C)] == Word) return C;
    C += L.Width(C);
  }
  return 0;
}

// Last column < C with the same test; 0 when none.
int NavScanBack(const NavLine& L, int C, const TWordChars& Words, bool Word) {
  int found = 0;
  for (int i = 1; i < C && i <= L.n; i += L.Width(i))
    if (!L.IsDouble(i) && Words[L.At(i)] == Word) found = i;
  return found;
}

// First double-byte character at or after C; 0 when none.
int NavFirstDouble(const NavLine& L, int C) {
  if (C < 1) C = 1;
  if (L.IsTrail(C)) ++C;
  for (int i = C; i <= L.n; i += L.Width(i))
    if (L.IsLead(i)) return i;
  return 0;
}

// Last double-byte character starting before C; 0 when none.
int NavLastDouble(const NavLine& L, int C) {
  int found = 0;
  for (int i = 1; i < C && i <= L.n; i += L.Width(i))
    if (L.IsLead(i)) found = i;
  return found;
}

const char kBrackets[] = "()[]{}<>";

}  // namespace

// ---------------------------------------------------------------- word characters

static TWordChars NavWordChars(TTxtCustomHighlighter* H) {
  TWordChars w;
  if (H) {
    w = H->IdentifierChars() & ~H->WordSeparators;
    return w;
  }
  for (int c = '0'; c <= '9'; ++c) w.set(std::size_t(c));
  for (int c = 'A'; c <= 'Z'; ++c) w.set(std::size_t(c));
  for (int c = 'a'; c <= 'z'; ++c) w.set(std::size_t(c));
  w.set('_');
  for (int c = 192; c <= 214; ++c) w.set(std::size_t(c));
  for (int c = 216; c <= 246; ++c) w.set(std::size_t(c));
  for (int c = 248; c <= 255; ++c) w.set(std::size_t(c));
  return w;
}

TBufferCoord TCustomTxtEdit::FollowingWordStartFrom(const TBufferCoord& Pos) {
  if (Pos.Line < 1 || Pos.Line > LineCount()) return Pos;
  const TWordChars words = NavWordChars(FHighlighter);
  const AnsiString text = LineAt(Pos.Line);
  const NavLine L(text);
  int C = Pos.Char;
  if (C < L.n) {
    const int x = NavFirstDouble(L, C + 1);
    if (C >= 1 && !L.IsDouble(C) && words[L.At(C)]) C = NavScan(L, C, words, false);
    if (C > 0) C = NavScan(L, C, words, true);
    if (x > 0 && (C == 0 || x < C)) C = x;
    if (C == 0) C = L.n + 1;
    return TBufferCoord{C, Pos.Line};
  }
  if (Pos.Line < LineCount()) {
    const AnsiString next = LineAt(Pos.Line + 1);
    const NavLine N(next);
    int w = NavScan(N, 1, words, true), d = NavFirstDouble(N, 1);
    int c = w == 0 ? d : d == 0 ? w : std::min(w, d);
    return TBufferCoord{c == 0 ? 1 : c, Pos.Line + 1};
  }
  return Pos;
}

TBufferCoord TCustomTxtEdit::CurrentWordStartFrom(const TBufferCoord& Pos) {
  if (Pos.Line < 1 || Pos.Line > LineCount()) return Pos;
  const TWordChars words = NavWordChars(FHighlighter);
  const AnsiString text = LineAt(Pos.Line);
  const NavLine L(text);
  int C = std::min(Pos.Char, L.n + 1);
  if (C > 1 && !L.IsDouble(C - 1) && words[L.At(C - 1)]) C = NavScanBack(L, C, words, false) + 1;
  return TBufferCoord{C, Pos.Line};
}

TBufferCoord TCustomTxtEdit::CurrentWordEndFrom(const TBufferCoord& Pos) {
  if (Pos.Line < 1 || Pos.Line > LineCount()) return Pos;
  const TWordChars words = NavWordChars(FHighlighter);
  const AnsiString text = LineAt(Pos.Line);
  const NavLine L(text);
  int C = NavScan(L, Pos.Char, words, false);
  if (C == 0) C = L.n + 1;
  return TBufferCoord{C, Pos.Line};
}

TBufferCoord TCustomTxtEdit::PrecedingWordStartFrom(const TBufferCoord& Pos) {
  if (Pos.Line < 1 || Pos.Line > LineCount()) return Pos;
  const TWordChars words = NavWordChars(FHighlighter);
  const AnsiString text = LineAt(Pos.Line);
  const NavLine L(text);
  int C = std::min(Pos.Char, L.n + 1);
  if (C > 1) {
    const int x = NavLastDouble(L, C);
    if (!L.IsDouble(C - 1) && !words[L.At(C - 1)]) C = NavScanBack(L, C, words, true);
    if (C > 0) C = NavScanBack(L, C, words, false) + 1;
    if (x > 0 && (C == 0 || C < x)) C = x;
    if (C == 0) {
      if (Pos.Line > 1) return TBufferCoord{int(LineAt(Pos.Line - 1).size()) + 1, Pos.Line - 1};
      return TBufferCoord{1, Pos.Line};
    }
    return TBufferCoord{C, Pos.Line};
  }
  if (Pos.Line > 1) return TBufferCoord{int(LineAt(Pos.Line - 1).size()) + 1, Pos.Line - 1};
  return TBufferCoord{1, Pos.Line};
}

AnsiString TCustomTxtEdit::GetWordAtPos(const TBufferCoord& Pos) {
  const TBufferCoord s = CurrentWordStartFrom(Pos), e = CurrentWordEndFrom(Pos);
  if (s.Line != e.Line || s.Char >= e.Char) return AnsiString();
  const AnsiString line = LineAt(s.Line);
  return line.substr(std::size_t(s.Char - 1), std::size_t(e.Char - s.Char));
}

// ---------------------------------------------------------------- brackets and tokens

bool TCustomTxtEdit::TokenAttributeAt(const TBufferCoord& Pos, AnsiString& Token, TTxtHighlighterAttributes*& Attri) {
  int type = 0, start = 0;
  return TokenAttributeAt(Pos, Token, type, start, Attri);
}

bool TCustomTxtEdit::TokenAttributeAt(const TBufferCoord& Pos, AnsiString& Token, int& TokenType, int& Start,
                                      TTxtHighlighterAttributes*& Attri) {
  Token.clear();
  Attri = nullptr;
  TokenType = 0;
  Start = 0;
  if (!FHighlighter || Pos.Line < 1 || Pos.Line > LineCount()) return false;
  const AnsiString line = LineAt(Pos.Line);
  if (Pos.Char < 1 || Pos.Char > int(line.size())) return false;
  if (Pos.Line == 1) FHighlighter->ResetScanState();
  else FHighlighter->RestoreScanState(FLines->GetRangeState(Pos.Line - 2));
  FHighlighter->StartLine(line, Pos.Line - 1);
  while (!FHighlighter->AtLineEnd()) {
    const int start = FHighlighter->TokenStart();
    const AnsiString token = FHighlighter->TokenText();
    if (Pos.Char >= start + 1 && Pos.Char < start + 1 + int(token.size())) {
      Token = token;
      Attri = FHighlighter->TokenAttribute();
      TokenType = FHighlighter->TokenKind();
      Start = start + 1;
      return true;
    }
    FHighlighter->NextToken();
  }
  return false;
}

TBufferCoord TCustomTxtEdit::MatchingBracketFrom(const TBufferCoord& Pos) {
  const TBufferCoord none{0, 0};
  if (Pos.Line < 1 || Pos.Line > LineCount()) return none;
  AnsiString text = LineAt(Pos.Line);
  {
    const NavLine L(text);
    if (Pos.Char < 1 || Pos.Char > L.n || L.IsDouble(Pos.Char)) return none;
  }
  const char* at = std::strchr(kBrackets, text[std::size_t(Pos.Char - 1)]);
  if (!at || !*at) return none;
  const int idx = int(at - kBrackets);
  const char same = kBrackets[idx];
  const char partner = kBrackets[idx ^ 1];
  const bool forward = (idx % 2) == 0;
  // occurrences inside strings and comments do not count
  auto excepted = [&](int Col, int Line) {
    if (!FHighlighter) return false;
    AnsiString tok;
    TTxtHighlighterAttributes* a = nullptr;
    if (!TokenAttributeAt(TBufferCoord{Col, Line}, tok, a) || !a) return false;
    return a == FHighlighter->DefaultAttribute(3) || a == FHighlighter->DefaultAttribute(0);
  };
  int level = 1;
  int line = Pos.Line;
  int col = Pos.Char;
  for (;;) {
    const NavLine L(text);
    if (forward) {
      int c = col + L.Width(col);
      if (col == 0) c = 1;
      for (; c <= L.n; c += L.Width(c)) {
        if (L.IsDouble(c)) continue;
        const char ch = char(L.At(c));
        if ((ch == same || ch == partner) && !excepted(c, line)) {
          level += ch == same ? 1 : -1;
          if (level == 0) return TBufferCoord{c, line};
        }
      }
      if (++line > LineCount()) return none;
      col = 0;
    } else {
      // the characters before col, last first
      std::vector<int> starts;
      for (int c = 1; c < col && c <= L.n; c += L.Width(c)) starts.push_back(c);
      for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const int c = *it;
        if (L.IsDouble(c)) continue;
        const char ch = char(L.At(c));
        if ((ch == same || ch == partner) && !excepted(c, line)) {
          level += ch == same ? 1 : -1;
          if (level == 0) return TBufferCoord{c, line};
        }
      }
      if (--line < 1) return none;
      col = INT_MAX;
    }
    text = LineAt(line);
  }
}

TBufferCoord TCustomTxtEdit::MatchingBracket() { return MatchingBracketFrom(GetCaretPos()); }

void TCustomTxtEdit::JumpToMatchingBracket() {
  TBufferCoord p = MatchingBracket();
  if (p.Char < 1 || p.Line < 1) p = TBufferCoord{1, 1};
  SetCaretXY(p);
}

// ---------------------------------------------------------------- offsets

int TCustomTxtEdit::PositionToOffset(const TBufferCoord& Pos) const {
  int off = 0;
  const int upto = std::min(Pos.Line, LineCount());
  for (int l = 1; l < upto; ++l) off += int(LineAt(l).size()) + 2;
  return off + Pos.Char - 1;
}

TBufferCoord TCustomTxtEdit::OffsetToPosition(int Index) const {
  int off = 0;
  for (int l = 1; l <= LineCount(); ++l) {
    const int len = int(LineAt(l).size()) + 2;
    if (off + len > Index) return TBufferCoord{Index - off + 1, l};
    off += len;
  }
  return TBufferCoord{1, LineCount() + 1};
}

void TCustomTxtEdit::SelectByLength(int N) {
  const TBufferCoord s = GetSelectionStart();
  const int target = PositionToOffset(s) + N;
  if (N < 0 && target >= 0) {
    const TBufferCoord p = OffsetToPosition(target);
    PlaceCaretAndSelection(p, p, s);
    return;
  }
  TBufferCoord p;
  if (target < 0) {
    const int n = LineCount();
    p = n == 0 ? TBufferCoord{1, 1} : TBufferCoord{int(LineAt(n).size()) + 1, n};
  } else {
    p = OffsetToPosition(target);
  }
  PlaceCaretAndSelection(p, s, p);
}

// ---------------------------------------------------------------- caret steps

void TCustomTxtEdit::MoveCaretWithSelection(const TBufferCoord& Before, const TBufferCoord& After,
                                            bool SelectionCommand) {
  if (Has(eoGroupUndo) && FUndoList->HasItems()) FUndoList->PushGroupBreak();
  BeginPaintLock();
  try {
    if (SelectionCommand) {
      if (!HasSelection()) SetSelectionStart(Before);
      SetSelectionEnd(After);
    } else {
      SetSelectionStart(After);
    }
    MoveCaretTo(After);
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

void TCustomTxtEdit::StepCaretHorizontally(int DX, bool Sel) {
  if (FWordWrapPlugin) {
    const TBufferCoord d = TextPosToDisplayPos(GetCaretPos());
    if (DX <= 0 && FCaretX > 1 && d.Char == 1 && !FCaretAtWrapEnd) {
      FCaretAtWrapEnd = true;
      FKeptCaretColumn = GetDisplayX();
      FPrevRowEndedWrap = false;
      SetState(esCaretPending, true);
      PositionSystemCaret();
      return;
    }
    if (DX > 0 && FCaretAtWrapEnd) {
      FCaretAtWrapEnd = false;
      FKeptCaretColumn = GetDisplayX();
      PositionSystemCaret();
      return;
    }
  }
  const AnsiString line = LineText();
  const int len = int(line.size());
  TBufferCoord dst = GetCaretPos();
  if (!Has(eoScrollPastEol) && DX == -1 && FCaretX == 1 && FCaretY > 1) {
    dst = TBufferCoord{int(LineAt(FCaretY - 1).size()) + 1, FCaretY - 1};
  } else if (!Has(eoScrollPastEol) && DX == 1 && FCaretX > len && FCaretY < LineCount()) {
    dst = TBufferCoord{1, FCaretY + 1};
  } else {
    dst.Char = std::max(1, FCaretX + DX);
    if (DX > 0 && !Has(eoScrollPastEol)) dst.Char = std::min(dst.Char, len + 1);
    if (IsTrailAt(line, dst.Char)) dst.Char += DX < 0 ? -1 : 1;
  }
  MoveCaretWithSelection(FSelectionAnchor, dst, Sel);
  if (FWordWrapPlugin && DX > 0 && FCaretX <= int(LineText().size())) {
    const TBufferCoord d = TextPosToDisplayPos(GetCaretPos());
    if (d.Char == 1 && d.Line != FirstRowOfLine(FCaretY)) {
      FCaretAtWrapEnd = true;
      PositionSystemCaret();
    } else if (d.Char > FColumnsInWindow + 1) {
      FCaretAtWrapEnd = false;
      PositionSystemCaret();
    }
  }
}

void TCustomTxtEdit::StepCaretVertically(int DY, bool Sel) {
  const TBufferCoord d = GetDisplayCaret();
  const int rows = std::max(1, DisplayRowCount());
  TBufferCoord target{d.Char, ClampInt(d.Line + DY, 1, rows)};
  const bool rowChanged = target.Line != d.Line;
  if (rowChanged && Has(eoKeepCaretX)) target.Char = FKeptCaretColumn;
  TBufferCoord dst = DisplayPosToTextPos(target);
  if (rowChanged) {
    if (FPrevRowEndedWrap && !Has(eoKeepCaretX)) ++dst.Char;
    // a column on a second byte moves back; the next vertical step then makes up for it
    const AnsiString line = LineAt(dst.Line);
    if (IsTrailAt(line, dst.Char)) {
      --dst.Char;
      FPrevRowEndedWrap = true;
    } else {
      FPrevRowEndedWrap = false;
    }
  }
  const int kept = FKeptCaretColumn;
  const bool prev = FPrevRowEndedWrap;
  BeginPaintLock();
  try {
    MoveCaretWithSelection(FSelectionAnchor, dst, Sel);
    if (FWordWrapPlugin) {
      const TBufferCoord shown = TextPosToDisplayPos(GetCaretPos());
      FCaretAtWrapEnd = shown.Char == 1 && shown.Line != target.Line;
    }
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
  FKeptCaretColumn = kept;
  FPrevRowEndedWrap = prev;
}

// ---------------------------------------------------------------- caret commands

void TCustomTxtEdit::LineStartTarget(bool Sel) {
  const AnsiString line = LineText();
  const int len = int(line.size());
  const TBufferCoord d = GetDisplayCaret();
  const bool onFirstRow = !FWordWrapPlugin || d.Line == FirstRowOfLine(FCaretY);
  int a = 1;
  if (Has(eoEnhanceHomeKey) && onFirstRow) {
    int to = len;
    if (FWordWrapPlugin)  // only the caret's row counts
      to = std::min(to, DisplayPosToTextPos(TBufferCoord{FWordWrapPlugin->RowWidth(d.Line) + 1, d.Line}).Char - 1);
    a = len + 1;
    for (int i = 1; i <= to; ++i)
      if (line[std::size_t(i - 1)] != ' ' && line[std::size_t(i - 1)] != '\t') {
        a = i;
        break;
      }
    if (a >= FCaretX && FCaretX != 1) a = 1;
  }
  TBufferCoord target{a, FCaretY};
  if (FWordWrapPlugin) target = DisplayPosToTextPos(TBufferCoord{TextPosToDisplayPos(target).Char, d.Line});
  MoveCaretWithSelection(GetCaretPos(), target, Sel);
}

void TCustomTxtEdit::LineEndTarget(bool Sel) {
  const AnsiString line = LineText();
  const int full = int(line.size());
  int trimmed = full;
  while (trimmed > 0 && (line[std::size_t(trimmed - 1)] == ' ' || line[std::size_t(trimmed - 1)] == '\t')) --trimmed;
  if (!FWordWrapPlugin) {
    int e = full;
    if (Has(eoEnhanceEndKey)) {
      e = trimmed;
      if (FCaretX == e + 1) e = full;
    }
    MoveCaretWithSelection(GetCaretPos(), TBufferCoord{e + 1, FCaretY}, Sel);
    return;
  }
  const TBufferCoord d = GetDisplayCaret();
  const int lastRow = FCaretY < LineCount() ? FirstRowOfLine(FCaretY + 1) - 1 : DisplayRowCount();
  int col;
  // the last row of the line that holds text
  int lastTextRow = lastRow;
  while (lastTextRow > FirstRowOfLine(FCaretY) && FWordWrapPlugin->RowWidth(lastTextRow) == 0) --lastTextRow;
  if (Has(eoEnhanceEndKey) && d.Line == lastTextRow) {
    const int rowStart = DisplayPosToTextPos(TBufferCoord{1, d.Line}).Char;
    int e = std::max(trimmed, rowStart - 1);
    if (FCaretX == e + 1) e = full;
    col = TextPosToDisplayPos(TBufferCoord{e + 1, FCaretY}).Char;
  } else {
    col = FWordWrapPlugin->RowWidth(d.Line) + 1;
  }
  col = std::min(col, FColumnsInWindow + 1);
  const TBufferCoord target = DisplayPosToTextPos(TBufferCoord{col, d.Line});
  MoveCaretWithSelection(GetCaretPos(), target, Sel);
  const TBufferCoord shown = TextPosToDisplayPos(GetCaretPos());
  if (shown.Line != d.Line && shown.Char == 1) {
    FCaretAtWrapEnd = true;
    PositionSystemCaret();
  }
}

void TCustomTxtEdit::ScrollCommand(TTxtEditorCommand Command) {
  const TBufferCoord d = GetDisplayCaret();
  switch (Command) {
    case ecScrollUp:
    case ecScrollDown: {
      if (d.Line < FTopLine || d.Line >= FTopLine + FRowsInWindow) {
        MakeCaretVisible();
        break;
      }
      if (Command == ecScrollUp) {
        SetTopLine(FTopLine - 1);
        const int last = FTopLine + FRowsInWindow - 1;
        if (d.Line > last) StepCaretVertically(last - d.Line, false);
      } else {
        SetTopLine(FTopLine + 1);
        if (d.Line < FTopLine) StepCaretVertically(FTopLine - d.Line, false);
      }
      MakeCaretVisible();
      break;
    }
    case ecScrollLeft: SetLeftChar(FLeftChar - 1); break;
    case ecScrollRight: SetLeftChar(FLeftChar + 1); break;
    default: break;
  }
  if (HandleAllocated()) ::UpdateWindow(Handle());
}

void TCustomTxtEdit::SetMarkerCommand(int Index, void* Data) {
  const TBufferCoord pos = Data ? *static_cast<TBufferCoord*>(Data) : GetCaretPos();
  if (TTxtEditMark* m = Bookmark(Index)) {
    const bool otherLine = m->Line() != pos.Line;
    RemoveBookmark(Index);
    if (otherLine) PlaceBookmark(Index, pos.Char, pos.Line);
  } else {
    PlaceBookmark(Index, pos.Char, pos.Line);
  }
}

void TCustomTxtEdit::CaretCommand(TTxtEditorCommand Command, void* Data) {
  const bool sel = Command >= ecSelLeft && Command <= ecSelGotoXY;
  const TTxtEditorCommand plain = sel ? TTxtEditorCommand(Command - 100) : Command;
  bool update = false;
  switch (plain) {
    case ecLeft: StepCaretHorizontally(-1, sel); break;
    case ecRight: StepCaretHorizontally(1, sel); break;
    case ecUp:
      StepCaretVertically(-1, sel);
      update = true;
      break;
    case ecDown:
      StepCaretVertically(1, sel);
      update = true;
      break;
    case ecWordLeft: MoveCaretWithSelection(GetCaretPos(), PrecedingWordStart(), sel); break;
    case ecWordRight: MoveCaretWithSelection(GetCaretPos(), FollowingWordStart(), sel); break;
    case ecLineStart: LineStartTarget(sel); break;
    case ecLineEnd: LineEndTarget(sel); break;
    case ecPageUp:
    case ecPageDown: {
      int n = FRowsInWindow;
      if (Has(eoHalfPageScroll)) n >>= 1;
      if (Has(eoScrollByOneLess)) --n;
      if (plain == ecPageUp) n = -n;
      SetTopLine(FTopLine + n);
      StepCaretVertically(n, sel);
      update = true;
      break;
    }
    case ecPageLeft: StepCaretHorizontally(-FColumnsInWindow, sel); break;
    case ecPageRight: StepCaretHorizontally(FColumnsInWindow, sel); break;
    case ecPageTop:
    case ecPageBottom: {
      const int row = plain == ecPageTop ? FTopLine : FTopLine + FRowsInWindow - 1;
      const TBufferCoord target =
          DisplayPosToTextPos(TBufferCoord{GetDisplayX(), ClampInt(row, 1, std::max(1, DisplayRowCount()))});
      MoveCaretWithSelection(GetCaretPos(), target, sel);
      update = true;
      break;
    }
    case ecEditorTop:
      MoveCaretWithSelection(GetCaretPos(), TBufferCoord{1, 1}, sel);
      update = true;
      break;
    case ecEditorBottom: {
      const int n = LineCount();
      MoveCaretWithSelection(GetCaretPos(), TBufferCoord{int(LineAt(n).size()) + 1, std::max(n, 1)}, sel);
      update = true;
      break;
    }
    case ecGotoXY:
      if (!Data) return;
      MoveCaretWithSelection(GetCaretPos(), *static_cast<TBufferCoord*>(Data), sel);
      update = true;
      break;
    default: break;
  }
  if (update && HandleAllocated()) ::UpdateWindow(Handle());
}
