// MDI menu merging: a maximized child's main menu moves into the frame's,
// behind an entry with the child's system menu, and the frame's menu bar
// gets the child's minimize, restore and close buttons.
#include "bars/kxbarmdi.h"
#include "bars/tests/kxbartest.h"
#include <fstream>
#include <sstream>

#include "platform/rtl/resources.h"

namespace {

const char* const kMdiFrameText = R"(object MdiFrame: TForm
  Left = 10
  Top = 10
  Width = 640
  Height = 480
  Caption = '框架'
  FormStyle = fsMDIForm
  object BarManager1: TkxBarManager
    Bars = <
      item
        Caption = 'Main Menu'
        DockingStyle = dsTop
        DockedDockingStyle = dsTop
        IsMainMenu = True
        ItemLinks = <
          item
            Item = FileMenu
            Visible = True
          end
          item
            Item = WindowMenu
            Visible = True
          end>
        MultiLine = True
        Name = 'Main Menu'
        OneOnRow = True
        Row = 0
        Visible = True
        WholeRow = True
      end>
    Style = bmsStandard
    object FileMenu: TkxBarSubItem
      Caption = '文件'
      Category = 0
      Visible = ivAlways
    end
    object WindowMenu: TkxBarSubItem
      Caption = '窗口'
      Category = 0
      Visible = ivAlways
    end
  end
end
)";

const char* const kMdiChildText = R"(object MdiChild: TForm
  Left = 20
  Top = 20
  Width = 300
  Height = 200
  Caption = '子窗口'
  FormStyle = fsMDIChild
  object BarManager1: TkxBarManager
    Bars = <
      item
        Caption = 'Child Menu'
        DockingStyle = dsTop
        DockedDockingStyle = dsTop
        IsMainMenu = True
        ItemLinks = <
          item
            Item = EditMenu
            Visible = True
          end
          item
            Item = FormatMenu
            Visible = True
          end>
        MultiLine = True
        Name = 'Child Menu'
        OneOnRow = True
        Row = 0
        Visible = True
        WholeRow = True
      end>
    Style = bmsStandard
    object EditMenu: TkxBarSubItem
      Caption = '编辑'
      Category = 0
      Visible = ivAlways
    end
    object FormatMenu: TkxBarSubItem
      Caption = '格式'
      Category = 0
      Visible = ivAlways
    end
  end
end
)";

struct TMdiCloser {
  void Close(TObject*, TCloseAction& Action) { Action = caFree; }
};

struct TMergeLog {
  std::vector<std::string> Events;
  TkxBar* FrameMenu = nullptr;
  void Merge(TkxBarManager*, TkxBarManager* Child, bool AddItems) {
    int childLinks = 0;
    for (int i = 0; i < FrameMenu->ItemLinks()->Count(); ++i)
      if (FrameMenu->ItemLinks()->Items(i)->Item()->BarManager() == Child) ++childLinks;
    Events.push_back(std::string(AddItems ? "add " : "remove ") + std::to_string(childLinks));
  }
};

}  // namespace

