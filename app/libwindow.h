// Pieces shared by the windows that edit library tables and by the story
// window: node commands on data-aware trees, the flow chart kept in a
// record's ttext7, the table choosers and the linked narrative subtree.
#pragma once
#include <initializer_list>

#include "editor/txtedit.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/db/ado.h"
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"

class TMainForm;
class TkxBarManager;

// Gives Manager the frame's bar style; nothing without a frame.
void CopyFrameBarStyle(TMainForm* Frame, TkxBarManager* Manager);
// A new library window of class T owned by the application, maximized, its
// bars in the frame's style.
template <class T>
T* NewLibraryWindow(TMainForm* Frame) {
  auto* w = NewObject<T>(Application);
  w->SetWindowState(wsMaximized);
  CopyFrameBarStyle(Frame, w->kxBarManager1);
  return w;
}

// A tree that loads the whole table, and one that loads the nodes below a
// root value as they are opened.
extern const TkxDBTreeViewOptions kWholeTreeOptions;
extern const TkxDBTreeViewOptions kFocusedTreeOptions;

// Shows the whole table in Tree, with no root value left behind: a node added
// at the top level then becomes a root node, not a child of an old focus.
void ShowWholeTree(TkxDBTreeView* Tree);
// Shows the children of the node whose key is Root as Tree's top level,
// loading nodes as they are opened.
void ShowFocusedTree(TkxDBTreeView* Tree, const Variant& Root);

// An integer stored as text or number; Fallback for empty or non-numeric values.
int FieldAsInt(TField* Field, int Fallback);

// ---- node commands ----
// A smart-loading tree reads a node's children before they are walked.
void FetchChildren(TkxDBTreeView* Tree, TTreeNode* Node);
// Adds a child "节点" under the selected node (a root node when none is
// selected), selects it, gives it the defaults of View and expands it.
void AddTreeNode(TkxDBTreeView* Tree, int View = 0);
// The same when Table is open.
void AddTreeNodeIn(TkxDBTreeView* Tree, TADOTable* Table);
// Starts editing the selected node's text, when there is one.
void EditSelectedNode(TkxDBTreeView* Tree);
// Starts editing the chart's selected node, when there is one.
void EditSelectedChartNode(TkxDbOrgChart* Chart);
// Puts the selected subtree on the node clipboard, when a node is selected.
void CopySelectedNode(TkxDBTreeView* Tree);
// Pastes the node clipboard under the selected node when Table is open.
void PasteNodeIn(TkxDBTreeView* Tree, TADOTable* Table);
// Writes the tree's nodes out as files named after the alias row's tsortid,
// when the alias list is open and the export is provided.
void ExportTree(TkxDBTreeView* Tree, TDataSet* Alias);
// Re-reads Table's records when it is open.
void RefreshWhenOpen(TADOTable* Table);
// Deletes the selected node when it has no children, after the question the
// Del key asks when the tree confirms deletions; a refused question deletes
// nothing, and so does a window closed while the question was open.
void DeleteLeafNode(TkxDBTreeView* Tree);

// Learns whether a component was freed meanwhile: a modal question lets the
// messages of other windows run, and one of them may close a window.
class TFreeWatch : public TComponent {
  PV_CLASS(TFreeWatch, TComponent)
 public:
  explicit TFreeWatch(TComponent* Watched = nullptr);
  ~TFreeWatch() override;
  bool Alive() const { return FWatched != nullptr; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FWatched = nullptr;
};
// The node before and after the selected one in depth-first order, read as
// far as needed; null at either end or with nothing selected.
TTreeNode* PreviousTreeNode(TkxDBTreeView* Tree);
TTreeNode* NextTreeNode(TkxDBTreeView* Tree);

// ---- flow charts ----
// Loads Chart from the current record's ttext7: an empty field shows an
// empty chart, one that holds no chart leaves the chart as it was, without a
// message; false then.
bool LoadChartFromRecord(TDataSet* DataSet, TkxCustomFlowChart* Chart);
// Keeps Chart showing the flow chart of the current record of the linked
// dataset, however that record became current (a click, a key, the previous
// and next node commands, another table, the window opening): a record
// without a chart, or with one that cannot be read, shows an empty chart, so
// that the chart on show, designed and saved, is always the record's own.
class TRecordChartLink : public TDataLink {
  PV_CLASS(TRecordChartLink, TDataLink)
 public:
  explicit TRecordChartLink(TkxCustomFlowChart* Chart = nullptr) : FChart(Chart) {}
  // While suspended (a walk over every record) nothing is loaded; Resume
  // shows the chart of the record current then.
  void Suspend() { ++FSuspended; }
  void Resume();
  // Loads the current record's chart again, even when it is shown already.
  void Reload();

 protected:
  void ActiveChanged() override { Follow(false); }
  void DataSetChanged() override { Follow(false); }
  void DataSetScrolled(int) override { Follow(false); }

 private:
  void Follow(bool Always);

  TkxCustomFlowChart* FChart;
  int FSuspended = 0;
  // The record whose chart is shown: its table and key.
  AnsiString FShownTable;
  Variant FShownKey;
};

// Writes Chart into the current record's ttext7 and posts it; nothing on an
// empty table.
void StoreChartInRecord(TDataSet* DataSet, TkxCustomFlowChart* Chart);

// ---- tables ----
// Moves Alias to the row the lookup Picker picked; whether that row names a table.
bool PickedAliasRow(TObject* Picker, TDataSet* Alias);
// Points Table at the current alias row's tname (close, set, open); nothing
// when the row names no table.
void SwitchTableTo(TADOTable* Table, TDataSet* Alias);
// Commits Table's pending changes when it is open.
void BatchSave(TADOTable* Table);
// Opens NarrativeTable on the narrative table that DataSet's current record
// links to (tlinktable), so that a path chooser lists its nodes; nothing when
// the record links to no known table.
void OpenLinkedTable(TDataSet* DataSet, TADOTable* NarrativeTable);
// Shows in Tree, through NarrativeTable, the subtree that DataSet's current
// record links to (tlinktable and tlinkpath): the children of the linked node
// with their subtrees, fully expanded. A record without both links closes the
// table with CloseWhenUnlinked and otherwise leaves it; so does a link to a
// table that is not listed, with CloseWhenUnknown.
void ShowLinkedSubtree(TDataSet* DataSet, TADOTable* NarrativeTable, TkxDBTreeView* Tree, bool CloseWhenUnlinked,
                       bool CloseWhenUnknown);

// ---- editors ----
// Removes Ctrl+Insert, Shift+Delete and Shift+Insert from Editor's keys:
// copy, cut and paste are left to Ctrl+C, X and V.
void DropClipboardKeys(TCustomTxtEdit* Editor);

// Sets the current record's tchartcolor to Box's colour and posts it;
// nothing on a closed or empty table.
void SetChartColor(TDataSet* DataSet, TCustomColorBox* Box);
// A table's display fields back to "tsortid;tname" (rebuilt only when they
// differ) and the tree repainted.
void ResetTreeDisplay(TkxDBTreeView* Tree);
// Selects the node after (Next) or before the selected one in depth-first
// order; false when there is none.
bool SelectTreeNeighbour(TkxDBTreeView* Tree, bool Next);
// Commits the open tables among Tables; the caret of Editor (when given) is
// kept through the reload by a caret keeper owned by Owner.
void BatchSaveKeepingCaret(TComponent* Owner, TCustomTxtEdit* Editor, std::initializer_list<TADOTable*> Tables);
