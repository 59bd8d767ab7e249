#include "app/program.h"

#include "app/exportfiles.h"
#include "app/exportset.h"
#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/novelreplace.h"
#include "app/storyname.h"
#include "app/treecopyform.h"
#include "platform/controls/forms.h"

// Penvarro写作 and the maker's address.
const char* const kApplicationTitle = "Penvarro\xD0\xB4\xD7\xF7 - https://www.penvarro.org/";

void CreateWorkbench(int argc, const char* const* argv) {
  Application->SetArgs(argc, argv);
  Application->Initialize();
  Application->SetTitle(kApplicationTitle);
  ProvideSettingsDialog();
  ProvideNovelReplace();
  ProvideStoryNameDialog();
  ProvideExportToFile();
  Application->CreateForm(LibDataModule);
  Application->CreateForm(MainForm);
  Application->CreateForm(TreeCopyForm);
  Application->CreateForm(ReplaceForm);
}
