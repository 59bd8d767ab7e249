// The inspector control: node tree, layout, bands, divider, scrolling and the
// hosting of the live editor with the keyboard.
#include "inspector/kxinspector.h"

#include <algorithm>

#include "platform/controls/forms.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/registry.h"
#include "platform/win/winuser.h"

namespace kxinspector_cpp {
constexpr int cBandSeparatorWidth = 3;
}  // namespace kxinspector_cpp
using namespace kxinspector_cpp;

// ---------------------------------------------------------------------------
// TkxInspectorNode

TkxInspectorNode::~TkxInspectorNode() {
  FDestroying = true;
  while (Count() > 0) delete (*FChildren)[0];
  TkxInspectorNode* prev = GetPriorSiblingOrParent();
  TkxInspectorNode* next = GetNext();
  const bool wasLast = IsLast();
  const bool wasVisible = IsVisible();
  Detach();
  FChildren.reset();
  if (FOwner) FOwner->NodeDeleted(this, prev, wasVisible, wasLast, next);
}

std::vector<TkxInspectorNode*>& TkxInspectorNode::OwnerList() const {
  return FParent ? *FParent->FChildren : FOwner->FRoots;
}

void TkxInspectorNode::Detach() {
  if (FParent) {
    std::vector<TkxInspectorNode*>& list = *FParent->FChildren;
    std::erase(list, this);
    if (list.empty()) {
      FParent->FChildren.reset();
      FParent->FExpanded = false;
    }
  } else if (FOwner) {
    std::erase(FOwner->FRoots, this);
  }
}

TkxInspectorNode* TkxInspectorNode::Items(int Index) const {
  return Index >= 0 && Index < Count() ? (*FChildren)[std::size_t(Index)] : nullptr;
}

int TkxInspectorNode::Index() const {
  const auto& l = OwnerList();
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int(it - l.begin());
}

int TkxInspectorNode::IndexOf(TkxInspectorNode* Child) const {
  if (!FChildren) return -1;
  auto it = std::find(FChildren->begin(), FChildren->end(), Child);
  return it == FChildren->end() ? -1 : int(it - FChildren->begin());
}

int TkxInspectorNode::Level() const {
  int n = 0;
  for (TkxInspectorNode* p = FParent; p; p = p->FParent) ++n;
  return n;
}

bool TkxInspectorNode::IsLast() const { return Index() + 1 == int(OwnerList().size()); }

