// The customizing window: opening and closing with customizing mode, the
// toolbar list and its commands, the options page, the commands page with
// dragging a command onto a bar, and the name dialog.
#include <deque>
#include <functional>

#include "bars/kxbarcustomform.h"
#include "bars/kxbarcustomize.h"
#include "bars/tests/kxbartest.h"
#include "platform/gdi/tests/refimage.h"

namespace {

std::string CustU8(const AnsiString& S) { return AnsiToUtf8(S); }

// Message boxes: recorded, answered from a queue (OK when it is empty).
struct TCustBoxes {
  static inline std::deque<int> Answers;
  static inline std::vector<std::string> Texts;
  static int Show(HWND, const AnsiString& Text, const AnsiString&, UINT) {
    Texts.push_back(CustU8(Text));
    if (Answers.empty()) return IDOK;
    int a = Answers.front();
    Answers.pop_front();
    return a;
  }
};

// Input given one step per timer tick, so that nested loops (drag
// detection, the drag loop) see it as it comes.
std::vector<std::function<void()>> gCustSteps;
std::size_t gCustNext = 0;
UINT_PTR gCustTimer = 0;

void CustTick(HWND, UINT, UINT_PTR, DWORD) {
  if (gCustNext < gCustSteps.size()) {
    auto step = gCustSteps[gCustNext++];
    step();
  }
  if (gCustNext >= gCustSteps.size() && gCustTimer) {
    KillTimer(nullptr, gCustTimer);
    gCustTimer = 0;
  }
}

}  // namespace

class CustomizeFormTest : public BarsFormTest {
 protected:
  TkxBarManager* M = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    M = F->BarManager1;
    TCustBoxes::Answers.clear();
    TCustBoxes::Texts.clear();
    SetMessageBoxProc(&TCustBoxes::Show);
  }
  void TearDown() override {
    if (gCustTimer) KillTimer(nullptr, gCustTimer);
    gCustTimer = 0;
    gCustSteps.clear();
    if (M && M->IsCustomizing()) M->SetCustomizing(false);
    ClearModalScript();
    BarsFormTest::TearDown();
  }
  TkxBarCustomizingForm* Open() {
    M->SetCustomizing(true);
    Pump();
    return kxBarCustomizingFormInstance();
  }
  // Answers the next name dialog with Text and OK.
  static void AnswerName(const char* Text) {
    PushModalScript([=](TCustomForm* Form) {
      auto* d = dynamic_cast<TkxBarNameEd*>(Form);
      ASSERT_NE(d, nullptr);
      d->EName->SetText(A(Text));
      d->SetModalResult(mrOk);
    });
  }
  void ClickControl(TControl* C, int X, int Y) {
    TPoint p = At(C, X, Y);
    hb->Click(p.x, p.y);
    Pump();
    hb->AdvanceClock(1000);
  }
  TkxBar* AddFloatingBar(const char* Caption) {
    TkxBar* bar = M->Bars()->Add();
    bar->SetCaption(A(Caption));
    bar->SetName(A(Caption));
    bar->SetDockingStyle(dsNone);
    bar->SetFloatLeft(600);
    bar->SetFloatTop(400);
    bar->SetVisible(true);
    Pump();
    return bar;
  }
  // Presses at From, moves past the drag threshold, moves to To and
  // releases there, one step at a time.
  void MouseDrag(TPoint From, TPoint To) {
    hb->AdvanceClock(1000);
    gCustSteps = {[=, this] { hb->MouseMove(From.x, From.y); },
                  [=, this] {
                    hb->MouseDown(From.x, From.y);
                    // Drag detection in the command list looks at mouse input
                    // only (no timer step runs while it waits): the first move
                    // comes with the press there.
                    if (WindowFromPoint(POINT{From.x, From.y}) == kxBarCustomizingFormInstance()->CommandsList()->Handle())
                      hb->MouseMove(From.x + 5, From.y);
                  },
                  [=, this] { hb->MouseMove(From.x + 5, From.y); }, [=, this] { hb->MouseMove(To.x, To.y); },
                  [=, this] { hb->MouseMove(To.x, To.y + 1); }, [=, this] { hb->MouseUp(To.x, To.y + 1); }};
    gCustNext = 0;
    gCustTimer = SetTimer(nullptr, 0, 10, CustTick);
    for (int guard = 0; gCustTimer && guard < 200; ++guard) {
      hb->AdvanceClock(10);
      Pump();
    }
    Pump();
  }
  static TPoint Mid(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
  static std::vector<std::string> Rows(TCustomListBox* List) {
    std::vector<std::string> r;
    for (int i = 0; i < List->Items()->Count(); ++i) r.push_back(CustU8(List->Items()->Get(i)));
    return r;
  }
  TRawImage FormImage(TCustomForm* Form) {
    TRect r = Form->BoundsRect();
    return Screen(r);
  }
};

