// Search engines of the editor: the abstract interface the editor drives one
// line at a time, a plain-text engine and an engine built on TRegExpr. Both
// work on code page 936 text and never report a match that starts or ends
// inside a double-byte character.
#pragma once
#include <vector>

#include "editor/regexpr.h"
#include "platform/classes/classes.h"
#include "platform/classes/sets.h"

enum TTxtSearchFlag {
  sfMatchCase, sfWholeWord, sfBackwards, sfEntireScope, sfSelectedOnly, sfReplace,
  sfReplaceAll, sfPromptOnReplace
};
using TTxtSearchFlags = TSet<TTxtSearchFlag>;

class TTxtEditSearchCustom : public TComponent {
  PV_CLASS(TTxtEditSearchCustom, TComponent)
 public:
  explicit TTxtEditSearchCustom(TComponent* AOwner) : TComponent(AOwner) {}

  virtual AnsiString GetFindText() const = 0;
  virtual void SetFindText(const AnsiString& Value) = 0;
  // Length in bytes of match Index of the last FindInText.
  virtual int FoundLength(int Index) const = 0;
  // 1-based byte position of match Index; 0 outside the results.
  virtual int FoundPosition(int Index) const = 0;
  virtual int FoundCount() const = 0;
  virtual void SetSearchOptions(TTxtSearchFlags Value) = 0;
  // Finds every match of the pattern in one line, in text order.
  virtual int FindInText(const AnsiString& NewText) = 0;
  // The text that replaces a found occurrence.
  virtual AnsiString ReplacementFor(const AnsiString& Occurrence, const AnsiString& Replacement) = 0;

  AnsiString Pattern() const { return GetFindText(); }
  void SetPattern(const AnsiString& Value) { SetFindText(Value); }
};

// The plain engine makes one pass over a line: it picks candidates by the
// pattern's first and last bytes (sixteen positions at a time), compares each
// candidate with ASCII letters folded, and finds out whether a candidate's ends
// fall inside double-byte characters only for the candidates themselves.
class TTxtEditSearch : public TTxtEditSearchCustom {
  PV_CLASS(TTxtEditSearch, TTxtEditSearchCustom)
 public:
  explicit TTxtEditSearch(TComponent* AOwner);

  AnsiString GetFindText() const override { return FPattern; }
  void SetFindText(const AnsiString& Value) override;
  int FoundLength(int Index) const override { return int(FPattern.size()); }
  int FoundPosition(int Index) const override;
  int FoundCount() const override { return int(FResults.size()); }
  void SetSearchOptions(TTxtSearchFlags Value) override;
  int FindInText(const AnsiString& NewText) override;
  AnsiString ReplacementFor(const AnsiString& Occurrence, const AnsiString& Replacement) override {
    return Replacement;
  }

  bool Sensitive() const { return FSensitive; }
  bool Whole() const { return FWhole; }

 private:
  void PreparePattern();
  // 0-based start of the first match at or after From, or -1.
  int FindFrom(int From);
  bool PatternMatchesAt(int i) const;
  bool AcceptCandidate(int s);
  bool IsTrailAt(int i, int Floor) const;
  bool IsWholeWordAt(int i) const;

  AnsiString FPattern;
  bool FSensitive = false;
  bool FWhole = false;
  bool FDelimiter[256];
  bool FPatternReady = false;
  // The pattern prepared for comparing: a text byte t matches position k when
  // (t | FPatternOr[k]) == FPatternWant[k]; FPatternOr[k] is 0x20 for an ASCII
  // letter that is folded (not the second byte of a double-byte character).
  std::vector<std::uint8_t> FPatternOr, FPatternWant;
  // scan state over the current line
  const unsigned char* FText = nullptr;
  int FLen = 0;
  int FSync = 0;  // a character boundary at or before every position still to be looked at
  std::vector<int> FResults;
};

class TTxtEditRegexSearch : public TTxtEditSearchCustom {
  PV_CLASS(TTxtEditRegexSearch, TTxtEditSearchCustom)
 public:
  explicit TTxtEditRegexSearch(TComponent* AOwner) : TTxtEditSearchCustom(AOwner) {}

  AnsiString GetFindText() const override { return FRegex.GetExpression(); }
  void SetFindText(const AnsiString& Value) override { FRegex.SetExpression(Value); }
  int FoundLength(int Index) const override;
  int FoundPosition(int Index) const override;
  int FoundCount() const override { return int(FPositions.size()); }
  void SetSearchOptions(TTxtSearchFlags Value) override;
  int FindInText(const AnsiString& NewText) override;
  AnsiString ReplacementFor(const AnsiString& Occurrence, const AnsiString& Replacement) override;

  TRegExpr& RegExpr() { return FRegex; }

 private:
  TRegExpr FRegex;
  std::vector<int> FPositions;
  std::vector<int> FLengths;
};
