#include "editors/uxregexpr.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace regexpr_test {

// Source texts in these tests are UTF-8; the engine works on code page 936.
AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

void CompileText(TuxRegExpr& Expr, const AnsiString& Text) {
  TStringStream stream(Text);
  Expr.Compile(&stream);
}

// The errors a text gives, one full message per entry; empty when it compiles.
std::vector<std::string> ErrorsOf(const AnsiString& Text) {
  TuxRegExpr expr;
  try {
    CompileText(expr, Text);
  } catch (const EuxRegExprError& e) {
    std::vector<std::string> result;
    for (int i = 0; i < e.Errors().Count(); ++i) result.push_back(e.Errors().Items(i).GetFullMessage());
    EXPECT_FALSE(expr.IsCompiled());
    return result;
  }
  return {};
}

// Records what auto-completion adds and removes.
class CompletionLog : public TObject {
 public:
  void Appended(TObject*, TuxMaskChar Ch) { uxAppendMaskChar(Added, Ch); }
  void Removed(TObject*) { ++RemovedCount; }
  void Attach(TuxRegExpr& Expr) {
    Expr.SetOnLiteralAppended(TuxRegExprLiteralAppendedEvent(this, &CompletionLog::Appended));
    Expr.SetOnLiteralRemoved(TuxRegExprLiteralRemovedEvent(this, &CompletionLog::Removed));
  }
  AnsiString Added;
  int RemovedCount = 0;
};

class RegExprLocale : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

// ---- accepting and refusing characters ----

struct MatchCase {
  const char* Expression;  // UTF-8
  const char* Input;       // UTF-8, fed character by character
  const char* Accepted;    // what FilterText keeps
  bool Final;              // whether the accepted characters are a complete match
  bool CaseInsensitive = false;
};

const MatchCase kMatchCases[] = {
    // Classes, repeats and alternatives.
    {"\\d\\d/\\d\\d", "12-34", "12-34", true},  // "/" is the locale's date separator ("-")
    {"\\d\\d/\\d\\d", "1a2/3", "12", false},  // "/" typed is no "-"
    {"\\d\\d:\\d\\d", "09:45", "09:45", true},
    {"(ab|cd)+", "abcdx", "abcd", true},
    {"(ab|cd)+", "abc", "abc", false},
    {"a{2,4}", "aaaaa", "aaaa", true},
    {"a{2,4}", "a", "a", false},
    {"a{2,}", "aaaaaaa", "aaaaaaa", true},
    {"a{3}", "aaaa", "aaa", true},
    {"a{0}b", "ab", "b", true},
    {"a?b*c+", "c", "c", true},
    {"a?b*c+", "abbcc", "abbcc", true},
    {"a?b*c+", "ab", "ab", false},
    {"a+?", "aa", "aa", true},  // an optional block holding the repeated item
    {"[a-c]x", "dbx", "bx", true},
    {"[^0-9]+", "a1b2", "ab", true},
    {"[a-]+", "-a-", "-a-", true},  // a "-" before "]" is literal
    {"[\\d/]+", "1-2", "1-2", true},
    {"\\w\\W\\s\\S", "a. x", "a. x", true},
    {"\\w", "_", "_", true},
    {"\\D", "5x", "x", true},
    {"\\d+\\p\\d\\d", "12.50", "12.50", true},  // \p: the decimal separator
    {"\\x41\\t", "A\t", "A\t", true},
    {"\\.\\*", ".*", ".*", true},
    {"'a b'", "a b", "a b", true},        // a quoted blank is a literal
    {"a b", "a b", "ab", true},           // an unquoted one is ignored
    {"'it''s'", "it's", "it's", true},    // '' inside quotes is one quote
    {"x(a|b)\\1", "xab", "xab", true},    // a reference repeats the pattern, not the text
    {"x(a|b)\\1", "xaa", "xaa", true},
    {"(a)+\\1", "aaa", "aaa", true},      // the copy keeps the block's quantifier
    {"(\\d{2})/\\1", "12-34", "12-34", true},
    {"}],^", "}],^", "}],^", true},       // outside brackets and braces these are literal
    // Case.
    {"ABC", "abc", "ABC", true, true},  // typed letters take the expression's case
    {"ABC", "abc", "", false, false},
    {"[a-z]", "A", "", false, true},  // subranges never fold case
    {"[ab]", "A", "a", true, true},   // symbols in brackets do
    // Chinese characters: one character each, never split.
    {".{2}", "中文字", "中文", true},
    {".", "中", "中", true},
    {"\\d+年\\d+月", "2024年5月", "2024年5月", true},
    {"\\d+年", "2024月年", "2024年", true},
    {"[一二三]+", "一三二四", "一三二", true},
    {"[啊-座]+", "汉字abc", "汉字", true},  // the first to the last hanzi of the common set
    {"[^中]+", "a中文b", "a文b", true},
    {"'第'\\d'章'", "第1章", "第1章", true},
    {"\\w+", "ab中", "ab", true},  // a hanzi is no identifier letter
    {"中?文", "文", "文", true},
    {"(中|文)+", "中文中", "中文中", true},
};

