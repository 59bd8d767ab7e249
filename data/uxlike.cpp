#include "data/uxlike.h"

#include "platform/rtl/strings.h"

namespace {

// Bytes of the character at P (2 for a lead byte followed by another byte).
inline std::size_t CharLen(const char* P, const char* End) {
  return IsDBCSLeadByte(*P) && P + 1 < End ? 2 : 1;
}

}  // namespace

bool uxLike(const AnsiString& Text, const AnsiString& Pattern, char MultiWildcard, char SingleWildcard) {
  return uxLikeMatch(Text.data(), Text.size(), Pattern.data(), Pattern.size(), SingleWildcard, MultiWildcard);
}

// Greedy matching that, on a mismatch, returns to the last multi wildcard
// and lets it take one more text character: no recursion, and at most
// text × pattern steps.
bool uxLikeMatch(const char* Text, std::size_t TextLength, const char* Pattern, std::size_t PatternLength,
                 char SingleWildcard, char MultiWildcard) {
  const char* t = Text;
  const char* const tEnd = Text + TextLength;
  const char* p = Pattern;
  const char* const pEnd = Pattern + PatternLength;
  const char* starP = nullptr;  // the pattern after the last multi wildcard
  const char* starT = nullptr;  // where the text stood when it was met
  while (t < tEnd) {
    if (p < pEnd) {
      const char pc = *p;
      if (pc == MultiWildcard) {
        while (p < pEnd && *p == MultiWildcard) ++p;
        if (p == pEnd) return true;  // a trailing wildcard takes any rest
        starP = p;
        starT = t;
        continue;
      }
      if (pc == SingleWildcard) {
        ++p;
        t += CharLen(t, tEnd);
        continue;
      }
      if (pc == *t) {
        if (!IsDBCSLeadByte(pc)) {  // both single-byte characters
          ++p;
          ++t;
          continue;
        }
        const bool pTrail = p + 1 < pEnd, tTrail = t + 1 < tEnd;
        if (pTrail == tTrail && (!pTrail || p[1] == t[1])) {
          p += pTrail ? 2 : 1;
          t += tTrail ? 2 : 1;
          continue;
        }
      }
    }
    if (!starP) return false;
    starT += CharLen(starT, tEnd);
    t = starT;
    p = starP;
  }
  while (p < pEnd && *p == MultiWildcard) ++p;
  return p == pEnd;
}

void uxCollapseWildcardRuns(AnsiString& Pattern, char Wildcard) {
  AnsiString r;
  r.reserve(Pattern.size());
  bool lastWasWildcard = false;
  for (std::size_t i = 0; i < Pattern.size();) {
    const std::size_t n = static_cast<std::size_t>(CharLength(Pattern, i));
    const bool wildcard = n == 1 && Pattern[i] == Wildcard;
    if (!(wildcard && lastWasWildcard)) r.append(Pattern, i, n);
    lastWasWildcard = wildcard;
    i += n;
  }
  Pattern = std::move(r);
}

int uxTrimLikeWildcards(AnsiString& Pattern, char Wildcard) {
  uxCollapseWildcardRuns(Pattern, Wildcard);
  if (Pattern.size() < 2) return 0;
  int result = 0;
  if (Pattern[0] == Wildcard) {
    Pattern.erase(0, 1);
    result += 2;
  }
  const std::size_t last = CharPrev(Pattern, Pattern.size());
  if (!Pattern.empty() && last == Pattern.size() - 1 && Pattern[last] == Wildcard) {
    Pattern.erase(last, 1);
    result += 1;
  }
  return result;
}
