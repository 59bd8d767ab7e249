// The flow-chart control: its items and selection, the painting lock, zoom,
// extent and scrolling, the keyboard, and its window messages.
#include "treechart/flowchart.h"

#include <algorithm>
#include <cstdlib>

#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"

// ---- the handle collector ----

void TkxFcSelection::AddHandle(int X, int Y) {
  FCounts.push_back(5);
  FPoints.push_back({X - 2, Y - 2});
  FPoints.push_back({X + 2, Y - 2});
  FPoints.push_back({X + 2, Y + 2});
  FPoints.push_back({X - 2, Y + 2});
  FPoints.push_back({X - 2, Y - 2});
}

void TkxFcSelection::Draw(HDC DC) {
  if (FCounts.empty()) return;
  const HGDIOBJ pen = SelectObject(DC, GetStockObject(BLACK_PEN));
  const HGDIOBJ brush = SelectObject(DC, GetStockObject(BLACK_BRUSH));
  PolyPolygon(DC, FPoints.data(), FCounts.data(), int(FCounts.size()));
  SelectObject(DC, brush);
  SelectObject(DC, pen);
}

// ---- creation ----

TkxCustomFlowChart::TkxCustomFlowChart(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csClickEvents, csDoubleClicks, csOpaque};  // the chart captures the mouse itself
  SetBounds(0, 0, 320, 200);
  FParentColor = false;
  FColor = clWindow;
  FTabStop = true;
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TkxCustomFlowChart::ImagesChanged);
}

TkxCustomFlowChart::~TkxCustomFlowChart() {
  OnDeletion = nullptr;
  OnSelected = nullptr;
  FDestroying = true;
  FDragKind = dkNone;
  if (FDragRegion) DeleteObject(FDragRegion);
  FDragRegion = nullptr;
  Clear();
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = nullptr;
}

void TkxCustomFlowChart::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_TABSTOP;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
}

void TkxCustomFlowChart::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollBars();
}

void TkxCustomFlowChart::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Items", [this](TStream* S) { LoadFromStream(S); }, [this](TStream* S) { SaveToStream(S); }, ObjectCount() > 0);
}

void TkxCustomFlowChart::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

// ---- items ----

TkxFcObject* TkxCustomFlowChart::Objects(int I) const {
  return I >= 0 && I < ObjectCount() ? FObjects[std::size_t(I)] : nullptr;
}

TkxFcConnection* TkxCustomFlowChart::Connections(int I) const {
  return I >= 0 && I < ConnectionCount() ? FConnections[std::size_t(I)] : nullptr;
}

TkxFcObject* TkxCustomFlowChart::SelectedObjects(int I) const {
  return I >= 0 && I < SelectedObjectCount() ? static_cast<TkxFcObject*>(FSelObjects[std::size_t(I)]) : nullptr;
}

TkxFcConnection* TkxCustomFlowChart::SelectedConnections(int I) const {
  return I >= 0 && I < SelectedConnectionCount() ? static_cast<TkxFcConnection*>(FSelConnections[std::size_t(I)])
                                                 : nullptr;
}

TkxFcObject* TkxCustomFlowChart::SelectedObject() const {
  return FSelObjects.size() == 1 && FSelConnections.empty() ? SelectedObjects(0) : nullptr;
}

TkxFcConnection* TkxCustomFlowChart::SelectedConnection() const {
  return FSelConnections.size() == 1 && FSelObjects.empty() ? SelectedConnections(0) : nullptr;
}

TkxFcObject* TkxCustomFlowChart::NewObject() { return new TkxFcObject(this); }

TkxFcConnection* TkxCustomFlowChart::NewConnection() { return new TkxFcConnection(this); }

TkxFcObject* TkxCustomFlowChart::CreateObject(int Left, int Top, Word Width, Word Height, TkxFcShapeKind Shape) {
  TkxFcObject* o = NewObject();
  if (OnCreateItem) OnCreateItem(this, o);
  o->FShapeKind = Shape;
  o->ComputeAttachPoints();
  o->SetBounds(Left, Top, Width, Height);
  return o;
}

