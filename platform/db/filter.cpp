#include "platform/db/filter.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/like.h"
#include "platform/rtl/strings.h"

namespace pvdb {

namespace {

// Days since 1899-12-30 for a civil date (proleptic Gregorian).
double EncodeDays(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days1970 = static_cast<long>(era) * 146097 + doe - 719468;
  return static_cast<double>(days1970 + 25569);
}

bool ValidDate(int y, int m, int d) {
  static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  int md = mdays[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) md = 29;
  return d <= md;
}

// "yyyy-m-d", "yyyy/m/d" or "yyyy.m.d", optionally followed by "h:mm[:ss]".
bool ParseDateLiteral(const AnsiString& s, double& out) {
  int parts[6] = {0, 0, 0, 0, 0, 0};
  size_t i = 0, n = s.size();
  auto skipBlank = [&] { while (i < n && s[i] == ' ') ++i; };
  auto num = [&](int& v) {
    size_t start = i;
    long acc = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 5) acc = acc * 10 + (s[i++] - '0');
    v = static_cast<int>(acc);
    return i > start;
  };
  skipBlank();
  if (!num(parts[0])) return false;
  for (int k = 1; k < 3; ++k) {
    if (i >= n || (s[i] != '-' && s[i] != '/' && s[i] != '.')) return false;
    ++i;
    if (!num(parts[k])) return false;
  }
  skipBlank();
  if (i < n) {
    if (!num(parts[3])) return false;
    if (i >= n || s[i] != ':') return false;
    ++i;
    if (!num(parts[4])) return false;
    if (i < n && s[i] == ':') {
      ++i;
      if (!num(parts[5])) return false;
    }
    skipBlank();
    if (i != n) return false;
    if (parts[3] > 23 || parts[4] > 59 || parts[5] > 59) return false;
  }
  if (!ValidDate(parts[0], parts[1], parts[2])) return false;
  out = EncodeDays(parts[0], parts[1], parts[2]) + (parts[3] * 3600 + parts[4] * 60 + parts[5]) / 86400.0;
  return true;
}

// How deep parentheses and NOT may nest; deeper text is refused before the
// parser's recursion can exhaust the stack.
constexpr int kMaxFilterDepth = 200;

// The filter text as a message quotes it: long texts are cut, and never in the
// middle of a double-byte character, so the closing quote stays readable.
AnsiString QuotedText(const AnsiString& text) {
  constexpr size_t kMaxQuoted = 120;
  size_t end = 0;
  while (end < text.size() && end < kMaxQuoted) {
    size_t len = IsDBCSLeadByte(text[end]) ? 2 : 1;
    if (end + len > text.size()) break;
    end += len;
  }
  return "'" + text.substr(0, end) + (end < text.size() ? "...'" : "'");
}

[[noreturn]] void SyntaxError(const AnsiString& text, const AnsiString& what) {
  throw EDatabaseError("Filter expression incorrectly terminated or invalid: " + what + " in " + QuotedText(text));
}

// ---- tokens ----

enum class Tok { End, Ident, Number, String, Date, LParen, RParen, Comma, Op };

struct Token {
  Tok kind = Tok::End;
  AnsiString text;  // identifier, literal text or operator
  double num = 0;
  bool bracketed = false;  // a [name]: always a field, never a keyword
};

std::vector<Token> Tokenize(const AnsiString& s) {
  std::vector<Token> out;
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c <= ' ') { ++i; continue; }
    Token t;
    if (c == '(' || c == ')') {
      t.kind = c == '(' ? Tok::LParen : Tok::RParen;
      ++i;
    } else if (c == ',') {
      t.kind = Tok::Comma;
      t.text = ",";
      ++i;
    } else if (c == '\'' || c == '"') {
      char q = static_cast<char>(c);
      ++i;
      t.kind = Tok::String;
      bool closed = false;
      while (i < n) {
        if (IsDBCSLeadByte(s[i]) && i + 1 < n) {
          t.text += s.substr(i, 2);
          i += 2;
          continue;
        }
        if (s[i] == q) {
          if (i + 1 < n && s[i + 1] == q) { t.text += q; i += 2; continue; }
          ++i;
          closed = true;
          break;
        }
        t.text += s[i++];
      }
      if (!closed) SyntaxError(s, "unterminated string");
    } else if (c == '#') {
      size_t e = s.find('#', i + 1);
      if (e == AnsiString::npos) SyntaxError(s, "unterminated date");
      t.kind = Tok::Date;
      t.text = s.substr(i + 1, e - i - 1);
      if (!ParseDateLiteral(t.text, t.num)) SyntaxError(s, "invalid date '" + t.text + "'");
      i = e + 1;
    } else if (c == '[') {
      // "]]" inside the brackets stands for one ']'. Walked by characters: a
      // trail byte may be a ']'.
      ++i;
      t.kind = Tok::Ident;
      t.bracketed = true;
      bool closed = false;
      while (i < n) {
        if (IsDBCSLeadByte(s[i]) && i + 1 < n) {
          t.text += s.substr(i, 2);
          i += 2;
          continue;
        }
        if (s[i] == ']') {
          if (i + 1 < n && s[i + 1] == ']') { t.text += ']'; i += 2; continue; }
          ++i;
          closed = true;
          break;
        }
        t.text += s[i++];
      }
      if (!closed) SyntaxError(s, "unterminated field name");
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1]))) ||
               (c == '-' && i + 1 < n && (std::isdigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '.'))) {
      // The grammar has no subtraction: a '-' before a digit is a sign, also
      // after IN's commas and BETWEEN's keywords.
      size_t st = i;
      if (c == '-') ++i;
      while (i < n && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        size_t save = i++;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        if (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
          while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        } else {
          i = save;
        }
      }
      t.kind = Tok::Number;
      t.text = s.substr(st, i - st);
      char* endp = nullptr;
      t.num = std::strtod(t.text.c_str(), &endp);
      if (!endp || *endp) SyntaxError(s, "invalid number '" + t.text + "'");
    } else if (std::isalpha(c) || c == '_' || IsDBCSLeadByte(static_cast<Byte>(c))) {
      size_t st = i;
      while (i < n) {
        unsigned char d = static_cast<unsigned char>(s[i]);
        if (IsDBCSLeadByte(static_cast<Byte>(d))) {
          if (i + 1 >= n) SyntaxError(s, "incomplete double-byte character at the end");
          i += 2;
          continue;
        }
        if (std::isalnum(d) || d == '_') { ++i; continue; }
        break;
      }
      t.kind = Tok::Ident;
      t.text = s.substr(st, i - st);
    } else if (c == '=' ) {
      t.kind = Tok::Op; t.text = "="; ++i;
    } else if (c == '<' || c == '>' || c == '!') {
      t.kind = Tok::Op;
      t.text = static_cast<char>(c);
      ++i;
      if (i < n && (s[i] == '=' || (c == '<' && s[i] == '>'))) t.text += s[i++];
      if (t.text == "!") SyntaxError(s, "unexpected '!'");
    } else {
      SyntaxError(s, AnsiString("unexpected character '") + static_cast<char>(c) + "'");
    }
    out.push_back(std::move(t));
  }
  out.push_back(Token{});
  return out;
}

