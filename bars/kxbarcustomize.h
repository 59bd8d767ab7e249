// Customizing at run time: the seam to the customizing window, the routines
// that keep that window up to date, and the small pop-ups of the bar library
// (the toolbar list, the customizing pop-up of a link and the quick
// customizing window of a toolbar's mark).
//
// The customizing window lives in its own unit and registers its routines
// here at start-up (kxBarSetCustomizingFormHooks). Until it does, customizing
// mode runs without a window: the manager only fires its show and hide
// events. Every kxBarCustomizingForm... routine does nothing while no window
// routine is registered or no window is open.
#pragma once
#include "bars/kxbar.h"

class TkxBarSubItem;

// Sent by the drag loop to the sub-menu editor window while a dragged item
// passes over it (no parameters).
constexpr UINT WM_KXBAR_DRAGOVEREDITOR = WM_USER + 20;

// Bar index given to the "Customize" entry of the toolbar list.
constexpr int kxBarCustomizeEntryTag = 1000;

struct TkxBarCustomizingFormHooks {
  // Opens (Show) or closes the window for a manager: disables or enables
  // the forms of the live managers, creates or frees the window and the
  // sub-menu editor. The manager fires OnShowCustomizingForm before the
  // open call and OnHideCustomizingForm after the close call itself.
  void (*Show)(TkxBarManager* Manager, bool Show) = nullptr;
  // The open window, nil when none.
  TCustomForm* (*Form)() = nullptr;
  // The sub-menu editor window, nil when none is open.
  HWND (*SubMenuEditor)() = nullptr;
  void (*StyleChanged)() = nullptr;
  void (*HelpButtonChanged)() = nullptr;
  void (*BarRemoved)(TkxBar* Bar) = nullptr;
  void (*BarChanged)(TkxBar* Bar) = nullptr;
  void (*ItemsChanged)() = nullptr;
  void (*SelectItem)(TkxBarItem* Item, bool Force) = nullptr;
  void (*ItemDestroyed)() = nullptr;
  void (*OptionsChanged)() = nullptr;
  void (*CategoryChanged)(TkxBarItem* Item) = nullptr;
  void (*ItemNameChanged)() = nullptr;
  void (*GroupsChanged)() = nullptr;
  void (*GroupItemsChanged)() = nullptr;
};
void kxBarSetCustomizingFormHooks(const TkxBarCustomizingFormHooks& Hooks);
const TkxBarCustomizingFormHooks& kxBarCustomizingFormHooks();

void kxBarShowCustomizingForm(TkxBarManager* Manager, bool Show);
TCustomForm* kxBarGetCustomizingForm();
HWND kxBarGetSubMenuEditorWindow();
void kxBarCustomizingFormStyleChanged();
void kxBarCustomizingFormHelpButtonChanged();
void kxBarCustomizingFormBarRemoved(TkxBar* Bar);
void kxBarCustomizingFormBarChanged(TkxBar* Bar);
void kxBarCustomizingFormItemsChanged();
void kxBarCustomizingFormSelectItem(TkxBarItem* Item, bool Force);
void kxBarCustomizingFormItemDestroyed();
void kxBarCustomizingFormOptionsChanged();
void kxBarCustomizingFormCategoryChanged(TkxBarItem* Item);
void kxBarCustomizingFormItemNameChanged();
void kxBarCustomizingFormGroupsChanged();
void kxBarCustomizingFormGroupItemsChanged();

// Set while a design command of the customizing pop-up runs: category and
// item changes then leave the customizing window alone.
bool kxBarDesignCommandRunning();
