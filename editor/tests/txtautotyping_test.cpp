// Templates expanded by a shortcut (indent, caret mark, undo markers, the
// list of all templates) and corrections of finished words (case, finishing
// characters, the line corrected on a click, vetoes, read-only editors).
#include "editor/txtautotyping.h"

#include <gtest/gtest.h>

#include "editor/tests/edfixture.h"

namespace {

class AutoCompleteTest : public EditorTest {
 protected:
  TTxtAutoComplete* AC = nullptr;
  void SetUp() override {
    EditorTest::SetUp();
    AC = NewObject<TTxtAutoComplete>(Form);
    AC->SetEditor(Ed);
    SetTemplates("for\n|for loop\n=for () {\n=  |\n=}\nfunc\n=function\nx\n=a\n=b");
  }
  // The template list, one entry per line.
  void SetTemplates(const char* Utf8) {
    TStringList l;
    l.SetText(A(Utf8));
    AC->SetAutoCompleteList(&l);
  }
  void Expand() { Key(VK_SPACE, HeadlessBackend::Shift); }
};

TEST_F(AutoCompleteTest, TemplateIndentedLikeItsLineWithTheCaretAtTheMark) {
  ASSERT_EQ(AC->AutoCompleteList()->Get(1), "|for loop");
  ASSERT_EQ(AC->AutoCompleteList()->Get(3), "=  |");
  SetText("    for");
  Ed->SetCaretXY(BC(8, 1));
  int before = 0, after = 0;
  struct Counter : TObject {
    int* N;
    void Fire(TObject*) { ++*N; }
  } b, a;
  b.N = &before;
  a.N = &after;
  AC->OnBeforeExecute = TNotifyEvent(&b, &Counter::Fire);
  AC->OnAfterExecute = TNotifyEvent(&a, &Counter::Fire);
  Expand();
  EXPECT_EQ(Joined(Ed), "    for () {|      |    }");  // the blank of the shortcut is not typed
  EXPECT_EQ(Ed->GetCaretPos(), BC(7, 2));
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);
  // the changes stand between the two markers, and one undo takes them all back
  TTxtEditUndoList* u = Ed->UndoList();
  ASSERT_GE(u->Count(), 3);
  EXPECT_EQ(u->Items(u->Count() - 1)->Reason, urAutoCompleteEnd);
  int begin = -1;
  for (int i = 0; i < u->Count(); ++i)
    if (u->Items(i)->Reason == urAutoCompleteBegin) begin = i;
  EXPECT_GE(begin, 0);
  EXPECT_LT(begin, u->Count() - 2);
  EXPECT_TRUE(Ed->Options().Contains(eoAutoIndent));  // the paused options are back
  Ed->Undo();
  EXPECT_EQ(Joined(Ed), "    for");
}

