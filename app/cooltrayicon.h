// The notification-area icon: a non-visual component that puts an icon in the
// desktop's notification area, reports mouse actions on it as events, shows a
// pop-up menu, hides and restores the application's main window and, with
// MinimizeToTray, turns minimising the application into hiding it behind the
// icon. It can also cycle the icon through an image list.
//
// Where the desktop has no notification area, adding the icon fails
// (AddTrayIcon returns false); minimising then leaves the program minimised
// on the desktop instead of hiding it, so it can always be reached. Restoring
// shows each window in the state it had: a maximised one stays maximised.
#pragma once
#include <memory>

#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"
#include "platform/controls/menus.h"
#include "platform/controls/timers.h"
#include "platform/win/system.h"

// Before each cycled icon is shown, with its index in the image list.
using TCycleEvent = TEvent<void(TObject* Sender, int NextIndex)>;

// The callback message of the icon's hidden window (WM_USER + 1024).
constexpr UINT WM_TRAYNOTIFY = 0x800;

class TCoolTrayIcon : public TComponent {
  PV_CLASS(TCoolTrayIcon, TComponent)
 public:
  explicit TCoolTrayIcon(TComponent* AOwner);
  ~TCoolTrayIcon() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- published ----
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  bool LeftPopup() const { return FLeftPopup; }
  void SetLeftPopup(bool Value) { FLeftPopup = Value; }
  bool MinimizeToTray() const { return FMinimizeToTray; }
  void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }
  bool StartMinimized() const { return FStartMinimized; }
  void SetStartMinimized(bool Value) { FStartMinimized = Value; }
  TCustomImageList* IconList() const { return FIconList; }
  void SetIconList(TCustomImageList* Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  Cardinal CycleInterval() const { return FCycleInterval; }
  void SetCycleInterval(Cardinal Value);
  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value);

  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;

  // ---- operations ----
  // Sets IconVisible and adds the icon; false (and IconVisible cleared) when
  // the desktop refused it.
  virtual bool AddTrayIcon();
  // Clears IconVisible and deletes the icon; false when there was none.
  virtual bool RemoveTrayIcon();
  // Sends the current icon and tip; false when the icon is not shown.
  virtual bool UpdateTrayIcon();
  // Shows the application window and the main form restored.
  void RestoreMainWindow();
  // Hides the application window and the main form.
  void HideMainWindow();

  // The record last sent to the notification area (for tests).
  const NOTIFYICONDATAA& IconData() const { return FIconData; }
  HWND CallbackWindow() const { return FIconData.hWnd; }
  // Whether the pop-up menu is open (between showing it and its return).
  bool PopupShowing() const { return FPopupShowing; }

 protected:
  void HandleIconMessage(TMessage& Msg);
  void ShowPopup();
  void CycleTimer(TObject* Sender);
  // The application window was minimised.
  void ApplicationMinimized();

 private:
  // Fills the record before every add, remove or update; false when nothing
  // may be sent (at design time without the preview).
  bool PrepareIconData();
  bool Sending() const;
  TShiftState KeyShift() const;
  void HookApplication();
  void UnhookApplication();
  static LRESULT ApplicationWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

  std::unique_ptr<TIcon> FIcon;
  NOTIFYICONDATAA FIconData;
  bool FIconVisible = true;
  AnsiString FHint;
  bool FShowHint = false;
  bool FEnabled = true;
  TPopupMenu* FPopupMenu = nullptr;
  bool FLeftPopup = false;
  bool FMinimizeToTray = false;
  bool FStartMinimized = false;
  TCustomImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  Cardinal FCycleInterval = 0;
  bool FDesignPreview = false;
  bool FClicked = false;
  bool FShownOnce = false;
  bool FPopupShowing = false;
  bool FHooked = false;
  int FIconIndex = 0;
  std::unique_ptr<TTimer> FCycleTimer;
};

// Registers the component and its published properties (once).
void InitCoolTrayIcon();
