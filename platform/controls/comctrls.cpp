// TCustomTreeView, TTreeNodes and TTreeNode over the tree view window class.
#include "platform/controls/comctrls.h"
#include "platform/controls/menus.h"
#include <algorithm>
#include <unordered_map>
#include "platform/rtl/collation.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace {

TTreeNode* NodeOfItem(HWND h, HTREEITEM item) {
  if (!h || !item) return nullptr;
  TVITEMA tv;
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!TreeView_GetItem(h, &tv)) return nullptr;
  return reinterpret_cast<TTreeNode*>(tv.lParam);
}

// The default order: the tree's OnCompare when assigned, else the texts.
int DefaultTreeViewSort(LPARAM a, LPARAM b, LPARAM tree) {
  auto* n1 = reinterpret_cast<TTreeNode*>(a);
  auto* n2 = reinterpret_cast<TTreeNode*>(b);
  auto* tv = reinterpret_cast<TCustomTreeView*>(tree);
  if (!n1 || !n2) return 0;
  if (tv && tv->OnCompare) {
    int r = 0;
    tv->OnCompare(tv, n1, n2, 0, r);
    return r;
  }
  return AnsiCompareText(n1->Text(), n2->Text());
}

// The default order without OnCompare: the texts in the locale order, each
// node's text decoded once for the whole sort instead of at every comparison.
struct TextSortKeys {
  std::unordered_map<LPARAM, AnsiCollationText> Keys;
  const AnsiCollationText& Of(LPARAM node) {
    auto it = Keys.find(node);
    if (it == Keys.end())
      it = Keys.emplace(node, AnsiCollationPrepare(reinterpret_cast<TTreeNode*>(node)->Text(), true)).first;
    return it->second;
  }
};

int CompareTextSortKeys(LPARAM a, LPARAM b, LPARAM keys) {
  if (!a || !b) return 0;
  auto* k = reinterpret_cast<TextSortKeys*>(keys);
  return AnsiCollatePrepared(k->Of(a), k->Of(b));
}

// Sorts the children of Parent (TVI_ROOT for the top level).
bool SortTreeChildren(HWND h, HTREEITEM Parent, TCustomTreeView* Tree, PFNTVCOMPARE_NODES SortProc, LPARAM Data,
                      bool Recurse) {
  TVSORTCB cb;
  cb.hParent = Parent;
  TextSortKeys keys;
  if (SortProc) {
    cb.lpfnCompare = SortProc;
    cb.lParam = Data;
  } else if (Tree && Tree->OnCompare) {
    cb.lpfnCompare = DefaultTreeViewSort;
    cb.lParam = reinterpret_cast<LPARAM>(Tree);
  } else {
    cb.lpfnCompare = CompareTextSortKeys;
    cb.lParam = reinterpret_cast<LPARAM>(&keys);
  }
  return TreeView_SortChildrenCB(h, &cb, Recurse ? TRUE : FALSE) != FALSE;
}

}  // namespace

// ---------------------------------------------------------------------------
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() {
  FDeleting = true;
  TCustomTreeView* tv = TreeView();
  if (tv) {
    if (tv->FDragNode == this) tv->FDragNode = nullptr;
    if (tv->FRClickNode == this) tv->FRClickNode = nullptr;
    if (tv->FLastDropTarget == this) tv->FLastDropTarget = nullptr;
  }
  if (FItemId && tv && tv->HandleAllocated()) {
    HTREEITEM id = FItemId;
    TreeView_DeleteItem(tv->Handle(), id);
  }
  FItemId = nullptr;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

HWND TTreeNode::Handle() const {
  TCustomTreeView* tv = TreeView();
  return tv && tv->HandleAllocated() ? tv->Handle() : nullptr;
}

void TTreeNode::Assign(TPersistent* Source) {
  auto* n = dynamic_cast<TTreeNode*>(Source);
  if (!n) {
    TPersistent::Assign(Source);
    return;
  }
  SetText(n->Text());
  SetData(n->Data());
  SetImageIndex(n->ImageIndex());
  SetSelectedIndex(n->SelectedIndex());
  SetStateIndex(n->StateIndex());
  SetOverlayIndex(n->OverlayIndex());
  SetHasChildren(n->HasChildren());
}

void TTreeNode::UpdateItem(UINT Mask) {
  HWND h = Handle();
  if (!h || !FItemId) return;
  TVITEMA tv;
  tv.mask = Mask;
  tv.hItem = FItemId;
  tv.pszText = FText.data();
  tv.iImage = I_IMAGECALLBACK;
  tv.iSelectedImage = I_IMAGECALLBACK;
  TreeView_SetItem(h, &tv);
}

void TTreeNode::SetText(const AnsiString& Value) {
  FText = Value;
  UpdateItem(TVIF_TEXT);
  TCustomTreeView* tv = TreeView();
  if (tv && (tv->SortType() == stText || tv->SortType() == stBoth) && FItemId) {
    if (TTreeNode* p = Parent())
      p->AlphaSort(false);
    else
      tv->AlphaSort(false);
  }
}

void TTreeNode::SetData(void* Value) {
  FData = Value;
  TCustomTreeView* tv = TreeView();
  if (tv && (tv->SortType() == stData || tv->SortType() == stBoth) && tv->OnCompare && FItemId) {
    if (TTreeNode* p = Parent())
      p->AlphaSort(false);
    else
      tv->AlphaSort(false);
  }
}

void TTreeNode::SetImageIndex(int Value) {
  FImageIndex = Value;
  UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetSelectedIndex(int Value) {
  FSelectedIndex = Value;
  UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetOverlayIndex(int Value) {
  FOverlayIndex = Value;
  HWND h = Handle();
  if (!h || !FItemId) return;
  TVITEMA tv;
  tv.mask = TVIF_STATE;
  tv.hItem = FItemId;
  tv.stateMask = TVIS_OVERLAYMASK;
  tv.state = Value >= 0 ? INDEXTOOVERLAYMASK(UINT(Value + 1)) : 0;
  TreeView_SetItem(h, &tv);
}

void TTreeNode::SetStateIndex(int Value) {
  if (Value < -1) Value = -1;
  FStateIndex = Value;
  HWND h = Handle();
  if (!h || !FItemId) return;
  TVITEMA tv;
  tv.mask = TVIF_STATE;
  tv.hItem = FItemId;
  tv.stateMask = TVIS_STATEIMAGEMASK;
  tv.state = Value > 0 ? INDEXTOSTATEIMAGEMASK(UINT(Value)) : 0;
  TreeView_SetItem(h, &tv);
}

bool TTreeNode::HasChildren() const {
  HWND h = Handle();
  if (!h || !FItemId) return false;
  TVITEMA tv;
  tv.mask = TVIF_CHILDREN;
  tv.hItem = FItemId;
  TreeView_GetItem(h, &tv);
  return tv.cChildren > 0;
}

void TTreeNode::SetHasChildren(bool Value) {
  HWND h = Handle();
  if (!h || !FItemId) return;
  TVITEMA tv;
  tv.mask = TVIF_CHILDREN;
  tv.hItem = FItemId;
  tv.cChildren = Value ? 1 : 0;
  TreeView_SetItem(h, &tv);
}

bool TTreeNode::GetState(TTreeNodeStateItem S) const {
  HWND h = Handle();
  if (!h || !FItemId) return false;
  switch (S) {
    case nsFocused:
    case nsSelected: return TreeView_GetSelection(h) == FItemId;
    case nsDropHilited: return TreeView_GetDropHilight(h) == FItemId;
    case nsExpanded: return (TreeView_GetItemState(h, FItemId, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    case nsCut: return (TreeView_GetItemState(h, FItemId, TVIS_CUT) & TVIS_CUT) != 0;
  }
  return false;
}

void TTreeNode::SetStateBit(UINT Bit, bool Value) {
  HWND h = Handle();
  if (!h || !FItemId) return;
  TVITEMA tv;
  tv.mask = TVIF_STATE;
  tv.hItem = FItemId;
  tv.stateMask = Bit;
  tv.state = Value ? Bit : 0;
  TreeView_SetItem(h, &tv);
}

void TTreeNode::SetExpanded(bool Value) { ExpandItem(Value, false); }

void TTreeNode::SetSelected(bool Value) {
  HWND h = Handle();
  if (!h || !FItemId) return;
  if (Value)
    TreeView_SelectItem(h, FItemId);
  else if (Selected())
    TreeView_SelectItem(h, nullptr);
}

void TTreeNode::SetFocused(bool Value) { SetSelected(Value); }

void TTreeNode::SetDropTarget(bool Value) {
  HWND h = Handle();
  if (!h || !FItemId) return;
  if (Value)
    TreeView_SelectDropTarget(h, FItemId);
  else if (DropTarget())
    TreeView_SelectDropTarget(h, nullptr);
}

void TTreeNode::SetCut(bool Value) { SetStateBit(TVIS_CUT, Value); }

int TTreeNode::Count() const {
  int n = 0;
  for (TTreeNode* c = GetFirstChild(); c; c = c->GetNextSibling()) ++n;
  return n;
}

TTreeNode* TTreeNode::Item(int Index) const {
  TTreeNode* c = GetFirstChild();
  for (int i = 0; c && i < Index; ++i) c = c->GetNextSibling();
  if (!c || Index < 0) throw EListError("Tree node index out of bounds (" + std::to_string(Index) + ")");
  return c;
}

TTreeNode* TTreeNode::Parent() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetParent(h, FItemId)) : nullptr;
}

int TTreeNode::Index() const {
  int n = 0;
  for (TTreeNode* p = GetPrevSibling(); p; p = p->GetPrevSibling()) ++n;
  return n;
}

int TTreeNode::Level() const {
  int n = 0;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) ++n;
  return n;
}

int TTreeNode::AbsoluteIndex() const {
  int n = -1;
  for (const TTreeNode* p = this; p; p = p->GetPrev()) ++n;
  return n;
}

bool TTreeNode::IsVisible() const {
  HWND h = Handle();
  if (!h || !FItemId) return false;
  RECT r;
  return TreeView_GetItemRect(h, FItemId, &r, TRUE) != FALSE;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
  if (!Value) return false;
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (p == Value) return true;
  return false;
}

int TTreeNode::IndexOf(const TTreeNode* Value) const {
  int i = 0;
  for (TTreeNode* c = GetFirstChild(); c; c = c->GetNextSibling(), ++i)
    if (c == Value) return i;
  return -1;
}

TTreeNode* TTreeNode::GetFirstChild() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetChild(h, FItemId)) : nullptr;
}

