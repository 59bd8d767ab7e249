// The window manager's public interface: window classes, windows, messages and the
// queue, hooks, timers, geometry, focus, activation, capture and keyboard state.
// Window handles are generation-counted: a destroyed window's handle never names
// another window, so a stale handle is simply invalid.
#pragma once
#include <cstdint>
#include <vector>
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"
#include "platform/win/messages.h"
#include "platform/gdi/gdi.h"

struct HWND__;
using HWND = HWND__*;
struct HMENU__;
using HMENU = HMENU__*;
struct HHOOK__;
using HHOOK = HHOOK__*;
using HINSTANCE = void*;
using HMODULE = void*;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using ATOM = WORD;
using SHORT = std::int16_t;
using LPCSTR = const char*;
using LPSTR = char*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int code, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

constexpr LONG_PTR MakeLParam(int lo, int hi) { return LONG_PTR(LONG(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16))); }
constexpr int GET_X_LPARAM(LPARAM l) { return SHORT(WORD(l & 0xFFFF)); }
constexpr int GET_Y_LPARAM(LPARAM l) { return SHORT(WORD((l >> 16) & 0xFFFF)); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD(MAKELONG(WORD(lo), WORD(hi)))); }
#define MAKELPARAM(lo, hi) MakeLParam(int(lo), int(hi))
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return SHORT(HIWORD(w)); }

inline HWND HwndFromValue(std::intptr_t v) { return reinterpret_cast<HWND>(v); }
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = HwndFromValue(1);
inline const HWND HWND_TOPMOST = HwndFromValue(-1);
inline const HWND HWND_NOTOPMOST = HwndFromValue(-2);
inline const HWND HWND_MESSAGE = HwndFromValue(-3);
inline const HWND HWND_BROADCAST = HwndFromValue(0xFFFF);
constexpr int CW_USEDEFAULT = int(0x80000000);

// ---- styles ----
constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_TILED = WS_OVERLAPPED,
                WS_ICONIC = WS_MINIMIZE, WS_SIZEBOX = WS_THICKFRAME,
                WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU, WS_CHILDWINDOW = WS_CHILD;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x1, WS_EX_NOPARENTNOTIFY = 0x4, WS_EX_TOPMOST = 0x8,
                WS_EX_ACCEPTFILES = 0x10, WS_EX_TRANSPARENT = 0x20, WS_EX_MDICHILD = 0x40,
                WS_EX_TOOLWINDOW = 0x80, WS_EX_WINDOWEDGE = 0x100, WS_EX_CLIENTEDGE = 0x200,
                WS_EX_CONTEXTHELP = 0x400, WS_EX_RIGHT = 0x1000, WS_EX_RTLREADING = 0x2000,
                WS_EX_LEFTSCROLLBAR = 0x4000, WS_EX_CONTROLPARENT = 0x10000, WS_EX_STATICEDGE = 0x20000,
                WS_EX_APPWINDOW = 0x40000, WS_EX_LAYERED = 0x80000, WS_EX_NOINHERITLAYOUT = 0x100000,
                WS_EX_LAYOUTRTL = 0x400000, WS_EX_COMPOSITED = 0x2000000, WS_EX_NOACTIVATE = 0x8000000,
                WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE,
                WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_OWNDC = 0x20, CS_CLASSDC = 0x40,
               CS_PARENTDC = 0x80, CS_NOCLOSE = 0x200, CS_SAVEBITS = 0x800, CS_BYTEALIGNCLIENT = 0x1000,
               CS_BYTEALIGNWINDOW = 0x2000, CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x20000;

// ---- window data ----
constexpr int GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_STYLE = -16,
              GWL_EXSTYLE = -20, GWL_USERDATA = -21, GWL_ID = -12;
constexpr int GWLP_WNDPROC = GWL_WNDPROC, GWLP_HINSTANCE = GWL_HINSTANCE, GWLP_HWNDPARENT = GWL_HWNDPARENT,
              GWLP_USERDATA = GWL_USERDATA, GWLP_ID = GWL_ID;
constexpr int GCL_MENUNAME = -8, GCL_HBRBACKGROUND = -10, GCL_HCURSOR = -12, GCL_HICON = -14,
              GCL_HMODULE = -16, GCL_CBWNDEXTRA = -18, GCL_CBCLSEXTRA = -20, GCL_WNDPROC = -24,
              GCL_STYLE = -26, GCW_ATOM = -32, GCL_HICONSM = -34;