bool KeywordIs(const Token& t, const char* kw) {
  return t.kind == Tok::Ident && !t.bracketed && SameText(t.text, kw);
}

// ---- tree ----

struct Operand {
  bool isField = false;
  FilterField field;
  FilterValue literal;
};

enum class Cmp { Eq, Ne, Lt, Le, Gt, Ge };

// Brings a literal to the kind of the field it is compared with. False when it
// cannot be read that way.
bool Coerce(FilterValue& lit, FilterValue::Kind to) {
  if (lit.kind == to || lit.kind == FilterValue::Null) return true;
  switch (to) {
    case FilterValue::Number:
      if (lit.kind == FilterValue::Text) {
        double d;
        if (!TryStrToFloat(Trim(lit.text), d)) return false;
        lit.num = d;
      }
      lit.kind = FilterValue::Number;
      return true;
    case FilterValue::Date:
      if (lit.kind == FilterValue::Text) {
        double d;
        if (!ParseDateLiteral(lit.text, d)) return false;
        lit.num = d;
      }
      lit.kind = FilterValue::Date;
      return true;
    case FilterValue::Text:
      if (lit.kind == FilterValue::Number || lit.kind == FilterValue::Date) {
        lit.text = FloatToStr(lit.num);
        lit.kind = FilterValue::Text;
      }
      return true;
    default:
      return false;
  }
}

