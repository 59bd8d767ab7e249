// MDI menu merging: the frame manager follows its MDI client's active child,
// copies a maximized child's main menu links into the frame's main menu (and
// takes them out again), and puts the child's system menu at the menu's left
// end as an item that shows the child's icon.
#include "bars/kxbarmdi.h"

#include <map>

#include "bars/kxbarhooks.h"
#include "platform/controls/menus.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"

namespace {

// The stored bounds of a control set without moving its window.
struct TkxMDIBoundsAccess : TControl {
  static void Set(TControl* C, const TRect& R) { (C->*&TkxMDIBoundsAccess::UpdateBoundsRect)(R); }
};

std::map<TCustomForm*, TRect>& kxMDISavedBounds() {
  static std::map<TCustomForm*, TRect> m;
  return m;
}

TCustomForm* kxMDIFormOf(HWND Window) { return Window ? dynamic_cast<TCustomForm*>(FindControl(Window)) : nullptr; }

// The resource glyph of a predefined menu bitmap (close, restore, maximize, minimize), or none.
const char* kxMDIGlyphName(HBITMAP Bitmap) {
  if (Bitmap == HBMMENU_POPUP_CLOSE) return "KXBARCLOSE";
  if (Bitmap == HBMMENU_POPUP_RESTORE) return "KXBARRESTORE";
  if (Bitmap == HBMMENU_POPUP_MAXIMIZE) return "KXBARMAXIMIZE";
  if (Bitmap == HBMMENU_POPUP_MINIMIZE) return "KXBARMINIMIZE";
  return nullptr;
}

void kxMDICopyBitmap(TBitmap* Glyph, HBITMAP Source) {
  BITMAP bm;
  if (!Source || !GetObjectA(Source, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  Glyph->SetWidth(bm.bmWidth);
  Glyph->SetHeight(bm.bmHeight);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, Source);
  BitBlt(Glyph->Canvas()->Handle(), 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
}

}  // namespace

// ---------------------------------------------------------------------------
// the frame manager

HWND TkxBarManager::GetActiveMDIChild() const {
  if (!FOwnerForm || !FOwnerForm->ClientHandle()) return nullptr;
  return reinterpret_cast<HWND>(SendMessageA(FOwnerForm->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
}

void TkxBarManager::ChildActivated(HWND) {
  HWND active = GetActiveMDIChild();
  bool wasMaximized = FChildMaximized;
  FChildMaximized = active && IsZoomed(active);
  FMergeLock = FMainMenuBar ? FMainMenuBar->LockUpdate() : false;
  try {
    if (active == FLastActiveChild) {
      if (wasMaximized != FChildMaximized) kxBarMergeChildMenu(this, active, FChildMaximized, FAlwaysMerge, false);
    } else {
      kxBarMergeChildMenu(this, FLastActiveChild, false, false, true);
      kxBarMergeChildMenu(this, active, true, false, false);
    }
  } catch (...) {
    if (FMainMenuBar) FMainMenuBar->SetLockUpdate(FMergeLock);
    FLastActiveChild = active;
    throw;
  }
  if (FMainMenuBar) FMainMenuBar->SetLockUpdate(FMergeLock);
  if (wasMaximized != FChildMaximized && FMainMenuBar)
    if (TkxBarControl* c = FMainMenuBar->Control())
      if (c->HandleAllocated()) c->Rebuild();
  FLastActiveChild = active;
}

// Called by the window hook after an MDI child's activation, maximizing or destruction.
void kxBarMDIChildNotification(HWND Window) {
  HWND client = Window ? GetParent(Window) : nullptr;
  if (!client) return;
  char cls[32] = {};
  GetClassNameA(client, cls, sizeof cls);
  if (!SameText(cls, "MDICLIENT")) return;
  if (TCustomForm* frame = kxMDIFormOf(GetParent(client)))
    if (TkxBarManager* m = kxBarGetManagerByForm(frame)) m->ChildActivated(Window);
}

// ---------------------------------------------------------------------------
// merging

void kxBarSaveFormBounds(TCustomForm* Form) {
  if (!Form || !Form->HandleAllocated()) return;
  kxMDISavedBounds()[Form] = Form->BoundsRect();
  RECT r;
  GetWindowRect(Form->Handle(), &r);
  if (HWND parent = GetParent(Form->Handle())) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  TkxMDIBoundsAccess::Set(Form, TRect(r));
}

void kxBarRestoreFormBounds(TCustomForm* Form) {
  auto it = kxMDISavedBounds().find(Form);
  if (it == kxMDISavedBounds().end()) return;
  TRect saved = it->second;
  kxMDISavedBounds().erase(it);
  TkxMDIBoundsAccess::Set(Form, saved);
}

void kxBarMergeChildMenu(TkxBarManager* Frame, HWND ChildWindow, bool Merge, bool SystemMenuOnly, bool KeepLocked) {
  TkxBar* menu = Frame ? Frame->MainMenuBar() : nullptr;
  TCustomForm* form = kxMDIFormOf(ChildWindow);
  if (!menu || !form) return;
  if (Merge) {
    if (IsZoomed(ChildWindow)) kxBarAddSystemMenuItem(Frame, ChildWindow);
  } else {
    kxBarRemoveSystemMenuItem(Frame);
  }
  if (SystemMenuOnly) return;
  TkxBarManager* child = kxBarGetManagerByForm(form);
  if (!child || child == Frame || !child->MainMenuBar()) return;
  TkxBar* childMenu = child->MainMenuBar();
  TkxBarItemLinks* links = menu->ItemLinks();
  if (Merge) {
    if (!Frame->AlwaysMerge() && !IsZoomed(ChildWindow)) return;
    Frame->SetSavedChildMenuVisible(childMenu->Visible());
    if (Frame->OnMenuMerge) {
      Frame->OnMenuMerge(Frame, child, true);
    } else {
      menu->SetLockUpdate(true);
      for (int i = 0; i < childMenu->ItemLinks()->Count(); ++i) links->Add()->Assign(childMenu->ItemLinks()->Items(i));
      menu->SetLockUpdate(Frame->MergeLock());
    }
    kxBarSaveFormBounds(form);
    childMenu->SetVisible(false);
    kxBarRestoreFormBounds(form);
    return;
  }
  menu->SetLockUpdate(true);
  for (int i = links->Count() - 1; i >= 0; --i) {
    TkxBarItemLink* l = links->Items(i);
    if (l->Item() && l->Item()->BarManager() == child) l->Free();
  }
  if (!KeepLocked) menu->SetLockUpdate(Frame->MergeLock());
  if (Frame->OnMenuMerge) Frame->OnMenuMerge(Frame, child, false);
  kxBarSaveFormBounds(form);
  if (!Frame->AlwaysMerge() && !childMenu->Visible()) childMenu->SetVisible(Frame->SavedChildMenuVisible());
  kxBarRestoreFormBounds(form);
}

void kxBarAddSystemMenuItem(TkxBarManager* Frame, HWND ChildWindow) {
  TkxBar* menu = Frame ? Frame->MainMenuBar() : nullptr;
  if (!menu || !GetSystemMenu(ChildWindow, FALSE)) return;
  menu->SetLockUpdate(true);
  kxBarFreeTempItems();
  auto* item = new TSystemMenuSubItem(Frame->OwnerForm());
  kxBarAddTempItem(item);
  item->SetChildWindow(ChildWindow);
  TkxBarItemLink* link = menu->ItemLinks()->Add();
  link->SetItem(item);
  link->SetIndex(0);
}

void kxBarRemoveSystemMenuItem(TkxBarManager* Frame) {
  TkxBar* menu = Frame ? Frame->MainMenuBar() : nullptr;
  if (!menu || menu->ItemLinks()->Count() == 0) return;
  TkxBarItemLink* first = menu->ItemLinks()->Items(0);
  if (!dynamic_cast<TSystemMenuSubItem*>(first->Item())) return;
  menu->SetLockUpdate(true);
  first->Free();
  kxBarFreeTempItems();
}

// ---------------------------------------------------------------------------
// the system-menu entry

void TSystemMenuSubItem::Rebuild() {
  kxBarFreeTempItems();
  if (HMENU sys = IsWindow(FChildWindow) ? GetSystemMenu(FChildWindow, FALSE) : nullptr) FillFromMenu(this, sys);
}

void TSystemMenuSubItem::Popup() {
  Rebuild();
  TCustomkxBarSubItem::Popup();
}

void TSystemMenuSubItem::FillFromMenu(TCustomkxBarSubItem* SubItem, HMENU Menu) {
  char text[1024];
  bool beginGroup = false;
  int count = GetMenuItemCount(Menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA mi;
    mi.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | (kxBarHasMenuItemBitmaps ? MIIM_BITMAP : 0);
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    text[0] = 0;
    if (!GetMenuItemInfoA(Menu, UINT(i), TRUE, &mi)) {
      mi = MENUITEMINFOA();
      text[0] = 0;
    }
    if (mi.fType & MFT_SEPARATOR) {
      beginGroup = true;
      continue;
    }
    if (mi.fType & MFT_BITMAP) {
      text[0] = 0;
      GetMenuStringA(Menu, UINT(i), text, sizeof text, MF_BYPOSITION);
    }
    AnsiString caption(text), shortCut;
    if (std::size_t tab = caption.find('\t'); tab != AnsiString::npos) {
      shortCut = caption.substr(tab + 1);
      caption.erase(tab);
    }
    TkxBarItem* item;
    if (mi.hSubMenu) {
      auto* sub = new TkxBarSubItem(SubItem->Owner());
      FillFromMenu(sub, mi.hSubMenu);
      item = sub;
    } else {
      auto* button = new TkxBarButton(SubItem->Owner());
      button->SetTag(NativeInt(mi.wID));
      if (auto* self = dynamic_cast<TSystemMenuSubItem*>(SubItem))
        button->OnClick = TNotifyEvent(self, &TSystemMenuSubItem::SendCommand);
      if (mi.fState & MFS_CHECKED) {
        button->SetButtonStyle(bsChecked);
        button->SetDown(true);
      }
      item = button;
    }
    kxBarAddTempItem(item);
    item->SetCaption(caption);
    item->SetEnabled(!(mi.fState & (MFS_GRAYED | MFS_DISABLED)));
    if (const char* name = kxMDIGlyphName(mi.hbmpItem)) {
      if (FindResourceData(RT_BITMAP, name)) item->Glyph()->LoadFromResourceName(name);
    } else {
      kxMDICopyBitmap(item->Glyph(), (mi.fState & MFS_CHECKED) ? mi.hbmpChecked : mi.hbmpUnchecked);
      if (item->Glyph()->Empty() && (mi.fType & MFT_BITMAP)) kxMDICopyBitmap(item->Glyph(), mi.hbmpItem);
    }
    item->SetShortCut(TextToShortCut(shortCut));
    TkxBarItemLink* link = SubItem->ItemLinks()->Add();
    link->SetItem(item);
    link->SetBeginGroup(beginGroup);
    beginGroup = false;
  }
}

void TSystemMenuSubItem::SendCommand(TObject* Button) {
  auto* item = dynamic_cast<TkxBarItem*>(Button);
  if (item && IsWindow(FChildWindow)) SendMessageA(FChildWindow, WM_SYSCOMMAND, WPARAM(item->Tag()), 0);
}

bool TSystemMenuSubItemControl::IsSelectable() {
  TkxBarManager* m = BarManager();
  return !m || !m->IsCustomizingOrDesigning();
}

void TSystemMenuSubItemControl::DoubleClick() {
  TkxBarSubItemControl::DoubleClick();
  auto* item = dynamic_cast<TSystemMenuSubItem*>(Item());
  HWND child = item ? item->ChildWindow() : nullptr;
  if (FParent) FParent->CloseChain();
  if (!child || !IsWindow(child)) return;
  HMENU sys = GetSystemMenu(child, FALSE);
  UINT cmd = sys ? GetMenuDefaultItem(sys, FALSE, 0) : UINT(-1);
  if (cmd != UINT(-1)) SendMessageA(child, WM_SYSCOMMAND, WPARAM(cmd), 0);
}

void TSystemMenuSubItemControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  (void)PaintKind;
  if (FParent) FParent->FillBackground(DC, R, true, FParent->ItemBrush(), nullptr);
  auto* item = dynamic_cast<TSystemMenuSubItem*>(Item());
  HWND child = item ? item->ChildWindow() : nullptr;
  if (!child || !IsWindow(child)) return;
  auto icon = reinterpret_cast<HICON>(SendMessageA(child, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(child, WM_GETICON, ICON_BIG, 0));
  if (!icon) return;
  HICON copy = CopyIcon(icon);
  if (!copy) return;
  DrawIconEx(DC, R.left, R.top, copy, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
  DestroyIcon(copy);
}

// ---------------------------------------------------------------------------
// registration

void kxBarRegisterMDIItems() {
  kxBarRegisterItemClass(TSystemMenuSubItem::StaticClass(), TSystemMenuSubItemControl::StaticClass(), false);
}

void kxBarUnregisterMDIItems() { kxBarUnregisterItemClass(TSystemMenuSubItem::StaticClass()); }
