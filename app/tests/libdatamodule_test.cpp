// The library data module on copies of the shipped files: its description,
// opening the library's tables, batch save, table creation from the schema
// table and the narrative table by key.
#include "app/tests/libtest.h"
#include "framework/uxlookandfeel.h"

namespace {

TEST_F(LibTest, TheModulesDescriptionMakesItsComponentsAndOpensNothing) {
  Application->CreateForm(Module);
  ASSERT_NE(Module, nullptr);
  EXPECT_EQ(LibDataModule, Module);
  EXPECT_FALSE(Module->LibConnection->Connected());
  EXPECT_FALSE(Module->LibConnection->LoginPrompt);
  EXPECT_EQ(Module->LibConnection->CursorLocation, clUseServer);
  EXPECT_EQ(Module->LibConnection->Mode, cmShareDenyNone);
  for (TDataSet* d : {static_cast<TDataSet*>(Module->libAliasTable), static_cast<TDataSet*>(Module->libTable),
                      static_cast<TDataSet*>(Module->SystemSetADOTable), static_cast<TDataSet*>(Module->CopyTreeTemp)})
    EXPECT_FALSE(d->Active()) << d->Name();
  EXPECT_EQ(Module->libAliasTable->TableName(), "TableAlias");
  EXPECT_EQ(Module->libAliasTable->Connection(), Module->LibConnection);
  EXPECT_EQ(Module->memAliasTable->CursorType, ctStatic);
  EXPECT_EQ(Module->libAliasTableTemp->TableName(), "memAlias");
  EXPECT_EQ(Module->ComomDS->DataSet(), Module->libTable);
  EXPECT_EQ(Module->MemTableDS3->DataSet(), Module->MemTable3);
  // the completion pop-up the editors share
  TTxtCompletionProposal* p = Module->TxtCompletionProposal1;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->EndOfTokenChr(), "()[]. ");
  EXPECT_EQ(p->TriggerChars(), ".");
  EXPECT_EQ(U8(p->Title()), "标题");
  EXPECT_EQ(p->TitleFont()->Name(), "MS Sans Serif");
  EXPECT_EQ(p->TitleFont()->Style(), TFontStyles{fsBold});
  ASSERT_EQ(p->Columns()->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(p->Columns()->Items(i)->BiggestWord(), "CONSTRUCTOR");
  EXPECT_EQ(p->ShortCut(), TShortCut(VK_F9));
  // the one docking manager and the global look and feel
  EXPECT_EQ(Module->DockingManager->ViewStyle(), vsOffice11);
  EXPECT_EQ(Module->DockingManager->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_TRUE(Module->DockingManager->Options().Contains(doTabContainerCanInSideContainer));
  EXPECT_FALSE(Module->DockingManager->Options().Contains(doFreeOnClose));
  EXPECT_EQ(uxGetRootLookAndFeel()->Kind(), lfOffice11);
  // the image lists the windows use by index
  EXPECT_EQ(Module->MainFormImageList->Count(), 21);
  EXPECT_EQ(Module->ChildFormImageList->Count(), 14);
  EXPECT_EQ(Module->chartImageList->Count(), 17);
  EXPECT_EQ(Module->sharpTypeImageList->Count(), 4);
  EXPECT_EQ(Module->IcoalignType->Count(), 13);
  EXPECT_EQ(Module->ChildrenItemImageList->Count(), 3);
}

TEST_F(LibTest, OpenTableOpensTheListsAndTheFirstTableOfEach) {
  OpenLibrary();
  EXPECT_TRUE(Module->libAliasTable->Active());
  EXPECT_EQ(Module->libTable->TableName(), "region1");
  EXPECT_TRUE(Module->libTable->Active());
  EXPECT_TRUE(Module->memAliasTable->Active());
  EXPECT_FALSE(Module->MemTable->Active()) << "the narrative table opens when a window asks";
  EXPECT_EQ(Module->StoryTable->TableName(), "story1");
  EXPECT_TRUE(Module->StoryTable2->Active());
  EXPECT_TRUE(Module->NodeTypeTable->Active());
  EXPECT_TRUE(Module->CopyTreeTemp->Active());
  EXPECT_FALSE(Module->SystemSetADOTable->Active());
}

TEST_F(LibTest, AnEmptyDesignListLeavesItsTableClosedAndSaveTouchesNothing) {
  Sql(LibFile(), "DELETE FROM TableAlias");
  OpenLibrary();
  EXPECT_TRUE(Module->libAliasTable->Active());
  EXPECT_FALSE(Module->libTable->Active());
  EXPECT_NO_THROW(Module->save());
}

TEST_F(LibTest, AListNamingAMissingTableRaisesToTheCaller) {
  Sql(LibFile(), "UPDATE storyAliasTable SET tname = 'story9'");
  Application->CreateForm(Module);
  Module->LibConnection->SetConnectionString(LibConnectionString(LibFile()));
  Module->LibConnection->Open();
  EXPECT_THROW(Module->openTable(), EDatabaseError);
}

TEST_F(LibTest, SaveCommitsAnEditInProgressOfEachOpenContentTable) {
  OpenLibrary();
  Module->MemTable->SetTableName("mem1");
  Module->MemTable->Open();
  Module->libTable->Edit();
  Module->libTable->FieldByName("tname")->SetAsString(A("人物们"));
  Module->MemTable->Edit();
  Module->MemTable->FieldByName("ttext2")->SetAsString(A("正文"));
  Module->save();
  EXPECT_EQ(Rows(LibFile(), "region1").find("1:0:人物们;"), 0u);
  EXPECT_EQ(Rows(LibFile(), "mem1", {"ttext2"}).find("1:0:开端:正文;"), 0u);
  EXPECT_EQ(Module->libTable->State(), dsBrowse);
}

TEST_F(LibTest, CreateTableCopiesTheSchemaAndListsTheNewTable) {
  OpenLibrary();
  struct Case {
    const char* name;
    const char* setup;  // SQL run on the library first
    TADOTable* alias;
    const char* prefix;
    const char* created;
  } cases[] = {
      {"one past the last key", "INSERT INTO TableAlias (tid, tname, tsortid) VALUES (12, 'region3', 'x')",
       Module->libAliasTable, "region", "region13"},
      {"an empty list", "DELETE FROM memAlias; DROP TABLE mem1", Module->memAliasTable, "mem", "mem1"},
      {"the name is taken: the next free number",
       "CREATE TABLE story2 (tid INTEGER); CREATE TABLE story3 (tid INTEGER)", Module->storyAliasTable, "story",
       "story4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql(LibFile(), c.setup);
    c.alias->Close();
    c.alias->Open();
    Module->TableOpertion->SetConnectionString(LibConnectionString(LibFile()));
    EXPECT_EQ(Module->CreateTable(c.alias, c.prefix, A("新表")), c.created);
    // the alias row is the dataset's current one and is in the file
    EXPECT_EQ(c.alias->FieldByName("tname")->AsString(), c.created);
    EXPECT_EQ(U8(c.alias->FieldByName("tsortid")->AsString()), "新表");
    EXPECT_EQ(c.alias->FieldByName("tcurrentView")->AsInteger(), 0);
    // the table has the node record, empty, numbered from 1
    EXPECT_EQ(Rows(LibFile(), c.created), "");
    Sql(LibFile(), std::string("INSERT INTO ") + c.created + " (tparent, tname) VALUES (0, 'a')");
    EXPECT_EQ(Rows(LibFile(), c.created, {"ttext7", "ttype"}), "1:0:a::");
  }
  TADOTable list(nullptr);
  list.SetConnectionString(LibConnectionString(LibFile()));
  list.SetTableName("TableAlias");
  list.Open();
  list.Last();
  EXPECT_EQ(list.FieldByName("tname")->AsString(), "region13");
}

TEST_F(LibTest, CreateTableInAStoryFile) {
  OpenLibrary();
  const std::string story = Dir + "/a.t";
  std::filesystem::copy_file(Dir + "/template.te", story);
  TADOTable alias(nullptr);
  alias.SetConnectionString(LibConnectionString(story));
  alias.SetTableName("ClientUserTable");
  alias.Open();
  Module->TableOpertion->SetConnectionString(LibConnectionString(story));
  EXPECT_EQ(Module->CreateTable(&alias, "Story", A("第二部")), "Story2");
  EXPECT_EQ(Rows(story, "ClientUserTable", {"tsortid"}), "1:0:Story1:我的小说;2::Story2:第二部");
}

TEST_F(LibTest, GetTableNameByIdFindsTheNarrativeTableOrNothing) {
  OpenLibrary();
  struct Case {
    const char* id;
    const char* table;
    const char* filter;  // left in place
  } cases[] = {
      {"1", "mem1", "tid=1"},   {"99", "", "tid=99"},  {"", "", "tid=99"},
      {"abc", "", "tid=99"},    {"1;", "", "tid=99"},  {" 1 ", "mem1", "tid=1"},
      {"-3", "", "tid=-3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    AnsiString name;
    EXPECT_NO_THROW(name = Module->GetTableNameByID(c.id));
    EXPECT_EQ(name, c.table);
    EXPECT_EQ(Module->libAliasTableTemp->Filter(), c.filter);
    EXPECT_TRUE(Module->libAliasTableTemp->Filtered());
  }
}

}  // namespace
