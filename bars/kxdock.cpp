// Dock sites: child windows that hold docked bar windows in rows, size
// themselves to their rows and lay the bars of each row out.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomize.h"
#include "framework/uxwinutils.h"

namespace {
constexpr int kDropMargin = 23;  // how far beyond a site's edge a dragged bar still docks
constexpr int kJoinStrip = 5;    // the strip between two rows that makes a new row
constexpr int kMarkRoom = 11;    // room for the mark added to a bar's minimal length
}  // namespace

void TkxDockCol::StorePos() {
  if (BarControl) Pos = TPoint{BarControl->Left(), BarControl->Top()};
}

TkxDockRow::~TkxDockRow() {
  for (TkxDockCol* c : Cols) delete c;
}

// ===========================================================================
// TkxDockControl

TkxDockControl::TkxDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FBackgroundBitmap = std::make_unique<TBitmap>();
  FBackgroundBitmap->OnChange = TNotifyEvent(this, &TkxDockControl::BackgroundChanged);
  FControlStyle << csAcceptsControls << csDoubleClicks;
  SetParentColor(true);
}

TkxDockControl::TkxDockControl(TkxBarManager* Manager, TkxBarDockingStyle Style, TCustomForm* Form)
    : TkxDockControl(static_cast<TComponent*>(nullptr)) {
  FMainStyle = Style;
  FControlStyle << csNoDesignVisible;
  if (Style == dsTop) FControlStyle << csActionClient;
  static const TAlign aligns[5] = {alNone, alLeft, alTop, alRight, alBottom};
  SetBounds(0, 0, 0, 0);
  SetAlign(aligns[Style]);
  SetBarManager(Manager);
  if (Form) SetParent(Form);
}

TkxDockControl::~TkxDockControl() {
  if (FBarManager) {
    TkxBarManager* m = FBarManager;
    FBarManager = nullptr;
    m->RemoveDockControl(this);
  }
  for (TkxDockRow* r : FRows) {
    for (TkxDockCol* c : r->Cols) c->BarControl = nullptr;
    delete r;
  }
  FRows.clear();
}

void TkxDockControl::BackgroundChanged(TObject*) {
  FreeBackgroundCache();
  UpdateDoubleBuffered();
  Invalidate();
  RepaintBars();
}

void TkxDockControl::SetBarManager(TkxBarManager* Value) {
  if (Value == FBarManager) return;
  if (FBarManager) {
    TkxBarManager* old = FBarManager;
    FBarManager = nullptr;
    old->RemoveDockControl(this);
  }
  FBarManager = Value;
  if (FBarManager) FBarManager->AddDockControl(this);
  BarManagerChanged();
}

void TkxDockControl::BarManagerChanged() { FreeBackgroundCache(); }

void TkxDockControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBarManager) FBarManager = nullptr;
}

TkxBarDockingStyle TkxDockControl::DockingStyle() const {
  switch (Align()) {
    case alLeft: return dsLeft;
    case alRight: return dsRight;
    case alBottom: return dsBottom;
    default: return dsTop;
  }
}

bool TkxDockControl::Horizontal() const {
  TkxBarDockingStyle s = DockingStyle();
  return s == dsTop || s == dsBottom;
}

bool TkxDockControl::Vertical() const { return !Horizontal(); }

void TkxDockControl::UpdateColor() {
  if (!FBarManager || FBarManager->AutoDockColor()) SetParentColor(true);
  else SetColor(FBarManager->DockColor());
}

int TkxDockControl::GetClientSize() const {
  int size = 0;
  for (int i = 0; i < RowCount(); ++i) {
    TRect r = GetRowRect(i);
    size += Horizontal() ? r.Height() : r.Width();
  }
  return size;
}

bool TkxDockControl::GetSunkenBorder() const { return FBarManager && FBarManager->SunkenBorder(); }

TCustomForm* TkxDockControl::GetOwnerForm() const { return FBarManager ? FBarManager->OwnerForm() : nullptr; }

int TkxDockControl::GetSize() const {
  int s = GetClientSize();
  if (s > 0 && GetSunkenBorder()) s += 2;
  return s;
}

