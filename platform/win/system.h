// System services of the window manager: metrics and parameters, cursors, the
// input method, file drops, the clipboard and global memory, monitors, version,
// beeps, the shell and looked-up entry points.
#pragma once
#include "platform/win/winuser.h"

// ---- system metrics ----
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CXFIXEDFRAME = 7,
              SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12,
              SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17,
              SM_CYKANJIWINDOW = 18, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_DEBUG = 22,
              SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
              SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34,
              SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38,
              SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40, SM_DBCSENABLED = 42, SM_CMOUSEBUTTONS = 43,
              SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXMINSPACING = 47, SM_CYMINSPACING = 48, SM_CXSMICON = 49,
              SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52, SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54,
              SM_CYMENUSIZE = 55, SM_ARRANGE = 56, SM_CXMINIMIZED = 57, SM_CYMINIMIZED = 58,
              SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62,
              SM_NETWORK = 63, SM_CLEANBOOT = 67, SM_CXDRAG = 68, SM_CYDRAG = 69, SM_SHOWSOUNDS = 70,
              SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_SLOWMACHINE = 73, SM_MIDEASTENABLED = 74,
              SM_MOUSEWHEELPRESENT = 75, SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77,
              SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80, SM_SAMEDISPLAYFORMAT = 81,
              SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84, SM_REMOTESESSION = 0x1000;
int GetSystemMetrics(int index);

// ---- system parameters ----
constexpr UINT SPI_GETBORDER = 0x0005, SPI_GETKEYBOARDSPEED = 0x000A, SPI_ICONHORIZONTALSPACING = 0x000D,
               SPI_GETSCREENSAVETIMEOUT = 0x000E, SPI_GETKEYBOARDDELAY = 0x0016,
               SPI_ICONVERTICALSPACING = 0x0018, SPI_GETICONTITLEWRAP = 0x0019,
               SPI_GETMENUDROPALIGNMENT = 0x001B, SPI_GETDRAGFULLWINDOWS = 0x0026,
               SPI_GETNONCLIENTMETRICS = 0x0029, SPI_GETMINIMIZEDMETRICS = 0x002B,
               SPI_GETICONMETRICS = 0x002D, SPI_GETWORKAREA = 0x0030, SPI_SETWORKAREA = 0x002F,
               SPI_GETHIGHCONTRAST = 0x0042, SPI_GETKEYBOARDPREF = 0x0044, SPI_GETSCREENREADER = 0x0046,
               SPI_GETANIMATION = 0x0048, SPI_GETFONTSMOOTHING = 0x004A, SPI_GETICONTITLELOGFONT = 0x001F,
               SPI_GETDEFAULTINPUTLANG = 0x0059, SPI_GETSNAPTODEFBUTTON = 0x005F,
               SPI_GETMOUSEHOVERWIDTH = 0x0062, SPI_GETMOUSEHOVERHEIGHT = 0x0064,
               SPI_GETMOUSEHOVERTIME = 0x0066, SPI_GETWHEELSCROLLLINES = 0x0068,
               SPI_GETMENUSHOWDELAY = 0x006A, SPI_GETSHOWIMEUI = 0x006E, SPI_GETMOUSESPEED = 0x0070,
               SPI_GETSCREENSAVERRUNNING = 0x0072, SPI_GETACTIVEWINDOWTRACKING = 0x1000,
               SPI_GETMENUANIMATION = 0x1002, SPI_GETCOMBOBOXANIMATION = 0x1004,
               SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006, SPI_GETGRADIENTCAPTIONS = 0x1008,
               SPI_GETKEYBOARDCUES = 0x100A, SPI_GETMENUUNDERLINES = 0x100A, SPI_GETHOTTRACKING = 0x100E,
               SPI_GETMENUFADE = 0x1012, SPI_GETSELECTIONFADE = 0x1014, SPI_GETTOOLTIPANIMATION = 0x1016,
               SPI_GETTOOLTIPFADE = 0x1018, SPI_GETCURSORSHADOW = 0x101A, SPI_GETFLATMENU = 0x1022,
               SPI_GETDROPSHADOW = 0x1024, SPI_GETUIEFFECTS = 0x103E, SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000,
               SPI_GETCARETWIDTH = 0x2006, SPI_GETFOCUSBORDERWIDTH = 0x200E,
               SPI_GETFOCUSBORDERHEIGHT = 0x2010, SPI_SETWHEELSCROLLLINES = 0x0069,
               SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPIF_UPDATEINIFILE = 1, SPIF_SENDCHANGE = 2;

