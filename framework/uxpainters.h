// Look-and-feel painters.
//
// A painter is a stateless object reached through a pointer to its single
// instance (TuxLookAndFeelPainterClass); its operations are virtual so that a
// painter class overrides what its look changes and inherits the rest. A
// look and feel hands out the pointer, never a new object.
#pragma once

#include "framework/uxgraphics.h"
#include "framework/uxlookandfeel.h"
#include "platform/db/dbtypes.h"

#include <functional>
#include <memory>
#include <vector>

class TCustomImageList;

enum TuxPainterStyle { psFlat, psStandard, psUltraFlat, psNative, psOffice11 };
enum TuxArrowDir { adrUp, adrDown, adrLeft, adrRight };
enum TuxIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter };
// Parts of a scroll bar, as hit-tested by the scroll-bar control.
enum TuxScrollBarHitPart { shpNone, shpLineUp, shpLineDown, shpThumb, shpPageUp, shpPageDown };

// Optional background drawing: returns True when it painted the background.
using TuxDrawBackgroundEvent = std::function<bool(TuxCanvas* Canvas, const TRect& Bounds)>;

TuxLookAndFeelKind uxPainterStyleToLookAndFeelKind(TuxPainterStyle Style);
// The painter of a look-and-feel kind (the painter class table).
TuxLookAndFeelPainterClass uxLookAndFeelPainterOfKind(TuxLookAndFeelKind Kind);
// The painter of the editors: the native painter when NativeStyle is asked for
// and visual styles are available, else the painter of the kind.
TuxLookAndFeelPainterClass uxGetEditPainterClass(bool NativeStyle, TuxLookAndFeelKind Kind);
// The painter that draws push buttons for a look and feel: its own painter,
// except that the Office 2003 painter (recognised by its painter style) gives
// way to the native painter when the button theme is available, else to the
// standard painter.
TuxLookAndFeelPainterClass uxGetButtonPainterClass(const TuxLookAndFeel* LookAndFeel);

struct TuxArrowPoints {
  TPoint P[3];
};
TuxArrowPoints CalculateArrowPoints(TRect R, bool Squared, TuxArrowDir Direction);

class TuxCustomLookAndFeelPainter {
 public:
  virtual ~TuxCustomLookAndFeelPainter() = default;