TEST_F(RegExprLocale, AcceptsAndRefusesCharacters) {
  for (const MatchCase& c : kMatchCases) {
    SCOPED_TRACE(c.Expression + std::string(" <- ") + c.Input);
    TuxRegExpr expr;
    expr.SetCaseInsensitive(c.CaseInsensitive);
    CompileText(expr, A(c.Expression));
    AnsiString accepted;
    expr.FilterText(A(c.Input), accepted);
    EXPECT_EQ(accepted, A(c.Accepted));
    EXPECT_EQ(expr.IsFinal(), c.Final);
  }
}

TEST_F(RegExprLocale, SeparatorsFollowTheLocaleAtTheMomentOfTheTest) {
  TuxRegExpr expr;
  CompileText(expr, "\\d/\\d");
  TFormatSettings fs = DefaultFormatSettings();
  fs.DateSeparator = '.';
  SetFormatSettings(fs);
  AnsiString accepted;
  expr.FilterText("1-2.3", accepted);
  EXPECT_EQ(accepted, "1.3");
  EXPECT_TRUE(expr.IsFinal());
}

TEST_F(RegExprLocale, RefusedCharacterLeavesTheStateAndStepBackUndoes) {
  TuxRegExpr expr;
  CompileText(expr, A("\\d{2}年"));
  EXPECT_TRUE(expr.AtStart());
  EXPECT_TRUE(expr.IsFinal() == false);
  TuxMaskChar ch = 'x';
  EXPECT_FALSE(expr.Advance(ch));
  EXPECT_TRUE(expr.AtStart());
  for (char d : {'1', '2'}) {
    ch = static_cast<Byte>(d);
    EXPECT_TRUE(expr.Advance(ch));
  }
  AnsiString year = A("年");
  int length = 0;
  ch = uxMaskCharAt(year, 0, length);
  ASSERT_EQ(length, 2);
  EXPECT_TRUE(expr.Advance(ch));
  EXPECT_TRUE(expr.IsFinal());
  ch = '3';
  EXPECT_FALSE(expr.Advance(ch));
  EXPECT_TRUE(expr.IsFinal());
  EXPECT_TRUE(expr.StepBack());
  EXPECT_FALSE(expr.IsFinal());
  EXPECT_TRUE(expr.StepBack());
  EXPECT_TRUE(expr.StepBack());
  EXPECT_TRUE(expr.AtStart());
  EXPECT_FALSE(expr.StepBack());
  ch = '9';
  EXPECT_TRUE(expr.Advance(ch));
  expr.Restart();
  EXPECT_TRUE(expr.AtStart());
  EXPECT_FALSE(expr.StepBack());
}

TEST_F(RegExprLocale, StartIsFinalWhenAnAlternativeMayBeEmpty) {
  for (const char* text : {"a*", "a?|b", "(a|b?)", "a{0,2}"}) {
    SCOPED_TRACE(text);
    TuxRegExpr expr;
    CompileText(expr, text);
    EXPECT_TRUE(expr.IsFinal());
  }
  TuxRegExpr expr;
  CompileText(expr, "a+|b");
  EXPECT_FALSE(expr.IsFinal());
}

TEST(RegExpr, OperationsNeedACompiledExpression) {
  TuxRegExpr expr;
  TuxMaskChar ch = 'a';
  AnsiString accepted;
  auto expectNotCompiled = [](auto&& Call) {
    try {
      Call();
      ADD_FAILURE() << "no error";
    } catch (const EuxRegExprError&) {
      ADD_FAILURE() << "a compile error";
    } catch (const EuxEditError& e) {
      EXPECT_EQ(e.Message, "Regular expression is not compiled");
    }
  };
  expectNotCompiled([&] { expr.Advance(ch); });
  expectNotCompiled([&] { expr.StepBack(); });
  expectNotCompiled([&] { expr.Restart(); });
  expectNotCompiled([&] { expr.IsFinal(); });
  expectNotCompiled([&] { expr.AtStart(); });
  expectNotCompiled([&] { expr.FilterText("a", accepted); });
  EXPECT_EQ(expr.GetSource(), nullptr);
}

