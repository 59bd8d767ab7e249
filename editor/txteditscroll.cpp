// Scrolling, scroll bars and the scroll hint; following the line store's
// changes and keeping the highlighter's per-line range states up to date.
#include <algorithm>
#include <climits>
#include <cmath>

#include "editor/txtedit.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {

// The one hint window that shows the top line while a thumb is dragged.
THintWindow* g_scrollHint = nullptr;

}  // namespace

THintWindow* TxtScrollHintWindow() { return g_scrollHint; }

void FreeTxtScrollHintWindow() {
  delete g_scrollHint;
  g_scrollHint = nullptr;
}

// ---------------------------------------------------------------- top line and left column

void TCustomTxtEdit::SetTopLine(int Value) {
  const int rows = DisplayRowCount();
  const int limit = Has(eoScrollPastEof) ? rows : rows - FRowsInWindow + 1;
  Value = std::max(std::min(Value, limit), 1);
  if (Value == FTopLine) return;
  const int delta = FTopLine - Value;
  FTopLine = Value;
  if (HandleAllocated()) {
    if (std::abs(delta) < FRowsInWindow) {
      // the pixels move; only the band they uncover is painted
      ScrollWindowEx(Handle(), 0, FLineHeight * delta, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    } else {
      Invalidate();
    }
  }
  UpdateScrollBars();
  AddStatusChanges({scTopLine});
}

void TCustomTxtEdit::SetLeftChar(int Value) {
  int limit;
  if (Has(eoScrollPastEol)) {
    limit = Has(eoAutoSizeMaxScrollWidth) ? INT_MAX - FColumnsInWindow : FMaxScrollWidth - FColumnsInWindow + 1;
  } else {
    const int longest = LongestLineWidth();
    limit = longest > FColumnsInWindow ? longest - FColumnsInWindow + 1 : 1;
  }
  if (FWordWrapPlugin) Value = 1;
  Value = ClampInt(Value, 1, std::max(limit, 1));
  if (Value == FLeftChar) return;
  const int delta = FLeftChar - Value;
  FLeftChar = Value;
  FTextStartX = FGutterWidth + 2 - (FLeftChar - 1) * FCharWidth;
  if (HandleAllocated()) {
    RECT text{FGutterWidth + 2, 0, ClientWidth(), ClientHeight()};
    if (std::abs(delta) < FColumnsInWindow)
      ScrollWindowEx(Handle(), delta * FCharWidth, 0, &text, &text, nullptr, nullptr, SW_INVALIDATE);
    else
      InvalidateRect(Handle(), &text, FALSE);
  }
  if (Has(eoScrollPastEol) && Has(eoAutoSizeMaxScrollWidth) && FMaxScrollWidth < FLeftChar + FColumnsInWindow)
    SetMaxScrollWidth(FLeftChar + FColumnsInWindow);
  else
    UpdateScrollBars();
  AddStatusChanges({scLeftChar});
}

void TCustomTxtEdit::MakeCaretVisibleCentred(bool ForceToMiddle) {
  BeginPaintLock();
  try {
    const TBufferCoord d = GetDisplayCaret();
    if (d.Char < FLeftChar) SetLeftChar(d.Char);
    else if (d.Char >= FLeftChar + FColumnsInWindow && FColumnsInWindow > 0) SetLeftChar(d.Char - FColumnsInWindow + 1);
    else SetLeftChar(FLeftChar);
    if (ForceToMiddle && (d.Line < FTopLine || d.Line > FTopLine + FRowsInWindow - 1))
      SetTopLine(d.Line - (FRowsInWindow - 1) / 2);
    else if (!ForceToMiddle && d.Line < FTopLine)
      SetTopLine(d.Line);
    else if (!ForceToMiddle && d.Line > FTopLine + FRowsInWindow - 1 && FRowsInWindow > 0)
      SetTopLine(d.Line - FRowsInWindow + 1);
    else
      SetTopLine(FTopLine);
  } catch (...) {
    EndPaintLock();
    throw;
  }
  EndPaintLock();
}

// ---------------------------------------------------------------- scroll bars

void TCustomTxtEdit::UpdateScrollBars() {
  if (!HandleAllocated() || FPaintLock > 0) {
    SetState(esScrollBarsPending, true);
    return;
  }
  // Showing or hiding a bar resizes the window, which asks for the bars
  // again. Where the editor's rule and the bars' own rule disagree (a text
  // that just fills the window) that would go on for ever: a call made while
  // the bars are being set is answered by one more pass afterwards, and a
  // call inside that pass by nothing.
  if (FUpdatingScrollBars) {
    FScrollBarsAgain = true;
    return;
  }
  FUpdatingScrollBars = true;
  try {
    for (int pass = 0; pass < 2; ++pass) {
      FScrollBarsAgain = false;
      UpdateScrollBarsNow();
      if (!FScrollBarsAgain) break;
    }
  } catch (...) {
    FUpdatingScrollBars = false;
    throw;
  }
  FUpdatingScrollBars = false;
}

void TCustomTxtEdit::UpdateScrollBarsNow() {
  SetState(esScrollBarsPending, false);
  HWND h = Handle();
  if (FScrollBars == ssNone) {
    ShowScrollBar(h, SB_BOTH, FALSE);
    return;
  }
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  if (!Has(eoHideShowScrollbars)) si.fMask |= SIF_DISABLENOSCROLL;
  si.nMin = 0;
  // horizontal
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrapPlugin) {
    const int r = Has(eoScrollPastEol) ? FMaxScrollWidth : std::max(LongestLineWidth(), 1);
    if (r > 32767) {
      si.nMax = 32767;
      si.nPage = UINT(MulDiv(32767, FColumnsInWindow, r));
      si.nPos = MulDiv(32767, FLeftChar, r);
    } else {
      si.nMax = r;
      si.nPage = UINT(std::max(FColumnsInWindow, 0));
      si.nPos = FLeftChar;
    }
    ShowScrollBar(h, SB_HORZ, !(Has(eoHideShowScrollbars) && r <= 32767 && FColumnsInWindow >= r));
    SetScrollInfo(h, SB_HORZ, &si, TRUE);
    if (Has(eoDisableScrollArrows) || FColumnsInWindow >= r) {
      const bool more = FLeftChar + FColumnsInWindow - 1 < r;
      if (FLeftChar > 1 || more) {
        EnableScrollBar(h, SB_HORZ, ESB_ENABLE_BOTH);
        if (FLeftChar <= 1) EnableScrollBar(h, SB_HORZ, ESB_DISABLE_LEFT);
        else if (!more) EnableScrollBar(h, SB_HORZ, ESB_DISABLE_RIGHT);
      } else {
        EnableScrollBar(h, SB_HORZ, ESB_DISABLE_BOTH);
      }
    } else {
      EnableScrollBar(h, SB_HORZ, ESB_ENABLE_BOTH);
    }
  } else {
    ShowScrollBar(h, SB_HORZ, FALSE);
  }
  // vertical
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
    const int rows = DisplayRowCount();
    const int r = rows + (Has(eoScrollPastEof) ? FRowsInWindow - 1 : 0);
    if (r > 32767) {
      si.nMax = 32767;
      si.nPage = UINT(MulDiv(32767, FRowsInWindow, r));
      si.nPos = MulDiv(32767, FTopLine, r);
    } else {
      si.nMax = std::max(1, r);
      si.nPage = UINT(std::max(FRowsInWindow, 0));
      si.nPos = FTopLine;
    }
    ShowScrollBar(h, SB_VERT, !(Has(eoHideShowScrollbars) && r <= 32767 && FRowsInWindow >= si.nMax));
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    if (Has(eoDisableScrollArrows) || r <= FRowsInWindow) {
      if (FTopLine <= 1 && r <= FRowsInWindow) {
        EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH);
      } else {
        EnableScrollBar(h, SB_VERT, ESB_ENABLE_BOTH);
        if (FTopLine <= 1) EnableScrollBar(h, SB_VERT, ESB_DISABLE_UP);
        else if (rows - FTopLine - FRowsInWindow + 1 == 0) EnableScrollBar(h, SB_VERT, ESB_DISABLE_DOWN);
      }
    } else {
      EnableScrollBar(h, SB_VERT, ESB_ENABLE_BOTH);
    }
  } else {
    ShowScrollBar(h, SB_VERT, FALSE);
  }
}

