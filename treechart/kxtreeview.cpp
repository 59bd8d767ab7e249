// The tree view with node drag and drop, Del deletion and per-node custom draw.
#include "treechart/kxtreeview.h"

#include <unordered_map>

#include "platform/classes/typinfo.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/forms.h"
#include "platform/rtl/resources.h"
#include "platform/win/system.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

namespace {

// The drag in progress over the trees of this family.
TTreeNode* gDragSourceNode = nullptr;
TTreeNode* gDropTargetNode = nullptr;
TDragImageList* gActiveDragImages = nullptr;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

// The node whose icon, label or state icon lies under a client point.
TTreeNode* NodeAtIconOrLabel(TCustomTreeView* Tree, int X, int Y) {
  if (!Tree->HandleAllocated()) return nullptr;
  TVHITTESTINFO hti;
  hti.pt = {X, Y};
  HTREEITEM item = TreeView_HitTest(Tree->Handle(), &hti);
  if (!item || !(hti.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON))) return nullptr;
  return Tree->Items()->GetNode(item);
}

// Whether a row's item rectangle can be had and its top lies above the client height.
bool RowInView(TCustomTreeView* Tree, TTreeNode* Node) {
  if (!Node) return false;
  RECT r;
  if (!TreeView_GetItemRect(Tree->Handle(), Node->ItemId(), &r, FALSE)) return false;
  return r.top < Tree->ClientHeight();
}

void ApplyImeMode(HWND Editor, TImeMode Mode) {
  if (!Editor || Mode == imDontCare) return;
  HIMC imc = ImmGetContext(Editor);
  if (!imc) return;
  ImmSetOpenStatus(imc, Mode == imOpen ? TRUE : FALSE);
  ImmReleaseContext(Editor, imc);
}

}  // namespace

TTreeNode* kxDragSourceNode() { return gDragSourceNode; }
TTreeNode* kxDropTargetNode() { return gDropTargetNode; }
TDragImageList* kxActiveDragImages() { return gActiveDragImages; }

// ---------------------------------------------------------------------------
// TkxTreeNode

TkxTreeNode::~TkxTreeNode() {
  // A node freed during a drag no longer stands for its end of it.
  if (gDragSourceNode == this) gDragSourceNode = nullptr;
  if (gDropTargetNode == this) gDropTargetNode = nullptr;
}

void TkxTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  auto* tree = dynamic_cast<TCustomkxTreeView*>(TreeView());
  if (!tree || !Destination || (Mode != naAddChild && Mode != naAddChildFirst)) {
    TTreeNode::MoveTo(Destination, Mode);
    return;
  }
  if (Destination == this || Destination->HasAsParent(this)) return;
  // The node goes in before a placeholder child, so the window re-inserts it
  // (with its subtree) as a child of Destination.
  TTreeNodes* nodes = Destination->Owner();
  TTreeNode* placeholder;
  {
    TkxFlagGuard op(tree->FNodeOperation, true);
    placeholder = Mode == naAddChild ? nodes->AddChild(Destination, "") : nodes->AddChildFirst(Destination, "");
  }
  try {
    TTreeNode::MoveTo(placeholder, naInsert);
  } catch (...) {
    TkxFlagGuard op(tree->FNodeOperation, true);
    placeholder->Delete();
    throw;
  }
  TkxFlagGuard op(tree->FNodeOperation, true);
  placeholder->Delete();
}

// ---------------------------------------------------------------------------
// TtmpDragObject

TCursor TtmpDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (!Accepted) return crNoDrop;
  if (CtrlHeld()) return crkxTreeDragCopy;
  return Control() ? Control()->DragCursor() : crDrag;
}

// ---------------------------------------------------------------------------
// TCustomkxTreeView

TCustomkxTreeView::TCustomkxTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {
  FDrawFont = std::make_unique<TFont>();
}

TCustomkxTreeView::~TCustomkxTreeView() {
  if (gActiveDragImages && gActiveDragImages == FDragImage.get()) gActiveDragImages = nullptr;
  if (gDragSourceNode && gDragSourceNode->TreeView() == this) gDragSourceNode = nullptr;
  if (gDropTargetNode && gDropTargetNode->TreeView() == this) gDropTargetNode = nullptr;
}

