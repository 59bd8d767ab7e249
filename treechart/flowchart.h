// The flow chart: shaped boxes (objects) and lines between them
// (connections), held, painted, selected, zoomed and scrolled by the
// owner-drawn control TkxCustomFlowChart, and kept as one byte stream.
//
// Item positions and sizes are in chart units; for drawing and hit testing
// every item keeps display values (chart units scaled by the chart's
// ActualZoom percentage). Client coordinates are display coordinates minus
// the chart's scroll offsets.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/controls/controls.h"
#include "platform/controls/imglist.h"
#include "treechart/kxlines.h"

class TkxCustomFlowChart;
class TkxFcObject;
class TkxFcConnection;

enum TkxFcShapeKind : Byte { fskNone, fskRectangle, fskEllipse, fskRoundRect, fskDiamond, fskNorthTriangle,
                             fskSouthTriangle, fskEastTriangle, fskWestTriangle, fskHexagon, fskUser };
enum TkxFcHorzPos : Byte { fhpLeft, fhpCenter, fhpRight };
enum TkxFcVertPos : Byte { fvpTop, fvpCenter, fvpBottom };
enum TkxFcArrowKind : Byte { fakNone, fakArrow, fakOval, fakRect };
enum TkxFcOption { fcoCanDelete, fcoCanDrag, fcoCanSelect, fcoMultiSelect, fcoHideSelection, fcoDelOnClick };
using TkxFcOptions = TSet<TkxFcOption>;
enum TkxFcHitFlag { fhtNowhere, fhtObjectBounds, fhtObjectShape, fhtLine, fhtLineText, fhtSourceArrow, fhtDestArrow,
                    fhtHandle };
using TkxFcHitFlags = TSet<TkxFcHitFlag>;

PV_ENUM_NAMES(TkxFcOption, "fcoCanDelete fcoCanDrag fcoCanSelect fcoMultiSelect fcoHideSelection fcoDelOnClick")

constexpr TkxFcOptions kxFcAllOptions = {fcoCanDelete, fcoCanDrag, fcoCanSelect, fcoMultiSelect, fcoHideSelection,
                                         fcoDelOnClick};
// The connection parts of a hit test.
constexpr TkxFcHitFlags kxFcLineParts = {fhtLine, fhtLineText, fhtSourceArrow, fhtDestArrow};

class TkxFcItem;
using TkxFcEvent = TEvent<void(TObject* Sender, TkxFcItem* Item)>;
using TkxFcAllowEvent = TEvent<void(TObject* Sender, TkxFcItem* Item, bool& Allow)>;
using TkxFcDrawEvent = TEvent<void(TObject* Sender, TkxFcObject* AObject, TRect R)>;
using TkxFcEditEvent = TEvent<void(TObject* Sender, TkxFcObject* AObject, AnsiString& S)>;

// The base of objects and connections. Every item belongs to one chart, which
// creates, lists and frees it.
class TkxFcItem : public TPersistent {
  PV_CLASS(TkxFcItem, TPersistent)
 public:
  explicit TkxFcItem(TkxCustomFlowChart* AChart);
  ~TkxFcItem() override;
  void Assign(TPersistent* Source) override;

