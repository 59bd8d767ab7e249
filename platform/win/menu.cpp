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
  unsigned version = 0;  // counts changes, so that an open pop-up lays itself out again
  int barSel = -1;       // the bar's highlighted title while the bar is tracked
  int barButton = 0;     // the pressed button of a maximised MDI child (1 min, 2 restore, 3 close)
  bool barOpen = false;  // ... and whether its drop-down is open (drawn pressed)
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
  ++m->version;
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

// The mnemonic of an item: the character after '&' (lower case); "&&" is a
// literal '&'.
int Mnemonic(const std::string& s) {
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    if (IsLeadByte(BYTE(s[i]))) {
      ++i;
      continue;
    }
    if (s[i] == '&' && s[i + 1] == '&') {
      ++i;
      continue;
    }
    if (s[i] == '&') {
      char c = s[i + 1];
      return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : BYTE(c);
    }
  }
  return -1;
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

// ---- drawing helpers ----

// The menu font, and its bold form for default items.
HFONT MenuFont(bool bold) {
  NONCLIENTMETRICSA ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  if (bold) ncm.lfMenuFont.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&ncm.lfMenuFont);
}

// Item text; a disabled item that is not highlighted is drawn embossed.
void DrawItemText(HDC dc, const std::string& s, RECT r, UINT format, bool gray, bool selected, COLORREF normal) {
  if (gray && !selected) {
    RECT o{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextA(dc, s.c_str(), int(s.size()), &o, format);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
  } else {
    SetTextColor(dc, gray ? GetSysColor(COLOR_GRAYTEXT) : normal);
  }
  DrawTextA(dc, s.c_str(), int(s.size()), &r, format);
}

// A check mark, bullet or sub-menu arrow in Color. The frame control draws
// these as masks, black on white; only the black pixels go onto the menu.
void DrawMenuMark(HDC dc, const RECT& r, UINT kind, COLORREF color) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT m{0, 0, w, h};
  DrawFrameControl(mem, &m, DFC_MENU, kind);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((GetPixel(mem, x, y) & 0xFFFFFF) == 0) SetPixel(dc, r.left + x, r.top + y, color);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

// ---- the menu bar's geometry ----

constexpr int kBarHeight = 19;

bool HasBar(Wnd* w) { return w && w->menu && M(w->menu) && IsTopLevel(w) && !(w->style & WS_CHILD); }

int BarFrameWidth(Wnd* w) {
  if (w->style & WS_THICKFRAME) return 4;
  if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) return 3;
  if (w->style & WS_BORDER) return 1;
  return 0;
}

// The bar in window coordinates: below the caption, inside the frame.
RECT BarRect(Wnd* w) {
  int f = BarFrameWidth(w);
  CaptionLayout c = GetCaptionLayout(w);
  int top = c.present ? c.bar.bottom + 1 : f;
  return {f, top, w->rect.Width() - f, top + kBarHeight};
}

// A maximised MDI child of the frame shows its icon at the left of the frame's
// bar and its minimise, restore and close buttons at the right.
struct ChildButtons {
  HWND child = nullptr;
  RECT icon{0, 0, 0, 0}, min{0, 0, 0, 0}, restore{0, 0, 0, 0}, close{0, 0, 0, 0};
};

ChildButtons GetChildButtons(Wnd* w, RECT bar) {
  ChildButtons b;
  for (Wnd* c = w->firstChild; c && !b.child; c = c->next)
    if (IsMdiClient(c->h)) {
      BOOL max = FALSE;
      HWND active = reinterpret_cast<HWND>(Send(c->h, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)));
      if (max && W(active)) b.child = active;
    }
  if (!b.child) return b;
  int top = bar.top + 2, bottom = bar.bottom - 3;
  b.icon = {bar.left + 2, bar.top + 1, bar.left + 18, bar.top + 17};
  b.close = {bar.right - 18, top, bar.right - 2, bottom};
  b.restore = {b.close.left - 18, top, b.close.left - 2, bottom};
  b.min = {b.restore.left - 16, top, b.restore.left, bottom};
  return b;
}

