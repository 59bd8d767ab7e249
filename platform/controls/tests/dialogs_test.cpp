// The common dialogs on the headless backend, answered by queued answers:
// message boxes and dialogs, input boxes, the file dialogs' rules and forms.
#include <stdlib.h>
#include <gtest/gtest.h>
#include <fstream>
#include <functional>
#include <string>
#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/controls/buttons.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"

namespace {

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

// The first control of class C under Root that Match accepts.
template <class C>
C* Find(TWinControl* Root, std::function<bool(C*)> Match = nullptr) {
  for (int i = 0; i < Root->ControlCount(); ++i) {
    TControl* c = Root->Controls(i);
    if (auto* hit = dynamic_cast<C*>(c); hit && (!Match || Match(hit))) return hit;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (C* hit = Find<C>(w, Match)) return hit;
  }
  return nullptr;
}

// Clicks the button captioned Caption as the user would.
void ClickButton(TCustomForm* Form, const AnsiString& Caption) {
  TButton* b = Find<TButton>(Form, [&](TButton* x) { return x->Caption() == Caption; });
  ASSERT_NE(b, nullptr) << Caption;
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

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
    SetFileDialogHook(nullptr);
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
    const char* to = getenv("PV_SCREENSHOT_DIR");
    std::string path = (to && *to ? std::string(to) + "/" : ::testing::TempDir()) + name;
    HeadlessBackend::Install().SaveScreenshot(path, &r);
    std::printf("screenshot: %s\n", path.c_str());
  }
  // An answer typing keys on the backend, handled by the dialog's own loop.
  TDialogAnswer Keys(std::vector<unsigned> Vks, unsigned Modifiers = 0) {
    return TDialogAnswer().Do([this, Vks, Modifiers](TCustomForm*) {
      for (unsigned vk : Vks) hb->Key(vk, Modifiers);
      Application->ProcessMessages();
    });
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
  auto key = [this](unsigned vk) { return Keys({vk}); };
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
  QueueDialogAnswer(TDialogAnswer()
                        .TypeText(A("第一章：青石镇"))
                        .Do([](TCustomForm* f) { Screenshot(f, "pv_input_box.png"); })
                        .Press(mrOk));
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
  ForceDirectories(dir + "/" + A("书稿") + "/" + A("草稿"));
  Touch(A("书稿") + "/a.txt");
  Touch(A("书稿") + "/b.md");
  Touch(A("书稿") + "/" + A("第一章 青石镇.txt"));
  Touch(A("书稿") + "/.hidden.txt");
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
  for (const char* hidden : {"b.md", ".hidden.txt"}) {
    QueueDialogAnswer(TDialogAnswer().Select(hidden));
    EXPECT_THROW(od.Execute(), EDialogScriptError) << hidden;
  }
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
  // The other two icons, and a text that keeps its spaces.
  QueueDialogAnswer(TDialogAnswer().Do([](TCustomForm* f) { Screenshot(f, "pv_message_warning.png"); }).Press(mrOk));
  MessageDlg(A("   错误的文件格式.                   "), mtWarning, TMsgDlgButtons{mbOK});
  EXPECT_EQ(DialogLog().back().Text, A("   错误的文件格式.                   "));
  QueueDialogAnswer(TDialogAnswer().Do([](TCustomForm* f) { Screenshot(f, "pv_message_info.png"); }).Press(mrOk));
  MessageDlg(A("已完成。"), mtInformation, TMsgDlgButtons{mbOK, mbHelp});
}

TEST_F(DialogsTest, KeysMoveBetweenButtonsAndPressThem) {
  using K = std::vector<unsigned>;
  struct Case {
    TMsgDlgButtons buttons;
    K keys;
    unsigned modifiers;
    TModalResult result;
  } cases[] = {
      {mbYesNoCancel, K{VK_RETURN}, 0, mrYes},                          // the default button
      {mbYesNoCancel, K{VK_TAB, VK_RETURN}, 0, mrNo},                   // the focused button answers Enter
      {mbYesNoCancel, K{VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, 0, mrYes},  // tab order wraps
      {mbYesNoCancel, K{VK_TAB, VK_SPACE}, 0, mrNo},
      {mbYesNoCancel, K{'N'}, 0, mrNo},                                 // accelerator of 否(&N)
      {mbYesNoCancel, K{'N'}, HeadlessBackend::Alt, mrNo},
      {mbYesNoCancel, K{VK_ESCAPE}, 0, mrCancel},
      {TMsgDlgButtons{mbYes, mbNo}, K{VK_ESCAPE}, 0, mrNo},             // no Cancel: Escape is No
      {mbAbortRetryIgnore, K{'I'}, 0, mrIgnore},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "result " << c.result << " first key " << c.keys[0]);
    QueueDialogAnswer(Keys(c.keys, c.modifiers));
    EXPECT_EQ(MessageDlg(A("替换所有匹配项？"), mtConfirmation, c.buttons), c.result);
  }
}

TEST_F(DialogsTest, TheCloseBoxGivesTheCancelAnswer) {
  auto close = TDialogAnswer().Do([](TCustomForm* f) { SendMessageA(f->Handle(), WM_CLOSE, 0, 0); });
  QueueDialogAnswer(close);
  EXPECT_EQ(Application->MessageBox("x", "t", MB_OKCANCEL), IDCANCEL);
  QueueDialogAnswer(close);
  EXPECT_EQ(Application->MessageBox("x", "t", MB_OK), IDOK);
  // Yes/No has no cancel answer: the box stays open for a real one.
  QueueDialogAnswer(TDialogAnswer(close).Press(IDNO));
  EXPECT_EQ(Application->MessageBox("x", "t", MB_YESNO), IDNO);
}

TEST_F(DialogsTest, MessageIconsArePaintedLikeTheClassicOnes) {
  // A colour class of a pixel: white, blue, red, yellow, black, or the face.
  auto kind = [](std::uint32_t p) {
    int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    if (r >= 230 && g >= 230 && b >= 230) return 'w';
    if (b >= 200 && r <= 60 && g <= 60) return 'b';
    if (r >= 170 && g <= 90 && b <= 90) return 'r';
    if (r >= 200 && g >= 180 && b <= 140) return 'y';
    if (r <= 60 && g <= 60 && b <= 60) return 'k';
    COLORREF face = ColorToRGB(clBtnFace);
    if (r == GetRValue(face) && g == GetGValue(face) && b == GetBValue(face)) return 'f';
    return '?';
  };
  struct Case {
    TMsgDlgType type;
    int x, y;
    char expect;
  } cases[] = {
      {mtInformation, 7, 14, 'w'},  {mtInformation, 24, 14, 'w'}, {mtInformation, 15, 16, 'b'},
      {mtInformation, 15, 7, 'b'},  {mtInformation, 0, 0, 'f'},   {mtConfirmation, 7, 14, 'w'},
      {mtConfirmation, 22, 9, 'w'}, {mtConfirmation, 15, 21, 'b'}, {mtConfirmation, 12, 8, 'b'},
      {mtError, 5, 15, 'r'},        {mtError, 15, 15, 'w'},        {mtError, 0, 0, 'f'},
      {mtWarning, 10, 25, 'y'},     {mtWarning, 15, 23, 'k'},      {mtWarning, 15, 14, 'k'},
      {mtWarning, 3, 5, 'f'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.x << "," << c.y);
    char seen = 0;
    QueueDialogAnswer(TDialogAnswer()
                          .Do([&](TCustomForm* f) {
                            TImage* icon = Find<TImage>(f);
                            ASSERT_NE(icon, nullptr);
                            ASSERT_EQ(icon->Picture()->Width(), 32);
                            seen = kind(icon->Picture()->Bitmap()->ScanLine(c.y)[c.x]);
                          })
                          .Press(mrOk));
    MessageDlg("m", c.type, TMsgDlgButtons{mbOK});
    EXPECT_EQ(seen, c.expect);
  }
  bool hasIcon = true;
  QueueDialogAnswer(TDialogAnswer().Do([&](TCustomForm* f) { hasIcon = Find<TImage>(f) != nullptr; }).Press(mrOk));
  ShowMessage("plain");
  EXPECT_FALSE(hasIcon);
}

// A handler of a dialog that raises: the message loop hands the error to
// HandleException, which shows it, and the dialog goes on.
TEST_F(DialogsTest, ExceptionInADialogHandlerIsShownAndTheDialogGoesOn) {
  Touch("a.txt");
  struct Guard {
    int calls = 0;
    void CanClose(TObject*) {
      if (++calls == 1) throw EInvalidOperation(A("文件已被锁定"));
    }
  } guard;
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofNoChangeDir});
  od.OnCanClose = TNotifyEvent(&guard, &Guard::CanClose);
  QueueDialogAnswer(TDialogAnswer().TypeText("a.txt").Do([this](TCustomForm*) {
    hb->Key(VK_RETURN);
    Application->ProcessMessages();
  }));
  AnswerButton(IDOK);  // the error's message box
  AnswerButton(mrOk);  // the dialog, still open
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(guard.calls, 2);
  EXPECT_EQ(od.FileName(), dir + "/a.txt");
  ASSERT_EQ(DialogLog().size(), 2u);
  EXPECT_EQ(DialogLog()[1].Kind, "Message");
  EXPECT_EQ(DialogLog()[1].Text, A("文件已被锁定"));
}

