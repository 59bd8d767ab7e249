// Shared fixture of the docking tests: the class library and the control
// framework on the headless backend, the docking library started, and helpers
// to build forms with dock sites and panels, pump messages and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpanel.h"
#include "framework/framework_init.h"
#include "platform/classes/filer.h"
#include "platform/controls/tests/ctltest.h"

// The first way in which the tree under Root breaks the rules of the dock
// tree, or "" when it keeps them all.
inline std::string TreeFault(TkxCustomDockControl* Root) {
  std::string Fault;
  std::function<void(TkxCustomDockControl*, bool)> Walk = [&](TkxCustomDockControl* C, bool UnderAutoHide) {
    if (!Fault.empty()) return;
    const std::string Id = std::string(C->ClassName().c_str()) + " '" + C->Name().c_str() + "'";
    auto Bad = [&](const std::string& What) {
      if (Fault.empty()) Fault = Id + ": " + What;
    };
    if (C->GetDockingState() == dcsDestroying) Bad("released but still in the tree");
    const bool LayoutNode = dynamic_cast<TkxDockSite*>(C) || dynamic_cast<TkxLayoutDockSite*>(C);
    const int N = C->ChildCount();
    if (dynamic_cast<TkxDockPanel*>(C) && N) Bad("a panel with children");
    if (LayoutNode && N != 0 && N != 2) Bad(std::to_string(N) + " children");
    if (LayoutNode && N == 2) {
      if (!dynamic_cast<TkxLayoutDockSite*>(C->Children(0)) || C->Children(0)->DockType() != dtClient)
        Bad("child 0 is not a client layout site");
      if (!C->Children(1)->CanDock()) Bad("child 1 cannot dock");
    }
    if (dynamic_cast<TkxFloatDockSite*>(C) && (N != 1 || !C->Children(0)->CanDock())) Bad("a float site without one dockable child");
    if (auto* K = dynamic_cast<TkxContainerDockSite*>(C)) {
      if (N < 2) Bad("a container of " + std::to_string(N));
      for (int i = 0; i < N; ++i) {
        if (!K->Children(i)->CanDock()) Bad("holds a control that cannot dock");
        if (dynamic_cast<TkxTabContainerDockSite*>(K) && dynamic_cast<TkxTabContainerDockSite*>(K->Children(i)))
          Bad("a tab container inside a tab container");
        if (dynamic_cast<TkxTabContainerDockSite*>(K) && K->Children(i)->DockType() != dtClient) Bad("a page not docked client");
      }
    }
    if (C->AutoHide()) {
      if (UnderAutoHide) Bad("auto-hidden inside an auto-hidden control");
      TkxDockSite* Host = C->AutoHideHostSite();
      if (!Host || !Host->GetHideBarByControl(C)) Bad("auto-hidden without a hide bar");
    }
    for (int i = 0; i < N; ++i) {
      TkxCustomDockControl* K = C->Children(i);
      if (K->ParentDockControl() != C) Bad("a child that names another parent");
      if (K->DockType() == dtNone) Bad("a child docked dtNone");
      TWinControl* Window = K->AutoHide() ? static_cast<TWinControl*>(K->AutoHideContainer()) : C;
      if (K->Parent() != Window) Bad("a child in another window");
      Walk(K, UnderAutoHide || C->AutoHide());
    }
  };
  Walk(Root, false);
  return Fault;
}

// Every dock tree of the form keeps the rules and no site or container of it
// stands outside one; "" when that holds.
inline std::string FormTreeFaults(TCustomForm* F) {
  std::string All;
  TkxDockingController* C = GetDockingController();
  for (int i = 0; i < C->DockControlCount(); ++i) {
    TkxCustomDockControl* D = C->DockControls(i);
    if (D->ParentForm() != F || D->ParentDockControl() || D->GetDockingState() == dcsDestroying) continue;
    if (dynamic_cast<TkxDockSite*>(D) || dynamic_cast<TkxFloatDockSite*>(D)) {
      const std::string Fault = TreeFault(D);
      if (!Fault.empty()) All += Fault + "; ";
    } else if (!dynamic_cast<TkxDockPanel*>(D)) {
      All += std::string("a stray ") + D->ClassName().c_str() + "; ";
    }
  }
  return All;
}

class DockTest : public CtlTest {
 protected:
  void SetUp() override {
    CtlTest::SetUp();
    InitFramework();
    kxInitDocking();
  }
  void TearDown() override {
    DoneForms();
    kxDoneDocking();
    FinalizeFramework();
    CtlTest::TearDown();
  }

  // A shown form holding a client-aligned form-edge dock site.
  TForm* NewForm(const char* Name = "Form1", int W = 640, int H = 480) {
    auto* F = new TForm(Application, 0);
    F->SetName(Name);
    F->SetBounds(100, 100, W, H);
    return F;
  }
  TkxDockSite* NewSite(TForm* F, const char* Name = "Site1") {
    auto* S = NewObject<TkxDockSite>(F);
    S->SetName(Name);
    S->SetParent(F);
    S->SetAlign(alClient);
    return S;
  }
  TkxDockPanel* NewPanel(TForm* F, const char* Name, int W = 200, int H = 150) {
    auto* P = NewObject<TkxDockPanel>(F);
    P->SetName(Name);
    P->SetCaption(Name);
    P->SetOriginalWidth(W);
    P->SetOriginalHeight(H);
    P->SetBounds(0, 0, W, H);
    return P;
  }
  // Handles every waiting message, then the controller's deferred releases.
  void Settle() { Pump(); }
  // Advances the virtual clock in steps, handling messages and timers.
  void Elapse(int Ms, int Step = 10) {
    for (int t = 0; t < Ms; t += Step) {
      hb->AdvanceClock(Step);
      Pump();
    }
  }
  TPoint ScreenOf(TControl* C, int X, int Y) { return C->ClientToScreen(TPoint(X, Y)); }
  // The window's top-left on the screen.
  TPoint WindowOrigin(TkxCustomDockControl* C) {
    const TRect R = C->ScreenWindowRect();
    return TPoint(R.left, R.top);
  }
};

// A form holding a client-aligned form-edge site, with a docking manager
// unless the fixture does without. A derived constructor may change the
// sizes and flags before SetUp; a client size of 0 leaves the form's own.
class DockFormTest : public DockTest {
 protected:
  TForm* F = nullptr;
  TkxDockSite* Site = nullptr;
  TkxDockingManager* M = nullptr;
  int FormW = 640, FormH = 480, ClientW = 600, ClientH = 400;
  bool WithManager = true, ShowForm = true;
  void SetUp() override {
    DockTest::SetUp();
    F = NewForm("Form1", FormW, FormH);
    if (ClientW > 0) F->SetClientSize(ClientW, ClientH);
    if (WithManager) M = new TkxDockingManager(F);
    Site = NewSite(F);
    if (ShowForm) {
      F->Show();
      Pump();
    }
  }
  TkxDockPanel* Panel(const char* Name) { return dynamic_cast<TkxDockPanel*>(F->FindComponent(Name)); }
};
