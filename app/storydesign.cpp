#include "app/storydesign.h"

#include <memory>

#include "app/codedatamodule.h"
#include "app/libwindow.h"
#include "app/storywrite.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/sysutils.h"
#include "treechart/fceditor.h"

TStoryModuleDesigner::TStoryModuleDesigner(TComponent* AOwner) : TForm(AOwner) {}

std::vector<TDBTxtEdit*> TStoryModuleDesigner::Editors() const {
  return {leftTxtEdit, rightTxtEdit, DBTxtEdit1, DBTxtEdit2, DBTxtEdit3, DBTxtEdit4, DBTxtEdit5};
}

void TStoryModuleDesigner::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCurrentEditor) FCurrentEditor = nullptr;
}

// ---------------------------------------------------------------------------
// set-up and views

void TStoryModuleDesigner::Setup() {
  TLibDataModule* m = LibDataModule;
  for (TkxDbOrgChart* c : {libChart, kxDbOrgChart1, storyChart}) m->setFieldforOrgChart(c);
  for (TDBTxtEdit* e : Editors()) {
    DropClipboardKeys(e);
    m->initDBTxtEdit(e);
  }
  // The trees stand on pages and panels that may be hidden; their nodes need windows.
  for (TkxDBTreeView* t : {LeftTree, kxDBTreeView1, RightTree, memTree, memTree2, memTree3}) {
    t->HandleNeeded();
    t->SetKeyField("tid");
  }
  for (TkxDbOrgChart* c : {libChart, kxDbOrgChart1, storyChart}) c->SetKeyFieldName("tid");
  for (TCustomkxLookupTreeView* l : std::initializer_list<TCustomkxLookupTreeView*>{
           libTree, storyTree, linktable, linkpath, NodeType, linktable2, linkpath2, NodeType2, linktable3, linkpath3,
           NodeType3})
    l->SetKeyField("tid");
  for (TDBTxtEdit* e : {leftTxtEdit, DBTxtEdit1, rightTxtEdit}) e->SetDataField("ttext1");
  for (TDBTxtEdit* e : {DBTxtEdit5, DBTxtEdit3}) e->SetDataField("ttext2");
  SetCurrentView();
}

void TStoryModuleDesigner::SetCurrentView() {
  const TNodeView& view = NodeView(CurrentView);
  DBEdit2->SetDataField("tname");
  RightTree->SetParentField(view.ParentField);
  storyChart->SetParentFieldName(view.ParentField);
  DBEdit1->SetDataField(view.OrderField);
  if (CurrentView == 0)
    RightTree->SetDisplayField("tsortid;tname");
  else
    RightTree->SetDisplayField(CheckBox1->Checked() ? AnsiString(view.OrderField) + ";tname"
                                                     : AnsiString(view.OrderField));
  ViewLabel->SetCaption(view.Name);
  if (FocusRoot != -1 && FocusRoot != 0)
    ShowFocusedTree(RightTree, Variant(FocusRoot));
  else
    ShowWholeTree(RightTree);
  RightTree->Repaint();
}

void TStoryModuleDesigner::SetView(int View) {
  CurrentView = View;
  SetCurrentView();
}

void TStoryModuleDesigner::N31Click(TObject*) { SetView(0); }
void TStoryModuleDesigner::N32Click(TObject*) { SetView(1); }
void TStoryModuleDesigner::N33Click(TObject*) { SetView(2); }
void TStoryModuleDesigner::N34Click(TObject*) { SetView(3); }
void TStoryModuleDesigner::N35Click(TObject*) { SetView(4); }
void TStoryModuleDesigner::N36Click(TObject*) { SetView(5); }
void TStoryModuleDesigner::N37Click(TObject*) { SetView(6); }
void TStoryModuleDesigner::N38Click(TObject*) { SetView(7); }
void TStoryModuleDesigner::N40Click(TObject*) { SetView(8); }

// Focus and whole tree leave the handed-over focus root: the next set-up
// brings it back.
void TStoryModuleDesigner::N42Click(TObject*) {
  if (!StoryTable->Active() || StoryTable->IsEmpty() || !RightTree->Selected()) return;
  ShowFocusedTree(RightTree, StoryTable->FieldByName("tid")->Value());
  RightTree->Repaint();
}

