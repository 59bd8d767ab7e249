// Window objects: the handle table, window classes, creation and destruction,
// window data, text, properties and the parent/child/owner hierarchy.
#include <algorithm>
#include <cstring>
#include "platform/rtl/strings.h"
#include "platform/win/wndinternal.h"

namespace pvwin {

State& S() {
  static State* state = [] {
    auto* s = new State();
    s->slots.reserve(1024);
    // System-colour changes made through the drawing layer reach every window.
    PvSysColorsChangedHook = PvSysColorsChanged;
    return s;
  }();
  return *state;
}

HWND AllocHandle(Wnd* w) {
  State& s = S();
  std::uint32_t index;
  if (!s.freeSlots.empty()) {
    index = s.freeSlots.back();
    s.freeSlots.pop_back();
  } else {
    index = std::uint32_t(s.slots.size());
    s.slots.push_back({});
  }
  State::Slot& slot = s.slots[index];
  ++slot.gen;
  slot.w = w;
  auto v = (std::uintptr_t(slot.gen) << 32) | std::uintptr_t(index + 16u);
  return reinterpret_cast<HWND>(v);
}

void FreeHandle(HWND h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  std::uint32_t index = std::uint32_t(v & 0xFFFFFFFFu) - 16u;
  State& s = S();
  if (index >= s.slots.size()) return;
  s.slots[index].w = nullptr;
  s.freeSlots.push_back(index);
}

std::string Lower(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

std::string Cp936ToUtf8(const std::string& s) { return AnsiToUtf8(s); }
std::string Utf8ToCp936(const std::string& s) { return Utf8ToAnsi(s); }

// ---------------------------------------------------------------------------
// coordinates and relations

static Wnd* Desktop();

bool IsTopLevel(Wnd* w) { return w && w->parent == S().desktop; }

Wnd* TopLevelOf(Wnd* w) {
  while (w && w->parent && w->parent != S().desktop) w = w->parent;
  return w == S().desktop ? nullptr : w;
}

bool IsDescendant(Wnd* ancestor, Wnd* w) {
  for (Wnd* p = w; p; p = p->parent)
    if (p == ancestor) return true;
  return false;
}

POINT ClientOrigin(Wnd* w) {
  POINT p{0, 0};
  for (Wnd* c = w; c && c != S().desktop; c = c->parent) {
    p.x += c->client.left;
    p.y += c->client.top;
  }
  return p;
}

RECT ScreenRect(Wnd* w) {
  POINT o = w->parent ? ClientOrigin(w->parent) : POINT{0, 0};
  return {w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
}

RECT ScreenClient(Wnd* w) {
  POINT o = w->parent ? ClientOrigin(w->parent) : POINT{0, 0};
  return {w->client.left + o.x, w->client.top + o.y, w->client.right + o.x, w->client.bottom + o.y};
}

bool IsReallyVisible(Wnd* w) {
  for (Wnd* p = w; p && p != S().desktop; p = p->parent)
    if (!(p->style & WS_VISIBLE)) return false;
  return w != nullptr;
}

void Unlink(Wnd* w) {
  Wnd* p = w->parent;
  if (!p) return;
  if (w->prev) w->prev->next = w->next; else p->firstChild = w->next;
  if (w->next) w->next->prev = w->prev; else p->lastChild = w->prev;
  w->next = w->prev = nullptr;
}

void LinkAfter(Wnd* parent, Wnd* w, Wnd* after) {
  w->parent = parent;
  if (!after) {
    w->prev = nullptr;
    w->next = parent->firstChild;
    if (parent->firstChild) parent->firstChild->prev = w; else parent->lastChild = w;
    parent->firstChild = w;
    return;
  }
  w->prev = after;
  w->next = after->next;
  if (after->next) after->next->prev = w; else parent->lastChild = w;
  after->next = w;
}

void LinkLast(Wnd* parent, Wnd* w) { LinkAfter(parent, w, parent->lastChild); }

// ---------------------------------------------------------------------------
// classes

static WndClass* FindClass(const char* name) {
  if (!name) return nullptr;
  State& s = S();
  auto v = reinterpret_cast<std::uintptr_t>(name);
  if (v < 0x10000) {  // an atom
    for (WndClass* c : s.classes)
      if (c->atom == v) return c;
    return nullptr;
  }
  std::string key = Lower(name);
  for (WndClass* c : s.classes)
    if (c->key == key) return c;
  return nullptr;
}

static LRESULT DesktopProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void RegisterSystemClasses();  // controls and MDI client (other sources)
void BackendIcon(Wnd* w);          // defwnd.cpp
void ForgetWindowIcons(HWND h);    // defwnd.cpp

static Wnd* Desktop() {
  State& s = S();
  if (!s.desktop) {
    auto* d = new Wnd();
    d->h = AllocHandle(d);
    d->proc = DesktopProc;
    d->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP;
    RECT scr = s.backend ? s.backend->ScreenRect() : RECT{0, 0, 1920, 1080};
    d->rect = d->client = scr;
    s.desktop = d;
    RegisterSystemClasses();
  }
  return s.desktop;
}

}  // namespace pvwin

using namespace pvwin;

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  Desktop();
  if (!wc || !wc->lpszClassName) return 0;
  State& s = S();
  if (WndClass* old = FindClass(wc->lpszClassName)) {
    if (!old->system) return 0;  // already registered
    // an application class replaces a system class of the same name
    s.classes.erase(std::find(s.classes.begin(), s.classes.end(), old));
  }
  auto* c = new WndClass();
  c->name = wc->lpszClassName;
  c->key = Lower(c->name);
  c->style = wc->style;
  c->proc = wc->lpfnWndProc ? wc->lpfnWndProc : DefWindowProcA;
  c->clsExtra = std::max(0, wc->cbClsExtra);
  c->wndExtra = std::max(0, wc->cbWndExtra);
  c->inst = wc->hInstance;
  c->icon = wc->hIcon;
  c->iconSm = wc->hIconSm;
  c->cursor = wc->hCursor;
  c->brush = wc->hbrBackground;
  if (wc->lpszMenuName && reinterpret_cast<std::uintptr_t>(wc->lpszMenuName) >= 0x10000)
    c->menuName = wc->lpszMenuName;
  c->extra.assign(std::size_t(c->clsExtra), 0);
  c->atom = s.nextAtom++;
  s.classes.push_back(c);
  return c->atom;
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) return 0;
  WNDCLASSEXA x;
  x.style = wc->style;
  x.lpfnWndProc = wc->lpfnWndProc;
  x.cbClsExtra = wc->cbClsExtra;
  x.cbWndExtra = wc->cbWndExtra;
  x.hInstance = wc->hInstance;
  x.hIcon = wc->hIcon;
  x.hCursor = wc->hCursor;
  x.hbrBackground = wc->hbrBackground;
  x.lpszMenuName = wc->lpszMenuName;
  x.lpszClassName = wc->lpszClassName;
  return RegisterClassExA(&x);
}