  TkxCustomFlowChart* Chart() const { return FChart; }
  const AnsiString& Text() const { return FText; }
  virtual void SetText(const AnsiString& Value) = 0;
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  // The font used for drawing and measuring: Font scaled by the zoom.
  TFont* DisplayFont() const { return FDisplayFont.get(); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  bool Destroying() const { return FDestroying; }
  bool Selected() const { return FSelected; }
  void SetSelected(bool Value);
  // Set by the painter: the item is drawn in the current paint pass.
  bool Painted = false;

  virtual std::vector<TkxFcItem*>& SelectionList() = 0;
  virtual void TextLayoutChanged() { Invalidate(); }
  virtual void Invalidate() = 0;

  // The font as the chart's, without turning ParentFont off (used while
  // loading and when the chart's font changes).
  void TakeFontQuietly(TFont* Value);
  void UpdateDisplayFont();
  // Announces a change through the chart (not while it reads a stream).
  void Changed();

 protected:
  friend class TkxCustomFlowChart;
  void FontChanged(TObject* Sender);

  TkxCustomFlowChart* FChart;
  AnsiString FText;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TFont> FDisplayFont;
  bool FParentFont = true;
  bool FDestroying = false;
  bool FSelected = false;
  bool FQuietFont = false;
};

class TkxFcObject : public TkxFcItem {
  PV_CLASS(TkxFcObject, TkxFcItem)
 public:
  explicit TkxFcObject(TkxCustomFlowChart* AChart);
  ~TkxFcObject() override;
  void Assign(TPersistent* Source) override;
  std::vector<TkxFcItem*>& SelectionList() override;
  void Invalidate() override;
  void SetText(const AnsiString& Value) override;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  Word Width() const { return FWidth; }
  Word Height() const { return FHeight; }
  void SetBounds(int ALeft, int ATop, Word AWidth, Word AHeight);
  void SetLeft(int V) { SetBounds(V, FTop, FWidth, FHeight); }
  void SetTop(int V) { SetBounds(FLeft, V, FWidth, FHeight); }
  void SetWidth(Word V) { SetBounds(FLeft, FTop, V, FHeight); }
  void SetHeight(Word V) { SetBounds(FLeft, FTop, FWidth, V); }
  Word FrameEdge() const { return FFrameEdge; }
  void SetFrameEdge(Word Value);
  Word FrameFlags() const { return FFrameFlags; }
  void SetFrameFlags(Word Value);
  TkxFcHorzPos HorzTextPos() const { return FHorzTextPos; }
  void SetHorzTextPos(TkxFcHorzPos Value);
  TkxFcVertPos VertTextPos() const { return FVertTextPos; }
  void SetVertTextPos(TkxFcVertPos Value);
  SmallInt ImageIndex() const { return FImageIndex; }
  void SetImageIndex(SmallInt Value);
  TkxFcHorzPos HorzImagePos() const { return FHorzImagePos; }
  void SetHorzImagePos(TkxFcHorzPos Value);
  TkxFcVertPos VertImagePos() const { return FVertImagePos; }
  void SetVertImagePos(TkxFcVertPos Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor ShapeColor() const { return FShapeColor; }
  void SetShapeColor(TColor Value);
  TkxFcShapeKind ShapeKind() const { return FShapeKind; }
  void SetShapeKind(TkxFcShapeKind Value);
  Byte ShapeWidth() const { return FShapeWidth; }
  void SetShapeWidth(Byte Value);
  int Tag = 0;
  NativeInt UserData = 0;
  AnsiString ExtraText;

  bool HasFrame() const { return FShapeKind == fskRectangle && FFrameEdge != 0; }
  bool HasImage() const;
  bool HasFill() const { return !FTransparent && FShapeKind != fskNone; }

  int ConnectionCount() const { return int(FConnections.size()); }
  TkxFcConnection* Connections(int I) const;
  int ZOrder() const;
  void SetZOrder(int I);
  void BringToFront();
  void SendToBack();

  bool IsUnion() const { return !FMembers.empty(); }
  int UnionMemberCount() const { return int(FMembers.size()); }
  TkxFcObject* UnionMembers(int I) const;
  bool UnionContains(const TkxFcObject* O) const;
  void AddToUnion(TkxFcObject* O);
  void RemoveFromUnion(TkxFcObject* O);
  void ClearUnion() { FMembers.clear(); }
  void SelectUnion();
  void MakeVisible();

  // Display geometry.
  const TRect& DisplayRect() const { return FDisplayRect; }  // left, top, right, bottom
  TRect ClientRect() const;  // the display rectangle in client coordinates
  int DisplayLineWidth() const { return FDisplayLineWidth; }
  TPoint AttachPoint(int I) const { return I >= 0 && I < 16 ? FAttach[I] : TPoint{0, 0}; }
  void SetAttachPoint(int I, TPoint P);
  // Where text and image go, in client coordinates.
  TRect InnerRect() const;
  int NearestAttachPoint(int X, int Y) const;
  int NearestHandle(int X, int Y) const;
  // The eight selection handles, in display coordinates.
  TPoint Handle(int I) const;
  // Regions (client coordinates), built on demand.
  HRGN OutlineRegion();
  HRGN InnerRegion();
  HRGN VisibleRegion() const { return FVisibleRgn; }
  void SetVisibleRegion(HRGN Value);
  void FreeRegions();
  void OffsetRegions(int DX, int DY);
  // Recomputes display values from the chart's zoom.
  void UpdateDisplay();

  virtual HRGN UserShapeRegion(const TRect& R) { return nullptr; }
  virtual void Load(TStream* Stream);
  virtual void Save(TStream* Stream);
  virtual void UserAttachPoints() {}

 protected:
  friend class TkxCustomFlowChart;
  friend class TkxFcConnection;
  void ComputeAttachPoints();
  HRGN ShapeRegion(const TRect& R);
  void BuildRegions();
  void RefreshConnections();
  HBRUSH InteriorBrush();
  HBRUSH OutlineBrush();

  int FLeft = 0, FTop = 0;
  Word FWidth = 0, FHeight = 0;
  Word FFrameEdge = 0, FFrameFlags = 15;
  TkxFcHorzPos FHorzTextPos = fhpLeft;
  TkxFcVertPos FVertTextPos = fvpTop;
  SmallInt FImageIndex = -1;
  TkxFcHorzPos FHorzImagePos = fhpLeft;
  TkxFcVertPos FVertImagePos = fvpTop;
  bool FTransparent = false;
  bool FVisible = true;
  TColor FBkColor = clWindow;
  TColor FShapeColor = clBlack;
  TkxFcShapeKind FShapeKind = fskNone;
  Byte FShapeWidth = 1;
  std::vector<TkxFcConnection*> FConnections;
  std::vector<TkxFcObject*> FMembers;
  std::vector<int> FPendingMembers;  // member indexes while a stream is read
  TRect FDisplayRect;
  int FDisplayLineWidth = 1;
  TPoint FAttach[16];
  HRGN FOutlineRgn = nullptr, FInnerRgn = nullptr, FVisibleRgn = nullptr;
  HBRUSH FInteriorBrush = nullptr, FOutlineBrush = nullptr;
};

// The head at one end of a connection.
class TkxFcConnectionArrow : public TPersistent {
  PV_CLASS(TkxFcConnectionArrow, TPersistent)
 public:
  TkxFcConnectionArrow(TkxFcConnection* AOwner, bool ASource);
  ~TkxFcConnectionArrow() override;
  void Assign(TPersistent* Source) override;
  TkxFcArrowKind ArrowKind() const { return FArrowKind; }
  void SetArrowKind(TkxFcArrowKind Value);
  Byte Width() const { return FWidth; }
  void SetWidth(Byte Value);
  Byte Height() const { return FHeight; }
  void SetHeight(Byte Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool Shown() const;
  // Display geometry.
  TPoint Tip() const { return FTip; }
  TPoint Wing1() const { return FWing1; }
  TPoint Wing2() const { return FWing2; }
  // The arrow's rectangle in display coordinates.
  TRect Rect() const;
  void Recompute(bool Force = false);
  void UpdateDisplay();
  void Offset(int DX, int DY);
  HBRUSH Brush();

 private:
  friend class TkxFcConnection;
  TkxFcConnection* FOwner;
  bool FSource;
  TkxFcArrowKind FArrowKind = fakNone;
  Byte FWidth = 0, FHeight = 0;
  TColor FColor = clWindow;
  Word FDisplayWidth = 0, FDisplayHeight = 0;
  TPoint FTip, FWing1, FWing2, FReference;
  HBRUSH FBrush = nullptr;
};

class TkxFcConnection : public TkxFcItem {
  PV_CLASS(TkxFcConnection, TkxFcItem)
 public:
  explicit TkxFcConnection(TkxCustomFlowChart* AChart);
  ~TkxFcConnection() override;
  void Assign(TPersistent* Source) override;
  std::vector<TkxFcItem*>& SelectionList() override;
  void TextLayoutChanged() override;
  void Invalidate() override;
  void SetText(const AnsiString& Value) override;

