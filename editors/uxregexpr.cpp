#include "editors/uxregexpr.h"

#include <algorithm>

#include "framework/uxclasses.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace {

AnsiString Tr(const char* Text) { return uxTranslateString(Text); }

AnsiString TrFmt(const char* Fmt, TVarRecList Args) { return Format(uxTranslateString(Fmt), Args); }

// Blank, character 0, tab, line feed, form feed, carriage return.
bool IsBlankChar(TuxMaskChar Ch) {
  return Ch == ' ' || Ch == 0 || Ch == '\t' || Ch == '\n' || Ch == '\f' || Ch == '\r';
}

bool IsHexDigit(TuxMaskChar Ch) {
  return (Ch >= '0' && Ch <= '9') || (Ch >= 'a' && Ch <= 'f') || (Ch >= 'A' && Ch <= 'F');
}

int HexValue(TuxMaskChar Ch) {
  if (Ch >= '0' && Ch <= '9') return Ch - '0';
  if (Ch >= 'a' && Ch <= 'f') return Ch - 'a' + 10;
  return Ch - 'A' + 10;
}

TuxMaskChar FirstChar(const AnsiString& Text) {
  int length = 0;
  return uxMaskCharAt(Text, 0, length);
}

}  // namespace

// ---- errors ----

AnsiString TuxRegExprError::GetFullMessage() const {
  if (Line <= 0) return Message;
  AnsiString result = Tr(uxSRegExprLine) + IntToStr(Line);
  if (Column > 0) result += ", " + Tr(uxSRegExprChar) + IntToStr(Column);
  return result + ": " + Message;
}

AnsiString TuxRegExprErrors::GetFullMessage() const {
  AnsiString result;
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (i > 0) result += "\r\n";
    result += FItems[i].GetFullMessage();
  }
  return result;
}

// ---- character items ----

bool TuxRegExprSymbol::Matches(TuxMaskChar& Ch, bool CaseInsensitive) const {
  if (Ch == FValue) return true;
  if (!CaseInsensitive || uxMaskCharUpper(Ch) != uxMaskCharUpper(FValue)) return false;
  Ch = FValue;
  return true;
}

bool TuxRegExprEnumeration::Matches(TuxMaskChar& Ch, bool CaseInsensitive) const {
  TuxMaskChar ch = Ch;
  const bool matches = Contains(ch, CaseInsensitive) != FInverse;
  if (matches && !FInverse) Ch = ch;
  return matches;
}

std::unique_ptr<TuxRegExprItem> TuxRegExprUserEnumeration::Duplicate() const {
  auto result = std::make_unique<TuxRegExprUserEnumeration>(Inverse());
  for (const auto& item : FItems) result->Add(item->Duplicate());
  return result;
}

bool TuxRegExprUserEnumeration::Contains(TuxMaskChar& Ch, bool CaseInsensitive) const {
  for (const auto& item : FItems) {
    TuxMaskChar ch = Ch;
    if (item->Matches(ch, CaseInsensitive)) {
      Ch = ch;
      return true;
    }
  }
  return false;
}

bool TuxRegExprDigit::Contains(TuxMaskChar& Ch, bool) const { return Ch >= '0' && Ch <= '9'; }

bool TuxRegExprIdLetter::Contains(TuxMaskChar& Ch, bool) const {
  return (Ch >= 'a' && Ch <= 'z') || (Ch >= 'A' && Ch <= 'Z') || Ch == '_' || (Ch >= '0' && Ch <= '9');
}

bool TuxRegExprSpace::Contains(TuxMaskChar& Ch, bool) const { return IsBlankChar(Ch); }

TuxMaskChar TuxRegExprDateSeparator::Value() { return static_cast<Byte>(FormatSettings().DateSeparator); }

TuxMaskChar TuxRegExprTimeSeparator::Value() { return static_cast<Byte>(FormatSettings().TimeSeparator); }

// ---- states ----

// A state of the automaton with its successors (not owned).
class TuxRegExprState {
 public:
  virtual ~TuxRegExprState() = default;
  virtual bool IsBlock() const = 0;

  std::vector<TuxRegExprState*> Successors;
  unsigned Mark = 0;  // the traversal that last visited the state
};

using TuxRegExprStates = std::vector<TuxRegExprState*>;

// A state that takes one character; the start state has no item.
class TuxRegExprSimpleState final : public TuxRegExprState {
 public:
  explicit TuxRegExprSimpleState(std::unique_ptr<TuxRegExprItem> Item) : Item(std::move(Item)) {}
  bool IsBlock() const override { return false; }

  std::unique_ptr<TuxRegExprItem> Item;
  bool Final = false;
};

// The start or finish of a block: takes no character and stands for its successors.
class TuxRegExprBlockState final : public TuxRegExprState {
 public:
  bool IsBlock() const override { return true; }
};

// ---- parse tree ----

namespace {

enum TuxRegExprQuantifier { rqNone, rqQuestion, rqStar, rqPlus };

bool QuantifierAllowsEmpty(TuxRegExprQuantifier Q) { return Q == rqQuestion || Q == rqStar; }
bool QuantifierAllowsRepeat(TuxRegExprQuantifier Q) { return Q == rqStar || Q == rqPlus; }

}  // namespace

class TuxRegExprParserItem {
 public:
  virtual ~TuxRegExprParserItem() = default;
  virtual TuxRegExprState* Entry() const = 0;
  virtual TuxRegExprState* Exit() const = 0;
  virtual bool CanBeEmpty() const = 0;
  // States the item owns, nested items included.
  virtual int StateCount() const = 0;
  // How deep blocks nest inside the item (0 for a simple item).
  virtual int Depth() const = 0;
  virtual std::unique_ptr<TuxRegExprParserItem> Duplicate() const = 0;
  bool Optional() const { return QuantifierAllowsEmpty(Quantifier); }

  TuxRegExprQuantifier Quantifier = rqNone;
};

