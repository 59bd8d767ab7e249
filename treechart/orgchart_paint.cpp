// Organisation-chart painting: the position pass, connector lines, shapes,
// 3-D edges, images, text, focus rectangles and expand buttons, and the
// expand/collapse animation. The animation steps on a window timer of the
// chart (one frame every 10 ms), so the message loop keeps running while
// nodes slide into or out of their parent's box.
#include <algorithm>

#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "treechart/orgchart.h"

namespace {

constexpr UINT_PTR kOcAnimTimer = 1;
constexpr int kOcAnimSteps = 15;

bool OcRectsMeet(const TRect& A, const TRect& B) {
  return A.left <= B.right && B.left <= A.right && A.top <= B.bottom && B.top <= A.bottom;
}

}  // namespace

void TkxCustomOrgChart::DestroyWnd() {
  if (FAnimNode) StopAnimation();
  TCustomControl::DestroyWnd();
}

// ---- the text routine and the node content ----

void TkxCustomOrgChart::NodeTextOut(HDC DC, const AnsiString& Text, UINT BaseFlags, TRect& R) {
  UINT flags = BaseFlags | DT_EXPANDTABS;
  if (FEditMode.Contains(emCenter)) flags |= DT_CENTER;
  if (FEditMode.Contains(emRight)) flags |= DT_RIGHT;
  if (FEditMode.Contains(emWrap)) flags |= DT_WORDBREAK;
  if (FEditMode.Contains(emVCenter)) {
    TRect m = R;
    DrawTextA(DC, Text.c_str(), int(Text.size()), &m, flags | DT_CALCRECT);
    const int h = m.Height();
    if (h < R.Height()) {
      R.top += (R.Height() - h) / 2;
      R.bottom = R.top + h;
    }
  }
  DrawTextA(DC, Text.c_str(), int(Text.size()), &R, flags | DT_EDITCONTROL);
}

bool TkxCustomOrgChart::NodeShowsImage(const TkxOcNode* N) const {
  return FImages && N->FImageAlign != iaNone && N->FImageIndex != -1;
}

bool TkxCustomOrgChart::PlaceImage(const TkxOcNode* N, TRect& R, TPoint& At, TSize& Size) {
  if (!NodeShowsImage(N)) return false;
  const int w = ScaleValue(FImages->Width()), h = ScaleValue(FImages->Height());
  Size = {w, h};
  switch (N->FImageAlign) {
    case iaLT:
    case iaLC:
    case iaLB:
      At.x = R.left;
      R.left += w;
      break;
    case iaRT:
    case iaRC:
    case iaRB:
      R.right -= w;
      At.x = R.right;
      break;
    case iaTL:
    case iaTC:
    case iaTR:
      At.y = R.top;
      R.top += h;
      break;
    default:
      R.bottom -= h;
      At.y = R.bottom;
      break;
  }
  switch (N->FImageAlign) {
    case iaLT:
    case iaRT: At.y = R.top; break;
    case iaLC:
    case iaRC: At.y = R.top + (R.Height() - h) / 2; break;
    case iaLB:
    case iaRB: At.y = R.bottom - h; break;
    case iaTL:
    case iaBL: At.x = R.left; break;
    case iaTC:
    case iaBC: At.x = R.left + (R.Width() - w) / 2; break;
    default: At.x = R.right - w; break;
  }
  return true;
}