bool TkxInspectorNode::IsVisible() const {
  for (TkxInspectorNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

bool TkxInspectorNode::HasAsParent(TkxInspectorNode* Node) const {
  for (TkxInspectorNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

int TkxInspectorNode::AbsoluteIndex() const { return FOwner->GetAbsoluteIndex(this); }

bool TkxInspectorNode::Focused() const { return FOwner && FOwner->FocusedNode() == this; }

void TkxInspectorNode::SetFocused(bool Value) {
  if (Value == Focused()) return;
  FOwner->SetFocusedNode(Value ? this : nullptr);
}

void TkxInspectorNode::SetExpanded(bool Value) {
  if (!HasChildren() || Value == FExpanded) return;
  FExpanded = Value;
  FOwner->NodeChanged(this, true);
  if (!Value && FOwner->FocusedNode() && FOwner->FocusedNode()->HasAsParent(this)) SetFocused(true);
}

void TkxInspectorNode::Expand(bool Recurse) {
  if (!HasChildren()) return;
  FOwner->BeginUpdate();
  try {
    SetExpanded(true);
    if (Recurse)
      for (int i = 0; i < Count(); ++i) Items(i)->Expand(true);
  } catch (...) {
    FOwner->EndUpdate();
    throw;
  }
  FOwner->EndUpdate();
}

void TkxInspectorNode::Collapse(bool Recurse) {
  if (!HasChildren()) return;
  FOwner->BeginUpdate();
  try {
    SetExpanded(false);
    if (Recurse)
      for (int i = 0; i < Count(); ++i) Items(i)->Collapse(true);
  } catch (...) {
    FOwner->EndUpdate();
    throw;
  }
  FOwner->EndUpdate();
}

TkxInspectorNode* TkxInspectorNode::GetNext() const { return FOwner->GetNextVisible(this); }

TkxInspectorNode* TkxInspectorNode::GetPrev() const {
  const int i = Index();
  if (i < 1) return FParent;
  TkxInspectorNode* n = OwnerList()[std::size_t(i - 1)];
  return n->GetLastVisible();
}

TkxInspectorNode* TkxInspectorNode::GetPriorSiblingOrParent() const {
  const int i = Index();
  if (i < 1) return FParent;
  return OwnerList()[std::size_t(i - 1)];
}

TkxInspectorNode* TkxInspectorNode::GetLastVisible() {
  TkxInspectorNode* n = this;
  while (n->HasChildren() && n->FExpanded) n = n->Items(n->Count() - 1);
  return n;
}

void TkxInspectorNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

void TkxInspectorNode::MoveTo(TkxInspectorNode* Destination, TkxInspectorAttachMode Mode) {
  if (!Destination || Destination->HasAsParent(this)) return;
  if (Destination == this && Mode != iamAdd) return;
  FOwner->BeginUpdate();
  try {
    Detach();
    FParent = nullptr;
    if (Destination->FParent && Mode != iamAddChild) {
      TkxInspectorNode* p = Destination->FParent;
      if (!p->FChildren) p->FChildren = std::make_unique<std::vector<TkxInspectorNode*>>();
      if (Mode == iamAdd)
        p->FChildren->push_back(this);
      else
        p->FChildren->insert(p->FChildren->begin() + std::max(0, Destination->Index()), this);
      FParent = p;
    } else if (Mode == iamAddChild) {
      if (!Destination->FChildren) Destination->FChildren = std::make_unique<std::vector<TkxInspectorNode*>>();
      Destination->FChildren->push_back(this);
      FParent = Destination;
    } else if (Mode == iamAdd) {
      FOwner->FRoots.push_back(this);
    } else {
      FOwner->FRoots.insert(FOwner->FRoots.begin() + std::max(0, Destination->Index()), this);
    }
    FOwner->FFocusedNode = this;
    FOwner->MakeNodeVisible(this);
  } catch (...) {
    FOwner->EndUpdate();
    throw;
  }
  FOwner->EndUpdate();
}

void TkxInspectorNode::DeleteChildren() {
  while (Count() > 0) delete Items(0);
}

// ---------------------------------------------------------------------------
// TkxInspectorEditStyle

TkxEditBorderStyle TkxInspectorEditStyle::GetDefaultBorderStyle() const {
  return FInspector && FInspector->PaintStyle() == ipsCategorized ? xbsFlat : xbsNone;
}

TkxEditButtonViewStyle TkxInspectorEditStyle::GetDefaultButtonStyle() const {
  return FInspector && (FInspector->PaintStyle() == ipsCategorized || FInspector->Flat()) ? btsFlat : bts3D;
}

// ---------------------------------------------------------------------------
// TCustomkxInspector: construction

TCustomkxInspector::TCustomkxInspector(TComponent* AOwner) : TCustomkxContainer(AOwner) {
  FControlStyle << csCaptureMouse << csOpaque << csDoubleClicks << csDisplayDragImage;
  FParentColor = false;
  FColor = clBtnFace;
  FTabStop = true;
  FWidth = 150;
  FHeight = 250;
  FDividerPos = 75;
  FRememberedDivider = 75;
  FOptions = TkxInspectorOptions{ioAutoWidth, ioBandSizing, ioColumnSizing, ioDynamicColumnSizing, ioEditing};
  FImageChangeLink = new TChangeLink();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomkxInspector::ImagesChanged);
  FCell = new TkxInspectorCellViewData();
}

void TCustomkxInspector::BeforeDestruction() {
  FDestroying = true;
  TCustomkxContainer::BeforeDestruction();
}

TCustomkxInspector::~TCustomkxInspector() {
  FDestroying = true;
  ClearNodes();
  KillHintTimers();
  delete FDragImages;
  FDragImages = nullptr;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink);
  delete FImageChangeLink;
  delete FCell;
}

void TCustomkxInspector::CreateParams(TCreateParams& Params) {
  TCustomkxContainer::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (FBorderStyle == bsSingle && !FFlat) {
    if (Ctl3D()) {
      Params.Style &= ~DWORD(WS_BORDER);
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.Style |= WS_VSCROLL;
}

void TCustomkxInspector::Loaded() {
  TCustomkxContainer::Loaded();
  LayoutChanged();
}

void TCustomkxInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxContainer::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FEditor) {
    FEditor = nullptr;
    FEditedNode = nullptr;
  }
  if (AComponent == FClickEditor) FClickEditor = nullptr;
}

// ---------------------------------------------------------------------------
// Tree operations

TkxInspectorNode* TCustomkxInspector::Add() {
  TkxInspectorNode* n = CreateNode();
  FRoots.push_back(n);
  NodeAdded(n);
  return n;
}

TkxInspectorNode* TCustomkxInspector::CreateNode() {
  throw Exception("The inspector cannot hold nodes of its own");
}

TkxInspectorNode* TCustomkxInspector::Items(int Index) const {
  return Index >= 0 && Index < Count() ? FRoots[std::size_t(Index)] : nullptr;
}

int TCustomkxInspector::FocusedNumber() const { return FFocusedNode ? GetAbsoluteIndex(FFocusedNode) : -1; }

int TCustomkxInspector::TopIndex() const { return FTopNode ? GetAbsoluteIndex(FTopNode) : -1; }

TkxInspectorNode* TCustomkxInspector::LastNode() const {
  return FRoots.empty() ? nullptr : FRoots.back()->GetLastVisible();
}

int TCustomkxInspector::GetAbsoluteCount() const {
  int n = 0;
  for (const TkxInspectorNode* r = FirstNode(); r; r = GetNextVisible(r)) ++n;
  return n;
}

int TCustomkxInspector::GetAbsoluteIndex(const TkxInspectorNode* Node) const {
  if (!Node || FRoots.empty() || !IsNodeVisible(Node)) return -1;
  int i = 0;
  for (const TkxInspectorNode* n = FirstNode(); n; n = GetNextVisible(n), ++i)
    if (n == Node) return i;
  return -1;
}

TkxInspectorNode* TCustomkxInspector::GetNodeByAbsoluteIndex(int Index) const {
  if (Index < 0) return nullptr;
  TkxInspectorNode* n = FirstNode();
  for (; n && Index > 0; --Index) n = GetNextVisible(n);
  return n;
}

TkxInspectorNode* TCustomkxInspector::GetNextVisible(const TkxInspectorNode* Node) const {
  if (!Node) return nullptr;
  if (Node->FExpanded && Node->HasChildren()) return Node->Items(0);
  for (const TkxInspectorNode* n = Node; n; n = n->FParent) {
    const auto& l = n->OwnerList();
    const int i = n->Index();
    if (i >= 0 && i + 1 < int(l.size())) return l[std::size_t(i + 1)];
  }
  return nullptr;
}

bool TCustomkxInspector::IsNodeVisible(const TkxInspectorNode* Node) const { return Node && Node->IsVisible(); }

TkxInspectorNode* TCustomkxInspector::GetRootNode(TkxInspectorNode* Node) const {
  while (Node && Node->FParent) Node = Node->FParent;
  return Node;
}

void TCustomkxInspector::MakeNodeVisible(TkxInspectorNode* Node) {
  if (!Node) return;
  bool expanded = false;
  if (!Node->IsVisible()) {
    BeginUpdate();
    expanded = true;
    try {
      for (TkxInspectorNode* p = Node->FParent; p; p = p->FParent)
        if (!p->FExpanded) p->SetExpanded(true);
    } catch (...) {
      EndUpdate();
      throw;
    }
  }
  const int a = TopIndex(), b = GetAbsoluteIndex(Node);
  if (b < a || b > a + FRowsPerPage - 1 || expanded) {
    if (FOptions.Contains(ioAutoBandCount)) {
      const int c = BandOfNode(Node);
      if (c < FFirstVisibleBand)
        SetFirstBand(c);
      else if (c > FFirstVisibleBand + FFullVisibleBandCount - 1)
        SetFirstBand(c - FFullVisibleBandCount + 1);
    } else if (b < a) {
      SetTopIndex(b);
    } else if (b > a + FRowsPerPage - 1) {
      SetTopIndex(b - FRowsPerPage + 1);
    }
  }
  if (expanded) EndUpdate();
}

void TCustomkxInspector::FullCollapse() {
  if (FRoots.empty()) return;
  BeginUpdate();
  try {
    for (std::size_t i = 0; i < FRoots.size(); ++i) FRoots[i]->Collapse(true);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomkxInspector::ClearNodes() {
  const bool d = FDestroying;
  if (!d) BeginUpdate();
  while (!FRoots.empty()) delete FRoots[0];
  if (!d) EndUpdate();
}

void TCustomkxInspector::EndUpdate() {
  if (FLockUpdate > 0) --FLockUpdate;
  LayoutChanged();
}

void TCustomkxInspector::SetFocusedNode(TkxInspectorNode* Node) {
  if (FLockUpdate > 0) {
    FFocusedNode = Node;
    return;
  }
  TkxInspectorNode* old = FFocusedNode;
  if (Node) MakeNodeVisible(Node);
  if (Node != FFocusedNode) {
    FFocusedNode = Node;
    InvalidateRow(old, false);
    InvalidateRow(Node, false);
  }
  if (old != FFocusedNode) {
    HideEditor();
    UpdateFocusedItem();
    DoChangeNode(old, FFocusedNode);
  }
}

void TCustomkxInspector::DoChangeNode(TkxInspectorNode* OldNode, TkxInspectorNode* Node) {
  if (OnChangeNode) OnChangeNode(this, OldNode, Node);
}

void TCustomkxInspector::SetFocusedNumber(int Index) {
  if (FRoots.empty()) return;
  if (Index == FocusedNumber()) return;
  Index = std::clamp(Index, 0, GetAbsoluteCount() - 1);
  if (Index != FocusedNumber()) SetFocusedNode(GetNodeByAbsoluteIndex(Index));
  Click();
}

void TCustomkxInspector::NodeAdded(TkxInspectorNode* Node) {
  HideEditor();
  if (!FTopNode) FTopNode = Node;
  if (!FFocusedNode) FFocusedNode = FTopNode;
  TkxInspectorNode* n = Node->GetPriorSiblingOrParent();
  NodeChanged(n ? n : Node, true);
}

void TCustomkxInspector::NodeDeleted(TkxInspectorNode* Node, TkxInspectorNode* Prev, bool WasVisible, bool WasLast,
                                     TkxInspectorNode* Next) {
  if (FRoots.empty()) {
    FTopNode = FFocusedNode = FEditedNode = FSizingNode = FHotNode = nullptr;
    FPressedNode = FDragNode = FClickNode = nullptr;
    ResetHintTarget();
    if (FLockUpdate == 0 && !FDestroying) {
      HideEditor();
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  if (FTopNode == Node) FTopNode = Prev ? Prev : Next;
  if (FFocusedNode == Node) FFocusedNode = Prev ? Prev : Next;
  if (FEditedNode == Node) FEditedNode = nullptr;
  if (FSizingNode == Node) FSizingNode = nullptr;
  if (FHotNode == Node) FHotNode = nullptr;
  if (FPressedNode == Node) FPressedNode = nullptr;
  if (FDragNode == Node) FDragNode = nullptr;
  if (FClickNode == Node) FClickNode = nullptr;
  if (FHintNode == Node) ResetHintTarget();
  if (FDestroying) return;
  HideEditor();
  if (WasVisible) {
    TkxInspectorNode* x = FTopNode ? FTopNode : FFocusedNode ? FFocusedNode : Prev ? Prev : Next;
    if (x) NodeChanged(x, true);
  }
}

void TCustomkxInspector::NodeChanged(TkxInspectorNode* Node, bool Full) {
  if (!Node || Node->Destroying() || FLockUpdate > 0 || FDestroying || !Node->IsVisible()) return;
  if (Full) {
    UpdateScrollBars();
    KeepBottomFilled();
  }
  InvalidateRow(Node, Full);
}

// ---------------------------------------------------------------------------
// Properties

void TCustomkxInspector::SetBandWidth(int Value) {
  Value = std::max(Value, FMinBandWidth);
  if (Value == FBandWidth) return;
  FBandWidth = Value;
  LayoutChanged();
  if (HandleAllocated()) Perform(WM_SIZE, 0, MAKELPARAM(ClientWidth(), ClientHeight()));
}

void TCustomkxInspector::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomkxInspector::SetComplexRowSeparator(const AnsiString& Value) {
  if (Value == FComplexRowSeparator) return;
  FComplexRowSeparator = Value;
  LayoutChanged();
}

int TCustomkxInspector::ClampDivider(int Value, int ColumnWidth) {
  if (ColumnWidth > 0) {
    Value = std::min(Value, ColumnWidth - FMinColumnWidth);
    Value = std::max(Value, FMinColumnWidth);
  }
  return Value;
}

void TCustomkxInspector::SetDividerPos(int Value) {
  if (HandleAllocated()) Value = ClampDivider(Value, GetColumnWidth());
  if (Value != FDividerPos) {
    FDividerPos = Value;
    Invalidate();
  }
  if (!FResizing) {
    FRememberedDivider = FDividerPos;
    FRememberedColumnWidth = HandleAllocated() ? GetColumnWidth() : -1;
  }
  UpdateScrollBars();
  KeepBottomFilled();
}

void TCustomkxInspector::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  SetFlatScrollBars(Value ? 1 : 0);
  RecreateWnd();
}

void TCustomkxInspector::SetGridColor(TColor Value) {
  if (Value == FGridColor) return;
  FGridColor = Value;
  LayoutChanged();
}

bool TCustomkxInspector::IsGridColorStored() const {
  return !((FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) && FGridColor == clBtnShadow);
}

void TCustomkxInspector::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  BeginUpdate();
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
  EndUpdate();
}

void TCustomkxInspector::ImagesChanged(TObject* Sender) {
  if (HandleAllocated() && Sender == FImages) LayoutChanged();
}

void TCustomkxInspector::SetMaxRowTextLineCount(int Value) {
  Value = std::max(Value, 0);
  if (Value == FMaxRowTextLineCount) return;
  FMaxRowTextLineCount = Value;
  LayoutChanged();
}

void TCustomkxInspector::SetMinBandWidth(int Value) {
  Value = std::max(Value, 43);
  if (Value == FMinBandWidth) return;
  FMinBandWidth = Value;
  SetBandWidth(FBandWidth);
}

void TCustomkxInspector::SetMinColumnWidth(int Value) {
  Value = std::max(Value, 20);
  if (Value == FMinColumnWidth) return;
  FMinColumnWidth = Value;
  SetDividerPos(FDividerPos);
}

void TCustomkxInspector::SetPaintStyle(TkxInspectorPaintStyle Value) {
  if (Value == FPaintStyle) return;
  auto simpleGroup = [](TkxInspectorPaintStyle S) { return S == ipsSimple || S == ipsNET; };
  if (simpleGroup(Value) != simpleGroup(FPaintStyle)) {
    if (simpleGroup(Value)) {
      if (FValueColor == clNavy) FValueColor = Font()->Color();
      if (FGridColor == clBtnShadow) FGridColor = clBtnFace;
      if (Color() == clBtnFace) SetColor(clWindow);
    } else {
      if (FValueColor == Font()->Color()) FValueColor = clNavy;
      if (FGridColor == clBtnFace) FGridColor = clBtnShadow;
      if (Color() == clWindow) SetColor(clBtnFace);
    }
  }
  FPaintStyle = Value;
  LayoutChanged();
}

void TCustomkxInspector::SetRowHeight(int Value) {
  Value = std::max(Value, FMinRowHeight);
  if (Value == FRowHeight) return;
  FRowHeight = Value;
  FRowHeightAssigned = true;
  LayoutChanged();
}

void TCustomkxInspector::SetShowRowHint(bool Value) {
  if (Value == FShowRowHint) return;
  FShowRowHint = Value;
  if (Value) SetShowHint(false);
}

void TCustomkxInspector::CMShowHintChanged(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  if (ShowHint()) FShowRowHint = false;
}

void TCustomkxInspector::SetInternalOptions(TkxInspectorOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  SetDividerPos(FDividerPos);
  LayoutChanged();
  UpdateEditor(false, false);
}

// ---------------------------------------------------------------------------
// Metrics and layout

int TCustomkxInspector::GetTextHeight(TCanvas* Canvas) { return Canvas->TextHeight("Wg") + 3; }

int TCustomkxInspector::GetRowsTextHeight(TCanvas* Canvas) { return GetTextHeight(Canvas); }

void TCustomkxInspector::LayoutChanged() {
  if (FLockUpdate > 0) return;
  ++FLockUpdate;
  try {
    RecalcMetrics();
    if (!ComponentState().Contains(csLoading)) {
      RowsChanged();
      UpdateScrollBars();
      KeepBottomFilled();
      Invalidate();
    }
  } catch (...) {
    --FLockUpdate;
    throw;
  }
  --FLockUpdate;
}

void TCustomkxInspector::RecalcMetrics() {
  if (ComponentState().Contains(csLoading)) return;
  TCanvas* c = Canvas();
  HDC screen = nullptr;
  const bool borrowed = !HandleAllocated();
  if (borrowed) {
    screen = GetDC(nullptr);
    c->SetHandle(screen);
  }
  try {
    c->Font()->Assign(Font());
    FButtonWidth = 10;
    switch (FPaintStyle) {
      case ipsStandard: FIndentWidth = c->TextWidth("+"); break;
      case ipsSimple:
      case ipsNET: FIndentWidth = 15; break;
      default: FIndentWidth = 14; break;
    }
    FCaptionSeparatorWidth = c->TextWidth(FComplexRowSeparator + "_");
    FValueSeparatorWidth = FPaintStyle == ipsCategorized ? 4 : FCaptionSeparatorWidth;
    FGridLineWidth = FPaintStyle == ipsCategorized ? 0 : 1;
    FRowFrameWidth = FPaintStyle == ipsCategorized ? 2 : 0;
    FTextHeight = GetTextHeight(c);
    FMinRowHeight = GetRowsTextHeight(c) + FGridLineWidth + 2 * FRowFrameWidth;
  } catch (...) {
    if (borrowed) {
      c->SetHandle(nullptr);
      ReleaseDC(nullptr, screen);
    }
    throw;
  }
  if (borrowed) {
    c->SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
  }
  if (!FRowHeightAssigned) FRowHeight = FMinRowHeight;
  if (FRowHeight < FMinRowHeight) FRowHeight = FMinRowHeight;
  if (FRowHeight == FMinRowHeight) FRowHeightAssigned = false;
  FImageWidth = FImages ? FImages->Width() : 0;
  FImageHeight = FImages ? FImages->Height() : 0;
  if (FRowHeight - FGridLineWidth - 2 * FRowFrameWidth < FImageHeight)
    FRowHeight = FGridLineWidth + FImageHeight + 2 * FRowFrameWidth;
}

int TCustomkxInspector::BaseRowHeight(TkxInspectorNode* Node) {
  return FRowHeight - (FPaintStyle == ipsCategorized && IsCategory(Node) ? 2 : 0);
}

int TCustomkxInspector::GetRowHeight(TkxInspectorNode* Node) { return BaseRowHeight(Node); }

int TCustomkxInspector::GetColumnWidth() {
  return FOptions.Contains(ioAutoBandCount) ? FBandWidth - cBandSeparatorWidth : Width();
}

void TCustomkxInspector::CalcBandCounts() {
  if (!FOptions.Contains(ioAutoBandCount)) {
    FBandCount = FVisibleBandCount = FFullVisibleBandCount = 1;
    FFirstVisibleBand = 0;
    return;
  }
  const TRect cr = ClientRect();
  const int cw = cr.Width(), ch = cr.Height();
  int f = cw / FBandWidth, v = f;
  int t = 1, sum = 0, inBand = 0;
  for (TkxInspectorNode* n = FirstNode(); n; n = GetNextVisible(n)) {
    const int h = GetRowHeight(n);
    sum += h;
    ++inBand;
    if (sum >= ch) {
      ++t;
      if (sum > ch && inBand > 1) {
        sum = h;
        inBand = 1;
      } else {
        sum = 0;
        inBand = 0;
      }
    }
  }
  if (sum == 0 && inBand == 0 && t > 1) --t;  // a band that ended exactly holds no rows after it
  if (cw % FBandWidth != 0 && FFirstVisibleBand != t - 1) v = f + 1;
  v = std::min(v, t);
  t = std::max(t, f);
  FBandCount = std::max(t, 1);
  FVisibleBandCount = std::max(v, 1);
  FFullVisibleBandCount = std::max(f, 1);
}

void TCustomkxInspector::FillBand(TkxInspectorBandInfo& Band, TkxInspectorNode*& Node, bool BandMode) {
  const int h = Band.RowsRect.Height();
  int sum = 0;
  while (Node) {
    const int rh = GetRowHeight(Node);
    if (BandMode && sum + rh > h && !Band.Rows.empty()) break;
    Band.Rows.push_back({Node, rh});
    sum += rh;
    Node = GetNextVisible(Node);
    if (sum >= h) break;
  }
  Band.LastRowClipped = sum > h;
  if (sum < h)
    Band.EmptyRect = TRect{Band.RowsRect.left, Band.RowsRect.top + sum, Band.RowsRect.right, Band.RowsRect.bottom};
}

void TCustomkxInspector::CalcViewInfo(TkxInspectorViewInfo& Info) {
  Info = TkxInspectorViewInfo();
  Info.ClientRect = ClientRect();
  const TRect cr = Info.ClientRect;
  if (!FOptions.Contains(ioAutoBandCount)) {
    TkxInspectorBandInfo b;
    b.BandRect = b.RowsRect = cr;
    TkxInspectorNode* n = FTopNode;
    FillBand(b, n, false);
    Info.Bands.push_back(std::move(b));
    return;
  }
  TkxInspectorNode* n = FirstNode();
  int x = cr.left;
  for (int i = 0; i < FFirstVisibleBand + FVisibleBandCount; ++i) {
    TkxInspectorBandInfo b;
    b.Index = i;
    b.BandRect = TRect{x, cr.top, x + FBandWidth, cr.bottom};
    b.RowsRect = TRect{x, cr.top, x + FBandWidth - cBandSeparatorWidth, cr.bottom};
    b.SeparatorRect = TRect{b.RowsRect.right, cr.top, b.BandRect.right, cr.bottom};
    FillBand(b, n, true);
    if (i >= FFirstVisibleBand) {
      Info.Bands.push_back(std::move(b));
      x += FBandWidth;
    }
  }
  if (Info.BandCount() * FBandWidth < cr.Width())
    Info.EmptyRect = TRect{cr.left + Info.BandCount() * FBandWidth, cr.top, cr.right, cr.bottom};
}

int TCustomkxInspector::BandOfNode(TkxInspectorNode* Node) {
  const TRect cr = ClientRect();
  TkxInspectorNode* n = FirstNode();
  for (int band = 0; n; ++band) {
    TkxInspectorBandInfo b;
    b.RowsRect = TRect{0, cr.top, 1, cr.bottom};
    FillBand(b, n, true);
    for (const auto& r : b.Rows)
      if (r.Node == Node) return band;
    if (b.Rows.empty()) break;
  }
  return 0;
}

TkxInspectorNode* TCustomkxInspector::FirstNodeOfBand(int Band) {
  const TRect cr = ClientRect();
  TkxInspectorNode* n = FirstNode();
  for (int i = 0; i < Band && n; ++i) {
    TkxInspectorBandInfo b;
    b.RowsRect = TRect{0, cr.top, 1, cr.bottom};
    FillBand(b, n, true);
  }
  return n;
}

void TCustomkxInspector::CalcRowsPerPage() {
  TkxInspectorViewInfo vi;
  CalcViewInfo(vi);
  if (!FOptions.Contains(ioAutoBandCount)) {
    const auto& b = vi.Bands[0];
    FRowsShown = int(b.Rows.size());
    FRowsPerPage = FRowsShown - (b.LastRowClipped ? 1 : 0);
  } else {
    FRowsPerPage = FRowsShown = 0;
    for (int i = 0; i < vi.BandCount(); ++i) {
      FRowsShown += int(vi.Bands[std::size_t(i)].Rows.size());
      if (i < FFullVisibleBandCount) FRowsPerPage += int(vi.Bands[std::size_t(i)].Rows.size());
    }
  }
  FRowsPerPage = std::max(FRowsPerPage, 1);
  FRowsShown = std::max(FRowsShown, 1);
}

void TCustomkxInspector::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  CalcBandCounts();
  CalcRowsPerPage();
  SCROLLINFO v{}, h{};
  v.cbSize = h.cbSize = sizeof(SCROLLINFO);
  v.fMask = h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (FOptions.Contains(ioAutoBandCount)) {
    h.nPage = UINT(FFullVisibleBandCount);
    h.nMax = FFullVisibleBandCount >= FBandCount ? 0 : FBandCount - 1;
    h.nPos = FFirstVisibleBand;
  } else {
    const int count = GetAbsoluteCount();
    v.nPage = UINT(FRowsPerPage);
    v.nMax = FRowsPerPage >= count ? 0 : count - 1;
    v.nPos = std::max(TopIndex(), 0);
  }
  SetScrollInfo(SB_HORZ, h, true);
  SetScrollInfo(SB_VERT, v, true);
}

void TCustomkxInspector::SetTopIndex(int Index) {
  if (FRoots.empty()) return;
  const int count = GetAbsoluteCount();
  Index = std::clamp(Index, 0, count - 1);
  if (FOptions.Contains(ioAutoBandCount)) {
    const int band = BandOfNode(GetNodeByAbsoluteIndex(Index));
    if (FirstNodeOfBand(FFirstVisibleBand) != FirstNodeOfBand(band)) SetFirstBand(band);
    return;
  }
  if (Index == TopIndex()) return;
  if (Index + FRowsPerPage > count) Index = std::max(count - FRowsPerPage, 0);
  if (Index == TopIndex()) return;
  FTopNode = GetNodeByAbsoluteIndex(Index);
  UpdateScrollBars();
  if (FLockUpdate == 0) Invalidate();
}

void TCustomkxInspector::SetFirstBand(int Band) {
  if (FBandCount < 1 || FRoots.empty()) return;
  Band = std::max(Band, 0);
  if (Band + FFullVisibleBandCount > FBandCount) Band = std::min(Band, FBandCount);
  TkxInspectorNode* first = FirstNodeOfBand(Band);
  if (Band == FFirstVisibleBand && FTopNode == first) return;
  FFirstVisibleBand = Band;
  FTopNode = first ? first : FirstNode();
  UpdateScrollBars();
  KeepBottomFilled();
  Invalidate();
}

void TCustomkxInspector::KeepBottomFilled() {
  if (!HandleAllocated() || FRoots.empty()) return;
  if (FOptions.Contains(ioAutoBandCount)) {
    if (FFirstVisibleBand + FFullVisibleBandCount > FBandCount) {
      const int b = std::max(FBandCount - FFullVisibleBandCount, 0);
      if (b != FFirstVisibleBand) SetFirstBand(b);
    }
    return;
  }
  const int count = GetAbsoluteCount(), top = std::max(TopIndex(), 0);
  const int ch = ClientHeight();
  TkxInspectorNode* n = GetNodeByAbsoluteIndex(std::min(top + FRowsPerPage - 1, count - 1));
  int c = 0, sum = 0;
  for (; n; n = n->GetPrev()) {
    sum += GetRowHeight(n);
    if (sum > ch) break;
    ++c;
  }
  c = std::max(c, 1);
  if (top + c > count) SetTopIndex(std::max(count - c, 0));
}

void TCustomkxInspector::GetRowRect(TkxInspectorNode* Node, TRect& Rect, bool ToBottom) {
  Rect = TRect();
  if (!Node) return;
  TkxInspectorViewInfo vi;
  CalcViewInfo(vi);
  for (const auto& b : vi.Bands) {
    int y = b.RowsRect.top;
    for (const auto& r : b.Rows) {
      if (r.Node == Node) {
        Rect = TRect{b.RowsRect.left, y, b.RowsRect.right, ToBottom ? vi.ClientRect.bottom : y + r.Height};
        return;
      }
      y += r.Height;
    }
  }
}

void TCustomkxInspector::InvalidateRow(TkxInspectorNode* Node, bool ToBottom) {
  if (!Node || !HandleAllocated()) return;
  if (ToBottom && FOptions.Contains(ioAutoBandCount)) {
    Invalidate();
    return;
  }
  TRect r;
  GetRowRect(Node, r, ToBottom);
  if (IsRectEmpty(&r)) return;
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) r.top -= 2;
  if (FOptions.Contains(ioAutoBandCount)) InflateRect(&r, 2, 0);
  ::InvalidateRect(Handle(), &r, FALSE);
}

// ---------------------------------------------------------------------------
// Window frame, size and scrolling

void TCustomkxInspector::WMNCCalcSize(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  if (FFlat && FBorderStyle == bsSingle) {
    auto* r = reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(r, -1, -1);
  }
}

void TCustomkxInspector::WMNCPaint(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  if (FFlat && FBorderStyle == bsSingle) {
    HDC dc = GetWindowDC(Handle());
    RECT r;
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    ReleaseDC(Handle(), dc);
  }
}

void TCustomkxInspector::CMCtl3DChanged(TMessage& Message) {
  if (FBorderStyle == bsSingle && !FFlat) RecreateWnd();
  TCustomkxContainer::Dispatch(Message);
}

void TCustomkxInspector::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TCustomkxInspector::WMNCHitTest(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  FNCHitPoint = TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
}

void TCustomkxInspector::CMColorChanged(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  Invalidate();
}

void TCustomkxInspector::CMFontChanged(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  LayoutChanged();
}

void TCustomkxInspector::WMSize(TWMSize& Message) {
  TCustomkxContainer::Dispatch(Message);
  const bool saved = FResizing;
  FResizing = true;
  try {
    UpdateScrollBars();
    if (FOptions.Contains(ioAutoWidth) && !ComponentState().Contains(csLoading) && !FInLoaded) {
      const int cw = GetColumnWidth();
      if (FRememberedColumnWidth == -1) FRememberedColumnWidth = cw;
      if (FRememberedColumnWidth == 0) {
        FRememberedColumnWidth = -1;
        SetDividerPos(0);
      } else {
        SetDividerPos(cw * FRememberedDivider / FRememberedColumnWidth);
      }
    } else {
      SetDividerPos(FDividerPos);
    }
    KeepBottomFilled();
  } catch (...) {
    FResizing = saved;
    throw;
  }
  FResizing = saved;
  UpdateEditor(false, false);
}

void TCustomkxInspector::WMVScroll(TMessage& Message) {
  if (!AcquireFocus()) return;
  const int top = TopIndex();
  int v;
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: v = top - 1; break;
    case SB_LINEDOWN: v = top + 1; break;
    case SB_PAGEUP: v = top - FRowsPerPage; break;
    case SB_PAGEDOWN: v = top + FRowsPerPage; break;
    case SB_THUMBTRACK: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(SB_VERT, si);
      v = si.nTrackPos < 1 ? 0 : si.nTrackPos;
      if (v >= GetAbsoluteCount()) v = GetAbsoluteCount();
      break;
    }
    default: return;
  }
  SetTopIndex(v);
}

