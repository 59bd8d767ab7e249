#include "app/storywrite.h"

#include "app/libwindow.h"
#include "app/mainform.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

// 错误的文件格式, with three blanks before it and twelve after.
const char* const kBadStoryFormat = "   \xB4\xED\xCE\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD.            ";
// Penvarro写作 图形设计器
const char* const kChartDesignerCaption = "Penvarro\xD0\xB4\xD7\xF7 \xCD\xBC\xD0\xCE\xC9\xE8\xBC\xC6\xC6\xF7";

TStoryWrite::TStoryWrite(TComponent* AOwner) : TForm(AOwner) {
  FSearchTimer = new TTimer(this);
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetInterval(500);
  FSearchTimer->OnTimer = TNotifyEvent(this, &TStoryWrite::SearchTimerTimer);
}

TStoryWrite::~TStoryWrite() {
  // The link goes before the chart and the data source it joins.
  FChartLink.reset();
}

std::vector<TDBTxtEdit*> TStoryWrite::Editors() const {
  return {Text1TxtEdit, Text4TxtEdit, DBTxtEdit12, Text6TxtEdit, DBTxtEdit4, DBTxtEdit17,
          DBTxtEdit1,   DBTxtEdit5,   DBTxtEdit2,  DBTxtEdit16, DBTxtEdit15};
}

void TStoryWrite::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCurrentEditor) FCurrentEditor = nullptr;
}

// ---------------------------------------------------------------------------
// opening

void TStoryWrite::OpenStory() {
  if (!FChartLink) {
    FChartLink = std::make_unique<TRecordChartLink>(kxFlowChart1);
    FChartLink->SetDataSource(ClientUserTableDS);
  }
  // The trees stand on panels that may be slid in; their nodes need windows.
  for (TkxDBTreeView* t : {FolderTree, kxDBTreeView1, memDesignTree, LibraryTree, MemModuleTree, StoryMemTree, memTreeView})
    t->HandleNeeded();
  LibraryTree->SetDisplayField("tsortid;tname");
  LibraryTree->Repaint();
  // A file that does not connect has no alias row to read: the window stays
  // empty after the message.
  // The tree is rebuilt several times below: it redraws once, at the end.
  FolderTree->Items()->BeginUpdate();
  struct EndTreeUpdate {
    TkxDBTreeView* Tree;
    ~EndTreeUpdate() { Tree->Items()->EndUpdate(); }
  } endUpdate{FolderTree};
  // The tree's fields, view and root are all set before the node table's
  // controls see it, so the tree and the chart each load the table once
  // instead of once per setting.
  ClientUserTableDS->SetEnabled(false);
  TDataSource* chartSource = MduleOrgChart->DataSource();
  MduleOrgChart->SetDataSource(nullptr);
  struct ReattachControls {
    TStoryWrite* W;
    TDataSource* ChartSource;
    ~ReattachControls() {
      W->ClientUserTableDS->SetEnabled(true);
      W->FolderTree->FullCollapse();
      W->MduleOrgChart->SetDataSource(ChartSource);
    }
  } reattach{this, chartSource};
  if (!PerformFileOpen()) return;
  FolderTree->SetDisplayField("tsortid;tname");
  CurrentView = FieldAsInt(ClientUserAliseTable->FieldByName("tcurrentView"), 0);
  if (CurrentView < 0 || CurrentView >= kNodeViewCount) CurrentView = 0;
  RootValue = FieldAsInt(ClientUserAliseTable->FieldByName("trootvalue"), -1);
  SetCurrentView(CurrentView);
}

bool TStoryWrite::PerformFileOpen() {
  StoryConnection->Close();
  StoryConnection->SetConnectionString(LibConnectionString(FileName));
  try {
    StoryConnection->Open();
    ClientUserAliseTable->SetActive(true);
  } catch (const Exception&) {
    StoryConnection->Close();
    ShowMessage(kBadStoryFormat);
    return false;
  }
  ClientUserTable->SetActive(false);
  const AnsiString name = ClientUserAliseTable->FieldByName("tname")->AsString();
  if (name.empty()) return true;  // no novel table listed yet
  ClientUserTable->SetTableName(name);
  ClientUserTable->SetActive(true);
  return true;
}

// ---------------------------------------------------------------------------
// views

