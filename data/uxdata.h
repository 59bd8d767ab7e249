// The unbound data controller: its records live only in its own record store,
// with no data set behind it. The grid's table and lookup controllers derive
// from it and answer the items (columns) through GetItem.
#pragma once
#include "data/uxcustomdata.h"

class TuxDataController : public TuxCustomDataController {
  PV_CLASS(TuxDataController, TuxCustomDataController)
 public:
  using TuxCustomDataController::TuxCustomDataController;
  // The inherited construction, then the controller becomes active.
  void AfterConstruction() override;
};
