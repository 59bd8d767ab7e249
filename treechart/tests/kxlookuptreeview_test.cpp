// Lookup tree edits over the shipped library: the drop-down tree of a list
// table, choosing a node (its key stored in a field of another table), the
// whole path as text, Esc restoring the list's record, parents that may not be
// chosen, placement at the edges of the work area, the size kept for the next
// opening, the close button, circular links and the window description.
#include "platform/classes/filer.h"
#include "platform/db/init.h"
#include "platform/gdi/tests/refimage.h"
#include "treechart/kxlookuptreeview.h"
#include "treechart/tests/kxdbtreefixture.h"

namespace {

// zNodeType: 1 节点类型 (2 人物 (6 主角, 7 配角), 3 地点, 4 事件, 5 物品)
class KxLookupTreeTest : public KxDBTreeFixture {
 protected:
  TADOTable* List = nullptr;
  TADOTable* Data = nullptr;
  TkxDBLookupTreeView* Edit = nullptr;
  std::vector<bool> CloseUps;

  void SetUp() override {
    KxDBTreeFixture::SetUp();
    List = OpenTable("zNodeType");
    Data = OpenTable("region1");
    Edit = new TkxDBLookupTreeView(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(20, 20, 180, 0);
    Edit->SetKeyField("tid");
    Edit->SetParentField("tparent");
    Edit->SetListField("tname");
    Edit->SetListSource(SourceOf(List));
    Edit->SetDataField("ttype");
    Edit->SetDataSource(SourceOf(Data));
    Edit->OnCloseUp = TkxTreeViewCloseUp(this, &KxLookupTreeTest::Closed);
    Form->Show();
    Pump();
  }
  void Closed(TObject* Sender, bool Accept) {
    EXPECT_EQ(Sender, Edit);
    CloseUps.push_back(Accept);
  }
  TPopupDBTreeView* Popup() { return Edit->GetPopupTree(); }
  static int FontTextHeightOf(TControl* C) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, C->Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
  }
  void Open() {
    Edit->DropDown();
    Pump();
    ASSERT_TRUE(Edit->DroppedDown());
    Popup()->FullExpand();
  }
  void Key(TWinControl* C, Word K) { C->Perform(WM_KEYDOWN, K, 0); }
  TRect PopupRect() {
    RECT r;
    GetWindowRect(Popup()->Handle(), &r);
    return TRect(r.left, r.top, r.right, r.bottom);
  }
};

TEST_F(KxLookupTreeTest, ChoosingANodeStoresItsKeyInTheDataField) {
  ASSERT_TRUE(Data->Locate("tid", 2, {}));
  EXPECT_EQ(U8(Edit->Text()), "主角") << "the text of the record's type";
  Open();
  EXPECT_TRUE(IsWindowVisible(Popup()->Handle()));
  EXPECT_EQ(Tree(Popup()), "节点类型(人物(主角,配角),地点,事件,物品)");
  EXPECT_EQ(U8(Popup()->Selected()->Text()), "主角") << "the field's value is selected";
  Popup()->SetSelected(Node(Popup(), "地点"));
  Key(Popup(), VK_RETURN);
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(Popup()->Handle()));
  EXPECT_EQ(CloseUps, std::vector<bool>{true});
  EXPECT_EQ(Edit->KeyValue(), Variant(3));
  EXPECT_EQ(U8(Edit->Text()), "地点");
  EXPECT_EQ(Data->State(), dsEdit);
  EXPECT_EQ(Data->FieldByName("ttype")->AsInteger(), 3);
  Data->Post();
  EXPECT_EQ(Popup()->DataSource(), nullptr) << "bound to the list only while open";
  // a double click on a node chooses it too
  Open();
  TTreeNode* n = Node(Popup(), "配角");
  TRect r = n->DisplayRect(true);
  TPoint p = Popup()->ClientToScreen(TPoint(r.left + 4, (r.top + r.bottom) / 2));
  hb->AdvanceClock(2000);
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(Edit->KeyValue(), Variant(7));
  EXPECT_EQ(Data->FieldByName("ttype")->AsInteger(), 7);
}

