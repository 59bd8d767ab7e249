// Dock controls and their tree: the base class of every panel, site,
// container and floating site; the zones under the mouse where a dragged
// control docks or an edge is dragged; form-edge dock sites with their hide
// bars; layout sites; tab and side containers; floating sites and their tool
// windows.
//
// All dock controls of one form form trees: each has at most one parent dock
// control and an ordered list of children. A form-edge TkxDockSite or a
// TkxFloatDockSite is the root of a tree. A layout node has no children or
// exactly two: index 0 a TkxLayoutDockSite docked dtClient holding the rest of
// the area, index 1 the control docked to one side.
#pragma once

#include <memory>
#include <vector>

#include "docking/kxdocktypes.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"

class TCustomIniFile;
class TReader;

// ===================================================================== zones

// One place under the pointer: where a dragged control docks (dock zones) or
// an edge that resizes a control (resize zones). Coordinates of GetRectangle
// are the owner's window coordinates.
class TkxZone : public TObject {
  PV_CLASS(TkxZone, TObject)
 public:
  // A nil owner is an internal error.
  TkxZone(TkxCustomDockControl* AOwner, int AWidth);
  TkxCustomDockControl* Owner() const { return FOwner; }

  // 0 client-type, 1 vertical strip (left or right edge), 2 horizontal strip.
  virtual int Direction() const = 0;
  virtual int DockIndex() const { return -1; }
  virtual TkxDockingType DockType() const = 0;
  virtual TRect GetRectangle() = 0;
  virtual int SelectionFrameWidth();
  // The stored width, or 20 when it is 0 or less.
  virtual int Width() const { return FWidth > 0 ? FWidth : 20; }
  virtual bool CanConstrainedResize(int NewWidth, int NewHeight);
  virtual bool CanDock(TkxCustomDockControl* AControl);
  virtual bool CanResize(const TPoint& StartPoint, const TPoint& EndPoint) { return false; }
  virtual TRect GetDockingSelection(TkxCustomDockControl* AControl);
  virtual TRect GetResizingSelection(const TPoint& Point) { return TRect(); }
  virtual bool IsZonePoint(const TPoint& ScreenPoint);
  virtual void DoDock(TkxCustomDockControl* AControl);
  virtual void DoResize(const TPoint& StartPoint, const TPoint& EndPoint) {}
  virtual void DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint& Point);
  virtual void DrawResizingSelection(HDC DC, const TPoint& Point);

 protected:
  // The four PATINVERT bars of a frame of thickness W around R.
  static void DrawFrameBars(HDC DC, const TRect& R, int W);
  TkxCustomDockControl* FOwner;
  int FWidth;
};

// ---- edge zones ----
class TkxLeftZone : public TkxZone {
  PV_CLASS(TkxLeftZone, TkxZone)
 public:
  using TkxZone::TkxZone;
  int Direction() const override { return 1; }
  TkxDockingType DockType() const override { return dtLeft; }
  TRect GetRectangle() override;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  TRect GetResizingSelection(const TPoint& P) override;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxRightZone : public TkxZone {
  PV_CLASS(TkxRightZone, TkxZone)
 public:
  using TkxZone::TkxZone;
  int Direction() const override { return 1; }
  TkxDockingType DockType() const override { return dtRight; }
  TRect GetRectangle() override;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  TRect GetResizingSelection(const TPoint& P) override;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxTopZone : public TkxZone {
  PV_CLASS(TkxTopZone, TkxZone)
 public:
  using TkxZone::TkxZone;
  int Direction() const override { return 2; }
  TkxDockingType DockType() const override { return dtTop; }
  TRect GetRectangle() override;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  TRect GetResizingSelection(const TPoint& P) override;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxBottomZone : public TkxZone {
  PV_CLASS(TkxBottomZone, TkxZone)
 public:
  using TkxZone::TkxZone;
  int Direction() const override { return 2; }
  TkxDockingType DockType() const override { return dtBottom; }
  TRect GetRectangle() override;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  TRect GetResizingSelection(const TPoint& P) override;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};

// ---- resize zones of a control shown out of a hide bar ----
class TkxAutoHideLeftZone : public TkxLeftZone {
  PV_CLASS(TkxAutoHideLeftZone, TkxLeftZone)
 public:
  using TkxLeftZone::TkxLeftZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxAutoHideRightZone : public TkxRightZone {
  PV_CLASS(TkxAutoHideRightZone, TkxRightZone)
 public:
  using TkxRightZone::TkxRightZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxAutoHideTopZone : public TkxTopZone {
  PV_CLASS(TkxAutoHideTopZone, TkxTopZone)
 public:
  using TkxTopZone::TkxTopZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};
class TkxAutoHideBottomZone : public TkxBottomZone {
  PV_CLASS(TkxAutoHideBottomZone, TkxBottomZone)
 public:
  using TkxBottomZone::TkxBottomZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  static bool ValidateResizeZone(TkxCustomDockControl* AControl);
};

// ---- resize zones of an auto-size form-edge site (owned by the site) ----
class TkxAutoSizeLeftZone : public TkxLeftZone {
  PV_CLASS(TkxAutoSizeLeftZone, TkxLeftZone)
 public:
  using TkxLeftZone::TkxLeftZone;
  static bool ValidateResizeZone(TkxCustomDockControl* ASite);
};
class TkxAutoSizeRightZone : public TkxRightZone {
  PV_CLASS(TkxAutoSizeRightZone, TkxRightZone)
 public:
  using TkxRightZone::TkxRightZone;
  static bool ValidateResizeZone(TkxCustomDockControl* ASite);
};
class TkxAutoSizeTopZone : public TkxTopZone {
  PV_CLASS(TkxAutoSizeTopZone, TkxTopZone)
 public:
  using TkxTopZone::TkxTopZone;
  static bool ValidateResizeZone(TkxCustomDockControl* ASite);
};
class TkxAutoSizeBottomZone : public TkxBottomZone {
  PV_CLASS(TkxAutoSizeBottomZone, TkxBottomZone)
 public:
  using TkxBottomZone::TkxBottomZone;
  static bool ValidateResizeZone(TkxCustomDockControl* ASite);
};

// ---- splitters between the items of side containers (owned by the item) ----
class TkxHorizContainerZone : public TkxRightZone {
  PV_CLASS(TkxHorizContainerZone, TkxRightZone)
 public:
  using TkxRightZone::TkxRightZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
};
class TkxVertContainerZone : public TkxBottomZone {
  PV_CLASS(TkxVertContainerZone, TkxBottomZone)
 public:
  using TkxBottomZone::TkxBottomZone;
  bool CanResize(const TPoint& S, const TPoint& E) override;
  void DoResize(const TPoint& S, const TPoint& E) override;
};

// ---- client-type zones ----
class TkxClientZone : public TkxZone {
  PV_CLASS(TkxClientZone, TkxZone)
 public:
  using TkxZone::TkxZone;
  int Direction() const override { return 0; }
  TkxDockingType DockType() const override { return dtClient; }
  TRect GetRectangle() override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
};
// A site whose two children are both hidden or auto-hidden: docks onto the
// control found inside it.
class TkxInvisibleClientZone : public TkxClientZone {
  PV_CLASS(TkxInvisibleClientZone, TkxClientZone)
 public:
  using TkxClientZone::TkxClientZone;
  bool CanDock(TkxCustomDockControl* AControl) override;
  void DoDock(TkxCustomDockControl* AControl) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  static TkxCustomDockControl* FindDockHost(TkxCustomDockControl* AControl);
};
// The caption of a floating window: docks into its only child.
class TkxFloatZone : public TkxClientZone {
  PV_CLASS(TkxFloatZone, TkxClientZone)
 public:
  using TkxClientZone::TkxClientZone;
  bool CanDock(TkxCustomDockControl* AControl) override;
  void DoDock(TkxCustomDockControl* AControl) override;
  void DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint& Point) override;
  bool IsZonePoint(const TPoint& ScreenPoint) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);

 private:
  TkxZone* InnerZone();
};
class TkxAutoSizeClientZone : public TkxClientZone {
  PV_CLASS(TkxAutoSizeClientZone, TkxClientZone)
 public:
  using TkxClientZone::TkxClientZone;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  bool IsZonePoint(const TPoint& ScreenPoint) override;
  static TRect AutoSizeSelection(TkxCustomDockControl* Site, TkxCustomDockControl* AControl);
};
class TkxInvisibleAutoSizeClientZone : public TkxInvisibleClientZone {
  PV_CLASS(TkxInvisibleAutoSizeClientZone, TkxInvisibleClientZone)
 public:
  using TkxInvisibleClientZone::TkxInvisibleClientZone;
  TRect GetDockingSelection(TkxCustomDockControl* AControl) override;
  bool IsZonePoint(const TPoint& ScreenPoint) override;
};
// Zones drawn as the outline of a page with its tab.
class TkxTabContainerZone : public TkxClientZone {
  PV_CLASS(TkxTabContainerZone, TkxClientZone)
 public:
  using TkxClientZone::TkxClientZone;
  void DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint& Point) override;
  // The tab AControl would get, relative to the container's window.
  virtual void GetTabRect(TkxCustomDockControl* AControl, TRect& R);
  virtual void GetTabsRect(TRect& R);
  virtual TkxTabContainerTabsPosition TabsPosition();
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);
  // The eight bars of the outline of body B with tab T (relative to B) in strip S.
  static void DrawTabOutline(HDC DC, TRect B, TRect T, const TRect& S, int W, TkxTabContainerTabsPosition Position);
};
class TkxTabContainerCaptionZone : public TkxTabContainerZone {
  PV_CLASS(TkxTabContainerCaptionZone, TkxTabContainerZone)
 public:
  using TkxTabContainerZone::TkxTabContainerZone;
  bool IsZonePoint(const TPoint& ScreenPoint) override;
};
class TkxTabContainerTabZone : public TkxTabContainerZone {
  PV_CLASS(TkxTabContainerTabZone, TkxTabContainerZone)
 public:
  TkxTabContainerTabZone(TkxCustomDockControl* AOwner, int AWidth, int ATabIndex)
      : TkxTabContainerZone(AOwner, AWidth), FTabIndex(ATabIndex) {}
  int DockIndex() const override { return FTabIndex; }
  bool IsZonePoint(const TPoint& ScreenPoint) override;
  static bool ValidateDockZone(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl);

