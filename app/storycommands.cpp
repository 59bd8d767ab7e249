// The story window's commands: its tree, library-tree, chart and editor menus
// and its toolbars.
#include <functional>
#include <memory>

#include "app/codedatamodule.h"
#include "app/libwindow.h"
#include "app/storywrite.h"
#include "editor/txteditstringlist.h"
#include "platform/controls/dialogs.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"
#include "treechart/fceditor.h"

TStoryWindowHooks& StoryWindowHooks() {
  static TStoryWindowHooks h;
  return h;
}

// ---------------------------------------------------------------------------
// nodes

void TStoryWrite::Add1Click(TObject*) {
  if (ClientUserTable->Active()) AddTreeNode(FolderTree, CurrentView);
}

void TStoryWrite::ChartAddClick(TObject*) {
  if (ClientUserTable->Active()) AddTreeNode(FolderTree, 0);
}

void TStoryWrite::MenuItem1Click(TObject*) { AddTreeNodeIn(LibraryTree, LibDataModule->libTable); }

void TStoryWrite::Delete1Click(TObject*) { DeleteLeafNode(FolderTree); }
void TStoryWrite::MenuItem2Click(TObject*) { DeleteLeafNode(LibraryTree); }

void TStoryWrite::Editor1Click(TObject*) { EditSelectedNode(FolderTree); }
void TStoryWrite::MenuItem3Click(TObject*) { EditSelectedNode(LibraryTree); }
void TStoryWrite::ChartEditorClick(TObject*) { EditSelectedChartNode(MduleOrgChart); }

void TStoryWrite::Expand1Click(TObject*) {
  if (StoryConnection->Connected() && ClientUserTable->Active()) FolderTree->FullExpand();
}

void TStoryWrite::MenuItem4Click(TObject*) { LibraryTree->FullExpand(); }
void TStoryWrite::Collapse1Click(TObject*) { FolderTree->FullCollapse(); }
void TStoryWrite::MenuItem5Click(TObject*) { LibraryTree->FullCollapse(); }
void TStoryWrite::Refresh1Click(TObject*) { save(); }
void TStoryWrite::MenuItem6Click(TObject*) { libsave(); }
void TStoryWrite::ToolButton3Click(TObject*) { save(); }

void TStoryWrite::N15Click(TObject*) { CopySelectedNode(FolderTree); }
void TStoryWrite::N17Click(TObject*) { PasteNodeIn(FolderTree, ClientUserTable); }
void TStoryWrite::N23Click(TObject*) { CopySelectedNode(LibraryTree); }
void TStoryWrite::N24Click(TObject*) { PasteNodeIn(LibraryTree, LibDataModule->libTable); }

// ---------------------------------------------------------------------------
// views and focus

void TStoryWrite::SetView(int View) {
  if (!ClientUserTable->Active()) return;
  CurrentView = View;
  SetCurrentView(View);
}

void TStoryWrite::N10Click(TObject*) { SetView(0); }
void TStoryWrite::N28Click(TObject*) { SetView(1); }
void TStoryWrite::N11Click(TObject*) { SetView(2); }
void TStoryWrite::N12Click(TObject*) { SetView(3); }
void TStoryWrite::N13Click(TObject*) { SetView(4); }
void TStoryWrite::N25Click(TObject*) { SetView(5); }
void TStoryWrite::N29Click(TObject*) { SetView(6); }
void TStoryWrite::N30Click(TObject*) { SetView(7); }
void TStoryWrite::N31Click(TObject*) { SetView(8); }

void TStoryWrite::N32Click(TObject*) {
  if (!FolderTree->Selected()) return;
  if (!LibDataModule->ColorDialog->Execute()) return;
  const AnsiString field = CurrentView == 0 ? AnsiString("tchartcolor") : "tviewColor" + IntToStr(CurrentView);
  LibDataModule->TreeSub(FolderTree, field, IntToStr(static_cast<Integer>(LibDataModule->ColorDialog->Color())));
}

void TStoryWrite::N34Click(TObject*) {
  if (!FolderTree->Selected() || !ClientUserTable->Active() || ClientUserTable->IsEmpty()) return;
  RootValue = ClientUserTable->FieldByName("tid")->AsInteger();
  ClientUserAliseTable->Edit();
  ClientUserAliseTable->FieldByName("trootvalue")->SetAsInteger(RootValue);
  ClientUserAliseTable->Post();
  ShowFocusedTree(FolderTree, Variant(RootValue));
  FolderTree->Repaint();
}

