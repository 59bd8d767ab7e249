// The concrete item kinds of the bar library (buttons, edits, combos, sub
// items, list and container items) and the item controls that show them.
#pragma once
#include <map>

#include "bars/kxbar.h"
#include "platform/controls/stdctrls.h"

class TkxBarDropDownListBox;
class TkxBarComboControl;

// ===========================================================================
// Item kinds
// ===========================================================================

// An item whose control hosts an in-place editor; holds Text.
class TkxBarWindowItem : public TkxBarItem {
  PV_CLASS(TkxBarWindowItem, TkxBarItem)
 public:
  explicit TkxBarWindowItem(TComponent* AOwner) : TkxBarItem(AOwner) {}
  AnsiString Text() const { return FText; }
  virtual void SetText(const AnsiString& Value);
  // The text of the focused link's editor, else Text.
  AnsiString GetCurText();
  void SetCurText(const AnsiString& Value);
  TkxBarItemLink* FocusedItemLink() const;
  virtual void ActivateEditor(bool VisibleOnly);
  bool NoEditor() const { return FNoEditor; }
  bool CanClicked() const override { return false; }

  virtual void Change();
  virtual void CurChange();
  virtual void Enter();
  virtual void Exit();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);

  TNotifyEvent OnChange, OnCurChange, OnEnter, OnExit;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  AnsiString FText;
  bool FNoEditor = false;
};

class TkxBarButton : public TkxBarItem {
  PV_CLASS(TkxBarButton, TkxBarItem)
 public:
  explicit TkxBarButton(TComponent* AOwner) : TkxBarItem(AOwner) {}
  TkxBarButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TkxBarButtonStyle Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value) override;
  bool GetDown() const override { return FDown; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  // The pop-up menu of a drop-down button.
  TkxBarPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TkxBarPopupMenu* Value);
  bool DropDownEnabled() const { return FDropDownEnabled; }
  void SetDropDownEnabled(bool Value);
  bool CloseSubMenuOnClick() const { return FCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(bool V) { FCloseSubMenuOnClick = V; }
  bool UnclickAfterDoing() const { return FUnclickAfterDoing; }
  void SetUnclickAfterDoing(bool V) { FUnclickAfterDoing = V; }
  bool Lowered() const { return FLowered; }
  void SetLowered(bool Value);
  TkxBarPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TkxBarPaintStyle Value);

  virtual void ButtonStyleChanged();
  virtual bool HasPaintStyle() const { return true; }
  virtual void DownChanged();
  virtual void DropDownEnabledChanged();
  virtual void PaintStyleChanged();
  // Shows the drop-down menu at a screen point (the pop-up menu part).
  virtual void DropDown(TkxBarItemControl* Control, const TPoint& P, bool ByMouse);

  bool CanUseAccel(TkxBarItemLink* Link) const override;
  void DirectClick() override;
  bool RefersTo(const TObject* Obj) const override;
  bool ProcessDropDownShortCut(TShortCut ShortCut) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TkxBarButtonStyle FButtonStyle = bsDefault;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  TkxBarPopupMenu* FDropDownMenu = nullptr;
  bool FDropDownEnabled = true;
  bool FCloseSubMenuOnClick = true;
  bool FUnclickAfterDoing = true;
  bool FLowered = false;
  TkxBarPaintStyle FPaintStyle = TkxBarPaintStyle::psStandard;
};


class TkxBarEdit : public TkxBarWindowItem {
  PV_CLASS(TkxBarEdit, TkxBarWindowItem)
 public:
  explicit TkxBarEdit(TComponent* AOwner) : TkxBarWindowItem(AOwner) {}
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value < 1 ? 0 : Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V) { FReadOnly = V; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  virtual void DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R);
  virtual void WidthChanged();
  bool IsDroppedDown() const;
  bool CanUseAccel(TkxBarItemLink* Link) const override;

 protected:
  int FMaxLength = 0;
  bool FReadOnly = false;
  bool FShowCaption = false;
  int FWidth = 100;
};

// An edit with a drop-down window supplied by the owner.
class TCustomkxBarCombo : public TkxBarEdit {
  PV_CLASS(TCustomkxBarCombo, TkxBarEdit)
 public:
  explicit TCustomkxBarCombo(TComponent* AOwner) : TkxBarEdit(AOwner) {}
  bool ShowEditor() const { return !FNoEditor; }
  void SetShowEditor(bool Value);
  virtual bool CheckKeyForDropDownWindow(Word Key, TShiftState Shift);
  virtual HWND GetDropDownWindow();
  virtual void InitDropDownWindow() {}
  virtual void DropDown(int X, int Y);
  virtual void CloseUp();
  virtual void DropDownShown() {}
  TkxBarCheckKeyForDropDownWindowEvent OnCheckKeyForDropDownWindow;
  TNotifyEvent OnCloseUp, OnDropDown;
  TkxBarGetDropDownWindowEvent OnGetDropDownWindow;
};

