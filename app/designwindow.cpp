#include "app/designwindow.h"

#include "app/libwindow.h"
#include "app/mainform.h"
#include "platform/rtl/sysutils.h"
#include "treechart/fceditor.h"

// Penvarro写作， 图形编辑
const char* const kDesignChartEditorCaption = "Penvarro\xD0\xB4\xD7\xF7\xA3\xAC \xCD\xBC\xD0\xCE\xB1\xE0\xBC\xAD";

// ---------------------------------------------------------------------------
// saving and the window's life

void TSystemModuleForm::save() {
  BatchSave(LibDataModule->libAliasTable);
  libsave();
}

void TSystemModuleForm::libsave() { BatchSave(LibDataModule->libTable); }

void TSystemModuleForm::Timer1Timer(TObject*) { save(); }

void TSystemModuleForm::FormShow(TObject*) {
  for (TDBTxtEdit* e : {ModeText1TxtEdit, DBTxtEdit1}) DropClipboardKeys(e);
  LibDataModule->setFieldforOrgChart(MduleOrgChart);
  LibDataModule->initDBTxtEdit(ModeText1TxtEdit);
  LibDataModule->initDBTxtEdit(DBTxtEdit1);
}

void TSystemModuleForm::FormClose(TObject*, TCloseAction& Action) {
  // A save that fails keeps the window open; the message loop shows the error.
  save();
  Action = caFree;
}

// ---------------------------------------------------------------------------
// what the window shows

void TSystemModuleForm::kxLookupTreeView1CloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->libAliasTable))
    SwitchTableTo(LibDataModule->libTable, LibDataModule->libAliasTable);
}

void TSystemModuleForm::showDesignGrapgh() {
  TADOTable* t = LibDataModule->libTable;
  if (showGrapgh->Checked() && t->Active() && !t->IsEmpty()) LoadChartFromRecord(t, kxFlowChart1);
  if (!t->Active()) {
    LibDataModule->MemTable->Close();
    return;
  }
  if (t->IsEmpty()) return;
  // A link to a table that is not listed opens nothing.
  ShowLinkedSubtree(t, LibDataModule->MemTable, memTree, false, false);
}

void TSystemModuleForm::LibraryTreeClick(TObject*) { showDesignGrapgh(); }
void TSystemModuleForm::MduleOrgChartClick(TObject*) { showDesignGrapgh(); }

void TSystemModuleForm::linkpathMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(LibDataModule->libTable, LibDataModule->MemTable);
}

void TSystemModuleForm::ColorBox1CloseUp(TObject*) { SetChartColor(LibDataModule->libTable, ColorBox1); }

void TSystemModuleForm::kxDBInspectorEdited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  RefreshWhenOpen(LibDataModule->libTable);
}

void TSystemModuleForm::LibraryTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }

// ---------------------------------------------------------------------------
// nodes

void TSystemModuleForm::MenuItem1Click(TObject*) { AddTreeNodeIn(LibraryTree, LibDataModule->libTable); }
void TSystemModuleForm::MenuItem2Click(TObject*) { DeleteLeafNode(LibraryTree); }
void TSystemModuleForm::MenuItem3Click(TObject*) { EditSelectedNode(LibraryTree); }
void TSystemModuleForm::MenuItem4Click(TObject*) { LibraryTree->FullExpand(); }
void TSystemModuleForm::MenuItem5Click(TObject*) { LibraryTree->FullCollapse(); }
void TSystemModuleForm::MenuItem6Click(TObject*) {
  libsave();
  ResetTreeDisplay(LibraryTree);
}
void TSystemModuleForm::N10Click(TObject*) { CopySelectedNode(LibraryTree); }
void TSystemModuleForm::N12Click(TObject*) { PasteNodeIn(LibraryTree, LibDataModule->libTable); }
void TSystemModuleForm::N16Click(TObject*) { ExportTree(LibraryTree, LibDataModule->libAliasTable); }

void TSystemModuleForm::ToolButton7Click(TObject*) {
  if (SelectTreeNeighbour(LibraryTree, false)) showDesignGrapgh();
}
void TSystemModuleForm::ToolButton8Click(TObject*) {
  if (SelectTreeNeighbour(LibraryTree, true)) showDesignGrapgh();
}

// ---------------------------------------------------------------------------
// charts

void TSystemModuleForm::ChartEditorClick(TObject*) { EditSelectedChartNode(MduleOrgChart); }
void TSystemModuleForm::N5Click(TObject*) { MduleOrgChart->SetRotated(!MduleOrgChart->Rotated()); }
void TSystemModuleForm::N6Click(TObject*) { MduleOrgChart->ExpandAll(); }
void TSystemModuleForm::N7Click(TObject*) { MduleOrgChart->SetZoom(!MduleOrgChart->Zoom()); }

void TSystemModuleForm::ToolButton1Click(TObject*) {
  if (!LibDataModule->libTable->Active()) return;
  if (kxFcExecuteEditor(kxFlowChart1, kDesignChartEditorCaption))
    StoreChartInRecord(LibDataModule->libTable, kxFlowChart1);
}

void TSystemModuleForm::ToolButton5Click(TObject*) {
  if (LibDataModule->libTable->Active()) StoreChartInRecord(LibDataModule->libTable, kxFlowChart1);
}

// ---------------------------------------------------------------------------
// editors

