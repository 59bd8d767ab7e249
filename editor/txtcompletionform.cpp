// The completion list window: filtering and selection, layout and placement,
// painting of the three kinds, keys, mouse and wheel, and showing and hiding
// next to the editor it serves.
#include <algorithm>

#include "editor/txtcompletion.h"
#include "editor/txtdbcs.h"
#include "platform/controls/extctrls.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {

// Byte length of the last character of S (2 for a double-byte character).
std::size_t LastCharLength(const AnsiString& S) {
  const auto* p = reinterpret_cast<const unsigned char*>(S.data());
  std::size_t i = 0, last = 0;
  while (i < S.size()) {
    last = txtdbcs::CharWidth(p, S.size(), i);
    i += last;
  }
  return last;
}

}  // namespace

TTxtBaseCompletionProposalForm::TTxtBaseCompletionProposalForm(TComponent* AOwner,
                                                               TTxtBaseCompletionProposal* Proposal)
    : TCustomForm(AOwner, 0), FProposal(Proposal) {
  FItemList = std::make_unique<TStringList>();
  FInsertList = std::make_unique<TStringList>();
  FShownList = std::make_unique<TStringList>();
  FBitmap = std::make_unique<TBitmap>();
  FTitleBitmap = std::make_unique<TBitmap>();
  FFont = std::make_unique<TFont>();
  FFont->SetName("MS Sans Serif");
  FFont->SetSize(8);
  FTitleFont = std::make_unique<TFont>();
  FTitleFont->SetName("MS Sans Serif");
  FTitleFont->SetSize(8);
  FTitleFont->SetStyle(TFontStyles{fsBold});
  FTitleFont->SetColor(clBtnText);
  SetKeyPreview(false);
  FScrollbar = new TScrollBar(this);
  FScrollbar->SetKind(sbVertical);
  FScrollbar->SetTabStop(false);
  FScrollbar->SetParent(this);
  FScrollbar->OnChange = TNotifyEvent(this, &TTxtBaseCompletionProposalForm::ScrollbarChange);
  FScrollbar->OnScroll = TScrollEvent(this, &TTxtBaseCompletionProposalForm::ScrollbarScroll);
  FScrollbar->OnEnter = TNotifyEvent(this, &TTxtBaseCompletionProposalForm::ScrollbarEnter);
  RecalcItemHeight();
  FCreating = false;
  ResizeBitmaps();
}

TTxtBaseCompletionProposalForm::~TTxtBaseCompletionProposalForm() {
  if (FCurrentEditor) FCurrentEditor->UnregisterFocusControl(this);
}

void TTxtBaseCompletionProposalForm::CreateParams(TCreateParams& Params) {
  TCustomForm::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  // the system reports version 5.1, where pop-ups may cast a shadow
  Params.WindowClass.style |= CS_DROPSHADOW;
  if (FCurrentKind == ctCode) Params.Style |= FResizeable ? WS_THICKFRAME : WS_DLGFRAME;
}

// ---------------------------------------------------------------- lists and filtering

void TTxtBaseCompletionProposalForm::ShowAllItems() {
  FShownList->Assign(FItemList.get());
  FShownIndex.resize(std::size_t(FItemList->Count()));
  for (std::size_t i = 0; i < FShownIndex.size(); ++i) FShownIndex[i] = int(i);
}

void TTxtBaseCompletionProposalForm::SetItemList(TStrings* Value) {
  FItemList->Assign(Value);
  ShowAllItems();
  SetTypedText(FTypedText);
  AdjustScrollBar();
  if (FScrollbar->Enabled()) FScrollbar->SetPosition(std::min(FSelectedIndex, FScrollbar->Max()));
}

bool TTxtBaseCompletionProposalForm::ItemMatches(int I, bool FromItemList) const {
  AnsiString text;
  if (FFlags.Contains(scoUseInsertList)) {
    if (I >= 0 && I < FInsertList->Count()) text = FInsertList->Get(I);
  } else {
    const TStringList* list =
        (FromItemList || !FFlags.Contains(scoLimitToMatchedText)) ? FItemList.get() : FShownList.get();
    if (I >= 0 && I < list->Count()) text = list->Get(I);
    if (FFlags.Contains(scoUsePrettyText)) text = PlainItemText(text);
  }
  const AnsiString head = text.substr(0, FTypedText.size());
  if (FFlags.Contains(scoCaseSensitive))
    return FFlags.Contains(scoAnsiStrings) ? AnsiCompareStr(head, FTypedText) == 0 : head == FTypedText;
  return FFlags.Contains(scoAnsiStrings) ? AnsiCompareText(head, FTypedText) == 0
                                         : CompareText(head, FTypedText) == 0;
}