class BarsMdiTest : public BarsTest {
 protected:
  TForm* Frame = nullptr;
  TkxBarManager* FM = nullptr;
  TMdiCloser Closer;
  void SetUp() override {
    BarsTest::SetUp();
    // the system-menu bitmaps of the program (only these: other resources
    // would change what later tests draw)
    static const char* const names[4] = {"KXBARCLOSE", "KXBARRESTORE", "KXBARMAXIMIZE", "KXBARMINIMIZE"};
    static std::string kept[4];
    for (int i = 0; i < 4 && kept[i].empty(); ++i) {
      std::string path = PV_SOURCE_DIR;
      path.append("/resources/bitmaps/").append(names[i]).append(".bmp");
      std::ifstream in(path, std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      kept[i] = bytes.str();
      RegisterResource(RT_BITMAP, names[i], kept[i].data(), kept[i].size());
    }
    Frame = new TForm(Application, 0);
    ReadComponentFromText(Utf8ToAnsi(kMdiFrameText), Frame);
    Application->SetMainForm(Frame);
    Frame->Show();
    Pump();
    FM = dynamic_cast<TkxBarManager*>(Frame->FindComponent("BarManager1"));
  }
  TForm* NewChild() {
    auto* c = new TForm(Application, 0);
    ReadComponentFromText(Utf8ToAnsi(kMdiChildText), c);
    c->OnClose = TCloseEvent(&Closer, &TMdiCloser::Close);
    c->Show();
    Pump();
    return c;
  }
  static TkxBar* MenuOf(TForm* F) { return kxBarGetManagerByForm(F)->MainMenuBar(); }
  // The captions of the frame's main menu links ("[sys]" for the system-menu entry).
  std::vector<std::string> FrameMenu() {
    std::vector<std::string> r;
    TkxBarItemLinks* l = FM->MainMenuBar()->ItemLinks();
    for (int i = 0; i < l->Count(); ++i)
      r.push_back(dynamic_cast<TSystemMenuSubItem*>(l->Items(i)->Item()) ? "[sys]"
                                                                         : AnsiToUtf8(l->Items(i)->Item()->Caption()));
    return r;
  }
  TSystemMenuSubItem* SystemItem() {
    TkxBarItemLinks* l = FM->MainMenuBar()->ItemLinks();
    return l->Count() ? dynamic_cast<TSystemMenuSubItem*>(l->Items(0)->Item()) : nullptr;
  }
  void ClickMDIButton(int Index) {
    TkxBarControl* bar = FM->MainMenuBar()->Control();
    ASSERT_TRUE(bar->HasMDIButtons());
    TRect r = bar->GetMDIButtonRect(Index);
    TPoint p = bar->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    hb->Click(p.x, p.y);
    Pump();
  }
};

const std::vector<std::string> kFrameOnly{"文件", "窗口"};
const std::vector<std::string> kMerged{"[sys]", "文件", "窗口", "编辑", "格式"};

TEST_F(BarsMdiTest, AMaximizedChildsMenuMergesAndItsButtonsWork) {
  TForm* child = NewChild();
  TRect normal = child->BoundsRect();
  EXPECT_EQ(FrameMenu(), kFrameOnly);
  EXPECT_TRUE(MenuOf(child)->Visible());
  EXPECT_FALSE(FM->MainMenuBar()->Control()->HasMDIButtons());

  child->SetWindowState(wsMaximized);
  Pump();
  RECT maxRect;
  GetWindowRect(child->Handle(), &maxRect);
  EXPECT_EQ(FrameMenu(), kMerged);
  ASSERT_NE(SystemItem(), nullptr);
  EXPECT_EQ(SystemItem()->ChildWindow(), child->Handle());
  EXPECT_FALSE(MenuOf(child)->Visible());
  EXPECT_TRUE(FM->MainMenuBar()->Control()->HasMDIButtons());
  // the entry shows the child's icon at the small-icon size
  TkxBarItemControl* entry = FM->MainMenuBar()->ItemLinks()->Items(0)->Control();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->GetWidth(), GetSystemMetrics(SM_CXSMICON));

  // the keyboard's menu mode starts past the entry
  FM->MainMenuBar()->Control()->ActivateMenuMode(nullptr);
  ASSERT_NE(FM->MainMenuBar()->Control()->SelectedControl(), nullptr);
  EXPECT_EQ(AnsiToUtf8(FM->MainMenuBar()->Control()->SelectedControl()->Item()->Caption()), "文件");
  FM->MainMenuBar()->Control()->DeactivateMenuMode();