// The application's use: a node links to a narrative table picked from the
// alias list memAlias; the field keeps the alias row's key as text.
TEST_F(KxLookupTreeTest, AnAliasListPicksTheLinkedTable) {
  Sql("INSERT INTO memAlias (tid, tparent, tname, tsortid) VALUES (2, 1, 'mem2', '素材二')");
  TADOTable* aliases = OpenTable("memAlias");
  auto* e = new TkxDBLookupTreeView(Form);
  e->SetParent(Form);
  e->SetBounds(20, 60, 180, 0);
  e->SetKeyField("tid");
  e->SetParentField("tparent");
  e->SetListField("tsortid");
  e->SetListSource(SourceOf(aliases));
  e->SetDataField("tlinktable");
  e->SetDataSource(SourceOf(Data));
  Pump();
  ASSERT_TRUE(Data->Locate("tid", 5, {}));
  EXPECT_EQ(e->Text(), "") << "no table linked yet";
  e->DropDown();
  Pump();
  e->GetPopupTree()->FullExpand();
  EXPECT_EQ(Tree(e->GetPopupTree()), "叙事素材(素材二)");
  e->GetPopupTree()->SetSelected(Node(e->GetPopupTree(), "素材二"));
  Key(e->GetPopupTree(), VK_RETURN);
  EXPECT_EQ(e->KeyValue(), Variant(2));
  EXPECT_EQ(U8(e->Text()), "素材二");
  Data->Post();
  EXPECT_EQ(U8(Data->FieldByName("tlinktable")->AsString()), "2");
  TADOTable check(nullptr);
  check.SetConnectionString(ConnectionString());
  check.SetTableName("region1");
  check.Open();
  ASSERT_TRUE(check.Locate("tid", 5, {}));
  EXPECT_EQ(check.FieldByName("tlinktable")->AsString(), "2") << "written to the file";
}

TEST_F(KxLookupTreeTest, TheWholePathAndMissingValues) {
  Edit->SetTextStyle(tvtsFull);
  ASSERT_TRUE(Data->Locate("tid", 2, {}));
  Edit->DataLink()->Reset();
  EXPECT_EQ(U8(Edit->Text()), "节点类型.人物.主角");
  Open();
  Popup()->SetSelected(Node(Popup(), "配角"));
  Edit->CloseUp(true);
  EXPECT_EQ(U8(Edit->Text()), "节点类型.人物.配角");
  Edit->SetDividedChar('/');
  Edit->DataLink()->Reset();
  EXPECT_EQ(U8(Edit->Text()), "节点类型/人物/配角");
  // a value the list does not hold shows nothing
  Data->FieldByName("ttype")->SetAsInteger(99);
  EXPECT_EQ(Edit->Text(), "");
  Data->Cancel();
}

TEST_F(KxLookupTreeTest, EscapeReturnsTheListToItsRecord) {
  ASSERT_TRUE(List->Locate("tid", 4, {}));
  Open();
  Popup()->SetSelected(Node(Popup(), "配角"));
  EXPECT_EQ(List->FieldByName("tid")->AsInteger(), 7) << "the pop-up moves the list";
  const AnsiString before = Edit->Text();
  Key(Popup(), VK_ESCAPE);
  EXPECT_EQ(CloseUps, std::vector<bool>{false});
  EXPECT_EQ(List->FieldByName("tid")->AsInteger(), 4);
  EXPECT_EQ(Edit->Text(), before);
  EXPECT_NE(Data->State(), dsEdit) << "nothing written";
}

TEST_F(KxLookupTreeTest, ParentsCannotBeChosenUnlessAllowed) {
  Edit->SetCanSelectParents(false);
  Open();
  Popup()->SetSelected(Node(Popup(), "物品"));
  Popup()->SetSelected(Node(Popup(), "人物"));
  EXPECT_EQ(U8(Popup()->Selected()->Text()), "物品") << "a node with children is refused";
  TTreeNode* parent = Node(Popup(), "人物");
  TRect r = parent->DisplayRect(true);
  TPoint p = Popup()->ClientToScreen(TPoint(r.left + 4, (r.top + r.bottom) / 2));
  hb->AdvanceClock(2000);
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_TRUE(Edit->DroppedDown()) << "a double click on a parent does not close";
  Edit->CloseUp(false);
}

