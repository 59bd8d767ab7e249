// The toolbar list pop-up of toolbars and dock sites, and the customizing
// pop-up of a link.
#include "bars/kxbarcustomize.h"
#include "bars/tests/kxbartest.h"

namespace kxbarcustpopup_test {

struct TBoxes {
  static inline std::vector<std::string> Texts;
  static int Show(HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
    Texts.push_back(std::string(Caption) + "|" + std::string(Text) + "|" + std::to_string(Flags));
    return IDOK;
  }
};

}  // namespace kxbarcustpopup_test

namespace kcpt = kxbarcustpopup_test;

class CustPopupTest : public BarsFormTest {
 protected:
  TkxBarManager* M = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    M = F->BarManager1;
    kcpt::TBoxes::Texts.clear();
    SetMessageBoxProc(&kcpt::TBoxes::Show);
  }
  // The open menu that is not a child of another one (the pop-up), nil when none.
  static TkxBarSubMenuControl* OpenPopup() {
    for (int i = 0; TCustomkxBarControl* c = kxBarGetBarControl(i); ++i)
      if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(c); m && m->HandleAllocated() && IsWindowVisible(m->Handle()))
        if (dynamic_cast<TkxBarToolbarsPopup*>(m) || dynamic_cast<TkxBarCustomizingPopup*>(m)) return m;
    return nullptr;
  }
  static std::vector<std::string> Captions(TkxBarItemLinks* Links) {
    std::vector<std::string> r;
    for (int i = 0; i < Links->Count(); ++i) r.push_back(AnsiToUtf8(Links->Items(i)->Item()->Caption()));
    return r;
  }
  // The customizing pop-up of a toolbar link, opened by a right click.
  TkxBarCustomizingPopup* RightClick(TkxBarItemLink* Link) {
    TRect r = LinkScreenRect(Link);
    hb->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, HeadlessBackend::Right);
    Pump();
    return kxBarGetCustomizingPopup();
  }
  static TkxBarItem* Entry(TkxBarSubMenuControl* Popup, int Tag) {
    for (int i = 0; i < Popup->ItemLinks()->Count(); ++i)
      if (Popup->ItemLinks()->Items(i)->Item()->Tag() == Tag) return Popup->ItemLinks()->Items(i)->Item();
    return nullptr;
  }
  static bool Down(TkxBarSubMenuControl* Popup, int Tag) {
    return static_cast<TkxBarButton*>(Entry(Popup, Tag))->Down();
  }
};

