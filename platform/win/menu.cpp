// Menus of the platform: menu objects with generation-counted handles, the
// system menu, the menu bar, and pop-up menus tracked in a modal loop with
// classic drawing, keyboard navigation and owner drawing.
#include <algorithm>
#include <cstring>
#include "platform/win/wndinternal.h"

namespace pvwin {

namespace {

struct Item {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  ULONG_PTR data = 0;
  HBITMAP bitmap = nullptr;  // hbmpItem, including the predefined HBMMENU_* markers
  HBITMAP checked = nullptr, unchecked = nullptr;
  RECT rect{0, 0, 0, 0};  // in the pop-up's client area while tracked
};

struct Menu {
  HMENU h = nullptr;
  bool popup = false;
  bool system = false;
  std::vector<Item> items;
};

struct Slot {
  Menu* m = nullptr;
  std::uint32_t gen = 0;
};
std::vector<Slot>& Slots() {
  static auto* s = new std::vector<Slot>();  // lives as long as the process
  return *s;
}

Menu* M(HMENU h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  std::uint32_t index = std::uint32_t(v & 0xFFFFFFFFu) - 16u;
  auto& s = Slots();
  if (index >= s.size() || s[index].gen != std::uint32_t(v >> 32) || !s[index].m) return nullptr;
  return s[index].m;
}

HMENU NewMenu(bool popup) {
  auto& s = Slots();
  auto* m = new Menu();
  m->popup = popup;
  std::uint32_t index = 0;
  for (; index < s.size(); ++index)
    if (!s[index].m) break;
  if (index == s.size()) s.push_back({});
  ++s[index].gen;
  s[index].m = m;
  m->h = reinterpret_cast<HMENU>((std::uintptr_t(s[index].gen) << 32) | std::uintptr_t(index + 16u));
  return m->h;
}

// Finds an item by command (searching submenus) or by position.
Item* FindItem(HMENU h, UINT item, bool byPosition, Menu** owner = nullptr) {
  Menu* m = M(h);
  if (!m) return nullptr;
  if (byPosition) {
    if (item >= m->items.size()) return nullptr;
    if (owner) *owner = m;
    return &m->items[item];
  }
  for (Item& it : m->items) {
    if (it.id == item && !it.sub) {
      if (owner) *owner = m;
      return &it;
    }
    if (it.sub)
      if (Item* r = FindItem(it.sub, item, false, owner)) return r;
  }
  for (Item& it : m->items)  // a submenu's own id
    if (it.id == item) {
      if (owner) *owner = m;
      return &it;
    }
  return nullptr;
}

Item FromFlags(UINT flags, UINT_PTR id, LPCSTR text) {
  Item it;
  it.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MF_HILITE);
  if (it.state & (MF_GRAYED | MF_DISABLED)) it.state |= MFS_GRAYED;
  if (flags & MF_POPUP) {
    it.sub = reinterpret_cast<HMENU>(id);
    it.id = UINT(id);
  } else {
    it.id = UINT(id);
  }
  if (flags & MF_OWNERDRAW) it.data = reinterpret_cast<ULONG_PTR>(text);
  else if (flags & MF_BITMAP) it.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  else if (!(flags & MF_SEPARATOR) && text) it.text = text;
  return it;
}

bool Insert(HMENU h, UINT pos, bool byPosition, const Item& it) {
  Menu* m = M(h);
  if (!m) return false;
  std::size_t at = m->items.size();
  if (byPosition) {
    if (pos < m->items.size()) at = pos;
  } else if (pos != 0xFFFFFFFF) {
    for (std::size_t i = 0; i < m->items.size(); ++i)
      if (m->items[i].id == pos) at = i;
  }
  if (it.state & MFS_DEFAULT)
    for (Item& o : m->items) o.state &= ~MFS_DEFAULT;
  m->items.insert(m->items.begin() + std::ptrdiff_t(at), it);
  return true;
}

// The system menu of a window, as the platform builds it.
HMENU BuildSystemMenu(Wnd* w) {
  HMENU h = NewMenu(true);
  Menu* m = M(h);
  m->system = true;
  auto add = [&](UINT id, const char* text, HBITMAP bmp) {
    Item it;
    it.id = id;
    it.text = text;
    it.bitmap = bmp;
    m->items.push_back(it);
  };
  add(SC_RESTORE, "\xBB\xB9\xD4\xAD(&R)", HBMMENU_POPUP_RESTORE);
  add(SC_MOVE, "\xD2\xC6\xB6\xAF(&M)", nullptr);
  add(SC_SIZE, "\xB4\xF3\xD0\xA1(&S)", nullptr);
  add(SC_MINIMIZE, "\xD7\xEE\xD0\xA1\xBB\xAF(&N)", HBMMENU_POPUP_MINIMIZE);
  add(SC_MAXIMIZE, "\xD7\xEE\xB4\xF3\xBB\xAF(&X)", HBMMENU_POPUP_MAXIMIZE);
  Item sep;
  sep.type = MFT_SEPARATOR;
  m->items.push_back(sep);
  add(SC_CLOSE, "\xB9\xD8\xB1\xD5(&C)\tAlt+F4", HBMMENU_POPUP_CLOSE);
  m->items.back().state |= MFS_DEFAULT;
  (void)w;
  return h;
}

// Grays the system menu's items that do not apply in the window's state.
void UpdateSystemMenu(Wnd* w, HMENU h) {
  Menu* m = M(h);
  if (!m) return;
  bool max = (w->style & WS_MAXIMIZE) != 0, min = (w->style & WS_MINIMIZE) != 0;
  for (Item& it : m->items) {
    bool gray = false;
    switch (it.id) {
      case SC_RESTORE: gray = !max && !min; break;
      case SC_MOVE: gray = max; break;
      case SC_SIZE: gray = max || min || !(w->style & WS_THICKFRAME); break;
      case SC_MINIMIZE: gray = min || !(w->style & WS_MINIMIZEBOX); break;
      case SC_MAXIMIZE: gray = max || !(w->style & WS_MAXIMIZEBOX); break;
      case SC_CLOSE: gray = w->cls && (w->cls->style & CS_NOCLOSE); break;
      default: continue;
    }
    if (it.type & MFT_SEPARATOR) continue;
    if (gray) it.state |= MFS_GRAYED;
    else it.state &= ~MFS_GRAYED;
  }
}

std::string StripTab(const std::string& s, std::string* accel) {
  std::size_t t = s.find('\t');
  if (accel) *accel = t == std::string::npos ? std::string() : s.substr(t + 1);
  return t == std::string::npos ? s : s.substr(0, t);
}

// The mnemonic of an item: the character after '&' (lower case).
int Mnemonic(const std::string& s) {
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    if (IsLeadByte(BYTE(s[i]))) {
      ++i;
      continue;
    }
    if (s[i] == '&' && s[i + 1] != '&') {
      char c = s[i + 1];
      return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : BYTE(c);
    }
  }
  return -1;
}

