// The desktop backend: every top-level window of the window manager becomes a
// native window on the display, input from the display becomes raw backend
// input, and the desktop's clipboard, notification area, cursors, screens and
// input method serve the window manager. This header names no toolkit type, so
// the program's entry can choose the backend without seeing the toolkit.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "platform/backend/backend.h"

class DesktopBackend : public IBackend {
 public:
  // Connects to the display (creating the toolkit's application object when the
  // process has none) and installs the backend in the window manager. Throws
  // EInvalidOperation when there is no display to connect to, or when DISPLAY
  // names an X display that no server answers.
  static DesktopBackend& Install();
  // True when a display is named in the environment.
  static bool DisplayAvailable();

  ~DesktopBackend() override;

  // ---- IBackend ----
  void WindowCreate(BackendWindowId id, const BackendWindowInfo& info) override;
  void WindowDestroy(BackendWindowId id) override;
  void WindowShow(BackendWindowId id, bool visible) override;
  void WindowMove(BackendWindowId id, const RECT& rect) override;
  void WindowMinimize(BackendWindowId id, bool minimized) override;
  void WindowRestack(BackendWindowId id, BackendWindowId above) override;
  void WindowTitle(BackendWindowId id, const std::string& utf8) override;
  void WindowIcon(BackendWindowId id, const BackendImage& image) override;
  void WindowOpacity(BackendWindowId id, int alpha, bool perPixel) override;
  void Present(BackendWindowId id, const BackendImage& image, const RECT& damage) override;
  void PresentOverlay(const BackendImage& image, const RECT& damage) override;
  void CaptureMouse(BackendWindowId id) override;
  void Poll(IBackendSink& sink) override;
  bool Wait(IBackendSink& sink, std::uint32_t ms, bool cosmetic) override;
  void Wake() override;
  std::uint32_t Now() override;
  RECT ScreenRect() override;
  RECT WorkArea() override;
  void SetCursorShape(int idc) override;
  void WarpCursor(int x, int y) override;
  void SetImeCaret(BackendWindowId id, const RECT& caret) override;
  void SetImeFont(BackendWindowId id, const std::string& faceUtf8, int height) override;
  void SetCursorImage(const BackendImage& image, int hotX, int hotY) override;
  bool ShellOpen(const std::string& target) override;
  void Beep(unsigned type) override;
  void SetClipboard(const std::string& mime, const std::string& data) override;
  bool GetClipboard(const std::string& mime, std::string& data) override;
  std::vector<std::string> ClipboardFormats() override;
  std::string ClipboardError() override;
  // How long another program holding the clipboard may stay silent during a
  // transfer before it fails (5 s at first).
  void SetClipboardStallLimit(int ms);
  bool TrayAdd(unsigned id, const std::string& tipUtf8, const BackendImage& icon) override;
  bool TrayModify(unsigned id, const std::string& tipUtf8, const BackendImage& icon) override;
  bool TrayRemove(unsigned id) override;

  // The native window that shows `id` (a toolkit widget pointer; null when none).
  // Tests use it to send toolkit events straight to the window.
  void* NativeWindow(BackendWindowId id) const;

  struct Impl;

 private:
  DesktopBackend();
  std::unique_ptr<Impl> d_;
};
