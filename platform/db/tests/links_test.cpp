#include <gtest/gtest.h>

#include "platform/db/tests/dbtest.h"

namespace {

std::vector<std::string>* gLog = nullptr;
void Log(const std::string& s) { gLog->push_back(s); }

class RecordingLink : public TDataLink {
 protected:
  void ActiveChanged() override { Log("ActiveChanged"); }
  void CheckBrowseMode() override { Log("CheckBrowseMode"); }
  void DataSetChanged() override { Log("DataSetChanged"); }
  void DataSetScrolled(int d) override { Log("DataSetScrolled(" + std::to_string(d) + ")"); }
  void EditingChanged() override { Log(std::string("EditingChanged:") + (Editing() ? "on" : "off")); }
  void LayoutChanged() override { Log("LayoutChanged"); }
  void RecordChanged(TField* f) override { Log("RecordChanged(" + std::string(f ? f->FieldName() : "nil") + ")"); }
  void UpdateData() override { Log("UpdateData"); }
};

// Records the dataset's and the data source's events into the same log.
struct Recorder {
  void Ev(const char* name) { Log(name); }
  void BeforeOpen(TDataSet*) { Ev("BeforeOpen"); }
  void AfterOpen(TDataSet*) { Ev("AfterOpen"); }
  void BeforeClose(TDataSet*) { Ev("BeforeClose"); }
  void AfterClose(TDataSet*) { Ev("AfterClose"); }
  void BeforeScroll(TDataSet*) { Ev("BeforeScroll"); }
  void AfterScroll(TDataSet*) { Ev("AfterScroll"); }
  void BeforeEdit(TDataSet*) { Ev("BeforeEdit"); }
  void AfterEdit(TDataSet*) { Ev("AfterEdit"); }
  void BeforeInsert(TDataSet*) { Ev("BeforeInsert"); }
  void AfterInsert(TDataSet*) { Ev("AfterInsert"); }
  void BeforePost(TDataSet*) { Ev("BeforePost"); }
  void AfterPost(TDataSet*) { Ev("AfterPost"); }
  void BeforeCancel(TDataSet*) { Ev("BeforeCancel"); }
  void AfterCancel(TDataSet*) { Ev("AfterCancel"); }
  void BeforeDelete(TDataSet*) { Ev("BeforeDelete"); }
  void AfterDelete(TDataSet*) { Ev("AfterDelete"); }
  void NewRecord(TDataSet*) { Ev("OnNewRecord"); }
  void StateChange(TObject*) { Ev("OnStateChange"); }
  void DataChange(TObject*, TField* f) { Log("OnDataChange(" + std::string(f ? f->FieldName() : "nil") + ")"); }
  void UpdateDataEv(TObject*) { Ev("OnUpdateData"); }
};

class LinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog = &log;
    MakeDatabase(dir.File("l.l"), NodeTableSql("t", 6));
    table.SetConnectionString(JetConnection(dir.File("l.l")));
    table.SetTableName("t");
    table.BeforeOpen = TDataSetNotifyEvent(&rec, &Recorder::BeforeOpen);
    table.AfterOpen = TDataSetNotifyEvent(&rec, &Recorder::AfterOpen);
    table.BeforeClose = TDataSetNotifyEvent(&rec, &Recorder::BeforeClose);
    table.AfterClose = TDataSetNotifyEvent(&rec, &Recorder::AfterClose);
    table.BeforeScroll = TDataSetNotifyEvent(&rec, &Recorder::BeforeScroll);
    table.AfterScroll = TDataSetNotifyEvent(&rec, &Recorder::AfterScroll);
    table.BeforeEdit = TDataSetNotifyEvent(&rec, &Recorder::BeforeEdit);
    table.AfterEdit = TDataSetNotifyEvent(&rec, &Recorder::AfterEdit);
    table.BeforeInsert = TDataSetNotifyEvent(&rec, &Recorder::BeforeInsert);
    table.AfterInsert = TDataSetNotifyEvent(&rec, &Recorder::AfterInsert);
    table.BeforePost = TDataSetNotifyEvent(&rec, &Recorder::BeforePost);
    table.AfterPost = TDataSetNotifyEvent(&rec, &Recorder::AfterPost);
    table.BeforeCancel = TDataSetNotifyEvent(&rec, &Recorder::BeforeCancel);
    table.AfterCancel = TDataSetNotifyEvent(&rec, &Recorder::AfterCancel);
    table.BeforeDelete = TDataSetNotifyEvent(&rec, &Recorder::BeforeDelete);
    table.AfterDelete = TDataSetNotifyEvent(&rec, &Recorder::AfterDelete);
    table.OnNewRecord = TDataSetNotifyEvent(&rec, &Recorder::NewRecord);
    source.OnStateChange = TNotifyEvent(&rec, &Recorder::StateChange);
    source.OnDataChange = TDataChangeEvent(&rec, &Recorder::DataChange);
    source.OnUpdateData = TNotifyEvent(&rec, &Recorder::UpdateDataEv);
    source.SetDataSet(&table);
    link.SetBufferCount(3);
    link.SetDataSource(&source);
  }
  void TearDown() override { gLog = nullptr; }
  std::vector<std::string> Take() { return std::exchange(log, {}); }

  std::vector<std::string> log;
  Recorder rec;
  TempDir dir;
  TADOTable table{nullptr};
  TDataSource source{nullptr};
  RecordingLink link;
};

