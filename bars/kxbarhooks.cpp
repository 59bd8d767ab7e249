// The thread hooks of the bar library and the manager's reaction to the
// messages of its form: F10 and Alt open the main menu, shortcuts and access
// keys reach their items, keys go to an open menu, clicks elsewhere close the
// open menus, and the form's activation shows and hides its floating bars.
#include "bars/kxbarhooks.h"
#include "bars/kxbarmdi.h"
#include "bars/kxbarpopup.h"

#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomform.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbaritems.h"
#include "platform/controls/menus.h"
#include "platform/win/system.h"

bool kxBarMouseModeFlag = false;

namespace {

struct THookState {
  HHOOK Keyboard = nullptr, Mouse = nullptr, CallWnd = nullptr;
  bool AltPressed = false;
  bool Forwarded = false;
  WPARAM ForwardedKey = 0;
  bool MouseReentry = false, CallWndReentry = false;
  bool DirectCall = false;
};

THookState& HS() {
  static THookState s;
  return s;
}

bool KeyDown(int Vk) { return GetKeyState(Vk) < 0; }

TCustomForm* FormOfWindow(HWND Wnd) { return dynamic_cast<TCustomForm*>(FindControl(Wnd)); }

// The item control a mouse message belongs to, for the closing rule.
TkxBarItemControl* MouseItemControl(HWND Wnd, POINT Pt) {
  TCustomkxBarControl* head = kxBarGetActiveBarControl();
  if (auto* bar = dynamic_cast<TCustomkxBarControl*>(kxBarFindControlOrParent(Wnd)))
    if (bar->SelectedControl()) return bar->SelectedControl();
  if (!head || !GetCapture()) return nullptr;
  if (head->HandleAllocated() && WindowFromPoint(Pt) == head->Handle()) return head->SelectedControl();
  if (auto* combo = dynamic_cast<TCustomkxBarComboControl*>(head->SelectedControl()))
    if (combo->DroppedDown()) return combo;
  return nullptr;
}

bool PopupWindowHit(HWND Wnd) {
  for (TCustomkxBarControl* c = kxBarGetActiveBarControl(); c; c = c->ParentBar()) {
    if (!c->HandleAllocated()) continue;
    if (Wnd == c->Handle() || GetParent(Wnd) == c->Handle()) return true;
  }
  TCustomkxBarControl* head = kxBarGetActiveBarControl();
  if (head)
    if (auto* combo = dynamic_cast<TCustomkxBarComboControl*>(head->SelectedControl()))
      if (combo->DroppedDown() && combo->ComboItem()) {
        HWND list = combo->ComboItem()->GetDropDownWindow();
        if (list && IsWindowVisible(list) && kxBarIsChildWindow(Wnd, list)) return true;
      }
  return false;
}

// The managers a key goes to: the one of the active form, and the one whose
// main menu takes Alt and F10.
void ChooseManagers(TkxBarManager*& First, TkxBarManager*& MenuManager) {
  First = MenuManager = nullptr;
  TCustomForm* form = FormOfWindow(GetActiveWindow());
  if (!form || !form->HandleAllocated() || !IsWindowEnabled(form->Handle()) ||
      form->ComponentState().Contains(csDesigning))
    return;
  if (form->FormStyle() == fsMDIForm)
    if (TCustomForm* child = form->ActiveMDIChild()) form = child;
  First = kxBarGetManagerByForm(form);
  if (!First && !form->FormState().Contains(fsModal))
    if (form->HandleAllocated())
      if (TCustomForm* parent = FormOfWindow(GetParent(form->Handle()))) First = kxBarGetManagerByForm(parent);
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (form->FormStyle() == fsMDIChild && main) {
    MenuManager = kxBarGetManagerByForm(main);
  } else if (!kxBarGetManagerByForm(form) && main && main != form) {
    TkxBarManager* m = kxBarGetManagerByForm(main);
    if (m && m->AllowCallFromAnotherForm() && main->HandleAllocated() && IsWindowEnabled(main->Handle()))
      MenuManager = m;
    else MenuManager = First;
  } else {
    MenuManager = First;
  }
  if (!First) First = MenuManager;
  if (form->FormStyle() == fsMDIChild) {
    TkxBarManager* own = kxBarGetManagerByForm(form);
    if (own && own->MainMenuControl()) std::swap(First, MenuManager);
  }
}

bool ProcessShortCutIn(TkxBarManager* M, TShortCut ShortCut) {
  if (!M) return false;
  if (TkxBar* main = M->MainMenuBar())
    if (main->ProcessShortCut(ShortCut)) return true;
  for (int i = 0; i < M->Bars()->Count(); ++i) {
    TkxBar* bar = M->Bars()->Items(i);
    if (!bar->Visible() || bar->IsMainMenu()) continue;
    TkxBarControl* c = bar->Control();
    if (!c || !c->HandleAllocated() || !IsWindowVisible(c->Handle())) continue;
    if (bar->ProcessShortCut(ShortCut)) return true;
  }
  return false;
}

TkxBarItemLink* FindAccelIn(TkxBarManager* M, Word Key, int Shift) {
  if (!M) return nullptr;
  if (TkxBar* main = M->MainMenuBar())
    if (main->Control() && main->Control()->HandleAllocated())
      if (TkxBarItemLink* l = main->ItemLinks()->FindAccelLink(Key, Shift, nullptr)) return l;
  for (int i = 0; i < M->Bars()->Count(); ++i) {
    TkxBar* bar = M->Bars()->Items(i);
    if (!bar->Visible() || bar->IsMainMenu()) continue;
    if (TkxBarItemLink* l = bar->ItemLinks()->FindAccelLink(Key, Shift, nullptr)) return l;
  }
  return nullptr;
}

bool ProcessKey(Word Key, TkxBarManager* First, TkxBarManager* MenuManager) {
  TShortCut sc = kxBarShortCutOfKey(Key);
  if (TkxBarPopupMenuLinks* links = kxBarGetFocusedPopupMenuLinks())
    if (links->ProcessShortCut(FindControl(GetFocus()), sc)) return true;
  if (ProcessShortCutIn(First, sc)) return true;
  if (MenuManager != First && ProcessShortCutIn(MenuManager, sc)) return true;
  if (!KeyDown(VK_MENU)) return false;
  int shift = kxBarGetShiftState() & ~2;
  TkxBarItemLink* link = FindAccelIn(First, Key, shift);
  if (!link && MenuManager != First) link = FindAccelIn(MenuManager, Key, shift);
  if (!link || !link->Item() || !link->Item()->Enabled()) return false;
  TkxBarItemLinks* list = link->Owner();
  TkxBarItemLink* other = list->FindAccelLink(Key, shift, link);
  bool unique = !other || other == link;
  TkxBarItemControl* control = link->Control();
  auto* bar = dynamic_cast<TkxBarControl*>(list->BarControl());
  if (!control || !bar) return true;
  TkxBarControlRef barRef = kxBarRef(bar);
  if (!unique || !control->ClosesMenuOnClick()) bar->ActivateMenuMode(control);
  if (unique && kxBarIsBarControlAlive(barRef) && bar->OwnsItemControl(control)) {
    if (dynamic_cast<TkxBarSubItemControl*>(control)) bar->SetDroppedDown(true);
    control->ClickByKeyboard(false);
  }
  return true;
}

// Runs for every message sent to any window, so the control is looked up once
// and told a form by its class chain rather than by a cast.
TkxBarManager* WindowManager(HWND Wnd) {
  TWinControl* control = FindControl(Wnd);
  if (!control) return nullptr;
  if (control->InheritsFrom(TCustomForm::StaticClass())) return kxBarGetManagerByForm(control);
  // A form being destroyed is no longer a form by the time its window goes;
  // its manager, destroyed later, still knows it by its address.
  if (control->ComponentState().Contains(csDestroying)) return kxBarGetManagerByForm(control);
  return nullptr;
}

}  // namespace

