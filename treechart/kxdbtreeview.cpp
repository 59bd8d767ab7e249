// The data-aware tree: binding, the node index, loading (full and smart),
// and the tree and the dataset following each other.
#include "treechart/kxdbtreeview.h"

#include <algorithm>

#include "platform/classes/typinfo.h"
#include "treechart/kxdbtreeview_internal.h"

namespace kxdbtree {

bool gParentEditBusy = false;

bool IsNullKey(const Variant& V) { return V.IsNull() || V.IsEmpty(); }
bool SameKey(const Variant& A, const Variant& B) { return VarCompareTotal(A, B) == 0; }

ControlsOff::ControlsOff(TDataSet* DataSet) : FDataSet(DataSet), FDid(DataSet && !DataSet->ControlsDisabled()) {
  if (FDid) FDataSet->DisableControls();
}
ControlsOff::~ControlsOff() {
  try {
    Restore();
  } catch (...) {
  }
}
void ControlsOff::Restore() {
  if (!FDid) return;
  FDid = false;
  FDataSet->EnableControls();
}

RecordKeeper::RecordKeeper(TDataSet* DataSet) : FDataSet(DataSet), FBookmark(DataSet ? DataSet->GetBookmark() : nullptr) {}
RecordKeeper::~RecordKeeper() {
  try {
    Restore();
  } catch (...) {
  }
}
void RecordKeeper::Restore() {
  if (!FBookmark) return;
  TBookmark b = FBookmark;
  FBookmark = nullptr;
  try {
    if (FDataSet->BookmarkValid(b)) FDataSet->GotoBookmark(b);
  } catch (...) {
    FDataSet->FreeBookmark(b);
    throw;
  }
  FDataSet->FreeBookmark(b);
}

}  // namespace kxdbtree

using namespace kxdbtree;

bool kxDBTreeParentEditBusy() { return gParentEditBusy; }

// ---------------------------------------------------------------------------
// TkxDBTreeNodes

namespace {
bool KeyBelow(const TkxDBTreeNode* N, const Variant& Key) { return VarCompareTotal(N->RecordKey(), Key) < 0; }
}  // namespace

bool TkxDBTreeNodes::FindIndex(const Variant& Key, int& Index) const {
  Index = -1;
  if (FList.empty() || IsNullKey(Key) || VarCompareTotal(FList.front()->RecordKey(), Key) > 0) return false;
  // A load meets its keys mostly in ascending order: a key above the last
  // node's is new without a search.
  if (VarCompareTotal(FList.back()->RecordKey(), Key) < 0) {
    Index = static_cast<int>(FList.size());
    return false;
  }
  auto it = std::lower_bound(FList.begin(), FList.end(), Key, KeyBelow);
  Index = static_cast<int>(it - FList.begin());
  return it != FList.end() && SameKey((*it)->RecordKey(), Key);
}

TkxDBTreeNode* TkxDBTreeNodes::FindNodeByKey(const Variant& Key) const {
  int i;
  return FindIndex(Key, i) ? FList[std::size_t(i)] : nullptr;
}

Variant TkxDBTreeNodes::GreatestKey() const { return FList.empty() ? Null() : FList.back()->RecordKey(); }

void TkxDBTreeNodes::Add(TkxDBTreeNode* Node) {
  // Keys mostly arrive in ascending order: try the end first.
  if (FList.empty() || VarCompareTotal(FList.back()->RecordKey(), Node->RecordKey()) <= 0) {
    FList.push_back(Node);
    return;
  }
  auto it = std::upper_bound(FList.begin(), FList.end(), Node->RecordKey(),
                             [](const Variant& K, const TkxDBTreeNode* N) { return VarCompareTotal(K, N->RecordKey()) < 0; });
  FList.insert(it, Node);
}

void TkxDBTreeNodes::Remove(TkxDBTreeNode* Node) {
  auto it = std::lower_bound(FList.begin(), FList.end(), Node->RecordKey(), KeyBelow);
  for (; it != FList.end() && SameKey((*it)->RecordKey(), Node->RecordKey()); ++it)
    if (*it == Node) {
      FList.erase(it);
      return;
    }
  auto any = std::find(FList.begin(), FList.end(), Node);
  if (any != FList.end()) FList.erase(any);
}

// ---------------------------------------------------------------------------
// TkxDBTreeNode

TkxDBTreeNode::~TkxDBTreeNode() {
  if (FIndex) FIndex->Tree()->NodeDestroying(this);
}

void TkxDBTreeNode::SetRecordKey(const Variant& Value) {
  if (FIndex) FIndex->Remove(this);
  FRecordKey = Value;
  if (FIndex) FIndex->Add(this);
}

