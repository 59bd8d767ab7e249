// Coordinates, caret and selection; word wrap; scrolling and scroll bars;
// following the line store; window metrics.
#include <gtest/gtest.h>

#include "editor/tests/edfixture.h"
#include "editor/txteditwordwrap.h"
#include "editor/txtrules.h"

namespace {

class CaretTest : public EditorTest {
 protected:
  // Sizes the text area to N whole columns.
  void Columns(int N) {
    Ed->SetClientWidth(Ed->GutterWidth() + 2 + N * Ed->CharWidth());
    ASSERT_EQ(Ed->ColumnsInWindow(), N);
  }
  void Rows(int N) {
    Ed->SetClientHeight(N * Ed->LineHeight());
    ASSERT_EQ(Ed->RowsInWindow(), N);
  }
  void Lines(int N) {
    AnsiString t;
    for (int i = 1; i <= N; ++i) t += std::to_string(i) + "\r\n";
    Ed->Lines()->SetText(t);
  }
};

// ---------------------------------------------------------------- caret placement

TEST_F(CaretTest, CaretColumnLimits) {
  SetText("ab|cd|ef");
  Ed->SetOptions(Ed->Options() - TTxtEditorOptions{eoScrollPastEol});
  Ed->SetCaretXY(BC(10, 1));
  EXPECT_EQ(Ed->GetCaretPos(), BC(3, 1));
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoScrollPastEol});
  Ed->SetCaretXY(BC(10, 1));
  EXPECT_EQ(Ed->GetCaretPos(), BC(10, 1));
  Ed->SetMaxScrollWidth(5);
  Ed->SetCaretXY(BC(10, 1));
  EXPECT_EQ(Ed->GetCaretPos(), BC(6, 1));
  Ed->SetCaretXY(BC(1, 99));
  EXPECT_EQ(Ed->GetCaretPos(), BC(1, 3));
  Ed->SetCaretXY(BC(-4, -4));
  EXPECT_EQ(Ed->GetCaretPos(), BC(1, 1));
}

TEST_F(CaretTest, TabsAndDoubleByteCharactersInConversions) {
  SetText("a\tb|中文x");
  EXPECT_EQ(Ed->TextPosToDisplayPos(BC(3, 1)), BC(9, 1));
  for (int col = 2; col <= 8; ++col) EXPECT_EQ(Ed->DisplayPosToTextPos(BC(col, 1)), BC(2, 1)) << col;
  EXPECT_EQ(Ed->DisplayPosToTextPos(BC(9, 1)), BC(3, 1));
  // a display column on the second half of 文 maps after it
  EXPECT_EQ(Ed->DisplayPosToTextPos(BC(4, 2)), BC(5, 2));
  // a selection end on a second byte moves onto the first
  Ed->SetSelectionStart(BC(1, 2));
  Ed->SetSelectionEnd(BC(4, 2));
  EXPECT_EQ(Ed->SelectionFocus(), BC(3, 2));
  EXPECT_EQ(U(Ed->GetSelText()), "中");
}

TEST_F(CaretTest, PixelsToTheNearestColumn) {
  SetText("abcdef");
  const int cw = Ed->CharWidth(), x0 = Ed->GutterWidth() + 2;
  EXPECT_EQ(Ed->PixelsToNearestDisplayPos(x0 + 2 * cw + cw / 2 + 1, 1), BC(4, 1));  // right of the middle
  EXPECT_EQ(Ed->PixelsToNearestDisplayPos(x0 + 2 * cw + cw / 2 - 1, 1), BC(3, 1));
  EXPECT_EQ(Ed->PixelsToDisplayPos(x0 + 2 * cw + cw - 1, 1), BC(3, 1));
  Ed->MoveCaretToPixel(x0 + 3 * cw, 1000);  // below the text: the last row
  EXPECT_EQ(Ed->GetCaretPos(), BC(4, 1));
}

// ---------------------------------------------------------------- selection modes

TEST_F(CaretTest, SelectedTextInTheThreeModes) {
  SetText("first line|second|third line");
  Ed->SetSelectionStart(BC(7, 1));
  Ed->SetSelectionEnd(BC(4, 3));
  EXPECT_EQ(U(Ed->GetSelText()), "line\r\nsecond\r\nthi");
  Ed->SetSelectionMode(smLine);
  Ed->SetSelectionStart(BC(3, 2));
  Ed->SetSelectionEnd(BC(2, 3));
  EXPECT_EQ(U(Ed->GetSelText()), "second\r\nthird line");  // no break after the last line of the store
  Ed->SetSelectionMode(smColumn);
  Ed->SetSelectionStart(BC(5, 1));
  Ed->SetSelectionEnd(BC(9, 3));
  EXPECT_EQ(U(Ed->GetSelText()), "t li\r\nnd  \r\nd li");  // the short line is padded
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoTrimTrailingSpaces});
  EXPECT_EQ(U(Ed->GetSelText()), "t li\r\nnd\r\nd li");
}

