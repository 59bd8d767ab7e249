// The editors' drop-down window: a pop-up form that belongs to an owner
// control, painted through a container view info and style, kept in one list
// of shown pop-ups, and closed by three thread hooks when the user clicks
// elsewhere, the owner goes away or hides, or the application loses the
// activation. A focus-capturing pop-up may run a local message loop until it
// is hidden.
#pragma once
#include <memory>
#include <vector>

#include "editors/uxcontainer.h"
#include "framework/uxpopup.h"

class TuxCustomPopupWindow : public TuxPopupWindow {
  PV_CLASS(TuxCustomPopupWindow, TuxPopupWindow)
 public:
  explicit TuxCustomPopupWindow(TControl* AOwnerControl);
  ~TuxCustomPopupWindow() override;
  void AfterConstruction() override;

  bool CaptureFocus() const { return FCaptureFocus; }
  void SetCaptureFocus(bool Value);
  bool TopMost() const { return FTopMost; }
  void SetTopMost(bool Value);
  bool ModalLoop() const { return FModalLoop; }
  void SetModalLoop(bool Value) { FModalLoop = Value; }
  bool DeactivateLocked() const { return FDeactivateLocked; }
  void SetDeactivateLocked(bool Value) { FDeactivateLocked = Value; }
  // Set by a drop-down editor for its own pop-up; cleared on deactivation.
  bool DroppedDownFlag() const { return FDroppedDownFlag; }
  void SetDroppedDownFlag(bool Value) { FDroppedDownFlag = Value; }
  TWinControl* FocusedControl() const { return FFocusedControl; }
  TControl* OwnerControl() const { return FOwnerControl; }
  // The owner bounds (client coordinates of the owner's parent) and that parent.
  TRect OwnerBounds() const { return AnchorBounds(); }
  void SetOwnerBounds(const TRect& R) { SetAnchorBounds(R); }
  TWinControl* OwnerParent() const { return dynamic_cast<TWinControl*>(AnchorControl()); }
  void SetOwnerParent(TWinControl* Value) { SetAnchorControl(Value); }
  TuxContainerStyle* Style() const { return FStyle.get(); }
  TuxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
  bool IsVisible() const;

  TNotifyEvent OnClosed, OnClosing, OnShown, OnShowing;

  // -- virtual operations --
  virtual bool ShrinksToWorkArea() { return false; }
  virtual void DoClosed() { if (OnClosed) OnClosed(this); }
  virtual void DoClosing() { if (OnClosing) OnClosing(this); }
  virtual void DoShown() { if (OnShown) OnShown(this); }
  virtual bool ErasesBackground() { return false; }
  virtual bool IsSysKeyAccepted(Word Key);
  virtual void ModalResultClose() { ClosePopup(); }
  virtual void StyleChanged(TObject*) {}
  virtual void CorrectBoundsToWorkArea(TPoint& P);
  virtual TuxContainerStyleClass GetStyleClass();
  virtual TuxContainerViewInfoClass GetViewInfoClass();
  virtual void ShowPopup(TWinControl* AFocusedControl);

  void GetOwnerScreenBounds(TRect& R) override;
  void InitPopup() override {}
  void ClosePopup() override;
  bool Focused();
  bool CanFocus() override { return Visible(); }
  void AdjustClientRect(TRect& Rect) override { Rect = FViewInfo->ClientRect; }
  // Owner freed while the pop-up lives.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  void Deactivate() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  virtual void Closed();
  void DoHide() override;
  void CreateHandle() override;
  void CreateParams(TCreateParams& Params) override;

 private:
  void StyleChangedHandler(TObject* Sender) { StyleChanged(Sender); }
  void WMActivateApp(TMessage& M) { M.Result = 0; }
  void WMEraseBkgnd(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void UXMClosePopup(TMessage& M);
  void UXMShowPopup(TMessage& M) { ShowPopup(FFocusedControl); }
  void RecreateAndReshow();
  TCustomForm* OwnerForm() const;

  bool FCaptureFocus = true;
  bool FDroppedDownFlag = false;
  TWinControl* FFocusedControl = nullptr;
  bool FDeactivateLocked = false;
  bool FTopMost = false;
  bool FModalLoop = true;
  TControl* FOwnerControl;
  std::unique_ptr<TuxContainerStyle> FStyle;
  std::unique_ptr<TuxContainerViewInfo> FViewInfo;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ACTIVATEAPP, TMessage, WMActivateApp)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(UXM_CLOSEPOPUPWINDOW, TMessage, UXMClosePopup)
    PV_MESSAGE_HANDLER(UXM_SHOWPOPUPWINDOW, TMessage, UXMShowPopup)
  END_MESSAGE_MAP(TuxPopupWindow)
};

// The shown pop-ups, in the order they were shown (a copy: closing one while
// walking it is safe).
std::vector<TuxCustomPopupWindow*> uxShownPopupWindows();
bool uxIsPopupWindowShown(HWND Window);
// The closing hooks: installed by the container unit's start-up, removed by
// its shut-down; each returns at once when already done.
void uxInstallPopupHooks();
void uxRemovePopupHooks();
bool uxPopupHooksInstalled();