// ---------------------------------------------------------------------------
// TDataLinkTreeView

void TDataLinkTreeView::ActiveChanged() { FTree->DataLinkActiveChanged(); }
void TDataLinkTreeView::DataSetChanged() { FTree->DataLinkDataSetChanged(); }
void TDataLinkTreeView::DataSetScrolled(int) { FTree->SyncToCursor(); }

void TDataLinkTreeView::RecordChanged(TField* Field) {
  TDataSet* ds = DataSet();
  if (!ds) return;
  if (ds->State() == dsEdit) FTree->FieldEdited(Field);
  else if (ds->State() == dsInsert) FTree->RecordInserting();
}

void TDataLinkTreeView::DataEvent(TDataEvent Event, NativeInt Info) {
  // Closed while its controls are disabled: the fields may be gone until the
  // change that EnableControls sends, so the tree lets go of them now.
  if (Event == deDisabledStateChange && Info == 0) FTree->ClearFields();
  TDataLink::DataEvent(Event, Info);
}

// ---------------------------------------------------------------------------
// TkxDBTreeView: creation and settings

TkxDBTreeView::TkxDBTreeView(TComponent* AOwner) : TCustomkxTreeView(AOwner) {
  FDataLink = std::make_unique<TDataLinkTreeView>(this);
  FIndex = std::make_unique<TkxDBTreeNodes>(this);
  FRootValue = Null();
  SetOptions(FOptions);
}

TkxDBTreeView::~TkxDBTreeView() {
  UnhookLabelEditor();
  FIndex->Destroying = true;
  if (HandleAllocated()) {
    TkxFlagGuard sync(FSyncLock, true);
    Items()->Clear();
  }
  FDataLink->SetDataSource(nullptr);
}

void TkxDBTreeView::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TkxDBTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxTreeView::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

void TkxDBTreeView::SetKeyField(const AnsiString& Value) {
  if (Value == FKeyFieldName) return;
  FKeyFieldName = Value;
  RebindAndReload();
}
void TkxDBTreeView::SetParentField(const AnsiString& Value) {
  if (Value == FParentFieldName) return;
  FParentFieldName = Value;
  RebindAndReload();
}
void TkxDBTreeView::SetListField(const AnsiString& Value) {
  if (Value == FListFieldName) return;
  FListFieldName = Value;
  RebindAndReload();
}
void TkxDBTreeView::SetDisplayField(const AnsiString& Value) {
  if (Value == FDisplayFieldName) return;
  FDisplayFieldName = Value;
  RebindAndReload();
}
void TkxDBTreeView::SetImageIndexField(const AnsiString& Value) {
  if (Value == FImageIndexFieldName) return;
  FImageIndexFieldName = Value;
  RebindAndReload();
}
void TkxDBTreeView::SetStateIndexField(const AnsiString& Value) {
  if (Value == FStateIndexFieldName) return;
  FStateIndexFieldName = Value;
  RebindAndReload();
}

void TkxDBTreeView::SetRootValue(const Variant& Value) {
  FRootValue = Value;
  FLoaded.Clear();  // the next load places the top level anew
  if (!SmartLoad()) return;
  {
    TkxFlagGuard sync(FSyncLock, true);
    RemoveAllNodes();
  }
  RebindAndReload();
}

void TkxDBTreeView::SetSeparatedSt(const AnsiString& Value) {
  if (Value == FSeparatedSt) return;
  FSeparatedSt = Value;
  if (!FDisplayFields.empty()) RebindAndReload();
}

void TkxDBTreeView::SetOptions(TkxDBTreeViewOptions Value) {
  FOptions = Value;
  SetCanDeleteByKey(Value.Contains(trDBCanDelete));
  SetConfirmDeleteByKey(Value.Contains(trDBConfirmDelete));
  if (HandleAllocated()) LoadTree();
}

// ---------------------------------------------------------------------------
// binding

namespace {
bool IsIndexFieldType(TFieldType T) {
  return T == ftSmallint || T == ftInteger || T == ftWord || T == ftFloat || T == ftCurrency || T == ftAutoInc;
}
}  // namespace

void TkxDBTreeView::ClearFields() {
  FImageIndexField = FKeyField = FListField = FParentField = FStateIndexField = nullptr;
  FDisplayFields.clear();
  FLoadParents.reset();
}

