// The completion list attached to editors: opening it by shortcut or after a
// trigger character, the word before the caret, inserting the chosen item,
// and keeping the hint kinds in step with editing.
#include <algorithm>

#include "editor/txtcompletion.h"
#include "editor/txtdbcs.h"
#include "platform/win/system.h"

namespace {

// The characters that end a word when an editor has no highlighter.
TTxtCharSet DefaultWordBreakChars() {
  TTxtCharSet s;
  for (unsigned char c : AnsiString("!\"'()*+,-./:;=?[]\\^{}|")) s.set(c);
  return s;
}

// Start (0-based) of the character that ends just before byte End of S:
// End - 2 for a double-byte character, else End - 1.
std::size_t PreviousCharStart(const AnsiString& S, std::size_t End, const std::vector<std::uint8_t>& Trail) {
  return (End >= 2 && Trail[End - 1]) ? End - 2 : End - 1;
}

// Whether the character starting at byte i of S is a single byte in Set.
bool SingleIn(const AnsiString& S, std::size_t i, const std::vector<std::uint8_t>& Trail, const TTxtCharSet& Set) {
  return !(i + 1 < Trail.size() && Trail[i + 1]) && Set[static_cast<unsigned char>(S[i])];
}

}  // namespace

TTxtCompletionProposal::TTxtCompletionProposal(TComponent* AOwner) : TTxtBaseCompletionProposal(AOwner) {
  SetEndOfTokenChr("()[]. ");
  SetTriggerChars(".");
  FTimerInterval = 1000;
  FShortCut = ::ShortCut(VK_SPACE, TShiftState{ssCtrl});
  FForm->OnAccept = TCompletionAccept(this, &TTxtCompletionProposal::InsertSelection);
  FForm->OnCancelList = TNotifyEvent(this, &TTxtCompletionProposal::ListCancelled);
  FForm->OnListKeyPress = TKeyPressEvent(this, &TTxtCompletionProposal::ListKeyPress);
  SetOptions(TxtDefaultProposalOptions);
}

TTxtCompletionProposal::~TTxtCompletionProposal() {
  if (FForm && FForm->Visible()) CancelList();
  SetEditor(nullptr);
  while (!FEditors.empty()) DetachEditor(FEditors.back());
  FTimer.reset();
}

bool TTxtCompletionProposal::IsAttached(TCustomTxtEdit* E) const {
  return E && std::find(FEditors.begin(), FEditors.end(), E) != FEditors.end();
}

// ---------------------------------------------------------------- editors

void TTxtCompletionProposal::AttachEditor(TCustomTxtEdit* E) {
  if (!E || IsAttached(E)) return;
  E->FreeNotification(this);
  FEditors.push_back(E);
  E->HookKeyDown(TKeyEvent(this, &TTxtCompletionProposal::EditorKeyDown));
  E->HookKeyPress(TKeyPressEvent(this, &TTxtCompletionProposal::EditorKeyPress));
  E->AddCommandHook(THookedCommandEvent(this, &TTxtCompletionProposal::EditorCommandHook), nullptr);
}

void TTxtCompletionProposal::DetachEditor(TCustomTxtEdit* E) {
  if (!IsAttached(E)) return;
  if (FForm->CurrentEditor() == E) {
    if (FForm->Visible()) CancelList();
    FForm->SetCurrentEditor(nullptr);
  }
  E->UnhookKeyDown(TKeyEvent(this, &TTxtCompletionProposal::EditorKeyDown));
  E->UnhookKeyPress(TKeyPressEvent(this, &TTxtCompletionProposal::EditorKeyPress));
  E->RemoveCommandHook(THookedCommandEvent(this, &TTxtCompletionProposal::EditorCommandHook));
  E->RemoveFreeNotification(this);
  FEditors.erase(std::find(FEditors.begin(), FEditors.end(), E));
  if (FEditor == E) FEditor = nullptr;
}

void TTxtCompletionProposal::SetEditor(TCustomTxtEdit* Value) {
  if (FEditor == Value) return;
  if (FEditor) DetachEditor(FEditor);
  FEditor = Value;
  if (Value) AttachEditor(Value);
}

void TTxtCompletionProposal::Notification(TComponent* AComponent, TOperation Operation) {
  TTxtBaseCompletionProposal::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // The editor is being destroyed (its own part is gone already, so it is
  // found by address): forget it without calling it again.
  auto it = std::find_if(FEditors.begin(), FEditors.end(),
                         [&](TCustomTxtEdit* e) { return static_cast<TComponent*>(e) == AComponent; });
  if (it == FEditors.end()) return;
  TCustomTxtEdit* e = *it;
  FEditors.erase(it);
  if (FForm->CurrentEditor() == e) {
    FForm->SetCurrentEditor(nullptr);
    if (FForm->Visible()) CancelList();
  }
  if (FEditor == e) FEditor = nullptr;
}

// ---------------------------------------------------------------- editor hooks

