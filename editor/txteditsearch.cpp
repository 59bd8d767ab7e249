#include "editor/txteditsearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "editor/txtdbcs.h"

using namespace txtdbcs;

// ---------------------------------------------------------------- plain engine

TTxtEditSearch::TTxtEditSearch(TComponent* AOwner) : TTxtEditSearchCustom(AOwner) {
  for (int i = 0; i < 256; ++i) {
    // Word characters are the ASCII letters, digits and "_"; every other single
    // byte (and every double-byte character) separates words.
    bool alnum = (i >= '0' && i <= '9') || (i >= 'A' && i <= 'Z') || (i >= 'a' && i <= 'z');
    FDelimiter[i] = !(alnum || i == '_');
  }
}

void TTxtEditSearch::SetFindText(const AnsiString& Value) {
  if (Value == FPattern) return;
  FPattern = Value;
  FPatternReady = false;
}

void TTxtEditSearch::SetSearchOptions(TTxtSearchFlags Value) {
  bool sensitive = Value.Contains(sfMatchCase);
  if (sensitive != FSensitive) {
    FSensitive = sensitive;
    FPatternReady = false;
  }
  FWhole = Value.Contains(sfWholeWord);
}

void TTxtEditSearch::PreparePattern() {
  const int n = int(FPattern.size());
  if (n == 0) throw Exception("Pattern is empty");
  const auto* p = reinterpret_cast<const unsigned char*>(FPattern.data());
  std::vector<std::uint8_t> trail;
  MarkTrailBytes(p, std::size_t(n), trail);
  FPatternOr.assign(std::size_t(n), 0);
  FPatternWant.assign(p, p + n);
  for (int k = 0; k < n; ++k) {
    // The second byte of a double-byte character is compared as it is: folding
    // it would make one Chinese character equal to another.
    const unsigned char lower = p[k] | 0x20;
    if (!FSensitive && !trail[k] && lower >= 'a' && lower <= 'z') {
      FPatternOr[k] = 0x20;
      FPatternWant[k] = lower;
    }
  }
  FPatternReady = true;
}

int TTxtEditSearch::FoundPosition(int Index) const {
  if (Index < 0 || Index >= int(FResults.size())) return 0;
  return FResults[Index];
}

bool TTxtEditSearch::PatternMatchesAt(int i) const {
  const int n = int(FPattern.size());
  const unsigned char* t = FText + i;
  if (FSensitive) return std::memcmp(t, FPattern.data(), std::size_t(n)) == 0;
  // Equal folded bytes from a character boundary on mean equal characters: the
  // lead bytes agree exactly, so the second bytes fall on the same positions.
  const std::uint8_t* o = FPatternOr.data();
  const std::uint8_t* w = FPatternWant.data();
  for (int k = 0; k < n; ++k)
    if ((t[k] | o[k]) != w[k]) return false;
  return true;
}

// Whether byte i of the line is the second byte of a double-byte character.
// Floor is a known character boundary at or before i. Every byte from 0x81 to
// 0xFE may be a first or a second byte, so only the run of such bytes before i
// is read: the character boundary after the last other byte (or Floor) starts
// pairs that run through it.
bool TTxtEditSearch::IsTrailAt(int i, int Floor) const {
  if (i <= Floor || i >= FLen) return false;
  int q = i;
#if defined(__SSE2__)
  // Sixteen bytes at a time: adding 0x7F maps 0x81..0xFE onto 0..125.
  const __m128i bias = _mm_set1_epi8(0x7F), top = _mm_set1_epi8(125), zero = _mm_setzero_si128();
  while (q - 16 >= Floor) {
    const __m128i x = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(FText + q - 16)), bias);
    const unsigned other =
        unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpgt_epi8(x, top), _mm_cmplt_epi8(x, zero))));
    if (other) {
      q = q - 16 + (31 - __builtin_clz(other)) + 1;
      return ((i - q) & 1) && IsTrailByte(FText[i]);
    }
    q -= 16;
  }
#endif
  while (q > Floor && IsLead(FText[q - 1])) --q;
  return ((i - q) & 1) && IsTrailByte(FText[i]);
}

bool TTxtEditSearch::IsWholeWordAt(int i) const {
  const int end = i + int(FPattern.size());
  bool before = true;
  if (i > 0) before = IsTrailAt(i - 1, FSync) ? true : FDelimiter[FText[i - 1]];
  bool after = true;
  if (end < FLen) after = PairAt(FText, FLen, end) ? true : FDelimiter[FText[end]];
  return before && after;
}