TEST_F(CustomizeFormTest, OpensOnceWithItsPagesAndClosesWithCustomizingMode) {
  int shown = 0, hidden = 0;
  struct Counter : TObject {
    int* N;
    explicit Counter(int* n) : N(n) {}
    void Hit(TObject*) { ++*N; }
  } showCounter(&shown), hideCounter(&hidden);
  M->OnShowCustomizingForm = TNotifyEvent(&showCounter, &Counter::Hit);
  M->OnHideCustomizingForm = TNotifyEvent(&hideCounter, &Counter::Hit);
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(CustU8(f->Caption()), "自定义");
  EXPECT_EQ(f->ClientWidth(), 366);
  EXPECT_EQ(f->ClientHeight(), 310);
  EXPECT_EQ(CustU8(f->TabSheet1->Caption()), " 工具栏 ");
  EXPECT_EQ(CustU8(f->TabSheet2->Caption()), " 命令 ");
  EXPECT_EQ(CustU8(f->TabSheet3->Caption()), " 选项 ");
  EXPECT_FALSE(f->TabSheet4->TabVisible());  // design time only
  EXPECT_FALSE(f->TabSheet5->TabVisible());
  EXPECT_EQ(CustU8(f->BClose->Caption()), "关闭");
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_FALSE(IsWindowEnabled(F->Handle()));
  EXPECT_EQ(shown, 1);
  // A second request while it is open makes no second window.
  M->SetCustomizing(true);
  kxBarCustomizingFormShow(M, true);
  EXPECT_EQ(kxBarCustomizingFormInstance(), f);
  EXPECT_EQ(shown, 1);
  ClickControl(f->BClose, 5, 5);
  EXPECT_EQ(kxBarCustomizingFormInstance(), nullptr);
  EXPECT_FALSE(M->IsCustomizing());
  EXPECT_TRUE(IsWindowEnabled(F->Handle()));
  EXPECT_EQ(hidden, 1);
  // Switching customizing off from the manager closes the window as well.
  ASSERT_NE(Open(), nullptr);
  M->SetCustomizing(false);
  Pump();
  EXPECT_EQ(kxBarCustomizingFormInstance(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(F->Handle()));
  EXPECT_EQ(hidden, 2);
}

TEST_F(CustomizeFormTest, ToolbarListShowsTheBarsThatAreNotHiddenAndSelectsTheFirstVisible) {
  TkxBar* a = AddFloatingBar("A");
  TkxBar* b = AddFloatingBar("B");
  TkxBar* c = AddFloatingBar("C");
  a->SetHidden(true);
  M->Bars()->Items(0)->SetVisible(false);
  ToolsBar->SetVisible(false);
  b->SetVisible(false);
  (void)c;
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Rows(f->BarsListBox()), (std::vector<std::string>{"Main Menu", "工具", "B", "C"}));
  EXPECT_EQ(f->BarsListBox()->ItemIndex(), 3);  // C: the first visible one
}