bool PtIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Places the bar's items from left to right in window coordinates; items that
// do not fit, separators and right-justify markers get an empty rectangle.
void LayoutBar(Wnd* w, HDC dc, RECT bar) {
  Menu* m = M(w->menu);
  if (!m) return;
  ChildButtons cb = GetChildButtons(w, bar);
  if (cb.child) {
    bar.left = cb.icon.right;
    bar.right = cb.min.left - 2;
  }
  int x = bar.left + 2;
  for (Item& it : m->items) {
    it.rect = {0, 0, 0, 0};
    if (it.type & (MFT_SEPARATOR | MFT_OWNERDRAW)) continue;
    std::string text = StripTab(it.text, nullptr);
    SIZE sz;
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
    int width = sz.cx + 14;
    if (x + width > bar.right) break;
    it.rect = {x, bar.top, x + width, bar.bottom - 1};
    x += width;
  }
}

// Lays the bar out with the menu font when no paint has done it yet.
void LayoutBarNow(Wnd* w) {
  HDC dc = GetDC(nullptr);
  HFONT f = MenuFont(false);
  HGDIOBJ of = SelectObject(dc, f);
  LayoutBar(w, dc, BarRect(w));
  SelectObject(dc, of);
  DeleteObject(f);
  ReleaseDC(nullptr, dc);
}

int BarItemAt(Wnd* w, POINT screen) {
  LayoutBarNow(w);
  RECT wr = ScreenRect(w);
  RECT bar = BarRect(w);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  if (p.x < bar.left || p.x >= bar.right || p.y < bar.top || p.y >= bar.bottom) return -1;
  return ItemAt(w->menu, p);
}

bool InBar(Wnd* w, POINT screen) {
  RECT wr = ScreenRect(w);
  RECT bar = BarRect(w);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  return p.x >= bar.left && p.x < bar.right && p.y >= bar.top && p.y < bar.bottom;
}

// ---- the tracking loop shared by pop-up menus and the menu bar ----

struct Level {
  HMENU menu = nullptr;
  HWND popup = nullptr;  // null for the menu bar
  int selected = -1;
  unsigned version = 0;  // the menu's version when the pop-up was laid out
};

struct Tracker {
  std::vector<Level> levels;  // the root first (a pop-up or the menu bar), open submenus after it
  HWND owner = nullptr;
  HWND capture = nullptr;
  UINT flags = 0;
  bool bar = false;  // levels[0] is the owner's menu bar
  bool done = false;
  HMENU chosenMenu = nullptr;
  int chosen = -1;
  int pressed = -1;  // a bar item without a drop-down, pressed with the mouse
  HFONT font = nullptr, bold = nullptr;
};
Tracker* g_tracker = nullptr;

bool Selectable(const Item& it) { return !(it.type & MFT_SEPARATOR); }

void RedrawBar(Tracker& t) {
  if (!t.bar || t.levels.empty()) return;
  Wnd* w = W(t.owner);
  Menu* m = w ? M(w->menu) : nullptr;
  if (!m) return;
  m->barSel = t.levels[0].selected;
  m->barOpen = t.levels.size() > 1;
  HDC dc = GetWindowDC(t.owner);
  if (!dc) return;
  DrawMenuBar(w, dc, BarRect(w));
  ReleaseDC(t.owner, dc);
}

void NotifySelect(Tracker& t, Level& l) {
  if (t.flags & TPM_NONOTIFY) return;
  Menu* m = M(l.menu);
  if (!m || l.selected < 0 || std::size_t(l.selected) >= m->items.size()) return;
  const Item& it = m->items[std::size_t(l.selected)];
  UINT f = (it.state & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE)) | MF_HILITE | (it.sub ? MF_POPUP : 0) |
           (it.type & (MF_OWNERDRAW | MF_BITMAP)) | (m->system ? MF_SYSMENU : 0);
  Send(t.owner, WM_MENUSELECT, MAKEWPARAM(it.sub ? l.selected : int(it.id), int(f)),
       reinterpret_cast<LPARAM>(l.menu));
}

void CloseLevelsAbove(Tracker& t, std::size_t keep) {
  bool closed = false;
  while (t.levels.size() > keep) {
    HWND p = t.levels.back().popup;
    t.levels.pop_back();
    if (W(p)) DestroyWindow(p);
    closed = true;
  }
  if (closed) RedrawBar(t);
}

