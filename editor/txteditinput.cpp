// Input: mouse presses, moves and releases, double clicks, the gutter,
// auto-scrolling, the mouse cursor and the wheel; keys and characters; the
// input method's results; focus and the window messages about input.
#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/txtedit.h"
#include "platform/win/system.h"

// ---------------------------------------------------------------- mouse

void TCustomTxtEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TBufferCoord keepAnchor = FSelectionAnchor, keepFocus = FSelectionFocus;
  bool hadSelection = false;
  if (Button == mbLeft && HasSelection()) {
    hadSelection = true;
    FPressPointX = X;
    FPressPointY = Y;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Shift.Contains(ssDouble)) return;
  FKbdHandler.RunMouseDown(this, Button, Shift, X, Y);
  if (Button == mbRight) {
    if (!Has(eoRightMouseMovesCursor) ||
        (HasSelection() && IsPointInSelection(DisplayPosToTextPos(PixelsToDisplayPos(X, Y))))) {
      // the press leaves caret and selection alone
    } else {
      InvalidateSelection();
      FSelectionFocus = FSelectionAnchor;
      MoveCaretToPixel(X, Y);
    }
  } else if (Button == mbLeft) {
    MoveCaretToPixel(X, Y);
  }
  if (Button == mbLeft) {
    FSelectionAnchor = keepAnchor;
    FSelectionFocus = keepFocus;
    SetMouseCapture(true);
    SetState(esDragPending, false);
    bool mayDrag = hadSelection && Has(eoDragDropEditing) && X >= FGutterWidth + 2 && FSelectionMode == smNormal &&
                   IsPointInSelection(DisplayPosToTextPos(PixelsToDisplayPos(X, Y)));
    if (mayDrag) {
      SetState(esDragPending, true);
    } else if (!State(esDoubleClickWord)) {
      if (Shift.Contains(ssShift)) {
        SetSelectionEnd(GetCaretPos());
      } else {
        if (Has(eoAltSetsColumnMode) && FActiveSelectionMode != smLine)
          SetSelectionMode(Shift.Contains(ssAlt) ? smColumn : smNormal);
        SetSelectionStart(GetCaretPos());
      }
    }
  }
  if (X < FGutterWidth + 2) {
    if (Button == mbRight) FireGutterClick(Button, X, Y);
    else SetState(esGutterPressPending, true);
  }
  SetFocus();
  if (HandleAllocated() && FFocusControls.empty()) ::SetFocus(Handle());
}

void TCustomTxtEdit::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (MouseCapture() && State(esDragPending)) {
    if (std::abs(FPressPointX - X) >= GetSystemMetrics(SM_CXDRAG) ||
        std::abs(FPressPointY - Y) >= GetSystemMetrics(SM_CYDRAG)) {
      SetState(esDragPending, false);
      SetMouseCapture(false);
      FDragSource = true;
      BeginDrag(false);
    }
    return;
  }
  if (Shift.Contains(ssLeft) && MouseCapture()) {
    UpdateAutoScroll(X, Y);
    TBufferCoord d = PixelsToNearestDisplayPos(X, Y);
    d.Line = ClampInt(d.Line, 1, std::max(1, DisplayRowCount()));
    if (FAutoScrollStepX != 0) d.Char = GetDisplayX();
    if (FAutoScrollStepY != 0) d.Line = GetDisplayY();
    MoveCaretTo(DisplayPosToTextPos(d));
    SetSelectionEnd(GetCaretPos());
  }
}

void TCustomTxtEdit::UpdateAutoScroll(int X, int Y) {
  if (MouseCapture() || Dragging() || FDragSource || DragControl()) {
    TRect area{FGutterWidth, 0, FGutterWidth + FColumnsInWindow * FCharWidth, FRowsInWindow * FLineHeight};
    if (FBorderStyle == bsNone) InflateRect(&area, -2, -2);
    const int cw = std::max(FCharWidth, 1), lh = std::max(FLineHeight, 1);
    if (X < area.left) FAutoScrollStepX = (X - area.left) / cw - 1;
    else if (X >= area.right) FAutoScrollStepX = (X - area.right) / cw + 1;
    else FAutoScrollStepX = 0;
    if (Y < area.top) FAutoScrollStepY = (Y - area.top) / lh - 1;
    else if (Y >= area.bottom) FAutoScrollStepY = (Y - area.bottom) / lh + 1;
    else FAutoScrollStepY = 0;
    FAutoScrollTimer->SetEnabled(FAutoScrollStepX != 0 || FAutoScrollStepY != 0);
  } else {
    FAutoScrollTimer->SetEnabled(false);
  }
}

