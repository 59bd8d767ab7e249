// The story design window: plans a novel against the library. On the left a
// page control with the current design-element table (page 库) and the
// current template table (page 设计), on the right the novel table of the
// story window that opened it, each with its tree, texts, flow chart,
// organisation chart, property pane and linked narrative subtree. Library and
// template nodes are dragged into the novel. The window reads the novel
// through a dataset of its own on the story file.
#pragma once
#include "app/libdatamodule.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "bars/kxbaritemsext.h"
#include "docking/kxdockpanel.h"
#include "editor/txtdbedit.h"
#include "inspector/kxdbinsp.h"
#include "pagecontrol/uxpagecontrol.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/timers.h"
#include "platform/db/ado.h"
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TStoryWrite;

class TStoryModuleDesigner : public TForm {
  PV_CLASS(TStoryModuleDesigner, TForm)
 public:
  explicit TStoryModuleDesigner(TComponent* AOwner);

  // ---- components of the description ----
  TuxPageControl* uxPageControl1 = nullptr;
  TuxTabSheet *uxTabSheet1 = nullptr, *uxTabSheet2 = nullptr;
  TADOTable* StoryTable = nullptr;  // the novel, on the story file
  TDataSource* StoryTableDS = nullptr;
  TTimer* Timer1 = nullptr;
  TkxLookupTreeView *libTree = nullptr, *storyTree = nullptr;
  TkxDBTreeView *LeftTree = nullptr, *kxDBTreeView1 = nullptr, *RightTree = nullptr;
  TkxDBTreeView *memTree = nullptr, *memTree2 = nullptr, *memTree3 = nullptr;
  TkxDBInspector *leftkxDBInspector1 = nullptr, *leftkxDBInspector2 = nullptr, *rightDBInspector1 = nullptr;
  TkxDBLookupTreeView *linktable = nullptr, *linkpath = nullptr, *NodeType = nullptr;
  TkxDBLookupTreeView *linktable2 = nullptr, *linkpath2 = nullptr, *NodeType2 = nullptr;
  TkxDBLookupTreeView *linktable3 = nullptr, *linkpath3 = nullptr, *NodeType3 = nullptr;
  TColorBox *ColorBox1 = nullptr, *ColorBox2 = nullptr, *ColorBox3 = nullptr;
  TDBTxtEdit *leftTxtEdit = nullptr, *DBTxtEdit1 = nullptr, *DBTxtEdit2 = nullptr, *DBTxtEdit3 = nullptr,
             *DBTxtEdit4 = nullptr, *DBTxtEdit5 = nullptr, *rightTxtEdit = nullptr;
  TkxFlowChart *libFlowChart = nullptr, *kxFlowChart1 = nullptr, *rightFlowChart = nullptr;
  TkxDbOrgChart *libChart = nullptr, *kxDbOrgChart1 = nullptr, *storyChart = nullptr;
  TCheckBox *showGrapgh1 = nullptr, *CheckBox5 = nullptr, *showGrapgh2 = nullptr, *CheckBox1 = nullptr;
  TkxBarStatic* ViewLabel = nullptr;  // the view's name on the novel's text bar
  TDBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr;
  TkxBarManager* kxBarManager1 = nullptr;
  TPopupMenu *leftTreePopupMenu = nullptr, *leftmoduleMenu = nullptr, *rightTreePopupMenu = nullptr,
             *roghtmoduleMenu = nullptr, *PopupMenu1 = nullptr, *leftEditorMenu = nullptr;

  // ---- state ----
  int CurrentView = 0;
  // The novel tree's root node id; -1 or 0: the whole tree.
  int FocusRoot = -1;
  TDBTxtEdit* CurrentEditor() const { return FCurrentEditor; }
  std::vector<TDBTxtEdit*> Editors() const;

  // ---- methods ----
  // The set-up run when the window is shown: fields of charts, editors and
  // trees, then the current view.
  void Setup();
  void SetCurrentView();
  void showDesignGrapgh();
  void showleft2DesignGrapgh();
  void showrightDesignGrapgh();
  // The timer's save: the library's tables, then the novel with the caret kept.
  void save();

