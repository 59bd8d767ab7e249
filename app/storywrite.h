// The story window: the MDI child in which the author writes one novel table
// of a story file. The table is shown as a tree in one of nine views, with the
// selected node's body text, design notes and material in data-aware editors,
// its flow chart and the table as an organisation chart; around it library
// material for reference and a web search panel. Every editor's Post writes
// through to the file; the window also commits its tables whenever an editor
// gets the focus, every ten minutes and when it closes.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "app/libdatamodule.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "docking/kxdockpanel.h"
#include "editor/txtdbedit.h"
#include "inspector/kxdbinsp.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/timers.h"
#include "platform/controls/webview.h"
#include "platform/db/ado.h"
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TMainForm;
class TRecordChartLink;

// "   错误的文件格式.            ": a story file that will not open.
extern const char* const kBadStoryFormat;
// The caption of the flow-chart designer opened from the story window.
extern const char* const kChartDesignerCaption;
// The port of the local search service.
constexpr int kSearchPort = 7887;

class TStoryWrite;
// What other units provide to the story window's commands. A command whose
// entry is not provided does nothing.
struct TStoryWindowHooks {
  // Writes the tree's nodes as files named after Name.
  void (*ExportToFile)(TkxDBTreeView* Tree, const AnsiString& Name) = nullptr;
  // The find and replace dialogs and searching again, on the current editor.
  void (*Find)(TStoryWrite* Window) = nullptr;
  void (*Replace)(TStoryWrite* Window) = nullptr;
  void (*FindNext)(TStoryWrite* Window) = nullptr;
  void (*FindPrevious)(TStoryWrite* Window) = nullptr;
  // Replacing in the whole novel table.
  void (*ReplaceInNovel)(TStoryWrite* Window) = nullptr;
  // The story name dialog, shown modally.
  void (*StoryName)(TStoryWrite* Window) = nullptr;
  // A story design window on this window's novel table, view and focus root.
  void (*StoryDesign)(TStoryWrite* Window) = nullptr;
};
TStoryWindowHooks& StoryWindowHooks();

class TStoryWrite : public TForm {
  PV_CLASS(TStoryWrite, TForm)
 public:
  explicit TStoryWrite(TComponent* AOwner);
  ~TStoryWrite() override;

  // ---- components of the description ----
  TADOConnection* StoryConnection = nullptr;
  TADOTable* ClientUserAliseTable = nullptr;
  TDataSource* ClientUserAliseDS = nullptr;
  TADOTable* ClientUserTable = nullptr;
  TDataSource* ClientUserTableDS = nullptr;
  TTimer* Timer1 = nullptr;
  TkxDockPanel *TextPanel = nullptr, *DesignPanel = nullptr, *MaterialPanel = nullptr, *ChartPanel = nullptr,
               *ModelPanel = nullptr, *NovelPanel = nullptr, *InspectorPanel = nullptr, *SearchPanel = nullptr;
  TDBTxtEdit *Text1TxtEdit = nullptr, *Text4TxtEdit = nullptr, *Text6TxtEdit = nullptr, *DBTxtEdit12 = nullptr,
             *DBTxtEdit4 = nullptr, *DBTxtEdit17 = nullptr, *DBTxtEdit1 = nullptr, *DBTxtEdit5 = nullptr,
             *DBTxtEdit2 = nullptr, *DBTxtEdit16 = nullptr, *DBTxtEdit15 = nullptr;
  TkxDBTreeView *FolderTree = nullptr, *kxDBTreeView1 = nullptr, *memDesignTree = nullptr, *LibraryTree = nullptr,
                *MemModuleTree = nullptr, *StoryMemTree = nullptr, *memTreeView = nullptr;
  TkxLookupTreeView *kxLookupTreeView4 = nullptr, *kxLookupTreeView2 = nullptr, *kxLookupTreeView5 = nullptr,
                    *memTree = nullptr;
  TkxDBLookupTreeView *LibraryTreeFolder = nullptr, *linkpath = nullptr, *kxDBLookupTreeView2 = nullptr;
  TDBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr, *DBEdit4 = nullptr, *DBEdit5 = nullptr;
  TLabel* ViewLabel = nullptr;
  TPanel* TreeBottomPanel = nullptr;
  TCheckBox *showGrapgh = nullptr, *CheckBox1 = nullptr;
  TColorBox *BackColorBox = nullptr, *FontColorBox = nullptr, *ColorBox1 = nullptr;
  TkxDbOrgChart* MduleOrgChart = nullptr;
  TkxFlowChart* kxFlowChart1 = nullptr;
  TWebView* WebBrowser1 = nullptr;
  TkxDBInspector* kxDBInspector = nullptr;
  TPopupMenu *TreePopupMenu = nullptr, *LibraryPopupMenu = nullptr, *ChartPopupMenu = nullptr, *EditorMenu = nullptr;
  TkxBarManager* kxBarManager1 = nullptr;
  TkxBarPopupMenu *editBarPopupMenu = nullptr, *treeBarPopupMenu = nullptr;
  TkxBarEdit* kxBarEdit1 = nullptr;

