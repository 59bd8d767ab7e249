#include "app/libwindow.h"

#include <memory>

#include "app/codedatamodule.h"
#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/storywrite.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"
#include "treechart/kxlookuptreeview.h"

const TkxDBTreeViewOptions kWholeTreeOptions{trDBCanDelete, trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy};
const TkxDBTreeViewOptions kFocusedTreeOptions{trDBCanDelete, trDBConfirmDelete, trSmartRecordLoad, trSmartRecordCopy};

namespace libwindow_impl {
// 节点: the name of a node added from a menu.
const char* const kAddedNodeName = "\xBD\xDA\xB5\xE3";
}  // namespace libwindow_impl

void CopyFrameBarStyle(TMainForm* Frame, TkxBarManager* Manager) {
  if (Frame) Frame->CopyBarStyle(Manager);
}

void ShowWholeTree(TkxDBTreeView* Tree) {
  Tree->SetOptions(kWholeTreeOptions);
  // Without smart loading this only forgets the value; nothing reloads.
  Tree->SetRootValue(Null());
}

void ShowFocusedTree(TkxDBTreeView* Tree, const Variant& Root) {
  Tree->SetOptions(kFocusedTreeOptions);
  Tree->SetRootValue(Root);
}

int FieldAsInt(TField* Field, int Fallback) {
  if (!Field || Field->IsNull()) return Fallback;
  const AnsiString s = Trim(Field->AsString());
  return s.empty() ? Fallback : StrToIntDef(s, Fallback);
}

// ---------------------------------------------------------------------------
// nodes

void FetchChildren(TkxDBTreeView* Tree, TTreeNode* Node) {
  auto* n = dynamic_cast<TkxDBTreeNode*>(Node);
  if (n && Tree->Options().Contains(trSmartRecordLoad) && !n->ChildrenFetched) Tree->LoadChildren(n, false);
}

void AddTreeNode(TkxDBTreeView* Tree, int View) {
  TTreeNode* added = Tree->Items()->AddChild(Tree->Selected(), libwindow_impl::kAddedNodeName);
  added->SetSelected(true);
  LibDataModule->addNewRecordbyView(Tree, View);
  added->Expand(false);
}

void AddTreeNodeIn(TkxDBTreeView* Tree, TADOTable* Table) {
  if (Table->Active()) AddTreeNode(Tree);
}

void EditSelectedNode(TkxDBTreeView* Tree) {
  if (TTreeNode* sel = Tree->Selected()) sel->EditText();
}

void EditSelectedChartNode(TkxDbOrgChart* Chart) {
  if (Chart->Selected()) Chart->BeginEdit();
}

void CopySelectedNode(TkxDBTreeView* Tree) {
  if (Tree->Selected()) LibDataModule->NodeCopy(Tree);
}

void PasteNodeIn(TkxDBTreeView* Tree, TADOTable* Table) {
  if (Table->Active()) LibDataModule->NodePost(Tree);
}

void ExportTree(TkxDBTreeView* Tree, TDataSet* Alias) {
  if (StoryWindowHooks().ExportToFile && Alias->Active())
    StoryWindowHooks().ExportToFile(Tree, Alias->FieldByName("tsortid")->AsString());
}

void RefreshWhenOpen(TADOTable* Table) {
  if (Table->Active()) Table->Refresh();
}

TFreeWatch::TFreeWatch(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) {
  if (FWatched) FWatched->FreeNotification(this);
}

TFreeWatch::~TFreeWatch() {
  if (FWatched) FWatched->RemoveFreeNotification(this);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FWatched) FWatched = nullptr;
}

namespace {
bool HasLoadedChildren(TkxDBTreeView* Tree, TTreeNode* Node) {
  FetchChildren(Tree, Node);
  return Node->HasChildren() && Node->Count() > 0;
}
}  // namespace