void TStoryWrite::SetCurrentView(int View) {
  const TNodeView& view = NodeView(View);
  CurrentView = View;
  if (ClientUserAliseTable->Active() && !ClientUserAliseTable->IsEmpty()) {
    ClientUserAliseTable->Edit();
    ClientUserAliseTable->FieldByName("tcurrentView")->SetAsInteger(View);
    ClientUserAliseTable->Post();
  }
  FolderTree->SetParentField(view.ParentField);
  MduleOrgChart->SetParentFieldName(view.ParentField);
  DBEdit1->SetDataField(view.OrderField);
  if (View == 0)
    FolderTree->SetDisplayField("tsortid;tname");
  else
    FolderTree->SetDisplayField(CheckBox1->Checked() ? AnsiString(view.OrderField) + ";tname"
                                                      : AnsiString(view.OrderField));
  ViewLabel->SetCaption(view.Name);
  if (ClientUserAliseTable->Active() && !ClientUserAliseTable->IsEmpty())
    RootValue = FieldAsInt(ClientUserAliseTable->FieldByName("trootvalue"), -1);
  ApplyRoot();
  FolderTree->Repaint();
}

void TStoryWrite::ApplyRoot() {
  if (RootValue == -1 || RootValue == 0)
    ShowWholeTree(FolderTree);
  else
    ShowFocusedTree(FolderTree, Variant(RootValue));
}

// ---------------------------------------------------------------------------
// what a click shows

void TStoryWrite::showDesignGrapgh() {
  if (!ClientUserTable->Active() || ClientUserTable->IsEmpty()) return;
  // The chart pane follows the current node by itself, ticked or not, so
  // that what it shows is what "设计" and "保存" work on; ticked, a click
  // also reads the node's chart again.
  if (showGrapgh->Checked() && FChartLink) FChartLink->Reload();
  ShowLinkedSubtree(ClientUserTable, LibDataModule->MemTable, StoryMemTree, false, true);
}

void TStoryWrite::FolderTreeClick(TObject*) {
  if (ClientUserTable->Active()) showDesignGrapgh();
}

void TStoryWrite::MduleOrgChartClick(TObject*) { showDesignGrapgh(); }

void TStoryWrite::kxDBTreeView1Click(TObject*) {
  TADOTable* t = LibDataModule->StoryTable;
  if (t->Active() && !t->IsEmpty()) ShowLinkedSubtree(t, LibDataModule->MemTable2, memDesignTree, true, false);
}

void TStoryWrite::LibraryTreeClick(TObject*) {
  TADOTable* t = LibDataModule->libTable;
  if (t->Active() && !t->IsEmpty()) ShowLinkedSubtree(t, LibDataModule->MemTable3, MemModuleTree, true, false);
}

void TStoryWrite::MoveNotCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = false; }
void TStoryWrite::CopyNotMove(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }

// ---------------------------------------------------------------------------
// table pickers

void TStoryWrite::kxLookupTreeView4CloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, ClientUserAliseTable)) OpenNovelOfAliasRow();
}

void TStoryWrite::OpenNovelOfAliasRow() {
  const Variant picked = ClientUserAliseTable->FieldByName("tid")->Value();
  const AnsiString name = ClientUserAliseTable->FieldByName("tname")->AsString();
  ClientUserTable->SetActive(false);
  ClientUserTable->Close();
  ClientUserTable->SetTableName(name);
  try {
    ClientUserTable->Open();
  } catch (const Exception&) {
    // Once more on a fresh connection.
    StoryConnection->Close();
    StoryConnection->Open();
    ClientUserAliseTable->SetActive(true);
    ClientUserAliseTable->Locate("tid", picked, {});
    ClientUserTable->Open();
  }
  CurrentView = FieldAsInt(ClientUserAliseTable->FieldByName("tcurrentView"), 0);
  if (CurrentView < 0 || CurrentView >= kNodeViewCount) CurrentView = 0;
  RootValue = FieldAsInt(ClientUserAliseTable->FieldByName("trootvalue"), -1);
  SetCurrentView(CurrentView);
}

void TStoryWrite::kxLookupTreeView2CloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->storyAliasTable))
    SwitchTableTo(LibDataModule->StoryTable, LibDataModule->storyAliasTable);
}

void TStoryWrite::kxLookupTreeView5CloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->libAliasTable)) SwitchTableTo(LibDataModule->libTable, LibDataModule->libAliasTable);
}

void TStoryWrite::memTreeCloseUp(TObject* Sender, bool) {
  if (PickedAliasRow(Sender, LibDataModule->memAliasTable)) SwitchTableTo(LibDataModule->MemTable, LibDataModule->memAliasTable);
}

void TStoryWrite::linkpathMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  OpenLinkedTable(ClientUserTable, LibDataModule->MemTable);
}

// ---------------------------------------------------------------------------
// editors

