// Paths and file operations, with CP936 names on a real temporary folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/rtl/sysutils.h"

namespace {

const AnsiString kNodeName = "\xBD\xDA\xB5\xE3.t";                 // 节点.t in CP936
const std::string kNodeNameUtf8 = "\xE8\x8A\x82\xE7\x82\xB9.t";    // the same in UTF-8

TEST(PathPieces, ExtractAndChange) {
  struct Case { AnsiString name, path, dir, file, ext; };
  const Case cases[] = {
      {"/a/b/c.txt", "/a/b/", "/a/b", "c.txt", ".txt"},
      {"/a", "/", "/", "a", ""},
      {"c.txt", "", "", "c.txt", ".txt"},
      {"/a.b/c", "/a.b/", "/a.b", "c", ""},
      {"x.tar.gz", "", "", "x.tar.gz", ".gz"},
      {"/d/", "/d/", "/d", "", ""},
      {"/s/" + kNodeName, "/s/", "/s", kNodeName, ".t"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".t"), "/a.b/c.t");
  EXPECT_EQ(ChangeFileExt("a.txt", ""), "a");
  EXPECT_EQ(ChangeFileExt(kNodeName, ".l"), "\xBD\xDA\xB5\xE3.l");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
}

TEST(PathPieces, ExpandFileNameResolvesDotsAgainstTheCurrentDirectory) {
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/a//b/"), "/a/b/");
  EXPECT_EQ(ExpandFileName("/.."), "/");
  EXPECT_EQ(ExpandFileName("x/../y"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "y");
}

TEST(PathPieces, FileNameMatchesIsDoubleByteAware) {
  struct Case { AnsiString name, mask; bool match; };
  const Case cases[] = {
      {"story.t", "*.t", true},       {"story.te", "*.t", false},     {"a.t", "?.t", true},
      {kNodeName, "??.t", true},      {kNodeName, "???.t", false},    // '?' is one character
      {kNodeName, "*.t", true},       {"abc", "a*c", true},           {"abc", "a*b", false},
      {"", "*", true},                {"A.T", "*.t", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileNameMatches(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = std::filesystem::temp_directory_path().string() + "/pvfilesXXXXXX";
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    sysDir_ = templ;
    dir_ = IncludeTrailingPathDelimiter(FromSysFileName(templ));
  }
  void TearDown() override { std::filesystem::remove_all(sysDir_); }

  static void Write(const AnsiString& name, const std::string& text) {
    std::ofstream(SysFileName(name), std::ios::binary) << text;
  }
  static std::string Read(const AnsiString& name) {
    std::ifstream in(SysFileName(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string sysDir_;
  AnsiString dir_;
};

TEST_F(FilesTest, CopyFileHonoursFailIfExists) {
  const AnsiString src = dir_ + "src", dst = dir_ + "dst";
  Write(src, "one");
  Write(dst, "two");
  EXPECT_FALSE(CopyFile(src, dst, true));
  EXPECT_EQ(Read(dst), "two");
  EXPECT_TRUE(CopyFile(src, dst, false));
  EXPECT_EQ(Read(dst), "one");
  EXPECT_TRUE(CopyFile(src, dir_ + "new", true));
  EXPECT_EQ(Read(dir_ + "new"), "one");
  // A missing source creates nothing, and no temporary file is left behind.
  EXPECT_FALSE(CopyFile(dir_ + "missing", dir_ + "other", false));
  EXPECT_FALSE(FileExists(dir_ + "other"));
  EXPECT_FALSE(CopyFile(dir_, dir_ + "other", false));  // a directory is not copied
  EXPECT_EQ(FindFiles(dir_, "*"), (std::vector<AnsiString>{"dst", "new", "src"}));
}

TEST_F(FilesTest, CopyFileKeepsPermissionsAndLargeContent) {
  const AnsiString src = dir_ + "big";
  std::string content(200000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  Write(src, content);
  ASSERT_EQ(::chmod(SysFileName(src).c_str(), 0640), 0);
  ASSERT_TRUE(CopyFile(src, dir_ + "copy", true));
  EXPECT_EQ(Read(dir_ + "copy"), content);
  struct stat st;
  ASSERT_EQ(::stat(SysFileName(dir_ + "copy").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FileSize(dir_ + "copy"), 200000);
}

TEST_F(FilesTest, Cp936NamesAreUtf8OnDisk) {
  const AnsiString name = dir_ + kNodeName;
  Write(name, "x");
  EXPECT_TRUE(std::filesystem::exists(sysDir_ + "/" + kNodeNameUtf8));
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(FindFiles(dir_, "*.t"), std::vector<AnsiString>{kNodeName});

  const AnsiString copy = dir_ + "\xD6\xD0\xCE\xC4.te";  // 中文.te
  EXPECT_TRUE(CopyFile(name, copy, true));
  EXPECT_TRUE(std::filesystem::exists(sysDir_ + "/\xE4\xB8\xAD\xE6\x96\x87.te"));
  const AnsiString moved = dir_ + "\xD6\xD0.l";
  EXPECT_TRUE(RenameFile(copy, moved));
  EXPECT_FALSE(FileExists(copy));
  EXPECT_TRUE(DeleteFile(moved));
  EXPECT_FALSE(FileExists(moved));
}

TEST_F(FilesTest, RenameNeverOverwrites) {
  Write(dir_ + "a", "A");
  Write(dir_ + "b", "B");
  EXPECT_FALSE(RenameFile(dir_ + "a", dir_ + "b"));
  EXPECT_EQ(Read(dir_ + "a"), "A");
  EXPECT_EQ(Read(dir_ + "b"), "B");
  EXPECT_FALSE(RenameFile(dir_ + "missing", dir_ + "c"));
}

TEST_F(FilesTest, DirectoriesAndExistence) {
  const AnsiString nested = dir_ + "a/\xBD\xDA/c";
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_TRUE(ForceDirectories(nested + "/"));   // already there
  EXPECT_FALSE(FileExists(nested));               // a directory is not a file
  EXPECT_FALSE(DeleteFile(nested));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(CreateDir(nested));                // exists
  Write(dir_ + "a/f", "");
  EXPECT_FALSE(ForceDirectories(dir_ + "a/f/g")); // a file is in the way
  EXPECT_EQ(FindFiles(dir_ + "a", "*", true), std::vector<AnsiString>{"\xBD\xDA"});
  EXPECT_EQ(FindFiles(dir_ + "a", "*"), std::vector<AnsiString>{"f"});
  EXPECT_TRUE(RemoveDir(nested));
  EXPECT_FALSE(DirectoryExists(nested));
  EXPECT_FALSE(RemoveDir(dir_ + "a"));            // not empty
  EXPECT_TRUE(FindFiles(dir_ + "nowhere").empty());
}

TEST_F(FilesTest, FileAgeIsLocalTime) {
  const AnsiString name = dir_ + "f";
  Write(name, "x");
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 5;
  tm.tm_hour = 10;
  tm.tm_min = 20;
  tm.tm_sec = 30;
  tm.tm_isdst = -1;
  const time_t t = std::mktime(&tm);
  struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, SysFileName(name).c_str(), times, 0), 0);
  EXPECT_NEAR(FileAge(name), 45356 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);
  EXPECT_EQ(FileAge(dir_ + "missing"), -1);
  TDateTime out = 5;
  EXPECT_FALSE(FileAge(dir_ + "missing", out));
}

TEST_F(FilesTest, TempFilesAndCurrentDirectory) {
  AnsiString t = GetTempFileName(dir_, "tmp");
  EXPECT_EQ(ExtractFilePath(t), dir_);
  EXPECT_EQ(Copy(ExtractFileName(t), 1, 3), "tmp");
  EXPECT_TRUE(FileExists(t));
  EXPECT_NE(GetTempFileName(dir_, "tmp"), t);
  EXPECT_EQ(GetTempDir().back(), PathDelim);

  const AnsiString before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir_));
  EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), IncludeTrailingPathDelimiter(ExpandFileName(dir_)));
  EXPECT_EQ(ExpandFileName("x"), ExpandFileName(dir_ + "x"));
  ASSERT_TRUE(SetCurrentDir(before));
}

TEST(ExecutablePath, NamesTheRunningProgram) {
  AnsiString exe = ExeFileName();
  EXPECT_EQ(exe[0], PathDelim);
  EXPECT_EQ(ExtractFileName(exe), "pv_rtl_tests");
  EXPECT_TRUE(FileExists(exe));
}

TEST(SystemErrors, MessageText) {
  EXPECT_FALSE(SysErrorMessage(ENOENT).empty());
  EXPECT_EQ(Format(SFOpenError, {"a.t", SysErrorMessage(ENOENT)}),
            "Cannot open file \"a.t\". " + SysErrorMessage(ENOENT));
}

}  // namespace
