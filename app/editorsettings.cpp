// How the library data module gives the shared editor settings and aids to
// the editors of every window.
#include "app/libdatamodule.h"

void TLibDataModule::SetCurrentAutoComplete(TTxtAutoComplete* Value) {
  if (CurrentAutoComplete == Value) return;
  if (CurrentAutoComplete) CurrentAutoComplete->RemoveFreeNotification(this);
  CurrentAutoComplete = Value;
  if (Value) Value->FreeNotification(this);
}

void TLibDataModule::Notification(TComponent* AComponent, TOperation Operation) {
  TDataModule::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == CurrentEditor) CurrentEditor = nullptr;
  if (AComponent == CurrentAutoComplete) CurrentAutoComplete = nullptr;
}

void TLibDataModule::initDBTxtEdit(TCustomTxtEdit* Editor) {
  Editor->SetColor(clGradientInactiveCaption);
  Editor->Font()->SetColor(clBlack);
  Editor->Font()->SetName("\xD0\xC2\xCB\xCE\xCC\xE5");  // 新宋体
  Editor->Font()->SetSize(FontSize);
  Editor->SetWordWrap(true);
  Editor->Gutter()->SetVisible(ShowLineBar);
  Editor->SetHighlighter(ColorSyntax ? TxtRules1 : nullptr);
  TTxtEditorOptions options = Editor->Options();
  options << eoHideShowScrollbars << eoRightMouseMovesCursor << eoTrimTrailingSpaces;
  Editor->SetOptions(options);
  Editor->SetExtraLineSpacing(3);
  Editor->SetActiveLineColor(clInactiveCaptionText);
  Editor->WordWrapGlyph()->SetVisible(false);
  Editor->SetScrollHintFormat(shfTopToBottom);
}

void TLibDataModule::setDefaultEditor(TCustomTxtEdit* Editor) {
  if (CurrentEditor != Editor) {
    if (CurrentEditor) CurrentEditor->RemoveFreeNotification(this);
    CurrentEditor = Editor;
    if (Editor) Editor->FreeNotification(this);
  }
  if (!Editor) return;
  Editor->SetHighlighter(ColorSyntax ? TxtRules1 : nullptr);
  Editor->SetColor(EditorColor);
  Editor->Font()->SetColor(EditorFontColor);
  Editor->Gutter()->SetVisible(ShowLineBar);
  Editor->Font()->SetSize(FontSize);
  if (CurrentAutoComplete) CurrentAutoComplete->SetEditor(Editor);
  if (TxtAutoCorrect1) TxtAutoCorrect1->SetEditor(Editor);
  if (TxtCompletionProposal1) TxtCompletionProposal1->SetEditor(Editor);
}