int TkxDockControl::ClientExtent() const {
  TRect r = const_cast<TkxDockControl*>(this)->ClientRect();
  return Horizontal() ? r.Width() : r.Height();
}

int TkxDockControl::DesignMinimum() const { return 0; }

bool TkxDockControl::NeedsDoubleBuffering() const {
  if (!FBarManager) return false;
  TkxBarItemControlPainterClass p = FBarManager->PainterClass();
  return !FBackgroundBitmap->Empty() || (p && p->IsLayeredStyle()) || FBarManager->BarBackground() != nullptr;
}

TBitmap* TkxDockControl::BackgroundCache() {
  if (!FCache) FCache = std::make_unique<TBitmap>();
  return FCache.get();
}

void TkxDockControl::RepaintBars() {
  for (TkxDockRow* r : FRows)
    for (TkxDockCol* c : r->Cols)
      if (c->BarControl) c->BarControl->RepaintWithFrame();
}

void TkxDockControl::FillBackground(HDC DC, const TRect& R, TColor Color, const TRect& OriginR) {
  if (!FBackgroundBitmap->Empty()) {
    kxBarTileBitmap(DC, R, OriginR, FBackgroundBitmap.get());
  } else if (FBarManager && FBarManager->BarBackground()) {
    kxBarTileBitmap(DC, R, OriginR, FBarManager->BarBackground());
  } else if (FBarManager) {
    if (R.right > R.left && R.bottom > R.top)
      FBarManager->PainterClass()->FillDockBackground(this, DC, Color, nullptr, R, OriginR);
  } else {
    kxBarFillBackground(DC, R, OriginR, nullptr, Color, nullptr);
  }
}

void TkxDockControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TkxDockControl::Paint() {
  TRect r = ClientRect();
  FillBackground(Canvas()->Handle(), r, Color(), r);
}

void TkxDockControl::InitiateAction() {
  TCustomControl::InitiateAction();
  if (!FBarManager || FMainStyle != dsTop) return;
  for (int i = 0; i < FBarManager->Bars()->Count(); ++i) {
    TkxBar* bar = FBarManager->Bars()->Items(i);
    if (bar->Visible()) bar->ItemLinks()->UpdateActions();
  }
}

void TkxDockControl::Loaded() {
  TCustomControl::Loaded();
  UpdateColor();
}

void TkxDockControl::AlignControls(TControl* AControl, TRect& Rect) {
  if (ControlState().Contains(csDestroyingHandle)) return;
  if (FBarManager && !FBarManager->IsLoading()) UpdateDock();
}

// ---- messages ----

void TkxDockControl::WMEraseBkgnd2(TWMEraseBkgnd& Message) {
  TRect r = ClientRect();
  FillBackground(Message.DC(), r, Color(), r);
  Message.Result = 1;
}

