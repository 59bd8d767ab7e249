// The organisation chart: an owner-drawn control that shows a tree of nodes as
// boxes (rectangle, rounded rectangle, ellipse, diamond) with text and an
// optional image, each row of children below its parent joined by connector
// lines. Collapsed nodes carry an expand button; the chart can be turned by a
// quarter (Rotated: parents left of their children) and shrunk to fit the
// window (Zoom).
//
// All geometry is computed in logical axes: "across" runs along a row of
// siblings, "down" from a parent to its children. Without Rotated they are the
// client x and y; with Rotated the two are exchanged. Subtree extents are
// cached per node at full scale and cleared along the ancestor chain of a
// change.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/controls.h"
#include "platform/controls/imglist.h"
#include "platform/controls/stdctrls.h"

class TkxCustomOrgChart;
class TkxOcNode;
class TkxOcInplaceEdit;

enum TkxOcOption { ocSelect, ocFocus, ocButtons, ocDblClick, ocEdit, ocCanDrag, ocShowDrag, ocInsDel, ocRect3D, ocAnimate };
using TkxOcOptions = TSet<TkxOcOption>;
enum TkxOcEditModeItem { emLeft, emCenter, emRight, emVCenter, emWrap, emUpper, emLower, emGrow };
using TkxOcEditMode = TSet<TkxOcEditModeItem>;
enum TkxOcImageAlign { iaNone, iaLT, iaLC, iaLB, iaRT, iaRC, iaRB, iaTL, iaTC, iaTR, iaBL, iaBC, iaBR };
enum TkxOcNodeShape : Byte { nsRectangle, nsRoundedRectangle, nsEllipse, nsDiamond };
enum TkxOcChildAlignment : Byte { oaLeft, oaCenter, oaRight };

PV_ENUM_NAMES(TkxOcOption, "ocSelect ocFocus ocButtons ocDblClick ocEdit ocCanDrag ocShowDrag ocInsDel ocRect3D ocAnimate")
PV_ENUM_NAMES(TkxOcEditModeItem, "emLeft emCenter emRight emVCenter emWrap emUpper emLower emGrow")
PV_ENUM_NAMES(TkxOcImageAlign, "iaNone iaLT iaLC iaLB iaRT iaRC iaRB iaTL iaTC iaTR iaBL iaBC iaBR")
PV_ENUM_NAMES(TkxOcNodeShape, "nsRectangle nsRoundedRectangle nsEllipse nsDiamond")
PV_ENUM_NAMES(TkxOcChildAlignment, "oaLeft oaCenter oaRight")

// The result of a hit test, a byte of flags.
using TkxOcHitZones = Byte;
constexpr TkxOcHitZones hzNowhere = 1, hzLeft = 2, hzRight = 4, hzAbove = 8, hzBelowCollapsed = 16, hzOnBox = 32,
                        hzOnShape = 64, hzOnButton = 128;

// The axis whose extent caches a change invalidates.
enum TkxOcAxis { ocaAcross = 0, ocaDown = 1, ocaBoth = 2 };

using TkxOcEvent = TEvent<void(TObject* Sender, TkxOcNode* Node)>;
using TkxOcAllowEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, bool& Allow)>;
using TkxOcFontEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, TFont* Font)>;
using TkxOcDrawEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, TCanvas* ACanvas, const TRect& Rect)>;
using TkxOcGetTextEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, AnsiString& Text)>;
using TkxOcSetTextEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, const AnsiString& Text)>;
using TkxOcEditedEvent = TEvent<void(TObject* Sender, TkxOcNode* Node, AnsiString& Text)>;

// The size of a node's attribute record (ReadData / WriteData).
constexpr int kxOcNodeRecordSize = 13;

class TkxOcNode : public TObject {
  PV_CLASS(TkxOcNode, TObject)
 public:
  explicit TkxOcNode(TkxCustomOrgChart* AOwner);
  ~TkxOcNode() override;
  // Freeing a node from outside deletes it (and its subtree) through its chart.
  void BeforeDestruction() override;

