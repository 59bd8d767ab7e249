// The tab painter styles. TuxPCStandardPainter holds the geometry all styles
// share (tab sizes, the navigator area and its buttons and glyphs, the order
// of painting, the page frame, the focus rectangle); each style overrides what
// its look changes. Metrics that differ between tabs, buttons and flat buttons
// come from tables indexed by the style's tabs kind.
#pragma once

#include <vector>

#include "framework/uxpainters.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcutils.h"

// The side or corner of a tab outline an edge belongs to.
enum TLinePosition { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TLinePositions = std::vector<TLinePosition>;
using TPoints = std::vector<TPoint>;

// The colours of a navigator glyph.
struct TuxPCNavigatorGlyphColors {
  TColor BrushColor = clBtnText;
  TColor PenColor = clBtnText;
  bool Enabled = true;      // False: drawn embossed
  bool SmallGlyph = false;  // the small close cross
};

struct TuxPCNavigatorButtonPosition {
  TuxPCNavigatorButton Button = nbTopLeft;
  TRect Bounds{};
};
using TuxPCNavigatorButtonPositions = std::vector<TuxPCNavigatorButtonPosition>;
using TuxPCNavigatorButtonA = std::vector<TuxPCNavigatorButton>;

enum TuxPCArrow { pcaUp, pcaDown, pcaLeft, pcaRight };

// Declares the class object of a painter style and its PainterClass answer.
#define PV_PC_PAINTER_CLASS                         \
 public:                                            \
  static TuxPCPainterClass Class();                 \
  TuxPCPainterClass PainterClass() const override { return Class(); }

// Defines the class object of a painter style (one per style).
#define PV_PC_PAINTER_CLASS_OBJECT(Name) \
  TuxPCPainterClass Name::Class() {      \
    static const Meta M;                 \
    return &M;                           \
  }

// ---- the standard painter ----

class TuxPCStandardPainter : public TuxPCCustomPainter {
 public:
  struct Meta : TuxPCPainterMeta {
    bool MovesMainRowToPage() const override { return GetTabsKind() == 0; }
    bool AllowsMultiSelection() const override { return GetTabsKind() != 0; }
    bool TabsActAsButtons() const override { return GetTabsKind() != 0; }
  };
  explicit TuxPCStandardPainter(TuxCustomTabControl* AControl) : TuxPCCustomPainter(AControl) {}
  ~TuxPCStandardPainter() override;

  const TuxPCNavigatorButtonPositions& NavigatorButtonPositions() const { return FNavigatorButtonPositions; }
  TRect NavigatorArea() const { return FNavigatorArea; }

