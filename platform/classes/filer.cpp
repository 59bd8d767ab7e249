#include "platform/classes/filer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "platform/rtl/resources.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace {

constexpr int kMaxDepth = 200;  // nesting of blocks and values a description may use

AnsiString LineText(const AnsiString& msg, int line) { return msg + " on line " + std::to_string(line); }

AnsiString Quoted(const AnsiString& s) { return "'" + s + "'"; }

// A failure while converting one value; the property reader adds where it happened.
class EValueError : public EReadError {
 public:
  EValueError(const AnsiString& msg, int line) : EReadError(msg), Line(line) {}
  const char* ClassName() const noexcept override { return "EReadError"; }
  int Line;
};

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// ---------------------------------------------------------------------------
// text -> tree

class Parser {
 public:
  explicit Parser(const AnsiString& text) : s(text) {}

  std::unique_ptr<TDescObject> Parse() {
    SkipWs();
    if (AtEnd()) Fail("Empty description");
    auto root = Object(0);
    SkipWs();
    if (!AtEnd()) Fail("Text after the final 'end'");
    return root;
  }

 private:
  const AnsiString& s;
  std::size_t pos = 0;
  int line = 1;

  bool AtEnd() const { return pos >= s.size(); }
  char Peek() const { return AtEnd() ? '\0' : s[pos]; }
  [[noreturn]] void Fail(const AnsiString& msg) const { throw EReadError(LineText(msg, line)); }

  void SkipWs() {
    while (!AtEnd()) {
      char c = s[pos];
      if (c == '\n') ++line;
      else if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') break;
      ++pos;
    }
  }

  AnsiString Ident() {
    if (!IsIdentStart(Peek())) Fail(SIdentifierExpected);
    std::size_t b = pos;
    while (!AtEnd() && IsIdentChar(s[pos])) ++pos;
    return s.substr(b, pos - b);
  }

  AnsiString DottedIdent() {
    AnsiString r = Ident();
    while (Peek() == '.') {
      ++pos;
      r += '.';
      r += Ident();
    }
    return r;
  }

  void Expect(char c) {
    SkipWs();
    if (Peek() != c) Fail(AnsiString("'") + c + "' expected");
    ++pos;
  }

  // The identifier at the position without consuming it ("" when none).
  AnsiString PeekIdent() const {
    std::size_t p = pos;
    if (p >= s.size() || !IsIdentStart(s[p])) return "";
    while (p < s.size() && IsIdentChar(s[p])) ++p;
    return s.substr(pos, p - pos);
  }

  std::unique_ptr<TDescObject> Object(int depth) {
    if (depth > kMaxDepth) Fail("Descriptions nested too deeply");
    auto obj = std::make_unique<TDescObject>();
    obj->Line = line;
    AnsiString kw = Ident();
    if (SameText(kw, "object")) obj->Kind = TDescObject::kObject;
    else if (SameText(kw, "inherited")) obj->Kind = TDescObject::kInherited;
    else if (SameText(kw, "inline")) obj->Kind = TDescObject::kInline;
    else Fail("'object' expected");
    SkipWs();
    AnsiString first = Ident();
    SkipWs();
    if (Peek() == ':') {
      ++pos;
      SkipWs();
      obj->Name = first;
      obj->ClassName = Ident();
    } else {
      obj->ClassName = first;
    }
    SkipWs();
    if (Peek() == '[') {
      ++pos;
      SkipWs();
      TDescValue v = Number();
      if (v.Type != vaInt32 || v.Int < 0 || v.Int > 0x7FFFFFFF) Fail(SNumberExpected);
      obj->Index = static_cast<int>(v.Int);
      Expect(']');
    }
    for (;;) {
      SkipWs();
      if (AtEnd()) Fail("'end' expected for " + (obj->Name.empty() ? obj->ClassName : obj->Name));
      AnsiString w = PeekIdent();
      if (w.empty()) Fail(SIdentifierExpected);
      if (SameText(w, "end")) {
        pos += w.size();
        break;
      }
      if (SameText(w, "object") || SameText(w, "inherited") || SameText(w, "inline")) {
        obj->Children.push_back(Object(depth + 1));
        continue;
      }
      obj->Props.push_back(Property(depth));
    }
    return obj;
  }

  TDescProp Property(int depth) {
    TDescProp p;
    p.Line = line;
    p.Name = DottedIdent();
    Expect('=');
    p.Value = Value(depth + 1);
    return p;
  }

  TDescValue Value(int depth) {
    if (depth > kMaxDepth) Fail("Values nested too deeply");
    SkipWs();
    if (AtEnd()) Fail("Property value expected");
    char c = Peek();
    if (c == '\'' || c == '#') return String();
    if (c == '-' || c == '+' || c == '$' || (c >= '0' && c <= '9')) return Number();
    if (c == '[') return Set();
    if (c == '(') return List(depth);
    if (c == '<') return Collection(depth);
    if (c == '{') return Binary();
    if (IsIdentStart(c)) {
      TDescValue v;
      v.Line = line;
      v.Str = DottedIdent();
      if (SameText(v.Str, "True")) v.Type = vaTrue;
      else if (SameText(v.Str, "False")) v.Type = vaFalse;
      else if (SameText(v.Str, "nil")) v.Type = vaNil;
      else v.Type = vaIdent;
      return v;
    }
    Fail(SInvalidPropertyValue);
  }