 private:
  int FTabIndex;
};
// The whole of a panel (or its caption), drawn as the panel's prospective tab.
class TkxDockPanelClientZone : public TkxClientZone {
  PV_CLASS(TkxDockPanelClientZone, TkxClientZone)
 public:
  using TkxClientZone::TkxClientZone;
  void DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint& Point) override;
};
class TkxDockPanelCaptionClientZone : public TkxDockPanelClientZone {
  PV_CLASS(TkxDockPanelCaptionClientZone, TkxDockPanelClientZone)
 public:
  using TkxDockPanelClientZone::TkxDockPanelClientZone;
  bool IsZonePoint(const TPoint& ScreenPoint) override;
};

// Frees the zones and empties the list.
void kxFreeZones(TkxZoneList& Zones);

// ============================================================ dock control

class TkxCustomDockControl : public TCustomControl {
  PV_CLASS(TkxCustomDockControl, TCustomControl)
 public:
  // The owner must be a form.
  explicit TkxCustomDockControl(TComponent* AOwner);
  ~TkxCustomDockControl() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ReadState(TReader* Reader) override;
  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void CreateHandle() override;
  void DoEnter() override;

  // ---- tree ----
  TkxCustomDockControl* Children(int Index) const;
  int ChildCount() const { return static_cast<int>(FChildren.size()); }
  int DockIndex() const;
  int DockLevel() const;
  // This control is AControl or lies inside AControl's subtree.
  bool IsDescendantOf(const TkxCustomDockControl* AControl) const;
  int ValidChildCount();
  TkxCustomDockControl* ValidChildren(int Index);
  TkxDockingState GetDockingState();
  bool IsActive() const;
  TkxDockingController* Controller() const;
  TkxDockControlPainter* Painter();
  // Drops the painter object; the next Painter() makes one of the current class.
  void ReleasePainter();
  bool IsDestroying() const;
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }

  // ---- manager settings through the controller ----
  int AutoHideInterval();
  int AutoHideMovingInterval();
  int AutoHideMovingSize();
  int AutoShowInterval();
  TColor ManagersColor();
  int DockZonesWidth();
  TFont* ManagersFont();
  TCustomImageList* Images();
  TkxDockingOptions Options();
  int ResizeZonesWidth();
  int SelectionFrameWidth();
  int TabsScrollInterval();

  // ---- tree operations ----
  void DockTo(TkxCustomDockControl* ASite, TkxDockingType ADockType, int AIndex);
  void UnDock();
  void MakeFloating(int X, int Y);
  // At the screen position of the control's window.
  virtual void MakeFloating();
  void CreateContainerLayout(TkxContainerDockSite* AContainer, TkxCustomDockControl* AControl,
                             TkxDockingType ADockType, int AIndex);
  void SetDockType(TkxDockingType ADockType);
  void SetParentDockControl(TkxCustomDockControl* AControl);
  void BeginUpdateLayout() { ++FUpdateLayoutLock; }
  void EndUpdateLayout();
  bool LayoutLocked() const { return FUpdateLayoutLock > 0; }
  void LayoutChanged();
  void UpdateDockZones();
  void UpdateResizeZones();
  void UpdateOriginalSize();
  // Sets Visible with the visibility lock held.
  void SetVisibility(bool Value);
  // Shows or hides the window without the visibility notifications.
  void SetVisibleSilently(bool Value);
  TkxAutoHidePosition GetAutoHidePosition();

  // ---- non-client frame ----
  bool IsCaptionPoint(const TPoint& ClientPoint);
  bool IsCloseButtonPoint(const TPoint& ClientPoint);
  bool IsHideButtonPoint(const TPoint& ClientPoint);
  bool IsMaximizeButtonPoint(const TPoint& ClientPoint);
  void RedrawCaption();
  void RedrawNC(bool Recalculate);
  void NCChanged(bool Recalculate);
  TRect CaptionRect() const { return FCaptionRect; }
  TRect CaptionTextRect() const { return FCaptionTextRect; }
  TRect CaptionSeparatorRect() const { return FCaptionSeparatorRect; }
  TRect CloseButtonRect() const { return FCloseButtonRect; }
  TRect HideButtonRect() const { return FHideButtonRect; }
  TRect MaximizeButtonRect() const { return FMaximizeButtonRect; }
  // The whole window, origin at its top-left corner.
  TRect WindowRect() const { return FWindowRect; }
  // Screen rectangle of the window (its bounds when it has none).
  TRect ScreenWindowRect();

  // ---- drag and resize ----
  void DrawDockingSelection(TkxZone* Zone, const TPoint& P, bool Erasing);
  void DrawResizingSelection(TkxZone* Zone, const TPoint& P, bool Erasing);
  TkxCustomDockControl* GetDockingTargetAtPos(const TPoint& P);
  TkxZone* CurrentDockZone() const { return FDockingZone; }
  TkxZone* CurrentResizeZone() const { return FResizingZone; }

  // ---- properties ----
  TkxDockingTypes AllowDock() const { return FAllowDock; }
  void SetAllowDock(TkxDockingTypes Value);
  TkxDockingTypes AllowDockClients() const { return FAllowDockClients; }
  void SetAllowDockClients(TkxDockingTypes Value);
  bool AllowFloating() const { return FAllowFloating; }
  void SetAllowFloating(bool Value);
  bool AutoHide() const { return FAutoHide; }
  void SetAutoHide(bool Value);
  TkxAutoHidePosition AutoHidePosition() const { return FAutoHidePosition; }
  void SetAutoHidePosition(TkxAutoHidePosition Value) { FAutoHidePosition = Value; }
  TkxCaptionButtons CaptionButtons() const { return FCaptionButtons; }
  void SetCaptionButtons(TkxCaptionButtons Value);
  bool Dockable() const { return FDockable; }
  void SetDockable(bool Value) { FDockable = Value; }
  TkxDockingType DockType() const { return FDockType; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool ManagerColor() const { return FManagerColor; }
  void SetManagerColor(bool Value);
  bool ManagerFont() const { return FManagerFont; }
  void SetManagerFont(bool Value);
  int OriginalWidth() const { return FOriginalWidth; }
  void SetOriginalWidth(int Value) { FOriginalWidth = Value; }
  int OriginalHeight() const { return FOriginalHeight; }
  void SetOriginalHeight(int Value) { FOriginalHeight = Value; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool StoredAutoHide() const { return FStoredAutoHide; }
  void SetStoredAutoHide(bool Value) { FStoredAutoHide = Value; }
  const TkxDockPosition& StoredPosition() const { return FStoredPosition; }
  const TkxZoneList& DockZones() const { return FDockZones; }
  TkxZoneList& DockZoneList() { return FDockZones; }
  const TkxZoneList& ResizeZones() const { return FResizeZones; }
  TkxZoneList& ResizeZoneList() { return FResizeZones; }
  // Whether the property is written to a window description (Color and Font
  // only while neither the manager's nor the parent's value is followed).
  bool IsColorStored() const { return !FManagerColor && !ParentColor(); }
  bool IsFontStored() const { return !FManagerFont && !ParentFont(); }
  bool CaptionPressed() const { return FCaptionIsDown; }
  bool CloseButtonPressed() const { return FCloseButtonIsDown; }
  bool CloseButtonHot() const { return FCloseButtonIsHot; }
  bool HideButtonHot() const { return FHideButtonIsHot; }
  bool MaximizeButtonHot() const { return FMaximizeButtonIsHot; }

  // ---- events ----
  TkxActivateEvent OnActivate;
  TkxDockControlNotifyEvent OnAutoHideChanging;
  TkxDockControlNotifyEvent OnAutoHideChanged;
  TkxCanResizeEvent OnCanResize;
  TkxDockControlNotifyEvent OnClose;
  TkxDockControlCloseQueryEvent OnCloseQuery;
  TkxCanDockingEvent OnCanDocking;
  TkxCreateFloatSiteEvent OnCreateFloatSite;
  TkxCreateLayoutSiteEvent OnCreateLayoutSite;
  TkxCreateSideContainerEvent OnCreateSideContainer;
  TkxCreateTabContainerEvent OnCreateTabContainer;
  TkxCustomDrawSelectionEvent OnCustomDrawDockingSelection;
  TkxCustomDrawSelectionEvent OnCustomDrawResizingSelection;
  TkxDockEvent OnDock;
  TkxDockingEvent OnDocking;
  TkxEndDockingEvent OnEndDocking;
  TkxResizingEvent OnEndResizing;
  TkxGetAutoHidePositionEvent OnGetAutoHidePosition;
  TkxDockControlNotifyEvent OnLayoutChanged;
  TkxMakeFloatingEvent OnMakeFloating;
  TkxDockControlNotifyEvent OnParentChanged;
  TkxDockControlNotifyEvent OnParentChanging;
  TkxResizingEvent OnResizing;
  TkxDockPositionEvent OnRestoreDockPosition;
  TkxStartDockingEvent OnStartDocking;
  TkxResizingEvent OnStartResizing;
  TkxDockPositionEvent OnStoreDockPosition;
  TkxUnDockEvent OnUnDock;
  TkxUpdateZonesEvent OnUpdateDockZones;
  TkxUpdateZonesEvent OnUpdateResizeZones;
  TkxDockControlNotifyEvent OnVisibleChanged;
  TkxDockControlNotifyEvent OnVisibleChanging;

  // ---- virtual operations ----
  virtual bool CanFocusEx();
  virtual bool CanFocusOnActivate() { return false; }
  virtual bool DoCanResize(int NewWidth, int NewHeight);
  virtual bool CanResizeAtPos(const TPoint& ClientPoint);
  virtual void StartResize(const TPoint& P);
  virtual void Resizing(const TPoint& P);
  virtual void EndResize(const TPoint& P, bool Cancel);
  virtual void CreateResizeZones(TkxCustomDockControl* AControl);
  virtual void StartDocking(const TPoint& P);
  virtual void Docking(const TPoint& P);
  virtual void EndDocking(const TPoint& P, bool Cancel);
  virtual void CheckDockRules();
  virtual void CheckDockClientsRules();
  virtual void CreateDockZones(TkxCustomDockControl* AControl, int AWidth);
  virtual void UpdateEnabled();
  virtual void IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex);
  virtual void ExcludeFromDock();
  virtual void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex);
  virtual void DestroyLayout(TkxCustomDockControl* AControl);
  virtual void DetachFromLayout();
  virtual void UpdateLayout();
  virtual void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                                     TkxCustomDockControl* AParent);
  virtual void SaveLayoutToIniFile(TCustomIniFile* IniFile, const AnsiString& Section);
  virtual TkxCustomDockControl* ParentDockControl() const { return FParentDockControl; }
  virtual TCustomForm* ParentForm() const;
  virtual bool IsParentFormActive();
  virtual bool IsParentFormVisible();
  virtual TkxCustomDockControl* TopMostDockControl();
  virtual void UpdateLayoutSiteProperties(TkxLayoutDockSite* ASite);
  virtual TkxLayoutDockSite* LayoutDockSite();
  virtual TkxContainerDockSite* Container();
  virtual void UpdateSideContainerSiteProperties(TkxSideContainerDockSite* ASite);
  virtual bool CanAcceptSideContainerItems(TkxSideContainerDockSite* ASideContainer) { return false; }
  virtual void CreateSideContainerLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex);
  virtual void DoMaximize();
  virtual TkxSideContainerDockSite* SideContainer();
  virtual TkxCustomDockControl* SideContainerItem();
  virtual int SideContainerIndex();
  virtual int GetMinimizedHeight();
  virtual int GetMinimizedWidth();
  virtual void UpdateTabContainerSiteProperties(TkxTabContainerDockSite* ASite);
  virtual bool CanAcceptTabContainerItems(TkxTabContainerDockSite* ATabContainer) { return false; }
  virtual void CreateTabContainerLayout(TkxCustomDockControl* AControl, int AIndex);
  virtual TkxTabContainerDockSite* TabContainer();
  virtual void AutoHideChanged();
  virtual TkxAutoHidePosition GetControlAutoHidePosition(TkxCustomDockControl* AControl);
  virtual TkxDockSite* AutoHideHostSite();
  virtual TkxDockSiteAutoHideContainer* AutoHideContainer();
  virtual TkxCustomDockControl* AutoHideControl();
  virtual void ChangeAutoHide();
  virtual TkxDockSite* AutoSizeHostSite();
  virtual void UpdateFloatSiteProperties(TkxFloatDockSite* ASite);
  virtual TkxFloatDockSite* FloatDockSite();
  virtual TkxFloatForm* FloatForm();
  virtual bool IsFloatFormActive();
  virtual bool IsFloatFormVisible();
  virtual void StoreDockPosition(const TPoint& Point);
  virtual void RestoreDockPosition(const TPoint& Point);
  virtual void UpdateCaption();
  virtual void AssignOriginalSize(TkxCustomDockControl* AControl);
  virtual void UpdateControlOriginalSize(TkxCustomDockControl* AControl);
  virtual void DoActivate();
  virtual void DoActiveChanged(bool Active, bool CallEvent);
  virtual void DoClose();
  virtual bool CanDestroy();
  virtual void DoDestroy();
  virtual void ChildVisibilityChanged(TkxCustomDockControl* AChild) {}
  virtual void DoVisibleChanged();
  virtual void UpdateAutoHideState();
  virtual void UpdateAutoHideHostVisibility();
  virtual void UpdateLayoutDockSiteVisibility();
  virtual void UpdateParentVisibility();
  virtual void UpdateRelatedVisibility();
  virtual void CalculateNC(TRect& Rect);
  virtual void InvalidateNC() { NCChanged(false); }
  virtual bool HasBorder() { return false; }
  virtual bool HasCaption() { return false; }
  virtual bool HasCloseButton();
  virtual bool HasHideButton();
  virtual bool HasMaximizeButton();
  virtual bool HasTabs() { return false; }
  virtual bool IsCaptionActive();
  virtual bool IsCaptionVertical();
  virtual void NCPaint(TCanvas* ACanvas);
  virtual void NCPaintCaption(TCanvas* ACanvas);
  virtual void Activate();
  virtual bool CanActive() { return false; }
  virtual bool CanAutoHide() { return false; }
  virtual bool CanDock() { return false; }
  virtual bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType);
  virtual bool CanMaximize() { return false; }
  virtual TkxZone* GetDockZoneAtPos(TkxCustomDockControl* AControl, const TPoint& P);
  virtual TkxZone* GetResizeZoneAtPos(const TPoint& P);
  virtual bool NeedsNCRecalc() { return ChildCount() != 1; }
  virtual bool IsValidChild(TkxCustomDockControl* AControl);

 protected:
  friend class TkxDockingController;
  friend class TkxDockSite;
  friend class TkxDockSiteHideBar;
  friend void kxForgetZones(const TkxZoneList& Zones);
  void DefineProperties(TFiler* Filer) override;
  void VisibleChanging() override;
  // The control's section in the layout text, for every class but the form-edge site.
  void SaveBaseKeys(TCustomIniFile* IniFile, const AnsiString& Section);
  void LoadChildren(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section);
  void SaveChildren(TCustomIniFile* IniFile);
  void DoCreateLayoutSiteNotifications(TkxLayoutDockSite* ASite);
  void DoCreateTabContainerNotifications(TkxTabContainerDockSite* ASite);
  void DoCreateSideContainerNotifications(TkxSideContainerDockSite* ASite);
  void DoCreateFloatSiteNotifications(TkxFloatDockSite* ASite);
  // Capture helpers: taking the capture remembers the previous capture control.
  void TakeCapture();
  void ReleaseTakenCapture();
  TPoint ScreenToClientPoint(const TPoint& P) { return ScreenToClient(P); }
  TPoint ClientToWindow(const TPoint& ClientPoint);
  void FireStartDocking(const TPoint& P);
  void FireEndDocking(TkxZone* Zone, const TPoint& P);

  // message handlers
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void CMTextChanged(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMLButtonDown(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void WMRButtonDown(TWMMouse& Message);
  void WMMouseMove(TWMMouse& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMMouseActivate(TMessage& Message);
  void WMMove(TMessage& Message);
  void WMSize(TWMSize& Message);
  void CNKeyDown(TWMKey& Message);
  void CNKeyUp(TWMKey& Message);

  // fields
  TkxDockingTypes FAllowDock = kxAllDockingTypes;
  TkxDockingTypes FAllowDockClients = kxAllDockingTypes;
  bool FAllowFloating = true;
  bool FAutoHide = false;
  TkxAutoHidePosition FAutoHidePosition = ahpUndefined;
  TkxCaptionButtons FCaptionButtons = kxAllCaptionButtons;
  bool FCreating = true;
  TPoint FCursorPoint;
  bool FReleased = false;
  bool FDockable = true;
  std::vector<TkxCustomDockControl*> FChildren;
  int FDockingOffsetX = 0, FDockingOffsetY = 0;
  TPoint FDockingPoint;
  TkxZone* FDockingZone = nullptr;
  TkxDockingType FDockType = dtNone;
  TkxZoneList FDockZones;
  int FImageIndex = -1;
  bool FManagerColor = true;
  bool FManagerFont = true;
  int FOriginalHeight = 0;
  int FOriginalWidth = 0;
  std::unique_ptr<TkxDockControlPainter> FPainter;
  TkxCustomDockControl* FParentDockControl = nullptr;
  bool FRecalculateNC = false;
  TkxZoneList FResizeZones;
  TPoint FResizingSourcePoint, FResizingPoint;
  TkxZone* FResizingZone = nullptr;
  TControl* FSavedCaptureControl = nullptr;
  bool FShowCaption = true;
  TPoint FSourcePoint;
  int FUpdateLayoutLock = 0;
  int FUpdateVisibilityLock = 0;
  bool FCaptionIsDown = false;
  bool FCloseButtonIsDown = false, FCloseButtonIsHot = false;
  bool FHideButtonIsDown = false, FHideButtonIsHot = false;
  bool FMaximizeButtonIsDown = false, FMaximizeButtonIsHot = false;
  TRect FCaptionRect, FCaptionSeparatorRect, FCaptionTextRect, FCloseButtonRect, FHideButtonRect,
      FMaximizeButtonRect;
  // The non-client margins of the last frame calculation (left, top, right,
  // bottom insets of the client area), reused while recalculation is deferred.
  TRect FClientMargins;
  bool FUseDoubleBufferNC = false;
  TRect FWindowRect;
  bool FStoredAutoHide = false;
  TkxDockPosition FStoredPosition;
  // Whether the control made itself invisible through its own logic
  // (SetVisibility), without notifications.
  bool FSettingColor = false, FSettingFont = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk)
    PV_MESSAGE_HANDLER(WM_RBUTTONDOWN, TWMMouse, WMRButtonDown)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(WM_MOVE, TMessage, WMMove)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(CN_KEYDOWN, TWMKey, CNKeyDown)
    PV_MESSAGE_HANDLER(CN_KEYUP, TWMKey, CNKeyUp)
  END_MESSAGE_MAP(TCustomControl)
};

// ===================================================================== sites

// Base of every site: streams its dock children as its own children and
// refuses ordinary controls.
class TkxCustomDockSite : public TkxCustomDockControl {
  PV_CLASS(TkxCustomDockSite, TkxCustomDockControl)
 public:
  explicit TkxCustomDockSite(TComponent* AOwner) : TkxCustomDockControl(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 protected:
  void ValidateInsert(TComponent* AComponent) override;
};

// The client node of a two-child layout; made and released by docking.
class TkxLayoutDockSite : public TkxCustomDockSite {
  PV_CLASS(TkxLayoutDockSite, TkxCustomDockSite)
 public:
  explicit TkxLayoutDockSite(TComponent* AOwner);
  void BeforeDestruction() override;
  void SetParent(TWinControl* AParent) override;
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void DestroyLayout(TkxCustomDockControl* AControl) override;
  bool CanDestroy() override;
  bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) override;
  // The other child of the parent when the parent has exactly two.
  virtual TkxCustomDockControl* SiblingDockControl();

 protected:
  void WMNCHitTest2(TMessage& Message);
  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest2)
  END_MESSAGE_MAP(TkxCustomDockSite)
};

