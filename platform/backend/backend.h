// The narrow interface between the window manager and whatever shows its windows.
// The window manager owns all window logic and drawing; a backend only shows the
// finished images of top-level windows, delivers raw input and offers a few
// desktop services. Windows are named by an opaque id chosen by the window manager.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/rtl/wintypes.h"

using BackendWindowId = std::uintptr_t;

// Raw input as it arrives from the desktop, before the window manager turns it
// into window messages. Coordinates are screen coordinates.
struct BackendInput {
  enum Kind {
    MouseMove,
    ButtonDown,   // button: 0 left, 1 right, 2 middle
    ButtonUp,
    Wheel,        // delta: multiples of 120, positive away from the user
    KeyDown,      // vk: virtual-key code; repeat: key held down
    KeyUp,
    ImeCommit,    // text: committed text in UTF-8
    ImeCompose,   // text: text still being composed, UTF-8 (empty: composition cancelled)
    CloseRequest, // the desktop asks to close the window `window`
    DropFiles,    // files dropped at (x, y); text: one UTF-8 path per line
    TrayMouse,    // the notification icon `trayId` got the mouse message `mouseMessage` (WM_*),
                  // with the pointer at (x, y) on the screen
    Activate,     // the desktop activated the window `window` (0: another program took the activation)
    ClipboardChanged,  // another program changed the desktop's clipboard
    Minimize,     // the desktop minimised the window `window` (its taskbar or window manager)
    Restore,      // the desktop brought the minimised window `window` back
  };
  Kind kind = MouseMove;
  int x = 0, y = 0;
  int button = 0;
  int delta = 0;
  unsigned vk = 0;
  bool repeat = false;
  bool extended = false;
  BackendWindowId window = 0;
  std::string text;
  unsigned trayId = 0;
  unsigned mouseMessage = 0;
};

// A top-level image ready to be shown: 32-bit BGRA rows, top-down.
struct BackendImage {
  const std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  int stride = 0;  // in pixels
};

struct BackendWindowInfo {
  RECT rect;          // screen rectangle of the whole window
  bool popup = false; // frameless and never takes the focus on the desktop (menus, hints, drop-downs)
  bool topmost = false;
  bool toolWindow = false;
  BackendWindowId owner = 0;
  std::string title;  // UTF-8
};

// Receives input and wake-ups from the backend; implemented by the window manager.
class IBackendSink {
 public:
  virtual ~IBackendSink() = default;
  virtual void Input(const BackendInput& in) = 0;
};

class IBackend {
 public:
  virtual ~IBackend() = default;

  // Top-level windows.
  virtual void WindowCreate(BackendWindowId id, const BackendWindowInfo& info) = 0;
  virtual void WindowDestroy(BackendWindowId id) = 0;
  virtual void WindowShow(BackendWindowId id, bool visible) = 0;
  virtual void WindowMove(BackendWindowId id, const RECT& rect) = 0;
  // The window is minimised (or no longer): a desktop with a taskbar shows it
  // there and keeps its place on the screen for its return. Told before every
  // move; the window manager moves a minimised window out of sight.
  virtual void WindowMinimize(BackendWindowId id, bool minimized) {}
  // Places `id` directly below `above` (0: on top of all).
  virtual void WindowRestack(BackendWindowId id, BackendWindowId above) = 0;
  virtual void WindowTitle(BackendWindowId id, const std::string& utf8) = 0;
  virtual void WindowIcon(BackendWindowId id, const BackendImage& image) = 0;
  // Alpha for the whole window (255 opaque) and whether its pixels carry their own alpha.
  virtual void WindowOpacity(BackendWindowId id, int alpha, bool perPixel) = 0;
  // The window's image changed inside `damage` (window coordinates).
  virtual void Present(BackendWindowId id, const BackendImage& image, const RECT& damage) = 0;
  // The overlay above all windows (XOR frames drawn on the desktop DC).
  virtual void PresentOverlay(const BackendImage& image, const RECT& damage) = 0;
  // The window manager's mouse capture lies in top-level window `id` (0: none):
  // while it lasts, a drag whose pressed window goes away goes on in that one.
  virtual void CaptureMouse(BackendWindowId id) {}

  // Input pump. Poll hands pending input to the sink and returns at once; Wait
  // blocks until input arrives, Wake is called or `ms` pass (0xFFFFFFFF: no limit),
  // and returns false when nothing can ever arrive (a headless run with no input
  // left and no time-out). `cosmetic` says the time-out only serves effects of the
  // window manager such as the caret's blinking: a backend without a display may
  // treat such a wait as endless.
  virtual void Poll(IBackendSink& sink) = 0;
  virtual bool Wait(IBackendSink& sink, std::uint32_t ms, bool cosmetic) = 0;
  virtual void Wake() = 0;
  // Milliseconds since an arbitrary start; a headless backend runs a virtual clock.
  virtual std::uint32_t Now() = 0;

  // Desktop services.
  virtual RECT ScreenRect() = 0;
  virtual RECT WorkArea() = 0;
  virtual void SetCursorShape(int idc) = 0;  // an IDC_* number
  virtual void WarpCursor(int x, int y) = 0;
  virtual void SetImeCaret(BackendWindowId id, const RECT& caret) = 0;  // screen coordinates
  // The font the input method composes in for window `id`: a face name (UTF-8)
  // and a height in pixels (0: the desktop's choice).
  virtual void SetImeFont(BackendWindowId id, const std::string& faceUtf8, int height) {}
  // A cursor of the program's own (from a resource or CreateCursor): a BGRA image
  // with its alpha, and its hot spot. A backend that cannot show one shows the arrow.
  virtual void SetCursorImage(const BackendImage& image, int hotX, int hotY) { SetCursorShape(32512); }
  virtual bool ShellOpen(const std::string& target) = 0;
  virtual void Beep(unsigned type) = 0;

  // Clipboard with UTF-8 text, RTF and HTML bridged to the desktop.
  virtual void SetClipboard(const std::string& mime, const std::string& data) = 0;
  virtual bool GetClipboard(const std::string& mime, std::string& data) = 0;
  virtual std::vector<std::string> ClipboardFormats() = 0;
  // Why the last GetClipboard or ClipboardFormats failed when the desktop held
  // the data but it could not be had (the program holding the clipboard did not
  // answer in time, or stopped halfway); empty when the format simply is not there.
  virtual std::string ClipboardError() { return {}; }

  // Notification area. Add returns false where the desktop has none.
  virtual bool TrayAdd(unsigned id, const std::string& tipUtf8, const BackendImage& icon) = 0;
  virtual bool TrayModify(unsigned id, const std::string& tipUtf8, const BackendImage& icon) = 0;
  virtual bool TrayRemove(unsigned id) = 0;
};

// The backend the window manager talks to, installed once at start-up. Until one
// is installed the window manager runs with no display: windows exist and paint
// into their images, time is the process clock and no input arrives.
IBackend* GetBackend();
void SetBackend(IBackend* backend);
