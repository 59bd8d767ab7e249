// Shared fixture of the tree view tests: the headless window manager with a
// form, the tree views' cursor and string table registered from the source
// tree's resources (as the program's start-up does with the embedded copies),
// and helpers that build trees from a short text, write them back as text,
// and drive the mouse over nodes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "platform/classes/resources_init.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/resources.h"
#include "treechart/kxtreeview.h"

inline void RegisterTreeSourceResources() {
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  static bool Done = false;
  if (Done) return;
  Done = true;
  auto read = [](const std::filesystem::path& P) -> std::vector<char>& {
    std::ifstream In(P, std::ios::binary);
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    return Store.back();
  };
  const std::filesystem::path Root = std::filesystem::path(PV_SOURCE_DIR) / "resources";
  std::vector<char>& Cur = read(Root / "cursors" / "KXTREEDRAGCOPY.cur");
  RegisterResource(RT_CURSOR, "KXTREEDRAGCOPY", Cur.data(), Cur.size());
  std::vector<char>& Str = read(Root / "strings" / "kxtreeview.txt");
  RegisterStringTable(Str.data(), Str.size(), "kxtreeview.txt");
}

class KxTreeFixture : public CtlTest {
 protected:
  TForm* Form = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    RegisterTreeSourceResources();
    kxInitTreeViews();
    Form = new TForm(Application, 0);
    Form->SetBounds(50, 50, 640, 420);
  }
  void TearDown() override {
    ClearDialogAnswers();
    CtlTest::TearDown();
  }

  // Fills a tree from "A(A1,A2(A2a)),B": names, children in brackets.
  static void Build(TCustomTreeView* Tree, const std::string& Text) {
    std::vector<TTreeNode*> parents{nullptr};
    std::string name;
    TTreeNode* last = nullptr;
    auto flush = [&] {
      if (name.empty()) return;
      last = Tree->Items()->AddChild(parents.back(), name);
      name.clear();
    };
    for (char c : Text) {
      if (c == '(') {
        flush();
        parents.push_back(last);
      } else if (c == ')') {
        flush();
        parents.pop_back();
      } else if (c == ',') {
        flush();
      } else {
        name += c;
      }
    }
    flush();
  }
  // The tree as Build reads it.
  static std::string Dump(TCustomTreeView* Tree) { return DumpLevel(Tree->Items()->GetFirstNode()); }
  static std::string DumpLevel(TTreeNode* First) {
    std::string s;
    for (TTreeNode* n = First; n; n = n->GetNextSibling()) {
      if (!s.empty()) s += ",";
      s += n->Text();
      if (TTreeNode* c = n->GetFirstChild()) s += "(" + DumpLevel(c) + ")";
    }
    return s;
  }
  static TTreeNode* Find(TCustomTreeView* Tree, const std::string& Text) {
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == Text) return n;
    return nullptr;
  }

};
