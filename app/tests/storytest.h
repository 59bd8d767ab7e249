// Fixture of the story window's tests: the workbench started as the program
// starts it, from an installation laid out in the test's folder, with a copy
// of the shipped template as the story file, opened from the command line.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/program.h"
#include "app/storywrite.h"
#include "app/tests/apptest.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/sqlite_wrap.h"
#include "platform/gdi/tests/refimage.h"

class StoryTest : public AppTest {
 protected:
  std::string Root, StoryFile;
  TStoryWrite* W = nullptr;

  void SetUp() override {
    AppTest::SetUp();
    InstallStoryWindow();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
    Root = LayOutInstallation();
    StoryFile = Root + "story/novel.t";
    std::filesystem::copy_file(ShippedData() / "template.te", StoryFile);
  }
  void TearDown() override {
    StoryWindowHooks() = TStoryWindowHooks();
    FrameWindows() = TFrameWindows();
    ClearDialogAnswers();
    AppTest::TearDown();
  }
  // Runs SQL (UTF-8) on the story file directly, as another program would.
  void Sql(const std::string& Text) {
    pvsql::Db db(StoryFile);
    db.Exec(Text);
  }
  // The first column of the first row of a query on the story file (UTF-8).
  std::string Query(const std::string& Text) {
    pvsql::Db db(StoryFile);
    pvsql::Stmt st(db, Text);
    return st.Step() ? std::string(st.Text(0)) : std::string("<no row>");
  }
  // Nodes of the shipped novel table Story1 (tid, tparent, tname), their order
  // label the key in two digits and their body text the name and "的正文".
  void AddNodes(const std::vector<std::tuple<int, int, std::string>>& Nodes) {
    for (const auto& [id, parent, name] : Nodes) {
      const std::string order = (id < 10 ? "0" : "") + std::to_string(id);
      Sql("INSERT INTO Story1 (tid, tparent, tname, tsortid, ttext2) VALUES (" + std::to_string(id) + ", " +
          std::to_string(parent) + ", '" + name + "', '" + order + "', '" + name + "的正文')");
    }
  }
  // Starts the workbench on the story file and returns its story window.
  TStoryWrite* Open(const std::string& File = "") {
    const std::string exe = Root + "bin/penvro";
    const std::string story = File.empty() ? StoryFile : File;
    const char* argv[] = {exe.c_str(), story.c_str()};
    CreateWorkbench(2, argv);
    MainForm->Show();
    Pump();
    W = nullptr;
    for (int i = 0; i < MainForm->ComponentCount(); ++i)
      if (auto* s = dynamic_cast<TStoryWrite*>(MainForm->Components(i))) W = s;
    return W;
  }
  // The texts of the tree's nodes in depth-first order, children indented by
  // two blanks.
  static std::string TreeText(TkxDBTreeView* Tree) {
    std::string s;
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext()) {
      if (!s.empty()) s += "|";
      s += std::string(std::size_t(n->Level()) * 2, ' ') + U8(n->Text());
    }
    return s;
  }
  TTreeNode* NodeOf(TkxDBTreeView* Tree, int Key) { return Tree->FindNodeByKey(Variant(Key)); }
  // The frame and what it holds, as the screen shows it.
  TRawImage FrameShot() {
    Pump();
    RECT r;
    GetWindowRect(MainForm->Handle(), &r);
    TRawImage img;
    img.Pixels = hb->ComposeScreen(r);
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    return img;
  }
};
