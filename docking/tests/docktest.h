// Shared fixture of the docking tests: the class library and the control
// framework on the headless backend, the docking library started, and helpers
// to build forms with dock sites and panels, pump messages and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpanel.h"
#include "framework/framework_init.h"
#include "platform/classes/filer.h"
#include "platform/controls/tests/ctltest.h"

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