void Select(Tracker& t, std::size_t level, int index) {
  if (level >= t.levels.size()) return;
  CloseLevelsAbove(t, level + 1);
  Level& l = t.levels[level];
  if (index == l.selected) return;
  l.selected = index;
  if (W(l.popup)) InvalidateRect(l.popup, nullptr, TRUE);
  else RedrawBar(t);
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
      if (!M(menu)) return;
      h = int(mis.itemHeight);
      maxText = std::max(maxText, int(mis.itemWidth));
    } else {
      std::string accel, text = StripTab(it.text, &accel);
      HGDIOBJ of = (it.state & MFS_DEFAULT) && t.bold ? SelectObject(dc, t.bold) : nullptr;
      SIZE sz;
      GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
      maxText = std::max<int>(maxText, sz.cx);
      if (!accel.empty()) {
        GetTextExtentPoint32A(dc, accel.c_str(), int(accel.size()), &sz);
        maxAccel = std::max<int>(maxAccel, sz.cx);
      }
      if (of) SelectObject(dc, of);
      h = 19;
    }
    it.rect = {2, y, 0, y + h};
    y += h;
  }
  *width = 2 + 19 + maxText + (maxAccel ? 12 + maxAccel : 0) + 19 + 2;
  for (Item& it : m->items) it.rect.right = *width - 2;
  *height = y + 2;
}

