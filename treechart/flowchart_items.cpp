// Flow-chart items and objects: fields and their setters, display values,
// the sixteen attach points, the outline and interior regions, stacking order,
// unions and copying.
#include <algorithm>

#include "platform/rtl/strings.h"
#include "treechart/flowchart.h"

namespace {

// (v * c + 512) shr 10: a fraction of v in 1/1024 steps, rounded.
int FcK(int V, int C) { return int((std::int64_t(V) * C + 512) >> 10); }

void FcFreeRegion(HRGN& R) {
  if (R) DeleteObject(R);
  R = nullptr;
}

}  // namespace

// ---- TkxFcItem ----

TkxFcItem::TkxFcItem(TkxCustomFlowChart* AChart) : FChart(AChart), FFont(new TFont), FDisplayFont(new TFont) {
  if (FChart) FFont->Assign(FChart->Font());
  FFont->OnChange = TNotifyEvent(this, &TkxFcItem::FontChanged);
  UpdateDisplayFont();
}

TkxFcItem::~TkxFcItem() = default;

void TkxFcItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxFcItem*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  SetText(src->Text());
  SetParentFont(src->ParentFont());
  if (!ParentFont()) FFont->Assign(src->Font());
}

void TkxFcItem::Changed() {
  if (FChart && !FChart->FLoading && !FDestroying) FChart->ItemChanged(this);
}

void TkxFcItem::UpdateDisplayFont() {
  FDisplayFont->Assign(FFont.get());
  if (FChart) FDisplayFont->SetSize(MulDiv(FFont->Size(), FChart->ActualZoom(), 100));
}

void TkxFcItem::TakeFontQuietly(TFont* Value) {
  FQuietFont = true;
  try {
    FFont->Assign(Value);
  } catch (...) {
    FQuietFont = false;
    throw;
  }
  FQuietFont = false;
  UpdateDisplayFont();
}

void TkxFcItem::FontChanged(TObject*) {
  if (FQuietFont) return;
  FParentFont = false;
  UpdateDisplayFont();
  if (!FText.empty()) TextLayoutChanged();
  Changed();
}

void TkxFcItem::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FChart) {
    TakeFontQuietly(FChart->Font());
    if (!FText.empty()) TextLayoutChanged();
  }
  Changed();
}

void TkxFcItem::SetSelected(bool Value) {
  if (Value == FSelected || !FChart) return;
  std::vector<TkxFcItem*>& list = SelectionList();
  if (Value) {
    if (!FChart->CanSelectItem(this)) return;
    if (!FChart->Options().Contains(fcoMultiSelect)) FChart->ClearSelection();
    FSelected = true;
    Invalidate();
    list.push_back(this);
  } else {
    Invalidate();
    FSelected = false;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  FChart->ItemSelected(this);
}

// ---- TkxFcObject: creation and destruction ----

TkxFcObject::TkxFcObject(TkxCustomFlowChart* AChart) : TkxFcItem(AChart) {
  if (FChart) {
    FBkColor = FChart->Color();
    FChart->FObjects.push_back(this);
  }
  UpdateDisplay();
}

TkxFcObject::~TkxFcObject() {
  if (FChart) FChart->ItemDeleted(this);
  FDestroying = true;
  FreeRegions();
  FcFreeRegion(FVisibleRgn);
  while (!FConnections.empty()) delete FConnections.back();
  if (FInteriorBrush) DeleteObject(FInteriorBrush);
  if (FOutlineBrush) DeleteObject(FOutlineBrush);
  if (FChart) {
    auto& list = FChart->FObjects;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    for (TkxFcObject* o : list) o->FMembers.erase(std::remove(o->FMembers.begin(), o->FMembers.end(), this), o->FMembers.end());
    if (!FChart->FDestroying) FChart->UpdateExtent();
  }
}

std::vector<TkxFcItem*>& TkxFcObject::SelectionList() { return FChart->FSelObjects; }

void TkxFcObject::Invalidate() {
  if (FChart) FChart->InvalidateObject(this);
}

void TkxFcObject::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxFcObject*>(Source);
  if (!src) {
    TkxFcItem::Assign(Source);
    return;
  }
  UserData = src->UserData;
  Tag = src->Tag;
  ExtraText = src->ExtraText;
  SetBounds(src->Left(), src->Top(), src->Width(), src->Height());
  SetFrameEdge(src->FrameEdge());
  SetFrameFlags(src->FrameFlags());
  SetHorzTextPos(src->HorzTextPos());
  SetVertTextPos(src->VertTextPos());
  SetHorzImagePos(src->HorzImagePos());
  SetVertImagePos(src->VertImagePos());
  SetBkColor(src->BkColor());
  SetShapeColor(src->ShapeColor());
  SetImageIndex(src->ImageIndex());
  SetTransparent(src->Transparent());
  SetShapeKind(src->ShapeKind());
  SetShapeWidth(src->ShapeWidth());
  TkxFcItem::Assign(Source);
}