TEST_F(DialogsTest, FileDialogFollowsTypedPathsAndExplainsBadOnes) {
  ForceDirectories(dir + "/sub");
  Touch("sub/c.txt");
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofFileMustExist, ofPathMustExist, ofNoChangeDir});
  // A typed folder opens it; a file chosen there is the answer.
  QueueDialogAnswer(TDialogAnswer().TypeText(dir + "/sub").Press(mrOk).Select("c.txt").Press(mrOk));
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(od.FileName(), dir + "/sub/c.txt");

  struct Case {
    std::string typed;
    const char* says;
  } cases[] = {
      {"nodir/x.txt", "路径不存在"},
      {"/no/such/folder/x.txt", "路径不存在"},
      {"missing.txt", "找不到文件"},
      {A("缺失的文件.txt"), "找不到文件"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ClearDialogLog();
    QueueDialogAnswer(TDialogAnswer().TypeText(c.typed).Press(mrOk));
    AnswerButton(IDOK);  // the explanation
    AnswerCancel();      // the dialog stays open until then
    EXPECT_FALSE(od.Execute());
    ASSERT_EQ(DialogLog().size(), 2u);
    EXPECT_NE(DialogLog()[1].Text.find(A(c.says)), std::string::npos) << DialogLog()[1].Text;
    EXPECT_NE(DialogLog()[1].Text.find(c.typed), std::string::npos) << DialogLog()[1].Text;
  }
}

