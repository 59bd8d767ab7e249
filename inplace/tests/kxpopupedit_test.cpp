// The pop-up editor and its form: hosting a control and giving it back,
// sizes, placement against the work area, the close-up verdict and text,
// circular hosts, nested pop-ups, the sizing corner and the local loop.
#include "inplace/tests/kxtest.h"

#include <deque>
#include <functional>

#include "inplace/kxpopupedit.h"
#include "platform/controls/extctrls.h"

namespace {

// Steps run one per idle pass while a pop-up form's loop waits; when they
// run out the pop-up is abandoned, so a test can never hang in the loop.
class TIdleScript : public TObject {
 public:
  std::deque<std::function<void()>> Steps;
  TkxInplacePopupEdit* Edit = nullptr;
  int Idles = 0;
  void Idle(TObject*, bool& Done) {
    ++Idles;
    Done = false;  // the loop looks again at once (waiting would wait for ever here)
    if (!Steps.empty()) {
      auto step = Steps.front();
      Steps.pop_front();
      step();
    } else if (Edit && Edit->PopupForm() && Edit->PopupForm()->Visible()) {
      Edit->PopupForm()->SetModalResult(mrCancel);
    }
  }
};

class Verdicts : public TObject {
 public:
  AnsiString NewText;
  bool Accept = true;
  bool CanClose = true;
  int CloseUps = 0;
  void CloseUp(TObject*, AnsiString& Text, bool& AAccept) {
    ++CloseUps;
    if (!NewText.empty()) Text = NewText;
    if (!Accept) AAccept = false;
  }
  void CloseQuery(TObject*, bool& Can) { Can = CanClose; }
};

class KxPopupEditTest : public InplaceTest {
 protected:
  TkxInplacePopupEdit* E = nullptr;
  TIdleScript Script;
  Verdicts V;
  TBox* Hosted = nullptr;
  TPanel* Home = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplacePopupEdit>();
    Script.Edit = E;
    Application->OnIdle = TIdleEvent(&Script, &TIdleScript::Idle);
    E->OnCloseUp = TkxPopupEditCloseUpEvent(&V, &Verdicts::CloseUp);
    E->OnCloseQuery = TkxPopupEditCloseQueryEvent(&V, &Verdicts::CloseQuery);
    Home = NewObject<TPanel>(Form);
    Home->SetParent(Form);
    Home->SetBounds(10, 220, 200, 60);
    Hosted = NewObject<TBox>(Form);
    Hosted->SetParent(Home);
    Hosted->SetBounds(5, 6, 150, 80);
  }
  void TearDown() override {
    Application->OnIdle = TIdleEvent();
    InplaceTest::TearDown();
  }
  void Open() {
    E->DropDown();
    Pump();
  }
};

TEST_F(KxPopupEditTest, SizeLimits) {
  E->SetPopupMinHeight(300);
  EXPECT_EQ(300, E->PopupHeight());
  E->SetPopupMinHeight(-5);
  EXPECT_EQ(0, E->PopupMinHeight());
  E->SetPopupHeight(40);
  EXPECT_EQ(40, E->PopupHeight());
  E->SetPopupMinWidth(120);
  E->SetPopupWidth(50);
  EXPECT_EQ(120, E->PopupWidth());
}

TEST_F(KxPopupEditTest, HostsTheControlAndGivesItBack) {
  E->SetPopupControl(Hosted);
  Activate(E, kxRect(20, 30, 180, 50), Variant("abc"));
  TRect client;
  TWinControl* parentWhileShown = nullptr;
  Script.Steps.push_back([&] {
    client = E->PopupForm()->ClientRect();
    parentWhileShown = Hosted->Parent();
    EXPECT_TRUE(E->PopupShowing());
    EXPECT_TRUE(E->IsFocused());
    EXPECT_EQ(1u, kxPopupEditFormList().size());
    E->PopupForm()->SetModalResult(mrOk);
  });
  Open();
  EXPECT_EQ(E->PopupForm(), parentWhileShown);
  EXPECT_EQ(150, client.right);
  EXPECT_EQ(80, client.bottom);
  EXPECT_FALSE(E->PopupShowing());
  EXPECT_TRUE(kxPopupEditFormList().empty());
  EXPECT_EQ(Home, Hosted->Parent());
  EXPECT_EQ(kxRect(5, 6, 155, 86), Hosted->BoundsRect());
  EXPECT_EQ(alNone, Hosted->Align());
  EXPECT_TRUE(Hosted->Visible());
  EXPECT_EQ(1, V.CloseUps);
  EXPECT_EQ(nullptr, E->CurrentPopup());
}

TEST_F(KxPopupEditTest, FixedSizeIsRememberedAfterResizing) {
  E->PopupAutoSize = false;
  E->SetPopupWidth(260);
  E->SetPopupHeight(180);
  Activate(E, kxRect(20, 30, 180, 50), Variant("abc"));
  TRect outer;
  Script.Steps.push_back([&] {
    outer = E->PopupForm()->BoundsRect();
    E->PopupForm()->SetBounds(outer.left, outer.top, 300, 220);
    E->PopupForm()->SetModalResult(mrCancel);
  });
  Open();
  EXPECT_EQ(260, outer.Width());
  EXPECT_EQ(180, outer.Height());
  EXPECT_EQ(300, E->PopupWidth());
  EXPECT_EQ(220, E->PopupHeight());
}