void TCustomTxtEdit::AutoScrollStep(TObject*) {
  POINT pt;
  GetCursorPos(&pt);
  const TPoint p = ScreenToClient(TPoint{pt.x, pt.y});
  TBufferCoord d = PixelsToDisplayPos(p.x, p.y);
  d.Line = ClampInt(d.Line, 1, std::max(1, DisplayRowCount()));
  if (FAutoScrollStepX != 0) {
    SetLeftChar(FLeftChar + FAutoScrollStepX);
    d.Char = FLeftChar + (FAutoScrollStepX > 0 ? FColumnsInWindow : 0);
  }
  if (FAutoScrollStepY != 0) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    SetTopLine(FTopLine + (shift ? FAutoScrollStepY * FRowsInWindow : FAutoScrollStepY));
    d.Line = ClampInt(FTopLine + (FAutoScrollStepY > 0 ? FRowsInWindow - 1 : 0), 1, std::max(1, DisplayRowCount()));
  }
  const TBufferCoord b = DisplayPosToTextPos(d);
  if (!(b == GetCaretPos())) {
    BeginPaintLock();
    try {
      MoveCaretTo(b);
      if (MouseCapture()) SetSelectionEnd(GetCaretPos());
    } catch (...) {
      EndPaintLock();
      throw;
    }
    EndPaintLock();
  }
  UpdateAutoScroll(p.x, p.y);
}

void TCustomTxtEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  FKbdHandler.RunMouseUp(this, Button, Shift, X, Y);
  FAutoScrollTimer->SetEnabled(false);
  if (Button == mbRight && Shift == TShiftState{ssRight} && PopupMenu()) return;
  SetMouseCapture(false);
  if (State(esGutterPressPending) && X < FGutterWidth && Button != mbRight) {
    FireGutterClick(Button, X, Y);
  } else if (State(esDragPending) && !State(esDoubleClickWord)) {
    MoveCaretToPixel(X, Y);
    if (!Shift.Contains(ssShift)) SetSelectionStart(GetCaretPos());
    else SetSelectionEnd(GetCaretPos());
    SetState(esDragPending, false);
  }
  SetState(esDoubleClickWord, false);
  SetState(esGutterPressPending, false);
}

void TCustomTxtEdit::DblClick() {
  POINT pt;
  GetCursorPos(&pt);
  const TPoint p = ScreenToClient(TPoint{pt.x, pt.y});
  if (p.x < FGutterWidth + 2) {
    TCustomControl::DblClick();
    return;
  }
  if (!Has(eoNoSelection)) SelectWordAtCaret();
  TCustomControl::DblClick();
  SetState(esDoubleClickWord, true);
  SetMouseCapture(false);
}

void TCustomTxtEdit::FireGutterClick(TMouseButton Button, int X, int Y) {
  if (!OnGutterClick) return;
  const int line = LineOfRow(PixelsToDisplayPos(X, Y).Line);
  if (line > LineCount()) return;
  TTxtEditMarks marks;
  FMarks->MarksOfLine(line, marks);
  TTxtEditMark* clicked = nullptr;
  int offset = 0;
  for (TTxtEditMark* m : marks) {
    if (!m) break;
    offset += FBookMarkOptions->Xoffset();
    if (offset > X) {
      clicked = m;
      break;
    }
  }
  OnGutterClick(this, Button, X, Y, line, clicked);
}

void TCustomTxtEdit::ChooseMouseCursor() {
  POINT pt;
  GetCursorPos(&pt);
  const TPoint p = ScreenToClient(TPoint{pt.x, pt.y});
  const TBufferCoord pos = DisplayPosToTextPos(PixelsToDisplayPos(p.x, p.y));
  int cursor;
  if (p.x < FGutterWidth) cursor = FGutter->Cursor();
  else if (Has(eoDragDropEditing) && !MouseCapture() && IsPointInSelection(pos)) cursor = crArrow;
  else cursor = Cursor();
  if (OnMouseCursor) OnMouseCursor(this, pos, cursor);
  FKbdHandler.RunMouseCursor(this, pos, cursor);
  Screen->SetCursor(TCursor(cursor));
}

void TCustomTxtEdit::WMSetCursor(TWMSetCursor& Message) {
  if (Message.HitTest() == HTCLIENT && Message.CursorWnd() == Handle() &&
      !ComponentState().Contains(csDesigning)) {
    ChooseMouseCursor();
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

bool TCustomTxtEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  int step = 3;
  if (Shift.Contains(ssCtrl)) step = Has(eoHalfPageScroll) ? FRowsInWindow / 2 : FRowsInWindow;
  FWheelRemainder += WheelDelta;
  const int notches = FWheelRemainder / 120;
  FWheelRemainder %= 120;
  SetTopLine(FTopLine - step * notches);
  if (HandleAllocated()) ::UpdateWindow(Handle());
  if (OnScroll) OnScroll(this, sbVertical);
  return true;
}

// ---------------------------------------------------------------- keyboard

void TCustomTxtEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  FKbdHandler.RunKeyDown(this, Key, Shift);
  void* data = nullptr;
  const TTxtEditorCommand cmd = KeyToCommand(Key, Shift, data);
  if (cmd != ecNone) {
    Key = 0;
    SetState(esSkipNextChar, true);
    RunCommand(cmd, '\0', data);
  } else {
    SetState(esSkipNextChar, false);
  }
}

