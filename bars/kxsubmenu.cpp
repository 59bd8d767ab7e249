// The sub-menu window: drop-down and pop-up menus. Placement on the monitor,
// one column of items with separators and a side strip, recent items with
// the expand button, scrolling of menus taller than the work area, and the
// closing rules.
#include <algorithm>
#include <climits>

#include "bars/kxbar.h"
#include "bars/kxbaranim.h"
#include "bars/kxbarpopup.h"
#include "bars/kxbaritems.h"
#include "framework/uxclasses.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
constexpr UINT_PTR kScrollTimer = 1, kDelayTimerHot = 2, kDelayTimerExpand = 3;
}  // namespace

TkxBarSubMenuControl::TkxBarSubMenuControl(TComponent* AOwner) : TCustomkxBarControl(AOwner) {
  FDockingStyle = dsNone;
  SetParentFont(false);
}

TkxBarSubMenuControl::~TkxBarSubMenuControl() {
  FDestroying = true;
  FLocked = true;
  if (FChildMenu && !FChildMenu->Closing()) FChildMenu->CloseMenu();
  FChildMenu = nullptr;
  if (FParentBar && kxBarIsBarControlAlive(kxBarRef(FParentBar))) {
    if (FParentBar->ChildMenu() == this) FParentBar->SetChildMenu(nullptr);
    // the item that opened the menu is no longer active
    if (FSubItemControl && FParentBar->OwnsItemControl(FSubItemControl) && FSubItemControl->Active())
      FSubItemControl->TkxBarItemControl::Deactivate(true);
  }
  if (FActive) TCustomkxBarControl::SetActive(false);
  if (HandleAllocated()) DestroyHandle();
  FreeRecentBrush();
}

void kxBarShowSubMenu(TkxBarSubMenuControl* Menu) {
  if (!Menu) return;
  if (Menu->OnPopup) Menu->OnPopup(Menu);
  TkxBarManager* m = Menu->BarManager();
  if (TkxBarControl* root = kxBarGetRootToolbar(Menu))
    if (root->BarManager()) m = root->BarManager();
  TkxBarMenuAnimations kind = m ? m->MenuAnimations() : maNone;
  if (kind == maRandom) kind = kxBarResolveAnimation(kind, kxBarAnimationDraw());
  Menu->SetAnimationKind(kind);
  // unfolding and sliding play when the window is created; a menu without
  // visible links or one being customized just appears
  bool played = (kind == maUnfold || kind == maSlide) && Menu->ItemLinks() &&
                Menu->ItemLinks()->VisibleItemCount() > 0 && !Menu->IsCustomizing();
  Menu->SetAnimate(Menu->Animate() && played);
  TkxBarControlRef ref = kxBarRef(Menu);
  if (kind == maFade && kxBarAnimateWindowProc && !kxBarIsWin9x) {
    HWND h = Menu->Handle();
    if (!kxBarIsBarControlAlive(ref)) return;
    kxBarDispatchPaintMessages();
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    constexpr DWORD kBlend = 0x80000;
    kxBarAnimateWindowProc(h, 150, kBlend);
    return;
  }
  HWND h = Menu->Handle();
  if (!kxBarIsBarControlAlive(ref)) return;
  SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | (Menu->Animate() ? 0 : SWP_SHOWWINDOW));
  kxBarDispatchPaintMessages();
}

bool TkxBarSubMenuControl::AcceptsRightButton() const {
  if (FOwnerWidth == 0 && FOwnerHeight == 0) return true;
  auto* parent = dynamic_cast<TkxBarSubMenuControl*>(FParentBar);
  return parent && parent->AcceptsRightButton();
}

// ---- creation ----

void TkxBarSubMenuControl::CreateParams(TCreateParams& Params) {
  TCustomkxBarControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.ExStyle |= WS_EX_TOPMOST;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_SAVEBITS;
  if (FParentWnd) Params.WndParent = FParentWnd;
  else if (TkxBarManager* m = BarManager())
    if (m->OwnerForm()) Params.WndParent = m->OwnerForm()->Handle();
}

void TkxBarSubMenuControl::CreateWnd() {
  CreateRecentBrush();
  TCustomkxBarControl::CreateWnd();
  FFirstLeft = Left();
  FFirstTop = Top();
  SetActive(true);
  UpdateRecentItemCount();
  FTopIndex = -1;
  SetTopIndex(0);
  bool fx = false, fy = false;
  CalcBounds(fx, fy);
  if (FAnimate) StartAnimation(fx, fy);
  kxBarPlaySound(0);
}

void TkxBarSubMenuControl::UpdateRecentItemCount() {
  if (!FItemLinks) return;
  int count = IsRecentMode() && !kxBarFullMenusShown ? FItemLinks->GetRecentItemCount() : -1;
  FItemLinks->SetRecentItemCount(count);
}

void TkxBarSubMenuControl::CreateItemControls() {
  if (FItemLinks && !IsCustomizing() && !FExpandingContainers) {
    FContainerLinks.clear();
    for (int i = 0; i < FItemLinks->Count(); ++i) {
      TkxBarItemLink* l = FItemLinks->Items(i);
      auto* container = dynamic_cast<TCustomkxBarContainerItem*>(l->Item());
      if (!container || !l->Visible() || !container->IsAvailable()) continue;
      bool first = true;
      for (auto& p : FContainerLinks)
        if (p.second->Item() == container) first = false;
      FContainerLinks.emplace_back(i, l);
      container->AddListedItemLinks(FItemLinks, i + 1, l, first);
      if (container->HasGroupBegin()) {
        l->SaveRecentIndex();
        l->MoveToEnd();
        l->SetCollection(nullptr);
        i--;
      }
    }
    FItemLinks->RefreshLists();
  }
  TCustomkxBarControl::CreateItemControls();
}