// A declared toolbar keeps its name; one made with New can be renamed and
// deleted. A name that another toolbar has is refused, one differing only in
// case is not.
TEST_F(CustomizeFormTest, NewRenameAndDeleteToolbars) {
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  TCheckListBox* list = f->BarsListBox();
  list->SetItemIndex(1);
  f->BarsListClick(nullptr);
  EXPECT_FALSE(f->BBarRename->Enabled());
  EXPECT_FALSE(f->BBarDelete->Enabled());
  EXPECT_TRUE(f->BBarReset->Enabled());

  PushModalScript([](TCustomForm* Form) {
    auto* d = dynamic_cast<TkxBarNameEd*>(Form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(CustU8(d->Caption()), "添加工具栏");
    EXPECT_EQ(CustU8(d->LName->Caption()), "工具栏名字(&T):");
    EXPECT_EQ(CustU8(d->EName->Text()), "自定义 1");
    d->EName->SetText("");
    EXPECT_FALSE(d->BOK->Enabled());
    d->EName->SetText("Mine");
    EXPECT_TRUE(d->BOK->Enabled());
    d->SetModalResult(mrOk);
  });
  ClickControl(f->BBarNew, 10, 10);
  int count = M->Bars()->Count();
  TkxBar* mine = M->Bars()->Items(count - 1);
  EXPECT_EQ(CustU8(mine->Caption()), "Mine");
  EXPECT_TRUE(mine->Visible());
  EXPECT_EQ(mine->DockingStyle(), dsNone);
  EXPECT_EQ(mine->FloatLeft(), f->Left() - 50);
  EXPECT_EQ(mine->FloatTop(), f->Top());
  EXPECT_EQ(list->Bar(list->ItemIndex()), mine);
  EXPECT_TRUE(f->BBarRename->Enabled());
  EXPECT_TRUE(f->BBarDelete->Enabled());

  // Another toolbar's caption is refused with a message; the dialog stays.
  PushModalScript([](TCustomForm* Form) {
    auto* d = dynamic_cast<TkxBarNameEd*>(Form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(CustU8(d->Caption()), "重命名工具栏");
    d->EName->SetText("Main Menu");
    d->SetModalResult(mrOk);
    EXPECT_FALSE(d->CloseQuery());
    d->EName->SetText("main menu");
    EXPECT_TRUE(d->CloseQuery());
    d->EName->SetText("Mine");  // its own caption
    EXPECT_TRUE(d->CloseQuery());
    d->EName->SetText("Yours");
  });
  ClickControl(f->BBarRename, 10, 10);
  ASSERT_EQ(TCustBoxes::Texts.size(), 1u);
  EXPECT_EQ(TCustBoxes::Texts[0], "名称为 'Main Menu' 的工具栏已经存在，请输入其它名称");
  EXPECT_EQ(CustU8(mine->Caption()), "Yours");
  EXPECT_EQ(CustU8(list->Items()->Get(list->ItemIndex())), "Yours");

  // Delete asks; Cancel keeps the toolbar.
  TCustBoxes::Answers = {IDCANCEL, IDOK};
  ClickControl(f->BBarDelete, 10, 10);
  EXPECT_EQ(M->Bars()->Count(), count);
  EXPECT_EQ(TCustBoxes::Texts.back(), "是否确认要删除工具栏 'Yours' ?");
  ClickControl(f->BBarDelete, 10, 10);
  EXPECT_EQ(M->Bars()->Count(), count - 1);
  EXPECT_EQ(list->ItemIndex(), list->Items()->Count() - 1);
}

TEST_F(CustomizeFormTest, NewToolbarGoesRightOfAWindowAtTheScreensLeftEdge) {
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  f->SetBounds(10, 20, f->Width(), f->Height());
  AnswerName("Edge");
  f->BBarNewClick(nullptr);
  TkxBar* bar = M->Bars()->Items(M->Bars()->Count() - 1);
  EXPECT_EQ(bar->FloatLeft(), f->Left() + f->Width() + 10);
  EXPECT_EQ(bar->FloatTop(), 20);
}

// A toolbar is shown and hidden by its check box; the main menu cannot be
// closed, so its check box only beeps.
TEST_F(CustomizeFormTest, CheckBoxesToggleToolbarsThatCanBeClosed) {
  TkxBar* floating = AddFloatingBar("Float");
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  TCheckListBox* list = f->BarsListBox();
  int row = list->Items()->IndexOfObject(floating);
  ASSERT_GE(row, 0);
  TRect r = list->ItemRect(row);
  int beeps = hb->BeepCount();
  ClickControl(list, r.left + 3, r.top + 3);
  EXPECT_FALSE(floating->Visible());
  ClickControl(list, r.left + 3, r.top + 3);
  EXPECT_TRUE(floating->Visible());
  EXPECT_EQ(hb->BeepCount(), beeps);
  // A click on the text only selects.
  ClickControl(list, r.left + 40, r.top + 3);
  EXPECT_TRUE(floating->Visible());
  EXPECT_EQ(list->ItemIndex(), row);
  // Space toggles the selected row.
  hb->Key(VK_SPACE);
  Pump();
  EXPECT_FALSE(floating->Visible());
  TkxBar* mainMenu = M->Bars()->Items(0);
  TRect t = list->ItemRect(list->Items()->IndexOfObject(mainMenu));
  ClickControl(list, t.left + 3, t.top + 3);
  EXPECT_TRUE(mainMenu->Visible());
  EXPECT_EQ(hb->BeepCount(), beeps + 1);
}

TEST_F(CustomizeFormTest, OptionsPageWritesTheManagersSettings) {
  M->SetStyle(bmsOffice11);
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->EnhancedOptionsPanel->Visible());
  EXPECT_FALSE(f->StandardOptionsPanel->Visible());
  ASSERT_EQ(f->ComboBoxMenuAnimationsEx->Items()->Count(), 5);
  EXPECT_EQ(CustU8(f->ComboBoxMenuAnimationsEx->Items()->Get(0)), "(无)");
  EXPECT_EQ(CustU8(f->ComboBoxMenuAnimationsEx->Items()->Get(4)), "淡出");
  EXPECT_TRUE(f->CBShowFullMenusAfterDelay->Checked());
  // Clearing the first disables the second without changing its tick.
  f->CBMenusShowRecentItemsFirst->SetChecked(false);
  EXPECT_FALSE(M->MenusShowRecentItemsFirst());
  EXPECT_FALSE(f->CBShowFullMenusAfterDelay->Enabled());
  EXPECT_TRUE(f->CBShowFullMenusAfterDelay->Checked());
  EXPECT_TRUE(M->ShowFullMenusAfterDelay());
  f->CBHint1Ex->SetChecked(false);
  EXPECT_FALSE(M->ShowHint());
  EXPECT_FALSE(f->CBHint2Ex->Enabled());
  f->CBLargeIconsEx->SetChecked(true);
  EXPECT_TRUE(M->LargeIcons());
  f->ComboBoxMenuAnimationsEx->SetItemIndex(3);
  f->ComboBoxMenuAnimationsChange(f->ComboBoxMenuAnimationsEx);
  EXPECT_EQ(M->MenuAnimations(), maSlide);
  // The standard style has its own panel.
  M->SetStyle(bmsStandard);
  Pump();
  EXPECT_TRUE(f->StandardOptionsPanel->Visible());
  EXPECT_TRUE(f->CBLargeIcons->Checked());
}

TEST_F(CustomizeFormTest, CommandsPageListsTheCommandsOfACategory) {
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  f->PageControl->SetActivePage(f->TabSheet2);
  Pump();
  EXPECT_EQ(Rows(f->LCategories), (std::vector<std::string>{"File", "Style"}));
  EXPECT_EQ(f->LCategories->ItemIndex(), 0);
  TCommandsListBox* cmds = f->CommandsList();
  EXPECT_EQ(cmds->Items()->Count(), 14);
  f->LCategories->SetItemIndex(1);
  f->LCategoriesClick(nullptr);
  EXPECT_EQ(Rows(cmds), (std::vector<std::string>{"标准样式", "增强样式", "Office样式"}));
  // A press without moving selects the command and shows its description.
  F->EnhancedStyle->SetDescription(A("增强的样式"));
  TRect r = cmds->ItemRect(1);
  ClickControl(cmds, r.left + 30, r.top + 5);
  EXPECT_EQ(cmds->SelectedItem(), F->EnhancedStyle);
  EXPECT_EQ(CustU8(f->DescriptionLabel->Caption()), "增强的样式");
  EXPECT_EQ(ToolsBar->ItemLinks()->Count(), 8);
  // An item moved to another category is shown there.
  F->StandardStyle->SetCategory(0);
  EXPECT_EQ(f->LCategories->ItemIndex(), 0);
  EXPECT_EQ(cmds->SelectedItem(), F->StandardStyle);
  // An item freed leaves the list.
  int count = cmds->Items()->Count();
  F->StandardStyle->Free();
  F->StandardStyle = nullptr;
  EXPECT_EQ(cmds->Items()->Count(), count - 1);
}

// Dragging a command from the list onto a toolbar adds a link there; links
// are then moved and removed with the mouse; a renamed toolbar is reset to
// its description.
TEST_F(CustomizeFormTest, DragCommandsOntoAToolbarThenMoveRemoveAndReset) {
  // the window is opened from the toolbar list of a right click on a bar
  TRect cut = LinkScreenRect(ToolLink(F->CutButton));
  hb->Click(cut.left + 3, cut.top + 3, HeadlessBackend::Right);
  Pump();
  TkxBarSubMenuControl* list = nullptr;
  for (int i = 0; TCustomkxBarControl* c = kxBarGetBarControl(i); ++i)
    if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(c); m && m->HandleAllocated() && IsWindowVisible(m->Handle()))
      list = m;
  ASSERT_NE(list, nullptr);
  TkxBarItemLink* customize = list->ItemLinks()->Items(list->ItemLinks()->Count() - 1);
  ASSERT_EQ(CustU8(customize->Item()->Caption()), "自定义(&C)...");
  ClickLink(customize);
  TkxBarCustomizingForm* f = kxBarCustomizingFormInstance();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(M->IsCustomizing());
  f->PageControl->SetActivePage(f->TabSheet2);
  Pump();
  TCommandsListBox* cmds = f->CommandsList();
  auto commandAt = [&](TkxBarItem* Item) {
    TRect r = cmds->ItemRect(cmds->Items()->IndexOfObject(Item));
    return At(cmds, r.left + 30, r.top + 10);
  };
  // onto the left half of the paste button: in front of it
  TRect pr = LinkScreenRect(ToolLink(F->PasteButton));
  MouseDrag(commandAt(F->OpenItem), TPoint{pr.left + 3, (pr.top + pr.bottom) / 2});
  ASSERT_EQ(Tools->Count(), 9);
  EXPECT_EQ(Tools->Items(2)->Item(), F->OpenItem);
  EXPECT_EQ(Tools->Items(3)->Item(), F->PasteButton);

  // the new link moved behind the paste button
  pr = LinkScreenRect(ToolLink(F->PasteButton));
  MouseDrag(Mid(LinkScreenRect(Tools->Items(2))), TPoint{pr.right - 3, (pr.top + pr.bottom) / 2});
  ASSERT_EQ(Tools->Count(), 9);
  EXPECT_EQ(Tools->Items(2)->Item(), F->PasteButton);
  EXPECT_EQ(Tools->Items(3)->Item(), F->OpenItem);

  // and dragged off every bar: removed
  MouseDrag(Mid(LinkScreenRect(Tools->Items(3))), At(F, 300, 200));
  EXPECT_EQ(Tools->Count(), 8);
  EXPECT_EQ(ToolLink(F->OpenItem), nullptr);

  // rename the toolbar and drop another command on it, then reset it
  pr = LinkScreenRect(ToolLink(F->CutButton));
  MouseDrag(commandAt(F->NewItem), TPoint{pr.left + 3, (pr.top + pr.bottom) / 2});
  ASSERT_EQ(Tools->Count(), 9);
  EXPECT_EQ(Tools->Items(0)->Item(), F->NewItem);
  f->PageControl->SetActivePage(f->TabSheet1);
  Pump();
  f->BarsListBox()->SetItemIndex(f->BarsListBox()->Items()->IndexOfObject(ToolsBar));
  f->BarsListClick(nullptr);
  EXPECT_FALSE(f->BBarRename->Enabled());  // declared in the description
  ToolsBar->SetCaption(A("我的工具"));
  EXPECT_EQ(CustU8(f->BarsListBox()->Items()->Get(f->BarsListBox()->ItemIndex())), "我的工具");
  TCustBoxes::Answers = {IDOK};
  ClickControl(f->BBarReset, 10, 10);
  ASSERT_EQ(TCustBoxes::Texts.size(), 1u);
  ASSERT_EQ(Tools->Count(), 8);
  EXPECT_EQ(Tools->Items(0)->Item(), F->CutButton);
  EXPECT_EQ(ToolLink(F->NewItem), nullptr);
}