  // -- new virtual operations --
  virtual void DrawTab(int VisibleIndex);
  virtual void GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors);
  virtual void CalculateNavigatorArea(TuxPCNavigatorButtons Buttons);
  virtual void CalculateNavigatorButtons(TuxPCNavigatorButtons Buttons);
  virtual int GetNavigatorAreaLength(TuxPCNavigatorButtons Buttons);
  virtual TColor GetNavigatorButtonColor(Byte State) { return clBtnFace; }
  virtual TColor GetNavigatorGlyphColor(Byte State);
  virtual void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset);
  virtual int GetNavigatorButtonThickness() { return 20; }
  virtual int GetNavigatorButtonLength(TuxPCNavigatorButton Button);
  virtual int GetMinTabHeight();
  virtual int GetStandardMinTabWidth() { return 42; }
  virtual TColor GetBackgroundColor();
  virtual int GetMinFrameSize() { return 2 * GetFrameWidth(); }
  virtual int GetTabNonTextWidth(int VisibleIndex);
  virtual void GetTabsAreaIndents(TRect& R) { R = TRect{}; }
  virtual int GetTabContentHeight();
  virtual void DrawNavigatorButton(TuxPCNavigatorButton Button, const TRect& R);
  virtual void FillNavigatorButton(const TRect& R, Byte State);
  virtual void DrawNavigatorButtonFrame(TRect& R, Byte State);
  virtual void DrawPageFrame(const TRect& R);
  virtual void DrawTabBody(int VisibleIndex) = 0;
  virtual void PrepareNativeTab(int VisibleIndex) {}
  virtual void GetNavigatorButtonOrder(TuxPCNavigatorButtons Buttons, TuxPCNavigatorButtonA& Order);

  // -- overrides --
  int CalculateTabWidth(TuxTab* Tab) override;
  int GetMinTabWidth(int VisibleIndex) override;
  int CalculateTabHeight() override;
  void GetGoDialogButtonBounds(TRect& R) override;
  bool GetNavigatorButtonAt(int X, int Y, TuxPCNavigatorButton& Button) override;
  void CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) override;
  void Paint() override;
  void DrawNavigatorButtons() override;
  void DrawFrame() override;
  void DrawTabs() override;
  void RepaintNavigatorButton(TuxPCNavigatorButton Button, Byte OldState) override;
  void RepaintNavigatorArea() override;
  void RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) override;
  void GetTabContentIndents(int VisibleIndex, TRect& R) override;
  void GetTabFrameIndents(int VisibleIndex, TRect& R) override;
  void GetTabsInterval(TPoint& Interval) override;
  void GetTabSizeExtra(int VisibleIndex, TuxPCPair& Pair) override { Pair = {}; }
  int GetFrameWidth() override { return 2; }
  int GetImageTextDistance(int VisibleIndex) override { return 6; }
  void GetTabSizeCorrection(TuxPCPair& Pair) override { Pair = {4, 4}; }
  bool IsTabDrawnAsMain(int VisibleIndex) override;
  void SetTabContentRects(int VisibleIndex, const TRect& ImageRect, const TRect& TextRect) override;

  // -- services --
  // Two-line (or one-line) 3-D border of a button; the end pixels included.
  void Draw3DButtonBorder(const TRect& R, bool Pressed, bool OneLine);
  void DrawNavigatorGlyph(TuxPCNavigatorButton Button, const TPoint& Origin, const TuxPCNavigatorGlyphColors& Colors);
  void GetCenteredGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset);
  void GetFixedGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset);
  TuxPCArrow GetArrowDirection(TuxPCNavigatorButton Button);
  void DrawTabFocusRect(int VisibleIndex, const TRect& R);
  // Height grown by one when rotated tabs would centre their image unevenly.
  int AdjustTabHeightParity(int Height);
  // Whether the navigator area lies at the start of the row.
  bool NavigatorAtRowStart();
  // Takes Length off Area at the navigator's end of the row.
  void CutNavigatorArea(TRect& Area, int Length);
  // The hot-track colour of captions and glyphs.
  TColor HotTrackColor();
  bool IsVerticalCaption() { return FOwnerControl->IsVerticalText(); }

 protected:
  TuxPCNavigatorButtonPositions FNavigatorButtonPositions;
  TRect FNavigatorArea{};
};

// ---- the Tabs style: classic notebook tabs ----

class TuxPCTabsPainter : public TuxPCStandardPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCStandardPainter::Meta {
    const char* ClassName() const override { return "TuxPCTabsPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCTabsPainter(C); }
    int GetStyleID() const override { return 1; }
    AnsiString GetStyleName() const override { return "Tabs"; }
    int GetTabsKind() const override { return 0; }
    bool IsDefaultForLookAndFeel(TuxLookAndFeel* LookAndFeel) const override;
    bool IsFallbackForLookAndFeel(TuxLookAndFeel* LookAndFeel) const override;
  };
  explicit TuxPCTabsPainter(TuxCustomTabControl* AControl) : TuxPCStandardPainter(AControl) {}

  // -- new virtual operations --
  virtual void GetTabCornerColors(int VisibleIndex, TColor& LeftColor, TColor& RightColor);
  virtual void DrawTabCorners(int VisibleIndex);
  virtual void DrawTabBorder(int VisibleIndex);

