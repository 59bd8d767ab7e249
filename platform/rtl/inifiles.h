// Ini files: sections of "name=value" lines. Section and key names are
// compared without ASCII case (double-byte characters compared as they are);
// text is kept as CP936 bytes. Files are read with CR LF, LF or CR line ends,
// written with CR LF, and replaced atomically (a temporary file beside the
// target, then a rename).
#pragma once
#include <unordered_map>
#include <vector>
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TStream;
class TStrings;

namespace pv_detail {

// The sections of an ini file held in memory.
class TIniSections {
 public:
  struct TEntry {
    AnsiString Name;   // the key; the whole line for a line that is not "name=value"
    AnsiString Value;
    bool IsKey = true;
  };
  struct TSection {
    AnsiString Name;
    std::vector<TEntry> Entries;
  };

  void Clear();
  // Parses lines: "[name]" starts a section, ";" starts a comment (dropped),
  // "name=value" is a key (blanks around name and value trimmed). A line
  // without "=" is kept in its section, unread, so rewriting loses nothing.
  // Lines before the first section are dropped. A section that appears twice
  // is one section.
  void SetStrings(TStrings* List);
  void SetText(const AnsiString& Text);
  void GetStrings(TStrings* List) const;
  AnsiString GetText() const;

  TSection* FindSection(const AnsiString& Name);
  const TSection* FindSection(const AnsiString& Name) const;
  TSection& AddSection(const AnsiString& Name);  // the existing one when present
  const std::vector<TSection>& Sections() const { return FSections; }
  bool EraseSection(const AnsiString& Name);

  const AnsiString* Find(const AnsiString& Section, const AnsiString& Ident) const;
  void Write(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
  bool DeleteKey(const AnsiString& Section, const AnsiString& Ident);

 private:
  void Reindex();
  std::vector<TSection> FSections;
  std::unordered_map<AnsiString, std::size_t> FIndex;  // folded name -> position
};

// Writes Text to FileName through a temporary file in the same folder and a
// rename, so the old file stays whole when anything fails. Raises
// EIniFileException "Unable to write to %s" (with the system's reason).
void WriteFileAtomic(const AnsiString& FileName, const AnsiString& Text);

}  // namespace pv_detail

class TCustomIniFile : public TObject {
  PV_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}
  ~TCustomIniFile() override = default;
  const AnsiString& FileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
  // Raises EIniFileException for names or values that cannot be stored in the
  // file's line format (line breaks; "=" or an empty key; a key starting with ";" or "[";
  // a section name ending in half a double-byte character).
  virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
  virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  // "name=value" for each key of Section.
  virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const AnsiString& Section) = 0;
  virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
  virtual void UpdateFile() = 0;
  virtual bool SectionExists(const AnsiString& Section);
  virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

  // Decimal, or hex after "$" or "0x"; Default when missing or not a number.
  virtual LongInt ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default);
  virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value);
  // Read as an integer: any non-zero value is true. Written as "1" or "0".
  virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
  // The locale's formats; Default when missing or not valid.
  virtual double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);
  virtual void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
  virtual TDateTime ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
  virtual void WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
  virtual TDateTime ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
  virtual void WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
  virtual TDateTime ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
  virtual void WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
  // Hex text. Reading writes the bytes into Value at its position, leaves the
  // position at the start of those bytes and returns their count (0 when the
  // value is missing or empty); text that is not whole hex pairs raises
  // EConvertError "Invalid binary value" and writes nothing.
  virtual int ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value);
  // Stores the bytes from Value's position to its end.
  virtual void WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value);

 protected:
  AnsiString FFileName;
};

// The whole file held in memory: changes reach the file only through UpdateFile.
class TMemIniFile : public TCustomIniFile {
  PV_CLASS(TMemIniFile, TCustomIniFile)
 public:
  // Loads FileName when it exists; an empty name gives an ini held only in memory.
  explicit TMemIniFile(const AnsiString& FileName);

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  // A section counts from its header on, even with no keys.
  bool SectionExists(const AnsiString& Section) override;
  bool ValueExists(const AnsiString& Section, const AnsiString& Ident) override;
  // Writes the contents to FileName (nothing when the name is empty).
  void UpdateFile() override;

  void Clear();
  // The file's lines: each section's header, its lines and a blank line.
  void GetStrings(TStrings* List);
  // Replaces the contents with List's lines.
  void SetStrings(TStrings* List);
  // Takes a new file name, reading that file when Reload is set.
  void Rename(const AnsiString& FileName, bool Reload);

 protected:
  void LoadValues();
  pv_detail::TIniSections FData;
};

// An ini file that reads the file again when it has changed on disk and
// writes it after every change.
class TIniFile : public TCustomIniFile {
  PV_CLASS(TIniFile, TCustomIniFile)
 public:
  explicit TIniFile(const AnsiString& FileName);

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  bool SectionExists(const AnsiString& Section) override;
  bool ValueExists(const AnsiString& Section, const AnsiString& Ident) override;
  void UpdateFile() override;

 private:
  struct TStamp {
    long long Size = -1, MTimeSec = 0, MTimeNsec = 0, Inode = 0;
    bool operator==(const TStamp&) const = default;
  };
  TStamp CurrentStamp() const;
  void Refresh();  // reloads when the file differs from what was last read or written
  TMemIniFile FMem;
  TStamp FStamp;
};

// True when an ini file can keep Value as a value: no line break and no NUL
// byte. Writing any other value raises EIniFileException, so a reader that
// hands values on to an ini file refuses the same.
bool IsIniValueStorable(const AnsiString& Value);
