// Customizing mode: switching it, the link drag loop driven by synthetic
// mouse and key input, and the toolbar list.
#include <filesystem>
#include <fstream>
#include <functional>
#include <list>

#include "bars/kxbarcustomize.h"
#include "bars/tests/kxbartest.h"

namespace kxbarcustomize_test {

// Counts the manager's events.
struct TEvents {
  int Shown = 0, Hidden = 0, Toolbars = 0;
  TkxBarItemLinks* ToolbarLinks = nullptr;
  void OnShown(TObject*) { ++Shown; }
  void OnHidden(TObject*) { ++Hidden; }
  void OnToolbars(TkxBarItemLinks* Links) { Toolbars += Links == ToolbarLinks; }
};

}  // namespace kxbarcustomize_test

namespace kt = kxbarcustomize_test;

class CustomizeTest : public BarsFormTest {
 protected:
  TkxBarManager* M = nullptr;
  kt::TEvents E;
  void SetUp() override {
    BarsFormTest::SetUp();
    M = F->BarManager1;
    E = kt::TEvents();
    M->OnShowCustomizingForm = TNotifyEvent(&E, &kt::TEvents::OnShown);
    M->OnHideCustomizingForm = TNotifyEvent(&E, &kt::TEvents::OnHidden);
    M->OnShowToolbarsPopup = TkxBarShowPopupEvent(&E, &kt::TEvents::OnToolbars);
  }
  void TearDown() override {
    kxBarSetCustomizingFormHooks(TkxBarCustomizingFormHooks());
    BarsFormTest::TearDown();
  }
  void Customize() {
    M->SetCustomizing(true);
    Pump();
  }
  // Runs the steps one a tick until all ran and the loops they started ended.
  void Run(std::vector<std::function<void()>> Steps) { RunSteps(std::move(Steps)); }
  static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
  // The steps that press at From, start a drag there and move to To.
  std::vector<std::function<void()>> DragTo(TPoint From, TPoint To) {
    return {[=, this] { hb->MouseMove(From.x, From.y); }, [=, this] { hb->MouseDown(From.x, From.y); },
            [=, this] { hb->MouseMove(From.x + 3, From.y); }, [=, this] { hb->MouseMove(To.x, To.y); }};
  }
  std::function<void()> Release(TPoint P) {
    return [=, this] { hb->MouseUp(P.x, P.y); };
  }
  // The items of a link list in order, by name.
  static std::vector<std::string> Names(TkxBarItemLinks* Links) {
    std::vector<std::string> r;
    for (int i = 0; i < Links->Count(); ++i) r.push_back(std::string(Links->Items(i)->Item()->Name()));
    return r;
  }
  static std::vector<bool> Groups(TkxBarItemLinks* Links) {
    std::vector<bool> r;
    for (int i = 0; i < Links->Count(); ++i) r.push_back(Links->Items(i)->StoredBeginGroup());
    return r;
  }
  TRawImage ToolsImage() { return Screen(ToolsBar->Control()->GetWindowRect()); }
  // A point on the beam of an insertion mark at the start of a link.
  TPoint MarkSpot(TkxBarItemLink* Link) {
    TRect r = LinkScreenRect(Link);
    return TPoint{r.left + 2, (r.top + r.bottom) / 2};
  }
  // The pixel as the bar paints it now, without anything drawn over it.
  std::uint32_t Repainted(TPoint P) {
    ToolsBar->Control()->Invalidate();
    Pump();
    return hb->ScreenPixel(P.x, P.y);
  }
};

