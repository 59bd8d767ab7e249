// The common controls: the tree view window class ("SysTreeView32") with its
// TVM_* messages, TVN_* notifications and structures, the shared NM_* and
// custom-draw definitions, and the few list-view, up-down and status-bar
// values the class library uses. Numbers are the platform's.
#pragma once
#include <cstdint>
#include "platform/gdi/gdi.h"
#include "platform/gdi/imagelist.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

// The header of WM_NOTIFY's parameter block (also declared by controls.h).
#ifndef PV_NMHDR_DEFINED
#define PV_NMHDR_DEFINED
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
using LPNMHDR = NMHDR*;
#endif

using DWORD_PTR = std::uintptr_t;

// Registers the tree view window class (and the other common control classes
// this layer provides). Idempotent.
void InitCommonControls();
struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
constexpr DWORD ICC_LISTVIEW_CLASSES = 0x1, ICC_TREEVIEW_CLASSES = 0x2, ICC_BAR_CLASSES = 0x4,
                ICC_TAB_CLASSES = 0x8, ICC_UPDOWN_CLASS = 0x10, ICC_WIN95_CLASSES = 0xFF;
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);

// ---- flat scroll bars ----
// The common controls' flat scroll bars: a window initialised for them keeps a
// drawing mode per bar (regular, "Encarta" or flat); the scroll-bar data and
// behaviour are those of the window's ordinary scroll bars, whose look the
// classic drawing keeps in every mode.
constexpr UINT WSB_PROP_CYVSCROLL = 0x1, WSB_PROP_CXHSCROLL = 0x2, WSB_PROP_CYHSCROLL = 0x4,
               WSB_PROP_CXVSCROLL = 0x8, WSB_PROP_CXHTHUMB = 0x10, WSB_PROP_CYVTHUMB = 0x20,
               WSB_PROP_VBKGCOLOR = 0x40, WSB_PROP_HBKGCOLOR = 0x80, WSB_PROP_VSTYLE = 0x100,
               WSB_PROP_HSTYLE = 0x200, WSB_PROP_WINSTYLE = 0x400, WSB_PROP_PALETTE = 0x800;
constexpr int FSB_REGULAR_MODE = 0, FSB_ENCARTA_MODE = 1, FSB_FLAT_MODE = 2;
BOOL InitializeFlatSB(HWND hwnd);
void UninitializeFlatSB(HWND hwnd);
// Only the two style properties are kept; FALSE for a window not initialised.
BOOL FlatSB_SetScrollProp(HWND hwnd, UINT index, std::intptr_t newValue, BOOL redraw);
BOOL FlatSB_GetScrollProp(HWND hwnd, UINT index, int* value);
BOOL FlatSB_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int FlatSB_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);

constexpr const char* WC_TREEVIEWA = "SysTreeView32";
#define WC_TREEVIEW WC_TREEVIEWA

// ---- shared notification codes ----
constexpr UINT NM_FIRST = 0u;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1, NM_CLICK = NM_FIRST - 2, NM_DBLCLK = NM_FIRST - 3,
               NM_RETURN = NM_FIRST - 4, NM_RCLICK = NM_FIRST - 5, NM_RDBLCLK = NM_FIRST - 6,
               NM_SETFOCUS = NM_FIRST - 7, NM_KILLFOCUS = NM_FIRST - 8, NM_CUSTOMDRAW = NM_FIRST - 12,
               NM_HOVER = NM_FIRST - 13, NM_NCHITTEST = NM_FIRST - 14, NM_KEYDOWN = NM_FIRST - 15,
               NM_RELEASEDCAPTURE = NM_FIRST - 16, NM_SETCURSOR = NM_FIRST - 17, NM_CHAR = NM_FIRST - 18,
               NM_TOOLTIPSCREATED = NM_FIRST - 19;

// ---- tooltips ----
// The tree view's node tooltip asks its tree for the text with TTN_NEEDTEXTA
// (a WM_NOTIFY sent to the tree window itself, hwndFrom the tooltip window,
// idFrom the item). The tree answers with the item's text unless whoever
// handles the notification first puts an empty text in: then no tooltip shows.
constexpr UINT TTN_FIRST = 0u - 520u;
constexpr UINT TTN_GETDISPINFOA = TTN_FIRST - 0, TTN_GETDISPINFOW = TTN_FIRST - 10, TTN_SHOW = TTN_FIRST - 1,
               TTN_POP = TTN_FIRST - 2, TTN_NEEDTEXTA = TTN_GETDISPINFOA, TTN_NEEDTEXTW = TTN_GETDISPINFOW;