TEST_F(DialogsTest, OpenDialogTakesSeveralFilesWhenAllowed) {
  for (const char* f : {"a.txt", "b.txt", "c.txt"}) Touch(f);
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofAllowMultiSelect, ofFileMustExist, ofNoChangeDir});
  QueueDialogAnswer(TDialogAnswer().Select("a.txt").Select("c.txt").Press(mrOk));
  ASSERT_TRUE(od.Execute());
  ASSERT_EQ(od.Files()->Count(), 2);
  EXPECT_EQ(od.Files()->Strings(0), dir + "/a.txt");
  EXPECT_EQ(od.Files()->Strings(1), dir + "/c.txt");
  EXPECT_EQ(od.FileName(), dir + "/a.txt");

  // Typed names are checked one by one.
  QueueDialogAnswer(TDialogAnswer().TypeText("\"b.txt\" \"zz.txt\"").Press(mrOk));
  AnswerButton(IDOK);
  AnswerCancel();
  EXPECT_FALSE(od.Execute());
  EXPECT_NE(DialogLog().back().Text.find("zz.txt"), std::string::npos);

  // Without the option the last selection is the only choice.
  od.SetOptions({ofFileMustExist, ofNoChangeDir});
  QueueDialogAnswer(TDialogAnswer().Select("a.txt").Select("b.txt").Press(mrOk));
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(od.Files()->Count(), 1);
  EXPECT_EQ(od.FileName(), dir + "/b.txt");
}

TEST_F(DialogsTest, PictureDialogPreviewsTheSelectedPicture) {
  TBitmap bmp;
  bmp.SetSize(40, 30);
  bmp.Canvas()->Brush()->SetColor(clTeal);
  bmp.Canvas()->FillRect(TRect{0, 0, 40, 30});
  bmp.SaveToFile(dir + "/" + A("封面.bmp"));
  Touch("broken.bmp");  // not a picture
  TOpenPictureDialog pd(nullptr);
  pd.SetInitialDir(dir);
  pd.SetOptions({ofFileMustExist, ofNoChangeDir});
  int width = -1, broken = -1;
  QueueDialogAnswer(TDialogAnswer()
                        .Select("broken.bmp")
                        .Do([&](TCustomForm* f) { broken = Find<TImage>(f)->Picture()->Width(); })
                        .Select(A("封面.bmp"))
                        .Do([&](TCustomForm* f) {
                          width = Find<TImage>(f)->Picture()->Width();
                          Screenshot(f, "pv_picture_dialog.png");
                        })
                        .Press(mrOk));
  ASSERT_TRUE(pd.Execute());
  EXPECT_EQ(broken, 0);
  EXPECT_EQ(width, 40);
  EXPECT_EQ(ExtractFileName(pd.FileName()), A("封面.bmp"));
}

