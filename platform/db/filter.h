// Filter text of a dataset: comparisons of fields with numbers, strings and
// dates, AND / OR / NOT, parentheses, IS NULL / IS NOT NULL ("= NULL" and
// "<> NULL" test the same), [NOT] LIKE with '%' and '_', [NOT] BETWEEN ... AND
// ..., [NOT] IN (...), and the '*' wildcard in string literals compared for
// (in)equality. Field names may stand in brackets, "]]" inside standing for
// one ']'; a bracketed name is always a field, never a keyword. String
// literals are quoted with ' or ", a doubled quote standing for one; dates are
// quoted texts or #...#. A comparison, LIKE, BETWEEN or IN with a null value
// on either side matches nothing. Parsed once into a tree, evaluated per
// record.
#pragma once
#include <functional>
#include <memory>
#include "platform/rtl/types.h"

namespace pvdb {

// A value as the filter sees it. Text is CP936.
struct FilterValue {
  enum Kind { Null, Number, Text, Date };
  Kind kind = Null;
  double num = 0;  // numbers, booleans (0/1) and dates (TDateTime)
  AnsiString text;
};

// What a field name resolves to: an index the record reader understands, and
// the kind of its values (for reading literals compared with it).
struct FilterField {
  int index = -1;
  FilterValue::Kind kind = FilterValue::Text;
};

class FilterExpr {
 public:
  virtual ~FilterExpr() = default;
  using Reader = std::function<FilterValue(int index)>;
  // patterns: '*' in a string literal compared for (in)equality stands for any run
  // of characters; otherwise it is an ordinary character. caseInsensitive folds
  // the ASCII letters of texts compared, matched by LIKE or looked up by IN.
  virtual bool Eval(const Reader& read, bool caseInsensitive, bool patterns) const = 0;
};

// Parses Text; Resolve maps a field name to its field and raises for an unknown
// name. A syntax error raises EDatabaseError naming the filter text. An empty or
// blank text gives null (every record passes).
std::unique_ptr<FilterExpr> ParseFilter(const AnsiString& Text,
                                        const std::function<FilterField(const AnsiString&)>& Resolve);

// Matches Text against a pattern where '*' stands for any run of characters,
// never splitting a double-byte character.
bool WildcardMatch(const AnsiString& Pattern, const AnsiString& Text, bool caseInsensitive);

}  // namespace pvdb