TEST_F(CaretTest, DeletingAllLinesInLineModeLeavesOneEmptyLine) {
  SetText("a|b|c");
  Ed->SetSelectionMode(smLine);
  Ed->SelectAll();
  Ed->SetSelText("");
  EXPECT_EQ(Ed->Lines()->Count(), 1);
  EXPECT_EQ(Joined(Ed), "");
}

TEST_F(CaretTest, ColumnInsertionSplitsAtEveryKindOfLineBreak) {
  SetText("1234|1234|1234");
  Ed->InsertColumnBlock(BC(3, 1), BC(3, 1), "a\nb\r\nc", true);
  EXPECT_EQ(Joined(Ed), "12a34|12b34|12c34");
  Ed->InsertColumnBlock(BC(6, 2), BC(6, 2), "x\ry\rz", true);  // past the last line: lines are added
  EXPECT_EQ(Joined(Ed), "12a34|12b34x|12c34y|     z");
}

TEST_F(CaretTest, SelectAllOnAnEmptyStoreSelectsNothing) {
  Ed->SelectAll();
  EXPECT_EQ(Ed->SelectionAnchor(), BC(1, 1));
  EXPECT_EQ(Ed->SelectionFocus(), BC(1, 1));
  EXPECT_FALSE(Ed->HasSelection());
}

// ---------------------------------------------------------------- bookmarks

struct BookmarkVeto {
  int Calls = 0;
  void Place(TObject*, TTxtEditMark*& Mark) {
    ++Calls;
    Mark = nullptr;
  }
};

TEST_F(CaretTest, BookmarksArePlacedClearedAndJumpedTo) {
  Lines(50);
  Ed->PlaceBookmark(3, 1, 40);
  ASSERT_NE(Ed->Bookmark(3), nullptr);
  EXPECT_EQ(Ed->Marks()->Count(), 1);
  Ed->JumpToBookmark(3);
  EXPECT_EQ(Ed->GetCaretPos(), BC(1, 40));
  EXPECT_LE(Ed->TopLine(), 40);
  EXPECT_GE(Ed->TopLine() + Ed->RowsInWindow(), 40);
  Ed->PlaceBookmark(3, 1, 5);  // the same index moves
  EXPECT_EQ(Ed->Bookmark(3)->Line(), 5);
  EXPECT_EQ(Ed->Marks()->Count(), 1);
  Ed->RemoveBookmark(3);
  EXPECT_EQ(Ed->Bookmark(3), nullptr);
  EXPECT_EQ(Ed->Marks()->Count(), 0);
  BookmarkVeto veto;
  Ed->OnPlaceBookmark = TPlaceMarkEvent(&veto, &BookmarkVeto::Place);
  Ed->PlaceBookmark(3, 1, 2);
  EXPECT_EQ(veto.Calls, 1);
  EXPECT_EQ(Ed->Bookmark(3), nullptr);
  Ed->PlaceBookmark(10, 1, 2);  // no such index
  Ed->PlaceBookmark(4, 1, 99);  // no such line
  EXPECT_EQ(Ed->Marks()->Count(), 0);
}

TEST_F(CaretTest, MarksFollowDeletedAndInsertedLines) {
  Lines(10);
  Ed->PlaceBookmark(1, 1, 5);
  Ed->PlaceBookmark(2, 1, 8);
  Ed->SetSelectionStart(BC(1, 2));
  Ed->SetSelectionEnd(BC(1, 6));  // lines 2..5 joined into line 2
  Ed->SetSelText("");
  EXPECT_EQ(Ed->Bookmark(1)->Line(), 2);
  EXPECT_EQ(Ed->Bookmark(2)->Line(), 4);
  Ed->SetCaretXY(BC(1, 1));
  Ed->SetSelText("x\r\ny\r\n");
  EXPECT_EQ(Ed->Bookmark(1)->Line(), 4);
  EXPECT_EQ(Ed->Bookmark(2)->Line(), 6);
}

// ---------------------------------------------------------------- word wrap