TTreeNode* TTreeNode::GetLastChild() const {
  TTreeNode* c = GetFirstChild();
  while (c) {
    TTreeNode* n = c->GetNextSibling();
    if (!n) break;
    c = n;
  }
  return c;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetNextSibling(h, FItemId)) : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetPrevSibling(h, FItemId)) : nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetNextVisible(h, FItemId)) : nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  HWND h = Handle();
  return h && FItemId ? NodeOfItem(h, TreeView_GetPrevVisible(h, FItemId)) : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (TTreeNode* c = GetFirstChild()) return c;
  for (const TTreeNode* n = this; n; n = n->Parent())
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* p = GetPrevSibling();
  if (!p) return Parent();
  while (TTreeNode* last = p->GetLastChild()) p = last;
  return p;
}

void TTreeNode::InternalMove(TTreeNode* ParentNode, TTreeNode* Node, HTREEITEM HItem, TAddMode AddMode) {
  // The tree view cannot move an item: the node and each node below it get a
  // new item, parents before their children, and the old item goes once its
  // children have theirs. A stack in place of recursion serves subtrees of
  // any depth.
  HWND h = Handle();
  struct Move {
    TTreeNode* Node;
    HTREEITEM OldId;
    bool Children, Selected, Expanded;
    std::vector<TTreeNode*> Kids;
    std::size_t Next;  // kids are re-added last first, each as the first child
  };
  std::vector<Move> stack;
  auto begin = [&](TTreeNode* N, TTreeNode* NewParent, TTreeNode* After, HTREEITEM ParentItem, TAddMode Mode) {
    HTREEITEM target = (Mode == taInsert && After) ? After->FItemId : nullptr;
    Move m{N, N->FItemId, N->HasChildren(), N->Selected(), N->Expanded(), {}, 0};
    TTreeNode* oldParent = N->Parent();
    if (oldParent && oldParent != NewParent && oldParent->Count() == 1) {
      oldParent->SetStateBit(TVIS_EXPANDED, false);
      oldParent->SetHasChildren(false);
    }
    for (TTreeNode* c = N->GetFirstChild(); c; c = c->GetNextSibling()) m.Kids.push_back(c);
    // The old item lets go of the node, so its deletion frees nothing.
    TVITEMA tv;
    tv.mask = TVIF_PARAM;
    tv.hItem = m.OldId;
    tv.lParam = 0;
    TreeView_SetItem(h, &tv);
    HTREEITEM newId = N->FOwner->AddItem(ParentItem, target, N, Mode);
    if (!newId) {
      tv.lParam = reinterpret_cast<LPARAM>(N);
      TreeView_SetItem(h, &tv);
      throw EOutOfResources("Failed to insert tree item");
    }
    N->FItemId = newId;
    stack.push_back(std::move(m));
  };
  begin(this, ParentNode, Node, HItem, AddMode);
  while (!stack.empty()) {
    Move& m = stack.back();
    if (m.Next < m.Kids.size()) {
      TTreeNode* kid = m.Kids[m.Kids.size() - 1 - m.Next++];
      TTreeNode* parent = m.Node;
      begin(kid, parent, nullptr, parent->FItemId, taAddFirst);
      continue;
    }
    TTreeNode* n = m.Node;
    const HTREEITEM oldId = m.OldId;
    const bool children = m.Children, selected = m.Selected, expanded = m.Expanded;
    stack.pop_back();
    TreeView_DeleteItem(h, oldId);
    if (children && !n->GetFirstChild()) n->SetHasChildren(true);
    if (expanded) n->SetStateBit(TVIS_EXPANDED, true);
    n->UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    if (n->FStateIndex > 0) n->SetStateIndex(n->FStateIndex);
    if (n->FOverlayIndex >= 0) n->SetOverlayIndex(n->FOverlayIndex);
    if (selected) TreeView_SelectItem(h, n->FItemId);
  }
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  TCustomTreeView* tv = TreeView();
  if (!tv || !Handle() || !FItemId) return;
  if (Destination && (Destination == this || Destination->HasAsParent(this))) return;
  if (Destination && Destination->TreeView() != tv) throw EInvalidOperation("Cannot move a node to another tree");
  TTVChangingEvent changing = tv->OnChanging;
  TTVChangedEvent changed = tv->OnChange;
  tv->OnChanging = nullptr;
  tv->OnChange = nullptr;
  try {
    TTreeNode* parent = Destination && Mode != naAddChild && Mode != naAddChildFirst ? Destination->Parent()
                                                                                     : Destination;
    TAddMode addMode = taAdd;
    TTreeNode* after = nullptr;
    switch (Mode) {
      case naAdd:
      case naAddChild: addMode = taAdd; break;
      case naAddFirst:
      case naAddChildFirst: addMode = taAddFirst; break;
      case naInsert:
        if (!Destination) {
          addMode = taAdd;
          break;
        }
        after = Destination->GetPrevSibling();
        addMode = after ? taInsert : taAddFirst;
        break;
    }
    // Inserting right after itself leaves the node where it is.
    if (!(addMode == taInsert && after == this))
      InternalMove(parent, after, parent ? parent->FItemId : nullptr, addMode);
    if (parent && (Mode == naAddChild || Mode == naAddChildFirst)) parent->SetHasChildren(true);
  } catch (...) {
    tv->OnChanging = changing;
    tv->OnChange = changed;
    throw;
  }
  tv->OnChanging = changing;
  tv->OnChange = changed;
}