void DeleteLeafNode(TkxDBTreeView* Tree) {
  auto* sel = dynamic_cast<TkxDBTreeNode*>(Tree->Selected());
  if (!sel || HasLoadedChildren(Tree, sel)) return;
  // The node is found again by its key after the question: while it was open
  // the tree may have been reloaded, or its window closed.
  const Variant key = sel->RecordKey();
  TFreeWatch tree(Tree);
  if (!Tree->ConfirmDelete(sel) || !tree.Alive()) return;
  TkxDBTreeNode* node = Tree->FindNodeByKey(key);
  if (node && !HasLoadedChildren(Tree, node)) node->Delete();
}

TTreeNode* PreviousTreeNode(TkxDBTreeView* Tree) {
  TTreeNode* sel = Tree->Selected();
  if (!sel) return nullptr;
  TTreeNode* prev = sel->GetPrevSibling();
  if (!prev) return sel->Parent();
  // The last node of the previous sibling's subtree, read as far down as it goes.
  for (FetchChildren(Tree, prev); prev->GetLastChild(); FetchChildren(Tree, prev)) prev = prev->GetLastChild();
  return prev;
}

TTreeNode* NextTreeNode(TkxDBTreeView* Tree) {
  TTreeNode* sel = Tree->Selected();
  if (!sel) return nullptr;
  FetchChildren(Tree, sel);
  TTreeNode* next = sel->GetFirstChild();
  for (TTreeNode* n = sel; !next && n; n = n->Parent()) next = n->GetNextSibling();
  return next;
}

// ---------------------------------------------------------------------------
// charts

bool LoadChartFromRecord(TDataSet* DataSet, TkxCustomFlowChart* Chart) {
  try {
    TMemoryStream stream;
    if (auto* blob = dynamic_cast<TBlobField*>(DataSet->FieldByName("ttext7"))) blob->SaveToStream(&stream);
    // An empty field holds no chart: an empty one is shown.
    if (stream.Size() == 0) {
      Chart->Clear();
      return true;
    }
    stream.SetPosition(0);
    Chart->LoadFromStream(&stream);
    return true;
  } catch (const Exception&) {
    // A chart that cannot be read leaves what the load got to.
    return false;
  }
}

void TRecordChartLink::Resume() {
  if (FSuspended > 0 && --FSuspended == 0) Reload();
}

void TRecordChartLink::Reload() {
  FShownTable.clear();
  Follow(true);
}

void TRecordChartLink::Follow(bool Always) {
  if (!FChart || FSuspended > 0) return;
  TDataSet* ds = DataSet();
  // A record being inserted has no key yet: its chart is shown once posted.
  if (ds && ds->State() == dsInsert) return;
  if (!ds || !ds->Active() || ds->IsEmpty()) {
    // No record: nothing of another record's chart may stay on show.
    FChart->Clear();
    FShownTable.clear();
    FShownKey = Null();
    return;
  }
  AnsiString table = ds->Name();
  if (auto* t = dynamic_cast<TADOTable*>(ds)) table += ":" + t->TableName();
  Variant key;
  try {
    key = ds->FieldByName("tid")->Value();
  } catch (const Exception&) {
  }
  if (!Always && table == FShownTable && !key.IsNull() && !FShownKey.IsNull() && key == FShownKey) return;
  FShownTable = table;
  FShownKey = key;
  if (!LoadChartFromRecord(ds, FChart)) FChart->Clear();
}

void StoreChartInRecord(TDataSet* DataSet, TkxCustomFlowChart* Chart) {
  if (DataSet->IsEmpty()) return;
  TMemoryStream stream;
  Chart->SaveToStream(&stream);
  stream.SetPosition(0);
  DataSet->Edit();
  auto* blob = dynamic_cast<TBlobField*>(DataSet->FieldByName("ttext7"));
  if (!blob) {
    DataSet->Cancel();
    throw EDatabaseError("Field 'ttext7' holds no chart");
  }
  blob->LoadFromStream(&stream);
  DataSet->Post();
}

// ---------------------------------------------------------------------------
// tables

