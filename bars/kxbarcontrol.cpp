// The window class behind every toolbar and menu: its life cycle, the
// selected item control, the active chain of menu mode, the keyboard and
// mouse models and the drawing entry points.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarpopup.h"
#include "bars/kxbarshadow.h"
#include "bars/kxbaritems.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

TCustomkxBarControl::TCustomkxBarControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FSerial = kxBarAddBarControl(this);
  FControlStyle >> csCaptureMouse;
  UpdateControlStyle();
  SetColor(clBtnFace);
  FVisible = false;
  SetBounds(100, 100, 50, 30);
  FBkBitmap = std::make_unique<TBitmap>();
}

TCustomkxBarControl::~TCustomkxBarControl() {
  FDestroying = true;
  if (FActive) SetActive(false);
  TkxBarManager* m = BarManager();
  if (m && m->SelectedItem() && m->SelectedItem()->Parent() == this) m->SetSelectedItem(nullptr);
  if (HandleAllocated()) DestroyWindowHandle();
  else DestroyItemControls();
  if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
  FItemLinks = nullptr;
  kxBarRemoveBarControl(this);
  FShadow.reset();
  FBkBitmap.reset();
}

void TCustomkxBarControl::UpdateShadow() {
  if (!IsShadowVisible()) {
    if (FShadow) FShadow->SetVisible(false);
    return;
  }
  if (!FShadow) FShadow = std::make_unique<TkxBarShadow>(this);
  TRect w = GetWindowRect();
  TRect o = FOwnerItemRect;
  // the owner item counts only where the window touches it
  bool touches = !IsRectEmpty(&o) && (o.bottom == w.top || o.top == w.bottom || o.right == w.left || o.left == w.right);
  FShadow->SetVisible(false);
  FShadow->SetOwnerBounds(touches ? o : TRect{}, w);
  FShadow->SetVisible(true);
}

TkxBarManager* TCustomkxBarControl::BarManager() const { return dynamic_cast<TkxBarManager*>(Owner()); }

TkxBarItemControlPainterClass TCustomkxBarControl::Painter() const {
  TkxBarManager* m = BarManager();
  return m && m->PainterClass() ? m->PainterClass() : TkxBarItemControlEnhancedPainter::Instance();
}

bool TCustomkxBarControl::IsFlatStyle() const {
  TkxBarManager* m = BarManager();
  return m && m->Style() == bmsFlat;
}

HBRUSH TCustomkxBarControl::GetManagerBrush() const { return Painter()->GetBarBrush(BarManager()); }

void TCustomkxBarControl::SetItemLinks(TkxBarItemLinks* Links) {
  if (FItemLinks == Links) return;
  if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
  FItemLinks = Links;
  if (FItemLinks) FItemLinks->SetBarControl(this);
}

void TCustomkxBarControl::SetDockControl(TkxDockControl* Site) {
  FDockControl = Site;
  // A docked bar window is a child of its site; a floating one has none.
  if (Site && FDockingStyle != dsNone) {
    if (Parent() != Site) SetParent(Site);
  } else if (Parent() && !IsMenuWindow()) {
    SetParent(nullptr);
  }
  UpdateDoubleBuffered();
}

HDC TCustomkxBarControl::FontDC() {
  HDC dc = Canvas()->Handle();
  SelectObject(dc, Canvas()->Font()->Handle());
  return dc;
}

void TCustomkxBarControl::UpdateControlStyle() {
  TkxBarManager* m = BarManager();
  bool doubles = !m || m->GetEffectiveStyle() != bmsStandard || IsCustomizing();
  if (doubles) FControlStyle << csDoubleClicks;
  else FControlStyle >> csDoubleClicks;
}

// ---- window life cycle ----

void TCustomkxBarControl::CreateWindowHandle(const TCreateParams& Params) {
  TCustomControl::CreateWindowHandle(Params);
  CreateItemControls();
  UpdateLayeredAttributes();
}

void TCustomkxBarControl::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateFont();
  CalcMetrics();
}

void TCustomkxBarControl::DestroyWindowHandle() {
  if (HandleAllocated()) DestroyControlWindows();
  DestroyItemControls();
  TCustomControl::DestroyWindowHandle();
}

void TCustomkxBarControl::DestroyControlWindows() {
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->Count(); ++i)
    if (TkxBarItemControl* c = FItemLinks->Items(i)->Control()) c->ReleaseWindows();
}

void TCustomkxBarControl::CreateItemControls() {
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->VisibleItemCount(); ++i) FItemLinks->VisibleItems(i)->CreateControl();
}

void TCustomkxBarControl::DestroyItemControls() {
  if (!FItemLinks) return;
  bool saved = FLocked;
  FLocked = true;
  FPressedControl = nullptr;
  for (int i = 0; i < FItemLinks->Count(); ++i) {
    TkxBarItemLink* l = FItemLinks->Items(i);
    if (l->Control() && FSelectedControl == l->Control()) FSelectedControl = nullptr;
    l->DestroyControl();
  }
  FLocked = saved;
}

