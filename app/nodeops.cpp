// The node operations shared by every window: new-node defaults, subtree copy
// between trees, the node clipboard, one field over a subtree and the
// organisation chart's fields. They work through data-aware trees: selecting
// a node moves its dataset to the node's record, and adding a child inserts a
// record under the parent and leaves the dataset on it.
#include <functional>
#include <vector>

#include "app/libdatamodule.h"
#include "app/treecopyform.h"
#include "platform/rtl/sysutils.h"

namespace {

// 节点: the name every node made by the application starts with.
const char* const kNewNodeName = "\xBD\xDA\xB5\xE3";

// The fields a copy carries, in the order they are copied: every field of the
// node record but its key and its view-0 parent.
const std::vector<AnsiString>& CopiedFields() {
  static const std::vector<AnsiString> fields = [] {
    std::vector<AnsiString> f{"tname"};
    for (int i = 1; i <= 7; ++i) f.push_back("ttext" + IntToStr(i));
    f.push_back("timage");
    f.push_back("tsortid");
    for (int i = 11; i <= 17; ++i) f.push_back("tparent" + IntToStr(i));
    for (int i = 1; i <= 8; ++i) f.push_back("tview" + IntToStr(i));
    for (int i = 1; i <= 8; ++i) f.push_back("tviewname" + IntToStr(i));
    for (int i = 1; i <= 8; ++i) f.push_back("tviewcolor" + IntToStr(i));
    for (int i = 1; i <= 8; ++i) f.push_back("tviewico" + IntToStr(i));
    for (const char* n : {"ttype", "tlinktable", "tlinkpath", "tchartwidth", "tchartheight", "tchartcolor",
                          "tchartshape", "tchartchalign", "tchartimalign", "tchartorder", "tchartimage",
                          "treflibid", "treflibtablename"})
      f.push_back(n);
    return f;
  }();
  return fields;
}

TDataSet* TreeDataSet(TkxDBTreeView* Tree) {
  TDataSource* src = Tree->DataSource();
  if (!src || !src->DataSet()) throw EInvalidOperation("The tree '" + Tree->Name() + "' is bound to no dataset");
  return src->DataSet();
}

// A node whose children a smart-loading tree has not read yet reads them,
// so that what is walked is the whole subtree.
void LoadAllChildren(TkxDBTreeView* Tree, TTreeNode* Node) {
  auto* n = dynamic_cast<TkxDBTreeNode*>(Node);
  if (n && Tree->Options().Contains(trSmartRecordLoad) && !n->ChildrenFetched) Tree->LoadChildren(n, false);
}

// The shape of a subtree by record keys, taken before anything is added, so
// that a copy into its own subtree copies what was there and ends.
struct KeyTree {
  Variant key;
  std::vector<KeyTree> children;
};

KeyTree Snapshot(TkxDBTreeView* Tree, TTreeNode* Node) {
  KeyTree t;
  if (auto* n = dynamic_cast<TkxDBTreeNode*>(Node)) t.key = n->RecordKey();
  LoadAllChildren(Tree, Node);
  for (TTreeNode* c = Node->GetFirstChild(); c; c = c->GetNextSibling()) t.children.push_back(Snapshot(Tree, c));
  return t;
}

// Selects the node of Key, which moves the tree's dataset to its record (and
// makes sure of it when the node was selected already).
TTreeNode* SelectKey(TkxDBTreeView* Tree, const Variant& Key) {
  TkxDBTreeNode* n = Tree->FindNodeByKey(Key);
  if (!n) throw EInvalidOperation("The node " + VarToStr(Key) + " is no longer in the tree");
  n->SetSelected(true);
  TDataSet* ds = TreeDataSet(Tree);
  if (TField* key = Tree->KeyFieldObject(); key && VarCompareTotal(key->Value(), Key) != 0 &&
                                            !ds->Locate(Tree->KeyField(), Key, {}))
    throw EInvalidOperation("The record of node " + VarToStr(Key) + " is gone");
  return n;
}

// The values of the copied fields of the dataset's current record.
std::vector<Variant> ReadCopied(TDataSet* DataSet) {
  std::vector<Variant> v;
  v.reserve(CopiedFields().size());
  for (const AnsiString& f : CopiedFields()) v.push_back(DataSet->FieldByName(f)->Value());
  return v;
}

}  // namespace

