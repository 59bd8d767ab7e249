// Record edits of the data-aware tree: a node added in the tree inserts a
// record, a new node text changes the list field, a node moved to another
// parent changes the parent field, a deleted node deletes its record and the
// records below it, and a copying drop writes one record per copied node
// (with the other fields of the source records under trSmartRecordCopy).
// The tree learns of its nodes' changes from the messages reaching its
// window: the insert-item message of every added or moved node, and the
// set-item message of every text change.
#include <memory>

#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxdbtreeview_internal.h"

using namespace kxdbtree;

namespace {

// The label editor being typed into, and its tree.
TkxDBTreeView* gEditingTree = nullptr;

bool IsKeyOrParent(const TkxDBTreeView* Tree, const AnsiString& Name) {
  return SameText(Name, Tree->KeyField()) || SameText(Name, Tree->ParentField());
}

// One copied field value of a copying drop.
struct TInsertFieldStruct {
  AnsiString FieldName;
  std::vector<char> Buffer;                // the native data (DataSize + 1 bytes)
  std::unique_ptr<TMemoryStream> Blob;     // blob fields
};

}  // namespace

bool TkxDBTreeView::DoDBAction(TTreeNode* DBNode1, TTreeNode* DBNode2, TkxDBTreeViewAction Action) {
  bool automatic = true;
  if (OnDBAction) OnDBAction(this, DBNode1, DBNode2, Action, automatic);
  return automatic;
}

// The parent value a node gets at root level (Copy: a copying drop).
Variant TkxDBTreeView::RootLevelParent(TkxDBTreeNode* Node, RootLevelCase Case) const {
  switch (Case) {
    case RootLevelCase::Added: return IsNullKey(FRootValue) ? Node->RecordKey() : FRootValue;
    case RootLevelCase::Moved:
      return !IsNullKey(FRootValue) && FOptions.Contains(trSmartRecordLoad) ? FRootValue : Node->RecordKey();
    case RootLevelCase::Copied:
      if (!IsNullKey(FRootValue) || FOptions.Contains(trSmartRecordLoad)) return FRootValue;
      return Node->RecordKey();
  }
  return Null();
}

// A node that was written at root level as its own parent before the database
// gave it its key: the parent field follows the key.
void TkxDBTreeView::FixOwnParent(TkxDBTreeNode* Node, const Variant& OldKey) {
  if (!SameKey(Node->ParentKey, OldKey) || SameKey(OldKey, Node->RecordKey())) return;
  TDataSet* ds = FDataLink->DataSet();
  ds->Edit();
  FParentField->SetValue(Node->RecordKey());
  ds->Post();
  Node->ParentKey = Node->RecordKey();
}

// ---------------------------------------------------------------------------
// insert-item: a node was added or moved

void TkxDBTreeView::ItemInserted(HTREEITEM Item) {
  if (FSyncLock) return;
  auto* n = dynamic_cast<TkxDBTreeNode*>(Items()->GetNode(Item));
  if (!n) return;
  TTreeNode* p = n->Parent();
  if (n->PendingInsert) {
    if (!FNodeOperation) InsertRecordForNode(n, p);
    n->PendingInsert = false;
  } else if (p != FIndex->FindNodeByKey(n->ParentKey)) {
    ChangeParentRecord(n, p);
  }
}

