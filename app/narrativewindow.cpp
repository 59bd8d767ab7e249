#include "app/narrativewindow.h"

#include "app/libwindow.h"
#include "app/mainform.h"
#include "app/storywrite.h"
#include "treechart/fceditor.h"

void TMetaDataForm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRememberedEditor) FRememberedEditor = nullptr;
}

// ---------------------------------------------------------------------------
// opening, saving and the window's life

void TMetaDataForm::OpenLibFile() { ResetTreeDisplay(LibraryTree); }

void TMetaDataForm::save() {
  if (LibDataModule->MemTable->Active())
    BatchSaveKeepingCaret(this, FRememberedEditor, {LibDataModule->MemTable});
}

void TMetaDataForm::libsave() { BatchSave(LibDataModule->libTable); }

void TMetaDataForm::Timer1Timer(TObject*) { save(); }

void TMetaDataForm::FormShow(TObject*) {
  for (TDBTxtEdit* e : {MetedateText2TxtEdit, MetedateText1TxtEdit}) DropClipboardKeys(e);
  LibDataModule->initDBTxtEdit(MetedateText2TxtEdit);
  LibDataModule->initDBTxtEdit(MetedateText1TxtEdit);
  LibDataModule->setFieldforOrgChart(MduleOrgChart);
}

void TMetaDataForm::FormClose(TObject*, TCloseAction& Action) {
  save();
  Action = caFree;
}

// ---------------------------------------------------------------------------
// the table and its focus

void TMetaDataForm::TableAlisTreeCloseUp(TObject* Sender, bool) {
  TADOTable* alias = LibDataModule->memAliasTable;
  if (!PickedAliasRow(Sender, alias)) return;
  SwitchTableTo(LibDataModule->MemTable, alias);
  // The tree opens on the focus stored with the table.
  ShowFocusedTree(LibraryTree, Variant(FieldAsInt(alias->FieldByName("trootvalue"), 0)));
}

void TMetaDataForm::N14Click(TObject*) {
  TADOTable* alias = LibDataModule->memAliasTable;
  const int key = LibDataModule->MemTable->FieldByName("tid")->AsInteger();
  alias->Edit();
  alias->FieldByName("trootvalue")->SetAsInteger(key);
  alias->Post();
  ShowFocusedTree(LibraryTree, Variant(key));
  LibraryTree->Repaint();
}

void TMetaDataForm::N15Click(TObject*) {
  ShowWholeTree(LibraryTree);
  LibraryTree->Repaint();
}

void TMetaDataForm::showDesignGrapgh() {
  TADOTable* t = LibDataModule->MemTable;
  if (showGrapgh->Checked() && t->Active() && !t->IsEmpty()) LoadChartFromRecord(t, kxFlowChart1);
}

void TMetaDataForm::LibraryTreeClick(TObject*) { showDesignGrapgh(); }

void TMetaDataForm::LibraryTreeMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbRight) lefttreePopupMenu->PopupAtCursor();
}

void TMetaDataForm::MetedateText2TxtEditMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbRight) EditTextPopMenu->PopupAtCursor();
}

void TMetaDataForm::ColorBox1CloseUp(TObject*) { SetChartColor(LibDataModule->MemTable, ColorBox1); }

void TMetaDataForm::kxDBInspectorEdited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  RefreshWhenOpen(LibDataModule->MemTable);
}

void TMetaDataForm::LibraryTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }

// ---------------------------------------------------------------------------
// nodes