void MeasurePopup(Tracker& t, HMENU menu, int* width, int* height) {
  *width = *height = 0;
  HDC screen = GetDC(nullptr);
  HGDIOBJ of = SelectObject(screen, t.font);
  Layout(t, menu, screen, width, height);
  SelectObject(screen, of);
  ReleaseDC(nullptr, screen);
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
    HMENU menu = level->menu;
    for (std::size_t i = 0; M(menu) && i < M(menu)->items.size(); ++i) {
      Item& it = M(menu)->items[i];
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
        dis.itemState = (sel ? ODS_SELECTED : 0) | (gray ? ODS_GRAYED : 0) |
                        ((it.state & MFS_CHECKED) ? ODS_CHECKED : 0) | ((it.state & MFS_DEFAULT) ? ODS_DEFAULT : 0);
        dis.hwndItem = reinterpret_cast<HWND>(menu);
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = it.data;
        Send(t->owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        if (!W(h) || g_tracker != t) break;
        // the owner draws the item; the sub-menu arrow is the menu's own
        if (it.sub) {
          COLORREF c = GetSysColor(gray ? COLOR_GRAYTEXT : sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
          DrawMenuMark(dc, RECT{r.right - 19, r.top, r.right, r.bottom}, DFCS_MENUARROW, c);
        }
        continue;
      }
      if (sel) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      COLORREF textColor = GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
      SetTextColor(dc, gray ? GetSysColor(COLOR_GRAYTEXT) : textColor);
      COLORREF markColor = gray ? GetSysColor(COLOR_GRAYTEXT) : textColor;
      if (it.state & MFS_CHECKED)
        DrawMenuMark(dc, RECT{r.left, r.top, r.left + 19, r.bottom},
                     (it.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, markColor);
      std::string accel, text = StripTab(it.text, &accel);
      RECT tr{r.left + 19, r.top, r.right - 19, r.bottom};
      HGDIOBJ of = (it.state & MFS_DEFAULT) && t->bold ? SelectObject(dc, t->bold) : nullptr;
      DrawItemText(dc, text, tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT, gray, sel, textColor);
      if (of) SelectObject(dc, of);
      if (!accel.empty())
        DrawItemText(dc, accel, tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX, gray, sel, textColor);
      if (it.sub) DrawMenuMark(dc, RECT{r.right - 19, r.top, r.right, r.bottom}, DFCS_MENUARROW, markColor);
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

// Lays out again the pop-ups whose menus a message handler has changed since
// they opened.
void RelayoutOpen(Tracker& t) {
  for (Level& l : t.levels) {
    if (!W(l.popup) || !M(l.menu) || M(l.menu)->version == l.version) continue;
    l.version = M(l.menu)->version;
    int width, height;
    MeasurePopup(t, l.menu, &width, &height);
    if (!M(l.menu) || !W(l.popup)) continue;
    if (l.selected >= int(M(l.menu)->items.size())) l.selected = -1;
    RECT pr;
    GetWindowRect(l.popup, &pr);
    if (pr.right - pr.left != width || pr.bottom - pr.top != height)
      SetWindowPos(l.popup, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(l.popup, nullptr, TRUE);
  }
}

// Shows `menu` as a pop-up at (x, y), aligned by the TPM_* flags; a submenu
// that does not fit to the right of its parent (`avoid`) opens to its left.
HWND OpenPopup(Tracker& t, HMENU menu, int x, int y, UINT flags, int index, const RECT* avoid = nullptr) {
  Send(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, M(menu) && M(menu)->system ? 1 : 0));
  if (!M(menu) || !W(t.owner) || g_tracker != &t) return nullptr;
  RelayoutOpen(t);
  int width = 0, height = 0;
  MeasurePopup(t, menu, &width, &height);
  if (!M(menu)) return nullptr;
  if (flags & TPM_RIGHTALIGN) x -= width;
  else if (flags & TPM_CENTERALIGN) x -= width / 2;
  if (flags & TPM_BOTTOMALIGN) y -= height;
  else if (flags & TPM_VCENTERALIGN) y -= height / 2;
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (avoid && x + width > sw) x = avoid->left - width;
  x = std::clamp(x, 0, std::max(0, sw - width));
  y = std::clamp(y, 0, std::max(0, sh - height));
  HWND p = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "#32768", "", WS_POPUP, x, y, width,
                           height, t.owner, nullptr, nullptr, nullptr);
  ShowWindow(p, SW_SHOWNA);
  return p;
}

int Step(HMENU menu, int from, int dir) {
  Menu* m = M(menu);
  if (!m) return -1;
  int n = int(m->items.size());
  if (n == 0) return -1;
  int i = from;
  for (int k = 0; k < n; ++k) {
    i = (i + dir + n) % n;
    if (Selectable(m->items[std::size_t(i)])) return i;
  }
  return -1;
}

// Opens the submenu of the selected item of the deepest level: below a bar
// item, or beside a pop-up's item.
bool OpenSub(Tracker& t, bool selectFirst) {
  if (t.levels.empty()) return false;
  std::size_t at = t.levels.size() - 1;
  Level l = t.levels[at];
  Menu* m = M(l.menu);
  if (!m || l.selected < 0 || std::size_t(l.selected) >= m->items.size()) return false;
  const Item& it = m->items[std::size_t(l.selected)];
  if (!it.sub || (it.state & MFS_GRAYED) || !M(it.sub)) return false;
  HMENU sub = it.sub;
  RECT itemRect = it.rect, parent;
  int x, y;
  if (!l.popup) {
    Wnd* w = W(t.owner);
    if (!w) return false;
    RECT wr = ScreenRect(w);
    x = wr.left + itemRect.left;
    y = wr.top + itemRect.bottom;
  } else {
    GetWindowRect(l.popup, &parent);
    x = parent.left + itemRect.right;
    y = parent.top + itemRect.top - 2;
  }
  HWND popup = OpenPopup(t, sub, x, y, 0, l.selected, l.popup ? &parent : nullptr);
  if (!popup) return false;
  if (t.levels.size() != at + 1 || t.levels[at].menu != l.menu) {  // the handler closed levels meanwhile
    DestroyWindow(popup);
    return false;
  }
  Level next;
  next.menu = sub;
  next.popup = popup;
  next.version = M(sub) ? M(sub)->version : 0;
  t.levels.push_back(next);
  if (!l.popup) RedrawBar(t);
  if (selectFirst) Select(t, t.levels.size() - 1, Step(sub, -1, 1));
  return true;
}

void Choose(Tracker& t, std::size_t level, int index) {
  Menu* m = level < t.levels.size() ? M(t.levels[level].menu) : nullptr;
  if (!m || index < 0 || std::size_t(index) >= m->items.size()) return;
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

// On the bar with a drop-down open: the previous or next title opens its own.
void MoveOnBar(Tracker& t, int dir) {
  CloseLevelsAbove(t, 1);
  Select(t, 0, Step(t.levels[0].menu, t.levels[0].selected, dir));
  OpenSub(t, true);
}

// The items of the deepest level whose mnemonic is `c`: the first and how many.
int FindMnemonic(HMENU menu, int c, int* count) {
  if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
  Menu* m = M(menu);
  int found = -1;
  *count = 0;
  for (std::size_t i = 0; m && i < m->items.size(); ++i)
    if (Selectable(m->items[i]) && Mnemonic(m->items[i].text) == c) {
      if (found < 0) found = int(i);
      ++*count;
    }
  return found;
}

void HandleMouse(Tracker& t, const MSG& msg) {
  // the deepest open level under the cursor; the bar counts as level 0
  int level = -1, at = -1;
  for (int i = int(t.levels.size()) - 1; i >= 0 && level < 0; --i) {
    HWND p = t.levels[std::size_t(i)].popup;
    if (!p) continue;
    RECT pr;
    GetWindowRect(p, &pr);
    if (msg.pt.x >= pr.left && msg.pt.x < pr.right && msg.pt.y >= pr.top && msg.pt.y < pr.bottom) {
      level = i;
      at = ItemAt(t.levels[std::size_t(i)].menu, {msg.pt.x - pr.left, msg.pt.y - pr.top});
    }
  }
  Wnd* w = t.bar ? W(t.owner) : nullptr;
  if (level < 0 && w && InBar(w, msg.pt)) {
    level = 0;
    at = BarItemAt(w, msg.pt);
  }
  bool onBar = t.bar && level == 0;
  UINT m = msg.message;
  if (m == WM_MOUSEMOVE) {
    if (level < 0 || at < 0) return;
    Level& l = t.levels[std::size_t(level)];
    bool openParent = std::size_t(level) + 1 < t.levels.size() && l.selected == at;
    if (openParent) return;
    if (onBar) {
      // while a drop-down is open, moving along the bar switches drop-downs
      bool wasOpen = t.levels.size() > 1;
      if (l.selected != at) {
        Select(t, 0, at);
        if (wasOpen) OpenSub(t, false);
      }
    } else if (l.selected != at || std::size_t(level) + 1 != t.levels.size()) {
      Select(t, std::size_t(level), at);
      OpenSub(t, false);  // hovering a submenu's item opens it
    }
    return;
  }
  bool down = m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK;
  bool up = m == WM_LBUTTONUP || m == WM_RBUTTONUP;
  if (down) {
    if (level < 0 || (onBar && at < 0)) {
      t.done = true;  // a click elsewhere closes the menu without a command
    } else if (onBar) {
      if (t.levels[0].selected == at && t.levels.size() > 1) {
        t.done = true;  // the open title clicked again
      } else {
        Select(t, 0, at);
        if (!OpenSub(t, false)) t.pressed = at;
      }
    }
  } else if (up) {
    if (onBar) {
      if (at >= 0 && at == t.pressed) Choose(t, 0, at);
    } else if (level >= 0 && at >= 0) {
      Choose(t, std::size_t(level), at);
    }
    t.pressed = -1;
  }
}

void HandleKey(Tracker& t, MSG& msg) {
  std::size_t top = t.levels.size() - 1;
  Level& l = t.levels[top];
  bool onBar = t.bar && top == 0;
  switch (msg.wParam) {
    case VK_DOWN:
    case VK_UP:
      if (onBar) OpenSub(t, true);
      else Select(t, top, Step(l.menu, l.selected < 0 ? (msg.wParam == VK_DOWN ? -1 : 0) : l.selected,
                              msg.wParam == VK_DOWN ? 1 : -1));
      break;
    case VK_HOME:
      if (!onBar) Select(t, top, Step(l.menu, -1, 1));
      break;
    case VK_END:
      if (!onBar) Select(t, top, Step(l.menu, 0, -1));
      break;
    case VK_RIGHT:
      if (onBar) Select(t, 0, Step(l.menu, l.selected, 1));
      else if (!OpenSub(t, true) && t.bar) MoveOnBar(t, 1);
      break;
    case VK_LEFT:
      if (onBar) Select(t, 0, Step(l.menu, l.selected, -1));
      else if (t.bar && top == 1) MoveOnBar(t, -1);
      else if (top > 0) CloseLevelsAbove(t, top);
      break;
    case VK_RETURN:
      if (onBar && OpenSub(t, true)) break;
      Choose(t, top, l.selected);
      break;
    case VK_ESCAPE:
      if (top > 0) CloseLevelsAbove(t, top);  // back one level (to the bar's title)
      else t.done = true;
      break;
    case VK_MENU:
    case VK_F10: t.done = true; break;
    default: TranslateMessage(&msg); break;
  }
}

void HandleChar(Tracker& t, const MSG& msg) {
  std::size_t top = t.levels.size() - 1;
  int count = 0;
  int found = FindMnemonic(t.levels[top].menu, int(msg.wParam & 0xFF), &count);
  if (found < 0) {
    if (t.bar && top == 0) MessageBeep(0);
    return;
  }
  Select(t, top, found);
  if (count != 1) return;  // several items share it: the key only moves between them
  if (t.bar && top == 0) {
    if (!OpenSub(t, true)) Choose(t, 0, found);
  } else {
    Choose(t, top, found);
  }
}

// The modal loop: reads the queue until an item is chosen or the menu closes.
void RunLoop(Tracker& t) {
  State& s = S();
  MSG msg;
  bool idle = false;
  while (!t.done && !t.levels.empty() && M(t.levels.front().menu) && W(t.owner) &&
         (t.bar || W(t.levels.front().popup))) {
    if (s.capture != t.capture) break;  // someone took the mouse: the menu closes
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!idle) {
        idle = true;
        Send(t.owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(t.levels.back().popup));
        continue;
      }
      WaitMessage();
      continue;
    }
    idle = false;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
        (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
      if (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)
        msg.message += WM_MOUSEMOVE - WM_NCMOUSEMOVE;
      HandleMouse(t, msg);
      continue;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      HandleKey(t, msg);
      continue;
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
      HandleChar(t, msg);
      continue;
    }
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) continue;
    DispatchMessageA(&msg);
    RelayoutOpen(t);
  }
}

// One menu session: fonts, the loop's notifications, and the cleanup that
// still runs when a message handler throws.
struct Session {
  Tracker& t;
  Tracker* saved;
  bool open = true;
  explicit Session(Tracker& tr) : t(tr), saved(g_tracker) {
    EnsurePopupClass();
    t.font = MenuFont(false);
    t.bold = MenuFont(true);
    g_tracker = &t;
  }
  void Close() {
    if (!open) return;
    open = false;
    if (t.capture && S().capture == t.capture) ReleaseCapture();
    CloseLevelsAbove(t, t.bar ? 1 : 0);
    if (t.bar && !t.levels.empty()) {
      t.levels[0].selected = -1;
      RedrawBar(t);
      t.levels.clear();
    }
    DeleteObject(t.font);
    DeleteObject(t.bold);
    g_tracker = saved;
    // the release of the Alt or F10 that closed the menu does not open it again
    S().lastKeyDown = 0;
  }
  ~Session() { Close(); }
};

// Ends a session: the closing notifications, then the chosen command.
BOOL Finish(Tracker& t, Session& session) {
  UINT id = 0;
  bool system = false;
  if (Menu* mm = M(t.chosenMenu); mm && t.chosen >= 0 && std::size_t(t.chosen) < mm->items.size()) {
    id = mm->items[std::size_t(t.chosen)].id;
    system = mm->system;
  }
  bool chosen = t.chosen >= 0;
  session.Close();
  if (W(t.owner)) {
    if (!(t.flags & TPM_NONOTIFY)) Send(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    Send(t.owner, WM_EXITMENULOOP, t.bar ? FALSE : TRUE, 0);
  }
  if (t.flags & TPM_RETURNCMD) return BOOL(id);
  if (chosen && !(t.flags & TPM_NONOTIFY) && W(t.owner))
    PostMessageA(t.owner, system ? WM_SYSCOMMAND : WM_COMMAND, id, 0);
  return chosen;
}

}  // namespace

void DrawMenuBar(Wnd* w, HDC dc, RECT r) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
  Menu* m = M(w->menu);
  if (!m) return;
  HFONT font = MenuFont(false);
  HGDIOBJ of = SelectObject(dc, font);
  LayoutBar(w, dc, r);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    RECT ir = it.rect;
    if (ir.right <= ir.left) continue;
    bool hot = int(i) == m->barSel;
    if (hot) DrawEdge(dc, &ir, m->barOpen ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    std::string text = StripTab(it.text, nullptr);
    RECT tr = ir;
    if (hot && m->barOpen) tr = {ir.left + 1, ir.top + 1, ir.right + 1, ir.bottom + 1};
    DrawItemText(dc, text, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER, (it.state & MFS_GRAYED) != 0, false,
                 GetSysColor(COLOR_MENUTEXT));
  }
  ChildButtons cb = GetChildButtons(w, r);
  if (Wnd* child = W(cb.child)) {
    HICON icon = child->cls ? (child->cls->iconSm ? child->cls->iconSm : child->cls->icon) : nullptr;
    if (icon) {
      DrawIconEx(dc, cb.icon.left, cb.icon.top, icon, 16, 16, 0, nullptr, DI_NORMAL);
    } else {  // a small window as the child's system-menu glyph
      RECT g{cb.icon.left + 1, cb.icon.top + 2, cb.icon.right - 1, cb.icon.bottom - 2};
      FillRect(dc, &g, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &g, GetSysColorBrush(COLOR_WINDOWFRAME));
      RECT band{g.left, g.top, g.right, g.top + 3};
      FillRect(dc, &band, GetSysColorBrush(COLOR_ACTIVECAPTION));
    }
    RECT b = cb.min;
    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONMIN | (m->barButton == 1 ? DFCS_PUSHED : 0));
    b = cb.restore;
    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONRESTORE | (m->barButton == 2 ? DFCS_PUSHED : 0));
    b = cb.close;
    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (m->barButton == 3 ? DFCS_PUSHED : 0));
  }
  SelectObject(dc, of);
  DeleteObject(font);
}