TEST_F(KxPopupEditTest, VerdictAndTextOfTheCloseUp) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("abc"));
  V.NewText = "chosen";
  Script.Steps.push_back([&] { E->PopupForm()->SetModalResult(mrOk); });
  Open();
  EXPECT_EQ("chosen", E->Text());
  EXPECT_TRUE(E->Modified());
  // Abandoned: unchanged.
  V.NewText = "other";
  Script.Steps.push_back([&] { E->PopupForm()->SetModalResult(mrCancel); });
  Open();
  EXPECT_EQ("chosen", E->Text());
  // Refused by OnCloseQuery: the form stays open with ModalResult back at 0.
  V.CanClose = false;
  int afterRefusal = -1;
  bool visibleAfterRefusal = false;
  Script.Steps.push_back([&] { E->PopupForm()->SetModalResult(mrOk); });
  Script.Steps.push_back([&] {
    afterRefusal = E->PopupForm()->ModalResult();
    visibleAfterRefusal = E->PopupForm()->Visible();
    V.CanClose = true;
    E->PopupForm()->SetModalResult(mrCancel);
  });
  Open();
  EXPECT_EQ(0, afterRefusal);
  EXPECT_TRUE(visibleAfterRefusal);
  // A read-only editor is never changed.
  E->SetReadOnly(true);
  V.NewText = "never";
  Script.Steps.push_back([&] { E->PopupForm()->SetModalResult(mrOk); });
  Open();
  EXPECT_EQ("chosen", E->Text());
}

TEST_F(KxPopupEditTest, CircularHostsAreRefused) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("abc"));
  E->SetPopupControl(Host);
  try {
    E->ShowPopupForm();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ("Circular referencing is not allowed", AnsiString(e.what()));
  }
  EXPECT_FALSE(E->PopupShowing());
  E->SetPopupControl(E);
  EXPECT_THROW(E->ShowPopupForm(), Exception);
}

TEST_F(KxPopupEditTest, PlacedAgainstTheWorkArea) {
  TRect work;
  kxGetMonitorWorkArea(kxPoint(0, 0), work);
  Form->SetBounds(work.right - 260, work.bottom - 90, 250, 80);
  Host->SetBounds(0, 0, 240, 60);
  Pump();
  E->PopupAutoSize = false;
  E->SetPopupWidth(400);
  E->SetPopupHeight(200);
  Activate(E, kxRect(10, 10, 200, 28), Variant("abc"));
  RECT er;
  GetWindowRect(E->Handle(), &er);
  TRect bounds;
  Byte corner = 9;
  Script.Steps.push_back([&] {
    bounds = E->PopupForm()->BoundsRect();
    corner = E->PopupForm()->SizeGripCorner;
    // The corners the user may drag: only those away from the editor (above, right-aligned: top-left).
    RECT wr;
    GetWindowRect(E->PopupForm()->Handle(), &wr);
    EXPECT_EQ(HTTOPLEFT, kxPopupFormBorderHitTest(TRect(wr), kxPoint(wr.left + 1, wr.top + 1)));
    LRESULT hit = SendMessageA(E->PopupForm()->Handle(), WM_NCHITTEST, 0, MakeLParam(wr.right - 2, wr.bottom - 2));
    EXPECT_NE(HTBOTTOMRIGHT, hit);
    MINMAXINFO mm;
    SendMessageA(E->PopupForm()->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(100, mm.ptMinTrackSize.x);
    E->PopupForm()->SetModalResult(mrCancel);
  });
  Open();
  EXPECT_EQ(0, corner);
  EXPECT_EQ(er.top - 200, bounds.top);
  EXPECT_EQ(er.right, bounds.right);
}

TEST_F(KxPopupEditTest, NestedPopupsCloseInnerFirst) {
  // The outer pop-up hosts a panel with a second pop-up editor.
  auto* panel = NewObject<TPanel>(Form);
  panel->SetBounds(0, 0, 200, 100);
  auto* innerHost = NewObject<TTestContainer>(panel);
  innerHost->SetParent(panel);
  innerHost->SetBounds(0, 0, 190, 90);
  auto* inner = NewObject<TkxInplacePopupEdit>(innerHost);
  inner->SetParent(innerHost);
  E->SetPopupControl(panel);
  Activate(E, kxRect(20, 30, 180, 50), Variant("outer"));
  std::vector<TkxPopupEditForm*> order;
  size_t nested = 0;
  Script.Steps.push_back([&] {
    inner->ShowInRect(kxRect(5, 5, 120, 25));
    inner->DropDown();
  });
  Script.Steps.push_back([&] {
    nested = kxPopupEditFormList().size();
    // Closing the outer form closes the inner one first.
    E->PopupForm()->ClosePopup(false);
  });
  Open();
  EXPECT_EQ(2u, nested);
  EXPECT_TRUE(kxPopupEditFormList().empty());
  EXPECT_FALSE(inner->PopupShowing());
  EXPECT_FALSE(E->PopupShowing());
  EXPECT_EQ(Form, panel->Owner());
}

}  // namespace
