// Search and replace in the editor: the area searched, matches selected,
// replace, replace-all and the prompt, with the plain and the
// regular-expression engine on Chinese text.
#include <gtest/gtest.h>

#include "bench/editor_text_fixture.h"
#include "editor/tests/edfixture.h"

namespace {

class FindTest : public EditorTest {
 protected:
  TTxtEditSearch* Plain = nullptr;
  TTxtEditRegexSearch* Regex = nullptr;
  void SetUp() override {
    EditorTest::SetUp();
    Plain = NewObject<TTxtEditSearch>(Form);
    Regex = NewObject<TTxtEditRegexSearch>(Form);
    Ed->SetSearchEngine(Plain);
  }
  std::string Sel() { return U(Ed->GetSelText()); }
  // Column of the byte where the UTF-8 prefix ends in the CP936 text.
  static int Col(const char* Utf8Prefix) { return int(A(Utf8Prefix).size()) + 1; }
};

// A prompt handler that answers from a script and records where it was asked.
struct Answers {
  std::vector<TTxtReplaceAction> Script;
  std::vector<TBufferCoord> Asked;
  void Ask(TObject*, const AnsiString&, const AnsiString&, int Line, int Column, TTxtReplaceAction& Action) {
    Asked.push_back(TBufferCoord{Column, Line});
    Action = Asked.size() <= Script.size() ? Script[Asked.size() - 1] : raCancel;
  }
};

TEST_F(FindTest, NoEngineOrEmptyPattern) {
  SetText("ab ab");
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(3, 1));
  EXPECT_EQ(Ed->FindReplace("", "x", {}), 0);
  EXPECT_EQ(Sel(), "ab");
  Ed->SetSearchEngine(nullptr);
  try {
    Ed->FindReplace("ab", "", {});
    FAIL() << "no error";
  } catch (const ETxtEditError& e) {
    EXPECT_STREQ(e.what(), "No search engine has been assigned");
  }
  EXPECT_EQ(Joined(Ed), "ab ab");
}

struct FindCase {
  const char* Name;
  const char* Text;
  TBufferCoord Caret;
  const char* Pattern;
  TTxtSearchFlags Flags;
  bool UseRegex;
  int Count;
  TBufferCoord SelStart, SelEnd, CaretAfter;
};

TEST_F(FindTest, FindSelectsTheMatch) {
  const FindCase cases[] = {
      {"forward from inside the first", "ab ab", {2, 1}, "ab", {}, false, 1, {4, 1}, {6, 1}, {6, 1}},
      {"backward from before the second", "ab ab", {4, 1}, "ab", {sfBackwards}, false, 1, {1, 1}, {3, 1}, {1, 1}},
      {"entire scope ignores the caret", "ab ab", {6, 1}, "ab", {sfEntireScope}, false, 1, {1, 1}, {3, 1}, {3, 1}},
      {"nothing after the caret", "ab ab", {6, 1}, "ab", {}, false, 0, {6, 1}, {6, 1}, {6, 1}},
      {"selected only without a selection", "ab|ab", {2, 1}, "ab", {sfSelectedOnly}, false, 1, {1, 2}, {3, 2}, {3, 2}},
      // Chinese text: columns count bytes, two per character
      {"hanzi forward", "他说他们来了", {3, 1}, "他", {}, false, 1, {5, 1}, {7, 1}, {7, 1}},
      {"hanzi backward", "他说他们来了", {5, 1}, "他", {sfBackwards}, false, 1, {1, 1}, {3, 1}, {1, 1}},
      {"hanzi on a later line", "开头|中间文字|结尾", {1, 1}, "文字", {}, false, 1, {5, 2}, {9, 2}, {9, 2}},
      // a byte pair that straddles two characters is no match
      {"no match across characters", "\xe5\x8d\x97\xe4\xba\xac", {1, 1}, "\xe4\xba\xac", {}, false, 1, {3, 1}, {5, 1}, {5, 1}},
      {"whole word among hanzi", "用concat和cat", {1, 1}, "cat", {sfWholeWord}, false, 1, {11, 1}, {14, 1}, {14, 1}},
      {"case folded", "甲ABC", {1, 1}, "abc", {}, false, 1, {3, 1}, {6, 1}, {6, 1}},
      {"case kept", "甲ABC abc", {1, 1}, "abc", {sfMatchCase}, false, 1, {7, 1}, {10, 1}, {10, 1}},
      {"regex over hanzi", "第12章 第345章", {6, 1}, "第[0-9]+章", {}, true, 1, {8, 1}, {15, 1}, {15, 1}},
      {"regex case folded", "张三xAAy", {1, 1}, "a+", {}, true, 1, {6, 1}, {8, 1}, {8, 1}},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetText(c.Text);
    Ed->SetSearchEngine(c.UseRegex ? static_cast<TTxtEditSearchCustom*>(Regex) : Plain);
    Ed->SetCaretXY(c.Caret);
    EXPECT_EQ(Ed->FindReplace(A(c.Pattern), "", c.Flags), c.Count);
    EXPECT_EQ(Ed->GetSelectionStart(), c.SelStart);
    EXPECT_EQ(Ed->GetSelectionEnd(), c.SelEnd);
    EXPECT_EQ(Ed->GetCaretPos(), c.CaretAfter);
  }
}

