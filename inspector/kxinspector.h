// The property inspector: a control that shows the visible nodes of its tree
// as rows of two cells (caption and value) split by a draggable divider, in
// one scrolling column or in side-by-side bands. The focused row is edited by
// one live in-place editor; every other value cell is painted by its editor
// class without a window.
//
//   TCustomkxInspector          the tree, layout, painting, keyboard, mouse
//   TCustomkxInspectorControl   rows (components) paired with nodes, complex
//                               rows, the stored row layout ("Data")
//   TkxDBInspector              (kxdbinsp.h) rows bound to dataset fields
#pragma once

#include <memory>
#include <vector>

#include "inplace/kxcntner.h"
#include "inplace/kxeditor.h"
#include "platform/controls/imglist.h"
#include "platform/rtl/streams.h"

class TkxInspectorNode;
class TkxInspectorRowNode;
class TCustomkxInspector;
class TCustomkxInspectorControl;
class TkxInspectorRow;
class TkxInspectorComplexRow;
class TField;
class TCustomIniFile;

enum TkxInspectorPaintStyle { ipsStandard, ipsSimple, ipsExtended, ipsNET, ipsCategorized };
PV_ENUM_NAMES(TkxInspectorPaintStyle, "ipsStandard ipsSimple ipsExtended ipsNET ipsCategorized")

enum TkxInspectorOption {
  ioAutoBandCount, ioAutoWidth, ioBandSizing, ioColumnSizing, ioDrawEndEllipsis, ioDynamicColumnSizing,
  ioEditing, ioEnterThrough, ioRowAutoHeight, ioRowSizing, ioStoreToRegistry, ioTabThrough, ioTabs
};
PV_ENUM_NAMES(TkxInspectorOption,
              "ioAutoBandCount ioAutoWidth ioBandSizing ioColumnSizing ioDrawEndEllipsis ioDynamicColumnSizing "
              "ioEditing ioEnterThrough ioRowAutoHeight ioRowSizing ioStoreToRegistry ioTabThrough ioTabs")
using TkxInspectorOptions = TSet<TkxInspectorOption>;

enum TkxInspectorAttachMode { iamAdd, iamAddChild, iamInsert };

enum TkxInspectorHitCode {
  ihcNowhere, ihcDivider, ihcIndent, ihcButton, ihcImage, ihcCaption, ihcValue, ihcOutside, ihcBandSeparator,
  ihcItemSeparator, ihcRowBottom
};

enum TkxInspectorState { isNormal, isDividerSizing, isPressed, isDragging, isBandSizing, isRowSizing };

using TkxInspectorChangeNodeEvent = TEvent<void(TObject* Sender, TkxInspectorNode* OldNode, TkxInspectorNode* Node)>;
using TkxInspectorRowDrawValue = TEvent<void(TkxInspectorRow* Sender, TCanvas* ACanvas, TRect ARect, AnsiString& AText,
                                             TFont* AFont, TColor& AColor, bool& ADone)>;
using TkxInspectorEditingEvent =
    TEvent<void(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row, bool& Allow)>;
using TkxInspectorEditedEvent = TEvent<void(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row)>;
using TkxInspectorGetEditColor = TEvent<void(TkxInspectorRow* Sender, TColor& AColor)>;
using TkxInspectorGetEditFont = TEvent<void(TkxInspectorRow* Sender, TFont*& AFont)>;

PV_DECLARE_EXCEPTION(EFailureLoadOrderRows, Exception)

// ---------------------------------------------------------------------------
// Nodes

class TkxInspectorNode : public TObject {
  PV_CLASS(TkxInspectorNode, TObject)
 public:
  explicit TkxInspectorNode(TCustomkxInspector* AOwner) : FOwner(AOwner) {}
  ~TkxInspectorNode() override;

