// Code page 936 structure, conversions, case, comparison, 1-based helpers,
// trimming, replacing, quoting, integers and hex.
#include "platform/rtl/strings.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/rtl/collation.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlconsts.h"

namespace {

inline Byte B(char c) { return static_cast<Byte>(c); }

inline char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Marks which byte offsets of s start a character (size + 1 entries; the end
// counts as a start).
std::vector<bool> CharStarts(std::string_view s) {
  std::vector<bool> starts(s.size() + 1, false);
  std::size_t i = 0;
  while (i < s.size()) {
    starts[i] = true;
    i += (IsDBCSLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
  }
  starts[s.size()] = true;
  return starts;
}

// Finds needle in hay from byte offset `from`, only where a character starts
// and ends on a character boundary. Returns npos when absent.
std::size_t FindAtCharStart(std::string_view hay, std::string_view needle, const std::vector<bool>& starts,
                            std::size_t from) {
  if (needle.empty()) return std::string_view::npos;
  std::size_t at = hay.find(needle, from);
  while (at != std::string_view::npos) {
    if (starts[at] && starts[at + needle.size()]) return at;
    at = hay.find(needle, at + 1);
  }
  return std::string_view::npos;
}

template <typename F>
AnsiString MapSingleBytes(const AnsiString& s, F fold) {
  AnsiString r = s;
  std::size_t i = 0;
  while (i < r.size()) {
    if (IsDBCSLeadByte(r[i]) && i + 1 < r.size()) {
      i += 2;
    } else {
      r[i] = fold(r[i]);
      ++i;
    }
  }
  return r;
}

// ---------------------------------------------------------------------------
// iconv conversions

enum class Enc { Cp936, Utf8, Utf16 };

const char* IconvName(Enc e, bool fallback) {
  switch (e) {
    case Enc::Cp936: return fallback ? "GBK" : "CP936";
    case Enc::Utf8: return "UTF-8";
    case Enc::Utf16: return "UTF-16LE";
  }
  return "UTF-8";
}

// One converter per direction and thread, opened on first use and closed
// when the thread ends.
struct ConverterTable {
  iconv_t cd[3][3];
  bool opened[3][3] = {};
  ~ConverterTable() {
    for (int f = 0; f < 3; ++f)
      for (int t = 0; t < 3; ++t)
        if (opened[f][t] && cd[f][t] != reinterpret_cast<iconv_t>(-1)) iconv_close(cd[f][t]);
  }
};

iconv_t Converter(Enc from, Enc to) {
  thread_local ConverterTable table;
  int f = static_cast<int>(from), t = static_cast<int>(to);
  if (!table.opened[f][t]) {
    iconv_t cd = iconv_open(IconvName(to, false), IconvName(from, false));
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open(IconvName(to, true), IconvName(from, true));
    table.cd[f][t] = cd;
    table.opened[f][t] = true;
  }
  return table.cd[f][t];
}

// Length of the unconvertible unit at p (at least 1, at most `left`).
std::size_t BadUnitLength(Enc from, const unsigned char* p, std::size_t left) {
  switch (from) {
    case Enc::Cp936:
      // A lead byte with a plausible trail byte is one (unmapped) character.
      if (left >= 2 && IsDBCSLeadByte(p[0]) && p[1] >= 0x40 && p[1] != 0x7F && p[1] != 0xFF) return 2;
      return 1;
    case Enc::Utf8: {
      std::size_t n = 1;
      if (p[0] >= 0xC0) {
        // A well-formed sequence the target cannot hold, or a broken one:
        // skip its continuation bytes with it.
        while (n < left && n < 4 && (p[n] & 0xC0) == 0x80) ++n;
      }
      return n;
    }
    case Enc::Utf16: {
      if (left < 2) return left;
      unsigned u = p[0] | (p[1] << 8);
      if (u >= 0xD800 && u <= 0xDBFF && left >= 4) {
        unsigned v = p[2] | (p[3] << 8);
        if (v >= 0xDC00 && v <= 0xDFFF) return 4;
      }
      return 2;
    }
  }
  return 1;
}

std::string Convert(Enc from, Enc to, const char* data, std::size_t size) {
  std::string out;
  if (size == 0) return out;
  const std::string_view question = to == Enc::Utf16 ? std::string_view("?\0", 2) : std::string_view("?");
  iconv_t cd = Converter(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this system: keep ASCII, mark everything else.
    for (std::size_t i = 0; i < size; ++i) {
      unsigned char c = static_cast<unsigned char>(data[i]);
      if (c < 0x80) {
        out += static_cast<char>(c);
        if (to == Enc::Utf16) out += '\0';
      } else {
        out += question;
      }
    }
    return out;
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.resize(size * 4 + 16);
  char* in = const_cast<char*>(data);
  std::size_t inLeft = size;
  std::size_t used = 0;
  while (inLeft > 0) {
    char* outp = out.data() + used;
    std::size_t outLeft = out.size() - used;
    std::size_t rc = iconv(cd, &in, &inLeft, &outp, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ: an invalid or unmappable unit; EINVAL: an incomplete one at the end.
    std::size_t skip = errno == EINVAL ? inLeft
                                       : BadUnitLength(from, reinterpret_cast<const unsigned char*>(in), inLeft);
    if (out.size() - used < question.size()) out.resize(out.size() * 2);
    std::memcpy(out.data() + used, question.data(), question.size());
    used += question.size();
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  // Flush any shift state (none for these encodings, but harmless).
  out.resize(used);
  return out;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return B(c) < 0x80; });
}

WideString BytesToWide(const std::string& bytes) {
  WideString w(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < w.size(); ++i)
    w[i] = static_cast<char16_t>(B(bytes[2 * i]) | (B(bytes[2 * i + 1]) << 8));
  return w;
}

std::string WideToBytes(std::u16string_view w) {
  std::string bytes(w.size() * 2, '\0');
  for (std::size_t i = 0; i < w.size(); ++i) {
    bytes[2 * i] = static_cast<char>(w[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(w[i] >> 8);
  }
  return bytes;
}

// Blanks Val accepts before a number.
std::size_t SkipSpaces(const AnsiString& s, std::size_t i) {
  while (i < s.size() && s[i] == ' ') ++i;
  return i;
}

// Parses an integer of `bits` (32 or 64) bits; see StrToInt.
bool ParseInteger(const AnsiString& s, int bits, Int64& value) {
  std::size_t i = SkipSpaces(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  UInt64 acc = 0;
  if (hex) {
    const UInt64 limit = bits == 32 ? 0xFFFFFFFFull : ~0ull;
    for (; i < s.size(); ++i) {
      int d = HexDigitValue(s[i]);
      if (d < 0) return false;
      if (acc > (limit >> 4)) return false;
      acc = (acc << 4) | static_cast<UInt64>(d);
    }
    Int64 v = bits == 32 ? static_cast<Int64>(static_cast<std::int32_t>(static_cast<std::uint32_t>(acc)))
                         : static_cast<Int64>(acc);
    if (negative) v = bits == 32 ? static_cast<Int64>(static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)))
                                 : static_cast<Int64>(0ull - static_cast<UInt64>(v));
    value = v;
    return true;
  }
  const UInt64 maxPos = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
  const UInt64 limit = negative ? maxPos + 1 : maxPos;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    UInt64 d = static_cast<UInt64>(s[i] - '0');
    if (acc > (limit - d) / 10) return false;
    acc = acc * 10 + d;
  }
  value = negative ? static_cast<Int64>(0ull - acc) : static_cast<Int64>(acc);
  return true;
}

[[noreturn]] void RaiseInvalidInteger(const AnsiString& s) {
  throw EConvertError(SInvalidInteger, {s});
}

}  // namespace

// ---------------------------------------------------------------------------
// Double-byte structure

TMbcsByteType ByteType(const AnsiString& S, int Index) {
  if (Index < 1 || static_cast<std::size_t>(Index) > S.size()) return mbSingleByte;
  std::size_t target = static_cast<std::size_t>(Index - 1);
  std::size_t i = 0;
  while (i < target) i += (IsDBCSLeadByte(S[i]) && i + 1 < S.size()) ? 2 : 1;
  if (i > target) return mbTrailByte;
  return IsDBCSLeadByte(S[i]) ? mbLeadByte : mbSingleByte;
}

TMbcsByteType StrByteType(const char* Str, std::size_t Index) {
  if (!Str) return mbSingleByte;
  std::size_t i = 0;
  while (i < Index) {
    if (Str[i] == '\0') return mbSingleByte;
    i += (IsDBCSLeadByte(Str[i]) && Str[i + 1] != '\0') ? 2 : 1;
  }
  if (i > Index) return mbTrailByte;
  return IsDBCSLeadByte(Str[i]) ? mbLeadByte : mbSingleByte;
}

const char* CharNext(const char* P) {
  if (!P || *P == '\0') return P;
  if (IsDBCSLeadByte(*P) && P[1] != '\0') return P + 2;
  return P + 1;
}

char* CharNext(char* P) { return const_cast<char*>(CharNext(static_cast<const char*>(P))); }

const char* CharPrev(const char* Start, const char* P) {
  if (!Start || !P || P <= Start) return Start;
  const char* q = Start;
  const char* prev = Start;
  while (q < P) {
    prev = q;
    const char* n = CharNext(q);
    if (n == q) break;  // terminator before P
    q = n;
  }
  return prev;
}

char* CharPrev(char* Start, char* P) {
  return const_cast<char*>(CharPrev(static_cast<const char*>(Start), static_cast<const char*>(P)));
}

std::size_t CharNext(const AnsiString& S, std::size_t Pos) {
  if (Pos >= S.size()) return S.size();
  Pos = AdjustToCharStart(S, Pos);
  return Pos + static_cast<std::size_t>(CharLength(S, Pos));
}

std::size_t CharPrev(const AnsiString& S, std::size_t Pos) {
  if (Pos > S.size()) Pos = S.size();
  std::size_t i = 0, prev = 0;
  while (i < Pos) {
    prev = i;
    i += (IsDBCSLeadByte(S[i]) && i + 1 < S.size()) ? 2 : 1;
  }
  return prev;
}

int CharLength(const AnsiString& S, std::size_t Pos) {
  if (Pos >= S.size()) return 0;
  return (IsDBCSLeadByte(S[Pos]) && Pos + 1 < S.size()) ? 2 : 1;
}

std::size_t AdjustToCharStart(const AnsiString& S, std::size_t Pos) {
  if (Pos >= S.size()) return Pos;
  std::size_t i = 0;
  while (true) {
    std::size_t n = i + ((IsDBCSLeadByte(S[i]) && i + 1 < S.size()) ? 2 : 1);
    if (n > Pos) return i;
    i = n;
  }
}

// ---------------------------------------------------------------------------
// Conversions

std::string AnsiToUtf8(std::string_view s) {
  if (IsAscii(s)) return std::string(s);
  return Convert(Enc::Cp936, Enc::Utf8, s.data(), s.size());
}

namespace {
// The CP936 bytes of each character of the basic plane, found with the
// converter the first time the character is met: text read from files is
// converted a character at a time from then on. A character the code page
// lacks sends its whole text through the converter, which marks it.
class Cp936Encoder {
 public:
  // False when S holds something only the converter handles.
  bool Encode(std::string_view S, AnsiString& Out) {
    Out.clear();
    Out.reserve(S.size());
    const auto* p = reinterpret_cast<const unsigned char*>(S.data());
    const std::size_t n = S.size();
    for (std::size_t i = 0; i < n;) {
      const unsigned b = p[i];
      if (b < 0x80) {
        Out.push_back(static_cast<char>(b));
        ++i;
        continue;
      }
      unsigned cp;
      std::size_t len;
      if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
        cp = ((b & 0x1F) << 6) | (p[i + 1] & 0x3F);
        len = 2;
      } else if (b >= 0xE0 && b <= 0xEF && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
        cp = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
        len = 3;
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;  // overlong or a surrogate
      } else {
        return false;  // beyond the basic plane, or broken
      }
      const std::uint16_t bytes = Lookup(cp, S.substr(i, len));
      if (bytes == kNone) return false;
      if (bytes > 0xFF) Out.push_back(static_cast<char>(bytes >> 8));
      Out.push_back(static_cast<char>(bytes & 0xFF));
      i += len;
    }
    return true;
  }

 private:
  static constexpr std::uint16_t kUnknown = 0, kNone = 0xFFFF;
  std::uint16_t Lookup(unsigned Cp, std::string_view Utf8) {
    if (FBytes.empty()) FBytes.assign(0x10000, kUnknown);
    std::uint16_t& b = FBytes[Cp];
    if (b == kUnknown) {
      const std::string c = Convert(Enc::Utf8, Enc::Cp936, Utf8.data(), Utf8.size());
      if (c.size() == 1 && c[0] != '?' && B(c[0]) >= 0x80) b = B(c[0]);
      else if (c.size() == 2) b = static_cast<std::uint16_t>((B(c[0]) << 8) | B(c[1]));
      else b = kNone;
    }
    return b;
  }
  std::vector<std::uint16_t> FBytes;
};
}  // namespace

AnsiString Utf8ToAnsi(std::string_view s) {
  if (IsAscii(s)) return AnsiString(s);
  thread_local Cp936Encoder encoder;
  AnsiString out;
  if (encoder.Encode(s, out)) return out;
  return Convert(Enc::Utf8, Enc::Cp936, s.data(), s.size());
}

WideString AnsiToWide(std::string_view s) {
  if (IsAscii(s)) return WideString(s.begin(), s.end());
  return BytesToWide(Convert(Enc::Cp936, Enc::Utf16, s.data(), s.size()));
}

AnsiString WideToAnsi(std::u16string_view s) {
  if (std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; }))
    return AnsiString(s.begin(), s.end());
  std::string bytes = WideToBytes(s);
  return Convert(Enc::Utf16, Enc::Cp936, bytes.data(), bytes.size());
}

