#include "app/libdatamodule.h"

#include <cctype>
#include <memory>

#include "app/treecopyform.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

TLibDataModule* LibDataModule = nullptr;

AnsiString LibConnectionString(const AnsiString& Path) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + Path;
}

const TNodeView& NodeView(int View) {
  // Names in CP936: 场景 章节 故事 线程 人物 矛盾 时间 空间 角度.
  static const TNodeView kViews[kNodeViewCount] = {
      {"tparent", "tsortid", "\xB3\xA1\xBE\xB0"},   {"tview1", "tviewname1", "\xD5\xC2\xBD\xDA"},
      {"tview2", "tviewname2", "\xB9\xCA\xCA\xC2"}, {"tview3", "tviewname3", "\xCF\xDF\xB3\xCC"},
      {"tview4", "tviewname4", "\xC8\xCB\xCE\xEF"}, {"tview5", "tviewname5", "\xC3\xAC\xB6\xDC"},
      {"tview6", "tviewname6", "\xCA\xB1\xBC\xE4"}, {"tview7", "tviewname7", "\xBF\xD5\xBC\xE4"},
      {"tview8", "tviewname8", "\xBD\xC7\xB6\xC8"},
  };
  if (View < 0 || View >= kNodeViewCount) throw EInvalidOperation(Format("Invalid view %d", {View}));
  return kViews[View];
}

TLibDataModule::TLibDataModule(TComponent* AOwner) : TDataModule(AOwner) { LibDataModule = this; }

TLibDataModule::~TLibDataModule() {
  if (LibDataModule == this) LibDataModule = nullptr;
}

void TLibDataModule::DataModuleCreate(TObject*) { FillImageLists(); }

// ---------------------------------------------------------------------------
// tables

void TLibDataModule::openTable() {
  libAliasTable->SetActive(true);
  if (!libAliasTable->FieldByName("tname")->AsString().empty()) {
    libTable->Close();
    libTable->SetTableName(libAliasTable->FieldByName("tname")->AsString());
    libTable->Open();
  }
  memAliasTable->SetActive(true);
  storyAliasTable->SetActive(true);
  if (!storyAliasTable->FieldByName("tname")->AsString().empty()) {
    StoryTable->Close();
    StoryTable->SetTableName(storyAliasTable->FieldByName("tname")->AsString());
    StoryTable->Open();
  }
  storyAliasTable2->SetActive(true);
  if (!storyAliasTable2->FieldByName("tname")->AsString().empty()) {
    StoryTable2->Close();
    StoryTable2->SetTableName(storyAliasTable2->FieldByName("tname")->AsString());
    StoryTable2->Open();
  }
  NodeTypeTable->SetActive(true);
  CopyTreeTemp->SetActive(true);
}

void TLibDataModule::save() {
  for (TADOTable* t : {libTable, StoryTable, MemTable})
    if (t && t->Active()) t->UpdateBatch(arAll);
}

AnsiString TLibDataModule::CreateTable(TDataSet* AliasDataSet, const AnsiString& Prefix, const AnsiString& DisplayName) {
  AliasDataSet->Last();
  int number = AliasDataSet->IsEmpty() ? 1 : AliasDataSet->FieldByName("tid")->AsInteger() + 1;
  // A table of that name may already be there (made by hand, or left when its
  // alias row went): take the next free number instead of failing.
  {
    TADOConnection probe(nullptr);
    probe.LoginPrompt = false;
    probe.SetConnectionString(TableOpertion->Connection() ? TableOpertion->Connection()->ConnectionString()
                                                          : TableOpertion->ConnectionString());
    std::unique_ptr<TStringList> names = std::make_unique<TStringList>();
    probe.GetTableNames(names.get());
    while (names->IndexOf(Prefix + IntToStr(number)) >= 0) ++number;
  }
  const AnsiString name = Prefix + IntToStr(number);
  auto run = [this](const AnsiString& sql) {
    TableOpertion->Close();
    TableOpertion->SQL()->Clear();
    TableOpertion->SQL()->Add(sql);
    TableOpertion->ExecSQL();
    TableOpertion->Close();
  };
  // The alias row is filled first: a display name that does not fit its
  // field is refused before any table is made.
  AliasDataSet->Insert();
  try {
    AliasDataSet->Edit();
    AliasDataSet->FieldByName("tsortid")->SetAsString(DisplayName);
    AliasDataSet->FieldByName("tname")->SetAsString(name);
    AliasDataSet->FieldByName("tcurrentView")->SetAsInteger(0);
    run("SELECT * INTO " + name + " from  systable");
    run("Alter  TABLE " + name + "  Alter COLUMN tid AutoIncrement(1,1)");
    AliasDataSet->Post();
  } catch (...) {
    if (AliasDataSet->State() == dsInsert || AliasDataSet->State() == dsEdit) AliasDataSet->Cancel();
    throw;
  }
  return name;
}

