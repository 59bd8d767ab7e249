#include "app/copyfiles.h"

#include "app/libdatamodule.h"
#include "app/libwindow.h"
#include "app/mainform.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/sysutils.h"

namespace copyfiles_impl {

// Penvarro 文档 |*.l;*.t
const char* const kFileFilter = "Penvarro \xCE\xC4\xB5\xB5 |*.l;*.t";
// 小说; 叙述, 设计, 模板
const char* const kNovelList = "\xD0\xA1\xCB\xB5";
const char* const kLibraryLists[] = {"\xD0\xF0\xCA\xF6", "\xC9\xE8\xBC\xC6", "\xC4\xA3\xB0\xE5"};
// The alias tables of a library's three lists, in the chooser's order.
const char* const kLibraryAliasTables[] = {"memAlias", "TableAlias", "storyAliasTable"};
// 删除; 你将删除所属所有节点,并且无法恢复!请输入:delete
const char* const kDeleteCaption = "\xC9\xBE\xB3\xFD";
const char* const kDeletePrompt =
    "\xC4\xE3\xBD\xAB\xC9\xBE\xB3\xFD\xCB\xF9\xCA\xF4\xCB\xF9\xD3\xD0\xBD\xDA\xB5\xE3,\xB2\xA2\xC7\xD2\xCE\xDE"
    "\xB7\xA8\xBB\xD6\xB8\xB4!\xC7\xEB\xCA\xE4\xC8\xEB:delete";

// The last two bytes of a path: its file kind.
AnsiString KindOf(const AnsiString& Path) { return Path.size() <= 2 ? Path : Path.substr(Path.size() - 2); }

}  // namespace copyfiles_impl

using namespace copyfiles_impl;

TDataTransform::TDataTransform(TComponent* AOwner) : TForm(AOwner) {}

void TDataTransform::FormCreate(TObject*) {
  FLeft = {LeftConnection, LeftAliasTable, LeftTable, LeftEdit, LeftComboBox, LeftLookupTree, LeftTree, "", ""};
  FRight = {RightConnection, RightAliasTable, RightTable, RightEdit, RightComboBox, RightLookupTree, RightTree, "", ""};
}

// ---------------------------------------------------------------------------
// files

void TDataTransform::EvaluatePath(TCopySide& Side) {
  Side.Path = Trim(Side.Edit->Text());
  Side.Kind = KindOf(Side.Path);
  if (Side.Path.empty() || Side.Kind.empty()) return;
  // The kind is compared exactly: ".L" is no library.
  if (Side.Kind != ".l" && Side.Kind != ".t") {
    ShowMessage(kBadFileFormat);
    return;
  }
  TStrings* items = Side.ComboBox->Items();
  items->Clear();
  if (Side.Kind == ".t") {
    items->Add(kNovelList);
  } else {
    for (const char* list : kLibraryLists) items->Add(list);
  }
  Side.ComboBox->SetItemIndex(0);
  Side.Connection->Close();
  Side.Connection->SetConnectionString(LibConnectionString(Side.Path));
  try {
    Side.Connection->Open();
  } catch (const Exception&) {
    Side.Connection->Close();
    ShowMessage(kBadFileFormat);
  }
}

void TDataTransform::OpenFile(TCopySide& Side) {
  OpenDialog->SetFilter(kFileFilter);
  if (OpenDialog->Execute()) Side.Edit->SetText(OpenDialog->FileName());
  EvaluatePath(Side);
}

void TDataTransform::LeftButtonClick(TObject*) { OpenFile(FLeft); }
void TDataTransform::RightButtonClick(TObject*) { OpenFile(FRight); }

// The path is evaluated when Enter is pressed in the box or the box is left
// with another path in it; keys typed in between only edit the text.
void TDataTransform::PathTyped(TCopySide& Side, char& Key) {
  if (Key != '\r') return;
  Key = 0;
  EvaluatePath(Side);
}