// Marks a class registered by the window manager itself (an application may replace it).
namespace pvwin {
void MarkSystemClass(const char* name) {
  if (WndClass* c = FindClass(name)) c->system = true;
}
}  // namespace pvwin

BOOL UnregisterClassA(LPCSTR name, HINSTANCE) {
  State& s = S();
  WndClass* c = FindClass(name);
  if (!c) return FALSE;
  for (auto& slot : s.slots)
    if (slot.w && slot.w->cls == c) return FALSE;  // still in use
  s.classes.erase(std::find(s.classes.begin(), s.classes.end(), c));
  delete c;
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR name, WNDCLASSEXA* wc) {
  Desktop();
  WndClass* c = FindClass(name);
  if (!c || !wc) return FALSE;
  wc->style = c->style;
  wc->lpfnWndProc = c->proc;
  wc->cbClsExtra = c->clsExtra;
  wc->cbWndExtra = c->wndExtra;
  wc->hInstance = c->inst;
  wc->hIcon = c->icon;
  wc->hIconSm = c->iconSm;
  wc->hCursor = c->cursor;
  wc->hbrBackground = c->brush;
  wc->lpszMenuName = c->menuName.empty() ? nullptr : c->menuName.c_str();
  wc->lpszClassName = c->name.c_str();
  return c->atom;
}

