// System services: metrics and parameters, monitors, version, sounds, the shell,
// looked-up entry points, cursors, keyboard and mouse state, the input method,
// file drops, global memory, the clipboard, the notification area, and the
// glue between the window manager and its backend.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include "platform/gdi/pictures.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "platform/win/wndinternal.h"

namespace pvwin {

static RECT Screen() {
  State& s = S();
  return s.backend ? s.backend->ScreenRect() : RECT{0, 0, 1920, 1080};
}
static RECT Work() {
  State& s = S();
  return s.backend ? s.backend->WorkArea() : RECT{0, 0, 1920, 1080};
}

// ---------------------------------------------------------------------------
// backend glue

static BackendWindowId Id(Wnd* w) { return reinterpret_cast<BackendWindowId>(w->h); }

void BackendCreated(Wnd* w) {
  State& s = S();
  if (!s.backend) return;
  BackendWindowInfo info;
  info.rect = w->rect;
  info.popup = (w->style & WS_POPUP) && !(w->style & WS_CAPTION);
  info.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
  info.toolWindow = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
  info.owner = w->owner ? Id(w->owner) : 0;
  info.title = Cp936ToUtf8(w->text);
  s.backend->WindowCreate(Id(w), info);
  BackendRestack(w);
}
void BackendDestroyed(Wnd* w) {
  if (S().backend) S().backend->WindowDestroy(Id(w));
}
void BackendGeometry(Wnd* w) {
  if (!S().backend || !IsTopLevel(w)) return;
  S().backend->WindowMinimize(Id(w), (w->style & WS_MINIMIZE) != 0);
  S().backend->WindowMove(Id(w), w->rect);
}
void BackendVisibility(Wnd* w) {
  if (S().backend && IsTopLevel(w)) S().backend->WindowShow(Id(w), (w->style & WS_VISIBLE) != 0);
}
void BackendRestack(Wnd* w) {
  if (!S().backend || !IsTopLevel(w)) return;
  S().backend->WindowRestack(Id(w), w->prev ? Id(w->prev) : 0);
  PaintZOrderChanged();
}
void BackendTitle(Wnd* w) {
  if (S().backend && IsTopLevel(w)) S().backend->WindowTitle(Id(w), Cp936ToUtf8(w->text));
}

void RegisterControlClasses();  // controls.cpp
void ClipboardChangedOnDesktop();  // below; the input path calls it

void RegisterSystemClasses() { RegisterControlClasses(); }

}  // namespace pvwin

using namespace pvwin;

IBackend* GetBackend() { return S().backend; }

void SetBackend(IBackend* backend) {
  State& s = S();
  s.backend = backend;
  if (s.desktop) s.desktop->rect = s.desktop->client = Screen();
}

// ---------------------------------------------------------------------------
// metrics

int GetSystemMetrics(int index) {
  RECT scr = Screen(), work = Work();
  switch (index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: return scr.Width();
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return scr.Height();
    case SM_XVIRTUALSCREEN: return scr.left;
    case SM_YVIRTUALSCREEN: return scr.top;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: return 32;
    case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - 19;
    case SM_CYKANJIWINDOW: return 0;
    case SM_MOUSEPRESENT: return 1;
    case SM_DEBUG: return 0;
    case SM_SWAPBUTTON: return S().swapButtons ? 1 : 0;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_MENUDROPALIGNMENT: return 0;
    case SM_DBCSENABLED: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 15;
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_ARRANGE: return 8;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMAXTRACK: return scr.Width() + 12;
    case SM_CYMAXTRACK: return scr.Height() + 12;
    case SM_CXMAXIMIZED: return work.Width() + 8;
    case SM_CYMAXIMIZED: return work.Height() + 8;
    case SM_NETWORK: return 1;
    case SM_CLEANBOOT: return 0;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_SHOWSOUNDS: return 0;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_SLOWMACHINE: case SM_MIDEASTENABLED: return 0;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_CMONITORS: case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_REMOTESESSION: return 0;
  }
  return 0;
}

static void DefaultFont(LOGFONTA* lf, bool bold = false) {
  *lf = LOGFONTA();
  lf->lfHeight = -12;
  lf->lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf->lfCharSet = GB2312_CHARSET;
  std::strcpy(lf->lfFaceName, "\xCB\xCE\xCC\xE5");  // the default Chinese face (SimSun)
}

BOOL SystemParametersInfoA(UINT action, UINT param, void* data, UINT winIni) {
  static int wheelLines = 3;
  switch (action) {
    case SPI_GETWORKAREA:
      if (!data) return FALSE;
      *static_cast<RECT*>(data) = Work();
      return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
      if (!data) return FALSE;
      auto* m = static_cast<NONCLIENTMETRICSA*>(data);
      *m = NONCLIENTMETRICSA();
      DefaultFont(&m->lfCaptionFont, true);
      DefaultFont(&m->lfSmCaptionFont, true);
      DefaultFont(&m->lfMenuFont);
      DefaultFont(&m->lfStatusFont);
      DefaultFont(&m->lfMessageFont);
      return TRUE;
    }
    case SPI_GETICONMETRICS: {
      if (!data) return FALSE;
      auto* m = static_cast<ICONMETRICSA*>(data);
      *m = ICONMETRICSA();
      DefaultFont(&m->lfFont);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      if (!data) return FALSE;
      DefaultFont(static_cast<LOGFONTA*>(data));
      return TRUE;
    case SPI_GETWHEELSCROLLLINES:
      if (!data) return FALSE;
      *static_cast<UINT*>(data) = UINT(wheelLines);
      return TRUE;
    case SPI_SETWHEELSCROLLLINES:
      wheelLines = int(param);
      if (winIni & SPIF_SENDCHANGE) SendNotifyMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, action, 0);
      return TRUE;
    case SPI_GETMOUSEHOVERTIME:
      if (data) *static_cast<UINT*>(data) = 400;
      return data != nullptr;
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
      if (data) *static_cast<UINT*>(data) = 4;
      return data != nullptr;
    case SPI_GETMENUSHOWDELAY:
      if (data) *static_cast<UINT*>(data) = 400;
      return data != nullptr;
    case SPI_GETKEYBOARDDELAY:
      if (data) *static_cast<UINT*>(data) = 1;
      return data != nullptr;
    case SPI_GETKEYBOARDSPEED:
      if (data) *static_cast<DWORD*>(data) = 31;
      return data != nullptr;
    case SPI_GETBORDER:
      if (data) *static_cast<int*>(data) = 1;
      return data != nullptr;
    case SPI_GETCARETWIDTH:
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT:
      if (data) *static_cast<UINT*>(data) = 1;
      return data != nullptr;
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETKEYBOARDCUES:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETHOTTRACKING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
    case SPI_GETSCREENREADER:
    case SPI_GETSNAPTODEFBUTTON:
    case SPI_GETFONTSMOOTHING:
    case SPI_GETSCREENSAVERRUNNING:
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETMENUDROPALIGNMENT:
    case SPI_GETSHOWIMEUI:
      // classic settings: effects off
      if (data) *static_cast<BOOL*>(data) = action == SPI_GETSHOWIMEUI ? TRUE : FALSE;
      return data != nullptr;
    case SPI_GETHIGHCONTRAST:
      if (data) std::memset(data, 0, 3 * sizeof(UINT));  // cbSize, dwFlags, scheme: off
      return data != nullptr;
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
      if (data) *static_cast<DWORD*>(data) = 0;
      return data != nullptr;
    case SPI_GETMOUSESPEED:
      if (data) *static_cast<int*>(data) = 10;
      return data != nullptr;
  }
  return FALSE;
}