TkxFcConnection* TkxCustomFlowChart::CreateConnection(TkxFcObject* Source, TkxFcObject* Dest, Byte DestPoint,
                                                       Byte SourcePoint) {
  TkxFcConnection* c = NewConnection();
  if (OnCreateItem) OnCreateItem(this, c);
  c->SetSource(Source, SourcePoint);
  c->SetDest(Dest, DestPoint);
  return c;
}

void TkxCustomFlowChart::Clear() {
  if (FObjects.empty() && FConnections.empty()) return;
  BeginUpdate();
  for (TkxFcItem* i : FSelObjects) i->FSelected = false;
  for (TkxFcItem* i : FSelConnections) i->FSelected = false;
  FSelObjects.clear();
  FSelConnections.clear();
  while (!FConnections.empty()) delete FConnections.front();
  while (!FObjects.empty()) delete FObjects.front();
  EndUpdate();
}

void TkxCustomFlowChart::ClearSelection() {
  while (!FSelConnections.empty()) FSelConnections.front()->SetSelected(false);
  while (!FSelObjects.empty()) FSelObjects.front()->SetSelected(false);
}

void TkxCustomFlowChart::SelectAll() {
  for (TkxFcObject* o : std::vector<TkxFcObject*>(FObjects)) o->SetSelected(true);
  for (TkxFcConnection* c : std::vector<TkxFcConnection*>(FConnections)) c->SetSelected(true);
}

void TkxCustomFlowChart::DeleteSelection() {
  while (!FSelConnections.empty()) delete FSelConnections.front();
  while (!FSelObjects.empty()) delete FSelObjects.front();
}

bool TkxCustomFlowChart::SelectionVisible() {
  return (HandleAllocated() && Focused()) || !FOptions.Contains(fcoHideSelection);
}

// ---- notifications ----

bool TkxCustomFlowChart::CanSelectItem(TkxFcItem* Item) {
  bool allow = FOptions.Contains(fcoCanSelect);
  if (OnSelection) OnSelection(this, Item, allow);
  return allow;
}

void TkxCustomFlowChart::ItemChanged(TkxFcItem* Item) {
  if (OnChange) OnChange(this, Item);
}

void TkxCustomFlowChart::ItemSelected(TkxFcItem* Item) {
  if (OnSelected) OnSelected(this, Item);
}

void TkxCustomFlowChart::ItemDeleted(TkxFcItem* Item) {
  if (FDragKind != dkNone) CancelDrag();
  Item->Invalidate();
  if (Item->FSelected) {
    std::vector<TkxFcItem*>& list = Item->SelectionList();
    list.erase(std::remove(list.begin(), list.end(), Item), list.end());
    Item->FSelected = false;
    ItemSelected(Item);
  }
  if (OnDeletion) OnDeletion(this, Item);
  Item->FDestroying = true;
  if (FDragConnection == Item) FDragConnection = nullptr;
  FHitObject = nullptr;
  FHitConnection = nullptr;
  ClearHitCache();
}

// ---- the painting lock ----

bool TkxCustomFlowChart::CanPaint() { return FUpdateCount == 0 && HandleAllocated() && !FDestroying; }

void TkxCustomFlowChart::BeginUpdate() {
  if (FUpdateCount == 0) FNeedsRepaint = false;
  ++FUpdateCount;
}

void TkxCustomFlowChart::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) {
    if (FNeedsRepaint && HandleAllocated() && !FDestroying) TCustomControl::Invalidate();
    UpdateExtent();
  }
}

void TkxCustomFlowChart::Invalidate() {
  FNeedsRepaint = true;
  if (CanPaint()) TCustomControl::Invalidate();
}

void TkxCustomFlowChart::RepaintAll() {
  FNeedsRepaint = true;
  if (CanPaint()) TCustomControl::Invalidate();
}

