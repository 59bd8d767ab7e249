#include "framework/uxthemes.h"

#include "platform/controls/commctrl.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/win/messages.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <vector>

const char* const kxUxThemeEntryNames[46] = {
    "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "DrawThemeParentBackground",
    "DrawThemeText", "EnableThemeDialogTexture", "GetCurrentThemeName", "GetThemeAppProperties",
    "GetThemeBackgroundContentRect", "GetThemeBackgroundRegion", "GetThemeBackgroundExtent", "GetThemeBool",
    "GetThemeColor", "GetThemeDocumentationProperty", "GetThemeEnumValue", "GetThemeFilename", "GetThemeFont",
    "GetThemeInt", "GetThemeIntList", "GetThemeMargins", "GetThemeMetric", "GetThemePartSize",
    "GetThemePosition", "GetThemePropertyOrigin", "GetThemeRect", "GetThemeString", "GetThemeSysBool",
    "GetThemeSysColor", "GetThemeSysColorBrush", "GetThemeSysFont", "GetThemeSysInt", "GetThemeSysSize",
    "GetThemeSysString", "GetThemeTextExtent", "GetThemeTextMetrics", "GetWindowTheme",
    "HitTestThemeBackground", "IsAppThemed", "IsThemeActive", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "IsThemeDialogTextureEnabled", "OpenThemeData",
    "SetThemeAppProperties", "SetWindowTheme"};

namespace {

// ---- library state ----

struct TLibrary {
  bool Started = false;
  bool Version51 = false;
  bool Loaded = false;
  HMODULE Module = nullptr;
  std::array<void*, 46> Entries{};
};

TLibrary& Lib();

// Start-up, once: the version test, the common controls, then the library.
void EnsureStarted() {
  TLibrary& L = Lib();
  if (L.Started) return;
  L.Started = true;
  OSVERSIONINFOA Info;
  Info.dwOSVersionInfoSize = 148;
  if (GetVersionExA(&Info))
    L.Version51 = Info.dwMajorVersion > 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion >= 1);
  InitCommonControls();
  if (!L.Version51) return;
  if (HMODULE M = LoadLibraryA("UxTheme.dll")) {
    L.Module = M;
    kxLoadUxThemeEntries([M](const char* Name) { return GetProcAddress(M, Name); });
  }
}

struct TLibraryOwner {
  TLibrary Value;
  ~TLibraryOwner() {
    if (Value.Module) FreeLibrary(Value.Module);
  }
};

TLibrary& Lib() {
  static TLibraryOwner Owner;
  return Owner.Value;
}

int EntryIndex(const char* Name) {
  for (int i = 0; i < 46; ++i)
    if (std::strcmp(kxUxThemeEntryNames[i], Name) == 0) return i;
  return -1;
}

template <typename F>
F* Entry(const char* Name) {
  EnsureStarted();
  const int I = EntryIndex(Name);
  return I < 0 ? nullptr : reinterpret_cast<F*>(Lib().Entries[std::size_t(I)]);
}

// ---- theme manager state ----

struct TkxThemeData {
  HTHEME Handle = 0;
  WideString ClassList;
};

const char* const DefaultClassNames[kxThemeClassKindCount] = {
    "Button", "Clock", "ComboBox", "Edit", "ExplorerBar", "Header", "ListView", "Menu", "Page", "Progress",
    "Rebar", "ScrollBar", "Spin", "StartPanel", "Status", "Tab", "TaskBand", "TaskBar", "ToolBar", "ToolTip",
    "TrackBar", "TrayNotify", "TreeView", "Window"};

std::array<TkxThemeData, kxThemeClassKindCount>& Cache() {
  static std::array<TkxThemeData, kxThemeClassKindCount> C;
  return C;
}

bool ThemesActive = false;

struct TSubscriber {
  TkxThemeChangedNotificator* Object;
  std::uint64_t Serial;
};
std::vector<TSubscriber>& Subscribers() {
  static std::vector<TSubscriber> List;
  return List;
}
std::uint64_t NextSerial = 1;

WideString Widen(const char* S) { return WideString(S, S + std::strlen(S)); }

AnsiString UpperAscii(AnsiString S) {
  for (char& C : S)
    if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
  return S;
}

// The file-name part of a path, after the last '\' or '/'.
AnsiString FileNamePart(const AnsiString& Path) {
  const auto P = Path.find_last_of("\\/");
  return P == AnsiString::npos ? Path : Path.substr(P + 1);
}

}  // namespace

// ---- library ----

bool kxIsUxThemeLoaded() {
  EnsureStarted();
  return Lib().Loaded;
}

bool kxIsVersion51OrLater() {
  EnsureStarted();
  return Lib().Version51;
}

void* kxUxThemeEntry(const char* Name) { return Entry<void>(Name); }

