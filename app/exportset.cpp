#include "app/exportset.h"

#include <memory>

#include "app/libdatamodule.h"
#include "app/mainform.h"
#include "editor/txtrulesdesigner.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/dialogs.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

TExportset* Exportset = nullptr;

namespace {

AnsiString ExportsetText(const char* Utf8) { return Utf8ToAnsi(Utf8); }

// The font size the dialog starts with, and the one a damaged row gives.
constexpr int kDefaultFontSize = 12;
constexpr int kMaxFontSize = 200;

const char* const kOptionLineBar = "showlineBar";
const char* const kOptionBottom = "showBottom";
const char* const kOptionFont = "Font";
const char* const kOptionColorText = "ColorText";

TDataSet* SettingsSet() { return LibDataModule->SystemSetADOTable; }

}  // namespace

void AddTemplateRow(TStrings* List, const AnsiString& Shortcut, const AnsiString& Text) {
  if (Shortcut.empty() || Shortcut[0] == '=' || Shortcut[0] == '|') return;
  List->Add(Shortcut);
  List->Add("|a");
  // A template of several lines keeps them; a bare CR or LF ends a line too.
  TStringList lines;
  lines.SetText(Text + ";");
  for (int i = 0; i < lines.Count(); ++i) List->Add("=" + lines.Get(i));
}

TExportset::TExportset(TComponent* AOwner) : TForm(AOwner) { Exportset = this; }

TExportset::~TExportset() {
  if (Exportset == this) Exportset = nullptr;
}

void TExportset::FilterOn(const AnsiString& Filter) {
  TDataSet* ds = SettingsSet();
  ds->SetFilter(Filter);
  ds->SetFiltered(true);
  ds->First();
}

void TExportset::initComponent() {
  TLibDataModule* m = LibDataModule;
  TDataSet* ds = SettingsSet();
  ds->SetActive(true);
  std::unique_ptr<TStringList> problems = std::make_unique<TStringList>();

  // The colouring rules; rules that will not load leave the ones in use.
  FilterOn("ttype=" + IntToStr(kSetRules));
  if (!ds->IsEmpty()) {
    const AnsiString kept = m->TxtRules1->SaveToText();
    try {
      m->TxtRules1->LoadFromText(ds->FieldByName("tobject")->AsString());
    } catch (const Exception& e) {
      m->TxtRules1->LoadFromText(kept);
      problems->Add(Format(ExportsetText("彩色语法规则无法读取 (%s), 仍用原有规则.").c_str(), {e.Message}));
    }
  }

  ds->SetFiltered(false);
  m->ShowLineBar = false;
  m->ShowBottom = false;
  m->ColorSyntax = false;
  ColorText->SetChecked(false);
  showlineBar->SetChecked(false);

  FilterOn("ttype<100");
  for (; !ds->Eof(); ds->Next()) {
    const AnsiString name = ds->FieldByName("tname")->AsString();
    const AnsiString value = ds->FieldByName("tvalue")->AsString();
    if (name == kOptionLineBar && value == "1") {
      m->ShowLineBar = true;
      showlineBar->SetChecked(true);
    } else if (name == kOptionFont) {
      Integer size = 0;
      if (!TryStrToInt(Trim(value), size) || size < 1 || size > kMaxFontSize) {
        problems->Add(Format(ExportsetText("字号设置 \"%s\" 无效, 改用默认值 %d.").c_str(), {value, kDefaultFontSize}));
        size = kDefaultFontSize;
      }
      m->FontSize = size;
      UpDown1->SetPosition(size);
      FontSize->SetText(IntToStr(size));
    } else if (name == kOptionColorText && value == "1") {
      ColorText->SetChecked(true);
      m->ColorSyntax = true;
    }
  }

  // Templates, in the list format the auto-complete component reads. One
  // component serves every loading.
  std::unique_ptr<TStringList> templates = std::make_unique<TStringList>();
  FilterOn("ttype=" + IntToStr(kSetTemplate));
  for (; !ds->Eof(); ds->Next())
    AddTemplateRow(templates.get(), ds->FieldByName("tname")->AsString(), ds->FieldByName("tvalue")->AsString());
  TTxtAutoComplete* complete = m->CurrentAutoComplete;
  if (!complete || complete->Owner() != this) complete = new TTxtAutoComplete(this);
  complete->SetAutoCompleteList(templates.get());
  m->SetCurrentAutoComplete(complete);

  // The completion list shows each row's text and inserts its name.
  std::unique_ptr<TStringList> inserts = std::make_unique<TStringList>();
  std::unique_ptr<TStringList> items = std::make_unique<TStringList>();
  FilterOn("ttype=" + IntToStr(kSetCompletion));
  for (; !ds->Eof(); ds->Next()) {
    inserts->Add(ds->FieldByName("tname")->AsString());
    items->Add(ds->FieldByName("tvalue")->AsString());
  }
  m->TxtCompletionProposal1->SetInsertList(inserts.get());
  m->TxtCompletionProposal1->SetItemList(items.get());

  // Corrections: the list is rebuilt, so loading again adds no pair twice.
  m->TxtAutoCorrect1->Items()->Clear();
  FilterOn("ttype=" + IntToStr(kSetCorrection));
  for (; !ds->Eof(); ds->Next()) {
    const AnsiString original = ds->FieldByName("tname")->AsString();
    if (!original.empty()) m->TxtAutoCorrect1->AddCorrection(original, ds->FieldByName("tvalue")->AsString());
  }

  m->EditorColor = clGradientInactiveCaption;
  m->EditorFontColor = clBlack;
  if (problems->Count() > 0) ShowMessage(TrimRight(problems->Text()));
}