void TkxCustomFlowChart::InvalidateObject(TkxFcObject* O) {
  FNeedsRepaint = true;
  if (!O || !CanPaint()) return;
  TRect r = O->ClientRect();
  if (O->Selected()) InflateRect(&r, 3, 3);
  InvalidateRect(Handle(), &r, FALSE);
}

void TkxCustomFlowChart::InvalidateSelection() {
  for (TkxFcItem* i : FSelObjects) i->Invalidate();
  for (TkxFcItem* i : FSelConnections) i->Invalidate();
}

// ---- coordinates, zoom, extent and scrolling ----

int TkxCustomFlowChart::ToDisplay(int V) const { return MulDiv(V, FActualZoom, 100); }

TPoint TkxCustomFlowChart::ClientToChart(int X, int Y) const {
  return TPoint{MulDiv(X + FLeftEdge, 100, FActualZoom), MulDiv(Y + FTopEdge, 100, FActualZoom)};
}

void TkxCustomFlowChart::SetZoom(Word Value) {
  if (Value == FZoom) return;
  FZoom = Value;
  if (Value != 0) {
    FActualZoom = Value;
  } else {
    FZoom = 0xFFFF;
    const int w = MulDiv(FExtent.right - FExtent.left, 100, FActualZoom);
    const int h = MulDiv(FExtent.bottom - FExtent.top, 100, FActualZoom);
    const int cw = HandleAllocated() ? ClientWidth() : Width(), ch = HandleAllocated() ? ClientHeight() : Height();
    int az;
    if (std::int64_t(w) * ch < std::int64_t(h) * cw) az = MulDiv(ch, 95, h);
    else az = MulDiv(cw, 95, w);
    if (unsigned(az) > 100) az = 100;
    if (az == 0) az = 1;
    FActualZoom = Word(az);
  }
  BeginUpdate();
  try {
    for (TkxFcObject* o : FObjects) o->UpdateDisplay();
    for (TkxFcConnection* c : FConnections) c->UpdateDisplay();
    RepaintAll();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (FZoom == 0xFFFF) FZoom = 0;
}

void TkxCustomFlowChart::UpdateExtent() {
  if (FUpdateCount > 0 || FDestroying) return;
  // the origin always belongs to the extent
  TRect e{0, 0, 0, 0};
  auto add = [&e](const TRect& r) {
    e.left = std::min(e.left, r.left);
    e.top = std::min(e.top, r.top);
    e.right = std::max(e.right, r.right);
    e.bottom = std::max(e.bottom, r.bottom);
  };
  for (TkxFcObject* o : FObjects) add(o->DisplayRect());
  for (TkxFcConnection* c : FConnections) {
    if (c->PointCount() < 1) continue;
    TRect b = c->ClientBounds();
    OffsetRect(&b, FLeftEdge, FTopEdge);
    add(b);
  }
  if (!(e == FExtent)) {
    FExtent = e;
    if (FZoom == 0) {
      FZoom = FActualZoom;
      SetZoom(0);
    }
    UpdateScrollBars();
  }
  if (FZoom == 0xFFFF) FZoom = 0;
}

void TkxCustomFlowChart::UpdateScrollBars() {
  if (!HandleAllocated() || FDestroying) return;
  const int h = GetScrollPos(Handle(), SB_HORZ), v = GetScrollPos(Handle(), SB_VERT);
  const bool fit = FZoom == 0 || FZoom == 0xFFFF;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = FExtent.left;
  si.nMax = FExtent.right;
  // a whole extent as one page; far-flung objects may make it wider than an int
  auto whole = [](int A, int B) { return UINT(std::min<std::int64_t>(std::int64_t(B) - A + 1, INT_MAX)); };
  si.nPage = fit ? whole(FExtent.left, FExtent.right) : UINT(std::max(0, ClientWidth()));
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  si.nMin = FExtent.top;
  si.nMax = FExtent.bottom;
  si.nPage = fit ? whole(FExtent.top, FExtent.bottom) : UINT(std::max(0, ClientHeight()));
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  SetLeftTop(h, v);
}

void TkxCustomFlowChart::SetLeftTop(int X, int Y) {
  const int cw = HandleAllocated() ? ClientWidth() : Width(), ch = HandleAllocated() ? ClientHeight() : Height();
  X = std::max<int>(FExtent.left, std::min<int>(X, FExtent.right - cw));
  Y = std::max<int>(FExtent.top, std::min<int>(Y, FExtent.bottom - ch));
  if (X == FLeftEdge && Y == FTopEdge) return;
  const int dx = FLeftEdge - X, dy = FTopEdge - Y;
  const bool hx = X != FLeftEdge, hy = Y != FTopEdge;
  FLeftEdge = X;
  FTopEdge = Y;
  ClearHitCache();
  for (TkxFcObject* o : FObjects) o->OffsetRegions(dx, dy);
  if (HandleAllocated()) {
    ScrollWindow(Handle(), dx, dy, nullptr, nullptr);
    if (hx) SetScrollPos(Handle(), SB_HORZ, X, TRUE);
    if (hy) SetScrollPos(Handle(), SB_VERT, Y, TRUE);
  }
}

void TkxCustomFlowChart::SetLeftEdge(int Value) {
  if (Value != FLeftEdge) SetLeftTop(Value, FTopEdge);
}

void TkxCustomFlowChart::SetTopEdge(int Value) {
  if (Value != FTopEdge) SetLeftTop(FLeftEdge, Value);
}

void TkxCustomFlowChart::ScrollMessage(int Bar, TMessage& Message) {
  const bool horz = Bar == SB_HORZ;
  const int page = horz ? ClientWidth() : ClientHeight();
  const int lo = horz ? FExtent.left : FExtent.top;
  const int hi = horz ? FExtent.right - page : FExtent.bottom - page;
  int pos = horz ? FLeftEdge : FTopEdge;
  switch (Message.WParamLo()) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos = pos - page + 16; break;
    case SB_PAGEDOWN: pos = pos + page - 16; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = SmallInt(Message.WParamHi()); break;
    case SB_TOP: pos = lo; break;
    case SB_BOTTOM: pos = hi; break;
    default: return;
  }
  if (horz) SetLeftTop(pos, FTopEdge);
  else SetLeftTop(FLeftEdge, pos);
}