void TTreeNode::Delete() {
  if (!FDeleting) delete this;
}

void TTreeNode::DeleteChildren() {
  while (TTreeNode* c = GetFirstChild()) c->Delete();
  SetStateBit(TVIS_EXPANDED, false);
  SetHasChildren(false);
}

bool TTreeNode::AlphaSort(bool ARecurse) { return CustomSort(nullptr, 0, ARecurse); }

bool TTreeNode::CustomSort(PFNTVCOMPARE_NODES SortProc, LPARAM Data, bool ARecurse) {
  HWND h = Handle();
  if (!h || !FItemId) return false;
  return SortTreeChildren(h, FItemId, TreeView(), SortProc, Data, ARecurse);
}

void TTreeNode::ExpandItem(bool Expand, bool Recurse) {
  TCustomTreeView* tv = TreeView();
  HWND h = Handle();
  if (!tv || !h || !FItemId) return;
  if (Recurse) {
    // This node, then every node below it in pre-order, without recursion.
    ExpandItem(Expand, false);
    std::vector<TTreeNode*> path;
    TTreeNode* c = GetFirstChild();
    while (c || !path.empty()) {
      if (!c) {
        c = path.back()->GetNextSibling();
        path.pop_back();
        continue;
      }
      c->ExpandItem(Expand, false);
      path.push_back(c);
      c = c->GetFirstChild();
    }
    return;
  }
  if (Expand == Expanded()) return;
  bool saved = tv->FManualNotify;
  tv->FManualNotify = true;
  try {
    if (Expand) {
      if (tv->CanExpand(this) && TreeView_Expand(h, FItemId, TVE_EXPAND)) tv->Expand(this);
    } else {
      if (tv->CanCollapse(this) && TreeView_Expand(h, FItemId, TVE_COLLAPSE)) tv->Collapse(this);
    }
  } catch (...) {
    tv->FManualNotify = saved;
    throw;
  }
  tv->FManualNotify = saved;
}

void TTreeNode::Collapse(bool Recurse) { ExpandItem(false, Recurse); }
void TTreeNode::Expand(bool Recurse) { ExpandItem(true, Recurse); }

void TTreeNode::MakeVisible() {
  if (HWND h = Handle(); h && FItemId) TreeView_EnsureVisible(h, FItemId);
}

bool TTreeNode::EditText() {
  HWND h = Handle();
  return h && FItemId && TreeView_EditLabel(h, FItemId) != nullptr;
}

void TTreeNode::EndEdit(bool Cancel) {
  if (HWND h = Handle()) TreeView_EndEditLabelNow(h, Cancel ? TRUE : FALSE);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  RECT r{};
  HWND h = Handle();
  if (!h || !FItemId || !TreeView_GetItemRect(h, FItemId, &r, TextOnly ? TRUE : FALSE)) return TRect();
  return TRect(r.left, r.top, r.right, r.bottom);
}

// ---------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::~TTreeNodes() {
  if (FOwner && FOwner->HandleAllocated()) Clear();
}

HWND TTreeNodes::Handle() const { return FOwner ? FOwner->Handle() : nullptr; }

bool TTreeNodes::Ready() const {
  if (!FOwner) return false;
  // Nodes kept while the window was re-created come back with the new window.
  if (!FOwner->HandleAllocated() && !FOwner->FSaved.empty()) FOwner->HandleNeeded();
  return FOwner->HandleAllocated();
}

int TTreeNodes::Count() const {
  if (!Ready()) return 0;
  return int(TreeView_GetCount(FOwner->Handle()));
}

TTreeNode* TTreeNodes::Item(int Index) const {
  TTreeNode* n = GetFirstNode();
  for (int i = 0; n && i < Index; ++i) n = n->GetNext();
  if (!n || Index < 0) throw EListError("Tree node index out of bounds (" + std::to_string(Index) + ")");
  return n;
}

TTreeNode* TTreeNodes::GetFirstNode() const {
  if (!Ready()) return nullptr;
  HWND h = FOwner->Handle();
  return NodeOfItem(h, TreeView_GetRoot(h));
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (!Ready()) return nullptr;
  return NodeOfItem(FOwner->Handle(), ItemId);
}

HTREEITEM TTreeNodes::AddItem(HTREEITEM Parent, HTREEITEM Target, TTreeNode* Node, TAddMode AddMode) {
  HWND h = Handle();
  TVINSERTSTRUCTA is;
  is.hParent = Parent ? Parent : TVI_ROOT;
  is.hInsertAfter = AddMode == taAddFirst ? TVI_FIRST : AddMode == taInsert && Target ? Target : TVI_LAST;
  is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  is.item.pszText = Node->FText.data();
  is.item.iImage = I_IMAGECALLBACK;
  is.item.iSelectedImage = I_IMAGECALLBACK;
  is.item.lParam = reinterpret_cast<LPARAM>(Node);
  is.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK;
  is.item.state = (Node->FStateIndex > 0 ? INDEXTOSTATEIMAGEMASK(UINT(Node->FStateIndex)) : 0) |
                  (Node->FOverlayIndex >= 0 ? INDEXTOOVERLAYMASK(UINT(Node->FOverlayIndex + 1)) : 0);
  return TreeView_InsertItem(h, &is);
}

TTreeNode* TTreeNodes::InternalAddObject(TTreeNode* Node, const AnsiString& S, void* Ptr, TAddMode AddMode) {
  // Node: the parent for taAdd/taAddFirst, the sibling to insert after for taInsert.
  if (!FOwner) throw EInvalidOperation("Tree nodes without a tree");
  HWND h = Handle();
  TTreeNode* result = FOwner->CreateNode();
  result->FOwner = this;
  result->FText = S;
  result->FData = Ptr;
  HTREEITEM parent = nullptr, target = nullptr;
  if (AddMode == taInsert) {
    target = Node ? Node->FItemId : nullptr;
    parent = Node ? TreeView_GetParent(h, Node->FItemId) : nullptr;
  } else {
    parent = Node ? Node->FItemId : nullptr;
  }
  HTREEITEM id = AddItem(parent, target, result, AddMode);
  if (!id) {
    delete result;
    throw EOutOfResources("Failed to insert tree item");
  }
  result->FItemId = id;
  TSortType st = FOwner->SortType();
  if ((st == stText || st == stBoth) && FUpdateCount == 0) {
    if (TTreeNode* p = result->Parent())
      p->AlphaSort(false);
    else
      FOwner->AlphaSort(false);
  }
  return result;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  return InternalAddObject(Sibling ? Sibling->Parent() : nullptr, S, Ptr, taAdd);
}
TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  return InternalAddObject(Sibling ? Sibling->Parent() : nullptr, S, Ptr, taAddFirst);
}
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr) {
  TTreeNode* n = InternalAddObject(Parent, S, Ptr, taAdd);
  return n;
}
TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr) {
  return InternalAddObject(Parent, S, Ptr, taAddFirst);
}
TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  if (!Sibling) return InternalAddObject(nullptr, S, Ptr, taAdd);
  TTreeNode* prev = Sibling->GetPrevSibling();
  if (prev) return InternalAddObject(prev, S, Ptr, taInsert);
  return InternalAddObject(Sibling->Parent(), S, Ptr, taAddFirst);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (Node) Node->Delete();
}

