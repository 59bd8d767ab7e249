#include "platform/rtl/like.h"

#include "platform/rtl/strings.h"

namespace {

// Bytes of the character at P (2 for a lead byte followed by another byte).
inline std::size_t LikeCharLen(const char* P, const char* End) { return IsDBCSLeadByte(*P) && P + 1 < End ? 2 : 1; }

inline char FoldAsciiUpper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

inline bool IsWildcard(char C, int Wildcard) { return static_cast<int>(static_cast<unsigned char>(C)) == Wildcard; }

}  // namespace

// Greedy matching that, on a mismatch, returns to the last multi wildcard and
// lets it take one more text character: no recursion, and at most
// text x pattern steps.
bool LikeMatch(std::string_view Text, std::string_view Pattern, int MultiWildcard, int SingleWildcard,
               bool IgnoreCase) {
  const char* t = Text.data();
  const char* const tEnd = t + Text.size();
  const char* p = Pattern.data();
  const char* const pEnd = p + Pattern.size();
  const char* starP = nullptr;  // the pattern after the last multi wildcard
  const char* starT = nullptr;  // where the text stood when it was met
  while (t < tEnd) {
    if (p < pEnd) {
      const char pc = *p;
      if (IsWildcard(pc, MultiWildcard)) {
        while (p < pEnd && IsWildcard(*p, MultiWildcard)) ++p;
        if (p == pEnd) return true;  // a trailing wildcard takes any rest
        starP = p;
        starT = t;
        continue;
      }
      if (IsWildcard(pc, SingleWildcard)) {
        ++p;
        t += LikeCharLen(t, tEnd);
        continue;
      }
      if (!IsDBCSLeadByte(pc)) {
        // A single-byte pattern character never equals a lead byte, so the
        // text stands at a single-byte character when they match.
        if (pc == *t || (IgnoreCase && FoldAsciiUpper(pc) == FoldAsciiUpper(*t))) {
          ++p;
          ++t;
          continue;
        }
      } else if (pc == *t) {
        const bool pTrail = p + 1 < pEnd, tTrail = t + 1 < tEnd;
        if (pTrail == tTrail && (!pTrail || p[1] == t[1])) {
          p += pTrail ? 2 : 1;
          t += tTrail ? 2 : 1;
          continue;
        }
      }
    }
    if (!starP) return false;
    starT += LikeCharLen(starT, tEnd);
    t = starT;
    p = starP;
  }
  while (p < pEnd && IsWildcard(*p, MultiWildcard)) ++p;
  return p == pEnd;
}
