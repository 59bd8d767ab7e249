// Mouse, wheel, input method and focus input; the key and mouse chains and
// focus controls; the command pipeline with its events and hooks; the
// clipboard and the private block; drag and drop within and between editors;
// dropped files.
#include <gtest/gtest.h>

#include "editor/tests/edfixture.h"

namespace {

class InputTest : public EditorTest {
 protected:
  // Screen point of the middle of display cell (Col, Row) of an editor.
  // Long enough after the last click that the next press is no double click.
  void Later() { hb->AdvanceClock(2000); }
  TPoint Cell(TCustomTxtEdit* E, int Col, int Row) {
    TPoint p = E->DisplayPosToPixels(TBufferCoord{Col, Row});
    return E->ClientToScreen(TPoint{p.x + E->CharWidth() / 2, p.y + E->LineHeight() / 2});
  }
  TPoint Cell(int Col, int Row) { return Cell(Ed, Col, Row); }
};

// ---------------------------------------------------------------- mouse

TEST_F(InputTest, ClickAndDragSelect) {
  SetText("hello world|second");
  const TPoint a = Cell(3, 1), b = Cell(4, 2);
  hb->Click(a.x, a.y);
  Pump();
  EXPECT_EQ(Ed->GetCaretPos(), BC(3, 1));
  Later();
  hb->Drag(a.x, a.y, b.x, b.y);
  Pump();
  EXPECT_EQ(U(Ed->GetSelText()), "llo world\r\nsec");
  const TPoint c = Cell(8, 1);
  Later();
  hb->DoubleClick(c.x, c.y);
  Pump();
  EXPECT_EQ(U(Ed->GetSelText()), "world");
  Later();
  hb->KeyDown(VK_SHIFT);
  const TPoint d = Cell(2, 2);
  hb->Click(d.x, d.y);
  hb->KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Ed->GetSelectionEnd(), BC(2, 2));
}

TEST_F(InputTest, PressInsideTheSelectionCollapsesOrDrags) {
  SetText("hello world");
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(6, 1));
  const TPoint p = Cell(3, 1);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(Ed->HasSelection());
  EXPECT_EQ(Ed->GetCaretPos(), BC(3, 1));
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(6, 1));
  Later();
  hb->MouseDown(p.x, p.y);
  hb->MouseMove(p.x + GetSystemMetrics(SM_CXDRAG) + 1, p.y);
  Pump();
  EXPECT_EQ(DragControl(), Ed);
  hb->MouseUp(p.x + GetSystemMetrics(SM_CXDRAG) + 1, p.y);
  Pump();
  EXPECT_EQ(DragControl(), nullptr);
}

struct GutterClicks {
  std::vector<std::pair<TMouseButton, int>> Calls;
  void Click(TObject*, TMouseButton B, int, int, int Line, TTxtEditMark*) { Calls.push_back({B, Line}); }
};

TEST_F(InputTest, GutterClicks) {
  SetText("a|b|c");
  GutterClicks log;
  Ed->OnGutterClick = TGutterClickEvent(&log, &GutterClicks::Click);
  const int y = Ed->ClientToScreen(TPoint{0, Ed->LineHeight() + 2}).y;
  const int inside = Ed->ClientToScreen(TPoint{Ed->GutterWidth() + 1, 0}).x;
  const int left = Ed->ClientToScreen(TPoint{Ed->GutterWidth() - 5, 0}).x;
  hb->MouseDown(inside, y);
  hb->MouseUp(left, y);  // released left of the gutter's edge: a click
  Pump();
  ASSERT_EQ(log.Calls.size(), 1u);
  EXPECT_EQ(log.Calls[0].second, 2);
  hb->Click(inside, y);  // released at the same place: none
  Pump();
  EXPECT_EQ(log.Calls.size(), 1u);
  hb->MouseDown(left, y, HeadlessBackend::Right);  // the right button at once
  Pump();
  ASSERT_EQ(log.Calls.size(), 2u);
  EXPECT_EQ(log.Calls[1].first, mbRight);
  hb->MouseUp(left, y, HeadlessBackend::Right);
  Pump();
}

