// The common dialogs on the headless backend, answered by queued answers:
// message boxes and dialogs, input boxes, the file dialogs' rules and forms.
#include <stdlib.h>
#include <gtest/gtest.h>
#include <fstream>
#include <string>
#include "platform/backend/headless/headless.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"

namespace {

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    InitForms();
    InitDialogs();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
    char tmpl[] = "/tmp/pvdlgXXXXXX";
    dir = mkdtemp(tmpl);
    cwd = GetCurrentDir();
  }
  void TearDown() override {
    ClearDialogAnswers();
    DoneForms();
    PvResetWindowManager();
    hb->Reset();
    SetCurrentDir(cwd);
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  void Touch(const std::string& rel) {
    std::ofstream(SysFileName(dir + "/" + rel)) << "x";  // names are CP936
  }
  // Saves the dialog as it is shown now.
  static void Screenshot(TCustomForm* f, const std::string& name) {
    PvProcessMessages();
    RECT r;
    GetWindowRect(f->Handle(), &r);
    std::string path = ::testing::TempDir() + name;
    HeadlessBackend::Install().SaveScreenshot(path, &r);
    std::printf("screenshot: %s\n", path.c_str());
  }
  HeadlessBackend* hb = nullptr;
  std::string dir;
  AnsiString cwd;
};

