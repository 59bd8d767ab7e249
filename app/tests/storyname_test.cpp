// The story name dialog on the alias list of a real story file: renaming a
// novel table reaches the tree, the file and the story window's novel picker,
// and each story window's dialog lists its own file's tables.
#include "app/storyname.h"

#include "app/tests/storytest.h"
#include "treechart/kxlookuptreeview.h"

namespace {

class StoryNameTest : public StoryTest {
 protected:
  // Answers the next story name dialog with Action, then its "确定".
  static void AnswerStoryName(std::function<void(TStoryNameForm*)> Action) {
    PushModalScript([=](TCustomForm* Form) {
      auto* f = dynamic_cast<TStoryNameForm*>(Form);
      ASSERT_NE(f, nullptr);
      Action(f);
      f->SpeedButton1->Click();
    });
  }
};

TEST_F(StoryNameTest, RenamingShowsInTheTreeTheFileAndTheNovelPicker) {
  Sql("INSERT INTO ClientUserTable (tid, tparent, tname, tsortid) VALUES (2, 0, 'Story2', '第一部')");
  ASSERT_NE(Open(), nullptr);
  std::string before, after, shown;
  AnswerStoryName([&](TStoryNameForm* f) {
    EXPECT_EQ(U8(f->Caption()), "名称");
    EXPECT_EQ(f->ClientWidth(), 466);
    before = TreeText(f->FolderTree);
    TTreeNode* second = NodeOf(f->FolderTree, 2);
    ASSERT_NE(second, nullptr);
    second->SetSelected(true);
    Pump();
    shown = U8(f->DBText1->Field() ? f->DBText1->Field()->AsString() : AnsiString());
    f->DBEdit2->SetFocus();
    ASSERT_TRUE(f->DBEdit2->DataLink()->Edit());  // as the first key typed does
    f->DBEdit2->SetText(A("上卷"));
    f->FolderTree->SetFocus();  // leaving the edit stores the name
    Pump();
    after = TreeText(f->FolderTree);
  });
  W->StoryAlisFormClick(nullptr);
  EXPECT_EQ(before, "1.我的小说|2.第一部");
  EXPECT_EQ(shown, "Story2");
  EXPECT_EQ(after, "1.我的小说|2.上卷");
  EXPECT_EQ(Query("SELECT tsortid FROM ClientUserTable WHERE tid = 2"), "上卷");
  // The novel picker lists the new name.
  W->kxLookupTreeView4->DropDown();
  EXPECT_NE(TreeText(W->kxLookupTreeView4->GetPopupTree()).find("上卷"), std::string::npos);
  W->kxLookupTreeView4->CloseUp(false);

  // A name typed and closed without leaving the edit is kept too.
  AnswerStoryName([&](TStoryNameForm* f) {
    NodeOf(f->FolderTree, 1)->SetSelected(true);
    f->DBEdit2->SetFocus();
    ASSERT_TRUE(f->DBEdit2->DataLink()->Edit());
    f->DBEdit2->SetText(A("序"));
  });
  W->StoryAlisFormClick(nullptr);
  EXPECT_EQ(Query("SELECT tsortid FROM ClientUserTable WHERE tid = 1"), "序");
  ClearModalScript();
}

TEST_F(StoryNameTest, EachWindowsDialogListsItsOwnFilesTables) {
  ASSERT_NE(Open(), nullptr);
  const std::string second = Root + "story/second.t";
  std::filesystem::copy_file(StoryFile, second);
  {
    pvsql::Db db(second);
    db.Exec("UPDATE ClientUserTable SET tsortid = '别的小说' WHERE tid = 1");
  }
  TStoryWrite* other = OpenStoryWindow(MainForm, A(second), A("second"), false);
  ASSERT_NE(other, nullptr);
  Pump();
  std::string listed;
  AnswerStoryName([&](TStoryNameForm* f) { listed = TreeText(f->FolderTree); });
  other->StoryAlisFormClick(nullptr);
  EXPECT_EQ(listed, "1.别的小说");
  AnswerStoryName([&](TStoryNameForm* f) { listed = TreeText(f->FolderTree); });
  W->StoryAlisFormClick(nullptr);
  EXPECT_EQ(listed, "1.我的小说");
  ClearModalScript();
}

}  // namespace
