// The process-wide docking controller (every dock control and manager, the
// active dock control, the deferred non-client work, the deferred release of
// controls, the lookups under the pointer and the layout save and load) and
// the docking manager component with the default properties of created sites.
#pragma once

#include <memory>
#include <vector>

#include "docking/kxdockpainters.h"
#include "docking/kxdocktypes.h"
#include "framework/uxlookandfeel.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"

class TCustomIniFile;
class TStream;

class TkxDockingController : public TObject {
  PV_CLASS(TkxDockingController, TObject)
 public:
  TkxDockingController();
  ~TkxDockingController() override;

  // ---- registry ----
  void RegisterDockControl(TkxCustomDockControl* AControl);
  void UnregisterDockControl(TkxCustomDockControl* AControl);
  int DockControlCount() const { return static_cast<int>(FDockControls.size()); }
  TkxCustomDockControl* DockControls(int Index) const { return FDockControls[std::size_t(Index)]; }
  int IndexOfDockControl(const TkxCustomDockControl* AControl) const;
  int DockManagerCount() const { return static_cast<int>(FDockManagers.size()); }
  TkxDockingManager* DockManagers(int Index) const { return FDockManagers[std::size_t(Index)]; }
  void ReleaseDockControl(TkxCustomDockControl* AControl);
  void DestroyControls();
  bool IsReleased(const TkxCustomDockControl* AControl) const;
  void AddPendingLayoutForm(TkxCustomDockControl* AControl);
  void RemovePendingLayoutForm(TCustomForm* AForm);
  void CheckPendingLayoutForm(TCustomForm* AForm);

  // ---- managers and settings ----
  TkxDockingManager* FindManager(TCustomForm* AForm);
  TkxDockingManager* GetManager(TCustomForm* AForm);
  void RegisterManager(TkxDockingManager* AManager);
  void UnregisterManager(TkxDockingManager* AManager);
  int GetAutoHideInterval(TCustomForm* AForm);
  int GetAutoHideMovingInterval(TCustomForm* AForm);
  int GetAutoHideMovingSize(TCustomForm* AForm);
  int GetAutoShowInterval(TCustomForm* AForm);
  TColor GetColor(TCustomForm* AForm);
  int GetDockZonesWidth(TCustomForm* AForm);
  TFont* GetFont(TCustomForm* AForm);
  TCustomImageList* GetImages(TCustomForm* AForm);
  TkxDockingOptions GetOptions(TCustomForm* AForm);
  int GetResizeZonesWidth(TCustomForm* AForm);
  int GetSelectionFrameWidth(TCustomForm* AForm);
  int GetTabsScrollInterval(TCustomForm* AForm);
  TPersistent* DefaultLayoutSiteProperties(TCustomForm* AForm);
  TPersistent* DefaultFloatSiteProperties(TCustomForm* AForm);
  TPersistent* DefaultHorizContainerSiteProperties(TCustomForm* AForm);
  TPersistent* DefaultVertContainerSiteProperties(TCustomForm* AForm);
  TPersistent* DefaultTabContainerSiteProperties(TCustomForm* AForm);
  TkxDockControlPainterClass GetPainterClass(TCustomForm* AForm);

  // ---- relays to the manager's events ----
  void DoActiveDockControlChanged(TkxCustomDockControl* AControl, bool CallEvent);
  void DoCreateFloatSite(TkxCustomDockControl* AControl, TkxFloatDockSite* ASite);
  void DoCreateLayoutSite(TkxCustomDockControl* AControl, TkxLayoutDockSite* ASite);
  void DoCreateSideContainerSite(TkxCustomDockControl* AControl, TkxSideContainerDockSite* ASite);
  void DoCreateTabContainerSite(TkxCustomDockControl* AControl, TkxTabContainerDockSite* ASite);
  void DoSetFloatFormCaption(TkxCustomDockControl* ASite, TkxFloatForm* AForm);
  void DoUpdateDockZones(TkxCustomDockControl* AControl);
  void DoUpdateResizeZones(TkxCustomDockControl* AControl);
  void DoControlLayoutChanged(TkxCustomDockControl* AControl);
  void DoLayoutChanged(TCustomForm* AForm);
  bool DoCustomDrawDockingSelection(TkxCustomDockControl* AControl, HDC DC, TkxZone* Zone, const TRect& R,
                                    bool Erasing);
  bool DoCustomDrawResizingSelection(TkxCustomDockControl* AControl, HDC DC, TkxZone* Zone, const TPoint& P,
                                     bool Erasing);