TEST_F(DialogsTest, MessageBoxReturnsTheAnsweredButton) {
  struct Case {
    UINT flags;
    int press;
  } cases[] = {
      {MB_OK, IDOK},           {MB_OKCANCEL, IDCANCEL},      {MB_YESNO | MB_ICONQUESTION, IDNO},
      {MB_YESNOCANCEL, IDYES}, {MB_ABORTRETRYIGNORE, IDRETRY}, {MB_RETRYCANCEL | MB_ICONHAND, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    AnswerButton(c.press);
    EXPECT_EQ(MessageBoxA(nullptr, A("保存修改吗？").c_str(), "Penvarro", c.flags), c.press);
    EXPECT_EQ(PendingDialogAnswers(), 0);
  }
  ASSERT_EQ(DialogLog().size(), 6u);
  EXPECT_EQ(DialogLog()[0].Kind, "Message");
  EXPECT_EQ(DialogLog()[0].Caption, "Penvarro");
  EXPECT_EQ(DialogLog()[0].Text, A("保存修改吗？"));
}

TEST_F(DialogsTest, EnterPressesTheDefaultButtonAndEscapeTheCancelOne) {
  auto key = [](unsigned vk) {
    return TDialogAnswer().Do([vk](TCustomForm*) { SendMessageA(GetFocus(), WM_KEYDOWN, vk, 0); });
  };
  struct Case {
    UINT flags;
    unsigned vk;
    int result;
  } cases[] = {
      {MB_YESNO, VK_RETURN, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, VK_RETURN, IDCANCEL},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
      {MB_OK, VK_ESCAPE, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    QueueDialogAnswer(key(c.vk));
    EXPECT_EQ(Application->MessageBox("x", "t", c.flags), c.result);
  }
  // A yes/no box has no cancel button: Escape leaves it open, and with no
  // further answer the box is closed with an error naming it.
  QueueDialogAnswer(key(VK_ESCAPE));
  try {
    Application->MessageBox(A("删除此章节？"), "t", MB_YESNO);
    ADD_FAILURE() << "no error";
  } catch (const EDialogNotAnswered& e) {
    EXPECT_NE(e.Message.find(A("删除此章节？")), std::string::npos) << e.Message;
    EXPECT_NE(e.Message.find("still open"), std::string::npos) << e.Message;
  }
}

TEST_F(DialogsTest, UnansweredDialogsRaiseInsteadOfWaiting) {
  try {
    MessageDlg(A("文件已更改。"), mtWarning, mbOKCancel);
    ADD_FAILURE() << "no error";
  } catch (const EDialogNotAnswered& e) {
    EXPECT_NE(e.Message.find("Message"), std::string::npos);
    EXPECT_NE(e.Message.find(A("文件已更改。")), std::string::npos);
  }
  AnsiString v = "old";
  EXPECT_THROW(InputQuery("c", "p", v), EDialogNotAnswered);
  TOpenDialog od(nullptr);
  EXPECT_THROW(od.Execute(), EDialogNotAnswered);
  EXPECT_EQ(Screen->FormCount(), 0);  // nothing left on screen
}

TEST_F(DialogsTest, ScriptErrorsReachTheCaller) {
  AnswerButton(mrRetry);  // not on the dialog
  EXPECT_THROW(MessageDlg("m", mtError, TMsgDlgButtons{mbOK}), EDialogScriptError);
  AnswerText("typed");  // a message has no edit box
  EXPECT_THROW(ShowMessage("m"), EDialogScriptError);
}

TEST_F(DialogsTest, MessageDlgButtonsAndResults) {
  struct Case {
    TMsgDlgButtons buttons;
    TModalResult press;
  } cases[] = {
      {mbYesNoCancel, mrNo},
      {mbYesAllNoAllCancel, mrYesToAll},
      {mbYesAllNoAllCancel, mrNoToAll},
      {mbAbortRetryIgnore, mrIgnore},
      {TMsgDlgButtons{mbAll, mbCancel}, mrAll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.press);
    AnswerButton(c.press);
    EXPECT_EQ(MessageDlg(A("替换所有匹配项？"), mtConfirmation, c.buttons), c.press);
  }
  AnswerButton(mrOk);
  ShowMessage("done");
  EXPECT_EQ(DialogLog().back().Text, "done");
}

TEST_F(DialogsTest, InputQueryTakesTypedText) {
  AnsiString v = A("旧名");
  AnswerText(A("第一章：青石镇"));
  EXPECT_TRUE(InputQuery(A("重命名"), A("新名称："), v));
  EXPECT_EQ(v, A("第一章：青石镇"));

  QueueDialogAnswer(TDialogAnswer().TypeText("ignored").Press(mrCancel));
  EXPECT_FALSE(InputQuery(A("重命名"), A("新名称："), v));
  EXPECT_EQ(v, A("第一章：青石镇"));

  AnswerCancel();
  EXPECT_EQ(InputBox("c", "p", "default"), "default");
  AnswerButton(mrOk);  // accepts the default as it stands
  EXPECT_EQ(InputBox("c", "p", "default"), "default");
  EXPECT_EQ(DialogLog().back().Kind, "Input");
  EXPECT_EQ(DialogLog().back().Text, "p");
}

TEST(FileFilter, ParsesDescriptionsAndMasks) {
  auto f = ParseFileFilter(Utf8ToAnsi("文本 (*.txt)|*.txt|故事|*.t; *.te ;*.l|全部|*.*|"));
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].Description, Utf8ToAnsi("文本 (*.txt)"));
  EXPECT_EQ(f[1].Masks, (std::vector<AnsiString>{"*.t", "*.te", "*.l"}));
  EXPECT_EQ(f[2].Masks, std::vector<AnsiString>{"*.*"});
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_THROW(ParseFileFilter("Text|*.txt|All"), EInvalidOperation);
  EXPECT_THROW(ParseFileFilter("Text| ; "), EInvalidOperation);
}

TEST(FileFilter, MasksAndDefaultExtension) {
  std::vector<AnsiString> story{"*.t", "*.TE"};
  EXPECT_TRUE(MatchesFileMasks("a.T", story));
  EXPECT_TRUE(MatchesFileMasks("b.te", story));
  EXPECT_FALSE(MatchesFileMasks("c.txt", story));
  EXPECT_TRUE(MatchesFileMasks("noext", {"*.*"}));
  EXPECT_TRUE(MatchesFileMasks(Utf8ToAnsi("青石.t"), story));
  EXPECT_TRUE(MatchesFileMasks("x", {}));

  struct Case {
    const char* name;
    const char* ext;
    const char* out;
  } cases[] = {
      {"/d/book", "t", "/d/book.t"},   {"/d/book", ".t", "/d/book.t"}, {"/d/book.txt", "t", "/d/book.txt"},
      {"/d.x/book", "t", "/d.x/book.t"}, {"/d/book", "", "/d/book"},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyDefaultExt(c.name, c.ext), c.out) << c.name;
}