  // ---- state ----
  AnsiString FileName;  // set by the frame before OpenStory
  int CurrentView = 0;
  int RootValue = -1;
  // The data-aware editor of this window that last got the focus.
  TDBTxtEdit* CurrentEditor() const { return FCurrentEditor; }
  // The eleven data-aware editors.
  std::vector<TDBTxtEdit*> Editors() const;

  // ---- files, views and saving ----
  void OpenStory();
  // Connects and opens the alias list and the first novel table; false (after
  // the bad format message) when the file does not connect.
  bool PerformFileOpen();
  void SetCurrentView(int View);
  void showDesignGrapgh();
  void save();
  void libsave();

  // ---- handlers ----
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void EditorEnter(TObject* Sender);
  void Text1TxtEditExit(TObject* Sender);
  void DBEdit1Exit(TObject* Sender);
  void Text1TxtEditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TreeBottomPanelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BackColorBoxCloseUp(TObject* Sender);
  void FontColorBoxCloseUp(TObject* Sender);
  void ColorBox1CloseUp(TObject* Sender);
  void kxDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void linkpathMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FolderTreeClick(TObject* Sender);
  void MduleOrgChartClick(TObject* Sender);
  void kxDBTreeView1Click(TObject* Sender);
  void LibraryTreeClick(TObject* Sender);
  void MoveNotCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void CopyNotMove(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void kxLookupTreeView4CloseUp(TObject* Sender, bool Accept);
  void kxLookupTreeView2CloseUp(TObject* Sender, bool Accept);
  void kxLookupTreeView5CloseUp(TObject* Sender, bool Accept);
  void memTreeCloseUp(TObject* Sender, bool Accept);
  void Timer1Timer(TObject* Sender);

  // ---- commands ----
  void Add1Click(TObject* Sender);
  void ChartAddClick(TObject* Sender);
  void MenuItem1Click(TObject* Sender);
  void Delete1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);
  void Editor1Click(TObject* Sender);
  void MenuItem3Click(TObject* Sender);
  void ChartEditorClick(TObject* Sender);
  void Expand1Click(TObject* Sender);
  void MenuItem4Click(TObject* Sender);
  void Collapse1Click(TObject* Sender);
  void MenuItem5Click(TObject* Sender);
  void Refresh1Click(TObject* Sender);
  void MenuItem6Click(TObject* Sender);
  void ToolButton3Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N17Click(TObject* Sender);
  void N23Click(TObject* Sender);
  void N24Click(TObject* Sender);
  void N10Click(TObject* Sender);
  void N28Click(TObject* Sender);
  void N11Click(TObject* Sender);
  void N12Click(TObject* Sender);
  void N13Click(TObject* Sender);
  void N25Click(TObject* Sender);
  void N29Click(TObject* Sender);
  void N30Click(TObject* Sender);
  void N31Click(TObject* Sender);
  void N32Click(TObject* Sender);
  void N34Click(TObject* Sender);
  void N35Click(TObject* Sender);
  void N38Click(TObject* Sender);
  void N41Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N7Click(TObject* Sender);
  void Find1Click(TObject* Sender);
  void Replace1Click(TObject* Sender);
  void FindNext1Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void kxBarButton18Click(TObject* Sender);
  void Format1Click(TObject* Sender);
  void kxBarButton19Click(TObject* Sender);
  void kxBarButton20Click(TObject* Sender);
  void kxBarButton3Click(TObject* Sender);
  void kxBarButton4Click(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void N26Click(TObject* Sender);
  void StoryAlisFormClick(TObject* Sender);
  void N27Click(TObject* Sender);
  void kxBarButton17Click(TObject* Sender);
  void kxBarEdit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // The search edit's pause timer: searches for what the edit holds once
  // typing has paused.
  void SearchTimerTimer(TObject* Sender);

  // Runs PerRecord on every record of the novel table, from the first, and
  // commits the table: saves first, keeps the selected node and the caret of
  // the current editor, and with Unbind leaves the body, design and material
  // editors unbound meanwhile. Errors propagate without the commit.
  void WalkNovel(bool Unbind, const std::function<void()>& PerRecord);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // Shows the focused node's children as the top level (Root > 0) or the
  // whole tree.
  void ApplyRoot();
  void SetView(int View);
  // Shows the novel table of the alias list's current row, in the view and
  // from the focus stored with it.
  void OpenNovelOfAliasRow();
  void Search(const AnsiString& Word);

  TDBTxtEdit* FCurrentEditor = nullptr;
  TTimer* FSearchTimer = nullptr;
  // The "图形" pane's chart follows the novel table's current node.
  std::unique_ptr<TRecordChartLink> FChartLink;
};

// Opens FileName in a new story window owned by the frame.
TStoryWrite* OpenStoryWindow(TMainForm* Frame, const AnsiString& FileName, const AnsiString& Caption,
                             bool CopyBarStyle);

void RegisterStoryWrite();
// Gives the frame the story window to open stories in.
void InstallStoryWindow();