TEST_F(CustomizeTest, SwitchingRebuildsTheBarsAndFiresTheEventsOnce) {
  F->PasteButton->SetVisible(ivInCustomizing);
  Pump();
  ASSERT_EQ(ToolLink(F->PasteButton)->Control(), nullptr);
  Customize();
  EXPECT_TRUE(M->IsCustomizing());
  EXPECT_EQ(E.Shown, 1);
  EXPECT_NE(ToolLink(F->PasteButton)->Control(), nullptr) << "items visible in customizing are shown";
  M->SetCustomizing(true);
  EXPECT_EQ(E.Shown, 1) << "switching on twice";
  // a click on a button while customizing selects it and runs nothing
  ClickLink(ToolLink(F->CutButton));
  EXPECT_TRUE(F->Log.empty());
  EXPECT_EQ(M->SelectedItem(), ToolLink(F->CutButton)->Control());
  M->SetCustomizing(false);
  Pump();
  EXPECT_FALSE(M->IsCustomizing());
  EXPECT_EQ(E.Hidden, 1);
  EXPECT_EQ(ToolLink(F->PasteButton)->Control(), nullptr);
  ClickLink(ToolLink(F->CutButton));
  EXPECT_EQ(F->Log, std::vector<std::string>{"cut"});
}

namespace kxbarcustomize_test {
TForm* gWindow = nullptr;
std::vector<std::pair<TkxBarManager*, bool>> gShowCalls;
void HookShow(TkxBarManager* M, bool Show) { gShowCalls.emplace_back(M, Show); }
TCustomForm* HookForm() { return gWindow; }
}  // namespace kxbarcustomize_test

TEST_F(CustomizeTest, TheWindowIsReachedThroughItsRoutines) {
  kt::gShowCalls.clear();
  TkxBarCustomizingFormHooks h;
  h.Show = kt::HookShow;
  h.Form = kt::HookForm;
  kxBarSetCustomizingFormHooks(h);
  Customize();
  ASSERT_EQ(kt::gShowCalls.size(), 1u);
  EXPECT_EQ(kt::gShowCalls[0], std::make_pair(M, true));
  TForm window(nullptr);
  kt::gWindow = &window;
  EXPECT_EQ(M->GetDragCaptureWindow(), window.Handle()) << "the window holds the mouse while customizing";
  M->SetCustomizing(false);
  ASSERT_EQ(kt::gShowCalls.size(), 2u);
  EXPECT_EQ(kt::gShowCalls[1], std::make_pair(M, false));
  EXPECT_EQ(E.Hidden, 1);
  // with a window open (of any manager) customizing cannot start again
  M->SetCustomizing(true);
  EXPECT_FALSE(M->IsCustomizing());
  EXPECT_EQ(kt::gShowCalls.size(), 2u);
  kt::gWindow = nullptr;
}

TEST_F(CustomizeTest, EscapeLeavesEveryBarAsItWas) {
  Customize();
  auto before = Names(Tools);
  TPoint cut = Centre(LinkScreenRect(ToolLink(F->CutButton)));
  TPoint paste = Centre(LinkScreenRect(ToolLink(F->PasteButton)));
  // on the left half of Paste: the mark stands at Paste's start
  TPoint to{paste.x - 2, paste.y};
  TPoint spot = MarkSpot(ToolLink(F->PasteButton));
  TCursor during = crDefault;
  std::uint32_t marked = 0;
  auto steps = DragTo(cut, to);
  steps.push_back([&, this] {
    during = ::Screen->Cursor();
    marked = hb->ScreenPixel(spot.x, spot.y);
  });
  steps.push_back([this] { hb->KeyDown(VK_ESCAPE); });
  steps.push_back([this, to] { hb->MouseUp(to.x, to.y); });
  Run(steps);
  EXPECT_EQ(during, 1041) << "a link moves";
  EXPECT_EQ(Names(Tools), before);
  EXPECT_FALSE(M->Dragging());
  EXPECT_EQ(::Screen->Cursor(), crDefault);
  EXPECT_EQ(GetCapture(), nullptr);
  Pump();
  std::uint32_t after = hb->ScreenPixel(spot.x, spot.y);
  EXPECT_EQ(after, Repainted(spot)) << "the mark is gone";
  EXPECT_EQ(marked, ~after | 0xFF000000u) << "the mark inverts the bar";
}