void TCustomkxInspector::WMHScroll(TMessage& Message) {
  if (!AcquireFocus()) return;
  int v;
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: v = FFirstVisibleBand - 1; break;
    case SB_LINEDOWN: v = FFirstVisibleBand + 1; break;
    case SB_PAGEUP: v = FFirstVisibleBand - FFullVisibleBandCount; break;
    case SB_PAGEDOWN: v = FFirstVisibleBand + FFullVisibleBandCount; break;
    case SB_THUMBTRACK: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(SB_HORZ, si);
      v = si.nTrackPos < 1 ? 0 : std::min<int>(si.nTrackPos, FBandCount);
      break;
    }
    default: return;
  }
  SetFirstBand(v);
}

void TCustomkxInspector::CustomizeFormHidden() {
  if (FCustomizeForm)
    FCustomizeBounds = TRect{FCustomizeForm->Left(), FCustomizeForm->Top(), FCustomizeForm->Width(),
                             FCustomizeForm->Height()};
  if (OnHideCustomizeForm) OnHideCustomizeForm(this);
}

void TCustomkxInspector::CustomizeFormShown() {
  if (FCustomizeForm && FCustomizeBounds.left != -10000)
    FCustomizeForm->SetBounds(FCustomizeBounds.left, FCustomizeBounds.top, FCustomizeBounds.right,
                              FCustomizeBounds.bottom);
  if (OnShowCustomizeForm) OnShowCustomizeForm(this);
}