void TCustomkxBarControl::CalcMetrics() {
  if (!HandleAllocated()) return;
  HDC dc = FontDC();
  SIZE s{};
  GetTextExtentPoint32A(dc, "0", 1, &s);
  FRowUnit = s.cy + 6;
  FSmallUnit = std::max(FRowUnit / 5, 4);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetFontHandle());
  GetTextExtentPoint32A(screen, "0", 1, &s);
  FTextRowHeight = Painter()->CalcTextRowHeight(this, screen, s.cy);
  FComboButtonWidth = Painter()->CalcComboButtonWidth(this, screen, s.cx);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
}

HFONT TCustomkxBarControl::GetFontHandle() const {
  TkxBarManager* m = BarManager();
  return m ? m->MenuFontHandle() : nullptr;
}

bool TCustomkxBarControl::CanCustomizeItems() const {
  TkxBarManager* m = BarManager();
  return m && m->IsDesigning();
}

int TCustomkxBarControl::IsFlatItems() const { return Painter()->GetBarItemIndent(const_cast<TCustomkxBarControl*>(this)); }

void TCustomkxBarControl::GetItemRect(TkxBarItemControl* Control, TRect& R) const {
  R = Control && Control->Link() ? Control->Link()->ItemRect() : TRect{};
}

bool TCustomkxBarControl::IsCustomizing() const {
  TkxBarManager* m = BarManager();
  return m && m->IsCustomizingOrDesigning();
}

bool TCustomkxBarControl::IsShadowVisible() const {
  return Painter()->BarHasShadow(const_cast<TCustomkxBarControl*>(this)) && FHandle && IsWindowVisible(FHandle);
}

HRGN TCustomkxBarControl::GetItemRegion(TkxBarItemControl* Control) const {
  TRect r;
  GetItemRectEx(Control, true, r);
  return CreateRectRgnIndirect(&r);
}

TCustomkxBarControl* TCustomkxBarControl::GetOwnerBarControl() const {
  return FOwnerItemRect.right > FOwnerItemRect.left ? FOwnerBarControl : nullptr;
}

HBRUSH TCustomkxBarControl::BkBrush() const { return Painter()->GetBkBrush(const_cast<TCustomkxBarControl*>(this)); }
HBRUSH TCustomkxBarControl::HotBrush() const { return Painter()->GetHotBrush(const_cast<TCustomkxBarControl*>(this)); }
HBRUSH TCustomkxBarControl::HotDownBrush() const {
  return Painter()->GetHotDownBrush(const_cast<TCustomkxBarControl*>(this));
}
HBRUSH TCustomkxBarControl::DownBrush() const { return Painter()->GetDownBrush(const_cast<TCustomkxBarControl*>(this)); }

bool TCustomkxBarControl::IsAncestorOf(TCustomkxBarControl* Other) const {
  for (TCustomkxBarControl* c = Other; c; c = c->ParentBar())
    if (c == this) return true;
  return false;
}

bool TCustomkxBarControl::IsOwnerRectAdjacent() const {
  const TRect& o = FOwnerItemRect;
  if (o.right <= o.left) return false;
  TRect w = GetWindowRect();
  bool vertOverlap = w.top < o.bottom && o.top < w.bottom;
  bool horzOverlap = w.left < o.right && o.left < w.right;
  return ((w.left == o.right || w.right == o.left) && vertOverlap) ||
         ((w.top == o.bottom || w.bottom == o.top) && horzOverlap);
}

TRect TCustomkxBarControl::GetWindowRect() const {
  RECT r{};
  if (FHandle) ::GetWindowRect(FHandle, &r);
  else r = BoundsRect();
  return r;
}

void TCustomkxBarControl::GetOwnerEdgeRect(bool InScreen, TRect& R) {
  R = TRect{};
  if (!IsOwnerRectAdjacent()) return;
  TRect w = GetWindowRect();
  TRect o = FOwnerItemRect;
  OffsetRect(&o, -w.left, -w.top);
  // an owner beside the window (a vertical joint) is handled with X and Y exchanged
  bool vertical = !(o.bottom == 0 || o.top == w.Height());
  auto transpose = [](TRect& R) { R = TRect{R.top, R.left, R.bottom, R.right}; };
  int width = w.Width(), height = w.Height();
  if (vertical) {
    transpose(o);
    std::swap(width, height);
  }
  TRect band;
  if (o.bottom == 0) band = TRect{0, 0, width, 1};
  else band = TRect{0, height - 1, width, height};
  if (InScreen) OffsetRect(&band, 0, o.bottom == 0 ? -1 : 1);
  band.left = std::max(o.left, band.left) + 1;
  band.right = std::min(o.right, band.right) - 1;
  if (vertical) transpose(band);
  if (InScreen) OffsetRect(&band, w.left, w.top);
  R = band;
}

