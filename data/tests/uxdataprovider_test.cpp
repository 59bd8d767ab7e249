// Data fields and relations, the data provider's editing protocol, and the
// keys and save objects that carry record state across a reload.
#include <gtest/gtest.h>

#include "ctltest.h"
#include "data/uxdataconsts.h"

namespace ctltest {
namespace {

TEST(DataFields, SharingFollowsTheChainAndRefusesCycles) {
  auto c = NewController();
  c->AddColumn("A", TuxIntegerValueType::Instance());
  c->AddColumn("B", TuxIntegerValueType::Instance());
  c->AddColumn("C", TuxIntegerValueType::Instance());
  TuxCustomDataField* a = c->GetItemField(0);
  TuxCustomDataField* b = c->GetItemField(1);
  TuxCustomDataField* f = c->GetItemField(2);
  b->SetSharedWith(a);
  EXPECT_EQ(b->ValueDefinition(), a->ValueDefinition());
  a->SetSharedWith(b);  // b already shares a: refused
  EXPECT_EQ(a->SharedWith(), nullptr);
  f->SetSharedWith(b);  // the end of b's chain is a
  EXPECT_EQ(f->SharedWith(), a);

  c->SetRecordCount(1);
  c->SetValue(0, 0, Variant(7));
  // Destroying a field that two others share: the first takes its data over,
  // the second then shares the first.
  c->RemoveItem(c->Columns[0]);
  EXPECT_EQ(b->SharedWith(), nullptr);
  EXPECT_EQ(f->SharedWith(), b);
  EXPECT_EQ(c->GetValue(0, 0).AsInteger(), 7);  // b is item 0 now
}

TEST(DataFields, InternalFieldsStayAfterTheItems) {
  auto c = NewController();
  TuxCustomDataField* internal = c->CreateInternalField();
  c->AddColumn("A", TuxIntegerValueType::Instance());
  EXPECT_EQ(c->GetItemCount(), 1);
  EXPECT_EQ(c->Fields()->Count(), 2);
  EXPECT_EQ(c->Fields()->Items(1), internal);
  EXPECT_EQ(c->GetItemField(0)->Item(), c->Columns[0]);
}

TEST(DataFields, TheFirstRelationMakesTheDetailObjectFieldAndTheLastFreesIt) {
  auto c = NewController();
  c->AddColumn("A", TuxIntegerValueType::Instance());
  TuxCustomDataRelationList* relations = c->GetRelations();
  EXPECT_EQ(relations->DetailObjectField(), nullptr);
  Column level;
  TuxCustomDataRelation* r = relations->Add(&level);
  ASSERT_NE(relations->DetailObjectField(), nullptr);
  EXPECT_TRUE(relations->DetailObjectField()->IsInternal());
  EXPECT_EQ(c->GetItemCount(), 1);
  EXPECT_EQ(relations->RelationByItem(&level), r);
  EXPECT_EQ(r->GetMasterDataController(), c.get());
  delete r;
  EXPECT_EQ(relations->GetCount(), 0);
  EXPECT_EQ(relations->DetailObjectField(), nullptr);
  EXPECT_EQ(c->Fields()->Count(), 1);
}

// ---------------------------------------------------------------------------

class ProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    text = c->AddColumn("Text", TuxStringValueType::Instance());
    number = c->AddColumn("Number", TuxIntegerValueType::Instance());
    c->Load({{Variant("a"), Variant(1)}, {Variant("b"), Variant(2)}, {Variant("c"), Variant(3)}});
    rec = std::make_unique<Recorder>(c.get());
  }
  ControllerPtr c;
  std::unique_ptr<Recorder> rec;
  int text = 0, number = 0;
};

TEST_F(ProviderTest, AnInsertNobodyChangedIsCancelledByPost) {
  c->ChangeFocusedRowIndex(1);
  c->Insert();
  EXPECT_EQ(c->GetRecordCount(), 4);
  EXPECT_EQ(c->GetEditState() & (dceInsert | dceEdit), dceInsert);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);  // inserted before the focused record
  rec->Log.clear();
  c->Post();
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_FALSE(c->IsEditing());
  EXPECT_TRUE(rec->Has("TuxDataChangedInfo(4,-1,-1)")) << rec->Log.front();
}

TEST_F(ProviderTest, CancelRestoresTheValuesFromTheSavedCopy) {
  c->ChangeFocusedRowIndex(1);
  c->Edit();
  ASSERT_TRUE(c->IsEditing());
  const int saved = c->Provider()->SavedRecordIndex();
  EXPECT_LT(saved, 0);
  EXPECT_TRUE(c->SetEditValue(text, Variant("changed"), evsValue));
  EXPECT_EQ(c->GetValue(1, text).AsString(), "changed");
  EXPECT_EQ(c->GetEditState() & dceModified, dceModified);
  c->Cancel();
  EXPECT_EQ(c->GetValue(1, text).AsString(), "b");
  EXPECT_EQ(c->Provider()->SavedRecordIndex(), 0);
  EXPECT_FALSE(c->IsEditing());
}

