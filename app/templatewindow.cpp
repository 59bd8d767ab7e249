#include "app/templatewindow.h"

#include "app/libwindow.h"
#include "app/mainform.h"
#include "app/storywrite.h"
#include "treechart/fceditor.h"

namespace templatewindow_impl {

// Runs the designer on Chart and stores the result in the current record of
// Table; a cancelled designer stores nothing.
void DesignChart(TkxFlowChart* Chart, TADOTable* Table) {
  if (kxFcExecuteEditor(Chart, kChartDesignerCaption)) StoreChartInRecord(Table, Chart);
}

}  // namespace templatewindow_impl

using namespace templatewindow_impl;

// ---------------------------------------------------------------------------
// the window's life

void TStoryDesigner::FormShow(TObject*) {
  LibDataModule->setFieldforOrgChart(libChart);
  LibDataModule->setFieldforOrgChart(storyChart);
  for (TDBTxtEdit* e : {leftTxtEdit, rightTxtEdit, DBTxtEdit1}) {
    DropClipboardKeys(e);
    LibDataModule->initDBTxtEdit(e);
  }
}

// Nothing is saved here: posts are in the file, and the data module's batch
// save commits the tables when the frame closes.
void TStoryDesigner::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

// ---------------------------------------------------------------------------
// tables and what a node shows

void TStoryDesigner::LibRegionTreeCloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->libAliasTable))
    SwitchTableTo(LibDataModule->libTable, LibDataModule->libAliasTable);
}

void TStoryDesigner::kxLookupTreeView1CloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->storyAliasTable))
    SwitchTableTo(LibDataModule->StoryTable, LibDataModule->storyAliasTable);
}

void TStoryDesigner::kxDBLookupTreeView3CloseUp(TObject*, bool) {
  // The left side reloads its design-element table.
  SwitchTableTo(LibDataModule->libTable, LibDataModule->libAliasTable);
}

void TStoryDesigner::showDesignGrapgh() {
  TADOTable* t = LibDataModule->libTable;
  if (showGrapgh1->Checked() && t->Active() && !t->IsEmpty()) LoadChartFromRecord(t, libFlowChart);
  if (!t->Active() || t->IsEmpty()) return;
  ShowLinkedSubtree(t, LibDataModule->MemTable, memTree, true, false);
}

void TStoryDesigner::showrightDesignGrapgh() {
  TADOTable* t = LibDataModule->StoryTable;
  if (showGrapgh2->Checked() && t->Active() && !t->IsEmpty()) LoadChartFromRecord(t, rightFlowChart);
}

void TStoryDesigner::LeftTreeClick(TObject*) { showDesignGrapgh(); }
void TStoryDesigner::libChartClick(TObject*) { showDesignGrapgh(); }
void TStoryDesigner::RightTreeClick(TObject*) { showrightDesignGrapgh(); }
void TStoryDesigner::storyChartClick(TObject*) { showrightDesignGrapgh(); }

void TStoryDesigner::linkpathMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(LibDataModule->libTable, LibDataModule->MemTable);
}

void TStoryDesigner::kxDBLookupTreeView4MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(LibDataModule->StoryTable, LibDataModule->MemTable2);
}

void TStoryDesigner::ColorBox1CloseUp(TObject*) { SetChartColor(LibDataModule->libTable, ColorBox1); }
void TStoryDesigner::ColorBox2CloseUp(TObject*) { SetChartColor(LibDataModule->StoryTable, ColorBox2); }

void TStoryDesigner::leftkxDBInspectorEdited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  RefreshWhenOpen(LibDataModule->libTable);
}
void TStoryDesigner::rightDBInspectorEdited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  RefreshWhenOpen(LibDataModule->StoryTable);
}

// Drops between and within the trees copy, onto any node.
void TStoryDesigner::LeftTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }
void TStoryDesigner::RightTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }
void TStoryDesigner::LeftTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }
void TStoryDesigner::RightTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }

// ---------------------------------------------------------------------------
// tree and chart commands

