// Program entry: starts the libraries, builds the workbench (the library data
// module, the frame and the node clipboard) and runs the message loop.
//
//   penvro [STORY.t]                        runs on the display named by DISPLAY;
//                                           a story file given is opened at once
//   penvro --headless-screenshot FILE.png   builds the frame with no display,
//                                           saves its picture and ends
//
// The installation root is the executable's folder's parent: the program is
// <root>/bin/penvro.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "app/program.h"
#include "main/startup.h"
#include "platform/backend/desktop/desktop.h"
#include "platform/backend/headless/headless.h"
#include "platform/controls/forms.h"

namespace {

// The arguments with the executable's real path first, wherever it was
// started from (a relative path, a search path).
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  args.push_back(n > 0 ? std::string(buf, std::size_t(n)) : std::string(argc > 0 ? argv[0] : ""));
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  return args;
}

void Create(const std::vector<std::string>& Args) {
  std::vector<const char*> argv;
  for (const std::string& a : Args) argv.push_back(a.c_str());
  CreateWorkbench(int(argv.size()), argv.data());
}

int HeadlessScreenshot(const std::vector<std::string>& Args, const std::string& png) {
  HeadlessBackend& hb = HeadlessBackend::Install();
  InitProgram();
  Create({Args[0]});
  MainForm->Show();
  Application->ProcessMessages();
  RECT r;
  GetWindowRect(MainForm->Handle(), &r);
  hb.SaveScreenshot(png, &r);
  FinalizeProgram();
  return 0;
}

int RunOnDisplay(const std::vector<std::string>& Args) {
  DesktopBackend::Install();
  InitProgram();
  Create(Args);
  Application->Run();
  FinalizeProgram();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args = Arguments(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--headless-screenshot") == 0) return HeadlessScreenshot(args, argv[2]);
    if (argc > 2 || (argc == 2 && std::strncmp(argv[1], "--", 2) == 0)) {
      std::fprintf(stderr, "usage: %s [STORY.t | --headless-screenshot FILE.png]\n", argv[0]);
      return 2;
    }
    return RunOnDisplay(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Penvarro: %s\n", e.what());
    return 1;
  }
}
