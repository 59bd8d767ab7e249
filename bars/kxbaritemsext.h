// The extra item kinds of the bar library: static labels and progress bars,
// controls of the form hosted in a toolbar, recently-used lists, sub items
// that expand inside their menu, large buttons, colour and image combos,
// tree combos, the toolbar list and spin edits, with their item controls.
#pragma once
#include "bars/kxbaritems.h"
#include "platform/controls/imglist.h"

PV_ENUM_NAMES(TkxBarStaticBorderStyle, "sbsNone sbsLowered sbsRaised sbsEtched sbsBump")

class TkxBarControlContainerControl;

// The frame width of a static item's border style.
int kxBarStaticBorderWidth(TkxBarStaticBorderStyle Style);

// ===========================================================================
// Static label
// ===========================================================================

class TkxBarStatic : public TkxBarItem {
  PV_CLASS(TkxBarStatic, TkxBarItem)
 public:
  explicit TkxBarStatic(TComponent* AOwner) : TkxBarItem(AOwner) {}
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool AllowClick() const { return FAllowClick; }
  void SetAllowClick(bool V) { FAllowClick = V; }
  TkxBarStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  virtual void SetBorderStyle(TkxBarStaticBorderStyle Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int LeftIndent() const { return FLeftIndent; }
  void SetLeftIndent(int Value);
  int RightIndent() const { return FRightIndent; }
  void SetRightIndent(int Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  int BorderWidth() const { return kxBarStaticBorderWidth(FBorderStyle); }

  bool CanClicked() const override { return FAllowClick; }
  bool CanUseAccel(TkxBarItemLink*) const override { return false; }

 protected:
  void SetSize(int& Field, int Value);
  TAlignment FAlignment = taCenter;
  bool FAllowClick = false;
  TkxBarStaticBorderStyle FBorderStyle = TkxBarStaticBorderStyle::sbsNone;
  int FHeight = 0, FLeftIndent = 0, FRightIndent = 0, FWidth = 0;
  bool FShowCaption = true;
};

class TkxBarStaticControl : public TkxBarItemControl {
  PV_CLASS(TkxBarStaticControl, TkxBarItemControl)
 public:
  explicit TkxBarStaticControl(TkxBarItemLink* ALink) : TkxBarItemControl(ALink) {}
  TkxBarStatic* StaticItem() const;
  // Whether the control draws something of its own besides glyph and caption.
  virtual bool HasContent() { return false; }
  virtual void DrawContent(HDC DC, const TRect& R, int PaintKind);
  virtual TAlignment GetAlignment();
  // The sizes across and along a horizontal bar.
  virtual int CalcHeight();
  virtual int CalcWidth();
  // Whether the glyph cell is reserved.
  bool ReservesGlyph();
  int CaptionTextWidth();

  void CaptionChanged() override;
  void GlyphChanged() override;
  bool IsClickable() override;
  bool CanBeSelectedInDesign() override { return TkxBarItemControl::IsSelectable(); }
  bool IsSelectable() override;
  int GetHeight() override;
  int GetWidth() override;
  bool ClosesMenuOnClick() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
};

// ===========================================================================
// Progress bar
// ===========================================================================

class TkxBarProgressItem : public TkxBarStatic {
  PV_CLASS(TkxBarProgressItem, TkxBarStatic)
 public:
  explicit TkxBarProgressItem(TComponent* AOwner);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  int Step() const { return FStep; }
  void SetStep(int V) { FStep = V; }
  void SetRange(int AMin, int AMax);
  void Loaded() override;

 private:
  // Repaints only the bar part of every shown link, without erasing.
  void RepaintBars();
  TColor FColor = clDefault;
  int FMax = 100, FMin = 0, FPosition = 0, FStep = 10;
  bool FSmooth = false;
};

class TkxBarProgressControl : public TkxBarStaticControl {
  PV_CLASS(TkxBarProgressControl, TkxBarStaticControl)
 public:
  explicit TkxBarProgressControl(TkxBarItemLink* ALink) : TkxBarStaticControl(ALink) {}
  TkxBarProgressItem* ProgressItem() const;
  // The bar part in the window's client coordinates (empty when none).
  TRect GetBarRect();
  TColor GetBarColor();
  bool HasContent() override { return true; }
  TAlignment GetAlignment() override { return taLeftJustify; }
  int CalcHeight() override;
  int CalcWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;

 private:
  int BarLength(const TRect& R);
  int BarThickness(const TRect& R);
};

// ===========================================================================
// Control container
// ===========================================================================

// The borderless form a hosted control sits on inside a bar window.
class TPlaceForm : public TCustomForm {
  PV_CLASS(TPlaceForm, TCustomForm)
 public:
  explicit TPlaceForm(TComponent* AOwner) : TCustomForm(AOwner, 0) {}
  TkxBarControlContainerControl* ContainerControl() const { return FContainerControl; }
  void SetContainerControl(TkxBarControlContainerControl* C) { FContainerControl = C; }

 protected:
  void WMEraseBkgndPlace(TWMEraseBkgnd& Message);
  TkxBarControlContainerControl* FContainerControl = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgndPlace)
  END_MESSAGE_MAP(TCustomForm)
};

// An item that hosts one control of the form inside a toolbar.
class TkxBarControlContainerItem : public TkxBarItem {
  PV_CLASS(TkxBarControlContainerItem, TkxBarItem)
 public:
  explicit TkxBarControlContainerItem(TComponent* AOwner);
  ~TkxBarControlContainerItem() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  TPlaceForm* PlaceForm() const { return FPlaceForm; }
  // Whether a container control of this item is placing the control.
  bool AnyPlacing() const;
  // Hides and unparents the place form when Control shows the hosted control.
  void HideHostedWindowFor(TkxBarControlContainerControl* Control);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetName(const AnsiString& NewName) override;
  bool CanClicked() const override { return false; }
  bool IsHiddenInCustomizing() const override { return true; }
  bool CanUseAccel(TkxBarItemLink* Link) const override;
  void HideHostedWindow(TCustomkxBarControl* Control) override;
  bool HasHostedWindow() const override { return true; }

