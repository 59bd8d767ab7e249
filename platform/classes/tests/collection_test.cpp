#include <gtest/gtest.h>

#include "platform/classes/tests/fixtures.h"

namespace {

// Records the notices a collection sends.
class TLogCollection : public TOwnedCollection {
  PV_CLASS(TLogCollection, TOwnedCollection)
 public:
  TLogCollection(TPersistent* owner) : TOwnedCollection(owner, TTestColumn::StaticClass()) {}
  std::vector<std::string> Log;

 protected:
  void Update(TCollectionItem* Item) override { Log.push_back(Item ? "update item" : "update all"); }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(names[Action]);
  }
};

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

TEST_F(CollectionTest, ItemsHaveStableIdsAndIndexes) {
  TCollection c(TTestColumn::StaticClass());
  auto* a = c.Add();
  auto* b = c.Add();
  auto* d = c.Insert(0);
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Items(0), d);
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(b->ID(), 1);
  EXPECT_EQ(d->ID(), 2);
  EXPECT_EQ(b->Index(), 2);
  c.Delete(1);  // a
  EXPECT_EQ(c.FindItemID(0), nullptr);
  EXPECT_EQ(c.FindItemID(1), b);
  auto* e = c.Add();
  EXPECT_EQ(e->ID(), 3);  // ids are never reused
  b->SetIndex(0);
  EXPECT_EQ(c.Items(0), b);
  EXPECT_THROW(c.Items(3), EListError);
  EXPECT_THROW(c.Delete(-1), EListError);
  EXPECT_THROW(b->SetIndex(5), EListError);
  delete e;  // an item leaves its collection when freed
  EXPECT_EQ(c.Count(), 2);
}

TEST_F(CollectionTest, NoticesAndUpdateBrackets) {
  TLogCollection c(nullptr);
  c.Add();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"added", "update all"}));
  c.Log.clear();
  c.BeginUpdate();
  c.BeginUpdate();
  c.Add();
  c.Delete(0);
  c.EndUpdate();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"added", "deleting", "extracting"}));
  c.EndUpdate();
  EXPECT_EQ(c.Log.back(), "update all");
  c.Log.clear();
  c.Clear();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"extracting", "update all"}));
}

// An item with members of its own; the collection reports what it sees of
// its items when told of a change.
class TWholeItem : public TCollectionItem {
  PV_CLASS(TWholeItem, TCollectionItem)
 public:
  explicit TWholeItem(TCollection* Collection) : TCollectionItem(Collection) {}
  std::string Name = "whole";
};

class TWatchingCollection : public TCollection {
 public:
  TWatchingCollection() : TCollection(TWholeItem::StaticClass()) {}
  std::vector<std::string> Seen;
  bool FailOnAdd = false;

 protected:
  void Update(TCollectionItem*) override {
    for (int i = 0; i < Count(); ++i) {
      auto* w = dynamic_cast<TWholeItem*>(Items(i));
      Seen.push_back(w ? w->Name : "half-made");
    }
  }
  void Notify(TCollectionItem*, TCollectionNotification Action) override {
    if (FailOnAdd && Action == cnAdded) throw EComponentError("refused");
  }
};

TEST_F(CollectionTest, ChangesAreReportedOnceTheItemIsWholeAndAFailedAddLeavesNothing) {
  TWatchingCollection c;
  c.Add();
  EXPECT_EQ(c.Seen, (std::vector<std::string>{"whole"}));
  c.FailOnAdd = true;
  EXPECT_THROW(c.Add(), EComponentError);
  EXPECT_EQ(c.Count(), 1);  // the refused item is not left behind, freed
  c.FailOnAdd = false;
  c.Add();
  EXPECT_EQ(c.Count(), 2);
}

TEST_F(CollectionTest, AssignCopiesItemsAndNamePathUsesOwnerProperty) {
  TTestForm form(nullptr);
  form.SetName("Form");
  auto* ctl = new TTestControl(&form);
  ctl->SetName("Grid");
  static_cast<TTestColumn*>(ctl->Columns.Add())->Title = "A";
  static_cast<TTestColumn*>(ctl->Columns.Add())->Width = 5;
  EXPECT_EQ(ctl->Columns.GetNamePath(), "Grid.Columns");
  EXPECT_EQ(ctl->Columns.Items(1)->GetNamePath(), "Grid.Columns[1]");

  TCollection copy(TTestColumn::StaticClass());
  copy.Add();
  copy.Assign(&ctl->Columns);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TTestColumn*>(copy.Items(0))->Title, "A");
  EXPECT_EQ(static_cast<TTestColumn*>(copy.Items(1))->Width, 5);
  EXPECT_EQ(copy.GetNamePath(), "TCollection");
  TTestFont font;
  EXPECT_THROW(copy.Assign(&font), EConvertError);
}

}  // namespace