void TTxtBaseCompletionProposalForm::RebuildShownList() {
  FShownList->BeginUpdate();
  FShownList->Clear();
  FShownIndex.clear();
  for (int i = 0; i < FItemList->Count(); ++i)
    if (ItemMatches(i, true)) {
      FShownList->Add(FItemList->Get(i));
      FShownIndex.push_back(i);
    }
  FShownList->EndUpdate();
}

void TTxtBaseCompletionProposalForm::SetTypedText(const AnsiString& Value) {
  FTypedText = Value;
  if (FCurrentKind != ctCode) return;
  if (FFlags.Contains(scoLimitToMatchedText)) {
    RebuildShownList();
    AdjustScrollBar();
    FSelectedIndex = 0;
    FScrollbar->SetPosition(0);
    if (Visible() && FShownList->Count() > 0) FireChange(0);
    Invalidate();
  } else {
    int first = 0;
    for (int i = 0; i < FItemList->Count(); ++i)
      if (ItemMatches(i, true)) {
        first = i;
        break;
      }
    SetSelectedIndex(first);
  }
}

int TTxtBaseCompletionProposalForm::OriginalIndex(int I) const {
  if (FFlags.Contains(scoLimitToMatchedText) && I >= 0 && I < int(FShownIndex.size()))
    return FShownIndex[std::size_t(I)];
  return I;
}

void TTxtBaseCompletionProposalForm::FireChange(int Row) {
  if (FCurrentKind == ctCode && FProposal->OnChange) FProposal->OnChange(FProposal, OriginalIndex(Row));
}

// ---------------------------------------------------------------- selection and scrolling

void TTxtBaseCompletionProposalForm::SetSelectedIndex(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FSelectedIndex || Value > FShownList->Count() - 1) return;
  FSelectedIndex = Value;
  const int top = FScrollbar->Position();
  if (Value < top) FScrollbar->SetPosition(Value);
  else if (Value > top + FNbLinesInWindow - 1) FScrollbar->SetPosition(Value - FNbLinesInWindow + 1);
  if (Visible()) FireChange(Value);
  Invalidate();
}

void TTxtBaseCompletionProposalForm::MoveSelection(int Delta) {
  if (Delta < 0) SetSelectedIndex(std::max(0, FSelectedIndex + Delta));
  else SetSelectedIndex(std::min(FShownList->Count() - 1, FSelectedIndex + Delta));
}

void TTxtBaseCompletionProposalForm::SetNbLinesInWindow(int Value) {
  FNbLinesInWindow = std::max(1, Value);
  AdjustScrollBar();
}

void TTxtBaseCompletionProposalForm::AdjustScrollBar() {
  const int sbw = GetSystemMetrics(SM_CXVSCROLL);
  FScrollbar->SetBounds(ClientWidth() - sbw, FTitleHeight, sbw, std::max(0, ClientHeight() - FTitleHeight));
  const int rows = FShownList->Count();
  if (rows <= FNbLinesInWindow) {
    FScrollbar->SetParams(0, 0, 0);
    FScrollbar->SetEnabled(false);
  } else {
    FScrollbar->SetParams(std::min(FScrollbar->Position(), rows - FNbLinesInWindow), 0, rows - FNbLinesInWindow);
    FScrollbar->SetLargeChange(FNbLinesInWindow);
    FScrollbar->SetPageSize(1);
    FScrollbar->SetEnabled(true);
  }
}

void TTxtBaseCompletionProposalForm::ScrollbarChange(TObject*) {
  const int top = FScrollbar->Position();
  if (FSelectedIndex < top) SetSelectedIndex(top);
  else if (FSelectedIndex > top + FNbLinesInWindow - 1) SetSelectedIndex(top + FNbLinesInWindow - 1);
  else Invalidate();
}

void TTxtBaseCompletionProposalForm::ScrollbarScroll(TObject*, TScrollCode, int&) {
  if (!FCurrentEditor) return;
  // the editor hands the focus on to this window and shows its caret again
  FCurrentEditor->SetFocus();
  FCurrentEditor->SetCaretShownUnfocused(false);
  FCurrentEditor->SetCaretShownUnfocused(true);
}

void TTxtBaseCompletionProposalForm::ScrollbarEnter(TObject*) { SetActiveControl(nullptr); }