TEST_F(CaretTest, WrappingCutsAtBreaksAndKeepsDoubleByteCharactersWhole) {
  Columns(10);
  Ed->SetWordWrap(true);
  auto* ww = static_cast<TTxtWordWrapPlugin*>(Ed->WordWrapPlugin());
  EXPECT_EQ(ww->MinRowWidth(), 7);
  EXPECT_EQ(ww->WrapText("grandson proposal"), (std::vector<int>{8, 9}));
  EXPECT_EQ(ww->WrapText("abcdefghijklmnopqrstuvwxy"), (std::vector<int>{10, 10, 5}));
  EXPECT_EQ(ww->WrapText(A("abcdefghi中")), (std::vector<int>{9, 2}));
  EXPECT_EQ(ww->WrapText(""), (std::vector<int>{0}));
  SetText("grandson proposal||x");
  EXPECT_EQ(Ed->DisplayRowCount(), 4);
  EXPECT_EQ(ww->RowWidth(3), 0);
  EXPECT_THROW(ww->RowWidth(0), EListError);
  try {
    ww->RowWidth(5);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (5)");
  }
  Ed->Lines()->Clear();
  EXPECT_EQ(Ed->DisplayRowCount(), 0);
  EXPECT_THROW(TTxtWordWrapPlugin(nullptr), Exception);
}

TEST_F(CaretTest, WrapMapFollowsInsertedLines) {
  Columns(10);
  SetText("x|y");
  TTxtWordWrapPlugin map(Ed);  // a map of its own, told by hand
  Ed->Lines()->Insert(1, "abcdefghijklmnopqrstuvwxy");
  EXPECT_EQ(map.NoteLinesInserted(1, 1), 3);
  EXPECT_EQ(map.TotalRows(), 5);
  EXPECT_EQ(map.MapBufferToDisplay(BC(1, 3)), BC(1, 5));
  EXPECT_EQ(map.MapBufferToDisplay(BC(12, 2)), BC(2, 3));
  EXPECT_EQ(map.MapDisplayToBuffer(BC(2, 3)), BC(12, 2));
  Ed->Lines()->Delete(0);
  EXPECT_EQ(map.NoteLinesDeleted(0, 1), 1);
  EXPECT_EQ(map.MapBufferToDisplay(BC(1, 2)), BC(1, 4));
  EXPECT_THROW(map.NoteLinesDeleted(5, 1), EAssertionFailed);
}

TEST_F(CaretTest, RowsAreNotLimitedTo255Columns) {
  Ed->SetBounds(0, 0, 4000, 200);
  ASSERT_GT(Ed->ColumnsInWindow(), 300);
  Ed->SetWordWrap(true);
  const int cols = Ed->ColumnsInWindow();
  Ed->Lines()->SetText(AnsiString(std::size_t(cols + 100), 'x'));
  ASSERT_EQ(Ed->DisplayRowCount(), 2);
  EXPECT_EQ(Ed->WordWrapPlugin()->RowWidth(1), cols);
  EXPECT_EQ(Ed->WordWrapPlugin()->RowWidth(2), 100);
}

TEST_F(CaretTest, WordWrapOffAndOnKeepsTheTopLine) {
  Columns(10);
  Rows(5);
  AnsiString t;
  for (int i = 1; i <= 30; ++i) t += "line " + std::to_string(i) + " is long enough to wrap\r\n";
  Ed->Lines()->SetText(t);
  Ed->SetTopLine(12);
  Ed->SetWordWrap(true);
  EXPECT_EQ(Ed->LineOfRow(Ed->TopLine()), 12);
  Ed->SetWordWrap(false);
  EXPECT_EQ(Ed->TopLine(), 12);
}

TEST_F(CaretTest, CaretAtTheEndOfAWrappedRow) {
  Columns(10);
  Ed->SetWordWrap(true);
  SetText("abcdefghijklmno");
  Ed->SetCaretXY(BC(11, 1));  // the first character of the second row
  EXPECT_EQ(Ed->GetDisplayCaret(), BC(1, 2));
  Cmd(ecLeft);  // only switches to the end of the upper row
  EXPECT_EQ(Ed->GetCaretPos(), BC(11, 1));
  EXPECT_EQ(Ed->GetDisplayCaret(), BC(11, 1));
  Cmd(ecRight);
  EXPECT_EQ(Ed->GetCaretPos(), BC(11, 1));
  EXPECT_EQ(Ed->GetDisplayCaret(), BC(1, 2));
  Cmd(ecLineStart);
  EXPECT_EQ(Ed->GetCaretPos(), BC(11, 1));
  Cmd(ecUp);
  Cmd(ecLineEnd);
  EXPECT_EQ(Ed->GetDisplayCaret(), BC(11, 1));
}

