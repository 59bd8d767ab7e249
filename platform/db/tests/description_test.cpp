#include <gtest/gtest.h>

#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/classes/typinfo.h"
#include "platform/db/init.h"
#include "platform/db/tests/dbtest.h"

namespace {

class TTestDataModule : public TComponent {
  PV_CLASS(TTestDataModule, TComponent)
 public:
  explicit TTestDataModule(TComponent* AOwner) : TComponent(AOwner) {}
};

// A data module's description creates its connection, table and data source,
// binds them by name and opens the table once everything is read.
TEST(DescriptionTest, DataModuleReadsItsDataAccessComponents) {
  InitClasses();
  InitDataAccess();
  TempDir dir;
  MakeDatabase(dir.File("d.l"), NodeTableSql("SysqzSet", 4));
  TTestDataModule module(nullptr);
  const AnsiString text =
      "object LibModule: TTestDataModule\n"
      "  object LibConnection: TADOConnection\n"
      "    ConnectionString = '" + JetConnection(dir.File("d.l")) + "'\n"
      "    LoginPrompt = False\n"
      "    Mode = cmShareDenyNone\n"
      "    CursorLocation = clUseServer\n"
      "  end\n"
      "  object SystemSetADOTable: TADOTable\n"
      "    Connection = LibConnection\n"
      "    CursorType = ctStatic\n"
      "    TableName = 'SysqzSet'\n"
      "    Filter = 'ttype=110'\n"
      "    Filtered = True\n"
      "    Active = True\n"
      "  end\n"
      "  object SystemSetDS: TDataSource\n"
      "    DataSet = SystemSetADOTable\n"
      "  end\n"
      "end\n";
  ReadComponentFromText(text, &module);
  auto* conn = dynamic_cast<TADOConnection*>(module.FindComponent("LibConnection"));
  auto* table = dynamic_cast<TADOTable*>(module.FindComponent("SystemSetADOTable"));
  auto* ds = dynamic_cast<TDataSource*>(module.FindComponent("SystemSetDS"));
  ASSERT_TRUE(conn && table && ds);
  EXPECT_FALSE(conn->LoginPrompt);
  EXPECT_EQ(conn->Mode, cmShareDenyNone);
  EXPECT_EQ(table->CursorType, ctStatic);
  EXPECT_EQ(table->Connection(), conn);
  EXPECT_EQ(ds->DataSet(), table);
  EXPECT_TRUE(table->Active());
  EXPECT_EQ(table->RecordCount(), 1);  // the one row of type 110
  EXPECT_EQ(ds->State(), dsBrowse);
}

}  // namespace

// Code that knows only a data set finds a query's parameter list by its
// published name, and what it sets there is what the query runs with.
TEST(DescriptionTest, QueryPublishesItsParameters) {
  InitClasses();
  InitDataAccess();
  TempDir dir;
  MakeDatabase(dir.File("p.l"), NodeTableSql("t", 9));
  TADOConnection conn(nullptr);
  conn.SetConnectionString(JetConnection(dir.File("p.l")));
  TADOQuery q(nullptr);
  q.SetConnection(&conn);
  q.SQL()->SetText("SELECT * FROM t WHERE ttype = :kind");
  TDataSet* ds = &q;
  ASSERT_NE(GetPropInfo(ds, "Parameters"), nullptr);
  auto* params = dynamic_cast<TParameters*>(GetObjectProp(ds, "Parameters"));
  ASSERT_NE(params, nullptr);
  params->ParamByName("kind")->Value = 50;
  q.Open();
  EXPECT_EQ(q.RecordCount(), 3);
}
