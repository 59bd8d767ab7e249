// The rules designer: the tree built from the rules, settings and styles
// written back (never while a node is being shown), the preview following
// the edits, adding, renaming and deleting, the word tools, loading a rules
// file (also a damaged one), and the form's keys.
#include "editor/txtrulesdesigner.h"

#include <gtest/gtest.h>

#include <fstream>

#include "editor/tests/edfixture.h"
#include "platform/controls/dlgscript.h"
#include "platform/db/tests/dbtest.h"
#include "platform/gdi/tests/refimage.h"

namespace {

class RulesDesignerTest : public CtlTest {
 protected:
  std::unique_ptr<TTxtRules> Rules;
  std::unique_ptr<TTxtRulesDesigner> D;
  TTxtRange *Comment = nullptr, *Deep = nullptr;
  TTxtSymbolGroup *Keys = nullptr, *Inner = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    InitEditorTestClasses();
    Rules = std::make_unique<TTxtRules>(nullptr);
    TTxtRange* root = Rules->RootRange.get();
    root->Name = "Root";
    root->DefaultAttributes.SetForeground(clBlack);
    root->DefaultAttributes.SetBackground(clWhite);
    Keys = AddGroup(root, "keys", "if\nthen", clBlue);
    Comment = new TTxtRange("{", "}");
    Comment->Name = Utf8ToAnsi("注释");
    Comment->DefaultAttributes.SetForeground(clGreen);
    Comment->DefaultAttributes.SetBackground(clWhite);
    root->AddRange(Comment);
    Inner = AddGroup(Comment, "inner", "todo", clRed);
    Deep = new TTxtRange("<", ">");
    Deep->Name = "deep";
    Comment->AddRange(Deep);
    Rules->SetSampleText("if x {note todo} y");
    Rules->PrepareRules();
    D = std::make_unique<TTxtRulesDesigner>(Rules.get());
    D->Form->Show();
    Pump();
  }
  void TearDown() override {
    D.reset();
    Rules.reset();
    CtlTest::TearDown();
  }
  static TTxtSymbolGroup* AddGroup(TTxtRange* R, const char* Name, const char* Words, TColor Color) {
    auto* g = new TTxtSymbolGroup(AnsiString(), R->AddAttributes(Name));
    g->Words.SetText(Words);
    g->Name = Name;
    g->Attri->SetForeground(Color);
    g->Attri->SetBackground(clWhite);
    R->AddKeywordGroup(g);
    return g;
  }
  // The tree as "text:image" in depth-first order.
  std::string TreeText() {
    std::string r;
    for (int i = 0; i < D->Tree->Items()->Count(); ++i) {
      TTreeNode* n = D->Tree->Items()->Item(i);
      if (i) r += " ";
      r += std::string(n->Level(), '.') + AnsiToUtf8(n->Text()) + ":" + std::to_string(n->ImageIndex());
    }
    return r;
  }
  TTreeNode* Node(int AbsoluteIndex) { return D->Tree->Items()->Item(AbsoluteIndex); }
  void Select(int AbsoluteIndex) {
    D->Tree->SetSelected(Node(AbsoluteIndex));
    Pump();
  }
  // The foreground of the preview's token at column X of line 1.
  TColor PreviewColor(int X) {
    AnsiString token;
    TTxtHighlighterAttributes* a = nullptr;
    if (!D->Preview->TokenAttributeAt(TBufferCoord{X, 1}, token, a) || !a) return clNone;
    return a->Foreground();
  }
};

