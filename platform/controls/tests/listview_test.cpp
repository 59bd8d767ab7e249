// TListView: the layout of large and small icons, hit testing, selection by
// mouse and keys, and deleting the selected item.
#include <gtest/gtest.h>

#include "platform/controls/comctrls.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

struct SelectLog {
  std::vector<std::pair<AnsiString, bool>> calls;
  void Hit(TObject*, TListItem* Item, bool Selected) { calls.push_back({Item->Caption(), Selected}); }
};

class ListViewTest : public CtlTest {
 protected:
  TForm* form = nullptr;
  TListView* lv = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    form = NewObject<TForm>(Application, 0);
    form->SetBounds(20, 20, 400, 300);
    lv = new TListView(form);
    lv->SetParent(form);
    lv->SetBounds(0, 0, 3 * 75 + 10, 200);  // three large-icon cells a row
    for (const char* name : {"人物", "地点", "物品", "事件", "伏笔"}) lv->Items()->Add()->SetCaption(Utf8ToAnsi(name));
    form->Show();
    Pump();
  }
  void ClickItem(int index) {
    TRect r = lv->Items()->Item(index)->DisplayRect();
    TPoint p = At(lv, r.left + r.Width() / 2, r.top + 10);
    hb->Click(p.x, p.y);
    Pump();
  }
};

TEST_F(ListViewTest, LayoutAndHitTestInBothIconViews) {
  ASSERT_EQ(lv->ItemsPerRow(), 3);
  TSize big = lv->CellSize();
  EXPECT_EQ(lv->Items()->Item(3)->DisplayRect(), (TRect{0, int(big.cy), int(big.cx), 2 * int(big.cy)}));
  EXPECT_EQ(lv->Items()->Item(4)->DisplayRect().left, big.cx);
  for (int i = 0; i < 5; ++i) {
    TRect r = lv->Items()->Item(i)->DisplayRect();
    EXPECT_EQ(lv->GetItemAt(r.left + 1, r.bottom - 1), lv->Items()->Item(i)) << i;
  }
  // Right of the last item of the second row, and beyond the last row: nothing.
  EXPECT_EQ(lv->GetItemAt(2 * big.cx + 5, big.cy + 5), nullptr);
  EXPECT_EQ(lv->GetItemAt(5, 2 * big.cy + 5), nullptr);
  EXPECT_EQ(lv->GetItemAt(3 * big.cx + 2, 5), nullptr);

  lv->SetViewStyle(vsSmallIcon);
  TSize small = lv->CellSize();
  EXPECT_LT(small.cy, big.cy);
  int per = lv->ItemsPerRow();
  EXPECT_EQ(per, lv->ClientWidth() / small.cx);
  EXPECT_EQ(lv->Items()->Item(per)->DisplayRect().top, small.cy);
  EXPECT_EQ(lv->GetItemAt(small.cx + 1, 1), lv->Items()->Item(1));
}

TEST_F(ListViewTest, MouseAndKeysSelect) {
  SelectLog log;
  lv->OnSelectItem = TLVSelectItemEvent(&log, &SelectLog::Hit);
  ClickItem(1);
  EXPECT_TRUE(lv->Focused());
  EXPECT_EQ(lv->ItemIndex(), 1);
  struct Step {
    unsigned key;
    int index;
  } steps[] = {{VK_DOWN, 4}, {VK_DOWN, 4}, {VK_LEFT, 3}, {VK_UP, 0}, {VK_UP, 0}, {VK_END, 4}, {VK_HOME, 0}, {VK_RIGHT, 1}};
  for (const Step& s : steps) {
    hb->Key(s.key);
    Pump();
    EXPECT_EQ(lv->ItemIndex(), s.index) << "key " << s.key;
  }
  // A click on empty space clears the selection.
  TSize cell = lv->CellSize();
  TPoint p = At(lv, 2 * cell.cx + 10, cell.cy + 10);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(lv->Selected(), nullptr);
  ASSERT_GE(log.calls.size(), 3u);
  EXPECT_EQ(log.calls[0], (std::pair<AnsiString, bool>{Utf8ToAnsi("地点"), true}));
  EXPECT_EQ(log.calls[1], (std::pair<AnsiString, bool>{Utf8ToAnsi("地点"), false}));
  EXPECT_EQ(log.calls.back(), (std::pair<AnsiString, bool>{Utf8ToAnsi("地点"), false}));
}

TEST_F(ListViewTest, DeletingTheSelectedItemLeavesNoSelection) {
  std::vector<AnsiString> deleted;
  struct Del {
    std::vector<AnsiString>* out;
    void Hit(TObject*, TListItem* Item) { out->push_back(Item->Caption()); }
  } del{&deleted};
  lv->OnDeletion = TLVDeletedEvent(&del, &Del::Hit);
  lv->SetItemIndex(2);
  lv->Items()->Item(2)->Delete();
  EXPECT_EQ(lv->Selected(), nullptr);
  EXPECT_EQ(lv->ItemFocused(), nullptr);
  EXPECT_EQ(lv->Items()->Count(), 4);
  EXPECT_EQ(lv->Items()->Item(2)->Caption(), Utf8ToAnsi("事件"));
  lv->Items()->Clear();
  EXPECT_EQ(deleted.size(), 5u);
  EXPECT_EQ(lv->GetItemAt(5, 5), nullptr);
  EXPECT_THROW(lv->Items()->Item(0), EListError);
  hb->Key(VK_DOWN);  // keys on an empty view do nothing
  Pump();
}

TEST_F(ListViewTest, KeyboardScrollsTheSelectionIntoView) {
  lv->SetHeight(lv->CellSize().cy + 20);  // one row and a bit
  lv->SetFocus();
  lv->SetItemIndex(0);
  hb->Key(VK_DOWN);
  Pump();
  EXPECT_EQ(lv->ItemIndex(), 3);
  TRect r = lv->Selected()->DisplayRect();
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, lv->ClientHeight());
  hb->Key(VK_HOME);
  Pump();
  EXPECT_EQ(lv->TopOffset(), 0);
}

}  // namespace
