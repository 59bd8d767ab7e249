// Static labels and progress bars on a toolbar, recently-used lists and sub
// items that expand inside their menu.
#include <algorithm>

#include "bars/kxbarcustomize.h"
#include "bars/tests/kxbaritemstest.h"
#include "platform/gdi/tests/refimage.h"

namespace kxbaritemsext_test {

using BarsExtraItemsTest = BarsItemsTest;

// The extra kinds follow the core ones in the registry, in the customizing
// window's order, each with its control class.
TEST_F(BarsExtraItemsTest, TheExtraKindsAreRegisteredInOrder) {
  std::vector<std::string> kinds;
  bool extra = false;
  for (int i = 0; i < kxBarRegisteredItemClassCount(); ++i) {
    const TRegItemRecord& r = kxBarRegisteredItemClass(i);
    if (r.ItemClass == TkxBarStatic::StaticClass()) extra = true;
    if (extra) kinds.push_back(std::string(r.ItemClass->Name) + ":" + r.ControlClass->Name);
    if (r.ItemClass == TkxBarInPlaceSubItem::StaticClass()) break;
  }
  const std::vector<std::string> want = {
      "TkxBarStatic:TkxBarStaticControl",
      "TkxBarLargeButton:TkxBarLargeButtonControl",
      "TkxBarColorCombo:TkxBarColorComboControl",
      "TkxBarFontNameCombo:TkxBarComboControl",
      "TkxBarDateCombo:TkxBarDateComboControl",
      "TkxBarTreeViewCombo:TkxBarTreeViewComboControl",
      "TkxBarImageCombo:TkxBarImageComboControl",
      "TkxBarToolbarsListItem:TkxBarToolbarsListItemControl",
      "TkxBarSpinEdit:TkxBarSpinEditControl",
      "TkxBarControlContainerItem:TkxBarControlContainerControl",
      "TkxBarProgressItem:TkxBarProgressControl",
      "TkxBarMRUListItem:TkxBarContainerItemControl",
      "TkxBarInPlaceSubItem:TkxBarInPlaceSubItemControl",
  };
  EXPECT_EQ(kinds, want);
}

// ---- progress ----

// The range keeps Min <= Max and Position within it, whichever end moves.
TEST_F(BarsExtraItemsTest, TheProgressRangeHoldsItsPosition) {
  struct Case {
    const char* What;
    int Min, Max, Position;  // set in this order
    int WantMin, WantMax, WantPosition;
  };
  const Case cases[] = {
      {"a lower end above the upper", 0, 10, 5, 0, 10, 5},
      {"Min 50 while Max is 10", 50, 10, 0, 50, 50, 50},
      {"Max -5 while Min is 0", 0, -5, 0, -5, -5, -5},
      {"a position above the range", 0, 100, 200, 0, 100, 100},
      {"a position below the range", 20, 100, 3, 20, 100, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    auto* p = new TkxBarProgressItem(F);
    if (std::string(c.What) == "Min 50 while Max is 10") {
      p->SetMax(10);
      p->SetMin(50);
    } else if (std::string(c.What) == "Max -5 while Min is 0") {
      p->SetMax(-5);
    } else {
      p->SetMin(c.Min);
      p->SetMax(c.Max);
      p->SetPosition(c.Position);
    }
    EXPECT_EQ(p->Min(), c.WantMin);
    EXPECT_EQ(p->Max(), c.WantMax);
    EXPECT_EQ(p->Position(), c.WantPosition);
    p->Free();
  }
  auto* p = new TkxBarProgressItem(F);
  EXPECT_EQ(p->BorderStyle(), TkxBarStaticBorderStyle::sbsLowered);
  EXPECT_EQ(p->Step(), 10);
  EXPECT_EQ(p->Color(), clDefault);
  p->Free();
}

// A progress item of width 0 on a horizontal toolbar draws a bar of 150
// pixels in blocks with gaps, or in one piece when smooth; a new position
// repaints only the bar, without erasing.
TEST_F(BarsExtraItemsTest, AProgressItemDrawsItsBarAfterItsCaption) {
  auto* p = new TkxBarProgressItem(F);
  p->SetCaption(A("进度"));
  p->SetPosition(100);
  OnToolbar(p);
  auto* c = dynamic_cast<TkxBarProgressControl*>(ToolLink(p)->Control());
  ASSERT_NE(c, nullptr);
  TRect item = c->ItemRect();
  TRect bar = c->GetBarRect();
  EXPECT_EQ(bar.Width(), 150);
  EXPECT_EQ(bar.right, item.right - (1 + 2)) << "the border and 2 pixels before the item's end";
  EXPECT_EQ(item.Height() - bar.Height(), (item.Height() - bar.Height()) / 2 * 2) << "centred across";
  EXPECT_GT(bar.left, item.left + 8) << "after the caption";
  Bar()->Repaint();
  Pump();
  int mid = (bar.top + bar.bottom) / 2;
  int block = MulDiv(bar.Height(), 2, 3);
  unsigned highlight = ScreenColor(clHighlight);
  EXPECT_EQ(PixelAt(bar.left + 1, mid), highlight);
  EXPECT_NE(PixelAt(bar.left + block, mid), highlight) << "a gap after the first block";
  EXPECT_EQ(PixelAt(bar.left + block + 2, mid), highlight);
  p->SetSmooth(true);
  Pump();
  EXPECT_EQ(PixelAt(bar.left + block, mid), highlight);
  p->SetColor(clRed);
  Pump();
  EXPECT_EQ(PixelAt(bar.left + block, mid), ScreenColor(clRed));
  // half way: the second half shows the bar's background
  Pump();
  p->SetPosition(50);
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(Bar()->Handle(), &update, FALSE));
  EXPECT_EQ(TRect(update.left, update.top, update.right, update.bottom), bar) << "only the bar is repainted";
  Pump();
  EXPECT_EQ(PixelAt(bar.left + 10, mid), ScreenColor(clRed));
  EXPECT_NE(PixelAt(bar.right - 10, mid), ScreenColor(clRed));
}

// ---- static ----

// A static item without a caption or glyph still keeps the glyph's room; it
// never takes the mouse's highlight in normal use, and clicks reach OnClick
// only when AllowClick is set.
TEST_F(BarsExtraItemsTest, AStaticItemIsALabelThatMayAllowClicks) {
  auto* s = new TkxBarStatic(F);
  s->SetShowCaption(false);
  s->SetLeftIndent(3);
  s->SetRightIndent(-4);
  EXPECT_EQ(s->RightIndent(), 0) << "negative indents are 0";
  s->SetRightIndent(4);
  s->SetBorderStyle(TkxBarStaticBorderStyle::sbsEtched);
  OnToolbar(s);
  auto* c = dynamic_cast<TkxBarStaticControl*>(ToolLink(s)->Control());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ItemRect().Width(), F->BarManager1->ButtonWidth() + 3 + 4 + 2 * 2);
  s->SetWidth(70);
  Pump();
  EXPECT_EQ(ToolLink(s)->Control()->ItemRect().Width(), 70);
  s->SetShowCaption(true);
  s->SetCaption(A("场景"));
  Pump();
  c = dynamic_cast<TkxBarStaticControl*>(ToolLink(s)->Control());
  EXPECT_FALSE(c->IsSelectable());
  int clicks = 0;
  struct Counter {
    int* N;
    void Click(TObject*) { ++*N; }
  } counter{&clicks};
  s->OnClick = TNotifyEvent(&counter, &Counter::Click);
  ClickLink(ToolLink(s));
  EXPECT_EQ(clicks, 0);
  s->SetAllowClick(true);
  ClickLink(ToolLink(s));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(s->CanUseAccel(ToolLink(s)));
}