// ---------------------------------------------------------------------------
// Editing

TkxEditStyle* TCustomkxInspector::CreateEditStyle(TkxInplaceEdit* Edit) {
  return new TkxInspectorEditStyle(Edit, this);
}

bool TCustomkxInspector::WantsEditorTabs() {
  return FOptions.Contains(ioTabs) && GetAsyncKeyState(VK_CONTROL) >= 0;
}

void TCustomkxInspector::EditorFocusChanged() { InvalidateRow(FFocusedNode, false); }

bool TCustomkxInspector::HasFocus() {
  HWND f = GetFocus();
  return HandleAllocated() && f && (f == Handle() || IsChild(Handle(), f));
}

bool TCustomkxInspector::EditorFocused() { return HasFocus() || (FEditor && FEditor->IsFocused()); }

bool TCustomkxInspector::CanShowEditor() {
  return FOptions.Contains(ioEditing) && FFocusedNode && !IsCategory(FFocusedNode) &&
         !ComponentState().Contains(csDesigning) && FLockUpdate == 0 && HandleAllocated() && FState != isDragging &&
         !FCustomizeForm;
}

TkxInplaceEdit* TCustomkxInspector::CreateEditor(TkxInspectorNode* Node) {
  return NewObject<TkxInplaceTextEdit>(this);
}