// ---- display values ----

void TkxFcObject::UpdateDisplay() {
  const int z = FChart ? FChart->ActualZoom() : 100;
  const int l = MulDiv(FLeft, z, 100), t = MulDiv(FTop, z, 100);
  FDisplayRect = TRect{l, t, l + MulDiv(FWidth, z, 100), t + MulDiv(FHeight, z, 100)};
  FDisplayLineWidth = (FShapeWidth * z + 50) / 100;
  if (FShapeWidth != 0 && FDisplayLineWidth < 1) FDisplayLineWidth = 1;
  UpdateDisplayFont();
  ComputeAttachPoints();
}

TRect TkxFcObject::ClientRect() const {
  TRect r = FDisplayRect;
  if (FChart) OffsetRect(&r, -FChart->LeftEdge(), -FChart->TopEdge());
  return r;
}

void TkxFcObject::SetAttachPoint(int I, TPoint P) {
  if (I >= 0 && I < 16) FAttach[I] = P;
}

void TkxFcObject::ComputeAttachPoints() {
  const int L = FDisplayRect.left, T = FDisplayRect.top;
  const int W = FDisplayRect.right - L, H = FDisplayRect.bottom - T;
  const int q = W / 4, r = H / 4, e = q / 2, f = r / 2;
  const int R = L + W - 1, B = T + H - 1;
  TPoint* p = FAttach;
  p[0] = {L, T};
  p[1] = {L + q, T};
  p[2] = {L + W / 2, T};
  p[3] = {L + W - q, T};
  p[4] = {R, T};
  p[5] = {R, T + r};
  p[6] = {R, T + H / 2};
  p[7] = {R, T + H - r};
  p[8] = {R, B};
  p[9] = {L + W - q, B};
  p[10] = {L + W / 2, B};
  p[11] = {L + q, B};
  p[12] = {L, B};
  p[13] = {L, T + H - r};
  p[14] = {L, T + H / 2};
  p[15] = {L, T + r};
  auto inward = [&](int dx, int dy) {
    p[0].x += dx, p[0].y += dy;
    p[4].x -= dx, p[4].y += dy;
    p[8].x -= dx, p[8].y -= dy;
    p[12].x += dx, p[12].y -= dy;
  };
  switch (FShapeKind) {
    case fskEllipse: {
      inward(FcK(W, 150), FcK(H, 150));
      const int a = FcK(W, 68), b = FcK(H, 68);
      p[13].x += a, p[15].x += a, p[5].x -= a, p[7].x -= a;
      p[1].y += b, p[3].y += b, p[9].y -= b, p[11].y -= b;
      break;
    }
    case fskRoundRect: inward(FcK(W, 75), FcK(H, 75)); break;
    case fskDiamond:
      inward(q, r);
      p[1].x += e, p[1].y += f, p[15].x += e, p[15].y += f;
      p[3].x -= e, p[3].y += f, p[5].x -= e, p[5].y += f;
      p[7].x -= e, p[7].y -= f, p[9].x -= e, p[9].y -= f;
      p[11].x += e, p[11].y -= f, p[13].x += e, p[13].y -= f;
      break;
    case fskNorthTriangle: {
      const TPoint a{p[1].x, p[14].y}, b{p[3].x, p[6].y};
      p[0] = p[1] = p[14] = a;
      p[4] = p[3] = p[6] = b;
      p[13].x += e;
      p[15].x = p[2].x - e;
      p[5].x = p[2].x + e;
      p[7].x -= e;
      break;
    }
    case fskSouthTriangle: {
      const TPoint a{p[11].x, p[14].y}, b{p[9].x, p[6].y};
      p[12] = p[11] = p[14] = a;
      p[8] = p[9] = p[6] = b;
      p[15].x += e;
      p[13].x = p[10].x - e;
      p[7].x = p[10].x + e;
      p[5].x -= e;
      break;
    }
    case fskEastTriangle: {
      const TPoint a{p[2].x, p[5].y}, b{p[10].x, p[7].y};
      p[4] = p[2] = p[5] = a;
      p[8] = p[10] = p[7] = b;
      p[1].y += f;
      p[3].y = p[6].y - f;
      p[9].y = p[6].y + f;
      p[11].y -= f;
      break;
    }
    case fskWestTriangle: {
      const TPoint a{p[2].x, p[15].y}, b{p[10].x, p[13].y};
      p[0] = p[2] = p[15] = a;
      p[12] = p[10] = p[13] = b;
      p[3].y += f;
      p[1].y = p[14].y - f;
      p[11].y = p[14].y + f;
      p[9].y -= f;
      break;
    }
    case fskHexagon:
      inward(e, r);
      p[13].x += e, p[15].x += e, p[5].x -= e, p[7].x -= e;
      break;
    case fskUser: UserAttachPoints(); break;
    default: break;
  }
  FreeRegions();
  if (FChart) FChart->ClearHitCache();
}

