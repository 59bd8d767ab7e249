// The page control: sheets added and removed while shown, the active page
// following the tabs and the tabs following the sheets, refused changes, one
// OnChange per change of page, page order, closing, and the sheets' events.
#include "pagecontrol/tests/pctest.h"
#include "pagecontrol/uxpagecontrol.h"
#include "platform/rtl/strings.h"

namespace {

struct PageLog {
  std::vector<std::string> Items;
  TuxPageControl* Control = nullptr;
  TuxTabSheet* Refuse = nullptr;  // OnPageChanging refuses this page
  bool RefuseTabs = false;        // OnChanging refuses every change
  bool Throw = false;             // OnShow raises
  void Changing(TObject*, bool& Allow) {
    Items.push_back("changing");
    if (RefuseTabs) Allow = false;
  }
  void PageChanging(TObject*, TuxTabSheet* NewPage, bool& Allow) {
    Items.push_back("page changing " + (NewPage ? NewPage->Name() : std::string("nil")));
    if (NewPage == Refuse) Allow = false;
  }
  void Changed(TObject*) {
    Items.push_back("change " + (Control->ActivePage() ? Control->ActivePage()->Name() : std::string("nil")));
  }
  void Show(TObject* S) {
    Items.push_back("show " + static_cast<TComponent*>(S)->Name());
    if (Throw) throw Exception("show failed");
  }
  void Hide(TObject* S) { Items.push_back("hide " + static_cast<TComponent*>(S)->Name()); }
};

class PcPageTest : public PcTest {
 protected:
  TuxPageControl* PC = nullptr;
  PageLog Log;
  TuxPageControl* MakePages(std::vector<std::string> Names, bool Show = true) {
    PC = NewObject<TuxPageControl>(Form);
    PC->SetName("PC");
    PC->SetBounds(0, 0, 300, 200);
    PC->SetParent(Form);
    Log.Control = PC;
    for (const std::string& N : Names) AddSheet(N);
    if (Show) {
      Form->Show();
      Pump();
    }
    return PC;
  }
  TuxTabSheet* AddSheet(const std::string& Name) {
    auto* S = new TuxTabSheet(Form);
    S->SetName(Name);
    S->SetCaption(Name);
    S->OnShow = TNotifyEvent(&Log, &PageLog::Show);
    S->OnHide = TNotifyEvent(&Log, &PageLog::Hide);
    S->SetPageControl(PC);
    return S;
  }
  TuxTabSheet* Sheet(const char* Name) { return static_cast<TuxTabSheet*>(Form->FindComponent(Name)); }
  void Listen() {
    PC->OnChange = TNotifyEvent(&Log, &PageLog::Changed);
    PC->OnChanging = TuxTabChangingEvent(&Log, &PageLog::Changing);
    PC->OnPageChanging = TuxPageChangingEvent(&Log, &PageLog::PageChanging);
    Log.Items.clear();
  }
  // Only the active page is visible.
  void ExpectOnlyActiveVisible() {
    for (int i = 0; i < PC->PageCount(); ++i)
      EXPECT_EQ(PC->Pages(i)->Visible(), PC->Pages(i) == PC->ActivePage()) << PC->Pages(i)->Name();
  }
  TPoint TabPoint(int VisibleIndex) {
    const TRect R = PC->VisibleTab(VisibleIndex)->VisibleRect();
    return At(PC, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }
};

TEST_F(PcPageTest, SheetsAddedAndRemovedWhileShown) {
  MakePages({});
  EXPECT_EQ(PC->ActivePage(), nullptr);
  EXPECT_EQ(PC->TabIndex(), -1);
  auto* A = AddSheet("A");
  EXPECT_EQ(PC->ActivePage(), A);  // the first sheet becomes active
  EXPECT_EQ(PC->TabIndex(), 0);
  auto* B = AddSheet("B");
  auto* C = AddSheet("C");
  EXPECT_EQ(PC->ActivePage(), A);  // later sheets do not
  EXPECT_EQ(PC->Tabs()->Count(), 3);
  EXPECT_EQ(PC->Tabs()->Get(2), "C");
  EXPECT_EQ(B->PageIndex(), 1);
  EXPECT_EQ(B->Parent(), PC);
  Pump();
  ExpectOnlyActiveVisible();
  EXPECT_TRUE(A->Showing());
  // The sheet fills the page rectangle.
  EXPECT_EQ(A->BoundsRect(), PC->DisplayRect());
  Listen();
  PC->SetActivePage(C);
  EXPECT_EQ(PC->TabIndex(), 2);
  EXPECT_EQ(Log.Items, (std::vector<std::string>{"page changing C", "hide A", "show C", "change C"}));
  // Removing another sheet keeps the page shown.
  delete B;
  EXPECT_EQ(PC->ActivePage(), C);
  EXPECT_EQ(PC->TabIndex(), 1);
  EXPECT_EQ(PC->Tabs()->Get(1), "C");
  // Removing the active sheet shows the next one, wrapping to the first.
  delete C;
  EXPECT_EQ(PC->ActivePage(), A);
  EXPECT_EQ(PC->TabIndex(), 0);
  ExpectOnlyActiveVisible();
  // Removing the last sheet leaves nothing active.
  A->SetPageControl(nullptr);
  EXPECT_EQ(A->Parent(), nullptr);
  EXPECT_EQ(A->PageIndex(), -1);
  EXPECT_EQ(PC->ActivePage(), nullptr);
  EXPECT_EQ(PC->TabIndex(), -1);
  EXPECT_EQ(PC->Tabs()->Count(), 0);
  delete A;
}

TEST_F(PcPageTest, RemovingTheActiveSheetSkipsHiddenAndDisabledSheets) {
  MakePages({"A", "B", "C", "D"});
  Sheet("B")->SetTabVisible(false);
  Sheet("C")->SetEnabled(false);
  PC->SetActivePage(Sheet("A"));
  delete Sheet("A");
  EXPECT_EQ(PC->ActivePage(), Sheet("D"));
  EXPECT_EQ(PC->TabIndex(), Sheet("D")->OwnTab()->Index());
}

TEST_F(PcPageTest, HidingTheActiveTabMovesToTheTabInItsPlace) {
  MakePages({"A", "B", "C"});
  PC->SetActivePage(Sheet("B"));
  Sheet("B")->SetTabVisible(false);
  EXPECT_EQ(PC->ActivePage(), Sheet("C"));  // the tab now in its visible place
  EXPECT_EQ(PC->TabIndex(), 2);
  Sheet("C")->SetTabVisible(false);
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));  // the last one: the previous tab
  Sheet("A")->SetTabVisible(false);
  EXPECT_EQ(PC->ActivePage(), nullptr);
  EXPECT_EQ(PC->TabIndex(), -1);
  ExpectOnlyActiveVisible();
  // A page control with one page and nothing active shows it when its tab comes back.
  delete Sheet("B");
  delete Sheet("C");
  Sheet("A")->SetTabVisible(true);
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
}

