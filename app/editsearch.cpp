// The library data module's find and replace: the dialogs' options, texts
// and histories kept between uses, and the search run on the current editor.
#include <memory>

#include "app/libdatamodule.h"
#include "app/searchdialogs.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

void TLibDataModule::ShowSearchReplaceDialog(bool Replace) {
  TTextReplaceDialog* replaceDialog = Replace ? NewObject<TTextReplaceDialog>(this) : nullptr;
  std::unique_ptr<TTextSearchDialog> dialog(replaceDialog ? replaceDialog : NewObject<TTextSearchDialog>(this));
  dialog->SetBackwards(SearchBackwards);
  dialog->SetCaseSensitive(SearchCaseSensitive);
  dialog->SetFromCursor(SearchFromCaret);
  dialog->SetSelectedOnly(SearchSelectionOnly);
  dialog->SetFindText(SearchText);
  dialog->SetFindHistory(SearchTextHistory);
  if (replaceDialog) {
    replaceDialog->SetReplaceWith(ReplaceText);
    replaceDialog->SetReplaceHistory(ReplaceTextHistory);
  }
  dialog->SetWholeWords(SearchWholeWords);
  if (dialog->ShowModal() != mrOk) return;

  SearchSelectionOnly = dialog->SelectedOnly();
  SearchBackwards = dialog->Backwards();
  SearchCaseSensitive = dialog->CaseSensitive();
  SearchFromCaret = dialog->FromCursor();
  SearchWholeWords = dialog->WholeWords();
  SearchRegex = dialog->UseRegex();
  SearchText = dialog->FindText();
  SearchTextHistory = dialog->FindHistory();
  if (replaceDialog) {
    ReplaceText = replaceDialog->ReplaceWith();
    ReplaceTextHistory = replaceDialog->ReplaceHistory();
  }
  SearchTextAtCaret = SearchFromCaret;
  if (!SearchText.empty()) {
    DoSearchReplaceText(Replace, SearchBackwards);
    SearchTextAtCaret = true;
  }
}

void TLibDataModule::DoSearchReplaceText(bool Replace, bool Backwards) {
  // The editor that last had the focus, while it still exists.
  TCustomTxtEdit* editor = dynamic_cast<TCustomTxtEdit*>(CurrentEditor);
  if (!editor) return;
  TTxtSearchFlags options;
  if (Replace) options << sfReplace << sfReplaceAll << sfPromptOnReplace;
  if (Backwards) options << sfBackwards;
  if (SearchCaseSensitive) options << sfMatchCase;
  if (!SearchTextAtCaret) options << sfEntireScope;
  if (SearchSelectionOnly) {
    if (editor->HasSelection() && AnsiCompareText(editor->GetSelText(), SearchText) != 0) {
      options << sfSelectedOnly;
    } else {
      if (MessageDlg(Utf8ToAnsi("没有选中文本, 要搜索整个文本吗?"), mtWarning, {mbYes, mbNo}) == mrNo) return;
      SearchSelectionOnly = false;
    }
  }
  if (SearchWholeWords) options << sfWholeWord;
  editor->SetSearchEngine(SearchRegex ? static_cast<TTxtEditSearchCustom*>(TxtEditRegexSearch)
                                      : static_cast<TTxtEditSearchCustom*>(TxtEditSearch));
  // The confirmation dialog lives for one search only, also when it raises.
  struct FreeConfirmation {
    TLibDataModule* m;
    ~FreeConfirmation() { delete m->ConfirmReplaceDialog; }
  } freeConfirmation{this};
  const int found = editor->FindReplace(SearchText, ReplaceText, options);
  if (found == 0 && CurrentEditor == editor) {
    MessageBeep(MB_ICONASTERISK);
    if (Backwards) editor->SetSelectionEnd(editor->GetSelectionStart());
    else editor->SetSelectionStart(editor->GetSelectionEnd());
    editor->SetCaretXY(editor->GetSelectionStart());
  }
}

void TLibDataModule::TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace,
                                        int Line, int Column, TTxtReplaceAction& Action) {
  if (ASearch == AReplace) {
    Action = raSkip;
    return;
  }
  TCustomTxtEdit* editor = dynamic_cast<TCustomTxtEdit*>(Sender);
  if (!editor) {
    Action = raCancel;
    return;
  }
  const TPoint match =
      editor->ClientToScreen(editor->DisplayPosToPixels(editor->TextPosToDisplayPos(TBufferCoord{Column, Line})));
  const TPoint topLeft = editor->ClientToScreen(TPoint{0, 0});
  const TRect editorRect{topLeft.x, topLeft.y, topLeft.x + editor->ClientWidth(), topLeft.y + editor->ClientHeight()};
  if (!ConfirmReplaceDialog) ConfirmReplaceDialog = NewObject<TConfirmReplaceDialog>(Application);
  ConfirmReplaceDialog->PrepareAt(editorRect, match.x, match.y, match.y + editor->LineHeight(), ASearch);
  switch (ConfirmReplaceDialog->ShowModal()) {
    case mrYes: Action = raReplace; break;
    case mrNo: Action = raSkip; break;
    case mrYesToAll: Action = raReplaceAll; break;
    default: Action = raCancel; break;
  }
}