void TkxDBTreeView::BindFields() {
  ClearFields();
  if (!FDataLink->Active()) return;
  TDataSet* ds = FDataLink->DataSet();
  auto bind = [ds](const AnsiString& Name) -> TField* { return Name.empty() ? nullptr : ds->FieldByName(Name); };
  FKeyField = bind(FKeyFieldName);
  FParentField = bind(FParentFieldName);
  FListField = bind(FListFieldName);
  FImageIndexField = bind(FImageIndexFieldName);
  if (FImageIndexField && !IsIndexFieldType(FImageIndexField->DataType())) FImageIndexField = nullptr;
  FStateIndexField = bind(FStateIndexFieldName);
  if (FStateIndexField && !IsIndexFieldType(FStateIndexField->DataType())) FStateIndexField = nullptr;
  if (!FDisplayFieldName.empty()) ds->GetFieldList(FDisplayFields, FDisplayFieldName);
}

void TkxDBTreeView::RebindAndReload() {
  BindFields();
  if (FKeyField && !IsNullKey(FRootValue)) {
    switch (FKeyField->DataType()) {
      case ftSmallint: FRootValue = VarAsType(FRootValue, varSmallint); break;
      case ftInteger:
      case ftWord:
      case ftAutoInc: FRootValue = VarAsType(FRootValue, varInteger); break;
      case ftFloat:
      case ftCurrency: FRootValue = VarAsType(FRootValue, varDouble); break;
      default: FRootValue = VarToStr(FRootValue); break;
    }
  }
  if (HandleAllocated()) LoadTree();
}

bool TkxDBTreeView::LocateInDataSet(TDataSet* DataSet, const AnsiString& KeyFields, const Variant& KeyValue,
                                    TLocateOptions Options) {
  return DataSet && DataSet->Locate(KeyFields, KeyValue, Options);
}

// ---------------------------------------------------------------------------
// records and keys

Variant TkxDBTreeView::CurrentKey() const { return FKeyField ? FKeyField->Value() : Null(); }

bool TkxDBTreeView::IsCurrentRecord(const TkxDBTreeNode* Node) const {
  return FKeyField && !IsNullKey(Node->RecordKey()) && SameKey(FKeyField->Value(), Node->RecordKey());
}

bool TkxDBTreeView::LocateKey(const Variant& Key) {
  return !IsNullKey(Key) && LocateInDataSet(FDataLink->DataSet(), FKeyFieldName, Key);
}

bool TkxDBTreeView::GotoNodeRecord(TkxDBTreeNode* Node) {
  TDataSet* ds = FDataLink->DataSet();
  if (!ds || !FKeyField) return false;
  if (!Node->FBookmark.empty()) {
    try {
      ds->SetBookmark(Node->FBookmark);
      if (IsCurrentRecord(Node)) return true;
    } catch (const EDatabaseError&) {
      // the record is gone: look for the key
    }
  }
  return LocateKey(Node->RecordKey());
}

TkxDBTreeNode* TkxDBTreeView::CurrentRecordNode() const {
  if (!FKeyField) return nullptr;
  Variant k = FKeyField->Value();
  return IsNullKey(k) ? nullptr : FIndex->FindNodeByKey(k);
}

AnsiString TkxDBTreeView::NodeDisplayText() {
  AnsiString text;
  if (FDisplayFields.empty()) {
    if (FListField) text = FListField->Text();
  } else {
    for (std::size_t i = 0; i < FDisplayFields.size(); ++i) {
      if (i) text += FSeparatedSt;
      text += FDisplayFields[i]->DisplayText();
    }
  }
  if (OnSetDisplayItemText) OnSetDisplayItemText(this, text);
  return text;
}

Variant TkxDBTreeView::NewKeyValue() {
  Variant v = FIndex->GreatestKey();
  if (OnCreateNewKeyValue) {
    OnCreateNewKeyValue(nullptr, v);
  } else if (v.IsNull()) {
    v = 0;
  } else {
    try {
      v = v + Variant(1);
    } catch (const Exception&) {
      // a key that cannot be counted on stays as it is
    }
  }
  return v;
}

bool TkxDBTreeView::HasChildRecord(const Variant& Key) {
  TDataSet* ds = FDataLink->DataSet();
  if (!ds || !FParentField || IsNullKey(Key)) return false;
  if (FParentScopes > 0) {
    if (!FLoadParents) {
      // One pass gathers every parent value for the rest of this load.
      FLoadParents = std::make_unique<std::set<Variant, VariantLess>>();
      ControlsOff off(ds);
      RecordKeeper keep(ds);
      for (ds->First(); !ds->Eof(); ds->Next()) FLoadParents->insert(FParentField->Value());
      keep.Restore();
      off.Restore();
    }
    return FLoadParents->count(Key) != 0;
  }
  ControlsOff off(ds);
  RecordKeeper keep(ds);
  bool found = LocateInDataSet(ds, FParentFieldName, Key);
  keep.Restore();
  off.Restore();
  return found;
}

