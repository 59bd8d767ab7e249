// The program's start-up and shut-down lists, run headless as `make run` runs
// them on a display: every library the program uses is ready after start-up,
// the framework among them, the workbench comes up from an installation laid
// out in a temporary folder, and shut-down releases what the framework made.
#include "main/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "framework/framework_init.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxscrollbar.h"
#include "framework/uxthemes.h"
#include "framework/uxwinutils.h"
#include "app/libdatamodule.h"
#include "data/data_init.h"
#include "data/uxdatastorage.h"
#include "editors/editors_init.h"
#include "editors/uxcontainer.h"
#include "data/uxdbdata.h"
#include "app/mainform.h"
#include "app/program.h"
#include "docking/kxdockmanager.h"
#include "editors/uxeditpaintutils.h"
#include "editors/uxformats.h"
#include "pagecontrol/pagecontrol_init.h"
#include "pagecontrol/uxpcpainter.h"
#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/win/system.h"

namespace {

namespace fs = std::filesystem;

// An installation in a temporary folder: bin/ and the shipped data files.
struct Installation {
  std::string root;
  Installation() {
    std::string tmpl = (fs::temp_directory_path() / "pvmainXXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    root = tmpl + "/";
    const fs::path shipped = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "penvarro" / "data";
    fs::create_directories(root + "bin");
    fs::create_directories(root + "data");
    fs::copy_file(shipped / "lib.l", root + "data/lib.l");
    fs::copy_file(shipped / "template.te", root + "data/template.te");
  }
  ~Installation() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

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
  // the data layer's value types, by caption
  EXPECT_TRUE(DataInitialised());
  EXPECT_EQ(uxGetValueTypeClassList()->ItemByCaption("Integer"), TuxIntegerValueType::Instance());
  // the dataset adapters, each list serving every data set
  ASSERT_NE(uxFilterOperatorAdapters(), nullptr);
  ASSERT_NE(uxDetailFilterAdapters(), nullptr);
  EXPECT_EQ(uxFilterOperatorAdapters()->Items(0)->DataSetClass(), TDataSet::StaticClass());
  // the editors' shared brush cache and format controller
  EXPECT_TRUE(uxSolidBrushCacheExists());
  ASSERT_TRUE(uxFormatControllerExists());
  EXPECT_EQ(uxGetFormatController()->StartOfWeek, 1);
  // the editor framework: the pop-up closing hooks and the window mapping
  EXPECT_TRUE(EditorsInitialised());
  EXPECT_EQ(PvHookCount(WH_CALLWNDPROC), 1);
  EXPECT_EQ(PvHookCount(WH_GETMESSAGE), 1);
  EXPECT_EQ(PvHookCount(WH_MOUSE), 1);
  EXPECT_EQ(DockingOwnerWindowHook, &uxGetPopupOwnerWindow);

  // the workbench: the library module's controller sets the look of the
  // framework's controls, the frame comes up with the library open
  Installation inst;
  const std::string exe = inst.root + "bin/penvro";
  const char* argv[] = {exe.c_str()};
  CreateWorkbench(1, argv);
  ASSERT_NE(MainForm, nullptr);
  EXPECT_EQ(Application->MainForm(), MainForm);
  EXPECT_EQ(uxGetRootLookAndFeel()->Kind(), lfOffice11);
  EXPECT_NE(GetClass("TkxDockingManager"), nullptr);
  EXPECT_EQ(LibDataModule->DockingManager->ViewStyle(), vsOffice11);
  auto* bar = NewObject<TuxScrollBar>(MainForm);
  bar->SetParent(MainForm);
  EXPECT_EQ(bar->LookAndFeel()->Kind(), lfOffice11);
  MainForm->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(MainForm->Handle()));
  EXPECT_TRUE(LibDataModule->libTable->Active());

  FinalizeProgram();
  EXPECT_FALSE(FrameworkInitialised());
  EXPECT_FALSE(DataInitialised());
  EXPECT_EQ(uxFilterOperatorAdapters(), nullptr);
  EXPECT_EQ(uxDetailFilterAdapters(), nullptr);
  EXPECT_FALSE(uxSolidBrushCacheExists());
  EXPECT_FALSE(uxFormatControllerExists());
  EXPECT_FALSE(EditorsInitialised());
  for (int type : {WH_CALLWNDPROC, WH_GETMESSAGE, WH_MOUSE}) EXPECT_EQ(PvHookCount(type), 0) << type;
  EXPECT_EQ(DockingOwnerWindowHook, nullptr);
  EXPECT_FALSE(PageControlInitialised());
  EXPECT_EQ(PaintersFactory(), nullptr);
  EXPECT_EQ(uxGetRootLookAndFeel(), nullptr);
  EXPECT_EQ(kxThemeChangedReceiverWindow(), nullptr);
  EXPECT_EQ(Application, nullptr);
}

}  // namespace
