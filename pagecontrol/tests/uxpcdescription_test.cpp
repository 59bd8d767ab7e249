// A window description with a page control of two sheets aligned left (the
// shape of the story design window) loads, switches pages and is written
// back as the same text.
#include "pagecontrol/tests/pctest.h"
#include "pagecontrol/uxpagecontrol.h"
#include "platform/classes/filer.h"
#include "platform/rtl/strings.h"

namespace {

class TPcDesignForm : public TForm {
  PV_CLASS(TPcDesignForm, TForm)
 public:
  explicit TPcDesignForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TuxPageControl* uxPageControl1 = nullptr;
  TuxTabSheet* uxTabSheet1 = nullptr;
  TuxTabSheet* uxTabSheet2 = nullptr;
  std::vector<std::string> Log;
  void uxPageControl1Change(TObject*) { Log.push_back("change " + uxPageControl1->ActivePage()->Name()); }
  void uxPageControl1PageChanging(TObject*, TuxTabSheet* NewPage, bool& Allow) {
    Log.push_back("changing " + (NewPage ? NewPage->Name() : std::string("nil")));
  }
};

void RegisterDesignForm() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterClass(TPcDesignForm::StaticClass());
  RegisterHandlers<TPcDesignForm>([](THandlerBuilder<TPcDesignForm>& h) {
    h.Handler("uxPageControl1Change", &TPcDesignForm::uxPageControl1Change);
    h.Handler("uxPageControl1PageChanging", &TPcDesignForm::uxPageControl1PageChanging);
    h.Field("uxPageControl1", &TPcDesignForm::uxPageControl1);
    h.Field("uxTabSheet1", &TPcDesignForm::uxTabSheet1);
    h.Field("uxTabSheet2", &TPcDesignForm::uxTabSheet2);
  });
}

// The story design window's shape: the library page and the template page
// in one page control aligned left.
const char* const kDesignText = R"(object StoryModuleDesigner: TPcDesignForm
  Left = 0
  Top = 0
  Width = 640
  Height = 480
  AutoScroll = False
  ParentFont = False
  ClientHeight = 453
  ClientWidth = 632
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
  object uxPageControl1: TuxPageControl
    Left = 0
    Top = 0
    Width = 240
    Height = 453
    Align = alLeft
    TabOrder = 0
    ActivePage = uxTabSheet1
    HotTrack = True
    Options = [pcoCloseButton, pcoGradient, pcoGradientClientArea, pcoRedrawOnResize]
    OnChange = uxPageControl1Change
    OnPageChanging = uxPageControl1PageChanging
    ClientRectBottom = 453
    ClientRectRight = 240
    ClientRectTop = 23
    object uxTabSheet1: TuxTabSheet
      Caption = '库'
      ImageIndex = 0
    end
    object uxTabSheet2: TuxTabSheet
      Caption = '设计'
      ImageIndex = 1
    end
  end
end
)";

class PcDescriptionTest : public PcTest {
 protected:
  void SetUp() override {
    PcTest::SetUp();
    RegisterDesignForm();
  }
  static AnsiString Replace(AnsiString Text, const char* From, const char* To) {
    const std::size_t At = Text.find(From);
    EXPECT_NE(At, AnsiString::npos) << From;
    if (At != AnsiString::npos) Text.replace(At, std::strlen(From), To);
    return Text;
  }
};

