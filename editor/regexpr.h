// TRegExpr: compiles a regular expression into a node program and matches it
// against a byte string by backtracking. Text is code page 936: a double-byte
// character is always one character to the matcher, so no match starts or ends
// inside one and case folding leaves its bytes alone.
#pragma once
#include <bitset>
#include <cstdint>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

class ERegExpr : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "ERegExpr"; }
  int ErrorNumber = 0;
  int ExpressionOffset = 0;
};

class TRegExpr {
 public:
  static constexpr int NSUBEXP = 15;   // match 0 plus 14 groups
  static constexpr int LoopStackMax = 10;
  static constexpr int MaxBracesArg = 2147483646;

  using TOtherCase = unsigned char (*)(unsigned char);

  TRegExpr();
  virtual ~TRegExpr();
  TRegExpr(const TRegExpr&) = delete;
  TRegExpr& operator=(const TRegExpr&) = delete;

  const AnsiString& GetExpression() const { return FExpression; }
  void SetExpression(const AnsiString& Value);

  bool ModifierOn(int Index) const;
  void SwitchModifier(int Index, bool Value);
  bool ModifierI() const { return FModifiers & 1; }

  void CompileExpression();
  bool Exec(const AnsiString& Input);
  bool ExecNext();
  bool ExecPos(int Offset);

  int MatchStart(int Index) const;
  int MatchLength(int Index) const;
  AnsiString Match(int Index) const;
  int SubExprMatchCount() const;
  const AnsiString& InputString() const { return FInput; }

  AnsiString GetLinePairedSeparator() const;
  void SetLinePairedSeparator(const AnsiString& Text);
  AnsiString SpaceChars = AnsiString(" \t\n\r\f", 5);
  AnsiString WordChars = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  AnsiString LineSeparators = "\r\n";
  TOtherCase OtherCase;

  AnsiString ExpandTemplate(const AnsiString& Template);
  AnsiString ReplaceAll(const AnsiString& Input, const AnsiString& Replacement, bool UseSubstitution);

  virtual void RaiseError(int ErrorCode);
  virtual AnsiString ErrorText(int ErrorCode) const;
  static unsigned char DefaultOtherCase(unsigned char c);

  int LastErrorCode = 0;
  bool IsCompiled() const { return !FProgram.empty(); }

 private:
  struct Node;
  struct CharClass {
    std::bitset<256> bytes;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> wide;  // double-byte code ranges
    bool negated = false;
  };

  // compile
  void Compile();
  int Emit(std::uint8_t op);
  void Tail(int p, int target);
  void OpTail(int p, int target);
  void InsertBefore(int at, std::uint8_t op);
  int ParseReg(bool paren, int& flags);
  int ParseBranch(int& flags);
  int ParsePiece(int& flags);
  int ParseAtom(int& flags);
  void ParseClass();
  int ParseEscapeByte();
  void SkipExtended();
  bool ParseInlineModifiers();
  void Fail(int code);
  bool OperandMayMatch(int operand, unsigned char c0, unsigned char c1, int w) const;
  bool RepeatCannotGiveBack(int repeat, int stop) const;
  bool IsDeterministicGroup(int open, int stop) const;
  void FillFirstSet(int scan, std::bitset<256>& set, int depth);
  void AnalyseStart();

  // match
  bool SearchFrom(int Offset);
  bool TryAt(int pos);
  bool MatchPrim(int scan);
  int CountRepeat(int operand, int maxCount, int& endPos);
  bool MatchOne(int operand, int& pos) const;
  bool MatchStep(int scan, int& pos) const;
  bool RunGroupOnce(int scan, int& pos);
  bool MatchGroupRepeat(int scan, int next);
  bool MatchBackref(int operand, int& pos) const;
  bool IsBoundary(int pos) const;
  bool IsSeparatorAt(int pos) const;
  bool AtLineStart(int pos) const;
  bool AtLineEnd(int pos) const;
  int StepBack(int pos) const { return (pos >= 2 && FTrail[pos - 1]) ? pos - 2 : pos - 1; }
  int Width(int pos) const { return (pos + 1 < FLen && FTrail[pos + 1]) ? 2 : 1; }
  bool IsWordByteAt(int pos) const;
  int NextOf(int p) const;

  AnsiString FExpression;
  int FModifiers;          // bit 0 i, 1 r, 2 s, 3 g, 4 m, 5 x
  int FCompiledModifiers = -1;
  std::vector<Node> FProgram;
  std::vector<AnsiString> FLiterals;
  std::vector<CharClass> FClasses;
  int FCompileFlags = 0;
  int FParen = 1;
  std::size_t FParse = 0;  // parse position in FExpression
  std::bitset<256> FFirst;
  int FStartByte = -1;
  bool FAnchored = false;
  AnsiString FMust;
  std::bitset<256> FSpaceSet, FWordSet, FSepSet;
  int FPairA = '\r', FPairB = '\n';

  AnsiString FInput;
  const unsigned char* FS = nullptr;
  int FLen = 0;
  std::vector<std::uint8_t> FTrail;
  bool FHasInput = false;
  int FStart[NSUBEXP];
  int FEnd[NSUBEXP];
  int FLastEnd = -1;  // 0-based end of the last whole match, -1 = none
  int FLastStart = -1;
  int FLoopCount[LoopStackMax];
  int FLoopPos[LoopStackMax];
  int FLoopDepth = 0;
  std::vector<int> FIterEnds;  // ends of the iterations of active group repeats
  int FPos = 0;
  int FRecursion = 0;
  const char* FStackBase = nullptr;
};