// ---------------------------------------------------------------------------
// monitors: one, the virtual screen

static HMONITOR Primary() { return reinterpret_cast<HMONITOR>(std::uintptr_t(0x12340001)); }

HMONITOR MonitorFromPoint(POINT p, DWORD flags) {
  RECT r = Screen();
  bool in = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  return in || flags != MONITOR_DEFAULTTONULL ? Primary() : nullptr;
}
HMONITOR MonitorFromRect(const RECT* rc, DWORD flags) {
  if (!rc) return nullptr;
  RECT r = Screen();
  bool in = rc->left < r.right && rc->right > r.left && rc->top < r.bottom && rc->bottom > r.top;
  return in || flags != MONITOR_DEFAULTTONULL ? Primary() : nullptr;
}
HMONITOR MonitorFromWindow(HWND h, DWORD flags) {
  RECT r;
  if (!GetWindowRect(h, &r)) return flags != MONITOR_DEFAULTTONULL ? Primary() : nullptr;
  return MonitorFromRect(&r, flags);
}
BOOL GetMonitorInfoA(HMONITOR m, MONITORINFO* info) {
  if (m != Primary() || !info) return FALSE;
  info->rcMonitor = Screen();
  info->rcWork = Work();
  info->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

// ---------------------------------------------------------------------------
// version, sounds, shell

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info) return FALSE;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::strcpy(info->szCSDVersion, "Service Pack 3");
  return TRUE;
}
DWORD GetVersion() { return 0x0A280105; }  // 5.1, build 2600

BOOL MessageBeep(UINT type) {
  State& s = S();
  ++s.beeps;
  if (s.backend) s.backend->Beep(type);
  return TRUE;
}
BOOL Beep(DWORD, DWORD) { return MessageBeep(0); }
int PvBeepCount() { return S().beeps; }
BOOL PlaySoundA(LPCSTR, HMODULE, DWORD) { return TRUE; }

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int) {
  auto fail = [](int code) { return reinterpret_cast<HINSTANCE>(std::intptr_t(code)); };
  if (!file || !*file) return fail(SE_ERR_FNF);
  if (verb && Lower(verb) != "open") return fail(SE_ERR_NOASSOC);
  std::string target = file;
  std::string lower = Lower(target);
  bool address = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 || lower.rfind("mailto:", 0) == 0;
  std::string arg;
  if (address) {
    arg = Cp936ToUtf8(target);
  } else {
    std::error_code ec;
    std::string path = Cp936ToUtf8(target);
    if (!std::filesystem::exists(path, ec)) return fail(SE_ERR_FNF);
    arg = path;
  }
  State& s = S();
  if (!s.backend || !s.backend->ShellOpen(arg)) return fail(SE_ERR_NOASSOC);
  return fail(42);
}

// ---------------------------------------------------------------------------
// looked-up entry points: the user-interface entries the components ask for by name

