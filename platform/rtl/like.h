// Matching of a text against a pattern with a multi-character and a
// single-character wildcard, as LIKE does. There is no escape character:
// every wildcard character of the pattern is a wildcard. Texts are CP936:
// the single wildcard takes one character (a double-byte character counting
// once), the multi wildcard any run of whole characters, the empty run
// included, and neither text nor pattern is ever entered in the middle of a
// double-byte character. Matching allocates nothing and takes at most
// text x pattern steps.
#pragma once
#include <string_view>

// A wildcard argument that no pattern character equals.
inline constexpr int kNoWildcard = -1;

// Whether the whole Text matches the whole Pattern. The wildcards are byte
// values (0..255) or kNoWildcard. IgnoreCase folds the ASCII letters of
// single-byte characters, as CompareText does; otherwise bytes compare as
// they are.
bool LikeMatch(std::string_view Text, std::string_view Pattern, int MultiWildcard, int SingleWildcard,
               bool IgnoreCase = false);