void TCustomTxtEdit::WMHScroll(TMessage& Message) {
  const int pos = int(HIWORD(Message.WParam));
  switch (LOWORD(Message.WParam)) {
    case SB_LINELEFT: SetLeftChar(FLeftChar - 1); break;
    case SB_LINERIGHT: SetLeftChar(FLeftChar + 1); break;
    case SB_PAGELEFT: SetLeftChar(FLeftChar - (Has(eoScrollByOneLess) ? FColumnsInWindow - 1 : FColumnsInWindow)); break;
    case SB_PAGERIGHT: SetLeftChar(FLeftChar + (Has(eoScrollByOneLess) ? FColumnsInWindow - 1 : FColumnsInWindow)); break;
    case SB_LEFT: SetLeftChar(1); break;
    case SB_RIGHT:
      SetLeftChar(Has(eoScrollPastEol) ? FMaxScrollWidth - FColumnsInWindow + 1 : LongestLineWidth());
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      FThumbTracking = true;
      const int r = Has(eoScrollPastEol) ? FMaxScrollWidth : std::max(LongestLineWidth(), 1);
      SetLeftChar(r < 32768 ? pos : MulDiv(pos, r, 32767));
      break;
    }
    case SB_ENDSCROLL: FThumbTracking = false; break;
    default: break;
  }
  Message.Result = 0;
  if (OnScroll) OnScroll(this, sbHorizontal);
}