TEST_F(RulesDesignerTest, TreeAndPagesFollowTheSelection) {
  EXPECT_EQ(TreeText(), "Root:0 .keys:2 .注释:1 ..inner:2 ..deep:1");
  EXPECT_EQ(D->Tree->Selected(), Node(0));
  EXPECT_EQ(D->Pages->ActivePage(), D->RootPage);
  EXPECT_EQ(D->Images->Count(), 3);
  EXPECT_EQ(D->Form->Caption(), Utf8ToAnsi(" Penvarro写作文档彩色文档设计器 "));
  EXPECT_EQ(D->Form->Width(), 600);
  EXPECT_FALSE(D->RootPage->TabVisible());
  EXPECT_EQ(D->Preview->Lines()->Get(0), "if x {note todo} y");
  // showing a range writes nothing back: its unset term mode stays unset
  ASSERT_EQ(Comment->OpenSymbol.TermMode, 0);
  Select(2);
  EXPECT_EQ(D->Pages->ActivePage(), D->RangePage);
  EXPECT_EQ(D->OpenSymbol->Text(), "{");
  EXPECT_EQ(D->CloseSymbol->Text(), "}");
  EXPECT_FALSE(D->OpenIsPartOfRange->Checked());
  EXPECT_EQ(D->DefaultStyle.Foreground->Color(), clGreen);
  EXPECT_EQ(Comment->OpenSymbol.TermMode, 0);
  EXPECT_TRUE(D->NumberStyle.Box->Visible());
  Select(3);
  EXPECT_EQ(D->Pages->ActivePage(), D->KeywordPage);
  EXPECT_EQ(D->Words->Lines()->Get(0), "todo");
  EXPECT_FALSE(D->NumberStyle.Box->Visible());
  EXPECT_EQ(D->DefaultStyle.Foreground->Color(), clRed);
  EXPECT_EQ(Inner->Words.Count(), 1);
  EXPECT_EQ(TTxtRulesDesigner::DelimiterText(TxtDefaultDelimiters()).substr(0, 3), "!\"#");
}

TEST_F(RulesDesignerTest, EditsGoToTheRulesAndThePreviewFollows) {
  EXPECT_EQ(PreviewColor(1), clBlue);  // "if"
  EXPECT_EQ(PreviewColor(7), clGreen);  // inside the comment
  EXPECT_EQ(PreviewColor(12), clRed);  // a keyword of the comment range
  // a keyword group's colour
  Select(1);
  D->DefaultStyle.Foreground->SetColor(clFuchsia);
  D->DefaultStyle.Bold->SetChecked(true);  // a click on a style box applies the styles
  EXPECT_EQ(Keys->Attri->Foreground(), clFuchsia);
  EXPECT_EQ(Keys->Attri->Style(), txtBold);
  EXPECT_EQ(PreviewColor(1), clFuchsia);
  // words of the group
  D->Words->Lines()->Add("x");
  EXPECT_EQ(Keys->Words.Count(), 3);
  EXPECT_EQ(PreviewColor(4), clFuchsia);
  // the range's symbols: "(" opens the comment now, so "{" is plain text
  Select(2);
  D->OpenSymbol->SetText("(");
  EXPECT_EQ(Comment->OpenSymbol.Symbol, "(");
  EXPECT_EQ(Comment->OpenSymbol.TermMode, 2);  // written with the settings, the box being clear
  EXPECT_EQ(PreviewColor(7), clBlack);
  D->OpenIsPartOfRange->SetChecked(true);
  EXPECT_EQ(Comment->OpenSymbol.TermMode, 1);
  D->RangeDelimiters->SetText(" ,");
  EXPECT_EQ(Comment->DelimiterChars.count(), 2u + 3u);  // the two, and 0, 10 and 13 added when prepared
  // the root's settings
  Select(0);
  D->RootCaseSensitive->SetChecked(true);
  EXPECT_TRUE(Rules->RootRange->CaseSensitive());
  SendMessageA(D->RootDelimiters->Handle(), WM_LBUTTONDBLCLK, 0, 0);
  Pump();
  EXPECT_EQ(TTxtRulesDesigner::DelimiterText(Rules->RootRange->DelimiterChars),
            TTxtRulesDesigner::DelimiterText(TxtDefaultDelimiters()));
  // a colour chosen in the colour dialog
  Select(1);
  QueueDialogAnswer(TDialogAnswer().TypeText("$00FF00").Press(mrOk));
  D->DefaultStyle.Background->Click();
  EXPECT_EQ(Keys->Attri->Background(), TColor(0x00FF00));
  EXPECT_EQ(D->DefaultStyle.Background->BevelOuter(), bvRaised);
}