TEST_F(ProviderTest, AnEmptyEditorTextIsNullButAnEmptyValueIsKept) {
  c->ChangeFocusedRowIndex(0);
  c->SetEditValue(text, Variant(""), evsText);
  EXPECT_TRUE(c->GetValue(0, text).IsNull());
  c->SetEditValue(text, Variant(""), evsValue);
  EXPECT_FALSE(c->GetValue(0, text).IsNull());
  EXPECT_EQ(c->GetValue(0, text).AsString(), "");
  c->Post();
}

TEST_F(ProviderTest, EditValueWithoutAnEditedRecordRaises) {
  Variant v = Variant(5);
  try {
    c->Provider()->GetEditValue(uxNullEditingRecordIndex, c->GetItemField(0), v, evsValue);
    FAIL();
  } catch (const EuxInvalidDataControllerOperation& e) {
    EXPECT_STREQ(e.what(), "RecordIndex out of range");
  }
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(uxNullEditingRecordIndex, static_cast<int>(0x80000001u));
}

TEST_F(ProviderTest, ADataChangeWhileFrozenEndsTheEditWithoutReachingTheController) {
  c->ChangeFocusedRowIndex(0);
  c->Edit();
  ASSERT_TRUE(c->IsEditing());
  c->Provider()->Freeze();
  rec->Log.clear();
  c->Provider()->DataChanged(dcDataChanged, -1, -1);
  c->Provider()->Unfreeze();
  EXPECT_FALSE(c->IsEditing());
  EXPECT_TRUE(rec->Log.empty());
}

TEST_F(ProviderTest, InsertTakesTheGroupingValuesOfItsNeighbour) {
  c->Groups()->ChangeGroupIndex(number, 0);
  c->Groups()->FullExpand();
  struct NewRecord : TObject {
    int record = -2;
    void Handle(TuxCustomDataController*, int R) { record = R; }
  } handler;
  c->OnNewRecord = TuxDataDetailExpandedEvent(&handler, &NewRecord::Handle);
  c->ChangeFocusedRecordIndex(2);  // the group of 3
  c->Insert();
  const int inserted = c->GetEditingRecordIndex();
  EXPECT_EQ(handler.record, inserted);
  EXPECT_EQ(c->GetValue(inserted, number).AsInteger(), 3);
  c->SetEditValue(text, Variant("new"), evsValue);
  c->Post();
  EXPECT_EQ(c->GetRecordCount(), 4);
}

// ---------------------------------------------------------------------------
// Keys

// A controller whose records are identified by the value of its first column.
class KeyedController : public TestController {
  PV_CLASS(KeyedController, TestController)
 public:
  using TestController::TestController;
  void GetKeyFields(std::vector<TuxCustomDataField*>& List) override { List.push_back(GetItemField(0)); }
  bool IsProviderDataSource() override { return true; }
};

TEST(DataKeys, TheBaseControllerSavesNothingByKey) {
  auto c = NewController();
  c->AddColumn("K", TuxIntegerValueType::Instance());
  c->Load({{Variant(1)}, {Variant(2)}});
  c->SetMultiSelect(true);
  c->ChangeRowSelection(1, true);
  TuxSaveObject save;
  save.SaveState(c.get());
  EXPECT_EQ(save.SelectedKeys()->Count(), 0);
  EXPECT_EQ(save.DetailKeys()->Count(), 0);
}

TEST(DataKeys, TheSelectionFollowsItsRecordsByKeyAcrossAReload) {
  std::unique_ptr<KeyedController, ControllerDeleter> c(NewObject<KeyedController>(nullptr));
  c->AddColumn("K", TuxIntegerValueType::Instance());
  c->Load({{Variant(10)}, {Variant(20)}, {Variant(30)}, {Variant(20)}});
  c->SetMultiSelect(true);
  c->ChangeFocusedRowIndex(0);
  c->ClearSelection();
  c->ChangeRowSelection(1, true);  // key 20
  c->ChangeRowSelection(2, true);  // key 30
  c->ChangeRowSelection(3, true);  // key 20 again
  c->BeginFullUpdate();
  // The reload: 30 disappears, the others move.
  c->SetRecordCount(3);
  const int keys[] = {20, 10, 20};
  for (int i = 0; i < 3; ++i) c->SetValue(i, 0, Variant(keys[i]));
  c->EndFullUpdate();
  // 30 is gone; each saved 20 matched at most one record, the first one found.
  std::vector<int> records;
  for (int i = 0; i < c->GetSelectedCount(); ++i) records.push_back(c->GetRowInfo(c->GetSelectedRowIndex(i)).RecordIndex);
  EXPECT_EQ(records, (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace ctltest
