// The narrative-element window: the MDI child in which the author edits the
// library's narrative elements, the trees of the tables that the memAlias
// list names and that design elements, templates and story nodes link to.
// The chosen table is the data module's shared MemTable, so following a link
// in another window switches the table shown here.
#pragma once
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
#include "treechart/dborgchart.h"
#include "treechart/flowchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TMainForm;

class TMetaDataForm : public TForm {
  PV_CLASS(TMetaDataForm, TForm)
 public:
  explicit TMetaDataForm(TComponent* AOwner) : TForm(AOwner) {}

  // ---- components of the description ----
  TkxDockPanel *leftPanel1 = nullptr, *leftPanel2 = nullptr, *kxDockPanel1 = nullptr, *kxDockPanel2 = nullptr,
               *kxDockPanel3 = nullptr;
  TkxDBTreeView* LibraryTree = nullptr;
  TkxLookupTreeView* TableAlisTree = nullptr;
  TkxDBLookupTreeView *Ttype = nullptr, *linktable = nullptr, *linkpath = nullptr;
  TDBTxtEdit *MetedateText2TxtEdit = nullptr, *MetedateText1TxtEdit = nullptr;
  TkxFlowChart* kxFlowChart1 = nullptr;
  TkxDbOrgChart* MduleOrgChart = nullptr;
  TkxDBInspector* kxDBInspector = nullptr;
  TDBEdit *DBEdit4 = nullptr, *DBEdit5 = nullptr;
  TColorBox* ColorBox1 = nullptr;
  TCheckBox* showGrapgh = nullptr;
  TTimer* Timer1 = nullptr;
  TPopupMenu* ChartPopupMenu = nullptr;
  TkxBarManager* kxBarManager1 = nullptr;
  TkxBarPopupMenu *lefttreePopupMenu = nullptr, *EditTextPopMenu = nullptr;

  // ---- state ----
  // The data-aware editor of this window that last got the focus; null until
  // one of them has had it.
  TCustomTxtEdit* RememberedEditor() const { return FRememberedEditor; }

  // ---- methods ----
  void OpenLibFile();
  // Commits the narrative table, keeping the remembered editor's caret.
  void save();
  // Commits the design-element table.
  void libsave();
  // Shows the current node's flow chart when asked for.
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
  void N11Click(TObject* Sender);
  void N12Click(TObject* Sender);
  void N14Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void Find1Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void FindNext1Click(TObject* Sender);
  void Replace1Click(TObject* Sender);
  void Format1Click(TObject* Sender);
  void kxBarButton6Click(TObject* Sender);
  void kxBarButton7Click(TObject* Sender);
  void kxBarButton8Click(TObject* Sender);
  void ChartEditorClick(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N7Click(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void LibraryTreeClick(TObject* Sender);
  void LibraryTreeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MetedateText2TxtEditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TableAlisTreeCloseUp(TObject* Sender, bool Accept);
  void ColorBox1CloseUp(TObject* Sender);
  void kxDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row);
  void MetedateText2TxtEditEnter(TObject* Sender);
  void Text1TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                               int Column, TTxtReplaceAction& Action);
  void LibraryTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TCustomTxtEdit* FRememberedEditor = nullptr;
};

// A new narrative-element window owned by the application, maximized, with
// the frame's bar style, its tree ready to show a table.
TMetaDataForm* NewNarrativeWindow(TMainForm* Frame);

// Lets the frame's "叙述分子" open narrative-element windows.
void ProvideNarrativeWindow();
void RegisterNarrativeWindow();
