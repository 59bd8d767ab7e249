// Bar painters: everything toolbars, menus, their frames and their item
// controls draw goes through one stateless painter, chosen by the manager's
// effective style. A painter is reached through a pointer to its single
// instance (TkxBarItemControlPainterClass); its operations call each other
// through that instance, so a style that overrides one small operation (a
// brush, a metric) changes every routine that uses it.
//
// The base class gives a default for every operation; the standard painter
// gives the classic raised-and-sunken look with system colours, and the
// enhanced painter changes its grip, mark and a few metrics. The flat, Office
// 2003 and native-theme painters derive from these later.
#pragma once
#include "bars/kxbarconsts.h"
#include "framework/uxoffice11.h"
#include "platform/gdi/gdi.h"

class TkxBarItemControlPainter;
using TkxBarItemControlPainterClass = const TkxBarItemControlPainter*;

// The state flags of a button-like element.
struct TkxBarButtonPaintState {
  bool DropDownButton = false;  // the control has a separate drop-down part
  bool DropDownMenu = false;    // the control opens a menu (a drop-down button or a sub item)
  bool PlainFace = false;       // a static glyph or a gray-scaled large button: no selection look
  bool Grayscale = false;       // the glyph is drawn in gray scale
  bool Pressed = false;
  bool Down = false;
  bool Selected = false;
  bool NoGlyph = false;
  int PaintKind = kxPaintKindToolbar;
};

class TkxBarItemControlPainter {
 public:
  virtual ~TkxBarItemControlPainter() = default;
  static TkxBarItemControlPainterClass Instance();