void TkxCustomFlowChart::WMHScroll2(TMessage& Message) { ScrollMessage(SB_HORZ, Message); }
void TkxCustomFlowChart::WMVScroll2(TMessage& Message) { ScrollMessage(SB_VERT, Message); }

// ---- the keyboard ----

void TkxCustomFlowChart::ResizeByKey(int DW, int DH) {
  TkxFcObject* o = SelectedObject();
  if (!o) return;
  if (FActualZoom < 100) {
    DW = MulDiv(DW, 100, FActualZoom);
    DH = MulDiv(DH, 100, FActualZoom);
  }
  const int w = o->Width() + DW, h = o->Height() + DH;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535) return;
  o->SetBounds(o->Left(), o->Top(), Word(w), Word(h));
  o->MakeVisible();
}

void TkxCustomFlowChart::SelectNearest(int Direction) {
  // Direction: 0 left, 1 up, 2 right, 3 down
  TkxFcObject* sel = SelectedObject();
  if (!sel) return;
  TkxFcObject* best = nullptr;
  std::int64_t bestScore = 0;
  for (TkxFcObject* o : FObjects) {
    if (o == sel || !o->Visible() || o->Selected()) continue;
    std::int64_t dx = std::int64_t(o->Left()) - sel->Left(), dy = std::int64_t(o->Top()) - sel->Top();
    if (Direction == 1 || Direction == 3) std::swap(dx, dy);
    if (Direction == 0 || Direction == 1) dx = -dx;
    // an object on the wrong side has a negative dx, whose unsigned quarter
    // puts it beyond the bound
    const std::int64_t score = std::llabs(dx) + 8 * std::llabs(dy) + (std::uint32_t(std::int32_t(dx)) >> 2);
    if (score >= 0x20000000) continue;
    if (!best || score < bestScore) {
      best = o;
      bestScore = score;
    }
  }
  if (!best) return;
  ClearSelection();
  best->SetSelected(true);
  if (best->Selected()) best->MakeVisible();
}

