// The process-wide pieces of the bar library that belong to no single
// manager: the item-class registry, the list of live bar controls, the
// temporary items, the library's start-up and shut-down, and the small
// routines every other part uses (window lookups, caption cleaning, arrows
// and glyphs, fills, clip regions, mouse-leave tracking, sounds, pumping).
#pragma once
#include <cstdint>
#include <vector>

#include "bars/kxbarconsts.h"
#include "platform/gdi/gdi.h"
#include "platform/win/winuser.h"

class TControl;
class TCustomForm;
class TCustomImageList;

// ---- item-class registry ----

struct TRegItemRecord {
  TClass ItemClass = nullptr;
  TClass ControlClass = nullptr;
  bool VisibleInCustomizing = false;
};

// Appends a record and registers the item class for reading from descriptions.
void kxBarRegisterItemClass(TClass ItemClass, TClass ControlClass, bool VisibleInCustomizing);
// Removes the first record of the class and its streaming registration.
void kxBarUnregisterItemClass(TClass ItemClass);
int kxBarCustomizingItemClassCount();
// The item class of the N-th record shown in customizing, nil past the end.
TClass kxBarGetCustomizingItemClass(int Index);
// The control class registered for exactly this item class (nil when none).
TClass kxBarGetItemControlClass(TClass ItemClass);
int kxBarRegisteredItemClassCount();
const TRegItemRecord& kxBarRegisteredItemClass(int Index);

// ---- live bar controls ----

// A bar control as remembered by code that runs user callbacks: the control
// and the serial it was given at creation. Serials are never reused, so a
// control freed meanwhile (even if another one now lives at its address) is
// told apart.
struct TkxBarControlRef {
  TCustomkxBarControl* Control = nullptr;
  std::uint64_t Serial = 0;
};
TkxBarControlRef kxBarRef(TCustomkxBarControl* Control);
// Registration by the bar controls themselves; the serial is assigned here.
std::uint64_t kxBarAddBarControl(TCustomkxBarControl* Control);
void kxBarRemoveBarControl(TCustomkxBarControl* Control);
bool kxBarIsBarControlAlive(const TkxBarControlRef& Ref);
int kxBarBarControlCount();
// The live bar controls in creation order (nil past the end).
TCustomkxBarControl* kxBarGetBarControl(int Index);
// The head of the active chain (the innermost open menu or the toolbar in menu mode).
TCustomkxBarControl* kxBarGetActiveBarControl();
void kxBarSetActiveBarControl(TCustomkxBarControl* Control);
// While menu mode lasts, menus show all their items.
extern bool kxBarFullMenusShown;

// ---- managers, forms, windows ----

// The manager list (in creation order).
int kxBarManagerCount();
TkxBarManager* kxBarGetManager(int Index);
void kxBarListAddManager(TkxBarManager* Manager);
void kxBarListRemoveManager(TkxBarManager* Manager);
// The first manager that is customizing or designing, else nil.
TkxBarManager* kxBarGetCustomizingManager();
// Set by the docking panels: the form that hosts a control on one of their
// floating tool windows. Empty by default.
using TkxBarParentFormHook = TComponent* (*)(TComponent* Component);
extern TkxBarParentFormHook kxBarParentFormHook;
TkxBarManager* kxBarGetManagerByForm(TComponent* Form);
void kxBarDesignerModified(TkxBarManager* Manager);
// "kxBarButton2" for a TkxBarButton when kxBarButton1 is taken.
AnsiString kxBarMakeUniqueItemName(TkxBarManager* Manager, TClass ItemClass);
TCustomkxBarControl* kxBarGetRootBarControl(TCustomkxBarControl* BarControl);
TkxBarControl* kxBarGetRootToolbar(TCustomkxBarControl* BarControl);
TCustomkxBarControl* kxBarGetItemControlRootBarControl(TkxBarItemControl* ItemControl);
TkxBarControl* kxBarGetItemControlRootToolbar(TkxBarItemControl* ItemControl);
bool kxBarIsVerticalToolbar(TCustomkxBarControl* Control);
bool kxBarIsRotatedToolbar(TCustomkxBarControl* Control);
TControl* kxBarFindControlOrParent(HWND Wnd);
bool kxBarIsChildWindow(HWND Wnd, HWND Ancestor);
HWND kxBarWindowFromPointDeep(HWND Wnd, POINT ClientPoint);
HWND kxBarWindowFromScreenPoint(POINT ScreenPoint);
TRect kxBarGetWorkArea(const TPoint& P);
bool kxBarIsLeftButtonDown();
bool kxBarIsRightButtonDown();
TkxBarItemVisible kxBarVisibleToItemVisible(bool Visible);
void kxBarEnsureMinSize20(int& Value);
// Whether a pop-up menu of any manager is being shown.
bool kxBarIsAnyPopupMenuShowing();

