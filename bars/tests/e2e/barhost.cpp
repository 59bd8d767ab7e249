// A small program for the end-to-end test of the bar library: one form titled
// "Penvarro Bars" with a toolbar "Tools" docked at its top and a toolbar
// "Menus" below it whose sub item "Format" opens a menu that tears off as the
// hidden toolbar "Format", on the display named by DISPLAY. Once shown it
// writes to the file PENVARRO_EVENT_LOG the screen point of the toolbar's
// grip ("grip X Y") and the screen rectangle of the sub item ("format L T R
// B"); every change of the Tools bar's docking style appends "style NAME",
// of the Format bar "format-style NAME"; tearing the menu off appends
// "detaching"; when the form closes, the Tools bar's last place is appended
// ("final NAME row ROW float W H").
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>

#include "bars/bars_init.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "framework/framework_init.h"
#include "platform/backend/desktop/desktop.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

const char* const kHostForm = R"(object BarsHost: TForm
  Left = 100
  Top = 100
  Width = 520
  Height = 320
  Caption = 'Penvarro Bars'
  object BarManager1: TkxBarManager
    Bars = <
      item
        Caption = 'Tools'
        DockingStyle = dsTop
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = Button1
            Visible = True
          end
          item
            Item = Button2
            Visible = True
          end
          item
            Item = Button3
            Visible = True
          end
          item
            Item = Button4
            BeginGroup = True
            Visible = True
          end
          item
            Item = Button5
            Visible = True
          end>
        Name = 'Tools'
        OneOnRow = True
        Row = 0
        Visible = True
      end
      item
        Caption = 'Menus'
        DockingStyle = dsTop
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = FormatMenu
            Visible = True
          end>
        Name = 'Menus'
        OneOnRow = True
        Row = 1
        Visible = True
      end
      item
        Caption = 'Format'
        DockingStyle = dsNone
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = Button4
            Visible = True
          end
          item
            Item = Button5
            Visible = True
          end>
        Name = 'Format'
        OneOnRow = True
        Row = 0
        Visible = False
      end>
    Style = bmsStandard
    object Button1: TkxBarButton
      Caption = 'Cut'
      Category = 0
      Visible = ivAlways
    end
    object Button2: TkxBarButton
      Caption = 'Copy'
      Category = 0
      Visible = ivAlways
    end
    object Button3: TkxBarButton
      Caption = 'Paste'
      Category = 0
      Visible = ivAlways
    end
    object Button4: TkxBarButton
      Caption = 'Bold'
      Category = 0
      Visible = ivAlways
    end
    object Button5: TkxBarButton
      Caption = 'Italic'
      Category = 0
      Visible = ivAlways
    end
    object FormatMenu: TkxBarSubItem
      Caption = 'Format'
      Category = 0
      Visible = ivAlways
      Detachable = True
      DetachingBar = 2
      ItemLinks = <
        item
          Item = Button4
          Visible = True
        end
        item
          Item = Button5
          Visible = True
        end>
    end
  end
end
)";

const char* StyleName(TkxBarDockingStyle S) {
  switch (S) {
    case dsLeft: return "left";
    case dsTop: return "top";
    case dsRight: return "right";
    case dsBottom: return "bottom";
    default: return "floating";
  }
}

void Log(const std::string& Line) {
  const char* path = std::getenv("PENVARRO_EVENT_LOG");
  if (!path || !*path) return;
  std::ofstream f(path, std::ios::binary | std::ios::app);
  f << Line << "\n";
}

class THostEvents {
 public:
  TkxBar* Bar = nullptr;
  TkxBar* Menus = nullptr;
  TkxBar* Format = nullptr;
  void StyleChanged(TkxBarManager*, TkxBar* B) {
    if (B == Bar) Log(std::string("style ") + StyleName(B->DockingStyle()));
    if (B == Format) Log(std::string("format-style ") + StyleName(B->DockingStyle()));
  }
  void Detaching(TObject*) { Log("detaching"); }
  void Shown(TObject*) {
    TkxBarControl* c = Bar->Control();
    if (!c || !c->HandleAllocated()) return;
    TRect w = c->GetWindowRect();
    Log("grip " + std::to_string(w.left + 3) + " " + std::to_string((w.top + w.bottom) / 2));
    TkxBarControl* m = Menus->Control();
    if (!m || !m->HandleAllocated() || Menus->ItemLinks()->Count() == 0) return;
    TRect r{};
    if (TkxBarItemControl* item = Menus->ItemLinks()->Items(0)->Control()) m->GetItemScreenRect(item, r);
    Log("format " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
        std::to_string(r.bottom));
  }
  void Closing(TObject*, TCloseAction&) {
    Log(std::string("final ") + StyleName(Bar->DockingStyle()) + " row " + std::to_string(Bar->Row()) + " float " +
        std::to_string(Bar->FloatClientWidth()) + " " + std::to_string(Bar->FloatClientHeight()));
  }
};

}  // namespace

int main() {
  try {
    DesktopBackend::Install();
    InitClasses();
    InitResources();
    InitControls();
    InitFramework();
    InitBars();
    Application->Initialize();
    Application->SetTitle("Penvarro Bars");
    auto* form = new TForm(Application, 0);
    ReadComponentFromText(AnsiString(kHostForm), form);
    Application->SetMainForm(form);
    THostEvents events;
    auto* m = dynamic_cast<TkxBarManager*>(form->FindComponent("BarManager1"));
    events.Bar = m->BarByName("Tools");
    events.Menus = m->BarByName("Menus");
    events.Format = m->BarByName("Format");
    if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(form->FindComponent("FormatMenu")))
      sub->OnDetaching = TNotifyEvent(&events, &THostEvents::Detaching);
    m->OnBarDockingStyleChange = TkxBarEvent(&events, &THostEvents::StyleChanged);
    form->OnClose = TCloseEvent(&events, &THostEvents::Closing);
    form->Show();
    Application->ProcessMessages();
    events.Shown(nullptr);
    Application->Run();
    FinalizeBars();
    FinalizeFramework();
    FinalizeControls();
    FinalizeClasses();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Penvarro Bars: %s\n", e.what());
    return 1;
  }
}