// A combo with a drop-down list of strings.
class TkxBarCustomCombo : public TCustomkxBarCombo {
  PV_CLASS(TkxBarCustomCombo, TCustomkxBarCombo)
 public:
  explicit TkxBarCustomCombo(TComponent* AOwner);
  ~TkxBarCustomCombo() override;
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int V) { FDropDownCount = V; }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int V) { FDropDownWidth = V; }
  TStringList* Items() const { return FItems.get(); }
  void SetItems(TStringList* Value) { FItems->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int V) { FItemHeight = V; }
  TkxBarDropDownListBox* ListBox() const { return FListBox; }
  // True while an entry is drawn into the edit area of a control.
  bool DrawingEditBox() const { return FDrawingEditBox; }
  int FindItem(const AnsiString& Text) const;

  void SetText(const AnsiString& Value) override;
  bool CheckKeyForDropDownWindow(Word Key, TShiftState Shift) override;
  HWND GetDropDownWindow() override;
  void InitDropDownWindow() override;
  void DropDown(int X, int Y) override;
  void CloseUp() override;
  void DropDownShown() override;
  void CurChange() override;
  void DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R) override;

  virtual void DrawItem(int Index, const TRect& R, unsigned State);
  virtual TCanvas* GetCanvas();
  virtual int CalcDropDownWidth();
  virtual void MeasureItem(int Index, int& Height);
  virtual void MeasureItemWidth(int Index, int& Width);

  TkxBarDrawItemEvent OnDrawItem;
  TkxBarMeasureItemEvent OnMeasureItem;

 private:
  void ItemsChanged(TObject* Sender);
  std::unique_ptr<TStringList> FItems;
  int FDropDownCount = 8, FDropDownWidth = 0, FItemIndex = -1, FItemHeight = 0;
  bool FSorted = false;
  TkxBarDropDownListBox* FListBox = nullptr;
  TCanvas* FPaintCanvas = nullptr;
  bool FDrawingEditBox = false;
};

class TkxBarCombo : public TkxBarCustomCombo {
  PV_CLASS(TkxBarCombo, TkxBarCustomCombo)
 public:
  explicit TkxBarCombo(TComponent* AOwner) : TkxBarCustomCombo(AOwner) {}
};

// The drop-down list of a string combo: a list box in a pop-up window.
class TkxBarDropDownListBox : public TCustomListBox {
  PV_CLASS(TkxBarDropDownListBox, TCustomListBox)
 public:
  TkxBarDropDownListBox(TComponent* AOwner, TkxBarCustomCombo* Combo);
  TkxBarCustomCombo* Combo() const { return FCombo; }
  // The list captured the mouse because it opened with the left button down.
  bool CapturedAtDrop() const { return FCaptured; }
  void SetCapturedAtDrop(bool V) { FCaptured = V; }
  // A selected string is shown by the combo's current control.
  void Click() override;
  // Gives every string the height the combo measures for it.
  void MeasureItems();

 protected:
  // The strings are drawn and measured by the combo (its OnDrawItem and
  // OnMeasureItem or its own drawing); the list draws the focus frame.
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  TkxBarComboControl* CurrentControl() const;
  TkxBarItemControlPainterClass Painter() const;

 private:
  TkxBarCustomCombo* FCombo;
  bool FCaptured = false;
};