BOOL GetClassInfoA(HINSTANCE inst, LPCSTR name, WNDCLASSA* wc) {
  WNDCLASSEXA x;
  if (!wc || !GetClassInfoExA(inst, name, &x)) return FALSE;
  wc->style = x.style;
  wc->lpfnWndProc = x.lpfnWndProc;
  wc->cbClsExtra = x.cbClsExtra;
  wc->cbWndExtra = x.cbWndExtra;
  wc->hInstance = x.hInstance;
  wc->hIcon = x.hIcon;
  wc->hCursor = x.hCursor;
  wc->hbrBackground = x.hbrBackground;
  wc->lpszMenuName = x.lpszMenuName;
  wc->lpszClassName = x.lpszClassName;
  return TRUE;
}

AnsiString GetClassNameStr(HWND hwnd) {
  Wnd* w = W(hwnd);
  return w && w->cls ? w->cls->name : AnsiString();
}

int GetClassNameA(HWND hwnd, LPSTR buf, int max) {
  Wnd* w = W(hwnd);
  if (!w || !w->cls || !buf || max <= 0) return 0;
  int n = std::min<int>(int(w->cls->name.size()), max - 1);
  std::memcpy(buf, w->cls->name.data(), std::size_t(n));
  buf[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
  Wnd* w = W(hwnd);
  if (!w || !w->cls) return 0;
  WndClass* c = w->cls;
  switch (index) {
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->brush);
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->cursor);
    case GCL_HICON: return reinterpret_cast<ULONG_PTR>(c->icon);
    case GCL_HICONSM: return reinterpret_cast<ULONG_PTR>(c->iconSm);
    case GCL_HMODULE: return reinterpret_cast<ULONG_PTR>(c->inst);
    case GCL_CBWNDEXTRA: return ULONG_PTR(c->wndExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c->clsExtra);
    case GCL_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->proc);
    case GCL_STYLE: return c->style;
    case GCW_ATOM: return c->atom;
    default:
      if (index >= 0 && std::size_t(index) + sizeof(LONG_PTR) <= c->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, c->extra.data() + index, sizeof v);
        return ULONG_PTR(v);
      }
      return 0;
  }
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Wnd* w = W(hwnd);
  if (!w || !w->cls) return 0;
  WndClass* c = w->cls;
  ULONG_PTR old = GetClassLongPtrA(hwnd, index);
  switch (index) {
    case GCL_HBRBACKGROUND: c->brush = reinterpret_cast<HBRUSH>(value); break;
    case GCL_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCL_HICON: c->icon = reinterpret_cast<HICON>(value); break;
    case GCL_HICONSM: c->iconSm = reinterpret_cast<HICON>(value); break;
    case GCL_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c->style = UINT(value); break;
    default:
      if (index >= 0 && std::size_t(index) + sizeof(LONG_PTR) <= c->extra.size())
        std::memcpy(c->extra.data() + index, &value, sizeof value);
      else
        return 0;
  }
  return old;
}

// ---------------------------------------------------------------------------
// creation

