#include "editor/txteditwordwrap.h"

#include <algorithm>

#include "editor/txtdbcs.h"

namespace {

// Arrays grow to the next multiple of their step above what is needed.
template <class V>
void GrowTo(V& v, std::size_t Needed, std::size_t Step) {
  if (v.capacity() < Needed) v.reserve((Needed / Step + 1) * Step);
}

}  // namespace

TTxtWordWrapPlugin::TTxtWordWrapPlugin(TCustomTxtEdit* Editor) : FEditor(Editor) {
  if (!Editor) throw Exception("Owner of TTxtWordWrapPlugin must be a TCustomTxtEdit");
  RebuildMap();
}

void TTxtWordWrapPlugin::Check(bool Condition, const char* What) const {
  if (!Condition) throw EAssertionFailed(AnsiString(What) + " (TxtEditWordWrap)");
}

int TTxtWordWrapPlugin::RowWidth(int Row) const {
  if (Row < 1 || Row > TotalRows()) throw EListError("List index out of bounds (" + std::to_string(Row) + ")");
  return FRowWidths[std::size_t(Row - 1)];
}

void TTxtWordWrapPlugin::WrapLine(const AnsiString& S, std::vector<int>& Rows) const {
  const auto* s = reinterpret_cast<const unsigned char*>(S.data());
  const int L = int(S.size()), M = FMaxRowWidth, m = FMinRowWidth;
  int q = 0;
  while (q + M < L) {
    int cut = q + M;
    for (int p = q + M; p >= q + m + 1; --p)
      if (FCutChars[s[p]]) {
        cut = p;
        break;
      }
    // Find out whether the cut falls on the second byte of a double-byte
    // character: walk the characters from the row's start.
    int i = q;
    while (i < cut) i += int(txtdbcs::CharWidth(s, std::size_t(L), std::size_t(i)));
    if (i > cut) --cut;
    // A row holds at least one character, even one wider than the row.
    if (cut <= q) cut = q + int(txtdbcs::CharWidth(s, std::size_t(L), std::size_t(q)));
    Rows.push_back(cut - q);
    q = cut;
  }
  if (q < L || L == 0) Rows.push_back(L - q);
}

std::vector<int> TTxtWordWrapPlugin::WrapText(const AnsiString& S) const {
  std::vector<int> rows;
  WrapLine(S, rows);
  return rows;
}

void TTxtWordWrapPlugin::RebuildMap() {
  FMaxRowWidth = FEditor->ColumnsInWindow();
  FMinRowWidth = std::max(1, FMaxRowWidth - FMaxRowWidth / 3);
  TTxtCharSet ident;
  if (FEditor->Highlighter()) {
    ident = FEditor->Highlighter()->IdentifierChars();
  } else {
    for (int c = 33; c < 256; ++c) ident.set(std::size_t(c));
  }
  FCutChars = ~ident;
  FLineRowEnds.clear();
  FRowWidths.clear();
  FMappedLines = 0;
  TTxtEditStringList* lines = FEditor->Lines();
  const int n = lines->Count();
  if (n == 0 || FMaxRowWidth <= 0) {
    FLineRowEnds.shrink_to_fit();
    FRowWidths.shrink_to_fit();
    return;
  }
  GrowTo(FLineRowEnds, std::size_t(n), 256);
  for (int i = 0; i < n; ++i) {
    WrapLine(lines->ExpandedLine(i), FRowWidths);
    FLineRowEnds.push_back(int(FRowWidths.size()));
  }
  FMappedLines = n;
}

void TTxtWordWrapPlugin::NoteWindowChanged() {
  if (FEditor->ColumnsInWindow() != FMaxRowWidth) RebuildMap();
}

int TTxtWordWrapPlugin::NoteLinesInserted(int Index, int Count) {
  if (FMaxRowWidth <= 0) return 0;
  Check(Count > 0 && Index >= 0 && Index <= FMappedLines, "NoteLinesInserted");
  const int base = RowEnd(Index - 1);
  FScratch.clear();
  std::vector<int> ends(static_cast<std::size_t>(Count));
  TTxtEditStringList* lines = FEditor->Lines();
  for (int k = 0; k < Count; ++k) {
    WrapLine(lines->ExpandedLine(Index + k), FScratch);
    ends[std::size_t(k)] = base + int(FScratch.size());
  }
  const int added = int(FScratch.size());
  GrowTo(FRowWidths, FRowWidths.size() + std::size_t(added), 512);
  GrowTo(FLineRowEnds, FLineRowEnds.size() + std::size_t(Count), 256);
  FRowWidths.insert(FRowWidths.begin() + base, FScratch.begin(), FScratch.end());
  FLineRowEnds.insert(FLineRowEnds.begin() + Index, ends.begin(), ends.end());
  FMappedLines += Count;
  for (int j = Index + Count; j < FMappedLines; ++j) FLineRowEnds[std::size_t(j)] += added;
  return added;
}