TEST_F(CustomizeTest, DraggingOffEveryBarRemovesTheLinkUnlessCtrlIsDown) {
  struct Case {
    bool Ctrl;
    bool Removed;
  };
  for (Case c : {Case{true, false}, Case{false, true}}) {
    SCOPED_TRACE(c.Ctrl);
    BarsFormTest::TearDown();
    SetUp();
    Customize();
    int count = Tools->Count();
    TPoint copy = Centre(LinkScreenRect(ToolLink(F->CopyButton)));
    TPoint away{copy.x, copy.y + 150};
    TCursor during = crDefault;
    std::vector<std::function<void()>> steps;
    if (c.Ctrl) steps.push_back([this] { hb->KeyDown(VK_CONTROL); });
    for (auto& s : DragTo(copy, away)) steps.push_back(s);
    steps.push_back([&] { during = ::Screen->Cursor(); });
    steps.push_back(Release(away));
    Run(steps);
    EXPECT_EQ(during, 1043) << "no drop there";
    EXPECT_EQ(Tools->Count(), c.Removed ? count - 1 : count);
    EXPECT_EQ(ToolLink(F->CopyButton) == nullptr, c.Removed);
  }
}

TEST_F(CustomizeTest, NudgingALinkAlongItsBarTogglesItsSeparator) {
  Customize();
  struct Case {
    int Delta;
    bool Group;
  };
  TkxBarItemLink* copy = ToolLink(F->CopyButton);
  ASSERT_FALSE(copy->StoredBeginGroup());
  for (Case c : {Case{2, false}, Case{4, true}, Case{2, true}, Case{-4, false}}) {
    SCOPED_TRACE(c.Delta);
    TPoint p = Centre(LinkScreenRect(copy));
    TPoint start{p.x + 3, p.y};
    TPoint to{start.x + c.Delta, p.y};
    auto steps = DragTo(p, to);
    steps.push_back(Release(to));
    Run(steps);
    ASSERT_EQ(ToolLink(F->CopyButton), copy) << "the link stays itself";
    EXPECT_EQ(copy->StoredBeginGroup(), c.Group);
  }
}

TEST_F(CustomizeTest, JustBehindItsOwnNeighbourIsNoPlace) {
  Customize();
  auto before = Names(Tools);
  TRect cut = LinkScreenRect(ToolLink(F->CutButton));
  TPoint copy = Centre(LinkScreenRect(ToolLink(F->CopyButton)));
  TPoint behindCut{cut.right - 2, (cut.top + cut.bottom) / 2};
  // the mark would stand at Copy's start
  TPoint spot = MarkSpot(ToolLink(F->CopyButton));
  std::uint32_t during = 0;
  auto steps = DragTo(copy, behindCut);
  steps.push_back([&, this] { during = hb->ScreenPixel(spot.x, spot.y); });
  steps.push_back(Release(behindCut));
  Run(steps);
  EXPECT_EQ(Names(Tools), before);
  EXPECT_EQ(during, Repainted(spot)) << "no mark";
}

TEST_F(CustomizeTest, MovesAndCopiesWithinABar) {
  struct Case {
    bool Ctrl;
    TCursor Cursor;
    std::vector<std::string> Result;
  };
  const std::vector<std::string> rest{"StandardStyle", "EnhancedStyle", "OfficeStyle", "SearchEdit", "SizeCombo"};
  auto with = [&](std::vector<std::string> head) {
    head.insert(head.end(), rest.begin(), rest.end());
    return head;
  };
  for (Case c : {Case{false, 1041, with({"CopyButton", "PasteButton", "CutButton"})},
                 Case{true, 1042, with({"CutButton", "CopyButton", "PasteButton", "CutButton"})}}) {
    SCOPED_TRACE(c.Ctrl);
    BarsFormTest::TearDown();
    SetUp();
    Customize();
    // Cut dropped on the right half of Paste goes behind it
    TPoint cut = Centre(LinkScreenRect(ToolLink(F->CutButton)));
    TRect paste = LinkScreenRect(ToolLink(F->PasteButton));
    TPoint to{paste.right - 3, (paste.top + paste.bottom) / 2};
    TCursor during = crDefault;
    std::vector<std::function<void()>> steps;
    if (c.Ctrl) steps.push_back([this] { hb->KeyDown(VK_CONTROL); });
    for (auto& s : DragTo(cut, to)) steps.push_back(s);
    steps.push_back([&] { during = ::Screen->Cursor(); });
    steps.push_back(Release(to));
    if (c.Ctrl) steps.push_back([this] { hb->KeyUp(VK_CONTROL); });
    Run(steps);
    EXPECT_EQ(during, c.Cursor);
    EXPECT_EQ(Names(Tools), c.Result);
    // the dropped link is the selected one and has its control
    TkxBarItemLink* dropped = Tools->Items(c.Ctrl ? 3 : 2);
    EXPECT_NE(dropped->Control(), nullptr);
    EXPECT_EQ(M->SelectedItem(), dropped->Control());
  }
}

