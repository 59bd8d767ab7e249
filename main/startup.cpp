#include "main/startup.h"

#include "framework/framework_init.h"
#include "main/demo.h"
#include "platform/classes/init.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/init.h"
#include "treechart/chartsinit.h"

void InitProgram() {
  InitClasses();
  InitResources();
  InitDemoResources();
  InitDataAccess();
  InitControls();
  InitChartClasses();
  InitFramework();
  SetDialogAnswersRequired(false);  // dialogs wait for the user, not for a script
  RegisterDemoForm();
}

void FinalizeProgram() {
  // The forms go first: their framework controls leave the framework's
  // windows and lists as they are freed.
  FinalizeControls();
  FinalizeFramework();
  FinalizeClasses();
}