 private:
  void ControlWndProc(TMessage& Message);
  TControl* FControl = nullptr;
  TPlaceForm* FPlaceForm = nullptr;
  int FLastWidth = 0, FLastHeight = 0;
  TWndMethod FSavedWndProc;
};

class TkxBarControlContainerControl : public TkxBarItemControl {
  PV_CLASS(TkxBarControlContainerControl, TkxBarItemControl)
 public:
  explicit TkxBarControlContainerControl(TkxBarItemLink* ALink) : TkxBarItemControl(ALink) {}
  ~TkxBarControlContainerControl() override;
  TkxBarControlContainerItem* ContainerItem() const;
  TControl* HostedControl() const;
  TPlaceForm* PlaceForm() const;
  bool Placing() const { return FPlacing; }
  bool Placed() const { return FPlaced; }
  // The place form's parent window is this bar's window.
  bool ParentedHere() const;
  // Not in the quick-customizing list, a control assigned and no design mode.
  bool ShowsControl() const;

  void ReleaseWindows() override;
  void VisibleRangeChanged(bool InRange) override;
  bool IsClickable() override { return IsInQuickControl(); }
  bool ClosesMenuOnClick() override { return IsInQuickControl(); }
  bool WantsHotTracking() override { return IsInQuickControl(); }
  bool IsSelectable() override;
  int GetHeight() override;
  int GetWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;

 private:
  void PlaceControl();
  void DrawPlaceholder(HDC DC, const TRect& R);
  bool FPlacing = false;
  bool FPlaced = false;
};

// ===========================================================================
// Recently-used list
// ===========================================================================

class TkxBarMRUListItem : public TkxBarListItem {
  PV_CLASS(TkxBarMRUListItem, TkxBarListItem)
 public:
  explicit TkxBarMRUListItem(TComponent* AOwner) : TkxBarListItem(AOwner) {}
  int MaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(int Value);
  bool RemoveItemOnClick() const { return FRemoveItemOnClick; }
  void SetRemoveItemOnClick(bool V) { FRemoveItemOnClick = V; }
  // Removes the first string equal to Text, or without a text the first whose
  // object is Obj; nothing when none matches.
  void RemoveItem(const AnsiString& Text, TObject* Obj = nullptr);
  AnsiString GetDisplayText(const AnsiString& S) const override;

 protected:
  void ButtonClick(TObject* Sender) override;