  // -- overrides --
  void GetTabRectCorrection(int VisibleIndex, int (&Deltas)[4]) override;
  void GetDisplayIndents(TRect& R) override;
  void GetClientIndents(TRect& R) override;
  void GetTabContentIndents(int VisibleIndex, TRect& R) override;
  void GetTabSizeExtra(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTabFrameIndents(int VisibleIndex, TRect& R) override;
  int GetImageTextDistance(int VisibleIndex) override { return 6; }
  TColor GetTabColor(int VisibleIndex) override;
  TuxRegion* GetTabClipRegion(int VisibleIndex) override;
  TuxRegionCombineOperation GetTabClipRegionOperation(int VisibleIndex) override;
  void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTruncatedTextIndents(int VisibleIndex, TuxPCPair& Pair) override { GetTextIndents(VisibleIndex, Pair); }
  void GetThemeTabPartAndState(int VisibleIndex, int& Part, int& State) override;
  void GetFrameRectIndents(TRect& R) override { R = TRect{2, 2, 2, 0}; }
  void CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) override;
  int GetTabContentHeight() override;
  void SetTabContentRects(int VisibleIndex, const TRect& ImageRect, const TRect& TextRect) override;
  void InvalidateTab(int VisibleIndex) override;
  bool IsNativePainting() override;
  bool HasFrame() override { return true; }
  void Paint() override;
  void DrawNavigatorButton(TuxPCNavigatorButton Button, const TRect& R) override;
  void DrawFrameAndPageArea() override;
  void DrawTabs() override;
  void RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) override;
  void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) override;
  int GetNavigatorButtonThickness() override;
  int GetNavigatorButtonLength(TuxPCNavigatorButton Button) override;
  void DrawTabBody(int VisibleIndex) override;
  void PrepareNativeTab(int VisibleIndex) override;

 protected:
  void DrawNativeTabBody(int VisibleIndex);
  void DrawNativePagePane(bool OwnCanvas);
  // Lines and pixels of a classic tab outline, written for a tab at the top
  // in (along, across-from-the-outer-edge) units and turned to the tab's side.
  TPoint TurnTabPoint(const TRect& R, TuxTabPosition Side, int Along, int Across);
  void DrawTurnedLine(const TRect& R, TuxTabPosition Side, std::initializer_list<TPoint> Points, TColor Color);
  void SetTurnedPixel(const TRect& R, TuxTabPosition Side, int Along, int Across, TColor Color);
  // The main tab's opening of the page frame (rows and columns beyond its page edge).
  void DrawMainTabOpening(int VisibleIndex, const TRect& R, TuxTabPosition Side);

  HDC FBackgroundDC = nullptr;
  HGDIOBJ FPreviousBitmap = nullptr;
};

// ---- the Buttons and FlatButtons styles: tabs drawn as push buttons ----

class TuxPCButtonedPainter : public TuxPCStandardPainter {
 public:
  explicit TuxPCButtonedPainter(TuxCustomTabControl* AControl) : TuxPCStandardPainter(AControl) {}
  void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) override {
    GetFixedGlyphOffset(Button, Offset);
  }
  void GetClientIndents(TRect& R) override;
  TColor GetTabColor(int VisibleIndex) override;
  void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTruncatedTextIndents(int VisibleIndex, TuxPCPair& Pair) override { GetTextIndents(VisibleIndex, Pair); }
  void GetFrameRectIndents(TRect& R) override { R = TRect{2, 2, 2, 0}; }
  bool IsTabDrawnAsMain(int VisibleIndex) override;

 protected:
  // Pressed, selected or the main tab.
  bool IsTabDown(int VisibleIndex);
};

class TuxPCButtonsPainter : public TuxPCButtonedPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCStandardPainter::Meta {
    const char* ClassName() const override { return "TuxPCButtonsPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCButtonsPainter(C); }
    int GetStyleID() const override { return 2; }
    AnsiString GetStyleName() const override { return "Buttons"; }
    int GetTabsKind() const override { return 1; }
  };
  explicit TuxPCButtonsPainter(TuxCustomTabControl* AControl) : TuxPCButtonedPainter(AControl) {}
  bool IsTabDrawnAsMain(int VisibleIndex) override;
  void DrawTabBody(int VisibleIndex) override;
};

