// The library data module: the application's one data module, alive for the
// whole run. It owns the connection to the library file, a dataset for every
// library table that windows show or edit, the shared editor aids, the image
// lists and the one docking manager, and it holds the shared operations on
// tables and nodes. Windows bind to its data sources by name
// ("LibDataModule.libDS"), so the component names are part of its interface.
//
// Creating it opens nothing: the frame connects LibConnection and calls
// openTable.
#pragma once
#include <vector>

#include "docking/kxdockmanager.h"
#include "editor/txtautotyping.h"
#include "editor/txtcompletion.h"
#include "editor/txtedit.h"
#include "editor/txteditsearch.h"
#include "editor/txtrules.h"
#include "framework/uxlookandfeel.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"
#include "platform/db/ado.h"
#include "treechart/dborgchart.h"
#include "treechart/kxdbtreeview.h"

// The connection string of a library or story file at Path.
AnsiString LibConnectionString(const AnsiString& Path);

// The nine views of a node: parent field, order-label field and name.
struct TNodeView {
  const char* ParentField;
  const char* OrderField;
  const char* Name;  // CP936
};
constexpr int kNodeViewCount = 9;
const TNodeView& NodeView(int View);

class TConfirmReplaceDialog;

class TLibDataModule : public TDataModule {
  PV_CLASS(TLibDataModule, TDataModule)
 public:
  explicit TLibDataModule(TComponent* AOwner);
  ~TLibDataModule() override;

  // ---- components of the description ----
  TADOConnection* LibConnection = nullptr;
  TTxtEditSearch* TxtEditSearch = nullptr;
  TTxtEditRegexSearch* TxtEditRegexSearch = nullptr;
  TTxtRules* TxtRules1 = nullptr;
  TTxtCompletionProposal* TxtCompletionProposal1 = nullptr;
  TTxtAutoCorrect* TxtAutoCorrect1 = nullptr;
  TADOQuery* TableOpertion = nullptr;
  TuxLookAndFeelController* LookAndFeelController = nullptr;
  TColorDialog* ColorDialog = nullptr;
  TkxDockingManager* DockingManager = nullptr;
  TImageList* MainFormImageList = nullptr;
  TImageList* ChildFormImageList = nullptr;
  TImageList* chartImageList = nullptr;
  TImageList* sharpTypeImageList = nullptr;
  TImageList* IcoalignType = nullptr;
  TImageList* ChildrenItemImageList = nullptr;

  TADOTable* libAliasTable = nullptr;
  TADOTable* libTable = nullptr;
  TADOTable* storyAliasTable = nullptr;
  TADOTable* StoryTable = nullptr;
  TADOTable* storyAliasTable2 = nullptr;
  TADOTable* StoryTable2 = nullptr;
  TADOTable* memAliasTable = nullptr;
  TADOTable* MemTable = nullptr;
  TADOTable* MemTable2 = nullptr;
  TADOTable* MemTable3 = nullptr;
  TADOTable* libAliasTableTemp = nullptr;
  TADOTable* NodeTypeTable = nullptr;
  TADOTable* SystemSetADOTable = nullptr;
  TADOTable* CopyTreeTemp = nullptr;
  TADOTable* TableList = nullptr;
  TADOTable* TableForReplace = nullptr;

  TDataSource* libAliasDS = nullptr;
  TDataSource* libDS = nullptr;
  TDataSource* ComomDS = nullptr;
  TDataSource* storyAliasTableDS = nullptr;
  TDataSource* StoryDS = nullptr;
  TDataSource* storyAliasTable2DS = nullptr;
  TDataSource* StoryTable2DS = nullptr;
  TDataSource* memAliasTableDS = nullptr;
  TDataSource* MemTableDS = nullptr;
  TDataSource* MemTableDS2 = nullptr;
  TDataSource* MemTableDS3 = nullptr;
  TDataSource* NodeTypeDS = nullptr;
  TDataSource* SystemSetDS = nullptr;
  TDataSource* CopyTreeTempDS = nullptr;
  TDataSource* TableForReplaceDS = nullptr;

  void DataModuleCreate(TObject* Sender);

  // ---- state ----
  // The installation root, ending with the path delimiter; set by the frame.
  AnsiString Root;
  // The data-aware editor that last got the focus in any window; cleared
  // when that editor is freed.
  TControl* CurrentEditor = nullptr;