TEST_F(InputTest, RightPressMovesTheCaretOnlyOutsideTheSelection) {
  SetText("hello world");
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoRightMouseMovesCursor});
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(6, 1));
  Ed->SetCaretX(6);
  const TPoint in = Cell(2, 1), out = Cell(9, 1);
  hb->Click(in.x, in.y, HeadlessBackend::Right);
  Pump();
  EXPECT_TRUE(Ed->HasSelection());
  EXPECT_EQ(Ed->GetCaretPos(), BC(6, 1));
  hb->Click(out.x, out.y, HeadlessBackend::Right);
  Pump();
  EXPECT_FALSE(Ed->HasSelection());
  EXPECT_EQ(Ed->GetCaretPos(), BC(9, 1));
}

TEST_F(InputTest, AltPressChoosesColumnMode) {
  SetText("abcdef|abcdef");
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoAltSetsColumnMode});
  const TPoint p = Cell(2, 1);
  hb->KeyDown(VK_MENU);
  hb->Click(p.x, p.y);
  hb->KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(Ed->SelectionMode(), smColumn);
  Later();
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(Ed->SelectionMode(), smNormal);
}

TEST_F(InputTest, WheelNotchesAccumulate) {
  AnsiString t;
  for (int i = 0; i < 100; ++i) t += "x\r\n";
  Ed->Lines()->SetText(t);
  Ed->SetTopLine(20);
  const TPoint p = Cell(1, 20);
  hb->Wheel(p.x, p.y, -60);
  Pump();
  EXPECT_EQ(Ed->TopLine(), 20);
  hb->Wheel(p.x, p.y, -60);
  Pump();
  EXPECT_EQ(Ed->TopLine(), 23);
}

TEST_F(InputTest, InputMethodResultIsInsertedOnceAndItsCharactersSwallowed) {
  SetText("ab");
  Ed->SetCaretXY(BC(2, 1));
  hb->ComposeText("zhong");
  hb->CommitText("中文");
  Pump();
  EXPECT_EQ(Joined(Ed), "a中文b");
  EXPECT_EQ(Ed->PendingImeChars(), 0);  // the four character messages came and went
  EXPECT_EQ(Ed->GetCaretPos(), BC(6, 1));
  // the composition window follows the caret
  POINT caret;
  GetCaretPos(&caret);
  RECT ime = hb->ImeCaret();
  EXPECT_EQ(ime.left, Ed->ClientToScreen(TPoint{caret.x, caret.y}).x);
}

// ---------------------------------------------------------------- chains and focus

struct ChainLog {
  std::vector<std::string> Calls;
  bool Eat = false;
  void A(TObject*, Word& Key, TShiftState) { Calls.push_back("A"); }
  void B(TObject*, Word& Key, TShiftState) {
    Calls.push_back("B");
    if (Eat) Key = 0;
  }
  void Mouse(TObject*, TMouseButton, TShiftState, int, int) { Calls.push_back("mouse"); }
};

TEST_F(InputTest, KeyChainsRunNewestFirstAndCanEatTheKey) {
  SetText("abc");
  Ed->SetCaretXY(BC(1, 1));
  ChainLog log;
  Ed->HookKeyDown(TKeyEvent(&log, &ChainLog::A));
  Ed->HookKeyDown(TKeyEvent(&log, &ChainLog::B));
  Key(VK_RIGHT);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(Ed->CaretX(), 2);
  log.Calls.clear();
  log.Eat = true;
  Key(VK_RIGHT);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"B"}));
  EXPECT_EQ(Ed->CaretX(), 2);  // no command ran
  Ed->HookMouseDown(TMouseEvent(&log, &ChainLog::Mouse));
  Ed->HookMouseDown(TMouseEvent(&log, &ChainLog::Mouse));
  Ed->UnhookMouseDown(TMouseEvent(&log, &ChainLog::Mouse));
  Ed->UnhookKeyPress(TKeyPressEvent());  // never added: nothing happens
  log.Calls.clear();
  const TPoint p = Cell(1, 1);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"mouse"}));
}