  // ---- buttons and glyph cells ----
  virtual void DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                               bool FrameFits, HBRUSH Brush) const {}
  virtual void DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top, int Left) const {}
  virtual void DrawGlyphCellCheck(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                  bool FrameFits, HBRUSH Brush, TRect R) const;
  virtual void DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S,
                                  int ImageIndex, TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR,
                                  TRect CellR, bool FrameFits, HBRUSH Brush) const;
  // ---- arrows ----
  virtual void DrawDropDownArrow(HDC DC, const TRect& R, bool Large, bool Enabled, bool Selected, int ColorIndex) const;
  // Direction: true points down, false points right.
  virtual void DrawStateArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool Flat, int Size,
                              int ColorIndex) const;
  // ---- edit colours, glyph fading, caption colours ----
  virtual void GetEditColors(TkxBarItemControl* Control, TColor& TextColor, TColor& BkColor) const;
  virtual TColor GetFadedGlyphColor(TCustomkxBarControl* Bar) const;
  virtual void GetCaptionColors(TkxBarItemControl* Control, bool Enabled, TColor& ShadowColor, TColor& TextColor,
                                bool Flat, bool Selected) const;
  virtual bool KeepsGlyphCellFace() const { return false; }
  virtual bool PaintsOwnMenuSelection() const { return false; }
  virtual bool SuppressesPressedOffset(TkxBarItemControl* Control) const { return false; }
  // ---- bar frames and the mark ----
  virtual bool IsLowBar(TCustomkxBarControl* Bar, const TRect& R) const { return R.bottom - R.top < 17; }
  virtual TColor GetFloatingCaptionColor(TCustomkxBarControl* Bar, bool FormActive) const;
  virtual TColor GetBarCaptionTextColor(TCustomkxBarControl* Bar) const { return clCaptionText; }
  virtual TColor GetCaptionMarkColor(TCustomkxBarControl* Bar, int MarkState) const { return clCaptionText; }
  virtual void DrawSizeGrip(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const;
  virtual void DrawCaptionMarkArrow(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const;
  virtual void DrawMarkChevron(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, int X, const TRect& R) const {}
  virtual void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const {}
  virtual void DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const;
  // R: the caption band (its right edge may move); X: where the text starts.
  virtual void GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect& R, int& X) const;
  virtual int GetMarkArrowColorIndex(TCustomkxBarControl* Bar) const { return COLOR_BTNTEXT; }
  virtual void DrawDownTriangle(TkxBarItemControl* Control, HDC DC, int ColorIndex, int Size, int Top,
                                int Left) const;
  virtual void DrawMenuScrollArrow(TkxBarSubMenuControl* Menu, HDC DC, bool Up, const TRect& R) const;
  virtual void DrawMenuExpandChevron(TkxBarSubMenuControl* Menu, HDC DC, bool Selected, const TRect& R) const;
  virtual void AdjustWindowItemRect(TRect& R) const {}
  virtual void DrawCenteredText(HDC DC, const TRect& R, bool Opaque, const AnsiString& Text, int Offset) const;
  virtual void FillItemBackground(TkxBarItemControl* Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                  const TRect& R) const;
  virtual void FrameItemBackground(TkxBarItemControl* Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                   const TRect& R) const;
  virtual void DrawDot(TkxBarItemControl* Control, HDC DC, const TRect& R) const;
  virtual void DrawGlyphButton(TkxBarItemControl* Control, HDC DC, const TRect& R, const TkxBarButtonPaintState& S,
                               bool CaptionOnly, const TRect* DropDownR) const;
  virtual void DrawGlyphCell(TkxBarItemControl* Control, HDC DC, const TRect& R, const TkxBarButtonPaintState& S,
                             int ImageIndex, TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR) const;
  virtual void DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                              const TRect& R) const {}
  // Alignment: 0 left, 1 centre, 2 right.
  virtual void DrawItemCaption(TkxBarItemControl* Control, HDC DC, bool Highlight, bool Clip, bool Rotated,
                               bool Selected, bool Enabled, int Alignment, const TRect& R,
                               const AnsiString& Text) const;
  virtual void DrawLoweredBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const {}
  virtual void DrawStaticBorder(TkxBarItemControl* Control, HDC DC, TkxBarStaticBorderStyle Style, int Inset,
                                TRect& R) const;
  virtual void DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed, bool Selected, bool Enabled,
                                   TRect& R) const {}
  virtual void GetArrowColors(TkxBarItemControl* Control, int PaintKind, int& ColorIndex, HBRUSH& Brush,
                              bool PressedOrDroppedDown, bool Selected, bool Enabled) const;
  virtual HBRUSH GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const;
  virtual int GetPressedGlyphShift(TkxBarItemControl* Control) const { return 0; }
  virtual int GetDownGlyphShift(TkxBarItemControl* Control, bool Pressed) const { return 0; }
  virtual bool HasFlatButtons() const { return false; }
  virtual bool HighlightsPressedText() const { return true; }
  virtual int GetButtonBorderWidth(TkxBarItemControl* Control) const { return 0; }
  virtual int GetItemTextIndent(TkxBarItemControl* Control) const;
  // ---- metrics the manager caches ----
  virtual int GetGripOffset() const { return 0; }
  virtual int GetFloatingBorderWidth() const;
  virtual int GetFloatingBorderHeight() const;
  virtual int GetDockedBorderIndent() const { return 0; }
  virtual int GetGripAreaSize() const { return 0; }
  virtual int GetGripWidth() const { return 3; }
  virtual int CalcDropDownArrowWidth(TkxBarManager* Manager) const;
  virtual int GetLargeDropDownArrowWidth(TkxBarManager* Manager) const;
  virtual int GetMenuSeparatorIndent() const { return 0; }
  // ---- backgrounds ----
  virtual void FillDockBackground(TkxDockControl* DockControl, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                                  const TRect& SourceR) const;
  virtual bool IsLayeredStyle() const { return false; }
  virtual int GetBarItemIndent(TCustomkxBarControl* Bar) const { return 0; }
  virtual HBRUSH GetBarBrush(TkxBarManager* Manager) const;
  virtual void FillDockedBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                                       const TRect& SourceR) const;
  virtual void FillBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                                 const TRect& SourceR) const;
  virtual void FillPopupNonClient(TCustomkxBarControl* Bar, HDC DC) const;
  virtual bool BarHasShadow(TCustomkxBarControl* Bar) const { return false; }
  virtual HBRUSH GetBkBrush(TCustomkxBarControl* Bar) const { return GetSysColorBrush(COLOR_BTNFACE); }
  virtual HBRUSH GetToolbarBkBrush(TCustomkxBarControl* Bar) const { return GetBkBrush(Bar); }
  virtual HBRUSH GetHotBrush(TCustomkxBarControl* Bar) const;
  virtual HBRUSH GetHotDownBrush(TCustomkxBarControl* Bar) const { return GetSysColorBrush(COLOR_BTNFACE); }
  virtual HBRUSH GetDownBrush(TCustomkxBarControl* Bar) const { return GetSysColorBrush(COLOR_HIGHLIGHT); }
  virtual int CalcComboButtonWidth(TCustomkxBarControl* Bar, HDC DC, int Unit) const { return 2 * Unit - 1; }
  virtual int GetTextRowMargin(HDC DC) const { return 6; }
  virtual int CalcTextRowHeight(TCustomkxBarControl* Bar, HDC DC, int FontHeight) const {
    return FontHeight + GetTextRowMargin(DC);
  }
  virtual bool TracksMarkHot() const { return false; }
  virtual bool SupportsQuickCustomizing() const { return false; }
  virtual int GetBarSeparatorLineOffset(TCustomkxBarControl* Bar, HDC DC) const {
    return (GetBarSeparatorSize(Bar, DC) - 2) / 2;
  }
  virtual int GetBarSeparatorSize(TCustomkxBarControl* Bar, HDC DC) const { return 6; }
  virtual void GetDockedBarBorders(TCustomkxBarControl* Bar, TRect& Widths) const;
  virtual int GetDockedBarBorderWidth() const { return 1; }
  virtual void GetSingleBorderMargins(TkxBar* Bar, TkxBarDockingStyle Style, TRect& Margins) const;
  virtual int GetFloatingCaptionHeight(TCustomkxBarControl* Bar, HDC DC) const { return GetSmallCaptionHeight() + 1; }
  virtual void FillFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const;
  virtual int GetSmallCaptionHeight() const;
  virtual bool FillsFloatingCaption() const { return false; }
  virtual void GetCaptionButtonSize(TSize& Size) const;
  // Horizontal: a horizontal line (on vertical bars).
  virtual void DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush, TRect R) const;
  virtual void DrawCaptionButtonFace(TCustomkxBarControl* Bar, HDC DC, int State, const TRect& R) const;
  virtual void DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const {}
  virtual void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const {}
  virtual void DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                                  TRect R) const {}
  virtual void DrawFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, int CloseButtonState,
                                   TRect R) const;
  virtual void DrawCaptionMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const { DrawCaptionMarkArrow(Bar, DC, R); }
  virtual void DrawMarkButton(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const;
  // Kind 0 minimize, 1 restore, 2 close.
  virtual void DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC, bool Pressed,
                             bool Hot) const {}
  virtual void DrawSizeGripArea(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const;
  virtual void FillBottomBarBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const;
  virtual int GetFloatingPaddingSide() const { return 0; }
  virtual void GetMarkHitRect(TCustomkxBarControl* Bar, TRect& R) const { GetMarkRect(Bar, R); }
  virtual void GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const { R = TRect{}; }
  virtual void RedrawMark(TCustomkxBarControl* Bar) const;
  virtual int GetFloatingPaddingTop() const { return 0; }
  virtual int GetFloatingPaddingBottom() const { return 0; }
  virtual bool UsesSystemCloseButton() const { return false; }
  virtual bool UsesSystemFrame() const { return false; }
  virtual void FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                                      const TRect& SourceR) const;
  virtual void GetSizeGripSize(TkxBarManager* Manager, TSize& Size) const;
  virtual int GetBottomBarBorderHeight(TkxBarManager* Manager) const { return 2; }
  virtual HBRUSH GetQuickControlBkBrush(TCustomkxBarControl* Bar) const { return GetToolbarBkBrush(Bar); }
  virtual void CalcQuickCustCheckRect(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& RowR,
                                      TRect& CheckR) const;
  virtual void DrawQuickCustCheck(TkxBarItemControl* Control, HDC DC, bool Selected, const TRect& CheckR,
                                  const TRect& RowR) const {}
  virtual bool AlignsQuickControlLeft() const { return false; }
  virtual int GetButtonHeightMargin() const { return 6; }
  virtual int GetButtonWidthMargin() const { return 7; }
  virtual void AdjustMenuItemHeight(int& Height) const {}
  virtual void AdjustMenuItemWidth(TkxBarItemControl* Control, int& Width) const {}
  virtual void DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind, bool HasDropDownItems,
                                       bool DropDownEnabled, bool DroppedDown, bool Pressed, bool Selected,
                                       int ColorIndex, HBRUSH Brush, const TRect& R) const {}
  virtual bool RedrawsAfterDropDown() const { return false; }
  virtual void OffsetButtonCaption(TkxBarItemControl* Control, bool Pressed, TRect& R) const {}
  virtual void OffsetContainerContent(TkxBarItemControl* Control, bool Pressed, TRect& R) const {}
  // ---- combos ----
  virtual int GetComboButtonGap() const { return 1; }
  virtual void DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const {}
  virtual void GetComboArrowColors(TkxBarItemControl* Control, int State, int& ColorIndex, HBRUSH& Brush,
                                   bool DroppedDown, bool Selected, bool Enabled) const;
  virtual int GetDropDownListBorderWidth(TkxBarManager* Manager) const { return 0; }
  virtual void DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const {}
  // ---- sub items ----
  virtual int GetSubItemArrowSize(TkxBarItemControl* Control) const;
  virtual int GetSubItemArrowWidth(TkxBarItemControl* Control) const;
  virtual int CalcSubItemWidth(TkxBarItemControl* Control) const;
  virtual void DrawSubItem(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Open, bool Selected,
                           const TRect& R) const;
  // ---- menus ----
  virtual int GetMenuBottomMargin() const { return 2; }
  virtual int GetMenuSeparatorSize() const { return 10; }
  virtual int GetMenuTopMargin() const { return 3; }
  // RowUnit comes in as the text height of "0" + 6 and may grow.
  virtual void CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth, int& ExpandRowHeight,
                               int& CheckWidth) const;
  // R: the line where items start; with WantFirstIndex, FirstIndex is 0 and
  // the available height unlimited.
  virtual void GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex,
                                 int& AvailableHeight, TRect& R) const;
  virtual void CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const;
  virtual int GetDetachStripHeight(TkxBarSubMenuControl* Menu) const;
  virtual void DrawMenu(TkxBarSubMenuControl* Menu, HDC DC, int ShownCount, HBRUSH Brush) const;
  virtual void FillMenuBackground(TkxBarSubMenuControl* Menu, HDC DC, TColor Color, HBRUSH Brush,
                                  const TRect& R) const;
  virtual void DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const;
  virtual void DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const;
  virtual void FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const;
  virtual void DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth,
                                 const TRect& R, HDC DC) const;
  virtual void DrawMenuItemEdges(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth, int Index,
                                 const TRect& R, HDC DC) const {}
  virtual bool HasBandLine() const { return false; }
  virtual int CalcMenuArrowSize(TkxBarSubMenuControl* Menu, int RowUnit) const { return (RowUnit - 6) / 2; }
  virtual int GetExpandButtonInset(TkxBarSubMenuControl* Menu) const { return 1; }
  virtual void InsetDetachBar(TkxBarSubMenuControl* Menu, TRect& R) const;
  virtual void SelectMenuBrush(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, HBRUSH& Brush) const {}
  virtual HBRUSH GetMenuBkBrush(TkxBarSubMenuControl* Menu) const { return GetSysColorBrush(COLOR_BTNFACE); }
  // ---- window lists and combo lists ----
  virtual void DrawWindowItem(TkxBarItem* Item, TkxBarItemLink* Link, const TRect& R, TCanvas* Canvas) const;
  virtual void DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned State, TRect R) const;
  // ---- edits ----
  virtual int CalcEditWidth(TkxBarItemControl* Control, int CaptionWidth) const { return CaptionWidth + 6; }
  virtual void DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const;
  virtual void DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind, TRect& R) const;
  virtual void DrawEditValue(TkxBarItemControl* Control, HDC DC, const TRect& R) const;
  virtual DWORD GetEditStyle() const { return 128; }
  virtual void PrepareEditWindow(TkxBarItemControl* Control, HWND Wnd) const {}
  virtual void SelectEditText(TkxBarItemControl* Control, HWND Wnd, bool TextChanged) const;
  virtual void DrawEllipsisButton(TkxBarItemControl* Control, HDC DC, bool Selected, bool Pressed, TRect& InnerR,
                                  TRect R) const;
  // ---- drop-down windows ----
  // Returns the item's current link (or nil); Corner receives the grip corner.
  virtual TkxBarItemLink* CalcDropDownNonClient(HWND Window, TRect& R, bool Sizable, TkxBarItem* Item,
                                                Byte& Corner) const;
  // HotOrPressed: 0 normal, 1 hot, 2 pressed (and hot).
  virtual void DrawDropDownNonClient(HDC DC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR, Byte Corner,
                                     bool Hot, bool Pressed) const;
  virtual int GetDropDownBarHeight(Byte Corner) const;
  // ---- calendars, spins, progress, containers, in-place sub items ----
  virtual bool HasFlatCalendar() const { return false; }
  virtual void DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const;
  virtual TColor GetCalendarHeaderColor() const { return clBtnFace; }
  // Which and PressedButton: 1 up, 2 down (0 none).
  virtual void DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton, int Which,
                              bool Selected, int ButtonHeight, int ArrowSize, int ArrowWidth, const TRect& R) const;
  virtual void DrawSpinEditBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const;
  virtual TColor GetProgressBarColor() const { return clHighlight; }
  virtual int GetProgressBarBlockSize(TkxBarItemControl* Control) const { return 12; }
  // Orientation 2: vertical.
  virtual void DrawProgressBar(TkxBarItemControl* Control, HDC DC, int Max, int Min, int Position, bool Solid,
                               int Orientation, TColor Color, const TRect& R) const;
  virtual int GetContainerIndent(TkxBarItemControl* Control) const { return 0; }
  virtual int GetContainerHeightMargin(TkxBarItemControl* Control) const { return 0; }
  virtual HBRUSH GetInPlaceSubItemBrush() const { return GetSysColorBrush(COLOR_BTNSHADOW); }
  virtual void DrawInPlaceSubItem(TkxBarItemControl* Control, HDC DC, const TRect& R, bool Expanded,
                                  bool Selected) const;

 protected:
  // The scroll arrows of a scrolled menu; answers the last visible item's rectangle.
  TRect DrawMenuScrollParts(TkxBarSubMenuControl* Menu, HDC DC) const;
  // The frame of a drop-down window; Flat chooses the flat look, Themed the
  // theme's size box and close button.
  void PaintDropDownFrame(HWND Window, bool Sizable, bool Flat, Byte Corner, TRect& GripR, TRect& CloseR, bool Hot,
                          bool Pressed, bool Themed = false) const;
  // The classic close button at the end of the bar B of a drop-down frame; B becomes the button.
  void PaintDropDownCloseButton(HDC DC, TRect& B, bool Flat, Byte Corner, bool Hot, bool Pressed) const;
  // The edit value on the given colours.
  void DrawEditValueIn(TkxBarItemControl* Control, HDC DC, const TRect& R, TColor TextColor, TColor BkColor) const;
  // The glyph of a glyph cell with the effects of the flat, Office 2003 and native-theme styles.
  void DrawCellGlyph(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, int ImageIndex,
                     TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR, const TRect& CellR, HBRUSH Brush,
                     bool UseExistingBackground, bool ShadowAllowed, bool FlatLook) const;
};

