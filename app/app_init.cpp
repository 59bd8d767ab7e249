#include "app/app_init.h"

#include "app/cooltrayicon.h"
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
#include "app/storywrite.h"
#include "app/templatewindow.h"
#include "app/searchdialogs.h"
#include "app/treecopyform.h"

void InitApp() {
  InitCoolTrayIcon();
  RegisterLibDataModule();
  RegisterMainForm();
  RegisterTreeCopyForm();
  RegisterStoryWrite();
  RegisterDesignWindow();
  RegisterNarrativeWindow();
  RegisterTemplateWindow();
  InstallStoryWindow();
  RegisterExportset();
  RegisterSearchDialogs();
  RegisterLibraryReplace();
  RegisterCopyFiles();
  RegisterStoryDesign();
  RegisterNovelReplace();
  RegisterStoryNameForm();
  RegisterExportToFileForm();
}