// Sent to each ancestor in turn while the window passing it on is a child without
// WS_EX_NOPARENTNOTIFY. Creation and destruction carry the child's id and handle;
// a button press carries the cursor in the receiving parent's client coordinates.
void pvwin::SendParentNotify(HWND child, UINT event, POINT screenPt) {
  Wnd* cur = W(child);
  if (!cur) return;
  bool mouse = event != WM_CREATE && event != WM_DESTROY;
  WPARAM wp = MAKEWPARAM(int(event), mouse ? 0 : int(cur->id));
  while (cur && (cur->style & WS_CHILD) && !(cur->exStyle & WS_EX_NOPARENTNOTIFY)) {
    Wnd* parent = cur->parent;
    if (!parent || parent == S().desktop) break;
    HWND ph = parent->h;
    LPARAM lp = reinterpret_cast<LPARAM>(child);
    if (mouse) {
      POINT o = ClientOrigin(parent);
      lp = MAKELPARAM(screenPt.x - o.x, screenPt.y - o.y);
    }
    Send(ph, WM_PARENTNOTIFY, wp, lp);
    cur = W(ph);
  }
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parentHwnd, HMENU menu, HINSTANCE inst, void* param) {
  Wnd* desktop = Desktop();
  State& s = S();
  WndClass* cls = FindClass(className);
  if (!cls) throw EOSError(AnsiString("Window class not found: ") +
                           (reinterpret_cast<std::uintptr_t>(className) < 0x10000 ? "(atom)" : className));
  if (exStyle & WS_EX_MDICHILD)
    style |= WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  Wnd* parent = nullptr;
  Wnd* owner = nullptr;
  if (parentHwnd && parentHwnd != HWND_MESSAGE) {
    Wnd* p = W(parentHwnd);
    if (!p) return nullptr;
    if (style & WS_CHILD) parent = p;
    else owner = TopLevelOf(p);
  } else if (style & WS_CHILD) {
    return nullptr;  // a child window needs a parent
  }
  if (!parent) parent = desktop;

  auto* w = new Wnd();
  w->h = AllocHandle(w);
  ForgetWindowIcons(w->h);  // nothing left over from an earlier window with this handle
  w->cls = cls;
  w->proc = cls->proc;
  w->inst = inst;
  w->owner = owner;
  // Windows with a caption or a thick frame get the window edge, as on the platform.
  if ((exStyle & WS_EX_DLGMODALFRAME) || ((style & WS_THICKFRAME) || (style & WS_DLGFRAME)))
    if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD)) exStyle |= WS_EX_WINDOWEDGE;
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CLIPSIBLINGS | WS_CAPTION;  // overlapped windows
  w->style = style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  w->exStyle = exStyle;
  if (style & WS_CHILD) w->id = reinterpret_cast<LONG_PTR>(menu);
  else w->menu = menu;
  w->extra.assign(std::size_t(cls->wndExtra), 0);
  w->text = windowName && reinterpret_cast<std::uintptr_t>(windowName) >= 0x10000 ? windowName : "";
  w->acceptFiles = (exStyle & WS_EX_ACCEPTFILES) != 0;

  // default position and size
  RECT work = s.backend ? s.backend->WorkArea() : RECT{0, 0, 1920, 1080};
  if (parent == desktop) {
    if (x == CW_USEDEFAULT) { x = work.left + 26 * 2; if (y == CW_USEDEFAULT || !(style & WS_POPUP)) y = work.top + 26 * 2; }
    if (width == CW_USEDEFAULT) { width = work.Width() * 3 / 4; height = work.Height() * 3 / 4; }
  } else {
    if ((exStyle & WS_EX_MDICHILD) && IsMdiClient(parent->h)) MdiDefaultPosition(parent->h, &x, &y, &width, &height);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }
  if (y == CW_USEDEFAULT) y = 0;
  if (height == CW_USEDEFAULT) height = 0;

  // Top-level windows go on top (below any topmost ones); children go to the
  // bottom, so GW_CHILD/GW_HWNDNEXT follow creation order as tab order expects.
  if (parent == desktop && !(exStyle & WS_EX_TOPMOST)) {
    Wnd* after = nullptr;
    for (Wnd* c = desktop->firstChild; c && (c->exStyle & WS_EX_TOPMOST); c = c->next) after = c;
    LinkAfter(desktop, w, after);
  } else if (parent == desktop) {
    LinkAfter(desktop, w, nullptr);
  } else {
    LinkLast(parent, w);  // children go to the bottom: sibling order is creation order
  }
  w->rect = {x, y, x + width, y + height};
  w->client = w->rect;

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hInstance = inst;
  cs.hMenu = menu;
  cs.hwndParent = parentHwnd;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  HWND h = w->h;
  auto fail = [&]() -> HWND {
    if (W(h)) DestroyWindow(h);
    return nullptr;
  };

  if (parent == desktop) {
    BackendCreated(w);
    BackendIcon(w);  // the class's icon until the window sets its own
  }
  if (HooksInstalled(WH_CBT)) {
    CBT_CREATEWNDA cbt{&cs, HWND_TOP};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(&cbt))) {
      // refused: the window goes without ever hearing of it
      if ((w = W(h))) {
        if (IsTopLevel(w)) BackendDestroyed(w);
        Unlink(w);
        w->dead = true;
        FreeHandle(h);
        S().graveyard.push_back(w);
      }
      return nullptr;
    }
    if (!(w = W(h))) return nullptr;
  }

  // Resizable and overlapped windows learn their limits first.
  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi;
    mmi.ptMaxSize = {work.Width(), work.Height()};
    mmi.ptMaxPosition = {work.left, work.top};
    mmi.ptMinTrackSize = {112, 27};
    mmi.ptMaxTrackSize = {work.Width() + 8, work.Height() + 8};
    Send(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!(w = W(h))) return nullptr;
    if (width > mmi.ptMaxTrackSize.x) width = mmi.ptMaxTrackSize.x;
    if (height > mmi.ptMaxTrackSize.y) height = mmi.ptMaxTrackSize.y;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    w->rect = {x, y, x + width, y + height};
    w->client = w->rect;
    cs.cx = width;
    cs.cy = height;
  }
  if (!Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
  if (!(w = W(h))) return nullptr;
  {
    RECT r = w->rect;
    Send(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    if (!(w = W(h))) return nullptr;
    w->client = r;
  }
  if (Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
  if (!(w = W(h))) return nullptr;

  if (parent != desktop || (style & WS_POPUP)) {
    // Child and pop-up windows learn their size at once; overlapped windows when first shown.
    RECT cr = w->client;
    Send(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right - cr.left, cr.bottom - cr.top));
    if (!(w = W(h))) return nullptr;
    Send(h, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
    if (!(w = W(h))) return nullptr;
  } else {
    w->needSizeMove = true;
  }
  if (parent != desktop) {
    SendParentNotify(h, WM_CREATE, {});
    if (!(w = W(h))) return nullptr;
  }
  if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    ShowWindow(h, (style & WS_MINIMIZE) ? ((style & WS_VISIBLE) ? SW_SHOWMINIMIZED : SW_MINIMIZE)
                                        : ((style & WS_VISIBLE) ? SW_SHOWMAXIMIZED : SW_MAXIMIZE));
    if (!W(h)) return nullptr;
  } else if (style & WS_VISIBLE) {
    ShowWindow(h, SW_SHOW);
    if (!W(h)) return nullptr;
  }
  if ((exStyle & WS_EX_MDICHILD) && IsMdiClient(parent->h)) {
    MdiChildCreated(h);
    if (!W(h)) return nullptr;
  }
  return h;
}

// ---------------------------------------------------------------------------
// destruction

static void SendDestroyTree(HWND h) {
  Wnd* w = W(h);
  if (!w) return;
  State& s = S();
  if (s.capture && IsDescendant(w, W(s.capture))) ReleaseCaptureImpl(true);
  if (!(w = W(h))) return;
  CaretWindowDestroyed(h);
  Send(h, WM_DESTROY);
  if (!(w = W(h))) return;
  std::vector<HWND> kids;
  for (Wnd* c = w->firstChild; c; c = c->next) kids.push_back(c->h);
  for (HWND k : kids) {
    if (Wnd* kw = W(k)) kw->destroying = true;
    SendDestroyTree(k);
  }
}

static void FreeTree(HWND h) {
  Wnd* w = W(h);
  if (!w) return;
  std::vector<HWND> kids;
  for (Wnd* c = w->firstChild; c; c = c->next) kids.push_back(c->h);
  for (HWND k : kids) FreeTree(k);
  if (!(w = W(h))) return;
  Send(h, WM_NCDESTROY);
  if (!(w = W(h))) return;
  State& s = S();
  // children that appeared during destruction go too
  while (w->firstChild) {
    HWND k = w->firstChild->h;
    FreeTree(k);
    if (W(k)) { Unlink(W(k)); break; }
  }
  RemoveTimersOf(h);
  PurgeQueueOf(h);
  if (s.focus == h) s.focus = nullptr;
  if (s.active == h) s.active = nullptr;
  if (s.capture == h) s.capture = nullptr;
  if (s.mouseWindow == h) s.mouseWindow = nullptr;
  if (s.track.hwnd == h) s.track = MouseTrack();
  for (auto& slot : s.slots)  // owned windows that escaped destruction lose their owner
    if (slot.w && slot.w->owner == w) slot.w->owner = nullptr;
  if (IsTopLevel(w)) BackendDestroyed(w);
  ForgetWindowIcons(h);
  PaintFreeWindow(w);
  // menus go with their window; a menu destroyed already is simply no longer valid
  if (w->sysMenu) DestroyMenu(w->sysMenu);
  if (w->menu && !(w->style & WS_CHILD)) DestroyMenu(w->menu);
  Unlink(w);
  w->dead = true;
  FreeHandle(h);
  s.graveyard.push_back(w);
}

BOOL DestroyWindow(HWND h) {
  Wnd* w = W(h);
  State& s = S();
  if (!w || w == s.desktop || w->destroying) return FALSE;
  if (HooksInstalled(WH_CBT) && CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(h), 0)) return FALSE;
  if (!(w = W(h)) || w->destroying) return FALSE;
  w->destroying = true;
  if (w->style & WS_CHILD) {
    SendParentNotify(h, WM_DESTROY, {});
    if (!(w = W(h))) return TRUE;
  }
  // Owned windows go first.
  if (IsTopLevel(w)) {
    std::vector<HWND> owned;
    for (Wnd* c = s.desktop->firstChild; c; c = c->next)
      if (c->owner == w) owned.push_back(c->h);
    for (HWND o : owned) DestroyWindow(o);
    if (!(w = W(h))) return TRUE;
  }
  if (w->style & WS_VISIBLE) {
    UINT f = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    if (!IsTopLevel(w)) f |= SWP_NOACTIVATE;
    SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, f);
    if (!(w = W(h))) return TRUE;
  }
  if (IsTopLevel(w) && s.active == h) {
    ActivateOtherWindow(h);
    if (!(w = W(h))) return TRUE;
  }
  // Focus inside the window moves to its parent (a child) or nowhere (a top-level window).
  if (Wnd* f = W(s.focus); f && IsDescendant(w, f)) {
    if (!IsTopLevel(w) && w->parent) SetFocus(w->parent->h);
    else SetFocus(nullptr);
    if (!(w = W(h))) return TRUE;
    if ((f = W(s.focus)) && IsDescendant(w, f)) s.focus = nullptr;
  }
  SendDestroyTree(h);
  FreeTree(h);
  return TRUE;
}