TkxBarItemControl* TCustomkxBarControl::GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before) {
  Vertical = kxBarIsVerticalToolbar(this) || IsMenuWindow();
  InGap = false;
  Before = false;
  if (!FItemLinks) return nullptr;
  for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
    TkxBarItemControl* c = FItemLinks->ShownItems(i)->Control();
    if (!c || !c->IsOwnItem()) continue;
    HRGN rgn = GetItemRegion(c);
    bool in = PtInRegion(rgn, P.x, P.y);
    DeleteObject(rgn);
    if (!in) continue;
    TRect r;
    GetItemRect(c, r);
    InGap = !(P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom);
    if (InGap) {
      if (P.y < r.top) Vertical = true;
      r = c->BeginGroupRect();
    }
    if (Vertical) Before = (P.y - r.top) < (r.bottom - P.y);
    else Before = (P.x - r.left) < (r.right - P.x);
    return c;
  }
  return nullptr;
}

bool TCustomkxBarControl::IsMouseStill(const TPoint& ClientPoint) {
  if (IsCustomizing()) return true;
  TPoint s = ClientToScreen(ClientPoint);
  return s == FLastMousePos;
}

void TCustomkxBarControl::RepaintSelection(TkxBarItemControl* Previous) {
  if (FLocked) return;
  FRepaintingItem = true;
  try {
    if (Previous && Previous->Item() && !Previous->Item()->IsDestroying() && OwnsItemControl(Previous))
      Previous->Repaint();
    if (FSelectedControl) FSelectedControl->Repaint();
  } catch (...) {
    FRepaintingItem = false;
    throw;
  }
  FRepaintingItem = false;
}

void TCustomkxBarControl::SetDockingStyle(TkxBarDockingStyle Style) {
  if (Style == FDockingStyle) return;
  FDockingStyle = Style;
  FreeBackgroundBitmap();
  if (HandleAllocated()) Perform(CM_FONTCHANGED, 0, 0);
  UpdateLayeredAttributes();
}

// ---- the active chain ----

void TCustomkxBarControl::SetActive(bool Value) {
  if (TkxBarManager* m = BarManager()) m->ShowHint(false, AnsiString());
  if (Value == FActive) return;
  if (Value) {
    if (!kxBarGetActiveBarControl()) kxBarFullMenusShown = IsCustomizing();
    FPrevActive = kxBarGetActiveBarControl();
    FActive = true;
    kxBarSetActiveBarControl(this);
    if (!IsCustomizing() && FItemLinks) FItemLinks->UpdateActions();
  } else {
    TkxBarControlRef self = kxBarRef(this);
    if (IsCustomizing()) FSelectedControl = nullptr;
    else SelectItem(nullptr);
    if (!kxBarIsBarControlAlive(self)) return;
    FActive = false;
    if (kxBarGetActiveBarControl() == this) {
      TCustomkxBarControl* prev = FPrevActive;
      if (prev && (!kxBarIsBarControlAlive(kxBarRef(prev)) || !prev->Active())) prev = nullptr;
      kxBarSetActiveBarControl(prev);
    }
    FPrevActive = nullptr;
  }
}

void TCustomkxBarControl::CloseChain() {
  TkxBarControlRef self = kxBarRef(this);
  TCustomkxBarControl* parent = FParentBar;
  TkxBarControlRef parentRef = kxBarRef(parent);
  SetActive(false);
  if (!kxBarIsBarControlAlive(self)) {
    if (kxBarIsBarControlAlive(parentRef)) parent->CloseChain();
    return;
  }
  if (FParentBar && kxBarIsBarControlAlive(kxBarRef(FParentBar))) FParentBar->CloseChain();
}

// ---- selection ----

void TCustomkxBarControl::SelectItem(TkxBarItemControl* Control) {
  if (Control == FSelectedControl) return;
  TkxBarControlRef self = kxBarRef(this);
  if (FSelectedControl && FSelectedControl->Active()) {
    FSelectedControl->Deactivate(true);
    if (!kxBarIsBarControlAlive(self)) return;
  }
  if (Control) Control->SetSelectedByMouse(false);
  SetSelectedControl(Control);
}

void TCustomkxBarControl::HotTrack(TkxBarItemControl* Control) {
  if (!HandleAllocated() || Control == FSelectedControl) return;
  if (auto* w = dynamic_cast<TkxBarWinControl*>(FSelectedControl))
    if (w->Shown() && w->Window() && GetFocus() == w->Window()) return;
  TkxBarControlRef self = kxBarRef(this);
  if (FSelectedControl && FSelectedControl->Active()) {
    FSelectedControl->Deactivate(false);
    if (!kxBarIsBarControlAlive(self)) return;
  }
  if (Control) Control->SetSelectedByMouse(true);
  SetSelectedControl(Control);
  if (!kxBarIsBarControlAlive(self) || !FSelectedControl) return;
  if (auto* sub = dynamic_cast<TkxBarSubItemControl*>(FSelectedControl)) {
    // a customize drag opens only the menus that can take the dragged item
    TkxBarManager* m = BarManager();
    if (m && m->Dragging() && m->DragItem() && m->DragItem()->RefersTo(sub->Item())) return;
    sub->SetOpenedByMouse(true);
  }
  FSelectedControl->SetActive(false);
}

