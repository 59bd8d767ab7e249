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
  // Pre-order without recursion (a chain may be of any depth); a node is
  // visible when its parent is and is expanded.
  struct Frame {
    TkxOcNode* Node;
    int ChildX, ChildY;
    int Next;
    bool Descend, Visible;
  };
  std::vector<Frame> stack;
  auto visit = [&](TkxOcNode* n, int x, int y, bool visible) {
    if (Start) n->FDrawn = false;
    if (n == FRoot) {
      NodeSlot(FRoot, x, y);
      n->FDrawn = true;
    }
    int childX = x, childY = y;
    if (visible) {
      const int sw = SlotWidth(n), rd = RowDepth(n);
      TRect slot{x, y, x + sw, y + rd};
      int ext = 0;
      // an expanded node's slot reaches down over its subtree, however deep
      if (n->FExpanded) ext = std::max(999999, ChildrenDown(n));
      else if (ShowsButton(n)) ext = 6 - LineWidth() / 2;
      if (ext > 0) slot.bottom += ext;
      if (OcRectsMeet(slot, Clip)) n->FDrawn = true;
      n->FX = x + BoxOffset(n, sw);
      n->FY = y;
      childX = x + ChildOffset(n, sw);
      childY = y + rd;
    } else if (TkxOcNode* p = n->FParent) {
      n->FDrawn = p->FDrawn;
      n->FX = p->FX;
      n->FY = p->FY + GapDown() / 4;
      const int d = ExtentA(p) - ExtentA(n);
      if (p->FChildAlign == oaCenter) n->FX += d / 2;
      else if (p->FChildAlign == oaRight) n->FX += d;
    }
    if (Start) {
      n->FStartX = n->FX;
      n->FStartY = n->FY;
    }
    const bool descend = (n->FDrawn || (Start && FAnimNode)) && (n->FExpanded || n == FAnimNode);
    stack.push_back({n, childX, childY, 0, descend, visible});
  };
  visit(N, X, Y, N->IsVisible());
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (!f.Descend || f.Next >= f.Node->Count()) {
      stack.pop_back();
      continue;
    }
    TkxOcNode* c = f.Node->Items(f.Next++);
    const int cx = f.ChildX, cy = f.ChildY;
    const bool visible = f.Visible && f.Node->FExpanded;
    if (f.Node->FExpanded) f.ChildX += SlotWidth(c);
    visit(c, cx, cy, visible);
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
  // Children before their parent, without recursion (a chain may be of any
  // depth): each node hands its connection point to its parent's bus.
  const int s = FAnimStep;
  const int lw = LineWidth(), gapDown = GapDown();
  struct Frame {
    TkxOcNode* Node;
    TRect R;
    TPoint Conn;
    bool Kids;
    int Next;
    int Left, Right, BusY;
    bool Stop;
  };
  std::vector<Frame> stack;
  TPoint handed{0, 0};
  // Starts a node: false (with its connection point handed) when it is not drawn.
  auto begin = [&](TkxOcNode* n) {
    TRect r;
    r.left = n->FX + s * (n->FStartX - n->FX) / 16;
    r.top = n->FY + s * (n->FStartY - n->FY) / 16;
    r.right = r.left + ExtentA(n) + lw;
    r.bottom = n == FRoot ? r.top : r.top + RowDepth(n);
    const TPoint conn{r.left + (r.right - r.left) / 2, r.top + gapDown / 2};
    if (!n->FDrawn) {
      handed = conn;
      return false;
    }
    const bool kids = r.bottom < Clip.bottom && (n->FExpanded || n == FAnimNode) && n->Count();
    stack.push_back({n, r, conn, kids, 0, 0, 0, 0, false});
    return true;
  };
  // A child's connection point joins the bus of the node on top.
  auto take = [&](TPoint p) {
    Frame& f = stack.back();
    if (f.Next == 0) {
      f.Left = p.x;
      f.BusY = p.y;
    } else if (p.x < Clip.left) {
      f.Left = p.x;
    }
    f.Right = p.x;
    ++f.Next;
    if (p.x >= Clip.right) f.Stop = true;
  };
  if (!begin(N)) return handed;
  for (;;) {
    Frame& f = stack.back();
    if (f.Kids && !f.Stop && f.Next < f.Node->Count()) {
      if (!begin(f.Node->Items(f.Next))) take(handed);
      continue;
    }
    const Frame done = f;
    stack.pop_back();
    const TPoint conn = FinishNode(done.Node, C, Clip, ClientClip, done.R, done.Conn, done.Kids, done.Left,
                                   done.Right, done.BusY);
    if (stack.empty()) return conn;
    take(conn);
  }
}

// Draws a node once its children are drawn: the bus over its children, the
// line down to it, its connector, shape, content and button. Returns its
// connection point.
TPoint TkxCustomOrgChart::FinishNode(TkxOcNode* N, TCanvas* C, const TRect& Clip, const TRect& ClientClip,
                                     const TRect& R, TPoint Conn, bool Kids, int Left, int Right, int BusY) {
  const int lw = LineWidth(), gapDown = GapDown();
  const TRect& r = R;
  TPoint conn = Conn;
  if (Kids) {
    SetLinePen(C);
    if (N == FRoot) conn.x = Right;
    if (!(N == FRoot && N->Count() <= 1)) LogicalLine(C, std::min(Left, conn.x), BusY, std::max(Right, conn.x), BusY);
    if (N != FRoot && r.bottom < BusY) LogicalLine(C, conn.x, r.bottom - lw, conn.x, BusY);
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
