// Visual-style access and the theme manager.
//
// The visual-style library is looked up by name at start-up ("UxTheme.dll",
// only on version 5.1 or later). The platform reports it absent, so every
// entry point stays empty, every wrapper below is a no-op that reports a
// failure, no theme handle is ever opened and each painter takes its classic
// branch. The theme-change subscribers still work, so the scroll bars and
// bar managers re-measure when a theme change is announced.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"
#include "platform/win/winuser.h"

#include <cstdint>
#include <functional>

enum TkxThemeClassKind {
  tckButton, tckClock, tckComboBox, tckEdit, tckExplorerBar, tckHeader, tckListView, tckMenu,
  tckPage, tckProgress, tckRebar, tckScrollBar, tckSpin, tckStartPanel, tckStatus, tckTab,
  tckTaskBand, tckTaskBar, tckToolBar, tckToolTip, tckTrackBar, tckTrayNotify, tckTreeView, tckWindow
};
constexpr int kxThemeClassKindCount = 24;
using TkxThemeClassKinds = std::uint32_t;  // bit N = kind N
constexpr TkxThemeClassKinds kxThemeKind(TkxThemeClassKind K) { return 1u << unsigned(K); }

using HTHEME = std::uintptr_t;
// Result code of the visual-style calls: 0 success, negative failure.
using TkxThemeResult = std::int32_t;
constexpr TkxThemeResult kxThemeFailed = TkxThemeResult(0x80004005u);

// ---- the library and its entry points ----

bool kxIsUxThemeLoaded();
bool kxIsVersion51OrLater();
// The 46 names looked up in the library, in lookup order.
extern const char* const kxUxThemeEntryNames[46];
// The entry point of a name (empty when the library or the name is missing).
void* kxUxThemeEntry(const char* Name);
// Loads the entry-point table through Lookup (a library's GetProcAddress) and
// marks the library loaded; with Lookup empty the library is unloaded again.
// Start-up calls it with the platform's library when one is there; tests use
// it to stand in a library of their own.
void kxLoadUxThemeEntries(const std::function<void*(const char* Name)>& Lookup);

HTHEME OpenThemeData(HWND Wnd, const char16_t* ClassList);
TkxThemeResult CloseThemeData(HTHEME Theme);
TkxThemeResult DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& R,
                                   const RECT* Clip = nullptr);
TkxThemeResult DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const char16_t* Text, int Count,
                             DWORD Flags, DWORD Flags2, const RECT& R);
// The 8-bit form: the text is converted from the default code page first.
TkxThemeResult DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const AnsiString& Text, int Count,
                             DWORD Flags, DWORD Flags2, const RECT& R);
TkxThemeResult GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const RECT& Bounds,
                                             RECT& Content);
TkxThemeResult GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT* R, int SizeKind, SIZE& Size);
TkxThemeResult GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, int SizeKind, SIZE& Size);
TkxThemeResult GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const RECT& R, HRGN& Region);
TkxThemeResult DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const RECT& R, UINT Edge, UINT Flags,
                             RECT* Content);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State);
// Keeps the font selected into DC across the call.
TkxThemeResult DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* R);
TkxThemeResult GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color);
BOOL IsThemeActive();
TkxThemeResult GetCurrentThemeName(char16_t* FileName, int FileNameLen, char16_t* ColorName, int ColorNameLen,
                                   char16_t* SizeName, int SizeNameLen);

// ---- the theme manager ----

HTHEME kxOpenThemeOfKind(TkxThemeClassKind Kind, const WideString* ClassList = nullptr);
void CloseTheme(TkxThemeClassKind Kind);
void CloseAllThemes();
bool AreVisualStylesAvailable(TkxThemeClassKinds Kinds = 0);
bool IsVisualStyleAvailable(TkxThemeClassKind Kind);
bool IsThemedFileLunaOrRoyale();
bool SameThemeClassList(const WideString& A, const WideString& B);

// A subscriber to theme changes; joins the list on construction, leaves it on
// destruction (also while a change is being announced).
class TkxThemeChangedNotificator {
 public:
  TkxThemeChangedNotificator();
  ~TkxThemeChangedNotificator();
  TkxThemeChangedNotificator(const TkxThemeChangedNotificator&) = delete;
  TkxThemeChangedNotificator& operator=(const TkxThemeChangedNotificator&) = delete;
  std::function<void()> OnThemeChanged;

 private:
  std::uint64_t FSerial;  // identifies this subscriber during a walk
  friend void kxThemeChanged();
};

// What the hidden receiver window does on WM_THEMECHANGED: closes the cached
// handles, re-reads whether styles are switched on and calls every subscriber
// in order of joining. A subscriber that raises does not keep the later ones
// from being called: its exception goes to the application's handler (with
// no application, the first one is raised again once all were called).
void kxThemeChanged();

// Start-up of the theme manager (part of the ordered initialisation): the
// visual-style library is looked for, whether styles are switched on is read,
// and the hidden receiver window is made. The window hears WM_THEMECHANGED
// and also WM_SYSCOLORCHANGE: without visual styles the look of the painted
// parts follows the system colours, so a colour change is this platform's
// theme change. Calling it again after the window manager was reset makes a
// new window.
void kxInitThemes();
// Shutdown: frees the receiver window and closes every cached handle.
void kxDoneThemes();
// The receiver's window; nullptr before start-up and after shutdown.
HWND kxThemeChangedReceiverWindow();