void TTreeNodes::Clear() {
  if (!FOwner || !FOwner->HandleAllocated()) return;
  BeginUpdate();
  TreeView_DeleteAllItems(FOwner->Handle());
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner && FOwner->HandleAllocated())
    SendMessageA(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FOwner && FOwner->HandleAllocated()) {
    SendMessageA(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
    FOwner->Invalidate();
  }
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTreeNodes*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  BeginUpdate();
  try {
    Clear();
    // Pre-order without recursion: the source node and its copy at each level.
    std::vector<std::pair<TTreeNode*, TTreeNode*>> path;
    TTreeNode* n = src->GetFirstNode();
    while (n || !path.empty()) {
      if (!n) {
        n = path.back().first->GetNextSibling();
        path.pop_back();
        continue;
      }
      TTreeNode* c = AddChildObject(path.empty() ? nullptr : path.back().second, n->Text(), n->Data());
      c->SetImageIndex(n->ImageIndex());
      c->SetSelectedIndex(n->SelectedIndex());
      c->SetStateIndex(n->StateIndex());
      c->SetOverlayIndex(n->OverlayIndex());
      TTreeNode* k = n->GetFirstChild();
      if (!k && n->HasChildren()) c->SetHasChildren(true);
      path.emplace_back(n, c);
      n = k;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ---------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csDisplayDragImage, csReflector};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FColor = clWindow;
  FParentColor = false;
  FTreeNodes = std::make_unique<TTreeNodes>(this);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
  FStateChangeLink = std::make_unique<TChangeLink>();
  FStateChangeLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
}

TCustomTreeView::~TCustomTreeView() {
  if (HandleAllocated()) FTreeNodes->Clear();
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  if (FStateImages) FStateImages->UnRegisterChanges(FStateChangeLink.get());
  FSaved.clear();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  InitCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  DWORD s = 0;
  if (FShowButtons) s |= TVS_HASBUTTONS;
  if (FShowLines) s |= TVS_HASLINES;
  if (FShowRoot) s |= TVS_LINESATROOT;
  if (!FReadOnly) s |= TVS_EDITLABELS;
  if (!FHideSelection) s |= TVS_SHOWSELALWAYS;
  if (FRowSelect) s |= TVS_FULLROWSELECT;
  if (FHotTrack) s |= TVS_TRACKSELECT;
  if (!FToolTips) s |= TVS_NOTOOLTIPS;
  Params.Style |= s;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  TreeView_SetIndent(h, FIndent);
  UpdateTextColor();
  if (FImages) TreeView_SetImageList(h, FImages->Handle(), TVSIL_NORMAL);
  if (FStateImages) TreeView_SetImageList(h, FStateImages->Handle(), TVSIL_STATE);
  if (!FSaved.empty()) {
    std::vector<SavedNode> saved = std::move(FSaved);
    FSaved.clear();
    FRestoring = true;
    try {
      FTreeNodes->BeginUpdate();
      RestoreNodes(nullptr, saved);
      FTreeNodes->EndUpdate();
    } catch (...) {
      FRestoring = false;
      throw;
    }
    FRestoring = false;
  }
}

void TCustomTreeView::UpdateTextColor() {
  if (!HandleAllocated()) return;
  // The window text colour is the window's own default, which follows the system.
  const TColor c = Font()->Color();
  SendMessageA(Handle(), TVM_SETTEXTCOLOR, 0, c == clWindowText ? LPARAM(LONG(CLR_NONE)) : LPARAM(ColorToRGB(c)));
}

void TCustomTreeView::CMFontChangedTree(TMessage& Message) {
  TWinControl::Dispatch(Message);
  UpdateTextColor();
}

void TCustomTreeView::SaveNodes(TTreeNode* First, std::vector<SavedNode>& Out) {
  // Pre-order, one sibling chain after another, without recursion.
  std::vector<TTreeNode*> path;  // the node being saved at each level
  TTreeNode* n = First;
  while (n || !path.empty()) {
    if (!n) {
      n = path.back()->GetNextSibling();
      path.pop_back();
      continue;
    }
    Out.push_back(SavedNode{n->Text(), n->Data(), n->ImageIndex(), n->SelectedIndex(), n->OverlayIndex(),
                            n->StateIndex(), n->HasChildren(), n->Expanded(), int(path.size())});
    path.push_back(n);
    n = n->GetFirstChild();
  }
}

void TCustomTreeView::RestoreNodes(TTreeNode* Parent, const std::vector<SavedNode>& In) {
  // A node is finished (its button and expansion) once its children are back.
  struct Open {
    TTreeNode* Node;
    const SavedNode* Saved;
    bool HasKids;
  };
  std::vector<Open> path;
  auto finish = [&] {
    const Open o = path.back();
    path.pop_back();
    if (o.Saved->HasChildren && !o.HasKids) o.Node->SetHasChildren(true);
    if (o.Saved->Expanded) o.Node->SetStateBit(TVIS_EXPANDED, true);
  };
  for (const SavedNode& s : In) {
    while (int(path.size()) > s.Level) finish();
    TTreeNode* parent = path.empty() ? Parent : path.back().Node;
    if (!path.empty()) path.back().HasKids = true;
    TTreeNode* n = FTreeNodes->AddChildObject(parent, s.Text, s.Data);
    n->FImageIndex = s.Image;
    n->FSelectedIndex = s.Selected;
    n->SetOverlayIndex(s.Overlay);
    n->SetStateIndex(s.State);
    path.push_back(Open{n, &s, false});
  }
  while (!path.empty()) finish();
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated()) {
    FSaved.clear();
    SaveNodes(FTreeNodes->GetFirstNode(), FSaved);
    FSilentDelete = true;
    try {
      TreeView_DeleteAllItems(Handle());
    } catch (...) {
      FSilentDelete = false;
      throw;
    }
    FSilentDelete = false;
  }
  TWinControl::DestroyWnd();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FImages) SetImages(nullptr);
    if (AComponent == FStateImages) SetStateImages(nullptr);
  }
}

void TCustomTreeView::ImageListChange(TObject* Sender) {
  if (!HandleAllocated()) return;
  if (Sender == FImages) TreeView_SetImageList(Handle(), FImages ? FImages->Handle() : nullptr, TVSIL_NORMAL);
  if (Sender == FStateImages)
    TreeView_SetImageList(Handle(), FStateImages ? FStateImages->Handle() : nullptr, TVSIL_STATE);
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  if (HandleAllocated()) TreeView_SetImageList(Handle(), FImages ? FImages->Handle() : nullptr, TVSIL_NORMAL);
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (FStateImages) FStateImages->UnRegisterChanges(FStateChangeLink.get());
  FStateImages = Value;
  if (FStateImages) {
    FStateImages->RegisterChanges(FStateChangeLink.get());
    FStateImages->FreeNotification(this);
  }
  if (HandleAllocated())
    TreeView_SetImageList(Handle(), FStateImages ? FStateImages->Handle() : nullptr, TVSIL_STATE);
}

int TCustomTreeView::Indent() { return HandleAllocated() ? int(TreeView_GetIndent(Handle())) : FIndent; }

void TCustomTreeView::SetIndent(int Value) {
  FIndent = Value;
  if (HandleAllocated()) TreeView_SetIndent(Handle(), Value);
}

void TCustomTreeView::SetStyleBit(DWORD Bit, bool On) {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  LONG_PTR s = GetWindowLongPtrA(h, GWL_STYLE);
  s = On ? (s | LONG_PTR(Bit)) : (s & ~LONG_PTR(Bit));
  SetWindowLongPtrA(h, GWL_STYLE, s);
  InvalidateRect(h, nullptr, TRUE);
}

