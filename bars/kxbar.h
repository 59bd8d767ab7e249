// The core of the bar library: the bar manager of a form, its items and the
// links that place them in bars and menus, the bars with their dock sites,
// and the windows that show them (toolbars and drop-down menus) with the
// item controls inside them.
//
// One TkxBarManager per form owns the form's bars (TkxBars), lists its items
// (TkxBarItem, owned by the form) and chooses the painter of its style. A bar
// (TkxBar) is pure data; while it is visible its links are shown by one
// TkxBarControl docked in a TkxDockControl or floating. A sub item's links
// are shown by a TkxBarSubMenuControl when its menu opens. Every shown link
// gets a TkxBarItemControl that measures, paints and reacts for it.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "bars/kxbarconsts.h"
#include "bars/kxbarpainter.h"
#include "bars/kxbarutils.h"
#include "framework/uxclasses.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxthemes.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"
#include "platform/rtl/stringlist.h"

class TkxBarItemActionLink;
class TkxBarShadow;

// Posted by a bar window to itself to rebuild after the current click.
constexpr UINT WM_KXBAR_REBUILD = WM_USER + 1;

// ===========================================================================
// Bar manager
// ===========================================================================

// Set while a temporary copy of a form's manager is read from the form's
// description: that copy reads no stored layout.
extern bool kxBarReadingTempForm;

class TkxBarManager : public TComponent {
  PV_CLASS(TkxBarManager, TComponent)
 public:
  // A nil owner becomes the application's main form. Raises when the owner is
  // not a form or the form has a manager already.
  explicit TkxBarManager(TComponent* AOwner);
  ~TkxBarManager() override;

