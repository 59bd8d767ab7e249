#include "editor/regexpr.h"

#include <gtest/gtest.h>

namespace {

// CP936 text: "\xD6\xD0\xCE\xC4" is the word for Chinese. The other three are double-byte
// characters whose second byte is an ASCII letter, a backslash or a bar.
const char* const kZhongWen = "\xD6\xD0\xCE\xC4";
const char* const kTrailA = "\x81\x61";    // second byte 'a'
const char* const kTrailBs = "\x81\x5C";   // second byte '\'
const char* const kTrailBar = "\x81\x7C";  // second byte '|'

struct Case {
  const char* expr;
  const char* subject;
  const char* match;  // nullptr: no match expected
  int start = 0;      // expected 1-based start, 0 = don't check
};

std::string FirstMatch(TRegExpr& r, const std::string& subject, int* start = nullptr) {
  if (!r.Exec(subject)) return "<none>";
  if (start) *start = r.MatchStart(0);
  return r.Match(0);
}

TEST(RegExpr, SyntaxTable) {
  const Case cases[] = {
      {"abc", "xxabcxx", "abc", 3},
      {"a.c", "abc", "abc"},
      {"a.c", "a\nc", "a\nc"},          // s is on: dot matches line breaks
      {"^abc", "xabc", nullptr},
      {"^abc", "abcx", "abc", 1},
      {"abc$", "abcx", nullptr},
      {"abc$", "xabc", "abc", 2},
      {"\\Aab", "ab", "ab"},
      {"ab\\Z", "xab", "ab", 2},
      {"\\bcat\\b", "concat cat", "cat", 8},
      {"\\Bcat", "concat cat", "cat", 4},
      {"\\d+", "ab123c", "123", 3},
      {"\\D+", "12ab3", "ab", 3},
      {"\\s+", "a \t b", " \t ", 2},
      {"\\S+", "  ab ", "ab", 3},
      {"\\w+", "-- foo_1 ", "foo_1", 4},
      {"\\W+", "ab, cd", ", ", 3},
      {"(a)(b)\\2\\1", "xabba", "abba", 2},
      {"\\t", "a\tb", "\t", 2},
      {"\\x41\\x{42}", "zAB", "AB", 2},
      {"\\x{}", "a", nullptr},  // byte 0 never occurs in the subject
      {"\\.", "a.b", ".", 2},
      {"[abc]+", "xxbcay", "bca", 3},
      {"[^abc]+", "abxyc", "xy", 3},
      {"[]a]+", "x]a]y", "]a]", 2},
      {"[^]a]+", "]]xy", "xy", 3},
      {"[a-c]+", "zabcd", "abc", 2},
      {"[-a]+", "x-a-", "-a-", 2},
      {"[a-]+", "xa-a", "a-a", 2},
      {"[a-c-e]+", "x-eab", "-eab", 2},
      {"[\\d-z]+", "a1-z", "1-z", 2},
      {"[\\D]+", "aDD1", "DD", 2},        // \D inside a class is the letter D
      {"[\\t]", "a\tb", "\t", 2},
      {"a|ab", "ab", "a"},                 // alternatives are not longest-match
      {"(a|ab)c", "abc", "abc"},
      {"a*", "aaa", "aaa"},
      {"a+?", "aaa", "a"},
      {"a*?b", "aaab", "aaab"},
      {"ab?c", "ac", "ac"},
      {"a{2}", "aaaa", "aa"},
      {"a{2,}", "aaaa", "aaaa"},
      {"a{1,3}", "aaaa", "aaa"},
      {"a{1,3}?", "aaaa", "a"},
      {"(ab){2}", "ababab", "abab"},
      {"(ab){2,}?", "ababab", "abab"},
      {"(ab)*c", "ababc", "ababc"},
      {"(ab)+", "xababy", "abab", 2},
      {"(ab)?c", "abc", "abc"},
      {"(ab)*?c", "ababc", "ababc"},
      {"x{a", "x{a", "x{a"},               // "{" not starting a count is a byte
      {"a{,2}", "a{,2}", "a{,2}"},
      {"(?i)abc", "xABC", "ABC", 2},
      {"a(?i)b", "aB", "aB"},
      {"(a(?i)b)c", "aBC", nullptr},        // the modifier ends with its group
      {"(?#note)ab", "ab", "ab"},
      {"colou?r", "color", "color"},
      {"^$", "", ""},
      {"(a)|b", "b", "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    int start = 0;
    std::string got = FirstMatch(r, c.subject, &start);
    if (!c.match) {
      EXPECT_EQ(got, "<none>");
      continue;
    }
    EXPECT_EQ(got, c.match);
    if (c.start) {
      EXPECT_EQ(start, c.start);
    }
  }
}

TEST(RegExpr, ModifiersAndExtendedSyntax) {
  TRegExpr r;
  EXPECT_FALSE(r.ModifierOn(1));
  EXPECT_TRUE(r.ModifierOn(2));
  EXPECT_TRUE(r.ModifierOn(3));
  EXPECT_TRUE(r.ModifierOn(4));
  EXPECT_FALSE(r.ModifierOn(5));
  EXPECT_FALSE(r.ModifierOn(6));

  r.SetExpression("a b  c # comment\n d");
  r.SwitchModifier(6, true);
  EXPECT_EQ(FirstMatch(r, "xabcd"), "abcd");

  r.SwitchModifier(6, false);
  r.SetExpression("a.b");
  r.SwitchModifier(3, false);  // dot stops at line breaks
  EXPECT_EQ(FirstMatch(r, "a\nb a-b"), "a-b");

  r.SwitchModifier(3, true);
  r.SetExpression("a+");
  r.SwitchModifier(4, false);  // every quantifier lazy
  EXPECT_EQ(FirstMatch(r, "aaa"), "a");

  try {
    r.SwitchModifier(7, true);
    FAIL();
  } catch (const ERegExpr& e) {
    EXPECT_EQ(e.ErrorNumber, 1013);
    EXPECT_STREQ(e.what(), "Unknown error");
  }
}

TEST(RegExpr, MultiLineAnchorsWithPairedSeparator) {
  TRegExpr r;
  r.SwitchModifier(5, true);
  const std::string s = "ab\r\ncd";
  r.SetExpression("^");
  std::vector<int> starts;
  ASSERT_TRUE(r.Exec(s));
  do starts.push_back(r.MatchStart(0));
  while (r.ExecNext());
  EXPECT_EQ(starts, (std::vector<int>{1, 5}));  // after LF, never between CR and LF

  r.SetExpression("$");
  starts.clear();
  ASSERT_TRUE(r.Exec(s));
  do starts.push_back(r.MatchStart(0));
  while (r.ExecNext());
  EXPECT_EQ(starts, (std::vector<int>{3, 7}));  // before CR, not before LF

  r.SwitchModifier(5, false);
  r.SetExpression("^c");
  EXPECT_FALSE(r.Exec(s));
}

TEST(RegExpr, EmptyMatchesAdvanceOneCharacter) {
  TRegExpr r;
  r.SetExpression("x*");
  std::string subject = std::string("a") + kZhongWen;  // 1 + 2 characters, 5 bytes
  std::vector<int> starts;
  ASSERT_TRUE(r.Exec(subject));
  do starts.push_back(r.MatchStart(0));
  while (r.ExecNext());
  EXPECT_EQ(starts, (std::vector<int>{1, 2, 4, 6}));
}

TEST(RegExpr, GroupsThatDidNotTakePart) {
  TRegExpr r;
  r.SetExpression("(a)|(b)");
  ASSERT_TRUE(r.Exec("xb"));
  EXPECT_EQ(r.MatchStart(0), 2);
  EXPECT_EQ(r.MatchStart(1), -1);
  EXPECT_EQ(r.MatchLength(1), -1);
  EXPECT_EQ(r.MatchStart(2), 2);
  EXPECT_EQ(r.MatchStart(15), -1);
  EXPECT_EQ(r.MatchStart(-1), -1);
}

struct ErrCase {
  const char* expr;
  int code;
};

TEST(RegExpr, CompileErrorsCarryCodeAndPosition) {
  const ErrCase cases[] = {
      {"(ab", 103},  {"ab)", 104},    {"a**", 107},     {"a{2}*", 107},   {"(^)*", 106},
      {"(^)+", 106}, {"\\xZZ", 108},  {"[z-a]", 109},   {"[a\\", 110},    {"\\x4", 111},
      {"\\x{4", 111}, {"\\x{123}", 112}, {"[ab", 113},  {"*a", 115},      {"{2}a", 115},      {"a|*", 115},
      {"ab\\", 116}, {"a{123456789}", 122}, {"a{3,2}", 124}, {"(?#abc", 125}, {"(?q)", 127},
      {"(?i", 127},  {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", 102},
  };
  for (const ErrCase& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    try {
      r.CompileExpression();
      ADD_FAILURE() << "compiled";
    } catch (const ERegExpr& e) {
      EXPECT_EQ(e.ErrorNumber, c.code);
      EXPECT_EQ(r.LastErrorCode, c.code);
      std::string msg = e.what();
      EXPECT_EQ(msg, r.ErrorText(c.code) + " (pos " + std::to_string(e.ExpressionOffset) + ")");
      EXPECT_FALSE(r.IsCompiled());
    }
  }
}

TEST(RegExpr, BracesFromZeroCountAsWidth) {
  // A brace range that allows a repetition has width, so a group built on one
  // takes a quantifier; an iteration that matched nothing is never repeated.
  const Case cases[] = {
      {"(a{0,2})+", "aaa", "aaa", 1},
      {"(a{0,2})+", "bbb", "", 1},
      {"(a{0,2})*b", "aaab", "aaab", 1},
      {"(a{0,2}b{0,1})+c", "xabaac", "abaac", 2},
      {"(a{0,2}){2,3}x", "aaaaax", "aaaaax", 1},
      {"(a{0,1}|b)+c", "abbac", "abbac", 1},
      {"(a{0,2})+?b", "aab", "aab", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    int start = 0;
    EXPECT_EQ(FirstMatch(r, c.subject, &start), c.match);
    EXPECT_EQ(start, c.start);
  }
  // Braces that allow no repetition, and a star, still leave a group without width.
  for (const char* expr : {"(a{0})*", "(a{0,0})+", "(a*)+", "(a{0}){2}"}) {
    SCOPED_TRACE(expr);
    TRegExpr r;
    r.SetExpression(expr);
    try {
      r.CompileExpression();
      ADD_FAILURE() << "compiled";
    } catch (const ERegExpr& e) {
      EXPECT_EQ(e.ErrorNumber, 106);
    }
  }
}

TEST(RegExpr, ExecErrors) {
  TRegExpr r;
  auto code = [&](auto fn) {
    try {
      fn();
    } catch (const ERegExpr& e) {
      return e.ErrorNumber;
    }
    return 0;
  };
  EXPECT_EQ(code([&] { r.CompileExpression(); }), 1003);
  EXPECT_EQ(r.ErrorText(1003), "TRegExpr(exec): Not Assigned Expression Property");
  r.SetExpression("a");
  EXPECT_EQ(code([&] { r.ExecNext(); }), 1007);
  EXPECT_EQ(code([&] { r.ExecPos(1); }), 1005);
  r.Exec("a");
  EXPECT_EQ(code([&] { r.ExecPos(0); }), 1006);
  EXPECT_FALSE(r.ExecPos(3));
  EXPECT_EQ(code([&] { r.SetLinePairedSeparator("aa"); }), 128);
  EXPECT_EQ(code([&] { r.SetLinePairedSeparator("abc"); }), 128);
  r.SetLinePairedSeparator("");
  EXPECT_EQ(r.GetLinePairedSeparator(), "");
  EXPECT_EQ(r.ErrorText(4711), "Unknown error");
  // An emptied expression no longer serves searches with the old program.
  r.SetExpression("");
  EXPECT_EQ(code([&] { r.Exec("a"); }), 1003);
}

TEST(RegExpr, TooManyCountedLoopsAtOnce) {
  TRegExpr r;
  std::string e;
  for (int i = 0; i < 11; ++i) e += "(x|a";  // alternatives: every group takes a counted loop
  e += "b";
  for (int i = 0; i < 11; ++i) e += "){1,2}";
  r.SetExpression(e);
  try {
    r.Exec("aaaaaaaaaaab");
    FAIL();
  } catch (const ERegExpr& ex) {
    EXPECT_EQ(ex.ErrorNumber, 1014);
  }
}

// A novel's paragraph is one line: pasted text makes lines of 100 KB and more.
TEST(RegExpr, RepeatedGroupsMatchOverLongLines) {
  std::string ab;
  for (int i = 0; i < 50000; ++i) ab += "ab";  // 100 KB
  std::string para;                             // 1 MB of clauses ending in a full-width comma
  while (para.size() < (1u << 20)) para += "\xD6\xD0\xCE\xC4\xA3\xAC";
  std::string words;
  for (int i = 0; i < 20000; ++i) words += "key" + std::to_string(i) + "=";
  struct {
    const char* expr;
    std::string subject;
    int length;
  } cases[] = {
      {"(ab)*$", ab, int(ab.size())},
      {"(ab)+?$", ab, int(ab.size())},
      {"^(a(b))*", ab, int(ab.size())},
      {"(ab){2,}b?$", ab, int(ab.size())},
      {"([^\xA3\xAC]*\xA3\xAC)+", para, int(para.size())},
      {"(\xD6\xD0\xCE\xC4\xA3\xAC)*$", para, int(para.size())},
      {"(\\w+=)*$", words, int(words.size())},
      {"(?i)(KEY\\d+=)+", words, int(words.size())},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    ASSERT_TRUE(r.Exec(c.subject));
    EXPECT_EQ(r.MatchStart(0), 1);
    EXPECT_EQ(r.MatchLength(0), c.length);
  }
  TRegExpr r;
  r.SetExpression("^(a(b))*");
  ASSERT_TRUE(r.Exec(ab));
  EXPECT_EQ(r.MatchStart(1), int(ab.size()) - 1);  // the groups hold the last iteration
  EXPECT_EQ(r.MatchStart(2), int(ab.size()));
}

TEST(RegExpr, GroupRepeatsBacktrackAsBefore) {
  struct {
    const char* expr;
    const char* subject;
    const char* match;
    const char* group1;  // nullptr: the group did not take part
    const char* group2 = nullptr;
  } cases[] = {
      {"(ab)*ab", "ababab", "ababab", "ab"},
      {"(ab)*?ab", "ababab", "ab", nullptr},
      {"(ab){1,2}?b", "ababb", "ababb", "ab"},
      {"(a(b)c)*d", "abcabcd", "abcabcd", "abc", "b"},
      {"x(ab)*", "xy", "x", nullptr},
      {"(\\d+,)*", "12,34,5", "12,34,", "34,"},
      {"([^,]*,)+x", "a,b,x", "a,b,x", "b,"},
      {"(a*ab)*c", "aabababc", "aabababc", "ab"},     // a* can give back: not one outcome
      {"(?i)([a-z]*X)+", "aXbx!", "aXbx", "aXbx"},    // [a-z] takes X too when case is ignored
      {"(\\w+)=(\\d+,)+", "k=1,22,", "k=1,22,", "k", "22,"},
      {"(\\bab)+", "abab ab", "ab", "ab"},
      {"(\xD6\xD0\\w{0,1}\xA3\xAC)+!", "\xD6\xD0\xA3\xAC\xD6\xD0z\xA3\xAC!", "\xD6\xD0\xA3\xAC\xD6\xD0z\xA3\xAC!", "\xD6\xD0z\xA3\xAC"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    EXPECT_EQ(FirstMatch(r, c.subject), c.match);
    EXPECT_EQ(r.MatchStart(1) < 0 ? std::string("<none>") : r.Match(1), c.group1 ? c.group1 : "<none>");
    if (c.group2) {
      EXPECT_EQ(r.Match(2), c.group2);
    }
  }
}

// A group whose repetitions have one outcome each is matched by a loop; the
// same group with an alternative that never matches (byte 0 never occurs in a
// subject) keeps the general construction. Both must agree on every match.
TEST(RegExpr, GroupRepeatsAgreeWithTheGeneralLoop) {
  const char* const bodies[] = {"ab", "a", "a,", "\\d+,", "[^,]*,", "b?c", "(a)b", "a(b)?", "a*b",
                                "[ab]{2}", "\\w{0,2}c", "(?i)A", "\\ba", "a{1,2},", "a(b(c))"};
  const char* const quantifiers[] = {"*", "+", "*?", "+?", "{2}", "{1,3}", "{0,2}?", "{2,}"};
  const char* const tails[] = {"", "$", "b", "ab", "c", ","};
  const char letters[] = "abc,1";
  unsigned seed = 936;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  std::vector<std::string> subjects;
  for (int i = 0; i < 60; ++i) {
    std::string t;
    for (int k = int(next() % 12); k > 0; --k) t += letters[next() % 5];
    subjects.push_back(t);
  }
  for (const char* body : bodies)
    for (const char* q : quantifiers)
      for (const char* tail : tails) {
        const std::string plain = std::string("(") + body + ")" + q + tail;
        const std::string general = std::string("(") + body + "|\\x{})" + q + tail;
        TRegExpr a, b;
        a.SetExpression(plain);
        b.SetExpression(general);
        for (const std::string& t : subjects) {
          SCOPED_TRACE(plain + " in " + t);
          bool ma = a.Exec(t), mb = b.Exec(t);
          ASSERT_EQ(ma, mb);
          if (!ma) continue;
          for (int g = 0; g < 4; ++g) {
            EXPECT_EQ(a.MatchStart(g), b.MatchStart(g)) << g;
            EXPECT_EQ(a.MatchLength(g), b.MatchLength(g)) << g;
          }
        }
      }
}

TEST(RegExpr, DeepBacktrackingFailsCleanly) {
  TRegExpr r;
  // A group with alternatives keeps a way back into every repetition; over a
  // very long subject that ends in an error instead of exhausting the stack.
  r.SetExpression("(a|ab)*$");
  std::string s;
  for (int i = 0; i < 50000; ++i) s += "ab";
  try {
    r.Exec(s);
    FAIL();
  } catch (const ERegExpr& e) {
    EXPECT_EQ(e.ErrorNumber, 1016);
  }
  EXPECT_TRUE(r.Exec("ababab"));
  EXPECT_EQ(r.MatchLength(0), 6);
}

TEST(RegExpr, TemplatesAndReplaceAll) {
  TRegExpr r;
  r.SetExpression("(\\w+)@(\\w+)");
  ASSERT_TRUE(r.Exec("mail joe@host now"));
  struct {
    const char* tpl;
    const char* out;
  } cases[] = {
      {"$2:$1", "host:joe"}, {"${1}x", "joex"},   {"$&", "joe@host"}, {"${&}!", "joe@host!"},
      {"\\$1", "$1"},        {"a\\nb", "anb"},    {"$9", ""},         {"$x", "$x"},
      {"$", "$"},            {"${", "${"},        {"", ""},           {"$14$15", ""},
  };
  for (auto& c : cases) EXPECT_EQ(r.ExpandTemplate(c.tpl), c.out) << c.tpl;

  r.SetExpression("(\\d+)");
  EXPECT_EQ(r.ReplaceAll("a1b22c", "<$1>", true), "a<1>b<22>c");
  EXPECT_EQ(r.ReplaceAll("a1b22c", "<$1>", false), "a<$1>b<$1>c");
  EXPECT_EQ(r.ReplaceAll("abc", "x", true), "abc");
}

// The text is CP936: a double-byte character is one character to the engine.
TEST(RegExpr, DoubleByteTextIsNeverSplit) {
  struct {
    const char* expr;
    std::string subject;
    const char* match;
  } cases[] = {
      // an ASCII letter never matches the second byte of a character
      {"a", std::string(kTrailA) + "a", "a"},
      {"A", std::string(kTrailA), nullptr},
      // case folding leaves second bytes alone
      {"(?i)A", std::string(kTrailA) + "xA", "A"},
      // dot, negated classes and \W take a whole character
      {"x.y", "x\xD6\xD0y", "x\xD6\xD0y"},
      {"x..y", "x\xD6\xD0y", nullptr},
      {"[^a]+", std::string(kZhongWen) + "a", kZhongWen},
      {"\\W+", std::string(kZhongWen) + "a", kZhongWen},
      // a quantifier after a Chinese literal applies to the whole character
      {"\xCE\xC4+", "\xD6\xD0\xCE\xC4\xCE\xC4", "\xCE\xC4\xCE\xC4"},
      // second bytes equal to metacharacters are literal in the pattern
      {kTrailBs, std::string("x") + kTrailBs, kTrailBs},
      {kTrailBar, std::string("x") + kTrailBar, kTrailBar},
      // class members and ranges of Chinese characters
      {"[\xD6\xD0\xCE\xC4]+", "\xBD\xDA\xD6\xD0\xCE\xC4\xB5\xE3", kZhongWen},
      {"[\xB0\xA1-\xBD\xDA]+", "\xD6\xD0\xBD\xDA\xB5\xE3", "\xBD\xDA\xB5\xE3"},
      // a byte escape can't end a match inside a character
      {"\\xD6", "\xD6\xD0", nullptr},
      // \b: a character before a letter is not a word byte even when its trail byte is one
      {"\\ba", std::string(kTrailA) + "a", "a"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.expr);
    TRegExpr r;
    r.SetExpression(c.expr);
    std::string got = FirstMatch(r, c.subject);
    EXPECT_EQ(got, c.match ? c.match : "<none>");
  }

  TRegExpr r;
  r.SetExpression("a");
  EXPECT_EQ(r.ReplaceAll(std::string(kTrailA) + "a" + kTrailA, "b", false), std::string(kTrailA) + "b" + kTrailA);

  // In a replacement template a character whose second byte is "\\" (as in
  // "\x9C\x5C") is kept whole and escapes nothing, also after a backslash.
  r.SetExpression("(\\d+)");
  ASSERT_TRUE(r.Exec("x12y"));
  struct {
    std::string tpl, out;
  } templates[] = {
      {"\x9C\x5C$1", "\x9C\x5C" "12"},
      {"$1\x9C\x5C", "12\x9C\x5C"},
      {std::string(kTrailBs) + "\\$1", std::string(kTrailBs) + "$1"},
      {"$\x9C\x5C$1", "$\x9C\x5C" "12"},
      {std::string("\\") + kTrailBs + "$1", std::string(kTrailBs) + "12"},
  };
  for (auto& c : templates) EXPECT_EQ(r.ExpandTemplate(c.tpl), c.out) << c.tpl;
  EXPECT_EQ(r.ReplaceAll("\xD6\xD0" "7", "\x9C\x5C$1", true), "\xD6\xD0\x9C\x5C" "7");
}

TEST(RegExpr, InvalidChineseRangeIsRejected) {
  TRegExpr r;
  r.SetExpression("[\xB5\xE3-\xB0\xA1]");
  EXPECT_THROW(r.CompileExpression(), ERegExpr);
  r.SetExpression("[a-\xB0\xA1]");
  EXPECT_THROW(r.CompileExpression(), ERegExpr);
}

TEST(RegExpr, CyrillicRangeModifier) {
  TRegExpr r;
  r.SetExpression("[\\xE0-\\xFF]");
  ASSERT_TRUE(r.Exec("\xB8"));
  r.SwitchModifier(2, false);
  EXPECT_FALSE(r.Exec("\xB8"));
}

}  // namespace

namespace {

// Random expressions from the metacharacters either compile and search or
// raise ERegExpr; nothing else.
TEST(RegExpr, RandomExpressionsCompileOrRaise) {
  const char alphabet[] = "ab()[]{}|*+?^$.\\-,0123dswDbBx\xD6\xD0#";
  unsigned seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int i = 0; i < 3000; ++i) {
    std::string e;
    int len = 1 + int(next() % 10);
    for (int k = 0; k < len; ++k) e += alphabet[next() % (sizeof(alphabet) - 1)];
    TRegExpr r;
    r.SetExpression(e);
    try {
      r.Exec("ab{1,2}a-b\xD6\xD0" "0123 dd");
    } catch (const ERegExpr&) {
    }
  }
}

}  // namespace
