#include "app/program.h"

#include "app/copyfiles.h"
#include "app/designwindow.h"
#include "app/exportfiles.h"
#include "app/exportset.h"
#include "app/libdatamodule.h"
#include "app/libreplace.h"
#include "app/mainform.h"
#include "app/storydesign.h"
#include "app/narrativewindow.h"
#include "app/novelreplace.h"
#include "app/storyname.h"
#include "app/templatewindow.h"
#include "app/treecopyform.h"
#include "platform/controls/forms.h"

// Penvarro写作 and the maker's address.
const char* const kApplicationTitle = "Penvarro\xD0\xB4\xD7\xF7 - https://www.penvarro.org/";

void CreateWorkbench(int argc, const char* const* argv) {
  Application->SetArgs(argc, argv);
  Application->Initialize();
  Application->SetTitle(kApplicationTitle);
  ProvideSettingsDialog();
  ProvideLibraryReplace();
  ProvideCopyWindow();
  ProvideStoryDesign();
  ProvideNovelReplace();
  ProvideStoryNameDialog();
  ProvideExportToFile();
  ProvideDesignWindow();
  ProvideNarrativeWindow();
  ProvideTemplateWindow();
  Application->CreateForm(LibDataModule);
  Application->CreateForm(MainForm);
  Application->CreateForm(TreeCopyForm);
  Application->CreateForm(ReplaceForm);
}
