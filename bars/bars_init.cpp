#include "bars/bars_init.h"

#include "bars/kxbar.h"
#include "bars/kxbarcustomform.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbardate.h"
#include "bars/kxbaritems.h"
#include "bars/kxbaritemsext.h"
#include "bars/kxbarmdi.h"
#include "bars/kxbarpopup.h"

namespace {
bool gInitialised = false;
}

void InitBars() {
  if (gInitialised) return;
  gInitialised = true;
  // The process-wide state first, then the classes and their settings, then
  // the item kinds with their controls, in the registry's order.
  kxBarInitUtils();
  kxBarInstallDragCursors();
  kxBarRegisterCoreProps();
  kxBarRegisterItemKinds();
  kxBarRegisterQuickItems();
  kxBarRegisterCompanions();
  kxBarRegisterExtraItems();
  kxBarRegisterMDIItems();
  kxBarRegisterCustomizingForms();
}

void FinalizeBars() {
  if (!gInitialised) return;
  gInitialised = false;
  kxBarUnregisterMDIItems();
  kxBarUnregisterExtraItems();
  kxBarUnregisterQuickItems();
  kxBarUnregisterItemKinds();
  kxBarDoneUtils();
}

bool BarsInitialised() { return gInitialised; }
