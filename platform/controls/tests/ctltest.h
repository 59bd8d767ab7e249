// Shared fixture of the class library's core tests: a clean window manager on
// the headless backend, fresh Application and Screen objects, and two small
// controls (a container box and a push button with default/cancel handling).
#pragma once
#include <gtest/gtest.h>
#include "platform/backend/headless/headless.h"
#include "platform/classes/init.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/controls.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/rtl/resources.h"
#include "platform/win/system.h"

// A plain container that can take the focus.
class TBox : public TCustomControl {
  PV_CLASS(TBox, TCustomControl)
 public:
  explicit TBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle << csAcceptsControls;
    SetBounds(0, 0, 50, 20);
  }
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

// A push button: Enter clicks the default one, Escape the cancel one, its
// accelerator clicks it; a click sets its form's ModalResult.
class TTestButton : public TCustomControl {
  PV_CLASS(TTestButton, TCustomControl)
 public:
  explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    FTabStop = true;
  }
  bool Default = false;
  bool Cancel = false;
  int ModalResult = 0;
  void Click() override {
    if (TCustomForm* f = GetParentForm(this))
      if (ModalResult) f->SetModalResult(ModalResult);
    TCustomControl::Click();
  }
  void CMDialogKey(TMessage& M) {
    if (((M.WParam == VK_RETURN && Default) || (M.WParam == VK_ESCAPE && Cancel)) && CanFocus()) {
      Click();
      M.Result = 1;
    }
  }
  void CMDialogChar(TMessage& M) {
    if (IsAccel(Word(M.WParam), Caption()) && CanFocus()) {
      Click();
      M.Result = 1;
    }
  }
  void WMGetDlgCode(TMessage& M) { M.Result = DLGC_BUTTON; }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomControl)
};

inline void RegisterTestControls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TBox::StaticClass(), TTestButton::StaticClass()});
  RegisterProps<TBox>([](TPropBuilder<TBox>& p) {
    PublishControlProps(p, "Align Anchors Caption Color Constraints Enabled Font ParentColor ParentFont PopupMenu "
                           "ShowHint TabOrder TabStop Visible OnClick OnEnter OnExit OnKeyDown OnResize");
  });
  RegisterProps<TTestButton>([](TPropBuilder<TTestButton>& p) {
    PublishControlProps(p, "Caption Enabled TabOrder TabStop Visible Action OnClick");
    p.Field("Default", &TTestButton::Default).Default(false);
    p.Field("Cancel", &TTestButton::Cancel).Default(false);
    p.Field("ModalResult", &TTestButton::ModalResult).Default(0);
  });
}

class CtlTest : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    static bool once = false;
    if (!once) {
      once = true;
      InitClasses();
      InitControls();
      RegisterTestControls();
    }
    InitForms();
    ClearModalScript();
  }
  void TearDown() override {
    DoneForms();
    SetMessageBoxProc(nullptr);
    PvResetWindowManager();
    hb->Reset();
  }
  // Handles everything waiting, through the application's loop (keys go
  // through the class library's shortcut and dialog-key handling).
  void Pump() { Application->ProcessMessages(); }
  // Screen coordinates of a point in a control's client area.
  TPoint At(TControl* C, int X, int Y) { return C->ClientToScreen({X, Y}); }
  // A screen point on a node's label (the node is made visible first).
  TPoint LabelPoint(TCustomTreeView* Tree, TTreeNode* Node) {
    Node->MakeVisible();
    Pump();
    TRect r = Node->DisplayRect(true);
    return Tree->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  // Presses on From's label, moves over To (a screen point), optionally holds
  // Ctrl, and releases there.
  void DragTo(TPoint From, TPoint To, bool Ctrl = false) {
    hb->AdvanceClock(2000);  // never a double click with the last press
    hb->MouseDown(From.x, From.y);
    Pump();
    hb->MouseMove(From.x, From.y + 8);
    Pump();
    hb->MouseMove(To.x, To.y - 1);
    Pump();
    hb->MouseMove(To.x, To.y);
    Pump();
    if (Ctrl) {
      hb->KeyDown(VK_CONTROL);
      Pump();
    }
    hb->MouseUp(To.x, To.y);
    Pump();
    if (Ctrl) {
      hb->KeyUp(VK_CONTROL);
      Pump();
    }
  }
};
