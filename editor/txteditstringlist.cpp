#include "editor/txteditstringlist.h"

#include <cstring>
#include <memory>

namespace {
// Closes an update bracket on every way out.
struct UpdateBracket {
  TStrings& s;
  explicit UpdateBracket(TStrings& list) : s(list) { s.BeginUpdate(); }
  ~UpdateBracket() { s.EndUpdate(); }
};

const char* BreakOf(TTxtLineBreakStyle style) {
  switch (style) {
    case lbLf: return "\n";
    case lbCr: return "\r";
    default: return "\r\n";
  }
}
}  // namespace

TTxtEditStringList::TTxtEditStringList() : FTabExpander(ChooseTabExpander(8)) {}

TTxtEditStringList::~TTxtEditStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TTxtEditStringList::ListIndexError(int Index) const {
  throw ETxtEditStringList("Invalid stringlist index " + std::to_string(Index));
}

void TTxtEditStringList::SetUpdateState(bool Updating) {
  if (Updating) {
    if (OnChanging) OnChanging(this);
  } else if (OnChange) {
    OnChange(this);
  }
}

AnsiString TTxtEditStringList::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) return AnsiString();
  return FList[std::size_t(Index)].Text;
}

TObject* TTxtEditStringList::GetObject(int Index) const {
  if (Index < 0 || Index >= GetCount()) return nullptr;
  return FList[std::size_t(Index)].Data;
}

void TTxtEditStringList::Grow() {
  int delta = FCapacity > 64 ? FCapacity / 4 : 16;
  SetCapacity(FCapacity + delta);
}

void TTxtEditStringList::SetCapacity(int NewCapacity) {
  if (NewCapacity < GetCount()) throw EListError("Stringlist capacity cannot be smaller than count");
  FCapacity = NewCapacity;
  if (NewCapacity == 0) FList.shrink_to_fit();
  else FList.reserve(std::size_t(NewCapacity));
}

void TTxtEditStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject) {
  UpdateBracket bracket(*this);
  if (GetCount() == FCapacity) Grow();
  TTxtEditStringRec rec;
  rec.Text = S;
  rec.Data = AObject;
  FList.insert(FList.begin() + Index, std::move(rec));
  FLongestLineIndex = -1;  // the new line may be the widest
  if (OnLinesInserted) OnLinesInserted(this, Index, 1);
}

// Appends one loaded line inside the loader's update bracket, as Add does.
void TTxtEditStringList::AppendLoaded(const char* P, std::size_t Len) {
  if (GetCount() == FCapacity) Grow();
  FList.emplace_back();
  FList.back().Text.assign(P, Len);
  FLongestLineIndex = -1;
  if (OnLinesInserted) OnLinesInserted(this, GetCount() - 1, 1);
}

int TTxtEditStringList::Add(const AnsiString& S) {
  int index = GetCount();
  InsertItem(index, S, nullptr);
  return index;
}

void TTxtEditStringList::Insert(int Index, const AnsiString& S) {
  if (Index < 0 || Index > GetCount()) ListIndexError(Index);
  InsertItem(Index, S, nullptr);
}

void TTxtEditStringList::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  if (Index < 0 || Index > GetCount()) ListIndexError(Index);
  InsertItem(Index, S, AObject);
}

void TTxtEditStringList::InsertEmptyLines(int Index, int NumLines) {
  if (Index < 0 || Index > GetCount()) ListIndexError(Index);
  if (NumLines <= 0) return;
  UpdateBracket bracket(*this);
  SetCapacity(GetCount() + NumLines);
  FList.insert(FList.begin() + Index, std::size_t(NumLines), TTxtEditStringRec{});
  FLongestLineIndex = -1;
  if (OnLinesInserted) OnLinesInserted(this, Index, NumLines);
}

void TTxtEditStringList::AddStrings(TStrings* Strings) {
  if (!Strings || Strings->Count() == 0) return;
  UpdateBracket bracket(*this);
  FLongestLineIndex = -1;
  const int first = GetCount();
  const int n = Strings->Count();
  if (FCapacity < first + n) SetCapacity((first + n + 15) / 16 * 16);
  for (int i = 0; i < n; ++i) {
    TTxtEditStringRec rec;
    rec.Text = Strings->Get(i);
    rec.Data = Strings->GetObject(i);
    FList.push_back(std::move(rec));
  }
  if (OnLinesInserted) OnLinesInserted(this, first, n);
}

