// The organisation chart's node model and node operations: insert, delete,
// move, expand, collapse, select, and the property setters of nodes and chart.
#include "treechart/orgchart.h"

#include <algorithm>

#include "platform/rtl/streams.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"

namespace {

// The node's setters report geometry to the parent's caches by axis.
TkxOcAxis OcWidthAxis(bool Rotated) { return Rotated ? ocaDown : ocaAcross; }
TkxOcAxis OcHeightAxis(bool Rotated) { return Rotated ? ocaAcross : ocaDown; }

}  // namespace

// ---- TkxOcNode ----

TkxOcNode::TkxOcNode(TkxCustomOrgChart* AOwner) : FOwner(AOwner) {
  if (FOwner) FImageAlign = FOwner->DefaultImageAlign();
}

TkxOcNode::~TkxOcNode() = default;

void TkxOcNode::BeforeDestruction() {
  // Free() from outside: the chart unlinks the node and its subtree but leaves
  // the freeing to the caller.
  if (!FDeleting && FOwner && Linked()) {
    FFreeing = true;
    FOwner->DeleteNode(this);
  }
  TObject::BeforeDestruction();
}

TkxOcNode* TkxOcNode::Items(int I) const {
  if (I < 0 || I >= Count()) return nullptr;
  return (*FChildren)[std::size_t(I)];
}

TkxOcNode* TkxOcNode::Parent() const {
  if (!FParent || (FOwner && FParent == FOwner->Root())) return nullptr;
  return FParent;
}

void TkxOcNode::SetHasChildren(bool Value) {
  if (!Value) DeleteChildren();
}

bool TkxOcNode::IsSelected() const { return FOwner && FOwner->Selected() == this; }

void TkxOcNode::SetIsSelected(bool Value) {
  if (!FOwner) return;
  if (Value) FOwner->SetSelected(this);
  else if (IsSelected()) FOwner->SetSelected(nullptr);
}

bool TkxOcNode::IsVisible() const {
  if (!FOwner) return false;
  if (this == FOwner->Root()) return true;
  const TkxOcNode* p = FParent;
  while (p && p != FOwner->Root()) {
    if (!p->FExpanded) return false;
    p = p->FParent;
  }
  return p != nullptr;
}

bool TkxOcNode::IsDescendantOf(const TkxOcNode* Ancestor) const {
  if (!Ancestor) return true;
  for (const TkxOcNode* p = FParent; p; p = p->FParent)
    if (p == Ancestor) return true;
  return false;
}

TkxOcNode* TkxOcNode::NextSibling() const {
  if (!FParent) return nullptr;
  return FParent->Items(FIndex + 1);
}

TkxOcNode* TkxOcNode::PrevSibling() const {
  if (!FParent) return nullptr;
  return FParent->Items(FIndex - 1);
}

TkxOcNode* TkxOcNode::GetNext() const {
  if (TkxOcNode* c = FirstChild()) return c;
  const TkxOcNode* n = this;
  while (n && n != (FOwner ? FOwner->Root() : nullptr)) {
    if (TkxOcNode* s = n->NextSibling()) return s;
    n = n->FParent;
  }
  return nullptr;
}

TkxOcNode* TkxOcNode::GetPrev() const {
  if (TkxOcNode* p = PrevSibling()) {
    while (p->Count()) p = p->LastChild();
    return p;
  }
  return Parent();
}

void TkxOcNode::Expand(bool Recurse) {
  if (!HasChildren()) return;
  if (Recurse) {
    // Every node below first, children before their parent, without
    // recursion (a chain may be of any depth); then this one.
    struct Frame {
      TkxOcNode* Node;
      int Next;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.Next < f.Node->Count()) {
        TkxOcNode* c = f.Node->Items(f.Next++);
        if (c->HasChildren()) stack.push_back({c, 0});
        continue;
      }
      TkxOcNode* done = f.Node;
      stack.pop_back();
      if (done != this) done->Expand(false);
    }
  }
  if (FExpanded || !FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  bool allow = true;
  if (c->OnExpansion && !c->FDestroying) c->OnExpansion(c, this, allow);
  if (!allow) return;
  const bool animated = c->StartAnimation(this);
  FExpanded = true;
  if (FParent) FParent->SizesChanged(ocaBoth);
  if (animated) c->Repaint();
  if (c->OnExpanded && !c->FDestroying) c->OnExpanded(c, this);
}

