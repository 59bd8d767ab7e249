// Start-up registration of the resources compiled into the program (the files
// of resources/, see resources/README.md).
#pragma once
#include <cstddef>

// Registers every embedded resource and string table; part of the ordered
// start-up list, after InitClasses().
void InitResources();

// Parses a string table ("id=text" lines, CP936; the text is everything after
// the first '=') and registers each string.
// Blank lines and lines starting with ';' are skipped; in the text, \n, \r,
// \t and \\ stand for a line feed, carriage return, tab and backslash.
// Raises EReadError "<Source>: <what> on line <n>" for a malformed line.
void RegisterStringTable(const void* Data, std::size_t Size, const char* Source);
