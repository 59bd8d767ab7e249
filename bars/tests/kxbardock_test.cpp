// Bars and dock sites: a bar docked in a site placed on a panel, a bar moved
// between the form's edges, hidden and shown again, floating, and a site
// that goes away under its bar.
#include "bars/tests/kxbartest.h"

namespace {

const char* const kDockFormText = R"(object DockForm: TForm
  Left = 20
  Top = 20
  Width = 400
  Height = 260
  Caption = '停靠'
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 392
    Height = 60
    Align = alTop
    object BarDockControl1: TkxBarDockControl
      Left = 1
      Top = 1
      Width = 390
      Height = 26
      Align = dalTop
      BarManager = BarManager1
    end
  end
  object BarManager1: TkxBarManager
    Bars = <
      item
        Caption = '面板栏'
        DockControl = BarDockControl1
        DockedLeft = 0
        DockedTop = 0
        ItemLinks = <
          item
            Item = Button1
            Visible = True
          end
          item
            Item = Button2
            Visible = True
          end>
        Name = 'PanelBar'
        Visible = True
      end
      item
        Caption = '边栏'
        DockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        ItemLinks = <
          item
            Item = Button1
            Visible = True
          end>
        Name = 'EdgeBar'
        Visible = True
      end>
    Style = bmsStandard
    object Button1: TkxBarButton
      Caption = '一'
      Category = 0
      Visible = ivAlways
    end
    object Button2: TkxBarButton
      Caption = '二'
      Category = 0
      Visible = ivAlways
    end
  end
end
)";

struct TVisibleLog {
  std::vector<std::string> Events;
  void Changed(TkxBarManager*, TkxBar* Bar) {
    Events.push_back(std::string(Bar->Name()) + (Bar->Visible() ? " shown" : " hidden"));
  }
  void Docking(TkxBarManager*, TkxBar* Bar) { Events.push_back(std::string(Bar->Name()) + " moved"); }
};

}  // namespace

class BarsDockTest : public BarsTest {
 protected:
  TForm* F = nullptr;
  TkxBarManager* M = nullptr;
  TkxBarDockControl* Site = nullptr;
  void SetUp() override {
    BarsTest::SetUp();
    F = new TForm(Application, 0);
    ReadComponentFromText(Utf8ToAnsi(kDockFormText), F);
    F->Show();
    Pump();
    M = dynamic_cast<TkxBarManager*>(F->FindComponent("BarManager1"));
    Site = dynamic_cast<TkxBarDockControl*>(F->FindComponent("BarDockControl1"));
  }
  TkxBar* PanelBar() { return M->BarByName("PanelBar"); }
  TkxBar* EdgeBar() { return M->BarByName("EdgeBar"); }
};

TEST_F(BarsDockTest, ABarDocksInASiteOnAPanel) {
  ASSERT_TRUE(M && Site);
  TkxBar* bar = PanelBar();
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(bar->DockControl(), Site);
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  EXPECT_EQ(bar->Control()->Parent(), Site);
  EXPECT_EQ(Site->Height(), bar->Control()->Height());
  EXPECT_TRUE(IsWindowVisible(bar->Control()->Handle()));
  // the site's alignment decides the docking style of its bar windows
  Site->SetDockAlign(dalLeft);
  Pump();
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(bar->Control()->DockingStyle(), dsLeft);
  EXPECT_EQ(Site->BarDockingStyle(), dsLeft);
  EXPECT_GT(bar->Control()->Height(), bar->Control()->Width());
  EXPECT_EQ(Site->Width(), bar->Control()->Width());
  // the site written back names its manager and alignment
  AnsiString text = WriteComponentToText(F);
  EXPECT_NE(text.find("Align = dalLeft"), AnsiString::npos);
  EXPECT_NE(text.find("DockControl = BarDockControl1"), AnsiString::npos);
}

TEST_F(BarsDockTest, BarsMoveBetweenEdgesHideAndShow) {
  TVisibleLog log;
  M->OnBarVisibleChange = TkxBarVisibleChangeEvent(&log, &TVisibleLog::Changed);
  M->OnBarDockingStyleChange = TkxBarEvent(&log, &TVisibleLog::Docking);
  TkxBar* bar = EdgeBar();
  bar->SetDockingStyle(dsBottom);
  Pump();
  ASSERT_NE(bar->Control(), nullptr);
  TkxDockControl* bottom = M->Bars()->DockControls(dsBottom);
  EXPECT_EQ(bar->Control()->Parent(), bottom);
  EXPECT_EQ(bottom->Height(), bar->Control()->Height());
  EXPECT_EQ(M->Bars()->DockControls(dsTop)->Height(), 0);
  EXPECT_EQ(bottom->Top() + bottom->Height(), F->ClientHeight());
  bar->SetVisible(false);
  EXPECT_EQ(bar->Control(), nullptr);
  EXPECT_EQ(bottom->Height(), 0);
  bar->SetVisible(true);
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(bar->Control()->Parent(), bottom);
  // floating: a window of its own over the form
  bar->SetFloatLeft(100);
  bar->SetFloatTop(120);
  bar->SetDockingStyle(dsNone);
  Pump();
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(bar->Control()->Parent(), nullptr);
  EXPECT_EQ(bar->Control()->Left(), 100);
  EXPECT_EQ(bar->Control()->Top(), 120);
  EXPECT_TRUE(IsWindowVisible(bar->Control()->Handle()));
  EXPECT_EQ(bottom->Height(), 0);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"EdgeBar hidden", "EdgeBar shown", "EdgeBar moved",
                                                  "EdgeBar hidden", "EdgeBar shown", "EdgeBar hidden",
                                                  "EdgeBar shown", "EdgeBar moved"}));
  M->OnBarVisibleChange = TkxBarVisibleChangeEvent();
  M->OnBarDockingStyleChange = TkxBarEvent();
}

// A site freed under its bar takes the bar's window with it; the bar stays
// in the collection and keeps working.
TEST_F(BarsDockTest, ASiteFreedUnderItsBar) {
  TkxBar* bar = PanelBar();
  ASSERT_NE(bar->Control(), nullptr);
  delete Site;
  Pump();
  EXPECT_EQ(bar->DockControl(), nullptr);
  EXPECT_EQ(M->Bars()->Count(), 2);
  ASSERT_EQ(M->DockControlCount(), 4);
  bar->SetVisible(false);
  bar->SetDockingStyle(dsTop);
  bar->SetVisible(true);
  Pump();
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(bar->Control()->Parent(), M->Bars()->DockControls(dsTop));
  F->Free();
}