  // ---- propagation of manager changes (AForm nil: every form) ----
  bool IsParentForm(TkxCustomDockControl* AControl, TCustomForm* AForm);
  void UpdateManagerSettings(TCustomForm* AForm);
  void UpdateManagerColors(TCustomForm* AForm);
  void UpdateManagerFonts(TCustomForm* AForm);
  void UpdateManagerImages(TCustomForm* AForm);
  void UpdateManagerOptions(TCustomForm* AForm);
  void UpdateZonesWidth(TCustomForm* AForm);
  void ViewChanged(TCustomForm* AForm, bool ResetManagerDefaults);
  void UpdateLayouts(TCustomForm* AForm);
  void CalculateControls(TCustomForm* AForm);
  void InvalidateControls(TCustomForm* AForm, bool Recalculate);
  bool ApplyingManagerSettings() const { return FApplyingManagerSettings; }

  // ---- locking and deferred non-client work ----
  void BeginUpdateNC();
  void EndUpdateNC();
  bool CanUpdateNC(TkxCustomDockControl* AControl);
  bool CanCalculateNC(TkxCustomDockControl* AControl);
  int LockCount() const { return FLockCount; }

  // ---- activation ----
  TkxCustomDockControl* ActiveDockControl() const { return FActiveDockControl; }
  void SetActiveDockControl(TkxCustomDockControl* AControl);
  TkxCustomDockControl* ActivatingDockControl() const { return FActivatingDockControl; }
  void SetActivatingDockControl(TkxCustomDockControl* AControl) { FActivatingDockControl = AControl; }
  void RedrawActiveCaption();
  // Puts back an active control that was remembered, without notifications
  // (when it is still registered).
  void RestoreActiveDockControl(TkxCustomDockControl* AControl) {
    if (!AControl || IndexOfDockControl(AControl) >= 0) FActiveDockControl = AControl;
  }
  bool IsDockControlFocusedEx(TkxCustomDockControl* AControl);
  // Suspends and resumes activation (the hook's and SetActiveDockControl's)
  // while a container moves the focus between its pages.
  void BeginActivation() {
    ++FActivationDepth;
    ++FActivationSuspended;
  }
  void EndActivation() {
    --FActivationDepth;
    --FActivationSuspended;
  }

  // ---- lookups under the pointer ----
  TkxCustomDockControl* GetDockControlAtPos(const TPoint& P);
  TkxFloatDockSite* GetFloatDockSiteAtPos(const TPoint& P);
  TkxDockSite* GetNearestDockSiteAtPos(const TPoint& P);
  TkxCustomDockControl* GetDockControlForWindow(HWND Wnd);
  bool IsDocking() const { return FDraggingControl != nullptr; }
  bool IsResizing() const { return FResizingControl != nullptr; }
  TkxCustomDockControl* DraggingControl() const { return FDraggingControl; }
  TkxCustomDockControl* ResizingControl() const { return FResizingControl; }
  void SetDraggingControl(TkxCustomDockControl* AControl) { FDraggingControl = AControl; }
  void SetResizingControl(TkxCustomDockControl* AControl) { FResizingControl = AControl; }
  void FinishDocking();
  void FinishResizing();
  TBrush* SelectionBrush() const { return FSelectionBrush.get(); }

  // ---- float forms ----
  bool IsFloatSiteOfForm(TCustomForm* AForm, TkxFloatDockSite* ASite);
  void HideFloatForms(TCustomForm* AForm);
  void ShowFloatForms(TCustomForm* AForm);
  void SetFloatFormsOnTop(TCustomForm* AForm, bool OnTop);