  // ---- handlers ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Timer1Timer(TObject* Sender);
  void LeftTreeClick(TObject* Sender);
  void libChartClick(TObject* Sender);
  void kxDBTreeView1Click(TObject* Sender);
  void kxDbOrgChart1Click(TObject* Sender);
  void RightTreeClick(TObject* Sender);
  void storyChartClick(TObject* Sender);
  void libTreeCloseUp(TObject* Sender, bool Accept);
  void storyTreeCloseUp(TObject* Sender, bool Accept);
  void linkpathMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void linkpath2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void linkpath3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ColorBox1CloseUp(TObject* Sender);
  void ColorBox2CloseUp(TObject* Sender);
  void ColorBox3CloseUp(TObject* Sender);
  void leftkxDBInspector1Edited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void leftkxDBInspector2Edited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void rightDBInspector1Edited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void leftTxtEditEnter(TObject* Sender);
  void leftTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                              int Column, TTxtReplaceAction& Action);
  void rightTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                               int Column, TTxtReplaceAction& Action);
  void LeftTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void RightTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void LeftTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
  void RightTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);

  // ---- commands: library tree and chart ----
  void Add1Click(TObject* Sender);
  void Delete1Click(TObject* Sender);
  void Editor1Click(TObject* Sender);
  void Expand1Click(TObject* Sender);
  void Collapse1Click(TObject* Sender);
  void Refresh1Click(TObject* Sender);
  void N16Click(TObject* Sender);
  void N17Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N8Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void N10Click(TObject* Sender);
  // ---- novel tree and chart ----
  void MenuItem1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);
  void MenuItem3Click(TObject* Sender);
  void MenuItem4Click(TObject* Sender);
  void MenuItem5Click(TObject* Sender);
  void MenuItem6Click(TObject* Sender);
  void N13Click(TObject* Sender);
  void N28Click(TObject* Sender);
  void N31Click(TObject* Sender);
  void N32Click(TObject* Sender);
  void N33Click(TObject* Sender);
  void N34Click(TObject* Sender);
  void N35Click(TObject* Sender);
  void N36Click(TObject* Sender);
  void N37Click(TObject* Sender);
  void N38Click(TObject* Sender);
  void N40Click(TObject* Sender);
  void N42Click(TObject* Sender);
  void N43Click(TObject* Sender);
  void MenuItem7Click(TObject* Sender);
  void MenuItem8Click(TObject* Sender);
  void MenuItem9Click(TObject* Sender);
  void MenuItem11Click(TObject* Sender);
  void MenuItem12Click(TObject* Sender);
  void MenuItem13Click(TObject* Sender);
  // ---- template chart ----
  void MenuItem14Click(TObject* Sender);
  void MenuItem15Click(TObject* Sender);
  void MenuItem16Click(TObject* Sender);
  void MenuItem18Click(TObject* Sender);
  void MenuItem19Click(TObject* Sender);
  void MenuItem20Click(TObject* Sender);
  void N20Click(TObject* Sender);
  void N21Click(TObject* Sender);
  // ---- editors ----
  void Find1Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void FindNext1Click(TObject* Sender);
  void Replace1Click(TObject* Sender);
  // ---- flow charts ----
  void libflowchartBtnClick(TObject* Sender);
  void libflowchartSaveBtnClick(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void ToolButton8Click(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void ToolButton4Click(TObject* Sender);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void SetView(int View);
  void ShowNode(TADOTable* Table, TCheckBox* Box, TkxFlowChart* Chart, TADOTable* Narrative, TkxDBTreeView* Subtree);
  void DesignChart(TADOTable* Table, TkxFlowChart* Chart);
  static void SaveChart(TADOTable* Table, TkxFlowChart* Chart);
  static void SetChartColour(TADOTable* Table, TColorBox* Box);
  TDBTxtEdit* FCurrentEditor = nullptr;
};

// A story design window on Story's novel table, current view and focus root,
// and on the template its template list points at.
TStoryModuleDesigner* OpenStoryDesignWindow(TStoryWrite* Story);

void RegisterStoryDesign();
// Gives the story window its "故事设计" command.
void ProvideStoryDesign();