  // ---- settings ----
  bool AllowCallFromAnotherForm() const { return FAllowCallFromAnotherForm; }
  void SetAllowCallFromAnotherForm(bool V) { FAllowCallFromAnotherForm = V; }
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool V) { FAllowReset = V; }
  bool AlwaysMerge() const { return FAlwaysMerge; }
  void SetAlwaysMerge(bool V) { FAlwaysMerge = V; }
  bool AlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool V) { FAlwaysSaveText = V; }
  bool AutoDockColor() const { return FAutoDockColor; }
  void SetAutoDockColor(bool Value);
  bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
  void SetAutoHideEmptyBars(bool Value);
  TkxBars* Bars() const { return FBars.get(); }
  void SetBars(TkxBars* Value);
  int ButtonArrowWidth() const { return FButtonArrowWidth; }
  void SetButtonArrowWidth(int Value);
  bool CanCustomize() const { return FCanCustomize; }
  void SetCanCustomize(bool V) { FCanCustomize = V; }
  TkxBarManagerCategories* Categories() const { return FCategories.get(); }
  void SetCategories(TStringList* Value);
  // Category visibility; bad indexes are ignored and answered neutrally.
  TkxBarItemVisible GetCategoryItemsVisible(int Index) const;
  bool GetCategoryVisible(int Index) const;
  void SetCategoryItemsVisible(int Index, TkxBarItemVisible Value);
  void SetCategoryVisible(int Index, bool Value);
  // The index of the N-th visible category (N itself at design time), or -1.
  int GetCategoryIndexByVisibleIndex(int N) const;
  int GetItemsByCategory(int Index, std::vector<TkxBarItem*>& List) const;
  // Outside design time only the available items not hidden from customizing.
  int GetVisibleItemsByCategory(int Index, std::vector<TkxBarItem*>& List) const;
  TkxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks.get(); }
  void SetPopupMenuLinks(TkxBarPopupMenuLinks* Value);
  TkxBarBackgrounds* Backgrounds() const { return FBackgrounds.get(); }
  void SetBackgrounds(TkxBarBackgrounds* Value);
  TColor DockColor() const { return GetDockColor(); }
  void SetDockColor(TColor Value);
  bool FlatCloseButton() const { return FFlatCloseButton; }
  void SetFlatCloseButton(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBitmap* HelpButtonGlyph() const { return FHelpButtonGlyph.get(); }
  void SetHelpButtonGlyph(TBitmap* Value) { FHelpButtonGlyph->Assign(Value); }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int V) { FHelpContext = V; }
  bool HideFloatingBarsWhenInactive() const { return FHideFloatingBarsWhenInactive; }
  void SetHideFloatingBarsWhenInactive(bool Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);
  TCustomImageList* DisabledLargeImages() const { return FDisabledLargeImages; }
  void SetDisabledLargeImages(TCustomImageList* Value);
  TColor ImageListBkColor() const { return FImageListBkColor; }
  void SetImageListBkColor(TColor Value);
  AnsiString IniFileName() const { return FIniFileName; }
  void SetIniFileName(const AnsiString& V) { FIniFileName = V; }
  int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
  void SetLargeButtonArrowWidth(int Value);
  bool LargeIcons() const { return FLargeIcons; }
  void SetLargeIcons(bool Value);
  TuxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TuxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  bool MakeDisabledImagesFaded() const { return FMakeDisabledImagesFaded; }
  void SetMakeDisabledImagesFaded(bool Value);
  TkxBarMenuAnimations MenuAnimations() const { return FMenuAnimations; }
  void SetMenuAnimations(TkxBarMenuAnimations Value);
  bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
  void SetMenusShowRecentItemsFirst(bool Value);
  Byte MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
  void SetMostRecentItemsPercents(Byte Value);
  TkxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TkxBarDockingStyles Value);
  AnsiString RegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const AnsiString& V) { FRegistryPath = V; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value);
  bool ShowCloseButton() const { return FShowCloseButton; }
  void SetShowCloseButton(bool Value);
  bool ShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
  void SetShowFullMenusAfterDelay(bool Value);
  bool ShowHelpButton() const { return FShowHelpButton; }
  void SetShowHelpButton(bool V);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  // Asks for the selected item's hint (or Text) after the usual delay, or hides it.
  void ShowHint(bool Show, const AnsiString& Text);
  void ShowHintNow();
  bool ShowHintForDisabledItems() const { return FShowHintForDisabledItems; }
  void SetShowHintForDisabledItems(bool V) { FShowHintForDisabledItems = V; }
  bool ShowShortCutInHint() const { return FShowShortCutInHint; }
  void SetShowShortCutInHint(bool Value);
  bool StoreInIniFile() const { return FStoreInIniFile; }
  void SetStoreInIniFile(bool V) { FStoreInIniFile = V; }
  bool StoreInRegistry() const { return FStoreInRegistry; }
  void SetStoreInRegistry(bool V) { FStoreInRegistry = V; }
  bool StretchGlyphs() const { return FStretchGlyphs; }
  void SetStretchGlyphs(bool V) { FStretchGlyphs = V; }
  TkxBarManagerStyle Style() const { return FStyle; }
  void SetStyle(TkxBarManagerStyle Value);
  bool SunkenBorder() const { return FSunkenBorder; }
  void SetSunkenBorder(bool Value);
  bool UseF10ForMenu() const { return FUseF10ForMenu; }
  void SetUseF10ForMenu(bool V) { FUseF10ForMenu = V; }
  bool UseFullReset() const { return FUseFullReset; }
  void SetUseFullReset(bool V) { FUseFullReset = V; }
  bool UseLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons; }
  void SetUseLargeImagesForLargeIcons(bool Value);
  bool UseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(bool Value);
  int WaitForDockingTime() const { return FWaitForDockingTime; }
  void SetWaitForDockingTime(int Value);

  // ---- events ----
  TkxBarEvent OnBarAdd, OnBarDelete, OnBarAfterReset, OnBarBeforeReset, OnBarClose, OnBarDockingStyleChange;
  TkxBarVisibleChangeEvent OnBarVisibleChange;
  TkxBarItemLinkEvent OnItemLinkAdd, OnItemLinkChange, OnItemLinkDelete;
  TNotifyEvent OnCloseButtonClick, OnHelpButtonClick, OnShowCustomizingForm, OnHideCustomizingForm;
  TkxBarCanDockingEvent OnDocking;
  TkxBarMenuMergeEvent OnMenuMerge;
  TkxBarShowPopupEvent OnShowCustomizingPopup, OnShowToolbarsPopup;
  TkxBarClickItemEvent OnClickItem;

  // ---- overridable operations ----
  virtual void DoClickItem(TkxBarItem* Item);
  virtual bool CanDocking(TkxBar* Bar, TkxBarDockingStyle Style, TkxDockControl* DockControl);
  virtual TkxBarItemControlPainterClass GetPainterClass();
  virtual void DoBarAfterReset(TkxBar* Bar);
  virtual void DoBarBeforeReset(TkxBar* Bar);
  virtual void DoBarClose(TkxBar* Bar);
  virtual void DoBarDockingStyleChange(TkxBar* Bar);
  virtual void DoCloseButtonClick();
  virtual void DoHelpButtonClick();
  virtual void DoShowCustomizingPopup(TkxBarItemLinks* Links);
  virtual void DoShowToolbarsPopup(TkxBarItemLinks* Links);

  // ---- lookups ----
  TCustomForm* OwnerForm() const { return FOwnerForm; }
  TkxBarItem* ItemByName(const AnsiString& Name) const;
  TkxBar* BarByName(const AnsiString& Text) const;
  TkxBar* BarByCaption(const AnsiString& Text) const;
  int ItemCount() const { return int(FItems.size()); }
  TkxBarItem* GetItem(int Index) const;
  void MoveItem(int From, int To);
  void ExchangeItems(int A, int B);
  int GroupCount() const { return int(FGroups.size()); }
  TkxBarGroup* GetGroup(int Index) const;
  TkxBarGroup* AddGroup();
  // Groups join and leave the list themselves.
  void InsertGroup(TkxBarGroup* Group);
  void RemoveGroup(TkxBarGroup* Group);
  void MoveGroup(TkxBarGroup* Group, int Index);
  // The pop-up menus attached to this manager (they join and leave themselves).
  int PopupMenuCount() const { return int(FPopupMenus.size()); }
  TkxBarPopupMenu* GetPopupMenu(int Index) const { return FPopupMenus[std::size_t(Index)]; }
  void AddPopupMenu(TkxBarPopupMenu* Menu);
  void RemovePopupMenu(TkxBarPopupMenu* Menu);
  int DockControlCount() const { return int(FDockControls.size()); }
  TkxDockControl* GetDockControl(int Index) const;
  void AddDockControl(TkxDockControl* DockControl);
  void RemoveDockControl(TkxDockControl* DockControl);
  TkxBarControl* MainMenuControl() const;
  TkxBar* MainMenuBar() const { return FMainMenuBar; }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool IsDesigning() const { return FDesigning; }
  bool IsCustomizing() const { return FIsCustomizing; }
  bool IsCustomizingOrDesigning() const { return FIsCustomizing || FDesigning; }
  bool HasBarInMenuMode() const { return FBarInMenuMode != nullptr; }
  TkxBarControl* BarInMenuMode() const { return FBarInMenuMode; }
  void SetBarInMenuMode(TkxBarControl* Value) { FBarInMenuMode = Value; }
  bool IsFlat() const { return FStyle == bmsFlat; }
  TkxBarManagerStyle GetEffectiveStyle() const;
  bool IsRecentItemsSupported() const { return GetEffectiveStyle() != bmsStandard; }
  bool IsShowRecentItemsFirst() const { return IsRecentItemsSupported() && FMenusShowRecentItemsFirst; }
  TColor GetDockColor() const;
  TkxBarItemControl* SelectedItem() const { return FSelectedItem; }
  void SetSelectedItem(TkxBarItemControl* Control);
  // Clears the selection without closing menus or repainting.
  void ForgetSelectedItem() { FSelectedItem = nullptr; }
  // A flag, not a counter: callers keep the old value and restore it.
  bool LockedUpdate() const { return FLockUpdate; }
  void LockUpdate(bool Locked);
  void StyleChanged();
  void RefreshBars();
  void LargeIconsChanged();
  void FontChanged(TObject* Sender);
  void DesignerModified();
  void ItemChangedInCustomizing(TkxBarItem* Item);
  void HideAll();
  bool StyleChanging() const { return FStyleChanging; }
  bool SubMenuDragging() const { return FSubMenuDragging; }
  void SetSubMenuDragging(bool V) { FSubMenuDragging = V; }
  // Set while a menu is dragged off by its detach strip.
  bool DetachingMenu() const { return FDetachingMenu; }
  void SetDetachingMenu(bool V) { FDetachingMenu = V; }
  bool Dragging() const { return FDragging; }
  TkxBarItem* DragItem() const { return FDragItem; }
  TkxBarItemLink* DragItemLink() const { return FDragItemLink; }
  void SetDragState(TkxBarItem* Item, TkxBarItemLink* Link) {
    FDragItem = Item;
    FDragItemLink = Link;
  }
  // Runs the drag loop for the link a bar window armed (SetDragState).
  void StartDragItem();
  // ---- customizing (kxbarcustomize.cpp) ----
  void SetCustomizing(bool Value);
  // The modal drag loop of customizing: moves, copies or removes links
  // between bars and menus. Link is nil for a command dragged from the
  // customizing window's command list.
  void DragItem(TkxBarItem* Item, TkxBarItemLink* Link);
  // Draws the insertion mark at an item control; drawing it again erases it.
  void DrawDragMark(TkxBarItemControl* ItemControl, bool InGap, bool Vertical, bool Before);
  // The toolbar list: a checked entry per bar that can be closed, then the
  // "Customize" entry.
  void FillToolbarsPopup(TkxBarItemLinks* Links);
  void AddCustomizeItem(TkxBarItemLinks* Links, bool BeginGroup, TClass ItemClass);
  void ToolbarsPopupClick(TObject* Sender);
  // The reset entry of quick customizing: resets the bar whose index is the
  // entry's tag, after asking. The quick window is gone by the time it runs.
  void QuickResetClick(TObject* Sender);
  bool WindowCreating() const { return FWindowCreating; }
  bool FormActive() const { return FFormActive; }
  bool DesignerNotificationEnabled() const { return FDesignerNotification; }
  void SetDesignerNotificationEnabled(bool V) { FDesignerNotification = V; }
  bool DockLayoutPending() const { return FDockLayout; }

  // ---- painting and metrics ----
  TkxBarItemControlPainterClass PainterClass() const { return FPainterClass; }
  HFONT MenuFontHandle() const { return FMenuFontHandle; }
  int ImageSize() const { return FImageSize; }
  int ButtonWidth() const { return FButtonWidth; }
  int ButtonHeight() const { return FButtonHeight; }
  int DropDownArrowWidth() const { return FDropDownArrowWidth; }
  int GripOffset() const { return FGripOffset; }
  int GripAreaSize() const { return FGripAreaSize; }
  int MenuSeparatorIndent() const { return FMenuSeparatorIndent; }
  bool UseLargeImages() const { return FUseLargeImagesForLargeIcons && FLargeImages; }
  int InitialUseCount() const { return FInitialUseCount; }
  bool VisualStylesAvailable() const { return FVisualStyles; }
  HBRUSH FlatShadowBrush() const { return FBrushes[0]; }
  HBRUSH FlatLightBrush() const { return FBrushes[1]; }
  HBRUSH XPBackgroundBrush() const { return FBrushes[2]; }
  HBRUSH XPDownBrush() const { return FBrushes[3]; }
  HBRUSH XPSelectedBrush() const { return FBrushes[4]; }
  TColor FlatShadowColor() const { return FColors[0]; }
  TColor FlatLightColor() const { return FColors[1]; }
  TColor XPBackgroundColor() const { return FColors[2]; }
  TColor XPDownColor() const { return FColors[3]; }
  TColor XPSelectedColor() const { return FColors[4]; }
  HBRUSH ThemedToolbarBrush() const { return FThemedToolbarBrush; }
  // The backgrounds' bitmaps when not empty, else nil.
  TBitmap* BarBackground() const;
  TBitmap* SubMenuBackground() const;
  int GetFloatingBorderWidth() const;
  int GetFloatingBorderHeight() const;
  int GetBarGripSize(TkxBar* Bar) const;
  int GetLargeDropDownArrowWidth();
  bool CanReset() const { return FAllowReset && FReadCount == 1; }
  HWND GetDragCaptureWindow();

  // ---- the stored layout ----
  // Each does nothing for an empty path or file name. Loading refuses a
  // damaged layout as a whole (EkxBarError) and keeps the current one.
  void SaveToRegistry(const AnsiString& Path);
  void LoadFromRegistry(const AnsiString& Path);
  void SaveToIniFile(const AnsiString& FileName);
  void LoadFromIniFile(const AnsiString& FileName);
  // The dotted owner path of a dock control ("Form1.DockControl1") and back.
  AnsiString GetDockControlPath(TkxBarDockControl* DockControl) const;
  TkxBarDockControl* FindDockControl(const AnsiString& Path) const;
  // The stores the manager is set to use, read after loading and written
  // when the form's window goes.
  void LoadStoredLayout();
  void SaveStoredLayout();

  // ---- reset from the form description ----
  // A temporary form holding a copy of this manager read from the owner
  // form's description (nil when there is none); the caller frees it.
  TCustomForm* CreateFormFromResource();
  // The links of the bars and sub items take the usage data of the copy's.
  void ResetUsageData();
  void ResetUsageDataWithConfirmation();

  // ---- the owner form ----
  // The manager's reaction to a message of its form, called by the window hook
  // before the form's window procedure sees it.
  void FormMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
  void FormActivated(bool Active, bool Hiding, HWND OtherWindow);
  void KeepFloatingBarsOnScreen();
  void UpdateSystemFont();
  void RefreshResources();
  bool ActivationReentry() const { return FActivationReentry; }

  // ---- MDI menu merging (kxbarmdi.cpp) ----
  // The active MDI child of the owner form (an MDI frame), from its MDI client.
  HWND GetActiveMDIChild() const;
  // An MDI child was activated, maximized, restored or destroyed.
  void ChildActivated(HWND Window);
  // The main menu bar's update lock when ChildActivated began.
  bool MergeLock() const { return FMergeLock; }
  // The visibility of the merged child's main menu bar before the merge.
  bool SavedChildMenuVisible() const { return FSavedChildMenuVisible; }
  void SetSavedChildMenuVisible(bool V) { FSavedChildMenuVisible = V; }

  // ---- bars waiting for the form's window ----
  void CreatePendingBarList();
  void AddPendingBar(TkxBar* Bar);
  void RemovePendingBar(TkxBar* Bar);
  bool HasPendingBars() const { return FPendingBars && !FPendingBars->empty(); }
  void ShowPendingBars(TkxDockControl* DockControl);

  // ---- component ----
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ReadState(TReader* Reader) override;
  void SetName(const AnsiString& NewName) override;

  // Items add and remove themselves (creation order).
  void AddItem(TkxBarItem* Item);
  void RemoveItem(TkxBarItem* Item);
  void SetMainMenuBar(TkxBar* Bar) { FMainMenuBar = Bar; }
  // The widths of the left and right form-edge sites, the heights of the top
  // and bottom ones.
  void GetDockControlHeights(int Sizes[4]) const;
  void SetDockControlHeights(const int Sizes[4]);

 protected:
  void DefineProperties(TFiler* Filer) override;

 private:
  static TComponent* ResolveOwner(TComponent* AOwner);
  void UpdatePainter();
  void CalcImageSizes();
  void CalcInitialUseCount();
  void ImageListChanged(int Which);
  void ImageChangeLinkChanged(TObject* Sender);
  void SetImageList(int Which, TCustomImageList* Value);
  void CreateResources();
  void FreeResources();
  void CreateBrushes();
  void DeleteBrushes();
  void HelpButtonGlyphChanged(TObject* Sender);
  void RebuildBarWindows();
  // Tells the customizing window that an option changed.
  void CustomizingRefresh();
  void SyncFormColor();

  bool FConstructing = true;
  bool FDesigning = false;
  bool FDesignerNotification = false;
  bool FStyleChanging = false;
  bool FSubMenuDragging = false;
  bool FDetachingMenu = false;
  bool FDockLayout = false;
  bool FSystemFontFlag = false;
  bool FIsCustomizing = false;
  bool FWindowCreating = false;
  bool FLockUpdate = false;
  bool FFormActive = false;
  bool FActivationReentry = false;
  bool FVisualStyles = false;
  bool FDragging = false;
  TkxBarItem* FDragItem = nullptr;
  TkxBarItemLink* FDragItemLink = nullptr;

  bool FAllowCallFromAnotherForm = false, FAllowReset = true, FAlwaysMerge = false, FAlwaysSaveText = false;
  bool FAutoDockColor = true, FAutoHideEmptyBars = false, FCanCustomize = true, FFlatCloseButton = false;
  bool FHideFloatingBarsWhenInactive = true, FLargeIcons = false, FMakeDisabledImagesFaded = false;
  bool FMenusShowRecentItemsFirst = true, FScaled = true, FShowCloseButton = false, FShowFullMenusAfterDelay = true;
  bool FShowHelpButton = false, FShowHint = true, FShowHintForDisabledItems = true, FShowShortCutInHint = false;
  bool FStoreInIniFile = false, FStoreInRegistry = false, FStretchGlyphs = true, FSunkenBorder = false;
  bool FUseF10ForMenu = true, FUseFullReset = false, FUseLargeImagesForLargeIcons = false, FUseSystemFont = false;
  int FButtonArrowWidth = 11, FLargeButtonArrowWidth = 13, FHelpContext = 0, FWaitForDockingTime = 21;
  Byte FMostRecentItemsPercents = 95;
  TColor FStoredDockColor = clBtnFace, FImageListBkColor = clFuchsia;
  AnsiString FIniFileName, FRegistryPath;
  TkxBarMenuAnimations FMenuAnimations = maNone;
  TkxBarDockingStyles FNotDocking;
  TkxBarManagerStyle FStyle = bmsEnhanced;

  TCustomForm* FOwnerForm = nullptr;
  std::unique_ptr<TkxBars> FBars;
  std::unique_ptr<TkxBarManagerCategories> FCategories;
  std::unique_ptr<TkxBarBackgrounds> FBackgrounds;
  std::unique_ptr<TkxBarPopupMenuLinks> FPopupMenuLinks;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBitmap> FHelpButtonGlyph;
  std::unique_ptr<TuxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TkxThemeChangedNotificator> FThemeNotificator;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FDisabledLargeImages = nullptr;
  std::unique_ptr<TChangeLink> FChangeLinks[5];
  std::vector<TkxBarItem*> FItems;
  std::vector<TkxDockControl*> FDockControls;
  std::vector<TkxBarGroup*> FGroups;
  std::vector<TkxBarPopupMenu*> FPopupMenus;
  std::unique_ptr<std::vector<TkxBar*>> FPendingBars;
  HFONT FMenuFontHandle = nullptr;
  HBRUSH FBrushes[5] = {};
  TColor FColors[5] = {};
  HBRUSH FThemedToolbarBrush = nullptr;
  bool FOffice11Acquired = false;
  TkxBarControl* FBarInMenuMode = nullptr;
  TkxBar* FMainMenuBar = nullptr;
  TkxBarItemControl* FSelectedItem = nullptr;
  int FInitialUseCount = 20;
  TkxBarItemControlPainterClass FPainterClass = nullptr;
  int FReadCount = 0;
  int FGripOffset = 0, FGripAreaSize = 0, FMenuSeparatorIndent = 0;
  int FImageSize = 16, FButtonWidth = 23, FButtonHeight = 22, FDropDownArrowWidth = 11;
  int FLoadedDockSizes[4] = {-1, -1, -1, -1};
  HWND FLastActiveChild = nullptr;
  bool FChildMaximized = false, FSavedChildMenuVisible = true, FMergeLock = false;
};

