// The class-library wrappers of the common controls: TCustomTreeView and
// TTreeView over the "SysTreeView32" window, with TTreeNodes and TTreeNode.
//
// A node lives as long as its window item: the item's lParam is the node, and
// the item's deletion notice frees the node. Moving a node re-inserts its item
// (and its children's) at the new place, so every move is seen as insert-item
// messages by descendants that watch the window.
#pragma once
#include <memory>
#include <vector>
#include "platform/controls/commctrl.h"
#include "platform/controls/controls.h"
#include "platform/controls/imglist.h"

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum TAddMode { taAddFirst, taAdd, taInsert };
enum TSortType { stNone, stData, stText, stBoth };
enum THitTest {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
  htOnStateIcon, htToLeft, htToRight
};
using THitTests = TSet<THitTest>;
enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TTreeNodeStateItem { nsCut, nsDropHilited, nsFocused, nsSelected, nsExpanded };
using TTreeNodeState = TSet<TTreeNodeStateItem>;
PV_ENUM_NAMES(TNodeAttachMode, "naAdd naAddFirst naAddChild naAddChildFirst naInsert")
PV_ENUM_NAMES(TSortType, "stNone stData stText stBoth")

using TTVChangingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TEvent<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;
using TTVExpandingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = TEvent<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVCustomDrawEvent = TEvent<void(TCustomTreeView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    TEvent<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    TEvent<void(TCustomTreeView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    TEvent<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                bool& PaintImages, bool& DefaultDraw)>;
// Compares two nodes' lParams (the nodes) for CustomSort.
using PFNTVCOMPARE_NODES = int (*)(LPARAM Node1, LPARAM Node2, LPARAM Data);

class TTreeNode : public TPersistent {
  PV_CLASS(TTreeNode, TPersistent)
 public:
  explicit TTreeNode(TTreeNodes* AOwner = nullptr);
  ~TTreeNode() override;
  void Assign(TPersistent* Source) override;

  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;
  HWND Handle() const;
  HTREEITEM ItemId() const { return FItemId; }

  AnsiString Text() const { return FText; }
  void SetText(const AnsiString& Value);
  void* Data() const { return FData; }
  void SetData(void* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int Value);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int Value);
  bool HasChildren() const;
  void SetHasChildren(bool Value);
  bool Expanded() const { return GetState(nsExpanded); }
  void SetExpanded(bool Value);
  bool Selected() const { return GetState(nsSelected); }
  void SetSelected(bool Value);
  bool Focused() const { return GetState(nsFocused); }
  void SetFocused(bool Value);
  bool DropTarget() const { return GetState(nsDropHilited); }
  void SetDropTarget(bool Value);
  bool Cut() const { return GetState(nsCut); }
  void SetCut(bool Value);
  bool Deleting() const { return FDeleting; }

  int Count() const;
  TTreeNode* Item(int Index) const;
  TTreeNode* Parent() const;
  int Index() const;
  int Level() const;
  int AbsoluteIndex() const;
  bool IsVisible() const;
  bool HasAsParent(const TTreeNode* Value) const;
  int IndexOf(const TTreeNode* Value) const;

  TTreeNode* GetFirstChild() const;
  TTreeNode* getFirstChild() const { return GetFirstChild(); }
  TTreeNode* GetLastChild() const;
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* getNextSibling() const { return GetNextSibling(); }
  TTreeNode* GetPrevSibling() const;
  TTreeNode* getPrevSibling() const { return GetPrevSibling(); }
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  TTreeNode* GetNextChild(const TTreeNode* Value) const { return Value ? Value->GetNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(const TTreeNode* Value) const { return Value ? Value->GetPrevSibling() : nullptr; }

  // Moves the node with its subtree; a move onto itself or into its own
  // subtree does nothing.
  virtual void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  void Delete();
  void DeleteChildren();
  bool AlphaSort(bool ARecurse = false);
  bool CustomSort(PFNTVCOMPARE_NODES SortProc, LPARAM Data, bool ARecurse = false);
  void Collapse(bool Recurse);
  void Expand(bool Recurse);
  void MakeVisible();
  bool EditText();
  void EndEdit(bool Cancel);
  // The item's rectangle (only the label when TextOnly); empty when hidden.
  TRect DisplayRect(bool TextOnly) const;

 protected:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  bool GetState(TTreeNodeStateItem S) const;
  void SetStateBit(UINT Bit, bool Value);
  void ExpandItem(bool Expand, bool Recurse);
  void InternalMove(TTreeNode* ParentNode, TTreeNode* Node, HTREEITEM HItem, TAddMode AddMode);
  void UpdateItem(UINT Mask);

  TTreeNodes* FOwner;
  AnsiString FText;
  void* FData = nullptr;
  HTREEITEM FItemId = nullptr;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
  int FOverlayIndex = -1;
  int FStateIndex = -1;
  bool FDeleting = false;
  bool FInTree = true;
};

class TTreeNodes : public TPersistent {
  PV_CLASS(TTreeNodes, TPersistent)
 public:
  explicit TTreeNodes(TCustomTreeView* AOwner = nullptr) : FOwner(AOwner) {}
  ~TTreeNodes() override;
  void Assign(TPersistent* Source) override;

  TCustomTreeView* Owner() const { return FOwner; }
  HWND Handle() const;
  int Count() const;
  // The node at an absolute index (depth-first order).
  TTreeNode* Item(int Index) const;
  TTreeNode* operator[](int Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const;
  TTreeNode* GetNode(HTREEITEM ItemId) const;

  TTreeNode* Add(TTreeNode* Sibling, const AnsiString& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const AnsiString& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const AnsiString& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr);
  // Before Sibling (at the end of the top level when Sibling is nil).
  TTreeNode* Insert(TTreeNode* Sibling, const AnsiString& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

 protected:
  friend class TTreeNode;
  friend class TCustomTreeView;
  bool Ready() const;
  TTreeNode* InternalAddObject(TTreeNode* Node, const AnsiString& S, void* Ptr, TAddMode AddMode);
  HTREEITEM AddItem(HTREEITEM Parent, HTREEITEM Target, TTreeNode* Node, TAddMode AddMode);

  TCustomTreeView* FOwner;
  int FUpdateCount = 0;
};

class TCustomTreeView : public TWinControl {
  PV_CLASS(TCustomTreeView, TWinControl)
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return FTreeNodes.get(); }
  void SetItems(TTreeNodes* Value) { FTreeNodes->Assign(Value); }
  TTreeNode* Selected();
  void SetSelected(TTreeNode* Value);
  TTreeNode* TopItem();
  void SetTopItem(TTreeNode* Value);
  TTreeNode* DropTarget();
  void SetDropTarget(TTreeNode* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);
  int Indent();
  void SetIndent(int Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value);
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool Value) { FAutoExpand = Value; }
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(int Value) { FChangeDelay = Value; }

  TTreeNode* GetNodeAt(int X, int Y);
  THitTests GetHitTestInfoAt(int X, int Y);
  bool IsEditing();
  void FullExpand();
  void FullCollapse();
  bool AlphaSort(bool ARecurse = true);
  bool CustomSort(PFNTVCOMPARE_NODES SortProc, LPARAM Data, bool ARecurse = true);
  // The image list of the node being dragged (made when a drag starts).
  TDragImageList* GetDragImages() override;

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCompareEvent OnCompare;
  TTVCustomDrawEvent OnCustomDraw;
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

  // The canvas custom-draw handlers paint on (valid during the events).
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  virtual bool CanChange(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual TTreeNode* CreateNode();
  virtual void Delete(TTreeNode* Node);
  virtual void Edit(const TVITEMA& Item);
  virtual void Expand(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
  virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
  virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool& PaintImages);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TTreeNode* GetNodeFromItem(const TVITEMA& Item) const;
  void SetStyleBit(DWORD Bit, bool On);
  void ImageListChange(TObject* Sender);

  void WndProc(TMessage& Message) override;
  void CNNotify(TWMNotify& Message);
  void WMLButtonDown(TWMMouse& Message);
  void WMContextMenu(TMessage& Message);

  std::unique_ptr<TTreeNodes> FTreeNodes;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TChangeLink> FImageChangeLink, FStateChangeLink;
  std::unique_ptr<TDragImageList> FDragImage;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TTreeNode* FDragNode = nullptr;
  TTreeNode* FRClickNode = nullptr;
  bool FDragged = false;
  bool FInPress = false;  // the window is handling a left press
  bool FManualNotify = false;
  bool FShowButtons = true, FShowLines = true, FShowRoot = true, FReadOnly = false, FHideSelection = true;
  bool FRowSelect = false, FHotTrack = false, FToolTips = true, FAutoExpand = false, FRightClickSelect = false;
  int FIndent = 19;
  TSortType FSortType = stNone;
  TBorderStyle FBorderStyle = bsSingle;
  int FChangeDelay = 0;
  TTreeNode* FLastDropTarget = nullptr;
  // nodes kept while the window is re-created
  // A node kept while the window is re-created; the nodes are kept in one
  // list in pre-order, each with its depth, so that no depth of tree needs
  // recursion to save, restore or free them.
  struct SavedNode {
    AnsiString Text;
    void* Data;
    int Image, Selected, Overlay, State;
    bool HasChildren, Expanded;
    int Level;
  };
  std::vector<SavedNode> FSaved;
  bool FRestoring = false;
  bool FSilentDelete = false;  // nodes go without deletion events (window re-created)
  void SaveNodes(TTreeNode* First, std::vector<SavedNode>& Out);
  void RestoreNodes(TTreeNode* Parent, const std::vector<SavedNode>& In);

  // The items are drawn in the font's colour.
  void CMFontChangedTree(TMessage& Message);
  void UpdateTextColor();

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChangedTree)
    PV_MESSAGE_HANDLER(CN_NOTIFY, TWMNotify, CNNotify)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
  END_MESSAGE_MAP(TWinControl)
};

class TTreeView : public TCustomTreeView {
  PV_CLASS(TTreeView, TCustomTreeView)
 public:
  using OwnerType = TComponent;
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ---- page control ----
class TPageControl;
using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// One page of a TPageControl; only the active page is shown.
class TTabSheet : public TWinControl {
  PV_CLASS(TTabSheet, TWinControl)
 public:
  using OwnerType = TComponent;
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The position among the visible tabs (-1 when the tab is hidden).
  int TabIndex() const;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  void SetParent(TWinControl* AParent) override;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  friend class TPageControl;
  void SetTextValue(const AnsiString& Value) override;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  int FImageIndex = 0;
};

// Pages with a row of tabs on top, drawn in the classic look.
class TPageControl : public TCustomControl {
  PV_CLASS(TPageControl, TCustomControl)
 public:
  using OwnerType = TComponent;
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Value);
  int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
  void SetActivePageIndex(int Value);
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward);
  // The visible tab under a client point (-1: none) and a tab's rectangle.
  int IndexOfTabAt(int X, int Y);
  TRect TabRect(int TabIndex);
  int TabHeight();
  void SetTabHeight(int Value);
  void AdjustClientRect(TRect& Rect) override;
  // Called before the user changes the page; AllowChange false keeps it.
  TTabChangingEvent OnChanging;
  // Called after the user changed the page.
  TNotifyEvent OnChange;

 protected:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int NewIndex);
  void PagesChanged();
  // A page change asked for by the user: OnChanging, the change, OnChange.
  void ChangeActivePage(TTabSheet* Page);
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMDialogKey(TMessage& Message);
  std::vector<TTabSheet*> VisibleTabs() const;
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  int FTabHeight = 0;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey)
  END_MESSAGE_MAP(TCustomControl)
};