// A candidate whose first and last bytes agree: compared whole, then it must
// begin and end on character boundaries (and be a whole word when asked).
bool TTxtEditSearch::AcceptCandidate(int s) {
  if (!PatternMatchesAt(s)) return false;
  const bool startInside = IsTrailAt(s, FSync);
  const bool ok = !startInside && !IsTrailAt(s + int(FPattern.size()), s) && (!FWhole || IsWholeWordAt(s));
  FSync = startInside ? s - 1 : s;
  return ok;
}

int TTxtEditSearch::FindFrom(int From) {
  const int n = int(FPattern.size());
  const int last = FLen - n;  // the last possible start
  // Candidates are the positions whose first and last bytes agree with the
  // pattern's (either case of a folded letter); the rest of the work is done
  // for them alone, so the line needs no pass of its own beforehand.
  const unsigned char f0 = FPatternWant[0], f1 = FPatternWant[n - 1];
  const unsigned char g0 = FPatternOr[0] ? f0 & ~0x20 : f0, g1 = FPatternOr[n - 1] ? f1 & ~0x20 : f1;
  int s = From;
#if defined(__SSE2__)
  if (last >= 15) {
    const __m128i a0 = _mm_set1_epi8(char(f0)), b0 = _mm_set1_epi8(char(g0));
    const __m128i a1 = _mm_set1_epi8(char(f1)), b1 = _mm_set1_epi8(char(g1));
    while (s <= last) {
      // Sixteen starts at a time; the last block ends at the last start, with
      // the starts already looked at masked off.
      int b = s;
      unsigned skip = 0;
      if (b + 15 > last) {
        b = last - 15;
        skip = unsigned(s - b);
      }
      const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(FText + b));
      const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(FText + b + n - 1));
      const __m128i m0 = _mm_or_si128(_mm_cmpeq_epi8(x0, a0), _mm_cmpeq_epi8(x0, b0));
      const __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(x1, a1), _mm_cmpeq_epi8(x1, b1));
      unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(m0, m1))) >> skip << skip;
      if (__builtin_expect(mask != 0, 0)) {
        for (; mask; mask &= mask - 1) {
          const int c = b + __builtin_ctz(mask);
          if (AcceptCandidate(c)) return c;
        }
      }
      s = b + 16;
    }
    return -1;
  }
#endif
  for (; s <= last; ++s) {
    const unsigned char x0 = FText[s], x1 = FText[s + n - 1];
    if ((x0 == f0 || x0 == g0) && (x1 == f1 || x1 == g1) && AcceptCandidate(s)) return s;
  }
  return -1;
}

int TTxtEditSearch::FindInText(const AnsiString& NewText) {
  FResults.clear();
  if (!FPatternReady) PreparePattern();
  FText = reinterpret_cast<const unsigned char*>(NewText.c_str());
  FLen = int(NewText.size());
  FSync = 0;
  const int n = int(FPattern.size());
  for (int s = FindFrom(0); s >= 0; s = FindFrom(s + n)) FResults.push_back(s + 1);
  FText = nullptr;
  return int(FResults.size());
}

// ---------------------------------------------------------------- regular expressions

int TTxtEditRegexSearch::FoundLength(int Index) const {
  if (Index < 0 || Index >= int(FLengths.size())) return 0;
  return FLengths[Index];
}

int TTxtEditRegexSearch::FoundPosition(int Index) const {
  if (Index < 0 || Index >= int(FPositions.size())) return 0;
  return FPositions[Index];
}

void TTxtEditRegexSearch::SetSearchOptions(TTxtSearchFlags Value) {
  FRegex.SwitchModifier(1, !Value.Contains(sfMatchCase));
}

int TTxtEditRegexSearch::FindInText(const AnsiString& NewText) {
  FPositions.clear();
  FLengths.clear();
  bool found = FRegex.Exec(NewText);
  while (found) {
    FPositions.push_back(FRegex.MatchStart(0));
    FLengths.push_back(FRegex.MatchLength(0));
    found = FRegex.ExecNext();
  }
  return int(FPositions.size());
}

AnsiString TTxtEditRegexSearch::ReplacementFor(const AnsiString& Occurrence, const AnsiString& Replacement) {
  return FRegex.ReplaceAll(Occurrence, Replacement, true);
}