void TCustomkxInspector::GetEditorRect(TkxInspectorNode* Node, TRect& Rect) {
  TRect row;
  GetRowRect(Node, row);
  TkxInspectorCellLayout l;
  GetCellLayout(Node, row, l);
  Rect = l.ValueRect;
  if (!IsRectEmpty(&Rect)) Rect.bottom -= FGridLineWidth;
}

void TCustomkxInspector::InitEditorProperties(TkxInplaceEdit* Editor) {
  Editor->CloseFlag = false;
  HDC dc = GetDC(nullptr);
  Editor->SetColor(TColor(GetNearestColor(dc, ColorToRGB(GetEditColor()))));
  ReleaseDC(nullptr, dc);
  Editor->Font()->Assign(GetEditFont());
  Editor->SetTextMargins(kxRect(1, 0, 0, 0));
}

void TCustomkxInspector::GetEditorText(AnsiString& Text) {
  Text.clear();
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->GetDisplayText(Text);
}

void TCustomkxInspector::SetEditorText(const AnsiString& Text) {
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->AssignEditText(Text);
}

void TCustomkxInspector::UpdateEditor(bool Force, bool Reload) {
  if (!CanShowEditor()) {
    if (FEditor && FEditor->HandleAllocated() && IsWindowVisible(FEditor->Handle())) HideEditor();
    return;
  }
  const bool editorFocused = FEditor && FEditor->HandleAllocated() && GetFocus() == FEditor->Handle();
  if (!Force && !(HandleAllocated() && GetFocus() == Handle()) && !editorFocused) {
    if (FEditor && Reload) InitEditor();
    return;
  }
  TRect r;
  GetEditorRect(FFocusedNode, r);
  TkxInplaceEdit* e = GetEditor(FFocusedNode);
  if (e && e == FEditor && FFocusedNode == FEditedNode && FFocusedItem == FEditItemIndex) {
    RECT wr;
    GetWindowRect(e->Handle(), &wr);
    InflateRect(&wr, -2, -2);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&wr), 2);
    if (!Force && TRect(wr) == r) return;
    FEditedNode = FFocusedNode;
    e->Hide();
    e->ShowInRect(r);
    e->MoveCaretToEnd();
    return;
  }
  FEditedNode = nullptr;
  EndEdit(false);
  if (e) {
    FEditor = e;
  } else {
    FEditor = CreateEditor(FFocusedNode);
    FEditor->FreeNotification(this);
    FEditor->SetParent(this);
  }
  InitEditor();
  FEditor->ShowInRect(r);
}

