// Moving toolbars with the mouse: a docked bar dragged off its site floats
// in a window of its own with a caption and close button, sizes to what its
// items can fill, stays on the screen, and docks back on a double click.
#include "bars/tests/kxbartest.h"

namespace {

struct TCloseLog {
  std::vector<std::string> Closed;
  void Close(TkxBarManager*, TkxBar* Bar) { Closed.push_back(std::string(Bar->Name())); }
};

TPoint FloatCentre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

}  // namespace

class BarsFloatTest : public BarsFormTest {
 protected:
  TkxBarControl* Tool() { return ToolsBar->Control(); }
  // A point on the grip of the docked toolbar (left of its client area).
  TPoint GripPoint() {
    TRect w = Tool()->GetWindowRect();
    return TPoint{w.left + 3, (w.top + w.bottom) / 2};
  }
  // A point on the caption of the floating toolbar, clear of the close button.
  TPoint CaptionPoint() {
    TRect w = Tool()->GetWindowRect();
    TRect c = Tool()->GetCaptionRect();
    return TPoint{w.left + c.left + 8, w.top + (c.top + c.bottom) / 2};
  }
  // Drags along the row first, then off the site: a key between the moves
  // keeps them apart (the queue merges consecutive moves).
  void FloatByDragging() {
    TPoint g = GripPoint();
    hb->MouseDown(g.x, g.y);
    const TPoint path[] = {{g.x + 20, g.y}, {g.x + 40, g.y + 2}, {g.x + 200, g.y + 200}, {900, 600}};
    for (TPoint p : path) {
      hb->MouseMove(p.x, p.y);
      hb->KeyUp(VK_SHIFT);
    }
    hb->MouseUp(900, 600);
    Pump();
  }
  // Floats the toolbar through its bar at a place.
  void FloatAt(int X, int Y) {
    ToolsBar->SetFloatLeft(X);
    ToolsBar->SetFloatTop(Y);
    ToolsBar->SetDockingStyle(dsNone);
    Pump();
  }
  int HitAt(TPoint P) { return int(SendMessageA(Tool()->Handle(), WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y))); }
};

TEST_F(BarsFloatTest, DraggedOffItsSiteAToolbarFloatsSizesAndDocksBack) {
  TkxDockControl* top = F->BarManager1->Bars()->DockControls(dsTop);
  ASSERT_EQ(Tool()->Parent(), top);
  int dockedWidth = Tool()->Width();
  FloatByDragging();
  // floating: a window of its own, under the cursor, remembered by the bar
  ASSERT_NE(Tool(), nullptr);
  EXPECT_EQ(ToolsBar->DockingStyle(), dsNone);
  EXPECT_EQ(Tool()->Parent(), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(Tool()->Handle(), GWL_STYLE) & LONG_PTR(WS_CHILD), 0);
  EXPECT_TRUE(IsWindowVisible(Tool()->Handle()));
  EXPECT_EQ(top->Height(), 0);
  TRect w = Tool()->GetWindowRect();
  EXPECT_TRUE(w.left <= 900 && 900 < w.right && w.top <= 600 && 600 < w.bottom) << w.left << "," << w.top << "," << w.right << "," << w.bottom;
  EXPECT_EQ(ToolsBar->FloatLeft(), w.left);
  EXPECT_EQ(ToolsBar->FloatTop(), w.top);
  EXPECT_EQ(ToolsBar->FloatClientWidth(), Tool()->ClientWidth());
  // the caption and frame surround the client area
  EXPECT_EQ(w.Width() - Tool()->ClientWidth(), ToolsBar->GetNonClientWidth(dsNone));
  EXPECT_EQ(w.Height() - Tool()->ClientHeight(), ToolsBar->GetNonClientHeight(dsNone));
  EXPECT_GT(Tool()->GetCaptionRect().Height(), 0);

  // the right edge dragged left: a narrower window that the items fill, more rows
  int wide = Tool()->ClientWidth(), high = Tool()->ClientHeight();
  TPoint edge{w.right - 2, (w.top + w.bottom) / 2};
  ASSERT_EQ(HitAt(edge), HTRIGHT);
  hb->Drag(edge.x, edge.y, edge.x - wide / 2, edge.y, 4);
  Pump();
  TRect n = Tool()->GetWindowRect();
  EXPECT_EQ(n.left, w.left);
  EXPECT_EQ(n.top, w.top);
  EXPECT_LT(Tool()->ClientWidth(), wide);
  EXPECT_GT(Tool()->ClientHeight(), high);
  TSize fill;
  Tool()->GetSizeForWidth(dsNone, Tool()->ClientWidth(), fill);
  EXPECT_EQ(Tool()->ClientWidth(), fill.cx);
  EXPECT_EQ(Tool()->ClientHeight(), fill.cy);
  EXPECT_EQ(ToolsBar->FloatClientWidth(), Tool()->ClientWidth());

  // a double click on the caption docks it back into its row
  TPoint cap = CaptionPoint();
  ASSERT_EQ(HitAt(cap), HTCLIENT);
  EXPECT_EQ(Tool()->HitCode(), HTCAPTION);
  hb->DoubleClick(cap.x, cap.y);
  Pump();
  ASSERT_NE(Tool(), nullptr);
  EXPECT_EQ(ToolsBar->DockingStyle(), dsTop);
  EXPECT_EQ(Tool()->Parent(), top);
  EXPECT_EQ(Tool()->GetRowIndex(), 0);
  EXPECT_EQ(Tool()->Width(), dockedWidth);
  EXPECT_GT(top->Height(), 0);

  // and a double click on its grip floats it at its last floating place
  TPoint g = GripPoint();
  ASSERT_EQ(HitAt(g), HTCLIENT);
  EXPECT_EQ(Tool()->HitCode(), HTCAPTION);
  hb->DoubleClick(g.x, g.y);
  Pump();
  ASSERT_NE(Tool(), nullptr);
  EXPECT_EQ(ToolsBar->DockingStyle(), dsNone);
  EXPECT_EQ(Tool()->GetWindowRect().left, n.left);
  EXPECT_EQ(Tool()->GetWindowRect().top, n.top);
  EXPECT_EQ(Tool()->ClientWidth(), fill.cx);
}

