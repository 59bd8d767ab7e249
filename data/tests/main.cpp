// The data layer's tests run after the program's start-up step of the data
// layer, as the program does, and shut it down at the end.
#include <gtest/gtest.h>

#include "data/data_init.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  InitData();
  const int result = RUN_ALL_TESTS();
  FinalizeData();
  return result;
}
