// The painted scroll bar: thumb geometry, parameter checks, scroll steps, and
// presses and drags with synthetic input on the headless backend.
#include "framework/uxscrollbar.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/uxthemes.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

struct ScrollBarGeometry : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    uxInitLookAndFeel();
  }
  void TearDown() override { uxDoneLookAndFeel(); }
};

TEST_F(ScrollBarGeometry, ThumbFollowsRangeAndPage) {
  TuxScrollBar b(nullptr);
  b.SetKind(sbVertical);
  b.SetBounds(0, 0, 17, 200);
  int arrow = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), 100);
  int track = 200 - 2 * arrow;
  struct Case {
    int min, max, page, pos;
    int len;     // expected thumb length (0: no thumb)
    int offset;  // from the end of the first arrow
  } cases[] = {
      {0, 99, 10, 0, std::max(8, MulDiv(10, track, 100)), 0},
      {0, 99, 10, 90, std::max(8, MulDiv(10, track, 100)), track - std::max(8, MulDiv(10, track, 100))},
      {0, 99, 0, 50, GetSystemMetrics(SM_CYVTHUMB), MulDiv(track - GetSystemMetrics(SM_CYVTHUMB), 50, 99)},
      {5, 5, 1, 5, 0, 0},  // Max = Min: no thumb
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pos);
    b.SetScrollParams(c.min, c.max, c.pos, c.page);
    TRect t = b.ThumbRect();
    EXPECT_EQ(t.Height() > 0 ? t.Height() : 0, c.len);
    if (c.len) {
      EXPECT_EQ(t.top - arrow, c.offset);
      EXPECT_EQ(b.PageUpRect().bottom, t.top);
      EXPECT_EQ(b.PageDownRect().top, t.bottom);
    } else {
      EXPECT_TRUE(uxIsRectEmpty(b.PageUpRect()));
    }
  }
  // A disabled bar has no thumb; a change of position enables it again.
  b.SetScrollParams(0, 99, 0, 10);
  b.SetEnabled(false);
  b.SetScrollParams(0, 99, 0, 20);
  EXPECT_TRUE(uxIsRectEmpty(b.ThumbRect()));
  b.SetPosition(30);
  EXPECT_TRUE(b.Enabled());
  EXPECT_FALSE(uxIsRectEmpty(b.ThumbRect()));
}

TEST_F(ScrollBarGeometry, TooShortForAThumb) {
  TuxScrollBar b(nullptr);
  int arrow = GetSystemMetrics(SM_CYHSCROLL);
  b.SetBounds(0, 0, 2 * arrow + 6, arrow);  // two arrows and 6 pixels of track
  b.SetScrollParams(0, 99, 0, 10);
  EXPECT_TRUE(uxIsRectEmpty(b.ThumbRect()));
  EXPECT_EQ(b.HitTest({arrow + 3, 5}), shpNone);
  EXPECT_EQ(b.HitTest({1, 5}), shpLineUp);
}

struct Changes {
  int N = 0;
  int Rewrite = 0;
  bool DoRewrite = false;
  void Changed(TObject*) { ++N; }
  void Scrolled(TObject*, TScrollCode, int& P) {
    if (DoRewrite) P = Rewrite;
  }
};

TEST_F(ScrollBarGeometry, ParametersAndSteps) {
  TuxScrollBar b(nullptr);
  Changes ch;
  b.OnChange = TNotifyEvent(&ch, &Changes::Changed);
  b.OnScroll = TuxScrollEvent(&ch, &Changes::Scrolled);
  EXPECT_THROW(b.SetScrollParams(10, 5, 0, 0), EInvalidOperation);
  EXPECT_THROW(b.SetScrollParams(0, 5, 0, 10), EInvalidOperation);
  EXPECT_EQ(b.Max(), 100);  // unchanged by the refused calls
  b.SetPosition(500);
  EXPECT_EQ(b.Position(), 100);
  EXPECT_EQ(ch.N, 1);
  b.SetPosition(100);
  EXPECT_EQ(ch.N, 1);
  b.SetSmallChange(3);
  b.SetLargeChange(20);
  struct Step {
    TScrollCode code;
    int from, to;
  } steps[] = {{scLineUp, 50, 47}, {scLineDown, 50, 53}, {scPageUp, 50, 30}, {scPageDown, 90, 100},
               {scTop, 50, 0},     {scBottom, 50, 100},  {scLineUp, 1, 0},   {scEndScroll, 50, 50}};
  for (const Step& s : steps) {
    b.SetPosition(s.from);
    b.DoScroll(s.code);
    EXPECT_EQ(b.Position(), s.to) << int(s.code);
  }
  // A handler's out-of-range answer is clamped.
  ch.DoRewrite = true;
  ch.Rewrite = 1000;
  b.SetPosition(10);
  b.DoScroll(scLineDown);
  EXPECT_EQ(b.Position(), 100);
  ch.Rewrite = -5;
  b.DoScroll(scLineDown);
  EXPECT_EQ(b.Position(), 0);
}

