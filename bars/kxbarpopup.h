// The companions of the bar manager: context menus made of item links
// (TkxBarPopupMenu), the links that attach them to ordinary controls, groups
// that switch items together, the category list and the item hints.
#pragma once
#include <memory>
#include <vector>

#include "bars/kxbar.h"
#include "platform/rtl/stringlist.h"

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

// Attaches a pop-up menu to a windowed control of the manager's form (and,
// with ProcessChildren, to its descendants) for the right mouse button, the
// context-menu keys and the menu's shortcuts.
class TkxBarPopupMenuLink : public TCollectionItem {
  PV_CLASS(TkxBarPopupMenuLink, TCollectionItem)
 public:
  explicit TkxBarPopupMenuLink(TCollection* Collection) : TCollectionItem(Collection) {}
  TkxBarManager* BarManager() const;
  TWinControl* Control() const { return FControl; }
  // Refused (nothing stored) for a control on another manager's form.
  void SetControl(TWinControl* Value);
  TkxBarPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TkxBarPopupMenu* Value);
  bool ProcessChildren() const { return FProcessChildren; }
  void SetProcessChildren(bool Value) { FProcessChildren = Value; }
  TkxBarPopupMenuLinkActionEvent OnAction;
  void Assign(TPersistent* Source) override;
  bool TryShortCut(TShortCut ShortCut);
  // Shows the menu for a context request on Wnd at a screen point ((-1, -1): keyboard).
  bool TryPopup(HWND Wnd, TPoint P);
  // The manager forgets a freed control or menu.
  void ComponentGone(TComponent* Component);

 private:
  TWinControl* FControl = nullptr;
  TkxBarPopupMenu* FPopupMenu = nullptr;
  bool FProcessChildren = true;
};

class TkxBarPopupMenuLinks : public TOwnedCollection {
  PV_CLASS(TkxBarPopupMenuLinks, TOwnedCollection)
 public:
  explicit TkxBarPopupMenuLinks(TkxBarManager* Manager);
  TkxBarManager* BarManager() const { return FBarManager; }
  TkxBarPopupMenuLink* Items(int Index) const { return static_cast<TkxBarPopupMenuLink*>(TCollection::Items(Index)); }
  TkxBarPopupMenuLink* Add() { return static_cast<TkxBarPopupMenuLink*>(TCollection::Add()); }
  // The links of the control first, then those of its parents with ProcessChildren.
  bool ProcessShortCut(TWinControl* Control, TShortCut ShortCut);
  bool ProcessContextMenu(TWinControl* Control, HWND Wnd, TPoint P);

 private:
  TkxBarManager* FBarManager;
};

// The pop-up menu links of the manager of the focused control's form, or nil.
TkxBarPopupMenuLinks* kxBarGetFocusedPopupMenuLinks();

// The category list of a manager: names of the groups its items are sorted
// into for customizing (an item's Category is an index here). Each string may
// carry a TkxBarCategoryData; items follow their category when it moves.
class TkxBarCategoryData : public TObject {
  PV_CLASS(TkxBarCategoryData, TObject)
 public:
  TkxBarItemVisible ItemsVisible = ivAlways;
  TkxBarItemVisible ReadItemsVisible = ivNever;  // read, not yet applied
  bool HasReadItemsVisible = false;
  bool Visible = true;
};

class TkxBarManagerCategories : public TStringList {
  PV_CLASS(TkxBarManagerCategories, TStringList)
 public:
  explicit TkxBarManagerCategories(TkxBarManager* Manager);
  ~TkxBarManagerCategories() override;
  TkxBarManager* BarManager() const { return FBarManager; }
  TkxBarCategoryData* Data(int Index) const { return dynamic_cast<TkxBarCategoryData*>(GetObject(Index)); }
  TkxBarCategoryData* NeedData(int Index);
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  // Every item of category A gets category B (no notification).
  void SetItemsCategory(int A, int B);
  void DefineProperties(TFiler* Filer) override;
  // The ItemsVisibles and Visibles lists read from a description go to the
  // categories once their names are read too.
  void ApplyReadLists();

 private:
  void AddDefault();
  std::vector<TkxBarItem*> ItemsOf(int Index) const;
  TkxBarManager* FBarManager;
  bool FMoving = false;
  std::vector<int> FReadItemsVisibles;
  std::vector<bool> FReadVisibles;
  bool FHasReadLists = false;
};

// Switches the visibility and enabled state of its member items and groups together.
class TkxBarGroup : public TComponent {
  PV_CLASS(TkxBarGroup, TComponent)
 public:
  explicit TkxBarGroup(TComponent* AOwner);
  ~TkxBarGroup() override;
  TkxBarManager* BarManager() const { return FBarManager; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TkxBarItemVisible Visible() const { return FVisible; }
  void SetVisible(TkxBarItemVisible Value);
  int Count() const { return int(FMembers.size()); }
  TComponent* GetMember(int Index) const;
  int IndexOf(TComponent* Component) const;
  // Ignores nil, repeats and anything but items and groups; a group that
  // would contain itself raises.
  void Add(TComponent* Component);
  void Remove(TComponent* Component);
  void MoveMember(int From, int To);
  // The group's place in its manager's group list.
  int GetIndex() const;
  void SetIndex(int Value);
  bool Contains(const TkxBarGroup* Group) const;

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetName(const AnsiString& NewName) override;
  void DefineProperties(TFiler* Filer) override;

 private:
  template <class F>
  void SwitchMembers(F Apply);
  TkxBarManager* FBarManager = nullptr;
  bool FEnabled = true;
  TkxBarItemVisible FVisible = ivAlways;
  std::vector<TComponent*> FMembers;
  std::unique_ptr<std::vector<AnsiString>> FReadNames;
};

// The bitmaps behind the items of toolbar windows and behind sub-menus.
class TkxBarBackgrounds : public TPersistent {
  PV_CLASS(TkxBarBackgrounds, TPersistent)
 public:
  explicit TkxBarBackgrounds(TkxBarManager* Manager);
  ~TkxBarBackgrounds() override;
  TBitmap* Bar() const { return FBar.get(); }
  void SetBar(TBitmap* Value);
  TBitmap* SubMenu() const { return FSubMenu.get(); }
  void SetSubMenu(TBitmap* Value) { FSubMenu->Assign(Value); }
  void Assign(TPersistent* Source) override;

 private:
  void BarChanged(TObject* Sender);
  TkxBarManager* FBarManager;
  std::unique_ptr<TBitmap> FBar, FSubMenu;
};

// The one hint window of the bar library: shows an item's hint below the
// cursor; the mouse passes through it.
class TkxBarHintWindow : public TCustomControl {
  PV_CLASS(TkxBarHintWindow, TCustomControl)
 public:
  explicit TkxBarHintWindow(TComponent* AOwner);
  // Shows Text with its top left corner at P (screen), kept on the work area.
  void ActivateHint(TPoint P, const AnsiString& Text, TkxBarManager* Manager);
  AnsiString HintText() const { return FText; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  AnsiString FText;
};

// The shared hint window while a manager exists at run time (nil otherwise).
TkxBarHintWindow* kxBarHintWindow();
void kxBarCreateHintWindow();
void kxBarFreeHintWindow();
void kxBarKillHintTimer();
// A manager going away stops the hint timers working for it and hides its hint.
void kxBarHintManagerGone(TkxBarManager* Manager);
void kxBarKillHintGraceTimer();

// Registers the companions' classes and settings; from the start-up list.
void kxBarRegisterCompanions();
