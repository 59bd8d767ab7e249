#include "app/storyname.h"

#include <memory>

#include "app/storywrite.h"
#include "platform/classes/typinfo.h"

void TStoryNameForm::Bind(TDataSource* AliasSource) {
  FolderTree->SetDataSource(AliasSource);
  DBText1->SetDataSource(AliasSource);
  DBEdit2->SetDataSource(AliasSource);
}

void TStoryNameForm::FormShow(TObject*) { FolderTree->FullExpand(); }

void TStoryNameForm::DBEdit2Exit(TObject*) {
  TDataSource* source = DBEdit2->DataSource();
  TDataSet* alias = source ? source->DataSet() : nullptr;
  if (!alias || !alias->Active()) return;
  if (alias->State() == dsEdit || alias->State() == dsInsert) alias->Post();
  FolderTree->Repaint();
  alias->Refresh();
}

void TStoryNameForm::SpeedButton1Click(TObject*) { Close(); }

void ShowStoryNameDialog(TStoryWrite* Window) {
  std::unique_ptr<TStoryNameForm> dialog(NewObject<TStoryNameForm>(Application));
  dialog->Bind(Window->ClientUserAliseDS);
  dialog->ShowModal();
  // A name typed and not left yet is stored as leaving the edit would.
  if (dialog->DBEdit2->DataLink()->IsModified()) {
    dialog->DBEdit2->DataLink()->UpdateRecord();
    dialog->DBEdit2Exit(dialog->DBEdit2);
  }
}

void RegisterStoryNameForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TStoryNameForm::StaticClass()});
  RegisterHandlers<TStoryNameForm>([](THandlerBuilder<TStoryNameForm>& h) {
    using F = TStoryNameForm;
    h.Field("FolderTree", &F::FolderTree);
    h.Field("DBText1", &F::DBText1);
    h.Field("DBEdit2", &F::DBEdit2);
    h.Field("SpeedButton1", &F::SpeedButton1);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("DBEdit2Exit", &F::DBEdit2Exit);
    h.Handler("SpeedButton1Click", &F::SpeedButton1Click);
  });
}

void ProvideStoryNameDialog() { StoryWindowHooks().StoryName = ShowStoryNameDialog; }