  TkxFcObject* Source() const { return FSource; }
  TkxFcObject* Dest() const { return FDest; }
  Byte SourcePoint() const { return FSourcePoint; }
  Byte DestPoint() const { return FDestPoint; }
  void SetSource(TkxFcObject* AObject, Byte APoint);
  void SetDest(TkxFcObject* AObject, Byte APoint);
  TkxFcLineStyle Style() const { return FStyle; }
  void SetStyle(TkxFcLineStyle Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle Value);
  bool BehindObjects() const { return FBehindObjects; }
  void SetBehindObjects(bool Value);
  TkxFcConnectionArrow* SourceArrow() const { return FSourceArrow.get(); }
  TkxFcConnectionArrow* DestArrow() const { return FDestArrow.get(); }
  void SetSourceArrow(TkxFcConnectionArrow* Value) { FSourceArrow->Assign(Value); }
  void SetDestArrow(TkxFcConnectionArrow* Value) { FDestArrow->Assign(Value); }

  int PointCount() const { return int(FPoints.size()); }
  int FreePointCount() const { return PointCount() - (FSource ? 1 : 0) - (FDest ? 1 : 0); }
  TPoint Points(int I) const;
  void SetPoint(int I, TPoint P);
  void InsertPoint(int I, TPoint P);
  void AddPoint(TPoint P) { InsertPoint(FreePointCount(), P); }
  void RemovePoint(int I);
  int NearestPointIndex(int X, int Y) const;
  // The display points (ends included), for the route.
  const std::vector<TPoint>& DisplayPoints() const { return FDisplay; }
  std::vector<TPoint>& DisplayPointsRef() { return FDisplay; }
  // Chart-unit points of the whole list (ends included).
  std::vector<TPoint>& PointList() { return FPoints; }
  // Bounds, label anchor and label rectangle in display coordinates.
  const TRect& LineBounds() const { return FLineBounds; }
  TPoint LabelAnchor() const { return FLabelAnchor; }
  const TRect& LabelRect() const { return FLabelRect; }
  // The rectangle the connection covers, in client coordinates.
  TRect ClientBounds() const;
  // The line's pen.
  TPen* Pen() const { return FPen.get(); }

