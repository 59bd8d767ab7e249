#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/tests/rtltest.h"

namespace {

namespace fs = std::filesystem;

AnsiString ReadAll(TStream& s) {
  s.SetPosition(0);
  AnsiString r(static_cast<std::size_t>(s.Size()), '\0');
  s.ReadBuffer(r.data(), static_cast<LongInt>(r.size()));
  return r;
}

// A stream that claims more bytes than it can deliver, like a truncated file
// whose header declares a large length.
class TLyingStream : public TStream {
 public:
  LongInt Read(void* Buffer, LongInt Count) override {
    LongInt n = std::min<LongInt>(Count, static_cast<LongInt>(3 - std::min<Int64>(FPos, 3)));
    std::memset(Buffer, 'x', static_cast<std::size_t>(std::max(n, 0)));
    FPos += n;
    return n;
  }
  LongInt Write(const void*, LongInt) override { return 0; }
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override {
    FPos = Origin == soBeginning ? Offset : Origin == soCurrent ? FPos + Offset : 1000000 + Offset;
    return FPos;
  }
  Int64 Size() override { return 1000000; }

 private:
  Int64 FPos = 0;
};

TEST(MemoryStream, WritesReadsSeeksAndResizes) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  EXPECT_EQ(m.Seek(-2, soEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 2);
  EXPECT_STREQ(buf, "lo");
  EXPECT_EQ(m.Read(buf, 8), 0);

  // Writing past the end leaves a zero-filled gap.
  m.SetPosition(7);
  m.WriteBuffer("!", 1);
  EXPECT_EQ(ReadAll(m), AnsiString("hello\0\0!", 8));

  // Shrinking pulls the position back to the new end; growing adds zeros.
  m.SetPosition(8);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  m.SetSize(4);
  EXPECT_EQ(ReadAll(m), AnsiString("he\0\0", 4));

  // A seek before the start is refused and leaves the position alone.
  m.SetPosition(1);
  EXPECT_EQ(m.Seek(-5, soCurrent), -1);
  EXPECT_EQ(m.Position(), 1);

  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, GrowsAcrossManySmallWrites) {
  TMemoryStream m;
  for (int i = 0; i < 100000; ++i) {
    char c = static_cast<char>(i % 251);
    m.WriteBuffer(&c, 1);
  }
  ASSERT_EQ(m.Size(), 100000);
  const char* p = static_cast<const char*>(m.Memory());
  EXPECT_EQ(p[99999], static_cast<char>(99999 % 251));
  EXPECT_GE(m.Capacity(), m.Size());
}

// Every kind of stream: a short ReadBuffer raises EReadError "Stream read error".
TEST(Streams, TruncatedReadRaisesReadError) {
  TempDir dir;
  static const char kData[] = "abc";
  RegisterResource(RT_RCDATA, "TRUNCATED_TEST", kData, 3);
  std::vector<std::pair<const char*, std::function<std::unique_ptr<TStream>()>>> cases = {
      {"memory", [] { auto m = std::make_unique<TMemoryStream>(); m->WriteBuffer("abc", 3); return m; }},
      {"string", [] { return std::make_unique<TStringStream>("abc"); }},
      {"read-only", [] { return std::make_unique<TReadOnlyMemoryStream>(kData, 3); }},
      {"resource", [] { return std::make_unique<TResourceStream>("truncated_test", RT_RCDATA); }},
      {"file", [&] {
         { TFileStream f(dir.File("t.bin"), fmCreate); f.WriteBuffer("abc", 3); }
         return std::make_unique<TFileStream>(dir.File("t.bin"), fmOpenRead | fmShareDenyNone);
       }},
  };
  for (auto& [name, make] : cases) {
    SCOPED_TRACE(name);
    auto s = make();
    s->SetPosition(0);
    char buf[4];
    try {
      s->ReadBuffer(buf, 4);
      ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), "Stream read error");
    }
    s->SetPosition(1);
    EXPECT_EQ(s->Read(buf, 4), 2);
    EXPECT_EQ(s->Read(buf, -1), 0);
  }
}

TEST(Streams, CopyFrom) {
  TStringStream src("0123456789");
  TMemoryStream dst;

  // Count 0 copies everything from the start, whatever the position.
  src.SetPosition(7);
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10);
  EXPECT_EQ(ReadAll(dst), "0123456789");

  // A count copies from the position.
  TMemoryStream part;
  src.SetPosition(2);
  EXPECT_EQ(part.CopyFrom(&src, 3), 3);
  EXPECT_EQ(ReadAll(part), "234");
  EXPECT_EQ(src.Position(), 5);

  // More than the source holds: refused before anything is written.
  TMemoryStream none;
  src.SetPosition(8);
  EXPECT_THROW(none.CopyFrom(&src, 5), EReadError);
  EXPECT_EQ(none.Size(), 0);
  EXPECT_THROW(none.CopyFrom(&src, -1), EReadError);
}

TEST(Streams, LoadFromAStreamThatDeclaresMoreThanItHoldsKeepsOldContents) {
  TMemoryStream m;
  m.WriteBuffer("keep", 4);
  TLyingStream liar;
  EXPECT_THROW(m.LoadFromStream(&liar), EReadError);
  EXPECT_EQ(ReadAll(m), "keep");
}