// ---------------------------------------------------------------- look

void TTxtBaseCompletionProposalForm::RecalcItemHeight() {
  // measured on a bitmap of its own, so that the drawing bitmaps get their
  // pixels only when the form is painted
  TBitmap Measure;
  TCanvas* c = Measure.Canvas();
  c->Font()->Assign(FFont.get());
  FFontHeight = c->TextHeight("CompletionProposal");
  c->Font()->Assign(FTitleFont.get());
  FTitleFontHeight = c->TextHeight("CompletionProposal");
  FEffectiveItemHeight = FItemHeight > 0 ? FItemHeight : FFontHeight;
  FTitleHeight = FTitle.empty() ? 0 : FTitleFontHeight + 4;
  if (!FCreating) {
    ResizeBitmaps();
    AdjustScrollBar();
  }
}

void TTxtBaseCompletionProposalForm::ResizeBitmaps() {
  const int cw = ClientWidth(), ch = ClientHeight();
  if (FCurrentKind == ctCode) {
    FBitmap->SetSize(std::max(0, cw - GetSystemMetrics(SM_CXVSCROLL)), std::max(0, ch - FTitleHeight));
    FTitleBitmap->SetSize(cw, FTitleHeight);
  } else {
    FBitmap->SetSize(cw, ch);
  }
}

void TTxtBaseCompletionProposalForm::SetItemFont(TFont* Value) {
  FFont->Assign(Value);
  RecalcItemHeight();
}

void TTxtBaseCompletionProposalForm::SetTitleFont(TFont* Value) {
  FTitleFont->Assign(Value);
  RecalcItemHeight();
}

void TTxtBaseCompletionProposalForm::SetTitle(const AnsiString& Value) {
  FTitle = Value;
  RecalcItemHeight();
}

void TTxtBaseCompletionProposalForm::SetItemHeight(int Value) {
  FItemHeight = Value;
  RecalcItemHeight();
}

void TTxtBaseCompletionProposalForm::SetResizeable(bool Value) {
  if (FResizeable == Value) return;
  FResizeable = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TTxtBaseCompletionProposalForm::SetDefaultType(TTxtCompletionType Value) {
  FDefaultType = Value;
  if (HandleAllocated()) RecreateWnd();
}

TProposalColumns* TTxtBaseCompletionProposalForm::Columns() const { return FProposal->Columns(); }

// ---------------------------------------------------------------- layout

void TTxtBaseCompletionProposalForm::LayoutForm(int X, int Y) {
  int w = 0, h = 0;
  const int rh = FEffectiveItemHeight;
  TCanvas* c = FBitmap->Canvas();
  c->Font()->Assign(FFont.get());
  switch (FCurrentKind) {
    case ctCode:
      w = FProposal->Width();
      h = rh * FNbLinesInWindow + FTitleHeight + 2 * GetSystemMetrics(SM_CYFRAME);
      break;
    case ctHint:
      h = FShownList->Count() * rh + 2 + 2 * FMargin;
      for (int i = 0; i < FShownList->Count(); ++i)
        w = std::max(w, MeasureItemText(c, FShownList->Get(i), nullptr, FImages));
      w += 2 * FMargin + 2;
      break;
    case ctParams:
      h = FShownList->Count() * rh + 2 + 2 * FMargin;
      for (int i = 0; i < FShownList->Count(); ++i) {
        const AnsiString item = FShownList->Get(i);
        TStringList pieces;
        pieces.SetCommaText(item);
        int widest = 0;
        for (int p = -1; p < pieces.Count(); ++p)
          widest = std::max(widest, MeasureItemText(c, FormatParameters(item, p), Columns(), FImages));
        if (FProposal->OnMeasureItem) FProposal->OnMeasureItem(FProposal, i, c, widest);
        w = std::max(w, widest);
      }
      w += 2 * FMargin + 2;
      break;
  }
  const int dw = Screen ? Screen->DesktopWidth() : GetSystemMetrics(SM_CXSCREEN);
  const int dh = Screen ? Screen->DesktopHeight() : GetSystemMetrics(SM_CYSCREEN);
  if (X + w > dw) X = std::max(0, dw - w - 5);
  if (Y + h > dh) Y = std::max(0, Y - h - (FCurrentEditor ? FCurrentEditor->LineHeight() : 0) - 2);
  SetBounds(X, Y, w, h);
}

bool TTxtBaseCompletionProposalForm::CanResize(int& NewWidth, int& NewHeight) {
  if (FCurrentKind == ctCode && FEffectiveItemHeight > 0) {
    const int frame = GetSystemMetrics(SM_CYFRAME);
    const int rows = std::max(1, (NewHeight - FTitleHeight) / FEffectiveItemHeight);
    NewHeight = rows * FEffectiveItemHeight + FTitleHeight + 2 * frame;
    NewWidth = std::max(NewWidth, GetSystemMetrics(SM_CXVSCROLL) + 2 * frame);
  }
  return TCustomForm::CanResize(NewWidth, NewHeight);
}

void TTxtBaseCompletionProposalForm::Resize() {
  if (FEffectiveItemHeight > 0 && FCurrentKind == ctCode)
    FNbLinesInWindow = std::max(1, (ClientHeight() - FTitleHeight) / FEffectiveItemHeight);
  if (!FCreating) ResizeBitmaps();
  AdjustScrollBar();
  TCustomForm::Resize();
}

void TTxtBaseCompletionProposalForm::ShowQuietly() {
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, GetWindowLongPtrA(Handle(), GWL_EXSTYLE) | WS_EX_NOACTIVATE);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetVisible(true);
}

