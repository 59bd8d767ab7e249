// The bar layout kept in the registry and in ini files: what is saved comes
// back, and damaged layouts are refused whole.
#include <cstdlib>
#include <algorithm>
#include <filesystem>

#include "bars/tests/kxbartest.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/tests/rtltest.h"

namespace kxbarstore_test {

// One of the two stores, with direct access to its places for damaging them.
struct Store {
  const char* Name;
  bool Registry;
};
const Store kStores[] = {{"registry", true}, {"ini", false}};

// The parts of a link list that a layout keeps.
std::vector<std::string> Describe(TkxBarItemLinks* Links) {
  std::vector<std::string> r;
  for (int i = 0; i < Links->Count(); ++i) {
    TkxBarItemLink* l = Links->Items(i);
    r.push_back(std::string(l->Item()->Name()) + (l->StoredBeginGroup() ? " |" : "") + " '" +
                std::string(l->Caption()) + "'" + (l->Visible() ? "" : " hidden") + " ud" +
                std::to_string(l->UserDefine().Mask()));
  }
  return r;
}

class BarsStoreTest : public BarsFormTest, public ::testing::WithParamInterface<Store> {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    HadOld = old != nullptr;
    if (old) Old = old;
    setenv("XDG_CONFIG_HOME", Temp.Path.c_str(), 1);
    RegistryResetCache();
    BarsFormTest::SetUp();
    M = F->BarManager1;
  }
  void TearDown() override {
    BarsFormTest::TearDown();
    RegistryResetCache();
    if (HadOld) setenv("XDG_CONFIG_HOME", Old.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  bool Reg() const { return GetParam().Registry; }
  AnsiString IniName() const { return Temp.File("layout.ini"); }
  void Save() {
    if (Reg()) M->SaveToRegistry(kPath);
    else M->SaveToIniFile(IniName());
  }
  void Load() {
    if (Reg()) M->LoadFromRegistry(kPath);
    else M->LoadFromIniFile(IniName());
  }
  // Writes (or, with Delete, removes) a value of a stored place such as
  // "Bar1" or "Bar1\ItemLink0"; an empty Name removes the whole place.
  void Damage(const AnsiString& Place, const AnsiString& Name, int Value, bool Delete = false) {
    if (Reg()) {
      TRegistry r;
      AnsiString key = AnsiString("\\") + kPath + (Place.empty() ? AnsiString() : "\\" + Place);
      if (Name.empty()) {
        r.DeleteKey(key);
        return;
      }
      ASSERT_TRUE(r.OpenKey(key, false));
      if (Delete) r.DeleteValue(Name);
      else r.WriteInteger(Name, Value);
      r.CloseKey();
    } else {
      TMemIniFile ini(IniName());
      AnsiString section = "BarsTestForm.BarManager1." + (Place.empty() ? AnsiString("Main") : Place);
      std::replace(section.begin(), section.end(), '\\', '.');
      if (Name.empty()) ini.EraseSection(section);
      else if (Delete) ini.DeleteKey(section, Name);
      else ini.WriteInteger(section, Name, Value);
      ini.UpdateFile();
    }
  }
  std::vector<std::vector<std::string>> AllLinks() {
    std::vector<std::vector<std::string>> r;
    for (int i = 0; i < M->Bars()->Count(); ++i) r.push_back(Describe(M->Bars()->Items(i)->ItemLinks()));
    r.push_back(Describe(F->FileMenu->ItemLinks()));
    return r;
  }
  static constexpr const char* kPath = "Software\\Penvarro\\Test\\Bars";
  TempDir Temp;
  std::string Old;
  bool HadOld = false;
  TkxBarManager* M = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Stores, BarsStoreTest, ::testing::ValuesIn(kStores),
                         [](const ::testing::TestParamInfo<Store>& I) { return std::string(I.param.Name); });

// Three bars with user changes are saved; the links, captions, groups, user
// glyph and places come back after the user has changed them again.
TEST_P(BarsStoreTest, SavedLayoutComesBack) {
  TkxBar* extra = M->Bars()->Add();
  extra->SetCaption(A("额外"));
  extra->ItemLinks()->Add()->SetItem(F->CopyButton);
  extra->ItemLinks()->Add()->SetItem(F->NewItem);
  extra->SetFloatLeft(43);
  extra->SetFloatTop(96);
  extra->SetDockingStyle(dsNone);
  extra->SetVisible(true);
  Pump();
  ToolLink(F->CutButton)->SetUserCaption(A("剪下"));
  ToolLink(F->CopyButton)->SetBeginGroup(true);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
  ToolLink(F->PasteButton)->SetUserGlyph(&glyph);
  F->FileMenu->ItemLinks()->Items(1)->SetBeginGroup(true);
  M->SetShowShortCutInHint(true);
  Save();
  auto saved = AllLinks();

  // the user changes everything again
  ToolLink(F->PasteButton)->SetItem(nullptr);
  ToolLink(F->CutButton)->SetUserDefine({});
  ToolLink(F->CopyButton)->SetBeginGroup(false);
  F->FileMenu->ItemLinks()->Items(0)->SetItem(nullptr);
  extra->SetCaption("x");
  extra->SetDockingStyle(dsTop);
  M->SetShowShortCutInHint(false);
  Pump();
  ASSERT_NE(AllLinks(), saved);

  Load();
  Pump();
  EXPECT_EQ(AllLinks(), saved);
  EXPECT_EQ(extra->Caption(), A("额外"));
  EXPECT_TRUE(M->ShowShortCutInHint());
  TkxBarItemLink* paste = ToolLink(F->PasteButton);
  ASSERT_NE(paste, nullptr);
  ASSERT_TRUE(paste->UserDefine().Contains(udGlyph));
  EXPECT_EQ(paste->UserGlyph()->Width(), 16);
  EXPECT_EQ(paste->UserGlyph()->Canvas()->Pixels(5, 5), clRed);
  // the floating bar floats again where it was
  EXPECT_EQ(extra->DockingStyle(), dsNone);
  ASSERT_NE(extra->Control(), nullptr);
  EXPECT_EQ(extra->Control()->Left(), 43);
  EXPECT_EQ(extra->Control()->Top(), 96);
  // loading hides and shows the bars again, so their windows are read anew
  EXPECT_TRUE(M->MainMenuBar()->Visible());
  EXPECT_NE(M->MainMenuBar()->Control(), nullptr);
}

// A damaged layout is refused as a whole: the current layout stays and the
// main menu keeps showing.
TEST_P(BarsStoreTest, DamagedLayoutsAreRefused) {
  // an empty Name removes the whole place
  struct Case {
    const char* What;
    const char* Place;
    const char* Name;
    int Value;
  };
  const Case cases[] = {
      {"huge BarCount", "", "BarCount", 100000000},
      {"negative BarCount", "", "BarCount", -3},
      {"gap in the bars", "Bar0", "", 0},
      {"huge ItemLinkCount", "Bar1", "ItemLinkCount", 2000000000},
      {"ItemLinkCount below the stored links", "Bar1", "ItemLinkCount", 3},
      {"huge Row", "Bar1", "Row", 1000000},
      {"unknown docking style", "Bar1", "DockingStyle", 9},
      {"huge float size", "Bar1", "FloatClientWidth", 900000000},
      {"recent index beyond the list", "Bar1\\ItemLink0", "RecentIndex", 50},
  };
  M->SetStyle(bmsOffice11);
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Save();
    Damage(c.Place, c.Name, c.Value);
    // the current layout differs from the stored one
    ToolLink(F->CopyButton)->SetItem(nullptr);
    ToolsBar->SetCaption("now");
    auto before = AllLinks();
    EXPECT_THROW(Load(), EkxBarError);
    Pump();
    EXPECT_EQ(AllLinks(), before);
    EXPECT_EQ(ToolsBar->Caption(), "now");
    EXPECT_TRUE(ToolsBar->Visible());
    EXPECT_TRUE(M->MainMenuBar()->Visible());
    static_cast<TkxBarItemLink*>(Tools->Insert(1))->SetItem(F->CopyButton);
  }
}

// A store that hides the main menu does not take it away; a bar the store
// does not mention is hidden.
TEST_P(BarsStoreTest, MainMenuStaysShown) {
  Save();
  Damage("Bar0", "Visible", 0);
  Damage("", "BarCount", 1);
  Load();
  Pump();
  EXPECT_TRUE(M->MainMenuBar()->Visible());
  EXPECT_NE(M->MainMenuBar()->Control(), nullptr);
  EXPECT_FALSE(ToolsBar->Visible());
}

// A link of an unnamed item is not written; the next link keeps its own
// number, so the list still reads back (without the unnamed link).
TEST_P(BarsStoreTest, UnnamedItemsLeaveGaps) {
  auto* b = new TkxBarButton(F);
  b->SetCaption("anon");
  static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(b);
  Save();
  auto expected = Describe(Tools);
  expected.erase(expected.begin());
  Tools->Items(2)->SetItem(nullptr);
  Load();
  EXPECT_EQ(Describe(Tools), expected);
  if (Reg()) {
    TRegistry r;
    EXPECT_FALSE(r.KeyExists(AnsiString("\\") + kPath + "\\Bar1\\ItemLink0"));
    EXPECT_TRUE(r.KeyExists(AnsiString("\\") + kPath + "\\Bar1\\ItemLink1"));
  }
}

// Usage data is kept only where the style has recent items: a standard-style
// layout has none; an Office 2003 one brings the use counts back.
TEST_P(BarsStoreTest, UsageDataFollowsTheStyle) {
  auto stored = [&](const char* Name) {
    if (Reg()) {
      TRegistry r;
      return r.OpenKey(AnsiString("\\") + kPath + "\\SubItem_FileMenu\\ItemLink0", false) && r.ValueExists(Name);
    }
    TMemIniFile ini(IniName());
    return ini.ValueExists("BarsTestForm.BarManager1.SubItem_FileMenu.ItemLink0", Name);
  };
  M->SetStyle(bmsStandard);
  Save();
  EXPECT_FALSE(stored("UseCount"));
  EXPECT_FALSE(stored("RecentIndex"));
  EXPECT_FALSE(stored("Visible"));  // sub-item links keep no visibility
  M->SetStyle(bmsOffice11);
  TkxBarItemLinks* file = F->FileMenu->ItemLinks();
  file->Items(1)->SetUsageCount(7);
  Save();
  EXPECT_TRUE(stored("UseCount"));
  EXPECT_TRUE(stored("RecentIndex"));
  file->Items(1)->SetUsageCount(0);
  Load();
  ASSERT_EQ(file->Count(), 4);
  EXPECT_EQ(file->Items(1)->UsageCount(), 7);
}

// Another manager's sections of a shared ini file are neither read nor erased.
TEST_P(BarsStoreTest, OtherManagersAreLeftAlone) {
  if (Reg()) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\Software\\Penvarro\\Test\\Other\\Bar0", true));
    r.WriteString("Caption", "theirs");
    r.CloseKey();
  } else {
    TMemIniFile ini(IniName());
    ini.WriteInteger("OtherForm.BarManager1.Main", "BarCount", 0);
    ini.WriteString("OtherForm.BarManager1.Bar0", "Caption", "theirs");
    ini.UpdateFile();
  }
  auto before = AllLinks();
  Load();
  EXPECT_EQ(AllLinks(), before);
  EXPECT_TRUE(ToolsBar->Visible());
  Save();
  Save();
  if (Reg()) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\Software\\Penvarro\\Test\\Other\\Bar0", false));
    EXPECT_EQ(r.ReadString("Caption"), "theirs");
    r.CloseKey();
    ASSERT_TRUE(r.OpenKey(AnsiString("\\") + kPath, false));
    EXPECT_EQ(r.ReadInteger("BarCount"), 2);
  } else {
    TMemIniFile ini(IniName());
    EXPECT_EQ(ini.ReadString("OtherForm.BarManager1.Bar0", "Caption", ""), "theirs");
    EXPECT_EQ(ini.ReadInteger("BarsTestForm.BarManager1.Main", "BarCount", -1), 2);
  }
}