struct NMTTDISPINFOA {
  NMHDR hdr;
  char* lpszText = nullptr;
  char szText[80] = {};
  void* hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};
struct NMTTDISPINFOW {
  NMHDR hdr;
  char16_t* lpszText = nullptr;
  char16_t szText[80] = {};
  void* hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};

// ---- custom draw ----
constexpr DWORD CDDS_PREPAINT = 0x1, CDDS_POSTPAINT = 0x2, CDDS_PREERASE = 0x3, CDDS_POSTERASE = 0x4,
                CDDS_ITEM = 0x10000, CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
                CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT, CDDS_ITEMPREERASE = CDDS_ITEM | CDDS_PREERASE,
                CDDS_ITEMPOSTERASE = CDDS_ITEM | CDDS_POSTERASE, CDDS_SUBITEM = 0x20000;
constexpr LRESULT CDRF_DODEFAULT = 0x0, CDRF_NEWFONT = 0x2, CDRF_SKIPDEFAULT = 0x4, CDRF_NOTIFYPOSTPAINT = 0x10,
                  CDRF_NOTIFYITEMDRAW = 0x20, CDRF_NOTIFYSUBITEMDRAW = 0x20, CDRF_NOTIFYPOSTERASE = 0x40;
constexpr UINT CDIS_SELECTED = 0x1, CDIS_GRAYED = 0x2, CDIS_DISABLED = 0x4, CDIS_CHECKED = 0x8, CDIS_FOCUS = 0x10,
               CDIS_DEFAULT = 0x20, CDIS_HOT = 0x40, CDIS_MARKED = 0x80, CDIS_INDETERMINATE = 0x100;

struct NMCUSTOMDRAW {
  NMHDR hdr;
  DWORD dwDrawStage = 0;
  HDC hdc = nullptr;
  RECT rc;
  DWORD_PTR dwItemSpec = 0;
  UINT uItemState = 0;
  LPARAM lItemlParam = 0;
};
using LPNMCUSTOMDRAW = NMCUSTOMDRAW*;

