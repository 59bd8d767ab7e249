// Templates expanded from a token before the caret: the token is deleted and
// the template typed through the editor's commands (so it is undoable and
// follows the editor's rules), indented like the token's line, with the caret
// left at the template's mark. Without an exact template a list of all of
// them is offered.
#include <algorithm>

#include "editor/txtautotyping.h"
#include "editor/txtdbcs.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/menus.h"

TTxtAutoComplete::TTxtAutoComplete(TComponent* AOwner)
    : TComponent(AOwner), FShortCut(::ShortCut(VK_SPACE, TShiftState{ssShift})),
      FList(std::make_unique<TStringList>()) {
  SetDoLookupWhenNotExact(true);
}

TTxtAutoComplete::~TTxtAutoComplete() {
  SetEditor(nullptr);
  FProposal.reset();
}

void TTxtAutoComplete::Unhook() {
  if (!FEditor) return;
  FEditor->UnhookKeyDown(TKeyEvent(this, &TTxtAutoComplete::EditorKeyDown));
  FEditor->UnhookKeyPress(TKeyPressEvent(this, &TTxtAutoComplete::EditorKeyPress));
  FEditor->RemoveFreeNotification(this);
}

void TTxtAutoComplete::SetEditor(TCustomTxtEdit* Value) {
  if (FEditor == Value) return;
  Unhook();
  FEditor = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  Value->HookKeyDown(TKeyEvent(this, &TTxtAutoComplete::EditorKeyDown));
  Value->HookKeyPress(TKeyPressEvent(this, &TTxtAutoComplete::EditorKeyPress));
}

void TTxtAutoComplete::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // the editor is being destroyed: forget it without calling it again
  if (Operation == opRemove && FEditor && static_cast<TComponent*>(FEditor) == AComponent) FEditor = nullptr;
}

void TTxtAutoComplete::SetDoLookupWhenNotExact(bool Value) {
  FDoLookup = Value;
  if (!Value) {
    FProposal.reset();
    return;
  }
  if (FProposal) return;
  FProposal = std::make_unique<TTxtCompletionProposal>(nullptr);
  // The list shows formatted rows: it inserts the bare token from its insert
  // list, which the expansion then finds before the caret.
  FProposal->SetOptions(TTxtCompletionOptions{scoLimitToMatchedText, scoUsePrettyText, scoEndCharCompletion,
                                              scoCompleteWithTab, scoCompleteWithEnter, scoUseInsertList});
  FProposal->SetEndOfTokenChr(FEndOfTokenChr);
  FProposal->SetShortCut(0);
  FProposal->Columns()->Add()->SetBiggestWord("XXXXXXXX");
  FProposal->OnAfterCodeCompletion = TAfterCodeCompletionEvent(this, &TTxtAutoComplete::LookupAccepted);
}

void TTxtAutoComplete::SetOptions(TTxtCompletionOptions Value) {
  FOptions = Value;
  if (FProposal)
    FProposal->SetOptions((Value + TTxtCompletionOptions{scoUsePrettyText, scoUseInsertList}) -
                          TTxtCompletionOptions{scoUseBuiltInTimer});
}

// ---------------------------------------------------------------- hooks

void TTxtAutoComplete::EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  auto* e = dynamic_cast<TCustomTxtEdit*>(Sender);
  if (!e || e->ReadOnly() || FShortCut == 0) return;
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(FShortCut, key, shift);
  if (Key != key || Shift * TShiftState{ssShift, ssAlt, ssCtrl} != shift) return;
  ExpandToken(TokenBeforeCaret(e), e, FDoLookup);
  FNoNextKey = true;
  Key = 0;
}

void TTxtAutoComplete::EditorKeyPress(TObject*, char& Key) {
  if (!FNoNextKey) return;
  FNoNextKey = false;
  Key = 0;
}