using TuxRegExprParserAlt = std::vector<std::unique_ptr<TuxRegExprParserItem>>;
using TuxRegExprParserAlts = std::vector<TuxRegExprParserAlt>;

class TuxRegExprParserSimpleItem final : public TuxRegExprParserItem {
 public:
  explicit TuxRegExprParserSimpleItem(std::unique_ptr<TuxRegExprItem> Item)
      : State(std::make_unique<TuxRegExprSimpleState>(std::move(Item))) {}
  TuxRegExprState* Entry() const override { return State.get(); }
  TuxRegExprState* Exit() const override { return State.get(); }
  bool CanBeEmpty() const override { return Optional(); }
  int StateCount() const override { return 1; }
  int Depth() const override { return 0; }
  std::unique_ptr<TuxRegExprParserItem> Duplicate() const override {
    auto result = std::make_unique<TuxRegExprParserSimpleItem>(State->Item->Duplicate());
    result->Quantifier = Quantifier;
    return result;
  }

  std::unique_ptr<TuxRegExprSimpleState> State;
};

class TuxRegExprParserBlockItem final : public TuxRegExprParserItem {
 public:
  TuxRegExprParserBlockItem()
      : Start(std::make_unique<TuxRegExprBlockState>()), Finish(std::make_unique<TuxRegExprBlockState>()) {}
  TuxRegExprState* Entry() const override { return Start.get(); }
  TuxRegExprState* Exit() const override { return Finish.get(); }
  bool CanBeEmpty() const override { return Optional() || FContentCanBeEmpty; }
  int StateCount() const override { return FStateCount; }
  int Depth() const override { return FDepth; }
  std::unique_ptr<TuxRegExprParserItem> Duplicate() const override {
    auto result = std::make_unique<TuxRegExprParserBlockItem>();
    result->Quantifier = Quantifier;
    for (const TuxRegExprParserAlt& alt : Alts) {
      TuxRegExprParserAlt& copy = result->Alts.emplace_back();
      for (const auto& item : alt) copy.push_back(item->Duplicate());
    }
    result->Close();
    return result;
  }
  // The content is complete: its size, depth and emptiness are taken once.
  void Close() {
    FStateCount = 2;
    FDepth = 1;
    FContentCanBeEmpty = false;
    for (const TuxRegExprParserAlt& alt : Alts) {
      bool empty = true;
      for (const auto& item : alt) {
        FStateCount += item->StateCount();
        FDepth = std::max(FDepth, item->Depth() + 1);
        empty = empty && item->CanBeEmpty();
      }
      FContentCanBeEmpty = FContentCanBeEmpty || empty;
    }
    Closed = true;
  }

  std::unique_ptr<TuxRegExprBlockState> Start;
  std::unique_ptr<TuxRegExprBlockState> Finish;
  TuxRegExprParserAlts Alts;
  bool Closed = false;

 private:
  int FStateCount = 2;
  int FDepth = 1;
  bool FContentCanBeEmpty = false;
};

// ---- lexer ----

class TuxRegExprLexer {
 public:
  TuxRegExprLexer(TuxRegExpr& Owner, const AnsiString& Text) : FOwner(Owner), FText(Text) {}
  void Run();

 private:
  bool Eof() const { return FPos >= FText.size(); }
  TuxMaskChar Peek() const {
    int length = 0;
    return uxMaskCharAt(FText, FPos, length);
  }
  TuxMaskChar Read();
  bool Stopped() const { return FOwner.FAborted; }
  void Add(int Kind, const AnsiString& Text, int Line, int Column);
  void Error(int Line, int Column, const AnsiString& Message) { FOwner.AddError(Line, Column, Message); }
  void SkipBlanks();
  void ReadQuoted(int Line, int Column);
  void ReadEscape(int Line, int Column);
  void ReadBrackets();
  void ReadBraces();

  TuxRegExpr& FOwner;
  const AnsiString& FText;
  std::size_t FPos = 0;
  int FLine = 1;
  int FColumn = 0;
};

TuxMaskChar TuxRegExprLexer::Read() {
  int length = 0;
  const TuxMaskChar ch = uxMaskCharAt(FText, FPos, length);
  FPos += static_cast<std::size_t>(length);
  if (ch == '\r')
    ++FLine;
  else if (ch == '\n')
    FColumn = 0;
  else
    ++FColumn;
  return ch;
}

void TuxRegExprLexer::Add(int Kind, const AnsiString& Text, int Line, int Column) {
  TuxLexem lexem;
  lexem.Line = Line;
  lexem.Column = Column;
  lexem.Kind = Kind;
  lexem.Text = Text;
  FOwner.FLexems.Add(lexem);
}

void TuxRegExprLexer::SkipBlanks() {
  while (!Eof() && IsBlankChar(Peek())) Read();
}

void TuxRegExprLexer::Run() {
  int parentheses = 0;
  while (!Eof() && !Stopped()) {
    const TuxMaskChar ch = Read();
    const int line = FLine, column = FColumn;
    if (IsBlankChar(ch)) continue;
    switch (ch) {
      case '\'':
        ReadQuoted(line, column);
        break;
      case '\\':
        ReadEscape(line, column);
        break;
      case '(':
        ++parentheses;
        Add(uxlkOperator, "(", line, column);
        break;
      case ')':
        --parentheses;
        Add(uxlkOperator, ")", line, column);
        break;
      case '*':
      case '+':
      case '?':
      case '|':
        Add(uxlkOperator, uxMaskCharToText(ch), line, column);
        break;
      case '[':
        Add(uxlkOperator, "[", line, column);
        ReadBrackets();
        break;
      case '{':
        Add(uxlkOperator, "{", line, column);
        ReadBraces();
        break;
      case '.':
        Add(uxlkAnyChar, ".", line, column);
        break;
      case '/':
        Add(uxlkDateSeparator, "/", line, column);
        break;
      case ':':
        Add(uxlkTimeSeparator, ":", line, column);
        break;
      default:
        Add(uxlkLiteral, uxMaskCharToText(ch), line, column);
        break;
    }
  }
  if (Stopped()) return;
  if (parentheses > 0) Error(0, 0, TrFmt(uxSRegExprMissing, {")"}));
  if (parentheses < 0) Error(0, 0, TrFmt(uxSRegExprUnnecessary, {")"}));
}