  // general
  virtual void PaintDropDownArrow(TuxCanvas* Canvas, const TRect& R, TColor Color) const;
  virtual void PaintContent(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                            TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                            bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font,
                            TColor TextColor, TColor BkColor, const TuxDrawBackgroundEvent& OnDrawBackground,
                            bool IsFooterPart = false) const;
  virtual TRect GetFooterCellContentBounds(const TRect& Bounds) const;
  virtual TRect GetFooterCellTextAreaBounds(const TRect& Bounds) const;
  virtual TuxPainterStyle GetPainterStyle() const { return psStandard; }
  // Default colours that other controls take for their own elements;
  // DefaultColor(N) for N = 5..55 answers DefaultColorN.
  virtual TColor DefaultColor(int N) const;
  virtual void DrawArrow(TuxCanvas* Canvas, const TRect& R, TuxArrowDir Direction, TColor Color) const;
  virtual void PaintArrowButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, TuxArrowDir Direction,
                                bool WithButtonFace) const;
  virtual void PaintButtonBackground(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const;
  virtual void PaintStateArrow(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, TuxArrowDir Direction) const;
  virtual int GetBorderWidth() const { return 0; }
  virtual void PaintBorder(TuxCanvas*, const TRect&) const {}
  virtual void PaintContainerBorder(TuxCanvas* Canvas, const TRect& R) const { PaintBorder(Canvas, R); }

  // buttons
  virtual TRect GetGroupButtonBounds(const TRect& Bounds, int, int) const { return Bounds; }
  virtual int GetButtonBorderWidth(TuxButtonState) const { return 0; }
  virtual TColor GetButtonFaceColor(TuxButtonState) const { return clBtnFace; }
  virtual TRect GetButtonFocusRect(TuxCanvas* Canvas, const TRect& R) const;
  virtual TRect GetButtonGroupBorderWidths(int ButtonCount, int ButtonIndex) const;
  virtual int GetButtonTextIndent() const { return 0; }
  virtual int GetButtonPressedShift() const { return 0; }
  virtual TColor GetButtonSymbolColor(TuxButtonState State, TColor DefaultColor = clDefault) const;
  virtual TuxButtonState GetButtonSymbolState(TuxButtonState State) const { return State; }
  virtual void PaintButton(TuxCanvas* Canvas, TRect R, const AnsiString& Caption, TuxButtonState State,
                           bool WithBorder = true, TColor ButtonColor = clDefault, TColor TextColor = clDefault) const;
  virtual void PaintGroupButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, int ButtonCount,
                                int ButtonIndex, TColor BorderColor) const;
  virtual void PaintButtonBorder(TuxCanvas*, const TRect&, TuxButtonState) const {}
  virtual void PaintButtonGroupBorder(TuxCanvas*, const TRect&, bool, bool) const {}
  virtual bool HasButtonHotTracking() const { return false; }
  virtual void PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const;

  // expand buttons
  virtual void PaintExpandButton(TuxCanvas*, const TRect&, bool, TColor = clDefault) const {}
  virtual bool IsExpandButtonPaintedFirst() const { return true; }
  virtual void PaintGroupExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TuxButtonState State) const;
  virtual void PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor BorderColor,
                                      TColor Color = clDefault) const;
  virtual int GetExpandButtonWidth() const { return 0; }
  virtual int GetGroupExpandButtonWidth() const { return 15; }
  virtual bool IsOverGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual int GetSmallExpandButtonWidth() const { return 9; }

  // check boxes and radio buttons
  virtual int GetCheckBorderWidth() const { return 2; }
  virtual TColor GetCheckBoxFaceColor(TuxButtonState State) const;
  virtual TSize CheckButtonSize() const;
  virtual void PaintCheckMark(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool Checked, TColor Color) const;
  virtual void PaintCheckBorder(TuxCanvas*, const TRect&, TuxButtonState) const {}
  virtual void PaintCheckBox(TuxCanvas* Canvas, TRect R, TuxButtonState State, bool Checked) const;
  virtual void PaintRadioButton(TuxCanvas* Canvas, int X, int Y, TuxButtonState State, bool Checked, bool Focused,
                                TColor BrushColor, bool Highlighted = false) const;
  virtual TSize RadioButtonSize() const;

  // headers
  virtual void PaintHeader(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxBorders Neighbors,
                           TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                           bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font, TColor TextColor,
                           TColor BkColor, const TuxDrawBackgroundEvent& OnDrawBackground = nullptr,
                           bool IsLast = false) const;
  virtual void PaintHeaderItem(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                               TuxBorders Neighbors, TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz,
                               TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                               const AnsiString& Text, TFont* Font, TColor TextColor, TColor BkColor,
                               const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const;
  virtual void PaintHeaderBorder(TuxCanvas*, const TRect&, TuxBorders, TuxBorders) const {}
  virtual void PaintHeaderPressed(TuxCanvas* Canvas, const TRect& R) const { Canvas->InvertRect(R); }
  virtual void PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                  TuxBorders Neighbors, TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz,
                                  TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                  const AnsiString& Text, TFont* Font, TColor TextColor, TColor BkColor) const;
  virtual void PaintHeaderSectionBorder(TuxCanvas*, const TRect&, TuxBorders, TuxButtonState) const {}
  virtual void PaintHeaderSectionContent(TuxCanvas* Canvas, const TRect& R, const TRect& TextAreaBounds,
                                         TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                         bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font,
                                         TColor TextColor, TColor BkColor) const;
  virtual void PaintHeaderSectionText(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, TAlignment AlignHorz,
                                      TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                      const AnsiString& Text, TFont* Font, TColor TextColor) const;
  virtual void PaintSortingMark(TuxCanvas*, const TRect&, bool) const {}
  virtual TuxBorders GetHeaderBorders(TuxBorders) const { return uxAllBorders; }
  virtual int GetHeaderBorderWidth() const { return 0; }
  virtual TRect GetHeaderBounds(const TRect& Bounds, TuxBorders Neighbors, TuxBorders Borders) const;
  virtual TRect GetHeaderContentBounds(const TRect& Bounds, TuxBorders Borders) const;
  virtual bool HeaderOption1() const { return true; }
  virtual int GetHeaderHeight(int FontHeight) const { return FontHeight + 2 * GetHeaderBorderWidth() + 4; }
  virtual int GetHeaderSectionBorderWidth(TuxButtonState) const { return 1; }
  virtual TRect GetHeaderSectionTextAreaBounds(const TRect& Bounds, TuxButtonState State) const;
  virtual TRect GetHeaderSectionContentBounds(const TRect& Bounds, TuxButtonState State) const;
  virtual int GetHeaderWidth(TuxCanvas* Canvas, TuxBorders Borders, const AnsiString& Text, TFont* Font) const;
  virtual bool HeaderOption2() const { return false; }
  virtual TSize GetSortingMarkAreaSize() const;
  virtual TSize GetSortingMarkSize() const { return TSize{0, 0}; }

  // footers
  virtual void PaintFooterCell(TuxCanvas* Canvas, const TRect& Bounds, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                               bool MultiLine, const AnsiString& Text, TFont* Font, TColor TextColor, TColor BkColor,
                               const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const;
  virtual TuxBorders GetFooterBorders() const { return uxAllBorders; }
  virtual int GetFooterBorderWidth() const { return 0; }
  virtual int GetFooterCellBorderWidth() const { return 0; }
  virtual int GetFooterCellSpacing() const { return 0; }
  virtual bool FooterOption() const { return true; }
  virtual TColor GetFooterSeparatorColor() const { return clBtnShadow; }
  virtual int GetFooterSeparatorWidth() const { return 1; }
  virtual void PaintFooterBorder(TuxCanvas*, const TRect&) const {}
  virtual void PaintFooterCellBorder(TuxCanvas*, const TRect&) const {}
  virtual void PaintFooterSeparator(TuxCanvas* Canvas, const TRect& R) const;

  // filter buttons
  virtual void PaintFilterActivateButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool Checked) const {
    PaintCheckBox(Canvas, R, State, Checked);
  }
  virtual void PaintFilterCloseButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const;
  virtual void PaintFilterDropDownButton(TuxCanvas*, const TRect&, TuxButtonState, bool) const {}
  virtual TSize GetFilterActivateButtonSize() const { return TSize{13, 13}; }
  virtual TSize GetFilterCloseButtonSize() const { return TSize{16, 14}; }
  virtual TSize GetFilterDropDownButtonSize() const { return TSize{15, 0}; }
  virtual bool FilterOption() const { return true; }

  // tabs, indicators, scroll bars, calendar, splitters
  virtual void PaintTab(TuxCanvas*, const TRect&, TuxBorders, const AnsiString&, TuxButtonState, bool, TFont*, TColor,
                        TColor, bool) const {}
  virtual void PaintTabBorder(TuxCanvas*, const TRect&, TuxBorder, TuxBorders, bool) const {}
  virtual void PaintTabArea(TuxCanvas*, const TRect&, TuxBorders, bool) const {}
  virtual int TabOption1() const { return 0; }
  virtual int TabOption2() const { return 0; }
  virtual int GetTabBorderWidth(bool) const { return 0; }
  virtual void PaintIndicatorItem(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind, TColor BkColor,
                                  const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const;
  virtual void PaintIndicatorItemBox(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind, TColor BkColor,
                                     const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const;
  virtual bool IndicatorOption() const { return true; }
  virtual void PaintScrollBarPart(TuxCanvas*, bool, const TRect&, TuxScrollBarHitPart, TuxButtonState) const {}
  virtual void PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text, TuxBorders Neighbors,
                                   const TuxPaintParams& ViewParams, int Arrows, int SideWidth,
                                   const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const;
  virtual void PaintSplitterBorder(TuxCanvas*, const TRect&, const TuxPaintParams&, bool) const {}
  virtual int SplitterOption() const { return 1; }

 protected:
  // shared drawing steps of the painters
  void DrawExpandCross(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color) const;
  void DrawSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending, TColor Light, TColor Dark) const;
  void DrawMonthArrows(TuxCanvas* Canvas, TRect R, int Arrows, int SideWidth, TColor Color) const;
  static unsigned PlacementFlags(TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis);
};