// The classic raised-and-sunken look with system colours.
class TkxBarItemControlStandardPainter : public TkxBarItemControlPainter {
 public:
  static TkxBarItemControlPainterClass Instance();
  void DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                       bool FrameFits, HBRUSH Brush) const override;
  void DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top, int Left) const override;
  bool KeepsGlyphCellFace() const override { return true; }
  bool IsLowBar(TCustomkxBarControl* Bar, const TRect& R) const override { return false; }
  void DrawMarkChevron(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, int X, const TRect& R) const override;
  void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawDot(TkxBarItemControl* Control, HDC DC, const TRect& R) const override;
  void DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                      const TRect& R) const override;
  void DrawLoweredBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const override;
  void DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed, bool Selected, bool Enabled,
                           TRect& R) const override;
  HBRUSH GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const override;
  int GetPressedGlyphShift(TkxBarItemControl* Control) const override { return 1; }
  int GetDownGlyphShift(TkxBarItemControl* Control, bool Pressed) const override { return 1; }
  int GetButtonBorderWidth(TkxBarItemControl* Control) const override { return 1; }
  int GetGripOffset() const override { return 2; }
  int GetGripAreaSize() const override { return GetGripOffset() + 2 * GetGripWidth() + 1; }
  int GetMenuSeparatorIndent() const override { return 2; }
  void DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                          TRect R) const override;
  void DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC, bool Pressed,
                     bool Hot) const override;
  int GetFloatingPaddingSide() const override { return 4; }
  void GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const override;
  int GetFloatingPaddingTop() const override { return 2; }
  int GetFloatingPaddingBottom() const override { return 1; }
  bool UsesSystemCloseButton() const override { return true; }
  bool UsesSystemFrame() const override { return true; }
  void DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind, bool HasDropDownItems,
                               bool DropDownEnabled, bool DroppedDown, bool Pressed, bool Selected, int ColorIndex,
                               HBRUSH Brush, const TRect& R) const override;
  void OffsetButtonCaption(TkxBarItemControl* Control, bool Pressed, TRect& R) const override;
  void OffsetContainerContent(TkxBarItemControl* Control, bool Pressed, TRect& R) const override;
  void DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const override;
  int GetDropDownListBorderWidth(TkxBarManager* Manager) const override { return 2; }
  void DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const override;
  void DrawMenuItemEdges(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth, int Index,
                         const TRect& R, HDC DC) const override;
  bool HasBandLine() const override { return true; }
  int GetExpandButtonInset(TkxBarSubMenuControl* Menu) const override { return 2; }
  void PrepareEditWindow(TkxBarItemControl* Control, HWND Wnd) const override;
};

