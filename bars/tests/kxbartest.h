// Shared fixture of the bar library's tests: the class library on the
// headless backend with the framework and the bar library started, and a
// form whose description holds a bar manager with a main menu docked on the
// left (multi-line, whole row) and a toolbar on top with buttons, a check
// group, an edit item and a combo item.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/bars_init.h"
#include "bars/kxbar.h"
#include "bars/kxbarhooks.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "framework/framework_init.h"
#include "platform/classes/filer.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/strings.h"

// The form of the fixture; the description names its items and handlers.
class TBarsTestForm : public TForm {
  PV_CLASS(TBarsTestForm, TForm)
 public:
  explicit TBarsTestForm(TComponent* AOwner) : TForm(AOwner) {}
  TkxBarManager* BarManager1 = nullptr;
  TkxBarSubItem* FileMenu = nullptr;
  TkxBarSubItem* ViewMenu = nullptr;
  TkxBarSubItem* ProjectMenu = nullptr;
  TkxBarSubItem* HelpMenu = nullptr;
  TkxBarSubItem* RecentMenu = nullptr;
  TkxBarButton* OpenItem = nullptr;
  TkxBarButton* NewItem = nullptr;
  TkxBarButton* ExitItem = nullptr;
  TkxBarButton* FirstRecent = nullptr;
  TkxBarButton* CutButton = nullptr;
  TkxBarButton* CopyButton = nullptr;
  TkxBarButton* PasteButton = nullptr;
  TkxBarButton* StandardStyle = nullptr;
  TkxBarButton* EnhancedStyle = nullptr;
  TkxBarButton* OfficeStyle = nullptr;
  TkxBarEdit* SearchEdit = nullptr;
  TkxBarCombo* SizeCombo = nullptr;
  TEdit* Edit1 = nullptr;
  std::vector<std::string> Log;
  void OpenItemClick(TObject*) { Log.push_back("open"); }
  void NewItemClick(TObject*) { Log.push_back("new"); }
  void ExitItemClick(TObject*) { Log.push_back("exit"); }
  void RecentClick(TObject*) { Log.push_back("recent"); }
  void CutClick(TObject*) { Log.push_back("cut"); }
  void CopyClick(TObject*) { Log.push_back("copy"); }
  void StyleClick(TObject* Sender) { Log.push_back("style " + std::string(static_cast<TComponent*>(Sender)->Name())); }
  void SearchKeyDown(TObject*, Word& Key, TShiftState) { Log.push_back("key " + std::to_string(Key)); }
  void SearchChange(TObject*) { Log.push_back("change"); }
};

// CP936 text of UTF-8 source text.
inline AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