void TkxCustomFlowChart::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (FDragKind != dkNone || Key == 0) return;
  const TShiftState mods = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  const int cw = ClientWidth(), ch = ClientHeight();
  if (mods == TShiftState{ssShift}) {
    if (!FOptions.Contains(fcoCanDrag)) return;
    switch (Key) {
      case VK_PRIOR: ResizeByKey(1, -1); break;
      case VK_NEXT: ResizeByKey(1, 1); break;
      case VK_END: ResizeByKey(-1, 1); break;
      case VK_HOME: ResizeByKey(-1, -1); break;
      case VK_LEFT: ResizeByKey(-1, 0); break;
      case VK_UP: ResizeByKey(0, -1); break;
      case VK_RIGHT: ResizeByKey(1, 0); break;
      case VK_DOWN: ResizeByKey(0, 1); break;
      default: break;
    }
  } else if (mods == TShiftState{ssAlt}) {
    if (!FOptions.Contains(fcoCanDrag)) return;
    switch (Key) {
      case VK_PRIOR: MoveSelection(1, -1); break;
      case VK_NEXT: MoveSelection(1, 1); break;
      case VK_END: MoveSelection(-1, 1); break;
      case VK_HOME: MoveSelection(-1, -1); break;
      case VK_LEFT: MoveSelection(-1, 0); break;
      case VK_UP: MoveSelection(0, -1); break;
      case VK_RIGHT: MoveSelection(1, 0); break;
      case VK_DOWN: MoveSelection(0, 1); break;
      default: break;
    }
  } else if (mods == TShiftState{ssCtrl}) {
    switch (Key) {
      case VK_PRIOR: SetTopEdge(FExtent.top); break;
      case VK_NEXT: SetTopEdge(FExtent.bottom); break;
      case VK_END: SetLeftTop(FExtent.right, FExtent.bottom); break;
      case VK_HOME: SetLeftTop(FExtent.left, FExtent.top); break;
      case VK_LEFT: SetLeftEdge(FLeftEdge - cw + 16); break;
      case VK_RIGHT: SetLeftEdge(FLeftEdge + cw - 16); break;
      default: break;
    }
  } else if (mods.Empty()) {
    switch (Key) {
      case VK_PRIOR: SetTopEdge(FTopEdge - ch + 16); break;
      case VK_NEXT: SetTopEdge(FTopEdge + ch - 16); break;
      case VK_END: SetLeftEdge(FExtent.right); break;
      case VK_HOME: SetLeftEdge(FExtent.left); break;
      case VK_LEFT: SelectNearest(0); break;
      case VK_UP: SelectNearest(1); break;
      case VK_RIGHT: SelectNearest(2); break;
      case VK_DOWN: SelectNearest(3); break;
      case VK_DELETE:
        if (FOptions.Contains(fcoCanDelete)) DeleteSelection();
        break;
      default: break;
    }
  }
}

// ---- window messages ----

void TkxCustomFlowChart::WndProc(TMessage& Message) {
  if (FDragKind != dkNone) {
    // keys are swallowed while the mouse drags; painting waits for the drop,
    // so that the feedback drawn over the lines stays in step with them
    if (Message.Msg >= 256 && Message.Msg <= 264) return;
    if (Message.Msg == WM_PAINT && HandleAllocated()) {
      RECT r;
      if (GetUpdateRect(Handle(), &r, FALSE)) UnionRect(&FHeldPaint, &FHeldPaint, &r);
      ValidateRect(Handle(), nullptr);
      return;
    }
  }
  TCustomControl::WndProc(Message);
}

void TkxCustomFlowChart::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTARROWS;
}

void TkxCustomFlowChart::WMSetFocus2(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FOptions.Contains(fcoHideSelection)) InvalidateSelection();
}

