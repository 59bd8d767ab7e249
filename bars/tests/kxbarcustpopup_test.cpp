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