void TLibDataModule::addNewRecordbyView(TkxDBTreeView* Tree, int View) {
  const TNodeView& view = NodeView(View);
  int order = 0;
  if (TTreeNode* sel = Tree->Selected(); sel && sel->Parent()) order = sel->Parent()->Count();
  const AnsiString label = order < 10 ? "0" + IntToStr(order) : IntToStr(order);
  TDataSet* ds = TreeDataSet(Tree);
  ds->Edit();
  ds->FieldByName("tname")->SetAsString(kNewNodeName);
  ds->FieldByName("timage")->SetAsInteger(0);
  ds->FieldByName("tparent12")->SetAsInteger(1);
  ds->FieldByName("tparent13")->SetAsInteger(6);
  ds->FieldByName("tparent14")->SetAsInteger(0);
  ds->FieldByName("tchartwidth")->SetAsInteger(60);
  ds->FieldByName("tchartheight")->SetAsInteger(30);
  ds->FieldByName("tchartcolor")->SetAsInteger(static_cast<Integer>(0xFF000018u));  // COLOR_INFOBK
  ds->FieldByName("tchartshape")->SetAsInteger(1);
  ds->FieldByName("tchartchalign")->SetAsInteger(1);
  ds->FieldByName("tchartorder")->SetAsInteger(0);
  ds->FieldByName("tchartimage")->SetAsInteger(1);
  ds->FieldByName("tchartimalign")->SetAsInteger(1);
  ds->FieldByName(view.OrderField)->SetAsString(label);
  ds->Post();
}

void TLibDataModule::AddCopyOfCurrent(TkxDBTreeView* SourceTree, TkxDBTreeView* TargetTree, TTreeNode* TargetParent) {
  AddCopy(ReadCopied(TreeDataSet(SourceTree)), TargetTree, TargetParent);
}

void TLibDataModule::AddCopy(const std::vector<Variant>& Values, TkxDBTreeView* TargetTree, TTreeNode* TargetParent) {
  TTreeNode* added = TargetTree->Items()->AddChild(TargetParent, kNewNodeName);
  added->SetSelected(true);
  TDataSet* target = TreeDataSet(TargetTree);
  target->Edit();
  for (std::size_t i = 0; i < Values.size(); ++i) target->FieldByName(CopiedFields()[i])->SetValue(Values[i]);
  target->Post();
}

void TLibDataModule::copyTree(TkxDBTreeView* SourceTree, TkxDBTreeView* TargetTree) {
  TTreeNode* source = SourceTree->Selected();
  if (!source) return;
  const KeyTree shape = Snapshot(SourceTree, source);
  SelectKey(SourceTree, shape.key);
  AddCopyOfCurrent(SourceTree, TargetTree, TargetTree->Selected());
  const Variant top = static_cast<TkxDBTreeNode*>(TargetTree->Selected())->RecordKey();
  // Each child: select it in the source and read its record, select the
  // target parent, add the copy under it, then its own children under the
  // copy. The record is read before the target moves: both trees may stand
  // on one dataset.
  std::function<void(const KeyTree&, const Variant&)> children = [&](const KeyTree& Source,
                                                                     const Variant& TargetParent) {
    for (const KeyTree& child : Source.children) {
      SelectKey(SourceTree, child.key);
      const std::vector<Variant> values = ReadCopied(TreeDataSet(SourceTree));
      AddCopy(values, TargetTree, SelectKey(TargetTree, TargetParent));
      const Variant added = static_cast<TkxDBTreeNode*>(TargetTree->Selected())->RecordKey();
      if (!child.children.empty()) children(child, added);
    }
  };
  children(shape, top);
  // The source keeps its selection, so that a second paste from the node
  // clipboard pastes the same subtree again.
  if (SourceTree != TargetTree) SelectKey(SourceTree, shape.key);
}

void TLibDataModule::NodeCopy(TkxDBTreeView* Tree) {
  TkxDBTreeView* clip = TreeCopyForm->Tree;
  clip->Items()->Clear();  // deletes the clipboard's records
  clip->Repaint();
  CopyTreeTemp->Refresh();
  copyTree(Tree, clip);
  CopyTreeTemp->Refresh();
  // The paste takes the clipboard's selected node: that is the copied
  // subtree's top, not the last node the copy added.
  if (TTreeNode* first = clip->Items()->GetFirstNode()) first->SetSelected(true);
}

void TLibDataModule::NodePost(TkxDBTreeView* Tree) {
  copyTree(TreeCopyForm->Tree, Tree);
  Tree->Repaint();
}

void TLibDataModule::TreeSub(TkxDBTreeView* Tree, const AnsiString& FieldName, const AnsiString& Value) {
  TTreeNode* sel = Tree->Selected();
  if (!sel) return;
  TDataSet* ds = TreeDataSet(Tree);
  const KeyTree shape = Snapshot(Tree, sel);
  // Depth first: the selected node, then each descendant selected in turn.
  std::function<void(const KeyTree&)> set = [&](const KeyTree& Node) {
    SelectKey(Tree, Node.key);
    ds->Edit();
    ds->FieldByName(FieldName)->SetAsString(Value);
    ds->Post();
    for (const KeyTree& child : Node.children) set(child);
  };
  set(shape);
}

void TLibDataModule::setFieldforOrgChart(TkxDbOrgChart* Chart) {
  Chart->SetWidthFieldName("tchartwidth");
  Chart->SetHeightFieldName("tchartheight");
  Chart->SetColorFieldName("tchartcolor");
  Chart->SetShapeFieldName("tchartshape");
  Chart->SetChildAlignFieldName("tchartchalign");
  Chart->SetImageAlignFieldName("tchartimalign");
  Chart->SetOrderFieldName("tchartorder");
  Chart->SetImageFieldName("tchartimage");
}