void TTxtEditStringList::Put(int Index, const AnsiString& S) {
  if (Index == GetCount()) {
    Add(S);
    return;
  }
  if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
  UpdateBracket bracket(*this);
  TTxtEditStringRec& rec = FList[std::size_t(Index)];
  rec.Text = S;
  rec.Flags = lfWidthStale;
  FLongestLineIndex = -1;
  if (OnLinesReplaced) OnLinesReplaced(this, Index, 1);
}

void TTxtEditStringList::PutObject(int Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
  FList[std::size_t(Index)].Data = AObject;
}

void TTxtEditStringList::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
  UpdateBracket bracket(*this);
  FList.erase(FList.begin() + Index);
  FLongestLineIndex = -1;
  if (OnLinesDeleted) OnLinesDeleted(this, Index, 1);
}

void TTxtEditStringList::RemoveLines(int Index, int NumLines) {
  if (NumLines <= 0) return;
  if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
  UpdateBracket bracket(*this);
  int n = std::min(NumLines, GetCount() - Index);
  FList.erase(FList.begin() + Index, FList.begin() + Index + n);
  FLongestLineIndex = -1;
  if (OnLinesDeleted) OnLinesDeleted(this, Index, n);
}

void TTxtEditStringList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= GetCount()) ListIndexError(Index1);
  if (Index2 < 0 || Index2 >= GetCount()) ListIndexError(Index2);
  UpdateBracket bracket(*this);
  std::swap(FList[std::size_t(Index1)], FList[std::size_t(Index2)]);
  if (FLongestLineIndex == Index1) FLongestLineIndex = Index2;
  else if (FLongestLineIndex == Index2) FLongestLineIndex = Index1;
}

void TTxtEditStringList::Clear() {
  if (!FList.empty()) {
    UpdateBracket bracket(*this);
    FList.clear();
    FList.shrink_to_fit();
    FCapacity = 0;
    if (OnLinesCleared) OnLinesCleared(this);
  }
  FLongestLineIndex = -1;
}

AnsiString TTxtEditStringList::GetText() const {
  std::size_t size = 0;
  for (const auto& r : FList) size += r.Text.size() + 2;
  AnsiString out;
  out.reserve(size);
  for (std::size_t i = 0; i < FList.size(); ++i) {
    if (i) out += "\r\n";
    out += FList[i].Text;
  }
  return out;
}

void TTxtEditStringList::SetText(const AnsiString& Text) {
  UpdateBracket bracket(*this);
  Clear();
  const char* p = Text.c_str();  // the text ends at its first NUL
  while (*p) {
    const char* e = FindLineEnd(p);
    Add(AnsiString(p, std::size_t(e - p)));
    if (*e == '\r') ++e;
    if (*e == '\n') ++e;
    p = e;
  }
}

Integer TTxtEditStringList::GetRangeState(int Index) const {
  if (Index < 0 || Index >= GetCount()) return 0;
  return FList[std::size_t(Index)].RangeState;
}

void TTxtEditStringList::SetRangeState(int Index, Integer Value) {
  if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
  FList[std::size_t(Index)].RangeState = Value;
}

AnsiString TTxtEditStringList::ExpandedLine(int Index) {
  if (Index < 0 || Index >= GetCount()) return AnsiString();
  TTxtEditStringRec& rec = FList[std::size_t(Index)];
  if (rec.Flags & lfTabsAbsent) return rec.Text;
  bool hasTabs = false;
  AnsiString r = FTabExpander(rec.Text, FTabWidth, hasTabs);
  rec.ExpandedWidth = Integer(r.size());
  rec.Flags = hasTabs ? lfTabsPresent : lfTabsAbsent;
  return r;
}

int TTxtEditStringList::ExpandedLineWidth(int Index) {
  if (Index < 0 || Index >= GetCount()) return 0;
  TTxtEditStringRec& rec = FList[std::size_t(Index)];
  if (rec.Flags & lfWidthStale) ExpandedLine(Index);
  return rec.ExpandedWidth;
}

int TTxtEditStringList::LongestLineWidth() {
  if (FList.empty()) return 0;
  if (FLongestLineIndex < 0) {
    int best = -1;
    for (int i = 0; i < GetCount(); ++i) {
      int w = ExpandedLineWidth(i);
      if (best < 0 || w > FList[std::size_t(best)].ExpandedWidth) best = i;
    }
    FLongestLineIndex = best;
  }
  return ExpandedLineWidth(FLongestLineIndex);
}

