#include "editor/txteditundo.h"

#include <gtest/gtest.h>

namespace {

struct Counter : TObject {
  int calls = 0;
  void Added(TObject*) { ++calls; }
};

TBufferCoord P(int c, int l) { return TBufferCoord{c, l}; }

TEST(TxtEditUndoList, StepNumbersAndGroups) {
  TTxtEditUndoList u;
  Counter c;
  u.OnItemAdded = TNotifyEvent(&c, &Counter::Added);
  u.RecordChange(urInsert, P(1, 1), P(2, 1), "", smNormal);
  u.RecordChange(urInsert, P(2, 1), P(3, 1), "", smNormal);
  EXPECT_EQ(u.Items(0)->StepNumber, 1);
  EXPECT_EQ(u.Items(1)->StepNumber, 2);
  EXPECT_EQ(c.calls, 2);

  u.OpenGroup();
  u.OpenGroup();  // nested groups share the outer number
  u.RecordChange(urDelete, P(1, 1), P(2, 1), "\xD6\xD0", smNormal);
  u.CloseGroup();
  u.RecordChange(urInsert, P(1, 1), P(3, 1), "", smNormal);
  u.CloseGroup();
  EXPECT_EQ(u.Items(2)->StepNumber, 3);
  EXPECT_EQ(u.Items(3)->StepNumber, 3);
  EXPECT_EQ(u.Items(2)->Text, "\xD6\xD0");
  EXPECT_EQ(c.calls, 5);  // two records and one at the end of the group
  EXPECT_EQ(u.NextStepNumber(), 4);
  u.CloseGroup();  // nothing open: nothing happens
  EXPECT_EQ(u.NextStepNumber(), 4);
}

TEST(TxtEditUndoList, GroupBreaksSuspendAndTrimming) {
  TTxtEditUndoList u;
  Counter c;
  u.OnItemAdded = TNotifyEvent(&c, &Counter::Added);
  EXPECT_EQ(u.TopReason(), urNone);
  u.PushGroupBreak();
  u.PushGroupBreak();  // never two in a row
  EXPECT_EQ(u.Count(), 1);
  EXPECT_EQ(c.calls, 0);  // a break is no change
  u.Suspend();
  u.RecordChange(urInsert, P(1, 1), P(2, 1), "", smNormal);
  EXPECT_EQ(u.Count(), 1);
  u.Resume();
  u.Resume();
  EXPECT_EQ(u.SuspendDepth(), 0);
  u.SetMaxItems(2);
  for (int i = 0; i < 3; ++i) u.RecordChange(urInsert, P(i, 1), P(i + 1, 1), "", smNormal);
  EXPECT_EQ(u.Count(), 2);
  EXPECT_EQ(u.Items(0)->StartPos.Char, 1);
  u.SetMaxItems(-5);
  EXPECT_EQ(u.MaxItems(), 0);
  EXPECT_EQ(u.Count(), 0);
  int before = c.calls;
  u.RecordChange(urInsert, P(1, 1), P(2, 1), "", smNormal);  // kept nowhere, still reported
  EXPECT_EQ(u.Count(), 0);
  EXPECT_EQ(c.calls, before + 1);
  u.Push(nullptr);
  EXPECT_EQ(u.Pop(), nullptr);
  EXPECT_EQ(u.Top(), nullptr);
}

TEST(TxtEditUndoList, SavePoint) {
  TTxtEditUndoList u;
  EXPECT_TRUE(u.AtSavePoint());  // empty and saved while empty
  u.RecordChange(urInsert, P(1, 1), P(2, 1), "", smNormal);
  EXPECT_FALSE(u.AtSavePoint());
  u.SetSavePoint(true);
  EXPECT_TRUE(u.AtSavePoint());
  u.RecordChange(urInsert, P(2, 1), P(3, 1), "", smNormal);
  EXPECT_FALSE(u.AtSavePoint());
  delete u.Pop();
  EXPECT_TRUE(u.AtSavePoint());  // undone back to the saved point
  u.SetSavePoint(false);
  EXPECT_FALSE(u.AtSavePoint());
  delete u.Pop();
  EXPECT_FALSE(u.AtSavePoint());
}

TEST(TxtEditUndoList, AssignCopiesItemsButNotTheSavePoint) {
  TTxtEditUndoList a, b;
  a.RecordChange(urLineBreak, P(3, 1), P(3, 1), "cd", smColumn);
  a.SetSavePoint(true);
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 1);
  EXPECT_NE(b.Items(0), a.Items(0));
  EXPECT_EQ(b.Items(0)->Text, "cd");
  EXPECT_EQ(b.Items(0)->SelectionMode, smColumn);
  EXPECT_EQ(b.NextStepNumber(), a.NextStepNumber());
  EXPECT_EQ(b.SavedStepNumber(), 0);
}

}  // namespace