struct NONCLIENTMETRICSA {
  UINT cbSize = sizeof(NONCLIENTMETRICSA);
  int iBorderWidth = 1;
  int iScrollWidth = 16;
  int iScrollHeight = 16;
  int iCaptionWidth = 18;
  int iCaptionHeight = 18;
  LOGFONTA lfCaptionFont;
  int iSmCaptionWidth = 12;
  int iSmCaptionHeight = 14;
  LOGFONTA lfSmCaptionFont;
  int iMenuWidth = 18;
  int iMenuHeight = 18;
  LOGFONTA lfMenuFont;
  LOGFONTA lfStatusFont;
  LOGFONTA lfMessageFont;
};
using NONCLIENTMETRICS = NONCLIENTMETRICSA;
struct ICONMETRICSA {
  UINT cbSize = sizeof(ICONMETRICSA);
  int iHorzSpacing = 75, iVertSpacing = 75, iTitleWrap = 1;
  LOGFONTA lfFont;
};
BOOL SystemParametersInfoA(UINT action, UINT param, void* data, UINT winIni);
#define SystemParametersInfo SystemParametersInfoA

// ---- monitors ----
struct HMONITOR__;
using HMONITOR = HMONITOR__*;
constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
};
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT* r, DWORD flags);
HMONITOR MonitorFromWindow(HWND h, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR m, MONITORINFO* info);
#define GetMonitorInfo GetMonitorInfoA

// ---- version ----
struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0, dwMinorVersion = 0, dwBuildNumber = 0, dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
using OSVERSIONINFO = OSVERSIONINFOA;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
BOOL GetVersionExA(OSVERSIONINFOA* info);
#define GetVersionEx GetVersionExA
DWORD GetVersion();

// ---- sounds and shell ----
constexpr UINT MB_OK = 0, MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
               MB_ICONASTERISK = 0x40, MB_ICONERROR = 0x10, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
BOOL MessageBeep(UINT type);
BOOL Beep(DWORD freq, DWORD ms);
constexpr DWORD SND_SYNC = 0, SND_ASYNC = 1, SND_NODEFAULT = 2, SND_MEMORY = 4, SND_LOOP = 8,
                SND_PURGE = 0x40, SND_ALIAS = 0x10000, SND_FILENAME = 0x20000, SND_RESOURCE = 0x40004;
BOOL PlaySoundA(LPCSTR sound, HMODULE mod, DWORD flags);
#define PlaySound PlaySoundA
// Opens an http, https or mailto address or an existing file with the desktop's
// handler; anything else is refused. Returns a value above 32 on success.
HINSTANCE ShellExecuteA(HWND h, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, int show);
#define ShellExecute ShellExecuteA
constexpr int SE_ERR_FNF = 2, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31;

// ---- looked-up entry points ----
HMODULE LoadLibraryA(LPCSTR name);
HMODULE GetModuleHandleA(LPCSTR name);
void* GetProcAddress(HMODULE mod, LPCSTR name);
BOOL FreeLibrary(HMODULE mod);
#define LoadLibrary LoadLibraryA
#define GetModuleHandle GetModuleHandleA

// ---- cursors ----
inline LPCSTR MAKEINTRESOURCEA(int id) { return reinterpret_cast<LPCSTR>(std::uintptr_t(WORD(id))); }
#define MAKEINTRESOURCE MAKEINTRESOURCEA
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDC_SIZE = MAKEINTRESOURCEA(32640);
inline const LPCSTR IDC_ICON = MAKEINTRESOURCEA(32641);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline const LPCSTR IDC_NO = MAKEINTRESOURCEA(32648);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCEA(32649);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCEA(32651);
// Standard cursors by IDC_* number; named cursors come from the cursor registry
// (resources register theirs at start-up with RegisterCursorResource).
HCURSOR LoadCursorA(HINSTANCE inst, LPCSTR name);
#define LoadCursor LoadCursorA
void RegisterCursorResource(const char* name, HCURSOR cursor);
// The IDC_* number of a standard cursor (0 for others).
int CursorShapeId(HCURSOR cursor);