TShortCut kxBarShortCutOfKey(Word Key) {
  TShortCut sc = Key;
  if (KeyDown(VK_SHIFT)) sc |= scShift;
  if (KeyDown(VK_CONTROL)) sc |= scCtrl;
  if (KeyDown(VK_MENU)) sc |= scAlt;
  return sc;
}

int kxBarGetShiftState() {
  int s = 0;
  if (KeyDown(VK_SHIFT)) s |= 1;
  if (KeyDown(VK_MENU)) s |= 2;
  if (KeyDown(VK_CONTROL)) s |= 4;
  return s;
}

bool kxBarIsAnyKeyDown() {
  for (int vk = 8; vk < 256; ++vk) {
    if (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU) continue;
    if (GetKeyState(vk) < 0) return true;
  }
  return false;
}

bool kxBarProcessShortCut(TShortCut ShortCut) {
  if (TkxBarPopupMenuLinks* links = kxBarGetFocusedPopupMenuLinks())
    if (links->ProcessShortCut(FindControl(GetFocus()), ShortCut)) return true;
  TkxBarManager *first, *menu;
  ChooseManagers(first, menu);
  return ProcessShortCutIn(first, ShortCut) || (menu != first && ProcessShortCutIn(menu, ShortCut));
}

bool kxBarHooksInstalled() { return HS().Keyboard || HS().Mouse || HS().CallWnd; }

