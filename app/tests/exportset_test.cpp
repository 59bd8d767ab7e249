// The settings dialog on a copy of the shipped library: loading the settings
// rows into the module and the editor aids, saving them back, the pages'
// filters and rows, damaged rows, and the module's editor look.
#include <memory>

#include "app/exportset.h"
#include "app/mainform.h"
#include "app/tests/libtest.h"
#include "editor/txtdbedit.h"
#include "platform/controls/dlgscript.h"
#include "platform/rtl/stringlist.h"

namespace {

class SettingsTest : public LibTest {
 protected:
  TExportset* Dialog = nullptr;

  void SetUp() override {
    LibTest::SetUp();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
  }
  void TearDown() override {
    ClearDialogAnswers();
    LibTest::TearDown();
  }
  // The library opened and the dialog loaded as the frame does it.
  void Load() {
    OpenLibrary();
    Module->Root = Dir + "/";
    Application->CreateForm(Dialog);
    Module->SystemSetADOTable->SetActive(true);
    Dialog->initComponent();
  }
  // "name=value" of the option rows, read from the file.
  std::string Options() const {
    TADOTable t(nullptr);
    t.SetConnectionString(LibConnectionString(LibFile()));
    t.SetTableName("SysqzSet");
    t.Open();
    std::string s;
    for (; !t.Eof(); t.Next()) {
      if (t.FieldByName("ttype")->AsInteger() >= 100) continue;
      if (!s.empty()) s += ";";
      s += U8(t.FieldByName("tname")->AsString()) + "=" + U8(t.FieldByName("tvalue")->AsString());
    }
    return s;
  }
  static void SetOption(const std::string& File, const char* Name, const char* Value) {
    Sql(File, std::string("UPDATE SysqzSet SET tvalue='") + Value + "' WHERE tname='" + Name + "'");
  }
  int OwnedAutoCompletes() const {
    int n = 0;
    for (int i = 0; i < Dialog->ComponentCount(); ++i)
      if (dynamic_cast<TTxtAutoComplete*>(Dialog->Components(i))) ++n;
    return n;
  }
};

TEST_F(SettingsTest, TheDialogsDescriptionMakesItsFivePages) {
  Load();
  EXPECT_EQ(U8(Dialog->Caption()), "参数设置");
  EXPECT_EQ(Dialog->ClientWidth(), 624);
  EXPECT_EQ(Dialog->ClientHeight(), 521);
  ASSERT_EQ(Dialog->PageControl1->PageCount(), 5);
  const char* captions[] = {"属性", "模块代换", "列表", "自动完整", "别名"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(U8(Dialog->PageControl1->Pages(i)->Caption()), captions[i]);
  EXPECT_EQ(Dialog->bkColorBox->Selected(), clGradientInactiveCaption);
  EXPECT_TRUE(Dialog->showBottom->Checked());
  EXPECT_EQ(Dialog->TxtEdit1->Highlighter(), Module->TxtRules1);
  EXPECT_EQ(Dialog->TxtEdit1->Lines()->Count(), 8);
  EXPECT_EQ(U8(Dialog->TxtEdit1->Lines()->Get(6)), "他笑了笑, 没说话. ");
  EXPECT_EQ(Dialog->TxtCompletionProposal1->Editor(), Dialog->TxtEdit1);
  EXPECT_EQ(Dialog->ListA1->DataSource(), Module->SystemSetDS);
  EXPECT_EQ(Dialog->ListA2->Columns()->Count(), 1);
  EXPECT_EQ(U8(Dialog->ListA3->Columns()->Items(0)->Title()->Caption()), "名称");
  EXPECT_EQ(Dialog->Listb3->DataField(), "tvalue");
  EXPECT_EQ(Dialog->kxDBTreeView1->DataSource(), Module->libAliasDS);
  EXPECT_EQ(U8(Dialog->ComboBox1->Text()), "设计元");
  EXPECT_EQ(Module->TxtAutoCorrect1->Items()->Count(), 2);
}

TEST_F(SettingsTest, OptionRowsGiveTheEditorsTheirLook) {
  SetOption(LibFile(), "showlineBar", "-1");
  SetOption(LibFile(), "Font", "14");
  SetOption(LibFile(), "ColorText", "1");
  Load();
  EXPECT_EQ(Module->FontSize, 14);
  EXPECT_FALSE(Module->ShowLineBar);
  EXPECT_TRUE(Module->ColorSyntax);
  EXPECT_EQ(Dialog->UpDown1->Position(), 14);
  EXPECT_EQ(Dialog->FontSize->Text(), "14");
  EXPECT_TRUE(Dialog->ColorText->Checked());
  EXPECT_FALSE(Dialog->showlineBar->Checked());

  TForm* host = nullptr;
  Application->CreateForm(host);
  TDBTxtEdit* editor = new TDBTxtEdit(host);
  editor->SetParent(host);
  editor->Gutter()->SetVisible(true);
  Module->initDBTxtEdit(editor);
  EXPECT_EQ(U8(editor->Font()->Name()), "新宋体");
  EXPECT_EQ(editor->Font()->Size(), 14);
  EXPECT_FALSE(editor->Gutter()->Visible());
  EXPECT_EQ(editor->Highlighter(), Module->TxtRules1);
  EXPECT_TRUE(editor->WordWrap());
  EXPECT_EQ(editor->ExtraLineSpacing(), 3);
  EXPECT_TRUE(editor->Options().Contains(eoTrimTrailingSpaces));
  EXPECT_EQ(editor->ActiveLineColor(), clInactiveCaptionText);

  Module->ColorSyntax = false;
  Module->EditorFontColor = clRed;
  Module->setDefaultEditor(editor);
  EXPECT_EQ(Module->CurrentEditor, editor);
  EXPECT_EQ(editor->Highlighter(), nullptr);
  EXPECT_EQ(editor->Font()->Color(), clRed);
  EXPECT_EQ(Module->TxtAutoCorrect1->Editor(), editor);
  EXPECT_EQ(Module->CurrentAutoComplete->Editor(), editor);
  EXPECT_EQ(Module->TxtCompletionProposal1->Editor(), editor);
  delete editor;
  EXPECT_EQ(Module->CurrentEditor, nullptr) << "a freed editor is no longer current";
}

TEST_F(SettingsTest, TemplateRowsBecomeTemplatesThatExpand) {
  std::unique_ptr<TStringList> list = std::make_unique<TStringList>();
  AddTemplateRow(list.get(), "hx", A("欢迎"));
  AddTemplateRow(list.get(), "", A("无名"));
  AddTemplateRow(list.get(), "=x", "y");
  AddTemplateRow(list.get(), "two", "a\r\nb");
  EXPECT_EQ(U8(list->Text()), "hx\r\n|a\r\n=欢迎;\r\ntwo\r\n|a\r\n=a\r\n=b;\r\n");

  Load();
  TForm* host = nullptr;
  Application->CreateForm(host);
  TDBTxtEdit* editor = new TDBTxtEdit(host);
  editor->SetParent(host);
  Module->setDefaultEditor(editor);
  struct Case {
    const char* typed;
    const char* text;
    int caretX;
  } cases[] = {
      {"hx", "欢迎;", 6},
      {"sj", "时间：;", 7},  // the caret stays where the template's mark was
  };
  for (const Case& c : cases) {
    editor->SetText(A(c.typed));
    editor->SetCaretXY(TBufferCoord{3, 1});
    TTxtAutoComplete* complete = Module->CurrentAutoComplete;
    complete->ExpandToken(complete->TokenBeforeCaret(editor), editor, false);
    EXPECT_EQ(U8(editor->Lines()->Get(0)), c.text) << c.typed;
    EXPECT_EQ(editor->CaretX(), c.caretX) << c.typed;
  }
}

TEST_F(SettingsTest, LoadingAgainRebuildsTheAidsWithoutDuplicates) {
  Load();
  TTxtAutoComplete* first = Module->CurrentAutoComplete;
  ASSERT_NE(first, nullptr);
  Dialog->initComponent();
  EXPECT_EQ(Module->TxtAutoCorrect1->Items()->Count(), 2);
  EXPECT_EQ(Module->CurrentAutoComplete, first);
  EXPECT_EQ(OwnedAutoCompletes(), 1);
  // the completion list shows the text and inserts the name
  ASSERT_EQ(Module->TxtCompletionProposal1->ItemList()->Count(), 2);
  EXPECT_EQ(U8(Module->TxtCompletionProposal1->ItemList()->Get(0)), "林远（主角）");
  EXPECT_EQ(U8(Module->TxtCompletionProposal1->InsertList()->Get(0)), "林远");
}

TEST_F(SettingsTest, OkWritesTheOptionsBackAndTheModuleFollows) {
  Load();
  const std::string before = Options();
  Dialog->OKBtnClick(Dialog->OKBtn);
  EXPECT_EQ(Options(), before);
  EXPECT_FALSE(Module->SystemSetADOTable->Active());

  Module->SystemSetADOTable->SetActive(true);
  Dialog->initComponent();
  Dialog->showlineBar->SetChecked(false);
  Dialog->ColorText->SetChecked(false);
  Dialog->showBottom->SetChecked(false);
  Dialog->FontSize->SetText("16");
  Dialog->bkColorBox->SetSelected(clWhite);
  Dialog->saveComponent();
  EXPECT_EQ(Options(), "showlineBar=-1;Font=16;ColorText=-1;showBottom=-1");
  EXPECT_EQ(Module->FontSize, 16);
  EXPECT_FALSE(Module->ShowLineBar);
  EXPECT_FALSE(Module->ColorSyntax);
  EXPECT_EQ(Module->EditorColor, clWhite);
}

TEST_F(SettingsTest, SavingAnOptionWithoutItsRowAddsTheRow) {
  Sql(LibFile(), "DELETE FROM SysqzSet WHERE tname='showBottom'");
  Load();
  Dialog->saveComponent();
  EXPECT_EQ(Options(), "showlineBar=1;Font=12;ColorText=1;showBottom=1")
      << "no other row takes the missing option's value";
}

TEST_F(SettingsTest, AFontSizeThatIsNoNumberWritesNothing) {
  Load();
  const std::string before = Options();
  Dialog->FontSize->SetText("abc");
  Dialog->showlineBar->SetChecked(false);
  EXPECT_THROW(Dialog->saveComponent(), EConvertError);
  EXPECT_EQ(Options(), before);
}

TEST_F(SettingsTest, DamagedRowsAreReportedAndTheDefaultsKept) {
  Load();
  const AnsiString rules = Module->TxtRules1->SaveToText();
  ASSERT_NE(rules.find("Range"), AnsiString::npos) << "the shipped rules are loaded";
  SetOption(LibFile(), "Font", "abc");
  Sql(LibFile(), "UPDATE SysqzSet SET tobject='<RuleHighlighter' WHERE ttype=107");
  Module->SystemSetADOTable->SetActive(false);
  Module->SystemSetADOTable->SetActive(true);
  AnswerButton(mrOk);
  Dialog->initComponent();
  ASSERT_EQ(DialogLog().size(), 1u);
  const std::string text = U8(DialogLog()[0].Text);
  EXPECT_NE(text.find("彩色语法规则无法读取"), std::string::npos) << text;
  EXPECT_NE(text.find("字号设置 \"abc\" 无效, 改用默认值 12."), std::string::npos) << text;
  EXPECT_EQ(Module->FontSize, 12);
  EXPECT_EQ(Dialog->FontSize->Text(), "12");
  EXPECT_EQ(Module->TxtRules1->SaveToText(), rules) << "the rules in use stay";
}

TEST_F(SettingsTest, EachPageShowsItsRowsAndAddsRowsOfItsType) {
  Load();
  TADOTable* table = Module->SystemSetADOTable;
  struct Case {
    int page;
    const char* filter;
    void (*add)(TExportset*);
    int type;
  } cases[] = {
      {0, "ttype<110", nullptr, 0},
      {1, "ttype=110", [](TExportset* d) { d->BtnAdd1Click(nullptr); }, 110},
      {2, "ttype=120", [](TExportset* d) { d->BtnAdd2Click(nullptr); }, 120},
      {3, "ttype=130", [](TExportset* d) { d->BtnAdd3Click(nullptr); }, 130},
      {4, "ttype=150", nullptr, 0},
  };
  for (const Case& c : cases) {
    Dialog->PageControl1->SetActivePageIndex(c.page);
    Dialog->PageControl1Change(Dialog->PageControl1);
    EXPECT_EQ(table->Filter(), c.filter);
    EXPECT_TRUE(table->Filtered());
    if (!c.add) continue;
    const int rows = table->RecordCount();
    c.add(Dialog);
    EXPECT_EQ(table->RecordCount(), rows + 1) << c.filter;
    EXPECT_EQ(table->FieldByName("ttype")->AsInteger(), c.type);
    Dialog->BtnDel1Click(nullptr);
    EXPECT_EQ(table->RecordCount(), rows) << c.filter;
  }
}

TEST_F(SettingsTest, RowsTypedOnThePagesAreSavedAndTakeEffectAtTheNextLoading) {
  Load();
  TADOTable* table = Module->SystemSetADOTable;
  struct Case {
    int page;
    void (*add)(TExportset*);
    const char* name;
    const char* value;
  } cases[] = {
      {1, [](TExportset* d) { d->BtnAdd1Click(nullptr); }, "zj", "再见"},
      {2, [](TExportset* d) { d->BtnAdd2Click(nullptr); }, "苏晴", "苏晴（女）"},
      {3, [](TExportset* d) { d->BtnAdd3Click(nullptr); }, "了了", "了"},
  };
  for (const Case& c : cases) {
    Dialog->PageControl1->SetActivePageIndex(c.page);
    Dialog->PageControl1Change(Dialog->PageControl1);
    c.add(Dialog);
    // what the grid and the memo write through their data links
    table->Edit();
    table->FieldByName("tname")->SetAsString(A(c.name));
    table->FieldByName("tvalue")->SetAsString(A(c.value));
    table->Post();
  }
  Dialog->PageControl1->SetActivePageIndex(0);
  Dialog->PageControl1Change(Dialog->PageControl1);
  Dialog->OKBtnClick(Dialog->OKBtn);
  ASSERT_FALSE(table->Active());
  TADOTable file(nullptr);
  file.SetConnectionString(LibConnectionString(LibFile()));
  file.SetTableName("SysqzSet");
  file.Open();
  for (const Case& c : cases)
    EXPECT_TRUE(file.Locate("tname;tvalue", VarArrayOf({A(c.name), A(c.value)}), {})) << c.name;

  Module->SystemSetADOTable->SetActive(true);
  Dialog->initComponent();
  EXPECT_EQ(Module->TxtAutoCorrect1->Items()->Count(), 3);
  EXPECT_EQ(Module->TxtCompletionProposal1->ItemList()->Count(), 3);
  EXPECT_GE(Module->CurrentAutoComplete->AutoCompleteList()->IndexOf("zj"), 0);
}

TEST_F(SettingsTest, TheAliasPageMakesATableOfTheChosenKind) {
  Load();
  Dialog->ComboBox1->SetItemIndex(3);
  Dialog->ComboBox1CloseUp(Dialog->ComboBox1);
  EXPECT_EQ(Dialog->kxDBTreeView1->DataSource(), Module->storyAliasTableDS);
  EXPECT_EQ(Dialog->AliasEdit->DataSource(), Module->storyAliasTableDS);
  AnswerText(A("新模板"));
  Dialog->Button1Click(Dialog->Button1);
  EXPECT_EQ(U8(DialogLog().at(0).Caption), " 新建库 :");
  EXPECT_EQ(U8(Module->storyAliasTable->FieldByName("tsortid")->AsString()), "新模板");
  EXPECT_EQ(Module->storyAliasTable->FieldByName("tname")->AsString().substr(0, 5), "story");
  // an empty answer makes nothing
  const int rows = Module->storyAliasTable->RecordCount();
  AnswerText("");
  Dialog->Button1Click(Dialog->Button1);
  EXPECT_EQ(Module->storyAliasTable->RecordCount(), rows);
}

TEST_F(SettingsTest, TheFramesCommandShowsTheFirstPageAndOkSaves) {
  Load();
  ProvideSettingsDialog();
  Dialog->PageControl1->SetActivePageIndex(4);
  Module->SystemSetADOTable->SetActive(true);
  PushModalScript([](TCustomForm* Form) {
    auto* d = dynamic_cast<TExportset*>(Form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->PageControl1->ActivePageIndex(), 0);
    d->FontSize->SetText("15");
    d->OKBtn->Click();
  });
  FrameWindows().ShowSettings(nullptr);
  FrameWindows() = TFrameWindows();
  EXPECT_EQ(PendingModalScriptSteps(), 0);
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_FALSE(Module->SystemSetADOTable->Active());
  EXPECT_EQ(Module->FontSize, 15);
  EXPECT_EQ(Options(), "showlineBar=1;Font=15;ColorText=1;showBottom=1");
}

TEST_F(SettingsTest, TheDesignerEditsTheLibrarysRulesAndTheLayoutIsSaved) {
  Load();
  PushModalScript([](TCustomForm* Form) {
    EXPECT_EQ(U8(Form->Caption()), "Penvarro 彩色文本设计器");
    Form->SetModalResult(mrOk);
  });
  Dialog->BtnDesignClick(Dialog->BtnDesign);
  EXPECT_EQ(PendingModalScriptSteps(), 0);
  EXPECT_EQ(U8(Module->TxtRules1->GetSampleText()), "中国, 北美 \r\n林远\r\n{ 场景1 }");

  std::filesystem::create_directories(Dir + "/bin");
  Dialog->SpeedButton2Click(Dialog->SpeedButton1);
  EXPECT_GT(std::filesystem::file_size(Dir + "/bin/qz.style"), 0u);
}

}  // namespace