class TuxPCFlatButtonsPainter : public TuxPCButtonedPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCStandardPainter::Meta {
    const char* ClassName() const override { return "TuxPCFlatButtonsPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCFlatButtonsPainter(C); }
    int GetStyleID() const override { return 3; }
    AnsiString GetStyleName() const override { return "FlatButtons"; }
    int GetTabsKind() const override { return 2; }
  };
  explicit TuxPCFlatButtonsPainter(TuxCustomTabControl* AControl) : TuxPCButtonedPainter(AControl) {}
  void DrawTab(int VisibleIndex) override;
  void DrawTabBody(int VisibleIndex) override;
  // The etched band after a tab, or an empty rectangle when none follows it.
  TRect GetSeparatorBand(int VisibleIndex);
};

TColor uxPCLightButtonFace();
TColor uxPCOneNoteColor(int Index);

// ---- the flat styles ----

// Flat cards standing in shaded rows, a band joining the main tab to the page.
class TuxPCExtraFlatPainter : public TuxPCStandardPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCStandardPainter::Meta {
    const char* ClassName() const override { return "TuxPCExtraFlatPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCExtraFlatPainter(C); }
    int GetStyleID() const override { return 5; }
    AnsiString GetStyleName() const override { return "ExtraFlat"; }
    int GetTabsKind() const override { return 0; }
  };
  explicit TuxPCExtraFlatPainter(TuxCustomTabControl* AControl) : TuxPCStandardPainter(AControl) {}

  // -- new virtual operations --
  virtual int GetRowEdgeWidth() { return 3; }
  virtual void GetMainTabFocusRect(TRect& R);
  virtual void GetSeparatorIndents(TuxPCPair& Pair) { Pair = {2, 2}; }
  virtual void DrawTabBackground(TuxCanvas* ACanvas, TRect R, int VisibleIndex);
  virtual void AdjustDisplayIndents(TRect& R);
  virtual TColor GetPageBandColor();
  virtual void GetPageBandRect(TRect& R);
  virtual void GetTabRowRect(int VisibleIndex, bool WholeRow, TRect& R);
  virtual int GetTabSpacing() { return 1; }
  virtual TColor GetInactiveTabColor() { return uxPCLightButtonFace(); }
  virtual bool HasPageBorder() { return false; }
  virtual void DrawMainTabOutline(TRect& R);
  virtual void DrawTabSeparator(const TRect& R);
  virtual void DrawRowEdge(TRect R, int Row);

