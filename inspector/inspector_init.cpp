#include "inspector/inspector_init.h"

#include "inspector/kxdbinsp.h"

namespace {
bool gInspectorInitialised = false;
}

void InitInspector() {
  if (gInspectorInitialised) return;
  gInspectorInitialised = true;
  kxInitInspectorControl();
  kxInitDBInspector();
}

void FinalizeInspector() {
  if (!gInspectorInitialised) return;
  gInspectorInitialised = false;
  kxDoneDBInspector();
  kxDoneInspectorControl();
}

bool InspectorInitialised() { return gInspectorInitialised; }