// ---- up-down ----
enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
enum TUDBtnType { btNext, btPrev };
PV_ENUM_NAMES(TUDOrientation, "udHorizontal udVertical")
PV_ENUM_NAMES(TUDAlignButton, "udLeft udRight")
using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons that step Position between Min and Max and show it in
// the associated control.
class TUpDown : public TCustomControl {
  PV_CLASS(TUpDown, TCustomControl)
 public:
  using OwnerType = TComponent;
  explicit TUpDown(TComponent* AOwner);
  ~TUpDown() override;
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value) { FWrap = Value; }
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value) { FArrowKeys = Value; }
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  // One step as a button press does (OnChanging, the step, OnClick).
  void Step(TUDBtnType Button);
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void UpdateAssociate();
  void PlaceNextToAssociate();
  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  bool FWrap = false, FThousands = true, FArrowKeys = true;
  TUDOrientation FOrientation = udVertical;
  TUDAlignButton FAlignButton = udRight;
  TWinControl* FAssociate = nullptr;
  int FPressed = -1;  // -1 none, 0 the up/right button, 1 the down/left button
};

// ---- list view ----
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
PV_ENUM_NAMES(TViewStyle, "vsIcon vsSmallIcon vsList vsReport")

class TListItems;
class TCustomListView;

