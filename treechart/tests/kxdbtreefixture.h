// Fixture of the data-aware tree tests: a copy of the shipped library in a
// temporary folder, its node tables opened through the data-access layer,
// and helpers that show a tree or a table as short text (UTF-8, so that the
// expectations read as the Chinese they are).
#pragma once

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/strings.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/tests/kxtreefixture.h"

class KxDBTreeFixture : public KxTreeFixture {
 protected:
  std::string Dir;
  TADOConnection* Conn = nullptr;

  // The shipped library, written by the build next to the test programs.
  static std::filesystem::path ShippedLibrary() {
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    return exe.parent_path().parent_path() / "penvarro" / "data" / "lib.l";
  }

  void SetUp() override {
    KxTreeFixture::SetUp();
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvtreesXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    Dir = tmpl;
    ASSERT_TRUE(std::filesystem::exists(ShippedLibrary())) << ShippedLibrary() << " (built by mkdata)";
    std::filesystem::copy_file(ShippedLibrary(), File());
    Conn = new TADOConnection(Form);
    Conn->SetConnectionString(ConnectionString());
    Conn->LoginPrompt = false;
    Conn->Open();
  }
  void TearDown() override {
    KxTreeFixture::TearDown();
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }

  std::string File() const { return Dir + "/lib.l"; }
  AnsiString ConnectionString() const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + File();
  }
  // Runs SQL (UTF-8) on the file directly, as another program would.
  void Sql(const std::string& Text) { Conn->Database().Exec(Text); }

  TADOTable* OpenTable(const char* Name) {
    auto* t = new TADOTable(Form);
    t->SetConnection(Conn);
    t->SetTableName(Name);
    t->Open();
    return t;
  }
  TDataSource* SourceOf(TDataSet* DataSet) {
    auto* s = new TDataSource(Form);
    s->SetDataSet(DataSet);
    return s;
  }
  // A node tree of the application's kind: key tid, parent tparent, list tname.
  TkxDBTreeView* NewDBTree(TDataSet* DataSet, TkxDBTreeViewOptions Options, const Variant& Root = Null(),
                           int Left = 10) {
    auto* t = new TkxDBTreeView(Form);
    t->SetParent(Form);
    t->SetBounds(Left, 10, 280, 380);
    t->SetDragMode(dmAutomatic);
    t->SetOptions(Options);
    t->SetKeyField("tid");
    t->SetParentField("tparent");
    t->SetListField("tname");
    if (!Root.IsNull()) t->SetRootValue(Root);
    t->SetDataSource(SourceOf(DataSet));
    Form->Show();
    Pump();
    return t;
  }

  static std::string U8(const AnsiString& S) { return AnsiToUtf8(S); }
  static AnsiString A(const std::string& Utf8) { return Utf8ToAnsi(Utf8); }
  // The tree as KxTreeFixture::Dump gives it, in UTF-8.
  static std::string Tree(TCustomTreeView* T) { return U8(Dump(T)); }
  static TTreeNode* Node(TCustomTreeView* T, const std::string& Utf8Text) { return Find(T, A(Utf8Text)); }
  static TkxDBTreeNode* DBNode(TCustomTreeView* T, const std::string& Utf8Text) {
    return dynamic_cast<TkxDBTreeNode*>(Node(T, Utf8Text));
  }
  // The table as the file holds it: "tid:tparent:tname" in key order.
  std::string Rows(const char* Table, const char* Extra = nullptr) {
    TADOTable t(nullptr);
    t.SetConnectionString(ConnectionString());
    t.SetTableName(Table);
    t.Open();
    std::string s;
    for (; !t.Eof(); t.Next()) {
      if (!s.empty()) s += ";";
      s += std::string(t.FieldByName("tid")->AsString()) + ":" + std::string(t.FieldByName("tparent")->AsString()) +
           ":" + U8(t.FieldByName("tname")->AsString());
      if (Extra) s += ":" + U8(t.FieldByName(Extra)->AsString());
    }
    return s;
  }
  int RowCount(const char* Table) {
    TADOTable t(nullptr);
    t.SetConnectionString(ConnectionString());
    t.SetTableName(Table);
    t.Open();
    return t.RecordCount();
  }
};