// An item that opens a menu made of its own links.
class TCustomkxBarSubItem : public TkxBarItem {
  PV_CLASS(TCustomkxBarSubItem, TkxBarItem)
 public:
  explicit TCustomkxBarSubItem(TComponent* AOwner);
  ~TCustomkxBarSubItem() override;
  TkxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
  void SetItemLinks(TkxBarItemLinks* Value) { FItemLinks->Assign(Value); }
  int BarSize() const { return FBarSize; }
  void SetBarSize(int Value) { FBarSize = Value < 0 ? 0 : Value; }
  bool Detachable() const { return FDetachable; }
  void SetDetachable(bool V) { FDetachable = V; }
  int DetachingBar() const { return FDetachingBar; }
  void SetDetachingBar(int Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

  virtual void DoPaintBar(TCanvas* Canvas, const TRect& R);
  virtual bool IsCustomizable() const { return true; }
  virtual void Popup();
  virtual void CloseUp();
  virtual void Detaching();

  bool CanClicked() const override { return false; }
  void BarManagerChanged() override;
  void BarNotification(TOperation Operation, TkxBar* Bar) override;
  bool RefersTo(const TObject* Obj) const override;
  TkxBarItemLinks* SubItemLinks() const override { return FItemLinks.get(); }
  void ManagerLoaded() override;

  TNotifyEvent OnDetaching, OnCloseUp, OnPopup;
  TkxBarPaintSubMenuBarEvent OnPaintBar;

 protected:
  std::unique_ptr<TkxBarItemLinks> FItemLinks;
  int FBarSize = 0;
  bool FDetachable = false;
  int FDetachingBar = -1;
  bool FShowCaption = true;
};

class TkxBarSubItem : public TCustomkxBarSubItem {
  PV_CLASS(TkxBarSubItem, TCustomkxBarSubItem)
 public:
  explicit TkxBarSubItem(TComponent* AOwner) : TCustomkxBarSubItem(AOwner) {}
  bool AllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(bool V) { FAllowCustomizing = V; }
  bool IsCustomizable() const override { return !FInternal; }
  void SetInternal(bool V) { FInternal = V; }

 private:
  bool FAllowCustomizing = true;
  bool FInternal = false;
};

// An item that, inside a menu, expands into generated links.
class TCustomkxBarContainerItem : public TCustomkxBarSubItem {
  PV_CLASS(TCustomkxBarContainerItem, TCustomkxBarSubItem)
 public:
  explicit TCustomkxBarContainerItem(TComponent* AOwner) : TCustomkxBarSubItem(AOwner) {}
  ~TCustomkxBarContainerItem() override;
  virtual void AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                                  bool CallGetData);
  virtual void DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) {}
  virtual void ClearItemList() { FListStale = false; }
  virtual bool HasGroupBegin() const { return true; }
  virtual void ItemsChanged();
  void MarkListStale() { FListStale = true; }
  bool CanBeVisible() const override { return bool(OnGetData); }
  TNotifyEvent OnGetData;

 protected:
  bool FDataSupplied = false;
  bool FListStale = false;
};

class TkxBarListItem : public TCustomkxBarContainerItem {
  PV_CLASS(TkxBarListItem, TCustomkxBarContainerItem)
 public:
  explicit TkxBarListItem(TComponent* AOwner);
  ~TkxBarListItem() override;
  TStringList* Items() const { return FItems.get(); }
  void SetItems(TStringList* Value) { FItems->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int V) { FItemIndex = V; }
  bool ShowCheck() const { return FShowCheck; }
  void SetShowCheck(bool V) { FShowCheck = V; }
  bool ShowNumbers() const { return FShowNumbers; }
  void SetShowNumbers(bool V) { FShowNumbers = V; }
  int DataIndex() const;
  void SetDataIndex(int Value);
  virtual AnsiString GetDisplayText(const AnsiString& S) const { return S; }
  int GeneratedCount() const { return int(FButtons.size()); }
  TkxBarButton* Generated(int Index) const { return FButtons[std::size_t(Index)]; }

  void AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                          bool CallGetData) override;
  void DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) override;
  void ClearItemList() override;
  bool CanBeVisible() const override { return bool(OnGetData) || FItems->Count() > 0; }
  void Click() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // The click of generated button Sender (its tag is its string's index).
  virtual void ButtonClick(TObject* Sender);

 private:
  void StringsChanged(TObject* Sender);
  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  bool FShowCheck = false, FShowNumbers = true;
  std::vector<TkxBarButton*> FButtons;
};

class TkxBarContainerItem : public TCustomkxBarContainerItem {
  PV_CLASS(TkxBarContainerItem, TCustomkxBarContainerItem)
 public:
  explicit TkxBarContainerItem(TComponent* AOwner) : TCustomkxBarContainerItem(AOwner) {}
  void AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                          bool CallGetData) override;
  void DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) override;
  bool HasVisibleItems() const;
  bool CanBeVisible() const override { return bool(OnGetData) || HasVisibleItems(); }
};

// ===========================================================================
// Item control kinds
// ===========================================================================

