// The completion list: the item text format, drawing with columns, filtering,
// selection, keys and wheel in the list, placement, and the list attached to
// an editor (shortcut, insertion, end characters, the timer, detaching).
#include "editor/txtcompletion.h"

#include <gtest/gtest.h>

#include "editor/tests/edfixture.h"
#include "platform/classes/filer.h"
#include "platform/gdi/tests/refimage.h"

namespace {

// The chunks of an item text as a compact description.
std::string Chunks(const char* Text) {
  TFormatChunkList list;
  ParseItemText(Text, list, {});
  std::string r;
  for (const TFormatChunk& c : list) {
    if (!r.empty()) r += ",";
    switch (c.Kind) {
      case fkText: r += "T:" + c.Str; break;
      case fkColor: r += "C:" + std::to_string(c.Data); break;
      case fkStyle: r += std::string("S:") + (c.StyleAction > 0 ? "+" : c.StyleAction < 0 ? "-" : "~") + c.StyleLetter; break;
      case fkColumn: r += "|"; break;
      case fkHSpace: r += "H:" + std::to_string(c.Data); break;
      case fkImage: r += "I:" + std::to_string(c.Data); break;
    }
  }
  return r;
}

TEST(ItemText, Parsing) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "T:plain"},
      {"\\style{+B}word\\style{-B}\\column{}second", "S:+B,T:word,S:-B,|,T:second"},
      {"a\\\\b", "T:a\\b"},                                  // a doubled backslash is one, the run stays open
      {"\\color{clRed}red\\color{$00FF00}green", "C:255,T:red,C:65280,T:green"},
      {"\\color{nonsense}x", "T:x"},                         // an unconvertible argument is skipped
      {"ab\\color{clRed", "T:ab"},                          // no closing brace: the rest is hidden
      {"ab\\column", "T:ab"},                               // no opening brace either
      {"\\STYLE{~u}\\Style{-s}\\style{+x}\\style{+bb}", "S:~U,S:-S"},
      {"\\hspace{5}\\image{2}\\image{x}\\column{x}", "H:5,I:2"},
      {"\\unknown{1}tail", "T:tail"},
      {"中文\\style{+B}粗", "T:中文,S:+B,T:粗"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Chunks(Utf8ToAnsi(text).c_str()), std::string(Utf8ToAnsi(expected)));
  }
  TFormatChunkList list;
  ParseItemText("\\color{clRed}a\\style{+B}b", list, {fkColor, fkStyle});
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Str + list[1].Str, "ab");
  EXPECT_EQ(PlainItemText("\\style{+B}if\\style{-B}\\column{}\\color{clBlue}then\\\\"), "ifthen\\");
  EXPECT_EQ(FormatParameters("a, b, \"c d\"", 1), "a \\style{~B}b\\style{~B} c d");
  EXPECT_EQ(FormatParameters("x,y", -1), "x y");
}

class ProposalTest : public EditorTest {
 protected:
  TTxtCompletionProposal* P = nullptr;
  void SetUp() override {
    EditorTest::SetUp();
    P = NewObject<TTxtCompletionProposal>(Form);
    P->SetEditor(Ed);
  }
  void SetItems(std::initializer_list<const char*> Items) {
    TStringList l;
    for (const char* s : Items) l.Add(A(s));
    P->SetItemList(&l);
  }
  TTxtBaseCompletionProposalForm* List() { return P->Form(); }
  std::vector<std::string> Shown() {
    std::vector<std::string> r;
    for (int i = 0; i < List()->ShownList()->Count(); ++i) r.push_back(U(List()->ShownList()->Get(i)));
    return r;
  }
  // Types text into the window that has the focus, one character message per byte.
  void Chars(const char* Utf8) {
    for (unsigned char c : A(Utf8)) SendMessageA(GetFocus(), WM_CHAR, c, 0);
    Pump();
  }
  // Places the caret and opens the list with the shortcut.
  void Open(int X, int Y = 1) {
    Ed->SetCaretXY(BC(X, Y));
    Key(VK_SPACE, HeadlessBackend::Ctrl);
  }
};

