// The extra item kinds of the bar library: static labels and progress bars,
// controls of the form hosted in a toolbar, recently-used lists, sub items
// that expand inside their menu, large buttons, colour and image combos,
// tree combos, the toolbar list and spin edits, with their item controls.
#pragma once
#include <algorithm>

#include "bars/kxbaritems.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/imglist.h"

PV_ENUM_NAMES(TkxBarStaticBorderStyle, "sbsNone sbsLowered sbsRaised sbsEtched sbsBump")

class TkxBarControlContainerControl;

inline bool kxBarRectEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

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
// Toolbar list
// ===========================================================================

// A sub item whose menu lists the manager's toolbars with check marks; a
// click shows or hides the toolbar.
class TkxBarToolbarsListItem : public TCustomkxBarSubItem {
  PV_CLASS(TkxBarToolbarsListItem, TCustomkxBarSubItem)
 public:
  explicit TkxBarToolbarsListItem(TComponent* AOwner) : TCustomkxBarSubItem(AOwner) {}
  bool IsCustomizable() const override { return false; }
};

class TkxBarToolbarsListItemControl : public TkxBarSubItemControl {
  PV_CLASS(TkxBarToolbarsListItemControl, TkxBarSubItemControl)
 public:
  explicit TkxBarToolbarsListItemControl(TkxBarItemLink* ALink) : TkxBarSubItemControl(ALink) {}
  void CreateSubMenu() override;
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
// Large button
// ===========================================================================

enum TkxBarGlyphLayout { glLeft, glRight, glTop, glBottom };
PV_ENUM_NAMES(TkxBarGlyphLayout, "glLeft glRight glTop glBottom")

class TkxBarLargeButton : public TkxBarButton {
  PV_CLASS(TkxBarLargeButton, TkxBarButton)
 public:
  explicit TkxBarLargeButton(TComponent* AOwner);
  bool AutoGrayScale() const { return FAutoGrayScale; }
  void SetAutoGrayScale(bool Value);
  TkxBarGlyphLayout GlyphLayout() const { return FGlyphLayout; }
  void SetGlyphLayout(TkxBarGlyphLayout Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  TBitmap* HotGlyph() const { return FHotGlyph.get(); }
  void SetHotGlyph(TBitmap* Value) { FHotGlyph->Assign(Value); }
  int HotImageIndex() const { return FHotImageIndex; }
  void SetHotImageIndex(int Value);
  TBitmap* LargeGlyph() const { return FLargeGlyph.get(); }
  void SetLargeGlyph(TBitmap* Value) { FLargeGlyph->Assign(Value); }
  int LargeImageIndex() const { return FLargeImageIndex; }
  void SetLargeImageIndex(int Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool SyncImageIndex() const { return FSyncImageIndex; }
  void SetSyncImageIndex(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);

  virtual void GlyphLayoutChanged();
  virtual void HeightChanged();
  virtual void ShowCaptionChanged();
  virtual void WidthChanged();

  void Loaded() override;
  int GetImageIndex() const override { return FLargeImageIndex; }
  void SetActionImageIndex(int Value) override { SetLargeImageIndex(Value); }
  bool CanUseAccel(TkxBarItemLink* Link) const override;
  void HotGlyphChanged() override;
  void LargeGlyphChanged() override;
  void SetImageIndex(int Value) override;
  bool UsesHotImages() const override { return FHotImageIndex >= 0; }
  bool UsesLargeImages() const override { return FLargeImageIndex >= 0; }

 private:
  template <class F>
  void ForEachControl(F&& Fn);
  void HotBitmapChanged(TObject*) { HotGlyphChanged(); }
  void LargeBitmapChanged(TObject*) { LargeGlyphChanged(); }
  bool FAutoGrayScale = true;
  TkxBarGlyphLayout FGlyphLayout = glTop;
  int FHeight = 0, FWidth = 0;
  std::unique_ptr<TBitmap> FHotGlyph, FLargeGlyph;
  int FHotImageIndex = -1, FLargeImageIndex = -1;
  bool FShowCaption = true, FSyncImageIndex = true;
  bool FInSync = false, FImageIndexRead = false, FLargeIndexRead = false, FSyncRead = false;
};

class TkxBarLargeButtonControl : public TkxBarButtonControl {
  PV_CLASS(TkxBarLargeButtonControl, TkxBarButtonControl)
 public:
  explicit TkxBarLargeButtonControl(TkxBarItemLink* ALink) : TkxBarButtonControl(ALink) {}
  TkxBarLargeButton* LargeButton() const;
  // The image shown: a bitmap, or an entry of a list (Index -1: none).
  struct TImage {
    TBitmap* Bitmap = nullptr;
    TCustomImageList* Images = nullptr;
    int Index = -1;
    int Width = 20, Height = 20;
    bool Exists() const { return Bitmap || Index >= 0; }
  };
  TImage ChooseImage(bool Hot);
  bool OnToolbar() const { return FParent && !FParent->IsMenuWindow(); }

  virtual void GlyphLayoutChanged();
  virtual void HeightChanged();
  virtual void HotGlyphChanged();
  virtual void LargeGlyphChanged();
  virtual void ShowCaptionChanged();
  virtual void WidthChanged();

  bool CanShowGlyph() override;
  int GetHeight() override;
  int GetWidth() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  int GetArrowWidth() override;
  int CalcButtonHeight() override;
  int CalcButtonWidth() override;
  void AdjustPaintStyle(TkxBarPaintStyle& Style) override;

 private:
  void RebuildOnToolbar();
};

// ===========================================================================
// Colour combo
// ===========================================================================

class TkxBarColorCombo : public TkxBarCustomCombo {
  PV_CLASS(TkxBarColorCombo, TkxBarCustomCombo)
 public:
  explicit TkxBarColorCombo(TComponent* AOwner);
  TColor AutoColor() const { return FAutoColor; }
  void SetAutoColor(TColor Value);
  AnsiString AutoColorText() const { return FAutoColorText; }
  void SetAutoColorText(const AnsiString& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  AnsiString CustomColorText() const { return FCustomColorText; }
  void SetCustomColorText(const AnsiString& Value);
  bool ShowAutoColor() const { return FShowAutoColor; }
  void SetShowAutoColor(bool Value);
  bool ShowCustomColorButton() const { return FShowCustomColorButton; }
  void SetShowCustomColorButton(bool Value);
  TColor GetIndexColor(int Index) const;
  int GetColorIndex(TColor Value) const;
  int DefaultDropDownCount() const { return 16 + (FShowAutoColor ? 1 : 0); }
  bool IsAutoColorTextStored() const;
  bool IsCustomColorTextStored() const;
  // The click came from the custom-colour button, with the colour current then.
  void PressColorButton();

  void DrawItem(int Index, const TRect& R, unsigned State) override;
  void MeasureItem(int Index, int& Height) override;
  void MeasureItemWidth(int Index, int& Width) override;
  void DoClick() override;
  void Change() override;

 private:
  void FillList();
  TColor FAutoColor = clWindowText;
  AnsiString FAutoColorText, FCustomColorText;
  TColor FColor = clBlack;
  bool FShowAutoColor = false, FShowCustomColorButton = false;
  bool FGuard = false, FColorButton = false;
  TColor FButtonColor = clBlack;
};

class TkxBarColorComboControl : public TkxBarComboControl {
  PV_CLASS(TkxBarColorComboControl, TkxBarComboControl)
 public:
  explicit TkxBarColorComboControl(TkxBarItemLink* ALink) : TkxBarComboControl(ALink) {}
  TRect ColorButtonRect() const { return FColorButtonRect; }
  void StateChanged() override;
  bool IsSelected() override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  void WndProc(TMessage& Message) override;

 private:
  TRect FColorButtonRect{};
};

// The colour dialog all colour items share (made on first use).
TColorDialog* kxBarColorDialog();
void kxBarFreeColorDialog();

// ===========================================================================
// Spin edit
// ===========================================================================

enum TkxBarSpinEditValueType { svtInteger, svtFloat };
PV_ENUM_NAMES(TkxBarSpinEditValueType, "svtInteger svtFloat")
enum TkxBarSpinEditPrefixPlace { ppStart, ppEnd };
PV_ENUM_NAMES(TkxBarSpinEditPrefixPlace, "ppStart ppEnd")
enum TkxBarSpinEditButton { sbNone, sbUp, sbDown };
using TkxBarSpinEditButtonClickEvent = TEvent<void(TObject* Sender, TkxBarSpinEditButton Button)>;

// An edit item for a number, stepped by buttons, keys and the wheel. The
// value is always read from Text; numbers are the platform's doubles.
class TkxBarSpinEdit : public TkxBarEdit {
  PV_CLASS(TkxBarSpinEdit, TkxBarEdit)
 public:
  explicit TkxBarSpinEdit(TComponent* AOwner);
  double Value() const { return TextToValue(Text()); }
  void SetValue(double Value);
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value);
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value);
  TkxBarSpinEditValueType ValueType() const { return FValueType; }
  void SetValueType(TkxBarSpinEditValueType Value);
  AnsiString Prefix() const { return FPrefix; }
  void SetPrefix(const AnsiString& Value);
  TkxBarSpinEditPrefixPlace PrefixPlace() const { return FPrefixPlace; }
  void SetPrefixPlace(TkxBarSpinEditPrefixPlace Value);
  bool RangeInForce() const { return FMinValue != FMaxValue || FMinValue != 0; }
  // The value of the text being edited, or of Text when not editing.
  double CurValue();
  double CheckValue(double Value) const;
  double TextToValue(const AnsiString& S) const;
  AnsiString ValueToText(double Value) const;
  // Whether a text (its prefix removed) reads as a number of the value type.
  bool Converts(const AnsiString& S) const;
  // Steps by a button, then OnButtonClick.
  void ButtonClick(TkxBarSpinEditButton Button);
  void SetText(const AnsiString& Value) override;
  TkxBarSpinEditButtonClickEvent OnButtonClick;

 private:
  AnsiString WithoutPrefix(const AnsiString& S) const;
  void Recheck(double Old, double OldCur, bool Editing);
  double FIncrement = 1, FMinValue = 0, FMaxValue = 0;
  TkxBarSpinEditValueType FValueType = svtInteger;
  AnsiString FPrefix;
  TkxBarSpinEditPrefixPlace FPrefixPlace = ppEnd;
};

class TkxBarSpinEditControl : public TkxBarEditControl {
  PV_CLASS(TkxBarSpinEditControl, TkxBarEditControl)
 public:
  explicit TkxBarSpinEditControl(TkxBarItemLink* ALink) : TkxBarEditControl(ALink) {}
  ~TkxBarSpinEditControl() override;
  TkxBarSpinEdit* SpinItem() const;
  TkxBarSpinEditButton PressedButton() const { return FPressed; }
  bool DrawnPressed() const { return FDrawnPressed; }
  UINT_PTR RepeatTimer() const { return FTimer; }
  // The buttons' strip in the bar window's client coordinates (empty: none).
  TRect ButtonsRect() const { return FButtonsRect; }
  // The button under a point of the bar window.
  TkxBarSpinEditButton HitTest(const TPoint& P) const;
  void Activate(bool Flag) override;
  void Paint(HDC DC, const TRect& R, int PaintKind) override;
  void WndProc(TMessage& Message) override;
  void TimerTick(UINT_PTR Id);

