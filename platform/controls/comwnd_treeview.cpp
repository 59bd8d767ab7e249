// The tree view window class "SysTreeView32": items in a hierarchy with
// buttons and lines, selection and drop highlight, expanding and collapsing
// with notifications, label editing in an EDIT child window, sorting, hit
// testing, keyboard navigation with incremental search, scrolling, custom
// draw, and drag detection.
//
// Item handles are serial numbers, never addresses: a deleted item's handle
// stays invalid and never names another item.
#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>
#include "platform/controls/commctrl.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/collation.h"
#include "platform/rtl/strings.h"

namespace {

constexpr UINT_PTR kEditTimer = 0x7E01;
constexpr int kSearchResetMs = 1000;

struct Item {
  std::intptr_t id = 0;
  Item* parent = nullptr;
  Item* first = nullptr;
  Item* last = nullptr;
  Item* next = nullptr;
  Item* prev = nullptr;
  std::string text;
  bool textCallback = false;
  int image = 0, selImage = 0;
  UINT state = 0;
  int children = -2;  // -2: follows the actual children; I_CHILDRENCALLBACK; 0; 1
  LPARAM lParam = 0;
  int integral = 1;
  int level = 0;         // depth below the top level (the root sentinel: -1)
  int row = -1;          // position in Tree::rows while shown (see RowOf)
  int textWidth = 0;     // the label text's width, measured in Tree::measureGen
  unsigned measured = 0;
  int right = -1;        // the label's right edge as counted in Tree::rights (in rightsGen)
  unsigned rightsGen = 0;
};

// The items by handle. A handle is an item's slot in the table with the
// slot's use count above it, so finding an item is one look into the table,
// and the handle of a deleted item never finds the item that took its slot.
class ItemTable {
 public:
  static_assert(sizeof(std::intptr_t) == 8, "handles hold a slot and its use count");
  static constexpr int kSlotBits = 24;
  static constexpr std::intptr_t kSlotMask = (std::intptr_t(1) << kSlotBits) - 1;

  // Gives the item its handle.
  void Add(Item* It) {
    std::size_t slot;
    if (!FFree.empty()) {
      slot = FFree.back();
      FFree.pop_back();
    } else {
      slot = FSlots.size();
      FSlots.push_back(nullptr);
      FUses.push_back(0);
    }
    ++FUses[slot];
    It->id = (std::intptr_t(FUses[slot]) << kSlotBits) | std::intptr_t(slot + 1);
    FSlots[slot] = It;
    ++FCount;
  }
  Item* Find(std::intptr_t Id) const {
    const std::intptr_t slot = (Id & kSlotMask) - 1;
    if (Id <= 0 || slot < 0 || std::size_t(slot) >= FSlots.size()) return nullptr;
    Item* it = FSlots[std::size_t(slot)];
    return it && it->id == Id ? it : nullptr;
  }
  void Remove(const Item* It) {
    const std::size_t slot = std::size_t((It->id & kSlotMask) - 1);
    if (slot >= FSlots.size() || FSlots[slot] != It) return;
    FSlots[slot] = nullptr;
    FFree.push_back(slot);
    --FCount;
  }
  std::size_t size() const { return FCount; }

