// The framework's published settings in window descriptions: a description
// holding them reads and is written back as the same text, and only the
// settings that differ from their defaults are written.
#include <gtest/gtest.h>

#include "framework/framework_init.h"
#include "framework/uxcontrols.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxscrollbar.h"
#include "platform/classes/filer.h"
#include "platform/controls/menus.h"
#include "platform/controls/tests/ctltest.h"

namespace {

// A framework control as a descendant publishes it: nothing of its own.
class TUxTestBox : public TuxControl {
  PV_CLASS(TUxTestBox, TuxControl)
 public:
  explicit TUxTestBox(TComponent* AOwner) : TuxControl(AOwner) {}
};

class UxDescriptionTest : public CtlTest {
 protected:
  void SetUp() override {
    CtlTest::SetUp();
    InitFramework();
    RegisterClasses({TUxTestBox::StaticClass()});
  }
  void TearDown() override {
    DoneForms();
    FinalizeFramework();
    CtlTest::TearDown();
  }
};

// The application's data module: its controller sets the root look and feel.
const char* const kModuleText = R"(object Module1: TDataModule
  OldCreateOrder = False
  Height = 0
  Width = 0
  object LookAndFeelController1: TuxLookAndFeelController
    Kind = lfOffice11
    NativeStyle = True
  end
end
)";

// Grid1 and Bar1 set everything they publish; Plain1 one value, Plain2 and
// Bar2 nothing (Plain2 inherits the controller's kind, which is not written).
const char* const kFormText = R"(object Form1: TForm
  Left = 100
  Top = 100
  Width = 320
  Height = 240
  AutoScroll = False
  ParentFont = False
  ClientHeight = 213
  ClientWidth = 312
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
  object Menu1: TPopupMenu
  end
  object Grid1: TUxTestBox
    Left = 8
    Top = 8
    Width = 150
    Height = 100
    BorderStyle = uxcbsDefault
    LookAndFeel.Kind = lfUltraFlat
    LookAndFeel.NativeStyle = False
    PopupMenu = Menu1
  end
  object Plain1: TUxTestBox
    Left = 8
    Top = 112
    Width = 70
    Height = 40
    LookAndFeel.Kind = lfStandard
  end
  object Plain2: TUxTestBox
    Left = 88
    Top = 112
    Width = 70
    Height = 40
  end
  object Bar1: TuxScrollBar
    Left = 170
    Top = 8
    Width = 17
    Height = 150
    Kind = sbVertical
    Max = 300
    Min = 200
    PageSize = 20
    Position = 250
    SmallChange = 5
    LargeChange = 40
    UnlimitedTracking = True
    LookAndFeel.NativeStyle = True
    Enabled = False
  end
  object Bar2: TuxScrollBar
    Left = 190
    Top = 8
    Width = 121
    Height = 16
  end
end
)";

template <class T>
T* Named(TComponent* Root, const char* Name) {
  auto* c = dynamic_cast<T*>(Root->FindComponent(Name));
  EXPECT_NE(c, nullptr) << Name;
  return c;
}