  // -- overrides --
  int CalculateTabWidth(TuxTab* Tab) override;
  int GetMinTabWidth(int VisibleIndex) override { return GetTabNonTextWidth(VisibleIndex); }
  int GetTabNonTextWidth(int VisibleIndex) override;
  int CalculateTabHeight() override;
  int GetTabContentHeight() override { return TuxPCStandardPainter::GetTabContentHeight() - 3; }
  int GetMinTabHeight() override { return 17; }
  void GetTabRectCorrection(int VisibleIndex, int (&Deltas)[4]) override;
  void GetTabContentIndents(int VisibleIndex, TRect& R) override;
  void GetTabFrameIndents(int VisibleIndex, TRect& R) override;
  void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTruncatedTextIndents(int VisibleIndex, TuxPCPair& Pair) override { GetTextIndents(VisibleIndex, Pair); }
  void GetTabsInterval(TPoint& Interval) override;
  int GetFrameWidth() override { return 1; }
  TColor GetClientColor() override;
  TColor GetBackgroundColor() override { return clBtnFace; }
  TColor GetTabColor(int VisibleIndex) override;
  void GetDisplayIndents(TRect& R) override;
  void GetClientIndents(TRect& R) override;
  void CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) override;
  void PaintContent() override;
  void DrawFrameAndPageArea() override;
  void DrawFrame() override { DrawFlatPageFrame(clBtnHighlight, clBtnShadow); }
  void DrawTabs() override;
  void DrawTabBody(int VisibleIndex) override;
  void RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) override;
  int GetNavigatorButtonThickness() override { return 13; }
  int GetNavigatorButtonLength(TuxPCNavigatorButton Button) override { return 13; }
  int GetNavigatorButtonGap(TuxPCNavigatorButton Button, TuxPCNavigatorButton NextButton) override;
  int GetNavigatorSideIndent() override { return 6; }
  int GetNavigatorEndIndent() override { return HasPageBorder() ? GetFrameWidth() + 1 : 1; }
  TColor GetNavigatorButtonColor(Byte State) override;
  TColor GetNavigatorGlyphColor(Byte State) override;
  void GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) override;
  void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) override;
  void DrawNavigatorButtonFrame(TRect& R, Byte State) override;

 protected:
  // The page frame with its tab side left open (closed without tabs).
  void DrawFlatPageFrame(TColor C1, TColor C2);
  // The separator band after a tab, or an empty rectangle.
  TRect GetSeparatorRect(int VisibleIndex);
  // The row rectangle of a drawn row, stretched over the control.
  TRect GetWholeRowRect(int FirstVisibleIndex);
  bool IsNavigatorButtonDisabled(TuxPCNavigatorButton Button);
  // The side the tabs of a drawn row stand on.
  TuxTabPosition RowSide(int Row);
  // The main tab's outline: lines on every side but the page side.
  void DrawOutlineLines(TRect& R, TColor C1, TColor C2);
};

// ExtraFlat with darker single-pixel lines and its own navigator buttons.
class TuxPCUltraFlatPainter : public TuxPCExtraFlatPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCExtraFlatPainter::Meta {
    const char* ClassName() const override { return "TuxPCUltraFlatPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCUltraFlatPainter(C); }
    int GetStyleID() const override { return 6; }
    AnsiString GetStyleName() const override { return "UltraFlat"; }
    bool IsDefaultForLookAndFeel(TuxLookAndFeel* LookAndFeel) const override;
  };
  explicit TuxPCUltraFlatPainter(TuxCustomTabControl* AControl) : TuxPCExtraFlatPainter(AControl) {}
  void GetMainTabFocusRect(TRect& R) override;
  void DrawMainTabOutline(TRect& R) override;
  void DrawRowEdge(TRect R, int Row) override;
  int GetNavigatorButtonThickness() override { return 15; }
  int GetNavigatorButtonLength(TuxPCNavigatorButton Button) override;
  int GetNavigatorButtonGap(TuxPCNavigatorButton Button, TuxPCNavigatorButton NextButton) override;
  int GetNavigatorSideIndent() override { return 3; }
  TColor GetNavigatorButtonColor(Byte State) override;
  void GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) override;
  void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) override {
    GetCenteredGlyphOffset(Button, Offset);
  }
  void DrawNavigatorButtonFrame(TRect& R, Byte State) override;
  void DrawFrame() override { DrawFlatPageFrame(clBtnShadow, clBtnShadow); }
};

// UltraFlat coloured from the Office 2003 colour table, with gradients.
class TuxPCOffice11Painter : public TuxPCUltraFlatPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCUltraFlatPainter::Meta {
    const char* ClassName() const override { return "TuxPCOffice11Painter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCOffice11Painter(C); }
    int GetStyleID() const override { return 8; }
    AnsiString GetStyleName() const override { return "Office11"; }
    bool IsDefaultForLookAndFeel(TuxLookAndFeel* LookAndFeel) const override;
  };
  explicit TuxPCOffice11Painter(TuxCustomTabControl* AControl) : TuxPCUltraFlatPainter(AControl) {}
  virtual TColor GetTabBorderColor();