// Orders two values: false when either is null (a comparison with a null
// matches nothing); values of different kinds compare as text.
bool Order(FilterValue a, FilterValue b, bool ci, int& result) {
  if (a.kind == FilterValue::Null || b.kind == FilterValue::Null) return false;
  if ((a.kind == FilterValue::Text) != (b.kind == FilterValue::Text)) {
    Coerce(a, FilterValue::Text);
    Coerce(b, FilterValue::Text);
  }
  if (a.kind == FilterValue::Text)
    result = ci ? CompareText(a.text, b.text) : CompareStr(a.text, b.text);
  else
    result = a.num < b.num ? -1 : (a.num > b.num ? 1 : 0);
  return true;
}

FilterValue ValueOf(const Operand& o, const FilterExpr::Reader& read) {
  return o.isField ? read(o.field.index) : o.literal;
}

class CompareNode : public FilterExpr {
 public:
  CompareNode(Operand l, Cmp op, Operand r) : l_(std::move(l)), op_(op), r_(std::move(r)) {
    // A string literal with '*' compared for (in)equality is a pattern.
    wild_ = (op_ == Cmp::Eq || op_ == Cmp::Ne) && r_.isField == false && l_.isField &&
            r_.literal.kind == FilterValue::Text && r_.literal.text.find('*') != AnsiString::npos &&
            l_.field.kind == FilterValue::Text;
  }
  bool Eval(const Reader& read, bool ci, bool patterns) const override {
    FilterValue a = ValueOf(l_, read);
    FilterValue b = ValueOf(r_, read);
    if (a.kind == FilterValue::Null || b.kind == FilterValue::Null) return false;
    if (wild_ && patterns) {
      bool m = WildcardMatch(b.text, a.text, ci);
      return op_ == Cmp::Eq ? m : !m;
    }
    int c = 0;
    if (!Order(std::move(a), std::move(b), ci, c)) return false;
    switch (op_) {
      case Cmp::Eq: return c == 0;
      case Cmp::Ne: return c != 0;
      case Cmp::Lt: return c < 0;
      case Cmp::Le: return c <= 0;
      case Cmp::Gt: return c > 0;
      case Cmp::Ge: return c >= 0;
    }
    return false;
  }

 private:
  Operand l_;
  Cmp op_;
  Operand r_;
  bool wild_ = false;
};

// x [NOT] LIKE pattern: '%' any run of characters, '_' one character. Both
// sides are read as text; a null on either side matches neither form.
class LikeNode : public FilterExpr {
 public:
  LikeNode(Operand value, Operand pattern, bool negate)
      : value_(std::move(value)), pattern_(std::move(pattern)), negate_(negate) {}
  bool Eval(const Reader& read, bool ci, bool) const override {
    FilterValue a = ValueOf(value_, read);
    FilterValue b = ValueOf(pattern_, read);
    if (a.kind == FilterValue::Null || b.kind == FilterValue::Null) return false;
    Coerce(a, FilterValue::Text);
    Coerce(b, FilterValue::Text);
    return LikeMatch(a.text, b.text, '%', '_', ci) != negate_;
  }

 private:
  Operand value_, pattern_;
  bool negate_;
};