  // ---- layout ----
  // Both raise EkxDockingLayoutError for a text that cannot be loaded; nothing
  // of the arrangement changes then.
  void LoadLayoutFromStream(TStream* Stream, TCustomForm* AForm);
  void SaveLayoutToStream(TStream* Stream, TCustomForm* AForm);
  void LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm);
  void SaveLayoutToIniFile(TCustomIniFile* IniFile, TCustomForm* AForm);
  void LoadControlFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm, const AnsiString& Section,
                              TkxCustomDockControl* AParent);
  void SaveControlToIniFile(TCustomIniFile* IniFile, TkxCustomDockControl* AControl);
  void ClearLayout(TCustomForm* AForm);
  // Builds the arrangement a saved text describes again after an operation
  // failed halfway: what the operation left is taken apart first. Should even
  // that fail, the form's panels are left undocked, every tree whole.
  void RestoreLayout(TCustomIniFile* Before, TCustomForm* AForm);

  // ---- off-screen bitmap of the non-client painting ----
  void CreateTempBitmap(const TRect& R);
  void ReleaseTempBitmap();
  TBitmap* TempBitmap() const { return FTempBitmap.get(); }

  HWND Handle() const { return FHandle; }

 private:
  void WndProc(TMessage& Message);
  void ApplyDeferredUpdates();
  void SortForUpdate(std::vector<TkxCustomDockControl*>& List);
  static LRESULT HookProc(int Code, WPARAM WParam, LPARAM LParam);
  void HookMessage(const CWPSTRUCT& Msg);
  // The trees of a layout text, checked and planned: Plan receives a text that
  // loads without surprise. Raises EkxDockingLayoutError for a text that
  // cannot be loaded.
  void PlanLayout(TCustomIniFile* IniFile, TCustomForm* AForm, TCustomIniFile* Plan);
  void BuildLayout(TCustomIniFile* Plan, TCustomForm* AForm);
  void ReleaseStrayControls(TCustomForm* AForm);

  TkxCustomDockControl* FActivatingDockControl = nullptr;
  TkxCustomDockControl* FActiveDockControl = nullptr;
  int FActivationDepth = 0;
  int FActivationSuspended = 0;
  TkxCustomDockControl* FCalculatingControl = nullptr;
  std::vector<TkxCustomDockControl*> FReleasedControls;
  std::vector<TCustomForm*> FPendingLayoutForms;
  std::vector<TkxCustomDockControl*> FDockControls;
  std::vector<TkxDockingManager*> FDockManagers;
  TkxCustomDockControl* FDraggingControl = nullptr;
  TkxCustomDockControl* FResizingControl = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  HWND FHandle = nullptr;
  std::vector<TkxCustomDockControl*> FInvalidNCControls;
  std::vector<TkxCustomDockControl*> FInvalidLayoutControls;
  std::vector<TkxCustomDockControl*> FRedrawSuspendedControls;
  std::unique_ptr<TBrush> FSelectionBrush;
  std::unique_ptr<TBitmap> FTempBitmap;
  int FLockCount = 0;
  bool FApplyingManagerSettings = false;
  HHOOK FHook = nullptr;
};

// ---- default properties of the sites that docking creates ----

class TkxCustomDockControlProperties : public TPersistent {
  PV_CLASS(TkxCustomDockControlProperties, TPersistent)
 public:
  using OwnerType = TkxDockingManager;
  explicit TkxCustomDockControlProperties(TkxDockingManager* AManager);
  ~TkxCustomDockControlProperties() override;
  TPersistent* GetOwner() const override;
  TkxDockingManager* Manager() const { return FManager; }

