// A small window for the end-to-end docking test: a form-edge dock site with
// panel A filling it and panel X docked at its left, on the real display.
// With DOCK_E2E_STORY=1 the left side holds instead a tab container of two
// pages, X (captioned "小说", with a toolbar-like strip over its content) and
// Y, as the story window's pinned left pages; the grab point is then the
// container's caption, which reads X's caption.
//
// DOCK_E2E_LOG names a file that receives, line by line:
//   frame L T R B      the window's rectangle on the screen, once shown
//   grab X Y           the middle of X's caption text, on the screen
//   drop X Y           a point in A's right-edge zone (A's middle in the story
//                      mode), on the screen
//   end STATE CLASS I  after each drag of X: docked or floating, the class of
//                      the container X landed in (or of its parent) and its index
//   content SHOWN      in the story mode, after the drag: 1 when X's strip is
//                      still on the screen inside X
//   error MESSAGE      an error the program reported
//   close              when the window closes
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpanel.h"
#include "framework/framework_init.h"
#include "platform/backend/desktop/desktop.h"
#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

FILE* gLog = nullptr;

void Log(const std::string& Line) {
  if (!gLog) return;
  std::fputs((Line + "\n").c_str(), gLog);
  std::fflush(gLog);
}

// Content that names its parent's window among its creation parameters, as
// a toolbar names its dock's.
class TStrip : public TCustomControl {
  PV_CLASS(TStrip, TCustomControl)
 public:
  using TCustomControl::TCustomControl;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    if (Parent()) Params.WndParent = Parent()->Handle();
  }
};

struct Events : TObject {
  TkxDockPanel* Panel = nullptr;  // the panel whose place is logged
  TStrip* Strip = nullptr;
  void EndDocking(TkxCustomDockControl*, TkxZone*, int, int) {
    TkxCustomDockControl* P = Panel->Container() ? Panel->Container() : Panel->ParentDockControl();
    Log(std::string("end ") + (Panel->GetDockingState() == dcsFloating ? "floating" : "docked") + " " +
        (P ? P->ClassName().c_str() : "none") + " " + std::to_string(Panel->DockIndex()));
    if (Strip)
      Log(std::string("content ") +
          (Strip->Parent() == Panel && Strip->HandleAllocated() && IsWindowVisible(Strip->Handle()) ? "1" : "0"));
  }
  void Error(TObject*, Exception* E) { Log(std::string("error ") + E->Message.c_str()); }
  void Close(TObject*, TCloseAction&) { Log("close"); }
};

std::string Pt(const TPoint& P) { return std::to_string(P.x) + " " + std::to_string(P.y); }

int Run() {
  DesktopBackend::Install();
  InitClasses();
  InitControls();
  InitFramework();
  kxInitDocking();
  Application->Initialize();
  Application->SetTitle("Penvarro Dock");
  {
    Events E;
    auto* F = new TForm(Application, 0);
    F->SetName("DockE2E");
    F->SetCaption("Penvarro Dock");
    F->SetBounds(60, 60, 640, 480);
    Application->SetMainForm(F);
    new TkxDockingManager(F);
    auto* Site = NewObject<TkxDockSite>(F);
    Site->SetName("Site");
    Site->SetParent(F);
    Site->SetAlign(alClient);
    auto Panel = [&](const char* Name, int W, int H) {
      auto* P = NewObject<TkxDockPanel>(F);
      P->SetName(Name);
      P->SetCaption(Name);
      P->SetOriginalWidth(W);
      P->SetOriginalHeight(H);
      return P;
    };
    const char* Mode = std::getenv("DOCK_E2E_STORY");
    const bool Story = Mode && std::string(Mode) == "1";
    TkxDockPanel* A = Panel("A", 300, 200);
    TkxDockPanel* X = Panel("X", 160, 200);
    A->DockTo(Site, dtClient, -1);
    X->DockTo(Site, dtLeft, -1);
    // The control whose caption is grabbed.
    TkxCustomDockControl* Grabbed = X;
    E.Panel = X;
    if (Story) {
      X->SetCaption(Utf8ToAnsi("小说"));
      TkxDockPanel* Y = Panel("Y", 160, 200);
      Y->DockTo(X, dtClient, -1);
      Grabbed = X->TabContainer();
      X->TabContainer()->SetActiveChild(X);
      E.Strip = new TStrip(F);
      E.Strip->SetParent(X);
      E.Strip->SetAlign(alTop);
      E.Strip->SetHeight(24);
    }
    Grabbed->OnEndDocking = TkxEndDockingEvent(&E, &Events::EndDocking);
    Application->OnException = TExceptionEvent(&E, &Events::Error);
    F->OnClose = TCloseEvent(&E, &Events::Close);
    F->Show();
    Application->ProcessMessages();
    RECT R;
    GetWindowRect(F->Handle(), &R);
    Log("frame " + std::to_string(R.left) + " " + std::to_string(R.top) + " " + std::to_string(R.right) + " " +
        std::to_string(R.bottom));
    const TRect C = Grabbed->CaptionTextRect();
    const TRect W = Grabbed->ScreenWindowRect();
    Log("grab " + Pt(TPoint(W.left + (C.left + C.right) / 2, W.top + (C.top + C.bottom) / 2)));
    Log("drop " + Pt(A->ClientToScreen(Story ? TPoint(A->ClientWidth() / 2, A->ClientHeight() / 2)
                                              : TPoint(A->ClientWidth() - 4, A->ClientHeight() / 2))));
    Application->Run();
    Application->OnException = nullptr;
    F->OnClose = nullptr;
  }
  FinalizeControls();
  kxDoneDocking();
  FinalizeFramework();
  FinalizeClasses();
  return 0;
}

}  // namespace

int main() {
  if (const char* Name = std::getenv("DOCK_E2E_LOG")) gLog = std::fopen(Name, "w");
  int Status = 1;
  try {
    Status = Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dock e2e: %s\n", e.what());
  }
  if (gLog) std::fclose(gLog);
  return Status;
}
