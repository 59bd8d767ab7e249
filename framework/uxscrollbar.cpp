#include "framework/uxscrollbar.h"

#include <algorithm>

#include "framework/uxthemes.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
bool InRect(const TRect& R, const TPoint& P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

// MulDiv over 64-bit operands: the ranges of a bar (Max - Min + 1 for the
// widest 32-bit range) do not fit 32 bits. Halves round away from zero; a zero
// divisor gives -1, as the platform's MulDiv does.
long long MulDiv64(long long A, long long B, long long C) {
  if (C == 0) return -1;
  __int128 p = static_cast<__int128>(A) * B;
  bool negative = (p < 0) != (C < 0);
  __int128 ap = p < 0 ? -p : p, ac = C < 0 ? -static_cast<__int128>(C) : C;
  __int128 q = (2 * ap + ac) / (2 * ac);
  return static_cast<long long>(negative ? -q : q);
}
}  // namespace

TuxScrollBar::TuxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csFramed, csOpaque};
  FLookAndFeel = std::make_unique<TuxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TuxLookAndFeel* S, TuxLookAndFeelValues V) { LookAndFeelChanged(S, V); };
  FBitmap = std::make_unique<TBitmap>();
  FBitmapCanvas = std::make_unique<TuxCanvas>(FBitmap->Canvas());
  FTimer = new TuxTimer(this);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(400);
  FTimer->SetOnTimer(TNotifyEvent(this, &TuxScrollBar::RepeatTimerTick));
  FThemeNotificator = std::make_unique<TkxThemeChangedNotificator>();
  FThemeNotificator->OnThemeChanged = [this] { ThemeChanged(); };
  TCustomControl::SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  FBitmap->SetSize(Width(), Height());
  CalculateThumbSize();
  CalculateRects();
}

TuxScrollBar::~TuxScrollBar() = default;

TuxLookAndFeelPainterClass TuxScrollBar::Painter() const {
  return FLookAndFeel->GetAvailablePainterForTheme(tckScrollBar);
}

void TuxScrollBar::ThemeChanged() {
  CalculateThumbSize();
  CalculateRects();
  RebuildScrollBarPatterns();
  Invalidate();
  if (TWinControl* p = Parent()) p->Realign();
}

void TuxScrollBar::LookAndFeelChanged(TuxLookAndFeel*, TuxLookAndFeelValues) {
  CalculateThumbSize();
  CalculateRects();
  Invalidate();
}

TSize TuxScrollBar::GetScrollBarSize() {
  return TSize{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TuxScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (ComponentState().Contains(csLoading))
    CalculateRects();
  else
    SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TuxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  bool changed = ALeft != Left() || ATop != Top() || AWidth != Width() || AHeight != Height();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changed && Width() > 0 && Height() > 0) {
    FBitmap->SetSize(Width(), Height());
    CalculateRects();
  }
}

