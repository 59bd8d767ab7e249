// Export to files from a real story window: the text file holds the headings,
// design notes and body texts in tree order, the RTF file reads back as the
// same lines, the HTML file shows them in a headless browser; names that
// would lead out of the out folder are refused and write nothing.
#include "app/exportfiles.h"

#include <fstream>
#include <iterator>

#include "app/tests/storytest.h"
#include "editor/tests/exportread.h"

namespace {

class ExportFilesTest : public StoryTest {
 protected:
  // A file's bytes; "<none>" when it does not exist.
  static std::string Bytes(const std::string& Path) {
    std::ifstream f(Path, std::ios::binary);
    if (!f) return "<none>";
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  std::string Out(const std::string& Name) { return Root + "out/" + Name; }
  // Lines (UTF-8) as the text file holds them: CP936, each ended by CR LF.
  static std::string TextFile(std::initializer_list<const char*> Lines) {
    std::string s;
    for (const char* l : Lines) s += std::string(Utf8ToAnsi(l)) + "\r\n";
    return s;
  }
  int Selected() {
    auto* n = dynamic_cast<TkxDBTreeNode*>(W->FolderTree->Selected());
    return n ? n->RecordKey().AsInteger() : 0;
  }
  // 甲 (乙) and 丙; 甲 with two lines of design notes, 丙 with no body.
  void OpenThree() {
    AddNodes({{1, 0, "甲"}, {2, 1, "乙"}, {3, 0, "丙"}});
    Sql("UPDATE Story1 SET ttext1 = '设计一' || char(13, 10) || '设计二' WHERE tid = 1");
    Sql("UPDATE Story1 SET ttext1 = '乙的设计' WHERE tid = 2");
    Sql("UPDATE Story1 SET ttext2 = NULL WHERE tid = 3");
    ASSERT_NE(Open(), nullptr);
  }
};

TEST_F(ExportFilesTest, TheThreeFilesHoldDesignNotesThenBodiesInTreeOrder) {
  OpenThree();
  // Every node goes out, also with the tree showing only a subtree.
  NodeOf(W->FolderTree, 1)->SetSelected(true);
  W->N34Click(nullptr);
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  Pump();
  W->N38Click(nullptr);
  const std::string txt = Bytes(Out("我的小说.txt"));
  EXPECT_EQ(txt, TextFile({"设计", "01    甲", "设计一", "设计二", "02    乙", "乙的设计", "03    丙",
                           "------------------------------------", "正文", "01    甲", "甲的正文", "02    乙",
                           "乙的正文", "03    丙"}));
  // The cursor stays on the last node visited.
  EXPECT_EQ(W->ClientUserTable->FieldByName("tid")->AsInteger(), 3);

  // The RTF document reads back as the same lines.
  std::string lines = txt;
  for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.replace(at, 2, "\n");
  const std::string rtf = Bytes(Out("我的小说.rtf"));
  ASSERT_EQ(rtf.substr(0, 5), "{\\rtf");
  EXPECT_EQ(std::string(exportread::RtfText(rtf)), lines);

  // The HTML page shows the Chinese text in a browser.
  const std::string htm = Bytes(Out("我的小说.htm"));
  ASSERT_NE(htm, "<none>");
  EXPECT_NE(htm.find("<title>Penvarro</title>"), std::string::npos) << htm.substr(0, 400);
  const std::string browser = exportread::HeadlessBrowser();
  if (browser.empty()) GTEST_SKIP() << "no headless browser";
  const std::string dom = exportread::BrowserDom(browser, Out("我的小说.htm"), Dir);
  for (const char* text : {"设计一", "设计二", "乙的设计", "甲的正文", "乙的正文", "01    甲"})
    EXPECT_NE(dom.find(text), std::string::npos) << text << "\n" << dom;
}

TEST_F(ExportFilesTest, AViewsOrderFieldAloneHeadsTheNodesAndAnEarlierExportIsReplaced) {
  OpenThree();
  Sql("UPDATE Story1 SET tview3 = 0, tviewname3 = 'c' || (4 - tid)");
  W->ClientUserTable->Refresh();
  W->CheckBox1->SetChecked(false);
  W->N12Click(nullptr);
  ASSERT_EQ(W->FolderTree->DisplayField(), "tviewname3");
  std::ofstream(Out("我的小说.txt")) << "an earlier export, longer than the new one" << std::string(500, '.');
  W->N38Click(nullptr);
  EXPECT_EQ(Bytes(Out("我的小说.txt")),
            TextFile({"设计", "    c1", "    c2", "乙的设计", "    c3", "设计一", "设计二",
                      "------------------------------------", "正文", "    c1", "    c2", "乙的正文", "    c3",
                      "甲的正文"}));
}

TEST_F(ExportFilesTest, NamesThatLeaveTheFolderAreRefusedAndAnEmptyTableGivesTheHeadings) {
  ASSERT_NE(Open(), nullptr);
  const struct {
    const char* Name;
    bool Written;
  } cases[] = {
      {"../逃出", false}, {"a/b", false}, {"..", false}, {"a\\b", false}, {"换\n行", false},
      {"誠心", true},  // its second byte is a backslash, but the character is whole
      {"第一部 上", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Written) {
      LibDataModule->ExportToFile(W->FolderTree, A(c.Name));
      EXPECT_EQ(Bytes(Out(std::string(c.Name) + ".txt")), TextFile({"设计", "------------------------------------", "正文"}));
    } else {
      EXPECT_THROW(LibDataModule->ExportToFile(W->FolderTree, A(c.Name)), EFCreateError);
    }
  }
  // Nothing landed outside the out folder, and only the accepted names inside it.
  std::vector<std::string> found;
  for (const auto& e : std::filesystem::recursive_directory_iterator(Dir))
    if (e.is_regular_file() && e.path().string().find("/out/") == std::string::npos &&
        e.path().extension() != ".l" && e.path().extension() != ".te" && e.path().extension() != ".t")
      found.push_back(e.path().string());
  EXPECT_TRUE(found.empty()) << found.front();
  int inOut = 0;
  for (const auto& e : std::filesystem::directory_iterator(Root + "out")) inOut += e.is_regular_file();
  EXPECT_EQ(inOut, 6);
}

TEST_F(ExportFilesTest, AMissingFolderOrAnUnknownFieldWritesNothing) {
  OpenThree();
  std::filesystem::remove_all(Root + "out");
  EXPECT_THROW(W->N38Click(nullptr), EFCreateError);
  EXPECT_FALSE(std::filesystem::exists(Root + "out"));
  std::filesystem::create_directories(Root + "out");
  W->FolderTree->SetDisplayField("tsortid;tname;tid");  // "tname;tid" names no field
  EXPECT_THROW(W->N38Click(nullptr), EDatabaseError);
  EXPECT_TRUE(std::filesystem::is_empty(Root + "out"));
}

}  // namespace