 private:
  void Press(TkxBarSpinEditButton Button);
  void Release();
  void SetDrawnPressed(bool Value);
  TkxBarSpinEditButton FPressed = sbNone;
  bool FDrawnPressed = false;
  UINT_PTR FTimer = 0;
  bool FFirstTick = true;
  TRect FButtonsRect{};
};

// ===========================================================================
// Tree combo
// ===========================================================================

class TkxBarTreeViewCombo;
using TkxBarTreeViewComboCanSelectNodeEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& CanSelect)>;

// The tree a tree combo drops down (and the tree of its selection dialog).
// In the drop-down it never takes the focus and frames itself with a size
// grip and a close button.
class TkxBarTreeView : public TCustomTreeView {
  PV_CLASS(TkxBarTreeView, TCustomTreeView)
 public:
  TkxBarTreeView(TComponent* AOwner, TkxBarTreeViewCombo* Combo, bool DropDown);
  ~TkxBarTreeView() override;
  TkxBarTreeViewCombo* Combo() const { return FCombo; }
  bool IsDropDown() const { return FDropDown; }
  TRect CloseButtonRect() const { return FCloseRect; }
  TRect GripRect() const { return FGripRect; }
  bool CloseHot() const { return FCloseHot; }
  // The first node, depth first, whose text equals Text (locale rules, no case).
  TTreeNode* FindNodeByText(const AnsiString& Text);
  // Chooses the selected node unless OnCanSelectNode refuses it.
  void ChooseNode();
  void SetFocus() override {}

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Change(TTreeNode* Node) override;
  void Delete(TTreeNode* Node) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;