TEST_F(AutoCompleteTest, ContinuationIndentInTabsOrBlanks) {
  const struct {
    bool TabsToSpaces;
    const char* Expected;
  } cases[] = {
      {false, "         a|\t\t b"},
      {true, "         a|         b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    TTxtEditorOptions o = Ed->Options() - TTxtEditorOptions{eoSmartTabs, eoTabsToSpaces};
    if (c.TabsToSpaces) o << eoTabsToSpaces;
    Ed->SetOptions(o);
    Ed->SetTabWidth(4);
    SetText("         X");  // the token in another case still matches
    Ed->SetCaretXY(BC(11, 1));
    Expand();
    EXPECT_EQ(Joined(Ed), c.Expected);
  }
}

TEST_F(AutoCompleteTest, DoubleByteTokensAndTemplates) {
  SetTemplates("中文\n=汉字|字\n=二");
  SetText("写中文");
  Ed->SetCaretXY(BC(7, 1));
  EXPECT_EQ(AC->TokenBeforeCaret(Ed), A("写中文"));  // no blank or end character before it
  SetText("写 中文");
  Ed->SetCaretXY(BC(8, 1));
  EXPECT_EQ(AC->TokenBeforeCaret(Ed), A("中文"));
  Expand();
  EXPECT_EQ(Joined(Ed), "写 汉字字|   二");  // two characters deleted; the indent counts screen cells
  EXPECT_EQ(Ed->GetCaretPos(), BC(8, 1));
  // a trail byte that looks like an end-of-token character ends nothing
  AC->SetEndOfTokenChr("[");
  SetText(A("\x81[x").c_str());
  Ed->SetLineText("\x81[x");
  Ed->SetCaretXY(BC(4, 1));
  EXPECT_EQ(AC->TokenBeforeCaret(Ed), "\x81[x");
}

TEST_F(AutoCompleteTest, EmptyTokenReadOnlyAndMissingEditor) {
  SetTemplates("a\n=x\n\n=from the empty line");
  SetText("ab ");
  Ed->SetCaretXY(BC(4, 1));
  Expand();
  EXPECT_EQ(Joined(Ed), "ab from the empty line");
  SetText("a");
  Ed->SetCaretXY(BC(2, 1));
  Ed->SetReadOnlyProp(true);
  Expand();
  EXPECT_EQ(Joined(Ed), "a");
  Ed->SetReadOnlyProp(false);
  delete Ed;
  Ed = nullptr;
  EXPECT_EQ(AC->Editor(), nullptr);
}

TEST_F(AutoCompleteTest, LookupListsEveryTemplateAndExpandsTheChosenOne) {
  SetText("zz ");
  Ed->SetCaretXY(BC(4, 1));
  Expand();
  TTxtCompletionProposal* p = AC->LookupProposal();
  ASSERT_NE(p, nullptr);
  ASSERT_TRUE(p->Form()->Visible());
  ASSERT_EQ(p->ItemList()->Count(), 3);
  EXPECT_EQ(p->ItemList()->Get(0), A("\\style{+B}for\\style{-B}\\column{}for loop"));
  EXPECT_EQ(p->ItemList()->Get(1), "\\style{+B}func\\style{-B}\\column{}func");  // no description: the token
  EXPECT_EQ(p->InsertList()->Get(2), "x");
  EXPECT_EQ(Joined(Ed), "zz ");  // the shortcut's blank was not typed
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(p->Form()->Visible());
  EXPECT_EQ(Joined(Ed), "zz function");
  EXPECT_EQ(p->Editor(), nullptr);
  // typed letters narrow the list; Enter expands the template of the highlighted token
  SetText("fo");
  Ed->SetCaretXY(BC(3, 1));
  Expand();
  ASSERT_TRUE(p->Form()->Visible());
  EXPECT_EQ(p->Form()->ShownList()->Count(), 1);
  Key(VK_RETURN);
  EXPECT_EQ(Joined(Ed), "for () {|  |}");
  EXPECT_EQ(Ed->GetCaretPos(), BC(3, 2));
  // without the lookup nothing opens
  AC->SetDoLookupWhenNotExact(false);
  EXPECT_EQ(AC->LookupProposal(), nullptr);
  SetText("q");
  Ed->SetCaretXY(BC(2, 1));
  Expand();
  EXPECT_EQ(Joined(Ed), "q");
}

// ---------------------------------------------------------------- auto-correct

class AutoCorrectTest : public EditorTest {
 protected:
  TTxtAutoCorrect* AK = nullptr;
  void SetUp() override {
    EditorTest::SetUp();
    AK = NewObject<TTxtAutoCorrect>(Form);
    AK->SetEditor(Ed);
    AK->AddCorrection("teh", "the");
    AK->AddCorrection(A("的的"), A("的"));
  }
};

TEST_F(AutoCorrectTest, FinishedWordsAreCorrectedBeforeTheFinishingCharacter) {
  const struct {
    const char* Typed;
    const char* Expected;
  } cases[] = {
      {"teh ", "the "},      {"Teh ", "The "},    {"TEH ", "THE "},     {"tEh ", "the "},
      {"teh,", "the,"},      {"teh.", "the."},    {"tehx ", "tehx "},   {"teh1 ", "teh1 "},
      {"(teh ", "(teh "},    {"a teh ", "a the "}, {"的的 ", "的 "},   {"teh的", "the的"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Typed);
    Ed->ClearAll();
    Type(c.Typed);
    EXPECT_EQ(Joined(Ed), c.Expected);
  }
  // Tab and Enter finish a word too
  Ed->ClearAll();
  Type("teh");
  Key(VK_RETURN);
  EXPECT_EQ(Joined(Ed), "the|");
  Ed->ClearAll();
  Type("teh");
  Cmd(ecTab);
  EXPECT_EQ(U(Ed->Lines()->Get(0)).substr(0, 3), "the");
}

TEST_F(AutoCorrectTest, UndoBringsTheMisspellingBack) {
  // the blank is typed first and the word corrected after it: one undo step
  // gives back the word as typed with its blank, the next takes the typing
  // (with the program's options the blank is trimmed as it is typed)
  const TTxtEditorOptions program{eoAutoIndent,     eoDragDropEditing, eoEnhanceEndKey,  eoGroupUndo,
                                  eoHideShowScrollbars, eoScrollPastEol, eoShowScrollHint, eoSmartTabDelete,
                                  eoSmartTabs,      eoTabsToSpaces,    eoRightMouseMovesCursor, eoTrimTrailingSpaces};
  struct Case {
    const char* Name;
    TTxtEditorOptions Options;
    const char* Typed;
    const char* AfterUndo;
    const char* AfterSecondUndo;
  } cases[] = {{"program", program, "the", "teh", ""},
               {"grouped undo", TxtDefaultOptions, "the ", "teh ", ""},
               {"one record per step", TxtDefaultOptions - TTxtEditorOptions{eoGroupUndo}, "the ", "teh ", "teh"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Ed->SetOptions(c.Options);
    Ed->ClearAll();
    Type("teh ");
    ASSERT_EQ(Joined(Ed), c.Typed);
    EXPECT_EQ(Ed->GetCaretPos(), BC(5, 1));
    Ed->Undo();
    EXPECT_EQ(Joined(Ed), c.AfterUndo);
    Ed->Undo();
    EXPECT_EQ(Joined(Ed), c.AfterSecondUndo);
    while (Ed->CanRedo()) Ed->Redo();
    EXPECT_EQ(Joined(Ed), c.Typed);
  }
}

TEST_F(AutoCorrectTest, ItemsOptionsAndVetoes) {
  // the last separator splits an item
  AK->SetItemSepChar('=');
  AK->Items()->Clear();
  AK->Items()->Add("x=y=z");
  AK->Items()->Add("gone");
  Type("x=y ");
  EXPECT_EQ(Joined(Ed), "z ");
  Ed->ClearAll();
  Type("a gone b");  // no separator: the word is deleted
  EXPECT_EQ(Joined(Ed), "a  b");
  AK->SetItemSepChar('\t');
  AK->Items()->Clear();
  AK->AddCorrection("teh", "the");
  // case-sensitive matching and no case adaptation
  AK->SetOptions({});
  Ed->ClearAll();
  Type("Teh teh ");
  EXPECT_EQ(Joined(Ed), "Teh the ");
  AK->SetOptions(TAsTxtAutoCorrectOptions{ascoIgnoreCase});
  Ed->ClearAll();
  Type("TEH ");
  EXPECT_EQ(Joined(Ed), "the ");
  // a veto keeps the word
  struct Veto : TObject {
    AnsiString Seen;
    void Fire(TObject*, const AnsiString& O, const AnsiString& C, int, int, TAutoCorrectAction& Action) {
      Seen = O + ">" + C;
      Action = aaAbort;
    }
  } veto;
  AK->OnAutoCorrect = TAutoCorrectEvent(&veto, &Veto::Fire);
  Ed->ClearAll();
  Type("teh ");
  EXPECT_EQ(Joined(Ed), "teh ");
  EXPECT_EQ(veto.Seen, "teh>the");
  AK->OnAutoCorrect = nullptr;
  // beyond the line end, in a read-only editor, or disabled: nothing
  Ed->ClearAll();
  Type("teh");
  Ed->SetCaretXY(BC(6, 1));
  Cmd(ecChar, ' ');
  EXPECT_EQ(Joined(Ed), "teh   ");
  Ed->ClearAll();
  Type("teh");
  Ed->SetReadOnlyProp(true);
  AnsiString text = "teh";
  int position = 4;
  EXPECT_FALSE(AK->ApplyCorrection(text, "teh", position, "the"));
  Ed->SetReadOnlyProp(false);
  AK->SetEnabled(false);
  Type(" ");
  EXPECT_EQ(Joined(Ed), "teh ");
}

TEST_F(AutoCorrectTest, FindWordTable) {
  const struct {
    const char* Text;
    const char* Word;
    bool Whole, Case;
    int Start, Expected;
  } cases[] = {
      {"ab abc abc", "abc", true, true, 0, 3},   {"abcd abc", "abc", true, true, 0, 5},
      {"xabc abc", "abc", true, true, 0, 5},     {"abc", "ABC", true, true, 0, -1},
      {"abc", "ABC", true, false, 0, 0},         {"xabc", "abc", false, true, 0, 1},
      {"abc abc", "abc", true, true, 1, 4},      {"  abc", "abc", true, true, 0, 2},
      {"ab", "abc", false, true, 0, -1},         {"", "a", false, true, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + "/" + c.Word);
    EXPECT_EQ(AK->FindWord(c.Text, c.Word, c.Whole, c.Case, c.Start), c.Expected);
  }
  // never inside a double-byte character: "\xD6\xD0" ends in 0xD0, a "\xD0\xCE" would straddle
  EXPECT_EQ(AK->FindWord("\xD6\xD0\xCE\xC4", "\xD0\xCE", false, true, 0), -1);
}

TEST_F(AutoCorrectTest, LastEditedLineCorrectedOnAClick) {
  AK->Items()->Clear();
  AK->AddCorrection("a", "aa");  // the correction ends with the original
  AK->SetOptions(AK->Options() + TAsTxtAutoCorrectOptions{ascoCorrectOnMouseDown});
  SetText("a b a|second");
  Ed->SetCaretXY(BC(6, 1));
  Type("x");  // a command on line 1 records the line
  EXPECT_EQ(AK->LastCommandLine(), 1);
  const TPoint p = Ed->ClientToScreen(TPoint{Ed->GutterWidth() + 20, Ed->LineHeight() + 2});
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(Joined(Ed), "aa b ax|second");  // "ax" is no whole word
  EXPECT_EQ(Ed->CaretY(), 2);
  Ed->Undo();
  EXPECT_EQ(Joined(Ed), "a b ax|second");
}

}  // namespace