void TExportset::SaveOption(const AnsiString& Name, const AnsiString& Value) {
  TDataSet* ds = SettingsSet();
  if (ds->Locate("tname", Variant(Name), {})) {
    ds->Edit();
  } else {
    // Without its row the option would be written over another setting.
    ds->Append();
    ds->FieldByName("tname")->SetAsString(Name);
    ds->FieldByName("ttype")->SetAsInteger(1);
    ds->FieldByName("tused")->SetAsInteger(0);
  }
  ds->FieldByName("tvalue")->SetAsString(Value);
  ds->Post();
}

void TExportset::saveComponent() {
  TLibDataModule* m = LibDataModule;
  TDataSet* ds = SettingsSet();
  // A font size that is no number stops the saving before anything is written.
  const Integer size = StrToInt(Trim(FontSize->Text()));
  ds->SetActive(true);

  FilterOn("ttype=" + IntToStr(kSetRules));
  if (ds->IsEmpty()) {
    ds->Append();
    ds->FieldByName("ttype")->SetAsInteger(kSetRules);
    ds->FieldByName("tused")->SetAsInteger(0);
  } else {
    ds->Edit();
  }
  ds->FieldByName("tobject")->SetAsString(m->TxtRules1->SaveToText());
  ds->Post();
  ds->SetFiltered(false);

  const auto flag = [](TCheckBox* Box) { return AnsiString(Box->Checked() ? "1" : "-1"); };
  SaveOption(kOptionLineBar, flag(showlineBar));
  m->ShowLineBar = showlineBar->Checked();
  SaveOption(kOptionBottom, flag(showBottom));
  SaveOption(kOptionFont, FontSize->Text());
  m->FontSize = size;
  SaveOption(kOptionColorText, flag(ColorText));
  m->ColorSyntax = ColorText->Checked();

  ds->SetActive(false);
  m->EditorColor = bkColorBox->Selected();
  m->EditorFontColor = fontColorBox->Selected();
}

AnsiString TExportset::StyleFileName() const {
  const AnsiString root = LibDataModule->Root.empty() ? InstallationRoot(Application->ExeName()) : LibDataModule->Root;
  return root + "bin" + PathDelim + "qz.style";
}