void TStoryModuleDesigner::N43Click(TObject*) {
  ShowWholeTree(RightTree);
  RightTree->Repaint();
}

// ---------------------------------------------------------------------------
// what a click shows

void TStoryModuleDesigner::ShowNode(TADOTable* Table, TCheckBox* Box, TkxFlowChart* Chart, TADOTable* Narrative,
                                    TkxDBTreeView* Subtree) {
  // Nothing to show before a table is chosen.
  if (!Table->Active() || Table->IsEmpty()) return;
  if (Box->Checked()) LoadChartFromRecord(Table, Chart);
  ShowLinkedSubtree(Table, Narrative, Subtree, true, true);
}

void TStoryModuleDesigner::showDesignGrapgh() {
  ShowNode(LibDataModule->libTable, showGrapgh1, libFlowChart, LibDataModule->MemTable, memTree);
}

void TStoryModuleDesigner::showleft2DesignGrapgh() {
  ShowNode(LibDataModule->StoryTable, CheckBox5, kxFlowChart1, LibDataModule->MemTable2, memTree2);
}

void TStoryModuleDesigner::showrightDesignGrapgh() {
  ShowNode(StoryTable, showGrapgh2, rightFlowChart, LibDataModule->MemTable3, memTree3);
}

void TStoryModuleDesigner::LeftTreeClick(TObject*) { showDesignGrapgh(); }
void TStoryModuleDesigner::libChartClick(TObject*) { showDesignGrapgh(); }
void TStoryModuleDesigner::kxDBTreeView1Click(TObject*) { showleft2DesignGrapgh(); }
void TStoryModuleDesigner::kxDbOrgChart1Click(TObject*) { showleft2DesignGrapgh(); }
void TStoryModuleDesigner::RightTreeClick(TObject*) { showrightDesignGrapgh(); }
void TStoryModuleDesigner::storyChartClick(TObject*) { showrightDesignGrapgh(); }

// ---------------------------------------------------------------------------
// choosers

// A close-up that picked nothing changes nothing; a picked row without a
// table name leaves the library side empty.
void TStoryModuleDesigner::libTreeCloseUp(TObject* Sender, bool) {
  auto* picker = dynamic_cast<TCustomkxLookupTreeView*>(Sender);
  if (picker && picker->KeyValue().IsNull()) return;
  TADOTable* t = LibDataModule->libTable;
  if (!PickedAliasRow(Sender, LibDataModule->libAliasTable)) {
    t->Close();
    return;
  }
  SwitchTableTo(t, LibDataModule->libAliasTable);
}

void TStoryModuleDesigner::storyTreeCloseUp(TObject* Sender, bool) {
  auto* picker = dynamic_cast<TCustomkxLookupTreeView*>(Sender);
  if (picker && picker->KeyValue().IsNull()) return;
  if (PickedAliasRow(Sender, LibDataModule->storyAliasTable))
    SwitchTableTo(LibDataModule->StoryTable, LibDataModule->storyAliasTable);
}

// Each path chooser lists the narrative table its node links to, in the
// dataset the chooser lists.
void TStoryModuleDesigner::linkpathMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(LibDataModule->libTable, LibDataModule->MemTable);
}
void TStoryModuleDesigner::linkpath2MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(LibDataModule->StoryTable, LibDataModule->MemTable2);
}
void TStoryModuleDesigner::linkpath3MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(StoryTable, LibDataModule->MemTable3);
}

void TStoryModuleDesigner::SetChartColour(TADOTable* Table, TColorBox* Box) {
  if (!Table->Active() || Table->IsEmpty()) return;
  Table->Edit();
  Table->FieldByName("tchartcolor")->SetAsInteger(static_cast<Integer>(Box->Selected()));
  Table->Post();
}

void TStoryModuleDesigner::ColorBox1CloseUp(TObject*) { SetChartColour(LibDataModule->libTable, ColorBox1); }
void TStoryModuleDesigner::ColorBox2CloseUp(TObject*) { SetChartColour(LibDataModule->StoryTable, ColorBox2); }
void TStoryModuleDesigner::ColorBox3CloseUp(TObject*) { SetChartColour(StoryTable, ColorBox3); }