// A control that owns a platform child window on its bar window.
class TkxBarWinControl : public TkxBarItemControl {
  PV_CLASS(TkxBarWinControl, TkxBarItemControl)
 public:
  explicit TkxBarWinControl(TkxBarItemLink* ALink);
  ~TkxBarWinControl() override;
  HWND Window() const { return FWindow; }
  bool Shown() const { return FShown; }
  bool SettingText() const { return FSettingText; }
  TkxBarWindowItem* WindowItem() const;
  // The rectangle of the window in the parent's client coordinates.
  TRect WindowRect() const { return FWindowRect; }

  virtual void CreateWindowHook();
  virtual void DestroyEditWindow();
  virtual AnsiString GetWindowText();
  virtual void SetFocused(bool Show);
  virtual void SetWindowText(const AnsiString& Text);
  virtual void WndProc(TMessage& Message);

  void EnabledChanged() override;
  bool IsClickable() override;
  void Deactivate(bool Flag) override;
  void Activate(bool Flag) override;
  bool ClosesMenuOnClick() override { return false; }
  void ReleaseWindows() override { DestroyEditWindow(); }
  // The rectangle the window takes inside the control's rectangle.
  virtual TRect GetRect();
  // Moves a visible window to its rectangle after painting.
  void PlaceWindow(const TRect& R);

 protected:
  LRESULT CallPrevious(TMessage& Message);
  static LRESULT SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  bool FShown = false;
  bool FSettingText = false;
  HWND FWindow = nullptr;
  int FAltDepth = 0;
  WNDPROC FPrevWndProc = nullptr;
  HWND FPrevFocus = nullptr;
  TRect FWindowRect{};
};

class TkxBarEditControl : public TkxBarWinControl {
  PV_CLASS(TkxBarEditControl, TkxBarWinControl)
 public:
  explicit TkxBarEditControl(TkxBarItemLink* ALink);
  TkxBarEdit* EditItem() const;
  virtual void WidthChanged();
  int CaptionWidth();
  bool ShowsCaption();

  void Activate(bool Flag) override;
  bool IsSelected() override;
  int GetHeight() override;
  int GetMinWidth() override;
  int GetWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  void CreateWindowHook() override;
  void SetFocused(bool Show) override;
  void SetWindowText(const AnsiString& Text) override;
  void WndProc(TMessage& Message) override;
  TRect GetRect() override;

 protected:
  // The value area of the last paint (the window's place).
  TRect FValueRect{};
};

class TCustomkxBarComboControl : public TkxBarEditControl {
  PV_CLASS(TCustomkxBarComboControl, TkxBarEditControl)
 public:
  explicit TCustomkxBarComboControl(TkxBarItemLink* ALink) : TkxBarEditControl(ALink) {}
  TCustomkxBarCombo* ComboItem() const;
  bool DroppedDown() const { return FDroppedDown; }
  virtual void SetDroppedDown(bool Value);
  TRect ButtonRect() const { return FButtonRect; }
  void SetButtonRect(const TRect& R) { FButtonRect = R; }

  void EnabledChanged() override;
  void Deactivate(bool Flag) override;
  void GetArrowColors(int PaintKind, int& ColorIndex, HBRUSH& Brush, bool PressedOrDroppedDown, bool Selected,
                      bool Enabled) override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  void WndProc(TMessage& Message) override;
  TRect GetRect() override;

 protected:
  TRect FButtonRect{};
  bool FDroppedAtPress = false;
  bool FDroppedDown = false;
};

class TkxBarComboControl : public TCustomkxBarComboControl {
  PV_CLASS(TkxBarComboControl, TCustomkxBarComboControl)
 public:
  explicit TkxBarComboControl(TkxBarItemLink* ALink) : TCustomkxBarComboControl(ALink) {}
  TkxBarCustomCombo* StringComboItem() const;
  int ShownItemIndex() const { return FShownIndex; }
  void SetShownItemIndex(int V) { FShownIndex = V; }
  void SetFocused(bool Show) override;
  void WndProc(TMessage& Message) override;
  // Shows the string of Index (the item's Text outside the list) in the editor.
  void ShowString(int Index);

 private:
  int FShownIndex = -1;
};

class TkxBarButtonControl : public TkxBarItemControl {
  PV_CLASS(TkxBarButtonControl, TkxBarItemControl)
 public:
  explicit TkxBarButtonControl(TkxBarItemLink* ALink) : TkxBarItemControl(ALink) {}
  ~TkxBarButtonControl() override;
  TkxBarButton* ButtonItem() const;
  bool DroppedDown() const { return FDroppedDown; }
  TkxBarPaintStyle EffectivePaintStyle();
  bool IsDropDownStyle() const;
  // Whether the point (parent client coordinates) lies on the arrow part.
  bool IsOnArrowPart(const TPoint& P);