  TDescValue Number() {
    TDescValue v;
    v.Line = line;
    std::size_t b = pos;
    bool neg = false;
    if (Peek() == '-' || Peek() == '+') neg = s[pos++] == '-';
    if (Peek() == '$') {
      ++pos;
      std::size_t hb = pos;
      while (!AtEnd() && HexDigitValue(s[pos]) >= 0) ++pos;
      UInt64 u = 0;
      auto r = std::from_chars(s.data() + hb, s.data() + pos, u, 16);
      if (hb == pos || r.ec != std::errc()) Fail(SNumberExpected);
      if (u > (neg ? UInt64{1} << 63 : static_cast<UInt64>(INT64_MAX))) Fail("Number out of range");
      v.Type = vaInt32;
      v.Int = neg ? static_cast<Int64>(0 - u) : static_cast<Int64>(u);
      return v;
    }
    std::size_t db = pos;
    while (!AtEnd() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    if (db == pos) Fail(SNumberExpected);
    bool isFloat = false;
    if (Peek() == '.' && pos + 1 < s.size() && s[pos + 1] >= '0' && s[pos + 1] <= '9') {
      isFloat = true;
      ++pos;
      while (!AtEnd() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      std::size_t save = pos;
      ++pos;
      if (Peek() == '-' || Peek() == '+') ++pos;
      std::size_t eb = pos;
      while (!AtEnd() && s[pos] >= '0' && s[pos] <= '9') ++pos;
      if (eb == pos) pos = save;
      else isFloat = true;
    }
    if (isFloat) {
      AnsiString text = s.substr(b, pos - b);
      v.Type = vaExtended;
      v.Float = std::strtod(text.c_str(), nullptr);
      // Too large for a double: refused rather than read as infinity.
      if (!std::isfinite(v.Float)) Fail("Number out of range");
      // single, currency and date suffixes name the original type; the value is the same
      if (Peek() == 's' || Peek() == 'c' || Peek() == 'd') ++pos;
      return v;
    }
    UInt64 n = 0;
    auto r = std::from_chars(s.data() + db, s.data() + pos, n);
    constexpr UInt64 kMaxMagnitude = UInt64{1} << 63;
    if (r.ec != std::errc() || n > (neg ? kMaxMagnitude : kMaxMagnitude - 1)) Fail("Number out of range");
    v.Type = vaInt32;
    v.Int = neg ? static_cast<Int64>(0 - n) : static_cast<Int64>(n);
    return v;
  }

  // One or more pieces: 'text' or #code, joined directly or by +.
  TDescValue String() {
    TDescValue v;
    v.Line = line;
    struct Piece {
      bool Quoted;
      AnsiString Bytes;
      unsigned Code;
    };
    std::vector<Piece> pieces;
    bool wide = false;
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        ++pos;
        AnsiString bytes;
        for (;;) {
          if (AtEnd() || s[pos] == '\n' || s[pos] == '\r') Fail("Unterminated string");
          if (s[pos] == '\'') {
            if (pos + 1 < s.size() && s[pos + 1] == '\'') {
              bytes += '\'';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          bytes += s[pos++];
        }
        pieces.push_back({true, std::move(bytes), 0});
      } else if (c == '#') {
        ++pos;
        unsigned code = 0;
        std::size_t b = pos;
        int base = 10;
        if (Peek() == '$') {
          base = 16;
          b = ++pos;
          while (!AtEnd() && HexDigitValue(s[pos]) >= 0) ++pos;
        } else {
          while (!AtEnd() && s[pos] >= '0' && s[pos] <= '9') ++pos;
        }
        auto r = std::from_chars(s.data() + b, s.data() + pos, code, base);
        if (b == pos || r.ec != std::errc()) Fail(SNumberExpected);
        if (code > 0xFFFF) Fail("Invalid character code #" + std::to_string(code));
        if (code > 0xFF) wide = true;
        pieces.push_back({false, "", code});
      } else {
        Fail(SStringExpected);
      }
      // Directly adjacent pieces join; otherwise look for '+' after white space.
      c = Peek();
      if (c == '\'' || c == '#') continue;
      std::size_t savePos = pos;
      int saveLine = line;
      SkipWs();
      if (Peek() == '+') {
        ++pos;
        SkipWs();
        if (Peek() != '\'' && Peek() != '#') Fail(SStringExpected);
        continue;
      }
      pos = savePos;
      line = saveLine;
      break;
    }
    // Quoted text is CP936 bytes. A character code is a byte in a byte string
    // and a UTF-16 unit in a wide one; both readings are kept, and the
    // property being read decides which one it takes.
    v.Type = wide ? vaWString : vaString;
    for (auto& p : pieces) {
      if (p.Quoted) {
        v.WStr += AnsiToWide(p.Bytes);
        if (!wide) v.Str += p.Bytes;
      } else {
        v.WStr += static_cast<char16_t>(p.Code);
        if (!wide) v.Str += static_cast<char>(p.Code);
      }
    }
    return v;
  }

  TDescValue Set() {
    TDescValue v;
    v.Line = line;
    v.Type = vaSet;
    ++pos;  // '['
    SkipWs();
    if (Peek() == ']') {
      ++pos;
      return v;
    }
    for (;;) {
      SkipWs();
      v.Names.push_back(Ident());
      SkipWs();
      if (Peek() == ',') {
        ++pos;
        continue;
      }
      if (Peek() == ']') {
        ++pos;
        return v;
      }
      Fail("']' expected");
    }
  }

  TDescValue List(int depth) {
    TDescValue v;
    v.Line = line;
    v.Type = vaList;
    ++pos;  // '('
    for (;;) {
      SkipWs();
      if (AtEnd()) Fail("')' expected");
      if (Peek() == ')') {
        ++pos;
        return v;
      }
      v.Items.push_back(Value(depth + 1));
    }
  }

  TDescValue Collection(int depth) {
    TDescValue v;
    v.Line = line;
    v.Type = vaCollection;
    ++pos;  // '<'
    for (;;) {
      SkipWs();
      if (AtEnd()) Fail("'>' expected");
      if (Peek() == '>') {
        ++pos;
        return v;
      }
      AnsiString w = PeekIdent();
      if (!SameText(w, "item")) Fail("'item' expected");
      TDescItem item;
      item.Line = line;
      pos += w.size();
      for (;;) {
        SkipWs();
        if (AtEnd()) Fail("'end' expected for item");
        AnsiString p = PeekIdent();
        if (p.empty()) Fail(SIdentifierExpected);
        if (SameText(p, "end")) {
          pos += p.size();
          break;
        }
        item.Props.push_back(Property(depth + 1));
      }
      v.CollItems.push_back(std::move(item));
    }
  }

  TDescValue Binary() {
    TDescValue v;
    v.Line = line;
    v.Type = vaBinary;
    int startLine = line;
    ++pos;  // '{'
    int high = -1;
    for (;;) {
      if (AtEnd()) {
        line = startLine;
        Fail("'}' expected");
      }
      char c = s[pos++];
      if (c == '}') break;
      if (c == '\n') {
        ++line;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      int d = HexDigitValue(c);
      if (d < 0) Fail(SInvalidBinary);
      if (high < 0) {
        high = d;
      } else {
        v.Str += static_cast<char>((high << 4) | d);
        high = -1;
      }
    }
    if (high >= 0) Fail("Invalid binary value: odd number of digits");
    return v;
  }
};

// ---------------------------------------------------------------------------
// tree -> text

void AppendQuoted(AnsiString& out, const AnsiString& s) {
  if (s.empty()) {
    out += "''";
    return;
  }
  bool open = false;
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 32) {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(c);
    } else {
      if (!open) out += '\'';
      open = true;
      if (c == '\'') out += "''";
      else out += ch;
    }
  }
  if (open) out += '\'';
}

void AppendWideQuoted(AnsiString& out, const WideString& s) {
  if (s.empty()) {
    out += "''";
    return;
  }
  bool open = false;
  for (char16_t c : s) {
    if (c < 32 || c >= 127) {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(static_cast<unsigned>(c));
    } else {
      if (!open) out += '\'';
      open = true;
      if (c == u'\'') out += "''";
      else out += static_cast<char>(c);
    }
  }
  if (open) out += '\'';
}

// How a value that is no finite number is named in messages.
AnsiString NonFiniteName(double v) { return std::isnan(v) ? "NAN" : v < 0 ? "-INF" : "INF"; }

// Only finite numbers have a text the reader takes back.
void CheckFinite(double v, const AnsiString& where) {
  if (!std::isfinite(v)) {
    AnsiString msg = "Cannot store the floating-point value " + NonFiniteName(v);
    throw EWriteError(where.empty() ? msg : msg + " in " + where);
  }
}

AnsiString FloatText(double v) {
  CheckFinite(v, AnsiString());
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  AnsiString s(buf, r.ptr);
  if (s.find_first_of(".eE") == AnsiString::npos) s += ".0";  // keep it a float when read back
  return s;
}

void FormatProps(AnsiString& out, const std::vector<TDescProp>& props, int indent);

void FormatValue(AnsiString& out, const TDescValue& v, int indent) {
  AnsiString pad(static_cast<std::size_t>(indent), ' ');
  switch (v.Type) {
    case vaInt8: case vaInt16: case vaInt32: case vaInt64: out += std::to_string(v.Int); break;
    case vaExtended: case vaSingle: case vaCurrency: case vaDate: out += FloatText(v.Float); break;
    case vaString: case vaLString: case vaUTF8String: AppendQuoted(out, v.Str); break;
    case vaWString: AppendWideQuoted(out, v.WStr); break;
    case vaIdent: out += v.Str; break;
    case vaTrue: out += "True"; break;
    case vaFalse: out += "False"; break;
    case vaNil: out += "nil"; break;
    case vaNull: out += "nil"; break;
    case vaSet: {
      out += '[';
      for (std::size_t i = 0; i < v.Names.size(); ++i) {
        if (i) out += ", ";
        out += v.Names[i];
      }
      out += ']';
      break;
    }
    case vaList: {
      out += '(';
      for (const auto& item : v.Items) {
        out += '\n';
        out += pad + "  ";
        FormatValue(out, item, indent + 2);
      }
      out += ')';
      break;
    }
    case vaCollection: {
      out += '<';
      for (const auto& item : v.CollItems) {
        out += '\n' + pad + "  item\n";
        FormatProps(out, item.Props, indent + 4);
        out += pad + "  end";
      }
      out += '>';
      break;
    }
    case vaBinary: {
      out += '{';
      for (std::size_t i = 0; i < v.Str.size(); i += 32)
        out += '\n' + pad + "  " + BinToHex(v.Str.data() + i, std::min<std::size_t>(32, v.Str.size() - i));
      out += '}';
      break;
    }
  }
}

void FormatProps(AnsiString& out, const std::vector<TDescProp>& props, int indent) {
  AnsiString pad(static_cast<std::size_t>(indent), ' ');
  for (const auto& p : props) {
    out += pad + p.Name + " = ";
    FormatValue(out, p.Value, indent);
    out += '\n';
  }
}

void FormatObject(AnsiString& out, const TDescObject& o, int indent) {
  AnsiString pad(static_cast<std::size_t>(indent), ' ');
  out += pad;
  out += o.Kind == TDescObject::kInherited ? "inherited " : o.Kind == TDescObject::kInline ? "inline " : "object ";
  if (!o.Name.empty()) out += o.Name + ": ";
  out += o.ClassName;
  if (o.Index >= 0) out += " [" + std::to_string(o.Index) + "]";
  out += '\n';
  FormatProps(out, o.Props, indent + 2);
  for (const auto& c : o.Children) FormatObject(out, *c, indent + 2);
  out += pad + "end\n";
}

std::vector<std::pair<TClass, TDefinePropertiesHook>>& Hooks() {
  static std::vector<std::pair<TClass, TDefinePropertiesHook>> h;
  return h;
}

void CallDefineProperties(TPersistent* obj, TFiler* filer) {
  obj->DefineProperties(filer);
  for (auto& [cls, hook] : Hooks())
    if (obj->InheritsFrom(cls)) hook(obj, filer);
}

AnsiString StreamText(TStream* Stream) {
  Int64 n = Stream->Remaining();
  if (n > 0x7FFFFFFF) throw EReadError("Description too large");
  AnsiString text(static_cast<std::size_t>(n), '\0');
  if (n > 0) Stream->ReadBuffer(text.data(), static_cast<LongInt>(n));
  return text;
}

}  // namespace

