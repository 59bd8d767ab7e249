#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <new>
#include <string>

#include "platform/db/filter.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace {

// Two fields: x (a number, index 0) and tname (text, index 1).
pvdb::FilterField Resolve(const AnsiString& name) {
  if (name == "x") return {0, pvdb::FilterValue::Number};
  if (name == "tname") return {1, pvdb::FilterValue::Text};
  throw EDatabaseError("Field '" + name + "' not found");
}

pvdb::FilterValue Record(int index) {
  pvdb::FilterValue v;
  if (index == 0) {
    v.kind = pvdb::FilterValue::Number;
    v.num = 1;
  } else {
    v.kind = pvdb::FilterValue::Text;
    v.text = "\xB5\xDA\xD2\xBB";  // 第一
  }
  return v;
}

// The parser's error for Text, or "" when it parsed.
std::string ParseError(const AnsiString& text) {
  try {
    pvdb::ParseFilter(text, Resolve);
    return "";
  } catch (const EDatabaseError& e) {
    return e.Message;
  }
}

// Runs Body in a child process with a capped address space and a 1 MiB stack
// and returns what it returned. A parser that loops while piling up tokens
// then ends in an allocation failure and one that recurses without bound in a
// crash, both reported here, instead of hanging or killing the test run.
std::string RunBounded(const std::function<std::string()>& Body) {
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
  int fds[2];
  if (pipe(fds) != 0) return "<no pipe>";
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return "<no fork>";
  if (pid == 0) {
    close(fds[0]);
    rlimit lim{cap, cap};
    setrlimit(RLIMIT_AS, &lim);
    rlimit stack{rlim_t{1} << 20, rlim_t{1} << 20};
    setrlimit(RLIMIT_STACK, &stack);
    std::string out;
    try {
      out = Body();
    } catch (const std::bad_alloc&) {
      out = "<out of memory>";
    }
    for (size_t done = 0; done < out.size();) {
      ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string got;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return "<killed by signal " + std::to_string(WTERMSIG(status)) + ">";
  return got;
}

std::string Repeat(const std::string& s, int n) {
  std::string r;
  r.reserve(s.size() * static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

TEST(FilterParserTest, UntrustedTextIsRefusedWithAClearError) {
  const std::string deepParens = Repeat("(", 30000) + "x=1" + Repeat(")", 30000);
  const struct {
    const char* name;
    std::string text;
    const char* error;  // a part of the message
  } cases[] = {
      {"lone lead byte", "\xD5", "incomplete double-byte character"},
      {"name cut inside a character", "tname = \xB5\xDA\xD2\xBB\xD5", "incomplete double-byte character"},
      {"string cut inside a character", "tname = '\xB5\xDA\xD5", "unterminated string"},
      {"lead byte alone after a whole term", "x = 1 AND \xD5", "incomplete double-byte character"},
      {"30,000 parentheses", deepParens, "nested too deeply"},
      {"a million NOTs", Repeat("NOT ", 1000000) + "x=1", "nested too deeply"},
      {"NOT and parentheses together", Repeat("NOT (", 150) + "x=1" + Repeat(")", 150), "nested too deeply"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string msg = RunBounded([&] { return ParseError(c.text); });
    EXPECT_NE(msg.find(c.error), std::string::npos) << msg.substr(0, 200);
    // The message quotes only the start of a long text, and no half character.
    EXPECT_LT(msg.size(), 400u);
    EXPECT_EQ(msg.find("\xD5'"), std::string::npos);
  }
}

TEST(FilterParserTest, NestingWithinTheLimitStillParses) {
  const std::string text = Repeat("(", 200) + "x=1" + Repeat(")", 200);
  auto e = pvdb::ParseFilter(text, Resolve);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->Eval(Record, false, true));
  auto n = pvdb::ParseFilter(Repeat("NOT ", 199) + "x=1", Resolve);
  EXPECT_FALSE(n->Eval(Record, false, true));
}

TEST(FilterParserTest, LongFlatChainsParseAndEvaluate) {
  const struct {
    const char* name;
    std::string text;
    const char* result;
  } cases[] = {
      {"a million ANDs, all true", "x=1" + Repeat(" AND x=1", 999999), "true"},
      {"ANDs, the last false", "x=1" + Repeat(" AND x=1", 99998) + " AND x=2", "false"},
      {"ORs, only the last true", "x=2" + Repeat(" OR x=2", 99998) + " OR x=1", "true"},
      {"ORs of ANDs", "x=2 AND x=1" + Repeat(" OR x=2 AND x=1", 49999) + " OR x=1 AND x=1", "true"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string got = RunBounded([&]() -> std::string {
      try {
        auto e = pvdb::ParseFilter(c.text, Resolve);
        return e->Eval(Record, false, true) ? "true" : "false";
      } catch (const EDatabaseError& e) {
        return e.Message;
      }
    });
    EXPECT_EQ(got.substr(0, 200), c.result);
  }
}

TEST(FilterParserTest, ChainsKeepTheirMeaning) {
  const struct {
    const char* text;
    bool result;
  } cases[] = {
      {"x=1 AND x=1 AND x=2", false},
      {"x=2 OR x=2 OR x=1", true},
      {"x=2 AND x=1 OR x=1 AND x=1", true},
      {"x=1 AND (x=2 OR x=1) AND NOT x=2", true},
      {"NOT x=1 OR x=2 OR NOT (x=1 AND x=1)", false},
      {"tname = '\xB5\xDA*'", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto e = pvdb::ParseFilter(c.text, Resolve);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Eval(Record, false, true), c.result);
  }
}

// A few records of five fields: x (number), t (text), d (date), a field named
// "a]b" and one named "NULL" (both text). A null is a default FilterValue.
class FilterRecords : public ::testing::Test {
 protected:
  static pvdb::FilterValue Num(double v) { return {pvdb::FilterValue::Number, v, ""}; }
  static pvdb::FilterValue Txt(const AnsiString& v) { return {pvdb::FilterValue::Text, 0, v}; }
  static pvdb::FilterValue Day(int y, int m, int d) { return {pvdb::FilterValue::Date, EncodeDate(y, m, d), ""}; }
  static pvdb::FilterValue Nul() { return {}; }

  static pvdb::FilterField Resolve(const AnsiString& name) {
    if (SameText(name, "x")) return {0, pvdb::FilterValue::Number};
    if (SameText(name, "t")) return {1, pvdb::FilterValue::Text};
    if (SameText(name, "d")) return {2, pvdb::FilterValue::Date};
    if (name == "a]b") return {3, pvdb::FilterValue::Text};
    if (name == "NULL") return {4, pvdb::FilterValue::Text};
    throw EDatabaseError("Field '" + name + "' not found");
  }

  // The indexes of the records that pass Text.
  std::vector<int> Matching(const AnsiString& text, bool ci = false) {
    auto e = pvdb::ParseFilter(text, Resolve);
    std::vector<int> ids;
    for (size_t k = 0; k < records.size(); ++k)
      if (!e || e->Eval([&](int i) { return records[k][static_cast<size_t>(i)]; }, ci, true))
        ids.push_back(static_cast<int>(k));
    return ids;
  }

  std::vector<std::vector<pvdb::FilterValue>> records = {
      {Num(1), Txt("apple"), Day(2024, 1, 5), Txt("a]b-1"), Txt("n")},
      {Num(2), Txt("Apple pie"), Day(2024, 2, 10), Txt("x"), Nul()},
      {Num(3), Txt("\xB5\xDA\xD2\xBB\xD5\xC2"), Nul(), Nul(), Nul()},  // 第一章
      {Nul(), Nul(), Day(2024, 1, 31), Nul(), Nul()},
      {Num(10), Txt("a_b%c"), Nul(), Nul(), Nul()},
      {Num(5), Txt("a' or 1=1 or 'b"), Nul(), Nul(), Nul()},
  };
};

TEST_F(FilterRecords, LikeBetweenInAndNullTests) {
  const struct {
    const char* text;
    bool ci;
    std::vector<int> ids;
  } cases[] = {
      {"t LIKE 'a%'", false, {0, 4, 5}},
      {"t LIKE 'a%'", true, {0, 1, 4, 5}},
      {"t like '%PIE'", true, {1}},
      {"t LIKE 'appl_'", false, {0}},
      {"t LIKE '%'", false, {0, 1, 2, 4, 5}},
      {"t LIKE '\xB5\xDA_\xD5\xC2'", false, {2}},   // 第_章: one '_' for one hanzi
      {"t LIKE '\xB5\xDA__\xD5\xC2'", false, {}},
      {"t LIKE 'a_b%c'", false, {4}},                // '_' and '%' are wildcards here too
      {"t NOT LIKE 'a%'", false, {1, 2}},            // the null record matches neither form
      {"NOT t LIKE 'a%'", false, {1, 2, 3}},         // NOT of a failed test is true
      {"x BETWEEN 2 AND 5", false, {1, 2, 5}},
      {"x NOT BETWEEN 2 AND 5", false, {0, 4}},
      {"x BETWEEN 2 AND 5 AND t LIKE 'A%'", false, {1}},
      {"t BETWEEN 'a' AND 'b'", false, {0, 4, 5}},
      {"t BETWEEN 'a' AND 'b'", true, {0, 1, 4, 5}},
      {"d BETWEEN '2024-1-1' AND '2024-1-31'", false, {0, 3}},
      {"x IN (1, 3, 10)", false, {0, 2, 4}},
      {"x NOT IN (1, 3, 10)", false, {1, 5}},
      {"x IN (1, NULL)", false, {0}},
      {"x IN (-1, 2, -3.5e0, 3)", false, {1, 2}},
      {"x BETWEEN -5 AND 2", false, {0, 1}},
      {"x > -1 AND x<-0", false, {}},
      {"x NOT IN (1, NULL)", false, {}},
      {"t IN ('apple', 'APPLE PIE')", false, {0}},
      {"t IN ('apple', 'APPLE PIE')", true, {0, 1}},
      {"x = NULL", false, {3}},
      {"NULL = x", false, {3}},
      {"x <> NULL", false, {0, 1, 2, 4, 5}},
      {"x < NULL", false, {}},
      {"t IS NULL OR x IN (2)", false, {1, 3}},
      {"[a]]b] = 'a]b-1'", false, {0}},
      {"[a]]b] LIKE 'a]%'", false, {0}},
      {"[NULL] IS NOT NULL", false, {0}},
      {"[NULL] = 'n'", false, {0}},
      // a value that reads like SQL stays one string
      {"t = 'a'' or 1=1 or ''b'", false, {5}},
      {"t = \"a' or 1=1 or 'b\"", false, {5}},
      {"t LIKE '%'' or 1=1 or ''%'", false, {5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << (c.ci ? " (case-insensitive)" : ""));
    EXPECT_EQ(Matching(c.text, c.ci), c.ids);
  }
}

TEST_F(FilterRecords, MalformedFormsAreRefused) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"x BETWEEN 1", "AND expected after BETWEEN"},
      {"x BETWEEN 1 OR 2", "AND expected after BETWEEN"},
      {"x IN ()", "operand expected"},
      {"x IN (1,)", "operand expected"},
      {"x IN (1 2)", "',' or ')' expected"},
      {"x IN 1", "'(' expected after IN"},
      {"x NOT = 1", "LIKE, BETWEEN or IN expected after NOT"},
      {"t LIKE", "operand expected"},
      {"'a' LIKE 'a'", "LIKE needs a field"},
      {"[a]]b = 'x'", "unterminated field name"},
      {"x IN (1, 'abc')", "Type mismatch"},
      {"x BETWEEN 'a' AND 2", "Type mismatch"},
      {"x = 1, 2", "unexpected ','"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      pvdb::ParseFilter(c.text, Resolve);
      ADD_FAILURE() << "parsed";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(e.Message.find(c.error), std::string::npos) << e.Message;
    }
  }
}

TEST(FilterParserTest, ABracketedNameMayEndInATrailByteThatIsABracket) {
  // "\x81\x5D" is one hanzi whose trail byte is ']'.
  const AnsiString name = "f\x81\x5D";
  auto resolve = [&](const AnsiString& n) -> pvdb::FilterField {
    if (n == name) return {0, pvdb::FilterValue::Text};
    throw EDatabaseError("Field '" + n + "' not found");
  };
  auto e = pvdb::ParseFilter("[" + name + "] = 'v'", resolve);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->Eval([](int) { return pvdb::FilterValue{pvdb::FilterValue::Text, 0, "v"}; }, false, true));
}

}  // namespace