TEST_F(CustomizeTest, ACommandDroppedOnTheGroupSeparatorTakesTheGroupStart) {
  Customize();
  TkxBarItemLinks* file = F->FileMenu->SubItemLinks();
  ASSERT_TRUE(LinkOf(file, F->ExitItem)->StoredBeginGroup());
  TPoint overFile = Centre(LinkScreenRect(LinkOf(MainMenu->ItemLinks(), F->FileMenu)));
  TPoint onSeparator{};
  TCursor during = crDefault;
  Run({[&] { M->DragItem(F->CopyButton, nullptr); }, [=, this] { hb->MouseMove(overFile.x, overFile.y); },
       [&, this] {
         // the lower half of the separator above Exit: behind it
         TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
         ASSERT_NE(menu, nullptr);
         TkxBarItemControl* exit = LinkIn(menu, F->ExitItem)->Control();
         TRect r, withSeparator;
         menu->GetItemRect(exit, r);
         menu->GetItemRectEx(exit, true, withSeparator);
         ASSERT_LT(withSeparator.top, r.top);
         onSeparator = menu->ClientToScreen(TPoint{(r.left + r.right) / 2, r.top - 1});
         hb->MouseMove(onSeparator.x, onSeparator.y);
       },
       [&] { during = ::Screen->Cursor(); }, [&, this] { hb->MouseUp(onSeparator.x, onSeparator.y); }});
  EXPECT_EQ(during, 1042) << "a command is copied";
  EXPECT_EQ(Names(file), (std::vector<std::string>{"OpenItem", "NewItem", "RecentMenu", "CopyButton", "ExitItem"}));
  EXPECT_EQ(Groups(file), (std::vector<bool>{false, false, false, true, false}));
  EXPECT_NE(ToolLink(F->CopyButton), nullptr) << "the toolbar keeps its link";
}

TEST_F(CustomizeTest, ACommandDroppedOnAnEmptyBarIsItsOnlyLink) {
  TkxBar* empty = M->Bars()->Add();
  empty->SetCaption("Empty");
  empty->SetFloatLeft(300);
  empty->SetFloatTop(400);
  empty->SetVisible(true);
  Pump();
  Customize();
  ASSERT_NE(empty->Control(), nullptr);
  TRect client = empty->Control()->ClientRect();
  ASSERT_GT(client.Width(), 4);
  ASSERT_GT(client.Height(), 4);
  TPoint to = empty->Control()->ClientToScreen(Centre(client));
  Run({[&] { M->DragItem(F->NewItem, nullptr); }, [=, this] { hb->MouseMove(to.x, to.y); }, Release(to)});
  ASSERT_EQ(empty->ItemLinks()->Count(), 1);
  EXPECT_EQ(empty->ItemLinks()->Items(0)->Item(), F->NewItem);
  // and a command dropped on no bar does nothing
  int items = M->ItemCount();
  Run({[&] { M->DragItem(F->ExitItem, nullptr); }, [this] { hb->MouseMove(900, 900); }, Release(TPoint{900, 900})});
  EXPECT_EQ(M->ItemCount(), items);
  EXPECT_EQ(empty->ItemLinks()->Count(), 1);
}