std::unique_ptr<TDescObject> ParseDescription(const AnsiString& Text) { return Parser(Text).Parse(); }

AnsiString FormatDescription(const TDescObject& Root) {
  AnsiString out;
  FormatObject(out, Root, 0);
  return out;
}

void RegisterDefinePropertiesHook(TClass Cls, TDefinePropertiesHook Hook) { Hooks().emplace_back(Cls, std::move(Hook)); }

void ClearDefinePropertiesHooks() { Hooks().clear(); }

// ---------------------------------------------------------------------------
// TReader

TReader::TReader(const AnsiString& Text) : FText(Text) {}

TReader::TReader(TStream* Stream) : FText(StreamText(Stream)) {}

TReader::~TReader() = default;

void TReader::Error(const AnsiString& Message) const { throw EValueError(Message, FLine); }

const TDescValue& TReader::Peek() const {
  static const TDescValue none;
  if (FCursors.empty()) return none;
  const Cursor& c = FCursors.back();
  if (c.Pos >= c.Values->size()) return none;
  return (*c.Values)[c.Pos];
}

const TDescValue& TReader::Next(const char* expected) {
  if (FCursors.empty()) Error("No value to read");
  Cursor& c = FCursors.back();
  if (c.Pos >= c.Values->size()) Error(AnsiString(expected) + " expected");
  const TDescValue& v = (*c.Values)[c.Pos++];
  FLine = v.Line;
  return v;
}