void kxBarAddManager(TkxBarManager* Manager) {
  kxBarListAddManager(Manager);
  if (!Manager->Owner() || !Manager->Owner()->ComponentState().Contains(csDesigning)) kxBarCreateHintWindow();
  THookState& s = HS();
  DWORD thread = GetCurrentThreadId();
  if (!s.Keyboard) s.Keyboard = SetWindowsHookExA(WH_KEYBOARD, kxBarKeyboardHookProc, nullptr, thread);
  if (!s.Mouse) s.Mouse = SetWindowsHookExA(WH_MOUSE, kxBarMouseHookProc, nullptr, thread);
  if (!s.CallWnd) s.CallWnd = SetWindowsHookExA(WH_CALLWNDPROC, kxBarCallWndProcHookProc, nullptr, thread);
}

void kxBarRemoveManager(TkxBarManager* Manager) {
  kxBarListRemoveManager(Manager);
  if (kxBarManagerCount() > 0) return;
  THookState& s = HS();
  if (s.CallWnd) UnhookWindowsHookEx(s.CallWnd);
  if (s.Mouse) UnhookWindowsHookEx(s.Mouse);
  if (s.Keyboard) UnhookWindowsHookEx(s.Keyboard);
  kxBarFreeHintWindow();
  s = THookState();
}

// ---------------------------------------------------------------------------
// the keyboard hook

LRESULT kxBarKeyboardHookProc(int Code, WPARAM Key, LPARAM KeyData) {
  THookState& s = HS();
  LRESULT result = 0;
  bool direct = s.DirectCall;
  auto chain = [&]() -> LRESULT {
    if (direct) return result;
    LRESULT next = CallNextHookEx(s.Keyboard, Code, Key, KeyData);
    return result ? result : next;
  };
  try {
    bool releasing = (KeyData & (LPARAM(1) << 31)) != 0;
    if (Code == HC_NOREMOVE) return chain();
    if (kxBarMouseModeFlag) {
      result = 1;
      return chain();
    }
    if (Key == 229 || Code < 0) return chain();
    if (s.Forwarded && Key == s.ForwardedKey && releasing) {
      s.Forwarded = false;
      result = 1;
      return chain();
    }
    if (TCustomkxBarControl* head = kxBarGetActiveBarControl()) {
      TkxBarManager* m = head->BarManager();
      // while a customize drag runs its loop reads the keys itself
      if (!m || (!m->SubMenuDragging() && !m->Dragging())) {
        if (!head->IsCustomizing()) {
          auto* edit = dynamic_cast<TkxBarWinControl*>(head->SelectedControl());
          if (!(edit && edit->Shown())) {
            if (!releasing) {
              s.Forwarded = true;
              s.ForwardedKey = Key;
            }
            if (head->HandleAllocated()) SendMessageA(head->Handle(), releasing ? WM_KEYUP : WM_KEYDOWN, Key, KeyData);
            if (kxBarGetActiveBarControl() || GetAsyncKeyState(int(Key)) >= 0) s.Forwarded = false;
            result = 1;
            return chain();
          }
        } else {
          if (Key == VK_ESCAPE && head->HandleAllocated() && GetCapture() == head->Handle()) ReleaseCapture();
          result = 1;
          return chain();
        }
      }
    }
    if (!GetCapture()) {
      // the context-menu keys: Applications released, Shift+F10 pressed
      bool shiftOnly = KeyDown(VK_SHIFT) && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU);
      if ((Key == VK_APPS && releasing) || (Key == VK_F10 && !releasing && shiftOnly))
        if (TkxBarPopupMenuLinks* links = kxBarGetFocusedPopupMenuLinks()) {
          HWND focus = GetFocus();
          if (links->ProcessContextMenu(FindControl(focus), focus, TPoint{-1, -1})) {
            result = 1;
            return chain();
          }
        }
      TkxBarManager *first, *menu;
      ChooseManagers(first, menu);
      if (menu && !menu->IsCustomizingOrDesigning() && !menu->HasBarInMenuMode()) {
        if (!releasing) {
          if (Key == VK_MENU) {
            s.AltPressed = true;
          } else {
            s.AltPressed = false;
            if (ProcessKey(Word(Key), first, menu)) result = 1;
          }
        } else if (TkxBarControl* main = menu->MainMenuControl()) {
          bool noModifier = !KeyDown(VK_SHIFT) && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU);
          if ((Key == VK_MENU && s.AltPressed && !kxBarIsAnyKeyDown()) ||
              (Key == VK_F10 && menu->UseF10ForMenu() && noModifier)) {
            s.AltPressed = false;
            main->ActivateMenuMode(nullptr);
            result = 1;
          } else {
            s.AltPressed = false;
          }
        }
      }
    }
  } catch (...) {
    chain();
    throw;
  }
  return chain();
}

