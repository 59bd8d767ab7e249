// The caret keeper: saving a table or walking its records reloads the
// data-aware editors bound to it, which throws the caret back to the top. The
// keeper remembers an editor's caret before such an operation and puts it back
// afterwards. An editor freed meanwhile is forgotten, so Restore then does
// nothing.
#pragma once
#include "editor/txtedit.h"
#include "platform/controls/forms.h"

class TCodeDataModule : public TDataModule {
  PV_CLASS(TCodeDataModule, TDataModule)
 public:
  explicit TCodeDataModule(TComponent* AOwner);
  ~TCodeDataModule() override;

  // Stores the editor and its caret column and line.
  void Remember(TCustomTxtEdit* Editor);
  // Puts the caret back on the stored editor: to the line centred, then the
  // column, then the line; positions beyond the text are clamped by the editor.
  void Restore();
  TCustomTxtEdit* Editor() const { return FEditor; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TCustomTxtEdit* FEditor = nullptr;
  int FColumn = 1;
  int FLine = 1;
};