void TStoryWrite::EditorEnter(TObject* Sender) {
  auto* editor = dynamic_cast<TDBTxtEdit*>(Sender);
  if (!editor) return;
  LibDataModule->setDefaultEditor(editor);
  if (FCurrentEditor != editor) {
    if (FCurrentEditor) FCurrentEditor->RemoveFreeNotification(this);
    FCurrentEditor = editor;
    FCurrentEditor->FreeNotification(this);
  }
  save();
}

void TStoryWrite::Text1TxtEditExit(TObject*) { save(); }
void TStoryWrite::DBEdit1Exit(TObject*) { save(); }

void TStoryWrite::Text1TxtEditMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbRight) editBarPopupMenu->PopupAtCursor();
}

void TStoryWrite::TreeBottomPanelMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbRight) treeBarPopupMenu->PopupAtCursor();
}

void TStoryWrite::BackColorBoxCloseUp(TObject*) { Text1TxtEdit->SetColor(BackColorBox->Selected()); }
void TStoryWrite::FontColorBoxCloseUp(TObject*) { Text1TxtEdit->Font()->SetColor(FontColorBox->Selected()); }

void TStoryWrite::ColorBox1CloseUp(TObject*) { SetChartColor(ClientUserTable, ColorBox1); }

void TStoryWrite::kxDBInspectorEdited(TObject*, TkxInspectorNode*, TkxInspectorRow*) {
  RefreshWhenOpen(ClientUserTable);
}

// ---------------------------------------------------------------------------
// saving and the window's life

void TStoryWrite::save() {
  BatchSaveKeepingCaret(this, FCurrentEditor, {ClientUserTable, LibDataModule->libAliasTable, LibDataModule->libTable});
  FolderTree->Repaint();
}

void TStoryWrite::libsave() { BatchSave(LibDataModule->libTable); }

void TStoryWrite::Timer1Timer(TObject*) { save(); }

void TStoryWrite::FormShow(TObject*) {
  for (TDBTxtEdit* e : Editors()) LibDataModule->initDBTxtEdit(e);
  // The three writing editors leave copy, cut and paste to Ctrl+C, X and V.
  for (TDBTxtEdit* e : {Text1TxtEdit, Text4TxtEdit, Text6TxtEdit}) {
    DropClipboardKeys(e);
    // the library module asks about each match of a replace
    e->OnReplaceText = TReplaceTextEvent(LibDataModule, &TLibDataModule::TxtEditReplaceText);
  }
  LibDataModule->setFieldforOrgChart(MduleOrgChart);
}

void TStoryWrite::FormCloseQuery(TObject*, bool& CanClose) {
  try {
    save();
  } catch (const Exception&) {
    Application->HandleException(this);
  }
  CanClose = true;
}

void TStoryWrite::FormClose(TObject*, TCloseAction& Action) {
  try {
    save();
  } catch (const Exception&) {
    Application->HandleException(this);
  }
  Action = caFree;
}

// ---------------------------------------------------------------------------
// the frame's entry

TStoryWrite* OpenStoryWindow(TMainForm* Frame, const AnsiString& FileName, const AnsiString& Caption,
                             bool CopyBarStyle) {
  auto* w = NewObject<TStoryWrite>(Frame);
  w->SetWindowState(wsMaximized);
  w->SetCaption(Caption);
  w->FileName = FileName;
  if (CopyBarStyle && Frame) Frame->CopyBarStyle(w->kxBarManager1);
  w->OpenStory();
  return w;
}

// ---------------------------------------------------------------------------
// start-up

void InstallStoryWindow() {
  FrameWindows().OpenStory = [](TMainForm* Frame, const AnsiString& FileName, const AnsiString& Caption,
                                bool CopyBarStyle) { OpenStoryWindow(Frame, FileName, Caption, CopyBarStyle); };
  // find and replace act on the editor that last had the focus
  TStoryWindowHooks& h = StoryWindowHooks();
  h.Find = [](TStoryWrite*) { LibDataModule->ShowSearchReplaceDialog(false); };
  h.Replace = [](TStoryWrite*) { LibDataModule->ShowSearchReplaceDialog(true); };
  h.FindNext = [](TStoryWrite*) { LibDataModule->DoSearchReplaceText(false, false); };
  h.FindPrevious = [](TStoryWrite*) { LibDataModule->DoSearchReplaceText(false, true); };
}