TEST_F(RulesDesignerTest, AddRenameAndDelete) {
  Select(2);
  D->AddKeywordGroup();
  ASSERT_EQ(Comment->KeywordGroupCount(), 2);
  EXPECT_EQ(Comment->KeywordGroupAt(1)->Attri->StyleName(), "unknown");
  EXPECT_TRUE(D->Tree->IsEditing());
  for (char c : std::string("names")) SendMessageA(GetFocus(), WM_CHAR, WPARAM(c), 0);
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(Comment->KeywordGroupAt(1)->Name, "names");
  EXPECT_EQ(TreeText(), "Root:0 .keys:2 .注释:1 ..inner:2 ..deep:1 ..names:2");
  Select(0);
  D->AddRange();
  if (D->Tree->IsEditing()) D->Tree->Selected()->EndEdit(true);
  ASSERT_EQ(Rules->RootRange->RangeCount(), 2);
  TTxtRange* added = Rules->RootRange->RangeAt(1);
  EXPECT_EQ(added->Name, "New");
  EXPECT_EQ(added->OpenSymbol.TermMode, 1);
  EXPECT_EQ(added->DefaultAttributes.Background(), clWhite);
  EXPECT_EQ(D->Tree->Selected()->Data(), added);
  // the root is never deleted (no question asked)
  D->DeleteNode(Node(0));
  EXPECT_EQ(D->Tree->Items()->Count(), 7);
  // "No" keeps the branch, "Yes" removes it from tree and model
  AnswerButton(mrNo);
  D->DeleteNode(Node(2));
  EXPECT_EQ(Rules->RootRange->RangeCount(), 2);
  AnswerButton(mrYes);
  Select(2);
  hb->Key(VK_DELETE);
  Pump();
  EXPECT_EQ(Rules->RootRange->RangeCount(), 1);
  EXPECT_EQ(Rules->RootRange->RangeAt(0), added);
  EXPECT_EQ(TreeText(), "Root:0 .keys:2 .New:1");
  EXPECT_EQ(D->Preview->Lines()->Get(0), "if x {note todo} y");
  EXPECT_EQ(PreviewColor(7), clBlack);  // no comment range any more
  // with nothing selected, adding a range starts over from the root alone
  D->Tree->SetSelected(nullptr);
  D->AddRange();
  EXPECT_EQ(TreeText(), "Root:0");
  EXPECT_EQ(Rules->RootRange->RangeCount(), 1);
}

