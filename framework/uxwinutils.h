// Free routines of the control framework that the component libraries call
// directly (desktop and window geometry, keys and mouse, pop-up menus, form
// fonts), the framework's cursors, and TuxControlChildComponent, the base of
// components that belong to a TuxControl and are stored as its children.
#pragma once
#include "framework/uxclasses.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/win/winuser.h"

class TuxControl;
class TPopupMenu;

// ---- cursors registered with the screen at start-up ----
constexpr TCursor crUxDragCopy = 2100, crUxFullScroll = 2101, crUxHorScroll = 2102, crUxVerScroll = 2103,
                  crUxUpScroll = 2104, crUxRightScroll = 2105, crUxDownScroll = 2106, crUxLeftScroll = 2107,
                  crUxRemove = 2108, crUxVertSize = 2109, crUxHorzSize = 2110, crUxMultiDrag = 2111,
                  crUxNoDrop = 2112, crUxDrag = 2113, crUxHandPoint = -2099;

// The accelerator mark in captions.
constexpr char uxHotKeyPrefix = '&';

// Registers the cursors above with the screen (those whose resource exists).
void uxInitWinUtils();

// ---- hooks the component libraries fill at start-up ----

// Maps a window inside a pop-up editor window to the window of the control that
// owns the pop-up (the in-place editors set it); the docking controller passes
// focused windows through it. nullptr until set.
using TuxOwnerWindowHook = HWND (*)(HWND Window);
extern TuxOwnerWindowHook DockingOwnerWindowHook;
// The form a control belongs to, also for a control on a floating tool window
// (the docking library sets it); the toolbars use it. nullptr until set.
using TuxParentFormHook = TCustomForm* (*)(TControl* Control);
extern TuxParentFormHook ParentFormHook;

// ---- desktop and windows ----

// The work area of the monitor nearest to screen point P (defined with the
// pop-up window, which places itself within it).
TRect uxGetDesktopWorkArea(const TPoint& P);
// Moves Bounds into the work area at DesktopPoint: left for the right edge,
// up for the bottom, then right for the left edge and down for the top, so the
// left and top edges win when Bounds is larger than the work area.
void uxFitRectToWorkArea(TRect& Bounds, const TPoint& DesktopPoint);
// As above with the work area given.
void uxFitRectToArea(TRect& Bounds, const TRect& Area);
// Converts R between the coordinate spaces of two windows; nullptr is the desktop.
void uxMapRectBetweenWindows(HWND FromWindow, HWND ToWindow, TRect& R);
// Whether the window has the child-window style.
bool uxIsChildWindow(HWND Window);
// Whether Window is Parent or one of its descendants.
bool uxIsWindowOrChild(HWND Parent, HWND Window);
// Whether some ancestor of Control has its window created.
bool uxHasAllocatedParentHandle(TControl* Control);
// The cursor's screen position.
void GetMouseCursorPos(TPoint& P);
// Redraws a control's window at once, with its children (defined with the base control).
void uxRedrawWindowNow(TWinControl* Control);

// ---- mouse and keys ----

// Whether (X, Y) lies within the drag threshold of P on both axes (defined with
// the base control, which uses it for its pressed area).
bool uxIsInDragThreshold(const TPoint& P, int X, int Y);
// Whether the Ctrl key is down at this moment.
bool uxIsCtrlPressed();
// The mouse-message key flags (MK_*) of a shift state; Alt and double click give none.
UINT uxShiftStateToMouseKeys(TShiftState Shift);
// The key unchanged (the hook where keyboard layouts could be folded).
Word uxNormalizeKey(Word Key);
// The names the editor framework calls these by.
inline UINT ShiftStateToKeys(TShiftState Shift) { return uxShiftStateToMouseKeys(Shift); }
inline Word TranslateKey(Word Key) { return uxNormalizeKey(Key); }
// Digits and signs; Kind 1 adds the decimal separator, Kind 2 also "e" and "E".
bool uxIsNumericChar(char Ch, int Kind);
// Character code 32 or above.
bool uxIsPrintableChar(char Ch);
// Text without accelerator marks: "&" is dropped and the next character kept
// ("&&" gives "&"); a "&" at the end gives "_".
AnsiString uxRemoveHotKeyPrefix(const AnsiString& Text);

// ---- pop-up menus (a TPopupMenu or a component offering IuxPopupMenu) ----

// Shows Menu at a screen point; False when there is nothing to show (defined
// with the base control).
bool ShowPopupMenu(TControl* Caller, TComponent* Menu, int X, int Y);
// Whether the key message is a shortcut of Menu (defined with the base control).
bool IsPopupMenuShortCut(TComponent* Menu, TWMKey& Message);
// The height Menu will have when it pops up, in the menu font.
int uxGetPopupMenuHeight(TComponent* Menu);

// ---- forms ----

// Gives Form the font and scales its controls and client size by the change
// of the text height; nothing is scaled when the old height is 0.
void uxSetFormFont(TCustomForm* Form, TFont* Font);

// ---- components that belong to a TuxControl ----

// Made through NewObject<T>(...) (the platform's constructor call), so that
// InitChildComponent reaches the descendant's override from AfterConstruction.
class TuxControlChildComponent : public TuxComponent {
  PV_CLASS(TuxControlChildComponent, TuxComponent)
 public:
  explicit TuxControlChildComponent(TComponent* AOwner);
  // Owned by Control's owner when AssignOwner, else by nobody; SetControl(Control)
  // runs after InitChildComponent.
  TuxControlChildComponent(TuxControl* AControl, bool AssignOwner);
  // When it has a control, the control's RemoveChildComponent runs first.
  ~TuxControlChildComponent() override;
  void AfterConstruction() override;

  TuxControl* Control() const { return FControl; }
  // Stores the control (and hears when it is freed); a TuxControl's
  // AddChildComponent and RemoveChildComponent call it for their side.
  virtual void SetControl(TuxControl* Value);

  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  virtual bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return FControl != nullptr; }
  // A TuxControl as parent takes the component through its AddChildComponent.
  void SetParentComponent(TComponent* Value) override;
  // A freed control is forgotten, so the component never reaches it afterwards.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // Run once, before the component is attached to a control; descendants create
  // their sub-objects here. Empty in the base.
  virtual void InitChildComponent() {}

 private:
  TuxControl* FControl = nullptr;
  TuxControl* FPendingControl = nullptr;  // from the second constructor, until AfterConstruction
  bool FInitialized = false;
};