// ===========================================================================
// Items and links
// ===========================================================================

class TkxBarItem : public TComponent {
  PV_CLASS(TkxBarItem, TComponent)
 public:
  explicit TkxBarItem(TComponent* AOwner);
  ~TkxBarItem() override;

  TkxBarManager* BarManager() const { return FBarManager; }
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TkxBarItemAlign Align() const { return FAlign; }
  void SetAlign(TkxBarItemAlign Value);
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  int Category() const { return FCategory; }
  // Renumbering by the category list: no checks, no notification.
  void SetCategoryDirect(int Value) { FCategory = Value; }
  void SetCategory(int Value);
  AnsiString Description() const { return FDescription; }
  void SetDescription(const AnsiString& Value) { FDescription = Value; }
  // During run-time customizing an item with a category reads as enabled.
  bool Enabled() const;
  bool StoredEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  TkxBarItemVisible Visible() const { return FVisible; }
  void SetVisible(TkxBarItemVisible Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndexValue(int Value) { SetImageIndex(Value); }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  TNotifyEvent OnClick;
  TNotifyEvent OnDestroy;

  // ---- state ----
  int LinkCount() const { return int(FLinks.size()); }
  TkxBarItemLink* Links(int Index) const { return FLinks[Index]; }
  TkxBarItemLink* CurItemLink() const;
  void LinksClear();
  TkxBarItemLink* ClickItemLink() const { return FClickItemLink; }
  void SetClickItemLink(TkxBarItemLink* Link) { FClickItemLink = Link; }
  bool IsAvailable() const;
  AnsiString GetHintText() const;
  bool HintFollowsCaption() const;
  bool IsImageAssigned() const;
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsCustomizing() const;
  TkxBarItemVisible DeferredVisible() const { return FDeferredVisible; }
  void ApplyLoadedVisible();
  // Run by the manager when it finishes loading: the stored visibility.
  virtual void ManagerLoaded() { ApplyLoadedVisible(); }

  // ---- overridable operations ----
  virtual void BarManagerChanged() {}
  virtual bool CanClicked() const { return true; }
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual int GetImageIndex() const { return FImageIndex; }
  virtual void SetActionImageIndex(int Value) { SetImageIndex(Value); }
  virtual bool IsHiddenInCustomizing() const { return false; }
  virtual void GlyphChanged();
  virtual bool CanUseAccel(TkxBarItemLink* Link) const { return Enabled(); }
  virtual void HideHostedWindow(TCustomkxBarControl* Control) {}
  virtual void HotGlyphChanged() {}
  virtual bool CanBeVisible() const { return true; }
  virtual void LargeGlyphChanged() {}
  virtual bool HasHostedWindow() const { return false; }
  virtual void BarNotification(TOperation Operation, TkxBar* Bar) {}
  virtual void SetImageIndex(int Value);
  virtual void ShortCutChanged();
  virtual void RepaintControls();
  virtual void RebuildWindows();
  virtual bool UsesHotImages() const { return false; }
  virtual bool UsesLargeImages() const { return false; }
  virtual void VisibleChanged();
  virtual TCustomImageList* GetImages() const;
  // The click path: DirectClick checks CanClicked, Click checks Enabled and
  // shields the caller from the handlers' exceptions, DoClick runs OnClick or
  // the action.
  virtual void DirectClick();
  virtual void Click();
  virtual void DoClick();
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual void AlignChanged();
  // A button's pressed state (kept on the base for the action link).
  virtual bool GetDown() const { return false; }
  virtual void SetDown(bool Value) {}
  // Whether this item is Obj or leads to it through its own menu (a sub item's
  // links, a drop-down button's menu).
  virtual bool RefersTo(const TObject* Obj) const { return Obj == this; }
  // The links of the menu the item opens (sub items), else nil.
  virtual TkxBarItemLinks* SubItemLinks() const { return nullptr; }
  // A drop-down button offers a shortcut to the links of its menu.
  virtual bool ProcessDropDownShortCut(TShortCut ShortCut) { return false; }

  // ---- component ----
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ReadState(TReader* Reader) override;
  void SetName(const AnsiString& NewName) override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  bool HasParent() const override { return true; }
  void AssignTo(TPersistent* Dest) override;

  // Links join and leave the item's list.
  void AddLink(TkxBarItemLink* Link);
  void RemoveLink(TkxBarItemLink* Link);
  void SetBarManager(TkxBarManager* Manager);
  bool ActionCopying() const { return FActionCopying; }
  TkxBarItemActionLink* ActionLink() const { return FActionLink.get(); }
  // Published stored predicates (a value supplied by the action is not stored).
  bool IsCaptionStored() const;
  bool IsEnabledStored() const;
  bool IsHelpContextStored() const;
  bool IsHintStored() const;
  bool IsImageIndexStored() const;
  bool IsShortCutStored() const;
  bool IsVisibleStored() const;
  bool IsOnClickStored() const;

 protected:
  void DoGlyphChanged(TObject* Sender) { GlyphChanged(); }
  void ActionLinkChanged(TObject* Sender);

  TkxBarManager* FBarManager = nullptr;
  AnsiString FCaption, FDescription, FHint;
  TkxBarItemAlign FAlign = iaLeft;
  int FCategory = -1;
  bool FEnabled = true;
  int FHelpContext = 0;
  TkxBarItemVisible FVisible = ivAlways;
  TkxBarItemVisible FDeferredVisible = ivAlways;
  std::unique_ptr<TBitmap> FGlyph;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  std::vector<TkxBarItemLink*> FLinks;
  std::unique_ptr<TkxBarItemActionLink> FActionLink;
  TkxBarItemLink* FClickItemLink = nullptr;
  bool FActionCopying = false;
};

// The link of an item to a platform action.
class TkxBarItemActionLink : public TActionLink {
  PV_CLASS(TkxBarItemActionLink, TActionLink)
 public:
  explicit TkxBarItemActionLink(TObject* AClient);
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHelpContext(int Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetImageIndex(int Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 private:
  TkxBarItem* FClient;
  TCustomAction* CustomAction() const;
};

class TkxBarItemLink : public TCollectionItem {
  PV_CLASS(TkxBarItemLink, TCollectionItem)
 public:
  explicit TkxBarItemLink(TCollection* Collection);
  ~TkxBarItemLink() override;
  void Assign(TPersistent* Source) override;

  TkxBarItem* Item() const { return FItem; }
  // Setting none frees the link.
  void SetItem(TkxBarItem* Value);
  bool BeginGroup() const;
  bool StoredBeginGroup() const { return FBeginGroup; }
  void SetBeginGroup(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool MostRecentlyUsed() const { return FMostRecentlyUsed; }
  void SetMostRecentlyUsed(bool Value);
  AnsiString UserCaption() const { return FUserCaption; }
  void SetUserCaption(const AnsiString& Value);
  TkxBarUserDefines UserDefine() const { return FUserDefine; }
  void SetUserDefine(TkxBarUserDefines Value);
  TBitmap* UserGlyph() const { return FUserGlyph.get(); }
  void SetUserGlyph(TBitmap* Value);
  TkxBarPaintStyle UserPaintStyle() const { return FUserPaintStyle; }
  void SetUserPaintStyle(TkxBarPaintStyle Value);
  int UserWidth() const { return FUserWidth; }
  void SetUserWidth(int Value);

  // ---- derived values ----
  AnsiString Caption() const;
  TBitmap* Glyph() const;
  TkxBarPaintStyle PaintStyle() const;
  int Width() const;

  TkxBarItemControl* Control() const { return FControl; }
  TkxBarItemLinks* Owner() const;
  TkxBarManager* BarManager() const;
  TCustomkxBarControl* BarControl() const;
  int AvailableIndex() const;
  int VisibleIndex() const;
  int ShownIndex() const;
  bool CanBeVisible() const;
  void CreateControl();
  void DestroyControl();
  bool RefersTo(const TObject* Obj) const;
  // Shift bits: Shift 1, Alt 2, Ctrl 4.
  bool IsAccel(Word Key, int Shift) const;
  TRect ItemRect() const { return FItemRect; }
  void SetItemRect(const TRect& R) { FItemRect = R; }
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int V) { FRowHeight = V; }
  int UsageCount() const { return FUsageCount; }
  void SetUsageCount(int V) { FUsageCount = V; }
  TkxBarItemLink* SourceLink() const { return FSourceLink ? FSourceLink : const_cast<TkxBarItemLink*>(this); }
  void SetSourceLink(TkxBarItemLink* Link) { FSourceLink = Link; }
  TkxBarItemLink* OriginalLink() const { return FOriginalLink; }
  void SetOriginalLink(TkxBarItemLink* Link) { FOriginalLink = Link; }
  bool DeferredVisible() const { return FDeferredVisible; }
  void ApplyDeferredVisible();
  int LoadedRecentIndex() const { return FLoadedRecentIndex; }
  void SetLoadedRecentIndex(int V) { FLoadedRecentIndex = V; }
  int LoadedUseCount() const { return FLoadedUseCount; }
  void SetLoadedUseCount(int V) { FLoadedUseCount = V; }
  void SetMostRecentlyUsedRaw(bool V) { FMostRecentlyUsed = V; }

  // ---- recent-use ----
  void MarkUsed(bool Click);
  void MoveToEnd();
  void ResetUsage();
  void BringToFront(bool Click);
  void MoveInRecentList(int Index);
  int RecentListIndex() const;
  void CopyUsage(TkxBarItemLink* Other);
  void SaveRecentIndex();
  void RestoreRecentIndex();
  void Changed();

 private:
  friend class TkxBarItemLinks;
  friend class TkxBarItemControl;
  TkxBarItem* FItem = nullptr;
  bool FBeginGroup = false;
  bool FVisible = true;
  bool FDeferredVisible = true;
  bool FMostRecentlyUsed = true;
  AnsiString FUserCaption;
  TkxBarUserDefines FUserDefine;
  std::unique_ptr<TBitmap> FUserGlyph;
  TkxBarPaintStyle FUserPaintStyle = TkxBarPaintStyle::psStandard;
  int FUserWidth = 0;
  TkxBarItemControl* FControl = nullptr;
  TRect FItemRect{};
  int FRowHeight = 0;
  int FUsageCount = 0;
  int FLoadedRecentIndex = -1, FLoadedUseCount = 0, FSavedRecentIndex = -1;
  TkxBarItemLink* FSourceLink = nullptr;
  TkxBarItemLink* FOriginalLink = nullptr;
  bool FFreeing = false;
};

class TkxBarItemLinks : public TCollection {
  PV_CLASS(TkxBarItemLinks, TCollection)
 public:
  TkxBarItemLinks(TkxBarManager* Manager, TPersistent* Owner);
  ~TkxBarItemLinks() override;
  TPersistent* GetOwner() const override;
  void Assign(TPersistent* Source) override;

  TkxBarManager* BarManager() const { return FBarManager; }
  void SetBarManager(TkxBarManager* Manager) { FBarManager = Manager; }
  TPersistent* Owner() const { return FOwner; }
  TkxBarItemLink* Items(int Index) const { return static_cast<TkxBarItemLink*>(TCollection::Items(Index)); }
  TkxBarItemLink* Add() { return static_cast<TkxBarItemLink*>(TCollection::Add()); }
  TCustomkxBarControl* BarControl() const { return FBarControl; }
  void SetBarControl(TCustomkxBarControl* Control) { FBarControl = Control; }

  int AvailableItemCount() const { return int(FAvailable.size()); }
  TkxBarItemLink* AvailableItems(int Index) const { return FAvailable[Index]; }
  int VisibleItemCount() const { return int(FVisibleItems.size()); }
  TkxBarItemLink* VisibleItems(int Index) const { return FVisibleItems[Index]; }
  int CanVisibleItemCount() const { return VisibleItemCount(); }
  int ShownItemCount() const { return int(FShown.size()); }
  TkxBarItemLink* ShownItems(int Index) const { return FShown[Index]; }
  int IndexOfAvailable(const TkxBarItemLink* Link) const;
  int IndexOfVisible(const TkxBarItemLink* Link) const;
  int IndexOfShown(const TkxBarItemLink* Link) const;
  int RecentCount() const { return int(FRecent.size()); }
  TkxBarItemLink* RecentItems(int Index) const { return FRecent[Index]; }

  void RefreshLists();
  int RecentItemCount() const { return FRecentItemCount; }
  void SetRecentItemCount(int Count);
  void RestoreRecentItemCount();
  int GetRecentItemCount() const;
  // Whether the recent-items rule is in force for this list.
  bool UseRecentItems() const;
  bool OwnUseRecentItems() const { return FUseRecentItems; }
  void SetOwnUseRecentItems(bool V) { FUseRecentItems = V; }
  int CountFittingItems() const;
  TkxBarItemLink* First() const;
  TkxBarItemLink* Last() const;
  TkxBarItemLink* Next(TkxBarItemLink* Current) const;
  TkxBarItemLink* Prev(TkxBarItemLink* Current) const;
  TkxBarItemLink* FindAccelLink(Word Key, int Shift, TkxBarItemLink* Start) const;
  bool ProcessShortCut(TShortCut ShortCut);
  void UpdateActions();
  TCustomkxBarControl* CreateBarControl();
  void ApplyLoadedState(bool AfterLoading);
  void AssignRecentState(TkxBarItemLinks* Source);
  void PackRecentList();
  void EmptyItemRects();
  bool RefersTo(const TObject* Obj) const;
  bool Assigning() const { return FAssigning; }
  std::function<void()> OnChange;

  // The recent list, kept by the links.
  void RecentAdd(TkxBarItemLink* Link) { FRecent.push_back(Link); }
  void RecentRemove(TkxBarItemLink* Link);
  void RecentMove(TkxBarItemLink* Link, int Index);
  bool IsDesignMode() const;
  bool IsOwnerLoading() const;
  bool IsOwnerDestroying() const;

 protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TkxBarManager* FBarManager;
  TPersistent* FOwner;
  TCustomkxBarControl* FBarControl = nullptr;
  std::vector<TkxBarItemLink*> FAvailable, FVisibleItems, FShown, FRecent;
  int FRecentItemCount = -1, FPrevRecentItemCount = -1;
  bool FUseRecentItems = true;
  bool FAssigning = false;
};

// ===========================================================================
// Bars
// ===========================================================================

class TkxBar : public TCollectionItem {
  PV_CLASS(TkxBar, TCollectionItem)
 public:
  explicit TkxBar(TCollection* Collection);
  ~TkxBar() override;
  void Assign(TPersistent* Source) override;
  AnsiString DisplayName() const override { return FCaption; }

  TkxBars* Bars() const;
  TkxBarManager* BarManager() const;
  TkxBarControl* Control() const;
  TkxDockControl* RealDockControl() const;

  bool AllowClose() const { return FAllowClose; }
  void SetAllowClose(bool Value);
  bool AllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(bool V) { FAllowCustomizing = V; }
  bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
  void SetAllowQuickCustomizing(bool Value);
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool V) { FAllowReset = V; }
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
  void SetBackgroundBitmap(TBitmap* Value);
  TkxBarBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TkxBarBorderStyle Value);
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TkxBarDockControl* DockControl() const { return FDockControl; }
  void SetDockControl(TkxBarDockControl* Value);
  TkxBarDockControl* DockedDockControl() const { return FDockedDockControl; }
  void SetDockedDockControl(TkxBarDockControl* Value);
  TkxBarDockingStyle DockedDockingStyle() const { return FDockedDockingStyle; }
  void SetDockedDockingStyle(TkxBarDockingStyle Value);
  int DockedLeft() const { return FDockedLeft; }
  void SetDockedLeft(int Value);
  int DockedTop() const { return FDockedTop; }
  void SetDockedTop(int Value);
  TkxBarDockingStyle DockingStyle() const { return FDockingStyle; }
  void SetDockingStyle(TkxBarDockingStyle Value);
  int FloatLeft() const { return FFloatLeft; }
  void SetFloatLeft(int Value);
  int FloatTop() const { return FFloatTop; }
  void SetFloatTop(int Value);
  int FloatClientWidth() const { return FFloatClientWidth; }
  void SetFloatClientWidth(int Value);
  int FloatClientHeight() const { return FFloatClientHeight; }
  void SetFloatClientHeight(int Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool Hidden() const { return FHidden; }
  void SetHidden(bool Value);
  bool IsMainMenu() const { return FIsMainMenu; }
  void SetIsMainMenu(bool Value);
  TkxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
  void SetItemLinks(TkxBarItemLinks* Value) { FItemLinks->Assign(Value); }
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  AnsiString Name() const { return FName; }
  void SetName(const AnsiString& Value);
  TkxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TkxBarDockingStyles Value);
  bool OneOnRow() const { return FOneOnRow; }
  void SetOneOnRow(bool V) { FOneOnRow = V; }
  bool RotateWhenVertical() const { return FRotateWhenVertical; }
  void SetRotateWhenVertical(bool Value);
  int Row() const { return FRow; }
  void SetRow(int Value) { FRow = Value < 0 ? 0 : Value; }
  bool ShowMark() const { return FShowMark; }
  void SetShowMark(bool Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  bool UseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(bool Value);
  bool UseRecentItems() const { return FUseRecentItems; }
  void SetUseRecentItems(bool Value);
  bool UseRestSpace() const { return FUseRestSpace; }
  void SetUseRestSpace(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool WholeRow() const { return FWholeRow; }
  void SetWholeRow(bool Value);

  void RepaintBar();
  int GetNonClientWidth(TkxBarDockingStyle Style) const;
  int GetNonClientHeight(TkxBarDockingStyle Style) const;
  bool CanClose() const;
  bool CanBeMoved() const;
  bool CanReset() const { return FDeclared && FAllowReset; }
  // Takes the bar's links (or, with the manager's UseFullReset, the whole
  // bar) from the form description again.
  void Reset();
  void ResetWithConfirmation();
  bool IsBottomWholeRow() const;
  bool IsSizeGripVisible() const;
  bool ProcessShortCut(TShortCut ShortCut);
  void SetDockingStyleAndControl(TkxBarDockingStyle Style, TkxDockControl* Site);
  void SetUniqueName(const AnsiString& Text);
  HFONT FontHandle() const { return FFontHandle; }
  void AddDetachingSubItem(TCustomkxBarSubItem* Item);
  void RemoveDetachingSubItem(TCustomkxBarSubItem* Item);
  bool Declared() const { return FDeclared; }
  void SetDeclared(bool V) { FDeclared = V; }
  bool AutoHidden() const { return FAutoHidden; }
  void SetAutoHidden(bool V) { FAutoHidden = V; }
  bool LockUpdate() const { return FLockUpdate; }
  void SetLockUpdate(bool Value);
  // Applies the values recorded while the manager was loading.
  void ApplyLoadedPlace();
  void ApplyLoadedVisible();
  bool LoadedVisible() const { return FLoadedVisible; }
  // The manager's font changed: take it, or rebuild the own font's handle.
  void ManagerFontChanged();
  // Shows again a bar that waited for its form's window.
  void ReshowPending();
  bool IsLoading() const;
  bool IsDocked() const { return FDockingStyle != dsNone; }

 private:
  void ItemLinksChanged();
  void FontChanged(TObject* Sender);
  void BitmapChanged(TObject* Sender);
  void RebuildWindow();
  void RecalcWindow();

  bool FAllowClose = true, FAllowCustomizing = true, FAllowQuickCustomizing = true, FAllowReset = true;
  Byte FAlphaBlendValue = 255;
  std::unique_ptr<TBitmap> FBackgroundBitmap;
  TkxBarBorderStyle FBorderStyle = bbsSingle;
  AnsiString FCaption, FName;
  TColor FColor = clDefault;
  TkxBarDockControl* FDockControl = nullptr;
  TkxBarDockControl* FDockedDockControl = nullptr;
  TkxBarDockingStyle FDockedDockingStyle = dsTop;
  int FDockedLeft = 0, FDockedTop = 0;
  TkxBarDockingStyle FDockingStyle = dsNone;
  int FFloatLeft = 0, FFloatTop = 0, FFloatClientWidth = 0, FFloatClientHeight = 0;
  std::unique_ptr<TFont> FFont;
  HFONT FFontHandle = nullptr;
  bool FHidden = false, FIsMainMenu = false, FMultiLine = false, FOneOnRow = false, FRotateWhenVertical = true;
  int FRow = 0;
  bool FShowMark = true, FSizeGrip = true, FUseOwnFont = false, FUseRecentItems = true, FUseRestSpace = false;
  bool FVisible = false, FWholeRow = false;
  TkxBarDockingStyles FNotDocking;
  std::unique_ptr<TkxBarItemLinks> FItemLinks;
  std::vector<TCustomkxBarSubItem*> FDetachingSubItems;
  bool FDeclared = false, FAutoHidden = false, FLockUpdate = false;
  bool FLoadedVisible = false;
  TkxBarDockControl* FLoadedDockControl = nullptr;
  TkxBarDockingStyle FLoadedDockingStyle = dsNone;
  bool FHasLoadedPlace = false;
  bool FInPlaceChange = false, FInFontChange = false;
};

void kxBarWaitForDockingTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);

// The form a manager's copy is read into for a reset.
class TkxBarTempForm : public TForm {
  PV_CLASS(TkxBarTempForm, TForm)
 public:
  explicit TkxBarTempForm(TComponent* AOwner);
};

class TkxBars : public TCollection {
  PV_CLASS(TkxBars, TCollection)
 public:
  explicit TkxBars(TkxBarManager* Manager);
  ~TkxBars() override;
  TPersistent* GetOwner() const override;
  TkxBarManager* BarManager() const { return FBarManager; }
  TkxBar* Items(int Index) const { return static_cast<TkxBar*>(TCollection::Items(Index)); }
  TkxBar* Add() { return static_cast<TkxBar*>(TCollection::Add()); }
  AnsiString GetUniqueBarName(const AnsiString& Text) const;
  // The form-edge site of a style (none for dsNone or a forgotten site).
  TkxDockControl* DockControls(TkxBarDockingStyle Style) const;
  void ForgetDockControl(TkxDockControl* Site);
  int DropMargin() const { return 23; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool V) { FLocked = V; }

