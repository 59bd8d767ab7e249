// The framework's cursors and panning markers as the program ships them in
// resources/: each loads through the platform's loaders, the start-up
// registration finds every cursor under its number, and the panning marker
// window takes the size of the shipped bitmap.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/tests/uxtestresources.h"
#include "framework/uxcontrols.h"
#include "framework/uxwinutils.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/controls/timers.h"

namespace {

// Registers the cursor files of the source tree's resources/cursors folder,
// as the program's start-up does with the embedded copies.
void RegisterSourceCursors() {
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  static bool Done = false;
  if (Done) return;
  Done = true;
  const std::filesystem::path Dir = std::filesystem::path(PV_SOURCE_DIR) / "resources" / "cursors";
  for (const auto& E : std::filesystem::directory_iterator(Dir)) {
    if (E.path().extension() != ".cur") continue;
    std::ifstream In(E.path(), std::ios::binary);
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    RegisterResource(RT_CURSOR, E.path().stem().string(), Store.back().data(), Store.back().size());
  }
}

constexpr int kMarkerSize = 29;

class UxResourcesTest : public CtlTest {
 protected:
  void SetUp() override {
    CtlTest::SetUp();
    RegisterSourceBitmaps();
    RegisterSourceCursors();
  }
};

// Every cursor: registered under its number at start-up, 32x32, black and
// white on transparent, and its hot spot (the arrow's tip, or the centre of a
// centred shape) on a drawn pixel.
TEST_F(UxResourcesTest, CursorsLoadWithTheirHotSpots) {
  enum THot { Tip, Centre };
  struct Case {
    TCursor Index;
    const char* Name;
    THot Hot;
  } Cases[] = {
      {crUxDragCopy, "UX_DRAGCOPYCURSOR", Tip},     {crUxFullScroll, "UX_FULLSCROLLCURSOR", Centre},
      {crUxHorScroll, "UX_HORSCROLLCURSOR", Centre}, {crUxVerScroll, "UX_VERSCROLLCURSOR", Centre},
      {crUxUpScroll, "UX_UPSCROLLCURSOR", Centre},   {crUxRightScroll, "UX_RIGHTSCROLLCURSOR", Centre},
      {crUxDownScroll, "UX_DOWNSCROLLCURSOR", Centre}, {crUxLeftScroll, "UX_LEFTSCROLLCURSOR", Centre},
      {crUxRemove, "UX_REMOVECURSOR", Tip},          {crUxVertSize, "UX_VERTSIZECURSOR", Centre},
      {crUxHorzSize, "UX_HORZSIZECURSOR", Centre},   {crUxMultiDrag, "UX_MULTIDRAGCURSOR", Tip},
      {crUxNoDrop, "UX_NODROPCURSOR", Centre},       {crUxDrag, "UX_DRAGCURSOR", Tip},
  };
  uxInitWinUtils();
  std::set<std::vector<std::uint32_t>> Pictures;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HCURSOR H = LoadCursorA(nullptr, C.Name);
    ASSERT_NE(H, nullptr);
    EXPECT_EQ(Screen->Cursors(C.Index), H);
    std::vector<std::uint32_t> Px;
    int W = 0, Ht = 0;
    POINT Hot{-1, -1};
    ASSERT_TRUE(PvCursorImage(H, Px, &W, &Ht, &Hot));
    ASSERT_EQ(W, 32);
    ASSERT_EQ(Ht, 32);
    ASSERT_TRUE(Hot.x >= 0 && Hot.x < 32 && Hot.y >= 0 && Hot.y < 32) << Hot.x << "," << Hot.y;
    if (C.Hot == Tip) {
      EXPECT_EQ(Hot.x, 0);
      EXPECT_EQ(Hot.y, 0);
    } else {
      EXPECT_TRUE(Hot.x >= 14 && Hot.x <= 16 && Hot.y >= 14 && Hot.y <= 16) << Hot.x << "," << Hot.y;
    }
    EXPECT_EQ(Px[std::size_t(Hot.y) * 32 + Hot.x] >> 24, 0xFFu) << "hot spot on a transparent pixel";
    int Black = 0, White = 0, Clear = 0, Other = 0;
    for (std::uint32_t P : Px) {
      if (P >> 24 == 0) ++Clear;
      else if (P == 0xFF000000u) ++Black;
      else if (P == 0xFFFFFFFFu) ++White;
      else ++Other;
    }
    EXPECT_EQ(Other, 0);
    EXPECT_GT(Black, 0);
    EXPECT_GT(White, 0);
    EXPECT_GT(Clear, 32 * 32 / 2);
    EXPECT_TRUE(Pictures.insert(Px).second) << "the same picture as another cursor";
  }
}