  TkxDockingTypes AllowDock() const { return FAllowDock; }
  void SetAllowDock(TkxDockingTypes V) { FAllowDock = V; }
  TkxDockingTypes AllowDockClients() const { return FAllowDockClients; }
  void SetAllowDockClients(TkxDockingTypes V) { FAllowDockClients = V; }
  bool AllowFloating() const { return FAllowFloating; }
  void SetAllowFloating(bool V) { FAllowFloating = V; }
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& V) { FCaption = V; }
  TkxCaptionButtons CaptionButtons() const { return FCaptionButtons; }
  void SetCaptionButtons(TkxCaptionButtons V) { FCaptionButtons = V; }
  bool Dockable() const { return FDockable; }
  void SetDockable(bool V) { FDockable = V; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int V) { FImageIndex = V; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool V) { FShowCaption = V; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor V) { FCursor = V; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& V) { FHint = V; }
  bool ManagerColor() const { return FManagerColor; }
  void SetManagerColor(bool Value);
  bool ManagerFont() const { return FManagerFont; }
  void SetManagerFont(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* V) { FPopupMenu = V; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool V) { FShowHint = V; }
  int Tag() const { return FTag; }
  void SetTag(int V) { FTag = V; }

 protected:
  void AssignTo(TPersistent* Dest) override;
  bool ManagerLoading() const;
  TkxDockingManager* FManager;
  TkxDockingTypes FAllowDock = kxAllDockingTypes;
  TkxDockingTypes FAllowDockClients = kxAllDockingTypes;
  bool FAllowFloating = true;
  AnsiString FCaption;
  TkxCaptionButtons FCaptionButtons = kxAllCaptionButtons;
  bool FDockable = true;
  int FImageIndex = -1;
  bool FShowCaption = true;
  TColor FColor = clBtnFace;
  TCursor FCursor = 0;
  std::unique_ptr<TFont> FFont;
  AnsiString FHint;
  bool FManagerColor = true;
  bool FManagerFont = true;
  TPopupMenu* FPopupMenu = nullptr;
  bool FShowHint = false;
  int FTag = 0;
};

class TkxLayoutDockSiteProperties : public TkxCustomDockControlProperties {
  PV_CLASS(TkxLayoutDockSiteProperties, TkxCustomDockControlProperties)
 public:
  using TkxCustomDockControlProperties::TkxCustomDockControlProperties;
};
class TkxFloatDockSiteProperties : public TkxCustomDockControlProperties {
  PV_CLASS(TkxFloatDockSiteProperties, TkxCustomDockControlProperties)
 public:
  using TkxCustomDockControlProperties::TkxCustomDockControlProperties;
};
class TkxSideContainerDockSiteProperties : public TkxCustomDockControlProperties {
  PV_CLASS(TkxSideContainerDockSiteProperties, TkxCustomDockControlProperties)
 public:
  using TkxCustomDockControlProperties::TkxCustomDockControlProperties;
};
class TkxTabContainerDockSiteProperties : public TkxSideContainerDockSiteProperties {
  PV_CLASS(TkxTabContainerDockSiteProperties, TkxSideContainerDockSiteProperties)
 public:
  using TkxSideContainerDockSiteProperties::TkxSideContainerDockSiteProperties;
  TkxTabContainerTabsPosition TabsPosition() const { return FTabsPosition; }
  void SetTabsPosition(TkxTabContainerTabsPosition V) { FTabsPosition = V; }
  bool TabsScroll() const { return FTabsScroll; }
  void SetTabsScroll(bool V) { FTabsScroll = V; }

 protected:
  void AssignTo(TPersistent* Dest) override;
  TkxTabContainerTabsPosition FTabsPosition = tctpBottom;
  bool FTabsScroll = true;
};

// ---- the manager ----

class TkxDockingManager : public TComponent {
  PV_CLASS(TkxDockingManager, TComponent)
 public:
  explicit TkxDockingManager(TComponent* AOwner);
  ~TkxDockingManager() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void LoadLayoutFromStream(TStream* AStream);
  void SaveLayoutToStream(TStream* AStream);
  TCustomForm* ParentForm() const;

  int AutoHideInterval() const { return FAutoHideInterval; }
  void SetAutoHideInterval(int V) { FAutoHideInterval = V; }
  int AutoHideMovingInterval() const { return FAutoHideMovingInterval; }
  void SetAutoHideMovingInterval(int V) { FAutoHideMovingInterval = V; }
  int AutoHideMovingSize() const { return FAutoHideMovingSize; }
  void SetAutoHideMovingSize(int V) { FAutoHideMovingSize = V; }
  int AutoShowInterval() const { return FAutoShowInterval; }
  void SetAutoShowInterval(int V) { FAutoShowInterval = V; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int DockZonesWidth() const { return FDockZonesWidth; }
  void SetDockZonesWidth(int Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TuxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TuxLookAndFeel* Value);
  TkxDockingOptions Options() const { return FOptions; }
  void SetOptions(TkxDockingOptions Value);
  int ResizeZonesWidth() const { return FResizeZonesWidth; }
  void SetResizeZonesWidth(int Value);
  int SelectionFrameWidth() const { return FSelectionFrameWidth; }
  void SetSelectionFrameWidth(int V) { FSelectionFrameWidth = V; }
  int TabsScrollInterval() const { return FTabsScrollInterval; }
  void SetTabsScrollInterval(int V) { FTabsScrollInterval = V; }
  bool UseDefaultSitesProperties() const { return FUseDefaultSitesProperties; }
  void SetUseDefaultSitesProperties(bool V) { FUseDefaultSitesProperties = V; }
  TkxDockingViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TkxDockingViewStyle Value);