void TCustomkxBarControl::SetSelectedControl(TkxBarItemControl* Control) {
  if (Control == FSelectedControl) return;
  // an open quick-customizing window that lost the chain closes soon
  if (TkxBarQuickControl* q = kxBarGetQuickControl(); q && q != this && !q->Active() && Control)
    TkxBarQuickControl::StartCloseTimer();
  TkxBarItemControl* previous = FSelectedControl;
  FSelectedControl = Control;
  TkxBarManager* m = BarManager();
  TkxBarControlRef self = kxBarRef(this);
  if (IsCustomizing()) {
    if (m) m->SetSelectedItem(Control);
    if (!kxBarIsBarControlAlive(self)) return;
  } else if (m && !m->IsCustomizingOrDesigning()) {
    m->SetSelectedItem(Control);
  }
  RepaintSelection(previous);
  POINT p;
  GetCursorPos(&p);
  FLastMousePos = TPoint{p.x, p.y};
  if (!FSelectedControl) SetCursor(crDefault);
  if (m && (FSelectedControl || IsMenuWindow() || FMarkState == 0)) m->ShowHint(true, AnsiString());
  AnsiString hint;
  if (FSelectedControl && (FSelectedControl->IsEnabled() || (m && m->ShowHintForDisabledItems()))) {
    hint = GetLongHint(FSelectedControl->GetHint());
  }
  SetHint(hint);
  // a context menu's long hint goes to the application (its status line)
  if (auto* root = dynamic_cast<TkxBarSubMenuControl*>(kxBarGetRootBarControl(this)))
    if (root->ItemLinks() && dynamic_cast<TkxBarPopupMenu*>(root->ItemLinks()->Owner()) && !root->OwnerControl() &&
        Application)
      Application->SetHint(hint);
}

TkxBarItemControl* TCustomkxBarControl::ItemAtPos(const TPoint& ClientPoint) {
  if (!FItemLinks) return nullptr;
  if (IsCustomizing() && !CanCustomizeItems()) return nullptr;
  for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
    TkxBarItemLink* l = FItemLinks->ShownItems(i);
    if (!l->Control()) continue;
    TRect r;
    GetItemRect(l->Control(), r);
    if (ClientPoint.x >= r.left && ClientPoint.x < r.right && ClientPoint.y >= r.top && ClientPoint.y < r.bottom)
      return l->Control();
  }
  return nullptr;
}

bool TCustomkxBarControl::OwnsItemControl(TkxBarItemControl* Control) const {
  if (!Control || !FItemLinks) return false;
  for (int i = 0; i < FItemLinks->Count(); ++i)
    if (FItemLinks->Items(i)->Control() == Control) return true;
  return false;
}

void TCustomkxBarControl::GetItemScreenRect(TkxBarItemControl* Control, TRect& R) {
  GetItemRect(Control, R);
  TPoint tl = ClientToScreen(TPoint{R.left, R.top});
  OffsetRect(&R, tl.x - R.left, tl.y - R.top);
}

bool TCustomkxBarControl::SendKeyToSelected(Word Key) {
  if (FSelectedControl && FSelectedControl->IsEnabled() && FSelectedControl->IsDropDownKey(Key)) {
    FSelectedControl->KeyDown(Key);
    return true;
  }
  return false;
}

void TCustomkxBarControl::SetMoveCursor(bool Value) { SetCursor(Value ? crSizeAll : crDefault); }

bool TCustomkxBarControl::IsCursorOver() {
  POINT p;
  GetCursorPos(&p);
  return HandleAllocated() && kxBarWindowFromScreenPoint(p) == Handle();
}

void TCustomkxBarControl::DrawCustomizingFrame(TkxBarItemControl* Control) {
  TkxBarManager* m = BarManager();
  if (!IsCustomizing() || !Control || !m) return;
  bool selected = Control == FSelectedControl && Control == m->SelectedItem() && !m->Dragging();
  bool dragged = m->DragItemLink() && Control->Link() == m->DragItemLink();
  if (!selected && !dragged) return;
  TRect r;
  GetItemRect(Control, r);
  HDC dc = FontDC();
  HBRUSH b = GetSysColorBrush(COLOR_WINDOWTEXT);
  FrameRect(dc, &r, b);
  TRect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  FrameRect(dc, &inner, b);
}

void TCustomkxBarControl::InvalidateWithFrame() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), WM_NCPAINT, 0, 0);
  Invalidate();
}

void TCustomkxBarControl::RepaintWithFrame() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), WM_NCPAINT, 0, 0);
  Repaint();
}