void TCustomkxTreeView::SetSelectedIndex(int Value) {
  if (Value == FSelectedIndex) return;
  FSelectedIndex = Value;
  for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) n->SetSelectedIndex(Value);
}

void TCustomkxTreeView::SetFocus() {
  if (GetParentForm(this) || ParentWindow()) TCustomTreeView::SetFocus();
}

TTreeNode* TCustomkxTreeView::CreateNode() {
  auto* n = new TkxTreeNode(Items());
  if (FSelectedIndex != -1) n->SetSelectedIndex(FSelectedIndex);
  return n;
}

void TCustomkxTreeView::DoCustomDrawNode(TTreeNode* Node, TFont* AFont, TColor& AColor, TColor& ABkColor) {
  if (OnCustomDraw) OnCustomDraw(this, Node, AFont, AColor, ABkColor);
}

void TCustomkxTreeView::GetNodeCopyText(TTreeNode* Node, AnsiString& Text) {
  if (Node) Text = Node->Text();
}

void TCustomkxTreeView::CopyNodeData(std::vector<TTreeNode*>&, std::vector<TTreeNode*>&, bool) {}

void TCustomkxTreeView::DoDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept) {
  if (OnDragDropTreeNode) OnDragDropTreeNode(Destination, Source, Accept);
}

void TCustomkxTreeView::DoDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy) {
  if (OnDragDropIsCopy) OnDragDropIsCopy(Destination, Source, IsCopy);
}

void TCustomkxTreeView::CollectSubtree(TTreeNode* Node, std::vector<TTreeNode*>& List) {
  if (!Node) return;
  // Pre-order without recursion: a subtree may be a chain of any depth.
  std::vector<TTreeNode*> path{Node};
  List.push_back(Node);
  TTreeNode* n = Node->GetFirstChild();
  while (!path.empty()) {
    if (!n) {
      TTreeNode* done = path.back();
      path.pop_back();
      n = path.empty() ? nullptr : done->GetNextSibling();
      continue;
    }
    List.push_back(n);
    path.push_back(n);
    n = n->GetFirstChild();
  }
}

bool TCustomkxTreeView::HasCustomDraw() { return OnCustomDraw.Assigned(); }

bool TCustomkxTreeView::DeletesSubtree(TTreeNode* Node) { return Node->GetFirstChild() != nullptr; }

// ---- Del ----

void TCustomkxTreeView::KeyDown(Word& Key, TShiftState Shift) {
  TTreeNode* node = Key == VK_DELETE && FCanDeleteByKey && !ReadOnly() && !IsEditing() ? Selected() : nullptr;
  if (node && ConfirmDelete(node)) node->Delete();
  TCustomTreeView::KeyDown(Key, Shift);
}

bool TCustomkxTreeView::ConfirmDelete(TTreeNode* Node) {
  if (!FConfirmDeleteByKey) return true;
  // Deleting a node takes its whole subtree with it, and the question says so.
  AnsiString msg = LoadStr(kxSDeleteItem) + " \"" + Node->Text() + "\"";
  if (DeletesSubtree(Node)) msg += LoadStr(kxSDeleteSubtree);
  // Nothing of the tree is touched after the answer: the box's loop may have
  // let the window that holds it close.
  return MessageDlg(msg, mtConfirmation, mbOKCancel) != mrCancel;
}

// ---- dragging ----

void TCustomkxTreeView::DoStartDrag(TDragObject*& DragObject) {
  FOwnDragObject = std::make_unique<TtmpDragObject>(this);
  DragObject = FOwnDragObject.get();
  TCustomTreeView::DoStartDrag(DragObject);
  gActiveDragImages = GetDragImages();
  gDragSourceNode = Focused() ? Selected() : nullptr;
}

void TCustomkxTreeView::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomTreeView::DoEndDrag(Target, X, Y);
  // The drag manager calls this from the drag object itself; the object does
  // nothing more once it has told its control.
  FOwnDragObject.reset();
  gDragSourceNode = nullptr;
}