TRect TkxFcObject::InnerRect() const {
  const TPoint* p = FAttach;
  TRect r{p[0].x, p[0].y, p[8].x, p[8].y};
  switch (FShapeKind) {
    case fskNorthTriangle: r.right = p[4].x; break;
    case fskSouthTriangle: r.left = p[1].x; break;
    case fskEastTriangle: r.top = p[15].y; break;
    case fskWestTriangle: r.bottom = p[7].y; break;
    default: break;
  }
  InflateRect(&r, -FDisplayLineWidth, -FDisplayLineWidth);
  if (FChart) OffsetRect(&r, -FChart->LeftEdge(), -FChart->TopEdge());
  return r;
}

TPoint TkxFcObject::Handle(int I) const {
  const int L = FDisplayRect.left, T = FDisplayRect.top;
  const int W = FDisplayRect.right - L, H = FDisplayRect.bottom - T;
  const int R = L + W - 1, B = T + H - 1, mx = L + W / 2, my = T + H / 2;
  switch (I & 7) {
    case 0: return {L, T};
    case 1: return {mx, T};
    case 2: return {R, T};
    case 3: return {R, my};
    case 4: return {R, B};
    case 5: return {mx, B};
    case 6: return {L, B};
    default: return {L, my};
  }
}

namespace {

// The quadrant of a point around a centre: 0 top-right, 1 bottom-right,
// 2 bottom-left, 3 top-left; a point on a centre line counts as right or below.
int FcQuadrant(TPoint P, TPoint Centre) {
  const bool right = P.x >= Centre.x, below = P.y >= Centre.y;
  return right ? (below ? 1 : 0) : (below ? 2 : 3);
}

std::int64_t FcDist2(TPoint A, TPoint B) {
  const std::int64_t dx = std::int64_t(A.x) - B.x, dy = std::int64_t(A.y) - B.y;
  return dx * dx + dy * dy;
}

}  // namespace

int TkxFcObject::NearestAttachPoint(int X, int Y) const {
  const TPoint p{X + (FChart ? FChart->LeftEdge() : 0), Y + (FChart ? FChart->TopEdge() : 0)};
  const TPoint c{FDisplayRect.left + (FDisplayRect.right - FDisplayRect.left) / 2,
                 FDisplayRect.top + (FDisplayRect.bottom - FDisplayRect.top) / 2};
  const int q = FcQuadrant(p, c);
  int best = -1;
  std::int64_t bestD = 0;
  for (int k = 4 * q + 2; k <= 4 * q + 6; ++k) {
    const int i = k % 16;
    const std::int64_t d = FcDist2(FAttach[i], p);
    if (best < 0 || d < bestD) {
      best = i;
      bestD = d;
    }
  }
  return best;
}

