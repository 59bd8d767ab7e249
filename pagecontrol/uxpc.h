// The owner-drawn tab control: its tabs, the list of visible tabs, the
// current tab, the options that shape the tabs, the navigator buttons (scroll
// arrows, go-to-tab menu, close button), and the painter that measures and
// draws everything. The control decides rows, positions and state; every
// pixel and every metric comes from the painter (uxpcpainter.h).
#pragma once

#include <memory>
#include <vector>

#include "framework/uxcontrols.h"
#include "framework/uxtimers.h"
#include "platform/controls/imglist.h"
#include "platform/controls/menus.h"

class TuxCustomTabControl;
class TuxPCCustomPainter;
class TuxPCPainterMeta;
class TuxPCImageList;
class TuxPCGoDialog;
class TuxTabs;
class TuxFreeNotificator;
using TuxPCPainterClass = const TuxPCPainterMeta*;

// Errors of the tab-control classes read "<class>.<operation>: <message>".
PV_DECLARE_EXCEPTION(EuxPCError, Exception)

enum TuxPCOption {
  pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoNoArrows,
  pcoRedrawOnResize, pcoSort, pcoTopToBottomText, pcoUsePageColorForTab
};
using TuxPCOptions = TSet<TuxPCOption>;
enum TuxTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TuxPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
enum TuxPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
using TuxPCNavigatorButtons = TSet<TuxPCNavigatorButton>;
enum TuxTabSlantKind { skCutCorner, skSlant };
enum TuxTabSlantPosition { spLeft, spRight };
using TuxTabSlantPositions = TSet<TuxTabSlantPosition>;
using TuxPCStyleID = int;  // 0: the default style of the look and feel

PV_ENUM_NAMES(TuxPCOption,
              "pcoCloseButton pcoFixedTabWidthWhenRotated pcoGoDialog pcoGradient pcoGradientClientArea "
              "pcoNoArrows pcoRedrawOnResize pcoSort pcoTopToBottomText pcoUsePageColorForTab")
PV_ENUM_NAMES(TuxTabPosition, "tpTop tpBottom tpLeft tpRight")
PV_ENUM_NAMES(TuxPCNavigatorPosition, "npLeftTop npLeftBottom npRightTop npRightBottom")
PV_ENUM_NAMES(TuxPCNavigatorButton, "nbTopLeft nbBottomRight nbGoDialog nbClose")
PV_ENUM_NAMES(TuxTabSlantKind, "skCutCorner skSlant")
PV_ENUM_NAMES(TuxTabSlantPosition, "spLeft spRight")

// States of a navigator button.
constexpr Byte nbsNormal = 0, nbsPressed = 1, nbsHotTrack = 2, nbsDisabled = 3;

// What changed about a tab (the second argument of every tab notification).
enum TabChangeKind {
  tckContent, tckColor, tckEnabled, tckControlFocus, tckHighlighted, tckHot, tckMain, tckLayout, tckPressed,
  tckSelected, tckTracking
};

// First and last visible index of one row.
struct TuxPCLineIndexBounds {
  int First = -1, Last = -1;
};
using TuxPCLineIndexBoundsArray = std::vector<TuxPCLineIndexBounds>;

// Where the painter puts the rows and how much room they have.
struct TabLayoutParams {
  TRect TabsArea{};
  int NearAreaExtension = 0;
  int FarAreaExtension = 0;
  int AreaGap = 0;
  int RowLength = 0;
  TRect RowsRect{};
};

using TuxDrawTabEvent = TEvent<void(TuxCustomTabControl* AControl, class TuxTab* ATab, bool& DefaultDraw)>;
using TuxDrawTabExEvent = TEvent<void(TuxCustomTabControl* AControl, class TuxTab* ATab, TFont* Font)>;
using TuxGetTabImageEvent = TEvent<void(TObject* Sender, int TabIndex, int& ImageIndex)>;
using TuxTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;
using TuxCanCloseEvent = TEvent<void(TObject* Sender, bool& ACanClose)>;

// ---- one tab ----

class TuxTab : public TPersistent {
  PV_CLASS(TuxTab, TPersistent)
 public:
  TuxTab(TuxTabs* ATabs, int AIndex);
  // Freeing a tab directly takes it out of its list.
  ~TuxTab() override;
  void Assign(TPersistent* Source) override;