void TStoryModuleDesigner::leftkxDBInspector1Edited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  if (LibDataModule->libTable->Active()) LibDataModule->libTable->Refresh();
}
void TStoryModuleDesigner::leftkxDBInspector2Edited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  if (LibDataModule->StoryTable->Active()) LibDataModule->StoryTable->Refresh();
}
void TStoryModuleDesigner::rightDBInspector1Edited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  if (StoryTable->Active()) StoryTable->Refresh();
}

// ---------------------------------------------------------------------------
// editors

void TStoryModuleDesigner::leftTxtEditEnter(TObject* Sender) {
  auto* editor = dynamic_cast<TDBTxtEdit*>(Sender);
  if (!editor) return;
  LibDataModule->setDefaultEditor(editor);
  if (FCurrentEditor == editor) return;
  if (FCurrentEditor) FCurrentEditor->RemoveFreeNotification(this);
  FCurrentEditor = editor;
  FCurrentEditor->FreeNotification(this);
}

void TStoryModuleDesigner::leftTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch,
                                                  const AnsiString& AReplace, int Line, int Column,
                                                  TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}

void TStoryModuleDesigner::rightTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch,
                                                   const AnsiString& AReplace, int Line, int Column,
                                                   TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}

void TStoryModuleDesigner::Find1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(false); }
void TStoryModuleDesigner::N1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, true); }
void TStoryModuleDesigner::FindNext1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, false); }
void TStoryModuleDesigner::Replace1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(true); }

// ---------------------------------------------------------------------------
// drops: onto the library a copy; onto the novel or the template a move
// within the tree, and a copy from another tree, so that neither the library
// nor the template loses what the author drags out of it.

void TStoryModuleDesigner::LeftTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }

void TStoryModuleDesigner::RightTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy) {
  TCustomTreeView* target = Destination ? Destination->TreeView() : nullptr;
  if (!target) {
    // A drop on empty space: the tree under the mouse.
    TPoint p;
    GetCursorPos(&p);
    target = dynamic_cast<TCustomTreeView*>(FindVCLWindow(p));
  }
  IsCopy = !Source || !target || Source->TreeView() != target;
}

void TStoryModuleDesigner::LeftTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }
void TStoryModuleDesigner::RightTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }

// ---------------------------------------------------------------------------
// node commands

void TStoryModuleDesigner::Add1Click(TObject*) {
  if (LibDataModule->libTable->Active()) AddTreeNode(LeftTree);
}
void TStoryModuleDesigner::Delete1Click(TObject*) { DeleteLeafNode(LeftTree); }
void TStoryModuleDesigner::Editor1Click(TObject*) {
  if (TTreeNode* sel = LeftTree->Selected()) sel->EditText();
}
void TStoryModuleDesigner::Expand1Click(TObject*) { LeftTree->FullExpand(); }
void TStoryModuleDesigner::Collapse1Click(TObject*) { LeftTree->FullCollapse(); }
void TStoryModuleDesigner::Refresh1Click(TObject*) {
  LeftTree->SetDisplayField("tsortid;tname");
  LeftTree->Repaint();
}
void TStoryModuleDesigner::N16Click(TObject*) {
  if (LeftTree->Selected()) LibDataModule->NodeCopy(LeftTree);
}
void TStoryModuleDesigner::N17Click(TObject*) {
  if (LibDataModule->libTable->Active()) LibDataModule->NodePost(LeftTree);
}
void TStoryModuleDesigner::N4Click(TObject*) { libChart->SetRotated(!libChart->Rotated()); }
void TStoryModuleDesigner::N5Click(TObject*) { libChart->ExpandAll(); }
void TStoryModuleDesigner::N6Click(TObject*) { libChart->SetZoom(!libChart->Zoom()); }
void TStoryModuleDesigner::N8Click(TObject* Sender) { Add1Click(Sender); }
void TStoryModuleDesigner::N9Click(TObject*) { DeleteLeafNode(LeftTree); }
void TStoryModuleDesigner::N10Click(TObject*) {
  if (libChart->Selected()) libChart->BeginEdit();
}