 private:
  std::vector<Item*> FSlots;
  std::vector<std::uint64_t> FUses;
  std::vector<std::size_t> FFree;
  std::size_t FCount = 0;
};

struct Tree {
  Tree() { root.level = -1; }
  HWND hwnd = nullptr;
  Item root;  // sentinel: its children are the top-level items
  ItemTable items;
  Item* caret = nullptr;
  Item* drop = nullptr;
  int indent = 19;
  int itemHeight = 0;  // 0: from the font and images
  HIMAGELIST images = nullptr, stateImages = nullptr;
  HFONT font = nullptr;
  COLORREF bk = CLR_NONE, fg = CLR_NONE, line = CLR_DEFAULT, insertMarkColor = 0;
  HWND tooltips = nullptr;
  // the node tooltip: the window the tree made, the item it shows and its text
  HWND tip = nullptr;
  std::intptr_t tipItem = 0;
  std::string tipText;
  int top = 0;      // first row shown
  int xOffset = 0;  // horizontal scroll in pixels
  bool focused = false;
  bool redraw = true;
  bool inScrollUpdate = false;
  // The shown items in order. Expanding, collapsing, inserting and deleting
  // splice it; anything else that changes which items show marks it dirty
  // and the next use builds it again.
  std::vector<Item*> rows;
  bool rowsDirty = true;
  int rowsExact = 0;  // rows[i]->row == i for every i below this
  // The right edges of the shown rows' labels (unscrolled), kept up as rows
  // come and go: the widest gives the horizontal scroll range.
  std::multiset<int> rights;
  bool rightsDirty = true;
  unsigned rightsGen = 1;
  unsigned measureGen = 1;  // raised when the font changes: every label is measured again
  int heightCache = 0;      // ItemHeight, 0 until worked out
  HDC measureDC = nullptr;  // a memory device context for measuring labels
  // label editing
  HWND edit = nullptr;
  Item* editItem = nullptr;
  WNDPROC editOldProc = nullptr;
  bool ending = false;
  Item* editPending = nullptr;
  // incremental search
  std::string search;
  DWORD searchTime = 0;
  int pendingLead = -1;
  bool skipChar = false;
  // drag detection that outlived the queued input
  bool pendingPress = false;
  bool pendingRight = false;
  POINT pressPt;
  Item* pressItem = nullptr;
  UINT pressHit = 0;
  bool pressWasFocused = false;
  int scrollTime = 0;
  HTREEITEM insertMark = nullptr;
};

std::unordered_map<HWND, std::unique_ptr<Tree>>& Trees() {
  static std::unordered_map<HWND, std::unique_ptr<Tree>> t;
  return t;
}
Tree* TreeOf(HWND h) {
  auto it = Trees().find(h);
  return it == Trees().end() ? nullptr : it->second.get();
}

HTREEITEM H(const Item* it) {
  return it ? reinterpret_cast<HTREEITEM>(it->id) : nullptr;
}
Item* Find(Tree& t, HTREEITEM h) {
  return h ? t.items.Find(reinterpret_cast<std::intptr_t>(h)) : nullptr;
}
bool IsRootHandle(HTREEITEM h) { return h == nullptr || h == TVI_ROOT; }

DWORD Style(Tree& t) { return DWORD(GetWindowLongPtrA(t.hwnd, GWL_STYLE)); }

int Level(const Item* it) { return it->level; }
bool IsAncestor(const Item* anc, const Item* it) {
  for (const Item* p = it; p; p = p->parent)
    if (p == anc) return true;
  return false;
}

// ---- notifications ----
LRESULT Notify(Tree& t, UINT code, NMHDR* hdr) {
  hdr->hwndFrom = t.hwnd;
  hdr->idFrom = UINT_PTR(GetDlgCtrlID(t.hwnd));
  hdr->code = code;
  HWND parent = GetParent(t.hwnd);
  if (!parent) return 0;
  return SendMessageA(parent, WM_NOTIFY, WPARAM(hdr->idFrom), reinterpret_cast<LPARAM>(hdr));
}
void FillItem(TVITEMA& tv, const Item* it) {
  tv.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  tv.hItem = H(it);
  tv.state = it ? it->state : 0;
  tv.stateMask = 0xFFFF;
  tv.lParam = it ? it->lParam : 0;
}

std::string TextOf(Tree& t, Item* it) {
  if (!it->textCallback) return it->text;
  char buf[1024] = {};
  NMTVDISPINFOA di;
  di.item.mask = TVIF_TEXT;
  di.item.hItem = H(it);
  di.item.state = it->state;
  di.item.lParam = it->lParam;
  di.item.pszText = buf;
  di.item.cchTextMax = sizeof buf;
  std::intptr_t id = it->id;
  Notify(t, TVN_GETDISPINFOA, &di.hdr);
  if (!Find(t, reinterpret_cast<HTREEITEM>(id))) return {};
  std::string s = di.item.pszText && di.item.pszText != LPSTR_TEXTCALLBACKA ? std::string(di.item.pszText) : "";
  if (di.item.mask & TVIF_DI_SETITEM) {
    it->text = s;
    it->textCallback = false;
  }
  return s;
}

int ImageOf(Tree& t, Item* it, bool selected) {
  int v = selected ? it->selImage : it->image;
  if (v != I_IMAGECALLBACK) return v;
  NMTVDISPINFOA di;
  di.item.mask = selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE;
  di.item.hItem = H(it);
  di.item.state = it->state;
  di.item.lParam = it->lParam;
  std::intptr_t id = it->id;
  Notify(t, TVN_GETDISPINFOA, &di.hdr);
  if (!Find(t, reinterpret_cast<HTREEITEM>(id))) return -1;
  int r = selected ? di.item.iSelectedImage : di.item.iImage;
  if (di.item.mask & TVIF_DI_SETITEM) (selected ? it->selImage : it->image) = r;
  return r;
}

bool HasChildren(Tree& t, Item* it) {
  if (it->children == -2) return it->first != nullptr;
  if (it->children == I_CHILDRENCALLBACK) {
    NMTVDISPINFOA di;
    di.item.mask = TVIF_CHILDREN;
    di.item.hItem = H(it);
    di.item.lParam = it->lParam;
    Notify(t, TVN_GETDISPINFOA, &di.hdr);
    return di.item.cChildren != 0;
  }
  return it->children != 0 || it->first != nullptr;
}

// ---- geometry ----
HFONT FontOf(Tree& t) { return t.font ? t.font : HFONT(GetStockObject(DEFAULT_GUI_FONT)); }

int ItemHeight(Tree& t) {
  if (t.itemHeight > 0) return t.itemHeight;
  if (t.heightCache > 0) return t.heightCache;
  HDC dc = GetDC(t.hwnd);
  HGDIOBJ old = SelectObject(dc, FontOf(t));
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(t.hwnd, dc);
  int h = tm.tmHeight + 3;
  int cx = 0, cy = 0;
  if (t.images && ImageList_GetIconSize(t.images, &cx, &cy)) h = std::max(h, cy + 1);
  if (t.stateImages && ImageList_GetIconSize(t.stateImages, &cx, &cy)) h = std::max(h, cy + 1);
  if (!(Style(t) & TVS_NONEVENHEIGHT) && (h & 1)) ++h;
  t.heightCache = h;
  return h;
}

// What the row height and the rows' widths depend on changed (font, images,
// indent, style).
void MetricsChanged(Tree& t, bool font) {
  t.heightCache = 0;
  t.rightsDirty = true;
  if (font) ++t.measureGen;
}

const std::vector<Item*>& Rows(Tree& t) {
  if (!t.rowsDirty) return t.rows;
  t.rows.clear();
  std::vector<Item*> stack;
  for (Item* c = t.root.last; c; c = c->prev) stack.push_back(c);
  while (!stack.empty()) {
    Item* it = stack.back();
    stack.pop_back();
    it->row = int(t.rows.size());
    t.rows.push_back(it);
    if ((it->state & TVIS_EXPANDED) && it->first)
      for (Item* c = it->last; c; c = c->prev) stack.push_back(c);
  }
  t.rowsDirty = false;
  t.rowsExact = int(t.rows.size());
  t.rightsDirty = true;
  return t.rows;
}

// The row of a shown item, -1 for an item inside a collapsed one. An item
// remembers its row; splices leave the rows after them to be numbered again
// when one of them is asked for.
int RowOf(Tree& t, const Item* it) {
  const auto& rows = Rows(t);
  const int n = int(rows.size());
  if (it->row >= 0 && it->row < n && rows[std::size_t(it->row)] == it) return it->row;
  if (t.rowsExact < n) {
    for (int i = t.rowsExact; i < n; ++i) rows[std::size_t(i)]->row = i;
    t.rowsExact = n;
    if (it->row >= 0 && it->row < n && rows[std::size_t(it->row)] == it) return it->row;
  }
  return -1;
}

// The end of the rows an item's shown subtree takes, from the item's row.
int SubtreeRowsEnd(Tree& t, const Item* it, int row) {
  int end = row + 1;
  const int n = int(t.rows.size());
  while (end < n && t.rows[std::size_t(end)]->level > it->level) ++end;
  return end;
}

RECT Client(Tree& t) {
  RECT r;
  GetClientRect(t.hwnd, &r);
  return r;
}
int PageRows(Tree& t) {
  int h = ItemHeight(t);
  return std::max(0, int(Client(t).bottom) / h);
}

bool ButtonColumn(Tree& t) {
  return (Style(t) & TVS_LINESATROOT) && (Style(t) & (TVS_HASLINES | TVS_HASBUTTONS));
}

int StateIconWidth(Tree& t, Item* it) {
  UINT si = (it->state & TVIS_STATEIMAGEMASK) >> 12;
  if (si == 0) return 0;
  int cx = 0, cy = 0;
  if (t.stateImages && ImageList_GetIconSize(t.stateImages, &cx, &cy)) return cx;
  if (Style(t) & TVS_CHECKBOXES) return 16;
  return 0;
}
int IconWidth(Tree& t) {
  int cx = 0, cy = 0;
  if (t.images && ImageList_GetIconSize(t.images, &cx, &cy)) return cx;
  return 0;
}

struct Layout {
  RECT row;     // the whole row
  int indentLeft;  // x where this item's own column starts (its button sits left of it)
  RECT state, icon, label;
};

int TextWidth(Tree& t, const std::string& s) {
  // Measuring needs no window device context (and so no visible region).
  if (!t.measureDC) t.measureDC = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(t.measureDC, FontOf(t));
  SIZE sz{};
  GetTextExtentPoint32A(t.measureDC, s.c_str(), int(s.size()), &sz);
  SelectObject(t.measureDC, old);
  return sz.cx;
}

// The width of an item's label text; a fixed text is measured once per font.
int LabelTextWidth(Tree& t, Item* it) {
  if (!it->textCallback && it->measured == t.measureGen) return it->textWidth;
  const bool fixed = !it->textCallback;
  const std::intptr_t id = it->id;
  const int w = TextWidth(t, TextOf(t, it));
  if (fixed && Find(t, reinterpret_cast<HTREEITEM>(id))) {
    it->textWidth = w;
    it->measured = t.measureGen;
  }
  return w;
}

Layout LayoutOf(Tree& t, Item* it, int row) {
  Layout L;
  int h = ItemHeight(t);
  RECT c = Client(t);
  int y = (row - t.top) * h;
  L.row = {0, y, c.right, y + h};
  int x = -t.xOffset + (Level(it) + (ButtonColumn(t) ? 1 : 0)) * t.indent;
  L.indentLeft = x;
  int sw = StateIconWidth(t, it);
  L.state = {x, y, x + sw, y + h};
  x += sw;
  int iw = IconWidth(t);
  L.icon = {x, y, x + iw, y + h};
  x += iw;
  int tw = LabelTextWidth(t, it);
  L.label = {x, y, x + tw + 4, y + h};
  return L;
}

// The right edge of an item's label without horizontal scrolling.
int RowRight(Tree& t, Item* it) {
  return (Level(it) + (ButtonColumn(t) ? 1 : 0)) * t.indent + StateIconWidth(t, it) + IconWidth(t) +
         LabelTextWidth(t, it) + 4;
}

int Widest(Tree& t) {
  const auto& rows = Rows(t);
  if (t.rightsDirty) {
    t.rights.clear();
    ++t.rightsGen;
    const std::vector<Item*> shown = rows;  // measuring may ask the owner for texts
    for (Item* it : shown) {
      it->right = RowRight(t, it);
      it->rightsGen = t.rightsGen;
      t.rights.insert(it->right);
    }
    t.rightsDirty = false;
  }
  return t.rights.empty() ? 0 : *t.rights.rbegin();
}

bool Counted(const Tree& t, const Item* it) { return it->rightsGen == t.rightsGen && it->right >= 0; }

// A shown row's label enters the widths (rows that came into view, a label
// that changed).
void Count(Tree& t, Item* it) {
  if (t.rightsDirty || Counted(t, it)) return;
  it->right = RowRight(t, it);
  it->rightsGen = t.rightsGen;
  t.rights.insert(it->right);
}

void Uncount(Tree& t, Item* it) {
  if (t.rightsDirty || !Counted(t, it)) return;
  auto at = t.rights.find(it->right);
  if (at != t.rights.end()) t.rights.erase(at);
  it->right = -1;
}

// Rows that came into view widen the tree at once; labels whose text the
// owner gives are measured only when the widths are next needed.
void RowsAdded(Tree& t, const std::vector<Item*>& Added) {
  if (t.rightsDirty) return;
  for (Item* it : Added)
    if (it->textCallback) {
      t.rightsDirty = true;
      return;
    }
  for (Item* it : Added) Count(t, it);
}

// An item's label changed (text or state image): its width is measured again.
void LabelChanged(Tree& t, Item* it) {
  Uncount(t, it);
  it->measured = 0;
}

// After a label change: a shown row counts again.
void Recount(Tree& t, Item* it) {
  if (t.rightsDirty || t.rowsDirty || Counted(t, it)) return;
  if (it->textCallback) {
    t.rightsDirty = true;
    return;
  }
  if (RowOf(t, it) >= 0) Count(t, it);
}

// ---- keeping the rows while items come and go ----

// An item was expanded: its shown subtree comes in below it.
void ShowChildren(Tree& t, Item* x) {
  if (t.rowsDirty) return;
  const int r = RowOf(t, x);
  if (r < 0) return;
  std::vector<Item*> added, stack;
  for (Item* c = x->last; c; c = c->prev) stack.push_back(c);
  while (!stack.empty()) {
    Item* it = stack.back();
    stack.pop_back();
    added.push_back(it);
    if ((it->state & TVIS_EXPANDED) && it->first)
      for (Item* c = it->last; c; c = c->prev) stack.push_back(c);
  }
  if (added.empty()) return;
  t.rows.insert(t.rows.begin() + r + 1, added.begin(), added.end());
  for (std::size_t i = 0; i < added.size(); ++i) added[i]->row = r + 1 + int(i);
  t.rowsExact = std::min(t.rowsExact, r + 1);
  RowsAdded(t, added);
}

// An item goes out of view with its subtree (collapsed: Self false; deleted:
// Self true).
void HideSubtree(Tree& t, Item* x, bool Self) {
  if (t.rowsDirty) return;
  const int r = RowOf(t, x);
  if (r < 0) return;
  const int from = Self ? r : r + 1, to = SubtreeRowsEnd(t, x, r);
  if (to <= from) return;
  for (int i = from; i < to; ++i) Uncount(t, t.rows[std::size_t(i)]);
  t.rows.erase(t.rows.begin() + from, t.rows.begin() + to);
  t.rowsExact = std::min(t.rowsExact, from);
}

// A new item (without children yet) takes its row when its parent shows its
// children.
void ShowInserted(Tree& t, Item* n) {
  if (t.rowsDirty) return;
  Item* p = n->parent;
  if (p != &t.root && (!(p->state & TVIS_EXPANDED) || RowOf(t, p) < 0)) return;
  int pos;
  if (n->next) {
    pos = RowOf(t, n->next);
  } else if (n->prev) {
    const int pr = RowOf(t, n->prev);
    pos = pr < 0 ? -1 : SubtreeRowsEnd(t, n->prev, pr);
  } else {
    pos = p == &t.root ? 0 : RowOf(t, p) + 1;
  }
  if (pos < 0) {
    t.rowsDirty = true;
    return;
  }
  t.rows.insert(t.rows.begin() + pos, n);
  n->row = pos;
  t.rowsExact = std::min(t.rowsExact, pos);
  RowsAdded(t, {n});
}

// ---- scrolling and invalidation ----
void UpdateScroll(Tree& t);

void Changed(Tree& t, bool rows = true) {
  if (rows) t.rowsDirty = true;
  if (!t.redraw) return;
  UpdateScroll(t);
  // The scroll bars are drawn with the next paint, once for any number of changes.
  RedrawWindow(t.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void ClampTop(Tree& t) {
  int n = int(Rows(t).size());
  int page = std::max(1, PageRows(t));
  t.top = std::clamp(t.top, 0, std::max(0, n - page));
}

void UpdateScroll(Tree& t) {
  if (t.inScrollUpdate || !t.redraw) return;
  t.inScrollUpdate = true;
  ClampTop(t);
  DWORD style = Style(t);
  int n = int(Rows(t).size());
  if (!(style & TVS_NOSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, n - 1);
    si.nPage = UINT(std::max(1, PageRows(t)));
    si.nPos = t.top;
    if (n <= PageRows(t)) {
      si.nMax = 0;
      si.nPage = 0;
      si.nPos = 0;
      t.top = 0;
    }
    SetScrollInfo(t.hwnd, SB_VERT, &si, FALSE);
    if (!(style & TVS_NOHSCROLL)) {
      const int width = Widest(t);
      RECT c = Client(t);
      SCROLLINFO hs;
      hs.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      if (width > c.right) {
        t.xOffset = std::clamp(t.xOffset, 0, width - int(c.right));
        hs.nMin = 0;
        hs.nMax = width - 1;
        hs.nPage = UINT(c.right);
        hs.nPos = t.xOffset;
      } else {
        t.xOffset = 0;
      }
      SetScrollInfo(t.hwnd, SB_HORZ, &hs, FALSE);
    }
  }
  ClampTop(t);
  t.inScrollUpdate = false;
}

void HideTip(Tree& t);

void ScrollTo(Tree& t, int top) {
  HideTip(t);
  int old = t.top;
  t.top = top;
  ClampTop(t);
  if (t.top != old) Changed(t, false);
}

// Makes the row of `it` visible by scrolling (ancestors must be expanded).
void ScrollIntoView(Tree& t, Item* it) {
  int row = RowOf(t, it);
  if (row < 0) return;
  int page = std::max(1, PageRows(t));
  if (row < t.top)
    ScrollTo(t, row);
  else if (row >= t.top + page)
    ScrollTo(t, row - page + 1);
}

// ---- selection ----
bool SelectCaret(Tree& t, Item* it, UINT action);
bool Expand(Tree& t, Item* it, UINT code, UINT action, bool byMessage);
void EndEdit(Tree& t, bool cancel);

bool EnsureVisible(Tree& t, Item* it) {
  std::vector<Item*> chain;
  for (Item* p = it->parent; p && p != &t.root; p = p->parent) chain.push_back(p);
  for (auto i = chain.rbegin(); i != chain.rend(); ++i)
    if (!((*i)->state & TVIS_EXPANDED)) Expand(t, *i, TVE_EXPAND, TVC_UNKNOWN, false);
  std::intptr_t id = it->id;
  if (!Find(t, reinterpret_cast<HTREEITEM>(id))) return false;
  ScrollIntoView(t, it);
  return true;
}

bool SelectCaret(Tree& t, Item* it, UINT action) {
  if (it == t.caret) {
    if (it) EnsureVisible(t, it);
    return true;
  }
  NMTREEVIEWA nm;
  nm.action = action;
  FillItem(nm.itemOld, t.caret);
  FillItem(nm.itemNew, it);
  std::intptr_t newId = it ? it->id : 0;
  if (Notify(t, TVN_SELCHANGINGA, &nm.hdr)) return false;
  if (it && !Find(t, reinterpret_cast<HTREEITEM>(newId))) return false;
  if (t.caret) t.caret->state &= ~TVIS_SELECTED;
  Item* old = t.caret;
  t.caret = it;
  if (it) it->state |= TVIS_SELECTED;
  if (it) EnsureVisible(t, it);
  Changed(t, false);
  NMTREEVIEWA done;
  done.action = action;
  FillItem(done.itemOld, old && Find(t, H(old)) ? old : nullptr);
  if (old && !Find(t, H(old))) done.itemOld.hItem = nullptr;
  FillItem(done.itemNew, t.caret);
  Notify(t, TVN_SELCHANGEDA, &done.hdr);
  return true;
}

// ---- deletion ----
// Frees one item without children: announces it, unlinks it and lets go of
// every reference to it. The caller keeps the rows.
void DeleteLeaf(Tree& t, Item* it) {
  NMTREEVIEWA nm;
  nm.action = 0;
  nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
  nm.itemOld.hItem = H(it);
  nm.itemOld.lParam = it->lParam;
  Notify(t, TVN_DELETEITEMA, &nm.hdr);
  Item* p = it->parent;
  (it->prev ? it->prev->next : p->first) = it->next;
  (it->next ? it->next->prev : p->last) = it->prev;
  if (t.caret == it) t.caret = nullptr;
  if (t.drop == it) t.drop = nullptr;
  if (t.editPending == it) t.editPending = nullptr;
  if (t.pressItem == it) t.pressItem = nullptr;
  if (t.insertMark == H(it)) t.insertMark = nullptr;
  if (t.tipItem == it->id) {
    t.tipItem = 0;
    if (t.tip) ShowWindow(t.tip, SW_HIDE);
  }
  t.items.Remove(it);
  delete it;
  if (p != &t.root && !p->first && p->children == -2) p->state &= ~TVIS_EXPANDED;
}

// Deletes an item with its subtree, children before their parent and first
// children first, without recursion (a subtree may be a chain of any depth).
// The caller keeps the rows.
void DeleteTree(Tree& t, Item* top) {
  const std::intptr_t topId = top->id;
  Item* it = top;
  for (;;) {
    while (it->first) it = it->first;
    const bool last = it == top;
    Item* p = it->parent;
    const std::intptr_t parentId = p->id;
    DeleteLeaf(t, it);
    if (last) return;
    // The announcement may have deleted more of the subtree.
    if (!Find(t, reinterpret_cast<HTREEITEM>(topId))) return;
    it = p == &t.root || Find(t, reinterpret_cast<HTREEITEM>(parentId)) ? p : top;
  }
}

void DeleteAll(Tree& t) {
  t.rows.clear();
  t.rowsExact = 0;
  t.rowsDirty = true;
  while (t.root.first) DeleteTree(t, t.root.first);
  t.rowsDirty = true;
}

bool DeleteItem(Tree& t, HTREEITEM h) {
  if (IsRootHandle(h)) {
    if (t.edit) EndEdit(t, true);
    t.caret = nullptr;
    DeleteAll(t);
    t.top = 0;
    t.xOffset = 0;
    Changed(t);
    return true;
  }
  Item* it = Find(t, h);
  if (!it) return false;
  if (t.edit && t.editItem && IsAncestor(it, t.editItem)) EndEdit(t, true);
  it = Find(t, h);
  if (!it) return true;
  if (t.caret && IsAncestor(it, t.caret)) {
    Item* next = it->next ? it->next : it->prev ? it->prev : (it->parent != &t.root ? it->parent : nullptr);
    if (!SelectCaret(t, next, TVC_UNKNOWN) || (t.caret && IsAncestor(it, t.caret))) {
      if (Find(t, h) && t.caret && IsAncestor(Find(t, h), t.caret)) {
        t.caret->state &= ~TVIS_SELECTED;
        t.caret = nullptr;
      }
    }
    it = Find(t, h);
    if (!it) return true;
  }
  HideSubtree(t, it, true);
  DeleteTree(t, it);
  Changed(t, false);
  return true;
}

// ---- expanding ----
// Expands an item and everything below it, parents before their children,
// without recursion.
void ExpandAll(Tree& t, Item* top) {
  std::vector<std::intptr_t> pending{top->id};
  while (!pending.empty()) {
    const std::intptr_t id = pending.back();
    pending.pop_back();
    Item* it = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (!it) continue;
    if (HasChildren(t, it) && !(it->state & TVIS_EXPANDED)) Expand(t, it, TVE_EXPAND, TVC_BYKEYBOARD, false);
    it = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (!it) continue;
    for (Item* c = it->last; c; c = c->prev) pending.push_back(c->id);
  }
}

bool Expand(Tree& t, Item* it, UINT code, UINT action, bool byMessage) {
  UINT op = code & 0x3;
  bool reset = (code & TVE_COLLAPSERESET) != 0;
  if (op == TVE_TOGGLE) op = (it->state & TVIS_EXPANDED) ? TVE_COLLAPSE : TVE_EXPAND;
  if (op != TVE_EXPAND && op != TVE_COLLAPSE) return false;
  bool expanding = op == TVE_EXPAND;
  if (expanding && (it->state & TVIS_EXPANDED)) return true;
  if (!expanding && !(it->state & TVIS_EXPANDED) && !reset) return true;
  if (expanding && !HasChildren(t, it)) return false;
  std::intptr_t id = it->id;
  // A TVM_EXPAND on an item that was expanded once before is silent.
  bool notify = !(byMessage && (it->state & TVIS_EXPANDEDONCE));
  if (notify) {
    NMTREEVIEWA nm;
    nm.action = op;
    FillItem(nm.itemNew, it);
    if (Notify(t, TVN_ITEMEXPANDINGA, &nm.hdr)) return false;
    it = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (!it) return false;
  }
  if (expanding) {
    if (!it->first) {
      // Nothing to show after all: the item loses its button.
      if (it->children != I_CHILDRENCALLBACK) it->children = -2;
      Changed(t, false);
      return false;
    }
    if (!(it->state & TVIS_EXPANDED)) {
      it->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
      ShowChildren(t, it);
    }
  } else {
    if (it->state & TVIS_EXPANDED) {
      HideSubtree(t, it, false);
      it->state &= ~TVIS_EXPANDED;
    }
    if (t.caret && t.caret != it && IsAncestor(it, t.caret)) SelectCaret(t, it, TVC_UNKNOWN);
    it = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (!it) return false;
    if (reset) {
      // Collapsed: none of the children shows.
      while (it->first) DeleteTree(t, it->first);
      it->state &= ~TVIS_EXPANDEDONCE;
    }
  }
  Changed(t, false);
  if (notify) {
    NMTREEVIEWA nm;
    nm.action = op;
    FillItem(nm.itemNew, it);
    Notify(t, TVN_ITEMEXPANDEDA, &nm.hdr);
  }
  return true;
}

// ---- insertion ----
// Items sorted by text go in the locale's order, without case.
int CompareItemText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b); }

void Link(Item* parent, Item* after, Item* it) {  // after == nullptr: first
  it->parent = parent;
  it->level = parent->level + 1;
  it->prev = after;
  it->next = after ? after->next : parent->first;
  (it->next ? it->next->prev : parent->last) = it;
  (after ? after->next : parent->first) = it;
}

void ApplyItem(Tree& t, Item* it, const TVITEMA& tv) {
  if (tv.mask & TVIF_TEXT) {
    if (tv.pszText == LPSTR_TEXTCALLBACKA) {
      it->textCallback = true;
      it->text.clear();
    } else {
      it->textCallback = false;
      it->text = tv.pszText ? tv.pszText : "";
    }
    LabelChanged(t, it);
  }
  if (tv.mask & TVIF_IMAGE) it->image = tv.iImage;
  if (tv.mask & TVIF_SELECTEDIMAGE) it->selImage = tv.iSelectedImage;
  if (tv.mask & TVIF_PARAM) it->lParam = tv.lParam;
  if (tv.mask & TVIF_CHILDREN) it->children = tv.cChildren == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : (tv.cChildren ? 1 : 0);
  if (tv.mask & TVIF_INTEGRAL) it->integral = std::max(1, tv.iIntegral);
  if (tv.mask & TVIF_STATE) {
    UINT mask = tv.stateMask & ~(TVIS_SELECTED);
    UINT old = it->state;
    it->state = (it->state & ~mask) | (tv.state & mask);
    if ((tv.stateMask & TVIS_SELECTED)) it->state = (it->state & ~TVIS_SELECTED) | (tv.state & TVIS_SELECTED);
    if ((old ^ it->state) & TVIS_EXPANDED) t.rowsDirty = true;
    if ((old ^ it->state) & TVIS_STATEIMAGEMASK) LabelChanged(t, it);
    if ((old ^ it->state) & TVIS_DROPHILITED) {
      if (it->state & TVIS_DROPHILITED) {
        if (t.drop && t.drop != it) t.drop->state &= ~TVIS_DROPHILITED;
        t.drop = it;
      } else if (t.drop == it) {
        t.drop = nullptr;
      }
    }
  }
}

HTREEITEM Insert(Tree& t, const TVINSERTSTRUCTA* is) {
  if (!is) return nullptr;
  Item* parent = IsRootHandle(is->hParent) ? &t.root : Find(t, is->hParent);
  if (!parent) return nullptr;
  Item* after = nullptr;
  HTREEITEM ia = is->hInsertAfter;
  auto it = std::make_unique<Item>();
  t.items.Add(it.get());
  // An item that is not inserted after all leaves the table with its handle.
  struct Unlist {
    ItemTable& Table;
    Item* It;
    ~Unlist() {
      if (It) Table.Remove(It);
    }
  } unlist{t.items, it.get()};
  ApplyItem(t, it.get(), is->item);
  it->state &= ~(TVIS_SELECTED | TVIS_DROPHILITED);
  if ((Style(t) & TVS_CHECKBOXES) && !(it->state & TVIS_STATEIMAGEMASK)) it->state |= INDEXTOSTATEIMAGEMASK(1);
  if (ia == TVI_FIRST) {
    after = nullptr;
  } else if (ia == TVI_LAST || ia == nullptr || ia == TVI_ROOT) {
    after = parent->last;
  } else if (ia == TVI_SORT) {
    std::string key = TextOf(t, it.get());
    after = nullptr;
    for (Item* c = parent->first; c; c = c->next) {
      if (CompareItemText(TextOf(t, c), key) > 0) break;
      after = c;
    }
  } else {
    after = Find(t, ia);
    if (!after || after->parent != parent) return nullptr;
  }
  unlist.It = nullptr;
  Item* raw = it.release();
  Link(parent, after, raw);
  if (parent != &t.root && parent->children == 0) parent->children = -2;
  ShowInserted(t, raw);
  Changed(t, false);
  return H(raw);
}

// ---- sorting ----
void SortKids(Tree& t, Item* parent, PFNTVCOMPARE cmp, LPARAM data) {
  std::vector<Item*> kids;
  for (Item* c = parent->first; c; c = c->next) kids.push_back(c);
  if (kids.size() < 2) return;
  if (cmp) {
    std::stable_sort(kids.begin(), kids.end(), [&](Item* a, Item* b) { return cmp(a->lParam, b->lParam, data) < 0; });
  } else {
    std::vector<std::pair<std::string, Item*>> keyed;
    for (Item* k : kids) keyed.emplace_back(AnsiCollationKey(TextOf(t, k), true), k);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < kids.size(); ++i) kids[i] = keyed[i].second;
  }
  parent->first = parent->last = nullptr;
  for (Item* k : kids) Link(parent, parent->last, k);
}

