#include "platform/rtl/registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <unordered_set>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace {

// ---------------------------------------------------------------------------
// The shared copy of the file

struct TRegStore {
  bool Loaded = false;
  bool Dirty = false;
  AnsiString FileName;
  pv_detail::TIniSections Data;
};

TRegStore& Store() {
  static TRegStore store;
  return store;
}

pv_detail::TIniSections& Data() {
  TRegStore& s = Store();
  if (!s.Loaded) {
    s.FileName = RegistryFileName();
    s.Data.Clear();
    // An unreadable file raises here rather than being replaced by an empty registry.
    if (FileExists(s.FileName)) {
      TStringList lines;
      lines.LoadFromFile(s.FileName);
      s.Data.SetStrings(&lines);
    }
    s.Loaded = true;
    s.Dirty = false;
  }
  return s.Data;
}

void FlushAtExit() {
  try {
    RegistryFlush();
  } catch (...) {
    // Nothing can report it any more.
  }
}

void MarkDirty() {
  Store().Dirty = true;
  // Changes made through a registry object that is never closed still reach the file.
  static const bool registered = (std::atexit(&FlushAtExit), true);
  (void)registered;
}

// ---------------------------------------------------------------------------
// Names

const char* RootName(HKEY Key) {
  switch (Key) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    default: return nullptr;
  }
}

