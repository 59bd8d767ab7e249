// Connection-route geometry: curve subdivision, lengths and middle points,
// point and rectangle tests.
#include "treechart/kxlines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void CollectPoint(void* Ctx, TPoint P) { static_cast<std::vector<TPoint>*>(Ctx)->push_back(P); }

TEST(KxLines, CurvePieceIsSampledByForwardDifferences) {
  std::vector<TPoint> pts;
  SubdivideCurvePiece({0, 0}, {100, 0}, {100, 100}, true, &CollectPoint, &pts);
  ASSERT_EQ(pts.size(), 27u) << "26 samples and the end point";
  EXPECT_EQ(pts[0], (TPoint{0, 0}));
  EXPECT_EQ(pts[1], (TPoint{8, 0}));
  EXPECT_EQ(pts[2], (TPoint{15, 1}));
  EXPECT_EQ(pts[3], (TPoint{23, 1}));
  EXPECT_EQ(pts.back(), (TPoint{100, 100}));
  // the samples follow the curve: x grows, y grows, both stay in the hull
  for (std::size_t i = 1; i < pts.size(); ++i) {
    EXPECT_GE(pts[i].x, pts[i - 1].x);
    EXPECT_GE(pts[i].y, pts[i - 1].y);
  }
  // a degenerate piece gives no points; a tiny one still at least two
  pts.clear();
  SubdivideCurvePiece({5, 5}, {5, 5}, {5, 5}, true, &CollectPoint, &pts);
  EXPECT_TRUE(pts.empty());
  SubdivideCurvePiece({0, 0}, {1, 0}, {1, 1}, false, &CollectPoint, &pts);
  EXPECT_GE(pts.size(), 2u);
}

TEST(KxLines, LengthsAndMiddlePointsOfEachStyle) {
  const TPoint line[] = {{0, 0}, {30, 40}};
  struct Case {
    TkxFcLineStyle Style;
    long long Length;
    TPoint Middle;
  } cases[] = {
      {flsStraight, 50, {15, 20}},
      {flsRectHorizontal, 70, {30, 5}},
      {flsRectVertical, 70, {0, 35}},
      {flsCurved, 50, {15, 20}},  // two points: straight
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RouteLength(c.Style, line, 2), c.Length) << int(c.Style);
    EXPECT_EQ(RouteMiddlePoint(c.Style, line, 2), c.Middle) << int(c.Style);
  }
  // the middle on the shared point of two segments is the first one's end
  const TPoint two[] = {{0, 0}, {10, 0}, {20, 0}};
  EXPECT_EQ(RouteMiddlePoint(flsStraight, two, 3), (TPoint{10, 0}));
  EXPECT_EQ(LastSegmentIndex(), 0);
  // a collinear curve piece: its middle is the point at t = 0.5
  const TPoint flat[] = {{0, 0}, {10, 0}, {40, 0}};
  EXPECT_EQ(RouteLength(flsCurved, flat, 3), 40);
  EXPECT_EQ(RouteMiddlePoint(flsCurved, flat, 3), (TPoint{15, 0}));
  // a bent curve is longer than its chord and shorter than its legs
  const TPoint bent[] = {{0, 0}, {100, 0}, {100, 100}};
  const long long l = RouteLength(flsCurved, bent, 3);
  EXPECT_GT(l, 141);
  EXPECT_LT(l, 200);
  const TPoint m = RouteMiddlePoint(flsCurved, bent, 3);
  EXPECT_EQ(m, (TPoint{75, 25})) << "symmetric: the middle is at t = 0.5";
  EXPECT_EQ(RouteMiddlePoint(flsStraight, bent, 1), (TPoint{0, 0}));
}