void TkxDBTreeView::InsertRecordForNode(TkxDBTreeNode* Node, TTreeNode* Parent) {
  PostMessageA(Handle(), WM_KXDBTREE_APPLYIMAGES, reinterpret_cast<WPARAM>(Node->ItemId()), 0);
  TDataSet* ds = FDataLink->DataSet();
  {
    TkxFlagGuard sync(FSyncLock, true);
    Node->PendingInsert = false;
    if (!ds || !DoDBAction(Node, Parent, trDBInsert)) return;
    ControlsOff off(ds);
    try {
      auto* parent = dynamic_cast<TkxDBTreeNode*>(Parent);
      if (parent) {
        if (SmartLoad() && !parent->ChildrenFetched) LoadChildren(parent, false);
        Node->ParentKey = parent->RecordKey();
      } else {
        Node->ParentKey = RootLevelParent(Node, RootLevelCase::Added);
      }
      ds->Append();
      FParentField->SetValue(Node->ParentKey);
      if (FListField != FKeyField && FListField != FParentField) {
        FListField->SetAsString(Node->Text());
        // No record is left without a name (an empty text is what the
        // original storage kept as Null).
        if (FListField->IsNull() || FListField->AsString().empty()) FListField->SetAsString(" ");
      }
      const Variant provisional = Node->RecordKey();
      const bool autoInc = FKeyField->DataType() == ftAutoInc;
      if (!autoInc) {
        if (FKeyField->IsNull()) FKeyField->SetValue(Node->RecordKey());
        else Node->SetRecordKey(FKeyField->Value());
      }
      ds->Post();
      if (autoInc) {
        Node->SetRecordKey(FKeyField->Value());
        FixOwnParent(Node, provisional);
      }
      Node->FHasRecord = true;
      Node->FBookmark = ds->Bookmark();
      const AnsiString text = NodeDisplayText();
      if (Node->Text() != text) Node->SetText(text);
      if (OnAddNewItem) {
        TkxDBTreeNode* n = Node;
        OnAddNewItem(nullptr, n);
      }
      off.Restore();
    } catch (const Exception&) {
      off.Restore();  // the reload this sends is skipped: SyncLock is still raised
      if (OnInsertNodeError) {
        OnInsertNodeError(this);
        return;
      }
      if (FRaiseOnError) throw;
      return;
    }
  }
  Node->SetSelected(true);
  Node->MakeVisible();
}

void TkxDBTreeView::ChangeParentRecord(TkxDBTreeNode* Node, TTreeNode* NewParent) {
  TDataSet* ds = FDataLink->DataSet();
  TkxFlagGuard sync(FSyncLock, true);
  if (!ds || !DoDBAction(Node, NewParent, trDBChangeParent)) return;
  ControlsOff off(ds);
  auto* parent = dynamic_cast<TkxDBTreeNode*>(NewParent);
  Node->ParentKey = parent ? parent->RecordKey() : RootLevelParent(Node, RootLevelCase::Moved);
  Variant remembered;
  bool moved = false;
  if (!IsCurrentRecord(Node)) {
    remembered = CurrentKey();
    moved = true;
    // Without its record there is nothing to write.
    if (!GotoNodeRecord(Node)) {
      LocateKey(remembered);
      return;
    }
  }
  ds->Edit();
  FParentField->SetValue(Node->ParentKey);
  ds->Post();
  const AnsiString text = NodeDisplayText();
  if (Node->Text() != text) Node->SetText(text);
  if (moved) LocateKey(remembered);
  off.Restore();
}

// ---------------------------------------------------------------------------
// set-item: a node's text changed

void TkxDBTreeView::ItemTextSet(const TVITEMA& Item) {
  if (!(Item.mask & TVIF_TEXT) || !Item.pszText || Item.pszText == LPSTR_TEXTCALLBACKA) return;
  if (FSyncLock || FNodeOperation || IsEditing() || ReadOnly() || !FListField || !FDisplayFields.empty()) return;
  TDataSet* ds = FDataLink->DataSet();
  if (!ds || !ds->CanModify() || FListField->ReadOnly()) return;
  TkxFlagGuard sync(FSyncLock, true);
  ControlsOff off(ds);
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  struct Redraw {
    TkxDBTreeView* Tree;
    ~Redraw() {
      SendMessageA(Tree->Handle(), WM_SETREDRAW, TRUE, 0);
      Tree->Invalidate();
    }
  } redraw{this};
  TTreeNode* remembered = Selected();
  {
    // Selecting the changed node moves the dataset to its record.
    TkxFlagGuard unsync(FSyncLock, false);
    if (TTreeNode* changed = Items()->GetNode(Item.hItem)) changed->SetSelected(true);
  }
  TTreeNode* s = Selected();
  if (s && FListField->Text() != s->Text() && DoDBAction(s, nullptr, trDBChangeText)) {
    ds->Edit();
    FListField->SetAsString(s->Text());
    ds->Post();
  }
  if (remembered) remembered->SetSelected(true);
  off.Restore();
}

// ---------------------------------------------------------------------------
// label editing