void TCustomkxInspector::InitEditor() {
  FEditItemIndex = FFocusedItem;
  FEditedNode = FFocusedNode;
  BeginInitEdit();
  try {
    InitEditorProperties(FEditor);
    Variant v;
    InitEditorValue(FEditedNode, FEditor, v);
    FEditor->SetModified(false);
    FEditor->SetActive(true);
  } catch (...) {
    EndInitEdit();
    throw;
  }
  EndInitEdit();
}

void TCustomkxInspector::PostValue() {
  if (!FEditedNode) return;
  Variant v;
  PostEditorValue(FEditedNode, FEditor, v);
}

void TCustomkxInspector::EndEdit(bool KeepEditor) {
  if (!FEditor) return;
  FEditor->CloseFlag = true;
  const bool hadFocus = FEditor->HandleAllocated() && GetFocus() == FEditor->Handle();
  auto finish = [&] {
    if (!KeepEditor) {
      FEditedNode = nullptr;
      FEditor->Hide();
    }
    if ((KeepEditor || hadFocus) && HandleAllocated() && IsWindowVisible(Handle()) && GetFocus() != Handle())
      ::SetFocus(Handle());
  };
  try {
    if (!FEditor->ComponentState().Contains(csDestroying)) PostValue();
  } catch (...) {
    if (KeepEditor && FEditedNode) {
      MakeNodeVisible(FEditedNode);
      Update();
    }
    StopScrollTimer();
    FState = isNormal;
    finish();
    throw;
  }
  finish();
}