// A complete double-byte character starts at I.
bool IsPair(const AnsiString& S, std::size_t I) {
  if (I + 1 >= S.size() || !IsDBCSLeadByte(static_cast<Byte>(S[I]))) return false;
  Byte t = static_cast<Byte>(S[I + 1]);
  return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

// Splits a key path at '\' (never at a trail byte); empty parts are dropped.
std::vector<AnsiString> SplitKey(const AnsiString& Path) {
  std::vector<AnsiString> parts;
  AnsiString part;
  for (std::size_t i = 0; i < Path.size(); ++i) {
    if (IsPair(Path, i)) {
      part.append(Path, i, 2);
      ++i;
    } else if (Path[i] == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += Path[i];
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// A key name the section header keeps exactly: no control characters, no
// stray lead byte, no blanks at either end.
bool ValidKeyName(const AnsiString& Name) {
  if (Name.empty() || Name.front() == ' ' || Name.back() == ' ') return false;
  for (std::size_t i = 0; i < Name.size(); ++i) {
    if (IsPair(Name, i)) {
      ++i;
      continue;
    }
    Byte c = static_cast<Byte>(Name[i]);
    if (c < 0x20 || c == 0x7F || c >= 0x80) return false;
  }
  return true;
}

void AppendEscape(AnsiString& Out, Byte C) { Out += "\\x" + BinToHex(&C, 1); }

// Text written into a line so that the ini reader gives it back unchanged:
// control characters, '\', stray high bytes and a final blank become \xHH;
// in a value name also '=', and a first ';', '[', '@' or blank. Double-byte
// characters stay as they are.
AnsiString Escape(const AnsiString& S, bool IsName) {
  if (IsName && S.empty()) return "@";  // the key's default value
  AnsiString out;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (IsPair(S, i)) {
      out.append(S, i, 2);
      ++i;
      continue;
    }
    Byte c = static_cast<Byte>(S[i]);
    bool esc = c < 0x20 || c == 0x7F || c >= 0x80 || c == '\\' || (i + 1 == S.size() && c == ' ');
    if (IsName) esc = esc || c == '=' || (i == 0 && (c == ';' || c == '[' || c == '@' || c == ' '));
    if (esc) AppendEscape(out, c);
    else out += static_cast<char>(c);
  }
  return out;
}

AnsiString Unescape(const AnsiString& S, bool IsName) {
  if (IsName && S == "@") return AnsiString();
  AnsiString out;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (IsPair(S, i)) {
      out.append(S, i, 2);
      ++i;
    } else if (S[i] == '\\' && i + 3 < S.size() && (S[i + 1] == 'x' || S[i + 1] == 'X') &&
               HexDigitValue(S[i + 2]) >= 0 && HexDigitValue(S[i + 3]) >= 0) {
      out += static_cast<char>(HexDigitValue(S[i + 2]) * 16 + HexDigitValue(S[i + 3]));
      i += 3;
    } else {
      out += S[i];  // not an escape we write: taken as it stands
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Stored values: "int:-5", "str:text", "bin:0A0B"

struct TStoredValue {
  TRegDataType Type = rdUnknown;
  Integer Int = 0;
  AnsiString Bytes;  // the text of a string, the bytes of a binary value
};

TStoredValue ParseStored(const AnsiString& S) {
  TStoredValue v;
  if (S.compare(0, 4, "int:") == 0) {
    Int64 n;
    AnsiString digits = S.substr(4);
    bool decimal = !digits.empty() && (std::isdigit(static_cast<unsigned char>(digits[0])) || digits[0] == '-');
    if (decimal && TryStrToInt64(digits, n) && n >= INT32_MIN && n <= UINT32_MAX) {
      v.Type = rdInteger;
      v.Int = static_cast<Integer>(static_cast<std::uint32_t>(n));
    }
  } else if (S.compare(0, 4, "str:") == 0) {
    v.Type = rdString;
    v.Bytes = Unescape(S.substr(4), false);
  } else if (S.compare(0, 4, "bin:") == 0) {
    AnsiString hex = S.substr(4);
    if (hex.size() % 2 == 0) {
      v.Bytes.resize(hex.size() / 2);
      if (HexToBin(hex, v.Bytes.data(), v.Bytes.size()) == v.Bytes.size()) v.Type = rdBinary;
      else v.Bytes.clear();
    }
  }
  return v;
}

AnsiString StoreInt(Integer Value) { return "int:" + IntToStr(Value); }
AnsiString StoreString(const AnsiString& Value) { return "str:" + Escape(Value, false); }
AnsiString StoreBinary(const void* Data, std::size_t Size) { return "bin:" + BinToHex(Data, Size); }

void SortNames(std::vector<AnsiString>& Names) {
  std::stable_sort(Names.begin(), Names.end(),
                   [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
}

void FillStrings(TStrings* Strings, const std::vector<AnsiString>& Items) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const AnsiString& s : Items) Strings->Add(s);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

}  // namespace

// ---------------------------------------------------------------------------
// The store's public functions

AnsiString RegistryFileName() {
  AnsiString base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = FromSysFileName(xdg);
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* pw = ::getpwuid(::getuid());
      home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    base = FromSysFileName(home) + "/.config";
  }
  return IncludeTrailingPathDelimiter(base) + "penvarro/registry.ini";
}

void RegistryFlush() {
  TRegStore& s = Store();
  if (!s.Loaded || !s.Dirty) return;
  try {
    ForceDirectories(ExtractFileDir(s.FileName));
    pv_detail::WriteFileAtomic(s.FileName, s.Data.GetText());
  } catch (const Exception& e) {
    throw ERegistryException(e.Message);
  }
  s.Dirty = false;
}

void RegistryResetCache() {
  TRegStore& s = Store();
  s.Data.Clear();
  s.Loaded = false;
  s.Dirty = false;
  s.FileName.clear();
}

// ---------------------------------------------------------------------------
// TRegistry

TRegistry::~TRegistry() {
  CloseInternal();
  try {
    RegistryFlush();
  } catch (...) {
    // A destructor cannot report it; the changes stay pending for the next flush.
  }
}

void TRegistry::SetRootKey(HKEY Value) {
  if (Value == FRootKey) return;
  CloseKey();
  FRootKey = Value;
}

bool TRegistry::ResolveKey(const AnsiString& Key, AnsiString& Section, AnsiString& Path) const {
  const char* root = RootName(FRootKey);
  if (!root) return false;
  bool absolute = !Key.empty() && Key[0] == '\\';
  std::vector<AnsiString> parts;
  if (!absolute && FOpen) parts = SplitKey(FCurrentPath);
  for (AnsiString& p : SplitKey(Key)) {
    if (!ValidKeyName(p)) return false;
    parts.push_back(std::move(p));
  }
  Path.clear();
  for (const AnsiString& p : parts) {
    if (!Path.empty()) Path += '\\';
    Path += p;
  }
  Section = root;
  if (!Path.empty()) Section += "\\" + Path;
  return true;
}

bool TRegistry::SectionExists(const AnsiString& Section) const {
  const pv_detail::TIniSections& data = Data();
  if (data.FindSection(Section) || SplitKey(Section).size() == 1) return true;  // a root always exists
  // A key also exists when only keys below it were stored.
  AnsiString prefix = UpperCase(Section) + "\\";
  for (const auto& s : data.Sections())
    if (UpperCase(s.Name).compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

void TRegistry::CreatePath(const AnsiString& Path) {
  AnsiString section = RootName(FRootKey);
  pv_detail::TIniSections& data = Data();
  for (const AnsiString& p : SplitKey(Path)) {
    section += "\\" + p;
    if (!data.FindSection(section)) {
      data.AddSection(section);
      MarkDirty();
    }
  }
}

const AnsiString* TRegistry::FindValue(const AnsiString& Section, const AnsiString& Name) const {
  return Data().Find(Section, Escape(Name, true));
}

void TRegistry::PutValue(const AnsiString& Section, const AnsiString& Name, const AnsiString& Stored) {
  Data().Write(Section, Escape(Name, true), Stored);
  MarkDirty();
}

bool TRegistry::RemoveValue(const AnsiString& Section, const AnsiString& Name) {
  if (!Data().DeleteKey(Section, Escape(Name, true))) return false;
  MarkDirty();
  return true;
}

void TRegistry::ListValueNames(const AnsiString& Section, TStrings* Strings) const {
  std::vector<AnsiString> names;
  if (const auto* s = Data().FindSection(Section))
    for (const auto& e : s->Entries)
      if (e.IsKey) names.push_back(Unescape(e.Name, true));
  FillStrings(Strings, names);
}

void TRegistry::ListKeyNames(const AnsiString& Section, TStrings* Strings) const {
  std::vector<AnsiString> names;
  std::unordered_set<AnsiString> seen;
  AnsiString prefix = UpperCase(Section) + "\\";
  for (const auto& s : Data().Sections()) {
    if (UpperCase(s.Name).compare(0, prefix.size(), prefix) != 0) continue;
    std::vector<AnsiString> rest = SplitKey(s.Name.substr(prefix.size()));
    if (!rest.empty() && seen.insert(UpperCase(rest[0])).second) names.push_back(rest[0]);
  }
  SortNames(names);
  FillStrings(Strings, names);
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
  AnsiString section, path;
  if (!ResolveKey(Key, section, path)) return false;
  if (!SectionExists(section)) {
    if (!CanCreate) return false;
    CreatePath(path);
  }
  CloseInternal();
  FOpen = true;
  FReadOnly = false;
  FCurrentPath = path;
  FSection = section;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) {
  if (!OpenKey(Key, false)) return false;
  FReadOnly = true;
  return true;
}

bool TRegistry::CreateKey(const AnsiString& Key) {
  AnsiString section, path;
  if (!ResolveKey(Key, section, path)) throw ERegistryException(SRegCreateFailed, {Key});
  CreatePath(path);
  return true;
}

void TRegistry::CloseInternal() {
  FOpen = false;
  FReadOnly = false;
  FCurrentPath.clear();
  FSection.clear();
}

void TRegistry::CloseKey() {
  CloseInternal();
  RegistryFlush();
}

bool TRegistry::DeleteKey(const AnsiString& Key) {
  AnsiString section, path;
  if (!ResolveKey(Key, section, path) || path.empty()) return false;  // a root cannot be deleted
  if (!SectionExists(section)) return false;
  pv_detail::TIniSections& data = Data();
  AnsiString folded = UpperCase(section);
  AnsiString prefix = folded + "\\";
  std::vector<AnsiString> doomed;
  for (const auto& s : data.Sections()) {
    AnsiString f = UpperCase(s.Name);
    if (f == folded || f.compare(0, prefix.size(), prefix) == 0) doomed.push_back(s.Name);
  }
  for (const AnsiString& name : doomed) data.EraseSection(name);
  // The open key went with it: later writes must not bring it back.
  if (FOpen) {
    AnsiString open = UpperCase(FSection);
    if (open == folded || open.compare(0, prefix.size(), prefix) == 0) CloseInternal();
  }
  MarkDirty();
  return true;
}

bool TRegistry::KeyExists(const AnsiString& Key) {
  AnsiString section, path;
  return ResolveKey(Key, section, path) && SectionExists(section);
}

bool TRegistry::HasSubKeys() {
  if (!FOpen) return false;
  TStringList names;
  ListKeyNames(FSection, &names);
  return names.Count() > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings) {
  if (FOpen) ListKeyNames(FSection, Strings);
  else Strings->Clear();
}

void TRegistry::GetValueNames(TStrings* Strings) {
  if (FOpen) ListValueNames(FSection, Strings);
  else Strings->Clear();
}

bool TRegistry::ValueExists(const AnsiString& Name) { return FOpen && FindValue(FSection, Name) != nullptr; }

bool TRegistry::DeleteValue(const AnsiString& Name) {
  if (!FOpen || FReadOnly) return false;
  return RemoveValue(FSection, Name);
}

bool TRegistry::GetDataInfo(const AnsiString& ValueName, TRegDataInfo& Value) {
  Value = TRegDataInfo();
  const AnsiString* stored = FOpen ? FindValue(FSection, ValueName) : nullptr;
  if (!stored) return false;
  TStoredValue v = ParseStored(*stored);
  Value.RegData = v.Type;
  Value.DataSize = v.Type == rdInteger   ? 4
                   : v.Type == rdString  ? static_cast<int>(v.Bytes.size()) + 1
                   : v.Type == rdBinary ? static_cast<int>(v.Bytes.size())
                                         : 0;
  return true;
}

TRegDataType TRegistry::GetDataType(const AnsiString& ValueName) {
  TRegDataInfo info;
  GetDataInfo(ValueName, info);
  return info.RegData;
}

int TRegistry::GetDataSize(const AnsiString& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

namespace {

TStoredValue ReadTyped(const AnsiString* Stored, const AnsiString& Name, TRegDataType Type) {
  if (!Stored) throw ERegistryException(SRegGetDataFailed, {Name});
  TStoredValue v = ParseStored(*Stored);
  if (v.Type != Type) throw ERegistryException(SInvalidRegType, {Name});
  return v;
}

double ReadDouble(const AnsiString* Stored, const AnsiString& Name) {
  TStoredValue v = ReadTyped(Stored, Name, rdBinary);
  if (v.Bytes.size() != sizeof(double)) throw ERegistryException(SInvalidRegType, {Name});
  double d;
  std::memcpy(&d, v.Bytes.data(), sizeof d);
  return d;
}

}  // namespace

void TRegistry::CheckWritable(const AnsiString& Name) const {
  if (!FOpen || FReadOnly) throw ERegistryException(SRegSetDataFailed, {Name});
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
  return ReadTyped(FOpen ? FindValue(FSection, Name) : nullptr, Name, rdString).Bytes;
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
  CheckWritable(Name);
  PutValue(FSection, Name, StoreString(Value));
}

Integer TRegistry::ReadInteger(const AnsiString& Name) {
  return ReadTyped(FOpen ? FindValue(FSection, Name) : nullptr, Name, rdInteger).Int;
}

void TRegistry::WriteInteger(const AnsiString& Name, Integer Value) {
  CheckWritable(Name);
  PutValue(FSection, Name, StoreInt(Value));
}

bool TRegistry::ReadBool(const AnsiString& Name) { return ReadInteger(Name) != 0; }

void TRegistry::WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

double TRegistry::ReadFloat(const AnsiString& Name) {
  return ReadDouble(FOpen ? FindValue(FSection, Name) : nullptr, Name);
}

void TRegistry::WriteFloat(const AnsiString& Name, double Value) {
  CheckWritable(Name);
  PutValue(FSection, Name, StoreBinary(&Value, sizeof Value));
}

TDateTime TRegistry::ReadDateTime(const AnsiString& Name) { return ReadFloat(Name); }

void TRegistry::WriteDateTime(const AnsiString& Name, TDateTime Value) { WriteFloat(Name, Value); }

int TRegistry::ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize) {
  TStoredValue v = ReadTyped(FOpen ? FindValue(FSection, Name) : nullptr, Name, rdBinary);
  if (BufSize < 0 || v.Bytes.size() > static_cast<std::size_t>(BufSize))
    throw ERegistryException(SInvalidRegType, {Name});
  if (!v.Bytes.empty()) std::memcpy(Buffer, v.Bytes.data(), v.Bytes.size());
  return static_cast<int>(v.Bytes.size());
}

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize) {
  CheckWritable(Name);
  if (BufSize < 0 || (BufSize > 0 && !Buffer)) throw ERegistryException(SRegSetDataFailed, {Name});
  PutValue(FSection, Name, StoreBinary(Buffer, static_cast<std::size_t>(BufSize)));
}

// ---------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const AnsiString& FileName) : FFileName(FileName) { OpenKey(FileName, true); }

bool TRegIniFile::SectionOf(const AnsiString& Section, AnsiString& Result) const {
  AnsiString path;
  return ResolveKey(Section, Result, path);
}

namespace {

// The text of a string or integer value; false for anything else.
bool ValueText(const AnsiString* Stored, AnsiString& Text) {
  if (!Stored) return false;
  TStoredValue v = ParseStored(*Stored);
  if (v.Type == rdString) Text = v.Bytes;
  else if (v.Type == rdInteger) Text = IntToStr(v.Int);
  else return false;
  return true;
}

}  // namespace

AnsiString TRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  AnsiString section, text;
  if (SectionOf(Section, section) && ValueText(FindValue(section, Ident), text)) return text;
  return Default;
}

void TRegIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  AnsiString section, path;
  if (!ResolveKey(Section, section, path)) throw ERegistryException(SRegSetDataFailed, {Ident});
  CreatePath(path);
  PutValue(section, Ident, StoreString(Value));
}

LongInt TRegIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default) {
  AnsiString section, text;
  if (!SectionOf(Section, section) || !ValueText(FindValue(section, Ident), text)) return Default;
  return StrToIntDef(text, Default);
}

void TRegIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  AnsiString section;
  if (SectionOf(Section, section)) ListValueNames(section, Strings);
  else Strings->Clear();
}

void TRegIniFile::ReadSections(TStrings* Strings) {
  if (IsOpen()) ListKeyNames(OpenSection(), Strings);
  else Strings->Clear();
}

void TRegIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  std::vector<AnsiString> items;
  AnsiString section;
  if (SectionOf(Section, section)) {
    if (const auto* s = Data().FindSection(section)) {
      for (const auto& e : s->Entries) {
        AnsiString text;
        if (e.IsKey && ValueText(&e.Value, text)) items.push_back(Unescape(e.Name, true) + "=" + text);
      }
    }
  }
  FillStrings(Strings, items);
}

void TRegIniFile::EraseSection(const AnsiString& Section) {
  // An empty name would mean the open key itself; only subkeys are sections.
  if (!SplitKey(Section).empty()) TRegistry::DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  AnsiString section;
  if (SectionOf(Section, section)) RemoveValue(section, Ident);
}