TEST_F(DialogsTest, ColorDialogFullOpenAndCustomColors) {
  TColorDialog cd(nullptr);
  cd.SetColor(clRed);
  cd.CustomColors()->Add("ColorB=0000FF");
  int compact = 0, opened = 0;
  bool defineEnabled = true;
  QueueDialogAnswer(TDialogAnswer()
                        .Do([&](TCustomForm* f) {
                          compact = f->ClientWidth();
                          ClickButton(f, A("规定自定义颜色(&D) >>"));
                          opened = f->ClientWidth();
                          defineEnabled = Find<TButton>(f, [](TButton* b) {
                                            return b->Caption() == A("规定自定义颜色(&D) >>");
                                          })->Enabled();
                        })
                        .TypeText("$00FF00")
                        .Do([](TCustomForm* f) { ClickButton(f, A("添加到自定义颜色(&A)")); })
                        .Press(mrOk));
  ASSERT_TRUE(cd.Execute());
  EXPECT_GT(opened, compact + 150);
  EXPECT_FALSE(defineEnabled);
  EXPECT_EQ(cd.Color(), TColor(0x00FF00));
  EXPECT_EQ(cd.CustomColors()->Values("ColorA"), "00FF00");  // the first free box
  EXPECT_EQ(cd.CustomColors()->Values("ColorB"), "0000FF");  // kept
  EXPECT_EQ(cd.CustomColors()->Values("ColorP"), "FFFFFF");

  // Opened from the start, with a screenshot; Cancel keeps everything.
  cd.SetOptions({cdFullOpen});
  QueueDialogAnswer(TDialogAnswer()
                        .Do([](TCustomForm* f) { Screenshot(f, "pv_color_dialog.png"); })
                        .TypeText("$808080")
                        .Do([](TCustomForm* f) { ClickButton(f, A("添加到自定义颜色(&A)")); })
                        .Press(mrCancel));
  EXPECT_FALSE(cd.Execute());
  EXPECT_EQ(cd.CustomColors()->Values("ColorA"), "00FF00");

  // Prevented: the colours cannot be defined.
  cd.SetOptions({cdPreventFullOpen});
  QueueDialogAnswer(TDialogAnswer().Do([&](TCustomForm* f) {
    defineEnabled = Find<TButton>(f, [](TButton* b) { return b->Caption() == A("规定自定义颜色(&D) >>"); })->Enabled();
  }).Press(mrCancel));
  EXPECT_FALSE(cd.Execute());
  EXPECT_FALSE(defineEnabled);
}