void TkxBarSubMenuControl::DestroyItemControls() {
  TCustomkxBarControl::DestroyItemControls();
  if (IsCustomizing() || FExpandingContainers || FContainerLinks.empty()) return;
  FExpandingContainers = true;
  for (auto it = FContainerLinks.rbegin(); it != FContainerLinks.rend(); ++it) {
    auto* container = static_cast<TCustomkxBarContainerItem*>(it->second->Item());
    container->DeleteListedItemLinks(FItemLinks, it->first);
    it->second->SetCollection(FItemLinks);
    it->second->SetIndex(std::min(it->first, FItemLinks->Count() - 1));
    it->second->RestoreRecentIndex();
    container->MarkListStale();
  }
  FContainerLinks.clear();
  FItemLinks->RefreshLists();
  FExpandingContainers = false;
}

void TkxBarSubMenuControl::CalcMetrics() {
  TCustomkxBarControl::CalcMetrics();
  int check = 19;
  Painter()->CalcMenuMetrics(this, FRowUnit, FArrowPartWidth, FExpandButtonHeight, check);
  FMenuGlyphSize = check;
  FMenuUnit = FRowUnit;
}

bool TkxBarSubMenuControl::CanCustomizeItems() const {
  if (TCustomkxBarControl::CanCustomizeItems()) return true;
  if (FItemLinks)
    if (auto* sub = dynamic_cast<TkxBarSubItem*>(FItemLinks->Owner())) return sub->AllowCustomizing();
  return false;
}

int TkxBarSubMenuControl::GetSeparatorSize() const { return Painter()->GetMenuSeparatorSize(); }

namespace {
// The pop-up menu whose links a menu window shows, nil for other menus.
TkxBarPopupMenu* PopupOf(const TkxBarItemLinks* Links) {
  return Links ? dynamic_cast<TkxBarPopupMenu*>(Links->Owner()) : nullptr;
}
}  // namespace

HFONT TkxBarSubMenuControl::GetFontHandle() const {
  if (FParentBar) return FParentBar->GetFontHandle();
  if (TkxBarPopupMenu* p = PopupOf(FItemLinks))
    if (p->UseOwnFont() && p->FontHandle()) return p->FontHandle();
  return TCustomkxBarControl::GetFontHandle();
}

void TkxBarSubMenuControl::UpdateFont() {
  if (auto* t = dynamic_cast<TkxBarControl*>(FParentBar)) {
    if (t->Bar()) Canvas()->SetFont(t->Bar()->Font());
  } else if (FParentBar) {
    Canvas()->SetFont(FParentBar->Canvas()->Font());
  } else if (TkxBarPopupMenu* p = PopupOf(FItemLinks); p && p->UseOwnFont()) {
    Canvas()->SetFont(p->Font());
  } else if (TkxBarManager* m = BarManager()) {
    Canvas()->SetFont(m->Font());
  }
}

bool TkxBarSubMenuControl::IsCustomizing() const {
  // the menus of the customizing pop-up's own sub items work as menus
  if (FItemLinks)
    if (auto* sub = dynamic_cast<TkxBarSubItem*>(FItemLinks->Owner()); sub && !sub->IsCustomizable()) return false;
  return TCustomkxBarControl::IsCustomizing();
}

bool TkxBarSubMenuControl::IsShadowVisible() const { return !FAnimate && TCustomkxBarControl::IsShadowVisible(); }

int TkxBarSubMenuControl::GetBarSize() const {
  if (FItemLinks)
    if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(FItemLinks->Owner())) return sub->BarSize();
  if (TkxBarPopupMenu* p = PopupOf(FItemLinks)) return p->BarSize();
  return 0;
}

int TkxBarSubMenuControl::GetDetachBarHeight() {
  SIZE s{};
  GetTextExtentPoint32A(FontDC(), "Qq", 2, &s);
  int h = s.cy / 2;
  if (h % 2 == 0) ++h;
  return h;
}

int TkxBarSubMenuControl::GetDetachBarAreaHeight() { return Painter()->GetDetachStripHeight(this); }

bool TkxBarSubMenuControl::IsDetachable() const {
  if (!FItemLinks) return false;
  auto* sub = dynamic_cast<TCustomkxBarSubItem*>(FItemLinks->Owner());
  return sub && sub->Detachable() && sub->DetachingBar() >= 0;
}