  void RefreshEnds();
  void Recompute();
  void UpdateDisplay();

  virtual void Load(TStream* Stream);
  virtual void Save(TStream* Stream);

 protected:
  friend class TkxCustomFlowChart;
  friend class TkxFcConnectionArrow;
  void MeasureLabel();
  void InvalidateLabel();

  TkxFcObject* FSource = nullptr;
  TkxFcObject* FDest = nullptr;
  Byte FSourcePoint = 0, FDestPoint = 0;
  TkxFcLineStyle FStyle = flsStraight;
  TColor FColor = clBlack;
  TPenStyle FPenStyle = psSolid;
  bool FBehindObjects = false;
  std::unique_ptr<TkxFcConnectionArrow> FSourceArrow, FDestArrow;
  std::unique_ptr<TPen> FPen;
  std::vector<TPoint> FPoints, FDisplay;
  TRect FLineBounds, FLabelRect;
  TPoint FLabelAnchor;
};

// The selection handles gathered while painting, drawn in one call.
class TkxFcSelection {
 public:
  void Clear() {
    FCounts.clear();
    FPoints.clear();
  }
  void AddHandle(int X, int Y);
  bool Empty() const { return FCounts.empty(); }
  void Draw(HDC DC);
  int Count() const { return int(FCounts.size()); }

 private:
  std::vector<INT> FCounts;
  std::vector<TPoint> FPoints;
};

class TkxCustomFlowChart : public TCustomControl {
  PV_CLASS(TkxCustomFlowChart, TCustomControl)
 public:
  explicit TkxCustomFlowChart(TComponent* AOwner);
  ~TkxCustomFlowChart() override;

