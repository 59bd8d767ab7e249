// The data layer's tests run after the program's start-up step of the data
// layer, as the program does, and shut it down at the end.
#include <gtest/gtest.h>

#include "data/data_init.h"
#include "platform/classes/init.h"
#include "platform/db/init.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  InitClasses();
  InitDataAccess();
  InitData();
  InitDataSetAdapters();
  const int result = RUN_ALL_TESTS();
  FinalizeDataSetAdapters();
  FinalizeData();
  FinalizeClasses();
  return result;
}
