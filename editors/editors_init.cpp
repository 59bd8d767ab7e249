#include "editors/editors_init.h"

#include "editors/uxcontainer.h"
#include "editors/uxeditpaintutils.h"
#include "editors/uxformats.h"

namespace {
bool initialised = false;
}

void InitEditors() {
  if (initialised) return;
  initialised = true;
  uxInitEditPaintUtils();
  uxInitFormatController();
  uxInitContainerUnit();
}

void FinalizeEditors() {
  if (!initialised) return;
  initialised = false;
  uxDoneContainerUnit();
  uxDoneFormatController();
  uxDoneEditPaintUtils();
}

bool EditorsInitialised() { return initialised; }