  // ---- items ----
  int ObjectCount() const { return int(FObjects.size()); }
  TkxFcObject* Objects(int I) const;
  int ConnectionCount() const { return int(FConnections.size()); }
  TkxFcConnection* Connections(int I) const;
  int SelectedObjectCount() const { return int(FSelObjects.size()); }
  TkxFcObject* SelectedObjects(int I) const;
  int SelectedConnectionCount() const { return int(FSelConnections.size()); }
  TkxFcConnection* SelectedConnections(int I) const;
  int SelCount() const { return SelectedObjectCount() + SelectedConnectionCount(); }
  TkxFcObject* SelectedObject() const;
  TkxFcConnection* SelectedConnection() const;
  TkxFcObject* CreateObject(int Left, int Top, Word Width, Word Height, TkxFcShapeKind Shape);
  TkxFcConnection* CreateConnection(TkxFcObject* Source, TkxFcObject* Dest, Byte DestPoint, Byte SourcePoint);
  void Clear();
  void ClearSelection();
  void SelectAll();
  void DeleteSelection();
  void MoveSelection(int DX, int DY);
  bool SelectionVisible();

  // ---- notifications ----
  virtual bool CanSelectItem(TkxFcItem* Item);
  virtual TkxFcObject* NewObject();
  virtual TkxFcConnection* NewConnection();
  virtual void ItemChanged(TkxFcItem* Item);
  virtual void DrawObject(TkxFcObject* AObject, const TRect& R);
  virtual void ItemDeleted(TkxFcItem* Item);
  virtual void ItemSelected(TkxFcItem* Item);

  // ---- painting control ----
  void BeginUpdate();
  void EndUpdate();
  void Invalidate() override;
  void InvalidateObject(TkxFcObject* O);
  void InvalidateSelection();
  void RepaintAll();
  bool CanPaint();
  bool Loading() const { return FLoading; }
  void MarkNeedsRepaint() { FNeedsRepaint = true; }

  // ---- coordinates, zoom and scrolling ----
  int ToDisplay(int V) const;
  TPoint ClientToChart(int X, int Y) const;
  int ActualZoom() const { return FActualZoom; }
  Word Zoom() const { return FZoom; }
  void SetZoom(Word Value);
  int LeftEdge() const { return FLeftEdge; }
  int TopEdge() const { return FTopEdge; }
  void SetLeftEdge(int Value);
  void SetTopEdge(int Value);
  void SetLeftTop(int X, int Y);
  const TRect& Extent() const { return FExtent; }
  void UpdateExtent();
  void UpdateScrollBars();

  // ---- hit testing (client coordinates) ----
  TkxFcHitFlags GetHitTestAt(int X, int Y);
  TkxFcObject* GetObjectAt(int X, int Y);
  TkxFcConnection* GetConnectionAt(int X, int Y);
  void ClearHitCache() { FHitValid = false; }
  bool Dragging() const { return FDragKind != dkNone; }
  void CancelDrag();
  // The tolerance of route hits in pixels.
  static int RouteTolerance();

  // ---- stream ----
  void SaveToStream(TStream* Stream);
  void LoadFromStream(TStream* Stream);
  void SaveToFile(const AnsiString& FileName);
  void LoadFromFile(const AnsiString& FileName);

