// The data-aware tree: the records of one dataset shown as a tree. Each
// record is a node, identified by its key field; its parent field names the
// key of its parent node, and records whose parent matches no loaded node are
// root nodes. The node text is the list field, or several display fields
// joined by a separator.
//
// The tree and the dataset follow each other: selecting a node moves the
// dataset to its record, and (trCanDBNavigate) moving the dataset selects the
// record's node. Editing the tree edits the records: adding, retitling,
// moving, copying and deleting nodes insert, change and delete records, each
// announced to the application through OnDBAction first.
//
// The full load reads every record. The smart load (trSmartRecordLoad) reads
// the records whose parent field equals RootValue, and the children of a node
// when it is first expanded; children are found wherever they stand in the
// dataset.
#pragma once

#include <memory>
#include <set>
#include <vector>

#include "platform/db/db.h"
#include "treechart/kxtreeview.h"

class TkxDBTreeView;
class TkxDBTreeNodes;

enum TkxDBTreeViewOption {
  trDBCanDelete, trDBConfirmDelete, trCanDBNavigate, trSmartRecordLoad, trSmartRecordCopy, trCheckHasChildren
};
using TkxDBTreeViewOptions = TSet<TkxDBTreeViewOption>;
PV_ENUM_NAMES(TkxDBTreeViewOption,
              "trDBCanDelete trDBConfirmDelete trCanDBNavigate trSmartRecordLoad trSmartRecordCopy trCheckHasChildren")
inline const TkxDBTreeViewOptions kxDBTreeViewDefaultOptions{trDBCanDelete, trDBConfirmDelete, trCanDBNavigate,
                                                             trSmartRecordCopy, trCheckHasChildren};

enum TkxDBTreeViewAction { trDBInsert, trDBDelete, trDBChangeText, trDBChangeParent, trDBMove };
PV_ENUM_NAMES(TkxDBTreeViewAction, "trDBInsert trDBDelete trDBChangeText trDBChangeParent trDBMove")

class TkxDBTreeNode;
// After a record was made for a node; Sender is always nil.
using TAddNewDBTreeNodeEvent = TEvent<void(TObject* Sender, TkxDBTreeNode*& DBTreeNode)>;
// Chooses the key of a node made in the tree (arrives as the greatest key, Null
// when the tree is empty); Sender is always nil.
using TCreateNewKeyValue = TEvent<void(TObject* Sender, Variant& NewKeyValue)>;
// May change every computed node text.
using TSetDisplayItemText = TEvent<void(TObject* Sender, AnsiString& DisplayText)>;
// Before each record operation; Automatic false cancels it.
using TkxDBTreeViewActionEvent = TEvent<void(TObject* Sender, TTreeNode* DBNode1, TTreeNode* DBNode2,
                                             TkxDBTreeViewAction Action, bool& Automatic)>;
// After a node was refreshed from its record.
using TDBTreeRefreshNodeEvent = TEvent<void(TObject* Sender, TkxDBTreeNode* DBTreeNode)>;

// A node of the data-aware tree, standing for one record.
class TkxDBTreeNode : public TkxTreeNode {
  PV_CLASS(TkxDBTreeNode, TkxTreeNode)
 public:
  explicit TkxDBTreeNode(TTreeNodes* AOwner = nullptr) : TkxTreeNode(AOwner) {}
  ~TkxDBTreeNode() override;

  // Made in the tree; its record is inserted when the window reports it.
  bool PendingInsert = false;
  // Refreshed from a record during the current load.
  bool Visited = false;
  Variant ParentKey;
  // Smart load: the children were read.
  bool ChildrenFetched = false;
  // The list field's text at the last refresh.
  AnsiString ListFieldText;

  const Variant& RecordKey() const { return FRecordKey; }
  // Takes the node out of the index and puts it back at its new key's place.
  void SetRecordKey(const Variant& Value);

 protected:
  friend class TkxDBTreeView;
  friend class TkxDBTreeNodes;
  TkxDBTreeNodes* FIndex = nullptr;
  Variant FRecordKey;
  TBookmarkStr FBookmark;  // the node's record as last read
  // The node stands for a record of the dataset (a node made in the tree has
  // none until its record is written).
  bool FHasRecord = false;
};

// The nodes of a tree ordered by key: every node is in it exactly once.
class TkxDBTreeNodes {
 public:
  explicit TkxDBTreeNodes(TkxDBTreeView* ATree) : FTree(ATree) {}
  // Where Key stands (true) or would be inserted (false); -1 for Null or a
  // key below the first.
  bool FindIndex(const Variant& Key, int& Index) const;
  TkxDBTreeNode* FindNodeByKey(const Variant& Key) const;
  // The greatest key; Null when empty.
  Variant GreatestKey() const;
  int Count() const { return static_cast<int>(FList.size()); }
  TkxDBTreeNode* Items(int Index) const { return FList.at(std::size_t(Index)); }
  const std::vector<TkxDBTreeNode*>& List() const { return FList; }
  TkxDBTreeView* Tree() const { return FTree; }
  bool Destroying = false;