TEST_F(InputTest, FocusControlsTakeTheFocus) {
  auto* list = new TBox(Form);
  list->SetParent(Form);
  list->SetBounds(300, 0, 50, 50);
  Ed->RegisterFocusControl(list);
  Ed->SetFocus();
  Pump();
  EXPECT_TRUE(list->Focused());
  Ed->UnregisterFocusControl(list);
  Ed->SetFocus();
  Pump();
  EXPECT_TRUE(Ed->Focused());
}

// ---------------------------------------------------------------- the command pipeline

struct PipelineLog {
  std::vector<std::string> Calls;
  bool Cancel = false, Handle = false;
  void Process(TObject*, TTxtEditorCommand& C, char&, void*) {
    Calls.push_back("process " + std::to_string(C));
    if (Cancel) C = ecNone;
  }
  void Processed(TObject*, TTxtEditorCommand& C, char&, void*) { Calls.push_back("processed " + std::to_string(C)); }
  void Hook(TObject*, bool After, bool& Handled, TTxtEditorCommand& C, char&, void*, void* Data) {
    Calls.push_back(std::string(After ? "after " : "before ") + static_cast<const char*>(Data));
    if (Handle) Handled = true;
  }
  void Changed(TObject*) { Calls.push_back("change"); }
};

TEST_F(InputTest, CommandsPassEventsAndHooks) {
  SetText("abc");
  Ed->SetCaretXY(BC(1, 1));
  PipelineLog log;
  Ed->OnProcessCommand = TProcessCommandEvent(&log, &PipelineLog::Process);
  Ed->OnCommandProcessed = TProcessCommandEvent(&log, &PipelineLog::Processed);
  static char one[] = "one";
  Ed->AddCommandHook(THookedCommandEvent(&log, &PipelineLog::Hook), one);
  Ed->AddCommandHook(THookedCommandEvent(&log, &PipelineLog::Hook), one);  // once only
  EXPECT_EQ(Ed->CommandHookCount(), 1);
  Cmd(ecRight);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 2", "before one", "after one", "processed 2"}));
  EXPECT_EQ(Ed->CaretX(), 2);
  log.Calls.clear();
  log.Cancel = true;
  Cmd(ecRight);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 2", "processed 0"}));
  EXPECT_EQ(Ed->CaretX(), 2);
  log.Calls.clear();
  log.Cancel = false;
  log.Handle = true;
  Cmd(ecRight);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 2", "before one", "processed 0"}));
  EXPECT_EQ(Ed->CaretX(), 2);
  Ed->RemoveCommandHook(THookedCommandEvent(&log, &PipelineLog::Hook));
  EXPECT_EQ(Ed->CommandHookCount(), 0);
  Ed->OnProcessCommand = nullptr;
  Ed->OnCommandProcessed = nullptr;
  // one change notice per undo step
  log.Calls.clear();
  Ed->OnChange = TNotifyEvent(&log, &PipelineLog::Changed);
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(3, 1));
  Cmd(ecChar, 'x');  // deletes the selection and inserts, as one group
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"change"}));
}

TEST_F(InputTest, FocusChangesRunThroughThePipeline) {
  PipelineLog log;
  Ed->OnProcessCommand = TProcessCommandEvent(&log, &PipelineLog::Process);
  auto* other = new TBox(Form);
  other->SetParent(Form);
  other->SetBounds(300, 0, 50, 50);
  other->SetTabStop(true);
  other->SetFocus();
  Pump();
  Ed->SetFocus();
  Pump();
  EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 481", "process 480"}));
  Ed->OnProcessCommand = nullptr;
}

// ---------------------------------------------------------------- clipboard