void TTxtBaseCompletionProposalForm::ShowActive() {
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & ~LONG_PTR(WS_EX_NOACTIVATE));
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Show();
}

// ---------------------------------------------------------------- painting

void TTxtBaseCompletionProposalForm::Paint() {
  if (FCurrentKind == ctCode) PaintCode();
  else PaintHint();
}

void TTxtBaseCompletionProposalForm::PaintCode() {
  const int sbw = GetSystemMetrics(SM_CXVSCROLL);
  const int bw = std::max(0, ClientWidth() - sbw), bh = std::max(0, ClientHeight() - FTitleHeight);
  if (FBitmap->Width() != bw || FBitmap->Height() != bh) FBitmap->SetSize(bw, bh);
  TCanvas* c = FBitmap->Canvas();
  c->Brush()->SetColor(ClBackground);
  c->Pen()->SetColor(ClBackground);
  c->Font()->Assign(FFont.get());
  c->FillRect(TRect{0, 0, bw, bh});
  c->Brush()->SetColor(clBtnFace);
  c->FrameRect(TRect{0, 0, bw, bh});
  c->Brush()->SetColor(ClBackground);
  const int rh = FEffectiveItemHeight;
  const int top = FScrollbar->Position();
  const int rows = std::min(FNbLinesInWindow, FShownList->Count() - top);
  for (int i = 0; i < rows; ++i) {
    const int row = top + i;
    const TRect rect{0, i * rh, bw, (i + 1) * rh};
    const bool selected = row == FSelectedIndex;
    if (selected) {
      c->Brush()->SetColor(ClSelect);
      c->Pen()->SetColor(ClSelect);
      c->FillRect(rect);
      c->Font()->SetColor(ClSelectedText);
    }
    bool custom = false;
    if (FProposal->OnPaintItem) FProposal->OnPaintItem(FProposal, OriginalIndex(row), c, rect, custom);
    if (!custom) {
      if (FFlags.Contains(scoUsePrettyText))
        DrawItemText(c, TRect{FMargin, i * rh + (rh - FFontHeight) / 2, bw, (i + 1) * rh}, FShownList->Get(row),
                     FImages, Columns(), selected);
      else
        c->TextOut(FMargin, i * rh, FShownList->Get(row));
    }
    if (custom || selected) {
      c->Brush()->SetColor(ClBackground);
      c->Pen()->SetColor(ClBackground);
      c->Font()->Assign(FFont.get());
    }
  }
  Canvas()->Draw(0, FTitleHeight, FBitmap.get());
  if (FTitle.empty()) return;
  const int cw = ClientWidth();
  if (FTitleBitmap->Width() != cw || FTitleBitmap->Height() != FTitleHeight) FTitleBitmap->SetSize(cw, FTitleHeight);
  TCanvas* t = FTitleBitmap->Canvas();
  t->Brush()->SetColor(ClTitleBackground);
  t->FillRect(TRect{0, 0, cw, FTitleHeight});
  t->Pen()->SetColor(clBtnShadow);
  t->MoveTo(0, FTitleHeight - 1);
  t->LineTo(cw, FTitleHeight - 1);
  t->Font()->Assign(FTitleFont.get());
  int x = 2;
  if (FFlags.Contains(scoTitleIsCentered)) x = std::max(2, (cw - t->TextWidth(FTitle)) / 2);
  t->Brush()->SetStyle(bsClear);
  t->TextOut(x, 1, FTitle);
  t->Brush()->SetStyle(bsSolid);
  Canvas()->Draw(0, 0, FTitleBitmap.get());
}

