#include "framework/uxcontrols.h"

#include <algorithm>
#include <cstdlib>

#include "framework/uxclasses.h"
#include "framework/uxdragdrop.h"
#include "framework/uxscrollbar.h"
#include "framework/uxtimers.h"
#include "framework/uxwinutils.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/resources.h"
#include "platform/win/system.h"

namespace {

TDragObject* g_currentDragObject = nullptr;
TuxDesignerModifiedProc g_designerModified = nullptr;

// Waits for the mouse to leave a small square around the press point C
// (screen; the cursor may already be past it when input was queued) ("drag"),
// for a button release ("click") or for Escape or a lost capture ("cancel").
bool DetectDrag(HWND Wnd, POINT c) {
  int t = std::max(1, GetSystemMetrics(SM_CXDRAG));
  RECT square{c.x - t, c.y - t, c.x + t, c.y + t};
  SetCapture(Wnd);
  bool drag = false;
  try {
    MSG msg;
    while (GetCapture() == Wnd) {
      if (!GetMessageA(&msg, nullptr, 0, 0)) {
        PostQuitMessage(int(msg.wParam));
        break;
      }
      bool done = false;
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
          if (msg.wParam == VK_ESCAPE) done = true;
          break;
        case WM_MOUSEMOVE:
          {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            if (msg.hwnd) ClientToScreen(msg.hwnd, &p);
            if (!PtInRect(&square, p)) {
              drag = true;
              done = true;
            }
          }
          break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
          done = true;
          break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (done) break;
    }
  } catch (const EInvalidOperation&) {
    drag = false;  // the queue can deliver nothing more: treat as cancelled
  }
  if (GetCapture() == Wnd) ReleaseCapture();
  return drag;
}

}  // namespace

// ---------------------------------------------------------------------------
// helpers

bool ShowPopupMenu(TControl* Caller, TComponent* Menu, int X, int Y) {
  if (!Menu) return false;
  if (auto* um = dynamic_cast<IuxPopupMenu*>(Menu)) {
    um->Popup(X, Y);
    return true;
  }
  // A class-library menu pops up only when its automatic pop-up is on.
  if (auto* pm = dynamic_cast<TPopupMenu*>(Menu); pm && pm->AutoPopup()) {
    pm->SetPopupComponent(Caller);
    pm->Popup(X, Y);
    return true;
  }
  return false;
}

bool IsPopupMenuShortCut(TComponent* Menu, TWMKey& Message) {
  if (!Menu) return false;
  if (auto* um = dynamic_cast<IuxPopupMenu*>(Menu)) return um->IsShortCut(Message);
  if (auto* pm = dynamic_cast<TPopupMenu*>(Menu)) return pm->IsShortCut(Message);
  return false;
}

bool uxIsInDragThreshold(const TPoint& P, int X, int Y) {
  int cx = std::max(1, GetSystemMetrics(SM_CXDRAG)), cy = std::max(1, GetSystemMetrics(SM_CYDRAG));
  return std::abs(X - P.x) < cx && std::abs(Y - P.y) < cy;
}

void uxRedrawWindowNow(TWinControl* Control) {
  if (Control && Control->HandleAllocated())
    RedrawWindow(Control->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

TDragObject* uxCurrentDragObject() { return g_currentDragObject; }

void uxSetDesignerModifiedProc(TuxDesignerModifiedProc Proc) { g_designerModified = Proc; }

// ---------------------------------------------------------------------------
// mouse-leave tracking

// Polls the cursor while it is over the control, so that the control hears of
// the mouse leaving even when no idle pass of the application notices it
// (modal loops, the mouse leaving for another program's window). The poll
// sends the control CM_MOUSELEAVE itself; nothing more is to be done here.
class TuxControl::TMouseTracker : public IuxMouseTrackingCaller {
 public:
  void MouseLeave() override {}
};

// ---------------------------------------------------------------------------
// construction

TuxControl::TuxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = std::make_unique<TuxCanvas>(TCustomControl::Canvas());
  FDefaultCursor = Cursor();
  FLookAndFeel = std::make_unique<TuxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed) {
    OnLookAndFeelChanged(Sender, Changed);
  };
  FTabStop = MayFocus();
  FControlStyle << csParentBackground;
  FMouseTracker = std::make_unique<TMouseTracker>();
}

void TuxControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  // The constructor's TabStop came from this class's MayFocus; the
  // descendant's answer replaces it, unless the descendant's constructor
  // cleared TabStop itself.
  if (FTabStop) FTabStop = MayFocus();
  ApplyDescendantDefaults();
}

// What depends on the descendant's answers; once, at the first chance after
// construction (AfterConstruction, or the window's creation for controls made
// without it).
void TuxControl::ApplyDescendantDefaults() {
  if (FDescendantDefaultsApplied) return;
  FDescendantDefaultsApplied = true;
  if (HasDragImages()) FControlStyle << csDisplayDragImage;
  CreateScrollBars();
}

TuxControl::~TuxControl() {
  *FAlive = false;
  FMouseTracker.reset();  // ends any tracking before the window goes
  if (Dragging()) EndDrag(false);
  if (g_currentDragObject && g_currentDragObject == DragObject() && DragControl() == this) g_currentDragObject = nullptr;
  delete FDragAndDropObject;
  FDragAndDropObject = nullptr;
  DestroyScrollBars();
  FFontListeners.clear();
  FActiveCanvas.reset();
  FCanvas.reset();
  FLookAndFeel.reset();
  uxClearObjectLinks(this);
}

void TuxControl::BeforeDestruction() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  TCustomControl::BeforeDestruction();
}