// ---- tree view ----
struct _TREEITEM;
using HTREEITEM = _TREEITEM*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(std::intptr_t(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(std::intptr_t(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(std::intptr_t(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(std::intptr_t(-0x0FFFD));

constexpr DWORD TVS_HASBUTTONS = 0x1, TVS_HASLINES = 0x2, TVS_LINESATROOT = 0x4, TVS_EDITLABELS = 0x8,
                TVS_DISABLEDRAGDROP = 0x10, TVS_SHOWSELALWAYS = 0x20, TVS_RTLREADING = 0x40,
                TVS_NOTOOLTIPS = 0x80, TVS_CHECKBOXES = 0x100, TVS_TRACKSELECT = 0x200,
                TVS_SINGLEEXPAND = 0x400, TVS_INFOTIP = 0x800, TVS_FULLROWSELECT = 0x1000,
                TVS_NOSCROLL = 0x2000, TVS_NONEVENHEIGHT = 0x4000, TVS_NOHSCROLL = 0x8000;

constexpr UINT TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
               TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40, TVIF_INTEGRAL = 0x80, TVIF_DI_SETITEM = 0x1000;
constexpr UINT TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8, TVIS_BOLD = 0x10,
               TVIS_EXPANDED = 0x20, TVIS_EXPANDEDONCE = 0x40, TVIS_EXPANDPARTIAL = 0x80,
               TVIS_OVERLAYMASK = 0xF00, TVIS_STATEIMAGEMASK = 0xF000, TVIS_USERMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }
constexpr int I_CHILDRENCALLBACK = -1, I_IMAGECALLBACK = -1, I_IMAGENONE = -2;
inline LPSTR const LPSTR_TEXTCALLBACKA = reinterpret_cast<LPSTR>(std::intptr_t(-1));
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKA

constexpr UINT TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3, TVE_EXPANDPARTIAL = 0x4000,
               TVE_COLLAPSERESET = 0x8000;
constexpr UINT TVC_UNKNOWN = 0x0, TVC_BYMOUSE = 0x1, TVC_BYKEYBOARD = 0x2;
constexpr UINT TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3, TVGN_CHILD = 0x4,
               TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6, TVGN_PREVIOUSVISIBLE = 0x7,
               TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9, TVGN_LASTVISIBLE = 0xA;
constexpr UINT TVSIL_NORMAL = 0, TVSIL_STATE = 2;
constexpr UINT TVHT_NOWHERE = 0x1, TVHT_ONITEMICON = 0x2, TVHT_ONITEMLABEL = 0x4, TVHT_ONITEMINDENT = 0x8,
               TVHT_ONITEMBUTTON = 0x10, TVHT_ONITEMRIGHT = 0x20, TVHT_ONITEMSTATEICON = 0x40,
               TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON, TVHT_ABOVE = 0x100,
               TVHT_BELOW = 0x200, TVHT_TORIGHT = 0x400, TVHT_TOLEFT = 0x800;

constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEMA = TV_FIRST + 0, TVM_DELETEITEM = TV_FIRST + 1, TVM_EXPAND = TV_FIRST + 2,
               TVM_GETITEMRECT = TV_FIRST + 4, TVM_GETCOUNT = TV_FIRST + 5, TVM_GETINDENT = TV_FIRST + 6,
               TVM_SETINDENT = TV_FIRST + 7, TVM_GETIMAGELIST = TV_FIRST + 8, TVM_SETIMAGELIST = TV_FIRST + 9,
               TVM_GETNEXTITEM = TV_FIRST + 10, TVM_SELECTITEM = TV_FIRST + 11, TVM_GETITEMA = TV_FIRST + 12,
               TVM_SETITEMA = TV_FIRST + 13, TVM_EDITLABELA = TV_FIRST + 14, TVM_GETEDITCONTROL = TV_FIRST + 15,
               TVM_GETVISIBLECOUNT = TV_FIRST + 16, TVM_HITTEST = TV_FIRST + 17,
               TVM_CREATEDRAGIMAGE = TV_FIRST + 18, TVM_SORTCHILDREN = TV_FIRST + 19,
               TVM_ENSUREVISIBLE = TV_FIRST + 20, TVM_SORTCHILDRENCB = TV_FIRST + 21,
               TVM_ENDEDITLABELNOW = TV_FIRST + 22, TVM_GETISEARCHSTRINGA = TV_FIRST + 23,
               TVM_SETTOOLTIPS = TV_FIRST + 24, TVM_GETTOOLTIPS = TV_FIRST + 25,
               TVM_SETINSERTMARK = TV_FIRST + 26, TVM_SETITEMHEIGHT = TV_FIRST + 27,
               TVM_GETITEMHEIGHT = TV_FIRST + 28, TVM_SETBKCOLOR = TV_FIRST + 29,
               TVM_SETTEXTCOLOR = TV_FIRST + 30, TVM_GETBKCOLOR = TV_FIRST + 31,
               TVM_GETTEXTCOLOR = TV_FIRST + 32, TVM_SETSCROLLTIME = TV_FIRST + 33,
               TVM_GETSCROLLTIME = TV_FIRST + 34, TVM_SETINSERTMARKCOLOR = TV_FIRST + 37,
               TVM_GETINSERTMARKCOLOR = TV_FIRST + 38, TVM_GETITEMSTATE = TV_FIRST + 39,
               TVM_SETLINECOLOR = TV_FIRST + 40, TVM_GETLINECOLOR = TV_FIRST + 41;
constexpr UINT TVM_INSERTITEM = TVM_INSERTITEMA, TVM_GETITEM = TVM_GETITEMA, TVM_SETITEM = TVM_SETITEMA,
               TVM_EDITLABEL = TVM_EDITLABELA, TVM_GETISEARCHSTRING = TVM_GETISEARCHSTRINGA;

constexpr UINT TVN_FIRST = 0u - 400u;
constexpr UINT TVN_SELCHANGINGA = TVN_FIRST - 1, TVN_SELCHANGEDA = TVN_FIRST - 2,
               TVN_GETDISPINFOA = TVN_FIRST - 3, TVN_SETDISPINFOA = TVN_FIRST - 4,
               TVN_ITEMEXPANDINGA = TVN_FIRST - 5, TVN_ITEMEXPANDEDA = TVN_FIRST - 6,
               TVN_BEGINDRAGA = TVN_FIRST - 7, TVN_BEGINRDRAGA = TVN_FIRST - 8, TVN_DELETEITEMA = TVN_FIRST - 9,
               TVN_BEGINLABELEDITA = TVN_FIRST - 10, TVN_ENDLABELEDITA = TVN_FIRST - 11,
               TVN_KEYDOWN = TVN_FIRST - 12, TVN_GETINFOTIPA = TVN_FIRST - 13, TVN_GETINFOTIPW = TVN_FIRST - 14,
               TVN_SINGLEEXPAND = TVN_FIRST - 15;
// The wide forms are never sent by this control; their numbers let handlers name them.
constexpr UINT TVN_SELCHANGINGW = TVN_FIRST - 50, TVN_SELCHANGEDW = TVN_FIRST - 51,
               TVN_GETDISPINFOW = TVN_FIRST - 52, TVN_SETDISPINFOW = TVN_FIRST - 53,
               TVN_ITEMEXPANDINGW = TVN_FIRST - 54, TVN_ITEMEXPANDEDW = TVN_FIRST - 55,
               TVN_BEGINDRAGW = TVN_FIRST - 56, TVN_BEGINRDRAGW = TVN_FIRST - 57, TVN_DELETEITEMW = TVN_FIRST - 58,
               TVN_BEGINLABELEDITW = TVN_FIRST - 59, TVN_ENDLABELEDITW = TVN_FIRST - 60;
constexpr UINT TVN_SELCHANGING = TVN_SELCHANGINGA, TVN_SELCHANGED = TVN_SELCHANGEDA,
               TVN_GETDISPINFO = TVN_GETDISPINFOA, TVN_SETDISPINFO = TVN_SETDISPINFOA,
               TVN_ITEMEXPANDING = TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDED = TVN_ITEMEXPANDEDA,
               TVN_BEGINDRAG = TVN_BEGINDRAGA, TVN_BEGINRDRAG = TVN_BEGINRDRAGA, TVN_DELETEITEM = TVN_DELETEITEMA,
               TVN_BEGINLABELEDIT = TVN_BEGINLABELEDITA, TVN_ENDLABELEDIT = TVN_ENDLABELEDITA,
               TVN_GETINFOTIP = TVN_GETINFOTIPA;

struct TVITEMA {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
  int iIntegral = 1;  // TVIF_INTEGRAL: the item's height in rows
};
using TVITEM = TVITEMA;
using TVITEMEXA = TVITEMA;
using TVITEMEX = TVITEMA;
using LPTVITEM = TVITEMA*;

struct TVINSERTSTRUCTA {
  HTREEITEM hParent = nullptr;
  HTREEITEM hInsertAfter = nullptr;
  TVITEMA item;
};
using TVINSERTSTRUCT = TVINSERTSTRUCTA;

struct TVHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};

using PFNTVCOMPARE = int (*)(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
struct TVSORTCB {
  HTREEITEM hParent = nullptr;
  PFNTVCOMPARE lpfnCompare = nullptr;
  LPARAM lParam = 0;
};

struct NMTREEVIEWA {
  NMHDR hdr;
  UINT action = 0;
  TVITEMA itemOld;
  TVITEMA itemNew;
  POINT ptDrag;
};
using NMTREEVIEW = NMTREEVIEWA;
using LPNMTREEVIEW = NMTREEVIEWA*;
struct NMTVDISPINFOA {
  NMHDR hdr;
  TVITEMA item;
};
using NMTVDISPINFO = NMTVDISPINFOA;
using TVDISPINFO = NMTVDISPINFOA;
struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};
using TVKEYDOWN = NMTVKEYDOWN;
struct NMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText = 0;
  COLORREF clrTextBk = 0;
  int iLevel = 0;
};
struct NMTVGETINFOTIPA {
  NMHDR hdr;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  HTREEITEM hItem = nullptr;
  LPARAM lParam = 0;
};
using NMTVGETINFOTIP = NMTVGETINFOTIPA;

// ---- message helpers ----
inline HTREEITEM TreeView_InsertItem(HWND h, const TVINSERTSTRUCTA* is) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(is)));
}
inline BOOL TreeView_DeleteItem(HWND h, HTREEITEM item) {
  return BOOL(SendMessageA(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_DeleteAllItems(HWND h) { return TreeView_DeleteItem(h, TVI_ROOT); }
inline BOOL TreeView_Expand(HWND h, HTREEITEM item, UINT code) {
  return BOOL(SendMessageA(h, TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_GetItemRect(HWND h, HTREEITEM item, RECT* rc, BOOL textOnly) {
  *reinterpret_cast<HTREEITEM*>(rc) = item;
  return BOOL(SendMessageA(h, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rc)));
}
inline UINT TreeView_GetCount(HWND h) { return UINT(SendMessageA(h, TVM_GETCOUNT, 0, 0)); }
inline UINT TreeView_GetIndent(HWND h) { return UINT(SendMessageA(h, TVM_GETINDENT, 0, 0)); }
inline BOOL TreeView_SetIndent(HWND h, int indent) { return BOOL(SendMessageA(h, TVM_SETINDENT, indent, 0)); }
inline HIMAGELIST TreeView_GetImageList(HWND h, int which) {
  return reinterpret_cast<HIMAGELIST>(SendMessageA(h, TVM_GETIMAGELIST, which, 0));
}
inline HIMAGELIST TreeView_SetImageList(HWND h, HIMAGELIST il, int which) {
  return reinterpret_cast<HIMAGELIST>(SendMessageA(h, TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(il)));
}
inline HTREEITEM TreeView_GetNextItem(HWND h, HTREEITEM item, UINT code) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}
inline HTREEITEM TreeView_GetChild(HWND h, HTREEITEM item) { return TreeView_GetNextItem(h, item, TVGN_CHILD); }
inline HTREEITEM TreeView_GetNextSibling(HWND h, HTREEITEM item) { return TreeView_GetNextItem(h, item, TVGN_NEXT); }
inline HTREEITEM TreeView_GetPrevSibling(HWND h, HTREEITEM item) {
  return TreeView_GetNextItem(h, item, TVGN_PREVIOUS);
}
inline HTREEITEM TreeView_GetParent(HWND h, HTREEITEM item) { return TreeView_GetNextItem(h, item, TVGN_PARENT); }
inline HTREEITEM TreeView_GetFirstVisible(HWND h) { return TreeView_GetNextItem(h, nullptr, TVGN_FIRSTVISIBLE); }
inline HTREEITEM TreeView_GetNextVisible(HWND h, HTREEITEM item) {
  return TreeView_GetNextItem(h, item, TVGN_NEXTVISIBLE);
}
inline HTREEITEM TreeView_GetPrevVisible(HWND h, HTREEITEM item) {
  return TreeView_GetNextItem(h, item, TVGN_PREVIOUSVISIBLE);
}
inline HTREEITEM TreeView_GetLastVisible(HWND h) { return TreeView_GetNextItem(h, nullptr, TVGN_LASTVISIBLE); }
inline HTREEITEM TreeView_GetSelection(HWND h) { return TreeView_GetNextItem(h, nullptr, TVGN_CARET); }
inline HTREEITEM TreeView_GetDropHilight(HWND h) { return TreeView_GetNextItem(h, nullptr, TVGN_DROPHILITE); }
inline HTREEITEM TreeView_GetRoot(HWND h) { return TreeView_GetNextItem(h, nullptr, TVGN_ROOT); }
inline BOOL TreeView_Select(HWND h, HTREEITEM item, UINT code) {
  return BOOL(SendMessageA(h, TVM_SELECTITEM, code, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SelectItem(HWND h, HTREEITEM item) { return TreeView_Select(h, item, TVGN_CARET); }
inline BOOL TreeView_SelectDropTarget(HWND h, HTREEITEM item) { return TreeView_Select(h, item, TVGN_DROPHILITE); }
inline BOOL TreeView_SelectSetFirstVisible(HWND h, HTREEITEM item) {
  return TreeView_Select(h, item, TVGN_FIRSTVISIBLE);
}
inline BOOL TreeView_GetItem(HWND h, TVITEMA* item) {
  return BOOL(SendMessageA(h, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SetItem(HWND h, const TVITEMA* item) {
  return BOOL(SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item)));
}
inline HWND TreeView_EditLabel(HWND h, HTREEITEM item) {
  return reinterpret_cast<HWND>(SendMessageA(h, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item)));
}
inline HWND TreeView_GetEditControl(HWND h) { return reinterpret_cast<HWND>(SendMessageA(h, TVM_GETEDITCONTROL, 0, 0)); }
inline HWND TreeView_GetToolTips(HWND h) { return reinterpret_cast<HWND>(SendMessageA(h, TVM_GETTOOLTIPS, 0, 0)); }
inline BOOL TreeView_EndEditLabelNow(HWND h, BOOL cancel) {
  return BOOL(SendMessageA(h, TVM_ENDEDITLABELNOW, cancel, 0));
}
inline UINT TreeView_GetVisibleCount(HWND h) { return UINT(SendMessageA(h, TVM_GETVISIBLECOUNT, 0, 0)); }
inline HTREEITEM TreeView_HitTest(HWND h, TVHITTESTINFO* hti) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(hti)));
}
inline HIMAGELIST TreeView_CreateDragImage(HWND h, HTREEITEM item) {
  return reinterpret_cast<HIMAGELIST>(SendMessageA(h, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SortChildren(HWND h, HTREEITEM item, BOOL recurse) {
  return BOOL(SendMessageA(h, TVM_SORTCHILDREN, recurse, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SortChildrenCB(HWND h, const TVSORTCB* sort, BOOL recurse) {
  return BOOL(SendMessageA(h, TVM_SORTCHILDRENCB, recurse, reinterpret_cast<LPARAM>(sort)));
}
inline BOOL TreeView_EnsureVisible(HWND h, HTREEITEM item) {
  return BOOL(SendMessageA(h, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)));
}
inline int TreeView_GetItemHeight(HWND h) { return int(SendMessageA(h, TVM_GETITEMHEIGHT, 0, 0)); }
inline int TreeView_SetItemHeight(HWND h, int cy) { return int(SendMessageA(h, TVM_SETITEMHEIGHT, cy, 0)); }
inline UINT TreeView_GetItemState(HWND h, HTREEITEM item, UINT mask) {
  return UINT(SendMessageA(h, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
}
inline UINT TreeView_GetISearchString(HWND h, LPSTR buf) {
  return UINT(SendMessageA(h, TVM_GETISEARCHSTRINGA, 0, reinterpret_cast<LPARAM>(buf)));
}

// ---- up-down ----
constexpr const char* UPDOWN_CLASSA = "msctls_updown32";
constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80,
                UDS_HOTTRACK = 0x100;
constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
               UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
               UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108, UDM_SETBASE = WM_USER + 109,
               UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
               UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;
constexpr UINT UDN_FIRST = 0u - 721u;
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;
  int iDelta = 0;
};

// ---- list view ----
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_DELETEITEM = LVM_FIRST + 8,
               LVM_DELETEALLITEMS = LVM_FIRST + 9, LVM_GETNEXTITEM = LVM_FIRST + 12,
               LVM_GETITEMRECT = LVM_FIRST + 14, LVM_HITTEST = LVM_FIRST + 18, LVM_ENSUREVISIBLE = LVM_FIRST + 19,
               LVM_ARRANGE = LVM_FIRST + 22;
constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3, LVS_TYPEMASK = 0x3,
                LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8, LVS_AUTOARRANGE = 0x100, LVS_EDITLABELS = 0x200;
constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0, LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2;

// ---- status bar ----
constexpr const char* STATUSCLASSNAMEA = "msctls_statusbar32";
constexpr DWORD SBARS_SIZEGRIP = 0x100;
constexpr UINT SB_SETTEXTA = WM_USER + 1, SB_GETTEXTA = WM_USER + 2, SB_GETTEXTLENGTHA = WM_USER + 3,
               SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_SIMPLE = WM_USER + 9,
               SB_GETRECT = WM_USER + 10;

// ---- tab control ----
constexpr UINT TCN_FIRST = 0u - 550u;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1, TCN_SELCHANGING = TCN_FIRST - 2;