TEST_F(InputTest, ColumnBlocksTravelWithTheirMode) {
  SetText("abcdef|ab");
  Ed->SetSelectionMode(smColumn);
  Ed->SetSelectionStart(BC(2, 1));
  Ed->SetSelectionEnd(BC(5, 2));
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoTrimTrailingSpaces});
  Ed->CopyToClipboard();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE block = GetClipboardData(TxtEditClipboardFormat());
  ASSERT_NE(block, nullptr);
  const char* p = static_cast<const char*>(GlobalLock(block));
  EXPECT_EQ(p[0], 2);
  EXPECT_STREQ(p + 1, "bcd\r\nb  ");  // padded even with trimming on
  GlobalUnlock(block);
  HANDLE text = GetClipboardData(CF_TEXT);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(text)), "bcd\r\nb  ");
  GlobalUnlock(text);
  CloseClipboard();
  TTxtEdit* other = AddEditor(0, 200, 300, 100);
  SetTextOf(other, "123|456|789");
  other->SetCaretXY(BC(2, 2));
  other->PasteFromClipboard();
  EXPECT_EQ(Joined(other), "123|4bcd56|7b  89");
  other->Undo();
  EXPECT_EQ(Joined(other), "123|456|789");
}

TEST_F(InputTest, TextFromOtherProgramsPastesInTheActiveMode) {
  hb->SetDesktopClipboardText("一\n二");
  Pump();
  SetText("ab|cd");
  Ed->SetCaretXY(BC(2, 1));
  Ed->PasteFromClipboard();
  EXPECT_EQ(Joined(Ed), "a一|二b|cd");
  Ed->Undo();
  EXPECT_EQ(Joined(Ed), "ab|cd");
  Ed->SetSelectionMode(smColumn);
  Ed->SetCaretXY(BC(2, 1));
  Ed->PasteFromClipboard();
  EXPECT_EQ(Joined(Ed), "a一b|c二d");
}

TEST_F(InputTest, PastingNothingChangesNothing) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  SetText("ab");
  EXPECT_FALSE(Ed->CanPaste());
  Ed->PasteFromClipboard();
  EXPECT_EQ(Joined(Ed), "ab");
  EXPECT_FALSE(Ed->UndoList()->HasItems());
}