TEST_F(FindTest, RepeatedFindWalksTheMatches) {
  SetText("他来了|他又来了他");
  std::vector<TBufferCoord> forward, backward;
  for (int i = 0; i < 4; ++i) {
    if (Ed->FindReplace(A("他"), "", {}) == 0) break;
    forward.push_back(Ed->GetSelectionStart());
  }
  EXPECT_EQ(forward, (std::vector<TBufferCoord>{{1, 1}, {1, 2}, {9, 2}}));
  for (int i = 0; i < 4; ++i) {
    if (Ed->FindReplace(A("他"), "", {sfBackwards}) == 0) break;
    backward.push_back(Ed->GetSelectionStart());
  }
  EXPECT_EQ(backward, (std::vector<TBufferCoord>{{9, 2}, {1, 2}, {1, 1}}));
}

struct ReplaceCase {
  const char* Name;
  const char* Text;
  TBufferCoord Caret;
  const char* Pattern;
  const char* Replacement;
  TTxtSearchFlags Flags;
  bool UseRegex;
  int Count;
  const char* Result;
};

TEST_F(FindTest, ReplaceAndReplaceAll) {
  const ReplaceCase cases[] = {
      {"replace-all grows", "xxx", {1, 1}, "x", "yy", {sfReplaceAll, sfEntireScope}, false, 3, "yyyyyy"},
      {"replace only the first", "xxx", {1, 1}, "x", "yy", {sfReplace}, false, 1, "yyxx"},
      {"hanzi by longer hanzi", "张三说张三来了|张三", {1, 1}, "张三", "李四先生", {sfReplaceAll}, false, 3,
       "李四先生说李四先生来了|李四先生"},
      {"hanzi by shorter", "张三说张三来了", {1, 1}, "张三", "李", {sfReplaceAll}, false, 2, "李说李来了"},
      {"from the caret on", "甲甲甲", {3, 1}, "甲", "乙", {sfReplaceAll}, false, 2, "甲乙乙"},
      {"backwards before the caret", "甲甲甲", {5, 1}, "甲", "乙", {sfReplaceAll, sfBackwards}, false, 2, "乙乙甲"},
      {"whole words only", "cat和concat cat", {1, 1}, "cat", "狗", {sfReplaceAll, sfWholeWord}, false, 2,
       "狗和concat 狗"},
      {"regex with a group", "第12章和第3章", {1, 1}, "第([0-9]+)章", "Chapter $1", {sfReplaceAll}, true, 2,
       "Chapter 12和Chapter 3"},
      {"regex deletes", "他 说  话", {1, 1}, " +", "", {sfReplaceAll}, true, 2, "他说话"},
      {"no match keeps the text", "天地", {1, 1}, "人", "x", {sfReplaceAll}, false, 0, "天地"},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetText(c.Text);
    Ed->ClearUndoHistory();
    Ed->SetSearchEngine(c.UseRegex ? static_cast<TTxtEditSearchCustom*>(Regex) : Plain);
    Ed->SetCaretXY(c.Caret);
    EXPECT_EQ(Ed->FindReplace(A(c.Pattern), A(c.Replacement), c.Flags), c.Count);
    EXPECT_EQ(Joined(Ed), c.Result);
    if (c.Count > 1 && c.Flags.Contains(sfReplaceAll)) {
      Ed->Undo();  // one step undoes the whole run
      EXPECT_EQ(Joined(Ed), std::string(c.Text));
    }
  }
}