TkxDBTreeView::ParentScope::ParentScope(TkxDBTreeView* Tree) : FTree(Tree) { ++FTree->FParentScopes; }
TkxDBTreeView::ParentScope::~ParentScope() {
  if (--FTree->FParentScopes == 0) FTree->FLoadParents.reset();
}

// ---------------------------------------------------------------------------
// nodes from records

TTreeNode* TkxDBTreeView::CreateNode() {
  if (!FKeyField || !FParentField)
    throw EInvalidOperation("Cannot add a node: the tree's key or parent field is not bound");
  auto* n = new TkxDBTreeNode(Items());
  n->FIndex = FIndex.get();
  if (FSyncLock) {
    n->FRecordKey = FKeyField->Value();
    n->FHasRecord = true;
  } else {
    n->FRecordKey = NewKeyValue();
    n->PendingInsert = true;
  }
  FIndex->Add(n);
  if (SelectedIndex() != -1) n->SetSelectedIndex(SelectedIndex());
  return n;
}

TkxDBTreeNode* TkxDBTreeView::RefreshFromRecord() {
  TDataSet* ds = FDataLink->DataSet();
  if (!ds || !FKeyField || !FParentField) return nullptr;
  const Variant key = FKeyField->Value();
  if (IsNullKey(key)) return nullptr;
  TkxFlagGuard sync(FSyncLock, true);
  const AnsiString text = NodeDisplayText();
  const Variant parentKey = FParentField->Value();
  TkxDBTreeNode* n = FIndex->FindNodeByKey(key);
  TkxDBTreeNode* p = FIndex->FindNodeByKey(parentKey);
  if (n) {
    // A node at root level stays there; the orphan pass of a load moves it.
    TTreeNode* current = n->Parent();
    if (current && current != p && n != p) {
      if (p) {
        n->MoveTo(p, naAddChild);
        p->SetHasChildren(true);
      } else {
        n->MoveTo(nullptr, naAdd);
      }
    }
    if (n->Text() != text) n->SetText(text);
  } else {
    n = static_cast<TkxDBTreeNode*>(p ? Items()->AddChild(p, text) : Items()->Add(nullptr, text));
  }
  n->ParentKey = parentKey;
  n->FBookmark = ds->Bookmark();
  n->FHasRecord = true;
  if (SmartLoad()) {
    if (!FOptions.Contains(trCheckHasChildren) || HasChildRecord(n->RecordKey())) n->SetHasChildren(true);
  }
  n->ListFieldText = FListField ? FListField->Text() : AnsiString();
  if (FImageIndexField) {
    int image = FImageIndexField->IsNull() ? 0 : FImageIndexField->AsInteger();
    if (n->ImageIndex() != image) n->SetImageIndex(image);
  }
  if (FStateIndexField) {
    int state = FStateIndexField->IsNull() ? -1 : FStateIndexField->AsInteger();
    if (n->StateIndex() != state) n->SetStateIndex(state);
  }
  n->Visited = true;
  if (OnRefreshNode) OnRefreshNode(this, n);
  const int count = FIndex->Count();
  FDataLink->SetBufferCount(count < 100 && count > FDataLink->BufferCount() ? count : 100);
  return n;
}

void TkxDBTreeView::RemoveAllNodes() {
  if (!HandleAllocated()) return;
  TkxFlagGuard sync(FSyncLock, true);
  FLoaded.Clear();
  Items()->Clear();
}

// ---------------------------------------------------------------------------
// loading

