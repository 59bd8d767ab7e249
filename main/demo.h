// The demonstration form the program shows until the workbench is built: a tree
// of a story, an edit box with Chinese text, buttons, a status panel and a main
// menu, read from its window description (res/forms/TFrmDemo.txt).
//
// When PENVARRO_EVENT_LOG names a file, the form appends to it (UTF-8, one line
// each) what it was asked to do: "copy", "paste", "button exit", "menu exit",
// and when it closes "exit" and "edit=<the edit box's text>".
#pragma once
#include "platform/controls/comctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"

class TFrmDemo : public TForm {
  PV_CLASS(TFrmDemo, TForm)
 public:
  explicit TFrmDemo(TComponent* AOwner) : TForm(AOwner) {}

  TTreeView* Tree = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* CopyBtn = nullptr;
  TButton* PasteBtn = nullptr;
  TButton* ExitBtn = nullptr;
  TPanel* Status = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* Exit1 = nullptr;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void CopyClick(TObject* Sender);
  void PasteClick(TObject* Sender);
  void ExitBtnClick(TObject* Sender);
  void ExitMenuClick(TObject* Sender);
};

// Registers the form class and its handler table (after InitControls).
void RegisterDemoForm();
// Registers the program's own embedded resources (generated from main/res).
void InitDemoResources();