TEST_F(UxDescriptionTest, ControllerControlsAndScrollBarsReadAndWriteBackTheSameText) {
  TComponent* module = ReadComponentFromText(kModuleText, nullptr);
  ASSERT_NE(module, nullptr);
  auto* controller = Named<TuxLookAndFeelController>(module, "LookAndFeelController1");
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->Kind(), lfOffice11);
  EXPECT_TRUE(controller->NativeStyle());
  EXPECT_EQ(uxGetRootLookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(WriteComponentToText(module), kModuleText);

  auto* form = dynamic_cast<TForm*>(ReadComponentFromText(kFormText, nullptr));
  ASSERT_NE(form, nullptr);
  auto* grid = Named<TUxTestBox>(form, "Grid1");
  auto* plain1 = Named<TUxTestBox>(form, "Plain1");
  auto* plain2 = Named<TUxTestBox>(form, "Plain2");
  auto* bar1 = Named<TuxScrollBar>(form, "Bar1");
  auto* bar2 = Named<TuxScrollBar>(form, "Bar2");
  auto* menu = Named<TPopupMenu>(form, "Menu1");
  ASSERT_TRUE(grid && plain1 && plain2 && bar1 && bar2 && menu);

  // assigned values hold against the controller; unassigned ones follow it
  EXPECT_EQ(grid->BorderStyle(), uxcbsDefault);
  EXPECT_EQ(grid->LookAndFeel()->AssignedValues(), lfvsAll);
  EXPECT_EQ(grid->LookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_FALSE(grid->LookAndFeel()->NativeStyle());
  EXPECT_EQ(grid->PopupMenu(), menu);
  EXPECT_EQ(plain1->LookAndFeel()->AssignedValues(), lfvsKind);
  EXPECT_EQ(plain1->LookAndFeel()->Kind(), lfStandard);
  EXPECT_TRUE(plain1->LookAndFeel()->NativeStyle());
  EXPECT_EQ(plain2->BorderStyle(), uxcbsNone);
  EXPECT_EQ(plain2->LookAndFeel()->AssignedValues(), 0u);
  EXPECT_EQ(plain2->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(plain2->PopupMenu(), nullptr);

  // a range above the default Max reads back whole, and a disabled bar stays so
  EXPECT_EQ(bar1->Kind(), sbVertical);
  EXPECT_EQ(bar1->Width(), 17);
  EXPECT_EQ(bar1->Height(), 150);
  EXPECT_EQ(bar1->Min(), 200);
  EXPECT_EQ(bar1->Max(), 300);
  EXPECT_EQ(bar1->PageSize(), 20);
  EXPECT_EQ(bar1->Position(), 250);
  EXPECT_EQ(bar1->SmallChange(), 5);
  EXPECT_EQ(bar1->LargeChange(), 40);
  EXPECT_TRUE(bar1->UnlimitedTracking());
  EXPECT_FALSE(bar1->Enabled());
  EXPECT_EQ(bar1->LookAndFeel()->AssignedValues(), lfvsNativeStyle);
  EXPECT_EQ(bar1->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(bar2->Kind(), sbHorizontal);
  EXPECT_EQ(bar2->Max(), 100);

  // the internal scroll bars of the controls are not part of the description
  EXPECT_EQ(WriteComponentToText(form), kFormText);

  // the reference goes with the menu
  delete menu;
  EXPECT_EQ(grid->PopupMenu(), nullptr);
  module->Free();
}

// Made in code, the framework's objects write none of their published
// settings until one of them changes.
TEST_F(UxDescriptionTest, OnlySettingsThatDifferFromTheirDefaultsAreWritten) {
  auto* module = new TDataModule(nullptr, 0);
  module->SetName("Module1");
  auto* controller = new TuxLookAndFeelController(module);
  controller->SetName("Controller1");
  auto* form = new TForm(nullptr, 0);
  form->SetName("Form1");
  auto* box = NewObject<TUxTestBox>(form);
  box->SetName("Box1");
  box->SetParent(form);
  auto* bar = NewObject<TuxScrollBar>(form);
  bar->SetName("Bar1");
  bar->SetParent(form);
  for (const char* absent : {"Kind", "NativeStyle"})
    EXPECT_EQ(WriteComponentToText(module).find(absent), AnsiString::npos) << absent;
  for (const char* absent : {"BorderStyle", "LookAndFeel", "PopupMenu", "Kind", "Max", "Min", "PageSize",
                             "Position", "SmallChange", "LargeChange", "UnlimitedTracking", "Enabled"})
    EXPECT_EQ(WriteComponentToText(form).find(absent), AnsiString::npos) << absent;

  // setting a value to what it inherits still assigns it, so it is written
  controller->SetKind(lfOffice11);
  EXPECT_NE(WriteComponentToText(module).find("Kind = lfOffice11"), AnsiString::npos);
  EXPECT_EQ(WriteComponentToText(form).find("LookAndFeel"), AnsiString::npos);  // inherited
  box->LookAndFeel()->SetKind(lfOffice11);
  bar->LookAndFeel()->SetNativeStyle(false);
  const AnsiString text = WriteComponentToText(form);
  EXPECT_NE(text.find("LookAndFeel.Kind = lfOffice11"), AnsiString::npos) << text;
  EXPECT_NE(text.find("LookAndFeel.NativeStyle = False"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("AssignedValues"), AnsiString::npos) << text;
  delete form;
  delete module;
}

}  // namespace