void TuxScrollBar::SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool Redraw) {
  if (AMax < AMin || AMax < APageSize) throw EInvalidOperation("Scrollbar property out of range");
  Redraw = Redraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  if (APosition == FPosition) {
    CalculateThumb();
    if (Redraw) Repaint();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  CalculateThumb();
  if (Redraw) Repaint();
  Change();
}

void TuxScrollBar::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TuxScrollBar::Scroll(TScrollCode Code, int& ScrollPos) {
  if (OnScroll) OnScroll(this, Code, ScrollPos);
}

void TuxScrollBar::DoScroll(TScrollCode Code) {
  // 64-bit steps: near the ends of a range that reaches a 32-bit limit a step
  // must stop at the end, not wrap around to the other one.
  long long step = FPosition;
  switch (Code) {
    case scLineUp: step -= FSmallChange; break;
    case scLineDown: step += FSmallChange; break;
    case scPageUp: step -= FLargeChange; break;
    case scPageDown: step += FLargeChange; break;
    case scTop: step = FMin; break;
    case scBottom: step = FMax; break;
    default: break;
  }
  int p = static_cast<int>(std::clamp<long long>(step, FMin, FMax));
  Scroll(Code, p);
  p = std::clamp(p, FMin, FMax);
  if (p == FPosition) return;
  if (Code == scTrack) {
    FPosition = p;
    Repaint();
  } else {
    SetPosition(p);
  }
}

// ---------------------------------------------------------------------------
// geometry

void TuxScrollBar::CalculateThumbSize() {
  FThumbnailSize = 8;
  TuxLookAndFeelPainterClass painter = Painter();
  if (!painter || painter->GetPainterStyle() != psNative || !IsVisualStyleAvailable(tckScrollBar)) return;
  // The theme's gripper, measured along the bar, with room around it.
  const bool horz = FKind == sbHorizontal;
  const int gripperPart = horz ? 9 : 8;
  constexpr int SizeMin = 0, SizeTrue = 1;
  HTHEME theme = kxOpenThemeOfKind(tckScrollBar);
  SIZE minSize{0, 0}, trueSize{0, 0};
  GetThemePartSize(theme, nullptr, gripperPart, 0, SizeMin, minSize);
  GetThemePartSize(theme, nullptr, gripperPart, 0, SizeTrue, trueSize);
  int size = horz ? std::max<int>(minSize.cx, trueSize.cx + 4) : std::max<int>(minSize.cy, trueSize.cy + 4);
  if (size > 7) FThumbnailSize = size;
}

void TuxScrollBar::CalculateRects() {
  bool vert = FKind == sbVertical;
  int len = vert ? Height() : Width();
  int arrow = std::min(GetSystemMetrics(vert ? SM_CXVSCROLL : SM_CYHSCROLL), len / 2);
  if (vert) {
    FLineUpRect = uxRect(0, 0, Width(), arrow);
    FLineDownRect = uxRect(0, Height() - arrow, Width(), Height());
  } else {
    FLineUpRect = uxRect(0, 0, arrow, Height());
    FLineDownRect = uxRect(Width() - arrow, 0, Width(), Height());
  }
  CalculateThumb();
}

void TuxScrollBar::CalculateThumb() {
  FThumbRect = FPageUpRect = FPageDownRect = TRect{};
  if (!Enabled()) return;
  bool vert = FKind == sbVertical;
  int first, second;
  TrackBounds(first, second);
  int track = second - first;
  int length;
  long long offset;
  const long long pos = static_cast<long long>(FPosition) - FMin;
  if (FPageSize != 0) {
    long long range = static_cast<long long>(FMax) - FMin + 1;
    length = static_cast<int>(std::min<long long>(track, MulDiv64(FPageSize, track, range)));
    if (track < FThumbnailSize || FMax == FMin) return;
    length = std::max(length, FThumbnailSize);
    // A page as large as the range (or larger) leaves no room to move: the
    // thumb stays at the start instead of dividing by zero.
    long long span = static_cast<long long>(FMax) - FMin - FPageSize + 1;
    offset = span > 0 ? MulDiv64(track - length, std::min(pos, span), span) : 0;
  } else {
    length = GetSystemMetrics(vert ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (track < length) return;
    offset = (track - length <= 0 || FMax == FMin)
                 ? 0
                 : MulDiv64(track - length, pos, static_cast<long long>(FMax) - FMin);
  }
  offset = std::clamp<long long>(offset, 0, std::max(0, track - length));
  PlaceThumb(first + static_cast<int>(offset), length);
}

void TuxScrollBar::TrackBounds(int& First, int& Second) const {
  const bool vert = FKind == sbVertical;
  First = vert ? FLineUpRect.bottom : FLineUpRect.right;
  Second = vert ? FLineDownRect.top : FLineDownRect.left;
}

void TuxScrollBar::PlaceThumb(int Start, int Length) {
  int first, second;
  TrackBounds(first, second);
  if (FKind == sbVertical) {
    FThumbRect = uxRect(0, Start, Width(), Start + Length);
    FPageUpRect = uxRect(0, first, Width(), Start);
    FPageDownRect = uxRect(0, Start + Length, Width(), second);
  } else {
    FThumbRect = uxRect(Start, 0, Start + Length, Height());
    FPageUpRect = uxRect(first, 0, Start, Height());
    FPageDownRect = uxRect(Start + Length, 0, second, Height());
  }
}

int TuxScrollBar::PositionFromThumb() {
  bool vert = FKind == sbVertical;
  int first, second;
  TrackBounds(first, second);
  int thumbStart = vert ? FThumbRect.top : FThumbRect.left;
  int thumbLen = vert ? FThumbRect.Height() : FThumbRect.Width();
  long long range = static_cast<long long>(FMax) - FMin;
  if (FPageSize > 0) range += 1 - static_cast<long long>(FPageSize);
  int room = second - first - thumbLen;
  if (room <= 0) return FMin;  // the thumb fills the track: nothing to choose
  long long p = FMin + MulDiv64(range, thumbStart - first, room);
  return static_cast<int>(std::clamp<long long>(p, FMin, FMax));
}

TuxScrollBarHitPart TuxScrollBar::HitTest(const TPoint& P) {
  if (!InRect(ClientRect(), P)) return shpNone;
  if (InRect(FLineUpRect, P)) return shpLineUp;
  if (InRect(FLineDownRect, P)) return shpLineDown;
  if (uxIsRectEmpty(FThumbRect)) return shpNone;
  if (InRect(FThumbRect, P)) return shpThumb;
  if (InRect(FPageUpRect, P)) return shpPageUp;
  if (InRect(FPageDownRect, P)) return shpPageDown;
  return shpNone;
}

// ---------------------------------------------------------------------------
// mouse

void TuxScrollBar::ScrollByPart(TuxScrollBarHitPart Part) {
  switch (Part) {
    case shpLineUp: DoScroll(scLineUp); break;
    case shpLineDown: DoScroll(scLineDown); break;
    case shpPageUp: DoScroll(scPageUp); break;
    case shpPageDown: DoScroll(scPageDown); break;
    case shpThumb: DoScroll(scTrack); break;
    default: break;
  }
}

void TuxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TuxScrollBarHitPart part = HitTest(TPoint{X, Y});
  if (part == shpNone) return;
  FState = FHotPart = part;
  if (part == shpThumb) {
    FSavePoint = TPoint{X, Y};
    FSavePosition = FPosition;
    FSaveThumbPos = TPoint{FThumbRect.left, FThumbRect.top};
    DoScroll(scTrack);
  } else {
    ScrollByPart(part);
    FFirstTick = true;
    FTimer->SetInterval(400);
    FTimer->SetEnabled(true);
  }
  Repaint();
}

void TuxScrollBar::RepeatTimerTick(TObject*) {
  bool held = HandleAllocated() && GetCapture() == Handle();
  if (held && (FState == shpLineUp || FState == shpLineDown || FState == shpPageUp || FState == shpPageDown)) {
    if (FFirstTick) {
      FFirstTick = false;
      FTimer->SetInterval(60);
    }
    POINT p;
    GetCursorPos(&p);
    TPoint cp = ScreenToClient(TPoint{p.x, p.y});
    // Steps only while the mouse stays on the pressed part.
    if (HitTest(cp) == FState) {
      ScrollByPart(FState);
      FTimer->SetEnabled(HitTest(cp) == FState);
    } else {
      FTimer->SetEnabled(false);
    }
  } else {
    CancelState();
  }
}

TRect TuxScrollBar::TrackingArea() {
  TRect r = ClientRect();
  if (FKind == sbVertical) return uxRect(r.left - 136, r.top - 34, r.right + 136, r.bottom + 34);
  return uxRect(r.left - 34, r.top - 136, r.right + 34, r.bottom + 136);
}

void TuxScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  TPoint p{X, Y};
  if (FState != shpThumb) {
    if (FState != shpNone) FTimer->SetEnabled(HitTest(p) == FState);
    TuxScrollBarHitPart h = HitTest(p);
    if (h != FHotPart) {
      FHotPart = h;
      if (Painter() && Painter()->HasButtonHotTracking()) Repaint();
    }
    return;
  }
  bool vert = FKind == sbVertical;
  if (FUnlimitedTracking || InRect(TrackingArea(), p)) {
    int delta = vert ? Y - FSavePoint.y : X - FSavePoint.x;
    int first, second;
    TrackBounds(first, second);
    int len = vert ? FThumbRect.Height() : FThumbRect.Width();
    int start = std::clamp((vert ? FSaveThumbPos.y : FSaveThumbPos.x) + delta, first, std::max(first, second - len));
    int cur = vert ? FThumbRect.top : FThumbRect.left;
    if (start == cur) return;
    PlaceThumb(start, len);
    Repaint();
    int np = std::clamp(PositionFromThumb(), FMin, FMax);
    if (np != FPosition) {
      FPosition = np;
      DoScroll(scTrack);
    }
  } else {
    if (FPosition != FSavePosition) SetPosition(FSavePosition);
    CalculateThumb();
    DoScroll(scTrack);
  }
}

void TuxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  CancelState();
  FHotPart = HitTest(TPoint{X, Y});
}

void TuxScrollBar::CancelState() {
  if (FState == shpNone) return;
  if (FState == shpThumb) {
    SetPosition(PositionFromThumb());
    DoScroll(scPosition);
  }
  FTimer->SetEnabled(false);
  FState = FHotPart = shpNone;
  DoScroll(scEndScroll);
  CalculateThumb();
  Invalidate();
}

// ---------------------------------------------------------------------------
// painting and messages

TuxButtonState TuxScrollBar::PartState(TuxScrollBarHitPart Part) {
  if (!Enabled()) return uxbsDisabled;
  TuxLookAndFeelPainterClass p = Painter();
  bool hot = p && p->HasButtonHotTracking();
  if (Part == shpThumb && !hot) return uxbsNormal;
  if (FState != shpNone) return (Part == FState && Part == FHotPart) ? uxbsPressed : uxbsNormal;
  if (Part == FHotPart && !ComponentState().Contains(csDesigning)) return uxbsHot;
  return uxbsNormal;
}

void TuxScrollBar::Paint() {
  TuxLookAndFeelPainterClass p = Painter();
  bool horz = FKind == sbHorizontal;
  TRect all = uxRect(0, 0, Width(), Height());
  if (p) {
    if (uxIsRectEmpty(FThumbRect)) {
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, all, shpPageUp, uxbsNormal);
      // Arrows stay usable without a thumb.
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FLineUpRect, shpLineUp, PartState(shpLineUp));
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FLineDownRect, shpLineDown, PartState(shpLineDown));
    } else {
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FThumbRect, shpThumb, PartState(shpThumb));
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FLineUpRect, shpLineUp, PartState(shpLineUp));
      p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FLineDownRect, shpLineDown, PartState(shpLineDown));
      if (!uxIsRectEmpty(FPageUpRect))
        p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FPageUpRect, shpPageUp, PartState(shpPageUp));
      if (!uxIsRectEmpty(FPageDownRect))
        p->PaintScrollBarPart(FBitmapCanvas.get(), horz, FPageDownRect, shpPageDown, PartState(shpPageDown));
    }
  }
  TCustomControl::Canvas()->CopyRect(all, FBitmap->Canvas(), all);
}

