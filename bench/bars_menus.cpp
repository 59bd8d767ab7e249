// Bar speed: building and painting a form whose description holds a bar
// manager with the main menu and a toolbar of 20 buttons, next to the same
// form with 20 speed buttons on a panel; and opening and painting a menu of
// 30 commands (it must stay well under one frame, 16 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "bars/bars_init.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "framework/framework_init.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/controls/buttons.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

void Start() {
  static bool done = false;
  if (done) return;
  done = true;
  InitClasses();
  InitControls();
  InitForms();
  InitFramework();
  InitBars();
}

std::string Item(const std::string& Name, const std::string& Class, const std::string& Caption) {
  return "    object " + Name + ": " + Class + "\n      Caption = '" + Caption +
         "'\n      Category = 0\n      Visible = ivAlways\n    end\n";
}

std::string Link(const std::string& Name) {
  return "          item\n            Item = " + Name + "\n            Visible = True\n          end";
}

std::string Bar(const std::string& Caption, const std::string& Style, bool MainMenu, const std::string& Links) {
  std::string s = "      item\n        Caption = '" + Caption + "'\n        DockingStyle = " + Style +
                  "\n        DockedLeft = 0\n        DockedTop = 0\n";
  if (MainMenu) s += "        IsMainMenu = True\n        MultiLine = True\n        WholeRow = True\n";
  s += "        ItemLinks = <\n" + Links + ">\n        Name = '" + Caption + "'\n        Visible = True\n      end";
  return s;
}

// The main menu on the left with four menus (the first holding MenuItems
// commands) and a toolbar of ToolButtons buttons on top.
std::string BarForm(int MenuItems, int ToolButtons) {
  const char* menus[] = {"文件", "视图", "工程", "帮助"};
  std::string items, menuLinks, fileLinks, toolLinks;
  for (int i = 0; i < 4; ++i) {
    std::string name = "Menu" + std::to_string(i);
    menuLinks += (i ? "\n" : "") + Link(name);
    std::string sub = "    object " + name + ": TkxBarSubItem\n      Caption = '" + menus[i] +
                      "'\n      Category = 0\n      Visible = ivAlways\n";
    if (i == 0 && MenuItems > 0) {
      sub += "      ItemLinks = <\n";
      for (int k = 0; k < MenuItems; ++k) sub += (k ? "\n" : "") + Link("Command" + std::to_string(k));
      sub += ">\n";
    }
    items += sub + "    end\n";
  }
  for (int k = 0; k < MenuItems; ++k)
    items += Item("Command" + std::to_string(k), "TkxBarButton", "命令" + std::to_string(k + 1));
  for (int k = 0; k < ToolButtons; ++k) {
    items += Item("Tool" + std::to_string(k), "TkxBarButton", "按钮" + std::to_string(k + 1));
    toolLinks += (k ? "\n" : "") + Link("Tool" + std::to_string(k));
  }
  std::string bars = "    Bars = <\n" + Bar("Main Menu", "dsLeft", true, menuLinks);
  if (ToolButtons > 0) bars += "\n" + Bar("Tools", "dsTop", false, toolLinks);
  bars += ">\n";
  return "object BenchForm: TForm\n  Width = 1000\n  Height = 600\n  object BarManager1: TkxBarManager\n" + bars +
         "    Style = bmsStandard\n" + items + "  end\nend\n";
}

std::string SpeedButtonForm(int Buttons) {
  std::string s = "object BenchForm: TForm\n  Width = 1000\n  Height = 600\n  object Panel1: TPanel\n"
                  "    Left = 0\n    Top = 0\n    Width = 992\n    Height = 26\n    Align = alTop\n";
  for (int k = 0; k < Buttons; ++k)
    s += "    object Button" + std::to_string(k) + ": TSpeedButton\n      Left = " + std::to_string(k * 48) +
         "\n      Top = 1\n      Width = 48\n      Height = 22\n      Caption = '按钮" + std::to_string(k + 1) +
         "'\n    end\n";
  return s + "  end\nend\n";
}

// Reads the description into a new form, shows it and paints it whole.
TForm* BuildAndPaint(const AnsiString& Text) {
  auto* form = new TForm(Application, 0);
  ReadComponentFromText(Text, form);
  form->Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return form;
}

void BM_BarManagerWith20ButtonToolbar(benchmark::State& state) {
  Start();
  const AnsiString text = Utf8ToAnsi(BarForm(0, 20));
  for (auto _ : state) {
    TForm* form = BuildAndPaint(text);
    benchmark::DoNotOptimize(form);
    form->Free();
  }
}
BENCHMARK(BM_BarManagerWith20ButtonToolbar)->Unit(benchmark::kMicrosecond);

void BM_TwentySpeedButtons(benchmark::State& state) {
  Start();
  const AnsiString text = Utf8ToAnsi(SpeedButtonForm(20));
  for (auto _ : state) {
    TForm* form = BuildAndPaint(text);
    benchmark::DoNotOptimize(form);
    form->Free();
  }
}
BENCHMARK(BM_TwentySpeedButtons)->Unit(benchmark::kMicrosecond);

// Opens the 30-command menu from the main menu, paints it and closes it.
void BM_OpenAndPaint30ItemMenu(benchmark::State& state) {
  Start();
  TForm* form = BuildAndPaint(Utf8ToAnsi(BarForm(30, 0)));
  auto* manager = dynamic_cast<TkxBarManager*>(form->FindComponent("BarManager1"));
  TkxBarControl* mainMenu = manager ? manager->MainMenuControl() : nullptr;
  if (!mainMenu) {
    state.SkipWithError("no main menu");
    return;
  }
  TkxBarItemControl* file = mainMenu->ItemLinks()->Items(0)->Control();
  int shown = 0;
  for (auto _ : state) {
    mainMenu->ActivateMenuMode(file);
    file->ClickByKeyboard(false);
    TkxBarSubMenuControl* menu = mainMenu->ChildMenu();
    if (menu && menu->HandleAllocated()) {
      RedrawWindow(menu->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      shown = menu->ItemLinks()->ShownItemCount();
    }
    mainMenu->CloseChain();
  }
  if (shown != 30) state.SkipWithError("the menu did not show its 30 commands");
  form->Free();
}
BENCHMARK(BM_OpenAndPaint30ItemMenu)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