TEST_F(DialogsTest, FontDialogChoosesFaceStyleSizeAndEffects) {
  TFontDialog fd(nullptr);
  fd.Font()->SetName("Arial");
  fd.Font()->SetSize(9);
  QueueDialogAnswer(TDialogAnswer()
                        .Select("Tahoma")
                        .Select(A("粗体"))
                        .TypeText("14")
                        .Do([](TCustomForm* f) {
                          Find<TCheckBox>(f, [](TCheckBox* c) { return c->Caption() == A("下划线(&U)"); })
                              ->SetChecked(true);
                          Screenshot(f, "pv_font_dialog.png");
                        })
                        .Press(mrOk));
  ASSERT_TRUE(fd.Execute());
  EXPECT_EQ(fd.Font()->Name(), "Tahoma");
  EXPECT_EQ(fd.Font()->Size(), 14);
  EXPECT_EQ(fd.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(DialogLog().back().Kind, "Font");

  // Sizes that are no number or out of the limits are explained; the dialog stays open.
  fd.SetOptions({fdEffects, fdLimitSize});
  fd.MinFontSize = 8;
  fd.MaxFontSize = 20;
  for (const char* size : {"abc", "0", "30", "7"}) {
    SCOPED_TRACE(size);
    ClearDialogLog();
    QueueDialogAnswer(TDialogAnswer().TypeText(size).Press(mrOk));
    AnswerButton(IDOK);
    AnswerCancel();
    EXPECT_FALSE(fd.Execute());
    ASSERT_EQ(DialogLog().size(), 2u);
    EXPECT_NE(DialogLog()[1].Text.find("8"), std::string::npos);
    EXPECT_NE(DialogLog()[1].Text.find("20"), std::string::npos);
  }
  EXPECT_EQ(fd.Font()->Size(), 14);
  // An empty face name is refused the same way.
  QueueDialogAnswer(TDialogAnswer().Do([](TCustomForm* f) { Find<TEdit>(f)->SetText(""); }).Press(mrOk));
  AnswerButton(IDOK);
  AnswerCancel();
  EXPECT_FALSE(fd.Execute());
  EXPECT_EQ(DialogLog().back().Kind, "Message");
  EXPECT_EQ(fd.Font()->Name(), "Tahoma");
}

TEST_F(DialogsTest, FileDialogOptionsShapeTheForm) {
  struct Case {
    bool save;
    TOpenOptions options;
    bool sizeable, readOnlyBox;
  } cases[] = {
      {false, {ofHideReadOnly}, false, false},
      {false, {ofEnableSizing}, true, true},
      {true, {ofEnableSizing}, true, false},  // a save dialog never offers read-only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "save " << c.save << " sizeable " << c.sizeable);
    std::unique_ptr<TOpenDialog> d(c.save ? new TSaveDialog(nullptr) : new TOpenDialog(nullptr));
    d->SetInitialDir(dir);
    d->SetOptions(c.options);
    std::unique_ptr<TForm> f(d->CreateForm());
    EXPECT_EQ(f->BorderStyle() == bsSizeable, c.sizeable);
    EXPECT_EQ(Find<TCheckBox>(f.get()) != nullptr, c.readOnlyBox);
  }

  // Sizing: the list takes the new room, the buttons keep to the corner.
  Touch("a.txt");
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofEnableSizing, ofNoChangeDir});
  QueueDialogAnswer(TDialogAnswer()
                        .Do([](TCustomForm* f) {
                          auto* list = Find<TListBox>(f);
                          auto* ok = Find<TButton>(f, [](TButton* b) { return b->Caption() == A("打开(&O)"); });
                          TRect list0 = list->BoundsRect(), ok0 = ok->BoundsRect();
                          f->SetBounds(f->Left(), f->Top(), f->Width() + 100, f->Height() + 80);
                          EXPECT_EQ(list->Width(), list0.Width() + 100);
                          EXPECT_EQ(list->Height(), list0.Height() + 80);
                          EXPECT_EQ(ok->Left(), ok0.left + 100);
                          EXPECT_EQ(ok->Top(), ok0.top + 80);
                          f->SetBounds(f->Left(), f->Top(), 100, 100);  // not below its first size
                          EXPECT_EQ(list->BoundsRect(), list0);
                        })
                        .Do([this](TCustomForm*) {  // Alt+R ticks the read-only box
                          hb->Key('R', HeadlessBackend::Alt);
                          Application->ProcessMessages();
                        })
                        .Select("a.txt")
                        .Press(mrOk));
  ASSERT_TRUE(od.Execute());
  EXPECT_TRUE(od.Options().Contains(ofReadOnly));
}

namespace hook {
int calls = 0, answer = -1;
int Hook(TOpenDialog* D) {
  ++calls;
  if (answer == 1) {
    D->SetFileName("/chosen/on/the/desktop.t");
    D->Files()->Clear();
    D->Files()->Add(D->FileName());
  }
  return answer;
}
}  // namespace hook

TEST_F(DialogsTest, TheFileDialogHookMayAnswerInstead) {
  hook::calls = 0;
  SetFileDialogHook(&hook::Hook);
  TSaveDialog sd(nullptr);
  sd.SetInitialDir(dir);
  sd.SetOptions({ofNoChangeDir});
  hook::answer = 1;
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(sd.FileName(), "/chosen/on/the/desktop.t");
  hook::answer = 0;
  EXPECT_FALSE(sd.Execute());
  EXPECT_TRUE(DialogLog().empty());
  hook::answer = -1;  // the library's own dialog
  AnswerText("own");
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(sd.FileName(), dir + "/own");
  EXPECT_EQ(hook::calls, 3);
  EXPECT_EQ(DialogLog().size(), 1u);
}

TEST_F(DialogsTest, ColorBoxCustomEntryAsksTheColorDialog) {
  TForm form(nullptr, 0);
  auto* box = new TColorBox(&form);
  box->SetParent(&form);
  box->SetStyle(TColorBoxStyle{cbStandardColors, cbCustomColor});
  box->HandleNeeded();
  auto pickCustom = [&] {
    box->SetItemIndex(0);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box->Handle()));
  };
  QueueDialogAnswer(TDialogAnswer().TypeText("$123456").Press(mrOk));
  pickCustom();
  EXPECT_EQ(box->Selected(), TColor(0x123456));
  EXPECT_EQ(DialogLog().back().Kind, "Color");
  AnswerCancel();  // keeps the colour
  pickCustom();
  EXPECT_EQ(box->Selected(), TColor(0x123456));
}