void TkxOcNode::Collapse(bool Recurse) {
  if (!HasChildren() || !FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  if (FExpanded && this != c->Root()) {
    bool allow = true;
    if (c->OnCollapsing && !c->FDestroying) c->OnCollapsing(c, this, allow);
    if (allow) {
      const bool animated = c->StartAnimation(this);
      FExpanded = false;
      if (FParent) FParent->SizesChanged(ocaBoth);
      if (animated) c->Repaint();
      if (c->OnCollapsed && !c->FDestroying) c->OnCollapsed(c, this);
    }
  }
  if (Recurse) {
    // Every node below, parents before their children, without recursion.
    std::vector<std::pair<TkxOcNode*, int>> stack{{this, 0}};
    while (!stack.empty()) {
      auto& [node, next] = stack.back();
      if (next >= node->Count()) {
        stack.pop_back();
        continue;
      }
      TkxOcNode* c = node->Items(next++);
      if (!c->HasChildren()) continue;
      c->Collapse(false);
      stack.emplace_back(c, 0);
    }
  }
}

void TkxOcNode::SetExpanded(bool Value) {
  if (Value) Expand(false);
  else Collapse(false);
}

void TkxOcNode::MoveTo(TkxOcNode* Destination, TNodeAttachMode Mode) {
  if (!FOwner || !Linked()) return;
  if (!Destination) {
    if (Mode == naAdd) Mode = naAddChild;
    else if (Mode == naAddFirst) Mode = naAddChildFirst;
    else if (Mode == naInsert) return;
  }
  if (Destination == this) return;
  if (Destination && (Destination->FOwner != FOwner || !Destination->Linked() || Destination->IsDescendantOf(this)))
    return;
  TkxOcNode* root = FOwner->Root();
  TkxOcNode* parent = nullptr;
  int index = -1;
  switch (Mode) {
    case naAdd: parent = Destination->FParent; index = -1; break;
    case naAddFirst: parent = Destination->FParent; index = 0; break;
    case naAddChild: parent = Destination ? Destination : root; index = -1; break;
    case naAddChildFirst: parent = Destination ? Destination : root; index = 0; break;
    case naInsert: parent = Destination->FParent; index = Destination->FIndex; break;
  }
  if (!parent) return;
  if (parent == FParent) {
    if (index > FIndex) --index;
    if (index == FIndex) return;
    if (index < 0 && FIndex == FParent->Count() - 1) return;
  }
  FOwner->MoveNodeTo(parent == root ? nullptr : parent, this, index);
}

void TkxOcNode::MakeVisible() {
  if (!FOwner || !Linked()) return;
  TkxCustomOrgChart* c = FOwner;
  c->FSuppressAnimation = true;
  try {
    for (TkxOcNode* p = FParent; p && p != c->Root(); p = p->FParent) p->Expand(false);
  } catch (...) {
    c->FSuppressAnimation = false;
    throw;
  }
  c->FSuppressAnimation = false;
  TRect r = DisplayRect();
  const int cw = c->ClientWidth(), ch = c->ClientHeight();
  if (r.Width() > cw || r.Height() > ch) r = TextRect();
  int left = r.left, top = r.top;
  if (r.right > cw) left -= r.right - cw;
  if (left < 0) left = 0;
  if (r.bottom > ch) top -= r.bottom - ch;
  if (top < 0) top = 0;
  if (left == r.left && top == r.top) return;
  c->ScrollTo(c->LeftEdge() + r.left - left, c->TopEdge() + r.top - top);
}

void TkxOcNode::DeleteChildren() {
  if (!FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  if (c->Selected() && c->Selected()->IsDescendantOf(this)) c->SetSelected(this == c->Root() ? nullptr : this);
  const bool wasDeleting = FDeleting;
  FDeleting = true;
  if (FChildren) {
    const std::vector<TkxOcNode*> kids = *FChildren;
    for (TkxOcNode* k : kids) c->DeleteNode(k);
  }
  FDeleting = wasDeleting;
  FChildren.reset();
  if (!(FParent && FParent->FDeleting)) SizesChanged(ocaBoth);
  if (this != c->Root()) FExpanded = false;
}

void TkxOcNode::SetWidth(Word Value) {
  if (!FOwner) return;
  const TPoint m = FOwner->MinimumNodeSize();
  if (Value != 0 && Value < m.x) Value = Word(m.x);
  if (Value == FWidth) return;
  FWidth = Value;
  if (Linked()) {
    FParent->SizesChanged(OcWidthAxis(FOwner->Rotated()));
    FOwner->NodeAttributesChanged(this);
  }
}

void TkxOcNode::SetHeight(Word Value) {
  if (!FOwner) return;
  const TPoint m = FOwner->MinimumNodeSize();
  if (Value != 0 && Value < m.y) Value = Word(m.y);
  if (Value == FHeight) return;
  FHeight = Value;
  if (Linked()) {
    FParent->SizesChanged(OcHeightAxis(FOwner->Rotated()));
    FOwner->NodeAttributesChanged(this);
  }
}

void TkxOcNode::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  if (Linked() && FOwner) {
    FOwner->InvalidateNode(this);
    FOwner->NodeAttributesChanged(this);
  }
}

void TkxOcNode::SetShape(TkxOcNodeShape Value) {
  if (Value == FShape) return;
  const bool was3D = FOwner && FOwner->Has3DEdge(this);
  FShape = Value;
  if (!Linked() || !FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  c->EndEdit(true);
  // A rectangle with a 3-D edge is one line wider and deeper than the other
  // shapes, so its row needs a new layout.
  if (was3D != c->Has3DEdge(this)) FParent->SizesChanged(ocaBoth);
  c->InvalidateNode(this);
  if (c->FHitNode == this && (c->FHitZones & hzOnBox)) c->FHitZones = 0;
  c->NodeAttributesChanged(this);
}

void TkxOcNode::SetChildAlign(TkxOcChildAlignment Value) {
  if (Value == FChildAlign) return;
  FChildAlign = Value;
  if (!Linked() || !FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  c->NodeAttributesChanged(this);
  c->InvalidateSlotArea(FParent);
  if (IsVisible()) {
    c->EndEdit(true);
    if (c->FHitNode == this) c->FHitZones = 0;
    if (!(c->FUpdateCount > 0 && c->FInvalidatePending)) c->InvalidateSlotArea(this);
  }
}

void TkxOcNode::SetImageIndex(SmallInt Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (Linked() && FOwner) {
    if (FOwner->Images()) FOwner->InvalidateNode(this);
    FOwner->NodeAttributesChanged(this);
  }
}

void TkxOcNode::SetImageAlign(TkxOcImageAlign Value) {
  if (Value == FImageAlign) return;
  FImageAlign = Value;
  if (Linked() && FOwner) {
    if (FOwner->Images()) FOwner->InvalidateNode(this);
    FOwner->NodeAttributesChanged(this);
  }
}

TColor TkxOcNode::EffectiveColor() const {
  if (FColor == clNone && FOwner) return FOwner->Color();
  return FColor;
}

void TkxOcNode::ApplyFont(TFont* Font) {
  if (FOwner && FOwner->OnSetFont && !FOwner->FDestroying) FOwner->OnSetFont(FOwner, this, Font);
}

void TkxOcNode::ReadData(TStream* Stream) {
  Byte b[kxOcNodeRecordSize];
  Stream->ReadBuffer(b, kxOcNodeRecordSize);
  auto w16 = [&](int o) { return Word(b[o] | (b[o + 1] << 8)); };
  const TColor color = TColor(std::uint32_t(b[4]) | (std::uint32_t(b[5]) << 8) | (std::uint32_t(b[6]) << 16) |
                              (std::uint32_t(b[7]) << 24));
  SetWidth(w16(0));
  SetHeight(w16(2));
  SetColor(color);
  SetChildAlign(TkxOcChildAlignment(std::min<int>(b[8], oaRight)));
  SetShape(TkxOcNodeShape(std::min<int>(b[9], nsDiamond)));
  SetImageIndex(SmallInt(w16(10)));
  SetImageAlign(TkxOcImageAlign(std::min<int>(b[12], iaBR)));
}

void TkxOcNode::WriteData(TStream* Stream) {
  Byte b[kxOcNodeRecordSize];
  auto put16 = [&](int o, unsigned v) {
    b[o] = Byte(v);
    b[o + 1] = Byte(v >> 8);
  };
  put16(0, FWidth);
  put16(2, FHeight);
  const std::uint32_t color = std::uint32_t(FColor);
  for (int i = 0; i < 4; ++i) b[4 + i] = Byte(color >> (8 * i));
  b[8] = Byte(FChildAlign);
  b[9] = Byte(FShape);
  put16(10, std::uint16_t(FImageIndex));
  b[12] = Byte(FImageAlign);
  Stream->WriteBuffer(b, kxOcNodeRecordSize);
}

AnsiString TkxOcNode::GetText() {
  if (FOwner && FOwner->OnGetText && !FOwner->FDestroying) {
    AnsiString t = FText;
    FOwner->OnGetText(FOwner, this, t);
    FText = t;
  }
  return FText;
}

void TkxOcNode::SetText(const AnsiString& Value) {
  FText = Value;
  if (FOwner && FOwner->OnSetText && !FOwner->FDestroying) FOwner->OnSetText(FOwner, this, Value);
}

void TkxOcNode::SizesChanged(TkxOcAxis Axis) {
  if (!FOwner) return;
  // An ancestor whose extents are already unknown ends the climb: above an
  // expanded one nothing is known either (its parent's extents were worked
  // out from its own), and a collapsed one's slot does not depend on what is
  // below it.
  auto clear = [Axis](const TkxOcNode* n) {
    return (Axis == ocaDown || n->FChildrenAcross == 0) && (Axis == ocaAcross || n->FChildrenDown == 0);
  };
  for (TkxOcNode* n = this; n; n = n->FParent) {
    if (n != this && clear(n)) break;
    if (Axis != ocaDown) n->FChildrenAcross = 0;
    if (Axis != ocaAcross) n->FChildrenDown = 0;
  }
  if (!IsVisible()) return;
  if (FExpanded) FOwner->LayoutChanged();
  else if (Count() < 2) FOwner->InvalidateNode(this);
}

// ---- TkxCustomOrgChart: creation ----

TkxCustomOrgChart::TkxCustomOrgChart(TComponent* AOwner) : TCustomControl(AOwner) {
  FOptions = {ocSelect, ocFocus, ocButtons, ocDblClick, ocEdit, ocCanDrag, ocShowDrag};
  FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 320, 200);
  FParentColor = false;
  FParentFont = false;
  FTabStop = true;
  FColor = clWindow;
  FRoot = new TkxOcNode(this);
  FRoot->FExpanded = true;
  FRoot->FChildAlign = oaCenter;
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TkxCustomOrgChart::ImagesChanged);
}

TkxCustomOrgChart::~TkxCustomOrgChart() {
  FDestroying = true;
  if (HandleAllocated()) {
    KillTimer(Handle(), 1);
    KillTimer(Handle(), 2);
  }
  FAutoScrollReleased = true;
  if (FEditor) {
    EndEdit(false);
    FEditor = nullptr;  // owned by the chart, freed with its components
  }
  FAnimBitmap.reset();
  FAnimNode = nullptr;
  FSelected = nullptr;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = nullptr;
  FImageChangeLink.reset();
  while (FRoot->Count()) TkxCustomOrgChart::DeleteNode(FRoot->FirstChild());
  FRoot->FDeleting = true;
  delete FRoot;
  FRoot = nullptr;
}

void TkxCustomOrgChart::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_TABSTOP;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
}