TEST(RegExpr, RecompilingReplacesTheExpressionAndAFailureLeavesItUncompiled) {
  TuxRegExpr expr;
  CompileText(expr, "ab");
  ASSERT_NE(expr.GetSource(), nullptr);
  EXPECT_EQ(expr.GetSource()->Size(), 2);
  CompileText(expr, "x");
  AnsiString accepted;
  expr.FilterText("abx", accepted);
  EXPECT_EQ(accepted, "x");
  EXPECT_EQ(expr.Lexems().Count(), 1);
  EXPECT_THROW(CompileText(expr, "x**"), EuxRegExprError);
  EXPECT_FALSE(expr.IsCompiled());
  EXPECT_EQ(expr.GetSource(), nullptr);
  EXPECT_THROW(expr.Compile(nullptr), EuxRegExprError);
  CompileText(expr, "y");
  EXPECT_EQ(expr.Errors().Count(), 0);
  expr.ClearExpression();
  EXPECT_FALSE(expr.IsCompiled());
}

// ---- auto-completion ----

TEST_F(RegExprLocale, AutoCompleteTypesTheSeparatorAndStepBackRemovesIt) {
  TuxRegExpr expr;
  CompletionLog log;
  log.Attach(expr);
  expr.SetAutoComplete(true);
  CompileText(expr, "\\d\\d/\\d\\d");
  AnsiString accepted;
  expr.FilterText("12", accepted);
  EXPECT_EQ(log.Added, "-");
  EXPECT_FALSE(expr.IsFinal());
  // The separator and the digit before it go together.
  EXPECT_TRUE(expr.StepBack());
  EXPECT_EQ(log.RemovedCount, 1);
  TuxMaskChar ch = '7';
  EXPECT_TRUE(expr.Advance(ch));
  EXPECT_EQ(log.Added, "--");
  EXPECT_TRUE(expr.StepBack());
  EXPECT_TRUE(expr.StepBack());
  EXPECT_TRUE(expr.AtStart());
}

struct CompletionCase {
  const char* Expression;  // UTF-8
  const char* Typed;       // UTF-8
  const char* Added;       // what completion reported, UTF-8
  bool Final;
};

const CompletionCase kCompletionCases[] = {
    {"'ID-'\\d+", "", "ID-", false},       // fixed text at the start completes at once
    {"'ID-'\\d+", "7", "ID-", true},
    {"\\d\\d:\\d\\d", "1", "", false},
    {"\\d\\d:\\d\\d", "12", ":", false},
    {"\\d+年\\d+月", "2024", "", false},   // a repeat may go on: nothing is certain
    {"\\d{4}年\\d\\d月", "2024", "年", false},
    {"\\d{4}年\\d\\d月", "202405", "年月", true},
    {"(ab)+", "", "ab", true},             // stops as soon as the text is complete
    {"(ab)+", "a", "abb", true},
    {"x(ab)+y", "", "xab", false},         // then "a" or "y" may follow
    {"x(ab)+y", "y", "xab", true},
    {"a|ab", "", "a", true},               // the same character in both alternatives
    {"a|ab", "b", "a", true},
    {"\\d(/|:)\\d", "1", "", false},       // two literals are no single one
    {"\\d(-|/)\\d", "1", "-", false},      // the same character twice is
};

TEST_F(RegExprLocale, AutoCompleteAddsOnlyCharactersThatMustFollow) {
  for (const CompletionCase& c : kCompletionCases) {
    SCOPED_TRACE(c.Expression + std::string(" <- ") + c.Typed);
    TuxRegExpr expr;
    CompletionLog log;
    log.Attach(expr);
    CompileText(expr, A(c.Expression));
    expr.SetAutoComplete(true);  // switched on when compiled: completes at once
    AnsiString accepted;
    expr.FilterText(A(c.Typed), accepted);
    EXPECT_EQ(accepted, A(c.Typed));
    EXPECT_EQ(log.Added, A(c.Added));
    EXPECT_EQ(expr.IsFinal(), c.Final);
  }
}