void TCustomkxInspector::HideEditor() {
  FEditedNode = nullptr;
  EndEdit(false);
  FEditor = nullptr;
}

void TCustomkxInspector::PostEditor() {
  if (FEditor && FEditor->IsShown() && FEditedNode) {
    FEditor->ValidateEdit();
    EndEdit(true);
  }
}

void TCustomkxInspector::ShowEditorIfEditing() {
  if (FOptions.Contains(ioEditing) && FFocusedNode) UpdateEditor(true, false);
}

void TCustomkxInspector::CancelEditor() {
  FEditedNode = nullptr;
  UpdateEditor(false, true);
}

void TCustomkxInspector::SetFocusedItem(int Index) {
  ValidateFocusedItem(Index);
  if (Index == FFocusedItem) return;
  const int old = FocusedItem();
  FFocusedItem = Index;
  if (FocusedItem() != old) InvalidateRow(FFocusedNode, false);
}

// ---------------------------------------------------------------------------
// Focus and keyboard

void TCustomkxInspector::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(ioTabs) && GetAsyncKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(ioEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomkxInspector::WMSetFocus(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  const HWND from = reinterpret_cast<HWND>(Message.WParam);
  if (FEditor && FEditor->HandleAllocated() && from == FEditor->Handle()) return;
  InvalidateRow(FFocusedNode, false);
  UpdateEditor(true, false);
}

void TCustomkxInspector::WMKillFocus(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  const HWND to = reinterpret_cast<HWND>(Message.WParam);
  if (FEditor && FEditor->HandleAllocated() && to == FEditor->Handle()) return;
  InvalidateRow(FFocusedNode, false);
  if (FState == isPressed) FState = isNormal;
}

void TCustomkxInspector::DoExit() {
  TCustomkxContainer::DoExit();
  HideEditor();
}

void TCustomkxInspector::CMCancelMode(TMessage& Message) {
  CancelSizing();
  if (FEditor && FEditor->HandleAllocated()) FEditor->Perform(Message.Msg, Message.WParam, Message.LParam);
  TCustomkxContainer::Dispatch(Message);
}

void TCustomkxInspector::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TCustomkxContainer::DoEditKeyDown(Key, Shift);
  HandleExpandKeys(Key, Shift);
}