  int Count() const { return FChildren ? int(FChildren->size()) : 0; }
  TkxInspectorNode* Items(int Index) const;
  bool HasChildren() const { return Count() > 0; }
  TkxInspectorNode* Parent() const { return FParent; }
  TCustomkxInspector* Owner() const { return FOwner; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  bool Destroying() const { return FDestroying; }
  int Index() const;
  int IndexOf(TkxInspectorNode* Child) const;
  int Level() const;
  bool IsLast() const;
  bool IsVisible() const;
  bool HasAsParent(TkxInspectorNode* Node) const;
  int AbsoluteIndex() const;
  bool Focused() const;
  void SetFocused(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  TkxInspectorNode* GetNext() const;
  TkxInspectorNode* GetPrev() const;
  TkxInspectorNode* GetPriorSiblingOrParent() const;
  TkxInspectorNode* GetLastVisible();
  void MakeVisible();
  void MoveTo(TkxInspectorNode* Destination, TkxInspectorAttachMode Mode);
  void DeleteChildren();

 private:
  friend class TCustomkxInspector;
  // The list the node sits in (its parent's children or the owner's roots).
  std::vector<TkxInspectorNode*>& OwnerList() const;
  void Detach();
  bool FDestroying = false;
  bool FExpanded = false;
  std::unique_ptr<std::vector<TkxInspectorNode*>> FChildren;
  TCustomkxInspector* FOwner = nullptr;
  TkxInspectorNode* FParent = nullptr;
};

class TkxInspectorRowNode : public TkxInspectorNode {
  PV_CLASS(TkxInspectorRowNode, TkxInspectorNode)
 public:
  explicit TkxInspectorRowNode(TCustomkxInspector* AOwner) : TkxInspectorNode(AOwner) {}
  ~TkxInspectorRowNode() override;
  TkxInspectorRow* Row = nullptr;
};

// ---------------------------------------------------------------------------
// Layout records

struct TkxInspectorRowInfo {
  TkxInspectorNode* Node = nullptr;
  int Height = 0;
};

struct TkxInspectorBandInfo {
  int Index = 0;
  TRect BandRect, RowsRect, SeparatorRect, EmptyRect;
  bool LastRowClipped = false;
  std::vector<TkxInspectorRowInfo> Rows;
};

struct TkxInspectorViewInfo {
  TRect ClientRect;
  std::vector<TkxInspectorBandInfo> Bands;
  TRect EmptyRect;
  int BandCount() const { return int(Bands.size()); }
};

struct TkxInspectorCellLayout {
  TRect IndentRect, ButtonRect, ImageRect, CaptionRect, ValueRect;
  int ButtonKind = 0;  // 0 no children, 1 collapsed, 2 expanded
};

// The cell record: one per control, filled for every value cell painted.
class TkxInspectorCellViewData : public TObject {
  PV_CLASS(TkxInspectorCellViewData, TObject)
 public:
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  TColor BkColor = clWindow;
  TColor TextColor = clWindowText;
  TAlignment Alignment = taLeftJustify;
  AnsiString Text;
  int DataLength = 0;
  Byte Reserved = 0;
  bool EndEllipsis = false;
  TkxInspectorNode* Node = nullptr;
  bool Hot = false;
  TRect Bounds;
};

struct TkxInspectorHitInfo {
  TkxInspectorNode* Node = nullptr;
  int AbsoluteIndex = -1;
  TkxInspectorHitCode HitCode = ihcOutside;
  int BandIndex = -1;
  int ItemIndex = -1;
  TRect ItemRect;
};

// The style of every editor the inspector hosts.
class TkxInspectorEditStyle : public TkxEditStyle {
  PV_CLASS(TkxInspectorEditStyle, TkxEditStyle)
 public:
  TkxInspectorEditStyle() = default;
  TkxInspectorEditStyle(TkxInplaceEdit* Edit, TCustomkxInspector* Inspector)
      : TkxEditStyle(Edit), FInspector(Inspector) {}
  TColor GetDefaultBorderColor() const override { return clWindowFrame; }
  TkxEditBorderStyle GetDefaultBorderStyle() const override;
  TkxEditButtonViewStyle GetDefaultButtonStyle() const override;
  TkxEditButtonTransparence GetDefaultButtonTransparence() const override { return ebtNone; }
  TkxEditEdges GetDefaultEdges() const override { return kxAllEdges; }
  bool GetDefaultHotTrack() const override { return false; }
  bool GetDefaultShadow() const override { return false; }

 private:
  TCustomkxInspector* FInspector = nullptr;
};

// ---------------------------------------------------------------------------
// The inspector control

class TCustomkxInspector : public TCustomkxContainer {
  PV_CLASS(TCustomkxInspector, TCustomkxContainer)
 public:
  explicit TCustomkxInspector(TComponent* AOwner);
  ~TCustomkxInspector() override;
  void BeforeDestruction() override;

  // -- tree --
  TkxInspectorNode* Add();
  int Count() const { return int(FRoots.size()); }
  TkxInspectorNode* Items(int Index) const;
  TkxInspectorNode* FirstNode() const { return Items(0); }
  TkxInspectorNode* FocusedNode() const { return FFocusedNode; }
  TkxInspectorNode* TopNode() const { return FTopNode; }
  int FocusedNumber() const;
  int TopIndex() const;
  TkxInspectorNode* LastNode() const;
  int GetAbsoluteCount() const;
  int GetAbsoluteIndex(const TkxInspectorNode* Node) const;
  TkxInspectorNode* GetNodeByAbsoluteIndex(int Index) const;
  TkxInspectorNode* GetNextVisible(const TkxInspectorNode* Node) const;
  bool IsNodeVisible(const TkxInspectorNode* Node) const;
  TkxInspectorNode* GetRootNode(TkxInspectorNode* Node) const;
  void MakeNodeVisible(TkxInspectorNode* Node);
  void FullCollapse();
  void BeginUpdate() { ++FLockUpdate; }
  void EndUpdate();
  int UpdateCount() const { return FLockUpdate; }
  bool IsInspectorDestroying() const { return FDestroying; }
  bool IsLoadingLayout() const { return FLoadingLayout > 0; }

  // -- properties --
  int BandWidth() const { return FBandWidth; }
  void SetBandWidth(int Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  AnsiString ComplexRowSeparator() const { return FComplexRowSeparator; }
  void SetComplexRowSeparator(const AnsiString& Value);
  int DividerPos() const { return FDividerPos; }
  void SetDividerPos(int Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value);
  bool IsGridColorStored() const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int MaxRowTextLineCount() const { return FMaxRowTextLineCount; }
  void SetMaxRowTextLineCount(int Value);
  int MinBandWidth() const { return FMinBandWidth; }
  void SetMinBandWidth(int Value);
  int MinColumnWidth() const { return FMinColumnWidth; }
  void SetMinColumnWidth(int Value);
  TkxInspectorPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TkxInspectorPaintStyle Value);
  AnsiString RegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const AnsiString& Value) { FRegistryPath = Value; }
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int Value);
  bool IsRowHeightStored() const { return FRowHeightAssigned; }
  bool ShowRowHint() const { return FShowRowHint; }
  void SetShowRowHint(bool Value);
  TkxInspectorOptions InternalOptions() const { return FOptions; }
  void SetInternalOptions(TkxInspectorOptions Value);
  TColor ValueColor() const { return FValueColor; }
  void SetValueColor(TColor Value) { FValueColor = Value; Invalidate(); }
  TkxInspectorState State() const { return FState; }
  TkxInspectorChangeNodeEvent OnChangeNode;
  TNotifyEvent OnHideCustomizeForm;
  TNotifyEvent OnShowCustomizeForm;

