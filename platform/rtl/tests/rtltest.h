// Small pieces shared by the string-list, ini, registry and stream tests: a
// temporary folder, whole-file reads and writes, and a list's items as a vector.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

inline const AnsiString kNode = "\xBD\xDA\xB5\xE3";  // 节点

using Items = std::vector<AnsiString>;

inline Items ItemsOf(const TStrings& list) {
  Items r;
  for (int i = 0; i < list.Count(); ++i) r.push_back(list[i]);
  return r;
}

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/pv_rtl_XXXXXX";
    Path = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(Path); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  AnsiString File(const char* name) const { return Path + "/" + name; }
  std::string Path;
};

inline std::string ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteWholeFile(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary);
  out << text;
}
