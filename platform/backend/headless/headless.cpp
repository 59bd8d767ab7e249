// The headless backend.
#include "platform/backend/headless/headless.h"
#include <algorithm>
#include <fstream>
#include "platform/gdi/gdi.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/exceptions.h"

HeadlessBackend& HeadlessBackend::Install() {
  static HeadlessBackend* b = new HeadlessBackend();
  if (GetBackend() != b) SetBackend(b);
  return *b;
}

void HeadlessBackend::Reset() {
  input_.clear();
  windows_.clear();
  stack_.clear();
  std::fill(overlay_.begin(), overlay_.end(), 0u);
  clipboard_.clear();
  clipFailure_.clear();
  clipReads_ = 0;
  tray_.clear();
  trayImages_.clear();
  trayAvailable_ = true;
  beeps_ = 0;
  cursorShape_ = 0;
  imeCaret_ = RECT();
  imeFont_ = ImeFontInfo();
  cursorImage_ = CursorPicture();
  shellOpened_.clear();
}

// ---- synthetic input ----

void HeadlessBackend::MouseMove(int x, int y) {
  BackendInput in;
  in.kind = BackendInput::MouseMove;
  in.x = mouseX_ = x;
  in.y = mouseY_ = y;
  Push(in);
}

void HeadlessBackend::MouseDown(int x, int y, Button b) {
  if (x != mouseX_ || y != mouseY_) MouseMove(x, y);
  BackendInput in;
  in.kind = BackendInput::ButtonDown;
  in.x = x;
  in.y = y;
  in.button = b;
  Push(in);
}

void HeadlessBackend::MouseUp(int x, int y, Button b) {
  if (x != mouseX_ || y != mouseY_) MouseMove(x, y);
  BackendInput in;
  in.kind = BackendInput::ButtonUp;
  in.x = x;
  in.y = y;
  in.button = b;
  Push(in);
}

void HeadlessBackend::Click(int x, int y, Button b) {
  MouseDown(x, y, b);
  MouseUp(x, y, b);
}

void HeadlessBackend::DoubleClick(int x, int y, Button b) {
  Click(x, y, b);
  Click(x, y, b);
}