void TCustomTreeView::SetShowButtons(bool Value) {
  FShowButtons = Value;
  SetStyleBit(TVS_HASBUTTONS, Value);
}
void TCustomTreeView::SetShowLines(bool Value) {
  FShowLines = Value;
  SetStyleBit(TVS_HASLINES, Value);
}
void TCustomTreeView::SetShowRoot(bool Value) {
  FShowRoot = Value;
  SetStyleBit(TVS_LINESATROOT, Value);
}
void TCustomTreeView::SetReadOnly(bool Value) {
  FReadOnly = Value;
  SetStyleBit(TVS_EDITLABELS, !Value);
}
void TCustomTreeView::SetHideSelection(bool Value) {
  FHideSelection = Value;
  SetStyleBit(TVS_SHOWSELALWAYS, !Value);
}
void TCustomTreeView::SetRowSelect(bool Value) {
  FRowSelect = Value;
  SetStyleBit(TVS_FULLROWSELECT, Value);
}
void TCustomTreeView::SetHotTrack(bool Value) {
  FHotTrack = Value;
  SetStyleBit(TVS_TRACKSELECT, Value);
}
void TCustomTreeView::SetToolTips(bool Value) {
  FToolTips = Value;
  SetStyleBit(TVS_NOTOOLTIPS, !Value);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTreeView::SetSortType(TSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value != stNone && HandleAllocated()) AlphaSort(true);
}

TTreeNode* TCustomTreeView::Selected() {
  if (!HandleAllocated()) return nullptr;
  if (FRightClickSelect && FRClickNode) return FRClickNode;
  return FTreeNodes->GetNode(TreeView_GetSelection(Handle()));
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (Value)
    Value->SetSelected(true);
  else if (HandleAllocated())
    TreeView_SelectItem(Handle(), nullptr);
}

TTreeNode* TCustomTreeView::TopItem() {
  return HandleAllocated() ? FTreeNodes->GetNode(TreeView_GetFirstVisible(Handle())) : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
  if (HandleAllocated() && Value) TreeView_SelectSetFirstVisible(Handle(), Value->ItemId());
}

TTreeNode* TCustomTreeView::DropTarget() {
  if (!HandleAllocated()) return nullptr;
  TTreeNode* n = FTreeNodes->GetNode(TreeView_GetDropHilight(Handle()));
  return n ? n : FLastDropTarget;
}

void TCustomTreeView::SetDropTarget(TTreeNode* Value) {
  if (!HandleAllocated()) return;
  FLastDropTarget = Value;
  TreeView_SelectDropTarget(Handle(), Value ? Value->ItemId() : nullptr);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
  THitTests ht = GetHitTestInfoAt(X, Y);
  bool on = ht.Contains(htOnItem) || ht.Contains(htOnIcon) || ht.Contains(htOnLabel) || ht.Contains(htOnStateIcon) ||
            (FRowSelect && (ht.Contains(htOnRight) || ht.Contains(htOnIndent)));
  if (!on || !HandleAllocated()) return nullptr;
  TVHITTESTINFO hti;
  hti.pt = {X, Y};
  return FTreeNodes->GetNode(TreeView_HitTest(Handle(), &hti));
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
  THitTests r;
  if (!HandleAllocated()) return r;
  TVHITTESTINFO hti;
  hti.pt = {X, Y};
  TreeView_HitTest(Handle(), &hti);
  UINT f = hti.flags;
  if (f & TVHT_ABOVE) r << htAbove;
  if (f & TVHT_BELOW) r << htBelow;
  if (f & TVHT_NOWHERE) r << htNowhere;
  if (f & TVHT_ONITEM) r << htOnItem;
  if (f & TVHT_ONITEMBUTTON) r << htOnButton;
  if (f & TVHT_ONITEMICON) r << htOnIcon;
  if (f & TVHT_ONITEMINDENT) r << htOnIndent;
  if (f & TVHT_ONITEMLABEL) r << htOnLabel;
  if (f & TVHT_ONITEMRIGHT) r << htOnRight;
  if (f & TVHT_ONITEMSTATEICON) r << htOnStateIcon;
  if (f & TVHT_TOLEFT) r << htToLeft;
  if (f & TVHT_TORIGHT) r << htToRight;
  return r;
}

bool TCustomTreeView::IsEditing() { return HandleAllocated() && TreeView_GetEditControl(Handle()) != nullptr; }

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
}

bool TCustomTreeView::AlphaSort(bool ARecurse) { return CustomSort(nullptr, 0, ARecurse); }

bool TCustomTreeView::CustomSort(PFNTVCOMPARE_NODES SortProc, LPARAM Data, bool ARecurse) {
  if (!HandleAllocated()) return false;
  return SortTreeChildren(Handle(), TVI_ROOT, this, SortProc, Data, ARecurse);
}

TDragImageList* TCustomTreeView::GetDragImages() {
  if (!FDragNode || !HandleAllocated()) return nullptr;
  HIMAGELIST il = TreeView_CreateDragImage(Handle(), FDragNode->ItemId());
  if (!il) return nullptr;
  if (!FDragImage) FDragImage = std::make_unique<TDragImageList>(nullptr);
  FDragImage->SetHandle(il);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(il, &cx, &cy);
  FDragImage->SetDragImage(0, 2, cy / 2);
  return FDragImage.get();
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool r = true;
  if (OnChanging) OnChanging(this, Node, r);
  return r;
}
bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool r = true;
  if (OnCollapsing) OnCollapsing(this, Node, r);
  return r;
}
bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool r = !FReadOnly;
  if (r && OnEditing) OnEditing(this, Node, r);
  return r;
}
bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool r = true;
  if (OnExpanding) OnExpanding(this, Node, r);
  return r;
}
void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}
void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}
void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}
TTreeNode* TCustomTreeView::CreateNode() { return new TTreeNode(FTreeNodes.get()); }
void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}
void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
}
void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
}

void TCustomTreeView::Edit(const TVITEMA& Item) {
  if (!Item.pszText) return;
  TTreeNode* node = GetNodeFromItem(Item);
  if (!node) return;
  AnsiString s = Item.pszText;
  if (OnEdited) OnEdited(this, node, s);
  node->SetText(s);
}

TTreeNode* TCustomTreeView::GetNodeFromItem(const TVITEMA& Item) const {
  if (Item.mask & TVIF_PARAM) return reinterpret_cast<TTreeNode*>(Item.lParam);
  return FTreeNodes->GetNode(Item.hItem);
}

bool TCustomTreeView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (Target == dtControl)
    return (Stage == cdPrePaint && OnCustomDraw.Assigned()) || OnAdvancedCustomDraw.Assigned();
  return (Stage == cdPrePaint && OnCustomDrawItem.Assigned()) || OnAdvancedCustomDrawItem.Assigned();
}

bool TCustomTreeView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage) {
  bool r = true;
  if (Stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, ARect, r);
  if (r && OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, ARect, Stage, r);
  return r;
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                                     bool& PaintImages) {
  bool r = true;
  PaintImages = true;
  if (Stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, Node, State, r);
  if (r && OnAdvancedCustomDrawItem) OnAdvancedCustomDrawItem(this, Node, State, Stage, PaintImages, r);
  return r;
}

void TCustomTreeView::WndProc(TMessage& Message) {
  // With automatic dragging a press still goes to the window, which selects
  // and detects the drag itself; the drag starts when it reports one.
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic &&
      DragKind() == dkDrag && !Dragging()) {
    if (!IsControlMouseMsg(static_cast<TWMMouse&>(Message))) {
      FControlState << csLButtonDown;
      Dispatch(Message);
    }
    return;
  }
  TWinControl::WndProc(Message);
  // The node knows its new item as soon as the window made it, so that
  // descendants watching insertions after this see a complete node.
  if (Message.Msg == TVM_INSERTITEMA && Message.Result && Message.LParam) {
    auto* is = reinterpret_cast<const TVINSERTSTRUCTA*>(Message.LParam);
    if (is->item.mask & TVIF_PARAM) {
      if (auto* n = reinterpret_cast<TTreeNode*>(is->item.lParam))
        n->FItemId = reinterpret_cast<HTREEITEM>(Message.Result);
    }
  }
}