// ---- backgrounds ----

void TCustomkxBarControl::FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap) {
  TRect origin = R;
  if (ClientCoords) {
    TPoint off;
    GetBackgroundOffset(off);
    OffsetRect(&origin, off.x, off.y);
  }
  TColor color = Color();
  if (FDockingStyle != dsNone) Painter()->FillDockedBarBackground(this, DC, color, Brush, R, origin);
  else Painter()->FillBarBackground(this, DC, color, Brush, R, origin);
}

void TCustomkxBarControl::FillBackgroundRgn(HDC DC, HRGN Region, bool ClientCoords, HBRUSH Brush) {
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  ExtSelectClipRgn(DC, Region, RGN_AND);
  TRect all = ClientCoords ? ClientRect() : TRect{0, 0, Width(), Height()};
  FillBackground(DC, all, ClientCoords, Brush, nullptr);
  kxBarPutBackClipRegion(DC, kept, had);
}

bool TCustomkxBarControl::HasBackgroundBitmap() const { return FDockControl && FDockControl->HasBackgroundBitmap(); }
bool TCustomkxBarControl::NeedsDoubleBuffering() const { return FDockControl && FDockControl->NeedsDoubleBuffering(); }

void TCustomkxBarControl::FreeBackgroundBitmap() {
  if (!FBkBitmap) return;
  TBitmap empty;
  FBkBitmap->Assign(&empty);
}

bool TCustomkxBarControl::IsPointInClient(const TPoint& P) {
  TRect r = ClientRect();
  return P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom;
}

// ---- the window procedure ----

void TCustomkxBarControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      Message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return;
    }
    case WM_KILLFOCUS:
      if (!Message.WParam) {
        TCustomControl::WndProc(Message);
        CloseChain();
        return;
      }
      break;
    case WM_NCACTIVATE:
      if (Message.WParam && !IsCustomizing() && HandleAllocated())
        if (HWND parent = GetParent(Handle())) SendMessageA(parent, WM_NCACTIVATE, 1, 0);
      Message.WParam = 1;
      break;
    case WM_SETFOCUS:
      if (!dynamic_cast<TkxBarWinControl*>(FSelectedControl)) {
        TkxBarManager* m = BarManager();
        TCustomForm* f = m ? m->OwnerForm() : nullptr;
        if (f && f->HandleAllocated() && IsWindowVisible(f->Handle())) ::SetFocus(f->Handle());
        return;
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (!FControlStyle.Contains(csDoubleClicks)) Message.Msg = WM_LBUTTONDOWN;
      break;
    default:
      break;
  }
  if ((Message.Msg >= WM_MOUSEMOVE && Message.Msg <= WM_MOUSEWHEEL) ||
      (Message.Msg >= WM_NCMOUSEMOVE && Message.Msg <= WM_NCMBUTTONDBLCLK)) {
    if (TCustomkxBarControl* active = kxBarGetActiveBarControl()) {
      bool inChain = false;
      for (TCustomkxBarControl* c = active; c; c = c->ParentBar())
        if (c == this) inChain = true;
      if (!inChain && !IsAncestorOf(active)) {
        // a toolbar that is the root of the chain opened from it stays reachable
        if (kxBarGetRootBarControl(active) != this) return;
      }
    }
  }
  TCustomControl::WndProc(Message);
  if (Message.Msg == WM_COMMAND && Message.Result == 0 && HIWORD(Message.WParam) == EN_CHANGE && Message.LParam)
    SendMessageA(reinterpret_cast<HWND>(Message.LParam), WM_COMMAND, Message.WParam, Message.LParam);
}

void TCustomkxBarControl::WMCaptureChanged(TMessage& Message) {
  DefaultHandler(Message);
  if (FDragPending) {
    FDragPending = false;
    if (TkxBarManager* m = BarManager()) m->SetDragState(nullptr, nullptr);
  }
  FPressedControl = nullptr;
}

void TCustomkxBarControl::WMDestroy3(TMessage& Message) {
  if (!IsDestroying()) {
    if (HandleAllocated()) kxBarEndMouseTracking(Handle());
    SetMarkState(0);
    DestroyControlWindows();
  }
  TCustomControl::Dispatch(Message);
}