void TCustomTxtEdit::WMVScroll(TMessage& Message) {
  const int pos = int(HIWORD(Message.WParam));
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: SetTopLine(FTopLine - 1); break;
    case SB_LINEDOWN: SetTopLine(FTopLine + 1); break;
    case SB_PAGEUP: SetTopLine(FTopLine - (Has(eoScrollByOneLess) ? FRowsInWindow - 1 : FRowsInWindow)); break;
    case SB_PAGEDOWN: SetTopLine(FTopLine + (Has(eoScrollByOneLess) ? FRowsInWindow - 1 : FRowsInWindow)); break;
    case SB_TOP: SetTopLine(1); break;
    case SB_BOTTOM: SetTopLine(DisplayRowCount()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      FThumbTracking = true;
      const int rows = DisplayRowCount();
      if (rows > 32767) SetTopLine(MulDiv(rows + FRowsInWindow - 1, pos, 32767));
      else SetTopLine(pos);
      if (Has(eoShowScrollHint)) ShowScrollHint();
      break;
    }
    case SB_ENDSCROLL:
      FThumbTracking = false;
      if (Has(eoShowScrollHint)) HideScrollHint();
      break;
    default: break;
  }
  Message.Result = 0;
  if (HandleAllocated()) ::UpdateWindow(Handle());
  if (OnScroll) OnScroll(this, sbVertical);
}

void TCustomTxtEdit::ShowScrollHint() {
  if (!g_scrollHint) {
    TClass cls = HintWindowClass ? HintWindowClass : THintWindow::StaticClass();
    g_scrollHint = dynamic_cast<THintWindow*>(cls->Create ? cls->Create(nullptr) : nullptr);
    if (!g_scrollHint) g_scrollHint = new THintWindow(nullptr);
  }
  g_scrollHint->SetColor(FScrollHintColor);
  AnsiString text;
  if (FScrollHintFormat == shfTopLineOnly) {
    text = Format("Top Line: %d", {LineOfRow(FTopLine)});
  } else {
    const int bottom = FTopLine + std::min(FRowsInWindow, DisplayRowCount() - FTopLine);
    text = Format("%d - %d", {LineOfRow(FTopLine), LineOfRow(bottom)});
  }
  if (text.size() > 255) text.resize(255);
  TRect r = g_scrollHint->CalcHintRect(200, text, nullptr);
  const int w = r.right - r.left, hh = r.bottom - r.top;
  TPoint p{ClientWidth() - w - 4, 10};
  if (Has(eoScrollHintFollows)) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Handle(), SB_VERT, &si);
    const int b = GetSystemMetrics(SM_CYVSCROLL);
    const int range = std::max(si.nMax, 1);
    p.y = b + int(std::lround(double(ClientHeight() - 2 * b) * si.nTrackPos / range)) + hh / 2;
  }
  p = ClientToScreen(p);
  g_scrollHint->ActivateHint(TRect{p.x, p.y, p.x + w, p.y + hh}, text);
  g_scrollHint->Update();
}

void TCustomTxtEdit::HideScrollHint() {
  if (g_scrollHint) g_scrollHint->ReleaseHandle();
}

// ---------------------------------------------------------------- line store notifications

void TCustomTxtEdit::StoreChanging(TObject*) { SetState(esStoreUpdating, true); }