TEST_F(DialogsTest, FileDialogModelRules) {
  ForceDirectories(dir + "/sub");
  Touch("a.txt");
  Touch("b.md");
  Touch("sub/c.txt");
  using M = TFileDialogModel;
  struct Case {
    bool save;
    TOpenOptions options;
    const char* text;
    M::TAcceptResult result;
    const char* file;  // relative to the folder
  } cases[] = {
      {false, {ofFileMustExist}, "a.txt", M::arAccepted, "a.txt"},
      {false, {ofFileMustExist}, "a", M::arAccepted, "a.txt"},  // the default extension
      {false, {ofFileMustExist}, "missing.txt", M::arFileNotFound, "missing.txt"},
      {false, {}, "missing.txt", M::arAccepted, "missing.txt"},
      {false, {}, "nodir/x.txt", M::arPathNotFound, ""},
      {false, {}, "  \"a.txt\" ", M::arAccepted, "a.txt"},
      {false, {}, "   ", M::arEmpty, ""},
      {false, {}, "sub", M::arNavigated, ""},
      {false, {}, "*.md", M::arMasksChanged, ""},
      {true, {ofOverwritePrompt}, "a", M::arConfirmOverwrite, "a.txt"},
      {true, {}, "a", M::arAccepted, "a.txt"},
      {true, {ofOverwritePrompt}, "new", M::arAccepted, "new.txt"},
      {true, {ofOverwritePrompt}, "sub/c", M::arConfirmOverwrite, "sub/c.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    M m(c.save, c.options, "txt");
    ASSERT_TRUE(m.SetDir(dir));
    AnsiString file;
    EXPECT_EQ(m.Accept(c.text, file), c.result);
    if (*c.file) {
      EXPECT_EQ(file, dir + "/" + c.file);
    }
  }
  M m(false, {}, "");
  ASSERT_TRUE(m.SetDir(dir));
  m.SetMasks({"*.txt"});
  EXPECT_EQ(m.Folders(), std::vector<AnsiString>{"sub"});
  EXPECT_EQ(m.Files(), std::vector<AnsiString>{"a.txt"});
  EXPECT_TRUE(m.OpenFolder("sub"));
  EXPECT_EQ(m.Dir(), dir + "/sub");
  EXPECT_FALSE(m.OpenFolder("nothere"));
  EXPECT_FALSE(m.OpenFolder("../sub"));
  EXPECT_TRUE(m.OpenFolder(".."));
  EXPECT_EQ(m.Dir(), dir);
  EXPECT_FALSE(m.SetDir(dir + "/a.txt"));
  EXPECT_EQ(m.Dir(), dir);
  ASSERT_TRUE(m.SetDir("/"));
  EXPECT_FALSE(m.Up());
}

TEST_F(DialogsTest, OpenDialogChoosesAFileByNavigation) {
  ForceDirectories(dir + "/" + A("书稿"));
  Touch(A("书稿") + "/a.txt");
  Touch(A("书稿") + "/b.md");
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetFilter(A("文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*"));
  od.SetOptions({ofHideReadOnly, ofFileMustExist, ofNoChangeDir});
  QueueDialogAnswer(TDialogAnswer()
                        .OpenFolder(A("书稿"))
                        .Do([](TCustomForm* f) { Screenshot(f, "pv_file_dialog.png"); })
                        .Select("a.txt")
                        .Press(mrOk));
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(od.FileName(), dir + "/" + A("书稿") + "/a.txt");
  EXPECT_EQ(od.Files()->Count(), 1);
  EXPECT_EQ(od.FilterIndex(), 1);
  EXPECT_EQ(GetCurrentDir(), cwd);  // ofNoChangeDir

  // The filter hides b.md until the type box shows all files.
  od.SetFileName("");
  od.SetInitialDir(dir + "/" + A("书稿"));
  QueueDialogAnswer(TDialogAnswer().Select("b.md"));
  EXPECT_THROW(od.Execute(), EDialogScriptError);
  QueueDialogAnswer(TDialogAnswer().Select(A("所有文件 (*.*)")).Select("b.md").Press(mrOk));
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(ExtractFileName(od.FileName()), "b.md");
  EXPECT_EQ(od.FilterIndex(), 2);
  EXPECT_EQ(DialogLog().back().Kind, "Open");
}

TEST_F(DialogsTest, OpenDialogRefusesAMissingFile) {
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofFileMustExist, ofNoChangeDir});
  QueueDialogAnswer(TDialogAnswer().TypeText("missing.txt").Press(mrOk));
  AnswerButton(mrOk);  // the warning
  AnswerCancel();      // the dialog, still open
  EXPECT_FALSE(od.Execute());
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(DialogLog()[1].Kind, "Message");
  EXPECT_NE(DialogLog()[1].Text.find("missing.txt"), std::string::npos);
}

