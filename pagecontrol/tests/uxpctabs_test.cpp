// The standard geometry and the Tabs style: navigator buttons, tab sizes, the
// page frame, the main tab joining the page, the content layout of a tab
// (ellipsis, image column, caption colours) and the native drawing with a
// stand-in visual-style library.
#include "framework/uxthemes.h"
#include "pagecontrol/tests/pcsheet.h"
#include "pagecontrol/uxpcpainters.h"

namespace {

class PcTabsTest : public PcSheetTest {
 protected:
  static TuxPCStandardPainter* Std(TuxCustomTabControl* C) { return static_cast<TuxPCStandardPainter*>(C->Painter()); }
};

TEST_F(PcTabsTest, NavigatorButtonsAtTheEndOfTheRow) {
  auto* C = MakeControl(200, 100, {"a"}, 1);
  EXPECT_TRUE(Std(C)->NavigatorButtonPositions().empty());
  TRect G;
  Std(C)->GetGoDialogButtonBounds(G);
  EXPECT_TRUE(pcIsEmpty(G));
  TuxPCNavigatorButton B;
  EXPECT_FALSE(Std(C)->GetNavigatorButtonAt(190, 5, B));
  EXPECT_EQ(Std(C)->GetNavigatorAreaLength(TuxPCNavigatorButtons()), 0);
  C->SetOptions(C->Options() + TuxPCOptions{pcoGoDialog, pcoCloseButton});
  for (int i = 0; i < 8; ++i) C->Tabs()->Add("Tab");
  const TuxPCNavigatorButtonPositions& P = Std(C)->NavigatorButtonPositions();
  ASSERT_EQ(P.size(), 4u);
  const TuxPCNavigatorButton Order[] = {nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  const int Widths[] = {12, 20, 20, 20};
  int X = 200 - 72;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(P[std::size_t(i)].Button, Order[i]);
    EXPECT_EQ(P[std::size_t(i)].Bounds, pcRect(X, 0, X + Widths[i], 20)) << i;
    X += Widths[i];
  }
  Std(C)->GetGoDialogButtonBounds(G);
  EXPECT_EQ(G, pcRect(128, 0, 140, 20));
  ASSERT_TRUE(Std(C)->GetNavigatorButtonAt(185, 5, B));
  EXPECT_EQ(B, nbClose);
  // At the start of the row the close button is at the control's edge.
  C->SetNavigatorPosition(npLeftTop);
  EXPECT_EQ(P.front().Button, nbClose);
  EXPECT_EQ(P.front().Bounds.left, 0);
  // Tabs at the left: the buttons stack down from the top, the go button 13 long.
  C->SetTabPosition(tpLeft);
  EXPECT_EQ(P.back().Button, nbGoDialog);
  EXPECT_EQ(P.back().Bounds, pcRect(0, 60, 20, 73));
}

TEST_F(PcTabsTest, TabSizes) {
  auto* C = MakeControl(400, 100, {"", "Caption"}, 1);
  const int Text = C->MeasureCaption(C->Tabs()->Tabs(1));
  EXPECT_EQ(C->Tabs()->Tabs(0)->MeasuredWidth, 42);        // the minimum of a computed width
  EXPECT_EQ(C->Tabs()->Tabs(1)->MeasuredWidth, std::max(42, Text + 12));
  const int Height = C->Tabs()->MeasuredTabHeight;
  EXPECT_GE(Height, 18);
  TImageList* L = MakeImages();
  C->SetImages(L);
  EXPECT_EQ(C->Tabs()->Tabs(0)->MeasuredWidth, 42);        // 16 + 18 = 34 is below the minimum
  EXPECT_EQ(C->Tabs()->Tabs(1)->MeasuredWidth, std::max(42, Text + 34));
  C->SetImageBorder(3);
  EXPECT_EQ(C->Tabs()->Tabs(1)->MeasuredWidth, std::max(42, Text + 40));
  C->SetImageBorder(-1);  // ignored
  EXPECT_EQ(C->ImageBorder(), 3);
  C->SetImages(nullptr);
  C->SetTabWidth(10);  // exactly, the minimum applies only to computed widths
  EXPECT_EQ(C->Tabs()->Tabs(1)->MeasuredWidth, 10);
  C->SetTabHeight(SmallInt(Height - 5));
  EXPECT_EQ(C->Tabs()->MeasuredTabHeight, Height);
  C->SetTabHeight(SmallInt(Height + 7));
  EXPECT_EQ(C->Tabs()->MeasuredTabHeight, Height + 7);
}

TEST_F(PcTabsTest, PageFrameAndTheMainTabJoiningIt) {
  // Two tabs filling the row exactly: the main tab reaches both control edges.
  auto* C = MakeControl(204, 100, {"a", "b"}, 1);
  C->SetTabWidth(100);
  EXPECT_FALSE(C->ShowFrame());
  EXPECT_TRUE(C->Painter()->HasFrame());  // the 3-D frame is always drawn here
  Form->Show();
  Pump();
  const TRect Main = C->VisibleTab(0)->FullRect();
  EXPECT_EQ(Main.left, 0);
  const int B = Main.bottom;
  const TRect Page = C->DisplayRect();
  EXPECT_EQ(Page.top, B + 1);  // the frame's inner line is row B
  auto Bmp = Render(C);
  EXPECT_EQ(Px(Bmp.get(), 0, B), Rgb(clBtnHighlight));  // the frame's highlight under the left border
  EXPECT_EQ(Px(Bmp.get(), 1, B), Rgb(cl3DLight));
  EXPECT_EQ(Px(Bmp.get(), 50, B), Rgb(clBtnFace));      // opened under the tab
  EXPECT_EQ(Px(Bmp.get(), 150, B - 1), Rgb(clBtnHighlight));  // the frame's top line under the other tab
  C->SetTabIndex(1);
  ASSERT_EQ(C->VisibleTab(1)->FullRect().right, 204);
  Bmp = Render(C);
  EXPECT_EQ(Px(Bmp.get(), 202, B), Rgb(clBtnShadow));  // the frame's shadow pixels kept
  EXPECT_EQ(Px(Bmp.get(), 203, B), Rgb(cl3DDkShadow));
  EXPECT_EQ(Px(Bmp.get(), 203, 60), Rgb(cl3DDkShadow));  // the frame's right edge
  EXPECT_EQ(Px(Bmp.get(), 0, 60), Rgb(clBtnHighlight));  // and its left edge
}

TEST_F(PcTabsTest, MultiLineCloseButtonOverlapsTheTabs) {
  auto* C = MakeControl(300, 100, {"a", "b"}, 1);
  C->SetOptions(C->Options() + TuxPCOptions{pcoCloseButton});
  EXPECT_EQ(C->LayoutParams().RowLength, 300 - 20 - 4);
  C->SetMultiLine(true);
  EXPECT_EQ(C->ShownNavigatorButtons(), TuxPCNavigatorButtons{nbClose});
  EXPECT_EQ(C->LayoutParams().RowLength, 300 - 4);
}

TEST_F(PcTabsTest, TabBodiesAndGlyphColours) {
  auto* C = MakeControl(300, 100, {"a", "b", "c"}, 1);
  C->SetTabWidth(60);
  C->Tabs()->Tabs(1)->SetHighlighted(true);
  Form->Show();
  Pump();
  auto Bmp = Render(C);
  const TRect R = C->VisibleTab(1)->FullRect();
  EXPECT_EQ(Px(Bmp.get(), R.left + 4, R.top + 4), Rgb(clHighlight));
  // Captions: highlight text on a highlighted tab, hot light only while tracking.
  EXPECT_EQ(C->Painter()->GetTabTextColor(1), clHighlightText);
  EXPECT_EQ(C->Painter()->GetTabTextColor(2), clBtnText);
  const TRect R2 = C->VisibleTab(2)->VisibleRect();
  const TPoint P = At(C, R2.left + 5, R2.top + 5);
  hb->MouseMove(P.x, P.y);
  Pump();
  EXPECT_EQ(C->Painter()->GetTabTextColor(2), clBtnText);
  C->SetHotTrack(true);
  EXPECT_EQ(C->HotTab(), 2);
  EXPECT_EQ(C->Painter()->GetTabTextColor(2), clHotLight);
  // A disabled button, then a disabled control: glyphs embossed.
  C->SetWidth(150);
  Bmp = Render(C);
  const TuxPCNavigatorButtonPositions& NP = Std(C)->NavigatorButtonPositions();
  TRect Left{}, Right{};
  for (const auto& E : NP) (E.Button == nbTopLeft ? Left : Right) = E.Bounds;
  // The fixed arrow offsets: left arrow at (6, 5), right at (8, 5), inside a 2-pixel frame.
  EXPECT_EQ(Px(Bmp.get(), Right.left + 2 + 8, Right.top + 2 + 5 + 4), Rgb(clBtnText));
  EXPECT_EQ(Px(Bmp.get(), Left.left + 2 + 6, Left.top + 2 + 5 + 4), Rgb(clBtnShadow));
  EXPECT_EQ(Px(Bmp.get(), Left.left + 2 + 6 + 5, Left.top + 2 + 5 + 5), Rgb(clBtnHighlight));
  C->SetEnabled(false);
  Bmp = Render(C);
  EXPECT_EQ(Px(Bmp.get(), Right.left + 2 + 8, Right.top + 2 + 5 + 4), Rgb(clBtnShadow));
}

TEST_F(PcTabsTest, CaptionsAreCutWithAnEllipsis) {
  auto* C = MakeControl(400, 100, {"A rather long caption", "&WWWWWWWW", "Short", "..."}, 1);
  const int Dots = C->MeasureCaption(C->Tabs()->Tabs(3));
  C->SetTabIndex(2);
  C->SetTabWidth(SmallInt(40));
  Form->Show();
  Pump();
  auto Bounds = [&](int V) {
    C->Canvas()->Canvas()->SetHandle(GetDC(C->Handle()));
    C->Painter()->SaveClipRegion();
    Std(C)->DrawTab(V);
    C->Painter()->RestoreClipRegion();
    const TRect R = C->Painter()->TabContentData().CaptionBounds;
    ReleaseDC(C->Handle(), C->Canvas()->Canvas()->Handle());
    C->Canvas()->Canvas()->SetHandle(nullptr);
    return R;
  };
  const TRect Long = Bounds(0);
  EXPECT_GT(Long.Width(), Dots);
  EXPECT_LE(Long.right, C->VisibleTab(0)->FullRect().right - 3);
  // Room for "..." only (3 pixels of indent each side): the first caption
  // keeps its dots, the second would be "&..." and is not drawn.
  C->SetTabWidth(SmallInt(Dots + 6));
  EXPECT_EQ(Bounds(0).Width(), Dots);
  EXPECT_TRUE(pcIsEmpty(Bounds(1)));
}

TEST_F(PcTabsTest, RotatedCaptionsLineUpAfterTheImageColumn) {
  auto* C = MakeControl(400, 200, {"Abc", "Abc"}, 1);
  C->SetImages(MakeImages());
  C->Tabs()->Tabs(1)->SetImageIndex(-1);
  C->SetRotate(true);
  C->SetTabIndex(-1);  // both tabs ordinary
  Form->Show();
  Pump();
  TRect Caption[2];
  for (int V = 0; V < 2; ++V) {
    C->Canvas()->Canvas()->SetHandle(GetDC(C->Handle()));
    C->Painter()->SaveClipRegion();
    Std(C)->DrawTab(V);
    C->Painter()->RestoreClipRegion();
    Caption[V] = C->Painter()->TabContentData().CaptionBounds;
    ReleaseDC(C->Handle(), C->Canvas()->Canvas()->Handle());
    C->Canvas()->Canvas()->SetHandle(nullptr);
    const TRect R = C->VisibleTab(V)->FullRect();
    Caption[V] = pcOffset(Caption[V], -R.left, -R.top);
  }
  EXPECT_EQ(Caption[0], Caption[1]);
}

TEST_F(PcTabsTest, RotatedImagesAreCachedByColourAndState) {
  auto* C = MakeControl(200, 300, {"a", "b", "c"}, 1);
  C->SetImages(MakeImages());
  C->Tabs()->Tabs(1)->SetImageIndex(0);
  C->Tabs()->Tabs(2)->SetImageIndex(0);
  C->Tabs()->Tabs(2)->SetEnabled(false);
  C->SetTabPosition(tpLeft);
  Form->Show();
  Pump();
  TuxPCImageList* L = C->ImageList();
  ASSERT_EQ(L->RotationKind(), 1);
  EXPECT_EQ(L->GetRotatedImageSize().cx, 16);
  TBitmap B;
  B.SetSize(40, 40);
  const int Before = L->CacheRedraws();
  L->Draw(B.Canvas(), 0, 0, 0, clBtnFace, true);
  L->Draw(B.Canvas(), 0, 0, 0, clBtnFace, true);  // from the cache
  EXPECT_EQ(L->CacheRedraws(), Before + 1);
  L->Draw(B.Canvas(), 0, 0, 0, clWhite, true);  // another colour
  EXPECT_EQ(L->CacheRedraws(), Before + 2);
  L->Draw(B.Canvas(), 0, 0, 0, clWhite, false);  // the dimmed image is not the plain one
  EXPECT_EQ(L->CacheRedraws(), Before + 3);
  try {
    L->Draw(B.Canvas(), 0, 0, 7, clWhite, true);
    ADD_FAILURE();
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxPCImageList.Draw: Index (7) must be between 0 and 2");
  }
  C->SetImages(nullptr);
  try {
    L->Draw(B.Canvas(), 0, 0, 0, clWhite, true);
    ADD_FAILURE();
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxPCImageList.Draw: BaseImages is not assigned");
  }
}

struct DrawLog {
  int Tabs = 0, Fonts = 0;
  bool Default = true;
  void DrawTab(TuxCustomTabControl*, TuxTab*, bool& DefaultDraw) {
    ++Tabs;
    DefaultDraw = Default;
  }
  void DrawTabEx(TuxCustomTabControl*, TuxTab* T, TFont* F) {
    ++Fonts;
    if (T->Index() == 0) F->SetColor(clRed);
  }
};

TEST_F(PcTabsTest, OwnerDrawingEvents) {
  auto* C = MakeControl(300, 80, {"Abc", "Def"}, 1);
  C->SetTabWidth(60);
  DrawLog L;
  C->OnDrawTabEx = TuxDrawTabExEvent(&L, &DrawLog::DrawTabEx);
  C->OnDrawTab = TuxDrawTabEvent(&L, &DrawLog::DrawTab);
  Form->Show();
  Pump();
  auto B = Render(C);
  EXPECT_EQ(L.Tabs, 0);  // OwnerDraw is off
  EXPECT_GT(L.Fonts, 0);
  const TRect R = C->VisibleTab(1)->FullRect();
  C->SetOwnerDraw(true);
  L.Default = false;  // the handler draws the tabs itself: nothing of them is drawn
  B = Render(C);
  EXPECT_EQ(L.Tabs, 2);
  EXPECT_EQ(Px(B.get(), R.left + 3, R.top + 5), TColor(0x808000));
  L.Default = true;
  B = Render(C);
  EXPECT_EQ(Px(B.get(), R.left + 3, R.top + 5), Rgb(clBtnFace));
}

// A stand-in visual-style library: styles on, every theme opens, and each
// themed part is drawn as a fill with a dark line along its top edge.
struct FakeTheme {
  static BOOL Active() { return TRUE; }
  static HTHEME Open(HWND, const char16_t*) { return 7; }
  static TkxThemeResult Background(HTHEME, HDC DC, int Part, int, const RECT* R, const RECT*) {
    HBRUSH Fill = CreateSolidBrush(Part == 9 ? RGB(200, 220, 240) : RGB(240, 240, 200));
    FillRect(DC, R, Fill);
    DeleteObject(Fill);
    RECT Top{R->left, R->top, R->right, R->top + 1};
    HBRUSH Line = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(DC, &Top, Line);
    DeleteObject(Line);
    return 0;
  }
  static void Load() {
    kxLoadUxThemeEntries([](const char* Name) -> void* {
      const std::string N = Name;
      if (N == "IsThemeActive") return reinterpret_cast<void*>(&Active);
      if (N == "OpenThemeData") return reinterpret_cast<void*>(&Open);
      if (N == "DrawThemeBackground") return reinterpret_cast<void*>(&Background);
      return nullptr;
    });
  }
};

TEST_F(PcTabsTest, NativeDrawingTurnsThemedTabsToTheirSide) {
  auto* C = MakeControl(200, 100, {"a", "b"}, 0);
  C->LookAndFeel()->SetKind(lfStandard);
  EXPECT_FALSE(C->Painter()->IsNativePainting());  // no library
  C->LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(Std(C)->GetNavigatorButtonThickness(), 20);
  FakeTheme::Load();
  EXPECT_EQ(C->Painter()->GetStyleID(), 1);
  EXPECT_TRUE(C->Painter()->IsNativePainting());
  EXPECT_EQ(Std(C)->GetNavigatorButtonThickness(), 17);
  C->SetStyle(7);  // Flat keeps the themed drawing, with smaller buttons
  EXPECT_TRUE(C->Painter()->IsNativePainting());
  EXPECT_EQ(Std(C)->GetNavigatorButtonThickness(), 15);
  C->SetStyle(0);
  C->SetTabWidth(60);
  C->SetTabPosition(tpBottom);
  Form->Show();
  Pump();
  auto Bmp = Render(C);
  // The theme's top edge line ends at the bottom edge of a bottom tab.
  const TRect R = C->VisibleTab(1)->FullRect();
  EXPECT_EQ(Px(Bmp.get(), (R.left + R.right) / 2, R.bottom - 1), TColor(RGB(255, 0, 0)));
  EXPECT_EQ(Px(Bmp.get(), (R.left + R.right) / 2, R.top + 2), TColor(RGB(240, 240, 200)));
  kxLoadUxThemeEntries(nullptr);
  EXPECT_FALSE(C->Painter()->IsNativePainting());
  EXPECT_EQ(Std(C)->GetNavigatorButtonThickness(), 20);
}

}  // namespace
