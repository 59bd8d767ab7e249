// The program's start-up and shut-down lists, run headless as `make run` runs
// them on a display: every library the program uses is ready after start-up,
// the framework among them, and shut-down releases what the framework made.
#include "main/startup.h"

#include <gtest/gtest.h>

#include "framework/framework_init.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxscrollbar.h"
#include "framework/uxthemes.h"
#include "framework/uxwinutils.h"
#include "main/demo.h"
#include "pagecontrol/pagecontrol_init.h"
#include "pagecontrol/uxpcpainter.h"
#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/win/system.h"

namespace {

// What the library data module holds for the whole run: the controller that
// gives every look and feel the Office 2003 look.
const char* const kModuleText =
    "object LibModule: TDataModule\n"
    "  object LookAndFeelController: TuxLookAndFeelController\n"
    "    Kind = lfOffice11\n"
    "  end\n"
    "  object DockingManager: TkxDockingManager\n"
    "    ViewStyle = vsOffice11\n"
    "  end\n"
    "end\n";

TEST(ProgramStartUp, InitialisesTheFrameworkAndShutDownReleasesIt) {
  HeadlessBackend::Install();
  ASSERT_FALSE(FrameworkInitialised());
  InitProgram();

  // the framework's start-up ran: root look and feel, theme receiver, cursors,
  // and the classes and settings that descriptions name
  ASSERT_TRUE(FrameworkInitialised());
  ASSERT_NE(uxGetRootLookAndFeel(), nullptr);
  EXPECT_TRUE(IsWindow(kxThemeChangedReceiverWindow()));
  ASSERT_NE(Screen, nullptr);
  EXPECT_NE(Screen->Cursors(crUxDragCopy), Screen->Cursors(crDefault));
  EXPECT_NE(GetClass("TuxScrollBar"), nullptr);
  EXPECT_NE(GetPropInfo(TuxLookAndFeel::StaticClass(), "NativeStyle"), nullptr);
  // and the docking library's classes, for the windows' dock sites and panels
  EXPECT_NE(GetClass("TkxDockPanel"), nullptr);
  EXPECT_NE(GetClass("TkxDockingManager"), nullptr);
  // the page control and its painter styles
  EXPECT_TRUE(PageControlInitialised());
  EXPECT_NE(GetClass("TuxPageControl"), nullptr);
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->Count(), 9);
  EXPECT_NE(GetClass("TkxFlowChart"), nullptr);
  EXPECT_NE(GetClass("TkxDbOrgChart"), nullptr);

  // the library module's controller sets the look of the framework's controls
  auto* module = dynamic_cast<TComponent*>(ReadComponentFromText(kModuleText, nullptr));
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(uxGetRootLookAndFeel()->Kind(), lfOffice11);

  // the program's form comes up as on a display, with a framework control on it
  Application->Initialize();
  TFrmDemo* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  auto* bar = NewObject<TuxScrollBar>(form);
  bar->SetParent(form);
  EXPECT_EQ(bar->LookAndFeel()->Kind(), lfOffice11);
  form->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  module->Free();
  EXPECT_EQ(bar->LookAndFeel()->Kind(), lfUltraFlat);  // the last controller went

  FinalizeProgram();
  EXPECT_FALSE(FrameworkInitialised());
  EXPECT_FALSE(PageControlInitialised());
  EXPECT_EQ(PaintersFactory(), nullptr);
  EXPECT_EQ(uxGetRootLookAndFeel(), nullptr);
  EXPECT_EQ(kxThemeChangedReceiverWindow(), nullptr);
  EXPECT_EQ(Application, nullptr);
}

}  // namespace