namespace {
struct Module {
  std::string name;
  std::map<std::string, void*> entries;
};
std::vector<Module*>& Modules() {
  static auto* m = new std::vector<Module*>();  // lives as long as the process
  return *m;
}
Module* FindModule(const std::string& name) {
  std::string n = Lower(name);
  if (n.size() > 4 && n.substr(n.size() - 4) == ".dll") n.resize(n.size() - 4);
  for (Module* m : Modules())
    if (m->name == n) return m;
  return nullptr;
}
BOOL WINAPI_AnimateWindow(HWND h, DWORD, DWORD flags) {
  // the animation ends at once: show or hide as asked
  constexpr DWORD AW_HIDE = 0x10000, AW_ACTIVATE = 0x20000;
  ShowWindow(h, (flags & AW_HIDE) ? SW_HIDE : (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
  return TRUE;
}
void EnsureModules() {
  if (!Modules().empty()) return;
  auto* user = new Module{"user32", {}};
  user->entries["TrackMouseEvent"] = reinterpret_cast<void*>(&TrackMouseEvent);
  user->entries["AnimateWindow"] = reinterpret_cast<void*>(&WINAPI_AnimateWindow);
  user->entries["MonitorFromPoint"] = reinterpret_cast<void*>(&MonitorFromPoint);
  user->entries["MonitorFromWindow"] = reinterpret_cast<void*>(&MonitorFromWindow);
  user->entries["MonitorFromRect"] = reinterpret_cast<void*>(&MonitorFromRect);
  user->entries["GetMonitorInfoA"] = reinterpret_cast<void*>(&GetMonitorInfoA);
  user->entries["GetScrollBarInfo"] = reinterpret_cast<void*>(&GetScrollBarInfo);
  RegisterLayeredEntries(user->entries);
  Modules().push_back(user);
  Modules().push_back(new Module{"kernel32", {}});
  Modules().push_back(new Module{"gdi32", {}});
  Modules().push_back(new Module{"imm32", {}});
  Modules().push_back(new Module{"comctl32", {}});
  Modules().push_back(new Module{"shell32", {}});
  // the visual-style library (uxtheme) is absent on purpose: every painter takes its classic branch
}
}  // namespace

HMODULE LoadLibraryA(LPCSTR name) {
  if (!name) return nullptr;
  EnsureModules();
  return FindModule(name);
}
HMODULE GetModuleHandleA(LPCSTR name) {
  if (!name) return reinterpret_cast<HMODULE>(std::uintptr_t(0x400000));
  return LoadLibraryA(name);
}
void* GetProcAddress(HMODULE mod, LPCSTR name) {
  if (!mod || !name) return nullptr;
  EnsureModules();
  for (Module* m : Modules())
    if (m == mod) {
      auto it = m->entries.find(name);
      return it == m->entries.end() ? nullptr : it->second;
    }
  return nullptr;
}
BOOL FreeLibrary(HMODULE mod) { return mod != nullptr; }

// ---------------------------------------------------------------------------
// cursors: standard shapes are small handles carrying their IDC_* number

namespace {
std::map<std::string, HCURSOR>& NamedCursors() {
  static std::map<std::string, HCURSOR> m;
  return m;
}

// A cursor from the program's CURSOR resource `name`: the image nearest the
// system's cursor size. Null when there is none or its data is not a cursor file.
HCURSOR CursorFromResource(const std::string& name) {
  TResourceData res = FindResourceData(RT_CURSOR, name);
  if (!res) return nullptr;
  TIconFile file;
  try {
    file = DecodeIco(res.Data, res.Size);
  } catch (const Exception&) {
    return nullptr;
  }
  const TIconImage* best = nullptr;
  int want = GetSystemMetrics(SM_CXCURSOR);
  for (const TIconImage& im : file.Images)
    if (!best || std::abs(im.Image.Width - want) < std::abs(best->Image.Width - want)) best = &im;
  return best ? CreateIconFromImage(*best, true) : nullptr;
}
}  // namespace

HCURSOR LoadCursorA(HINSTANCE inst, LPCSTR name) {
  auto v = reinterpret_cast<std::uintptr_t>(name);
  if (v < 0x10000) {
    if (inst) return nullptr;  // a numbered resource of the program: none registered
    if ((v >= 32512 && v <= 32516) || (v >= 32640 && v <= 32651)) return reinterpret_cast<HCURSOR>(v << 4);
    return nullptr;
  }
  std::string key = Lower(name);
  auto it = NamedCursors().find(key);
  if (it != NamedCursors().end()) return it->second;
  // loaded once from the resources, then shared like the platform's resource cursors
  HCURSOR c = CursorFromResource(name);
  if (c) NamedCursors()[key] = c;
  return c;
}

void RegisterCursorResource(const char* name, HCURSOR cursor) {
  if (name) NamedCursors()[Lower(name)] = cursor;
}

int CursorShapeId(HCURSOR c) {
  auto v = reinterpret_cast<std::uintptr_t>(c) >> 4;
  if ((reinterpret_cast<std::uintptr_t>(c) & 0xF) == 0 && ((v >= 32512 && v <= 32516) || (v >= 32640 && v <= 32651)))
    return int(v);
  return 0;
}

// The picture of an icon or cursor as straight-alpha BGRA, as a desktop shows it.
static bool IconPixels(HICON c, std::vector<std::uint32_t>& pixels, int* width, int* height, POINT* hot) {
  ICONINFO ii;
  if (!c || !GetIconInfo(c, &ii)) return false;
  TRawImage mask = GetBitmapImage(ii.hbmMask);
  TRawImage colour;
  if (ii.hbmColor) colour = GetBitmapImage(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  // without a colour bitmap the mask holds the AND rows above the XOR rows
  int w = mask.Width, h = ii.hbmColor ? mask.Height : mask.Height / 2;
  if (w <= 0 || h <= 0 || (ii.hbmColor && (colour.Width != w || colour.Height < h))) return false;
  bool alphaVaries = false;
  if (ii.hbmColor) {
    std::uint32_t first = colour.Pixels.empty() ? 0 : colour.Pixels[0] >> 24;
    for (std::uint32_t p : colour.Pixels)
      if ((p >> 24) != first) {
        alphaVaries = true;
        break;
      }
  }
  pixels.assign(std::size_t(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool andBit = (mask.At(x, y) & 0xFFFFFFu) != 0;
      std::uint32_t rgb = ii.hbmColor ? colour.At(x, y) & 0xFFFFFFu : ((mask.At(x, y + h) & 0xFFFFFFu) ? 0xFFFFFFu : 0);
      std::uint32_t alpha = alphaVaries ? colour.At(x, y) >> 24 : 0xFFu;
      std::uint32_t& out = pixels[std::size_t(y) * w + x];
      if (!andBit) out = (alpha << 24) | rgb;
      else if (alphaVaries || rgb == 0) out = alphaVaries ? (alpha << 24) | rgb : 0;
      else out = 0xFF000000u;  // the screen inverted there: black, which the desktop can show
    }
  *width = w;
  *height = h;
  *hot = POINT{LONG(ii.xHotspot), LONG(ii.yHotspot)};
  return true;
}

bool PvCursorImage(HCURSOR c, std::vector<std::uint32_t>& pixels, int* width, int* height, POINT* hot) {
  return !CursorShapeId(c) && IconPixels(c, pixels, width, height, hot);
}

// Shows `c` on the backend: a standard shape by number, the program's own as an image.
static void ShowCursorOnBackend(IBackend* b, HCURSOR c) {
  if (!c) {
    b->SetCursorShape(0);
    return;
  }
  if (int id = CursorShapeId(c)) {
    b->SetCursorShape(id);
    return;
  }
  std::vector<std::uint32_t> px;
  int w = 0, h = 0;
  POINT hot;
  if (!PvCursorImage(c, px, &w, &h, &hot)) {
    b->SetCursorShape(32512);
    return;
  }
  b->SetCursorImage(BackendImage{px.data(), w, h, w}, hot.x, hot.y);
}

HCURSOR SetCursor(HCURSOR c) {
  State& s = S();
  HCURSOR old = s.cursorShape;
  s.cursorShape = c;
  if (s.backend && old != c) ShowCursorOnBackend(s.backend, c);
  return old;
}

HCURSOR CreateCursor(HINSTANCE, int xHot, int yHot, int width, int height, const void* andPlane, const void* xorPlane) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256 || !andPlane || !xorPlane) return nullptr;
  // each plane: one bit a pixel, rows padded to 16 bits, top row first
  int stride = (width + 15) / 16 * 2;
  const auto* a = static_cast<const BYTE*>(andPlane);
  const auto* x = static_cast<const BYTE*>(xorPlane);
  TRawImage colour, mask;
  colour.Width = mask.Width = width;
  colour.Height = mask.Height = height;
  colour.Pixels.assign(std::size_t(width) * height, 0);
  mask.Pixels.assign(std::size_t(width) * height, 0);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      std::size_t byte = std::size_t(row) * stride + std::size_t(col / 8);
      int shift = 7 - col % 8;
      mask.At(col, row) = (a[byte] >> shift) & 1 ? 0xFFFFFFFFu : 0xFF000000u;
      colour.At(col, row) = (x[byte] >> shift) & 1 ? 0xFFFFFFFFu : 0xFF000000u;
    }
  ICONINFO ii;
  ii.fIcon = FALSE;
  ii.xHotspot = DWORD(std::clamp(xHot, 0, width - 1));
  ii.yHotspot = DWORD(std::clamp(yHot, 0, height - 1));
  ii.hbmColor = CreateBitmapFromImage(colour);
  ii.hbmMask = CreateBitmapFromImage(mask);
  HCURSOR cursor = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  return cursor;
}
HCURSOR GetCursor() { return S().cursorShape; }
int ShowCursor(BOOL show) { return show ? ++S().cursorShowCount : --S().cursorShowCount; }

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  *p = S().cursor;
  return TRUE;
}
BOOL SetCursorPos(int x, int y) {
  State& s = S();
  if (s.cursorClipped) {
    x = std::clamp<int>(x, s.cursorClip.left, s.cursorClip.right - 1);
    y = std::clamp<int>(y, s.cursorClip.top, s.cursorClip.bottom - 1);
  }
  RECT scr = Screen();
  x = std::clamp<int>(x, scr.left, scr.right - 1);
  y = std::clamp<int>(y, scr.top, scr.bottom - 1);
  s.cursor = {x, y};
  if (s.backend) s.backend->WarpCursor(x, y);
  BackendInput in;
  in.kind = BackendInput::MouseMove;
  in.x = x;
  in.y = y;
  s.sink.Input(in);
  return TRUE;
}
BOOL ClipCursor(const RECT* r) {
  State& s = S();
  s.cursorClipped = r != nullptr;
  if (r) s.cursorClip = *r;
  return TRUE;
}
BOOL GetClipCursor(RECT* r) {
  if (!r) return FALSE;
  State& s = S();
  *r = s.cursorClipped ? s.cursorClip : Screen();
  return TRUE;
}

// ---------------------------------------------------------------------------
// keyboard and mouse state

