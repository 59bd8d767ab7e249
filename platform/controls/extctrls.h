// More controls of the class library: panels, bevels, shapes, images, the
// splitter, the radio group, the colour box and the scroll box.
#pragma once
#include <memory>
#include <vector>
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/graphics.h"
#include "platform/controls/stdctrls.h"

// ---- panel ----
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an outer and an inner bevel, a border between them and a
// caption drawn in the middle row with the chosen alignment.
class TCustomPanel : public TCustomControl {
  PV_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* AOwner);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  // bsSingle draws a one-pixel frame outside the bevels.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  // The width of everything drawn around the client area.
  int FrameWidth() const;
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void Paint() override;
  void CMTextChanged4(TMessage& Message);
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;
  bool FFullRepaint = true;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged4)
  END_MESSAGE_MAP(TCustomControl)
};

class TPanel : public TCustomPanel {
  PV_CLASS(TPanel, TCustomPanel)
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws the raised or lowered edge of Rect Width pixels wide and shrinks Rect inside it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---- bevel ----
enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

class TBevel : public TGraphicControl {
  PV_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);

 protected:
  void Paint() override;
  TBevelStyle FStyle = bsLowered;
  TBevelShape FShape = bsBox;
};

// ---- shape ----
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
  PV_CLASS(TShape, TGraphicControl)
 public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

 protected:
  void Paint() override;
  void StyleChanged(TObject* Sender);
  TShapeType FShape = stRectangle;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
};

// ---- image ----
// Shows a picture at its own size from the top-left corner, centred, or
// stretched to the control; Transparent leaves the bitmap's transparent
// colour unpainted.
class TImage : public TGraphicControl {
  PV_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  // The rectangle the picture is drawn in, in client coordinates.
  TRect DestRect();

 protected:
  void Paint() override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void PictureChanged(TObject* Sender);
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false, FCenter = false, FTransparent = false, FProportional = false;
  bool FDrawing = false;  // the picture's transparency is switched while it is drawn
};

// ---- splitter ----
using TCanResizeSplitEvent = TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// Sits beside an aligned control (its neighbour, on the side it is aligned
// to) and resizes that control when dragged. During the drag an XOR line on
// the desktop shows the new edge (rsLine, rsPattern) or the neighbour follows
// the mouse (rsUpdate). The neighbour keeps at least MinSize, and so does the
// space left for the client-aligned control.
class TSplitter : public TGraphicControl {
  PV_CLASS(TSplitter, TGraphicControl)
 public:
  explicit TSplitter(TComponent* AOwner);
  int MinSize() const { return FMinSize; }
  void SetMinSize(int Value);
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool Value) { FAutoSnap = Value; }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  TPanelBevel Beveled() const { return FBeveled; }
  // The control being resized (found when a drag starts); nullptr outside a drag.
  TControl* Control() const { return FControl; }
  // Whether the XOR line is on the desktop now.
  bool LineVisible() const { return FLineVisible; }
  TCanResizeSplitEvent OnCanResize;
  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void RequestAlign() override;
  TControl* FindControl();
  bool DoCanResize(int& NewSize);
  void CalcSplitSize(int X, int Y, int& NewSize, int& Split);
  void UpdateControlSize();
  void DrawLine();
  void StopSizing();
  void WMCancelMode2(TMessage& Message);
  TControl* FControl = nullptr;
  int FMinSize = 30, FMaxSize = 0, FNewSize = 0, FOldSize = -1, FSplit = 0;
  TPoint FDownPos;
  int FLineX = 0, FLineY = 0;  // the line's position in the parent's client coordinates
  bool FLineVisible = false, FAutoSnap = true, FSizing = false;
  TResizeStyle FResizeStyle = rsPattern;
  TPanelBevel FBeveled = bvNone;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode2)
  END_MESSAGE_MAP(TGraphicControl)
};

// ---- radio group ----
// A group box holding one radio button for each of Items, in Columns columns.
class TCustomRadioGroup : public TCustomGroupBox {
  PV_CLASS(TCustomRadioGroup, TCustomGroupBox)
 public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  // -1 clears the selection; other values outside the items are ignored.
  void SetItemIndex(int Value);
  int Columns() const { return FColumns; }
  // 1..16.
  void SetColumns(int Value);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TRadioButton* Buttons(int Index) const { return FButtons.at(std::size_t(Index)); }
  void Loaded() override;

 protected:
  void ItemsChanged(TObject* Sender);
  void UpdateButtons();
  void ArrangeButtons();
  void ButtonClick(TObject* Sender);
  void WMSize2(TWMSize& Message);
  void CMEnabledChanged3(TMessage& Message);
  void CMFontChanged5(TMessage& Message);
  std::unique_ptr<TStringList> FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1, FColumns = 1;
  bool FUpdating = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize2)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged3)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged5)
  END_MESSAGE_MAP(TCustomGroupBox)
};