TEST_F(FindTest, ReplaceAllPaintsOnceAndIsOneUndoStep) {
  SetText("xxx");
  Pump();
  int paints = 0;
  struct Counter {
    int* N;
    void Paint(TObject*, TCanvas*) { ++*N; }
  } counter{&paints};
  Ed->OnPaint = TTxtPaintEvent(&counter, &Counter::Paint);
  Ed->FindReplace("x", "yy", {sfReplaceAll});
  Pump();
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(Joined(Ed), "yyyyyy");
  Ed->Undo();
  EXPECT_EQ(Joined(Ed), "xxx");
  EXPECT_FALSE(Ed->CanUndo());
}

// A replace-all over a 5 MB Chinese text makes tens of thousands of records
// in one step, far beyond the undo limit: the step is kept whole, and one
// undo gives back the whole text.
TEST_F(FindTest, ReplaceAllOverFiveMegabytesIsUndoneWhole) {
  const AnsiString text = MakeChineseText(5u << 20);
  Ed->Lines()->SetText(text);
  const AnsiString before = Ed->Lines()->GetText();
  const int n = Ed->FindReplace("\xC0\xEE\xCB\xC4", A("王五"), {sfReplaceAll, sfEntireScope});
  ASSERT_GT(n, 10000);
  EXPECT_GT(Ed->UndoList()->Count(), Ed->MaxUndo());
  const AnsiString after = Ed->Lines()->GetText();
  EXPECT_NE(after, before);
  Ed->Undo();
  EXPECT_TRUE(Ed->Lines()->GetText() == before);
  EXPECT_FALSE(Ed->CanUndo());
  EXPECT_FALSE(Ed->Modified());
  Ed->Redo();
  EXPECT_TRUE(Ed->Lines()->GetText() == after);
}

TEST_F(FindTest, PromptAnswers) {
  Answers ans;
  Ed->OnReplaceText = TReplaceTextEvent(&ans, &Answers::Ask);
  // skip the first, then replace all: the rest is replaced without asking
  SetText("甲x甲x甲");
  ans.Script = {raSkip, raReplaceAll};
  EXPECT_EQ(Ed->FindReplace(A("甲"), A("乙"), {sfReplace, sfReplaceAll, sfPromptOnReplace}), 3);
  EXPECT_EQ(Joined(Ed), "甲x乙x乙");
  EXPECT_EQ(ans.Asked, (std::vector<TBufferCoord>{{1, 1}, {4, 1}}));
  Ed->Undo();  // the part replaced after the answer is one step
  EXPECT_EQ(Joined(Ed), "甲x甲x甲");

  // without sfReplaceAll the run ends after the first answer, whatever it is
  for (TTxtReplaceAction first : {raSkip, raReplace}) {
    SetText("甲甲");
    ans = Answers{{first}, {}};
    EXPECT_EQ(Ed->FindReplace(A("甲"), A("乙"), {sfReplace, sfPromptOnReplace}), 1);
    EXPECT_EQ(ans.Asked.size(), 1u);
    EXPECT_EQ(Joined(Ed), first == raSkip ? "甲甲" : "乙甲");
    // the caret stands after the match (or its replacement), so the next
    // search from the caret goes on with the next match
    EXPECT_EQ(Ed->GetCaretPos(), BC(3, 1));
    ans = Answers{{raReplace}, {}};
    EXPECT_EQ(Ed->FindReplace(A("甲"), A("乙"), {sfReplace, sfPromptOnReplace}), 1);
    EXPECT_EQ(ans.Asked, (std::vector<TBufferCoord>{{3, 1}}));
  }

  // cancel: the count includes the cancelled match, which stays selected
  SetText("ab ab ab");
  ans = Answers{{raReplace, raCancel}, {}};
  EXPECT_EQ(Ed->FindReplace("ab", "c", {sfReplace, sfReplaceAll, sfPromptOnReplace}), 2);
  EXPECT_EQ(Joined(Ed), "c ab ab");
  EXPECT_EQ(Ed->GetSelectionStart(), BC(3, 1));
  EXPECT_EQ(Sel(), "ab");

  // skipping a match whose replacement would be longer: later matches on the
  // line are still replaced at their right places
  SetText("甲甲甲");
  ans = Answers{{raSkip, raReplace, raSkip}, {}};
  EXPECT_EQ(Ed->FindReplace(A("甲"), A("乙丙"), {sfReplaceAll, sfPromptOnReplace}), 3);
  EXPECT_EQ(Joined(Ed), "甲乙丙甲");
  EXPECT_EQ(ans.Asked, (std::vector<TBufferCoord>{{1, 1}, {3, 1}, {7, 1}}));
}