// ---------------------------------------------------------------------------
// handlers

void TExportset::OKBtnClick(TObject*) {
  saveComponent();
  // Shown modally, the modal loop hides the dialog when it ends.
  if (FormState().Contains(fsModal)) SetModalResult(mrOk);
  else Hide();
}

void TExportset::PageControl1Change(TObject*) {
  TADOTable* table = LibDataModule->SystemSetADOTable;
  if (!table->Active()) table->SetActive(true);
  table->UpdateBatch(arAll);
  const TTabSheet* page = PageControl1->ActivePage();
  AnsiString filter;
  if (page == TabSheet1) filter = "ttype<" + IntToStr(kSetTemplate);
  else if (page == TabSheet3) filter = "ttype=" + IntToStr(kSetTemplate);
  else if (page == TabSheet4) filter = "ttype=" + IntToStr(kSetCompletion);
  else if (page == TabSheet5) filter = "ttype=" + IntToStr(kSetCorrection);
  else if (page == TabSheet6) filter = "ttype=" + IntToStr(kSetAlias);
  else return;
  table->SetFilter(filter);
  table->SetFiltered(true);
}

void TExportset::AddRow(int Type) {
  TDataSet* ds = SettingsSet();
  if (!ds->Active()) ds->SetActive(true);
  ds->Insert();
  ds->FieldByName("ttype")->SetAsInteger(Type);
  ds->FieldByName("tused")->SetAsInteger(0);
  ds->Post();
}

void TExportset::BtnAdd1Click(TObject*) { AddRow(kSetTemplate); }
void TExportset::BtnAdd2Click(TObject*) { AddRow(kSetCompletion); }
void TExportset::BtnAdd3Click(TObject*) { AddRow(kSetCorrection); }

void TExportset::BtnDel1Click(TObject*) {
  TDataSet* ds = SettingsSet();
  if (ds->Active() && !ds->IsEmpty()) ds->Delete();
}

void TExportset::showlineBarClick(TObject*) { TxtEdit1->Gutter()->SetVisible(showlineBar->Checked()); }

void TExportset::BtnDesignClick(TObject*) {
  TTxtRules* rules = LibDataModule->TxtRules1;
  rules->SetSampleText(ExportsetText("中国, 北美 \r\n林远\r\n{ 场景1 }"));
  TTxtRulesDesigner designer(rules);
  designer.SetTitle(ExportsetText("Penvarro 彩色文本设计器"));
  designer.Execute();
}

void TExportset::ComboBox1CloseUp(TObject*) {
  TLibDataModule* m = LibDataModule;
  TDataSource* source = nullptr;
  switch (ComboBox1->ItemIndex()) {
    case 0: source = m->libAliasDS; break;
    case 1: source = m->memAliasTableDS; break;
    case 2:
    case 3: source = m->storyAliasTableDS; break;
    default: return;
  }
  kxDBTreeView1->SetDataSource(source);
  AliasEdit->SetDataSource(source);
  TableEdit->SetDataSource(source);
}

void TExportset::Button1Click(TObject*) {
  const AnsiString name = InputBox(ExportsetText(" 新建库 :"), ExportsetText("库名"), "");
  if (name.empty()) return;
  TLibDataModule* m = LibDataModule;
  TDataSet* aliases = nullptr;
  const char* prefix = nullptr;
  switch (ComboBox1->ItemIndex()) {
    case 0: aliases = m->libAliasTable; prefix = "region"; break;
    case 1: aliases = m->memAliasTable; prefix = "mem"; break;
    case 2:
    case 3: aliases = m->storyAliasTable; prefix = "story"; break;
    default: return;  // no kind chosen: nothing to make
  }
  m->TableOpertion->SetConnectionString(m->LibConnection->ConnectionString());
  m->CreateTable(aliases, prefix, name);
}

