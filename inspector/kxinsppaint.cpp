// The inspector's painting (rows, grid lines, indents, buttons, divider and
// value cells in five paint styles) and its mouse: hit testing, pressing,
// divider, band and row sizing, auto-scrolling, hot tracking, row hints and
// row drags.
#include <algorithm>

#include "inspector/kxinspector.h"
#include "platform/controls/forms.h"
#include "platform/gdi/gdi.h"
#include "platform/win/winuser.h"

namespace kxinsppaint_cpp {
constexpr UINT_PTR cScrollTimer = 1, cHintTimer = 2, cHintHideTimer = 3;

void FillSolid(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, b);
  DeleteObject(b);
}

// A filled vertical or horizontal line of one pixel.
void PixelLine(HDC DC, int X1, int Y1, int X2, int Y2, TColor Color) {
  TRect r{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1};
  FillSolid(DC, r, Color);
}
}  // namespace kxinsppaint_cpp
using namespace kxinsppaint_cpp;

// ---------------------------------------------------------------------------
// Cell layout

bool TCustomkxInspector::IsRootCategory(TkxInspectorNode* Node) { return Node && !Node->Parent() && IsCategory(Node); }

bool TCustomkxInspector::BelongsToCategory(TkxInspectorNode* Node) { return IsRootCategory(GetRootNode(Node)); }

bool TCustomkxInspector::HasImage(TkxInspectorNode* Node) {
  return GetImageIndex(Node) != -1 && !(FPaintStyle == ipsCategorized && IsCategory(Node));
}

void TCustomkxInspector::GetCellLayout(TkxInspectorNode* Node, TRect R, TkxInspectorCellLayout& L) {
  L = TkxInspectorCellLayout();
  if (!Node) return;
  const int i = FIndentWidth, level = Node->Level();
  const bool category = IsCategory(Node);
  if (FPaintStyle == ipsCategorized && category) {
    L.IndentRect = TRect{R.left, R.top, R.left + level * i, R.bottom};
    InflateRect(&R, -1, -1);
  } else if (FPaintStyle == ipsCategorized) {
    InflateRect(&R, -FRowFrameWidth, -FRowFrameWidth);
    L.IndentRect = TRect{R.left, R.top, R.left + (level + 1) * i, R.bottom};
    if (BelongsToCategory(Node)) L.IndentRect.right -= i;
  } else {
    L.IndentRect = TRect{R.left, R.top, R.left + (level + 1) * i, R.bottom};
    if (FPaintStyle == ipsStandard) L.IndentRect.right += 2;
  }
  if (Node->HasChildren()) {
    L.ButtonKind = Node->Expanded() ? 2 : 1;
    if (!(FPaintStyle == ipsCategorized && category))
      L.ButtonRect = TRect{L.IndentRect.right - i, L.IndentRect.top, L.IndentRect.right, L.IndentRect.bottom};
  }
  if (HasImage(Node)) {
    L.ImageRect = TRect{L.IndentRect.right, R.top, L.IndentRect.right + FImageWidth, R.bottom};
    L.IndentRect.right += FImageWidth;
  }
  L.CaptionRect = TRect{L.IndentRect.right, R.top, R.left + FDividerPos, R.bottom};
  if (FPaintStyle == ipsCategorized && category) L.CaptionRect.right += 1;
  L.ValueRect = TRect{R.left + FDividerPos + 1, R.top, R.right, R.bottom};
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended || FPaintStyle == ipsCategorized) L.ValueRect.left += 1;
  if (category) {
    L.CaptionRect.right = L.ValueRect.right;
    if (FPaintStyle == ipsCategorized && Node->HasChildren()) {
      L.ButtonRect = TRect{L.CaptionRect.right - FButtonWidth, L.CaptionRect.top, L.CaptionRect.right,
                           L.CaptionRect.bottom};
      L.CaptionRect.right -= FButtonWidth;
    }
  }
}

void TCustomkxInspector::CalcViewBounds(const TRect& R, TRect& Bounds) {
  Bounds = R;
  InflateRect(&Bounds, 2, 2);
}

TColor TCustomkxInspector::GetValueFontColor() {
  if (GetSysColor(COLOR_BTNFACE) == 0) return TColor(ColorToRGB(FValueColor) ^ 0xFFFFFF);
  return FValueColor;
}

// ---------------------------------------------------------------------------
// Paint pass

void TCustomkxInspector::Paint() {
  UpdateEditor(false, false);
  const bool dragging = FState == isDragging;
  if (dragging && FDragImages) FDragImages->HideDragImage();
  TkxInspectorViewInfo vi;
  CalcViewInfo(vi);
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  FGridBrush = CreateSolidBrush(ColorToRGB(FGridColor));
  FTreeLineBrush = CreateSolidBrush(ColorToRGB(FTreeLineColor));
  FBackBrush = CreateSolidBrush(ColorToRGB(Color()));
  FCategoryBrush = CreateSolidBrush(ColorToRGB(FCategoryColor));
  try {
    if ((FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) && FFocusedNode) {
      TRect f;
      GetRowRect(FFocusedNode, f);
      if (!IsRectEmpty(&f)) {
        f = TRect{f.left - 1, f.top - 2, f.right + 1, f.bottom};
        TRect e = f;
        DrawEdge(dc, &e, EDGE_SUNKEN, BF_LEFT | BF_TOP);
        e = f;
        DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
        HRGN ring = CreateRectRgnIndirect(&f);
        TRect inner{f.left + 2, f.top + 2, f.right - 1, f.bottom - 1};
        HRGN in = CreateRectRgnIndirect(&inner);
        CombineRgn(ring, ring, in, RGN_DIFF);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        if (GetClipRgn(dc, clip) != 1) {
          DeleteObject(clip);
          clip = CreateRectRgnIndirect(&vi.ClientRect);
        }
        CombineRgn(clip, clip, ring, RGN_DIFF);
        SelectClipRgn(dc, clip);
        DeleteObject(clip);
        DeleteObject(ring);
        DeleteObject(in);
      }
    }
    if (!IsRectEmpty(&vi.EmptyRect)) FillRect(dc, &vi.EmptyRect, FBackBrush);
    for (auto& b : vi.Bands) PaintBand(c, b);
  } catch (...) {
    DeleteObject(FGridBrush);
    DeleteObject(FTreeLineBrush);
    DeleteObject(FBackBrush);
    DeleteObject(FCategoryBrush);
    FGridBrush = FTreeLineBrush = FBackBrush = FCategoryBrush = nullptr;
    SelectClipRgn(dc, nullptr);
    throw;
  }
  DeleteObject(FGridBrush);
  DeleteObject(FTreeLineBrush);
  DeleteObject(FBackBrush);
  DeleteObject(FCategoryBrush);
  FGridBrush = FTreeLineBrush = FBackBrush = FCategoryBrush = nullptr;
  SelectClipRgn(dc, nullptr);
  if (dragging && FDragImages) FDragImages->ShowDragImage();
}