  void Add(TkxDBTreeNode* Node);
  void Remove(TkxDBTreeNode* Node);

 private:
  TkxDBTreeView* FTree;
  std::vector<TkxDBTreeNode*> FList;
};

// The tree's link to its dataset.
class TDataLinkTreeView : public TDataLink {
  PV_CLASS(TDataLinkTreeView, TDataLink)
 public:
  explicit TDataLinkTreeView(TkxDBTreeView* ATree) : FTree(ATree) { SetVisualControl(true); }
  AnsiString SeenFilter;
  bool SeenFiltered = false;

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;
  void DataEvent(TDataEvent Event, NativeInt Info) override;

 private:
  TkxDBTreeView* FTree;
};

class TkxDBTreeView : public TCustomkxTreeView {
  PV_CLASS(TkxDBTreeView, TCustomkxTreeView)
 public:
  using OwnerType = TComponent;
  explicit TkxDBTreeView(TComponent* AOwner);
  ~TkxDBTreeView() override;

  // ---- published ----
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  const AnsiString& KeyField() const { return FKeyFieldName; }
  void SetKeyField(const AnsiString& Value);
  const AnsiString& ParentField() const { return FParentFieldName; }
  void SetParentField(const AnsiString& Value);
  const AnsiString& ListField() const { return FListFieldName; }
  void SetListField(const AnsiString& Value);
  const AnsiString& DisplayField() const { return FDisplayFieldName; }
  void SetDisplayField(const AnsiString& Value);
  const AnsiString& ImageIndexField() const { return FImageIndexFieldName; }
  void SetImageIndexField(const AnsiString& Value);
  const AnsiString& StateIndexField() const { return FStateIndexFieldName; }
  void SetStateIndexField(const AnsiString& Value);
  const Variant& RootValue() const { return FRootValue; }
  void SetRootValue(const Variant& Value);
  const AnsiString& SeparatedSt() const { return FSeparatedSt; }
  void SetSeparatedSt(const AnsiString& Value);
  TkxDBTreeViewOptions Options() const { return FOptions; }
  void SetOptions(TkxDBTreeViewOptions Value);
  bool RaiseOnError() const { return FRaiseOnError; }
  void SetRaiseOnError(bool Value) { FRaiseOnError = Value; }

  TAddNewDBTreeNodeEvent OnAddNewItem;
  TCreateNewKeyValue OnCreateNewKeyValue;
  TSetDisplayItemText OnSetDisplayItemText;
  TNotifyEvent OnInsertNodeError;
  TkxDBTreeViewActionEvent OnDBAction;
  TDBTreeRefreshNodeEvent OnRefreshNode;

  // ---- operations ----
  TDataLinkTreeView* DataLink() const { return FDataLink.get(); }
  TkxDBTreeNodes* NodeIndex() const { return FIndex.get(); }
  // The dataset's locate (Options are always empty here).
  bool LocateInDataSet(TDataSet* DataSet, const AnsiString& KeyFields, const Variant& KeyValue,
                       TLocateOptions Options = {});
  TkxDBTreeNode* FindNodeByKey(const Variant& Key) const { return FIndex->FindNodeByKey(Key); }
  // Binds the fields again and reloads.
  void RebindAndReload();
  void LoadTree();
  void RefreshTree();
  // Selects the node of Key, loading its ancestors first in smart mode.
  void GotoNode(const Variant& Key);
  // Selects the current record's node (trCanDBNavigate).
  void SyncToCursor();
  TkxDBTreeNode* CurrentRecordNode() const;
  // The node text of the current record.
  AnsiString NodeDisplayText();
  // The key of a node made in the tree.
  Variant NewKeyValue();
  void LoadChildren(TkxDBTreeNode* Node, bool Recursive);
  void SetChildrenFetched(TkxDBTreeNode* Node, bool Value);
  // The node for the current record, added or moved as the record says; nil
  // when the record's key is Null.
  TkxDBTreeNode* RefreshFromRecord();
  bool SyncLock() const { return FSyncLock; }

  // ---- record edits ----
  bool DoDBAction(TTreeNode* DBNode1, TTreeNode* DBNode2, TkxDBTreeViewAction Action);
  void InsertRecordForNode(TkxDBTreeNode* Node, TTreeNode* Parent);
  void ChangeParentRecord(TkxDBTreeNode* Node, TTreeNode* NewParent);
  void DeleteRecordByKey(const Variant& Key);