// The novel tree's menu acts on the novel tree, whichever tree showed it.
void TStoryModuleDesigner::MenuItem1Click(TObject*) {
  if (StoryTable->Active()) AddTreeNode(RightTree, CurrentView);
}
void TStoryModuleDesigner::MenuItem2Click(TObject*) { DeleteLeafNode(RightTree); }
void TStoryModuleDesigner::MenuItem3Click(TObject*) {
  if (TTreeNode* sel = RightTree->Selected()) sel->EditText();
}
void TStoryModuleDesigner::MenuItem4Click(TObject*) { RightTree->FullExpand(); }
void TStoryModuleDesigner::MenuItem5Click(TObject*) { RightTree->FullCollapse(); }
void TStoryModuleDesigner::MenuItem6Click(TObject*) {
  RightTree->SetDisplayField("tsortid;tname");
  RightTree->Repaint();
}
void TStoryModuleDesigner::N13Click(TObject*) {
  if (RightTree->Selected()) LibDataModule->NodeCopy(RightTree);
}
void TStoryModuleDesigner::N28Click(TObject*) {
  if (StoryTable->Active()) LibDataModule->NodePost(RightTree);
}
void TStoryModuleDesigner::MenuItem7Click(TObject*) { storyChart->SetRotated(!storyChart->Rotated()); }
void TStoryModuleDesigner::MenuItem8Click(TObject*) { storyChart->ExpandAll(); }
void TStoryModuleDesigner::MenuItem9Click(TObject*) { storyChart->SetZoom(!storyChart->Zoom()); }
void TStoryModuleDesigner::MenuItem11Click(TObject*) {
  if (StoryTable->Active()) AddTreeNode(RightTree, 0);
}
void TStoryModuleDesigner::MenuItem12Click(TObject*) { DeleteLeafNode(RightTree); }
void TStoryModuleDesigner::MenuItem13Click(TObject*) {
  if (storyChart->Selected()) storyChart->BeginEdit();
}

void TStoryModuleDesigner::MenuItem14Click(TObject*) { kxDbOrgChart1->SetRotated(!kxDbOrgChart1->Rotated()); }
void TStoryModuleDesigner::MenuItem15Click(TObject*) { kxDbOrgChart1->ExpandAll(); }
void TStoryModuleDesigner::MenuItem16Click(TObject*) { kxDbOrgChart1->SetZoom(!kxDbOrgChart1->Zoom()); }
void TStoryModuleDesigner::MenuItem18Click(TObject*) {
  if (LibDataModule->StoryTable->Active()) AddTreeNode(kxDBTreeView1);
}
void TStoryModuleDesigner::MenuItem19Click(TObject*) { DeleteLeafNode(kxDBTreeView1); }
void TStoryModuleDesigner::MenuItem20Click(TObject*) {
  if (kxDbOrgChart1->Selected()) kxDbOrgChart1->BeginEdit();
}
void TStoryModuleDesigner::N20Click(TObject*) {
  if (kxDBTreeView1->Selected()) LibDataModule->NodeCopy(kxDBTreeView1);
}
void TStoryModuleDesigner::N21Click(TObject*) {
  if (LibDataModule->StoryTable->Active()) LibDataModule->NodePost(kxDBTreeView1);
}

// ---------------------------------------------------------------------------
// flow charts: each stores its chart into ttext7 of its table's current record

void TStoryModuleDesigner::DesignChart(TADOTable* Table, TkxFlowChart* Chart) {
  if (!Table->Active()) return;
  if (kxFcExecuteEditor(Chart, kChartDesignerCaption)) StoreChartInRecord(Table, Chart);
}

void TStoryModuleDesigner::SaveChart(TADOTable* Table, TkxFlowChart* Chart) {
  if (Table->Active()) StoreChartInRecord(Table, Chart);
}

void TStoryModuleDesigner::libflowchartBtnClick(TObject*) { DesignChart(LibDataModule->libTable, libFlowChart); }
void TStoryModuleDesigner::libflowchartSaveBtnClick(TObject*) { SaveChart(LibDataModule->libTable, libFlowChart); }
void TStoryModuleDesigner::ToolButton5Click(TObject*) { DesignChart(LibDataModule->StoryTable, kxFlowChart1); }
void TStoryModuleDesigner::ToolButton8Click(TObject*) { SaveChart(LibDataModule->StoryTable, kxFlowChart1); }
void TStoryModuleDesigner::ToolButton1Click(TObject*) { DesignChart(StoryTable, rightFlowChart); }
void TStoryModuleDesigner::ToolButton4Click(TObject*) { SaveChart(StoryTable, rightFlowChart); }

// ---------------------------------------------------------------------------
// saving and the window's life