// The standard look with a single grip bar, a triangle on the mark and
// quick customizing.
class TkxBarItemControlEnhancedPainter : public TkxBarItemControlStandardPainter {
 public:
  static TkxBarItemControlPainterClass Instance();
  void DrawMarkChevron(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, int X, const TRect& R) const override;
  void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  int GetGripOffset() const override { return 1; }
  int GetGripAreaSize() const override { return GetGripOffset() + GetGripWidth() + 2; }
  int GetMenuSeparatorIndent() const override { return 12; }
  bool SupportsQuickCustomizing() const override { return true; }
  void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const override;
};

// The flat look: one-pixel frames in the highlight colour over tinted fills,
// menus with a light glyph column on a window-coloured text area, docked
// toolbars with a striped grip. Its added operations (after the base's) are
// the ones the Office 2003 painter overrides.
class TkxBarItemControlFlatPainter : public TkxBarItemControlPainter {
 public:
  static TkxBarItemControlPainterClass Instance();
  // ---- added operations ----
  // The frame of a hot or pressed element.
  virtual void DrawSelectionFrame(HDC DC, const TRect& R) const;
  virtual HBRUSH GetStaticBorderBrush(TkxBarItemControl* Control, TkxBarStaticBorderStyle Style) const;
  virtual void DrawOpenOwnerButton(TCustomkxBarControl* Bar, HDC DC, TCustomkxBarControl* Child, const TRect& R) const;
  // The frame of an item whose pop-up is open, left open where the pop-up touches it.
  virtual void FrameOpenOwner(TCustomkxBarControl* Bar, HDC DC, TCustomkxBarControl* Child,
                              TkxBarItemControl* Control, const TRect& R) const;
  virtual void FrameOwnerItem(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const;
  virtual void FillOwnerEdge(TCustomkxBarControl* Bar, HDC DC, TkxBarItemControl* Control, const TRect& Band,
                             const TRect& R) const;
  virtual HBRUSH GetMenuSeparatorBrush(TkxBarSubMenuControl* Menu) const;

  // ---- overrides ----
  void DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                       bool FrameFits, HBRUSH Brush) const override;
  void DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top, int Left) const override;
  void DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, int ImageIndex,
                          TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR, TRect CellR, bool FrameFits,
                          HBRUSH Brush) const override;
  TColor GetFloatingCaptionColor(TCustomkxBarControl* Bar, bool FormActive) const override { return clInactiveCaption; }
  TColor GetCaptionMarkColor(TCustomkxBarControl* Bar, int MarkState) const override;
  void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect& R, int& X) const override;
  int GetMarkArrowColorIndex(TCustomkxBarControl* Bar) const override;
  void AdjustWindowItemRect(TRect& R) const override { R.top += 2; }
  void DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                      const TRect& R) const override;
  void DrawLoweredBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const override;
  void DrawStaticBorder(TkxBarItemControl* Control, HDC DC, TkxBarStaticBorderStyle Style, int Inset,
                        TRect& R) const override;
  void DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed, bool Selected, bool Enabled,
                           TRect& R) const override;
  void GetArrowColors(TkxBarItemControl* Control, int PaintKind, int& ColorIndex, HBRUSH& Brush,
                      bool PressedOrDroppedDown, bool Selected, bool Enabled) const override;
  HBRUSH GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const override;
  bool HasFlatButtons() const override { return true; }
  int GetButtonBorderWidth(TkxBarItemControl* Control) const override { return 1; }
  int GetItemTextIndent(TkxBarItemControl* Control) const override;
  int GetGripOffset() const override { return 1; }
  int GetGripAreaSize() const override { return GetGripOffset() + GetGripWidth() + 2; }
  int CalcDropDownArrowWidth(TkxBarManager* Manager) const override;
  int GetLargeDropDownArrowWidth(TkxBarManager* Manager) const override;
  int GetMenuSeparatorIndent() const override { return 8; }
  int GetBarItemIndent(TCustomkxBarControl* Bar) const override { return 1; }
  bool BarHasShadow(TCustomkxBarControl* Bar) const override;
  HBRUSH GetBkBrush(TCustomkxBarControl* Bar) const override;
  HBRUSH GetToolbarBkBrush(TCustomkxBarControl* Bar) const override;
  HBRUSH GetHotBrush(TCustomkxBarControl* Bar) const override;
  HBRUSH GetHotDownBrush(TCustomkxBarControl* Bar) const override;
  HBRUSH GetDownBrush(TCustomkxBarControl* Bar) const override;
  int GetTextRowMargin(HDC DC) const override { return 7; }
  bool TracksMarkHot() const override { return true; }
  bool SupportsQuickCustomizing() const override { return true; }
  int GetBarSeparatorLineOffset(TCustomkxBarControl* Bar, HDC DC) const override {
    return (GetBarSeparatorSize(Bar, DC) - 1) / 2;
  }
  int GetBarSeparatorSize(TCustomkxBarControl* Bar, HDC DC) const override { return 5; }
  void DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush, TRect R) const override;
  void DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                          TRect R) const override;
  void DrawCaptionMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC, bool Pressed,
                     bool Hot) const override;
  void GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const override;
  HBRUSH GetQuickControlBkBrush(TCustomkxBarControl* Bar) const override { return GetSysColorBrush(COLOR_WINDOW); }
  void CalcQuickCustCheckRect(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& RowR,
                              TRect& CheckR) const override;
  void DrawQuickCustCheck(TkxBarItemControl* Control, HDC DC, bool Selected, const TRect& CheckR,
                          const TRect& RowR) const override;
  bool AlignsQuickControlLeft() const override { return true; }
  void AdjustMenuItemHeight(int& Height) const override { Height += 2; }
  void AdjustMenuItemWidth(TkxBarItemControl* Control, int& Width) const override { Width += 9; }
  void DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind, bool HasDropDownItems,
                               bool DropDownEnabled, bool DroppedDown, bool Pressed, bool Selected, int ColorIndex,
                               HBRUSH Brush, const TRect& R) const override;
  bool RedrawsAfterDropDown() const override { return true; }
  void DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const override;
  void GetComboArrowColors(TkxBarItemControl* Control, int State, int& ColorIndex, HBRUSH& Brush, bool DroppedDown,
                           bool Selected, bool Enabled) const override;
  int GetDropDownListBorderWidth(TkxBarManager* Manager) const override { return 2; }
  void DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const override;
  int GetSubItemArrowSize(TkxBarItemControl* Control) const override;
  int GetSubItemArrowWidth(TkxBarItemControl* Control) const override;
  int CalcSubItemWidth(TkxBarItemControl* Control) const override;
  void DrawSubItem(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Open, bool Selected,
                   const TRect& R) const override;
  int GetMenuSeparatorSize() const override { return 5; }
  int GetMenuTopMargin() const override { return 2; }
  void CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth, int& ExpandRowHeight,
                       int& CheckWidth) const override;
  void GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex, int& AvailableHeight,
                         TRect& R) const override;
  void CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const override;
  int GetDetachStripHeight(TkxBarSubMenuControl* Menu) const override;
  void DrawMenu(TkxBarSubMenuControl* Menu, HDC DC, int ShownCount, HBRUSH Brush) const override;
  void DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const override;
  void DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const override;
  void DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth, const TRect& R,
                         HDC DC) const override;
  int CalcMenuArrowSize(TkxBarSubMenuControl* Menu, int RowUnit) const override;
  void InsetDetachBar(TkxBarSubMenuControl* Menu, TRect& R) const override { InflateRect(&R, -2, -2); }
  void SelectMenuBrush(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, HBRUSH& Brush) const override {
    Brush = GetMenuBkBrush(Menu);
  }
  HBRUSH GetMenuBkBrush(TkxBarSubMenuControl* Menu) const override { return GetSysColorBrush(COLOR_WINDOW); }
  void DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned State, TRect R) const override;
  int CalcEditWidth(TkxBarItemControl* Control, int CaptionWidth) const override { return CaptionWidth + 11; }
  void DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const override;
  void DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind, TRect& R) const override;
  DWORD GetEditStyle() const override { return TkxBarItemControlPainter::GetEditStyle() | 4; }
  void PrepareEditWindow(TkxBarItemControl* Control, HWND Wnd) const override;
  void SelectEditText(TkxBarItemControl* Control, HWND Wnd, bool TextChanged) const override;
  void DrawDropDownNonClient(HDC DC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR, Byte Corner, bool Hot,
                             bool Pressed) const override;
  bool HasFlatCalendar() const override { return true; }
  void DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const override;
  void DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton, int Which, bool Selected,
                      int ButtonHeight, int ArrowSize, int ArrowWidth, const TRect& R) const override;
  int GetContainerHeightMargin(TkxBarItemControl* Control) const override { return 9; }
  void DrawInPlaceSubItem(TkxBarItemControl* Control, HDC DC, const TRect& R, bool Expanded,
                          bool Selected) const override;

 protected:
  // The frame round a drop-down arrow part that is not dropped down (selected: the selection frame).
  virtual void FrameArrowPart(TkxBarItemControl* Control, HDC DC, bool Menu, bool Selected, const TRect& R) const;
  // Whether an edit caption's area is filled with its brush rather than the bar's background.
  virtual bool FillsEditCaption(bool Menu, bool Selected, bool NonRecent) const { return Menu && (Selected || NonRecent); }
};