void TDataTransform::PathLeft(TCopySide& Side) {
  if (Trim(Side.Edit->Text()) != Side.Path) EvaluatePath(Side);
}

void TDataTransform::LeftEditKeyPress(TObject*, char& Key) { PathTyped(FLeft, Key); }
void TDataTransform::RightEditKeyPress(TObject*, char& Key) { PathTyped(FRight, Key); }
void TDataTransform::LeftEditExit(TObject*) { PathLeft(FLeft); }
void TDataTransform::RightEditExit(TObject*) { PathLeft(FRight); }

// ---------------------------------------------------------------------------
// lists and tables

void TDataTransform::ChooseList(TCopySide& Side) {
  Side.AliasTable->Close();
  AnsiString name;
  if (Side.Kind == ".l") {
    const int i = Side.ComboBox->ItemIndex();
    if (i >= 0 && i < 3) name = kLibraryAliasTables[i];
  } else if (Side.Kind == ".t") {
    name = "ClientUserTable";
  }
  Side.AliasTable->SetTableName(name);
  if (!name.empty()) Side.AliasTable->Open();
}

void TDataTransform::ChooseTable(TCopySide& Side, TObject* Picker) {
  // The picked row becomes the list's current row.
  if (!PickedAliasRow(Picker, Side.AliasTable)) return;
  const AnsiString name = Side.AliasTable->FieldByName("tname")->AsString();
  try {
    Side.Table->Close();
    Side.Table->SetTableName(name);
    Side.Table->Open();
    Side.Tree->FullExpand();
  } catch (const Exception&) {
    // A table that will not open leaves the tree empty, without a message.
  }
}

void TDataTransform::LeftComboBoxCloseUp(TObject*) { ChooseList(FLeft); }
void TDataTransform::RightComboBoxCloseUp(TObject*) { ChooseList(FRight); }
void TDataTransform::LeftLookupTreeCloseUp(TObject* Sender, bool) { ChooseTable(FLeft, Sender); }
void TDataTransform::RightLookupTreeCloseUp(TObject* Sender, bool) { ChooseTable(FRight, Sender); }

// ---------------------------------------------------------------------------
// drops: every drop copies, onto any node

void TDataTransform::LeftTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }
void TDataTransform::RightTreeDragDropIsCopy(TTreeNode*, TTreeNode*, bool& IsCopy) { IsCopy = true; }
void TDataTransform::LeftTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }
void TDataTransform::RightTreeDragDropTreeNode(TTreeNode*, TTreeNode*, bool& Accept) { Accept = true; }

// ---------------------------------------------------------------------------
// node menus

void TDataTransform::DeleteNode(TkxDBTreeView* Tree) {
  auto* sel = dynamic_cast<TkxDBTreeNode*>(Tree->Selected());
  if (!sel) return;
  if (!sel->HasChildren()) {
    DeleteLeafNode(Tree);
    return;
  }
  // A whole subtree goes only when the word is typed exactly, and only when
  // the window was not closed while the question was open.
  const Variant key = sel->RecordKey();
  TFreeWatch tree(Tree);
  AnsiString answer;
  if (!InputQuery(kDeleteCaption, kDeletePrompt, answer) || answer != "delete" || !tree.Alive()) return;
  if (TkxDBTreeNode* node = Tree->FindNodeByKey(key)) node->Delete();
}

void TDataTransform::EditNode(TkxDBTreeView* Tree) {
  if (TTreeNode* sel = Tree->Selected()) sel->EditText();
}

void TDataTransform::N1Click(TObject*) { DeleteNode(LeftTree); }
void TDataTransform::N2Click(TObject*) { DeleteNode(RightTree); }
void TDataTransform::N3Click(TObject*) { EditNode(LeftTree); }
void TDataTransform::N4Click(TObject*) { EditNode(RightTree); }

void TDataTransform::FormClose(TObject*, TCloseAction& Action) {
  RightConnection->Close();
  LeftConnection->Close();
  Action = caFree;
}