void TCustomkxTreeView::HideDragImage() {
  if (gActiveDragImages)
    gActiveDragImages->HideDragImage();
  else if (FCurrentDragObject)
    FCurrentDragObject->HideDragImage();
}

void TCustomkxTreeView::ShowDragImage() {
  if (gActiveDragImages)
    gActiveDragImages->ShowDragImage();
  else if (FCurrentDragObject)
    FCurrentDragObject->ShowDragImage();
}

void TCustomkxTreeView::SetDropHighlight(TTreeNode* Node) {
  if (HandleAllocated()) TreeView_SelectDropTarget(Handle(), Node ? Node->ItemId() : nullptr);
}

// The mouse rests on the same node: scroll by one row when it is at the top
// or within two rows of the bottom.
void TCustomkxTreeView::DragScroll(TTreeNode* Node) {
  TTreeNode* top = TopItem();
  if (!top) return;
  TTreeNode* above = top->GetPrevVisible();
  TTreeNode* prev = Node->GetPrevVisible();
  if (above && (Node == top || (prev == top && above))) {
    HideDragImage();
    SetTopItem(above);
    ShowDragImage();
    return;
  }
  TTreeNode* next = Node->GetNextVisible();
  TTreeNode* after = next ? next->GetNextVisible() : nullptr;
  if ((next && !RowInView(this, next)) || (after && !RowInView(this, after))) {
    if (TTreeNode* below = top->GetNextVisible()) {
      HideDragImage();
      SetTopItem(below);
      ShowDragImage();
    }
  }
}

void TCustomkxTreeView::CMDrag(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  const auto msg = TDragMessage(Message.WParam);
  if (!rec || msg == dmFindTarget) {
    TCustomTreeView::Dispatch(Message);
    return;
  }
  bool accept = false;
  switch (msg) {
    case dmDragEnter:
      gDropTargetNode = nullptr;
      FCurrentDragObject = rec->Source;
      break;
    case dmDragLeave:
      if (gDragSourceNode) {
        HideDragImage();
        SetDropHighlight(nullptr);
        gDragSourceNode->SetSelected(true);
        ShowDragImage();
      }
      FCurrentDragObject = nullptr;
      break;
    case dmDragMove: {
      const TPoint p = ScreenToClient(rec->Pos);
      if (TTreeNode* n = NodeAtIconOrLabel(this, p.x, p.y)) {
        if (n == gDropTargetNode) {
          DragScroll(n);
        } else {
          gDropTargetNode = n;
          HideDragImage();
          SetDropHighlight(n);
          ShowDragImage();
        }
      } else {
        gDropTargetNode = nullptr;
        HideDragImage();
        SetDropHighlight(nullptr);
        ShowDragImage();
      }
      break;
    }
    case dmDragDrop: {
      FCurrentDragObject = nullptr;
      bool isCopy = CtrlHeld();
      if (gDropTargetNode) {
        SetDropHighlight(nullptr);
        gDropTargetNode->SetSelected(true);
        Invalidate();
        if (gDragSourceNode && gDropTargetNode && gDropTargetNode != gDragSourceNode &&
            !gDropTargetNode->HasAsParent(gDragSourceNode)) {
          DoDragDropIsCopy(gDropTargetNode, gDragSourceNode, isCopy);
          // A move onto the node's own parent changes nothing unless the
          // application chooses where it goes.
          if (gDragSourceNode && gDropTargetNode &&
              (gDragSourceNode->Parent() != gDropTargetNode || isCopy || OnEndDragTreeNode.Assigned())) {
            accept = true;
            DoDragDropTreeNode(gDropTargetNode, gDragSourceNode, accept);
          }
        }
      } else if (gDragSourceNode) {
        // Empty space takes the drop only when the application accepts it.
        DoDragDropIsCopy(nullptr, gDragSourceNode, isCopy);
        if (gDragSourceNode) DoDragDropTreeNode(nullptr, gDragSourceNode, accept);
      }
      if (accept && gDragSourceNode) {
        TTreeNode* target = gDropTargetNode;
        if (TTreeNode* r = DropNodes(gDragSourceNode, target, isCopy)) {
          r->MakeVisible();
          r->SetSelected(true);
        }
        SetDropTarget(gDropTargetNode);
      }
      gDropTargetNode = nullptr;
      Invalidate();
      break;
    }
    case dmDragCancel:
      FCurrentDragObject = nullptr;
      gDropTargetNode = nullptr;
      Invalidate();
      break;
    default: break;
  }
  if (msg != dmDragDrop && msg != dmDragCancel && gDragSourceNode && gDropTargetNode != gDragSourceNode) {
    if (gDropTargetNode) {
      accept = !(gDropTargetNode->HasAsParent(gDragSourceNode)) && !OnDragOver.Assigned();
      if (accept) DoDragDropTreeNode(gDropTargetNode, gDragSourceNode, accept);
    } else {
      accept = false;
      DoDragDropTreeNode(nullptr, gDragSourceNode, accept);
    }
  }
  TCustomTreeView::Dispatch(Message);
  if (msg == dmDragDrop || msg == dmDragCancel) {
    gDragSourceNode = nullptr;
    gActiveDragImages = nullptr;
    SetDropTarget(nullptr);
  }
  if ((msg == dmDragMove || msg == dmDragLeave) && accept && Message.Result == 0) Message.Result = 1;
}