inline const char* const kBarsFormText = R"(object BarsTestForm: TBarsTestForm
  Left = 40
  Top = 30
  Width = 520
  Height = 300
  Caption = '条栏测试'
  Font.Height = -12
  Font.Name = '宋体'
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 12
  object BarManager1: TkxBarManager
    Bars = <
      item
        Caption = 'Main Menu'
        DockedDockingStyle = dsLeft
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsLeft
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        IsMainMenu = True
        ItemLinks = <
          item
            Item = FileMenu
            Visible = True
          end
          item
            Item = ViewMenu
            Visible = True
          end
          item
            Item = ProjectMenu
            Visible = True
          end
          item
            Item = HelpMenu
            Visible = True
          end>
        MultiLine = True
        Name = 'Main Menu'
        OneOnRow = True
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = True
      end
      item
        Caption = '工具'
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = CutButton
            Visible = True
          end
          item
            Item = CopyButton
            Visible = True
          end
          item
            Item = PasteButton
            Visible = True
          end
          item
            Item = StandardStyle
            BeginGroup = True
            Visible = True
          end
          item
            Item = EnhancedStyle
            Visible = True
          end
          item
            Item = OfficeStyle
            Visible = True
          end
          item
            Item = SearchEdit
            BeginGroup = True
            Visible = True
          end
          item
            Item = SizeCombo
            Visible = True
          end>
        Name = 'Tools'
        OneOnRow = True
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end>
    Categories.ItemsVisibles = (
      2
      2)
    Categories.Visibles = (
      True
      True)
    Categories.Strings = (
      'File'
      'Style')
    Font.Charset = GB2312_CHARSET
    Style = bmsStandard
    UseSystemFont = False
    DockControlHeights = (
      22
      0
      26
      0)
    object FileMenu: TkxBarSubItem
      Caption = '文件(&F)'
      Category = 0
      Visible = ivAlways
      ItemLinks = <
        item
          Item = OpenItem
          Visible = True
        end
        item
          Item = NewItem
          Visible = True
        end
        item
          Item = RecentMenu
          Visible = True
        end
        item
          Item = ExitItem
          BeginGroup = True
          Visible = True
        end>
    end
    object ViewMenu: TkxBarSubItem
      Caption = '视图'
      Category = 0
      Visible = ivAlways
    end
    object ProjectMenu: TkxBarSubItem
      Caption = '工程'
      Category = 0
      Visible = ivAlways
    end
    object HelpMenu: TkxBarSubItem
      Caption = '帮助'
      Category = 0
      Visible = ivAlways
      ItemLinks = <
        item
          Item = StandardStyle
          Visible = True
        end
        item
          Item = EnhancedStyle
          Visible = True
        end
        item
          Item = OfficeStyle
          Visible = True
        end>
    end
    object OpenItem: TkxBarButton
      Caption = '打开(&O)'
      Category = 0
      Hint = '打开'
      Visible = ivAlways
      ShortCut = 16463
      OnClick = OpenItemClick
    end
    object NewItem: TkxBarButton
      Caption = '新建(&N)'
      Category = 0
      Visible = ivAlways
      OnClick = NewItemClick
    end
    object RecentMenu: TkxBarSubItem
      Caption = '最近(&R)'
      Category = 0
      Visible = ivAlways
      ItemLinks = <
        item
          Item = FirstRecent
          Visible = True
        end>
    end
    object FirstRecent: TkxBarButton
      Caption = '第一个'
      Category = 0
      Visible = ivAlways
      OnClick = RecentClick
    end
    object ExitItem: TkxBarButton
      Caption = '退出(&X)'
      Category = 0
      Visible = ivAlways
      OnClick = ExitItemClick
    end
    object CutButton: TkxBarButton
      Caption = '剪切'
      Category = 0
      Hint = '剪切|把选中的文字移到剪贴板'
      Visible = ivAlways
      ShortCut = 16472
      OnClick = CutClick
    end
    object CopyButton: TkxBarButton
      Caption = '复制'
      Category = 0
      Visible = ivAlways
      OnClick = CopyClick
    end
    object PasteButton: TkxBarButton
      Caption = '粘贴'
      Category = 0
      Enabled = False
      Visible = ivAlways
    end
    object StandardStyle: TkxBarButton
      Caption = '标准样式'
      Category = 1
      Visible = ivAlways
      ButtonStyle = bsChecked
      GroupIndex = 5
      OnClick = StyleClick
    end
    object EnhancedStyle: TkxBarButton
      Caption = '增强样式'
      Category = 1
      Visible = ivAlways
      ButtonStyle = bsChecked
      GroupIndex = 5
      OnClick = StyleClick
    end
    object OfficeStyle: TkxBarButton
      Caption = 'Office样式'
      Category = 1
      Visible = ivAlways
      ButtonStyle = bsChecked
      GroupIndex = 5
      Down = True
      OnClick = StyleClick
    end
    object SearchEdit: TkxBarEdit
      Caption = '查找'
      Category = 0
      Visible = ivAlways
      OnChange = SearchChange
      OnKeyDown = SearchKeyDown
      Width = 80
    end
    object SizeCombo: TkxBarCombo
      Caption = '字号'
      Category = 0
      Visible = ivAlways
      Text = '五号'
      Width = 60
      Items.Strings = (
        '四号'
        '五号'
        '小五')
      ItemIndex = 1
    end
  end
  object Edit1: TEdit
    Left = 200
    Top = 150
    Width = 120
    Height = 20
    TabOrder = 0
  end
end
)";

inline void RegisterBarsTestForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TBarsTestForm::StaticClass()});
  RegisterHandlers<TBarsTestForm>([](THandlerBuilder<TBarsTestForm>& h) {
    using F = TBarsTestForm;
    h.Field("BarManager1", &F::BarManager1);
    h.Field("FileMenu", &F::FileMenu);
    h.Field("ViewMenu", &F::ViewMenu);
    h.Field("ProjectMenu", &F::ProjectMenu);
    h.Field("HelpMenu", &F::HelpMenu);
    h.Field("RecentMenu", &F::RecentMenu);
    h.Field("OpenItem", &F::OpenItem);
    h.Field("NewItem", &F::NewItem);
    h.Field("ExitItem", &F::ExitItem);
    h.Field("FirstRecent", &F::FirstRecent);
    h.Field("CutButton", &F::CutButton);
    h.Field("CopyButton", &F::CopyButton);
    h.Field("PasteButton", &F::PasteButton);
    h.Field("StandardStyle", &F::StandardStyle);
    h.Field("EnhancedStyle", &F::EnhancedStyle);
    h.Field("OfficeStyle", &F::OfficeStyle);
    h.Field("SearchEdit", &F::SearchEdit);
    h.Field("SizeCombo", &F::SizeCombo);
    h.Field("Edit1", &F::Edit1);
    h.Handler("OpenItemClick", &F::OpenItemClick);
    h.Handler("NewItemClick", &F::NewItemClick);
    h.Handler("ExitItemClick", &F::ExitItemClick);
    h.Handler("RecentClick", &F::RecentClick);
    h.Handler("CutClick", &F::CutClick);
    h.Handler("CopyClick", &F::CopyClick);
    h.Handler("StyleClick", &F::StyleClick);
    h.Handler("SearchKeyDown", &F::SearchKeyDown);
    h.Handler("SearchChange", &F::SearchChange);
  });
  static const AnsiString desc = Utf8ToAnsi(kBarsFormText);
  RegisterResource(RT_RCDATA, "TBarsTestForm", desc.data(), desc.size());
}