// x [NOT] BETWEEN low AND high, both bounds included; a null anywhere matches
// neither form.
class BetweenNode : public FilterExpr {
 public:
  BetweenNode(Operand value, Operand low, Operand high, bool negate)
      : value_(std::move(value)), low_(std::move(low)), high_(std::move(high)), negate_(negate) {}
  bool Eval(const Reader& read, bool ci, bool) const override {
    const FilterValue x = ValueOf(value_, read);
    int lo = 0, hi = 0;
    if (!Order(x, ValueOf(low_, read), ci, lo) || !Order(x, ValueOf(high_, read), ci, hi)) return false;
    return (lo >= 0 && hi <= 0) != negate_;
  }

 private:
  Operand value_, low_, high_;
  bool negate_;
};

// x [NOT] IN (a, b, ...). As in SQL, a null x matches neither form, and NOT IN
// matches nothing when the list holds a null.
class InNode : public FilterExpr {
 public:
  InNode(Operand value, std::vector<Operand> list, bool negate)
      : value_(std::move(value)), list_(std::move(list)), negate_(negate) {}
  bool Eval(const Reader& read, bool ci, bool) const override {
    const FilterValue x = ValueOf(value_, read);
    if (x.kind == FilterValue::Null) return false;
    bool sawNull = false;
    for (const Operand& o : list_) {
      FilterValue v = ValueOf(o, read);
      if (v.kind == FilterValue::Null) {
        sawNull = true;
        continue;
      }
      int c = 0;
      if (Order(x, std::move(v), ci, c) && c == 0) return !negate_;
    }
    return negate_ && !sawNull;
  }

 private:
  Operand value_;
  std::vector<Operand> list_;
  bool negate_;
};

class NullNode : public FilterExpr {
 public:
  NullNode(FilterField f, bool negate) : f_(f), negate_(negate) {}
  bool Eval(const Reader& read, bool, bool) const override {
    bool isNull = read(f_.index).kind == FilterValue::Null;
    return negate_ ? !isNull : isNull;
  }

 private:
  FilterField f_;
  bool negate_;
};

class LogicNode : public FilterExpr {
 public:
  enum Kind { And, Or, Not };
  LogicNode(Kind k, std::unique_ptr<FilterExpr> a, std::unique_ptr<FilterExpr> b = nullptr)
      : k_(k), a_(std::move(a)), b_(std::move(b)) {}
  bool Eval(const Reader& read, bool ci, bool patterns) const override {
    switch (k_) {
      case And: return a_->Eval(read, ci, patterns) && b_->Eval(read, ci, patterns);
      case Or: return a_->Eval(read, ci, patterns) || b_->Eval(read, ci, patterns);
      case Not: return !a_->Eval(read, ci, patterns);
    }
    return false;
  }

 private:
  Kind k_;
  std::unique_ptr<FilterExpr> a_, b_;
};

class Parser {
 public:
  Parser(const AnsiString& text, const std::function<FilterField(const AnsiString&)>& resolve)
      : text_(text), toks_(Tokenize(text)), resolve_(resolve) {}

  std::unique_ptr<FilterExpr> Parse() {
    if (toks_.size() == 1) return nullptr;
    auto e = ParseOr();
    if (Peek().kind != Tok::End) SyntaxError(text_, "unexpected '" + Peek().text + "'");
    return e;
  }