void TExportset::SpeedButton2Click(TObject*) {
  TFileStream stream(StyleFileName(), fmCreate);
  LibDataModule->DockingManager->SaveLayoutToStream(&stream);
}

// ---------------------------------------------------------------------------
// start-up

namespace {

void CreateSettingsDialog(TMainForm*) {
  if (!Exportset) Application->CreateForm(Exportset);
  Exportset->initComponent();
}

void ShowSettingsDialog(TMainForm* Frame) {
  if (!Exportset) CreateSettingsDialog(Frame);
  Exportset->PageControl1->SetActivePageIndex(0);
  Exportset->initComponent();
  Exportset->ShowModal();
}

}  // namespace

void RegisterExportset() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TExportset::StaticClass()});
  RegisterHandlers<TExportset>([](THandlerBuilder<TExportset>& h) {
    using F = TExportset;
    h.Field("PageControl1", &F::PageControl1);
    h.Field("TabSheet1", &F::TabSheet1);
    h.Field("TabSheet3", &F::TabSheet3);
    h.Field("TabSheet4", &F::TabSheet4);
    h.Field("TabSheet5", &F::TabSheet5);
    h.Field("TabSheet6", &F::TabSheet6);
    h.Field("FontSize", &F::FontSize);
    h.Field("UpDown1", &F::UpDown1);
    h.Field("showBottom", &F::showBottom);
    h.Field("ColorText", &F::ColorText);
    h.Field("showlineBar", &F::showlineBar);
    h.Field("bkColorBox", &F::bkColorBox);
    h.Field("fontColorBox", &F::fontColorBox);
    h.Field("SpeedButton1", &F::SpeedButton1);
    h.Field("SpeedButton2", &F::SpeedButton2);
    h.Field("BtnDesign", &F::BtnDesign);
    h.Field("TxtEdit1", &F::TxtEdit1);
    h.Field("TxtCompletionProposal1", &F::TxtCompletionProposal1);
    h.Field("BtnAdd1", &F::BtnAdd1);
    h.Field("BtnAdd2", &F::BtnAdd2);
    h.Field("BtnAdd3", &F::BtnAdd3);
    h.Field("BtnDel1", &F::BtnDel1);
    h.Field("BtnDel2", &F::BtnDel2);
    h.Field("BtnDel3", &F::BtnDel3);
    h.Field("ListA1", &F::ListA1);
    h.Field("ListA2", &F::ListA2);
    h.Field("ListA3", &F::ListA3);
    h.Field("Listb1", &F::Listb1);
    h.Field("Listb2", &F::Listb2);
    h.Field("Listb3", &F::Listb3);
    h.Field("ComboBox1", &F::ComboBox1);
    h.Field("kxDBTreeView1", &F::kxDBTreeView1);
    h.Field("AliasEdit", &F::AliasEdit);
    h.Field("TableEdit", &F::TableEdit);
    h.Field("Button1", &F::Button1);
    h.Field("OKBtn", &F::OKBtn);
    h.Handler("OKBtnClick", &F::OKBtnClick);
    h.Handler("PageControl1Change", &F::PageControl1Change);
    h.Handler("BtnAdd1Click", &F::BtnAdd1Click);
    h.Handler("BtnAdd2Click", &F::BtnAdd2Click);
    h.Handler("BtnAdd3Click", &F::BtnAdd3Click);
    h.Handler("BtnDel1Click", &F::BtnDel1Click);
    h.Handler("showlineBarClick", &F::showlineBarClick);
    h.Handler("BtnDesignClick", &F::BtnDesignClick);
    h.Handler("ComboBox1CloseUp", &F::ComboBox1CloseUp);
    h.Handler("Button1Click", &F::Button1Click);
    h.Handler("SpeedButton2Click", &F::SpeedButton2Click);
  });
}

void ProvideSettingsDialog() {
  FrameWindows().CreateSettings = CreateSettingsDialog;
  FrameWindows().ShowSettings = ShowSettingsDialog;
}