void TkxCustomOrgChart::PaintNode(TkxOcNode* Node, TCanvas* ACanvas, const TRect& Rect) {
  if (OnDrawNode && !FDestroying) {
    OnDrawNode(this, Node, ACanvas, Rect);
    return;
  }
  TRect r = Rect;
  TPoint at{0, 0};
  TSize size{0, 0};
  if (PlaceImage(Node, r, at, size) && Node->FImageIndex >= 0 && Node->FImageIndex < FImages->Count() &&
      size.cx > 0 && size.cy > 0) {
    // The image over the node's fill, stretched to the scaled size.
    TBitmap plain;
    plain.SetSize(FImages->Width(), FImages->Height());
    plain.Canvas()->Brush()->SetColor(ACanvas->Brush()->Color());
    plain.Canvas()->FillRect(TRect{0, 0, FImages->Width(), FImages->Height()});
    FImages->Draw(plain.Canvas(), 0, 0, Node->FImageIndex);
    StretchBlt(ACanvas->Handle(), at.x, at.y, size.cx, size.cy, plain.Canvas()->Handle(), 0, 0, FImages->Width(),
               FImages->Height(), SRCCOPY);
  }
  const AnsiString text = Node->GetText();
  if (text.empty()) return;
  HDC dc = ACanvas->Handle();
  const HGDIOBJ oldFont = SelectObject(dc, ACanvas->Font()->Handle());
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(ACanvas->Font()->Color()));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  NodeTextOut(dc, text, 0, r);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

// ---- the position pass ----

void TkxCustomOrgChart::PositionPass(TkxOcNode* N, int X, int Y, bool Start, const TRect& Clip) {
  if (Start) N->FDrawn = false;
  if (N == FRoot) {
    NodeSlot(FRoot, X, Y);
    N->FDrawn = true;
  }
  int childX = X, childY = Y;
  if (N->IsVisible()) {
    const int sw = SlotWidth(N), rd = RowDepth(N);
    TRect slot{X, Y, X + sw, Y + rd};
    int ext = 0;
    if (N->FExpanded) ext = 999999;
    else if (ShowsButton(N)) ext = 6 - LineWidth() / 2;
    if (ext > 0) slot.bottom += ext;
    if (OcRectsMeet(slot, Clip)) N->FDrawn = true;
    N->FX = X + BoxOffset(N, sw);
    N->FY = Y;
    childX = X + ChildOffset(N, sw);
    childY = Y + rd;
  } else if (TkxOcNode* p = N->FParent) {
    N->FDrawn = p->FDrawn;
    N->FX = p->FX;
    N->FY = p->FY + GapDown() / 4;
    const int d = ExtentA(p) - ExtentA(N);
    if (p->FChildAlign == oaCenter) N->FX += d / 2;
    else if (p->FChildAlign == oaRight) N->FX += d;
  }
  if (Start) {
    N->FStartX = N->FX;
    N->FStartY = N->FY;
  }
  if ((N->FDrawn || (Start && FAnimNode)) && (N->FExpanded || N == FAnimNode)) {
    for (int i = 0; i < N->Count(); ++i) {
      TkxOcNode* c = N->Items(i);
      PositionPass(c, childX, childY, Start, Clip);
      if (N->FExpanded) childX += SlotWidth(c);
    }
  }
}

// ---- drawing ----

void TkxCustomOrgChart::SetLinePen(TCanvas* C) {
  TPen* p = C->Pen();
  p->SetMode(pmCopy);
  p->SetStyle(psSolid);
  p->SetColor(FLineColor);
  p->SetWidth(LineWidth());
  C->Brush()->SetStyle(bsSolid);
}

void TkxCustomOrgChart::LogicalLine(TCanvas* C, int X1, int Y1, int X2, int Y2) {
  const TPoint a = LogicalToClient(TPoint{X1, Y1}), b = LogicalToClient(TPoint{X2, Y2});
  C->MoveTo(a.x, a.y);
  C->LineTo(b.x, b.y);
}

void TkxCustomOrgChart::DrawButton(TCanvas* C, TPoint Anchor, bool Expanded) {
  int x = Anchor.x, y = Anchor.y;
  if (FRotated) {
    x = Anchor.y - 1;
    y = Anchor.x + 1;
  }
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(FLineColor);
  C->Pen()->SetStyle(psSolid);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->Rectangle(x - 5, y - 6, x + 6, y + 5);
  C->MoveTo(x - 2, y - 1);
  C->LineTo(x + 3, y - 1);
  if (!Expanded) {
    C->MoveTo(x, y - 3);
    C->LineTo(x, y + 2);
  }
}

