// The companions of the bar manager: context menus made of item links
// (TkxBarPopupMenu), the links that attach them to ordinary controls, groups
// that switch items together, the category list and the item hints.
#pragma once
#include <memory>

#include "bars/kxbar.h"

// A context menu built from item links, shown at a screen point. Unless it
// is a button's drop-down, Popup returns only after the menu closed.
class TkxBarPopupMenu : public TComponent {
  PV_CLASS(TkxBarPopupMenu, TComponent)
 public:
  // Raises when no bar manager exists at all.
  explicit TkxBarPopupMenu(TComponent* AOwner);
  ~TkxBarPopupMenu() override;

  TkxBarManager* BarManager() const { return FBarManager; }
  // A nil manager is refused (except while the menu is destroyed).
  void SetBarManager(TkxBarManager* Value);
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
  void SetBackgroundBitmap(TBitmap* Value) { FBackgroundBitmap->Assign(Value); }
  int BarSize() const { return FBarSize; }
  void SetBarSize(int Value) { FBarSize = Value < 0 ? 0 : Value; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TkxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
  void SetItemLinks(TkxBarItemLinks* Value) { FItemLinks->Assign(Value); }
  bool UseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(bool Value);
  bool UseRecentItems() const { return FUseRecentItems; }
  void SetUseRecentItems(bool Value);
  TNotifyEvent OnPopup, OnCloseUp;
  TkxBarPaintSubMenuBarEvent OnPaintBar;

  virtual void DoPaintBar(TCanvas* Canvas, const TRect& R);
  void Popup(int X, int Y);
  void PopupAtCursor();
  // Popup with an owner rectangle, animation flag and owner sizes for this call only.
  void PopupEx(int X, int Y, const TRect* OwnerRect, bool Animate, int OwnerHeight, int OwnerWidth);
  bool ProcessShortCut(TShortCut ShortCut);
  // The shortcut of a key message (Shift, Ctrl and Alt added) processed by the links.
  bool IsShortCut(const TWMKey& Message);
  void DoPopup(TObject* Sender);
  void DoCloseUp(TObject* Sender);
  // The window of the links while the menu is shown.
  TkxBarSubMenuControl* SubMenuControl() const;
  bool Shown() const { return FShown; }
  HFONT FontHandle() const { return FFontHandle; }
  // A drop-down button marks the menu as its drop-down for the duration of its call.
  void SetDropDownOwner(TkxBarItemControl* Control) { FDropDownOwner = Control; }
  TkxBarItemControl* DropDownOwner() const { return FDropDownOwner; }

  void Loaded() override;

 private:
  void FontChanged(TObject* Sender);
  void RebuildFontHandle();
  TkxBarManager* FBarManager = nullptr;
  std::unique_ptr<TBitmap> FBackgroundBitmap;
  int FBarSize = 0;
  std::unique_ptr<TFont> FFont;
  HFONT FFontHandle = nullptr;
  std::unique_ptr<TkxBarItemLinks> FItemLinks;
  bool FUseOwnFont = false, FUseRecentItems = false, FChangingUseOwnFont = false;
  bool FShown = false;
  TRect FOwnerRect{};
  bool FHasOwnerRect = false;
  bool FAnimate = true;
  int FOwnerWidth = 0, FOwnerHeight = 0;
  TkxBarItemControl* FDropDownOwner = nullptr;
};

// Registers the companions' classes and settings; from the start-up list.
void kxBarRegisterCompanions();
