// The layout text: saving and loading give back the same arrangement, and a
// damaged or foreign text is refused whole with a clear error while the
// current arrangement stays as it is.
#include <algorithm>
#include <functional>
#include <map>

#include <utility>

#include "docking/tests/storywindow.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/streams.h"

namespace {

class TLayoutLoadingForm : public TForm {
  PV_CLASS(TLayoutLoadingForm, TForm)
 public:
  TLayoutLoadingForm(TComponent* AOwner, std::function<void()> ALoad) : TForm(AOwner, 0), FLoad(std::move(ALoad)) {
    OnCreate = TNotifyEvent(this, &TLayoutLoadingForm::FormCreate);
  }
  void FormCreate(TObject*) { FLoad(); }

 private:
  std::function<void()> FLoad;
};

class LayoutTest : public StoryWindowTest {
 protected:
  std::string Save() {
    TStringStream S;
    M->SaveLayoutToStream(&S);
    return std::string(S.DataString().c_str(), S.DataString().size());
  }
  void Load(const std::string& Text) {
    TStringStream S(AnsiString(Text.c_str(), Text.size()));
    M->LoadLayoutFromStream(&S);
    Pump();
  }
  // The text with the changes Edit makes to it as an ini file.
  static std::string Edited(const std::string& Text, const std::function<void(TMemIniFile&)>& Edit) {
    TStringList Lines;
    Lines.SetText(AnsiString(Text.c_str(), Text.size()));
    TMemIniFile Ini("");
    Ini.SetStrings(&Lines);
    Edit(Ini);
    TStringList Out;
    Ini.GetStrings(&Out);
    const AnsiString R = Out.Text();
    return std::string(R.c_str(), R.size());
  }
  // The text with its sections numbered in tree order from the roots: loading
  // registers rebuilt containers anew, so only the numbers may differ between
  // two texts of one arrangement.
  static std::string Canonical(const std::string& Text) {
    TStringList Lines;
    Lines.SetText(AnsiString(Text.c_str(), Text.size()));
    TMemIniFile Ini("");
    Ini.SetStrings(&Lines);
    TStringList Sections;
    Ini.ReadSections(&Sections);
    std::vector<std::pair<int, std::string>> Roots;
    for (int i = 0; i < Sections.Count(); ++i) {
      const AnsiString C = Ini.ReadString(Sections[i], "ClassName", "");
      if (C == "TkxDockSite" || C == "TkxFloatDockSite") Roots.push_back({StrToInt(Sections[i]), Sections[i].c_str()});
    }
    std::sort(Roots.begin(), Roots.end());
    std::map<std::string, int> Number;
    std::vector<std::string> Order;
    std::function<void(const std::string&)> Walk = [&](const std::string& S) {
      Number[S] = int(Order.size());
      Order.push_back(S);
      const int N = Ini.ReadInteger(S.c_str(), "ChildCount", 0);
      for (int i = 0; i < N; ++i) Walk(Ini.ReadString(S.c_str(), ("Children" + std::to_string(i)).c_str(), "").c_str());
    };
    for (const auto& R : Roots) Walk(R.second);
    std::string Out = "[Root]\nDockControlCount=" + std::string(Ini.ReadString("Root", "DockControlCount", "").c_str()) + "\n";
    for (const std::string& S : Order) {
      Out += "[" + std::to_string(Number[S]) + "]\n";
      TStringList Keys;
      Ini.ReadSection(S.c_str(), &Keys);
      for (int k = 0; k < Keys.Count(); ++k) {
        std::string V = Ini.ReadString(S.c_str(), Keys[k], "").c_str();
        if (Keys[k].rfind("Children", 0) == 0) V = std::to_string(Number[V]);
        Out += std::string(Keys[k].c_str()) + "=" + V + "\n";
      }
    }
    return Out;
  }
  // The numbered section of the control with that name.
  static AnsiString SectionOf(TMemIniFile& Ini, const char* Name) {
    TStringList Sections;
    Ini.ReadSections(&Sections);
    for (int i = 0; i < Sections.Count(); ++i)
      if (Ini.ReadString(Sections[i], "Name", "") == Name) return Sections[i];
    ADD_FAILURE() << "no section for " << Name;
    return AnsiString();
  }
  // Another arrangement: a page floats, another docks at the site's left, the
  // bottom container is pinned.
  void Rearrange() {
    Named<TkxDockPanel>("ChartPanel")->MakeFloating(300, 300);
    Named<TkxDockPanel>("ModelPanel")->DockTo(Named<TkxDockSite>("RightHost"), dtLeft, -1);
    Named<TkxTabContainerDockSite>("bottomTabContainerDockSite")->SetAutoHide(false);
    Pump();
  }
};

TEST_F(LayoutTest, SavingThenLoadingGivesBackTheSameArrangement) {
  const std::string Before = Save();
  ASSERT_NE(Before.find("[Root]"), std::string::npos);
  ASSERT_NE(Before.find("DockControlCount="), std::string::npos);
  Rearrange();
  const std::string Changed = Save();
  ASSERT_NE(Changed, Before);
  Load(Before);
  EXPECT_EQ(Canonical(Save()), Canonical(Before));
  EXPECT_EQ(Named<TkxDockPanel>("ChartPanel")->GetDockingState(), dcsDocked);
  EXPECT_EQ(Named<TkxDockPanel>("ChartPanel")->TabContainer(), Named<TkxTabContainerDockSite>("mainTabContainerDockSite"));
  EXPECT_TRUE(Named<TkxTabContainerDockSite>("bottomTabContainerDockSite")->AutoHide());
  // And the other way: the changed arrangement comes back, the float window included.
  Load(Changed);
  EXPECT_EQ(Canonical(Save()), Canonical(Changed));
  ASSERT_EQ(Named<TkxDockPanel>("ChartPanel")->GetDockingState(), dcsFloating);
  EXPECT_TRUE(Named<TkxDockPanel>("ChartPanel")->FloatForm()->Visible());
}

TEST_F(LayoutTest, AMissingTabsPositionReadsAsTheDefault) {
  const std::string Text = Edited(Save(), [](TMemIniFile& Ini) {
    Ini.DeleteKey(SectionOf(Ini, "mainTabContainerDockSite"), "TabsPosition");
  });
  // A text without the key loads with the tabs at the bottom, whatever they were.
  Named<TkxTabContainerDockSite>("mainTabContainerDockSite")->SetTabsPosition(tctpTop);
  Load(Text);
  EXPECT_EQ(Named<TkxTabContainerDockSite>("mainTabContainerDockSite")->TabsPosition(), tctpBottom);
}

TEST_F(LayoutTest, ADamagedOrForeignTextIsRefusedAndTheArrangementStays) {
  Rearrange();
  const std::string Good = Save();
  const int Count = GetDockingController()->DockControlCount();
  auto Set = [](const char* Name, const char* Key, const char* Value) {
    return [=](TMemIniFile& Ini) { Ini.WriteString(SectionOf(Ini, Name), Key, Value); };
  };
  struct TCase {
    const char* Name;
    std::string Text;
    const char* Says;
  };
  const std::string Half = Good.substr(0, Good.size() / 2);
  const TCase Cases[] = {
      {"a cycle", Edited(Good, [](TMemIniFile& Ini) {
         Ini.WriteString(SectionOf(Ini, "mainTabContainerDockSite"), "Children0", SectionOf(Ini, "rightLayoutDockSite"));
       }), "reached twice"},
      {"a shared child", Edited(Good, [](TMemIniFile& Ini) {
         Ini.WriteString(SectionOf(Ini, "mainTabContainerDockSite"), "Children0", SectionOf(Ini, "NovelPanel"));
       }), "reached twice"},
      {"a class that is no dock control", Edited(Good, Set("TextPanel", "ClassName", "TForm")), "not a dock control"},
      {"a new control of a foreign class", Edited(Good, [](TMemIniFile& Ini) {
         const AnsiString S = SectionOf(Ini, "TextPanel");
         Ini.WriteString(S, "Name", "Intruder");
         Ini.WriteString(S, "ClassName", "TForm");
       }), "not a dock control"},
      {"an unknown class", Edited(Good, Set("TextPanel", "ClassName", "TNoSuchThing")), "unknown class"},
      {"a control of another class", Edited(Good, Set("TextPanel", "ClassName", "TkxLayoutDockSite")), "but it is a"},
      {"a site inside a tree", Edited(Good, Set("TextPanel", "ClassName", "TkxDockSite")), "TextPanel"},
      {"a DockType out of range", Edited(Good, Set("DesignPanel", "DockType", "9")), "DockType=9"},
      {"a negative DockType", Edited(Good, Set("DesignPanel", "DockType", "-1")), "DockType=-1"},
      {"an AutoHidePosition out of range", Edited(Good, Set("leftTabContainerDockSite", "AutoHidePosition", "17")),
       "AutoHidePosition=17"},
      {"a TabsPosition out of range", Edited(Good, Set("mainTabContainerDockSite", "TabsPosition", "5")),
       "TabsPosition=5"},
      {"a huge child count", Edited(Good, Set("mainTabContainerDockSite", "ChildCount", "2147483647")),
       "more children than the text holds"},
      {"a negative child count", Edited(Good, Set("mainTabContainerDockSite", "ChildCount", "-4")), "negative"},
      {"a child count the keys do not hold", Edited(Good, Set("mainTabContainerDockSite", "ChildCount", "7")),
       "(the text is cut short)"},
      {"a panel with children", Edited(Good, Set("TextPanel", "ChildCount", "1")), "children"},
      {"a missing child section", Edited(Good, Set("mainTabContainerDockSite", "Children1", "99999")), "[99999]"},
      {"a huge width", Edited(Good, Set("TextPanel", "Width", "99999999")), "Width=99999999"},
      {"a negative DockControlCount", Edited(Good, [](TMemIniFile& Ini) {
         Ini.WriteString("Root", "DockControlCount", "-1");
       }), "negative"},
      {"a truncated text", Half, "Docking layout cannot be loaded"},
      {"a foreign ini text", "[Window]\nLeft=10\nTop=20\n", "no section [Root]"},
      {"bytes that are no text", std::string("\x01\x02[\xff\xfe\x00\x7f]\n=\x80\x81", 13), "no section [Root]"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ASSERT_NE(C.Text, Good);
    std::string Message;
    try {
      Load(C.Text);
    } catch (const EkxDockingLayoutError& E) {
      Message = std::string(E.Message.c_str(), E.Message.size());
    }
    EXPECT_EQ(Message.rfind("Docking layout cannot be loaded: ", 0), 0u) << Message;
    EXPECT_NE(Message.find(C.Says), std::string::npos) << Message;
    EXPECT_EQ(Save(), Good);
    EXPECT_EQ(GetDockingController()->DockControlCount(), Count);
    EXPECT_EQ(Story->FindComponent("Intruder"), nullptr);
  }
  // The arrangement still works: the good text loads.
  Load(Good);
  EXPECT_EQ(Canonical(Save()), Canonical(Good));
}

TEST_F(LayoutTest, ADamagedTextLoadedAtStartUpLeavesTheFormStandingAndReportsTheError) {
  const std::string Good = Save();
  const std::string Bad = Edited(Good, [](TMemIniFile& Ini) {
    Ini.WriteString(SectionOf(Ini, "mainTabContainerDockSite"), "Children0", SectionOf(Ini, "RightHost"));
  });
  struct Reporter : TObject {
    std::vector<std::string> Errors;
    void Report(TObject*, Exception* E) { Errors.emplace_back(E->Message.c_str(), E->Message.size()); }
  } R;
  Application->OnException = TExceptionEvent(&R, &Reporter::Report);
  // A window that loads the text in its OnCreate, as the main window does at start-up.
  auto* W = NewObject<TLayoutLoadingForm>(Application, [&] { Load(Bad); });
  W->Show();
  Pump();
  Application->OnException = nullptr;
  EXPECT_TRUE(W->Visible());
  ASSERT_EQ(R.Errors.size(), 1u);
  EXPECT_NE(R.Errors[0].find("reached twice"), std::string::npos);
  EXPECT_EQ(Save(), Good);
}

}  // namespace