void TCustomkxBarControl::WMEraseBkgnd3(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TCustomkxBarControl::WMKeyDown3(TWMKey& Message) { DoKeyDown(Message); }
void TCustomkxBarControl::WMLButtonDown3(TWMMouse& Message) { DoLButtonDown(Message); }
void TCustomkxBarControl::WMLButtonUp3(TWMMouse& Message) { DoLButtonUp(Message); }
void TCustomkxBarControl::WMLButtonDblClk3(TWMMouse& Message) { DoLButtonDblClk(Message); }
void TCustomkxBarControl::WMMouseMove3(TWMMouse& Message) { DoMouseMove(Message); }
void TCustomkxBarControl::WMRButtonDown3(TWMMouse& Message) { DoRButtonDown(Message); }
void TCustomkxBarControl::WMMouseLeave(TMessage& Message) { DoMouseLeave(Message); }

void TCustomkxBarControl::WMMouseActivate3(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result = MA_NOACTIVATE;
}

void TCustomkxBarControl::WMNCHitTest(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (HitEndsTracking(Message.Result) && HandleAllocated()) kxBarEndMouseTracking(Handle());
}

void TCustomkxBarControl::WMSetCursor3(TWMSetCursor& Message) {
  if (Message.CursorWnd() == FHandle && Message.HitTest() == HTCLIENT && Screen) {
    ::SetCursor(Screen->Cursors(Cursor()));
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TCustomkxBarControl::WMWindowPosChanged4(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  if (wp && !((wp->flags & SWP_NOMOVE) && (wp->flags & SWP_NOSIZE))) {
    UpdateShadow();
    FreeBackgroundBitmap();
  } else if (wp && (wp->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
    UpdateShadow();
  }
}

void TCustomkxBarControl::WMRebuild(TMessage& Message) { Rebuild(); }

// ---- keyboard model ----

void TCustomkxBarControl::DoKeyDown(TWMKey& Message) {
  DefaultHandler(Message);
  if (!kxBarGetActiveBarControl()) return;
  Word key = Message.CharCode();
  bool menu = IsMenuWindow();
  if (kxBarIsVerticalToolbar(this)) {
    switch (key) {
      case VK_LEFT: key = VK_UP; break;
      case VK_UP: key = VK_LEFT; break;
      case VK_RIGHT: key = VK_DOWN; break;
      case VK_DOWN: key = VK_RIGHT; break;
      default: break;
    }
    Message.SetCharCode(key);
  } else if (menu) {
    if (key == VK_LEFT || key == VK_RIGHT) return;
    if (key == VK_UP) key = VK_LEFT;
    else if (key == VK_DOWN) key = VK_RIGHT;
  }
  bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  bool wasTab = false;
  if (key == VK_TAB) {
    if (ctrl) {
      MoveToNextBar(!shift);
      return;
    }
    wasTab = true;
    key = shift ? VK_LEFT : VK_RIGHT;
  }
  TkxBarItemLink* cur = FSelectedControl ? FSelectedControl->Link() : nullptr;
  TkxBarControlRef self = kxBarRef(this);
  switch (key) {
    case VK_HOME:
    case VK_END: {
      TkxBarItemLink* l = key == VK_HOME ? FItemLinks->First() : FItemLinks->Last();
      if (l && l->Control()) SelectItem(l->Control());
      return;
    }
    case VK_LEFT:
    case VK_RIGHT: {
      TkxBarItemLink* l = key == VK_LEFT ? FItemLinks->Prev(cur) : FItemLinks->Next(cur);
      if (!cur) l = key == VK_LEFT ? FItemLinks->Last() : FItemLinks->First();
      if (l && l->Control()) {
        SelectItem(l->Control());
        if (!kxBarIsBarControlAlive(self)) return;
        if (wasTab && dynamic_cast<TkxBarWinControl*>(FSelectedControl)) FSelectedControl->ClickByKeyboard(false);
      }
      return;
    }
    case VK_MENU:
      Message.SetCharCode(0);
      CloseChain();
      return;
    case VK_F10: {
      TkxBarManager* m = BarManager();
      if (m && m->UseF10ForMenu()) {
        Message.SetCharCode(0);
        CloseChain();
      }
      return;
    }
    default:
      ProcessAccelKey(key);
      return;
  }
}

void TCustomkxBarControl::ProcessAccelKey(Word Key) {
  UINT ch = MapVirtualKeyA(Key, MAPVK_VK_TO_CHAR) & 0xFFFF;
  if (!((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) || !FItemLinks) return;
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 4;
  TkxBarItemLink* cur = FSelectedControl ? FSelectedControl->Link() : nullptr;
  TkxBarItemLink* first = FItemLinks->FindAccelLink(Key, shift, cur);
  if (!first || !first->Item() || !first->Item()->Enabled()) return;
  bool unique = true, hiddenMet = first->ShownIndex() < 0;
  for (TkxBarItemLink* l = FItemLinks->FindAccelLink(Key, shift, first); l && l != first;
       l = FItemLinks->FindAccelLink(Key, shift, l)) {
    unique = false;
    if (l->ShownIndex() < 0) {
      hiddenMet = true;
      break;
    }
  }
  TkxBarControlRef self = kxBarRef(this);
  if (IsMenuWindow()) {
    TkxBarManager* m = BarManager();
    bool expand = m && m->GetEffectiveStyle() != bmsStandard &&
                  ((!unique && hiddenMet) ||
                   (unique && first->ShownIndex() < 0 && first->Control() && !first->Control()->ClosesMenuOnClick()));
    if (expand || first->ShownIndex() < 0) SetMarkState(2);
    if (!kxBarIsBarControlAlive(self)) return;
  }
  if (!first->Control()) return;
  SelectItem(first->Control());
  if (!kxBarIsBarControlAlive(self)) return;
  if (unique && HandleAllocated()) SendMessageA(Handle(), WM_KEYDOWN, VK_RETURN, 0);
}

void TCustomkxBarControl::MoveToNextBar(bool Forward) {
  TkxBarControl* root = kxBarGetRootToolbar(this);
  TkxBarManager* m = BarManager();
  if (!root || !m || !root->Bar()) return;
  TkxBars* bars = m->Bars();
  int start = root->Bar()->Index(), n = bars->Count();
  for (int k = 1; k < n; ++k) {
    int i = Forward ? (start + k) % n : (start - k + n) % n;
    TkxBar* bar = bars->Items(i);
    TkxBarControl* c = bar->Control();
    if (!c || !c->HandleAllocated() || !bar->ItemLinks()->First()) continue;
    root->DeactivateMenuMode();
    c->ActivateMenuMode(bar->ItemLinks()->First()->Control());
    return;
  }
}

// ---- mouse model ----

void TCustomkxBarControl::DoLButtonDown(TWMMouse& Message) {
  if (FIgnoreMouseUp || !FItemLinks || FItemLinks->ShownItemCount() == 0) return;
  TCustomControl::Dispatch(Message);
  TPoint p = Message.Pos();
  TkxBarItemControl* c = IsPointInClient(p) ? ItemAtPos(p) : nullptr;
  TkxBarControlRef self = kxBarRef(this);
  if (IsCustomizing()) {
    if (c && !c->IsOwnItem()) return;
    if (c || !IsPointInClient(p)) {
      TkxBarManager* m = BarManager();
      if (c && c == FSelectedControl) {
        if (c->Active()) c->Deactivate(true);
        else c->SetActive(false);
        if (m) m->SetSelectedItem(c);
        c->Repaint();
      }
      HotTrack(c);
      if (c && kxBarIsBarControlAlive(self)) {
        FDragStartPos = p;
        if (m) m->SetDragState(c->Item(), c->Link());
        FDragPending = true;
        SetCapture(Handle());
      }
    }
    return;
  }
  if (c && (!c->IsEnabled() || (!c->IsSelectable() && !c->IsClickable()))) c = nullptr;
  if (!c) return;
  SelectItem(c);
  if (!kxBarIsBarControlAlive(self)) return;
  auto* button = dynamic_cast<TkxBarButtonControl*>(c);
  if (auto* sub = dynamic_cast<TkxBarSubItemControl*>(c)) sub->SetOpenedByMouse(true);
  FPressedControl = button ? c : nullptr;
  c->Activate(true);
  if (!kxBarIsBarControlAlive(self)) return;
  if (!OwnsItemControl(c)) {
    FPressedControl = nullptr;
    return;
  }
  FPressedControl = nullptr;
  if (!IsMenuWindow() && c == FSelectedControl && c->WantsHotTracking()) {
    FPressedControl = c;
    FPressedUnderMouse = true;
    SetCapture(Handle());
    c->Repaint();
  }
  if (auto* w = dynamic_cast<TkxBarWinControl*>(c))
    if (w->Shown() && w->Window()) {
      TRect er = w->WindowRect();
      if (!(p.x >= er.left && p.x < er.right && p.y >= er.top && p.y < er.bottom)) {
        POINT q{p.x, p.y};
        MapWindowPoints(Handle(), w->Window(), &q, 1);
        SendMessageA(w->Window(), WM_LBUTTONDOWN, Message.WParam, MAKELPARAM(q.x, q.y));
      }
    }
}

void TCustomkxBarControl::DoMouseMove(TWMMouse& Message) {
  if (FLocked) return;
  TPoint p = Message.Pos();
  if (FPressedControl) {
    TRect r;
    GetItemRect(FPressedControl, r);
    bool under = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
    if (under != FPressedUnderMouse) {
      FPressedUnderMouse = under;
      FPressedControl->Repaint();
    }
  }
  if (FDragPending) {
    int dx = GetSystemMetrics(SM_CXDRAG) / 2, dy = GetSystemMetrics(SM_CYDRAG) / 2;
    if (std::abs(p.x - FDragStartPos.x) > dx || std::abs(p.y - FDragStartPos.y) > dy) {
      FDragPending = false;
      ReleaseCapture();
      if (FSelectedControl) FSelectedControl->Deactivate(true);
      if (TkxBarManager* m = BarManager()) m->StartDragItem();
    }
    return;
  }
  if (!IsPointInClient(p)) return;
  TCustomControl::Dispatch(Message);
  if (IsMouseStill(p)) return;
  FLastMousePos = ClientToScreen(p);
  TkxBarItemControl* c = ItemAtPos(p);
  TkxBarWinControl* editing = nullptr;
  if (auto* w = dynamic_cast<TkxBarWinControl*>(FSelectedControl))
    if (w->Shown()) editing = w;
  if (!kxBarGetActiveBarControl() || kxBarGetActiveBarControl() == this) {
    auto* w = dynamic_cast<TkxBarWinControl*>(c);
    bool overEdit = false;
    if (w && (!editing || editing == w)) {
      TRect er = w->GetRect();
      overEdit = p.x >= er.left && p.x < er.right && p.y >= er.top && p.y < er.bottom;
    }
    SetCursor(overEdit ? crIBeam : crDefault);
  }
  if (editing) return;
  if (HandleAllocated() && !kxBarIsMouseInWindow(Handle())) kxBarBeginMouseTracking(Handle());
  if (c && !c->CanBeSelectedInDesign()) c = nullptr;
  if (!c && !IsMenuWindow() && Active() && BarManager() && BarManager()->BarInMenuMode() == this) return;
  if (FPressedControl) return;
  if (!c && FChildMenu && dynamic_cast<TkxBarSubItemControl*>(FSelectedControl)) return;
  HotTrack(c);
}

void TCustomkxBarControl::DoLButtonUp(TWMMouse& Message) {
  if (FIgnoreMouseUp) {
    FIgnoreMouseUp = false;
    return;
  }
  TCustomControl::Dispatch(Message);
  if (FDragPending) {
    FDragPending = false;
    ReleaseCapture();
    return;
  }
  TkxBarItemControl* pressed = FPressedControl;
  if (pressed) ReleaseCapture();
  FPressedControl = nullptr;
  TkxBarControlRef self = kxBarRef(this);
  TPoint p = Message.Pos();
  if (FActive && IsPointInClient(p) && !IsCustomizing()) {
    TkxBarItemControl* c = ItemAtPos(p);
    if (c && (c->IsSelectable() || c->IsClickable())) {
      if (c->IsEnabled() && c == FSelectedControl) {
        if (auto* w = dynamic_cast<TkxBarWinControl*>(c))
          if (w->Shown() && w->Window()) {
            POINT q{p.x, p.y};
            MapWindowPoints(Handle(), w->Window(), &q, 1);
            SendMessageA(w->Window(), WM_LBUTTONUP, Message.WParam, MAKELPARAM(q.x, q.y));
          }
        c->Click(false);
      } else if (!c->IsEnabled() && c != FSelectedControl && !IsMenuWindow()) {
        auto* b = dynamic_cast<TkxBarButtonControl*>(FSelectedControl);
        if (!b || !b->DroppedDown()) CloseChain();
      }
    }
  }
  if (pressed && kxBarIsBarControlAlive(self) && !IsMenuWindow()) {
    if (OwnsItemControl(pressed)) pressed->Repaint();
    CloseChain();
  }
}

void TCustomkxBarControl::DoLButtonDblClk(TWMMouse& Message) {
  DefaultHandler(Message);
  TPoint p = Message.Pos();
  TkxBarItemControl* c = IsPointInClient(p) ? ItemAtPos(p) : nullptr;
  if (c && c == FSelectedControl && c->AcceptsDoubleClick()) {
    if (!c->OpensChildMenu()) {
      c->DoubleClick();
    } else if (FChildMenu && FChildMenu->IsMarkVisible()) {
      FChildMenu->SetMarkState(2);
    }
    return;
  }
  TMessage m = Message;
  m.Msg = WM_LBUTTONDOWN;
  DoLButtonDown(static_cast<TWMMouse&>(m));
}

void TCustomkxBarControl::DoRButtonDown(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  if (!IsCustomizing()) return;
  if (FSelectedControl) FSelectedControl->Deactivate(true);
  TPoint p = Message.Pos();
  TkxBarItemControl* c = nullptr;
  TkxBarControlRef self = kxBarRef(this);
  if (IsPointInClient(p)) {
    c = ItemAtPos(p);
    if (c) {
      SelectItem(c);
      if (!kxBarIsBarControlAlive(self)) return;
      if (TkxBarManager* m = BarManager()) m->SetSelectedItem(c);
      c->Repaint();
    }
  }
  TkxBarManager* m = BarManager();
  if (!kxBarIsBarControlAlive(self) || !m || (!c && !m->IsDesigning())) return;
  auto* popup = new TkxBarCustomizingPopup(m, c ? c->Link() : nullptr, FItemLinks);
  TPoint s = ClientToScreen(p);
  popup->SetBounds(s.x, s.y, popup->Width(), popup->Height());
  kxBarSetCustomizingPopup(popup);
  kxBarShowSubMenu(popup);
}

void TCustomkxBarControl::DoMouseLeave(TMessage& Message) {
  if (FMarkState == 1) SetMarkState(0);
  DefaultHandler(Message);
  if (FChildMenu || IsCustomizing()) return;
  if (auto* b = dynamic_cast<TkxBarButtonControl*>(FSelectedControl))
    if (b->DroppedDown()) return;
  HotTrack(nullptr);
}