// ---- containers ----
class TkxContainerDockSite : public TkxCustomDockSite {
  PV_CLASS(TkxContainerDockSite, TkxCustomDockSite)
 public:
  explicit TkxContainerDockSite(TComponent* AOwner);
  void Loaded() override;
  void SetParent(TWinControl* AParent) override;
  void CreateWnd() override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void DestroyLayout(TkxCustomDockControl* AControl) override;
  void UpdateLayout() override;
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                             TkxCustomDockControl* AParent) override;
  void SaveLayoutToIniFile(TCustomIniFile* IniFile, const AnsiString& Section) override;
  TkxAutoHidePosition GetControlAutoHidePosition(TkxCustomDockControl* AControl) override;
  void ChildVisibilityChanged(TkxCustomDockControl* AChild) override;
  bool CanDock() override { return true; }

  virtual void BeginAdjustBounds();
  virtual void EndAdjustBounds();
  virtual void ActiveChildChanged();
  virtual TkxDockingType GetHeadDockType() const { return dtClient; }
  virtual TkxDockingType GetTailDockType() const { return dtClient; }
  virtual bool CanActivateChild(TkxCustomDockControl* AChild) { return IsValidChild(AChild); }
  virtual void ValidateActiveChild(int AIndex) {}
  virtual bool CanContainerDockHost(TkxDockingType ADockType);

  TkxCustomDockControl* ActiveChild() const { return FActiveChild; }
  void SetActiveChild(TkxCustomDockControl* AChild);
  int ActiveChildIndex();
  void SetActiveChildIndex(int Value);
  void SetActiveChildByIndex(int AIndex);
  TkxCustomDockControl* GetFirstValidChild();
  TkxCustomDockControl* GetLastValidChild();
  int GetLastValidChildIndex();
  TkxCustomDockControl* GetNextValidChild(int AIndex);
  int GetNextValidChildIndex(int AIndex);
  TkxCustomDockControl* GetPrevValidChild(int AIndex);
  int GetPrevValidChildIndex(int AIndex);

  TkxActiveChildChangeEvent OnActiveChildChanged;

 protected:
  friend class TkxCustomDockControl;
  friend class TkxDockingController;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TkxCustomDockControl* FActiveChild = nullptr;
  int FActiveChildIndex = 0;
  bool FActiveChildIndexPending = false;
};