SHORT GetKeyState(int vk) {
  BYTE k = S().keys[vk & 0xFF];
  return SHORT(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}
SHORT GetAsyncKeyState(int vk) { return (S().asyncKeys[vk & 0xFF] & 0x80) ? SHORT(0x8000) : 0; }
BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(state, S().keys, 256);
  return TRUE;
}
BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(S().keys, state, 256);
  return TRUE;
}

// Scan codes of the standard keyboard, by virtual key.
static UINT ScanOf(UINT vk) {
  static const std::pair<UINT, UINT> table[] = {
      {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
      {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
      {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
      {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B},
      {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {VK_LCONTROL, 0x1D}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20},
      {'F', 0x21}, {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {VK_OEM_1, 0x27},
      {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29}, {VK_SHIFT, 0x2A}, {VK_LSHIFT, 0x2A}, {VK_OEM_5, 0x2B},
      {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30}, {'N', 0x31}, {'M', 0x32},
      {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35}, {VK_RSHIFT, 0x36},
      {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_LMENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A},
      {VK_F1, 0x3B}, {VK_F2, 0x3C}, {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40},
      {VK_F7, 0x41}, {VK_F8, 0x42}, {VK_F9, 0x43}, {VK_F10, 0x44}, {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46},
      {VK_HOME, 0x47}, {VK_UP, 0x48}, {VK_PRIOR, 0x49}, {VK_SUBTRACT, 0x4A}, {VK_LEFT, 0x4B},
      {VK_CLEAR, 0x4C}, {VK_RIGHT, 0x4D}, {VK_ADD, 0x4E}, {VK_END, 0x4F}, {VK_DOWN, 0x50},
      {VK_NEXT, 0x51}, {VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_F11, 0x57}, {VK_F12, 0x58},
  };
  for (auto& e : table)
    if (e.first == vk) return e.second;
  return 0;
}

UINT MapVirtualKeyA(UINT code, UINT type) {
  switch (type) {
    case MAPVK_VK_TO_VSC: return ScanOf(code);
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (UINT vk = 1; vk < 256; ++vk)
        if (ScanOf(vk) == code && vk != VK_LCONTROL && vk != VK_LSHIFT && vk != VK_LMENU) return vk;
      return 0;
    case MAPVK_VK_TO_CHAR:
      if (code >= 'A' && code <= 'Z') return code;
      if (code >= '0' && code <= '9') return code;
      switch (code) {
        case VK_SPACE: return ' ';
        case VK_RETURN: return '\r';
        case VK_BACK: return '\b';
        case VK_TAB: return '\t';
        case VK_ESCAPE: return 27;
        case VK_OEM_1: return ';';
        case VK_OEM_PLUS: return '=';
        case VK_OEM_COMMA: return ',';
        case VK_OEM_MINUS: return '-';
        case VK_OEM_PERIOD: return '.';
        case VK_OEM_2: return '/';
        case VK_OEM_3: return '`';
        case VK_OEM_4: return '[';
        case VK_OEM_5: return '\\';
        case VK_OEM_6: return ']';
        case VK_OEM_7: return '\'';
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SUBTRACT: return '-';
        case VK_DIVIDE: return '/';
        case VK_DECIMAL: return '.';
      }
      return 0;
  }
  return 0;
}

SHORT VkKeyScanA(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return SHORT(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return SHORT(0x100 | c);
  if (c >= '0' && c <= '9') return SHORT(c);
  static const char shiftedDigits[] = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i)
    if (shiftedDigits[i] == ch) return SHORT(0x100 | ('0' + i));
  struct K { char plain, shifted; int vk; };
  static const K keys[] = {{';', ':', VK_OEM_1}, {'=', '+', VK_OEM_PLUS}, {',', '<', VK_OEM_COMMA},
                           {'-', '_', VK_OEM_MINUS}, {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2},
                           {'`', '~', VK_OEM_3}, {'[', '{', VK_OEM_4}, {'\\', '|', VK_OEM_5},
                           {']', '}', VK_OEM_6}, {'\'', '"', VK_OEM_7}};
  for (const K& k : keys) {
    if (k.plain == ch) return SHORT(k.vk);
    if (k.shifted == ch) return SHORT(0x100 | k.vk);
  }
  switch (c) {
    case ' ': return VK_SPACE;
    case '\r': return VK_RETURN;
    case '\b': return VK_BACK;
    case '\t': return VK_TAB;
    case 27: return VK_ESCAPE;
  }
  if (c >= 1 && c <= 26) return SHORT(0x200 | ('A' + c - 1));  // control characters: Ctrl + letter
  return -1;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
  State& s = S();
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = s.track.hwnd ? s.track.flags : 0;
    tme->hwndTrack = s.track.hwnd;
    tme->dwHoverTime = s.track.hoverTime;
    return TRUE;
  }
  if (!W(tme->hwndTrack)) return FALSE;
  if (tme->dwFlags & TME_CANCEL) {
    if (s.track.hwnd == tme->hwndTrack) {
      s.track.flags &= ~(tme->dwFlags & (TME_HOVER | TME_LEAVE));
      if (!(s.track.flags & TME_HOVER)) s.track.hoverArmed = false;
      if (!(s.track.flags & (TME_HOVER | TME_LEAVE))) s.track = MouseTrack();
    }
    return TRUE;
  }
  // the cursor must be over the window (client or non-client area as asked)
  // now; the window's hit test decides what is client area, as it does for
  // the mouse messages (a window may answer HTCLIENT over part of its frame)
  HWND under = WindowFromPoint(s.cursor);
  bool nc = (tme->dwFlags & TME_NONCLIENT) != 0;
  bool inClient = false;
  if (under == tme->hwndTrack)
    inClient = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(s.cursor.x, s.cursor.y)) == HTCLIENT;
  if (under != tme->hwndTrack || inClient == nc) {
    if (tme->dwFlags & TME_LEAVE) PostMsg(tme->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  if (s.track.hwnd != tme->hwndTrack) s.track = MouseTrack();
  s.track.hwnd = tme->hwndTrack;
  s.track.flags = (s.track.flags & (TME_HOVER | TME_LEAVE)) | (tme->dwFlags & (TME_HOVER | TME_LEAVE | TME_NONCLIENT));
  if (tme->dwFlags & TME_HOVER) {
    s.track.hoverTime = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
    s.track.hoverArmed = true;
    s.track.hoverStart = Now();
    s.track.hoverPt = s.cursor;
  }
  return TRUE;
}
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme) { return TrackMouseEvent(tme); }

UINT GetDoubleClickTime() { return S().dblClickTime; }
BOOL SetDoubleClickTime(UINT ms) {
  S().dblClickTime = ms ? ms : 500;
  return TRUE;
}
BOOL SwapMouseButton(BOOL swap) {
  BOOL old = S().swapButtons;
  S().swapButtons = swap != FALSE;
  return old;
}

// ---------------------------------------------------------------------------
// input method: one context; the result string is set while its message is delivered

namespace {
struct ImeState {
  std::string result;
  std::string composition;
  bool open = true;
  COMPOSITIONFORM form;
  LOGFONTA font;
};
ImeState& Ime() {
  static ImeState s;
  return s;
}
HIMC TheContext() { return reinterpret_cast<HIMC>(std::uintptr_t(0x1ACE0001)); }
}  // namespace

namespace pvwin {
void ImeSetResult(const std::string& cp936) { Ime().result = cp936; }
void ImeSetComposition(const std::string& cp936) { Ime().composition = cp936; }
}  // namespace pvwin

std::string ImeResultString() { return Ime().result; }

HIMC ImmGetContext(HWND h) { return W(h) ? TheContext() : nullptr; }
BOOL ImmReleaseContext(HWND, HIMC imc) { return imc == TheContext(); }

LONG ImmGetCompositionStringA(HIMC imc, DWORD index, void* buf, DWORD len) {
  if (imc != TheContext()) return -1;  // IMM_ERROR_GENERAL
  if (index == GCS_CURSORPOS) return LONG(Ime().composition.size());
  if (index != GCS_RESULTSTR && index != GCS_RESULTREADSTR && index != GCS_COMPSTR && index != GCS_COMPREADSTR)
    return 0;
  const std::string& r = (index == GCS_COMPSTR || index == GCS_COMPREADSTR) ? Ime().composition : Ime().result;
  if (!buf || len == 0) return LONG(r.size());
  DWORD n = std::min<DWORD>(len, DWORD(r.size()));
  std::memcpy(buf, r.data(), n);
  return LONG(n);
}

// The top-level window whose native window composes for the focus, or null.
static Wnd* ImeWindow() {
  State& s = S();
  Wnd* w = W(s.focus ? s.focus : s.active);
  return w ? TopLevelOf(w) : nullptr;
}

BOOL ImmSetCompositionWindow(HIMC imc, const COMPOSITIONFORM* form) {
  if (imc != TheContext() || !form) return FALSE;
  Ime().form = *form;
  State& s = S();
  if (s.backend && s.focus) {
    Wnd* w = W(s.focus);
    Wnd* top = TopLevelOf(w);
    POINT o = ClientOrigin(w);
    // the caret is as tall as the composition font when one was given
    int height = Ime().font.lfHeight ? std::abs(int(Ime().font.lfHeight)) : 16;
    RECT caret{o.x + form->ptCurrentPos.x, o.y + form->ptCurrentPos.y, o.x + form->ptCurrentPos.x + 1,
               o.y + form->ptCurrentPos.y + height};
    if (top) s.backend->SetImeCaret(reinterpret_cast<BackendWindowId>(top->h), caret);
  }
  return TRUE;
}
BOOL ImmGetCompositionWindow(HIMC imc, COMPOSITIONFORM* form) {
  if (imc != TheContext() || !form) return FALSE;
  *form = Ime().form;
  return TRUE;
}
BOOL ImmSetCompositionFontA(HIMC imc, const LOGFONTA* lf) {
  if (imc != TheContext() || !lf) return FALSE;
  Ime().font = *lf;
  State& s = S();
  if (Wnd* top = ImeWindow(); top && s.backend) {
    std::string face(lf->lfFaceName, strnlen(lf->lfFaceName, sizeof lf->lfFaceName));
    s.backend->SetImeFont(reinterpret_cast<BackendWindowId>(top->h), Cp936ToUtf8(face), std::abs(int(lf->lfHeight)));
  }
  return TRUE;
}

BOOL ImmGetOpenStatus(HIMC imc) { return imc == TheContext() && Ime().open; }
BOOL ImmSetOpenStatus(HIMC imc, BOOL open) {
  if (imc != TheContext()) return FALSE;
  Ime().open = open != FALSE;
  return TRUE;
}
BOOL ImmNotifyIME(HIMC imc, DWORD, DWORD, DWORD) { return imc == TheContext(); }

// ---------------------------------------------------------------------------
// file drops

namespace {
struct DropData {
  std::vector<std::string> files;  // CP936
  POINT client;
  DWORD magic = 0xD509D509;
};
}  // namespace

HANDLE pvwin::MakeDropHandle(const std::string& utf8Lines, POINT screen, HWND target) {
  auto* d = new DropData();
  std::size_t start = 0;
  while (start <= utf8Lines.size()) {
    std::size_t end = utf8Lines.find('\n', start);
    std::string line = utf8Lines.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) d->files.push_back(Utf8ToCp936(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  POINT p = screen;
  ScreenToClient(target, &p);
  d->client = p;
  return d;
}

static DropData* Drop(HDROP h) {
  auto* d = static_cast<DropData*>(h);
  return d && d->magic == 0xD509D509 ? d : nullptr;
}

void DragAcceptFiles(HWND h, BOOL accept) {
  if (Wnd* w = W(h)) {
    w->acceptFiles = accept != FALSE;
    if (accept) w->exStyle |= WS_EX_ACCEPTFILES;
    else w->exStyle &= ~WS_EX_ACCEPTFILES;
  }
}

UINT DragQueryFileA(HDROP h, UINT index, LPSTR buf, UINT size) {
  DropData* d = Drop(h);
  if (!d) return 0;
  if (index == 0xFFFFFFFF) return UINT(d->files.size());
  if (index >= d->files.size()) return 0;
  const std::string& f = d->files[index];
  if (!buf) return UINT(f.size());
  if (size == 0) return 0;
  std::size_t n = std::min<std::size_t>(f.size(), size - 1);
  std::memcpy(buf, f.data(), n);
  buf[n] = 0;
  return UINT(n);
}

BOOL DragQueryPoint(HDROP h, POINT* pt) {
  DropData* d = Drop(h);
  if (!d || !pt) return FALSE;
  *pt = d->client;
  return TRUE;
}

void DragFinish(HDROP h) {
  if (DropData* d = Drop(h)) {
    d->magic = 0;
    delete d;
  }
}

// ---------------------------------------------------------------------------
// global memory: a block with its size; the handle is the block

namespace {
struct GlobalBlock {
  DWORD magic = 0x61B0B10C;
  int locks = 0;
  std::vector<unsigned char> data;
};
GlobalBlock* Block(HGLOBAL h) {
  auto* b = static_cast<GlobalBlock*>(h);
  return b && b->magic == 0x61B0B10C ? b : nullptr;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  auto* b = new GlobalBlock();
  b->data.assign(bytes, 0);
  return b;
}
void* GlobalLock(HGLOBAL h) {
  GlobalBlock* b = Block(h);
  if (!b) return nullptr;
  ++b->locks;
  static unsigned char empty[1];
  return b->data.empty() ? empty : b->data.data();
}
BOOL GlobalUnlock(HGLOBAL h) {
  GlobalBlock* b = Block(h);
  if (!b || b->locks == 0) return FALSE;
  return --b->locks > 0;
}
std::size_t GlobalSize(HGLOBAL h) {
  GlobalBlock* b = Block(h);
  return b ? b->data.size() : 0;
}
HGLOBAL GlobalFree(HGLOBAL h) {
  GlobalBlock* b = Block(h);
  if (!b) return h;
  b->magic = 0;
  delete b;
  return nullptr;
}
HGLOBAL GlobalReAlloc(HGLOBAL h, std::size_t bytes, UINT) {
  GlobalBlock* b = Block(h);
  if (!b) return nullptr;
  b->data.resize(bytes, 0);
  return h;
}

// ---------------------------------------------------------------------------
// clipboard: formats held here as bytes; text is bridged to the desktop as UTF-8

namespace {
struct Clip {
  bool open = false;
  HWND openOwner = nullptr;
  HWND owner = nullptr;
  bool emptied = false;
  std::map<UINT, HANDLE> data;  // global blocks (or bitmaps for CF_BITMAP)
  std::vector<UINT> order;
  std::vector<std::string> formatNames;  // registered formats from 0xC000
  std::vector<HWND> viewers;
  std::vector<HWND> listeners;  // AddClipboardFormatListener
  DWORD sequence = 1;
  // Formats the desktop offers whose data is read only when asked for (their
  // entries in `data` stay null until then): a large text costs nothing
  // until it is pasted, and a transfer that fails can be tried again.
  std::map<UINT, std::string> desktopMime;
  std::string desktopError;  // why the last transfer from the desktop failed
};
Clip& C() {
  static auto* c = new Clip();  // lives as long as the process
  return *c;
}

std::string BlockBytes(HANDLE h) {
  GlobalBlock* b = Block(h);
  if (!b) return {};
  return std::string(reinterpret_cast<const char*>(b->data.data()), b->data.size());
}
HANDLE BytesBlock(const std::string& bytes, bool terminate) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + (terminate ? 2 : 0));
  std::memcpy(Block(g)->data.data(), bytes.data(), bytes.size());
  return g;
}
std::string CString(const std::string& bytes) {
  std::size_t n = bytes.find('\0');
  return n == std::string::npos ? bytes : bytes.substr(0, n);
}
std::u16string WString(const std::string& bytes) {
  std::u16string w;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t c = char16_t(BYTE(bytes[i]) | (BYTE(bytes[i + 1]) << 8));
    if (!c) break;
    w.push_back(c);
  }
  return w;
}
// Registered formats without a desktop counterpart travel under this prefix, so
// another copy of the program can take them back.
const char kPrivateMime[] = "application/x-penvarro-";
const char kTextMime[] = "text/plain;charset=utf-8";

std::string MimeOf(UINT format) {
  if (format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT) return kTextMime;
  if (format == CF_BITMAP || format == CF_DIB) return "image/png";
  if (format >= 0xC000 && format - 0xC000 < C().formatNames.size()) {
    const std::string& name = C().formatNames[format - 0xC000];
    std::string n = Lower(name);
    if (n == "rich text format") return "text/rtf";
    if (n == "html format") return "text/html";
    return kPrivateMime + Cp936ToUtf8(name);
  }
  return {};
}

UINT RegisteredFormat(const std::string& name) {
  Clip& c = C();
  std::string key = Lower(name);
  for (std::size_t i = 0; i < c.formatNames.size(); ++i)
    if (Lower(c.formatNames[i]) == key) return UINT(0xC000 + i);
  c.formatNames.push_back(name);
  return UINT(0xC000 + c.formatNames.size() - 1);
}

// The picture of the clipboard as PNG bytes: CF_BITMAP, else CF_DIB through GetClipboardData.
std::string PngOfClipboard();

// Takes the list of formats the desktop's clipboard offers that we know:
// text (in the code page), RTF, HTML, a picture and our own private formats.
// Their data comes when it is asked for (DesktopData).
void ImportDesktop(IBackend* backend) {
  Clip& c = C();
  std::vector<std::string> formats = backend->ClipboardFormats();
  c.desktopError = backend->ClipboardError();
  // The holder did not say what it offers: text is assumed, so that a paste
  // tries it and reports what went wrong.
  if (formats.empty() && !c.desktopError.empty()) formats.push_back(kTextMime);
  for (const std::string& mime : formats) {
    UINT format = 0;
    if (mime.rfind("text/plain", 0) == 0) format = CF_TEXT;
    else if (mime == "text/rtf") format = RegisteredFormat("Rich Text Format");
    else if (mime == "text/html") format = RegisteredFormat("HTML Format");
    else if (mime.rfind(kPrivateMime, 0) == 0) format = RegisteredFormat(Utf8ToCp936(mime.substr(sizeof kPrivateMime - 1)));
    else if (mime == "image/png") format = CF_BITMAP;
    if (!format || c.data.count(format)) continue;
    c.data[format] = nullptr;
    c.desktopMime[format] = format == CF_TEXT ? std::string(kTextMime) : mime;
    c.order.push_back(format);
  }
}
// Reads the data of a format the desktop offers; null when the desktop no
// longer has it or the transfer failed (the reason is kept, and the format
// stays offered, so that another try may succeed).
HANDLE DesktopData(UINT format) {
  Clip& c = C();
  auto m = c.desktopMime.find(format);
  State& s = S();
  if (m == c.desktopMime.end() || !s.backend) return nullptr;
  std::string bytes;
  c.desktopError.clear();
  if (!s.backend->GetClipboard(m->second, bytes)) {
    c.desktopError = s.backend->ClipboardError();
    return nullptr;
  }
  HANDLE h = nullptr;
  if (format == CF_TEXT) {
    h = BytesBlock(Utf8ToCp936(bytes), true);
  } else if (format == CF_BITMAP) {
    // a picture another program made: a broken one is left out, never fatal
    try {
      TRawImage img = DecodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      h = reinterpret_cast<HANDLE>(CreateBitmapFromImage(img));
    } catch (const std::exception&) {
      h = nullptr;
    }
    if (!h) {  // a broken picture is no longer offered
      c.desktopMime.erase(m);
      c.data.erase(format);
      c.order.erase(std::remove(c.order.begin(), c.order.end(), format), c.order.end());
      return nullptr;
    }
  } else {
    h = BytesBlock(bytes, true);
  }
  c.desktopMime.erase(m);
  c.data[format] = h;
  return h;
}
// The clipboard's contents changed: viewers are told at once, format listeners
// get WM_CLIPBOARDUPDATE in their queues.
void NotifyViewers() {
  std::vector<HWND> v = C().viewers;
  for (HWND h : v)
    if (W(h)) SendMessageA(h, WM_DRAWCLIPBOARD, 0, 0);
  auto& l = C().listeners;
  l.erase(std::remove_if(l.begin(), l.end(), [](HWND h) { return !W(h); }), l.end());
  for (HWND h : l) PostMessageA(h, WM_CLIPBOARDUPDATE, 0, 0);
}
void FreeClipData(Clip& c) {
  for (auto& [f, h] : c.data) {
    if (!h) continue;  // offered by the desktop, never read
    if (f != CF_BITMAP) GlobalFree(h);
    else DeleteObject(reinterpret_cast<HGDIOBJ>(h));
  }
  c.data.clear();
  c.order.clear();
  c.desktopMime.clear();
}
// Another program changed the desktop's clipboard and the program has not yet
// taken the news from its queue: it is taken now, so that what is asked of
// the clipboard is what the desktop holds.
void SyncFromDesktop() {
  State& s = S();
  if (!s.backend || (C().open && C().emptied)) return;  // being written here: ours wins
  s.backend->Poll(s.sink);
  auto changed = [](const PendingInput& p) { return p.in.kind == BackendInput::ClipboardChanged; };
  if (std::none_of(s.input.begin(), s.input.end(), changed)) return;
  s.input.erase(std::remove_if(s.input.begin(), s.input.end(), changed), s.input.end());
  ClipboardChangedOnDesktop();
}
}  // namespace

// Another program changed the desktop's clipboard: what we held is gone, the
// formats it offers take the place, and viewers and listeners are told.
void pvwin::ClipboardChangedOnDesktop() {
  State& s = S();
  Clip& c = C();
  if (c.open && c.emptied) return;  // the clipboard is being written here: ours wins
  if (W(c.owner)) SendMessageA(c.owner, WM_DESTROYCLIPBOARD, 0, 0);
  FreeClipData(c);
  c.owner = nullptr;
  if (s.backend) ImportDesktop(s.backend);
  ++c.sequence;
  NotifyViewers();
}

std::string PvClipboardError() { return C().desktopError; }

BOOL AddClipboardFormatListener(HWND h) {
  if (!W(h)) return FALSE;
  auto& l = C().listeners;
  if (std::find(l.begin(), l.end(), h) == l.end()) l.push_back(h);
  return TRUE;
}

BOOL RemoveClipboardFormatListener(HWND h) {
  auto& l = C().listeners;
  auto it = std::find(l.begin(), l.end(), h);
  if (it == l.end()) return FALSE;
  l.erase(it);
  return TRUE;
}

BOOL OpenClipboard(HWND owner) {
  Clip& c = C();
  if (c.open) return FALSE;
  c.open = true;
  c.openOwner = owner;
  c.emptied = false;
  return TRUE;
}

BOOL CloseClipboard() {
  Clip& c = C();
  if (!c.open) return FALSE;
  c.open = false;
  if (c.emptied) {
    ++c.sequence;
    State& s = S();
    if (s.backend) {
      // the desktop gets text, RTF, HTML, the picture as PNG and private formats
      bool textDone = false, pictureDone = false;
      std::vector<UINT> order = c.order;
      for (UINT f : order) {
        std::string mime = MimeOf(f);
        if (mime.empty()) continue;
        std::string out;
        if (f == CF_BITMAP || f == CF_DIB) {
          if (pictureDone) continue;
          pictureDone = true;
          out = PngOfClipboard();
          if (out.empty()) continue;
          s.backend->SetClipboard(mime, out);
          continue;
        }
        std::string bytes = BlockBytes(c.data[f]);
        if (f == CF_TEXT || f == CF_OEMTEXT) out = Cp936ToUtf8(CString(bytes));
        else if (f == CF_UNICODETEXT) out = WideToUtf8(WString(bytes));
        else if (mime.rfind(kPrivateMime, 0) == 0) out = bytes;  // binary formats keep every byte
        else out = CString(bytes);
        if (f == CF_TEXT || f == CF_OEMTEXT || f == CF_UNICODETEXT) {
          if (textDone) continue;
          textDone = true;
        }
        s.backend->SetClipboard(mime, out);
      }
    }
    NotifyViewers();
  }
  c.emptied = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  Clip& c = C();
  if (!c.open) return FALSE;
  if (W(c.owner) && c.owner != c.openOwner) SendMessageA(c.owner, WM_DESTROYCLIPBOARD, 0, 0);
  FreeClipData(c);
  c.owner = c.openOwner;
  c.emptied = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  Clip& c = C();
  if (!c.open || !c.emptied || format == 0) return nullptr;
  auto it = c.data.find(format);
  if (it != c.data.end()) {
    if (!it->second) {
    } else if (format != CF_BITMAP) {
      GlobalFree(it->second);
    } else {
      DeleteObject(reinterpret_cast<HGDIOBJ>(it->second));
    }
  } else {
    c.order.push_back(format);
  }
  c.data[format] = data;
  return data;
}

namespace {
// The data of a format, made from a related format when only that one is held.
// The data held for a format, read from the desktop when it only offers it.
HANDLE Held(UINT format) {
  Clip& c = C();
  auto it = c.data.find(format);
  if (it == c.data.end()) return nullptr;
  return it->second ? it->second : DesktopData(format);
}
HANDLE ClipData(UINT format) {
  Clip& c = C();
  auto it = c.data.find(format);
  if (it != c.data.end()) return it->second ? it->second : DesktopData(format);
  // synthesised text formats
  if (format == CF_UNICODETEXT || format == CF_OEMTEXT) {
    HANDLE t = Held(CF_TEXT);
    if (!t) return nullptr;
    std::string bytes = CString(BlockBytes(t));
    HANDLE h;
    if (format == CF_OEMTEXT) {
      h = BytesBlock(bytes, true);
    } else {
      std::u16string w = AnsiToWide(bytes);
      h = BytesBlock(std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2), true);
    }
    c.data[format] = h;
    c.order.push_back(format);
    return h;
  }
  if (format == CF_DIB) {
    // a device-independent copy of the bitmap: header and bottom-up 32-bit rows
    HBITMAP bmp = reinterpret_cast<HBITMAP>(Held(CF_BITMAP));
    if (!bmp) return nullptr;
    BITMAP bm;
    if (!GetObjectA(bmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::size_t rows = std::size_t(bm.bmWidth) * 4 * std::size_t(bm.bmHeight);
    bi.bmiHeader.biSizeImage = DWORD(rows);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + rows);
    auto* p = static_cast<unsigned char*>(GlobalLock(g));
    std::memcpy(p, &bi.bmiHeader, sizeof(BITMAPINFOHEADER));
    HDC dc = CreateCompatibleDC(nullptr);
    int got = GetDIBits(dc, bmp, 0, UINT(bm.bmHeight), p + sizeof(BITMAPINFOHEADER), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    GlobalUnlock(g);
    if (got <= 0) {
      GlobalFree(g);
      return nullptr;
    }
    c.data[format] = g;
    c.order.push_back(format);
    return g;
  }
  if (format == CF_BITMAP) {
    HANDLE dib = Held(CF_DIB);
    if (!dib) return nullptr;
    std::size_t size = GlobalSize(dib);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(dib));
    HBITMAP bmp = nullptr;
    BITMAPINFOHEADER h;
    if (size >= sizeof h) {
      std::memcpy(&h, p, sizeof h);
      // the header comes from another program: every size is checked against the block
      std::int64_t w = h.biWidth, ht = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
      std::int64_t stride = ((w * h.biBitCount + 31) / 32) * 4;
      bool ok = h.biSize >= sizeof h && h.biSize <= size && w > 0 && ht > 0 && w <= 32768 && ht <= 32768 &&
                (h.biBitCount == 24 || h.biBitCount == 32) && h.biCompression == BI_RGB &&
                std::int64_t(h.biSize) + stride * ht <= std::int64_t(size);
      if (ok) {
        BITMAPINFO bi;
        bi.bmiHeader = h;
        bi.bmiHeader.biSize = sizeof h;
        HDC dc = CreateCompatibleDC(nullptr);
        HDC screen = GetDC(nullptr);
        bmp = CreateCompatibleBitmap(screen, int(w), int(ht));
        ReleaseDC(nullptr, screen);
        if (bmp) SetDIBits(dc, bmp, 0, UINT(ht), p + h.biSize, &bi, DIB_RGB_COLORS);
        DeleteDC(dc);
      }
    }
    GlobalUnlock(dib);
    if (!bmp) return nullptr;
    c.data[format] = bmp;
    c.order.push_back(format);
    return bmp;
  }
  if (format == CF_TEXT) {
    HANDLE u = Held(CF_UNICODETEXT);
    if (!u) return nullptr;
    HANDLE h = BytesBlock(WideToAnsi(WString(BlockBytes(u))), true);
    c.data[format] = h;
    c.order.push_back(format);
    return h;
  }
  return nullptr;
}
}  // namespace

HANDLE GetClipboardData(UINT format) {
  if (!C().open) return nullptr;
  SyncFromDesktop();
  return ClipData(format);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Clip& c = C();
  SyncFromDesktop();
  if (c.data.count(format)) return TRUE;
  bool text = c.data.count(CF_TEXT) || c.data.count(CF_UNICODETEXT);
  if ((format == CF_DIB && c.data.count(CF_BITMAP)) || (format == CF_BITMAP && c.data.count(CF_DIB))) return TRUE;
  return (format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT) && text;
}

UINT EnumClipboardFormats(UINT format) {
  Clip& c = C();
  if (!c.open) return 0;
  if (format == 0) return c.order.empty() ? 0 : c.order.front();
  for (std::size_t i = 0; i < c.order.size(); ++i)
    if (c.order[i] == format) return i + 1 < c.order.size() ? c.order[i + 1] : 0;
  return 0;
}

int CountClipboardFormats() { return int(C().order.size()); }

namespace {
std::string PngOfClipboard() {
  HANDLE h = ClipData(CF_BITMAP);  // made from a DIB when needed
  if (!h) return {};
  TRawImage img = GetBitmapImage(reinterpret_cast<HBITMAP>(h));
  if (img.Width <= 0 || img.Height <= 0) return {};
  TBytes png = EncodePng(img);
  return std::string(reinterpret_cast<const char*>(png.data()), png.size());
}
}  // namespace

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (!name || !*name) return 0;
  return RegisteredFormat(name);
}

int GetClipboardFormatNameA(UINT format, LPSTR buf, int max) {
  Clip& c = C();
  if (format < 0xC000 || format - 0xC000 >= c.formatNames.size() || !buf || max <= 0) return 0;
  const std::string& n = c.formatNames[format - 0xC000];
  int len = std::min<int>(int(n.size()), max - 1);
  std::memcpy(buf, n.data(), std::size_t(len));
  buf[len] = 0;
  return len;
}

HWND GetClipboardOwner() { return W(C().owner) ? C().owner : nullptr; }
HWND GetOpenClipboardWindow() { return C().open ? C().openOwner : nullptr; }
HWND SetClipboardViewer(HWND viewer) {
  Clip& c = C();
  if (!W(viewer)) return nullptr;
  HWND next = c.viewers.empty() ? nullptr : c.viewers.front();
  c.viewers.insert(c.viewers.begin(), viewer);
  SendMessageA(viewer, WM_DRAWCLIPBOARD, 0, 0);
  return next;
}
BOOL ChangeClipboardChain(HWND remove, HWND) {
  auto& v = C().viewers;
  auto it = std::find(v.begin(), v.end(), remove);
  if (it == v.end()) return FALSE;
  v.erase(it);
  return TRUE;
}
DWORD GetClipboardSequenceNumber() { return C().sequence; }

// ---------------------------------------------------------------------------
// notification area

namespace {
// The icon's picture; no picture (the backend shows a plain one) when there is no icon.
BackendImage IconImage(HICON icon, std::vector<std::uint32_t>& store) {
  BackendImage img;
  int w = 0, h = 0;
  POINT hot;
  if (!IconPixels(icon, store, &w, &h, &hot)) return img;
  img.pixels = store.data();
  img.width = img.stride = w;
  img.height = h;
  return img;
}
}  // namespace

namespace {
struct TrayIcon {
  HWND hwnd = nullptr;
  UINT callback = 0;
  std::string tip;  // UTF-8
};
std::map<unsigned, TrayIcon>& TrayIcons() {
  static auto* m = new std::map<unsigned, TrayIcon>();
  return *m;
}
}  // namespace

bool pvwin::TrayCallback(unsigned id, HWND* h, UINT* msg) {
  auto it = TrayIcons().find(id);
  if (it == TrayIcons().end() || !it->second.callback) return false;
  *h = it->second.hwnd;
  *msg = it->second.callback;
  return true;
}

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* d) {
  State& s = S();
  if (!d || !s.backend) return FALSE;
  BOOL ok = FALSE;
  // only what the flags name changes: a modified icon keeps its picture and tip otherwise
  std::vector<std::uint32_t> store;
  BackendImage img = (d->uFlags & NIF_ICON) ? IconImage(d->hIcon, store) : BackendImage();
  auto known = TrayIcons().find(d->uID);
  std::string tip = (d->uFlags & NIF_TIP) || message == NIM_ADD || known == TrayIcons().end()
                        ? Cp936ToUtf8(std::string(d->szTip, strnlen(d->szTip, sizeof d->szTip)))
                        : known->second.tip;
  switch (message) {
    case NIM_ADD: ok = s.backend->TrayAdd(d->uID, tip, img); break;
    case NIM_MODIFY: ok = s.backend->TrayModify(d->uID, tip, img); break;
    case NIM_DELETE:
      ok = s.backend->TrayRemove(d->uID);
      TrayIcons().erase(d->uID);
      return ok;
    default: return FALSE;
  }
  if (ok) {
    TrayIcon& t = TrayIcons()[d->uID];
    t.hwnd = d->hWnd;
    t.tip = tip;
    if ((d->uFlags & NIF_MESSAGE) || message == NIM_ADD) t.callback = (d->uFlags & NIF_MESSAGE) ? d->uCallbackMessage : t.callback;
  }
  return ok;
}

// ---------------------------------------------------------------------------
// set-up and test support

void PvResetWindowManager() {
  State& s = S();
  if (s.desktop) {
    std::vector<HWND> tops;
    for (Wnd* c = s.desktop->firstChild; c; c = c->next) tops.push_back(c->h);
    for (HWND t : tops) DestroyWindow(t);
  }
  for (auto& chain : s.hooks) {
    for (Hook* hk : chain) delete hk;
    chain.clear();
  }
  for (MSG& m : s.cooked)
    if (m.message == kImeResultMarker || m.message == kImeCompMarker) delete reinterpret_cast<std::string*>(m.lParam);
  s.imeComposing = false;
  s.posted.clear();
  s.cooked.clear();
  s.input.clear();
  s.quitPosted = false;
  s.timers.clear();
  s.focus = s.active = s.capture = s.mouseWindow = nullptr;
  s.appActive = false;
  std::memset(s.keys, 0, sizeof s.keys);
  std::memset(s.asyncKeys, 0, sizeof s.asyncKeys);
  s.lastClick.valid = false;
  s.track = MouseTrack();
  s.dblClickTime = 500;
  s.swapButtons = false;
  s.cursorClipped = false;
  s.lastKeyText.clear();
  s.beeps = 0;
  Clip& c = C();
  c.open = false;
  FreeClipData(c);
  c.owner = nullptr;
  c.desktopError.clear();
  c.viewers.clear();
  c.listeners.clear();
  Ime().result.clear();
  Ime().composition.clear();
  ResetCaret();
  if (s.desktop) s.desktop->rect = s.desktop->client = Screen();
}

void PvSysColorsChanged() { SendNotifyMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0); }

int PvProcessMessages() {
  MSG msg;
  int n = 0;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (++n > 100000) throw EInvalidOperation("Message processing does not settle (a window keeps posting or painting)");
  }
  return n;
}