// ---- temporary items ----
void kxBarAddTempItem(TkxBarItem* Item);
void kxBarRemoveTempItem(TkxBarItem* Item);
int kxBarTempItemCount();
// Frees, last first, each temporary item none of whose links has an item control.
void kxBarFreeTempItems();

// ---- text, sound, messages, timers ----
AnsiString kxBarStripAccelChars(const AnsiString& Caption);
// 0 "MenuPopup", 1 "MenuCommand", 2 stop.
void kxBarPlaySound(int Kind);
void kxBarStopSound();
// The last sound kind played (-1 none) and how many were played, for checks.
int kxBarLastSoundKind();
int kxBarSoundCount();
void kxBarPumpMouseMessages();
// The next message of a modal drag loop; false ends the loop (a failed
// wait, or a quit message, which is posted again).
bool kxBarGetDragMessage(MSG& Msg);
void kxBarDispatchPaintMessages();
void kxBarBeginMouseTracking(HWND Wnd);
void kxBarEndMouseTracking(HWND Wnd);
bool kxBarIsMouseInWindow(HWND Wnd);
// The entry points looked up by name; empty ones switch the feature off.
extern BOOL (*kxBarTrackMouseEventProc)(TRACKMOUSEEVENT* Tme);
extern BOOL (*kxBarSetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
extern BOOL (*kxBarUpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
extern BOOL (*kxBarAnimateWindowProc)(HWND, DWORD, DWORD);
// Operating-system flags read once at start-up.
extern bool kxBarIsWin9x, kxBarIsWin95, kxBarHasMenuItemBitmaps;
// Bits per pixel of the screen.
int kxBarScreenBitsPerPixel();
void kxBarSetScreenBitsPerPixel(int Bits);
// The half-tone brush of checked buttons.
HBRUSH kxBarCheckerBrush();
// Renews the screen depth and the checker brush after a colour change.
void kxBarRefreshSystemResources();

// ---- drawing ----
void kxBarDrawArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool NoEmboss);
int kxBarArrowSize(const TRect& R, bool Down);
void kxBarDrawFramedArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool NoEmboss, int Size);
void kxBarDrawFocusFrame(HDC DC, const TRect& R);
struct TkxBarGlyphParams {
  HBRUSH Brush = nullptr;
  TRect ButtonRect{};
  TColor ImageListBkColor = clFuchsia;
  TColor BlendColor = clNone;
  bool UseExistingBackground = false;
  bool ShadowAllowed = false;
  bool Down = false, Checked = false, Hot = false, FlatLook = false, Grayscale = false, Enabled = true;
  int ImageIndex = -1;
  TCustomImageList* Images = nullptr;
  TBitmap* Bitmap = nullptr;
  TRect GlyphRect{};
};
void kxBarDrawGlyph(HDC DC, const TkxBarGlyphParams& P);
void kxBarFillGradient(TCanvas* Canvas, const TRect& R, TColor StartColor, TColor EndColor);
void kxBarFillBackground(HDC DC, const TRect& R, const TRect& OriginRect, TBitmap* Bitmap, TColor Color,
                         HBRUSH Brush);
void kxBarTileBitmap(HDC DC, const TRect& R, const TRect& OriginRect, TBitmap* Bitmap);
// A copy of the DC's clip region (nil when it had none).
HRGN kxBarKeepClipRegion(HDC DC, bool& HadOne);
void kxBarPutBackClipRegion(HDC DC, HRGN Kept, bool HadOne);
void kxBarClipToRect(HDC DC, const TRect& R);
void kxBarExcludeRectFromRgn(HRGN Rgn, const TRect& R);
TColor kxBarNearestColor(TColor Color);
void kxBarDrawSizeGrip(HDC DC, const TRect& R);
void kxBarSetWindowAlpha(HWND Wnd, int Alpha);
int kxBarGetEditStateId(TkxBarItemControl* Control);
TColor kxBarGetThemedEditBackground(std::uintptr_t Theme, int State);
TColor kxBarGetThemedEditTextColor(std::uintptr_t Theme, int State);
TColor kxBarThemeToolbarColor();
// The menu font of a font: scaled to the icon-title font height (at least 11
// pixels), or an exact copy. The old handle is deleted.
void kxBarCreateMenuFont(TFont* Font, HFONT& Handle, bool Scaled);
HFONT kxBarCopyFontHandle(TFont* Font);

// ---- start-up and shut-down ----
void kxBarInitUtils();
void kxBarDoneUtils();