void TkxCustomFlowChart::WMKillFocus2(TMessage& Message) {
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  CancelDrag();
  TCustomControl::Dispatch(Message);
  if (FOptions.Contains(fcoHideSelection)) InvalidateSelection();
}

void TkxCustomFlowChart::WMSize2(TWMSize& Message) {
  TCustomControl::Dispatch(Message);
  if (Message.SizeType() != SIZE_RESTORED && Message.SizeType() != SIZE_MAXIMIZED) return;
  if (FZoom != 0 && FZoom != 0xFFFF) UpdateScrollBars();
  if (FZoom == 0) {
    FZoom = 100;
    SetZoom(0);
  }
}

void TkxCustomFlowChart::WMEraseBkgnd2(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TkxCustomFlowChart::CMFontChanged3(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  BeginUpdate();
  for (TkxFcObject* o : FObjects)
    if (o->ParentFont()) {
      o->TakeFontQuietly(Font());
      o->Invalidate();
    }
  for (TkxFcConnection* c : FConnections)
    if (c->ParentFont()) {
      c->TakeFontQuietly(Font());
      c->TextLayoutChanged();
    }
  EndUpdate();
}

void TkxCustomFlowChart::CMCtl3DChanged3(TMessage& Message) {
  if (FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
  TCustomControl::Dispatch(Message);
}

// ---- properties ----

void TkxCustomFlowChart::SetOptions(TkxFcOptions Value) {
  if (Value == FOptions) return;
  const TkxFcOptions old = FOptions;
  FOptions = Value;
  const bool selChanged = old.Contains(fcoCanSelect) != Value.Contains(fcoCanSelect) ||
                          old.Contains(fcoMultiSelect) != Value.Contains(fcoMultiSelect);
  if (selChanged && !(Value.Contains(fcoCanSelect) && Value.Contains(fcoMultiSelect))) ClearSelection();
  if (old.Contains(fcoHideSelection) != Value.Contains(fcoHideSelection) && !(HandleAllocated() && Focused()))
    InvalidateSelection();
}

void TkxCustomFlowChart::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    if (!FImages->ComponentState().Contains(csDestroying)) FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  if (!FDestroying) RepaintAll();
}

void TkxCustomFlowChart::ImagesChanged(TObject*) { RepaintAll(); }

void TkxCustomFlowChart::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

// ---- registration ----

void kxInitFlowChartClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  using C = TkxFlowChart;
  using B = TkxCustomFlowChart;
  RegisterClasses({C::StaticClass()});
  RegisterProps<C>([](TPropBuilder<C>& p) {
    TControlPropDefaults d;
    d.Color = clWindow;
    d.ParentColor = false;
    d.TabStop = true;
    PublishControlProps(p,
                        "Align Color Ctl3D Enabled Font ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu "
                        "TabOrder TabStop Visible OnClick OnDblClick OnEnter OnExit OnDragDrop OnDragOver OnStartDrag "
                        "OnEndDrag OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp",
                        d);
    p.Prop("BorderStyle", &B::BorderStyle, &B::SetBorderStyle).Default(bsSingle);
    p.Prop("Images", &B::Images, &B::SetImages);
    p.Prop("Options", &B::Options, &B::SetOptions).NoDefault();
    p.Prop("Zoom", &B::Zoom, &B::SetZoom).Default(100);
    p.Prop("OnChange", &B::OnChange, &B::OnChange);
    p.Prop("OnCreateItem", &B::OnCreateItem, &B::OnCreateItem);
    p.Prop("OnDeletion", &B::OnDeletion, &B::OnDeletion);
    p.Prop("OnSelected", &B::OnSelected, &B::OnSelected);
    p.Prop("OnSelection", &B::OnSelection, &B::OnSelection);
    p.Prop("OnDrawObject", &B::OnDrawObject, &B::OnDrawObject);
    p.Prop("OnEditing", &B::OnEditing, &B::OnEditing);
    p.Prop("OnEdited", &B::OnEdited, &B::OnEdited);
  });
}