// ---- structures ----
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct WNDCLASSEXA {
  UINT cbSize = sizeof(WNDCLASSEXA);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};
struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
using WNDCLASSEX = WNDCLASSEXA;
using WNDCLASS = WNDCLASSA;

struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};
using CREATESTRUCT = CREATESTRUCTA;

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct STYLESTRUCT {
  DWORD styleOld = 0, styleNew = 0;
};

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition, ptMaxPosition;
  RECT rcNormalPosition;
};

// Hook structures.
struct CWPSTRUCT {
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
struct CWPRETSTRUCT {
  LRESULT lResult;
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};
struct MOUSEHOOKSTRUCTEX : MOUSEHOOKSTRUCT {
  DWORD mouseData = 0;
};
struct CBT_CREATEWNDA {
  CREATESTRUCTA* lpcs;
  HWND hwndInsertAfter;
};
struct CBTACTIVATESTRUCT {
  BOOL fMouse;
  HWND hWndActive;
};

// ---- flags ----
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_DRAWFRAME = SWP_FRAMECHANGED,
               SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100,
               SWP_NOOWNERZORDER = 0x0200, SWP_NOREPOSITION = SWP_NOOWNERZORDER, SWP_NOSENDCHANGING = 0x0400,
               SWP_DEFERERASE = 0x2000, SWP_ASYNCWINDOWPOS = 0x4000, SWP_NOCLIENTSIZE = 0x0800,
               SWP_NOCLIENTMOVE = 0x1000, SWP_STATECHANGED = 0x8000;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10, SW_FORCEMINIMIZE = 11, SW_MAX = 11;
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4,
               GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
constexpr UINT CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2, CWP_SKIPTRANSPARENT = 4;
constexpr UINT PM_NOREMOVE = 0, PM_REMOVE = 1, PM_NOYIELD = 2;
constexpr UINT QS_KEY = 0x1, QS_MOUSEMOVE = 0x2, QS_MOUSEBUTTON = 0x4, QS_POSTMESSAGE = 0x8, QS_TIMER = 0x10,
               QS_PAINT = 0x20, QS_SENDMESSAGE = 0x40, QS_HOTKEY = 0x80, QS_ALLPOSTMESSAGE = 0x100,
               QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON, QS_INPUT = QS_MOUSE | QS_KEY,
               QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY,
               QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;
constexpr DWORD WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258, WAIT_FAILED = 0xFFFFFFFF, INFINITE = 0xFFFFFFFF;
constexpr DWORD MWMO_WAITALL = 1, MWMO_ALERTABLE = 2, MWMO_INPUTAVAILABLE = 4;
constexpr UINT SMTO_NORMAL = 0, SMTO_BLOCK = 1, SMTO_ABORTIFHUNG = 2;

// hooks
constexpr int WH_MSGFILTER = -1, WH_JOURNALRECORD = 0, WH_JOURNALPLAYBACK = 1, WH_KEYBOARD = 2,
              WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_CBT = 5, WH_SYSMSGFILTER = 6, WH_MOUSE = 7,
              WH_DEBUG = 9, WH_SHELL = 10, WH_FOREGROUNDIDLE = 11, WH_CALLWNDPROCRET = 12;
constexpr int HC_ACTION = 0, HC_GETNEXT = 1, HC_SKIP = 2, HC_NOREMOVE = 3, HC_NOREM = 3;
constexpr int HCBT_MOVESIZE = 0, HCBT_MINMAX = 1, HCBT_QS = 2, HCBT_CREATEWND = 3, HCBT_DESTROYWND = 4,
              HCBT_ACTIVATE = 5, HCBT_CLICKSKIPPED = 6, HCBT_KEYSKIPPED = 7, HCBT_SYSCOMMAND = 8,
              HCBT_SETFOCUS = 9;

// keyboard
constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
              VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
              VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_KANA = 0x15, VK_ESCAPE = 0x1B,
              VK_CONVERT = 0x1C, VK_NONCONVERT = 0x1D, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
              VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
              VK_DOWN = 0x28, VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C,
              VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
              VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63,
              VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67,
              VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
              VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70,
              VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76,
              VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
              VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
              VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB,
              VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
              VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
              VK_PROCESSKEY = 0xE5;
constexpr UINT MAPVK_VK_TO_VSC = 0, MAPVK_VSC_TO_VK = 1, MAPVK_VK_TO_CHAR = 2, MAPVK_VSC_TO_VK_EX = 3;
constexpr LPARAM KF_EXTENDED = 0x0100, KF_ALTDOWN = 0x2000, KF_REPEAT = 0x4000, KF_UP = 0x8000;

// TrackMouseEvent
constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_QUERY = 0x40000000,
                TME_CANCEL = 0x80000000, HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

// ---- window classes ----
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
ATOM RegisterClassA(const WNDCLASSA* wc);
BOOL UnregisterClassA(LPCSTR name, HINSTANCE inst);
BOOL GetClassInfoExA(HINSTANCE inst, LPCSTR name, WNDCLASSEXA* wc);
BOOL GetClassInfoA(HINSTANCE inst, LPCSTR name, WNDCLASSA* wc);
int GetClassNameA(HWND hwnd, LPSTR buf, int max);
AnsiString GetClassNameStr(HWND hwnd);
ULONG_PTR GetClassLongPtrA(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value);
// The unsuffixed names are overloads, not macros: RegisterClass(TClass) of the
// class registry shares the name and must stay callable beside these.
inline ATOM RegisterClassEx(const WNDCLASSEXA* wc) { return RegisterClassExA(wc); }
inline ATOM RegisterClass(const WNDCLASSA* wc) { return RegisterClassA(wc); }
inline BOOL UnregisterClass(LPCSTR name, HINSTANCE inst) { return UnregisterClassA(name, inst); }
inline BOOL GetClassInfoEx(HINSTANCE inst, LPCSTR name, WNDCLASSEXA* wc) { return GetClassInfoExA(inst, name, wc); }
inline BOOL GetClassInfo(HINSTANCE inst, LPCSTR name, WNDCLASSA* wc) { return GetClassInfoA(inst, name, wc); }
inline int GetClassName(HWND hwnd, LPSTR buf, int max) { return GetClassNameA(hwnd, buf, max); }
inline ULONG_PTR GetClassLong(HWND hwnd, int index) { return GetClassLongPtrA(hwnd, index); }
inline ULONG_PTR SetClassLong(HWND hwnd, int index, LONG_PTR value) { return SetClassLongPtrA(hwnd, index, value); }
inline ULONG_PTR GetClassLongPtr(HWND hwnd, int index) { return GetClassLongPtrA(hwnd, index); }
inline ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) { return SetClassLongPtrA(hwnd, index, value); }