class TkxTabContainerDockSite : public TkxContainerDockSite {
  PV_CLASS(TkxTabContainerDockSite, TkxContainerDockSite)
 public:
  explicit TkxTabContainerDockSite(TComponent* AOwner);
  ~TkxTabContainerDockSite() override;
  void Assign(TPersistent* Source) override;
  bool CanResizeAtPos(const TPoint& ClientPoint) override;
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void DestroyLayout(TkxCustomDockControl* AControl) override;
  void UpdateLayout() override;
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                             TkxCustomDockControl* AParent) override;
  void SaveLayoutToIniFile(TCustomIniFile* IniFile, const AnsiString& Section) override;
  bool CanAcceptSideContainerItems(TkxSideContainerDockSite* ASideContainer) override;
  bool CanAcceptTabContainerItems(TkxTabContainerDockSite*) override { return true; }
  void ChangeAutoHide() override;
  void UpdateCaption() override;
  void DoClose() override;
  void ChildVisibilityChanged(TkxCustomDockControl* AChild) override;
  void CalculateNC(TRect& Rect) override;
  bool HasBorder() override;
  bool HasCaption() override;
  bool HasTabs() override;
  bool IsCaptionActive() override;
  void NCPaint(TCanvas* ACanvas) override;
  bool CanActive() override { return true; }
  bool CanAutoHide() override;
  bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) override;
  bool CanMaximize() override;
  void ActiveChildChanged() override;
  void ValidateActiveChild(int AIndex) override;

  TkxTabContainerTabsPosition TabsPosition() const { return FTabsPosition; }
  void SetTabsPosition(TkxTabContainerTabsPosition Value);
  bool TabsScroll() const { return FTabsScroll; }
  void SetTabsScroll(bool Value);
  int FirstVisibleTabIndex() const { return FFirstVisibleTabIndex; }
  TRect TabsRect() const { return FTabsRect; }
  // The tab of child Index, window coordinates (valid children only).
  TRect TabRect(int Index) const;
  TRect NextButtonRect() const { return FNextButtonRect; }
  TRect PrevButtonRect() const { return FPrevButtonRect; }
  bool NextButtonEnabled() const { return FNextButtonEnabled; }
  bool PrevButtonEnabled() const { return FPrevButtonEnabled; }
  bool HasScrollButtons() const { return FTabsScroll && (FPrevButtonEnabled || FNextButtonEnabled); }
  int GetTabWidth(TkxCustomDockControl* AControl);
  int GetLastVisibleTabIndex();
  int GetTabIndexAtPos(const TPoint& ClientPoint);
  bool IsTabsPoint(const TPoint& ClientPoint);
  bool IsNextButtonPoint(const TPoint& ClientPoint);
  bool IsPrevButtonPoint(const TPoint& ClientPoint);
  bool ScrollTabsForward();
  void ScrollTabsBack();
  void MakeActiveTabVisible();
  int PressedTabIndex() const { return FPressedTabIndex; }

 protected:
  void UpdateChildrenEnabled();
  void UpdateScrollButtons();
  void ActivateActiveChild();
  void StartScrollTimer(bool Next);
  void StopScrollTimer();
  void NextButtonTimerTick();
  void PrevButtonTimerTick();
  static void ScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
  void CMMouseLeave2(TMessage& Message);
  void WMLButtonDown2(TWMMouse& Message);
  void WMLButtonUp2(TWMMouse& Message);
  void WMLButtonDblClk2(TWMMouse& Message);
  void WMMouseMove2(TWMMouse& Message);

  int FFirstVisibleTabIndex = 0;
  int FPressedTabIndex = -1;
  TkxTabContainerTabsPosition FTabsPosition = tctpBottom;
  TRect FTabsRect;
  std::vector<TRect> FTabRects;
  TRect FNextButtonRect, FPrevButtonRect;
  bool FTabsScroll = true;
  UINT_PTR FScrollTimerID = 0;
  bool FScrollTimerNext = false;
  bool FNextButtonPressed = false, FNextButtonEnabled = false, FNextButtonHot = false;
  bool FPrevButtonPressed = false, FPrevButtonEnabled = false, FPrevButtonHot = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown2)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove2)
  END_MESSAGE_MAP(TkxContainerDockSite)
};

