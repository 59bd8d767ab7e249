// Start-up of the class library.
#include "platform/controls/controls_init.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/buttons.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/commctrl.h"
#include "platform/controls/controls.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/stdwnd.h"
#include "platform/controls/timers.h"
#include "platform/controls/valedit.h"

namespace {
bool gInitialised = false;
}

void InitControls() {
  if (gInitialised) return;
  gInitialised = true;
  // Order: the window classes the wrappers create windows of; drawing
  // objects; controls, actions and menus that controls refer to; forms, which
  // publish properties of all of them; then the standard and common controls.
  RegisterStandardWindowClasses();
  InitCommonControls();
  InitGraphicsProps();
  InitImgListProps();
  InitActnListProps();
  InitControlsProps();
  InitMenusProps();
  InitTimersProps();
  InitForms();
  InitStdCtrlsProps();
  InitExtCtrlsProps();
  InitButtonsProps();
  InitComCtrlsProps();
  InitValEditProps();
  InitDBCtrlsProps();
  InitDialogs();
}

void FinalizeControls() {
  if (!gInitialised) return;
  DoneForms();
}