TEST_F(CustPopupTest, ARightClickOnAToolbarOrADockSiteOpensTheToolbarList) {
  TRect r = LinkScreenRect(ToolLink(F->CutButton));
  hb->Click(r.left + 3, r.top + 3, HeadlessBackend::Right);
  Pump();
  TkxBarSubMenuControl* popup = OpenPopup();
  ASSERT_NE(dynamic_cast<TkxBarToolbarsPopup*>(popup), nullptr);
  EXPECT_EQ(Captions(popup->ItemLinks()), (std::vector<std::string>{"工具", "自定义(&C)..."}));
  EXPECT_EQ(popup->GetWindowRect().left, r.left + 3);
  EXPECT_EQ(popup->GetWindowRect().top, r.top + 3);
  // its first entry closes the toolbar
  ClickLink(popup->ItemLinks()->Items(0));
  EXPECT_FALSE(ToolsBar->Visible());
  EXPECT_EQ(OpenPopup(), nullptr);
  // the top site (now empty of visible bars) opens the list too; Customize switches on
  ToolsBar->SetVisible(true);
  Pump();
  TkxDockControl* top = M->Bars()->DockControls(dsTop);
  ASSERT_NE(top, nullptr);
  RECT site;
  ::GetWindowRect(top->Handle(), &site);
  TRect bar = ToolsBar->Control()->GetWindowRect();
  ASSERT_LT(bar.right + 5, site.right);
  hb->Click(site.right - 5, (site.top + site.bottom) / 2, HeadlessBackend::Right);
  Pump();
  popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ClickLink(popup->ItemLinks()->Items(1));
  EXPECT_TRUE(M->IsCustomizing());
  // while customizing the site opens nothing
  hb->Click(site.right - 5, (site.top + site.bottom) / 2, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(OpenPopup(), nullptr);
}

TEST_F(CustPopupTest, AnEmptyToolbarListShowsNothing) {
  M->SetCanCustomize(false);
  ToolsBar->SetAllowClose(false);
  TRect r = LinkScreenRect(ToolLink(F->CutButton));
  hb->Click(r.left + 3, r.top + 3, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(OpenPopup(), nullptr);
}

TEST_F(CustPopupTest, ALinkAtRunTimeGetsEightEntries) {
  M->SetCustomizing(true);
  Pump();
  TkxBarCustomizingPopup* popup = RightClick(ToolLink(F->CutButton));
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(OpenPopup(), popup);
  EXPECT_EQ(kxBarGetCustomizingPopupLink(), ToolLink(F->CutButton));
  EXPECT_EQ(kxBarGetCustomizingPopupLinks(), Tools);
  TkxBarItemLinks* links = popup->ItemLinks();
  EXPECT_EQ(Captions(links), (std::vector<std::string>{"重置(&R)", "删除工具条", "名字(&N):", "缺省风格(&U)",
                                                        "只有文本(&T) (总是)", "只有文本(&O) (在菜单上)",
                                                        "图标和文本(&A)", "开始组(&G)"}));
  std::vector<bool> groups;
  for (int i = 0; i < links->Count(); ++i) groups.push_back(links->Items(i)->StoredBeginGroup());
  EXPECT_EQ(groups, (std::vector<bool>{true, false, true, true, false, false, false, true}));
  EXPECT_EQ(static_cast<TkxBarEdit*>(Entry(popup, 2))->Text(), ToolLink(F->CutButton)->Caption());
  for (int tag = 3; tag <= 6; ++tag) EXPECT_TRUE(Entry(popup, tag)->Enabled()) << tag;
  EXPECT_TRUE(Down(popup, 3));
  EXPECT_FALSE(Entry(popup, 7)->Enabled()) << "the first link cannot begin a group";
}

TEST_F(CustPopupTest, PaintStylesNeedAButton) {
  M->SetCustomizing(true);
  Pump();
  struct Case {
    TkxBarItem* Item;
    bool Styled;
  };
  for (Case c : {Case{F->SearchEdit, false}, Case{F->CopyButton, true}}) {
    SCOPED_TRACE(std::string(c.Item->Name()));
    TkxBarItemLink* link = ToolLink(c.Item);
    if (c.Styled) link->SetUserPaintStyle(TkxBarPaintStyle::psCaptionInMenu);
    TkxBarCustomizingPopup* popup = RightClick(link);
    ASSERT_NE(popup, nullptr);
    for (int tag = 3; tag <= 6; ++tag) EXPECT_EQ(Entry(popup, tag)->Enabled(), c.Styled) << tag;
    int down = c.Styled ? 5 : 3;
    for (int tag = 3; tag <= 6; ++tag) EXPECT_EQ(Down(popup, tag), tag == down) << tag;
    EXPECT_TRUE(Entry(popup, 7)->Enabled());
    M->HideAll();
    Pump();
  }
}

TEST_F(CustPopupTest, EntriesChangeTheLink) {
  M->SetCustomizing(true);
  Pump();
  TkxBarItemLink* copy = ToolLink(F->CopyButton);
  TkxBarCustomizingPopup* popup = RightClick(copy);
  ASSERT_NE(popup, nullptr);
  ClickLink(LinkOf(popup->ItemLinks(), Entry(popup, 7)));
  EXPECT_TRUE(copy->StoredBeginGroup());
  popup = RightClick(copy);
  ClickLink(LinkOf(popup->ItemLinks(), Entry(popup, 4)));
  EXPECT_EQ(copy->PaintStyle(), TkxBarPaintStyle::psCaption);
  EXPECT_TRUE(copy->UserDefine().Contains(udPaintStyle));
  // a new name through the edit, then the reset drops it again
  popup = RightClick(copy);
  static_cast<TkxBarEdit*>(Entry(popup, 2))->SetText(A("拷贝"));
  EXPECT_EQ(copy->Caption(), A("拷贝"));
  EXPECT_EQ(F->CopyButton->Caption(), A("复制")) << "only the link is renamed at run time";
  ClickLink(LinkOf(popup->ItemLinks(), Entry(popup, 0)));
  EXPECT_EQ(copy->Caption(), A("复制"));
  EXPECT_EQ(copy->UserDefine(), TkxBarUserDefines());
  // delete
  int count = Tools->Count();
  popup = RightClick(copy);
  ClickLink(LinkOf(popup->ItemLinks(), Entry(popup, 1)));
  EXPECT_EQ(Tools->Count(), count - 1);
  EXPECT_EQ(ToolLink(F->CopyButton), nullptr);
  EXPECT_EQ(kxBarGetCustomizingPopupLink(), nullptr);
}

TEST_F(CustPopupTest, AnEmptyNameIsRefused) {
  M->SetCustomizing(true);
  Pump();
  TkxBarItemLink* cut = ToolLink(F->CutButton);
  TkxBarCustomizingPopup* popup = RightClick(cut);
  ASSERT_NE(popup, nullptr);
  static_cast<TkxBarEdit*>(Entry(popup, 2))->SetText("");
  Pump();
  EXPECT_EQ(kxBarGetCustomizingPopup(), nullptr) << "the pop-up closed";
  ASSERT_EQ(kcpt::TBoxes::Texts.size(), 1u);
  EXPECT_EQ(kcpt::TBoxes::Texts[0], std::string(Application->Title()) + "|" +
                                        std::string(A("一个命令名未能为空.请输入一个名字.")) + "|" +
                                        std::to_string(MB_ICONERROR | MB_OK));
  EXPECT_EQ(cut->Caption(), A("剪切"));
  EXPECT_FALSE(cut->UserDefine().Contains(udCaption));
}

TEST_F(CustPopupTest, AtRunTimeAClickOnEmptySpaceOpensNothing) {
  M->SetCustomizing(true);
  Pump();
  TRect bar = ToolsBar->Control()->GetWindowRect();
  hb->Click(bar.right - 2, bar.bottom - 2, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(kxBarGetCustomizingPopup(), nullptr);
  EXPECT_EQ(OpenPopup(), nullptr);
}

// A form being designed, with a manager, a floating toolbar of three buttons
// and the "默认" category second.
class CustPopupDesignTest : public BarsTest {
 protected:
  TForm* Form = nullptr;
  TkxBarManager* M = nullptr;
  TkxBar* Bar = nullptr;
  void SetUp() override {
    BarsTest::SetUp();
    Form = new TForm(Application);
    Form->SetDesigning(true);
    Form->SetBounds(40, 30, 400, 200);
    M = new TkxBarManager(Form);
    M->Categories()->Insert(0, "File");
    if (M->Categories()->IndexOf(A("默认")) != 1) M->Categories()->Insert(1, A("默认"));
    Bar = M->Bars()->Add();
    Bar->SetCaption("Design");
    Bar->SetFloatLeft(100);
    Bar->SetFloatTop(300);
    for (const char* name : {"One", "Two", "Three"}) {
      auto* b = new TkxBarButton(Form);
      b->SetName(name);
      b->SetCaption(name);
      b->SetCategory(0);
      Bar->ItemLinks()->Add()->SetItem(b);
    }
    Form->Show();
    Form->HandleNeeded();
    Pump();
    Bar->SetVisible(true);
    Pump();
  }
  static TkxBarItemLink* LinkOf(TkxBarItemLinks* Links, int Tag) {
    for (int i = 0; i < Links->Count(); ++i)
      if (Links->Items(i)->Item()->Tag() == Tag) return Links->Items(i);
    return nullptr;
  }
  static std::vector<int> Tags(TkxBarItemLinks* Links) {
    std::vector<int> r;
    for (int i = 0; i < Links->Count(); ++i) r.push_back(int(Links->Items(i)->Item()->Tag()));
    return r;
  }
};

TEST_F(CustPopupDesignTest, DesignTimeEntriesDependOnTheLinkAndTheWindow) {
  ASSERT_TRUE(M->IsDesigning());
  ASSERT_NE(Bar->Control(), nullptr);
  auto* withLink = new TkxBarCustomizingPopup(M, Bar->ItemLinks()->Items(0), Bar->ItemLinks());
  EXPECT_EQ(Tags(withLink->ItemLinks()), (std::vector<int>{-4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(withLink->ItemLinks()->Items(6)->Item()->Caption(), A("标题(&C):"));
  // the item kinds: one entry per class shown in customizing
  TkxBarItem* kinds = withLink->ItemLinks()->Items(2)->Item();
  ASSERT_NE(kinds->SubItemLinks(), nullptr);
  EXPECT_EQ(kinds->SubItemLinks()->Count(), kxBarCustomizingItemClassCount());
  EXPECT_EQ(kinds->SubItemLinks()->Items(0)->Item()->Caption(), kxBarGetCustomizingItemClass(0)->Name);
  EXPECT_EQ(kinds->SubItemLinks()->Items(0)->Item()->Tag(), -100);
  withLink->Free();
  auto* noLink = new TkxBarCustomizingPopup(M, nullptr, Bar->ItemLinks());
  EXPECT_EQ(Tags(noLink->ItemLinks()), (std::vector<int>{-4, -3, -2, -1}));
  noLink->Free();
  // in a menu's links there is no toolbar to delete
  auto* sub = new TkxBarSubItem(Form);
  auto* inMenu = new TkxBarCustomizingPopup(M, nullptr, sub->ItemLinks());
  EXPECT_EQ(Tags(inMenu->ItemLinks()), (std::vector<int>{-4, -3, -2}));
  inMenu->Free();
  kxBarFreeTempItems();
}

TEST_F(CustPopupDesignTest, AddButtonInsertsANewItemBehindTheLink) {
  TkxBarItemLinks* links = Bar->ItemLinks();
  auto* popup = new TkxBarCustomizingPopup(M, links->Items(2), links);
  popup->ItemClick(LinkOf(popup->ItemLinks(), -3)->Item());
  ASSERT_EQ(links->Count(), 4);
  TkxBarItem* added = links->Items(3)->Item();
  EXPECT_EQ(added->Caption(), "New Item");
  EXPECT_EQ(added->Category(), 1) << "the category named 默认";
  EXPECT_EQ(added->Owner(), Form);
  EXPECT_NE(dynamic_cast<TkxBarButton*>(added), nullptr);
  EXPECT_FALSE(added->Name().empty());
  EXPECT_EQ(Bar->Control()->SelectedControl(), links->Items(3)->Control());
  EXPECT_FALSE(kxBarDesignCommandRunning());
  // deleting the toolbar
  int bars = M->Bars()->Count();
  popup->ItemClick(LinkOf(popup->ItemLinks(), -1)->Item());
  EXPECT_EQ(M->Bars()->Count(), bars - 1);
  EXPECT_EQ(kxBarGetCustomizingPopupLinks(), nullptr);
  popup->Free();
  kxBarFreeTempItems();
}

TEST_F(CustPopupTest, AListOpenedWithTheButtonHeldTakesTheRelease) {
  TkxBarItemLink* link = ToolLink(F->SizeCombo);
  ClickLink(link);
  TRect r = LinkScreenRect(link);
  // press on the arrow at the right end and keep the button down
  TPoint arrow{r.right - 4, (r.top + r.bottom) / 2};
  hb->MouseDown(arrow.x, arrow.y);
  Pump();
  TkxBarDropDownListBox* list = F->SizeCombo->ListBox();
  ASSERT_TRUE(list->HandleAllocated());
  ASSERT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_TRUE(list->CapturedAtDrop());
  EXPECT_EQ(GetCapture(), list->Handle());
  // the painter's border (2 pixels for this style) lies outside the client area
  RECT w;
  ::GetWindowRect(list->Handle(), &w);
  EXPECT_EQ(list->ClientWidth(), w.right - w.left - 4);
  EXPECT_EQ(GetWindowLongPtrA(list->Handle(), GWL_EXSTYLE), LONG_PTR(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
  // into the list and released over the first string: it is chosen
  TPoint first = list->ClientToScreen(TPoint{10, list->ItemHeight() / 2});
  hb->MouseMove(first.x, first.y);
  Pump();
  EXPECT_FALSE(list->CapturedAtDrop());
  hb->MouseUp(first.x, first.y);
  Pump();
  EXPECT_FALSE(IsWindowVisible(list->Handle()));
  EXPECT_EQ(F->SizeCombo->ItemIndex(), 0);
  EXPECT_EQ(F->SizeCombo->Text(), A("四号"));
}