TEST_F(ScrollBarGeometry, KindSwapsWidthAndHeight) {
  TuxScrollBar b(nullptr);
  int h = b.Height();
  EXPECT_EQ(b.Width(), 121);
  b.SetKind(sbVertical);
  EXPECT_EQ(b.Width(), h);
  EXPECT_EQ(b.Height(), 121);
}

class ScrollBarInput : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TuxScrollBar* Bar = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 300, 300);
    Bar = new TuxScrollBar(Form);
    Bar->SetKind(sbVertical);
    Bar->SetBounds(10, 10, 17, 200);
    Bar->SetParent(Form);
    Bar->SetScrollParams(0, 99, 0, 10);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    delete Form;
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
};

TEST_F(ScrollBarInput, HeldArrowRepeatsAfterADelay) {
  TRect down = Bar->LineDownRect();
  TPoint p = At(Bar, down.left + 3, down.top + 3);
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_EQ(Bar->Position(), 1);  // once at once
  hb->AdvanceClock(399);
  Pump();
  EXPECT_EQ(Bar->Position(), 1);
  hb->AdvanceClock(1);
  Pump();
  EXPECT_EQ(Bar->Position(), 2);
  hb->AdvanceClock(60);
  Pump();
  EXPECT_EQ(Bar->Position(), 3);
  // Away from the arrow the repetition pauses.
  TPoint away = At(Bar, 3, 100);
  hb->MouseMove(away.x, away.y);
  Pump();
  hb->AdvanceClock(300);
  Pump();
  EXPECT_EQ(Bar->Position(), 3);
  hb->MouseUp(away.x, away.y);
  Pump();
  EXPECT_EQ(Bar->State(), shpNone);
}

TEST_F(ScrollBarInput, ThumbDragAndSnapBack) {
  TRect t = Bar->ThumbRect();
  TPoint grab = At(Bar, 8, t.top + 2);
  hb->Drag(grab.x, grab.y, grab.x, grab.y + 80, 4);
  Pump();
  int moved = Bar->Position();
  EXPECT_GT(moved, 40);
  // Far away from the bar without unlimited tracking: back where it was grabbed.
  t = Bar->ThumbRect();
  grab = At(Bar, 8, t.top + 2);
  hb->MouseDown(grab.x, grab.y);
  Pump();
  hb->MouseMove(grab.x + 40, grab.y + 20);
  Pump();
  EXPECT_NE(Bar->Position(), moved);
  hb->MouseMove(grab.x + 400, grab.y + 20);
  Pump();
  EXPECT_EQ(Bar->Position(), moved);
  hb->MouseUp(grab.x + 400, grab.y + 20);
  Pump();
}

TEST_F(ScrollBarGeometry, RangesThatWouldDivideByZeroOrOverflow) {
  TuxScrollBar b(nullptr);
  b.SetKind(sbVertical);
  b.SetBounds(0, 0, 17, 200);
  int arrow = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), 100);
  int track = 200 - 2 * arrow;
  int sysThumb = GetSystemMetrics(SM_CYVTHUMB);
  struct Case {
    const char* name;
    int min, max, page, pos;
    int len, offset;
  } cases[] = {
      // The page is the whole range: nothing to move, the thumb fills the track.
      {"page equals the range", 1, 10, 10, 5, track, 0},
      {"page beyond the range (negative span)", 5, 10, 8, 7, track, 0},
      {"widest range, no page, middle", INT_MIN, INT_MAX, 0, 0, sysThumb, (track - sysThumb + 1) / 2},
      {"widest range, no page, end", INT_MIN, INT_MAX, 0, INT_MAX, sysThumb, track - sysThumb},
      {"widest range with a page, start", INT_MIN, INT_MAX, INT_MAX, INT_MIN, track / 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    b.SetScrollParams(c.min, c.max, c.pos, c.page);
    TRect t = b.ThumbRect();
    EXPECT_EQ(t.Height(), c.len);
    EXPECT_EQ(t.top - arrow, c.offset);
    EXPECT_GE(t.top, arrow);
    EXPECT_LE(t.bottom, 200 - arrow);
  }
}

// Steps near the ends of the widest range stop at the ends instead of wrapping
// around to the other end.
TEST_F(ScrollBarGeometry, StepsStopAtTheEndsOfTheWidestRange) {
  TuxScrollBar b(nullptr);
  b.SetScrollParams(INT_MIN, INT_MAX, 0, 0);
  b.SetSmallChange(3);
  b.SetLargeChange(32767);
  struct Step {
    TScrollCode code;
    int from, to;
  } steps[] = {
      {scLineDown, INT_MAX - 1, INT_MAX}, {scLineDown, INT_MAX, INT_MAX}, {scPageDown, INT_MAX - 5, INT_MAX},
      {scLineUp, INT_MIN + 1, INT_MIN},   {scLineUp, INT_MIN, INT_MIN},   {scPageUp, INT_MIN + 5, INT_MIN},
      {scPageDown, 0, 32767},             {scPageUp, 0, -32767},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << int(s.code) << " from " << s.from);
    b.SetPosition(s.from);
    b.DoScroll(s.code);
    EXPECT_EQ(b.Position(), s.to);
  }
}