  // -- bands and metrics --
  int TotalBandCount() const { return FBandCount; }
  int VisibleBandCount() const { return FVisibleBandCount; }
  int FullVisibleBandCount() const { return FFullVisibleBandCount; }
  int FirstVisibleBand() const { return FFirstVisibleBand; }
  int RowsPerPage() const { return FRowsPerPage; }
  int IndentWidth() const { return FIndentWidth; }
  int GridLineWidth() const { return FGridLineWidth; }
  int RowFrameWidth() const { return FRowFrameWidth; }
  int MinRowHeight() const { return FMinRowHeight; }
  int TextHeight() const { return FTextHeight; }
  int CaptionSeparatorWidth() const { return FCaptionSeparatorWidth; }
  int ValueSeparatorWidth() const { return FValueSeparatorWidth; }
  int ImageWidth() const { return FImageWidth; }
  int ImageHeight() const { return FImageHeight; }
  int GetColumnWidth();
  void CalcViewInfo(TkxInspectorViewInfo& Info);
  void GetRowRect(TkxInspectorNode* Node, TRect& Rect, bool ToBottom = false);
  void GetCellLayout(TkxInspectorNode* Node, TRect R, TkxInspectorCellLayout& Layout);
  void InvalidateRow(TkxInspectorNode* Node, bool ToBottom);
  void SetTopIndex(int Index);
  void SetFirstBand(int Band);
  void KeepBottomFilled();
  void CalcBandCounts();
  int BaseRowHeight(TkxInspectorNode* Node);

  // -- editing --
  TkxInplaceEdit* CurrentEditor() const { return FEditor; }
  TkxInspectorNode* EditedNode() const { return FEditedNode; }
  void UpdateEditor(bool Force, bool Reload);
  void HideEditor();
  void PostEditor();
  void ShowEditorIfEditing();
  void EndEdit(bool KeepEditor);
  bool HasFocus();
  bool EditorFocused();
  int FocusedItem() const { return FFocusedItem < 0 ? 0 : FFocusedItem; }
  int StoredFocusedItem() const { return FFocusedItem; }
  void SetFocusedItem(int Index);

  // -- hit testing and mouse --
  void GetHitInfo(TPoint P, TkxInspectorHitInfo& HitInfo);
  TkxInspectorHitCode GetHitTestCode(int X, int Y);
  TkxInspectorNode* GetNodeAt(int X, int Y);
  TkxInspectorNode* HotNode() const { return FHotNode; }
  void CancelSizing();
  TkxContainerHintWindow* HintWindow() const { return FHintWindow; }
  bool HintTimerRunning(int Id) const { return Id == 2 ? FHintTimer2 : FHintTimer3; }
  bool AutoScrollTimerRunning() const { return FScrollTimer; }

  // -- registry layout --
  void LoadFromRegistry(const AnsiString& Key);
  void SaveToRegistry(const AnsiString& Key);
  void LoadFromRegIniFile(TObject* Storage, const AnsiString& Path);
  void SaveToRegIniFile(TObject* Storage, const AnsiString& Path);
  static AnsiString NormalizeRegPath(const AnsiString& Path);

