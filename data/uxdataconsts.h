// The data layer's message and display texts. Every text shown or raised
// passes through uxTranslateString (framework/uxclasses.h) first.
#pragma once

// Streams (the platform's texts, raised as its stream error classes)
inline constexpr const char* uxSStreamReadError = "Stream read error";
inline constexpr const char* uxSStreamWriteError = "Stream write error";

// Data controller
inline constexpr const char* uxSRecordIndexError = "RecordIndex out of range";
inline constexpr const char* uxSItemIndexError = "ItemIndex out of range";
inline constexpr const char* uxSRowIndexError = "RowIndex out of range";
inline constexpr const char* uxSItemExists = "Item already exists";
inline constexpr const char* uxSKeyFieldNotFound = "Key Field not found";
inline constexpr const char* uxSParentFieldAssigned = "ADataField.FParentField <> nil";
inline constexpr const char* uxSNotGridMode = "DataController not in GridMode";
inline constexpr const char* uxSDetailFilterControllerNotFound = "DetailFilterController not found";

// Filter display texts
inline constexpr const char* uxSFilterOperatorEqual = "equals";
inline constexpr const char* uxSFilterOperatorNotEqual = "does not equal";
inline constexpr const char* uxSFilterOperatorLess = "is less than";
inline constexpr const char* uxSFilterOperatorLessEqual = "is less than or equal to";
inline constexpr const char* uxSFilterOperatorGreater = "is greater than";
inline constexpr const char* uxSFilterOperatorGreaterEqual = "is greater than or equal to";
inline constexpr const char* uxSFilterOperatorLike = "like";
inline constexpr const char* uxSFilterOperatorNotLike = "not like";
inline constexpr const char* uxSFilterOperatorBeginsWith = "begins with";
inline constexpr const char* uxSFilterOperatorDoesNotBeginWith = "does not begin with";
inline constexpr const char* uxSFilterOperatorEndsWith = "ends with";
inline constexpr const char* uxSFilterOperatorDoesNotEndWith = "does not end with";
inline constexpr const char* uxSFilterOperatorContains = "contains";
inline constexpr const char* uxSFilterOperatorDoesNotContain = "does not contain";
inline constexpr const char* uxSFilterOperatorBetween = "between";
inline constexpr const char* uxSFilterOperatorNotBetween = "not between";
inline constexpr const char* uxSFilterOperatorInList = "in";
inline constexpr const char* uxSFilterOperatorNotInList = "not in";
inline constexpr const char* uxSFilterOperatorYesterday = "is yesterday";
inline constexpr const char* uxSFilterOperatorToday = "is today";
inline constexpr const char* uxSFilterOperatorTomorrow = "is tomorrow";
inline constexpr const char* uxSFilterOperatorLast7Days = "is last 7 days";
inline constexpr const char* uxSFilterOperatorLastWeek = "is last week";
inline constexpr const char* uxSFilterOperatorLast14Days = "is last 14 days";
inline constexpr const char* uxSFilterOperatorLastTwoWeeks = "is last two weeks";
inline constexpr const char* uxSFilterOperatorLast30Days = "is last 30 days";
inline constexpr const char* uxSFilterOperatorLastMonth = "is last month";
inline constexpr const char* uxSFilterOperatorLastYear = "is last year";
inline constexpr const char* uxSFilterOperatorInPast = "is past";
inline constexpr const char* uxSFilterOperatorThisWeek = "is this week";
inline constexpr const char* uxSFilterOperatorThisMonth = "is this month";
inline constexpr const char* uxSFilterOperatorThisYear = "is this year";
inline constexpr const char* uxSFilterOperatorNext7Days = "is next 7 days";
inline constexpr const char* uxSFilterOperatorNextWeek = "is next week";
inline constexpr const char* uxSFilterOperatorNext14Days = "is next 14 days";
inline constexpr const char* uxSFilterOperatorNextTwoWeeks = "is next two weeks";
inline constexpr const char* uxSFilterOperatorNext30Days = "is next 30 days";
inline constexpr const char* uxSFilterOperatorNextMonth = "is next month";
inline constexpr const char* uxSFilterOperatorNextYear = "is next year";
inline constexpr const char* uxSFilterOperatorInFuture = "is future";
inline constexpr const char* uxSFilterOperatorIsNull = "is blank";
inline constexpr const char* uxSFilterOperatorIsNotNull = "is not blank";
inline constexpr const char* uxSFilterAndCaption = "and";
inline constexpr const char* uxSFilterOrCaption = "or";
inline constexpr const char* uxSFilterNotCaption = "not";
inline constexpr const char* uxSFilterBlankCaption = "blank";

// Filter value list entries
inline constexpr const char* uxSFilterBoxAllCaption = "(All)";
inline constexpr const char* uxSFilterBoxCustomCaption = "(Custom...)";
inline constexpr const char* uxSFilterBoxBlanksCaption = "(Blanks)";
inline constexpr const char* uxSFilterBoxNonBlanksCaption = "(NonBlanks)";