void kxLoadUxThemeEntries(const std::function<void*(const char* Name)>& Lookup) {
  EnsureStarted();
  TLibrary& L = Lib();
  CloseAllThemes();
  for (auto& E : Cache()) E = TkxThemeData{};
  L.Entries.fill(nullptr);
  L.Loaded = bool(Lookup);
  if (Lookup)
    for (int i = 0; i < 46; ++i) L.Entries[std::size_t(i)] = Lookup(kxUxThemeEntryNames[i]);
  ThemesActive = L.Loaded && IsThemeActive() != 0;
}

// Each wrapper calls its entry point with the platform's argument order; an
// empty entry point reports a failure and does nothing.

HTHEME OpenThemeData(HWND Wnd, const char16_t* ClassList) {
  auto* F = Entry<HTHEME(HWND, const char16_t*)>("OpenThemeData");
  return F ? F(Wnd, ClassList) : 0;
}

TkxThemeResult CloseThemeData(HTHEME Theme) {
  auto* F = Entry<TkxThemeResult(HTHEME)>("CloseThemeData");
  return F ? F(Theme) : kxThemeFailed;
}

TkxThemeResult DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& R, const RECT* Clip) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const RECT*, const RECT*)>("DrawThemeBackground");
  return F ? F(Theme, DC, Part, State, &R, Clip) : kxThemeFailed;
}

TkxThemeResult DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const char16_t* Text, int Count,
                             DWORD Flags, DWORD Flags2, const RECT& R) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const char16_t*, int, DWORD, DWORD, const RECT*)>(
      "DrawThemeText");
  return F ? F(Theme, DC, Part, State, Text, Count, Flags, Flags2, &R) : kxThemeFailed;
}

TkxThemeResult DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const AnsiString& Text, int Count,
                             DWORD Flags, DWORD Flags2, const RECT& R) {
  const WideString W = AnsiToWide(Text);
  return DrawThemeText(Theme, DC, Part, State, W.c_str(), Count, Flags, Flags2, R);
}

TkxThemeResult GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const RECT& Bounds,
                                             RECT& Content) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const RECT*, RECT*)>("GetThemeBackgroundContentRect");
  return F ? F(Theme, DC, Part, State, &Bounds, &Content) : kxThemeFailed;
}

TkxThemeResult GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT* R, int SizeKind, SIZE& Size) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const RECT*, int, SIZE*)>("GetThemePartSize");
  return F ? F(Theme, DC, Part, State, R, SizeKind, &Size) : kxThemeFailed;
}

TkxThemeResult GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, int SizeKind, SIZE& Size) {
  return GetThemePartSize(Theme, DC, Part, State, nullptr, SizeKind, Size);
}

TkxThemeResult GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const RECT& R, HRGN& Region) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const RECT*, HRGN*)>("GetThemeBackgroundRegion");
  return F ? F(Theme, DC, Part, State, &R, &Region) : kxThemeFailed;
}

TkxThemeResult DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const RECT& R, UINT Edge, UINT Flags,
                             RECT* Content) {
  auto* F = Entry<TkxThemeResult(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*)>("DrawThemeEdge");
  return F ? F(Theme, DC, Part, State, &R, Edge, Flags, Content) : kxThemeFailed;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State) {
  auto* F = Entry<BOOL(HTHEME, int, int)>("IsThemeBackgroundPartiallyTransparent");
  return F ? F(Theme, Part, State) : FALSE;
}

TkxThemeResult DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* R) {
  auto* F = Entry<TkxThemeResult(HWND, HDC, const RECT*)>("DrawThemeParentBackground");
  if (!F) return kxThemeFailed;
  // The library selects fonts of its own into the DC: keep the caller's.
  HGDIOBJ Font = GetCurrentObject(DC, OBJ_FONT);
  const TkxThemeResult Result = F(Wnd, DC, R);
  if (Font) SelectObject(DC, Font);
  return Result;
}

TkxThemeResult GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color) {
  auto* F = Entry<TkxThemeResult(HTHEME, int, int, int, COLORREF*)>("GetThemeColor");
  return F ? F(Theme, Part, State, PropId, &Color) : kxThemeFailed;
}

BOOL IsThemeActive() {
  auto* F = Entry<BOOL()>("IsThemeActive");
  return F ? F() : FALSE;
}

TkxThemeResult GetCurrentThemeName(char16_t* FileName, int FileNameLen, char16_t* ColorName, int ColorNameLen,
                                   char16_t* SizeName, int SizeNameLen) {
  auto* F = Entry<TkxThemeResult(char16_t*, int, char16_t*, int, char16_t*, int)>("GetCurrentThemeName");
  return F ? F(FileName, FileNameLen, ColorName, ColorNameLen, SizeName, SizeNameLen) : kxThemeFailed;
}

// ---- theme manager ----

bool SameThemeClassList(const WideString& A, const WideString& B) {
  return AnsiUpperCase(WideToAnsi(A)) == AnsiUpperCase(WideToAnsi(B));
}

