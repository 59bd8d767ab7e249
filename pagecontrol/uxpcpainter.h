// The painter of a tab control: its class-level answers (per style, without an
// instance), the parent-info object through which it reads the control, the
// base painter with the default content layout and drawing, and the factory
// that keeps the painter styles by numeric id.
//
// Indent rectangles are written for tabs at the top (Top is the tab side) and
// turned to the real tab position before use.
#pragma once

#include <vector>

#include "pagecontrol/uxpc.h"

// Class-level operations of a painter style; one object per style, reached as
// a TuxPCPainterClass. Descendant styles derive their class object from the
// one of their base style.
class TuxPCPainterMeta {
 public:
  virtual ~TuxPCPainterMeta() = default;
  virtual const char* ClassName() const = 0;
  virtual TuxPCCustomPainter* NewInstance(TuxCustomTabControl* Control) const = 0;
  virtual bool SupportsRotation() const { return true; }
  // 0 tabs, 1 buttons, 2 flat buttons.
  virtual int GetTabsKind() const { return 0; }
  virtual int GetStyleID() const { return -1; }
  virtual AnsiString GetStyleName() const { return ""; }
  virtual bool IsDefaultForLookAndFeel(TuxLookAndFeel*) const { return false; }
  virtual bool IsFallbackForLookAndFeel(TuxLookAndFeel*) const { return false; }
  virtual bool MovesMainRowToPage() const { return true; }
  virtual bool AllowsMultiSelection() const { return false; }
  virtual bool TabsActAsButtons() const { return false; }
};

// Read access to the control for its painter.
class TuxPCPainterParentInfo {
 public:
  explicit TuxPCPainterParentInfo(TuxCustomTabControl* AControl) : FControl(AControl) {}
  TuxCustomTabControl* Control() const { return FControl; }
  TControl* ActivePage() const { return FControl->GetActivePage(); }
  TuxCanvas* Canvas() const { return FControl->Canvas(); }
  TFont* Font() const { return FControl->Font(); }
  TColor Color() const { return FControl->Color(); }
  TRect FarTabArea() const { return FControl->FarTabArea(); }
  TRect NearTabArea() const { return FControl->NearTabArea(); }
  int Height() const { return FControl->Height(); }
  int Width() const { return FControl->Width(); }
  bool HideTabs() const { return FControl->HideTabs(); }
  int ImageBorder() const { return FControl->ImageBorder(); }
  int MainTab() const { return FControl->MainTab(); }
  bool MultiLine() const { return FControl->MultiLine(); }
  TuxPCNavigatorButtons ShownNavigatorButtons() const { return FControl->ShownNavigatorButtons(); }
  Byte NavigatorButtonState(TuxPCNavigatorButton B) const { return FControl->NavigatorButtonState(B); }
  TuxPCNavigatorPosition NavigatorPosition() const { return FControl->NavigatorPosition(); }
  TuxPCOptions Options() const { return FControl->Options(); }
  bool RaggedRight() const { return FControl->RaggedRight(); }
  bool Rotate() const { return FControl->Rotate(); }
  int RowCount() const { return FControl->RowCount(); }
  int NearRowCount() const { return FControl->NearRowCount(); }
  bool ScrollOpposite() const { return FControl->ScrollOpposite(); }
  bool ShowFrame() const { return FControl->ShowFrame(); }
  int TabHeight() const { return FControl->TabHeight(); }
  int TabWidth() const { return FControl->TabWidth(); }
  TuxTabPosition TabPosition() const { return FControl->TabPosition(); }
  TuxTabSlants* TabSlants() const { return FControl->TabSlants(); }
  TuxTab* VisibleTab(int VisibleIndex) const { return FControl->VisibleTab(VisibleIndex); }
  TControl* Page(int VisibleIndex) const;
  TColor PageColor(int VisibleIndex) const;
  TColor TabColor(int VisibleIndex) const;
  bool HasOppositeRows() const;

 private:
  TuxCustomTabControl* FControl;
};

// Where the content of the tab being drawn goes.
struct TuxPCTabContentData {
  TRect ImageBounds{};
  TRect CaptionBounds{};
  int VisibleIndex = -1;
};

// A pair of integers (indents before and after, sizes).
struct TuxPCPair {
  int First = 0, Second = 0;
};

class TuxPCCustomPainter {
 public:
  explicit TuxPCCustomPainter(TuxCustomTabControl* AControl);
  virtual ~TuxPCCustomPainter();
  TuxPCCustomPainter(const TuxPCCustomPainter&) = delete;
  TuxPCCustomPainter& operator=(const TuxPCCustomPainter&) = delete;