 private:
  int FMaxItemCount = 5;
  bool FRemoveItemOnClick = false;
};

// ===========================================================================
// In-place sub item
// ===========================================================================

using TkxBarInPlaceSubItemEvent = TEvent<void(TkxBarItem* Sender, TkxBarItemLink* Link)>;

class TkxBarInPlaceSubItem : public TkxBarContainerItem {
  PV_CLASS(TkxBarInPlaceSubItem, TkxBarContainerItem)
 public:
  explicit TkxBarInPlaceSubItem(TComponent* AOwner) : TkxBarContainerItem(AOwner) {}
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  bool KeepBeginGroupWhileExpanded() const { return FKeepBeginGroupWhileExpanded; }
  void SetKeepBeginGroupWhileExpanded(bool V) { FKeepBeginGroupWhileExpanded = V; }
  bool ExpandChanging() const { return FChanging; }
  TkxBarInPlaceSubItemEvent OnAfterExpand, OnBeforeCollapse;

  virtual void DoAfterExpand(TkxBarItemLink* Link);
  virtual void DoBeforeCollapse(TkxBarItemLink* Link);

  bool CanBeVisible() const override { return true; }
  void AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                          bool CallGetData) override;
  void DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) override;
  bool HasGroupBegin() const override { return false; }

 private:
  void SetFollowingGroup(TkxBarItemLink* Link, bool Value);
  bool FExpanded = false;
  bool FKeepBeginGroupWhileExpanded = false;
  bool FChanging = false;
};

class TkxBarInPlaceSubItemControl : public TkxBarContainerItemControl {
  PV_CLASS(TkxBarInPlaceSubItemControl, TkxBarContainerItemControl)
 public:
  explicit TkxBarInPlaceSubItemControl(TkxBarItemLink* ALink) : TkxBarContainerItemControl(ALink) {}
  TkxBarInPlaceSubItem* InPlaceItem() const;
  bool InMenu() const { return FParent && FParent->IsMenuWindow(); }

  void Activate(bool ByMouse) override;
  void KeyDown(Word Key) override;
  bool IsDropDownKey(Word Key) override;
  void DoubleClick() override;
  bool AcceptsDoubleClick() override;
  bool OpensChildMenu() override;
  bool IsExpandedInPlace() override { return InMenu(); }
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  int GetArrowSize() override;
  int CalcSubItemWidth() override;
  int GetHeight() override;
  int GetWidth() override;
  bool CanOpen() override { return !InMenu(); }

 private:
  void Toggle();
};

// ===========================================================================
// Image combo
// ===========================================================================

// A combo whose strings carry an image index each (held in the string's
// object slot as index + 1) and are drawn with that image.
class TkxBarImageCombo : public TkxBarCustomCombo {
  PV_CLASS(TkxBarImageCombo, TkxBarCustomCombo)
 public:
  explicit TkxBarImageCombo(TComponent* AOwner);
  ~TkxBarImageCombo() override;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool Value);
  // The image index of string Index (-1 none).
  int ImageIndexes(int Index) const;
  void SetImageIndexes(int Index, int Value);
  // Every control of the item on a bar asks its bar to lay out again.
  virtual void ImagesChanged();

  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DrawItem(int Index, const TRect& R, unsigned State) override;
  void MeasureItem(int Index, int& Height) override;
  void MeasureItemWidth(int Index, int& Width) override;
  TCanvas* GetCanvas() override;
  // Without an OnClick handler the selection dialog opens.
  void DoClick() override;

 private:
  void ImageListChange(TObject* Sender);
  TCustomImageList* FImages = nullptr;
  bool FShowText = true;
  std::unique_ptr<TChangeLink> FChangeLink;
  TCanvas* FDialogCanvas = nullptr;
};

class TkxBarImageComboControl : public TkxBarComboControl {
  PV_CLASS(TkxBarImageComboControl, TkxBarComboControl)
 public:
  explicit TkxBarImageComboControl(TkxBarItemLink* ALink) : TkxBarComboControl(ALink) {}
  void RequestRebuild() {
    if (FParent) FParent->Rebuild();
  }
  int GetHeight() override;
};

// The selection dialog of the tree and image combos: a list (or tree) at the
// left, OK and Cancel at the right, measured with Font. Resizable dialogs lay
// out again on every resize.
struct TkxBarSelectionDialogLayout {
  int ButtonWidth = 0, ButtonHeight = 0, Margin = 0;
  explicit TkxBarSelectionDialogLayout(TFont* Font);
};
// 选择条目
extern const char* const kxBarSelectItemCaption;

// Registers the extra item kinds with the item-class registry and their
// settings, and unregisters them in the reverse order.
void kxBarRegisterExtraItems();
void kxBarUnregisterExtraItems();