void TkxDBTreeView::CNNotify(TWMNotify& Message) {
  NMHDR* hdr = Message.NMHdr();
  TCustomkxTreeView::CNNotify(Message);
  if (hdr->code != TVN_BEGINLABELEDITA || Message.Result != 0 || !FListField) return;
  HWND editor = TreeView_GetEditControl(Handle());
  auto* node = dynamic_cast<TkxDBTreeNode*>(GetNodeFromItem(reinterpret_cast<NMTVDISPINFOA*>(hdr)->item));
  TDataSet* ds = FDataLink->DataSet();
  if (!editor || !node || !ds) return;
  if (!OnGetEditingText) {
    const AnsiString text = FListField->Text();
    TkxFlagGuard sync(FSyncLock, true);
    if (node->Text() != text) node->SetText(text);
    SetWindowTextA(editor, text.c_str());
    SendMessageA(editor, EM_SETSEL, 0, -1);
  }
  if (ds->CanModify()) FDataLink->Edit();
  SendMessageA(editor, EM_LIMITTEXT, WPARAM(FListField->DisplayWidth()), 0);
  HookLabelEditor(editor);
}

void TkxDBTreeView::HookLabelEditor(HWND Editor) {
  UnhookLabelEditor();
  FEditorWnd = Editor;
  FEditorOldProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelEditorProc)));
  gEditingTree = this;
}

void TkxDBTreeView::UnhookLabelEditor() {
  if (gEditingTree == this) gEditingTree = nullptr;
  if (FEditorWnd && IsWindow(FEditorWnd) &&
      GetWindowLongPtrA(FEditorWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&LabelEditorProc))
    SetWindowLongPtrA(FEditorWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditorOldProc));
  FEditorWnd = nullptr;
  FEditorOldProc = nullptr;
}

// Swallows what the list field would refuse while the label is typed.
LRESULT TkxDBTreeView::LabelEditorProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TkxDBTreeView* tree = gEditingTree;
  if (!tree || tree->FEditorWnd != Wnd || !tree->FEditorOldProc) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  WNDPROC old = tree->FEditorOldProc;
  if (Msg == WM_CHAR) {
    TDataSet* ds = tree->FDataLink->DataSet();
    TField* f = tree->FListField;
    if (!ds || !f || !ds->CanModify() || f->ReadOnly()) return 0;
    const auto ch = static_cast<unsigned char>(WParam);
    if (ch >= 32 && !f->IsValidChar(char(ch))) {
      MessageBeep(0);
      return 0;
    }
  }
  LRESULT r = CallWindowProcA(old, Wnd, Msg, WParam, LParam);
  if (Msg == WM_NCDESTROY && gEditingTree == tree) {
    tree->FEditorWnd = nullptr;
    tree->FEditorOldProc = nullptr;
    gEditingTree = nullptr;
  }
  return r;
}

void TkxDBTreeView::Edit(const TVITEMA& Item) {
  UnhookLabelEditor();
  TCustomkxTreeView::Edit(Item);
  if (FDisplayFields.empty() || !HandleAllocated()) return;
  TkxFlagGuard sync(FSyncLock, true);
  TTreeNode* s = Selected();
  TDataSet* ds = FListField ? FListField->DataSet() : nullptr;
  if (!s || !FListField) return;
  if (Item.pszText && !ReadOnly() && ds && (ds->State() == dsEdit || ds->State() == dsInsert)) {
    // The typed text goes to the list field; the record is written later.
    const AnsiString typed = Item.pszText;
    if (FListField->Text() != typed) FListField->SetAsString(typed);
  } else if (s->Text() != FListField->Text()) {
    s->SetText(FListField->Text());
  }
  const AnsiString text = NodeDisplayText();
  if (s->Text() != text) s->SetText(text);
}

// ---------------------------------------------------------------------------
// deleting

bool TkxDBTreeView::DeletesSubtree(TTreeNode* Node) {
  if (Node->GetFirstChild()) return true;
  auto* n = dynamic_cast<TkxDBTreeNode*>(Node);
  return n && SmartLoad() && !n->ChildrenFetched && HasChildRecord(n->RecordKey());
}