  void DockBarControl(TkxDockControl* Site, TkxBarDockingStyle Style, const TPoint& ScreenPoint,
                      TkxBarControl* Window);
  void UndockBarControl(TkxBarControl* Window);
  void MoveBarControl(TkxBarControl* Window, TPoint ScreenPoint, bool FromTimer = false);
  void FindDockingPlace(TkxBar* Bar, TPoint ScreenPoint, TkxBarDockingStyle& Style, TkxDockControl*& Site);
  void DragBarControl(TkxBarControl* Window);
  bool Moving() const { return FMoving; }
  TkxBarControl* MovingWindow() const { return FMovingWindow; }
  TPoint GrabOffset() const { return FGrabOffset; }
  TPoint CursorOffset() const { return FCursorOffset; }
  TkxBarDockingStyle StartStyle() const { return FStartStyle; }

 private:
  friend void kxBarWaitForDockingTimerProc(HWND, UINT, UINT_PTR, DWORD);
  TkxBarManager* FBarManager;
  TkxDockControl* FSites[4] = {};
  bool FLocked = false;
  bool FMoving = false;
  TkxBarControl* FMovingWindow = nullptr;
  TkxBarDockingStyle FStartStyle = dsNone;
  TPoint FGrabOffset{};
  TPoint FCursorOffset{};
};

// ===========================================================================
// Dock sites
// ===========================================================================

struct TkxDockCol {
  TkxBarControl* BarControl = nullptr;
  TPoint Pos{};
  void StorePos();
};

struct TkxDockRow {
  std::vector<TkxDockCol*> Cols;
  ~TkxDockRow();
  int ColCount() const { return int(Cols.size()); }
};

class TkxDockControl : public TCustomControl {
  PV_CLASS(TkxDockControl, TCustomControl)
 public:
  explicit TkxDockControl(TComponent* AOwner);
  // A form-edge site of the bar collection.
  TkxDockControl(TkxBarManager* Manager, TkxBarDockingStyle Style, TCustomForm* Form);
  ~TkxDockControl() override;

