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
  RegisterClasses({TkxBarPopupMenu::StaticClass()});
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