  TkxCustomOrgChart* Owner() const { return FOwner; }
  int Count() const { return FChildren ? int(FChildren->size()) : 0; }
  TkxOcNode* Items(int I) const;
  // Nil for a top-level node (its parent link is the chart's hidden root).
  TkxOcNode* Parent() const;
  int Index() const { return FIndex; }
  int Data() const { return FData; }
  virtual void SetData(int Value) { FData = Value; }
  bool HasChildren() const { return Count() > 0; }
  void SetHasChildren(bool Value);
  bool IsSelected() const;
  void SetIsSelected(bool Value);
  bool IsVisible() const;
  bool IsDescendantOf(const TkxOcNode* Ancestor) const;
  TkxOcNode* FirstChild() const { return Count() ? (*FChildren)[0] : nullptr; }
  TkxOcNode* LastChild() const { return Count() ? FChildren->back() : nullptr; }
  TkxOcNode* NextSibling() const;
  TkxOcNode* PrevSibling() const;
  TkxOcNode* GetNext() const;
  TkxOcNode* GetPrev() const;
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  void MoveTo(TkxOcNode* Destination, TNodeAttachMode Mode);
  void MakeVisible();
  void DeleteChildren();
  void FitToText(const AnsiString& Text);
  void ApplyEditedText(const AnsiString& Text);
  TRect DisplayRect() const;
  TRect TextRect() const;
  TColor EffectiveColor() const;

  Word Width() const { return FWidth; }
  void SetWidth(Word Value);
  Word Height() const { return FHeight; }
  void SetHeight(Word Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TkxOcNodeShape Shape() const { return FShape; }
  void SetShape(TkxOcNodeShape Value);
  TkxOcChildAlignment ChildAlign() const { return FChildAlign; }
  void SetChildAlign(TkxOcChildAlignment Value);
  SmallInt ImageIndex() const { return FImageIndex; }
  void SetImageIndex(SmallInt Value);
  TkxOcImageAlign ImageAlign() const { return FImageAlign; }
  void SetImageAlign(TkxOcImageAlign Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  AnsiString Text() { return GetText(); }

  virtual void ApplyFont(TFont* Font);
  // The 13-byte attribute record; reading applies it through the setters.
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);
  virtual AnsiString GetText();
  virtual void SetText(const AnsiString& Value);

  // Drops the cached extents along the ancestor chain and relayouts or repaints.
  void SizesChanged(TkxOcAxis Axis);

 protected:
  friend class TkxCustomOrgChart;
  bool Linked() const { return FParent != nullptr; }
  TkxCustomOrgChart* FOwner;
  TkxOcNode* FParent = nullptr;
  std::unique_ptr<std::vector<TkxOcNode*>> FChildren;
  int FIndex = 0;
  int FData = 0;
  Word FWidth = 0, FHeight = 0;
  int FChildrenAcross = 0, FChildrenDown = 0;
  bool FExpanded = false;
  bool FDeleting = false;
  bool FFreeing = false;  // freed from outside: the chart unlinks it without freeing it again
  TkxOcChildAlignment FChildAlign = oaCenter;
  TkxOcNodeShape FShape = nsRectangle;
  TColor FColor = clNone;
  AnsiString FText;
  int FX = 0, FY = 0;
  int FStartX = 0, FStartY = 0;
  SmallInt FImageIndex = -1;
  TkxOcImageAlign FImageAlign = iaNone;
  bool FDrawn = false;
};

// The multi-line edit box that edits a node's caption in place; it grows with
// its text between the limits set when editing begins.
class TkxOcInplaceEdit : public TCustomEdit {
  PV_CLASS(TkxOcInplaceEdit, TCustomEdit)
 public:
  explicit TkxOcInplaceEdit(TComponent* AOwner);
  int MinWidth = 0, MaxWidth = 0, MinHeight = 0, MaxHeight = 0;
  void CreateParams(TCreateParams& Params) override;
  // Grows or shrinks the box around its centre to fit its text.
  void AutoSize();

 protected:
  TkxCustomOrgChart* Chart() const;
  void WMGetDlgCode(TMessage& Message);
  void WMKillFocus2(TMessage& Message);
  void WMKeyDown2(TWMKey& Message);
  void WMChar2(TWMKey& Message);
  void WMKeyUp2(TWMKey& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus2)
    PV_MESSAGE_HANDLER(WM_KEYDOWN, TWMKey, WMKeyDown2)
    PV_MESSAGE_HANDLER(WM_SYSKEYDOWN, TWMKey, WMKeyDown2)
    PV_MESSAGE_HANDLER(WM_CHAR, TWMKey, WMChar2)
    PV_MESSAGE_HANDLER(WM_KEYUP, TWMKey, WMKeyUp2)
  END_MESSAGE_MAP(TCustomEdit)
};

class TkxCustomOrgChart : public TCustomControl {
  PV_CLASS(TkxCustomOrgChart, TCustomControl)
 public:
  explicit TkxCustomOrgChart(TComponent* AOwner);
  ~TkxCustomOrgChart() override;