// ---- the pop-up tracking loop ----

struct Level {
  HMENU menu = nullptr;
  HWND popup = nullptr;
  int selected = -1;
};

struct Tracker {
  std::vector<Level> levels;  // the root pop-up first, open submenus after it
  HWND owner = nullptr;
  UINT flags = 0;
  bool done = false;
  HMENU chosenMenu = nullptr;
  int chosen = -1;
  HFONT font = nullptr;
};
Tracker* g_tracker = nullptr;

bool Selectable(const Item& it) { return !(it.type & MFT_SEPARATOR); }

void NotifySelect(Tracker& t, Level& l) {
  if (t.flags & TPM_NONOTIFY) return;
  Menu* m = M(l.menu);
  if (!m) return;
  if (l.selected < 0) return;
  const Item& it = m->items[std::size_t(l.selected)];
  UINT f = (it.state & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE)) | MF_HILITE | (it.sub ? MF_POPUP : 0) |
           (it.type & (MF_OWNERDRAW | MF_BITMAP)) | (m->system ? MF_SYSMENU : 0);
  Send(t.owner, WM_MENUSELECT, MAKEWPARAM(it.sub ? l.selected : int(it.id), int(f)),
       reinterpret_cast<LPARAM>(l.menu));
}

void CloseLevelsAbove(Tracker& t, std::size_t keep) {
  while (t.levels.size() > keep) {
    HWND p = t.levels.back().popup;
    t.levels.pop_back();
    if (W(p)) DestroyWindow(p);
  }
}

void Select(Tracker& t, std::size_t level, int index) {
  if (level >= t.levels.size()) return;
  CloseLevelsAbove(t, level + 1);
  Level& l = t.levels[level];
  if (index == l.selected) return;
  l.selected = index;
  if (W(l.popup)) InvalidateRect(l.popup, nullptr, TRUE);
  NotifySelect(t, l);
}