// ---------------------------------------------------------------- scrolling

TEST_F(CaretTest, TopLineLimits) {
  Rows(20);
  Lines(100);
  Ed->SetTopLine(95);
  EXPECT_EQ(Ed->TopLine(), 81);
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoScrollPastEof});
  Ed->SetTopLine(95);
  EXPECT_EQ(Ed->TopLine(), 95);
  Ed->SetTopLine(0);
  EXPECT_EQ(Ed->TopLine(), 1);
}

TEST_F(CaretTest, ScrollMessagesAndThePageSize) {
  Rows(20);
  Lines(100);
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Ed->TopLine(), 21);
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoScrollByOneLess});
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Ed->TopLine(), 40);
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Ed->TopLine(), 39);
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Ed->TopLine(), 1);
}

TEST_F(CaretTest, LargeTextsScaleTheVerticalBar) {
  Rows(20);
  Ed->Lines()->SetText(AnsiString(50000 * 2, '\n').replace(0, 0, ""));
  ASSERT_GE(Ed->Lines()->Count(), 50000);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(Ed->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 32767);
  SendMessageA(Ed->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 16384), 0);
  EXPECT_TRUE(Ed->ThumbTracking());
  EXPECT_NEAR(Ed->TopLine(), Ed->Lines()->Count() / 2, 200);
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_FALSE(Ed->ThumbTracking());
}

TEST_F(CaretTest, ScrollBarsHideOrDisableWhenTheTextFits) {
  SetText("short");
  SCROLLBARINFO sbi;
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoDisableScrollArrows});
  GetScrollBarInfo(Ed->Handle(), OBJID_VSCROLL, &sbi);
  EXPECT_FALSE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  EXPECT_TRUE(sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE);  // up arrow
  EXPECT_TRUE(sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);  // down arrow
  Ed->SetOptions(Ed->Options() - TTxtEditorOptions{eoScrollPastEol} + TTxtEditorOptions{eoHideShowScrollbars});
  GetScrollBarInfo(Ed->Handle(), OBJID_VSCROLL, &sbi);
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  GetScrollBarInfo(Ed->Handle(), OBJID_HSCROLL, &sbi);
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

// A text exactly as long as the window has rows: the bars' own rule shows
// the vertical bar that the editor hides, and each change resizes the
// window, which asks for the bars again. That settles instead of recursing
// until the stack is gone.
TEST_F(CaretTest, ScrollBarsSettleWhenTheTextJustFillsTheWindow) {
  Rows(20);
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoHideShowScrollbars});
  Lines(20);
  ASSERT_EQ(Ed->Lines()->Count(), Ed->RowsInWindow());
  Ed->UpdateScrollBars();
  Pump();
  Ed->SetCaretXY(BC(1, 20));
  Cmd(ecChar, 'x');
  EXPECT_EQ(U(Ed->Lines()->Get(19)), "x20");
}

TEST_F(CaretTest, ScrollingALittleRepaintsOnlyTheUncoveredBand) {
  Rows(20);
  Lines(100);
  Pump();
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);  // updates at once
  Ed->SetTopLine(Ed->TopLine() + 2);
  RECT r;
  ASSERT_TRUE(GetUpdateRect(Ed->Handle(), &r, FALSE));
  EXPECT_EQ(r.top, 18 * Ed->LineHeight());
  EXPECT_EQ(r.bottom, Ed->ClientHeight());
  Ed->SetTopLine(Ed->TopLine() + 50);  // a jump repaints everything
  GetUpdateRect(Ed->Handle(), &r, FALSE);
  EXPECT_EQ(r.top, 0);
}