class TuxStandardLookAndFeelPainter : public TuxCustomLookAndFeelPainter {
 public:
  static TuxLookAndFeelPainterClass Instance();
  TuxPainterStyle GetPainterStyle() const override { return psStandard; }
  TColor DefaultColor(int N) const override;
  int GetBorderWidth() const override { return 2; }
  int GetButtonBorderWidth(TuxButtonState State) const override { return State == uxbsDefault ? 3 : 2; }
  int GetButtonTextIndent() const override { return 1; }
  int GetButtonPressedShift() const override { return 1; }
  int GetExpandButtonWidth() const override { return 12; }
  int GetHeaderBorderWidth() const override { return 1; }
  int GetHeaderSectionBorderWidth(TuxButtonState State) const override { return State == uxbsPressed ? 1 : 2; }
  TSize GetSortingMarkSize() const override { return TSize{8, 7}; }
  int GetFooterBorderWidth() const override { return 1; }
  int GetFooterCellBorderWidth() const override { return 1; }
  int GetFooterCellSpacing() const override { return 1; }
  int GetTabBorderWidth(bool) const override { return 1; }

  void PaintBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color = clDefault) const override;
  void PaintGroupExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TuxButtonState State) const override;
  void PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors, TuxBorders Borders) const override;
  void PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, TuxButtonState State) const override;
  void PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const override;
  void PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool IsActive) const override;
  void PaintTabBorder(TuxCanvas* Canvas, const TRect& R, TuxBorder Border, TuxBorders Borders, bool Vertical) const override;
  void PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R, TuxScrollBarHitPart Part,
                          TuxButtonState State) const override;
  void PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text, TuxBorders Neighbors,
                           const TuxPaintParams& ViewParams, int Arrows, int SideWidth,
                           const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const override;
  void PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R, const TuxPaintParams& ViewParams,
                           bool Horizontal) const override;
};