  // ---- nodes ----
  virtual TkxOcNode* InsertNodeAt(TkxOcNode* Parent, int Data, int Index);
  virtual void MoveNodeTo(TkxOcNode* NewParent, TkxOcNode* Node, int Index);
  virtual void PaintNode(TkxOcNode* Node, TCanvas* ACanvas, const TRect& Rect);
  virtual TkxOcNode* NewNode();
  virtual TkxOcInplaceEdit* NewEditor();
  virtual void NodeAttributesChanged(TkxOcNode* Node) {}
  virtual void SelectionChanged(TkxOcNode* Node);
  virtual void SelectionChanging(TkxOcNode* Node, bool& Allow);
  virtual void DeleteNode(TkxOcNode* Node);
  virtual void BeginEdit();

  TkxOcNode* Add(TkxOcNode* Parent, int Data) { return InsertNodeAt(Parent, Data, -1); }
  TkxOcNode* Insert(TkxOcNode* Before, int Data);
  void Clear();
  void ExpandAll();
  TkxOcNode* FirstNode() const;
  int Count() const { return FCount; }
  TkxOcNode* Selected() const { return FSelected; }
  void SetSelected(TkxOcNode* Node);
  void BeginUpdate();
  void EndUpdate();
  bool InvalidateNode(TkxOcNode* Node);
  void Invalidate() override;
  bool IsEditing() const;
  void EndEdit(bool Accept);
  TkxOcInplaceEdit* Editor() const { return FEditor; }
  // The hidden root (never drawn, never hit).
  TkxOcNode* Root() const { return FRoot; }

  // ---- layout and hit testing ----
  TkxOcNode* NodeAt(int X, int Y);
  TkxOcHitZones HitZonesAt(int X, int Y);
  int LeftEdge();
  int TopEdge();
  void SetLeftEdge(int Value);
  void SetTopEdge(int Value);
  void ScrollTo(int X, int Y);
  int TotalWidth();
  int TotalHeight();
  bool IsZoomed();
  int ScaleValue(int V);
  void LayoutChanged();
  void UpdateLayout();
  // Logical (across, down) from client coordinates and back.
  TPoint ClientToLogical(TPoint P) const;
  TRect ClientToLogical(const TRect& R) const;
  TPoint LogicalToClient(TPoint P) const { return ClientToLogical(P); }
  TRect LogicalToClient(const TRect& R) const { return ClientToLogical(R); }