namespace {
// "拖曳使菜单浮动"
const char* const kDetachHint = "\xCD\xCF\xD2\xB7\xCA\xB9\xB2\xCB\xB5\xA5\xB8\xA1\xB6\xAF";

TkxBar* DetachingBarOf(const TCustomkxBarSubItem* Sub) {
  TkxBarManager* m = Sub ? Sub->BarManager() : nullptr;
  if (!m || Sub->DetachingBar() < 0 || Sub->DetachingBar() >= m->Bars()->Count()) return nullptr;
  return m->Bars()->Items(Sub->DetachingBar());
}

bool PtInR(const TRect& R, const TPoint& P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
}  // namespace

bool TkxBarSubMenuControl::CanDetach() const {
  if (!IsDetachable()) return false;
  TkxBar* bar = DetachingBarOf(dynamic_cast<TCustomkxBarSubItem*>(FItemLinks->Owner()));
  auto* from = dynamic_cast<TkxBarControl*>(FParentBar);
  return bar && !(from && from->Bar() == bar);
}

bool TkxBarSubMenuControl::IsOverDetachBar(const TPoint& ClientPoint) {
  if (!IsDetachable() || !HandleAllocated()) return false;
  TRect d = GetDetachBarRect();
  TRect w = GetWindowRect();
  OffsetRect(&d, w.left, w.top);
  return PtInR(d, ClientToScreen(ClientPoint));
}

void TkxBarSubMenuControl::SetDetachBarHot(bool Value) {
  if (Value == FDetachBarHot || IsCustomizing() || GetCapture()) return;
  if (Value) {
    // the strip takes over from the items: tracking ends, the selection goes
    if (HandleAllocated()) kxBarEndMouseTracking(Handle());
    HotTrack(nullptr);
  }
  FDetachBarHot = Value;
  if (HandleAllocated()) {
    HDC dc = GetWindowDC(Handle());
    Painter()->FillDetachBar(this, dc, GetDetachBarRect());
    ReleaseDC(Handle(), dc);
    if (Value) kxBarBeginMouseTracking(Handle());
  }
  SetCursor(Value ? crSizeAll : crDefault);
  if (TkxBarManager* m = BarManager()) {
    if (Value) m->ShowHint(true, uxTranslateString(kDetachHint));
    else if (!FSelectedControl) m->ShowHint(false, AnsiString());
  }
}

void TkxBarSubMenuControl::DetachMenu() {
  auto* sub = FItemLinks ? dynamic_cast<TCustomkxBarSubItem*>(FItemLinks->Owner()) : nullptr;
  if (!sub || !IsDetachable()) return;
  TkxBarControlRef self = kxBarRef(this);
  sub->Detaching();
  if (!kxBarIsBarControlAlive(self) || !CanDetach() || !HandleAllocated()) return;
  // everything the loop needs once this menu is gone
  TkxBar* bar = DetachingBarOf(sub);
  TkxBarManager* m = sub->BarManager();
  TCustomkxBarControl* parent = FParentBar;
  auto* control = dynamic_cast<TkxBarSubItemControl*>(FSubItemControl);
  if (!bar || !m || !parent || !control || !parent->HandleAllocated()) return;
  TkxBarControlRef parentRef = kxBarRef(parent);
  TRect zone = GetDetachBarRect();
  TRect w = GetWindowRect();
  OffsetRect(&zone, w.left, w.top);
  InflateRect(&zone, 15, 15);
  int halfCaption = 0;
  {
    HDC dc = GetDC(nullptr);
    halfCaption = Painter()->GetFloatingCaptionHeight(this, dc) / 2;
    ReleaseDC(nullptr, dc);
  }
  // The menu is open again when the mouse comes back or Esc is pressed.
  auto reopen = [&] {
    if (!kxBarIsBarControlAlive(parentRef) || !parent->OwnsItemControl(control)) return;
    parent->SelectItem(control);
    if (kxBarIsBarControlAlive(parentRef) && parent->OwnsItemControl(control)) control->Activate(false);
  };
  m->SetDetachingMenu(true);
  HWND capture = parent->Handle();
  SetCapture(capture);
  bool tornOff = false, released = false;
  POINT last{INT_MIN, INT_MIN};
  MSG msg;
  try {
    while (GetCapture() == capture) {
      if (!kxBarGetDragMessage(msg)) break;
      if (msg.message == WM_MOUSEMOVE) {
        POINT pt = msg.pt;
        if (pt.x == last.x && pt.y == last.y) continue;
        last = pt;
        bool inside = PtInR(zone, TPoint{pt.x, pt.y});
        if (!tornOff) {
          if (inside) continue;
          tornOff = true;
          control->Deactivate(true);  // closes and frees this menu
          if (bar->DockingStyle() != dsNone || !bar->Visible()) {
            bar->SetVisible(false);
            bar->SetDockingStyle(dsNone);
            bar->SetFloatLeft(pt.x - 100);
            bar->SetFloatTop(pt.y - halfCaption);
            bar->SetVisible(true);
          }
        } else if (inside) {
          bar->SetVisible(false);
          tornOff = false;
          if (GetCapture() == capture) ReleaseCapture();
          reopen();
          break;
        }
        if (TkxBarControl* b = bar->Control(); b && b->HandleAllocated()) {
          TRect r = b->GetWindowRect();
          SetWindowPos(b->Handle(), nullptr, pt.x - r.Width() / 2, pt.y - halfCaption, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        continue;
      }
      if (msg.message == WM_LBUTTONUP) {
        released = true;
        break;
      }
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        if (GetCapture() == capture) ReleaseCapture();
        if (tornOff) bar->SetVisible(false);
        tornOff = false;
        reopen();
        break;
      }
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    if (GetCapture() == capture) ReleaseCapture();
    m->SetDetachingMenu(false);
    throw;
  }
  if (GetCapture() == capture) ReleaseCapture();
  if (tornOff) {
    if (released) {
      if (TkxBarControl* b = bar->Control()) b->StoreBarPosition();
      m->DesignerModified();
    } else {
      bar->SetVisible(false);
    }
  }
  m->SetDetachingMenu(false);
}

TRect TkxBarSubMenuControl::GetDetachBarRect() {
  TRect r{0, 0, Width(), GetDetachBarAreaHeight()};
  Painter()->InsetDetachBar(this, r);
  return r;
}

bool TkxBarSubMenuControl::IsRecentMode() const {
  TkxBarManager* m = BarManager();
  return m && m->IsShowRecentItemsFirst() && FItemLinks && FItemLinks->UseRecentItems();
}

void TkxBarSubMenuControl::GetItemRectEx(TkxBarItemControl* Control, bool WithSeparator, TRect& R) const {
  GetItemRect(Control, R);
  if (!Control || !Control->Link()) return;
  if (Control->BandStart() && Painter()->HasBandLine()) R.top -= 1;
  if (WithSeparator && Control->Link()->BeginGroup() && Control->Link()->ShownIndex() > 0) R.top -= GetSeparatorSize();
}

TkxBarItemControl* TkxBarSubMenuControl::GetDropPlace(const TPoint& P, bool& InGap, bool& Vertical, bool& Before) {
  if (IsOverScrollUp(P) || IsOverScrollDown(P) || IsOverExpandButton(P)) return nullptr;
  return TCustomkxBarControl::GetDropPlace(P, InGap, Vertical, Before);
}

bool TkxBarSubMenuControl::IsMarkVisible() const {
  return IsRecentMode() && FItemLinks && FItemLinks->ShownItemCount() < FItemLinks->VisibleItemCount();
}

bool TkxBarSubMenuControl::NeedsDoubleBuffering() const { return GetBackgroundBitmap() != nullptr; }

TBitmap* TkxBarSubMenuControl::GetBackgroundBitmap() const {
  if (TkxBarPopupMenu* p = PopupOf(FItemLinks))
    if (!p->BackgroundBitmap()->Empty()) return p->BackgroundBitmap();
  TkxBarManager* m = BarManager();
  return m ? m->SubMenuBackground() : nullptr;
}

void TkxBarSubMenuControl::FillBackground(HDC DC, const TRect& R, bool ClientCoords, HBRUSH Brush, TBitmap* Bitmap) {
  Painter()->FillMenuBackground(this, DC, Color(), Brush, R);
}

int TkxBarSubMenuControl::GetGlyphColumnWidth() const {
  int h = GetBarSize() + FRowUnit + 2;
  Painter()->AdjustMenuItemHeight(h);
  return h;
}

int TkxBarSubMenuControl::GetArrowSize() const { return Painter()->CalcMenuArrowSize(const_cast<TkxBarSubMenuControl*>(this), FExpandButtonHeight); }

// ---- layout and placement ----

void TkxBarSubMenuControl::SetTopIndex(int Index) {
  if (Index < 0) Index = 0;
  if (Index == FTopIndex) return;
  FTopIndex = Index;
  if (HandleAllocated()) Invalidate();
}

void TkxBarSubMenuControl::CalcItemRects(int* Width, int* Height) {
  if (!FItemLinks) return;
  FItemLinks->EmptyItemRects();
  bool bands = IsRecentMode() && kxBarFullMenusShown;
  int threshold = FItemLinks->GetRecentItemCount();
  if (threshold < 0) threshold = FItemLinks->VisibleItemCount();
  int first = 0, available = 0;
  TRect line;
  Painter()->GetMenuClientRect(this, Width != nullptr, first, available, line);
  int top = line.top, maxW = 0;
  bool prevLess = false;
  int start = std::max(FTopIndex, 0);
  for (int i = start; i < FItemLinks->ShownItemCount(); ++i) {
    TkxBarItemLink* l = FItemLinks->ShownItems(i);
    l->CreateControl();
    TkxBarItemControl* c = l->Control();
    if (!c) continue;
    bool less = bands && l->RecentListIndex() >= threshold;
    bool band = bands && (i == start ? (IsDetachable() && less) : less != prevLess);
    c->SetNonRecent(less);
    c->SetBandStart(band);
    prevLess = less;
    if (band && Painter()->HasBandLine()) top += 1;
    bool firstShown = i == start;
    bool afterScrollArrow = FTopIndex > 0 && i == start + 1;
    if (l->BeginGroup() && !firstShown && !afterScrollArrow) top += GetSeparatorSize();
    int h = c->DefaultHeight();
    if (!Width && top + h > available) break;
    if (Width) maxW = std::max(maxW, c->DefaultWidth());
    l->SetItemRect(TRect{line.left, top, line.right, top + h});
    top += h;
  }
  if (Width) {
    TSize s{maxW, 0};
    TRect bottom{line.left, top, line.right, top};
    Painter()->CalcMenuSize(this, s, bottom);
    *Width = s.cx;
    if (Height) *Height = s.cy;
  }
  FLastVisible = nullptr;
  for (int i = FItemLinks->ShownItemCount() - 1; i >= 0; --i) {
    TkxBarItemLink* l = FItemLinks->ShownItems(i);
    TRect r = l->ItemRect();
    if (r.bottom > r.top && l->Control()) {
      FLastVisible = l->Control();
      break;
    }
  }
}

int TkxBarSubMenuControl::GetShownCount() const {
  if (!FItemLinks) return 0;
  int n = 0;
  for (int i = std::max(FTopIndex, 0); i < FItemLinks->ShownItemCount(); ++i) {
    TRect r = FItemLinks->ShownItems(i)->ItemRect();
    if (r.bottom > r.top) ++n;
  }
  return n;
}

bool TkxBarSubMenuControl::CanScrollDown() const {
  return FItemLinks && GetShownCount() < FItemLinks->ShownItemCount() - std::max(FTopIndex, 0);
}

bool TkxBarSubMenuControl::IsOverScrollUp(const TPoint& P) const {
  if (!CanScrollUp() || !FItemLinks || FTopIndex >= FItemLinks->ShownItemCount()) return false;
  TRect r = FItemLinks->ShownItems(FTopIndex)->ItemRect();
  return P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom;
}

bool TkxBarSubMenuControl::IsOverScrollDown(const TPoint& P) const {
  if (!CanScrollDown() || !FLastVisible) return false;
  TRect r;
  GetItemRectEx(FLastVisible, true, r);
  return P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom;
}

TRect TkxBarSubMenuControl::GetExpandButtonRect() const {
  TRect c = const_cast<TkxBarSubMenuControl*>(this)->ClientRect();
  int inset = Painter()->GetExpandButtonInset(const_cast<TkxBarSubMenuControl*>(this));
  return TRect{c.left + inset + GetBarSize(), c.bottom - inset - FExpandButtonHeight, c.right - inset,
               c.bottom - inset};
}

bool TkxBarSubMenuControl::IsOverExpandButton(const TPoint& P) const {
  if (!IsMarkVisible()) return false;
  TRect r = GetExpandButtonRect();
  return P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom;
}

void TkxBarSubMenuControl::CalcBounds(bool& FlipX, bool& FlipY) {
  int w = 100, h = 30;
  CalcItemRects(&w, &h);
  FlipX = FlipY = false;
  int left = Left(), top = Top();
  TRect work = kxBarGetWorkArea(TPoint{left, top});
  if (work.right < left + w) {
    if (FOwnerWidth == 0) left = work.right - w;
    else if (work.right - left < left - FOwnerWidth - work.left) {
      left = left - FOwnerWidth - w;
      FlipX = true;
    }
  }
  if (left < work.left) {
    if (FOwnerWidth == 0) left = work.left;
    else if (!FDirectionRight && work.right - (left + w + FOwnerWidth) > work.left - left) {
      left = left + w + FOwnerWidth;
      FlipX = true;
    }
  }
  left = std::max(std::min(left, int(work.right) - w), int(work.left));
  if (work.bottom < top + h) {
    if (FOwnerHeight > 0) {
      int below = work.bottom - top, above = top - FOwnerHeight - work.top;
      if (below < above) {
        top = top - FOwnerHeight - h;
        FlipY = true;
      } else {
        h = work.bottom - top;
      }
    } else if (FOwnerWidth > 0 || top - h < work.top) {
      top = work.bottom - h;
    } else {
      top = top - h;
      FlipY = true;
    }
  }
  if (top < work.top) {
    if (FDirectionDown) {
      if (FlipY) h -= work.top - top;
      top = work.top;
    } else if (FOwnerHeight > 0) {
      top = top + h + FOwnerHeight;
      FlipY = true;
    }
    h = std::min(h, int(work.Height()));
  }
  h = std::min(h, int(work.bottom - top));
  SetBounds(left, top, w, h);
  CalcItemRects();
}

// ---- painting ----

void TkxBarSubMenuControl::PaintNonClient(HDC DC) {
  TRect r{0, 0, Width(), Height()};
  Painter()->DrawMenuFrame(this, DC, r);
}

void TkxBarSubMenuControl::PaintSideStrip(HDC DC, const TRect& R) {
  if (R.right <= R.left) return;
  TkxBarManager* m = BarManager();
  if (m && m->IsDesigning()) {
    kxBarFillGradient(Canvas(), R, TColor(RGB(0, 0, 0)), TColor(RGB(0, 0, 255)));
    return;
  }
  if (FItemLinks) {
    if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(FItemLinks->Owner())) sub->DoPaintBar(Canvas(), R);
    else if (TkxBarPopupMenu* p = PopupOf(FItemLinks)) p->DoPaintBar(Canvas(), R);
  }
}

void TkxBarSubMenuControl::Paint() {
  if (FAnimate || FLocked) return;
  HDC dc = FontDC();
  TRect client = ClientRect();
  Painter()->DrawDropDownFrame(this, dc, BkBrush(), client);
  TRect area{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  TRect strip{area.left, area.top, area.left + GetBarSize(), area.bottom};
  if (FItemLinks && FItemLinks->ShownItemCount() > 0) {
    CalcItemRects();
    Painter()->DrawMenu(this, dc, std::max(GetShownCount(), 1), BkBrush());
    for (int i = 0; i < FItemLinks->ShownItemCount(); ++i) {
      TkxBarItemLink* l = FItemLinks->ShownItems(i);
      if (!l->Control()) continue;
      TRect r = l->ItemRect();
      bool inRange = r.bottom > r.top && !(CanScrollUp() && i == FTopIndex) &&
                     !(CanScrollDown() && l->Control() == FLastVisible);
      l->Control()->VisibleRangeChanged(inRange);
      if (inRange) RepaintItem(l->Control());
    }
  } else {
    FillBackground(dc, area, true, BkBrush(), nullptr);
  }
  PaintSideStrip(dc, strip);
}

void TkxBarSubMenuControl::RepaintItem(TkxBarItemControl* Control) {
  if (FAnimate || !Control || !Control->Link() || !HandleAllocated()) return;
  FItemBrush = BkBrush();
  TRect r = Control->Link()->ItemRect();
  if (r.bottom <= r.top) {
    Control->SetBeginGroupRect(TRect{});
    return;
  }
  HDC dc = FontDC();
  if (Control->NonRecent() && !Painter()->PaintsOwnMenuSelection()) FItemBrush = FRecentBrush;
  else Painter()->SelectMenuBrush(this, Control, FItemBrush);
  int shown = Control->Link()->ShownIndex();
  if (Control->Link()->BeginGroup() && shown > std::max(FTopIndex, 0)) {
    TRect sep{r.left, r.top - GetSeparatorSize(), r.right, r.top};
    Painter()->DrawMenuSeparator(this, Control, FItemBrush == FRecentBrush ? 1 : 0, sep, dc);
  } else {
    Control->SetBeginGroupRect(TRect{});
  }
  Painter()->DrawMenuItemEdges(this, Control, 1, shown, r, dc);
  FPaintingLessUsed = Control->NonRecent();
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(dc, had);
  kxBarClipToRect(dc, r);
  try {
    Control->Paint(dc, r, kxPaintKindMenu);
  } catch (...) {
    kxBarPutBackClipRegion(dc, kept, had);
    FPaintingLessUsed = false;
    throw;
  }
  kxBarPutBackClipRegion(dc, kept, had);
  FPaintingLessUsed = false;
  DrawCustomizingFrame(Control);
}

void TkxBarSubMenuControl::CreateRecentBrush() {
  if (FRecentBrush) return;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto up = [](int c) { return BYTE(std::min(c + 20, 255)); };
  FRecentBrush = CreateSolidBrush(RGB(up(GetRValue(face)), up(GetGValue(face)), up(GetBValue(face))));
}

void TkxBarSubMenuControl::FreeRecentBrush() {
  if (FRecentBrush) DeleteObject(FRecentBrush);
  FRecentBrush = nullptr;
}

// ---- active state, selection, expanding ----

void TkxBarSubMenuControl::SetActive(bool Value) {
  TCustomkxBarControl::SetActive(Value);
  if (Value) {
    TkxBarManager* m = BarManager();
    if (m && m->ShowFullMenusAfterDelay() && IsRecentMode() && !kxBarFullMenusShown && IsMarkVisible())
      StartDelayTimer(4000, 1);
  }
}

void TkxBarSubMenuControl::SetSelectedControl(TkxBarItemControl* Control) {
  TkxBarItemControl* before = FSelectedControl;
  TCustomkxBarControl::SetSelectedControl(Control);
  if (!Control || Control == before) return;
  TkxBarManager* m = BarManager();
  if (m && m->ShowFullMenusAfterDelay() && IsRecentMode() && !kxBarFullMenusShown && IsMarkVisible() &&
      FMarkState == 0)
    StartDelayTimer(4000, 0);
  // keyboard selection scrolls the link into view
  int idx = Control->Link() ? Control->Link()->ShownIndex() : -1;
  if (idx < 0) return;
  if (CanScrollUp() && idx <= FTopIndex) {
    SetTopIndex(std::max(idx - 1, 0));
    CalcItemRects();
  }
  for (int guard = 0; guard < 1000 && CanScrollDown(); ++guard) {
    TRect r = Control->Link()->ItemRect();
    if (r.bottom > r.top && Control != FLastVisible) break;
    SetTopIndex(FTopIndex + 1);
    CalcItemRects();
  }
}

void TkxBarSubMenuControl::SetMarkState(int State) {
  if (IsCustomizing() || !IsRecentMode()) return;
  if (State == 1)
    if (auto* w = dynamic_cast<TkxBarWinControl*>(FSelectedControl))
      if (w->Shown()) State = 0;
  if (State == FMarkState) return;
  FMarkState = State;
  if (State == 2) {
    ExpandMenu();
    return;
  }
  if (HandleAllocated()) {
    TRect r = GetExpandButtonRect();
    InvalidateRect(Handle(), &r, FALSE);
  }
  TkxBarManager* m = BarManager();
  if (m && m->ShowFullMenusAfterDelay()) {
    StopDelayTimer();
    if (State == 1) StartDelayTimer(1000, 1);
  }
}

void TkxBarSubMenuControl::ExpandMenu() {
  if (!IsMarkVisible() && FMarkState != 2) return;
  kxBarFullMenusShown = true;
  FMarkState = 0;
  TkxBarItemLink* selected = FSelectedControl ? FSelectedControl->Link() : nullptr;
  FRecreating = true;
  if (HandleAllocated()) DestroyHandle();
  FRecreating = false;
  SetBounds(FFirstLeft, FFirstTop, Width(), Height());
  FAnimate = true;
  kxBarShowSubMenu(this);
  if (selected && selected->Control()) SelectItem(selected->Control());
}

void TkxBarSubMenuControl::StartDelayTimer(int Milliseconds, int Kind) {
  if (!HandleAllocated()) return;
  StopDelayTimer();
  FDelayTimer = Kind == 0 ? kDelayTimerHot : kDelayTimerExpand;
  SetTimer(Handle(), FDelayTimer, UINT(Milliseconds), nullptr);
}

void TkxBarSubMenuControl::StopDelayTimer() {
  if (FDelayTimer && HandleAllocated()) KillTimer(Handle(), FDelayTimer);
  FDelayTimer = 0;
}

void TkxBarSubMenuControl::StopScrolling() {
  if (FScrollTimer && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FScrollTimer = 0;
  FScrollDirection = 0;
  FLastMousePos = TPoint{-1, -1};
  POINT p;
  GetCursorPos(&p);
  if (HandleAllocated()) {
    POINT q = p;
    ::ScreenToClient(Handle(), &q);
    PostMessageA(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(q.x, q.y));
  }
}

// ---- closing ----

void TkxBarSubMenuControl::CloseMenu() {
  if (FClosed) return;
  FClosed = true;
  FLocked = true;
  if (HandleAllocated()) DestroyHandle();
  Free();
}

void TkxBarSubMenuControl::CloseChain() {
  if (FParentBar) {
    TCustomkxBarControl::CloseChain();
    return;
  }
  if (FChildMenu) FChildMenu->CloseMenu();
  FChildMenu = nullptr;
  CloseMenu();
  kxBarDispatchPaintMessages();
}

void TkxBarSubMenuControl::DestroyWindowHandle() { TCustomkxBarControl::DestroyWindowHandle(); }

void TkxBarSubMenuControl::DestroyWnd() {
  WaitAnimation();
  if (FScrollTimer && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FScrollTimer = 0;
  StopDelayTimer();
  if (FChildMenu && !FChildMenu->Closing() && FChildMenu->HandleAllocated()) FChildMenu->DestroyHandle();
  TkxBarControlRef self = kxBarRef(this);
  if (!FRecreating) {
    SetActive(false);
    if (!kxBarIsBarControlAlive(self)) return;
    if (auto* owner = dynamic_cast<TkxBarButtonControl*>(FOwnerControl)) {
      TCustomkxBarControl* bar = owner->Parent();
      if (bar && kxBarIsBarControlAlive(kxBarRef(bar)) && bar->HandleAllocated()) {
        owner->CloseUp();
        owner->Repaint();
        if (owner->IsPressedUnderMouse()) {
          bar->SetIgnoreMouseUp(owner->IsOnArrowPart(bar->ScreenToClient(TPoint{0, 0})));
          if (dynamic_cast<TkxBarControl*>(bar)) bar->CloseChain();
        } else if (GetKeyState(VK_ESCAPE) >= 0 && GetKeyState(VK_LEFT) >= 0 && GetKeyState(VK_RIGHT) >= 0) {
          bar->CloseChain();
        }
      }
    }
  }
  if (!kxBarIsBarControlAlive(self)) return;
  TCustomkxBarControl::DestroyWnd();
  if (!FRecreating && OnCloseUp) OnCloseUp(this);
}

void TkxBarSubMenuControl::Rebuild() {
  if (FLocked || FAnimate || FExpandingContainers || !HandleAllocated()) return;
  bool visible = IsWindowVisible(Handle());
  TkxBarItemLink* selected = FSelectedControl ? FSelectedControl->Link() : nullptr;
  // while customizing the manager's selection in this menu is kept by its link
  TkxBarManager* m = BarManager();
  if (IsCustomizing() && m && m->SelectedItem() && m->SelectedItem()->Parent() == this) {
    selected = m->SelectedItem()->Link();
    m->ForgetSelectedItem();
  }
  FSelectedControl = nullptr;
  DestroyItemControls();
  CreateItemControls();
  UpdateRecentItemCount();
  int oldTop = FTopIndex;
  bool moved = Left() != FFirstLeft || Top() != FFirstTop;
  if (moved) {
    ShowWindow(Handle(), SW_HIDE);
    SetBounds(FFirstLeft, FFirstTop, Width(), Height());
  }
  bool fx, fy;
  CalcBounds(fx, fy);
  while (FTopIndex > 0 && !CanScrollDown()) {
    SetTopIndex(FTopIndex - 1);
    CalcItemRects();
  }
  if (moved && visible) kxBarShowSubMenu(this);
  if (oldTop == FTopIndex) {
    CalcItemRects();
    Invalidate();
  }
  if (selected && selected->Control()) SelectItem(selected->Control());
}

// ---- messages ----

void TkxBarSubMenuControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = 7;
      return;
    case WM_NCCALCSIZE: {
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
      RECT& r = p->rgrc[0];
      r.left += 1;
      r.top += 1 + (IsDetachable() ? GetDetachBarAreaHeight() : 0);
      r.right -= 1;
      r.bottom -= 1;
      Message.Result = 0;
      return;
    }
    case WM_NCPAINT:
      if (HandleAllocated()) {
        HDC dc = GetWindowDC(Handle());
        PaintNonClient(dc);
        ReleaseDC(Handle(), dc);
      }
      Message.Result = 0;
      return;
    case WM_NCHITTEST: {
      // the strip is client area (the base would end the mouse tracking there)
      if (IsDetachable()) {
        TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        TRect d = GetDetachBarRect();
        TRect w = GetWindowRect();
        OffsetRect(&d, w.left, w.top);
        if (PtInR(d, p)) {
          Message.Result = HTCLIENT;
          return;
        }
      }
      TCustomkxBarControl::WndProc(Message);
      return;
    }
    case WM_TIMER:
      if (Message.WParam == kScrollTimer) {
        POINT p;
        GetCursorPos(&p);
        TPoint c = ScreenToClient(TPoint{p.x, p.y});
        if (FScrollDirection < 0 && IsOverScrollUp(c) && CanScrollUp()) SetTopIndex(FTopIndex - 1);
        else if (FScrollDirection > 0 && IsOverScrollDown(c) && CanScrollDown()) SetTopIndex(FTopIndex + 1);
        else StopScrolling();
        CalcItemRects();
        return;
      }
      if (Message.WParam == kDelayTimerHot || Message.WParam == kDelayTimerExpand) {
        UINT_PTR id = Message.WParam;
        StopDelayTimer();
        if (id == kDelayTimerHot && FChildMenu) return;
        SetMarkState(id == kDelayTimerExpand ? 2 : 1);
        return;
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      TCustomkxBarControl::WndProc(Message);
      if (AcceptsRightButton()) {
        TMessage m = Message;
        m.Msg = Message.Msg == WM_RBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        TCustomkxBarControl::WndProc(m);
      }
      return;
    default:
      break;
  }
  TCustomkxBarControl::WndProc(Message);
}

void TkxBarSubMenuControl::DoKeyDown(TWMKey& Message) {
  WaitAnimation();
  Word key = Message.CharCode();
  bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0, alt = GetKeyState(VK_MENU) < 0;
  if (IsMarkVisible()) {
    if (key == VK_DOWN && ctrl && !shift && !alt) {
      SetMarkState(2);
      return;
    }
    if ((key == VK_DOWN || key == VK_TAB) && !ctrl && !shift && !alt && FSelectedControl && FItemLinks &&
        FItemLinks->ShownItemCount() > 0 &&
        FSelectedControl->Link() == FItemLinks->ShownItems(FItemLinks->ShownItemCount() - 1)) {
      TkxBarControlRef self = kxBarRef(this);
      SetMarkState(2);
      if (kxBarIsBarControlAlive(self) && HandleAllocated()) SendMessageA(Handle(), WM_KEYDOWN, key, 0);
      return;
    }
  }
  TkxBarControlRef self = kxBarRef(this);
  TCustomkxBarControl::DoKeyDown(Message);
  if (!kxBarIsBarControlAlive(self) || !FActive) return;
  if (SendKeyToSelected(key)) return;
  switch (key) {
    case VK_RETURN:
      if (FSelectedControl) FSelectedControl->ClickByKeyboard(false);
      return;
    case VK_ESCAPE:
      if (auto* t = dynamic_cast<TkxBarControl*>(FParentBar); t && t->QuickControl() == this) {
        t->SetMarkState(0);  // the mark's drop-down closes; menu mode stays
      } else if (FParentBar && FParentBar->SelectedControl()) {
        if (auto* t = dynamic_cast<TkxBarControl*>(FParentBar)) t->SetDroppedDown(false);
        FParentBar->SelectedControl()->Deactivate(true);
      } else {
        CloseMenu();
      }
      return;
    case VK_LEFT: {
      TCustomkxBarControl* back = FParentBar;
      if (!back && FOwnerControl) back = FOwnerControl->Parent();
      if (!back || !back->SelectedControl()) return;
      if (back->IsMenuWindow()) {
        back->SelectedControl()->Deactivate(true);
      } else if (TkxBarControl* root = kxBarGetRootToolbar(back)) {
        if (root->IsVertical()) SendMessageA(Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        else if (root->HandleAllocated()) SendMessageA(root->Handle(), WM_KEYDOWN, VK_LEFT, 0);
      }
      return;
    }
    case VK_RIGHT:
      if (TkxBarControl* root = kxBarGetRootToolbar(this))
        if (root->HandleAllocated()) SendMessageA(root->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
      return;
    default:
      return;
  }
}

void TkxBarSubMenuControl::DoLButtonDown(TWMMouse& Message) {
  if (FScrollTimer) return;
  TkxBarControlRef self = kxBarRef(this);
  TCustomkxBarControl::DoLButtonDown(Message);
  if (!kxBarIsBarControlAlive(self) || FIgnoreMouseUp) return;
  WaitAnimation();
  if (!kxBarIsBarControlAlive(self)) return;
  TPoint p = Message.Pos();
  if (FDetachBarHot) {
    DetachMenu();
    return;
  }
  if (IsOverExpandButton(p)) {
    if (FMarkState == 1) SetMarkState(2);
    else {
      HotTrack(nullptr);
      SetMarkState(1);
    }
  }
}

void TkxBarSubMenuControl::DoMouseMove(TWMMouse& Message) {
  TPoint p = Message.Pos();
  bool still = ClientToScreen(p) == FLastMousePos;
  if (still) return;
  TkxBarControlRef self = kxBarRef(this);
  WaitAnimation();
  if (!kxBarIsBarControlAlive(self) || !HandleAllocated()) return;
  if (FSubItemControl && FParentBar && IsCursorOver() && FParentBar->SelectedControl() != FSubItemControl)
    FParentBar->HotTrack(FSubItemControl);
  if (IsDetachable()) {
    SetDetachBarHot(IsOverDetachBar(p));
    if (FDetachBarHot) return;
  }
  if (IsMarkVisible()) SetMarkState(IsOverExpandButton(p) ? 1 : 0);
  bool up = IsOverScrollUp(p), down = IsOverScrollDown(p);
  if (up || down) {
    if (FScrollTimer) return;
    HotTrack(nullptr);
    if (TkxBarManager* m = BarManager()) m->SetSelectedItem(nullptr);
    FScrollDirection = up ? -1 : 1;
    FScrollTimer = SetTimer(Handle(), kScrollTimer, 80, nullptr);
    FLastMousePos = ClientToScreen(p);
    return;
  }
  if (FScrollTimer) {
    KillTimer(Handle(), kScrollTimer);
    FScrollTimer = 0;
    FLastMousePos = TPoint{-1, -1};
  }
  TCustomkxBarControl::DoMouseMove(Message);
}

void TkxBarSubMenuControl::DoMouseLeave(TMessage& Message) {
  SetDetachBarHot(false);
  TCustomkxBarControl::DoMouseLeave(Message);
}