void TCustomkxInspector::DrawEtchedLine(HDC DC, int X, int Top, int Bottom) {
  TRect r{X, Top, X + 2, Bottom};
  DrawEdge(DC, &r, EDGE_ETCHED, BF_LEFT);
}

void TCustomkxInspector::PaintBand(TCanvas* Canvas, TkxInspectorBandInfo& Band) {
  HDC dc = Canvas->Handle();
  if (FOptions.Contains(ioAutoBandCount)) {
    const TRect& s = Band.SeparatorRect;
    PixelLine(dc, s.left, s.top, s.left, s.bottom - 1, FGridColor);
    PixelLine(dc, s.left + 1, s.top, s.left + 1, s.bottom - 1, Color());
    PixelLine(dc, s.left + 2, s.top, s.left + 2, s.bottom - 1, FGridColor);
  }
  if (!IsRectEmpty(&Band.EmptyRect)) FillRect(dc, &Band.EmptyRect, FBackBrush);
  if (Band.Rows.empty() && ComponentState().Contains(csDesigning)) {
    const int x = Band.RowsRect.left + FDividerPos;
    if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended)
      DrawEtchedLine(dc, x, Band.RowsRect.top, Band.RowsRect.bottom);
    else
      PixelLine(dc, x, Band.RowsRect.top, x, Band.RowsRect.bottom - 1, FGridColor);
  }
  bool dividerFlag = false;
  int y = Band.RowsRect.top;
  for (const auto& row : Band.Rows) {
    TRect r{Band.RowsRect.left, y, Band.RowsRect.right, y + row.Height};
    y += row.Height;
    if (FPaintStyle != ipsCategorized) {
      PaintRowGridLine(Canvas, row.Node, r);
      r.bottom -= FGridLineWidth;
    }
    PaintRow(Canvas, row.Node, r, dividerFlag);
  }
}

void TCustomkxInspector::PaintRowGridLine(TCanvas* Canvas, TkxInspectorNode* Node, const TRect& R) {
  HDC dc = Canvas->Handle();
  TRect line{R.left, R.bottom - 1, R.right, R.bottom};
  switch (FPaintStyle) {
    case ipsStandard:
    case ipsExtended: {
      const COLORREF oldBk = SetBkColor(dc, ColorToRGB(FGridColor));
      const COLORREF oldText = SetTextColor(dc, ColorToRGB(Color()));
      FillRect(dc, &line, kxDottedBrush());
      SetBkColor(dc, oldBk);
      SetTextColor(dc, oldText);
      break;
    }
    case ipsSimple: FillRect(dc, &line, FGridBrush); break;
    case ipsNET: {
      int split = R.left + FIndentWidth;
      HBRUSH a, b;
      TkxInspectorNode* next = GetNextVisible(Node);
      if (!IsRootCategory(Node)) {
        a = Node == LastNode() ? FGridBrush : FBackBrush;
        b = FGridBrush;
        if (!IsRootCategory(next)) {
          if (BelongsToCategory(Node)) {
            TkxInspectorNode* root = GetRootNode(Node);
            if (root->GetLastVisible() == Node)
              a = b = FTreeLineBrush;
            else
              a = FCategoryBrush;
          }
        } else {
          a = b = FTreeLineBrush;
        }
      } else {
        a = b = FTreeLineBrush;
        if (Node->Expanded()) {
          a = FCategoryBrush;
          --split;
        }
      }
      TRect ra{line.left, line.top, split, line.bottom}, rb{split, line.top, line.right, line.bottom};
      FillRect(dc, &ra, a);
      FillRect(dc, &rb, b);
      break;
    }
    default: break;
  }
}

void TCustomkxInspector::PaintRow(TCanvas* Canvas, TkxInspectorNode* Node, TRect R, bool& DividerFlag) {
  HDC dc = Canvas->Handle();
  TkxInspectorCellLayout l;
  GetCellLayout(Node, R, l);
  AnsiString caption, text;
  GetNodeStrings(Node, caption, text);
  Canvas->Brush()->SetColor(Color());
  Canvas->Font()->Assign(Font());
  const bool category = IsCategory(Node);
  const bool focused = Node == FFocusedNode;
  if (FPaintStyle == ipsCategorized) {
    if (category) Canvas->Brush()->SetColor(clBtnShadow);
    PaintCategorizedFrame(Canvas, Node, R, l);
  }
  if (FPaintStyle == ipsSimple || FPaintStyle == ipsNET || FPaintStyle == ipsCategorized) {
    if (FPaintStyle == ipsNET && IsRootCategory(Node)) Canvas->Brush()->SetColor(FCategoryColor);
    if (focused && FPaintStyle != ipsCategorized) {
      Canvas->Brush()->SetColor(clHighlight);
      Canvas->Font()->SetColor(clHighlightText);
    }
    bool bold = Node->HasChildren();
    if (FPaintStyle == ipsNET || FPaintStyle == ipsCategorized) bold = category;
    TFontStyles st = Canvas->Font()->Style();
    if (bold) st << fsBold; else st >> fsBold;
    Canvas->Font()->SetStyle(st);
  }
  const bool clip = !category && l.CaptionRect.right < l.IndentRect.right;
  const int saved = SaveDC(dc);
  if (clip) IntersectClipRect(dc, R.left, R.top, l.CaptionRect.right, R.bottom);
  if (category) {
    TFontStyles st = Canvas->Font()->Style();
    st << fsBold;
    Canvas->Font()->SetStyle(st);
  }
  DrawCaption(Canvas, Node, caption, l.CaptionRect, l.ButtonKind, l.ImageRect, l.ButtonRect, l);
  if (FPaintStyle == ipsCategorized && EditorFocused() && focused && !category) {
    TRect fr{l.CaptionRect.left - 1, l.CaptionRect.top, l.CaptionRect.right - 1, l.CaptionRect.bottom};
    const COLORREF ob = SetBkColor(dc, RGB(0, 0, 0)), ot = SetTextColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &fr);
    SetBkColor(dc, ob);
    SetTextColor(dc, ot);
  }
  RestoreDC(dc, saved);
  if (category) {
    DividerFlag = false;
    return;
  }
  if (FPaintStyle != ipsCategorized) {
    const int x = R.left + FDividerPos;
    const int top = DividerFlag ? R.top - 1 : R.top;
    if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended)
      DrawEtchedLine(dc, x, top, R.bottom);
    else
      PixelLine(dc, x, top, x, R.bottom - 1, FGridColor);
    DividerFlag = true;
  } else {
    TRect gap{l.CaptionRect.right, R.top, l.CaptionRect.right + 2, R.bottom};
    FillSolid(dc, gap, Color());
  }
  Canvas->Brush()->SetColor(Color());
  Canvas->Font()->Assign(Font());
  Canvas->Font()->SetColor(GetValueFontColor());
  if (FPaintStyle == ipsCategorized) {
    Canvas->Brush()->SetColor(clWindow);
    Canvas->Font()->SetColor(Font()->Color());
  } else if (focused && (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended)) {
    Canvas->Brush()->SetColor(GetEditColor());
    Canvas->Font()->SetColor(Font()->Color());
  }
  TAlignment a = taLeftJustify;
  DrawValue(Canvas, l.ValueRect, a, text, Node);
}

