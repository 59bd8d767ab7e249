// The editor control's model: defaults, properties and their clamps, options,
// the paint lock with its status changes, fonts and window metrics, and the
// published properties in window descriptions.
#include "editor/txtedit.h"

#include <gtest/gtest.h>

#include "editor/tests/edfixture.h"
#include "platform/classes/filer.h"

namespace {

using ModelTest = EditorTest;

TEST_F(ModelTest, NewControlDefaults) {
  TTxtEdit* e = NewObject<TTxtEdit>(Form);
  EXPECT_EQ(e->Options().Mask(), 40632722u);
  EXPECT_EQ(e->MaxUndo(), 1024);
  EXPECT_EQ(e->RightEdge(), 80);
  EXPECT_EQ(e->TabWidth(), 8);
  EXPECT_EQ(e->GetCaretPos(), BC(1, 1));
  EXPECT_FALSE(e->HasSelection());
  EXPECT_EQ(e->Width(), 200);
  EXPECT_EQ(e->Height(), 150);
  EXPECT_EQ(e->Cursor(), crIBeam);
  EXPECT_EQ(e->Color(), clWindow);
  EXPECT_TRUE(e->TabStop());
  EXPECT_TRUE(e->InsertMode());
  EXPECT_EQ(e->Font()->Name(), "Courier New");
  EXPECT_EQ(e->Font()->Size(), 10);
  EXPECT_EQ(e->GutterWidth(), 30);
  EXPECT_EQ(e->Keystrokes()->Count(), 82);
  EXPECT_EQ(e->ActiveLineColor(), clNone);
}

TEST_F(ModelTest, PropertyClamps) {
  Ed->SetMaxScrollWidth(0);
  EXPECT_EQ(Ed->MaxScrollWidth(), 1);
  Ed->SetMaxScrollWidth(2147483647);
  EXPECT_EQ(Ed->MaxScrollWidth(), 2147483646);
  Ed->SetMaxUndo(5);
  Ed->SetMaxUndo(-1);
  EXPECT_EQ(Ed->MaxUndo(), 5);
  EXPECT_EQ(Ed->RedoList()->MaxItems(), 5);
  Ed->SetTabWidth(0);
  EXPECT_EQ(Ed->TabWidth(), 1);
  Ed->SetTabWidth(300);
  EXPECT_EQ(Ed->TabWidth(), 256);
}

TEST_F(ModelTest, ProportionalFontGivesWayToAFixedPitchCopy) {
  Ed->Font()->SetName("Tahoma");
  Ed->Font()->SetSize(12);
  Ed->Font()->SetColor(clRed);
  EXPECT_EQ(Ed->Font()->Name(), "Tahoma");
  EXPECT_EQ(Ed->Font()->Size(), 12);
  EXPECT_EQ(Ed->Font()->Color(), clRed);
  EXPECT_EQ(Ed->Font()->Pitch(), fpFixed);
}

struct StatusLog {
  std::vector<TTxtStatusChanges> Calls;
  void Changed(TObject*, TTxtStatusChanges C) { Calls.push_back(C); }
};

TEST_F(ModelTest, StatusChangesInsideAPaintLockArriveOnceAtTheEnd) {
  SetText("abc|def");
  StatusLog log;
  Ed->OnStatusChange = TStatusChangeEvent(&log, &StatusLog::Changed);
  Ed->BeginPaintLock();
  Ed->BeginPaintLock();
  Ed->SetCaretX(2);
  Ed->SetCaretY(2);
  Ed->SetInsertMode(false);
  Ed->EndPaintLock();
  EXPECT_TRUE(log.Calls.empty());
  Ed->EndPaintLock();
  ASSERT_EQ(log.Calls.size(), 1u);
  EXPECT_TRUE(log.Calls[0].Contains(scCaretX));
  EXPECT_TRUE(log.Calls[0].Contains(scCaretY));
  EXPECT_TRUE(log.Calls[0].Contains(scInsertMode));
  EXPECT_THROW(Ed->EndPaintLock(), EAssertionFailed);
}

TEST_F(ModelTest, OptionChangesRepaintOnlyWhatTheyConcern) {
  SetText("a b");
  Pump();
  RECT r;
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoKeepCaretX});
  EXPECT_FALSE(GetUpdateRect(Ed->Handle(), &r, FALSE));
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoShowSpecialChars});
  ASSERT_TRUE(GetUpdateRect(Ed->Handle(), &r, FALSE));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, Ed->ClientWidth());
  EXPECT_EQ(r.bottom, Ed->ClientHeight());
  EXPECT_TRUE(Ed->ShowingSpecialChars());
}

TEST_F(ModelTest, WindowMetricsFollowFontAndSize) {
  const int cw = Ed->CharWidth(), lh = Ed->LineHeight();
  ASSERT_GT(cw, 0);
  EXPECT_EQ(Ed->ColumnsInWindow(), (Ed->ClientWidth() - Ed->GutterWidth() - 2) / cw);
  EXPECT_EQ(Ed->RowsInWindow(), Ed->ClientHeight() / lh);
  Ed->SetExtraLineSpacing(4);
  EXPECT_EQ(Ed->LineHeight(), lh + 4);
  Ed->SetWidth(20);  // narrower than the gutter
  EXPECT_EQ(Ed->ColumnsInWindow(), 0);
}

TEST_F(ModelTest, PublishedPropertiesTravelInDescriptions) {
  Ed->SetName("Editor1");
  Ed->SetWordWrap(true);
  Ed->SetRightEdge(60);
  Ed->SetOptions(Ed->Options() + TTxtEditorOptions{eoTrimTrailingSpaces});
  Ed->Gutter()->SetShowLineNumbers(true);
  Ed->SetActiveLineColor(clYellow);
  Ed->Keystrokes()->Delete(Ed->Keystrokes()->FindKey('T', {ssCtrl}));
  SetText("first|second");
  const AnsiString text = WriteComponentToText(Ed);
  EXPECT_NE(text.find("WordWrap = True"), AnsiString::npos) << text;
  EXPECT_NE(text.find("RightEdge = 60"), AnsiString::npos) << text;
  EXPECT_NE(text.find("eoTrimTrailingSpaces"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Gutter.ShowLineNumbers = True"), AnsiString::npos) << text;
  EXPECT_NE(text.find("RemovedKeystrokes"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("TabWidth"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("MaxUndo"), AnsiString::npos) << text;
  Ed->SetName("");
  TTxtEdit* b = AddEditor(0, 0, 100, 100);
  ReadComponentFromText(text, b);
  EXPECT_TRUE(b->WordWrap());
  EXPECT_EQ(b->RightEdge(), 60);
  EXPECT_TRUE(b->Options().Contains(eoTrimTrailingSpaces));
  EXPECT_TRUE(b->Gutter()->ShowLineNumbers());
  EXPECT_EQ(b->ActiveLineColor(), clYellow);
  EXPECT_EQ(b->Keystrokes()->Count(), 81);
  EXPECT_EQ(Joined(b), "first|second");
}

}  // namespace
