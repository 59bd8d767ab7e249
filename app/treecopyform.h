// The node clipboard's window: a hidden form created at start-up and never
// shown. Its one data-aware tree, bound to the library's CopyTreeTemp table,
// holds the last copied subtree (also across runs, since the table is in the
// library file).
#pragma once
#include "platform/controls/forms.h"
#include "treechart/kxdbtreeview.h"

class TTreeCopyForm : public TForm {
  PV_CLASS(TTreeCopyForm, TForm)
 public:
  explicit TTreeCopyForm(TComponent* AOwner);
  ~TTreeCopyForm() override;
  TkxDBTreeView* Tree = nullptr;
  void FormCreate(TObject* Sender);
};

extern TTreeCopyForm* TreeCopyForm;

void RegisterTreeCopyForm();
