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
#include "bars/kxbaritems.h"

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

// Puts the customize drag's cursors (1041 move, 1042 copy, 1043 no drop)
// and the edit-width cursor (1044) into the screen's cursor table.
void kxBarInstallDragCursors();
// The screen cursor over the edges of an edit item being resized while customizing.
constexpr TCursor kxBarEditSizingCursor = 1044;

// Set while a design command of the customizing pop-up runs: category and
// item changes then leave the customizing window alone.
bool kxBarDesignCommandRunning();

// ===========================================================================
// Pop-ups of the bar library

// The context menu of dock sites and toolbars outside customizing: a checked
// entry per bar and the customize entry.
class TkxBarToolbarsPopup : public TkxBarSubMenuControl {
  PV_CLASS(TkxBarToolbarsPopup, TkxBarSubMenuControl)
 public:
  explicit TkxBarToolbarsPopup(TkxBarManager* Manager);
  ~TkxBarToolbarsPopup() override;
  bool IsCustomizing() const override { return false; }

 private:
  std::unique_ptr<TkxBarItemLinks> FLinks;
};

// Opens the toolbar list at a screen point; nothing shows when it is empty.
void kxBarShowToolbarsPopup(TkxBarManager* Manager, const TPoint& P);

// The context menu of a link while customizing: reset, delete, rename and
// restyle the link; at design time also add items and delete the toolbar.
class TkxBarCustomizingPopup : public TkxBarSubMenuControl {
  PV_CLASS(TkxBarCustomizingPopup, TkxBarSubMenuControl)
 public:
  // Link may be nil (design time); Links are the links of the window in
  // which the pop-up opens.
  TkxBarCustomizingPopup(TkxBarManager* Manager, TkxBarItemLink* Link, TkxBarItemLinks* Links);
  ~TkxBarCustomizingPopup() override;
  bool IsCustomizing() const override { return false; }

  // The entries' handlers. Choosing an entry closes the menu chain, which
  // frees the pop-up before they run: they keep nothing of it.
  static void ItemClick(TObject* Sender);
  static void EditChange(TObject* Sender);
  static void ExecuteDesignCommand(TkxBarManager* Manager, int Tag);
  void FillItemKinds(TkxBarItemLinks* Links);
  virtual void DoCloseUp();

 private:
  void CloseUpEvent(TObject* Sender) { DoCloseUp(); }
  std::unique_ptr<TkxBarItemLinks> FLinks;
};

// The open customizing pop-up and the link and links it was opened for.
TkxBarCustomizingPopup* kxBarGetCustomizingPopup();
void kxBarSetCustomizingPopup(TkxBarCustomizingPopup* Popup);
TkxBarItemLink* kxBarGetCustomizingPopupLink();
TkxBarItemLinks* kxBarGetCustomizingPopupLinks();

// ===========================================================================
// Quick customizing: the window of a toolbar's mark

// The sub item "添加或删除按钮(&A)"; its class marks the quick-customizing menus.
class TkxBarQuickSubItem : public TkxBarSubItem {
  PV_CLASS(TkxBarQuickSubItem, TkxBarSubItem)
 public:
  explicit TkxBarQuickSubItem(TComponent* AOwner) : TkxBarSubItem(AOwner) {}
};

// The one item behind every row of the quick-customizing menu: a click shows
// or hides the toolbar link the clicked row stands for.
class TkxBarQuickCustItem : public TkxBarButton {
  PV_CLASS(TkxBarQuickCustItem, TkxBarButton)
 public:
  explicit TkxBarQuickCustItem(TComponent* AOwner) : TkxBarButton(AOwner) {}
  void DoClick() override;
};

// The reset and customize entries of the quick-customizing menu.
class TkxBarQuickCustExtButton : public TkxBarButton {
  PV_CLASS(TkxBarQuickCustExtButton, TkxBarButton)
 public:
  explicit TkxBarQuickCustExtButton(TComponent* AOwner) : TkxBarButton(AOwner) {}
};

// A row: the toolbar link's caption and glyph behind a check square.
class TkxBarQuickCustItemControl : public TkxBarButtonControl {
  PV_CLASS(TkxBarQuickCustItemControl, TkxBarButtonControl)
 public:
  explicit TkxBarQuickCustItemControl(TkxBarItemLink* ALink) : TkxBarButtonControl(ALink) {}
  TkxBarItemLink* OriginalLink() const { return FLink ? FLink->OriginalLink() : nullptr; }
  AnsiString GetCaption() override;
  TBitmap* GetGlyph() override;
  int GetImageIndex() override;
  TCustomImageList* GetImages(bool Small) override;
  AnsiString GetHint() override;
  TShortCut GetShortCut() override;
  bool ClosesMenuOnClick() override { return false; }
  void Click(bool Flag) override;
  int CalcButtonWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
};

class TkxBarQuickCustExtButtonControl : public TkxBarButtonControl {
  PV_CLASS(TkxBarQuickCustExtButtonControl, TkxBarButtonControl)
 public:
  explicit TkxBarQuickCustExtButtonControl(TkxBarItemLink* ALink) : TkxBarButtonControl(ALink) {}
  int GetTextIndent() override;
  int CalcButtonWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
};

// The window the mark of a toolbar opens: the links that did not fit and
// the sub item whose menu shows or hides every link of the toolbar. It is
// shown as a menu of the toolbar's chain.
class TkxBarQuickControl : public TkxBarSubMenuControl {
  PV_CLASS(TkxBarQuickControl, TkxBarSubMenuControl)
 public:
  TkxBarQuickControl(TkxBarManager* Manager, TkxBarControl* Toolbar);
  ~TkxBarQuickControl() override;
  TkxBarControl* OwnerToolbar() const { return FOwnerToolbar; }
  TkxBarQuickSubItem* QuickSubItem() const { return FQuickSubItem; }
  TkxBarQuickCustItem* QuickCustItem() const { return FQuickCustItem; }
  // Shows the window at the mark (screen coordinates), kept on the work area.
  void ShowAtMark(const TRect& Mark);
  // The toolbar's mark goes back to normal, which frees this window.
  void Close();
  static void StartCloseTimer();
  void FillQuickSubItem(TObject* Sender);

  bool IsQuickCustomizing() const override { return true; }
  TCustomkxBarControl* GetOwnerBarControl() const override { return FOwnerToolbar; }
  HBRUSH BkBrush() const override;

 private:
  TkxBarControl* FOwnerToolbar;
  std::unique_ptr<TkxBarItemLinks> FLinks;
  TkxBarQuickSubItem* FQuickSubItem = nullptr;
  TkxBarQuickCustItem* FQuickCustItem = nullptr;
};

// The open quick-customizing window, nil when none.
TkxBarQuickControl* kxBarGetQuickControl();

// Registers and unregisters the item classes of quick customizing.
void kxBarRegisterQuickItems();
void kxBarUnregisterQuickItems();
