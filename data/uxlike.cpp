#include "data/uxlike.h"

#include "platform/rtl/like.h"
#include "platform/rtl/strings.h"

bool uxLike(const AnsiString& Text, const AnsiString& Pattern, char MultiWildcard, char SingleWildcard) {
  return uxLikeMatch(Text.data(), Text.size(), Pattern.data(), Pattern.size(), SingleWildcard, MultiWildcard);
}

bool uxLikeMatch(const char* Text, std::size_t TextLength, const char* Pattern, std::size_t PatternLength,
                 char SingleWildcard, char MultiWildcard) {
  return LikeMatch(std::string_view(Text, TextLength), std::string_view(Pattern, PatternLength),
                   static_cast<unsigned char>(MultiWildcard), static_cast<unsigned char>(SingleWildcard));
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