int TkxFcObject::NearestHandle(int X, int Y) const {
  const TPoint p{X + (FChart ? FChart->LeftEdge() : 0), Y + (FChart ? FChart->TopEdge() : 0)};
  const TPoint c{FDisplayRect.left + (FDisplayRect.right - FDisplayRect.left) / 2,
                 FDisplayRect.top + (FDisplayRect.bottom - FDisplayRect.top) / 2};
  const int q = FcQuadrant(p, c);
  int best = -1;
  std::int64_t bestD = 0;
  for (int k = 2 * q + 1; k <= 2 * q + 3; ++k) {
    const int i = k % 8;
    const std::int64_t d = FcDist2(Handle(i), p);
    if (best < 0 || d < bestD) {
      best = i;
      bestD = d;
    }
  }
  return best;
}

// ---- regions ----

void TkxFcObject::FreeRegions() {
  FcFreeRegion(FOutlineRgn);
  FcFreeRegion(FInnerRgn);
}

void TkxFcObject::SetVisibleRegion(HRGN Value) {
  if (FVisibleRgn && FVisibleRgn != Value) DeleteObject(FVisibleRgn);
  FVisibleRgn = Value;
}

void TkxFcObject::OffsetRegions(int DX, int DY) {
  if (FOutlineRgn) OffsetRgn(FOutlineRgn, DX, DY);
  if (FInnerRgn) OffsetRgn(FInnerRgn, DX, DY);
  if (FVisibleRgn) OffsetRgn(FVisibleRgn, DX, DY);
}

HRGN TkxFcObject::ShapeRegion(const TRect& R) {
  const int dx = FChart ? -FChart->LeftEdge() : 0, dy = FChart ? -FChart->TopEdge() : 0;
  auto poly = [&](std::initializer_list<int> idx) {
    std::vector<POINT> pts;
    for (int i : idx) pts.push_back(POINT{FAttach[i].x + dx, FAttach[i].y + dy});
    return CreatePolygonRgn(pts.data(), int(pts.size()), WINDING);
  };
  switch (FShapeKind) {
    case fskEllipse: return CreateEllipticRgn(R.left, R.top, R.right, R.bottom);
    case fskRoundRect:
      return CreateRoundRectRgn(R.left, R.top, R.right, R.bottom, (R.right - R.left) / 2, (R.bottom - R.top) / 2);
    case fskDiamond: return poly({2, 6, 10, 14});
    case fskNorthTriangle: return poly({2, 8, 12});
    case fskSouthTriangle: return poly({0, 4, 10});
    case fskEastTriangle: return poly({0, 6, 12});
    case fskWestTriangle: return poly({4, 8, 14});
    case fskHexagon: return poly({1, 3, 6, 9, 11, 14});
    case fskUser:
      if (HRGN u = UserShapeRegion(R)) return u;
      return CreateRectRgn(R.left, R.top, R.right, R.bottom);
    default: return CreateRectRgn(R.left, R.top, R.right, R.bottom);
  }
}

void TkxFcObject::BuildRegions() {
  if (FOutlineRgn && FInnerRgn) return;
  FreeRegions();
  const TRect r = ClientRect();
  const int a = (FShapeKind == fskNone || HasFrame()) ? 1 : FDisplayLineWidth;
  FOutlineRgn = ShapeRegion(r);
  if (FShapeKind == fskEllipse || FShapeKind == fskRoundRect || FShapeKind == fskUser) {
    TRect in = r;
    InflateRect(&in, -a, -a);
    FInnerRgn = ShapeRegion(in);
  } else {
    FInnerRgn = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(FInnerRgn, FOutlineRgn, nullptr, RGN_COPY);
    HRGN shifted = CreateRectRgn(0, 0, 0, 0);
    const int offsets[4][2] = {{a, 0}, {0, a}, {-a, 0}, {0, -a}};
    for (const auto& o : offsets) {
      CombineRgn(shifted, FOutlineRgn, nullptr, RGN_COPY);
      OffsetRgn(shifted, o[0], o[1]);
      CombineRgn(FInnerRgn, FInnerRgn, shifted, RGN_AND);
    }
    DeleteObject(shifted);
  }
  CombineRgn(FOutlineRgn, FOutlineRgn, FInnerRgn, RGN_DIFF);
}

