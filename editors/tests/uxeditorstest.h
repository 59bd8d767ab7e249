// Shared fixture of the editor framework's window tests: a clean window
// manager on the headless backend with the look and feel and the editors'
// start-up done, a shown form, and a small container that hosts a platform
// control as its inner control.
#pragma once
#include <gtest/gtest.h>

#include "editors/editors_init.h"
#include "editors/uxcontainer.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxoffice11.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/tests/ctltest.h"

// A container around a platform edit or memo; with OwnScrollBars it shows its
// own scroll bars over the memo's.
class TTestContainer : public TuxContainer {
  PV_CLASS(TTestContainer, TuxContainer)
 public:
  explicit TTestContainer(TComponent* AOwner, bool AMemo = false, bool AOwnScrollBars = false)
      : TuxContainer(AOwner), Memo(AMemo), OwnScrollBars(AOwnScrollBars) {}
  void AfterConstruction() override {
    TuxContainer::AfterConstruction();
    TCustomEdit* E = Memo ? static_cast<TCustomEdit*>(new TMemo(this)) : static_cast<TCustomEdit*>(new TEdit(this));
    if (Memo) static_cast<TMemo*>(E)->SetScrollBars(ssBoth);
    E->SetBorderStyle(bsNone);  // the container draws the border
    E->SetTabStop(false);       // the container is the tab stop
    E->SetParent(this);
    SetInnerControl(E);
  }
  bool HasScrollBars() override { return OwnScrollBars; }
  bool Memo, OwnScrollBars;
};

class EditorsTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    InitEditors();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 600, 400);
    Form->SetColor(clBtnFace);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    delete Form;
    FinalizeEditors();
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
  TTestContainer* NewContainer(int X, int Y, int W = 120, int H = 24, bool Memo = false, bool OwnBars = false) {
    auto* C = NewObject<TTestContainer>(Form, Memo, OwnBars);
    C->SetBounds(X, Y, W, H);
    C->SetParent(Form);
    return C;
  }
  // The colour of a pixel of a control's window on the composed screen.
  TColor PixelAt(TControl* C, int X, int Y) {
    TPoint P = C->ClientToScreen({X, Y});
    std::uint32_t Bgra = hb->ScreenPixel(P.x, P.y);
    return TColor(((Bgra >> 16) & 0xFF) | (Bgra & 0xFF00) | ((Bgra & 0xFF) << 16));
  }
  static TColor RGBOf(TColor C) { return TColor(ColorToRGB(C)); }
};
