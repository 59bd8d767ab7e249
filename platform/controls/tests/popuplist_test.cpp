// A list box shown as a pop-up window of another control: its owner-draw
// messages reach it through its owner, and clicking it leaves the focus
// where it was. Owner-drawn items start on the selection colours when selected.
#include <vector>

#include "platform/controls/stdctrls.h"
#include "platform/controls/stdwnd.h"
#include "platform/controls/tests/ctltest.h"

namespace {

class TPopupTestList : public TCustomListBox {
  PV_CLASS(TPopupTestList, TCustomListBox)
 public:
  explicit TPopupTestList(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
  }
  HWND OwnerWnd = nullptr;
  int Drawn = 0;
  void CreateParams(TCreateParams& Params) override {
    TCustomListBox::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(WS_CHILD)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = OwnerWnd;
  }

 protected:
  void CreateWndDone() override {
    TCustomListBox::CreateWndDone();
    ListBoxSetNotifyWindow(Handle(), OwnerWnd);
  }
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override {
    ++Drawn;
    TCustomListBox::DrawItem(Index, Rect, State);
  }
};

class PopupListTest : public CtlTest {};

TEST_F(PopupListTest, OwnerDrawReachesThePopupAndClicksKeepTheFocus) {
  TForm* form = NewObject<TForm>(Application);
  form->SetBounds(100, 100, 300, 200);
  auto* box = NewObject<TBox>(form);
  box->SetParent(form);
  box->SetTabStop(true);
  form->Show();
  box->SetFocus();
  Pump();
  auto* list = NewObject<TPopupTestList>(form);
  list->OwnerWnd = form->Handle();
  list->Items()->Add("one");
  list->Items()->Add("two");
  list->SetBounds(150, 150, 100, 60);
  SetWindowPos(list->Handle(), HWND_TOPMOST, 150, 150, 100, 60, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  list->Update();
  Pump();
  EXPECT_GT(list->Drawn, 0);
  hb->Click(160, 152 + list->ItemHeight());
  Pump();
  EXPECT_EQ(1, list->ItemIndex());
  EXPECT_EQ(box->Handle(), GetFocus());
}

}  // namespace

namespace {

// What an owner-draw handler finds on the canvas when it is called.
struct TCanvasColours {
  TListBox* List = nullptr;
  std::vector<std::pair<TColor, TColor>> Seen;  // brush, font, by item
  void Draw(TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
    if (Index >= int(Seen.size())) Seen.resize(std::size_t(Index) + 1);
    Seen[std::size_t(Index)] = {List->Canvas()->Brush()->Color(), List->Canvas()->Font()->Color()};
    List->Canvas()->FillRect(Rect);
  }
};

}  // namespace

TEST_F(PopupListTest, ASelectedOwnerDrawnItemStartsOnTheSelectionColours) {
  TForm* form = NewObject<TForm>(Application);
  form->SetBounds(100, 100, 300, 200);
  auto* list = NewObject<TListBox>(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 120, 80);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetColor(clWindow);
  list->Font()->SetColor(clMaroon);
  TCanvasColours colours;
  colours.List = list;
  list->OnDrawItem = TDrawItemEvent(&colours, &TCanvasColours::Draw);
  list->Items()->Add("one");
  list->Items()->Add("two");
  form->Show();
  list->SetItemIndex(1);
  list->Invalidate();
  list->Update();
  Pump();
  ASSERT_EQ(colours.Seen.size(), 2u);
  EXPECT_EQ(colours.Seen[0].first, clWindow);
  EXPECT_EQ(colours.Seen[0].second, clMaroon);
  EXPECT_EQ(colours.Seen[1].first, clHighlight);
  EXPECT_EQ(colours.Seen[1].second, clHighlightText);
}