// A manager set to keep its layout writes it when its form goes.
TEST_P(BarsStoreTest, FormSavesItsLayoutWhenDestroyed) {
  if (Reg()) {
    M->SetRegistryPath(kPath);
    M->SetStoreInRegistry(true);
  } else {
    M->SetIniFileName(IniName());
    M->SetStoreInIniFile(true);
  }
  ToolsBar->SetCaption(A("我的工具"));
  F->Free();
  F = nullptr;
  Pump();
  if (Reg()) {
    RegistryFlush();
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(AnsiString("\\") + kPath + "\\Bar1", false));
    EXPECT_EQ(r.ReadString("Caption"), A("我的工具"));
  } else {
    TMemIniFile ini(IniName());
    EXPECT_EQ(ini.ReadString("BarsTestForm.BarManager1.Bar1", "Caption", ""), A("我的工具"));
  }
}

// A store that cannot be written when the form goes is reported once, and
// the form is destroyed all the same.
int gBoxes = 0;
std::string gBoxText;
int CountBox(HWND, const AnsiString& Text, const AnsiString&, UINT) {
  ++gBoxes;
  gBoxText = std::string(Text);
  return IDOK;
}

TEST_P(BarsStoreTest, AStoreThatCannotBeWrittenIsReportedAndTheFormCloses) {
  gBoxes = 0;
  SetMessageBoxProc(&CountBox);
  if (Reg()) {
    M->SetRegistryPath(kPath);
    M->SetStoreInRegistry(true);
    // the registry's folder is taken by a plain file
    std::filesystem::remove_all(Temp.Path + "/penvarro");
    WriteWholeFile(Temp.Path + "/penvarro", "not a folder");
  } else {
    M->SetIniFileName(Temp.File("missing/layout.ini"));
    M->SetStoreInIniFile(true);
  }
  F->Free();
  F = nullptr;
  Pump();
  SetMessageBoxProc(nullptr);
  EXPECT_EQ(gBoxes, 1);
  EXPECT_NE(gBoxText.find("write"), std::string::npos) << gBoxText;
  RegistryResetCache();
}