// ---- recently-used lists ----

TEST_F(BarsExtraItemsTest, AnMRUListKeepsItsLimit) {
  struct Case {
    int Max;
    int WantMax;
    int WantCount;
  };
  const Case cases[] = {{2, 2, 2}, {0, 0, 5}, {-3, 0, 5}, {7, 7, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Max);
    auto* mru = new TkxBarMRUListItem(F);
    mru->SetMaxItemCount(0);
    for (const char* s : {"a", "b", "c", "d", "e"}) mru->Items()->Add(s);
    mru->SetMaxItemCount(c.Max);
    EXPECT_EQ(mru->MaxItemCount(), c.WantMax);
    EXPECT_EQ(mru->Items()->Count(), c.WantCount);
    EXPECT_EQ(mru->Items()->Get(0), "a");
    EXPECT_EQ(mru->Items()->Get(c.WantCount - 1), std::string(1, char('a' + c.WantCount - 1)));
    mru->Free();
  }
  auto* mru = new TkxBarMRUListItem(F);
  EXPECT_EQ(mru->MaxItemCount(), 5);
  TObject marker;
  mru->Items()->Add("x");
  mru->Items()->AddObject("y", &marker);
  mru->Items()->Add("z");
  mru->RemoveItem("nothing");
  EXPECT_EQ(mru->Items()->Count(), 3);
  mru->RemoveItem("", &marker);
  EXPECT_EQ(mru->Items()->CommaText(), "x,z");
  mru->RemoveItem("z");
  EXPECT_EQ(mru->Items()->CommaText(), "x");
  mru->Free();
}