void TStoryModuleDesigner::save() {
  LibDataModule->save();
  if (!StoryTable->Active()) return;
  std::unique_ptr<TCodeDataModule> keeper;
  if (FCurrentEditor) {
    keeper = std::make_unique<TCodeDataModule>(this);
    keeper->Remember(FCurrentEditor);
  }
  StoryTable->UpdateBatch(arAll);
  if (keeper) keeper->Restore();
}

void TStoryModuleDesigner::Timer1Timer(TObject*) { save(); }

// The set-up runs when the window is shown, not when it paints: a paint
// would reload the novel tree and undo a focus or a whole-tree command.
void TStoryModuleDesigner::FormShow(TObject*) { Setup(); }

// Closing commits the library's tables, and also posts what was typed into
// the novel: its dataset goes with the window, and an edit left pending would
// be lost with it.
void TStoryModuleDesigner::FormClose(TObject*, TCloseAction& Action) {
  try {
    LibDataModule->save();
    BatchSave(StoryTable);
  } catch (const Exception&) {
    Application->HandleException(this);
  }
  Action = caFree;
}

// ---------------------------------------------------------------------------
// start-up

TStoryModuleDesigner* OpenStoryDesignWindow(TStoryWrite* Story) {
  auto* w = NewObject<TStoryModuleDesigner>(Application);
  w->SetWindowState(wsMaximized);
  w->CurrentView = Story->CurrentView;
  w->FocusRoot = Story->RootValue;
  w->StoryTable->Close();
  w->StoryTable->SetConnectionString(Story->StoryConnection->ConnectionString());
  w->StoryTable->SetTableName(Story->ClientUserTable->TableName());
  w->StoryTable->Open();
  w->SetCurrentView();
  TADOTable* alias = LibDataModule->storyAliasTable;
  if (alias->Active() && !alias->IsEmpty() && !alias->FieldByName("tname")->AsString().empty())
    SwitchTableTo(LibDataModule->StoryTable, alias);
  return w;
}

void ProvideStoryDesign() {
  StoryWindowHooks().StoryDesign = [](TStoryWrite* Story) { OpenStoryDesignWindow(Story); };
}

