// The template window: the MDI child in which the author builds story
// templates out of design elements. The library's design-element table (with
// the narrative subtree its node links to) stands on the left, a template
// table on the right; nodes dragged from one tree to the other are copied
// with their subtrees. Both sides are the data module's shared datasets.
#pragma once
#include "app/libdatamodule.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "docking/kxdockpanel.h"
#include "editor/txtdbedit.h"
#include "inspector/kxdbinsp.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TMainForm;

class TStoryDesigner : public TForm {
  PV_CLASS(TStoryDesigner, TForm)
 public:
  explicit TStoryDesigner(TComponent* AOwner) : TForm(AOwner) {}

  // ---- components of the description ----
  TkxDockPanel *kxDockPanel24 = nullptr, *kxDockPanel25 = nullptr, *kxDockPanel1 = nullptr, *kxDockPanel2 = nullptr,
               *kxDockPanel3 = nullptr, *kxDockPanel5 = nullptr, *kxDockPanel16 = nullptr, *kxDockPanel17 = nullptr,
               *kxDockPanel4 = nullptr, *kxDockPanel7 = nullptr, *kxDockPanel8 = nullptr;
  TkxDBTreeView *LeftTree = nullptr, *RightTree = nullptr, *memTree = nullptr;
  TkxLookupTreeView *LibRegionTree = nullptr, *kxLookupTreeView1 = nullptr;
  TkxDBLookupTreeView *linktable = nullptr, *linkpath = nullptr, *NoteType = nullptr, *kxDBLookupTreeView3 = nullptr,
                      *kxDBLookupTreeView4 = nullptr, *kxDBLookupTreeView5 = nullptr;
  TDBTxtEdit *leftTxtEdit = nullptr, *rightTxtEdit = nullptr, *DBTxtEdit1 = nullptr;
  TkxFlowChart *libFlowChart = nullptr, *rightFlowChart = nullptr;
  TkxDbOrgChart *libChart = nullptr, *storyChart = nullptr;
  TkxDBInspector *leftkxDBInspector = nullptr, *rightDBInspector = nullptr;
  TColorBox *ColorBox1 = nullptr, *ColorBox2 = nullptr;
  TCheckBox *showGrapgh1 = nullptr, *showGrapgh2 = nullptr;
  TPopupMenu *leftTreePopupMenu = nullptr, *rightTreePopupMenu = nullptr, *leftmoduleMenu = nullptr,
             *roghtmoduleMenu = nullptr, *leftEditorMenu = nullptr;
  TkxBarManager* kxBarManager1 = nullptr;

  // ---- methods ----
  // The left node's flow chart (when asked for) and its linked narrative subtree.
  void showDesignGrapgh();
  // The template node's flow chart, when asked for.
  void showrightDesignGrapgh();

  // ---- handlers: the left tree ----
  void Add1Click(TObject* Sender);
  void Delete1Click(TObject* Sender);
  void Editor1Click(TObject* Sender);
  void Expand1Click(TObject* Sender);
  void Collapse1Click(TObject* Sender);
  void Refresh1Click(TObject* Sender);
  void N16Click(TObject* Sender);
  void N17Click(TObject* Sender);
  // ---- the right tree ----
  void MenuItem1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);
  void MenuItem3Click(TObject* Sender);
  void MenuItem4Click(TObject* Sender);
  void MenuItem5Click(TObject* Sender);
  void MenuItem6Click(TObject* Sender);
  void N20Click(TObject* Sender);
  void N21Click(TObject* Sender);
  void N24Click(TObject* Sender);
  // ---- the organisation charts ----
  void N4Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N8Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void N10Click(TObject* Sender);
  void N3Click(TObject* Sender);
  void N22Click(TObject* Sender);
  void MenuItem7Click(TObject* Sender);
  void MenuItem8Click(TObject* Sender);
  void MenuItem9Click(TObject* Sender);
  void MenuItem11Click(TObject* Sender);
  void MenuItem12Click(TObject* Sender);
  void MenuItem13Click(TObject* Sender);
  void N14Click(TObject* Sender);
  void N23Click(TObject* Sender);
  // ---- find and replace ----
  void Find1Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void FindNext1Click(TObject* Sender);
  void Replace1Click(TObject* Sender);
  // ---- the flow charts ----
  void libflowchartBtnClick(TObject* Sender);
  void libflowchartSaveBtnClick(TObject* Sender);
  void rightFlowChartClick(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void ToolButton4Click(TObject* Sender);
  // ---- events ----
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void LeftTreeClick(TObject* Sender);
  void libChartClick(TObject* Sender);
  void RightTreeClick(TObject* Sender);
  void storyChartClick(TObject* Sender);
  void LibRegionTreeCloseUp(TObject* Sender, bool Accept);
  void kxLookupTreeView1CloseUp(TObject* Sender, bool Accept);
  void kxDBLookupTreeView3CloseUp(TObject* Sender, bool Accept);
  void linkpathMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void kxDBLookupTreeView4MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ColorBox1CloseUp(TObject* Sender);
  void ColorBox2CloseUp(TObject* Sender);
  void leftkxDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void rightDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void leftTxtEditEnter(TObject* Sender);
  void leftTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                              int Column, TTxtReplaceAction& Action);
  void rightTxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                               int Column, TTxtReplaceAction& Action);
  void LeftTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void RightTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void LeftTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
  void RightTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
};

// A new template window owned by the application, maximized, with the
// frame's bar style.
TStoryDesigner* NewTemplateWindow(TMainForm* Frame);

// Lets the frame's "设计模板" and "叙事模板" open template windows.
void ProvideTemplateWindow();
void RegisterTemplateWindow();