// ---- windows ----
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE inst, void* param);
inline HWND CreateWindowA(LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent,
                          HMENU menu, HINSTANCE inst, void* param) {
  return CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
#define CreateWindowEx CreateWindowExA
#define CreateWindow CreateWindowA
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
#define GetWindowLong GetWindowLongPtrA
#define SetWindowLong SetWindowLongPtrA
#define GetWindowLongPtr GetWindowLongPtrA
#define SetWindowLongPtr SetWindowLongPtrA
#define GetWindowLongA GetWindowLongPtrA
#define SetWindowLongA SetWindowLongPtrA
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l);
#define CallWindowProc CallWindowProcA
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
#define DefWindowProc DefWindowProcA
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR buf, int max);
int GetWindowTextLengthA(HWND hwnd);
#define SetWindowText SetWindowTextA
#define GetWindowText GetWindowTextA
#define GetWindowTextLength GetWindowTextLengthA
BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);
#define SetProp SetPropA
#define GetProp GetPropA
#define RemoveProp RemovePropA
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
inline HWND FindWindow(LPCSTR className, LPCSTR windowName) { return FindWindowA(className, windowName); }
HWND GetDesktopWindow();

// ---- hierarchy ----
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetTopWindow(HWND hwnd);
HWND GetNextWindow(HWND hwnd, UINT cmd);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM l);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM l);
BOOL EnumThreadWindows(DWORD thread, WNDENUMPROC proc, LPARAM l);