HTHEME kxOpenThemeOfKind(TkxThemeClassKind Kind, const WideString* ClassList) {
  if (!AreVisualStylesAvailable() || Kind < 0 || Kind >= kxThemeClassKindCount) return 0;
  TkxThemeData& E = Cache()[std::size_t(Kind)];
  if (E.Handle) {
    if (!ClassList || SameThemeClassList(E.ClassList, *ClassList)) return E.Handle;
    CloseTheme(Kind);
  }
  WideString List;
  if (ClassList) List = *ClassList;
  else if (!E.ClassList.empty()) List = E.ClassList;
  else List = Widen(DefaultClassNames[Kind]);
  E.Handle = OpenThemeData(nullptr, List.c_str());
  if (E.Handle) E.ClassList = List;
  else E.ClassList.clear();
  return E.Handle;
}

void CloseTheme(TkxThemeClassKind Kind) {
  if (!AreVisualStylesAvailable() || Kind < 0 || Kind >= kxThemeClassKindCount) return;
  TkxThemeData& E = Cache()[std::size_t(Kind)];
  if (!E.Handle) return;
  CloseThemeData(E.Handle);
  E.Handle = 0;
  E.ClassList.clear();
}

void CloseAllThemes() {
  for (TkxThemeData& E : Cache())
    if (E.Handle) {
      CloseThemeData(E.Handle);
      E.Handle = 0;
    }
}

bool AreVisualStylesAvailable(TkxThemeClassKinds Kinds) {
  if (!ThemesActive || !kxIsUxThemeLoaded()) return false;
  for (int K = 0; K < kxThemeClassKindCount; ++K)
    if ((Kinds & (1u << K)) && !kxOpenThemeOfKind(TkxThemeClassKind(K))) return false;
  return true;
}

bool IsVisualStyleAvailable(TkxThemeClassKind Kind) {
  return ThemesActive && kxIsUxThemeLoaded() && kxOpenThemeOfKind(Kind) != 0;
}

bool IsThemedFileLunaOrRoyale() {
  if (!AreVisualStylesAvailable()) return false;
  std::vector<char16_t> Buf(1024, u'\0');
  if (GetCurrentThemeName(Buf.data(), 1024, nullptr, 0, nullptr, 0) != 0) return false;
  Buf.back() = u'\0';
  const AnsiString Name = UpperAscii(FileNamePart(WideToAnsi(Buf.data())));
  return Name == "LUNA.MSSTYLES" || Name == "ROYALE.MSSTYLES";
}

TkxThemeChangedNotificator::TkxThemeChangedNotificator() : FSerial(NextSerial++) {
  Subscribers().push_back({this, FSerial});
}

TkxThemeChangedNotificator::~TkxThemeChangedNotificator() {
  auto& L = Subscribers();
  L.erase(std::remove_if(L.begin(), L.end(), [this](const TSubscriber& S) { return S.Object == this; }), L.end());
}

void kxThemeChanged() {
  CloseAllThemes();
  ThemesActive = kxIsUxThemeLoaded() && IsThemeActive() != 0;
  // Walk a snapshot and re-check each subscriber by its serial before the
  // call: one that left during the walk (even if a new one took its address)
  // is skipped, never called through a stale pointer.
  const std::vector<TSubscriber> Snapshot = Subscribers();
  std::exception_ptr Unhandled;
  for (const TSubscriber& S : Snapshot) {
    const auto& L = Subscribers();
    const bool Alive = std::any_of(L.begin(), L.end(), [&](const TSubscriber& X) {
      return X.Object == S.Object && X.Serial == S.Serial;
    });
    if (!Alive || !S.Object->OnThemeChanged) continue;
    try {
      S.Object->OnThemeChanged();
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
      else if (!Unhandled) Unhandled = std::current_exception();
    }
  }
  if (Unhandled) std::rethrow_exception(Unhandled);
}

// ---- the receiver window ----

namespace {
HWND ReceiverWindow = nullptr;

void ReceiverWndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED && Message.Msg != WM_SYSCOLORCHANGE) {
    Message.Result = DefWindowProcA(ReceiverWindow, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefWindowProcA(ReceiverWindow, Message.Msg, Message.WParam, Message.LParam);
  Message.Result = 0;
  kxThemeChanged();
}
}  // namespace

void kxInitThemes() {
  ThemesActive = kxIsUxThemeLoaded() && IsThemeActive() != 0;
  if (ReceiverWindow && IsWindow(ReceiverWindow)) return;
  ReceiverWindow = AllocateHWnd(ReceiverWndProc);
}

void kxDoneThemes() {
  if (ReceiverWindow && IsWindow(ReceiverWindow)) DeallocateHWnd(ReceiverWindow);
  ReceiverWindow = nullptr;
  ThemesActive = false;
  CloseAllThemes();
}

HWND kxThemeChangedReceiverWindow() {
  return ReceiverWindow && IsWindow(ReceiverWindow) ? ReceiverWindow : nullptr;
}
