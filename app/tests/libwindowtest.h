// Fixture of the library windows' tests: the workbench started as the
// program starts it, from an installation laid out in the test's folder with
// a copy of the shipped library, and helpers that read the library file
// directly, as another program would.
#pragma once
#include <filesystem>
#include <string>

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/program.h"
#include "app/tests/apptest.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/sqlite_wrap.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class LibWindowTest : public AppTest {
 protected:
  std::string Root, LibFile;

  void SetUp() override {
    AppTest::SetUp();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
    Root = LayOutInstallation();
    LibFile = Root + "data/lib.l";
  }
  void TearDown() override {
    FrameWindows() = TFrameWindows();
    ClearDialogAnswers();
    AppTest::TearDown();
  }
  // Runs SQL (UTF-8) on the library file directly.
  void Sql(const std::string& Text) {
    pvsql::Db db(LibFile);
    db.Exec(Text);
  }
  // The columns of the rows a query on the library file returns (UTF-8),
  // ":" between columns and ";" between rows, "-" for null.
  std::string Query(const std::string& Text) {
    pvsql::Db db(LibFile);
    pvsql::Stmt st(db, Text);
    std::string s;
    for (bool first = true; st.Step(); first = false) {
      if (!first) s += ";";
      for (int i = 0; i < st.ColumnCount(); ++i)
        s += (i ? ":" : "") + std::string(st.Type(i) == pvsql::ColType::Null ? "-" : st.Text(i));
    }
    return s;
  }
  // Starts the workbench on the library.
  void Start() {
    const std::string exe = Root + "bin/penvro";
    const char* argv[] = {exe.c_str()};
    CreateWorkbench(1, argv);
    MainForm->Show();
    Pump();
  }
  // The window of class T that the frame's Item opened last.
  template <class T>
  T* OpenFromMenu(TkxBarButton* Item) {
    EXPECT_TRUE(Item->Enabled());
    Item->Click();
    Pump();
    T* w = nullptr;
    for (int i = 0; i < Application->ComponentCount(); ++i)
      if (auto* f = dynamic_cast<T*>(Application->Components(i))) w = f;
    return w;
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
  static TTreeNode* NodeOf(TkxDBTreeView* Tree, int Key) { return Tree->FindNodeByKey(Variant(Key)); }
  static void Select(TkxDBTreeView* Tree, int Key) {
    TTreeNode* n = NodeOf(Tree, Key);
    ASSERT_NE(n, nullptr) << Key;
    n->SetSelected(true);
  }
};

// Picks the row Key in a table chooser as the author does: drop it down,
// select the row's node, close it up.
inline void ChooseRow(TCustomkxLookupTreeView* Picker, int Key) {
  Picker->DropDown();
  TPopupDBTreeView* tree = Picker->GetPopupTree();
  ASSERT_NE(tree, nullptr);
  TTreeNode* n = tree->FindNodeByKey(Variant(Key));
  ASSERT_NE(n, nullptr) << "no row " << Key;
  n->SetSelected(true);
  Picker->CloseUp(true);
}
