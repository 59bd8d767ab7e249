// Drop shadows: the strips a window gets for its shape, their opacity and
// faded ends on layered windows, and the solid rendering at 8 bits per pixel.
#include "bars/kxbarshadow.h"
#include "bars/tests/kxbartest.h"

namespace {

struct TShadowStrip {
  int Kind, Corners;
  TRect R;
  bool operator==(const TShadowStrip&) const = default;
};

std::vector<TShadowStrip> StripsOf(const TkxBarShadow& S) {
  std::vector<TShadowStrip> v;
  for (int i = 0; i < S.PartCount(); ++i) v.push_back({S.Part(i)->Kind(), S.Part(i)->Corners(), S.PartRect(i)});
  return v;
}

}  // namespace

class BarsShadowTest : public BarsFormTest {
 protected:
  void TearDown() override {
    kxBarSetScreenBitsPerPixel(32);
    BarsFormTest::TearDown();
  }
};

TEST_F(BarsShadowTest, StripsFollowTheShapeOfTheWindowAndItsItem) {
  TkxBarShadow shadow(ControlOf(F, 1));
  ASSERT_EQ(TkxBarShadow::GetShadowDepth(), 4);
  struct TCase {
    const char* What;
    TRect O, W;
    std::vector<TShadowStrip> Want;
  };
  const TRect w{100, 100, 200, 300};
  const std::vector<TCase> cases = {
      {"floating, no item", TRect{}, w, {{0, 3, {104, 300, 204, 304}}, {1, 4, {200, 104, 204, 300}}}},
      {"below a wider button",
       {80, 80, 220, 100},
       w,
       {{1, 4, {220, 84, 224, 100}},
        {0, 3, {104, 300, 204, 304}},
        {0, 1, {84, 100, 100, 104}},
        {0, 2, {200, 100, 224, 104}},
        {1, 0, {200, 100, 204, 300}}}},
      {"above a wider button",  // the same construction with the roles swapped
       {80, 300, 220, 320},
       w,
       {{1, 4, {200, 104, 204, 300}},
        {0, 3, {84, 320, 224, 324}},
        {1, 4, {220, 304, 224, 320}}}},
      {"beside a button", {60, 120, 100, 140}, w, {{1, 4, {200, 104, 204, 300}}, {0, 1, {64, 140, 100, 144}},
                                                    {0, 3, {104, 300, 204, 304}}}},
  };
  for (const TCase& c : cases) {
    shadow.SetOwnerBounds(c.O, c.W);
    EXPECT_EQ(StripsOf(shadow), c.Want) << c.What;
  }
}

TEST_F(BarsShadowTest, LayeredStripsFadeOutwardsAndAtTheirEndsAndTheMousePassesThrough) {
  TkxBarShadow shadow(ControlOf(F, 1));
  shadow.SetOwnerBounds(TRect{}, TRect{600, 400, 700, 500});
  shadow.SetVisible(true);
  Pump();
  TkxBarShadowPart* below = shadow.Part(0);
  const std::vector<Byte>& a = below->Alphas();
  int wd = below->Width();
  // 60, 45, 30, 15 away from the window's edge, in the middle of the strip
  for (int y = 0; y < 4; ++y) EXPECT_EQ(a[std::size_t(y * wd + 50)], 60 - 15 * y) << y;
  // the faded left end: column k scaled by (k + 1) / 5
  EXPECT_EQ(a[0], 12);
  EXPECT_EQ(a[3], 48);
  EXPECT_EQ(a[4], 60);
  EXPECT_EQ(a[std::size_t(wd - 1)], 12);
  // on the screen: black at decreasing opacity over what lies below, outwards
  std::uint32_t inner = hb->ScreenPixel(650, 500), outer = hb->ScreenPixel(650, 503), free = hb->ScreenPixel(650, 505);
  EXPECT_LT(inner & 0xFF, outer & 0xFF);
  EXPECT_LT(outer & 0xFF, free & 0xFF);
  EXPECT_EQ(SendMessageA(below->Handle(), WM_NCHITTEST, 0, MAKELPARAM(650, 501)), LRESULT(HTTRANSPARENT));
  shadow.SetVisible(false);
  EXPECT_FALSE(below->HandleAllocated());
}

TEST_F(BarsShadowTest, AtEightBitsPerPixelTheShadowIsTwoPixelsAndSolid) {
  kxBarSetScreenBitsPerPixel(8);
  EXPECT_EQ(TkxBarShadow::GetShadowDepth(), 2);
  TkxBarShadow shadow(ControlOf(F, 1));
  shadow.SetOwnerBounds(TRect{}, TRect{600, 400, 700, 500});
  shadow.SetVisible(true);
  Pump();
  EXPECT_EQ(shadow.PartRect(0), (TRect{602, 500, 702, 502}));
  COLORREF c = GetSysColor(COLOR_BTNSHADOW);
  std::uint32_t want = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  EXPECT_EQ(hb->ScreenPixel(650, 501), want);
}
