// The settings dialog: loads the editor settings and aids from the library's
// settings table into the library data module, edits the template,
// completion and correction rows and the alias lists, and saves the options
// and the colouring rules back. The frame creates it once and keeps it for
// the whole run.
#pragma once
#include "editor/txtautotyping.h"
#include "editor/txtcompletion.h"
#include "editor/txtedit.h"
#include "platform/controls/buttons.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/dbgrids.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "treechart/kxdbtreeview.h"

// The settings row types.
constexpr int kSetRules = 107;
constexpr int kSetTemplate = 110;
constexpr int kSetCompletion = 120;
constexpr int kSetCorrection = 130;
constexpr int kSetAlias = 150;

// The auto-complete list of one template row: the token, its description and
// the template's lines (the row's text with ";" after it). A row whose
// shortcut cannot be a token (empty, or starting with "=" or "|") gives none.
void AddTemplateRow(TStrings* List, const AnsiString& Shortcut, const AnsiString& Text);

class TExportset : public TForm {
  PV_CLASS(TExportset, TForm)
 public:
  explicit TExportset(TComponent* AOwner);
  ~TExportset() override;

  // ---- components of the description ----
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSheet1 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr, *TabSheet5 = nullptr,
            *TabSheet6 = nullptr;
  TEdit* FontSize = nullptr;
  TUpDown* UpDown1 = nullptr;
  TCheckBox* showBottom = nullptr;
  TCheckBox* ColorText = nullptr;
  TCheckBox* showlineBar = nullptr;
  TColorBox* bkColorBox = nullptr;
  TColorBox* fontColorBox = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TButton* BtnDesign = nullptr;
  TTxtEdit* TxtEdit1 = nullptr;
  TTxtCompletionProposal* TxtCompletionProposal1 = nullptr;
  TButton *BtnAdd1 = nullptr, *BtnAdd2 = nullptr, *BtnAdd3 = nullptr;
  TButton *BtnDel1 = nullptr, *BtnDel2 = nullptr, *BtnDel3 = nullptr;
  TDBGrid *ListA1 = nullptr, *ListA2 = nullptr, *ListA3 = nullptr;
  TDBMemo *Listb1 = nullptr, *Listb2 = nullptr, *Listb3 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TkxDBTreeView* kxDBTreeView1 = nullptr;
  TDBEdit* AliasEdit = nullptr;
  TDBEdit* TableEdit = nullptr;
  TButton* Button1 = nullptr;
  TButton* OKBtn = nullptr;

  // Loads every setting into the library data module and rebuilds the
  // editor aids. A damaged row is reported once and its default kept.
  void initComponent();
  // Writes the rules and the option rows and updates the module's settings.
  // A font size that is no number raises before anything is written.
  void saveComponent();
  // The file the docking layout is saved to.
  AnsiString StyleFileName() const;

  // ---- handlers ----
  void OKBtnClick(TObject* Sender);
  void PageControl1Change(TObject* Sender);
  void BtnAdd1Click(TObject* Sender);
  void BtnAdd2Click(TObject* Sender);
  void BtnAdd3Click(TObject* Sender);
  void BtnDel1Click(TObject* Sender);
  void showlineBarClick(TObject* Sender);
  void BtnDesignClick(TObject* Sender);
  void ComboBox1CloseUp(TObject* Sender);
  void Button1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);

 private:
  void AddRow(int Type);
  void FilterOn(const AnsiString& Filter);
  // Sets the option row Name to Value, adding the row when the table has none.
  void SaveOption(const AnsiString& Name, const AnsiString& Value);
};

extern TExportset* Exportset;

void RegisterExportset();
// Gives the frame the settings dialog.
void ProvideSettingsDialog();