  int GetRowEdgeWidth() override { return 1; }
  void GetSeparatorIndents(TuxPCPair& Pair) override;
  void DrawTabBackground(TuxCanvas* ACanvas, TRect R, int VisibleIndex) override;
  void AdjustDisplayIndents(TRect&) override {}
  void GetPageBandRect(TRect& R) override;
  int GetTabSpacing() override { return 2; }
  bool HasPageBorder() override { return HasFrame(); }
  void DrawMainTabOutline(TRect& R) override;
  void DrawTabSeparator(const TRect& R) override;
  void DrawRowEdge(TRect R, int Row) override;
  TColor GetTabColor(int VisibleIndex) override;
  bool IsTabTransparent(int VisibleIndex) override;
  bool NeedsRedrawOnResize() override;
  TColor GetBackgroundColor() override { return GetTabBorderColor(); }
  void GetDisplayIndents(TRect& R) override;
  void FillPageArea() override;
  void DrawFrameAndPageArea() override;
  void DrawFrame() override;
  void PrepareTabBitmapBackground(TBitmap* Bitmap, const TPoint& P, int VisibleIndex) override;
  TColor GetNavigatorGlyphColor(Byte State) override;
  void FillNavigatorButton(const TRect& R, Byte State) override;
  void DrawNavigatorButtonFrame(TRect& R, Byte State) override;

 protected:
  // The Office 2003 fill of a tab (or of the row with index -1) in R.
  void FillOffice11(TuxCanvas* ACanvas, const TRect& R, int VisibleIndex, bool GradientHorizontal, bool Swap);
};

// The Tabs style with single-pixel frames and a softened inner tab edge.
class TuxPCFlatPainter : public TuxPCTabsPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCTabsPainter::Meta {
    const char* ClassName() const override { return "TuxPCFlatPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCFlatPainter(C); }
    int GetStyleID() const override { return 7; }
    AnsiString GetStyleName() const override { return "Flat"; }
    bool IsDefaultForLookAndFeel(TuxLookAndFeel* LookAndFeel) const override;
    bool IsFallbackForLookAndFeel(TuxLookAndFeel*) const override { return false; }
  };
  explicit TuxPCFlatPainter(TuxCustomTabControl* AControl) : TuxPCTabsPainter(AControl) {}
  int GetFrameWidth() override { return 1; }
  bool HasFrame() override { return true; }
  void DrawPageFrame(const TRect& R) override;
  TuxRegion* GetTabClipRegion(int VisibleIndex) override { return TuxPCCustomPainter::GetTabClipRegion(VisibleIndex); }
  TuxRegionCombineOperation GetTabClipRegionOperation(int) override { return rcoIntersect; }
  int GetNavigatorButtonThickness() override { return TuxPCTabsPainter::GetNavigatorButtonThickness() - 2; }
  int GetNavigatorButtonLength(TuxPCNavigatorButton Button) override {
    return TuxPCTabsPainter::GetNavigatorButtonLength(Button) - 2;
  }
  void GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) override;
  void DrawNavigatorButtonFrame(TRect& R, Byte State) override;
  void DrawTabBorder(int VisibleIndex) override;
};

// ---- the Slanted and OneNote styles: polygon tabs ----

class TuxPCSlantedPainter : public TuxPCStandardPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCStandardPainter::Meta {
    const char* ClassName() const override { return "TuxPCSlantedPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCSlantedPainter(C); }
    int GetStyleID() const override { return 9; }
    AnsiString GetStyleName() const override { return "Slanted"; }
    int GetTabsKind() const override { return 0; }
  };
  explicit TuxPCSlantedPainter(TuxCustomTabControl* AControl) : TuxPCStandardPainter(AControl) {}