void TuxControl::CreateScrollBars() {
  if (FHScrollBar || !HasScrollBars()) return;
  FHScrollBar = new TuxControlScrollBar(this);
  FHScrollBar->SetKind(sbHorizontal);
  FVScrollBar = new TuxControlScrollBar(this);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
  FSizeGrip = new TuxSizeGrip(this);
  uxSettingsController()->AddControl(this);
}

void TuxControl::DestroyScrollBars() {
  if (FHScrollBar) uxSettingsController()->RemoveControl(this);
  // Unparent first: the parent must forget them while they are whole.
  for (TControl* c : {static_cast<TControl*>(FSizeGrip), static_cast<TControl*>(FVScrollBar),
                      static_cast<TControl*>(FHScrollBar)})
    if (c) c->SetParent(nullptr);
  delete FSizeGrip;
  delete FVScrollBar;
  delete FHScrollBar;
  FSizeGrip = nullptr;
  FVScrollBar = FHScrollBar = nullptr;
}

void TuxControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TuxControl::CreateWnd() {
  FCreatingWindow = true;
  try {
    TCustomControl::CreateWnd();
  } catch (...) {
    FCreatingWindow = false;
    throw;
  }
  FCreatingWindow = false;
  ApplyDescendantDefaults();
  InitInternalControls();
}

void TuxControl::InitInternalControls() {
  if (!HasScrollBars()) return;
  CreateScrollBars();
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TuxControl::IsInternalControl(TControl* Control) {
  return Control && (Control == FHScrollBar || Control == FVScrollBar || Control == FSizeGrip);
}

TuxCanvas* TuxControl::GetActiveCanvas() {
  if (HandleAllocated()) {
    FActiveCanvas.reset();
    return FCanvas.get();
  }
  if (!FActiveCanvas) FActiveCanvas = std::make_unique<TuxScreenCanvas>();
  return FActiveCanvas.get();
}

void uxInitControls() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterProps<TuxControl>([](TPropBuilder<TuxControl>& p) {
    p.Prop("BorderStyle", &TuxControl::BorderStyle, &TuxControl::SetBorderStyle).Default(uxcbsNone);
    p.Prop("LookAndFeel", &TuxControl::LookAndFeel, &TuxControl::SetLookAndFeel);
    p.Prop("PopupMenu", &TuxControl::PopupMenu, &TuxControl::SetPopupMenu);
  });
}

// ---------------------------------------------------------------------------
// settings

void TuxControl::SetPopupMenu(TComponent* Value) {
  if (Value && !dynamic_cast<TPopupMenu*>(Value) && !dynamic_cast<IuxPopupMenu*>(Value)) Value = nullptr;
  if (Value == FUxPopupMenu) return;
  if (FUxPopupMenu) FUxPopupMenu->RemoveFreeNotification(this);
  FUxPopupMenu = Value;
  if (FUxPopupMenu) FUxPopupMenu->FreeNotification(this);
}

void TuxControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FUxPopupMenu) FUxPopupMenu = nullptr;
}

void TuxControl::SetBorderStyle(TuxControlBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  BoundsChanged();
  Invalidate();
}

void TuxControl::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  BoundsChanged();
}

void TuxControl::SetExplicitBounds(const TRect& Value) {
  FBounds = Value;
  BoundsChanged();
}

void TuxControl::OnLookAndFeelChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed) {
  LookAndFeelChanged(Sender, Changed);
}

TuxLookAndFeelPainterClass TuxControl::GetPainter() { return FLookAndFeel->GetPainter(); }

void TuxControl::AddFontListener(IuxFontListener* Listener) {
  if (Listener && std::find(FFontListeners.begin(), FFontListeners.end(), Listener) == FFontListeners.end())
    FFontListeners.push_back(Listener);
}

void TuxControl::RemoveFontListener(IuxFontListener* Listener) {
  FFontListeners.erase(std::remove(FFontListeners.begin(), FFontListeners.end(), Listener), FFontListeners.end());
}

void TuxControl::InvalidateRect(const TRect& R, bool EraseBackground) {
  if (!HandleAllocated()) return;
  RECT r = R;
  ::InvalidateRect(Handle(), &r, EraseBackground);
}

void TuxControl::InvalidateRegion(TuxRegion* Region, bool EraseBackground) {
  if (!HandleAllocated() || !Region || Region->IsEmpty()) return;
  InvalidateRgn(Handle(), Region->Handle(), EraseBackground);
}

void TuxControl::NotifyDesignerModified() {
  if (!IsDesigning() || !g_designerModified) return;
  for (TControl* c = this; c; c = c->Parent())
    for (TComponentStateItem s : {csLoading, csWriting, csDestroying})
      if (c->ComponentState().Contains(s)) return;
  if (TCustomForm* f = GetParentForm(this)) g_designerModified(f);
}

void TuxControl::AddChildComponent(TuxControlChildComponent* Component) {
  if (Component) Component->SetControl(this);
}

void TuxControl::RemoveChildComponent(TuxControlChildComponent* Component) {
  if (Component) Component->SetControl(nullptr);
}

