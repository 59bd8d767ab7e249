// The "DataController1" stream of the unbound controller: round trip, exact
// bytes of the small cases, refusals that keep the records, and a seeded
// fuzz run of its reader.
#include <gtest/gtest.h>

#include <random>

#include "ctltest.h"
#include "data/uxvariants.h"
#include "datatest.h"

namespace ctltest {
namespace {

AnsiString Save(TuxCustomDataController* C) {
  TStringStream s;
  C->SaveToStream(&s);
  return s.DataString();
}

void LoadText(TuxCustomDataController* C, const AnsiString& Bytes) {
  TStringStream s(Bytes);
  C->LoadFromStream(&s);
}

ControllerPtr Filled() {
  auto c = NewController();
  c->AddColumn("Name", TuxStringValueType::Instance());
  c->AddColumn("N", TuxIntegerValueType::Instance());
  c->AddColumn("When", TuxDateTimeValueType::Instance());
  c->AddColumn("Any", TuxVariantValueType::Instance());
  c->Load({{Variant(A("第一章")), Variant(1), VarFromDateTime(45000.5), Variant(2.5)},
           {Null(), Variant(-7), Null(), Variant("x")},
           {Variant(""), Null(), VarFromDateTime(1), Null()}});
  c->SetRecordCount(4);  // a record never written has no buffer
  return c;
}

TEST(DataControllerStream, RoundTripKeepsEveryValue) {
  auto c = Filled();
  const AnsiString bytes = Save(c.get());
  auto d = NewController();
  d->AddColumn("Name", TuxStringValueType::Instance());
  d->AddColumn("N", TuxIntegerValueType::Instance());
  d->AddColumn("When", TuxDateTimeValueType::Instance());
  d->AddColumn("Any", TuxVariantValueType::Instance());
  LoadText(d.get(), bytes);
  ASSERT_EQ(d->GetRecordCount(), 4);
  for (int r = 0; r < 4; ++r)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(uxCompareVariants(d->GetValue(r, i), c->GetValue(r, i)), 0) << r << "," << i;
  EXPECT_EQ(Save(d.get()), bytes);
  EXPECT_EQ(d->GetRowCount(), 4);
}

TEST(DataControllerStream, TheSmallCasesByteForByte) {
  auto c = NewController();
  c->SetRecordCount(2);
  // Signature, no definitions, two records without a buffer.
  EXPECT_EQ(datatest::Hex(Save(c.get())), "0F000000" "44617461436F6E74726F6C6C657231" "00000000" "02000000" "01" "01");
  auto d = NewController();
  d->AddColumn("N", TuxIntegerValueType::Instance());
  const AnsiString empty = Save(d.get());
  EXPECT_EQ(datatest::Hex(empty), "0F000000" "44617461436F6E74726F6C6C657231" "01000000"
                                  "13000000" "547578496E746567657256616C756554797065" "00000000");
  LoadText(d.get(), empty);
  EXPECT_EQ(d->GetRecordCount(), 0);
  d->SetRecordCount(1);
  d->SetValue(0, 0, Variant(258));
  EXPECT_EQ(datatest::Hex(Save(d.get())).substr(datatest::Hex(empty).size() - 8),
            "01000000" "00" "00" "02010000");
}

TEST(DataControllerStream, TheStreamFollowsTheItemOrder) {
  auto c = NewController();
  c->AddColumn("A", TuxIntegerValueType::Instance());
  c->AddColumn("B", TuxStringValueType::Instance());
  // Changing A's type re-creates its definition after B's; the stream still
  // writes A first.
  c->ChangeValueTypeClass(0, TuxSmallintValueType::Instance());
  const AnsiString bytes = Save(c.get());
  EXPECT_NE(bytes.find("TuxSmallintValueType"), AnsiString::npos);
  EXPECT_LT(bytes.find("TuxSmallintValueType"), bytes.find("TuxStringValueType"));
}

class BadStream : public ::testing::TestWithParam<int> {};

TEST_P(BadStream, IsRefusedAndTheRecordsStay) {
  auto c = Filled();
  const AnsiString good = Save(c.get());
  AnsiString bad = good;
  std::string expected = "Invalid stream format";
  switch (GetParam()) {
    case 0: bad[4] = 'd'; break;                                  // signature
    case 1: bad[19] = 3; break;                                   // definition count
    case 2: bad.replace(bad.find("Variant"), 7, "Varianx"); break;  // class name
    case 3: bad.resize(bad.size() - 3); expected = "Stream read error"; break;  // ends early
    case 4: {                                                     // a record count beyond the stream
      const std::size_t at = bad.find("TuxVariantValueType") + 19;
      bad[at + 3] = 0x7F;
      expected = "Stream read error";
      break;
    }
    case 5: bad = ""; break;
    default: break;
  }
  auto d = Filled();
  d->SetValue(0, 1, Variant(99));
  try {
    LoadText(d.get(), bad);
    FAIL() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), expected);
  }
  EXPECT_EQ(d->GetRecordCount(), 4);
  EXPECT_EQ(d->GetValue(0, 1).AsInteger(), 99);
  EXPECT_EQ(d->GetValue(0, 0).AsString(), A("第一章"));
  EXPECT_EQ(d->GetInfoLockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadStream, ::testing::Range(0, 6));

TEST(DataControllerStream, AnotherControllersValueTypesAreRefused) {
  auto c = Filled();
  auto d = NewController();
  d->AddColumn("Name", TuxStringValueType::Instance());
  d->AddColumn("N", TuxLargeIntValueType::Instance());
  d->AddColumn("When", TuxDateTimeValueType::Instance());
  d->AddColumn("Any", TuxVariantValueType::Instance());
  d->SetRecordCount(1);
  EXPECT_THROW(LoadText(d.get(), Save(c.get())), EuxInvalidDataControllerOperation);
  EXPECT_EQ(d->GetRecordCount(), 1);
}

// Streams mutated from valid ones: every load either succeeds with whole
// records or raises a stream or controller error and keeps what was there.
TEST(DataControllerStream, FuzzedStreamsNeverCorruptTheRecords) {
  auto source = Filled();
  source->Groups()->ChangeGroupIndex(1, 0);
  const AnsiString good = Save(source.get());
  std::mt19937 rng(0x5eed1234u);
  auto d = Filled();
  const AnsiString before = Save(d.get());
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    AnsiString s = good;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = rng() % (s.size() + 1);
      switch (rng() % 4) {
        case 0: if (at < s.size()) s[at] = static_cast<char>(rng()); break;
        case 1: s.insert(at, 1, static_cast<char>(rng())); break;
        case 2: if (at < s.size()) s.erase(at, 1); break;
        default: s.resize(at); break;
      }
    }
    try {
      LoadText(d.get(), s);
      ++accepted;
      // Accepted: the records read back as they were read.
      TStringStream again(s);
      auto e = Filled();
      e->LoadFromStream(&again);
      EXPECT_EQ(Save(d.get()), Save(e.get()));
      LoadText(d.get(), before);
    } catch (const EStreamError&) {
    } catch (const EuxInvalidDataControllerOperation&) {
    } catch (const EVariantError&) {
    }
    ASSERT_EQ(Save(d.get()), before) << "round " << round;
    ASSERT_EQ(d->GetInfoLockCount(), 0);
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace ctltest