using Log_ = std::vector<std::string>;

TEST_F(LinksTest, EventOrderOfEachOperation) {
  struct Step {
    const char* name;
    std::function<void(TADOTable&)> op;
    Log_ expected;
  } steps[] = {
      {"open", [](TADOTable& t) { t.Open(); },
       {"BeforeOpen", "ActiveChanged", "OnStateChange", "OnDataChange(nil)", "AfterOpen", "AfterScroll"}},
      {"next", [](TADOTable& t) { t.Next(); },
       {"CheckBrowseMode", "BeforeScroll", "DataSetScrolled(0)", "OnDataChange(nil)", "AfterScroll"}},
      {"edit", [](TADOTable& t) { t.Edit(); },
       {"CheckBrowseMode", "BeforeEdit", "EditingChanged:on", "OnStateChange", "RecordChanged(nil)",
        "OnDataChange(nil)", "AfterEdit"}},
      {"set field", [](TADOTable& t) { t.FieldByName("tname")->SetAsString("x"); },
       {"RecordChanged(tname)", "OnDataChange(tname)"}},
      {"post", [](TADOTable& t) { t.Post(); },
       {"UpdateData", "OnUpdateData", "CheckBrowseMode", "BeforePost", "EditingChanged:off", "OnStateChange",
        "DataSetChanged", "OnDataChange(nil)", "AfterPost"}},
      {"insert", [](TADOTable& t) { t.Insert(); },
       {"CheckBrowseMode", "BeforeInsert", "BeforeScroll", "EditingChanged:on", "OnStateChange", "OnNewRecord",
        "DataSetChanged", "OnDataChange(nil)", "AfterInsert", "AfterScroll"}},
      {"cancel", [](TADOTable& t) { t.Cancel(); },
       {"CheckBrowseMode", "BeforeCancel", "EditingChanged:off", "OnStateChange", "DataSetChanged",
        "OnDataChange(nil)", "AfterCancel"}},
      {"delete", [](TADOTable& t) { t.Delete(); },
       {"CheckBrowseMode", "BeforeDelete", "BeforeScroll", "DataSetChanged", "OnDataChange(nil)", "AfterDelete",
        "AfterScroll"}},
      {"first", [](TADOTable& t) { t.First(); },
       {"CheckBrowseMode", "BeforeScroll", "DataSetChanged", "OnDataChange(nil)", "AfterScroll"}},
      {"close", [](TADOTable& t) { t.Close(); }, {"BeforeClose", "ActiveChanged", "OnStateChange", "AfterClose"}},
  };
  for (auto& s : steps) {
    SCOPED_TRACE(s.name);
    s.op(table);
    EXPECT_EQ(Take(), s.expected);
  }
}