TValueType TReader::NextValue() const { return Peek().Type; }

bool TReader::EndOfList() const {
  if (FCursors.empty()) return true;
  const Cursor& c = FCursors.back();
  return c.Pos >= c.Values->size();
}

void TReader::ReadListBegin() {
  const TDescValue& v = Next("List");
  if (v.Type != vaList) Error("List expected");
  FCursors.push_back({&v.Items, 0});
}

void TReader::ReadListEnd() {
  if (FCursors.size() < 2) Error("No list to end");
  if (!EndOfList()) Error("End of list expected");
  FCursors.pop_back();
}

Int64 TReader::ReadInt64() {
  const TDescValue& v = Next("Integer");
  if (v.Type != vaInt32) Error(SInvalidPropertyValue);
  return v.Int;
}

Integer TReader::ReadInteger() {
  Int64 n = ReadInt64();
  if (n < INT32_MIN || n > static_cast<Int64>(UINT32_MAX)) Error("Number out of range");
  return static_cast<Integer>(static_cast<std::uint32_t>(n));
}

bool TReader::ReadBoolean() {
  const TDescValue& v = Next("Boolean");
  if (v.Type == vaTrue) return true;
  if (v.Type == vaFalse) return false;
  Error(SInvalidPropertyValue);
}

double TReader::ReadFloat() {
  const TDescValue& v = Next("Number");
  if (v.Type == vaExtended) return v.Float;
  if (v.Type == vaInt32) return static_cast<double>(v.Int);
  Error(SInvalidPropertyValue);
}

AnsiString TReader::ReadString() {
  const TDescValue& v = Next("String");
  if (v.Type == vaString) return v.Str;
  if (v.Type == vaWString) return WideToAnsi(v.WStr);
  Error(SStringExpected);
}

WideString TReader::ReadWideString() {
  const TDescValue& v = Next("String");
  if (v.Type == vaWString || v.Type == vaString) return v.WStr;
  Error(SStringExpected);
}

AnsiString TReader::ReadIdent() {
  const TDescValue& v = Next("Identifier");
  if (v.Type == vaIdent || v.Type == vaTrue || v.Type == vaFalse || v.Type == vaNil) return v.Str;
  Error(SIdentifierExpected);
}

std::vector<AnsiString> TReader::ReadSet() {
  const TDescValue& v = Next("Set");
  if (v.Type != vaSet) Error(SInvalidPropertyValue);
  return v.Names;
}

void TReader::ReadCollection(TCollection* Collection) {
  const TDescValue& v = Next("Collection");
  if (v.Type != vaCollection) Error(SInvalidPropertyValue);
  ReadCollectionValue(Collection, v, FPropName);
}

AnsiString TReader::ReadBinary() {
  const TDescValue& v = Next("Binary value");
  if (v.Type != vaBinary) Error(SInvalidBinary);
  return v.Str;
}

void TReader::SkipValue() { Next("Value"); }

void TReader::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (FPropHandled || !FPropValue || !ReadData || !SameText(Name, FPropName)) return;
  FPropHandled = true;
  std::vector<TDescValue> one;  // the property's value as a one-element sequence
  one.push_back(*FPropValue);
  std::size_t depth = FCursors.size();
  FCursors.push_back({&one, 0});
  ReadData(this);
  if (FCursors.size() != depth + 1 || !EndOfList()) Error(SInvalidPropertyValue);
  FCursors.pop_back();
}

void TReader::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (FPropHandled || !FPropValue || !ReadData || !SameText(Name, FPropName)) return;
  FPropHandled = true;
  if (FPropValue->Type != vaBinary) Error(SInvalidBinary);
  TMemoryStream ms;
  if (!FPropValue->Str.empty())
    ms.WriteBuffer(FPropValue->Str.data(), static_cast<LongInt>(FPropValue->Str.size()));
  ms.SetPosition(0);
  ReadData(&ms);
}

void TReader::ReadCollectionValue(TCollection* Collection, const TDescValue& V, const AnsiString& Where) {
  // References waiting for the items about to go would point at freed memory.
  if (Collection->Count() > 0 && !FFixups.empty()) {
    auto ownedByItem = [Collection](TObject* obj) {
      auto* p = dynamic_cast<TPersistent*>(obj);
      for (int depth = 0; p && depth < 64; ++depth, p = p->GetOwner()) {
        auto* item = dynamic_cast<TCollectionItem*>(p);
        if (item && item->Collection() == Collection) return true;
      }
      return false;
    };
    std::erase_if(FFixups, [&](const Fixup& f) { return ownedByItem(f.Instance); });
  }
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    int i = 0;
    for (const TDescItem& item : V.CollItems) {
      TCollectionItem* ci = Collection->Add();
      ReadProperties(ci, item.Props, Where + "[" + std::to_string(i++) + "]");
    }
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

void TReader::ReadProperties(TObject* Instance, const std::vector<TDescProp>& Props, const AnsiString& Where) {
  for (const TDescProp& p : Props) ReadProperty(Instance, p, Where);
}

void TReader::ReadProperty(TObject* Instance, const TDescProp& Prop, const AnsiString& Where) {
  FLine = Prop.Line;
  AnsiString full = Where.empty() ? Prop.Name : Where + "." + Prop.Name;
  try {
    TObject* obj = Instance;
    std::size_t start = 0;
    for (;;) {
      std::size_t dot = Prop.Name.find('.', start);
      AnsiString part = Prop.Name.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start);
      const TPropInfo* info = GetPropInfo(obj, part);
      if (dot == AnsiString::npos) {
        if (info) {
          ReadPropValue(obj, info, Prop.Value, full);
        } else {
          auto* persistent = dynamic_cast<TPersistent*>(obj);
          AnsiString savedName = FPropName;
          const TDescValue* savedValue = FPropValue;
          bool savedHandled = FPropHandled;
          FPropName = part;
          FPropValue = &Prop.Value;
          FPropHandled = false;
          if (persistent) CallDefineProperties(persistent, this);
          bool handled = FPropHandled;
          FPropName = savedName;
          FPropValue = savedValue;
          FPropHandled = savedHandled;
          if (!handled) {
            AnsiString msg = SUnknownProperty;
            msg.replace(msg.find("%s"), 2, part);
            throw EValueError(msg, Prop.Line);
          }
        }
        return;
      }
      if (!info) {
        AnsiString msg = SUnknownProperty;
        msg.replace(msg.find("%s"), 2, part);
        throw EValueError(msg, Prop.Line);
      }
      if (info->Kind != tkClass) throw EValueError(SInvalidPropertyPath, Prop.Line);
      TObject* next = GetPropValueRaw(obj, info).Obj;
      if (!next) throw EValueError(SInvalidPropertyPath, Prop.Line);
      obj = next;
      start = dot + 1;
    }
  } catch (const EValueError& e) {
    throw EReadError(LineText("Error reading " + full + ": " + e.Message, e.Line ? e.Line : Prop.Line));
  } catch (const EReadError&) {
    throw;
  } catch (const Exception& e) {
    throw EReadError(LineText("Error reading " + full + ": " + e.Message, Prop.Line));
  }
}