void TkxDockControl::WMMouseActivate2(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FBarManager && !FBarManager->IsDesigning()) {
    Message.Result = MA_NOACTIVATE;
    if (TCustomForm* f = GetOwnerForm())
      if (f->HandleAllocated())
        SetWindowPos(f->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TkxDockControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  if (GetSunkenBorder()) {
    auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    RECT& r = p->rgrc[0];
    r.left += 1;
    r.top += 1;
    r.right -= 1;
    r.bottom -= 1;
  }
}

void TkxDockControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (!GetSunkenBorder() || !HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  RECT r{0, 0, Width(), Height()};
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  ReleaseDC(Handle(), dc);
}

void TkxDockControl::WMSize3(TWMSize& Message) {
  FreeBackgroundCache();
  TCustomControl::Dispatch(Message);
}

void TkxDockControl::WMWindowPosChanged3(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  if (!wp || (wp->flags & SWP_NOSIZE && wp->flags & SWP_NOMOVE) || !FBarManager) return;
  if (DockingStyle() == dsBottom)
    for (TkxDockRow* r : FRows)
      for (TkxDockCol* c : r->Cols)
        if (c->BarControl && c->BarControl->Bar() && c->BarControl->Bar()->IsBottomWholeRow()) {
          c->BarControl->FrameChanged();
          c->BarControl->Rebuild();
        }
  if (NeedsDoubleBuffering()) RepaintBars();
}

void TkxDockControl::WMRButtonDown2(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  if (!FBarManager || FBarManager->IsCustomizingOrDesigning()) return;
  POINT p;
  GetCursorPos(&p);
  kxBarShowToolbarsPopup(FBarManager, TPoint{p.x, p.y});
}

void TkxDockControl::WMLButtonDblClk2(TWMMouse& Message) {
  if (FBarManager && FBarManager->CanCustomize()) {
    FBarManager->SetCustomizing(true);
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TkxDockControl::WMCreate(TMessage& Message) {
  TCustomControl::Dispatch(Message);
}

void TkxDockControl::WMDestroy2(TMessage& Message) {
  if (FBarManager && !FBarManager->IsDestroying() && !IsMain()) FBarManager->CreatePendingBarList();
  TCustomControl::Dispatch(Message);
}

void TkxDockControl::CreateWnd() {
  TCustomControl::CreateWnd();
  if (FBarManager && !IsMain()) FBarManager->ShowPendingBars(this);
}

// ---- rows ----

TkxDockCol* TkxDockControl::FindCol(TkxBarControl* Window, int* RowIndex) const {
  for (int i = 0; i < RowCount(); ++i)
    for (TkxDockCol* c : FRows[std::size_t(i)]->Cols)
      if (c->BarControl == Window) {
        if (RowIndex) *RowIndex = i;
        return c;
      }
  if (RowIndex) *RowIndex = -1;
  return nullptr;
}

void TkxDockControl::StoreBarPositions() {
  for (TkxDockRow* r : FRows)
    for (TkxDockCol* c : r->Cols) c->StorePos();
}

void TkxDockControl::DockBar(TkxBarControl* Window, const TPoint& ScreenPoint, bool Relayout) {
  if (!FBarManager || !Window) return;
  TkxBar* bar = Window->Bar();
  TkxBars* bars = FBarManager->Bars();
  int row = 0;
  bool newRow = false;
  bool stored = Window->PlacingFromStoredValues();
  if (stored) {
    row = bar->Row();
    newRow = bar->OneOnRow();
  } else {
    GetRowAtPoint(ScreenPoint, row, newRow);
  }
  if (bar->WholeRow()) newRow = true;
  if (stored && bars->Locked()) {
    while (row >= RowCount()) FRows.push_back(new TkxDockRow());
  } else {
    row = std::clamp(row, 0, newRow ? RowCount() : std::max(RowCount() - 1, 0));
  }
  if (row >= RowCount()) newRow = true;
  if (!newRow && row < RowCount())
    for (TkxDockCol* c : FRows[std::size_t(row)]->Cols)
      if (c->BarControl != Window && c->BarControl && c->BarControl->Bar()->WholeRow()) newRow = true;
  TkxDockCol* col = new TkxDockCol();
  col->BarControl = Window;
  if (newRow) {
    if (stored && bars->Locked() && row < RowCount() && FRows[std::size_t(row)]->Cols.empty()) {
      FRows[std::size_t(row)]->Cols.push_back(col);
    } else {
      auto* r = new TkxDockRow();
      r->Cols.push_back(col);
      FRows.insert(FRows.begin() + std::min(row, RowCount()), r);
    }
  } else {
    int ci = GetColIndexAtPoint(row, ScreenPoint);
    auto& cols = FRows[std::size_t(row)]->Cols;
    cols.insert(cols.begin() + std::clamp(ci, 0, int(cols.size())), col);
  }
  TPoint p = ScreenPoint;
  if (!stored && bars->Moving()) {
    p.x -= bars->GrabOffset().x + Window->GrabPoint().x;
    p.y -= bars->GrabOffset().y + Window->GrabPoint().y;
  }
  TPoint local = ScreenToClient(p);
  if (Horizontal()) local.x = std::max(int(local.x), 0);
  else local.y = std::max(int(local.y), 0);
  col->Pos = local;
  if (Relayout) {
    if (!Window->DragMode() || !Window->HandleAllocated()) Window->SetBounds(local.x, local.y, Window->Width(), Window->Height());
    UpdateDock();
    if (!bars->Locked()) col->StorePos();
  }
}

void TkxDockControl::UndockBar(TkxBarControl* Window, bool Relayout) {
  for (auto rit = FRows.begin(); rit != FRows.end(); ++rit) {
    auto& cols = (*rit)->Cols;
    auto it = std::find_if(cols.begin(), cols.end(), [Window](TkxDockCol* c) { return c->BarControl == Window; });
    if (it == cols.end()) continue;
    delete *it;
    cols.erase(it);
    if (cols.empty()) {
      delete *rit;
      FRows.erase(rit);
    }
    break;
  }
  if (Relayout) UpdateDock();
}

void TkxDockControl::MoveBar(TkxBarControl* Window, const TPoint& ScreenPoint) {
  UndockBar(Window, false);
  DockBar(Window, ScreenPoint, true);
  if (NeedsDoubleBuffering()) {
    FreeBackgroundCache();
    RepaintBars();
  }
}

// ---- geometry ----

TRect TkxDockControl::GetDockZone() const {
  TRect r = BoundsRect();
  if (Parent()) {
    TPoint tl = Parent()->ClientToScreen(TPoint{r.left, r.top});
    r = TRect{tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()};
  }
  if (Horizontal()) {
    r.top -= kDropMargin;
    r.bottom += kDropMargin;
    r.left -= kDropMargin;
    r.right += kDropMargin;
  } else {
    r.left -= kDropMargin;
    r.right += kDropMargin;
  }
  return r;
}

TRect TkxDockControl::GetRowRect(int Row) const {
  if (Row < 0 || Row >= RowCount()) return TRect{};
  auto thickness = [this](int i) {
    int t = 0;
    for (TkxDockCol* c : FRows[std::size_t(i)]->Cols)
      if (c->BarControl) t = std::max(t, Horizontal() ? c->BarControl->Height() : c->BarControl->Width());
    return t;
  };
  TRect client = const_cast<TkxDockControl*>(this)->ClientRect();
  bool far = DockingStyle() == dsRight || DockingStyle() == dsBottom;
  bool moving = FBarManager && FBarManager->Bars() && FBarManager->Bars()->Moving();
  int start = 0;
  if (far && moving) {
    int extent = Horizontal() ? client.Height() : client.Width();
    start = extent;
    for (int i = RowCount() - 1; i >= Row; --i) start -= thickness(i);
  } else {
    for (int i = 0; i < Row; ++i) start += thickness(i);
  }
  int t = thickness(Row);
  if (Horizontal()) return TRect{0, start, client.Width(), start + t};
  return TRect{start, 0, start + t, client.Height()};
}

void TkxDockControl::GetRowZone(int Boundary, int Part, int& From, int& To) const {
  int q, p;
  bool far = DockingStyle() == dsRight || DockingStyle() == dsBottom;
  TRect client = const_cast<TkxDockControl*>(this)->ClientRect();
  int extent = Horizontal() ? client.Height() : client.Width();
  int size = GetClientSize();
  if (Boundary < 0) {
    q = far ? extent - size - kDropMargin : -kDropMargin;
    p = q + kDropMargin;
  } else if (Boundary >= RowCount()) {
    q = far ? extent : size;
    p = q + kDropMargin;
  } else {
    TRect r = GetRowRect(Boundary);
    q = Horizontal() ? r.top : r.left;
    p = Horizontal() ? r.bottom : r.right;
  }
  int m = far ? p - 14 : q + 9;
  switch (Part) {
    case 0: From = q; To = m; break;
    case 1: From = m; To = m + kJoinStrip; break;
    default: From = m + kJoinStrip; To = p; break;
  }
}

void TkxDockControl::GetRowAtPoint(const TPoint& ScreenPoint, int& Row, bool& NewRow) const {
  if (RowCount() == 0) {
    Row = 0;
    NewRow = true;
    return;
  }
  TPoint local = const_cast<TkxDockControl*>(this)->ScreenToClient(ScreenPoint);
  int across = Horizontal() ? local.y : local.x;
  for (int b = -1; b <= RowCount(); ++b)
    for (int part = 0; part < 3; ++part) {
      int from, to;
      GetRowZone(b, part, from, to);
      if (across < from || across >= to) continue;
      Row = part == 0 ? b : b + 1;
      NewRow = part == 1;
      if (Row < 0) {
        Row = 0;
        NewRow = true;
      }
      if (Row >= RowCount()) NewRow = true;
      return;
    }
  NewRow = true;
  Row = across < GetClientSize() ? 0 : RowCount();
}

int TkxDockControl::GetColIndexAtPoint(int Row, const TPoint& ScreenPoint) const {
  if (Row < 0 || Row >= RowCount() || FRows[std::size_t(Row)]->Cols.empty()) return 0;
  TPoint local = const_cast<TkxDockControl*>(this)->ScreenToClient(ScreenPoint);
  TkxBars* bars = FBarManager ? FBarManager->Bars() : nullptr;
  if (bars && bars->Moving() && bars->MovingWindow() && !bars->MovingWindow()->PlacingFromStoredValues()) {
    TPoint g = bars->MovingWindow()->GrabPoint();
    if (Horizontal()) local.x -= g.x;
    else local.y -= g.y;
  }
  int along = Horizontal() ? local.x : local.y;
  const auto& cols = FRows[std::size_t(Row)]->Cols;
  for (int i = 0; i < int(cols.size()); ++i) {
    TkxBar* bar = cols[std::size_t(i)]->BarControl ? cols[std::size_t(i)]->BarControl->Bar() : nullptr;
    int stored = bar ? (Horizontal() ? bar->DockedLeft() : bar->DockedTop()) : 0;
    if (stored >= along) return i;
  }
  return int(cols.size());
}

void TkxDockControl::GetRowMiddlePoint(int Row, bool OneOnRow, TPoint& ScreenPoint) const {
  if (OneOnRow && Row == RowCount()) OneOnRow = false;
  int from, to;
  if (OneOnRow) {
    GetRowZone(Row - 1, 1, from, to);
  } else {
    int f2, t2, f0, t0;
    GetRowZone(Row - 1, 2, f2, t2);
    GetRowZone(Row, 0, f0, t0);
    from = f2;
    to = t0;
    (void)t2;
    (void)f0;
  }
  int middle = (from + to) / 2;
  TPoint local = const_cast<TkxDockControl*>(this)->ScreenToClient(ScreenPoint);
  if (Horizontal()) local.y = middle;
  else local.x = middle;
  ScreenPoint = const_cast<TkxDockControl*>(this)->ClientToScreen(local);
}

// ---- layout ----

void TkxDockControl::CalcRowLayout(int RowIndex) {
  TkxDockRow* row = FRows[std::size_t(RowIndex)];
  if (row->Cols.empty()) return;
  bool horz = Horizontal();
  TkxBarDockingStyle style = DockingStyle();
  int L = ClientExtent();
  struct Info {
    TkxBarControl* W = nullptr;
    int frameAlong = 0, frameAcross = 0, min = 0, full = 0, len = 0, pos = 0, depth = 0;
    bool trunc = false, wraps = false;
  };
  std::vector<Info> info(row->Cols.size());
  int total = 0;
  for (std::size_t i = 0; i < row->Cols.size(); ++i) {
    Info& in = info[i];
    in.W = row->Cols[i]->BarControl;
    TkxBar* bar = in.W->Bar();
    in.W->SetTruncated(false);
    bar->ItemLinks()->SetRecentItemCount(-1);
    in.frameAlong = horz ? bar->GetNonClientWidth(style) : bar->GetNonClientHeight(style);
    in.frameAcross = horz ? bar->GetNonClientHeight(style) : bar->GetNonClientWidth(style);
    in.min = in.W->MinLength(style) + in.frameAlong;
    in.full = in.W->FullLength(style) + in.frameAlong;
    if (!in.W->IsMarkVisible() && in.min != in.full) in.min += kMarkRoom;
    in.wraps = in.W->IsMultiLine();
    total += in.full;
  }
  auto depthFor = [&](Info& in, int len) {
    TSize s = in.W->SizeForLength(style, len - in.frameAlong, in.trunc);
    return (horz ? s.cy : s.cx) + in.frameAcross;
  };
  TRect band = GetRowRect(RowIndex);
  int bandStart = horz ? band.top : band.left;
  TkxBar* firstBar = info[0].W->Bar();
  if (firstBar->WholeRow()) {
    Info& in = info[0];
    in.pos = 0;
    in.len = std::max(L, in.min);
    in.trunc = !(in.wraps || in.len >= in.full);
    in.depth = depthFor(in, in.len);
    for (std::size_t i = 1; i < info.size(); ++i) {
      info[i].pos = L;
      info[i].len = info[i].min;
      info[i].depth = depthFor(info[i], info[i].len);
    }
  } else if (L < total) {
    int R = L;
    for (int i = int(info.size()) - 1; i >= 0; --i) {
      Info& in = info[std::size_t(i)];
      TkxDockCol* col = row->Cols[std::size_t(i)];
      int want = horz ? col->Pos.x : col->Pos.y;
      int before = 0, beforeFull = 0;
      for (int j = 0; j < i; ++j) {
        before += info[std::size_t(j)].min;
        beforeFull += info[std::size_t(j)].full;
      }
      want = std::clamp(want, before, std::max(before, beforeFull));
      TkxBars* bars = FBarManager->Bars();
      if (i > 0 && bars->Moving() && row->Cols[std::size_t(i - 1)]->BarControl == bars->MovingWindow()) {
        TkxDockCol* prev = row->Cols[std::size_t(i - 1)];
        int prevPos = std::max(int(horz ? prev->Pos.x : prev->Pos.y), before - info[std::size_t(i - 1)].min);
        int end = prevPos + info[std::size_t(i - 1)].full;
        if (end < want) {
          want = end;
          if (horz) col->Pos.x = end;
          else col->Pos.y = end;
        }
      }
      int space = R - want;
      if (space < in.full) {
        in.trunc = !(in.wraps || in.min == in.full);
        in.len = std::max(in.min, space);
      } else {
        in.len = in.full;
      }
      if (i == 0) in.len = std::max(in.len, R);
      in.depth = depthFor(in, in.len);
      in.pos = std::clamp(R - in.len, before, std::max(before, beforeFull));
      R -= in.len;
    }
  } else {
    int R = L;
    for (int i = int(info.size()) - 1; i >= 0; --i) {
      Info& in = info[std::size_t(i)];
      TkxDockCol* col = row->Cols[std::size_t(i)];
      in.len = in.full;
      in.depth = depthFor(in, in.len);
      int stored = horz ? col->Pos.x : col->Pos.y;
      in.pos = stored + in.len > R ? R - in.len : stored;
      int fullBefore = 0;
      for (int j = 0; j < i; ++j) fullBefore += info[std::size_t(j)].full;
      in.pos = std::max(in.pos, fullBefore);
      R = in.pos;
    }
  }
  for (std::size_t i = 0; i < info.size(); ++i) {
    Info& in = info[i];
    if (!in.W->Bar()->UseRestSpace()) continue;
    in.pos = i == 0 ? 0 : info[i - 1].pos + info[i - 1].len;
    int end = i + 1 < info.size() ? info[i + 1].pos : L;
    in.len = std::max(end - in.pos, in.min);
    in.depth = depthFor(in, in.len);
  }
  Info& last = info.back();
  if (last.trunc) {
    last.len = std::max(L - last.pos, last.min);
    last.depth = depthFor(last, last.len);
  }
  int depth = 0;
  for (Info& in : info) depth = std::max(depth, in.depth);
  for (Info& in : info) {
    in.W->SetTruncated(in.trunc);
    TRect b = horz ? TRect{in.pos, bandStart, in.pos + in.len, bandStart + depth}
                   : TRect{bandStart, in.pos, bandStart + depth, in.pos + in.len};
    if (style == dsRight || style == dsBottom) {
      // the bars keep their own rows' far edge while the site changes
    }
    TRect old = in.W->BoundsRect();
    if (!(old == b)) {
      in.W->SetBounds(b.left, b.top, b.Width(), b.Height());
    }
    in.W->CalcControlsPositions();
  }
}

void TkxDockControl::CalcLayout() {
  if (RowCount() == 0 || !FBarManager || !FBarManager->Bars() || FBarManager->Bars()->Locked()) return;
  TCustomForm* form = GetOwnerForm();
  if (form && form->ComponentState().Contains(csDestroying)) return;
  if (!FBarManager->IsDesigning() && HandleAllocated() && Parent())
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DisableAlign();
  try {
    for (int i = 0; i < RowCount(); ++i) CalcRowLayout(i);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  Invalidate();
}

void TkxDockControl::UpdateSize() {
  int v = GetSize();
  TkxBarDockingStyle s = DockingStyle();
  bool changed = false;
  if (s == dsLeft || s == dsRight) {
    if (Width() != v) {
      changed = true;
      int left = s == dsRight ? Left() + Width() - v : Left();
      SetBounds(left, Top(), v, Height());
    }
  } else if (Height() != v) {
    changed = true;
    int top = s == dsBottom ? Top() + Height() - v : Top();
    SetBounds(Left(), top, Width(), v);
  }
  if (!changed) return;
  TCustomkxBarControl* head = kxBarGetActiveBarControl();
  if (!head || GetCapture() == (head->HandleAllocated() ? head->Handle() : nullptr)) return;
  TkxBarControl* root = kxBarGetRootToolbar(head);
  bool concerns = !root;
  if (root) {
    concerns = root->BarManager() == FBarManager ||
               (root->BarManager() && FBarManager && root->BarManager()->OwnerForm() == FBarManager->OwnerForm());
    if (!IsMain() && root->DockControl() && root->DockControl()->IsMain()) concerns = false;
  }
  if (concerns) head->CloseChain();
}

void TkxDockControl::UpdateDock() {
  if (!FBarManager || FInLayout || FBarManager->LockedUpdate() || FBarManager->IsDestroying()) return;
  TCustomForm* form = GetOwnerForm();
  if (form && form->ComponentState().Contains(csDestroying)) return;
  FInLayout = true;
  try {
    CalcLayout();
    UpdateSize();
  } catch (...) {
    FInLayout = false;
    throw;
  }
  FInLayout = false;
}

void TkxDockControl::RecreateFrame() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (TkxDockRow* r : FRows)
    for (TkxDockCol* c : r->Cols)
      if (c->BarControl) c->BarControl->FrameChanged();
  UpdateDock();
}

// ===========================================================================
// TkxBarDockControl

TkxBarDockControl::TkxBarDockControl(TComponent* AOwner) : TkxDockControl(AOwner) {
  SetAlign(alTop);
  SetBounds(0, 0, 100, DesignMinimum());
}

TkxBarDockingStyle TkxBarDockControl::BarDockingStyle() const {
  switch (FDockAlign) {
    case dalBottom: return dsBottom;
    case dalLeft: return dsLeft;
    case dalRight: return dsRight;
    default: return dsTop;
  }
}

void TkxBarDockControl::SetDockAlign(TkxBarDockAlign Value) {
  if (Value == FDockAlign) return;
  static const TAlign aligns[5] = {alNone, alTop, alBottom, alLeft, alRight};
  TkxBarManager* m = FBarManager;
  bool saved = m ? m->LockedUpdate() : false;
  if (m) m->LockUpdate(true);
  std::vector<TkxBarControl*> windows;
  for (TkxDockRow* r : FRows)
    for (TkxDockCol* c : r->Cols)
      if (c->BarControl) windows.push_back(c->BarControl);
  try {
    FDockAlign = Value;
    for (TkxBarControl* w : windows) w->SetDockingStyle(BarDockingStyle());
    SetAlign(aligns[Value]);
  } catch (...) {
    if (m) m->LockUpdate(saved);
    for (TkxBarControl* w : windows) w->Rebuild();
    if (Parent()) Parent()->Invalidate();
    throw;
  }
  if (m) m->LockUpdate(saved);
  for (TkxBarControl* w : windows) w->Rebuild();
  if (Parent()) Parent()->Invalidate();
}

void TkxBarDockControl::SetAllowZeroSizeInDesignTime(bool Value) {
  FAllowZeroSizeInDesignTime = Value;
  if (RowCount() == 0 && !ComponentState().Contains(csLoading)) UpdateSize();
}

int TkxBarDockControl::DesignMinimum() const {
  return ComponentState().Contains(csDesigning) && !FAllowZeroSizeInDesignTime ? 3 : 0;
}

void TkxBarDockControl::BarManagerChanged() {
  TkxDockControl::BarManagerChanged();
  if (ComponentState().Contains(csDestroying)) return;
  UpdateColor();
  RecreateFrame();
}

bool TkxBarDockControl::CanDocking(TkxBar* Bar) const {
  if (!TkxDockControl::CanDocking(Bar)) return false;
  TkxBarControl* w = Bar ? Bar->Control() : nullptr;
  if (w && w->HandleAllocated() && HandleAllocated() && IsChild(w->Handle(), const_cast<TkxBarDockControl*>(this)->Handle()))
    return false;
  return true;
}

void TkxBarDockControl::UpdateColor() {
  if (FUseOwnColor) return;
  TkxDockControl::UpdateColor();
  FUseOwnColor = false;
}

int TkxBarDockControl::GetClientSize() const {
  bool locked = FBarManager && FBarManager->Bars() && FBarManager->Bars()->Locked();
  if (ComponentState().Contains(csLoading) || locked) return ClientExtentAcross();
  int v = TkxDockControl::GetClientSize();
  return v == 0 ? DesignMinimum() : v;
}

int TkxBarDockControl::ClientExtentAcross() const {
  TRect r = const_cast<TkxBarDockControl*>(this)->ClientRect();
  return Horizontal() ? r.Height() : r.Width();
}

bool TkxBarDockControl::GetSunkenBorder() const {
  return FUseOwnSunkenBorder ? FOwnSunkenBorder : TkxDockControl::GetSunkenBorder();
}

TCustomForm* TkxBarDockControl::GetOwnerForm() const {
  if (TCustomForm* f = GetParentForm(const_cast<TkxBarDockControl*>(this))) return f;
  return TkxDockControl::GetOwnerForm();
}

void TkxBarDockControl::SetSunkenBorder(bool Value) {
  if (Value == GetSunkenBorder()) return;
  FOwnSunkenBorder = Value;
  FUseOwnSunkenBorder = true;
  RecreateFrame();
}

void TkxBarDockControl::SetUseOwnSunkenBorder(bool Value) {
  if (Value == FUseOwnSunkenBorder) return;
  if (Value) {
    FOwnSunkenBorder = GetSunkenBorder();
    FUseOwnSunkenBorder = true;
  } else {
    bool before = GetSunkenBorder();
    FUseOwnSunkenBorder = false;
    if (before != GetSunkenBorder()) RecreateFrame();
  }
}

void TkxBarDockControl::SetUseOwnColor(bool Value) {
  if (Value == FUseOwnColor) return;
  FUseOwnColor = Value;
  if (!Value) UpdateColor();
}

void TkxBarDockControl::SetDockColor(TColor Value) {
  if (Value == Color()) return;
  SetColor(Value);
  bool locked = FBarManager && FBarManager->Bars() && FBarManager->Bars()->Locked();
  if (!ComponentState().Contains(csLoading) && !locked) FUseOwnColor = true;
}

void TkxBarDockControl::SetDockParentColor(bool Value) {
  if (Value == ParentColor()) return;
  SetParentColor(Value);
  bool locked = FBarManager && FBarManager->Bars() && FBarManager->Bars()->Locked();
  if (!ComponentState().Contains(csLoading) && !locked) FUseOwnColor = true;
}