TEST(Streams, ReadStreamBytesChecksTheCountAgainstTheData) {
  // A length prefix that claims far more than follows it.
  TMemoryStream m;
  Integer declared = 0x7FFFFFFF;
  m.WriteBuffer(&declared, 4);
  m.WriteBuffer("abc", 3);
  m.SetPosition(0);
  Integer length = 0;
  m.ReadBuffer(&length, 4);
  EXPECT_THROW(ReadStreamBytes(&m, length), EReadError);
  EXPECT_THROW(ReadStreamBytes(&m, -1), EReadError);
  EXPECT_EQ(m.Position(), 4);
  EXPECT_EQ(ReadStreamBytes(&m, 2), "ab");
  EXPECT_EQ(ReadStreamBytes(&m, 0), "");

  // A stream whose size overstates its data fails when the data runs out.
  TLyingStream liar;
  EXPECT_THROW(ReadStreamBytes(&liar, 500000), EReadError);
}

TEST(FileStream, RoundTripAndModes) {
  TempDir dir;
  AnsiString name = dir.File("data.bin");
  {
    TFileStream f(name, fmCreate | fmShareExclusive);
    f.WriteBuffer("abcdef", 6);
    EXPECT_EQ(f.Size(), 6);
    f.SetSize(4);
    EXPECT_EQ(f.Position(), 4);
  }
  {
    TFileStream f(name, fmOpenReadWrite);
    f.Seek(0, soEnd);
    f.WriteBuffer("XY", 2);
  }
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(ReadAll(f), "abcdXY");
  // A stream opened for reading refuses writes.
  EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);

  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(ReadAll(m), "abcdXY");
  m.SaveToFile(dir.File("copy.bin"));
  TFileStream copy(dir.File("copy.bin"), fmOpenRead);
  EXPECT_EQ(ReadAll(copy), "abcdXY");
}

TEST(FileStream, OpenErrorsNameTheFileAndTheReason) {
  TempDir dir;
  try {
    TFileStream f(dir.File("missing.txt"), fmOpenRead);
    ADD_FAILURE() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(AnsiString(e.what()).rfind("Cannot open file \"" + dir.File("missing.txt") + "\". ", 0), 0u) << e.what();
    EXPECT_GT(AnsiString(e.what()).size(), dir.File("missing.txt").size() + 22);
  }
  try {
    TFileStream f(dir.File("no/such/dir.txt"), fmCreate);
    ADD_FAILURE() << "created in a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(AnsiString(e.what()).rfind("Cannot create file \"", 0), 0u) << e.what();
  }
  // A folder is not a file, although the system would open it for reading.
  EXPECT_THROW(TFileStream(dir.Path, fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.File("x"), 3), EFOpenError);
}

TEST(FileStream, Cp936NameBecomesUtf8OnDisk) {
  TempDir dir;
  AnsiString name = dir.File("\xBD\xDA\xB5\xE3.txt");  // 节点.txt
  { TFileStream f(name, fmCreate); f.WriteBuffer("1", 1); }
  EXPECT_TRUE(fs::exists(fs::path(dir.Path) / "\xE8\x8A\x82\xE7\x82\xB9.txt"));
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(f.Size(), 1);
}

TEST(StringStream, OverwritesInPlaceAndStaysWithinTheString) {
  TStringStream s("hello world");
  s.SetPosition(6);
  s.WriteString("W");
  EXPECT_EQ(s.DataString(), "hello World");
  s.Seek(-2, soEnd);
  s.WriteString("LD!!");
  EXPECT_EQ(s.DataString(), "hello WorLD!!");

  s.SetPosition(11);
  EXPECT_EQ(s.ReadString(10), "!!");
  EXPECT_EQ(s.ReadString(10), "");
  EXPECT_EQ(s.Seek(100, soBeginning), 13);
  EXPECT_EQ(s.Seek(-100, soCurrent), 0);

  s.SetSize(5);
  EXPECT_EQ(s.DataString(), "hello");
}

TEST(ReadOnlyMemoryStream, ReadsButRefusesWrites) {
  static const char kData[] = "\xBD\xDA\xB5\xE3";
  TReadOnlyMemoryStream s(kData, 4);
  EXPECT_EQ(ReadAll(s), "\xBD\xDA\xB5\xE3");
  EXPECT_THROW(s.Write("x", 1), EWriteError);
  EXPECT_THROW(s.SetSize(1), EWriteError);
  EXPECT_EQ(ReadAll(s), "\xBD\xDA\xB5\xE3");
}

TEST(Resources, NamedBlocksAndStrings) {
  static const char kCursor[] = {1, 2, 3};
  RegisterResource("CURSOR", "HandPoint", kCursor, sizeof kCursor);
  RegisterResource("CURSOR", "Empty", nullptr, 0);
  RegisterResource("BITMAP", "HandPoint", kCursor, 1);

  TResourceData r = FindResourceData("cursor", "HANDPOINT");
  ASSERT_TRUE(r);
  EXPECT_EQ(r.Size, 3u);
  EXPECT_TRUE(FindResourceData("CURSOR", "empty"));  // exists, though empty
  EXPECT_FALSE(FindResourceData("ICON", "HandPoint"));
  EXPECT_EQ(FindResourceData("BITMAP", "HandPoint").Size, 1u);

  std::vector<AnsiString> names = EnumResourceNames("Cursor");
  EXPECT_EQ(names, (std::vector<AnsiString>{"Empty", "HandPoint"}));

  TResourceStream s("handpoint", "CURSOR");
  EXPECT_EQ(s.Size(), 3);
  EXPECT_THROW(s.Write("x", 1), EStreamError);
  try {
    TResourceStream missing("NoSuchThing", RT_RCDATA);
    ADD_FAILURE();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NoSuchThing not found");
  }

  RegisterString(61001, "\xBD\xDA\xB5\xE3");
  EXPECT_EQ(LoadStr(61001), "\xBD\xDA\xB5\xE3");
  EXPECT_EQ(LoadStr(61002), "");
}

}  // namespace
