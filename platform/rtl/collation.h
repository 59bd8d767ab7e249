// The locale's order of CP936 text: the Chinese (PRC) order, through ICU's
// Chinese (pinyin) collator.
//
//   - Hanzi sort by their pinyin, the second-level GB2312 characters and the
//     GBK extension characters included (阿 澳 亍 丂 张 中).
//   - Punctuation and symbols come before digits, digits before letters, and
//     Latin letters before hanzi.
//   - Letters compare without case first; when two strings differ only in
//     case, lower case comes first ("a A b B").
//   - The case-insensitive variant folds case before comparing, so "a" and "A"
//     are equal, while full-width and half-width letters stay different.
//
// Two strings compare equal only when they are the same bytes (the case-
// sensitive variant) or the same text after case folding (the insensitive
// one): where the collator sees no difference the comparison falls back to
// the bytes, or to the folded text, so sorted lists never merge distinct
// strings. Bytes that are not valid CP936 are compared as themselves, after
// every character; they never fail.
//
// Ordinal comparisons (CompareStr, CompareText in strings.h) are not affected.
#pragma once
#include <string>
#include <string_view>
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

// -1, 0 or 1.
int AnsiCollate(std::string_view S1, std::string_view S2, bool IgnoreCase);

// AnsiCollate(S1, S2, IgnoreCase) == 0, without ordering: cheaper.
bool AnsiCollateSame(std::string_view S1, std::string_view S2, bool IgnoreCase);

// A key whose byte order (memcmp, std::string's operator<) is the order of
// AnsiCollate with the same IgnoreCase: compute it once per item to sort many.
std::string AnsiCollationKey(std::string_view S, bool IgnoreCase);

// A text decoded once for many comparisons in the order of AnsiCollate: each
// comparison then runs the collator only as far as the two texts differ,
// which for short texts that differ early costs less than a key.
struct AnsiCollationText {
  std::u16string Text;  // decoded, and folded when case is ignored
  std::string Bytes;
  bool IgnoreCase = false;
};
AnsiCollationText AnsiCollationPrepare(std::string_view S, bool IgnoreCase);
// AnsiCollate of the two texts (both prepared with the same IgnoreCase).
int AnsiCollatePrepared(const AnsiCollationText& A, const AnsiCollationText& B);

// The platform's CompareStringA over the one locale this system has: every
// locale id compares in the order above. NORM_IGNORECASE selects the
// case-insensitive variant; a count of -1 means "up to the terminating zero".
// Returns CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN, or 0 for a null
// string, a count below -1 or another flag.
using LCID = DWORD;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400, LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr DWORD NORM_IGNORECASE = 0x00000001;
constexpr int CSTR_LESS_THAN = 1, CSTR_EQUAL = 2, CSTR_GREATER_THAN = 3;
int CompareStringA(LCID Locale, DWORD dwCmpFlags, const char* lpString1, int cchCount1, const char* lpString2,
                   int cchCount2);