  virtual int GetArrowWidth();
  virtual void ButtonStyleChanged() { if (FParent) FParent->Rebuild(); }
  virtual void DownChanged() { Repaint(); }
  virtual void DropDownChanged() { Repaint(); }
  virtual int CalcButtonHeight();
  virtual int CalcButtonWidth();
  virtual void PaintStyleChanged() { if (FParent) FParent->Rebuild(); }
  virtual void AdjustPaintStyle(TkxBarPaintStyle& Style);
  void DropDown(bool ByMouse);
  void CloseUp();

  void GlyphChanged() override;
  void Deactivate(bool Flag) override;
  void Activate(bool Flag) override;
  void Click(bool Flag) override;
  bool IsSelected() override;
  void KeyDown(Word Key) override;
  bool IsDropDownKey(Word Key) override;
  int GetHeight() override;
  int GetWidth() override;
  TCustomkxBarControl* GetChildBarControl() override;
  bool ClosesMenuOnClick() override;
  bool WantsHotTracking() override { return !FDroppedDown; }
  void Paint(HDC DC, const TRect& R, int PaintKind) override;

 protected:
  // Draws the caption of a button on a toolbar. The toolbar's hot and
  // pressed faces are light, so the caption keeps the button-text colour;
  // only a painter with flat buttons that highlights pressed text shows a
  // pressed (or checked and hot) caption in the highlight-text colour, and in
  // a high-contrast white scheme whenever it is pressed, down or hot.
  void DrawToolbarCaption(HDC DC, bool Pressed, bool ShownDown, bool Rotated, int Alignment, const TRect& R);
  bool FDroppedDown = false;
};

class TkxBarSubItemControl : public TkxBarItemControl {
  PV_CLASS(TkxBarSubItemControl, TkxBarItemControl)
 public:
  explicit TkxBarSubItemControl(TkxBarItemLink* ALink) : TkxBarItemControl(ALink) {}
  ~TkxBarSubItemControl() override;
  TCustomkxBarSubItem* SubItem() const;
  bool OpenedByMouse() const { return FOpenedByMouse; }
  void SetOpenedByMouse(bool V) { FOpenedByMouse = V; }

  virtual TkxBarSubMenuControl* GetSubMenuControl();
  virtual void CreateSubMenu();
  virtual int GetArrowSize();
  virtual int CalcSubItemWidth();
  virtual bool CanOpen() { return true; }

  void GlyphChanged() override { if (FParent) FParent->Rebuild(); }
  bool IsClickable() override { return false; }
  void SetActive(bool ByKey) override;
  void Deactivate(bool Immediately) override;
  void Activate(bool ByMouse) override;
  void KeyDown(Word Key) override;
  bool IsDropDownKey(Word Key) override;
  int GetHeight() override;
  int GetWidth() override;
  TCustomkxBarControl* GetChildBarControl() override { return GetSubMenuControl(); }
  bool ClosesMenuOnClick() override { return false; }
  bool OpensChildMenu() override { return true; }
  bool AcceptsDoubleClick() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;

 protected:
  void OpenMenu();
  bool FOpenedByMouse = false;
};

class TkxBarContainerItemControl : public TkxBarSubItemControl {
  PV_CLASS(TkxBarContainerItemControl, TkxBarSubItemControl)
 public:
  explicit TkxBarContainerItemControl(TkxBarItemLink* ALink) : TkxBarSubItemControl(ALink) {}
  void CreateSubMenu() override;
  AnsiString GetCaption() override;
  bool OpensChildMenu() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
};

// The menu a container item opens.
class TContainerItemSubMenuControl : public TkxBarSubMenuControl {
  PV_CLASS(TContainerItemSubMenuControl, TkxBarSubMenuControl)
 public:
  explicit TContainerItemSubMenuControl(TComponent* AOwner) : TkxBarSubMenuControl(AOwner) {}
  ~TContainerItemSubMenuControl() override;
  TCustomkxBarContainerItem* ContainerItem() const { return FContainer; }
  void SetContainerItem(TCustomkxBarContainerItem* Item) { FContainer = Item; }
  bool IsCustomizing() const override { return false; }

 protected:
  void DestroyWnd() override;

 private:
  TCustomkxBarContainerItem* FContainer = nullptr;
};

// The pending delayed opening or closing of a sub menu (one per process).
void kxBarCancelSubItemTimer(TkxBarItemControl* Control);

// Registers the item kinds with the item-class registry and their settings.
void kxBarRegisterItemKinds();
void kxBarUnregisterItemKinds();
