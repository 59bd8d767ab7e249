#include <gtest/gtest.h>

#include "platform/db/tests/dbtest.h"

namespace {

class NavigationTest : public OpenTableTest {
 protected:
  void SetUp() override {
    OpenTable("n.l", NodeTableSql("t", 10));
  }
};

TEST_F(NavigationTest, OpensOnFirstRecordInKeyOrder) {
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.RecordCount(), 10);
  EXPECT_EQ(table.RecNo(), 1);
  EXPECT_TRUE(table.Bof());
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 1);
  EXPECT_EQ(table.FieldCount(), 10);
}

TEST_F(NavigationTest, MoveByReturnsTheDistanceMoved) {
  struct Case {
    int startRecNo;
    int distance;
    int moved;
    int endRecNo;
    bool bof, eof;
  } cases[] = {
      {1, 3, 3, 4, false, false},   {1, 20, 9, 10, false, true}, {10, 1, 0, 10, false, true},
      {10, -4, -4, 6, false, false}, {5, -10, -4, 1, true, false}, {1, -1, 0, 1, true, false},
      {5, 0, 0, 5, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.startRecNo << " by " << c.distance);
    if (c.startRecNo == 1) table.First();
    else if (c.startRecNo == 10) table.Last();
    else table.SetRecNo(c.startRecNo);
    EXPECT_EQ(table.MoveBy(c.distance), c.moved);
    EXPECT_EQ(table.RecNo(), c.endRecNo);
    EXPECT_EQ(table.Bof(), c.bof);
    EXPECT_EQ(table.Eof(), c.eof);
    EXPECT_EQ(table.FieldByName("tid")->AsInteger(), c.endRecNo);
  }
}

TEST_F(NavigationTest, WalkingForwardAndBackVisitsEveryRecordOnce) {
  std::vector<int> forward, backward;
  for (table.First(); !table.Eof(); table.Next()) forward.push_back(table.FieldByName("tid")->AsInteger());
  for (table.Last(); !table.Bof(); table.Prior()) backward.push_back(table.FieldByName("tid")->AsInteger());
  EXPECT_EQ(forward, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(backward, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_F(NavigationTest, RecNoCanBeSetAndIsClampedToTheRecords) {
  table.SetRecNo(7);
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "n7");
  table.SetRecNo(99);
  EXPECT_EQ(table.RecNo(), 10);
  table.SetRecNo(0);
  EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(NavigationTest, EmptyTableIsBofAndEof) {
  TADOTable empty(nullptr);
  conn.Execute("SELECT * INTO e from  t");
  conn.Database().Exec("DELETE FROM e");
  empty.SetConnection(&conn);
  empty.SetTableName("e");
  empty.Open();
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  EXPECT_EQ(empty.RecordCount(), 0);
  EXPECT_EQ(empty.MoveBy(1), 0);
  EXPECT_TRUE(empty.FieldByName("tname")->IsNull());
  EXPECT_THROW(empty.Delete(), EDatabaseError);
}

TEST_F(NavigationTest, ClosedDatasetRefusesNavigation) {
  table.Close();
  EXPECT_EQ(table.State(), dsInactive);
  EXPECT_THROW(table.First(), EDatabaseError);
  EXPECT_THROW(table.RecordCount(), EDatabaseError);
  // Fields made on open are gone with the close.
  EXPECT_EQ(table.FieldCount(), 0);
}

}  // namespace

namespace {

// Moving the cursor, also through a walk with the controls disabled, leaves
// the change count alone; every change to the records or to what they show
// moves it.
TEST_F(NavigationTest, OnlyChangesToTheRecordsMoveTheChangeCount) {
  struct Case {
    const char* what;
    std::function<void(TADOTable&)> run;
    bool changes;
  } cases[] = {
      {"First and Last", [](TADOTable& t) { t.Last(); t.First(); }, false},
      {"MoveBy and RecNo", [](TADOTable& t) { t.MoveBy(3); t.SetRecNo(8); }, false},
      {"Locate", [](TADOTable& t) { t.Locate("tid", 6, {}); }, false},
      {"a walk with the controls off",
       [](TADOTable& t) {
         t.DisableControls();
         for (t.First(); !t.Eof(); t.Next()) t.FieldByName("tname")->AsString();
         t.EnableControls();
       },
       false},
      {"Edit", [](TADOTable& t) { t.Edit(); }, true},
      {"Edit and Cancel",
       [](TADOTable& t) {
         t.Edit();
         t.FieldByName("tname")->SetAsString("x");
         t.Cancel();
       },
       true},
      {"Post in a walk",
       [](TADOTable& t) {
         t.DisableControls();
         t.Edit();
         t.FieldByName("tname")->SetAsString("y");
         t.Post();
         t.First();
         t.EnableControls();
       },
       true},
      {"Delete", [](TADOTable& t) { t.Delete(); }, true},
      {"Refresh", [](TADOTable& t) { t.Refresh(); }, true},
      {"a filter", [](TADOTable& t) { t.SetFilter("ttype = 110"); t.SetFiltered(true); }, true},
      {"a display format", [](TADOTable& t) { t.FieldByName("tratio")->SetDisplayFormat("0.00"); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint64_t before = table.ChangeCount();
    c.run(table);
    EXPECT_EQ(table.ChangeCount() != before, c.changes);
    table.SetFiltered(false);
  }
}

}  // namespace