bool kxBarProcessEditKey(Word Key, LPARAM KeyData, bool AltKey) {
  THookState& s = HS();
  bool saved = s.DirectCall;
  s.DirectCall = true;
  LRESULT r = 0;
  try {
    LPARAM data = KeyData;
    if (AltKey) data |= LPARAM(KF_ALTDOWN) << 16;
    r = kxBarKeyboardHookProc(HC_ACTION, Key, data);
  } catch (...) {
    s.DirectCall = saved;
    throw;
  }
  s.DirectCall = saved;
  return r != 0;
}

// ---------------------------------------------------------------------------
// the mouse hook

namespace kxbarhooks_mouse {

// While the customizing window is open the managers' forms are disabled: a
// mouse message over one of them arrives for the form with the hit test
// "error". The first customizing bar window under the cursor then takes it.
TCustomkxBarControl* CustomizingTarget(const MOUSEHOOKSTRUCT* Mh) {
  if (Mh->wHitTestCode != UINT(HTERROR)) return nullptr;
  auto* form = dynamic_cast<TCustomForm*>(FindControl(Mh->hwnd));
  if (!form) return nullptr;
  TkxBarManager* m = kxBarGetManagerByForm(form);
  if (!m || !m->IsCustomizing()) m = kxBarGetCustomizingManager();
  TCustomForm* window = kxBarGetCustomizingForm();
  if (!m || !m->IsCustomizing() || !window || !window->HandleAllocated() || GetActiveWindow() != window->Handle())
    return nullptr;
  for (int i = 0; TCustomkxBarControl* c = kxBarGetBarControl(i); ++i) {
    if (c->BarManager() != m || !c->HandleAllocated() || !IsWindowVisible(c->Handle())) continue;
    RECT r;
    GetWindowRect(c->Handle(), &r);
    if (PtInRect(&r, Mh->pt)) return c;
  }
  return nullptr;
}

// Sends a mouse message to the target as a client message of its own.
void ForwardToCustomizingTarget(TCustomkxBarControl* Target, UINT Msg, POINT Pt) {
  HWND h = Target->Handle();
  SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(Pt.x, Pt.y));
  if (!IsWindow(h)) return;
  if (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK) Msg = Msg - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
  SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, Msg));
  if (!IsWindow(h)) return;
  if (Msg != WM_MOUSEMOVE)
    if (TCustomForm* window = kxBarGetCustomizingForm(); window && window->HandleAllocated())
      SetForegroundWindow(window->Handle());
  WPARAM keys = 0;
  if (GetKeyState(VK_LBUTTON) < 0 || Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK) keys |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) < 0 || Msg == WM_RBUTTONDOWN || Msg == WM_RBUTTONDBLCLK) keys |= MK_RBUTTON;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  if (GetKeyState(VK_MBUTTON) < 0 || Msg == WM_MBUTTONDOWN || Msg == WM_MBUTTONDBLCLK) keys |= MK_MBUTTON;
  if (Msg == WM_LBUTTONUP) keys &= ~WPARAM(MK_LBUTTON);
  if (Msg == WM_RBUTTONUP) keys &= ~WPARAM(MK_RBUTTON);
  if (Msg == WM_MBUTTONUP) keys &= ~WPARAM(MK_MBUTTON);
  POINT p = Pt;
  ScreenToClient(h, &p);
  SendMessageA(h, Msg, keys, MAKELPARAM(p.x, p.y));
}

}  // namespace kxbarhooks_mouse