// Sorts an item's children, and with recurse every level below it (without
// recursion: the levels may go down any depth).
bool SortChildren(Tree& t, Item* parent, bool recurse, PFNTVCOMPARE cmp, LPARAM data) {
  std::vector<Item*> pending{parent};
  while (!pending.empty()) {
    Item* p = pending.back();
    pending.pop_back();
    SortKids(t, p, cmp, data);
    if (!recurse) break;
    for (Item* c = p->last; c; c = c->prev)
      if (c->first) pending.push_back(c);
  }
  return true;
}

// ---- hit testing ----
UINT HitTest(Tree& t, POINT p, Item** out) {
  *out = nullptr;
  RECT c = Client(t);
  UINT flags = 0;
  if (p.x < 0) flags |= TVHT_TOLEFT;
  else if (p.x >= c.right) flags |= TVHT_TORIGHT;
  if (p.y < 0) flags |= TVHT_ABOVE;
  else if (p.y >= c.bottom) flags |= TVHT_BELOW;
  if (flags) return flags;
  int h = ItemHeight(t);
  int row = t.top + p.y / h;
  const auto& rows = Rows(t);
  if (row >= int(rows.size())) return TVHT_NOWHERE;
  Item* it = rows[std::size_t(row)];
  *out = it;
  Layout L = LayoutOf(t, it, row);
  bool hasButton = (Style(t) & TVS_HASBUTTONS) && HasChildren(t, it) && (it->parent != &t.root || ButtonColumn(t));
  if (p.x < L.indentLeft) {
    if (hasButton && p.x >= L.indentLeft - t.indent) return TVHT_ONITEMBUTTON;
    return TVHT_ONITEMINDENT;
  }
  if (p.x < L.state.right) return TVHT_ONITEMSTATEICON;
  if (p.x < L.icon.right) return TVHT_ONITEMICON;
  if (p.x < L.label.right) return TVHT_ONITEMLABEL;
  return TVHT_ONITEMRIGHT;
}