  int DefaultSitesPropertiesCount() const { return static_cast<int>(FDefaultSitesProperties.size()); }
  TkxCustomDockControlProperties* DefaultSitesProperties(int Index) const;
  TkxLayoutDockSiteProperties* DefaultLayoutSiteProperties() const;
  void SetDefaultLayoutSiteProperties(TkxLayoutDockSiteProperties* Value);
  TkxFloatDockSiteProperties* DefaultFloatSiteProperties() const;
  void SetDefaultFloatSiteProperties(TkxFloatDockSiteProperties* Value);
  TkxSideContainerDockSiteProperties* DefaultHorizContainerSiteProperties() const;
  void SetDefaultHorizContainerSiteProperties(TkxSideContainerDockSiteProperties* Value);
  TkxSideContainerDockSiteProperties* DefaultVertContainerSiteProperties() const;
  void SetDefaultVertContainerSiteProperties(TkxSideContainerDockSiteProperties* Value);
  TkxTabContainerDockSiteProperties* DefaultTabContainerSiteProperties() const;
  void SetDefaultTabContainerSiteProperties(TkxTabContainerDockSiteProperties* Value);

  // The painter class of the view style, cached until released.
  virtual TkxDockControlPainterClass GetPainterClass();
  virtual void InitializePainterClass(bool ResetDefaults);
  virtual void ReleasePainterClass();
  virtual void CreateDefaultSitesProperties();
  virtual void DestroyDefaultSitesProperties();

  TNotifyEvent OnActiveDockControlChanged;
  TkxCreateFloatSiteEvent OnCreateFloatSite;
  TkxCreateLayoutSiteEvent OnCreateLayoutSite;
  TkxCreateSideContainerEvent OnCreateSideContainer;
  TkxCreateTabContainerEvent OnCreateTabContainer;
  TkxCustomDrawSelectionEvent OnCustomDrawDockingSelection;
  TkxCustomDrawSelectionEvent OnCustomDrawResizingSelection;
  TkxDockControlNotifyEvent OnLayoutChanged;
  TkxSetFloatFormCaptionEvent OnSetFloatFormCaption;
  TNotifyEvent OnViewChanged;
  TkxUpdateZonesEvent OnUpdateDockZones;
  TkxUpdateZonesEvent OnUpdateResizeZones;

  bool IsLoading() const { return ComponentState().Contains(csLoading); }

 private:
  void ImagesChanged(TObject* Sender);
  void FontChangeHandler(TObject* Sender);
  void LookAndFeelChangeHandler(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed);
  void UpdateDefaultSitesPropertiesColor();
  void UpdateDefaultSitesPropertiesFont();

  int FAutoHideInterval = 500;
  int FAutoHideMovingInterval = 1;
  int FAutoHideMovingSize = 20;
  int FAutoShowInterval = 300;
  std::unique_ptr<TChangeLink> FChangeLink;
  TColor FColor = clBtnFace;
  std::vector<std::unique_ptr<TkxCustomDockControlProperties>> FDefaultSitesProperties;
  int FDockZonesWidth = 20;
  std::unique_ptr<TFont> FFont;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TuxLookAndFeel> FLookAndFeel;
  TkxDockingOptions FOptions = kxDefaultDockingOptions;
  int FResizeZonesWidth = 3;
  int FSelectionFrameWidth = 4;
  int FTabsScrollInterval = 300;
  bool FUseDefaultSitesProperties = true;
  TkxDockingViewStyle FViewStyle = vsStandard;
  TkxDockControlPainterClass FPainterClass = nullptr;
  bool FRegistered = false;
};

// Start-up of the docking library: registers its classes and published
// properties (once) and installs the parent-form hook. Idempotent.
void kxInitDocking();
// Shutdown: frees the controller and clears the hook. Call after the forms are freed.
void kxDoneDocking();