void RegisterStoryDesign() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TStoryModuleDesigner::StaticClass()});
  RegisterHandlers<TStoryModuleDesigner>([](THandlerBuilder<TStoryModuleDesigner>& h) {
    using F = TStoryModuleDesigner;
#define PV_FIELD(n) h.Field(#n, &F::n)
    PV_FIELD(uxPageControl1); PV_FIELD(uxTabSheet1); PV_FIELD(uxTabSheet2); PV_FIELD(StoryTable);
    PV_FIELD(StoryTableDS); PV_FIELD(Timer1); PV_FIELD(libTree); PV_FIELD(storyTree); PV_FIELD(LeftTree);
    PV_FIELD(kxDBTreeView1); PV_FIELD(RightTree); PV_FIELD(memTree); PV_FIELD(memTree2); PV_FIELD(memTree3);
    PV_FIELD(leftkxDBInspector1); PV_FIELD(leftkxDBInspector2); PV_FIELD(rightDBInspector1);
    PV_FIELD(linktable); PV_FIELD(linkpath); PV_FIELD(NodeType); PV_FIELD(linktable2); PV_FIELD(linkpath2);
    PV_FIELD(NodeType2); PV_FIELD(linktable3); PV_FIELD(linkpath3); PV_FIELD(NodeType3); PV_FIELD(ColorBox1);
    PV_FIELD(ColorBox2); PV_FIELD(ColorBox3); PV_FIELD(leftTxtEdit); PV_FIELD(DBTxtEdit1); PV_FIELD(DBTxtEdit2);
    PV_FIELD(DBTxtEdit3); PV_FIELD(DBTxtEdit4); PV_FIELD(DBTxtEdit5); PV_FIELD(rightTxtEdit);
    PV_FIELD(libFlowChart); PV_FIELD(kxFlowChart1); PV_FIELD(rightFlowChart); PV_FIELD(libChart);
    PV_FIELD(kxDbOrgChart1); PV_FIELD(storyChart); PV_FIELD(showGrapgh1); PV_FIELD(CheckBox5);
    PV_FIELD(showGrapgh2); PV_FIELD(CheckBox1); PV_FIELD(ViewLabel); PV_FIELD(DBEdit1); PV_FIELD(DBEdit2);
    PV_FIELD(kxBarManager1); PV_FIELD(leftTreePopupMenu); PV_FIELD(leftmoduleMenu); PV_FIELD(rightTreePopupMenu);
    PV_FIELD(roghtmoduleMenu); PV_FIELD(PopupMenu1); PV_FIELD(leftEditorMenu);
#undef PV_FIELD
#define PV_HANDLER(n) h.Handler(#n, &F::n)
    PV_HANDLER(FormShow); PV_HANDLER(FormClose); PV_HANDLER(Timer1Timer); PV_HANDLER(LeftTreeClick);
    PV_HANDLER(libChartClick); PV_HANDLER(kxDBTreeView1Click); PV_HANDLER(kxDbOrgChart1Click);
    PV_HANDLER(RightTreeClick); PV_HANDLER(storyChartClick); PV_HANDLER(libTreeCloseUp);
    PV_HANDLER(storyTreeCloseUp); PV_HANDLER(linkpathMouseDown); PV_HANDLER(linkpath2MouseDown);
    PV_HANDLER(linkpath3MouseDown); PV_HANDLER(ColorBox1CloseUp); PV_HANDLER(ColorBox2CloseUp);
    PV_HANDLER(ColorBox3CloseUp); PV_HANDLER(leftkxDBInspector1Edited); PV_HANDLER(leftkxDBInspector2Edited);
    PV_HANDLER(rightDBInspector1Edited); PV_HANDLER(leftTxtEditEnter); PV_HANDLER(leftTxtEditReplaceText);
    PV_HANDLER(rightTxtEditReplaceText); PV_HANDLER(LeftTreeDragDropIsCopy); PV_HANDLER(RightTreeDragDropIsCopy);
    PV_HANDLER(LeftTreeDragDropTreeNode); PV_HANDLER(RightTreeDragDropTreeNode); PV_HANDLER(Add1Click);
    PV_HANDLER(Delete1Click); PV_HANDLER(Editor1Click); PV_HANDLER(Expand1Click); PV_HANDLER(Collapse1Click);
    PV_HANDLER(Refresh1Click); PV_HANDLER(N16Click); PV_HANDLER(N17Click); PV_HANDLER(N4Click);
    PV_HANDLER(N5Click); PV_HANDLER(N6Click); PV_HANDLER(N8Click); PV_HANDLER(N9Click); PV_HANDLER(N10Click);
    PV_HANDLER(MenuItem1Click); PV_HANDLER(MenuItem2Click); PV_HANDLER(MenuItem3Click);
    PV_HANDLER(MenuItem4Click); PV_HANDLER(MenuItem5Click); PV_HANDLER(MenuItem6Click); PV_HANDLER(N13Click);
    PV_HANDLER(N28Click); PV_HANDLER(N31Click); PV_HANDLER(N32Click); PV_HANDLER(N33Click);
    PV_HANDLER(N34Click); PV_HANDLER(N35Click); PV_HANDLER(N36Click); PV_HANDLER(N37Click);
    PV_HANDLER(N38Click); PV_HANDLER(N40Click); PV_HANDLER(N42Click); PV_HANDLER(N43Click);
    PV_HANDLER(MenuItem7Click); PV_HANDLER(MenuItem8Click); PV_HANDLER(MenuItem9Click);
    PV_HANDLER(MenuItem11Click); PV_HANDLER(MenuItem12Click); PV_HANDLER(MenuItem13Click);
    PV_HANDLER(MenuItem14Click); PV_HANDLER(MenuItem15Click); PV_HANDLER(MenuItem16Click);
    PV_HANDLER(MenuItem18Click); PV_HANDLER(MenuItem19Click); PV_HANDLER(MenuItem20Click);
    PV_HANDLER(N20Click); PV_HANDLER(N21Click); PV_HANDLER(Find1Click); PV_HANDLER(N1Click);
    PV_HANDLER(FindNext1Click); PV_HANDLER(Replace1Click); PV_HANDLER(libflowchartBtnClick);
    PV_HANDLER(libflowchartSaveBtnClick); PV_HANDLER(ToolButton5Click); PV_HANDLER(ToolButton8Click);
    PV_HANDLER(ToolButton1Click); PV_HANDLER(ToolButton4Click);
#undef PV_HANDLER
  });
}