void TCustomkxInspector::PaintCategorizedFrame(TCanvas* Canvas, TkxInspectorNode* Node, const TRect& R,
                                               const TkxInspectorCellLayout& L) {
  HDC dc = Canvas->Handle();
  if (IsCategory(Node)) {
    FillSolid(dc, L.IndentRect, Color());
    TRect rest{L.IndentRect.right, R.top, R.right, R.bottom};
    const bool active = Node == FFocusedNode || IsHotNode(Node);
    if (active) {
      if (Node == FPressedNode && FState == isPressed) {
        TRect e = rest;
        DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        DrawEdge(dc, &e, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
      } else {
        TRect e = rest;
        DrawEdge(dc, &e, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        DrawEdge(dc, &e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      }
    } else {
      HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
      FrameRect(dc, &rest, b);
      DeleteObject(b);
    }
    if (Node->HasChildren() && !IsRectEmpty(&L.ButtonRect)) {
      FillSolid(dc, L.ButtonRect, Canvas->Brush()->Color());
      const int cx = (L.ButtonRect.left + L.ButtonRect.right) / 2, cy = (L.ButtonRect.top + L.ButtonRect.bottom) / 2;
      const TColor fc = Font()->Color();
      if (Node->Expanded()) {
        // two down-pointing chevrons, 5 wide and 6 high in all
        for (int k = 0; k < 2; ++k)
          for (int j = 0; j < 3; ++j) {
            const int y = cy - 3 + k * 3 + j;
            PixelLine(dc, cx - 2 + j, y, cx - 2 + j, y, fc);
            PixelLine(dc, cx + 2 - j, y, cx + 2 - j, y, fc);
          }
      } else {
        for (int k = 0; k < 2; ++k)
          for (int j = 0; j < 3; ++j) {
            const int x = cx - 3 + k * 3 + j;
            PixelLine(dc, x, cy - 2 + j, x, cy - 2 + j, fc);
            PixelLine(dc, x, cy + 2 - j, x, cy + 2 - j, fc);
          }
      }
    }
  } else {
    TRect f = R;
    HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
    FrameRect(dc, &f, b);
    InflateRect(&f, -1, -1);
    FrameRect(dc, &f, b);
    FillRect(dc, &L.IndentRect, b);
    DeleteObject(b);
    if (Node->HasChildren() && !IsRectEmpty(&L.ButtonRect)) DrawBoxButton(Canvas, L.ButtonRect, Node->Expanded(), Node);
  }
}

void TCustomkxInspector::DrawBoxButton(TCanvas* Canvas, const TRect& R, bool Expanded, TkxInspectorNode* Node) {
  HDC dc = Canvas->Handle();
  const int x = (R.left + R.right - 9) / 2, y = (R.top + R.bottom - 9) / 2;
  const TColor outline = FPaintStyle == ipsNET ? Font()->Color() : Canvas->Font()->Color();
  TRect box{x, y, x + 9, y + 9};
  TRect inner{x + 1, y + 1, x + 8, y + 8};
  FillSolid(dc, inner, FPaintStyle == ipsNET && IsCategory(Node) ? FCategoryColor : Color());
  HBRUSH b = CreateSolidBrush(ColorToRGB(outline));
  FrameRect(dc, &box, b);
  DeleteObject(b);
  PixelLine(dc, x + 2, y + 4, x + 6, y + 4, outline);
  if (!Expanded) PixelLine(dc, x + 4, y + 2, x + 4, y + 6, outline);
}

void TCustomkxInspector::DrawIndent(TCanvas* Canvas, const TRect& IndentRect, TkxInspectorNode* Node, int ButtonKind,
                                   const TRect& ButtonRect) {
  HDC dc = Canvas->Handle();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Canvas->Brush()->Color()));
  if (FPaintStyle == ipsNET) {
    const int i = FIndentWidth;
    TRect rest{IndentRect.left + i, IndentRect.top, IndentRect.right, IndentRect.bottom};
    if (!IsRectEmpty(&rest)) FillRect(dc, &rest, brush);
    const bool inCategory = BelongsToCategory(Node);
    TRect left{IndentRect.left, IndentRect.top, IndentRect.left + i - 1, IndentRect.bottom};
    FillSolid(dc, left, inCategory ? FCategoryColor : Color());
    TkxInspectorNode* next = GetNextVisible(Node);
    const int bottom = IsRootCategory(Node) || IsRootCategory(next) ? IndentRect.bottom : IndentRect.bottom + 1;
    TRect col{IndentRect.left + i - 1, IndentRect.top, IndentRect.left + i, bottom};
    FillSolid(dc, col, inCategory && !IsRootCategory(Node) ? FTreeLineColor : FGridColor);
  } else if (FPaintStyle == ipsCategorized) {
    if (IsCategory(Node))
      FillSolid(dc, IndentRect, Color());
    else
      FillRect(dc, &IndentRect, brush);
  } else {
    FillRect(dc, &IndentRect, brush);
  }
  DeleteObject(brush);
  if (ButtonKind == 0 || IsRectEmpty(&ButtonRect)) return;
  switch (FPaintStyle) {
    case ipsStandard: {
      const char* s = ButtonKind == 1 ? "+" : "-";
      const int old = SetBkMode(dc, TRANSPARENT);
      Canvas->Font()->SetStyle(Canvas->Font()->Style() >> fsBold);
      const int w = Canvas->TextWidth(s), h = Canvas->TextHeight(s);
      TextOutA(dc, (ButtonRect.left + ButtonRect.right - w) / 2, (ButtonRect.top + ButtonRect.bottom - h) / 2, s, 1);
      SetBkMode(dc, old);
      break;
    }
    case ipsExtended: {
      const int x = (ButtonRect.left + ButtonRect.right - 10) / 2, y = (ButtonRect.top + ButtonRect.bottom - 10) / 2;
      TRect box{x, y, x + 10, y + 10};
      FillSolid(dc, box, clBtnFace);
      TRect e = box;
      DrawEdge(dc, &e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      e = box;
      DrawEdge(dc, &e, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      e = TRect{box.left, box.top, box.right - 1, box.bottom - 1};
      DrawEdge(dc, &e, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
      PixelLine(dc, x + 2, y + 4, x + 6, y + 4, clBtnText);
      if (ButtonKind == 1) PixelLine(dc, x + 4, y + 2, x + 4, y + 6, clBtnText);
      break;
    }
    case ipsSimple:
    case ipsNET: DrawBoxButton(Canvas, ButtonRect, ButtonKind == 2, Node); break;
    default: break;
  }
}

void TCustomkxInspector::DrawImage(TCanvas* Canvas, const TRect& R, int Index) {
  if (!FImages || Index < 0 || Index >= FImages->Count()) return;
  FImages->Draw(Canvas, (R.left + R.right - FImageWidth + 1) / 2, (R.top + R.bottom - FImageHeight + 1) / 2, Index);
}

void TCustomkxInspector::DrawCaption(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption,
                                     TRect CaptionRect, int ButtonKind, TRect ImageRect, TRect ButtonRect,
                                     const TkxInspectorCellLayout& Layout) {
  if (FPaintStyle != ipsCategorized) DrawIndent(Canvas, Layout.IndentRect, Node, ButtonKind, ButtonRect);
  if (!IsRectEmpty(&ImageRect)) DrawImage(Canvas, ImageRect, GetImageIndex(Node));
  DrawCaptionText(Canvas, Node, Caption, CaptionRect);
}

void TCustomkxInspector::DrawCaptionText(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption, TRect R) {
  DrawCellText(Canvas, R, taLeftJustify, Caption);
}

void TCustomkxInspector::DrawCellText(TCanvas* Canvas, const TRect& R, TAlignment Alignment, const AnsiString& Text) {
  std::unique_ptr<TkxEditViewData> vd(TkxInplaceTextEdit::ClassRef()->NewViewData());
  vd->Enabled = true;
  vd->Focused = false;
  vd->Selected = false;
  vd->BorderColor = clNone;
  vd->BorderStyle = xbsNone;
  vd->ButtonStyle = FPaintStyle == ipsCategorized || FFlat ? btsFlat : bts3D;
  vd->ButtonTransparent = false;
  vd->Edges = kxAllEdges;
  vd->Shadow = false;
  vd->Transparent = false;
  vd->TextOffsets = TRect{0, 0, 0, 0};
  CalcViewBounds(R, vd->Bounds);
  vd->DrawAlignment = FTextHeight < R.Height() ? kxdaMultiLine : kxdaTop;
  vd->Font = Canvas->Font()->Handle();
  vd->Brush = Canvas->Brush()->Handle();
  vd->BkColor = ColorToRGB(Canvas->Brush()->Color());
  vd->TextColor = ColorToRGB(Canvas->Font()->Color());
  vd->Alignment = Alignment;
  vd->Value = Variant(Text);
  if (auto* t = dynamic_cast<TkxTextEditViewData*>(vd.get())) t->EndEllipsis = FOptions.Contains(ioDrawEndEllipsis);
  TkxInplaceTextEdit::ClassRef()->Draw(Canvas->Handle(), nullptr, vd.get());
}

void TCustomkxInspector::DrawItemSeparator(TCanvas* Canvas, const TRect& R, bool IsValue) {
  if (!FComplexRowSeparator.empty()) {
    DrawCellText(Canvas, R, taCenter, FComplexRowSeparator);
    return;
  }
  HDC dc = Canvas->Handle();
  if (IsValue && FPaintStyle == ipsCategorized) {
    FillSolid(dc, R, Canvas->Brush()->Color());
    return;
  }
  FillSolid(dc, R, Canvas->Brush()->Color());
  DrawEtchedLine(dc, (R.left + R.right) / 2 - 1, R.top, R.bottom);
}

void TCustomkxInspector::DrawValue(TCanvas* Canvas, TRect ValueRect, TAlignment& Alignment, const AnsiString& Text,
                                   TkxInspectorNode* Node) {
  FCell->Brush = Canvas->Brush()->Handle();
  FCell->Font = Canvas->Font()->Handle();
  FCell->BkColor = Canvas->Brush()->Color();
  FCell->TextColor = Canvas->Font()->Color();
  FCell->Alignment = Alignment;
  FCell->Text = Text;
  FCell->DataLength = 0;
  FCell->EndEllipsis = FOptions.Contains(ioDrawEndEllipsis);
  FCell->Node = Node;
  FCell->Hot = IsHotNode(Node);
  FCell->Bounds = TRect{0, 0, ValueRect.Width(), ValueRect.Height()};
  InflateRect(&FCell->Bounds, 2, 2);
  DrawValueCell(Canvas, ValueRect, FCell);
}

void TCustomkxInspector::GetNodeStrings(TkxInspectorNode* Node, AnsiString& Caption, AnsiString& Text) {
  Caption.clear();
  Text.clear();
}

void TCustomkxInspector::GetItemAtPoint(TkxInspectorNode* Node, const TRect& CellRect, TRect& ItemRect,
                                        int& ItemIndex, TPoint P) {
  ItemIndex = -1;
  ItemRect = TRect();
}

void TCustomkxInspector::GetDragCaption(TkxInspectorNode* Node, AnsiString& Text) {
  AnsiString value;
  GetNodeStrings(Node, Text, value);
}

bool TCustomkxInspector::GetHintInfo(TkxInspectorNode* Node, int ItemIndex, bool& Delay, TPoint& P, AnsiString& Text,
                                     TRect CellRect, bool IsValue, TRect ItemRect) {
  Delay = false;
  return false;
}

// ---------------------------------------------------------------------------
// Hit testing

void TCustomkxInspector::GetHitInfo(TPoint P, TkxInspectorHitInfo& H) {
  H = TkxInspectorHitInfo();
  const TRect cr = ClientRect();
  if (!PtInRect(&cr, P)) return;
  H.HitCode = ihcNowhere;
  TkxInspectorViewInfo vi;
  CalcViewInfo(vi);
  const bool bandMode = FOptions.Contains(ioAutoBandCount);
  for (const auto& b : vi.Bands) {
    if (!PtInRect(&b.BandRect, P)) continue;
    H.BandIndex = b.Index;
    if ((bandMode && PtInRect(&b.SeparatorRect, P)) ||
        (bandMode && vi.BandCount() == 1 && P.x >= cr.right - 3)) {
      H.HitCode = ihcBandSeparator;
      return;
    }
    TRect rowRect{};
    int y = b.RowsRect.top;
    for (const auto& r : b.Rows) {
      if (P.y >= y && P.y < y + r.Height) {
        H.Node = r.Node;
        H.AbsoluteIndex = GetAbsoluteIndex(r.Node);
        rowRect = TRect{b.RowsRect.left, y, b.RowsRect.right, y + r.Height};
        break;
      }
      y += r.Height;
    }
    const int dx = b.RowsRect.left + FDividerPos;
    if (P.x >= dx - 2 && P.x <= dx + 2 && !(H.Node && IsCategory(H.Node))) {
      H.HitCode = ihcDivider;
      return;
    }
    if (!H.Node) return;
    if (FOptions.Contains(ioRowSizing) && P.y >= rowRect.bottom - 2) {
      H.HitCode = ihcRowBottom;
      return;
    }
    TkxInspectorCellLayout l;
    GetCellLayout(H.Node, rowRect, l);
    TRect indent = l.IndentRect;
    if (FPaintStyle == ipsCategorized && IsRootCategory(H.Node)) indent.right += FIndentWidth;
    const bool category = IsCategory(H.Node);
    if (PtInRect(&indent, P)) {
      H.HitCode = ihcIndent;
      if (H.Node->HasChildren() && PtInRect(&l.ButtonRect, P)) H.HitCode = ihcButton;
      if (PtInRect(&l.ImageRect, P)) H.HitCode = ihcImage;
      return;
    }
    if (FPaintStyle == ipsCategorized && category && PtInRect(&l.ButtonRect, P)) {
      H.HitCode = ihcButton;
      return;
    }
    const bool caption = P.x <= rowRect.left + FDividerPos || category;
    H.HitCode = caption ? ihcCaption : ihcValue;
    GetItemAtPoint(H.Node, caption ? l.CaptionRect : l.ValueRect, H.ItemRect, H.ItemIndex, P);
    if (!IsRectEmpty(&H.ItemRect) && H.ItemIndex == -1) H.HitCode = ihcItemSeparator;
    return;
  }
}

TkxInspectorHitCode TCustomkxInspector::GetHitTestCode(int X, int Y) {
  TkxInspectorHitInfo h;
  GetHitInfo(TPoint{X, Y}, h);
  return h.HitCode;
}

TkxInspectorNode* TCustomkxInspector::GetNodeAt(int X, int Y) {
  TkxInspectorHitInfo h;
  GetHitInfo(TPoint{X, Y}, h);
  return h.Node;
}

// ---------------------------------------------------------------------------
// Mouse

bool TCustomkxInspector::DraggingAllowed() { return FCustomizeForm || DragMode() == dmAutomatic; }

int TCustomkxInspector::SizingMinHeight(TkxInspectorNode* Node) {
  return FMinRowHeight - (FPaintStyle == ipsCategorized && IsCategory(Node) ? 2 : 0);
}

void TCustomkxInspector::StartScrollTimer() {
  if (!HandleAllocated()) return;
  SetTimer(Handle(), cScrollTimer, 60, nullptr);
  FScrollTimer = true;
}

void TCustomkxInspector::StopScrollTimer() {
  if (FScrollTimer && HandleAllocated()) KillTimer(Handle(), cScrollTimer);
  FScrollTimer = false;
}

void TCustomkxInspector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (EditorFocused()) {
    // A click ends the row's edit as closing the editor does: text that is no
    // date, or does not fill its mask, keeps the stored value instead of
    // becoming a stand-in value the author never typed.
    if (FEditor && FEditedNode) FEditor->CloseFlag = true;
    PostEditor();
  }
  if (!ComponentState().Contains(csDesigning) && (CanFocus() || !GetParentForm(this))) {
    SetFocus();
    if (!HasFocus()) {
      SetMouseCapture(false);
      return;
    }
  }
  GetHitInfo(TPoint{X, Y}, FHitInfo);
  FFocusedItem = FHitInfo.ItemIndex;
  if (FState != isNormal && Button == mbRight) CancelSizing();
  const bool dbl = Shift.Contains(ssDouble);
  if (Button == mbLeft && FState == isNormal && MouseCapture()) {
    const TkxInspectorHitCode code = FHitInfo.HitCode;
    if (code == ihcDivider && FOptions.Contains(ioColumnSizing)) {
      FState = isDividerSizing;
      FSizingSaved = FDividerPos;
      FSizingBand = FHitInfo.BandIndex;
      FSizingPos = X;
      KillHintTimers();
      Update();
      DrawSizingLine();
      return;
    }
    if (code == ihcBandSeparator && FOptions.Contains(ioBandSizing)) {
      FState = isBandSizing;
      FSizingSaved = FBandWidth;
      FSizingBand = FHitInfo.BandIndex;
      FSizingPos = X;
      KillHintTimers();
      Update();
      return;
    }
    if (code == ihcRowBottom && FHitInfo.Node) {
      FState = isRowSizing;
      FSizingSaved = GetRowHeight(FHitInfo.Node);
      FSizingNode = FHitInfo.Node;
      FSizingPos = Y;
      KillHintTimers();
      Update();
      DrawSizingLine();
      return;
    }
    if ((code >= ihcIndent && code <= ihcValue) || code == ihcItemSeparator) {
      FState = isPressed;
      FPressedNode = FHitInfo.Node;
      if (FPaintStyle == ipsCategorized) InvalidateRow(FPressedNode, false);
      FPressPoint = TPoint{X, Y};
      SetFocusedNode(FHitInfo.Node);
      if (code == ihcButton || ((code == ihcImage || code == ihcCaption) && dbl)) {
        if (FHitInfo.Node) FHitInfo.Node->SetExpanded(!FHitInfo.Node->Expanded());
        if (dbl) DblClick();
        FState = isNormal;
        TCustomkxContainer::MouseDown(Button, Shift, X, Y);
        return;
      }
      try {
        ShowEditorIfEditing();
      } catch (...) {
        FState = isNormal;
        throw;
      }
      if (X > FDividerPos) {
        FClickItemIndex = FHitInfo.ItemIndex;
        FClickEditor = FEditor;
        FClickNode = FEditedNode;
      }
      Click();
      StartScrollTimer();
    }
  }
  if (Button == mbLeft && FHitInfo.HitCode == ihcNowhere) {
    if (dbl) {
      DblClick();
    } else {
      TkxInspectorNode* n = nullptr;
      if (FOptions.Contains(ioAutoBandCount)) {
        TkxInspectorViewInfo vi;
        CalcViewInfo(vi);
        for (const auto& b : vi.Bands)
          if (b.Index == FHitInfo.BandIndex && !b.Rows.empty()) n = b.Rows.back().Node;
      } else {
        n = LastNode();
      }
      if (n) {
        SetFocusedNode(n);
        n->MakeVisible();
        ShowEditorIfEditing();
      }
    }
  }
  TCustomkxContainer::MouseDown(Button, Shift, X, Y);
}

void TCustomkxInspector::MouseMove(TShiftState Shift, int X, int Y) {
  GetHitInfo(TPoint{X, Y}, FHitInfo);
  const int k = std::max(FSizingBand - FFirstVisibleBand, 0);
  switch (FState) {
    case isDividerSizing: {
      int v = X - k * FBandWidth;
      v = ClampDivider(v, GetColumnWidth());
      const int x = k * FBandWidth + v;
      if (x != FSizingPos) {
        DrawSizingLine();
        FSizingPos = x;
        DrawSizingLine();
        if (IsDynamicSizing()) SetDividerPos(x - k * FBandWidth);
      }
      break;
    }
    case isBandSizing: {
      int v = std::max(X - k * FBandWidth, FMinBandWidth);
      const int x = std::min(k * FBandWidth + v, ClientWidth());
      if (x != FSizingPos) {
        FSizingPos = x;
        SetBandWidth(x / (k + 1));
      }
      break;
    }
    case isRowSizing: {
      TRect r;
      GetRowRect(FSizingNode, r);
      int y = std::max(Y, int(r.top) + SizingMinHeight(FSizingNode) - 1);
      y = std::min(y, ClientHeight() - 1);
      if (y != FSizingPos) {
        DrawSizingLine();
        FSizingPos = y;
        DrawSizingLine();
      }
      break;
    }
    case isPressed: {
      KillHintTimers();
      if (!Shift.Contains(ssLeft)) {
        EndPress(true);
        break;
      }
      if (DraggingAllowed() && (std::abs(X - FPressPoint.x) > 5 || std::abs(Y - FPressPoint.y) > 5)) {
        FDragNode = FPressedNode ? FPressedNode : FHitInfo.Node;
        if (FDragNode && FDragNode != FFocusedNode) SetFocusedNode(FDragNode);
        EndPress(false);
        BeginDrag(false, -1);
      } else if (!DraggingAllowed() && FHitInfo.Node) {
        SetFocusedNode(FHitInfo.Node);
        if (FFocusedNode != FClickNode) FClickNode = nullptr;
      }
      break;
    }
    default: break;
  }
  if (FShowRowHint) {
    if (FState != isNormal || (FHitInfo.HitCode != ihcCaption && FHitInfo.HitCode != ihcValue)) {
      ResetHintTarget();
    } else if (FHitInfo.Node != FHintNode || FHitInfo.HitCode != FHintCode || FHitInfo.ItemIndex != FHintItem) {
      ShowRowHintAt(true);
      FHintNode = FHitInfo.Node;
      FHintCode = FHitInfo.HitCode;
      FHintItem = FHitInfo.ItemIndex;
    }
  }
  HotTrack(FHitInfo.Node);
  TCustomkxContainer::MouseMove(Shift, X, Y);
}

void TCustomkxInspector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  GetHitInfo(TPoint{X, Y}, FHitInfo);
  const int k = std::max(FSizingBand - FFirstVisibleBand, 0);
  switch (FState) {
    case isPressed:
      EndPress(FHitInfo.Node == FPressedNode);
      StopScrollTimer();
      break;
    case isDividerSizing:
      DrawSizingLine();
      FState = isNormal;
      SetDividerPos(FSizingPos - k * FBandWidth);
      break;
    case isBandSizing:
      FState = isNormal;
      SetBandWidth(FSizingPos / (k + 1));
      break;
    case isRowSizing: {
      DrawSizingLine();
      TkxInspectorNode* n = FSizingNode;
      FState = isNormal;
      if (n) {
        TRect r;
        GetRowRect(n, r);
        SetNodeRowHeight(n, std::max(std::min(Y, ClientHeight() - 1) - int(r.top) + 1, SizingMinHeight(n)));
      }
      FSizingNode = nullptr;
      break;
    }
    default: break;
  }
  if (FEditor && FEditedNode && FEditor == FClickEditor && FEditedNode == FClickNode &&
      FHitInfo.HitCode == ihcValue && FHitInfo.ItemIndex == FClickItemIndex) {
    FClickEditor = nullptr;
    FClickNode = nullptr;
    FClickItemIndex = -1;
    FEditor->ClickActivate();
    FEditor->InvalidateInContainer();
  }
  TCustomkxContainer::MouseUp(Button, Shift, X, Y);
}

void TCustomkxInspector::EndPress(bool SameNode) {
  FState = isNormal;
  TkxInspectorNode* n = FPressedNode;
  FPressedNode = nullptr;
  InvalidateRow(n, false);
  if (FPaintStyle == ipsCategorized && SameNode && n && IsCategory(n)) n->SetExpanded(!n->Expanded());
}

void TCustomkxInspector::CancelSizing() {
  if (FState == isDividerSizing || FState == isBandSizing || FState == isRowSizing) {
    DrawSizingLine();
    const TkxInspectorState old = FState;
    FState = isNormal;
    Perform(WM_SETCURSOR, WPARAM(HandleAllocated() ? Handle() : nullptr), HTCLIENT);
    if ((old == isDividerSizing && FOptions.Contains(ioDynamicColumnSizing)) || old == isBandSizing) {
      if (old == isDividerSizing)
        SetDividerPos(FSizingSaved);
      else
        SetBandWidth(FSizingSaved);
      Invalidate();
      Update();
    }
    FSizingNode = nullptr;
  }
  KillHintTimers();
}

// The sizing line is drawn inverted on the desktop overlay, so drawing it twice
// restores the pixels.
void TCustomkxInspector::DrawSizingLine() {
  if (!HandleAllocated()) return;
  if (FState == isBandSizing) return;
  if (FState != isRowSizing && FState != isDividerSizing) return;
  if (IsDynamicSizing()) return;
  TRect line;
  if (FState == isRowSizing) {
    TRect r;
    GetRowRect(FSizingNode, r);
    line = TRect{r.left, FSizingPos, r.right, FSizingPos + 1};
  } else {
    TkxInspectorViewInfo vi;
    CalcViewInfo(vi);
    TRect band = vi.ClientRect;
    TRect fr;
    GetRowRect(FFocusedNode, fr);
    for (const auto& b : vi.Bands)
      if (!IsRectEmpty(&fr) && fr.left >= b.BandRect.left && fr.left < b.BandRect.right) band = b.BandRect;
    line = TRect{FSizingPos, band.top, FSizingPos + 1, band.bottom};
  }
  TPoint o{0, 0};
  ::ClientToScreen(Handle(), &o);
  HDC dc = GetDCEx(nullptr, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  PatBlt(dc, o.x + line.left, o.y + line.top, line.Width(), line.Height(), DSTINVERT);
  ReleaseDC(nullptr, dc);
  FSizingLineShown = !FSizingLineShown;
}

void TCustomkxInspector::WMSetCursor(TMessage& Message) {
  if (LOWORD(Message.LParam) == HTCLIENT) {
    TCursor cur = crDefault;
    if (FState == isNormal) {
      TPoint p = FNCHitPoint;
      if (HandleAllocated()) ::ScreenToClient(Handle(), &p);
      switch (GetHitTestCode(p.x, p.y)) {
        case ihcDivider:
          if (FOptions.Contains(ioColumnSizing)) cur = crHSplit;
          break;
        case ihcBandSeparator:
          if (FOptions.Contains(ioBandSizing)) cur = crHSplit;
          break;
        case ihcRowBottom:
          if (FOptions.Contains(ioRowSizing)) cur = crVSplit;
          break;
        default: break;
      }
    } else if (FState == isDividerSizing || FState == isBandSizing) {
      cur = crHSplit;
    } else if (FState == isRowSizing) {
      cur = crVSplit;
    }
    if (cur != crDefault) {
      ::SetCursor(Screen->Cursors(cur));
      Message.Result = 1;
      return;
    }
  }
  TCustomkxContainer::Dispatch(Message);
}

void TCustomkxInspector::WMCancelMode(TMessage& Message) {
  CancelSizing();
  TCustomkxContainer::Dispatch(Message);
}

void TCustomkxInspector::WMCaptureChanged(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  if (FState == isPressed) StopScrollTimer();
}

void TCustomkxInspector::WMDestroy(TMessage& Message) {
  KillHintTimers();
  StopScrollTimer();
  TCustomkxContainer::Dispatch(Message);
}

void TCustomkxInspector::WndProc(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FState != isDragging &&
      DraggingAllowed()) {
    // Not given to the automatic drag start: a drag begins only after the 5-pixel move.
    if (FEditor && Message.Msg == WM_LBUTTONDOWN) FEditor->ActivationClickTime = DWORD(GetMessageTime());
    SetControlState(ControlState() << csLButtonDown);
    Dispatch(Message);
    return;
  }
  if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE && FState == isDragging && DraggingAllowed()) {
    EndDrag(false);
    return;
  }
  if (Message.Msg == WM_LBUTTONDOWN && FEditor) FEditor->ActivationClickTime = DWORD(GetMessageTime());
  TCustomkxContainer::WndProc(Message);
}

void TCustomkxInspector::WMTimer(TMessage& Message) {
  switch (Message.WParam) {
    case cScrollTimer: {
      if (FState != isPressed && FState != isDragging) {
        StopScrollTimer();
        return;
      }
      TPoint p;
      GetCursorPos(&p);
      ::ScreenToClient(Handle(), &p);
      p.x = std::clamp<LONG>(p.x, 0, std::max(ClientWidth() - 1, 0));
      TkxInspectorViewInfo vi;
      CalcViewInfo(vi);
      TRect r{};
      for (const auto& b : vi.Bands)
        if (p.x >= b.BandRect.left && p.x < b.BandRect.right) {
          int h = 0;
          for (const auto& row : b.Rows) h += row.Height;
          r = TRect{b.RowsRect.left, b.RowsRect.top, b.RowsRect.right, b.RowsRect.top + h};
        }
      if (IsRectEmpty(&r)) return;
      const bool bandMode = FOptions.Contains(ioAutoBandCount);
      if (p.y < r.top) {
        if (!bandMode && FFocusedNode != FTopNode) SetFocusedNode(FTopNode);
        SetFocusedNumber(FocusedNumber() - 1);
      } else if (p.y >= r.bottom) {
        if (!bandMode) {
          TkxInspectorNode* last = GetNodeByAbsoluteIndex(TopIndex() + FRowsPerPage - 1);
          if (last && FFocusedNode != last) SetFocusedNode(last);
        }
        SetFocusedNumber(FocusedNumber() + 1);
      }
      break;
    }
    case cHintTimer: ShowRowHintAt(false); break;
    case cHintHideTimer: KillHintTimers(); break;
    default: TCustomkxContainer::Dispatch(Message); break;
  }
}

void TCustomkxInspector::HotTrack(TkxInspectorNode* Node) {
  if (FPaintStyle != ipsCategorized || FState != isNormal || ComponentState().Contains(csDesigning)) return;
  if (Node == FHotNode) return;
  TkxInspectorNode* old = FHotNode;
  FHotNode = Node;
  InvalidateRow(old, false);
  InvalidateRow(Node, false);
}

void TCustomkxInspector::CMMouseEnter(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  if (!HandleAllocated()) return;
  TPoint p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  HotTrack(GetNodeAt(p.x, p.y));
}

void TCustomkxInspector::CMMouseLeave(TMessage& Message) {
  TCustomkxContainer::Dispatch(Message);
  HotTrack(nullptr);
  KillHintTimers();
  ResetHintTarget();
}

// ---------------------------------------------------------------------------
// Row hints

void TCustomkxInspector::KillHintTimers() {
  if (HandleAllocated()) {
    if (FHintTimer2) KillTimer(Handle(), cHintTimer);
    if (FHintTimer3) KillTimer(Handle(), cHintHideTimer);
  }
  FHintTimer2 = FHintTimer3 = false;
  if (FHintWindow) FHintWindow->HideHint();
}

void TCustomkxInspector::ResetHintTarget() {
  FHintNode = nullptr;
  FHintCode = ihcOutside;
  FHintItem = -1;
}

void TCustomkxInspector::ShowRowHintAt(bool Delayed) {
  KillHintTimers();
  if (!HandleAllocated()) return;
  TPoint c;
  GetCursorPos(&c);
  ::ScreenToClient(Handle(), &c);
  TkxInspectorHitInfo h;
  GetHitInfo(c, h);
  if ((h.HitCode != ihcCaption && h.HitCode != ihcValue) || !h.Node) return;
  TRect row;
  GetRowRect(h.Node, row);
  TkxInspectorCellLayout l;
  GetCellLayout(h.Node, row, l);
  TPoint p{0, row.top + FRowFrameWidth - 2};
  AnsiString text;
  bool delay = false;
  if (h.HitCode == ihcCaption) {
    if (!GetHintInfo(h.Node, h.ItemIndex, delay, p, text, l.CaptionRect, false, h.ItemRect)) text.clear();
  } else {
    if (!GetHintInfo(h.Node, h.ItemIndex, delay, p, text, l.ValueRect, true, h.ItemRect)) text.clear();
  }
  if (delay && Delayed && !text.empty()) {
    SetTimer(Handle(), cHintTimer, 1000, nullptr);
    FHintTimer2 = true;
    return;
  }
  if (text.empty()) return;
  ::ClientToScreen(Handle(), &p);
  if (!FHintWindow) FHintWindow = NewObject<TkxContainerHintWindow>(this);
  FHintWindow->ShowHint(p, 0, true, Font(), text);
  SetTimer(Handle(), cHintHideTimer, 5000, nullptr);
  FHintTimer3 = true;
}

// ---------------------------------------------------------------------------
// Row drag

void TCustomkxInspector::BuildDragImage() {
  if (!FDragNode) return;
  const int w = FDividerPos + 32, h = std::max(FTextHeight, 1);
  std::unique_ptr<TBitmap> bmp(new TBitmap());
  bmp->SetWidth(w);
  bmp->SetHeight(h);
  HDC dc = bmp->Canvas()->Handle();
  const COLORREF ob = SetBkColor(dc, ColorToRGB(clBtnShadow)), ot = SetTextColor(dc, ColorToRGB(Color()));
  TRect all{0, 0, w, h};
  FillRect(dc, &all, kxDottedBrush());
  SetBkColor(dc, ob);
  SetTextColor(dc, ot);
  AnsiString caption;
  GetDragCaption(FDragNode, caption);
  bmp->Canvas()->Font()->Assign(Font());
  bmp->Canvas()->Font()->SetStyle(bmp->Canvas()->Font()->Style() << fsBold);
  SetBkMode(dc, TRANSPARENT);
  TRect tr{30, 1, w - 1, h - 1};
  DrawTextA(dc, caption.c_str(), int(caption.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  PatBlt(dc, 0, 0, w, h, DSTINVERT);
  if (!FDragImages) {
    FDragImages = new TDragImageList(nullptr);
    FDragImages->SetSize(w, h);
    FDragImages->SetDrawingStyle(dsSelected);
  }
  FDragImages->Clear();
  FDragImages->AddMasked(bmp.get(), TColor(GetPixel(dc, 1, 0)));
}

void TCustomkxInspector::DoStartDrag(TDragObject*& DragObject) {
  TCustomkxContainer::DoStartDrag(DragObject);
  BuildDragImage();
  FState = isDragging;
  HideEditor();
  if (HandleAllocated()) ::SetFocus(Handle());
  TPoint p;
  GetCursorPos(&p);
  if (HandleAllocated()) ::ScreenToClient(Handle(), &p);
  AutoScrollCheck(p);
}

void TCustomkxInspector::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TCustomkxContainer::DragOver(Source, X, Y, State, Accept);
  if (FState == isDragging) AutoScrollCheck(TPoint{X, Y});
}

void TCustomkxInspector::AutoScrollCheck(TPoint P) {
  TkxInspectorHitInfo h;
  GetHitInfo(P, h);
  if (((h.HitCode >= ihcDivider && h.HitCode <= ihcValue) || h.HitCode == ihcItemSeparator) && h.Node)
    SetFocusedNode(h.Node);
  else if (h.HitCode == ihcOutside)
    StartScrollTimer();
}

void TCustomkxInspector::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomkxContainer::DoEndDrag(Target, X, Y);
  FDragNode = nullptr;
  FState = isNormal;
  StopScrollTimer();
  UpdateEditor(true, false);
  delete FDragImages;
  FDragImages = nullptr;
}