void Layout(Tracker& t, HMENU menu, HDC dc, int* width, int* height) {
  Menu* m = M(menu);
  int y = 2, maxText = 0, maxAccel = 0;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    Item& it = m->items[i];
    int h;
    if (it.type & MFT_SEPARATOR) {
      h = 9;
    } else if (it.type & MFT_OWNERDRAW) {
      MEASUREITEMSTRUCT mis;
      mis.CtlType = ODT_MENU;
      mis.itemID = it.id;
      mis.itemData = it.data;
      mis.itemHeight = 19;
      Send(t.owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
      h = int(mis.itemHeight);
      maxText = std::max(maxText, int(mis.itemWidth));
    } else {
      std::string accel, text = StripTab(it.text, &accel);
      SIZE sz;
      GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
      maxText = std::max<int>(maxText, sz.cx);
      if (!accel.empty()) {
        GetTextExtentPoint32A(dc, accel.c_str(), int(accel.size()), &sz);
        maxAccel = std::max<int>(maxAccel, sz.cx);
      }
      h = 19;
    }
    it.rect = {2, y, 0, y + h};
    y += h;
  }
  *width = 2 + 19 + maxText + (maxAccel ? 12 + maxAccel : 0) + 19 + 2;
  for (Item& it : m->items) it.rect.right = *width - 2;
  *height = y + 2;
}

int ItemAt(HMENU menu, POINT client) {
  Menu* m = M(menu);
  if (!m) return -1;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const RECT& r = m->items[i].rect;
    if (client.x >= r.left && client.x < r.right && client.y >= r.top && client.y < r.bottom) return int(i);
  }
  return -1;
}