HRGN TkxFcObject::OutlineRegion() {
  BuildRegions();
  return FOutlineRgn;
}

HRGN TkxFcObject::InnerRegion() {
  BuildRegions();
  return FInnerRgn;
}

HBRUSH TkxFcObject::InteriorBrush() {
  if (!FInteriorBrush) FInteriorBrush = CreateSolidBrush(ColorToRGB(FBkColor));
  return FInteriorBrush;
}

HBRUSH TkxFcObject::OutlineBrush() {
  if (!FOutlineBrush) FOutlineBrush = CreateSolidBrush(ColorToRGB(FShapeColor));
  return FOutlineBrush;
}

// ---- setters ----

void TkxFcObject::RefreshConnections() {
  for (TkxFcConnection* c : std::vector<TkxFcConnection*>(FConnections)) {
    c->Invalidate();
    c->RefreshEnds();
    c->Recompute();
    c->Changed();
  }
}

void TkxFcObject::SetBounds(int ALeft, int ATop, Word AWidth, Word AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateDisplay();
  RefreshConnections();
  Invalidate();
  if (FChart) FChart->UpdateExtent();
  Changed();
}

void TkxFcObject::SetShapeKind(TkxFcShapeKind Value) {
  if (Value == FShapeKind) return;
  FShapeKind = Value;
  ComputeAttachPoints();
  RefreshConnections();
  Invalidate();
  Changed();
}

void TkxFcObject::SetShapeWidth(Byte Value) {
  if (Value == FShapeWidth) return;
  FShapeWidth = Value;
  FreeRegions();
  const int z = FChart ? FChart->ActualZoom() : 100;
  FDisplayLineWidth = (FShapeWidth * z + 50) / 100;
  if (FShapeWidth != 0 && FDisplayLineWidth < 1) FDisplayLineWidth = 1;
  if (FShapeKind != fskNone) Invalidate();
  Changed();
}

void TkxFcObject::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FInteriorBrush) {
    DeleteObject(FInteriorBrush);
    FInteriorBrush = nullptr;
  }
  if (HasFill()) Invalidate();
  Changed();
}

void TkxFcObject::SetShapeColor(TColor Value) {
  if (Value == FShapeColor) return;
  FShapeColor = Value;
  if (FOutlineBrush) {
    DeleteObject(FOutlineBrush);
    FOutlineBrush = nullptr;
  }
  if (FShapeKind != fskNone) Invalidate();
  Changed();
}

void TkxFcObject::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (FShapeKind != fskNone) Invalidate();
  Changed();
}

void TkxFcObject::SetHorzTextPos(TkxFcHorzPos Value) {
  if (Value == FHorzTextPos) return;
  FHorzTextPos = Value;
  if (!FText.empty()) Invalidate();
  Changed();
}

void TkxFcObject::SetVertTextPos(TkxFcVertPos Value) {
  if (Value == FVertTextPos) return;
  FVertTextPos = Value;
  if (!FText.empty()) Invalidate();
  Changed();
}

void TkxFcObject::SetHorzImagePos(TkxFcHorzPos Value) {
  if (Value == FHorzImagePos) return;
  FHorzImagePos = Value;
  if (HasImage()) Invalidate();
  Changed();
}

void TkxFcObject::SetVertImagePos(TkxFcVertPos Value) {
  if (Value == FVertImagePos) return;
  FVertImagePos = Value;
  if (HasImage()) Invalidate();
  Changed();
}

void TkxFcObject::SetImageIndex(SmallInt Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (FChart && FChart->Images()) Invalidate();
  Changed();
}

void TkxFcObject::SetFrameEdge(Word Value) {
  if (Value == FFrameEdge) return;
  FFrameEdge = Value;
  FreeRegions();  // the erosion width follows the frame
  if (FShapeKind == fskRectangle) Invalidate();
  Changed();
}