  // restore: the child's own menu comes back, the child keeps its normal place
  ClickMDIButton(1);
  EXPECT_EQ(child->WindowState(), wsNormal);
  EXPECT_EQ(FrameMenu(), kFrameOnly);
  EXPECT_TRUE(MenuOf(child)->Visible());
  EXPECT_EQ(child->BoundsRect(), normal);
  EXPECT_FALSE(FM->MainMenuBar()->Control()->HasMDIButtons());

  // minimize
  child->SetWindowState(wsMaximized);
  Pump();
  RECT again;
  GetWindowRect(child->Handle(), &again);
  EXPECT_EQ(TRect(again), TRect(maxRect));
  ClickMDIButton(0);
  EXPECT_TRUE(IsIconic(child->Handle()));
  EXPECT_EQ(FrameMenu(), kFrameOnly);

  // close: the child goes, and its items leave the frame's menu with it
  child->SetWindowState(wsMaximized);
  Pump();
  EXPECT_EQ(FrameMenu(), kMerged);
  ClickMDIButton(2);
  Pump();
  EXPECT_EQ(Frame->MDIChildCount(), 0);
  EXPECT_EQ(FrameMenu(), kFrameOnly);
  EXPECT_FALSE(FM->MainMenuBar()->Control()->HasMDIButtons());
}

// The entry's menu is the child's system menu: its commands with the
// program's bitmaps and the shortcut texts after the tab; they reach the child.
TEST_F(BarsMdiTest, TheSystemMenuEntryListsAndRunsTheChildsCommands) {
  TForm* child = NewChild();
  child->SetWindowState(wsMaximized);
  Pump();
  TSystemMenuSubItem* sys = SystemItem();
  ASSERT_NE(sys, nullptr);
  sys->Rebuild();
  TkxBarItemLinks* links = sys->ItemLinks();
  struct Row {
    const char* caption;
    UINT command;
    bool glyph, enabled, group;
    TShortCut shortCut;
  };
  const Row rows[] = {
      {"还原(&R)", SC_RESTORE, true, true, false, 0},   {"移动(&M)", SC_MOVE, false, false, false, 0},
      {"大小(&S)", SC_SIZE, false, false, false, 0},    {"最小化(&N)", SC_MINIMIZE, true, true, false, 0},
      {"最大化(&X)", SC_MAXIMIZE, true, false, false, 0}, {"关闭(&C)", SC_CLOSE, true, true, true, TextToShortCut("Alt+F4")},
  };
  ASSERT_EQ(links->Count(), int(std::size(rows)));
  for (int i = 0; i < links->Count(); ++i) {
    const Row& r = rows[i];
    SCOPED_TRACE(r.caption);
    TkxBarItem* item = links->Items(i)->Item();
    EXPECT_EQ(AnsiToUtf8(item->Caption()), r.caption);
    EXPECT_EQ(UINT(item->Tag()), r.command);
    EXPECT_EQ(!item->Glyph()->Empty(), r.glyph);
    EXPECT_EQ(item->Enabled(), r.enabled);
    EXPECT_EQ(links->Items(i)->BeginGroup(), r.group);
    EXPECT_EQ(item->ShortCut(), r.shortCut);
  }
  // a rebuild replaces the items instead of adding more
  sys->Rebuild();
  EXPECT_EQ(sys->ItemLinks()->Count(), int(std::size(rows)));
  // restore, run from the menu
  sys->ItemLinks()->Items(0)->Item()->Click();
  Pump();
  EXPECT_EQ(child->WindowState(), wsNormal);
  EXPECT_EQ(FrameMenu(), kFrameOnly);
}

TEST_F(BarsMdiTest, DoubleClickingTheSystemMenuEntryClosesTheChild) {
  FM->SetStyle(bmsFlat);  // the standard style takes double clicks as clicks
  TForm* child = NewChild();
  child->SetWindowState(wsMaximized);
  Pump();
  ASSERT_EQ(FrameMenu(), kMerged);
  TkxBarItemControl* entry = FM->MainMenuBar()->ItemLinks()->Items(0)->Control();
  ASSERT_NE(entry, nullptr);
  TRect r = LinkScreenRect(entry->Link());
  hb->DoubleClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pump();
  EXPECT_EQ(Frame->MDIChildCount(), 0);
  EXPECT_EQ(FrameMenu(), kFrameOnly);
}