void TTxtEditStringList::SetTabWidth(int Value) {
  if (Value == FTabWidth) return;
  FTabWidth = Value;
  FTabExpander = ChooseTabExpander(Value);
  FLongestLineIndex = -1;
  for (auto& r : FList) r.Flags = Byte((r.Flags & ~lfTabsAbsent) | lfWidthStale);
}

void TTxtEditStringList::LoadFromStream(TStream* Stream) {
  bool sawCr = false, sawLf = false;
  {
    UpdateBracket bracket(*this);
    Int64 size = Stream->Size();
    Stream->SetPosition(0);
    const std::size_t n = size > 0 ? std::size_t(size) : 0;
    // Streams that hold their bytes in memory are read in place.
    const char* data = nullptr;
    if (auto* ms = dynamic_cast<TCustomMemoryStream*>(Stream)) data = static_cast<const char*>(ms->Memory());
    else if (auto* ss = dynamic_cast<TStringStream*>(Stream)) data = ss->DataString().data();
    std::unique_ptr<char[]> buf;
    if (data) {
      Stream->Seek(Int64(n), soBeginning);
    } else {
      buf.reset(new char[n + 1]);  // no need to clear what is read over
      if (n > 0) Stream->ReadBuffer(buf.get(), LongInt(n));
      data = buf.get();
    }
    Clear();
    const char* p = data;
    const char* end = p + n;
    // Room for every line at once: at most one per line feed or lone CR, plus one.
    std::size_t breaks = 0;
    for (const char* q = p; q < end; ++q) breaks += *q == '\n' || (*q == '\r' && (q + 1 == end || q[1] != '\n'));
    if (std::size_t(FCapacity) < breaks + 1) SetCapacity(int(breaks + 1));
    while (p < end) {
      const char* e = p;
      while (e < end && *e != '\r' && *e != '\n') ++e;
      AppendLoaded(p, std::size_t(e - p));
      if (e < end && *e == '\r') {
        sawCr = true;
        ++e;
      }
      if (e < end && *e == '\n') {
        sawLf = true;
        ++e;
      }
      p = e;
    }
    if (n > 0 && (end[-1] == '\r' || end[-1] == '\n')) AppendLoaded("", 0);
  }
  if (sawCr && !sawLf) LineBreakStyle = lbCr;
  else if (sawLf && !sawCr) LineBreakStyle = lbLf;
  else LineBreakStyle = lbCrLf;
}

void TTxtEditStringList::SaveToStream(TStream* Stream) {
  const char* brk = BreakOf(LineBreakStyle);
  const std::size_t bl = std::strlen(brk);
  std::size_t size = 0;
  for (const auto& r : FList) size += r.Text.size() + bl;
  AnsiString out;
  out.reserve(size);
  for (std::size_t i = 0; i < FList.size(); ++i) {
    if (i) out.append(brk, bl);
    out += FList[i].Text;
  }
  if (!out.empty()) Stream->WriteBuffer(out.data(), LongInt(out.size()));
}

void TTxtEditStringList::LoadFromFile(const AnsiString& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyNone);
  LoadFromStream(&s);
}

void TTxtEditStringList::SaveToFile(const AnsiString& FileName) {
  TTxtEditFileWriter w(FileName);
  w.LineBreakStyle = LineBreakStyle;
  for (int i = 0; i < GetCount(); ++i) {
    if (i + 1 < GetCount()) w.WriteLine(FList[std::size_t(i)].Text);
    else w.Write(FList[std::size_t(i)].Text.data(), FList[std::size_t(i)].Text.size());
  }
  w.Flush();  // a write error reaches the caller
}

// ---------------------------------------------------------------- file writer

TTxtEditFileWriter::~TTxtEditFileWriter() {
  try {
    Flush();
  } catch (...) {
  }
}

void TTxtEditFileWriter::Flush() {
  if (FPos > 0) FStream.WriteBuffer(FBuffer.data(), LongInt(FPos));
  FPos = 0;
}

void TTxtEditFileWriter::Write(const char* Data, std::size_t Size) {
  if (FPos + Size > FBuffer.size()) {
    Flush();
    if (Size > FBuffer.size()) FBuffer.resize(Size);
  }
  std::memcpy(FBuffer.data() + FPos, Data, Size);
  FPos += Size;
}

void TTxtEditFileWriter::WriteLine(const AnsiString& S) {
  Write(S.data(), S.size());
  const char* brk = BreakOf(LineBreakStyle);
  Write(brk, std::strlen(brk));
}