TEST_F(FindTest, SelectedOnlyAreas) {
  // normal selection: matches must lie inside it
  SetText("ab ab ab ab");
  Ed->SetSelectionStart(BC(2, 1));
  Ed->SetSelectionEnd(BC(9, 1));
  EXPECT_EQ(Ed->FindReplace("ab", "X", {sfReplaceAll, sfSelectedOnly}), 2);
  EXPECT_EQ(Joined(Ed), "ab X X ab");

  // line selection: whole lines, even where the selection ends mid-line;
  // only the matches are replaced, not their lines
  SetText("甲乙|甲乙|甲乙");
  Ed->SetSelectionMode(smLine);
  Ed->SetSelectionStart(BC(3, 1));
  Ed->SetSelectionEnd(BC(1, 2));
  EXPECT_EQ(Ed->FindReplace(A("乙"), "z", {sfReplaceAll, sfSelectedOnly}), 2);
  EXPECT_EQ(Joined(Ed), "甲z|甲z|甲乙");

  // column selection: only matches inside the columns
  SetText("abab|abab|abab");
  Ed->SetSelectionMode(smColumn);
  Ed->SetSelectionStart(BC(3, 1));
  Ed->SetSelectionEnd(BC(5, 2));
  EXPECT_EQ(Ed->FindReplace("ab", "X", {sfReplaceAll, sfSelectedOnly}), 2);
  EXPECT_EQ(Joined(Ed), "abX|abX|abab");
  Ed->SetSelectionMode(smNormal);
}

TEST_F(FindTest, ReplacingWorksOnAReadOnlyEditorAndErrorsRestoreState) {
  SetText("甲乙甲");
  Ed->SetReadOnlyProp(true);
  EXPECT_EQ(Ed->FindReplace(A("甲"), "z", {sfReplaceAll}), 2);
  EXPECT_EQ(Joined(Ed), "z乙z");
  Ed->SetReadOnlyProp(false);

  // a failing prompt handler: the exception propagates and paint lock,
  // undo group and the transient state come back
  struct Thrower {
    void Ask(TObject*, const AnsiString&, const AnsiString&, int, int, TTxtReplaceAction& A) {
      A = raReplaceAll;
      throw Exception("stop");
    }
  } thrower;
  struct Transients {
    std::vector<TTransientType> Seen;
    void Paint(TObject*, TCanvas*, TTransientType T) { Seen.push_back(T); }
  } trans;
  Ed->OnReplaceText = TReplaceTextEvent(&thrower, &Thrower::Ask);
  Ed->OnPaintTransient = TPaintTransient(&trans, &Transients::Paint);
  SetText("ab ab");
  EXPECT_THROW(Ed->FindReplace("ab", "c", {sfReplace, sfPromptOnReplace}), Exception);
  EXPECT_EQ(Ed->PaintLock(), 0);
  EXPECT_EQ(Ed->UndoList()->GroupDepth(), 0);
  ASSERT_FALSE(trans.Seen.empty());
  EXPECT_EQ(trans.Seen.back(), ttAfter);
  // a bad regular expression raises the engine's error
  Ed->OnReplaceText = nullptr;
  Ed->SetSearchEngine(Regex);
  EXPECT_THROW(Ed->FindReplace("a(", "", {}), Exception);
  EXPECT_EQ(Ed->PaintLock(), 0);
}

}  // namespace