void TkxFcObject::SetFrameFlags(Word Value) {
  if (Value == FFrameFlags) return;
  FFrameFlags = Value;
  if (HasFrame()) Invalidate();
  Changed();
}

void TkxFcObject::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FChart) FChart->ClearHitCache();
  Invalidate();
}

void TkxFcObject::SetText(const AnsiString& Value) {
  if (Value == FText) return;
  FText = Value;
  Invalidate();
  Changed();
}

bool TkxFcObject::HasImage() const {
  return FChart && FChart->Images() && FImageIndex >= 0 && FImageIndex < FChart->Images()->Count();
}

// ---- connections, stacking and unions ----

TkxFcConnection* TkxFcObject::Connections(int I) const {
  return I >= 0 && I < ConnectionCount() ? FConnections[std::size_t(I)] : nullptr;
}

int TkxFcObject::ZOrder() const {
  if (!FChart) return -1;
  const auto& list = FChart->FObjects;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TkxFcObject::SetZOrder(int I) {
  if (!FChart) return;
  auto& list = FChart->FObjects;
  const int count = int(list.size());
  if (unsigned(I) >= unsigned(count)) I = count - 1;
  const int cur = ZOrder();
  if (I == cur || cur >= count) return;
  FChart->ClearHitCache();
  list.erase(list.begin() + cur);
  list.insert(list.begin() + I, this);
  Invalidate();
  FChart->ItemChanged(this);
}

void TkxFcObject::BringToFront() {
  if (FChart) SetZOrder(FChart->ObjectCount() - 1);
}

void TkxFcObject::SendToBack() { SetZOrder(0); }

TkxFcObject* TkxFcObject::UnionMembers(int I) const {
  return I >= 0 && I < UnionMemberCount() ? FMembers[std::size_t(I)] : nullptr;
}

bool TkxFcObject::UnionContains(const TkxFcObject* O) const {
  if (!O || O == this) return true;
  // members may form a tree; a damaged one may even hold a cycle, so the
  // walk remembers what it saw
  std::vector<const TkxFcObject*> seen, todo;
  seen.push_back(this);
  for (const TkxFcObject* m : FMembers) todo.push_back(m);
  while (!todo.empty()) {
    const TkxFcObject* m = todo.back();
    todo.pop_back();
    if (m == O) return true;
    if (std::find(seen.begin(), seen.end(), m) != seen.end()) continue;
    seen.push_back(m);
    todo.insert(todo.end(), m->FMembers.begin(), m->FMembers.end());
  }
  return false;
}

void TkxFcObject::AddToUnion(TkxFcObject* O) {
  if (!UnionContains(O)) FMembers.push_back(O);
}

void TkxFcObject::RemoveFromUnion(TkxFcObject* O) {
  auto it = std::find(FMembers.begin(), FMembers.end(), O);
  if (it != FMembers.end()) FMembers.erase(it);
}

void TkxFcObject::SelectUnion() {
  std::vector<TkxFcObject*> seen;
  std::vector<TkxFcObject*> todo{this};
  const bool multi = FChart && FChart->Options().Contains(fcoMultiSelect);
  while (!todo.empty()) {
    TkxFcObject* o = todo.back();
    todo.pop_back();
    if (std::find(seen.begin(), seen.end(), o) != seen.end()) continue;
    seen.push_back(o);
    o->SetSelected(true);
    if (!multi) break;
    for (auto it = o->FMembers.rbegin(); it != o->FMembers.rend(); ++it) todo.push_back(*it);
  }
}

void TkxFcObject::MakeVisible() {
  SetVisible(true);
  if (!FChart) return;
  const int cw = FChart->ClientWidth(), ch = FChart->ClientHeight();
  TRect r = ClientRect();
  if (r.Width() > cw || r.Height() > ch) r = InnerRect();
  int dx = 0, dy = 0;
  if (r.right > cw) dx = r.right - cw;
  if (r.left - dx < 0) dx = r.left;
  if (r.bottom > ch) dy = r.bottom - ch;
  if (r.top - dy < 0) dy = r.top;
  if (dx || dy) FChart->SetLeftTop(FChart->LeftEdge() + dx, FChart->TopEdge() + dy);
}