// Locate asks BeforeScroll whether or not it finds the record; a search that
// finds nothing moves nothing and tells nobody of a scroll.
TEST_F(LinksTest, LocateFiresBeforeScrollEvenWhenItFindsNothing) {
  table.Open();
  table.Next();
  Take();
  EXPECT_FALSE(table.Locate("tid", 99, {}));
  EXPECT_EQ(Take(), (Log_{"CheckBrowseMode", "BeforeScroll"}));
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 2);
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_TRUE(table.Locate("tid", 5, {}));
  Log_ found = Take();
  ASSERT_GE(found.size(), 3u);
  EXPECT_EQ(found[1], "BeforeScroll");
  EXPECT_EQ(found.back(), "AfterScroll");
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 5);
}

TEST_F(LinksTest, ScrollDistancesFollowTheLinkWindow) {
  table.Open();
  Take();
  struct Case {
    int move;
    const char* event;
    int activeRecord;
  } cases[] = {
      {1, "DataSetScrolled(0)", 1}, {1, "DataSetScrolled(0)", 2}, {1, "DataSetScrolled(1)", 2},
      {1, "DataSetScrolled(1)", 2}, {-1, "DataSetScrolled(0)", 1}, {-1, "DataSetScrolled(0)", 0},
      {-1, "DataSetScrolled(-1)", 0}, {3, "DataSetScrolled(1)", 2},
  };
  for (const Case& c : cases) {
    table.MoveBy(c.move);
    auto events = Take();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[2], c.event);
    EXPECT_EQ(link.ActiveRecord(), c.activeRecord);
    EXPECT_EQ(link.RecordCount(), 3);
  }
  // The link's buffers can be read record by record.
  std::vector<int> window;
  int saved = link.ActiveRecord();
  for (int i = 0; i < link.RecordCount(); ++i) {
    link.SetActiveRecord(i);
    window.push_back(table.FieldByName("tid")->AsInteger());
  }
  link.SetActiveRecord(saved);
  EXPECT_EQ(window, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 5);
}

TEST_F(LinksTest, DisableControlsNestsAndEnableReportsOnce) {
  table.Open();
  Take();
  table.DisableControls();
  table.DisableControls();
  EXPECT_TRUE(table.ControlsDisabled());
  table.Next();
  table.Next();
  table.EnableControls();
  EXPECT_TRUE(table.ControlsDisabled());
  EXPECT_EQ(Take(), (Log_{"BeforeScroll", "AfterScroll", "BeforeScroll", "AfterScroll"}));
  table.EnableControls();
  EXPECT_FALSE(table.ControlsDisabled());
  EXPECT_EQ(Take(), (Log_{"DataSetChanged", "OnDataChange(nil)"}));
  table.EnableControls();  // unbalanced: ignored
  EXPECT_TRUE(Take().empty());

  // A state change while disabled is reported first when enabled again.
  table.DisableControls();
  table.Edit();
  Take();
  table.EnableControls();
  EXPECT_EQ(Take(), (Log_{"EditingChanged:on", "OnStateChange", "DataSetChanged", "OnDataChange(nil)"}));
  table.Cancel();
}

// A link hears that the dataset closed while its controls were disabled, and
// a link's window grows and shrinks with its buffer count.
class StateLink : public TDataLink {
 public:
  std::vector<std::pair<TDataEvent, NativeInt>> events;

 protected:
  void DataEvent(TDataEvent Event, NativeInt Info) override {
    if (Event == deDisabledStateChange) events.emplace_back(Event, Info);
    TDataLink::DataEvent(Event, Info);
  }
};

TEST_F(LinksTest, DisabledLinksHearTheDatasetCloseAndReopen) {
  StateLink sl;
  sl.SetDataSource(&source);
  TFieldDataLink fl;
  fl.SetFieldName("tname");
  fl.SetDataSource(&source);
  table.Open();
  TField* before = fl.Field();
  ASSERT_NE(before, nullptr);
  table.DisableControls();
  table.Close();
  EXPECT_EQ(fl.Field(), nullptr);  // the field it showed is gone
  table.Open();
  ASSERT_EQ(sl.events.size(), 2u);
  EXPECT_EQ(sl.events[0].second, 0);
  EXPECT_EQ(sl.events[1].second, 1);
  Take();
  table.EnableControls();
  // It was open before and is open now: one layout change, since it closed meanwhile.
  EXPECT_EQ(Take(), (Log_{"LayoutChanged", "OnDataChange(nil)"}));
  ASSERT_NE(fl.Field(), nullptr);
  EXPECT_EQ(fl.Field(), table.FieldByName("tname"));
}

