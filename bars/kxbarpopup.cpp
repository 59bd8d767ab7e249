// Context menus made of item links: shown at a point as a menu window of
// their manager, running modally (the caller continues once the menu closed)
// unless they serve as a drop-down button's menu.
#include "bars/kxbarpopup.h"

#include <vector>

#include "bars/kxbaritems.h"
#include "framework/uxclasses.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

TkxBarManager* PopupManagerFor(TComponent* Owner) {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner))
    if (TkxBarManager* m = kxBarGetManagerByForm(form)) return m;
  return kxBarManagerCount() > 0 ? kxBarGetManager(0) : nullptr;
}

}  // namespace

TkxBarPopupMenu::TkxBarPopupMenu(TComponent* AOwner) : TComponent(AOwner) {
  TkxBarManager* m = PopupManagerFor(AOwner);
  if (!m) throw EkxBarError(uxTranslateString(Utf8ToAnsi("没有可用的工具栏管理器")));
  FBarManager = m;
  FBackgroundBitmap = std::make_unique<TBitmap>();
  FFont = std::make_unique<TFont>();
  FFont->Assign(m->Font());
  FFont->OnChange = TNotifyEvent(this, &TkxBarPopupMenu::FontChanged);
  FItemLinks = std::make_unique<TkxBarItemLinks>(m, this);
  FItemLinks->SetOwnUseRecentItems(false);
  m->AddPopupMenu(this);
}

TkxBarPopupMenu::~TkxBarPopupMenu() {
  if (auto* w = SubMenuControl()) w->CloseMenu();
  FItemLinks.reset();
  FFont.reset();
  if (FFontHandle) DeleteObject(FFontHandle);
  FFontHandle = nullptr;
  if (FBarManager) FBarManager->RemovePopupMenu(this);
  FBackgroundBitmap.reset();
}

void TkxBarPopupMenu::SetBarManager(TkxBarManager* Value) {
  if (Value == FBarManager || !Value) return;
  if (FBarManager) FBarManager->RemovePopupMenu(this);
  FBarManager = Value;
  FItemLinks->SetBarManager(Value);
  Value->AddPopupMenu(this);
}

void TkxBarPopupMenu::SetUseOwnFont(bool Value) {
  if (Value == FUseOwnFont) return;
  FChangingUseOwnFont = true;
  FUseOwnFont = Value;
  if (Value) {
    RebuildFontHandle();
  } else {
    if (FBarManager) FFont->Assign(FBarManager->Font());
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = nullptr;
  }
  FChangingUseOwnFont = false;
}

void TkxBarPopupMenu::SetUseRecentItems(bool Value) {
  FUseRecentItems = Value;
  FItemLinks->SetOwnUseRecentItems(Value);
}

void TkxBarPopupMenu::FontChanged(TObject*) {
  if (!FChangingUseOwnFont) FUseOwnFont = true;
  if (FUseOwnFont) RebuildFontHandle();
}

void TkxBarPopupMenu::RebuildFontHandle() {
  if (FFontHandle) DeleteObject(FFontHandle);
  FFontHandle = kxBarCopyFontHandle(FFont.get());
}