TEST_F(CustomizeTest, ALinkMovesFromAToolbarIntoAMenu) {
  Customize();
  TkxBarItemLinks* file = F->FileMenu->SubItemLinks();
  TPoint cut = Centre(LinkScreenRect(ToolLink(F->CutButton)));
  TkxBarItemLink* fileLink = LinkOf(MainMenu->ItemLinks(), F->FileMenu);
  TPoint overFile = Centre(LinkScreenRect(fileLink));
  TPoint onOpen{};
  auto steps = DragTo(cut, overFile);
  // hovering the sub item opens its menu; drop on the lower half of Open
  steps.push_back([&, this] {
    TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
    ASSERT_NE(menu, nullptr);
    TRect open = LinkScreenRect(LinkIn(menu, F->OpenItem));
    onOpen = TPoint{(open.left + open.right) / 2, open.bottom - 3};
    hb->MouseMove(onOpen.x, onOpen.y);
  });
  steps.push_back([&, this] { hb->MouseUp(onOpen.x, onOpen.y); });
  Run(steps);
  EXPECT_EQ(ToolLink(F->CutButton), nullptr);
  auto names = Names(file);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], "OpenItem");
  EXPECT_EQ(names[1], "CutButton");
}

TEST_F(CustomizeTest, TheToolbarListHasACheckedEntryPerClosableBar) {
  TkxBar* hidden = M->Bars()->Add();
  hidden->SetCaption("Hidden");
  hidden->SetHidden(true);
  TkxBar* fixed = M->Bars()->Add();
  fixed->SetCaption("Fixed");
  fixed->SetAllowClose(false);
  TkxBar* off = M->Bars()->Add();
  off->SetCaption("Off");
  TkxBarItemLinks links(M, nullptr);
  E.ToolbarLinks = &links;
  M->FillToolbarsPopup(&links);
  EXPECT_EQ(E.Toolbars, 1);
  ASSERT_EQ(links.Count(), 3);
  auto* tools = dynamic_cast<TkxBarButton*>(links.Items(0)->Item());
  auto* offEntry = dynamic_cast<TkxBarButton*>(links.Items(1)->Item());
  ASSERT_TRUE(tools && offEntry);
  EXPECT_EQ(tools->Caption(), ToolsBar->Caption());
  EXPECT_EQ(tools->ButtonStyle(), bsChecked);
  EXPECT_TRUE(tools->Down());
  EXPECT_EQ(tools->Tag(), 1);
  EXPECT_EQ(offEntry->Caption(), "Off");
  EXPECT_FALSE(offEntry->Down());
  TkxBarItem* customize = links.Items(2)->Item();
  EXPECT_EQ(customize->Caption(), A("自定义(&C)..."));
  EXPECT_TRUE(links.Items(2)->StoredBeginGroup());
  EXPECT_EQ(customize->Tag(), 1000);
  EXPECT_TRUE(customize->Enabled());
  // the entries toggle their bars and switch customizing on
  tools->Click();
  EXPECT_FALSE(ToolsBar->Visible());
  offEntry->Click();
  EXPECT_TRUE(off->Visible());
  customize->Click();
  EXPECT_TRUE(M->IsCustomizing());
  links.Clear();
  kxBarFreeTempItems();
  // without CanCustomize there is no customize entry
  M->SetCanCustomize(false);
  M->FillToolbarsPopup(&links);
  EXPECT_EQ(links.Count(), 2);
  links.Clear();
  kxBarFreeTempItems();
}