  // -- new virtual operations --
  virtual bool HighlightsHotTab() { return false; }
  virtual void FillTabGradient(TuxCanvas* ACanvas, const TRect& R, bool Swap, bool Horizontal, int VisibleIndex);
  virtual void DrawMainTabBase(int VisibleIndex);
  virtual void GetTabGradientColors(int VisibleIndex, TColor& C1, TColor& C2);
  virtual int GetSlantSize();
  virtual int GetSlantedMinTabWidth();
  virtual TColor GetSlantedBorderColor() { return clBtnShadow; }
  virtual TuxTabSlantPositions GetSlantedSides();
  virtual void GetBorderedImageSize(TSize& Size);
  // The caller owns the region.
  virtual TuxRegion* GetTabRegion(int VisibleIndex, bool Inner);
  virtual void DrawTabOutline(int VisibleIndex, const TRect& R);
  virtual void DrawHotBand(int VisibleIndex);

  // -- overrides --
  bool AlwaysUsePageColorForTabs() override { return true; }
  int CalculateTabWidth(TuxTab* Tab) override;
  int GetMinTabWidth(int VisibleIndex) override { return GetTabNonTextWidth(VisibleIndex); }
  int GetTabNonTextWidth(int VisibleIndex) override;
  int GetTabContentHeight() override;
  int GetMinTabHeight() override { return 0; }
  int GetImageTextDistance(int) override { return 3; }
  int GetFrameWidth() override { return 1; }
  void GetTabContentIndents(int VisibleIndex, TRect& R) override;
  void GetTabFrameIndents(int VisibleIndex, TRect& R) override;
  void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTruncatedTextIndents(int VisibleIndex, TuxPCPair& Pair) override { GetTextIndents(VisibleIndex, Pair); }
  void GetTabsInterval(TPoint& Interval) override;
  void GetTabsAreaIndents(TRect& R) override;
  TColor GetTabColor(int VisibleIndex) override;
  bool IsTabDrawnAsMain(int) override { return false; }
  void GetDisplayIndents(TRect& R) override;
  void DrawFrame() override;
  TuxRegion* GetTabClipRegion(int VisibleIndex) override;
  bool IsPointInTab(int VisibleIndex, int X, int Y) override;
  void DrawTabs() override;
  void DrawTabBody(int VisibleIndex) override;
  void PrepareTabBitmapBackground(TBitmap* Bitmap, const TPoint& P, int VisibleIndex) override;
  int GetNavigatorButtonThickness() override { return 17; }
  int GetNavigatorButtonLength(TuxPCNavigatorButton Button) override;
  int GetNavigatorButtonGap(TuxPCNavigatorButton Button, TuxPCNavigatorButton NextButton) override {
    return MatchesEitherButton(Button, NextButton, nbClose) ? 3 : 1;
  }
  int GetNavigatorAreaPadding() override { return 1; }
  int GetNavigatorSideIndent() override { return 1; }
  int GetNavigatorEndIndent() override { return 0; }
  TColor GetNavigatorButtonColor(Byte State) override;
  TColor GetNavigatorGlyphColor(Byte State) override;
  void GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) override;
  void DrawNavigatorButtonFrame(TRect& R, Byte State) override;

 protected:
  // The side a tab (or, for -1, the tabs of the first row) is drawn on.
  TuxTabPosition TabSide(int VisibleIndex);
  // The outline of a tab at the top of R: its points and edge tags.
  void GetOutline(const TRect& R, TuxTabPosition Side, TPoints& Points, TLinePositions& Tags);
  void DrawRowEdgeLines(const TuxPCLineIndexBounds& Row, int DrawnRow);
};