 private:
  bool OnNodePart(int X, int Y);
  void SetCloseHot(bool Value);
  TkxBarTreeViewCombo* FCombo;
  bool FDropDown;
  TRect FCloseRect{}, FGripRect{};
  Byte FGripCorner = 3;
  bool FCloseHot = false, FCloseTracking = false;
};

class TkxBarTreeViewCombo : public TCustomkxBarCombo {
  PV_CLASS(TkxBarTreeViewCombo, TCustomkxBarCombo)
 public:
  explicit TkxBarTreeViewCombo(TComponent* AOwner);
  ~TkxBarTreeViewCombo() override;
  TkxBarTreeView* TreeView() const { return FTree; }
  bool AllowResizing() const { return FAllowResizing; }
  void SetAllowResizing(bool V) { FAllowResizing = V; }
  bool ChooseByDblClick() const { return FChooseByDblClick; }
  void SetChooseByDblClick(bool V) { FChooseByDblClick = V; }
  int DropDownHeight() const { return FDropDownHeight; }
  void SetDropDownHeight(int Value) { FDropDownHeight = std::max(Value, 100); }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = std::max(Value, 100); }
  bool FullExpand() const { return FFullExpand; }
  void SetFullExpand(bool V) { FFullExpand = V; }
  TCustomImageList* Images() const;
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const;
  void SetStateImages(TCustomImageList* Value);
  int Indent() const;
  void SetIndent(int Value);
  TTreeNodes* Items() const;
  void SetItems(TTreeNodes* Value);
  bool ShowButtons() const;
  void SetShowButtons(bool Value);
  bool ShowLines() const;
  void SetShowLines(bool Value);
  bool ShowRoot() const;
  void SetShowRoot(bool Value);
  TSortType SortType() const;
  void SetSortType(TSortType Value);
  bool ShowImageInEdit() const { return FShowImageInEdit; }
  void SetShowImageInEdit(bool Value);
  // The node whose text the item shows (none when the text matches no node).
  TTreeNode* CurrentNode() const { return FCurrentNode; }
  void SetCurrentNode(TTreeNode* Node);
  void ForgetNode(TTreeNode* Node);
  virtual void UpdateTextFromNode();
  bool Refreshing() const { return FRefreshing; }
  void SetRefreshing(bool V) { FRefreshing = V; }

  TkxBarTreeViewComboCanSelectNodeEvent OnCanSelectNode;

  void SetText(const AnsiString& Value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CheckKeyForDropDownWindow(Word Key, TShiftState Shift) override;
  HWND GetDropDownWindow() override;
  void DropDown(int X, int Y) override;
  void DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R) override;
  // Without an OnClick handler the selection dialog opens.
  void DoClick() override;

 private:
  friend class TkxBarTreeView;
  TkxBarTreeView* FTree = nullptr;
  TTreeNode* FCurrentNode = nullptr;
  AnsiString FLoadedText;
  bool FHasLoadedText = false;
  bool FRefreshing = false;
  bool FAllowResizing = true, FChooseByDblClick = true, FFullExpand = false, FShowImageInEdit = true;
  int FDropDownHeight = 200, FDropDownWidth = 150;
};

class TkxBarTreeViewComboControl : public TCustomkxBarComboControl {
  PV_CLASS(TkxBarTreeViewComboControl, TCustomkxBarComboControl)
 public:
  explicit TkxBarTreeViewComboControl(TkxBarItemLink* ALink) : TCustomkxBarComboControl(ALink) {}
  int GetHeight() override;
  void Activate(bool Flag) override;
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
