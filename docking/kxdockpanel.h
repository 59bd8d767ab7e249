// The dock panel: the leaf of the dock tree and the only dock control that
// carries application content. Panels dock, tab, split, float and auto-hide
// with the ordinary controls placed inside them.
#pragma once

#include "docking/kxdockcontrol.h"

class TkxDockPanel : public TkxCustomDockControl {
  PV_CLASS(TkxDockPanel, TkxCustomDockControl)
 public:
  explicit TkxDockPanel(TComponent* AOwner);
  void SetParent(TWinControl* AParent) override;
  bool CanFocusOnActivate() override { return true; }
  void CreateDockZones(TkxCustomDockControl* AControl, int AWidth) override;
  void CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) override;
  bool CanAcceptSideContainerItems(TkxSideContainerDockSite*) override { return true; }
  void UpdateTabContainerSiteProperties(TkxTabContainerDockSite* ASite) override;
  bool CanAcceptTabContainerItems(TkxTabContainerDockSite*) override { return true; }
  void CalculateNC(TRect& Rect) override;
  bool HasBorder() override;
  bool HasCaption() override;
  bool HasTabs() override;
  void NCPaint(TCanvas* ACanvas) override;
  bool CanActive() override { return true; }
  bool CanAutoHide() override;
  bool CanDock() override { return true; }
  bool CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) override;
  bool CanMaximize() override;

  bool ShowSingleTab() const { return FShowSingleTab; }
  void SetShowSingleTab(bool Value);
  TkxTabContainerTabsPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TkxTabContainerTabsPosition Value);
  TRect TabsRect() const { return FTabsRect; }
  TRect TabRect() const { return FTabRect; }
  bool IsTabPoint(const TPoint& ClientPoint);
  int GetTabWidth();
  TkxTabContainerTabsPosition GetTabsPosition();

 protected:
  void ValidateInsert(TComponent* AComponent) override;
  void WMLButtonDown2(TWMMouse& Message);
  void WMLButtonUp2(TWMMouse& Message);
  void WMLButtonDblClk2(TWMMouse& Message);
  void WMMouseMove2(TWMMouse& Message);

  bool FShowSingleTab = false;
  bool FTabPressed = false;
  TkxTabContainerTabsPosition FTabPosition = tctpBottom;
  TRect FTabsRect;
  TRect FTabRect;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown2)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove2)
  END_MESSAGE_MAP(TkxCustomDockControl)
};
