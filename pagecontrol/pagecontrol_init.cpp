// Start-up and shut-down of the tabbed page control.
#include "pagecontrol/pagecontrol_init.h"

#include "pagecontrol/uxpc.h"
#include "pagecontrol/uxpcpainter.h"

namespace {
bool gInitialised = false;
}

void InitPageControl() {
  if (gInitialised) return;
  gInitialised = true;
  uxInitTabControl();
}

void FinalizePageControl() {
  if (!gInitialised) return;
  gInitialised = false;
  FreePaintersFactory();
}

bool PageControlInitialised() { return gInitialised; }