// The window as drawn: the toolbar page in the standard style and the
// commands page in the Office 2003 style.
TEST_F(CustomizeFormTest, WindowPictures) {
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  f->SetBounds(100, 100, f->Width(), f->Height());
  Pump();
  EXPECT_TRUE(MatchesReference(FormImage(f), "bars/tests/ref", "customize_toolbars"));
  M->SetStyle(bmsOffice11);
  f->PageControl->SetActivePage(f->TabSheet2);
  F->CutButton->SetDescription(A("把选中的文字移到剪贴板"));
  f->SelectItem(F->CutButton, true);
  Pump();
  EXPECT_TRUE(MatchesReference(FormImage(f), "bars/tests/ref", "customize_commands_office11"));
  M->SetStyle(bmsFlat);
  Pump();
  EXPECT_TRUE(MatchesReference(FormImage(f), "bars/tests/ref", "customize_commands_flat"));
  f->PageControl->SetActivePage(f->TabSheet3);
  Pump();
  EXPECT_TRUE(MatchesReference(FormImage(f), "bars/tests/ref", "customize_options"));
}

// The add-item dialog preselects a valid category (else the first), proposes
// a free name, and stays open with a fresh name when the item cannot be made.
TEST_F(CustomizeFormTest, AddItemDialogMakesAnItemOfTheChosenKind) {
  struct Case {
    int Category, Shown;
  } cases[] = {{-1, 0}, {1, 1}, {2, 0}};
  for (const Case& c : cases) {
    PushModalScript([&](TCustomForm* Form) {
      auto* d = dynamic_cast<TkxBarItemAddEditor*>(Form);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->ComboBox2->ItemIndex(), c.Shown) << c.Category;
      d->SetModalResult(mrCancel);
    });
    EXPECT_EQ(kxBarShowAddItemDialog(M, c.Category), nullptr);
  }
  int items = M->ItemCount();
  PushModalScript([&](TCustomForm* Form) {
    auto* d = dynamic_cast<TkxBarItemAddEditor*>(Form);
    ASSERT_NE(d, nullptr);
    ASSERT_GT(d->ComboBox1->Items()->Count(), 0);
    EXPECT_EQ(std::string(d->ComboBox1->Items()->Get(0)), std::string(kxBarGetCustomizingItemClass(0)->Name));
    AnsiString proposed = d->Edit1->Text();
    EXPECT_EQ(std::string(proposed), std::string(kxBarMakeUniqueItemName(M, kxBarGetCustomizingItemClass(0))));
    EXPECT_EQ(std::string(d->Edit2->Text()), "New Item");
    d->Edit1->SetText("OpenItem");  // taken
    d->BOkClick(nullptr);
    EXPECT_EQ(d->ModalResult(), mrNone);
    EXPECT_EQ(M->ItemCount(), items);
    EXPECT_EQ(std::string(d->Edit1->Text()), std::string(proposed));
    d->Edit2->SetText(A("新命令"));
    d->BOkClick(nullptr);
    EXPECT_EQ(d->ModalResult(), mrOk);
  });
  TkxBarItem* item = kxBarShowAddItemDialog(M, 1);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(M->ItemCount(), items + 1);
  EXPECT_EQ(item->Category(), 1);
  EXPECT_EQ(CustU8(item->Caption()), "新命令");
  EXPECT_EQ(item->Owner(), F);
}