TEST_F(ProposalTest, BoldWordThenColumn) {
  TProposalColumn* col = P->Columns()->Add();
  col->SetBiggestWord("XXXXXXXX");
  auto draw = [&](TBitmap& b, bool Manual) {
    b.SetSize(300, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 300, 20});
    c->Font()->SetName("Arial");
    c->Font()->SetSize(10);
    c->Font()->SetColor(clBlack);
    if (!Manual) {
      DrawItemText(c, TRect{0, 0, 300, 20}, "\\style{+B}word\\style{-B}\\column{}second", nullptr, P->Columns(), false);
      return;
    }
    const int start = c->TextWidth("XXXXXXXX ");  // the column's width in the regular font
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->TextOut(0, 0, "word");
    c->Font()->SetStyle(TFontStyles{});
    c->TextOut(start, 0, "second");
  };
  TBitmap a, b;
  draw(a, false);
  draw(b, true);
  int differing = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 300; ++x) differing += a.Canvas()->Pixels(x, y) != b.Canvas()->Pixels(x, y);
  EXPECT_EQ(differing, 0);
  // the second word starts one column (biggest word and a blank) to the right
  TCanvas* c = a.Canvas();
  EXPECT_EQ(MeasureItemText(c, "\\column{}second", P->Columns(), nullptr),
            c->TextWidth("XXXXXXXX ") + c->TextWidth("second"));
  // with one column only the first column command moves
  EXPECT_EQ(MeasureItemText(c, "\\column{}\\column{}x", P->Columns(), nullptr),
            c->TextWidth("XXXXXXXX ") + c->TextWidth("x"));
  EXPECT_EQ(MeasureItemText(c, "\\column{}x", nullptr, nullptr), c->TextWidth("x"));
  EXPECT_EQ(MeasureItemText(c, "a\\hspace{7}b", nullptr, nullptr), c->TextWidth("a") + 7 + c->TextWidth("b"));
}

TEST_F(ProposalTest, FilteringAndHighlighting) {
  SetItems({"abc", "abd", "xyz"});
  SetText("ab");
  Open(3);
  ASSERT_TRUE(List()->Visible());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"abc", "abd"}));
  Chars("q");  // no item goes on with q: an empty list stays on screen
  EXPECT_TRUE(List()->Visible());
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Joined(Ed), "abq");
  Key(VK_ESCAPE);
  EXPECT_FALSE(List()->Visible());

  // without limiting, all rows stay and the first match is highlighted
  P->SetOptions(P->Options() - TTxtCompletionOptions{scoLimitToMatchedText});
  SetText("x");
  Open(2);
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(List()->SelectedIndex(), 2);
  Key(VK_ESCAPE);
}

TEST_F(ProposalTest, ShortcutOpensAndEnterInserts) {
  P->SetShortCut(ShortCut(VK_F9, {}));
  P->SetTitle(A("标题"));
  SetItems({"beta", "alphabet", "alpine"});
  SetText("x alp y");
  Ed->SetCaretXY(BC(6, 1));
  Key(VK_F9);
  ASSERT_TRUE(List()->Visible());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"alphabet", "alpine"}));
  EXPECT_EQ(GetFocus(), List()->Handle());
  Key(VK_DOWN);
  EXPECT_EQ(List()->SelectedIndex(), 1);
  Key(VK_RETURN);
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "x alpine y");
  EXPECT_EQ(Ed->GetCaretPos(), BC(9, 1));
  EXPECT_FALSE(Ed->HasSelection());
  EXPECT_EQ(GetFocus(), Ed->Handle());
  Ed->Undo();  // one undo step
  EXPECT_EQ(Joined(Ed), "x alp y");
}

TEST_F(ProposalTest, TheShortcutCharacterIsNotTyped) {
  SetItems({"alpha"});
  SetText("al");
  Open(3);
  ASSERT_TRUE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "al");
  Key(VK_ESCAPE);
  Chars(" ");  // the next key after the list is typed again
  EXPECT_EQ(Joined(Ed), "al ");
}