// Long paths are shortened in the middle to fit 300 pixels, however long
// they are; short ones stay as they are.
TEST_F(BarsExtraItemsTest, MRUEntriesShowShortenedPaths) {
  auto* mru = new TkxBarMRUListItem(F);
  EXPECT_EQ(mru->GetDisplayText("/home/a.t"), "/home/a.t");
  for (int depth : {20, 200}) {
    SCOPED_TRACE(depth);
    AnsiString path;
    for (int i = 0; i < depth; ++i) path += "/folder" + IntToStr(i);
    path += "/story.t";
    ASSERT_GT(path.size(), depth == 200 ? 1000u : 100u);
    AnsiString shown = mru->GetDisplayText(path);
    EXPECT_LT(shown.size(), path.size());
    EXPECT_NE(shown.find("..."), AnsiString::npos);
    EXPECT_EQ(shown.substr(shown.size() - 8), "/story.t") << "the file name stays whole";
    HDC dc = GetDC(nullptr);
    SIZE s{};
    GetTextExtentPoint32A(dc, shown.c_str(), int(shown.size()), &s);
    ReleaseDC(nullptr, dc);
    EXPECT_LE(s.cx, 300);
  }
  mru->Free();
}

// A click on an entry runs the item's click with that entry's index, then
// removes the entry when RemoveItemOnClick is set.
TEST_F(BarsExtraItemsTest, AClickedMRUEntryIsRemoved) {
  auto* mru = new TkxBarMRUListItem(F);
  mru->SetName("Recent");
  for (const char* s : {"one.t", "two.t", "three.t"}) mru->Items()->Add(s);
  mru->SetRemoveItemOnClick(true);
  std::vector<int> seen;
  struct Recorder {
    TkxBarMRUListItem* Item;
    std::vector<int>* Seen;
    void Click(TObject*) { Seen->push_back(Item->ItemIndex()); }
  } recorder{mru, &seen};
  mru->OnClick = TNotifyEvent(&recorder, &Recorder::Click);
  F->FileMenu->ItemLinks()->Add()->SetItem(mru);
  ClickLink(MainMenu->ItemLinks()->Items(0));
  TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(mru->GeneratedCount(), 3);
  TkxBarItemLink* second = LinkIn(menu, mru->Generated(1));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->Caption().find("two.t"), AnsiString::npos);
  ClickLink(second);
  EXPECT_EQ(seen, std::vector<int>{1});
  EXPECT_EQ(mru->Items()->CommaText(), "one.t,three.t");
  EXPECT_EQ(mru->ItemIndex(), -1);
}

