// The tree view every tree of the tree-and-chart library derives from: the
// platform tree with Del deleting the selected node (after a confirmation),
// whole subtrees dragged onto other nodes within one tree or between two trees
// of this family (moved, or copied with Ctrl held or when the application
// says so), automatic scrolling while a drag rests on the top or bottom rows,
// a per-node custom-draw event for font and colours, and node tooltips that
// can be switched off.
//
// A drag is shared by all trees of the process: it may start in one tree and
// end in another, so its source node, its drop target and the drag image list
// of the tree it started in are module state (kxDragSourceNode ...).
#pragma once

#include <memory>
#include <vector>

#include "platform/controls/comctrls.h"
#include "platform/controls/graphics.h"

class TCustomkxTreeView;

// Raises a re-entrance flag for the lifetime of the guard and puts back what
// it held.
class TkxFlagGuard {
 public:
  TkxFlagGuard(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
  ~TkxFlagGuard() { FFlag = FOld; }
  TkxFlagGuard(const TkxFlagGuard&) = delete;
  TkxFlagGuard& operator=(const TkxFlagGuard&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

// The drag-copy cursor, loaded from the resource "KXTREEDRAGCOPY" at start-up.
constexpr TCursor crkxTreeDragCopy = -1011;

// String-table entries of the Del confirmation: the question, and what is
// added when the node has nodes below it.
constexpr int kxSDeleteItem = 40301;
constexpr int kxSDeleteSubtree = 40302;

// May refuse a drop target (Destination nil: empty space).
using TDragDropTreeNode = TEvent<void(TTreeNode* Destination, TTreeNode* Source, bool& Accept)>;
// May choose how the dropped nodes are attached to Destination.
using TEndDragTreeNode = TEvent<void(TTreeNode* Destination, TTreeNode* Source, TNodeAttachMode& AttachMode)>;
// Decides whether a drop copies (IsCopy arrives as "Ctrl held").
using TDragDropIsCopy = TEvent<void(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy)>;
// Per-node font and colours while the node is painted.
using TTreeViewCustomDraw =
    TEvent<void(TObject* Sender, TTreeNode* TreeNode, TFont* AFont, TColor& AColor, TColor& ABkColor)>;
// Supplies the text put into the label editor.
using TTreeGetEditingTextEvent = TEvent<void(TObject* Sender, TTreeNode* Node, AnsiString& Text)>;

// A node of this family: moving it under a node goes through a placeholder, so
// that the window re-inserts it (and the tree sees the insertion) as a child.
class TkxTreeNode : public TTreeNode {
  PV_CLASS(TkxTreeNode, TTreeNode)
 public:
  explicit TkxTreeNode(TTreeNodes* AOwner = nullptr) : TTreeNode(AOwner) {}
  ~TkxTreeNode() override;
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) override;
};

// The drag object a tree makes for each drag it starts: the copy cursor while
// Ctrl is held over an accepting target.
class TtmpDragObject : public TDragControlObject {
  PV_CLASS(TtmpDragObject, TDragControlObject)
 public:
  explicit TtmpDragObject(TControl* AControl) : TDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
};

class TCustomkxTreeView : public TCustomTreeView {
  PV_CLASS(TCustomkxTreeView, TCustomTreeView)
 public:
  explicit TCustomkxTreeView(TComponent* AOwner);
  ~TCustomkxTreeView() override;

  bool CanDeleteByKey() const { return FCanDeleteByKey; }
  void SetCanDeleteByKey(bool Value) { FCanDeleteByKey = Value; }
  bool ConfirmDeleteByKey() const { return FConfirmDeleteByKey; }
  void SetConfirmDeleteByKey(bool Value) { FConfirmDeleteByKey = Value; }
  // The selected-image index of every node; -1: none given.
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  bool ShowNodeHint() const { return FShowNodeHint; }
  void SetShowNodeHint(bool Value) { FShowNodeHint = Value; }
  // Raised while the tree itself collects, copies or moves nodes during a drop.
  bool NodeOperation() const { return FNodeOperation; }
  // The drag object of the drag over this tree (nil when none).
  TDragObject* CurrentDragObject() const { return FCurrentDragObject; }

  // Asks, as Del does, whether Node may be deleted; true at once when the
  // tree does not confirm deletions. The tree may be gone when the question
  // returns (its window closed meanwhile), so callers check before going on.
  bool ConfirmDelete(TTreeNode* Node);

  // Focuses only a tree that sits on a form or in a parent window.
  void SetFocus() override;

  TDragDropTreeNode OnDragDropTreeNode;
  TEndDragTreeNode OnEndDragTreeNode;
  TDragDropIsCopy OnDragDropIsCopy;
  TTreeViewCustomDraw OnCustomDraw;
  TTreeGetEditingTextEvent OnGetEditingText;

  // Drops Source (with its subtree) on Destination (nil: the top level) as a
  // copy or a move; the node that now stands for the subtree, or nil.
  TTreeNode* DropNodes(TTreeNode* Source, TTreeNode* Destination, bool IsCopy);

 protected:
  friend class TkxTreeNode;
  // Overridable steps, in this order of introduction.
  virtual void DoCustomDrawNode(TTreeNode* Node, TFont* AFont, TColor& AColor, TColor& ABkColor);
  virtual void GetNodeCopyText(TTreeNode* Node, AnsiString& Text);
  virtual void CopyNodeData(std::vector<TTreeNode*>& SourceNodes, std::vector<TTreeNode*>& NewNodes, bool IsCopy);
  virtual void DoDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
  virtual void DoDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  virtual void CollectSubtree(TTreeNode* Node, std::vector<TTreeNode*>& List);
  virtual bool HasCustomDraw();
  // Whether deleting Node takes nodes below it too (the confirmation says so).
  virtual bool DeletesSubtree(TTreeNode* Node);

  TTreeNode* CreateNode() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;

  void CMDrag(TMessage& Message);
  void CNNotify(TWMNotify& Message);
  void WMNotify(TWMNotify& Message);
  void HideDragImage();
  void ShowDragImage();
  void SetDropHighlight(TTreeNode* Node);
  void DragScroll(TTreeNode* Node);
  void CustomDrawNotify(TWMNotify& Message);

  bool FCanDeleteByKey = true;
  bool FConfirmDeleteByKey = true;
  int FSelectedIndex = -1;
  TDragObject* FCurrentDragObject = nullptr;
  std::unique_ptr<TFont> FDrawFont;
  bool FShowNodeHint = true;
  std::unique_ptr<TtmpDragObject> FOwnDragObject;
  bool FNodeOperation = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_DRAG, TMessage, CMDrag)
    PV_MESSAGE_HANDLER(CN_NOTIFY, TWMNotify, CNNotify)
    PV_MESSAGE_HANDLER(WM_NOTIFY, TWMNotify, WMNotify)
  END_MESSAGE_MAP(TCustomTreeView)
};

// The drag in progress over the trees of this family.
TTreeNode* kxDragSourceNode();
TTreeNode* kxDropTargetNode();
TDragImageList* kxActiveDragImages();

// Installs the drag-copy cursor in the Screen and registers the classes of
// this unit with their published properties (once); part of the program's
// start-up list, after the class library and the resources.
void kxInitTreeViews();
