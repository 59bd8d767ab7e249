// LIKE matching of the filter criteria: a text against a pattern with a
// multi-character wildcard (by default '%') and a single-character one (by
// default '_'). There is no escape character. Texts are CP936: '_' takes one
// character, a double-byte character counting once, and '%' stands for any
// run of whole characters, the empty run included (so "a%%" matches "a" and
// "%%" matches ""). Matching is case-sensitive (callers fold case first),
// allocates nothing and takes time bounded by text × pattern.
#pragma once
#include <cstddef>

#include "platform/rtl/types.h"

// Whether the whole Text matches the whole Pattern.
bool uxLike(const AnsiString& Text, const AnsiString& Pattern, char MultiWildcard = '%', char SingleWildcard = '_');
bool uxLikeMatch(const char* Text, std::size_t TextLength, const char* Pattern, std::size_t PatternLength,
                 char SingleWildcard, char MultiWildcard);

// Replaces every run of two or more Wildcard characters by one.
void uxCollapseWildcardRuns(AnsiString& Pattern, char Wildcard);
// Collapses the runs; then, for a pattern of two characters or more, removes
// a leading Wildcard (adding 2 to the result) and a trailing one (adding 1):
// 1 "begins with", 2 "ends with", 3 "contains", 0 neither.
int uxTrimLikeWildcards(AnsiString& Pattern, char Wildcard);