void TStoryDesigner::Add1Click(TObject*) { AddTreeNodeIn(LeftTree, LibDataModule->libTable); }
void TStoryDesigner::Delete1Click(TObject*) { DeleteLeafNode(LeftTree); }
void TStoryDesigner::Editor1Click(TObject*) { EditSelectedNode(LeftTree); }
void TStoryDesigner::Expand1Click(TObject*) { LeftTree->FullExpand(); }
void TStoryDesigner::Collapse1Click(TObject*) { LeftTree->FullCollapse(); }
void TStoryDesigner::Refresh1Click(TObject*) { ResetTreeDisplay(LeftTree); }
void TStoryDesigner::N16Click(TObject*) { CopySelectedNode(LeftTree); }
void TStoryDesigner::N17Click(TObject*) { PasteNodeIn(LeftTree, LibDataModule->libTable); }

void TStoryDesigner::MenuItem1Click(TObject*) { AddTreeNodeIn(RightTree, LibDataModule->StoryTable); }
void TStoryDesigner::MenuItem2Click(TObject*) { DeleteLeafNode(RightTree); }
void TStoryDesigner::MenuItem3Click(TObject*) { EditSelectedNode(RightTree); }
void TStoryDesigner::MenuItem4Click(TObject*) { RightTree->FullExpand(); }
void TStoryDesigner::MenuItem5Click(TObject*) { RightTree->FullCollapse(); }
void TStoryDesigner::MenuItem6Click(TObject*) { ResetTreeDisplay(RightTree); }
void TStoryDesigner::N20Click(TObject*) { CopySelectedNode(RightTree); }
void TStoryDesigner::N21Click(TObject*) { PasteNodeIn(RightTree, LibDataModule->StoryTable); }
void TStoryDesigner::N24Click(TObject*) { ExportTree(RightTree, LibDataModule->storyAliasTable); }

void TStoryDesigner::N4Click(TObject*) { libChart->SetRotated(!libChart->Rotated()); }
void TStoryDesigner::N5Click(TObject*) { libChart->ExpandAll(); }
void TStoryDesigner::N6Click(TObject*) { libChart->SetZoom(!libChart->Zoom()); }
void TStoryDesigner::N8Click(TObject*) { AddTreeNodeIn(LeftTree, LibDataModule->libTable); }
void TStoryDesigner::N9Click(TObject*) { DeleteLeafNode(LeftTree); }
void TStoryDesigner::N10Click(TObject*) { EditSelectedChartNode(libChart); }
void TStoryDesigner::N3Click(TObject*) { CopySelectedNode(LeftTree); }
void TStoryDesigner::N22Click(TObject*) { PasteNodeIn(LeftTree, LibDataModule->libTable); }

void TStoryDesigner::MenuItem7Click(TObject*) { storyChart->SetRotated(!storyChart->Rotated()); }
void TStoryDesigner::MenuItem8Click(TObject*) { storyChart->ExpandAll(); }
void TStoryDesigner::MenuItem9Click(TObject*) { storyChart->SetZoom(!storyChart->Zoom()); }
void TStoryDesigner::MenuItem11Click(TObject*) { AddTreeNodeIn(RightTree, LibDataModule->StoryTable); }
void TStoryDesigner::MenuItem12Click(TObject*) { DeleteLeafNode(RightTree); }
void TStoryDesigner::MenuItem13Click(TObject*) { EditSelectedChartNode(storyChart); }
void TStoryDesigner::N14Click(TObject*) { CopySelectedNode(RightTree); }
void TStoryDesigner::N23Click(TObject*) { PasteNodeIn(RightTree, LibDataModule->StoryTable); }

// ---------------------------------------------------------------------------
// flow charts

void TStoryDesigner::libflowchartBtnClick(TObject*) {
  if (LibDataModule->libTable->Active()) DesignChart(libFlowChart, LibDataModule->libTable);
}

void TStoryDesigner::libflowchartSaveBtnClick(TObject*) {
  if (showGrapgh1->Checked()) StoreChartInRecord(LibDataModule->libTable, libFlowChart);
}

void TStoryDesigner::rightFlowChartClick(TObject*) {
  if (!kxFcExecuteEditor(rightFlowChart, kChartDesignerCaption)) return;
  TADOTable* t = LibDataModule->StoryTable;
  // A closed table refuses the edit; the message loop shows the error.
  if (!t->Active()) t->Edit();
  StoreChartInRecord(t, rightFlowChart);
}

void TStoryDesigner::ToolButton1Click(TObject*) {
  if (LibDataModule->StoryTable->Active()) DesignChart(rightFlowChart, LibDataModule->StoryTable);
}

