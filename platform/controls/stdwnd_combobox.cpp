// The COMBOBOX window class: simple (edit and list always shown), drop-down
// (edit and a drop-down list) and drop-down list (a selection field and a
// drop-down list), with owner-drawn items. The list is a LISTBOX window
// ("ComboLBox" pop-up for the drop-down styles) whose notifications and
// owner-draw messages come to the combo box; the combo box passes them on to
// its parent as CBN_* notifications and ODT_COMBOBOX owner-draw messages.
//
// The height given to a drop-down combo box is the height of the box with its
// list dropped; the window itself keeps the height of the selection field.
#include <algorithm>
#include <cstring>
#include "platform/controls/stdwnd_internal.h"

namespace pvstd {
namespace {

struct Combo {
  HWND h = nullptr, edit = nullptr, list = nullptr;
  WNDPROC editProc = nullptr;
  HFONT font = nullptr;
  int fieldH = 20;
  int dropH = 100;
  int dropW = 0;
  int selAtDrop = -1;
  bool dropped = false, focus = false, extendedUI = false, buttonDown = false, sizing = false;
  DWORD Style() const { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
  DWORD Kind() const { return Style() & 3; }
  bool Simple() const { return Kind() == CBS_SIMPLE; }
  bool DropList() const { return Kind() == CBS_DROPDOWNLIST; }
};

StateMap<Combo>& States() {
  static StateMap<Combo> m;
  return m;
}

constexpr int kButton = 16;

void Notify(Combo* c, int code) { NotifyParent(c->h, UINT(code)); }

LRESULT List(Combo* c, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return c->list ? SendMessageA(c->list, msg, wp, lp) : CB_ERR; }

std::string ItemText(Combo* c, int i) {
  LRESULT n = List(c, LB_GETTEXTLEN, WPARAM(i));
  if (n < 0) return {};
  std::string s(std::size_t(n) + 1, '\0');
  List(c, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(std::size_t(n));
  return s;
}

bool HasStrings(Combo* c) {
  DWORD st = c->Style();
  return !(st & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (st & CBS_HASSTRINGS);
}

// Shows the current item in the edit or the selection field.
void ShowSelection(Combo* c) {
  int i = int(List(c, LB_GETCURSEL));
  if (c->edit) {
    std::string t = i >= 0 && HasStrings(c) ? ItemText(c, i) : std::string();
    SetWindowTextA(c->edit, t.c_str());
    SendMessageA(c->edit, EM_SETSEL, 0, -1);
  }
  InvalidateRect(c->h, nullptr, FALSE);
}

RECT ButtonRect(Combo* c) {
  RECT cr;
  GetClientRect(c->h, &cr);
  return MakeRect(cr.right - 2 - kButton, 2, cr.right - 2, c->fieldH - 2);
}

void Layout(Combo* c) {
  RECT cr;
  GetClientRect(c->h, &cr);
  if (c->Simple()) {
    if (c->edit) MoveWindow(c->edit, 0, 0, cr.right, c->fieldH, TRUE);
    if (c->list) MoveWindow(c->list, 0, c->fieldH, cr.right, std::max(0, int(cr.bottom) - c->fieldH), TRUE);
    return;
  }
  if (c->edit) MoveWindow(c->edit, 3, 3, std::max(0, int(cr.right) - 6 - kButton), c->fieldH - 6, TRUE);
}

void Close(HWND h, bool ok) {
  Combo* c = States().Get(h);
  if (!c || !c->dropped) return;
  c->dropped = false;
  c->buttonDown = false;
  ShowWindow(c->list, SW_HIDE);
  if (GetCapture() == h) ReleaseCapture();
  int sel = int(List(c, LB_GETCURSEL));
  if (!ok && sel != c->selAtDrop) {
    List(c, LB_SETCURSEL, WPARAM(c->selAtDrop));
    sel = c->selAtDrop;
  }
  InvalidateRect(h, nullptr, FALSE);
  bool changed = ok && sel != c->selAtDrop;
  if (changed) ShowSelection(c);
  Notify(c, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!(c = States().Get(h))) return;
  Notify(c, CBN_CLOSEUP);
  if (changed && (c = States().Get(h))) Notify(c, CBN_SELCHANGE);
}

void Drop(HWND h) {
  Combo* c = States().Get(h);
  if (!c || c->dropped || c->Simple()) return;
  Notify(c, CBN_DROPDOWN);
  if (!(c = States().Get(h))) return;
  RECT wr;
  GetWindowRect(h, &wr);
  int itemH = std::max(1, int(List(c, LB_GETITEMHEIGHT, 0)));
  int count = int(List(c, LB_GETCOUNT));
  int room = std::max(itemH, c->dropH - c->fieldH - 2);
  int rows = std::clamp(room / itemH, 1, std::max(1, count));
  int w = std::max<int>(c->dropW, wr.right - wr.left);
  c->selAtDrop = int(List(c, LB_GETCURSEL));
  SetWindowPos(c->list, HWND_TOPMOST, wr.left, wr.bottom, w, rows * itemH + 2, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (c->selAtDrop >= 0) List(c, LB_SETTOPINDEX, WPARAM(c->selAtDrop));
  c->dropped = true;
  SetCapture(h);
  InvalidateRect(h, nullptr, FALSE);
}

// Moves the selection by keyboard; `delta` items, or to `abs` when >= 0.
void Step(HWND h, int delta, int abs = -1) {
  Combo* c = States().Get(h);
  int n = int(List(c, LB_GETCOUNT));
  if (n == 0) return;
  int cur = int(List(c, LB_GETCURSEL));
  int target = abs >= 0 ? abs : cur < 0 ? 0 : std::clamp(cur + delta, 0, n - 1);
  if (target == cur) return;
  List(c, LB_SETCURSEL, WPARAM(target));
  ShowSelection(c);
  if ((c = States().Get(h))) Notify(c, CBN_SELCHANGE);
}

// Keys shared by the combo box and its edit; returns true when used.
bool Key(HWND h, WPARAM vk) {
  Combo* c = States().Get(h);
  bool alt = GetKeyState(VK_MENU) < 0;
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (c->dropped)
      Close(h, true);
    else
      Drop(h);
    return true;
  }
  if (c->dropped && vk == VK_RETURN) {
    Close(h, true);
    return true;
  }
  if (c->dropped && vk == VK_ESCAPE) {
    Close(h, false);
    return true;
  }
  if (c->Simple() && c->edit && (vk == VK_UP || vk == VK_DOWN)) {
    Step(h, vk == VK_UP ? -1 : 1);
    return true;
  }
  switch (vk) {
    case VK_UP: Step(h, -1); return true;
    case VK_DOWN:
      if (c->extendedUI && !c->dropped) {
        Drop(h);
        return true;
      }
      Step(h, 1);
      return true;
    case VK_PRIOR: Step(h, -std::max(1, int(List(c, LB_GETCOUNT)) / 4)); return true;
    case VK_NEXT: Step(h, std::max(1, int(List(c, LB_GETCOUNT)) / 4)); return true;
    case VK_HOME:
      if (c->edit) return false;
      Step(h, 0, 0);
      return true;
    case VK_END:
      if (c->edit) return false;
      Step(h, 0, std::max(0, int(List(c, LB_GETCOUNT)) - 1));
      return true;
  }
  return false;
}

LRESULT EditSubclass(HWND e, UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = GetParent(e);
  Combo* c = States().Get(h);
  WNDPROC old = c ? c->editProc : EditProc;
  if (c) {
    if (msg == WM_KEYDOWN && Key(h, wp)) return 0;
    if (msg == WM_SYSKEYDOWN && (wp == VK_DOWN || wp == VK_UP) && Key(h, wp)) return 0;
    if (msg == WM_CHAR && (wp == VK_RETURN || wp == VK_ESCAPE) && c->dropped) return 0;
    if (msg == WM_GETDLGCODE) {
      LRESULT r = CallWindowProcA(old, e, msg, wp, lp);
      if ((c = States().Get(h)) && c->dropped) r |= DLGC_WANTALLKEYS;
      return r;
    }
  }
  return CallWindowProcA(old, e, msg, wp, lp);
}

void Paint(Combo* c, HDC dc) {
  RECT cr;
  GetClientRect(c->h, &cr);
  if (c->Simple()) {
    FillRect(dc, &cr, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HWND h = c->h;
  HBRUSH bg = ControlColor(h, dc, c->DropList() ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT);
  if (!(c = States().Get(h))) return;
  RECT field = MakeRect(0, 0, cr.right, c->fieldH);
  FillRect(dc, &field, bg ? bg : GetSysColorBrush(COLOR_WINDOW));
  RECT edge = field;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  RECT b = ButtonRect(c);
  DrawFrameControl(dc, &b, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (c->buttonDown ? DFCS_PUSHED | DFCS_FLAT : 0) |
                       (IsWindowEnabled(h) ? 0 : DFCS_INACTIVE));
  if (!c->DropList()) return;
  RECT face = MakeRect(3, 3, b.left - 1, c->fieldH - 3);
  int sel = int(List(c, LB_GETCURSEL));
  bool hot = c->focus && !c->dropped;
  DWORD st = c->Style();
  if (st & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemID = UINT(sel);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (hot ? ODS_SELECTED | ODS_FOCUS : 0) | (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = face;
    dis.itemData = sel >= 0 ? ULONG_PTR(List(c, LB_GETITEMDATA, WPARAM(sel))) : 0;
    if (HWND p = GetParent(h)) SendMessageA(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  HGDIOBJ oldFont = SelectObject(dc, FontOr(c->font));
  if (hot) {
    FillRect(dc, &face, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled(h)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  SetBkMode(dc, TRANSPARENT);
  if (sel >= 0) {
    std::string t = ItemText(c, sel);
    RECT tr = MakeRect(face.left + 2, face.top, face.right, face.bottom);
    DrawTextA(dc, t.c_str(), int(t.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (hot) DrawFocusRect(dc, &face);
  SelectObject(dc, oldFont);
}

void Create(HWND h, Combo* c) {
  DWORD st = c->Style();
  FontInfo fi = MeasureFont(c->font);
  c->fieldH = fi.height + 8;
  DWORD ls = WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_COMBOBOX;
  if (st & CBS_SORT) ls |= LBS_SORT;
  if (st & CBS_OWNERDRAWFIXED) ls |= LBS_OWNERDRAWFIXED;
  if (st & CBS_OWNERDRAWVARIABLE) ls |= LBS_OWNERDRAWVARIABLE;
  if (st & CBS_HASSTRINGS) ls |= LBS_HASSTRINGS;
  if (st & CBS_NOINTEGRALHEIGHT) ls |= LBS_NOINTEGRALHEIGHT;
  if (st & CBS_DISABLENOSCROLL) ls |= LBS_DISABLENOSCROLL;
  RECT cr;
  GetClientRect(h, &cr);
  if (c->Simple()) {
    c->list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | ls | LBS_NOINTEGRALHEIGHT, 0, c->fieldH,
                              cr.right, std::max(0, int(cr.bottom) - c->fieldH), h,
                              reinterpret_cast<HMENU>(std::intptr_t(PV_COMBO_LIST_ID)), nullptr, nullptr);
  } else {
    // a pop-up's menu argument is a menu, not an id
    c->list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox", "", WS_POPUP | ls, 0,
                              0, cr.right, 100, h, nullptr, nullptr, nullptr);
  }
  if (!(c = States().Get(h))) return;
  ListBoxSetOwnerCombo(c->list, h);
  if (!c->DropList()) {
    DWORD es = WS_CHILD | WS_VISIBLE | ((st & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
               ((st & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((st & CBS_LOWERCASE) ? ES_LOWERCASE : 0);
    DWORD ex = c->Simple() ? WS_EX_CLIENTEDGE : 0;
    c->edit = CreateWindowExA(ex, "EDIT", "", es, 0, 0, 10, 10, h,
                              reinterpret_cast<HMENU>(std::intptr_t(PV_COMBO_EDIT_ID)), nullptr, nullptr);
    if (!(c = States().Get(h))) return;
    c->editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(c->edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclass)));
  }
  if (!c->Simple()) {
    c->dropH = cr.bottom;
    RECT wr;
    GetWindowRect(h, &wr);
    int nc = (wr.bottom - wr.top) - cr.bottom;
    c->sizing = true;
    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, c->fieldH + nc, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if ((c = States().Get(h))) c->sizing = false;
  }
  if ((c = States().Get(h))) Layout(c);
}

void SetFont(Combo* c, HFONT f, bool redraw) {
  c->font = f;
  if (c->edit) SendMessageA(c->edit, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
  if (c->list) SendMessageA(c->list, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
  c->fieldH = MeasureFont(f).height + 8;
  if (!c->Simple()) {
    RECT wr, cr;
    GetWindowRect(c->h, &wr);
    GetClientRect(c->h, &cr);
    int nc = (wr.bottom - wr.top) - cr.bottom;
    c->sizing = true;
    SetWindowPos(c->h, nullptr, 0, 0, wr.right - wr.left, c->fieldH + nc, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    c->sizing = false;
  }
  Layout(c);
  if (redraw) InvalidateRect(c->h, nullptr, TRUE);
}

// A screen point in the list's client coordinates (the list has a one-pixel border).
POINT ListPoint(Combo* c, POINT screen) {
  RECT lr, cr;
  GetWindowRect(c->list, &lr);
  GetClientRect(c->list, &cr);
  int bx = ((lr.right - lr.left) - cr.right) / 2, by = ((lr.bottom - lr.top) - cr.bottom) / 2;
  return POINT{screen.x - lr.left - bx, screen.y - lr.top - by};
}

bool OverList(Combo* c, POINT screen) {
  RECT lr;
  GetWindowRect(c->list, &lr);
  return Inside(lr, screen.x, screen.y);
}

}  // namespace

LRESULT ComboBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Combo* c = States().Get(h);
  if (!c) {
    if (msg == WM_NCCREATE) {
      c = States().Make(h);
      c->h = h;
    }
    return DefWindowProcA(h, msg, wp, lp);
  }
  switch (msg) {
    case WM_CREATE: Create(h, c); return 0;
    case WM_DESTROY:
      if (c->list && IsWindow(c->list)) DestroyWindow(c->list);
      if ((c = States().Get(h))) c->list = nullptr;
      return 0;
    case WM_NCDESTROY:
      States().Drop(h);
      return DefWindowProcA(h, msg, wp, lp);
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!c->Simple() && !c->sizing && !(pos->flags & SWP_NOSIZE) && c->list) {
        RECT wr, cr;
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        int nc = (wr.bottom - wr.top) - cr.bottom;
        c->dropH = pos->cy - nc;
        pos->cy = c->fieldH + nc;
      }
      return DefWindowProcA(h, msg, wp, lp);
    }
    case WM_SIZE: Layout(c); InvalidateRect(h, nullptr, TRUE); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(c, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: SetFont(c, reinterpret_cast<HFONT>(wp), lp != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    case WM_ENABLE:
      if (c->edit) EnableWindow(c->edit, BOOL(wp));
      if ((c = States().Get(h)) && c->list) EnableWindow(c->list, BOOL(wp));
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      if (c->edit) return SendMessageA(c->edit, WM_SETTEXT, wp, lp);
      int i = int(List(c, LB_FINDSTRINGEXACT, WPARAM(-1), lp));
      if (i < 0) return CB_ERR;
      List(c, LB_SETCURSEL, WPARAM(i));
      InvalidateRect(h, nullptr, FALSE);
      return TRUE;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (c->edit) return SendMessageA(c->edit, msg, wp, lp);
      int i = int(List(c, LB_GETCURSEL));
      std::string t = i >= 0 && HasStrings(c) ? ItemText(c, i) : std::string();
      if (msg == WM_GETTEXTLENGTH) return LRESULT(t.size());
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      std::size_t n = std::min(t.size(), std::size_t(wp - 1));
      std::memcpy(buf, t.data(), n);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (c->dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
      if (c->edit) {
        SetFocus(c->edit);
        return 0;
      }
      c->focus = true;
      InvalidateRect(h, nullptr, FALSE);
      Notify(c, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (c->edit) return 0;
      Close(h, false);
      if (!(c = States().Get(h))) return 0;
      c->focus = false;
      InvalidateRect(h, nullptr, FALSE);
      Notify(c, CBN_KILLFOCUS);
      return 0;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lp);
      int code = SHORT(HIWORD(wp));
      if (from && from == c->edit) {
        switch (UINT(code)) {
          case EN_CHANGE: Notify(c, CBN_EDITCHANGE); break;
          case EN_UPDATE: Notify(c, CBN_EDITUPDATE); break;
          case EN_SETFOCUS:
            c->focus = true;
            Notify(c, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS:
            Close(h, false);
            if ((c = States().Get(h))) {
              c->focus = false;
              Notify(c, CBN_KILLFOCUS);
            }
            break;
        }
        return 0;
      }
      if (from && from == c->list) {
        if (code == LBN_SELCHANGE && c->Simple()) {
          ShowSelection(c);
          if ((c = States().Get(h))) Notify(c, CBN_SELCHANGE);
        } else if (code == LBN_DBLCLK && c->Simple()) {
          Notify(c, CBN_DBLCLK);
        }
        return 0;
      }
      return 0;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM: {
      HWND p = GetParent(h);
      if (msg == WM_MEASUREITEM) {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        mi->CtlType = ODT_COMBOBOX;
        mi->CtlID = UINT(GetDlgCtrlID(h));
      }
      return p ? SendMessageA(p, msg, WPARAM(GetDlgCtrlID(h)), lp) : 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      POINT sp = pt;
      ClientToScreen(h, &sp);
      if (c->dropped) {
        if (OverList(c, sp)) return 0;
        Close(h, false);
        return 0;
      }
      if (c->Simple()) return 0;
      if (GetFocus() != h && !(c->edit && GetFocus() == c->edit)) SetFocus(h);
      if (!(c = States().Get(h))) return 0;
      RECT b = ButtonRect(c);
      if (c->DropList() || Inside(b, pt.x, pt.y)) {
        c->buttonDown = true;
        Drop(h);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (c->dropped) {
        POINT sp{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &sp);
        if (OverList(c, sp) && (wp & MK_LBUTTON || !c->buttonDown)) {
          POINT lpnt = ListPoint(c, sp);
          LRESULT r = List(c, LB_ITEMFROMPOINT, 0, MAKELPARAM(lpnt.x, lpnt.y));
          if (!HIWORD(r) && int(LOWORD(r)) != int(List(c, LB_GETCURSEL))) List(c, LB_SETCURSEL, LOWORD(r));
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (c->dropped) {
        POINT sp{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &sp);
        bool wasDown = c->buttonDown;
        c->buttonDown = false;
        InvalidateRect(h, nullptr, FALSE);
        if (OverList(c, sp)) {
          POINT lpnt = ListPoint(c, sp);
          LRESULT r = List(c, LB_ITEMFROMPOINT, 0, MAKELPARAM(lpnt.x, lpnt.y));
          if (!HIWORD(r)) List(c, LB_SETCURSEL, LOWORD(r));
          Close(h, true);
        } else if (!wasDown) {
          Close(h, false);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (c->dropped && reinterpret_cast<HWND>(lp) != h) Close(h, false);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (Key(h, wp)) return 0;
      return msg == WM_SYSKEYDOWN ? DefWindowProcA(h, msg, wp, lp) : 0;
    case WM_CHAR:
      if (c->DropList() && wp >= 0x20 && HasStrings(c)) {
        char s[2] = {char(wp), 0};
        int i = int(List(c, LB_FINDSTRING, WPARAM(List(c, LB_GETCURSEL)), reinterpret_cast<LPARAM>(s)));
        if (i >= 0) Step(h, 0, i);
      }
      return 0;
    case WM_MOUSEWHEEL:
      if (!c->dropped) Step(h, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1);
      return 0;
    // ---- the list ----
    case CB_ADDSTRING: return List(c, LB_ADDSTRING, wp, lp);
    case CB_INSERTSTRING: return List(c, LB_INSERTSTRING, wp, lp);
    case CB_DELETESTRING: {
      int cur = int(List(c, LB_GETCURSEL));
      LRESULT r = List(c, LB_DELETESTRING, wp, lp);
      if (r >= 0 && cur == int(LONG(wp))) InvalidateRect(h, nullptr, FALSE);
      return r;
    }
    case CB_RESETCONTENT:
      List(c, LB_RESETCONTENT);
      if ((c = States().Get(h)) && c->edit) SetWindowTextA(c->edit, "");
      InvalidateRect(h, nullptr, FALSE);
      return CB_OKAY;
    case CB_GETCOUNT: return List(c, LB_GETCOUNT);
    case CB_GETCURSEL: return List(c, LB_GETCURSEL);
    case CB_SETCURSEL: {
      LRESULT r = List(c, LB_SETCURSEL, wp);
      if ((c = States().Get(h))) {
        if (int(LONG(wp)) < 0 && c->edit) SetWindowTextA(c->edit, "");
        else ShowSelection(c);
      }
      return int(LONG(wp)) < 0 ? CB_ERR : r;
    }
    case CB_GETLBTEXT: return List(c, LB_GETTEXT, wp, lp);
    case CB_GETLBTEXTLEN: return List(c, LB_GETTEXTLEN, wp, lp);
    case CB_GETITEMDATA: return List(c, LB_GETITEMDATA, wp, lp);
    case CB_SETITEMDATA: return List(c, LB_SETITEMDATA, wp, lp) == LB_ERR ? CB_ERR : CB_OKAY;
    case CB_FINDSTRING: return List(c, LB_FINDSTRING, wp, lp);
    case CB_FINDSTRINGEXACT: return List(c, LB_FINDSTRINGEXACT, wp, lp);
    case CB_SELECTSTRING: {
      int i = int(List(c, LB_FINDSTRING, wp, lp));
      if (i < 0) return CB_ERR;
      List(c, LB_SETCURSEL, WPARAM(i));
      if ((c = States().Get(h))) ShowSelection(c);
      return i;
    }
    case CB_GETTOPINDEX: return List(c, LB_GETTOPINDEX);
    case CB_SETTOPINDEX: return List(c, LB_SETTOPINDEX, wp) == LB_ERR ? CB_ERR : CB_OKAY;
    case CB_GETHORIZONTALEXTENT: return List(c, LB_GETHORIZONTALEXTENT);
    case CB_SETHORIZONTALEXTENT: List(c, LB_SETHORIZONTALEXTENT, wp); return 0;
    case CB_INITSTORAGE: return LRESULT(wp);
    case CB_DIR: return CB_ERR;
    case CB_GETITEMHEIGHT:
      if (LONG(wp) == -1) return c->fieldH - 6;
      return List(c, LB_GETITEMHEIGHT, wp);
    case CB_SETITEMHEIGHT:
      if (LONG(wp) == -1) {
        int hgt = int(lp);
        if (hgt <= 0 || hgt > 255) return CB_ERR;
        c->fieldH = hgt + 6;
        if (!c->Simple()) {
          RECT wr, cr;
          GetWindowRect(h, &wr);
          GetClientRect(h, &cr);
          int nc = (wr.bottom - wr.top) - cr.bottom;
          c->sizing = true;
          SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, c->fieldH + nc, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          if ((c = States().Get(h))) c->sizing = false;
        }
        if ((c = States().Get(h))) Layout(c);
        return CB_OKAY;
      }
      return List(c, LB_SETITEMHEIGHT, wp, lp) == LB_ERR ? CB_ERR : CB_OKAY;
    // ---- the edit ----
    case CB_GETEDITSEL: {
      if (!c->edit) return CB_ERR;
      return SendMessageA(c->edit, EM_GETSEL, wp, lp);
    }
    case CB_SETEDITSEL:
      if (!c->edit) return CB_ERR;
      SendMessageA(c->edit, EM_SETSEL, WPARAM(SHORT(LOWORD(lp))), LPARAM(SHORT(HIWORD(lp))));
      return TRUE;
    case CB_LIMITTEXT:
      if (!c->edit) return CB_ERR;
      SendMessageA(c->edit, EM_LIMITTEXT, wp, 0);
      return TRUE;
    // ---- the drop-down ----
    case CB_SHOWDROPDOWN:
      if (wp)
        Drop(h);
      else
        Close(h, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return c->dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
      if (auto* r = reinterpret_cast<RECT*>(lp)) {
        GetWindowRect(h, r);
        r->bottom = r->top + std::max(c->dropH, c->fieldH);
      }
      return TRUE;
    }
    case CB_SETEXTENDEDUI: c->extendedUI = wp != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return c->extendedUI ? TRUE : FALSE;
    case CB_GETDROPPEDWIDTH: {
      RECT wr;
      GetWindowRect(h, &wr);
      return std::max<int>(c->dropW, wr.right - wr.left);
    }
    case CB_SETDROPPEDWIDTH:
      c->dropW = int(wp);
      return c->dropW;
    case CB_GETLOCALE:
    case CB_SETLOCALE: return 0x0804;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pvstd
