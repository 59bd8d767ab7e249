// The story name dialog: the novel tables of one story window's file as a
// tree of their alias rows, where the author renames the selected one (its
// display name tsortid; the physical table name tname is only shown).
#pragma once
#include "platform/controls/buttons.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/forms.h"
#include "treechart/kxdbtreeview.h"

class TStoryWrite;

class TStoryNameForm : public TForm {
  PV_CLASS(TStoryNameForm, TForm)
 public:
  explicit TStoryNameForm(TComponent* AOwner) : TForm(AOwner) {}

  TkxDBTreeView* FolderTree = nullptr;
  TDBText* DBText1 = nullptr;
  TDBEdit* DBEdit2 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;

  // Binds the tree and the two fields to an alias list.
  void Bind(TDataSource* AliasSource);

  void FormShow(TObject* Sender);
  // Stores the new name and refreshes the alias list, so the tree and the
  // story window's novel picker show it.
  void DBEdit2Exit(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
};

// The command "别名": the dialog on Window's alias list, shown modally.
void ShowStoryNameDialog(TStoryWrite* Window);

void RegisterStoryNameForm();
// Gives the story window its command.
void ProvideStoryNameDialog();