void TuxControl::UpdateCursor() {
  if (!HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  PostMessageA(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

// ---------------------------------------------------------------------------
// geometry

int TuxControl::GetBorderSize() {
  if (FBorderStyle == uxcbsNone) return 0;
  TuxLookAndFeelPainterClass p = GetPainter();
  return p ? p->GetBorderWidth() : 0;
}

TRect TuxControl::GetBounds() {
  if (!uxIsRectEmpty(FBounds)) return FBounds;
  if (HandleAllocated()) return ClientRect();
  return uxRect(0, 0, Width(), Height());
}

TRect TuxControl::GetClientBounds() {
  TRect r = GetBounds();
  int b = GetBorderSize();
  r = uxInflated(r, -b, -b);
  if (IsHScrollBarVisible()) r.bottom -= FHScrollBar->Height();
  if (IsVScrollBarVisible()) r.right -= FVScrollBar->Width();
  return r;
}

TRect TuxControl::GetHScrollBarBounds() {
  TRect c = GetClientBounds();
  return uxRect(c.left, c.bottom, c.right, c.bottom + (FHScrollBar ? FHScrollBar->Height() : 0));
}

TRect TuxControl::GetVScrollBarBounds() {
  TRect c = GetClientBounds();
  return uxRect(c.right, c.top, c.right + (FVScrollBar ? FVScrollBar->Width() : 0), c.bottom);
}

TRect TuxControl::GetSizeGripBounds() {
  TRect h = GetHScrollBarBounds(), v = GetVScrollBarBounds();
  return uxRect(v.left, h.top, v.right, h.bottom);
}

TuxWheelScrollKind TuxControl::GetMouseWheelScrollingKind() {
  return IsVScrollBarVisible() ? wskVertical : wskNone;
}

void TuxControl::Resize() {
  TCustomControl::Resize();
  BoundsChanged();
}

// ---------------------------------------------------------------------------
// scroll bars

bool TuxControl::IsHScrollBarVisible() const {
  if (!FHScrollBar) return false;
  return FCalculatingScrollBarsParams ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TuxControl::IsVScrollBarVisible() const {
  if (!FVScrollBar) return false;
  return FCalculatingScrollBarsParams ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

void TuxControl::SetScrollBarInfo(TScrollBarKind Kind, int Min, int Max, int Step, int Page, int Pos,
                                  bool AllowShow, bool AllowHide) {
  CreateScrollBars();
  if (!FHScrollBar) return;
  TuxScrollBarData& d = Kind == sbHorizontal ? FHScrollBar->Data : FVScrollBar->Data;
  bool styleAllows = Kind == sbHorizontal ? (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
                                          : (FScrollBars == ssVertical || FScrollBars == ssBoth);
  d.AllowShow = AllowShow && styleAllows;
  d.AllowHide = AllowHide;
  if (!d.AllowShow) {
    d.Visible = false;
    return;
  }
  // 64-bit range: Max - Min + 1 overflows for the widest ranges. A range the
  // bar itself would refuse (Max below the page) counts as content that fits.
  long long range = (long long)Max - Min + 1;
  if (Max < Min || Page >= range || Pos < Min || Max < Page) {
    if (AllowHide) {
      d.Visible = false;
    } else {
      d.Visible = true;
      d.Enabled = false;
    }
    return;
  }
  d.Min = Min;
  d.Max = Max;
  d.Position = Pos;
  d.PageSize = Page;
  // The bar's steps are 1..32767: a wider page must not wrap to a negative step.
  d.SmallChange = SmallInt(std::clamp(Step, 1, 32767));
  d.LargeChange = SmallInt(std::clamp(Page, 1, 32767));
  d.Enabled = true;
  d.Visible = true;
}

void TuxControl::CalculateScrollBarsParams() {
  if (FCalculatingScrollBarsParams) return;
  FCalculatingScrollBarsParams = true;
  try {
    FHScrollBar->Data.Visible = false;
    FVScrollBar->Data.Visible = false;
    // Each pass sees the client area the previous pass left. A descendant
    // whose answer keeps flipping would never settle: a few passes suffice
    // for any consistent one (one bar, then the other).
    for (int pass = 0; pass < 8; ++pass) {
      bool h = FHScrollBar->Data.Visible, v = FVScrollBar->Data.Visible;
      InitScrollBarsParameters();
      if (h == FHScrollBar->Data.Visible && v == FVScrollBar->Data.Visible) break;
    }
    TuxScrollBarData &hd = FHScrollBar->Data, &vd = FVScrollBar->Data;
    if (hd.Visible && vd.Visible && hd.Enabled && vd.Enabled && hd.AllowHide && vd.AllowHide &&
        HidesScrollBarWhenContentFits(sbHorizontal) && HidesScrollBarWhenContentFits(sbVertical) &&
        (long long)hd.PageSize + FVScrollBar->Width() >= (long long)hd.Max - hd.Min + 1 &&
        (long long)vd.PageSize + FHScrollBar->Height() >= (long long)vd.Max - vd.Min + 1) {
      TuxScrollBarData h = hd, v = vd;
      SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + FVScrollBar->Width(), h.Position,
                       h.AllowShow, h.AllowHide);
      SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + FHScrollBar->Height(), v.Position,
                       v.AllowShow, v.AllowHide);
    }
  } catch (...) {
    FCalculatingScrollBarsParams = false;
    throw;
  }
  FCalculatingScrollBarsParams = false;
}

void TuxControl::UpdateScrollBars() {
  if (!HasScrollBars() || IsDestroying()) return;
  CreateScrollBars();
  if (FScrollBarsLockCount >= 1) {
    FUpdateScrollBarsNeeded = true;
    return;
  }
  bool outer = !FUpdatingScrollBars;
  if (outer) {
    FInitialHScrollBarVisible = FHScrollBar->Visible();
    FInitialVScrollBarVisible = FVScrollBar->Visible();
  }
  bool saved = FUpdatingScrollBars;
  FUpdatingScrollBars = true;
  bool h0 = FHScrollBar->Visible(), v0 = FVScrollBar->Visible();
  try {
    if (!FInitialScrollBarsParamsTaken) {
      CalculateScrollBarsParams();
      if (!outer && FHScrollBar->Data.Visible == FInitialHScrollBarVisible &&
          FVScrollBar->Data.Visible == FInitialVScrollBarVisible) {
        // Stop the visibility flipping between nested updates: keep what
        // showed, disabled.
        FInitialScrollBarsParamsTaken = true;
        for (TuxControlScrollBar* b : {FHScrollBar, FVScrollBar}) {
          bool initial = b == FHScrollBar ? FInitialHScrollBarVisible : FInitialVScrollBarVisible;
          if (b->Visible() != initial) {
            b->SetVisible(true);
            b->SetEnabled(false);
          }
        }
      } else {
        FHScrollBar->ApplyData();
        FVScrollBar->ApplyData();
      }
    }
    if (FHScrollBar->Visible() != h0 || FVScrollBar->Visible() != v0) {
      BoundsChanged();
    } else {
      FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
      SetInternalControlsBounds();
      if (NeedsToBringInternalControlsToFront()) BringInternalControlsToFront();
    }
  } catch (...) {
    FUpdatingScrollBars = saved;
    if (outer) FInitialScrollBarsParamsTaken = false;
    throw;
  }
  FUpdatingScrollBars = saved;
  if (outer) FInitialScrollBarsParamsTaken = false;
}

void TuxControl::SetInternalControlsBounds() {
  if (!FHScrollBar) return;
  if (FHScrollBar->Visible()) FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
  if (FVScrollBar->Visible()) FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
  if (FSizeGrip->Visible()) FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

void TuxControl::BringInternalControlsToFront() {
  if (!FHScrollBar) return;
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}

void TuxControl::BeginScrollBarsUpdate() {
  if (FScrollBarsLockCount == 0) FUpdateScrollBarsNeeded = false;
  ++FScrollBarsLockCount;
}

void TuxControl::EndScrollBarsUpdate() {
  if (FScrollBarsLockCount < 1) return;
  if (--FScrollBarsLockCount == 0 && FUpdateScrollBarsNeeded) UpdateScrollBars();
}

void TuxControl::ScrollWindow(int DX, int DY, const TRect& R) {
  if (!HandleAllocated()) return;
  TDragObject* d = g_currentDragObject;
  if (d) d->HideDragImage();
  RECT r = R;
  ScrollWindowEx(Handle(), DX, DY, &r, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  if (d) d->ShowDragImage();
}

void TuxControl::ScrollContent(int Direction) {
  if (Direction == 0 || !HasScrollBars() || !FHScrollBar) return;
  TScrollBarKind kind = Direction <= 2 ? sbHorizontal : sbVertical;
  TScrollCode code = (Direction == 1 || Direction == 3) ? scLineUp : scLineDown;
  int pos = (kind == sbHorizontal ? FHScrollBar : FVScrollBar)->Position();
  std::shared_ptr<bool> alive = FAlive;
  Scroll(kind, code, pos);
  if (*alive) Update();
}

void TuxControl::UXMScrollBarSizeChanged(TMessage&) {
  if (!HasScrollBars() || !FHScrollBar) return;
  int h = GetSystemMetrics(SM_CYHSCROLL), w = GetSystemMetrics(SM_CXVSCROLL);
  if (FHScrollBar->Height() != h || FVScrollBar->Width() != w) {
    FHScrollBar->SetHeight(h);
    FVScrollBar->SetWidth(w);
    BoundsChanged();
  }
}

// ---------------------------------------------------------------------------
// focus and mouse

bool TuxControl::CanFocusOnClick() { return !IsDesigning() && FFocusOnClick && MayFocus() && CanFocus(); }

bool TuxControl::CanFocusInForm() {
  if (!CanFocus()) return false;
  TCustomForm* f = GetParentForm(this);
  return !f || (f->CanFocus() && f->Enabled() && f->Visible());
}

bool TuxControl::IsClickAt(int X, int Y) { return DragMode() == dmManual || IsMouseInPressedArea(X, Y); }

bool TuxControl::GetDesignHitTest(int, int, TShiftState) {
  return FDragAndDropState != odsNone || FMouseButtonPressed;
}

void TuxControl::SetMouseCaptureObject(TObject* Value) {
  if (Value == FMouseCaptureObject) return;
  if (auto* old = dynamic_cast<IuxMouseCaptureObject*>(FMouseCaptureObject)) old->MouseCaptureLost();
  FMouseCaptureObject = Value;
  if (Value) {
    SetMouseCapture(true);
  } else {
    bool had = MouseCapture();
    SetMouseCapture(false);
    if (had && FDragAndDropState == odsStarting) Perform(WM_CANCELMODE, 0, 0);
  }
}

void TuxControl::CancelMouseOperations() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TuxControl::EndMouseOperations() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

void TuxControl::FocusChanged() {
  if (OnFocusChanged) OnFocusChanged(this);
}

void TuxControl::FontChanged() {
  std::shared_ptr<bool> alive = FAlive;
  // A listener may remove others (or itself) while it is told: only those
  // still listening are told.
  for (IuxFontListener* l : std::vector<IuxFontListener*>(FFontListeners)) {
    if (std::find(FFontListeners.begin(), FFontListeners.end(), l) == FFontListeners.end()) continue;
    l->FontChanged(this, Font());
    if (!*alive) return;
  }
  Invalidate();
}

void TuxControl::MouseEnter(TControl* Control) {
  if (OnMouseEnter) OnMouseEnter(this, Control);
}

void TuxControl::MouseLeave(TControl* Control) {
  if (OnMouseLeave) OnMouseLeave(this, Control);
}

void TuxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> alive = FAlive;
  FMouseDownPos = {X, Y};
  bool dbl = Shift.Contains(ssDouble);
  if (!dbl && CanFocusOnClickAt(X, Y)) {
    TRect before = BoundsRect();
    SetFocus();
    if (!*alive) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() == this && !IsFocused()) ::SetFocus(Handle());
    if (!*alive) return;
    if (!IsFocused() && !MayProcessUnfocusedMouseDown()) {
      if (MouseCapture()) SetMouseCapture(false);
      return;
    }
    X += before.left - Left();
    Y += before.top - Top();
  }
  if (Button == mbLeft && !dbl && StartDragAndDrop(TPoint{X, Y})) {
    TuxDragAndDropObject* o = GetDragAndDropObject();
    if (o->StartImmediately())
      BeginDragAndDrop();
    else
      SetDragAndDropState(odsStarting);
  } else {
    FinishDragAndDrop(false);
  }
  if (!*alive) return;
  BeforeMouseDown(Button, Shift, X, Y);
  if (!*alive) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (*alive && HandleAllocated() && MouseCapture()) FMouseButtonPressed = true;
}

void TuxControl::MouseMove(TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> alive = FAlive;
  TCursor def = FDefaultCursor;
  SetCursor(GetCursor(X, Y));
  FDefaultCursor = def;
  TCustomControl::MouseMove(Shift, X, Y);
  if (!*alive) return;
  if (FDragAndDropState == odsStarting && !IsMouseInPressedArea(X, Y)) BeginDragAndDrop();
  if (!*alive) return;
  if (FDragAndDropState == odsDragging) {
    bool accepted = false;
    DragAndDrop(TPoint{X, Y}, accepted);
  }
}

void TuxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> alive = FAlive;
  FMouseButtonPressed = false;
  EndMouseOperations();
  if (!*alive) return;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TuxControl::AfterMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbMiddle) {
    PanContent(X, Y);
    return;
  }
  if (Button != mbLeft || DragMode() != dmAutomatic || !HandleAllocated() || !MouseCapture()) return;
  if (IsDesigning() && !AllowAutoDragAndDropAtPoint(X, Y, TShiftState())) return;
  if (!CanDrag(X, Y)) return;
  std::shared_ptr<bool> alive = FAlive;
  TPoint press = ClientToScreen(TPoint{X, Y});
  if (DetectDrag(Handle(), POINT{press.x, press.y}) && *alive) BeginDrag(true);
}

bool TuxControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  TuxWheelScrollKind kind = GetMouseWheelScrollingKind();
  if (handled || kind == wskNone) return handled;
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  // "One page at a time" and absurd counts would loop for ever.
  lines = std::min<UINT>(lines, 100);
  int dir = kind == wskVertical ? (WheelDelta > 0 ? 3 : 4) : (WheelDelta > 0 ? 1 : 2);
  std::shared_ptr<bool> alive = FAlive;
  for (UINT i = 0; i < lines && *alive; ++i) ScrollContent(dir);
  return true;
}

// ---------------------------------------------------------------------------
// middle-button panning

namespace {

// The picture at the anchor of the panning mode: the program's bitmap when it
// has one, else a drawn one (a dot with arrows towards the directions that scroll).
std::unique_ptr<TBitmap> PanningBitmap(bool H, bool V) {
  const char* name = H && V ? "UX_FULLSCROLLBITMAP" : H ? "UX_HORSCROLLBITMAP" : "UX_VERSCROLLBITMAP";
  auto bmp = std::make_unique<TBitmap>();
  if (FindResourceData(RT_BITMAP, name)) {
    try {
      bmp->LoadFromResourceName(name);
      if (!bmp->Empty() && bmp->Width() > 0 && bmp->Height() > 0) return bmp;
    } catch (const Exception&) {
      // an unreadable resource: the drawn picture below serves
    }
  }
  const int s = 28, m = s / 2;
  bmp->SetSize(s, s);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clWindow);
  c->FillRect(uxRect(0, 0, s, s));
  c->Brush()->SetColor(clWindowText);
  c->Pen()->SetColor(clWindowText);
  c->FillRect(uxRect(m - 2, m - 2, m + 2, m + 2));
  auto arrow = [c](TPoint a, TPoint b, TPoint d) {
    TPoint pts[3] = {a, b, d};
    c->Polygon(pts, 3);
  };
  if (V) {
    arrow({m, 3}, {m - 4, 7}, {m + 4, 7});
    arrow({m, s - 4}, {m - 4, s - 8}, {m + 4, s - 8});
  }
  if (H) {
    arrow({3, m}, {7, m - 4}, {7, m + 4});
    arrow({s - 4, m}, {s - 8, m - 4}, {s - 8, m + 4});
  }
  return bmp;
}

// The window class of the anchor: the platform's static class when there is
// one, else a plain class of our own.
const char* PanningAnchorClass() {
  WNDCLASSEXA wc;
  if (GetClassInfoExA(nullptr, "STATIC", &wc)) return "STATIC";
  static const char* own = "TuxPanningAnchor";
  if (!GetClassInfoExA(nullptr, own, &wc)) {
    WNDCLASSEXA n;
    n.lpfnWndProc = DefWindowProcA;
    n.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    n.lpszClassName = own;
    RegisterClassExA(&n);
  }
  return own;
}

void PaintPanningAnchor(HWND Wnd, TBitmap* Bitmap) {
  HDC dc = GetDC(Wnd);
  if (!dc) return;
  int w = Bitmap->Width(), h = Bitmap->Height();
  BitBlt(dc, 0, 0, w, h, Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  HRGN rgn = CreateEllipticRgn(0, 0, w + 1, h + 1);
  HBRUSH br = CreateSolidBrush(ColorToRGB(clWindowText));
  FrameRgn(dc, rgn, br, 1, 1);
  DeleteObject(br);
  DeleteObject(rgn);
  ReleaseDC(Wnd, dc);
}

}  // namespace

// The modal panning mode of a middle press at client point (X, Y): a marker at
// the press point, and
// the content scrolls towards the mouse, faster the farther the mouse is,
// until a click, Escape or the loss of the mouse capture ends it.
void TuxControl::PanContent(int X, int Y) {
  if (FScrollingContent || !HandleAllocated()) return;
  bool h = IsHScrollBarVisible(), v = IsVScrollBarVisible();
  if (!h && !v) return;
  std::shared_ptr<bool> alive = FAlive;
  HWND wnd = Handle();
  FScrollingContent = true;
  // The press point: the cursor may have moved on already when input is queued.
  POINT anchor{X, Y};
  ::ClientToScreen(wnd, &anchor);
  std::unique_ptr<TBitmap> bmp = PanningBitmap(h, v);
  const int bw = bmp->Width(), bh = bmp->Height();
  HWND anchorWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, PanningAnchorClass(), "", WS_POPUP,
                                   anchor.x - bw / 2, anchor.y - bh / 2, bw, bh, nullptr, nullptr, nullptr, nullptr);
  if (anchorWnd) {
    SetWindowRgn(anchorWnd, CreateEllipticRgn(0, 0, bw + 1, bh + 1), FALSE);
    ShowWindow(anchorWnd, SW_SHOWNOACTIVATE);
    PaintPanningAnchor(anchorWnd, bmp.get());
  }
  // Within the neutral zone nothing scrolls; a hidden bar's axis never leaves it.
  RECT neutral{anchor.x - bw / 2, anchor.y - bw / 2, anchor.x - bw / 2 + bw, anchor.y - bw / 2 + bw};
  int sx = GetSystemMetrics(SM_XVIRTUALSCREEN), sy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  if (!h) {
    neutral.left = std::min<LONG>(neutral.left, sx);
    neutral.right = std::max<LONG>(neutral.right, sx + GetSystemMetrics(SM_CXVIRTUALSCREEN));
  }
  if (!v) {
    neutral.top = std::min<LONG>(neutral.top, sy);
    neutral.bottom = std::max<LONG>(neutral.bottom, sy + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  }
  int direction = 0, speed = 1;
  bool leftZone = false;
  unsigned counter = 0;
  POINT last = anchor;
  auto showCursor = [&] {
    static const TCursor byDirection[] = {0, crUxLeftScroll, crUxRightScroll, crUxUpScroll, crUxDownScroll};
    TCursor c = direction ? byDirection[direction] : h && v ? crUxFullScroll : h ? crUxHorScroll : crUxVerScroll;
    if (Screen) ::SetCursor(Screen->Cursors(c));
  };
  auto follow = [&](POINT p) {
    if (PtInRect(&neutral, p)) {
      direction = 0;
      speed = 0;
    } else {
      leftZone = true;
      int dx = p.x - anchor.x, dy = p.y - anchor.y;
      bool vert = !h || (v && std::abs(dy) >= std::abs(dx));
      int dist = vert ? std::abs(dy) : std::abs(dx);
      direction = vert ? (dy < 0 ? 3 : 4) : (dx < 0 ? 1 : 2);
      speed = std::clamp((dist - bw / 2) / 5 + 1, 1, 12);
    }
    showCursor();
  };
  showCursor();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, nullptr);
  SetCapture(wnd);
  auto finish = [&] {
    if (GetCapture() == wnd) ReleaseCapture();
    if (timer) KillTimer(nullptr, timer);
    if (anchorWnd) DestroyWindow(anchorWnd);
    if (*alive) FScrollingContent = false;
  };
  try {
    MSG msg;
    bool done = false;
    while (!done && *alive && GetCapture() == wnd) {
      if (!GetMessageA(&msg, nullptr, 0, 0)) {
        PostQuitMessage(int(msg.wParam));
        break;
      }
      switch (msg.message) {
        case WM_PAINT:
          if (anchorWnd && msg.hwnd == anchorWnd) {
            ValidateRect(anchorWnd, nullptr);
            continue;
          }
          break;
        case WM_KEYDOWN:
        case WM_KEYUP:
          if (msg.wParam == VK_ESCAPE) done = true;  // dispatched first
          break;
        case WM_TIMER:
          if (!msg.hwnd && msg.wParam == timer) {
            ++counter;
            if (direction && counter % unsigned(13 - speed) == 0) ScrollContent(direction);
            continue;
          }
          break;
        case WM_MOUSEMOVE: {
          POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
          if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
          if (p.x != last.x || p.y != last.y) {
            last = p;
            follow(p);
          }
          continue;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
          done = true;  // ends the mode and goes nowhere
          continue;
        case WM_MBUTTONUP:
          // The release of the starting press keeps the mode on until the mouse
          // has moved out of the neutral zone once.
          if (leftZone) done = true;
          break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---------------------------------------------------------------------------
// keys and pop-up menus

TPopupMenu* TuxControl::GetPopupMenu() { return dynamic_cast<TPopupMenu*>(FUxPopupMenu); }

bool TuxControl::DoShowPopupMenu(TComponent* Menu, int X, int Y) { return ShowPopupMenu(this, Menu, X, Y); }

bool TuxControl::IsPopupMenuShortCut(TWMKey& Message) {
  if (IsDesigning()) return false;
  for (TControl* c = this; c; c = c->Parent())
    if (auto* u = dynamic_cast<TuxControl*>(c))
      if (u->FUxPopupMenu && ::IsPopupMenuShortCut(u->FUxPopupMenu, Message)) return true;
  return false;
}

void TuxControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FDragAndDropState != odsNone) FinishDragAndDrop(false);
  TCustomControl::KeyDown(Key, Shift);
}

void TuxControl::CNKeyDown(TWMKey& M) {
  if (IsPopupMenuShortCut(M)) {
    M.Result = 1;
    return;
  }
  if (FDragAndDropState == odsNone) {
    TCustomControl::Dispatch(M);
    return;
  }
  // Every key is swallowed while an own drag runs; Escape cancels it.
  if (M.WParam == VK_ESCAPE) Perform(WM_KEYDOWN, M.WParam, M.LParam);
  M.Result = 1;
}

void TuxControl::CNSysKeyDown(TWMKey& M) {
  if (IsPopupMenuShortCut(M)) {
    M.Result = 1;
    return;
  }
  TCustomControl::Dispatch(M);
}

void TuxControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  TPoint p = (MousePos.x == -1 && MousePos.y == -1) ? TPoint{0, 0} : MousePos;
  p = ClientToScreen(p);
  Handled = DoShowPopupMenu(FUxPopupMenu, p.x, p.y);
}

void TuxControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  TPoint p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
  TPoint cp{-1, -1};
  if (!IsDesigning()) {
    if (!(p.x == -1 && p.y == -1)) {
      cp = ScreenToClient(p);
      TRect cr = ClientRect();
      if (cp.x < cr.left || cp.y < cr.top || cp.x >= cr.right || cp.y >= cr.bottom) {
        TCustomControl::Dispatch(M);
        return;
      }
    }
  }
  std::shared_ptr<bool> alive = FAlive;
  bool handled = false;
  DoContextPopup(cp, handled);
  if (!*alive) return;
  M.Result = handled ? 1 : 0;
  if (!handled) TCustomControl::Dispatch(M);
}

// ---------------------------------------------------------------------------
// own drag and drop

TClass TuxControl::GetDragAndDropObjectClass() {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : TuxDragAndDropObject::StaticClass();
}

TuxDragAndDropObject* TuxControl::GetDragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject = uxCreateDragAndDropObject(GetDragAndDropObjectClass(), this);
  return FDragAndDropObject;
}

