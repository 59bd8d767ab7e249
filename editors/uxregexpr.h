// The mask regular-expression engine. An expression describes the whole
// content of a field; it is compiled into a non-deterministic automaton that
// is fed one character at a time, so that an editor can accept or refuse each
// keystroke, step back on Backspace, tell whether the text so far is a
// complete match and insert by itself the fixed characters that must follow.
//
// Notation: literal characters; '...' quotes (a blank inside them is a
// literal blank, '' is a quote); blanks outside quotes are ignored; ( ) | * +
// ?; {n} {n,} {n,m}; [...] [^...] with ranges a-b; . any character; \w \W
// \d \D \s \S; \1..\9 repeat the pattern of a block written before (not the
// text it matched); / and : the locale's date and time separators at the
// moment of the test; escapes \a \e \f \n \r \t, \p (the decimal separator)
// and \xHH; any other escaped character stands for itself.
//
// Characters are whole characters: a double-byte character of code page 936
// is one character, matched by one "." and compared whole in classes and
// ranges (by its code, lead byte × 256 + trail byte). Case-insensitive
// matching folds single-byte letters only.
//
// Expressions come from window descriptions and are untrusted, so the
// compiler keeps within fixed bounds and reports anything beyond them as an
// error: repeat counts at most MaxRepeatCount (1000), blocks (written or made
// by repeats) nested at most MaxNestingDepth (1200) deep, at most
// MaxStateCount (20000) automaton states and MaxLinkCount (200000) links
// between them, and at most MaxErrorCount (100) errors reported. A back
// reference to a block that is not closed yet is an error. Each fed
// character then costs at most one pass over the automaton's links.
#pragma once
#include <memory>
#include <vector>
#include "editors/uxediterrors.h"
#include "editors/uxstdmask.h"
#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

// ---- texts ----

inline constexpr const char* uxSRegExprNotCompiled = "Regular expression is not compiled";
inline constexpr const char* uxSRegExprStreamNotAssigned = "The source stream is not assigned";
inline constexpr const char* uxSRegExprStreamEmpty = "The source stream is empty";
inline constexpr const char* uxSRegExprSpaceAfterBackslash = "The space character is not allowed after '\\'";
inline constexpr const char* uxSRegExprHexNumberExpected = "Hexadecimal number expected";
inline constexpr const char* uxSRegExprHexNumberExpectedButFound = "Hexadecimal number expected but '%s' found";
inline constexpr const char* uxSRegExprMissing = "Missing '%s'";
inline constexpr const char* uxSRegExprUnnecessary = "Unnecessary '%s'";
inline constexpr const char* uxSRegExprIllegalSymbol = "Illegal '%s'";
inline constexpr const char* uxSRegExprIllegalQuantifier = "Illegal quantifier '%s'";
inline constexpr const char* uxSRegExprCantApplyQuantifier = "The '%s' quantifier cannot be applied here";
inline constexpr const char* uxSRegExprIncorrectParameterQuantifier = "Incorrect parameter quantifier";
inline constexpr const char* uxSRegExprCantApplyParameterQuantifier = "The parameter quantifier cannot be applied here";
inline constexpr const char* uxSRegExprTooBigReferenceNumber = "Too big reference number";
inline constexpr const char* uxSRegExprCantCreateEmptyEnum = "Can't create empty enumeration";
inline constexpr const char* uxSRegExprIncorrectSubrange =
    "The starting character of the subrange must be less than the finishing one";
inline constexpr const char* uxSRegExprEmptyAlternative = "The alternative should not be empty";
inline constexpr const char* uxSRegExprEmptyBlock = "The block should not be empty";
inline constexpr const char* uxSRegExprIllegalIntegerValue = "Illegal integer value";
inline constexpr const char* uxSRegExprLine = "Line";
inline constexpr const char* uxSRegExprChar = "Char";
inline constexpr const char* uxSRegExprReferenceToOpenBlock = "The referenced block is not closed yet";
inline constexpr const char* uxSRegExprTooBigRepeatCount = "The repeat count must not be greater than %d";
inline constexpr const char* uxSRegExprNestedTooDeeply = "Blocks must not be nested more than %d levels deep";
inline constexpr const char* uxSRegExprTooComplex = "The expression is too complex";
inline constexpr const char* uxSRegExprTooManyErrors = "Too many errors";

// ---- errors ----

class TuxRegExprError {
 public:
  TuxRegExprError(int Line, int Column, const AnsiString& Message) : Line(Line), Column(Column), Message(Message) {}
  // "Line1, Char3: message"; without a line the message alone, without a
  // positive column no "Char" part.
  AnsiString GetFullMessage() const;

  int Line;
  int Column;
  AnsiString Message;
};

