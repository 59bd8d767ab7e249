// Find and replace through the library data module: the dialogs' options and
// histories, searches on the current editor, the confirmation of each
// replacement and where the confirmation dialog stands.
#include <memory>

#include "app/searchdialogs.h"
#include "app/tests/libtest.h"
#include "editor/txtedit.h"
#include "platform/controls/dlgscript.h"

namespace {

class EditSearchTest : public LibTest {
 protected:
  TForm* Host = nullptr;
  TTxtEdit* Editor = nullptr;

  void SetUp() override {
    LibTest::SetUp();
    ClearDialogLog();
    ClearDialogAnswers();
    SetDialogAnswersRequired(true);
    OpenLibrary();
    Module->FontSize = 12;
    Application->CreateForm(Host);
    Host->SetBounds(0, 0, 500, 400);
    Editor = new TTxtEdit(Host);
    Editor->SetParent(Host);
    Editor->SetBounds(0, 0, 480, 360);
    Editor->OnReplaceText = TReplaceTextEvent(Module, &TLibDataModule::TxtEditReplaceText);
    Module->setDefaultEditor(Editor);
  }
  void TearDown() override {
    ClearModalScript();
    ClearDialogAnswers();
    LibTest::TearDown();
  }
  // Answers the next find or replace dialog with Text (and Replacement) and OK.
  static void AnswerSearch(const char* Text, const char* Replacement = nullptr, bool Regex = false) {
    PushModalScript([=](TCustomForm* Form) {
      auto* d = dynamic_cast<TTextSearchDialog*>(Form);
      ASSERT_NE(d, nullptr);
      d->SetFindText(A(Text));
      if (auto* r = dynamic_cast<TTextReplaceDialog*>(Form); r && Replacement) r->SetReplaceWith(A(Replacement));
      d->cbRegularExpression->SetChecked(Regex);
      d->SetModalResult(mrOk);
    });
  }
  static void AnswerConfirmation(TModalResult Result) {
    PushModalScript([=](TCustomForm* Form) {
      ASSERT_NE(dynamic_cast<TConfirmReplaceDialog*>(Form), nullptr);
      Form->SetModalResult(Result);
    });
  }
  std::string Text() const { return U8(TrimRight(Editor->Lines()->Text())); }
};

TEST_F(EditSearchTest, TheReplaceDialogExtendsTheFindDialog) {
  std::unique_ptr<TTextSearchDialog> find(NewObject<TTextSearchDialog>(Module));
  std::unique_ptr<TTextReplaceDialog> replace(NewObject<TTextReplaceDialog>(Module));
  EXPECT_EQ(U8(find->Caption()), "查找");
  EXPECT_EQ(find->ClientHeight(), 180);
  EXPECT_EQ(U8(find->Label1->Caption()), "&S查找:");
  EXPECT_EQ(U8(replace->Caption()), "替换");
  EXPECT_EQ(replace->ClientHeight(), 210);
  EXPECT_EQ(replace->ClientWidth(), 332);
  EXPECT_EQ(U8(replace->Label1->Caption()), "查找:");
  ASSERT_NE(replace->cbReplaceText, nullptr);
  EXPECT_EQ(replace->btnOK->Top(), 174);
  EXPECT_EQ(U8(replace->cbRegularExpression->Caption()), "&R正则表达式查找");
  replace->SetReplaceHistory("a\r\nb");
  EXPECT_EQ(replace->cbReplaceText->Items()->Count(), 2);
  EXPECT_FALSE(replace->Backwards());
  replace->SetBackwards(true);
  EXPECT_EQ(replace->rgSearchDirection->ItemIndex(), 1);
}

TEST_F(EditSearchTest, FindSelectsTheFirstMatchAndNextGoesOn) {
  Editor->SetText(A("他来了。\r\n我们和他"));
  Editor->SetCaretXY(TBufferCoord{5, 2});
  AnswerSearch("他");
  Module->ShowSearchReplaceDialog(false);
  EXPECT_EQ(PendingModalScriptSteps(), 0);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{1, 1})) << "the first search covers the whole text";
  EXPECT_EQ(U8(Editor->GetSelText()), "他");
  Module->DoSearchReplaceText(false, false);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{7, 2}));
  // nothing further: the selection collapses at its end
  Module->DoSearchReplaceText(false, false);
  EXPECT_FALSE(Editor->HasSelection());
  EXPECT_EQ(Editor->GetCaretPos(), (TBufferCoord{9, 2}));
  // and back again
  Module->DoSearchReplaceText(false, true);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{7, 2}));
}

TEST_F(EditSearchTest, ReplaceAsksAboutEachMatch) {
  struct Case {
    const char* name;
    const char* find;
    const char* with;
    std::vector<TModalResult> answers;
    const char* result;
  } cases[] = {
      {"replace then skip", "甲", "丙", {mrYes, mrNo, mrYes}, "丙乙甲乙丙"},
      {"replace all", "甲", "丙", {mrNo, mrYesToAll}, "甲乙丙乙丙"},
      {"cancel", "甲", "丙", {mrYes, mrCancel}, "丙乙甲乙甲"},
      {"the same text is skipped unasked", "甲", "甲", {}, "甲乙甲乙甲"},
  };
  for (const Case& c : cases) {
    Editor->SetText(A("甲乙甲乙甲"));
    Module->SearchTextAtCaret = false;
    AnswerSearch(c.find, c.with);
    for (TModalResult r : c.answers) AnswerConfirmation(r);
    Module->ShowSearchReplaceDialog(true);
    EXPECT_EQ(PendingModalScriptSteps(), 0) << c.name;
    ClearModalScript();
    EXPECT_EQ(Text(), c.result) << c.name;
    EXPECT_EQ(Module->ConfirmReplaceDialog, nullptr) << c.name;
  }
}