void TuxControl::SetDragAndDropState(TuxOwnDragState Value) {
  if (FDragAndDropState == Value) return;
  FDragAndDropState = Value;
  if (Value == odsNone && !FFinishingDragAndDrop) CancelMouseOperations();
}

void TuxControl::BeginDragAndDrop() {
  TuxDragAndDropObject* o = GetDragAndDropObject();
  POINT p;
  GetCursorPos(&p);
  TPoint cp = ScreenToClient(TPoint{p.x, p.y});
  o->FCurMousePos = o->FPrevMousePos = cp;
  o->Update();
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen ? Screen->Cursor() : crDefault;
  FDragAndDropState = odsDragging;
}

void TuxControl::DragAndDrop(const TPoint& P, bool& Accepted) {
  TuxDragAndDropObject* o = GetDragAndDropObject();
  o->FPrevMousePos = o->FCurMousePos;
  o->FCurMousePos = P;
  o->DragAndDrop(P, Accepted);
}

void TuxControl::EndDragAndDrop(bool Accepted) {
  SetDragAndDropState(odsNone);
  if (Screen) Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  if (FDragAndDropObject) {
    FDragAndDropObject->EndDragAndDrop(Accepted);
    FDragAndDropObject->AfterDragAndDrop(Accepted);
  }
}

void TuxControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  std::shared_ptr<bool> alive = FAlive;
  try {
    if (FDragAndDropState == odsDragging)
      EndDragAndDrop(Accepted);
    else
      SetDragAndDropState(odsNone);
  } catch (...) {
    if (*alive) {
      delete FDragAndDropObject;
      FDragAndDropObject = nullptr;
      FFinishingDragAndDrop = false;
    }
    throw;
  }
  if (!*alive) return;
  delete FDragAndDropObject;
  FDragAndDropObject = nullptr;
  FFinishingDragAndDrop = false;
}

// ---------------------------------------------------------------------------
// class-library drag and drop

TClass TuxControl::GetDragObjectClass() { return TuxDragControlObject::StaticClass(); }

TClass TuxControl::GetDragImagesClass() { return TuxDragImageList::StaticClass(); }

void TuxControl::DoStartDrag(TDragObject*& DragObject) {
  Update();
  TCustomControl::DoStartDrag(DragObject);
  if (!DragObject) {
    TClass c = GetDragObjectClass();
    if (c == TuxDragControlObject::StaticClass()) {
      DragObject = new TuxDragControlObject(this);
    } else if (c && c->InheritsFrom(TDragObject::StaticClass()) && c->Create) {
      TObject* o = c->Create(this);
      DragObject = dynamic_cast<TDragObject*>(o);
      if (!DragObject) delete o;
    }
  }
  if (DragObject && !StartDrag(DragObject)) {
    delete DragObject;
    DragObject = nullptr;
    FCancelPlatformDrag = true;
  }
}