// ---- in-place sub items ----

class BarsInPlaceTest : public BarsExtraItemsTest {
 protected:
  TkxBarInPlaceSubItem* Sub = nullptr;
  TkxBarSubMenuControl* Menu = nullptr;
  std::vector<std::string> Events;
  void SetUp() override {
    BarsExtraItemsTest::SetUp();
    Sub = new TkxBarInPlaceSubItem(F);
    Sub->SetCaption(A("编辑"));
    Sub->ItemLinks()->Add()->SetItem(F->CutButton);
    Sub->ItemLinks()->Add()->SetItem(F->CopyButton);
    Sub->OnAfterExpand = TkxBarInPlaceSubItemEvent(this, &BarsInPlaceTest::AfterExpand);
    Sub->OnBeforeCollapse = TkxBarInPlaceSubItemEvent(this, &BarsInPlaceTest::BeforeCollapse);
    static_cast<TkxBarItemLink*>(F->FileMenu->ItemLinks()->Insert(1))->SetItem(Sub);
    ClickLink(MainMenu->ItemLinks()->Items(0));
    Menu = OpenMenu(MainMenu);
  }
  void AfterExpand(TkxBarItem* Sender, TkxBarItemLink* Link) {
    EXPECT_EQ(Sender, Sub);
    Events.push_back("expanded " + std::to_string(Link->ShownIndex()));
  }
  void BeforeCollapse(TkxBarItem*, TkxBarItemLink* Link) {
    Events.push_back("collapsing " + std::to_string(Link->ShownIndex()));
  }
  // The items of the open menu, in order.
  std::vector<TkxBarItem*> MenuItems() {
    std::vector<TkxBarItem*> v;
    for (int i = 0; i < Menu->ItemLinks()->ShownItemCount(); ++i) v.push_back(Menu->ItemLinks()->ShownItems(i)->Item());
    return v;
  }
};

// Right expands the line in the open menu and Left collapses it; the links
// appear below the line and the highlight stays on it.
TEST_F(BarsInPlaceTest, ExpandingInAnOpenMenuShowsTheLinksBelowTheLine) {
  ASSERT_NE(Menu, nullptr);
  using V = std::vector<TkxBarItem*>;
  EXPECT_EQ(MenuItems(), (V{F->OpenItem, Sub, F->NewItem, F->RecentMenu, F->ExitItem}));
  auto* control = dynamic_cast<TkxBarInPlaceSubItemControl*>(LinkIn(Menu, Sub)->Control());
  ASSERT_NE(control, nullptr);
  EXPECT_FALSE(control->OpensChildMenu());
  EXPECT_TRUE(control->IsExpandedInPlace());
  hb->Key(VK_DOWN);
  Pump();
  hb->Key(VK_DOWN);
  Pump();
  ASSERT_EQ(SelectedItemOf(Menu), Sub);
  hb->Key(VK_RIGHT);
  Pump();
  EXPECT_TRUE(Sub->Expanded());
  EXPECT_EQ(OpenMenu(MainMenu), Menu) << "no menu of its own";
  EXPECT_EQ(MenuItems(), (V{F->OpenItem, Sub, F->CutButton, F->CopyButton, F->NewItem, F->RecentMenu, F->ExitItem}));
  EXPECT_EQ(SelectedItemOf(Menu), Sub);
  EXPECT_EQ(Events, std::vector<std::string>{"expanded 1"});
  control = dynamic_cast<TkxBarInPlaceSubItemControl*>(LinkIn(Menu, Sub)->Control());
  EXPECT_FALSE(control->IsDropDownKey(VK_RIGHT)) << "expanded: Right is the menu's";
  hb->Key(VK_LEFT);
  Pump();
  EXPECT_FALSE(Sub->Expanded());
  EXPECT_EQ(MenuItems(), (V{F->OpenItem, Sub, F->NewItem, F->RecentMenu, F->ExitItem}));
  EXPECT_EQ(SelectedItemOf(Menu), Sub);
  EXPECT_EQ(Events, (std::vector<std::string>{"expanded 1", "collapsing 1"}));
  // a click toggles too
  ClickLink(LinkIn(Menu, Sub));
  EXPECT_TRUE(Sub->Expanded());
  EXPECT_EQ(MenuItems().size(), 7u);
}