namespace kxbartest {
// Input given one action a tick from a thread timer, so that every action is
// read by whatever message loop runs then (a drag loop too).
inline std::vector<std::function<void()>> gSteps;
inline std::size_t gNext = 0;
inline UINT_PTR gTimer = 0;

inline void StepTick(HWND, UINT, UINT_PTR, DWORD) {
  if (gNext < gSteps.size()) {
    auto step = gSteps[gNext++];
    step();
  }
  if (gNext >= gSteps.size() && gTimer) {
    KillTimer(nullptr, gTimer);
    gTimer = 0;
  }
}
}  // namespace kxbartest

class BarsTest : public CtlTest {
 protected:
  void SetUp() override {
    CtlTest::SetUp();
    static bool resources = false;
    if (!resources) {
      resources = true;
      InitResources();  // the window descriptions of the bar library's own windows
    }
    InitFramework();
    InitBars();
    RegisterBarsTestForm();
  }
  void TearDown() override {
    if (kxbartest::gTimer) KillTimer(nullptr, kxbartest::gTimer);
    kxbartest::gTimer = 0;
    kxbartest::gSteps.clear();
    DoneForms();
    FinalizeBars();
    FinalizeFramework();
    CtlTest::TearDown();
  }
  // The fixture's form, shown and laid out.
  TBarsTestForm* MakeForm() {
    TBarsTestForm* f = nullptr;
    Application->CreateForm(f);
    f->Show();
    Pump();
    return f;
  }
  // Runs the steps one a tick until all ran and the loops they started ended.
  void RunSteps(std::vector<std::function<void()>> Steps) {
    kxbartest::gSteps = std::move(Steps);
    kxbartest::gNext = 0;
    kxbartest::gTimer = SetTimer(nullptr, 0, 10, kxbartest::StepTick);
    for (int guard = 0; kxbartest::gTimer && guard < 200; ++guard) {
      hb->AdvanceClock(10);
      Pump();
    }
    Pump();
  }
  // Lets timers due within Ms fire.
  void Wait(int Ms) {
    hb->AdvanceClock(std::uint32_t(Ms));
    Pump();
  }
  // The screen as the user sees it (menus included) over a rectangle.
  TRawImage Screen(const TRect& R) {
    TRawImage img;
    img.Width = R.right - R.left;
    img.Height = R.bottom - R.top;
    img.Pixels = hb->ComposeScreen(RECT{R.left, R.top, R.right, R.bottom});
    return img;
  }
  // The screen rectangle of a link's control.
  TRect LinkScreenRect(TkxBarItemLink* Link) {
    TRect r{};
    if (Link && Link->Control()) Link->Control()->Parent()->GetItemScreenRect(Link->Control(), r);
    return r;
  }
  void ClickLink(TkxBarItemLink* Link) {
    TRect r = LinkScreenRect(Link);
    hb->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump();
  }
  TkxBarControl* ControlOf(TBarsTestForm* F, int Bar) { return F->BarManager1->Bars()->Items(Bar)->Control(); }
  // The open menu of a bar window, nil when none.
  TkxBarSubMenuControl* OpenMenu(TCustomkxBarControl* Bar) { return Bar ? Bar->ChildMenu() : nullptr; }
};

// The fixture's form shown, with its main menu window and toolbar links at hand.
class BarsFormTest : public BarsTest {
 protected:
  TBarsTestForm* F = nullptr;
  TkxBarControl* MainMenu = nullptr;
  TkxBar* ToolsBar = nullptr;
  TkxBarItemLinks* Tools = nullptr;
  void SetUp() override {
    BarsTest::SetUp();
    F = MakeForm();
    MainMenu = ControlOf(F, 0);
    ToolsBar = F->BarManager1->Bars()->Items(1);
    Tools = ToolsBar->ItemLinks();
  }
  // The first link of an item in a list, nil when none.
  static TkxBarItemLink* LinkOf(TkxBarItemLinks* Links, TkxBarItem* Item) {
    for (int i = 0; Links && i < Links->Count(); ++i)
      if (Links->Items(i)->Item() == Item) return Links->Items(i);
    return nullptr;
  }
  TkxBarItemLink* ToolLink(TkxBarItem* Item) { return LinkOf(Tools, Item); }
  // The link of an item in an open menu.
  static TkxBarItemLink* LinkIn(TkxBarSubMenuControl* Menu, TkxBarItem* Item) {
    return Menu ? LinkOf(Menu->ItemLinks(), Item) : nullptr;
  }
  static TkxBarItem* SelectedItemOf(TCustomkxBarControl* Bar) {
    return Bar && Bar->SelectedControl() ? Bar->SelectedControl()->Item() : nullptr;
  }
};
