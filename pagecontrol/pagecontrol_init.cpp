// Start-up and shut-down of the tabbed page control.
#include "pagecontrol/pagecontrol_init.h"

#include "pagecontrol/uxpagecontrol.h"
#include "pagecontrol/uxpc.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcpainters.h"

namespace {
bool gInitialised = false;
}

void InitPageControl() {
  if (gInitialised) return;
  gInitialised = true;
  uxInitTabControl();
  uxInitPageControl();
  uxInitPCPainters();
}

void FinalizePageControl() {
  if (!gInitialised) return;
  gInitialised = false;
  uxDonePCPainters();
  FreePaintersFactory();
}

bool PageControlInitialised() { return gInitialised; }