void TTxtBaseCompletionProposalForm::PaintHint() {
  const int cw = ClientWidth(), ch = ClientHeight();
  if (FBitmap->Width() != cw || FBitmap->Height() != ch) FBitmap->SetSize(cw, ch);
  TCanvas* c = FBitmap->Canvas();
  c->Brush()->SetColor(ClBackground);
  c->Pen()->SetColor(ClBackground);
  c->Font()->Assign(FFont.get());
  c->FillRect(TRect{0, 0, cw, ch});
  TRect frame{0, 0, cw, ch};
  Frame3D(c, frame, cl3DLight, cl3DDkShadow, 1);
  const int rh = FEffectiveItemHeight;
  for (int i = 0; i < FShownList->Count(); ++i) {
    bool custom = false;
    if (FProposal->OnPaintItem)
      FProposal->OnPaintItem(FProposal, i, c, TRect{0, i * rh + FMargin, cw, (i + 1) * rh + FMargin}, custom);
    if (custom) {
      c->Brush()->SetColor(ClBackground);
      c->Font()->Assign(FFont.get());
      continue;
    }
    AnsiString text = FShownList->Get(i);
    if (FCurrentKind == ctParams) text = FormatParameters(text, CurrentParameter);
    DrawItemText(c,
                 TRect{FMargin + 1, i * rh + FMargin + (rh - FFontHeight) / 2, cw - 1, (i + 1) * rh + FMargin},
                 text, FImages, nullptr, false);
  }
  Canvas()->Draw(0, 0, FBitmap.get());
}

// ---------------------------------------------------------------- keys and mouse

void TTxtBaseCompletionProposalForm::EditorCommand(TTxtEditorCommand Command, char AChar) {
  if (FCurrentEditor) FCurrentEditor->RunCommand(Command, AChar, nullptr);
}

void TTxtBaseCompletionProposalForm::KeyDown(Word& Key, TShiftState Shift) {
  TCustomForm::KeyDown(Key, Shift);
  if (FCurrentKind != ctCode) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_RETURN:
      if (FFlags.Contains(scoCompleteWithEnter) && OnAccept) OnAccept(this, Shift, '\0');
      break;
    case VK_TAB:
      if (FFlags.Contains(scoCompleteWithTab) && OnAccept) OnAccept(this, Shift, '\0');
      break;
    case VK_ESCAPE:
      if (OnCancelList) OnCancelList(this);
      break;
    case VK_PRIOR: MoveSelection(-FNbLinesInWindow); break;
    case VK_NEXT: MoveSelection(FNbLinesInWindow); break;
    case VK_END: SetSelectedIndex(FShownList->Count() - 1); break;
    case VK_HOME: SetSelectedIndex(0); break;
    case VK_UP:
      if (ctrl) SetSelectedIndex(0);
      else MoveSelection(-1);
      break;
    case VK_DOWN:
      if (ctrl) SetSelectedIndex(FShownList->Count() - 1);
      else MoveSelection(1);
      break;
    case VK_BACK:
    case VK_LEFT: {
      if (Key == VK_BACK && !Shift.Empty()) break;
      const TTxtEditorCommand cmd = Key == VK_BACK ? ecDeleteLastChar : ecLeft;
      if (!FTypedText.empty()) {
        // a double-byte character is dropped whole, as the editor steps over it
        SetTypedText(FTypedText.substr(0, FTypedText.size() - LastCharLength(FTypedText)));
        EditorCommand(cmd);
      } else {
        EditorCommand(cmd);
        if (OnCancelList) OnCancelList(this);
      }
      break;
    }
    case VK_RIGHT: {
      AnsiString ch = " ";
      if (FCurrentEditor) {
        const AnsiString line = FCurrentEditor->LineText();
        const int x = FCurrentEditor->CaretX();
        if (x >= 1 && x <= int(line.size())) {
          const auto* p = reinterpret_cast<const unsigned char*>(line.data());
          ch = line.substr(std::size_t(x - 1), txtdbcs::CharWidth(p, line.size(), std::size_t(x - 1)));
        }
      }
      const unsigned char c0 = static_cast<unsigned char>(ch[0]);
      if (ch.size() == 1 && (c0 == '\t' || c0 == ' ' || WordBreakChars[c0])) {
        if (OnCancelList) OnCancelList(this);
      } else {
        SetTypedText(FTypedText + ch);
      }
      EditorCommand(ecRight);
      break;
    }
    case VK_DELETE: EditorCommand(ecDeleteChar); break;
    default: break;
  }
  Invalidate();
}

