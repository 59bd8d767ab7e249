// The copy-between-files window on copies of the shipped library and template:
// the path boxes, the lists and tables of each kind of file, subtrees dragged
// from one file into another with every field compared in the files, and
// deleting with the typed word.
#include "app/copyfiles.h"
#include "app/tests/toolwindowtest.h"

namespace {

class CopyFilesTest : public ToolWindowTest {
 protected:
  TDataTransform* C = nullptr;
  void OpenWindow() {
    ASSERT_NE(Open(), nullptr);
    ASSERT_NE(FrameWindows().NewCopyWindow, nullptr);
    MainForm->kxBarButton12Click(nullptr);
    Pump();
    C = Child<TDataTransform>();
    ASSERT_NE(C, nullptr);
    ASSERT_EQ(C->Owner(), Application);
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> m;
    for (const TDialogRecord& r : DialogLog()) m.push_back(U8(r.Text));
    return m;
  }
  // Opens File on a side by typing its path and Enter, then the list at
  // ListIndex and the table of alias row AliasKey.
  void OpenSide(TCopySide& Side, const std::string& File, int ListIndex, int AliasKey) {
    Side.Edit->SetText(A(File));
    char enter = '\r';
    Side.Edit == C->LeftEdit ? C->LeftEditKeyPress(nullptr, enter) : C->RightEditKeyPress(nullptr, enter);
    ASSERT_TRUE(Side.Connection->Connected()) << File;
    Side.ComboBox->SetItemIndex(ListIndex);
    Side.ComboBox == C->LeftComboBox ? C->LeftComboBoxCloseUp(nullptr) : C->RightComboBoxCloseUp(nullptr);
    Side.LookupTree->SetKeyValue(Variant(AliasKey));
    Side.LookupTree == C->LeftLookupTree ? C->LeftLookupTreeCloseUp(Side.LookupTree, true)
                                         : C->RightLookupTreeCloseUp(Side.LookupTree, true);
    ASSERT_TRUE(Side.Table->Active());
  }
};

const char* const kBadFormat = "   错误的文件格式.                   ";

TEST_F(CopyFilesTest, ThePathIsEvaluatedOnEnterOrWhenTheBoxIsLeftNotOnEveryKey) {
  OpenWindow();
  EXPECT_EQ(U8(C->Caption()), "复制");
  // described at normal size; opened over the maximised story window it is
  // maximised too, as every MDI child opened while the active one is
  EXPECT_EQ(C->WindowState(), wsMaximized);
  // Keys typed one by one only edit the text: no message on the way.
  C->LeftEdit->SetFocus();
  Pump();
  hb->CommitText(Root + "data/lib");
  Pump();
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(C->LeftConnection->Connected());
  hb->CommitText(".l");
  Pump();
  EXPECT_FALSE(C->LeftConnection->Connected());
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_TRUE(Messages().empty());
  ASSERT_TRUE(C->LeftConnection->Connected());
  EXPECT_EQ(U8(C->LeftComboBox->Items()->Text()), "叙述\r\n设计\r\n模板\r\n");
  EXPECT_EQ(C->LeftComboBox->ItemIndex(), 0);
  // Then each bad path gives the message once, on Enter.
  const struct {
    std::string Path;
    bool Connected;  // afterwards
  } cases[] = {
      {Root + "data/lib.L", true},       // upper case: refused, the connection stays
      {Root + "story/novel.T", true},
      {Root + "data/lib.l.bak", true},
      {Root + "story/missing.t", false},  // the kind is right, the file is not there
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    ClearDialogLog();
    C->LeftEdit->SetText(A(c.Path));
    AnswerButton(mrOk);
    hb->Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Messages(), std::vector<std::string>{kBadFormat});
    EXPECT_EQ(C->LeftConnection->Connected(), c.Connected);
  }
  // A story file offers one list; leaving the box evaluates what it holds,
  // leaving it again unchanged does not.
  ClearDialogLog();
  C->LeftEdit->SetText(A(StoryFile));
  C->RightEdit->SetFocus();
  Pump();
  EXPECT_TRUE(C->LeftConnection->Connected());
  EXPECT_EQ(U8(C->LeftComboBox->Items()->Text()), "小说\r\n");
  C->LeftEdit->SetFocus();
  Pump();
  C->RightEdit->SetFocus();
  Pump();
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CopyFilesTest, ListsAndTablesOfALibraryAndOfAStory) {
  OpenWindow();
  const struct {
    int List;
    const char* Alias;
    const char* Table;
  } cases[] = {{0, "memAlias", "mem1"}, {1, "TableAlias", "region1"}, {2, "storyAliasTable", "story1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Alias);
    OpenSide(C->Left(), Lib(), c.List, 1);
    EXPECT_EQ(C->LeftAliasTable->TableName(), c.Alias);
    EXPECT_EQ(C->LeftTable->TableName(), c.Table);
  }
  AddNodes({{1, 0, "甲"}});
  OpenSide(C->Right(), StoryFile, 0, 1);
  EXPECT_EQ(C->RightAliasTable->TableName(), "ClientUserTable");
  EXPECT_EQ(C->RightTable->TableName(), "Story1");
  EXPECT_EQ(TreeText(C->RightTree), "01.甲");
  // An alias row without a table name, or one naming no table, leaves the tree as it was, quietly.
  FileSql(StoryFile, "INSERT INTO ClientUserTable (tid, tparent, tname, tsortid) VALUES (2, 0, '', '空'), (3, 0, 'nosuch', '无')");
  C->RightAliasTable->Close();
  C->RightAliasTable->Open();
  for (int key : {2, 3}) {
    C->RightLookupTree->SetKeyValue(Variant(key));
    C->RightLookupTreeCloseUp(C->RightLookupTree, true);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CopyFilesTest, ADraggedSubtreeIsCopiedIntoAnotherFileWithEveryField) {
  // 人物 with 主角 (童年) and 配角: four nodes, every field filled.
  FileSql(Lib(), "INSERT INTO region1 (tid, tparent, tname) VALUES (6, 2, '童年')");
  FillEveryField(Lib(), "region1");
  const std::string other = Root + "data/other.l";
  std::filesystem::copy_file(Lib(), other);
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  OpenWindow();
  OpenSide(C->Left(), Lib(), 1, 1);
  OpenSide(C->Right(), StoryFile, 0, 1);
  std::map<int, std::map<std::string, std::string>> sources;
  for (int id : {1, 2, 3, 4, 5, 6}) sources[id] = Record(Lib(), "region1", "tid = " + std::to_string(id));
  // Library into story: 人物 dropped on 乙.
  DragNode(C->LeftTree, 1, C->RightTree, 2);
  EXPECT_EQ(FileQuery(StoryFile, "SELECT count(*) FROM Story1"), "6");
  const struct {
    const char* Name;
    int Source;
    const char* Parent;  // the copy's parent, by name
  } copied[] = {{"人物", 1, "乙"}, {"主角：林远", 2, "人物"}, {"童年", 6, "主角：林远"}, {"配角：苏晴", 3, "人物"}};
  auto check = [&](const std::string& File, const std::string& Table) {
    for (const auto& c : copied) {
      SCOPED_TRACE(std::string(c.Name) + " in " + Table);
      const std::string where = "tname = '" + std::string(c.Name) + "'";
      std::map<std::string, std::string> copy = Record(File, Table, where);
      ASSERT_FALSE(copy.empty());
      EXPECT_EQ(FileQuery(File, "SELECT p.tname FROM \"" + Table + "\" c JOIN \"" + Table +
                                    "\" p ON p.tid = c.tparent WHERE c." + where),
                c.Parent);
      for (const auto& [column, value] : sources[c.Source])
        if (column != "tid" && column != "tparent") {
          EXPECT_EQ(copy[column], value) << column;
        }
    }
  };
  check(StoryFile, "Story1");
  // Library into another library: 主角 with 童年 dropped on the narrative node 开端.
  OpenSide(C->Right(), other, 0, 1);
  const std::string before = FileQuery(other, "SELECT count(*) FROM mem1");
  DragNode(C->LeftTree, 2, C->RightTree, 1);
  EXPECT_EQ(std::stoi(FileQuery(other, "SELECT count(*) FROM mem1")), std::stoi(before) + 2);
  for (const auto& c : {copied[1], copied[2]}) {
    SCOPED_TRACE(c.Name);
    std::map<std::string, std::string> copy = Record(other, "mem1", "tname = '" + std::string(c.Name) + "'");
    for (const auto& [column, value] : sources[c.Source])
      if (column != "tid" && column != "tparent") {
          EXPECT_EQ(copy[column], value) << column;
        }
  }
  EXPECT_EQ(FileQuery(other, "SELECT p.tname FROM mem1 c JOIN mem1 p ON p.tid = c.tparent WHERE c.tname = '主角：林远'"),
            "开端");
  // The source never changes, Ctrl or not; a drop back copies too.
  DragNode(C->RightTree, 1, C->LeftTree, 4, true);
  for (int id : {1, 2, 3, 4, 5, 6}) EXPECT_EQ(Record(Lib(), "region1", "tid = " + std::to_string(id)), sources[id]);
  EXPECT_EQ(FileQuery(Lib(), "SELECT count(*) FROM region1 WHERE tparent = 4"), "2");
  EXPECT_EQ(FileQuery(other, "SELECT count(*) FROM mem1"), std::to_string(std::stoi(before) + 2));
}

TEST_F(CopyFilesTest, ANodeWithChildrenIsDeletedOnlyWhenTheWordIsTypedExactly) {
  OpenWindow();
  OpenSide(C->Left(), Lib(), 1, 1);
  auto select = [&](int Key) { NodeOf(C->LeftTree, Key)->SetSelected(true); };
  const struct {
    const char* Answer;  // nullptr: cancel
    const char* Left;
  } cases[] = {{"Delete", "5"}, {"delete ", "5"}, {nullptr, "5"}, {"delete", "2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer ? c.Answer : "cancel");
    ClearDialogLog();
    select(1);
    c.Answer ? AnswerText(c.Answer) : AnswerCancel();
    C->N1Click(nullptr);
    Pump();
    ASSERT_EQ(DialogLog().size(), 1u);
    EXPECT_EQ(U8(DialogLog()[0].Caption), "删除");
    EXPECT_EQ(U8(DialogLog()[0].Text), "你将删除所属所有节点,并且无法恢复!请输入:delete");
    EXPECT_EQ(FileQuery(Lib(), "SELECT count(*) FROM region1"), c.Left);
  }
  // A leaf goes without the word, after the question the tree's Del asks.
  for (TModalResult answer : {mrCancel, mrOk}) {
    ClearDialogLog();
    select(5);
    AnswerButton(answer);
    C->N1Click(nullptr);
    Pump();
    ASSERT_EQ(DialogLog().size(), 1u);
    EXPECT_EQ(U8(DialogLog()[0].Kind), "Message");
    EXPECT_NE(U8(DialogLog()[0].Text).find("\""), std::string::npos);
    EXPECT_EQ(FileQuery(Lib(), "SELECT group_concat(tid) FROM region1"), answer == mrOk ? "4" : "4,5");
  }
  // Editing starts on the selected node; closing leaves both files closed.
  select(4);
  C->N3Click(nullptr);
  EXPECT_TRUE(C->LeftTree->IsEditing());
  C->LeftTree->Selected()->EndEdit(true);
  C->Close();
  Pump();
  EXPECT_EQ(Child<TDataTransform>(), nullptr);
}

}  // namespace
