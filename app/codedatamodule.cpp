#include "app/codedatamodule.h"

TCodeDataModule::TCodeDataModule(TComponent* AOwner) : TDataModule(AOwner, 0) {}

TCodeDataModule::~TCodeDataModule() {
  if (FEditor) FEditor->RemoveFreeNotification(this);
}

void TCodeDataModule::Remember(TCustomTxtEdit* Editor) {
  if (FEditor) FEditor->RemoveFreeNotification(this);
  FEditor = Editor;
  if (!FEditor) return;
  FEditor->FreeNotification(this);
  const TBufferCoord p = FEditor->GetCaretPos();
  FColumn = p.Char;
  FLine = p.Line;
}

void TCodeDataModule::Restore() {
  if (!FEditor) return;
  FEditor->GoToLineCentered(FLine);
  FEditor->SetCaretColumn(FColumn);
  FEditor->SetCaretLine(FLine);
}

void TCodeDataModule::Notification(TComponent* AComponent, TOperation Operation) {
  TDataModule::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FEditor) FEditor = nullptr;
}