// With AlwaysMerge the active child's items are merged even when it is not
// maximized; switching children exchanges them, maximizing adds the entry only.
TEST_F(BarsMdiTest, AlwaysMergeFollowsTheActiveChild) {
  FM->SetAlwaysMerge(true);
  TForm* first = NewChild();
  EXPECT_EQ(FrameMenu(), (std::vector<std::string>{"文件", "窗口", "编辑", "格式"}));
  EXPECT_FALSE(MenuOf(first)->Visible());
  TForm* second = NewChild();
  EXPECT_EQ(FrameMenu(), (std::vector<std::string>{"文件", "窗口", "编辑", "格式"}));
  TkxBarItemLinks* l = FM->MainMenuBar()->ItemLinks();
  EXPECT_EQ(l->Items(2)->Item()->BarManager(), kxBarGetManagerByForm(second));
  first->Show();
  Pump();
  EXPECT_EQ(l->Items(2)->Item()->BarManager(), kxBarGetManagerByForm(first));
  EXPECT_EQ(l->Count(), 4);
  first->SetWindowState(wsMaximized);
  Pump();
  EXPECT_EQ(FrameMenu(), kMerged);
  first->SetWindowState(wsNormal);
  Pump();
  EXPECT_EQ(FrameMenu(), (std::vector<std::string>{"文件", "窗口", "编辑", "格式"}));
}

// With OnMenuMerge set the frame copies nothing, but it still takes the
// child's links out before telling the handler.
TEST_F(BarsMdiTest, OnMenuMergeReplacesTheCopyButNotTheRemoval) {
  TMergeLog log;
  log.FrameMenu = FM->MainMenuBar();
  FM->OnMenuMerge = TkxBarMenuMergeEvent(&log, &TMergeLog::Merge);
  TForm* child = NewChild();
  child->SetWindowState(wsMaximized);
  Pump();
  EXPECT_EQ(FrameMenu(), (std::vector<std::string>{"[sys]", "文件", "窗口"}));
  // what the handler adds is taken out again on unmerge
  FM->MainMenuBar()->ItemLinks()->Add()->Assign(MenuOf(child)->ItemLinks()->Items(0));
  child->SetWindowState(wsNormal);
  Pump();
  EXPECT_EQ(FrameMenu(), kFrameOnly);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"add 0", "remove 0"}));
  FM->OnMenuMerge = TkxBarMenuMergeEvent();
}

// A command the child's system menu greys disables its button on the frame's menu bar.
TEST_F(BarsMdiTest, AGreyedSystemCommandDisablesItsButton) {
  TForm* child = NewChild();
  child->SetWindowState(wsMaximized);
  Pump();
  // without a minimize box the system menu greys its minimize command
  LONG_PTR style = GetWindowLongPtrA(child->Handle(), GWL_STYLE);
  SetWindowLongPtrA(child->Handle(), GWL_STYLE, style & ~LONG_PTR(WS_MINIMIZEBOX));
  TkxBarControl* bar = FM->MainMenuBar()->Control();
  ASSERT_TRUE(bar->HasMDIButtons());
  EXPECT_FALSE(bar->IsMDIButtonEnabled(0, MF_GRAYED));
  EXPECT_TRUE(bar->IsMDIButtonEnabled(1, MF_GRAYED));
  EXPECT_TRUE(bar->IsMDIButtonEnabled(2, MF_GRAYED));
  ClickMDIButton(0);
  EXPECT_FALSE(IsIconic(child->Handle()));
  EXPECT_EQ(FrameMenu(), kMerged);
}