AnsiString TTxtAutoComplete::TokenBeforeCaret(TCustomTxtEdit* E) const {
  const int c = E->CaretX();
  const AnsiString line = E->LineText();
  if (int(line.size()) < c - 1) return AnsiString();
  std::vector<std::uint8_t> trail;
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  txtdbcs::MarkTrailBytes(bytes, line.size(), trail);
  const std::size_t end = std::size_t(c - 1);
  const std::size_t start = txtdbcs::RunStartBefore(
      bytes, end, trail, [&](unsigned char b) { return FEndOfTokenChr.find(char(b)) != AnsiString::npos; });
  return line.substr(start, end - start);
}

// ---------------------------------------------------------------- expansion

void TTxtAutoComplete::ExpandToken(const AnsiString& Token, TCustomTxtEdit* E, bool Lookup) {
  if (OnBeforeExecute) OnBeforeExecute(this);
  try {
    const int i = E ? FList->IndexOf(Token) : -1;
    if (i >= 0) Expand(i, E, Token);
    else if (E && Lookup && FProposal) OfferLookup(E);
  } catch (...) {
    if (OnAfterExecute) OnAfterExecute(this);
    throw;
  }
  if (OnAfterExecute) OnAfterExecute(this);
}

namespace {

// Runs the commands that type Text: a Tab as a tab command, a double-byte
// character as one string (so no half of it ever stands alone in the line),
// anything else as a character. Calls Mark after each "|".
template <class MarkFn>
void TypeTemplateText(TCustomTxtEdit* E, const AnsiString& Text, MarkFn Mark) {
  const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
  for (std::size_t k = 0; k < Text.size();) {
    if (txtdbcs::PairAt(s, Text.size(), k)) {
      AnsiString pair = Text.substr(k, 2);
      E->RunCommand(ecImeStr, 0, pair.data());
      k += 2;
      continue;
    }
    const char c = Text[k++];
    E->RunCommand(c == '\t' ? ecTab : ecChar, c, nullptr);
    if (c == '|') Mark();
  }
}

bool IsTemplateLine(TStrings* List, int Index) {
  return Index < List->Count() && !List->Get(Index).empty() && List->Get(Index)[0] == '=';
}

}  // namespace

void TTxtAutoComplete::Expand(int Index, TCustomTxtEdit* E, const AnsiString& Token) {
  const TTxtEditorOptions saved = E->Options();
  const TTxtEditorOptions paused{eoAutoIndent, eoTrimTrailingSpaces};
  if (!(saved * paused).Empty()) E->SetOptions(saved - paused);
  E->UndoList()->RecordChange(urAutoCompleteBegin, E->GetCaretPos(), E->GetCaretPos(), AnsiString(), smNormal);
  FNoNextKey = true;
  try {
    // the token goes character by character (a double-byte one at once)
    const auto* t = reinterpret_cast<const unsigned char*>(Token.data());
    for (std::size_t k = 0; k < Token.size(); k += txtdbcs::CharWidth(t, Token.size(), k))
      E->RunCommand(ecDeleteLastChar, 0, nullptr);
    const int indent = E->GetDisplayCaret().Char - 1;
    AnsiString indentText;
    if (saved.Contains(eoTabsToSpaces) || indent < E->TabWidth())
      indentText = AnsiString(std::size_t(indent), ' ');
    else
      indentText = AnsiString(std::size_t(indent / E->TabWidth()), '\t') +
                   AnsiString(std::size_t(indent % E->TabWidth()), ' ');
    int k = Index + 1;
    if (k < FList->Count() && !FList->Get(k).empty() && FList->Get(k)[0] == '|') ++k;
    bool marked = false;
    TBufferCoord mark;
    for (; IsTemplateLine(FList.get(), k); ++k) {
      TypeTemplateText(E, FList->Get(k).substr(1), [&] {
        marked = true;
        mark = E->GetCaretPos();
      });
      if (IsTemplateLine(FList.get(), k + 1)) {
        E->RunCommand(ecLineBreak, 0, nullptr);
        TypeTemplateText(E, indentText, [] {});
      }
    }
    if (marked) {
      E->SetCaretXY(mark);
      E->RunCommand(ecDeleteLastChar, 0, nullptr);
    }
  } catch (...) {
    E->SetOptions(saved);
    FNoNextKey = false;
    throw;
  }
  E->SetOptions(saved);
  E->UndoList()->RecordChange(urAutoCompleteEnd, E->GetCaretPos(), E->GetCaretPos(), AnsiString(), smNormal);
  FNoNextKey = false;
}