class TkxSideContainerDockSite : public TkxContainerDockSite {
  PV_CLASS(TkxSideContainerDockSite, TkxContainerDockSite)
 public:
  explicit TkxSideContainerDockSite(TComponent* AOwner) : TkxContainerDockSite(AOwner) {}
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void UpdateLayout() override;
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                             TkxCustomDockControl* AParent) override;
  bool CanAcceptSideContainerItems(TkxSideContainerDockSite* ASideContainer) override;
  bool CanAcceptTabContainerItems(TkxTabContainerDockSite* ATabContainer) override;
  void ChangeAutoHide() override;
  void UpdateCaption() override;
  void DoClose() override;
  void ChildVisibilityChanged(TkxCustomDockControl* AChild) override;
  bool HasBorder() override;
  bool HasCaption() override;
  bool CanActive() override { return true; }
  bool CanAutoHide() override;
  bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) override;
  bool CanMaximize() override;
  void BeginAdjustBounds() override;
  void EndAdjustBounds() override;
  void ActiveChildChanged() override;
  bool CanActivateChild(TkxCustomDockControl* AChild) override;
  void ValidateActiveChild(int AIndex) override;

  virtual int GetClientDimension() = 0;
  virtual int GetDimension(int AWidth, int AHeight) = 0;
  virtual int GetMinSize(int AIndex) = 0;
  virtual int GetOriginalSize(int AIndex) = 0;
  virtual int GetSize(int AIndex) = 0;
  virtual int GetPosition(int AIndex) = 0;
  virtual void SetOriginalSize(int AIndex, int Value) = 0;
  virtual void SetSize(int AIndex, int Value) = 0;
  virtual void SetPosition(int AIndex, int Value) = 0;

  void AdjustChildrenBounds(TkxCustomDockControl* AControl);
  int GetFreeSpace();
  void DistributeFreeSpace(int ADelta);
  void ChildBoundsChanged(TkxCustomDockControl* AChild, int AWidth, int AHeight);
  bool CanResizeChild(TkxCustomDockControl* AChild, int ADelta);
  void ResizeChild(TkxCustomDockControl* AChild, int ADelta);
  int AdjustLock() const { return FAdjustLock; }

 protected:
  int FAdjustLock = 0;
};