TEST_F(ScrollBarInput, ThumbDragOverTheWidestRange) {
  Bar->SetScrollParams(INT_MIN, INT_MAX, INT_MIN, 0);
  TRect t = Bar->ThumbRect();
  TPoint grab = At(Bar, 8, t.top + 2);
  int travel = Bar->LineDownRect().top - t.bottom;
  hb->Drag(grab.x, grab.y, grab.x, grab.y + travel / 2, 4);
  Pump();
  int half = Bar->Position();
  EXPECT_GT(half, INT_MIN / 4);
  EXPECT_LT(half, INT_MAX / 4);
  t = Bar->ThumbRect();
  grab = At(Bar, 8, t.top + 2);
  hb->Drag(grab.x, grab.y, grab.x, grab.y + (Bar->LineDownRect().top - t.bottom), 4);
  Pump();
  EXPECT_EQ(Bar->Position(), INT_MAX);
}

// Counts its paints, so that a repaint after a theme change shows.
class TCountingBar : public TuxScrollBar {
 public:
  using TuxScrollBar::TuxScrollBar;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TuxScrollBar::Paint();
  }
};

TEST_F(ScrollBarInput, ThemeChangeRepaintsAndFreedBarsLeaveTheList) {
  auto* b = new TCountingBar(Form);
  b->SetBounds(50, 10, 150, 17);
  b->SetParent(Form);
  auto* gone = new TCountingBar(Form);
  gone->SetParent(Form);
  Pump();
  delete gone;  // must not be called any more
  int before = b->Paints;
  kxThemeChanged();
  Pump();
  EXPECT_GT(b->Paints, before);
}

// The minimum thumb length: 8 with every classic painter; with the native
// painter and a scroll-bar theme, the theme's gripper part measured along the
// bar (the larger of its minimum size and its true size plus 4).
struct ThemedThumbSize : ScrollBarGeometry {
  static inline SIZE MinSize{}, TrueSize{};
  static inline std::vector<int> Parts;
  static TkxThemeResult PartSize(HTHEME, HDC, int Part, int, const RECT*, int Kind, SIZE* Size) {
    Parts.push_back(Part);
    *Size = Kind == 0 ? MinSize : TrueSize;  // 0: the minimum size, 1: the true size
    return 0;
  }
  void Load() {
    static const auto Active = +[]() -> BOOL { return TRUE; };
    static const auto Open = +[](HWND, const char16_t*) -> HTHEME { return 7; };
    kxLoadUxThemeEntries([](const char* Name) -> void* {
      const std::string N = Name;
      if (N == "IsThemeActive") return reinterpret_cast<void*>(Active);
      if (N == "OpenThemeData") return reinterpret_cast<void*>(Open);
      if (N == "GetThemePartSize") return reinterpret_cast<void*>(&PartSize);
      return nullptr;
    });
  }
  void TearDown() override {
    kxLoadUxThemeEntries(nullptr);
    ScrollBarGeometry::TearDown();
  }
};

TEST_F(ThemedThumbSize, NativePainterMeasuresTheGripper) {
  struct Case {
    const char* name;
    TScrollBarKind kind;
    SIZE min, size;
    int part, expected;
  } cases[] = {
      {"horizontal, true size plus 4", sbHorizontal, {3, 30}, {9, 40}, 9, 13},
      {"horizontal, minimum size larger", sbHorizontal, {20, 1}, {9, 40}, 9, 20},
      {"vertical, along the height", sbVertical, {30, 5}, {40, 11}, 8, 15},
      {"not above 7 stays 8", sbHorizontal, {2, 30}, {3, 30}, 9, 8},
  };
  Load();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MinSize = c.min;
    TrueSize = c.size;
    Parts.clear();
    TuxScrollBar b(nullptr);
    b.SetKind(c.kind);
    EXPECT_EQ(b.ThumbnailSize(), 8);  // a classic painter until native style is asked for
    b.LookAndFeel()->SetNativeStyle(true);
    EXPECT_EQ(b.ThumbnailSize(), c.expected);
    ASSERT_FALSE(Parts.empty());
    EXPECT_EQ(Parts.back(), c.part);
    // Back to a classic painter: the fixed minimum again.
    b.LookAndFeel()->SetNativeStyle(false);
    EXPECT_EQ(b.ThumbnailSize(), 8);
  }
}

TEST_F(ThemedThumbSize, ThemeSwitchedOffGivesTheFixedMinimum) {
  MinSize = {30, 30};
  TrueSize = {30, 30};
  Load();
  TuxScrollBar b(nullptr);
  b.LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(b.ThumbnailSize(), 34);
  kxLoadUxThemeEntries(nullptr);
  kxThemeChanged();
  EXPECT_EQ(b.ThumbnailSize(), 8);
}

}  // namespace
