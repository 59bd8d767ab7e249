// Fixture of the tests on the library file: a copy of the shipped library and
// template in the test's folder, the library data module and the node
// clipboard's window created as the program creates them, and helpers that
// read a table straight from the file.
#pragma once
#include <filesystem>
#include <string>

#include "app/libdatamodule.h"
#include "app/tests/apptest.h"
#include "app/treecopyform.h"
#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"

class LibTest : public AppTest {
 protected:
  TLibDataModule* Module = nullptr;

  void SetUp() override {
    AppTest::SetUp();
    ASSERT_TRUE(std::filesystem::exists(ShippedData() / "lib.l")) << "built by mkdata";
    std::filesystem::copy_file(ShippedData() / "lib.l", LibFile());
    std::filesystem::copy_file(ShippedData() / "template.te", Dir + "/template.te");
  }
  std::string LibFile() const { return Dir + "/lib.l"; }

  // The data module and the clipboard window, the library connected and opened.
  void OpenLibrary() {
    Application->CreateForm(Module);
    TTreeCopyForm* clip = nullptr;
    Application->CreateForm(clip);
    Module->LibConnection->SetConnectionString(LibConnectionString(LibFile()));
    Module->LibConnection->Open();
    Module->openTable();
  }
  // Runs SQL (UTF-8) on a file directly, as another program would.
  static void Sql(const std::string& File, const std::string& Text) {
    pvsql::Db db(File);
    db.Exec(Text);
  }
  // "tid:tparent:tname[:extra...]" of each row in key order, read from the file.
  static std::string Rows(const std::string& File, const char* Table, std::initializer_list<const char*> Extra = {}) {
    TADOTable t(nullptr);
    t.SetConnectionString(LibConnectionString(File));
    t.SetTableName(Table);
    t.Open();
    std::string s;
    for (; !t.Eof(); t.Next()) {
      if (!s.empty()) s += ";";
      s += U8(t.FieldByName("tid")->AsString()) + ":" + U8(t.FieldByName("tparent")->AsString()) + ":" +
           U8(t.FieldByName("tname")->AsString());
      for (const char* e : Extra) s += ":" + U8(t.FieldByName(e)->AsString());
    }
    return s;
  }
};