void TkxDBTreeView::NodeDestroying(TkxDBTreeNode* Node) {
  if (FIndex->Destroying || ComponentState().Contains(csDestroying)) {
    FIndex->Remove(Node);
    Node->FIndex = nullptr;
    return;
  }
  // The node and every node below it go, each deleting its own record: the
  // deletion is announced parents first, the records go children first. The
  // subtree is walked with a stack of its own, as it may be a chain of any
  // depth; a node taken off the index here frees only its item when it goes.
  struct Doomed {
    TkxDBTreeNode* Node;
    Variant Key;
    TBookmarkStr Bookmark;
    bool Touch;
    bool Loaded;  // every record below was loaded already
  };
  std::vector<Doomed> stack;
  auto begin = [&](TkxDBTreeNode* N, bool Loaded) {
    Variant key = N->RecordKey();
    const TBookmarkStr bookmark = N->FBookmark;
    const bool touch = FKeyField && FParentField && !FSyncLock && !FUnloadingChildren && !FNodeOperation &&
                       HandleAllocated();
    // A node whose record was never written has none to delete (its key may
    // well be another record's).
    if (!N->FHasRecord) key = Null();
    if (touch && !IsNullKey(key)) {
      if (!DoDBAction(N, nullptr, trDBDelete)) {
        key = Null();
      } else if (SmartLoad() && !Loaded) {
        LoadChildren(N, true);  // every record below goes too
        Loaded = true;
      }
    }
    FIndex->Remove(N);
    N->FIndex = nullptr;
    stack.push_back(Doomed{N, key, bookmark, touch, Loaded});
  };
  begin(Node, false);
  while (!stack.empty()) {
    Doomed& d = stack.back();
    if (TTreeNode* c = d.Node->GetFirstChild()) {
      auto* dc = dynamic_cast<TkxDBTreeNode*>(c);
      if (dc && dc->FIndex) {
        begin(dc, d.Loaded);
        continue;
      }
      c->Delete();
      if (d.Node->GetFirstChild() != c) continue;
      // a child that cannot go now stays with its item
    }
    const Doomed done = std::move(stack.back());
    stack.pop_back();
    if (done.Touch && !IsNullKey(done.Key)) DeleteRecordByKey(done.Key, done.Bookmark);
    if (done.Node != Node) done.Node->Delete();
  }
}

void TkxDBTreeView::DeleteRecordByKey(const Variant& Key) { DeleteRecordByKey(Key, TBookmarkStr()); }

void TkxDBTreeView::DeleteRecordByKey(const Variant& Key, const TBookmarkStr& Hint) {
  TDataSet* ds = FDataLink->DataSet();
  if (!ds || !FKeyField || FSyncLock || FUnloadingChildren || FNodeOperation) return;
  {
    ControlsOff off(ds);
    bool found = false;
    if (!ds->IsEmpty()) {
      try {
        if (!Hint.empty()) {
          try {
            ds->SetBookmark(Hint);
            found = SameKey(FKeyField->Value(), Key);
          } catch (const EDatabaseError&) {
          }
        }
        if (!found) found = LocateKey(Key);
      } catch (const Exception&) {
        found = false;
      }
    }
    if (found && SameKey(FKeyField->Value(), Key)) ds->Delete();
    TkxFlagGuard sync(FSyncLock, true);
    off.Restore();
  }
  // The dataset goes to the node selected now.
  if (HandleAllocated()) MoveDataSetTo(dynamic_cast<TkxDBTreeNode*>(Selected()));
}

// ---------------------------------------------------------------------------
// copying drops

void TkxDBTreeView::CollectSubtree(TTreeNode* Node, std::vector<TTreeNode*>& List) {
  // A copy takes every record below the node, loaded or not.
  if (auto* source = dynamic_cast<TkxDBTreeView*>(Node ? Node->TreeView() : nullptr))
    if (FNodeOperation && source->SmartLoad()) source->LoadChildren(static_cast<TkxDBTreeNode*>(Node), true);
  TCustomkxTreeView::CollectSubtree(Node, List);
}

void TkxDBTreeView::GetNodeCopyText(TTreeNode* Node, AnsiString& Text) {
  auto* n = dynamic_cast<TkxDBTreeNode*>(Node);
  if (n && !FDisplayFields.empty()) Text = n->ListFieldText;
  else TCustomkxTreeView::GetNodeCopyText(Node, Text);
}

