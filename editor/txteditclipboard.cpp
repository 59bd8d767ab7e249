// The clipboard (plain text and the private block that keeps the selection
// mode), drag and drop of text within and between editors, dropped files and
// the edit messages.
#include <algorithm>
#include <cstring>

#include "editor/txtedit.h"
#include "platform/win/system.h"

namespace {

// Closes the clipboard on every way out.
struct ClipboardOpen {
  bool Opened;
  explicit ClipboardOpen(HWND Owner) : Opened(OpenClipboard(Owner) != FALSE) {}
  ~ClipboardOpen() {
    if (Opened) CloseClipboard();
  }
};

HGLOBAL NewClipboardBlock(const char* Prefix, std::size_t PrefixSize, const AnsiString& Text) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, PrefixSize + Text.size() + 1);
  if (!mem) return nullptr;
  auto* p = static_cast<char*>(GlobalLock(mem));
  if (!p) {
    GlobalFree(mem);
    return nullptr;
  }
  if (PrefixSize) std::memcpy(p, Prefix, PrefixSize);
  std::memcpy(p + PrefixSize, Text.data(), Text.size());
  p[PrefixSize + Text.size()] = '\0';
  GlobalUnlock(mem);
  return mem;
}

}  // namespace

// ---------------------------------------------------------------- copy and cut

void TCustomTxtEdit::CopyTextToClipboard(const AnsiString& Text) {
  if (Text.empty()) return;
  ClipboardOpen clip(HandleAllocated() ? Handle() : nullptr);
  if (!clip.Opened) throw ETxtEditError("Clipboard copy operation failed");
  EmptyClipboard();
  HGLOBAL text = NewClipboardBlock(nullptr, 0, Text);
  if (!text || !SetClipboardData(CF_TEXT, text)) {
    if (text) GlobalFree(text);
    throw ETxtEditError("Clipboard copy operation failed");
  }
  const char mode = char(FActiveSelectionMode == smLine ? 1 : FActiveSelectionMode == smColumn ? 2 : 0);
  HGLOBAL block = NewClipboardBlock(&mode, 1, Text);
  if (!block || !SetClipboardData(TxtEditClipboardFormat(), block)) {
    if (block) GlobalFree(block);
    throw ETxtEditError("Clipboard copy operation failed");
  }
}

void TCustomTxtEdit::CopyToClipboard() {
  if (!HasSelection()) return;
  AnsiString text;
  if (FActiveSelectionMode == smColumn && Has(eoTrimTrailingSpaces)) {
    // the block keeps its padding
    FOptions >> eoTrimTrailingSpaces;
    try {
      text = GetSelText();
    } catch (...) {
      FOptions << eoTrimTrailingSpaces;
      throw;
    }
    FOptions << eoTrimTrailingSpaces;
  } else {
    text = GetSelText();
  }
  CopyTextToClipboard(text);
}

void TCustomTxtEdit::CutToClipboard() {
  if (GetReadOnly() || !HasSelection()) return;
  BeginUndoGroup();
  try {
    CopyToClipboard();
    ReplaceSelection(AnsiString());
  } catch (...) {
    EndUndoGroup();
    throw;
  }
  EndUndoGroup();
}

bool TCustomTxtEdit::CanPaste() {
  return !GetReadOnly() && (IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(TxtEditClipboardFormat()));
}

// ---------------------------------------------------------------- paste

void TCustomTxtEdit::PasteFromClipboard() {
  if (!CanPaste()) return;
  FirePaintTransient(ttBefore);
  BeginUndoGroup();
  BeginEdit();
  try {
    DoPasteFromClipboard();
  } catch (...) {
    EndEdit();
    EndUndoGroup();
    FirePaintTransient(ttAfter);
    throw;
  }
  EndEdit();
  EndUndoGroup();
  FirePaintTransient(ttAfter);
}