void TkxCustomOrgChart::CreateWnd() {
  TCustomControl::CreateWnd();
  if (FZoom) UpdateScrollBars();
  else {
    FLayoutDirty = true;
    UpdateLayout();
  }
}

void TkxCustomOrgChart::Loaded() {
  TCustomControl::Loaded();
  if (ComponentState().Contains(csDesigning)) ExpandAll();
}

void TkxCustomOrgChart::CMCtl3DChanged2(TMessage& Message) {
  if (FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
  TCustomControl::Dispatch(Message);
}

void TkxCustomOrgChart::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

// ---- nodes ----

TkxOcNode* TkxCustomOrgChart::NewNode() { return new TkxOcNode(this); }

void TkxCustomOrgChart::LinkNode(TkxOcNode* Parent, TkxOcNode* Node, int Index) {
  Node->FParent = Parent;
  if (!Parent->FChildren) Parent->FChildren = std::make_unique<std::vector<TkxOcNode*>>();
  auto& list = *Parent->FChildren;
  if (Index < 0 || Index > int(list.size())) Index = int(list.size());
  list.insert(list.begin() + Index, Node);
  for (std::size_t i = std::size_t(Index); i < list.size(); ++i) list[i]->FIndex = int(i);
}

void TkxCustomOrgChart::UnlinkNode(TkxOcNode* Node) {
  TkxOcNode* p = Node->FParent;
  if (!p || !p->FChildren) return;
  auto& list = *p->FChildren;
  const int at = Node->FIndex;
  if (at >= 0 && at < int(list.size()) && list[std::size_t(at)] == Node) list.erase(list.begin() + at);
  else list.erase(std::remove(list.begin(), list.end(), Node), list.end());
  for (std::size_t i = 0; i < list.size(); ++i) list[i]->FIndex = int(i);
  Node->FParent = nullptr;
}

TkxOcNode* TkxCustomOrgChart::InsertNodeAt(TkxOcNode* Parent, int Data, int Index) {
  if (!Parent) Parent = FRoot;
  // A linked node is in the tree: nodes leave it only by being unlinked.
  else if (Parent->FOwner != this || !Parent->Linked()) return nullptr;
  TkxOcNode* n = NewNode();
  if (!n) return nullptr;
  n->SetData(Data);
  if (OnCreateNode && !FDestroying) OnCreateNode(this, n);
  LinkNode(Parent, n, Index);
  Parent->SizesChanged(ocaBoth);
  const int before = FCount++;
  if (before == 0) SetSelected(n);
  return n;
}

TkxOcNode* TkxCustomOrgChart::Insert(TkxOcNode* Before, int Data) {
  if (!Before || Before->FOwner != this || !Before->Linked()) return nullptr;
  return InsertNodeAt(Before->Parent(), Data, Before->Index());
}

void TkxCustomOrgChart::MoveNodeTo(TkxOcNode* NewParent, TkxOcNode* Node, int Index) {
  if (!Node || Node->FOwner != this || !Node->Linked() || Node == FRoot) return;
  if (!NewParent) NewParent = FRoot;
  if (NewParent->FOwner != this || NewParent == Node || NewParent->IsDescendantOf(Node)) return;
  if (NewParent != FRoot && !NewParent->Linked()) return;
  TkxOcNode* old = Node->FParent;
  UnlinkNode(Node);
  if (NewParent != old) {
    old->SizesChanged(ocaBoth);
    if (old->Count() == 0) {
      old->FChildren.reset();
      if (old != FRoot) old->FExpanded = false;
    }
  }
  LinkNode(NewParent, Node, Index);
  NewParent->SizesChanged(ocaBoth);
  FHitZones = 0;
}

void TkxCustomOrgChart::DeleteNode(TkxOcNode* Node) {
  if (!Node || Node->FOwner != this || Node == FRoot) return;
  if (!Node->Linked()) {
    if (!Node->FFreeing) {
      Node->FDeleting = true;
      delete Node;
    }
    return;
  }
  // A node of a subtree that a running deletion takes apart (its parent is
  // being deleted): the selection left the subtree when the deletion began.
  const bool inner = FDeleteStack && Node->FParent->FDeleting;
  if (FSelected && (FSelected == Node || (!inner && FSelected->IsDescendantOf(Node)))) {
    SetSelected(Node->NextSibling());
    if (!FSelected) SetSelected(Node->PrevSibling());
    if (!FSelected) SetSelected(Node->Parent());
  }
  if (OnDeletion && !FDestroying) OnDeletion(this, Node);
  if (inner) {
    // freed by the running deletion once its own children have gone
    Node->FDeleting = true;
    FDeleteStack->push_back({Node, 0});
    return;
  }
  DeleteSubtree(Node);
  Node->FDeleting = true;
  Node->SetData(0);
  TkxOcNode* parent = Node->FParent;
  if (!parent->FDeleting) {
    UnlinkNode(Node);
    parent->SizesChanged(ocaBoth);
    if (parent->Count() == 0) {
      parent->FChildren.reset();
      if (parent != FRoot) parent->FExpanded = false;
    }
  } else {
    Node->FParent = nullptr;
  }
  ForgetNode(Node);
}

// Deletes every node below Top, each through DeleteNode, children before
// their parent, without recursion: DeleteNode lets a node of the subtree join
// this deletion's stack, and it is freed here when its own children have gone.
// Top ends without children, collapsed, as DeleteChildren leaves it.
void TkxCustomOrgChart::DeleteSubtree(TkxOcNode* Top) {
  std::vector<TOcDeleteFrame> stack{{Top, 0}};
  std::vector<TOcDeleteFrame>* outer = FDeleteStack;
  FDeleteStack = &stack;
  const bool wasDeleting = Top->FDeleting;
  Top->FDeleting = true;
  try {
    while (!stack.empty()) {
      TOcDeleteFrame& f = stack.back();
      if (f.Next < f.Node->Count()) {
        TkxOcNode* k = f.Node->Items(f.Next++);
        DeleteNode(k);
        continue;
      }
      TkxOcNode* n = f.Node;
      stack.pop_back();
      if (n == Top) break;
      n->FChildren.reset();
      n->FExpanded = false;
      n->SetData(0);
      n->FParent = nullptr;
      ForgetNode(n);
    }
  } catch (...) {
    FDeleteStack = outer;
    Top->FDeleting = wasDeleting;
    throw;
  }
  FDeleteStack = outer;
  Top->FDeleting = wasDeleting;
  Top->FChildren.reset();
  if (!(Top->FParent && Top->FParent->FDeleting)) Top->SizesChanged(ocaBoth);
  Top->FExpanded = false;
}

// A node out of the tree: nothing refers to it any more and, unless freed
// from outside, it is freed.
void TkxCustomOrgChart::ForgetNode(TkxOcNode* Node) {
  --FCount;
  if (FHitNode == Node) {
    FHitNode = nullptr;
    FHitZones = 0;
  }
  if (FAnimNode == Node) StopAnimation();
  if (FDropTarget == Node) FDropTarget = nullptr;
  if (FSelected == Node) FSelected = nullptr;
  if (!Node->FFreeing) delete Node;
}

void TkxCustomOrgChart::Clear() {
  SetSelected(nullptr);
  while (FRoot->Count()) DeleteNode(FRoot->FirstChild());
}

void TkxCustomOrgChart::ExpandAll() { FRoot->Expand(true); }

TkxOcNode* TkxCustomOrgChart::FirstNode() const { return FRoot->FirstChild(); }

void TkxCustomOrgChart::SelectionChanged(TkxOcNode* Node) {
  if (OnChange && !FDestroying) OnChange(this, Node);
}

void TkxCustomOrgChart::SelectionChanging(TkxOcNode* Node, bool& Allow) {
  Allow = true;
  if (OnChanging && !FDestroying) OnChanging(this, Node, Allow);
}

void TkxCustomOrgChart::SetSelected(TkxOcNode* Node) {
  if (Node == FSelected) return;
  if (Node && (Node->FOwner != this || Node == FRoot || !Node->Linked())) return;
  const bool wasEditing = IsEditing();
  EndEdit(true);
  if (FSelected) InvalidateNode(FSelected);
  if (Node && Node->IsVisible() && HandleAllocated() && !FDestroying) Update();
  FSelected = Node;
  if (Node) InvalidateNode(Node);
  if (wasEditing && Node && !FDestroying) BeginEdit();
  else EndEdit(true);
  SelectionChanged(Node);
}

// ---- updates and invalidation ----

void TkxCustomOrgChart::BeginUpdate() {
  if (FUpdateCount++ == 0 && HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TkxCustomOrgChart::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) {
    if (HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    FInvalidatePending = false;
    Invalidate();
  }
}

void TkxCustomOrgChart::Invalidate() {
  if (FUpdateCount > 0 && FInvalidatePending) return;
  FInvalidatePending = true;
  TCustomControl::Invalidate();
}

bool TkxCustomOrgChart::InvalidateNode(TkxOcNode* Node) {
  if (!Node || !HandleAllocated() || FDestroying) return false;
  if (FUpdateCount > 0 && FInvalidatePending) return false;
  TRect r = Node->DisplayRect();
  if (IsRectEmpty(&r)) return false;
  const int lw = LineWidth();
  int farDown = ShowsButton(Node) ? 6 : 0;
  int farAcross = 0;
  if (Has3DEdge(Node)) {
    farDown = std::max(farDown, lw);
    farAcross = lw;
  }
  if (FRotated) {
    r.left -= 6;
    r.right += farDown;
    r.bottom += farAcross;
  } else {
    r.top -= 6;
    r.bottom += farDown;
    r.right += farAcross;
  }
  InflateRect(&r, lw, lw);
  InvalidateRect(Handle(), &r, TRUE);
  return true;
}

void TkxCustomOrgChart::InvalidateSlotArea(TkxOcNode* N) {
  if (!N || !HandleAllocated() || FDestroying) return;
  int x = 0, y = 0;
  if (!NodeSlot(N, x, y)) return;
  TRect r{x, y, x + SlotWidth(N), y + SubtreeDepth(N) + GapDown()};
  r = LogicalToClient(r);
  InvalidateRect(Handle(), &r, TRUE);
}

// ---- property setters ----

TPoint TkxCustomOrgChart::MinimumNodeSize() const {
  if (FImages) return {std::max(16, 2 * FImages->Width()), std::max(16, 2 * FImages->Height())};
  return {16, 16};
}

void TkxCustomOrgChart::ClearCaches(TkxOcNode* N, TkxOcAxis Axis) {
  std::vector<TkxOcNode*> pending{N};
  while (!pending.empty()) {
    TkxOcNode* n = pending.back();
    pending.pop_back();
    if (Axis != ocaDown) n->FChildrenAcross = 0;
    if (Axis != ocaAcross) n->FChildrenDown = 0;
    for (int i = 0; i < n->Count(); ++i) pending.push_back(n->Items(i));
  }
}

void TkxCustomOrgChart::GlobalSizesChanged(TkxOcAxis Axis) {
  ClearCaches(FRoot, Axis);
  LayoutChanged();
}

void TkxCustomOrgChart::SetLineColor(TColor Value) {
  if (Value == clNone || Value == clDefault) Value = clBlack;
  if (Value == FLineColor) return;
  FLineColor = Value;
  Invalidate();
}

void TkxCustomOrgChart::SetLineWidth(Word Value) {
  if (Value == 0) Value = 1;
  if (Value == FLineWidth) return;
  FLineWidth = Value;
  GlobalSizesChanged(ocaBoth);
}

void TkxCustomOrgChart::SetSelectedNodeColor(TColor Value) {
  if (Value == clNone || Value == clDefault) Value = clHighlight;
  if (Value == FSelectedNodeColor) return;
  FSelectedNodeColor = Value;
  Invalidate();
}

void TkxCustomOrgChart::SetSelectedNodeTextColor(TColor Value) {
  if (Value == clNone || Value == clDefault) Value = clHighlightText;
  if (Value == FSelectedNodeTextColor) return;
  FSelectedNodeTextColor = Value;
  Invalidate();
}

void TkxCustomOrgChart::SetDefaultNodeWidth(Word Value) {
  Value = Word(std::max<int>(Value, MinimumNodeSize().x));
  if (Value == FDefaultNodeWidth) return;
  FDefaultNodeWidth = Value;
  GlobalSizesChanged(OcWidthAxis(FRotated));
}

void TkxCustomOrgChart::SetDefaultNodeHeight(Word Value) {
  Value = Word(std::max<int>(Value, MinimumNodeSize().y));
  if (Value == FDefaultNodeHeight) return;
  FDefaultNodeHeight = Value;
  GlobalSizesChanged(OcHeightAxis(FRotated));
}

void TkxCustomOrgChart::SetIndentX(Word Value) {
  if (Value == FIndentX) return;
  FIndentX = Value;
  GlobalSizesChanged(OcWidthAxis(FRotated));
}

void TkxCustomOrgChart::SetIndentY(Word Value) {
  if (Value == FIndentY) return;
  FIndentY = Value;
  GlobalSizesChanged(OcHeightAxis(FRotated));
}

void TkxCustomOrgChart::SetOptions(TkxOcOptions Value) {
  if (Value == FOptions) return;
  const TkxOcOptions old = FOptions;
  FOptions = Value;
  auto toggled = [&](TkxOcOption o) { return old.Contains(o) != Value.Contains(o); };
  if (toggled(ocRect3D)) GlobalSizesChanged(ocaBoth);
  if (toggled(ocButtons)) Invalidate();
  if (toggled(ocSelect) && FSelected) InvalidateNode(FSelected);
  if (toggled(ocFocus) && FSelected && HandleAllocated() && Focused()) InvalidateNode(FSelected);
}

void TkxCustomOrgChart::SetEditMode(TkxOcEditMode Value) {
  if (Value == FEditMode) return;
  FEditMode = Value;
  if (FEditor && FEditor->HandleAllocated()) FEditor->RecreateWnd();
  if (FCount > 0) Invalidate();
}

void TkxCustomOrgChart::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxCustomOrgChart::SetRotated(bool Value) {
  if (Value == FRotated) return;
  FRotated = Value;
  GlobalSizesChanged(ocaBoth);
  ScrollTo(0, 0);
}

void TkxCustomOrgChart::SetZoom(bool Value) {
  if (Value == FZoom) return;
  FZoom = Value;
  FScaleSuspend = Value ? 0 : 1;
  LayoutChanged();
  if (Value) UpdateScrollBars();
}

void TkxCustomOrgChart::SetImages(TCustomImageList* Value) {
  if (Value == FImages || FDestroying) return;
  BeginUpdate();
  try {
    if (FImages) {
      FImages->UnRegisterChanges(FImageChangeLink.get());
      FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
      FImages->RegisterChanges(FImageChangeLink.get());
      FImages->FreeNotification(this);
      if (FDefaultImageAlign == iaNone) FDefaultImageAlign = iaLT;
      const TPoint m = MinimumNodeSize();
      if (FDefaultNodeWidth < m.x) SetDefaultNodeWidth(Word(m.x));
      if (FDefaultNodeHeight < m.y) SetDefaultNodeHeight(Word(m.y));
      for (TkxOcNode* n = FirstNode(); n; n = n->GetNext()) {
        if (n->Width() != 0 && n->Width() < m.x) n->SetWidth(Word(m.x));
        if (n->Height() != 0 && n->Height() < m.y) n->SetHeight(Word(m.y));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TkxCustomOrgChart::ImagesChanged(TObject*) {
  BeginUpdate();
  EndUpdate();
}