TEST_F(EditSearchTest, RegularExpressionsAndWholeWordsReachTheEngine) {
  Editor->SetText(A("他说ab。abc他"));
  AnswerSearch("他.", "她", true);
  AnswerConfirmation(mrYesToAll);
  Module->ShowSearchReplaceDialog(true);
  EXPECT_EQ(Text(), "她ab。abc他");
  EXPECT_TRUE(Module->SearchRegex);
  EXPECT_EQ(Editor->SearchEngine(), Module->TxtEditRegexSearch);

  Module->SearchRegex = false;
  Module->SearchWholeWords = true;
  Module->SearchTextAtCaret = false;
  Module->SearchText = "ab";
  Module->DoSearchReplaceText(false, false);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{3, 1})) << "ab alone, not inside abc";
  EXPECT_EQ(Editor->SearchEngine(), Module->TxtEditSearch);
}

TEST_F(EditSearchTest, SelectedOnlyWithTheFoundWordSelectedAsksAboutTheWholeText) {
  Editor->SetText(A("他和他"));
  Module->SearchText = A("他");
  Module->DoSearchReplaceText(false, false);
  ASSERT_EQ(U8(Editor->GetSelText()), "他");
  Module->SearchSelectionOnly = true;
  AnswerButton(mrNo);
  Module->DoSearchReplaceText(false, false);
  ASSERT_EQ(DialogLog().size(), 1u);
  EXPECT_EQ(U8(DialogLog()[0].Text), "没有选中文本, 要搜索整个文本吗?");
  EXPECT_TRUE(Module->SearchSelectionOnly);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{1, 1})) << "No: nothing searched";
  AnswerButton(mrYes);
  Module->SearchTextAtCaret = true;
  Module->DoSearchReplaceText(false, false);
  EXPECT_FALSE(Module->SearchSelectionOnly);
  EXPECT_EQ(Editor->GetSelectionStart(), (TBufferCoord{5, 1}));
}

TEST_F(EditSearchTest, TheHistoriesKeepTheTenNewestFirst) {
  Editor->SetText("x");
  for (int i = 1; i <= 11; ++i) {
    const std::string s = "w" + std::to_string(i);
    AnswerSearch(s.c_str());
    Module->ShowSearchReplaceDialog(false);
  }
  // searching an old text again moves it to the top
  AnswerSearch("w5");
  Module->ShowSearchReplaceDialog(false);
  EXPECT_EQ(Module->SearchTextHistory, "w5\r\nw11\r\nw10\r\nw9\r\nw8\r\nw7\r\nw6\r\nw4\r\nw3\r\nw2");
}

TEST_F(EditSearchTest, SearchesNeedAnEditorThatStillExists) {
  Editor->SetText(A("他"));
  delete Editor;
  Editor = nullptr;
  EXPECT_EQ(Module->CurrentEditor, nullptr);
  Module->SearchText = A("他");
  EXPECT_NO_THROW(Module->DoSearchReplaceText(false, false));
  EXPECT_NO_THROW(Module->DoSearchReplaceText(true, false));
}

TEST_F(EditSearchTest, TheConfirmationStandsBesideTheMatch) {
  std::unique_ptr<TConfirmReplaceDialog> d(NewObject<TConfirmReplaceDialog>(Application));
  EXPECT_EQ(U8(d->Caption()), "确认替换");
  EXPECT_EQ(d->ClientWidth(), 328);
  EXPECT_EQ(d->ClientHeight(), 98);
  const int w = d->Width(), h = d->Height();
  struct Case {
    const char* name;
    TRect editor;
    int x, y1, y2;
    int left, top;
  } cases[] = {
      {"near the top: under the line", {100, 100, 900, 700}, 200, 120, 134, 200, 138},
      {"on the last line: above the match", {100, 100, 900, 700}, 200, 680, 694, 200, 680 - h - 4},
      {"at the right edge: kept inside", {100, 100, 900, 700}, 850, 120, 134, 900 - w, 138},
      {"a narrow editor: centred on it", {100, 100, 300, 700}, 150, 120, 134, 100 - (w - 200) / 2, 138},
  };
  for (const Case& c : cases) {
    d->PrepareAt(c.editor, c.x, c.y1, c.y2, A("甲"));
    EXPECT_EQ(d->Left(), c.left) << c.name;
    EXPECT_EQ(d->Top(), c.top) << c.name;
    EXPECT_EQ(d->Width(), w) << c.name;
  }
  EXPECT_EQ(U8(d->lblConfirmation->Caption()), "替换当前的字符串 \"甲\"?");
}

}  // namespace
