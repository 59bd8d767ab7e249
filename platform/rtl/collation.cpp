// Chinese (PRC) collation of CP936 text over ICU.
#include "platform/rtl/collation.h"

#include <iconv.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstring>
#include <vector>

namespace {

inline int Sign(int v) { return (v > 0) - (v < 0); }

// ---------------------------------------------------------------------------
// CP936 to UTF-16 by table, built once with the same iconv converter as the
// rest of the library. A lead byte takes the byte after it when that is a
// trail byte, as everywhere in the library. A pair or a byte that is no
// character in the table (the user-defined areas, a stray lead byte, 0xFF)
// becomes the private-use character U+F0000 + its bytes: no character decodes
// to those, so different bytes always give different text, and the collator
// puts them after the characters of the code page, in the order of their bytes.

constexpr int kTrails = 0xFE - 0x40 + 1;

struct Cp936Table {
  char16_t Single[128] = {};            // 0x80..0xFF; 0 where the byte alone is no character
  char16_t Pair[126 * kTrails] = {};    // lead 0x81..0xFE by trail 0x40..0xFE; 0 where invalid

  Cp936Table() {
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-16LE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;  // every non-ASCII byte then compares as itself
    for (int b = 0x80; b <= 0xFF; ++b) {
      const char in[1] = {static_cast<char>(b)};
      Single[b - 0x80] = One(cd, in, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        Pair[(lead - 0x81) * kTrails + (trail - 0x40)] = One(cd, in, 2);
      }
    iconv_close(cd);
  }

  // The one UTF-16 unit that all n bytes make, or 0.
  static char16_t One(iconv_t cd, const char* bytes, std::size_t n) {
    char in[2];
    std::memcpy(in, bytes, n);
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = n, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 || sizeof out - ol != 2) return 0;
    char16_t u = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
    return (u >= 0xD800 && u <= 0xDFFF) ? 0 : u;
  }
};

const Cp936Table& Table() {
  static const Cp936Table table;
  return table;
}

void PushUnknown(std::u16string& out, unsigned bytes) {
  const unsigned cp = 0xF0000 + bytes;
  out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
}

void Decode(std::string_view s, std::u16string& out) {
  const Cp936Table& t = Table();
  out.clear();
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      continue;
    }
    if (b >= 0x81 && b <= 0xFE && i + 1 < n) {
      const unsigned char trail = static_cast<unsigned char>(s[i + 1]);
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
        ++i;
        if (char16_t u = t.Pair[(b - 0x81) * kTrails + (trail - 0x40)]) out.push_back(u);
        else PushUnknown(out, (unsigned(b) << 8) | trail);
        continue;
      }
    }
    if (char16_t u = t.Single[b - 0x80]) out.push_back(u);
    else PushUnknown(out, b);
  }
}

// Full Unicode case folding ("A" and "a" the same, full-width letters and
// Greek and Cyrillic too).
void Fold(const std::u16string& in, std::u16string& out) {
  out.resize(in.size() + 8);
  for (;;) {
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = u_strFoldCase(out.data(), static_cast<int32_t>(out.size()), in.data(), static_cast<int32_t>(in.size()),
                              U_FOLD_CASE_DEFAULT, &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<std::size_t>(n));
      continue;
    }
    if (U_FAILURE(err)) {
      out = in;
      return;
    }
    out.resize(static_cast<std::size_t>(n));
    return;
  }
}

// ---------------------------------------------------------------------------
// One collator per thread (an ICU collator must not be used by two threads at
// once); ICU shares the loaded rules between them. The buffers are kept to
// avoid allocating for every comparison.

struct ThreadCollator {
  UCollator* Coll = nullptr;
  std::u16string A, B, FoldedA, FoldedB;
  std::vector<uint8_t> Key;

  ThreadCollator() {
    UErrorCode err = U_ZERO_ERROR;
    Coll = ucol_open("zh@collation=pinyin", &err);
    if (U_FAILURE(err)) {
      if (Coll) ucol_close(Coll);
      Coll = nullptr;
      return;
    }
    ucol_setAttribute(Coll, UCOL_STRENGTH, UCOL_TERTIARY, &err);
    ucol_setAttribute(Coll, UCOL_CASE_FIRST, UCOL_LOWER_FIRST, &err);
    // The Chinese tailoring puts hanzi ahead of every other script; the PRC
    // order has Latin letters first, as in the root order.
    const int32_t none = UCOL_REORDER_CODE_NONE;
    ucol_setReorderCodes(Coll, &none, 1, &err);
    if (U_FAILURE(err)) {
      ucol_close(Coll);
      Coll = nullptr;
    }
  }
  ~ThreadCollator() {
    if (Coll) ucol_close(Coll);
  }
  ThreadCollator(const ThreadCollator&) = delete;
  ThreadCollator& operator=(const ThreadCollator&) = delete;
};

ThreadCollator& Collator() {
  thread_local ThreadCollator c;
  return c;
}

int32_t Len(const std::u16string& s) { return static_cast<int32_t>(s.size()); }

