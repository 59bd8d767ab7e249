// The runtime library's message texts. Those with %s or %d are Format patterns.
#pragma once

// Conversions
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidCurrency = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SInvalidVarCast = "Invalid variant type conversion";
inline constexpr const char* SInvalidVarOp = "Invalid variant operation";
inline constexpr const char* SVarArrayBounds = "Variant or safe array index out of bounds";
inline constexpr const char* SVarArrayCreate = "Error creating variant or safe array";
inline constexpr const char* SVarNotArray = "Variant is not an array";
inline constexpr const char* SInvalidArgument = "Invalid argument";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";

// Run-time errors
inline constexpr const char* SOutOfMemory = "Out of memory";
inline constexpr const char* SDivByZero = "Division by zero";
inline constexpr const char* SIntOverflow = "Integer overflow";
inline constexpr const char* SRangeError = "Range check error";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
inline constexpr const char* SInvalidPointer = "Invalid pointer operation";
inline constexpr const char* SAssertionFailed = "Assertion failed";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SOSError = "System Error.  Code: %d.\r\n%s";
inline constexpr const char* SUnkOSError = "A call to an OS function failed";

// Lists
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SDuplicateItem = "List does not allow duplicates ($0%x)";

// Streams and files
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* SFCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* SFileNotFound = "File not found";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SCannotCreateDir = "Unable to create directory";

// Object model
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SInvalidProperty = "Invalid property";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SPropertyException = "Error reading %s%s%s: %s";
inline constexpr const char* SInvalidPropertyPath = "Invalid property path";
inline constexpr const char* SInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";
inline constexpr const char* SResolveError = "Error reading %s: %s";
inline constexpr const char* SParseError = "%s on line %d";
inline constexpr const char* SIdentifierExpected = "Identifier expected";
inline constexpr const char* SStringExpected = "String expected";
inline constexpr const char* SNumberExpected = "Number expected";
inline constexpr const char* SCharExpected = "''%s'' expected";
inline constexpr const char* SInvalidBinary = "Invalid binary value";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";

// Controls and windows
inline constexpr const char* SInvalidOperation = "Invalid operation";
inline constexpr const char* SParentRequired = "Control '%s' has no parent window";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SOutOfResources = "Out of system resources";
inline constexpr const char* SMDIChildNotVisible = "Cannot hide an MDI Child Form";
inline constexpr const char* SVisibleChanged = "Cannot change Visible in OnShow or OnHide";
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";

// Registry
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