void TReader::ReadPropValue(TObject* Instance, const TPropInfo* Info, const TDescValue& V, const AnsiString& Where) {
  FLine = V.Line;
  TPropValue pv;
  auto bad = [&]() -> void { Error(SInvalidPropertyValue); };
  auto needSetter = [&] {
    if (Info->ReadOnly()) Error(SReadOnlyProperty);
  };
  switch (Info->Kind) {
    case tkInteger: case tkInt64: {
      if (V.Type == vaInt32) pv.Ord = V.Int;
      else if (V.Type == vaIdent && Info->Idents && Info->Idents->IdentToInt(V.Str, pv.Ord)) {
      } else bad();
      if (Info->Kind == tkInteger && (pv.Ord < INT32_MIN || pv.Ord > static_cast<Int64>(UINT32_MAX)))
        Error("Number out of range");
      if (Info->Kind == tkInteger) pv.Ord = static_cast<Integer>(static_cast<std::uint32_t>(pv.Ord));
      break;
    }
    case tkChar:
      if (V.Type == vaString && V.Str.size() == 1) pv.Ord = static_cast<unsigned char>(V.Str[0]);
      else if (V.Type == vaInt32 && V.Int >= 0 && V.Int <= 255) pv.Ord = V.Int;
      else bad();
      break;
    case tkEnumeration: {
      if (V.Type != vaIdent && V.Type != vaTrue && V.Type != vaFalse) bad();
      int ord = GetEnumValue(Info->Enum(), V.Str);
      if (ord < 0) {
        const TEnumInfo* e = Info->Enum();
        Error(Quoted(V.Str) + " is not a valid " + (e ? e->TypeName : AnsiString("enumeration")) + " value");
      }
      pv.Ord = ord;
      break;
    }
    case tkSet: {
      if (V.Type != vaSet) bad();
      UInt64 mask = 0;
      for (const AnsiString& n : V.Names) {
        int ord = GetEnumValue(Info->Enum(), n);
        if (ord < 0 || ord >= 64) {
          const TEnumInfo* e = Info->Enum();
          Error(Quoted(n) + " is not a valid " + (e ? e->TypeName : AnsiString("set")) + " value");
        }
        mask |= UInt64{1} << ord;
      }
      pv.Ord = static_cast<Int64>(mask);
      break;
    }
    case tkFloat:
      if (V.Type == vaExtended) pv.Float = V.Float;
      else if (V.Type == vaInt32) pv.Float = static_cast<double>(V.Int);
      else bad();
      break;
    case tkString:
      if (V.Type == vaString) pv.Str = V.Str;
      else if (V.Type == vaWString) pv.Str = WideToAnsi(V.WStr);
      else bad();
      break;
    case tkWString:
      if (V.Type == vaWString || V.Type == vaString) pv.WStr = V.WStr;
      else bad();
      break;
    case tkClass: {
      if (V.Type == vaCollection) {
        auto* coll = dynamic_cast<TCollection*>(GetPropValueRaw(Instance, Info).Obj);
        if (!coll) bad();
        ReadCollectionValue(coll, V, Where);
        return;
      }
      needSetter();
      if (V.Type == vaNil) {
        pv.Obj = nullptr;
        break;
      }
      if (V.Type != vaIdent) bad();
      if (Info->PropClass && !Info->PropClass->InheritsFrom(TComponent::StaticClass())) bad();
      // References are resolved once the whole tree exists.
      FFixups.push_back({Instance, Info, V.Str, Where, V.Line});
      return;
    }
    case tkMethod: {
      needSetter();
      if (V.Type == vaNil) break;
      if (V.Type != vaIdent) bad();
      pv.Method = MethodByName(FLookupRoot, V.Str);
      if (!pv.Method.Assigned()) Error("Method " + Quoted(V.Str) + " not found");
      if (pv.Method.Signature != Info->Signature) Error("Method " + Quoted(V.Str) + " has an incompatible parameter list");
      break;
    }
    case tkVariant:
      switch (V.Type) {
        case vaInt32:
          if (V.Int >= INT32_MIN && V.Int <= INT32_MAX) pv.Var = Variant(static_cast<int>(V.Int));
          else pv.Var = Variant(static_cast<long long>(V.Int));
          break;
        case vaExtended: pv.Var = Variant(V.Float); break;
        case vaString: pv.Var = Variant(V.Str); break;
        case vaWString: pv.Var = Variant(V.WStr); break;
        case vaTrue: pv.Var = Variant(true); break;
        case vaFalse: pv.Var = Variant(false); break;
        case vaIdent:
          if (SameText(V.Str, "Null")) pv.Var = Variant::Null();
          else if (SameText(V.Str, "Unassigned")) pv.Var = Variant();
          else bad();
          break;
        default: bad();
      }
      break;
    default:
      Error(AnsiString("Invalid property type: ") + Info->Name);
  }
  needSetter();
  Info->Set(Instance, pv);
}

TComponent* TReader::FindReference(const AnsiString& Ref) const { return FindNestedComponent(FLookupRoot, Ref); }