TEST_F(CaretTest, ScrollHintShowsTheTopLine) {
  Rows(20);
  Lines(100);
  SendMessageA(Ed->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1), 0);
  ASSERT_NE(TxtScrollHintWindow(), nullptr);
  EXPECT_EQ(TxtScrollHintWindow()->Caption(), "Top Line: 1");
  Ed->SetScrollHintFormat(shfTopToBottom);
  SendMessageA(Ed->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
  EXPECT_EQ(TxtScrollHintWindow()->Caption(), "10 - 30");
  SendMessageA(Ed->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_FALSE(TxtScrollHintWindow()->HandleAllocated() && IsWindowVisible(TxtScrollHintWindow()->Handle()));
}

TEST_F(CaretTest, CaretIsScrolledIntoView) {
  Rows(10);
  Lines(100);
  Ed->SetCaretXY(BC(1, 50));
  EXPECT_EQ(Ed->TopLine(), 41);
  Ed->GoToLineCentered(80);
  EXPECT_EQ(Ed->TopLine(), 80 - 4);
}

// ---------------------------------------------------------------- the line store

TEST_F(CaretTest, ClearingTheLinesEmptiesUndoAndResetsTheCaret) {
  SetText("abc|def");
  Ed->SetCaretXY(BC(2, 2));
  Type("x");
  ASSERT_TRUE(Ed->UndoList()->HasItems());
  Ed->Lines()->Clear();
  EXPECT_FALSE(Ed->UndoList()->HasItems());
  EXPECT_FALSE(Ed->RedoList()->HasItems());
  EXPECT_EQ(Ed->GetCaretPos(), BC(1, 1));
}

TEST_F(CaretTest, WideLinesRaiseTheScrollWidth) {
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoAutoSizeMaxScrollWidth});
  Ed->Lines()->Add(AnsiString(3000, 'w'));
  EXPECT_EQ(Ed->MaxScrollWidth(), 3000);
}

struct PaintCount {
  int N = 0;
  void Painted(TObject*, TCanvas*) { ++N; }
};

TEST_F(CaretTest, ChangesInsideAnUpdateBracketArePaintedOnce) {
  SetText("a|b|c|d");
  Pump();
  PaintCount paints;
  Ed->OnPaint = TTxtPaintEvent(&paints, &PaintCount::Painted);
  Ed->Lines()->BeginUpdate();
  Ed->Lines()->Put(0, "A");
  Ed->Lines()->Put(2, "C");
  RECT r;
  EXPECT_FALSE(GetUpdateRect(Ed->Handle(), &r, FALSE));  // collected, not yet invalid
  Ed->Lines()->EndUpdate();
  Pump();
  EXPECT_EQ(paints.N, 1);
}

// A quote opened on one line carries its range to the lines below until the
// state stored there matches again.
TEST_F(CaretTest, RangeStatesAreRescannedAsFarAsNeeded) {
  TTxtRules rules(nullptr);
  rules.LoadFromText(
      "<RuleHighlighter><Range Name=\"Root\"><Range Name=\"Q\"><OpenSymbol>\"</OpenSymbol>"
      "<CloseSymbol>\"</CloseSymbol></Range></Range></RuleHighlighter>");
  Ed->SetHighlighter(&rules);
  SetText("a|b|c|d\"|e");
  const Integer plain = Ed->Lines()->GetRangeState(0);
  EXPECT_EQ(Ed->Lines()->GetRangeState(2), plain);
  const Integer quoted = Ed->Lines()->GetRangeState(3);
  EXPECT_NE(quoted, plain);
  Pump();
  Ed->SetCaretXY(BC(2, 1));
  Type("\"");  // opens a quote on line 1, closed again on line 4
  EXPECT_EQ(Ed->Lines()->GetRangeState(0), quoted);
  EXPECT_EQ(Ed->Lines()->GetRangeState(1), quoted);
  EXPECT_EQ(Ed->Lines()->GetRangeState(2), quoted);
  EXPECT_EQ(Ed->Lines()->GetRangeState(3), plain);
  EXPECT_EQ(Ed->Lines()->GetRangeState(4), plain);
  Ed->SetHighlighter(nullptr);
}

// ---------------------------------------------------------------- metrics

TEST_F(CaretTest, BoldAttributesWidenTheCell) {
  Ed->Font()->SetName("Tahoma");  // a face whose bold glyphs are wider
  Ed->TextDrawer()->SetBaseStyle(0);
  const int plain = Ed->TextDrawer()->GetCharWidth();
  Ed->TextDrawer()->SetBaseStyle(1);
  const int bold = Ed->TextDrawer()->GetCharWidth();
  ASSERT_GT(bold, plain);
  Ed->CalcTextMetrics();
  EXPECT_EQ(Ed->CharWidth(), plain);  // the font itself is plain
  TQuietHighlighter<> h(nullptr);
  h.AddStyle("Key", txtBold);
  Ed->SetHighlighter(&h);
  EXPECT_EQ(Ed->CharWidth(), bold);
  Ed->SetHighlighter(nullptr);
}

}  // namespace