void TTxtBaseCompletionProposalForm::KeyPress(char& Key) {
  TCustomForm::KeyPress(Key);
  if (FCurrentKind != ctCode || Key == 0) return;
  const unsigned char c = static_cast<unsigned char>(Key);
  if (c == VK_BACK) {
    if (OnListKeyPress) OnListKeyPress(this, Key);
  } else if (c == VK_RETURN || c == VK_ESCAPE) {
    // handled on key down
  } else if (c >= 32 && c <= 'z') {
    if (WordBreakChars[c] && OnAccept) OnAccept(this, TShiftState{}, c == ' ' ? '\0' : Key);
    SetTypedText(FTypedText + Key);
    if (OnListKeyPress) OnListKeyPress(this, Key);
  } else {
    EditorCommand(ecChar, Key);
    if (OnCancelList) OnCancelList(this);
  }
  Key = 0;
  Invalidate();
}

void TTxtBaseCompletionProposalForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomForm::MouseDown(Button, Shift, X, Y);
  if (FEffectiveItemHeight <= 0 || Y < FTitleHeight) return;
  SetSelectedIndex((Y - FTitleHeight) / FEffectiveItemHeight + FScrollbar->Position());
}

void TTxtBaseCompletionProposalForm::DblClick() {
  TCustomForm::DblClick();
  if (OnAccept) OnAccept(this, TShiftState{}, '\0');
}

bool TTxtBaseCompletionProposalForm::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (ComponentState().Contains(csDesigning)) return false;
  int lines = FNbLinesInWindow;
  if (!Shift.Contains(ssCtrl)) {
    UINT n = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &n, 0);
    if (n != UINT(-1) && int(n) <= FNbLinesInWindow) lines = int(n);
  }
  FMouseWheelAccumulator += WheelDelta;
  const int notches = FMouseWheelAccumulator / WHEEL_DELTA;
  FMouseWheelAccumulator %= WHEEL_DELTA;
  if (notches != 0) MoveSelection(-notches * lines);
  return true;
}

void TTxtBaseCompletionProposalForm::WMGetDlgCode(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  Message.Result |= DLGC_WANTTAB;
}

// ---------------------------------------------------------------- activation, showing, hiding

void TTxtBaseCompletionProposalForm::WMActivate2(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  // the proposal's form keeps an active caption while the list is active
  auto* owner = dynamic_cast<TCustomForm*>(FProposal->Owner());
  if (owner && owner->FormStyle() == fsMDIChild && Application) owner = Application->MainForm();
  if (owner && owner->HandleAllocated())
    SendMessageA(owner->Handle(), WM_NCACTIVATE, LOWORD(Message.WParam) != WA_INACTIVE ? TRUE : FALSE, 0);
}

void TTxtBaseCompletionProposalForm::Activate() {
  TCustomForm::Activate();
  if (FCurrentKind == ctCode && FCurrentEditor) {
    FCurrentEditor->RegisterFocusControl(this);
    SetVisible(true);
  }
}

void TTxtBaseCompletionProposalForm::Deactivate() {
  TCustomForm::Deactivate();
  if (FCurrentKind == ctCode && FCurrentEditor) {
    FCurrentEditor->UnregisterFocusControl(this);
    SetVisible(false);
  }
}

void TTxtBaseCompletionProposalForm::DoShow() {
  if (FCurrentEditor) {
    FSavedCaretShownUnfocused = FCurrentEditor->CaretShownUnfocused();
    FCurrentEditor->SetCaretShownUnfocused(FCurrentEditor->Focused());
  }
  TCustomForm::DoShow();
  if (FProposal->OnShow) FProposal->OnShow(FProposal);
}

void TTxtBaseCompletionProposalForm::DoHide() {
  if (FCurrentEditor) FCurrentEditor->SetCaretShownUnfocused(FSavedCaretShownUnfocused);
  if (FCurrentKind == ctCode) {
    FProposal->FWidth = Width();
    FProposal->FNbLinesInWindow = FNbLinesInWindow;
  }
  TCustomForm::DoHide();
  if (FProposal->OnClose) FProposal->OnClose(FProposal);
}
