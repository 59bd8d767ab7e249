#include "editor/regexpr.h"

#include <cstring>

#include "editor/txtdbcs.h"
#include "platform/rtl/strings.h"

using namespace txtdbcs;

namespace {

enum : std::uint8_t {
  O_END, O_BOL, O_EOL, O_BOLML, O_EOLML, O_ANY, O_ANYML, O_BOUND, O_NOTBOUND,
  O_DIGIT, O_NOTDIGIT, O_SPACE, O_NOTSPACE, O_WORD, O_NOTWORD, O_EXACTLY, O_EXACTLYCI,
  O_CLASS, O_BRANCH, O_BACK, O_NOTHING, O_COMMENT, O_REPEAT, O_LOOPENTRY, O_LOOP,
  O_OPEN, O_CLOSE, O_BSUB, O_BSUBCI, O_CHECK,
  // Repeat of a group that matches in at most one way (see IsDeterministicGroup):
  // minimum, maximum and greediness as O_REPEAT; the group follows the node and
  // ends in O_GROUPREPEATEND, which is also the node's next.
  O_GROUPREPEAT, O_GROUPREPEATEND
};

// Piece flags of the parser.
constexpr int F_HASWIDTH = 1;  // counts as consuming input (a brace range 0..n included)
constexpr int F_SIMPLE = 2;    // one character wide: may take a repeat node
constexpr int F_NONEMPTY = 4;  // never matches the empty string

// Modifier bits, in the order of the modifier indexes 1..6.
constexpr int M_I = 1, M_R = 2, M_S = 4, M_G = 8, M_M = 16, M_X = 32;

// Stack the matcher may use for one attempt before it gives up with an error.
constexpr std::ptrdiff_t MaxStackBytes = 3 << 20;
const char* const MetaChars = "^$.[()|?+*\\{";

bool IsMeta(unsigned char c) { return c && std::strchr(MetaChars, c) != nullptr; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

struct TRegExpr::Node {
  std::uint8_t op = O_END;
  bool greedy = true;
  int next = 0;  // relative offset of the next node, 0 = none
  int a = 0;     // literal/class index, group number, repeat minimum
  int b = 0;     // repeat maximum
  int c = 0;     // loop: relative offset back to the loop body
};

TRegExpr::TRegExpr() : OtherCase(&TRegExpr::DefaultOtherCase), FModifiers(M_R | M_S | M_G) {
  for (int i = 0; i < NSUBEXP; ++i) FStart[i] = FEnd[i] = -1;
}

TRegExpr::~TRegExpr() = default;

unsigned char TRegExpr::DefaultOtherCase(unsigned char c) {
  unsigned char u = AsciiUpper(c);
  return u != c ? u : AsciiLower(c);
}

void TRegExpr::SetExpression(const AnsiString& Value) {
  if (Value == FExpression && IsCompiled()) return;
  FExpression = Value;
  // An expression that was replaced never keeps serving searches, not even
  // when the new text is empty.
  FProgram.clear();
  FCompiledModifiers = -1;
}

bool TRegExpr::ModifierOn(int Index) const {
  if (Index < 1 || Index > 6) const_cast<TRegExpr*>(this)->RaiseError(1013);
  return (FModifiers >> (Index - 1)) & 1;
}

void TRegExpr::SwitchModifier(int Index, bool Value) {
  if (Index < 1 || Index > 6) RaiseError(1013);
  int bit = 1 << (Index - 1);
  FModifiers = Value ? (FModifiers | bit) : (FModifiers & ~bit);
}

AnsiString TRegExpr::GetLinePairedSeparator() const {
  if (FPairA < 0) return AnsiString();
  return AnsiString{char(FPairA), char(FPairB)};
}

void TRegExpr::SetLinePairedSeparator(const AnsiString& Text) {
  int a = -1, b = -1;
  if (Text.size() == 2 && Text[0] != Text[1]) {
    a = (unsigned char)Text[0];
    b = (unsigned char)Text[1];
  } else if (!Text.empty()) {
    RaiseError(128);
  }
  if (a != FPairA || b != FPairB) {
    FPairA = a;
    FPairB = b;
    FProgram.clear();
  }
}

AnsiString TRegExpr::ErrorText(int ErrorCode) const {
  switch (ErrorCode) {
    case 0: return "No errors";
    case 100: return "TRegExpr(comp): Null Argument";
    case 102: return "TRegExpr(comp): ParseReg Too Many ()";
    case 103: case 104: return "TRegExpr(comp): ParseReg Unmatched ()";
    case 105: return "TRegExpr(comp): ParseReg Junk On End";
    case 106: return "TRegExpr(comp): *+ Operand Could Be Empty";
    case 107: return "TRegExpr(comp): Nested *?+";
    case 108: return "TRegExpr(comp): Bad Hex Digit";
    case 109: return "TRegExpr(comp): Invalid [] Range";
    case 110: return "TRegExpr(comp): Parse Atom Trailing \\";
    case 111: return "TRegExpr(comp): No Hex Code After \\x";
    case 112: return "TRegExpr(comp): Hex Code After \\x Is Too Big";
    case 113: return "TRegExpr(comp): Unmatched []";
    case 114: return "TRegExpr(comp): Internal Urp";
    case 115: return "TRegExpr(comp): ?+*{ Follows Nothing";
    case 116: return "TRegExpr(comp): Trailing \\";
    case 119: return "TRegExpr(comp): RarseAtom Internal Disaster";
    case 122: return "TRegExpr(comp): BRACES Argument Too Big";
    case 124: return "TRegExpr(comp): BRACE Min Param Greater then Max";
    case 125: return "TRegExpr(comp): Unclosed (?#Comment)";
    case 127: return "TRegExpr(comp): Urecognized Modifier";
    case 128: return "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case 1000: return "TRegExpr(exec): RegRepeat Called Inappropriately";
    case 1001: return "TRegExpr(exec): MatchPrim Memory Corruption";
    case 1002: return "TRegExpr(exec): MatchPrim Corrupted Pointers";
    case 1003: return "TRegExpr(exec): Not Assigned Expression Property";
    case 1004: return "TRegExpr(exec): Corrupted Program";
    case 1005: return "TRegExpr(exec): No Input String Specified";
    case 1006: return "TRegExpr(exec): Offset Must Be Greater Then 0";
    case 1007: return "TRegExpr(exec): ExecNext Without Exec[Pos]";
    case 1014: return "TRegExpr(exec): Loop Stack Exceeded";
    case 1015: return "TRegExpr(exec): Loop Without LoopEntry !";
    case 1016: return "TRegExpr(exec): Match Recursion Too Deep";
    default: return "Unknown error";
  }
}

void TRegExpr::RaiseError(int ErrorCode) {
  LastErrorCode = ErrorCode;
  AnsiString msg = ErrorText(ErrorCode);
  if (ErrorCode < 1000) msg += " (pos " + std::to_string(FParse) + ")";
  ERegExpr e(msg);
  e.ErrorNumber = ErrorCode;
  e.ExpressionOffset = int(FParse);
  throw e;
}

void TRegExpr::Fail(int code) {
  FProgram.clear();
  FLiterals.clear();
  FClasses.clear();
  RaiseError(code);
}

// ---------------------------------------------------------------- compiling

void TRegExpr::CompileExpression() {
  if (FExpression.empty()) {
    FParse = 0;
    RaiseError(1003);
  }
  Compile();
}

int TRegExpr::Emit(std::uint8_t op) {
  Node n;
  n.op = op;
  FProgram.push_back(n);
  return int(FProgram.size()) - 1;
}

int TRegExpr::NextOf(int p) const {
  int off = FProgram[p].next;
  return off == 0 ? -1 : p + off;
}

void TRegExpr::Tail(int p, int target) {
  int scan = p;
  for (;;) {
    int n = NextOf(scan);
    if (n < 0) break;
    scan = n;
  }
  FProgram[scan].next = target - scan;
}

void TRegExpr::OpTail(int p, int target) {
  if (p < 0 || FProgram[p].op != O_BRANCH) return;
  Tail(p + 1, target);
}

void TRegExpr::InsertBefore(int at, std::uint8_t op) {
  Node n;
  n.op = op;
  FProgram.insert(FProgram.begin() + at, n);
}

void TRegExpr::SkipExtended() {
  if (!(FCompileFlags & M_X)) return;
  const std::size_t n = FExpression.size();
  while (FParse < n) {
    unsigned char c = FExpression[FParse];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++FParse;
    } else if (c == '#') {
      while (FParse < n && FExpression[FParse] != '\r' && FExpression[FParse] != '\n') ++FParse;
      while (FParse < n && (FExpression[FParse] == '\r' || FExpression[FParse] == '\n')) ++FParse;
    } else {
      break;
    }
  }
}

// Reads the escaped character at FParse (just after the backslash) and
// returns its byte, or a double-byte code above 255.
int TRegExpr::ParseEscapeByte() {
  const std::size_t n = FExpression.size();
  const auto* s = reinterpret_cast<const unsigned char*>(FExpression.data());
  unsigned char c = s[FParse];
  switch (c) {
    case 't': ++FParse; return 9;
    case 'n': ++FParse; return 10;
    case 'r': ++FParse; return 13;
    case 'f': ++FParse; return 12;
    case 'a': ++FParse; return 7;
    case 'e': ++FParse; return 27;
    case 'x': {
      ++FParse;
      if (FParse < n && s[FParse] == '{') {
        ++FParse;
        int v = 0, digits = 0;
        for (;;) {
          if (FParse >= n) Fail(111);
          if (s[FParse] == '}') break;
          int h = HexDigitValue(static_cast<char>(s[FParse]));
          if (h < 0) Fail(108);
          if (++digits > 2) Fail(112);
          v = v * 16 + h;
          ++FParse;
        }
        ++FParse;
        return v;
      }
      if (FParse + 2 > n) Fail(111);
      int h1 = HexDigitValue(static_cast<char>(s[FParse]));
      if (h1 < 0) Fail(108);
      int h2 = HexDigitValue(static_cast<char>(s[FParse + 1]));
      if (h2 < 0) {
        ++FParse;
        Fail(108);
      }
      FParse += 2;
      return h1 * 16 + h2;
    }
    default:
      if (PairAt(s, n, FParse)) {
        FParse += 2;
        return (int(c) << 8) | s[FParse - 1];
      }
      ++FParse;
      return c;
  }
}

// Checks whether a brace quantifier starts at pos; fills min and max when it does.
// Numbers of more than 8 digits raise 122 when the form is otherwise valid.
static bool ReadBraces(const AnsiString& e, std::size_t pos, long long& mn, long long& mx,
                       std::size_t& endPos, bool& tooBig) {
  const std::size_t n = e.size();
  tooBig = false;
  if (pos >= n || e[pos] != '{') return false;
  std::size_t p = pos + 1, d0 = p;
  while (p < n && IsDigit(e[p])) ++p;
  if (p == d0) return false;
  std::size_t digits1 = p - d0;
  AnsiString n1 = e.substr(d0, p - d0);
  AnsiString n2;
  bool open = false, comma = false;
  if (p < n && e[p] == ',') {
    comma = true;
    ++p;
    std::size_t d1 = p;
    while (p < n && IsDigit(e[p])) ++p;
    if (p == d1) open = true;
    else n2 = e.substr(d1, p - d1);
  }
  if (p >= n || e[p] != '}') return false;
  endPos = p + 1;
  if (digits1 > 8 || n2.size() > 8) {
    tooBig = true;
    return true;
  }
  mn = std::stoll(n1);
  if (!comma) mx = mn;
  else if (open) mx = TRegExpr::MaxBracesArg;
  else mx = std::stoll(n2);
  return true;
}

bool TRegExpr::ParseInlineModifiers() {
  // FParse is on the first byte after "(?".
  const std::size_t n = FExpression.size();
  bool on = true;
  int flags = FCompileFlags;
  for (;;) {
    if (FParse >= n) Fail(127);
    unsigned char c = FExpression[FParse];
    if (c == ')') break;
    int bit = 0;
    switch (AsciiLower(c)) {
      case 'i': bit = M_I; break;
      case 'r': bit = M_R; break;
      case 's': bit = M_S; break;
      case 'g': bit = M_G; break;
      case 'm': bit = M_M; break;
      case 'x': bit = M_X; break;
      case '-':
        if (c == '-') {
          on = false;
          ++FParse;
          continue;
        }
        [[fallthrough]];
      default: Fail(127);
    }
    flags = on ? (flags | bit) : (flags & ~bit);
    ++FParse;
  }
  ++FParse;
  FCompileFlags = flags;
  return true;
}

void TRegExpr::ParseClass() {
  // FParse is just after "[".
  const std::size_t n = FExpression.size();
  const auto* s = reinterpret_cast<const unsigned char*>(FExpression.data());
  CharClass cls;
  if (FParse < n && s[FParse] == '^') {
    cls.negated = true;
    ++FParse;
  }
  auto addCode = [&](int code) {
    if (code < 256) cls.bytes.set(code);
    else cls.wide.emplace_back(std::uint16_t(code), std::uint16_t(code));
  };
  auto addSet = [&](const std::bitset<256>& set) { cls.bytes |= set; };
  bool first = true;
  for (;;) {
    if (FParse >= n) Fail(113);
    unsigned char c = s[FParse];
    if (c == ']' && !first) break;
    first = false;
    // One member: a set escape, or a single character code.
    int code = -1;
    if (c == '\\') {
      ++FParse;
      if (FParse >= n) Fail(110);
      unsigned char e = s[FParse];
      if (e == 'd') {
        std::bitset<256> d;
        for (int i = '0'; i <= '9'; ++i) d.set(i);
        addSet(d);
        ++FParse;
        continue;
      }
      if (e == 's') { addSet(FSpaceSet); ++FParse; continue; }
      if (e == 'w') { addSet(FWordSet); ++FParse; continue; }
      code = ParseEscapeByte();
    } else if (PairAt(s, n, FParse)) {
      code = (int(c) << 8) | s[FParse + 1];
      FParse += 2;
    } else {
      code = c;
      ++FParse;
    }
    // A range when "-" follows and something other than "]" or a set escape comes after it.
    if (FParse + 1 < n && s[FParse] == '-' && s[FParse + 1] != ']') {
      bool setEscape = s[FParse + 1] == '\\' && FParse + 2 < n &&
                       std::strchr("dswDSW", s[FParse + 2]) != nullptr && s[FParse + 2] != 0;
      if (!setEscape) {
        ++FParse;
        int hi;
        if (s[FParse] == '\\') {
          ++FParse;
          if (FParse >= n) Fail(110);
          hi = ParseEscapeByte();
        } else if (PairAt(s, n, FParse)) {
          hi = (int(s[FParse]) << 8) | s[FParse + 1];
          FParse += 2;
        } else {
          hi = s[FParse++];
        }
        bool wideLo = code > 255, wideHi = hi > 255;
        if (wideLo != wideHi) Fail(109);
        if (wideLo) {
          if (hi < code) Fail(109);
          cls.wide.emplace_back(std::uint16_t(code), std::uint16_t(hi));
          continue;
        }
        if ((FCompileFlags & M_R) && code == 0xE0 && hi == 0xDF) {
          for (int i = 0xC0; i <= 0xFF; ++i) cls.bytes.set(i);
          cls.bytes.set(0xA8);
          cls.bytes.set(0xB8);
          continue;
        }
        if (hi < code) Fail(109);
        for (int i = code; i <= hi; ++i) cls.bytes.set(i);
        if (FCompileFlags & M_R) {
          if (code == 0xE0 && hi == 0xFF) cls.bytes.set(0xB8);
          if (code == 0xC0 && hi == 0xDF) cls.bytes.set(0xA8);
        }
        continue;
      }
    }
    addCode(code);
  }
  ++FParse;  // past "]"
  if (FCompileFlags & M_I) {
    std::bitset<256> extra;
    for (int i = 0; i < 128; ++i)
      if (cls.bytes[i]) extra.set(OtherCase((unsigned char)i));
    cls.bytes |= extra;
  }
  FClasses.push_back(std::move(cls));
  int node = Emit(O_CLASS);
  FProgram[node].a = int(FClasses.size()) - 1;
}

int TRegExpr::ParseAtom(int& flags) {
  const std::size_t n = FExpression.size();
  const auto* s = reinterpret_cast<const unsigned char*>(FExpression.data());
  flags = 0;
  if (FParse >= n) Fail(114);
  unsigned char c = s[FParse];
  int ret;
  switch (c) {
    case '^':
      ++FParse;
      return Emit((FCompileFlags & M_M) ? O_BOLML : O_BOL);
    case '$':
      ++FParse;
      return Emit((FCompileFlags & M_M) ? O_EOLML : O_EOL);
    case '.':
      ++FParse;
      flags = F_HASWIDTH | F_SIMPLE | F_NONEMPTY;
      return Emit((FCompileFlags & M_S) ? O_ANY : O_ANYML);
    case '[':
      ++FParse;
      ret = int(FProgram.size());
      ParseClass();
      flags = F_HASWIDTH | F_SIMPLE | F_NONEMPTY;
      return ret;
    case '(':
      ++FParse;
      if (FParse < n && s[FParse] == '?') {
        ++FParse;
        if (FParse < n && s[FParse] == '#') {
          while (FParse < n && s[FParse] != ')') ++FParse;
          if (FParse >= n) Fail(125);
          ++FParse;
          return Emit(O_COMMENT);
        }
        ParseInlineModifiers();
        return Emit(O_COMMENT);
      }
      {
        int sub = 0;
        ret = ParseReg(true, sub);
        flags = sub & (F_HASWIDTH | F_NONEMPTY);
        return ret;
      }
    case '|':
    case ')':
      Fail(114);
      break;
    case '?':
    case '+':
    case '*':
      Fail(115);
      break;
    case '\\': {
      ++FParse;
      if (FParse >= n) Fail(116);
      unsigned char e = s[FParse];
      std::uint8_t op = 0xFF;
      switch (e) {
        case 'd': op = O_DIGIT; break;
        case 'D': op = O_NOTDIGIT; break;
        case 's': op = O_SPACE; break;
        case 'S': op = O_NOTSPACE; break;
        case 'w': op = O_WORD; break;
        case 'W': op = O_NOTWORD; break;
        case 'b': ++FParse; return Emit(O_BOUND);
        case 'B': ++FParse; return Emit(O_NOTBOUND);
        case 'A': ++FParse; return Emit(O_BOL);
        case 'Z': ++FParse; return Emit(O_EOL);
        default: break;
      }
      if (op != 0xFF) {
        ++FParse;
        flags = F_HASWIDTH | F_SIMPLE | F_NONEMPTY;
        return Emit(op);
      }
      if (e >= '1' && e <= '9') {
        ++FParse;
        ret = Emit((FCompileFlags & M_I) ? O_BSUBCI : O_BSUB);
        FProgram[ret].a = e - '0';
        flags = F_HASWIDTH | F_SIMPLE;
        return ret;
      }
      int code = ParseEscapeByte();
      AnsiString lit;
      if (code > 255) {
        lit.push_back(char(code >> 8));
        lit.push_back(char(code & 0xFF));
      } else {
        lit.push_back(char(code));
      }
      FLiterals.push_back(lit);
      ret = Emit((FCompileFlags & M_I) ? O_EXACTLYCI : O_EXACTLY);
      FProgram[ret].a = int(FLiterals.size()) - 1;
      flags = F_HASWIDTH | F_SIMPLE | F_NONEMPTY;
      return ret;
    }
    case '{': {
      long long mn, mx;
      std::size_t e;
      bool big;
      if (ReadBraces(FExpression, FParse, mn, mx, e, big)) Fail(115);
    }
      [[fallthrough]];  // otherwise an ordinary byte, read as a literal run
    default: {
      // A run of literal characters; a double-byte character is taken whole.
      AnsiString run;
      std::vector<std::size_t> charAt;   // expression offset of each character
      std::vector<std::size_t> runAt;    // offset in run of each character
      for (;;) {
        SkipExtended();
        if (FParse >= n) break;
        unsigned char b = s[FParse];
        if (IsMeta(b)) {
          long long mn, mx;
          std::size_t e;
          bool big;
          if (b != '{' || ReadBraces(FExpression, FParse, mn, mx, e, big)) break;
        }
        charAt.push_back(FParse);
        runAt.push_back(run.size());
        if (PairAt(s, n, FParse)) {
          run.append(FExpression, FParse, 2);
          FParse += 2;
        } else {
          run.push_back(char(b));
          ++FParse;
        }
      }
      if (run.empty()) Fail(119);
      std::size_t save = FParse;
      SkipExtended();
      bool quant = false;
      if (FParse < n) {
        unsigned char q = s[FParse];
        long long mn, mx;
        std::size_t e;
        bool big;
        quant = q == '*' || q == '+' || q == '?' || (q == '{' && ReadBraces(FExpression, FParse, mn, mx, e, big));
      }
      FParse = save;
      if (quant && charAt.size() > 1) {
        // The quantifier applies to the last character only.
        FParse = charAt.back();
        run.resize(runAt.back());
        charAt.pop_back();
      }
      FLiterals.push_back(run);
      ret = Emit((FCompileFlags & M_I) ? O_EXACTLYCI : O_EXACTLY);
      FProgram[ret].a = int(FLiterals.size()) - 1;
      flags = F_HASWIDTH | F_NONEMPTY | (charAt.size() == 1 ? F_SIMPLE : 0);
      return ret;
    }
  }
  Fail(119);
  return -1;
}

int TRegExpr::ParsePiece(int& flags) {
  int atomFlags = 0;
  int ret = ParseAtom(atomFlags);
  SkipExtended();
  const std::size_t n = FExpression.size();
  flags = atomFlags;
  if (FParse >= n) return ret;
  unsigned char op = FExpression[FParse];
  long long mn = 0, mx = 0;
  std::size_t braceEnd = 0;
  bool big = false;
  bool braces = op == '{' && ReadBraces(FExpression, FParse, mn, mx, braceEnd, big);
  if (op != '*' && op != '+' && op != '?' && !braces) return ret;
  if (!(atomFlags & F_HASWIDTH) && op != '?') Fail(106);
  if (braces) {
    if (big) Fail(122);
    if (mn > mx) Fail(124);
    FParse = braceEnd;
  } else {
    ++FParse;
    if (op == '*') { mn = 0; mx = MaxBracesArg; }
    else if (op == '+') { mn = 1; mx = MaxBracesArg; }
    else { mn = 0; mx = 1; }
  }
  SkipExtended();
  bool lazy = false;
  if (FParse < n && FExpression[FParse] == '?') {
    lazy = true;
    ++FParse;
    SkipExtended();
  }
  bool greedy = (FCompileFlags & M_G) && !lazy;
  if (FParse < n) {
    unsigned char q = FExpression[FParse];
    long long a, b;
    std::size_t e;
    bool bg;
    if (q == '*' || q == '+' || q == '?' || (q == '{' && ReadBraces(FExpression, FParse, a, b, e, bg))) Fail(107);
  }
  // Braces count as width whenever they allow a repetition, {0,n} included; the
  // piece never matches empty only when at least one repetition is required.
  flags = (op == '+' || (braces && mx > 0)) ? F_HASWIDTH : 0;
  if (op == '+' || (braces && mn > 0)) flags |= atomFlags & F_NONEMPTY;
  if (atomFlags & F_SIMPLE) {
    InsertBefore(ret, O_REPEAT);
    FProgram[ret].a = int(mn);
    FProgram[ret].b = int(mx);
    FProgram[ret].greedy = greedy;
    return ret;
  }
  if (op != '?' && FProgram[ret].op == O_OPEN && IsDeterministicGroup(ret, NextOf(ret + 1))) {
    // Iterated in a loop by the matcher, without recursion per iteration.
    InsertBefore(ret, O_GROUPREPEAT);
    FProgram[ret].a = int(mn);
    FProgram[ret].b = int(mx);
    FProgram[ret].greedy = greedy;
    int end = Emit(O_GROUPREPEATEND);
    Tail(ret + 1, end);
    FProgram[ret].next = end - ret;
    return ret;
  }
  // The loop-back construction suits operands that always consume; one that may
  // match empty takes the counted loop, which never repeats an empty iteration.
  if (greedy && !braces && (op == '?' || (atomFlags & F_NONEMPTY))) {
    if (op == '*') {
      InsertBefore(ret, O_BRANCH);
      OpTail(ret, Emit(O_BACK));
      OpTail(ret, ret);
      Tail(ret, Emit(O_BRANCH));
      Tail(ret, Emit(O_NOTHING));
    } else if (op == '+') {
      int next = Emit(O_BRANCH);
      Tail(ret, next);
      Tail(Emit(O_BACK), ret);
      Tail(next, Emit(O_BRANCH));
      Tail(ret, Emit(O_NOTHING));
    } else {
      InsertBefore(ret, O_BRANCH);
      Tail(ret, Emit(O_BRANCH));
      int next = Emit(O_NOTHING);
      Tail(ret, next);
      OpTail(ret, next);
    }
    return ret;
  }
  // Counted loop: LOOPENTRY, body, LOOP (which jumps back to the body).
  InsertBefore(ret, O_LOOPENTRY);
  int loop = Emit(O_LOOP);
  FProgram[loop].a = int(mn);
  FProgram[loop].b = int(mx);
  FProgram[loop].greedy = greedy;
  FProgram[loop].c = (ret + 1) - loop;
  FProgram[ret].next = loop - ret;
  Tail(ret + 1, loop);
  return ret;
}

int TRegExpr::ParseBranch(int& flags) {
  const std::size_t n = FExpression.size();
  flags = 0;
  int ret = Emit(O_BRANCH);
  int chain = -1;
  for (;;) {
    SkipExtended();
    if (FParse >= n || FExpression[FParse] == '|' || FExpression[FParse] == ')') break;
    int pf = 0;
    int latest = ParsePiece(pf);
    flags |= pf & (F_HASWIDTH | F_NONEMPTY);
    if (chain >= 0) Tail(chain, latest);
    chain = latest;
  }
  if (chain < 0) Emit(O_NOTHING);
  return ret;
}

int TRegExpr::ParseReg(bool paren, int& flags) {
  const std::size_t n = FExpression.size();
  flags = F_HASWIDTH | F_NONEMPTY;
  int ret = -1, parno = 0;
  int savedFlags = FCompileFlags;
  if (paren) {
    if (FParen >= NSUBEXP) Fail(102);
    parno = FParen++;
    ret = Emit(O_OPEN);
    FProgram[ret].a = parno;
  }
  int bf = 0;
  int br = ParseBranch(bf);
  if (ret >= 0) Tail(ret, br);
  else ret = br;
  flags &= bf;
  while (FParse < n && FExpression[FParse] == '|') {
    ++FParse;
    br = ParseBranch(bf);
    Tail(ret, br);
    flags &= bf;
  }
  int ender = Emit(paren ? O_CLOSE : O_END);
  FProgram[ender].a = parno;
  Tail(ret, ender);
  for (int b = paren ? ret + 1 : ret; b >= 0; b = NextOf(b)) {
    if (FProgram[b].op != O_BRANCH) break;
    OpTail(b, ender);
  }
  if (paren) {
    if (FParse >= n || FExpression[FParse] != ')') Fail(103);
    ++FParse;
    FCompileFlags = savedFlags;
  } else if (FParse < n) {
    Fail(FExpression[FParse] == ')' ? 104 : 105);
  }
  return ret;
}

namespace {
bool IsZeroWidthTest(std::uint8_t op) {
  return op == O_BOL || op == O_EOL || op == O_BOLML || op == O_EOLML || op == O_BOUND || op == O_NOTBOUND;
}
bool IsOneCharNode(std::uint8_t op) {
  return op == O_ANY || op == O_ANYML || op == O_DIGIT || op == O_NOTDIGIT || op == O_SPACE ||
         op == O_NOTSPACE || op == O_WORD || op == O_NOTWORD || op == O_CLASS;
}
}  // namespace

// Whether a single-character operand can match the character c0 (w = 1) or the
// double-byte character c0 c1 (w = 2), as MatchOne would; true when unsure.
bool TRegExpr::OperandMayMatch(int operand, unsigned char c0, unsigned char c1, int w) const {
  const Node& nd = FProgram[operand];
  switch (nd.op) {
    case O_DIGIT: return w == 1 && IsDigit(c0);
    case O_NOTDIGIT: return w == 2 || !IsDigit(c0);
    case O_SPACE: return w == 1 && FSpaceSet[c0];
    case O_NOTSPACE: return w == 2 || !FSpaceSet[c0];
    case O_WORD: return w == 1 && FWordSet[c0];
    case O_NOTWORD: return w == 2 || !FWordSet[c0];
    case O_CLASS: {
      const CharClass& cl = FClasses[nd.a];
      bool in = false;
      if (w == 2) {
        const std::uint16_t code = std::uint16_t((c0 << 8) | c1);
        for (const auto& r : cl.wide) in = in || (code >= r.first && code <= r.second);
      } else {
        in = cl.bytes[c0];
      }
      return in != cl.negated;
    }
    case O_EXACTLY:
    case O_EXACTLYCI: {
      const AnsiString& lit = FLiterals[nd.a];
      if (int(lit.size()) != w) return false;
      const auto l0 = (unsigned char)lit[0];
      if (w == 2) return l0 == c0 && (unsigned char)lit[1] == c1;
      if (nd.op == O_EXACTLY) return l0 == c0;
      return AsciiLower(l0) == AsciiLower(c0) || OtherCase(l0) == c0;
    }
    default: return true;
  }
}

// A repeat of a single-character operand followed, past zero-width nodes only,
// by a literal whose first character the operand never matches: the literal can
// only match where the repetition stopped by itself, so giving back repetitions
// never helps and the repeat has one outcome.
bool TRegExpr::RepeatCannotGiveBack(int repeat, int stop) const {
  int n = NextOf(repeat);
  while (n >= 0 && n != stop) {
    const std::uint8_t op = FProgram[n].op;
    if (op == O_BRANCH) {
      const int alt = NextOf(n);
      if (alt >= 0 && FProgram[alt].op == O_BRANCH) return false;
      n = n + 1;
    } else if (op == O_NOTHING || op == O_COMMENT || op == O_OPEN || op == O_CLOSE || IsZeroWidthTest(op)) {
      n = NextOf(n);
    } else if (op == O_EXACTLY || op == O_EXACTLYCI) {
      const AnsiString& lit = FLiterals[FProgram[n].a];
      const auto* l = reinterpret_cast<const unsigned char*>(lit.data());
      const int operand = repeat + 1;
      if (PairAt(l, lit.size(), 0)) return !OperandMayMatch(operand, l[0], l[1], 2);
      // A lone lead byte may pair with what follows it in the text.
      if (lit.empty() || IsLead(l[0])) return false;
      unsigned char alts[4] = {l[0], l[0], l[0], l[0]};
      if (op == O_EXACTLYCI) {
        alts[1] = OtherCase(l[0]);
        alts[2] = AsciiLower(l[0]);
        alts[3] = AsciiUpper(l[0]);
      }
      for (unsigned char c : alts)
        if (IsLead(c) || OperandMayMatch(operand, c, 0, 1)) return false;
      return true;
    } else {
      return false;
    }
  }
  return false;
}

// True when the group that opens at `open` matches in at most one way from any
// position, so that its repetitions can run one after the other without
// keeping a way back into each: one alternative of literals, single characters,
// zero-width tests, repeats of a fixed count or that cannot give back, and
// nested groups of the same kind. Back references (which depend on earlier
// captures) and every other construction make a group ineligible. `stop` is
// the outermost group's closing node.
bool TRegExpr::IsDeterministicGroup(int open, int stop) const {
  const int branch = open + 1;
  if (FProgram[branch].op != O_BRANCH) return false;
  const int close = NextOf(branch);
  if (close < 0 || FProgram[close].op != O_CLOSE || FProgram[close].a != FProgram[open].a) return false;
  for (int s = branch + 1; s != close;) {
    if (s < 0) return false;
    const Node& nd = FProgram[s];
    if (IsOneCharNode(nd.op) || IsZeroWidthTest(nd.op) || nd.op == O_EXACTLY || nd.op == O_EXACTLYCI ||
        nd.op == O_NOTHING || nd.op == O_COMMENT) {
      s = NextOf(s);
    } else if (nd.op == O_REPEAT) {
      const std::uint8_t operand = FProgram[s + 1].op;
      if (operand == O_BSUB || operand == O_BSUBCI) return false;
      if (nd.a != nd.b && !RepeatCannotGiveBack(s, stop)) return false;
      s = NextOf(s);
    } else if (nd.op == O_OPEN) {
      if (!IsDeterministicGroup(s, stop)) return false;
      s = NextOf(NextOf(s + 1));  // past the nested group's closing node
    } else {
      return false;
    }
  }
  return true;
}

void TRegExpr::FillFirstSet(int scan, std::bitset<256>& set, int depth) {
  auto all = [&] { set.set(); };
  if (depth > 200) { all(); return; }
  while (scan >= 0) {
    const Node& nd = FProgram[scan];
    switch (nd.op) {
      case O_END: case O_BSUB: case O_BSUBCI: case O_LOOPENTRY: case O_ANY: case O_ANYML:
        all();
        return;
      case O_BOL: case O_EOL: case O_BOLML: case O_EOLML: case O_BOUND: case O_NOTBOUND:
      case O_NOTHING: case O_COMMENT: case O_OPEN: case O_CLOSE:
        scan = NextOf(scan);
        break;
      case O_BACK: case O_LOOP:
        return;
      case O_EXACTLY:
        set.set((unsigned char)FLiterals[nd.a][0]);
        return;
      case O_EXACTLYCI: {
        unsigned char c = FLiterals[nd.a][0];
        set.set(c);
        set.set(OtherCase(c));
        return;
      }
      case O_CLASS: {
        const CharClass& cl = FClasses[nd.a];
        if (cl.negated) set |= ~cl.bytes;
        else set |= cl.bytes;
        if (cl.negated || !cl.wide.empty())
          for (int i = 0x81; i <= 0xFE; ++i) set.set(i);
        set.reset(0);
        return;
      }
      case O_DIGIT:
        for (int i = '0'; i <= '9'; ++i) set.set(i);
        return;
      case O_SPACE: set |= FSpaceSet; return;
      case O_WORD: set |= FWordSet; return;
      case O_NOTDIGIT: case O_NOTSPACE: case O_NOTWORD: {
        std::bitset<256> x;
        if (nd.op == O_NOTDIGIT)
          for (int i = '0'; i <= '9'; ++i) x.set(i);
        else x = nd.op == O_NOTSPACE ? FSpaceSet : FWordSet;
        set |= ~x;
        set.reset(0);
        return;
      }
      case O_BRANCH: {
        int nx = NextOf(scan);
        if (nx < 0 || FProgram[nx].op != O_BRANCH) {
          scan = scan + 1;
          break;
        }
        for (int b = scan; b >= 0 && FProgram[b].op == O_BRANCH; b = NextOf(b)) FillFirstSet(b + 1, set, depth + 1);
        return;
      }
      case O_REPEAT:
        FillFirstSet(scan + 1, set, depth + 1);
        if (nd.a > 0) return;
        scan = NextOf(scan);
        break;
      case O_GROUPREPEAT:
        FillFirstSet(scan + 1, set, depth + 1);
        if (nd.a > 0) return;
        scan = NextOf(NextOf(scan));  // past the group's end marker
        break;
      default:  // O_GROUPREPEATEND: reached through a group that may match empty
        all();
        return;
    }
  }
}

void TRegExpr::AnalyseStart() {
  FFirst.reset();
  FillFirstSet(1, FFirst, 0);
  FStartByte = -1;
  FAnchored = false;
  FMust.clear();
  if (FProgram[1].op != O_BRANCH) return;
  int nx = NextOf(1);
  if (nx >= 0 && FProgram[nx].op == O_BRANCH) return;  // several top-level alternatives
  int first = 2;
  if (FProgram[first].op == O_EXACTLY) FStartByte = (unsigned char)FLiterals[FProgram[first].a][0];
  else if (FProgram[first].op == O_BOL) FAnchored = true;
  bool repeats = false;
  int best = -1;
  std::size_t bestLen = 0;
  for (int scan = first; scan >= 0 && FProgram[scan].op != O_END; scan = NextOf(scan)) {
    std::uint8_t op = FProgram[scan].op;
    if (op == O_REPEAT || op == O_LOOPENTRY || op == O_BRANCH || op == O_GROUPREPEAT) repeats = true;
    if (op == O_EXACTLY && FLiterals[FProgram[scan].a].size() >= bestLen) {
      best = scan;
      bestLen = FLiterals[FProgram[scan].a].size();
    }
  }
  if (repeats && best >= 0) FMust = FLiterals[FProgram[best].a];
}

void TRegExpr::Compile() {
  FProgram.clear();
  FLiterals.clear();
  FClasses.clear();
  FSpaceSet.reset();
  for (unsigned char c : SpaceChars) FSpaceSet.set(c);
  FWordSet.reset();
  for (unsigned char c : WordChars) FWordSet.set(c);
  FParse = 0;
  if (FExpression.empty()) Fail(100);
  FCompileFlags = FModifiers;
  FParen = 1;
  Emit(O_CHECK);
  int flags = 0;
  ParseReg(false, flags);
  AnalyseStart();
  FCompiledModifiers = FModifiers;
}

// ---------------------------------------------------------------- matching

bool TRegExpr::IsWordByteAt(int pos) const {
  if (pos < 0 || pos >= FLen) return false;
  if (FTrail[pos]) return false;
  if (pos + 1 < FLen && FTrail[pos + 1]) return false;
  return FWordSet[FS[pos]];
}

bool TRegExpr::IsSeparatorAt(int pos) const {
  if (pos >= FLen) return false;
  unsigned char c = FS[pos];
  if (FSepSet[c]) return true;
  return FPairA >= 0 && c == FPairA && pos + 1 < FLen && FS[pos + 1] == FPairB;
}

bool TRegExpr::AtLineStart(int pos) const {
  if (pos == 0) return true;
  unsigned char c = FS[pos - 1];
  if (FPairA >= 0 && c == FPairA && pos < FLen && FS[pos] == FPairB) return false;
  if (FSepSet[c]) return true;
  return FPairA >= 0 && c == FPairB && pos >= 2 && FS[pos - 2] == FPairA;
}

bool TRegExpr::AtLineEnd(int pos) const {
  if (pos >= FLen) return true;
  unsigned char c = FS[pos];
  if (FPairA >= 0 && pos > 0 && FS[pos - 1] == FPairA && c == FPairB) return false;
  if (FSepSet[c]) return true;
  return FPairA >= 0 && c == FPairA && pos + 1 < FLen && FS[pos + 1] == FPairB;
}

// Matches one character of a single-character operand at pos; advances pos.
bool TRegExpr::MatchOne(int operand, int& pos) const {
  if (pos >= FLen) return false;
  const Node& nd = FProgram[operand];
  const int w = Width(pos);
  unsigned char c = FS[pos];
  switch (nd.op) {
    case O_ANY:
      pos += w;
      return true;
    case O_ANYML:
      if (w == 1 && IsSeparatorAt(pos)) return false;
      pos += w;
      return true;
    case O_DIGIT:
      if (w != 1 || !IsDigit(c)) return false;
      ++pos;
      return true;
    case O_NOTDIGIT:
      if (w == 1 && IsDigit(c)) return false;
      pos += w;
      return true;
    case O_SPACE:
    case O_WORD: {
      const auto& set = nd.op == O_SPACE ? FSpaceSet : FWordSet;
      if (w != 1 || !set[c]) return false;
      ++pos;
      return true;
    }
    case O_NOTSPACE:
    case O_NOTWORD: {
      const auto& set = nd.op == O_NOTSPACE ? FSpaceSet : FWordSet;
      if (w == 1 && set[c]) return false;
      pos += w;
      return true;
    }
    case O_CLASS: {
      const CharClass& cl = FClasses[nd.a];
      bool in;
      if (w == 2) {
        std::uint16_t code = std::uint16_t((c << 8) | FS[pos + 1]);
        in = false;
        for (const auto& r : cl.wide)
          if (code >= r.first && code <= r.second) {
            in = true;
            break;
          }
      } else {
        in = cl.bytes[c];
      }
      if (in == cl.negated) return false;
      pos += w;
      return true;
    }
    case O_EXACTLY:
    case O_EXACTLYCI: {
      const AnsiString& lit = FLiterals[nd.a];
      if (int(lit.size()) != w) return false;
      if (w == 2) {
        if ((unsigned char)lit[0] != c || (unsigned char)lit[1] != FS[pos + 1]) return false;
      } else if (nd.op == O_EXACTLY ? (unsigned char)lit[0] != c
                                     : AsciiLower((unsigned char)lit[0]) != AsciiLower(c) &&
                                           OtherCase((unsigned char)lit[0]) != c) {
        return false;
      }
      pos += w;
      return true;
    }
    default:
      return false;
  }
}

int TRegExpr::CountRepeat(int operand, int maxCount, int& endPos) {
  int pos = FPos;
  int count = 0;
  while (count < maxCount && MatchOne(operand, pos)) ++count;
  endPos = pos;
  return count;
}

bool TRegExpr::MatchBackref(int operand, int& pos) const {
  const Node& nd = FProgram[operand];
  int g = nd.a;
  if (FStart[g] < 0 || FEnd[g] < FStart[g]) return false;
  int len = FEnd[g] - FStart[g];
  if (pos + len > FLen) return false;
  const unsigned char* cap = FS + FStart[g];
  const unsigned char* at = FS + pos;
  if (nd.op == O_BSUB) {
    if (std::memcmp(cap, at, len) != 0) return false;
  } else {
    for (int i = 0; i < len;) {
      if (PairAt(cap, len, i)) {
        if (cap[i] != at[i] || cap[i + 1] != at[i + 1]) return false;
        i += 2;
      } else {
        if (cap[i] != at[i] && OtherCase(cap[i]) != at[i]) return false;
        ++i;
      }
    }
  }
  pos += len;
  return true;
}

// Matches one node that neither branches nor loops at pos: a zero-width test,
// a single character, a literal or a back reference. Advances pos on success.
bool TRegExpr::MatchStep(int scan, int& pos) const {
  const Node& nd = FProgram[scan];
  switch (nd.op) {
    case O_BOL: return pos == 0;
    case O_EOL: return pos == FLen;
    case O_BOLML: return AtLineStart(pos);
    case O_EOLML: return AtLineEnd(pos);
    case O_BOUND:
    case O_NOTBOUND: {
      int prev = pos == 0 ? -1 : StepBack(pos);
      bool before = prev >= 0 && IsWordByteAt(prev);
      bool after = IsWordByteAt(pos);
      return (before != after) == (nd.op == O_BOUND);
    }
    case O_ANY: case O_ANYML: case O_DIGIT: case O_NOTDIGIT: case O_SPACE: case O_NOTSPACE:
    case O_WORD: case O_NOTWORD: case O_CLASS:
      return MatchOne(scan, pos);
    case O_EXACTLY: {
      const AnsiString& lit = FLiterals[nd.a];
      if (pos + int(lit.size()) > FLen || std::memcmp(FS + pos, lit.data(), lit.size()) != 0) return false;
      pos += int(lit.size());
      return true;
    }
    case O_EXACTLYCI: {
      const AnsiString& lit = FLiterals[nd.a];
      const int n = int(lit.size());
      if (pos + n > FLen) return false;
      const auto* l = reinterpret_cast<const unsigned char*>(lit.data());
      const unsigned char* t = FS + pos;
      for (int i = 0; i < n;) {
        if (PairAt(l, n, i)) {
          if (l[i] != t[i] || l[i + 1] != t[i + 1]) return false;
          i += 2;
        } else {
          if (l[i] != t[i] && OtherCase(l[i]) != t[i]) return false;
          ++i;
        }
      }
      pos += n;
      return true;
    }
    case O_BSUB:
    case O_BSUBCI:
      return MatchBackref(scan, pos);
    default:
      return false;
  }
}

// One iteration of a deterministic group (the node after O_GROUPREPEAT) from
// pos, recording the captures of its groups. Iterative: nested groups are
// walked in line and repeats inside have a single outcome.
bool TRegExpr::RunGroupOnce(int scan, int& pos) {
  for (;;) {
    const Node& nd = FProgram[scan];
    switch (nd.op) {
      case O_GROUPREPEATEND:
        return true;
      case O_OPEN:
        FStart[nd.a] = pos;
        break;
      case O_CLOSE:
        FEnd[nd.a] = pos;
        break;
      case O_BRANCH:  // the single alternative of a group
        ++scan;
        continue;
      case O_NOTHING:
      case O_COMMENT:
        break;
      case O_REPEAT: {
        int count = 0;
        while (count < nd.b && MatchOne(scan + 1, pos)) ++count;
        if (count < nd.a) return false;
        break;
      }
      default:
        if (!MatchStep(scan, pos)) return false;
        break;
    }
    scan = NextOf(scan);
  }
}

// The group after O_GROUPREPEAT has one way to match from each position, so
// its iterations run in a loop; only the rest of the expression recurses, once
// per count tried. The end of each iteration is kept on FIterEnds above `base`
// (nested repeats stack theirs above and take them off again). Kept out of
// MatchPrim so that its frame, taken once per recursion, stays small.
[[gnu::noinline]] bool TRegExpr::MatchGroupRepeat(int scan, int next) {
  const Node& nd = FProgram[scan];
  const int body = scan + 1;
  const int mn = nd.a, mx = nd.b;
  const int start = FPos;
  int savedStart[NSUBEXP], savedEnd[NSUBEXP];
  std::memcpy(savedStart, FStart, sizeof FStart);
  std::memcpy(savedEnd, FEnd, sizeof FEnd);
  const std::size_t base = FIterEnds.size();
  struct Unwind {
    std::vector<int>& v;
    std::size_t n;
    ~Unwind() { v.resize(n); }
  } unwind{FIterEnds, base};
  FIterEnds.push_back(start);
  int count = 0;
  bool stalled = false;  // the last iteration matched empty: every further one would too
  auto restore = [&] {
    std::memcpy(FStart, savedStart, sizeof FStart);
    std::memcpy(FEnd, savedEnd, sizeof FEnd);
  };
  auto iterate = [&]() -> bool {
    if (stalled || count >= mx) return false;
    int p = FIterEnds.back();
    if (!RunGroupOnce(body, p)) return false;
    if (p == FIterEnds.back()) {
      stalled = true;
      count = std::max(count + 1, mn);
    } else {
      FIterEnds.push_back(p);
      ++count;
    }
    return true;
  };
  // The rest of the expression after k iterations, with the captures of the kth.
  auto rest = [&](int k) -> bool {
    restore();
    int p = start;
    if (k > 0) {
      std::size_t i = base + std::size_t(k - 1);
      p = FIterEnds[std::min(i, FIterEnds.size() - 1)];
      RunGroupOnce(body, p);
    }
    FPos = p;
    return MatchPrim(next);
  };
  if (nd.greedy) {
    while (iterate()) {
    }
    if (count >= mn)
      for (int k = count; k >= mn; --k)
        if (rest(k)) return true;
  } else {
    bool ok = true;
    while (ok && count < mn) ok = iterate();
    if (ok) {
      for (;;) {
        if (rest(count)) return true;
        if (!iterate()) break;
      }
    }
  }
  restore();
  FPos = start;
  return false;
}

namespace {
struct DepthGuard {
  int& d;
  explicit DepthGuard(int& depth) : d(depth) { ++d; }
  ~DepthGuard() { --d; }
};
}  // namespace

bool TRegExpr::MatchPrim(int scan) {
  DepthGuard guard(FRecursion);
  const char* here = static_cast<const char*>(__builtin_frame_address(0));
  if (FRecursion == 1) FStackBase = here;
  else if (FStackBase - here > MaxStackBytes || here - FStackBase > MaxStackBytes) RaiseError(1016);
  while (scan >= 0) {
    const Node& nd = FProgram[scan];
    int next = NextOf(scan);
    switch (nd.op) {
      case O_END:
        // A match never ends inside a double-byte character.
        return !FTrail[FPos];
      case O_BOL: case O_EOL: case O_BOLML: case O_EOLML: case O_BOUND: case O_NOTBOUND:
      case O_ANY: case O_ANYML: case O_DIGIT: case O_NOTDIGIT: case O_SPACE: case O_NOTSPACE:
      case O_WORD: case O_NOTWORD: case O_CLASS: case O_EXACTLY: case O_EXACTLYCI: case O_BSUB: case O_BSUBCI:
        if (!MatchStep(scan, FPos)) return false;
        break;
      case O_NOTHING: case O_COMMENT: case O_BACK: case O_CHECK: case O_GROUPREPEATEND:
        break;
      case O_OPEN: {
        int old = FStart[nd.a];
        FStart[nd.a] = FPos;
        if (MatchPrim(next)) return true;
        FStart[nd.a] = old;
        return false;
      }
      case O_CLOSE: {
        int old = FEnd[nd.a];
        FEnd[nd.a] = FPos;
        if (MatchPrim(next)) return true;
        FEnd[nd.a] = old;
        return false;
      }
      case O_BRANCH: {
        if (next < 0 || FProgram[next].op != O_BRANCH) {
          next = scan + 1;  // a single alternative: no choice to make
          break;
        }
        int save = FPos;
        for (int b = scan; b >= 0 && FProgram[b].op == O_BRANCH; b = NextOf(b)) {
          if (MatchPrim(b + 1)) return true;
          FPos = save;
        }
        return false;
      }
      case O_REPEAT: {
        const int operand = scan + 1;
        const int mn = nd.a, mx = nd.b;
        const bool backref = FProgram[operand].op == O_BSUB || FProgram[operand].op == O_BSUBCI;
        int step = 0;
        if (backref) {
          int g = FProgram[operand].a;
          if (FStart[g] < 0 || FEnd[g] < FStart[g]) return mn == 0 ? MatchPrim(next) : false;
          step = FEnd[g] - FStart[g];
          if (step == 0) return MatchPrim(next);  // repeating an empty capture consumes nothing
        }
        int nextLit = -1;
        if (next >= 0 && FProgram[next].op == O_EXACTLY) nextLit = (unsigned char)FLiterals[FProgram[next].a][0];
        const int start = FPos;
        if (nd.greedy) {
          int count = 0, pos = start;
          if (backref) {
            while (count < mx && MatchBackref(operand, pos)) ++count;
          } else {
            while (count < mx && MatchOne(operand, pos)) ++count;
          }
          if (count < mn) return false;
          for (;;) {
            if (nextLit < 0 || (pos < FLen && FS[pos] == nextLit)) {
              FPos = pos;
              if (MatchPrim(next)) return true;
            }
            if (count == mn) break;
            --count;
            pos = backref ? pos - step : StepBack(pos);
          }
          FPos = start;
          return false;
        }
        int count = 0, pos = start;
        for (; count < mn; ++count)
          if (!(backref ? MatchBackref(operand, pos) : MatchOne(operand, pos))) return false;
        for (;;) {
          if (nextLit < 0 || (pos < FLen && FS[pos] == nextLit)) {
            FPos = pos;
            if (MatchPrim(next)) return true;
          }
          if (count >= mx) break;
          if (!(backref ? MatchBackref(operand, pos) : MatchOne(operand, pos))) break;
          ++count;
        }
        FPos = start;
        return false;
      }
      case O_GROUPREPEAT:
        return MatchGroupRepeat(scan, next);
      case O_LOOPENTRY: {
        if (FLoopDepth >= LoopStackMax) RaiseError(1014);
        int d = FLoopDepth++;
        FLoopCount[d] = 0;
        FLoopPos[d] = -1;
        bool ok = MatchPrim(next);  // next is the LOOP node
        FLoopDepth = d;
        return ok;
      }
      case O_LOOP: {
        if (FLoopDepth <= 0) RaiseError(1015);
        const int d = FLoopDepth - 1;
        const int body = scan + nd.c;
        const int count = FLoopCount[d], lastPos = FLoopPos[d];
        const int save = FPos;
        auto iterate = [&]() -> bool {
          FLoopCount[d] = count + 1;
          FLoopPos[d] = FPos;
          if (MatchPrim(body)) return true;
          FLoopCount[d] = count;
          FLoopPos[d] = lastPos;
          FPos = save;
          return false;
        };
        auto leave = [&]() -> bool {
          FLoopDepth = d;
          if (MatchPrim(next)) return true;
          FLoopDepth = d + 1;
          FLoopCount[d] = count;
          FLoopPos[d] = lastPos;
          FPos = save;
          return false;
        };
        if (count < nd.a) return iterate();
        // An iteration that consumed nothing is not repeated.
        bool mayIterate = count < nd.b && FPos != lastPos;
        if (nd.greedy) {
          if (mayIterate && iterate()) return true;
          return leave();
        }
        if (leave()) return true;
        return mayIterate && iterate();
      }
      default:
        RaiseError(1001);
    }
    scan = next;
  }
  RaiseError(1002);
  return false;
}

bool TRegExpr::TryAt(int pos) {
  for (int i = 0; i < NSUBEXP; ++i) FStart[i] = FEnd[i] = -1;
  FPos = pos;
  FLoopDepth = 0;
  FRecursion = 0;
  FIterEnds.clear();
  if (!MatchPrim(1)) return false;
  FStart[0] = pos;
  FEnd[0] = FPos;
  return true;
}

bool TRegExpr::SearchFrom(int Offset) {
  for (int i = 0; i < NSUBEXP; ++i) FStart[i] = FEnd[i] = -1;
  FLastStart = FLastEnd = -1;
  if (!IsCompiled() || FCompiledModifiers != FModifiers) {
    if (FExpression.empty()) {
      FParse = 0;
      RaiseError(1003);
    }
    Compile();
  }
  if (FProgram.empty() || FProgram[0].op != O_CHECK) RaiseError(1004);
  FSepSet.reset();
  for (unsigned char c : LineSeparators) FSepSet.set(c);
  if (!FHasInput) RaiseError(1005);
  if (Offset < 1) RaiseError(1006);
  if (Offset > FLen + 1) return false;
  int start = Offset - 1;
  if (FTrail[start]) ++start;  // never start inside a double-byte character
  if (!FMust.empty()) {
    const void* hit = nullptr;
    if (start < FLen)
      hit = memmem(FS + start, FLen - start, FMust.data(), FMust.size());
    if (!hit) return false;
  }
  bool found = false;
  if (FAnchored) {
    found = TryAt(start);
  } else if (FStartByte >= 0) {
    for (int p = start; p < FLen;) {
      const void* hit = std::memchr(FS + p, FStartByte, FLen - p);
      if (!hit) break;
      p = int(static_cast<const unsigned char*>(hit) - FS);
      if (!FTrail[p] && TryAt(p)) {
        found = true;
        break;
      }
      ++p;
    }
  } else {
    for (int p = start; p <= FLen; ++p) {
      if (FTrail[p] || !FFirst[FS[p]]) continue;
      if (TryAt(p)) {
        found = true;
        break;
      }
    }
  }
  if (!found) {
    for (int i = 0; i < NSUBEXP; ++i) FStart[i] = FEnd[i] = -1;
    return false;
  }
  FLastStart = FStart[0];
  FLastEnd = FEnd[0];
  return true;
}

bool TRegExpr::Exec(const AnsiString& Input) {
  FInput = Input;
  std::size_t nul = FInput.find('\0');
  if (nul != AnsiString::npos) FInput.resize(nul);
  FS = reinterpret_cast<const unsigned char*>(FInput.c_str());
  FLen = int(FInput.size());
  MarkTrailBytes(FS, FInput.size(), FTrail);
  FHasInput = true;
  return SearchFrom(1);
}

bool TRegExpr::ExecPos(int Offset) { return SearchFrom(Offset); }

bool TRegExpr::ExecNext() {
  if (FLastEnd < 0) RaiseError(1007);
  int offset = FLastEnd + 1;
  if (FLastEnd == FLastStart) offset += FLastEnd < FLen ? Width(FLastEnd) : 1;
  return SearchFrom(offset);
}

int TRegExpr::MatchStart(int Index) const {
  if (Index < 0 || Index >= NSUBEXP || !FHasInput || FStart[Index] < 0 || FEnd[Index] < 0) return -1;
  return FStart[Index] + 1;
}

int TRegExpr::MatchLength(int Index) const {
  if (Index < 0 || Index >= NSUBEXP || !FHasInput || FStart[Index] < 0 || FEnd[Index] < 0) return -1;
  return FEnd[Index] - FStart[Index];
}

AnsiString TRegExpr::Match(int Index) const {
  int s = MatchStart(Index);
  if (s < 0) return AnsiString();
  return FInput.substr(s - 1, MatchLength(Index));
}

int TRegExpr::SubExprMatchCount() const {
  int last = -1;
  for (int i = 0; i < NSUBEXP; ++i)
    if (FStart[i] >= 0 && FEnd[i] >= 0) last = i;
  return last;
}

AnsiString TRegExpr::ExpandTemplate(const AnsiString& Template) {
  if (!IsCompiled() || !FHasInput) RaiseError(1005);
  AnsiString out;
  const std::size_t n = Template.size();
  auto append = [&](int g) {
    if (g >= 0 && g < NSUBEXP && FStart[g] >= 0 && FEnd[g] >= 0)
      out.append(FInput, FStart[g], FEnd[g] - FStart[g]);
  };
  const auto* t = reinterpret_cast<const unsigned char*>(Template.data());
  for (std::size_t i = 0; i < n;) {
    // A double-byte character is copied whole: its second byte may equal "\\"
    // or "$" and is no escape then.
    if (PairAt(t, n, i)) {
      out.append(Template, i, 2);
      i += 2;
      continue;
    }
    char c = Template[i];
    if (c == '\\' && i + 1 < n) {
      const std::size_t w = CharWidth(t, n, i + 1);
      out.append(Template, i + 1, w);
      i += 1 + w;
      continue;
    }
    if (c == '$' && i + 1 < n) {
      char d = Template[i + 1];
      if (IsDigit(d)) {
        std::size_t j = i + 1;
        long long g = 0;
        while (j < n && IsDigit(Template[j])) {
          if (g < 1000) g = g * 10 + (Template[j] - '0');
          ++j;
        }
        append(int(g));
        i = j;
        continue;
      }
      if (d == '&') {
        append(0);
        i += 2;
        continue;
      }
      if (d == '{') {
        std::size_t j = i + 2;
        if (j + 1 < n && Template[j] == '&' && Template[j + 1] == '}') {
          append(0);
          i = j + 2;
          continue;
        }
        long long g = 0;
        std::size_t d0 = j;
        while (j < n && IsDigit(Template[j])) {
          if (g < 1000) g = g * 10 + (Template[j] - '0');
          ++j;
        }
        if (j > d0 && j < n && Template[j] == '}') {
          append(int(g));
          i = j + 1;
          continue;
        }
      }
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

AnsiString TRegExpr::ReplaceAll(const AnsiString& Input, const AnsiString& Replacement, bool UseSubstitution) {
  AnsiString out;
  std::size_t prev = 0;
  if (Exec(Input)) {
    do {
      std::size_t s = std::size_t(MatchStart(0) - 1);
      out.append(Input, prev, s - prev);
      out += UseSubstitution ? ExpandTemplate(Replacement) : Replacement;
      prev = s + std::size_t(MatchLength(0));
    } while (ExecNext());
  }
  out.append(Input, prev, AnsiString::npos);
  return out;
}
