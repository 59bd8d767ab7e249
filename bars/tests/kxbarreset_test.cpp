// Bars reset to their form description, and usage data forgotten.
#include "bars/tests/kxbartest.h"

namespace kxbarreset_test {

std::vector<std::string> Names(TkxBarItemLinks* Links) {
  std::vector<std::string> r;
  for (int i = 0; i < Links->Count(); ++i) r.push_back(std::string(Links->Items(i)->Item()->Name()));
  return r;
}

struct TResetLog {
  std::vector<std::string> Lines;
  void Before(TkxBarManager*, TkxBar* Bar) { Lines.push_back("before " + std::string(Bar->Name())); }
  void After(TkxBarManager*, TkxBar* Bar) { Lines.push_back("after " + std::string(Bar->Name())); }
};

// The answers and texts of the message boxes shown.
struct TBoxes {
  static inline int Answer = IDNO;
  static inline std::vector<std::string> Texts;
  static int Show(HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
    Texts.push_back(std::string(Caption) + "|" + std::string(Text) + "|" + std::to_string(Flags));
    return Answer;
  }
};

class BarsResetTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    M = F->BarManager1;
    TBoxes::Texts.clear();
    SetMessageBoxProc(&TBoxes::Show);
  }
  TkxBarManager* M = nullptr;
};

// The copy is read from the form's own description: event lines are left out
// (its items have no handlers), but properties that begin with "On" stay.
TEST_F(BarsResetTest, TemporaryFormHoldsACopyOfTheManager) {
  EXPECT_TRUE(M->CanReset());
  std::unique_ptr<TCustomForm, void (*)(TCustomForm*)> form(M->CreateFormFromResource(),
                                                            [](TCustomForm* f) { f->Free(); });
  ASSERT_NE(form, nullptr);
  auto* copy = dynamic_cast<TkxBarManager*>(form->FindComponent("BarManager1"));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, M);
  EXPECT_FALSE(copy->StoreInIniFile());
  EXPECT_FALSE(copy->StoreInRegistry());
  ASSERT_EQ(copy->Bars()->Count(), 2);
  EXPECT_TRUE(copy->Bars()->Items(1)->OneOnRow());
  EXPECT_EQ(Names(copy->Bars()->Items(1)->ItemLinks()), Names(Tools));
  auto* cut = dynamic_cast<TkxBarButton*>(copy->ItemByName("CutButton"));
  ASSERT_NE(cut, nullptr);
  EXPECT_FALSE(bool(cut->OnClick));
  EXPECT_EQ(cut->Caption(), A("剪切"));
  EXPECT_TRUE(bool(F->CutButton->OnClick));
}

// A manager whose form description does not hold it cannot be reset.
TEST_F(BarsResetTest, ManagersOutsideTheDescriptionHaveNoCopy) {
  M->SetName("RenamedManager");
  EXPECT_EQ(M->CreateFormFromResource(), nullptr);
  ToolsBar->Reset();  // nothing happens
  EXPECT_EQ(Tools->Count(), 8);

  TForm* plain = new TForm(Application, 0);
  auto* made = new TkxBarManager(plain);
  EXPECT_FALSE(made->CanReset());
  EXPECT_EQ(made->CreateFormFromResource(), nullptr);
  plain->Free();
}

// Resetting a toolbar brings back its declared links with their real items
// (whose handlers still run); other bars and sub items keep the user's changes
// unless they are reached through the bar's links.
TEST_F(BarsResetTest, BarResetRestoresDeclaredLinks) {
  auto declared = Names(Tools);
  TResetLog log;
  M->OnBarBeforeReset = TkxBarEvent(&log, &TResetLog::Before);
  M->OnBarAfterReset = TkxBarEvent(&log, &TResetLog::After);
  ToolLink(F->PasteButton)->SetItem(nullptr);
  Tools->Items(0)->SetIndex(3);
  ToolsBar->SetCaption("mine");
  MainMenu->ItemLinks()->Items(3)->SetItem(nullptr);
  Pump();
  ASSERT_NE(Names(Tools), declared);

  ToolsBar->Reset();
  Pump();
  EXPECT_EQ(Names(Tools), declared);
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"before Tools", "after Tools"}));
  EXPECT_EQ(ToolsBar->Caption(), "mine");  // only the links come back
  EXPECT_EQ(MainMenu->ItemLinks()->Count(), 3);
  EXPECT_EQ(Tools->Items(0)->Item(), F->CutButton);
  ClickLink(ToolLink(F->CutButton));
  EXPECT_EQ(F->Log, (std::vector<std::string>{"cut"}));

  // a full reset takes the bar's options and caption as well
  M->SetUseFullReset(true);
  ToolsBar->SetOneOnRow(false);
  ToolLink(F->CopyButton)->SetItem(nullptr);
  ToolsBar->Reset();
  Pump();
  EXPECT_EQ(Names(Tools), declared);
  EXPECT_EQ(ToolsBar->Caption(), A("工具"));
  EXPECT_TRUE(ToolsBar->OneOnRow());
  EXPECT_TRUE(ToolsBar->Visible());
  // the main menu's sub items reached through its links are reset too
  F->FileMenu->ItemLinks()->Items(0)->SetItem(nullptr);
  M->Bars()->Items(0)->Reset();
  EXPECT_EQ(Names(F->FileMenu->ItemLinks()),
            (std::vector<std::string>{"OpenItem", "NewItem", "RecentMenu", "ExitItem"}));
}

// The confirmations ask first; declining leaves everything as it was.
TEST_F(BarsResetTest, ConfirmationsCanBeDeclined) {
  M->SetStyle(bmsOffice11);
  TkxBarItemLinks* file = F->FileMenu->ItemLinks();
  file->Items(3)->SetIndex(0);
  for (int i = 0; i < file->Count(); ++i) file->Items(i)->SetMostRecentlyUsed(false);
  ToolLink(F->PasteButton)->SetItem(nullptr);
  auto order = Names(file);

  TBoxes::Answer = IDNO;
  M->ResetUsageDataWithConfirmation();
  TBoxes::Answer = IDCANCEL;
  ToolsBar->ResetWithConfirmation();
  ASSERT_EQ(TBoxes::Texts.size(), 2u);
  EXPECT_NE(TBoxes::Texts[0].find(A("此操作将删除您在此应用程序中使用过的命令的记录")), std::string::npos);
  EXPECT_NE(TBoxes::Texts[0].find("|" + std::to_string(MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING)), std::string::npos);
  EXPECT_NE(TBoxes::Texts[1].find(A("是否确认要放弃对工具栏 '工具' 的修改?")), std::string::npos);
  EXPECT_FALSE(file->Items(0)->MostRecentlyUsed());
  EXPECT_EQ(Tools->Count(), 7);

  // accepted, the usage data follows the description while the user's order stays
  TBoxes::Answer = IDYES;
  M->ResetUsageDataWithConfirmation();
  EXPECT_EQ(Names(file), order);
  for (int i = 0; i < file->Count(); ++i) EXPECT_TRUE(file->Items(i)->MostRecentlyUsed()) << i;
  EXPECT_EQ(Tools->Count(), 7);
  TBoxes::Answer = IDOK;
  ToolsBar->ResetWithConfirmation();
  EXPECT_EQ(Tools->Count(), 8);
}

}  // namespace kxbarreset_test