LRESULT kxBarMouseHookProc(int Code, WPARAM Message, LPARAM MouseData) {
  THookState& s = HS();
  LRESULT result = 0;
  auto chain = [&]() -> LRESULT {
    LRESULT next = CallNextHookEx(s.Mouse, Code, Message, MouseData);
    return result ? result : next;
  };
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(MouseData);
  if (Code < 0 || !mh) return chain();
  try {
    UINT msg = UINT(Message);
    if (TCustomkxBarControl* target = kxbarhooks_mouse::CustomizingTarget(mh)) {
      kxbarhooks_mouse::ForwardToCustomizingTarget(target, msg, mh->pt);
      result = 1;
      return chain();
    }
    bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
                 msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK || msg == WM_NCLBUTTONDOWN ||
                 msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK ||
                 msg == WM_NCRBUTTONDBLCLK || msg == WM_NCMBUTTONDBLCLK;
    bool otherRelease = msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_NCRBUTTONUP || msg == WM_NCMBUTTONUP;
    bool leftRelease = msg == WM_LBUTTONUP || msg == WM_NCLBUTTONUP;
    if (kxBarGetActiveBarControl() && !s.MouseReentry) {
      s.MouseReentry = true;
      try {
        HWND wnd = mh->hwnd;
        if (otherRelease && !MouseItemControl(wnd, mh->pt) && !PopupWindowHit(wnd)) {
          result = 1;
        } else {
          TCustomkxBarControl* head = kxBarGetActiveBarControl();
          TkxBarManager* m = head ? head->BarManager() : nullptr;
          bool dragging = m && m->Dragging();
          bool closeOnRelease = leftRelease && !MouseItemControl(wnd, mh->pt) && head && !head->IsCustomizing() &&
                                (dynamic_cast<TkxBarControl*>(head) || head->ParentBar());
          if (!dragging && (press || closeOnRelease) && !PopupWindowHit(wnd)) {
            for (int guard = 0; guard < 64; ++guard) {
              TCustomkxBarControl* h = kxBarGetActiveBarControl();
              if (!h) break;
              h->CloseChain();
              if (kxBarGetActiveBarControl() == h) break;
            }
          }
          if (IsWindow(wnd) && !IsWindowVisible(wnd)) result = 1;
          if (!IsWindow(wnd)) result = 1;
        }
      } catch (...) {
        s.MouseReentry = false;
        throw;
      }
      s.MouseReentry = false;
    } else if (msg == WM_RBUTTONUP || msg == WM_NCRBUTTONUP) {
      // A right-button release over a control linked to a pop-up menu. Once
      // the linked menu has run, the release is swallowed: the window would
      // otherwise open its own context menu as well.
      auto* control = dynamic_cast<TWinControl*>(kxBarFindControlOrParent(mh->hwnd));
      if (control && control->HandleAllocated() && IsWindowEnabled(control->Handle()))
        if (TCustomForm* form = GetParentForm(control))
          if (TkxBarManager* m = kxBarGetManagerByForm(form))
            if (m->PopupMenuLinks()->ProcessContextMenu(control, mh->hwnd, TPoint{mh->pt.x, mh->pt.y})) result = 1;
    }
  } catch (...) {
    chain();
    throw;
  }
  return chain();
}

// ---------------------------------------------------------------------------
// the call-window-procedure hook

// The messages a manager acts on for its form (FormMessage); every other
// message sent anywhere passes the hook without a window lookup.
static bool FormMessageWanted(UINT Msg) {
  switch (Msg) {
    case WM_CREATE: case WM_DESTROY: case WM_ACTIVATE: case WM_SYSCOLORCHANGE: case WM_WININICHANGE:
    case WM_ACTIVATEAPP: case WM_CHILDACTIVATE: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED:
    case WM_DISPLAYCHANGE: case WM_SYSCOMMAND: case WM_MDIACTIVATE:
      return true;
    default:
      return false;
  }
}