TEST_F(InputTest, CutAndTheEditMessages) {
  SetText("hello world");
  Ed->SetSelectionStart(BC(1, 1));
  Ed->SetSelectionEnd(BC(7, 1));
  SendMessageA(Ed->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(Joined(Ed), "world");
  Ed->SetCaretXY(BC(6, 1));
  EXPECT_EQ(SendMessageA(Ed->Handle(), WM_PASTE, 0, 0), 1);
  EXPECT_EQ(Joined(Ed), "worldhello ");
  SendMessageA(Ed->Handle(), WM_UNDO, 0, 0);
  EXPECT_EQ(Joined(Ed), "world");
  char buf[4];
  EXPECT_EQ(SendMessageA(Ed->Handle(), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_STREQ(buf, "wor");
  SendMessageA(Ed->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x\r\ny"));
  EXPECT_EQ(Joined(Ed), "x|y");
  EXPECT_EQ(SendMessageA(Ed->Handle(), WM_GETTEXTLENGTH, 0, 0), 4);
}

// ---------------------------------------------------------------- drag and drop

class DragTest : public InputTest {
 protected:
  // Drags the selection of From with the mouse to cell (Col, Row) of To.
  void DragSelection(TCustomTxtEdit* From, TCustomTxtEdit* To, int Col, int Row, unsigned Modifier = 0) {
    const TBufferCoord s = From->GetSelectionStart();
    const TPoint a = Cell(From, From->TextPosToDisplayPos(s).Char, s.Line);
    const TPoint b = Cell(To, Col, Row);
    Later();
    hb->MouseDown(a.x, a.y);
    Pump();
    hb->MouseMove(a.x + 10, a.y + 3);
    Pump();
    hb->MouseMove(b.x, b.y);
    Pump();
    if (Modifier == HeadlessBackend::Ctrl) hb->KeyDown(VK_CONTROL);
    if (Modifier == HeadlessBackend::Shift) hb->KeyDown(VK_SHIFT);
    Pump();
    hb->MouseMove(b.x - Ed->CharWidth() / 2 + 1, b.y);
    Pump();
    hb->MouseUp(b.x - Ed->CharWidth() / 2 + 1, b.y);
    Pump();
    if (Modifier == HeadlessBackend::Ctrl) hb->KeyUp(VK_CONTROL);
    if (Modifier == HeadlessBackend::Shift) hb->KeyUp(VK_SHIFT);
    Pump();
  }
  void Select(TCustomTxtEdit* E, int From, int To) {
    E->SetSelectionStart(BC(From, 1));
    E->SetSelectionEnd(BC(To, 1));
  }
};

TEST_F(DragTest, WithinOneEditor) {
  SetText("one two three");
  Select(Ed, 1, 5);  // "one "
  DragSelection(Ed, Ed, 9, 1);  // before "three": moved
  EXPECT_EQ(Joined(Ed), "two one three");
  EXPECT_EQ(U(Ed->GetSelText()), "one ");
  Ed->Undo();  // both the source and the drop site in one step
  EXPECT_EQ(Joined(Ed), "one two three");
  Select(Ed, 1, 5);
  DragSelection(Ed, Ed, 9, 1, HeadlessBackend::Ctrl);  // copied
  EXPECT_EQ(Joined(Ed), "one two one three");
  Ed->Undo();
  Select(Ed, 5, 9);  // "two "
  DragSelection(Ed, Ed, 5, 1);  // onto its own first character: nothing
  EXPECT_EQ(Joined(Ed), "one two three");
}

TEST_F(DragTest, BetweenTwoEditors) {
  TTxtEdit* other = AddEditor(0, 200, 300, 80);
  SetText("alpha beta");
  SetTextOf(other, "xyz");
  Select(Ed, 1, 7);  // "alpha "
  DragSelection(Ed, other, 2, 1);  // copied by default
  EXPECT_EQ(Joined(other), "xalpha yz");
  EXPECT_EQ(Joined(Ed), "alpha beta");
  Select(Ed, 7, 11);  // "beta"
  DragSelection(Ed, other, 1, 1, HeadlessBackend::Shift);  // moved with Shift
  EXPECT_EQ(Joined(other), "betaxalpha yz");
  EXPECT_EQ(Joined(Ed), "alpha ");
  other->SetReadOnlyProp(true);
  Select(Ed, 1, 3);
  DragSelection(Ed, other, 1, 1);  // a read-only editor takes nothing
  EXPECT_EQ(Joined(other), "betaxalpha yz");
}

struct DroppedFiles {
  std::vector<std::string> Names;
  void Dropped(TObject*, int, int, TStrings* Files) {
    for (int i = 0; i < Files->Count(); ++i) Names.push_back(Files->Get(i));
  }
};

TEST_F(InputTest, DroppedFiles) {
  const TPoint p = Cell(1, 1);
  hb->DropFiles(p.x, p.y, {"/tmp/a.txt"});  // not accepted yet: nothing arrives
  Pump();
  DroppedFiles log;
  Ed->OnDropFiles = TDropFilesEvent(&log, &DroppedFiles::Dropped);
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoDropFiles});  // accepted at once
  hb->DropFiles(p.x, p.y, {"/tmp/a.txt", "/tmp/b.txt"});
  Pump();
  EXPECT_EQ(log.Names, (std::vector<std::string>{"/tmp/a.txt", "/tmp/b.txt"}));
  Ed->OnDropFiles = nullptr;
  hb->DropFiles(p.x, p.y, {"/tmp/c.txt"});  // without a handler: ignored
  Pump();
  EXPECT_EQ(log.Names.size(), 2u);
}

}  // namespace