// ---- caption geometry shared by hit testing and non-client painting ----
struct CaptionLayout {
  bool present = false;
  RECT bar, icon, min, max, close;  // window coordinates; empty when absent
};

// ---- input method ----
struct HIMC__;
using HIMC = HIMC__*;
constexpr DWORD CFS_DEFAULT = 0, CFS_RECT = 1, CFS_POINT = 2, CFS_FORCE_POSITION = 0x20;
struct COMPOSITIONFORM {
  DWORD dwStyle = 0;
  POINT ptCurrentPos;
  RECT rcArea;
};
HIMC ImmGetContext(HWND h);
BOOL ImmReleaseContext(HWND h, HIMC imc);
LONG ImmGetCompositionStringA(HIMC imc, DWORD index, void* buf, DWORD len);
BOOL ImmSetCompositionWindow(HIMC imc, const COMPOSITIONFORM* form);
BOOL ImmGetCompositionWindow(HIMC imc, COMPOSITIONFORM* form);
BOOL ImmSetCompositionFontA(HIMC imc, const LOGFONTA* lf);
BOOL ImmGetOpenStatus(HIMC imc);
BOOL ImmSetOpenStatus(HIMC imc, BOOL open);
BOOL ImmNotifyIME(HIMC imc, DWORD action, DWORD index, DWORD value);
#define ImmGetCompositionString ImmGetCompositionStringA
#define ImmSetCompositionFont ImmSetCompositionFontA
constexpr DWORD NI_COMPOSITIONSTR = 0x15, CPS_COMPLETE = 1, CPS_CANCEL = 4;
// The result string of the composition being delivered (CP936).
std::string ImeResultString();

// ---- file drops ----
using HDROP = HANDLE;
void DragAcceptFiles(HWND h, BOOL accept);
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buf, UINT size);
BOOL DragQueryPoint(HDROP drop, POINT* pt);
void DragFinish(HDROP drop);
#define DragQueryFile DragQueryFileA

// ---- global memory ----
using HGLOBAL = HANDLE;
constexpr UINT GMEM_FIXED = 0, GMEM_MOVEABLE = 2, GMEM_ZEROINIT = 0x40, GHND = 0x42, GPTR = 0x40,
               GMEM_DDESHARE = 0x2000, GMEM_SHARE = 0x2000;
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);
HGLOBAL GlobalReAlloc(HGLOBAL mem, std::size_t bytes, UINT flags);

// ---- clipboard ----
constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_SYLK = 4, CF_DIF = 5, CF_TIFF = 6,
               CF_OEMTEXT = 7, CF_DIB = 8, CF_PALETTE = 9, CF_PENDATA = 10, CF_RIFF = 11, CF_WAVE = 12,
               CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14, CF_HDROP = 15, CF_LOCALE = 16, CF_DIBV5 = 17;
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
UINT RegisterClipboardFormatA(LPCSTR name);
int GetClipboardFormatNameA(UINT format, LPSTR buf, int max);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
HWND SetClipboardViewer(HWND viewer);
BOOL ChangeClipboardChain(HWND remove, HWND next);
DWORD GetClipboardSequenceNumber();
// Why the last GetClipboardData of a format another program offers gave
// nothing although it was offered (that program did not answer in time, or
// stopped halfway); empty when the last transfer succeeded.
std::string PvClipboardError();
#define RegisterClipboardFormat RegisterClipboardFormatA
#define GetClipboardFormatName GetClipboardFormatNameA

// ---- notification area ----
constexpr DWORD NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4;
struct NOTIFYICONDATAA {
  DWORD cbSize = sizeof(NOTIFYICONDATAA);
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[128] = {};
};
using NOTIFYICONDATA = NOTIFYICONDATAA;
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);
#define Shell_NotifyIcon Shell_NotifyIconA

// ---- window manager set-up ----
// Destroys every window and clears the queue, timers, hooks, focus and state:
// tests start each case from a clean window manager.
void PvResetWindowManager();
// The number of hooks of a type (WH_*) installed and not removed.
int PvHookCount(int type);
// Tells every top-level window that the system colours changed (WM_SYSCOLORCHANGE,
// sent, so hooks see it); whoever changes the colours calls it.
void PvSysColorsChanged();
// Handles every message that is waiting (PeekMessage, TranslateMessage,
// DispatchMessage) until the queue is empty; returns the number dispatched.
int PvProcessMessages();