class TuxFlatLookAndFeelPainter : public TuxCustomLookAndFeelPainter {
 public:
  static TuxLookAndFeelPainterClass Instance();
  TuxPainterStyle GetPainterStyle() const override { return psFlat; }
  int GetBorderWidth() const override { return 1; }
  int GetButtonBorderWidth(TuxButtonState State) const override { return State == uxbsDefault ? 2 : 1; }
  int GetButtonTextIndent() const override { return 1; }
  int GetButtonPressedShift() const override { return 1; }
  int GetExpandButtonWidth() const override { return 11; }
  int GetHeaderBorderWidth() const override { return 1; }
  TSize GetSortingMarkSize() const override { return TSize{8, 7}; }
  int GetFooterBorderWidth() const override { return 1; }
  int GetFooterCellBorderWidth() const override { return 1; }
  int GetFooterCellSpacing() const override { return 1; }
  int GetTabBorderWidth(bool) const override { return 1; }

  void PaintBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color = clDefault) const override;
  void PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors, TuxBorders Borders) const override;
  void PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, TuxButtonState State) const override;
  void PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const override;
  void PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool IsActive) const override;
  void PaintTabBorder(TuxCanvas* Canvas, const TRect& R, TuxBorder Border, TuxBorders Borders, bool Vertical) const override;
  void PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R, TuxScrollBarHitPart Part,
                          TuxButtonState State) const override;
  void PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R, const TuxPaintParams& ViewParams,
                           bool Horizontal) const override;
};

class TuxUltraFlatLookAndFeelPainter : public TuxCustomLookAndFeelPainter {
 public:
  static TuxLookAndFeelPainterClass Instance();
  TuxPainterStyle GetPainterStyle() const override { return psUltraFlat; }
  TColor DefaultColor(int N) const override;
  int GetBorderWidth() const override { return 1; }
  int GetButtonBorderWidth(TuxButtonState State) const override { return State == uxbsDefault ? 2 : 1; }
  TColor GetButtonFaceColor(TuxButtonState State) const override;
  TRect GetButtonFocusRect(TuxCanvas* Canvas, const TRect& R) const override;
  TRect GetButtonGroupBorderWidths(int ButtonCount, int ButtonIndex) const override;
  int GetButtonTextIndent() const override { return 2; }
  int GetButtonPressedShift() const override { return 0; }
  TColor GetButtonSymbolColor(TuxButtonState State, TColor DefaultColor = clDefault) const override;
  TuxButtonState GetButtonSymbolState(TuxButtonState) const override { return uxbsNormal; }
  int GetExpandButtonWidth() const override { return 11; }
  bool HasButtonHotTracking() const override { return true; }
  TuxBorders GetHeaderBorders(TuxBorders Neighbors) const override;
  int GetHeaderBorderWidth() const override { return 1; }
  TSize GetSortingMarkSize() const override { return TSize{7, 8}; }
  TuxBorders GetFooterBorders() const override { return uxbRight | uxbBottom; }
  int GetFooterBorderWidth() const override { return 1; }
  int GetFooterCellBorderWidth() const override { return 1; }
  int GetFooterCellSpacing() const override { return 2; }
  TSize GetFilterCloseButtonSize() const override { return TSize{16, 15}; }
  int GetTabBorderWidth(bool) const override { return 1; }

