// Pop-up menu links: a right-button release or a context-menu key over a
// linked control (or, with ProcessChildren, one of its children) opens the
// linked menu there; the menu's shortcuts work from the focused control;
// the action handler may refuse; links never hold controls of other forms.
#include "bars/kxbarpopup.h"
#include "bars/tests/kxbartest.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"

namespace {

// Records where the menu opened and closes it again with Escape.
struct TPopupLinksWatch {
  std::vector<TPoint> Opened;
  void Shown(TObject* Sender) {
    TkxBarSubMenuControl* w = static_cast<TkxBarPopupMenu*>(Sender)->SubMenuControl();
    TRect r = w->GetWindowRect();
    Opened.push_back(TPoint{r.left, r.top});
    PostMessageA(w->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  }
  bool Refuse = false;
  int Actions = 0;
  void Action(TObject*, int&, int&, bool, bool& AllowPopup) {
    ++Actions;
    if (Refuse) AllowPopup = false;
  }
};

}  // namespace

class BarsPopupLinksTest : public BarsFormTest {
 protected:
  TkxBarPopupMenu* Menu = nullptr;
  TPanel* Panel = nullptr;
  TButton* Child = nullptr;
  TkxBarPopupMenuLink* Link = nullptr;
  TPopupLinksWatch Watch;
  void SetUp() override {
    BarsFormTest::SetUp();
    Menu = new TkxBarPopupMenu(F);
    Menu->ItemLinks()->Add()->SetItem(F->OpenItem);
    Menu->OnPopup = TNotifyEvent(&Watch, &TPopupLinksWatch::Shown);
    Panel = new TPanel(F);
    Panel->SetParent(F);
    Panel->SetBounds(240, 60, 200, 120);
    Child = new TButton(F);
    Child->SetParent(Panel);
    Child->SetBounds(10, 10, 120, 22);
    Link = F->BarManager1->PopupMenuLinks()->Add();
    Link->SetControl(Panel);
    Link->SetPopupMenu(Menu);
    Link->OnAction = TkxBarPopupMenuLinkActionEvent(&Watch, &TPopupLinksWatch::Action);
    Pump();
  }
};

TEST_F(BarsPopupLinksTest, ARightClickOverAChildOpensThePanelsMenuOnlyWithProcessChildren) {
  TPoint p = Child->ClientToScreen(TPoint{30, 8});
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  Pump();
  ASSERT_EQ(Watch.Opened.size(), 1u);
  EXPECT_EQ(Watch.Opened[0].x, p.x);
  EXPECT_EQ(Watch.Opened[0].y, p.y);
  EXPECT_FALSE(Menu->Shown());
  Link->SetProcessChildren(false);
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(Watch.Opened.size(), 1u);
  // over the panel itself it still opens; the action handler may refuse
  TPoint q = Panel->ClientToScreen(TPoint{150, 80});
  hb->Click(q.x, q.y, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(Watch.Opened.size(), 2u);
  Watch.Refuse = true;
  hb->Click(q.x, q.y, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(Watch.Opened.size(), 2u);
  EXPECT_EQ(Watch.Actions, 3);
}

TEST_F(BarsPopupLinksTest, ContextKeysOpenTheMenuAtTheFocusedControl) {
  Child->SetFocus();
  Pump();
  hb->Key(VK_F10, HeadlessBackend::Shift);
  Pump();
  ASSERT_EQ(Watch.Opened.size(), 1u);
  TPoint origin = Child->ClientToScreen(TPoint{0, 0});
  EXPECT_GE(Watch.Opened[0].x, origin.x);  // at the caret, or the client origin
  EXPECT_EQ(Watch.Opened[0].y, origin.y);
  hb->Key(VK_APPS);
  Pump();
  EXPECT_EQ(Watch.Opened.size(), 2u);
}

TEST_F(BarsPopupLinksTest, ShortCutsOfTheMenuAndTheLinksTargets) {
  TkxBarPopupMenuLinks* links = F->BarManager1->PopupMenuLinks();
  EXPECT_TRUE(links->ProcessShortCut(Child, TShortCut(16463)));  // Ctrl+O, through the panel
  EXPECT_EQ(F->Log.back(), "open");
  Watch.Refuse = true;
  EXPECT_FALSE(links->ProcessShortCut(Child, TShortCut(16463)));
  // a control on another form is refused; a freed control leaves the link
  auto* other = new TForm(Application, 0);
  auto* foreign = new TPanel(other);
  foreign->SetParent(other);
  TkxBarPopupMenuLink* l2 = links->Add();
  l2->SetControl(foreign);
  EXPECT_EQ(l2->Control(), nullptr);
  other->Free();
  Panel->Free();
  EXPECT_EQ(Link->Control(), nullptr);
  Menu->Free();
  EXPECT_EQ(Link->PopupMenu(), nullptr);
}

TEST_F(BarsPopupLinksTest, AnEditsOwnContextMenuDoesNotFollowTheLinkedOne) {
  auto* edit = new TEdit(F);
  edit->SetParent(F);
  edit->SetBounds(240, 200, 120, 22);
  Pump();
  Link->SetControl(edit);
  TPoint p = edit->ClientToScreen(TPoint{20, 8});
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  Pump();  // the edit's own menu would run a loop of its own here and wait for ever
  EXPECT_EQ(Watch.Opened.size(), 1u);
  EXPECT_FALSE(Menu->Shown());
}
