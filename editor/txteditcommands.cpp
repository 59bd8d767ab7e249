// The command pipeline and the commands that change the text, with the undo
// records each makes; undo and redo replay and the saved state.
#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/txtdbcs.h"
#include "editor/txtedit.h"
#include "platform/rtl/strings.h"

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

bool HasNonBlank(const AnsiString& S) {
  for (char c : S)
    if (!IsBlankChar(c)) return true;
  return false;
}

std::vector<AnsiString> SplitCommandPieces(const AnsiString& Text) {
  std::vector<AnsiString> pieces;
  std::size_t start = 0, i = 0;
  while (i < Text.size()) {
    if (Text[i] == '\r' || Text[i] == '\n') {
      pieces.push_back(Text.substr(start, i - start));
      if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  pieces.push_back(Text.substr(start));
  return pieces;
}

// Turns eoScrollPastEol on for a scope and puts it back as it was.
struct PastEolScope {
  TTxtEditorOptions& Options;
  bool Was;
  explicit PastEolScope(TTxtEditorOptions& O) : Options(O), Was(O.Contains(eoScrollPastEol)) { Options << eoScrollPastEol; }
  ~PastEolScope() {
    if (!Was) Options >> eoScrollPastEol;
  }
};

// Toggles the case of each character: those whose upper case is themselves
// become lower case, the others upper case; double-byte characters stay.
AnsiString ToggleCaseText(const AnsiString& S) {
  AnsiString r = S;
  const auto* p = reinterpret_cast<const unsigned char*>(S.data());
  for (std::size_t i = 0; i < S.size();) {
    if (txtdbcs::PairAt(p, S.size(), i)) {
      i += 2;
      continue;
    }
    const AnsiString one(1, S[i]);
    const AnsiString up = AnsiUpperCase(one);
    r[i] = up == one ? AnsiLowerCase(one)[0] : up[0];
    ++i;
  }
  return r;
}

}  // namespace

// ---------------------------------------------------------------- pipeline

void TCustomTxtEdit::AddCommandHook(const THookedCommandEvent& Handler, void* HandlerData) {
  if (!Handler) return;
  for (const HookEntry& e : FCommandHooks)
    if (e.Handler == Handler) return;
  FCommandHooks.push_back(HookEntry{Handler, HandlerData});
}

void TCustomTxtEdit::RemoveCommandHook(const THookedCommandEvent& Handler) {
  if (!Handler) return;
  for (int i = int(FCommandHooks.size()) - 1; i >= 0; --i)
    if (FCommandHooks[std::size_t(i)].Handler == Handler) {
      FCommandHooks.erase(FCommandHooks.begin() + i);
      return;
    }
}

void TCustomTxtEdit::RunCommandHooks(bool AfterProcessing, TTxtEditorCommand& Command, char& AChar, void* Data) {
  bool handled = false;
  const std::vector<HookEntry> hooks = FCommandHooks;  // handlers may unhook themselves
  for (const HookEntry& e : hooks) e.Handler(this, AfterProcessing, handled, Command, AChar, Data, e.Data);
  if (handled) Command = ecNone;
}

void TCustomTxtEdit::RunCommand(TTxtEditorCommand Command, char AChar, void* Data) {
  FireProcessCommand(Command, AChar, Data);
  if (Command != ecNone) RunCommandHooks(false, Command, AChar, Data);
  if (Command != ecNone && Command < ecUserFirst) PerformCommand(Command, AChar, Data);
  if (Command != ecNone) RunCommandHooks(true, Command, AChar, Data);
  FireCommandProcessed(Command, AChar, Data);
}

void TCustomTxtEdit::PerformCommand(TTxtEditorCommand Command, char AChar, void* Data) {
  BeginPaintLock();
  try {
    if ((Command >= ecLeft && Command <= ecGotoXY) || (Command >= ecSelLeft && Command <= ecSelGotoXY)) {
      CaretCommand(Command, Data);
    } else if (Command == ecSelWord) {
      SelectWordAtCaret();
    } else if (Command == ecSelectAll) {
      SelectAll();
    } else if (Command == ecCopy) {
      CopyToClipboard();
    } else if (Command >= ecScrollUp && Command <= ecScrollRight) {
      ScrollCommand(Command);
    } else if (Command == ecInsertMode || Command == ecOverwriteMode || Command == ecToggleMode) {
      SetInsertMode(Command == ecInsertMode ? true : Command == ecOverwriteMode ? false : !FInsertMode);
    } else if (Command == ecNormalSelect || Command == ecColumnSelect || Command == ecLineSelect) {
      SetSelectionMode(Command == ecNormalSelect ? smNormal : Command == ecColumnSelect ? smColumn : smLine);
    } else if (Command == ecMatchBracket) {
      JumpToMatchingBracket();
    } else if (Command >= ecGotoMarker0 && Command <= ecGotoMarker9) {
      if (FBookMarkOptions->EnableKeys()) JumpToBookmark(Command - ecGotoMarker0);
    } else if (Command >= ecSetMarker0 && Command <= ecSetMarker9) {
      if (FBookMarkOptions->EnableKeys()) SetMarkerCommand(Command - ecSetMarker0, Data);
    } else if (Command == ecContextHelp) {
      if (OnContextHelp) OnContextHelp(this, WordAtCaret());
    } else if ((Command >= ecDeleteLastChar && Command <= ecChar) || Command == ecImeStr || Command == ecUndo ||
               Command == ecRedo || Command == ecCut || Command == ecPaste ||
               (Command >= ecBlockIndent && Command <= ecShiftTab) ||
               (Command >= ecUpperCase && Command <= ecToggleCaseBlock && Command != 624)) {
      if (!GetReadOnly()) EditCommand(Command, AChar, Data);
    }
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

void TCustomTxtEdit::EditCommand(TTxtEditorCommand Command, char AChar, void* Data) {
  const bool transient = (Command >= ecDeleteLastChar && Command <= ecDeleteLine) || Command == ecChar;
  if (transient) FirePaintTransient(ttBefore);
  // undo and redo replay records; every other command is one edit
  const bool edit = Command != ecUndo && Command != ecRedo;
  if (edit) BeginEdit();
  try {
    EditCommandBody(Command, AChar, Data);
  } catch (...) {
    if (edit) EndEdit();
    throw;
  }
  if (edit) EndEdit();
  // these commands leave no selection: one that the caret moved away from
  // would otherwise be taken for the start of the next insertion
  if ((Command >= ecDeleteLastChar && Command <= ecChar) || Command == ecImeStr || Command == ecCut ||
      Command == ecPaste)
    CollapseSelectionAtCaret();
  if (transient) FirePaintTransient(ttAfter);
}

void TCustomTxtEdit::EditCommandBody(TTxtEditorCommand Command, char AChar, void* Data) {
  switch (Command) {
    case ecDeleteLastChar: DeleteLastChar(); break;
    case ecDeleteChar: DeleteChar(); break;
    case ecDeleteWord: DeleteWordOrEol(false); break;
    case ecDeleteEOL: DeleteWordOrEol(true); break;
    case ecDeleteLastWord: DeleteLastWordOrBol(false); break;
    case ecDeleteBOL: DeleteLastWordOrBol(true); break;
    case ecDeleteLine: DeleteLine(); break;
    case ecClearAll: ClearAll(); break;
    case ecLineBreak: InsertLineBreak(true); break;
    case ecInsertLine: InsertLineBreak(false); break;
    case ecChar: TypeChar(AChar); break;
    case ecImeStr:
      if (Data) InsertImeString(static_cast<const char*>(Data));
      break;
    case ecUndo: Undo(); break;
    case ecRedo: Redo(); break;
    case ecCut:
      if (HasSelection()) CutToClipboard();
      break;
    case ecPaste: PasteFromClipboard(); break;
    case ecBlockIndent: BlockIndent(); break;
    case ecBlockUnindent: BlockUnindent(); break;
    case ecTab: TabCommand(); break;
    case ecShiftTab: ShiftTabCommand(); break;
    default: CaseCommand(Command); break;
  }
}

// ---------------------------------------------------------------- replacing

void TCustomTxtEdit::ReplaceSelection(const AnsiString& Text) {
  BeginUndoGroup();
  BeginEdit();
  try {
    if (HasSelection()) {
      RecordSelectionDeletion(false);
    } else {
      // the text goes in at the caret, wherever an empty selection was left
      FActiveSelectionMode = FSelectionMode;
      FSelectionAnchor = FSelectionFocus = GetCaretPos();
    }
    const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
    FSelectionAnchor = s;
    FSelectionFocus = e;
    SetSelText(Text);
    // a column insertion records its own pieces
    if (!Text.empty() && FActiveSelectionMode != smColumn) RecordInsertion(urInsert);
  } catch (...) {
    EndEdit();
    EndUndoGroup();
    throw;
  }
  EndEdit();  // inside the group: trimmed blanks belong to the step
  EndUndoGroup();
}

void TCustomTxtEdit::DeleteSelectionByKey() {
  BeginUndoGroup();  // a column block is one record per line
  try {
    RecordSelectionDeletion(true);
    SetSelText(AnsiString());
  } catch (...) {
    EndUndoGroup();
    throw;
  }
  EndUndoGroup();
}

void TCustomTxtEdit::ClearAll() {
  FLines->Clear();
  FMarks->Clear();
  for (TTxtEditMark*& b : FBookmarks) b = nullptr;
  ClearUndoHistory();
  SetModified(false);
}

// ---------------------------------------------------------------- deletion

void TCustomTxtEdit::DeleteLastChar() {
  if (HasSelection()) {
    DeleteSelectionByKey();
    return;
  }
  const AnsiString T = LineText();
  const int L = int(T.size());
  // a caret left on the second byte of a character deletes the whole character
  if (IsTrailAt(T, FCaretX)) {
    ++FCaretX;
    FStatusChanges << scCaretX;
  }
  const TBufferCoord P = GetCaretPos();
  AnsiString removed;
  if (FCaretX > L + 1) {
    int x;
    if (Has(eoSmartTabDelete) && L == 0) {
      const int v = FCaretX - 1;
      int b = 0;
      if (v > 0)
        for (int y = FCaretY - 1; y >= 1; --y) {
          const int n = LeadingBlankCount(LineAt(y), Has(eoTrimTrailingSpaces));
          if (n < v) {
            b = n;
            break;
          }
        }
      x = b + 1;
    } else if (Has(eoSmartTabDelete)) {
      x = L + 1;
    } else {
      x = FCaretX - 1;
    }
    FCaretX = x;
    FStatusChanges << scCaretX;
    SetState(esCaretPending, true);
  } else if (FCaretX == 1) {
    if (FCaretY == 1) return;
    const int y = FCaretY;
    const AnsiString prev = LineAt(y - 1);
    FLines->BeginUpdate();
    try {
      FCaretX = int(prev.size()) + 1;
      FCaretY = y - 1;
      FStatusChanges << scCaretX << scCaretY;
      FLines->Delete(y - 1);
      DoLinesDeleted(y - 1, 1);
      FLines->Put(y - 2, TextToStore(y - 1, prev + T));
    } catch (...) {
      FLines->EndUpdate();
      throw;
    }
    FLines->EndUpdate();
    removed = "\r\n";
  } else if (!(IsBlankChar(T[std::size_t(FCaretX - 2)]) && FCaretX - 1 == LeadingBlankCount(T, false))) {
    const int n = IsTrailAt(T, FCaretX - 1) ? 2 : 1;
    AnsiString after = T;
    removed = after.substr(std::size_t(FCaretX - 1 - n), std::size_t(n));
    after.erase(std::size_t(FCaretX - 1 - n), std::size_t(n));
    const int newX = FCaretX - n;
    StoreLine(FCaretY, after);
    FCaretX = newX;
    if (Has(eoTrimTrailingSpaces) && after.find('\t') != AnsiString::npos) {
      const AnsiString stored = LineText();
      if (stored.size() < after.size()) {
        PastEolScope scope(FOptions);
        FCaretX += CharIndexToColumn(newX, FTabWidth, after) - CharIndexToColumn(newX, FTabWidth, stored);
      }
    }
    FStatusChanges << scCaretX;
    SetState(esCaretPending, true);
  } else {
    int count;
    if (Has(eoSmartTabDelete)) {
      const int s1 = LeadingBlankCount(T, false);
      int s2 = 0;
      for (int y = FCaretY - 1; y >= 1; --y) {
        const int n = LeadingBlankCount(LineAt(y), false);
        if (n < s1) {
          s2 = n;
          break;
        }
      }
      count = s1 - s2;
    } else {
      const int d = GetDisplayX();
      int k = (d - 1) % FTabWidth;
      if (k == 0) k = FTabWidth;
      const AnsiString expanded = FLines->ExpandedLine(FCaretY - 1);
      count = 0;
      for (int col = d - k; col <= d - 1 && count < k; ++col) {
        ++count;
        if (col >= 1 && col <= int(expanded.size()) && expanded[std::size_t(col - 1)] == '\t') break;
      }
    }
    count = std::min(count, FCaretX - 1);
    AnsiString after = T;
    removed = after.substr(std::size_t(FCaretX - 1 - count), std::size_t(count));
    after.erase(std::size_t(FCaretX - 1 - count), std::size_t(count));
    FCaretX -= count;
    FStatusChanges << scCaretX;
    StoreLine(FCaretY, after);
    SetState(esCaretPending, true);
  }
  if (!(GetCaretPos() == P)) FUndoList->RecordChange(urCharDeleteBefore, GetCaretPos(), P, removed, smNormal);
  MakeCaretVisible();
}

void TCustomTxtEdit::DeleteChar() {
  if (HasSelection()) {
    DeleteSelectionByKey();
    return;
  }
  const AnsiString T = LineText();
  const int L = int(T.size());
  AnsiString removed;
  TBufferCoord end;
  if (FCaretX > L) {
    if (FCaretY >= LineCount()) return;
    const AnsiString next = LineAt(FCaretY + 1);
    const int filler = FCaretX - L - 1;
    FLines->BeginUpdate();
    try {
      StoreLine(FCaretY, T + AnsiString(std::size_t(filler), ' ') + next);
      FLines->Delete(FCaretY);
      DoLinesDeleted(FCaretY, 1);
    } catch (...) {
      FLines->EndUpdate();
      throw;
    }
    FLines->EndUpdate();
    // the line break went at the line's end, the filler up to the caret came
    // in its place: one step of two records
    BeginUndoGroup();
    FUndoList->RecordChange(urCharDeleteAfter, TBufferCoord{L + 1, FCaretY}, TBufferCoord{1, FCaretY + 1}, "\r\n",
                            smNormal);
    if (filler > 0)
      FUndoList->RecordChange(urInsert, TBufferCoord{L + 1, FCaretY}, GetCaretPos(), AnsiString(), smNormal);
    EndUndoGroup();
    return;
  } else {
    const int n = (FCaretX < L && IsTrailAt(T, FCaretX + 1)) ? 2 : 1;
    AnsiString after = T;
    removed = after.substr(std::size_t(FCaretX - 1), std::size_t(n));
    after.erase(std::size_t(FCaretX - 1), std::size_t(n));
    StoreLine(FCaretY, after);
    end = TBufferCoord{FCaretX + n, FCaretY};
  }
  FUndoList->RecordChange(urCharDeleteAfter, GetCaretPos(), end, removed, smNormal);
}

void TCustomTxtEdit::DeleteWordOrEol(bool Eol) {
  const AnsiString T = LineText();
  const int L = int(T.size());
  TBufferCoord e;
  if (Eol) {
    e = TBufferCoord{L + 1, FCaretY};
  } else {
    e = CurrentWordEndFrom(GetCaretPos());
    if (e.Char < FCaretX || (e.Char == FCaretX && FCaretY < LineCount())) {
      if (L < e.Char) {
        e = TBufferCoord{1, FCaretY + 1};
      } else if (e.Char <= L && T[std::size_t(e.Char - 1)] != ' ') {
        e.Char += IsTrailAt(T, e.Char + 1) ? 2 : 1;
      }
    }
    const AnsiString el = LineAt(e.Line);
    while (e.Char <= int(el.size()) && el[std::size_t(e.Char - 1)] == ' ') ++e.Char;
  }
  const TBufferCoord caret = GetCaretPos();
  if (e == caret) return;
  const TTxtSelectionMode mode = FSelectionMode;
  FSelectionMode = smNormal;
  SetSelectionStart(caret);
  SetSelectionEnd(e);
  FSelectionMode = mode;
  const AnsiString taken = GetSelText();
  if (taken.empty()) {  // nothing follows the caret: nothing to delete
    SetCaretAndCollapse(caret);
    return;
  }
  const TBufferCoord from = GetSelectionStart();
  const int spaces = std::max(0, caret.Char - from.Char);
  BeginUndoGroup();
  try {
    // the deleted span, then the filler that keeps a caret past the line's
    // end in its column
    FUndoList->RecordChange(urCharDeleteAfter, from, GetSelectionEnd(), taken, smNormal);
    ReplaceSelectionInMode(smNormal, AnsiString(std::size_t(spaces), ' '), true);
    if (spaces > 0) FUndoList->RecordChange(urInsert, from, GetCaretPos(), AnsiString(), smNormal);
  } catch (...) {
    EndUndoGroup();
    throw;
  }
  EndUndoGroup();
  PastEolScope scope(FOptions);
  MoveCaretTo(caret);
}

void TCustomTxtEdit::DeleteLastWordOrBol(bool Bol) {
  const TBufferCoord caret = GetCaretPos();
  const TBufferCoord s = Bol ? TBufferCoord{1, FCaretY} : PrecedingWordStart();
  if (s == caret) return;
  const TTxtSelectionMode mode = FSelectionMode;
  FSelectionMode = smNormal;
  SetSelectionStart(caret);
  SetSelectionEnd(s);
  FSelectionMode = mode;
  const AnsiString taken = GetSelText();
  const TBufferCoord end = GetSelectionEnd();
  ReplaceSelectionInMode(smNormal, AnsiString(), true);
  // the removed span, so that a redo removes it again
  if (!taken.empty()) FUndoList->RecordChange(urCharDeleteBefore, s, end, taken, smNormal);
  MoveCaretTo(s);
}

void TCustomTxtEdit::DeleteLine() {
  const int count = LineCount();
  if (count == 0 || (FCaretY >= count && LineText().empty())) return;
  if (HasSelection()) SetSelectionStart(GetCaretPos());
  const AnsiString T = LineText();
  const int y = FCaretY;
  if (y >= count) {
    FLines->Put(y - 1, AnsiString());
    FUndoList->RecordChange(urCharDeleteAfter, TBufferCoord{1, y}, TBufferCoord{int(T.size()) + 1, y}, T, smNormal);
  } else {
    FLines->BeginUpdate();
    try {
      FLines->Delete(y - 1);
      DoLinesDeleted(y, 1);
    } catch (...) {
      FLines->EndUpdate();
      throw;
    }
    FLines->EndUpdate();
    FUndoList->RecordChange(urCharDeleteAfter, TBufferCoord{1, y}, TBufferCoord{1, y + 1}, T + "\r\n", smNormal);
  }
  PlaceCaret(true, TBufferCoord{1, y});
}

// ---------------------------------------------------------------- line breaks and typing

void TCustomTxtEdit::InsertLineBreak(bool MoveCaret) {
  BeginUndoGroup();
  FLines->BeginUpdate();
  try {
    if (HasSelection()) {
      RecordSelectionDeletion(false);
      SetSelText(AnsiString());
    }
    const AnsiString T = LineText();
    const int L = int(T.size());
    const TBufferCoord P = GetCaretPos();
    // each break is recorded as the stream span it inserts: a line break and
    // the indent that starts the new line
    int insertedAt;  // 1-based line that was inserted
    TBufferCoord target = P;
    if (L == 0) {
      if (LineCount() == 0) FLines->Add(AnsiString());
      int indent = 0;
      if (Has(eoAutoIndent))
        for (int y = FCaretY; y >= 1; --y)
          if (!LineAt(y).empty()) {
            indent = LeadingBlankCount(LineAt(y), true);
            break;
          }
      FLines->Insert(FCaretY - 1, AnsiString());
      insertedAt = FCaretY;
      FUndoList->RecordChange(urLineBreak, TBufferCoord{1, FCaretY}, TBufferCoord{1, FCaretY + 1}, AnsiString(),
                              smNormal);
      target = TBufferCoord{indent + 1, FCaretY + 1};
    } else if (L < FCaretX) {
      const int indent = LeadingBlankCount(T, false);
      const AnsiString ind = MoveCaret && indent > 0 ? T.substr(0, std::size_t(indent)) : AnsiString();
      FLines->Insert(FCaretY, ind);
      insertedAt = FCaretY + 1;
      target = TBufferCoord{indent + 1, FCaretY + 1};
      FUndoList->RecordChange(urLineBreak, TBufferCoord{L + 1, FCaretY}, TBufferCoord{int(ind.size()) + 1, FCaretY + 1},
                              AnsiString(), smNormal);
    } else if (FCaretX == 1) {
      FLines->Insert(FCaretY - 1, AnsiString());
      insertedAt = FCaretY;
      FUndoList->RecordChange(urLineBreak, P, TBufferCoord{1, FCaretY + 1}, AnsiString(), smNormal);
      target = TBufferCoord{FCaretX, FCaretY + 1};
    } else {
      const AnsiString left = T.substr(0, std::size_t(FCaretX - 1));
      const AnsiString right = T.substr(std::size_t(FCaretX - 1));
      const AnsiString ind = BlankRun(LeadingBlankCount(left, true), true);
      FLines->Insert(FCaretY, ind + right);
      StoreLine(FCaretY, left);
      insertedAt = FCaretY + 1;
      FUndoList->RecordChange(urLineBreak, P, TBufferCoord{int(ind.size()) + 1, FCaretY + 1}, AnsiString(), smNormal);
      target = TBufferCoord{int(ind.size()) + 1, FCaretY + 1};
    }
    DoLinesInserted(insertedAt, 1);
    if (MoveCaret) {
      PastEolScope scope(FOptions);
      PlaceCaret(false, target);
    }
    SetSelectionStart(GetCaretPos());
    MakeCaretVisible();
    RememberCaretColumn();
  } catch (...) {
    FLines->EndUpdate();
    EndUndoGroup();
    throw;
  }
  FLines->EndUpdate();
  EndUndoGroup();
}

void TCustomTxtEdit::TypeChar(char AChar) {
  const unsigned char c = static_cast<unsigned char>(AChar);
  if (c < 32 || c == 127) return;
  if (!FInsertMode && !HasSelection()) {
    // a double-byte character under the caret is overwritten whole
    const AnsiString line = LineText();
    SelectByLength(IsTrailAt(line, FCaretX + 1) ? 2 : 1);
  }
  ReplaceSelection(AnsiString(1, AChar));
}

void TCustomTxtEdit::InsertImeString(const char* Text) {
  const AnsiString s = Text;
  if (s.empty()) return;
  if (HasSelection()) {
    ReplaceSelection(s);
    InvalidateGutter();
    return;
  }
  PastEolScope scope(FOptions);
  AnsiString T = LineText();
  TBufferCoord start = GetCaretPos();
  if (int(T.size()) < FCaretX - 1) {
    start.Char = int(T.size()) + 1;  // the filler is part of the insertion
    T += AnsiString(std::size_t(FCaretX - 1 - int(T.size())), ' ');
  }
  AnsiString overwritten;
  if (!FInsertMode) {
    int n = std::min(int(s.size()), int(T.size()) - (FCaretX - 1));
    // a double-byte character just after the span stays whole
    if (n > 0 && IsTrailAt(T, FCaretX + n)) --n;
    if (n > 0) {
      overwritten = T.substr(std::size_t(FCaretX - 1), std::size_t(n));
      T.erase(std::size_t(FCaretX - 1), std::size_t(n));
    }
  }
  T.insert(std::size_t(FCaretX - 1), s);
  StoreLine(FCaretY, T);
  FCaretX += int(s.size());
  FStatusChanges << scCaretX;
  SetState(esCaretPending, true);
  FUndoList->RecordChange(urInsert, start, GetCaretPos(), overwritten, smNormal);
  if (FCaretX >= FLeftChar + FColumnsInWindow) SetLeftChar(FLeftChar + std::min(25, FColumnsInWindow - 1));
}

// ---------------------------------------------------------------- tabs and indents

void TCustomTxtEdit::TabCommand() {
  if (Has(eoTabIndent) && ((HasSelection() && SelectionSpansLines()) || SelectionCoversWholeLines())) {
    const bool single = !SelectionSpansLines();
    BlockIndent();
    if (single) {
      if (FSelectionAnchor.Char < FSelectionFocus.Char) FSelectionAnchor.Char = 1;
      else FSelectionFocus.Char = 1;
    }
    return;
  }
  // the smart stop under the next word of a line above
  int w = 0;
  int stopColumn = 0;  // display column of the smart stop
  const int d = GetDisplayX();
  if (Has(eoSmartTabs))
    for (int y = FCaretY - 1; y >= 1; --y) {
      const AnsiString ex = FLines->ExpandedLine(y - 1);
      if (int(ex.size()) < d) continue;
      int i = d;
      while (i <= int(ex.size()) && !IsBlankChar(ex[std::size_t(i - 1)])) ++i;
      while (i <= int(ex.size()) && IsBlankChar(ex[std::size_t(i - 1)])) ++i;
      w = i - d;
      stopColumn = i;
      break;
    }
  BeginUndoGroup();
  try {
    if (HasSelection()) {
      RecordSelectionDeletion(false);
      SetSelText(AnsiString());
    }
    const AnsiString line = LineText();
    const int x = FCaretX;
    if (w == 0) {
      w = FTabWidth;
      if (Has(eoTabsToSpaces)) w -= (x - 1) % FTabWidth;
    }
    AnsiString text;
    int n;
    const bool nothingAfter = x > int(line.size());
    if (Has(eoTabsToSpaces)) {
      text = AnsiString(std::size_t(w), ' ');
      n = x + w;
    } else if (Has(eoTrimTrailingSpaces) && nothingAfter) {
      const int target = stopColumn > 0 ? stopColumn : (d - 1) / FTabWidth * FTabWidth + FTabWidth + 1;
      n = x + (target - d);
    } else {
      if (stopColumn > 0) {
        const AnsiString before = line.substr(0, std::min<std::size_t>(line.size(), std::size_t(x - 1)));
        if (HasNonBlank(before)) {
          text = "\t";
        } else {
          int col = d;  // display column, brought to the stop
          const int nextStop = (col - 1) / FTabWidth * FTabWidth + FTabWidth + 1;
          if (nextStop <= stopColumn) {
            text += '\t';
            col = nextStop;
            while (col + FTabWidth <= stopColumn) {
              text += '\t';
              col += FTabWidth;
            }
          }
          text += AnsiString(std::size_t(std::max(0, stopColumn - col)), ' ');
        }
      } else {
        text = "\t";
      }
      // (a blank line that loses its blanks at the end of the edit keeps the
      // caret's screen column there)
      n = x + int(text.size());
    }
    if (!text.empty()) {
      SetSelText(text);
      if (FActiveSelectionMode != smColumn) RecordInsertion(urInsert);
    }
    EndUndoGroup();
    PastEolScope scope(FOptions);
    PlaceCaret(true, TBufferCoord{n, FCaretY});
    CollapseSelectionAtCaret();
  } catch (...) {
    EndUndoGroup();
    throw;
  }
}

void TCustomTxtEdit::ShiftTabCommand() {
  if (Has(eoTabIndent) && ((HasSelection() && SelectionSpansLines()) || SelectionCoversWholeLines())) {
    BlockUnindent();
    return;
  }
  const AnsiString line = LineText();
  int c = FCaretX;
  if (Has(eoSmartTabs) && FCaretX > 1 && FCaretY > 1) {
    for (int y = FCaretY - 1; y >= 1; --y) {
      const AnsiString above = LineAt(y);
      if (int(above.size()) < FCaretX - 1) continue;
      int i = FCaretX - 1;
      while (i > 1 && above[std::size_t(i - 1)] == ' ') --i;
      while (i > 1 && above[std::size_t(i - 2)] != ' ') --i;
      c = i;
      break;
    }
  }
  if (c == FCaretX) {
    const int q = FTabWidth * ((FCaretX - 2) / FTabWidth) + 1;
    if (FCaretX > int(line.size())) {
      c = q;
    } else if (FCaretX > 1 && line[std::size_t(FCaretX - 2)] == '\t' && q < c) {
      c = c - 1;
    } else {
      while (c > q && c > 1 && line[std::size_t(c - 2)] == ' ') --c;
    }
  }
  c = std::max(c, 1);
  // a column taken from another line may split a character of this one: the
  // whole character goes
  if (IsTrailAt(line, c)) --c;
  if (c == FCaretX) return;
  const TBufferCoord old = GetCaretPos();
  const TTxtSelectionMode mode = FSelectionMode;
  FSelectionMode = smNormal;
  SetSelectionStart(TBufferCoord{c, FCaretY});
  SetSelectionEnd(old);
  FSelectionMode = mode;
  const AnsiString taken = GetSelText();
  ReplaceSelectionInMode(smNormal, AnsiString(), true);
  FUndoList->RecordChange(urCharDeleteBefore, TBufferCoord{c, old.Line}, old, taken, smNormal);
  PlaceCaret(true, TBufferCoord{c, old.Line});
  CollapseSelectionAtCaret();
}

void TCustomTxtEdit::BlockIndent() {
  if (!HasSelection()) return;
  const TBufferCoord bb = GetSelectionStart(), be = GetSelectionEnd();
  const TTxtSelectionMode mode = FActiveSelectionMode;
  const TBufferCoord caret = GetCaretPos();
  const int lastLine = (be.Char == 1 && be.Line > bb.Line) ? be.Line - 1 : be.Line;
  const AnsiString indent = Has(eoTabsToSpaces) ? AnsiString(std::size_t(FTabWidth), ' ') : AnsiString("\t");
  const int n = int(indent.size());
  AnsiString block;
  for (int l = bb.Line; l <= lastLine; ++l) {
    if (l > bb.Line) block += "\r\n";
    block += indent;
  }
  const int col = mode == smColumn ? std::min(bb.Char, be.Char) : 1;
  BeginUndoGroup();
  try {
    InsertColumnBlock(TBufferCoord{col, bb.Line}, TBufferCoord{col, bb.Line}, block, true);
    FUndoList->RecordChange(urIndent, bb, be, AnsiString(), smColumn);
    FUndoList->RecordChange(urIndent, TBufferCoord{bb.Char + n, bb.Line}, TBufferCoord{be.Char + n, be.Line},
                            AnsiString(), smColumn);
  } catch (...) {
    EndUndoGroup();
    throw;
  }
  EndUndoGroup();
  const int newCaretX = be.Char == 1 ? 1 : caret.Char + (Has(eoTabsToSpaces) ? FTabWidth : 1);
  PastEolScope scope(FOptions);
  FActiveSelectionMode = mode;
  const TTxtSelectionMode prop = FSelectionMode;
  FSelectionMode = mode;
  PlaceCaretAndSelection(TBufferCoord{newCaretX, caret.Line}, TBufferCoord{bb.Char + n, bb.Line},
                         TBufferCoord{be.Char > 1 ? be.Char + n : be.Char, be.Line});
  FSelectionMode = prop;
  FActiveSelectionMode = mode;
}

void TCustomTxtEdit::BlockUnindent() {
  if (!HasSelection()) return;
  const TBufferCoord bb = GetSelectionStart(), be = GetSelectionEnd();
  const TTxtSelectionMode mode = FActiveSelectionMode;
  const TBufferCoord caret = GetCaretPos();
  const int lastLine = (be.Char == 1 && be.Line > bb.Line) ? be.Line - 1 : be.Line;
  const int col = mode == smColumn ? std::min(bb.Char, be.Char) : 1;
  std::vector<AnsiString> prefixes;
  bool any = false;
  for (int l = bb.Line; l <= lastLine; ++l) {
    const AnsiString line = LineAt(l);
    AnsiString p;
    if (col <= int(line.size()) && line[std::size_t(col - 1)] == '\t') {
      p = "\t";
    } else {
      int i = col;
      while (i <= int(line.size()) && line[std::size_t(i - 1)] == ' ' && i - col < FTabWidth) ++i;
      p = line.substr(std::min<std::size_t>(line.size(), std::size_t(col - 1)), std::size_t(i - col));
      if (int(p.size()) < FTabWidth && i <= int(line.size()) && line[std::size_t(i - 1)] == '\t') p += '\t';
    }
    if (!p.empty()) any = true;
    prefixes.push_back(p);
  }
  if (!any) return;
  AnsiString joined;
  FLines->BeginUpdate();
  try {
    for (int l = bb.Line; l <= lastLine; ++l) {
      const AnsiString& p = prefixes[std::size_t(l - bb.Line)];
      if (l > bb.Line) joined += "\r\n";
      joined += p;
      if (p.empty()) continue;
      AnsiString line = LineAt(l);
      line.erase(std::size_t(col - 1), p.size());
      FLines->Put(l - 1, line);
    }
  } catch (...) {
    FLines->EndUpdate();
    throw;
  }
  FLines->EndUpdate();
  FUndoList->RecordChange(urUnindent, bb, be, joined, mode);
  TBufferCoord nb = bb, ne = be, nc = caret;
  if (mode != smColumn) {
    const int caretIdx = caret.Line - bb.Line;
    if (nc.Char != 1 && caretIdx >= 0 && caretIdx < int(prefixes.size()))
      nc.Char = std::max(1, nc.Char - int(prefixes[std::size_t(caretIdx)].size()));
    nb.Char = std::max(1, nb.Char - int(prefixes.front().size()));
    for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it)
      if (!it->empty()) {
        if (ne.Char > 1) ne.Char = std::max(1, ne.Char - int(it->size()));
        break;
      }
  }
  const TTxtSelectionMode prop = FSelectionMode;
  FSelectionMode = mode;
  PlaceCaretAndSelection(nc, nb, ne);
  FSelectionMode = prop;
  FActiveSelectionMode = mode;
}

// ---------------------------------------------------------------- case conversion

void TCustomTxtEdit::CaseCommand(TTxtEditorCommand Command) {
  const bool word = Command >= ecUpperCase && Command <= ecTitleCase;
  const TBufferCoord caret = GetCaretPos();
  const bool hadSelection = HasSelection();
  const TBufferCoord anchor = FSelectionAnchor, focus = FSelectionFocus;
  if (word) {
    // the word is a stream of characters whatever the selection mode
    const TTxtSelectionMode prop = FSelectionMode;
    FSelectionMode = FActiveSelectionMode = smNormal;
    SelectWordAtCaret();
    for (int k = 0; k < 2 && !HasSelection(); ++k) {
      MoveCaretTo(PrecedingWordStart());
      SelectWordAtCaret();
    }
    FSelectionMode = prop;
    FActiveSelectionMode = smNormal;
  } else if (!hadSelection) {
    const AnsiString line = LineText();
    if (FCaretX > int(line.size()) && FCaretY < LineCount()) {
      MoveCaretTo(TBufferCoord{1, FCaretY + 1});
      return;
    }
    // the next character, as a stream whatever the selection mode
    const TTxtSelectionMode prop = FSelectionMode;
    FSelectionMode = FActiveSelectionMode = smNormal;
    SelectByLength(IsTrailAt(line, FCaretX + 1) ? 2 : 1);
    FSelectionMode = prop;
    FActiveSelectionMode = smNormal;
  }
  if (!HasSelection()) {
    MoveCaretTo(caret);
    return;
  }
  auto convert = [Command](const AnsiString& Text, bool First) {
    switch (Command) {
      case ecUpperCase:
      case ecUpperCaseBlock: return AnsiUpperCase(Text);
      case ecLowerCase:
      case ecLowerCaseBlock: return AnsiLowerCase(Text);
      case ecToggleCase:
      case ecToggleCaseBlock: return ToggleCaseText(Text);
      default: {  // title case: the first character of the text upper case
        AnsiString r = AnsiLowerCase(Text);
        if (First && !r.empty()) r = AnsiUpperCase(r.substr(0, 1)) + r.substr(1);
        return r;
      }
    }
  };
  const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
  BeginUndoGroup();
  try {
    if (hadSelection) FUndoList->RecordChange(urSelection, anchor, focus, AnsiString(), FActiveSelectionMode);
    else FUndoList->RecordChange(urSelection, caret, caret, AnsiString(), FActiveSelectionMode);
    FUndoList->RecordChange(urCaret, caret, caret, AnsiString(), FActiveSelectionMode);
    if (FActiveSelectionMode != smNormal) {
      // a block or whole lines are converted where they stand: nothing is
      // padded, moved, overwritten or taken from other display columns
      const bool column = FActiveSelectionMode == smColumn;
      const int lo = column ? std::min(s.Char, e.Char) : 1, hi = column ? std::max(s.Char, e.Char) : INT_MAX;
      bool first = true;
      for (int l = s.Line; l <= e.Line; ++l) {
        AnsiString L = LineAt(l);
        int a = lo, b = hi;
        if (IsTrailAt(L, a)) ++a;
        if (IsTrailAt(L, b)) ++b;
        b = std::min(b, int(L.size()) + 1);
        if (a >= b) continue;
        const AnsiString piece = L.substr(std::size_t(a - 1), std::size_t(b - a));
        const AnsiString conv = convert(piece, first);
        first = false;
        if (conv == piece) continue;
        L.replace(std::size_t(a - 1), piece.size(), conv);
        FLines->Put(l - 1, L);
        FUndoList->RecordChange(urInsert, TBufferCoord{a, l}, TBufferCoord{a + int(conv.size()), l}, piece,
                                smNormal);
      }
    } else {
      ReplaceSelection(convert(GetSelText(), true));
    }
  } catch (...) {
    EndUndoGroup();
    throw;
  }
  EndUndoGroup();
  if (hadSelection || word) {
    if (!word && hadSelection) {
      SetSelectionStart(s);
      SetSelectionEnd(e);
      MoveCaretTo(caret);
    } else {
      SetCaretXY(caret);
      FActiveSelectionMode = FSelectionMode;
    }
  }
}

// ---------------------------------------------------------------- undo and redo

static void PushBreakWithStep(TTxtEditUndoList* List, int Step) {
  if (List->TopReason() == urGroupBreak) return;
  auto* b = new TTxtEditUndoItem();
  b->Reason = urGroupBreak;
  b->StepNumber = Step;
  List->Push(b);
}

namespace {
// Replaying records stores lines exactly as they were.
struct ReplayScope {
  int& Depth;
  explicit ReplayScope(int& D) : Depth(D) { ++Depth; }
  ~ReplayScope() { --Depth; }
};
}  // namespace

void TCustomTxtEdit::Undo() {
  if (GetReadOnly()) return;
  ReplayScope replay(FReplayDepth);
  if (FUndoList->TopReason() == urGroupBreak) {
    TTxtEditUndoItem* b = FUndoList->Pop();
    const int step = b->StepNumber;
    delete b;
    PushBreakWithStep(FRedoList.get(), step);
  }
  TTxtEditUndoItem* f = FUndoList->Top();
  if (!f) return;
  const TTxtUndoReason r = f->Reason;
  const int step = f->StepNumber;
  const int savedGroup = FRedoList->GroupStepNumber;
  FRedoList->GroupStepNumber = step;
  try {
    BeginPaintLock();
    try {
      for (;;) {
        const TTxtUndoReason last = FUndoList->TopReason();
        const int lastStep = FUndoList->Top()->StepNumber;
        ReplayUndoRecord();
        TTxtEditUndoItem* n = FUndoList->Top();
        if (!n) break;
        if (r == urAutoCompleteEnd || r == urPasteEnd) {
          const TTxtUndoReason begin = r == urAutoCompleteEnd ? urAutoCompleteBegin : urPasteBegin;
          if (n->Reason == begin) break;
          continue;
        }
        // a step that like records drew in goes whole, never half
        if (n->StepNumber == step || n->StepNumber == lastStep) continue;
        if (Has(eoGroupUndo) && n->Reason == last && last != urIndent && last != urUnindent) continue;
        break;
      }
      if ((r == urAutoCompleteEnd && FUndoList->TopReason() == urAutoCompleteBegin) ||
          (r == urPasteEnd && FUndoList->TopReason() == urPasteBegin)) {
        ReplayUndoRecord();
        UpdateModifiedFromSavePoint();
      }
    } catch (...) {
      EndPaintLock();
      throw;
    }
    EndPaintLock();
  } catch (...) {
    FRedoList->GroupStepNumber = savedGroup;
    throw;
  }
  FRedoList->GroupStepNumber = savedGroup;
  UpdateModifiedFromSavePoint();
}

void TCustomTxtEdit::Redo() {
  if (GetReadOnly()) return;
  ReplayScope replay(FReplayDepth);
  TTxtEditUndoItem* f = FRedoList->Top();
  if (!f) return;
  const TTxtUndoReason r = f->Reason;
  const int step = f->StepNumber;
  const int savedGroup = FUndoList->GroupStepNumber;
  FUndoList->GroupStepNumber = step;
  try {
    BeginPaintLock();
    try {
      for (;;) {
        const TTxtUndoReason last = FRedoList->TopReason();
        const int lastStep = FRedoList->Top()->StepNumber;
        ReplayRedoRecord();
        TTxtEditUndoItem* n = FRedoList->Top();
        if (!n) break;
        if (r == urAutoCompleteBegin || r == urPasteBegin) {
          const TTxtUndoReason end = r == urAutoCompleteBegin ? urAutoCompleteEnd : urPasteEnd;
          if (last == end) break;
          continue;
        }
        if (n->StepNumber == step || n->StepNumber == lastStep) continue;
        if (Has(eoGroupUndo) && n->Reason == last && last != urIndent && last != urUnindent) continue;
        break;
      }
    } catch (...) {
      EndPaintLock();
      throw;
    }
    EndPaintLock();
  } catch (...) {
    FUndoList->GroupStepNumber = savedGroup;
    throw;
  }
  FUndoList->GroupStepNumber = savedGroup;
  if (FRedoList->TopReason() == urGroupBreak) {
    TTxtEditUndoItem* b = FRedoList->Pop();
    const int s = b->StepNumber;
    delete b;
    PushBreakWithStep(FUndoList.get(), s);
  }
  UpdateModifiedFromSavePoint();
}

void TCustomTxtEdit::ReplayUndoRecord() {
  std::unique_ptr<TTxtEditUndoItem> item(FUndoList->Pop());
  if (!item) return;
  const TTxtSelectionMode oldMode = FSelectionMode, oldActive = FActiveSelectionMode;
  FSelectionMode = FActiveSelectionMode = item->SelectionMode;
  PastEolScope scope(FOptions);
  BeginPaintLock();
  auto restore = [&]() {
    FSelectionMode = oldMode;
    FActiveSelectionMode = oldActive;
    EndPaintLock();
  };
  try {
    const TBufferCoord s = item->StartPos, e = item->EndPos;
    switch (item->Reason) {
      case urInsert:
      case urPaste:
      case urDragDropInsert:
      case urLineBreak: {  // a line break is recorded as the span it inserted
        SetSelectionStart(s);
        SetSelectionEnd(e);
        const AnsiString taken = GetSelText();
        ReplaceSelectionInMode(item->SelectionMode, item->Text, false);
        const TBufferCoord restoredEnd = GetCaretPos();
        PlaceCaret(true, s);
        FRedoList->RecordChange(item->Reason, s, e, taken, item->SelectionMode);
        // Redo removes the text put back here before it inserts again.
        if (!item->Text.empty())
          FRedoList->RecordChange(urCharDeleteAfter, s, restoredEnd, AnsiString(), item->SelectionMode);
        break;
      }
      case urReverseDelete:
      case urDelete:
      case urCharDeleteBefore:
      case urCharDeleteAfter: {
        TBufferCoord p = EarlierPosition(s, e);
        if (item->SelectionMode == smColumn) p = TBufferCoord{std::min(s.Char, e.Char), std::min(s.Line, e.Line)};
        if ((item->Reason == urReverseDelete || item->Reason == urCharDeleteAfter) && p.Line > LineCount()) {
          FLines->Add(AnsiString());
          PlaceCaret(false, TBufferCoord{1, LineCount()});
        }
        SetCaretAndCollapse(p);
        ReplaceSelectionInMode(item->SelectionMode, item->Text, false);
        if (item->Reason == urReverseDelete || item->Reason == urDelete) {
          PlaceCaretAndSelection(item->Reason == urReverseDelete ? s : e, s, e);
        } else {
          SetCaretAndCollapse(item->Reason == urCharDeleteAfter ? s : e);
        }
        MakeCaretVisible();
        FRedoList->RecordChange(item->Reason, s, e, AnsiString(), item->SelectionMode);
        break;
      }
      case urIndent:
        PlaceCaretAndSelection(e, s, e);
        FRedoList->RecordChange(urIndent, s, e, item->Text, item->SelectionMode);
        break;
      case urUnindent: {
        const int col = item->SelectionMode == smColumn ? std::min(s.Char, e.Char) : 1;
        const std::vector<AnsiString> pieces = SplitCommandPieces(item->Text);
        FLines->BeginUpdate();
        try {
          for (std::size_t k = 0; k < pieces.size(); ++k) {
            const int l = s.Line + int(k);
            if (l > LineCount() || pieces[k].empty()) continue;
            AnsiString line = LineAt(l);
            if (int(line.size()) < col - 1) line += AnsiString(std::size_t(col - 1 - int(line.size())), ' ');
            line.insert(std::size_t(col - 1), pieces[k]);
            FLines->Put(l - 1, line);
          }
        } catch (...) {
          FLines->EndUpdate();
          throw;
        }
        FLines->EndUpdate();
        PlaceCaretAndSelection(s, s, e);
        FRedoList->RecordChange(urUnindent, s, e, item->Text, item->SelectionMode);
        break;
      }
      case urCaret:
        FRedoList->RecordChange(urCaret, GetCaretPos(), GetCaretPos(), AnsiString(), item->SelectionMode);
        PlaceCaret(true, s);
        break;
      case urSelection:
        FRedoList->RecordChange(urSelection, GetSelectionStart(), GetSelectionEnd(), AnsiString(),
                                item->SelectionMode);
        SetSelectionStart(s);
        SetSelectionEnd(e);
        break;
      default: break;
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TCustomTxtEdit::ReplayRedoRecord() {
  std::unique_ptr<TTxtEditUndoItem> item(FRedoList->Pop());
  if (!item) return;
  const TTxtSelectionMode oldMode = FSelectionMode, oldActive = FActiveSelectionMode;
  FSelectionMode = FActiveSelectionMode = item->SelectionMode;
  PastEolScope scope(FOptions);
  FUndoList->RedoRunning = true;
  BeginPaintLock();
  auto restore = [&]() {
    FSelectionMode = oldMode;
    FActiveSelectionMode = oldActive;
    FUndoList->RedoRunning = false;
    EndPaintLock();
  };
  try {
    const TBufferCoord s = item->StartPos, e = item->EndPos;
    switch (item->Reason) {
      case urInsert:
      case urPaste:
      case urDragDropInsert:
      case urLineBreak: {
        SetCaretAndCollapse(s);
        ReplaceSelectionInMode(item->SelectionMode, item->Text, false);
        PlaceCaret(true, e);
        FUndoList->RecordChange(item->Reason, s, e, GetSelText(), item->SelectionMode);
        if (item->Reason == urDragDropInsert) PlaceCaretAndSelection(s, s, e);
        break;
      }
      case urReverseDelete:
      case urCharDeleteAfter:
      case urDelete:
      case urCharDeleteBefore: {
        SetSelectionStart(s);
        SetSelectionEnd(e);
        const AnsiString taken = GetSelText();
        ReplaceSelectionInMode(item->SelectionMode, item->Text, false);
        const bool toEnd = item->Reason == urReverseDelete || item->Reason == urCharDeleteAfter;
        FUndoList->RecordChange(item->Reason, s, e, taken, item->SelectionMode);
        PlaceCaret(true, toEnd ? e : s);
        break;
      }
      case urIndent:
        PlaceCaretAndSelection(e, s, e);
        FUndoList->RecordChange(urIndent, s, e, item->Text, item->SelectionMode);
        break;
      case urUnindent: {
        const int col = item->SelectionMode == smColumn ? std::min(s.Char, e.Char) : 1;
        const std::vector<AnsiString> pieces = SplitCommandPieces(item->Text);
        FLines->BeginUpdate();
        try {
          for (std::size_t k = 0; k < pieces.size(); ++k) {
            const int l = s.Line + int(k);
            if (l > LineCount()) break;
            AnsiString line = LineAt(l);
            if (col - 1 < int(line.size())) line.erase(std::size_t(col - 1), pieces[k].size());
            FLines->Put(l - 1, line);
          }
        } catch (...) {
          FLines->EndUpdate();
          throw;
        }
        FLines->EndUpdate();
        if (item->SelectionMode == smColumn) {
          PlaceCaretAndSelection(s, s, e);
        } else {
          const TBufferCoord b{std::max(1, s.Char - FTabWidth), s.Line};
          const TBufferCoord en{std::max(1, e.Char - int(pieces.back().size())), e.Line};
          PlaceCaretAndSelection(b, b, en);
        }
        FUndoList->RecordChange(urUnindent, s, e, item->Text, item->SelectionMode);
        break;
      }
      case urCaret:
        FUndoList->RecordChange(urCaret, GetCaretPos(), GetCaretPos(), AnsiString(), item->SelectionMode);
        PlaceCaret(true, s);
        break;
      case urSelection:
        FUndoList->RecordChange(urSelection, GetSelectionStart(), GetSelectionEnd(), AnsiString(),
                                item->SelectionMode);
        SetSelectionStart(s);
        SetSelectionEnd(e);
        break;
      default: break;
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TCustomTxtEdit::UndoItemAdded(TObject* Sender) {
  UpdateModifiedFromSavePoint();
  if (Sender == FUndoList.get() && !FUndoList->RedoRunning && FUndoList->TopReason() != urGroupBreak)
    FRedoList->Clear();
  auto* list = static_cast<TTxtEditUndoList*>(Sender);
  if (list->GroupDepth() == 0) FireChange();
}

void TCustomTxtEdit::UpdateModifiedFromSavePoint() { SetModified(!FUndoList->AtSavePoint()); }

void TCustomTxtEdit::SetModified(bool Value) {
  if (FModified == Value) return;
  if (!Value) {
    if (Has(eoGroupUndo) && FUndoList->HasItems()) FUndoList->PushGroupBreak();
    FUndoList->SetSavePoint(true);
  } else {
    FUndoList->SetSavePoint(false);
  }
  FModified = Value;
  AddStatusChanges({scModified});
}