void TuxRegExprLexer::ReadQuoted(int Line, int Column) {
  while (!Stopped()) {
    if (Eof()) {
      Error(Line, Column, TrFmt(uxSRegExprMissing, {" ' "}));
      return;
    }
    const TuxMaskChar ch = Read();
    if (ch == '\'') {
      if (Eof() || Peek() != '\'') return;
      Read();  // '' is one quote
    }
    Add(uxlkLiteral, uxMaskCharToText(ch), FLine, FColumn);
  }
}

void TuxRegExprLexer::ReadEscape(int Line, int Column) {
  if (Eof()) {
    Error(Line, Column, TrFmt(uxSRegExprIllegalSymbol, {"\\"}));
    return;
  }
  const TuxMaskChar ch = Read();
  if (IsBlankChar(ch)) {
    Error(Line, Column, Tr(uxSRegExprSpaceAfterBackslash));
    return;
  }
  auto literal = [&](TuxMaskChar Value) { Add(uxlkLiteral, uxMaskCharToText(Value), Line, Column); };
  switch (ch) {
    case 'a': literal(7); break;
    case 'e': literal(27); break;
    case 'f': literal('\f'); break;
    case 'n': literal('\n'); break;
    case 'r': literal('\r'); break;
    case 't': literal('\t'); break;
    case 'p': literal(static_cast<Byte>(FormatSettings().DecimalSeparator)); break;
    case 'w': Add(uxlkIdLetter, "\\w", Line, Column); break;
    case 'W': Add(uxlkNotIdLetter, "\\W", Line, Column); break;
    case 'd': Add(uxlkDigit, "\\d", Line, Column); break;
    case 'D': Add(uxlkNotDigit, "\\D", Line, Column); break;
    case 's': Add(uxlkSpace, "\\s", Line, Column); break;
    case 'S': Add(uxlkNotSpace, "\\S", Line, Column); break;
    case 'x': {
      int value = 0;
      for (int i = 0; i < 2; ++i) {
        if (Eof()) {
          Error(FLine, FColumn, Tr(uxSRegExprHexNumberExpected));
          return;
        }
        const TuxMaskChar digit = Peek();
        if (!IsHexDigit(digit)) {
          Error(FLine, FColumn, TrFmt(uxSRegExprHexNumberExpectedButFound, {uxMaskCharToText(digit)}));
          return;
        }
        Read();
        value = value * 16 + HexValue(digit);
      }
      literal(static_cast<TuxMaskChar>(value));
      break;
    }
    default:
      if (ch >= '1' && ch <= '9')
        Add(uxlkReference, uxMaskCharToText(ch), Line, Column);
      else
        literal(ch);
      break;
  }
}

void TuxRegExprLexer::ReadBrackets() {
  bool first = true;
  while (!Stopped()) {
    SkipBlanks();
    if (Eof()) {
      Error(FLine, FColumn, TrFmt(uxSRegExprMissing, {"]"}));
      return;
    }
    const TuxMaskChar ch = Read();
    const int line = FLine, column = FColumn;
    const bool atFirst = first;
    first = false;
    switch (ch) {
      case ']':
        Add(uxlkOperator, "]", line, column);
        return;
      case '^':
        Add(atFirst ? uxlkOperator : uxlkLiteral, "^", line, column);
        break;
      case '-':
        SkipBlanks();
        if (Eof()) {
          Error(FLine, FColumn, TrFmt(uxSRegExprMissing, {"]"}));
          return;
        }
        Add(Peek() == ']' ? uxlkLiteral : uxlkOperator, "-", line, column);
        break;
      case '\'':
        ReadQuoted(line, column);
        break;
      case '\\':
        ReadEscape(line, column);
        break;
      case '/':
        Add(uxlkDateSeparator, "/", line, column);
        break;
      case ':':
        Add(uxlkTimeSeparator, ":", line, column);
        break;
      default:
        Add(uxlkLiteral, uxMaskCharToText(ch), line, column);
        break;
    }
  }
}

void TuxRegExprLexer::ReadBraces() {
  while (!Stopped()) {
    SkipBlanks();
    if (Eof()) {
      Error(FLine, FColumn, TrFmt(uxSRegExprMissing, {"}"}));
      return;
    }
    const TuxMaskChar ch = Read();
    const int line = FLine, column = FColumn;
    if (ch >= '0' && ch <= '9') {
      AnsiString digits(1, static_cast<char>(ch));
      while (!Eof() && Peek() >= '0' && Peek() <= '9') digits += static_cast<char>(Read());
      Add(uxlkInteger, digits, line, column);
    } else if (ch == ',') {
      Add(uxlkOperator, ",", line, column);
    } else if (ch == '}') {
      Add(uxlkOperator, "}", line, column);
      return;
    } else if (ch == '\'') {
      Error(line, column, TrFmt(uxSRegExprIllegalSymbol, {" ' "}));
    } else {
      Error(line, column, TrFmt(uxSRegExprIllegalSymbol, {uxMaskCharToText(ch)}));
    }
  }
}

// ---- parser ----

class TuxRegExprParser {
 public:
  explicit TuxRegExprParser(TuxRegExpr& Owner) : FOwner(Owner), FLexems(Owner.FLexems) {}
  TuxRegExprParserAlts Parse();
  int StateCount() const { return FStateCount; }