 private:
  const Token& Peek() const { return toks_[pos_]; }
  const Token& Next() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }

  using Terms = std::vector<std::unique_ptr<FilterExpr>>;

  // Joins the terms of a chain "a AND b AND c ..." into a balanced tree, so a
  // long chain evaluates and frees without deep recursion. AND and OR are
  // associative and the leaves keep their order, so the result is the same.
  static std::unique_ptr<FilterExpr> Join(LogicNode::Kind kind, Terms& terms, size_t lo, size_t hi) {
    if (hi - lo == 1) return std::move(terms[lo]);
    size_t mid = lo + (hi - lo) / 2;
    auto l = Join(kind, terms, lo, mid);
    return std::make_unique<LogicNode>(kind, std::move(l), Join(kind, terms, mid, hi));
  }

  // Counts one level of nesting for as long as it lives.
  struct Nest {
    Parser& p;
    explicit Nest(Parser& parser) : p(parser) {
      if (p.depth_ >= kMaxFilterDepth)
        SyntaxError(p.text_, "parentheses and NOT nested too deeply (more than " + std::to_string(kMaxFilterDepth) +
                                 " levels)");
      ++p.depth_;
    }
    ~Nest() { --p.depth_; }
  };

  std::unique_ptr<FilterExpr> ParseOr() {
    Terms terms;
    terms.push_back(ParseAnd());
    while (KeywordIs(Peek(), "OR")) {
      Next();
      terms.push_back(ParseAnd());
    }
    return Join(LogicNode::Or, terms, 0, terms.size());
  }
  std::unique_ptr<FilterExpr> ParseAnd() {
    Terms terms;
    terms.push_back(ParseNot());
    while (KeywordIs(Peek(), "AND")) {
      Next();
      terms.push_back(ParseNot());
    }
    return Join(LogicNode::And, terms, 0, terms.size());
  }
  std::unique_ptr<FilterExpr> ParseNot() {
    if (KeywordIs(Peek(), "NOT")) {
      Next();
      Nest nest(*this);
      return std::make_unique<LogicNode>(LogicNode::Not, ParseNot());
    }
    return ParsePrimary();
  }
  std::unique_ptr<FilterExpr> ParsePrimary() {
    if (Peek().kind == Tok::LParen) {
      Next();
      Nest nest(*this);
      auto e = ParseOr();
      if (Peek().kind != Tok::RParen) SyntaxError(text_, "missing ')'");
      Next();
      return e;
    }
    return ParseCondition();
  }
  // A condition's locals stay out of the frames of the nesting recursion, so
  // that the deepest nesting allowed fits a small stack.
  [[gnu::noinline]] std::unique_ptr<FilterExpr> ParseCondition() {
    Operand l = ParseOperand();
    if (KeywordIs(Peek(), "IS")) {
      Next();
      bool negate = false;
      if (KeywordIs(Peek(), "NOT")) { Next(); negate = true; }
      if (!KeywordIs(Peek(), "NULL")) SyntaxError(text_, "NULL expected after IS");
      Next();
      if (!l.isField) SyntaxError(text_, "IS NULL needs a field");
      return std::make_unique<NullNode>(l.field, negate);
    }
    // x [NOT] LIKE / BETWEEN / IN
    bool negate = false;
    if (KeywordIs(Peek(), "NOT")) {
      const Token& after = toks_[pos_ + 1 < toks_.size() ? pos_ + 1 : pos_];
      if (!KeywordIs(after, "LIKE") && !KeywordIs(after, "BETWEEN") && !KeywordIs(after, "IN"))
        SyntaxError(text_, "LIKE, BETWEEN or IN expected after NOT");
      Next();
      negate = true;
    }
    if (KeywordIs(Peek(), "LIKE")) {
      Next();
      Operand pattern = ParseOperand();
      if (!l.isField) SyntaxError(text_, "LIKE needs a field");
      return std::make_unique<LikeNode>(std::move(l), std::move(pattern), negate);
    }
    if (KeywordIs(Peek(), "BETWEEN")) {
      Next();
      Operand low = ParseOperand();
      if (!KeywordIs(Peek(), "AND")) SyntaxError(text_, "AND expected after BETWEEN");
      Next();
      Operand high = ParseOperand();
      if (!l.isField) SyntaxError(text_, "BETWEEN needs a field");
      CheckLiteral(low, l.field.kind);
      CheckLiteral(high, l.field.kind);
      return std::make_unique<BetweenNode>(std::move(l), std::move(low), std::move(high), negate);
    }
    if (KeywordIs(Peek(), "IN")) {
      Next();
      if (Peek().kind != Tok::LParen) SyntaxError(text_, "'(' expected after IN");
      Next();
      std::vector<Operand> list;
      for (;;) {
        list.push_back(ParseOperand());
        if (Peek().kind == Tok::Comma) {
          Next();
          continue;
        }
        if (Peek().kind != Tok::RParen) SyntaxError(text_, "',' or ')' expected in the IN list");
        Next();
        break;
      }
      if (!l.isField) SyntaxError(text_, "IN needs a field");
      for (Operand& o : list) CheckLiteral(o, l.field.kind);
      return std::make_unique<InNode>(std::move(l), std::move(list), negate);
    }
    const Token& op = Next();
    Cmp cmp;
    if (op.kind != Tok::Op) SyntaxError(text_, "comparison expected");
    if (op.text == "=") cmp = Cmp::Eq;
    else if (op.text == "<>" || op.text == "!=") cmp = Cmp::Ne;
    else if (op.text == "<") cmp = Cmp::Lt;
    else if (op.text == "<=") cmp = Cmp::Le;
    else if (op.text == ">") cmp = Cmp::Gt;
    else if (op.text == ">=") cmp = Cmp::Ge;
    else SyntaxError(text_, "unknown operator '" + op.text + "'");
    Operand r = ParseOperand();
    if (!l.isField && r.isField) {
      std::swap(l, r);
      switch (cmp) {
        case Cmp::Lt: cmp = Cmp::Gt; break;
        case Cmp::Le: cmp = Cmp::Ge; break;
        case Cmp::Gt: cmp = Cmp::Lt; break;
        case Cmp::Ge: cmp = Cmp::Le; break;
        default: break;
      }
    }
    if (!l.isField) SyntaxError(text_, "a comparison needs a field");
    // "= NULL" and "<> NULL" test for a blank field, as IS [NOT] NULL does.
    if (!r.isField && r.literal.kind == FilterValue::Null && (cmp == Cmp::Eq || cmp == Cmp::Ne))
      return std::make_unique<NullNode>(l.field, cmp == Cmp::Ne);
    CheckLiteral(r, l.field.kind);
    return std::make_unique<CompareNode>(std::move(l), cmp, std::move(r));
  }
  // Brings a literal compared with a field of kind Kind to that kind.
  void CheckLiteral(Operand& o, FilterValue::Kind kind) {
    if (!o.isField && !Coerce(o.literal, kind))
      throw EDatabaseError("Type mismatch in expression: '" + o.literal.text + "' in " + QuotedText(text_));
  }
  Operand ParseOperand() {
    const Token& t = Next();
    Operand o;
    switch (t.kind) {
      case Tok::Ident:
        if (!t.bracketed && (SameText(t.text, "TRUE") || SameText(t.text, "FALSE"))) {
          o.literal.kind = FilterValue::Number;
          o.literal.num = SameText(t.text, "TRUE") ? 1 : 0;
          o.literal.text = t.text;
        } else if (!t.bracketed && SameText(t.text, "NULL")) {
          o.literal.kind = FilterValue::Null;
        } else {
          o.isField = true;
          o.field = resolve_(t.text);
        }
        break;
      case Tok::Number:
        o.literal.kind = FilterValue::Number;
        o.literal.num = t.num;
        o.literal.text = t.text;
        break;
      case Tok::String:
        o.literal.kind = FilterValue::Text;
        o.literal.text = t.text;
        break;
      case Tok::Date:
        o.literal.kind = FilterValue::Date;
        o.literal.num = t.num;
        o.literal.text = t.text;
        break;
      case Tok::Op:
        SyntaxError(text_, "operand expected before '" + t.text + "'");
      default:
        SyntaxError(text_, "operand expected");
    }
    return o;
  }

  AnsiString text_;
  std::vector<Token> toks_;
  size_t pos_ = 0;
  int depth_ = 0;
  const std::function<FilterField(const AnsiString&)>& resolve_;
};

}  // namespace

std::unique_ptr<FilterExpr> ParseFilter(const AnsiString& text,
                                        const std::function<FilterField(const AnsiString&)>& resolve) {
  return Parser(text, resolve).Parse();
}

bool WildcardMatch(const AnsiString& pat, const AnsiString& txt, bool ci) {
  return LikeMatch(txt, pat, '*', kNoWildcard, ci);
}

}  // namespace pvdb
