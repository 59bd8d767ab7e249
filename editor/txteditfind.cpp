// Search and replace in the editor: the area searched, the walk over its lines
// through the search engine, selecting each match, replacing it and asking
// about it.
#include <utility>

#include "editor/txtedit.h"

int TCustomTxtEdit::FindReplace(const AnsiString& SearchText, const AnsiString& ReplaceText,
                                TTxtSearchFlags Options) {
  if (!FSearchEngine) throw ETxtEditError("No search engine has been assigned");
  if (SearchText.empty()) return 0;
  const bool backward = Options.Contains(sfBackwards);
  bool prompt = Options.Contains(sfPromptOnReplace);
  const bool replace = Options.Contains(sfReplace);
  bool replaceAll = Options.Contains(sfReplaceAll);
  if (!HasSelection()) Options >> sfSelectedOnly;
  const bool selectedOnly = Options.Contains(sfSelectedOnly);

  // the area
  TBufferCoord start, end;
  if (selectedOnly) {
    start = GetSelectionStart();
    end = GetSelectionEnd();
    if (FActiveSelectionMode == smLine) {
      start.Char = 1;
      end.Char = int(LineAt(end.Line).size()) + 1;
    } else if (FActiveSelectionMode == smColumn && start.Char > end.Char) {
      std::swap(start.Char, end.Char);
    }
  } else {
    start = TBufferCoord{1, 1};
    end = TBufferCoord{int(LineAt(LineCount()).size()) + 1, LineCount()};
    if (!Options.Contains(sfEntireScope)) {
      if (backward) end = GetCaretPos();
      else start = GetCaretPos();
    }
  }
  const bool columnArea = selectedOnly && FActiveSelectionMode == smColumn;
  const bool lineArea = selectedOnly && FActiveSelectionMode == smLine;

  FSearchEngine->SetSearchOptions(Options);
  FSearchEngine->SetFindText(SearchText);
  int found = 0;
  int replaceLength = 0;
  bool paintLocked = false, undoGroup = false;
  FirePaintTransientNested(ttBefore, true);
  auto finish = [&]() {
    if (paintLocked) EndPaintLock();
    if (undoGroup) EndUndoGroup();
    FirePaintTransientNested(ttAfter, true);
  };
  try {
    if (replaceAll && !prompt) {
      BeginPaintLock();
      paintLocked = true;
      BeginUndoGroup();
      undoGroup = true;
    }
    bool stop = false;
    for (int line = backward ? end.Line : start.Line; !stop && line >= start.Line && line <= end.Line;
         line += backward ? -1 : 1) {
      const int n = FSearchEngine->FindInText(LineAt(line));
      int offset = 0;
      for (int k = 0; k < n && !stop; ++k) {
        const int index = backward ? n - 1 - k : k;
        const int f = FSearchEngine->FoundPosition(index) + offset;
        const int len = FSearchEngine->FoundLength(index);
        if (columnArea) {
          if ((f < start.Char || f + len > end.Char) && start.Char != end.Char) continue;
        } else if (!lineArea) {
          if ((line == start.Line && f < start.Char) || (line == end.Line && f + len > end.Char)) continue;
        }
        ++found;
        // select and show the match; it is selected as a stream, so that in
        // line mode a replacement takes the match and not its whole line
        SetSelectionStart(TBufferCoord{f, line});
        PlaceCaret(false, TBufferCoord{1, line});
        MakeCaretVisibleCentred(true);
        SetSelectionEnd(TBufferCoord{f + len, line});
        FActiveSelectionMode = smNormal;
        MoveCaretTo(backward ? GetSelectionStart() : TBufferCoord{f + len, line});
        if (!replace && !replaceAll) {
          stop = true;
          break;
        }
        TTxtReplaceAction action = raReplace;
        if (prompt && OnReplaceText) {
          action = raCancel;
          FireReplaceText(SearchText, ReplaceText, line, f, action);
          if (action == raCancel) {
            stop = true;
            break;
          }
        }
        if (action != raSkip) {
          if (action == raReplaceAll) {
            if (!paintLocked) {
              BeginPaintLock();
              paintLocked = true;
            }
            replaceAll = true;
            prompt = false;
            if (!undoGroup) {
              BeginUndoGroup();
              undoGroup = true;
            }
          }
          ReplaceSelection(FSearchEngine->ReplacementFor(GetSelText(), ReplaceText));
          replaceLength = FCaretX - f;
        }
        if (!backward) {
          // after a skipped match the caret goes past that match, so that the
          // next search from the caret does not meet it again
          MoveCaretTo(TBufferCoord{f + (action == raSkip ? len : replaceLength), line});
          if (action != raSkip && replaceLength != len) {
            offset += replaceLength - len;
            if (FSelectionMode != smColumn && FCaretY == end.Line) {
              end.Char += replaceLength - len;
              SetSelectionEnd(end);
              FActiveSelectionMode = smNormal;
            }
          }
        }
        if (!replaceAll) stop = true;
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return found;
}