 private:
  const TuxLexem* Current() const {
    return FPosition < FLexems.Count() && !FOwner.FAborted ? &FLexems.Items(FPosition) : nullptr;
  }
  void Next() { ++FPosition; }
  static bool IsOperator(const TuxLexem* Lexem, const char* Text) {
    return Lexem && Lexem->Kind == uxlkOperator && Lexem->Text == Text;
  }
  void Error(const TuxLexem& At, const AnsiString& Message) { FOwner.AddError(At.Line, At.Column, Message); }
  // Counts States more states against the bound; False (with an error, and
  // compiling stops) when the bound is passed.
  bool Charge(int States);
  // A block's content is complete; False when it nests too deeply.
  bool Close(TuxRegExprParserBlockItem& Block, const TuxLexem& At);

  TuxRegExprParserAlts ParseAlts(bool InBlock, int Depth);
  TuxRegExprParserAlt ParseAlt(bool InBlock, int Depth);
  void AddSimple(TuxRegExprParserAlt& Items, std::unique_ptr<TuxRegExprItem> Item);
  void ParseBlock(TuxRegExprParserAlt& Items, const TuxLexem& Open, int Depth);
  void ParseEnumeration(TuxRegExprParserAlt& Items, const TuxLexem& Open);
  void ParseReference(TuxRegExprParserAlt& Items, const TuxLexem& Reference);
  void ApplyQuantifier(TuxRegExprParserAlt& Items, const TuxLexem& Operator);
  void ParseBraces(TuxRegExprParserAlt& Items, const TuxLexem& Open);
  std::unique_ptr<TuxRegExprParserItem> Copy(const TuxRegExprParserItem& Item);
  // Gives Item the quantifier Q, or wraps it in a block with Q when it has one.
  bool SetQuantifier(std::unique_ptr<TuxRegExprParserItem>& Item, TuxRegExprQuantifier Q, const TuxLexem& At);
  std::unique_ptr<TuxRegExprParserItem> Repeat(const TuxRegExprParserItem& Item, int Min, int Max, bool Open,
                                               const TuxLexem& At);

  TuxRegExpr& FOwner;
  const TuxLexems& FLexems;
  int FPosition = 0;
  int FStateCount = 1;  // the start state
  // Every block in the order of its "(", for back references.
  std::vector<TuxRegExprParserBlockItem*> FBlocks;
  // Items replaced while parsing; a back reference may still copy one of them.
  std::vector<std::unique_ptr<TuxRegExprParserItem>> FReplaced;
};

namespace {

// The item of a class or separator token; nullptr for other tokens.
std::unique_ptr<TuxRegExprItem> ClassItem(int Kind) {
  switch (Kind) {
    case uxlkAnyChar: return std::make_unique<TuxRegExprAll>();
    case uxlkIdLetter: return std::make_unique<TuxRegExprIdLetter>(false);
    case uxlkNotIdLetter: return std::make_unique<TuxRegExprIdLetter>(true);
    case uxlkDigit: return std::make_unique<TuxRegExprDigit>(false);
    case uxlkNotDigit: return std::make_unique<TuxRegExprDigit>(true);
    case uxlkSpace: return std::make_unique<TuxRegExprSpace>(false);
    case uxlkNotSpace: return std::make_unique<TuxRegExprSpace>(true);
    case uxlkDateSeparator: return std::make_unique<TuxRegExprDateSeparator>();
    case uxlkTimeSeparator: return std::make_unique<TuxRegExprTimeSeparator>();
    default: return nullptr;
  }
}

}  // namespace

bool TuxRegExprParser::Charge(int States) {
  if (FOwner.FAborted) return false;
  if (States > TuxRegExpr::MaxStateCount - FStateCount) {
    FOwner.AddError(0, 0, Tr(uxSRegExprTooComplex));
    FOwner.FAborted = true;
    return false;
  }
  FStateCount += States;
  return true;
}

bool TuxRegExprParser::Close(TuxRegExprParserBlockItem& Block, const TuxLexem& At) {
  Block.Close();
  if (Block.Depth() <= TuxRegExpr::MaxNestingDepth) return true;
  Error(At, TrFmt(uxSRegExprNestedTooDeeply, {TuxRegExpr::MaxNestingDepth}));
  FOwner.FAborted = true;
  return false;
}

TuxRegExprParserAlts TuxRegExprParser::Parse() {
  if (FLexems.Count() == 0) {
    FOwner.AddError(0, 0, Tr(uxSRegExprEmptyAlternative));
    return {};
  }
  return ParseAlts(false, 0);
}

TuxRegExprParserAlts TuxRegExprParser::ParseAlts(bool InBlock, int Depth) {
  TuxRegExprParserAlts alts;
  const TuxLexem* separator = nullptr;  // the "|" before the alternative
  while (!FOwner.FAborted) {
    TuxRegExprParserAlt alt = ParseAlt(InBlock, Depth);
    if (alt.empty() && !FOwner.FAborted) {
      const TuxLexem* at = Current();
      if (at && IsOperator(at, ")") && alts.empty())
        Error(*at, Tr(uxSRegExprEmptyBlock));
      else if (at)
        Error(*at, Tr(uxSRegExprEmptyAlternative));
      else if (separator)
        Error(*separator, Tr(uxSRegExprEmptyAlternative));
      else
        FOwner.AddError(0, 0, Tr(uxSRegExprEmptyAlternative));
    }
    alts.push_back(std::move(alt));
    separator = Current();
    if (!IsOperator(separator, "|")) break;
    Next();
  }
  return alts;
}