  virtual TuxPCPainterClass PainterClass() const = 0;
  // The class-level answers, through the painter's class.
  bool SupportsRotation() const { return PainterClass()->SupportsRotation(); }
  int GetTabsKind() const { return PainterClass()->GetTabsKind(); }
  int GetStyleID() const { return PainterClass()->GetStyleID(); }
  AnsiString GetStyleName() const { return PainterClass()->GetStyleName(); }
  bool MovesMainRowToPage() const { return PainterClass()->MovesMainRowToPage(); }
  bool AllowsMultiSelection() const { return PainterClass()->AllowsMultiSelection(); }
  bool TabsActAsButtons() const { return PainterClass()->TabsActAsButtons(); }

  TuxCustomTabControl* OwnerControl() const { return FOwnerControl; }
  TuxPCPainterParentInfo* ControlInfo() const { return FControlInfo.get(); }
  const TuxPCTabContentData& TabContentData() const { return FTabContentData; }

  // ---- virtual operations ----
  virtual int CalculateTabWidth(TuxTab* Tab) = 0;
  virtual void GetTabRectCorrection(int VisibleIndex, int (&Deltas)[4]);
  virtual void DrawTabContent(int VisibleIndex);
  virtual void FillPageArea();
  virtual int GetNavigatorButtonGap(TuxPCNavigatorButton Button, TuxPCNavigatorButton NextButton) { return 0; }
  virtual int GetNavigatorAreaPadding() { return 0; }
  virtual int GetNavigatorSideIndent() { return 0; }
  virtual int GetNavigatorEndIndent() { return 0; }
  virtual TColor GetClientColor();
  virtual void GetDisplayIndents(TRect& R);
  virtual void GetClientIndents(TRect& R);
  virtual void GetTabContentIndents(int VisibleIndex, TRect& R) = 0;
  virtual void GetTabSizeExtra(int VisibleIndex, TuxPCPair& Pair) = 0;
  virtual void GetTabFrameIndents(int VisibleIndex, TRect& R) = 0;
  virtual int GetFrameWidth() { return 0; }
  virtual void DrawTabByEvent(int VisibleIndex);
  virtual bool AlwaysUsePageColorForTabs() { return false; }
  virtual int GetImageTextDistance(int VisibleIndex) = 0;
  virtual int GetMinTabWidth(int VisibleIndex) = 0;
  virtual void GetTabSizeCorrection(TuxPCPair& Pair) = 0;
  virtual TColor GetTabColor(int VisibleIndex) = 0;
  virtual TColor GetTabBaseColor(int VisibleIndex);
  // The caller owns the region.
  virtual TuxRegion* GetTabClipRegion(int VisibleIndex);
  virtual TuxRegionCombineOperation GetTabClipRegionOperation(int VisibleIndex) { return rcoIntersect; }
  virtual void GetTextIndents(int VisibleIndex, TuxPCPair& Pair) = 0;
  virtual void GetThemeTabPartAndState(int VisibleIndex, int& Part, int& State);
  virtual void GetFrameRectIndents(TRect& R);
  virtual void GetTabsInterval(TPoint& Interval);
  virtual void CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) = 0;
  virtual void GetTruncatedTextIndents(int VisibleIndex, TuxPCPair& Pair) = 0;
  virtual void PaintContent();
  virtual void SetTabContentRects(int VisibleIndex, const TRect& ImageRect, const TRect& TextRect) = 0;
  virtual void InvalidateTab(int VisibleIndex);
  virtual bool IsNativePainting() { return false; }
  virtual bool GetNavigatorButtonAt(int X, int Y, TuxPCNavigatorButton& Button) = 0;
  virtual bool IsPointInTab(int VisibleIndex, int X, int Y) { return true; }
  virtual bool IsTabDrawnAsMain(int VisibleIndex) = 0;
  virtual bool IsTabTransparent(int VisibleIndex) { return false; }
  virtual bool NeedsRedrawOnResize() { return IsNativePainting(); }
  virtual bool HasFrame();
  virtual void Paint() { PaintContent(); }
  virtual void DrawNavigatorButtons() = 0;
  virtual void DrawFrameAndPageArea();
  virtual void DrawFrame() = 0;
  virtual void DrawTabs() = 0;
  virtual void PrepareTabBitmapBackground(TBitmap* Bitmap, const TPoint& P, int VisibleIndex) {}
  virtual void RepaintNavigatorButton(TuxPCNavigatorButton Button, Byte OldState) {}
  virtual void RepaintNavigatorArea() {}
  virtual void RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) {}
  virtual int CalculateTabHeight() = 0;
  virtual void GetGoDialogButtonBounds(TRect& R) = 0;

  // ---- services ----
  void SaveClipRegion();
  void RestoreClipRegion();
  int SavedClipRegionCount() const { return int(FClipRegionStack.size()); }
  bool ClipToRect(const TRect& R, bool Intersect = true);
  void InvalidateRowArea(int VisibleIndex);
  void InvalidateBounds(const TRect& R);
  TRect GetDisplayRect();
  TRect GetClientRect();
  bool HasImages();
  bool TabHasImage(int VisibleIndex);
  TSize GetImageSize();
  TSize GetRotatedImageSize();
  bool IsOwnerDrawing();
  bool DoCustomDraw(int VisibleIndex);
  TColor GetTabTextColor(int VisibleIndex);
  TColor HighlightColor() { return clHighlight; }
  int GetMaxTextHeight();
  void GetThemedPaneIndents(TRect& R);
  void DrawPolyline(const std::vector<TPoint>& Points, TuxCanvas* ACanvas, TColor Color);
  static void RotatePoint(const TRect& R, TPoint& P, int Kind);
  void DrawRotatedPolyline(const TRect& R, const std::vector<TPoint>& Points, TColor Color, int Kind);
  void GetRowBounds(TuxPCLineIndexBoundsArray& Bounds);
  static int NavigatorButtonCount(TuxPCNavigatorButtons Buttons);
  static bool MatchesEitherButton(TuxPCNavigatorButton First, TuxPCNavigatorButton Second,
                                  TuxPCNavigatorButton Button) {
    return Button == First || Button == Second;
  }
  void PrepareOffscreenBitmap(TuxTab* Tab);
  static void FreeOffscreenBitmap(TuxTab* Tab) { Tab->OffscreenBitmap.reset(); }
  static void FreeRotatedCaptionBitmap(TuxTab* Tab) { Tab->RotatedCaptionBitmap.reset(); }
  // Indents written for tabs at the top, turned to a tab position.
  static TRect TurnIndents(const TRect& N, TuxTabPosition Position);
  // The control's bounds at 0, 0.
  TRect ControlBounds() const;
  TuxCanvas* Canvas() const { return FOwnerControl->Canvas(); }
  TuxTab* VisibleTab(int VisibleIndex) const { return FOwnerControl->VisibleTab(VisibleIndex); }

 protected:
  // The content rectangles of a tab (Part of DrawTabContent).
  void CalculateTabContentRects(int VisibleIndex, TuxTab* Tab, TRect& ImageRect, TRect& TextRect,
                                AnsiString& Text);
  void DrawCaption(int VisibleIndex, TuxTab* Tab, const TRect& TextRect, const AnsiString& Text);
  void DrawCaptionInto(TBitmap* Bitmap, const TRect& R, const TPoint& P, int VisibleIndex, TuxTab* Tab,
                       const AnsiString& Text, bool Native);

  TuxCustomTabControl* FOwnerControl;
  std::unique_ptr<TuxPCPainterParentInfo> FControlInfo;
  std::vector<HRGN> FClipRegionStack;
  TuxPCTabContentData FTabContentData;
};