  TkxBarManager* BarManager() const { return FBarManager; }
  void SetBarManager(TkxBarManager* Value);
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
  void SetBackgroundBitmap(TBitmap* Value) { FBackgroundBitmap->Assign(Value); }
  bool AllowDocking() const { return FAllowDocking; }
  void SetAllowDocking(bool V) { FAllowDocking = V; }
  bool GetSunkenBorderValue() const { return GetSunkenBorder(); }

  TkxBarDockingStyle DockingStyle() const;
  bool Horizontal() const;
  bool Vertical() const;
  bool IsMain() const { return FMainStyle != dsNone; }
  int RowCount() const { return int(FRows.size()); }
  TkxDockRow* Rows(int Index) const { return FRows[Index]; }
  int GetSize() const;

  // ---- overridable ----
  virtual void BarManagerChanged();
  virtual bool CanDocking(TkxBar* Bar) const { return FAllowDocking; }
  virtual void UpdateColor();
  virtual int GetClientSize() const;
  virtual bool GetSunkenBorder() const;
  virtual TCustomForm* GetOwnerForm() const;
  virtual void FillBackground(HDC DC, const TRect& R, TColor Color, const TRect& OriginR);
  virtual bool HasBackgroundBitmap() const { return !FBackgroundBitmap->Empty(); }
  virtual bool NeedsDoubleBuffering() const;
  virtual void RepaintBars();
  virtual void FreeBackgroundCache() { FCache.reset(); }
  // The bitmap painters keep the site's background in (made on first use, emptied by FreeBackgroundCache).
  TBitmap* BackgroundCache();
  virtual void UpdateDoubleBuffered() { SetDoubleBuffered(NeedsDoubleBuffering()); }

  // ---- rows ----
  void DockBar(TkxBarControl* Window, const TPoint& ScreenPoint, bool Relayout);
  void UndockBar(TkxBarControl* Window, bool Relayout);
  void MoveBar(TkxBarControl* Window, const TPoint& ScreenPoint);
  void StoreBarPositions();
  TkxDockCol* FindCol(TkxBarControl* Window, int* RowIndex = nullptr) const;
  TRect GetDockZone() const;
  TRect GetRowRect(int Row) const;
  void GetRowZone(int Boundary, int Part, int& From, int& To) const;
  void GetRowAtPoint(const TPoint& ScreenPoint, int& Row, bool& NewRow) const;
  int GetColIndexAtPoint(int Row, const TPoint& ScreenPoint) const;
  void GetRowMiddlePoint(int Row, bool OneOnRow, TPoint& ScreenPoint) const;
  void CalcLayout();
  void UpdateSize();
  void UpdateDock();
  void RecreateFrame();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void InitiateAction() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void CreateWnd() override;
  void CalcRowLayout(int RowIndex);
  int ClientExtent() const;  // client width (horizontal) or height (vertical)
  virtual int DesignMinimum() const;
  void BackgroundChanged(TObject* Sender);

  void WMEraseBkgnd2(TWMEraseBkgnd& Message);
  void WMMouseActivate2(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMSize3(TWMSize& Message);
  void WMWindowPosChanged3(TMessage& Message);
  void WMRButtonDown2(TWMMouse& Message);
  void WMLButtonDblClk2(TWMMouse& Message);
  void WMCreate(TMessage& Message);
  void WMDestroy2(TMessage& Message);

  TkxBarManager* FBarManager = nullptr;
  std::unique_ptr<TBitmap> FBackgroundBitmap;
  std::unique_ptr<TBitmap> FCache;
  TkxBarDockingStyle FMainStyle = dsNone;
  bool FAllowDocking = true;
  std::vector<TkxDockRow*> FRows;
  bool FInLayout = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd2)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate2)
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize3)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged3)
    PV_MESSAGE_HANDLER(WM_RBUTTONDOWN, TWMMouse, WMRButtonDown2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
    PV_MESSAGE_HANDLER(WM_CREATE, TMessage, WMCreate)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy2)
  END_MESSAGE_MAP(TCustomControl)
};

// A dock site the form designer places anywhere on a form.
class TkxBarDockControl : public TkxDockControl {
  PV_CLASS(TkxBarDockControl, TkxDockControl)
 public:
  explicit TkxBarDockControl(TComponent* AOwner);

  TkxBarDockAlign DockAlign() const { return FDockAlign; }
  void SetDockAlign(TkxBarDockAlign Value);
  bool AllowZeroSizeInDesignTime() const { return FAllowZeroSizeInDesignTime; }
  void SetAllowZeroSizeInDesignTime(bool Value);
  bool SunkenBorder() const { return GetSunkenBorder(); }
  void SetSunkenBorder(bool Value);
  bool UseOwnColor() const { return FUseOwnColor; }
  void SetUseOwnColor(bool Value);
  bool UseOwnSunkenBorder() const { return FUseOwnSunkenBorder; }
  void SetUseOwnSunkenBorder(bool Value);
  void SetDockColor(TColor Value);
  void SetDockParentColor(bool Value);
  // The docking style of a bar in this site.
  TkxBarDockingStyle BarDockingStyle() const;

  void BarManagerChanged() override;
  bool CanDocking(TkxBar* Bar) const override;
  void UpdateColor() override;
  int GetClientSize() const override;
  bool GetSunkenBorder() const override;
  TCustomForm* GetOwnerForm() const override;

 protected:
  int DesignMinimum() const override;
  int ClientExtentAcross() const;

 private:
  TkxBarDockAlign FDockAlign = dalTop;
  bool FAllowZeroSizeInDesignTime = false;
  bool FOwnSunkenBorder = false;
  bool FUseOwnColor = false;
  bool FUseOwnSunkenBorder = false;
};

// ===========================================================================
// Bar windows
// ===========================================================================

class TCustomkxBarControl : public TCustomControl {
  PV_CLASS(TCustomkxBarControl, TCustomControl)
 public:
  explicit TCustomkxBarControl(TComponent* AOwner);
  ~TCustomkxBarControl() override;

