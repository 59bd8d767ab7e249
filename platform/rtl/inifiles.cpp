#include "platform/rtl/inifiles.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace pv_detail {

namespace {

bool HasLineBreak(const AnsiString& S) {
  return S.find_first_of(AnsiString("\r\n\0", 3)) != AnsiString::npos;
}

// Refuses what the line format cannot carry back unchanged in meaning.
void CheckStorable(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  if (HasLineBreak(Section))
    throw EIniFileException("Ini section name \"" + Section + "\" contains a line break");
  // A last lead byte would pair with the closing "]", and the header would no
  // longer read as one.
  if (!Section.empty() && ByteType(Section, Length(Section)) == mbLeadByte)
    throw EIniFileException("Ini section name \"" + Section.substr(0, Section.size() - 1) +
                            "\" ends in half a double-byte character");
  AnsiString key = TrimLeft(Ident);
  if (key.empty() || HasLineBreak(Ident) || Ident.find('=') != AnsiString::npos || key[0] == ';' || key[0] == '[')
    throw EIniFileException("Ini key name \"" + Ident + "\" cannot be stored");
  if (HasLineBreak(Value)) throw EIniFileException("Ini value of \"" + Ident + "\" contains a line break");
}

}  // namespace

void TIniSections::Clear() {
  FSections.clear();
  FIndex.clear();
}

void TIniSections::Reindex() {
  FIndex.clear();
  for (std::size_t i = 0; i < FSections.size(); ++i) FIndex.emplace(UpperCase(FSections[i].Name), i);
}

TIniSections::TSection* TIniSections::FindSection(const AnsiString& Name) {
  auto it = FIndex.find(UpperCase(Name));
  return it == FIndex.end() ? nullptr : &FSections[it->second];
}

const TIniSections::TSection* TIniSections::FindSection(const AnsiString& Name) const {
  auto it = FIndex.find(UpperCase(Name));
  return it == FIndex.end() ? nullptr : &FSections[it->second];
}

TIniSections::TSection& TIniSections::AddSection(const AnsiString& Name) {
  if (TSection* s = FindSection(Name)) return *s;
  FSections.push_back(TSection{Name, {}});
  FIndex.emplace(UpperCase(Name), FSections.size() - 1);
  return FSections.back();
}

bool TIniSections::EraseSection(const AnsiString& Name) {
  auto it = FIndex.find(UpperCase(Name));
  if (it == FIndex.end()) return false;
  FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
  return true;
}

void TIniSections::SetText(const AnsiString& Text) {
  TStringList list;
  list.SetText(Text);
  SetStrings(&list);
}

void TIniSections::SetStrings(TStrings* List) {
  std::vector<TSection> sections;
  std::unordered_map<AnsiString, std::size_t> index;
  std::size_t current = SIZE_MAX;
  int n = List ? List->Count() : 0;
  for (int i = 0; i < n; ++i) {
    AnsiString s = Trim(List->Strings(i));
    if (s.empty() || s[0] == ';') continue;
    // "[name]", where the closing bracket is not the trail byte of a double-byte character.
    if (s[0] == '[' && s.back() == ']' && s.size() >= 2 && ByteType(s, Length(s)) != mbTrailByte) {
      AnsiString name = Trim(s.substr(1, s.size() - 2));
      auto [it, added] = index.emplace(UpperCase(name), sections.size());
      if (added) sections.push_back(TSection{name, {}});
      current = it->second;
      continue;
    }
    if (current == SIZE_MAX) continue;
    std::size_t eq = s.find('=');
    if (eq == AnsiString::npos)
      sections[current].Entries.push_back(TEntry{s, AnsiString(), false});
    else
      sections[current].Entries.push_back(TEntry{TrimRight(s.substr(0, eq)), TrimLeft(s.substr(eq + 1)), true});
  }
  FSections.swap(sections);
  FIndex.swap(index);
}

void TIniSections::GetStrings(TStrings* List) const {
  List->BeginUpdate();
  try {
    List->Clear();
    for (const TSection& s : FSections) {
      List->Add("[" + s.Name + "]");
      for (const TEntry& e : s.Entries) List->Add(e.IsKey ? e.Name + "=" + e.Value : e.Name);
      List->Add(AnsiString());
    }
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

AnsiString TIniSections::GetText() const {
  TStringList list;
  GetStrings(&list);
  return list.Text();
}

const AnsiString* TIniSections::Find(const AnsiString& Section, const AnsiString& Ident) const {
  const TSection* s = FindSection(Section);
  if (!s) return nullptr;
  for (const TEntry& e : s->Entries)
    if (e.IsKey && SameText(e.Name, Ident)) return &e.Value;
  return nullptr;
}

void TIniSections::Write(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  CheckStorable(Section, Ident, Value);
  TSection& s = AddSection(Section);
  for (TEntry& e : s.Entries) {
    if (e.IsKey && SameText(e.Name, Ident)) {
      e.Value = Value;
      return;
    }
  }
  s.Entries.push_back(TEntry{Ident, Value, true});
}

bool TIniSections::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  TSection* s = FindSection(Section);
  if (!s) return false;
  // Every line of that name goes, so no older duplicate shows through afterwards.
  std::size_t before = s->Entries.size();
  std::erase_if(s->Entries, [&](const TEntry& e) { return e.IsKey && SameText(e.Name, Ident); });
  return s->Entries.size() != before;
}

void WriteFileAtomic(const AnsiString& FileName, const AnsiString& Text) {
  static unsigned counter = 0;
  std::string target = SysFileName(FileName);
  auto fail = [&](int err) {
    throw EIniFileException(Format(SIniFileWriteError, {FileName}) + ". " + SysErrorMessage(err));
  };
  if (target.empty()) fail(ENOENT);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".~" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) fail(errno);
  }
  if (fd < 0) fail(EEXIST);
  int err = 0;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
  std::size_t done = 0;
  while (done < Text.size() && !err) {
    ssize_t n = ::write(fd, Text.data() + done, Text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) err = n < 0 ? errno : EIO;
    else done += static_cast<std::size_t>(n);
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    fail(err);
  }
}

}  // namespace pv_detail