TPoint TkxCustomOrgChart::DrawTree(TkxOcNode* N, TCanvas* C, const TRect& Clip, const TRect& ClientClip) {
  const int s = FAnimStep;
  const int lw = LineWidth(), gapDown = GapDown();
  TRect r;
  r.left = N->FX + s * (N->FStartX - N->FX) / 16;
  r.top = N->FY + s * (N->FStartY - N->FY) / 16;
  r.right = r.left + ExtentA(N) + lw;
  r.bottom = N == FRoot ? r.top : r.top + RowDepth(N);
  TPoint conn{r.left + (r.right - r.left) / 2, r.top + gapDown / 2};
  if (!N->FDrawn) return conn;

  if (r.bottom < Clip.bottom && (N->FExpanded || N == FAnimNode) && N->Count()) {
    int left = 0, right = 0, busY = 0;
    for (int i = 0; i < N->Count(); ++i) {
      const TPoint p = DrawTree(N->Items(i), C, Clip, ClientClip);
      if (i == 0) {
        left = p.x;
        busY = p.y;
      } else if (p.x < Clip.left) {
        left = p.x;
      }
      right = p.x;
      if (p.x >= Clip.right) break;
    }
    SetLinePen(C);
    if (N == FRoot) conn.x = right;
    if (!(N == FRoot && N->Count() <= 1)) LogicalLine(C, std::min(left, conn.x), busY, std::max(right, conn.x), busY);
    if (N != FRoot && r.bottom < busY) LogicalLine(C, conn.x, r.bottom - lw, conn.x, busY);
  }

  if (N == FRoot) return conn;
  const bool button = ShowsButton(N);
  const int margin = button ? std::max(0, 6 - lw / 2) : 0;
  if (!OcRectsMeet(TRect{r.left, r.top, r.right, r.bottom + margin}, Clip)) return conn;

  TRect shape = r;
  if (Has3DEdge(N)) {
    shape.right -= lw;
    shape.bottom -= lw;
  }
  shape.left += lw / 2;
  shape.top += lw / 2;
  shape.right -= lw / 2;
  shape.bottom -= lw / 2;

  SetLinePen(C);
  C->SetFont(FPaintFont.get());
  C->Brush()->SetColor(N->EffectiveColor());
  if (FOptions.Contains(ocSelect) && N == FSelected && HandleAllocated() && Focused()) {
    C->Brush()->SetColor(FSelectedNodeColor);
    C->Font()->SetColor(FSelectedNodeTextColor);
  }
  if (N->FParent != FRoot || FRoot->Count() > 1) LogicalLine(C, conn.x, conn.y, conn.x, r.top + gapDown);

  TRect body = shape;
  body.top += gapDown;
  const TRect cb = LogicalToClient(body);
  switch (N->FShape) {
    case nsRectangle:
      C->Rectangle(cb);
      if (FOptions.Contains(ocRect3D)) {
        const TPoint pts[3] = {{cb.left + lw, cb.bottom + lw / 2},
                               {cb.right + lw / 2, cb.bottom + lw / 2},
                               {cb.right + lw / 2, cb.top + lw}};
        C->Polyline(pts, 3);
      }
      break;
    case nsRoundedRectangle: {
      const int e = std::min(NodeEffWidth(N), NodeEffHeight(N)) / 2;
      C->RoundRect(cb.left, cb.top, cb.right, cb.bottom, e, e);
      break;
    }
    case nsEllipse: C->Ellipse(cb); break;
    case nsDiamond: {
      const int mx = cb.left + (cb.right - cb.left) / 2, my = cb.top + (cb.bottom - cb.top) / 2;
      const TPoint pts[4] = {{cb.left, my}, {mx, cb.top}, {cb.right - 1, my}, {mx, cb.bottom - 1}};
      C->Polygon(pts, 4);
      break;
    }
  }

  const TRect tr = TextRectFrom(N, LogicalToClient(shape));
  if (OcRectsMeet(tr, ClientClip)) {
    N->ApplyFont(C->Font());
    PaintNode(N, C, tr);
    SetLinePen(C);
    if (FOptions.Contains(ocFocus) && N == FSelected) C->DrawFocusRect(tr);
  }
  if (button) DrawButton(C, TPoint{conn.x, shape.bottom}, N->FExpanded);
  return conn;
}