void TStoryWrite::N35Click(TObject*) {
  if (!ClientUserAliseTable->Active() || ClientUserAliseTable->IsEmpty()) return;
  RootValue = -1;
  ClientUserAliseTable->Edit();
  ClientUserAliseTable->FieldByName("trootvalue")->SetAsInteger(-1);
  ClientUserAliseTable->Post();
  ShowWholeTree(FolderTree);
  FolderTree->Repaint();
}

void TStoryWrite::N38Click(TObject*) { ExportTree(FolderTree, ClientUserAliseTable); }

// ---------------------------------------------------------------------------
// walking the nodes

void TStoryWrite::kxBarButton3Click(TObject*) {
  if (SelectTreeNeighbour(FolderTree, false)) showDesignGrapgh();
}
void TStoryWrite::kxBarButton4Click(TObject*) {
  if (SelectTreeNeighbour(FolderTree, true)) showDesignGrapgh();
}

// ---------------------------------------------------------------------------
// whole-table operations

void TStoryWrite::WalkNovel(bool Unbind, const std::function<void()>& PerRecord) {
  if (!ClientUserTable->Active()) return;
  save();
  TkxDBTreeNode* sel = dynamic_cast<TkxDBTreeNode*>(FolderTree->Selected());
  const Variant selected = sel ? sel->RecordKey() : Variant();
  std::unique_ptr<TCodeDataModule> keeper;
  if (FCurrentEditor) {
    keeper = std::make_unique<TCodeDataModule>(this);
    keeper->Remember(FCurrentEditor);
  }
  TDBTxtEdit* const writers[] = {Text1TxtEdit, Text4TxtEdit, Text6TxtEdit};
  const char* const fields[] = {"ttext2", "ttext1", "ttext6"};
  auto rebind = [&] {
    if (Unbind)
      for (int i = 0; i < 3; ++i) writers[i]->SetDataField(fields[i]);
  };
  if (Unbind)
    for (TDBTxtEdit* e : writers) e->SetDataField("");
  // The chart pane does not load every node's chart on the way.
  struct ChartPause {
    TRecordChartLink* Link;
    explicit ChartPause(TRecordChartLink* L) : Link(L) { if (Link) Link->Suspend(); }
    ~ChartPause() { if (Link) Link->Resume(); }
  } chartPause{FChartLink.get()};
  try {
    ClientUserTable->First();
    while (!ClientUserTable->Eof()) {
      PerRecord();
      ClientUserTable->Next();
    }
    ClientUserTable->UpdateBatch(arAll);
  } catch (...) {
    // The records posted so far stay changed; the editors show the fields again.
    rebind();
    throw;
  }
  rebind();
  if (!selected.IsNull())
    if (TkxDBTreeNode* n = FolderTree->FindNodeByKey(selected)) n->SetSelected(true);
  if (keeper) keeper->Restore();
}

void TStoryWrite::kxBarButton19Click(TObject*) {
  WalkNovel(false, [this] {
    ClientUserTable->Edit();
    for (TDBTxtEdit* e : {Text1TxtEdit, Text4TxtEdit, Text6TxtEdit}) LibDataModule->formatAdvance(e);
    const AnsiString body = Text1TxtEdit->Text(), design = Text4TxtEdit->Text(), material = Text6TxtEdit->Text();
    ClientUserTable->FieldByName("ttext2")->SetAsString(body);
    ClientUserTable->FieldByName("ttext1")->SetAsString(design);
    ClientUserTable->FieldByName("ttext6")->SetAsString(material);
    ClientUserTable->Post();
  });
}

void TStoryWrite::kxBarButton20Click(TObject*) {
  // Overwrites the material of every node with its body text, as asked.
  WalkNovel(true, [this] {
    ClientUserTable->Edit();
    ClientUserTable->FieldByName("ttext6")->SetValue(ClientUserTable->FieldByName("ttext2")->Value());
    ClientUserTable->Post();
  });
}

void TStoryWrite::N41Click(TObject*) {
  // Every view's parent becomes the current view's, overwriting the others.
  const AnsiString parent = FolderTree->ParentField();
  WalkNovel(true, [this, &parent] {
    ClientUserTable->Edit();
    const Variant v = ClientUserTable->FieldByName(parent)->Value();
    for (int i = 1; i <= 8; ++i) ClientUserTable->FieldByName("tview" + IntToStr(i))->SetValue(v);
    ClientUserTable->Post();
  });
}