class TkxHorizContainerDockSite : public TkxSideContainerDockSite {
  PV_CLASS(TkxHorizContainerDockSite, TkxSideContainerDockSite)
 public:
  using TkxSideContainerDockSite::TkxSideContainerDockSite;
  void CreateResizeZones(TkxCustomDockControl* AControl) override;
  void UpdateControlOriginalSize(TkxCustomDockControl* AControl) override;
  TkxDockingType GetHeadDockType() const override { return dtLeft; }
  TkxDockingType GetTailDockType() const override { return dtRight; }
  int GetClientDimension() override;
  int GetDimension(int AWidth, int AHeight) override { return AWidth; }
  int GetMinSize(int AIndex) override;
  int GetOriginalSize(int AIndex) override;
  int GetSize(int AIndex) override;
  int GetPosition(int AIndex) override;
  void SetOriginalSize(int AIndex, int Value) override;
  void SetSize(int AIndex, int Value) override;
  void SetPosition(int AIndex, int Value) override;
};

class TkxVertContainerDockSite : public TkxSideContainerDockSite {
  PV_CLASS(TkxVertContainerDockSite, TkxSideContainerDockSite)
 public:
  using TkxSideContainerDockSite::TkxSideContainerDockSite;
  void CreateResizeZones(TkxCustomDockControl* AControl) override;
  void UpdateControlOriginalSize(TkxCustomDockControl* AControl) override;
  TkxDockingType GetHeadDockType() const override { return dtTop; }
  TkxDockingType GetTailDockType() const override { return dtBottom; }
  int GetClientDimension() override;
  int GetDimension(int AWidth, int AHeight) override { return AHeight; }
  int GetMinSize(int AIndex) override;
  int GetOriginalSize(int AIndex) override;
  int GetSize(int AIndex) override;
  int GetPosition(int AIndex) override;
  void SetOriginalSize(int AIndex, int Value) override;
  void SetSize(int AIndex, int Value) override;
  void SetPosition(int AIndex, int Value) override;
};

// ---- auto-hide ----

// The window that carries a control slid out of a hide bar; it lies in the
// dock site's parent window, above the site.
class TkxDockSiteAutoHideContainer : public TWinControl {
  PV_CLASS(TkxDockSiteAutoHideContainer, TWinControl)
 public:
  explicit TkxDockSiteAutoHideContainer(TComponent* AOwner);

 protected:
  void WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }
  void CMControlListChange(TMessage& Message);
  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(CM_CONTROLLISTCHANGE, TMessage, CMControlListChange)
  END_MESSAGE_MAP(TWinControl)
};

// One bar of auto-hidden controls at an edge of a form-edge site.
class TkxDockSiteHideBar : public TObject {
  PV_CLASS(TkxDockSiteHideBar, TObject)
 public:
  explicit TkxDockSiteHideBar(TkxDockSite* AOwner) : FOwner(AOwner) {}
  TkxDockSite* Owner() const { return FOwner; }
  const std::vector<TkxCustomDockControl*>& DockControls() const { return FDockControls; }
  int DockControlCount() const { return static_cast<int>(FDockControls.size()); }
  TRect Bounds() const { return FBounds; }
  const std::vector<TRect>& ButtonRects() const { return FButtonRects; }
  bool Visible() const { return !FDockControls.empty(); }
  void AddDockControl(TkxCustomDockControl* AControl);
  void RemoveDockControl(TkxCustomDockControl* AControl);
  bool Contains(TkxCustomDockControl* AControl) const;

  virtual void Calculate(TRect& ARect) = 0;
  virtual void CalculateButtons(const TRect& ARect) = 0;
  virtual TAnchors GetContainerAnchors() = 0;
  virtual TAlign GetControlAlign() = 0;
  virtual TkxAutoHidePosition GetPosition() = 0;
  virtual int GetButtonLength(TkxCustomDockControl* AControl) = 0;
  virtual bool IsContainerCollapsed() = 0;
  virtual bool IsContainerExpanded() = 0;
  virtual void ExpandContainer(TkxCustomDockControl* AControl) = 0;
  virtual void CollapseContainer(TkxCustomDockControl* AControl) = 0;
  virtual void ResizeContainer(int ADelta) = 0;
  virtual void UpdateOwnerAutoSize(TkxCustomDockControl* AControl) = 0;
  virtual TkxCustomDockControl* GetControlAtPos(const TPoint& P, TkxCustomDockControl*& ASubControl);
  virtual TkxCustomDockControl* GetTabContainerChildAtPos(const TPoint& P, TkxTabContainerDockSite* ATabContainer) {
    return nullptr;
  }
  virtual void CreateAutoHideContainer(TkxCustomDockControl* AControl);
  virtual void DestroyAutoHideContainer(TkxCustomDockControl* AControl);

