// The headless backend: a virtual 1920x1080 screen with no display, a virtual
// clock that only moves when told (or when a message loop waits for a timer),
// synthetic input, an in-process clipboard, a notification area, and
// screenshots of the composed screen as PNG. Tests and CI run on it.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>
#include "platform/backend/backend.h"

class HeadlessBackend : public IBackend {
 public:
  // The one headless backend, installed as the window manager's backend.
  static HeadlessBackend& Install();
  // Forgets windows, input, clipboard, tray and recorded calls; the clock stays.
  void Reset();

  // ---- the clock ----
  void AdvanceClock(std::uint32_t ms) { clock_ += ms; }
  void SetClock(std::uint32_t ms) { clock_ = ms; }

  // ---- synthetic input (screen coordinates; delivered when the queue is read) ----
  enum Button { Left = 0, Right = 1, Middle = 2 };
  enum Modifier { Shift = 1, Ctrl = 2, Alt = 4 };
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, Button b = Left);
  void MouseUp(int x, int y, Button b = Left);
  void Click(int x, int y, Button b = Left);
  void DoubleClick(int x, int y, Button b = Left);
  // Press at (x1,y1), move in `steps` steps to (x2,y2), release there.
  void Drag(int x1, int y1, int x2, int y2, int steps = 4, Button b = Left);
  void Wheel(int x, int y, int delta);
  void KeyDown(unsigned vk, bool extended = false, const std::string& textUtf8 = {});
  void KeyUp(unsigned vk, bool extended = false);
  // Presses and releases a key with modifiers held (Shift, Ctrl, Alt flags).
  void Key(unsigned vk, unsigned modifiers = 0);
  // Text committed by the input method (UTF-8).
  void CommitText(const std::string& utf8);
  // Text being composed in the input method (UTF-8); empty cancels the composition.
  void ComposeText(const std::string& utf8);
  void RequestClose(BackendWindowId id);
  // A mouse message (WM_LBUTTONUP, WM_RBUTTONUP ...) on the notification icon `id`,
  // with the pointer where it is, or over the icon at screen point (x, y).
  void TrayMouse(unsigned id, unsigned mouseMessage);
  void TrayMouse(unsigned id, unsigned mouseMessage, int x, int y);
  void DropFiles(int x, int y, const std::vector<std::string>& utf8Paths);
  // The desktop activated window `id` (0: another program took the activation).
  void ActivateFromDesktop(BackendWindowId id);
  // The desktop (its taskbar or window manager) minimised window `id`, or brought it back.
  void MinimizeFromDesktop(BackendWindowId id, bool minimized);

  // ---- what the window manager showed ----
  struct Window {
    RECT rect;
    bool visible = false;
    bool popup = false;
    bool topmost = false;
    BackendWindowId owner = 0;
    std::string title;
    int alpha = 255;
    bool perPixel = false;
    int width = 0, height = 0;
    std::vector<std::uint32_t> image;  // last presented pixels
    int presents = 0;
    // The picture last given by WindowIcon (empty: none) and how often it was given.
    int iconWidth = 0, iconHeight = 0;
    std::vector<std::uint32_t> icon;
    int iconCalls = 0;
  };
  const Window* FindWindow(BackendWindowId id) const;
  std::vector<BackendWindowId> Stacking() const { return stack_; }  // topmost first
  // The composed screen (or a part of it): 32-bit BGRA, top-down.
  std::vector<std::uint32_t> ComposeScreen(const RECT& area) const;
  // Writes the composed screen, or the given part of it, as a PNG file.
  void SaveScreenshot(const std::string& path, const RECT* area = nullptr) const;
  std::uint32_t ScreenPixel(int x, int y) const;
  int OverlayPresents() const { return overlayPresents_; }  // how often the desktop overlay was given

  int BeepCount() const { return beeps_; }
  int CursorShape() const { return cursorShape_; }  // an IDC_* number; -1 for the program's own cursor
  std::vector<std::string> ShellOpened() const { return shellOpened_; }
  std::map<unsigned, std::string> TrayIcons() const { return tray_; }
  // The picture the notification icon `id` was last given (empty: none).
  struct TrayPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
  };
  TrayPicture TrayImage(unsigned id) const {
    auto it = trayImages_.find(id);
    return it == trayImages_.end() ? TrayPicture() : it->second;
  }
  void SetTrayAvailable(bool available) { trayAvailable_ = available; }
  RECT ImeCaret() const { return imeCaret_; }
  struct ImeFontInfo {
    BackendWindowId window = 0;
    std::string face;  // UTF-8
    int height = 0;
  };
  ImeFontInfo ImeFont() const { return imeFont_; }
  // The program's own cursor last shown (empty pixels: a standard shape is shown).
  struct CursorPicture {
    int width = 0, height = 0, hotX = 0, hotY = 0;
    std::vector<std::uint32_t> pixels;
  };
  const CursorPicture& CursorImage() const { return cursorImage_; }

  // ---- IBackend ----
  void WindowCreate(BackendWindowId id, const BackendWindowInfo& info) override;
  void WindowDestroy(BackendWindowId id) override;
  void WindowShow(BackendWindowId id, bool visible) override;
  void WindowMove(BackendWindowId id, const RECT& rect) override;
  void WindowRestack(BackendWindowId id, BackendWindowId above) override;
  void WindowTitle(BackendWindowId id, const std::string& utf8) override;
  void WindowIcon(BackendWindowId id, const BackendImage& image) override;
  void WindowOpacity(BackendWindowId id, int alpha, bool perPixel) override;
  void Present(BackendWindowId id, const BackendImage& image, const RECT& damage) override;
  void PresentOverlay(const BackendImage& image, const RECT& damage) override;
  void Poll(IBackendSink& sink) override;
  bool Wait(IBackendSink& sink, std::uint32_t ms, bool cosmetic) override;
  void Wake() override {}
  std::uint32_t Now() override { return clock_; }
  RECT ScreenRect() override { return {0, 0, 1920, 1080}; }
  RECT WorkArea() override { return {0, 0, 1920, 1080}; }
  void SetCursorShape(int idc) override {
    cursorShape_ = idc;
    cursorImage_ = CursorPicture();
  }
  void SetCursorImage(const BackendImage& image, int hotX, int hotY) override;
  void SetImeFont(BackendWindowId id, const std::string& faceUtf8, int height) override {
    imeFont_ = {id, faceUtf8, height};
  }
  void WarpCursor(int, int) override {}
  void SetImeCaret(BackendWindowId, const RECT& caret) override { imeCaret_ = caret; }
  bool ShellOpen(const std::string& target) override;
  void Beep(unsigned) override { ++beeps_; }
  void SetClipboard(const std::string& mime, const std::string& data) override;
  bool GetClipboard(const std::string& mime, std::string& data) override;
  std::vector<std::string> ClipboardFormats() override;
  std::string ClipboardError() override { return clipFailure_; }
  bool TrayAdd(unsigned id, const std::string& tip, const BackendImage& icon) override;
  bool TrayModify(unsigned id, const std::string& tip, const BackendImage& icon) override;
  bool TrayRemove(unsigned id) override;

  // Puts text on the desktop's clipboard as another program would, and tells the
  // window manager that the clipboard changed.
  void SetDesktopClipboardText(const std::string& utf8);
  // The same with any formats (MIME type to bytes), e.g. only an image.
  void SetDesktopClipboard(const std::map<std::string, std::string>& formats);
  // Transfers of the desktop's clipboard fail with `error` (empty: they succeed
  // again), as when the program holding it stops answering.
  void SetClipboardFailure(const std::string& error) { clipFailure_ = error; }
  // How many transfers of clipboard data the window manager asked for.
  int ClipboardReads() const { return clipReads_; }

 private:
  void Push(BackendInput in) { input_.push_back(std::move(in)); }
  std::uint32_t clock_ = 100000;
  std::deque<BackendInput> input_;
  std::map<BackendWindowId, Window> windows_;
  std::vector<BackendWindowId> stack_;
  std::vector<std::uint32_t> overlay_;
  int overlayW_ = 0, overlayH_ = 0;
  int overlayPresents_ = 0;
  std::map<std::string, std::string> clipboard_;
  std::string clipFailure_;
  int clipReads_ = 0;
  bool clipPending_ = false;  // a copy's formats are still arriving
  std::map<unsigned, std::string> tray_;
  std::map<unsigned, TrayPicture> trayImages_;
  void KeepTrayImage(unsigned id, const BackendImage& icon);
  bool trayAvailable_ = true;
  int beeps_ = 0;
  int cursorShape_ = 0;
  RECT imeCaret_;
  ImeFontInfo imeFont_;
  CursorPicture cursorImage_;
  std::vector<std::string> shellOpened_;
  int mouseX_ = 0, mouseY_ = 0;
};