TEST_F(CustomizeTest, TheDragCursorsAreTheLibrarysOwn) {
  // the cursor files of the source tree, as the program embeds them
  static std::list<std::vector<char>> store;
  for (const char* name : {"KXBARDRAGCURSOR", "KXBARDRAGCOPYCURSOR", "KXBARDRAGNODROPCURSOR", "KXBAREDITSIZINGCURSOR"}) {
    std::ifstream in(std::filesystem::path(PV_SOURCE_DIR) / "resources" / "cursors" / (std::string(name) + ".cur"),
                     std::ios::binary);
    store.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(store.back().size(), 0u) << name;
    RegisterResource(RT_CURSOR, name, store.back().data(), store.back().size());
  }
  kxBarInstallDragCursors();
  HCURSOR arrow = ::Screen->Cursors(crArrow);
  for (TCursor c : {1041, 1042, 1043, 1044}) {
    SCOPED_TRACE(c);
    EXPECT_NE(::Screen->Cursors(c), arrow);
  }
  EXPECT_NE(::Screen->Cursors(1041), ::Screen->Cursors(1042));
  EXPECT_NE(::Screen->Cursors(1042), ::Screen->Cursors(1043));
}

// While customizing, the edges of the selected edit item drag its width:
// the resize cursor over a 7-pixel band inside each edge, an inverted frame
// on the desktop while dragging, never below 20 pixels, and nothing stored
// when released at the old width.
TEST_F(CustomizeTest, AnEditItemIsResizedByItsEdges) {
  Customize();
  TkxBarItemLink* link = ToolLink(F->SearchEdit);
  ASSERT_NE(link, nullptr);
  TRect r = LinkScreenRect(link);
  TPoint middle = Centre(r);
  hb->Click(middle.x, middle.y);
  Pump();
  TkxBarControl* bar = ToolsBar->Control();
  ASSERT_EQ(M->SelectedItem(), link->Control());
  auto* edit = dynamic_cast<TkxBarEditControl*>(link->Control());
  ASSERT_NE(edit, nullptr);
  int caption = edit->CaptionWidth();
  int old = link->Width();
  ASSERT_EQ(r.Width(), caption + old);
  // the bands: 7 pixels inside each edge, nothing in between
  struct Band {
    int X;
    bool Resizing, FromRight;
  };
  for (Band b : {Band{r.right - 1, true, true}, Band{r.right - 7, true, true}, Band{r.right - 8, false, false},
                 Band{r.left, true, false}, Band{r.left + 6, true, false}, Band{r.left + 7, false, false}}) {
    SCOPED_TRACE(b.X - r.left);
    hb->MouseMove(b.X, middle.y);
    Pump();
    EXPECT_EQ(bar->ResizingEdit(), b.Resizing);
    if (b.Resizing) {
      EXPECT_EQ(bar->ResizeFromRight(), b.FromRight);
      EXPECT_EQ(GetCursor(), ::Screen->Cursors(kxBarEditSizingCursor));
    }
  }
  // dragging the right edge 30 pixels out shows the inverted frame there
  TPoint from{r.right - 2, middle.y}, to{r.right + 28, middle.y};
  TPoint band{to.x - 1, r.top + 1};  // the frame's right band ends at the new edge
  std::uint32_t before = Repainted(band);
  std::uint32_t during = 0;
  int dragged = 0;
  Run({[=, this] { hb->MouseMove(from.x, from.y); }, [=, this] { hb->MouseDown(from.x, from.y); },
       [=, this] { hb->MouseMove(to.x, to.y); },
       [&, this] {
         dragged = bar->NewEditWidth();
         during = hb->ScreenPixel(band.x, band.y);
       },
       Release(to)});
  int wider = to.x - r.left - caption;
  ASSERT_GT(wider, old);
  EXPECT_EQ(dragged, wider);
  EXPECT_NE(during, before) << "the frame is drawn over the desktop";
  EXPECT_EQ(hb->ScreenPixel(band.x, band.y), Repainted(band)) << "and erased";
  EXPECT_EQ(bar->NewEditWidth(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(link->UserDefine().Contains(udWidth));
  EXPECT_EQ(link->Width(), wider);
  // the left edge dragged far right stops at 20 pixels
  link = ToolLink(F->SearchEdit);
  r = LinkScreenRect(link);
  hb->Click(Centre(r).x, Centre(r).y);
  Pump();
  bar = ToolsBar->Control();
  ASSERT_EQ(M->SelectedItem(), link->Control());
  TPoint left{r.left + 2, middle.y};
  Run({[=, this] { hb->MouseMove(left.x, left.y); }, [=, this] { hb->MouseDown(left.x, left.y); },
       [=, this] { hb->MouseMove(r.right + 50, left.y); },
       [&, this] { dragged = bar->NewEditWidth(); }, Release(TPoint{r.right + 50, left.y})});
  EXPECT_EQ(dragged, 20);
  EXPECT_EQ(link->Width(), 20);
  // released where it started: nothing is stored
  link->SetUserDefine({});
  Pump();
  link = ToolLink(F->SearchEdit);
  r = LinkScreenRect(link);
  hb->Click(Centre(r).x, Centre(r).y);
  Pump();
  // (the width is the distance from the fixed edge: back at the right edge)
  TPoint edge{r.right - 1, middle.y}, back{r.right, middle.y};
  Run({[=, this] { hb->MouseMove(edge.x, edge.y); }, [=, this] { hb->MouseDown(edge.x, edge.y); },
       [=, this] { hb->MouseMove(edge.x + 20, edge.y); }, [=, this] { hb->MouseMove(back.x, back.y); },
       Release(back)});
  EXPECT_FALSE(link->UserDefine().Contains(udWidth));
  EXPECT_EQ(link->Width(), old);
}

namespace kxbarcustomize_test {
int Ok(HWND, const AnsiString&, const AnsiString&, UINT) { return IDOK; }
}  // namespace kxbarcustomize_test

// The whole story with the mouse: a command dragged onto the toolbar, a link
// moved, another dragged off, and the toolbar reset from its description
// through the add-or-remove menu of its mark.
TEST_F(CustomizeTest, ARearrangedToolbarIsResetFromItsMark) {
  SetMessageBoxProc(kt::Ok);
  auto declared = Names(Tools);
  Customize();
  TRect paste = LinkScreenRect(ToolLink(F->PasteButton));
  TPoint behindPaste{paste.right - 3, (paste.top + paste.bottom) / 2};
  Run({[&] { M->DragItem(F->NewItem, nullptr); }, [=, this] { hb->MouseMove(behindPaste.x, behindPaste.y); },
       Release(behindPaste)});
  auto steps = DragTo(Centre(LinkScreenRect(ToolLink(F->CutButton))), behindPaste);
  steps.push_back(Release(behindPaste));
  Run(steps);
  TPoint copy = Centre(LinkScreenRect(ToolLink(F->CopyButton)));
  steps = DragTo(copy, TPoint{copy.x, copy.y + 150});
  steps.push_back(Release(TPoint{copy.x, copy.y + 150}));
  Run(steps);
  EXPECT_EQ(Names(Tools), (std::vector<std::string>{"PasteButton", "CutButton", "NewItem", "StandardStyle",
                                                    "EnhancedStyle", "OfficeStyle", "SearchEdit", "SizeCombo"}));
  M->SetCustomizing(false);
  M->SetStyle(bmsEnhanced);
  Pump();
  TRect mark;
  ToolsBar->Control()->GetMarkScreenRect(mark);
  hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
  Pump();
  auto* quick = dynamic_cast<TkxBarQuickControl*>(ToolsBar->Control()->QuickControl());
  ASSERT_NE(quick, nullptr);
  ClickLink(LinkOf(quick->ItemLinks(), quick->QuickSubItem()));
  TkxBarSubMenuControl* rows = quick->ChildMenu();
  ASSERT_NE(rows, nullptr);
  TkxBarItemLink* reset = rows->ItemLinks()->Items(rows->ItemLinks()->Count() - 2);
  ASSERT_EQ(reset->Item()->Caption(), A("重置工具栏(&R)"));
  ClickLink(reset);
  EXPECT_EQ(Names(Tools), declared);
}