void TMetaDataForm::MenuItem1Click(TObject*) { AddTreeNodeIn(LibraryTree, LibDataModule->MemTable); }
void TMetaDataForm::MenuItem2Click(TObject*) { DeleteLeafNode(LibraryTree); }
void TMetaDataForm::MenuItem3Click(TObject*) { EditSelectedNode(LibraryTree); }
void TMetaDataForm::MenuItem4Click(TObject*) { LibraryTree->FullExpand(); }
void TMetaDataForm::MenuItem5Click(TObject*) { LibraryTree->FullCollapse(); }
void TMetaDataForm::MenuItem6Click(TObject*) {
  libsave();
  ResetTreeDisplay(LibraryTree);
}
void TMetaDataForm::N11Click(TObject*) { CopySelectedNode(LibraryTree); }
void TMetaDataForm::N12Click(TObject*) { PasteNodeIn(LibraryTree, LibDataModule->MemTable); }
void TMetaDataForm::N2Click(TObject*) { ExportTree(LibraryTree, LibDataModule->memAliasTable); }
void TMetaDataForm::kxBarButton6Click(TObject*) {
  if (SelectTreeNeighbour(LibraryTree, false)) showDesignGrapgh();
}
void TMetaDataForm::kxBarButton7Click(TObject*) {
  if (SelectTreeNeighbour(LibraryTree, true)) showDesignGrapgh();
}
void TMetaDataForm::kxBarButton8Click(TObject*) { BatchSave(LibDataModule->MemTable); }

// ---------------------------------------------------------------------------
// charts

void TMetaDataForm::ChartEditorClick(TObject*) { EditSelectedChartNode(MduleOrgChart); }
void TMetaDataForm::N5Click(TObject*) { MduleOrgChart->SetRotated(!MduleOrgChart->Rotated()); }
void TMetaDataForm::N6Click(TObject*) { MduleOrgChart->ExpandAll(); }
void TMetaDataForm::N7Click(TObject*) { MduleOrgChart->SetZoom(!MduleOrgChart->Zoom()); }

void TMetaDataForm::ToolButton1Click(TObject*) {
  // The designer opens even with no table; its result is then dropped.
  if (!kxFcExecuteEditor(kxFlowChart1, kChartDesignerCaption)) return;
  if (LibDataModule->MemTable->Active()) StoreChartInRecord(LibDataModule->MemTable, kxFlowChart1);
}

void TMetaDataForm::ToolButton5Click(TObject*) {
  if (LibDataModule->MemTable->Active()) StoreChartInRecord(LibDataModule->MemTable, kxFlowChart1);
}

// ---------------------------------------------------------------------------
// editors

void TMetaDataForm::MetedateText2TxtEditEnter(TObject* Sender) {
  auto* e = dynamic_cast<TCustomTxtEdit*>(Sender);
  if (!e) return;
  LibDataModule->setDefaultEditor(e);
  if (FRememberedEditor != e) {
    if (FRememberedEditor) FRememberedEditor->RemoveFreeNotification(this);
    FRememberedEditor = e;
    e->FreeNotification(this);
  }
}
void TMetaDataForm::Text1TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace,
                                            int Line, int Column, TTxtReplaceAction& Action) {
  LibDataModule->TxtEditReplaceText(Sender, ASearch, AReplace, Line, Column, Action);
}
void TMetaDataForm::Find1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(false); }
void TMetaDataForm::N1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, true); }
void TMetaDataForm::FindNext1Click(TObject*) { LibDataModule->DoSearchReplaceText(false, false); }
void TMetaDataForm::Replace1Click(TObject*) { LibDataModule->ShowSearchReplaceDialog(true); }
void TMetaDataForm::Format1Click(TObject*) {
  save();
  LibDataModule->format(MetedateText2TxtEdit);
}

// ---------------------------------------------------------------------------
// the frame's entry and registration

TMetaDataForm* NewNarrativeWindow(TMainForm* Frame) {
  auto* w = NewLibraryWindow<TMetaDataForm>(Frame);
  w->OpenLibFile();
  return w;
}

void ProvideNarrativeWindow() {
  FrameWindows().NewNarrativeWindow = [](TMainForm* Frame) { NewNarrativeWindow(Frame); };
}