// With KeepBeginGroupWhileExpanded the line after the expanded block starts a
// group, and stops when the block folds again.
TEST_F(BarsInPlaceTest, TheLineAfterTheBlockCanStartAGroup) {
  ASSERT_NE(Menu, nullptr);
  Sub->SetKeepBeginGroupWhileExpanded(true);
  TkxBarItemLink* next = LinkIn(Menu, F->NewItem);
  ASSERT_FALSE(next->BeginGroup());
  Sub->SetExpanded(true);
  Pump();
  EXPECT_TRUE(LinkIn(Menu, F->NewItem)->BeginGroup());
  Sub->SetExpanded(false);
  Pump();
  EXPECT_FALSE(LinkIn(Menu, F->NewItem)->BeginGroup());
  EXPECT_EQ(Events, (std::vector<std::string>{"expanded 1", "collapsing 1"}));
}

// The settings of the kinds are written to the form's description, each only
// when it differs from its default.
TEST_F(BarsExtraItemsTest, SettingsAreWrittenToTheDescription) {
  auto* label = new TkxBarStatic(F);
  label->SetName("ViewLabel");
  label->SetAlignment(taLeftJustify);
  label->SetBorderStyle(TkxBarStaticBorderStyle::sbsEtched);
  label->SetRightIndent(3);
  auto* progress = new TkxBarProgressItem(F);
  progress->SetName("Progress1");
  progress->SetMax(50);
  progress->SetPosition(20);
  progress->SetSmooth(true);
  auto* mru = new TkxBarMRUListItem(F);
  mru->SetName("Recent1");
  mru->SetMaxItemCount(9);
  mru->SetRemoveItemOnClick(true);
  auto* sub = new TkxBarInPlaceSubItem(F);
  sub->SetName("InPlace1");
  sub->SetKeepBeginGroupWhileExpanded(true);
  for (TkxBarItem* i : {static_cast<TkxBarItem*>(label), static_cast<TkxBarItem*>(progress),
                        static_cast<TkxBarItem*>(mru), static_cast<TkxBarItem*>(sub)})
    i->SetCategory(0);  // items without a category are not the form's
  AnsiString text = WriteComponentToText(F);
  auto section = [&](const char* Head) {
    std::size_t at = text.find(Head);
    return at == AnsiString::npos ? AnsiString() : text.substr(at, text.find("\n    end", at) - at);
  };
  AnsiString l = section("object ViewLabel: TkxBarStatic");
  EXPECT_NE(l.find("Alignment = taLeftJustify"), AnsiString::npos) << l;
  EXPECT_NE(l.find("BorderStyle = sbsEtched"), AnsiString::npos);
  EXPECT_NE(l.find("RightIndent = 3"), AnsiString::npos);
  EXPECT_EQ(l.find("LeftIndent"), AnsiString::npos);
  AnsiString p = section("object Progress1: TkxBarProgressItem");
  EXPECT_NE(p.find("Max = 50"), AnsiString::npos) << p;
  EXPECT_NE(p.find("Position = 20"), AnsiString::npos);
  EXPECT_NE(p.find("Smooth = True"), AnsiString::npos);
  EXPECT_EQ(p.find("BorderStyle"), AnsiString::npos) << "lowered is its default";
  AnsiString m = section("object Recent1: TkxBarMRUListItem");
  EXPECT_NE(m.find("MaxItemCount = 9"), AnsiString::npos) << m;
  EXPECT_NE(m.find("RemoveItemOnClick = True"), AnsiString::npos);
  AnsiString i = section("object InPlace1: TkxBarInPlaceSubItem");
  EXPECT_NE(i.find("KeepBeginGroupWhileExpanded = True"), AnsiString::npos) << i;
  EXPECT_EQ(i.find(" Expanded = "), AnsiString::npos);
}