// ---- label editing ----
LRESULT CALLBACK_EditProc(HWND h, UINT m, WPARAM w, LPARAM l);

HWND BeginEdit(Tree& t, Item* it) {
  if (t.edit) EndEdit(t, false);
  it = Find(t, H(it));
  if (!it) return nullptr;
  std::intptr_t id = it->id;
  if (GetFocus() != t.hwnd) SetFocus(t.hwnd);
  it = Find(t, reinterpret_cast<HTREEITEM>(id));
  if (!it || !EnsureVisible(t, it)) return nullptr;
  UpdateWindow(t.hwnd);
  int row = RowOf(t, it);
  Layout L = LayoutOf(t, it, row);
  std::string text = TextOf(t, it);
  RECT c = Client(t);
  int w = std::max(int(L.label.right - L.label.left) + 24, 48);
  int right = std::min(int(L.label.left) + w, int(c.right));
  HWND e = CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT,
                           L.label.left - 1, L.label.top, std::max(8, right - int(L.label.left) + 1),
                           L.label.bottom - L.label.top, t.hwnd, nullptr, nullptr, nullptr);
  if (!e) return nullptr;
  SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(t)), 0);
  t.edit = e;
  t.editItem = it;
  t.editOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CALLBACK_EditProc)));
  SendMessageA(e, EM_SETSEL, 0, -1);
  NMTVDISPINFOA di;
  FillItem(di.item, it);
  di.item.mask |= TVIF_TEXT;
  di.item.pszText = text.data();
  di.item.cchTextMax = int(text.size()) + 1;
  LRESULT veto = Notify(t, TVN_BEGINLABELEDITA, &di.hdr);
  if (veto || !Find(t, reinterpret_cast<HTREEITEM>(id)) || t.edit != e) {
    if (t.edit == e) {
      t.edit = nullptr;
      t.editItem = nullptr;
      DestroyWindow(e);
    }
    return nullptr;
  }
  ShowWindow(e, SW_SHOW);
  SetFocus(e);
  return e;
}

void EndEdit(Tree& t, bool cancel) {
  if (!t.edit || t.ending) return;
  t.ending = true;
  HWND e = t.edit;
  Item* it = t.editItem;
  int len = GetWindowTextLengthA(e);
  std::string text(std::size_t(len) + 1, '\0');
  GetWindowTextA(e, text.data(), len + 1);
  text.resize(std::strlen(text.c_str()));
  bool hadFocus = GetFocus() == e;
  if (it && Find(t, H(it))) {
    NMTVDISPINFOA di;
    FillItem(di.item, it);
    di.item.mask |= TVIF_TEXT;
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    di.item.pszText = cancel ? nullptr : buf.data();
    di.item.cchTextMax = cancel ? 0 : int(buf.size());
    std::intptr_t id = it->id;
    LRESULT keep = Notify(t, TVN_ENDLABELEDITA, &di.hdr);
    Item* still = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (keep && !cancel && still && di.item.pszText) {
      LabelChanged(t, still);
      still->text = di.item.pszText;
      still->textCallback = false;
      Recount(t, still);
      Changed(t, false);
    }
  }
  t.edit = nullptr;
  t.editItem = nullptr;
  t.editOldProc = nullptr;
  t.ending = false;
  if (IsWindow(e)) {
    if (hadFocus || GetFocus() == e) SetFocus(t.hwnd);
    DestroyWindow(e);
  }
  InvalidateRect(t.hwnd, nullptr, TRUE);
}

LRESULT CALLBACK_EditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  HWND parent = GetParent(h);
  Tree* t = TreeOf(parent);
  WNDPROC old = t && t->edit == h ? t->editOldProc : nullptr;
  if (!old) return DefWindowProcA(h, m, w, l);
  switch (m) {
    case WM_GETDLGCODE:
      return CallWindowProcA(old, h, m, w, l) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (w == VK_RETURN || w == VK_ESCAPE) {
        EndEdit(*t, w == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (w == '\r' || w == 27) return 0;
      break;
    case WM_KILLFOCUS: {
      LRESULT r = CallWindowProcA(old, h, m, w, l);
      if (TreeOf(parent) == t && t->edit == h && !t->ending) EndEdit(*t, false);
      return r;
    }
    default:
      break;
  }
  return CallWindowProcA(old, h, m, w, l);
}

// ---- node tooltips ----
// A node whose label the client area cuts off shows its whole text in a
// tooltip laid over the label while the mouse rests on it.
constexpr const char* kTipClass = "PvTreeNodeTip";

LRESULT TipProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
      FillRect(dc, &r, b);
      DeleteObject(b);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(GetPropA(h, "PvTipFont")));
      char buf[1024] = {};
      int n = GetWindowTextA(h, buf, sizeof buf);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      RECT tr{r.left + 2, r.top, r.right, r.bottom};
      DrawTextA(dc, buf, n, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProcA(h, m, w, l);
  }
}

void HideTip(Tree& t) {
  t.tipItem = 0;
  if (t.tip && IsWindowVisible(t.tip)) ShowWindow(t.tip, SW_HIDE);
}

// The text the tree's owner lets the tooltip show for an item (empty: none).
std::string TipTextFor(Tree& t, Item* it) {
  NMTTDISPINFOA di;
  di.hdr.hwndFrom = t.tip;
  di.hdr.idFrom = UINT_PTR(it->id);
  di.hdr.code = TTN_NEEDTEXTA;
  di.lpszText = di.szText;
  std::intptr_t id = it->id;
  SendMessageA(t.hwnd, WM_NOTIFY, WPARAM(di.hdr.idFrom), reinterpret_cast<LPARAM>(&di));
  if (!Find(t, reinterpret_cast<HTREEITEM>(id)) || !di.lpszText || di.lpszText == LPSTR_TEXTCALLBACKA) return {};
  return di.lpszText;
}