TEST_F(ProposalTest, AcceptingMidWordAndWithEndCharacters) {
  SetItems({"println", "printf"});
  // Enter in the middle of a word replaces the word up to its end
  SetText("prinxyz");
  Open(5);
  Key(VK_RETURN);
  EXPECT_EQ(Joined(Ed), "println");
  // Tab accepts as Enter does
  SetText("pri");
  Open(4);
  Key(VK_DOWN);
  Key(VK_TAB);
  EXPECT_EQ(Joined(Ed), "printf");
  // an opening parenthesis replaces only up to the caret and is typed after
  SetText("prinxyz");
  Open(5);
  Chars("(");
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "println(xyz");
  EXPECT_EQ(Ed->GetCaretPos(), BC(9, 1));
  // without end-character completion the typed word stays
  P->SetOptions(P->Options() - TTxtCompletionOptions{scoEndCharCompletion});
  SetText("prin");
  Open(5);
  Chars("(");
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "prin(");
}

TEST_F(ProposalTest, InsertListAndHanziWords) {
  // the list shows one text and inserts another, as the application's list does
  TStringList items, inserts;
  items.Add(A("问候：欢迎光临"));
  items.Add(A("告别：再见"));
  inserts.Add(A("欢迎光临"));
  inserts.Add(A("再见"));
  P->SetItemList(&items);
  P->SetInsertList(&inserts);
  P->SetOptions(P->Options() + TTxtCompletionOptions{scoUseInsertList});
  P->SetOptions(P->Options() - TTxtCompletionOptions{scoLimitToMatchedText});
  SetText("他说再");
  Open(7);
  ASSERT_TRUE(List()->Visible());
  EXPECT_EQ(U(List()->TypedText()), "他说再");  // the hanzi run is one word
  EXPECT_EQ(P->CompletionStart(), 1);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(Joined(Ed), "再见");
  // a word ended by a bracket byte that is the second byte of a character stays whole
  SetText("x \x81[ab");  // 0x81 0x5B is one character
  Ed->Lines()->Put(0, "x \x81[ab");
  Ed->SetCaretXY(BC(7, 1));
  EXPECT_EQ(P->WordBeforeCaret(Ed), AnsiString("\x81[ab"));
}

TEST_F(ProposalTest, BackspaceAndArrowsInTheList) {
  SetItems({"alpha", "alto"});
  SetText("al");
  Open(3);
  Chars("p");
  EXPECT_EQ(Shown(), (std::vector<std::string>{"alpha"}));
  Key(VK_BACK);  // drops the typed character in the list and in the editor
  EXPECT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Joined(Ed), "al");
  EXPECT_TRUE(List()->Visible());
  Key(VK_ESCAPE);
  // Backspace with nothing typed deletes before the caret and closes the list
  SetText("x ");
  Open(3);
  ASSERT_TRUE(List()->Visible());
  Key(VK_BACK);
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "x");
  // Right takes the character at the caret into the typed text
  SetText("alt");
  Open(3);
  Key(VK_RIGHT);
  EXPECT_EQ(U(List()->TypedText()), "alt");
  EXPECT_EQ(Shown(), (std::vector<std::string>{"alto"}));
  EXPECT_EQ(Ed->GetCaretPos(), BC(4, 1));
  Key(VK_ESCAPE);
}

TEST_F(ProposalTest, WheelAndMouseSelect) {
  SetItems({"a1", "a2", "a3", "a4", "a5"});
  SetText("a");
  Open(2);
  Key(VK_DOWN);
  EXPECT_EQ(List()->SelectedIndex(), 1);
  const TPoint center = List()->ClientToScreen(TPoint{10, 10});
  hb->Wheel(center.x, center.y, WHEEL_DELTA);  // up by three lines: stops at the first row
  Pump();
  EXPECT_EQ(List()->SelectedIndex(), 0);
  hb->Wheel(center.x, center.y, -WHEEL_DELTA / 2);  // half a notch: nothing yet
  Pump();
  EXPECT_EQ(List()->SelectedIndex(), 0);
  hb->Wheel(center.x, center.y, -WHEEL_DELTA / 2);
  Pump();
  EXPECT_EQ(List()->SelectedIndex(), 3);
  const TPoint row3 = List()->ClientToScreen(TPoint{10, List()->TitleHeight() + 2 * List()->RowHeight() + 1});
  hb->Click(row3.x, row3.y);
  Pump();
  EXPECT_EQ(List()->SelectedIndex(), 2);
  Key(VK_END);
  EXPECT_EQ(List()->SelectedIndex(), 4);
  Key(VK_HOME);
  EXPECT_EQ(List()->SelectedIndex(), 0);
  Key(VK_DOWN, HeadlessBackend::Ctrl);
  EXPECT_EQ(List()->SelectedIndex(), 4);
  Key(VK_ESCAPE);
}