void TCustomTxtEdit::KeyPress(char& Key) {
  if (FPendingImeChars > 0) {
    --FPendingImeChars;
    Key = 0;
    return;
  }
  if (State(esSkipNextChar)) {
    SetState(esSkipNextChar, false);
    Key = 0;
    return;
  }
  TCustomControl::KeyPress(Key);
  FKbdHandler.RunKeyPress(this, Key);
  if (Key != 0) RunCommand(ecChar, Key, nullptr);
}

void TCustomTxtEdit::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  FKbdHandler.RunKeyUp(this, Key, Shift);
}

void TCustomTxtEdit::WMSysChar(TWMKey& Message) {
  // Alt+Backspace ran its command on key-down: no beep for its character
  if (Message.CharCode() == VK_BACK && (Message.KeyData() & (LPARAM(1) << 29))) return;
  TCustomControl::Dispatch(Message);
}

void TCustomTxtEdit::WMGetDlgCode(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FWantTabs) Message.Result |= DLGC_WANTTAB;
  if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
}

void TCustomTxtEdit::WndProc(TMessage& Message) { TCustomControl::WndProc(Message); }

// ---------------------------------------------------------------- input method

void TCustomTxtEdit::WMImeComposition(TMessage& Message) {
  if ((Message.LParam & GCS_RESULTSTR) && HandleAllocated()) {
    HIMC imc = ImmGetContext(Handle());
    if (imc) {
      try {
        const LONG len = ImmGetCompositionString(imc, GCS_RESULTSTR, nullptr, 0);
        if (len > 0) {
          FPendingImeChars = int(len);
          std::vector<char> buf(std::size_t(len) + 1, '\0');
          ImmGetCompositionString(imc, GCS_RESULTSTR, buf.data(), DWORD(len) + 1);
          buf[std::size_t(len)] = '\0';
          RunCommand(ecImeStr, '\0', buf.data());
        }
      } catch (...) {
        ImmReleaseContext(Handle(), imc);
        throw;
      }
      ImmReleaseContext(Handle(), imc);
    }
  }
  TCustomControl::Dispatch(Message);
}

void TCustomTxtEdit::WMImeNotify(TMessage& Message) {
  if (Message.WParam == IMN_SETOPENSTATUS && HandleAllocated()) {
    if (HIMC imc = ImmGetContext(Handle())) {
      const LOGFONTA lf = Font()->LogFont();
      ImmSetCompositionFont(imc, &lf);
      ImmReleaseContext(Handle(), imc);
    }
  }
  TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------- focus

void TCustomTxtEdit::WMSetFocus(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  RunCommand(ecFocusEnter, '\0', nullptr);
  CreateSystemCaret();
  if (FHideSelection && HasSelection()) InvalidateSelection();
}

void TCustomTxtEdit::WMKillFocus(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  RunCommand(ecFocusLeave, '\0', nullptr);
  if (HasFocusNow() || FCaretShownUnfocused) return;
  DestroySystemCaret();
  if (FHideSelection && HasSelection()) InvalidateSelection();
}

void TCustomTxtEdit::WMCaptureChanged(TMessage& Message) {
  FAutoScrollTimer->SetEnabled(false);
  TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------- text messages

void TCustomTxtEdit::WMGetText(TMessage& Message) {
  char* buf = reinterpret_cast<char*>(Message.LParam);
  const int size = int(Message.WParam);
  if (!buf || size <= 0) {
    Message.Result = 0;
    return;
  }
  const AnsiString text = GetText();
  const int n = std::min(int(text.size()), size - 1);
  std::memcpy(buf, text.data(), std::size_t(n));
  buf[n] = '\0';
  Message.Result = n;
}

void TCustomTxtEdit::WMGetTextLength(TMessage& Message) {
  if (ControlState().Contains(csDocking)) Message.Result = 0;
  else Message.Result = LRESULT(GetText().size());
}

void TCustomTxtEdit::WMSetText(TMessage& Message) {
  Message.Result = 0;
  const char* text = reinterpret_cast<const char*>(Message.LParam);
  FLines->SetText(text ? AnsiString(text) : AnsiString());
  Message.Result = 1;
}