void PaintPopup(HWND h) {
  Tracker* t = g_tracker;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT cr;
  GetClientRect(h, &cr);
  Level* level = nullptr;
  if (t)
    for (Level& l : t->levels)
      if (l.popup == h) level = &l;
  Menu* m = level ? M(level->menu) : nullptr;
  if (m) {
    FillRect(dc, &cr, GetSysColorBrush(COLOR_MENU));
    RECT edge = cr;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    HGDIOBJ oldFont = t->font ? SelectObject(dc, t->font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < m->items.size(); ++i) {
      Item& it = m->items[i];
      RECT r = it.rect;
      bool sel = int(i) == level->selected;
      bool gray = (it.state & MFS_GRAYED) != 0;
      if (it.type & MFT_SEPARATOR) {
        RECT line{r.left + 1, r.top + 3, r.right - 1, r.top + 5};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        continue;
      }
      if (it.type & MFT_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_MENU;
        dis.itemID = it.id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (sel ? ODS_SELECTED : 0) | (gray ? ODS_GRAYED : 0) | ((it.state & MFS_CHECKED) ? ODS_CHECKED : 0);
        dis.hwndItem = reinterpret_cast<HWND>(level->menu);
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = it.data;
        Send(t->owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        continue;
      }
      if (sel) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(gray ? COLOR_GRAYTEXT : sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
      if (it.state & MFS_CHECKED) {
        RECT c{r.left, r.top, r.left + 19, r.bottom};
        DrawFrameControl(dc, &c, DFC_MENU, (it.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK);
      }
      std::string accel, text = StripTab(it.text, &accel);
      RECT tr{r.left + 19, r.top, r.right - 19, r.bottom};
      DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      if (!accel.empty()) DrawTextA(dc, accel.c_str(), int(accel.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
      if (it.sub) {
        RECT a{r.right - 19, r.top, r.right, r.bottom};
        DrawFrameControl(dc, &a, DFC_MENU, DFCS_MENUARROW);
      }
    }
    if (oldFont) SelectObject(dc, oldFont);
  }
  EndPaint(h, &ps);
}

LRESULT PopupProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: PaintPopup(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

void EnsurePopupClass() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXA wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = PopupProc;
  wc.lpszClassName = "#32768";
  RegisterClassExA(&wc);
}

// Shows `menu` as a pop-up at (x, y), aligned by the TPM_* flags.
HWND OpenPopup(Tracker& t, HMENU menu, int x, int y, UINT flags, int index) {
  Send(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, M(menu) && M(menu)->system ? 1 : 0));
  if (!M(menu)) return nullptr;
  int width = 0, height = 0;
  HDC screen = GetDC(nullptr);
  HGDIOBJ of = SelectObject(screen, t.font);
  Layout(t, menu, screen, &width, &height);
  SelectObject(screen, of);
  ReleaseDC(nullptr, screen);
  if (flags & TPM_RIGHTALIGN) x -= width;
  else if (flags & TPM_CENTERALIGN) x -= width / 2;
  if (flags & TPM_BOTTOMALIGN) y -= height;
  else if (flags & TPM_VCENTERALIGN) y -= height / 2;
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  x = std::clamp(x, 0, std::max(0, sw - width));
  y = std::clamp(y, 0, std::max(0, sh - height));
  HWND p = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "#32768", "", WS_POPUP, x, y, width,
                           height, t.owner, nullptr, nullptr, nullptr);
  ShowWindow(p, SW_SHOWNA);
  return p;
}

// Opens the submenu of the selected item of the top level.
bool OpenSub(Tracker& t, bool selectFirst);

int Step(HMENU menu, int from, int dir) {
  Menu* m = M(menu);
  int n = int(m->items.size());
  if (n == 0) return -1;
  int i = from;
  for (int k = 0; k < n; ++k) {
    i = (i + dir + n) % n;
    if (Selectable(m->items[std::size_t(i)])) return i;
  }
  return -1;
}

bool OpenSub(Tracker& t, bool selectFirst) {
  Level& l = t.levels.back();
  Menu* m = M(l.menu);
  if (!m || l.selected < 0) return false;
  const Item& it = m->items[std::size_t(l.selected)];
  if (!it.sub || (it.state & MFS_GRAYED) || !M(it.sub)) return false;
  RECT pr;
  GetWindowRect(l.popup, &pr);
  Level sub;
  sub.menu = it.sub;
  int index = l.selected;
  sub.popup = OpenPopup(t, it.sub, pr.left + it.rect.right, pr.top + it.rect.top - 2, 0, index);
  if (!sub.popup) return false;
  t.levels.push_back(sub);
  if (selectFirst) Select(t, t.levels.size() - 1, Step(sub.menu, -1, 1));
  return true;
}

void Choose(Tracker& t, std::size_t level, int index) {
  Menu* m = level < t.levels.size() ? M(t.levels[level].menu) : nullptr;
  if (!m || index < 0) return;
  const Item& it = m->items[std::size_t(index)];
  if (!Selectable(it) || (it.state & MFS_GRAYED)) return;
  if (it.sub) {
    Select(t, level, index);
    OpenSub(t, true);
    return;
  }
  t.chosenMenu = t.levels[level].menu;
  t.chosen = index;
  t.done = true;
}

}  // namespace

void DrawMenuBar(Wnd* w, HDC dc, RECT r) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
  Menu* m = M(w->menu);
  if (!m) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
  int x = r.left + 6;
  for (const Item& it : m->items) {
    if (it.type & MFT_SEPARATOR) continue;
    std::string text = StripTab(it.text, nullptr);
    SIZE sz;
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
    RECT tr{x, r.top, x + sz.cx + 12, r.bottom};
    if (it.state & MFS_GRAYED) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    x = tr.right;
  }
}

}  // namespace pvwin

using namespace pvwin;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU h) {
  Menu* m = M(h);
  if (!m) return FALSE;
  for (Item& it : m->items)
    if (it.sub) DestroyMenu(it.sub);
  auto v = reinterpret_cast<std::uintptr_t>(h);
  Slots()[std::uint32_t(v & 0xFFFFFFFFu) - 16u].m = nullptr;
  delete m;
  return TRUE;
}

BOOL IsMenu(HMENU h) { return M(h) != nullptr; }

BOOL AppendMenuA(HMENU h, UINT flags, UINT_PTR id, LPCSTR text) {
  return Insert(h, 0xFFFFFFFF, true, FromFlags(flags, id, text));
}

BOOL InsertMenuA(HMENU h, UINT pos, UINT flags, UINT_PTR id, LPCSTR text) {
  return Insert(h, pos, (flags & MF_BYPOSITION) != 0, FromFlags(flags, id, text));
}

BOOL ModifyMenuA(HMENU h, UINT pos, UINT flags, UINT_PTR id, LPCSTR text) {
  Item* it = FindItem(h, pos, (flags & MF_BYPOSITION) != 0);
  if (!it) return FALSE;
  *it = FromFlags(flags, id, text);
  return TRUE;
}