// The picker lists the other groups (only when there are more than one)
// and the items by category, and hands back the rows chosen.
TEST_F(CustomizeFormTest, GroupItemsPickerListsGroupsAndItemsByCategory) {
  TkxBarGroup* g1 = M->AddGroup();
  g1->Add(F->CutButton);
  std::vector<std::string> rows;
  auto capture = [&](TCustomForm* Form) {
    auto* d = dynamic_cast<TfrmAddGroupItems*>(Form);
    ASSERT_NE(d, nullptr);
    rows.clear();
    for (int i = 0; i < d->lbGroupItems->Items()->Count(); ++i) rows.push_back(CustU8(d->lbGroupItems->Items()->Get(i)));
    // the second item row and the last row
    int copy = d->lbGroupItems->Items()->IndexOfObject(F->CopyButton);
    d->lbGroupItems->SetSelected(copy, true);
    d->lbGroupItems->SetSelected(d->lbGroupItems->Items()->Count() - 1, true);
    d->SetModalResult(mrOk);
  };
  PushModalScript(capture);
  std::vector<TComponent*> chosen;
  ASSERT_TRUE(kxBarShowAddGroupItemsDialog(g1, chosen));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], "~File");
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "~< Groups >"), 0);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "~Style"), 1);
  EXPECT_EQ(chosen, (std::vector<TComponent*>{F->CopyButton, F->OfficeStyle}));
  TkxBarGroup* g2 = M->AddGroup();
  g2->SetName("Second");
  PushModalScript(capture);
  chosen.clear();
  ASSERT_TRUE(kxBarShowAddGroupItemsDialog(g1, chosen));
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0], "~< Groups >");
  EXPECT_EQ(rows[1], "Second");
  EXPECT_EQ(rows[2], "~File");
}

