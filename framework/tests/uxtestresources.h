// Registers the bitmaps of the source tree's resources/bitmaps folder, as
// the program's start-up does with the embedded copies, so that tests of the
// painters see the same glyphs without linking the program's resources.
#pragma once

#include "framework/uxoffice11.h"
#include "platform/rtl/resources.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

inline void RegisterSourceBitmaps() {
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  static bool Done = false;
  if (Done) return;
  Done = true;
  const std::filesystem::path Dir = std::filesystem::path(PV_SOURCE_DIR) / "resources" / "bitmaps";
  for (const auto& E : std::filesystem::directory_iterator(Dir)) {
    if (E.path().extension() != ".bmp") continue;
    std::ifstream In(E.path(), std::ios::binary);
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    RegisterResource(RT_BITMAP, E.path().stem().string(), Store.back().data(), Store.back().size());
  }
  RebuildOffice11Colors();  // a table made before the bitmaps were there loads them now
}