  TuxTabs* Tabs() const { return FTabs; }
  TuxCustomTabControl* Control() const;

  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool Selected() const { return FSelected; }
  void SetSelected(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Index() const { return FIndex; }
  TObject* Object() const { return FObject; }
  void SetObject(TObject* Value) { FObject = Value; }

  // ---- derived queries ----
  int VisibleIndex() const;
  bool IsMain() const;
  bool IsHot() const;
  bool IsPressed() const;
  bool IsTracked() const;
  bool IsEnabled() const;
  int Length() const;
  TRect NormalRect() const;
  TRect FullRect() const;
  TRect VisibleRect() const;
  bool IsVisibleOnScreen() const;
  TuxTabPosition Side() const;
  int DrawKind() const;

  // ---- layout data (the control and the painters) ----
  int RowNumber = 0;
  int DrawnRow = 0;
  TPoint BasePosition{};
  int MeasuredWidth = 0;
  int EdgeCorrection[4] = {0, 0, 0, 0};  // left, top, right, bottom
  std::unique_ptr<TBitmap> RotatedCaptionBitmap;
  std::unique_ptr<TBitmap> OffscreenBitmap;

 private:
  friend class TuxTabs;
  friend class TuxCustomTabControl;
  void Changed(TabChangeKind Kind);
  AnsiString FCaption;
  TColor FColor = clDefault;
  bool FEnabled = true;
  bool FHighlighted = false;
  int FImageIndex;
  bool FSelected = false;
  bool FVisible = true;
  int FIndex;
  TObject* FObject = nullptr;
  TuxTabs* FTabs;
  bool FRemovingItself = false;
};

// ---- the tab list: the strings are the captions, the objects each tab's object ----

class TuxTabs : public TStrings {
  PV_CLASS(TuxTabs, TStrings)
 public:
  explicit TuxTabs(TuxCustomTabControl* AControl);
  ~TuxTabs() override;

  TuxCustomTabControl* Control() const { return FControl; }
  // Raises "TuxTabs.GetTab: Tab's index (%d) out of bounds".
  TuxTab* Tabs(int Index) const;
  TuxTab* operator[](int Index) const { return Tabs(Index); }
  // The tab at a visible index; raises "TuxTabs.GetVisibleTab: ..." out of range.
  TuxTab* VisibleTabs(int VisibleIndex) const;

