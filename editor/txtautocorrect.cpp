// Corrections of finished words: before a blank, a punctuation mark, Tab or
// a line break is typed, the run of characters since the previous blank is
// compared with the originals of the pairs and, on a match, replaced by the
// correction (one undo step). Optionally the last edited line is corrected
// as a whole when the user clicks into the editor.
#include <algorithm>

#include "editor/txtautotyping.h"
#include "editor/txtdbcs.h"

namespace {

// The characters that continue a word: typing one of them finishes nothing.
const TTxtCharSet& WordContinuationChars() {
  static const TTxtCharSet chars = [] {
    TTxtCharSet s;
    for (int c = 33; c <= 255; ++c)
      if (IsCharAlphaNumericA(char(c))) s.set(std::size_t(c));
    return s;
  }();
  return chars;
}

bool IsWordDelimiter(char C) { return static_cast<unsigned char>(C) <= 32; }

// Whether the last character before 1-based column X of Line is a lead
// byte still waiting for its second byte.
bool HalfCharacterBefore(const AnsiString& Line, int X) {
  if (X < 2 || X - 1 > int(Line.size())) return false;
  std::vector<std::uint8_t> trail;
  const auto* s = reinterpret_cast<const unsigned char*>(Line.data());
  txtdbcs::MarkTrailBytes(s, std::size_t(X - 1), trail);
  return !trail[std::size_t(X - 2)] && txtdbcs::IsLead(s[X - 2]);
}

}  // namespace

TCustomTxtAutoCorrect::TCustomTxtAutoCorrect(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TStringList>()) {
  WordContinuationChars();
}

TCustomTxtAutoCorrect::~TCustomTxtAutoCorrect() { SetEditor(nullptr); }

void TCustomTxtAutoCorrect::Unhook() {
  if (!FEditor) return;
  FEditor->RemoveCommandHook(THookedCommandEvent(this, &TCustomTxtAutoCorrect::EditorCommand));
  FEditor->UnhookMouseDown(TMouseEvent(this, &TCustomTxtAutoCorrect::EditorMouseDown));
  FEditor->RemoveFreeNotification(this);
}

void TCustomTxtAutoCorrect::SetEditor(TCustomTxtEdit* Value) {
  if (FEditor == Value) return;
  Unhook();
  FEditor = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  Value->AddCommandHook(THookedCommandEvent(this, &TCustomTxtAutoCorrect::EditorCommand), nullptr);
  Value->HookMouseDown(TMouseEvent(this, &TCustomTxtAutoCorrect::EditorMouseDown));
}

void TCustomTxtAutoCorrect::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FEditor && static_cast<TComponent*>(FEditor) == AComponent) FEditor = nullptr;
}

void TCustomTxtAutoCorrect::AddCorrection(const AnsiString& AOriginal, const AnsiString& ACorrection) {
  FItems->Add(AOriginal + FItemSepChar + ACorrection);
}

void TCustomTxtAutoCorrect::ItemAt(int Index, AnsiString& Original, AnsiString& Correction) const {
  const AnsiString s = FItems->Get(Index);
  const std::size_t sep = s.rfind(FItemSepChar);
  if (sep == AnsiString::npos) {
    Original = s;
    Correction.clear();
  } else {
    Original = s.substr(0, sep);
    Correction = s.substr(sep + 1);
  }
}

// ---------------------------------------------------------------- hooks

void TCustomTxtAutoCorrect::EditorCommand(TObject*, bool AfterProcessing, bool& Handled,
                                          TTxtEditorCommand& Command, char& AChar, void*, void*) {
  if (AfterProcessing) {
    if (FPendingCommand == ecNone || Command != FPendingCommand || !FEditor) return;
    FPendingCommand = ecNone;
    CorrectPendingWord();
    return;
  }
  FPendingCommand = ecNone;
  if (Handled || !FEnabled || !FEditor) return;
  FPrevLine = FEditor->CaretY();
  const bool finishes = Command == ecLineBreak || Command == ecTab ||
                        (Command == ecChar && !WordContinuationChars()[static_cast<unsigned char>(AChar)]);
  if (!finishes) return;
  // the second byte of a double-byte character finishes no word
  if (Command == ecChar && HalfCharacterBefore(FEditor->LineText(), FEditor->CaretX())) return;
  AnsiString word = LastWordBeforeCaret();
  if (word.empty()) return;
  FPendingWord = word;
  FPendingEnd = FEditor->GetCaretPos();
  FPendingCommand = Command;
}

