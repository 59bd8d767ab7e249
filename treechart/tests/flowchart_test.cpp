// The flow-chart control: selection, zoom to fit, extent and scrolling, and
// the keyboard.
#include "treechart/tests/flowchart_fixture.h"

#include "platform/win/messages.h"

namespace {

class FlowChartControlTest : public FlowChartTest {
 protected:
  void Key(unsigned Vk, unsigned Mods = 0) {
    hb->Key(Vk, Mods);
    Pump();
  }
};

TEST_F(FlowChartControlTest, FittingShowsTheWholeExtentNeverAboveFullSize) {
  Chart->SetZoom(0);
  EXPECT_EQ(Chart->ActualZoom(), 100) << "an empty chart";
  EXPECT_EQ(Chart->Zoom(), 0);
  Chart->SetZoom(100);
  Chart->SetBorderStyle(bsNone);
  Chart->SetBounds(10, 10, 500, 500);
  Chart->CreateObject(0, 0, 1000, 400, fskRectangle);
  Chart->SetZoom(0);
  Pump();
  ASSERT_EQ(Chart->ClientWidth(), 500) << "the scroll bars are hidden while fitting";
  EXPECT_EQ(Chart->ActualZoom(), MulDiv(500, 95, 1000));
  EXPECT_EQ(Chart->ActualZoom(), 48);
  EXPECT_EQ(Chart->Zoom(), 0);
  EXPECT_EQ(Chart->Objects(0)->DisplayRect().right, 480);
  // the object grows: the fit follows
  Chart->Objects(0)->SetWidth(2000);
  EXPECT_EQ(Chart->ActualZoom(), MulDiv(500, 95, 2000));
  // a bigger window refits
  Chart->SetBounds(10, 10, 600, 500);
  Pump();
  EXPECT_EQ(Chart->ActualZoom(), MulDiv(600, 95, 2000));
}

TEST_F(FlowChartControlTest, SelectionFollowsTheMultiSelectOption) {
  TFcRecorder rec;
  rec.Attach(Chart);
  TkxFcObject* a = Chart->CreateObject(0, 0, 40, 40, fskRectangle);
  TkxFcObject* b = Chart->CreateObject(100, 0, 40, 40, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(a, b, 14, 6);
  Chart->SelectAll();
  EXPECT_EQ(Chart->SelCount(), 3);
  EXPECT_EQ(Chart->SelectedObject(), nullptr);
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoMultiSelect});
  EXPECT_EQ(Chart->SelCount(), 0) << "turning multi-select off clears the selection";
  Chart->SelectAll();
  EXPECT_EQ(Chart->SelCount(), 1);
  EXPECT_EQ(Chart->SelectedConnection(), c) << "only the last connection stays";
  a->SetSelected(true);
  EXPECT_EQ(Chart->SelectedObject(), a);
  rec.Allow = false;
  b->SetSelected(true);
  EXPECT_EQ(Chart->SelectedObject(), a) << "OnSelection refused";
  Chart->OnSelection = nullptr;
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoCanSelect});
  b->SetSelected(true);
  EXPECT_FALSE(b->Selected());
  Chart->SetOptions(kxFcAllOptions);
  Chart->SelectAll();
  const int deletions = rec.Deletions;
  Chart->DeleteSelection();
  EXPECT_EQ(Chart->ObjectCount() + Chart->ConnectionCount(), 0);
  EXPECT_EQ(rec.Deletions, deletions + 3);
  EXPECT_EQ(Chart->SelCount(), 0);
}

TEST_F(FlowChartControlTest, KeysResizeMoveSelectAndScroll) {
  TkxFcObject* a = Chart->CreateObject(100, 100, 40, 30, fskRectangle);
  TkxFcObject* right = Chart->CreateObject(300, 110, 40, 30, fskRectangle);
  TkxFcObject* below = Chart->CreateObject(110, 300, 40, 30, fskRectangle);
  Chart->CreateObject(20, 100, 40, 30, fskRectangle);
  Chart->SetFocus();
  Key(VK_RIGHT, HeadlessBackend::Alt);
  EXPECT_EQ(a->Left(), 100) << "nothing selected: nothing moves";
  a->SetSelected(true);
  Key(VK_RIGHT, HeadlessBackend::Alt);
  Key(VK_NEXT, HeadlessBackend::Alt);
  EXPECT_EQ(a->Left(), 102);
  EXPECT_EQ(a->Top(), 101);
  Key(VK_RIGHT, HeadlessBackend::Shift);
  Key(VK_HOME, HeadlessBackend::Shift);
  EXPECT_EQ(a->Width(), 40);
  EXPECT_EQ(a->Height(), 29);
  Key(VK_RIGHT);
  EXPECT_EQ(Chart->SelectedObject(), right);
  Key(VK_LEFT);
  EXPECT_EQ(Chart->SelectedObject(), a);
  Key(VK_DOWN);
  EXPECT_EQ(Chart->SelectedObject(), below);
  Key(VK_UP);
  EXPECT_EQ(Chart->SelectedObject(), a);
  Key(VK_LEFT);
  EXPECT_EQ(Chart->SelectedObject()->Left(), 20);
  // a width of 1 cannot shrink further
  TkxFcObject* thin = Chart->SelectedObject();
  thin->SetWidth(1);
  Key(VK_LEFT, HeadlessBackend::Shift);
  EXPECT_EQ(thin->Width(), 1);
  // below full size one key step is at least a pixel
  Chart->SetZoom(50);
  Key(VK_RIGHT, HeadlessBackend::Shift);
  EXPECT_EQ(thin->Width(), 3);
  Chart->SetOptions(Chart->Options() - TkxFcOptions{fcoCanDrag});
  Key(VK_RIGHT, HeadlessBackend::Shift);
  EXPECT_EQ(thin->Width(), 3);
  Chart->SetOptions(kxFcAllOptions);
  Key(VK_DELETE);
  EXPECT_EQ(Chart->ObjectCount(), 3);
}

TEST_F(FlowChartControlTest, ScrollingIsLimitedToTheExtent) {
  Chart->CreateObject(0, 0, 2000, 1500, fskRectangle);
  Chart->CreateObject(-300, -200, 10, 10, fskRectangle);
  Pump();
  EXPECT_EQ(Chart->Extent(), (TRect{-300, -200, 2000, 1500}));
  Chart->SetLeftTop(99999, 99999);
  EXPECT_EQ(Chart->LeftEdge(), 2000 - Chart->ClientWidth());
  EXPECT_EQ(Chart->TopEdge(), 1500 - Chart->ClientHeight());
  Chart->Perform(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Chart->TopEdge(), -200);
  Chart->Perform(WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Chart->LeftEdge(), 2000 - Chart->ClientWidth()) << "already at the end";
  Chart->SetFocus();
  Key(VK_HOME, HeadlessBackend::Ctrl);
  EXPECT_EQ(Chart->LeftEdge(), -300);
  EXPECT_EQ(Chart->TopEdge(), -200);
  Key(VK_NEXT);
  EXPECT_EQ(Chart->TopEdge(), -200 + Chart->ClientHeight() - 16);
  Key(VK_END, HeadlessBackend::Ctrl);
  EXPECT_EQ(Chart->LeftEdge(), 2000 - Chart->ClientWidth());
  // the objects move on the screen with the offsets
  EXPECT_EQ(Chart->Objects(1)->ClientRect().left, -300 - Chart->LeftEdge());
}

}  // namespace
