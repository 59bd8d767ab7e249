// Program entry. The workbench itself is not built yet; until it is, the
// program shows a small demonstration form (main/demo.h) built from its window
// description with the class library, started as the workbench will be.
//
//   penvro                                  runs on the display named by DISPLAY
//   penvro --headless-screenshot FILE.png   builds the same form with no display,
//                                           saves its picture and ends
//
// PENVARRO_EVENT_LOG: see main/demo.h.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include "main/demo.h"
#include "main/startup.h"
#include "platform/backend/desktop/desktop.h"
#include "platform/backend/headless/headless.h"

namespace {

int HeadlessScreenshot(const std::string& png) {
  HeadlessBackend& hb = HeadlessBackend::Install();
  InitProgram();
  Application->Initialize();
  Application->SetTitle("Penvarro");
  TFrmDemo* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  Application->ProcessMessages();
  RECT r;
  GetWindowRect(form->Handle(), &r);
  hb.SaveScreenshot(png, &r);
  FinalizeProgram();
  return 0;
}

int RunOnDisplay() {
  DesktopBackend::Install();
  InitProgram();
  Application->Initialize();
  Application->SetTitle("Penvarro");
  TFrmDemo* form = nullptr;
  Application->CreateForm(form);
  Application->Run();
  FinalizeProgram();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::strcmp(argv[1], "--headless-screenshot") == 0) return HeadlessScreenshot(argv[2]);
    if (argc != 1) {
      std::fprintf(stderr, "usage: %s [--headless-screenshot FILE.png]\n", argv[0]);
      return 2;
    }
    return RunOnDisplay();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Penvarro: %s\n", e.what());
    return 1;
  }
}