void TCustomTreeView::CNNotify(TWMNotify& Message) {
  NMHDR* hdr = Message.NMHdr();
  Message.Result = 0;
  switch (hdr->code) {
    case TVN_BEGINDRAGA:
    case TVN_BEGINRDRAGA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      FDragged = true;
      FDragNode = GetNodeFromItem(nm->itemNew);
      // A drag detected during the press starts once the press is handled;
      // one detected later (the mouse moved after the press) starts now.
      if (hdr->code == TVN_BEGINDRAGA && DragMode() == dmAutomatic && FDragNode && !FInPress) {
        FDragNode->SetSelected(true);
        BeginDrag(true);
      }
      break;
    }
    case TVN_DELETEITEMA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = GetNodeFromItem(nm->itemOld);
      if (!node) break;
      if (!FSilentDelete) Delete(node);
      node->FItemId = nullptr;
      if (!node->FDeleting) {
        node->FDeleting = true;
        delete node;
      }
      break;
    }
    case TVN_GETDISPINFOA: {
      auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      TTreeNode* node = GetNodeFromItem(di->item);
      if (!node) break;
      if (di->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
        if (di->item.mask & TVIF_IMAGE) {
          GetImageIndex(node);
          di->item.iImage = node->ImageIndex();
        }
        if (di->item.mask & TVIF_SELECTEDIMAGE) {
          GetSelectedIndex(node);
          di->item.iSelectedImage = node->SelectedIndex();
        }
      }
      break;
    }
    case TVN_ITEMEXPANDINGA: {
      if (FManualNotify) break;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = GetNodeFromItem(nm->itemNew);
      if (!node) break;
      bool allow = nm->action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
      Message.Result = allow ? 0 : 1;
      break;
    }
    case TVN_ITEMEXPANDEDA: {
      if (FManualNotify) break;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = GetNodeFromItem(nm->itemNew);
      if (!node) break;
      if (nm->action == TVE_EXPAND)
        Expand(node);
      else
        Collapse(node);
      break;
    }
    case TVN_SELCHANGINGA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      Message.Result = CanChange(GetNodeFromItem(nm->itemNew)) ? 0 : 1;
      break;
    }
    case TVN_SELCHANGEDA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      Change(GetNodeFromItem(nm->itemNew));
      break;
    }
    case TVN_BEGINLABELEDITA: {
      auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      TTreeNode* node = GetNodeFromItem(di->item);
      Message.Result = node && CanEdit(node) ? 0 : 1;
      break;
    }
    case TVN_ENDLABELEDITA: {
      auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      Edit(di->item);
      break;
    }
    case NM_RCLICK: {
      if (!FRightClickSelect) break;
      POINT p;
      GetCursorPos(&p);
      TPoint c = ScreenToClient(TPoint(p.x, p.y));
      FRClickNode = GetNodeAt(c.x, c.y);
      Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(p.x, p.y));
      FRClickNode = nullptr;
      Message.Result = 1;
      break;
    }
    case NM_CUSTOMDRAW: {
      auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(hdr);
      bool anyControl = IsCustomDrawn(dtControl, cdPrePaint) || IsCustomDrawn(dtControl, cdPostPaint);
      bool anyItem = IsCustomDrawn(dtItem, cdPrePaint) || IsCustomDrawn(dtItem, cdPostPaint);
      if (!anyControl && !anyItem) break;
      FCanvas->SetHandle(cd->nmcd.hdc);
      try {
        TRect rc(cd->nmcd.rc.left, cd->nmcd.rc.top, cd->nmcd.rc.right, cd->nmcd.rc.bottom);
        LRESULT r = CDRF_DODEFAULT;
        switch (cd->nmcd.dwDrawStage) {
          case CDDS_PREPAINT:
            if (IsCustomDrawn(dtControl, cdPrePaint) && !CustomDraw(rc, cdPrePaint)) r = CDRF_SKIPDEFAULT;
            if (anyItem) r |= CDRF_NOTIFYITEMDRAW;
            if (IsCustomDrawn(dtControl, cdPostPaint)) r |= CDRF_NOTIFYPOSTPAINT;
            break;
          case CDDS_ITEMPREPAINT: {
            auto* node = reinterpret_cast<TTreeNode*>(cd->nmcd.lItemlParam);
            if (!node) break;
            TCustomDrawState st;
            UINT s = cd->nmcd.uItemState;
            if (s & CDIS_SELECTED) st << cdsSelected;
            if (s & CDIS_GRAYED) st << cdsGrayed;
            if (s & CDIS_DISABLED) st << cdsDisabled;
            if (s & CDIS_CHECKED) st << cdsChecked;
            if (s & CDIS_FOCUS) st << cdsFocused;
            if (s & CDIS_HOT) st << cdsHot;
            FCanvas->Font()->Assign(Font());
            FCanvas->Font()->SetColor(TColor(cd->clrText));
            FCanvas->Brush()->SetColor(TColor(cd->clrTextBk));
            bool paintImages = true;
            if (!CustomDrawItem(node, st, cdPrePaint, paintImages)) {
              r = CDRF_SKIPDEFAULT;
            } else {
              cd->clrText = ColorToRGB(FCanvas->Font()->Color());
              cd->clrTextBk = ColorToRGB(FCanvas->Brush()->Color());
              SelectObject(cd->nmcd.hdc, FCanvas->Font()->Handle());
              r = CDRF_NEWFONT;
            }
            if (IsCustomDrawn(dtItem, cdPostPaint)) r |= CDRF_NOTIFYPOSTPAINT;
            break;
          }
          case CDDS_ITEMPOSTPAINT: {
            auto* node = reinterpret_cast<TTreeNode*>(cd->nmcd.lItemlParam);
            bool paintImages = true;
            if (node) CustomDrawItem(node, TCustomDrawState(), cdPostPaint, paintImages);
            break;
          }
          case CDDS_POSTPAINT:
            CustomDraw(rc, cdPostPaint);
            break;
          default:
            break;
        }
        Message.Result = r;
      } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
      }
      FCanvas->SetHandle(nullptr);
      break;
    }
    default:
      break;
  }
}

void TCustomTreeView::WMLButtonDown(TWMMouse& Message) {
  FDragged = false;
  FDragNode = nullptr;
  FInPress = true;
  try {
    TWinControl::Dispatch(Message);
  } catch (...) {
    FInPress = false;
    throw;
  }
  FInPress = false;
  if (FDragged && FDragNode && DragMode() == dmAutomatic && DragKind() == dkDrag && !Dragging()) {
    FDragNode->SetSelected(true);
    BeginDrag(true);
    return;
  }
  // The window follows the press itself and may have taken the release from
  // the queue: the control still reports the release.
  if (!FDragged && HandleAllocated() && !(GetKeyState(VK_LBUTTON) & 0x8000)) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    Perform(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
}

void TCustomTreeView::WMContextMenu(TMessage& Message) { TWinControl::Dispatch(Message); }

// ---------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls};
  FVisible = false;
  FAlign = alClient;
  FColor = clBtnFace;
  FParentColor = true;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  TWinControl::SetParent(AParent);
  auto* pc = dynamic_cast<TPageControl*>(AParent);
  if (pc != FPageControl) {
    if (FPageControl) FPageControl->RemovePage(this);
    FPageControl = pc;
    if (pc) pc->InsertPage(this);
  }
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (Value != FPageControl || Parent() != Value) SetParent(Value);
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->PagesChanged();
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& p = FPageControl->FPages;
  auto it = std::find(p.begin(), p.end(), this);
  return it == p.end() ? -1 : int(it - p.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  auto tabs = FPageControl->VisibleTabs();
  auto it = std::find(tabs.begin(), tabs.end(), this);
  return it == tabs.end() ? -1 : int(it - tabs.begin());
}

void TTabSheet::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (FPageControl) FPageControl->Invalidate();
}

