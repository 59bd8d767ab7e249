// The LISTBOX window class (also the drop-down list of combo boxes, "ComboLBox").
//
// Items hold a string (unless owner-drawn without LBS_HASSTRINGS, where the
// item data stands for the item), item data, a selection flag and, for
// LBS_OWNERDRAWVARIABLE, a height. Selection is single, multiple
// (LBS_MULTIPLESEL: a click toggles) or extended (LBS_EXTENDEDSEL: Shift
// selects a range from the anchor, Ctrl toggles). String searches ignore ASCII
// case and never split a double-byte character.
#include <algorithm>
#include <cstring>
#include <vector>
#include "platform/controls/stdwnd_internal.h"

namespace pvstd {
namespace {

struct Item {
  std::string text;
  ULONG_PTR data = 0;
  bool sel = false;
  int height = 0;
};

struct List {
  HWND h = nullptr;
  std::vector<Item> items;
  int virtualCount = -1;  // LBS_NODATA: the count set with LB_SETCOUNT
  int cur = -1;           // the focused (caret) item; the selection in single mode
  int anchor = -1;
  int top = 0;
  int itemH = 14;
  int colW = 0;
  int hExtent = 0, xoff = 0;
  HFONT font = nullptr;
  bool focus = false, track = false;
  HWND notifyTo = nullptr;  // the combo box of a combo list
  DWORD bars = 0;           // WS_VSCROLL and WS_HSCROLL as created: a hidden bar comes back when needed
  DWORD Style() const { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
  bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
  bool Multi() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  bool Variable() const { return (Style() & LBS_OWNERDRAWVARIABLE) && !(Style() & LBS_MULTICOLUMN); }
  int Count() const { return virtualCount >= 0 ? virtualCount : int(items.size()); }
};

StateMap<List>& States() {
  static StateMap<List> m;
  return m;
}

HWND Parent(const List* l) { return l->notifyTo ? l->notifyTo : GetParent(l->h); }

void Notify(List* l, int code) {
  bool always = code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == LBN_ERRSPACE;
  if (!always && !(l->Style() & LBS_NOTIFY) && !l->notifyTo) return;
  HWND p = Parent(l);
  if (p) SendMessageA(p, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(l->h), code), reinterpret_cast<LPARAM>(l->h));
}

RECT Client(const List* l) {
  RECT r;
  GetClientRect(l->h, &r);
  return r;
}

int ItemHeight(const List* l, int i) {
  if (l->Variable() && i >= 0 && i < int(l->items.size()) && l->items[i].height > 0) return l->items[i].height;
  return l->itemH;
}

int Rows(const List* l) { return std::max(1, int(Client(l).bottom) / std::max(1, l->itemH)); }
int ColWidth(const List* l) { return l->colW > 0 ? l->colW : 15 * MeasureFont(l->font).aveWidth; }

// Number of items that fit from the top item on.
int PageSize(const List* l) {
  if (!l->Variable()) {
    int rows = Rows(l);
    if (l->Style() & LBS_MULTICOLUMN) rows *= std::max(1, int(Client(l).right) / std::max(1, ColWidth(l)));
    return rows;
  }
  int y = 0, n = 0, bottom = Client(l).bottom;
  for (int i = l->top; i < l->Count(); ++i) {
    y += ItemHeight(l, i);
    if (y > bottom && n > 0) break;
    ++n;
  }
  return std::max(1, n);
}

RECT ItemRect(const List* l, int i) {
  RECT c = Client(l);
  if (l->Style() & LBS_MULTICOLUMN) {
    int rows = Rows(l), cw = ColWidth(l);
    int rel = i - l->top;
    int col = rel >= 0 ? rel / rows : -((-rel + rows - 1) / rows);
    int row = rel - col * rows;
    return MakeRect(col * cw, row * l->itemH, (col + 1) * cw, (row + 1) * l->itemH);
  }
  int y = 0;
  if (i >= l->top)
    for (int k = l->top; k < i; ++k) y += ItemHeight(l, k);
  else
    for (int k = i; k < l->top; ++k) y -= ItemHeight(l, k);
  return MakeRect(-l->xoff, y, std::max<int>(c.right, l->hExtent) - l->xoff, y + ItemHeight(l, i));
}

// Item under a client point; `outside` when the point is beyond the items.
int ItemAt(const List* l, int x, int y, bool* outside) {
  int n = l->Count();
  *outside = false;
  if (n == 0) {
    *outside = true;
    return 0;
  }
  if (l->Style() & LBS_MULTICOLUMN) {
    int rows = Rows(l), cw = ColWidth(l);
    int col = std::max(0, x) / std::max(1, cw), row = std::clamp(y / std::max(1, l->itemH), 0, rows - 1);
    int i = l->top + col * rows + row;
    if (i >= n) {
      *outside = true;
      i = n - 1;
    }
    return i;
  }
  int yy = 0;
  if (y < 0) {
    *outside = true;
    return std::max(0, l->top - 1);
  }
  for (int i = l->top; i < n; ++i) {
    int hgt = ItemHeight(l, i);
    if (y < yy + hgt) return i;
    yy += hgt;
  }
  *outside = true;
  return n - 1;
}

void UpdateBar(List* l) {
  DWORD st = l->Style() | l->bars;
  if (st & LBS_MULTICOLUMN) {
    if (!(st & WS_HSCROLL)) return;
    int rows = Rows(l);
    int cols = (l->Count() + rows - 1) / rows;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((st & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nMax = std::max(0, cols - 1);
    si.nPage = UINT(std::max(1, int(Client(l).right) / std::max(1, ColWidth(l))));
    si.nPos = l->top / rows;
    SetScrollInfo(l->h, SB_HORZ, &si, TRUE);
    return;
  }
  if (st & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((st & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nMax = std::max(0, l->Count() - 1);
    si.nPage = UINT(PageSize(l));
    si.nPos = l->top;
    SetScrollInfo(l->h, SB_VERT, &si, TRUE);
  }
  if ((st & WS_HSCROLL) && l->hExtent > 0) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = l->hExtent - 1;
    si.nPage = UINT(std::max(1, int(Client(l).right)));
    si.nPos = l->xoff;
    SetScrollInfo(l->h, SB_HORZ, &si, TRUE);
  }
}

int MaxTop(const List* l) {
  int n = l->Count();
  if (l->Style() & LBS_MULTICOLUMN) {
    int rows = Rows(l), page = PageSize(l) / rows;
    int cols = (n + rows - 1) / rows;
    return std::max(0, cols - page) * rows;
  }
  if (!l->Variable()) return std::max(0, n - Rows(l));
  int y = 0, bottom = Client(l).bottom, i = n;
  while (i > 0 && y + ItemHeight(l, i - 1) <= bottom) y += ItemHeight(l, --i);
  return std::min(i, std::max(0, n - 1));
}

void SetTop(List* l, int top) {
  if (l->Style() & LBS_MULTICOLUMN) top -= top % Rows(l);
  top = std::clamp(top, 0, MaxTop(l));
  if (top == l->top) return;
  l->top = top;
  InvalidateRect(l->h, nullptr, TRUE);
  UpdateBar(l);
}

void EnsureVisible(List* l, int i) {
  if (i < 0 || i >= l->Count()) return;
  if (i < l->top) {
    SetTop(l, i);
    return;
  }
  if (l->Style() & LBS_MULTICOLUMN) {
    int page = PageSize(l);
    if (i >= l->top + page) SetTop(l, i - page + Rows(l));
    return;
  }
  RECT c = Client(l);
  while (l->top < i && ItemRect(l, i).bottom > c.bottom) SetTop(l, l->top + 1);
}

void InvalidateItem(List* l, int i) {
  if (i < 0 || i >= l->Count()) return;
  RECT r = ItemRect(l, i);
  InvalidateRect(l->h, &r, TRUE);
}

bool IsSel(const List* l, int i) {
  if (i < 0 || i >= l->Count()) return false;
  if (!l->Multi()) return i == l->cur;
  return i < int(l->items.size()) && l->items[i].sel;
}

void SetCur(List* l, int i) {
  if (i == l->cur) return;
  InvalidateItem(l, l->cur);
  l->cur = i;
  InvalidateItem(l, l->cur);
}

void SetItemSel(List* l, int i, bool on) {
  if (i < 0 || i >= int(l->items.size()) || l->items[i].sel == on) return;
  l->items[i].sel = on;
  InvalidateItem(l, i);
}

// ---- items ----
int MeasureItem(List* l, int i) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = l->notifyTo ? ODT_COMBOBOX : ODT_LISTBOX;
  mis.CtlID = UINT(GetDlgCtrlID(l->notifyTo ? l->notifyTo : l->h));
  mis.itemID = UINT(i);
  mis.itemHeight = UINT(l->itemH);
  mis.itemWidth = UINT(Client(l).right);
  mis.itemData = i >= 0 && i < int(l->items.size())
                     ? (l->HasStrings() ? reinterpret_cast<ULONG_PTR>(l->items[i].text.c_str()) : l->items[i].data)
                     : 0;
  HWND p = Parent(l);
  if (p) SendMessageA(p, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
  return int(mis.itemHeight);
}

int Compare(List* l, const Item& a, int ia, const Item& b, int ib) {
  if (l->HasStrings()) return CompareNoCase(a.text, b.text);
  COMPAREITEMSTRUCT cis;
  cis.CtlType = l->notifyTo ? ODT_COMBOBOX : ODT_LISTBOX;
  cis.CtlID = UINT(GetDlgCtrlID(l->notifyTo ? l->notifyTo : l->h));
  cis.hwndItem = l->notifyTo ? l->notifyTo : l->h;
  cis.itemID1 = UINT(ia);
  cis.itemData1 = a.data;
  cis.itemID2 = UINT(ib);
  cis.itemData2 = b.data;
  HWND p = Parent(l);
  return p ? int(SendMessageA(p, WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis))) : 0;
}

int Insert(List* l, int at, LPARAM lp, bool sorted) {
  if (l->virtualCount >= 0) return LB_ERR;
  Item it;
  if (l->HasStrings())
    it.text = lp ? reinterpret_cast<const char*>(lp) : "";
  else
    it.data = ULONG_PTR(lp);
  int n = int(l->items.size());
  if (sorted) {
    // after the items that compare equal or less (binary search)
    int lo = 0, hi = n;
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      if (Compare(l, l->items[mid], mid, it, -1) <= 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    at = lo;
  } else if (at < 0 || at > n) {
    if (at != -1 && at > n) return LB_ERR;
    at = n;
  }
  l->items.insert(l->items.begin() + at, std::move(it));
  if (l->cur >= at) ++l->cur;
  if (l->anchor >= at) ++l->anchor;
  if (l->Variable()) l->items[at].height = MeasureItem(l, at);
  InvalidateRect(l->h, nullptr, TRUE);
  UpdateBar(l);
  return at;
}

void DeleteNotify(List* l, int i) {
  if (!l->OwnerDraw() || l->HasStrings()) return;
  DELETEITEMSTRUCT dis;
  dis.CtlType = l->notifyTo ? ODT_COMBOBOX : ODT_LISTBOX;
  dis.CtlID = UINT(GetDlgCtrlID(l->notifyTo ? l->notifyTo : l->h));
  dis.itemID = UINT(i);
  dis.hwndItem = l->h;
  dis.itemData = l->items[i].data;
  if (HWND p = Parent(l)) SendMessageA(p, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

int Delete(List* l, int i) {
  if (l->virtualCount >= 0) {
    if (i < 0 || i >= l->virtualCount) return LB_ERR;
    --l->virtualCount;
  } else {
    if (i < 0 || i >= int(l->items.size())) return LB_ERR;
    DeleteNotify(l, i);
    if (!(l = States().Get(l->h))) return LB_ERR;
    l->items.erase(l->items.begin() + i);
  }
  if (l->cur == i)
    l->cur = -1;
  else if (l->cur > i)
    --l->cur;
  if (l->anchor == i)
    l->anchor = -1;
  else if (l->anchor > i)
    --l->anchor;
  l->top = std::clamp(l->top, 0, MaxTop(l));
  InvalidateRect(l->h, nullptr, TRUE);
  UpdateBar(l);
  return l->Count();
}

void Reset(List* l) {
  HWND h = l->h;
  for (int i = int(l->items.size()) - 1; i >= 0; --i) {
    DeleteNotify(l, i);
    if (!(l = States().Get(h))) return;
  }
  l->items.clear();
  if (l->virtualCount >= 0) l->virtualCount = 0;
  l->cur = l->anchor = -1;
  l->top = 0;
  l->xoff = 0;
  InvalidateRect(l->h, nullptr, TRUE);
  UpdateBar(l);
}

int Find(const List* l, int start, const char* s, bool exact) {
  int n = int(l->items.size());
  if (n == 0 || !s) return LB_ERR;
  std::string key = s;
  int from = (start < 0 || start >= n) ? 0 : start + 1;
  for (int k = 0; k < n; ++k) {
    int i = (from + k) % n;
    if (!l->HasStrings()) {
      if (l->items[i].data == ULONG_PTR(reinterpret_cast<std::uintptr_t>(s))) return i;
      continue;
    }
    const std::string& t = l->items[i].text;
    if (exact ? CompareNoCase(t, key) == 0 : StartsNoCase(t, key)) return i;
  }
  return LB_ERR;
}

// ---- user selection ----
void SelectRange(List* l, int a, int b, bool on) {
  if (a > b) std::swap(a, b);
  for (int i = std::max(0, a); i <= b && i < int(l->items.size()); ++i) SetItemSel(l, i, on);
}

// A selection made by the user with the mouse or keyboard.
void UserSelect(List* l, int i, bool shift, bool ctrl, bool toggle) {
  HWND h = l->h;
  if (i < 0 || i >= l->Count() || (l->Style() & LBS_NOSEL)) return;
  DWORD st = l->Style();
  if (st & LBS_EXTENDEDSEL) {
    if (shift) {
      if (l->anchor < 0) l->anchor = i;
      if (!ctrl)
        for (int k = 0; k < int(l->items.size()); ++k) SetItemSel(l, k, false);
      SelectRange(l, l->anchor, i, true);
    } else if (ctrl) {
      if (toggle) {
        SetItemSel(l, i, !l->items[i].sel);
        l->anchor = i;
      }
    } else {
      for (int k = 0; k < int(l->items.size()); ++k) SetItemSel(l, k, k == i);
      l->anchor = i;
    }
  } else if (st & LBS_MULTIPLESEL) {
    if (toggle) SetItemSel(l, i, !l->items[i].sel);
    l->anchor = i;
  }
  SetCur(l, i);
  EnsureVisible(l, i);
  if ((l = States().Get(h))) Notify(l, LBN_SELCHANGE);
}

// ---- painting ----
void DrawItem(List* l, HDC dc, int i, UINT action, RECT r) {
  bool sel = IsSel(l, i);
  bool focusItem = l->focus && i == l->cur;
  if (l->OwnerDraw()) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = l->notifyTo ? ODT_COMBOBOX : ODT_LISTBOX;
    dis.CtlID = UINT(GetDlgCtrlID(l->notifyTo ? l->notifyTo : l->h));
    dis.itemID = UINT(i);
    dis.itemAction = action;
    dis.itemState = (sel ? ODS_SELECTED : 0) | (focusItem ? ODS_FOCUS : 0) | (IsWindowEnabled(l->h) ? 0 : ODS_DISABLED);
    dis.hwndItem = l->h;
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = i < int(l->items.size()) ? l->items[i].data : 0;
    if (HWND p = Parent(l)) SendMessageA(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  COLORREF oldText = GetTextColor(dc), oldBk = GetBkColor(dc);
  if (sel) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  }
  if (!IsWindowEnabled(l->h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const std::string& t = l->items[i].text;
  SetBkMode(dc, TRANSPARENT);
  if (l->Style() & LBS_USETABSTOPS)
    TabbedTextOutA(dc, r.left + 2, r.top, t.data(), int(t.size()), 0, nullptr, r.left + 2);
  else
    TextOutA(dc, r.left + 2, r.top, t.data(), int(t.size()));
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
  if (focusItem) DrawFocusRect(dc, &r);
}

void Paint(List* l) {
  HWND h = l->h;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(l->h, &ps);
  if (!dc) return;
  RECT c = Client(l);
  HBRUSH bg = ControlColor(l->notifyTo ? l->notifyTo : l->h, dc, WM_CTLCOLORLISTBOX);
  FillRect(dc, &c, bg ? bg : GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, FontOr(l->font));
  for (int i = l->top; i < l->Count(); ++i) {
    RECT r = ItemRect(l, i);
    if (r.top >= c.bottom && !(l->Style() & LBS_MULTICOLUMN)) break;
    if (r.left >= c.right) break;
    DrawItem(l, dc, i, ODA_DRAWENTIRE, r);
    if (!(l = States().Get(h))) break;
  }
  if (l && l->focus && l->Count() == 0 && !l->OwnerDraw()) {
    RECT r = MakeRect(0, 0, c.right, l->itemH);
    DrawFocusRect(dc, &r);
  }
  SelectObject(dc, oldFont);
  EndPaint(h, &ps);
}

void KeyDown(List* l, WPARAM vk) {
  HWND h = l->h;
  if ((l->Style() & LBS_WANTKEYBOARDINPUT) && Parent(l)) {
    LRESULT r = SendMessageA(Parent(l), WM_VKEYTOITEM, MAKEWPARAM(int(vk), l->cur < 0 ? 0 : l->cur),
                             reinterpret_cast<LPARAM>(h));
    if (!(l = States().Get(h))) return;
    if (r == -2) return;
    if (r >= 0) {
      UserSelect(l, int(r), false, false, false);
      return;
    }
  }
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  int n = l->Count();
  if (n == 0) return;
  int cur = l->cur < 0 ? 0 : l->cur;
  int page = std::max(1, PageSize(l) - 1);
  int rows = Rows(l);
  bool multiCol = (l->Style() & LBS_MULTICOLUMN) != 0;
  int target = cur;
  switch (vk) {
    case VK_UP: target = cur - 1; break;
    case VK_DOWN: target = l->cur < 0 ? 0 : cur + 1; break;
    case VK_LEFT: target = multiCol ? cur - rows : cur - 1; break;
    case VK_RIGHT: target = multiCol ? cur + rows : cur + 1; break;
    case VK_PRIOR: target = cur - page; break;
    case VK_NEXT: target = cur + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = n - 1; break;
    case VK_SPACE:
      if (l->Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) UserSelect(l, cur, shift, true, true);
      return;
    default: return;
  }
  target = std::clamp(target, 0, n - 1);
  if (l->Style() & LBS_MULTIPLESEL) {  // the caret moves, the selection stays
    SetCur(l, target);
    EnsureVisible(l, target);
    return;
  }
  if ((l->Style() & LBS_EXTENDEDSEL) && ctrl && !shift) {
    SetCur(l, target);
    EnsureVisible(l, target);
    return;
  }
  UserSelect(l, target, shift, false, false);
}

void CharKey(List* l, unsigned ch) {
  HWND h = l->h;
  if ((l->Style() & LBS_WANTKEYBOARDINPUT) && Parent(l) && !l->HasStrings()) {
    LRESULT r = SendMessageA(Parent(l), WM_CHARTOITEM, MAKEWPARAM(int(ch), l->cur < 0 ? 0 : l->cur),
                             reinterpret_cast<LPARAM>(h));
    if (!(l = States().Get(h))) return;
    if (r >= 0) UserSelect(l, int(r), false, false, false);
    return;
  }
  if (!l->HasStrings() || ch < 0x20) return;
  char s[2] = {char(ch), 0};
  int i = Find(l, l->cur, s, false);
  if (i >= 0) UserSelect(l, i, false, false, false);
}

// The selection count and items of a multiple-selection list.
int SelCount(const List* l) {
  int n = 0;
  for (const Item& it : l->items) n += it.sel;
  return n;
}

}  // namespace

// Hooks the combo box uses: which combo box a list belongs to.
void ListBoxSetOwnerCombo(HWND list, HWND combo) {
  if (List* l = States().Get(list)) l->notifyTo = combo;
}

}  // namespace pvstd

void ListBoxSetNotifyWindow(HWND List, HWND NotifyTo) { pvstd::ListBoxSetOwnerCombo(List, NotifyTo); }

namespace pvstd {

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  List* l = States().Get(h);
  if (!l) {
    if (msg == WM_NCCREATE) {
      l = States().Make(h);
      l->h = h;
      l->itemH = MeasureFont(nullptr).height;
      if (l->Style() & LBS_NODATA) l->virtualCount = 0;
      l->bars = l->Style() & (WS_VSCROLL | WS_HSCROLL);
    }
    return DefWindowProcA(h, msg, wp, lp);
  }
  switch (msg) {
    case WM_NCDESTROY:
      States().Drop(h);
      return DefWindowProcA(h, msg, wp, lp);
    case WM_CREATE:
      if (l->OwnerDraw() && !l->Variable()) {
        int hgt = MeasureItem(l, -1);
        if ((l = States().Get(h)) && hgt > 0) l->itemH = hgt;
      }
      if ((l = States().Get(h))) UpdateBar(l);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      DWORD st = l->Style();
      if (!(pos->flags & SWP_NOSIZE) && !(st & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE | LBS_COMBOBOX)) &&
          l->itemH > 0) {
        RECT wr, cr;
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        int nc = (wr.bottom - wr.top) - cr.bottom;
        int client = pos->cy - nc;
        if (client > l->itemH) pos->cy = nc + client - client % l->itemH;
      }
      return DefWindowProcA(h, msg, wp, lp);
    }
    case WM_SIZE:
      l->top = std::clamp(l->top, 0, MaxTop(l));
      UpdateBar(l);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_PAINT: Paint(l); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      l->font = reinterpret_cast<HFONT>(wp);
      if (!l->OwnerDraw()) l->itemH = MeasureFont(l->font).height;
      if (!(l->Style() & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE | LBS_COMBOBOX))) {
        RECT wr, cr;  // keep a whole number of items in view
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        int nc = (wr.bottom - wr.top) - cr.bottom;
        if (l->itemH > 0 && cr.bottom > l->itemH && cr.bottom % l->itemH)
          SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, nc + cr.bottom - cr.bottom % l->itemH,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!(l = States().Get(h))) return 0;
      }
      UpdateBar(l);
      if (lp) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(l->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      l->focus = true;
      InvalidateItem(l, l->cur < 0 ? 0 : l->cur);
      Notify(l, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      l->focus = false;
      InvalidateItem(l, l->cur < 0 ? 0 : l->cur);
      Notify(l, LBN_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!l->notifyTo && GetFocus() != h) SetFocus(h);
      if (!(l = States().Get(h))) return 0;
      bool outside;
      int i = ItemAt(l, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), &outside);
      if (outside && msg == WM_LBUTTONDOWN && l->Count() == 0) return 0;
      if (msg == WM_LBUTTONDBLCLK && !outside) {
        Notify(l, LBN_DBLCLK);
        return 0;
      }
      if (outside) return 0;
      UserSelect(l, i, (wp & MK_SHIFT) != 0, (wp & MK_CONTROL) != 0, true);
      if ((l = States().Get(h))) {
        l->track = true;
        SetCapture(h);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (l->track && !(l->Style() & LBS_MULTIPLESEL)) {
        bool outside;
        int i = ItemAt(l, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), &outside);
        if (i != l->cur && i >= 0 && !(l->Style() & LBS_EXTENDEDSEL && (wp & MK_CONTROL)))
          UserSelect(l, i, (l->Style() & LBS_EXTENDEDSEL) != 0, false, false);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (l->track) {
        l->track = false;
        if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_KEYDOWN: KeyDown(l, wp); return 0;
    case WM_CHAR: CharKey(l, unsigned(wp)); return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
      bool multiCol = (l->Style() & LBS_MULTICOLUMN) != 0;
      if (msg == WM_HSCROLL && !multiCol) {
        int old = l->xoff, w = Client(l).right;
        switch (LOWORD(wp)) {
          case SB_LINELEFT: l->xoff -= 8; break;
          case SB_LINERIGHT: l->xoff += 8; break;
          case SB_PAGELEFT: l->xoff -= w; break;
          case SB_PAGERIGHT: l->xoff += w; break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION: l->xoff = SHORT(HIWORD(wp)); break;
        }
        l->xoff = std::clamp(l->xoff, 0, std::max(0, l->hExtent - w));
        if (old != l->xoff) {
          InvalidateRect(h, nullptr, TRUE);
          UpdateBar(l);
        }
        return 0;
      }
      int unit = multiCol ? Rows(l) : 1;
      int page = multiCol ? PageSize(l) - unit : std::max(1, PageSize(l) - 1);
      switch (LOWORD(wp)) {
        case SB_LINEUP: SetTop(l, l->top - unit); break;
        case SB_LINEDOWN: SetTop(l, l->top + unit); break;
        case SB_PAGEUP: SetTop(l, l->top - std::max(unit, page)); break;
        case SB_PAGEDOWN: SetTop(l, l->top + std::max(unit, page)); break;
        case SB_TOP: SetTop(l, 0); break;
        case SB_BOTTOM: SetTop(l, l->Count()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(l, SHORT(HIWORD(wp)) * unit); break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      SetTop(l, l->top - notches * 3);
      return 0;
    }
    case LB_ADDSTRING: return Insert(l, -1, lp, (l->Style() & LBS_SORT) != 0);
    case LB_INSERTSTRING: return Insert(l, int(LONG(wp)), lp, false);
    case LB_DELETESTRING: return Delete(l, int(LONG(wp)));
    case LB_RESETCONTENT: Reset(l); return 0;
    case LB_GETCOUNT: return l->Count();
    case LB_SETCOUNT:
      if (!(l->Style() & LBS_NODATA)) return LB_ERR;
      l->virtualCount = int(wp);
      l->cur = l->cur < l->virtualCount ? l->cur : -1;
      l->top = std::clamp(l->top, 0, MaxTop(l));
      InvalidateRect(h, nullptr, TRUE);
      UpdateBar(l);
      return 0;
    case LB_GETTEXT: {
      int i = int(LONG(wp));
      if (i < 0 || i >= int(l->items.size())) return LB_ERR;
      if (!l->HasStrings()) {
        if (lp) std::memcpy(reinterpret_cast<void*>(lp), &l->items[i].data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
      }
      const std::string& t = l->items[i].text;
      if (lp) std::memcpy(reinterpret_cast<char*>(lp), t.c_str(), t.size() + 1);
      return LRESULT(t.size());
    }
    case LB_GETTEXTLEN: {
      int i = int(LONG(wp));
      if (i < 0 || i >= int(l->items.size())) return LB_ERR;
      return l->HasStrings() ? LRESULT(l->items[i].text.size()) : LRESULT(sizeof(ULONG_PTR));
    }
    case LB_GETITEMDATA: {
      int i = int(LONG(wp));
      if (i < 0 || i >= int(l->items.size())) return LB_ERR;
      return LRESULT(l->items[i].data);
    }
    case LB_SETITEMDATA: {
      int i = int(LONG(wp));
      if (i < 0 || i >= int(l->items.size())) return LB_ERR;
      l->items[i].data = ULONG_PTR(lp);
      return TRUE;
    }
    case LB_GETCURSEL: return l->cur;  // in a multiple-selection list: the caret item
    case LB_SETCURSEL: {
      if (l->Multi()) return LB_ERR;
      int i = int(LONG(wp));
      if (i < 0 || i >= l->Count()) {
        SetCur(l, -1);
        return LB_ERR;
      }
      SetCur(l, i);
      EnsureVisible(l, i);
      return i;
    }
    case LB_GETSEL: {
      int i = int(LONG(wp));
      if (i < 0 || i >= l->Count()) return LB_ERR;
      return IsSel(l, i) ? 1 : 0;
    }
    case LB_SETSEL: {
      if (!l->Multi()) return LB_ERR;
      int i = int(LONG(lp));
      if (i == -1) {
        for (int k = 0; k < int(l->items.size()); ++k) SetItemSel(l, k, wp != 0);
        return 0;
      }
      if (i < 0 || i >= int(l->items.size())) return LB_ERR;
      SetItemSel(l, i, wp != 0);
      SetCur(l, i);
      if (wp) l->anchor = i;
      return 0;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (!l->Multi()) return LB_ERR;
      if (msg == LB_SELITEMRANGE) {
        SelectRange(l, LOWORD(lp), HIWORD(lp), wp != 0);
      } else {
        int a = int(LONG(wp)), b = int(LONG(lp));
        if (a <= b)
          SelectRange(l, a, b, true);
        else
          SelectRange(l, b, a, false);
      }
      return 0;
    }
    case LB_GETSELCOUNT: return l->Multi() ? SelCount(l) : LB_ERR;
    case LB_GETSELITEMS: {
      if (!l->Multi()) return LB_ERR;
      int* out = reinterpret_cast<int*>(lp);
      int n = 0;
      for (int i = 0; i < int(l->items.size()) && n < int(wp); ++i)
        if (l->items[i].sel) {
          if (out) out[n] = i;
          ++n;
        }
      return n;
    }
    case LB_FINDSTRING: return Find(l, int(LONG(wp)), reinterpret_cast<const char*>(lp), false);
    case LB_FINDSTRINGEXACT: return Find(l, int(LONG(wp)), reinterpret_cast<const char*>(lp), true);
    case LB_SELECTSTRING: {
      int i = Find(l, int(LONG(wp)), reinterpret_cast<const char*>(lp), false);
      if (i < 0) return LB_ERR;
      if (l->Multi()) {
        SetItemSel(l, i, true);
        SetCur(l, i);
      } else {
        SetCur(l, i);
      }
      EnsureVisible(l, i);
      return i;
    }
    case LB_GETTOPINDEX: return l->top;
    case LB_SETTOPINDEX: {
      int i = int(LONG(wp));
      if (i < 0 || (i >= l->Count() && l->Count() > 0)) return LB_ERR;
      SetTop(l, i);
      return 0;
    }
    case LB_GETITEMHEIGHT: {
      int i = int(LONG(wp));
      if (l->Variable() && (i < 0 || i >= l->Count())) return LB_ERR;
      return ItemHeight(l, i);
    }
    case LB_SETITEMHEIGHT: {
      int hgt = LOWORD(lp);
      if (hgt <= 0 || hgt > 255) return LB_ERR;
      int i = int(LONG(wp));
      if (l->Variable()) {
        if (i < 0 || i >= int(l->items.size())) return LB_ERR;
        l->items[i].height = hgt;
      } else {
        l->itemH = hgt;
      }
      InvalidateRect(h, nullptr, TRUE);
      UpdateBar(l);
      return 0;
    }
    case LB_GETITEMRECT: {
      int i = int(LONG(wp));
      if (i < 0 || i >= std::max(1, l->Count())) return LB_ERR;
      if (auto* r = reinterpret_cast<RECT*>(lp)) *r = ItemRect(l, i);
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      bool outside;
      int i = ItemAt(l, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), &outside);
      RECT c = Client(l);
      if (!Inside(c, GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) outside = true;
      return MAKELONG(WORD(i), WORD(outside ? 1 : 0));
    }
    case LB_GETHORIZONTALEXTENT: return l->hExtent;
    case LB_SETHORIZONTALEXTENT:
      l->hExtent = int(wp);
      l->xoff = std::clamp(l->xoff, 0, std::max(0, l->hExtent - int(Client(l).right)));
      UpdateBar(l);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_SETCOLUMNWIDTH:
      l->colW = int(wp);
      UpdateBar(l);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETCARETINDEX: return l->cur < 0 ? 0 : l->cur;
    case LB_SETCARETINDEX: {
      int i = int(LONG(wp));
      if (i < 0 || i >= l->Count()) return LB_ERR;
      SetCur(l, i);
      if (!lp) EnsureVisible(l, i);
      return 0;
    }
    case LB_GETANCHORINDEX: return l->anchor;
    case LB_SETANCHORINDEX: {
      int i = int(LONG(wp));
      if (i < -1 || i >= l->Count()) return LB_ERR;
      l->anchor = i;
      return 0;
    }
    case LB_SETTABSTOPS: return TRUE;
    case LB_INITSTORAGE: return LRESULT(wp);
    case LB_GETLOCALE: return 0x0804;
    case LB_SETLOCALE: return 0x0804;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pvstd
