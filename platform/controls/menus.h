// Menus of the class library: menu items in a tree, the main menu of a form,
// pop-up menus, and keyboard shortcuts with their text form ("Ctrl+S").
#pragma once
#include <initializer_list>
#include <memory>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/controls.h"
#include "platform/controls/graphics.h"

class TMenu;
class TMenuItem;
class TCustomImageList;

PV_DECLARE_EXCEPTION(EMenuError, Exception)

constexpr char cHotkeyPrefix = '&';
constexpr const char* cLineCaption = "-";

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
enum TMenuAutoFlag { maAutomatic, maManual, maParent };
PV_ENUM_NAMES(TMenuBreak, "mbNone mbBreak mbBarBreak")
PV_ENUM_NAMES(TPopupAlignment, "paLeft paRight paCenter")
PV_ENUM_NAMES(TTrackButton, "tbRightButton tbLeftButton")

using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuChangeEvent = TEvent<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// ---- shortcuts ----
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Shift+S", "F5", "Del", "Alt+Enter"; "" for 0.
AnsiString ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, ignoring case and spaces; 0 when the text is
// not a shortcut.
TShortCut TextToShortCut(const AnsiString& Text);
// The shortcut a key message stands for (with the current modifier state).
TShortCut ShortCutFromMessage(const TWMKey& Message);
// The caption without '&' markers ("&&" stays as one '&').
AnsiString StripHotkey(const AnsiString& Text);
// The accelerator character of a caption (upper-cased), or 0.
char GetHotkey(const AnsiString& Text);
// Whether the caption's accelerator is Key (ignoring case).
bool IsAccel(Word Key, const AnsiString& Caption);

class TMenuActionLink : public TActionLink {
  PV_CLASS(TMenuActionLink, TActionLink)
 public:
  explicit TMenuActionLink(TObject* AClient);
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetImageIndex(int Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  void SetGroupIndex(int Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 private:
  TMenuItem* FClient;
};

// One item: a command, a separator ("-") or a submenu (when it has items).
class TMenuItem : public TComponent {
  PV_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  // A checked radio item unchecks the others of its group.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }

  // -- the tree --
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* operator[](int Index) const { return Items(Index); }
  void Add(TMenuItem* Item);
  void Add(std::initializer_list<TMenuItem*> AItems);
  void Insert(int Index, TMenuItem* Item);
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every child item.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  // The child whose caption (without '&') equals ACaption, ignoring case.
  TMenuItem* Find(const AnsiString& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  TMenu* GetParentMenu() const;
  bool IsLine() const { return FCaption == cLineCaption; }

  // The id WM_COMMAND carries for this item.
  UINT Command() const { return FCommand; }
  // The platform menu holding this item's children, built on demand and kept
  // up to date as items change.
  HMENU Handle();
  // Runs the item: toggles AutoCheck, executes the action or OnClick.
  virtual void Click();
  virtual void InitiateAction();

  // Owner-drawing (menus with OwnerDraw set).
  virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected);
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

 protected:
  friend class TMenu;
  friend class TMainMenu;
  friend class TMenuActionLink;
  void MenuChanged(bool Rebuild);
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void DoActionChange(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void TurnSiblingsOff();

 private:
  void SetParentItem(TMenuItem* P) { FParent = P; }
  // Refills the platform menu (when there is one) from the visible children.
  void RebuildHandle();
  void Populate();
  // Adds this item's entry at the end of the platform menu Menu.
  void AppendTo(HMENU Menu);
  bool IsOwnerDraw() const;
  TCustomImageList* ImageList() const;
  AnsiString FCaption, FHint;
  bool FChecked = false, FEnabled = true, FDefault = false, FRadioItem = false, FVisible = true;
  bool FAutoCheck = false;
  int FGroupIndex = 0, FImageIndex = -1, FHelpContext = 0;
  TShortCut FShortCut = 0;
  TMenuBreak FBreak = mbNone;
  std::unique_ptr<TBitmap> FBitmap;
  TCustomImageList* FSubMenuImages = nullptr;
  std::unique_ptr<TMenuActionLink> FActionLink;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item
  UINT FCommand = 0;
  HMENU FHandle = nullptr;
};

// A menu: a root item whose children are the menu's items.
class TMenu : public TComponent {
  PV_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TBiDiMode BiDiMode() const { return bdLeftToRight; }
  bool AutoHotkeys() const { return false; }
  // The platform menu of the menu's items.
  virtual HMENU Handle();
  // The window that receives the menu's messages; a main menu becomes that
  // window's menu bar.
  HWND WindowHandle() const { return FWindowHandle; }
  virtual void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
  TMenuItem* FindItem(std::uintptr_t Value, TFindItemKind Kind) const;
  // Runs the enabled, visible item with the key's shortcut (updating actions
  // first); true when one was found.
  bool IsShortCut(TWMKey& Message);
  // Runs the item with command id Command; true when found.
  bool DispatchCommand(WORD Command);
  bool DispatchPopup(HMENU AMenu);
  // Handles the window messages of this menu sent to the window that shows it:
  // WM_COMMAND of its items, WM_INITMENUPOPUP of its submenus (the submenu
  // item's OnClick), and WM_MEASUREITEM / WM_DRAWITEM of its owner-drawn items.
  // True when the message was this menu's.
  bool DispatchMenuMessage(TMessage& Message);
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetChildParent() override { return this; }
  void SetChildOrder(TComponent* Child, int Order) override;
  TMenuChangeEvent OnChange;

 protected:
  friend class TMenuItem;
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  HWND FWindowHandle = nullptr;
};

class TMainMenu : public TMenu {
  PV_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  // Attaching a window makes the menu that window's menu bar (top-level
  // windows only); detaching takes the bar away again.
  void SetWindowHandle(HWND Value) override;
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }
  // Adds the items of Menu (an MDI child's menu) by group index.
  void Merge(TMainMenu* Menu);
  void Unmerge(TMainMenu* Menu);

 protected:
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 private:
  bool FAutoMerge = false;
  std::vector<TMenuItem*> FMerged;
  TMainMenu* FMergedFrom = nullptr;
};

class TPopupMenu : public TMenu {
  PV_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Shows the menu at a screen point in the window manager's pop-up menu and,
  // once it closes, runs the chosen item's OnClick; returns when both are done.
  virtual void Popup(int X, int Y);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  TPoint PopupPoint() const { return FPopupPoint; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
  TNotifyEvent OnPopup;
  TNotifyEvent OnClose;

 protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
};

// Builders for menus made in code.
TMenuItem* NewItem(const AnsiString& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int hCtx, const AnsiString& AName);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const AnsiString& ACaption, int hCtx, const AnsiString& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled = true);
TMainMenu* NewMenu(TComponent* Owner, const AnsiString& AName, std::initializer_list<TMenuItem*> Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const AnsiString& AName, TPopupAlignment Alignment,
                         bool AutoPopup, std::initializer_list<TMenuItem*> Items);

void InitMenusProps();