// The Office 2003 look on the colour table of the framework: toolbars shaded
// with a tube gradient and rounded corners, grips of dots, hot and pressed
// buttons in gradients with a dark border, menus with a shaded glyph column
// and the customize mark.
class TkxBarItemControlOffice11Painter : public TkxBarItemControlFlatPainter {
 public:
  static TkxBarItemControlPainterClass Instance();
  // ---- added operations ----
  virtual void DrawGripDots(TCustomkxBarControl* Bar, HDC DC, bool Vertical, const TRect& R) const;
  virtual int GetGripExtraOffset() const { return 2; }

  // ---- overrides ----
  void DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                       bool FrameFits, HBRUSH Brush) const override;
  void DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, int ImageIndex,
                          TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR, TRect CellR, bool FrameFits,
                          HBRUSH Brush) const override;
  void DrawDropDownArrow(HDC DC, const TRect& R, bool Large, bool Enabled, bool Selected, int Color) const override;
  void DrawStateArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool Flat, int Size,
                      int Color) const override;
  void GetEditColors(TkxBarItemControl* Control, TColor& TextColor, TColor& BkColor) const override;
  TColor GetFadedGlyphColor(TCustomkxBarControl* Bar) const override { return Office11MarkLightColors[0]; }
  void GetCaptionColors(TkxBarItemControl* Control, bool Enabled, TColor& ShadowColor, TColor& TextColor, bool Flat,
                        bool Selected) const override;
  bool PaintsOwnMenuSelection() const override { return true; }
  TColor GetFloatingCaptionColor(TCustomkxBarControl* Bar, bool FormActive) const override {
    return Office11FloatingCaptionColor;
  }
  TColor GetBarCaptionTextColor(TCustomkxBarControl* Bar) const override { return Office11CaptionTextColor; }
  TColor GetCaptionMarkColor(TCustomkxBarControl* Bar, int MarkState) const override;
  void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  // Color is a colour value in this style, not a system colour index.
  void DrawDownTriangle(TkxBarItemControl* Control, HDC DC, int Color, int Size, int Top, int Left) const override;
  void DrawMenuExpandChevron(TkxBarSubMenuControl* Menu, HDC DC, bool Selected, const TRect& R) const override;
  void DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                      const TRect& R) const override;
  void DrawSpinButtonFrame(TkxBarItemControl* Control, HDC DC, bool Pressed, bool Selected, bool Enabled,
                           TRect& R) const override;
  void GetArrowColors(TkxBarItemControl* Control, int PaintKind, int& Color, HBRUSH& Brush, bool PressedOrDroppedDown,
                      bool Selected, bool Enabled) const override;
  HBRUSH GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const override;
  bool HighlightsPressedText() const override { return !IsOffice11SchemeActive(); }
  int GetGripOffset() const override { return TkxBarItemControlFlatPainter::GetGripOffset() + GetGripExtraOffset(); }
  int GetFloatingBorderWidth() const override { return 3; }
  int GetFloatingBorderHeight() const override { return 3; }
  int GetDockedBorderIndent() const override { return 2; }
  void FillDockBackground(TkxDockControl* DockControl, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                          const TRect& SourceR) const override;
  bool IsLayeredStyle() const override { return true; }
  HBRUSH GetBarBrush(TkxBarManager* Manager) const override { return Office11BarFaceBrush; }
  void FillDockedBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                               const TRect& SourceR) const override;
  void FillBarBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                         const TRect& SourceR) const override;
  void FillPopupNonClient(TCustomkxBarControl* Bar, HDC DC) const override;
  bool BarHasShadow(TCustomkxBarControl* Bar) const override;
  HBRUSH GetBkBrush(TCustomkxBarControl* Bar) const override { return Office11MenuBrush; }
  HBRUSH GetHotBrush(TCustomkxBarControl* Bar) const override { return Office11HotBrush; }
  HBRUSH GetHotDownBrush(TCustomkxBarControl* Bar) const override { return Office11HotDownBrush; }
  HBRUSH GetDownBrush(TCustomkxBarControl* Bar) const override { return Office11DownBrush; }
  int CalcComboButtonWidth(TCustomkxBarControl* Bar, HDC DC, int Unit) const override { return 13; }
  void GetDockedBarBorders(TCustomkxBarControl* Bar, TRect& Widths) const override;
  void GetSingleBorderMargins(TkxBar* Bar, TkxBarDockingStyle Style, TRect& Margins) const override;
  void DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush, TRect R) const override;
  void DrawCaptionButtonFace(TCustomkxBarControl* Bar, HDC DC, int State, const TRect& R) const override;
  void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                          TRect R) const override;
  void DrawFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, int CloseButtonState,
                           TRect R) const override;
  void DrawSizeGripArea(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void FillBottomBarBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void GetMarkHitRect(TCustomkxBarControl* Bar, TRect& R) const override;
  void RedrawMark(TCustomkxBarControl* Bar) const override;
  void FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                              const TRect& SourceR) const override;
  void GetSizeGripSize(TkxBarManager* Manager, TSize& Size) const override;
  HBRUSH GetQuickControlBkBrush(TCustomkxBarControl* Bar) const override { return Office11MenuBrush; }
  void DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const override;
  void GetComboArrowColors(TkxBarItemControl* Control, int State, int& Color, HBRUSH& Brush, bool DroppedDown,
                           bool Selected, bool Enabled) const override;
  void DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const override;
  void CalcMenuMetrics(TkxBarSubMenuControl* Menu, int& RowUnit, int& ArrowPartWidth, int& ExpandRowHeight,
                       int& CheckWidth) const override;
  int GetDetachStripHeight(TkxBarSubMenuControl* Menu) const override;
  void FillMenuBackground(TkxBarSubMenuControl* Menu, HDC DC, TColor Color, HBRUSH Brush,
                          const TRect& R) const override;
  void DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const override;
  void DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void FillDetachBar(TkxBarSubMenuControl* Menu, HDC DC, const TRect& R) const override;
  void InsetDetachBar(TkxBarSubMenuControl* Menu, TRect& R) const override { InflateRect(&R, -2, -4); }
  HBRUSH GetMenuBkBrush(TkxBarSubMenuControl* Menu) const override { return Office11MenuBrush; }
  int CalcEditWidth(TkxBarItemControl* Control, int CaptionWidth) const override;
  void DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const override;
  int GetContainerIndent(TkxBarItemControl* Control) const override;
  void DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const override;
  TColor GetCalendarHeaderColor() const override { return Office11CalendarHeaderColor; }
  HBRUSH GetInPlaceSubItemBrush() const override { return Office11SubItemBrush; }
  void DrawSelectionFrame(HDC DC, const TRect& R) const override { FrameRectByOffice11Border(DC, R); }
  HBRUSH GetStaticBorderBrush(TkxBarItemControl* Control, TkxBarStaticBorderStyle Style) const override {
    return Office11StaticBorderBrush;
  }
  void FrameOwnerItem(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void FillOwnerEdge(TCustomkxBarControl* Bar, HDC DC, TkxBarItemControl* Control, const TRect& Band,
                     const TRect& R) const override;
  HBRUSH GetMenuSeparatorBrush(TkxBarSubMenuControl* Menu) const override { return Office11SeparatorDarkBrush; }

 protected:
  void FrameArrowPart(TkxBarItemControl* Control, HDC DC, bool Menu, bool Selected, const TRect& R) const override;
  bool FillsEditCaption(bool Menu, bool Selected, bool NonRecent) const override { return Menu && Selected; }
};