// Notebook-divider tabs: a long slant on the left and a rounded top-right corner.
class TuxPCOneNotePainter : public TuxPCSlantedPainter {
  PV_PC_PAINTER_CLASS
 public:
  struct Meta : TuxPCSlantedPainter::Meta {
    const char* ClassName() const override { return "TuxPCOneNotePainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TuxPCOneNotePainter(C); }
    int GetStyleID() const override { return 10; }
    AnsiString GetStyleName() const override { return "OneNote"; }
    bool SupportsRotation() const override { return false; }
  };
  explicit TuxPCOneNotePainter(TuxCustomTabControl* AControl) : TuxPCSlantedPainter(AControl) {}
  bool HighlightsHotTab() override { return true; }
  void DrawMainTabBase(int VisibleIndex) override;
  int GetSlantSize() override { return CalculateTabHeight() + 2; }
  int GetSlantedMinTabWidth() override { return GetSlantSize() + 4; }
  TColor GetSlantedBorderColor() override { return uxPCOneNoteColor(0); }
  TuxTabSlantPositions GetSlantedSides() override { return {spLeft}; }
  TuxRegion* GetTabRegion(int VisibleIndex, bool Inner) override;
  void DrawTabOutline(int VisibleIndex, const TRect& R) override;
  void DrawHotBand(int) override {}
  void GetTabContentIndents(int, TRect& R) override { R = TRect{0, 3, 0, 1}; }
  void GetTabFrameIndents(int, TRect& R) override { R = TRect{0, 4, 0, 1}; }
  void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) override;
  void GetTabsInterval(TPoint& Interval) override { Interval = pcPoint(5 - GetSlantSize(), -3); }
  void GetTabsAreaIndents(TRect& R) override;
  int GetNavigatorSideIndent() override { return 0; }
};

// The look-and-feel painter style a look and feel offers for tabs.
TuxPainterStyle uxPCLookAndFeelStyle(TuxLookAndFeel* LookAndFeel);

// ---- helpers shared by the styles ----


void AppendFigurePoints(TPoints& Points, TLinePositions& LinePositions, std::initializer_list<TPoint> NewPoints,
                        std::initializer_list<TLinePosition> NewLinePositions);
bool HasLinePosition(TLinePosition Position, const TLinePositions& LinePositions);
// The polygon region of the points; with Expand the end points of every edge
// move by one pixel as the edge's side asks. The caller owns the region.
TuxRegion* CreateFigureRegion(TPoints Points, const TLinePositions& LinePositions, bool Expand);
// An outline written for a tab at the top of R, turned to Side, as a region.
TuxRegion* CreateTabFigureRegion(const TRect& R, TPoints Points, TLinePositions LinePositions, bool Expand,
                                 TuxTabPosition Side);
// One-pixel lines on the given sides of R, each moving that side inwards;
// with Exclude the frame they cover is removed from the clip region.
void DrawBorderLines(TuxCanvas* ACanvas, TRect& R, std::initializer_list<TuxBorder> Borders,
                     std::initializer_list<TColor> Colors, bool Exclude);
// Width and height of R, or height and width when not Horizontal.
void GetRectExtents(const TRect& R, bool Horizontal, int& Along, int& Across);
void ColorToHSB(TColor Color, long double& Hue, long double& Saturation, long double& Brightness);
TColor HSBToColor(long double Hue, long double Saturation, long double Brightness);
// The colour with its brightness multiplied by (100 + Percent) / 100, at most 100.
TColor LightenColor(TColor Color, int Percent);
// clBtnFace with 20 added to each channel; computed when the painters start.
TColor uxPCLightButtonFace();
void UpdateLightButtonFace();
// The colours of the OneNote style by the Office 2003 colour scheme; reloaded
// on every system palette change.
TColor uxPCOneNoteColor(int Index);
void LoadOneNoteColors();

// The kind of RotatePoint that turns an outline written for a top tab to Side.
int uxPCRotationKind(TuxTabPosition Side);
// R grown (or, with a negative By, shrunk) on the side that faces the page.
TRect uxPCTowardsPage(const TRect& R, TuxTabPosition Side, int By);

// A rectangle on the control (R, of the tab behind a caption) taken into the
// coordinates of the off-screen caption bitmap whose top-left corner is P on
// the control; Mirrored tells that the bitmap's gradient colours must swap.
TRect uxPCCaptionBitmapRect(TuxCustomTabControl* Control, TRect R, TPoint P, TBitmap* Bitmap, bool& Mirrored);

// Registers the painter styles in their fixed order, with the helpers' colours
// and the palette subscriber; the shutdown unregisters them in the same order.
// Repeated calls do nothing.
void uxInitPCPainters();
void uxDonePCPainters();