namespace {

void RedrawBarNow(Wnd* w) {
  if (!HasBar(w)) return;
  HDC dc = GetWindowDC(w->h);
  if (!dc) return;
  DrawMenuBar(w, dc, BarRect(w));
  ReleaseDC(w->h, dc);
}

// A click on a maximised MDI child's icon or buttons in the frame's bar: the
// icon opens the child's system menu; a button is pressed while the mouse is
// held over it and sends its command to the child when released there.
bool TrackChildButtons(Wnd* w, POINT screen) {
  RECT wr = ScreenRect(w), bar = BarRect(w);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  ChildButtons cb = GetChildButtons(w, bar);
  if (!cb.child) return false;
  HWND h = w->h, child = cb.child;
  if (PtIn(cb.icon, p)) {
    HMENU sys = GetSystemMenu(child, FALSE);
    if (!sys) return true;
    UINT id = UINT(TrackPopupMenuEx(sys, TPM_RETURNCMD, wr.left + cb.icon.left, wr.top + bar.bottom, h, nullptr));
    if (id && W(child)) Send(child, WM_SYSCOMMAND, id, 0);
    return true;
  }
  const RECT* rects[] = {&cb.min, &cb.restore, &cb.close};
  static const UINT cmds[] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
  int which = 0;
  for (int i = 0; i < 3; ++i)
    if (PtIn(*rects[i], p)) which = i + 1;
  if (!which) return false;
  RECT button = *rects[which - 1];
  State& s = S();
  auto press = [&](bool down) {
    Wnd* ww = W(h);
    if (Menu* m = ww ? M(ww->menu) : nullptr) {
      m->barButton = down ? which : 0;
      RedrawBarNow(ww);
    }
  };
  press(true);
  SetCapture(h);
  struct Cleanup {  // an exception from a message handler still releases the mouse
    HWND h;
    ~Cleanup() {
      if (S().capture == h) ReleaseCapture();
    }
  } cleanup{h};
  bool inside = true, released = false;
  MSG msg;
  while (W(h) && s.capture == h) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      RECT now = ScreenRect(W(h));
      bool in = PtIn(button, {msg.pt.x - now.left, msg.pt.y - now.top});
      if (in != inside) press(inside = in);
      if (msg.message == WM_LBUTTONUP) {
        released = true;
        break;
      }
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
    if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
        (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST))
      continue;
    DispatchMessageA(&msg);
  }
  if (s.capture == h) ReleaseCapture();
  if (W(h)) press(false);
  if (released && inside && W(child)) Send(child, WM_SYSCOMMAND, cmds[which - 1], 0);
  return true;
}

}  // namespace