  void PaintBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintGroupButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, int ButtonCount, int ButtonIndex,
                        TColor BorderColor) const override;
  void PaintButtonGroupBorder(TuxCanvas* Canvas, const TRect& R, bool Emphasized, bool Highlighted) const override;
  void PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color = clDefault) const override;
  void PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintHeaderItem(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxBorders Neighbors,
                       TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                       bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font, TColor TextColor,
                       TColor BkColor, const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const override;
  void PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors, TuxBorders Borders) const override;
  void PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, TuxButtonState State) const override;
  void PaintHeaderSectionContent(TuxCanvas* Canvas, const TRect& R, const TRect& TextAreaBounds, TuxButtonState State,
                                 TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                 const AnsiString& Text, TFont* Font, TColor TextColor, TColor BkColor) const override;
  void PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const override;
  void PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool IsActive) const override;
  void PaintTabBorder(TuxCanvas* Canvas, const TRect& R, TuxBorder Border, TuxBorders Borders, bool Vertical) const override;
  void PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, bool Vertical) const override;
  void PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R, TuxScrollBarHitPart Part,
                          TuxButtonState State) const override;
  void PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R, const TuxPaintParams& ViewParams,
                           bool Horizontal) const override;

  virtual TColor GetButtonFrameColor(TuxButtonState State) const { return State == uxbsNormal ? clBtnShadow : clHighlight; }
  virtual TColor GetTabBorderColor() const { return clBtnShadow; }
  virtual TColor GetTabDarkBorderColor() const { return clBtnText; }
  virtual TColor GetHighlightBorderColor() const { return clHighlight; }
};

class TuxOffice11LookAndFeelPainter : public TuxUltraFlatLookAndFeelPainter {
 public:
  static TuxLookAndFeelPainterClass Instance();
  TuxPainterStyle GetPainterStyle() const override { return psOffice11; }
  TColor DefaultColor(int N) const override;
  TColor GetFooterSeparatorColor() const override { return GetHeaderDarkEdgeColor(); }
  TColor GetButtonFrameColor(TuxButtonState State) const override;
  TColor GetTabBorderColor() const override { return GetHeaderDarkEdgeColor(); }
  TColor GetHighlightBorderColor() const override;
  TColor GetButtonFaceColor(TuxButtonState State) const override;
  TColor GetButtonSymbolColor(TuxButtonState State, TColor DefaultColor = clDefault) const override;
  TColor GetCheckBoxFaceColor(TuxButtonState State) const override;
  int GetExpandButtonWidth() const override { return 11; }
  int GetSmallExpandButtonWidth() const override { return GetExpandButtonWidth(); }
  bool IsExpandButtonPaintedFirst() const override { return false; }
  TuxBorders GetHeaderBorders(TuxBorders) const override { return uxAllBorders; }
  int GetHeaderBorderWidth() const override { return 1; }
  bool HeaderOption2() const override { return true; }

  void PaintContent(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxButtonState State,
                    TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                    const AnsiString& Text, TFont* Font, TColor TextColor, TColor BkColor,
                    const TuxDrawBackgroundEvent& OnDrawBackground, bool IsFooterPart = false) const override;
  void PaintBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintContainerBorder(TuxCanvas* Canvas, const TRect& R) const override;
  void PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color = clDefault) const override;
  void PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor BorderColor,
                              TColor Color = clDefault) const override;
  void PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool IsActive) const override;
  void PaintHeader(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxBorders Neighbors,
                   TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                   bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font, TColor TextColor,
                   TColor BkColor, const TuxDrawBackgroundEvent& OnDrawBackground = nullptr,
                   bool IsLast = false) const override;
  void PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors, TuxBorders Borders) const override;
  void PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxBorders Neighbors,
                          TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                          bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font, TColor TextColor,
                          TColor BkColor) const override;
  void PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const override;
  void PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R, TuxScrollBarHitPart Part,
                          TuxButtonState State) const override;
  void PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const override;
  void PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text, TuxBorders Neighbors,
                           const TuxPaintParams& ViewParams, int Arrows, int SideWidth,
                           const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const override;

  virtual TColor GetHeaderBottomColor() const;
  virtual TColor GetHeaderDarkEdgeColor() const;
  virtual TColor GetHeaderLightEdgeColor() const;
  virtual TColor GetHeaderBackgroundColor() const;
};