AnsiString TLibDataModule::GetTableNameByID(const AnsiString& Id) {
  // A link that is not a number names no table; asking the filter with it
  // would raise on every click.
  AnsiString key = Trim(Id);
  std::size_t digits = key.size() > 0 && (key[0] == '-' || key[0] == '+') ? 1 : 0;
  if (digits == key.size() || key.size() > 18) return "";
  for (std::size_t i = digits; i < key.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(key[i]))) return "";
  libAliasTableTemp->SetActive(true);
  libAliasTableTemp->SetFilter("tid=" + key);
  libAliasTableTemp->SetFiltered(true);
  if (libAliasTableTemp->IsEmpty()) return "";
  return libAliasTableTemp->FieldByName("tname")->AsString();
}

// ---------------------------------------------------------------------------
// start-up

void RegisterLibDataModule() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TLibDataModule::StaticClass()});
  RegisterHandlers<TLibDataModule>([](THandlerBuilder<TLibDataModule>& h) {
    using M = TLibDataModule;
    h.Field("LibConnection", &M::LibConnection);
    h.Field("TxtEditSearch", &M::TxtEditSearch);
    h.Field("TxtEditRegexSearch", &M::TxtEditRegexSearch);
    h.Field("TxtRules1", &M::TxtRules1);
    h.Field("TxtCompletionProposal1", &M::TxtCompletionProposal1);
    h.Field("TxtAutoCorrect1", &M::TxtAutoCorrect1);
    h.Field("TableOpertion", &M::TableOpertion);
    h.Field("LookAndFeelController", &M::LookAndFeelController);
    h.Field("ColorDialog", &M::ColorDialog);
    h.Field("DockingManager", &M::DockingManager);
    h.Field("MainFormImageList", &M::MainFormImageList);
    h.Field("ChildFormImageList", &M::ChildFormImageList);
    h.Field("chartImageList", &M::chartImageList);
    h.Field("sharpTypeImageList", &M::sharpTypeImageList);
    h.Field("IcoalignType", &M::IcoalignType);
    h.Field("ChildrenItemImageList", &M::ChildrenItemImageList);
    h.Field("libAliasTable", &M::libAliasTable);
    h.Field("libTable", &M::libTable);
    h.Field("storyAliasTable", &M::storyAliasTable);
    h.Field("StoryTable", &M::StoryTable);
    h.Field("storyAliasTable2", &M::storyAliasTable2);
    h.Field("StoryTable2", &M::StoryTable2);
    h.Field("memAliasTable", &M::memAliasTable);
    h.Field("MemTable", &M::MemTable);
    h.Field("MemTable2", &M::MemTable2);
    h.Field("MemTable3", &M::MemTable3);
    h.Field("libAliasTableTemp", &M::libAliasTableTemp);
    h.Field("NodeTypeTable", &M::NodeTypeTable);
    h.Field("SystemSetADOTable", &M::SystemSetADOTable);
    h.Field("CopyTreeTemp", &M::CopyTreeTemp);
    h.Field("TableList", &M::TableList);
    h.Field("TableForReplace", &M::TableForReplace);
    h.Field("libAliasDS", &M::libAliasDS);
    h.Field("libDS", &M::libDS);
    h.Field("ComomDS", &M::ComomDS);
    h.Field("storyAliasTableDS", &M::storyAliasTableDS);
    h.Field("StoryDS", &M::StoryDS);
    h.Field("storyAliasTable2DS", &M::storyAliasTable2DS);
    h.Field("StoryTable2DS", &M::StoryTable2DS);
    h.Field("memAliasTableDS", &M::memAliasTableDS);
    h.Field("MemTableDS", &M::MemTableDS);
    h.Field("MemTableDS2", &M::MemTableDS2);
    h.Field("MemTableDS3", &M::MemTableDS3);
    h.Field("NodeTypeDS", &M::NodeTypeDS);
    h.Field("SystemSetDS", &M::SystemSetDS);
    h.Field("CopyTreeTempDS", &M::CopyTreeTempDS);
    h.Field("TableForReplaceDS", &M::TableForReplaceDS);
    h.Handler("DataModuleCreate", &M::DataModuleCreate);
    h.Handler("TxtEditReplaceText", &M::TxtEditReplaceText);
  });
}