std::string WideToUtf8(std::u16string_view s) {
  if (std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; }))
    return std::string(s.begin(), s.end());
  std::string bytes = WideToBytes(s);
  return Convert(Enc::Utf16, Enc::Utf8, bytes.data(), bytes.size());
}

WideString Utf8ToWide(std::string_view s) {
  if (IsAscii(s)) return WideString(s.begin(), s.end());
  return BytesToWide(Convert(Enc::Utf8, Enc::Utf16, s.data(), s.size()));
}

// ---------------------------------------------------------------------------
// Case and comparison

AnsiString UpperCase(const AnsiString& S) { return MapSingleBytes(S, FoldUpper); }
AnsiString LowerCase(const AnsiString& S) { return MapSingleBytes(S, FoldLower); }
AnsiString AnsiUpperCase(const AnsiString& S) { return MapSingleBytes(S, FoldUpper); }
AnsiString AnsiLowerCase(const AnsiString& S) { return MapSingleBytes(S, FoldLower); }

bool IsCharAlphaA(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsCharAlphaNumericA(char C) { return IsCharAlphaA(C) || (C >= '0' && C <= '9'); }

int CompareStr(const AnsiString& S1, const AnsiString& S2) {
  std::size_t n = std::min(S1.size(), S2.size());
  for (std::size_t i = 0; i < n; ++i)
    if (S1[i] != S2[i]) return static_cast<int>(B(S1[i])) - static_cast<int>(B(S2[i]));
  return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

int CompareText(const AnsiString& S1, const AnsiString& S2) {
  // Folding keeps the double-byte structure, so while the folded prefixes are
  // equal both strings have their trail bytes at the same offsets.
  std::size_t n = std::min(S1.size(), S2.size());
  bool trail = false;
  for (std::size_t i = 0; i < n; ++i) {
    char a = S1[i], b = S2[i];
    if (trail) {
      trail = false;
    } else {
      if (IsDBCSLeadByte(a) && i + 1 < S1.size()) trail = true;
      else a = FoldUpper(a);
      if (!(IsDBCSLeadByte(b) && i + 1 < S2.size())) b = FoldUpper(b);
    }
    if (a != b) return static_cast<int>(B(a)) - static_cast<int>(B(b));
  }
  return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2) { return AnsiCollate(S1, S2, false); }
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2) { return AnsiCollate(S1, S2, true); }
bool SameText(const AnsiString& S1, const AnsiString& S2) {
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2) {
  if (S1 == S2) return true;
  // For ASCII text, folding the letters is all that case folding does.
  if (IsAscii(S1) && IsAscii(S2)) return SameText(S1, S2);
  return AnsiCollateSame(S1, S2, true);
}
bool AnsiSameStr(const AnsiString& S1, const AnsiString& S2) { return S1 == S2; }

int AnsiStrLIComp(const char* S1, const char* S2, std::size_t MaxLen) {
  AnsiString a = S1 ? AnsiString(S1) : AnsiString();
  AnsiString b = S2 ? AnsiString(S2) : AnsiString();
  if (a.size() > MaxLen) a.resize(MaxLen);
  if (b.size() > MaxLen) b.resize(MaxLen);
  return AnsiCompareText(a, b);
}

bool AnsiStartsText(const AnsiString& SubText, const AnsiString& Text) {
  if (SubText.size() > Text.size()) return false;
  if (CharStarts(Text)[SubText.size()] == false) return false;
  return AnsiSameText(SubText, Text.substr(0, SubText.size()));
}

bool AnsiStartsStr(const AnsiString& SubText, const AnsiString& Text) {
  if (SubText.size() > Text.size()) return false;
  if (CharStarts(Text)[SubText.size()] == false) return false;
  return Text.compare(0, SubText.size(), SubText) == 0;
}

bool AnsiEndsText(const AnsiString& SubText, const AnsiString& Text) {
  if (SubText.size() > Text.size()) return false;
  std::size_t at = Text.size() - SubText.size();
  if (!CharStarts(Text)[at]) return false;
  return AnsiSameText(SubText, Text.substr(at));
}

bool AnsiEndsStr(const AnsiString& SubText, const AnsiString& Text) {
  if (SubText.size() > Text.size()) return false;
  std::size_t at = Text.size() - SubText.size();
  if (!CharStarts(Text)[at]) return false;
  return Text.compare(at, SubText.size(), SubText) == 0;
}

bool AnsiContainsText(const AnsiString& Text, const AnsiString& SubText) {
  return SubText.empty() || AnsiPos(AnsiUpperCase(SubText), AnsiUpperCase(Text)) > 0;
}

bool AnsiContainsStr(const AnsiString& Text, const AnsiString& SubText) {
  return SubText.empty() || AnsiPos(SubText, Text) > 0;
}

// ---------------------------------------------------------------------------
// 1-based helpers

AnsiString Copy(const AnsiString& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<std::size_t>(Index) > S.size()) return AnsiString();
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

WideString Copy(const WideString& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<std::size_t>(Index) > S.size()) return WideString();
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

int Pos(const AnsiString& Substr, const AnsiString& S) {
  if (Substr.empty()) return 0;
  std::size_t at = S.find(Substr);
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

int Pos(char C, const AnsiString& S) {
  std::size_t at = S.find(C);
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

int PosEx(const AnsiString& Substr, const AnsiString& S, int Offset) {
  if (Substr.empty() || Offset < 1 || static_cast<std::size_t>(Offset) > S.size()) return 0;
  std::size_t at = S.find(Substr, static_cast<std::size_t>(Offset - 1));
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

int AnsiPos(const AnsiString& Substr, const AnsiString& S) {
  if (Substr.empty() || Substr.size() > S.size()) return 0;
  std::size_t at = FindAtCharStart(S, Substr, CharStarts(S), 0);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

void Delete(AnsiString& S, int Index, int Count) {
  if (Index < 1 || Count <= 0 || static_cast<std::size_t>(Index) > S.size()) return;
  S.erase(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void Delete(WideString& S, int Index, int Count) {
  if (Index < 1 || Count <= 0 || static_cast<std::size_t>(Index) > S.size()) return;
  S.erase(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void Insert(const AnsiString& Source, AnsiString& S, int Index) {
  if (Index < 1) Index = 1;
  std::size_t at = std::min(static_cast<std::size_t>(Index - 1), S.size());
  S.insert(at, Source);
}

void Insert(const WideString& Source, WideString& S, int Index) {
  if (Index < 1) Index = 1;
  std::size_t at = std::min(static_cast<std::size_t>(Index - 1), S.size());
  S.insert(at, Source);
}

void SetLength(AnsiString& S, int NewLength) { S.resize(static_cast<std::size_t>(std::max(NewLength, 0))); }

AnsiString StringOfChar(char Ch, int Count) { return Count > 0 ? AnsiString(static_cast<std::size_t>(Count), Ch) : AnsiString(); }

AnsiString DupeString(const AnsiString& S, int Count) {
  AnsiString r;
  if (Count <= 0) return r;
  r.reserve(S.size() * static_cast<std::size_t>(Count));
  for (int i = 0; i < Count; ++i) r += S;
  return r;
}

int LastDelimiter(const AnsiString& Delimiters, const AnsiString& S) {
  int last = 0;
  std::size_t i = 0;
  while (i < S.size()) {
    if (IsDBCSLeadByte(S[i]) && i + 1 < S.size()) {
      i += 2;
      continue;
    }
    if (Delimiters.find(S[i]) != AnsiString::npos) last = static_cast<int>(i) + 1;
    ++i;
  }
  return last;
}

bool IsDelimiter(const AnsiString& Delimiters, const AnsiString& S, int Index) {
  if (Index < 1 || static_cast<std::size_t>(Index) > S.size()) return false;
  if (ByteType(S, Index) != mbSingleByte) return false;
  return Delimiters.find(S[static_cast<std::size_t>(Index - 1)]) != AnsiString::npos;
}

// ---------------------------------------------------------------------------
// Trimming, replacing, quoting

AnsiString Trim(const AnsiString& S) { return TrimRight(TrimLeft(S)); }

AnsiString TrimLeft(const AnsiString& S) {
  std::size_t i = 0;
  while (i < S.size() && B(S[i]) <= ' ') ++i;
  return S.substr(i);
}

AnsiString TrimRight(const AnsiString& S) {
  // Trail bytes are never <= ' ', so scanning from the end is safe.
  std::size_t n = S.size();
  while (n > 0 && B(S[n - 1]) <= ' ') --n;
  return S.substr(0, n);
}

AnsiString AdjustLineBreaks(const AnsiString& S) {
  // CR and LF are never trail bytes.
  AnsiString r;
  r.reserve(S.size() + S.size() / 16);
  for (std::size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\r' || c == '\n') {
      r += "\r\n";
      // CR LF and LF CR are each one break.
      if (i + 1 < S.size() && (S[i + 1] == '\r' || S[i + 1] == '\n') && S[i + 1] != c) ++i;
    } else {
      r += c;
    }
  }
  return r;
}

AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags) {
  if (OldPattern.empty() || S.empty()) return S;
  const bool ignoreCase = (Flags & rfIgnoreCase) != 0;
  const bool all = (Flags & rfReplaceAll) != 0;
  // Folding keeps byte offsets, so a match in the folded text is a match in S.
  const AnsiString hay = ignoreCase ? AnsiUpperCase(S) : S;
  const AnsiString needle = ignoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
  const std::vector<bool> starts = CharStarts(hay);
  AnsiString out;
  std::size_t from = 0;
  while (true) {
    std::size_t at = FindAtCharStart(hay, needle, starts, from);
    if (at == std::string_view::npos) break;
    out.append(S, from, at - from);
    out += NewPattern;
    from = at + needle.size();
    if (!all) break;
  }
  out.append(S, from, AnsiString::npos);
  return out;
}

AnsiString QuotedStr(const AnsiString& S) { return AnsiQuotedStr(S, '\''); }

AnsiString AnsiQuotedStr(const AnsiString& S, char Quote) {
  AnsiString r;
  r.reserve(S.size() + 2);
  r += Quote;
  std::size_t i = 0;
  while (i < S.size()) {
    if (IsDBCSLeadByte(S[i]) && i + 1 < S.size()) {
      r.append(S, i, 2);
      i += 2;
      continue;
    }
    if (S[i] == Quote) r += Quote;
    r += S[i++];
  }
  r += Quote;
  return r;
}

namespace {

// Reads the quoted string at src; `closed` tells whether a closing quote was found.
AnsiString ExtractQuoted(const char*& Src, char Quote, bool& closed) {
  AnsiString r;
  closed = false;
  if (!Src || *Src != Quote) return r;
  const char* p = Src + 1;
  while (*p != '\0') {
    if (IsDBCSLeadByte(*p) && p[1] != '\0') {
      r.append(p, 2);
      p += 2;
      continue;
    }
    if (*p == Quote) {
      if (p[1] == Quote) {
        r += Quote;
        p += 2;
        continue;
      }
      closed = true;
      Src = p + 1;
      return r;
    }
    r += *p++;
  }
  Src = p;
  return r;
}

}  // namespace

AnsiString AnsiExtractQuotedStr(const char*& Src, char Quote) {
  bool closed;
  return ExtractQuoted(Src, Quote, closed);
}

AnsiString AnsiDequotedStr(const AnsiString& S, char Quote) {
  const char* p = S.c_str();
  bool closed;
  AnsiString r = ExtractQuoted(p, Quote, closed);
  // Text that does not start with a quote, has no closing one, or goes on
  // after it without ending in a quote, is not a quoted string and comes back
  // as it is.
  if (!closed) return S;
  if (p != S.c_str() + S.size() && S.back() != Quote) return S;
  return r;
}

// ---------------------------------------------------------------------------
// Integers

AnsiString IntToStr(Int64 Value) { return std::to_string(Value); }
AnsiString UIntToStr(UInt64 Value) { return std::to_string(Value); }

AnsiString IntToHex64(UInt64 Value, int Digits) {
  static const char kHex[] = "0123456789ABCDEF";
  char buf[17];
  int n = 0;
  do {
    buf[n++] = kHex[Value & 0xF];
    Value >>= 4;
  } while (Value != 0);
  AnsiString r;
  if (Digits > n) r.assign(static_cast<std::size_t>(Digits - n), '0');
  while (n > 0) r += buf[--n];
  return r;
}

AnsiString IntToHex32(std::uint32_t Value, int Digits) { return IntToHex64(Value, Digits); }

Integer StrToInt(const AnsiString& S) {
  Int64 v;
  if (!ParseInteger(S, 32, v)) RaiseInvalidInteger(S);
  return static_cast<Integer>(v);
}

Integer StrToIntDef(const AnsiString& S, Integer Default) {
  Int64 v;
  return ParseInteger(S, 32, v) ? static_cast<Integer>(v) : Default;
}

bool TryStrToInt(const AnsiString& S, Integer& Value) {
  Int64 v;
  if (!ParseInteger(S, 32, v)) return false;
  Value = static_cast<Integer>(v);
  return true;
}

Int64 StrToInt64(const AnsiString& S) {
  Int64 v;
  if (!ParseInteger(S, 64, v)) RaiseInvalidInteger(S);
  return v;
}

Int64 StrToInt64Def(const AnsiString& S, Int64 Default) {
  Int64 v;
  return ParseInteger(S, 64, v) ? v : Default;
}

bool TryStrToInt64(const AnsiString& S, Int64& Value) { return ParseInteger(S, 64, Value); }

bool TryStrToBool(const AnsiString& S, bool& Value) {
  if (SameText(S, "True")) {
    Value = true;
    return true;
  }
  if (SameText(S, "False")) {
    Value = false;
    return true;
  }
  double d;
  if (TryStrToFloat(S, d)) {
    Value = d != 0;
    return true;
  }
  return false;
}

bool StrToBool(const AnsiString& S) {
  bool b;
  if (!TryStrToBool(S, b)) throw EConvertError(SInvalidBoolean, {S});
  return b;
}

bool StrToBoolDef(const AnsiString& S, bool Default) {
  bool b;
  return TryStrToBool(S, b) ? b : Default;
}

AnsiString BoolToStr(bool B, bool UseBoolStrs) {
  if (UseBoolStrs) return B ? "True" : "False";
  return B ? "-1" : "0";
}

int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  Int64 prod = static_cast<Int64>(Number) * Numerator;
  Int64 q = prod / Denominator;
  Int64 r = prod % Denominator;
  if (r != 0) {
    UInt64 twice = static_cast<UInt64>(r < 0 ? -r : r) * 2;
    UInt64 den = static_cast<UInt64>(Denominator < 0 ? -static_cast<Int64>(Denominator) : Denominator);
    if (twice >= den) q += ((prod < 0) != (Denominator < 0)) ? -1 : 1;
  }
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int>(q);
}

// ---------------------------------------------------------------------------
// Binary and hex

int HexDigitValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

AnsiString BinToHex(const void* Buffer, std::size_t BufSize) {
  AnsiString r(BufSize * 2, '\0');
  BinToHex(static_cast<const char*>(Buffer), r.data(), BufSize);
  return r;
}

void BinToHex(const char* Buffer, char* Text, std::size_t BufSize) {
  static const char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < BufSize; ++i) {
    Text[2 * i] = kHex[B(Buffer[i]) >> 4];
    Text[2 * i + 1] = kHex[B(Buffer[i]) & 0xF];
  }
}

std::size_t HexToBin(const char* Text, char* Buffer, std::size_t BufSize) {
  std::size_t n = 0;
  if (!Text) return 0;
  while (n < BufSize) {
    int hi = HexDigitValue(Text[0]);
    if (hi < 0) break;
    int lo = HexDigitValue(Text[1]);
    if (lo < 0) break;
    Buffer[n++] = static_cast<char>((hi << 4) | lo);
    Text += 2;
  }
  return n;
}

std::size_t HexToBin(const AnsiString& Text, void* Buffer, std::size_t BufSize) {
  return HexToBin(Text.c_str(), static_cast<char*>(Buffer), BufSize);
}
