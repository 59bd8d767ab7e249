// Files and paths. Names are CP936 strings, as everywhere in the program; they
// are converted to UTF-8 when they reach the operating system (and names read
// from it, such as directory listings, are converted back).
#pragma once
#include <vector>
#include "platform/rtl/types.h"

inline constexpr char PathDelim = '/';
inline constexpr char PathSep = ':';  // between entries of a search path

// The name as the operating system sees it (UTF-8), and back.
std::string SysFileName(const AnsiString& FileName);
AnsiString FromSysFileName(const std::string& SysName);

// Path pieces. Only '/' separates directories; the split never falls inside
// a double-byte character.
AnsiString ExtractFilePath(const AnsiString& FileName);  // with trailing '/'
AnsiString ExtractFileDir(const AnsiString& FileName);   // without it ("/" for the root)
AnsiString ExtractFileName(const AnsiString& FileName);
AnsiString ExtractFileExt(const AnsiString& FileName);   // with the '.'; "" when none
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S);
// Absolute and normalised ("." and ".." resolved) against the current directory.
AnsiString ExpandFileName(const AnsiString& FileName);

// Queries and operations; the Boolean ones report failure by returning false.
bool FileExists(const AnsiString& FileName);       // a file, not a directory
bool DirectoryExists(const AnsiString& Directory);
bool CreateDir(const AnsiString& Dir);
// Creates Dir and any missing parents; true when Dir exists afterwards
// (false for an empty name).
bool ForceDirectories(const AnsiString& Dir);
bool RemoveDir(const AnsiString& Dir);
bool DeleteFile(const AnsiString& FileName);
// Fails when NewName already exists (it is never overwritten).
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);
// Copies contents and permission bits. With FailIfExists an existing
// destination is left untouched and false is returned. The copy is written to
// a temporary name beside the destination and renamed into place, so a failed
// copy never leaves a half-written destination.
bool CopyFile(const AnsiString& ExistingFileName, const AnsiString& NewFileName, bool FailIfExists);
// Modification time as a TDateTime in local time; -1 when the file is missing.
TDateTime FileAge(const AnsiString& FileName);
bool FileAge(const AnsiString& FileName, TDateTime& FileDateTime);
// Size in bytes; -1 when the file is missing.
Int64 FileSize(const AnsiString& FileName);

// Names (not paths) of the entries of Dir matching Pattern ('*' and '?',
// case-sensitive), sorted; "." and ".." are left out. Files only, or
// directories only when Directories is true.
std::vector<AnsiString> FindFiles(const AnsiString& Dir, const AnsiString& Pattern = "*",
                                  bool Directories = false);
// Whether Name matches a '*' / '?' pattern: '?' is one character (one or two
// bytes), '*' any run of them; letters match with their case, as file names do.
bool FileNameMatches(const AnsiString& Name, const AnsiString& Mask);

AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& Dir);
// Full path of the running program (from /proc/self/exe).
AnsiString ExeFileName();
// The directory for temporary files, with a trailing delimiter ($TMPDIR or /tmp).
AnsiString GetTempDir();
// Creates a new empty file with a unique name in Dir (the temporary directory
// when empty) whose name starts with Prefix, and returns its full path ("" when
// the file cannot be created).
AnsiString GetTempFileName(const AnsiString& Dir = "", const AnsiString& Prefix = "pv");

// Text of an operating-system error code (an errno value), for messages such
// as "Cannot open file \"%s\". %s".
AnsiString SysErrorMessage(int ErrorCode);