void TCustomTxtAutoCorrect::CorrectPendingWord() {
  // the command may have taken the word away (typed over a selection)
  const TBufferCoord end = FPendingEnd;
  const int w = int(FPendingWord.size());
  if (end.Line < 1 || end.Line > FEditor->Lines()->Count() || end.Char - 1 - w < 0) return;
  const AnsiString line = FEditor->Lines()->Get(end.Line - 1);
  if (int(line.size()) < end.Char - 1 || line.compare(std::size_t(end.Char - 1 - w), std::size_t(w), FPendingWord) != 0)
    return;
  const TBufferCoord caret = FEditor->GetCaretPos();
  const int lengthBefore = int(line.size());
  bool corrected = false;
  FCorrectingLine = end.Line;
  try {
    for (int i = 0; i < FItems->Count() && !corrected; ++i) {
      AnsiString original, correction;
      ItemAt(i, original, correction);
      int position = end.Char;
      AnsiString word = FPendingWord;
      corrected = ApplyCorrection(word, original, position, correction);
    }
  } catch (...) {
    FCorrectingLine = 0;
    throw;
  }
  FCorrectingLine = 0;
  if (corrected) {
    // the caret stays after what finished the word
    TBufferCoord c = caret;
    if (c.Line == end.Line && c.Char >= end.Char)
      c.Char += int(FEditor->Lines()->Get(end.Line - 1).size()) - lengthBefore;
    FEditor->SetCaretXY(c);
  }
  if (OnCorrected) OnCorrected(this);
}

void TCustomTxtAutoCorrect::EditorMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  if (!FOptions.Contains(ascoCorrectOnMouseDown) || !FEditor || !FEnabled || FPrevLine < 1 ||
      FPrevLine > FEditor->Lines()->Count())
    return;
  const AnsiString before = FEditor->Lines()->Get(FPrevLine - 1);
  AnsiString text = before;
  bool corrected = false;
  for (int i = 0; i < FItems->Count() && !corrected; ++i) {
    AnsiString original, correction;
    ItemAt(i, original, correction);
    int position = -1;
    corrected = ApplyCorrection(text, original, position, correction);
  }
  if (!corrected) return;
  TAutoCorrectAction action = aaCorrect;
  if (OnAutoCorrect) OnAutoCorrect(this, before, text, FEditor->CaretY(), 0, action);
  if (action == aaAbort) return;
  // replaced as one undoable change, so the undo history stays in step
  TCustomTxtEdit* e = FEditor;
  const TBufferCoord caret = e->GetCaretPos();
  e->BeginUpdate();
  try {
    e->SetCaretXY(TBufferCoord{1, FPrevLine});
    e->SetSelectionEnd(TBufferCoord{int(before.size()) + 1, FPrevLine});
    e->ReplaceSelection(text);
    e->SetCaretXY(caret);
  } catch (...) {
    e->EndUpdate();
    throw;
  }
  e->EndUpdate();
  if (OnCorrected) OnCorrected(this);
}

// ---------------------------------------------------------------- matching

AnsiString TCustomTxtAutoCorrect::LastWordBeforeCaret() const {
  if (!FEditor) return AnsiString();
  const int c = FEditor->CaretX();
  const AnsiString line = FEditor->LineText();
  if (int(line.size()) < c - 1) return AnsiString();
  std::vector<std::uint8_t> trail;
  const auto* s = reinterpret_cast<const unsigned char*>(line.data());
  txtdbcs::MarkTrailBytes(s, line.size(), trail);
  const std::size_t end = std::size_t(c - 1);
  const std::size_t start = txtdbcs::RunStartBefore(s, end, trail, [](unsigned char) { return false; });
  return line.substr(start, end - start);
}

