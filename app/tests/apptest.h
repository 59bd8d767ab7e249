// Shared fixture of the application's tests: the program's libraries started
// on the headless backend as the program starts them, a fresh Application for
// each test, and a temporary folder of the test's own.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/app_init.h"
#include "bars/bars_init.h"
#include "docking/kxdockmanager.h"
#include "editor/txteditinit.h"
#include "framework/framework_init.h"
#include "inplace/inplace_init.h"
#include "inspector/inspector_init.h"
#include "pagecontrol/pagecontrol_init.h"
#include "treechart/chartsinit.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/db/init.h"
#include "platform/rtl/strings.h"
#include "treechart/kxtreeview.h"

class AppTest : public CtlTest {
 protected:
  std::string Dir;

  void SetUp() override {
    CtlTest::SetUp();
    static bool once = false;
    if (!once) {
      once = true;
      InitResources();
      InitDataAccess();
      kxInitTreeViews();
      InitEditorClasses();
      InitChartClasses();
      InitApp();
    }
    InitFramework();
    InitBars();
    InitPageControl();
    kxInitDocking();
    InitInplace();
    InitInspector();
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvappXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    Dir = tmpl;
  }
  // The shipped data folder, written by the build next to the test programs.
  static std::filesystem::path ShippedData() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "penvarro" / "data";
  }
  // An installation laid out in the test's folder as the program expects it:
  // bin, data with copies of the shipped library and template, story and out.
  // Returns its root, ending in "/".
  std::string LayOutInstallation() {
    namespace fs = std::filesystem;
    const std::string root = Dir + "/";
    for (const char* d : {"bin", "data", "story", "out"}) fs::create_directories(root + d);
    fs::copy_file(ShippedData() / "lib.l", root + "data/lib.l");
    fs::copy_file(ShippedData() / "template.te", root + "data/template.te");
    return root;
  }
  void TearDown() override {
    DoneForms();
    FinalizeInspector();
    FinalizeInplace();
    kxDoneDocking();
    FinalizeBars();
    FinalizePageControl();
    FinalizeFramework();
    CtlTest::TearDown();
    std::error_code ec;
    if (!Dir.empty()) std::filesystem::remove_all(Dir, ec);
  }
  // Lets timers due within Ms fire.
  void Wait(int Ms) {
    hb->AdvanceClock(std::uint32_t(Ms));
    Pump();
  }
  static AnsiString A(const std::string& Utf8) { return Utf8ToAnsi(Utf8); }
  static std::string U8(const AnsiString& S) { return AnsiToUtf8(S); }
};
