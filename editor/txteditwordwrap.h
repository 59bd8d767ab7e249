// Word wrap: the map from an editor's lines to display rows no wider than its
// text area. Rows are cut at word-break characters when one lies in the last
// third of the row, and never inside a double-byte character. The map is two
// flat arrays (the running row count per line and the width of each row), so a
// change rewraps only the lines it touches.
#pragma once
#include <bitset>
#include <vector>

#include "editor/txtedit.h"

class TTxtWordWrapPlugin : public ITxtEditBufferPlugin {
 public:
  explicit TTxtWordWrapPlugin(TCustomTxtEdit* Editor);

  TBufferCoord MapBufferToDisplay(const TBufferCoord& Pos) override;
  TBufferCoord MapDisplayToBuffer(const TBufferCoord& Pos) override;
  int TotalRows() const override { return FMappedLines > 0 ? FLineRowEnds[std::size_t(FMappedLines - 1)] : 0; }
  // Width of display row Row (1-based) in expanded columns.
  int RowWidth(int Row) const override;
  int NoteLinesInserted(int Index, int Count) override;
  int NoteLinesDeleted(int Index, int Count) override;
  int NoteLinesReplaced(int Index, int Count) override;
  void NoteWindowChanged() override;
  void RebuildMap() override;

  int MaxRowWidth() const { return FMaxRowWidth; }
  int MinRowWidth() const { return FMinRowWidth; }
  int MappedLines() const { return FMappedLines; }
  // Rows of line Index (0-based).
  int RowsOfLine(int Index) const { return RowEnd(Index) - RowEnd(Index - 1); }
  // The widths of the rows a line of expanded text S would get (tests).
  std::vector<int> WrapText(const AnsiString& S) const;

 private:
  int RowEnd(int Index) const { return Index < 0 ? 0 : FLineRowEnds[std::size_t(Index)]; }
  void WrapLine(const AnsiString& S, std::vector<int>& Rows) const;
  // Rewraps line Index in place; returns the change of its row count.
  int RewrapLine(int Index);
  void Check(bool Condition, const char* What) const;

  std::vector<int> FLineRowEnds;  // rows of lines 0..i together
  std::vector<int> FRowWidths;    // one per row
  int FMappedLines = 0;
  TCustomTxtEdit* FEditor;
  int FMinRowWidth = 0;
  int FMaxRowWidth = 0;
  std::bitset<256> FCutChars;
  mutable std::vector<int> FScratch;
};