TEST_F(PcPageTest, RefusedChangesLeaveTabAndPage) {
  MakePages({"A", "B", "C"});
  Listen();
  Log.Refuse = Sheet("B");
  const TPoint P1 = TabPoint(1), P2 = TabPoint(2);
  hb->Click(P1.x, P1.y);
  Pump();
  EXPECT_EQ(PC->TabIndex(), 0);
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  EXPECT_EQ(Log.Items, (std::vector<std::string>{"changing", "page changing B"}));
  // OnChanging refuses before OnPageChanging is asked.
  Log.Items.clear();
  Log.RefuseTabs = true;
  hb->AdvanceClock(1000);
  hb->Click(P2.x, P2.y);
  Pump();
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  EXPECT_EQ(Log.Items, (std::vector<std::string>{"changing"}));
  // SetActivePage asks OnPageChanging only.
  Log.Items.clear();
  PC->SetActivePage(Sheet("B"));
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  EXPECT_EQ(PC->TabIndex(), 0);
  EXPECT_EQ(Log.Items, (std::vector<std::string>{"page changing B"}));
  ExpectOnlyActiveVisible();
}

TEST_F(PcPageTest, OneChangeEventPerChangeOfPage) {
  MakePages({"A", "B", "C"});
  PC->SetFocus();
  Pump();
  Listen();
  auto Changes = [&] { return std::count_if(Log.Items.begin(), Log.Items.end(), [](const std::string& S) { return S.rfind("change ", 0) == 0; }); };
  const TPoint P1 = TabPoint(1);
  hb->Click(P1.x, P1.y);  // a click
  Pump();
  EXPECT_EQ(PC->ActivePage(), Sheet("B"));
  EXPECT_EQ(Changes(), 1);
  hb->Key(VK_RIGHT);  // a key
  Pump();
  EXPECT_EQ(PC->ActivePage(), Sheet("C"));
  EXPECT_EQ(Changes(), 2);
  PC->SetTabIndex(0);  // the tab index
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  EXPECT_EQ(Changes(), 3);
  PC->SetActivePage(Sheet("C"));  // the page
  EXPECT_EQ(PC->TabIndex(), 2);
  EXPECT_EQ(Changes(), 4);
  PC->SelectNextPage(true);  // wraps
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  EXPECT_EQ(Changes(), 5);
  ExpectOnlyActiveVisible();
}