void TCustomTxtEdit::DoPasteFromClipboard() {
  bool marker = false;
  const UINT privateFormat = TxtEditClipboardFormat();
  auto recordSelectionDeletion = [&]() {
    if (HasSelection()) {
      RecordSelectionDeletion(false);
      return true;
    }
    return false;
  };
  if (IsClipboardFormatAvailable(privateFormat)) {
    ClipboardOpen clip(HandleAllocated() ? Handle() : nullptr);
    HANDLE mem = clip.Opened ? GetClipboardData(privateFormat) : nullptr;
    const char* p = mem ? static_cast<const char*>(GlobalLock(mem)) : nullptr;
    if (!p) throw ETxtEditError("Clipboard paste operation failed.");
    try {
      const std::size_t size = GlobalSize(mem);
      FUndoList->RecordChange(urPasteBegin, GetSelectionStart(), GetSelectionEnd(), AnsiString(), smNormal);
      marker = true;
      const TTxtSelectionMode m = size == 0 ? smNormal : TTxtSelectionMode(std::min<unsigned>(Byte(p[0]), 2u));
      AnsiString text;
      if (size > 1) text.assign(p + 1, strnlen(p + 1, size - 1));
      if (recordSelectionDeletion()) {
        const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
        FSelectionAnchor = s;
        FSelectionFocus = e;
      }
      ReplaceSelectionInMode(m, text, true);
      // the inserted span as a stream; a column block recorded its pieces
      if (m != smColumn && !text.empty()) RecordInsertion(urPaste);
    } catch (...) {
      GlobalUnlock(mem);
      throw;
    }
    GlobalUnlock(mem);
  } else if (IsClipboardFormatAvailable(CF_TEXT)) {
    AnsiString text;
    {
      ClipboardOpen clip(HandleAllocated() ? Handle() : nullptr);
      HANDLE mem = clip.Opened ? GetClipboardData(CF_TEXT) : nullptr;
      const char* p = mem ? static_cast<const char*>(GlobalLock(mem)) : nullptr;
      if (!p) throw ETxtEditError("Clipboard paste operation failed.");
      text.assign(p, strnlen(p, GlobalSize(mem)));
      GlobalUnlock(mem);
    }
    FUndoList->RecordChange(urPasteBegin, GetSelectionStart(), GetSelectionEnd(), AnsiString(), smNormal);
    marker = true;
    if (!recordSelectionDeletion()) {
      FActiveSelectionMode = FSelectionMode;
      FSelectionAnchor = FSelectionFocus = GetCaretPos();
    }
    const TBufferCoord s = GetSelectionStart(), e = GetSelectionEnd();
    FSelectionAnchor = s;
    FSelectionFocus = e;
    SetSelText(text);
    if (FActiveSelectionMode != smColumn && !text.empty()) RecordInsertion(urPaste);
  }
  if (marker) FUndoList->RecordChange(urPasteEnd, GetSelectionStart(), GetSelectionEnd(), AnsiString(), smNormal);
  if (Has(eoHideShowScrollbars)) {
    const int lock = FPaintLock;
    FPaintLock = 0;
    try {
      UpdateScrollBars();
    } catch (...) {
      FPaintLock = lock;
      throw;
    }
    FPaintLock = lock;
  }
  MakeCaretVisible();
  AddStatusChanges({scSelection});
}

// ---------------------------------------------------------------- drag and drop

void TCustomTxtEdit::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TCustomControl::DragOver(Source, X, Y, State, Accept);
  auto* src = dynamic_cast<TCustomTxtEdit*>(Source);
  if (!src || GetReadOnly()) return;
  Accept = true;
  src->SetDragCursor(GetKeyState(VK_CONTROL) < 0 ? crMultiDrag : crDrag);
  if (src != this) {
    MoveCaretToPixel(X, Y);
    return;
  }
  if (State == dsDragLeave) {
    MoveCaretToPixel(FPressPointX, FPressPointY);
    return;
  }
  TBufferCoord d = PixelsToNearestDisplayPos(X, Y);
  d.Char = ClampInt(d.Char, FLeftChar, FLeftChar + std::max(FColumnsInWindow - 1, 0));
  d.Line = ClampInt(d.Line, FTopLine, FTopLine + std::max(FRowsInWindow - 1, 0));
  MoveCaretTo(DisplayPosToTextPos(d));
  UpdateAutoScroll(X, Y);
}

