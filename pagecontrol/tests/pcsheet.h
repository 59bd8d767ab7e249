// Reference sheets of the painter styles: for each side of the page one cell
// with a single scrolling row (navigator buttons, images, the current tab, a
// disabled, a highlighted and a hot tab) and one cell with several rows.
#pragma once

#include <functional>
#include <memory>

#include "pagecontrol/tests/pctest.h"
#include "platform/controls/imglist.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/strings.h"

class PcSheetTest : public PcTest {
 protected:
  static constexpr int CellW = 190, CellH = 150;

  // Three 16 x 16 images: a red square, a green diamond, a blue bar.
  TImageList* MakeImages() {
    auto* L = new TImageList(Form);
    L->SetSize(16, 16);
    for (int i = 0; i < 3; ++i) {
      TBitmap B;
      B.SetSize(16, 16);
      TCanvas* C = B.Canvas();
      C->Brush()->SetColor(clFuchsia);
      C->FillRect(pcRect(0, 0, 16, 16));
      C->Pen()->SetColor(clBlack);
      if (i == 0) {
        C->Brush()->SetColor(clRed);
        C->Rectangle(2, 2, 14, 14);
      } else if (i == 1) {
        C->Brush()->SetColor(clLime);
        const TPoint P[4] = {{8, 1}, {15, 8}, {8, 15}, {1, 8}};
        C->Polygon(P, 4);
      } else {
        C->Brush()->SetColor(clBlue);
        C->Rectangle(5, 1, 11, 15);
      }
      L->AddMasked(&B, clFuchsia);
    }
    return L;
  }

  static AnsiString Cn(const char* Utf8) { return Utf8ToAnsi(Utf8); }

  // The control drawn into a bitmap of its size, on teal so that anything
  // left unpainted shows.
  std::unique_ptr<TBitmap> Render(TuxCustomTabControl* C) {
    auto B = std::make_unique<TBitmap>();
    B->SetSize(C->Width(), C->Height());
    B->Canvas()->Brush()->SetColor(TColor(0x808000));
    B->Canvas()->FillRect(pcRect(0, 0, C->Width(), C->Height()));
    C->PaintTo(B->Canvas()->Handle(), 0, 0);
    return B;
  }
  // A pixel as a colour, read from the bits.
  static TColor Px(TBitmap* B, int X, int Y) {
    const std::uint32_t P = B->ScanLine(Y)[X];
    return TColor(((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16));
  }
  static TColor Rgb(TColor C) { return TColor(ColorToRGB(C) & 0xFFFFFF); }

  // A control of the style in one cell; Multi gives several rows.
  TuxCustomTabControl* MakeCell(int Style, TuxTabPosition Side, bool Multi, TImageList* Images, int X, int Y,
                                const std::function<void(TuxCustomTabControl*)>& Setup) {
    auto* C = NewObject<TuxCustomTabControl>(Form);
    C->SetStyle(Style);
    C->SetBounds(X, Y, CellW - 6, CellH - 6);
    C->SetParent(Form);
    C->SetTabPosition(Side);
    C->SetImages(Images);
    C->SetOptions(C->Options() + TuxPCOptions{pcoGoDialog, pcoCloseButton});
    const char* Captions[] = {"库", "设计", "&Go 3", "目录", "属性", "叙述", "模型"};
    for (const char* S : Captions) C->Tabs()->Add(Cn(S));
    C->Tabs()->Tabs(1)->SetEnabled(false);
    C->Tabs()->Tabs(2)->SetHighlighted(true);
    C->Tabs()->Tabs(4)->SetImageIndex(-1);
    C->Tabs()->Tabs(5)->SetImageIndex(1);
    C->Tabs()->Tabs(6)->SetImageIndex(2);
    C->SetMultiLine(Multi);
    if (Setup) Setup(C);
    return C;
  }

  // Renders the sheet of a style: rows top, bottom, left, right; columns one
  // row, several rows. Hot tab: the fourth tab (or the first shown one).
  TRawImage RenderSheet(int Style, const std::function<void(TuxCustomTabControl*)>& Setup = nullptr) {
    TImageList* Images = MakeImages();
    Form->SetBounds(0, 0, 2 * CellW + 40, 4 * CellH + 60);
    Form->Show();
    Pump();
    std::vector<TuxCustomTabControl*> Cells;
    const TuxTabPosition Sides[] = {tpTop, tpBottom, tpLeft, tpRight};
    for (int Row = 0; Row < 4; ++Row)
      for (int Col = 0; Col < 2; ++Col)
        Cells.push_back(MakeCell(Style, Sides[Row], Col == 1, Images, Col * CellW + 3, Row * CellH + 3, Setup));
    Pump();
    TBitmap Sheet;
    Sheet.SetSize(2 * CellW, 4 * CellH);
    Sheet.Canvas()->Brush()->SetColor(TColor(0x808000));  // teal, so white edges show
    Sheet.Canvas()->FillRect(pcRect(0, 0, Sheet.Width(), Sheet.Height()));
    // Each cell is drawn with the mouse over its hot tab and hot tracking on.
    for (TuxCustomTabControl* C : Cells) {
      const int Hot = std::min(3, C->LastShownTab());
      if (Hot >= 0) {
        const TRect R = C->VisibleTab(Hot)->VisibleRect();
        const TPoint P = At(C, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
        hb->MouseMove(P.x, P.y);
        Pump();
        C->SetHotTrack(true);
      }
      C->PaintTo(Sheet.Canvas()->Handle(), C->Left(), C->Top());
    }
    return Sheet.ToRawImage();
  }
};
