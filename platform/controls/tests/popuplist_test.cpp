// A list box shown as a pop-up window of another control: its owner-draw
// messages reach it through its owner, and clicking it leaves the focus
// where it was.
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
