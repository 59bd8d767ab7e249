#include "app/treecopyform.h"

#include "platform/classes/typinfo.h"

TTreeCopyForm* TreeCopyForm = nullptr;

TTreeCopyForm::TTreeCopyForm(TComponent* AOwner) : TForm(AOwner) { TreeCopyForm = this; }

TTreeCopyForm::~TTreeCopyForm() {
  if (TreeCopyForm == this) TreeCopyForm = nullptr;
}

// The tree works on its records only with a window; the form itself stays hidden.
void TTreeCopyForm::FormCreate(TObject*) { Tree->HandleNeeded(); }

void RegisterTreeCopyForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TTreeCopyForm::StaticClass()});
  RegisterHandlers<TTreeCopyForm>([](THandlerBuilder<TTreeCopyForm>& h) {
    h.Field("Tree", &TTreeCopyForm::Tree);
    h.Handler("FormCreate", &TTreeCopyForm::FormCreate);
  });
}