// The markers: a grey disc with a black centre dot and black arrow heads
// towards exactly the directions that scroll.
TEST_F(UxResourcesTest, PanningMarkersShowTheirDirections) {
  struct Case {
    const char* Name;
    bool Up, Down, Left, Right;
  } Cases[] = {
      {"UX_FULLSCROLLBITMAP", true, true, true, true},
      {"UX_HORSCROLLBITMAP", false, false, true, true},
      {"UX_VERSCROLLBITMAP", true, true, false, false},
  };
  const int M = kMarkerSize / 2;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap B;
    B.LoadFromResourceName(C.Name);
    ASSERT_EQ(B.Width(), kMarkerSize);
    ASSERT_EQ(B.Height(), kMarkerSize);
    auto At = [&](int X, int Y) { return B.ScanLine(Y)[X] & 0xFFFFFF; };
    const std::uint32_t Black = 0, Grey = 0xC0C0C0;
    EXPECT_EQ(At(M, M), Black);
    EXPECT_EQ(At(M, M + 4), Grey);  // between the dot and the lower arrow
    struct Probe {
      bool Shown;
      int X, Y;
    } Probes[] = {{C.Up, M, 5}, {C.Down, M, kMarkerSize - 6}, {C.Left, 5, M}, {C.Right, kMarkerSize - 6, M}};
    for (const Probe& P : Probes) EXPECT_EQ(At(P.X, P.Y), P.Shown ? Black : Grey) << P.X << "," << P.Y;
  }
}

// A control with both scroll bars, panned with the middle button.
class TPannedBox : public TuxControl {
 public:
  explicit TPannedBox(TComponent* AOwner) : TuxControl(AOwner) {}
  void InitScrollBarsParameters() override {
    SetScrollBarInfo(sbHorizontal, 0, 999, 1, 100, 0, true, true);
    SetScrollBarInfo(sbVertical, 0, 999, 1, 100, 0, true, true);
  }
  void Scroll(TScrollBarKind, TScrollCode, int&) override {}
};

// Runs an action from a timer, which the panning mode's loop dispatches.
struct TLater {
  TTimer* Timer;
  std::function<void()> Action;
  TLater(TComponent* Owner, Cardinal Ms, std::function<void()> A) : Action(std::move(A)) {
    Timer = new TTimer(Owner);
    Timer->SetInterval(Ms);
    Timer->SetOnTimer(TNotifyEvent(this, &TLater::Fire));
  }
  void Fire(TObject*) {
    Timer->SetEnabled(false);
    Action();
  }
};

// The marker over the press point is the shipped bitmap's size (not the drawn
// stand-in's) and centred on the press point.
TEST_F(UxResourcesTest, PanningMarkerTakesTheBitmapsSize) {
  uxInitLookAndFeel();
  auto* Form = new TForm(nullptr, 0);
  Form->SetBounds(100, 100, 500, 400);
  auto* C = NewObject<TPannedBox>(Form);
  C->SetBounds(10, 10, 300, 200);
  C->SetParent(Form);
  Form->Show();
  Pump();
  C->UpdateScrollBars();
  ASSERT_TRUE(C->IsHScrollBarVisible() && C->IsVScrollBarVisible());
  const TPoint A = At(C, 100, 80);
  RECT Marker{};
  HWND MarkerWnd = nullptr;
  TLater Look(Form, 100, [&] {
    POINT P{A.x, A.y};
    MarkerWnd = WindowFromPoint(P);
    if (MarkerWnd && MarkerWnd != C->Handle()) GetWindowRect(MarkerWnd, &Marker);
    hb->Key(VK_ESCAPE);
  });
  hb->MouseDown(A.x, A.y, HeadlessBackend::Middle);
  Pump();
  EXPECT_FALSE(C->ScrollingContent());
  ASSERT_NE(MarkerWnd, nullptr);
  ASSERT_NE(MarkerWnd, C->Handle());
  EXPECT_EQ(Marker.right - Marker.left, kMarkerSize);
  EXPECT_EQ(Marker.bottom - Marker.top, kMarkerSize);
  EXPECT_EQ(Marker.left, A.x - kMarkerSize / 2);
  EXPECT_EQ(Marker.top, A.y - kMarkerSize / 2);
  hb->MouseUp(A.x, A.y, HeadlessBackend::Middle);
  Pump();
  delete Form;
  uxDoneLookAndFeel();
}

}  // namespace