  TField* KeyFieldObject() const { return FKeyField; }
  TField* ParentFieldObject() const { return FParentField; }
  TField* ListFieldObject() const { return FListField; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TDataLinkTreeView;
  friend class TkxDBTreeNode;

  TTreeNode* CreateNode() override;
  void Change(TTreeNode* Node) override;
  bool CanExpand(TTreeNode* Node) override;
  void Collapse(TTreeNode* Node) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  void Edit(const TVITEMA& Item) override;
  bool DeletesSubtree(TTreeNode* Node) override;
  void CollectSubtree(TTreeNode* Node, std::vector<TTreeNode*>& List) override;
  void GetNodeCopyText(TTreeNode* Node, AnsiString& Text) override;
  void CopyNodeData(std::vector<TTreeNode*>& SourceNodes, std::vector<TTreeNode*>& NewNodes, bool IsCopy) override;

  void BindFields();
  void ClearFields();
  void DataLinkActiveChanged();
  void DataLinkDataSetChanged();
  void FieldEdited(TField* Field);
  void RecordInserting();
  // Moves the dataset to Node's record: by the bookmark it was read from when
  // that still holds its key, else by locating the key.
  bool GotoNodeRecord(TkxDBTreeNode* Node);
  bool LocateKey(const Variant& Key);
  // Whether the current record is Node's.
  bool IsCurrentRecord(const TkxDBTreeNode* Node) const;
  Variant CurrentKey() const;
  bool SmartLoad() const { return FOptions.Contains(trSmartRecordLoad); }
  // Whether a record with Key as its parent value exists (answered from the
  // parents gathered for the current load when there is one).
  bool HasChildRecord(const Variant& Key);
  void RemoveAllNodes();
  void SweepUnvisited();
  // Moves the dataset to Node's record as a selection change does.
  void MoveDataSetTo(TkxDBTreeNode* Node);
  void ApplyRecordImages(HTREEITEM Item);
  void PaintSelectionFrame();
  void CancelLabelEdit();
  // Record edits (the tree window's insert and set-item messages).
  void ItemInserted(HTREEITEM Item);
  void ItemTextSet(const TVITEMA& Item);
  void NodeDestroying(TkxDBTreeNode* Node);
  void DeleteRecordByKey(const Variant& Key, const TBookmarkStr& Hint);
  enum class RootLevelCase { Added, Moved, Copied };
  Variant RootLevelParent(TkxDBTreeNode* Node, RootLevelCase Case) const;
  void FixOwnParent(TkxDBTreeNode* Node, const Variant& OldKey);
  void HookLabelEditor(HWND Editor);
  void UnhookLabelEditor();
  static LRESULT LabelEditorProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

  void CNNotify(TWMNotify& Message);
  void WMApplyImages(TMessage& Message);

  bool FSyncLock = false;
  bool FUnloadingChildren = false;
  TDataSetReadMark FLoaded;  // what the last LoadTree read
  std::unique_ptr<TDataLinkTreeView> FDataLink;
  std::unique_ptr<TkxDBTreeNodes> FIndex;
  bool FRaiseOnError = true;
  AnsiString FKeyFieldName, FParentFieldName, FListFieldName, FDisplayFieldName, FImageIndexFieldName,
      FStateIndexFieldName;
  Variant FRootValue;
  AnsiString FSeparatedSt = " - ";
  TkxDBTreeViewOptions FOptions = kxDBTreeViewDefaultOptions;
  TField* FImageIndexField = nullptr;
  TField* FKeyField = nullptr;
  TField* FListField = nullptr;
  std::vector<TField*> FDisplayFields;
  TField* FParentField = nullptr;
  TField* FStateIndexField = nullptr;
  // The label editor's hook.
  HWND FEditorWnd = nullptr;
  WNDPROC FEditorOldProc = nullptr;
  // The parent values of the dataset, gathered once per load.
  struct VariantLess {
    bool operator()(const Variant& A, const Variant& B) const { return VarCompareTotal(A, B) < 0; }
  };
  std::unique_ptr<std::set<Variant, VariantLess>> FLoadParents;
  int FParentScopes = 0;
  // While one lives, HasChildRecord answers from the gathered parent values.
  class ParentScope {
   public:
    explicit ParentScope(TkxDBTreeView* Tree);
    ~ParentScope();
    ParentScope(const ParentScope&) = delete;
    ParentScope& operator=(const ParentScope&) = delete;

   private:
    TkxDBTreeView* FTree;
  };

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_NOTIFY, TWMNotify, CNNotify)
  END_MESSAGE_MAP(TCustomkxTreeView)
};

// The message a tree posts itself after adding a node's record: the node
// then takes its image indexes from the record (WParam: the node's item).
constexpr UINT WM_KXDBTREE_APPLYIMAGES = WM_APP + 150;

// Raised while a parent-field edit is posted by any data-aware tree.
bool kxDBTreeParentEditBusy();

// Registers the data-aware tree with its published properties; called by
// kxInitTreeViews.
void kxInitDBTreeViews();
