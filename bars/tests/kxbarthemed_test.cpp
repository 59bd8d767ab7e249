// The native-theme style: chosen only while visual styles are there, its
// sizes taken from the theme's parts, its buttons, grips, rows, MDI buttons
// and drop-down frames drawn with the theme's parts and states; the Office
// 2003 style borrows its size grips, drop-down backgrounds and calendar
// buttons while styles are on.
#include "bars/tests/kxbartest.h"
#include "framework/uxthemes.h"
#include "platform/gdi/tests/refimage.h"

namespace {

// A stand-in visual-style library: styles on, every class opens as its own
// handle, and a part is drawn as one solid colour that names the class, the
// part and the state, so that a pixel tells which part was drawn.
struct TFakeBarTheme {
  static int ClassId(const char16_t* Name) {
    static const char* const names[] = {"ToolBar", "Rebar", "Window", "ComboBox", "Edit",
                                        "Spin",    "Progress", "Status", "ScrollBar"};
    std::string n;
    for (const char16_t* p = Name; p && *p; ++p) n += char(*p);
    for (int i = 0; i < 9; ++i)
      if (n == names[i]) return i + 1;
    return 12;
  }
  static COLORREF PartColor(int Class, int Part, int State) {
    return RGB(BYTE(100 + Class * 16), BYTE(60 + Part * 8), BYTE(15 + State * 40));
  }
  static BOOL Active() { return TRUE; }
  static HTHEME Open(HWND, const char16_t* Name) { return HTHEME(ClassId(Name)); }
  static TkxThemeResult Close(HTHEME) { return 0; }
  static TkxThemeResult Background(HTHEME T, HDC DC, int Part, int State, const RECT* R, const RECT*) {
    HBRUSH b = CreateSolidBrush(PartColor(int(T), Part, State));
    FillRect(DC, R, b);
    DeleteObject(b);
    return 0;
  }
  static TkxThemeResult PartSize(HTHEME T, HDC, int Part, int, const RECT*, int Kind, SIZE* S) {
    struct Row {
      int Class, Part, Kind, Cx, Cy;
    } rows[] = {{1, 5, 1, 8, 8},   {1, 6, 1, 8, 6},   {2, 1, 1, 5, 10}, {3, 19, 1, 13, 13}, {4, 1, 1, 15, 15},
                {8, 3, 0, 12, 12}, {8, 3, 1, 16, 16}, {9, 10, 1, 14, 14}, {7, 3, 0, 8, 10}};
    for (const Row& r : rows)
      if (r.Class == int(T) && r.Part == Part && r.Kind == Kind) {
        *S = SIZE{r.Cx, r.Cy};
        return 0;
      }
    return kxThemeFailed;
  }
  static TkxThemeResult Content(HTHEME, HDC, int, int, const RECT* Bounds, RECT* Out) {
    *Out = RECT{Bounds->left + 2, Bounds->top + 3, Bounds->right - 2, Bounds->bottom - 3};
    return 0;
  }
  static TkxThemeResult Color(HTHEME T, int Part, int, int, COLORREF* C) {
    if (T == 1 && Part == 0) *C = RGB(230, 230, 210);
    else if (T == 7 && Part == 3) *C = RGB(0, 200, 0);
    else return kxThemeFailed;
    return 0;
  }
  static BOOL Transparent(HTHEME, int, int) { return FALSE; }
  static void Load() {
    kxLoadUxThemeEntries([](const char* Name) -> void* {
      const std::string n = Name;
      if (n == "IsThemeActive") return reinterpret_cast<void*>(&Active);
      if (n == "OpenThemeData") return reinterpret_cast<void*>(&Open);
      if (n == "CloseThemeData") return reinterpret_cast<void*>(&Close);
      if (n == "DrawThemeBackground") return reinterpret_cast<void*>(&Background);
      if (n == "GetThemePartSize") return reinterpret_cast<void*>(&PartSize);
      if (n == "GetThemeBackgroundContentRect") return reinterpret_cast<void*>(&Content);
      if (n == "GetThemeColor") return reinterpret_cast<void*>(&Color);
      if (n == "IsThemeBackgroundPartiallyTransparent") return reinterpret_cast<void*>(&Transparent);
      return nullptr;
    });
    kxThemeChanged();
  }
  static void Unload() {
    kxLoadUxThemeEntries(nullptr);
    kxThemeChanged();
  }
};

enum { kToolBar = 1, kRebar = 2, kWindow = 3, kComboBox = 4, kStatus = 8 };

std::uint32_t ThemedPixel(int Class, int Part, int State) {
  COLORREF c = TFakeBarTheme::PartColor(Class, Part, State);
  return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

std::uint32_t RgbPixel(TColor C) {
  COLORREF c = ColorToRGB(C);
  return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// A memory DC over a bitmap, for calling painter operations directly.
struct TThemedCanvas {
  TBitmap Bitmap;
  explicit TThemedCanvas(int W, int H) {
    Bitmap.SetSize(W, H);
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->FillRect(TRect{0, 0, W, H});
  }
  HDC DC() { return Bitmap.Canvas()->Handle(); }
  std::uint32_t At(int X, int Y) { return RgbPixel(Bitmap.Canvas()->Pixels(X, Y)); }
};

}  // namespace

class BarsThemedTest : public BarsFormTest {
 protected:
  void TearDown() override {
    TFakeBarTheme::Unload();
    BarsFormTest::TearDown();
  }
  TkxBarItemControlPainterClass XP() { return TkxBarItemControlXPPainter::Instance(); }
  void UseThemedStyle() {
    TFakeBarTheme::Load();
    F->BarManager1->SetStyle(bmsXP);
    F->Edit1->SetFocus();
    Pump();
  }
  std::uint32_t ScreenAt(int X, int Y) { return hb->ScreenPixel(X, Y) & 0xFFFFFF; }
};

TEST_F(BarsThemedTest, TheStyleIsChosenOnlyWithVisualStyles) {
  TkxBarManager* m = F->BarManager1;
  m->SetStyle(bmsXP);
  EXPECT_FALSE(m->VisualStylesAvailable());
  EXPECT_EQ(m->PainterClass(), TkxBarItemControlEnhancedPainter::Instance());
  TFakeBarTheme::Load();
  EXPECT_TRUE(m->VisualStylesAvailable());
  EXPECT_EQ(m->PainterClass(), XP());
  TFakeBarTheme::Unload();
  EXPECT_EQ(m->PainterClass(), TkxBarItemControlEnhancedPainter::Instance());
}

TEST_F(BarsThemedTest, SizesComeFromTheThemesParts) {
  UseThemedStyle();
  TkxBarManager* m = F->BarManager1;
  TkxBarControl* tools = ControlOf(F, 1);
  HDC dc = GetDC(nullptr);
  TSize caption, grip;
  XP()->GetCaptionButtonSize(caption);
  XP()->GetSizeGripSize(m, grip);
  struct Case {
    const char* What;
    int Got, Want;
  } cases[] = {
      {"grip width (rebar gripper)", XP()->GetGripWidth(), 5},
      {"grip area: offset 0 + width + 2", XP()->GetGripAreaSize(), 7},
      {"manager's grip area", m->GripAreaSize(), 7},
      {"bar separator (toolbar separator width)", XP()->GetBarSeparatorSize(tools, dc), 8},
      {"bar separator line offset", XP()->GetBarSeparatorLineOffset(tools, dc), 3},
      {"menu separator (vertical separator height)", XP()->GetMenuSeparatorSize(), 6},
      {"combo button (combo drop-down button)", XP()->CalcComboButtonWidth(tools, dc, 6), 15},
      {"text row margin: edit content margins + 5", XP()->GetTextRowMargin(dc), 9},
      {"button height margin", XP()->GetButtonHeightMargin(), 6},
      {"button width margin", XP()->GetButtonWidthMargin(), 6},
      {"caption button (small close)", int(caption.cx), 13},
      {"size grip (status gripper, minimum size)", int(grip.cx), 12},
      {"drop-down bar: close + 4 against size box + 2 + 1", XP()->GetDropDownBarHeight(3), 17},
      {"progress block: chunk minimum height - content margins", XP()->GetProgressBarBlockSize(nullptr), 6},
  };
  ReleaseDC(nullptr, dc);
  for (const Case& c : cases) EXPECT_EQ(c.Got, c.Want) << c.What;
  EXPECT_EQ(XP()->GetProgressBarColor(), TColor(RGB(0, 200, 0)));
  EXPECT_EQ(tools->ComboButtonWidth(), 15);
}

TEST_F(BarsThemedTest, ToolbarButtonsShowTheThemedStates) {
  UseThemedStyle();
  auto centreOf = [&](TkxBarItem* Item) {
    TRect r = LinkScreenRect(ToolLink(Item));
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  auto cornerOf = [&](TkxBarItem* Item) {
    TRect r = LinkScreenRect(ToolLink(Item));
    return ScreenAt(r.left + 1, r.top + 1);
  };
  // a checked button shows the checked state, a disabled one the disabled state
  EXPECT_EQ(cornerOf(F->OfficeStyle), ThemedPixel(kToolBar, 1, 5));
  EXPECT_EQ(cornerOf(F->PasteButton), ThemedPixel(kToolBar, 1, 4));
  EXPECT_EQ(cornerOf(F->CopyButton), ThemedPixel(kToolBar, 1, 1));
  // hot
  TPoint copy = centreOf(F->CopyButton);
  hb->MouseMove(copy.x, copy.y);
  Pump();
  EXPECT_EQ(cornerOf(F->CopyButton), ThemedPixel(kToolBar, 1, 2));
  // checked wins over hot, pressed over checked
  TPoint office = centreOf(F->OfficeStyle);
  hb->MouseMove(office.x, office.y);
  Pump();
  EXPECT_EQ(cornerOf(F->OfficeStyle), ThemedPixel(kToolBar, 1, 5));
  hb->MouseDown(office.x, office.y);
  Pump();
  EXPECT_EQ(cornerOf(F->OfficeStyle), ThemedPixel(kToolBar, 1, 3));
  hb->MouseUp(office.x, office.y);
  Pump();
}

TEST_F(BarsThemedTest, AMainMenuItemIsAFlatHighlightWhoseCaptionStaysPut) {
  UseThemedStyle();
  TkxBarItemLink* file = LinkOf(MainMenu->ItemLinks(), F->FileMenu);
  TRect r = LinkScreenRect(file);
  EXPECT_TRUE(XP()->SuppressesPressedOffset(file->Control()));
  EXPECT_FALSE(XP()->SuppressesPressedOffset(ToolLink(F->CopyButton)->Control()));
  TRawImage idle = Screen(r);
  hb->MouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pump();
  EXPECT_EQ(ScreenAt(r.left + 1, r.top + 1), RgbPixel(clHighlight));
  ClickLink(file);
  ASSERT_NE(OpenMenu(MainMenu), nullptr);
  TRawImage open = Screen(r);
  EXPECT_EQ(open.At(1, 1) & 0xFFFFFF, RgbPixel(clHighlight));
  // the caption's ink is where it was, not one pixel right and down
  EXPECT_EQ(idle.At(1, 1) & 0xFFFFFF, ThemedPixel(kToolBar, 1, 1));
  auto mismatches = [&](int D) {
    int n = 0;
    for (int y = 1; y + 2 < idle.Height; ++y)
      for (int x = 1; x + 2 < idle.Width; ++x)
        n += ((idle.At(x, y) & 0xFFFFFF) != ThemedPixel(kToolBar, 1, 1)) !=
             ((open.At(x + D, y + D) & 0xFFFFFF) != RgbPixel(clHighlight));
    return n;
  };
  EXPECT_LT(mismatches(0) * 10, mismatches(1));
  hb->Key(VK_ESCAPE);
  hb->Key(VK_ESCAPE);
  Pump();
}

TEST_F(BarsThemedTest, ADockedBarHasNoBorderOnlyTheThemedGripper) {
  UseThemedStyle();
  TkxBarControl* tools = ControlOf(F, 1);
  TRect w = tools->GetWindowRect();
  // the grip: 2 pixels in, the gripper's width wide, across the bar
  EXPECT_EQ(ScreenAt(w.left + 2, w.top + 4), ThemedPixel(kRebar, 1, 1));
  EXPECT_EQ(ScreenAt(w.left + 6, w.bottom - 3), ThemedPixel(kRebar, 1, 1));
  EXPECT_NE(ScreenAt(w.left + 7, w.top + 4), ThemedPixel(kRebar, 1, 1));
  // no border: the dock's themed background up to the window's edge
  EXPECT_EQ(ScreenAt(w.right - 1, w.top), ThemedPixel(kRebar, 0, 1));
  EXPECT_EQ(ScreenAt(w.left, w.bottom - 1), ThemedPixel(kRebar, 0, 1));
}

TEST_F(BarsThemedTest, RowEdgesOfADockSkipTheOuterLinesAndBorderlessRows) {
  UseThemedStyle();
  TkxBar* second = F->BarManager1->Bars()->Add();
  second->SetCaption("second");
  second->ItemLinks()->Add()->SetItem(F->NewItem);
  second->SetRow(1);
  second->SetOneOnRow(true);
  second->SetDockingStyle(dsTop);
  second->SetVisible(true);
  Pump();
  TkxDockControl* dock = ControlOf(F, 1)->DockControl();
  ASSERT_NE(dock, nullptr);
  ASSERT_EQ(dock->RowCount(), 2);
  auto edges = [&] {
    dock->FreeBackgroundCache();
    TRect c = dock->ClientRect();
    TThemedCanvas canvas(c.Width(), c.Height());
    XP()->FillDockBackground(dock, canvas.DC(), clBtnFace, nullptr, c, c);
    struct TEdges {
      std::uint32_t Top0, Bottom0, Top1, Bottom1;
    } e;
    TRect r0 = dock->GetRowRect(0), r1 = dock->GetRowRect(1);
    e.Top0 = canvas.At(10, r0.top);
    e.Bottom0 = canvas.At(10, r0.bottom - 1);
    e.Top1 = canvas.At(10, r1.top);
    e.Bottom1 = canvas.At(10, r1.bottom - 1);
    return e;
  };
  std::uint32_t bk = ThemedPixel(kRebar, 0, 1), light = RgbPixel(clBtnHighlight), shadow = RgbPixel(clBtnShadow);
  auto e = edges();
  EXPECT_EQ(e.Top0, bk);  // no highlight on the first row of a top dock
  EXPECT_EQ(e.Bottom0, shadow);
  EXPECT_EQ(e.Top1, light);
  EXPECT_EQ(e.Bottom1, bk);  // no shadow on the last row
  // a row of borderless bars gets neither line
  second->SetBorderStyle(bbsNone);
  Pump();
  e = edges();
  EXPECT_EQ(e.Top1, bk);
  EXPECT_EQ(e.Bottom1, bk);
  EXPECT_EQ(e.Bottom0, shadow);
}

TEST_F(BarsThemedTest, MDIAndCloseButtonsTakeTheirThemedStates) {
  UseThemedStyle();
  TkxBarControl* tools = ControlOf(F, 1);
  TThemedCanvas canvas(20, 20);
  TRect r{2, 2, 18, 18};
  struct Case {
    int Kind;
    bool Pressed, Hot;
    int Part, State;
  } cases[] = {{0, false, false, 16, 1}, {1, false, true, 22, 2}, {2, true, true, 20, 3},
               // pressed while the mouse is outside: normal
               {2, true, false, 20, 1}};
  for (const Case& c : cases) {
    XP()->DrawMDIButton(tools, c.Kind, r, canvas.DC(), c.Pressed, c.Hot);
    EXPECT_EQ(canvas.At(9, 9), ThemedPixel(kWindow, c.Part, c.State)) << c.Kind << c.Pressed << c.Hot;
  }
}

TEST_F(BarsThemedTest, ANonSizableDropDownHasOnlyTheShadowFrame) {
  UseThemedStyle();
  TForm* popup = NewObject<TForm>(Application);
  popup->SetBorderStyle(bsNone);
  popup->SetBounds(300, 200, 80, 60);
  popup->Show();
  Pump();
  TRect grip{1, 1, 2, 2}, close{1, 1, 2, 2};
  XP()->DrawDropDownNonClient(nullptr, popup->Handle(), false, grip, close, 3, false, false);
  EXPECT_TRUE(grip.Width() == 0 && grip.Height() == 0);
  EXPECT_TRUE(close.Width() == 0 && close.Height() == 0);
  HDC dc = GetWindowDC(popup->Handle());
  EXPECT_EQ(RgbPixel(TColor(GetPixel(dc, 0, 0))), RgbPixel(clBtnShadow));
  EXPECT_EQ(RgbPixel(TColor(GetPixel(dc, 79, 59))), RgbPixel(clBtnShadow));
  EXPECT_NE(RgbPixel(TColor(GetPixel(dc, 1, 1))), RgbPixel(clBtnShadow));
  ReleaseDC(popup->Handle(), dc);
  // sizable: a bar of the themed height with the themed size box in the
  // bottom-right corner and the themed close button at the left
  XP()->DrawDropDownNonClient(nullptr, popup->Handle(), true, grip, close, 3, false, false);
  dc = GetWindowDC(popup->Handle());
  EXPECT_EQ(RgbPixel(TColor(GetPixel(dc, 78 - 7, 58 - 7))), ThemedPixel(9, 10, 1));
  EXPECT_EQ(RgbPixel(TColor(GetPixel(dc, 1 + 6, 58 - 8))), ThemedPixel(kWindow, 19, 1));
  ReleaseDC(popup->Handle(), dc);
  EXPECT_EQ(close.left, 300 + 1);
  EXPECT_EQ(grip.right, 300 + 80 - 1 + 2);
}

TEST_F(BarsThemedTest, OfficeStyleBorrowsThemedGripsBackgroundsAndCalendarButtons) {
  TkxBarManager* m = F->BarManager1;
  m->SetStyle(bmsOffice11);
  TkxBarItemControlPainterClass office = TkxBarItemControlOffice11Painter::Instance();
  TSize classic, themed;
  office->GetSizeGripSize(m, classic);
  EXPECT_EQ(classic.cx, GetSystemMetrics(SM_CXHSCROLL));
  TFakeBarTheme::Load();
  ASSERT_TRUE(m->VisualStylesAvailable());
  EXPECT_EQ(m->PainterClass(), office);
  office->GetSizeGripSize(m, themed);
  EXPECT_EQ(themed.cx, 12);
  TThemedCanvas canvas(40, 30);
  office->DrawCalendarButton(canvas.DC(), true, "1", TRect{0, 0, 20, 20});
  EXPECT_EQ(canvas.At(1, 1), ThemedPixel(kToolBar, 1, 3));
  TkxBarControl* tools = ControlOf(F, 1);
  tools->FreeBackgroundBitmap();
  office->FillDropDownBackground(tools, canvas.DC(), clBtnFace, nullptr, TRect{20, 0, 40, 30}, TRect{0, 0, 20, 30});
  EXPECT_EQ(canvas.At(25, 5), ThemedPixel(kStatus, 0, 0));
  tools->FreeBackgroundBitmap();
  TFakeBarTheme::Unload();
  office->DrawCalendarButton(canvas.DC(), false, "1", TRect{0, 0, 20, 20});
  EXPECT_EQ(canvas.At(0, 0), RgbPixel(clBtnShadow));  // the flat frame
}

// The bars drawn with the stand-in theme: every themed part is one block of
// its own colour, so the picture shows where each part goes and how large it is.
TEST_F(BarsThemedTest, TheBarsAsDrawnWithTheTheme) {
  UseThemedStyle();
  TPoint p = F->ClientToScreen({0, 0});
  EXPECT_TRUE(MatchesReference(Screen(TRect{p.x, p.y, p.x + 470, p.y + 60}), "bars/tests/ref", "bars_xp"));
  hb->Key(VK_F10);
  Pump();
  hb->Key(VK_RIGHT);
  Pump();
  hb->Key(VK_DOWN);
  Pump();
  ASSERT_NE(OpenMenu(MainMenu), nullptr);
  EXPECT_TRUE(MatchesReference(Screen(TRect{p.x, p.y, p.x + 200, p.y + 120}), "bars/tests/ref", "menu_xp"));
  hb->Key(VK_ESCAPE);
  hb->Key(VK_ESCAPE);
  Pump();
}