void TkxCustomOrgChart::DrawFrame(TCanvas* C, const TRect& Clip, const TRect& ClientClip) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(ClientClip);
  DrawTree(FRoot, C, Clip, ClientClip);
}

void TkxCustomOrgChart::Paint() {
  struct Done {
    TkxCustomOrgChart* c;
    ~Done() {
      c->FPaintFont.reset();
      c->FInvalidatePending = false;
    }
  } done{this};
  UpdateLayout();
  TRect clientClip = Canvas()->ClipRect();
  if (ControlState().Contains(csPaintCopy)) clientClip = TRect{0, 0, TotalWidth(), TotalHeight()};
  const TRect clip = ClientToLogical(clientClip);
  if (!FAnimNode && FAnimBitmap) FAnimBitmap.reset();
  if (FAnimBitmap && (FAnimBitmap->Width() != Width() || FAnimBitmap->Height() != Height()))
    FAnimBitmap->SetSize(Width(), Height());
  PositionPass(FRoot, 0, 0, !FAnimBitmap, clip);
  FPaintFont = std::make_unique<TFont>();
  FPaintFont->Assign(Font());
  FPaintFont->SetHeight(ScaleValue(Font()->Height()));
  if (!FAnimBitmap) {
    const int step = FAnimStep;
    FAnimStep = 0;
    DrawFrame(Canvas(), clip, clientClip);
    FAnimStep = step;
    return;
  }
  // One frame of the animation, drawn off-screen and copied in one block.
  TCanvas* bc = FAnimBitmap->Canvas();
  const TRect whole{0, 0, FAnimBitmap->Width(), FAnimBitmap->Height()};
  DrawFrame(bc, ClientToLogical(whole), whole);
  BitBlt(Canvas()->Handle(), 0, 0, FAnimBitmap->Width(), FAnimBitmap->Height(), bc->Handle(), 0, 0, SRCCOPY);
}

// ---- animation ----

bool TkxCustomOrgChart::StartAnimation(TkxOcNode* N) {
  if (FSuppressAnimation || !FOptions.Contains(ocAnimate) || !HandleAllocated() || FDestroying || !N->IsVisible())
    return false;
  if (FAnimNode) StopAnimation();
  FAnimNode = N;
  UpdateLayout();
  PositionPass(FRoot, 0, 0, true, ClientToLogical(ClientRect()));
  if (!FAnimBitmap) {
    FAnimBitmap = std::make_unique<TBitmap>();
    FAnimBitmap->SetSize(Width(), Height());
    FAnimBitmap->SetTransparentColor(clNone);
  }
  FAnimStep = kOcAnimSteps;
  SetTimer(Handle(), kOcAnimTimer, 10, nullptr);
  FAnimTimer = true;
  return true;
}

void TkxCustomOrgChart::StopAnimation() {
  if (FAnimTimer && HandleAllocated()) KillTimer(Handle(), kOcAnimTimer);
  FAnimTimer = false;
  FAnimNode = nullptr;
  FAnimStep = 0;
  if (!FDestroying) Invalidate();
}

void TkxCustomOrgChart::WMTimer(TMessage& Message) {
  if (Message.WParam == kOcAnimTimer) {
    if (!FAnimNode) {
      StopAnimation();
      return;
    }
    if (--FAnimStep <= 0) StopAnimation();
    else Invalidate();
    if (HandleAllocated()) Update();
    return;
  }
  if (Message.WParam == 2) {
    AutoScrollTick();
    return;
  }
  TCustomControl::Dispatch(Message);
}