void UpdateTip(Tree& t, POINT p) {
  Item* it = nullptr;
  UINT hit = HitTest(t, p, &it);

  RECT c = Client(t);
  Layout L{};
  bool cut = false;
  if (it && (hit & TVHT_ONITEMLABEL) && !(Style(t) & TVS_NOTOOLTIPS) && !t.edit && GetCapture() != t.hwnd) {
    L = LayoutOf(t, it, RowOf(t, it));
    cut = L.label.right > c.right || L.label.left < c.left;
  }
  if (!cut) {
    HideTip(t);
    return;
  }
  if (t.tipItem == it->id && t.tip && IsWindowVisible(t.tip)) return;
  if (!t.tip) {
    WNDCLASSEXA existing;
    if (!GetClassInfoExA(nullptr, kTipClass, &existing)) {
      WNDCLASSEXA wc;
      wc.style = CS_SAVEBITS;
      wc.lpfnWndProc = TipProc;
      wc.lpszClassName = kTipClass;
      RegisterClassExA(&wc);
    }
    // The mouse goes through the tooltip to the tree below it.
    t.tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT, kTipClass, "",
                            WS_POPUP | WS_BORDER, 0, 0, 1, 1, t.hwnd, nullptr, nullptr, nullptr);
    if (!t.tip) return;
    SetLayeredWindowAttributes(t.tip, 0, 255, LWA_ALPHA);
    t.tooltips = t.tip;
  }
  std::intptr_t id = it->id;
  t.tipItem = id;
  std::string text = TipTextFor(t, it);
  it = Find(t, reinterpret_cast<HTREEITEM>(id));
  if (!it || t.tipItem != id || text.empty()) {
    HideTip(t);
    t.tipItem = id;  // asked once; asked again only over another node
    return;
  }
  SetPropA(t.tip, "PvTipFont", FontOf(t));
  SetWindowTextA(t.tip, text.c_str());
  POINT at{L.label.left, L.label.top};
  ClientToScreen(t.hwnd, &at);
  SetWindowPos(t.tip, HWND_TOPMOST, at.x - 1, at.y - 1, TextWidth(t, text) + 6, int(L.label.bottom - L.label.top) + 2,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(t.tip, nullptr, TRUE);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = t.hwnd;
  TrackMouseEvent(&tme);
}

// ---- painting ----
void DottedLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF c) {
  if (x1 == x2) {
    for (int y = std::min(y1, y2); y < std::max(y1, y2); ++y)
      if (((x1 + y) & 1) == 0) SetPixelV(dc, x1, y, c);
  } else {
    for (int x = std::min(x1, x2); x < std::max(x1, x2); ++x)
      if (((x + y1) & 1) == 0) SetPixelV(dc, x, y1, c);
  }
}

COLORREF Resolve(COLORREF c, int sys) { return c == CLR_NONE ? GetSysColor(sys) : c; }

void DrawButton(HDC dc, int cx, int cy, bool expanded) {
  RECT b{cx - 4, cy - 4, cx + 5, cy + 5};
  HBRUSH white = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(dc, &b, white);
  DeleteObject(white);
  HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_GRAYTEXT));
  FrameRect(dc, &b, frame);
  DeleteObject(frame);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, cx - 2, cy, nullptr);
  LineTo(dc, cx + 3, cy);
  if (!expanded) {
    MoveToEx(dc, cx, cy - 2, nullptr);
    LineTo(dc, cx, cy + 3);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

// Through: the x of each line that runs past the row for an ancestor with a
// next sibling.
void PaintRow(Tree& t, HDC dc, Item* it, int row, const NMTVCUSTOMDRAW& cd, const std::vector<int>& Through) {
  DWORD style = Style(t);
  Layout L = LayoutOf(t, it, row);
  int h = ItemHeight(t);
  COLORREF lineColor = t.line == CLR_DEFAULT ? GetSysColor(COLOR_GRAYTEXT) : t.line;
  bool rootCol = ButtonColumn(t);
  int midY = L.row.top + h / 2;
  // lines
  if (style & TVS_HASLINES) {
    if (it->parent != &t.root || rootCol) {
      int x = L.indentLeft - t.indent / 2 - 1;
      bool firstRoot = it->parent == &t.root && !it->prev;
      DottedLine(dc, x, firstRoot ? midY : L.row.top, x, it->next ? L.row.bottom : midY + 1, lineColor);
      DottedLine(dc, x, midY, L.indentLeft, midY, lineColor);
    }
    for (int ax : Through) DottedLine(dc, ax, L.row.top, ax, L.row.bottom, lineColor);
  }
  // button
  if ((style & TVS_HASBUTTONS) && (it->parent != &t.root || rootCol) && HasChildren(t, it))
    DrawButton(dc, L.indentLeft - t.indent / 2 - 1, midY, (it->state & TVIS_EXPANDED) != 0);
  // state image
  UINT si = (it->state & TVIS_STATEIMAGEMASK) >> 12;
  if (si && L.state.right > L.state.left) {
    if (t.stateImages) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(t.stateImages, &cx, &cy);
      ImageList_Draw(t.stateImages, int(si), dc, L.state.left, L.row.top + (h - cy) / 2, ILD_TRANSPARENT);
    } else if (style & TVS_CHECKBOXES) {
      RECT b{L.state.left + 1, midY - 6, L.state.left + 14, midY + 7};
      DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (si == 2 ? DFCS_CHECKED : 0));
    }
  }
  // icon
  bool selected = (it->state & TVIS_SELECTED) != 0;
  if (t.images) {
    int idx = ImageOf(t, it, selected);
    if (!Find(t, H(it))) return;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(t.images, &cx, &cy);
    UINT ov = it->state & TVIS_OVERLAYMASK;
    if (idx >= 0) ImageList_Draw(t.images, idx, dc, L.icon.left, L.row.top + (h - cy) / 2, ILD_TRANSPARENT | ov);
  }
  // label
  std::string text = TextOf(t, it);
  if (!Find(t, H(it))) return;
  RECT lab = L.label;
  if (t.edit && t.editItem == it) return;
  bool filled = cd.clrTextBk != Resolve(t.bk, COLOR_WINDOW) || (style & TVS_FULLROWSELECT);
  if (filled) {
    HBRUSH b = CreateSolidBrush(cd.clrTextBk);
    RECT fill = (style & TVS_FULLROWSELECT) && (selected || it == t.drop) ? L.row : lab;
    FillRect(dc, &fill, b);
    DeleteObject(b);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, cd.clrText);
  RECT tr{lab.left + 2, lab.top, lab.right, lab.bottom};
  DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  if (it == t.caret && t.focused && !t.drop) {
    SetTextColor(dc, 0);
    SetBkColor(dc, 0xFFFFFF);
    DrawFocusRect(dc, &lab);
  }
}

// For Count rows from First: the x of every vertical line that runs past the
// row for one of its ancestors with a next sibling, within the window. Worked
// out before any drawing notification, which may change the tree. Only the
// first row's ancestors are walked; each further row takes its parent as the
// ancestor at its parent's depth, as rows come in pre-order.
std::vector<std::vector<int>> LinesThrough(Tree& t, int First, int Count) {
  std::vector<std::vector<int>> out(std::size_t(std::max(Count, 0)));
  if (!(Style(t) & TVS_HASLINES) || Count <= 0 || t.indent <= 0) return out;
  const auto& rows = Rows(t);
  const bool rootCol = ButtonColumn(t);
  const int rc = rootCol ? 1 : 0;
  const RECT c = Client(t);
  // The depths whose lines can fall inside the client area.
  const int dFrom = std::max(0, t.xOffset / t.indent - rc - 1);
  const int dTo = (t.xOffset + int(c.right)) / t.indent - rc + 1;
  std::vector<Item*> anc;  // anc[d]: the current row's ancestor at depth d
  for (int i = 0; i < Count; ++i) {
    Item* it = rows[std::size_t(First + i)];
    const int level = it->level;
    if (i == 0) {
      anc.assign(std::size_t(level), nullptr);
      for (Item* a = it->parent; a && a != &t.root; a = a->parent) anc[std::size_t(a->level)] = a;
    } else if (level > 0) {
      if (int(anc.size()) < level) anc.resize(std::size_t(level));
      anc[std::size_t(level - 1)] = it->parent;
    }
    for (int d = dFrom; d < level && d <= dTo; ++d) {
      Item* a = anc[std::size_t(d)];
      if (!a || !a->next) continue;
      if (a->parent == &t.root && !rootCol) continue;
      out[std::size_t(i)].push_back(-t.xOffset + (d + rc) * t.indent - t.indent / 2 - 1);
    }
  }
  return out;
}

void Paint(Tree& t, HDC dc, const RECT& area) {
  DWORD style = Style(t);
  COLORREF bk = Resolve(t.bk, COLOR_WINDOW);
  HBRUSH bg = CreateSolidBrush(bk);
  FillRect(dc, &area, bg);
  DeleteObject(bg);
  HGDIOBJ oldFont = SelectObject(dc, FontOf(t));
  NMTVCUSTOMDRAW cd;
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  cd.nmcd.hdc = dc;
  cd.nmcd.rc = Client(t);
  LRESULT r0 = Notify(t, NM_CUSTOMDRAW, &cd.nmcd.hdr);
  if (!(r0 & CDRF_SKIPDEFAULT)) {
    int h = ItemHeight(t);
    int page = PageRows(t) + 1;
    // The rows of the page (the owner's drawing may change the tree meanwhile).
    const auto& all = Rows(t);
    const int first = std::min(t.top, int(all.size()));
    std::vector<std::intptr_t> rows;
    for (int i = first; i < int(all.size()) && i < first + page; ++i) rows.push_back(all[std::size_t(i)]->id);
    const std::vector<std::vector<int>> through = LinesThrough(t, first, int(rows.size()));
    for (int row = t.top; row - first < int(rows.size()); ++row) {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(rows[std::size_t(row - first)]));
      if (!it) continue;
      RECT rr{0, (row - t.top) * h, Client(t).right, (row - t.top + 1) * h};
      if (rr.bottom <= area.top || rr.top >= area.bottom) continue;
      bool selected = (it->state & TVIS_SELECTED) != 0;
      bool hilite = it == t.drop || (selected && !t.drop && t.focused);
      bool grey = selected && !t.drop && !t.focused && (style & TVS_SHOWSELALWAYS);
      NMTVCUSTOMDRAW ic;
      ic.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      ic.nmcd.hdc = dc;
      ic.nmcd.rc = rr;
      ic.nmcd.dwItemSpec = DWORD_PTR(it->id);
      ic.nmcd.uItemState = (selected ? CDIS_SELECTED : 0) | (it == t.caret && t.focused ? CDIS_FOCUS : 0) |
                           (IsWindowEnabled(t.hwnd) ? 0 : CDIS_DISABLED);
      ic.nmcd.lItemlParam = it->lParam;
      ic.iLevel = Level(it);
      ic.clrText = hilite ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Resolve(t.fg, COLOR_WINDOWTEXT);
      ic.clrTextBk = hilite ? GetSysColor(COLOR_HIGHLIGHT) : grey ? GetSysColor(COLOR_BTNFACE) : bk;
      LRESULT ri = CDRF_DODEFAULT;
      int saved = SaveDC(dc);
      if (r0 & CDRF_NOTIFYITEMDRAW) {
        std::intptr_t id = it->id;
        ri = Notify(t, NM_CUSTOMDRAW, &ic.nmcd.hdr);
        if (!Find(t, reinterpret_cast<HTREEITEM>(id))) {
          RestoreDC(dc, saved);
          continue;
        }
        if (!(ri & CDRF_NEWFONT)) SelectObject(dc, FontOf(t));
      }
      if (!(ri & CDRF_SKIPDEFAULT)) PaintRow(t, dc, it, row, ic, through[std::size_t(row - first)]);
      RestoreDC(dc, saved);
      SelectObject(dc, FontOf(t));
      if (ri & CDRF_NOTIFYPOSTPAINT) {
        ic.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
        Notify(t, NM_CUSTOMDRAW, &ic.nmcd.hdr);
      }
    }
  }
  if (r0 & CDRF_NOTIFYPOSTPAINT) {
    cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
    Notify(t, NM_CUSTOMDRAW, &cd.nmcd.hdr);
  }
  SelectObject(dc, oldFont);
}

