#include "editors/editors_init.h"

#include "editors/uxcontainer.h"

namespace {
bool initialised = false;
}

void InitEditors() {
  if (initialised) return;
  initialised = true;
  uxInitContainerUnit();
}

void FinalizeEditors() {
  if (!initialised) return;
  initialised = false;
  uxDoneContainerUnit();
}

bool EditorsInitialised() { return initialised; }