void TkxDBTreeView::LoadTree() {
  TkxFlagGuard sync(FSyncLock, true);
  TDataSet* ds = FDataLink->DataSet();
  FLoaded.Clear();
  if (!FKeyField || !FListField || !FParentField || !ds || !ds->Active()) {
    RemoveAllNodes();
  } else {
    Items()->BeginUpdate();
    const TSortType sort = FSortType;
    struct Finish {
      TkxDBTreeView* Tree;
      TSortType Sort;
      ~Finish() {
        Tree->Items()->EndUpdate();
        Tree->FSortType = stNone;
        try {
          Tree->SetSortType(Sort);
        } catch (...) {
        }
      }
    } finish{this, sort};
    FSortType = stNone;
    for (TkxDBTreeNode* n : FIndex->List()) n->Visited = false;
    ParentScope parents(this);
    ControlsOff off(ds);
    RecordKeeper keep(ds);
    if (SmartLoad()) {
      if (FIndex->Count() == 0) {
        ds->First();
      } else {
        // The nodes loaded so far, refreshed from their records; a node whose
        // record is gone stays unvisited and goes in the sweep.
        const std::vector<TkxDBTreeNode*> loaded = FIndex->List();
        for (TkxDBTreeNode* n : loaded) {
          n->ChildrenFetched = false;
          if (!IsCurrentRecord(n) && !GotoNodeRecord(n)) continue;
          RefreshFromRecord();
          ds->Next();
        }
      }
      // The top level: every record whose parent is the root value, wherever
      // it stands (tables come in key order, not grouped by parent).
      if (LocateInDataSet(ds, FParentFieldName, FRootValue))
        for (; !ds->Eof(); ds->Next())
          if (SameKey(FParentField->Value(), FRootValue)) RefreshFromRecord();
    } else {
      for (ds->First(); !ds->Eof(); ds->Next()) RefreshFromRecord();
    }
    keep.Restore();
    off.Restore();
    // Orphans: nodes added at root level before their parent was loaded.
    std::vector<TkxDBTreeNode*> roots;
    for (TTreeNode* r = Items()->GetFirstNode(); r; r = r->GetNextSibling()) roots.push_back(static_cast<TkxDBTreeNode*>(r));
    for (TkxDBTreeNode* r : roots) {
      if (!r->Visited) continue;
      TkxDBTreeNode* p = FIndex->FindNodeByKey(r->ParentKey);
      if (p && p != r) {
        p->SetHasChildren(true);
        r->MoveTo(p, naAddChild);
      }
    }
    SweepUnvisited();
    FLoaded.Set(ds, Items()->Count());
  }
  SyncToCursor();
}

// Deletes the nodes whose records were not read (no record is touched). A
// node read from its record never goes with them: whatever it stood under is
// gone, so it stands at root level until its parent is loaded again.
void TkxDBTreeView::SweepUnvisited() {
  const std::vector<TkxDBTreeNode*> all = FIndex->List();
  std::vector<TkxDBTreeNode*> stranded, doomed;
  for (TkxDBTreeNode* n : all) {
    auto* p = static_cast<TkxDBTreeNode*>(n->Parent());
    if (n->Visited) {
      if (p && !p->Visited) stranded.push_back(n);
    } else if (!p || p->Visited) {
      doomed.push_back(n);
    }
  }
  for (TkxDBTreeNode* n : stranded) n->MoveTo(nullptr, naAdd);
  for (TkxDBTreeNode* n : doomed) n->Delete();
}

void TkxDBTreeView::LoadChildren(TkxDBTreeNode* Node, bool Recursive) {
  TDataSet* ds = FDataLink->DataSet();
  if (!Node || !ds || !FKeyField || !FParentField) return;
  TkxFlagGuard sync(FSyncLock, true);
  ParentScope parents(this);
  ControlsOff off(ds);
  RecordKeeper keep(ds);
  // Recursive loading goes down the subtree with a stack of its own: a chain
  // of records may be of any depth.
  std::vector<TkxDBTreeNode*> pending{Node};
  bool first = true;
  while (!pending.empty()) {
    TkxDBTreeNode* n = pending.back();
    pending.pop_back();
    if (!first && n->ChildrenFetched) continue;
    first = false;
    n->ChildrenFetched = true;
    const Variant key = n->RecordKey();
    const bool any = LocateInDataSet(ds, FParentFieldName, key);
    n->SetHasChildren(any);
    std::vector<TkxDBTreeNode*> below;
    if (any) {
      // Every record with this parent, wherever it stands after the first.
      for (; !ds->Eof(); ds->Next()) {
        if (!SameKey(FParentField->Value(), key)) continue;
        TkxDBTreeNode* c = FIndex->FindNodeByKey(FKeyField->Value());
        if (!c) c = RefreshFromRecord();
        // Only real descendants are followed: a record that is its own parent,
        // or parents that form a circle, end here.
        if (Recursive && c && c != n && c->HasAsParent(n)) below.push_back(c);
      }
    }
    pending.insert(pending.end(), below.rbegin(), below.rend());
    if (FSortType != stNone) n->AlphaSort(false);
  }
  keep.Restore();
  off.Restore();
}

void TkxDBTreeView::SetChildrenFetched(TkxDBTreeNode* Node, bool Value) {
  if (!Node || Node->ChildrenFetched == Value) return;
  if (Value) {
    LoadChildren(Node, false);
    return;
  }
  Node->ChildrenFetched = false;
  while (TTreeNode* c = Node->GetFirstChild()) c->Delete();
  Node->SetHasChildren(true);
}

