// Texts shared by the data layer's tests, and criteria over a small table of records: each column is an item link, the
// stream identifier of a column is its index.
#pragma once
#include <memory>
#include <vector>

#include "data/uxfilter.h"
#include "platform/rtl/strings.h"

namespace datatest {

const AnsiString kChapter = "\xD5\xC2";  // 章
const AnsiString kZhang = "\xD5\xC5";    // 张
const AnsiString kA = "\xB0\xA2";        // 阿


struct Column : TObject {
  AnsiString Name;
  AnsiString Caption;
  int ID = 0;
};

class TestCriteria;

class TestItem : public TuxFilterCriteriaItem {
  PV_CLASS(TestItem, TuxFilterCriteriaItem)
 public:
  using TuxFilterCriteriaItem::TuxFilterCriteriaItem;
  void GetDataValue(int RecordIndex, Variant& V) override;
  void GetFieldCaption(AnsiString& S) override { S = Link() ? Link()->Caption : AnsiString(); }
  void GetFieldName(AnsiString& S) override { S = Link() ? Link()->Name : AnsiString(); }

 private:
  Column* Link() const { return static_cast<Column*>(ItemLink()); }
};

class TestCriteria : public TuxFilterCriteria {
  PV_CLASS(TestCriteria, TuxFilterCriteria)
 public:
  TestCriteria() {
    const char* names[][2] = {{"Name", "name"}, {"Age", "age"}, {"Born", "born"}, {"Tag", "tag"}};
    for (int i = 0; i < 4; ++i) {
      auto c = std::make_unique<Column>();
      c->Name = names[i][0];
      c->Caption = names[i][1];
      c->ID = i;
      Columns.push_back(std::move(c));
    }
    OnChanged = TNotifyEvent(this, &TestCriteria::CountChange);
  }
  Column* Col(int I) const { return Columns[static_cast<std::size_t>(I)].get(); }
  int GetIDByItemLink(TObject* ItemLink) override { return ItemLink ? static_cast<Column*>(ItemLink)->ID : -1; }
  TObject* GetItemLinkByID(int ID) override {
    return ID >= 0 && ID < static_cast<int>(Columns.size()) ? Col(ID) : nullptr;
  }
  TuxFilterCriteriaItemClass GetItemClass() override { return TestItem::StaticClass(); }
  void CountChange(TObject*) { ++Changes; }

  std::vector<std::unique_ptr<Column>> Columns;
  std::vector<std::vector<Variant>> Records;  // Records[record][column]
  int Changes = 0;
};

inline void TestItem::GetDataValue(int RecordIndex, Variant& V) {
  auto* criteria = static_cast<TestCriteria*>(GetCriteria());
  V = criteria->Records[static_cast<std::size_t>(RecordIndex)][static_cast<std::size_t>(Link()->ID)];
}

inline AnsiString Saved(TuxFilterCriteria& Criteria) {
  TStringStream s;
  Criteria.SaveToStream(&s);
  return s.DataString();
}

inline AnsiString Hex(const AnsiString& S) { return BinToHex(S.data(), S.size()); }

inline AnsiString FromHex(const AnsiString& Hex) {
  AnsiString r(Hex.size() / 2, '\0');
  HexToBin(Hex, r.data(), r.size());
  return r;
}

}  // namespace datatest