HIMAGELIST CreateDragImage(Tree& t, Item* it) {
  int row = RowOf(t, it);
  if (row < 0) row = 0;
  Layout L = LayoutOf(t, it, row);
  int iw = IconWidth(t);
  int w = iw + int(L.label.right - L.label.left);
  int h = ItemHeight(t);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  RECT all{0, 0, w, h};
  HBRUSH bg = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(mem, &all, bg);
  DeleteObject(bg);
  if (t.images) {
    int idx = ImageOf(t, it, false);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(t.images, &cx, &cy);
    if (idx >= 0) ImageList_Draw(t.images, idx, mem, 0, (h - cy) / 2, ILD_TRANSPARENT);
  }
  HGDIOBJ oldFont = SelectObject(mem, FontOf(t));
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, GetSysColor(COLOR_WINDOWTEXT));
  std::string text = TextOf(t, it);
  RECT tr{iw + 2, 0, w, h};
  DrawTextA(mem, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBmp);
  HIMAGELIST il = ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_AddMasked(il, bmp, GetSysColor(COLOR_WINDOW));
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return il;
}

// ---- keyboard ----
Item* NextVisible(Tree& t, Item* it, int delta) {
  const auto& rows = Rows(t);
  int row = RowOf(t, it);
  if (row < 0) return nullptr;
  int n = row + delta;
  if (n < 0 || n >= int(rows.size())) return nullptr;
  return rows[std::size_t(n)];
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  return CompareItemText(text.substr(0, prefix.size()), prefix) == 0;
}

void IncrementalSearch(Tree& t, const std::string& ch) {
  DWORD now = GetMessageTime();
  if (t.search.empty() || DWORD(now - t.searchTime) > DWORD(kSearchResetMs)) t.search.clear();
  t.searchTime = now;
  t.search += ch;
  const auto& rows = Rows(t);
  if (rows.empty()) return;
  // The same character typed again cycles through the items that start with it.
  bool repeat = t.search.size() >= 2 * ch.size();
  for (std::size_t i = ch.size(); repeat && i < t.search.size(); i += ch.size())
    if (t.search.compare(i, ch.size(), ch) != 0) repeat = false;
  std::string key = repeat ? ch : t.search;
  int start = t.caret ? RowOf(t, t.caret) : 0;
  if (start < 0) start = 0;
  if (repeat || t.search.size() == ch.size()) ++start;
  int n = int(rows.size());
  for (int k = 0; k < n; ++k) {
    Item* it = rows[std::size_t((start + k) % n)];
    if (StartsWith(TextOf(t, it), key)) {
      SelectCaret(t, it, TVC_BYKEYBOARD);
      return;
    }
  }
  MessageBeep(0);
}

