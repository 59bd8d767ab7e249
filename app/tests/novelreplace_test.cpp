// Novel-wide replace: the replace engine on texts, then the story window's
// command on a real story file, with one pair and with a list of pairs, each
// checked in the file as another program would read it.
#include "app/novelreplace.h"

#include "app/tests/storytest.h"
#include "editor/txteditsearch.h"

namespace {

class NovelReplaceTest : public StoryTest {
 protected:
  std::string Column(const std::string& Field, int Id) {
    return Query("SELECT " + Field + " FROM Story1 WHERE tid = " + std::to_string(Id));
  }
  int Selected() {
    auto* n = dynamic_cast<TkxDBTreeNode*>(W->FolderTree->Selected());
    return n ? n->RecordKey().AsInteger() : 0;
  }
  // Answers the next replace dialog: Fill sets it up, then the button is clicked.
  static void AnswerReplace(std::function<void(TReplaceForm*)> Fill, TModalResult Button) {
    PushModalScript([=](TCustomForm* Form) {
      auto* f = dynamic_cast<TReplaceForm*>(Form);
      ASSERT_NE(f, nullptr);
      Fill(f);
      switch (Button) {
        case kReplacePair: f->Button1->Click(); break;
        case kClosePair: f->BitBtn1->Click(); break;
        case kReplaceList: f->BitBtn2->Click(); break;
        default: f->BitBtn3->Click(); break;
      }
    });
  }
};

TEST(NovelReplaceEngine, ReplacesEveryMatchLineByLineWithoutSplittingACharacter) {
  const struct {
    const char *Text, *Find, *With;
    TTxtSearchFlags Options;
    const char* Result;
    int Count;
  } cases[] = {
      {"张三说：张三来了。", "张三", "李四", {}, "李四说：李四来了。", 2},
      {"甲乙甲", "甲", "甲甲", {}, "甲甲乙甲甲", 2},           // growing: inserted text is not searched again
      {"张三丰张三", "张三", "", {}, "丰", 2},                 // shrinking to nothing
      {"啊啊啊", "啊啊", "哦", {}, "哦啊", 1},                 // matches do not overlap
      {"Zhang zhang ZHANG", "zhang", "张", {}, "张 张 张", 3},  // Latin letters without case
      {"Zhang zhang", "zhang", "张", {sfMatchCase}, "Zhang 张", 1},
      {"cat concat", "cat", "猫", {sfWholeWord}, "猫 concat", 1},
      {"中文", "形", "X", {}, "中文", 0},   // 形 is the bytes where 中 ends and 文 begins
      {"癮a癮A", "a", "b", {}, "癮b癮b", 2},  // 癮's second byte is 'a'
      {"张三\r\n张三\n张三\r张三", "张三", "李四", {}, "李四\r\n李四\n李四\r李四", 4},  // breaks kept
      {"张三\r\n李四", "三\r\n李", "X", {}, "张三\r\n李四", 0},  // a match never spans a line break
      {"\r\n\r\n", "张", "李", {}, "\r\n\r\n", 0},
      {"张三", "", "李四", {}, "张三", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " / " + c.Find);
    AnsiString text = Utf8ToAnsi(c.Text);
    EXPECT_EQ(ReplaceAllInText(text, Utf8ToAnsi(c.Find), Utf8ToAnsi(c.With), c.Options), c.Count);
    EXPECT_EQ(AnsiToUtf8(text), c.Result);
  }
}

TEST(NovelReplaceEngine, TakesAnyEngineAndRunsPairsInListOrder) {
  TTxtEditRegexSearch regex(nullptr);
  regex.SetSearchOptions({});
  regex.SetFindText(Utf8ToAnsi("第(\\d+)章"));
  AnsiString text = Utf8ToAnsi("第1章\r\n第22章 完");
  EXPECT_EQ(ReplaceAllInText(regex, text, Utf8ToAnsi("卷$1")), 2);
  EXPECT_EQ(AnsiToUtf8(text), "卷1\r\n卷22 完");

  // Every row counts, rows without a find text are left out, and a later pair
  // works on what the earlier ones made.
  TStringList rows;
  rows.SetText(Utf8ToAnsi("甲=乙\r\n=丁\r\n乙=丙\r\n"));
  const TReplacePairs pairs = ReplacePairsOf(&rows);
  ASSERT_EQ(pairs.size(), 2u);
  AnsiString chain = Utf8ToAnsi("甲");
  EXPECT_EQ(ReplacePairsInText(chain, pairs), 2);
  EXPECT_EQ(AnsiToUtf8(chain), "丙");
}

TEST_F(NovelReplaceTest, OnePairChangesBodiesAndDesignNotesOfEveryNodeButNotMaterial) {
  AddNodes({{1, 0, "甲"}, {2, 1, "乙"}, {3, 0, "丙"}});
  Sql("UPDATE Story1 SET ttext2 = '张三走了。' || char(13, 10) || '张三又来了。', ttext1 = '张三的设计', "
      "ttext6 = '张三的素材' WHERE tid = 1");
  Sql("UPDATE Story1 SET ttext2 = '王五', ttext1 = NULL, ttext6 = '张三' WHERE tid = 2");
  Sql("UPDATE Story1 SET ttext2 = '张三丰', ttext1 = '张三' WHERE tid = 3");
  ASSERT_NE(Open(), nullptr);
  W->FolderTree->FullExpand();
  NodeOf(W->FolderTree, 3)->SetSelected(true);
  Pump();
  W->Text1TxtEdit->SetFocus();
  Pump();
  // The selection of the current editor is offered as the find text.
  W->Text1TxtEdit->SetCaretXY(TBufferCoord{5, 1});
  W->Text1TxtEdit->SetSelectionStart(TBufferCoord{1, 1});
  W->Text1TxtEdit->SetSelectionEnd(TBufferCoord{5, 1});
  ASSERT_EQ(W->Text1TxtEdit->CaretX(), 5);
  ASSERT_EQ(LibDataModule->CurrentEditor, W->Text1TxtEdit);
  ASSERT_EQ(U8(W->Text1TxtEdit->GetSelText()), "张三") << U8(W->Text1TxtEdit->Text());
  std::string offered;
  AnswerReplace(
      [&](TReplaceForm* f) {
        offered = U8(f->cbSearchText->Text());
        f->cbReplaceText->SetText(A("李四"));
      },
      kReplacePair);
  W->kxBarButton18Click(nullptr);
  EXPECT_EQ(offered, "张三");
  EXPECT_EQ(Column("ttext2", 1), "李四走了。\r\n李四又来了。");
  EXPECT_EQ(Column("ttext1", 1), "李四的设计");
  EXPECT_EQ(Column("ttext6", 1), "张三的素材");
  EXPECT_EQ(Column("ttext2", 2), "王五");
  EXPECT_EQ(Column("ifnull(ttext1, 'null')", 2), "null");  // an untouched record keeps its empty field
  EXPECT_EQ(Column("ttext6", 2), "张三");
  EXPECT_EQ(Column("ttext2 || '|' || ttext1", 3), "李四丰|李四");
  // The node, the editors' texts and the caret are as before.
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(U8(W->Text1TxtEdit->Text()), "李四丰");
  EXPECT_EQ(W->Text1TxtEdit->CaretX(), 5);
  // Both texts went into the histories.
  EXPECT_EQ(U8(ReplaceForm->cbSearchText->Items()->Get(0)), "张三");
  EXPECT_EQ(U8(ReplaceForm->cbReplaceText->Items()->Get(0)), "李四");

  // Blanks only, or the close buttons, replace nothing.
  const struct {
    TModalResult Button;
    const char* Find;
  } closes[] = {{kReplacePair, "   "}, {kClosePair, "李四"}, {kCloseList, "李四"}};
  for (const auto& c : closes) {
    SCOPED_TRACE(c.Button);
    AnswerReplace(
        [&](TReplaceForm* f) {
          f->cbSearchText->SetText(A(c.Find));
          f->cbReplaceText->SetText(A("X"));
          f->ValueListEditor1->Strings()->SetText(A("李四=X\r\n"));
        },
        c.Button);
    W->kxBarButton18Click(nullptr);
    EXPECT_EQ(Column("ttext2", 3), "李四丰");
    EXPECT_EQ(Selected(), 3);
  }
  ClearModalScript();
}

TEST_F(NovelReplaceTest, TheListRunsEveryRowInOrderAlsoThoseOutOfSight) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  Sql("UPDATE Story1 SET ttext2 = '甲', ttext1 = '戊' WHERE tid = 1");
  Sql("UPDATE Story1 SET ttext2 = '乙和甲', ttext1 = '' WHERE tid = 2");
  ASSERT_NE(Open(), nullptr);
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  Pump();
  int visible = 0;
  AnswerReplace(
      [&](TReplaceForm* f) {
        f->PageControl1->SetActivePage(f->TabSheet2);
        TStrings* rows = f->ValueListEditor1->Strings();
        rows->Clear();
        rows->Add(A("甲=乙"));
        rows->Add(A("乙=丙"));
        for (int i = 0; i < 40; ++i) rows->Add("filler" + IntToStr(i) + "=x");
        rows->Add(A("戊=己"));  // far below what the list shows
        visible = f->ValueListEditor1->VisibleRowCount();
      },
      kReplaceList);
  W->kxBarButton18Click(nullptr);
  EXPECT_LT(visible, 43);
  EXPECT_EQ(Column("ttext2 || '|' || ttext1", 1), "丙|己");
  EXPECT_EQ(Column("ttext2", 2), "丙和丙");
  EXPECT_EQ(Selected(), 2);
  // The dialog keeps its list and its page for the next use.
  EXPECT_EQ(ReplaceForm->ValueListEditor1->Strings()->Count(), 43);
  EXPECT_EQ(ReplaceForm->PageControl1->ActivePage(), ReplaceForm->TabSheet2);
  ClearModalScript();
}

}  // namespace