int TCustomTxtAutoCorrect::FindWord(const AnsiString& Text, const AnsiString& Word, bool WholeWord,
                                    bool CaseSensitive, int Start) const {
  const int n = int(Text.size()), w = int(Word.size());
  if (w == 0 || Start < 0) return -1;
  const AnsiString text = CaseSensitive ? Text : AnsiUpperCase(Text);
  const AnsiString word = CaseSensitive ? Word : AnsiUpperCase(Word);
  std::vector<std::uint8_t> trail;
  txtdbcs::MarkTrailBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), trail);
  auto matchAt = [&](int i) { return text.compare(std::size_t(i), std::size_t(w), word) == 0; };
  int i = Start;
  if (!WholeWord) {
    for (; i <= n - w; ++i)
      if (!trail[std::size_t(i)] && matchAt(i)) return i;
    return -1;
  }
  while (i < n && IsWordDelimiter(text[std::size_t(i)])) ++i;
  while (i <= n - w) {
    if (!trail[std::size_t(i)] && matchAt(i) && (i + w == n || IsWordDelimiter(text[std::size_t(i + w)])))
      return i;
    // on to the start of the next word
    while (i < n && !IsWordDelimiter(text[std::size_t(i)])) ++i;
    while (i < n && IsWordDelimiter(text[std::size_t(i)])) ++i;
  }
  return -1;
}

AnsiString TCustomTxtAutoCorrect::MatchCase(const AnsiString& Typed, const AnsiString& Correction) const {
  if (!FOptions.Contains(ascoMaintainCase)) return Correction;
  if (Typed == AnsiUpperCase(Typed)) return AnsiUpperCase(Correction);
  if (Typed == AnsiLowerCase(Typed)) return AnsiLowerCase(Correction);
  auto capitalised = [](const AnsiString& S) {
    if (S.empty()) return S;
    const std::size_t first = std::size_t(CharLength(S, 0));
    return UpperCase(S.substr(0, first)) + LowerCase(S.substr(first));
  };
  if (Typed == capitalised(Typed)) return capitalised(Correction);
  return Correction;
}

bool TCustomTxtAutoCorrect::ApplyCorrection(AnsiString& Text, const AnsiString& Original, int& Position,
                                            const AnsiString& Correction) {
  if (!FEditor || FEditor->ReadOnly()) return false;
  const bool caseSensitive = !FOptions.Contains(ascoIgnoreCase);
  const int w = int(Original.size());
  bool result = false;
  int a = FindWord(Text, Original, true, caseSensitive, 0);
  while (a >= 0) {
    const AnsiString replacement = MatchCase(Text.substr(std::size_t(a), std::size_t(w)), Correction);
    if (Position >= 0) {
      const int line = FCorrectingLine > 0 ? FCorrectingLine : FEditor->CaretY(), column = Position;
      TAutoCorrectAction action = aaCorrect;
      if (OnAutoCorrect) OnAutoCorrect(this, Original, replacement, line, column, action);
      if (action == aaAbort) return false;
      FEditor->BeginUpdate();
      try {
        FEditor->SetSelectionStart(TBufferCoord{column - w, line});
        FEditor->SetSelectionEnd(TBufferCoord{column, line});
        FEditor->ReplaceSelection(replacement);
      } catch (...) {
        FEditor->EndUpdate();
        throw;
      }
      FEditor->EndUpdate();
      return true;
    }
    Text = Text.substr(0, std::size_t(a)) + replacement + Text.substr(std::size_t(a + w));
    result = true;
    a = FindWord(Text, Original, true, caseSensitive, a + int(replacement.size()));
  }
  return result;
}