void TuxControl::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  FDragImages.reset();
}

void TuxControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (auto* d = dynamic_cast<TDragObject*>(Source)) g_currentDragObject = State == dsDragLeave ? nullptr : d;
  TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TDragImageList* TuxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages = std::make_unique<TuxDragImageList>(nullptr);
    InitDragImages(FDragImages.get());
  }
  return FDragImages->Count() > 0 ? FDragImages.get() : nullptr;
}

void TuxControl::InitDragImages(TDragImageList* ImageList) {
  TSize s = GetDragImagesSize();
  // No image without a size (an image list refuses an empty one): the list
  // stays empty and no drag image is shown.
  if (s.cx <= 0 || s.cy <= 0) return;
  ImageList->SetWidth(s.cx);
  ImageList->SetHeight(s.cy);
  TBitmap bmp;
  bmp.SetSize(s.cx, s.cy);
  TuxCanvas c(bmp.Canvas());
  DrawDragImage(&c, uxRect(0, 0, s.cx, s.cy));
  ImageList->AddMasked(&bmp, bmp.TransparentColor());
}

// ---------------------------------------------------------------------------
// painting and messages

void TuxControl::Paint() {
  if (FBorderStyle == uxcbsDefault) {
    if (TuxLookAndFeelPainterClass p = GetPainter()) p->PaintBorder(FCanvas.get(), GetBounds());
    FCanvas->IntersectClipRect(GetClientBounds());
  }
  TCustomControl::Paint();
}