// A stored text that an ini file could not keep (a NUL byte, a line break)
// is refused on reading, in the registry too: the layout goes to the ini
// store again when the form closes.
TEST_P(BarsStoreTest, TextsAnIniFileCannotKeepAreRefused) {
  if (!Reg()) GTEST_SKIP() << "an ini file cannot hold them to begin with";
  struct Case {
    const char* Place;
    const char* Name;
    AnsiString Text;
  };
  const Case cases[] = {
      {"Bar1", "Caption", AnsiString("a\0b", 3)},
      {"Bar1", "Caption", "two\r\nlines"},
      {"Bar1\\ItemLink0", "UserCaption", AnsiString("\0", 1)},
      {"Bar1", "DockControl", "x\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Place + std::string("/") + c.Name);
    ToolLink(F->CutButton)->SetUserCaption(A("剪下"));
    Save();
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(AnsiString("\\") + kPath + "\\" + c.Place, false));
    r.WriteString(c.Name, c.Text);
    r.CloseKey();
    ToolsBar->SetCaption("now");
    EXPECT_THROW(Load(), EkxBarError);
    EXPECT_EQ(ToolsBar->Caption(), "now");
  }
  // what was refused never reaches the ini store when the form closes
  M->SetIniFileName(Temp.File("layout.ini"));
  M->SetStoreInIniFile(true);
  gBoxes = 0;
  SetMessageBoxProc(&CountBox);
  F->Free();
  F = nullptr;
  SetMessageBoxProc(nullptr);
  EXPECT_EQ(gBoxes, 0) << gBoxText;
}

}  // namespace kxbarstore_test