TEST_F(KxLookupTreeTest, TheDropDownStaysInsideTheWorkArea) {
  struct Case {
    const char* name;
    int left, top;
    bool above;
  } cases[] = {
      {"room below", 100, 100, false},
      {"near the bottom: above the edit", 100, 1040, true},
      {"near the right edge: shifted left", 1860, 100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Form->SetBounds(c.left - 30, c.top - 40, 400, 60);
    Edit->SetWidth(180);
    Edit->SetDropDownWidth(0);
    Pump();
    Open();
    RECT er;
    GetWindowRect(Edit->Handle(), &er);
    const TRect pr = PopupRect();
    EXPECT_LE(pr.right, 1920);
    EXPECT_GE(pr.left, 0);
    EXPECT_EQ(pr.Width(), 180) << "as wide as the edit";
    EXPECT_EQ(pr.Height(), FontTextHeightOf(Edit) * 7 + 26);
    if (c.above) {
      EXPECT_EQ(pr.bottom, er.top);
      EXPECT_EQ(Popup()->GripCorner(), 1) << "the grip at the top right";
      EXPECT_LT(Popup()->CloseRect().left, Popup()->GripRect().left) << "the close button at the top left";
      EXPECT_LT(Popup()->CloseRect().top, Popup()->ClientToScreen(TPoint(0, 0)).y);
    } else {
      EXPECT_EQ(pr.top, er.bottom);
      EXPECT_EQ(Popup()->GripCorner(), 3);
      EXPECT_GT(Popup()->CloseRect().top, Popup()->ClientToScreen(TPoint(0, Popup()->ClientHeight())).y - 1);
    }
    if (c.left > 1800) {
      EXPECT_EQ(pr.right, 1920);
    }
    Edit->CloseUp(false);
  }
}

TEST_F(KxLookupTreeTest, TheSizeGivenIsKeptForTheNextOpening) {
  Open();
  const TRect pr = PopupRect();
  // the grip sizes the pop-up
  const TRect grip = Popup()->GripRect();
  const TPoint g((grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2);
  hb->MouseMove(g.x, g.y);
  Pump();
  // the sizing loop takes the moves that follow the press
  hb->MouseDown(g.x, g.y);
  hb->MouseMove(g.x + 30, g.y + 20);
  hb->MouseMove(g.x + 60, g.y + 40);
  hb->MouseUp(g.x + 60, g.y + 40);
  Pump();
  EXPECT_EQ(PopupRect().Width(), pr.Width() + 60);
  EXPECT_EQ(PopupRect().Height(), pr.Height() + 40);
  Edit->CloseUp(false);
  EXPECT_EQ(Edit->DropDownWidth(), pr.Width() + 60);
  EXPECT_EQ(Edit->DropDownRows(), (pr.Height() + 40 - 26) / FontTextHeightOf(Edit));
  Open();
  EXPECT_EQ(PopupRect().Width(), pr.Width() + 60);
  // made very small: two rows next time
  Popup()->SetBounds(PopupRect().left, PopupRect().top, 100, 30);
  Edit->CloseUp(false);
  EXPECT_EQ(Edit->DropDownRows(), 2);
}

TEST_F(KxLookupTreeTest, TheCloseButtonClosesOnlyWhenReleasedOverIt) {
  Open();
  const TRect close = Popup()->CloseRect();
  ASSERT_GT(close.Width(), 0);
  const TPoint c((close.left + close.right) / 2, (close.top + close.bottom) / 2);
  hb->MouseMove(c.x, c.y);
  Pump();
  EXPECT_TRUE(Popup()->CloseHot());
  hb->MouseDown(c.x, c.y);
  Pump();
  EXPECT_TRUE(Popup()->ClosePressed());
  hb->MouseMove(c.x + 80, c.y - 60);
  Pump();
  EXPECT_FALSE(Popup()->CloseHot());
  hb->MouseUp(c.x + 80, c.y - 60);
  Pump();
  EXPECT_TRUE(Edit->DroppedDown()) << "released elsewhere: the pop-up stays";
  EXPECT_FALSE(Popup()->ClosePressed());
  hb->MouseMove(c.x, c.y);
  Pump();
  hb->AdvanceClock(2000);
  hb->MouseDown(c.x, c.y);
  Pump();
  hb->MouseUp(c.x, c.y);
  Pump();
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(CloseUps, std::vector<bool>{false});
}

TEST_F(KxLookupTreeTest, TheKeyboardAndTheMouseOpenTheDropDown) {
  Edit->SetFocus();
  Pump();
  Edit->Perform(WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
  Pump();
  EXPECT_TRUE(Edit->DroppedDown());
  EXPECT_EQ(GetFocus(), Popup()->Handle());
  // a press on the edit while open closes without choosing
  TPoint p = Edit->ClientToScreen(TPoint(10, 5));
  hb->MouseDown(p.x, p.y);
  Pump();
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(CloseUps, std::vector<bool>{false});
  // a press opens it
  hb->AdvanceClock(2000);
  p = Edit->ClientToScreen(TPoint(Edit->ClientWidth() - 5, 5));
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_TRUE(Edit->DroppedDown());
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_FALSE(Edit->ButtonPressed());
  Edit->CloseUp(false);
}

TEST_F(KxLookupTreeTest, ALinkToItsOwnListIsRefused) {
  auto* e = new TkxDBLookupTreeView(Form);
  e->SetKeyField("tid");
  e->SetParentField("tparent");
  e->SetListField("tname");
  TDataSource* s = SourceOf(List);
  e->SetListSource(s);
  e->SetDataField("tparent");
  try {
    e->SetDataSource(SourceOf(List));
    FAIL() << "no error";
  } catch (const EDatabaseError& x) {
    EXPECT_NE(std::string(x.what()).find("Circular datalinks are not allowed"), std::string::npos) << x.what();
  }
}

TEST_F(KxLookupTreeTest, PublishedSettingsReadAndWriteThroughDescriptions) {
  InitDataAccess();
  const std::string edit =
      "  object Look1: TkxDBLookupTreeView\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 160\n"
      "    Height = " + std::to_string(Edit->Height()) + "\n"
      "    TabOrder = 0\n"
      "    CanSelectParents = False\n"
      "    DropDownRows = 9\n"
      "    DropDownWidth = 240\n"
      "    TreeViewShowLines = False\n"
      "    TreeViewSortType = stText\n"
      "    DisplayField = 'tsortid;tname'\n"
      "    DividedChar = '/'\n"
      "    ListSource = LS1\n"
      "    KeyField = 'tid'\n"
      "    ListField = 'tname'\n"
      "    ParentField = 'tparent'\n"
      "    TextStyle = tvtsFull\n"
      "    Options = [trCanDBNavigate, trCheckHasChildren]\n"
      "    AssignField = 'tid'\n"
      "    DataField = 'ttype'\n"
      "    DataSource = DS1\n"
      "  end\n";
  const std::string text = "object Form2: TForm\n  Left = 0\n  Top = 0\n  Width = 300\n  Height = 200\n"
                           "  object LS1: TDataSource\n  end\n  object DS1: TDataSource\n  end\n" + edit + "end\n";
  auto* form = new TForm(Application, 0);
  ReadComponentFromText(text, form);
  auto* e = dynamic_cast<TkxDBLookupTreeView*>(form->FindComponent("Look1"));
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->CanSelectParents());
  EXPECT_EQ(e->DropDownRows(), 9);
  EXPECT_FALSE(e->TreeViewShowLines());
  EXPECT_EQ(e->TreeViewSortType(), stText);
  EXPECT_EQ(e->DividedChar(), '/');
  EXPECT_EQ(e->TextStyle(), tvtsFull);
  EXPECT_EQ(e->Options(), (TkxDBTreeViewOptions{trCanDBNavigate, trCheckHasChildren}));
  EXPECT_EQ(e->DataField(), "ttype");
  form->Show();
  dynamic_cast<TDataSource*>(form->FindComponent("LS1"))->SetDataSet(List);
  dynamic_cast<TDataSource*>(form->FindComponent("DS1"))->SetDataSet(Data);
  ASSERT_TRUE(Data->Locate("tid", 3, {}));
  EXPECT_EQ(U8(e->Text()), "节点类型/人物/配角");
  const std::string written = WriteComponentToText(form);
  const auto at = written.find("  object Look1");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(written.substr(at, edit.size()), edit);
}

TEST_F(KxLookupTreeTest, TheDroppedDownEditLooksAsDrawn) {
  Form->SetBounds(0, 0, 240, 260);
  Edit->SetBounds(8, 8, 180, 0);
  Pump();
  ASSERT_TRUE(Data->Locate("tid", 2, {}));
  Open();
  Popup()->SetSelected(Node(Popup(), "地点"));
  Pump();
  RECT er;
  GetWindowRect(Edit->Handle(), &er);
  const TRect pr = PopupRect();
  RECT area{er.left - 2, er.top - 2, std::max(er.right, LONG(pr.right)) + 2, pr.bottom + 2};
  std::vector<std::uint32_t> px = hb->ComposeScreen(area);
  TRawImage img;
  img.Width = area.right - area.left;
  img.Height = area.bottom - area.top;
  img.Pixels.resize(px.size());
  for (std::size_t i = 0; i < px.size(); ++i) img.Pixels[i] = px[i] | 0xFF000000u;
  EXPECT_TRUE(MatchesReference(img, "treechart/tests/ref", "lookup_dropped_down"));
  Edit->CloseUp(false);
}

}  // namespace
