// The design-element window: the MDI child in which the author edits the
// library's design elements, the trees of the tables that the TableAlias list
// names. Around the chosen table's tree it shows the current node's design
// notes, flow chart and property pane, the table as an organisation chart,
// and the narrative subtree the node links to with its body text. Everything
// is bound to the library data module's shared datasets, so two such windows
// show the same table and node.
#pragma once
#include "app/libdatamodule.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "docking/kxdockpanel.h"
#include "editor/txtdbedit.h"
#include "inspector/kxdbinsp.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/timers.h"
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TMainForm;

// "Penvarro写作， 图形编辑": the caption of the flow-chart editor opened from
// the design-element window.
extern const char* const kDesignChartEditorCaption;

class TSystemModuleForm : public TForm {
  PV_CLASS(TSystemModuleForm, TForm)
 public:
  explicit TSystemModuleForm(TComponent* AOwner) : TForm(AOwner) {}

  // ---- components of the description ----
  TkxDockPanel *leftPanel1 = nullptr, *leftPanel2 = nullptr, *dpStartPage = nullptr, *kxDockPanel1 = nullptr,
               *kxDockPanel2 = nullptr, *kxDockPanel3 = nullptr;
  TkxDBTreeView *LibraryTree = nullptr, *memTree = nullptr;
  TkxLookupTreeView* kxLookupTreeView1 = nullptr;
  TkxDBLookupTreeView *linktable = nullptr, *linkpath = nullptr, *NodeType = nullptr;
  TDBTxtEdit *ModeText1TxtEdit = nullptr, *DBTxtEdit1 = nullptr;
  TkxFlowChart* kxFlowChart1 = nullptr;
  TkxDbOrgChart* MduleOrgChart = nullptr;
  TkxDBInspector* kxDBInspector = nullptr;
  TDBEdit *DBEdit4 = nullptr, *DBEdit5 = nullptr;
  TColorBox* ColorBox1 = nullptr;
  TCheckBox* showGrapgh = nullptr;
  TTimer* Timer1 = nullptr;
  TPopupMenu *LibraryPopupMenu = nullptr, *ChartPopupMenu = nullptr, *EditorMenu = nullptr, *EditorMenu2 = nullptr;
  TkxBarManager* kxBarManager1 = nullptr;

  // ---- methods ----
  // Commits the table list and the chosen table.
  void save();
  // Commits the chosen table.
  void libsave();
  // Shows the current node's flow chart (when asked for) and the narrative
  // subtree it links to.
  void showDesignGrapgh();

  // ---- handlers ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Timer1Timer(TObject* Sender);
  void MenuItem1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);
  void MenuItem3Click(TObject* Sender);
  void MenuItem4Click(TObject* Sender);
  void MenuItem5Click(TObject* Sender);
  void MenuItem6Click(TObject* Sender);
  void N10Click(TObject* Sender);
  void N12Click(TObject* Sender);
  void N16Click(TObject* Sender);
  void ChartEditorClick(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N7Click(TObject* Sender);
  void Find1Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void FindNext1Click(TObject* Sender);
  void Replace1Click(TObject* Sender);
  void Format1Click(TObject* Sender);
  void ToolButton7Click(TObject* Sender);
  void ToolButton8Click(TObject* Sender);
  void ToolButton3Click(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void LibraryTreeClick(TObject* Sender);
  void MduleOrgChartClick(TObject* Sender);
  void kxLookupTreeView1CloseUp(TObject* Sender, bool Accept);
  void linkpathMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ColorBox1CloseUp(TObject* Sender);
  void kxDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void ModeText1TxtEditEnter(TObject* Sender);
  void Text1TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                               int Column, TTxtReplaceAction& Action);
  void LibraryTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
};

// A new design-element window owned by the application, maximized, with
// the frame's bar style.
TSystemModuleForm* NewDesignWindow(TMainForm* Frame);

// Lets the frame's "设计分子" open design-element windows.
void ProvideDesignWindow();
void RegisterDesignWindow();
