#include "app/libreplace.h"

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/novelreplace.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/sysutils.h"

TSearchallForm::TSearchallForm(TComponent* AOwner) : TForm(AOwner) {}

// ---------------------------------------------------------------------------
// replacing

void TSearchallForm::SpeedButton1Click(TObject*) {
  if (Trim(Edit1->Text()).empty()) return;
  TADOTable* list = LibDataModule->TableList;
  TADOTable* table = LibDataModule->TableForReplace;
  // Not case-sensitive, not whole words; the replacement goes in literally.
  TxtEditSearch->SetSearchOptions(TTxtSearchFlags{sfReplace, sfReplaceAll, sfPromptOnReplace});
  list->Open();
  list->First();
  while (!list->Eof()) {
    table->Close();
    table->SetTableName(list->FieldByName("Name")->AsString());
    table->Open();
    TxtEditSearch->SetPattern(Trim(Edit1->Text()));
    const AnsiString replacement = Trim(Edit2->Text());
    // The hidden editor would reload with every record: it looks away meanwhile.
    table->DisableControls();
    try {
      table->First();
      while (!table->Eof()) {
        table->Edit();
        for (const char* name : {"ttext1", "ttext2"}) {
          TField* f = table->FieldByName(name);
          AnsiString text = f->AsString();
          if (ReplaceAllInText(*TxtEditSearch, text, replacement) > 0) f->SetAsString(text);
        }
        table->Post();
        table->Next();
      }
    } catch (...) {
      table->EnableControls();
      throw;
    }
    table->EnableControls();
    list->Next();
  }
  table->Close();
  list->Close();
}

// ---------------------------------------------------------------------------
// the alias-list browser

void TSearchallForm::ComboBox1CloseUp(TObject*) {
  TLibDataModule* m = LibDataModule;
  switch (ComboBox1->ItemIndex()) {
    case 0: m->ComomDS = m->libAliasDS; break;
    case 1: m->ComomDS = m->memAliasTableDS; break;
    case 2:
    case 3: m->ComomDS = m->storyAliasTableDS; break;
    case 4: m->ComomDS = m->NodeTypeDS; break;
    default: break;  // 小说别名: the list stays
  }
  kxDBTreeView1->SetDataSource(m->ComomDS);
}

void TSearchallForm::kxDBTreeView1Click(TObject*) {
  TDataSource* src = LibDataModule->ComomDS;
  TDataSet* ds = src ? src->DataSet() : nullptr;
  if (!ds || !ds->Active() || ds->IsEmpty()) return;
  const AnsiString name = ds->FieldByName("tname")->AsString();
  if (name.empty()) return;
  TADOTable* t = LibDataModule->TableForReplace;
  t->Close();
  t->SetTableName(name);
  t->Open();
}

void TSearchallForm::kxDockPanel1Activate(TkxCustomDockControl*, bool Active) {
  if (Active) LibDataModule->ComomDS = LibDataModule->libAliasDS;
}

void TSearchallForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

// ---------------------------------------------------------------------------
// start-up

TSearchallForm* OpenLibraryReplaceWindow(TMainForm* Frame) {
  // Like every window but the story window, owned by the application.
  auto* w = NewObject<TSearchallForm>(Application);
  w->SetWindowState(wsMaximized);
  return w;
}

void ProvideLibraryReplace() {
  FrameWindows().NewLibraryReplaceWindow = [](TMainForm* Frame) { OpenLibraryReplaceWindow(Frame); };
}

void RegisterLibraryReplace() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TSearchallForm::StaticClass()});
  RegisterHandlers<TSearchallForm>([](THandlerBuilder<TSearchallForm>& h) {
    using F = TSearchallForm;
    h.Field("kxDockPanel1", &F::kxDockPanel1);
    h.Field("kxDockPanel2", &F::kxDockPanel2);
    h.Field("ComboBox1", &F::ComboBox1);
    h.Field("kxDBTreeView1", &F::kxDBTreeView1);
    h.Field("Edit1", &F::Edit1);
    h.Field("Edit2", &F::Edit2);
    h.Field("SpeedButton1", &F::SpeedButton1);
    h.Field("DBTxtEdit1", &F::DBTxtEdit1);
    h.Field("TxtEditSearch", &F::TxtEditSearch);
    h.Handler("SpeedButton1Click", &F::SpeedButton1Click);
    h.Handler("ComboBox1CloseUp", &F::ComboBox1CloseUp);
    h.Handler("kxDBTreeView1Click", &F::kxDBTreeView1Click);
    h.Handler("kxDockPanel1Activate", &F::kxDockPanel1Activate);
    h.Handler("FormClose", &F::FormClose);
  });
}