TEST(KxLines, PointHitsWithinTheTolerance) {
  const TPoint anti[] = {{0, 10}, {10, 0}};
  EXPECT_TRUE(RouteHitTest(flsStraight, anti, 2, 5, 5, 3));
  EXPECT_EQ(LastSegmentIndex(), 0);
  EXPECT_FALSE(RouteHitTest(flsStraight, anti, 2, 9, 9, 3));
  EXPECT_EQ(LastSegmentIndex(), -1);
  // a segment of length 0 is hit only from the square around its point
  const TPoint dot[] = {{50, 50}, {50, 50}};
  EXPECT_TRUE(RouteHitTest(flsStraight, dot, 2, 52, 50, 3));
  EXPECT_FALSE(RouteHitTest(flsStraight, dot, 2, 54, 50, 3));
  // right-angled routes are hit on either leg, not across the corner
  const TPoint l[] = {{0, 0}, {40, 40}};
  EXPECT_TRUE(RouteHitTest(flsRectHorizontal, l, 2, 20, 2, 3));
  EXPECT_TRUE(RouteHitTest(flsRectHorizontal, l, 2, 39, 20, 3));
  EXPECT_FALSE(RouteHitTest(flsRectHorizontal, l, 2, 20, 20, 3));
  EXPECT_TRUE(RouteHitTest(flsRectVertical, l, 2, 1, 20, 3));
  // curved routes report the piece, or the next one past the piece's middle
  const TPoint c[] = {{0, 0}, {100, 0}, {100, 100}, {200, 100}};
  EXPECT_TRUE(RouteHitTest(flsCurved, c, 4, 10, 0, 2));
  EXPECT_EQ(LastSegmentIndex(), 0);
  EXPECT_TRUE(RouteHitTest(flsCurved, c, 4, 190, 100, 2));
  EXPECT_EQ(LastSegmentIndex(), 2);
  EXPECT_FALSE(RouteHitTest(flsCurved, c, 4, 10, 50, 2));
}

TEST(KxLines, RectangleTestsClipEachSegment) {
  const TPoint d[] = {{0, 0}, {100, 100}};
  EXPECT_TRUE(RouteIntersectsRect(flsStraight, d, 2, TRect{40, 40, 60, 60}));
  EXPECT_FALSE(RouteIntersectsRect(flsStraight, d, 2, TRect{60, 0, 100, 30}));
  EXPECT_TRUE(RouteIntersectsRect(flsStraight, d, 2, TRect{-10, 45, 200, 55})) << "crossing through";
  // the corner of a right-angled route lies outside the chord's reach
  EXPECT_TRUE(RouteIntersectsRect(flsRectHorizontal, d, 2, TRect{90, -5, 110, 5}));
  EXPECT_FALSE(RouteIntersectsRect(flsStraight, d, 2, TRect{90, -5, 110, 5}));
  const TPoint c[] = {{0, 0}, {100, 0}, {100, 100}};
  EXPECT_FALSE(RouteIntersectsRect(flsCurved, c, 3, TRect{200, 0, 300, 300})) << "all three points right of it";
  EXPECT_TRUE(RouteIntersectsRect(flsCurved, c, 3, TRect{70, 20, 80, 30}));
  EXPECT_FALSE(RouteIntersectsRect(flsCurved, c, 3, TRect{90, 0, 99, 9})) << "inside the bend, off the curve";
  TRect r{10, 10, 10, 10};
  ExpandRect(r, {4, 30});
  EXPECT_EQ(r, (TRect{4, 10, 10, 30}));
}

TEST(KxLines, CoordinatesNearTheIntegerLimitsDoNotOverflow) {
  const TPoint far[] = {{-2000000000, -2000000000}, {2000000000, 0}, {2000000000, 2000000000}};
  EXPECT_EQ(RouteLength(flsStraight, far, 3), 4472135955LL + 2000000000LL);
  EXPECT_TRUE(RouteHitTest(flsStraight, far, 3, 2000000000, 1000000000, 4));
  EXPECT_TRUE(RouteHitTest(flsCurved, far, 3, 2000000000, 2000000000, 4));
  EXPECT_FALSE(RouteIntersectsRect(flsCurved, far, 3, TRect{-10, 1000, 10, 1010}));
  const TPoint m = RouteMiddlePoint(flsRectVertical, far, 3);
  EXPECT_EQ(m, (TPoint{0, 0}));
}

}  // namespace
