// Fixture of the tests on the library tool windows (story design, library-wide
// replace, copy between files): the workbench started on a story file as the
// program starts it, helpers that read and write the installed library, find a
// child window of the frame, compare whole records and drag tree nodes with the
// mouse.
#pragma once
#include <map>
#include <string>

#include "app/tests/storytest.h"

class ToolWindowTest : public StoryTest {
 protected:
  std::string Lib() const { return Root + "data/lib.l"; }
  static void FileSql(const std::string& File, const std::string& Text) {
    pvsql::Db db(File);
    db.Exec(Text);
  }
  // The first column of the first row of a query on File ("-" for NULL).
  static std::string FileQuery(const std::string& File, const std::string& Text) {
    pvsql::Db db(File);
    pvsql::Stmt st(db, Text);
    if (!st.Step()) return "<no row>";
    return st.Type(0) == pvsql::ColType::Null ? "-" : std::string(st.Text(0));
  }
  // Every column of one row but Skip, each as SQL's quote() gives it, so that
  // blobs and NULLs compare too.
  static std::map<std::string, std::string> Record(const std::string& File, const std::string& Table,
                                                   const std::string& Where) {
    pvsql::Db db(File);
    std::map<std::string, std::string> r;
    pvsql::Stmt cols(db, "SELECT name FROM pragma_table_info('" + Table + "')");
    std::string list;
    std::vector<std::string> names;
    while (cols.Step()) names.emplace_back(cols.Text(0));
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + std::string("quote(\"") + n + "\")";
    pvsql::Stmt st(db, "SELECT " + list + " FROM \"" + Table + "\" WHERE " + Where);
    if (!st.Step()) return r;
    for (std::size_t i = 0; i < names.size(); ++i) r[names[i]] = std::string(st.Text(int(i)));
    return r;
  }
  // Gives every column of Table but tid, tparent and tname a value of its own
  // in every row: numbers from the key and the column, texts with Chinese,
  // random eight-byte blobs.
  static void FillEveryField(const std::string& File, const std::string& Table) {
    pvsql::Db db(File);
    pvsql::Stmt cols(db, "SELECT name, type FROM pragma_table_info('" + Table + "')");
    std::string set;
    int i = 0;
    while (cols.Step()) {
      const std::string name(cols.Text(0)), type(cols.Text(1));
      ++i;
      if (name == "tid" || name == "tparent" || name == "tname") continue;
      std::string value;
      if (type == "INTEGER")
        value = "tid * 100 + " + std::to_string(i);
      else if (type == "LONGBINARY")
        value = "randomblob(8)";
      else
        value = "'值' || tid || '" + name.substr(0, 5) + "'";
      set += (set.empty() ? "" : ", ") + std::string("\"") + name + "\" = " + value;
    }
    db.Exec("UPDATE \"" + Table + "\" SET " + set);
  }
  // The child window of the frame of class T (the last one made), owned by
  // the application as the tool windows are.
  template <class T>
  static T* Child() {
    T* found = nullptr;
    for (int i = 0; i < Application->ComponentCount(); ++i)
      if (auto* f = dynamic_cast<T*>(Application->Components(i))) found = f;
    return found;
  }
  void DragNode(TkxDBTreeView* From, int FromKey, TkxDBTreeView* To, int ToKey, bool Ctrl = false) {
    TTreeNode* source = NodeOf(From, FromKey);
    TTreeNode* target = NodeOf(To, ToKey);
    ASSERT_TRUE(source && target) << FromKey << " -> " << ToKey;
    const TPoint from = LabelPoint(From, source);
    const TPoint to = LabelPoint(To, target);
    DragTo(from, to, Ctrl);
  }
};