LRESULT kxBarCallWndProcHookProc(int Code, WPARAM Flag, LPARAM MessageData) {
  THookState& s = HS();
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(MessageData);
  if (Code >= 0 && cwp && !s.CallWndReentry && FormMessageWanted(cwp->message)) {
    s.CallWndReentry = true;
    try {
      TkxBarManager* m = WindowManager(cwp->hwnd);
      if (m) {
        m->FormMessage(cwp->message, cwp->wParam, cwp->lParam);
      } else if (cwp->message == WM_ACTIVATE) {
        auto* bar = dynamic_cast<TCustomkxBarControl*>(FindControl(cwp->hwnd));
        bool subMenu = bar && bar->IsMenuWindow();
        if (!subMenu && !bar) {
          HWND parent = GetParent(cwp->hwnd);
          TCustomForm* form = FormOfWindow(parent);
          if (form && form->Visible())
            if (TkxBarManager* pm = kxBarGetManagerByForm(form)) pm->FormMessage(cwp->message, cwp->wParam, cwp->lParam);
        }
      }
    } catch (...) {
      s.CallWndReentry = false;
      CallNextHookEx(s.CallWnd, Code, Flag, MessageData);
      throw;
    }
    s.CallWndReentry = false;
  }
  LRESULT r = CallNextHookEx(s.CallWnd, Code, Flag, MessageData);
  if (Code >= 0 && cwp &&
      (cwp->message == WM_DESTROY || cwp->message == WM_CHILDACTIVATE || cwp->message == WM_MDIACTIVATE))
    kxBarMDIChildNotification(cwp->hwnd);
  return r;
}

// ---------------------------------------------------------------------------
// the manager and its form

void TkxBarManager::FormMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!FOwnerForm) return;
  if (FOwnerForm->ComponentState().Contains(csDestroying)) {
    if (Msg == WM_DESTROY) SaveStoredLayout();
    return;
  }
  switch (Msg) {
    case WM_CREATE:
      if (FPendingBars) {
        FWindowCreating = true;
        try {
          for (TkxDockControl* d : std::vector<TkxDockControl*>(FDockControls))
            if (d->Parent() && (d->Parent() == FOwnerForm || d->Parent()->HandleAllocated())) d->HandleNeeded();
          ShowPendingBars(nullptr);
        } catch (...) {
          FWindowCreating = false;
          throw;
        }
        FWindowCreating = false;
      }
      break;
    case WM_ACTIVATE: {
      HWND other = reinterpret_cast<HWND>(LParam);
      bool active = LOWORD(WParam) != WA_INACTIVE;
      if (!active && other)
        if (auto* bar = dynamic_cast<TCustomkxBarControl*>(FindControl(other)))
          if (bar->BarManager() == this) break;
      FFormActive = active;
      FormActivated(active, false, other);
      break;
    }
    case WM_SYSCOLORCHANGE:
      kxBarRefreshSystemResources();
      RefreshResources();
      break;
    case WM_WININICHANGE:
      if (WParam == 42) UpdateSystemFont();
      else if (WParam == 47) KeepFloatingBarsOnScreen();
      break;
    case WM_ACTIVATEAPP:
      if (!WParam) {
        FormActivated(false, false, nullptr);
        if (FSelectedItem && FSelectedItem->Parent() && FSelectedItem->Parent()->HandleAllocated())
          SendMessageA(FSelectedItem->Parent()->Handle(), WM_MOUSELEAVE, 0, 0);
        FSelectedItem = nullptr;
      }
      break;
    case WM_CHILDACTIVATE:
      FormActivated(true, false, nullptr);
      break;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(LParam);
      if (wp && (wp->flags & SWP_HIDEWINDOW)) FormActivated(false, true, nullptr);
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      // The customizing window is shown and hidden with the form.
      auto* wp = reinterpret_cast<WINDOWPOS*>(LParam);
      if (wp && FIsCustomizing && (wp->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
        kxBarCustomizingFormOwnerShown(this, (wp->flags & SWP_SHOWWINDOW) != 0);
      break;
    }
    case WM_DISPLAYCHANGE:
      KeepFloatingBarsOnScreen();
      break;
    case WM_SYSCOMMAND: {
      UINT cmd = UINT(WParam) & 0xFFF0;
      for (int i = 0; i < FBars->Count(); ++i) {
        TkxBarControl* c = FBars->Items(i)->Control();
        if (!c || c->DockingStyle() != dsNone || !c->HandleAllocated()) continue;
        if (cmd == SC_MINIMIZE || cmd == SC_CLOSE) {
          if (IsWindowVisible(c->Handle())) ShowWindow(c->Handle(), SW_HIDE);
        } else if (cmd == SC_MAXIMIZE || cmd == SC_RESTORE) {
          if (FBars->Items(i)->Visible()) {
            ShowWindow(c->Handle(), SW_SHOWNOACTIVATE);
            UpdateWindow(c->Handle());
          }
        }
      }
      break;
    }
    case WM_MDIACTIVATE:
      if (FOwnerForm->FormStyle() == fsMDIChild)
        FormActivated(reinterpret_cast<HWND>(LParam) == FOwnerForm->Handle(), false, nullptr);
      break;
    default:
      break;
  }
}

