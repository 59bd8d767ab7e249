#include "framework/uxthemes.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<TkxThemeChangedNotificator*>& Subscribers() {
  static std::vector<TkxThemeChangedNotificator*> List;
  return List;
}
bool ThemesActive = false;  // stays False: the library is reported as not loaded
}  // namespace

bool kxIsUxThemeLoaded() { return false; }
bool kxIsVersion51OrLater() { return true; }  // the platform reports 5.1

HTHEME kxOpenThemeOfKind(TkxThemeClassKind, const WideString*) {
  if (!AreVisualStylesAvailable()) return 0;
  return 0;
}
void CloseTheme(TkxThemeClassKind) {}
void CloseAllThemes() {}

bool AreVisualStylesAvailable(TkxThemeClassKinds Kinds) {
  if (!ThemesActive || !kxIsUxThemeLoaded()) return false;
  for (int K = 0; K <= tckWindow; ++K)
    if ((Kinds & (1u << K)) && !kxOpenThemeOfKind(TkxThemeClassKind(K))) return false;
  return true;
}

bool IsVisualStyleAvailable(TkxThemeClassKind Kind) {
  return ThemesActive && kxIsUxThemeLoaded() && kxOpenThemeOfKind(Kind) != 0;
}

bool IsThemedFileLunaOrRoyale() { return AreVisualStylesAvailable() && false; }

TkxThemeChangedNotificator::TkxThemeChangedNotificator() { Subscribers().push_back(this); }
TkxThemeChangedNotificator::~TkxThemeChangedNotificator() {
  auto& L = Subscribers();
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
}

void kxThemeChanged() {
  CloseAllThemes();
  ThemesActive = false;
  // Walk a snapshot and re-check membership before each call, so that a
  // subscriber that frees itself or another one during the walk is skipped
  // rather than called through a dangling pointer.
  const std::vector<TkxThemeChangedNotificator*> Snapshot = Subscribers();
  for (TkxThemeChangedNotificator* N : Snapshot) {
    auto& L = Subscribers();
    if (std::find(L.begin(), L.end(), N) == L.end()) continue;
    if (N->OnThemeChanged) N->OnThemeChanged();
  }
}