 protected:
  friend class TkxDockingController;
  // The auto-hide area: the site's client area in its parent's coordinates.
  TRect AutoHideArea();
  TkxDockSiteAutoHideContainer* MovingContainer();
  // The button length along the bar: ImageExtent is the image list's height
  // (vertical bars) or width; DefaultImageExtent the same, 16 without images.
  int ButtonLength(TkxCustomDockControl* AControl, int ImageExtent, int DefaultImageExtent);
  TkxCustomDockControl* TabChildAtPos(int Pos, int Start, int End, TkxTabContainerDockSite* ATabContainer,
                                      int Cell);
  TkxDockSite* FOwner;
  std::vector<TkxCustomDockControl*> FDockControls;
  TRect FBounds;
  std::vector<TRect> FButtonRects;
};

class TkxDockSiteLeftHideBar : public TkxDockSiteHideBar {
  PV_CLASS(TkxDockSiteLeftHideBar, TkxDockSiteHideBar)
 public:
  using TkxDockSiteHideBar::TkxDockSiteHideBar;
  void Calculate(TRect& ARect) override;
  void CalculateButtons(const TRect& ARect) override;
  TAnchors GetContainerAnchors() override { return {akLeft, akTop, akBottom}; }
  TAlign GetControlAlign() override { return alRight; }
  TkxAutoHidePosition GetPosition() override { return ahpLeft; }
  int GetButtonLength(TkxCustomDockControl* AControl) override;
  bool IsContainerCollapsed() override;
  bool IsContainerExpanded() override;
  void ExpandContainer(TkxCustomDockControl* AControl) override;
  void CollapseContainer(TkxCustomDockControl* AControl) override;
  void ResizeContainer(int ADelta) override;
  void UpdateOwnerAutoSize(TkxCustomDockControl* AControl) override;
  TkxCustomDockControl* GetTabContainerChildAtPos(const TPoint& P, TkxTabContainerDockSite* ATabContainer) override;
};
class TkxDockSiteRightHideBar : public TkxDockSiteLeftHideBar {
  PV_CLASS(TkxDockSiteRightHideBar, TkxDockSiteLeftHideBar)
 public:
  using TkxDockSiteLeftHideBar::TkxDockSiteLeftHideBar;
  void Calculate(TRect& ARect) override;
  TAnchors GetContainerAnchors() override { return {akTop, akRight, akBottom}; }
  TAlign GetControlAlign() override { return alLeft; }
  TkxAutoHidePosition GetPosition() override { return ahpRight; }
  void ExpandContainer(TkxCustomDockControl* AControl) override;
  void CollapseContainer(TkxCustomDockControl* AControl) override;
  void ResizeContainer(int ADelta) override;
};
class TkxDockSiteTopHideBar : public TkxDockSiteHideBar {
  PV_CLASS(TkxDockSiteTopHideBar, TkxDockSiteHideBar)
 public:
  using TkxDockSiteHideBar::TkxDockSiteHideBar;
  void Calculate(TRect& ARect) override;
  void CalculateButtons(const TRect& ARect) override;
  TAnchors GetContainerAnchors() override { return {akLeft, akTop, akRight}; }
  TAlign GetControlAlign() override { return alBottom; }
  TkxAutoHidePosition GetPosition() override { return ahpTop; }
  int GetButtonLength(TkxCustomDockControl* AControl) override;
  bool IsContainerCollapsed() override;
  bool IsContainerExpanded() override;
  void ExpandContainer(TkxCustomDockControl* AControl) override;
  void CollapseContainer(TkxCustomDockControl* AControl) override;
  void ResizeContainer(int ADelta) override;
  void UpdateOwnerAutoSize(TkxCustomDockControl* AControl) override;
  TkxCustomDockControl* GetTabContainerChildAtPos(const TPoint& P, TkxTabContainerDockSite* ATabContainer) override;
};
class TkxDockSiteBottomHideBar : public TkxDockSiteTopHideBar {
  PV_CLASS(TkxDockSiteBottomHideBar, TkxDockSiteTopHideBar)
 public:
  using TkxDockSiteTopHideBar::TkxDockSiteTopHideBar;
  void Calculate(TRect& ARect) override;
  TAnchors GetContainerAnchors() override { return {akLeft, akRight, akBottom}; }
  TAlign GetControlAlign() override { return alTop; }
  TkxAutoHidePosition GetPosition() override { return ahpBottom; }
  void ExpandContainer(TkxCustomDockControl* AControl) override;
  void CollapseContainer(TkxCustomDockControl* AControl) override;
  void ResizeContainer(int ADelta) override;
};

// The form-edge dock site: the root of a window's dock tree, with the hide
// bars at its edges.
class TkxDockSite : public TkxCustomDockSite {
  PV_CLASS(TkxDockSite, TkxCustomDockSite)
 public:
  explicit TkxDockSite(TComponent* AOwner);
  ~TkxDockSite() override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void SetAutoSize(bool Value) override;
  void SetParent(TWinControl* AParent) override;
  void CreateResizeZones(TkxCustomDockControl* AControl) override;
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void DestroyLayout(TkxCustomDockControl* AControl) override;
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                             TkxCustomDockControl* AParent) override;
  void SaveLayoutToIniFile(TCustomIniFile* IniFile, const AnsiString& Section) override;
  TkxAutoHidePosition GetControlAutoHidePosition(TkxCustomDockControl* AControl) override;
  void UpdateControlOriginalSize(TkxCustomDockControl* AControl) override;
  void ChildVisibilityChanged(TkxCustomDockControl* AChild) override;
  void CalculateNC(TRect& Rect) override;
  void InvalidateNC() override;
  void NCPaint(TCanvas* ACanvas) override;
  bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) override;

  virtual void UpdateAutoSizeBounds();
  virtual bool CanChangeAutoSize();
  virtual TkxCustomDockControl* GetAutoSizeClient();
  virtual void SetAutoSizeBounds(int AWidth, int AHeight);
  virtual void CreateHideBars();
  virtual void DestroyHideBars();
  void CheckAutoSizeClient();

  // ---- hide bars ----
  int HideBarCount() const { return static_cast<int>(FHideBars.size()); }
  TkxDockSiteHideBar* HideBars(int Index) const { return FHideBars[std::size_t(Index)].get(); }
  TkxDockSiteHideBar* GetHideBarByControl(TkxCustomDockControl* AControl);
  TkxDockSiteHideBar* GetHideBarByPosition(TkxAutoHidePosition APosition);
  TkxAutoHidePosition GetAutoHidePositionOf(TkxCustomDockControl* AControl);
  bool HasAutoHideControls();
  TkxDockSiteHideBar* GetHideBarAtPos(const TPoint& ClientPoint);
  TkxCustomDockControl* GetHideBarControlAtPos(const TPoint& ClientPoint, TkxCustomDockControl*& ASubControl);
  void RegisterAutoHideControl(TkxCustomDockControl* AControl, TkxAutoHidePosition APosition);
  void UnregisterAutoHideControl(TkxCustomDockControl* AControl);
  void SetShowingControl(TkxCustomDockControl* AControl);
  void ShowImmediately(TkxCustomDockControl* AControl);
  void HideImmediately(bool KeepContainer);
  void UpdateAutoHideContainerBounds(TkxCustomDockControl* AControl);
  void StartAutoHideTimer();
  void StartAutoShowTimer();
  void CheckAutoHide();
  void DoShowControl(TkxCustomDockControl* AControl);
  void DoHideControl(TkxCustomDockControl* AControl);
  TkxCustomDockControl* ShowingControl() const { return FShowingControl; }
  TkxCustomDockControl* MovingControl() const { return FMovingControl; }
  TkxDockSiteHideBar* MovingHideBar() const { return FMovingHideBar; }
  TkxCustomDockControl* HotControl() const { return FHotControl; }

  int AutoSizeWidth() const { return FAutoSizeWidth; }
  int AutoSizeHeight() const { return FAutoSizeHeight; }

  TkxAutoHideControlEvent OnHideControl;
  TkxAutoHideControlEvent OnShowControl;

 protected:
  friend class TkxDockSiteHideBar;
  friend class TkxDockingController;
  void ValidateInsert(TComponent* AComponent) override;
  // The site's AutoSize is its own: it never sizes itself to its controls.
  bool CanAutoSize(int& NewWidth, int& NewHeight) override { return false; }
  void AnimateShowStep();
  void AnimateHideStep();
  void AutoShowTimerElapsed();
  void KillTimerId(UINT_PTR Id);
  static void TimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
  void CMControlListChange(TMessage& Message);
  void CMMouseLeave3(TMessage& Message);
  void WMLButtonDown3(TWMMouse& Message);
  void WMMouseMove3(TWMMouse& Message);

  int FAutoSizeHeight = 0;
  int FAutoSizeWidth = 0;
  std::vector<std::unique_ptr<TkxDockSiteHideBar>> FHideBars;
  bool FAutoHideTimer = false, FMovingTimer = false, FAutoShowTimer = false;
  TkxCustomDockControl* FMovingControl = nullptr;
  TkxDockSiteHideBar* FMovingHideBar = nullptr;
  TkxCustomDockControl* FShowingControl = nullptr;
  TkxCustomDockControl* FHotControl = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_CONTROLLISTCHANGE, TMessage, CMControlListChange)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave3)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown3)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove3)
  END_MESSAGE_MAP(TkxCustomDockSite)
};