// The native-theme painter. The visual-style library is absent here, so no
// look and feel hands it out and no theme handle is ever open: every element
// takes the classic fallback of its row (mostly the standard painter), while
// the answers that do not depend on a theme keep this painter's values.
class TuxWinXPLookAndFeelPainter : public TuxStandardLookAndFeelPainter {
 public:
  static TuxLookAndFeelPainterClass Instance();
  TuxPainterStyle GetPainterStyle() const override { return psNative; }
  TColor DefaultColor(int N) const override;
  int GetButtonBorderWidth(TuxButtonState) const override { return 2; }
  int GetButtonTextIndent() const override { return 2; }
  int GetButtonPressedShift() const override { return 0; }
  bool HasButtonHotTracking() const override { return true; }
  bool IsExpandButtonPaintedFirst() const override { return false; }
  bool HeaderOption1() const override { return false; }
  bool HeaderOption2() const override { return true; }
  TSize GetSortingMarkSize() const override { return TSize{7, 8}; }
  bool FooterOption() const override { return false; }
  void PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const override;
  void PaintHeaderPressed(TuxCanvas*, const TRect&) const override {}
  void PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds, TuxBorders Neighbors,
                          TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                          bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text, TFont* Font, TColor TextColor,
                          TColor BkColor) const override;
  void PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor BorderColor,
                              TColor Color = clDefault) const override;
  void PaintIndicatorItem(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind, TColor BkColor,
                          const TuxDrawBackgroundEvent& OnDrawBackground) const override;
  void PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text, TuxBorders Neighbors,
                           const TuxPaintParams& ViewParams, int Arrows, int SideWidth,
                           const TuxDrawBackgroundEvent& OnDrawBackground = nullptr) const override;
  virtual void PaintThemedText(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text, unsigned Flags) const;
};

// Shared painter resources (created on first use; uxDonePainterResources
// frees them at shutdown).
TBitmap* uxScrollBarLightPattern();
TBitmap* uxScrollBarDarkPattern();
void RebuildScrollBarPatterns();
TSize uxCheckBoxGlyphSize();
// The row-indicator images (kind K > 0 draws image K - 1); none when the
// program's resources lack them.
TCustomImageList* uxIndicatorImages();
// Draws the indicator image of Kind centred in R (nothing for ikNone).
void uxDrawIndicatorImage(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind);
TBitmap* uxAutoHideOnBitmap();
TBitmap* uxAutoHideOffBitmap();
void uxDonePainterResources();

// The radio-button glyphs of every look, state and mark, built from the
// platform's radio metrics and rebuilt after a system colour change.
class TuxRadioButtonImageList {
 public:
  static TuxRadioButtonImageList* Instance();
  ~TuxRadioButtonImageList();
  // Draws the glyph at (X, Y): through the mask with BrushColor clDefault,
  // else on a square filled with BrushColor.
  void Draw(TuxCanvas* Canvas, int X, int Y, TColor BrushColor, TuxLookAndFeelKind Kind, TuxButtonState State,
            bool Checked, bool Focused, bool Highlighted);
  void Reset();
  TSize GlyphSize() const { return TSize{FWidth, FHeight}; }
  int GlyphCount() const { return int(FGlyphs.size()); }
  // The circle inside the platform's glyph and the dot, relative to the circle.
  TPoint CircleOrigin() const { return TPoint{FLeft, FTop}; }
  TRect DotRect() const { return FDot; }
  // Pattern cell (0 outside, 1/2 outer ring, 3/4 inner ring, 5 body, 6 dot).
  int PatternCell(int X, int Y) const { return FCells[std::size_t(Y) * FWidth + X]; }
  static int GlyphKey(TuxLookAndFeelKind Kind, TuxButtonState State, bool Checked, bool Focused, bool Highlighted);
  static TColor CellColor(int Cell, TuxLookAndFeelKind Kind, TuxButtonState State, bool Checked, bool Focused,
                          bool Highlighted);

 private:
  TuxRadioButtonImageList();
  void MeasureMetrics();
  void BuildPattern();
  void BuildGlyphs();
  static TColor BodyColor(TuxLookAndFeelKind Kind, TuxButtonState State);

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TRect FDot{};
  std::vector<int> FCells;
  std::vector<bool> FMask;
  std::vector<std::vector<COLORREF>> FGlyphs;  // by glyph key
  std::unique_ptr<TuxSystemPaletteChangedNotifier> FNotifier;
};