  // -- virtual operations, in slot order --
  virtual bool AcquireFocus() { return true; }
  virtual void NodeAdded(TkxInspectorNode* Node);
  virtual int GetRowsTextHeight(TCanvas* Canvas);
  virtual int GetTextHeight(TCanvas* Canvas);
  virtual void ValidateFocusedItem(int& Index) {}
  virtual void HotTrack(TkxInspectorNode* Node);
  virtual void UpdateFocusedItem() {}
  virtual TkxInspectorNode* CreateNode();
  virtual void NodeDeleted(TkxInspectorNode* Node, TkxInspectorNode* Prev, bool WasVisible, bool WasLast,
                           TkxInspectorNode* Next);
  virtual void DoChangeNode(TkxInspectorNode* OldNode, TkxInspectorNode* Node);
  virtual void DoDragDropNode(TkxInspectorNode* Node) {}
  virtual void DrawCaptionText(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption, TRect R);
  virtual void DrawCaption(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption, TRect CaptionRect,
                           int ButtonKind, TRect ImageRect, TRect ButtonRect, const TkxInspectorCellLayout& Layout);
  virtual void DrawValue(TCanvas* Canvas, TRect ValueRect, TAlignment& Alignment, const AnsiString& Text,
                         TkxInspectorNode* Node);
  virtual void CustomizeFormHidden();
  virtual void CustomizeFormShown();
  virtual void DrawValueCell(TCanvas* Canvas, TRect R, TkxInspectorCellViewData* Cell) {}
  virtual void CalcViewBounds(const TRect& R, TRect& Bounds);
  virtual void RowsChanged() {}
  virtual void GetItemAtPoint(TkxInspectorNode* Node, const TRect& CellRect, TRect& ItemRect, int& ItemIndex,
                              TPoint P);
  virtual void GetDragCaption(TkxInspectorNode* Node, AnsiString& Text);
  virtual int GetImageIndex(TkxInspectorNode* Node) { return -1; }
  virtual int GetRowHeight(TkxInspectorNode* Node);
  virtual void GetNodeStrings(TkxInspectorNode* Node, AnsiString& Caption, AnsiString& Text);
  virtual TColor GetValueFontColor();
  virtual bool TabInsideRow(bool Forward) { return false; }
  virtual bool IsCategory(TkxInspectorNode* Node) { return false; }
  virtual bool IsComplex(TkxInspectorNode* Node) { return false; }
  virtual bool IsCustomizing() { return false; }
  virtual bool CanTabInsideRow(bool Forward) { return false; }
  virtual bool IsHotNode(TkxInspectorNode* Node) { return Node && Node == FHotNode && FState == isNormal; }
  virtual bool HasImage(TkxInspectorNode* Node);
  virtual bool GetHintInfo(TkxInspectorNode* Node, int ItemIndex, bool& Delay, TPoint& P, AnsiString& Text,
                           TRect CellRect, bool IsValue, TRect ItemRect);
  virtual void LayoutChanged();
  virtual void RowListChanged() {}
  virtual void NodeChanged(TkxInspectorNode* Node, bool Full);
  virtual void CalcRowsPerPage();
  virtual void UpdateScrollBars();
  virtual void SetFocusedNode(TkxInspectorNode* Node);
  virtual void SetFocusedNumber(int Index);
  virtual void SetNodeRowHeight(TkxInspectorNode* Node, int Height) {}
  virtual void LoadFromRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path);
  virtual void SaveToRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path);
  virtual bool CanShowEditor();
  virtual TkxInplaceEdit* CreateEditor(TkxInspectorNode* Node);
  virtual void DoEditChange(TkxInspectorRow* Row) {}
  virtual void DoEditValidate(TkxInspectorRow* Row, AnsiString& ErrorText, bool& Accept) {}
  virtual TkxInplaceEdit* GetEditor(TkxInspectorNode* Node) { return FEditor; }
  virtual void GetEditorText(AnsiString& Text);
  virtual void GetEditorRect(TkxInspectorNode* Node, TRect& Rect);
  virtual bool IsDynamicSizing() { return FOptions.Contains(ioDynamicColumnSizing) && FState != isRowSizing; }
  virtual void SetEditorText(const AnsiString& Text);
  virtual void PostEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) {
    Value = Variant(AnsiString());
  }
  virtual void InitEditorProperties(TkxInplaceEdit* Editor);
  virtual void InitEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) {
    Value = Variant(AnsiString());
  }
  virtual void ClearNodes();
  virtual void CancelEditor();

  // -- container overrides --
  bool CanEditModify() override { return true; }
  bool CanEditAcceptKey(char Key) override { return true; }
  bool GetEditOptionDefault() override { return false; }
  TkxEditStyle* CreateEditStyle(TkxInplaceEdit* Edit) override;
  TColor GetEditColor() override { return clWindow; }
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  bool WantsEditorDblClicks() override { return true; }
  bool WantsEditorTabs() override;
  void EditorFocusChanged() override;

  // Key handling (public so that tests and the editor host protocol reach it).
  void HandleKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Loaded() override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoExit() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  TDragImageList* GetDragImages() override { return FDragImages; }

  void TabToNext(bool Forward);
  void HandleExpandKeys(Word Key, TShiftState Shift);
  void InitEditor();
  void PostValue();
  void DrawIndent(TCanvas* Canvas, const TRect& IndentRect, TkxInspectorNode* Node, int ButtonKind,
                  const TRect& ButtonRect);
  void DrawImage(TCanvas* Canvas, const TRect& R, int Index);
  void DrawCellText(TCanvas* Canvas, const TRect& R, TAlignment Alignment, const AnsiString& Text);
  void DrawItemSeparator(TCanvas* Canvas, const TRect& R, bool IsValue);
  void EndPress(bool SameNode);
  void DrawSizingLine();
  void AutoScrollCheck(TPoint P);
  void ShowRowHintAt(bool Delayed);
  void KillHintTimers();
  void ResetHintTarget();
  void BuildDragImage();
  void StartScrollTimer();
  void StopScrollTimer();
  void SizingDesignerModified() {}
  int SizingMinHeight(TkxInspectorNode* Node);
  bool DraggingAllowed();

  // State that the row control shares.
  std::vector<TkxInspectorNode*> FRoots;
  TkxInspectorNode* FFocusedNode = nullptr;
  TkxInspectorNode* FTopNode = nullptr;
  int FLockUpdate = 0;
  int FLoadingLayout = 0;
  bool FDestroying = false;
  bool FInLoaded = false;
  TkxInplaceEdit* FEditor = nullptr;
  TkxInspectorNode* FEditedNode = nullptr;
  int FEditItemIndex = -1;
  int FFocusedItem = -1;
  TkxInspectorCellViewData* FCell = nullptr;
  TkxInspectorHitInfo FHitInfo;

 private:
  friend class TkxInspectorNode;
  void RecalcMetrics();
  void FillBand(TkxInspectorBandInfo& Band, TkxInspectorNode*& Node, bool BandMode);
  void PaintBand(TCanvas* Canvas, TkxInspectorBandInfo& Band);
  void PaintRow(TCanvas* Canvas, TkxInspectorNode* Node, TRect R, bool& DividerFlag);
  void PaintRowGridLine(TCanvas* Canvas, TkxInspectorNode* Node, const TRect& R);
  void PaintCategorizedFrame(TCanvas* Canvas, TkxInspectorNode* Node, const TRect& R,
                             const TkxInspectorCellLayout& L);
  void DrawBoxButton(TCanvas* Canvas, const TRect& R, bool Expanded, TkxInspectorNode* Node);
  void DrawEtchedLine(HDC DC, int X, int Top, int Bottom);
  bool IsRootCategory(TkxInspectorNode* Node);
  bool BelongsToCategory(TkxInspectorNode* Node);
  void ImagesChanged(TObject* Sender);
  int BandOfNode(TkxInspectorNode* Node);
  TkxInspectorNode* FirstNodeOfBand(int Band);
  int ClampDivider(int Value, int ColumnWidth);

  void WMSize(TWMSize& Message);
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMCancelMode(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMShowHintChanged(TMessage& Message);

  int FBandWidth = 200;
  TBorderStyle FBorderStyle = bsSingle;
  AnsiString FComplexRowSeparator;
  int FDividerPos = 75;
  bool FFlat = false;
  TColor FGridColor = clBtnShadow;
  TCustomImageList* FImages = nullptr;
  int FMaxRowTextLineCount = 3;
  int FMinBandWidth = 43;
  int FMinColumnWidth = 30;
  TkxInspectorPaintStyle FPaintStyle = ipsStandard;
  AnsiString FRegistryPath;
  int FRowHeight = 0;
  bool FRowHeightAssigned = false;
  bool FShowRowHint = false;
  TkxInspectorOptions FOptions;
  int FBandCount = 1, FVisibleBandCount = 1, FFullVisibleBandCount = 1, FFirstVisibleBand = 0;
  int FRememberedDivider = 75, FRememberedColumnWidth = -1;
  int FIndentWidth = 0, FButtonWidth = 10, FCaptionSeparatorWidth = 0, FValueSeparatorWidth = 0;
  int FGridLineWidth = 1, FRowFrameWidth = 0, FMinRowHeight = 0, FTextHeight = 0;
  int FImageWidth = 0, FImageHeight = 0;
  int FRowsPerPage = 1, FRowsShown = 1;
  bool FResizing = false;
  TkxInspectorState FState = isNormal;
  int FSizingBand = -1, FSizingPos = 0, FSizingSaved = 0;
  bool FSizingLineShown = false;
  TkxInspectorNode* FSizingNode = nullptr;
  TkxInspectorNode* FPressedNode = nullptr;
  TPoint FPressPoint{0, 0};
  TkxInspectorNode* FHotNode = nullptr;
  TkxInspectorNode* FDragNode = nullptr;
  TkxInspectorNode* FHintNode = nullptr;
  TkxInspectorHitCode FHintCode = ihcOutside;
  int FHintItem = -1;
  bool FHintTimer2 = false, FHintTimer3 = false, FScrollTimer = false;
  TkxContainerHintWindow* FHintWindow = nullptr;
  TDragImageList* FDragImages = nullptr;
  TPoint FNCHitPoint{0, 0};
  int FClickItemIndex = -1;
  TkxInplaceEdit* FClickEditor = nullptr;
  TkxInspectorNode* FClickNode = nullptr;
  TColor FCategoryColor = clBtnFace;
  TColor FTreeLineColor = clBtnShadow;
  TColor FValueColor = clNavy;
  TChangeLink* FImageChangeLink = nullptr;
  TWinControl* FCustomizeForm = nullptr;
  TRect FCustomizeBounds{-10000, -10000, -10000, -10000};
  // Brushes of one paint pass.
  HBRUSH FGridBrush = nullptr, FTreeLineBrush = nullptr, FBackBrush = nullptr, FCategoryBrush = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll)
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(WM_TIMER, TMessage, WMTimer)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TMessage, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_PARENTFONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged)
    PV_MESSAGE_HANDLER(CM_CANCELMODE, TMessage, CMCancelMode)
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(CM_SHOWHINTCHANGED, TMessage, CMShowHintChanged)
  END_MESSAGE_MAP(TCustomkxContainer)
};