TuxRegExprParserAlt TuxRegExprParser::ParseAlt(bool InBlock, int Depth) {
  TuxRegExprParserAlt items;
  while (const TuxLexem* lexem = Current()) {
    if (IsOperator(lexem, "|")) break;
    if (IsOperator(lexem, ")")) {
      if (InBlock) break;
      Error(*lexem, TrFmt(uxSRegExprIllegalSymbol, {")"}));
      Next();
      continue;
    }
    const TuxLexem& t = *lexem;
    Next();
    switch (t.Kind) {
      case uxlkLiteral:
        AddSimple(items, std::make_unique<TuxRegExprSymbol>(FirstChar(t.Text)));
        break;
      case uxlkReference:
        ParseReference(items, t);
        break;
      case uxlkInteger:
        Error(t, Tr(uxSRegExprIllegalIntegerValue));
        break;
      case uxlkOperator:
        if (t.Text == "(")
          ParseBlock(items, t, Depth);
        else if (t.Text == "[")
          ParseEnumeration(items, t);
        else if (t.Text == "?" || t.Text == "*" || t.Text == "+")
          ApplyQuantifier(items, t);
        else if (t.Text == "{")
          ParseBraces(items, t);
        else
          Error(t, TrFmt(uxSRegExprIllegalSymbol, {t.Text}));
        break;
      default:
        AddSimple(items, ClassItem(t.Kind));
        break;
    }
  }
  return items;
}

void TuxRegExprParser::AddSimple(TuxRegExprParserAlt& Items, std::unique_ptr<TuxRegExprItem> Item) {
  if (Charge(1)) Items.push_back(std::make_unique<TuxRegExprParserSimpleItem>(std::move(Item)));
}

void TuxRegExprParser::ParseBlock(TuxRegExprParserAlt& Items, const TuxLexem& Open, int Depth) {
  if (Depth >= TuxRegExpr::MaxNestingDepth) {
    Error(Open, TrFmt(uxSRegExprNestedTooDeeply, {TuxRegExpr::MaxNestingDepth}));
    FOwner.FAborted = true;
    return;
  }
  if (!Charge(2)) return;
  auto block = std::make_unique<TuxRegExprParserBlockItem>();
  FBlocks.push_back(block.get());
  block->Alts = ParseAlts(true, Depth + 1);
  if (IsOperator(Current(), ")")) Next();
  if (Close(*block, Open)) Items.push_back(std::move(block));
}

void TuxRegExprParser::ParseReference(TuxRegExprParserAlt& Items, const TuxLexem& Reference) {
  const std::size_t number = static_cast<std::size_t>(FirstChar(Reference.Text) - '0');
  if (number > FBlocks.size()) {
    Error(Reference, Tr(uxSRegExprTooBigReferenceNumber));
    return;
  }
  const TuxRegExprParserBlockItem* block = FBlocks[number - 1];
  if (!block->Closed) {
    Error(Reference, Tr(uxSRegExprReferenceToOpenBlock));
    return;
  }
  if (auto copy = Copy(*block)) Items.push_back(std::move(copy));
}

std::unique_ptr<TuxRegExprParserItem> TuxRegExprParser::Copy(const TuxRegExprParserItem& Item) {
  if (!Charge(Item.StateCount())) return nullptr;
  return Item.Duplicate();
}

void TuxRegExprParser::ParseEnumeration(TuxRegExprParserAlt& Items, const TuxLexem& Open) {
  const bool inverse = IsOperator(Current(), "^");
  if (inverse) Next();
  auto enumeration = std::make_unique<TuxRegExprUserEnumeration>(inverse);
  if (IsOperator(Current(), "]")) {
    Error(*Current(), Tr(uxSRegExprCantCreateEmptyEnum));
    Next();
    AddSimple(Items, std::move(enumeration));
    return;
  }
  auto isChar = [](const TuxLexem* Lexem) {
    return Lexem && (Lexem->Kind == uxlkLiteral || Lexem->Kind == uxlkReference);
  };
  while (const TuxLexem* lexem = Current()) {
    if (IsOperator(lexem, "]")) {
      Next();
      break;
    }
    const TuxLexem& t = *lexem;
    Next();
    if (isChar(&t)) {
      const TuxMaskChar start = FirstChar(t.Text);
      if (!IsOperator(Current(), "-")) {
        enumeration->Add(std::make_unique<TuxRegExprSymbol>(start));
        continue;
      }
      const TuxLexem& dash = *Current();
      Next();
      if (!isChar(Current())) {
        Error(dash, TrFmt(uxSRegExprIllegalSymbol, {"-"}));
        continue;
      }
      const TuxMaskChar finish = FirstChar(Current()->Text);
      Next();
      if (start < finish)
        enumeration->Add(std::make_unique<TuxRegExprSubrange>(start, finish));
      else
        Error(t, Tr(uxSRegExprIncorrectSubrange));
      if (IsOperator(Current(), "-")) {
        Error(*Current(), TrFmt(uxSRegExprIllegalSymbol, {"-"}));
        Next();
      }
    } else if (auto item = ClassItem(t.Kind)) {
      enumeration->Add(std::move(item));
    } else {
      Error(t, TrFmt(uxSRegExprIllegalSymbol, {t.Text}));
    }
  }
  AddSimple(Items, std::move(enumeration));
}

bool TuxRegExprParser::SetQuantifier(std::unique_ptr<TuxRegExprParserItem>& Item, TuxRegExprQuantifier Q,
                                     const TuxLexem& At) {
  if (Item->Quantifier == rqNone) {
    Item->Quantifier = Q;
    return true;
  }
  if (!Charge(2)) return false;
  auto block = std::make_unique<TuxRegExprParserBlockItem>();
  block->Quantifier = Q;
  block->Alts.emplace_back().push_back(std::move(Item));
  const bool closed = Close(*block, At);
  Item = std::move(block);
  return closed;
}

void TuxRegExprParser::ApplyQuantifier(TuxRegExprParserAlt& Items, const TuxLexem& Operator) {
  if (Items.empty()) {
    Error(Operator, TrFmt(uxSRegExprIllegalQuantifier, {Operator.Text}));
    return;
  }
  const TuxRegExprQuantifier q = Operator.Text == "?" ? rqQuestion : Operator.Text == "*" ? rqStar : rqPlus;
  if (QuantifierAllowsRepeat(q) && Items.back()->CanBeEmpty()) {
    Error(Operator, TrFmt(uxSRegExprCantApplyQuantifier, {Operator.Text}));
    return;
  }
  SetQuantifier(Items.back(), q, Operator);
}