void TkxDBTreeView::CopyNodeData(std::vector<TTreeNode*>& SourceNodes, std::vector<TTreeNode*>& NewNodes, bool IsCopy) {
  TDataSet* ds = FDataLink->DataSet();
  if (SourceNodes.empty() || NewNodes.empty() || !ds || !FKeyField || !FParentField) return;
  auto* source = dynamic_cast<TkxDBTreeView*>(SourceNodes[0]->TreeView());
  TDataSet* sourceDs = source ? source->FDataLink->DataSet() : nullptr;
  TkxFlagGuard sync(FSyncLock, true);
  if (!DoDBAction(SourceNodes[0], NewNodes[0], trDBMove)) return;
  ControlsOff off(ds);
  if (SmartLoad())
    if (auto* p = dynamic_cast<TkxDBTreeNode*>(NewNodes[0]->Parent()); p && !p->ChildrenFetched) LoadChildren(p, false);
  // The fields copied besides key and parent: those both datasets have.
  std::vector<AnsiString> fields;
  Variant sourceKey;
  bool sourceMoved = false;
  if (IsCopy && FOptions.Contains(trSmartRecordCopy) && source && sourceDs && source->FKeyField) {
    sourceKey = source->FKeyField->Value();
    for (int i = 0; i < sourceDs->FieldCount(); ++i) {
      const AnsiString& name = sourceDs->Fields()->Fields(i)->FieldName();
      if (!IsKeyOrParent(this, name) && ds->FindField(name)) fields.push_back(name);
    }
  }
  for (std::size_t i = 0; i < NewNodes.size(); ++i) {
    auto* n = dynamic_cast<TkxDBTreeNode*>(NewNodes[i]);
    auto* d = i < SourceNodes.size() ? dynamic_cast<TkxDBTreeNode*>(SourceNodes[i]) : nullptr;
    if (!n) continue;
    auto* parent = dynamic_cast<TkxDBTreeNode*>(n->Parent());
    n->ParentKey = parent ? parent->RecordKey() : RootLevelParent(n, RootLevelCase::Copied);
    if (!FDisplayFields.empty() && source == this && d && GotoNodeRecord(d)) n->SetText(FListField->Text());
    ds->Append();
    FParentField->SetValue(n->ParentKey);
    if (FListField && FListField != FKeyField && FListField != FParentField) FListField->SetAsString(n->Text());
    const bool autoInc = FKeyField->DataType() == ftAutoInc;
    if (!autoInc) FKeyField->SetValue(n->RecordKey());
    const Variant provisional = n->RecordKey();
    ds->Post();
    if (autoInc && !FKeyField->IsNull()) {
      n->SetRecordKey(FKeyField->Value());
      FixOwnParent(n, provisional);
    }
    n->FHasRecord = true;
    n->FBookmark = ds->Bookmark();
    if (!fields.empty() && d) {
      std::vector<TInsertFieldStruct> values;
      try {
        if (source != this) {
          TkxFlagGuard sourceSync(source->FSyncLock, true);
          sourceMoved = true;
          if (!source->GotoNodeRecord(d)) throw EDatabaseError("record not found");
        } else if (!GotoNodeRecord(d)) {
          throw EDatabaseError("record not found");
        }
        for (const AnsiString& name : fields) {
          TField* f = sourceDs->FieldByName(name);
          try {
            if (f->IsNull()) continue;
            TInsertFieldStruct v;
            v.FieldName = name;
            if (f->IsBlob()) {
              std::unique_ptr<TStream> in(sourceDs->CreateBlobStream(f, bmRead));
              v.Blob = std::make_unique<TMemoryStream>();
              v.Blob->CopyFrom(in.get(), 0);
            } else {
              v.Buffer.assign(std::size_t(f->DataSize()) + 1, 0);
              if (!f->GetData(v.Buffer.data())) continue;
            }
            values.push_back(std::move(v));
          } catch (const Exception&) {
            // a value that cannot be read is left out
          }
        }
        if (!values.empty()) {
          if (!GotoNodeRecord(n)) throw EDatabaseError("record not found");
          ds->Edit();
          for (TInsertFieldStruct& v : values) {
            TField* f = ds->FieldByName(v.FieldName);
            try {
              if (v.Blob) {
                std::unique_ptr<TStream> out(ds->CreateBlobStream(f, bmWrite));
                v.Blob->SetPosition(0);
                out->CopyFrom(v.Blob.get(), 0);
              } else {
                f->SetData(v.Buffer.data());
              }
            } catch (const Exception&) {
              // a value the field refuses is left out
            }
          }
          ds->Post();
        }
      } catch (const Exception&) {
        // this record keeps the values it was written with
        if (ds->State() == dsEdit) ds->Cancel();
      }
    }
    if (GotoNodeRecord(n)) n->SetText(NodeDisplayText());
    if (OnAddNewItem) {
      TkxDBTreeNode* added = n;
      OnAddNewItem(nullptr, added);
    }
  }
  if (auto* p = dynamic_cast<TkxDBTreeNode*>(NewNodes[0]->Parent())) GotoNodeRecord(p);
  if (source && source != this && sourceMoved) {
    TkxFlagGuard sourceSync(source->FSyncLock, true);
    source->LocateKey(sourceKey);
  }
  off.Restore();
}