// Where the mouse presses decides what it does: items work, empty space and
// the grip drag, the floating frame's corners size along one edge only.
TEST_F(BarsFloatTest, HitCodesOfDockedAndFloatingBars) {
  TRect cut = LinkScreenRect(ToolLink(F->CutButton));
  TRect w = Tool()->GetWindowRect();
  struct Case {
    const char* what;
    TPoint at;
    int hit, code;
  };
  const Case docked[] = {
      {"item", FloatCentre(cut), HTCLIENT, 0},
      {"grip", GripPoint(), HTCLIENT, HTCAPTION},
      {"empty space", TPoint{w.right - 30, (w.top + w.bottom) / 2}, HTCLIENT, HTCAPTION},
  };
  // the docked toolbar leaves empty space after its items only when wider than them
  ToolsBar->SetWholeRow(true);
  Pump();
  w = Tool()->GetWindowRect();
  for (const Case& c : docked) {
    SCOPED_TRACE(c.what);
    TPoint at = c.at;
    if (std::string(c.what) == "empty space") at = TPoint{w.right - 30, (w.top + w.bottom) / 2};
    EXPECT_EQ(HitAt(at), c.hit);
    EXPECT_EQ(Tool()->HitCode(), c.code);
  }
  ToolsBar->SetWholeRow(false);
  FloatAt(300, 300);
  ASSERT_NE(Tool(), nullptr);
  w = Tool()->GetWindowRect();
  TRect close = Tool()->GetCloseButtonRect(true);
  OffsetRect(&close, w.left, w.top);
  const Case floating[] = {
      {"caption", CaptionPoint(), HTCLIENT, HTCAPTION},
      {"close button", FloatCentre(close), HTCLOSE, HTCLOSE},
      {"item", FloatCentre(LinkScreenRect(ToolLink(F->CutButton))), HTCLIENT, 0},
      {"top-left corner on the top edge", TPoint{w.left + 1, w.top + 1}, HTTOP, HTTOP},
      {"top-left corner on the left edge", TPoint{w.left + 1, w.top + 10}, HTLEFT, HTLEFT},
      {"bottom-right corner on the right edge", TPoint{w.right - 1, w.bottom - 10}, HTRIGHT, HTRIGHT},
      {"bottom-right corner on the bottom edge", TPoint{w.right - 10, w.bottom - 1}, HTBOTTOM, HTBOTTOM},
  };
  for (const Case& c : floating) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(HitAt(c.at), c.hit);
    EXPECT_EQ(Tool()->HitCode(), c.code);
  }
}

