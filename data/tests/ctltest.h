// An unbound data controller over a few columns, as the grid's table
// controller would be: each column is an item object, its id is its index.
// Detail controllers of master records are controllers of the same class.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/uxdata.h"
#include "platform/rtl/strings.h"

namespace ctltest {

struct Column : TObject {
  AnsiString Caption;
  int ID = 0;
};

class TestController : public TuxDataController {
  PV_CLASS(TestController, TuxDataController)
 public:
  using TuxDataController::TuxDataController;
  ~TestController() override {
    for (Column* c : Columns) delete c;
  }

  TObject* GetItem(int Index) override { return Columns.at(static_cast<std::size_t>(Index)); }
  int GetItemID(TObject* AItem) override {
    auto* c = dynamic_cast<Column*>(AItem);
    return c ? c->ID : -1;
  }
  AnsiString GetItemCaption(TObject* AItem) override {
    auto* c = dynamic_cast<Column*>(AItem);
    return c ? c->Caption : AnsiString();
  }
  bool GetItemEditable(int ItemIndex) override { return ItemIndex != ReadOnlyItem; }
  TObject* CreateDetailDataController(TuxCustomDataRelation* Relation, int RecordIndex) override;
  TuxCustomDataController* GetDetailDataControllerByLinkObject(TObject* LinkObject) override {
    return dynamic_cast<TuxCustomDataController*>(LinkObject);
  }

  // Adds a column with a value type.
  int AddColumn(const AnsiString& Caption, TuxValueTypeClass Type) {
    auto* c = new Column;
    c->Caption = Caption;
    c->ID = static_cast<int>(Columns.size());
    Columns.push_back(c);
    AddItem(c);
    const int index = static_cast<int>(Columns.size()) - 1;
    ChangeValueTypeClass(index, Type);
    return index;
  }

  // Replaces the records by Rows (a row per record, a value per column).
  void Load(const std::vector<std::vector<Variant>>& Rows) {
    BeginUpdate();
    SetRecordCount(0);
    SetRecordCount(static_cast<int>(Rows.size()));
    for (std::size_t r = 0; r < Rows.size(); ++r)
      for (std::size_t c = 0; c < Rows[r].size(); ++c) SetValue(static_cast<int>(r), static_cast<int>(c), Rows[r][c]);
    EndUpdate();
  }

  // The values of a column in row order (data rows only).
  std::vector<AnsiString> ColumnInRowOrder(int Item) {
    std::vector<AnsiString> r;
    for (int row = 0; row < GetRowCount(); ++row) {
      const TuxRowInfo info = GetRowInfo(row);
      if (info.Level < DataControllerInfo()->GroupingFieldCount()) continue;
      r.push_back(VarToStrDef(GetValue(info.RecordIndex, Item), "<null>"));
    }
    return r;
  }

  std::vector<Column*> Columns;
  int ReadOnlyItem = -1;
  // The detail controllers made for master records.
  std::vector<TestController*> Details;
  // How a detail controller is filled when it is made: its master record.
  std::function<void(TestController* Detail, int MasterRecord)> FillDetail;
};

inline TObject* TestController::CreateDetailDataController(TuxCustomDataRelation* Relation, int RecordIndex) {
  auto* pattern = static_cast<TestController*>(Relation->DetailDataController());
  if (!pattern) return nullptr;
  auto* detail = NewObject<TestController>(nullptr);
  for (Column* c : pattern->Columns) {
    auto* copy = new Column;
    copy->Caption = c->Caption;
    copy->ID = c->ID;
    detail->Columns.push_back(copy);
    detail->AddItem(copy);
    detail->ChangeValueTypeClass(copy->ID, pattern->GetItemValueTypeClass(c->ID));
  }
  detail->SetMasterRelation(Relation, RecordIndex);
  if (FillDetail) FillDetail(detail, RecordIndex);
  Details.push_back(detail);
  return detail;
}

struct ControllerDeleter {
  void operator()(TuxCustomDataController* c) const { c->Free(); }
};
using ControllerPtr = std::unique_ptr<TestController, ControllerDeleter>;

inline ControllerPtr NewController() { return ControllerPtr(NewObject<TestController>(nullptr)); }

// Utf8 text in the program's code page.
inline AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

// Records the notification objects a controller hands out.
class Recorder : public TObject {
 public:
  explicit Recorder(TuxCustomDataController* C) : FController(C) {
    C->OnUpdateControl = TuxUpdateControlEvent(this, &Recorder::Handle);
  }
  void Handle(TuxUpdateControlInfo* Info) {
    std::string s = Info->ClassName();
    if (auto* d = dynamic_cast<TuxDataChangedInfo*>(Info))
      s += "(" + std::to_string(d->Kind) + "," + std::to_string(d->ItemIndex) + "," + std::to_string(d->RecordIndex) + ")";
    if (auto* f = dynamic_cast<TuxFocusedRowChangedInfo*>(Info))
      s += "(" + std::to_string(f->PrevFocusedRowIndex) + "->" + std::to_string(f->FocusedRowIndex) + ")";
    if (auto* sel = dynamic_cast<TuxSelectionChangedInfo*>(Info)) {
      s += "(";
      for (int i = 0; i < sel->GetCount(); ++i) s += (i ? "," : "") + std::to_string(sel->GetRowIndex(i));
      s += ")";
    }
    Log.push_back(s);
    if (Fail) throw Exception("handler failed");
  }
  bool Has(const std::string& Prefix) const {
    for (const std::string& s : Log)
      if (s.rfind(Prefix, 0) == 0) return true;
    return false;
  }
  std::vector<std::string> Log;
  bool Fail = false;

 private:
  TuxCustomDataController* FController;
};

}  // namespace ctltest