void TuxControl::WndProc(TMessage& M) {
  std::shared_ptr<bool> alive = FAlive;
  bool bypassed = false;
  if ((M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) && !Dragging()) {
    int x = GET_X_LPARAM(M.LParam), y = GET_Y_LPARAM(M.LParam);
    if (Width() > 32768 || Height() > 32768) {
      POINT p;
      GetCursorPos(&p);
      TPoint cp = ScreenToClient(TPoint{p.x, p.y});
      x = cp.x;
      y = cp.y;
    }
    TShiftState left;
    left << ssLeft;
    bool bypass = IsDesigning() ? GetDesignHitTest(x, y, left) : DragMode() == dmAutomatic;
    if (bypass) {
      // Past the class library's own automatic drag: the drag starts only
      // after a real drag gesture (AfterMouseDown).
      TControl* child = ControlAtPos(TPoint{x, y}, false);
      if (!child) {
        bypassed = true;
        FControlState << csLButtonDown;
        Dispatch(M);
        if (*alive) FControlState >> csLButtonDown;
      }
    }
  }
  if (!bypassed) {
    if (M.Msg == WM_RBUTTONUP) FRightButtonReleased = true;
    TCustomControl::WndProc(M);
  }
  if (!*alive) return;
  switch (M.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged();
      break;
    case WM_PAINT: {
      bool pb = FControlStyle.Contains(csParentBackground);
      if (pb != FLastParentBackground) {
        FLastParentBackground = pb;
        ParentBackgroundChanged();
      }
      break;
    }
    case WM_RBUTTONUP:
      FRightButtonReleased = false;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      TMouseButton b = M.Msg == WM_LBUTTONDOWN ? mbLeft : M.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
      AfterMouseDown(b, GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
      break;
    }
  }
  if (*alive && FCancelPlatformDrag) {
    FCancelPlatformDrag = false;
    if (DragControl() == this) CancelDrag();
  }
}

