// Rectangle arithmetic: empty rectangles, exclusive right/bottom edges,
// aliasing and null pointers.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

namespace {

struct R {
  LONG l, t, r, b;
};
RECT Rc(R x) { return RECT{x.l, x.t, x.r, x.b}; }
::testing::AssertionResult Same(const RECT& got, R want) {
  if (got.left == want.l && got.top == want.t && got.right == want.r && got.bottom == want.b)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.left << "," << got.top << "," << got.right
                                       << "," << got.bottom << ") want (" << want.l << "," << want.t
                                       << "," << want.r << "," << want.b << ")";
}

TEST(Rects, Intersect) {
  struct Case {
    const char* name;
    R a, b, want;
    BOOL ok;
  } cases[] = {
      {"overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, TRUE},
      {"contained", {0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}, TRUE},
      {"touching edges share nothing", {0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, FALSE},
      {"disjoint", {0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 0, 0}, FALSE},
      {"empty a inside b", {3, 3, 3, 8}, {0, 0, 10, 10}, {0, 0, 0, 0}, FALSE},
      {"inverted b", {0, 0, 10, 10}, {8, 8, 2, 2}, {0, 0, 0, 0}, FALSE},
      {"negative coords", {-10, -10, 0, 0}, {-5, -20, 5, -5}, {-5, -10, 0, -5}, TRUE},
  };
  for (const auto& c : cases) {
    RECT d{99, 99, 99, 99}, a = Rc(c.a), b = Rc(c.b);
    EXPECT_EQ(IntersectRect(&d, &a, &b), c.ok) << c.name;
    EXPECT_TRUE(Same(d, c.want)) << c.name;
    // Symmetric and usable in place.
    RECT d2 = b;
    EXPECT_EQ(IntersectRect(&d2, &a, &d2), c.ok) << c.name;
    EXPECT_TRUE(Same(d2, c.want)) << c.name << " (in place)";
  }
}

TEST(Rects, Union) {
  struct Case {
    const char* name;
    R a, b, want;
    BOOL ok;
  } cases[] = {
      {"disjoint", {0, 0, 10, 10}, {20, 5, 30, 8}, {0, 0, 30, 10}, TRUE},
      {"empty a ignored, not stretched to origin", {0, 0, 0, 0}, {20, 20, 30, 30}, {20, 20, 30, 30},
       TRUE},
      {"empty b ignored", {5, 5, 6, 6}, {-50, 0, -50, 100}, {5, 5, 6, 6}, TRUE},
      {"both empty", {5, 5, 5, 9}, {1, 1, 0, 0}, {0, 0, 0, 0}, FALSE},
  };
  for (const auto& c : cases) {
    RECT d{99, 99, 99, 99}, a = Rc(c.a), b = Rc(c.b);
    EXPECT_EQ(UnionRect(&d, &a, &b), c.ok) << c.name;
    EXPECT_TRUE(Same(d, c.want)) << c.name;
    EXPECT_EQ(UnionRect(&a, &a, &b), c.ok) << c.name;
    EXPECT_TRUE(Same(a, c.want)) << c.name << " (in place)";
  }
}

TEST(Rects, SubtractOnlyWhenTheRestIsARectangle) {
  struct Case {
    const char* name;
    R a, b, want;
    BOOL ok;
  } cases[] = {
      {"left strip removed", {0, 0, 10, 10}, {-5, -5, 4, 15}, {4, 0, 10, 10}, TRUE},
      {"right strip removed", {0, 0, 10, 10}, {6, 0, 10, 10}, {0, 0, 6, 10}, TRUE},
      {"top strip removed", {0, 0, 10, 10}, {0, -1, 10, 3}, {0, 3, 10, 10}, TRUE},
      {"bottom strip removed", {0, 0, 10, 10}, {-1, 7, 11, 20}, {0, 0, 10, 7}, TRUE},
      {"hole in the middle leaves a", {0, 0, 10, 10}, {2, 2, 8, 8}, {0, 0, 10, 10}, TRUE},
      {"middle band leaves a", {0, 0, 10, 10}, {0, 4, 10, 6}, {0, 0, 10, 10}, TRUE},
      {"corner leaves a", {0, 0, 10, 10}, {5, 5, 15, 15}, {0, 0, 10, 10}, TRUE},
      {"disjoint leaves a", {0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 10, 10}, TRUE},
      {"covered entirely", {0, 0, 10, 10}, {-1, -1, 11, 11}, {0, 0, 0, 0}, FALSE},
      {"empty a", {3, 3, 3, 3}, {0, 0, 1, 1}, {0, 0, 0, 0}, FALSE},
  };
  for (const auto& c : cases) {
    RECT d{99, 99, 99, 99}, a = Rc(c.a), b = Rc(c.b);
    EXPECT_EQ(SubtractRect(&d, &a, &b), c.ok) << c.name;
    EXPECT_TRUE(Same(d, c.want)) << c.name;
  }
}

TEST(Rects, PointsAndEmptiness) {
  RECT r{0, 0, 10, 5};
  struct Case {
    POINT p;
    BOOL in;
  } pts[] = {{{0, 0}, TRUE}, {{9, 4}, TRUE}, {{10, 4}, FALSE}, {{9, 5}, FALSE}, {{-1, 2}, FALSE}};
  for (const auto& c : pts) EXPECT_EQ(PtInRect(&r, c.p), c.in) << c.p.x << "," << c.p.y;

  struct E {
    R r;
    BOOL empty;
  } es[] = {{{0, 0, 0, 0}, TRUE}, {{0, 0, 1, 1}, FALSE}, {{0, 0, 5, 0}, TRUE}, {{5, 0, 0, 5}, TRUE}};
  for (const auto& c : es) {
    RECT e = Rc(c.r);
    EXPECT_EQ(IsRectEmpty(&e), c.empty);
    EXPECT_FALSE(PtInRect(&e, POINT{0, 0}) && c.empty);
  }
}

TEST(Rects, SimpleEdits) {
  RECT r;
  EXPECT_TRUE(SetRect(&r, 1, 2, 3, 4));
  EXPECT_TRUE(Same(r, {1, 2, 3, 4}));
  EXPECT_TRUE(OffsetRect(&r, -5, 10));
  EXPECT_TRUE(Same(r, {-4, 12, -2, 14}));
  EXPECT_TRUE(InflateRect(&r, 2, -1));
  EXPECT_TRUE(Same(r, {-6, 13, 0, 13}));
  EXPECT_TRUE(IsRectEmpty(&r));
  RECT c;
  EXPECT_TRUE(CopyRect(&c, &r));
  EXPECT_TRUE(EqualRect(&c, &r));
  c.bottom++;
  EXPECT_FALSE(EqualRect(&c, &r));
  EXPECT_TRUE(SetRectEmpty(&c));
  EXPECT_TRUE(Same(c, {0, 0, 0, 0}));
}

TEST(Rects, NullPointersFailWithoutTouchingAnything) {
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
  EXPECT_FALSE(SetRectEmpty(nullptr));
  EXPECT_FALSE(CopyRect(nullptr, &r));
  EXPECT_FALSE(CopyRect(&r, nullptr));
  EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
  EXPECT_FALSE(InflateRect(nullptr, 1, 1));
  EXPECT_FALSE(IntersectRect(nullptr, &r, &r));
  EXPECT_FALSE(UnionRect(nullptr, &r, &r));
  EXPECT_FALSE(SubtractRect(nullptr, &r, &r));
  EXPECT_FALSE(PtInRect(nullptr, POINT{1, 2}));
  EXPECT_TRUE(IsRectEmpty(nullptr));
  EXPECT_FALSE(EqualRect(nullptr, &r));
  EXPECT_TRUE(Same(r, {1, 2, 3, 4}));
}

}  // namespace