// The menu bar's modal loop, entered from WM_SYSCOMMAND: SC_MOUSEMENU with the
// screen point of a click on the bar, SC_KEYMENU with 0 (Alt or F10 alone:
// the first title is selected) or with a character (Alt+letter: the title
// with that mnemonic opens).
void TrackMenuBar(HWND h, UINT cmd, LPARAM lp) {
  Wnd* w = W(h);
  if (!HasBar(w) || (w->style & WS_MINIMIZE) || g_tracker) return;
  LayoutBarNow(w);
  HMENU bar = w->menu;
  int start = -1;
  bool open = false, selectFirst = false;
  if ((cmd & 0xFFF0) == SC_MOUSEMENU) {
    if (TrackChildButtons(w, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return;
    start = BarItemAt(w, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    open = true;
  } else if (lp == 0) {
    start = Step(bar, -1, 1);
  } else {
    int count = 0;
    start = FindMnemonic(bar, int(lp & 0xFF), &count);
    if (start < 0) {
      MessageBeep(0);
      return;
    }
    open = selectFirst = true;
  }
  if (start < 0) return;
  Tracker t;
  t.owner = h;
  t.bar = true;
  Session session(t);
  Send(h, WM_ENTERMENULOOP, FALSE, 0);
  if (!W(h)) return;
  Send(h, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  if (!W(h) || W(h)->menu != bar || !M(bar)) return;
  Level root;
  root.menu = bar;
  t.levels.push_back(root);
  SetCapture(h);
  t.capture = h;
  Select(t, 0, start);
  if (open && !OpenSub(t, selectFirst)) {
    const Item* it = std::size_t(start) < M(bar)->items.size() ? &M(bar)->items[std::size_t(start)] : nullptr;
    if (it && !it->sub && (cmd & 0xFFF0) == SC_MOUSEMENU) t.pressed = start;  // chosen when released on it
    else if (it && !it->sub) Choose(t, 0, start);                             // Alt+letter of a command title
  }
  RunLoop(t);
  Finish(t, session);
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
  Menu* owner = nullptr;
  Item* it = FindItem(h, pos, (flags & MF_BYPOSITION) != 0, &owner);
  if (!it) return FALSE;
  ++owner->version;
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
  Menu* owner = nullptr;
  Item* it = mi ? FindItem(h, item, byPosition != FALSE, &owner) : nullptr;
  if (!it) return FALSE;
  ++owner->version;
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
  ++owner->version;
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
  Menu* owner = nullptr;
  Item* it = FindItem(h, item, (check & MF_BYPOSITION) != 0, &owner);
  if (!it) return 0xFFFFFFFF;
  ++owner->version;
  DWORD old = it->state & MF_CHECKED;
  if (check & MF_CHECKED) it->state |= MFS_CHECKED;
  else it->state &= ~MFS_CHECKED;
  return old;
}

BOOL EnableMenuItem(HMENU h, UINT item, UINT enable) {
  Menu* owner = nullptr;
  Item* it = FindItem(h, item, (enable & MF_BYPOSITION) != 0, &owner);
  if (!it) return -1;
  ++owner->version;
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
  ++m->version;
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
  if (!M(menu) || !W(owner) || g_tracker) return FALSE;
  Tracker t;
  t.owner = owner;
  t.flags = flags;
  Session session(t);
  Send(owner, WM_ENTERMENULOOP, TRUE, 0);
  if (W(owner)) Send(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  if (!W(owner) || !M(menu)) return FALSE;
  Level root;
  root.menu = menu;
  root.popup = OpenPopup(t, menu, x, y, flags, 0);
  if (!root.popup) return FALSE;
  root.version = M(menu) ? M(menu)->version : 0;
  t.levels.push_back(root);
  SetCapture(root.popup);
  t.capture = root.popup;
  RunLoop(t);
  return Finish(t, session);
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* r) {
  Menu* m = M(menu);
  if (!m || !r || item >= m->items.size()) return FALSE;
  Wnd* w = W(hwnd);
  RECT ir = m->items[item].rect, origin;
  if (w && w->menu == menu && HasBar(w)) {
    LayoutBarNow(w);
    ir = m->items[item].rect;
    origin = ScreenRect(w);
  } else {
    HWND popup = nullptr;
    if (g_tracker)
      for (const Level& l : g_tracker->levels)
        if (l.menu == menu && l.popup) popup = l.popup;
    if (!popup) return FALSE;
    GetWindowRect(popup, &origin);
  }
  if (ir.right <= ir.left) return FALSE;
  *r = {origin.left + ir.left, origin.top + ir.top, origin.left + ir.right, origin.top + ir.bottom};
  return TRUE;
}

BOOL EndMenu() {
  if (!g_tracker) return FALSE;
  g_tracker->done = true;
  return TRUE;
}