void TTabSheet::SetTextValue(const AnsiString& Value) {
  TWinControl::SetTextValue(Value);
  if (FPageControl) FPageControl->Invalidate();
}

// ---------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csDoubleClicks, csOpaque};
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FColor = clBtnFace;
}

TPageControl::~TPageControl() {
  for (TTabSheet* p : FPages) p->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError("Page index out of bounds (" + IntToStr(Index) + ")");
  return FPages[std::size_t(Index)];
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const {
  std::vector<TTabSheet*> r;
  for (TTabSheet* p : FPages)
    if (p->FTabVisible) r.push_back(p);
  return r;
}

void TPageControl::InsertPage(TTabSheet* Page) {
  if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end()) return;
  FPages.push_back(Page);
  Page->SetVisible(false);
  if (!FActivePage && Page->FTabVisible)
    SetActivePage(Page);
  else
    PagesChanged();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true, true) : FActivePage;
  if (next == Page) next = nullptr;
  FPages.erase(it);
  if (FActivePage == Page) {
    FActivePage = nullptr;
    SetActivePage(next);
  }
  PagesChanged();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  FPages.erase(it);
  NewIndex = std::clamp(NewIndex, 0, int(FPages.size()));
  FPages.insert(FPages.begin() + NewIndex, Page);
  PagesChanged();
}

void TPageControl::PagesChanged() {
  if (FActivePage && !FActivePage->FTabVisible) {
    FActivePage->SetVisible(false);
    TTabSheet* next = FindNextPage(FActivePage, true, true);
    FActivePage = nullptr;
    if (next && next->FTabVisible) SetActivePage(next);
  }
  Realign();
  Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && Value->FPageControl != this) return;
  if (Value == FActivePage) return;
  TTabSheet* old = FActivePage;
  FActivePage = Value;
  if (Value) {
    Value->SetVisible(true);
    Value->BringToFront();
    if (Value->OnShow) Value->OnShow(Value);
  }
  if (old) {
    old->SetVisible(false);
    if (old->OnHide) old->OnHide(old);
  }
  Realign();
  Invalidate();
}

void TPageControl::SetActivePageIndex(int Value) {
  if (Value < 0 || Value >= PageCount())
    SetActivePage(nullptr);
  else
    SetActivePage(FPages[std::size_t(Value)]);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), CurPage);
  int start = it == FPages.end() ? (GoForward ? n - 1 : 0) : int(it - FPages.begin());
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* p = FPages[std::size_t(i)];
    if (!CheckTabVisible || p->FTabVisible) return p;
  }
  return nullptr;
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (!Page || Page == FActivePage) return;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  SetActivePage(Page);
  if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool GoForward) {
  ChangeActivePage(FindNextPage(FActivePage, GoForward, true));
}

int TPageControl::TabHeight() {
  if (FTabHeight > 0) return FTabHeight;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 6;
}

void TPageControl::SetTabHeight(int Value) {
  FTabHeight = std::max(0, Value);
  Realign();
  Invalidate();
}

TRect TPageControl::TabRect(int TabIndex) {
  auto tabs = VisibleTabs();
  if (TabIndex < 0 || TabIndex >= int(tabs.size())) return TRect();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  int x = 2;
  TRect r;
  for (int i = 0; i <= TabIndex; ++i) {
    AnsiString s = tabs[std::size_t(i)]->Caption();
    SIZE sz{};
    GetTextExtentPoint32A(dc, s.c_str(), int(s.size()), &sz);
    int w = int(sz.cx) + 12;
    r = TRect(x, 2, x + w, TabHeight());
    x += w;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r;
}

int TPageControl::IndexOfTabAt(int X, int Y) {
  int n = int(VisibleTabs().size());
  for (int i = 0; i < n; ++i) {
    TRect r = TabRect(i);
    if (X >= r.left && X < r.right && Y >= 0 && Y < r.bottom) return i;
  }
  return -1;
}

void TPageControl::AdjustClientRect(TRect& Rect) {
  // with every tab hidden there is no row of tabs: the pages fill the frame
  Rect.top += VisibleTabs().empty() ? 4 : TabHeight() + 2;
  Rect.left += 4;
  Rect.right -= 4;
  Rect.bottom -= 4;
  if (Rect.right < Rect.left) Rect.right = Rect.left;
  if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
}

void TPageControl::Paint() {
  HDC dc = Canvas()->Handle();
  TRect c = ClientRect();
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  RECT all{c.left, c.top, c.right, c.bottom};
  FillRect(dc, &all, face);
  auto tabs = VisibleTabs();
  const int th = tabs.empty() ? 0 : TabHeight();
  RECT body{0, th, c.right, c.bottom};
  DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
  for (int i = 0; i < int(tabs.size()); ++i) {
    TRect r = TabRect(i);
    bool active = tabs[std::size_t(i)] == FActivePage;
    RECT t{r.left, r.top, r.right, r.bottom + 1};
    if (active) {
      t.left -= 2;
      t.right += 2;
      t.top -= 2;
      t.bottom += 1;
    }
    FillRect(dc, &t, face);
    HGDIOBJ op = SelectObject(dc, light);
    MoveToEx(dc, t.left, t.bottom - 1, nullptr);
    LineTo(dc, t.left, t.top + 2);
    LineTo(dc, t.left + 2, t.top);
    LineTo(dc, t.right - 2, t.top);
    SelectObject(dc, shadow);
    MoveToEx(dc, t.right - 2, t.top + 1, nullptr);
    LineTo(dc, t.right - 2, t.bottom - (active ? 0 : 1));
    SelectObject(dc, dark);
    MoveToEx(dc, t.right - 1, t.top + 2, nullptr);
    LineTo(dc, t.right - 1, t.bottom - (active ? 0 : 1));
    SelectObject(dc, op);
    AnsiString s = tabs[std::size_t(i)]->Caption();
    SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT tr{t.left, t.top, t.right, t.bottom - (active ? 1 : 0)};
    DrawTextA(dc, s.c_str(), int(s.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (active && Focused()) {
      RECT fr{tr.left + 3, tr.top + 3, tr.right - 3, tr.bottom - 2};
      DrawFocusRect(dc, &fr);
    }
  }
  SelectObject(dc, oldFont);
  DeleteObject(light);
  DeleteObject(shadow);
  DeleteObject(dark);
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  int i = IndexOfTabAt(X, Y);
  if (i < 0) return;
  if (CanFocus()) SetFocus();
  ChangeActivePage(VisibleTabs()[std::size_t(i)]);
}

void TPageControl::CMDialogKey(TMessage& Message) {
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages of the control holding the focus.
  if (Message.WParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
    HWND f = GetFocus();
    if (HandleAllocated() && (f == Handle() || IsChild(Handle(), f))) {
      SelectNextPage(!(GetKeyState(VK_SHIFT) & 0x8000));
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 17;
  FHeight = 25;
  FColor = clBtnFace;
  FControlStyle << csCaptureMouse;
}

TUpDown::~TUpDown() { FAssociate = nullptr; }

void TUpDown::SetMin(int Value) {
  FMin = Value;
  SetPosition(FPosition);
}

void TUpDown::SetMax(int Value) {
  FMax = Value;
  SetPosition(FPosition);
}

void TUpDown::SetPosition(int Value) {
  int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
  Value = std::clamp(Value, lo, hi);
  FPosition = Value;
  UpdateAssociate();
}

void TUpDown::SetThousands(bool Value) {
  FThousands = Value;
  UpdateAssociate();
}

void TUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  int w = FWidth;
  SetBounds(FLeft, FTop, FHeight, w);
  Invalidate();
}

void TUpDown::SetAlignButton(TUDAlignButton Value) {
  FAlignButton = Value;
  PlaceNextToAssociate();
}

void TUpDown::SetAssociate(TWinControl* Value) {
  if (Value == this) return;
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (FAssociate) {
    FAssociate->FreeNotification(this);
    PlaceNextToAssociate();
    UpdateAssociate();
  }
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) FAssociate = nullptr;
}

void TUpDown::PlaceNextToAssociate() {
  if (!FAssociate || FAssociate->Parent() != Parent()) return;
  int x = FAlignButton == udRight ? FAssociate->Left() + FAssociate->Width() : FAssociate->Left() - FWidth;
  SetBounds(x, FAssociate->Top(), FWidth, FAssociate->Height());
}

void TUpDown::UpdateAssociate() {
  if (!FAssociate) return;
  AnsiString s = IntToStr(std::abs(FPosition));
  if (FThousands)
    for (int i = int(s.size()) - 3; i > 0; i -= 3) s.insert(std::size_t(i), ",");
  if (FPosition < 0) s = "-" + s;
  FAssociate->SetText(s);
}

void TUpDown::Step(TUDBtnType Button) {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
  // With Min above Max the buttons run the other way.
  int dir = (Button == btNext ? 1 : -1) * (FMin <= FMax ? 1 : -1);
  long long v = (long long)FPosition + (long long)dir * FIncrement;
  if (v > hi) v = FWrap ? lo : hi;
  if (v < lo) v = FWrap ? hi : lo;
  FPosition = int(v);
  UpdateAssociate();
  if (OnClick) OnClick(this, Button);
}

void TUpDown::Paint() {
  HDC dc = Canvas()->Handle();
  TRect c = ClientRect();
  RECT a, b;  // a: up (or right), b: down (or left)
  if (FOrientation == udVertical) {
    int mid = c.bottom / 2;
    a = {0, 0, c.right, mid};
    b = {0, mid, c.right, c.bottom};
    DrawFrameControl(dc, &a, DFC_SCROLL, DFCS_SCROLLUP | (FPressed == 0 ? DFCS_PUSHED : 0) |
                                              (Enabled() ? 0 : DFCS_INACTIVE));
    DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLDOWN | (FPressed == 1 ? DFCS_PUSHED : 0) |
                                              (Enabled() ? 0 : DFCS_INACTIVE));
  } else {
    int mid = c.right / 2;
    b = {0, 0, mid, c.bottom};
    a = {mid, 0, c.right, c.bottom};
    DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLLEFT | (FPressed == 1 ? DFCS_PUSHED : 0) |
                                              (Enabled() ? 0 : DFCS_INACTIVE));
    DrawFrameControl(dc, &a, DFC_SCROLL, DFCS_SCROLLRIGHT | (FPressed == 0 ? DFCS_PUSHED : 0) |
                                              (Enabled() ? 0 : DFCS_INACTIVE));
  }
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  TRect c = ClientRect();
  bool first = FOrientation == udVertical ? Y < c.bottom / 2 : X >= c.right / 2;
  FPressed = first ? 0 : 1;
  Invalidate();
  Step(first ? btNext : btPrev);
}

void TUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (FPressed != -1) {
    FPressed = -1;
    Invalidate();
  }
}