  // ---- paragraph formatting: each line trimmed, its blanks removed, mapped
  // to simplified characters and indented by four blanks ----
  // Every line, empty ones kept (as four blanks).
  void format(TCustomTxtEdit* Editor);
  // The same, lines that end up empty dropped.
  void formatAdvance(TCustomTxtEdit* Editor);
  // Text with traditional characters mapped to simplified ones; empty when
  // the mapping fails.
  static AnsiString ToSimplifiedChinese(const AnsiString& Text);

  // ---- editor settings (loaded and saved by the settings dialog) ----
  int FontSize = 0;
  bool ShowLineBar = false;
  bool ShowBottom = false;
  bool ColorSyntax = false;
  TColor EditorColor = clGradientInactiveCaption;
  TColor EditorFontColor = clBlack;
  // The templates built from the settings; owned by the settings dialog.
  TTxtAutoComplete* CurrentAutoComplete = nullptr;
  void SetCurrentAutoComplete(TTxtAutoComplete* Value);

  // The standard look of an editor, given once when its window shows.
  void initDBTxtEdit(TCustomTxtEdit* Editor);
  // Makes Editor current and gives it the settings and the editor aids; every
  // window calls it when one of its editors gets the focus.
  void setDefaultEditor(TCustomTxtEdit* Editor);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- find and replace in the current editor (shared by every window) ----
  bool SearchBackwards = false;
  bool SearchCaseSensitive = false;
  bool SearchFromCaret = false;
  bool SearchSelectionOnly = false;
  bool SearchWholeWords = false;
  bool SearchRegex = false;
  // Set after a search has run; until then a search covers the whole text.
  bool SearchTextAtCaret = false;
  AnsiString SearchText, SearchTextHistory, ReplaceText, ReplaceTextHistory;
  TConfirmReplaceDialog* ConfirmReplaceDialog = nullptr;
  // The find dialog, or the replace dialog with Replace; OK runs the search.
  void ShowSearchReplaceDialog(bool Replace);
  // Finds (or replaces) the search text in the current editor, if there is one.
  void DoSearchReplaceText(bool Replace, bool Backwards);
  // The editors' OnReplaceText: asks about each match.
  void TxtEditReplaceText(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace, int Line,
                          int Column, TTxtReplaceAction& Action);

  // ---- tables ----
  // Opens the alias lists and the first table of each; data-access errors
  // propagate.
  void openTable();
  // Commits the pending changes of the open library content tables.
  void save();
  // Creates a content table from systable and lists it in AliasDataSet with
  // DisplayName; the caller points TableOpertion's connection string at the
  // file first. Returns the new table's name.
  AnsiString CreateTable(TDataSet* AliasDataSet, const AnsiString& Prefix, const AnsiString& DisplayName);
  // The physical name of the narrative table whose memAlias key is Id (as
  // text); empty when no row has it or Id is no number.
  AnsiString GetTableNameByID(const AnsiString& Id);

  // ---- node operations (all on data-aware trees bound to content tables) ----
  void addNewRecord(TkxDBTreeView* Tree) { addNewRecordbyView(Tree, 0); }
  // Fills the defaults of the node just added and selected in Tree.
  void addNewRecordbyView(TkxDBTreeView* Tree, int View);
  // Copies SourceTree's selected node with its subtree under TargetTree's
  // selected node (at top level when none is selected).
  void copyTree(TkxDBTreeView* SourceTree, TkxDBTreeView* TargetTree);
  // Puts Tree's selected subtree on the node clipboard.
  void NodeCopy(TkxDBTreeView* Tree);
  // Pastes the node clipboard under Tree's selected node.
  void NodePost(TkxDBTreeView* Tree);
  // Sets FieldName to Value (as text) on the selected node and every node below it.
  void TreeSub(TkxDBTreeView* Tree, const AnsiString& FieldName, const AnsiString& Value);
  // Binds an organisation chart to the node's chart fields.
  void setFieldforOrgChart(TkxDbOrgChart* Chart);

  // ---- export ----
  // Writes the whole table behind Tree, arranged as Tree arranges it, as
  // Name.htm, Name.rtf and Name.txt in the installation's out folder.
  void ExportToFile(TkxDBTreeView* Tree, const AnsiString& Name);

 private:
  void FillImageLists();
  // Adds a child "节点" under TargetParent, selects it and writes the copied
  // fields of the source's current record (or Values) into it.
  void AddCopyOfCurrent(TkxDBTreeView* SourceTree, TkxDBTreeView* TargetTree, TTreeNode* TargetParent);
  void AddCopy(const std::vector<Variant>& Values, TkxDBTreeView* TargetTree, TTreeNode* TargetParent);
};

extern TLibDataModule* LibDataModule;

void RegisterLibDataModule();