// ---- image combo ----

class BarsImageComboTest : public BarsExtraItemsTest {
 protected:
  TImageList* Images = nullptr;
  TkxBarImageCombo* Combo = nullptr;
  static constexpr TColor kColors[3] = {clRed, clLime, clBlue};
  void SetUp() override {
    BarsExtraItemsTest::SetUp();
    Images = new TImageList(F);
    Images->SetSize(20, 20);
    for (TColor c : kColors) {
      TBitmap b;
      b.SetSize(20, 20);
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(TRect{0, 0, 20, 20});
      Images->AddMasked(&b, clFuchsia);
    }
    Combo = new TkxBarImageCombo(F);
    Combo->SetName("Charts");
    Combo->SetCategory(0);
    Combo->SetWidth(120);
    for (const char* s : {"people", "places", "events"}) Combo->Items()->Add(s);
    Combo->SetImageIndexes(0, 0);
    Combo->SetImageIndexes(2, 2);
    Combo->SetImages(Images);
    Combo->SetItemIndex(0);
    OnToolbar(Combo);
  }
};

// Entries are drawn with their image, entries without one with their text
// at the left; the control and the entries are high enough for the images.
TEST_F(BarsImageComboTest, EntriesShowTheirImages) {
  EXPECT_EQ(Combo->ImageIndexes(0), 0);
  EXPECT_EQ(Combo->ImageIndexes(1), -1);
  EXPECT_EQ(Combo->ImageIndexes(2), 2);
  EXPECT_FALSE(Combo->ShowEditor());
  auto* c = dynamic_cast<TkxBarImageComboControl*>(ToolLink(Combo)->Control());
  ASSERT_NE(c, nullptr);
  EXPECT_GE(c->ItemRect().Height(), 20 + 6);
  int h = 0;
  Combo->MeasureItem(1, h);
  EXPECT_EQ(h, 22);
  int w0 = 0, wText = 0;
  Combo->MeasureItemWidth(0, w0);
  Combo->SetShowText(false);
  Combo->MeasureItemWidth(0, wText);
  Combo->SetShowText(true);
  EXPECT_EQ(wText, 22);
  EXPECT_GT(w0, 22);
  // the edit area shows entry 0's image
  Bar()->Repaint();
  Pump();
  TRect r = c->ItemRect();
  int red = 0;
  for (int x = r.left; x < r.right; ++x) red += PixelAt(x, (r.top + r.bottom) / 2) == ScreenColor(clRed);
  EXPECT_GE(red, 18);
  // the dropped-down list of the combo being used on the bar
  ClickLink(ToolLink(Combo));
  ASSERT_EQ(Combo->CurItemLink(), ToolLink(Combo));
  c->SetDroppedDown(true);
  Pump();
  ASSERT_NE(Combo->ListBox(), nullptr);
  TCustomListBox* list = Combo->ListBox();
  ASSERT_TRUE(IsWindowVisible(list->Handle()));
  TRect e0 = list->ItemRect(0), e2 = list->ItemRect(2);
  EXPECT_EQ(e0.Height(), 22);
  TPoint p0 = list->ClientToScreen(TPoint(e0.left + 5, (e0.top + e0.bottom) / 2));
  TPoint p2 = list->ClientToScreen(TPoint(e2.left + 5, (e2.top + e2.bottom) / 2));
  EXPECT_EQ(Screen(TRect{p0.x, p0.y, p0.x + 1, p0.y + 1}).Pixels[0] & 0xFFFFFF, ScreenColor(clRed));
  EXPECT_EQ(Screen(TRect{p2.x, p2.y, p2.x + 1, p2.y + 1}).Pixels[0] & 0xFFFFFF, ScreenColor(clBlue));
  TPoint s0 = list->ClientToScreen(TPoint(e0.right - 2, (e0.top + e0.bottom) / 2));
  EXPECT_EQ(Screen(TRect{s0.x, s0.y, s0.x + 1, s0.y + 1}).Pixels[0] & 0xFFFFFF, ScreenColor(clHighlight))
      << "the chosen entry is drawn selected";
  c->SetDroppedDown(false);
  Pump();
  // a freed list is forgotten
  Images->Free();
  EXPECT_EQ(Combo->Images(), nullptr);
}