class TRadioGroup : public TCustomRadioGroup {
  PV_CLASS(TRadioGroup, TCustomRadioGroup)
 public:
  explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

// ---- colour box ----
enum TColorBoxStyleItem { cbStandardColors, cbExtendedColors, cbSystemColors, cbIncludeNone, cbIncludeDefault,
                          cbCustomColor, cbPrettyNames };
using TColorBoxStyle = TSet<TColorBoxStyleItem>;

// A drop-down list of colours, each item a colour swatch and its name; the
// colour is the item's data. With cbCustomColor the first item "Custom..."
// asks for a colour (OnGetCustomColor, else the colour dialog hook).
class TCustomColorBox : public TCustomComboBox {
  PV_CLASS(TCustomColorBox, TCustomComboBox)
 public:
  explicit TCustomColorBox(TComponent* AOwner);
  TColorBoxStyle Style() const { return FStyle; }
  void SetStyle(TColorBoxStyle Value);
  TColor Selected();
  // Selects the item of Value, adding it as the custom colour when the list has
  // none of that value and cbCustomColor is set.
  void SetSelected(TColor Value);
  TColor DefaultColorColor() const { return FDefaultColorColor; }
  void SetDefaultColorColor(TColor Value) { FDefaultColorColor = Value; Invalidate(); }
  TColor NoneColorColor() const { return FNoneColorColor; }
  void SetNoneColorColor(TColor Value) { FNoneColorColor = Value; Invalidate(); }
  TColor Colors(int Index);
  AnsiString ColorNames(int Index);
  // The items as they stand: standard names, or "Custom..." plus the custom colour.
  void PopulateList();
  // Asks for a custom colour; returns false when cancelled.
  using TGetCustomColor = TEvent<void(TObject* Sender, TColor& Color, bool& Accept)>;
  TGetCustomColor OnGetCustomColor;

 protected:
  void CreateWndDone() override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void CNCommand2(TWMCommand& Message);
  bool PickCustomColor();
  TColorBoxStyle FStyle;
  TColor FSelectedColor = clBlack;
  TColor FCustomColor = clBlack;
  TColor FDefaultColorColor = clBlack, FNoneColorColor = clBlack;
  int FLastIndex = -1;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand2)
  END_MESSAGE_MAP(TCustomComboBox)
};

class TColorBox : public TCustomColorBox {
  PV_CLASS(TColorBox, TCustomColorBox)
 public:
  explicit TColorBox(TComponent* AOwner) : TCustomColorBox(AOwner) {}
};

// The hook the colour box uses for "Custom..." when it has no OnGetCustomColor
// (the dialogs unit installs the colour dialog here). nullptr: cancelled.
using TPickColorProc = bool (*)(TColor& Color);
void SetColorBoxPickProc(TPickColorProc Proc);

// ---- scroll box ----
// A scrolling container with an optional sunken border.
class TScrollBox : public TScrollingWinControl {
  PV_CLASS(TScrollBox, TScrollingWinControl)
 public:
  explicit TScrollBox(TComponent* AOwner);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // bsNone or bsSingle (a sunken client edge).
  void SetBorderStyle(TBorderStyle Value);
  void CreateParams(TCreateParams& Params) override;

 protected:
  TBorderStyle FBorderStyle = bsSingle;
};

PV_ENUM_NAMES(TPanelBevel, "bvNone bvLowered bvRaised bvSpace")
PV_ENUM_NAMES(TBevelStyle, "bsLowered bsRaised")
PV_ENUM_NAMES(TBevelShape, "bsBox bsFrame bsTopLine bsBottomLine bsLeftLine bsRightLine bsSpacer")
PV_ENUM_NAMES(TShapeType, "stRectangle stSquare stRoundRect stRoundSquare stEllipse stCircle")
PV_ENUM_NAMES(TResizeStyle, "rsNone rsLine rsUpdate rsPattern")
PV_ENUM_NAMES(TColorBoxStyleItem,
              "cbStandardColors cbExtendedColors cbSystemColors cbIncludeNone cbIncludeDefault cbCustomColor "
              "cbPrettyNames")

// ---- scroll bar ----
// (TScrollBarKind, TScrollCode and TScrollEvent come with forms.h.)

// The SCROLLBAR window class as a control.
class TScrollBar : public TWinControl {
  PV_CLASS(TScrollBar, TWinControl)
 public:
  explicit TScrollBar(TComponent* AOwner);
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value) { FSmallChange = Value; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value) { FLargeChange = Value; }
  // Sets position and range at once; raises EInvalidOperation when Min > Max.
  // The position is kept inside the range.
  void SetParams(int APosition, int AMin, int AMax);
  TNotifyEvent OnChange;
  TScrollEvent OnScroll;
  void CreateParams(TCreateParams& Params) override;

 protected:
  void CreateWndDone() override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  void DoScroll(TMessage& Message);
  void UpdateWindow();
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0, FSmallChange = 1, FLargeChange = 1;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_HSCROLL, TMessage, DoScroll)
    PV_MESSAGE_HANDLER(CN_VSCROLL, TMessage, DoScroll)
  END_MESSAGE_MAP(TWinControl)
};



// Registers the classes of this unit and their published properties. Idempotent.
void InitExtCtrlsProps();
