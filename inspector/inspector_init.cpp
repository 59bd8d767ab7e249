#include "inspector/inspector_init.h"

#include "inspector/kxdbinspkinds.h"

namespace {
bool gInspectorInitialised = false;
}

void InitInspector() {
  if (gInspectorInitialised) return;
  gInspectorInitialised = true;
  kxInitInspectorControl();
  kxInitDBInspector();
  kxInitInspectorKinds();
  kxInitDBInspectorKinds();
}

void FinalizeInspector() {
  if (!gInspectorInitialised) return;
  gInspectorInitialised = false;
  kxDoneDBInspectorKinds();
  kxDoneInspectorKinds();
  kxDoneDBInspector();
  kxDoneInspectorControl();
}

bool InspectorInitialised() { return gInspectorInitialised; }
