// Damaged streams for the three readers (tagged values, record slots and the
// criteria stream), made from valid ones by truncation, byte flips and huge
// lengths: each read either succeeds or raises "Stream read error", never
// allocates more than a small multiple of the input, and a failed read
// leaves the record or the criteria as they were.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "data/tests/datatest.h"
#include "data/uxdatastorage.h"
#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"

namespace {
std::atomic<std::size_t> largestAllocation{0};
std::atomic<bool> trackAllocations{false};
}  // namespace

// The largest single allocation while a damaged stream is read. (The
// replaced pair is malloc and free, which GCC cannot see through.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (trackAllocations.load(std::memory_order_relaxed) && size > largestAllocation.load(std::memory_order_relaxed))
    largestAllocation.store(size, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
// The nothrow pair too (std::stable_sort's buffer), or it would be freed by
// the replaced delete after the library's own new.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace datatest;

constexpr std::size_t kAllocationLimit = 1 << 16;

AnsiString Mutate(const AnsiString& In, std::mt19937& Rng) {
  AnsiString s = In;
  switch (Rng() % 4) {
    case 0:  // truncation
      s.resize(Rng() % (s.size() + 1));
      break;
    case 1:  // a few byte flips
      for (int n = 1 + static_cast<int>(Rng() % 3); n > 0 && !s.empty(); --n)
        s[Rng() % s.size()] = static_cast<char>(Rng() & 0xFF);
      break;
    case 2: {  // a huge or negative 32-bit length somewhere
      static const char* const lengths[] = {"\xFF\xFF\xFF\x7F", "\x00\x00\x00\x80", "\xFF\xFF\xFF\xFF",
                                            "\x00\x00\x01\x00"};
      const char* l = lengths[Rng() % 4];
      const std::size_t at = s.empty() ? 0 : Rng() % s.size();
      s.replace(at, std::min<std::size_t>(4, s.size() - at), l, 4);
      break;
    }
    default:  // random bytes inserted
      s.insert(s.empty() ? 0 : Rng() % s.size(), AnsiString(1 + Rng() % 4, static_cast<char>(Rng() & 0xFF)));
      break;
  }
  return s;
}

// Runs Read on a damaged copy of each seed. Read returns whether the target is
// unchanged, for a failed read.
template <class Read>
void Fuzz(const std::vector<AnsiString>& Seeds, int Rounds, unsigned Seed, Read ReadOne) {
  std::mt19937 rng(Seed);
  int failures = 0;
  for (int round = 0; round < Rounds; ++round) {
    const AnsiString bytes = Mutate(Seeds[static_cast<std::size_t>(round) % Seeds.size()], rng);
    TStringStream s(bytes);
    largestAllocation = 0;
    trackAllocations = true;
    bool unchanged = true;
    bool failed = false;
    try {
      ReadOne(&s, unchanged);
    } catch (const EReadError& e) {
      failed = true;
      EXPECT_STREQ(e.what(), "Stream read error");
    }
    trackAllocations = false;
    ASSERT_LT(largestAllocation.load(), kAllocationLimit) << Hex(bytes);
    if (failed) {
      ++failures;
      ASSERT_TRUE(unchanged) << Hex(bytes);
    }
  }
  EXPECT_GT(failures, Rounds / 4);  // the mutations do break streams
}

TEST(Fuzz, TaggedValues) {
  std::vector<AnsiString> seeds;
  const Variant values[] = {VarArrayOf({Variant(1), Variant(kChapter), VarArrayOf({Variant(2.5), Null()})}),
                            Variant(AnsiString(300, 'x')), Variant(u"\u4E2D\u6587"), Variant(Currency::FromScaled(7)),
                            VarFromDateTime(46000)};
  for (const Variant& v : values) {
    TStringStream s;
    uxWriteVariant(&s, v);
    seeds.push_back(s.DataString());
  }
  Fuzz(seeds, 4000, 1, [](TStream* s, bool&) {
    Variant v;
    uxReadVariant(s, v);
  });
}

TEST(Fuzz, RecordSlots) {
  TuxDataStorage storage;
  storage.SetKeepRecordIds(true);
  std::vector<TuxValueDef*> defs;
  for (const auto& e : uxValueTypeTable())
    defs.push_back(storage.ValueDefs()->Add(e.Class, true, nullptr, defs.empty()));
  storage.SetRecordCount(2);
  const Variant values[] = {Variant(kChapter), Variant(u"\u4E2D"), Variant(1), Variant(2), Variant(3), Variant(true),
                            Variant(0.5), Variant(Currency::FromScaled(5)), VarFromDateTime(46000),
                            Variant(static_cast<long long>(1) << 40), Variant("12.5"), VarFromDateTime(46000.5),
                            VarArrayOf({Variant(1), Variant("a")}), Null()};
  for (std::size_t i = 0; i < defs.size(); ++i) storage.SetRecordValue(0, defs[i], values[i]);
  storage.SetRecordText(0, defs[0], "shown");
  std::vector<AnsiString> seeds;
  for (int r = 0; r < 2; ++r) {
    TStringStream s;
    storage.SaveRecord(r, &s);
    seeds.push_back(s.DataString());
  }
  TStringStream before;
  storage.SaveRecord(1, &before);
  Fuzz(seeds, 4000, 2, [&](TStream* s, bool& unchanged) {
    TStringStream was;
    storage.SaveRecord(1, &was);
    try {
      storage.LoadRecord(1, s);
    } catch (...) {
      TStringStream now;
      storage.SaveRecord(1, &now);
      unchanged = now.DataString() == was.DataString();
      throw;
    }
  });
}

TEST(Fuzz, CriteriaStream) {
  SetClockForTests([] { return EncodeDate(2026, 12, 10); });
  TestCriteria source;
  source.Root()->SetBoolOperatorKind(fgoNotOr);
  TuxFilterCriteriaItemList* notAnd = source.Root()->AddItemList(fgoNotAnd);
  source.Root()->AddItem(source.Col(0), fckLike, Variant("%" + kChapter + "_"), "x");
  notAnd->AddItem(source.Col(1), fckBetween, uxMakeVarArray2(Variant(1), Variant(9)), "1;9");
  notAnd->AddItem(source.Col(1), fckInList, VarArrayOf({Variant(1), Variant(2)}), "1;2");
  notAnd->AddItemList(fgoOr)->AddItem(source.Col(2), fckThisWeek, Null(), "");
  const AnsiString seed = Saved(source);
  TestCriteria target;
  target.Root()->AddItem(target.Col(3), fckEqual, Variant("kept"), "kept");
  const AnsiString kept = Saved(target);
  Fuzz({seed}, 4000, 3, [&](TStream* s, bool& unchanged) {
    try {
      target.LoadFromStream(s);
    } catch (...) {
      unchanged = Saved(target) == kept && target.LockCount() == 0;
      throw;
    }
    // a stream that read well replaced the criteria: put the kept ones back
    TStringStream back(kept);
    target.LoadFromStream(&back);
  });
  ResetClock();
}

}  // namespace