void RegisterNarrativeWindow() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMetaDataForm::StaticClass()});
  RegisterHandlers<TMetaDataForm>([](THandlerBuilder<TMetaDataForm>& h) {
    using F = TMetaDataForm;
    h.Field("leftPanel1", &F::leftPanel1);
    h.Field("leftPanel2", &F::leftPanel2);
    h.Field("kxDockPanel1", &F::kxDockPanel1);
    h.Field("kxDockPanel2", &F::kxDockPanel2);
    h.Field("kxDockPanel3", &F::kxDockPanel3);
    h.Field("LibraryTree", &F::LibraryTree);
    h.Field("TableAlisTree", &F::TableAlisTree);
    h.Field("Ttype", &F::Ttype);
    h.Field("linktable", &F::linktable);
    h.Field("linkpath", &F::linkpath);
    h.Field("MetedateText2TxtEdit", &F::MetedateText2TxtEdit);
    h.Field("MetedateText1TxtEdit", &F::MetedateText1TxtEdit);
    h.Field("kxFlowChart1", &F::kxFlowChart1);
    h.Field("MduleOrgChart", &F::MduleOrgChart);
    h.Field("kxDBInspector", &F::kxDBInspector);
    h.Field("DBEdit4", &F::DBEdit4);
    h.Field("DBEdit5", &F::DBEdit5);
    h.Field("ColorBox1", &F::ColorBox1);
    h.Field("showGrapgh", &F::showGrapgh);
    h.Field("Timer1", &F::Timer1);
    h.Field("ChartPopupMenu", &F::ChartPopupMenu);
    h.Field("kxBarManager1", &F::kxBarManager1);
    h.Field("lefttreePopupMenu", &F::lefttreePopupMenu);
    h.Field("EditTextPopMenu", &F::EditTextPopMenu);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormClose", &F::FormClose);
    h.Handler("Timer1Timer", &F::Timer1Timer);
    h.Handler("MenuItem1Click", &F::MenuItem1Click);
    h.Handler("MenuItem2Click", &F::MenuItem2Click);
    h.Handler("MenuItem3Click", &F::MenuItem3Click);
    h.Handler("MenuItem4Click", &F::MenuItem4Click);
    h.Handler("MenuItem5Click", &F::MenuItem5Click);
    h.Handler("MenuItem6Click", &F::MenuItem6Click);
    h.Handler("N11Click", &F::N11Click);
    h.Handler("N12Click", &F::N12Click);
    h.Handler("N14Click", &F::N14Click);
    h.Handler("N15Click", &F::N15Click);
    h.Handler("N2Click", &F::N2Click);
    h.Handler("Find1Click", &F::Find1Click);
    h.Handler("N1Click", &F::N1Click);
    h.Handler("FindNext1Click", &F::FindNext1Click);
    h.Handler("Replace1Click", &F::Replace1Click);
    h.Handler("Format1Click", &F::Format1Click);
    h.Handler("kxBarButton6Click", &F::kxBarButton6Click);
    h.Handler("kxBarButton7Click", &F::kxBarButton7Click);
    h.Handler("kxBarButton8Click", &F::kxBarButton8Click);
    h.Handler("ChartEditorClick", &F::ChartEditorClick);
    h.Handler("N5Click", &F::N5Click);
    h.Handler("N6Click", &F::N6Click);
    h.Handler("N7Click", &F::N7Click);
    h.Handler("ToolButton1Click", &F::ToolButton1Click);
    h.Handler("ToolButton5Click", &F::ToolButton5Click);
    h.Handler("LibraryTreeClick", &F::LibraryTreeClick);
    h.Handler("LibraryTreeMouseDown", &F::LibraryTreeMouseDown);
    h.Handler("MetedateText2TxtEditMouseDown", &F::MetedateText2TxtEditMouseDown);
    h.Handler("TableAlisTreeCloseUp", &F::TableAlisTreeCloseUp);
    h.Handler("ColorBox1CloseUp", &F::ColorBox1CloseUp);
    h.Handler("kxDBInspectorEdited", &F::kxDBInspectorEdited);
    h.Handler("MetedateText2TxtEditEnter", &F::MetedateText2TxtEditEnter);
    h.Handler("Text1TxtEditReplaceText", &F::Text1TxtEditReplaceText);
    h.Handler("LibraryTreeDragDropIsCopy", &F::LibraryTreeDragDropIsCopy);
  });
}