bool IsIniValueStorable(const AnsiString& Value) { return !pv_detail::HasLineBreak(Value); }

// ---------------------------------------------------------------------------
// TCustomIniFile

bool TCustomIniFile::SectionExists(const AnsiString& Section) {
  TStringList list;
  ReadSection(Section, &list);
  return list.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  TStringList list;
  ReadSection(Section, &list);
  return list.IndexOf(Ident) >= 0;
}

LongInt TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  double v;
  return !s.empty() && TryStrToFloat(s, v) ? v : Default;
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  TDateTime v;
  return !s.empty() && TryStrToDate(s, v) ? v : Default;
}

void TCustomIniFile::WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  TDateTime v;
  return !s.empty() && TryStrToDateTime(s, v) ? v : Default;
}

void TCustomIniFile::WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateTimeToStr(Value));
}

TDateTime TCustomIniFile::ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
  AnsiString s = ReadString(Section, Ident, AnsiString());
  TDateTime v;
  return !s.empty() && TryStrToTime(s, v) ? v : Default;
}

void TCustomIniFile::WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
  WriteString(Section, Ident, TimeToStr(Value));
}

int TCustomIniFile::ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  AnsiString text = ReadString(Section, Name, AnsiString());
  if (text.empty()) return 0;
  if (text.size() % 2 != 0 || text.size() / 2 > INT_MAX) throw EConvertError(SInvalidBinary);
  std::size_t count = text.size() / 2;
  std::vector<char> bytes(count);
  if (HexToBin(text, bytes.data(), count) != count) throw EConvertError(SInvalidBinary);
  Int64 pos = Value->Position();
  Value->WriteBuffer(bytes.data(), static_cast<LongInt>(count));
  Value->SetPosition(pos);
  return static_cast<int>(count);
}

void TCustomIniFile::WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  AnsiString bytes = ReadStreamBytes(Value, Value->Remaining());
  WriteString(Section, Name, BinToHex(bytes.data(), bytes.size()));
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) { LoadValues(); }

void TMemIniFile::LoadValues() {
  if (!FFileName.empty() && FileExists(FFileName)) {
    TStringList list;
    list.LoadFromFile(FFileName);
    FData.SetStrings(&list);
  } else {
    FData.Clear();
  }
}

AnsiString TMemIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  const AnsiString* v = FData.Find(Section, Ident);
  return v ? *v : Default;
}

void TMemIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  FData.Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    if (const auto* s = FData.FindSection(Section))
      for (const auto& e : s->Entries)
        if (e.IsKey) Strings->Add(e.Name);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const auto& s : FData.Sections()) Strings->Add(s.Name);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    if (const auto* s = FData.FindSection(Section))
      for (const auto& e : s->Entries)
        if (e.IsKey) Strings->Add(e.Name + "=" + e.Value);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TMemIniFile::EraseSection(const AnsiString& Section) { FData.EraseSection(Section); }

void TMemIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) { FData.DeleteKey(Section, Ident); }

bool TMemIniFile::SectionExists(const AnsiString& Section) { return FData.FindSection(Section) != nullptr; }

bool TMemIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  return FData.Find(Section, Ident) != nullptr;
}

void TMemIniFile::UpdateFile() {
  if (FFileName.empty()) return;
  pv_detail::WriteFileAtomic(FFileName, FData.GetText());
}

void TMemIniFile::Clear() { FData.Clear(); }

void TMemIniFile::GetStrings(TStrings* List) { FData.GetStrings(List); }

void TMemIniFile::SetStrings(TStrings* List) { FData.SetStrings(List); }

void TMemIniFile::Rename(const AnsiString& FileName, bool Reload) {
  FFileName = FileName;
  if (Reload) LoadValues();
}

// ---------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName), FMem(FileName) {
  FStamp = CurrentStamp();
}

TIniFile::TStamp TIniFile::CurrentStamp() const {
  TStamp stamp;
  struct stat st;
  if (::stat(SysFileName(FFileName).c_str(), &st) == 0) {
    stamp.Size = st.st_size;
    stamp.MTimeSec = st.st_mtim.tv_sec;
    stamp.MTimeNsec = st.st_mtim.tv_nsec;
    stamp.Inode = static_cast<long long>(st.st_ino);
  }
  return stamp;
}

void TIniFile::Refresh() {
  TStamp now = CurrentStamp();
  if (now == FStamp) return;
  FMem.Rename(FFileName, true);
  FStamp = now;
}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  Refresh();
  return FMem.ReadString(Section, Ident, Default);
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  Refresh();
  FMem.WriteString(Section, Ident, Value);
  UpdateFile();
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Refresh();
  FMem.ReadSection(Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) {
  Refresh();
  FMem.ReadSections(Strings);
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  Refresh();
  FMem.ReadSectionValues(Section, Strings);
}

void TIniFile::EraseSection(const AnsiString& Section) {
  Refresh();
  FMem.EraseSection(Section);
  UpdateFile();
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  Refresh();
  FMem.DeleteKey(Section, Ident);
  UpdateFile();
}

bool TIniFile::SectionExists(const AnsiString& Section) {
  Refresh();
  return FMem.SectionExists(Section);
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  Refresh();
  return FMem.ValueExists(Section, Ident);
}

void TIniFile::UpdateFile() {
  FMem.UpdateFile();
  FStamp = CurrentStamp();
}