void TStoryDesigner::ToolButton4Click(TObject*) {
  if (LibDataModule->StoryTable->Active()) StoreChartInRecord(LibDataModule->StoryTable, rightFlowChart);
}

// ---------------------------------------------------------------------------
// editors

void TStoryDesigner::leftTxtEditEnter(TObject* Sender) {
  if (auto* e = dynamic_cast<TCustomTxtEdit*>(Sender)) LibDataModule->setDefaultEditor(e);
}
void TStoryDesigner::leftTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace,
                                            int Line, int Column, TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}
void TStoryDesigner::rightTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace,
                                             int Line, int Column, TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}
void TStoryDesigner::Find1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(false); }
void TStoryDesigner::N1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, true); }
void TStoryDesigner::FindNext1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, false); }
void TStoryDesigner::Replace1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(true); }

// ---------------------------------------------------------------------------
// the frame's entry and registration

TStoryDesigner* NewTemplateWindow(TMainForm* Frame) {
  return NewLibraryWindow<TStoryDesigner>(Frame);
}

void ProvideTemplateWindow() {
  FrameWindows().NewTemplateWindow = [](TMainForm* Frame) { NewTemplateWindow(Frame); };
}

void RegisterTemplateWindow() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TStoryDesigner::StaticClass()});
  RegisterHandlers<TStoryDesigner>([](THandlerBuilder<TStoryDesigner>& h) {
    using F = TStoryDesigner;
    h.Field("kxDockPanel24", &F::kxDockPanel24);
    h.Field("kxDockPanel25", &F::kxDockPanel25);
    h.Field("kxDockPanel1", &F::kxDockPanel1);
    h.Field("kxDockPanel2", &F::kxDockPanel2);
    h.Field("kxDockPanel3", &F::kxDockPanel3);
    h.Field("kxDockPanel5", &F::kxDockPanel5);
    h.Field("kxDockPanel16", &F::kxDockPanel16);
    h.Field("kxDockPanel17", &F::kxDockPanel17);
    h.Field("kxDockPanel4", &F::kxDockPanel4);
    h.Field("kxDockPanel7", &F::kxDockPanel7);
    h.Field("kxDockPanel8", &F::kxDockPanel8);
    h.Field("LeftTree", &F::LeftTree);
    h.Field("RightTree", &F::RightTree);
    h.Field("memTree", &F::memTree);
    h.Field("LibRegionTree", &F::LibRegionTree);
    h.Field("kxLookupTreeView1", &F::kxLookupTreeView1);
    h.Field("linktable", &F::linktable);
    h.Field("linkpath", &F::linkpath);
    h.Field("NoteType", &F::NoteType);
    h.Field("kxDBLookupTreeView3", &F::kxDBLookupTreeView3);
    h.Field("kxDBLookupTreeView4", &F::kxDBLookupTreeView4);
    h.Field("kxDBLookupTreeView5", &F::kxDBLookupTreeView5);
    h.Field("leftTxtEdit", &F::leftTxtEdit);
    h.Field("rightTxtEdit", &F::rightTxtEdit);
    h.Field("DBTxtEdit1", &F::DBTxtEdit1);
    h.Field("libFlowChart", &F::libFlowChart);
    h.Field("rightFlowChart", &F::rightFlowChart);
    h.Field("libChart", &F::libChart);
    h.Field("storyChart", &F::storyChart);
    h.Field("leftkxDBInspector", &F::leftkxDBInspector);
    h.Field("rightDBInspector", &F::rightDBInspector);
    h.Field("ColorBox1", &F::ColorBox1);
    h.Field("ColorBox2", &F::ColorBox2);
    h.Field("showGrapgh1", &F::showGrapgh1);
    h.Field("showGrapgh2", &F::showGrapgh2);
    h.Field("leftTreePopupMenu", &F::leftTreePopupMenu);
    h.Field("rightTreePopupMenu", &F::rightTreePopupMenu);
    h.Field("leftmoduleMenu", &F::leftmoduleMenu);
    h.Field("roghtmoduleMenu", &F::roghtmoduleMenu);
    h.Field("leftEditorMenu", &F::leftEditorMenu);
    h.Field("kxBarManager1", &F::kxBarManager1);
    h.Handler("Add1Click", &F::Add1Click);
    h.Handler("Delete1Click", &F::Delete1Click);
    h.Handler("Editor1Click", &F::Editor1Click);
    h.Handler("Expand1Click", &F::Expand1Click);
    h.Handler("Collapse1Click", &F::Collapse1Click);
    h.Handler("Refresh1Click", &F::Refresh1Click);
    h.Handler("N16Click", &F::N16Click);
    h.Handler("N17Click", &F::N17Click);
    h.Handler("MenuItem1Click", &F::MenuItem1Click);
    h.Handler("MenuItem2Click", &F::MenuItem2Click);
    h.Handler("MenuItem3Click", &F::MenuItem3Click);
    h.Handler("MenuItem4Click", &F::MenuItem4Click);
    h.Handler("MenuItem5Click", &F::MenuItem5Click);
    h.Handler("MenuItem6Click", &F::MenuItem6Click);
    h.Handler("N20Click", &F::N20Click);
    h.Handler("N21Click", &F::N21Click);
    h.Handler("N24Click", &F::N24Click);
    h.Handler("N4Click", &F::N4Click);
    h.Handler("N5Click", &F::N5Click);
    h.Handler("N6Click", &F::N6Click);
    h.Handler("N8Click", &F::N8Click);
    h.Handler("N9Click", &F::N9Click);
    h.Handler("N10Click", &F::N10Click);
    h.Handler("N3Click", &F::N3Click);
    h.Handler("N22Click", &F::N22Click);
    h.Handler("MenuItem7Click", &F::MenuItem7Click);
    h.Handler("MenuItem8Click", &F::MenuItem8Click);
    h.Handler("MenuItem9Click", &F::MenuItem9Click);
    h.Handler("MenuItem11Click", &F::MenuItem11Click);
    h.Handler("MenuItem12Click", &F::MenuItem12Click);
    h.Handler("MenuItem13Click", &F::MenuItem13Click);
    h.Handler("N14Click", &F::N14Click);
    h.Handler("N23Click", &F::N23Click);
    h.Handler("Find1Click", &F::Find1Click);
    h.Handler("N1Click", &F::N1Click);
    h.Handler("FindNext1Click", &F::FindNext1Click);
    h.Handler("Replace1Click", &F::Replace1Click);
    h.Handler("libflowchartBtnClick", &F::libflowchartBtnClick);
    h.Handler("libflowchartSaveBtnClick", &F::libflowchartSaveBtnClick);
    h.Handler("rightFlowChartClick", &F::rightFlowChartClick);
    h.Handler("ToolButton1Click", &F::ToolButton1Click);
    h.Handler("ToolButton4Click", &F::ToolButton4Click);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormClose", &F::FormClose);
    h.Handler("LeftTreeClick", &F::LeftTreeClick);
    h.Handler("libChartClick", &F::libChartClick);
    h.Handler("RightTreeClick", &F::RightTreeClick);
    h.Handler("storyChartClick", &F::storyChartClick);
    h.Handler("LibRegionTreeCloseUp", &F::LibRegionTreeCloseUp);
    h.Handler("kxLookupTreeView1CloseUp", &F::kxLookupTreeView1CloseUp);
    h.Handler("kxDBLookupTreeView3CloseUp", &F::kxDBLookupTreeView3CloseUp);
    h.Handler("linkpathMouseDown", &F::linkpathMouseDown);
    h.Handler("kxDBLookupTreeView4MouseDown", &F::kxDBLookupTreeView4MouseDown);
    h.Handler("ColorBox1CloseUp", &F::ColorBox1CloseUp);
    h.Handler("ColorBox2CloseUp", &F::ColorBox2CloseUp);
    h.Handler("leftkxDBInspectorEdited", &F::leftkxDBInspectorEdited);
    h.Handler("rightDBInspectorEdited", &F::rightDBInspectorEdited);
    h.Handler("leftTxtEditEnter", &F::leftTxtEditEnter);
    h.Handler("leftTxtEditReplaceText", &F::leftTxtEditReplaceText);
    h.Handler("rightTxtEditReplaceText", &F::rightTxtEditReplaceText);
    h.Handler("LeftTreeDragDropIsCopy", &F::LeftTreeDragDropIsCopy);
    h.Handler("RightTreeDragDropIsCopy", &F::RightTreeDragDropIsCopy);
    h.Handler("LeftTreeDragDropTreeNode", &F::LeftTreeDragDropTreeNode);
    h.Handler("RightTreeDragDropTreeNode", &F::RightTreeDragDropTreeNode);
  });
}