  AnsiString Get(int Index) const override;
  int GetCount() const override { return int(FItems.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Move(int CurIndex, int NewIndex) override;

  int MeasuredTabHeight = 0;

 private:
  friend class TuxTab;
  void CheckIndex(int Index, const char* Operation) const;
  void RemoveTab(TuxTab* Tab, bool FreeIt);
  void Renumber(int From, int To);
  std::vector<TuxTab*> FItems;
  TuxCustomTabControl* FControl;
  bool FDeleteGuard = false;
};

// ---- indices of the visible tabs, ascending ----

class TuxVisibleTabList {
 public:
  explicit TuxVisibleTabList(TuxTabs* ATabs) : FTabs(ATabs) {}
  int Count() const { return int(FItems.size()); }
  // Raises "TuxVisibleTabList.GetTab: ..." for a bad visible index.
  TuxTab* Tabs(int VisibleIndex) const;
  int ListIndex(int VisibleIndex) const { return FItems[std::size_t(VisibleIndex)]; }
  // The visible index of a tab, by halving; -1 when it is hidden.
  int IndexOf(int ListIndex) const;
  // The visible index a hidden tab would take.
  int InsertionIndex(int ListIndex) const;
  void Rebuild();
  // The message for a visible index out of range ("" when it is in range).
  AnsiString RangeError(int VisibleIndex) const;

 private:
  TuxTabs* FTabs;
  std::vector<int> FItems;
};

// ---- slanted tab settings ----

class TuxTabSlants : public TPersistent {
  PV_CLASS(TuxTabSlants, TPersistent)
 public:
  explicit TuxTabSlants(TPersistent* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TuxTabSlantKind Kind() const { return FKind; }
  void SetKind(TuxTabSlantKind Value);
  TuxTabSlantPositions Positions() const { return FPositions; }
  void SetPositions(TuxTabSlantPositions Value);
  std::function<void(TObject* Sender)> OnChange;

 private:
  void Changed();
  TPersistent* FOwner;
  TuxTabSlantKind FKind = skSlant;
  TuxTabSlantPositions FPositions = {spLeft};
};

// ---- the control ----

class TuxCustomTabControl : public TuxControl {
  PV_CLASS(TuxCustomTabControl, TuxControl)
  friend class TuxTab;
  friend class TuxTabs;

 public:
  explicit TuxCustomTabControl(TComponent* AOwner);
  ~TuxCustomTabControl() override;
  void Loaded() override;

  // -- published settings --
  bool Focusable() const { return FFocusable; }
  void SetFocusable(bool Value);
  bool HideTabs() const { return FHideTabs; }
  void SetHideTabs(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  int ImageBorder() const { return FImageBorder; }
  void SetImageBorder(int Value);
  TCustomImageList* Images() const;
  void SetImages(TCustomImageList* Value);
  int MaxRotatedTabWidth();
  void SetMaxRotatedTabWidth(int Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TuxPCNavigatorPosition NavigatorPosition() const { return FNavigatorPosition; }
  void SetNavigatorPosition(TuxPCNavigatorPosition Value);
  TuxPCOptions Options() const { return FOptions; }
  void SetOptions(TuxPCOptions Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  bool RaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool Value);
  bool Rotate() const { return FRotate; }
  void SetRotate(bool Value);
  bool ScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool Value);
  bool ShowFrame() const { return FShowFrame; }
  void SetShowFrame(bool Value);
  TuxPCStyleID Style() const { return FStyle; }
  void SetStyle(TuxPCStyleID Value);
  SmallInt TabHeight() const { return FTabHeight; }
  void SetTabHeight(SmallInt Value);
  SmallInt TabWidth() const { return FTabWidth; }
  void SetTabWidth(SmallInt Value);
  TuxTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TuxTabPosition Value);
  TuxTabSlants* TabSlants() const { return FTabSlants.get(); }
  void SetTabSlants(TuxTabSlants* Value) { FTabSlants->Assign(Value); }

  // -- state --
  int TabIndex() const { return FTabIndex; }
  void SetTabIndex(int Value);
  int MainTab() const { return FMainTab; }
  TuxTabs* Tabs() const { return FTabs.get(); }
  TuxVisibleTabList* VisibleTabs() const { return FVisibleTabs.get(); }
  TuxTab* VisibleTab(int VisibleIndex) const { return FTabs->VisibleTabs(VisibleIndex); }
  TuxPCCustomPainter* Painter() const { return FPainter; }
  TuxPCImageList* ImageList() const { return FImageList.get(); }
  TuxPCGoDialog* GoDialog() const { return FGoDialog; }
  bool GoDialogShowing() const { return FGoDialogShowing; }
  int HotTab() const { return FHotTab; }
  int PressedTab() const { return FPressedTab; }
  int TrackedTab() const { return FTrackedTab; }
  bool MultiSelect() const { return FMultiSelect; }
  int FirstVisibleTab() const { return FFirstVisibleTab; }
  int LastShownTab() const { return FLastShownTab; }
  bool LastTabFullyShown() const { return FLastTabFullyShown; }
  int RowCount() const { return FRowCount; }
  int NearRowCount() const { return FNearRowCount; }
  int RowThickness() const { return FRowThickness; }
  TRect NearTabArea() const { return FNearTabArea; }
  TRect FarTabArea() const { return FFarTabArea; }
  const TabLayoutParams& LayoutParams() const { return FTabLayoutParams; }
  TuxPCNavigatorButtons ShownNavigatorButtons() const { return FShownNavigatorButtons; }
  TuxPCNavigatorButtons HotNavigatorButtons() const { return FHotNavigatorButtons; }
  TuxPCNavigatorButtons PressedNavigatorButtons() const { return FPressedNavigatorButtons; }
  Byte NavigatorButtonState(TuxPCNavigatorButton Button) const { return FNavigatorButtonStates[Button]; }
  TuxTimer* ArrowTimer() const { return FArrowTimer; }
  int ChangeLockCount() const { return FChangeLockCount; }

  // -- text direction --
  bool IsVerticalText() const;
  bool IsTopToBottomText() const;
  bool IsReversedOrder() const;
  bool IsHorizontalRow() const { return FTabPosition == tpTop || FTabPosition == tpBottom; }
  // 0 horizontal, 1 bottom to top, 2 top to bottom.
  int TextDirection() const;

  // -- the change lock --
  void LockChanges() { ++FChangeLockCount; }
  void UnlockChanges() {
    if (FChangeLockCount > 0) --FChangeLockCount;
  }

  // -- layout (uxpclayout.cpp) --
  virtual void LayoutChanged();
  void CalculateLayout();
  void CalculateTabNormalSizes();
  void MakeTabVisible(int VisibleIndex);
  void ScrollTabs(int Delta);
  int TabAt(int X, int Y);
  void ArrangeRows();
  void UpdateHotTrack(TShiftState Shift);
  bool ProcessKey(Word& Key, TShiftState Shift);
  // First and last visible index shown (-1, -1 when none).
  void GetShownRange(int& First, int& Last) const;
  // The rotated width: the widest tab in question, limited by MaxRotatedTabWidth.
  int CalculateRotatedTabWidth();
  // Measures a caption as it is drawn (accelerator marks processed).
  int MeasureCaption(TuxTab* Tab);

  // The page rectangle: stored while loading, else the painter's.
  TRect DisplayRect();

  // -- virtual operations --
  virtual void DoCustomDrawTab(TuxCanvas* ACanvas, TuxTab* ATab, const TRect& ImageRect, const TRect& CaptionRect) {}
  virtual bool CanCloseTab();
  virtual void CloseTab();
  virtual bool DialogChar(Word CharCode);
  virtual bool CanSelectTab(int TabIndex);
  virtual TControl* GetActivePage() { return nullptr; }
  virtual int GetImageIndex(int TabIndex);
  virtual TControl* GetPage(int TabIndex) { return nullptr; }
  virtual void GoDialogTabClick(int TabIndex);
  virtual void ImageListChanged();
  virtual void PrepareTabFont(TuxTab* Tab, TuxCanvas* ACanvas);
  virtual bool HiddenTabCannotBeCurrent() { return false; }
  virtual bool PrintsClient() { return true; }
  virtual bool CanChange(int NewTabIndex);
  virtual void Change();

  // The tab at a visible index changed; -1 for the whole list.
  void TabChanged(int VisibleIndex, TabChangeKind Kind);
  // Recomputes MainTab from TabIndex; notifies old and new main tabs.
  void UpdateMainTab();
  void UpdateNavigatorButtons();
  void SetNavigatorButtonState(TuxPCNavigatorButton Button, Byte State);
  // A click on a tab (visible index), with Ctrl held or not.
  void SelectTab(int VisibleIndex, bool Ctrl);
  void DropRotatedCaptions();

  // events
  TuxCanCloseEvent OnCanClose;
  TNotifyEvent OnChange;
  TuxTabChangingEvent OnChanging;
  TuxDrawTabEvent OnDrawTab;
  TuxDrawTabExEvent OnDrawTabEx;
  TuxGetTabImageEvent OnGetImageIndex;

  // -- overrides of the base control --
  bool CanFocus() override;
  bool HasBackground() override { return false; }
  bool HasScrollBars() override { return false; }
  void LookAndFeelChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed) override;
  void FocusChanged() override;
  void FontChanged() override;
  void MouseLeave(TControl* Control) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateHandle() override;
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  // Whether the key combination reaches the tabs while a child has the focus.
  bool FocusIsInside();
  void UpdateDefaultStyle();
  void ReleasePainter();

  // -- layout steps --
  void CalculateSingleRowLayout();
  void CalculateMultiRowLayout();
  void PlaceTabs(int First, int Last, bool All);
  void BalanceRun(int First, int Last);
  void SetRowExtents();
  void CalculateTabsLayoutParams(TuxPCNavigatorButtons Buttons);
  void SetShownNavigatorButtons(TuxPCNavigatorButtons Buttons);
  void StopArrowTimer();
  void ArrowTimerTick(TObject* Sender);
  void ScrollByArrow(TuxPCNavigatorButton Button);
  void NavigatorButtonDown(TuxPCNavigatorButton Button);
  void NavigatorButtonUp(TuxPCNavigatorButton Button);
  void ReleasePressedNavigatorButton();
  void TabDown(int VisibleIndex, TShiftState Shift);
  void TabUp(int VisibleIndex, TShiftState Shift);
  void SetHotTab(int Value);
  void SetPressedTab(int Value);
  void SetTrackedTab(int Value);
  void ShowGoDialog();
  // Row-axis and cross-axis helpers.
  int RowStart(const TRect& R) const { return IsHorizontalRow() ? R.left : R.top; }
  int CrossStart(const TRect& R) const { return IsHorizontalRow() ? R.top : R.left; }
  int CrossEnd(const TRect& R) const { return IsHorizontalRow() ? R.bottom : R.right; }

  // message handlers
  void WMGetDlgCode(TMessage& M);
  void CMDialogChar(TMessage& M);
  void CMDialogKey(TMessage& M);
  void CMDesignHitTest(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMParentColorChanged(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void WMPrintClient(TMessage& M);

  // fields
  int FChangeLockCount = 0;
  TRect FStoredClientRect{};
  bool FStoredClientRectLoaded = false;
  TRect FFarTabArea{}, FNearTabArea{};
  int FFirstVisibleTab = -1, FLastShownTab = -1;
  bool FLastTabFullyShown = false;
  TuxPCGoDialog* FGoDialog = nullptr;
  TuxPCNavigatorButtons FHotNavigatorButtons, FPressedNavigatorButtons, FShownNavigatorButtons;
  int FHotTab = -1;
  bool FGoDialogShowing = false;
  int FMainTab = -1;
  bool FMultiSelect = false;
  Byte FNavigatorButtonStates[4] = {0, 0, 0, 0};
  TuxPCCustomPainter* FPainter = nullptr;
  int FPressedTab = -1;
  int FRowCount = 0, FNearRowCount = 0, FRowThickness = 0;
  int FTabIndex = -1;
  int FLoadedTabIndex = -2;  // a TabIndex read while loading; -2: none
  std::unique_ptr<TuxTabs> FTabs;
  TabLayoutParams FTabLayoutParams;
  TuxTimer* FArrowTimer = nullptr;
  int FTrackedTab = -1;
  bool FInLayoutChanged = false;
  std::unique_ptr<TuxVisibleTabList> FVisibleTabs;
  std::unique_ptr<TuxPCImageList> FImageList;
  std::unique_ptr<TuxTabSlants> FTabSlants;

  bool FFocusable = true;
  bool FHideTabs = false;
  bool FHotTrack = false;
  int FImageBorder = 0;
  int FMaxRotatedTabWidth = 0;
  bool FMultiLine = false;
  TuxPCNavigatorPosition FNavigatorPosition = npRightTop;
  TuxPCOptions FOptions = {pcoGradient, pcoGradientClientArea, pcoRedrawOnResize};
  bool FOwnerDraw = false;
  bool FRaggedRight = false;
  bool FRotate = false;
  bool FScrollOpposite = false;
  bool FShowFrame = false;
  TuxPCStyleID FStyle = 0;
  SmallInt FTabHeight = 0, FTabWidth = 0;
  TuxTabPosition FTabPosition = tpTop;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey)
    PV_MESSAGE_HANDLER(CM_DESIGNHITTEST, TMessage, CMDesignHitTest)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_PARENTCOLORCHANGED, TMessage, CMParentColorChanged)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(WM_PRINTCLIENT, TMessage, WMPrintClient)
  END_MESSAGE_MAP(TuxControl)
};

// ---- the go-to-tab menu ----

class TuxPCGoDialog : public TPopupMenu {
  PV_CLASS(TuxPCGoDialog, TPopupMenu)
 public:
  explicit TuxPCGoDialog(TuxCustomTabControl* AControl);
  // Lists the enabled visible tabs (sorted by their captions without
  // accelerator marks when Sorted) and shows the menu under the go button.
  void PopupSorted(bool Sorted);
  // The captions of the items of the last build, for checks.
  std::function<void(int TabIndex)> OnTabClick;

 private:
  void ItemClick(TObject* Sender);
  TuxCustomTabControl* FControl;
};

// A caption without its accelerator marks: each '&' is dropped and the
// character after it kept.
AnsiString uxPCRemoveAccelerators(const AnsiString& Caption);

// ---- the image list wrapper ----

class TuxPCImageList {
 public:
  explicit TuxPCImageList(TuxCustomTabControl* AOwner);
  ~TuxPCImageList();
  TuxPCImageList(const TuxPCImageList&) = delete;
  TuxPCImageList& operator=(const TuxPCImageList&) = delete;

  TCustomImageList* BaseImages() const { return FBaseImages; }
  void SetBaseImages(TCustomImageList* Value);
  Byte RotationKind() const { return FRotationKind; }
  void SetRotationKind(Byte Value);
  TSize GetImageSize() const;
  TSize GetRotatedImageSize() const;
  // Draws image Index at X, Y on the tab colour; raises for a missing list or index.
  void Draw(TCanvas* ACanvas, int X, int Y, int Index, TColor BackgroundColor, bool Enabled);
  // How often a rotated image was drawn afresh into the cache (for checks).
  int CacheRedraws() const { return FCacheRedraws; }

  std::function<void()> OnChange;
  std::function<void(TBitmap* Bitmap)> OnPrepareBitmap;

 private:
  struct TRotatedImage {
    TColor Color = clNone;
    bool Enabled = true;  // the dimmed and the plain image are told apart
    std::unique_ptr<TBitmap> Bitmap;
    bool Valid = false;
  };
  void BaseImagesChanged(TObject* Sender = nullptr);
  void BaseImagesFreed(TComponent* Sender);
  void UpdateRotatedImage(int Index, TColor BackgroundColor, bool Enabled);
  TuxCustomTabControl* FOwnerControl;
  TCustomImageList* FBaseImages = nullptr;
  std::unique_ptr<TChangeLink> FImagesChangeLink;
  std::unique_ptr<TuxFreeNotificator> FImagesFreeWatcher;
  Byte FRotationKind = 0;
  std::vector<TRotatedImage> FRotatedImageCache;
  int FCacheRedraws = 0;
};

// Registers the classes of this unit and the published settings of the tabs
// and the slant settings.
void uxInitTabControl();

// Publishes the tab control's settings and events on a class that shows them
// (the page control does).
template <class C>
void PublishTabControlProps(TPropBuilder<C>& p) {
  using T = TuxCustomTabControl;
  p.Prop("Focusable", &T::Focusable, &T::SetFocusable).Default(true);
  p.Prop("HideTabs", &T::HideTabs, &T::SetHideTabs).Default(false);
  p.Prop("HotTrack", &T::HotTrack, &T::SetHotTrack).Default(false);
  p.Prop("ImageBorder", &T::ImageBorder, &T::SetImageBorder).Default(0);
  p.Prop("Images", &T::Images, &T::SetImages);
  p.Prop("MaxRotatedTabWidth", &T::MaxRotatedTabWidth, &T::SetMaxRotatedTabWidth).Default(0);
  p.Prop("MultiLine", &T::MultiLine, &T::SetMultiLine).Default(false);
  p.Prop("NavigatorPosition", &T::NavigatorPosition, &T::SetNavigatorPosition).Default(npRightTop);
  p.Prop("Options", &T::Options, &T::SetOptions)
      .Default(TuxPCOptions{pcoGradient, pcoGradientClientArea, pcoRedrawOnResize});
  p.Prop("OwnerDraw", &T::OwnerDraw, &T::SetOwnerDraw).Default(false);
  p.Prop("RaggedRight", &T::RaggedRight, &T::SetRaggedRight).Default(false);
  // Style before Rotate: a style without rotation turns Rotate off.
  p.Prop("Style", &T::Style, &T::SetStyle).Default(0);
  p.Prop("Rotate", &T::Rotate, &T::SetRotate).Default(false);
  p.Prop("ScrollOpposite", &T::ScrollOpposite, &T::SetScrollOpposite).Default(false);
  p.Prop("ShowFrame", &T::ShowFrame, &T::SetShowFrame).Default(false);
  p.Prop("TabHeight", &T::TabHeight, &T::SetTabHeight).Default(0);
  p.Prop("TabPosition", &T::TabPosition, &T::SetTabPosition).Default(tpTop);
  p.Prop("TabSlants", &T::TabSlants, &T::SetTabSlants);
  p.Prop("TabWidth", &T::TabWidth, &T::SetTabWidth).Default(0);
}

template <class C>
void PublishTabControlEvents(TPropBuilder<C>& p) {
  using T = TuxCustomTabControl;
  p.Prop("OnCanClose", &T::OnCanClose, &T::OnCanClose);
  p.Prop("OnChange", &T::OnChange, &T::OnChange);
  p.Prop("OnDrawTab", &T::OnDrawTab, &T::OnDrawTab);
  p.Prop("OnDrawTabEx", &T::OnDrawTabEx, &T::OnDrawTabEx);
  p.Prop("OnGetImageIndex", &T::OnGetImageIndex, &T::OnGetImageIndex);
}