TEST_F(ProposalTest, PlacementNearTheScreenEdges) {
  SetItems({"one", "two"});
  SetText("o");
  // an editor near the bottom of the screen: the list opens above the caret line
  Form->SetBounds(1700, 1000, 300, 170);
  Pump();
  Ed->SetBounds(0, 0, 280, 140);
  Open(2);
  ASSERT_TRUE(List()->Visible());
  const TPoint caret = Ed->ClientToScreen(Ed->DisplayPosToPixels(Ed->GetDisplayCaret()));
  EXPECT_EQ(List()->Top(), caret.y - List()->Height() - 2);
  EXPECT_LE(List()->Left() + List()->Width(), 1920);
  Key(VK_ESCAPE);
  Form->SetBounds(40, 40, 480, 360);
  Open(2);
  EXPECT_EQ(List()->Top(), caret.y - 1000 + 40 + Ed->LineHeight());
  Key(VK_ESCAPE);
}

TEST_F(ProposalTest, ReadOnlyEmptyAndVetoedListsDoNotOpen) {
  SetItems({"alpha"});
  SetText("al");
  Ed->SetReadOnlyProp(true);
  Open(3);
  EXPECT_FALSE(List()->Visible());
  Ed->SetReadOnlyProp(false);
  struct Veto {
    void Exec(TTxtCompletionType, TObject*, AnsiString&, int&, int&, bool& Can) { Can = false; }
  } veto;
  P->OnExecute = TCompletionExecute(&veto, &Veto::Exec);
  Open(3);
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(Joined(Ed), "al ");  // nothing opened, so the shortcut's blank is typed
  P->OnExecute = nullptr;
  SetItems({});
  Open(3);
  EXPECT_FALSE(List()->Visible());
}

struct Cancels {
  int N = 0;
  void Cancelled(TObject*) { ++N; }
};

TEST_F(ProposalTest, DetachingTheServedEditorClosesTheList) {
  SetItems({"alpha"});
  SetText("al");
  Cancels c;
  P->OnCancelled = TNotifyEvent(&c, &Cancels::Cancelled);
  Open(3);
  ASSERT_TRUE(List()->Visible());
  P->DetachEditor(Ed);
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(c.N, 1);
  EXPECT_EQ(P->Editor(), nullptr);
  EXPECT_EQ(Ed->CommandHookCount(), 0);
  // an editor that is freed while the list serves it is forgotten
  TTxtEdit* other = AddEditor(0, 0, 200, 100);
  P->AttachEditor(other);
  other->SetFocus();
  other->Lines()->SetText("al");
  other->SetCaretXY(BC(3, 1));
  Key(VK_SPACE, HeadlessBackend::Ctrl);
  ASSERT_TRUE(List()->Visible());
  delete other;
  Pump();
  EXPECT_FALSE(List()->Visible());
  EXPECT_EQ(P->EditorCount(), 0);
}

TEST_F(ProposalTest, TimerOpensAfterATriggerCharacter) {
  P->SetOptions(P->Options() + TTxtCompletionOptions{scoUseBuiltInTimer});
  P->SetTimerInterval(500);
  SetItems({"Length", "Left"});
  SetText("s");
  Ed->SetCaretXY(BC(2, 1));
  Chars(".");
  ASSERT_NE(P->Timer(), nullptr);
  EXPECT_TRUE(P->Timer()->Enabled());
  hb->AdvanceClock(499);
  Pump();
  EXPECT_FALSE(List()->Visible());
  hb->AdvanceClock(2);
  Pump();
  EXPECT_TRUE(List()->Visible());
  EXPECT_EQ(P->PreviousToken, "s");
  Key(VK_ESCAPE);
  // another key before the interval cancels the pending opening
  Chars(".");
  EXPECT_TRUE(P->Timer()->Enabled());
  Chars("x");
  EXPECT_FALSE(P->Timer()->Enabled());
  hb->AdvanceClock(1000);
  Pump();
  EXPECT_FALSE(List()->Visible());
  P->SetOptions(P->Options() - TTxtCompletionOptions{scoUseBuiltInTimer});
  EXPECT_EQ(P->Timer(), nullptr);
}

