#include "platform/rtl/resources.h"

#include <map>

#include "platform/rtl/strings.h"

namespace {

struct TResourceEntry {
  AnsiString Name;  // as registered
  TResourceData Block;
};

// Type (folded) -> name (folded) -> entry. Function-local so registration from
// any start-up code finds the table constructed.
std::map<AnsiString, std::map<AnsiString, TResourceEntry>>& Table() {
  static std::map<AnsiString, std::map<AnsiString, TResourceEntry>> table;
  return table;
}

std::map<int, AnsiString>& StringTable() {
  static std::map<int, AnsiString> table;
  return table;
}

const Byte kEmpty[1] = {0};

}  // namespace

void RegisterResource(const AnsiString& Type, const AnsiString& Name, const void* Data, std::size_t Size) {
  TResourceEntry e;
  e.Name = Name;
  // An empty resource still exists: give it a non-null address.
  e.Block.Data = Data ? static_cast<const Byte*>(Data) : kEmpty;
  e.Block.Size = Data ? Size : 0;
  Table()[UpperCase(Type)][UpperCase(Name)] = e;
}

TResourceData FindResourceData(const AnsiString& Type, const AnsiString& Name) {
  auto& table = Table();
  auto t = table.find(UpperCase(Type));
  if (t == table.end()) return {};
  auto n = t->second.find(UpperCase(Name));
  if (n == t->second.end()) return {};
  return n->second.Block;
}

std::vector<AnsiString> EnumResourceNames(const AnsiString& Type) {
  std::vector<AnsiString> names;
  auto& table = Table();
  auto t = table.find(UpperCase(Type));
  if (t == table.end()) return names;
  for (auto& [key, entry] : t->second) names.push_back(entry.Name);
  return names;
}

void RegisterString(int Id, const AnsiString& Text) { StringTable()[Id] = Text; }

AnsiString LoadStr(int Id) {
  auto& table = StringTable();
  auto it = table.find(Id);
  return it == table.end() ? AnsiString() : it->second;
}
