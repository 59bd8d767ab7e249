// The frame on the headless backend, started as the program starts it from
// an installation laid out in the test's folder: the root and the library,
// damaged and missing files at start-up, the menus and styles, closing to the
// notification area and leaving through its menu, new stories, switching the
// library and the wallpaper.
#include <algorithm>
#include <cstring>
#include <fstream>

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/program.h"
#include "app/tests/apptest.h"
#include "app/treecopyform.h"
#include "docking/kxdockmanager.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/sqlite_wrap.h"

namespace {

namespace fs = std::filesystem;

struct StoryOpen {
  std::string file, caption;
  bool copyStyle;
};
std::vector<StoryOpen> gOpened;
void RecordStory(TMainForm*, const AnsiString& File, const AnsiString& Caption, bool CopyStyle) {
  gOpened.push_back({AnsiToUtf8(File), AnsiToUtf8(Caption), CopyStyle});
}

class FrameTest : public AppTest {
 protected:
  std::string Root;
  void SetUp() override {
    AppTest::SetUp();
    FrameWindows() = TFrameWindows();  // the frame alone, without the windows of other units
    gOpened.clear();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
    Root = LayOutInstallation();
    fs::create_directories(Root + "data/Wallpaper");
  }
  void TearDown() override {
    FrameWindows() = TFrameWindows();
    ClearDialogAnswers();
    AppTest::TearDown();
  }
  // Starts the workbench as the program does, with the executable in bin/.
  TMainForm* Start(std::vector<std::string> Params = {}) {
    std::vector<std::string> args{Root + "bin/penvro"};
    args.insert(args.end(), Params.begin(), Params.end());
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    CreateWorkbench(int(argv.size()), argv.data());
    MainForm->Show();
    Pump();
    return MainForm;
  }
  void Write(const std::string& File, const std::string& Bytes) {
    std::ofstream f(File, std::ios::binary);
    f << Bytes;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> m;
    for (const TDialogRecord& r : DialogLog()) m.push_back(AnsiToUtf8(r.Text));
    return m;
  }
  static std::string Integrity(const std::string& File) {
    pvsql::Db db(File);
    pvsql::Stmt st(db, "PRAGMA integrity_check");
    return st.Step() ? std::string(st.Text(0)) : "";
  }
  // A 24-bit bitmap file of W x H pixels: Corner at (0, 0), Fill elsewhere.
  void WriteBitmap(const std::string& File, int W, int H, std::uint32_t Corner, std::uint32_t Fill) {
    const int stride = (W * 3 + 3) & ~3;
    std::string b(54 + std::size_t(stride) * std::size_t(H), '\0');
    auto put32 = [&](int at, std::uint32_t v) {
      for (int k = 0; k < 4; ++k) b[std::size_t(at + k)] = char((v >> (8 * k)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, std::uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(W));
    put32(22, std::uint32_t(H));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const std::uint32_t c = (x == 0 && y == 0) ? Corner : Fill;
        const std::size_t at = 54 + std::size_t(H - 1 - y) * std::size_t(stride) + std::size_t(x) * 3;
        b[at] = char(c & 0xFF);
        b[at + 1] = char((c >> 8) & 0xFF);
        b[at + 2] = char((c >> 16) & 0xFF);
      }
    Write(File, b);
  }
  std::uint32_t ScreenAt(HWND H, int X, int Y) {
    POINT p{X, Y};
    ClientToScreen(H, &p);
    return hb->ScreenPixel(p.x, p.y) & 0xFFFFFF;
  }
};

TEST(InstallationRootTest, IsThePathWithoutItsLastTenCharacters) {
  EXPECT_EQ(InstallationRoot("/P/bin/ab.exe"), "/P/");
  EXPECT_EQ(InstallationRoot("/opt/penvarro/bin/penvro"), "/opt/penvarro/");
  EXPECT_EQ(InstallationRoot("bin/penvro"), "");
  EXPECT_EQ(InstallationRoot("x"), "");
  int cols = 0, rows = 0;
  WallpaperTiles(250, 170, 100, 80, cols, rows);
  EXPECT_EQ(cols, 3);
  EXPECT_EQ(rows, 3);
  WallpaperTiles(200, 160, 100, 80, cols, rows);
  EXPECT_EQ(cols, 3) << "one more than fit whole";
  EXPECT_EQ(rows, 3);
}

TEST_F(FrameTest, StartsWithTheLibraryOpenTheMenusAndTheOffice2003Style) {
  TMainForm* f = Start();
  EXPECT_EQ(Application->MainForm(), f);
  EXPECT_EQ(U8(f->Root()), Root);
  EXPECT_EQ(U8(f->LibraryPath()), Root + "data/lib.l");
  EXPECT_EQ(U8(LibDataModule->Root), Root);
  EXPECT_TRUE(LibDataModule->LibConnection->Connected());
  EXPECT_EQ(LibDataModule->LibConnection->DataSource(), A(Root + "data/lib.l"));
  EXPECT_TRUE(LibDataModule->libTable->Active());
  EXPECT_TRUE(LibDataModule->SystemSetADOTable->Active());
  EXPECT_TRUE(DialogLog().empty());
  EXPECT_EQ(Application->Title(), kApplicationTitle);
  EXPECT_EQ(f->Caption(), "Penvarro");
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(f->FormStyle(), fsMDIForm);
  ASSERT_NE(TreeCopyForm, nullptr);
  EXPECT_FALSE(TreeCopyForm->Visible());
  EXPECT_TRUE(TreeCopyForm->Tree->HandleAllocated());
  // the main menu: four menus in order
  TkxBar* menu = f->BarManager->Bars()->Items(0);
  EXPECT_TRUE(menu->IsMainMenu());
  ASSERT_EQ(menu->ItemLinks()->Count(), 4);
  std::vector<std::string> titles;
  for (int i = 0; i < 4; ++i) titles.push_back(U8(menu->ItemLinks()->Items(i)->Item()->Caption()));
  EXPECT_EQ(titles, (std::vector<std::string>{"文件", "视图", "工程", "帮助"}));
  EXPECT_EQ(f->HelpMenu->ItemLinks()->Count(), 11);
  EXPECT_EQ(U8(f->HelpMenu->ItemLinks()->Items(0)->Item()->Caption()), "重叠") << "from the window action";
  EXPECT_EQ(f->BarManager->Images(), LibDataModule->ChildFormImageList);
  // the Office 2003 style, pressed; the tray icon hidden
  EXPECT_EQ(f->BarManager->Style(), bmsOffice11);
  EXPECT_EQ(LibDataModule->DockingManager->ViewStyle(), vsOffice11);
  EXPECT_TRUE(f->kxBarButtonOffice11View->Down());
  EXPECT_FALSE(f->kxBarButtonStandardView->Down());
  EXPECT_FALSE(f->TrayIcon1->IconVisible());
  EXPECT_TRUE(hb->TrayIcons().empty());
  // the window actions wait for child windows
  bool done = false;
  Application->DoIdle(done);
  EXPECT_FALSE(f->WindowCascade1->Enabled());
  // windows that are not provided cannot be opened; a new story can be made;
  // the start-up provides the library windows
  EXPECT_TRUE(f->N4->Enabled());
  EXPECT_TRUE(f->SystemModule->Enabled());
  EXPECT_FALSE(f->FileOpenItem->Enabled());
  EXPECT_TRUE(f->FileNewItem->Enabled());
  EXPECT_TRUE(f->N2->Enabled());
}

TEST_F(FrameTest, ADamagedLibraryIsReportedAndTheFrameStillAppears) {
  Write(Root + "data/lib.l", std::string(4096, 'x'));
  Write(Root + "bin/qz.style", "[Root]\nDockControlCount=1\n");
  WriteBitmap(Root + "data/Wallpaper/bk.bmp", 8, 8, 0xFF0000, 0x00FF00);
  AnswerButton(mrOk);
  TMainForm* f = Start();
  EXPECT_EQ(Messages(), std::vector<std::string>{"   错误的文件格式.                   "});
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_FALSE(LibDataModule->libTable->Active());
  EXPECT_TRUE(f->bkImage->Picture()->Graphic() == nullptr) << "the wallpaper is not loaded";
  // the client keeps its own background where the picture is missing
  EXPECT_NE(ScreenAt(f->ClientHandle(), 0, 0), 0xFF0000u);
}

TEST_F(FrameTest, ADamagedLayoutIsIgnoredAndAMissingWallpaperSkipped) {
  Write(Root + "bin/qz.style", "[Root]\nDockControlCount=999999999\n[0]\nClassName=TNoSuchClass\n");
  TMainForm* f = Start();
  EXPECT_TRUE(DialogLog().empty());
  EXPECT_TRUE(LibDataModule->libTable->Active());
  EXPECT_FALSE(f->WallpaperInstalled());
}

TEST_F(FrameTest, TheWallpaperTilesTheClientArea) {
  WriteBitmap(Root + "data/Wallpaper/bk.bmp", 100, 80, 0xFF0000, 0x0000FF);
  TMainForm* f = Start();
  ASSERT_TRUE(f->WallpaperInstalled());
  EXPECT_EQ(f->bkImage->Picture()->Graphic()->Width(), 100);
  f->SetClientWidth(250);
  f->SetClientHeight(170);
  Pump();
  HWND client = f->ClientHandle();
  RECT r;
  GetClientRect(client, &r);
  ASSERT_GT(r.right, 100);
  ASSERT_GT(r.bottom, 80);
  // the picture's corner pixel marks where each tile begins
  for (auto [x, y] : {std::pair{0, 0}, {100, 0}, {0, 80}, {100, 80}}) {
    if (x >= r.right || y >= r.bottom) continue;
    EXPECT_EQ(ScreenAt(client, x, y), 0xFF0000u) << x << "," << y;
    EXPECT_EQ(ScreenAt(client, x + 1, y), 0x0000FFu) << x << "," << y;
  }
}

TEST_F(FrameTest, ClosingHidesToTheTrayAndOnlyTheTraysExitEndsTheProgram) {
  TMainForm* f = Start();
  // an edit in progress is saved by every close request
  LibDataModule->libTable->Edit();
  LibDataModule->libTable->FieldByName("tname")->SetAsString(A("改过"));
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    f->Close();
    Pump();
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(Application->MainForm(), f);
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    EXPECT_TRUE(f->TrayIcon1->IconVisible());
    EXPECT_EQ(hb->TrayIcons().at(1), "Penvarro");
    // the program's picture: a white page with grey lines, its corner transparent
    const auto picture = hb->TrayImage(1);
    ASSERT_EQ(picture.width, 16);
    EXPECT_EQ(picture.pixels[7 * 16 + 4], 0xFFFFFFFFu);
    EXPECT_EQ(picture.pixels[8 * 16 + 4], 0xFF808080u);
    EXPECT_EQ(picture.pixels[0] >> 24, 0u);
    // "打开" brings it back and takes the icon away
    f->show->Click();
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_TRUE(hb->TrayIcons().empty());
  }
  {
    pvsql::Db db(Root + "data/lib.l");
    pvsql::Stmt st(db, "SELECT tname FROM region1 WHERE tid = 1");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(std::string(st.Text(0)), "改过");
  }
  // "隐藏" hides it again; a double click on the icon shows it
  f->hide->Click();
  EXPECT_FALSE(IsWindowVisible(f->Handle()));
  hb->TrayMouse(1, WM_LBUTTONDBLCLK);
  Pump();
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_FALSE(f->TrayIcon1->IconVisible());
  // the File menu's "退出" is a close like any other
  f->kxBarButtonExit->Click();
  Pump();
  EXPECT_FALSE(Application->Terminated());
  EXPECT_FALSE(IsWindowVisible(f->Handle()));
  // the tray's "退出" saves and ends the message loop
  LibDataModule->libTable->Edit();
  LibDataModule->libTable->FieldByName("tname")->SetAsString(A("最后"));
  f->exitprogram->Click();
  Pump();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(hb->TrayIcons().empty());
  EXPECT_FALSE(f->Exiting());
  pvsql::Db db(Root + "data/lib.l");
  pvsql::Stmt st(db, "SELECT tname FROM region1 WHERE tid = 1");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(std::string(st.Text(0)), "最后");
}

// With no notification area to hide in, closing the frame saves and ends the
// program as the tray's exit does: hidden, it could never be reached again.
TEST_F(FrameTest, WithoutANotificationAreaClosingSavesAndEnds) {
  hb->SetTrayAvailable(false);
  TMainForm* f = Start();
  LibDataModule->libTable->Edit();
  LibDataModule->libTable->FieldByName("tname")->SetAsString(A("关闭前"));
  f->Close();
  Pump();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(IsWindowVisible(f->Handle()));
  EXPECT_FALSE(f->TrayIcon1->IconVisible());
  EXPECT_TRUE(hb->TrayIcons().empty());
  pvsql::Db db(Root + "data/lib.l");
  pvsql::Stmt st(db, "SELECT tname FROM region1 WHERE tid = 1");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(std::string(st.Text(0)), "关闭前");
}

// "打开" in the tray menu brings back the frame and its story window as they
// were: maximised stays maximised.
TEST_F(FrameTest, RestoringFromTheTrayKeepsTheFrameAndItsStoryWindowMaximised) {
  TMainForm* f = Start();
  auto* child = new TForm(f, 0);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  Pump();
  ShowWindow(f->Handle(), SW_MAXIMIZE);
  SendMessageA(f->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  Pump();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    f->Close();
    Pump();
    ASSERT_FALSE(IsWindowVisible(f->Handle()));
    f->show->Click();
    Pump();
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_TRUE(IsZoomed(f->Handle()));
    EXPECT_TRUE(IsZoomed(child->Handle()));
  }
}

TEST_F(FrameTest, ANewStoryIsACopyOfTheTemplate) {
  FrameWindows().OpenStory = &RecordStory;
  TMainForm* f = Start();
  struct Case {
    const char* name;
    const char* answer;  // UTF-8; nullptr: cancelled
    const char* file;    // in the story folder, made; nullptr: none
    const char* message;
  } cases[] = {
      {"blanks around are trimmed", "  a b  ", "a b.t", nullptr},
      {"Chinese", "测试", "测试.t", nullptr},
      {"a character ending in a backslash byte", "誠心", "誠心.t", nullptr},
      {"blanks only", "   ", nullptr, nullptr},
      {"cancelled", nullptr, nullptr, nullptr},
      {"a path", "../escape", nullptr, "文件名不能含有“/”、“\\”或“..”：../escape"},
      {"a folder", "sub/x", nullptr, "文件名不能含有“/”、“\\”或“..”：sub/x"},
      {"a control character", "a\tb", nullptr, "文件名不能含有控制字符。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gOpened.clear();
    ClearDialogLog();
    if (c.answer) AnswerText(A(c.answer));
    else AnswerCancel();
    if (c.message) AnswerButton(mrOk);
    f->FileNewItem->Click();
    EXPECT_EQ(PendingDialogAnswers(), 0);
    ASSERT_GE(DialogLog().size(), 1u);
    EXPECT_EQ(U8(DialogLog()[0].Caption), "新建文件:");
    EXPECT_EQ(U8(DialogLog()[0].Text), "文件名");
    if (c.message) {
      ASSERT_EQ(DialogLog().size(), 2u);
      EXPECT_EQ(U8(DialogLog()[1].Text), c.message);
    }
    if (c.file) {
      const std::string path = Root + "story/" + c.file;
      ASSERT_TRUE(fs::exists(path));
      EXPECT_EQ(Integrity(path), "ok");
      EXPECT_EQ(fs::file_size(path), fs::file_size(Root + "data/template.te"));
      ASSERT_EQ(gOpened.size(), 1u);
      EXPECT_EQ(gOpened[0].file, path);
      EXPECT_EQ(gOpened[0].caption, std::string(c.file).substr(0, std::strlen(c.file) - 2));
      EXPECT_TRUE(gOpened[0].copyStyle);
    } else {
      EXPECT_TRUE(gOpened.empty());
    }
  }
  EXPECT_FALSE(fs::exists(Dir + "/escape.t"));
  std::vector<std::string> stories;
  for (const auto& e : fs::directory_iterator(Root + "story")) stories.push_back(e.path().filename().string());
  std::sort(stories.begin(), stories.end());
  EXPECT_EQ(stories, (std::vector<std::string>{"a b.t", "测试.t", "誠心.t"}));

  // a name too long for the file system
  ClearDialogLog();
  AnswerText(AnsiString(300, 'n'));
  AnswerButton(mrOk);
  f->FileNewItem->Click();
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(U8(DialogLog()[1].Text).substr(0, 18), "文件名太长：");
}

TEST_F(FrameTest, AnExistingStoryIsOpenedUnchangedAndAMissingTemplateReported) {
  FrameWindows().OpenStory = &RecordStory;
  TMainForm* f = Start();
  Write(Root + "story/old.t", "not a copy");
  AnswerText("old");
  f->FileNewItem->Click();
  std::ifstream in(Root + "story/old.t");
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "not a copy");
  ASSERT_EQ(gOpened.size(), 1u);
  EXPECT_EQ(gOpened[0].caption, "old");

  gOpened.clear();
  ClearDialogLog();
  fs::remove(Root + "data/template.te");
  AnswerText("new");
  AnswerButton(mrOk);
  f->FileNewItem->Click();
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(U8(DialogLog()[1].Text), "找不到模板文件：" + Root + "data/template.te");
  EXPECT_FALSE(fs::exists(Root + "story/new.t")) << "no empty database in its place";
  EXPECT_TRUE(gOpened.empty());

  // the story folder is gone: the failed copy is reported
  fs::copy_file(ShippedData() / "template.te", Root + "data/template.te");
  fs::remove_all(Root + "story");
  ClearDialogLog();
  AnswerText("new");
  AnswerButton(mrOk);
  f->FileNewItem->Click();
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(U8(DialogLog()[1].Text), "无法建立文件：" + Root + "story/new.t");
  EXPECT_TRUE(gOpened.empty());
}

TEST_F(FrameTest, OpeningAStoryAndStartingWithOne) {
  FrameWindows().OpenStory = &RecordStory;
  fs::copy_file(Root + "data/template.te", Root + "story/第一部.t");
  TMainForm* f = Start({Root + "story/第一部.t"});
  ASSERT_EQ(gOpened.size(), 1u);
  EXPECT_EQ(gOpened[0].file, Root + "story/第一部.t");
  EXPECT_EQ(gOpened[0].caption, Root + "story/第一部.t") << "the parameter unchanged";
  EXPECT_FALSE(gOpened[0].copyStyle);
  EXPECT_TRUE(f->FileOpenItem->Enabled());
  gOpened.clear();
  QueueDialogAnswer(TDialogAnswer().Select(A("第一部.t")).Press(mrOk));
  f->FileOpenItem->Click();
  ASSERT_EQ(gOpened.size(), 1u);
  EXPECT_EQ(gOpened[0].file, Root + "story/第一部.t");
  EXPECT_EQ(gOpened[0].caption, "第一部");
  EXPECT_TRUE(gOpened[0].copyStyle);
  EXPECT_EQ(U8(f->OpenDialog->Filter()), "Penvarro 文档 |*.t");
  EXPECT_EQ(U8(f->OpenDialog->InitialDir()), Root + "story/");
}

TEST_F(FrameTest, SwitchingTheLibrary) {
  TMainForm* f = Start();
  fs::copy_file(Root + "data/lib.l", Root + "data/other.l");
  pvsql::Db(Root + "data/other.l").Exec("UPDATE TableAlias SET tname = 'region2'; CREATE TABLE region2 AS SELECT * FROM region1");
  QueueDialogAnswer(TDialogAnswer().Select("other.l").Press(mrOk));
  f->N2->Click();
  EXPECT_EQ(U8(f->OpenDialog->Filter()), "Penvarro 文档 |*.l");
  EXPECT_EQ(U8(f->LibraryPath()), Root + "data/other.l");
  EXPECT_EQ(LibDataModule->libTable->TableName(), "region2");
  EXPECT_TRUE(DialogLog().size() == 1u);
  // a damaged one is reported
  Write(Root + "data/bad.l", "junk");
  QueueDialogAnswer(TDialogAnswer().Select("bad.l").Press(mrOk));
  AnswerButton(mrOk);
  f->N2->Click();
  EXPECT_EQ(Messages().back(), "   错误的文件格式.                   ");
  // cancelled: nothing changes
  AnswerCancel();
  f->N2->Click();
  EXPECT_EQ(U8(f->LibraryPath()), Root + "data/bad.l");
}

TEST_F(FrameTest, StyleCommandsSwitchBarsAndDockingTogether) {
  TMainForm* f = Start();
  struct Case {
    TkxBarButton* button;
    TkxBarManagerStyle bars;
    TkxDockingViewStyle docking;
  } cases[] = {{f->kxBarButtonStandardView, bmsStandard, vsStandard},
               {f->kxBarButtonNETView, bmsFlat, vsNET},
               {f->kxBarButtonXPView, bmsXP, vsXP},
               {f->kxBarButtonOffice11View, bmsOffice11, vsOffice11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.button->Caption()));
    c.button->Click();
    EXPECT_EQ(f->BarManager->Style(), c.bars);
    EXPECT_EQ(LibDataModule->DockingManager->ViewStyle(), c.docking);
  }
  // a child window's bars take the frame's style
  f->kxBarButtonXPView->Click();
  auto* child = new TkxBarManager(new TForm(Application, 0));
  f->CopyBarStyle(child);
  EXPECT_EQ(child->Style(), bmsXP);
}

TEST_F(FrameTest, AboutOpensTheProductPageAndTheBackgroundShrinks) {
  TMainForm* f = Start();
  f->kxBarButton11->Click();
  EXPECT_EQ(hb->ShellOpened(), std::vector<std::string>{kProductPage});
  f->kxBarButton19->Click();
  EXPECT_EQ(f->Height(), 50);
  EXPECT_LE(f->Width(), 120) << "as narrow as the window may be";
}

}  // namespace