void RegisterStoryWrite() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TStoryWrite::StaticClass()});
  RegisterHandlers<TStoryWrite>([](THandlerBuilder<TStoryWrite>& h) {
    using F = TStoryWrite;
    h.Field("StoryConnection", &F::StoryConnection);
    h.Field("ClientUserAliseTable", &F::ClientUserAliseTable);
    h.Field("ClientUserAliseDS", &F::ClientUserAliseDS);
    h.Field("ClientUserTable", &F::ClientUserTable);
    h.Field("ClientUserTableDS", &F::ClientUserTableDS);
    h.Field("Timer1", &F::Timer1);
    h.Field("TextPanel", &F::TextPanel);
    h.Field("DesignPanel", &F::DesignPanel);
    h.Field("MaterialPanel", &F::MaterialPanel);
    h.Field("ChartPanel", &F::ChartPanel);
    h.Field("ModelPanel", &F::ModelPanel);
    h.Field("NovelPanel", &F::NovelPanel);
    h.Field("InspectorPanel", &F::InspectorPanel);
    h.Field("SearchPanel", &F::SearchPanel);
    h.Field("Text1TxtEdit", &F::Text1TxtEdit);
    h.Field("Text4TxtEdit", &F::Text4TxtEdit);
    h.Field("Text6TxtEdit", &F::Text6TxtEdit);
    h.Field("DBTxtEdit12", &F::DBTxtEdit12);
    h.Field("DBTxtEdit4", &F::DBTxtEdit4);
    h.Field("DBTxtEdit17", &F::DBTxtEdit17);
    h.Field("DBTxtEdit1", &F::DBTxtEdit1);
    h.Field("DBTxtEdit5", &F::DBTxtEdit5);
    h.Field("DBTxtEdit2", &F::DBTxtEdit2);
    h.Field("DBTxtEdit16", &F::DBTxtEdit16);
    h.Field("DBTxtEdit15", &F::DBTxtEdit15);
    h.Field("FolderTree", &F::FolderTree);
    h.Field("kxDBTreeView1", &F::kxDBTreeView1);
    h.Field("memDesignTree", &F::memDesignTree);
    h.Field("LibraryTree", &F::LibraryTree);
    h.Field("MemModuleTree", &F::MemModuleTree);
    h.Field("StoryMemTree", &F::StoryMemTree);
    h.Field("memTreeView", &F::memTreeView);
    h.Field("kxLookupTreeView4", &F::kxLookupTreeView4);
    h.Field("kxLookupTreeView2", &F::kxLookupTreeView2);
    h.Field("kxLookupTreeView5", &F::kxLookupTreeView5);
    h.Field("memTree", &F::memTree);
    h.Field("LibraryTreeFolder", &F::LibraryTreeFolder);
    h.Field("linkpath", &F::linkpath);
    h.Field("kxDBLookupTreeView2", &F::kxDBLookupTreeView2);
    h.Field("DBEdit1", &F::DBEdit1);
    h.Field("DBEdit2", &F::DBEdit2);
    h.Field("DBEdit4", &F::DBEdit4);
    h.Field("DBEdit5", &F::DBEdit5);
    h.Field("ViewLabel", &F::ViewLabel);
    h.Field("TreeBottomPanel", &F::TreeBottomPanel);
    h.Field("showGrapgh", &F::showGrapgh);
    h.Field("CheckBox1", &F::CheckBox1);
    h.Field("BackColorBox", &F::BackColorBox);
    h.Field("FontColorBox", &F::FontColorBox);
    h.Field("ColorBox1", &F::ColorBox1);
    h.Field("MduleOrgChart", &F::MduleOrgChart);
    h.Field("kxFlowChart1", &F::kxFlowChart1);
    h.Field("WebBrowser1", &F::WebBrowser1);
    h.Field("kxDBInspector", &F::kxDBInspector);
    h.Field("TreePopupMenu", &F::TreePopupMenu);
    h.Field("LibraryPopupMenu", &F::LibraryPopupMenu);
    h.Field("ChartPopupMenu", &F::ChartPopupMenu);
    h.Field("EditorMenu", &F::EditorMenu);
    h.Field("kxBarManager1", &F::kxBarManager1);
    h.Field("editBarPopupMenu", &F::editBarPopupMenu);
    h.Field("treeBarPopupMenu", &F::treeBarPopupMenu);
    h.Field("kxBarEdit1", &F::kxBarEdit1);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormCloseQuery", &F::FormCloseQuery);
    h.Handler("FormClose", &F::FormClose);
    h.Handler("EditorEnter", &F::EditorEnter);
    h.Handler("Text1TxtEditExit", &F::Text1TxtEditExit);
    h.Handler("DBEdit1Exit", &F::DBEdit1Exit);
    h.Handler("Text1TxtEditMouseDown", &F::Text1TxtEditMouseDown);
    h.Handler("TreeBottomPanelMouseDown", &F::TreeBottomPanelMouseDown);
    h.Handler("BackColorBoxCloseUp", &F::BackColorBoxCloseUp);
    h.Handler("FontColorBoxCloseUp", &F::FontColorBoxCloseUp);
    h.Handler("ColorBox1CloseUp", &F::ColorBox1CloseUp);
    h.Handler("kxDBInspectorEdited", &F::kxDBInspectorEdited);
    h.Handler("linkpathMouseDown", &F::linkpathMouseDown);
    h.Handler("FolderTreeClick", &F::FolderTreeClick);
    h.Handler("MduleOrgChartClick", &F::MduleOrgChartClick);
    h.Handler("kxDBTreeView1Click", &F::kxDBTreeView1Click);
    h.Handler("LibraryTreeClick", &F::LibraryTreeClick);
    h.Handler("kxLookupTreeView4CloseUp", &F::kxLookupTreeView4CloseUp);
    h.Handler("kxLookupTreeView2CloseUp", &F::kxLookupTreeView2CloseUp);
    h.Handler("kxLookupTreeView5CloseUp", &F::kxLookupTreeView5CloseUp);
    h.Handler("memTreeCloseUp", &F::memTreeCloseUp);
    h.Handler("Timer1Timer", &F::Timer1Timer);
    h.Handler("Add1Click", &F::Add1Click);
    h.Handler("ChartAddClick", &F::ChartAddClick);
    h.Handler("MenuItem1Click", &F::MenuItem1Click);
    h.Handler("Delete1Click", &F::Delete1Click);
    h.Handler("MenuItem2Click", &F::MenuItem2Click);
    h.Handler("Editor1Click", &F::Editor1Click);
    h.Handler("MenuItem3Click", &F::MenuItem3Click);
    h.Handler("ChartEditorClick", &F::ChartEditorClick);
    h.Handler("Expand1Click", &F::Expand1Click);
    h.Handler("MenuItem4Click", &F::MenuItem4Click);
    h.Handler("Collapse1Click", &F::Collapse1Click);
    h.Handler("MenuItem5Click", &F::MenuItem5Click);
    h.Handler("Refresh1Click", &F::Refresh1Click);
    h.Handler("MenuItem6Click", &F::MenuItem6Click);
    h.Handler("ToolButton3Click", &F::ToolButton3Click);
    h.Handler("N15Click", &F::N15Click);
    h.Handler("N17Click", &F::N17Click);
    h.Handler("N23Click", &F::N23Click);
    h.Handler("N24Click", &F::N24Click);
    h.Handler("N10Click", &F::N10Click);
    h.Handler("N28Click", &F::N28Click);
    h.Handler("N11Click", &F::N11Click);
    h.Handler("N12Click", &F::N12Click);
    h.Handler("N13Click", &F::N13Click);
    h.Handler("N25Click", &F::N25Click);
    h.Handler("N29Click", &F::N29Click);
    h.Handler("N30Click", &F::N30Click);
    h.Handler("N31Click", &F::N31Click);
    h.Handler("N32Click", &F::N32Click);
    h.Handler("N34Click", &F::N34Click);
    h.Handler("N35Click", &F::N35Click);
    h.Handler("N38Click", &F::N38Click);
    h.Handler("N41Click", &F::N41Click);
    h.Handler("N5Click", &F::N5Click);
    h.Handler("N6Click", &F::N6Click);
    h.Handler("N7Click", &F::N7Click);
    h.Handler("Find1Click", &F::Find1Click);
    h.Handler("Replace1Click", &F::Replace1Click);
    h.Handler("FindNext1Click", &F::FindNext1Click);
    h.Handler("N1Click", &F::N1Click);
    h.Handler("kxBarButton18Click", &F::kxBarButton18Click);
    h.Handler("Format1Click", &F::Format1Click);
    h.Handler("kxBarButton19Click", &F::kxBarButton19Click);
    h.Handler("kxBarButton20Click", &F::kxBarButton20Click);
    h.Handler("kxBarButton3Click", &F::kxBarButton3Click);
    h.Handler("kxBarButton4Click", &F::kxBarButton4Click);
    h.Handler("ToolButton1Click", &F::ToolButton1Click);
    h.Handler("ToolButton5Click", &F::ToolButton5Click);
    h.Handler("N26Click", &F::N26Click);
    h.Handler("StoryAlisFormClick", &F::StoryAlisFormClick);
    h.Handler("N27Click", &F::N27Click);
    h.Handler("kxBarButton17Click", &F::kxBarButton17Click);
    h.Handler("kxBarEdit1KeyDown", &F::kxBarEdit1KeyDown);
    h.Handler("MoveNotCopy", &F::MoveNotCopy);
    h.Handler("CopyNotMove", &F::CopyNotMove);
  });
}