TTreeNode* TCustomkxTreeView::DropNodes(TTreeNode* Source, TTreeNode* Destination, bool IsCopy) {
  if (!Source) return nullptr;
  TCustomTreeView* sourceTree = Source->TreeView();
  const bool otherTree = sourceTree != this;
  std::vector<TTreeNode*> sourceNodes, newNodes;
  {
    TkxFlagGuard op(FNodeOperation, IsCopy || otherTree);
    CollectSubtree(Source, sourceNodes);
  }
  TNodeAttachMode mode = Destination ? naAddChild : naAdd;
  if (OnEndDragTreeNode) OnEndDragTreeNode(Destination, Source, mode);
  if (Destination && (mode == naAddChild || mode == naAddChildFirst)) Destination->SetHasChildren(true);
  TTreeNode* result = nullptr;
  if (otherTree || IsCopy) {
    TkxFlagGuard op(FNodeOperation, true);
    std::unordered_map<TTreeNode*, std::size_t> position;
    for (std::size_t i = 0; i < sourceNodes.size(); ++i) {
      TTreeNode* src = sourceNodes[i];
      AnsiString text;
      GetNodeCopyText(src, text);
      TTreeNode* made = nullptr;
      if (i == 0) {
        switch (mode) {
          case naAdd: made = Items()->Add(Destination, text); break;
          case naAddFirst: made = Items()->AddFirst(Destination, text); break;
          case naAddChild: made = Items()->AddChild(Destination, text); break;
          case naAddChildFirst: made = Items()->AddChildFirst(Destination, text); break;
          case naInsert: made = Items()->Insert(Destination, text); break;
        }
      } else {
        made = Items()->AddChild(newNodes[position.at(src->Parent())], text);
      }
      position[src] = i;
      newNodes.push_back(made);
    }
    CopyNodeData(sourceNodes, newNodes, true);
    if (!newNodes.empty()) {
      result = newNodes[0];
      if (Destination) Destination->SetHasChildren(true);
    }
  } else {
    TkxFlagGuard op(FNodeOperation, true);
    Source->MoveTo(Destination, mode);
    result = Source;
  }
  // Between trees a move is a copy and the deletion of the source, unless
  // the other tree is read-only (then it stays a copy).
  if (otherTree && sourceTree && !sourceTree->ReadOnly() && !IsCopy) Source->Delete();
  return result;
}

// ---- notifications ----