void KeyDown(Tree& t, WPARAM vk, LPARAM l) {
  NMTVKEYDOWN kd;
  kd.wVKey = WORD(vk);
  kd.flags = UINT(l);
  t.skipChar = Notify(t, TVN_KEYDOWN, &kd.hdr) != 0;
  if (!IsWindow(t.hwnd)) return;
  const auto& rows = Rows(t);
  if (rows.empty()) return;
  Item* cur = t.caret;
  Item* target = nullptr;
  int page = std::max(1, PageRows(t));
  switch (vk) {
    case VK_UP: target = cur ? NextVisible(t, cur, -1) : rows.front(); break;
    case VK_DOWN: target = cur ? NextVisible(t, cur, 1) : rows.front(); break;
    case VK_HOME: target = rows.front(); break;
    case VK_END: target = rows.back(); break;
    case VK_PRIOR: {
      int r = cur ? RowOf(t, cur) : 0;
      target = rows[std::size_t(std::max(0, r - (page - 1)))];
      break;
    }
    case VK_NEXT: {
      int r = cur ? RowOf(t, cur) : 0;
      target = rows[std::size_t(std::min(int(rows.size()) - 1, r + (page - 1)))];
      break;
    }
    case VK_LEFT:
      if (!cur) break;
      if ((cur->state & TVIS_EXPANDED) && cur->first)
        Expand(t, cur, TVE_COLLAPSE, TVC_BYKEYBOARD, false);
      else if (cur->parent != &t.root)
        target = cur->parent;
      break;
    case VK_BACK:
      if (cur && cur->parent != &t.root) target = cur->parent;
      break;
    case VK_RIGHT:
      if (!cur) break;
      if (!(cur->state & TVIS_EXPANDED)) {
        if (HasChildren(t, cur)) Expand(t, cur, TVE_EXPAND, TVC_BYKEYBOARD, false);
      } else if (cur->first) {
        target = cur->first;
      }
      break;
    case VK_ADD:
      if (cur) Expand(t, cur, TVE_EXPAND, TVC_BYKEYBOARD, false);
      break;
    case VK_SUBTRACT:
      if (cur) Expand(t, cur, TVE_COLLAPSE, TVC_BYKEYBOARD, false);
      break;
    case VK_MULTIPLY:
      if (cur) ExpandAll(t, cur);
      break;
    case VK_F2:
      if (cur && (Style(t) & TVS_EDITLABELS)) BeginEdit(t, cur);
      break;
    case VK_RETURN: {
      NMHDR hdr;
      Notify(t, NM_RETURN, &hdr);
      break;
    }
    case VK_SPACE:
      if (cur && (Style(t) & TVS_CHECKBOXES)) {
        UINT si = (cur->state & TVIS_STATEIMAGEMASK) >> 12;
        cur->state = (cur->state & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(si == 2 ? 1 : 2);
        Changed(t, false);
        t.skipChar = true;
      }
      break;
    default:
      break;
  }
  if (target && target != cur) SelectCaret(t, target, TVC_BYKEYBOARD);
}

// ---- mouse ----
// Follows the queued mouse input after a press: 0 the button was released
// (a click), 1 the mouse moved far enough for a drag, 2 the input ran out
// with the button still down (decided later by WM_MOUSEMOVE / button up),
// 3 another button ended it.
int DetectDrag(Tree& t, POINT start, UINT upMsg) {
  SetCapture(t.hwnd);
  int cx = std::max(1, GetSystemMetrics(SM_CXDRAG)), cy = std::max(1, GetSystemMetrics(SM_CYDRAG));
  MSG m;
  while (PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    POINT p{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    if (m.hwnd && m.hwnd != t.hwnd) MapWindowPoints(m.hwnd, t.hwnd, &p, 1);
    if (m.message == WM_MOUSEMOVE) {
      if (std::abs(p.x - start.x) > cx || std::abs(p.y - start.y) > cy) {
        if (GetCapture() == t.hwnd) ReleaseCapture();
        return 1;
      }
      continue;
    }
    if (GetCapture() == t.hwnd) ReleaseCapture();
    return m.message == upMsg ? 0 : 3;
  }
  return 2;
}

void BeginDragNotify(Tree& t, Item* it, POINT p, bool right) {
  if (Style(t) & TVS_DISABLEDRAGDROP) return;
  NMTREEVIEWA nm;
  nm.action = 0;
  FillItem(nm.itemNew, it);
  nm.ptDrag = p;
  Notify(t, right ? TVN_BEGINRDRAGA : TVN_BEGINDRAGA, &nm.hdr);
}

void FinishClick(Tree& t, Item* it, UINT hit, bool wasFocused, bool right, POINT p) {
  if (right) {
    NMHDR hdr;
    if (!Notify(t, NM_RCLICK, &hdr) && IsWindow(t.hwnd)) {
      POINT s = p;
      ClientToScreen(t.hwnd, &s);
      SendMessageA(t.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(t.hwnd), MAKELPARAM(s.x, s.y));
    }
    return;
  }
  std::intptr_t id = it ? it->id : 0;
  NMHDR hdr;
  if (Notify(t, NM_CLICK, &hdr)) return;
  if (!IsWindow(t.hwnd) || !it) return;
  it = Find(t, reinterpret_cast<HTREEITEM>(id));
  if (!it) return;
  bool onItem = (hit & TVHT_ONITEM) || ((Style(t) & TVS_FULLROWSELECT) && (hit & (TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)));
  if (!onItem) return;
  if ((hit & TVHT_ONITEMSTATEICON) && (Style(t) & TVS_CHECKBOXES)) {
    UINT si = (it->state & TVIS_STATEIMAGEMASK) >> 12;
    it->state = (it->state & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(si == 2 ? 1 : 2);
    Changed(t, false);
  }
  if (it == t.caret && (hit & TVHT_ONITEMLABEL) && (Style(t) & TVS_EDITLABELS) && wasFocused) {
    t.editPending = it;
    SetTimer(t.hwnd, kEditTimer, GetDoubleClickTime(), nullptr);
    return;
  }
  SelectCaret(t, it, TVC_BYMOUSE);
}

void ButtonDown(Tree& t, LPARAM l, bool right) {
  if (t.edit) EndEdit(t, false);
  KillTimer(t.hwnd, kEditTimer);
  t.editPending = nullptr;
  bool wasFocused = GetFocus() == t.hwnd;
  if (!wasFocused) SetFocus(t.hwnd);
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  Item* it = nullptr;
  UINT hit = HitTest(t, p, &it);
  if (!right && (hit & TVHT_ONITEMBUTTON) && it) {
    Expand(t, it, TVE_TOGGLE, TVC_BYMOUSE, false);
    return;
  }
  bool onItem = it && ((hit & TVHT_ONITEM) || ((Style(t) & TVS_FULLROWSELECT) && (hit & (TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT))));
  std::intptr_t id = it ? it->id : 0;
  int r = onItem ? DetectDrag(t, p, right ? WM_RBUTTONUP : WM_LBUTTONUP) : 0;
  if (onItem && r == 2) {
    t.pendingPress = true;
    t.pendingRight = right;
    t.pressPt = p;
    t.pressItem = it;
    t.pressHit = hit;
    t.pressWasFocused = wasFocused;
    return;
  }
  it = id ? Find(t, reinterpret_cast<HTREEITEM>(id)) : nullptr;
  if (r == 1) {
    if (it) BeginDragNotify(t, it, p, right);
    return;
  }
  if (r == 3) return;
  FinishClick(t, it, hit, wasFocused, right, p);
}

void DoubleClick(Tree& t, LPARAM l, bool right) {
  KillTimer(t.hwnd, kEditTimer);
  t.editPending = nullptr;
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  Item* it = nullptr;
  UINT hit = HitTest(t, p, &it);
  NMHDR hdr;
  std::intptr_t id = it ? it->id : 0;
  if (right) {
    Notify(t, NM_RDBLCLK, &hdr);
    return;
  }
  if (it && (hit & TVHT_ONITEMBUTTON)) {
    Expand(t, it, TVE_TOGGLE, TVC_BYMOUSE, false);
    return;
  }
  if (Notify(t, NM_DBLCLK, &hdr)) return;
  it = id ? Find(t, reinterpret_cast<HTREEITEM>(id)) : nullptr;
  if (it && (hit & TVHT_ONITEM)) {
    if (it != t.caret) SelectCaret(t, it, TVC_BYMOUSE);
    it = Find(t, reinterpret_cast<HTREEITEM>(id));
    if (it) Expand(t, it, TVE_TOGGLE, TVC_BYMOUSE, false);
  }
}

// ---- item access ----
LRESULT GetItem(Tree& t, TVITEMA* tv) {
  if (!tv) return FALSE;
  Item* it = Find(t, tv->hItem);
  if (!it) return FALSE;
  if (tv->mask & TVIF_TEXT) {
    if (tv->pszText && tv->cchTextMax > 0) {
      std::string s = TextOf(t, it);
      std::size_t n = std::min(s.size(), std::size_t(tv->cchTextMax - 1));
      // Never cut a double-byte character in two.
      std::size_t i = 0;
      while (i < n) {
        std::size_t step = (static_cast<unsigned char>(s[i]) >= 0x81 && i + 1 < s.size()) ? 2 : 1;
        if (i + step > n) break;
        i += step;
      }
      std::memcpy(tv->pszText, s.data(), i);
      tv->pszText[i] = '\0';
    }
  }
  if (tv->mask & TVIF_IMAGE) tv->iImage = it->image;
  if (tv->mask & TVIF_SELECTEDIMAGE) tv->iSelectedImage = it->selImage;
  if (tv->mask & TVIF_PARAM) tv->lParam = it->lParam;
  if (tv->mask & TVIF_STATE) tv->state = it->state & (tv->stateMask ? tv->stateMask : 0xFFFF);
  if (tv->mask & TVIF_CHILDREN)
    tv->cChildren = it->children == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : (HasChildren(t, it) ? 1 : 0);
  if (tv->mask & TVIF_INTEGRAL) tv->iIntegral = it->integral;
  return TRUE;
}

LRESULT SetItem(Tree& t, const TVITEMA* tv) {
  if (!tv) return FALSE;
  Item* it = Find(t, tv->hItem);
  if (!it) return FALSE;
  // Selection through the item state changes only the highlight, never the caret.
  TVITEMA copy = *tv;
  ApplyItem(t, it, copy);
  Recount(t, it);
  Changed(t, false);
  return TRUE;
}

HTREEITEM NextItem(Tree& t, UINT code, HTREEITEM h) {
  Item* it = IsRootHandle(h) ? nullptr : Find(t, h);
  switch (code) {
    case TVGN_ROOT: return H(t.root.first);
    case TVGN_CARET: return H(t.caret);
    case TVGN_DROPHILITE: return H(t.drop);
    case TVGN_FIRSTVISIBLE: {
      const auto& rows = Rows(t);
      return t.top < int(rows.size()) ? H(rows[std::size_t(t.top)]) : nullptr;
    }
    case TVGN_LASTVISIBLE: {
      const auto& rows = Rows(t);
      return rows.empty() ? nullptr : H(rows.back());
    }
    case TVGN_CHILD:
      if (IsRootHandle(h)) return H(t.root.first);
      return it ? H(it->first) : nullptr;
    default: break;
  }
  if (!it) return nullptr;
  switch (code) {
    case TVGN_NEXT: return H(it->next);
    case TVGN_PREVIOUS: return H(it->prev);
    case TVGN_PARENT: return it->parent == &t.root ? nullptr : H(it->parent);
    case TVGN_NEXTVISIBLE: return RowOf(t, it) < 0 ? nullptr : H(NextVisible(t, it, 1));
    case TVGN_PREVIOUSVISIBLE: return RowOf(t, it) < 0 ? nullptr : H(NextVisible(t, it, -1));
    default: return nullptr;
  }
}

LRESULT SelectItem(Tree& t, UINT code, HTREEITEM h) {
  Item* it = IsRootHandle(h) ? nullptr : Find(t, h);
  if (h && !IsRootHandle(h) && !it) return FALSE;
  switch (code & 0xFF) {
    case TVGN_CARET: return SelectCaret(t, it, TVC_UNKNOWN);
    case TVGN_DROPHILITE:
      if (t.drop) t.drop->state &= ~TVIS_DROPHILITED;
      t.drop = it;
      if (it) it->state |= TVIS_DROPHILITED;
      Changed(t, false);
      return TRUE;
    case TVGN_FIRSTVISIBLE: {
      if (!it) return FALSE;
      EnsureVisible(t, it);
      int row = RowOf(t, it);
      if (row < 0) return FALSE;
      ScrollTo(t, row);
      return TRUE;
    }
    default: return FALSE;
  }
}

LRESULT ItemRect(Tree& t, BOOL textOnly, RECT* rc) {
  if (!rc) return FALSE;
  HTREEITEM h = *reinterpret_cast<HTREEITEM*>(rc);
  Item* it = Find(t, h);
  if (!it) return FALSE;
  int row = RowOf(t, it);
  if (row < 0) return FALSE;
  Layout L = LayoutOf(t, it, row);
  *rc = textOnly ? L.label : L.row;
  return TRUE;
}

void VScroll(Tree& t, WPARAM w) {
  int page = std::max(1, PageRows(t));
  switch (LOWORD(w)) {
    case SB_LINEUP: ScrollTo(t, t.top - 1); break;
    case SB_LINEDOWN: ScrollTo(t, t.top + 1); break;
    case SB_PAGEUP: ScrollTo(t, t.top - page); break;
    case SB_PAGEDOWN: ScrollTo(t, t.top + page); break;
    case SB_TOP: ScrollTo(t, 0); break;
    case SB_BOTTOM: ScrollTo(t, int(Rows(t).size())); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      GetScrollInfo(t.hwnd, SB_VERT, &si);
      ScrollTo(t, LOWORD(w) == SB_THUMBTRACK ? si.nTrackPos : int(HIWORD(w)));
      break;
    }
    default: break;
  }
}

void HScroll(Tree& t, WPARAM w) {
  RECT c = Client(t);
  int old = t.xOffset;
  switch (LOWORD(w)) {
    case SB_LINELEFT: t.xOffset -= 8; break;
    case SB_LINERIGHT: t.xOffset += 8; break;
    case SB_PAGELEFT: t.xOffset -= c.right; break;
    case SB_PAGERIGHT: t.xOffset += c.right; break;
    case SB_LEFT: t.xOffset = 0; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      GetScrollInfo(t.hwnd, SB_HORZ, &si);
      t.xOffset = LOWORD(w) == SB_THUMBTRACK ? si.nTrackPos : int(HIWORD(w));
      break;
    }
    default: break;
  }
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  if (GetScrollInfo(t.hwnd, SB_HORZ, &si) && si.nMax > 0)
    t.xOffset = std::clamp(t.xOffset, 0, std::max(0, si.nMax + 1 - int(si.nPage)));
  else
    t.xOffset = 0;
  if (t.xOffset != old) Changed(t, false);
}

LRESULT TreeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCCREATE) {
    auto t = std::make_unique<Tree>();
    t->hwnd = h;
    Trees()[h] = std::move(t);
    return DefWindowProcA(h, m, w, l);
  }
  Tree* tp = TreeOf(h);
  if (!tp) {
    // A window whose creation messages went elsewhere (a wrapper's procedure
    // came first) gets its state on its first message here.
    if (m == WM_NCDESTROY || !IsWindow(h)) return DefWindowProcA(h, m, w, l);
    auto t = std::make_unique<Tree>();
    t->hwnd = h;
    tp = t.get();
    Trees()[h] = std::move(t);
  }
  Tree& t = *tp;
  switch (m) {
    case WM_NCDESTROY:
      if (t.measureDC) DeleteDC(t.measureDC);
      Trees().erase(h);
      return DefWindowProcA(h, m, w, l);
    case WM_DESTROY:
      if (t.edit) EndEdit(t, true);
      if (t.tip) {
        HWND tip = t.tip;
        t.tip = nullptr;
        if (t.tooltips == tip) t.tooltips = nullptr;
        DestroyWindow(tip);
      }
      t.caret = nullptr;
      DeleteAll(t);
      return DefWindowProcA(h, m, w, l);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (m == WM_PRINTCLIENT || w) {
        Paint(t, reinterpret_cast<HDC>(w), Client(t));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      Paint(t, dc, ps.rcPaint);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_SETFONT:
      t.font = reinterpret_cast<HFONT>(w);
      MetricsChanged(t, true);
      Changed(t, false);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t.font);
    case WM_SETREDRAW:
      t.redraw = w != 0;
      DefWindowProcA(h, m, w, l);
      if (t.redraw) Changed(t, false);
      return 0;
    case WM_SIZE:
    case WM_STYLECHANGED:
      if (m == WM_STYLECHANGED) MetricsChanged(t, false);
      if (!t.inScrollUpdate) Changed(t, false);
      return DefWindowProcA(h, m, w, l);
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS: {
      t.focused = true;
      InvalidateRect(h, nullptr, TRUE);
      NMHDR hdr;
      Notify(t, NM_SETFOCUS, &hdr);
      return 0;
    }
    case WM_KILLFOCUS: {
      t.focused = false;
      InvalidateRect(h, nullptr, TRUE);
      NMHDR hdr;
      Notify(t, NM_KILLFOCUS, &hdr);
      return 0;
    }
    case WM_KEYDOWN:
      HideTip(t);
      KeyDown(t, w, l);
      return 0;
    case WM_CHAR: {
      if (t.skipChar) {
        t.skipChar = false;
        return 0;
      }
      unsigned c = unsigned(w & 0xFFFF);
      if (c > 0xFF) {  // a double-byte character in one message
        IncrementalSearch(t, std::string{char(c >> 8), char(c & 0xFF)});
        return 0;
      }
      if (t.pendingLead >= 0) {
        std::string s{char(t.pendingLead), char(c)};
        t.pendingLead = -1;
        IncrementalSearch(t, s);
        return 0;
      }
      if (c >= 0x81 && c <= 0xFE) {
        t.pendingLead = int(c);
        return 0;
      }
      if (c >= 0x20 && c != 0x7F) IncrementalSearch(t, std::string(1, char(c)));
      return 0;
    }
    case WM_LBUTTONDOWN: HideTip(t); ButtonDown(t, l, false); return 0;
    case WM_RBUTTONDOWN: HideTip(t); ButtonDown(t, l, true); return 0;
    case WM_LBUTTONDBLCLK: HideTip(t); DoubleClick(t, l, false); return 0;
    case WM_RBUTTONDBLCLK: HideTip(t); DoubleClick(t, l, true); return 0;
    case WM_MOUSEMOVE:
      if (t.pendingPress) {
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        int cx = std::max(1, GetSystemMetrics(SM_CXDRAG)), cy = std::max(1, GetSystemMetrics(SM_CYDRAG));
        if (std::abs(p.x - t.pressPt.x) > cx || std::abs(p.y - t.pressPt.y) > cy) {
          t.pendingPress = false;
          if (GetCapture() == h) ReleaseCapture();
          if (t.pressItem) BeginDragNotify(t, t.pressItem, t.pressPt, t.pendingRight);
        }
      } else if (!(w & (MK_LBUTTON | MK_RBUTTON))) {
        UpdateTip(t, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      }
      return 0;
    case WM_MOUSELEAVE:
      HideTip(t);
      return 0;
    case WM_NOTIFY: {
      // The node tooltip asks for its text.
      auto* hdr = reinterpret_cast<NMHDR*>(l);
      if (hdr && t.tip && hdr->hwndFrom == t.tip && hdr->code == TTN_NEEDTEXTA) {
        auto* di = reinterpret_cast<NMTTDISPINFOA*>(l);
        Item* it = Find(t, reinterpret_cast<HTREEITEM>(hdr->idFrom));
        t.tipText = it ? TextOf(t, it) : std::string();
        di->lpszText = t.tipText.data();
        return 0;
      }
      return DefWindowProcA(h, m, w, l);
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (t.pendingPress && (m == WM_RBUTTONUP) == t.pendingRight) {
        t.pendingPress = false;
        if (GetCapture() == h) ReleaseCapture();
        FinishClick(t, t.pressItem, t.pressHit, t.pressWasFocused, t.pendingRight, t.pressPt);
      }
      return 0;
    case WM_CAPTURECHANGED:
      t.pendingPress = false;
      return 0;
    case WM_TIMER:
      if (w == kEditTimer) {
        KillTimer(h, kEditTimer);
        Item* it = t.editPending;
        t.editPending = nullptr;
        if (it && it == t.caret && GetFocus() == h) BeginEdit(t, it);
        return 0;
      }
      return DefWindowProcA(h, m, w, l);
    case WM_MOUSEWHEEL: {
      int lines = -GET_WHEEL_DELTA_WPARAM(w) * 3 / WHEEL_DELTA;
      if (lines) ScrollTo(t, t.top + lines);
      return 0;
    }
    case WM_VSCROLL: VScroll(t, w); return 0;
    case WM_HSCROLL: HScroll(t, w); return 0;

    case TVM_INSERTITEMA: return reinterpret_cast<LRESULT>(Insert(t, reinterpret_cast<const TVINSERTSTRUCTA*>(l)));
    case TVM_DELETEITEM: return DeleteItem(t, reinterpret_cast<HTREEITEM>(l));
    case TVM_EXPAND: {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(l));
      return it ? Expand(t, it, UINT(w), TVC_UNKNOWN, true) : FALSE;
    }
    case TVM_GETITEMRECT: return ItemRect(t, BOOL(w), reinterpret_cast<RECT*>(l));
    case TVM_GETCOUNT: return LRESULT(t.items.size());
    case TVM_GETINDENT: return t.indent;
    case TVM_SETINDENT:
      t.indent = std::max(int(w), 0);
      MetricsChanged(t, false);
      Changed(t, false);
      return TRUE;
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(w == TVSIL_STATE ? t.stateImages : w == TVSIL_NORMAL ? t.images : nullptr);
    case TVM_SETIMAGELIST: {
      HIMAGELIST* slot = w == TVSIL_STATE ? &t.stateImages : w == TVSIL_NORMAL ? &t.images : nullptr;
      if (!slot) return 0;
      HIMAGELIST old = *slot;
      *slot = reinterpret_cast<HIMAGELIST>(l);
      MetricsChanged(t, false);
      Changed(t, false);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(NextItem(t, UINT(w), reinterpret_cast<HTREEITEM>(l)));
    case TVM_SELECTITEM: return SelectItem(t, UINT(w), reinterpret_cast<HTREEITEM>(l));
    case TVM_GETITEMA: return GetItem(t, reinterpret_cast<TVITEMA*>(l));
    case TVM_SETITEMA: return SetItem(t, reinterpret_cast<const TVITEMA*>(l));
    case TVM_EDITLABELA: {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(l));
      return it ? reinterpret_cast<LRESULT>(BeginEdit(t, it)) : 0;
    }
    // While the end of an edit is being announced the editor is already gone
    // as far as the tree's owner can ask.
    case TVM_GETEDITCONTROL: return t.ending ? 0 : reinterpret_cast<LRESULT>(t.edit);
    case TVM_ENDEDITLABELNOW:
      if (!t.edit) return FALSE;
      EndEdit(t, w != 0);
      return TRUE;
    case TVM_GETVISIBLECOUNT: return PageRows(t);
    case TVM_HITTEST: {
      auto* hti = reinterpret_cast<TVHITTESTINFO*>(l);
      if (!hti) return 0;
      Item* it = nullptr;
      hti->flags = HitTest(t, hti->pt, &it);
      hti->hItem = H(it);
      return reinterpret_cast<LRESULT>(hti->hItem);
    }
    case TVM_CREATEDRAGIMAGE: {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(l));
      return it ? reinterpret_cast<LRESULT>(CreateDragImage(t, it)) : 0;
    }
    case TVM_SORTCHILDREN: {
      HTREEITEM hi = reinterpret_cast<HTREEITEM>(l);
      Item* p = IsRootHandle(hi) ? &t.root : Find(t, hi);
      if (!p) return FALSE;
      SortChildren(t, p, w != 0, nullptr, 0);
      Changed(t);
      return TRUE;
    }
    case TVM_SORTCHILDRENCB: {
      auto* sc = reinterpret_cast<const TVSORTCB*>(l);
      if (!sc || !sc->lpfnCompare) return FALSE;
      Item* p = IsRootHandle(sc->hParent) ? &t.root : Find(t, sc->hParent);
      if (!p) return FALSE;
      SortChildren(t, p, w != 0, sc->lpfnCompare, sc->lParam);
      Changed(t);
      return TRUE;
    }
    case TVM_ENSUREVISIBLE: {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(l));
      return it ? EnsureVisible(t, it) : FALSE;
    }
    case TVM_GETISEARCHSTRINGA:
      if (l) std::memcpy(reinterpret_cast<char*>(l), t.search.c_str(), t.search.size() + 1);
      return LRESULT(t.search.size());
    case TVM_SETTOOLTIPS: {
      HWND old = t.tooltips;
      t.tooltips = reinterpret_cast<HWND>(w);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(t.tooltips);
    case TVM_SETINSERTMARK:
      t.insertMark = reinterpret_cast<HTREEITEM>(l);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TVM_SETITEMHEIGHT: {
      int old = ItemHeight(t);
      int v = int(w);
      if (v == -1 || v == 0xFFFF) {
        t.itemHeight = 0;
      } else {
        if (!(Style(t) & TVS_NONEVENHEIGHT) && (v & 1)) --v;
        t.itemHeight = std::max(1, v);
      }
      MetricsChanged(t, false);
      Changed(t, false);
      return old;
    }
    case TVM_GETITEMHEIGHT: return ItemHeight(t);
    case TVM_SETBKCOLOR: {
      COLORREF old = t.bk;
      t.bk = COLORREF(l);
      Changed(t, false);
      return LRESULT(LONG(old == CLR_NONE ? 0xFFFFFFFF : old));
    }
    case TVM_SETTEXTCOLOR: {
      COLORREF old = t.fg;
      t.fg = COLORREF(l);
      Changed(t, false);
      return LRESULT(LONG(old == CLR_NONE ? 0xFFFFFFFF : old));
    }
    case TVM_GETBKCOLOR: return LRESULT(LONG(t.bk));
    case TVM_GETTEXTCOLOR: return LRESULT(LONG(t.fg));
    case TVM_SETSCROLLTIME: {
      int old = t.scrollTime;
      t.scrollTime = int(w);
      return old;
    }
    case TVM_GETSCROLLTIME: return t.scrollTime;
    case TVM_SETINSERTMARKCOLOR: {
      COLORREF old = t.insertMarkColor;
      t.insertMarkColor = COLORREF(l);
      return LRESULT(old);
    }
    case TVM_GETINSERTMARKCOLOR: return LRESULT(t.insertMarkColor);
    case TVM_GETITEMSTATE: {
      Item* it = Find(t, reinterpret_cast<HTREEITEM>(w));
      return it ? LRESULT(it->state & UINT(l)) : 0;
    }
    case TVM_SETLINECOLOR: {
      COLORREF old = t.line;
      t.line = COLORREF(l);
      Changed(t, false);
      return LRESULT(old);
    }
    case TVM_GETLINECOLOR: return LRESULT(t.line);
    default: return DefWindowProcA(h, m, w, l);
  }
}

}  // namespace

void InitCommonControls() {
  WNDCLASSEXA existing;
  if (GetClassInfoExA(nullptr, WC_TREEVIEWA, &existing)) return;
  WNDCLASSEXA wc;
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = TreeProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_TREEVIEWA;
  RegisterClassExA(&wc);
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
  if (!icc) return FALSE;
  InitCommonControls();
  return TRUE;
}