void TStoryWrite::Format1Click(TObject*) {
  if (!ClientUserTable->Active() || ClientUserTable->IsEmpty()) return;
  save();
  for (TDBTxtEdit* e : {Text1TxtEdit, Text4TxtEdit, Text6TxtEdit}) LibDataModule->format(e);
  // All three texts are read before any field is set: setting one reloads the editors.
  const AnsiString body = Text1TxtEdit->Text(), design = Text4TxtEdit->Text(), material = Text6TxtEdit->Text();
  ClientUserTable->Edit();
  ClientUserTable->FieldByName("ttext2")->SetAsString(body);
  ClientUserTable->FieldByName("ttext1")->SetAsString(design);
  ClientUserTable->FieldByName("ttext6")->SetAsString(material);
  ClientUserTable->Post();
}

// ---------------------------------------------------------------------------
// org chart

void TStoryWrite::N5Click(TObject*) { MduleOrgChart->SetRotated(!MduleOrgChart->Rotated()); }
void TStoryWrite::N6Click(TObject*) { MduleOrgChart->ExpandAll(); }
void TStoryWrite::N7Click(TObject*) { MduleOrgChart->SetZoom(!MduleOrgChart->Zoom()); }

// ---------------------------------------------------------------------------
// flow chart

void TStoryWrite::ToolButton1Click(TObject*) {
  if (!ClientUserTable->Active()) return;
  if (kxFcExecuteEditor(kxFlowChart1, kChartDesignerCaption)) StoreChartInRecord(ClientUserTable, kxFlowChart1);
}

void TStoryWrite::ToolButton5Click(TObject*) {
  if (StoryConnection->Connected() && ClientUserTable->Active()) StoreChartInRecord(ClientUserTable, kxFlowChart1);
}

// ---------------------------------------------------------------------------
// tables and other windows

void TStoryWrite::N26Click(TObject*) {
  if (!StoryConnection->Connected()) return;
  // 新建, " 名称:   "
  AnsiString answer;
  TFreeWatch self(this);  // the window may be closed while the question is open
  if (!InputQuery("\xD0\xC2\xBD\xA8", " \xC3\xFB\xB3\xC6:   ", answer) || answer.empty() || !self.Alive()) return;
  LibDataModule->TableOpertion->SetConnectionString(StoryConnection->ConnectionString());
  LibDataModule->CreateTable(ClientUserAliseTable, "Story", answer);
  // The alias list is on the new table's row: the novel picker shows it as
  // chosen and the window shows the new, empty novel, so the author sees what
  // was made; its view and focus are then written into its own row.
  kxLookupTreeView4->SetKeyValue(ClientUserAliseTable->FieldByName("tid")->Value());
  kxLookupTreeView4->SetText(ClientUserAliseTable->FieldByName("tsortid")->AsString());
  OpenNovelOfAliasRow();
}

void TStoryWrite::StoryAlisFormClick(TObject*) {
  if (StoryWindowHooks().StoryName) StoryWindowHooks().StoryName(this);
}

void TStoryWrite::N27Click(TObject*) {
  if (StoryWindowHooks().StoryDesign && ClientUserTable->Active()) StoryWindowHooks().StoryDesign(this);
}

void TStoryWrite::Find1Click(TObject*) {
  if (StoryWindowHooks().Find) StoryWindowHooks().Find(this);
}
void TStoryWrite::Replace1Click(TObject*) {
  if (StoryWindowHooks().Replace) StoryWindowHooks().Replace(this);
}
void TStoryWrite::FindNext1Click(TObject*) {
  if (StoryWindowHooks().FindNext) StoryWindowHooks().FindNext(this);
}
void TStoryWrite::N1Click(TObject*) {
  if (StoryWindowHooks().FindPrevious) StoryWindowHooks().FindPrevious(this);
}
void TStoryWrite::kxBarButton18Click(TObject*) {
  if (StoryWindowHooks().ReplaceInNovel) StoryWindowHooks().ReplaceInNovel(this);
}

// ---------------------------------------------------------------------------
// web search

void TStoryWrite::Search(const AnsiString& Word) { WebBrowser1->Navigate(SearchUrl(Trim(Word), kSearchPort)); }

void TStoryWrite::kxBarButton17Click(TObject*) {
  FSearchTimer->SetEnabled(false);
  Search(kxBarEdit1->GetCurText());
}

void TStoryWrite::kxBarEdit1KeyDown(TObject*, Word&, TShiftState) {
  // The key is not in the edit yet: search once typing pauses, for what the
  // edit holds then.
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetEnabled(true);
}

void TStoryWrite::SearchTimerTimer(TObject*) {
  FSearchTimer->SetEnabled(false);
  Search(kxBarEdit1->GetCurText());
}