// Bytes, compared as unsigned.
int CompareBytes(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

// The collator's order of two decoded texts; 0 when it sees no difference.
int CollateDecoded(const std::u16string& a, const std::u16string& b) {
  ThreadCollator& c = Collator();
  if (!c.Coll) return 0;
  const UCollationResult r = ucol_strcoll(c.Coll, a.data(), Len(a), b.data(), Len(b));
  return r == UCOL_EQUAL ? 0 : (r == UCOL_LESS ? -1 : 1);
}

}  // namespace

int AnsiCollate(std::string_view S1, std::string_view S2, bool IgnoreCase) {
  if (S1 == S2) return 0;
  ThreadCollator& c = Collator();
  Decode(S1, c.A);
  Decode(S2, c.B);
  const std::u16string* a = &c.A;
  const std::u16string* b = &c.B;
  if (IgnoreCase) {
    Fold(c.A, c.FoldedA);
    Fold(c.B, c.FoldedB);
    a = &c.FoldedA;
    b = &c.FoldedB;
  }
  if (const int r = CollateDecoded(*a, *b)) return r;
  // The collator sees no difference: the folded text, or the bytes, decide.
  return IgnoreCase ? Sign(a->compare(*b)) : CompareBytes(S1, S2);
}

AnsiCollationText AnsiCollationPrepare(std::string_view S, bool IgnoreCase) {
  AnsiCollationText t;
  t.Bytes = S;
  t.IgnoreCase = IgnoreCase;
  if (IgnoreCase) {
    ThreadCollator& c = Collator();
    Decode(S, c.A);
    Fold(c.A, t.Text);
  } else {
    Decode(S, t.Text);
  }
  return t;
}

int AnsiCollatePrepared(const AnsiCollationText& A, const AnsiCollationText& B) {
  if (A.Bytes == B.Bytes) return 0;
  if (const int r = CollateDecoded(A.Text, B.Text)) return r;
  return A.IgnoreCase ? Sign(A.Text.compare(B.Text)) : CompareBytes(A.Bytes, B.Bytes);
}

bool AnsiCollateSame(std::string_view S1, std::string_view S2, bool IgnoreCase) {
  if (S1 == S2) return true;
  if (!IgnoreCase) return false;
  // Over ASCII, folding the letters is all that case folding does.
  std::size_t i = 0;
  for (; i < S1.size() && i < S2.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(S1[i]), b = static_cast<unsigned char>(S2[i]);
    if (a >= 0x80 || b >= 0x80) break;
    if (a >= 'A' && a <= 'Z') a += 32;
    if (b >= 'A' && b <= 'Z') b += 32;
    if (a != b) return false;
  }
  if (i == S1.size() || i == S2.size()) return S1.size() == S2.size();
  // Equal exactly when the folded texts are: the collator finds equal texts equal.
  ThreadCollator& c = Collator();
  Decode(S1, c.A);
  Decode(S2, c.B);
  Fold(c.A, c.FoldedA);
  Fold(c.B, c.FoldedB);
  return c.FoldedA == c.FoldedB;
}

std::string AnsiCollationKey(std::string_view S, bool IgnoreCase) {
  ThreadCollator& c = Collator();
  Decode(S, c.A);
  const std::u16string* u = &c.A;
  if (IgnoreCase) {
    Fold(c.A, c.FoldedA);
    u = &c.FoldedA;
  }
  std::string key;
  if (c.Coll) {
    if (c.Key.size() < 64) c.Key.resize(64);
    int32_t n = ucol_getSortKey(c.Coll, u->data(), Len(*u), c.Key.data(), static_cast<int32_t>(c.Key.size()));
    if (n > static_cast<int32_t>(c.Key.size())) {
      c.Key.resize(static_cast<std::size_t>(n));
      n = ucol_getSortKey(c.Coll, u->data(), Len(*u), c.Key.data(), n);
    }
    // ICU's key ends with its only zero byte; what follows the zero here
    // decides between strings that the collator finds equal.
    if (n > 0) key.assign(reinterpret_cast<const char*>(c.Key.data()), static_cast<std::size_t>(n - 1));
  }
  key.push_back('\0');
  if (IgnoreCase) {
    key.reserve(key.size() + 2 * u->size());
    for (char16_t ch : *u) {
      key.push_back(static_cast<char>(ch >> 8));
      key.push_back(static_cast<char>(ch & 0xFF));
    }
  } else {
    key.append(S);
  }
  return key;
}

int CompareStringA(LCID, DWORD dwCmpFlags, const char* lpString1, int cchCount1, const char* lpString2,
                   int cchCount2) {
  if (!lpString1 || !lpString2 || cchCount1 < -1 || cchCount2 < -1 || (dwCmpFlags & ~NORM_IGNORECASE)) return 0;
  std::string_view a = cchCount1 < 0 ? std::string_view(lpString1) : std::string_view(lpString1, std::size_t(cchCount1));
  std::string_view b = cchCount2 < 0 ? std::string_view(lpString2) : std::string_view(lpString2, std::size_t(cchCount2));
  return AnsiCollate(a, b, (dwCmpFlags & NORM_IGNORECASE) != 0) + CSTR_EQUAL;
}