void TkxDBTreeView::RefreshTree() {
  if (FSyncLock || !HandleAllocated()) return;
  TDataSet* ds = FDataLink->DataSet();
  if (ds && (ds->State() == dsInsert || ds->State() == dsEdit)) return;
  CancelLabelEdit();
  BindFields();
  LoadTree();
  SyncToCursor();
}

void TkxDBTreeView::CancelLabelEdit() {
  if (HandleAllocated() && IsEditing()) TreeView_EndEditLabelNow(Handle(), TRUE);
}

// ---------------------------------------------------------------------------
// the tree follows the dataset

void TkxDBTreeView::SyncToCursor() {
  if (FOptions.Contains(trCanDBNavigate) && FKeyField) GotoNode(FKeyField->Value());
}

void TkxDBTreeView::GotoNode(const Variant& Key) {
  if (IsNullKey(Key) || !HandleAllocated()) return;
  if (TkxDBTreeNode* n = FIndex->FindNodeByKey(Key)) {
    n->MakeVisible();
    n->SetSelected(true);
    return;
  }
  TDataSet* ds = FDataLink->DataSet();
  if (!SmartLoad() || FSyncLock || !ds || !FKeyField || !FParentField) return;
  TkxFlagGuard sync(FSyncLock, true);
  if (!SameKey(FKeyField->Value(), Key) && !LocateKey(Key)) return;
  RecordKeeper keep(ds);
  ControlsOff off(ds);
  ParentScope parents(this);
  // Climb to the nearest loaded ancestor; records that are their own parent,
  // and parents that come round again, end the climb.
  std::vector<Variant> path;
  std::set<Variant, VariantLess> seen{Key};
  bool anchored = false;
  for (;;) {
    const Variant parent = FParentField->Value();
    if (IsNullKey(parent) || SameKey(parent, FKeyField->Value()) || !seen.insert(parent).second) break;
    if (!LocateKey(parent)) break;
    path.push_back(parent);
    if (FIndex->FindNodeByKey(parent)) {
      anchored = true;
      break;
    }
  }
  if (!anchored)
    if (TkxDBTreeNode* top = RefreshFromRecord()) LoadChildren(top, false);
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    if (!LocateKey(*it)) continue;
    if (TkxDBTreeNode* n = FIndex->FindNodeByKey(*it)) LoadChildren(n, false);
  }
  GotoNode(Key);
  off.Restore();
  keep.Restore();
}

// ---------------------------------------------------------------------------
// the dataset follows the tree

void TkxDBTreeView::MoveDataSetTo(TkxDBTreeNode* Node) {
  TDataSet* ds = FDataLink->DataSet();
  if (!FKeyField || !ds || !Node || IsNullKey(Node->RecordKey()) || IsCurrentRecord(Node) ||
      ds->State() == dsInsert || ds->IsEmpty())
    return;
  TkxFlagGuard sync(FSyncLock, true);
  TkxDBTreeNode* edited = ds->State() == dsEdit ? CurrentRecordNode() : nullptr;
  if (edited && edited != Selected()) {
    // Posting the edit reports the fields of the selected node: for the
    // moment that is the edited record's node.
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    edited->SetSelected(true);
    try {
      GotoNodeRecord(Node);
    } catch (const Exception&) {
    }
    Node->SetSelected(true);
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    Invalidate();
    return;
  }
  try {
    GotoNodeRecord(Node);
  } catch (const Exception&) {
  }
}

void TkxDBTreeView::Change(TTreeNode* Node) {
  if (!Node) return;
  if (!FSyncLock) MoveDataSetTo(static_cast<TkxDBTreeNode*>(Node));
  TCustomkxTreeView::Change(Node);
}

bool TkxDBTreeView::CanExpand(TTreeNode* Node) {
  bool allow = TCustomkxTreeView::CanExpand(Node);
  if (allow && SmartLoad()) SetChildrenFetched(static_cast<TkxDBTreeNode*>(Node), true);
  return allow;
}

void TkxDBTreeView::Collapse(TTreeNode* Node) {
  TCustomkxTreeView::Collapse(Node);
  if (SmartLoad()) {
    TkxFlagGuard unloading(FUnloadingChildren, true);
    SetChildrenFetched(static_cast<TkxDBTreeNode*>(Node), false);
  }
  // The selection may have moved to the collapsed node.
  if (!FSyncLock) MoveDataSetTo(static_cast<TkxDBTreeNode*>(Selected()));
}

// ---------------------------------------------------------------------------
// data-link notifications