  // ---- properties ----
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor Value);
  // The line width in use (scaled while zoomed); StoredLineWidth is the setting.
  int LineWidth();
  Word StoredLineWidth() const { return FLineWidth; }
  void SetLineWidth(Word Value);
  TColor SelectedNodeColor() const { return FSelectedNodeColor; }
  void SetSelectedNodeColor(TColor Value);
  TColor SelectedNodeTextColor() const { return FSelectedNodeTextColor; }
  void SetSelectedNodeTextColor(TColor Value);
  Word DefaultNodeWidth() const { return FDefaultNodeWidth; }
  void SetDefaultNodeWidth(Word Value);
  Word DefaultNodeHeight() const { return FDefaultNodeHeight; }
  void SetDefaultNodeHeight(Word Value);
  // The gaps in use: IndentX reads the gap across, IndentY the gap down (scaled).
  int IndentX();
  int IndentY();
  Word StoredIndentX() const { return FIndentX; }
  Word StoredIndentY() const { return FIndentY; }
  void SetIndentX(Word Value);
  void SetIndentY(Word Value);
  TkxOcOptions Options() const { return FOptions; }
  void SetOptions(TkxOcOptions Value);
  TkxOcEditMode EditMode() const { return FEditMode; }
  void SetEditMode(TkxOcEditMode Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TkxOcImageAlign DefaultImageAlign() const { return FDefaultImageAlign; }
  void SetDefaultImageAlign(TkxOcImageAlign Value) { FDefaultImageAlign = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool Rotated() const { return FRotated; }
  void SetRotated(bool Value);
  bool Zoom() const { return FZoom; }
  void SetZoom(bool Value);
  // Whether an expand or collapse animation is running.
  bool Animating() const { return FAnimNode != nullptr; }

  TkxOcEvent OnCreateNode, OnChange, OnCollapsed, OnDeletion, OnExpanded;
  TkxOcAllowEvent OnChanging, OnCollapsing, OnExpansion, OnEditing;
  TkxOcEditedEvent OnEdited;
  TkxOcFontEvent OnSetFont;
  TkxOcDrawEvent OnDrawNode;
  TkxOcGetTextEvent OnGetText;
  TkxOcSetTextEvent OnSetText;

  // ---- geometry of one node (logical, scaled) ----
  int NodeEffWidth(const TkxOcNode* N);
  int NodeEffHeight(const TkxOcNode* N);
  bool Has3DEdge(const TkxOcNode* N) const;
  int ExtentA(const TkxOcNode* N);
  int ExtentD(const TkxOcNode* N);
  int SlotWidth(TkxOcNode* N);
  int SubtreeDepth(TkxOcNode* N);
  int RowDepth(const TkxOcNode* N);
  int ChildrenAcross(TkxOcNode* N);
  int GapAcross();
  int GapDown();
  bool ShowsButton(TkxOcNode* N);
  // The logical start of a node's slot (false for a node not in the tree).
  bool NodeSlot(const TkxOcNode* N, int& X, int& Y);
  // Runs the text routine: draws (BaseFlags 0) or measures (DT_CALCRECT).
  void NodeTextOut(HDC DC, const AnsiString& Text, UINT BaseFlags, TRect& R);
  // A node's text area inside the client rectangle R of its box (with the
  // connector gap): R less the shape's inset and the gap.
  TRect TextRectFrom(const TkxOcNode* N, TRect R);
  // Where a node's image goes inside the text area R (which loses the
  // image's strip); false when the node shows no image.
  bool PlaceImage(const TkxOcNode* N, TRect& R, TPoint& At, TSize& Size);

 protected:
  friend class TkxOcNode;
  friend class TkxOcInplaceEdit;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;

  void WMGetDlgCode(TMessage& Message);
  void WMLButtonDblClk2(TWMMouse& Message);
  void WMSetFocus2(TMessage& Message);
  void WMKillFocus2(TMessage& Message);
  void WMEraseBkgnd2(TWMEraseBkgnd& Message);
  void WMSize2(TWMSize& Message);
  void WMHScroll2(TMessage& Message);
  void WMVScroll2(TMessage& Message);
  void WMTimer(TMessage& Message);
  void CMCtl3DChanged2(TMessage& Message);

  // ---- internals ----
  struct TOcDeleteFrame {
    TkxOcNode* Node;
    int Next;  // the next child to delete
  };
  void DeleteSubtree(TkxOcNode* Top);
  void ForgetNode(TkxOcNode* Node);
  void LinkNode(TkxOcNode* Parent, TkxOcNode* Node, int Index);
  void UnlinkNode(TkxOcNode* Node);
  void ClearCaches(TkxOcNode* N, TkxOcAxis Axis);
  void GlobalSizesChanged(TkxOcAxis Axis);
  int FullSlotWidth(TkxOcNode* N);
  int FullChildrenAcross(TkxOcNode* N);
  int FullChildrenDown(TkxOcNode* N);
  template <typename Cache, typename Value, typename Combine>
  int RowExtent(TkxOcNode* N, Cache Field, Value Of, Combine Add);
  // The depth of the shown rows below a node (scaled).
  int ChildrenDown(TkxOcNode* N);
  int FullSubtreeDepth(TkxOcNode* N);
  int ChildOffset(TkxOcNode* N, int SlotW);
  int BoxOffset(const TkxOcNode* N, int SlotW);
  TkxOcNode* HitNodeOf(TkxOcNode* N) const { return N == FRoot ? nullptr : N; }
  void HitTest(int X, int Y);
  bool HitWalk(TkxOcNode* N, int X, int Y, TPoint L);
  bool ShapeContains(TkxOcNode* N, const TRect& Box, TPoint L);
  void UpdateScrollBars();
  void ScrollMessage(int Bar, TMessage& Message);
  TPoint MinimumNodeSize() const;
  void InvalidateSlotArea(TkxOcNode* N);
  bool NodeShowsImage(const TkxOcNode* N) const;
  // Painting.
  void PositionPass(TkxOcNode* N, int X, int Y, bool Start, const TRect& Clip);
  TPoint DrawTree(TkxOcNode* N, TCanvas* C, const TRect& Clip, const TRect& ClientClip);
  TPoint FinishNode(TkxOcNode* N, TCanvas* C, const TRect& Clip, const TRect& ClientClip, const TRect& R, TPoint Conn,
                    bool Kids, int Left, int Right, int BusY);
  void DrawFrame(TCanvas* C, const TRect& Clip, const TRect& ClientClip);
  void SetLinePen(TCanvas* C);
  void LogicalLine(TCanvas* C, int X1, int Y1, int X2, int Y2);
  void DrawButton(TCanvas* C, TPoint Anchor, bool Expanded);
  bool StartAnimation(TkxOcNode* N);
  void StopAnimation();
  // Input.
  bool TrySelect(TkxOcNode* N);
  TkxOcNode* VisiblePrev(TkxOcNode* N);
  TkxOcNode* VisibleNext(TkxOcNode* N);
  void SelectByKey(TkxOcNode* (TkxCustomOrgChart::*Step)(TkxOcNode*));
  TkxOcNode* StepUp(TkxOcNode* N) { return VisiblePrev(N); }
  TkxOcNode* StepDown(TkxOcNode* N) { return VisibleNext(N); }
  TkxOcNode* StepLeft(TkxOcNode* N);
  TkxOcNode* StepRight(TkxOcNode* N);
  void InsertByKey(bool Child);
  void DrawDragFeedback();
  void SetAutoScroll(int DX, int DY);
  void AutoScrollTick();
  void EditorKeyDown(Word Key, TShiftState Shift);
  void ImagesChanged(TObject* Sender);

  TkxOcNode* FRoot = nullptr;
  int FCount = 0;
  std::vector<TOcDeleteFrame>* FDeleteStack = nullptr;  // the running deletion's nodes
  TkxOcNode* FSelected = nullptr;
  // the hit cache
  int FHitX = 0, FHitY = 0;
  TkxOcNode* FHitNode = nullptr;
  TkxOcHitZones FHitZones = 0;
  // animation
  TkxOcNode* FAnimNode = nullptr;
  std::unique_ptr<TBitmap> FAnimBitmap;
  int FAnimStep = 0;
  bool FAnimTimer = false;
  std::unique_ptr<TFont> FPaintFont;
  // scrolling and zoom
  int FLeftEdge = 0, FTopEdge = 0;
  int FUpdateCount = 0;
  int FScaleSuspend = 1;
  int FZoomNum = 1, FZoomDen = 1;
  // editing and dragging
  TkxOcInplaceEdit* FEditor = nullptr;
  bool FEnding = false;
  TkxOcNode* FDropTarget = nullptr;
  TPoint FDragPt, FTargetPt;
  TkxCustomOrgChart* FFeedbackSource = nullptr;
  SmallInt FScrollDX = 0, FScrollDY = 0;
  bool FAutoScrollOn = false;
  bool FAutoScrollReleased = false;
  // flags
  bool FLayoutDirty = true;
  bool FInvalidatePending = false;
  bool FMouseArmed = false;
  bool FAutoScrollStopped = false;
  bool FSuppressAnimation = false;
  bool FDestroying = false;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  // properties
  TColor FLineColor = clBlack;
  Word FLineWidth = 1;
  TColor FSelectedNodeColor = clHighlight;
  TColor FSelectedNodeTextColor = clHighlightText;
  Word FDefaultNodeWidth = 64, FDefaultNodeHeight = 40;
  Word FIndentX = 16, FIndentY = 16;
  TkxOcOptions FOptions;
  TkxOcEditMode FEditMode = {emWrap};
  TCustomImageList* FImages = nullptr;
  TkxOcImageAlign FDefaultImageAlign = iaNone;
  TBorderStyle FBorderStyle = bsSingle;
  bool FRotated = false;
  bool FZoom = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus2)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus2)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd2)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize2)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll2)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll2)
    PV_MESSAGE_HANDLER(WM_TIMER, TMessage, WMTimer)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged2)
  END_MESSAGE_MAP(TCustomControl)
};
