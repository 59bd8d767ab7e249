// Export of a node table to files: every node's design notes under "设计",
// then every node's body text under "正文", each node headed by its order
// label and name, written as plain text, RTF and HTML (coloured by the shared
// rule highlighter) into the installation's out folder. The work is done by a
// hidden form made for one export; TLibDataModule::ExportToFile is the entry.
#pragma once
#include "editor/txtdbedit.h"
#include "editor/txtexport.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/forms.h"
#include "treechart/kxdbtreeview.h"

// "设计" and "正文", the headings of the two parts, and the line of 36 '-'
// between them (CP936).
extern const char* const kExportDesignHeading;
extern const char* const kExportBodyHeading;
extern const char* const kExportSeparator;

class TExportToFileForm : public TForm {
  PV_CLASS(TExportToFileForm, TForm)
 public:
  explicit TExportToFileForm(TComponent* AOwner) : TForm(AOwner) {}

  TkxDBTreeView* tempTree = nullptr;
  TDBTxtEdit *DBTxtEdit1 = nullptr, *DBTxtEdit2 = nullptr;
  TDBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr;
  TTxtExporterHTML* TxtExporterHTML1 = nullptr;
  TTxtExporterRTF* TxtExporterRTF1 = nullptr;

  // The files are Base + ".htm", ".rtf" and ".txt".
  AnsiString Base;
  TTxtCustomHighlighter* Highlighter = nullptr;

  void FormCreate(TObject* Sender);
  // Loads the whole table behind Tree, arranged by Tree's parent field, with
  // Tree's display fields, and binds the fields to Tree's data source.
  void attachTree(TkxDBTreeView* Tree);
  // Walks the nodes in tree order and writes the three files.
  void exportFiles();
};

// The folder and base name of an export of the table shown as Name, under
// the installation Root; a name that is no plain file name (a path separator,
// "..", a control character) raises EFCreateError and nothing is written.
AnsiString ExportBase(const AnsiString& Root, const AnsiString& Name);

void RegisterExportToFileForm();
// Gives the story window its export command.
void ProvideExportToFile();