// Window timers of a form-edge site.
constexpr UINT_PTR kxMovingTimerID = 1, kxAutoHideTimerID = 2, kxAutoShowTimerID = 3;
// The window timer of a tab container's scroll buttons.
constexpr UINT_PTR kxScrollTimerID = 1;

// ---- floating ----

class TkxFloatDockSite : public TkxCustomDockSite {
  PV_CLASS(TkxFloatDockSite, TkxCustomDockSite)
 public:
  explicit TkxFloatDockSite(TComponent* AOwner);
  ~TkxFloatDockSite() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void SetParent(TWinControl* AParent) override;
  bool HasParent() const override { return false; }
  void StartDocking(const TPoint& P) override;
  void CheckDockClientsRules() override {}
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  void DestroyLayout(TkxCustomDockControl* AControl) override;
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                             TkxCustomDockControl* AParent) override;
  void SaveLayoutToIniFile(TCustomIniFile* IniFile, const AnsiString& Section) override;
  TkxFloatForm* FloatForm() override { return FFloatForm; }
  void RestoreDockPosition(const TPoint& Point) override;
  void UpdateCaption() override;
  void AssignOriginalSize(TkxCustomDockControl* AControl) override;
  void UpdateControlOriginalSize(TkxCustomDockControl* AControl) override;
  void DoClose() override;
  bool CanDestroy() override;
  void ChildVisibilityChanged(TkxCustomDockControl* AChild) override;
  void Activate() override;
  bool CanDockHost(TkxCustomDockControl*, TkxDockingType) override { return false; }

  virtual void CreateFloatForm();
  virtual void DestroyFloatForm();
  virtual void StoreFloatPosition();

  TkxCustomDockControl* GetChild();
  TkxCustomDockControl* GetActivateTarget();
  int FloatLeft();
  void SetFloatLeft(int Value);
  int FloatTop();
  void SetFloatTop(int Value);
  int FloatWidth();
  void SetFloatWidth(int Value);
  int FloatHeight();
  void SetFloatHeight(int Value);
  void SetFloatFormPosition(int X, int Y);
  void SetFloatFormSize(int AClientWidth, int AClientHeight);
  void ShowFloatForm();
  void HideFloatForm();
  void DoSetFloatFormCaption();

  TkxSetFloatFormCaptionEvent OnSetFloatFormCaption;

 protected:
  friend class TkxFloatForm;
  void WMNCHitTest3(TMessage& Message) { Message.Result = HTTRANSPARENT; }
  TkxFloatForm* FFloatForm = nullptr;
  int FFloatLeft = 0, FFloatTop = 0, FFloatWidth = 0, FFloatHeight = 0;
  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest3)
  END_MESSAGE_MAP(TkxCustomDockSite)
};

// The tool window of a floating site.
class TkxFloatForm : public TCustomForm {
  PV_CLASS(TkxFloatForm, TCustomForm)
 public:
  explicit TkxFloatForm(TComponent* AOwner);
  ~TkxFloatForm() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool IsShortCut(TWMKey& Message) override;
  void AttachDockSite(TkxFloatDockSite* ASite);
  void DetachDockSite();
  void EnableOnTop();
  void DisableOnTop();
  TkxFloatDockSite* DockSite() const { return FDockSite; }
  bool OnTopOfOwner() const { return FOnTopOfOwner; }
  bool CaptionPressed() const { return FCaptionPressed; }
  void SetPendingClientSize(int W, int H) {
    FPendingClientWidth = W;
    FPendingClientHeight = H;
  }

 protected:
  void DMHideFloatForm(TMessage& Message);
  void DMShowFloatForm(TMessage& Message);
  void WMClose2(TMessage& Message);
  void WMMove2(TMessage& Message);
  void WMMouseActivate2(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMNCMouseMove(TMessage& Message);
  void WMNCLButtonUp(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);

  bool FSiteAttached = false;
  bool FCaptionPressed = false;
  TPoint FCaptionPressPoint;
  int FPendingClientHeight = -1, FPendingClientWidth = -1;
  TkxFloatDockSite* FDockSite = nullptr;
  bool FOnTopOfOwner = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(DM_HIDEFLOATFORM, TMessage, DMHideFloatForm)
    PV_MESSAGE_HANDLER(DM_SHOWFLOATFORM, TMessage, DMShowFloatForm)
    PV_MESSAGE_HANDLER(WM_CLOSE, TMessage, WMClose2)
    PV_MESSAGE_HANDLER(WM_MOVE, TMessage, WMMove2)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate2)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_NCMOUSEMOVE, TMessage, WMNCMouseMove)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONUP, TMessage, WMNCLButtonUp)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, TMessage, WMNCLButtonDblClk)
  END_MESSAGE_MAP(TCustomForm)
};

// ---- unit-level functions ----
TkxDockingController* GetDockingController();
// The form holding a control; for a control on a float form, the form of the
// float form's site.
TCustomForm* kxDockingGetParentForm(TControl* AControl);
bool kxDockingIsInsideDockControl(TControl* AControl);
bool kxDockingContainsDockSite(TControl* AControl);