void TTxtAutoComplete::OfferLookup(TCustomTxtEdit* E) {
  FProposal->AttachEditor(E);
  TStringList newItems, newInserts;
  for (int i = 0; i < FList->Count(); ++i) {
    const AnsiString s = FList->Get(i);
    if (s.empty() || s[0] == '=' || s[0] == '|') continue;
    AnsiString description = s;
    if (i + 1 < FList->Count() && !FList->Get(i + 1).empty() && FList->Get(i + 1)[0] == '|')
      description = FList->Get(i + 1).substr(1);
    newItems.Add("\\style{+B}" + s + "\\style{-B}\\column{}" + description);
    newInserts.Add(s);
  }
  FProposal->SetInsertList(&newInserts);
  FProposal->SetItemList(&newItems);
  FProposal->ShowForEditor(E);
}

void TTxtAutoComplete::LookupAccepted(TObject*, const AnsiString&, TShiftState, int, char) {
  // the list inserted the chosen token into the editor it served
  TCustomTxtEdit* e = FProposal->Form()->CurrentEditor();
  if (!e) e = FEditor;
  if (e) ExpandToken(TokenBeforeCaret(e), e, false);
  FProposal->SetEditor(nullptr);
}

// ---------------------------------------------------------------- registration

void RegisterAutoTypingClasses() {
  RegisterClasses({TTxtAutoComplete::StaticClass(), TTxtAutoCorrect::StaticClass()});
  RegisterProps<TTxtAutoComplete>([](TPropBuilder<TTxtAutoComplete>& p) {
    using P = TTxtAutoComplete;
    p.Prop("AutoCompleteList", &P::AutoCompleteList, &P::SetAutoCompleteList);
    p.Prop("EndOfTokenChr", &P::EndOfTokenChr, &P::SetEndOfTokenChr);
    p.Prop("Editor", &P::Editor, &P::SetEditor);
    p.Prop("ShortCut", &P::ShortCut, &P::SetShortCut).Default(TShortCut(::ShortCut(VK_SPACE, {ssShift})));
    p.Field("OnBeforeExecute", &P::OnBeforeExecute);
    p.Field("OnAfterExecute", &P::OnAfterExecute);
    p.Prop("DoLookupWhenNotExact", &P::DoLookupWhenNotExact, &P::SetDoLookupWhenNotExact).Default(true);
    p.Prop("Options", &P::Options, &P::SetOptions).Default(TxtDefaultProposalOptions);
  });
  RegisterProps<TCustomTxtAutoCorrect>([](TPropBuilder<TCustomTxtAutoCorrect>& p) {
    using P = TCustomTxtAutoCorrect;
    p.Prop("Editor", &P::Editor, &P::SetEditor);
    p.Prop("Enabled", &P::Enabled, &P::SetEnabled).Default(true);
    p.Prop("Items", &P::Items, &P::SetItems);
    p.Prop("ItemSepChar", &P::ItemSepChar, &P::SetItemSepChar).Default('\t');
    p.Prop("Options", &P::Options, &P::SetOptions)
        .Default(TAsTxtAutoCorrectOptions{ascoIgnoreCase, ascoMaintainCase});
    p.Field("OnAutoCorrect", &P::OnAutoCorrect);
    p.Field("OnCorrected", &P::OnCorrected);
  });
}
