#include "editor/txteditsearch.h"

#include "editor/txtdbcs.h"

using namespace txtdbcs;

// ---------------------------------------------------------------- plain engine

TTxtEditSearch::TTxtEditSearch(TComponent* AOwner) : TTxtEditSearchCustom(AOwner) {
  for (int i = 0; i < 256; ++i) {
    // Word characters are the ASCII letters, digits and "_"; every other single
    // byte (and every double-byte character) separates words.
    bool alnum = (i >= '0' && i <= '9') || (i >= 'A' && i <= 'Z') || (i >= 'a' && i <= 'z');
    FDelimiter[i] = !(alnum || i == '_');
  }
  MakeFoldTable();
}

void TTxtEditSearch::MakeFoldTable() {
  for (int i = 0; i < 256; ++i) FFold[i] = FSensitive ? (unsigned char)i : AsciiLower((unsigned char)i);
}

void TTxtEditSearch::SetFindText(const AnsiString& Value) {
  if (Value == FPattern) return;
  FPattern = Value;
  FShiftReady = false;
}

void TTxtEditSearch::SetSearchOptions(TTxtSearchFlags Value) {
  bool sensitive = Value.Contains(sfMatchCase);
  if (sensitive != FSensitive) {
    FSensitive = sensitive;
    MakeFoldTable();
    FShiftReady = false;
  }
  FWhole = Value.Contains(sfWholeWord);
}

void TTxtEditSearch::InitShiftTable() {
  const int n = int(FPattern.size());
  if (n == 0) throw Exception("Pattern is empty");
  const auto* p = reinterpret_cast<const unsigned char*>(FPattern.data());
  for (int i = 0; i < 256; ++i) FShift[i] = n + 1;
  for (int i = 1; i <= n; ++i) FShift[FFold[p[i - 1]]] = n + 1 - i;
  FLookAt = 1;
  while (FLookAt < n && FFold[p[n - 1]] != FFold[p[n - 1 - FLookAt]]) ++FLookAt;
  MarkTrailBytes(p, n, FPatternTrail);
  FShiftReady = true;
}

int TTxtEditSearch::FoundPosition(int Index) const {
  if (Index < 0 || Index >= int(FResults.size())) return 0;
  return FResults[Index];
}

bool TTxtEditSearch::PatternMatchesAt(int i) const {
  const int n = int(FPattern.size());
  const auto* p = reinterpret_cast<const unsigned char*>(FPattern.data());
  const unsigned char* t = FText + i;
  for (int k = 0; k < n; ++k) {
    // The second byte of a double-byte character is compared as it is: folding
    // it would make one Chinese character equal to another.
    if (FPatternTrail[k] || FTrail[i + k]) {
      if (p[k] != t[k] || !FPatternTrail[k] != !FTrail[i + k]) return false;
    } else if (FFold[p[k]] != FFold[t[k]]) {
      return false;
    }
  }
  return true;
}

bool TTxtEditSearch::IsWholeWordAt(int i) const {
  const int end = i + int(FPattern.size());
  bool before = true;
  if (i > 0) before = FTrail[i - 1] ? true : FDelimiter[FText[i - 1]];
  bool after = true;
  if (end < FLen) after = PairAt(FText, FLen, end) ? true : FDelimiter[FText[end]];
  return before && after;
}

int TTxtEditSearch::FindFirst(const AnsiString& Text) {
  if (!FShiftReady) InitShiftTable();
  FText = reinterpret_cast<const unsigned char*>(Text.c_str());
  FLen = int(Text.size());
  if (FLen < int(FPattern.size())) return 0;
  MarkTrailBytes(FText, FLen, FTrail);
  FRun = -1;
  return Next();
}

int TTxtEditSearch::Next() {
  const int n = int(FPattern.size());
  const unsigned char last = FFold[(unsigned char)FPattern[n - 1]];
  FRun += n;
  while (FRun < FLen) {
    if (FFold[FText[FRun]] != last) {
      FRun += FShift[FFold[FText[FRun + 1]]];  // FText[FLen] is the terminator
      continue;
    }
    const int start = FRun - n + 1;
    // A match must begin and end on character boundaries.
    if (!FTrail[start] && !FTrail[start + n] && PatternMatchesAt(start) && (!FWhole || IsWholeWordAt(start)))
      return start + 1;
    FRun += FLookAt;
    if (FRun >= FLen) break;
    FRun += FShift[FFold[FText[FRun]]] - 1;
  }
  return 0;
}

int TTxtEditSearch::FindInText(const AnsiString& NewText) {
  FResults.clear();
  int found = FindFirst(NewText);
  while (found > 0) {
    FResults.push_back(found);
    found = Next();
  }
  FText = nullptr;
  return int(FResults.size());
}

// ---------------------------------------------------------------- regular expressions

int TTxtEditRegexSearch::FoundLength(int Index) const {
  if (Index < 0 || Index >= int(FLengths.size())) return 0;
  return FLengths[Index];
}

int TTxtEditRegexSearch::FoundPosition(int Index) const {
  if (Index < 0 || Index >= int(FPositions.size())) return 0;
  return FPositions[Index];
}

void TTxtEditRegexSearch::SetSearchOptions(TTxtSearchFlags Value) {
  FRegex.SwitchModifier(1, !Value.Contains(sfMatchCase));
}

int TTxtEditRegexSearch::FindInText(const AnsiString& NewText) {
  FPositions.clear();
  FLengths.clear();
  bool found = FRegex.Exec(NewText);
  while (found) {
    FPositions.push_back(FRegex.MatchStart(0));
    FLengths.push_back(FRegex.MatchLength(0));
    found = FRegex.ExecNext();
  }
  return int(FPositions.size());
}

AnsiString TTxtEditRegexSearch::ReplacementFor(const AnsiString& Occurrence, const AnsiString& Replacement) {
  return FRegex.ReplaceAll(Occurrence, Replacement, true);
}