// ---------------------------------------------------------------------------
// Rows

// Bits of a row's assigned flags.
constexpr Byte kxrfCaption = 1, kxrfReadOnly = 2, kxrfMaxLength = 4, kxrfRowHeight = 8;

class TkxInspectorRow : public TComponent {
  PV_CLASS(TkxInspectorRow, TComponent)
 public:
  explicit TkxInspectorRow(TComponent* AOwner);
  ~TkxInspectorRow() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TCustomkxInspectorControl* Inspector() const { return FInspector; }
  void SetInspector(TCustomkxInspectorControl* Value);
  TkxInspectorRowNode* Node() const { return FNode; }
  TkxEditViewData* ViewData() const { return FViewData.get(); }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  AnsiString Caption();
  void SetCaption(const AnsiString& Value);
  bool IsCaptionStored();
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  AnsiString Hint;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool IsCategory() const { return FIsCategory; }
  void SetIsCategory(bool Value);
  int MaxLength();
  void SetMaxLength(int Value);
  bool IsMaxLengthStored() const { return FAssigned & kxrfMaxLength; }
  bool ReadOnly();
  void SetReadOnly(bool Value);
  bool IsReadOnlyStored();
  int RowHeight();
  void SetRowHeight(int Value);
  bool IsRowHeightStored() const { return FAssigned & kxrfRowHeight; }
  bool IsRowHeightAssigned() const { return FAssigned & kxrfRowHeight; }
  bool ShowHint = false;
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  Byte AssignedFlags() const { return FAssigned; }
  void Changed();
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnRename;  // rename hook of a customization window (unpublished)
  TkxInspectorRowDrawValue OnDrawCaption;
  TkxInspectorRowDrawValue OnDrawValue;
  TkxEditValidateEvent OnValidate;

