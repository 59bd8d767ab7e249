// The registry, kept in one ini-format file:
// $XDG_CONFIG_HOME/penvarro/registry.ini (~/.config/penvarro/registry.ini
// when XDG_CONFIG_HOME is unset). Each key is a section named by its full
// path ("[HKEY_CURRENT_USER\Software\Penvarro]"); each value is a line
// "name=type:data" with the type int, str or bin, so a read of the wrong type
// is detected. Key and value names compare without ASCII case; text is kept
// as CP936 bytes. All registry objects of the process share one copy of the
// file in memory; changes are written (atomically) when a key is closed and
// when a registry object is destroyed.
#pragma once
#include <cstdint>
#include <vector>
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TStrings;

using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

// The file the registry lives in (CP936).
AnsiString RegistryFileName();
// Writes pending changes to the file now.
void RegistryFlush();
// Forgets the in-memory copy without writing it; the next access reads the
// file again (from the location the environment names then). For tests.
void RegistryResetCache();

class TRegistry : public TObject {
  PV_CLASS(TRegistry, TObject)
 public:
  TRegistry() = default;  // root HKEY_CURRENT_USER, no key open
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  // Closes the open key and changes the root.
  void SetRootKey(HKEY Value);
  // Non-zero while a key is open.
  HKEY CurrentKey() const { return FOpen ? FRootKey : 0; }
  // The open key's path below the root, without a leading backslash.
  const AnsiString& CurrentPath() const { return FCurrentPath; }

  // Key names are paths with '\' between keys. A name starting with '\' is
  // taken from the root, any other from the open key (or the root when none is open).
  // Opens Key, creating it and any missing parents when CanCreate; false when
  // it does not exist (or cannot be created).
  bool OpenKey(const AnsiString& Key, bool CanCreate);
  // Opens an existing key for reading; writes to it raise ERegistryException.
  bool OpenKeyReadOnly(const AnsiString& Key);
  // Creates Key (and parents) without opening it; raises ERegistryException
  // "Failed to create key %s" for a name that cannot be stored.
  bool CreateKey(const AnsiString& Key);
  // Writes pending changes and closes the open key.
  void CloseKey();
  // Deletes Key with everything below it; false when it does not exist.
  bool DeleteKey(const AnsiString& Key);
  bool KeyExists(const AnsiString& Key);
  bool HasSubKeys();
  // Names of the open key's direct subkeys, sorted without case.
  void GetKeyNames(TStrings* Strings);
  // Names of the open key's values, in the order they were first written.
  void GetValueNames(TStrings* Strings);

  bool ValueExists(const AnsiString& Name);
  bool DeleteValue(const AnsiString& Name);
  // rdUnknown when the value is missing (or unreadable).
  TRegDataType GetDataType(const AnsiString& ValueName);
  // Bytes of the value (strings count their terminating zero); -1 when missing.
  int GetDataSize(const AnsiString& ValueName);
  bool GetDataInfo(const AnsiString& ValueName, TRegDataInfo& Value);

  // Reads raise ERegistryException "Failed to get data for '%s'" when the
  // value is missing and "Invalid data type for '%s'" when it has another type.
  // Writes raise ERegistryException "Failed to set data for '%s'" when no key
  // is open or the key was opened read-only.
  AnsiString ReadString(const AnsiString& Name);
  void WriteString(const AnsiString& Name, const AnsiString& Value);
  Integer ReadInteger(const AnsiString& Name);
  void WriteInteger(const AnsiString& Name, Integer Value);
  bool ReadBool(const AnsiString& Name);  // an integer; non-zero is true
  void WriteBool(const AnsiString& Name, bool Value);
  // Floats and dates are 8-byte binary values.
  double ReadFloat(const AnsiString& Name);
  void WriteFloat(const AnsiString& Name, double Value);
  TDateTime ReadDateTime(const AnsiString& Name);
  void WriteDateTime(const AnsiString& Name, TDateTime Value);
  TDateTime ReadDate(const AnsiString& Name) { return ReadDateTime(Name); }
  void WriteDate(const AnsiString& Name, TDateTime Value) { WriteDateTime(Name, Value); }
  TDateTime ReadTime(const AnsiString& Name) { return ReadDateTime(Name); }
  void WriteTime(const AnsiString& Name, TDateTime Value) { WriteDateTime(Name, Value); }
  // Copies a binary value into Buffer and returns its size; a value larger
  // than BufSize raises "Invalid data type for '%s'".
  int ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize);
  void WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize);

 protected:
  // The section of Key resolved as OpenKey does; false for an unknown root or
  // a name that cannot be stored. Path is the part below the root.
  bool ResolveKey(const AnsiString& Key, AnsiString& Section, AnsiString& Path) const;
  bool SectionExists(const AnsiString& Section) const;
  const AnsiString* FindValue(const AnsiString& Section, const AnsiString& Name) const;
  void PutValue(const AnsiString& Section, const AnsiString& Name, const AnsiString& Stored);
  bool RemoveValue(const AnsiString& Section, const AnsiString& Name);
  // Creates the key Path (below the root) and its parents.
  void CreatePath(const AnsiString& Path);
  void ListValueNames(const AnsiString& Section, TStrings* Strings) const;
  void ListKeyNames(const AnsiString& Section, TStrings* Strings) const;
  const AnsiString& OpenSection() const { return FSection; }
  bool IsOpen() const { return FOpen; }

 private:
  void CheckWritable(const AnsiString& Name) const;
  void CloseInternal();
  HKEY FRootKey = HKEY_CURRENT_USER;
  bool FOpen = false;
  bool FReadOnly = false;
  AnsiString FCurrentPath;
  AnsiString FSection;
};

// An ini-style view of the registry: the key opened at creation holds one
// subkey per section, whose values are the idents. With no key open (after
// CloseKey) sections are keys below the root, so "\Software\X" and
// "Software\X" name the same key. Integers and Booleans are written as text,
// as an ini file keeps them. Missing sections or idents give the default;
// nothing here raises for them.
class TRegIniFile : public TRegistry {
  PV_CLASS(TRegIniFile, TRegistry)
 public:
  // Opens (creating) FileName below HKEY_CURRENT_USER.
  explicit TRegIniFile(const AnsiString& FileName);
  const AnsiString& FileName() const { return FFileName; }

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
  // A stored integer, or a stored text read as an integer; Default otherwise.
  LongInt ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default);
  void WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value);
  bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
  // The value names of Section.
  void ReadSection(const AnsiString& Section, TStrings* Strings);
  // The subkeys of the open key.
  void ReadSections(TStrings* Strings);
  // "name=value" for each text or integer value of Section.
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
  // Deletes the subkey Section with everything below it.
  void EraseSection(const AnsiString& Section);
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident);

 private:
  // The section name of Section below the open key, or below the root when
  // none is open ("" is that key itself).
  bool SectionOf(const AnsiString& Section, AnsiString& Result) const;
  AnsiString FFileName;
};