void TReader::ResolveFixups() {
  // Each fix-up is taken off the list before it is applied, so a failure leaves
  // nothing to apply twice.
  std::vector<Fixup> fixups;
  fixups.swap(FFixups);
  for (const Fixup& f : fixups) {
    TComponent* c = FindReference(f.Ref);
    AnsiString where = "Error reading " + f.Where + ": ";
    if (!c) throw EReadError(LineText(where + "Component " + Quoted(f.Ref) + " not found", f.Line));
    if (f.Prop->PropClass && !c->InheritsFrom(f.Prop->PropClass))
      throw EReadError(LineText(where + "A " + c->ClassName() + " cannot be assigned to a " + f.Prop->PropClass->Name +
                                    " property",
                                f.Line));
    TPropValue pv;
    pv.Obj = c;
    try {
      f.Prop->Set(f.Instance, pv);
    } catch (const Exception& e) {
      throw EReadError(LineText(where + e.Message, f.Line));
    }
  }
}

TComponent* TReader::ReadComponent(const TDescObject& Node) {
  FLine = Node.Line;
  AnsiString label = Node.Name.empty() ? Node.ClassName : Node.Name;
  auto fail = [&](const AnsiString& msg) -> void { throw EReadError(LineText(msg, Node.Line)); };
  TComponent* owner = FOwner ? FOwner : FRoot;
  TComponent* comp = nullptr;
  if (Node.Kind != TDescObject::kObject && !Node.Name.empty()) comp = owner->FindComponent(Node.Name);
  if (Node.Kind == TDescObject::kInherited && !comp) fail("Ancestor for " + Quoted(label) + " not found");
  if (!comp) {
    TClass cls = GetClass(Node.ClassName);
    if (!cls) {
      AnsiString msg = SClassNotFound;
      msg.replace(msg.find("%s"), 2, Node.ClassName);
      fail(msg);
    }
    if (!cls->InheritsFrom(TComponent::StaticClass())) fail(Node.ClassName + " is not a component class");
    TObject* obj = nullptr;
    try {
      obj = CreateObject(cls, owner);
    } catch (const Exception& e) {
      fail("Error creating " + label + ": " + e.Message);
    }
    comp = dynamic_cast<TComponent*>(obj);
    if (!comp) {
      delete obj;
      fail(Node.ClassName + " is not a component class");
    }
    FCreated.push_back(comp);
    comp->FComponentState << csLoading << csReading;
    if (Node.Kind == TDescObject::kInline) comp->SetInline(true);
    try {
      comp->SetName(Node.Name);
    } catch (const Exception& e) {
      fail("Error reading " + label + ": " + e.Message);
    }
  } else {
    comp->FComponentState << csLoading << csReading;
  }
  if (FParent && comp->HasParent()) comp->SetParentComponent(FParent);
  if (std::find(FLoaded.begin(), FLoaded.end(), comp) == FLoaded.end()) FLoaded.push_back(comp);
  const TDescObject* savedNode = FNode;
  TComponent* container = FParent ? FParent : FRoot;
  FNode = &Node;
  try {
    comp->ReadState(this);
  } catch (...) {
    FNode = savedNode;
    throw;
  }
  FNode = savedNode;
  if (Node.Index >= 0 && container) container->SetChildOrder(comp, Node.Index);
  return comp;
}

void TReader::ReadData(TComponent* Instance) {
  const TDescObject* node = FNode;
  if (!node) throw EReadError("No description block to read");
  ReadProperties(Instance, node->Props, Instance->Name().empty() ? Instance->ClassName() : Instance->Name());
  TComponent* savedOwner = FOwner;
  TComponent* savedParent = FParent;
  TComponent* childOwner = Instance->GetChildOwner();
  FOwner = childOwner ? childOwner : FRoot;
  FParent = Instance->GetChildParent();
  try {
    for (const auto& child : node->Children) ReadComponent(*child);
  } catch (...) {
    FOwner = savedOwner;
    FParent = savedParent;
    throw;
  }
  FOwner = savedOwner;
  FParent = savedParent;
}

void TReader::Cleanup() {
  FFixups.clear();
  FCursors.clear();
  auto created = [this](TComponent* c) {
    return std::find(FCreated.begin(), FCreated.end(), c) != FCreated.end();
  };
  for (TComponent* c : FLoaded)
    if (!created(c)) c->FComponentState >> csLoading >> csReading;
  // Destroy what this read created; a component owned by another created one
  // goes with its owner.
  std::vector<TComponent*> tops;
  for (TComponent* c : FCreated) {
    bool ownedByCreated = false;
    for (TComponent* o = c->Owner(); o; o = o->Owner())
      if (created(o)) ownedByCreated = true;
    if (!ownedByCreated) tops.push_back(c);
  }
  FLoaded.clear();
  FCreated.clear();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) delete *it;
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  FTree = ParseDescription(FText);
  bool createdRoot = false;
  if (!Root) {
    TClass cls = GetClass(FTree->ClassName);
    if (!cls) {
      AnsiString msg = SClassNotFound;
      msg.replace(msg.find("%s"), 2, FTree->ClassName);
      throw EReadError(LineText(msg, FTree->Line));
    }
    if (!cls->InheritsFrom(TComponent::StaticClass()))
      throw EReadError(LineText(FTree->ClassName + " is not a component class", FTree->Line));
    TObject* obj = CreateObject(cls, nullptr);
    Root = dynamic_cast<TComponent*>(obj);
    if (!Root) {
      delete obj;
      throw EReadError(LineText(FTree->ClassName + " is not a component class", FTree->Line));
    }
    createdRoot = true;
  }
  FRoot = FLookupRoot = Root;
  FOwner = Root;
  FParent = nullptr;
  try {
    Root->FComponentState << csLoading << csReading;
    if (FTree->Kind != TDescObject::kInherited && !FTree->Name.empty() && !SameText(Root->Name(), FTree->Name)) {
      // A second instance of a root class gets "Name_1", "Name_2" ...
      AnsiString name = FTree->Name;
      for (int i = 1;; ++i) {
        TComponent* other = FindGlobalComponent(name);
        if (!other || other == Root) break;
        name = FTree->Name + "_" + std::to_string(i);
      }
      try {
        Root->SetName(name);
      } catch (const Exception& e) {
        throw EReadError(LineText("Error reading " + FTree->Name + ": " + e.Message, FTree->Line));
      }
    }
    FLoaded.push_back(Root);
    FNode = FTree.get();
    Root->ReadState(this);
    FNode = nullptr;
    ResolveFixups();
  } catch (...) {
    FNode = nullptr;
    Cleanup();
    if (createdRoot) delete Root;
    throw;
  }
  std::vector<TComponent*> loaded;
  loaded.swap(FLoaded);
  FCreated.clear();
  for (TComponent* c : loaded) c->FComponentState >> csReading;
  for (TComponent* c : loaded) c->Loaded();
  return Root;
}

