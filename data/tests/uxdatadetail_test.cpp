// Master and detail: a pattern detail controller per relation and a detail
// controller made for each master record whose detail is shown.
#include <gtest/gtest.h>

#include "ctltest.h"

namespace ctltest {
namespace {

class DetailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master = NewController();
    master->AddColumn("Chapter", TuxStringValueType::Instance());
    master->Load({{Variant(A("第一章"))}, {Variant(A("第二章"))}, {Variant(A("第三章"))}});
    pattern = NewController();
    pattern->AddColumn("Scene", TuxStringValueType::Instance());
    relation = master->GetRelations()->Add(&level);
    pattern->SetPatternMasterRelation(relation, true);
    // Each chapter's scenes: as many as its record index plus one.
    master->FillDetail = [](TestController* Detail, int Master) {
      std::vector<std::vector<Variant>> rows;
      for (int i = 0; i <= Master; ++i) rows.push_back({Variant(A("场") + std::to_string(Master * 10 + i).c_str())});
      Detail->Load(rows);
    };
  }
  void TearDown() override {
    // Details belong to their master records; the pattern outlives the master's relations.
    master.reset();
    pattern.reset();
  }
  ControllerPtr master, pattern;
  Column level;
  TuxCustomDataRelation* relation = nullptr;
};

TEST_F(DetailTest, EachMasterRecordGetsItsOwnDetailController) {
  EXPECT_TRUE(pattern->IsPattern());
  EXPECT_EQ(pattern->GetMasterDataController(), master.get());
  EXPECT_EQ(relation->DetailDataController(), pattern.get());
  EXPECT_FALSE(master->IsDetailDataControllerExist(1, 0));
  TuxCustomDataController* d1 = master->GetDetailController(1, 0);
  ASSERT_NE(d1, nullptr);
  EXPECT_TRUE(master->IsDetailDataControllerExist(1, 0));
  EXPECT_EQ(master->GetDetailController(1, 0), d1);  // made once
  EXPECT_EQ(d1->GetDetailMode(), 2);
  EXPECT_EQ(d1->GetMasterRecordIndex(), 1);
  EXPECT_EQ(d1->GetPatternDataController(), pattern.get());
  EXPECT_EQ(d1->GetRecordCount(), 2);
  EXPECT_EQ(d1->GetDisplayText(1, 0), A("场11"));
  TuxCustomDataController* d2 = master->GetDetailController(2, 0);
  EXPECT_EQ(d2->GetRecordCount(), 3);
  EXPECT_TRUE(master->GetDetailHasChildren(2, 0));
  EXPECT_EQ(master->GetDetailActiveRelationIndex(0), 0);
}

TEST_F(DetailTest, ExpandingAskesTheEventsAndReportsAChange) {
  struct Events : TObject {
    bool allow = true;
    std::vector<int> expanded;
    void Expanding(TuxCustomDataController*, int, bool& Allow) { Allow = allow; }
    void Expanded(TuxCustomDataController*, int R) { expanded.push_back(R); }
  } e;
  master->OnDetailExpanding = TuxDataDetailExpandingEvent(&e, &Events::Expanding);
  master->OnDetailExpanded = TuxDataDetailExpandedEvent(&e, &Events::Expanded);
  Recorder rec(master.get());
  EXPECT_TRUE(master->ChangeDetailExpanding(0, true));
  EXPECT_FALSE(master->ChangeDetailExpanding(0, true));
  EXPECT_TRUE(master->GetDetailExpanded(0));
  EXPECT_EQ(e.expanded, std::vector<int>{0});
  EXPECT_TRUE(rec.Has("TuxLayoutChangedInfo"));
  e.allow = false;
  EXPECT_FALSE(master->ChangeDetailExpanding(1, true));
  EXPECT_FALSE(master->GetDetailExpanded(1));
  EXPECT_FALSE(master->ChangeDetailExpanding(7, true));
  EXPECT_TRUE(master->ChangeDetailExpanding(0, false));
}

TEST_F(DetailTest, InsertingAndDeletingMasterRecordsKeepsTheDetailsOnTheirRecords) {
  master->ChangeDetailExpanding(1, true);
  TuxCustomDataController* d = master->GetDetailController(1, 0);
  ASSERT_NE(d, nullptr);
  master->InsertRecord(0);
  EXPECT_EQ(d->GetMasterRecordIndex(), 2);
  EXPECT_EQ(master->GetDetailController(2, 0), d);
  EXPECT_TRUE(master->GetDetailExpanded(2));
  master->DeleteRecord(0);
  EXPECT_EQ(d->GetMasterRecordIndex(), 1);
  // Deleting the master record frees its detail controller with it.
  const int before = master->GetRecordCount();
  master->DeleteRecord(1);
  EXPECT_EQ(master->GetRecordCount(), before - 1);
  EXPECT_FALSE(master->IsDetailDataControllerExist(1, 0));
}

TEST_F(DetailTest, DroppingAndCollapsingDetails) {
  master->GetDetailController(0, 0);
  master->GetDetailController(2, 0);
  master->ChangeDetailExpanding(2, true);
  master->DropDetails(0, -1);
  EXPECT_FALSE(master->IsDetailDataControllerExist(0, 0));
  EXPECT_TRUE(master->IsDetailDataControllerExist(2, 0));
  master->CollapseDetails();
  EXPECT_FALSE(master->IsDetailDataControllerExist(2, 0));
  EXPECT_FALSE(master->GetDetailExpanded(2));
  // A new detail is made on demand again.
  EXPECT_NE(master->GetDetailController(2, 0), nullptr);
  master->ReloadDetails(&level);
  EXPECT_FALSE(master->IsDetailDataControllerExist(2, 0));
}

TEST_F(DetailTest, ForEachDetailControllerVisitsTheMadeDetails) {
  master->GetDetailController(0, 0);
  master->GetDetailController(2, 0);
  struct Visitor : TObject {
    std::vector<int> masters;
    void Visit(TuxCustomDataController* D) { masters.push_back(D->GetMasterRecordIndex()); }
  } v;
  master->ForEachDetailController(relation, TEvent<void(TuxCustomDataController*)>(&v, &Visitor::Visit));
  EXPECT_EQ(v.masters, (std::vector<int>{0, 2}));
}

TEST_F(DetailTest, RemovingTheRelationDetachesEverything) {
  TuxCustomDataController* d = master->GetDetailController(1, 0);
  ASSERT_NE(d, nullptr);
  delete relation;
  relation = nullptr;
  EXPECT_FALSE(pattern->IsDetailMode());
  EXPECT_EQ(master->GetRelations()->DetailObjectField(), nullptr);
  EXPECT_FALSE(master->IsDetailDataControllerExist(1, 0));
}

}  // namespace
}  // namespace ctltest