void TCustomTxtEdit::DragDrop(TObject* Source, int X, int Y) {
  auto* src = dynamic_cast<TCustomTxtEdit*>(Source);
  if (GetReadOnly() || !src || !src->HasSelection()) {
    TCustomControl::DragDrop(Source, X, Y);
    return;
  }
  BeginPaintLock();
  try {
    TCustomControl::DragDrop(Source, X, Y);
    MoveCaretToPixel(X, Y);
    TBufferCoord p = GetCaretPos();
    const bool same = src == this;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    bool move, after = false, drop;
    const TBufferCoord s = src->GetSelectionStart(), e = src->GetSelectionEnd();
    auto less = [](const TBufferCoord& a, const TBufferCoord& b) {
      return a.Line < b.Line || (a.Line == b.Line && a.Char < b.Char);
    };
    if (same) {
      move = !ctrl;
      after = less(e, p) || (p == e && !move);
      drop = after || less(p, s) || (p == s && !move);
    } else {
      move = shift;
      drop = true;
    }
    if (drop) {
      BeginUndoGroup();
      BeginEdit();
      bool editOpen = true;
      try {
        const AnsiString text = src->GetSelText();
        if (move) {
          src->ReplaceSelection(AnsiString());
          if (same && after) {
            if (p.Line == e.Line) p.Char -= e.Char - s.Char;
            p.Line -= e.Line - s.Line;
          }
        }
        const bool pastEol = Has(eoScrollPastEol);
        FOptions << eoScrollPastEol;
        try {
          SetCaretAndCollapse(p);
          if (HasSelection()) throw EAssertionFailed("A selection remains at the drop point (TxtEdit)");
          SuspendUndo();
          try {
            ReplaceSelection(text);
          } catch (...) {
            ResumeUndo();
            throw;
          }
          ResumeUndo();
        } catch (...) {
          if (!pastEol) FOptions >> eoScrollPastEol;
          throw;
        }
        if (!pastEol) FOptions >> eoScrollPastEol;
        FUndoList->RecordChange(same ? urDragDropInsert : urInsert, FInsertFrom, FInsertTo, FInsertOver, smNormal);
        editOpen = false;
        EndEdit();
        RunCommand(ecSelGotoXY, '\0', &p);
      } catch (...) {
        if (editOpen) EndEdit();
        EndUndoGroup();
        throw;
      }
      EndUndoGroup();
    }
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

void TCustomTxtEdit::DragCanceled() { FAutoScrollTimer->SetEnabled(false); }

void TCustomTxtEdit::DoEndDrag(TObject* Target, int X, int Y) {
  FDragSource = false;
  FAutoScrollTimer->SetEnabled(false);
  if (!Target) DragCanceled();
  TCustomControl::DoEndDrag(Target, X, Y);
}

void TCustomTxtEdit::WMDropFiles(TMessage& Message) {
  HDROP drop = reinterpret_cast<HDROP>(Message.WParam);
  try {
    if (OnDropFiles) {
      const UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
      POINT pt{0, 0};
      DragQueryPoint(drop, &pt);
      TStringList files;
      for (UINT i = 0; i < count; ++i) {
        char name[261] = {};
        DragQueryFileA(drop, i, name, sizeof name);
        files.Add(name);
      }
      OnDropFiles(this, pt.x, pt.y, &files);
    }
  } catch (...) {
    DragFinish(drop);
    Message.Result = 0;
    throw;
  }
  DragFinish(drop);
  Message.Result = 0;
}

// ---------------------------------------------------------------- edit messages

void TCustomTxtEdit::WMCut(TMessage& Message) {
  if (!GetReadOnly()) CutToClipboard();
  Message.Result = 1;
}

void TCustomTxtEdit::WMCopy(TMessage& Message) {
  CopyToClipboard();
  Message.Result = 1;
}

void TCustomTxtEdit::WMPaste(TMessage& Message) {
  if (!GetReadOnly()) PasteFromClipboard();
  Message.Result = 1;
}

void TCustomTxtEdit::WMClear(TMessage& Message) {
  if (!GetReadOnly()) ReplaceSelection(AnsiString());
}

void TCustomTxtEdit::WMUndo(TMessage& Message) { Undo(); }