void TuxRegExprParser::ParseBraces(TuxRegExprParserAlt& Items, const TuxLexem& Open) {
  // The integers saturate just above the bound.
  auto value = [](const TuxLexem& Lexem) {
    int result = 0;
    for (char digit : Lexem.Text) result = std::min(result * 10 + (digit - '0'), TuxRegExpr::MaxRepeatCount + 1);
    return result;
  };
  int min = -1, max = -1;
  bool comma = false, wellFormed = false;
  if (const TuxLexem* t = Current(); t && t->Kind == uxlkInteger) {
    min = value(*t);
    Next();
    if (IsOperator(Current(), ",")) {
      comma = true;
      Next();
      if (const TuxLexem* u = Current(); u && u->Kind == uxlkInteger) {
        max = value(*u);
        Next();
      }
    }
    wellFormed = IsOperator(Current(), "}");
  }
  // The rest of the braces goes with them.
  while (Current() && !IsOperator(Current(), "}")) Next();
  if (Current()) Next();

  if (!wellFormed || Items.empty() || (max >= 0 && max < min)) {
    Error(Open, Tr(uxSRegExprIncorrectParameterQuantifier));
    return;
  }
  if (min > TuxRegExpr::MaxRepeatCount || max > TuxRegExpr::MaxRepeatCount) {
    Error(Open, TrFmt(uxSRegExprTooBigRepeatCount, {TuxRegExpr::MaxRepeatCount}));
    return;
  }
  std::unique_ptr<TuxRegExprParserItem>& item = Items.back();
  const bool open = comma && max < 0;
  // An open repeat of an item that can be empty would loop without taking a character.
  if (item->Optional() || (open && item->CanBeEmpty())) {
    Error(Open, Tr(uxSRegExprCantApplyParameterQuantifier));
    return;
  }
  if (!comma) max = min;
  if (auto repeated = Repeat(*item, min, max, open, Open)) {
    FReplaced.push_back(std::move(item));
    item = std::move(repeated);
  }
}

// A block of Min copies of Item, then, for the open form, a copy that
// repeats, or else Max - Min nested optional copies: (x(x(x)?)?)?.
std::unique_ptr<TuxRegExprParserItem> TuxRegExprParser::Repeat(const TuxRegExprParserItem& Item, int Min, int Max,
                                                                bool Open, const TuxLexem& At) {
  if (!Charge(2)) return nullptr;
  auto block = std::make_unique<TuxRegExprParserBlockItem>();
  TuxRegExprParserAlt& alt = block->Alts.emplace_back();
  for (int i = 0; i < Min; ++i) {
    auto copy = Copy(Item);
    if (!copy) return nullptr;
    alt.push_back(std::move(copy));
  }
  if (Open || Max > Min) {
    auto tail = Copy(Item);
    if (!tail || !SetQuantifier(tail, Open ? rqStar : rqQuestion, At)) return nullptr;
    for (int i = Min + 1; !Open && i < Max; ++i) {
      auto copy = Copy(Item);
      if (!copy || !Charge(2)) return nullptr;
      auto level = std::make_unique<TuxRegExprParserBlockItem>();
      level->Quantifier = rqQuestion;
      TuxRegExprParserAlt& levelAlt = level->Alts.emplace_back();
      levelAlt.push_back(std::move(copy));
      levelAlt.push_back(std::move(tail));
      if (!Close(*level, At)) return nullptr;
      tail = std::move(level);
    }
    alt.push_back(std::move(tail));
  }
  if (!Close(*block, At)) return nullptr;
  return block;
}

// ---- automaton ----

class TuxRegExprAutomat {
 public:
  TuxRegExprAutomat(TuxRegExpr& Owner, TuxRegExprParserAlts Alts)
      : FOwner(Owner), FStart(nullptr), FAlts(std::move(Alts)) {}
  // Links the states; False (with an error) when there would be too many links.
  bool Build();

  bool IsFinal() const { return IsFinalSet(FCurrent); }
  bool AtStart() const { return !FCurrent.empty() && FCurrent.front() == &FStart; }
  void Restart() {
    FHistory.clear();
    FCurrent.assign(1, &FStart);
  }
  bool Advance(TuxMaskChar& Ch, bool CaseInsensitive, bool AutoComplete);
  bool StepBack(bool AutoComplete);
  void Complete();

 private:
  void Link(TuxRegExprState* From, TuxRegExprState* To);
  void LinkAlt(const TuxRegExprParserAlt& Alt);
  void LinkBlock(const TuxRegExprParserBlockItem& Block);
  void LinkFirstEntries(TuxRegExprState* From, const TuxRegExprParserAlt& Alt);
  void MarkFinal(const TuxRegExprParserAlt& Alt);
  // The states reached from the successors of From, through block states:
  // those that match Ch (when given), or all of them.
  void Reach(const TuxRegExprStates& From, TuxMaskChar* Ch, bool CaseInsensitive, TuxRegExprStates& Result);
  static bool IsFinalSet(const TuxRegExprStates& States);
  // Whether States is not empty and every state in it takes one and the same
  // fixed character (a symbol or a separator); Ch gets it.
  static bool IsSingleLiteral(const TuxRegExprStates& States, TuxMaskChar& Ch);
  void Retreat();

  TuxRegExpr& FOwner;
  TuxRegExprSimpleState FStart;
  TuxRegExprStates FCurrent;
  std::vector<TuxRegExprStates> FHistory;
  TuxRegExprParserAlts FAlts;
  std::vector<TuxRegExprState*> FAll;
  std::vector<TuxRegExprState*> FStack;
  unsigned FEpoch = 0;
  int FLinkCount = 0;
  bool FTooManyLinks = false;
};

void TuxRegExprAutomat::Link(TuxRegExprState* From, TuxRegExprState* To) {
  if (FTooManyLinks) return;
  if (++FLinkCount > TuxRegExpr::MaxLinkCount) {
    FTooManyLinks = true;
    return;
  }
  From->Successors.push_back(To);
}