// A click in a menu opens the selection dialog; OK takes the entry chosen.
TEST_F(BarsImageComboTest, TheSelectionDialogChoosesAnEntry) {
  bool asked = false;
  PushModalScript([&](TCustomForm* f) {
    asked = true;
    EXPECT_EQ(f->Caption(), A("选择条目"));
    TListBox* list = nullptr;
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* l = dynamic_cast<TListBox*>(f->Components(i))) list = l;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(list->ItemIndex(), 0);
    list->SetItemIndex(2);
    f->SetModalResult(mrOk);
  });
  Combo->DoClick();
  EXPECT_TRUE(asked);
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Combo->Text(), "events");
}

// The kinds read back from a description: the image indexes, the hosted
// control by name, labels and progress bars.
TEST_F(BarsExtraItemsTest, KindsAreReadFromADescription) {
  const char* text = R"(object Form2: TForm
  Left = 0
  Top = 0
  object Edit2: TEdit
    Left = 0
    Top = 0
    Width = 90
    Height = 20
  end
  object Manager2: TkxBarManager
    Style = bmsFlat
    object Img: TkxBarImageCombo
      Category = 0
      Visible = ivAlways
      Items.Strings = (
        'a'
        'b'
        'c')
      ItemIndex = 1
      ImageIndexes = (
        4
        -1
        2
        9)
    end
    object Holder2: TkxBarControlContainerItem
      Category = 0
      Visible = ivAlways
      Control = Edit2
    end
    object Label2: TkxBarStatic
      Caption = 'x'
      Category = 0
      Visible = ivAlways
      Alignment = taRightJustify
      BorderStyle = sbsBump
    end
    object Progress2: TkxBarProgressItem
      Category = 0
      Visible = ivAlways
      Max = 40
      Min = 10
      Position = 55
    end
  end
end
)";
  TForm* form = FormFromText(text);
  auto* img = dynamic_cast<TkxBarImageCombo*>(form->FindComponent("Img"));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->ImageIndexes(0), 4);
  EXPECT_EQ(img->ImageIndexes(1), -1);
  EXPECT_EQ(img->ImageIndexes(2), 2);
  EXPECT_EQ(img->Text(), "b");
  auto* holder = dynamic_cast<TkxBarControlContainerItem*>(form->FindComponent("Holder2"));
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->Control(), form->FindComponent("Edit2"));
  auto* label = dynamic_cast<TkxBarStatic*>(form->FindComponent("Label2"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Alignment(), taRightJustify);
  EXPECT_EQ(label->BorderStyle(), TkxBarStaticBorderStyle::sbsBump);
  auto* progress = dynamic_cast<TkxBarProgressItem*>(form->FindComponent("Progress2"));
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->Min(), 10);
  EXPECT_EQ(progress->Max(), 40);
  EXPECT_EQ(progress->Position(), 40) << "kept within the range once loaded";
  form->Free();
}

// ---- toolbar list ----