TEST_F(RulesDesignerTest, WordTools) {
  Select(1);
  const struct {
    void (TTxtRulesDesigner::*Tool)();
    const char* Before;
    const char* After;
  } cases[] = {
      {&TTxtRulesDesigner::SortWords, "b\r\nB\r\n a \r\n\r\nA\r\nc", "a\r\nb\r\nc"},
      {&TTxtRulesDesigner::SortWords, "中\r\nzeta\r\nAlpha", "Alpha\r\nzeta\r\n中"},
      {&TTxtRulesDesigner::LowerCaseWords, "IfThen\r\n中A", "ifthen\r\n中a"},
      {&TTxtRulesDesigner::SpacesToLines, "a b c", "a\r\nb\r\nc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Before);
    D->Words->SetText(Utf8ToAnsi(c.Before));
    (D.get()->*c.Tool)();
    EXPECT_EQ(AnsiToUtf8(D->Words->Text()), c.After);
  }
  EXPECT_EQ(Keys->Words.Count(), 3);
  // a word taken from the preview's selection
  D->Preview->SetSelectionStart(TBufferCoord{4, 1});
  D->Preview->SetSelectionEnd(TBufferCoord{5, 1});
  D->TakeWordFromPreview();
  EXPECT_EQ(Keys->Words.Get(3), "x");
  Select(0);
  D->TakeWordFromPreview();  // only while the keyword page is shown
  EXPECT_EQ(Keys->Words.Count(), 4);
}

TEST_F(RulesDesignerTest, LoadingRulesFiles) {
  TempDir dir;
  TTxtRules source(nullptr);
  source.RootRange->Name = "Loaded";
  AddGroup(source.RootRange.get(), "names", "Lin", clNavy);
  source.SetSampleText("Lin went home");
  {
    std::ofstream out(dir.File("good.h"), std::ios::binary);
    out << source.SaveToText();
    std::ofstream bad(dir.File("bad.h"), std::ios::binary);
    const std::string text = source.SaveToText();
    bad << text.substr(0, text.size() / 2);
  }
  // a sub-range takes the file's rules below it
  Select(4);
  D->LoadFromFile(dir.File("good.h").c_str());
  EXPECT_EQ(TreeText(), "Root:0 .keys:2 .注释:1 ..inner:2 ..deep:1 ...names:2");
  // the root: the whole tree and the sample text
  Select(0);
  D->LoadFromFile(dir.File("good.h").c_str());
  EXPECT_EQ(TreeText(), "Loaded:0 .names:2");  // the root's name comes from the file too
  EXPECT_EQ(D->Preview->Lines()->Get(0), "Lin went home");
  EXPECT_EQ(PreviewColor(1), clNavy);
  // the load item is offered only for ranges
  Select(1);
  D->TreeMenu->OnPopup(D->TreeMenu);
  EXPECT_FALSE(D->LoadItem->Visible());
  Select(0);
  D->TreeMenu->OnPopup(D->TreeMenu);
  EXPECT_TRUE(D->LoadItem->Visible());
  // a damaged file: the message is shown and the tree shows what the model holds
  AnsiString shown;
  QueueDialogAnswer(TDialogAnswer()
                        .Do([&](TCustomForm* F) { shown = PvMessageBoxText(F); })
                        .Press(mrOk));
  D->LoadFromFile(dir.File("bad.h").c_str());
  EXPECT_FALSE(shown.empty());
  int nodes = 1;
  for (int i = 0; i < Rules->RootRange->KeywordGroupCount(); ++i) ++nodes;
  for (int i = 0; i < Rules->RootRange->RangeCount(); ++i) ++nodes;
  EXPECT_EQ(D->Tree->Items()->Count(), nodes);
  // a missing file is reported the same way
  AnswerButton(mrOk);
  D->LoadFromFile(dir.File("missing.h").c_str());
  EXPECT_EQ(D->Tree->Items()->Count(), nodes);
}

// The form as laid out: tree, settings of the selected range, the two
// style boxes with their colour buttons, and the coloured preview.
TEST_F(RulesDesignerTest, FormPicture) {
  D->Tree->FullExpand();
  Select(2);
  D->Form->SetBounds(0, 0, 600, 400);
  Pump();
  PvWindowImage img = PvCaptureWindow(D->Form->Handle());
  TRawImage r;
  r.Width = img.width;
  r.Height = img.height;
  r.Pixels = img.pixels;
  EXPECT_TRUE(MatchesReference(r, "editor/tests/ref", "rules_designer"));
}

TEST_F(RulesDesignerTest, HelpAndEscape) {
  AnsiString shown;
  QueueDialogAnswer(TDialogAnswer().Do([&](TCustomForm* F) { shown = PvMessageBoxText(F); }).Press(mrOk));
  D->Tree->SetFocus();
  hb->Key(VK_F1);
  Pump();
  EXPECT_NE(AnsiToUtf8(shown).find("彩色文档设计器"), std::string::npos);
  D->Form->Hide();
  PostMessageA(D->Tree->Handle(), WM_CHAR, VK_ESCAPE, 0);
  EXPECT_TRUE(D->Execute());
  EXPECT_FALSE(D->Form->Visible());
}

}  // namespace