TEST_F(RegExprLocale, RetreatStopsAtFixedTextTheValueStartsWith) {
  TuxRegExpr expr;
  CompletionLog log;
  log.Attach(expr);
  expr.SetAutoComplete(true);
  CompileText(expr, "'AB'\\d");
  EXPECT_EQ(log.Added, "AB");
  TuxMaskChar ch = '5';
  ASSERT_TRUE(expr.Advance(ch));
  EXPECT_TRUE(expr.IsFinal());
  EXPECT_TRUE(expr.StepBack());
  EXPECT_EQ(log.RemovedCount, 0);
  // Stepping back into the fixed text removes it as completed text; nothing
  // was typed before it.
  EXPECT_FALSE(expr.StepBack());
  EXPECT_EQ(log.RemovedCount, 2);
  EXPECT_TRUE(expr.AtStart());
}

// ---- errors ----

struct ErrorCase {
  const char* Expression;
  std::vector<std::string> Errors;
};

const ErrorCase kErrorCases[] = {
    {"", {"The source stream is empty"}},
    {" \t\r\n", {"The source stream is empty"}},
    {"a**", {"Line1, Char3: The '*' quantifier cannot be applied here"}},
    {"a?+", {"Line1, Char3: The '+' quantifier cannot be applied here"}},
    {"(a?)*", {"Line1, Char5: The '*' quantifier cannot be applied here"}},
    {"a?{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
    {"a{3,2}", {"Line1, Char2: Incorrect parameter quantifier"}},
    {"(a?b?){2,}", {"Line1, Char7: The parameter quantifier cannot be applied here"}},  // an endless empty repeat
    {"{2}", {"Line1, Char1: Incorrect parameter quantifier", "The alternative should not be empty"}},
    {"a{,2}", {"Line1, Char2: Incorrect parameter quantifier"}},
    {"a{1,2,3}", {"Line1, Char2: Incorrect parameter quantifier"}},
    {"a{x}", {"Line1, Char3: Illegal 'x'"}},
    {"a{'}", {"Line1, Char3: Illegal ' ' '"}},
    {"a{2", {"Line1, Char3: Missing '}'"}},
    {"[]", {"Line1, Char2: Can't create empty enumeration"}},
    {"[^]", {"Line1, Char3: Can't create empty enumeration"}},
    {"[b-a]", {"Line1, Char2: The starting character of the subrange must be less than the finishing one"}},
    {"[a-a]", {"Line1, Char2: The starting character of the subrange must be less than the finishing one"}},
    {"[a-c-e]", {"Line1, Char5: Illegal '-'"}},
    {"[abc", {"Line1, Char4: Missing ']'"}},
    {"[a-", {"Line1, Char3: Missing ']'"}},
    {"[-a]", {"Line1, Char2: Illegal '-'"}},  // "-" is literal only before "]"
    {"(a", {"Missing ')'"}},
    {"a)", {"Unnecessary ')'"}},
    {")a(", {"Line1, Char1: Illegal ')'", "The alternative should not be empty"}},
    {"()", {"Line1, Char2: The block should not be empty"}},
    {"|a", {"Line1, Char1: The alternative should not be empty"}},
    {"(a|)", {"Line1, Char4: The alternative should not be empty"}},
    {"*a", {"Line1, Char1: Illegal quantifier '*'"}},
    {"a-b", {}},  // outside brackets "-" is a literal
    {"'abc", {"Line1, Char1: Missing ' ' '"}},
    {"\\ a", {"Line1, Char1: The space character is not allowed after '\\'"}},
    {"\\x4", {"Line1, Char3: Hexadecimal number expected"}},
    {"\\x4g", {"Line1, Char3: Hexadecimal number expected but 'g' found"}},
    {"\\2(a)", {"Line1, Char1: Too big reference number"}},
    {"(a)\\2", {"Line1, Char4: Too big reference number"}},
    {"(a\\1)", {"Line1, Char3: The referenced block is not closed yet"}},
    {"((a)\\2\\1)", {"Line1, Char7: The referenced block is not closed yet"}},
    {"a{1001}", {"Line1, Char2: The repeat count must not be greater than 1000"}},
    {"a{0,99999999999999999999}", {"Line1, Char2: The repeat count must not be greater than 1000"}},
    {"ab\r\n[]", {"Line2, Char2: Can't create empty enumeration"}},
    {"[]|**", {"Line1, Char2: Can't create empty enumeration", "Line1, Char4: Illegal quantifier '*'",
               "Line1, Char5: Illegal quantifier '*'", "Line1, Char3: The alternative should not be empty"}},
};

TEST(RegExpr, BadExpressionsGiveClearErrors) {
  for (const ErrorCase& c : kErrorCases) {
    SCOPED_TRACE(std::string("expression: ") + c.Expression);
    EXPECT_EQ(ErrorsOf(c.Expression), c.Errors);
  }
}

TEST(RegExpr, TheExceptionListsEveryErrorOnItsOwnLine) {
  TuxRegExpr expr;
  try {
    CompileText(expr, "[]|a**");
    FAIL() << "no error";
  } catch (const EuxEditError& e) {
    EXPECT_STREQ(e.ClassName(), "EuxRegExprError");
    EXPECT_EQ(e.Message,
              "Line1, Char2: Can't create empty enumeration\r\n"
              "Line1, Char6: The '*' quantifier cannot be applied here");
  }
}

TEST(RegExpr, ErrorRecordFormat) {
  EXPECT_EQ(TuxRegExprError(1, 3, "m").GetFullMessage(), "Line1, Char3: m");
  EXPECT_EQ(TuxRegExprError(2, 0, "m").GetFullMessage(), "Line2: m");
  EXPECT_EQ(TuxRegExprError(0, 5, "m").GetFullMessage(), "m");
}

// Expressions that would blow up a naive compiler are refused early, with
// little work; the automaton of an accepted one stays small.
struct PathologicalCase {
  std::string Expression;
  std::string FirstError;
};

std::vector<PathologicalCase> PathologicalCases() {
  return {
      {std::string(5000, '(') + "a" + std::string(5000, ')'), "Line1, Char1201: Blocks must not be nested more than 1200 levels deep"},
      {std::string(250, '(') + "a{0,1000}" + std::string(250, ')'), "Blocks must not be nested more than 1200 levels deep"},
      {"(a{1000}){1000}", "The expression is too complex"},
      {"((a{1000}){1000}){1000}", "The expression is too complex"},
      {"(((((a{9}){9}){9}){9}){9}){9}", "The expression is too complex"},
      {"((a|b){30})\\1{1000}", "The expression is too complex"},
      {std::string(30000, 'a'), "The expression is too complex"},
      {std::string(200, '*'), "Line1, Char1: Illegal quantifier '*'"},
  };
}

TEST(RegExpr, PathologicalExpressionsAreRefused) {
  for (const PathologicalCase& c : PathologicalCases()) {
    SCOPED_TRACE(c.Expression.substr(0, 40));
    const std::vector<std::string> errors = ErrorsOf(AnsiString(c.Expression));
    ASSERT_FALSE(errors.empty());
    // The message, whatever position it names.
    EXPECT_TRUE(errors.front().ends_with(c.FirstError)) << errors.front();
    EXPECT_LE(errors.size(), static_cast<std::size_t>(TuxRegExpr::MaxErrorCount + 1));
  }
}

TEST(RegExpr, ErrorsStopAtTheirLimit) {
  AnsiString text;
  for (int i = 0; i < 500; ++i) text += "[]";
  const std::vector<std::string> errors = ErrorsOf(text);
  ASSERT_EQ(errors.size(), static_cast<std::size_t>(TuxRegExpr::MaxErrorCount + 1));
  EXPECT_EQ(errors.back(), "Too many errors");
}

TEST(RegExpr, LargeButBoundedExpressionsWork) {
  TuxRegExpr expr;
  CompileText(expr, ".{0,1000}x");
  AnsiString accepted;
  expr.FilterText(AnsiString(999, 'a') + "x", accepted);
  EXPECT_EQ(accepted.size(), 1000u);
  EXPECT_TRUE(expr.IsFinal());
  CompileText(expr, "(a{1000}){15}");
  expr.FilterText(AnsiString(15000, 'a'), accepted);
  EXPECT_TRUE(expr.IsFinal());
}

// ---- fuzzing ----

// Pieces random expressions are made of: every operator, class, escape and
// separator, Chinese characters, and broken forms.
const char* const kPieces[] = {
    "a", "b", "c", "1", "中", "文", "年", ".", "\\d", "\\D", "\\w", "\\W", "\\s", "\\S", "/", ":", "(", ")",
    "|", "*", "+", "?", "{", "}", "{2}", "{1,3}", "{0,}", "{2,1}", "{", ",", "[", "]", "[a-c]", "[^中文]",
    "[啊-座]", "[-", "^", "-", "'", "'x y'", "''", "\\1", "\\2", "\\3", "\\x4", "\\x41", "\\", "\\ ", " ",
    "\r\n", "\\p", "\\t", "{999}", "{0,1000}", "((", "))",
};

// Characters random input is made of: CP936 double-byte characters, digits,
// letters, separators, blanks, and a lone lead byte.
const char* const kInputs[] = {"a", "b", "c", "A", "1", "9", "中", "文", "年", "-", ":", ".", " ", "_", "\xB0"};

TEST_F(RegExprLocale, FuzzCompileAndMatch) {
  std::mt19937 random(20240531);
  auto pick = [&](int Count) { return static_cast<int>(random() % static_cast<unsigned>(Count)); };
  int compiled = 0;
  for (int round = 0; round < 3000; ++round) {
    AnsiString text;
    const int pieces = 1 + pick(14);
    for (int i = 0; i < pieces; ++i) text += A(kPieces[pick(std::size(kPieces))]);
    SCOPED_TRACE(std::string("expression: ") + text);
    TuxRegExpr expr;
    expr.SetCaseInsensitive(pick(2) == 0);
    CompletionLog log;
    log.Attach(expr);
    try {
      CompileText(expr, text);
    } catch (const EuxRegExprError& e) {
      ASSERT_GT(e.Errors().Count(), 0);
      ASSERT_FALSE(expr.IsCompiled());
      continue;
    }
    ++compiled;
    AnsiString input;
    for (int i = pick(24); i > 0; --i) input += A(kInputs[pick(std::size(kInputs))]);
    AnsiString accepted;
    expr.FilterText(input, accepted);
    const bool final = expr.IsFinal();
    // Feeding the accepted characters again takes every one and ends alike.
    expr.Restart();
    const std::vector<TuxMaskChar> chars = uxMaskChars(accepted);
    for (TuxMaskChar ch : chars) ASSERT_TRUE(expr.Advance(ch));
    ASSERT_EQ(expr.IsFinal(), final);
    // Each step back undoes one character, back to the start.
    for (std::size_t i = 0; i < chars.size(); ++i) ASSERT_TRUE(expr.StepBack());
    ASSERT_TRUE(expr.AtStart());
    ASSERT_FALSE(expr.StepBack());
    // With completion the walk forward and back ends too.
    expr.SetAutoComplete(true);
    expr.FilterText(input, accepted);
    int steps = 0;
    while (expr.StepBack()) ASSERT_LT(++steps, 10000);
  }
  EXPECT_GT(compiled, 100);  // the run reached the matcher, not only the error paths
}

// Random expressions in the notation it shares with ECMAScript (no
// separators, quotes or references) must accept exactly what std::regex
// matches as a whole.
const char* const kCommonPieces[] = {"a", "b", "c", "1", ".", "\\d", "\\w", "\\D", "(", ")", "|", "*", "+",
                                     "?", "{2}", "{0,2}", "{1,}", "[ab]", "[^a]", "[a-c1]"};

TEST(RegExpr, FuzzAgreesWithStdRegexOnCommonNotation) {
  std::mt19937 random(7);
  auto pick = [&](int Count) { return static_cast<int>(random() % static_cast<unsigned>(Count)); };
  int compared = 0;
  for (int round = 0; round < 2000; ++round) {
    // A quantifier right after another one means a lazy repeat to
    // ECMAScript and a repeated block here: such texts are left out.
    std::string text;
    bool afterQuantifier = false;
    for (int i = 1 + pick(10); i > 0; --i) {
      const std::string piece = kCommonPieces[pick(std::size(kCommonPieces))];
      const bool quantifier = piece.find_first_of("*+?{") == 0;
      if (quantifier && afterQuantifier) continue;
      text += piece;
      afterQuantifier = quantifier;
    }
    std::regex oracle;
    try {
      oracle = std::regex(text, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      continue;
    }
    TuxRegExpr expr;
    try {
      CompileText(expr, AnsiString(text));
    } catch (const EuxRegExprError&) {
      continue;  // stricter than ECMAScript: empty alternatives, "*" on what may be empty
    }
    for (int sample = 0; sample < 8; ++sample) {
      std::string input;
      for (int i = pick(7); i > 0; --i) input += "abc1x"[pick(5)];
      expr.Restart();
      bool all = true;
      for (char c : input) {
        TuxMaskChar ch = static_cast<Byte>(c);
        if (!expr.Advance(ch)) {
          all = false;
          break;
        }
      }
      const bool matched = all && expr.IsFinal();
      ASSERT_EQ(matched, std::regex_match(input, oracle)) << "expression " << text << " input " << input;
      ++compared;
    }
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace regexpr_test