// ---- geometry ----
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL ShowOwnedPopups(HWND hwnd, BOOL show);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* r);
BOOL GetClientRect(HWND hwnd, RECT* r);
BOOL ClientToScreen(HWND hwnd, POINT* p);
BOOL ScreenToClient(HWND hwnd, POINT* p);
int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count);
HWND WindowFromPoint(POINT p);
HWND ChildWindowFromPoint(HWND parent, POINT p);
HWND ChildWindowFromPointEx(HWND parent, POINT p, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, POINT p);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);
BOOL AdjustWindowRect(RECT* r, DWORD style, BOOL menu);
using HDWP = void*;
HDWP BeginDeferWindowPos(int n);
HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP dwp);
BOOL IsWindowUnicode(HWND hwnd);

// ---- messages ----
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT flags, UINT timeout,
                            ULONG_PTR* result);
BOOL PostThreadMessageA(DWORD thread, UINT msg, WPARAM w, LPARAM l);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL WaitMessage();
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms, DWORD wakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD ms, DWORD wakeMask, DWORD flags);
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
BOOL InSendMessage();
UINT RegisterWindowMessageA(LPCSTR name);
DWORD GetMessageTime();
DWORD GetMessagePos();
LPARAM GetMessageExtraInfo();
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* process);
#define SendMessage SendMessageA
#define PostMessage PostMessageA
#define SendNotifyMessage SendNotifyMessageA
#define SendMessageTimeout SendMessageTimeoutA
#define PostThreadMessage PostThreadMessageA
#define GetMessage GetMessageA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#define RegisterWindowMessage RegisterWindowMessageA

// ---- message boxes ----
// Button results and the MB_* flags of a message box (MB_OK and the icons are
// with MessageBeep in system.h). The box itself is shown by the class library.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7,
              IDCLOSE = 8, IDHELP = 9;
constexpr UINT MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
               MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF, MB_ICONMASK = 0xF0, MB_ICONSTOP = 0x10,
               MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
               MB_DEFMASK = 0xF00, MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000,
               MB_HELP = 0x4000, MB_SETFOREGROUND = 0x10000, MB_TOPMOST = 0x40000;

// ---- hooks ----
HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE inst, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM w, LPARAM l);
#define SetWindowsHookEx SetWindowsHookExA

// ---- timers and time ----
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
constexpr UINT USER_TIMER_MINIMUM = 10;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// ---- focus, activation, capture ----
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// Captures the mouse and waits: TRUE when it leaves the drag rectangle
// (SM_CXDRAG x SM_CYDRAG round the screen point Pt) with the left button
// down, FALSE when the button is released first or the capture is lost. The
// mouse messages it sees are removed.
BOOL DragDetect(HWND hwnd, POINT Pt);
HWND GetLastActivePopup(HWND hwnd);

// ---- keyboard and mouse state ----
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
BOOL SetKeyboardState(const BYTE* state);
UINT MapVirtualKeyA(UINT code, UINT mapType);
SHORT VkKeyScanA(char ch);
#define MapVirtualKey MapVirtualKeyA
#define VkKeyScan VkKeyScanA
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
BOOL SwapMouseButton(BOOL swap);
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
BOOL ClipCursor(const RECT* r);
BOOL GetClipCursor(RECT* r);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);

// ---- caret ----
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* p);
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// ---- window manager services that are not part of the platform's interface ----
// Whether the caret is drawn at this moment (blinking phase), for tests and painters.
bool PvCaretIsDrawn();
// Number of message beeps so far (tests check that a beep happened).
int PvBeepCount();

// ---- painting ----
struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32] = {};
};
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040,
               RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400,
               RDW_NOFRAME = 0x0800;
constexpr DWORD DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_NORESETATTRS = 0x4, DCX_CLIPCHILDREN = 0x8,
                DCX_CLIPSIBLINGS = 0x10, DCX_PARENTCLIP = 0x20, DCX_EXCLUDERGN = 0x40, DCX_INTERSECTRGN = 0x80,
                DCX_EXCLUDEUPDATE = 0x100, DCX_INTERSECTUPDATE = 0x200, DCX_LOCKWINDOWUPDATE = 0x400,
                DCX_VALIDATE = 0x200000;
constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4, SW_SMOOTHSCROLL = 0x10;
constexpr DWORD LWA_COLORKEY = 0x1, LWA_ALPHA = 0x2, ULW_COLORKEY = 0x1, ULW_ALPHA = 0x2, ULW_OPAQUE = 0x4;
constexpr UINT PW_CLIENTONLY = 0x1;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect);
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL LockWindowUpdate(HWND hwnd);
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL UpdateLayeredWindow(HWND hwnd, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                         BLENDFUNCTION* blend, DWORD flags);
BOOL PrintWindow(HWND hwnd, HDC dc, UINT flags);
BOOL FlashWindow(HWND hwnd, BOOL invert);

// The finished image of a window as its top-level window shows it (window
// rectangle, 32-bit BGRA, top-down); pending painting is done first.
struct PvWindowImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};
PvWindowImage PvCaptureWindow(HWND hwnd);
// Writes that image as a PNG file (raises EFCreateError when the file cannot be written).
void PvSaveWindowPng(HWND hwnd, const std::string& path);

// ---- scroll bars ----
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_BOTH = 3, ESB_DISABLE_LEFT = 1, ESB_DISABLE_RIGHT = 2,
               ESB_DISABLE_UP = 1, ESB_DISABLE_DOWN = 2, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2;
constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1, SBS_TOPALIGN = 0x2, SBS_LEFTALIGN = 0x2,
                SBS_BOTTOMALIGN = 0x4, SBS_RIGHTALIGN = 0x4, SBS_SIZEBOX = 0x8, SBS_SIZEGRIP = 0x10;
constexpr UINT SBM_SETPOS = 0xE0, SBM_GETPOS = 0xE1, SBM_SETRANGE = 0xE2, SBM_SETRANGEREDRAW = 0xE6,
               SBM_GETRANGE = 0xE3, SBM_ENABLE_ARROWS = 0xE4, SBM_SETSCROLLINFO = 0xE9, SBM_GETSCROLLINFO = 0xEA,
               SBM_GETSCROLLBARINFO = 0xEB;
constexpr LONG OBJID_HSCROLL = LONG(0xFFFFFFFA), OBJID_VSCROLL = LONG(0xFFFFFFFB), OBJID_CLIENT = LONG(0xFFFFFFFC);
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8, STATE_SYSTEM_INVISIBLE = 0x8000,
                STATE_SYSTEM_OFFSCREEN = 0x10000;
struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0, nMax = 0;
  UINT nPage = 0;
  int nPos = 0, nTrackPos = 0;
};
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;  // screen coordinates
  int dxyLineButton = 0;
  int xyThumbTop = 0, xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info);

// ---- multiple-document interface ----
struct CLIENTCREATESTRUCT {
  HMENU hWindowMenu = nullptr;
  UINT idFirstChild = 0;
};
struct MDICREATESTRUCTA {
  LPCSTR szClass = nullptr;
  LPCSTR szTitle = nullptr;
  HINSTANCE hOwner = nullptr;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
  DWORD style = 0;
  LPARAM lParam = 0;
};
using MDICREATESTRUCT = MDICREATESTRUCTA;
constexpr UINT MDITILE_VERTICAL = 0x0, MDITILE_HORIZONTAL = 0x1, MDITILE_SKIPDISABLED = 0x2, MDITILE_ZORDER = 0x4;
constexpr DWORD MDIS_ALLCHILDSTYLES = 0x1;
LRESULT DefFrameProcA(HWND frame, HWND client, UINT msg, WPARAM w, LPARAM l);
LRESULT DefMDIChildProcA(HWND child, UINT msg, WPARAM w, LPARAM l);
HWND CreateMDIWindowA(LPCSTR cls, LPCSTR title, DWORD style, int x, int y, int w, int h, HWND client,
                      HINSTANCE inst, LPARAM l);
BOOL TranslateMDISysAccel(HWND client, MSG* msg);
WORD TileWindows(HWND parent, UINT how, const RECT* area, UINT count, const HWND* kids);
WORD CascadeWindows(HWND parent, UINT how, const RECT* area, UINT count, const HWND* kids);
UINT ArrangeIconicWindows(HWND parent);
#define DefFrameProc DefFrameProcA
#define DefMDIChildProc DefMDIChildProcA
#define CreateMDIWindow CreateMDIWindowA