void TuxControl::WMCancelMode(TMessage& M) {
  std::shared_ptr<bool> alive = FAlive;
  TCustomControl::Dispatch(M);
  if (!*alive) return;
  FinishDragAndDrop(false);
  if (*alive) CancelMouseOperations();
}

void TuxControl::WMEraseBkgnd(TMessage& M) {
  if (HasBackground())
    TCustomControl::Dispatch(M);
  else
    M.Result = 1;
}

void TuxControl::WMGetDlgCode(TMessage& M) {
  LRESULT r = 0;
  if (FWantedKeys.Contains(wkAll)) r += uxDLGC_WANTALLKEYS;
  if (FWantedKeys.Contains(wkArrows)) r += uxDLGC_WANTARROWS;
  if (FWantedKeys.Contains(wkChars)) r += uxDLGC_WANTCHARS;
  if (FWantedKeys.Contains(wkTab) && GetKeyState(VK_CONTROL) >= 0) r += uxDLGC_WANTTAB;
  M.Result = r;
}

void TuxControl::WMNCCalcSize(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (HandleAllocated()) PostMessageA(Handle(), UXM_SCROLLBARSIZECHANGED, 0, 0);
}

void TuxControl::WMPaint(TWMPaint& M) {
  TDragObject* d = g_currentDragObject;
  if (d) d->HideDragImage();
  TCustomControl::Dispatch(M);
  if (d && g_currentDragObject == d) d->ShowDragImage();
}

void TuxControl::WMSetCursor(TWMSetCursor& M) {
  if (IsDesigning() && FDragAndDropState == odsNone) {
    POINT p;
    GetCursorPos(&p);
    TPoint cp = ScreenToClient(TPoint{p.x, p.y});
    TShiftState left;
    left << ssLeft;
    if (GetDesignHitTest(cp.x, cp.y, left)) {
      if (Screen) ::SetCursor(Screen->Cursors(GetCursor(cp.x, cp.y)));
      M.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(M);
}

void TuxControl::CMColorChanged(TMessage& M) {
  ColorChanged();
  TCustomControl::Dispatch(M);
}

void TuxControl::CMCursorChanged(TMessage& M) {
  CursorChanged();
  TCustomControl::Dispatch(M);
}

void TuxControl::CMDesignHitTest(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (M.Result == 0)
    M.Result = GetDesignHitTest(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam), KeysToShiftState(UINT(M.WParam)));
}

void TuxControl::CMFontChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  FontChanged();
}

void TuxControl::CMMouseEnter(TMessage& M) {
  std::shared_ptr<bool> alive = FAlive;
  TCustomControl::Dispatch(M);
  if (!*alive) return;
  auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
  if (c == this) {
    if (FMouseInside) return;
    FMouseInside = true;
    if (HandleAllocated()) BeginMouseTracking(this, ClientRect(), FMouseTracker.get());
  }
  MouseEnter(c);
}

// The leave may come twice, from the application's idle pass and from the
// tracking poll: the control hears of it once.
void TuxControl::CMMouseLeave(TMessage& M) {
  std::shared_ptr<bool> alive = FAlive;
  TCustomControl::Dispatch(M);
  if (!*alive) return;
  auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
  if (c == this) {
    if (!FMouseInside) return;
    FMouseInside = false;
    EndMouseTracking(FMouseTracker.get());
  }
  MouseLeave(c);
}

void TuxControl::CMTextChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  TextChanged();
}

void TuxControl::CMVisibleChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  VisibleChanged();
}
