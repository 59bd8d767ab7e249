// The three thread hooks the bar library installs while a manager exists:
// the keyboard hook (F10 and Alt open the main menu, shortcuts and access
// keys reach their items, keys go to an open menu), the mouse hook (clicks
// outside close open menus) and the call-window-procedure hook (the owner
// form's messages reach its manager).
#pragma once
#include "bars/kxbarconsts.h"
#include "platform/win/winuser.h"

// Adds the manager to the live list and installs the hooks that are missing.
void kxBarAddManager(TkxBarManager* Manager);
// Removes it; with the last manager the hooks go.
void kxBarRemoveManager(TkxBarManager* Manager);
bool kxBarHooksInstalled();

LRESULT kxBarKeyboardHookProc(int Code, WPARAM Key, LPARAM KeyData);
LRESULT kxBarMouseHookProc(int Code, WPARAM Message, LPARAM MouseData);
LRESULT kxBarCallWndProcHookProc(int Code, WPARAM Flag, LPARAM MessageData);

// A key from an in-place edit window, run through the keyboard procedure
// without the hook chain; true when the bar library handled it.
bool kxBarProcessEditKey(Word Key, LPARAM KeyData, bool AltKey);
// Set by a toolbar while it drags itself with the mouse captured: every key is swallowed.
extern bool kxBarMouseModeFlag;

bool kxBarProcessShortCut(TShortCut ShortCut);
// Shortcut of a key and the current state of Shift, Ctrl and Alt.
TShortCut kxBarShortCutOfKey(Word Key);
// Shift bits for access keys: Shift 1, Alt 2, Ctrl 4.
int kxBarGetShiftState();
bool kxBarIsAnyKeyDown();