void TSystemModuleForm::ModeText1TxtEditEnter(TObject* Sender) {
  if (auto* e = dynamic_cast<TCustomTxtEdit*>(Sender)) LibDataModule->setDefaultEditor(e);
}
void TSystemModuleForm::Text1TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch,
                                                const AnsiString& AReplace, int Line, int Column,
                                                TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}
void TSystemModuleForm::Find1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(false); }
void TSystemModuleForm::N1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, true); }
void TSystemModuleForm::FindNext1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, false); }
void TSystemModuleForm::Replace1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(true); }
void TSystemModuleForm::Format1Click(TObject*) {
  save();
  LibDataModule->format(ModeText1TxtEdit);
}
void TSystemModuleForm::ToolButton3Click(TObject*) { save(); }

// ---------------------------------------------------------------------------
// the frame's entry and registration

TSystemModuleForm* NewDesignWindow(TMainForm* Frame) {
  return NewLibraryWindow<TSystemModuleForm>(Frame);
}

void ProvideDesignWindow() {
  FrameWindows().NewDesignWindow = [](TMainForm* Frame) { NewDesignWindow(Frame); };
}

void RegisterDesignWindow() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TSystemModuleForm::StaticClass()});
  RegisterHandlers<TSystemModuleForm>([](THandlerBuilder<TSystemModuleForm>& h) {
    using F = TSystemModuleForm;
    h.Field("leftPanel1", &F::leftPanel1);
    h.Field("leftPanel2", &F::leftPanel2);
    h.Field("dpStartPage", &F::dpStartPage);
    h.Field("kxDockPanel1", &F::kxDockPanel1);
    h.Field("kxDockPanel2", &F::kxDockPanel2);
    h.Field("kxDockPanel3", &F::kxDockPanel3);
    h.Field("LibraryTree", &F::LibraryTree);
    h.Field("memTree", &F::memTree);
    h.Field("kxLookupTreeView1", &F::kxLookupTreeView1);
    h.Field("linktable", &F::linktable);
    h.Field("linkpath", &F::linkpath);
    h.Field("NodeType", &F::NodeType);
    h.Field("ModeText1TxtEdit", &F::ModeText1TxtEdit);
    h.Field("DBTxtEdit1", &F::DBTxtEdit1);
    h.Field("kxFlowChart1", &F::kxFlowChart1);
    h.Field("MduleOrgChart", &F::MduleOrgChart);
    h.Field("kxDBInspector", &F::kxDBInspector);
    h.Field("DBEdit4", &F::DBEdit4);
    h.Field("DBEdit5", &F::DBEdit5);
    h.Field("ColorBox1", &F::ColorBox1);
    h.Field("showGrapgh", &F::showGrapgh);
    h.Field("Timer1", &F::Timer1);
    h.Field("LibraryPopupMenu", &F::LibraryPopupMenu);
    h.Field("ChartPopupMenu", &F::ChartPopupMenu);
    h.Field("EditorMenu", &F::EditorMenu);
    h.Field("EditorMenu2", &F::EditorMenu2);
    h.Field("kxBarManager1", &F::kxBarManager1);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormClose", &F::FormClose);
    h.Handler("Timer1Timer", &F::Timer1Timer);
    h.Handler("MenuItem1Click", &F::MenuItem1Click);
    h.Handler("MenuItem2Click", &F::MenuItem2Click);
    h.Handler("MenuItem3Click", &F::MenuItem3Click);
    h.Handler("MenuItem4Click", &F::MenuItem4Click);
    h.Handler("MenuItem5Click", &F::MenuItem5Click);
    h.Handler("MenuItem6Click", &F::MenuItem6Click);
    h.Handler("N10Click", &F::N10Click);
    h.Handler("N12Click", &F::N12Click);
    h.Handler("N16Click", &F::N16Click);
    h.Handler("ChartEditorClick", &F::ChartEditorClick);
    h.Handler("N5Click", &F::N5Click);
    h.Handler("N6Click", &F::N6Click);
    h.Handler("N7Click", &F::N7Click);
    h.Handler("Find1Click", &F::Find1Click);
    h.Handler("N1Click", &F::N1Click);
    h.Handler("FindNext1Click", &F::FindNext1Click);
    h.Handler("Replace1Click", &F::Replace1Click);
    h.Handler("Format1Click", &F::Format1Click);
    h.Handler("ToolButton7Click", &F::ToolButton7Click);
    h.Handler("ToolButton8Click", &F::ToolButton8Click);
    h.Handler("ToolButton3Click", &F::ToolButton3Click);
    h.Handler("ToolButton1Click", &F::ToolButton1Click);
    h.Handler("ToolButton5Click", &F::ToolButton5Click);
    h.Handler("LibraryTreeClick", &F::LibraryTreeClick);
    h.Handler("MduleOrgChartClick", &F::MduleOrgChartClick);
    h.Handler("kxLookupTreeView1CloseUp", &F::kxLookupTreeView1CloseUp);
    h.Handler("linkpathMouseDown", &F::linkpathMouseDown);
    h.Handler("ColorBox1CloseUp", &F::ColorBox1CloseUp);
    h.Handler("kxDBInspectorEdited", &F::kxDBInspectorEdited);
    h.Handler("ModeText1TxtEditEnter", &F::ModeText1TxtEditEnter);
    h.Handler("Text1TxtEditReplaceText", &F::Text1TxtEditReplaceText);
    h.Handler("LibraryTreeDragDropIsCopy", &F::LibraryTreeDragDropIsCopy);
  });
}
