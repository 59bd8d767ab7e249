// The library-wide replace window: replaces one text by another in the design
// notes and body texts of every record of every content table that the
// library's `tables` list names. Beside it, a browser of the library's alias
// lists. Every record is posted as it is replaced; the window saves nothing.
#pragma once
#include "docking/kxdockpanel.h"
#include "editor/txtdbedit.h"
#include "editor/txteditsearch.h"
#include "platform/controls/buttons.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "treechart/kxdbtreeview.h"

class TMainForm;

class TSearchallForm : public TForm {
  PV_CLASS(TSearchallForm, TForm)
 public:
  explicit TSearchallForm(TComponent* AOwner);

  // ---- components of the description ----
  TkxDockPanel* kxDockPanel1 = nullptr;  // 查找
  TkxDockPanel* kxDockPanel2 = nullptr;  // 替换
  TComboBox* ComboBox1 = nullptr;
  TkxDBTreeView* kxDBTreeView1 = nullptr;
  TEdit* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TDBTxtEdit* DBTxtEdit1 = nullptr;
  TTxtEditSearch* TxtEditSearch = nullptr;

  // ---- handlers ----
  void SpeedButton1Click(TObject* Sender);
  void ComboBox1CloseUp(TObject* Sender);
  void kxDBTreeView1Click(TObject* Sender);
  void kxDockPanel1Activate(TkxCustomDockControl* Sender, bool Active);
  void FormClose(TObject* Sender, TCloseAction& Action);
};

// A new library-wide replace window, maximized, owned by the frame.
TSearchallForm* OpenLibraryReplaceWindow(TMainForm* Frame);

void RegisterLibraryReplace();
// Gives the frame its "查找" command.
void ProvideLibraryReplace();