// ---------------------------------------------------------------------------
// state queries

BOOL IsWindow(HWND h) { return W(h) != nullptr; }
BOOL IsWindowVisible(HWND h) { return IsReallyVisible(W(h)); }
BOOL IsWindowEnabled(HWND h) {
  Wnd* w = W(h);
  return w && !(w->style & WS_DISABLED);
}
BOOL IsIconic(HWND h) {
  Wnd* w = W(h);
  return w && (w->style & WS_MINIMIZE);
}
BOOL IsZoomed(HWND h) {
  Wnd* w = W(h);
  return w && (w->style & WS_MAXIMIZE);
}
BOOL IsChild(HWND parent, HWND h) {
  Wnd* p = W(parent);
  Wnd* w = W(h);
  if (!p || !w || p == w) return FALSE;
  for (Wnd* c = w; c && (c->style & WS_CHILD); c = c->parent)
    if (c->parent == p) return TRUE;
  return FALSE;
}
BOOL IsWindowUnicode(HWND) { return FALSE; }

BOOL EnableWindow(HWND h, BOOL enable) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    Send(h, WM_ENABLE, TRUE);
  } else if (!enable && !wasDisabled) {
    Send(h, WM_CANCELMODE);
    if (!(w = W(h))) return wasDisabled;
    w->style |= WS_DISABLED;
    State& s = S();
    if (Wnd* f = W(s.focus); f && IsDescendant(w, f)) SetFocus(nullptr);
    if (Wnd* c = W(s.capture); c && IsDescendant(w, c)) ReleaseCaptureImpl(true);
    Send(h, WM_ENABLE, FALSE);
  }
  return wasDisabled;
}