void TuxScrollBar::CNScroll(TMessage& M) { DoScroll(TScrollCode(LOWORD(M.WParam))); }

void TuxScrollBar::CNCtlColorScrollBar(TMessage& M) {
  RebuildScrollBarPatterns();
  M.Result = DefWindowProcA(Handle(), UINT(M.Msg - CN_BASE), M.WParam, M.LParam);
}

void TuxScrollBar::CMSysColorChange(TMessage& M) {
  RebuildScrollBarPatterns();
  TCustomControl::Dispatch(M);
}

void TuxScrollBar::CMEnabledChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  CalculateRects();
  if (!Enabled()) CancelState();
  Invalidate();
}

void TuxScrollBar::CMVisibleChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (!Visible()) CancelState();
}

void TuxScrollBar::WMCancelMode(TMessage& M) {
  CancelState();
  TCustomControl::Dispatch(M);
}

void TuxScrollBar::WMEraseBkgnd(TMessage& M) { M.Result = 1; }

void TuxScrollBar::CMMouseEnter(TMessage& M) {
  TCustomControl::Dispatch(M);
  TuxLookAndFeelPainterClass p = Painter();
  if ((p && p->HasButtonHotTracking()) || (FState != shpNone && FState != shpThumb)) Invalidate();
}