void TCustomkxInspector::KeyDown(Word& Key, TShiftState Shift) {
  TCustomkxContainer::KeyDown(Key, Shift);
  if (FState == isDividerSizing || FState == isBandSizing || FState == isRowSizing) {
    if (Key == VK_ESCAPE) CancelSizing();
    return;
  }
  if (FState == isDragging && DraggingAllowed() && Key == VK_ESCAPE) {
    EndDrag(false);
    return;
  }
  if (FRoots.empty()) return;
  const bool editing = FOptions.Contains(ioEditing);
  const bool moveKey = Key == VK_TAB || Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP ||
                       Key == VK_DOWN;
  if (moveKey && editing) {
    const bool back = Key == VK_PRIOR || Key == VK_UP || (Key == VK_TAB && Shift.Contains(ssShift));
    const bool fwd = Key == VK_NEXT || Key == VK_DOWN || (Key == VK_TAB && !Shift.Contains(ssShift));
    bool blocked = false;
    if (back && FFocusedNode == FirstNode() && !FOptions.Contains(ioTabThrough) &&
        (Key != VK_TAB || !CanTabInsideRow(false)))
      blocked = true;
    if (fwd && FFocusedNode == LastNode() && !FOptions.Contains(ioTabThrough) &&
        (Key != VK_TAB || !CanTabInsideRow(true)))
      blocked = true;
    if (blocked) {
      if (FEditor && FEditor->GetModified()) {
        PostEditor();
        CancelEditor();
      }
      return;
    }
    PostEditor();
  }
  switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) TabToNext(!Shift.Contains(ssShift));
      break;
    case VK_RETURN:
      if (FOptions.Contains(ioEnterThrough)) TabToNext(true);
      break;
    case VK_ESCAPE:
      CancelEditor();
      if (FEditor) FEditor->MoveCaretToEnd();
      break;
    case VK_PRIOR:
      SetFocusedNumber(Shift.Contains(ssCtrl) ? 0 : FocusedNumber() - FRowsPerPage);
      break;
    case VK_NEXT:
      SetFocusedNumber(Shift.Contains(ssCtrl) ? GetAbsoluteCount() - 1 : FocusedNumber() + FRowsPerPage);
      break;
    case VK_UP: SetFocusedNumber(FocusedNumber() - 1); break;
    case VK_DOWN: SetFocusedNumber(FocusedNumber() + 1); break;
    default: break;
  }
  HandleExpandKeys(Key, Shift);
  if (moveKey && editing) CancelEditor();
}

void TCustomkxInspector::TabToNext(bool Forward) {
  if (TabInsideRow(Forward)) return;
  TCustomForm* form = GetParentForm(this);
  if (Forward) {
    if (FOptions.Contains(ioTabThrough) && FFocusedNode == LastNode()) {
      if (form) form->SelectNext(this, true, true);
    } else {
      SetFocusedNumber(FocusedNumber() + 1);
    }
  } else {
    if (FOptions.Contains(ioTabThrough) && FFocusedNode == FirstNode()) {
      if (form) form->SelectNext(this, false, true);
    } else {
      SetFocusedNumber(FocusedNumber() - 1);
    }
  }
}

void TCustomkxInspector::HandleExpandKeys(Word Key, TShiftState Shift) {
  if (Key == 0 || !FFocusedNode) return;
  FFocusedNode->MakeVisible();
  const bool category = IsCategory(FFocusedNode);
  if (category) {
    if (Key == VK_LEFT) FFocusedNode->Collapse(false);
    if (Key == VK_RIGHT) FFocusedNode->Expand(false);
  }
  if (!Shift.Contains(ssCtrl) && !category) return;
  switch (Key) {
    case VK_MULTIPLY:
      if (FFocusedNode->HasChildren()) FFocusedNode->Expand(true);
      break;
    case VK_ADD: FFocusedNode->Expand(false); break;
    case VK_SUBTRACT: FFocusedNode->Collapse(false); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// Registry layout

AnsiString TCustomkxInspector::NormalizeRegPath(const AnsiString& Path) {
  AnsiString p = Path;
  if (!p.empty() && p[0] != '\\') p.insert(p.begin(), '\\');
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

void TCustomkxInspector::LoadFromRegistry(const AnsiString& Key) {
  std::unique_ptr<TRegIniFile> reg(new TRegIniFile(""));
  const AnsiString k = NormalizeRegPath(Key);
  if (!reg->OpenKey(k, false)) return;
  reg->CloseKey();
  LoadFromRegIniFile(reg.get(), Key);
}

void TCustomkxInspector::SaveToRegistry(const AnsiString& Key) {
  std::unique_ptr<TRegIniFile> reg(new TRegIniFile(""));
  SaveToRegIniFile(reg.get(), Key);
}

void TCustomkxInspector::LoadFromRegIniFile(TObject* Storage, const AnsiString& Path) {
  const AnsiString p = NormalizeRegPath(Path);
  TkxRegIniWrapper w(Storage);
  BeginUpdate();
  try {
    LoadFromRegIni(&w, p);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomkxInspector::SaveToRegIniFile(TObject* Storage, const AnsiString& Path) {
  const AnsiString p = NormalizeRegPath(Path);
  TkxRegIniWrapper w(Storage);
  w.EraseSectionsWithPrefix(p);
  SaveToRegIni(&w, p);
}

void TCustomkxInspector::LoadFromRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path) {
  SetBandWidth(Wrapper->ReadInteger(Path, "BandWidth", FBandWidth));
  SetDividerPos(Wrapper->ReadInteger(Path, "DividerPos", FDividerPos));
}

void TCustomkxInspector::SaveToRegIni(TkxRegIniWrapper* Wrapper, const AnsiString& Path) {
  Wrapper->WriteInteger(Path, "BandWidth", FBandWidth);
  Wrapper->WriteInteger(Path, "DividerPos", FDividerPos);
}

void TCustomkxInspectorControl::WndProc(TMessage& Message) {
  if (Message.Msg == CM_WININICHANGE)
    for (int i = 0; i < RowCount(); ++i) Rows(i)->WinIniChanged();
  TCustomkxInspector::WndProc(Message);
}
