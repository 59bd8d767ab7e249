// Helpers of the desktop tests: a virtual X server when the environment names
// no display, and child processes run with a time limit so that no test can
// hang or leave a process behind.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pvtest {

// The whole content of a file ("" when it cannot be read).
inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The text without its trailing line breaks and blanks.
inline std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

inline bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string p = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    std::string file = p.substr(start, end - start) + "/" + program;
    if (access(file.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// Waits for `pid` up to `ms`; kills it when it has not ended by then. Returns
// its exit status (-1 when it had to be killed).
inline int Reap(pid_t pid, int ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (r < 0) return -1;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

// Starts `argv` with stdin from `input` (when given) and stdout (and stderr, when
// asked) into a pipe. `extraEnv` entries "NAME=value" set a variable, replacing the
// inherited one; a bare "NAME" removes it.
struct Child {
  pid_t pid = -1;
  int out = -1;  // the read end of the child's stdout
};
inline Child Spawn(const std::vector<std::string>& argv, const std::string* input = nullptr,
                   const std::vector<std::string>& extraEnv = {}, bool stderrToOut = false) {
  Child c;
  int outPipe[2], inPipe[2] = {-1, -1};
  if (pipe2(outPipe, O_CLOEXEC) != 0) return c;
  if (input && pipe2(inPipe, O_CLOEXEC) != 0) return c;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  if (stderrToOut) posix_spawn_file_actions_adddup2(&fa, outPipe[1], 2);
  else posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  if (input) posix_spawn_file_actions_adddup2(&fa, inPipe[0], 0);
  else posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  auto nameOf = [](const std::string& e) { return e.substr(0, e.find('=')); };
  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e) {
    bool replaced = false;
    for (const std::string& x : extraEnv) replaced = replaced || nameOf(x) == nameOf(*e);
    if (!replaced) envStore.push_back(*e);
  }
  for (const std::string& e : extraEnv)
    if (e.find('=') != std::string::npos) envStore.push_back(e);
  std::vector<char*> env;
  for (std::string& e : envStore) env.push_back(e.data());
  env.push_back(nullptr);
  pid_t pid;
  int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&fa);
  close(outPipe[1]);
  if (input) {
    close(inPipe[0]);
    if (rc == 0 && !input->empty()) {
      ssize_t n = write(inPipe[1], input->data(), input->size());
      (void)n;
    }
    close(inPipe[1]);
  }
  if (rc != 0) {
    close(outPipe[0]);
    return c;
  }
  c.pid = pid;
  c.out = outPipe[0];
  return c;
}

// Runs `argv` to its end (killed after `ms`); returns its exit status and stdout.
// `pump` is called between short waits (a test that serves the clipboard itself
// must keep answering while the child reads it).
template <class Pump>
inline int RunProcess(const std::vector<std::string>& argv, std::string* output, int ms, Pump pump,
               const std::string* input = nullptr) {
  Child c = Spawn(argv, input);
  if (c.pid < 0) return -1;
  std::string out;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  bool open = true;
  while (open && std::chrono::steady_clock::now() < deadline) {
    pollfd p{c.out, POLLIN, 0};
    if (poll(&p, 1, 10) > 0) {
      char buf[4096];
      ssize_t n = read(c.out, buf, sizeof buf);
      if (n > 0) out.append(buf, std::size_t(n));
      else open = false;
    }
    pump();
  }
  close(c.out);
  int status = Reap(c.pid, open ? 0 : std::max<int>(0, int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                               deadline - std::chrono::steady_clock::now())
                                                               .count())));
  if (output) *output = out;
  return status;
}
inline int RunProcess(const std::vector<std::string>& argv, std::string* output = nullptr, int ms = 5000) {
  return RunProcess(argv, output, ms, [] {});
}

// A display for the test: the one the environment names, or a virtual X server
// started here on a free display number (the server picks it itself).
class TestDisplay {
 public:
  // False when there is no display and no virtual server can be started.
  bool Open(std::string* why) {
    const char* d = std::getenv("DISPLAY");
    if (d && *d) return true;
    if (!OnPath("Xvfb")) {
      *why = "no DISPLAY and Xvfb is not installed";
      return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
      *why = "pipe failed";
      return false;
    }
    std::string fd = std::to_string(fds[1]);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    const char* args[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                          nullptr};
    int rc = posix_spawnp(&pid_, "Xvfb", &fa, nullptr, const_cast<char**>(args), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      pid_ = -1;
      *why = "Xvfb could not be started";
      return false;
    }
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char buf[32];
      ssize_t n = read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      number.append(buf, std::size_t(n));
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (number.empty()) {
      Close();
      *why = "Xvfb did not report its display";
      return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
  }
  void Close() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    Reap(pid_, 3000);
    pid_ = -1;
    unsetenv("DISPLAY");
  }
  bool Started() const { return pid_ > 0; }
  ~TestDisplay() { Close(); }

 private:
  pid_t pid_ = -1;
};

// Polls until the file holds `line` as a whole line, for at most `ms`.
inline bool WaitForLogLine(const std::string& path, const std::string& line, int ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (("\n" + ReadFile(path)).find("\n" + line + "\n") != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Waits up to `ms` for the child to end and returns its exit status (-1 when it
// is still running); an ended child's pipe is closed and its pid cleared.
inline int WaitForExit(Child& c, int ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    int st;
    if (waitpid(c.pid, &st, WNOHANG) == c.pid) {
      close(c.out);
      c.pid = -1;
      return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

// A window's place and size on the display, as xdotool reports them.
struct Geometry {
  int x = 0, y = 0, w = 0, h = 0;
};
inline Geometry GeometryOf(const std::string& win) {
  std::string geo;
  RunProcess({"xdotool", "getwindowgeometry", "--shell", win}, &geo, 2000);
  Geometry r;
  std::istringstream g(geo);
  for (std::string kv; std::getline(g, kv);) {
    auto eq = kv.find('=');
    if (eq == std::string::npos) continue;
    std::string k = kv.substr(0, eq);
    int v = std::atoi(kv.c_str() + eq + 1);
    if (k == "X") r.x = v;
    else if (k == "Y") r.y = v;
    else if (k == "WIDTH") r.w = v;
    else if (k == "HEIGHT") r.h = v;
  }
  return r;
}

}  // namespace pvtest