void TkxDBTreeView::DataLinkActiveChanged() {
  TDataSet* ds = FDataLink->DataSet();
  FDataLink->SeenFilter = ds ? ds->Filter() : AnsiString();
  FDataLink->SeenFiltered = ds ? ds->Filtered() : false;
  RebindAndReload();
}

void TkxDBTreeView::DataLinkDataSetChanged() {
  TDataSet* ds = FDataLink->DataSet();
  if (ds && (ds->Filter() != FDataLink->SeenFilter || ds->Filtered() != FDataLink->SeenFiltered)) {
    FDataLink->SeenFilter = ds->Filter();
    FDataLink->SeenFiltered = ds->Filtered();
    RebindAndReload();
  } else if (!FSyncLock && HandleAllocated() && ds && ds->State() == dsBrowse && FLoaded.Holds(ds, Items()->Count())) {
    // The records are as the last load read them (another control walked
    // them): only the cursor may have moved.
    SyncToCursor();
  } else {
    RefreshTree();
  }
}

void TkxDBTreeView::FieldEdited(TField* Field) {
  TTreeNode* selected = HandleAllocated() ? Selected() : nullptr;
  if (gParentEditBusy || !FKeyField || !selected || !Field) return;
  auto* s = static_cast<TkxDBTreeNode*>(selected);
  if (Field == FListField) {
    TkxFlagGuard sync(FSyncLock, true);
    if (s->Text() != Field->Text()) s->SetText(Field->Text());
  } else if (Field == FImageIndexField) {
    s->SetImageIndex(Field->IsNull() ? -1 : Field->AsInteger());
    TRect r = s->DisplayRect(false);
    InvalidateRect(Handle(), &r, TRUE);
  } else if (Field == FStateIndexField) {
    s->SetStateIndex(Field->IsNull() ? -1 : Field->AsInteger());
    TRect r = s->DisplayRect(false);
    InvalidateRect(Handle(), &r, TRUE);
  } else if (Field == FParentField) {
    const Variant value = Field->Value();
    const Variant old = s->ParentKey;
    if (IsNullKey(value) || IsNullKey(old) || SameKey(value, old)) return;
    TkxFlagGuard busy(gParentEditBusy, true);
    try {
      if (SmartLoad()) {
        TkxFlagGuard sync(FSyncLock, true);
        FDataLink->DataSet()->Post();
      }
      s->ParentKey = value;
      TkxDBTreeNode* p = FIndex->FindNodeByKey(value);
      if (p != s->Parent()) {
        TkxFlagGuard sync(FSyncLock, true);
        if (p && p != s) {
          if (SmartLoad()) SetChildrenFetched(p, true);
          p->SetHasChildren(true);
          s->MoveTo(p, naAddChild);
        } else {
          s->MoveTo(nullptr, naAdd);
        }
      }
      TkxFlagGuard sync(FSyncLock, true);
      const AnsiString text = NodeDisplayText();
      if (s->Text() != text) s->SetText(text);
      Invalidate();
    } catch (const Exception&) {
      // the record keeps its old parent; nothing is reported
      s->ParentKey = old;
      try {
        TDataSet* ds = FDataLink->DataSet();
        if (ds && (ds->State() == dsEdit || ds->State() == dsInsert)) Field->SetValue(old);
      } catch (const Exception&) {
      }
    }
  }
}

void TkxDBTreeView::RecordInserting() {
  if (!FKeyField || !HandleAllocated() || IsNullKey(FKeyField->Value())) return;
  if (!FSyncLock) RefreshFromRecord();
  TkxDBTreeNode* n = CurrentRecordNode();
  if (!n) return;
  n->SetSelected(true);
  n->MakeVisible();
  if (!IsNullKey(n->ParentKey) && OnAddNewItem) OnAddNewItem(nullptr, n);
}

// ---------------------------------------------------------------------------
// the window

void TkxDBTreeView::CreateWnd() {
  {
    TkxFlagGuard sync(FSyncLock, true);
    TCustomkxTreeView::CreateWnd();
  }
  LoadTree();
}

void TkxDBTreeView::DestroyWnd() {
  UnhookLabelEditor();
  RemoveAllNodes();
  TCustomkxTreeView::DestroyWnd();
}

