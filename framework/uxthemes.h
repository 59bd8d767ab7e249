// Visual-style access and the theme manager.
//
// The visual-style library is never loaded here: every query reports styles
// unavailable, no theme handle is ever opened, and each painter takes its
// classic branch. The subscriber list for theme changes still works, so the
// scroll bars and bar managers re-measure when a theme change is announced.
#pragma once

#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

#include <functional>

enum TkxThemeClassKind {
  tckButton, tckClock, tckComboBox, tckEdit, tckExplorerBar, tckHeader, tckListView, tckMenu,
  tckPage, tckProgress, tckRebar, tckScrollBar, tckSpin, tckStartPanel, tckStatus, tckTab,
  tckTaskBand, tckTaskBar, tckToolBar, tckToolTip, tckTrackBar, tckTrayNotify, tckTreeView, tckWindow
};
using TkxThemeClassKinds = std::uint32_t;  // bit N = kind N
constexpr TkxThemeClassKinds kxThemeKind(TkxThemeClassKind K) { return 1u << unsigned(K); }

using HTHEME = std::uintptr_t;

bool kxIsUxThemeLoaded();
bool kxIsVersion51OrLater();
HTHEME kxOpenThemeOfKind(TkxThemeClassKind Kind, const WideString* ClassList = nullptr);
void CloseTheme(TkxThemeClassKind Kind);
void CloseAllThemes();
bool AreVisualStylesAvailable(TkxThemeClassKinds Kinds = 0);
bool IsVisualStyleAvailable(TkxThemeClassKind Kind);
bool IsThemedFileLunaOrRoyale();

// A subscriber to theme changes; joins the list on construction, leaves it on
// destruction (also while the change is being announced).
class TkxThemeChangedNotificator {
 public:
  TkxThemeChangedNotificator();
  ~TkxThemeChangedNotificator();
  TkxThemeChangedNotificator(const TkxThemeChangedNotificator&) = delete;
  TkxThemeChangedNotificator& operator=(const TkxThemeChangedNotificator&) = delete;
  std::function<void()> OnThemeChanged;
};

// What the hidden receiver window does on WM_THEMECHANGED: closes the cached
// handles and calls every subscriber in order of joining.
void kxThemeChanged();
