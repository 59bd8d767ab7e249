// The pictures of the library data module's image lists, drawn when the
// module is created: the frame's window commands, the node images of the
// trees and bars, the organisation chart's node images, and the shapes, image
// alignments and child alignments that the inspector rows offer. Each image
// is drawn on a magenta background that becomes transparent.
#include <functional>

#include "app/libdatamodule.h"

namespace {

constexpr TColor kTransparent = clFuchsia;

using TGlyph = std::function<void(TCanvas* C, int S)>;

void AddGlyph(TImageList* List, const TGlyph& Draw) {
  const int s = List->Width();
  TBitmap b;
  b.SetWidth(s);
  b.SetHeight(List->Height());
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(kTransparent);
  c->FillRect(TRect(0, 0, s, List->Height()));
  c->Pen()->SetColor(clBlack);
  Draw(c, s);
  List->AddMasked(&b, kTransparent);
}

void Box(TCanvas* C, int L, int T, int R, int B, TColor Fill, TColor Line = clBlack) {
  C->Brush()->SetColor(Fill);
  C->Pen()->SetColor(Line);
  C->Rectangle(L, T, R, B);
}

// A small window: title bar and body.
void Window(TCanvas* C, int L, int T, int R, int B) {
  Box(C, L, T, R, B, clWhite, clNavy);
  C->Brush()->SetColor(clNavy);
  C->FillRect(TRect(L, T, R, T + 3));
}

// A page with a folded corner, in Colour, with lines of text.
void Page(TCanvas* C, int S, TColor Colour) {
  const int l = S / 8, r = S - S / 8, t = S / 16, b = S - S / 16;
  TPoint p[5] = {{l, t}, {r - S / 4, t}, {r, t + S / 4}, {r, b}, {l, b}};
  C->Brush()->SetColor(Colour);
  C->Pen()->SetColor(clBlack);
  C->Polygon(p, 5);
  C->Pen()->SetColor(clGray);
  for (int y = t + S / 3; y < b - 1; y += S / 6) {
    C->MoveTo(l + 2, y);
    C->LineTo(r - 2, y);
  }
}

void Folder(TCanvas* C, int S, TColor Colour) {
  const int t = S / 4, b = S - S / 8;
  Box(C, 1, t - 2, S / 2, t + 1, Colour);
  Box(C, 1, t, S - 1, b, Colour);
}

void Person(TCanvas* C, int S, TColor Colour) {
  C->Brush()->SetColor(Colour);
  C->Pen()->SetColor(clBlack);
  C->Ellipse(S / 3, 1, S - S / 3, S / 2 - 1);
  C->Ellipse(S / 6, S / 2, S - S / 6, S + S / 3);
}

void Diamond(TCanvas* C, int L, int T, int R, int B, TColor Colour) {
  TPoint p[4] = {{(L + R) / 2, T}, {R - 1, (T + B) / 2}, {(L + R) / 2, B - 1}, {L, (T + B) / 2}};
  C->Brush()->SetColor(Colour);
  C->Pen()->SetColor(clBlack);
  C->Polygon(p, 4);
}

void Star(TCanvas* C, int S, TColor Colour) {
  const int m = S / 2;
  TPoint p[10] = {{m, 0},         {m + S / 8, m - S / 8}, {S - 1, m - S / 8}, {m + S / 5, m + S / 10},
                  {m + S / 3, S - 1}, {m, m + S / 4},     {m - S / 3, S - 1}, {m - S / 5, m + S / 10},
                  {0, m - S / 8},     {m - S / 8, m - S / 8}};
  C->Brush()->SetColor(Colour);
  C->Pen()->SetColor(clBlack);
  C->Polygon(p, 10);
}

// The node images: pages, folders, people, places and marks in distinct colours.
std::vector<TGlyph> NodeGlyphs() {
  return {
      [](TCanvas* C, int S) { Page(C, S, clWhite); },
      [](TCanvas* C, int S) { Folder(C, S, clYellow); },
      [](TCanvas* C, int S) { Person(C, S, TColor(0x4080FF)); },
      [](TCanvas* C, int S) { Person(C, S, TColor(0xFF8040)); },
      [](TCanvas* C, int S) { Diamond(C, 0, 0, S, S, clLime); },
      [](TCanvas* C, int S) { Page(C, S, clInfoBk); },
      [](TCanvas* C, int S) { Folder(C, S, clAqua); },
      [](TCanvas* C, int S) { Star(C, S, clYellow); },
      [](TCanvas* C, int S) { Star(C, S, clRed); },
      [](TCanvas* C, int S) { Box(C, 1, 1, S - 1, S - 1, clSilver); },
      [](TCanvas* C, int S) {
        C->Brush()->SetColor(clTeal);
        C->Ellipse(1, 1, S - 1, S - 1);
      },
      [](TCanvas* C, int S) { Page(C, S, TColor(0xC0FFC0)); },
      [](TCanvas* C, int S) { Folder(C, S, TColor(0xFF80C0)); },
      [](TCanvas* C, int S) { Diamond(C, 0, 0, S, S, clRed); },
  };
}

void FillNodeImages(TImageList* List, int Count) {
  std::vector<TGlyph> g = NodeGlyphs();
  for (int i = 0; i < Count; ++i) AddGlyph(List, g[std::size_t(i) % g.size()]);
}

}  // namespace