// One entry of a list view: a caption, an image and a pointer of the program.
class TListItem : public TPersistent {
  PV_CLASS(TListItem, TPersistent)
 public:
  explicit TListItem(TListItems* AOwner = nullptr) : FOwner(AOwner) {}
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  int Index() const;
  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  // The item's cell in the client area of its list view.
  TRect DisplayRect() const;
  void MakeVisible();
  void Delete();

 private:
  TListItems* FOwner;
  AnsiString FCaption;
  int FImageIndex = -1;
  void* FData = nullptr;
};

class TListItems : public TPersistent {
  PV_CLASS(TListItems, TPersistent)
 public:
  explicit TListItems(TCustomListView* AOwner = nullptr) : FOwner(AOwner) {}
  ~TListItems() override;
  TListItem* Add();
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  TListItem* Item(int Index) const;
  TListItem* operator[](int Index) const { return Item(Index); }
  int IndexOf(const TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();
  TCustomListView* Owner() const { return FOwner; }

 private:
  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FUpdateCount = 0;
};

using TLVSelectItemEvent = TEvent<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVDeletedEvent = TEvent<void(TObject* Sender, TListItem* Item)>;

// Items laid out left to right in rows: large icons with their captions below
// (vsIcon), or small icons with their captions beside (vsSmallIcon; the list
// and report styles are laid out the same way). One item is selected at most.
class TCustomListView : public TCustomControl {
  PV_CLASS(TCustomListView, TCustomControl)
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;
  TListItems* Items() const { return FItems.get(); }
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TListItem* Selected() const { return FSelected; }
  void SetSelected(TListItem* Value);
  TListItem* ItemFocused() const { return FFocused; }
  void SetItemFocused(TListItem* Value);
  int ItemIndex() const { return FSelected ? FSelected->Index() : -1; }
  void SetItemIndex(int Value);
  // The item whose cell holds the client point, or nullptr.
  TListItem* GetItemAt(int X, int Y);
  // Size of one item's cell in the current style.
  TSize CellSize();
  int ItemsPerRow();
  TRect ItemRect(int Index);
  int TopOffset() const { return FTopOffset; }
  void Scroll(int DY);

  TLVSelectItemEvent OnSelectItem;
  TLVDeletedEvent OnDeletion;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TListItems;
  friend class TListItem;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Resize() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void ItemsChanged();
  void ItemDeleting(TListItem* Item);
  void MakeItemVisible(TListItem* Item);
  int ContentHeight();
  TSize MeasureCell(TCanvas* Canvas);
  void ClampOffset();
  void ImagesChange(TObject* Sender);
  void WMGetDlgCode(TMessage& Message);
  void DoEnter() override;
  void DoExit() override;

  std::unique_ptr<TListItems> FItems;
  TViewStyle FViewStyle = vsIcon;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  std::unique_ptr<TChangeLink> FLargeLink, FSmallLink;
  bool FHideSelection = true;
  TListItem* FSelected = nullptr;
  TListItem* FFocused = nullptr;
  int FTopOffset = 0;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomControl)
};

class TListView : public TCustomListView {
  PV_CLASS(TListView, TCustomListView)
 public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// Registers the classes above with their published properties.
void InitComCtrlsProps();