// The hot-track colour of captions and glyphs: the hot-light colour where the
// system has it, else blue.
TColor uxPCHotTrackColor();

// ---- the painter factory ----

class TuxPCPaintersFactory {
 public:
  int Count() const { return int(FRegisteredClasses.size()); }
  TuxPCPainterClass RegisteredClass(int Index) const { return FRegisteredClasses[std::size_t(Index)]; }
  TuxPCPainterClass GetPainterClass(TuxPCStyleID StyleID) const;
  // Raises "TuxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil".
  TuxPCCustomPainter* GetPainterInstance(TuxPCPainterClass PainterClass, TuxCustomTabControl* Control) const;
  void ReleasePainter(TuxPCCustomPainter* Painter) const { delete Painter; }
  TuxPCStyleID GetDefaultStyleIDByLookAndFeel(TuxLookAndFeel* LookAndFeel) const;
  // Raises "TuxPCPaintersFactory.GetDefaultStyleID: There are no styles registered".
  TuxPCStyleID GetDefaultStyleID(TuxLookAndFeel* LookAndFeel) const;

 private:
  friend void RegisterPainterClass(TuxPCPainterClass);
  friend void UnregisterPainterClass(TuxPCPainterClass);
  std::vector<TuxPCPainterClass> FRegisteredClasses;
};

// The factory while at least one class is registered, else nullptr.
TuxPCPaintersFactory* PaintersFactory();
void RegisterPainterClass(TuxPCPainterClass PainterClass);
void UnregisterPainterClass(TuxPCPainterClass PainterClass);
// Frees the factory when it still exists (shutdown).
void FreePaintersFactory();
