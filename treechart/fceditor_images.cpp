// The pictures of the flow-chart editor: the command images of its menus
// (16 x 16), the small images of its settings menus and buttons (11 x 11),
// and the zoom cursors, all drawn at start-up.
#include <functional>

#include "treechart/fceditor.h"

namespace {

using TFcPainter = std::function<void(TCanvas* C)>;

void FcAddImage(TImageList* List, const TFcPainter& Paint) {
  TBitmap b;
  b.SetSize(List->Width(), List->Height());
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, List->Width(), List->Height()});
  c->Brush()->SetColor(clWhite);
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetWidth(1);
  Paint(c);
  List->AddMasked(&b, clFuchsia);
}

void FcLine(TCanvas* C, int X1, int Y1, int X2, int Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

void FcMagnifier(TCanvas* C, bool Plus) {
  C->Ellipse(1, 1, 11, 11);
  C->Pen()->SetWidth(2);
  FcLine(C, 10, 10, 14, 14);
  C->Pen()->SetWidth(1);
  FcLine(C, 4, 6, 9, 6);
  if (Plus) FcLine(C, 6, 4, 6, 9);
}

void FcLargeImages(TImageList* L) {
  const TFcPainter icons[16] = {
      [](TCanvas* c) {  // open
        c->Brush()->SetColor(clYellow);
        const TPoint p[6] = {{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 13}, {1, 13}};
        c->Polygon(p, 6);
      },
      [](TCanvas* c) {  // save as
        c->Brush()->SetColor(clNavy);
        c->Rectangle(1, 1, 15, 15);
        c->Brush()->SetColor(clWhite);
        c->Rectangle(4, 2, 12, 7);
      },
      [](TCanvas* c) {  // undo
        c->Pen()->SetWidth(2);
        const TPoint p[4] = {{4, 5}, {11, 5}, {12, 11}, {6, 12}};
        c->Polyline(p, 4);
        c->Pen()->SetWidth(1);
        FcLine(c, 4, 5, 7, 2);
        FcLine(c, 4, 5, 7, 8);
      },
      [](TCanvas* c) {  // cut
        c->Ellipse(2, 10, 7, 15);
        c->Ellipse(9, 10, 14, 15);
        FcLine(c, 5, 10, 11, 1);
        FcLine(c, 11, 10, 5, 1);
      },
      [](TCanvas* c) {  // copy
        c->Rectangle(1, 1, 10, 11);
        c->Rectangle(6, 5, 15, 15);
      },
      [](TCanvas* c) {  // paste
        c->Brush()->SetColor(clOlive);
        c->Rectangle(2, 2, 12, 15);
        c->Brush()->SetColor(clWhite);
        c->Rectangle(6, 6, 15, 15);
      },
      [](TCanvas* c) {  // delete
        c->Pen()->SetColor(clRed);
        c->Pen()->SetWidth(2);
        FcLine(c, 3, 3, 13, 13);
        FcLine(c, 13, 3, 3, 13);
      },
      [](TCanvas* c) {  // select all
        c->Pen()->SetStyle(psDot);
        c->Rectangle(2, 2, 14, 14);
        c->Pen()->SetStyle(psSolid);
        c->Brush()->SetColor(clBlack);
        for (TPoint p : {TPoint{2, 2}, TPoint{13, 2}, TPoint{2, 13}, TPoint{13, 13}}) c->FillRect(TRect{p.x - 1, p.y - 1, p.x + 2, p.y + 2});
      },
      [](TCanvas* c) {  // bring to front
        c->Rectangle(1, 1, 10, 10);
        c->Brush()->SetColor(clBlue);
        c->Rectangle(6, 6, 15, 15);
      },
      [](TCanvas* c) {  // send to back
        c->Brush()->SetColor(clBlue);
        c->Rectangle(1, 1, 10, 10);
        c->Brush()->SetColor(clWhite);
        c->Rectangle(6, 6, 15, 15);
      },
      [](TCanvas* c) {  // new union
        c->Rectangle(1, 1, 7, 7);
        c->Rectangle(9, 9, 15, 15);
        FcLine(c, 6, 6, 10, 10);
      },
      [](TCanvas* c) {  // add to union
        c->Rectangle(1, 1, 9, 9);
        c->Pen()->SetWidth(2);
        FcLine(c, 12, 8, 12, 15);
        FcLine(c, 9, 12, 15, 12);
      },
      [](TCanvas* c) {  // remove from union
        c->Rectangle(1, 1, 9, 9);
        c->Pen()->SetWidth(2);
        FcLine(c, 9, 12, 15, 12);
      },
      [](TCanvas* c) { FcMagnifier(c, true); },   // zoom in
      [](TCanvas* c) { FcMagnifier(c, false); },  // zoom out
      [](TCanvas* c) {                            // fit
        c->Rectangle(4, 4, 12, 12);
        for (TPoint d : {TPoint{1, 1}, TPoint{14, 1}, TPoint{1, 14}, TPoint{14, 14}}) FcLine(c, d.x, d.y, 8, 8);
      },
  };
  for (const TFcPainter& p : icons) FcAddImage(L, p);
}

// The shapes of the settings menus in 11 x 11: rectangle ... hexagon.
void FcShape(TCanvas* c, int Kind) {
  switch (Kind) {
    case 0: c->Rectangle(1, 2, 10, 9); return;
    case 1: c->Ellipse(0, 1, 11, 10); return;
    case 2: c->RoundRect(0, 1, 11, 10, 5, 5); return;
    default: break;
  }
  // Diamond, triangles up/down/right/left, hexagon.
  struct TFcOutline { int Count; TPoint P[6]; };
  static const TFcOutline outlines[] = {
      {4, {{5, 0}, {10, 5}, {5, 10}, {0, 5}}},
      {3, {{5, 1}, {10, 9}, {0, 9}}},
      {3, {{0, 1}, {10, 1}, {5, 9}}},
      {3, {{1, 0}, {9, 5}, {1, 10}}},
      {3, {{9, 0}, {1, 5}, {9, 10}}},
      {6, {{3, 1}, {8, 1}, {10, 5}, {8, 9}, {3, 9}, {0, 5}}},
  };
  const TFcOutline& o = outlines[Kind >= 3 && Kind <= 7 ? Kind - 3 : 5];
  c->Polygon(o.P, o.Count);
}

// Digits of four by seven pixels, for the line widths.
void FcDigit(TCanvas* c, int X, int Y, int D) {
  static const char* const kDigits[10][7] = {
      {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."}, {"..#.", ".##.", "..#.", "..#.", "..#.", "..#.", ".###"},
      {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"}, {".##.", "#..#", "...#", "..#.", "...#", "#..#", ".##."},
      {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."}, {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},
      {".##.", "#...", "###.", "#..#", "#..#", "#..#", ".##."}, {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},
      {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."}, {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."}};
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 4; ++col)
      if (kDigits[D][row][col] == '#') c->SetPixel(X + col, Y + row, clBlack);
}

// A connection end in 11 x 11, the line running to the other side: none (a
// cross where the head would be), an arrow, an ellipse or a rectangle head.
void FcArrowEnd(TCanvas* c, int Kind, bool Left) {
  auto x = [Left](int X) { return Left ? X : 10 - X; };
  c->Brush()->SetColor(clBlack);
  switch (Kind) {
    case 0:
      FcLine(c, x(4), 5, x(11), 5);
      FcLine(c, x(0), 3, x(3), 8);
      FcLine(c, x(0), 7, x(3), 2);
      break;
    case 1: {
      FcLine(c, x(3), 5, x(11), 5);
      const TPoint head[3] = {{x(0), 5}, {x(5), 1}, {x(5), 9}};
      c->Polygon(head, 3);
      break;
    }
    case 2:
      FcLine(c, x(5), 5, x(11), 5);
      c->Ellipse(Left ? 0 : 4, 2, Left ? 7 : 11, 9);
      break;
    default:
      FcLine(c, x(5), 5, x(11), 5);
      c->FillRect(TRect{Left ? 0 : 5, 2, Left ? 6 : 11, 9});
      break;
  }
}

void FcSmallImages(TImageList* S) {
  for (int k = 0; k < 9; ++k) FcAddImage(S, [k](TCanvas* c) { FcShape(c, k); });  // 0..8
  for (int w = 1; w <= 10; ++w)                                                    // 9..18
    FcAddImage(S, [w](TCanvas* c) {
      // the number of pixels, then a bar of that thickness (as much as fits)
      int x = 0;
      if (w >= 10) {
        FcDigit(c, 0, 2, w / 10);
        x = 5;
      }
      FcDigit(c, x, 2, w % 10);
      x += 5;
      const int t = std::min(w, 11);
      c->Brush()->SetColor(clBlack);
      c->FillRect(TRect{x, 5 - (t - 1) / 2, 11, 5 - (t - 1) / 2 + t});
    });
  FcAddImage(S, [](TCanvas* c) {  // 19 polyline
    const TPoint p[4] = {{0, 9}, {4, 2}, {7, 8}, {10, 1}};
    c->Polyline(p, 4);
  });
  FcAddImage(S, [](TCanvas* c) { c->Arc(0, 1, 20, 20, 10, 1, 0, 10); });  // 20 curve
  FcAddImage(S, [](TCanvas* c) {                                         // 21 horizontal steps
    const TPoint p[4] = {{0, 1}, {5, 1}, {5, 9}, {10, 9}};
    c->Polyline(p, 4);
  });
  FcAddImage(S, [](TCanvas* c) {  // 22 vertical steps
    const TPoint p[4] = {{1, 0}, {1, 5}, {9, 5}, {9, 10}};
    c->Polyline(p, 4);
  });
  for (int side = 0; side < 2; ++side)  // 23..26 source, 27..30 destination heads
    for (int k = 0; k < 4; ++k) FcAddImage(S, [k, side](TCanvas* c) { FcArrowEnd(c, k, side == 0); });
  for (int side = 0; side < 2; ++side)  // 31..35 source, 36..40 destination head sizes
    for (int s = 1; s <= 5; ++s)
      FcAddImage(S, [s, side](TCanvas* c) {
        // a head pointing the way of its end: 3 to 11 pixels high, 6 to 10 long
        auto x = [side](int X) { return side == 0 ? X : 10 - X; };
        const TPoint head[3] = {{x(0), 5}, {x(5 + s), 5 - s}, {x(5 + s), 5 + s}};
        c->Brush()->SetColor(clBlack);
        c->Polygon(head, 3);
      });
  static const TPoint kPoints[16] = {{1, 1}, {3, 1}, {5, 1}, {7, 1}, {9, 1}, {9, 3}, {9, 5}, {9, 7},
                                     {9, 9}, {7, 9}, {5, 9}, {3, 9}, {1, 9}, {1, 7}, {1, 5}, {1, 3}};
  for (int i = 0; i < 16; ++i)  // 41..56 attach points
    FcAddImage(S, [i](TCanvas* c) {
      c->Pen()->SetColor(clGray);
      c->Rectangle(1, 1, 10, 10);
      c->Brush()->SetColor(clRed);
      c->FillRect(TRect{kPoints[i].x - 1, kPoints[i].y - 1, kPoints[i].x + 2, kPoints[i].y + 2});
    });
  for (TColor color : {TColor(clBlack), TColor(clBlue)})  // 57..65 text, 66..74 image positions
    for (int i = 0; i < 9; ++i)
      FcAddImage(S, [i, color](TCanvas* c) {
        c->Pen()->SetColor(clGray);
        c->Rectangle(0, 0, 11, 11);
        c->Brush()->SetColor(color);
        const int x = 1 + (i % 3) * 3, y = 1 + (i / 3) * 3;
        c->FillRect(TRect{x, y, x + 3, y + 3});
      });
  FcAddImage(S, [](TCanvas* c) {  // 75 none
    FcLine(c, 2, 2, 9, 9);
    FcLine(c, 8, 2, 1, 9);
  });
}

// A 32 x 32 magnifier cursor with a plus or a minus; its hot spot is the
// middle of the glass.
HCURSOR FcZoomCursor(bool Plus) {
  TBitmap color;
  color.SetSize(32, 32);
  color.Canvas()->Brush()->SetColor(clBlack);
  color.Canvas()->FillRect(TRect{0, 0, 32, 32});
  TBitmap shape;  // white where the cursor shows
  shape.SetSize(32, 32);
  TCanvas* s = shape.Canvas();
  s->Brush()->SetColor(clBlack);
  s->FillRect(TRect{0, 0, 32, 32});
  s->Pen()->SetColor(clWhite);
  s->Brush()->SetColor(clWhite);
  s->Ellipse(0, 0, 15, 15);
  s->Pen()->SetWidth(3);
  s->MoveTo(12, 12);
  s->LineTo(20, 20);
  TCanvas* c = color.Canvas();
  c->Brush()->SetColor(clWhite);
  c->Ellipse(1, 1, 14, 14);
  c->Pen()->SetColor(clBlack);
  c->MoveTo(4, 7);
  c->LineTo(11, 7);
  if (Plus) {
    c->MoveTo(7, 4);
    c->LineTo(7, 11);
  }
  std::vector<Byte> mask(32 * 4, 0);  // 1 bit per pixel: 1 = transparent
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if ((shape.Canvas()->Pixels(x, y) & 0xFFFFFF) == 0) mask[std::size_t(y * 4 + x / 8)] |= Byte(0x80 >> (x % 8));
  ICONINFO ii;
  ii.fIcon = FALSE;
  ii.xHotspot = 7;
  ii.yHotspot = 7;
  ii.hbmMask = CreateBitmap(32, 32, 1, 1, mask.data());
  ii.hbmColor = color.Handle();
  HCURSOR cursor = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmMask);
  return cursor;
}

}  // namespace

void kxFcPaintFontGlyph(TBitmap* Glyph, TColor Face) {
  // "字" (font), as tall as the buttons take it.
  Glyph->SetSize(14, 14);
  TCanvas* c = Glyph->Canvas();
  c->Brush()->SetColor(Face);
  c->FillRect(TRect{0, 0, 14, 14});
  c->Font()->SetName("\xCB\xCE\xCC\xE5");  // 宋体
  c->Font()->SetHeight(-12);
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(1, 1, "\xD7\xD6");  // 字
}

void kxFcPaintEditorImages(TImageList* Large, TImageList* Small) {
  if (Large) {
    Large->Clear();
    FcLargeImages(Large);
  }
  if (Small) {
    Small->Clear();
    FcSmallImages(Small);
  }
}

void kxInitFlowChartEditorClasses();

void kxInitFlowChartEditor() {
  static bool done = false;
  if (!done) {
    done = true;
    kxInitFlowChartClasses();
    kxInitFlowChartDialogs();
    kxInitFlowChartEditorClasses();
  }
  // the zoom cursors belong to the screen of this run
  if (Screen) {
    Screen->SetCursors(crFcZoomIn, FcZoomCursor(true));
    Screen->SetCursors(crFcZoomOut, FcZoomCursor(false));
  }
}
