// Helpers of the desktop tests: a virtual X server when the environment names
// no display, and child processes run with a time limit so that no test can
// hang or leave a process behind.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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

// The full path of `program` as the shell would find it on PATH ("" when none).
inline std::string FindOnPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : std::string();
  const char* path = std::getenv("PATH");
  std::string p = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    std::string file = p.substr(start, end - start) + "/" + program;
    if (access(file.c_str(), X_OK) == 0) return file;
    start = end + 1;
  }
  return {};
}

inline bool OnPath(const std::string& program) { return !FindOnPath(program).empty(); }

// Starts `argv` with the environment `env` and its standard input, output and
// error on the given descriptors (-1: /dev/null); of the others only `keep`
// (when given) and those not marked close-on-exec stay open in it. The child
// is killed when the test program ends, however it ends (a crash or an abort
// included), so that no process outlives the test. The child's id, or -1.
inline pid_t StartChild(const std::vector<std::string>& argv, const std::vector<std::string>& env, int in, int out,
                        int err, int keep = -1) {
  const std::string file = argv.empty() ? std::string() : FindOnPath(argv[0]);
  if (file.empty()) return -1;
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const int devnull = open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // only calls that are safe between fork and exec from here on
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the test ended before the line above
    const int fds[3] = {in, out, err};
    for (int i = 0; i < 3; ++i) {
      const int from = fds[i] >= 0 ? fds[i] : devnull;
      if (from == i) fcntl(i, F_SETFD, 0);
      else dup2(from, i);
    }
    if (keep >= 0) fcntl(keep, F_SETFD, 0);
    execve(file.c_str(), args.data(), envp.data());
    _exit(127);
  }
  if (devnull >= 0) close(devnull);
  return pid;
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
  if (input && pipe2(inPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return c;
  }
  auto nameOf = [](const std::string& e) { return e.substr(0, e.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    bool replaced = false;
    for (const std::string& x : extraEnv) replaced = replaced || nameOf(x) == nameOf(*e);
    if (!replaced) env.push_back(*e);
  }
  for (const std::string& e : extraEnv)
    if (e.find('=') != std::string::npos) env.push_back(e);
  const pid_t pid = StartChild(argv, env, input ? inPipe[0] : -1, outPipe[1], stderrToOut ? outPipe[1] : -1);
  close(outPipe[1]);
  if (input) {
    close(inPipe[0]);
    if (pid > 0 && !input->empty()) {
      ssize_t n = write(inPipe[1], input->data(), input->size());
      (void)n;
    }
    close(inPipe[1]);
  }
  if (pid < 0) {
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
    // -noreset: the server would reset whenever its last client leaves, and
    // turn away whoever connects during the reset
    return Start(why, {"-noreset"});
  }
  // Starts a virtual X server of our own with the server `options`, whatever
  // the environment names, and makes it the display (until Close). Only
  // clients that show the server's cookie (those that inherit XAUTHORITY from
  // the test) are let in: a client of another test that still names a display
  // number this server took over is turned away instead of resetting or
  // ending it, or drawing on it.
  bool Start(std::string* why, const std::vector<std::string>& options) {
    Close();
    if (!OnPath("Xvfb")) {
      *why = "Xvfb is not installed";
      return false;
    }
    std::string cookie(16, '\0');
    {
      std::ifstream random("/dev/urandom", std::ios::binary);
      random.read(cookie.data(), std::streamsize(cookie.size()));
    }
    std::string authFile = (std::filesystem::temp_directory_path() / "penvarro_xauth_XXXXXX").string();
    const int authFd = mkstemp(authFile.data());
    if (authFd < 0) {
      *why = "no temporary file for the display's cookie";
      return false;
    }
    close(authFd);
    auth_ = authFile;
    // the server takes the cookie whatever its display number
    if (!WriteCookie(auth_, "", cookie)) {
      Close();
      *why = "the display's cookie could not be written";
      return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      *why = "pipe failed";
      return false;
    }
    std::vector<std::string> argv = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                                     "-nolisten", "tcp"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {"-auth", auth_});
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    pid_ = StartChild(argv, env, -1, -1, -1, fds[1]);
    close(fds[1]);
    if (pid_ < 0) {
      close(fds[0]);
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
    // the clients look the cookie up by the display's number
    if (!WriteCookie(auth_, number, cookie)) {
      Close();
      *why = "the display's cookie could not be written";
      return false;
    }
    for (auto& [name, value] : previous_) {
      const char* before = std::getenv(name.c_str());
      value = before ? std::optional<std::string>(before) : std::nullopt;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("XAUTHORITY", auth_.c_str(), 1);
    started_ = true;
    return true;
  }
  void Close() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      Reap(pid_, 3000);
      pid_ = -1;
    }
    if (started_) {
      for (auto& [name, value] : previous_) {
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
        value.reset();
      }
      started_ = false;
    }
    if (!auth_.empty()) {
      std::remove(auth_.c_str());
      auth_.clear();
    }
  }
  bool Started() const { return pid_ > 0; }
  ~TestDisplay() { Close(); }

 private:
  // Appends an entry of the X authority file format that any host may use:
  // family, address, display number, protocol name and data, each but the
  // family preceded by its length, all numbers two bytes, high byte first.
  static bool WriteCookie(const std::string& file, const std::string& number, const std::string& cookie) {
    std::string entry;
    auto add = [&entry](const std::string& field) {
      entry += char(field.size() >> 8);
      entry += char(field.size() & 0xFF);
      entry += field;
    };
    entry += "\xFF\xFF";  // any address
    add("");
    add(number);
    add("MIT-MAGIC-COOKIE-1");
    add(cookie);
    std::ofstream f(file, std::ios::binary | std::ios::app);
    f.write(entry.data(), std::streamsize(entry.size()));
    return bool(f.flush());
  }

  pid_t pid_ = -1;
  bool started_ = false;
  std::string auth_;  // the server's authority file
  // the environment's display and authority file before the server was started
  std::vector<std::pair<std::string, std::optional<std::string>>> previous_ = {{"DISPLAY", {}}, {"XAUTHORITY", {}}};
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