TEST_F(ProposalTest, HintKindsShowWithoutActivation) {
  P->SetDefaultType(ctParams);
  SetItems({"x, y, z"});
  SetText("f(");
  Ed->SetCaretXY(BC(3, 1));
  P->ShowForEditor(Ed);
  ASSERT_TRUE(List()->Visible());
  EXPECT_EQ(GetFocus(), Ed->Handle());
  EXPECT_EQ(List()->Height(), List()->RowHeight() + 2 + 2 * List()->Margin());
  Chars("a");  // a parameter box follows editing and stays
  EXPECT_TRUE(List()->Visible());
  Ed->RunCommand(ecChar, char(VK_ESCAPE), nullptr);
  EXPECT_FALSE(List()->Visible());
}

TEST_F(ProposalTest, ListPicture) {
  // the look of the auto-complete lookup: a title, bold tokens and a second
  // column of descriptions, the second row selected
  P->SetTitle(A("标题"));
  P->SetOptions(P->Options() + TTxtCompletionOptions{scoUsePrettyText});
  P->SetNbLinesInWindow(4);
  P->SetWidth(200);
  P->Columns()->Add()->SetBiggestWord("XXXXXXXX");
  SetItems({"\\style{+B}hx\\style{-B}\\column{}欢迎光临", "\\style{+B}hy\\style{-B}\\column{}\\color{clRed}红色说明",
            "\\style{+B}hz\\style{-B}\\column{}第三项", "\\style{+B}ia\\style{-B}\\column{}ia", "\\style{+B}ib\\style{-B}\\column{}ib"});
  SetText("");
  Open(1);
  ASSERT_TRUE(List()->Visible());
  Key(VK_DOWN);
  Pump();
  PvWindowImage img = PvCaptureWindow(List()->Handle());
  TRawImage r;
  r.Width = img.width;
  r.Height = img.height;
  r.Pixels = img.pixels;
  EXPECT_TRUE(MatchesReference(r, "editor/tests/ref", "completion_list"));
  Key(VK_ESCAPE);
}

TEST_F(ProposalTest, PublishedPropertiesTravelInDescriptions) {
  P->SetName("Proposal1");
  P->SetShortCut(ShortCut(VK_F9, {}));
  P->SetTitle(A("标题"));
  P->SetNbLinesInWindow(12);
  P->SetOptions(TTxtCompletionOptions{scoUseInsertList, scoCompleteWithEnter});
  SetItems({"one", "two"});
  P->Columns()->Add()->SetBiggestWord("WWW");
  P->Columns()->Add()->SetDefaultFontStyle(TFontStyles{fsBold});
  const AnsiString text = WriteComponentToText(P);
  EXPECT_NE(text.find("ShortCut = 120"), AnsiString::npos) << text;
  EXPECT_NE(text.find("NbLinesInWindow = 12"), AnsiString::npos) << text;
  EXPECT_NE(text.find("BiggestWord = 'WWW'"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Width"), AnsiString::npos) << text;
  P->SetName("");
  auto* b = NewObject<TTxtCompletionProposal>(Form);
  ReadComponentFromText(text, b);
  EXPECT_EQ(b->ShortCut(), ShortCut(VK_F9, {}));
  EXPECT_EQ(b->Title(), A("标题"));
  EXPECT_EQ(b->NbLinesInWindow(), 12);
  EXPECT_EQ(b->Options(), (TTxtCompletionOptions{scoUseInsertList, scoCompleteWithEnter}));
  EXPECT_EQ(b->ItemList()->Count(), 2);
  ASSERT_EQ(b->Columns()->Count(), 2);
  EXPECT_EQ(b->Columns()->Items(0)->BiggestWord(), "WWW");
  EXPECT_EQ(b->Columns()->Items(1)->DefaultFontStyle(), TFontStyles{fsBold});
  EXPECT_EQ(b->Columns()->Items(1)->BiggestWord(), "CONSTRUCTOR");
}

}  // namespace