// ---------------------------------------------------------------------------
// start-up

TDataTransform* OpenCopyWindow(TMainForm* Frame) {
  // Like every window but the story window, owned by the application.
  auto* w = NewObject<TDataTransform>(Application);
  // centred on the frame, unless it came up maximised over a maximised child
  if (Frame && w->WindowState() == wsNormal) {
    RECT client{};
    if (HWND c = Frame->ClientHandle()) GetClientRect(c, &client);
    w->SetLeft(std::max(0, (int(client.right) - w->Width()) / 2));
    w->SetTop(std::max(0, (int(client.bottom) - w->Height()) / 2));
  }
  return w;
}

void ProvideCopyWindow() {
  FrameWindows().NewCopyWindow = [](TMainForm* Frame) { OpenCopyWindow(Frame); };
}

void RegisterCopyFiles() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TDataTransform::StaticClass()});
  RegisterHandlers<TDataTransform>([](THandlerBuilder<TDataTransform>& h) {
    using F = TDataTransform;
    h.Field("LeftConnection", &F::LeftConnection);
    h.Field("RightConnection", &F::RightConnection);
    h.Field("LeftAliasTable", &F::LeftAliasTable);
    h.Field("RightAliasTable", &F::RightAliasTable);
    h.Field("LeftAliasDS", &F::LeftAliasDS);
    h.Field("RightAliasDS", &F::RightAliasDS);
    h.Field("LeftTable", &F::LeftTable);
    h.Field("RightTable", &F::RightTable);
    h.Field("LeftDS", &F::LeftDS);
    h.Field("RightDS", &F::RightDS);
    h.Field("LeftButton", &F::LeftButton);
    h.Field("RightButton", &F::RightButton);
    h.Field("LeftEdit", &F::LeftEdit);
    h.Field("RightEdit", &F::RightEdit);
    h.Field("LeftComboBox", &F::LeftComboBox);
    h.Field("RightComboBox", &F::RightComboBox);
    h.Field("LeftLookupTree", &F::LeftLookupTree);
    h.Field("RightLookupTree", &F::RightLookupTree);
    h.Field("LeftTree", &F::LeftTree);
    h.Field("RightTree", &F::RightTree);
    h.Field("LeftMenu", &F::LeftMenu);
    h.Field("RightMenu", &F::RightMenu);
    h.Field("OpenDialog", &F::OpenDialog);
    h.Handler("LeftButtonClick", &F::LeftButtonClick);
    h.Handler("RightButtonClick", &F::RightButtonClick);
    h.Handler("LeftEditKeyPress", &F::LeftEditKeyPress);
    h.Handler("RightEditKeyPress", &F::RightEditKeyPress);
    h.Handler("LeftEditExit", &F::LeftEditExit);
    h.Handler("RightEditExit", &F::RightEditExit);
    h.Handler("LeftComboBoxCloseUp", &F::LeftComboBoxCloseUp);
    h.Handler("RightComboBoxCloseUp", &F::RightComboBoxCloseUp);
    h.Handler("LeftLookupTreeCloseUp", &F::LeftLookupTreeCloseUp);
    h.Handler("RightLookupTreeCloseUp", &F::RightLookupTreeCloseUp);
    h.Handler("LeftTreeDragDropIsCopy", &F::LeftTreeDragDropIsCopy);
    h.Handler("RightTreeDragDropIsCopy", &F::RightTreeDragDropIsCopy);
    h.Handler("LeftTreeDragDropTreeNode", &F::LeftTreeDragDropTreeNode);
    h.Handler("RightTreeDragDropTreeNode", &F::RightTreeDragDropTreeNode);
    h.Handler("N1Click", &F::N1Click);
    h.Handler("N2Click", &F::N2Click);
    h.Handler("N3Click", &F::N3Click);
    h.Handler("N4Click", &F::N4Click);
    h.Handler("FormCreate", &F::FormCreate);
    h.Handler("FormClose", &F::FormClose);
  });
}