void TCustomkxTreeView::CustomDrawNotify(TWMNotify& Message) {
  auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(Message.NMHdr());
  Message.Result = CDRF_DODEFAULT;
  if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
    Message.Result = HasCustomDraw() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    return;
  }
  if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return;
  auto* node = reinterpret_cast<TTreeNode*>(cd->nmcd.lItemlParam);
  FDrawFont->Assign(Font());
  TColor color = Font()->Color();
  TColor bkColor = clWindow;
  DoCustomDrawNode(node, FDrawFont.get(), color, bkColor);
  // A selected node (or the drop target) keeps the system highlight only
  // while the tree has the focus.
  const bool marked = (cd->nmcd.uItemState & (CDIS_SELECTED | CDIS_CHECKED)) || (node && node == gDropTargetNode);
  if (!marked || !Focused()) {
    cd->clrText = ColorToRGB(color);
    cd->clrTextBk = ColorToRGB(bkColor);
  }
  SelectObject(cd->nmcd.hdc, FDrawFont->Handle());
  Message.Result = CDRF_NEWFONT;
}

void TCustomkxTreeView::CNNotify(TWMNotify& Message) {
  NMHDR* hdr = Message.NMHdr();
  switch (hdr->code) {
    case NM_CUSTOMDRAW:
      if (!OnAdvancedCustomDraw.Assigned() && !OnAdvancedCustomDrawItem.Assigned()) {
        CustomDrawNotify(Message);
        return;
      }
      break;
    case TVN_BEGINLABELEDITA: {
      auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      HWND editor = TreeView_GetEditControl(Handle());
      ApplyImeMode(editor, ImeMode());
      if (OnGetEditingText) {
        if (TTreeNode* node = GetNodeFromItem(di->item)) {
          AnsiString text = node->Text();
          OnGetEditingText(this, node, text);
          if (editor) SetWindowTextA(editor, text.c_str());
        }
      }
      break;
    }
    default: break;
  }
  TCustomTreeView::CNNotify(Message);
}

void TCustomkxTreeView::WMNotify(TWMNotify& Message) {
  // Without node hints the tooltip's request for a node's text gets none.
  NMHDR* hdr = Message.NMHdr();
  if (hdr && !FShowNodeHint && (hdr->code == TTN_NEEDTEXTA || hdr->code == TTN_NEEDTEXTW)) {
    if (hdr->code == TTN_NEEDTEXTA) {
      auto* di = reinterpret_cast<NMTTDISPINFOA*>(hdr);
      di->szText[0] = 0;
      di->lpszText = di->szText;
    } else {
      auto* di = reinterpret_cast<NMTTDISPINFOW*>(hdr);
      di->szText[0] = 0;
      di->lpszText = di->szText;
    }
    Message.Result = 0;
    return;
  }
  TCustomTreeView::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// start-up

void kxInitTreeViews() {
  // The cursor goes to the current Screen; the classes are registered once.
  kxInitLookupTreeViews();
  if (Screen)
    if (HCURSOR h = LoadCursorA(nullptr, "KXTREEDRAGCOPY")) Screen->SetCursors(crkxTreeDragCopy, h);
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TCustomkxTreeView::StaticClass()});
  RegisterProps<TCustomkxTreeView>([](TPropBuilder<TCustomkxTreeView>& p) {
    p.Prop("ImeMode", &TCustomkxTreeView::ImeMode, &TCustomkxTreeView::SetImeMode).Default(imDontCare);
    p.Prop("ImeName", &TCustomkxTreeView::ImeName, &TCustomkxTreeView::SetImeName);
    p.Prop("RightClickSelect", &TCustomkxTreeView::RightClickSelect, &TCustomkxTreeView::SetRightClickSelect)
        .Default(false);
    p.Prop("ShowNodeHint", &TCustomkxTreeView::ShowNodeHint, &TCustomkxTreeView::SetShowNodeHint).Default(true);
    p.Field("OnDragDropTreeNode", &TCustomkxTreeView::OnDragDropTreeNode);
    p.Field("OnEndDragTreeNode", &TCustomkxTreeView::OnEndDragTreeNode);
    p.Field("OnDragDropIsCopy", &TCustomkxTreeView::OnDragDropIsCopy);
    p.Field("OnCustomDraw", &TCustomkxTreeView::OnCustomDraw);
  });
  kxInitDBTreeViews();
}