// The sub-menu editor switches customizing on, shows the commands page and
// opens the sub item's menu under its caption; it closes with the window.
TEST_F(CustomizeFormTest, SubMenuEditorShowsTheMenuUnderItsCaption) {
  kxBarShowSubMenuEditor(F->RecentMenu->ItemLinks());
  Pump();
  TkxBarCustomizingForm* f = kxBarCustomizingFormInstance();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->PageControl->ActivePage(), f->TabSheet2);
  TkxBarSubMenuEditor* e = kxBarGetSubMenuEditor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->ClientHeight(), 0);
  SetActiveWindow(e->Handle());
  Pump();
  TCustomkxBarControl* menu = F->RecentMenu->ItemLinks()->BarControl();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->HandleAllocated());
  RECT er, mr;
  GetWindowRect(e->Handle(), &er);
  GetWindowRect(menu->Handle(), &mr);
  EXPECT_EQ(mr.left, er.left);
  EXPECT_EQ(mr.top, er.bottom);
  EXPECT_EQ(er.right - er.left, mr.right - mr.left);
  // a second call reuses the editor
  kxBarShowSubMenuEditor(F->RecentMenu->ItemLinks());
  EXPECT_EQ(kxBarGetSubMenuEditor(), e);
  f->Close();
  Pump();
  EXPECT_EQ(kxBarGetSubMenuEditor(), nullptr);
  EXPECT_FALSE(M->IsCustomizing());
}