static void ApplyInfo(Item& it, const MENUITEMINFOA* mi) {
  if (mi->fMask & (MIIM_TYPE | MIIM_FTYPE)) it.type = mi->fType & ~UINT(MF_POPUP);
  if (mi->fMask & MIIM_STATE) it.state = mi->fState;
  if (mi->fMask & MIIM_ID) it.id = mi->wID;
  if (mi->fMask & MIIM_SUBMENU) it.sub = mi->hSubMenu;
  if (mi->fMask & MIIM_DATA) it.data = mi->dwItemData;
  if (mi->fMask & MIIM_CHECKMARKS) {
    it.checked = mi->hbmpChecked;
    it.unchecked = mi->hbmpUnchecked;
  }
  if (mi->fMask & MIIM_BITMAP) it.bitmap = mi->hbmpItem;
  if ((mi->fMask & MIIM_STRING) || ((mi->fMask & MIIM_TYPE) && !(mi->fType & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW))))
    it.text = mi->dwTypeData ? mi->dwTypeData : "";
  if ((mi->fMask & MIIM_TYPE) && (mi->fType & MFT_BITMAP)) it.bitmap = reinterpret_cast<HBITMAP>(mi->dwTypeData);
  if ((mi->fMask & MIIM_TYPE) && (mi->fType & MFT_OWNERDRAW)) it.data = reinterpret_cast<ULONG_PTR>(mi->dwTypeData);
}

BOOL InsertMenuItemA(HMENU h, UINT item, BOOL byPosition, const MENUITEMINFOA* mi) {
  if (!mi || !M(h)) return FALSE;
  Item it;
  ApplyInfo(it, mi);
  return Insert(h, item, byPosition != FALSE, it);
}

BOOL SetMenuItemInfoA(HMENU h, UINT item, BOOL byPosition, const MENUITEMINFOA* mi) {
  Item* it = mi ? FindItem(h, item, byPosition != FALSE) : nullptr;
  if (!it) return FALSE;
  ApplyInfo(*it, mi);
  return TRUE;
}

BOOL GetMenuItemInfoA(HMENU h, UINT item, BOOL byPosition, MENUITEMINFOA* mi) {
  Item* it = mi ? FindItem(h, item, byPosition != FALSE) : nullptr;
  if (!it) return FALSE;
  if (mi->fMask & (MIIM_TYPE | MIIM_FTYPE)) mi->fType = it->type;
  if (mi->fMask & MIIM_STATE) mi->fState = it->state;
  if (mi->fMask & MIIM_ID) mi->wID = it->id;
  if (mi->fMask & MIIM_SUBMENU) mi->hSubMenu = it->sub;
  if (mi->fMask & MIIM_DATA) mi->dwItemData = it->data;
  if (mi->fMask & MIIM_CHECKMARKS) {
    mi->hbmpChecked = it->checked;
    mi->hbmpUnchecked = it->unchecked;
  }
  if (mi->fMask & MIIM_BITMAP) mi->hbmpItem = it->bitmap;
  if (mi->fMask & (MIIM_STRING | MIIM_TYPE)) {
    if (mi->dwTypeData && mi->cch > 0) {
      std::size_t n = std::min<std::size_t>(it->text.size(), mi->cch - 1);
      std::memcpy(mi->dwTypeData, it->text.data(), n);
      mi->dwTypeData[n] = 0;
    }
    mi->cch = UINT(it->text.size());
  }
  return TRUE;
}

BOOL RemoveMenu(HMENU h, UINT pos, UINT flags) {
  Menu* owner = nullptr;
  Item* it = FindItem(h, pos, (flags & MF_BYPOSITION) != 0, &owner);
  if (!it || !owner) return FALSE;
  owner->items.erase(owner->items.begin() + (it - owner->items.data()));
  return TRUE;
}