// ---------------------------------------------------------------------------
// TWriter

TWriter::TWriter() = default;

TWriter::~TWriter() = default;

AnsiString TWriter::WriteRootComponent(TComponent* Root) {
  TDescObject node;
  node.Name = Root->Name();
  node.ClassName = Root->ClassName();
  FRoot = FLookupRoot = Root;
  FNode = &node;
  Root->FComponentState << csWriting;
  try {
    Root->WriteState(this);
  } catch (...) {
    Root->FComponentState >> csWriting;
    FNode = nullptr;
    throw;
  }
  Root->FComponentState >> csWriting;
  FNode = nullptr;
  return FormatDescription(node);
}

void TWriter::WriteComponent(TComponent* Component) {
  if (!FNode || !Component) return;
  if (Component->ComponentState().Contains(csDestroying) || Component->ComponentState().Contains(csTransient)) return;
  auto child = std::make_unique<TDescObject>();
  if (Component->ComponentState().Contains(csInline)) child->Kind = TDescObject::kInline;
  else if (Component->ComponentState().Contains(csAncestor)) child->Kind = TDescObject::kInherited;
  child->Name = Component->Name();
  child->ClassName = Component->ClassName();
  TDescObject* saved = FNode;
  FNode->Children.push_back(std::move(child));
  FNode = FNode->Children.back().get();
  Component->FComponentState << csWriting;
  try {
    Component->WriteState(this);
  } catch (...) {
    Component->FComponentState >> csWriting;
    FNode = saved;
    throw;
  }
  Component->FComponentState >> csWriting;
  FNode = saved;
}

void TWriter::WriteData(TComponent* Instance) {
  TDescObject* node = FNode;
  WriteProperties(Instance, "", node->Props);
  Instance->GetChildren([this](TComponent* c) { WriteComponent(c); }, FRoot);
}

void TWriter::WriteProperties(TObject* Instance, const AnsiString& Prefix, std::vector<TDescProp>& Out) {
  for (const TPropInfo* p : GetPropList(Instance->ClassType())) {
    if (!p->Get || !IsStoredProp(Instance, p)) continue;
    WriteProperty(Instance, p, Prefix, Out);
  }
  if (auto* persistent = dynamic_cast<TPersistent*>(Instance)) WriteDefined(persistent, Prefix, Out);
}

void TWriter::WriteDefined(TPersistent* Instance, const AnsiString& Prefix, std::vector<TDescProp>& Out) {
  std::vector<TDescProp>* savedOut = FDefinedOut;
  AnsiString savedPrefix = FDefinedPrefix;
  FDefinedOut = &Out;
  FDefinedPrefix = Prefix;
  try {
    CallDefineProperties(Instance, this);
  } catch (...) {
    FDefinedOut = savedOut;
    FDefinedPrefix = savedPrefix;
    throw;
  }
  FDefinedOut = savedOut;
  FDefinedPrefix = savedPrefix;
}

AnsiString TWriter::ReferenceName(TComponent* C) const {
  if (C->Name().empty()) return "";
  if (C == FLookupRoot || C->Owner() == FLookupRoot) return C->Name();
  if (C->Owner() && !C->Owner()->Name().empty()) return C->Owner()->Name() + "." + C->Name();
  return C->Name();
}

void TWriter::WriteProperty(TObject* Instance, const TPropInfo* Info, const AnsiString& Prefix,
                            std::vector<TDescProp>& Out) {
  AnsiString name = Prefix + Info->Name;
  TPropValue v = GetPropValueRaw(Instance, Info);
  TDescValue out;
  switch (Info->Kind) {
    case tkInteger: case tkInt64: case tkChar: case tkEnumeration: case tkSet: {
      if (Info->ReadOnly() || Info->IsDefaultOrd(v.Ord)) return;
      if (Info->Kind == tkChar) {
        out.Type = vaString;
        out.Str = AnsiString(1, static_cast<char>(v.Ord));
      } else if (Info->Kind == tkEnumeration) {
        out.Type = vaIdent;
        out.Str = GetEnumName(Info->Enum(), v.Ord);
        if (Info->EnumType == &TEnumNames<bool>::Info) out.Type = v.Ord ? vaTrue : vaFalse;
      } else if (Info->Kind == tkSet) {
        out.Type = vaSet;
        const TEnumInfo* e = Info->Enum();
        for (int i = 0; i < 64; ++i)
          if (static_cast<UInt64>(v.Ord) & (UInt64{1} << i)) out.Names.push_back(GetEnumName(e, i));
      } else if (Info->Idents && Info->Idents->IntToIdent(v.Ord, out.Str)) {
        out.Type = vaIdent;
      } else {
        out.Type = vaInt32;
        out.Int = v.Ord;
      }
      break;
    }
    case tkFloat:
      if (Info->ReadOnly() || v.Float == Info->DefaultFloat) return;
      CheckFinite(v.Float, name);
      out.Type = vaExtended;
      out.Float = v.Float;
      break;
    case tkString:
      if (Info->ReadOnly() || v.Str == Info->DefaultStr) return;
      out.Type = vaString;
      out.Str = v.Str;
      break;
    case tkWString:
      if (Info->ReadOnly() || v.WStr == Info->DefaultWStr) return;
      out.Type = vaWString;
      out.WStr = v.WStr;
      break;
    case tkMethod: {
      // Only handlers of the root being written have names a reader can bind.
      if (Info->ReadOnly() || !v.Method.Assigned() || v.Method.Object != FLookupRoot) return;
      AnsiString handler = MethodName(v.Method);
      if (handler.empty()) return;
      out.Type = vaIdent;
      out.Str = handler;
      break;
    }
    case tkClass: {
      if (!v.Obj) return;
      auto* comp = dynamic_cast<TComponent*>(v.Obj);
      if (comp && !comp->ComponentStyle().Contains(csSubComponent)) {
        if (Info->ReadOnly()) return;
        out.Type = vaIdent;
        out.Str = ReferenceName(comp);
        if (out.Str.empty()) return;
        break;
      }
      if (auto* coll = dynamic_cast<TCollection*>(v.Obj)) {
        if (coll->Count() == 0) return;
        std::vector<TDescValue> tmp;
        FTargets.push_back(&tmp);
        try {
          WriteCollection(coll);
        } catch (...) {
          FTargets.pop_back();
          throw;
        }
        FTargets.pop_back();
        out = std::move(tmp.front());
        break;
      }
      WriteProperties(v.Obj, name + ".", Out);
      return;
    }
    case tkVariant: {
      if (Info->ReadOnly() || v.Var.IsEmpty()) return;
      switch (v.Var.Type()) {
        case varNull: out.Type = vaIdent; out.Str = "Null"; break;
        case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
        case varInt64:
          out.Type = vaInt32;
          out.Int = v.Var.AsInt64();
          break;
        case varSingle: case varDouble: case varCurrency: case varDate:
          out.Type = vaExtended;
          out.Float = v.Var.AsDouble();
          CheckFinite(out.Float, name);
          break;
        case varBoolean: out.Type = v.Var.AsBoolean() ? vaTrue : vaFalse; break;
        case varOleStr: out.Type = vaWString; out.WStr = v.Var.AsWideString(); break;
        case varString: out.Type = vaString; out.Str = v.Var.AsString(); break;
        default: throw EWriteError("Cannot store a variant of type " + VarTypeAsText(v.Var.Type()) + " in " + name);
      }
      break;
    }
    default:
      return;
  }
  Out.push_back({name, std::move(out), 0});
}

