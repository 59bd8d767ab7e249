#include "data/data_init.h"

#include "data/uxcustomdata.h"
#include "data/uxdatasort.h"
#include "data/uxdatastorage.h"
#include "data/uxdbadapters.h"
#include "data/uxdbdata.h"
#include "data/uxfilter.h"
#include "platform/classes/typinfo.h"

namespace {
bool initialised = false;
}

void InitData() {
  if (initialised) return;
  initialised = true;
  for (const auto& entry : uxValueTypeTable()) uxGetValueTypeClassList()->Register(entry.Class);
  uxRegisterFilterCriteriaProps();
  uxFieldIndexOfLinkObject = uxDataFieldIndexOfLinkObject;
}

void FinalizeData() {
  if (!initialised) return;
  initialised = false;
  uxFieldIndexOfLinkObject = nullptr;
  const auto& table = uxValueTypeTable();
  for (auto it = table.rbegin(); it != table.rend(); ++it) uxGetValueTypeClassList()->Unregister(it->Class);
  uxFreeValueTypeClassList();
}

bool DataInitialised() { return initialised; }

void InitDataSetAdapters() {
  static bool propsRegistered = false;
  if (!propsRegistered) {
    propsRegistered = true;
    RegisterProps<TuxDBDataFilterCriteria>(uxRegisterDBFilterCriteriaProps<TuxDBDataFilterCriteria>);
  }
  uxInitDBAdapters();
  uxInitDetailFilterAdapters();
}

void FinalizeDataSetAdapters() {
  uxFinalizeDetailFilterAdapters();
  uxFinalizeDBAdapters();
}
