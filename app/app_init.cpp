#include "app/app_init.h"

#include "app/cooltrayicon.h"
#include "app/exportfiles.h"
#include "app/exportset.h"
#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/novelreplace.h"
#include "app/storyname.h"
#include "app/storywrite.h"
#include "app/searchdialogs.h"
#include "app/treecopyform.h"

void InitApp() {
  InitCoolTrayIcon();
  RegisterLibDataModule();
  RegisterMainForm();
  RegisterTreeCopyForm();
  RegisterStoryWrite();
  InstallStoryWindow();
  RegisterExportset();
  RegisterSearchDialogs();
  RegisterNovelReplace();
  RegisterStoryNameForm();
  RegisterExportToFileForm();
}