void TkxBarManager::FormActivated(bool Active, bool Hiding, HWND OtherWindow) {
  if (FActivationReentry) return;
  FActivationReentry = true;
  struct TGuard {
    bool& F;
    ~TGuard() { F = false; }
  } guard{FActivationReentry};
  auto floating = [this](auto&& Fn) {
    for (int i = 0; i < FBars->Count(); ++i)
      if (TkxBarControl* c = FBars->Items(i)->Control())
        if (c->DockingStyle() == dsNone && c->HandleAllocated()) Fn(FBars->Items(i), c);
  };
  if (!FHideFloatingBarsWhenInactive && !Hiding)
    floating([](TkxBar*, TkxBarControl* c) { SendMessageA(c->Handle(), WM_NCPAINT, 0, 0); });
  if (Active) {
    if (!FOwnerForm->HandleAllocated() || !IsIconic(FOwnerForm->Handle()))
      floating([](TkxBar* b, TkxBarControl* c) {
        if (b->Visible()) ShowWindow(c->Handle(), SW_SHOWNOACTIVATE);
      });
    return;
  }
  if (OtherWindow && FOwnerForm->HandleAllocated() && GetParent(OtherWindow) == FOwnerForm->Handle()) return;
  if (TCustomkxBarControl* head = kxBarGetActiveBarControl())
    if (head->BarManager() == this) head->CloseChain();
  if (!FHideFloatingBarsWhenInactive && !Hiding) {
    if (TkxBarQuickControl* q = kxBarGetQuickControl()) q->Close();
    return;
  }
  if (OtherWindow && IsWindow(OtherWindow) && (!Application || OtherWindow != Application->Handle()) &&
      !FormOfWindow(OtherWindow))
    return;
  floating([](TkxBar*, TkxBarControl* c) {
    SetWindowPos(c->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  });
  if (FOwnerForm->HandleAllocated()) SendMessageA(FOwnerForm->Handle(), WM_NCACTIVATE, 0, 0);
}

void TkxBarManager::KeepFloatingBarsOnScreen() {
  if (!FOwnerForm) return;
  TRect fr = FOwnerForm->BoundsRect();
  TRect work = kxBarGetWorkArea(TPoint{(fr.left + fr.right) / 2, (fr.top + fr.bottom) / 2});
  for (int i = 0; i < FBars->Count(); ++i) {
    TkxBar* bar = FBars->Items(i);
    TkxBarControl* c = bar->Control();
    if (bar->DockingStyle() != dsNone) continue;
    TRect r = c && c->HandleAllocated() ? c->BoundsRect()
                                        : TRect{bar->FloatLeft(), bar->FloatTop(),
                                                bar->FloatLeft() + bar->FloatClientWidth() + bar->GetNonClientWidth(dsNone),
                                                bar->FloatTop() + bar->FloatClientHeight() + bar->GetNonClientHeight(dsNone)};
    if (r.bottom > work.bottom) OffsetRect(&r, 0, work.bottom - r.bottom);
    if (r.top < work.top) OffsetRect(&r, 0, work.top - r.top);
    if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
    if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
    if (c && c->HandleAllocated()) c->SetBounds(r.left, r.top, r.Width(), r.Height());
    else {
      bar->SetFloatLeft(r.left);
      bar->SetFloatTop(r.top);
    }
  }
}