TEST_F(DialogsTest, FileDialogIsDrivenByTheKeyboard) {
  ForceDirectories(dir + "/sub");
  Touch("sub/x.txt");
  Touch("a.txt");
  TOpenDialog od(nullptr);
  od.SetInitialDir(dir);
  od.SetOptions({ofFileMustExist, ofNoChangeDir});
  std::vector<AnsiString> folders;
  auto folder = [&](TCustomForm* f) { folders.push_back(dynamic_cast<TScriptableDialog*>(f)->DialogText()); };
  QueueDialogAnswer(TDialogAnswer()
                        .Do([this](TCustomForm*) {
                          hb->Key(VK_TAB, HeadlessBackend::Shift);  // from the name box back to the list
                          hb->Key(VK_DOWN);                         // the first entry: the folder
                          hb->Key(VK_RETURN);                       // opens it
                          Application->ProcessMessages();
                        })
                        .Do(folder)
                        .Do([this](TCustomForm*) {
                          hb->Key(VK_BACK);  // up again
                          Application->ProcessMessages();
                        })
                        .Do(folder)
                        .Do([this](TCustomForm*) {
                          hb->Key(VK_DOWN);    // the folder again
                          hb->Key(VK_DOWN);    // a.txt
                          hb->Key(VK_RETURN);  // chosen
                          Application->ProcessMessages();
                        }));
  ASSERT_TRUE(od.Execute());
  EXPECT_EQ(folders, (std::vector<AnsiString>{dir + "/sub", dir}));
  EXPECT_EQ(od.FileName(), dir + "/a.txt");
}

}  // namespace

namespace {
// The dialogs are declared in window descriptions with their published
// settings, and only what differs from the defaults is written back.
TEST_F(DialogsTest, DialogsReadAndWriteTheirSettingsInDescriptions) {
  InitClasses();
  const char* text =
      "object Host: TForm\n"
      "  object OpenDialog: TOpenDialog\n"
      "    Filter = 'All files (*.*)|*.*'\n"
      "    InitialDir = '/srv'\n"
      "    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]\n"
      "    Title = 'Open'\n"
      "  end\n"
      "  object SaveDialog1: TSaveDialog\n"
      "    DefaultExt = 'txt'\n"
      "    FilterIndex = 2\n"
      "  end\n"
      "  object ColorDialog: TColorDialog\n"
      "    Color = clRed\n"
      "    Options = [cdFullOpen]\n"
      "  end\n"
      "  object FontDialog1: TFontDialog\n"
      "    MaxFontSize = 72\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(Application, 0);
  ReadComponentFromText(text, f);
  auto* od = dynamic_cast<TOpenDialog*>(f->FindComponent("OpenDialog"));
  ASSERT_NE(od, nullptr);
  EXPECT_EQ(od->Filter(), "All files (*.*)|*.*");
  EXPECT_EQ(od->InitialDir(), "/srv");
  EXPECT_TRUE(od->Options().Contains(ofFileMustExist));
  auto* sd = dynamic_cast<TSaveDialog*>(f->FindComponent("SaveDialog1"));
  ASSERT_NE(sd, nullptr);
  EXPECT_EQ(sd->DefaultExt(), "txt");
  EXPECT_EQ(sd->FilterIndex(), 2);
  auto* cd = dynamic_cast<TColorDialog*>(f->FindComponent("ColorDialog"));
  ASSERT_NE(cd, nullptr);
  EXPECT_EQ(cd->Color(), clRed);
  EXPECT_TRUE(cd->Options().Contains(cdFullOpen));
  auto* fd = dynamic_cast<TFontDialog*>(f->FindComponent("FontDialog1"));
  ASSERT_NE(fd, nullptr);
  EXPECT_EQ(fd->MaxFontSize, 72);
  AnsiString written = WriteComponentToText(f);
  EXPECT_NE(written.find("Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]"), AnsiString::npos) << written;
  EXPECT_EQ(written.find("FilterIndex = 1"), AnsiString::npos) << written;
  EXPECT_EQ(written.find("Ctl3D"), AnsiString::npos) << written;
  EXPECT_NE(written.find("Color = clRed"), AnsiString::npos) << written;
}
}  // namespace
