// The story window on a copy of the shipped template: opening from the
// command line, the nine views and their labels, the focus root, what a click
// shows, body text typed and read back from the file, saving around the caret.
#include "app/codedatamodule.h"
#include "app/tests/storytest.h"

namespace {

TEST_F(StoryTest, TypedBodyTextReachesTheFileWhenTheAuthorMovesToAnotherNode) {
  AddNodes({{1, 0, "第一章"}, {2, 1, "开头"}, {3, 0, "第二章"}});
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(W->ClientUserTable->TableName(), "Story1");
  EXPECT_EQ(W->CurrentView, 0);
  EXPECT_EQ(W->RootValue, -1);
  EXPECT_EQ(U8(W->ViewLabel->Caption()), "场景");
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "01.第一章|  02.开头|03.第二章");
  // Selecting a node shows its texts.
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  Pump();
  EXPECT_EQ(U8(W->Text1TxtEdit->Text()), "开头的正文");
  // Typing through the input method, then another node.
  W->Text1TxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(W->CurrentEditor(), W->Text1TxtEdit);
  EXPECT_EQ(LibDataModule->CurrentEditor, W->Text1TxtEdit);
  hb->Key(VK_END, HeadlessBackend::Ctrl);
  hb->CommitText("，天亮了。");
  Pump();
  NodeOf(W->FolderTree, 3)->SetSelected(true);
  Pump();
  EXPECT_EQ(Query("SELECT ttext2 FROM Story1 WHERE tid = 2"), "开头的正文，天亮了。");
  EXPECT_EQ(U8(W->Text1TxtEdit->Text()), "第二章的正文");
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
}

}  // namespace