// ---------------------------------------------------------------------------

void InitComCtrlsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TCustomTreeView::StaticClass(), TTreeView::StaticClass(), TPageControl::StaticClass(),
                   TTabSheet::StaticClass(), TUpDown::StaticClass(), TCustomListView::StaticClass(),
                   TListView::StaticClass()});
  // What every common control shows in a description: place, look, focus and
  // the mouse, key and drag events.
  static const char* const kCommon =
      "Align Anchors Color Constraints Cursor DragCursor DragKind DragMode Enabled Font ParentColor ParentFont "
      "ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnClick OnContextPopup OnDblClick OnDragDrop "
      "OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp "
      "OnStartDrag";
  RegisterProps<TCustomListView>([](TPropBuilder<TCustomListView>& p) {
    PublishControlProps(p, kCommon, {.ParentColor = false, .TabStop = true});
    p.Prop("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle).Default(vsIcon);
    p.Prop("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
    p.Prop("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
    p.Prop("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection).Default(true);
    p.Field("OnSelectItem", &TCustomListView::OnSelectItem);
    p.Field("OnDeletion", &TCustomListView::OnDeletion);
  });
  RegisterProps<TCustomTreeView>([](TPropBuilder<TCustomTreeView>& p) {
    PublishControlProps(p, kCommon, {.ParentColor = false, .TabStop = true});
    p.Prop("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(true);
    p.Prop("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
    p.Prop("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
    p.Prop("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
    p.Prop("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(true);
    p.Prop("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect).Default(false);
    p.Prop("HotTrack", &TCustomTreeView::HotTrack, &TCustomTreeView::SetHotTrack).Default(false);
    p.Prop("ToolTips", &TCustomTreeView::ToolTips, &TCustomTreeView::SetToolTips).Default(true);
    p.Prop("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand).Default(false);
    p.Prop("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect)
        .Default(false);
    p.Prop("SortType", &TCustomTreeView::SortType, &TCustomTreeView::SetSortType).Default(stNone);
    p.Prop("ChangeDelay", &TCustomTreeView::ChangeDelay, &TCustomTreeView::SetChangeDelay).Default(0);
    p.Prop("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
    p.Prop("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
    p.Field("OnChange", &TCustomTreeView::OnChange);
    p.Field("OnChanging", &TCustomTreeView::OnChanging);
    p.Field("OnExpanding", &TCustomTreeView::OnExpanding);
    p.Field("OnExpanded", &TCustomTreeView::OnExpanded);
    p.Field("OnCollapsing", &TCustomTreeView::OnCollapsing);
    p.Field("OnCollapsed", &TCustomTreeView::OnCollapsed);
    p.Field("OnEditing", &TCustomTreeView::OnEditing);
    p.Field("OnEdited", &TCustomTreeView::OnEdited);
    p.Field("OnDeletion", &TCustomTreeView::OnDeletion);
    p.Field("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex);
    p.Field("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex);
    p.Field("OnCompare", &TCustomTreeView::OnCompare);
    p.Field("OnCustomDraw", &TCustomTreeView::OnCustomDraw);
    p.Field("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem);
  });
  RegisterProps<TTabSheet>([](TPropBuilder<TTabSheet>& p) {
    PublishControlProps(p, "BorderWidth Caption Font ParentFont ParentShowHint PopupMenu ShowHint "
                           "OnContextPopup OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnResize OnStartDrag");
    p.Prop("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
    p.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
    p.Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(0);
    p.Field("OnShow", &TTabSheet::OnShow);
    p.Field("OnHide", &TTabSheet::OnHide);
  });
  RegisterProps<TPageControl>([](TPropBuilder<TPageControl>& p) {
    PublishControlProps(p, "Align Anchors Constraints DragCursor DragKind DragMode Enabled Font ParentFont "
                           "ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnContextPopup OnDragDrop "
                           "OnDragOver OnEndDrag OnEnter OnExit OnMouseDown OnMouseMove OnMouseUp OnStartDrag",
                        {.TabStop = true});
    p.Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    p.Prop("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight).NoDefault();
    p.Field("OnChange", &TPageControl::OnChange);
    p.Field("OnChanging", &TPageControl::OnChanging);
  });
  RegisterProps<TUpDown>([](TPropBuilder<TUpDown>& p) {
    PublishControlProps(p, "Anchors Constraints Enabled ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible "
                           "OnContextPopup OnEnter OnExit OnMouseDown OnMouseMove OnMouseUp");
    p.Prop("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
    p.Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
    p.Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
    p.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
    p.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
    p.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
    p.Prop("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(true);
    p.Prop("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(true);
    p.Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
    p.Prop("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight);
    p.Field("OnClick", &TUpDown::OnClick);
    p.Field("OnChanging", &TUpDown::OnChanging);
  });
}