class TuxRegExprErrors {
 public:
  void Add(int Line, int Column, const AnsiString& Message) { FItems.emplace_back(Line, Column, Message); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TuxRegExprError& Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
  // Every error's full message, one per line (separated by CR LF).
  AnsiString GetFullMessage() const;

 private:
  std::vector<TuxRegExprError> FItems;
};

// The errors of a compilation, raised together. The exception holds its own
// copy of them, so it stays valid after the expression is gone.
class EuxRegExprError : public EuxEditError {
 public:
  explicit EuxRegExprError(const TuxRegExprErrors& Errors)
      : EuxEditError(Errors.GetFullMessage()), FErrors(Errors) {}
  const char* ClassName() const noexcept override { return "EuxRegExprError"; }
  const TuxRegExprErrors& Errors() const { return FErrors; }

 private:
  TuxRegExprErrors FErrors;
};

// ---- tokens ----

enum TuxLexemKind {
  uxlkLiteral = 0,
  uxlkOperator = 1,
  uxlkInteger = 2,
  uxlkAnyChar = 3,
  uxlkIdLetter = 4,
  uxlkNotIdLetter = 5,
  uxlkDigit = 6,
  uxlkNotDigit = 7,
  uxlkSpace = 8,
  uxlkNotSpace = 9,
  uxlkReference = 10,
  uxlkDateSeparator = 11,
  uxlkTimeSeparator = 12,
};

struct TuxLexem {
  int Line = 0;
  int Column = 0;
  int Kind = uxlkLiteral;
  AnsiString Text;  // a literal's character, an operator, the digits of an integer or a reference
};

class TuxLexems {
 public:
  void Add(const TuxLexem& Lexem) { FItems.push_back(Lexem); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TuxLexem& Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }

 private:
  std::vector<TuxLexem> FItems;
};

// ---- character items ----

class TuxRegExprItem {
 public:
  virtual ~TuxRegExprItem() = default;
  // Whether Ch matches. A symbol matched without case sets Ch to its own
  // letter; Ch is left alone when the answer is False.
  virtual bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const = 0;
  virtual std::unique_ptr<TuxRegExprItem> Duplicate() const = 0;
};

class TuxRegExprSymbol : public TuxRegExprItem {
 public:
  explicit TuxRegExprSymbol(TuxMaskChar Value) : FValue(Value) {}
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override;
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprSymbol>(FValue); }
  TuxMaskChar Value() const { return FValue; }

 private:
  TuxMaskChar FValue;
};

// Start ≤ Ch ≤ Finish by character code; never folds case.
class TuxRegExprSubrange : public TuxRegExprItem {
 public:
  TuxRegExprSubrange(TuxMaskChar Start, TuxMaskChar Finish) : FStart(Start), FFinish(Finish) {}
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override { return Ch >= FStart && Ch <= FFinish; }
  std::unique_ptr<TuxRegExprItem> Duplicate() const override {
    return std::make_unique<TuxRegExprSubrange>(FStart, FFinish);
  }

 private:
  TuxMaskChar FStart;
  TuxMaskChar FFinish;
};

// A set of characters; Inverse matches every character outside it.
class TuxRegExprEnumeration : public TuxRegExprItem {
 public:
  explicit TuxRegExprEnumeration(bool Inverse) : FInverse(Inverse) {}
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override;
  bool Inverse() const { return FInverse; }

 protected:
  virtual bool Contains(TuxMaskChar& Ch, bool CaseInsensitive) const = 0;

 private:
  bool FInverse;
};

// [...]: any of its items.
class TuxRegExprUserEnumeration : public TuxRegExprEnumeration {
 public:
  explicit TuxRegExprUserEnumeration(bool Inverse) : TuxRegExprEnumeration(Inverse) {}
  void Add(std::unique_ptr<TuxRegExprItem> Item) { FItems.push_back(std::move(Item)); }
  int Count() const { return static_cast<int>(FItems.size()); }
  std::unique_ptr<TuxRegExprItem> Duplicate() const override;

 protected:
  bool Contains(TuxMaskChar& Ch, bool CaseInsensitive) const override;

 private:
  std::vector<std::unique_ptr<TuxRegExprItem>> FItems;
};

// '0'..'9'.
class TuxRegExprDigit : public TuxRegExprEnumeration {
 public:
  using TuxRegExprEnumeration::TuxRegExprEnumeration;
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprDigit>(Inverse()); }

 protected:
  bool Contains(TuxMaskChar& Ch, bool CaseInsensitive) const override;
};

// 'a'..'z', 'A'..'Z', '_', '0'..'9'.
class TuxRegExprIdLetter : public TuxRegExprEnumeration {
 public:
  using TuxRegExprEnumeration::TuxRegExprEnumeration;
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprIdLetter>(Inverse()); }

 protected:
  bool Contains(TuxMaskChar& Ch, bool CaseInsensitive) const override;
};