  TkxBarManager* BarManager() const;
  std::uint64_t Serial() const { return FSerial; }
  TkxBarItemLinks* ItemLinks() const { return FItemLinks; }
  void SetItemLinks(TkxBarItemLinks* Links);
  TkxBarItemControlPainterClass Painter() const;
  bool IsFlatStyle() const;
  bool IsDestroying() const { return ComponentState().Contains(csDestroying) || FDestroying; }
  HBRUSH GetManagerBrush() const;
  void SetDockControl(TkxDockControl* Site);
  TkxDockControl* DockControl() const { return FDockControl; }
  TkxBarDockingStyle DockingStyle() const { return FDockingStyle; }
  void GetOwnerEdgeRect(bool InScreen, TRect& R);
  TkxBarItemControl* ItemAtPos(const TPoint& ClientPoint);
  bool OwnsItemControl(TkxBarItemControl* Control) const;
  TRect GetWindowRect() const;
  void GetItemScreenRect(TkxBarItemControl* Control, TRect& R);
  bool SendKeyToSelected(Word Key);
  void SetMoveCursor(bool Value);
  void UpdateControlStyle();
  bool IsCursorOver();
  void DestroyControlWindows();
  void DrawCustomizingFrame(TkxBarItemControl* Control);
  void InvalidateWithFrame();
  void RepaintWithFrame();
  void HotTrack(TkxBarItemControl* Control);
  // Places the drop shadow after a move or size change (painters decide who has one).
  void UpdateShadow();
  bool HasShadow() const { return FShadow != nullptr; }
  TkxBarShadow* Shadow() const { return FShadow.get(); }

  // ---- state read by painters and neighbours ----
  HBRUSH ItemBrush() const { return FItemBrush; }
  void SetItemBrush(HBRUSH B) { FItemBrush = B; }
  TkxBarSubMenuControl* ChildMenu() const { return FChildMenu; }
  void SetChildMenu(TkxBarSubMenuControl* Menu) { FChildMenu = Menu; }
  TkxBarItemControl* PressedControl() const { return FPressedControl; }
  bool PressedUnderMouse() const { return FPressedUnderMouse; }
  bool Locked() const { return FLocked; }
  bool RepaintingItem() const { return FRepaintingItem; }
  void SetRepaintingItem(bool V) { FRepaintingItem = V; }
  bool Active() const { return FActive; }
  int MarkState() const { return FMarkState; }
  TRect OwnerItemRect() const { return FOwnerItemRect; }
  void SetOwnerItemRect(const TRect& R) { FOwnerItemRect = R; }
  TCustomkxBarControl* OwnerBarControl() const { return FOwnerBarControl; }
  void SetOwnerBarControl(TCustomkxBarControl* C) { FOwnerBarControl = C; }
  TCustomkxBarControl* ParentBar() const { return FParentBar; }
  void SetParentBar(TCustomkxBarControl* C) { FParentBar = C; }
  TCustomkxBarControl* PrevActive() const { return FPrevActive; }
  TkxBarItemControl* SelectedControl() const { return FSelectedControl; }
  void ClearSelectedControl() { FSelectedControl = nullptr; }
  int RowUnit() const { return FRowUnit; }
  int TextRowHeight() const { return FTextRowHeight; }
  int SmallUnit() const { return FSmallUnit; }
  int MenuUnit() const { return FMenuUnit; }
  int ComboButtonWidth() const { return FComboButtonWidth; }
  bool IgnoreMouseUp() const { return FIgnoreMouseUp; }
  void SetIgnoreMouseUp(bool V) { FIgnoreMouseUp = V; }
  TPoint LastMousePos() const { return FLastMousePos; }
  void SetLastMousePos(const TPoint& P) { FLastMousePos = P; }
  bool ChangingPlacement() const { return FChangingPlacement; }
  // The canvas's DC with the window's font selected: the painters draw and
  // measure through it with the raw drawing calls.
  HDC FontDC();
  // The height of a one-line edit row in this window's font.
  int EditRowHeight() const { return FTextRowHeight; }

  // ---- virtual operations (slot order) ----
  virtual void CreateItemControls();
  virtual void DestroyItemControls();
  virtual void CalcMetrics();
  virtual bool CanAlignItemControl(TkxBarItemControl* Control) const { return false; }
  virtual bool IsNonFlatFrame() const { return true; }
  virtual bool CanCustomizeItems() const;
  virtual int IsFlatItems() const;
  virtual int GetSeparatorSize() const = 0;
  virtual HFONT GetFontHandle() const;
  virtual void GetItemRect(TkxBarItemControl* Control, TRect& R) const;
  virtual bool IsCustomizing() const;
  virtual bool IsShadowVisible() const;
  virtual void GetItemRectEx(TkxBarItemControl* Control, bool WithSeparator, TRect& R) const {
    GetItemRect(Control, R);
  }
  virtual HRGN GetItemRegion(TkxBarItemControl* Control) const;
  virtual TCustomkxBarControl* GetOwnerBarControl() const;
  virtual HBRUSH BkBrush() const;
  virtual HBRUSH HotBrush() const;
  virtual HBRUSH HotDownBrush() const;
  virtual HBRUSH DownBrush() const;
  virtual bool IsMenuWindow() const { return false; }
  virtual bool IsAncestorOf(TCustomkxBarControl* Other) const;
  virtual bool IsOwnerRectAdjacent() const;
  virtual TkxBarItemControl* GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before);
  virtual bool IsMarkVisible() const { return false; }
  virtual bool IsMouseStill(const TPoint& ClientPoint);
  virtual void RepaintItem(TkxBarItemControl* Control) { FItemBrush = BkBrush(); }
  virtual void RepaintSelection(TkxBarItemControl* Previous);
  virtual void SetDockingStyle(TkxBarDockingStyle Style);
  virtual void UpdateFont() {}
  virtual void SetActive(bool Value);
  virtual void SelectItem(TkxBarItemControl* Control);
  virtual void UpdateLayeredAttributes() {}
  virtual void SetMarkState(int State) {}
  virtual void HotTrackControl(TkxBarItemControl* Control) { HotTrack(Control); }
  virtual void SetSelectedControl(TkxBarItemControl* Control);
  virtual void FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap);
  void FillBackgroundRgn(HDC DC, HRGN Region, bool ClientCoords, HBRUSH Brush);
  // The window is quick customizing: its links are those of the quick sub item.
  virtual bool IsQuickCustomizing() const;
  virtual bool HasBackgroundBitmap() const;
  virtual bool NeedsDoubleBuffering() const;
  virtual void GetBackgroundOffset(TPoint& P) const { P = TPoint{0, 0}; }
  virtual void FreeBackgroundBitmap();
  // The bitmap painters keep the window's background in (emptied by FreeBackgroundBitmap).
  TBitmap* BackgroundCache() const { return FBkBitmap.get(); }
  virtual void UpdateDoubleBuffered() { SetDoubleBuffered(NeedsDoubleBuffering()); }
  virtual void CloseChain();
  virtual void Rebuild() {}

  void WndProc(TMessage& Message) override;
  void AdjustSize() override {}

 protected:
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  // The mouse model; toolbars and menus extend it.
  virtual void DoLButtonDown(TWMMouse& Message);
  virtual void DoLButtonUp(TWMMouse& Message);
  virtual void DoMouseMove(TWMMouse& Message);
  virtual void DoLButtonDblClk(TWMMouse& Message);
  virtual void DoRButtonDown(TWMMouse& Message);
  virtual void DoMouseLeave(TMessage& Message);
  virtual void DoKeyDown(TWMKey& Message);
  // Ctrl+Tab to the next toolbar.
  void MoveToNextBar(bool Forward);
  // Access-key handling of the keyboard model.
  void ProcessAccelKey(Word Key);
  bool IsPointInClient(const TPoint& P);

  void WMCaptureChanged(TMessage& Message);
  void WMDestroy3(TMessage& Message);
  void WMEraseBkgnd3(TWMEraseBkgnd& Message);
  void WMKeyDown3(TWMKey& Message);
  void WMLButtonDown3(TWMMouse& Message);
  void WMLButtonUp3(TWMMouse& Message);
  void WMLButtonDblClk3(TWMMouse& Message);
  void WMMouseMove3(TWMMouse& Message);
  void WMRButtonDown3(TWMMouse& Message);
  void WMMouseLeave(TMessage& Message);
  void WMMouseActivate3(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMSetCursor3(TWMSetCursor& Message);
  void WMWindowPosChanged4(TMessage& Message);
  void WMRebuild(TMessage& Message);
  // The dynamic hit filter: whether a hit ends mouse-leave tracking.
  virtual bool HitEndsTracking(LRESULT Hit) const { return Hit != HTCLIENT; }

  std::uint64_t FSerial = 0;
  std::unique_ptr<TBitmap> FBkBitmap;
  HBRUSH FItemBrush = nullptr;
  TkxBarSubMenuControl* FChildMenu = nullptr;
  TkxBarItemControl* FPressedControl = nullptr;
  bool FLocked = false;
  TkxDockControl* FDockControl = nullptr;
  TkxBarDockingStyle FDockingStyle = dsNone;
  bool FDragPending = false;
  TPoint FDragStartPos{};
  bool FIgnoreMouseUp = false;
  bool FRepaintingItem = false;
  bool FActive = false;
  TkxBarItemLinks* FItemLinks = nullptr;
  int FMarkState = 0;
  bool FPressedUnderMouse = false;
  bool FChangingPlacement = false;
  TRect FOwnerItemRect{};
  TCustomkxBarControl* FOwnerBarControl = nullptr;
  TCustomkxBarControl* FParentBar = nullptr;
  TCustomkxBarControl* FPrevActive = nullptr;
  TkxBarItemControl* FSelectedControl = nullptr;
  int FRowUnit = 19, FTextRowHeight = 18, FSmallUnit = 4, FMenuUnit = 0, FComboButtonWidth = 11;
  TPoint FLastMousePos{-1, -1};
  std::unique_ptr<TkxBarShadow> FShadow;
  bool FDestroying = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy3)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd3)
    PV_MESSAGE_HANDLER(WM_KEYDOWN, TWMKey, WMKeyDown3)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown3)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp3)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk3)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove3)
    PV_MESSAGE_HANDLER(WM_RBUTTONDOWN, TWMMouse, WMRButtonDown3)
    PV_MESSAGE_HANDLER(WM_MOUSELEAVE, TMessage, WMMouseLeave)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate3)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor3)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged4)
    PV_MESSAGE_HANDLER(WM_KXBAR_REBUILD, TMessage, WMRebuild)
  END_MESSAGE_MAP(TCustomControl)
};

// The window of one bar: a toolbar or the form's main menu, docked or floating.
class TkxBarControl : public TCustomkxBarControl {
  PV_CLASS(TkxBarControl, TCustomkxBarControl)
 public:
  TkxBarControl(TComponent* AOwner, TkxBar* ABar);
  ~TkxBarControl() override;