void HeadlessBackend::Drag(int x1, int y1, int x2, int y2, int steps, Button b) {
  MouseDown(x1, y1, b);
  steps = std::max(1, steps);
  for (int i = 1; i <= steps; ++i) MouseMove(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
  MouseUp(x2, y2, b);
}

void HeadlessBackend::Wheel(int x, int y, int delta) {
  if (x != mouseX_ || y != mouseY_) MouseMove(x, y);
  BackendInput in;
  in.kind = BackendInput::Wheel;
  in.x = x;
  in.y = y;
  in.delta = delta;
  Push(in);
}

void HeadlessBackend::KeyDown(unsigned vk, bool extended, const std::string& text) {
  BackendInput in;
  in.kind = BackendInput::KeyDown;
  in.vk = vk;
  in.extended = extended;
  in.text = text;
  Push(in);
}

void HeadlessBackend::KeyUp(unsigned vk, bool extended) {
  BackendInput in;
  in.kind = BackendInput::KeyUp;
  in.vk = vk;
  in.extended = extended;
  Push(in);
}

void HeadlessBackend::Key(unsigned vk, unsigned mods) {
  if (mods & Ctrl) KeyDown(0x11);
  if (mods & Shift) KeyDown(0x10);
  if (mods & Alt) KeyDown(0x12);
  KeyDown(vk);
  KeyUp(vk);
  if (mods & Alt) KeyUp(0x12);
  if (mods & Shift) KeyUp(0x10);
  if (mods & Ctrl) KeyUp(0x11);
}

void HeadlessBackend::CommitText(const std::string& utf8) {
  BackendInput in;
  in.kind = BackendInput::ImeCommit;
  in.text = utf8;
  Push(in);
}

void HeadlessBackend::ComposeText(const std::string& utf8) {
  BackendInput in;
  in.kind = BackendInput::ImeCompose;
  in.text = utf8;
  Push(in);
}

void HeadlessBackend::TrayMouse(unsigned id, unsigned mouseMessage) { TrayMouse(id, mouseMessage, mouseX_, mouseY_); }

void HeadlessBackend::TrayMouse(unsigned id, unsigned mouseMessage, int x, int y) {
  BackendInput in;
  in.kind = BackendInput::TrayMouse;
  in.trayId = id;
  in.mouseMessage = mouseMessage;
  in.x = mouseX_ = x;
  in.y = mouseY_ = y;
  Push(in);
}

void HeadlessBackend::RequestClose(BackendWindowId id) {
  BackendInput in;
  in.kind = BackendInput::CloseRequest;
  in.window = id;
  Push(in);
}

void HeadlessBackend::DropFiles(int x, int y, const std::vector<std::string>& paths) {
  BackendInput in;
  in.kind = BackendInput::DropFiles;
  in.x = x;
  in.y = y;
  for (const std::string& p : paths) in.text += p + "\n";
  Push(in);
}

void HeadlessBackend::ActivateFromDesktop(BackendWindowId id) {
  BackendInput in;
  in.kind = BackendInput::Activate;
  in.window = id;
  Push(in);
}

void HeadlessBackend::MinimizeFromDesktop(BackendWindowId id, bool minimized) {
  BackendInput in;
  in.kind = minimized ? BackendInput::Minimize : BackendInput::Restore;
  in.window = id;
  Push(in);
}

// ---- the pump ----

void HeadlessBackend::Poll(IBackendSink& sink) {
  clipPending_ = false;
  while (!input_.empty()) {
    BackendInput in = std::move(input_.front());
    input_.pop_front();
    sink.Input(in);
  }
}

bool HeadlessBackend::Wait(IBackendSink& sink, std::uint32_t ms, bool cosmetic) {
  clipPending_ = false;
  if (!input_.empty()) {
    Poll(sink);
    return true;
  }
  if (ms == 0xFFFFFFFFu || cosmetic) return false;  // nothing can ever arrive
  clock_ += ms;  // virtual time: the wait is over at once
  return true;
}

// ---- windows ----

void HeadlessBackend::WindowCreate(BackendWindowId id, const BackendWindowInfo& info) {
  Window& w = windows_[id];
  w.rect = info.rect;
  w.popup = info.popup;
  w.topmost = info.topmost;
  w.owner = info.owner;
  w.title = info.title;
  stack_.erase(std::remove(stack_.begin(), stack_.end(), id), stack_.end());
  stack_.insert(stack_.begin(), id);
}

void HeadlessBackend::WindowDestroy(BackendWindowId id) {
  windows_.erase(id);
  stack_.erase(std::remove(stack_.begin(), stack_.end(), id), stack_.end());
}

void HeadlessBackend::WindowShow(BackendWindowId id, bool visible) {
  auto it = windows_.find(id);
  if (it != windows_.end()) it->second.visible = visible;
}

void HeadlessBackend::WindowMove(BackendWindowId id, const RECT& rect) {
  auto it = windows_.find(id);
  if (it != windows_.end()) it->second.rect = rect;
}

void HeadlessBackend::WindowRestack(BackendWindowId id, BackendWindowId above) {
  stack_.erase(std::remove(stack_.begin(), stack_.end(), id), stack_.end());
  auto pos = above ? std::find(stack_.begin(), stack_.end(), above) : stack_.end();
  if (pos == stack_.end()) stack_.insert(stack_.begin(), id);
  else stack_.insert(pos + 1, id);
}

void HeadlessBackend::WindowTitle(BackendWindowId id, const std::string& utf8) {
  auto it = windows_.find(id);
  if (it != windows_.end()) it->second.title = utf8;
}

void HeadlessBackend::WindowIcon(BackendWindowId id, const BackendImage& image) {
  auto it = windows_.find(id);
  if (it == windows_.end()) return;
  Window& w = it->second;
  ++w.iconCalls;
  w.icon.clear();
  w.iconWidth = image.pixels ? image.width : 0;
  w.iconHeight = image.pixels ? image.height : 0;
  for (int y = 0; image.pixels && y < image.height; ++y)
    w.icon.insert(w.icon.end(), image.pixels + std::size_t(y) * image.stride,
                  image.pixels + std::size_t(y) * image.stride + image.width);
}

void HeadlessBackend::WindowOpacity(BackendWindowId id, int alpha, bool perPixel) {
  auto it = windows_.find(id);
  if (it == windows_.end()) return;
  it->second.alpha = alpha;
  it->second.perPixel = perPixel;
}

void HeadlessBackend::Present(BackendWindowId id, const BackendImage& img, const RECT& damage) {
  auto it = windows_.find(id);
  if (it == windows_.end() || !img.pixels) return;
  Window& w = it->second;
  if (w.width != img.width || w.height != img.height) {
    w.width = img.width;
    w.height = img.height;
    w.image.assign(std::size_t(img.width) * img.height, 0);
    for (int y = 0; y < img.height; ++y)
      std::copy_n(img.pixels + std::size_t(y) * img.stride, img.width, &w.image[std::size_t(y) * img.width]);
  } else {
    int x1 = std::max<int>(0, damage.left), x2 = std::min<int>(img.width, damage.right);
    int y1 = std::max<int>(0, damage.top), y2 = std::min<int>(img.height, damage.bottom);
    for (int y = y1; y < y2; ++y)
      std::copy(img.pixels + std::size_t(y) * img.stride + x1, img.pixels + std::size_t(y) * img.stride + x2,
                &w.image[std::size_t(y) * img.width + x1]);
  }
  ++w.presents;
}

void HeadlessBackend::PresentOverlay(const BackendImage& img, const RECT&) {
  ++overlayPresents_;
  overlayW_ = img.width;
  overlayH_ = img.height;
  overlay_.resize(std::size_t(img.width) * img.height);
  for (int y = 0; y < img.height; ++y)
    std::copy_n(img.pixels + std::size_t(y) * img.stride, img.width, &overlay_[std::size_t(y) * img.width]);
}

const HeadlessBackend::Window* HeadlessBackend::FindWindow(BackendWindowId id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

static std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, int alpha) {
  auto ch = [&](int shift) {
    int d = int((dst >> shift) & 0xFF), s = int((src >> shift) & 0xFF);
    return std::uint32_t((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
  };
  return 0xFF000000u | ch(0) | ch(8) | ch(16);
}

std::vector<std::uint32_t> HeadlessBackend::ComposeScreen(const RECT& area) const {
  int aw = std::max<int>(0, area.right - area.left), ah = std::max<int>(0, area.bottom - area.top);
  COLORREF bg = GetSysColor(COLOR_BACKGROUND);
  std::uint32_t bgPixel = 0xFF000000u | (GetRValue(bg) << 16) | (GetGValue(bg) << 8) | GetBValue(bg);
  std::vector<std::uint32_t> out(std::size_t(aw) * ah, bgPixel);
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    auto wi = windows_.find(*it);
    if (wi == windows_.end() || !wi->second.visible || wi->second.image.empty()) continue;
    const Window& w = wi->second;
    for (int y = 0; y < w.height; ++y) {
      int sy = w.rect.top + y - area.top;
      if (sy < 0 || sy >= ah) continue;
      for (int x = 0; x < w.width; ++x) {
        int sx = w.rect.left + x - area.left;
        if (sx < 0 || sx >= aw) continue;
        std::uint32_t p = w.image[std::size_t(y) * w.width + x];
        std::uint32_t& d = out[std::size_t(sy) * aw + sx];
        int a = w.alpha;
        if (w.perPixel) a = a * int(p >> 24) / 255;
        d = a >= 255 ? (p | 0xFF000000u) : Blend(d, p, a);
      }
    }
  }
  // the overlay is exclusive-or'ed over everything (XOR frames of the desktop DC)
  for (int y = 0; y < ah; ++y) {
    int oy = y + area.top;
    if (oy < 0 || oy >= overlayH_) continue;
    for (int x = 0; x < aw; ++x) {
      int ox = x + area.left;
      if (ox < 0 || ox >= overlayW_) continue;
      out[std::size_t(y) * aw + x] ^= overlay_[std::size_t(oy) * overlayW_ + ox] & 0x00FFFFFFu;
    }
  }
  return out;
}

std::uint32_t HeadlessBackend::ScreenPixel(int x, int y) const {
  return ComposeScreen({x, y, x + 1, y + 1})[0];
}

void HeadlessBackend::SaveScreenshot(const std::string& path, const RECT* area) const {
  RECT a = area ? *area : RECT{0, 0, 1920, 1080};
  TRawImage img;
  img.Width = std::max<int>(0, a.right - a.left);
  img.Height = std::max<int>(0, a.bottom - a.top);
  img.Pixels = ComposeScreen(a);
  TBytes png = EncodePng(img);
  std::ofstream f(path, std::ios::binary);
  if (!f) throw EFCreateError("Cannot create screenshot file " + path);
  f.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  if (!f) throw EWriteError("Cannot write screenshot file " + path);
}

// ---- desktop services ----

bool HeadlessBackend::ShellOpen(const std::string& target) {
  shellOpened_.push_back(target);  // recorded, never run
  return true;
}

// Like the desktop, the formats of one copy arrive one by one and replace the
// whole clipboard; the copy is complete when the program next looks for input.
void HeadlessBackend::SetClipboard(const std::string& mime, const std::string& data) {
  if (!clipPending_) {
    clipboard_.clear();
    clipPending_ = true;
  }
  clipboard_[mime] = data;
}

bool HeadlessBackend::GetClipboard(const std::string& mime, std::string& data) {
  ++clipReads_;
  if (!clipFailure_.empty()) return false;
  auto it = clipboard_.find(mime);
  if (it == clipboard_.end()) return false;
  data = it->second;
  return true;
}

std::vector<std::string> HeadlessBackend::ClipboardFormats() {
  std::vector<std::string> r;
  for (auto& [k, v] : clipboard_) r.push_back(k);
  return r;
}

void HeadlessBackend::SetDesktopClipboardText(const std::string& utf8) {
  SetDesktopClipboard({{"text/plain;charset=utf-8", utf8}});
}

void HeadlessBackend::SetDesktopClipboard(const std::map<std::string, std::string>& formats) {
  clipboard_ = formats;
  BackendInput in;
  in.kind = BackendInput::ClipboardChanged;
  Push(in);
}

void HeadlessBackend::SetCursorImage(const BackendImage& image, int hotX, int hotY) {
  cursorShape_ = -1;  // none of the standard shapes
  cursorImage_.width = image.width;
  cursorImage_.height = image.height;
  cursorImage_.hotX = hotX;
  cursorImage_.hotY = hotY;
  cursorImage_.pixels.clear();
  for (int y = 0; y < image.height; ++y)
    cursorImage_.pixels.insert(cursorImage_.pixels.end(), image.pixels + std::size_t(y) * image.stride,
                               image.pixels + std::size_t(y) * image.stride + image.width);
}

void HeadlessBackend::KeepTrayImage(unsigned id, const BackendImage& icon) {
  TrayPicture& p = trayImages_[id];
  p = TrayPicture();
  if (!icon.pixels) return;
  p.width = icon.width;
  p.height = icon.height;
  for (int y = 0; y < icon.height; ++y)
    p.pixels.insert(p.pixels.end(), icon.pixels + std::size_t(y) * icon.stride,
                    icon.pixels + std::size_t(y) * icon.stride + icon.width);
}

bool HeadlessBackend::TrayAdd(unsigned id, const std::string& tip, const BackendImage& icon) {
  if (!trayAvailable_ || tray_.count(id)) return false;
  tray_[id] = tip;
  KeepTrayImage(id, icon);
  return true;
}

bool HeadlessBackend::TrayModify(unsigned id, const std::string& tip, const BackendImage& icon) {
  if (!tray_.count(id)) return false;
  tray_[id] = tip;
  if (icon.pixels) KeepTrayImage(id, icon);  // no picture: the icon keeps its own
  return true;
}

bool HeadlessBackend::TrayRemove(unsigned id) {
  trayImages_.erase(id);
  return tray_.erase(id) > 0;
}
