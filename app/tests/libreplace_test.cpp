// The library-wide replace window on a copy of the shipped library: replaces
// in both text fields of every table the `tables` list names, checked in the
// file as another program reads it; and its browser of the alias lists.
#include "app/libreplace.h"
#include "app/tests/toolwindowtest.h"

namespace {

class LibReplaceTest : public ToolWindowTest {
 protected:
  TSearchallForm* R = nullptr;
  void LibSql(const std::string& Text) { FileSql(Lib(), Text); }
  std::string LibQuery(const std::string& Text) { return FileQuery(Lib(), Text); }
  void OpenWindow() {
    ASSERT_NE(Open(), nullptr);
    ASSERT_NE(FrameWindows().NewLibraryReplaceWindow, nullptr);
    MainForm->kxBarButton10Click(nullptr);
    Pump();
    R = Child<TSearchallForm>();
    ASSERT_NE(R, nullptr);
    ASSERT_EQ(R->Owner(), Application);
  }
  void Replace(const std::string& Find, const std::string& By) {
    R->Edit1->SetText(A(Find));
    R->Edit2->SetText(A(By));
    R->SpeedButton1Click(nullptr);
  }
};

TEST_F(LibReplaceTest, ReplacesInBothTextsOfEveryListedTable) {
  OpenWindow();
  EXPECT_EQ(U8(R->Caption()), "查找");
  EXPECT_EQ(R->WindowState(), wsMaximized);
  const struct {
    const char* Table;
    int Id;
    const char* Field;
    const char* Before;
    const char* Find;
    const char* By;
    const char* After;
  } cases[] = {
      {"region1", 2, "ttext1", "林远走进青石镇", "青石镇", "白云城", "林远走进白云城"},        // Chinese, same length
      {"mem1", 2, "ttext2", "相遇ab相遇", "相遇", "不期而遇", "不期而遇ab不期而遇"},        // grows
      {"story1", 1, "ttext1", "第一幕：铺垫，再铺垫", "铺垫", "", "第一幕：，再"},          // shrinks to nothing
      {"region1", 3, "ttext2", "Hello hello", " HELLO ", "你好 ", "你好 你好"},             // case, blanks trimmed
      {"mem1", 3, "ttext1", "中文", "形", "X", "中文"},                                     // 形 is D0CE: across 中|文
      {"story1", 4, "ttext2", "甲乙\r\n乙甲\n乙", "乙", "丙丙", "甲丙丙\r\n丙丙甲\n丙丙"},  // lines and their breaks
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Before);
    const std::string where = std::string(" FROM ") + c.Table + " WHERE tid = " + std::to_string(c.Id);
    LibSql(std::string("UPDATE ") + c.Table + " SET ttext1 = '无关', ttext2 = '无关' WHERE tid = " +
           std::to_string(c.Id));
    LibSql(std::string("UPDATE ") + c.Table + " SET " + c.Field + " = '" + c.Before + "' WHERE tid = " +
           std::to_string(c.Id));
    Replace(c.Find, c.By);
    EXPECT_EQ(LibQuery(std::string("SELECT ") + c.Field + where), c.After);
    // the other field held no match and is as it was
    EXPECT_EQ(LibQuery(std::string("SELECT ") + (std::string(c.Field) == "ttext1" ? "ttext2" : "ttext1") + where),
              "无关");
  }
  // Records without text stay without; the tables are closed afterwards.
  EXPECT_EQ(LibQuery("SELECT ttext1 FROM region1 WHERE tid = 5"), "-");
  EXPECT_FALSE(LibDataModule->TableForReplace->Active());
  EXPECT_FALSE(LibDataModule->TableList->Active());
}

TEST_F(LibReplaceTest, NothingToFindOrNoTablesReplaceNothingAndAMissingTableStopsTheWalk) {
  OpenWindow();
  LibSql("UPDATE region1 SET ttext1 = '甲甲' WHERE tid = 1");
  LibSql("UPDATE story1 SET ttext1 = '甲甲' WHERE tid = 1");
  Replace("  ", "乙");
  EXPECT_EQ(LibQuery("SELECT ttext1 FROM region1 WHERE tid = 1"), "甲甲");
  // An empty list: nothing.
  LibSql("CREATE TABLE saved AS SELECT * FROM tables; DELETE FROM tables");
  Replace("甲", "乙");
  EXPECT_EQ(LibQuery("SELECT ttext1 FROM region1 WHERE tid = 1"), "甲甲");
  // A name that names no table: the tables before it are replaced, the walk
  // stops there with the data-access error.
  LibSql("INSERT INTO tables SELECT 'region1'; INSERT INTO tables SELECT 'nosuch'; INSERT INTO tables SELECT 'story1'");
  EXPECT_THROW(Replace("甲", "乙"), Exception);
  EXPECT_EQ(LibQuery("SELECT ttext1 FROM region1 WHERE tid = 1"), "乙乙");
  EXPECT_EQ(LibQuery("SELECT ttext1 FROM story1 WHERE tid = 1"), "甲甲");
}

TEST_F(LibReplaceTest, TheBrowserShowsTheChosenAliasListAndLoadsTheClickedTable) {
  OpenWindow();
  TLibDataModule* m = LibDataModule;
  const struct {
    int Item;
    TDataSource* List;
  } cases[] = {{1, m->memAliasTableDS}, {2, m->storyAliasTableDS}, {3, m->storyAliasTableDS},
               {4, m->NodeTypeDS},      {5, m->NodeTypeDS},  // 小说别名 keeps the list
               {0, m->libAliasDS}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Item);
    R->ComboBox1->SetItemIndex(c.Item);
    R->ComboBox1CloseUp(nullptr);
    EXPECT_EQ(m->ComomDS, c.List);
    EXPECT_EQ(R->kxDBTreeView1->DataSource(), c.List);
  }
  // A click loads the current alias row's table for replacing.
  R->kxDBTreeView1->FullExpand();
  ASSERT_NE(R->kxDBTreeView1->Items()->GetFirstNode(), nullptr);
  R->kxDBTreeView1->Items()->GetFirstNode()->SetSelected(true);
  R->kxDBTreeView1Click(nullptr);
  EXPECT_TRUE(m->TableForReplace->Active());
  EXPECT_EQ(m->TableForReplace->TableName(), "region1");
  // Activating the 查找 panel points the reference back at the design elements.
  R->ComboBox1->SetItemIndex(4);
  R->ComboBox1CloseUp(nullptr);
  R->kxDockPanel1Activate(R->kxDockPanel1, true);
  EXPECT_EQ(m->ComomDS, m->libAliasDS);
  EXPECT_EQ(R->kxDBTreeView1->DataSource(), m->NodeTypeDS);
  // The window goes when closed.
  R->Close();
  Pump();
  EXPECT_EQ(Child<TSearchallForm>(), nullptr);
}

}  // namespace