// From is linked to the entries of Alt's items up to and including the first
// one that is not optional.
void TuxRegExprAutomat::LinkFirstEntries(TuxRegExprState* From, const TuxRegExprParserAlt& Alt) {
  for (const auto& item : Alt) {
    Link(From, item->Entry());
    if (!item->Optional() || FTooManyLinks) break;
  }
}

void TuxRegExprAutomat::LinkAlt(const TuxRegExprParserAlt& Alt) {
  for (std::size_t i = 0; i < Alt.size() && !FTooManyLinks; ++i) {
    const TuxRegExprParserItem& item = *Alt[i];
    for (std::size_t j = i + 1; j < Alt.size() && !FTooManyLinks; ++j) {
      Link(item.Exit(), Alt[j]->Entry());
      if (!Alt[j]->Optional()) break;
    }
    if (QuantifierAllowsRepeat(item.Quantifier)) Link(item.Exit(), item.Entry());
    if (auto* block = dynamic_cast<const TuxRegExprParserBlockItem*>(&item)) LinkBlock(*block);
  }
}

void TuxRegExprAutomat::LinkBlock(const TuxRegExprParserBlockItem& Block) {
  bool startToFinish = false;
  for (const TuxRegExprParserAlt& alt : Block.Alts) {
    LinkFirstEntries(Block.Start.get(), alt);
    startToFinish = startToFinish || std::all_of(alt.begin(), alt.end(), [](const auto& i) { return i->Optional(); });
    for (auto it = alt.rbegin(); it != alt.rend() && !FTooManyLinks; ++it) {
      Link((*it)->Exit(), Block.Finish.get());
      if (!(*it)->Optional()) break;
    }
    LinkAlt(alt);
  }
  if (startToFinish) Link(Block.Start.get(), Block.Finish.get());
}

// From the end of Alt backwards over the items that can be empty, and the
// first one that cannot: their last states are final.
void TuxRegExprAutomat::MarkFinal(const TuxRegExprParserAlt& Alt) {
  for (auto it = Alt.rbegin(); it != Alt.rend(); ++it) {
    if (auto* simple = dynamic_cast<const TuxRegExprParserSimpleItem*>(it->get()))
      simple->State->Final = true;
    else
      for (const TuxRegExprParserAlt& alt : static_cast<const TuxRegExprParserBlockItem&>(**it).Alts) MarkFinal(alt);
    if (!(*it)->CanBeEmpty()) break;
  }
}

bool TuxRegExprAutomat::Build() {
  for (const TuxRegExprParserAlt& alt : FAlts) {
    LinkFirstEntries(&FStart, alt);
    LinkAlt(alt);
    MarkFinal(alt);
    if (std::all_of(alt.begin(), alt.end(), [](const auto& i) { return i->CanBeEmpty(); })) FStart.Final = true;
  }
  if (FTooManyLinks) {
    FOwner.AddError(0, 0, Tr(uxSRegExprTooComplex));
    return false;
  }
  // Every state once, for resetting the traversal marks.
  FAll.push_back(&FStart);
  FStack.push_back(&FStart);
  FStart.Mark = 1;
  while (!FStack.empty()) {
    TuxRegExprState* state = FStack.back();
    FStack.pop_back();
    for (TuxRegExprState* next : state->Successors)
      if (next->Mark == 0) {
        next->Mark = 1;
        FAll.push_back(next);
        FStack.push_back(next);
      }
  }
  FEpoch = 1;
  Restart();
  return true;
}

void TuxRegExprAutomat::Reach(const TuxRegExprStates& From, TuxMaskChar* Ch, bool CaseInsensitive,
                              TuxRegExprStates& Result) {
  if (++FEpoch == 0) {
    for (TuxRegExprState* state : FAll) state->Mark = 0;
    FEpoch = 1;
  }
  const TuxMaskChar typed = Ch ? *Ch : 0;
  bool rewritten = false;
  FStack.clear();
  for (auto it = From.rbegin(); it != From.rend(); ++it)
    for (auto next = (*it)->Successors.rbegin(); next != (*it)->Successors.rend(); ++next) FStack.push_back(*next);
  while (!FStack.empty()) {
    TuxRegExprState* state = FStack.back();
    FStack.pop_back();
    if (state->Mark == FEpoch) continue;
    state->Mark = FEpoch;
    if (state->IsBlock()) {
      for (auto next = state->Successors.rbegin(); next != state->Successors.rend(); ++next) FStack.push_back(*next);
      continue;
    }
    auto* simple = static_cast<TuxRegExprSimpleState*>(state);
    if (Ch) {
      // Every state is asked about the typed character; the first match
      // gives the letter case.
      TuxMaskChar ch = typed;
      if (!simple->Item || !simple->Item->Matches(ch, CaseInsensitive)) continue;
      if (!rewritten) {
        *Ch = ch;
        rewritten = true;
      }
    }
    Result.push_back(simple);
  }
}

bool TuxRegExprAutomat::IsFinalSet(const TuxRegExprStates& States) {
  return std::any_of(States.begin(), States.end(), [](const TuxRegExprState* s) {
    return !s->IsBlock() && static_cast<const TuxRegExprSimpleState*>(s)->Final;
  });
}

bool TuxRegExprAutomat::IsSingleLiteral(const TuxRegExprStates& States, TuxMaskChar& Ch) {
  if (States.empty()) return false;
  for (std::size_t i = 0; i < States.size(); ++i) {
    const TuxRegExprItem* item =
        States[i]->IsBlock() ? nullptr : static_cast<const TuxRegExprSimpleState*>(States[i])->Item.get();
    TuxMaskChar ch;
    if (auto* symbol = dynamic_cast<const TuxRegExprSymbol*>(item))
      ch = symbol->Value();
    else if (dynamic_cast<const TuxRegExprDateSeparator*>(item))
      ch = TuxRegExprDateSeparator::Value();
    else if (dynamic_cast<const TuxRegExprTimeSeparator*>(item))
      ch = TuxRegExprTimeSeparator::Value();
    else
      return false;
    if (i == 0)
      Ch = ch;
    else if (ch != Ch)
      return false;
  }
  return true;
}