bool PickedAliasRow(TObject* Picker, TDataSet* Alias) {
  auto* p = dynamic_cast<TCustomkxLookupTreeView*>(Picker);
  if (!Alias->Active() || Alias->IsEmpty()) return false;
  if (p && !p->KeyValue().IsNull() && !Alias->Locate("tid", p->KeyValue(), {})) return false;
  return !Alias->FieldByName("tname")->AsString().empty();
}

void SwitchTableTo(TADOTable* Table, TDataSet* Alias) {
  const AnsiString name = Alias->FieldByName("tname")->AsString();
  if (name.empty()) return;
  Table->SetActive(false);
  Table->SetTableName(name);
  Table->SetActive(true);
}

void BatchSave(TADOTable* Table) {
  if (Table && Table->Active()) Table->UpdateBatch(arAll);
}

void OpenLinkedTable(TDataSet* DataSet, TADOTable* NarrativeTable) {
  if (!DataSet->Active() || DataSet->IsEmpty()) return;
  const AnsiString name = LibDataModule->GetTableNameByID(DataSet->FieldByName("tlinktable")->AsString());
  if (name.empty()) return;
  NarrativeTable->SetActive(false);
  NarrativeTable->SetTableName(name);
  NarrativeTable->SetActive(true);
}

void ShowLinkedSubtree(TDataSet* DataSet, TADOTable* NarrativeTable, TkxDBTreeView* Tree, bool CloseWhenUnlinked,
                       bool CloseWhenUnknown) {
  const AnsiString table = Trim(DataSet->FieldByName("tlinktable")->AsString());
  const AnsiString path = Trim(DataSet->FieldByName("tlinkpath")->AsString());
  if (table.empty() || path.empty()) {
    if (CloseWhenUnlinked) NarrativeTable->Close();
    return;
  }
  const AnsiString name = LibDataModule->GetTableNameByID(table);
  if (name.empty()) {
    if (CloseWhenUnknown) NarrativeTable->Close();
    return;
  }
  NarrativeTable->Close();
  NarrativeTable->SetTableName(name);
  NarrativeTable->Open();
  ShowFocusedTree(Tree, Variant(StrToIntDef(path, 0)));
  Tree->FullExpand();
}

// ---------------------------------------------------------------------------
// editors

void DropClipboardKeys(TCustomTxtEdit* Editor) {
  TTxtEditKeyStrokes* keys = Editor->Keystrokes();
  const struct {
    Word Key;
    TShiftState Shift;
  } dropped[] = {{VK_INSERT, TShiftState{ssCtrl}}, {VK_DELETE, TShiftState{ssShift}}, {VK_INSERT, TShiftState{ssShift}}};
  for (const auto& k : dropped)
    if (const int i = keys->FindKey(k.Key, k.Shift); i >= 0) keys->Delete(i);
}

void SetChartColor(TDataSet* DataSet, TCustomColorBox* Box) {
  if (!DataSet->Active() || DataSet->IsEmpty()) return;
  DataSet->Edit();
  DataSet->FieldByName("tchartcolor")->SetAsInteger(static_cast<Integer>(Box->Selected()));
  DataSet->Post();
}

void ResetTreeDisplay(TkxDBTreeView* Tree) {
  Tree->SetDisplayField("tsortid;tname");
  Tree->Repaint();
}

bool SelectTreeNeighbour(TkxDBTreeView* Tree, bool Next) {
  TTreeNode* n = Next ? NextTreeNode(Tree) : PreviousTreeNode(Tree);
  if (!n) return false;
  n->SetSelected(true);
  return true;
}

void BatchSaveKeepingCaret(TComponent* Owner, TCustomTxtEdit* Editor, std::initializer_list<TADOTable*> Tables) {
  std::unique_ptr<TCodeDataModule> keeper;
  if (Editor) {
    keeper = std::make_unique<TCodeDataModule>(Owner);
    keeper->Remember(Editor);
  }
  for (TADOTable* t : Tables) BatchSave(t);
  if (keeper) keeper->Restore();
}