  // -- virtual operations, in slot order --
  virtual void DoChange(TObject* Sender);
  virtual void DoDrawCaption(TCanvas* Canvas, const TRect& R, AnsiString& Text, bool& Done);
  virtual void DoDrawValue(TCanvas* Canvas, const TRect& R, AnsiString& Text, bool& Done);
  virtual void DoEdited();
  virtual void DoValidate(TObject* Sender, AnsiString& ErrorText, bool& Accept);
  virtual void GetDisplayText(AnsiString& Text);
  virtual int GetDataMaxLength() { return 0; }
  virtual void GetDataEditMask(AnsiString& Mask) { Mask.clear(); }
  virtual void GetEditText(AnsiString& Text);
  virtual int GetMinRowHeight(TCanvas* Canvas);
  virtual void SetEditText(const AnsiString& Text);
  virtual void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value);
  virtual const TkxInplaceEditClass* GetEditClass() const { return TkxInplaceTextEdit::ClassRef(); }
  virtual void InitEditProperties(TkxInplaceEdit* Edit);
  virtual void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value);
  virtual bool IsEditValueCurrent(const Variant& Value);
  virtual bool IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text);
  virtual void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell);
  virtual TField* GetField() { return nullptr; }
  virtual void SetField(TField* Field) {}
  virtual void GetFieldName(AnsiString& Name) {}
  virtual void SetFieldName(const AnsiString& Name) {}
  virtual void GetDefaultCaption(AnsiString& Caption) { Caption.clear(); }
  virtual int GetDefaultMaxLength() { return 0; }
  virtual bool GetDefaultReadOnly() { return false; }
  virtual int GetDefaultRowHeight();
  virtual bool CanModify() { return true; }
  virtual bool IsValidChar(char Key) { return true; }
  virtual void RestoreDefaults();
  // The locale's settings changed (the inspector passes CM_WININICHANGE on).
  virtual void WinIniChanged() {}

  // Convenience readers of the virtual value operations.
  AnsiString DisplayText() {
    AnsiString s;
    GetDisplayText(s);
    return s;
  }
  AnsiString EditText() {
    AnsiString s;
    GetEditText(s);
    return s;
  }
  AnsiString FieldName() {
    AnsiString s;
    GetFieldName(s);
    return s;
  }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  void SetName(const AnsiString& Value) override;

 protected:
  friend class TCustomkxInspectorControl;
  friend class TkxInspectorRowNode;
  friend class TkxInspectorComplexRowItem;
  // The inspector's editor-init flag is raised (loading a value fires nothing).
  bool InspectorInitializing() const;
  TCustomkxInspectorControl* FInspector = nullptr;
  TkxInspectorRowNode* FNode = nullptr;
  TAlignment FAlignment = taLeftJustify;
  AnsiString FCaption;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  int FImageIndex = -1;
  bool FIsCategory = false;
  int FMaxLength = 0;
  bool FReadOnly = false;
  int FRowHeight = 0;
  Byte FAssigned = 0;
  char FPasswordChar = 0;
  std::unique_ptr<TkxEditViewData> FViewData;
  bool FVisible = true;
};

class TkxInspectorTextRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorTextRow, TkxInspectorRow)
 public:
  explicit TkxInspectorTextRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  AnsiString Text() const { return FText; }
  void SetText(const AnsiString& Value) {
    FText = Value;
    Changed();
  }
  void GetDisplayText(AnsiString& Text) override { Text = FText; }
  void GetEditText(AnsiString& Text) override { Text = FText; }
  void SetEditText(const AnsiString& Text) override {
    if (Text == FText) return;
    FText = Text;
    Changed();
  }

 protected:
  AnsiString FText;
};

// ---------------------------------------------------------------------------
// Complex rows

class TkxInspectorComplexRowItem : public TCollectionItem {
  PV_CLASS(TkxInspectorComplexRowItem, TCollectionItem)
 public:
  explicit TkxInspectorComplexRowItem(TCollection* Collection);
  bool Fixed() const { return FFixed; }
  void SetFixed(bool Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  TkxInspectorRow* Row() const { return FRow; }
  void SetRow(TkxInspectorRow* Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  void Assign(TPersistent* Source) override;
  AnsiString DisplayName() const override;
  TkxInspectorComplexRow* ComplexRow() const;

 private:
  friend class TkxInspectorComplexRow;
  bool FFixed = false;
  int FMinWidth = 20;
  TkxInspectorRow* FRow = nullptr;
  int FWidth = 50;
};

class TkxInspectorComplexRowItems : public TCollection {
  PV_CLASS(TkxInspectorComplexRowItems, TCollection)
 public:
  explicit TkxInspectorComplexRowItems(TkxInspectorComplexRow* ARow);
  TkxInspectorComplexRowItem* Items(int Index) const {
    return static_cast<TkxInspectorComplexRowItem*>(TCollection::Items(Index));
  }
  TkxInspectorComplexRowItem* Add() { return static_cast<TkxInspectorComplexRowItem*>(TCollection::Add()); }
  int IndexOfRow(TkxInspectorRow* Row) const;
  TPersistent* GetOwner() const override;
  TkxInspectorComplexRow* ComplexRow() const { return FRow; }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TkxInspectorComplexRow* FRow;
};

class TkxInspectorComplexRow : public TkxInspectorTextRow {
  PV_CLASS(TkxInspectorComplexRow, TkxInspectorTextRow)
 public:
  explicit TkxInspectorComplexRow(TComponent* AOwner);
  ~TkxInspectorComplexRow() override;
  TkxInspectorComplexRowItems* Items() const { return FItems.get(); }
  void SetItems(TkxInspectorComplexRowItems* Value) { FItems->Assign(Value); }
  void Assign(TPersistent* Source) override;
  void ReleaseRow(TkxInspectorRow* Row);

 private:
  std::unique_ptr<TkxInspectorComplexRowItems> FItems;
};

// One slot of the layout of a complex row.
struct TkxInspectorComplexRowViewInfoItem {
  TRect Rect;
  bool Fixed = false;
  int MinWidth = 0;
  TkxInspectorRow* Row = nullptr;
  bool Separator = false;
  int Width = 0;
};

// The slots of one complex row in one rect: item, separator, item, ...
class TkxInspectorComplexRowViewInfo {
 public:
  TkxInspectorComplexRowViewInfo(TkxInspectorComplexRow* Row, int SeparatorWidth)
      : FRow(Row), FSeparatorWidth(SeparatorWidth) {}
  void Calculate(const TRect& R);
  int Count() const { return int(FItems.size()); }
  const TkxInspectorComplexRowViewInfoItem& Items(int I) const { return FItems[std::size_t(I)]; }

 private:
  TkxInspectorComplexRow* FRow;
  int FSeparatorWidth;
  std::vector<TkxInspectorComplexRowViewInfoItem> FItems;
};

// ---------------------------------------------------------------------------
// The row control

class TCustomkxInspectorControl : public TCustomkxInspector {
  PV_CLASS(TCustomkxInspectorControl, TCustomkxInspector)
 public:
  explicit TCustomkxInspectorControl(TComponent* AOwner);
  ~TCustomkxInspectorControl() override;
  void BeforeDestruction() override;

  int RowCount() const { return int(FRows.size()); }
  TkxInspectorRow* Rows(int Index) const { return FRows[std::size_t(Index)]; }
  // Passes locale changes on to the rows.
  void WndProc(TMessage& Message) override;
  int VisibleRowCount() const;
  TkxInspectorRow* AddRow(TClass RowClass);
  TkxInspectorRow* CreateRow(TClass RowClass);
  TkxInspectorRow* FindRowByName(const AnsiString& Name) const;
  void FreeAllRows();
  bool IsCreating() const { return FCreating; }
  bool IsRowInComplexRow(TkxInspectorRow* Row) const;
  TkxInspectorRow* GetEditedRow(TkxInspectorNode* Node);
  TkxInspectorRow* FocusedRow();
  void HideInvisibleRows();
  TClass NewNodeRowClass = nullptr;  // row class for nodes added with Add (none: GetDefaultRowClass)
  const Variant& StartValue() const { return FStartValue; }
  int EditorCacheCount() const { return int(FEditors.size()); }
  TkxInplaceEdit* EditorCache(int I) const { return FEditors[std::size_t(I)]; }
  int CalcAutoRowHeight(TkxInspectorRow* Row);

  // -- layout stream --
  void WriteLayoutData(TStream* Stream);
  void ReadLayoutData(TStream* Stream);
  void ApplyLayoutData();
  void LoadLayoutFromStream(TStream* Stream);
  void SaveLayoutToStream(TStream* Stream) { WriteLayoutData(Stream); }

  TkxInspectorRowDrawValue OnDrawCaption;
  TkxInspectorRowDrawValue OnDrawValue;
  TNotifyEvent OnEditChange;
  TkxInspectorEditingEvent OnEditing;
  TkxInspectorEditedEvent OnEdited;
  TkxEditValidateEvent OnEditValidate;
  TkxInspectorGetEditColor OnGetEditColor;
  TkxInspectorGetEditFont OnGetEditFont;

  // -- virtual operations added, in slot order --
  virtual void RestoreFromRegistry();
  virtual void StoreToRegistry();
  virtual TClass GetDefaultRowClass() { return TkxInspectorRow::StaticClass(); }
  virtual bool HasLayoutData() { return true; }
  virtual void RowChanged();
  virtual bool CompareRowValue(const Variant& Value, TkxInspectorRow* Row) { return false; }
  virtual void AssignRows(TCustomkxInspectorControl* Source);
  virtual void ClearRows();

  // -- overrides --
  TkxInspectorNode* CreateNode() override;
  void NodeAdded(TkxInspectorNode* Node) override;
  void GetNodeStrings(TkxInspectorNode* Node, AnsiString& Caption, AnsiString& Text) override;
  int GetImageIndex(TkxInspectorNode* Node) override;
  bool IsCategory(TkxInspectorNode* Node) override;
  bool IsComplex(TkxInspectorNode* Node) override;
  int GetRowsTextHeight(TCanvas* Canvas) override;
  int GetRowHeight(TkxInspectorNode* Node) override;
  void SetNodeRowHeight(TkxInspectorNode* Node, int Height) override;
  void RowsChanged() override;
  TkxInplaceEdit* CreateEditor(TkxInspectorNode* Node) override;
  TkxInplaceEdit* GetEditor(TkxInspectorNode* Node) override;
  bool CanShowEditor() override;
  void InitEditorProperties(TkxInplaceEdit* Editor) override;
  void InitEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) override;
  void PostEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) override;
  void DoEditChange(TkxInspectorRow* Row) override;
  void DoEditValidate(TkxInspectorRow* Row, AnsiString& ErrorText, bool& Accept) override;
  TColor GetEditColor() override;
  TFont* GetEditFont() override;
  void DrawCaption(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption, TRect CaptionRect,
                   int ButtonKind, TRect ImageRect, TRect ButtonRect, const TkxInspectorCellLayout& Layout) override;
  void DrawCaptionText(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption, TRect R) override;
  void DrawValue(TCanvas* Canvas, TRect ValueRect, TAlignment& Alignment, const AnsiString& Text,
                 TkxInspectorNode* Node) override;
  void DrawValueCell(TCanvas* Canvas, TRect R, TkxInspectorCellViewData* Cell) override;
  void ValidateFocusedItem(int& Index) override;
  void UpdateFocusedItem() override;
  bool TabInsideRow(bool Forward) override;
  bool CanTabInsideRow(bool Forward) override;
  void GetItemAtPoint(TkxInspectorNode* Node, const TRect& CellRect, TRect& ItemRect, int& ItemIndex,
                      TPoint P) override;
  void GetEditorRect(TkxInspectorNode* Node, TRect& Rect) override;
  void GetDragCaption(TkxInspectorNode* Node, AnsiString& Text) override;
  bool GetHintInfo(TkxInspectorNode* Node, int ItemIndex, bool& Delay, TPoint& P, AnsiString& Text,
                   TRect CellRect, bool IsValue, TRect ItemRect) override;
  void LoadFromRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path) override;
  void SaveToRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path) override;

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override {}
  void SetName(const AnsiString& Value) override;

 protected:
  friend class TkxInspectorRow;
  friend class TkxInspectorComplexRowItem;
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;
  void PaintRowValue(TCanvas* Canvas, TkxInspectorRow* Row, const TRect& R, TkxInspectorCellViewData* Cell);
  int MeasureRowText(TkxInspectorRow* Row, const TRect& ValueRect, const AnsiString& Text);
  void ReleaseRowFromComplexRows(TkxInspectorRow* Row);
  // Pairs a row with a fresh root node.
  void GiveRowNode(TkxInspectorRow* Row);
  void WriteNodeRecord(TStream* Stream, TkxInspectorNode* Node);
  void ApplyChildRecords(TStream* Stream, TkxInspectorNode* Parent, int Count);
  bool FCreating = false;
  std::vector<TkxInspectorRow*> FRows;
  std::vector<TkxInplaceEdit*> FEditors;
  Variant FStartValue;
  std::unique_ptr<TMemoryStream> FLayoutStream;
  std::unique_ptr<TFont> FEditFont;
};

// Cursor numbers of the inspector's cursors in the screen's cursor table.
constexpr TCursor crKxInspInsert = -1128, crKxInspAddChild = -1129, crKxInspAdd = -1130, crKxInspHide = -1141,
                  crKxInspNoDrag = -1142;

void kxInitInspectorControl();
void kxDoneInspectorControl();
