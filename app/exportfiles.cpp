#include "app/exportfiles.h"

#include <memory>

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "app/storywrite.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/sysutils.h"

const char* const kExportDesignHeading = "\xC9\xE8\xBC\xC6";  // 设计
const char* const kExportBodyHeading = "\xD5\xFD\xCE\xC4";    // 正文
const char* const kExportSeparator = "------------------------------------";

// The tree works on its records only with a window; the form itself stays hidden.
void TExportToFileForm::FormCreate(TObject*) { tempTree->HandleNeeded(); }

void TExportToFileForm::attachTree(TkxDBTreeView* Tree) {
  tempTree->SetDataSource(nullptr);
  tempTree->SetParentField(Tree->ParentField());
  tempTree->SetKeyField(Tree->KeyField());
  tempTree->SetDisplayField(Tree->DisplayField());
  tempTree->SetDataSource(Tree->DataSource());
  for (TDBTxtEdit* e : {DBTxtEdit1, DBTxtEdit2}) e->SetDataSource(Tree->DataSource());
  for (TDBEdit* e : {DBEdit1, DBEdit2}) e->SetDataSource(Tree->DataSource());
}

void TExportToFileForm::exportFiles() {
  // The heading fields: the first display field, and the rest as one field.
  const AnsiString fields = tempTree->DisplayField();
  const std::size_t split = fields.find(';');
  const AnsiString first = split == AnsiString::npos ? AnsiString() : fields.substr(0, split);
  const AnsiString rest = split == AnsiString::npos ? fields : fields.substr(split + 1);
  // A field the table lacks fails here, before anything is written.
  if (TDataSet* table = tempTree->DataSource() ? tempTree->DataSource()->DataSet() : nullptr) {
    if (!first.empty()) table->FieldByName(first);
    if (!rest.empty()) table->FieldByName(rest);
  }
  DBEdit1->SetDataField(first);
  DBEdit2->SetDataField(rest);

  TStringList design, body;
  design.Add(kExportDesignHeading);
  body.Add(kExportBodyHeading);
  for (TTreeNode* node = tempTree->Items()->GetFirstNode(); node; node = node->GetNext()) {
    node->SetSelected(true);
    const AnsiString heading = DBEdit1->Text() + "    " + DBEdit2->Text();
    design.Add(heading);
    design.AddStrings(DBTxtEdit1->Lines());
    body.Add(heading);
    body.AddStrings(DBTxtEdit2->Lines());
  }
  design.Add(kExportSeparator);
  design.AddStrings(&body);

  TxtExporterHTML1->SetHighlighter(Highlighter);
  TxtExporterHTML1->SetExportAsText(true);
  TxtExporterHTML1->ExportAll(&design);
  TxtExporterHTML1->SaveToFile(Base + ".htm");
  TxtExporterRTF1->SetHighlighter(Highlighter);
  TxtExporterRTF1->SetExportAsText(false);
  TxtExporterRTF1->ExportAll(&design);
  TxtExporterRTF1->SaveToFile(Base + ".rtf");
  design.SaveToFile(Base + ".txt");
}

AnsiString ExportBase(const AnsiString& Root, const AnsiString& Name) {
  // The name is typed by the author: it must not lead out of the folder.
  AnsiString why;
  if (!ValidStoryName(Name, why)) throw EFCreateError(why);
  return Root + "out" + PathDelim + Name;
}

void TLibDataModule::ExportToFile(TkxDBTreeView* Tree, const AnsiString& Name) {
  const AnsiString base = ExportBase(Root, Name);
  std::unique_ptr<TExportToFileForm> form(NewObject<TExportToFileForm>(this));
  form->Base = base;
  form->Highlighter = TxtRules1;
  form->attachTree(Tree);
  form->exportFiles();
}

void RegisterExportToFileForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TExportToFileForm::StaticClass()});
  RegisterHandlers<TExportToFileForm>([](THandlerBuilder<TExportToFileForm>& h) {
    using F = TExportToFileForm;
    h.Field("tempTree", &F::tempTree);
    h.Field("DBTxtEdit1", &F::DBTxtEdit1);
    h.Field("DBTxtEdit2", &F::DBTxtEdit2);
    h.Field("DBEdit1", &F::DBEdit1);
    h.Field("DBEdit2", &F::DBEdit2);
    h.Field("TxtExporterHTML1", &F::TxtExporterHTML1);
    h.Field("TxtExporterRTF1", &F::TxtExporterRTF1);
    h.Handler("FormCreate", &F::FormCreate);
  });
}

void ProvideExportToFile() {
  StoryWindowHooks().ExportToFile = [](TkxDBTreeView* Tree, const AnsiString& Name) {
    LibDataModule->ExportToFile(Tree, Name);
  };
}
