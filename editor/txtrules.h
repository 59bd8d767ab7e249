// The rule-driven highlighter: a tree of rule ranges, each with opening and
// closing symbols, delimiter characters, keyword groups and styles, scanned
// through a per-range character trie. The tree travels as a tagged rules text.
//
// Scanning works on bytes, but a double-byte character of code page 936 is
// never split: its second byte is never folded, never taken for a delimiter
// and never ends a token.
#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "editor/txthighlighter.h"
#include "platform/rtl/streams.h"

class TTxtRange;
class TTxtRules;

// The delimiters a new range starts with: the printable ASCII characters
// other than letters, digits and the underscore.
TTxtCharSet TxtDefaultDelimiters();

class TTxtSymbol {
 public:
  TTxtSymbol(const AnsiString& Text, TTxtHighlighterAttributes* Attri) : Attri(Attri), Symbol(Text) {}
  TTxtHighlighterAttributes* Attri;  // not owned
  TTxtRange* StartsRange = nullptr;
  Byte TermMode = 0;  // 0 not set, 1 no delimiter needed after it, 2 a delimiter must follow
  AnsiString Symbol;
};

class TTxtSymbolGroup {
 public:
  TTxtSymbolGroup(const AnsiString& WordsText, TTxtHighlighterAttributes* Attri);
  TTxtHighlighterAttributes* Attri;  // owned by the range that created it
  TStringList Words;
  AnsiString Name;
};

class TAbstractSymbol {
 public:
  virtual ~TAbstractSymbol() = default;
  virtual bool MatchToken(TTxtRules& Scanner, TTxtSymbol*& Symbol) = 0;
};

struct TSymbolNode {
  unsigned char Ch = 0;
  Byte TermMode = 0;
  std::vector<std::unique_ptr<TSymbolNode>> Children;
  TTxtSymbol* Symbol = nullptr;
  TSymbolNode* FindNode(unsigned char C) const {
    for (const auto& n : Children)
      if (n->Ch == C) return n.get();
    return nullptr;
  }
};

class TSymbols : public TAbstractSymbol {
 public:
  TSymbols(unsigned char Ch, Byte TermMode, TTxtSymbol* Symbol);
  bool MatchToken(TTxtRules& Scanner, TTxtSymbol*& Symbol) override;
  void AddSymbol(const AnsiString& Rest, TTxtSymbol* Symbol, Byte TermMode);
  TSymbolNode Root;
};

class TDefaultSymbols : public TAbstractSymbol {
 public:
  explicit TDefaultSymbols(TTxtSymbol* S) : Symbol(S) {}
  bool MatchToken(TTxtRules& Scanner, TTxtSymbol*& Symbol) override;
  std::unique_ptr<TTxtSymbol> Symbol;
};

class TDefaultTermSymbols : public TAbstractSymbol {
 public:
  explicit TDefaultTermSymbols(TTxtSymbol* S) : Symbol(S) {}
  bool MatchToken(TTxtRules& Scanner, TTxtSymbol*& Symbol) override;
  std::unique_ptr<TTxtSymbol> Symbol;
};

class TNumberSymbols : public TAbstractSymbol {
 public:
  explicit TNumberSymbols(TTxtSymbol* S) : Symbol(S) {}
  bool MatchToken(TTxtRules& Scanner, TTxtSymbol*& Symbol) override;
  std::unique_ptr<TTxtSymbol> Symbol;
};

class TTxtRange {
 public:
  TTxtRange(const AnsiString& OpenSymbolText = AnsiString(), const AnsiString& CloseSymbolText = AnsiString());
  ~TTxtRange();
  TTxtRange(const TTxtRange&) = delete;
  TTxtRange& operator=(const TTxtRange&) = delete;

  void AddRange(TTxtRange* Child) { FRanges.push_back(Child); }
  void AddKeywordGroup(TTxtSymbolGroup* Group) { FKeywordGroups.push_back(Group); }
  void AddSymbol(TTxtSymbol* Symbol);
  TTxtSymbol* FindSymbol(const AnsiString& Text) const;
  int RangeCount() const { return int(FRanges.size()); }
  TTxtRange* RangeAt(int Index) const { return FRanges.at(Index); }
  int KeywordGroupCount() const { return int(FKeywordGroups.size()); }
  TTxtSymbolGroup* KeywordGroupAt(int Index) const { return FKeywordGroups.at(Index); }
  int SymbolCount() const { return int(FSymbols.size()); }
  TTxtSymbol* SymbolAt(int Index) const { return FSymbols.at(Index); }
  TTxtHighlighterAttributes* AddAttributes(const AnsiString& Name);
  // Removes a child or group from the lists (when present) and frees it.
  void RemoveRange(TTxtRange* Child);
  void RemoveKeywordGroup(TTxtSymbolGroup* Group);

  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  void Prepare(TTxtRange* AParent);
  void Reset();
  void Clear();
  // Loads the range part of a rules text into this range.
  void LoadFromStream(TStream* Stream);

  unsigned char CharCase(unsigned char C) const {
    return (FFold && C >= 'a' && C <= 'z') ? C - 32 : C;
  }
  AnsiString StringCase(const AnsiString& S) const;