void TCustomTxtEdit::StoreChanged(TObject*) {
  SetState(esStoreUpdating, false);
  if (!HandleAllocated()) return;
  UpdateScrollBars();
  const TTxtSelectionMode mode = FActiveSelectionMode;
  SetSelectionStart(GetCaretPos());
  FActiveSelectionMode = mode;
  if (!IsRectEmpty(&FPendingInvalidArea)) {
    const TRect r = FPendingInvalidArea;
    FPendingInvalidArea = TRect{0, 0, 0, 0};
    InvalidateArea(r, false);
  }
  if (FGutter->ShowLineNumbers() && FGutter->AutoSize()) FGutter->AdjustDigitCount(LineCount());
  if (!Has(eoScrollPastEof)) SetTopLine(FTopLine);
}

void TCustomTxtEdit::StoreCleared(TObject*) {
  if (FWordWrapPlugin) FWordWrapPlugin->RebuildMap();
  ClearUndoHistory();
  FPendingInvalidArea = TRect{0, 0, 0, 0};
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
  if (HasSelection()) FSelectionFocus = FSelectionAnchor;
  SetCaretAndCollapse(TBufferCoord{1, 1});
  FTopLine = 1;
  FLeftChar = 1;
  FTextStartX = FGutterWidth + 2;
  AddStatusChanges({scAll});
}

void TCustomTxtEdit::StoreDeleted(TObject*, int Index, int Count) {
  ShiftTrimLines(Index, -Count);
  if (FHighlighter && LineCount() > 0) RescanFrom(Index);
  if (FWordWrapPlugin) FWordWrapPlugin->NoteLinesDeleted(Index, Count);
  InvalidateTextLines(Index + 1, INT_MAX);
  InvalidateGutterRows(Index + 1, INT_MAX);
}

void TCustomTxtEdit::StoreInserted(TObject*, int Index, int Count) {
  ShiftTrimLines(Index, Count);
  if (FHighlighter && LineCount() > 0) {
    int i = Index;
    while (i <= Index + Count - 1) i = RescanFrom(i) + 1;
  }
  if (FWordWrapPlugin) FWordWrapPlugin->NoteLinesInserted(Index, Count);
  InvalidateTextLines(Index + 1, INT_MAX);
  InvalidateGutterRows(Index + 1, INT_MAX);
  if (Has(eoAutoSizeMaxScrollWidth)) {
    const int w = FLines->ExpandedLineWidth(Index);
    if (w > FMaxScrollWidth) SetMaxScrollWidth(w);
  }
}

void TCustomTxtEdit::StorePut(TObject*, int Index, int Count) {
  int last = Index + 1;
  if (FWordWrapPlugin) {
    if (FWordWrapPlugin->NoteLinesReplaced(Index, Count) != 0) last = INT_MAX;
    InvalidateGutterRows(Index + 1, last);
  }
  if (FHighlighter) last = std::max(last, RescanFrom(Index) + 1);
  InvalidateTextLines(Index + 1, last);
  if (Has(eoAutoSizeMaxScrollWidth)) {
    const int w = FLines->ExpandedLineWidth(Index);
    if (w > FMaxScrollWidth) SetMaxScrollWidth(w);
  }
}

int TCustomTxtEdit::RescanFrom(int Index) {
  const int count = LineCount();
  if (!FHighlighter || Index >= count) return Index;
  if (Index <= 0) {
    Index = 0;
    FHighlighter->ResetScanState();
  } else {
    FHighlighter->RestoreScanState(FLines->GetRangeState(Index - 1));
  }
  for (;;) {
    const AnsiString text = FLines->Get(Index);  // alive for the whole scan of the line
    FHighlighter->StartLine(text, Index);
    FHighlighter->ScanToLineEnd();
    const Integer state = FHighlighter->ScanState();
    if (state == FLines->GetRangeState(Index)) return Index;
    FLines->SetRangeState(Index, state);
    if (++Index == count) return Index - 1;
  }
}

void TCustomTxtEdit::RescanAllRanges() {
  const int count = LineCount();
  if (!FHighlighter || count == 0) return;
  FHighlighter->ResetScanState();
  for (int i = 0; i < count; ++i) {
    const AnsiString text = FLines->Get(i);
    FHighlighter->StartLine(text, i);
    FHighlighter->ScanToLineEnd();
    FLines->SetRangeState(i, FHighlighter->ScanState());
  }
}
