// The line store of an editor: one record per line with the text and the
// per-line state the editor keeps there (highlighter range state, expanded
// width, tab flags). It keeps the line-break style of loaded text for saving
// and reports every change through its events.
#pragma once
#include <vector>

#include "editor/txteditmisc.h"
#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/streams.h"

PV_DECLARE_EXCEPTION(ETxtEditStringList, EStringListError)

enum TTxtLineBreakStyle : Byte { lbCrLf = 0, lbLf = 1, lbCr = 2 };

// Flags of a line record.
constexpr Byte lfTabsPresent = 1, lfTabsAbsent = 2, lfWidthStale = 4;

struct TTxtEditStringRec {
  AnsiString Text;
  TObject* Data = nullptr;
  Integer RangeState = -1;
  Integer ExpandedWidth = -1;
  Byte Flags = lfWidthStale;
};

using TTxtStringListChangeEvent = TEvent<void(TObject* Sender, int Index, int Count)>;

class TTxtEditStringList : public TStrings {
  PV_CLASS(TTxtEditStringList, TStrings)
 public:
  TTxtEditStringList();
  ~TTxtEditStringList() override;

  AnsiString Get(int Index) const override;
  int GetCount() const override { return int(FList.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const AnsiString& S) override;
  void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
  int Add(const AnsiString& S) override;
  void AddStrings(TStrings* Strings) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  AnsiString GetText() const override;
  void SetText(const AnsiString& Text) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

  void InsertEmptyLines(int Index, int NumLines);
  void RemoveLines(int Index, int NumLines);

  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  Integer GetRangeState(int Index) const;
  void SetRangeState(int Index, Integer Value);
  AnsiString ExpandedLine(int Index);
  int ExpandedLineWidth(int Index);
  int LongestLineWidth();
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  TTxtLineBreakStyle LineBreakStyle = lbCrLf;
  // The raw record of a line (tests and the painter's caches).
  const TTxtEditStringRec& Record(int Index) const { return FList.at(std::size_t(Index)); }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;
  TNotifyEvent OnLinesCleared;
  TTxtStringListChangeEvent OnLinesDeleted;
  TTxtStringListChangeEvent OnLinesInserted;
  TTxtStringListChangeEvent OnLinesReplaced;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  [[noreturn]] void ListIndexError(int Index) const;
  void Grow();
  void InsertItem(int Index, const AnsiString& S, TObject* AObject);
  void AppendLoaded(const char* P, std::size_t Len);

  std::vector<TTxtEditStringRec> FList;
  int FCapacity = 0;
  TTabExpander FTabExpander;
  int FLongestLineIndex = -1;
  int FTabWidth = 8;
};

// Buffered access to a file for the line store: the buffer, its fill position,
// the line-break style and the file stream.
class TTxtEditFiler : public TObject {
  PV_CLASS(TTxtEditFiler, TObject)
 public:
  TTxtEditFiler(const AnsiString& FileName, Word Mode) : FBuffer(16384), FStream(FileName, Mode) {}
  TTxtLineBreakStyle LineBreakStyle = lbLf;

 protected:
  std::vector<char> FBuffer;
  std::size_t FPos = 0;
  TFileStream FStream;
};

// Writes a file through the buffer; creating it replaces an existing file.
class TTxtEditFileWriter : public TTxtEditFiler {
  PV_CLASS(TTxtEditFileWriter, TTxtEditFiler)
 public:
  explicit TTxtEditFileWriter(const AnsiString& FileName) : TTxtEditFiler(FileName, fmCreate) {}
  ~TTxtEditFileWriter() override;
  TTxtEditFileWriter(const TTxtEditFileWriter&) = delete;
  TTxtEditFileWriter& operator=(const TTxtEditFileWriter&) = delete;
  void Write(const char* Data, std::size_t Size);
  void WriteLine(const AnsiString& S);
  // Writes the buffer out; errors reach the caller.
  void Flush();
};
