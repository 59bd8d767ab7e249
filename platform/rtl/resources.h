// The program's resource table: named blocks of bytes (images, cursors, window
// descriptions, raw data) and numbered strings, filled at start-up by code
// generated from the files in resources/. Types and names are compared
// without ASCII case.
#pragma once
#include <cstddef>
#include <vector>
#include "platform/rtl/types.h"

// Resource types as the loaders name them.
inline constexpr const char* RT_RCDATA = "RCDATA";
inline constexpr const char* RT_BITMAP = "BITMAP";
inline constexpr const char* RT_CURSOR = "CURSOR";
inline constexpr const char* RT_ICON = "ICON";
inline constexpr const char* RT_STRING = "STRINGTABLE";

// A registered block. Data is null only for a resource that was not found.
struct TResourceData {
  const Byte* Data = nullptr;
  std::size_t Size = 0;
  explicit operator bool() const { return Data != nullptr; }
};

// Registers (or replaces) the resource Type/Name. The bytes are not copied:
// they must stay valid for the life of the program, as generated static data does.
void RegisterResource(const AnsiString& Type, const AnsiString& Name, const void* Data, std::size_t Size);
// The resource's bytes, or an empty TResourceData when there is none.
TResourceData FindResourceData(const AnsiString& Type, const AnsiString& Name);
// Names of the resources of Type, as registered, sorted without case.
std::vector<AnsiString> EnumResourceNames(const AnsiString& Type);

// Numbered strings (the string table).
void RegisterString(int Id, const AnsiString& Text);
// The string Id, or "" when there is none.
AnsiString LoadStr(int Id);
