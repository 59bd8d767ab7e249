#include "main/startup.h"

#include "app/app_init.h"
#include "bars/bars_init.h"
#include "data/data_init.h"
#include "docking/kxdockmanager.h"
#include "editor/txteditinit.h"
#include "editors/editors_init.h"
#include "framework/framework_init.h"
#include "inplace/inplace_init.h"
#include "inspector/inspector_init.h"
#include "pagecontrol/pagecontrol_init.h"
#include "platform/classes/init.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/init.h"
#include "treechart/chartsinit.h"
#include "treechart/kxtreeview.h"

void InitProgram() {
  InitClasses();
  InitResources();
  InitDataAccess();
  InitControls();
  kxInitTreeViews();
  InitEditorClasses();
  InitChartClasses();
  InitFramework();
  kxInitDocking();
  InitBars();
  InitPageControl();
  InitInplace();
  InitInspector();
  InitData();
  InitDataSetAdapters();
  InitEditors();
  InitApp();
  SetDialogAnswersRequired(false);  // dialogs wait for the user, not for a script
}

void FinalizeProgram() {
  // The forms go first: their framework controls and bars leave the
  // framework's and the bar library's windows and lists as they are freed.
  FinalizeControls();
  FinalizeBars();
  FinalizePageControl();
  FinalizeEditorClasses();
  FinalizeEditors();
  FinalizeDataSetAdapters();
  FinalizeData();
  FinalizeInspector();
  FinalizeInplace();
  kxDoneDocking();
  FinalizeFramework();
  FinalizeClasses();
}