// The list's menu shows one checked entry per toolbar that can be closed,
// docked ones too, and the customize entry; a click hides or shows that
// toolbar, and the next opening shows the change.
TEST_F(BarsExtraItemsTest, TheToolbarListShowsAndHidesToolbars) {
  auto* list = new TkxBarToolbarsListItem(F);
  list->SetCaption(A("工具栏"));
  F->ViewMenu->ItemLinks()->Add()->SetItem(list);
  EXPECT_FALSE(list->IsCustomizable());
  ClickLink(MainMenu->ItemLinks()->Items(1));
  TkxBarSubMenuControl* view = OpenMenu(MainMenu);
  ASSERT_NE(view, nullptr);
  ClickLink(LinkOf(view->ItemLinks(), list));
  TkxBarSubMenuControl* menu = OpenMenu(view);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(list->ItemLinks()->Count(), 2) << "the tools bar and the customize entry; the main menu cannot be closed";
  EXPECT_EQ(list->ItemLinks()->Items(1)->Item()->Tag(), kxBarCustomizeEntryTag);
  TkxBarItemLink* tools = list->ItemLinks()->Items(0);
  EXPECT_EQ(tools->Item()->Caption(), A("工具"));
  auto* b = dynamic_cast<TkxBarButton*>(tools->Item());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->ButtonStyle(), bsChecked);
  EXPECT_TRUE(b->Down());
  ClickLink(tools);
  EXPECT_FALSE(ToolsBar->Visible());
  ClickLink(MainMenu->ItemLinks()->Items(1));
  view = OpenMenu(MainMenu);
  ASSERT_NE(view, nullptr);
  ClickLink(LinkOf(view->ItemLinks(), list));
  ASSERT_EQ(list->ItemLinks()->Count(), 2);
  EXPECT_FALSE(dynamic_cast<TkxBarButton*>(list->ItemLinks()->Items(0)->Item())->Down());
  ClickLink(list->ItemLinks()->Items(0));
  EXPECT_TRUE(ToolsBar->Visible());
}

// ---- the kinds on a toolbar of their own ----

// A label with a lowered border, a progress bar, a placeholder for a control
// and a spin edit on a bottom toolbar, in the standard and Office 2003 looks.
TEST_F(BarsExtraItemsTest, TheKindsAsTheyAreDrawn) {
  TkxBar* bar = F->BarManager1->Bars()->Add();
  bar->SetCaption(A("状态"));
  bar->SetDockingStyle(dsBottom);
  auto* label = new TkxBarStatic(F);
  label->SetCaption(A("场景"));
  label->SetBorderStyle(TkxBarStaticBorderStyle::sbsLowered);
  auto* progress = new TkxBarProgressItem(F);
  progress->SetCaption(A("进度"));
  progress->SetPosition(60);
  auto* holder = new TkxBarControlContainerItem(F);
  holder->SetName("Holder");
  auto* spin = new TkxBarSpinEdit(F);
  spin->SetWidth(50);
  spin->SetValue(12);
  for (TkxBarItem* i : {static_cast<TkxBarItem*>(label), static_cast<TkxBarItem*>(progress),
                        static_cast<TkxBarItem*>(holder), static_cast<TkxBarItem*>(spin)})
    bar->ItemLinks()->Add()->SetItem(i);
  bar->SetVisible(true);
  Pump();
  for (TkxBarManagerStyle style : {bmsStandard, bmsOffice11}) {
    F->BarManager1->SetStyle(style);
    Pump();
    ASSERT_NE(bar->Control(), nullptr);
    RECT wr;
    GetWindowRect(bar->Control()->Handle(), &wr);
    const char* name = style == bmsStandard ? "items_standard" : "items_office11";
    EXPECT_TRUE(MatchesReference(Screen(TRect{wr.left, wr.top, wr.right, wr.bottom}), "bars/tests/ref", name)) << name;
  }
}

}  // namespace kxbaritemsext_test