// Blank, character 0, tab, line feed, form feed, carriage return.
class TuxRegExprSpace : public TuxRegExprEnumeration {
 public:
  using TuxRegExprEnumeration::TuxRegExprEnumeration;
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprSpace>(Inverse()); }

 protected:
  bool Contains(TuxMaskChar& Ch, bool CaseInsensitive) const override;
};

class TuxRegExprAll : public TuxRegExprItem {
 public:
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override { return true; }
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprAll>(); }
};

// The locale's date separator at the moment of the test.
class TuxRegExprDateSeparator : public TuxRegExprItem {
 public:
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override { return Ch == Value(); }
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprDateSeparator>(); }
  static TuxMaskChar Value();
};

// The locale's time separator at the moment of the test.
class TuxRegExprTimeSeparator : public TuxRegExprItem {
 public:
  bool Matches(TuxMaskChar& Ch, bool CaseInsensitive) const override { return Ch == Value(); }
  std::unique_ptr<TuxRegExprItem> Duplicate() const override { return std::make_unique<TuxRegExprTimeSeparator>(); }
  static TuxMaskChar Value();
};

// ---- the expression ----

class TuxRegExprAutomat;

// Called for each character that auto-completion adds.
using TuxRegExprLiteralAppendedEvent = TEvent<void(TObject* Sender, TuxMaskChar Ch)>;
// Called for each auto-completed character that a step back removes.
using TuxRegExprLiteralRemovedEvent = TEvent<void(TObject* Sender)>;

class TuxRegExpr : public TObject {
  PV_CLASS(TuxRegExpr, TObject)
 public:
  static constexpr int MaxRepeatCount = 1000;
  static constexpr int MaxNestingDepth = 1200;
  static constexpr int MaxStateCount = 20000;
  static constexpr int MaxLinkCount = 200000;
  static constexpr int MaxErrorCount = 100;

  TuxRegExpr();
  ~TuxRegExpr() override;
  TuxRegExpr(const TuxRegExpr&) = delete;
  TuxRegExpr& operator=(const TuxRegExpr&) = delete;

  // Compiles the whole content of Stream; raises EuxRegExprError with every
  // error found, leaving the expression uncompiled.
  void Compile(TStream* Stream);
  bool IsCompiled() const { return FCompiled; }
  // Feeds one character; False (and nothing changes) when it is refused. Ch
  // may be rewritten to the expression's letter case.
  bool Advance(TuxMaskChar& Ch);
  // Undoes the last Advance (with auto-complete, the characters completion
  // added after the one before it too); False when nothing was fed.
  bool StepBack();
  void Restart();
  bool IsFinal() const;
  bool AtStart() const;
  // Feeds every character of Text in order; Accepted gets those accepted.
  void FilterText(const AnsiString& Text, AnsiString& Accepted);
  void SetAutoComplete(bool Value);
  bool GetAutoComplete() const { return FAutoComplete; }
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool Value) { FCaseInsensitive = Value; }
  // The expression's text while compiled, else nullptr.
  TStream* GetSource() const;
  void ClearExpression();

  const TuxRegExprErrors& Errors() const { return FErrors; }
  const TuxLexems& Lexems() const { return FLexems; }

  TuxRegExprLiteralAppendedEvent GetOnLiteralAppended() const { return FOnLiteralAppended; }
  void SetOnLiteralAppended(TuxRegExprLiteralAppendedEvent Value) { FOnLiteralAppended = Value; }
  TuxRegExprLiteralRemovedEvent GetOnLiteralRemoved() const { return FOnLiteralRemoved; }
  void SetOnLiteralRemoved(TuxRegExprLiteralRemovedEvent Value) { FOnLiteralRemoved = Value; }

 private:
  friend class TuxRegExprAutomat;
  friend class TuxRegExprLexer;
  friend class TuxRegExprParser;

  void CheckCompiled() const;
  void AddError(int Line, int Column, const AnsiString& Message);
  [[noreturn]] void RaiseErrors();

  std::unique_ptr<TMemoryStream> FSource;
  TuxRegExprErrors FErrors;
  TuxLexems FLexems;
  std::unique_ptr<TuxRegExprAutomat> FAutomat;
  bool FCompiled = false;
  bool FFirstCompilation = true;
  bool FAutoComplete = false;
  bool FCaseInsensitive = false;
  // Set when a bound is passed: compiling stops and reports what it has.
  bool FAborted = false;
  TuxRegExprLiteralAppendedEvent FOnLiteralAppended;
  TuxRegExprLiteralRemovedEvent FOnLiteralRemoved;
};