void TLibDataModule::FillImageLists() {
  // The frame's actions: node images, then cascade (18), tile horizontally
  // (19) and tile vertically (20).
  FillNodeImages(MainFormImageList, 18);
  AddGlyph(MainFormImageList, [](TCanvas* C, int S) {
    Window(C, 1, 1, S - 5, S - 5);
    Window(C, 4, 4, S - 1, S - 1);
  });
  AddGlyph(MainFormImageList, [](TCanvas* C, int S) {
    Window(C, 1, 1, S - 1, S / 2);
    Window(C, 1, S / 2 + 1, S - 1, S - 1);
  });
  AddGlyph(MainFormImageList, [](TCanvas* C, int S) {
    Window(C, 1, 1, S / 2, S - 1);
    Window(C, S / 2 + 1, 1, S - 1, S - 1);
  });
  FillNodeImages(ChildFormImageList, 14);
  FillNodeImages(chartImageList, 17);
  // Node shapes in the order of the chart's shape field.
  AddGlyph(sharpTypeImageList, [](TCanvas* C, int S) { Box(C, 1, 3, S - 1, S - 3, clInfoBk); });
  AddGlyph(sharpTypeImageList, [](TCanvas* C, int S) {
    C->Brush()->SetColor(clInfoBk);
    C->RoundRect(1, 3, S - 1, S - 3, 6, 6);
  });
  AddGlyph(sharpTypeImageList, [](TCanvas* C, int S) {
    C->Brush()->SetColor(clInfoBk);
    C->Ellipse(1, 3, S - 1, S - 3);
  });
  AddGlyph(sharpTypeImageList, [](TCanvas* C, int S) { Diamond(C, 1, 1, S - 1, S - 1, clInfoBk); });
  // Image alignments: none, then the image's place around the node's box
  // (left top, left centre, left bottom, right ..., top ..., bottom ...).
  AddGlyph(IcoalignType, [](TCanvas* C, int S) { Box(C, 3, 3, S - 3, S - 3, clInfoBk); });
  const TPoint places[12] = {{0, 0}, {0, 1}, {0, 2}, {2, 0}, {2, 1}, {2, 2},
                             {0, 0}, {1, 0}, {2, 0}, {0, 2}, {1, 2}, {2, 2}};
  for (int i = 0; i < 12; ++i) {
    const bool side = i < 6;
    const TPoint p = places[i];
    AddGlyph(IcoalignType, [side, p](TCanvas* C, int S) {
      Box(C, 3, 3, S - 3, S - 3, clInfoBk);
      const int cell = (S - 6) / 3;
      int x = 3 + p.x * cell, y = 3 + p.y * cell;
      if (side) x = p.x == 0 ? 0 : S - 5;
      else y = p.y == 0 ? 0 : S - 5;
      Box(C, x, y, x + 5, y + 5, clBlue, clBlue);
    });
  }
  // Child alignments: left, centre, right.
  for (int a = 0; a < 3; ++a)
    AddGlyph(ChildrenItemImageList, [a](TCanvas* C, int S) {
      Box(C, S / 2 - 3, 1, S / 2 + 3, 5, clInfoBk);
      const int x = a == 0 ? 1 : a == 1 ? S / 2 - 3 : S - 7;
      for (int k = 0; k < 2; ++k) Box(C, x, 8 + k * 4, x + 6, 11 + k * 4, clInfoBk);
      C->MoveTo(S / 2, 5);
      C->LineTo(x + 3, 8);
    });
}