  // ---- properties ----
  TkxFcOptions Options() const { return FOptions; }
  void SetOptions(TkxFcOptions Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  TkxFcEvent OnChange, OnCreateItem, OnDeletion, OnSelected;
  TkxFcAllowEvent OnSelection, OnEditing;
  TkxFcDrawEvent OnDrawObject;
  TkxFcEditEvent OnEdited;

  std::vector<TkxFcItem*>& SelObjectList() { return FSelObjects; }
  std::vector<TkxFcItem*>& SelConnectionList() { return FSelConnections; }
  const std::vector<TkxFcObject*>& ObjectList() const { return FObjects; }
  const std::vector<TkxFcConnection*>& ConnectionList() const { return FConnections; }
  TkxFcSelection& Handles() { return FHandles; }

 protected:
  friend class TkxFcItem;
  friend class TkxFcObject;
  friend class TkxFcConnection;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;

  void WMGetDlgCode(TMessage& Message);
  void WMSetFocus2(TMessage& Message);
  void WMKillFocus2(TMessage& Message);
  void WMSize2(TWMSize& Message);
  void WMEraseBkgnd2(TWMEraseBkgnd& Message);
  void WMHScroll2(TMessage& Message);
  void WMVScroll2(TMessage& Message);
  void WMSetCursor2(TWMSetCursor& Message);
  void CMFontChanged3(TMessage& Message);
  void CMCtl3DChanged3(TMessage& Message);

  void ScrollMessage(int Bar, TMessage& Message);
  void SelectNearest(int Direction);
  void ResizeByKey(int DW, int DH);
  void ImagesChanged(TObject* Sender);
  void ExtendSelectionByUnions(int& Kept);
  void ReduceSelection(int Kept);
  // Painting.
  void PaintObject(TkxFcObject* O, HDC DC, const TRect& Update, bool Copy);
  void PaintConnection(TkxFcConnection* C, HDC DC, const TRect& Update, bool Copy, bool Front);
  void PaintArrow(TkxFcConnection* C, TkxFcConnectionArrow* A, HDC DC);
  // Mouse editing.
  enum TDragKind { dkNone, dkMove, dkResize, dkBend, dkEnd };
  enum TDragPhase { dpBegin, dpMove, dpFinish };
  void BeginDragAt(TShiftState Shift, int X, int Y);
  void EndDragState();
  void StartHandler(TDragKind Kind, int X, int Y);
  void CallHandler(int X, int Y, TDragPhase Phase);
  void MoveHandler(HDC DC, int X, int Y, TDragPhase Phase);
  void ResizeHandler(HDC DC, int X, int Y, TDragPhase Phase);
  void BendHandler(HDC DC, int X, int Y, TDragPhase Phase);
  void EndHandler(HDC DC, int X, int Y, TDragPhase Phase);
  void InsertBend(int X, int Y);
  void DrawDragRoute(HDC DC);
  // Stream reading.
  void ReadChart(TStream* Stream);

  std::vector<TkxFcObject*> FObjects;
  std::vector<TkxFcConnection*> FConnections;
  std::vector<TkxFcItem*> FSelObjects, FSelConnections;
  TkxFcSelection FHandles;
  int FLeftEdge = 0, FTopEdge = 0;
  TRect FExtent{0, 0, 0, 0};
  Word FZoom = 100;
  Word FActualZoom = 100;
  int FUpdateCount = 0;
  bool FNeedsRepaint = false;
  bool FLoading = false;
  bool FDestroying = false;
  // the hit cache
  bool FHitValid = false;
  TPoint FHitPoint;
  TkxFcHitFlags FHitFlags;
  TkxFcObject* FHitObject = nullptr;
  TkxFcConnection* FHitConnection = nullptr;
  // the drag
  TDragKind FDragKind = dkNone;
  TPoint FDownPoint, FStartPoint, FCurrentPoint, FAnchor, FMoving;
  TkxFcConnection* FDragConnection = nullptr;
  int FDragIndex = 0;
  int FResizeMode = 0;
  TPoint FSavedPoint;
  bool FMoved = false;
  HRGN FDragRegion = nullptr;
  TRect FHeldPaint{0, 0, 0, 0};
  // properties
  TkxFcOptions FOptions = kxFcAllOptions;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  TBorderStyle FBorderStyle = bsSingle;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus2)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus2)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize2)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd2)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll2)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll2)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor2)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged3)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged3)
  END_MESSAGE_MAP(TCustomControl)
};

// The flow chart with its properties published for window descriptions.
class TkxFlowChart : public TkxCustomFlowChart {
  PV_CLASS(TkxFlowChart, TkxCustomFlowChart)
 public:
  explicit TkxFlowChart(TComponent* AOwner) : TkxCustomFlowChart(AOwner) {}
};

// The error a damaged flow-chart stream raises; the chart keeps what it had.
PV_DECLARE_EXCEPTION(EkxFcStreamError, EReadError)

// Registers the flow-chart classes and their published properties.
void kxInitFlowChartClasses();
