#include "data/uxdata.h"

void TuxDataController::AfterConstruction() {
  TuxCustomDataController::AfterConstruction();
  ActiveChanged(true);
}