void TTxtCompletionProposal::EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  auto* e = dynamic_cast<TCustomTxtEdit*>(Sender);
  if (!e || FShortCut == 0) return;
  if (DefaultType() == ctCode && e->ReadOnly()) return;
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(FShortCut, key, shift);
  const TShiftState keys = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (Key != key || keys != shift) return;
  FForm->SetCurrentEditor(e);
  Key = 0;
  ShowForEditor(e);
}

void TTxtCompletionProposal::EditorKeyPress(TObject* Sender, char& Key) {
  if (FNoNextKey) {
    FNoNextKey = false;
    Key = 0;
    return;
  }
  if (!FTimer) return;
  StopTimer();
  if (Key != 0 && TriggerChars().find(Key) != AnsiString::npos) {
    if (auto* e = dynamic_cast<TCustomTxtEdit*>(Sender)) FForm->SetCurrentEditor(e);
    FTimer->SetEnabled(true);
  }
}

void TTxtCompletionProposal::EditorCommandHook(TObject* Sender, bool AfterProcessing, bool& Handled,
                                               TTxtEditorCommand& Command, char& AChar, void* Data,
                                               void* HandlerData) {
  if (!AfterProcessing) return;
  if (FForm->Visible()) {
    switch (FForm->CurrentKind()) {
      case ctHint: CancelList(); break;
      case ctParams:
        if (Command == ecFocusEnter || Command == ecFocusLeave || (Command == ecChar && AChar == char(VK_ESCAPE)))
          CancelList();
        else if (auto* e = dynamic_cast<TCustomTxtEdit*>(Sender))
          ShowForEditor(e);
        break;
      case ctCode: break;
    }
  } else if (FTimer) {
    if (Command != ecChar || TriggerChars().find(AChar) == AnsiString::npos) StopTimer();
  }
}

void TTxtCompletionProposal::CloseParameterHint() {
  if (FForm->CurrentKind() == ctParams) CancelList();
}

void TTxtCompletionProposal::TimerExecute(TObject*) {
  StopTimer();
  if (Application && Application->Active()) {
    if (FForm->CurrentEditor()) ShowForEditor(FForm->CurrentEditor());
    FNoNextKey = false;
  } else if (FForm->Visible()) {
    HideList();
  }
}

// ---------------------------------------------------------------- options

void TTxtCompletionProposal::SetOptions(TTxtCompletionOptions Value) {
  TTxtBaseCompletionProposal::SetOptions(Value);
  if (Value.Contains(scoUseBuiltInTimer)) {
    if (!FTimer) {
      FTimer = std::make_unique<TTimer>(nullptr);
      FTimer->SetEnabled(false);
      FTimer->SetInterval(Cardinal(FTimerInterval));
      FTimer->OnTimer = TNotifyEvent(this, &TTxtCompletionProposal::TimerExecute);
    }
  } else {
    FTimer.reset();
  }
}

void TTxtCompletionProposal::SetTimerInterval(int Value) {
  FTimerInterval = Value;
  if (FTimer) FTimer->SetInterval(Cardinal(std::max(0, Value)));
}

// ---------------------------------------------------------------- showing

void TTxtCompletionProposal::ExecuteAt(const AnsiString& CurrentInput, int X, int Y, TTxtCompletionType Kind) {
  TTxtBaseCompletionProposal::ExecuteAt(CurrentInput, X, Y, Kind);
  StopTimer();
}

void TTxtCompletionProposal::RebuildWordBreakChars(TCustomTxtEdit* E) {
  TTxtCharSet s;
  if (FOptions.Contains(scoConsiderWordBreakChars))
    s |= E->Highlighter() ? E->Highlighter()->WordSeparators : DefaultWordBreakChars();
  for (unsigned char c : EndOfTokenChr()) s.set(c);
  WordBreakChars() = s;
}

void TTxtCompletionProposal::ShowForEditor(TCustomTxtEdit* E) {
  if (!IsAttached(E)) return;
  if (DefaultType() == ctCode && E->ReadOnly()) return;
  TPoint p;
  if (DefaultType() == ctHint) {
    GetCursorPos(&p);
  } else {
    p = E->ClientToScreen(E->DisplayPosToPixels(E->GetDisplayCaret()));
    p.y += E->LineHeight();
  }
  FForm->SetCurrentEditor(E);
  RebuildWordBreakChars(E);
  PreviousToken = TokenBeforeDelimiter(E);
  ExecuteAt(WordBeforeCaret(E), p.x, p.y, DefaultType());
  FNoNextKey = DefaultType() == ctCode && FForm->Visible();
}