// A frame around the selected node's text keeps the selection recognisable
// while another control has the focus.
void TkxDBTreeView::PaintSelectionFrame() {
  if (!HandleAllocated() || Focused() || FSyncLock || IsEditing()) return;
  TTreeNode* s = Selected();
  if (!s || !s->IsVisible()) return;
  TRect r = s->DisplayRect(true);
  if (r.right <= r.left) return;
  HDC dc = GetDC(Handle());
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SIZE size{};
  const AnsiString text = s->Text();
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
  RECT frame{r.left, r.top, r.left + size.cx + 4, r.bottom};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Font()->Color()));
  FrameRect(dc, &frame, brush);
  DeleteObject(brush);
  SelectObject(dc, oldFont);
  ReleaseDC(Handle(), dc);
}

void TkxDBTreeView::WndProc(TMessage& Message) {
  // A window destroyed with its parent takes its nodes along: no record goes
  // with them.
  if (Message.Msg == WM_DESTROY) {
    UnhookLabelEditor();
    RemoveAllNodes();
    TkxFlagGuard sync(FSyncLock, true);
    TCustomkxTreeView::WndProc(Message);
    return;
  }
  TCustomkxTreeView::WndProc(Message);
  switch (Message.Msg) {
    case TVM_INSERTITEMA:
      if (Message.Result) ItemInserted(reinterpret_cast<HTREEITEM>(Message.Result));
      break;
    case TVM_SETITEMA:
      if (Message.Result && Message.LParam) ItemTextSet(*reinterpret_cast<const TVITEMA*>(Message.LParam));
      break;
    case WM_PAINT:
    case TVM_SELECTITEM:
      PaintSelectionFrame();
      break;
    case WM_KXDBTREE_APPLYIMAGES:
      ApplyRecordImages(reinterpret_cast<HTREEITEM>(Message.WParam));
      break;
    default: break;
  }
}

void TkxDBTreeView::ApplyRecordImages(HTREEITEM Item) {
  auto* n = dynamic_cast<TkxDBTreeNode*>(Items()->GetNode(Item));
  if (!n || !IsCurrentRecord(n)) return;
  if (FImageIndexField) n->SetImageIndex(FImageIndexField->IsNull() ? 0 : FImageIndexField->AsInteger());
  if (FStateIndexField) n->SetStateIndex(FStateIndexField->IsNull() ? -1 : FStateIndexField->AsInteger());
}

// ---------------------------------------------------------------------------
// start-up

void kxInitDBTreeViews() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TkxDBTreeView::StaticClass()});
  RegisterProps<TkxDBTreeView>([](TPropBuilder<TkxDBTreeView>& p) {
    p.Prop("DataSource", &TkxDBTreeView::DataSource, &TkxDBTreeView::SetDataSource);
    p.Prop("KeyField", &TkxDBTreeView::KeyField, &TkxDBTreeView::SetKeyField);
    p.Prop("ParentField", &TkxDBTreeView::ParentField, &TkxDBTreeView::SetParentField);
    p.Prop("ListField", &TkxDBTreeView::ListField, &TkxDBTreeView::SetListField);
    p.Prop("DisplayField", &TkxDBTreeView::DisplayField, &TkxDBTreeView::SetDisplayField);
    p.Prop("ImageIndexField", &TkxDBTreeView::ImageIndexField, &TkxDBTreeView::SetImageIndexField);
    p.Prop("StateIndexField", &TkxDBTreeView::StateIndexField, &TkxDBTreeView::SetStateIndexField);
    p.Prop("RootValue", &TkxDBTreeView::RootValue, &TkxDBTreeView::SetRootValue)
        .Stored([](TObject* o) { return !static_cast<TkxDBTreeView*>(o)->RootValue().IsNull(); });
    p.Prop("SeparatedSt", &TkxDBTreeView::SeparatedSt, &TkxDBTreeView::SetSeparatedSt).Default(" - ");
    p.Prop("Options", &TkxDBTreeView::Options, &TkxDBTreeView::SetOptions).Default(kxDBTreeViewDefaultOptions);
    p.Prop("RaiseOnError", &TkxDBTreeView::RaiseOnError, &TkxDBTreeView::SetRaiseOnError).Default(true);
    p.Prop("SelectedIndex", &TkxDBTreeView::SelectedIndex, &TkxDBTreeView::SetSelectedIndex).Default(-1);
    p.Field("OnAddNewItem", &TkxDBTreeView::OnAddNewItem);
    p.Field("OnCreateNewKeyValue", &TkxDBTreeView::OnCreateNewKeyValue);
    p.Field("OnSetDisplayItemText", &TkxDBTreeView::OnSetDisplayItemText);
    p.Field("OnInsertNodeError", &TkxDBTreeView::OnInsertNodeError);
    p.Field("OnDBAction", &TkxDBTreeView::OnDBAction);
    p.Field("OnRefreshNode", &TkxDBTreeView::OnRefreshNode);
  });
}