BOOL DeleteMenu(HMENU h, UINT pos, UINT flags) {
  Item* it = FindItem(h, pos, (flags & MF_BYPOSITION) != 0);
  if (!it) return FALSE;
  HMENU sub = it->sub;
  RemoveMenu(h, pos, flags);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

int GetMenuItemCount(HMENU h) {
  Menu* m = M(h);
  return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU h, int pos) {
  Menu* m = M(h);
  if (!m || pos < 0 || std::size_t(pos) >= m->items.size()) return 0xFFFFFFFF;
  const Item& it = m->items[std::size_t(pos)];
  return it.sub ? 0xFFFFFFFF : it.id;
}

HMENU GetSubMenu(HMENU h, int pos) {
  Menu* m = M(h);
  if (!m || pos < 0 || std::size_t(pos) >= m->items.size()) return nullptr;
  return m->items[std::size_t(pos)].sub;
}

int GetMenuStringA(HMENU h, UINT item, LPSTR buf, int max, UINT flags) {
  Item* it = FindItem(h, item, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0;
  if (!buf || max <= 0) return int(it->text.size());
  int n = std::min<int>(int(it->text.size()), max - 1);
  std::memcpy(buf, it->text.data(), std::size_t(n));
  buf[n] = 0;
  return n;
}

UINT GetMenuState(HMENU h, UINT item, UINT flags) {
  Item* it = FindItem(h, item, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0xFFFFFFFF;
  if (it->sub) return (UINT(GetMenuItemCount(it->sub)) << 8) | MF_POPUP | (it->state & 0xFF);
  return it->state | it->type;
}

DWORD CheckMenuItem(HMENU h, UINT item, UINT check) {
  Item* it = FindItem(h, item, (check & MF_BYPOSITION) != 0);
  if (!it) return 0xFFFFFFFF;
  DWORD old = it->state & MF_CHECKED;
  if (check & MF_CHECKED) it->state |= MFS_CHECKED;
  else it->state &= ~MFS_CHECKED;
  return old;
}

BOOL EnableMenuItem(HMENU h, UINT item, UINT enable) {
  Item* it = FindItem(h, item, (enable & MF_BYPOSITION) != 0);
  if (!it) return -1;
  BOOL old = it->state & MFS_GRAYED;
  if (enable & (MF_GRAYED | MF_DISABLED)) it->state |= MFS_GRAYED;
  else it->state &= ~MFS_GRAYED;
  return old;
}

UINT GetMenuDefaultItem(HMENU h, UINT byPosition, UINT flags) {
  Menu* m = M(h);
  if (!m) return 0xFFFFFFFF;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    if (!(it.state & MFS_DEFAULT)) continue;
    if ((it.state & MFS_GRAYED) && !(flags & GMDI_USEDISABLED)) return 0xFFFFFFFF;
    if (it.sub && (flags & GMDI_GOINTOPOPUPS)) {
      UINT r = GetMenuDefaultItem(it.sub, byPosition, flags);
      if (r != 0xFFFFFFFF) return r;
    }
    return byPosition ? UINT(i) : it.id;
  }
  return 0xFFFFFFFF;
}

BOOL SetMenuDefaultItem(HMENU h, UINT item, UINT byPosition) {
  Menu* m = M(h);
  if (!m) return FALSE;
  for (Item& it : m->items) it.state &= ~MFS_DEFAULT;
  if (item == 0xFFFFFFFF) return TRUE;
  Item* it = FindItem(h, item, byPosition != 0);
  if (!it) return FALSE;
  it->state |= MFS_DEFAULT;
  return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  Wnd* w = W(hwnd);
  if (!w) return nullptr;
  if (revert) {
    if (w->sysMenu) DestroyMenu(w->sysMenu);
    w->sysMenu = nullptr;
    return nullptr;
  }
  if (!(w->style & WS_SYSMENU)) return nullptr;
  if (!M(w->sysMenu)) w->sysMenu = BuildSystemMenu(w);
  UpdateSystemMenu(w, w->sysMenu);
  return w->sysMenu;
}

HMENU GetMenu(HWND hwnd) {
  Wnd* w = W(hwnd);
  return w && !(w->style & WS_CHILD) ? w->menu : nullptr;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Wnd* w = W(hwnd);
  if (!w || (w->style & WS_CHILD) || (menu && !M(menu))) return FALSE;
  w->menu = menu;
  SetWindowPosImpl(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
  Wnd* w = W(hwnd);
  if (!w) return FALSE;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, TPMPARAMS*) {
  Menu* m = M(menu);
  if (!m || !W(owner) || g_tracker) return FALSE;
  EnsurePopupClass();
  Tracker t;
  t.owner = owner;
  t.flags = flags;
  NONCLIENTMETRICSA ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  t.font = CreateFontIndirectA(&ncm.lfMenuFont);
  Tracker* saved = g_tracker;
  g_tracker = &t;
  struct Cleanup {  // an exception from a message handler still closes the menu
    Tracker& t;
    Tracker* saved;
    bool armed = true;
    void Run() {
      if (!armed) return;
      armed = false;
      HWND root = t.levels.empty() ? nullptr : t.levels.front().popup;
      if (S().capture == root && root) ReleaseCapture();
      CloseLevelsAbove(t, 0);
      DeleteObject(t.font);
      g_tracker = saved;
    }
    ~Cleanup() { Run(); }
  } cleanup{t, saved};
  Send(owner, WM_ENTERMENULOOP, TRUE, 0);
  Level root;
  root.menu = menu;
  root.popup = OpenPopup(t, menu, x, y, flags, 0);
  if (!root.popup) return FALSE;
  t.levels.push_back(root);
  SetCapture(root.popup);
  State& s = S();
  MSG msg;
  while (!t.done && !t.levels.empty() && W(t.levels.front().popup) && M(menu)) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (s.capture != t.levels.front().popup) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
      // the deepest open level under the cursor
      int level = -1, at = -1;
      for (int i = int(t.levels.size()) - 1; i >= 0 && level < 0; --i) {
        RECT pr;
        GetWindowRect(t.levels[std::size_t(i)].popup, &pr);
        if (msg.pt.x >= pr.left && msg.pt.x < pr.right && msg.pt.y >= pr.top && msg.pt.y < pr.bottom) {
          level = i;
          at = ItemAt(t.levels[std::size_t(i)].menu, {msg.pt.x - pr.left, msg.pt.y - pr.top});
        }
      }
      if (msg.message == WM_MOUSEMOVE) {
        if (level >= 0 && at >= 0) {
          bool changed = t.levels[std::size_t(level)].selected != at || std::size_t(level) + 1 != t.levels.size();
          Select(t, std::size_t(level), at);
          if (changed && std::size_t(level) + 1 == t.levels.size()) OpenSub(t, false);
        }
      } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
        if (level >= 0 && at >= 0) Choose(t, std::size_t(level), at);
      } else if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) {
        if (level < 0) t.done = true;  // a click elsewhere closes the menu
      }
      continue;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      std::size_t top = t.levels.size() - 1;
      Level& l = t.levels[top];
      switch (msg.wParam) {
        case VK_DOWN: Select(t, top, Step(l.menu, l.selected < 0 ? -1 : l.selected, 1)); break;
        case VK_UP: Select(t, top, Step(l.menu, l.selected < 0 ? 0 : l.selected, -1)); break;
        case VK_HOME: Select(t, top, Step(l.menu, -1, 1)); break;
        case VK_END: Select(t, top, Step(l.menu, 0, -1)); break;
        case VK_RIGHT: OpenSub(t, true); break;
        case VK_LEFT:
          if (top > 0) CloseLevelsAbove(t, top);
          break;
        case VK_RETURN: Choose(t, top, l.selected); break;
        case VK_ESCAPE:
          if (top > 0) CloseLevelsAbove(t, top);
          else t.done = true;
          break;
        case VK_MENU:
        case VK_F10: t.done = true; break;
        default: TranslateMessage(&msg); break;
      }
      continue;
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
      int c = int(msg.wParam);
      if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
      std::size_t top = t.levels.size() - 1;
      Menu* mm = M(t.levels[top].menu);
      int found = -1, count = 0;
      for (std::size_t i = 0; mm && i < mm->items.size(); ++i)
        if (Mnemonic(mm->items[i].text) == c) {
          if (found < 0) found = int(i);
          ++count;
        }
      if (found >= 0) {
        Select(t, top, found);
        if (count == 1) Choose(t, top, found);
      }
      continue;
    }
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) continue;
    DispatchMessageA(&msg);
  }
  UINT id = 0;
  bool system = false;
  if (Menu* mm = M(t.chosenMenu); mm && t.chosen >= 0) {
    id = mm->items[std::size_t(t.chosen)].id;
    system = mm->system;
  }
  // cleanup closes the pop-ups, releases the capture and the font
  bool chosen = t.chosen >= 0;
  cleanup.Run();
  if (W(owner)) {
    if (!(flags & TPM_NONOTIFY)) Send(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    Send(owner, WM_EXITMENULOOP, TRUE, 0);
  }
  if (flags & TPM_RETURNCMD) return BOOL(id);
  if (chosen && !(flags & TPM_NONOTIFY) && W(owner)) PostMessageA(owner, system ? WM_SYSCOMMAND : WM_COMMAND, id, 0);
  return chosen;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu() {
  if (!g_tracker) return FALSE;
  g_tracker->done = true;
  return TRUE;
}