  TTxtSymbol CloseSymbol;
  TTxtSymbol OpenSymbol;
  bool CloseOnTerm = false;
  bool CloseOnEol = false;
  TTxtRange* Parent = nullptr;
  TTxtSymbol* ClosingSymbol = nullptr;
  TTxtHighlighterAttributes DefaultAttributes;
  TTxtHighlighterAttributes NumberAttributes;
  TTxtCharSet DelimiterChars;
  AnsiString Name;
  bool Prepared() const { return FPrepared; }
  // An identifier unique in the process, used as the highlighter's range state.
  Integer Id() const { return FId; }

  TTxtSymbol* DefaultSymbol() const { return FDefaultSymbol.get(); }
  TAbstractSymbol* SymbolTable[256] = {};

 private:
  TTxtSymbol* EnsureSymbol(const TTxtSymbol& Template, TTxtRange* In, TTxtHighlighterAttributes* Attri);

  bool FCaseSensitive = false;
  bool FFold = false;
  bool FPrepared = false;
  Integer FId;
  std::vector<TTxtSymbol*> FSymbols;
  std::vector<TTxtRange*> FRanges;
  std::vector<TTxtSymbolGroup*> FKeywordGroups;
  std::vector<TTxtHighlighterAttributes*> FOwnedAttributes;
  std::unique_ptr<TTxtSymbol> FDefaultSymbol;
  std::unique_ptr<TAbstractSymbol> FTermSymbols, FWordSymbols, FNumberSymbols;
  std::vector<std::unique_ptr<TAbstractSymbol>> FTries;
};

enum TTxtVersionType : Byte { vtInternalTest = 0, vtBeta = 1, vtRelease = 2 };

class TTxtRules : public TTxtCustomHighlighter {
  PV_CLASS(TTxtRules, TTxtCustomHighlighter)
 public:
  explicit TTxtRules(TComponent* AOwner);
  ~TTxtRules() override;

  void PrepareRules();
  void ResetRules() { RootRange->Reset(); }
  // Both leave the scan at the root: the range in effect may be gone.
  void ClearRules() {
    RootRange->Clear();
    CurrentRange = RootRange.get();
  }
  // Frees Child and its subtree. The tables built by PrepareRules and the map of
  // scan states point into it, so they are dropped; the next scan prepares anew.
  void RemoveRange(TTxtRange* Parent, TTxtRange* Child);
  void RemoveKeywordGroup(TTxtRange* Parent, TTxtSymbolGroup* Group) { Parent->RemoveKeywordGroup(Group); }

  void SaveToStream(TStream* Stream);
  void LoadFromStream(TStream* Stream);
  AnsiString SaveToText();
  void LoadFromText(const AnsiString& Text);

  TTxtHighlighterAttributes* DefaultAttribute(int Kind) override;
  TTxtCharSet IdentifierChars() const override;
  AnsiString GetSampleText() const override;
  void SetSampleText(const AnsiString& Value) override;
  AnsiString LanguageName() const override { return "RuleLanguage"; }
  bool AtLineEnd() const override { return FEol; }
  Integer ScanState() const override { return CurrentRange->Id(); }
  void RestoreScanState(Integer Value) override;
  void ResetScanState() override { CurrentRange = RootRange.get(); }
  AnsiString TokenText() const override;
  TTxtHighlighterAttributes* TokenAttribute() const override;
  int TokenKind() const override { return 1; }
  int TokenStart() const override { return FTokenPos; }
  void NextToken() override;
  void StartLine(const AnsiString& Text, int LineIndex) override;

  void DefineProperties(TFiler* Filer) override;

  std::unique_ptr<TTxtRange> RootRange;
  TTxtRange* CurrentRange = nullptr;

  AnsiString InfoName, FileTypeName, Layout;
  AnsiString AuthorName, AuthorEmail, AuthorWeb, AuthorCopyright, AuthorCompany, AuthorRemark;
  Integer Version = 0;
  Integer Revision = 0;
  Byte VersionType = vtInternalTest;
  TDateTime Date = 0;
  TStringList History;
  TStringList Sample;

  // Scanner state, read by the matchers.
  const unsigned char* CaseLine() const { return FCaseLine.data(); }
  bool IsDelimiterAt(int Pos) const {
    return !FTrail[Pos] && CurrentRange->DelimiterChars[FCaseLine[Pos]];
  }
  bool IsTrailAt(int Pos) const { return FTrail[Pos] != 0; }
  int Run = 0;

 private:
  void IndexRanges(TTxtRange* R);

  bool FEol = false;
  bool FEndReached = false;
  const char* FLineText = nullptr;
  int FLineLen = 0;
  std::vector<unsigned char> FCaseLine;
  std::vector<std::uint8_t> FTrail;
  int FLineIndex = 0;
  int FTokenPos = 0;
  TTxtSymbol* FCurrentSymbol = nullptr;
  std::unordered_map<Integer, TTxtRange*> FRangeById;
};

// Writes and reads the rules text (used by TTxtRules and TTxtRange).
AnsiString WriteRulesText(TTxtRules& Rules);
void ReadRulesText(TTxtRules& Rules, const AnsiString& Text);
void ReadRangeRulesText(TTxtRange& Range, const AnsiString& Text);

void RegisterEditorHighlighterClasses();
