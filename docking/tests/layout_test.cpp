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

// The text with its sections numbered in tree order from the roots: loading
// registers rebuilt containers anew, so only the numbers may differ between
// two texts of one arrangement.
std::string CanonicalLayout(const std::string& Text) {
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
  static std::string Canonical(const std::string& Text) { return CanonicalLayout(Text); }
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

TEST_F(LayoutTest, AMissingTabsPositionReadsAsTabsOnTop) {
  const std::string Text = Edited(Save(), [](TMemIniFile& Ini) {
    Ini.DeleteKey(SectionOf(Ini, "mainTabContainerDockSite"), "TabsPosition");
  });
  // A text without the key loads with the tabs on top, whatever they were.
  ASSERT_EQ(Named<TkxTabContainerDockSite>("mainTabContainerDockSite")->TabsPosition(), tctpBottom);
  Load(Text);
  EXPECT_EQ(Named<TkxTabContainerDockSite>("mainTabContainerDockSite")->TabsPosition(), tctpTop);
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
    EXPECT_EQ(FormTreeFaults(Story), "");
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

namespace {

// ---- layouts written by hand: odd ones that load into a sound tree, and
// malformed ones that are refused ----

// One section of a hand-written layout and its subtree.
struct TNode {
  std::string Class, Name;
  int DockType = 1;
  std::vector<std::pair<std::string, std::string>> Keys;
  std::vector<TNode> Kids;
  TNode With(const std::string& Key, const std::string& Value) const {
    TNode N = *this;
    N.Keys.emplace_back(Key, Value);
    return N;
  }
};

TNode Node(const char* Class, const char* Name, int DockType, std::vector<TNode> Kids = {}) {
  return TNode{Class, Name, DockType, {}, std::move(Kids)};
}
TNode EdgeSite(std::vector<TNode> Kids) { return Node("TkxDockSite", "Site1", 0, std::move(Kids)); }
TNode Layout(std::vector<TNode> Kids = {}, int DockType = dtClient) {
  return Node("TkxLayoutDockSite", "", DockType, std::move(Kids));
}
TNode P(const char* Name, int DockType = dtClient) { return Node("TkxDockPanel", Name, DockType); }
TNode Tab(int DockType, std::vector<TNode> Kids) { return Node("TkxTabContainerDockSite", "", DockType, std::move(Kids)); }
TNode Horiz(int DockType, std::vector<TNode> Kids) {
  return Node("TkxHorizContainerDockSite", "", DockType, std::move(Kids));
}
TNode Vert(int DockType, std::vector<TNode> Kids) {
  return Node("TkxVertContainerDockSite", "", DockType, std::move(Kids));
}
TNode Float(std::vector<TNode> Kids) {
  return Node("TkxFloatDockSite", "", dtNone, std::move(Kids)).With("FloatLeft", "900").With("FloatTop", "500");
}

// The layout text of the trees, sections numbered depth first from 0.
std::string LayoutText(const std::vector<TNode>& Roots) {
  std::string Body;
  int Next = 0;
  std::function<int(const TNode&)> Write = [&](const TNode& N) {
    const int Me = Next++;
    std::string S = "[" + std::to_string(Me) + "]\nClassName=" + N.Class + "\nName=" + N.Name +
                    "\nParentForm=Form1\nChildCount=" + std::to_string(N.Kids.size()) + "\n";
    std::string Later;
    std::vector<int> Numbers;
    // Children are numbered after their parent, so write the parent first.
    const std::size_t At = Body.size();
    Body += S;
    std::string Keys = "DockType=" + std::to_string(N.DockType) + "\nWidth=200\nHeight=150\n";
    for (const auto& [K, V] : N.Keys) Keys += K + "=" + V + "\n";
    std::string Kids;
    for (std::size_t i = 0; i < N.Kids.size(); ++i) {
      const int C = Write(N.Kids[i]);
      Kids += "Children" + std::to_string(i) + "=" + std::to_string(C) + "\n";
    }
    Body.insert(At + S.size(), Kids + Keys + "\n");
    return Me;
  };
  for (const TNode& R : Roots) Write(R);
  return "[Root]\nDockControlCount=" + std::to_string(Next) + "\n\n" + Body;
}

class LayoutShapeTest : public DockFormTest {
 protected:
  void SetUp() override {
    DockFormTest::SetUp();
    for (const char* Name : {"A", "B", "C", "D"}) NewPanel(F, Name);
  }
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
  std::string Faults() { return FormTreeFaults(F); }
  static const std::string& Good() {
    static const std::string Text = LayoutText({EdgeSite({Layout({Layout(), P("A")}), P("B", dtLeft)})});
    return Text;
  }
};

TEST_F(LayoutShapeTest, OddButSoundLayoutsLoadIntoTreesThatKeepTheRules) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::function<void()> Check;
  };
  const TCase Cases[] = {
      {"a tab container of one page: the page takes its place",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A")})})}),
       [&] {
         EXPECT_EQ(Panel("A")->ParentDockControl(), Site);
         EXPECT_EQ(Panel("A")->DockType(), dtLeft);
       }},
      {"a side container of one item",
       LayoutText({EdgeSite({Layout(), Horiz(dtBottom, {P("A", dtLeft)})})}),
       [&] {
         EXPECT_EQ(Panel("A")->ParentDockControl(), Site);
         EXPECT_EQ(Panel("A")->DockType(), dtBottom);
       }},
      {"a float site without a child", LayoutText({EdgeSite({Layout(), P("A", dtLeft)}), Float({})}),
       [&] { EXPECT_EQ(Panel("A")->ParentDockControl(), Site); }},
      {"a client control over a layout site that holds more",
       LayoutText({EdgeSite({Layout({Layout(), P("B", dtTop)}), P("A", dtClient)})}),
       [&] { EXPECT_EQ(Panel("A")->DockType(), dtClient); }},
      {"pages all hidden",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A").With("Visible", "0"), P("B").With("Visible", "0")})})}),
       [&] {
         ASSERT_NE(Panel("A")->TabContainer(), nullptr);
         EXPECT_FALSE(Panel("A")->TabContainer()->Visible());
       }},
      {"an active page out of range",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A"), P("B")}).With("ActiveChildIndex", "7")})}),
       [&] { ASSERT_NE(Panel("A")->TabContainer(), nullptr); }},
      {"a side container as a page",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A"), Vert(dtClient, {P("B", dtTop), P("C", dtBottom)})})})}),
       [&] { EXPECT_NE(Panel("B")->SideContainer(), nullptr); }},
      {"side containers nested",
       LayoutText({EdgeSite({Layout(), Horiz(dtLeft, {P("A", dtLeft), Vert(dtLeft, {P("B", dtTop), P("C", dtBottom)})})})}),
       [&] { EXPECT_NE(dynamic_cast<TkxVertContainerDockSite*>(Panel("B")->Container()), nullptr); }},
      {"an auto-hidden panel without a side",
       LayoutText({EdgeSite({Layout(), P("A", dtLeft).With("AutoHide", "1")})}),
       [&] {
         EXPECT_TRUE(Panel("A")->AutoHide());
         EXPECT_NE(Site->GetHideBarByControl(Panel("A")), nullptr);
       }},
      {"a section no parent names, and one past the count",
       LayoutText({EdgeSite({Layout(), P("A", dtLeft)}), P("C", dtLeft)}) +
           "[99]\nClassName=TkxDockPanel\nName=D\nParentForm=Form1\n",
       [&] { EXPECT_EQ(Panel("C")->ParentDockControl(), nullptr); }},
      {"an empty site", LayoutText({EdgeSite({})}), [&] { EXPECT_EQ(Site->ChildCount(), 0); }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Load(Good());
    ASSERT_NO_THROW(Load(C.Text));
    EXPECT_EQ(Faults(), "");
    C.Check();
    // Saved, loaded again and saved again: the same text, the rules still kept.
    const std::string Once = Save();
    ASSERT_NO_THROW(Load(Once));
    EXPECT_EQ(Faults(), "");
    EXPECT_EQ(CanonicalLayout(Save()), CanonicalLayout(Once));
  }
}

TEST_F(LayoutShapeTest, MalformedTreesAreRefusedAndTheArrangementStays) {
  struct TCase {
    const char* Name;
    std::string Text;
    const char* Says;
  };
  const TCase Cases[] = {
      {"a tab container inside a tab container",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A"), Tab(dtClient, {P("B"), P("C")})})})}),
       "tab container"},
      {"a layout site as a page", LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A"), Layout()})})}), "layout site"},
      {"a layout site as a float site's only child", LayoutText({EdgeSite({}), Float({Layout()})}), "layout site"},
      {"child 0 not a layout site", LayoutText({EdgeSite({P("A"), Layout()})}), "child 0"},
      {"child 0 a layout site docked at a side", LayoutText({EdgeSite({Layout({}, dtLeft), P("A", dtLeft)})}), "child 0"},
      {"a layout site as child 1", LayoutText({EdgeSite({Layout(), Layout({}, dtLeft)})}), "layout site"},
      {"a layout site in a side container", LayoutText({EdgeSite({Layout(), Horiz(dtLeft, {P("A", dtLeft), Layout()})})}),
       "layout site"},
      {"a page docked at a side", LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A", dtLeft), P("B")})})}), "page"},
      {"an auto-hidden layout site", LayoutText({EdgeSite({Layout().With("AutoHide", "1"), P("A", dtLeft)})}),
       "auto-hide"},
      {"an auto-hidden page of an auto-hidden container",
       LayoutText({EdgeSite({Layout(), Tab(dtLeft, {P("A").With("AutoHide", "1"), P("B")}).With("AutoHide", "1")})}),
       "auto-hide"},
      {"an auto-hidden control floating", LayoutText({EdgeSite({}), Float({P("A").With("AutoHide", "1")})}), "auto-hide"},
      {"a float site of two", LayoutText({EdgeSite({}), Float({P("A"), P("B")})}), "children"},
      {"a layout node of one", LayoutText({EdgeSite({Layout()})}), "children"},
  };
  Load(Good());
  const std::string Before = Save();
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::string Message;
    try {
      Load(C.Text);
    } catch (const EkxDockingLayoutError& E) {
      Message = std::string(E.Message.c_str(), E.Message.size());
    }
    EXPECT_EQ(Message.rfind("Docking layout cannot be loaded: ", 0), 0u) << Message;
    EXPECT_NE(Message.find(C.Says), std::string::npos) << Message;
    EXPECT_EQ(Save(), Before);
    EXPECT_EQ(Faults(), "");
    // A good layout still loads.
    const std::string Other = LayoutText({EdgeSite({Layout({Layout(), P("B")}), P("A", dtTop)})});
    ASSERT_NO_THROW(Load(Other));
    EXPECT_EQ(Panel("A")->DockType(), dtTop);
    Load(Before);
    EXPECT_EQ(Save(), Before);
  }
}

// A handler of a panel that raises when the panel gets a parent, while armed.
struct TRaisingParent : TObject {
  int Left = 0;  // raises this many more times
  void ParentChanged(TkxCustomDockControl* Sender) {
    if (Left > 0 && Sender->Parent()) {
      --Left;
      throw Exception("the panel refuses its place");
    }
  }
};

TEST_F(LayoutShapeTest, ABuildingThatFailsHalfwayPutsBackWhatStood) {
  TRaisingParent Raise;
  Panel("C")->OnParentChanged = TkxDockControlNotifyEvent(&Raise, &TRaisingParent::ParentChanged);
  Load(LayoutText({EdgeSite({Layout({Layout(), P("A")}), P("C", dtLeft)})}));
  const std::string Before = Save();
  const std::string WithC = LayoutText({EdgeSite({Layout({Layout(), P("A")}), Tab(dtLeft, {P("B"), P("C")})})});
  struct TCase {
    const char* Name;
    int Raises;
    bool Restored;
  };
  // Once: the arrangement that stood is built again. Always: even that
  // fails, and the panels are left undocked with no stray site about.
  for (const TCase& C : {TCase{"once", 1, true}, TCase{"always", 1000, false}}) {
    SCOPED_TRACE(C.Name);
    Raise.Left = C.Raises;
    std::string Message;
    try {
      Load(WithC);
    } catch (const EkxDockingLayoutError& E) {
      Message = E.Message.c_str();
    }
    EXPECT_NE(Message.find("the panel refuses its place"), std::string::npos) << Message;
    EXPECT_EQ(Faults(), "");
    if (C.Restored) {
      EXPECT_EQ(CanonicalLayout(Save()), CanonicalLayout(Before));
    } else {
      for (const char* Name : {"A", "B", "C"}) EXPECT_EQ(Panel(Name)->ParentDockControl(), nullptr) << Name;
      EXPECT_EQ(Site->ChildCount(), 0);
    }
    // Then the text loads as soon as nothing stands in its way.
    Raise.Left = 0;
    ASSERT_NO_THROW(Load(WithC));
    EXPECT_EQ(Faults(), "");
    ASSERT_NE(Panel("C")->TabContainer(), nullptr);
    Load(Before);
  }
  Panel("C")->OnParentChanged = nullptr;
}

}  // namespace