AnsiString TTxtCompletionProposal::WordBeforeCaret(TCustomTxtEdit* E) {
  const int c = E->CaretX();
  const AnsiString line = E->LineText();
  if (int(line.size()) < c - 1) {
    FAdjustCompletionStart = true;
    FCompletionStart = c;
    return AnsiString();
  }
  FAdjustCompletionStart = false;
  std::vector<std::uint8_t> trail;
  txtdbcs::MarkTrailBytes(reinterpret_cast<const unsigned char*>(line.data()), line.size(), trail);
  const TTxtCharSet& breaks = FForm->WordBreakChars;
  const std::size_t i = txtdbcs::RunStartBefore(reinterpret_cast<const unsigned char*>(line.data()),
                                                std::size_t(c - 1), trail,
                                                [&](unsigned char b) { return breaks[b]; });
  FCompletionStart = int(i) + 1;
  return line.substr(i, std::size_t(c - 1) - i);
}

AnsiString TTxtCompletionProposal::TokenBeforeDelimiter(TCustomTxtEdit* E) {
  const int c = E->CaretX();
  const AnsiString line = E->LineText();
  if (c <= 1 || int(line.size()) < c - 1 || line.empty()) return AnsiString();
  std::vector<std::uint8_t> trail;
  txtdbcs::MarkTrailBytes(reinterpret_cast<const unsigned char*>(line.data()), line.size(), trail);
  TTxtCharSet stops = FForm->WordBreakChars;
  stops.set('\t');
  stops.set(' ');
  std::size_t end = std::size_t(c - 1);
  // after a delimiter (a name followed by a point) the token is the name
  const std::size_t before = PreviousCharStart(line, end, trail);
  if (SingleIn(line, before, trail, FForm->WordBreakChars)) end = before;
  std::size_t i = end;
  while (i > 0) {
    const std::size_t start = PreviousCharStart(line, i, trail);
    if (SingleIn(line, start, trail, stops)) break;
    i = start;
  }
  return line.substr(i, end - i);
}

// ---------------------------------------------------------------- accepting and closing

void TTxtCompletionProposal::InsertSelection(TObject*, TShiftState Shift, char EndToken) {
  TCustomTxtEdit* e = FForm->CurrentEditor();
  if (!e) return;
  e->BeginUpdate();
  e->BeginUndoGroup();
  try {
    const int line = e->CaretY();
    e->SetSelectionStart(TBufferCoord{FCompletionStart, line});
    if (EndToken == 0) e->SetSelectionEnd(TBufferCoord{e->CurrentWordEnd().Char, line});
    else e->SetSelectionEnd(TBufferCoord{e->CaretX(), line});
    const int selected = FForm->SelectedIndex();
    TStrings* from = FForm->ShownList();
    int index = selected;
    if (FOptions.Contains(scoUseInsertList)) {
      from = FForm->InsertList();
      if (FOptions.Contains(scoLimitToMatchedText)) index = FForm->OriginalIndex(selected);
    }
    AnsiString value;
    if (index < 0 || index >= from->Count() || (EndToken != 0 && !FOptions.Contains(scoEndCharCompletion)))
      value = e->GetSelText();
    else
      value = from->Get(index);
    const int itemIndex = FForm->OriginalIndex(selected);
    if (OnCodeCompletion) OnCodeCompletion(this, value, Shift, itemIndex, EndToken);
    if (e->GetSelText() != value) e->ReplaceSelection(value);
    HideList();
    if (e->CanFocus()) e->SetFocus();
    e->MakeCaretVisible();
    e->SetCaretXY(e->GetSelectionEnd());
    if (OnAfterCodeCompletion) OnAfterCodeCompletion(this, value, Shift, itemIndex, EndToken);
  } catch (...) {
    e->EndUndoGroup();
    e->EndUpdate();
    throw;
  }
  e->EndUndoGroup();
  e->EndUpdate();
}

void TTxtCompletionProposal::HideList() {
  StopTimer();
  FNoNextKey = false;
  if (!FForm->Visible()) return;
  if (FForm->CurrentEditor()) FForm->CurrentEditor()->UnregisterFocusControl(FForm);
  FForm->Hide();
}

void TTxtCompletionProposal::CancelList() {
  HideList();
  if (OnCancelled) OnCancelled(this);
}

void TTxtCompletionProposal::ListCancelled(TObject*) {
  FNoNextKey = false;
  TCustomTxtEdit* e = FForm->CurrentEditor();
  if (!e) return;
  StopTimer();
  e->UnregisterFocusControl(FForm);
  FForm->Hide();
  if (auto* owner = dynamic_cast<TWinControl*>(e->Owner()); owner && owner->Visible() && owner->CanFocus())
    owner->SetFocus();
  if (e->CanFocus()) e->SetFocus();
  if (OnCancelled) OnCancelled(this);
}

void TTxtCompletionProposal::ListKeyPress(TObject*, char& Key) {
  TCustomTxtEdit* e = FForm->CurrentEditor();
  if (!e) return;
  e->RunCommand(ecChar, Key, nullptr);
  if (Application) Application->ProcessMessages();
  if (Key != 0 && TriggerChars().find(Key) != AnsiString::npos && !FForm->Visible()) ShowForEditor(e);
}