  TkxBar* Bar() const { return FBar; }
  bool IsHorizontal() const { return FDockingStyle == dsTop || FDockingStyle == dsBottom; }
  bool IsVertical() const { return FDockingStyle == dsLeft || FDockingStyle == dsRight; }
  bool IsMultiLine() const;
  bool IsLocked() const { return FLockCount > 0; }
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate() { if (FLockCount > 0) --FLockCount; }
  bool DroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool V) { FDroppedDown = V; }
  // False for windows shown without a caption frame (the quick-customizing list).
  bool HasCaption() const { return FHasCaption; }
  bool ItemsHidden() const { return FItemsHidden; }
  bool Truncated() const { return FTruncated; }
  void SetTruncated(bool V) { FTruncated = V; }
  // Placed from the bar's stored values rather than dragged.
  bool PlacingFromStoredValues() const { return FPlacingFromStored; }
  void SetPlacingFromStoredValues(bool V) { FPlacingFromStored = V; }
  TPoint GrabPoint() const { return FGrabPoint; }
  bool DragMode() const { return FDragMode; }
  void SetDragMode(bool V) { FDragMode = V; }

  // ---- layout and sizes ----
  void CalcControlsPositions();
  int GetMaxWidth(TkxBarDockingStyle Style);
  int GetMaxHeight(TkxBarDockingStyle Style);
  int GetSingleRowWidth(TkxBarDockingStyle Style);
  int GetSingleColumnHeight(TkxBarDockingStyle Style);
  void CalcRowsForWidth(TkxBarDockingStyle Style, int Limit, TSize& Size);
  void GetSizeForWidth(TkxBarDockingStyle Style, int Width, TSize& Size);
  void GetSizeForHeight(TkxBarDockingStyle Style, int Height, TSize& Size);
  void GetSizeForDockingStyle(TkxBarDockingStyle Style, TSize& Size);
  // Lengths along the docking style (for the dock site's layout).
  int MinLength(TkxBarDockingStyle Style);
  int FullLength(TkxBarDockingStyle Style);
  // The client size for an outer length along a docked row.
  TSize SizeForLength(TkxBarDockingStyle Style, int Length, bool Truncated);

  // ---- MDI and close buttons (the MDI part supplies maximized children) ----
  bool HasMDIButtons() const;
  bool HasMDIOrCloseButtons() const;
  int MDIButtonsWidth() const;
  int MDIButtonsHeight() const;
  TRect GetMDIButtonRect(int Index);
  bool IsMDIButtonEnabled(int Index, UINT Flags) const;
  void DrawMDIButtons(HDC DC);

  // ---- the mark ----
  void GetMarkRect(TRect& R) const;
  void GetMarkScreenRect(TRect& R);
  TRect GetMarkPaintRect() const;
  void DrawMark(HDC DC);
  void CheckMarkClick(const TPoint& P);
  TkxBarSubMenuControl* QuickControl() const { return FQuickControl; }
  // ---- the floating frame ----
  // 0 normal, 1 hot, 2 pressed.
  int CloseButtonState() const { return FCloseButtonState; }
  // The caption band of a floating bar, in window (or client) coordinates.
  TRect GetCaptionRect() const;
  TRect GetCaptionClientRect() const;
  // The close button at the caption's right end, in client (or window) coordinates.
  TRect GetCloseButtonRect(bool InWindow = false) const;
  void CloseQuickControl();

  // ---- moving, floating and docking (kxbarfloat.cpp) ----
  // The row and column of the dock site that hold this window (none, 0, 0 when not docked).
  TkxDockCol* GetDockCol() const;
  int GetRowIndex() const;
  int GetColIndex() const;
  // Writes the window's place (floating or docked) back to its bar.
  void StoreBarPosition();
  // Where the cursor sits inside the window when it takes the style during a drag.
  void GetDragOffset(TkxBarDockingStyle Style, TPoint& P);
  // The last non-client hit code (HTCAPTION: a press drags the bar).
  int HitCode() const { return FHitCode; }
  bool SizeGripVisible() const { return FSizeGripVisible; }
  void SetCloseButtonState(int State);
  void DrawCloseButtonNC(HDC DC);
  void DrawMarkNC(HDC DC);
  // The size grip of a bottom whole-row bar, in client coordinates.
  TRect GetSizeGripRect() const;
  // Docks a floating bar at its last docked place, floats a docked one.
  void DockOrFloat();
  // Starts dragging the bar from the cursor's place.
  void StartDragging();

  // ---- menu mode ----
  virtual TCustomForm* GetOwnerForm() const;
  virtual void GetMovingBounds(TRect& R) const;
  virtual void CaptionChanged();
  virtual void ActivateMenuMode(TkxBarItemControl* Control);
  virtual void DeactivateMenuMode();
  void RecreateBar();
  void UpdateFrame();
  void FrameChanged();
  HWND SavedFocus() const { return FSavedFocus; }

  // ---- overrides of the base ----
  bool CanAlignItemControl(TkxBarItemControl* Control) const override;
  bool IsNonFlatFrame() const override;
  bool CanCustomizeItems() const override;
  int GetSeparatorSize() const override;
  HFONT GetFontHandle() const override;
  void GetItemRect(TkxBarItemControl* Control, TRect& R) const override;
  HRGN GetItemRegion(TkxBarItemControl* Control) const override;
  HBRUSH BkBrush() const override;
  TkxBarItemControl* GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before) override;
  bool IsMarkVisible() const override;
  bool IsMouseStill(const TPoint& ClientPoint) override;
  void RepaintItem(TkxBarItemControl* Control) override;
  void SetDockingStyle(TkxBarDockingStyle Style) override;
  void UpdateFont() override;
  void SetActive(bool Value) override;
  void SelectItem(TkxBarItemControl* Control) override;
  void UpdateLayeredAttributes() override;
  void SetMarkState(int State) override;
  void FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap) override;
  bool HasBackgroundBitmap() const override;
  bool NeedsDoubleBuffering() const override;
  void GetBackgroundOffset(TPoint& P) const override;
  void CloseChain() override;
  void Rebuild() override;
  void Repaint() override;
  // The window's frame widths around the client area (docked: border and grip).
  TRect GetNonClientMargins() const;

  // ---- edit width dragging while customizing ----
  // The cursor is on an edge of the selected edit item, or that edge is dragged.
  bool ResizingEdit() const { return FResizingEdit; }
  bool ResizeFromRight() const { return FResizeFromRight; }
  // The width being dragged (0 = none).
  int NewEditWidth() const { return FNewEditWidth; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void DoLButtonDown(TWMMouse& Message) override;
  void DoLButtonUp(TWMMouse& Message) override;
  void DoMouseMove(TWMMouse& Message) override;
  void DoRButtonDown(TWMMouse& Message) override;
  void DoMouseLeave(TMessage& Message) override;
  void DoKeyDown(TWMKey& Message) override;
  bool HitEndsTracking(LRESULT Hit) const override;
  void PaintNonClient(HDC DC);
  void PaintFloatingFrame(HDC DC);
  LRESULT NonClientHitTest(const TPoint& ScreenPoint, LRESULT Default);
  // The frame, hit codes, sizing and placing of the window; true when handled.
  bool PlacementMessage(TMessage& Message);
  void CalcFloatingFrame(RECT& R);
  void TrackCloseButton();
  void SnapFloatingSize(int Edge, RECT& R);
  void KeepOnMonitor(WINDOWPOS& Pos);
  bool IsOverUsableControl(const TPoint& ClientPoint);
  void StartMarkTimer();
  void StopMarkTimer();
  void QuickControlClosed(TObject* Sender);
  void ShowHiddenItems();
  // The edit control of this window selected while customizing, nil when none.
  TkxBarEditControl* CustomizedEditControl() const;
  // Sets ResizingEdit from the cursor's place over the selected edit item.
  void CheckEditEdges();
  // Inverts the frame of the dragged width on the desktop: drawing it again erases it.
  void DrawEditWidthFrame();
  // Ends a width drag; Store keeps a changed width as the link's user width.
  void EndEditResizing(bool Store);

  TkxBar* FBar;
  HWND FSavedFocus = nullptr;
  int FCloseButtonState = 0;
  bool FHasCaption = true;
  bool FSizeGripVisible = false;
  int FHitCode = HTNOWHERE;
  int FLockCount = 0;
  bool FDroppedDown = false;
  int FMDIButtonWidth = 0, FMDIButtonHeight = 0;
  UINT_PTR FMarkTimer = 0;
  bool FDragMode = false;
  bool FInFontChange = false;
  int FNewEditWidth = 0;
  bool FResizingEdit = false, FResizeFromRight = false;
  bool FItemsHidden = false;
  bool FTruncated = false;
  bool FPlacingFromStored = false;
  TPoint FGrabPoint{};
  TPoint FDragOffset{}, FDragSize{};
  TkxBarSubMenuControl* FQuickControl = nullptr;
  HFONT FRotatedFont = nullptr;
  int FMDIPressed = -1, FMDIHot = -1;
};

// The window of a drop-down or pop-up menu.
class TkxBarSubMenuControl : public TCustomkxBarControl {
  PV_CLASS(TkxBarSubMenuControl, TCustomkxBarControl)
 public:
  explicit TkxBarSubMenuControl(TComponent* AOwner);
  ~TkxBarSubMenuControl() override;

  virtual bool AcceptsRightButton() const;