void TuxScrollBar::CMMouseLeave(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (FState != shpThumb) FHotPart = shpNone;
  TuxLookAndFeelPainterClass p = Painter();
  if ((p && p->HasButtonHotTracking()) || (FState != shpNone && FState != shpThumb)) Invalidate();
}

// ---------------------------------------------------------------------------
// the internal bars of a TuxControl

TuxControlScrollBar::TuxControlScrollBar(TComponent* AOwner) : TuxScrollBar(AOwner) {
  SetColor(clBtnFace);
  FControlStyle >> csFramed;
  FControlStyle << csNoDesignVisible;
  SetTabStop(false);
  SetVisible(false);
  if (auto* c = dynamic_cast<TuxControl*>(AOwner)) LookAndFeel()->SetMasterLookAndFeel(c->LookAndFeel());
}

void TuxControlScrollBar::ApplyData() {
  if (Data.Visible) {
    SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
    SetSmallChange(Data.SmallChange);
    SetLargeChange(Data.LargeChange);
  }
  SetEnabled(Data.Enabled);
  SetVisible(Data.Visible);
}

void TuxControlScrollBar::Scroll(TScrollCode Code, int& ScrollPos) {
  if (auto* c = dynamic_cast<TuxControl*>(Owner()))
    c->Scroll(Kind(), Code, ScrollPos);
  else
    TuxScrollBar::Scroll(Code, ScrollPos);
}

void TuxControlScrollBar::FocusParent() {
  TWinControl* p = Parent();
  if (!p) return;
  if (auto* c = dynamic_cast<TuxControl*>(p)) {
    if (c->AllowFocusOnClick()) c->SetFocus();
  } else if (p->CanFocus()) {
    p->SetFocus();
  }
}

void TuxControlScrollBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) FocusParentHook();
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;
    return;
  }
  TuxScrollBar::WndProc(Message);
}

TuxSizeGrip::TuxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  FControlStyle << csNoDesignVisible;
  SetVisible(false);
}

void TuxSizeGrip::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// published settings

void uxInitScrollBars() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterClasses({TuxScrollBar::StaticClass()});
  RegisterProps<TuxScrollBar>([](TPropBuilder<TuxScrollBar>& p) {
    p.Prop("Kind", &TuxScrollBar::Kind, &TuxScrollBar::SetKind).Default(sbHorizontal);
    // Max before Min, and both before PageSize and Position: every range a bar
    // can hold then reads back without passing through one that
    // SetScrollParams refuses (a Min above the default Max, say).
    p.Prop("Max", &TuxScrollBar::Max, &TuxScrollBar::SetMax).Default(100);
    p.Prop("Min", &TuxScrollBar::Min, &TuxScrollBar::SetMin).Default(0);
    p.Prop("PageSize", &TuxScrollBar::PageSize, &TuxScrollBar::SetPageSize).Default(0);
    p.Prop("Position", &TuxScrollBar::Position, &TuxScrollBar::SetPosition).Default(0);
    p.Prop("SmallChange", &TuxScrollBar::SmallChange, &TuxScrollBar::SetSmallChange).Default(1);
    p.Prop("LargeChange", &TuxScrollBar::LargeChange, &TuxScrollBar::SetLargeChange).Default(1);
    p.Prop("UnlimitedTracking", &TuxScrollBar::UnlimitedTracking, &TuxScrollBar::SetUnlimitedTracking)
        .Default(false);
    p.Prop("LookAndFeel", &TuxScrollBar::LookAndFeel, &TuxScrollBar::SetLookAndFeel);
    // After Position, whose change enables the bar: a disabled bar stays so.
    PublishControlProps(p, "Align Anchors Constraints Ctl3D ParentCtl3D DragCursor DragKind DragMode Enabled "
                           "ParentShowHint PopupMenu ShowHint Visible OnContextPopup OnDragDrop OnDragOver "
                           "OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnStartDrag");
    p.Field("OnChange", &TuxScrollBar::OnChange);
    p.Field("OnScroll", &TuxScrollBar::OnScroll);
  });
}