TEST_F(DialogsTest, SaveDialogAsksBeforeOverwriting) {
  Touch("c.txt");
  TSaveDialog sd(nullptr);
  sd.SetInitialDir(dir);
  sd.SetDefaultExt("txt");
  sd.SetTitle(A("保存故事"));
  sd.SetOptions({ofOverwritePrompt, ofNoChangeDir});

  // "No" keeps the dialog open; another name is then accepted.
  QueueDialogAnswer(TDialogAnswer().TypeText("c").Press(mrOk));
  AnswerButton(mrNo);
  QueueDialogAnswer(TDialogAnswer().TypeText("d").Press(mrOk));
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(sd.FileName(), dir + "/d.txt");
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(DialogLog()[0].Caption, A("保存故事"));
  EXPECT_NE(DialogLog()[1].Text.find(dir + "/c.txt"), std::string::npos);

  // "Yes" accepts the existing file.
  QueueDialogAnswer(TDialogAnswer().TypeText("c.txt").Press(mrOk));
  AnswerButton(mrYes);
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(sd.FileName(), dir + "/c.txt");

  // Without the option nobody is asked.
  ClearDialogLog();
  sd.SetOptions({ofNoChangeDir});
  AnswerText("c");
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(DialogLog().size(), 1u);
}

TEST_F(DialogsTest, OpenDialogStartsInTheFileNamesFolder) {
  ForceDirectories(dir + "/x");
  Touch("x/f.txt");
  TOpenDialog od(nullptr);
  od.SetFileName(dir + "/x/f.txt");
  od.SetInitialDir("/");
  od.SetOptions({ofNoChangeDir});
  AnswerButton(mrOk);  // the name box already holds f.txt
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(od.FileName(), dir + "/x/f.txt");
  EXPECT_EQ(DialogLog().back().Text, dir + "/x");
}

TEST_F(DialogsTest, ChangesTheCurrentFolderUnlessAskedNotTo) {
  Touch("a.txt");
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  AnswerText("a.txt");
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(GetCurrentDir(), dir);
}

TEST_F(DialogsTest, ColorAndFontDialogs) {
  TColorDialog cd(nullptr);
  cd.SetColor(clRed);
  QueueDialogAnswer(TDialogAnswer().TypeText("$00FF00").Press(mrOk));
  ASSERT_TRUE(cd.Execute());
  EXPECT_EQ(cd.Color(), TColor(0x00FF00));
  AnswerCancel();
  EXPECT_FALSE(cd.Execute());
  EXPECT_EQ(cd.Color(), TColor(0x00FF00));
  QueueDialogAnswer(TDialogAnswer().TypeText("green"));
  EXPECT_THROW(cd.Execute(), EDialogScriptError);

  TFontDialog fd(nullptr);
  fd.Font()->SetSize(9);
  QueueDialogAnswer(TDialogAnswer().TypeText("12").Press(mrOk));
  ASSERT_TRUE(fd.Execute());
  EXPECT_EQ(fd.Font()->Size(), 12);
  EXPECT_EQ(DialogLog().back().Kind, "Font");
}

TEST_F(DialogsTest, ScreenshotOfAMessageDialog) {
  QueueDialogAnswer(TDialogAnswer()
                        .Do([](TCustomForm* f) { Screenshot(f, "pv_message_dialog.png"); })
                        .Press(mrYes));
  EXPECT_EQ(MessageDlg(A("故事“青石镇”已修改。\r\n是否保存修改？"), mtConfirmation, mbYesNoCancel), mrYes);
  QueueDialogAnswer(TDialogAnswer()
                        .Do([](TCustomForm* f) { Screenshot(f, "pv_message_box.png"); })
                        .Press(IDOK));
  EXPECT_EQ(Application->MessageBox(A("无法打开文件。"), A("错误"), MB_OK | MB_ICONHAND), IDOK);
}

}  // namespace