void TkxBarPopupMenu::DoPaintBar(TCanvas* Canvas, const TRect& R) {
  if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

TkxBarSubMenuControl* TkxBarPopupMenu::SubMenuControl() const {
  return FItemLinks ? dynamic_cast<TkxBarSubMenuControl*>(FItemLinks->BarControl()) : nullptr;
}

void TkxBarPopupMenu::Loaded() {
  TComponent::Loaded();
  FItemLinks->ApplyLoadedState(true);
}

void TkxBarPopupMenu::DoPopup(TObject*) {
  FShown = true;
  if (OnPopup) OnPopup(this);
}

void TkxBarPopupMenu::DoCloseUp(TObject*) {
  FShown = false;
  if (OnCloseUp) OnCloseUp(this);
}

bool TkxBarPopupMenu::ProcessShortCut(TShortCut ShortCut) { return FItemLinks->ProcessShortCut(ShortCut); }

bool TkxBarPopupMenu::IsShortCut(const TWMKey& Message) {
  Word key = Message.CharCode();
  if (key == 0) return false;
  int shortCut = key;
  if (GetKeyState(VK_SHIFT) < 0) shortCut += 8192;
  if (GetKeyState(VK_CONTROL) < 0) shortCut += 16384;
  if (Message.KeyData() & 0x20000000) shortCut += 32768;
  return ProcessShortCut(TShortCut(shortCut));
}

void TkxBarPopupMenu::PopupAtCursor() {
  POINT p;
  GetCursorPos(&p);
  Popup(p.x, p.y);
}

void TkxBarPopupMenu::PopupEx(int X, int Y, const TRect* OwnerRect, bool Animate, int OwnerHeight, int OwnerWidth) {
  FOwnerWidth = OwnerWidth;
  FOwnerHeight = OwnerHeight;
  FAnimate = Animate;
  FHasOwnerRect = OwnerRect != nullptr;
  if (OwnerRect) FOwnerRect = *OwnerRect;
  auto reset = [this] {
    FOwnerWidth = FOwnerHeight = 0;
    FAnimate = true;
    FHasOwnerRect = false;
    FOwnerRect = TRect{};
  };
  try {
    Popup(X, Y);
  } catch (...) {
    reset();
    throw;
  }
  reset();
}

void TkxBarPopupMenu::Popup(int X, int Y) {
  if (SubMenuControl()) return;
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form && FBarManager) form = FBarManager->OwnerForm();
  if (form && form->HandleAllocated()) SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
  if (HWND capture = GetCapture()) {
    SendMessageA(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
  }
  auto* menu = static_cast<TkxBarSubMenuControl*>(FItemLinks->CreateBarControl());
  menu->SetBounds(X, Y, menu->Width(), menu->Height());
  if (FHasOwnerRect) menu->SetOwnerItemRect(FOwnerRect);
  if (TkxBarItemControl* owner = FDropDownOwner) {
    menu->SetOwnerControl(owner);
    menu->SetOwnerBarControl(owner->Parent());
  }
  menu->SetOwnerWidth(FOwnerWidth);
  menu->SetOwnerHeight(FOwnerHeight);
  if (auto* owner = dynamic_cast<TWinControl*>(Owner()))
    if (owner->HandleAllocated()) menu->SetParentWindow2(owner->Handle());
  menu->OnPopup = TNotifyEvent(this, &TkxBarPopupMenu::DoPopup);
  menu->OnCloseUp = TNotifyEvent(this, &TkxBarPopupMenu::DoCloseUp);
  menu->SetAnimate(FAnimate);
  TkxBarControlRef menuRef = kxBarRef(menu);
  try {
    kxBarShowSubMenu(menu);
  } catch (...) {
    if (kxBarIsBarControlAlive(menuRef)) menu->CloseChain();
    throw;
  }
  if (FDropDownOwner) return;
  // The modal loop. Commands posted while the menu is open are kept and
  // posted again once it has closed, so that none is lost.
  TuxObjectLink* self = uxAddObjectLink(this);
  std::vector<MSG> commands;
  try {
    while (self->Ref && FShown) {
      MSG msg;
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (!got) {
        PostQuitMessage(int(msg.wParam));
        break;
      }
      if (!self->Ref || !FShown) {
        PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        break;
      }
      if (msg.message == WM_COMMAND) {
        commands.push_back(msg);
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    for (const MSG& c : commands) PostMessageA(c.hwnd, c.message, c.wParam, c.lParam);
    bool alive = self->Ref != nullptr;
    uxRemoveObjectLink(self);
    if (alive && kxBarIsBarControlAlive(menuRef)) menu->CloseChain();
    throw;
  }
  uxRemoveObjectLink(self);
  for (const MSG& c : commands) PostMessageA(c.hwnd, c.message, c.wParam, c.lParam);
}

// ---------------------------------------------------------------------------

bool kxBarIsAnyPopupMenuShowing() {
  for (int i = 0; i < kxBarManagerCount(); ++i) {
    TkxBarManager* m = kxBarGetManager(i);
    for (int k = 0; k < m->PopupMenuCount(); ++k)
      if (m->GetPopupMenu(k)->Shown()) return true;
  }
  return false;
}

void TkxBarManager::AddPopupMenu(TkxBarPopupMenu* Menu) {
  if (std::find(FPopupMenus.begin(), FPopupMenus.end(), Menu) == FPopupMenus.end()) FPopupMenus.push_back(Menu);
}

void TkxBarManager::RemovePopupMenu(TkxBarPopupMenu* Menu) { std::erase(FPopupMenus, Menu); }

void kxBarRegisterCompanions() {
  RegisterClasses({TkxBarPopupMenu::StaticClass(), TkxBarGroup::StaticClass(), TkxBarManagerCategories::StaticClass(),
                   TkxBarBackgrounds::StaticClass()});
  RegisterClasses({TkxBarPopupMenuLink::StaticClass(), TkxBarPopupMenuLinks::StaticClass()});
  RegisterProps<TkxBarPopupMenuLink>([](TPropBuilder<TkxBarPopupMenuLink>& p) {
    using L = TkxBarPopupMenuLink;
    p.Prop("Control", &L::Control, &L::SetControl);
    p.Prop("PopupMenu", &L::PopupMenu, &L::SetPopupMenu);
    p.Prop("ProcessChildren", &L::ProcessChildren, &L::SetProcessChildren).Default(true);
    p.Prop("OnAction", &L::OnAction, &L::OnAction);
  });
  RegisterProps<TkxBarGroup>([](TPropBuilder<TkxBarGroup>& p) {
    p.Prop("Enabled", &TkxBarGroup::Enabled, &TkxBarGroup::SetEnabled).Default(true);
    p.Prop("Visible", &TkxBarGroup::Visible, &TkxBarGroup::SetVisible).Default(ivAlways);
  });
  RegisterProps<TkxBarBackgrounds>([](TPropBuilder<TkxBarBackgrounds>& p) {
    p.Prop("Bar", &TkxBarBackgrounds::Bar, &TkxBarBackgrounds::SetBar);
    p.Prop("SubMenu", &TkxBarBackgrounds::SubMenu, &TkxBarBackgrounds::SetSubMenu);
  });

  RegisterProps<TkxBarPopupMenu>([](TPropBuilder<TkxBarPopupMenu>& p) {
    using P = TkxBarPopupMenu;
    p.Prop("BackgroundBitmap", &P::BackgroundBitmap, &P::SetBackgroundBitmap);
    p.Prop("BarManager", &P::BarManager, &P::SetBarManager);
    p.Prop("BarSize", &P::BarSize, &P::SetBarSize).Default(0);
    p.Prop("Font", &P::Font, &P::SetFont).Stored([](TObject* o) { return static_cast<P*>(o)->UseOwnFont(); });
    p.Prop("ItemLinks", &P::ItemLinks, &P::SetItemLinks);
    p.Prop("UseOwnFont", &P::UseOwnFont, &P::SetUseOwnFont).NoDefault();
    p.Prop("UseRecentItems", &P::UseRecentItems, &P::SetUseRecentItems).Default(false);
    p.Prop("OnCloseUp", &P::OnCloseUp, &P::OnCloseUp);
    p.Prop("OnPaintBar", &P::OnPaintBar, &P::OnPaintBar);
    p.Prop("OnPopup", &P::OnPopup, &P::OnPopup);
  });
}

// ---------------------------------------------------------------------------
// pop-up menu links

namespace {
// Runs a control's own context-popup handling from outside it.
struct TPopupLinkContextAccess : public TControl {
  using TControl::DoContextPopup;
};
}  // namespace

TkxBarManager* TkxBarPopupMenuLink::BarManager() const {
  auto* links = dynamic_cast<TkxBarPopupMenuLinks*>(Collection());
  return links ? links->BarManager() : nullptr;
}

void TkxBarPopupMenuLink::SetControl(TWinControl* Value) {
  if (Value == FControl) return;
  TkxBarManager* m = BarManager();
  if (Value && (!m || kxBarGetManagerByForm(GetParentForm(Value)) != m)) return;
  FControl = Value;
  if (Value && m) Value->FreeNotification(m);
}

void TkxBarPopupMenuLink::SetPopupMenu(TkxBarPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  FPopupMenu = Value;
  if (TkxBarManager* m = BarManager(); Value && m) Value->FreeNotification(m);
}

void TkxBarPopupMenuLink::ComponentGone(TComponent* Component) {
  if (Component == FControl) FControl = nullptr;
  if (Component == FPopupMenu) FPopupMenu = nullptr;
}

void TkxBarPopupMenuLink::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TkxBarPopupMenuLink*>(Source);
  if (!other) {
    TCollectionItem::Assign(Source);
    return;
  }
  TkxBarManager* m = BarManager();
  TComponent* root = m ? m->Owner() : nullptr;
  auto find = [root](TComponent* c) -> TComponent* { return root && c ? root->FindComponent(c->Name()) : nullptr; };
  SetControl(dynamic_cast<TWinControl*>(find(other->FControl)));
  SetPopupMenu(dynamic_cast<TkxBarPopupMenu*>(find(other->FPopupMenu)));
  FProcessChildren = other->FProcessChildren;
}

bool TkxBarPopupMenuLink::TryShortCut(TShortCut ShortCut) {
  bool allow = FPopupMenu != nullptr;
  if (OnAction) {
    int x = -1, y = -1;
    OnAction(this, x, y, false, allow);
  }
  return allow && FPopupMenu && FPopupMenu->ProcessShortCut(ShortCut);
}

bool TkxBarPopupMenuLink::TryPopup(HWND Wnd, TPoint P) {
  MSG pending;
  while (PeekMessageA(&pending, Wnd, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE)) {
  }
  bool byMouse = P.x != -1;
  TPoint inWindow, inControl;
  if (!byMouse) {
    POINT caret;
    if (GetFocus() == Wnd && GetCaretPos(&caret)) inWindow = TPoint{caret.x, caret.y};
    else inWindow = TPoint{0, 0};
    inControl = TPoint{-1, -1};
  } else {
    POINT q{P.x, P.y};
    ScreenToClient(Wnd, &q);
    inWindow = TPoint{q.x, q.y};
    POINT c{P.x, P.y};
    if (FControl && FControl->HandleAllocated()) ScreenToClient(FControl->Handle(), &c);
    inControl = TPoint{c.x, c.y};
  }
  if (FControl) {
    bool handled = false;
    (FControl->*(&TPopupLinkContextAccess::DoContextPopup))(inControl, handled);
    if (handled) return true;
  }
  bool allow = FPopupMenu != nullptr;
  if (OnAction) {
    int x = inControl.x, y = inControl.y;
    OnAction(this, x, y, byMouse, allow);
    if (byMouse && FControl && FControl->HandleAllocated() && (x != inControl.x || y != inControl.y)) {
      // the handler moved the point: it is in the control's coordinates
      POINT c{x, y};
      MapWindowPoints(FControl->Handle(), Wnd, &c, 1);
      inWindow = TPoint{c.x, c.y};
    }
  }
  if (!allow || !FPopupMenu) return allow;
  if (IsWindowEnabled(Wnd)) SetFocus(Wnd);
  POINT s{inWindow.x, inWindow.y};
  ClientToScreen(Wnd, &s);
  FPopupMenu->Popup(s.x, s.y);
  return true;
}

TkxBarPopupMenuLinks::TkxBarPopupMenuLinks(TkxBarManager* Manager)
    : TOwnedCollection(Manager, TkxBarPopupMenuLink::StaticClass()), FBarManager(Manager) {}

bool TkxBarPopupMenuLinks::ProcessShortCut(TWinControl* Control, TShortCut ShortCut) {
  if (!Control) return false;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == Control && Items(i)->TryShortCut(ShortCut)) return true;
  for (TWinControl* p = Control->Parent(); p; p = p->Parent())
    for (int i = 0; i < Count(); ++i)
      if (Items(i)->ProcessChildren() && Items(i)->Control() == p && Items(i)->TryShortCut(ShortCut)) return true;
  return false;
}

bool TkxBarPopupMenuLinks::ProcessContextMenu(TWinControl* Control, HWND Wnd, TPoint P) {
  if (!Control || FBarManager->IsDesigning()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == Control && Items(i)->TryPopup(Wnd, P)) return true;
  for (TWinControl* p = Control->Parent(); p; p = p->Parent())
    for (int i = 0; i < Count(); ++i)
      if (Items(i)->ProcessChildren() && Items(i)->Control() == p && Items(i)->TryPopup(Wnd, P)) return true;
  return false;
}

TkxBarPopupMenuLinks* kxBarGetFocusedPopupMenuLinks() {
  TWinControl* c = FindControl(GetFocus());
  TCustomForm* form = c ? GetParentForm(c) : nullptr;
  TkxBarManager* m = form ? kxBarGetManagerByForm(form) : nullptr;
  return m ? m->PopupMenuLinks() : nullptr;
}

void TkxBarManager::SetPopupMenuLinks(TkxBarPopupMenuLinks* Value) { FPopupMenuLinks->Assign(Value); }