TEST_F(LinksTest, BufferCountSetsTheWindow) {
  table.Open();
  table.SetRecNo(5);
  link.SetBufferCount(10);
  EXPECT_EQ(link.RecordCount(), 6);
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 5);
  EXPECT_EQ(link.ActiveRecord(), 4);
  link.SetBufferCount(2);
  EXPECT_EQ(link.RecordCount(), 2);
  EXPECT_LE(link.ActiveRecord(), 1);
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 5);
}

TEST_F(LinksTest, UpdateBatchNotifiesAndPostsAPendingEdit) {
  table.Open();
  table.Edit();
  table.FieldByName("tname")->SetAsString("batch");
  Take();
  table.UpdateBatch(arAll);
  auto events = Take();
  EXPECT_EQ(events.front(), "CheckBrowseMode");
  EXPECT_EQ(events.back(), "OnDataChange(nil)");
  EXPECT_NE(std::find(events.begin(), events.end(), "AfterPost"), events.end());
  table.UpdateBatch(arAll);  // nothing pending: the links hear of the commit, nothing else happens
  EXPECT_EQ(Take(), (Log_{"CheckBrowseMode", "DataSetChanged", "OnDataChange(nil)"}));
}

struct FieldLinkRecorder {
  void DataChange(TObject*) { Log("link:DataChange"); }
  void EditingChange(TObject*) { Log("link:EditingChange"); }
  void UpdateData(TObject* s) {
    Log("link:UpdateData");
    static_cast<TFieldDataLink*>(s)->Field()->SetAsString("typed");
  }
  void ActiveChange(TObject*) { Log("link:ActiveChange"); }
};

TEST_F(LinksTest, FieldDataLinkFollowsItsField) {
  FieldLinkRecorder r;
  TFieldDataLink fl;
  fl.OnDataChange = TNotifyEvent(&r, &FieldLinkRecorder::DataChange);
  fl.OnEditingChange = TNotifyEvent(&r, &FieldLinkRecorder::EditingChange);
  fl.OnUpdateData = TNotifyEvent(&r, &FieldLinkRecorder::UpdateData);
  fl.OnActiveChange = TNotifyEvent(&r, &FieldLinkRecorder::ActiveChange);
  fl.SetFieldName("tname");
  fl.SetDataSource(&source);
  EXPECT_EQ(fl.Field(), nullptr);
  table.Open();
  ASSERT_NE(fl.Field(), nullptr);
  EXPECT_EQ(fl.Field()->FieldName(), "tname");
  Take();
  // A change of another field is not this link's business.
  EXPECT_TRUE(fl.Edit());
  EXPECT_TRUE(fl.Editing());
  table.FieldByName("ttype")->SetAsInteger(3);
  auto events = Take();
  EXPECT_EQ(std::count(events.begin(), events.end(), "link:EditingChange"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "link:DataChange"), 1);  // from Edit's record change
  fl.Modified();
  table.Post();
  events = Take();
  EXPECT_NE(std::find(events.begin(), events.end(), "link:UpdateData"), events.end());
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "typed");
  fl.SetDataSource(nullptr);
  EXPECT_EQ(fl.Field(), nullptr);
  table.Close();
}

TEST_F(LinksTest, FreeingTheDataSourceOrDatasetDetachesLinks) {
  table.Open();
  {
    TDataSource other(nullptr);
    other.SetDataSet(&table);
    RecordingLink l2;
    l2.SetDataSource(&other);
    EXPECT_TRUE(l2.Active());
  }
  auto* ds = new TADOTable(nullptr);
  ds->SetConnectionString(JetConnection(dir.File("l.l")));
  ds->SetTableName("t");
  ds->Open();
  TDataSource s2(nullptr);
  s2.SetDataSet(ds);
  RecordingLink l3;
  l3.SetDataSource(&s2);
  EXPECT_TRUE(l3.Active());
  delete ds;
  EXPECT_EQ(s2.DataSet(), nullptr);
  EXPECT_FALSE(l3.Active());
}

}  // namespace