// The groups page (shown only while a form is designed) adds, fills,
// reorders and deletes groups.
TEST_F(CustomizeFormTest, GroupsPageEditsTheManagersGroups) {
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  f->btnGroupAddClick(nullptr);
  f->btnGroupAddClick(nullptr);
  ASSERT_EQ(M->GroupCount(), 2);
  EXPECT_EQ(Rows(f->lbGroups), (std::vector<std::string>{"kxBarGroup1", "kxBarGroup2"}));
  EXPECT_EQ(f->lbGroups->ItemIndex(), 1);
  // members chosen in the picker, then the first moved down
  f->lbGroups->SetItemIndex(0);
  f->lbGroupsClick(nullptr);
  PushModalScript([&](TCustomForm* Form) {
    auto* d = dynamic_cast<TfrmAddGroupItems*>(Form);
    ASSERT_NE(d, nullptr);
    d->lbGroupItems->SetSelected(d->lbGroupItems->Items()->IndexOfObject(F->CutButton), true);
    d->lbGroupItems->SetSelected(d->lbGroupItems->Items()->IndexOfObject(F->CopyButton), true);
    d->SetModalResult(mrOk);
  });
  f->btnGroupItemAddClick(nullptr);
  TkxBarGroup* g = M->GetGroup(0);
  ASSERT_EQ(g->Count(), 2);
  EXPECT_EQ(Rows(f->lbGroupItems), (std::vector<std::string>{"CutButton", "CopyButton"}));
  f->lbGroupItems->SetSelected(0, true);
  f->lbGroupItems->SetSelected(1, false);
  f->lbGroupItemsClick(nullptr);
  EXPECT_FALSE(f->btnMoveUp->Enabled());
  EXPECT_TRUE(f->btnMoveDown->Enabled());
  f->btnMoveDownClick(nullptr);
  EXPECT_EQ(g->GetMember(0), F->CopyButton);
  EXPECT_EQ(g->GetMember(1), F->CutButton);
  EXPECT_TRUE(f->lbGroupItems->Selected(1));
  // deleting a member selects its neighbour; deleting the group its successor
  f->btnGroupItemDeleteClick(nullptr);
  EXPECT_EQ(g->Count(), 1);
  EXPECT_TRUE(f->lbGroupItems->Selected(0));
  f->btnGroupDeleteClick(nullptr);
  EXPECT_EQ(M->GroupCount(), 1);
  EXPECT_EQ(Rows(f->lbGroups), (std::vector<std::string>{"kxBarGroup2"}));
  EXPECT_EQ(f->lbGroups->ItemIndex(), 0);
}

// Each kind of command as the list draws it: a glyph, a drop-down button
// with its arrow part, a sub item's arrow, a list item's caption in
// parentheses, an edit and a combo with their boxes; in the standard style
// and, selected, in the flat style.
TEST_F(CustomizeFormTest, CommandKindsPicture) {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(16, 16);
  TCanvas* c = glyph->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush()->SetColor(clNavy);
  c->FillRect(TRect{2, 2, 14, 14});
  c->Brush()->SetColor(clYellow);
  c->FillRect(TRect{4, 4, 12, 12});
  int category = M->Categories()->Add("Kinds");
  auto add = [&](TkxBarItem* Item, const char* Caption) {
    Item->SetCategory(category);
    Item->SetCaption(A(Caption));
    return Item;
  };
  auto* plain = static_cast<TkxBarButton*>(add(new TkxBarButton(F), "带图标(&G)"));
  plain->SetGlyph(glyph.get());
  auto* drop = static_cast<TkxBarButton*>(add(new TkxBarButton(F), "下拉"));
  drop->SetButtonStyle(bsDropDown);
  drop->SetGlyph(glyph.get());
  add(new TkxBarSubItem(F), "子菜单");
  add(new TkxBarListItem(F), "列表");
  add(new TkxBarEdit(F), "编辑");
  add(new TkxBarCombo(F), "组合");
  TkxBarCustomizingForm* f = Open();
  ASSERT_NE(f, nullptr);
  f->SetBounds(100, 100, f->Width(), f->Height());
  f->PageControl->SetActivePage(f->TabSheet2);
  f->LCategories->SetItemIndex(category);
  f->LCategoriesClick(nullptr);
  TCommandsListBox* cmds = f->CommandsList();
  ASSERT_EQ(cmds->Items()->Count(), 6);
  Pump();
  TPoint p = cmds->ClientToScreen(TPoint{0, 0});
  TRect r{p.x, p.y, p.x + cmds->ClientWidth(), p.y + cmds->ClientHeight()};
  EXPECT_TRUE(MatchesReference(Screen(r), "bars/tests/ref", "customize_kinds_standard"));
  cmds->SetItemIndex(1);
  M->SetStyle(bmsFlat);
  Pump();
  EXPECT_TRUE(MatchesReference(Screen(r), "bars/tests/ref", "customize_kinds_flat"));
  cmds->SetItemIndex(4);
  Pump();
  EXPECT_TRUE(MatchesReference(Screen(r), "bars/tests/ref", "customize_kinds_flat_edit"));
}

