// A small window for the end-to-end docking test: a form-edge dock site with
// panel A filling it and panel X docked at its left, on the real display.
//
// DOCK_E2E_LOG names a file that receives, line by line:
//   frame L T R B      the window's rectangle on the screen, once shown
//   grab X Y           the middle of X's caption text, on the screen
//   drop X Y           a point in A's right-edge zone, on the screen
//   end STATE CLASS I  after each drag of X: docked or floating, the class of
//                      the container X landed in (or of its parent) and its index
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

namespace {

FILE* gLog = nullptr;

void Log(const std::string& Line) {
  if (!gLog) return;
  std::fputs((Line + "\n").c_str(), gLog);
  std::fflush(gLog);
}

struct Events : TObject {
  void EndDocking(TkxCustomDockControl* Sender, TkxZone*, int, int) {
    TkxCustomDockControl* P = Sender->Container() ? Sender->Container() : Sender->ParentDockControl();
    Log(std::string("end ") + (Sender->GetDockingState() == dcsFloating ? "floating" : "docked") + " " +
        (P ? P->ClassName().c_str() : "none") + " " + std::to_string(Sender->DockIndex()));
  }
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
    TkxDockPanel* A = Panel("A", 300, 200);
    TkxDockPanel* X = Panel("X", 160, 200);
    A->DockTo(Site, dtClient, -1);
    X->DockTo(Site, dtLeft, -1);
    X->OnEndDocking = TkxEndDockingEvent(&E, &Events::EndDocking);
    F->OnClose = TCloseEvent(&E, &Events::Close);
    F->Show();
    Application->ProcessMessages();
    RECT R;
    GetWindowRect(F->Handle(), &R);
    Log("frame " + std::to_string(R.left) + " " + std::to_string(R.top) + " " + std::to_string(R.right) + " " +
        std::to_string(R.bottom));
    const TRect C = X->CaptionTextRect();
    const TRect W = X->ScreenWindowRect();
    Log("grab " + Pt(TPoint(W.left + (C.left + C.right) / 2, W.top + (C.top + C.bottom) / 2)));
    Log("drop " + Pt(A->ClientToScreen(TPoint(A->ClientWidth() - 4, A->ClientHeight() / 2))));
    Application->Run();
    X->OnEndDocking = nullptr;
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
