// The story window's dock arrangement read from its window description: its
// tree, its hide bars, and how it looks in the four view styles.
#include "docking/tests/storywindow.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"
#include "platform/gdi/tests/refimage.h"

#include <set>

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

// The hide bars' tabs of the story window: the left container's on the left
// bar, the bottom container's on the bottom bar; rectangles are in the dock
// site's window, shots in the story window's.
class StoryHideBarTest : public StoryWindowTest {
 protected:
  static constexpr struct {
    TkxDockingViewStyle Style;
    const char* Name;
  } Styles[] = {{vsStandard, "standard"}, {vsNET, "net"}, {vsOffice11, "office11"}, {vsXP, "xp"}};
  TkxDockSite* Host() { return Named<TkxDockSite>("RightHost"); }
  // Where the site's window lies in a shot.
  TPoint HostInShot() {
    RECT S;
    GetWindowRect(Story->Handle(), &S);
    const TRect H = Host()->ScreenWindowRect();
    return TPoint(H.left - S.left, H.top - S.top);
  }
  TkxDockSiteHideBar* Bar(TkxAutoHidePosition P) { return Host()->GetHideBarByPosition(P); }
  static TRawImage Crop(const TRawImage& From, const TRect& R) {
    TRawImage Img;
    Img.Width = R.right - R.left;
    Img.Height = R.bottom - R.top;
    Img.Pixels.resize(std::size_t(Img.Width) * std::size_t(Img.Height));
    for (int y = 0; y < Img.Height; ++y)
      for (int x = 0; x < Img.Width; ++x) Img.At(x, y) = From.At(R.left + x, R.top + y);
    return Img;
  }
  void Repaint() {
    Host()->NCChanged(true);
    Pump();
  }
};

TEST_F(StoryHideBarTest, EveryPagesTabShowsTheStartOfItsCaption) {
  // Each inactive page has a cell of 24 pixels at the end of its container's
  // tab; in every style it shows some of the caption, not an ellipsis alone.
  struct TBarCase {
    const char* Container;
    TkxAutoHidePosition Position;
  };
  for (const auto& S : Styles) {
    SCOPED_TRACE(S.Name);
    M->SetViewStyle(S.Style);
    Pump();
    for (const TBarCase& B : {TBarCase{"leftTabContainerDockSite", ahpLeft}, TBarCase{"bottomTabContainerDockSite", ahpBottom}}) {
      SCOPED_TRACE(B.Container);
      auto* T = Named<TkxTabContainerDockSite>(B.Container);
      ASSERT_EQ(T->ActiveChild(), T->Children(0));
      const bool Vertical = B.Position == ahpLeft;
      const TRect Button = Bar(B.Position)->ButtonRects()[0];
      const TPoint O = HostInShot();
      const TRawImage With = Shot();
      std::vector<AnsiString> Captions;
      for (int i = 1; i < T->ChildCount(); ++i) {
        Captions.push_back(T->Children(i)->Caption());
        T->Children(i)->SetCaption("");
      }
      Repaint();
      const TRawImage Without = Shot();
      for (int i = 1; i < T->ChildCount(); ++i) T->Children(i)->SetCaption(Captions[std::size_t(i - 1)]);
      Repaint();
      ASSERT_EQ(Bar(B.Position)->ButtonRects()[0], Button);  // the widest caption is the active page's
      const int Cell = 2 * Host()->Painter()->HideBarButtonSpacing() + Host()->Painter()->GetDefaultImageHeight();
      ASSERT_EQ(Cell, 24);
      // The last page's cell ends the tab; each earlier one comes before it.
      for (int k = 0; k < T->ChildCount() - 1; ++k) {
        SCOPED_TRACE(Captions[std::size_t(T->ChildCount() - 2 - k)].c_str());
        TRect C = Button;
        if (Vertical) C.bottom -= k * Cell, C.top = C.bottom - Cell;
        else C.right -= k * Cell, C.left = C.right - Cell;
        std::set<int> Lines;  // rows (columns on a side bar) holding ink
        for (int y = C.top + 2; y < C.bottom - 2; ++y)
          for (int x = C.left + 2; x < C.right - 2; ++x)
            if ((With.At(O.x + x, O.y + y) & 0xFFFFFF) != (Without.At(O.x + x, O.y + y) & 0xFFFFFF))
              Lines.insert(Vertical ? x : y);
        EXPECT_GE(Lines.size(), 5u);
      }
    }
  }
}

TEST_F(StoryHideBarTest, TheTabsInTheFourViewStyles) {
  // The left bar's tab and the bottom bar's side by side.
  for (const auto& S : Styles) {
    M->SetViewStyle(S.Style);
    Pump();
    const TRawImage Full = Shot();
    const TPoint O = HostInShot();
    const TRect LB = Bar(ahpLeft)->Bounds(), BB = Bar(ahpBottom)->Bounds();
    const TRect L = kxRect(O.x + LB.left, O.y + LB.top, O.x + LB.right, O.y + Bar(ahpLeft)->ButtonRects()[0].bottom + 6);
    const TRect B = kxRect(O.x + BB.left, O.y + BB.top, O.x + Bar(ahpBottom)->ButtonRects()[0].right + 6, O.y + BB.bottom);
    const TRawImage Left = Crop(Full, L), Bottom = Crop(Full, B);
    TRawImage Img;
    Img.Width = Left.Width + 8 + Bottom.Width;
    Img.Height = std::max(Left.Height, Bottom.Height);
    Img.Pixels.assign(std::size_t(Img.Width) * std::size_t(Img.Height), 0xFFFFFFFF);
    for (int y = 0; y < Left.Height; ++y)
      for (int x = 0; x < Left.Width; ++x) Img.At(x, y) = Left.At(x, y);
    for (int y = 0; y < Bottom.Height; ++y)
      for (int x = 0; x < Bottom.Width; ++x) Img.At(Left.Width + 8 + x, y) = Bottom.At(x, y);
    EXPECT_TRUE(MatchesReference(Img, "docking/tests/ref", std::string("hidebars_") + S.Name)) << S.Name;
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