void TWriter::DefineProperty(const AnsiString& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData || !FDefinedOut) return;
  std::vector<TDescProp>* out = FDefinedOut;
  AnsiString name = FDefinedPrefix + Name;
  std::vector<TDescValue> tmp;
  std::size_t depth = FTargets.size();
  FTargets.push_back(&tmp);
  try {
    WriteData(this);
  } catch (...) {
    FTargets.resize(depth);
    throw;
  }
  bool balanced = FTargets.size() == depth + 1;
  FTargets.resize(depth);
  if (!balanced || tmp.size() != 1) throw EWriteError("Property " + name + " must write exactly one value");
  out->push_back({name, std::move(tmp.front()), 0});
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData || !FDefinedOut) return;
  TMemoryStream ms;
  WriteData(&ms);
  TDescValue v;
  v.Type = vaBinary;
  v.Str.assign(static_cast<const char*>(ms.Memory()), static_cast<std::size_t>(ms.Size()));
  FDefinedOut->push_back({FDefinedPrefix + Name, std::move(v), 0});
}

void TWriter::Append(TDescValue V) {
  if (FTargets.empty()) throw EWriteError("No property is being written");
  FTargets.back()->push_back(std::move(V));
}

void TWriter::WriteListBegin() {
  TDescValue v;
  v.Type = vaList;
  Append(std::move(v));
  FTargets.push_back(&FTargets.back()->back().Items);
  FListTargets.push_back(FTargets.size());
}

void TWriter::WriteListEnd() {
  if (FListTargets.empty() || FListTargets.back() != FTargets.size()) throw EWriteError("No list to end");
  FListTargets.pop_back();
  FTargets.pop_back();
}

void TWriter::WriteInteger(Int64 Value) {
  TDescValue v;
  v.Type = vaInt32;
  v.Int = Value;
  Append(std::move(v));
}

void TWriter::WriteBoolean(bool Value) {
  TDescValue v;
  v.Type = Value ? vaTrue : vaFalse;
  Append(std::move(v));
}

void TWriter::WriteFloat(double Value) {
  TDescValue v;
  v.Type = vaExtended;
  v.Float = Value;
  Append(std::move(v));
}

void TWriter::WriteString(const AnsiString& Value) {
  TDescValue v;
  v.Type = vaString;
  v.Str = Value;
  Append(std::move(v));
}

void TWriter::WriteWideString(const WideString& Value) {
  TDescValue v;
  v.Type = vaWString;
  v.WStr = Value;
  Append(std::move(v));
}

void TWriter::WriteIdent(const AnsiString& Ident) {
  TDescValue v;
  v.Type = SameText(Ident, "True") ? vaTrue : SameText(Ident, "False") ? vaFalse : SameText(Ident, "nil") ? vaNil : vaIdent;
  v.Str = Ident;
  Append(std::move(v));
}

void TWriter::WriteSet(const std::vector<AnsiString>& Names) {
  TDescValue v;
  v.Type = vaSet;
  v.Names = Names;
  Append(std::move(v));
}

void TWriter::WriteCollection(TCollection* Collection) {
  TDescValue v;
  v.Type = vaCollection;
  for (int i = 0; i < Collection->Count(); ++i) {
    TDescItem item;
    WriteProperties(Collection->Items(i), "", item.Props);
    v.CollItems.push_back(std::move(item));
  }
  Append(std::move(v));
}

void TWriter::WriteBinary(const void* Data, std::size_t Size) {
  TDescValue v;
  v.Type = vaBinary;
  v.Str.assign(static_cast<const char*>(Data), Size);
  Append(std::move(v));
}

// ---------------------------------------------------------------------------
// convenience

TComponent* ReadComponentFromText(const AnsiString& Text, TComponent* Root) {
  TReader reader(Text);
  return reader.ReadRootComponent(Root);
}

AnsiString WriteComponentToText(TComponent* Root) {
  TWriter writer;
  return writer.WriteRootComponent(Root);
}

TComponent* ReadComponentFromStream(TStream* Stream, TComponent* Root) {
  TReader reader(Stream);
  return reader.ReadRootComponent(Root);
}

void WriteComponentToStream(TStream* Stream, TComponent* Root) {
  AnsiString text = WriteComponentToText(Root);
  if (!text.empty()) Stream->WriteBuffer(text.data(), static_cast<LongInt>(text.size()));
}

bool ReadComponentRes(const AnsiString& ResName, TComponent* Instance) {
  TResourceData res = FindResourceData(RT_RCDATA, ResName);
  if (!res) return false;
  AnsiString text(reinterpret_cast<const char*>(res.Data), res.Size);
  ReadComponentFromText(text, Instance);
  return true;
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  std::vector<TClass> chain;
  for (TClass c = Instance->ClassType(); c && c != RootAncestor && c != TComponent::StaticClass(); c = c->Parent)
    chain.push_back(c);
  bool found = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (ReadComponentRes((*it)->Name, Instance)) found = true;
  return found;
}