  TkxBarItemControl* OwnerControl() const { return FOwnerControl; }
  void SetOwnerControl(TkxBarItemControl* C) { FOwnerControl = C; }
  TkxBarItemControl* SubItemControl() const { return FSubItemControl; }
  void SetSubItemControl(TkxBarItemControl* C) { FSubItemControl = C; }
  int OwnerWidth() const { return FOwnerWidth; }
  void SetOwnerWidth(int V) { FOwnerWidth = V; }
  int OwnerHeight() const { return FOwnerHeight; }
  void SetOwnerHeight(int V) { FOwnerHeight = V; }
  bool Animate() const { return FAnimate; }
  void SetAnimate(bool V) { FAnimate = V; }
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Index);
  bool DirectionRight() const { return FDirectionRight; }
  void SetDirectionRight(bool V) { FDirectionRight = V; }
  bool DirectionDown() const { return FDirectionDown; }
  void SetDirectionDown(bool V) { FDirectionDown = V; }
  HWND ParentWindow2() const { return FParentWnd; }
  void SetParentWindow2(HWND H) { FParentWnd = H; }
  int MenuGlyphSize() const { return FMenuGlyphSize; }
  int ExpandButtonHeight() const { return FExpandButtonHeight; }
  int ArrowPartWidth() const { return FArrowPartWidth; }
  bool PaintingLessUsed() const { return FPaintingLessUsed; }
  void SetPaintingLessUsed(bool V) { FPaintingLessUsed = V; }
  HBRUSH RecentBrush() const { return FRecentBrush; }
  bool DetachBarHot() const { return FDetachBarHot; }
  bool Closing() const { return FLocked; }
  int FirstLeft() const { return FFirstLeft; }
  int FirstTop() const { return FFirstTop; }
  TNotifyEvent OnCloseUp, OnPopup;

  int GetBarSize() const;
  int GetDetachBarHeight();
  int GetDetachBarAreaHeight();
  void CalcItemRects(int* Width = nullptr, int* Height = nullptr);
  void CalcBounds(bool& FlipX, bool& FlipY);
  int GetShownCount() const;
  bool CanScrollUp() const { return FTopIndex > 0; }
  bool CanScrollDown() const;
  bool IsOverScrollUp(const TPoint& P) const;
  bool IsOverScrollDown(const TPoint& P) const;
  bool IsRecentMode() const;
  bool IsDetachable() const;
  bool CanDetach() const;
  // The detach strip in window coordinates.
  TRect GetDetachBarRect();
  // Whether a client point (the strip lies above the client area) is on the strip.
  bool IsOverDetachBar(const TPoint& ClientPoint);
  void SetDetachBarHot(bool Value);
  // Tears the menu off as its sub item's detaching bar while the mouse drags
  // the strip; returns when the button is released, Esc is pressed or the
  // mouse comes back. The menu is freed when it is torn off.
  void DetachMenu();
  TRect GetExpandButtonRect() const;
  bool IsOverExpandButton(const TPoint& P) const;
  void ExpandMenu();
  void StartDelayTimer(int Milliseconds, int Kind);
  void StopDelayTimer();
  void UpdateRecentItemCount();
  void PaintSideStrip(HDC DC, const TRect& R);
  void PaintNonClient(HDC DC);
  void CloseMenu();
  // The unfold and slide animations (kxbaranim.cpp): started by CreateWnd
  // when Animate is set; WaitAnimation brings a running one to its end.
  void StartAnimation(bool FlipX, bool FlipY);
  void WaitAnimation();
  TkxBarMenuAnimations AnimationKind() const { return FAnimationKind; }
  void SetAnimationKind(TkxBarMenuAnimations V) { FAnimationKind = V; }
  int GetGlyphColumnWidth() const;
  int GetArrowSize() const;
  // The last visible item (above the bottom arrow, else the last shown).
  TkxBarItemControl* LastVisibleControl() const { return FLastVisible; }
  bool IsLastVisible(TkxBarItemControl* Control) const { return FLastVisible == Control; }

  bool IsFlatItemsValue() const { return false; }
  void CreateItemControls() override;
  void DestroyItemControls() override;
  void CalcMetrics() override;
  bool CanCustomizeItems() const override;
  int IsFlatItems() const override { return 0; }
  int GetSeparatorSize() const override;
  HFONT GetFontHandle() const override;
  bool IsCustomizing() const override;
  bool IsShadowVisible() const override;
  void GetItemRectEx(TkxBarItemControl* Control, bool WithSeparator, TRect& R) const override;
  bool IsMenuWindow() const override { return true; }
  TkxBarItemControl* GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before) override;
  bool IsMarkVisible() const override;
  void RepaintItem(TkxBarItemControl* Control) override;
  void UpdateFont() override;
  void SetActive(bool Value) override;
  void SetMarkState(int State) override;
  void SetSelectedControl(TkxBarItemControl* Control) override;
  void FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap) override;
  bool NeedsDoubleBuffering() const override;
  void CloseChain() override;
  void Rebuild() override;
  void WndProc(TMessage& Message) override;
  TBitmap* GetBackgroundBitmap() const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void DestroyWnd() override;
  void Paint() override;
  void DoLButtonDown(TWMMouse& Message) override;
  void DoMouseMove(TWMMouse& Message) override;
  void DoMouseLeave(TMessage& Message) override;
  void DoKeyDown(TWMKey& Message) override;
  void CreateRecentBrush();
  void FreeRecentBrush();
  void StopScrolling();

  bool FExpandingContainers = false;
  bool FDetachBarHot = false;
  TkxBarItemControl* FOwnerControl = nullptr;
  bool FRecreating = false;
  UINT_PTR FDelayTimer = 0;
  HBRUSH FRecentBrush = nullptr;
  int FExpandButtonHeight = 0;
  int FArrowPartWidth = 0;
  TkxBarMenuAnimations FAnimationKind = maNone;
  bool FPaintingLessUsed = false;
  int FMenuGlyphSize = 19;
  int FFirstLeft = 0, FFirstTop = 0;
  int FOwnerWidth = 0, FOwnerHeight = 0;
  std::vector<std::pair<int, TkxBarItemLink*>> FContainerLinks;
  bool FHasContainerLinks = false;
  UINT_PTR FScrollTimer = 0;
  int FScrollDirection = 0;
  bool FAnimate = false;
  int FTopIndex = -1;
  TkxBarItemControl* FSubItemControl = nullptr;
  bool FDirectionRight = true, FDirectionDown = true;
  HWND FParentWnd = nullptr;
  TkxBarItemControl* FLastVisible = nullptr;
  bool FClosed = false;
};

// Shows a menu window: creates it on first use, places it and makes it the
// active window of menu mode.
void kxBarShowSubMenu(TkxBarSubMenuControl* Menu);

// ===========================================================================
// Item controls
// ===========================================================================

class TkxBarItemControl : public TObject {
  PV_CLASS(TkxBarItemControl, TObject)
 public:
  using OwnerType = TkxBarItemLink;
  explicit TkxBarItemControl(TkxBarItemLink* ALink);
  ~TkxBarItemControl() override;

  TkxBarItemLink* Link() const { return FLink; }
  TCustomkxBarControl* Parent() const { return FParent; }
  TkxBarManager* BarManager() const;
  TkxBarItem* Item() const;
  TkxBarItemAlign Align() const;
  bool HasGlyph();
  bool HasImage();
  bool UnclickAfterDoing() const;
  bool IsInQuickControl() const;
  bool IsPressedUnderMouse() const;
  int DefaultHeight();
  int DefaultWidth();
  bool Active() const { return FActive; }
  bool NonRecent() const { return FNonRecent; }
  void SetNonRecent(bool V) { FNonRecent = V; }
  bool BandStart() const { return FBandStart; }
  void SetBandStart(bool V) { FBandStart = V; }
  bool HasWindow() const { return FHasWindow; }
  bool Clicking() const { return FClicking; }
  bool SelectedByMouse() const { return FSelectedByMouse; }
  void SetSelectedByMouse(bool V) { FSelectedByMouse = V; }
  TRect BeginGroupRect() const { return FBeginGroupRect; }
  void SetBeginGroupRect(const TRect& R) { FBeginGroupRect = R; }
  Byte LayoutByte() const { return FLayoutByte; }
  void SetLayoutByte(Byte V) { FLayoutByte = V; }
  // The last-in-row and new-row flags of the toolbar layout.
  bool LastInRow() const { return FLayoutByte & 1; }
  void SetLastInRow(bool V) { FLayoutByte = V ? (FLayoutByte | 1) : (FLayoutByte & ~1); }
  bool NewRow() const { return FLayoutByte & 2; }
  void SetNewRow(bool V) { FLayoutByte = V ? (FLayoutByte | 2) : (FLayoutByte & ~2); }
  TRect ItemRect() const;

  // ---- virtual operations ----
  virtual void ReleaseWindows() {}
  virtual void ItemChanged();
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged() { Repaint(); }
  virtual void StateChanged();
  virtual void VisibleRangeChanged(bool InRange) {}
  virtual void ShortCutChanged();
  virtual void VisibleChanged();
  virtual bool IsClickable() { return true; }
  virtual bool IsOwnItem() const;
  virtual bool CanBeSelectedInDesign() { return IsSelectable(); }
  virtual bool IsSelectable();
  virtual void ClickByKeyboard(bool Flag);
  virtual void SetActive(bool Flag) { FActive = true; }
  virtual void Deactivate(bool Flag) { FActive = false; }
  virtual void Activate(bool Flag) {}
  virtual void Click(bool Flag);
  virtual bool IsSelected();
  virtual void KeyDown(Word Key) {}
  virtual bool IsDropDownKey(Word Key) { return false; }
  virtual void GetArrowColors(int PaintKind, int& ColorIndex, HBRUSH& Brush, bool PressedOrDroppedDown,
                              bool Selected, bool Enabled);
  virtual AnsiString GetCaption();
  virtual bool IsEnabled();
  virtual TBitmap* GetGlyph();
  virtual int GetImageIndex();
  virtual TCustomImageList* GetImages(bool Small);
  virtual AnsiString GetHint();
  virtual TCustomImageList* GetHotImages();
  virtual bool CanShowGlyph();
  virtual TCustomImageList* GetLargeImages();
  virtual TkxBarItemControlPainterClass GetPainter() const;
  virtual TShortCut GetShortCut();
  virtual int GetTextIndent();
  virtual int GetHeight() { return 0; }
  virtual int GetClientAlignedHeight() { return 1; }
  virtual int GetMinWidth() { return 1; }
  virtual TCustomkxBarControl* GetChildBarControl() { return nullptr; }
  virtual int GetWidth() { return 0; }
  virtual bool HasHint();
  virtual int IsFlatItems();
  virtual bool ClosesMenuOnClick() { return true; }
  virtual bool OpensChildMenu() { return false; }
  virtual bool IsExpandedInPlace() { return false; }
  virtual bool WantsHotTracking() { return false; }
  virtual void Paint(HDC DC, const TRect& R, int PaintKind) {}
  virtual void Repaint();
  virtual bool AcceptsDoubleClick();
  virtual void DoubleClick() {}
  // Called when the link's group flag changes.
  virtual void BeginGroupChanged();
  // The bar window is being laid out again after the item's alignment changed.
  virtual void AlignChanged();

  // ---- drawing helpers ----
  void DrawLowered(HDC DC, TRect& R);
  void DrawGlyphButton(HDC DC, const TRect& R, const TkxBarButtonPaintState& S, bool CaptionOnly,
                       const TRect* DropDownR = nullptr);
  void DrawMenuButton(HDC DC, const TRect& R, bool Down, bool HasCaption, bool Selected);
  void DrawCaption(HDC DC, const AnsiString& Text, bool Highlight, bool Clip, bool Rotated, bool Selected,
                   bool Enabled, int Alignment, const TRect& R);

 protected:
  TRect FBeginGroupRect{};
  bool FBandStart = false;
  bool FHasWindow = false;
  bool FActive = false;
  TkxBarItemLink* FLink;
  Byte FLayoutByte = 0;
  bool FNonRecent = false;
  TCustomkxBarControl* FParent;
  bool FClicking = false;
  bool FSelectedByMouse = false;
};

// Registers the published settings of the core classes; from the start-up list.
void kxBarRegisterCoreProps();