TEST_F(BarsFloatTest, FloatingSizeSnapsAndStaysOnTheScreen) {
  FloatAt(300, 300);
  ASSERT_NE(Tool(), nullptr);
  TRect b = Tool()->BoundsRect();
  // a corner (reached only through the keyboard) keeps the bounds
  RECT r{b.left - 40, b.top - 40, b.right + 40, b.bottom + 40};
  EXPECT_EQ(SendMessageA(Tool()->Handle(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r)), 1);
  EXPECT_EQ(TRect(r), b);
  // a top above -15 comes down to -15, shifted, not resized
  r = RECT{b.left, -60, b.right, -60 + b.Height()};
  SendMessageA(Tool()->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, -15);
  EXPECT_EQ(r.bottom - r.top, b.Height());
  // pushed off the screen to the left it comes back to the work area's left edge
  SetWindowPos(Tool()->Handle(), nullptr, -2000, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(Tool()->Left(), 0);
  EXPECT_EQ(Tool()->Top(), 200);
  EXPECT_EQ(ToolsBar->FloatLeft(), 0);
  // partly off the screen is left alone
  SetWindowPos(Tool()->Handle(), nullptr, -20, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Tool()->Left(), -20);
}

TEST_F(BarsFloatTest, TheCloseButtonHidesTheBarOnlyWhenReleasedOnIt) {
  TCloseLog log;
  F->BarManager1->OnBarClose = TkxBarEvent(&log, &TCloseLog::Close);
  FloatAt(300, 300);
  ASSERT_NE(Tool(), nullptr);
  TRect w = Tool()->GetWindowRect();
  TRect close = Tool()->GetCloseButtonRect(true);
  OffsetRect(&close, w.left, w.top);
  TPoint c = FloatCentre(close);
  // pressed, moved off and released elsewhere: the bar stays
  hb->MouseDown(c.x, c.y);
  hb->MouseMove(c.x - 60, c.y + 40);
  hb->MouseUp(c.x - 60, c.y + 40);
  Pump();
  EXPECT_TRUE(ToolsBar->Visible());
  EXPECT_TRUE(log.Closed.empty());
  ASSERT_NE(Tool(), nullptr);
  EXPECT_EQ(Tool()->CloseButtonState(), 0);
  Wait(1000);  // not the second click of a double click
  hb->Click(c.x, c.y);
  Pump();
  EXPECT_FALSE(ToolsBar->Visible());
  EXPECT_EQ(Tool(), nullptr);
  EXPECT_EQ(log.Closed, std::vector<std::string>{"Tools"});
  F->BarManager1->OnBarClose = TkxBarEvent();
}

// A bar that never was docked goes to a new last row of the top site.
TEST_F(BarsFloatTest, ABarNeverDockedDocksAsANewLastRowOnTop) {
  F->BarManager1->MainMenuBar()->SetDockingStyle(dsTop);
  Pump();
  TkxDockControl* top = F->BarManager1->Bars()->DockControls(dsTop);
  ToolsBar->SetDockingStyle(dsNone);
  ToolsBar->SetDockedDockingStyle(dsNone);
  Pump();
  ASSERT_EQ(top->RowCount(), 1);
  Tool()->DockOrFloat();
  Pump();
  ASSERT_NE(Tool(), nullptr);
  EXPECT_EQ(ToolsBar->DockingStyle(), dsTop);
  EXPECT_EQ(top->RowCount(), 2);
  EXPECT_EQ(Tool()->GetRowIndex(), 1);
  EXPECT_TRUE(ToolsBar->OneOnRow());
}

// A floating window taken down with its form's window comes back with the next one.
TEST_F(BarsFloatTest, AFloatingBarComesBackWhenTheFormsWindowIsMadeAgain) {
  FloatAt(300, 300);
  ASSERT_NE(Tool(), nullptr);
  F->RecreateWnd();
  EXPECT_TRUE(F->BarManager1->HasPendingBars());
  F->HandleNeeded();
  F->Show();
  Pump();
  ASSERT_TRUE(ToolsBar->Visible());
  ASSERT_NE(Tool(), nullptr);
  ASSERT_TRUE(Tool()->HandleAllocated());
  EXPECT_EQ(IsWindowVisible(Tool()->Handle()), IsWindowVisible(F->Handle()));
  EXPECT_EQ(Tool()->Left(), 300);
  EXPECT_FALSE(F->BarManager1->HasPendingBars());
}