bool TuxRegExprAutomat::Advance(TuxMaskChar& Ch, bool CaseInsensitive, bool AutoComplete) {
  TuxMaskChar ch = Ch;
  TuxRegExprStates next;
  Reach(FCurrent, &ch, CaseInsensitive, next);
  if (next.empty()) return false;
  Ch = ch;
  FHistory.push_back(std::move(FCurrent));
  FCurrent = std::move(next);
  if (AutoComplete && !IsFinal()) Complete();
  return true;
}

void TuxRegExprAutomat::Complete() {
  // A run of fixed characters cannot be longer than the automaton has states
  // without going round a loop that never ends.
  for (std::size_t steps = 0; steps <= FAll.size() && !IsFinal(); ++steps) {
    TuxRegExprStates next;
    Reach(FCurrent, nullptr, false, next);
    TuxMaskChar ch = 0;
    if (!IsSingleLiteral(next, ch)) break;
    if (FOwner.FOnLiteralAppended) FOwner.FOnLiteralAppended(&FOwner, ch);
    FHistory.push_back(std::move(FCurrent));
    FCurrent = std::move(next);
  }
}

void TuxRegExprAutomat::Retreat() {
  TuxMaskChar ch = 0;
  while (IsSingleLiteral(FCurrent, ch) && !FHistory.empty()) {
    const TuxRegExprStates& previous = FHistory.back();
    TuxRegExprStates next;
    Reach(previous, nullptr, false, next);
    TuxMaskChar completed = 0;
    if (IsFinalSet(previous) || !IsSingleLiteral(next, completed)) break;
    if (FOwner.FOnLiteralRemoved) FOwner.FOnLiteralRemoved(&FOwner);
    FCurrent = std::move(FHistory.back());
    FHistory.pop_back();
  }
}

bool TuxRegExprAutomat::StepBack(bool AutoComplete) {
  if (AutoComplete) Retreat();
  if (FHistory.empty()) return false;
  FCurrent = std::move(FHistory.back());
  FHistory.pop_back();
  return true;
}

// ---- the expression ----

TuxRegExpr::TuxRegExpr() : FSource(std::make_unique<TMemoryStream>()) {}

TuxRegExpr::~TuxRegExpr() = default;

void TuxRegExpr::AddError(int Line, int Column, const AnsiString& Message) {
  if (FAborted) return;
  if (FErrors.Count() >= MaxErrorCount) {
    FErrors.Add(0, 0, Tr(uxSRegExprTooManyErrors));
    FAborted = true;
    return;
  }
  FErrors.Add(Line, Column, Message);
}

void TuxRegExpr::RaiseErrors() {
  FAutomat.reset();
  throw EuxRegExprError(FErrors);
}

void TuxRegExpr::CheckCompiled() const {
  if (!FCompiled) throw EuxEditError(Tr(uxSRegExprNotCompiled));
}

void TuxRegExpr::ClearExpression() {
  FSource->Clear();
  FErrors.Clear();
  FLexems.Clear();
  FAutomat.reset();
  FCompiled = false;
  FAborted = false;
}

void TuxRegExpr::Compile(TStream* Stream) {
  if (!FFirstCompilation) ClearExpression();
  FFirstCompilation = false;
  if (!Stream) {
    AddError(0, 0, Tr(uxSRegExprStreamNotAssigned));
    RaiseErrors();
  }
  try {
    FSource->CopyFrom(Stream, 0);
  } catch (const Exception&) {
    FSource->Clear();
    AddError(0, 0, Tr(uxSRegExprStreamNotAssigned));
    RaiseErrors();
  }
  const AnsiString text(static_cast<const char*>(FSource->Memory()), static_cast<std::size_t>(FSource->Size()));
  const std::vector<TuxMaskChar> chars = uxMaskChars(text);
  if (std::all_of(chars.begin(), chars.end(), IsBlankChar)) {
    AddError(0, 0, Tr(uxSRegExprStreamEmpty));
    RaiseErrors();
  }
  TuxRegExprLexer(*this, text).Run();
  if (FErrors.Count() > 0) RaiseErrors();
  {
    TuxRegExprParser parser(*this);
    TuxRegExprParserAlts alts = parser.Parse();
    if (FErrors.Count() == 0) {
      FAutomat = std::make_unique<TuxRegExprAutomat>(*this, std::move(alts));
      FAutomat->Build();
    }
  }
  if (FErrors.Count() > 0) RaiseErrors();
  FCompiled = true;
  if (FAutoComplete) FAutomat->Complete();
}

bool TuxRegExpr::Advance(TuxMaskChar& Ch) {
  CheckCompiled();
  return FAutomat->Advance(Ch, FCaseInsensitive, FAutoComplete);
}

bool TuxRegExpr::StepBack() {
  CheckCompiled();
  return FAutomat->StepBack(FAutoComplete);
}

void TuxRegExpr::Restart() {
  CheckCompiled();
  FAutomat->Restart();
}

bool TuxRegExpr::IsFinal() const {
  CheckCompiled();
  return FAutomat->IsFinal();
}

bool TuxRegExpr::AtStart() const {
  CheckCompiled();
  return FAutomat->AtStart();
}

void TuxRegExpr::FilterText(const AnsiString& Text, AnsiString& Accepted) {
  CheckCompiled();
  Accepted.clear();
  for (TuxMaskChar ch : uxMaskChars(Text))
    if (Advance(ch)) uxAppendMaskChar(Accepted, ch);
}

void TuxRegExpr::SetAutoComplete(bool Value) {
  FAutoComplete = Value;
  if (Value && FCompiled) FAutomat->Complete();
}

TStream* TuxRegExpr::GetSource() const { return FCompiled ? FSource.get() : nullptr; }