TEST_F(PcDescriptionTest, DesignWindowLoadsSwitchesPagesAndWritesBackTheSameText) {
  const AnsiString Text = Utf8ToAnsi(kDesignText);
  auto* F = dynamic_cast<TPcDesignForm*>(ReadComponentFromText(Text, nullptr));
  ASSERT_NE(F, nullptr);
  ASSERT_TRUE(F->uxPageControl1 && F->uxTabSheet1 && F->uxTabSheet2);
  TuxPageControl* PC = F->uxPageControl1;
  EXPECT_EQ(PC->Align(), alLeft);
  EXPECT_TRUE(PC->HotTrack());
  EXPECT_EQ(PC->PageCount(), 2);
  EXPECT_EQ(PC->ActivePage(), F->uxTabSheet1);
  EXPECT_EQ(PC->TabIndex(), 0);
  EXPECT_EQ(PC->Tabs()->Get(0), Utf8ToAnsi("库"));
  EXPECT_EQ(PC->Tabs()->Get(1), Utf8ToAnsi("设计"));
  EXPECT_EQ(F->uxTabSheet2->ImageIndex(), 1);
  EXPECT_TRUE(F->Log.empty());  // loading fires no change
  F->Show();
  Pump();
  EXPECT_TRUE(F->uxTabSheet1->Showing());
  EXPECT_FALSE(F->uxTabSheet2->Showing());
  EXPECT_EQ(F->uxTabSheet1->BoundsRect(), PC->DisplayRect());
  // A click on the second tab switches the page through both events.
  const TRect R = PC->VisibleTab(1)->VisibleRect();
  const TPoint P = PC->ClientToScreen(pcPoint((R.left + R.right) / 2, (R.top + R.bottom) / 2));
  hb->Click(P.x, P.y);
  Pump();
  EXPECT_EQ(PC->ActivePage(), F->uxTabSheet2);
  EXPECT_TRUE(F->uxTabSheet2->Showing());
  EXPECT_EQ(F->Log, (std::vector<std::string>{"changing uxTabSheet2", "change uxTabSheet2"}));
  // Written with the second page active, then back with the first (the
  // form's own showing state and focus put back as they were read).
  F->Hide();
  F->SetActiveControl(nullptr);
  EXPECT_EQ(WriteComponentToText(F), Replace(Text, "ActivePage = uxTabSheet1", "ActivePage = uxTabSheet2"));
  PC->SetActivePage(F->uxTabSheet1);
  EXPECT_EQ(WriteComponentToText(F), Text);
  F->Free();
}

TEST_F(PcDescriptionTest, StoredActivePageIsAppliedWithoutEvents) {
  const AnsiString Text = Replace(Utf8ToAnsi(kDesignText), "ActivePage = uxTabSheet1", "ActivePage = uxTabSheet2");
  auto* F = dynamic_cast<TPcDesignForm*>(ReadComponentFromText(Text, nullptr));
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(F->uxPageControl1->ActivePage(), F->uxTabSheet2);
  EXPECT_EQ(F->uxPageControl1->TabIndex(), 1);
  EXPECT_TRUE(F->uxTabSheet2->Visible());
  EXPECT_FALSE(F->uxTabSheet1->Visible());
  EXPECT_TRUE(F->Log.empty());
  EXPECT_EQ(WriteComponentToText(F), Text);
  F->Free();
  // A disabled active page is not active after loading.
  const AnsiString Disabled = Replace(Text, "      ImageIndex = 1\n", "      Enabled = False\n      ImageIndex = 1\n");
  F = dynamic_cast<TPcDesignForm*>(ReadComponentFromText(Disabled, nullptr));
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(F->uxPageControl1->ActivePage(), nullptr);
  EXPECT_EQ(F->uxPageControl1->TabIndex(), -1);
  EXPECT_FALSE(F->uxPageControl1->Tabs()->Tabs(1)->Enabled());
  EXPECT_TRUE(F->Log.empty());
  F->Free();
}

TEST_F(PcDescriptionTest, BadValuesAreRefusedWithAClearError) {
  RegisterDesignForm();
  const AnsiString Bad = Replace(Utf8ToAnsi(kDesignText), "HotTrack = True", "TabPosition = tpMiddle");
  const int Roots = GlobalRootCount();
  try {
    ReadComponentFromText(Bad, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& E) {
    EXPECT_NE(std::string(E.what()).find("tpMiddle"), std::string::npos) << E.what();
  }
  EXPECT_EQ(GlobalRootCount(), Roots);  // nothing left behind
}

}  // namespace
