// Files and paths over POSIX calls; CP936 names become UTF-8 at each call.
#include "platform/rtl/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/rtl/strings.h"

namespace {

bool StatOf(const AnsiString& name, struct stat& st) {
  if (name.empty()) return false;
  return ::stat(SysFileName(name).c_str(), &st) == 0;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

// Splits s into characters (one or two bytes each).
std::vector<std::string_view> Chars(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t n = (IsDBCSLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

// Moves the file at tmp to dst; with noReplace an existing dst makes it fail
// with EEXIST and leaves dst alone.
int MoveInto(const std::string& tmp, const std::string& dst, bool noReplace) {
  if (!noReplace) return ::rename(tmp.c_str(), dst.c_str());
  // link() fails when the name exists, which makes the check and the move one step.
  if (::link(tmp.c_str(), dst.c_str()) == 0) {
    ::unlink(tmp.c_str());
    return 0;
  }
  if (errno == EEXIST) return -1;
  // File systems without hard links: check, then rename.
  struct stat st;
  if (::lstat(dst.c_str(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::rename(tmp.c_str(), dst.c_str());
}

}  // namespace

std::string SysFileName(const AnsiString& FileName) { return AnsiToUtf8(FileName); }
AnsiString FromSysFileName(const std::string& SysName) { return Utf8ToAnsi(SysName); }

// ---------------------------------------------------------------------------
// Path pieces ('/' and '.' are never trail bytes, so byte searches are safe)

AnsiString ExtractFilePath(const AnsiString& FileName) {
  int i = LastDelimiter("/", FileName);
  return Copy(FileName, 1, i);
}

AnsiString ExtractFileDir(const AnsiString& FileName) {
  int i = LastDelimiter("/", FileName);
  // "/a/b" gives "/a", "/a" gives "/", and doubled delimiters stay.
  if (i > 1 && FileName[static_cast<std::size_t>(i - 1)] == PathDelim && !IsDelimiter("/", FileName, i - 1)) --i;
  return Copy(FileName, 1, i);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
  int i = LastDelimiter("/", FileName);
  return Copy(FileName, i + 1, Length(FileName));
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
  int i = LastDelimiter("./", FileName);
  if (i > 0 && FileName[static_cast<std::size_t>(i - 1)] == '.') return Copy(FileName, i, Length(FileName));
  return AnsiString();
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
  int i = LastDelimiter("./", FileName);
  if (i == 0 || FileName[static_cast<std::size_t>(i - 1)] != '.') i = Length(FileName) + 1;
  return Copy(FileName, 1, i - 1) + Extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& S) {
  if (!S.empty() && S.back() == PathDelim) return S;
  return S + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S) {
  if (!S.empty() && S.back() == PathDelim) return S.substr(0, S.size() - 1);
  return S;
}

AnsiString ExpandFileName(const AnsiString& FileName) {
  AnsiString path = FileName;
  if (path.empty() || path[0] != PathDelim) path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  std::vector<AnsiString> parts;
  std::size_t i = 0;
  while (i <= path.size()) {
    std::size_t j = path.find(PathDelim, i);
    if (j == AnsiString::npos) j = path.size();
    AnsiString part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  AnsiString r;
  for (const AnsiString& p : parts) {
    r += PathDelim;
    r += p;
  }
  if (r.empty()) r.push_back(PathDelim);
  // A trailing delimiter names a directory: keep it.
  if (r.size() > 1 && FileName.size() > 0 && FileName.back() == PathDelim) r += PathDelim;
  return r;
}

// ---------------------------------------------------------------------------
// Queries and operations

bool FileExists(const AnsiString& FileName) {
  struct stat st;
  return StatOf(FileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& Directory) {
  struct stat st;
  return StatOf(Directory, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const AnsiString& Dir) {
  if (Dir.empty()) return false;
  return ::mkdir(SysFileName(Dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const AnsiString& Dir) {
  if (Dir.empty()) return false;
  AnsiString d = ExcludeTrailingPathDelimiter(Dir);
  if (d.empty() || DirectoryExists(d)) return true;
  AnsiString parent = ExtractFilePath(d);
  if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
  return CreateDir(d) || DirectoryExists(d);
}

bool RemoveDir(const AnsiString& Dir) {
  if (Dir.empty()) return false;
  return ::rmdir(SysFileName(Dir).c_str()) == 0;
}

bool DeleteFile(const AnsiString& FileName) {
  if (FileName.empty() || DirectoryExists(FileName)) return false;
  return ::unlink(SysFileName(FileName).c_str()) == 0;
}

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
  if (OldName.empty() || NewName.empty()) return false;
  std::string from = SysFileName(OldName), to = SysFileName(NewName);
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(const AnsiString& ExistingFileName, const AnsiString& NewFileName, bool FailIfExists) {
  if (ExistingFileName.empty() || NewFileName.empty()) return false;
  const std::string src = SysFileName(ExistingFileName), dst = SysFileName(NewFileName);
  struct stat st;
  if (FailIfExists && ::lstat(dst.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(in);
    if (S_ISDIR(st.st_mode)) errno = EISDIR;
    return false;
  }
  std::string dir = ExtractFilePath(NewFileName).empty() ? std::string(".") : SysFileName(ExtractFileDir(NewFileName));
  std::string tmp = dir + "/.pvcopyXXXXXX";
  int out = ::mkstemp(tmp.data());
  if (out < 0) {
    int e = errno;
    ::close(in);
    errno = e;
    return false;
  }
  bool ok = true;
  char buf[65536];
  while (ok) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    const char* p = buf;
    while (n > 0) {
      ssize_t w = ::write(out, p, static_cast<std::size_t>(n));
      if (w < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      p += w;
      n -= w;
    }
  }
  int e = errno;
  ok = ok && ::fchmod(out, st.st_mode & 07777) == 0;
  if (::close(out) != 0) ok = false;
  ::close(in);
  if (ok && MoveInto(tmp, dst, FailIfExists) == 0) return true;
  if (ok) e = errno;
  ::unlink(tmp.c_str());
  errno = e;
  return false;
}

bool FileAge(const AnsiString& FileName, TDateTime& FileDateTime) {
  struct stat st;
  if (!StatOf(FileName, st) || S_ISDIR(st.st_mode)) return false;
  std::tm tm{};
  time_t t = st.st_mtim.tv_sec;
  if (!::localtime_r(&t, &tm)) return false;
  long days = DaysFromCivil(tm.tm_year + 1900L, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday)) -
              DaysFromCivil(1899, 12, 30);
  double secs = tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + st.st_mtim.tv_nsec / 1e9;
  FileDateTime = static_cast<double>(days) + secs / 86400.0;
  return true;
}

TDateTime FileAge(const AnsiString& FileName) {
  TDateTime t;
  return FileAge(FileName, t) ? t : -1;
}

Int64 FileSize(const AnsiString& FileName) {
  struct stat st;
  if (!StatOf(FileName, st) || S_ISDIR(st.st_mode)) return -1;
  return static_cast<Int64>(st.st_size);
}

bool FileNameMatches(const AnsiString& Name, const AnsiString& Mask) {
  std::vector<std::string_view> n = Chars(Name), m = Chars(Mask);
  std::size_t ni = 0, mi = 0, starM = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (mi < m.size() && m[mi] == "*") {
      starM = mi++;
      starN = ni;
    } else if (mi < m.size() && (m[mi] == "?" || m[mi] == n[ni])) {
      ++mi;
      ++ni;
    } else if (starM != std::string::npos) {
      mi = starM + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (mi < m.size() && m[mi] == "*") ++mi;
  return mi == m.size();
}

std::vector<AnsiString> FindFiles(const AnsiString& Dir, const AnsiString& Pattern, bool Directories) {
  std::vector<AnsiString> out;
  AnsiString base = Dir.empty() ? AnsiString(".") : Dir;
  DIR* d = ::opendir(SysFileName(base).c_str());
  if (!d) return out;
  const std::string prefix = SysFileName(IncludeTrailingPathDelimiter(base));
  while (dirent* e = ::readdir(d)) {
    std::string sys = e->d_name;
    if (sys == "." || sys == "..") continue;
    AnsiString name = FromSysFileName(sys);
    if (!FileNameMatches(name, Pattern)) continue;
    struct stat st;
    if (::stat((prefix + sys).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode) != Directories) continue;
    out.push_back(name);
  }
  ::closedir(d);
  std::sort(out.begin(), out.end(), [](const AnsiString& a, const AnsiString& b) { return CompareStr(a, b) < 0; });
  return out;
}

AnsiString GetCurrentDir() {
  std::string buf(4096, '\0');
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return AnsiString();
    buf.resize(buf.size() * 2);
  }
  buf.resize(std::strlen(buf.c_str()));
  return FromSysFileName(buf);
}

bool SetCurrentDir(const AnsiString& Dir) { return !Dir.empty() && ::chdir(SysFileName(Dir).c_str()) == 0; }

AnsiString ExeFileName() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return AnsiString();
  buf.resize(static_cast<std::size_t>(n));
  return FromSysFileName(buf);
}

AnsiString GetTempDir() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  return IncludeTrailingPathDelimiter(FromSysFileName(dir));
}

AnsiString GetTempFileName(const AnsiString& Dir, const AnsiString& Prefix) {
  AnsiString dir = IncludeTrailingPathDelimiter(Dir.empty() ? GetTempDir() : Dir);
  std::string templ = SysFileName(dir + Prefix) + "XXXXXX";
  int fd = ::mkstemp(templ.data());
  if (fd < 0) return AnsiString();
  ::close(fd);
  return FromSysFileName(templ);
}

AnsiString SysErrorMessage(int ErrorCode) {
  char buf[256];
  const char* msg = ::strerror_r(ErrorCode, buf, sizeof buf);
  return FromSysFileName(msg ? msg : "");
}
