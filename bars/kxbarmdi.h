// MDI menu merging: while an MDI child is maximized (or always, with the
// frame manager's AlwaysMerge) the child's main menu items show in the
// frame's main menu and the child's own main menu bar hides; a maximized
// child also gets a system-menu entry at the left end of the frame's main
// menu that opens the child's system menu rebuilt from the platform menu.
#pragma once
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"

// Merges (Merge) or unmerges the main menu of the child window's form into
// the main menu of the frame's manager.
void kxBarMergeChildMenu(TkxBarManager* Frame, HWND ChildWindow, bool Merge, bool SystemMenuOnly, bool KeepLocked);
void kxBarAddSystemMenuItem(TkxBarManager* Frame, HWND ChildWindow);
void kxBarRemoveSystemMenuItem(TkxBarManager* Frame);
// Keep a child form's stored bounds while its main menu bar is shown or hidden.
void kxBarSaveFormBounds(TCustomForm* Form);
void kxBarRestoreFormBounds(TCustomForm* Form);

// The system-menu entry of a maximized MDI child: a temporary item.
class TSystemMenuSubItem : public TCustomkxBarSubItem {
  PV_CLASS(TSystemMenuSubItem, TCustomkxBarSubItem)
 public:
  explicit TSystemMenuSubItem(TComponent* AOwner) : TCustomkxBarSubItem(AOwner) {}
  HWND ChildWindow() const { return FChildWindow; }
  void SetChildWindow(HWND H) { FChildWindow = H; }
  // Fills the links from the child's system menu (before the menu opens).
  void Rebuild();
  static void FillFromMenu(TCustomkxBarSubItem* SubItem, HMENU Menu);
  // A button's click: the child gets the system command in its Tag.
  void SendCommand(TObject* Button);
  void Popup() override;
  bool IsCustomizable() const override { return false; }

 private:
  HWND FChildWindow = nullptr;
};

class TSystemMenuSubItemControl : public TkxBarSubItemControl {
  PV_CLASS(TSystemMenuSubItemControl, TkxBarSubItemControl)
 public:
  explicit TSystemMenuSubItemControl(TkxBarItemLink* ALink) : TkxBarSubItemControl(ALink) {}
  bool IsOwnItem() const override { return false; }
  bool IsSelectable() override;
  int GetHeight() override { return GetSystemMetrics(SM_CYSMICON); }
  int GetWidth() override { return GetSystemMetrics(SM_CXSMICON); }
  int IsFlatItems() override { return 0; }
  bool OpensChildMenu() override { return false; }
  bool AcceptsDoubleClick() override { return true; }
  void DoubleClick() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
};

// From the window hook, after an MDI child's activation, maximizing or destruction.
void kxBarMDIChildNotification(HWND Window);

void kxBarRegisterMDIItems();
void kxBarUnregisterMDIItems();
