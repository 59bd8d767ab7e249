// The copy-between-files window: a library (*.l) or story (*.t) file on each
// side, each on a connection of the window's own. The author opens a file on
// each side, picks one of its lists and a table from the list, and drags
// subtrees from one tree onto a node of the other: every drop copies, with
// every field that both tables have. Records are written as each copy, edit
// or delete posts them; there is no save.
#pragma once
#include "platform/controls/buttons.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/db/ado.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

class TMainForm;

// One half of the window: its file, list and table.
struct TCopySide {
  TADOConnection* Connection = nullptr;
  TADOTable* AliasTable = nullptr;
  TADOTable* Table = nullptr;
  TEdit* Edit = nullptr;
  TComboBox* ComboBox = nullptr;
  TkxLookupTreeView* LookupTree = nullptr;
  TkxDBTreeView* Tree = nullptr;
  AnsiString Path;  // the file's path
  AnsiString Kind;  // its last two characters: ".l" or ".t"
};

class TDataTransform : public TForm {
  PV_CLASS(TDataTransform, TForm)
 public:
  explicit TDataTransform(TComponent* AOwner);

  // ---- components of the description ----
  TADOConnection *LeftConnection = nullptr, *RightConnection = nullptr;
  TADOTable *LeftAliasTable = nullptr, *RightAliasTable = nullptr;
  TDataSource *LeftAliasDS = nullptr, *RightAliasDS = nullptr;
  TADOTable *LeftTable = nullptr, *RightTable = nullptr;
  TDataSource *LeftDS = nullptr, *RightDS = nullptr;
  TSpeedButton *LeftButton = nullptr, *RightButton = nullptr;
  TEdit *LeftEdit = nullptr, *RightEdit = nullptr;
  TComboBox *LeftComboBox = nullptr, *RightComboBox = nullptr;
  TkxLookupTreeView *LeftLookupTree = nullptr, *RightLookupTree = nullptr;
  TkxDBTreeView *LeftTree = nullptr, *RightTree = nullptr;
  TPopupMenu *LeftMenu = nullptr, *RightMenu = nullptr;
  TOpenDialog* OpenDialog = nullptr;

  TCopySide& Left() { return FLeft; }
  TCopySide& Right() { return FRight; }

  // Takes the side's path from its box and evaluates it: the file kind
  // decides the lists, then the side connects to the file.
  void EvaluatePath(TCopySide& Side);

  // ---- handlers ----
  void LeftButtonClick(TObject* Sender);
  void RightButtonClick(TObject* Sender);
  void LeftEditKeyPress(TObject* Sender, char& Key);
  void RightEditKeyPress(TObject* Sender, char& Key);
  void LeftEditExit(TObject* Sender);
  void RightEditExit(TObject* Sender);
  void LeftComboBoxCloseUp(TObject* Sender);
  void RightComboBoxCloseUp(TObject* Sender);
  void LeftLookupTreeCloseUp(TObject* Sender, bool Accept);
  void RightLookupTreeCloseUp(TObject* Sender, bool Accept);
  void LeftTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void RightTreeDragDropIsCopy(TTreeNode* Destination, TTreeNode* Source, bool& IsCopy);
  void LeftTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
  void RightTreeDragDropTreeNode(TTreeNode* Destination, TTreeNode* Source, bool& Accept);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void N3Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  void OpenFile(TCopySide& Side);
  void PathTyped(TCopySide& Side, char& Key);
  void PathLeft(TCopySide& Side);
  void ChooseList(TCopySide& Side);
  void ChooseTable(TCopySide& Side, TObject* Picker);
  void DeleteNode(TkxDBTreeView* Tree);
  void EditNode(TkxDBTreeView* Tree);

  TCopySide FLeft, FRight;
};

// A new copy window owned by the frame, at normal size, centred on it.
TDataTransform* OpenCopyWindow(TMainForm* Frame);

void RegisterCopyFiles();
// Gives the frame its "复制" command.
void ProvideCopyWindow();