// The look of the platform's visual styles: toolbars, menus and item parts
// drawn with the theme's parts (toolbar buttons and separators, rebar grips
// and background, caption buttons, combo, edit, spin and progress parts and
// the status bar's size grip). Where a theme class is not there the part
// falls back to the classic drawing; the manager chooses this painter only
// while visual styles are available.
class TkxBarItemControlXPPainter : public TkxBarItemControlPainter {
 public:
  static TkxBarItemControlPainterClass Instance();

  void DrawButtonFrame(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, const TRect& R,
                       bool FrameFits, HBRUSH Brush) const override;
  void DrawCheckMark(TkxBarItemControl* Control, HDC DC, int Scale, int Top, int Left) const override;
  void DrawGlyphCellImage(TkxBarItemControl* Control, HDC DC, const TkxBarButtonPaintState& S, int ImageIndex,
                          TCustomImageList* Images, TBitmap* Bitmap, const TRect& GlyphR, TRect CellR, bool FrameFits,
                          HBRUSH Brush) const override;
  TColor GetFadedGlyphColor(TCustomkxBarControl* Bar) const override;
  bool SuppressesPressedOffset(TkxBarItemControl* Control) const override;
  void DrawSizeGrip(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawMarkFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  void DrawMark(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void GetCaptionTextLeft(TCustomkxBarControl* Bar, TRect& R, int& X) const override;
  void AdjustWindowItemRect(TRect& R) const override { R.top += 2; }
  void DrawMenuButton(TkxBarItemControl* Control, HDC DC, bool Down, bool HasCaption, bool Selected,
                      const TRect& R) const override;
  void DrawLoweredBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const override;
  HBRUSH GetButtonBrush(TkxBarItemControl* Control, const TkxBarButtonPaintState& S) const override;
  int GetPressedGlyphShift(TkxBarItemControl* Control) const override { return 1; }
  int GetDownGlyphShift(TkxBarItemControl* Control, bool Pressed) const override { return Pressed ? 0 : 1; }
  int GetGripOffset() const override { return 0; }
  int GetGripAreaSize() const override { return GetGripOffset() + GetGripWidth() + 2; }
  int GetGripWidth() const override;
  int CalcDropDownArrowWidth(TkxBarManager* Manager) const override;
  int GetLargeDropDownArrowWidth(TkxBarManager* Manager) const override;
  void FillDockBackground(TkxDockControl* DockControl, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                          const TRect& SourceR) const override;
  bool IsLayeredStyle() const override { return true; }
  bool BarHasShadow(TCustomkxBarControl* Bar) const override;
  HBRUSH GetBkBrush(TCustomkxBarControl* Bar) const override;
  int CalcComboButtonWidth(TCustomkxBarControl* Bar, HDC DC, int Unit) const override;
  int GetTextRowMargin(HDC DC) const override;
  bool TracksMarkHot() const override { return true; }
  bool SupportsQuickCustomizing() const override { return true; }
  int GetBarSeparatorLineOffset(TCustomkxBarControl* Bar, HDC DC) const override {
    return (GetBarSeparatorSize(Bar, DC) - 1) / 2;
  }
  int GetBarSeparatorSize(TCustomkxBarControl* Bar, HDC DC) const override;
  int GetDockedBarBorderWidth() const override { return 0; }
  void FillFloatingCaption(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& R) const override;
  bool FillsFloatingCaption() const override { return true; }
  void GetCaptionButtonSize(TSize& Size) const override;
  void DrawBarSeparator(TCustomkxBarControl* Bar, HDC DC, bool Horizontal, HBRUSH Brush, TRect R) const override;
  void DrawCloseButton(TCustomkxBarControl* Bar, HDC DC, const TRect& R) const override;
  void DrawDockedBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void DrawFloatingBorder(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, const TRect& ClientR,
                          TRect R) const override;
  void DrawMDIButton(TCustomkxBarControl* Bar, int Kind, const TRect& R, HDC DC, bool Pressed,
                     bool Hot) const override;
  void GetMarkRect(TCustomkxBarControl* Bar, TRect& R) const override;
  void FillDropDownBackground(TCustomkxBarControl* Bar, HDC DC, TColor Color, HBRUSH Brush, const TRect& R,
                              const TRect& SourceR) const override;
  void GetSizeGripSize(TkxBarManager* Manager, TSize& Size) const override;
  bool AlignsQuickControlLeft() const override { return true; }
  int GetButtonHeightMargin() const override;
  int GetButtonWidthMargin() const override { return GetButtonHeightMargin(); }
  void AdjustMenuItemHeight(int& Height) const override { Height += 1; }
  void DrawDropDownButtonArrow(TkxBarItemControl* Control, HDC DC, int PaintKind, bool HasDropDownItems,
                               bool DropDownEnabled, bool DroppedDown, bool Pressed, bool Selected, int ColorIndex,
                               HBRUSH Brush, const TRect& R) const override;
  void OffsetButtonCaption(TkxBarItemControl* Control, bool Pressed, TRect& R) const override;
  void OffsetContainerContent(TkxBarItemControl* Control, bool Pressed, TRect& R) const override;
  int GetComboButtonGap() const override { return 0; }
  void DrawComboButton(TkxBarItemControl* Control, HDC DC, int PaintKind, bool Selected, const TRect& R) const override;
  int GetDropDownListBorderWidth(TkxBarManager* Manager) const override { return 2; }
  void DrawDropDownListBorder(TkxBarManager* Manager, HDC DC, const TRect& R) const override;
  int GetMenuBottomMargin() const override { return 1; }
  int GetMenuSeparatorSize() const override;
  int GetMenuTopMargin() const override { return 1; }
  void GetMenuClientRect(TkxBarSubMenuControl* Menu, bool WantFirstIndex, int& FirstIndex, int& AvailableHeight,
                         TRect& R) const override;
  void CalcMenuSize(TkxBarSubMenuControl* Menu, TSize& Size, const TRect& R) const override;
  int GetDetachStripHeight(TkxBarSubMenuControl* Menu) const override;
  void DrawMenuFrame(TkxBarSubMenuControl* Menu, HDC DC, TRect R) const override;
  void DrawDropDownFrame(TCustomkxBarControl* Bar, HDC DC, HBRUSH Brush, TRect R) const override;
  void DrawMenuSeparator(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, int GapWidth, const TRect& R,
                         HDC DC) const override;
  void InsetDetachBar(TkxBarSubMenuControl* Menu, TRect& R) const override { InflateRect(&R, -2, -2); }
  void SelectMenuBrush(TkxBarSubMenuControl* Menu, TkxBarItemControl* Control, HBRUSH& Brush) const override {
    Brush = GetMenuBkBrush(Menu);
  }
  HBRUSH GetMenuBkBrush(TkxBarSubMenuControl* Menu) const override { return GetSysColorBrush(COLOR_MENU); }
  void DrawComboListItem(TkxBarItem* Combo, TCanvas* Canvas, int Index, unsigned State, TRect R) const override;
  int CalcEditWidth(TkxBarItemControl* Control, int CaptionWidth) const override { return CaptionWidth + 11; }
  void DrawEditFrame(TkxBarItemControl* Control, HDC DC, bool Selected, TRect& R) const override;
  void DrawEditCaption(TkxBarItemControl* Control, HDC DC, bool Selected, int PaintKind, TRect& R) const override;
  void DrawEditValue(TkxBarItemControl* Control, HDC DC, const TRect& R) const override;
  DWORD GetEditStyle() const override;
  void PrepareEditWindow(TkxBarItemControl* Control, HWND Wnd) const override;
  void SelectEditText(TkxBarItemControl* Control, HWND Wnd, bool TextChanged) const override;
  void DrawEllipsisButton(TkxBarItemControl* Control, HDC DC, bool Selected, bool Pressed, TRect& InnerR,
                          TRect R) const override;
  void DrawDropDownNonClient(HDC DC, HWND Window, bool Sizable, TRect& GripR, TRect& CloseR, Byte Corner, bool Hot,
                             bool Pressed) const override;
  int GetDropDownBarHeight(Byte Corner) const override;
  bool HasFlatCalendar() const override { return true; }
  void DrawCalendarButton(HDC DC, bool Pressed, const AnsiString& Text, TRect R) const override;
  void DrawSpinButton(TkxBarItemControl* Control, HDC DC, bool Pressed, int PressedButton, int Which, bool Selected,
                      int ButtonHeight, int ArrowSize, int ArrowWidth, const TRect& R) const override;
  void DrawSpinEditBorder(TkxBarItemControl* Control, HDC DC, TRect& R) const override {}
  TColor GetProgressBarColor() const override;
  int GetProgressBarBlockSize(TkxBarItemControl* Control) const override;
  void DrawProgressBar(TkxBarItemControl* Control, HDC DC, int Max, int Min, int Position, bool Solid,
                       int Orientation, TColor Color, const TRect& R) const override;
};

// Whether the theme classes the native-theme painter draws with are all
// there (the manager's visual-styles flag is this answer when it was taken).
bool kxBarVisualStylesAvailable();

// The painter classes the later styles supply; until their parts are
// loaded the manager falls back to the enhanced painter for them.
extern TkxBarItemControlPainterClass kxBarFlatPainterClass;
extern TkxBarItemControlPainterClass kxBarOffice11PainterClass;