// Freeing the customized form closes the window with it.
TEST_F(CustomizeFormTest, FreeingTheCustomizedFormClosesTheWindow) {
  ASSERT_NE(Open(), nullptr);
  F->Free();
  F = nullptr;
  M = nullptr;
  Pump();
  EXPECT_EQ(kxBarCustomizingFormInstance(), nullptr);
}

// While a form is designed the window shows its design pages and edits
// categories and commands through its two menus.
TEST_F(CustomizeFormTest, DesignTimeMenusEditCategoriesAndCommands) {
  auto* form = new TForm(Application);
  form->SetDesigning(true);
  form->SetBounds(40, 30, 400, 200);
  auto* m = new TkxBarManager(form);
  m->Categories()->Clear();
  m->Categories()->Add("A");
  m->Categories()->Add("B");
  std::vector<TkxBarButton*> items;
  for (const char* name : {"One", "Two", "Three"}) {
    auto* b = new TkxBarButton(form);
    b->SetName(name);
    b->SetCaption(name);
    b->SetCategory(0);
    items.push_back(b);
  }
  form->Show();
  Pump();
  M->SetCustomizing(false);
  m->SetCustomizing(true);
  Pump();
  TkxBarCustomizingForm* f = kxBarCustomizingFormInstance();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->TabSheet4->TabVisible());
  EXPECT_TRUE(f->TabSheet5->TabVisible());
  EXPECT_FALSE(f->BBarReset->Visible());
  ASSERT_NE(f->CategoriesButton, nullptr);
  EXPECT_EQ(CustU8(f->CategoriesButton->Caption()), "... 修改");
  EXPECT_EQ(f->CategoriesButton->Left(), f->LabelCategories->Left() + f->LabelCategories->Width() + 5);
  EXPECT_EQ(Rows(f->LAllCommands), (std::vector<std::string>{"One", "Two", "Three"}));
  // categories: add, rename, delete
  AnswerName("C");
  f->CategoriesAddClick(nullptr);
  EXPECT_EQ(m->Categories()->Count(), 3);
  EXPECT_EQ(f->LCategories->ItemIndex(), 2);
  AnswerName("D");
  f->CategoriesRenameClick(nullptr);
  EXPECT_EQ(std::string(m->Categories()->Get(2)), "D");
  TCustBoxes::Answers = {IDOK};
  f->CategoriesDeleteClick(nullptr);
  EXPECT_EQ(m->Categories()->Count(), 2);
  EXPECT_EQ(TCustBoxes::Texts.back(), "是否确认要删除类别 'D' ?");
  // a category row dragged onto the next one changes places with it
  f->PageControl->SetActivePage(f->TabSheet2);
  Pump();
  TRect r0 = f->LCategories->ItemRect(0), r1 = f->LCategories->ItemRect(1);
  MouseDrag(At(f->LCategories, r0.left + 10, r0.top + 3), At(f->LCategories, r1.left + 10, r1.top + 3));
  EXPECT_EQ(Rows(f->LCategories), (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(std::string(m->Categories()->Get(1)), "A");
  EXPECT_EQ(items[0]->Category(), 1);
  EXPECT_EQ(f->LCategories->DragMode(), dmManual);
  // commands: move down, delete
  f->LCategories->SetItemIndex(1);
  f->LCategoriesClick(nullptr);
  f->CommandsList()->SetItemIndex(0);
  f->CommandsPopupMenuPopup(nullptr);
  EXPECT_FALSE(f->CommandEntries[3]->Enabled());  // up from the first row
  EXPECT_TRUE(f->CommandEntries[4]->Enabled());
  f->CommandsMoveDownClick(nullptr);
  EXPECT_EQ(Rows(f->CommandsList()), (std::vector<std::string>{"Two", "One", "Three"}));
  EXPECT_EQ(f->CommandsList()->ItemIndex(), 1);
  f->CommandsDeleteClick(nullptr);
  EXPECT_EQ(Rows(f->CommandsList()), (std::vector<std::string>{"Two", "Three"}));
  EXPECT_EQ(f->CommandsList()->ItemIndex(), 1);
  m->SetCustomizing(false);
  Pump();
  EXPECT_EQ(kxBarCustomizingFormInstance(), nullptr);
}