// ---------------------------------------------------------------------------
// window data

LONG_PTR GetWindowLongPtrA(HWND h, int index) {
  Wnd* w = W(h);
  if (!w) return 0;
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->inst);
    case GWL_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(IsTopLevel(w) ? (w->owner ? w->owner->h : nullptr)
                                                      : (w->parent ? w->parent->h : nullptr));
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWL_USERDATA: return w->userData;
    case GWL_ID: return w->id;
    default:
      if (index >= 0 && std::size_t(index) + sizeof(LONG) <= w->extra.size()) {
        if (std::size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
          LONG_PTR v;
          std::memcpy(&v, w->extra.data() + index, sizeof v);
          return v;
        }
        LONG v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND h, int index, LONG_PTR value) {
  Wnd* w = W(h);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtrA(h, index);
  switch (index) {
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWL_HINSTANCE: w->inst = reinterpret_cast<HINSTANCE>(value); break;
    case GWL_USERDATA: w->userData = value; break;
    case GWL_ID: w->id = value; break;
    case GWL_HWNDPARENT:
      if (IsTopLevel(w)) w->owner = TopLevelOf(W(reinterpret_cast<HWND>(value)));
      else SetParent(h, reinterpret_cast<HWND>(value));
      break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      STYLESTRUCT ss;
      ss.styleOld = index == GWL_STYLE ? w->style : w->exStyle;
      ss.styleNew = DWORD(value);
      Send(h, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
      if (!(w = W(h))) return old;
      if (index == GWL_STYLE) {
        // visibility changes only through ShowWindow/SetWindowPos
        ss.styleNew = (ss.styleNew & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
        w->style = ss.styleNew;
      } else {
        w->exStyle = ss.styleNew;
        if (IsTopLevel(w)) BackendGeometry(w);
      }
      Send(h, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
      break;
    }
    default:
      if (index >= 0 && std::size_t(index) + sizeof(LONG_PTR) <= w->extra.size())
        std::memcpy(w->extra.data() + index, &value, sizeof value);
      else if (index >= 0 && std::size_t(index) + sizeof(LONG) <= w->extra.size()) {
        LONG v = LONG(value);
        std::memcpy(w->extra.data() + index, &v, sizeof v);
      } else
        return 0;
  }
  return old;
}

int GetDlgCtrlID(HWND h) {
  Wnd* w = W(h);
  return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  Wnd* p = W(parent);
  if (!p) return nullptr;
  for (Wnd* c = p->firstChild; c; c = c->next)
    if (c->id == id) return c->h;
  return nullptr;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND h, UINT m, WPARAM w, LPARAM l) {
  return proc ? proc(h, m, w, l) : 0;
}

BOOL SetWindowTextA(HWND h, LPCSTR text) {
  return W(h) && Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowTextA(HWND h, LPSTR buf, int max) {
  if (!buf || max <= 0) return 0;
  buf[0] = 0;
  return W(h) ? int(Send(h, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(buf))) : 0;
}

int GetWindowTextLengthA(HWND h) { return W(h) ? int(Send(h, WM_GETTEXTLENGTH)) : 0; }

BOOL SetPropA(HWND h, LPCSTR name, HANDLE data) {
  Wnd* w = W(h);
  if (!w || !name) return FALSE;
  std::string key = Lower(name);
  for (auto& p : w->props)
    if (p.first == key) {
      p.second = data;
      return TRUE;
    }
  w->props.emplace_back(key, data);
  return TRUE;
}

namespace {
// Whether a stored (lower-case) property name is Name in any case; no copy,
// since the class library looks its control up this way on every message.
bool SamePropName(const std::string& stored, LPCSTR name) {
  size_t i = 0;
  for (; name[i]; ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (i >= stored.size() || stored[i] != c) return false;
  }
  return i == stored.size();
}
}  // namespace

HANDLE GetPropA(HWND h, LPCSTR name) {
  Wnd* w = W(h);
  if (!w || !name) return nullptr;
  for (auto& p : w->props)
    if (SamePropName(p.first, name)) return p.second;
  return nullptr;
}

HANDLE RemovePropA(HWND h, LPCSTR name) {
  Wnd* w = W(h);
  if (!w || !name) return nullptr;
  std::string key = Lower(name);
  for (auto it = w->props.begin(); it != w->props.end(); ++it)
    if (it->first == key) {
      HANDLE d = it->second;
      w->props.erase(it);
      return d;
    }
  return nullptr;
}

HWND GetDesktopWindow() { return Desktop()->h; }

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  Wnd* d = Desktop();
  for (Wnd* c = d->firstChild; c; c = c->next) {
    if (className && Lower(c->cls->name) != Lower(className)) continue;
    if (windowName && c->text != windowName) continue;
    return c->h;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// hierarchy

HWND GetParent(HWND h) {
  Wnd* w = W(h);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent && w->parent != S().desktop ? w->parent->h : nullptr;
  if (w->style & WS_POPUP) return w->owner ? w->owner->h : nullptr;
  return nullptr;
}

HWND GetAncestor(HWND h, UINT flags) {
  Wnd* w = W(h);
  if (!w) return nullptr;
  Wnd* d = S().desktop;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->h : nullptr;
    case GA_ROOT: {
      Wnd* t = TopLevelOf(w);
      return t ? t->h : nullptr;
    }
    case GA_ROOTOWNER: {
      Wnd* t = TopLevelOf(w);
      while (t && t->owner) t = t->owner;
      return t ? t->h : nullptr;
    }
  }
  (void)d;
  return nullptr;
}

HWND GetWindow(HWND h, UINT cmd) {
  Wnd* w = W(h);
  if (!w) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return w->parent && w->parent->firstChild ? w->parent->firstChild->h : nullptr;
    case GW_HWNDLAST: return w->parent && w->parent->lastChild ? w->parent->lastChild->h : nullptr;
    case GW_HWNDNEXT: return w->next ? w->next->h : nullptr;
    case GW_HWNDPREV: return w->prev ? w->prev->h : nullptr;
    case GW_OWNER: return w->owner ? w->owner->h : nullptr;
    case GW_CHILD: return w->firstChild ? w->firstChild->h : nullptr;
    case GW_ENABLEDPOPUP: {
      for (Wnd* c = S().desktop->firstChild; c; c = c->next)
        if (c->owner == w && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) return c->h;
      return nullptr;
    }
  }
  return nullptr;
}

HWND GetTopWindow(HWND h) {
  Wnd* w = h ? W(h) : Desktop();
  return w && w->firstChild ? w->firstChild->h : nullptr;
}

HWND GetNextWindow(HWND h, UINT cmd) { return GetWindow(h, cmd); }

HWND GetLastActivePopup(HWND h) {
  Wnd* w = W(h);
  if (!w) return nullptr;
  Wnd* a = W(S().active);
  if (a && a->owner == w) return a->h;
  return h;
}

static BOOL EnumList(Wnd* parent, WNDENUMPROC proc, LPARAM l, bool recurse) {
  std::vector<HWND> list;
  for (Wnd* c = parent->firstChild; c; c = c->next) list.push_back(c->h);
  for (HWND c : list) {
    if (!W(c)) continue;
    if (!proc(c, l)) return FALSE;
    if (recurse && W(c) && !EnumList(W(c), proc, l, true)) return FALSE;
  }
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM l) { return proc ? EnumList(Desktop(), proc, l, false) : FALSE; }
BOOL EnumThreadWindows(DWORD, WNDENUMPROC proc, LPARAM l) { return EnumWindows(proc, l); }
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM l) {
  Wnd* p = parent ? W(parent) : Desktop();
  if (!p || !proc) return FALSE;
  return EnumList(p, proc, l, true);
}

HWND SetParent(HWND h, HWND newParent) {
  Wnd* w = W(h);
  State& s = S();
  if (!w || w == s.desktop) return nullptr;
  Wnd* np = newParent ? W(newParent) : Desktop();
  if (!np || IsDescendant(w, np)) return nullptr;
  Wnd* old = w->parent;
  HWND oldH = old && old != s.desktop ? old->h : (old ? old->h : nullptr);
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if (wasVisible) SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!(w = W(h)) || !(np = newParent ? W(newParent) : Desktop())) return oldH;
  bool wasTop = IsTopLevel(w);
  // keep the window's position relative to the new parent's client area as given
  Unlink(w);
  LinkAfter(np, w, nullptr);
  if (wasTop && np != s.desktop) BackendDestroyed(w);
  if (!wasTop && np == s.desktop) BackendCreated(w);
  PaintTopLevelChanged(w);
  if (wasVisible) SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return oldH;
}

// The thread and process ids: everything runs on one GUI thread.
DWORD GetCurrentThreadId() { return 1; }
DWORD GetWindowThreadProcessId(HWND h, DWORD* process) {
  if (process) *process = W(h) ? 1 : 0;
  return W(h) ? 1 : 0;
}