// ---- menus ----
constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
               MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0, MF_GRAYED = 0x1,
               MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8, MF_USECHECKBITMAPS = 0x200,
               MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100, MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20,
               MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0, MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000,
               MF_HELP = 0x4000, MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000;
constexpr UINT MFT_STRING = MF_STRING, MFT_BITMAP = MF_BITMAP, MFT_MENUBARBREAK = MF_MENUBARBREAK,
               MFT_MENUBREAK = MF_MENUBREAK, MFT_OWNERDRAW = MF_OWNERDRAW, MFT_RADIOCHECK = 0x200,
               MFT_SEPARATOR = MF_SEPARATOR, MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = MFS_GRAYED, MFS_CHECKED = MF_CHECKED, MFS_HILITE = MF_HILITE,
               MFS_ENABLED = MF_ENABLED, MFS_UNCHECKED = MF_UNCHECKED, MFS_UNHILITE = MF_UNHILITE,
               MFS_DEFAULT = MF_DEFAULT;
constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
               MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;
constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
               TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
               TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100,
               TPM_RECURSE = 0x1, TPM_HORPOSANIMATION = 0x400, TPM_NOANIMATION = 0x4000;
constexpr UINT GMDI_USEDISABLED = 0x1, GMDI_GOINTOPOPUPS = 0x2;
constexpr UINT ODT_MENU = 1, ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4, ODS_SELECTED = 1,
               ODS_GRAYED = 2, ODS_DISABLED = 4, ODS_CHECKED = 8, ODS_FOCUS = 0x10, ODS_DEFAULT = 0x20;
struct MENUITEMINFOA {
  UINT cbSize = sizeof(MENUITEMINFOA);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  LPSTR dwTypeData = nullptr;
  UINT cch = 0;
  HBITMAP hbmpItem = nullptr;
};
using MENUITEMINFO = MENUITEMINFOA;
struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  RECT rcExclude;
};
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemWidth = 0, itemHeight = 0;
  ULONG_PTR itemData = 0;
};
struct DRAWITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemAction = 0, itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  ULONG_PTR itemData = 0;
};
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR item);
BOOL InsertMenuA(HMENU menu, UINT pos, UINT flags, UINT_PTR id, LPCSTR item);
BOOL ModifyMenuA(HMENU menu, UINT pos, UINT flags, UINT_PTR id, LPCSTR item);
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
BOOL RemoveMenu(HMENU menu, UINT pos, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT pos, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buf, int max, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
HMENU GetMenu(HWND hwnd);
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, TPMPARAMS* params);
BOOL EndMenu();
// Screen rectangle of an item of a window's menu bar or of an open pop-up menu.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* rect);
// WM_ENTERIDLE's wParam while a menu's modal loop waits for input.
constexpr WPARAM MSGF_MENU = 2;
#define AppendMenu AppendMenuA
#define InsertMenu InsertMenuA
#define ModifyMenu ModifyMenuA
#define InsertMenuItem InsertMenuItemA
#define GetMenuItemInfo GetMenuItemInfoA
#define SetMenuItemInfo SetMenuItemInfoA
#define GetMenuString GetMenuStringA

// ---- desktop integration: clipboard listeners and the program's own cursors ----
// (kept together at the end of this header; maintained with the backends)
constexpr UINT WM_CLIPBOARDUPDATE = 0x031D;
// `h` gets WM_CLIPBOARDUPDATE (posted) whenever the clipboard's contents change,
// here or in another program, until it is removed or destroyed.
BOOL AddClipboardFormatListener(HWND h);
BOOL RemoveClipboardFormatListener(HWND h);
// A monochrome cursor from two planes of one bit a pixel (rows padded to 16
// bits, top row first): AND 1 / XOR 0 transparent, 0 / 0 black, 0 / 1 white,
// 1 / 1 the screen inverted.
HCURSOR CreateCursor(HINSTANCE inst, int xHot, int yHot, int width, int height, const void* andPlane,
                     const void* xorPlane);
// The picture a cursor of the program's own shows on the desktop: BGRA rows with
// straight alpha, as the backend receives it. False for standard shapes.
bool PvCursorImage(HCURSOR cursor, std::vector<std::uint32_t>& pixels, int* width, int* height, POINT* hot);
