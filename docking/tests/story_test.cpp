// The story window's dock arrangement read from its window description: its
// tree, its hide bars, and how it looks in the four view styles.
#include "docking/tests/storywindow.h"
#include "platform/gdi/tests/refimage.h"

namespace {

using StoryTest = StoryWindowTest;

TEST_F(StoryTest, TheDescriptionBuildsTheTreeWithTwoHideBars) {
  auto* Host = Named<TkxDockSite>("RightHost");
  auto* Main = Named<TkxTabContainerDockSite>("mainTabContainerDockSite");
  auto* Bottom = Named<TkxTabContainerDockSite>("bottomTabContainerDockSite");
  auto* Left = Named<TkxTabContainerDockSite>("leftTabContainerDockSite");
  ASSERT_TRUE(Host && Main && Bottom && Left);
  EXPECT_EQ(GetDockingController()->DockControlCount(), 26);
  ASSERT_EQ(Host->ChildCount(), 2);
  EXPECT_EQ(Host->Children(0)->Name(), "rightLayoutDockSite");
  EXPECT_EQ(Host->Children(1), Left);
  EXPECT_EQ(Main->ChildCount(), 5);
  EXPECT_EQ(Main->ActiveChild(), Main->Children(0));
  EXPECT_TRUE(Main->HasTabs());
  EXPECT_FALSE(Main->HasCaption());
  EXPECT_TRUE(Left->AutoHide());
  EXPECT_TRUE(Bottom->AutoHide());
  EXPECT_EQ(Host->GetHideBarByControl(Left), Host->GetHideBarByPosition(ahpLeft));
  EXPECT_EQ(Host->GetHideBarByControl(Bottom), Host->GetHideBarByPosition(ahpBottom));
  EXPECT_FALSE(Left->Visible());  // slid in
  EXPECT_EQ(Left->Parent(), Left->AutoHideContainer());
  EXPECT_EQ(Left->AutoHideContainer()->Parent(), Story);
  // The main container fills what the hide bars leave.
  const int Bar = Host->Painter()->HideBarWidth();
  RECT Client;
  GetClientRect(Host->Handle(), &Client);
  EXPECT_EQ(Client.right, Host->Width() - Bar);
  EXPECT_EQ(Client.bottom, Host->Height() - Host->Painter()->HideBarHeight());
  // The side container keeps its width at the right of the main pages, its two
  // panels sharing it.
  auto* Side = Named<TkxHorizContainerDockSite>("sideHorizContainerDockSite");
  ASSERT_NE(Side, nullptr);
  ASSERT_EQ(Side->ChildCount(), 2);
  EXPECT_EQ(Side->Width(), 240);
  EXPECT_EQ(Side->Children(0)->Width() + Side->Children(1)->Width(), 240);
  EXPECT_EQ(Main->Width() + Side->Width(), Client.right);
}

TEST_F(StoryTest, RendersInTheFourViewStyles) {
  const struct {
    TkxDockingViewStyle Style;
    const char* Name;
  } Styles[] = {{vsStandard, "story_standard"}, {vsNET, "story_net"}, {vsOffice11, "story_office11"},
                {vsXP, "story_xp"}};
  for (const auto& S : Styles) {
    M->SetViewStyle(S.Style);
    Pump();
    EXPECT_TRUE(MatchesReference(Shot(), "docking/tests/ref", S.Name)) << S.Name;
  }
}

}  // namespace

namespace {

// The window description written back holds the dock controls' published
// properties, and reading that text again gives the same window and text.
TEST_F(StoryWindowTest, TheWrittenDescriptionReadsBackToTheSameWindow) {
  // The panels' stand-in contents go first: they are no dock controls.
  for (int i = Story->ComponentCount() - 1; i >= 0; --i)
    if (dynamic_cast<TBox*>(Story->Components(i))) Story->Components(i)->Free();
  const AnsiString Text = WriteComponentToText(Story);
  for (const char* Line : {"object mainTabContainerDockSite: TkxTabContainerDockSite", "ShowCaption = False",
                           "AutoHide = True", "AutoHidePosition = 3", "DockType = 5", "OriginalWidth = 193",
                           "object TextPanel: TkxDockPanel", "AllowFloating = True"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  Story->Free();
  Story = nullptr;
  Pump();
  Story = dynamic_cast<TForm*>(ReadComponentFromText(Text, nullptr));
  ASSERT_NE(Story, nullptr);
  Story->Show();
  Pump();
  EXPECT_EQ(WriteComponentToText(Story), Text);
  auto* Bottom = Named<TkxTabContainerDockSite>("bottomTabContainerDockSite");
  ASSERT_NE(Bottom, nullptr);
  EXPECT_TRUE(Bottom->AutoHide());
  EXPECT_EQ(Bottom->AutoHidePosition(), ahpBottom);
  EXPECT_EQ(GetDockingController()->DockControlCount(), 26);
}

}  // namespace