int TTxtWordWrapPlugin::NoteLinesDeleted(int Index, int Count) {
  if (FMaxRowWidth <= 0) return 0;
  Check(Count > 0 && Index >= 0 && Index + Count <= FMappedLines, "NoteLinesDeleted");
  const int first = RowEnd(Index - 1), last = RowEnd(Index + Count - 1);
  const int removed = last - first;
  FRowWidths.erase(FRowWidths.begin() + first, FRowWidths.begin() + last);
  FLineRowEnds.erase(FLineRowEnds.begin() + Index, FLineRowEnds.begin() + Index + Count);
  FMappedLines -= Count;
  for (int j = Index; j < FMappedLines; ++j) FLineRowEnds[std::size_t(j)] -= removed;
  return removed;
}

int TTxtWordWrapPlugin::NoteLinesReplaced(int Index, int Count) {
  if (FMaxRowWidth <= 0) return 0;
  Check(Count > 0 && Index >= 0 && Index + Count <= FMappedLines, "NoteLinesReplaced");
  int change = 0;
  for (int i = Index; i < Index + Count; ++i) change += RewrapLine(i);
  return change;
}

int TTxtWordWrapPlugin::RewrapLine(int Index) {
  FScratch.clear();
  WrapLine(FEditor->Lines()->ExpandedLine(Index), FScratch);
  const int first = RowEnd(Index - 1);
  const int oldRows = RowEnd(Index) - first, newRows = int(FScratch.size());
  const int diff = newRows - oldRows;
  if (diff > 0) {
    GrowTo(FRowWidths, FRowWidths.size() + std::size_t(diff), 512);
    FRowWidths.insert(FRowWidths.begin() + first + oldRows, std::size_t(diff), 0);
  } else if (diff < 0) {
    FRowWidths.erase(FRowWidths.begin() + first + newRows, FRowWidths.begin() + first + oldRows);
  }
  if (diff != 0)
    for (int j = Index; j < FMappedLines; ++j) FLineRowEnds[std::size_t(j)] += diff;
  std::copy(FScratch.begin(), FScratch.end(), FRowWidths.begin() + first);
  return diff;
}

TBufferCoord TTxtWordWrapPlugin::MapBufferToDisplay(const TBufferCoord& Pos) {
  Check(Pos.Char >= 1 && Pos.Line >= 1, "MapBufferToDisplay");
  if (Pos.Line > FMappedLines) return TBufferCoord{Pos.Char, TotalRows() + Pos.Line - FMappedLines};
  const int first = RowEnd(Pos.Line - 2), last = RowEnd(Pos.Line - 1);  // rows of the line, 0-based
  int before = 0;
  for (int r = first; r < last; ++r) {
    const int sum = before + FRowWidths[std::size_t(r)];
    if (sum >= Pos.Char) return TBufferCoord{Pos.Char - before, r + 1};
    if (r == last - 1) return TBufferCoord{Pos.Char - before, r + 1};  // past the end of the line
    before = sum;
  }
  return TBufferCoord{Pos.Char, last};
}

TBufferCoord TTxtWordWrapPlugin::MapDisplayToBuffer(const TBufferCoord& Pos) {
  Check(Pos.Char >= 1 && Pos.Line >= 1, "MapDisplayToBuffer");
  const int total = TotalRows();
  if (Pos.Line > total) return TBufferCoord{Pos.Char, Pos.Line + FMappedLines - total};
  const int row = Pos.Line - 1;  // 0-based
  auto it = std::upper_bound(FLineRowEnds.begin(), FLineRowEnds.begin() + FMappedLines, row);
  const int line = int(it - FLineRowEnds.begin());  // 0-based
  const int first = RowEnd(line - 1), last = RowEnd(line);
  const int width = FRowWidths[std::size_t(row)];
  int x = Pos.Char;
  if (row < last - 1) x = std::min(x, width + 1);
  else x = std::min(x, FMaxRowWidth + 1);
  for (int r = first; r < row; ++r) x += FRowWidths[std::size_t(r)];
  return TBufferCoord{x, line + 1};
}