TEST_F(PcPageTest, PageOrder) {
  MakePages({"A", "B", "C"});
  PC->SetActivePage(Sheet("C"));
  Sheet("C")->SetPageIndex(0);
  EXPECT_EQ(PC->Pages(0), Sheet("C"));
  EXPECT_EQ(PC->ActivePage(), Sheet("C"));
  EXPECT_EQ(PC->TabIndex(), 0);
  EXPECT_EQ(PC->Tabs()->Get(0), "C");
  EXPECT_EQ(Sheet("C")->OwnTab(), PC->Tabs()->Tabs(0));
  try {
    Sheet("A")->SetPageIndex(3);
    ADD_FAILURE();
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "3 is an invalid PageIndex value.  PageIndex must be between 0 and 2");
  }
  EXPECT_THROW(Sheet("A")->SetPageIndex(-1), EListError);
  // The writer keeps the page order; the reader's child order sets it.
  std::vector<std::string> Order;
  PC->GetChildren([&](TComponent* C) { Order.push_back(C->Name()); }, Form);
  EXPECT_EQ(Order, (std::vector<std::string>{"C", "A", "B"}));
  PC->SetChildOrder(Sheet("B"), 0);
  EXPECT_EQ(PC->Pages(0), Sheet("B"));
}

TEST_F(PcPageTest, SheetsFollowTheirTabs) {
  MakePages({"A", "B"});
  Sheet("B")->SetCaption("Bee");
  Sheet("B")->SetHighlighted(true);
  Sheet("B")->SetImageIndex(4);
  Sheet("B")->SetEnabled(false);
  TuxTab* T = Sheet("B")->OwnTab();
  EXPECT_EQ(T->Caption(), "Bee");
  EXPECT_TRUE(T->Highlighted());
  EXPECT_EQ(T->ImageIndex(), 4);
  EXPECT_FALSE(T->Enabled());
  // A parent other than a page control is refused silently.
  auto* Box = new TBox(Form);
  Box->SetParent(Form);
  Sheet("A")->SetParent(Box);
  EXPECT_EQ(Sheet("A")->Parent(), PC);
  // A foreign sheet cannot become the active page.
  auto* Foreign = new TuxTabSheet(Form);
  PC->SetActivePage(Foreign);
  EXPECT_EQ(PC->ActivePage(), Sheet("A"));
  delete Foreign;
}

TEST_F(PcPageTest, CloseButtonFreesTheActiveSheet) {
  MakePages({"A", "B", "C"});
  PC->SetOptions(PC->Options() + TuxPCOptions{pcoCloseButton});
  PC->SetActivePage(Sheet("B"));
  TRect X{};
  TuxPCNavigatorButton Button;
  for (int x = 0; x < PC->Width(); ++x)
    if (PC->Painter()->GetNavigatorButtonAt(x, 10, Button) && Button == nbClose) {
      X = pcRect(x, 10, x + 1, 11);
      break;
    }
  const TPoint P = At(PC, X.left + 5, 10);
  hb->Click(P.x, P.y);
  Pump();
  EXPECT_EQ(Sheet("B"), nullptr);
  EXPECT_EQ(PC->PageCount(), 2);
  EXPECT_EQ(PC->ActivePage(), Sheet("C"));
}

TEST_F(PcPageTest, SheetsShowThePainterPage) {
  MakePages({"A", "B"});
  PC->SetStyle(8);  // Office11: the page is a gradient behind a sheet of the parent's colour
  Pump();
  TBitmap B;
  B.SetSize(PC->Width(), PC->Height());
  PC->PaintTo(B.Canvas()->Handle(), 0, 0);
  const TRect D = PC->DisplayRect();
  const std::uint32_t Top = B.ScanLine(D.top + 1)[D.left + 20] & 0xFFFFFF,
                      Bottom = B.ScanLine(D.bottom - 2)[D.left + 20] & 0xFFFFFF;
  EXPECT_NE(Top, Bottom);  // the sheet shows the page control's gradient, not a flat brush
  // A sheet of its own colour shows that colour.
  Sheet("A")->SetColor(clRed);
  PC->PaintTo(B.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(B.ScanLine(D.top + 10)[D.left + 20] & 0xFFFFFF, 0xFF0000u);
}

TEST_F(PcPageTest, ShowHandlerErrorsGoToTheApplication) {
  MakePages({"A", "B"});
  Log.Throw = true;
  int Handled = 0;
  struct Catcher {
    int* Count;
    void Handle(TObject*, Exception*) { ++*Count; }
  } Catch{&Handled};
  Application->OnException = TExceptionEvent(&Catch, &Catcher::Handle);
  PC->SetActivePage(Sheet("B"));
  EXPECT_EQ(PC->ActivePage(), Sheet("B"));
  EXPECT_EQ(Handled, 1);
  Application->OnException = nullptr;
}

}  // namespace
