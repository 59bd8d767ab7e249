// The tree view window class driven by its messages and by synthetic input on
// the headless backend: insertion, deletion, expanding, every next-item code,
// sorting, hit testing, label editing, notification order, custom draw.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>
#include "platform/backend/headless/headless.h"
#include "platform/controls/commctrl.h"
#include "platform/controls/stdwnd.h"
#include "platform/gdi/imagelist.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace {

struct Note {
  UINT code;
  UINT action;
  HTREEITEM oldItem, newItem;
  std::string text;  // label-edit text ("<null>" when none)
};

struct Host {
  std::vector<Note> notes;
  std::map<UINT, LRESULT> answers;
  std::function<LRESULT(NMHDR*)> hook;  // consulted first when set
  static Host& Get() {
    static Host h;
    return h;
  }
};

LRESULT HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(l);
    Host& host = Host::Get();
    Note n{hdr->code, 0, nullptr, nullptr, {}};
    switch (hdr->code) {
      case TVN_SELCHANGINGA:
      case TVN_SELCHANGEDA:
      case TVN_ITEMEXPANDINGA:
      case TVN_ITEMEXPANDEDA:
      case TVN_DELETEITEMA:
      case TVN_BEGINDRAGA:
      case TVN_BEGINRDRAGA: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(l);
        n.action = nm->action;
        n.oldItem = nm->itemOld.hItem;
        n.newItem = nm->itemNew.hItem;
        break;
      }
      case TVN_BEGINLABELEDITA:
      case TVN_ENDLABELEDITA: {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(l);
        n.newItem = di->item.hItem;
        n.text = di->item.pszText ? di->item.pszText : "<null>";
        break;
      }
      default: break;
    }
    if (hdr->code != NM_CUSTOMDRAW && hdr->code != TVN_GETDISPINFOA) host.notes.push_back(n);
    if (host.hook) return host.hook(hdr);
    auto a = host.answers.find(hdr->code);
    return a == host.answers.end() ? 0 : a->second;
  }
  return DefWindowProcA(h, m, w, l);
}

class TreeViewTest : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  HWND host = nullptr, tv = nullptr;

  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    InitCommonControls();
    WNDCLASSEXA wc;
    if (!GetClassInfoExA(nullptr, "TVHost", &wc)) {
      WNDCLASSEXA c;
      c.lpfnWndProc = HostProc;
      c.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
      c.lpszClassName = "TVHost";
      RegisterClassExA(&c);
    }
    Host::Get() = Host{};
    host = CreateWindowExA(0, "TVHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 320, 300, nullptr,
                           nullptr, nullptr, nullptr);
    tv = Create(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS);
    PvProcessMessages();
  }
  void TearDown() override {
    Host::Get() = Host{};
    PvResetWindowManager();
    hb->Reset();
  }
  HWND Create(DWORD style, int h = 200) {
    HWND w = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 200, h, host,
                             reinterpret_cast<HMENU>(std::intptr_t(7)), nullptr, nullptr);
    HFONT f = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
    return w;
  }
  HTREEITEM Add(HTREEITEM parent, const char* text, HTREEITEM after = TVI_LAST, LPARAM param = 0) {
    TVINSERTSTRUCTA is;
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT | TVIF_PARAM;
    is.item.pszText = const_cast<char*>(text);
    is.item.lParam = param;
    return TreeView_InsertItem(tv, &is);
  }
  std::string Text(HTREEITEM h) {
    char buf[256] = {};
    TVITEMA it;
    it.mask = TVIF_TEXT;
    it.hItem = h;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    if (!TreeView_GetItem(tv, &it)) return "<invalid>";
    return buf;
  }
  UINT State(HTREEITEM h) { return TreeView_GetItemState(tv, h, 0xFFFF); }
  // The texts of the children of `parent` in order.
  std::string Kids(HTREEITEM parent) {
    std::string s;
    for (HTREEITEM c = TreeView_GetChild(tv, parent); c; c = TreeView_GetNextSibling(tv, c)) {
      if (!s.empty()) s += ",";
      s += Text(c);
    }
    return s;
  }
  std::vector<UINT> Codes() {
    std::vector<UINT> r;
    for (auto& n : Host::Get().notes) r.push_back(n.code);
    return r;
  }
  // The notifications without the focus notices.
  std::vector<Note> TvNotes() {
    std::vector<Note> r;
    for (auto& n : Host::Get().notes)
      if (n.code != NM_SETFOCUS && n.code != NM_KILLFOCUS) r.push_back(n);
    return r;
  }
  void ClearNotes() { Host::Get().notes.clear(); }
  RECT LabelRect(HTREEITEM h) {
    RECT r;
    EXPECT_TRUE(TreeView_GetItemRect(tv, h, &r, TRUE));
    return r;
  }
  POINT Screen(int x, int y) {
    POINT p{x, y};
    ClientToScreen(tv, &p);
    return p;
  }
  void ClickAt(int x, int y, HeadlessBackend::Button b = HeadlessBackend::Left) {
    POINT p = Screen(x, y);
    hb->Click(p.x, p.y, b);
    PvProcessMessages();
  }
};

// Tree used by several tests:
//   A (A1, A2 (A2a)), B, C
struct Sample {
  HTREEITEM A, A1, A2, A2a, B, C;
};

TEST_F(TreeViewTest, InsertPositionsAndInvalidArguments) {
  HTREEITEM b = Add(TVI_ROOT, "b");
  HTREEITEM a = Add(TVI_ROOT, "a", TVI_FIRST);
  Add(TVI_ROOT, "d", TVI_LAST);
  Add(TVI_ROOT, "c", b);          // after a sibling
  Add(TVI_ROOT, "B2", TVI_SORT);  // sorted among siblings, without case
  EXPECT_EQ(Kids(TVI_ROOT), "a,b,B2,c,d");
  EXPECT_EQ(TreeView_GetCount(tv), 5u);

  HTREEITEM child = Add(a, "x");
  EXPECT_EQ(Add(TVI_ROOT, "bad", child), nullptr) << "insert-after item under another parent";
  TreeView_DeleteItem(tv, child);
  EXPECT_EQ(Add(child, "orphan"), nullptr) << "stale parent handle";
  EXPECT_EQ(Text(child), "<invalid>");
  EXPECT_EQ(TreeView_InsertItem(tv, nullptr), nullptr);
  // a new item never takes the handle of a deleted one
  HTREEITEM again = Add(TVI_ROOT, "e");
  EXPECT_NE(again, child);
  EXPECT_EQ(Text(child), "<invalid>") << "a stale handle finds no item, also once its place is taken";
  EXPECT_EQ(Text(again), "e");
  EXPECT_EQ(TreeView_GetCount(tv), 6u);
}

TEST_F(TreeViewTest, EveryNextItemCode) {
  Sample s;
  s.A = Add(TVI_ROOT, "A");
  s.A1 = Add(s.A, "A1");
  s.A2 = Add(s.A, "A2");
  s.A2a = Add(s.A2, "A2a");
  s.B = Add(TVI_ROOT, "B");
  s.C = Add(TVI_ROOT, "C");
  TreeView_Expand(tv, s.A, TVE_EXPAND);
  TreeView_SelectItem(tv, s.A1);
  TreeView_SelectDropTarget(tv, s.B);
  struct Case {
    const char* name;
    UINT code;
    HTREEITEM from;
    HTREEITEM want;
  } cases[] = {
      {"root", TVGN_ROOT, nullptr, s.A},
      {"next", TVGN_NEXT, s.A, s.B},
      {"next of last", TVGN_NEXT, s.C, nullptr},
      {"previous", TVGN_PREVIOUS, s.B, s.A},
      {"previous of first", TVGN_PREVIOUS, s.A1, nullptr},
      {"parent", TVGN_PARENT, s.A2a, s.A2},
      {"parent of top level", TVGN_PARENT, s.A, nullptr},
      {"child", TVGN_CHILD, s.A, s.A1},
      {"child of root", TVGN_CHILD, TVI_ROOT, s.A},
      {"child of leaf", TVGN_CHILD, s.B, nullptr},
      {"first visible", TVGN_FIRSTVISIBLE, nullptr, s.A},
      {"next visible into children", TVGN_NEXTVISIBLE, s.A, s.A1},
      {"next visible skips collapsed", TVGN_NEXTVISIBLE, s.A2, s.B},
      {"next visible of hidden item", TVGN_NEXTVISIBLE, s.A2a, nullptr},
      {"previous visible", TVGN_PREVIOUSVISIBLE, s.B, s.A2},
      {"previous visible of first", TVGN_PREVIOUSVISIBLE, s.A, nullptr},
      {"last visible", TVGN_LASTVISIBLE, nullptr, s.C},
      {"caret", TVGN_CARET, nullptr, s.A1},
      {"drop highlight", TVGN_DROPHILITE, nullptr, s.B},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TreeView_GetNextItem(tv, c.from, c.code), c.want) << c.name;
  EXPECT_TRUE(State(s.B) & TVIS_DROPHILITED);
  TreeView_SelectDropTarget(tv, nullptr);
  EXPECT_EQ(TreeView_GetDropHilight(tv), nullptr);
  EXPECT_FALSE(State(s.B) & TVIS_DROPHILITED);
}

TEST_F(TreeViewTest, DeleteNotifiesChildrenFirstAndMovesTheSelection) {
  HTREEITEM a = Add(TVI_ROOT, "A");
  HTREEITEM a1 = Add(a, "A1");
  HTREEITEM a1x = Add(a1, "A1x");
  HTREEITEM b = Add(TVI_ROOT, "B");
  TreeView_SelectItem(tv, a1x);
  ClearNotes();
  EXPECT_TRUE(TreeView_DeleteItem(tv, a));
  // the selection leaves the doomed subtree first (to the next sibling), then
  // the items go, deepest first
  std::vector<UINT> want = {TVN_SELCHANGINGA, TVN_SELCHANGEDA, TVN_DELETEITEMA, TVN_DELETEITEMA, TVN_DELETEITEMA};
  EXPECT_EQ(Codes(), want);
  auto& n = Host::Get().notes;
  EXPECT_EQ(n[0].oldItem, a1x);
  EXPECT_EQ(n[0].newItem, b);
  EXPECT_EQ(n[2].oldItem, a1x);
  EXPECT_EQ(n[3].oldItem, a1);
  EXPECT_EQ(n[4].oldItem, a);
  EXPECT_EQ(TreeView_GetSelection(tv), b);
  EXPECT_EQ(TreeView_GetCount(tv), 1u);
  EXPECT_FALSE(TreeView_DeleteItem(tv, a)) << "stale handle";

  // the last child gone, the parent has no button and is no longer expanded
  HTREEITEM c = Add(b, "c");
  TreeView_Expand(tv, b, TVE_EXPAND);
  TreeView_DeleteItem(tv, c);
  TVITEMA it;
  it.mask = TVIF_CHILDREN;
  it.hItem = b;
  TreeView_GetItem(tv, &it);
  EXPECT_EQ(it.cChildren, 0);
  EXPECT_FALSE(State(b) & TVIS_EXPANDED);

  Add(TVI_ROOT, "D");
  ClearNotes();
  TreeView_DeleteAllItems(tv);
  EXPECT_EQ(TreeView_GetCount(tv), 0u);
  EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_DELETEITEMA, TVN_DELETEITEMA}));
  EXPECT_EQ(TreeView_GetSelection(tv), nullptr);
}

TEST_F(TreeViewTest, ExpandNotificationsVetoAndTheOnceFlag) {
  HTREEITEM a = Add(TVI_ROOT, "A");
  HTREEITEM a1 = Add(a, "A1");
  HTREEITEM leaf = Add(TVI_ROOT, "leaf");

  Host::Get().answers[TVN_ITEMEXPANDINGA] = TRUE;
  EXPECT_FALSE(TreeView_Expand(tv, a, TVE_EXPAND));
  EXPECT_FALSE(State(a) & TVIS_EXPANDED) << "vetoed";
  Host::Get().answers.clear();

  ClearNotes();
  EXPECT_TRUE(TreeView_Expand(tv, a, TVE_EXPAND));
  EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
  EXPECT_EQ(Host::Get().notes[0].action, TVE_EXPAND);
  EXPECT_EQ(State(a) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), TVIS_EXPANDED | TVIS_EXPANDEDONCE);

  // collapsing hides the selected child: the selection moves to the item
  TreeView_SelectItem(tv, a1);
  ClearNotes();
  TreeView_Expand(tv, a, TVE_COLLAPSE);  // once expanded: the message is silent
  EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_SELCHANGEDA}));
  EXPECT_EQ(TreeView_GetSelection(tv), a);
  ClearNotes();
  TreeView_Expand(tv, a, TVE_TOGGLE);
  EXPECT_TRUE(Codes().empty());
  EXPECT_TRUE(State(a) & TVIS_EXPANDED);

  // collapse-reset drops the children and the once flag
  TreeView_Expand(tv, a, TVE_COLLAPSE | TVE_COLLAPSERESET);
  EXPECT_EQ(TreeView_GetChild(tv, a), nullptr);
  EXPECT_FALSE(State(a) & TVIS_EXPANDEDONCE);

  EXPECT_FALSE(TreeView_Expand(tv, leaf, TVE_EXPAND)) << "nothing to expand";

  // an item that claims children but has none loses its button when opened
  TVITEMA it;
  it.mask = TVIF_CHILDREN;
  it.hItem = leaf;
  it.cChildren = 1;
  TreeView_SetItem(tv, &it);
  ClearNotes();
  EXPECT_FALSE(TreeView_Expand(tv, leaf, TVE_EXPAND));
  EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA}));
  it.cChildren = 99;
  TreeView_GetItem(tv, &it);
  EXPECT_EQ(it.cChildren, 0);
  // ... unless the expanding handler adds them
  it.cChildren = 1;
  TreeView_SetItem(tv, &it);
  Host::Get().hook = [&](NMHDR* h) -> LRESULT {
    if (h->code == TVN_ITEMEXPANDINGA) Add(leaf, "late child");
    return 0;
  };
  EXPECT_TRUE(TreeView_Expand(tv, leaf, TVE_EXPAND));
  EXPECT_EQ(Kids(leaf), "late child");
}

int CALLBACK_ByParamDesc(LPARAM a, LPARAM b, LPARAM sort) {
  EXPECT_EQ(sort, 77);
  return a > b ? -1 : a < b ? 1 : 0;
}

TEST_F(TreeViewTest, SortWithAndWithoutCallback) {
  HTREEITEM c = Add(TVI_ROOT, "c", TVI_LAST, 1);
  Add(TVI_ROOT, "B", TVI_LAST, 3);
  Add(TVI_ROOT, "a", TVI_LAST, 2);
  Add(c, "z", TVI_LAST, 5);
  Add(c, "y", TVI_LAST, 4);
  // "中" (D6 D0) sorts after the ASCII letters by its bytes
  Add(TVI_ROOT, "\xD6\xD0", TVI_LAST, 0);

  EXPECT_TRUE(TreeView_SortChildren(tv, TVI_ROOT, FALSE));
  EXPECT_EQ(Kids(TVI_ROOT), "a,B,c,\xD6\xD0");
  EXPECT_EQ(Kids(c), "z,y") << "not recursive";
  TreeView_SortChildren(tv, TVI_ROOT, TRUE);
  EXPECT_EQ(Kids(c), "y,z");

  TVSORTCB cb;
  cb.hParent = TVI_ROOT;
  cb.lpfnCompare = CALLBACK_ByParamDesc;
  cb.lParam = 77;
  EXPECT_TRUE(TreeView_SortChildrenCB(tv, &cb, FALSE));
  EXPECT_EQ(Kids(TVI_ROOT), "B,a,c,\xD6\xD0");
  cb.hParent = c;
  TreeView_SortChildrenCB(tv, &cb, FALSE);
  EXPECT_EQ(Kids(c), "z,y");
  cb.lpfnCompare = nullptr;
  EXPECT_FALSE(TreeView_SortChildrenCB(tv, &cb, FALSE));
}

TEST_F(TreeViewTest, SortedInsertionAndSortingUseTheChineseOrder) {
  auto a = [](const char* utf8) { return Utf8ToAnsi(utf8); };
  std::string want;
  for (const char* s : {"_x", "a", "abc", "B", "Zeta", "阿", "澳", "亍", "丂", "张三", "中文"})
    want += (want.empty() ? "" : ",") + a(s);
  HTREEITEM sorted = Add(TVI_ROOT, "sorted");
  HTREEITEM later = Add(TVI_ROOT, "later");
  for (const char* s : {"a", "abc", "B", "Zeta", "_x", "丂", "阿", "澳", "张三", "中文", "亍"}) {
    Add(sorted, a(s).c_str(), TVI_SORT);
    Add(later, a(s).c_str());
  }
  EXPECT_EQ(Kids(sorted), want);
  EXPECT_TRUE(TreeView_SortChildren(tv, later, FALSE));
  EXPECT_EQ(Kids(later), want);
  // Case is ignored: an equal text goes after its equals, and sorting keeps their order.
  Add(sorted, "A", TVI_SORT);
  Add(later, "A", TVI_FIRST);
  TreeView_SortChildren(tv, later, FALSE);
  EXPECT_EQ(Kids(sorted).substr(0, 7), "_x,a,A,");
  EXPECT_EQ(Kids(later).substr(0, 7), "_x,A,a,");
}

TEST_F(TreeViewTest, HitTestEveryFlag) {
  HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
  ImageList_Add(il, bmp, nullptr);
  TreeView_SetImageList(tv, il, TVSIL_NORMAL);
  HIMAGELIST sl = ImageList_Create(12, 12, ILC_COLOR32, 2, 1);
  HBITMAP sb = CreateBitmap(24, 12, 1, 32, nullptr);
  ImageList_Add(sl, sb, nullptr);
  TreeView_SetImageList(tv, sl, TVSIL_STATE);
  HTREEITEM a = Add(TVI_ROOT, "Alpha");
  HTREEITEM a1 = Add(a, "x");
  TVITEMA st;
  st.mask = TVIF_STATE;
  st.hItem = a;
  st.state = INDEXTOSTATEIMAGEMASK(1);
  st.stateMask = TVIS_STATEIMAGEMASK;
  TreeView_SetItem(tv, &st);
  TreeView_Expand(tv, a, TVE_EXPAND);

  RECT lab = LabelRect(a);
  int y = (lab.top + lab.bottom) / 2;
  int indent = int(TreeView_GetIndent(tv));
  RECT client;
  GetClientRect(tv, &client);
  RECT row1 = LabelRect(a1);
  struct Case {
    const char* name;
    POINT pt;
    UINT flags;
    HTREEITEM item;
  } cases[] = {
      {"label", {lab.left + 3, y}, TVHT_ONITEMLABEL, a},
      {"icon", {lab.left - 8, y}, TVHT_ONITEMICON, a},
      {"state icon", {lab.left - 16 - 6, y}, TVHT_ONITEMSTATEICON, a},
      {"button", {lab.left - 16 - 12 - indent / 2, y}, TVHT_ONITEMBUTTON, a},
      {"indent", {row1.left - 16 - indent - indent / 2, (row1.top + row1.bottom) / 2}, TVHT_ONITEMINDENT, a1},
      {"right of label", {lab.right + 5, y}, TVHT_ONITEMRIGHT, a},
      {"below the last item", {20, client.bottom - 2}, TVHT_NOWHERE, nullptr},
      {"above", {20, -3}, TVHT_ABOVE, nullptr},
      {"below", {20, client.bottom + 3}, TVHT_BELOW, nullptr},
      {"to the left", {-4, y}, TVHT_TOLEFT, nullptr},
      {"to the right", {client.right + 4, y}, TVHT_TORIGHT, nullptr},
      {"above and to the left", {-4, -4}, TVHT_ABOVE | TVHT_TOLEFT, nullptr},
  };
  for (const Case& c : cases) {
    TVHITTESTINFO hti;
    hti.pt = c.pt;
    HTREEITEM got = TreeView_HitTest(tv, &hti);
    EXPECT_EQ(hti.flags, c.flags) << c.name;
    EXPECT_EQ(got, c.item) << c.name;
  }
  ImageList_Destroy(il);
  ImageList_Destroy(sl);
}

TEST_F(TreeViewTest, LabelEditingBeginEndAndCancel) {
  HTREEITEM a = Add(TVI_ROOT, "old");
  TreeView_SelectItem(tv, a);
  SetFocus(tv);

  // vetoed: no editor
  Host::Get().answers[TVN_BEGINLABELEDITA] = TRUE;
  EXPECT_EQ(TreeView_EditLabel(tv, a), nullptr);
  EXPECT_EQ(TreeView_GetEditControl(tv), nullptr);
  Host::Get().answers.clear();

  struct Case {
    const char* name;
    UINT key;          // ends the edit
    LRESULT answer;    // to TVN_ENDLABELEDIT
    const char* sent;  // text in the notification
    const char* after;
  } cases[] = {
      {"enter, accepted", VK_RETURN, TRUE, "new \xD6\xD0", "new \xD6\xD0"},
      {"enter, refused", VK_RETURN, FALSE, "refused", "new \xD6\xD0"},
      {"escape cancels", VK_ESCAPE, TRUE, "<null>", "new \xD6\xD0"},
  };
  for (const Case& c : cases) {
    ClearNotes();
    HWND ed = TreeView_EditLabel(tv, a);
    ASSERT_NE(ed, nullptr) << c.name;
    EXPECT_EQ(TreeView_GetEditControl(tv), ed);
    EXPECT_EQ(GetFocus(), ed);
    char buf[64] = {};
    GetWindowTextA(ed, buf, sizeof buf);
    EXPECT_STREQ(buf, Text(a).c_str()) << "the editor starts with the label";
    SetWindowTextA(ed, std::strcmp(c.sent, "<null>") == 0 ? "typed" : c.sent);
    Host::Get().answers[TVN_ENDLABELEDITA] = c.answer;
    hb->Key(c.key);
    PvProcessMessages();
    std::vector<Note> n = TvNotes();
    ASSERT_EQ(n.size(), 2u) << c.name;
    EXPECT_EQ(n[0].code, TVN_BEGINLABELEDITA);
    EXPECT_EQ(n[1].code, TVN_ENDLABELEDITA);
    EXPECT_EQ(n[1].text, c.sent) << c.name;
    EXPECT_EQ(Text(a), c.after) << c.name;
    EXPECT_FALSE(IsWindow(ed)) << c.name;
    EXPECT_EQ(GetFocus(), tv) << c.name;
  }
}

WNDPROC gEditorOld = nullptr;
std::vector<UINT> gEditorSeen;
LRESULT AppEditorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CHAR) {
    gEditorSeen.push_back(UINT(w));
    if (w == 'x') return 0;  // the application refuses this character
  }
  return CallWindowProcA(gEditorOld, h, m, w, l);
}

TEST_F(TreeViewTest, LabelEditorCanBeSubclassedAndLosingFocusSaves) {
  HTREEITEM a = Add(TVI_ROOT, "ab");
  HTREEITEM b = Add(TVI_ROOT, "other");
  TreeView_SelectItem(tv, a);
  SetFocus(tv);
  Host::Get().hook = [&](NMHDR* h) -> LRESULT {
    if (h->code == TVN_BEGINLABELEDITA) {
      // the editor exists when the notification arrives
      HWND ed = TreeView_GetEditControl(tv);
      EXPECT_NE(ed, nullptr);
      gEditorOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(ed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AppEditorProc)));
      SendMessageA(ed, EM_LIMITTEXT, 4, 0);
    }
    if (h->code == TVN_ENDLABELEDITA) {
      // the owner no longer sees an editor while the end is announced
      EXPECT_EQ(TreeView_GetEditControl(tv), nullptr);
      return TRUE;
    }
    return 0;
  };
  gEditorSeen.clear();
  HWND ed = TreeView_EditLabel(tv, a);
  ASSERT_NE(ed, nullptr);
  SendMessageA(ed, EM_SETSEL, 2, 2);
  for (char ch : std::string("xyz")) SendMessageA(ed, WM_CHAR, WPARAM(ch), 0);
  EXPECT_EQ(gEditorSeen, (std::vector<UINT>{'x', 'y', 'z'}));
  // clicking another item ends the edit and keeps the text
  ClearNotes();
  RECT r = LabelRect(b);
  ClickAt(r.left + 3, (r.top + r.bottom) / 2);
  ASSERT_FALSE(Codes().empty());
  EXPECT_EQ(Codes()[0], TVN_ENDLABELEDITA);
  EXPECT_EQ(Text(a), "abyz");
  EXPECT_EQ(TreeView_GetSelection(tv), b);
}

WNDPROC gTreeOld = nullptr;
bool gSilenceTips = false;
LRESULT SilencingTreeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NOTIFY && gSilenceTips && reinterpret_cast<NMHDR*>(l)->code == TTN_NEEDTEXTA) {
    reinterpret_cast<NMTTDISPINFOA*>(l)->lpszText = reinterpret_cast<NMTTDISPINFOA*>(l)->szText;
    reinterpret_cast<NMTTDISPINFOA*>(l)->szText[0] = 0;
    return 0;
  }
  return CallWindowProcA(gTreeOld, h, m, w, l);
}

// A node whose label is cut off shows its whole text in a tooltip while the
// mouse rests on it; the text is asked of the tree window, so whoever handles
// that request first can answer with nothing and no tooltip shows.
TEST_F(TreeViewTest, CutOffLabelsShowATooltipUnlessTheTextIsWithheld) {
  const std::string longText = "a node text far too long for the width of this tree";
  HTREEITEM shortItem = Add(TVI_ROOT, "short");
  HTREEITEM longItem = Add(TVI_ROOT, longText.c_str());
  PvProcessMessages();
  auto over = [&](HTREEITEM item) {
    RECT r = LabelRect(item);
    POINT p = Screen(std::max(int(r.left) + 4, 0) + 4, (r.top + r.bottom) / 2);
    hb->MouseMove(p.x, p.y);
    PvProcessMessages();
  };
  auto tipText = [&]() -> std::string {
    HWND tip = TreeView_GetToolTips(tv);
    if (!tip || !IsWindowVisible(tip)) return "<none>";
    char buf[256] = {};
    GetWindowTextA(tip, buf, sizeof buf);
    return buf;
  };
  over(shortItem);
  EXPECT_EQ(tipText(), "<none>");
  over(longItem);
  EXPECT_EQ(tipText(), longText);
  over(shortItem);
  EXPECT_EQ(tipText(), "<none>");
  gTreeOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tv, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SilencingTreeProc)));
  gSilenceTips = true;
  over(longItem);
  EXPECT_EQ(tipText(), "<none>");
  gSilenceTips = false;
  // TVS_NOTOOLTIPS: none at all
  SetWindowLongPtrA(tv, GWL_STYLE, GetWindowLongPtrA(tv, GWL_STYLE) | TVS_NOTOOLTIPS);
  over(shortItem);
  over(longItem);
  EXPECT_EQ(tipText(), "<none>");
  SetWindowLongPtrA(tv, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gTreeOld));
}

TEST_F(TreeViewTest, MouseNotificationOrder) {
  HTREEITEM a = Add(TVI_ROOT, "A");
  Add(a, "A1");
  HTREEITEM b = Add(TVI_ROOT, "B");
  RECT ra = LabelRect(a), rb = LabelRect(b);
  int ya = (ra.top + ra.bottom) / 2, yb = (rb.top + rb.bottom) / 2;

  // a click: NM_CLICK before the selection changes
  ClearNotes();
  ClickAt(rb.left + 3, yb);
  std::vector<UINT> click = {NM_SETFOCUS, NM_CLICK, TVN_SELCHANGINGA, TVN_SELCHANGEDA};
  EXPECT_EQ(Codes(), click);
  EXPECT_EQ(Host::Get().notes[2].action, TVC_BYMOUSE);
  EXPECT_EQ(TreeView_GetSelection(tv), b);

  // a handled NM_CLICK keeps the selection
  Host::Get().answers[NM_CLICK] = TRUE;
  ClickAt(ra.left + 3, ya);
  EXPECT_EQ(TreeView_GetSelection(tv), b);
  Host::Get().answers.clear();

  // the button toggles
  ClearNotes();
  ClickAt(ra.left - int(TreeView_GetIndent(tv)) / 2, ya);
  EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
  EXPECT_TRUE(State(a) & TVIS_EXPANDED);

  // a double click on the label toggles too, after NM_DBLCLK
  ClearNotes();
  POINT p = Screen(ra.left + 3, ya);
  hb->DoubleClick(p.x, p.y);
  PvProcessMessages();
  std::vector<UINT> codes = Codes();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[codes.size() - 3], NM_DBLCLK);
  EXPECT_EQ(codes.back(), TVN_ITEMEXPANDEDA);
  EXPECT_FALSE(State(a) & TVIS_EXPANDED);

  // dragging an item starts a drag and does not select it
  rb = LabelRect(b);
  yb = (rb.top + rb.bottom) / 2;
  TreeView_SelectItem(tv, a);
  ClearNotes();
  POINT from = Screen(rb.left + 3, yb), to = Screen(rb.left + 40, yb + 30);
  hb->Drag(from.x, from.y, to.x, to.y);
  PvProcessMessages();
  ASSERT_FALSE(Codes().empty());
  EXPECT_EQ(Codes()[0], TVN_BEGINDRAGA);
  EXPECT_EQ(Host::Get().notes[0].newItem, b);
  EXPECT_EQ(TreeView_GetSelection(tv), a);

  // a right click: NM_RCLICK
  ClearNotes();
  ClickAt(rb.left + 3, yb, HeadlessBackend::Right);
  EXPECT_EQ(Codes(), (std::vector<UINT>{NM_RCLICK}));
}

TEST_F(TreeViewTest, ClickOnTheSelectedLabelStartsEditingAfterTheDoubleClickTime) {
  HTREEITEM a = Add(TVI_ROOT, "A");
  RECT r = LabelRect(a);
  ClickAt(r.left + 3, (r.top + r.bottom) / 2);
  ASSERT_EQ(TreeView_GetSelection(tv), a);
  hb->AdvanceClock(GetDoubleClickTime() + 10);  // not a double click
  ClearNotes();
  ClickAt(r.left + 3, (r.top + r.bottom) / 2);
  EXPECT_EQ(TreeView_GetEditControl(tv), nullptr) << "not before the double-click time";
  hb->AdvanceClock(GetDoubleClickTime() + 10);
  PvProcessMessages();
  EXPECT_NE(TreeView_GetEditControl(tv), nullptr);
  TreeView_EndEditLabelNow(tv, TRUE);
}

TEST_F(TreeViewTest, KeyboardNavigationAndIncrementalSearch) {
  HTREEITEM a = Add(TVI_ROOT, "apple");
  HTREEITEM a1 = Add(a, "kiwi");
  HTREEITEM b = Add(TVI_ROOT, "banana");
  HTREEITEM b2 = Add(TVI_ROOT, "berry");
  HTREEITEM z = Add(TVI_ROOT, "\xD6\xD0\xCE\xC4");  // 中文
  SetFocus(tv);
  struct Step {
    unsigned vk;
    HTREEITEM want;
    bool expanded;  // of a, afterwards
  } steps[] = {
      {VK_DOWN, a, false},  // nothing selected: the first item
      {VK_RIGHT, a, true},  // expands
      {VK_RIGHT, a1, true}, // into the children
      {VK_LEFT, a, true},   // to the parent
      {VK_LEFT, a, false},  // collapses
      {VK_DOWN, b, false},  {VK_END, z, false}, {VK_HOME, a, false},
  };
  for (const Step& s : steps) {
    ClearNotes();
    hb->Key(s.vk);
    PvProcessMessages();
    EXPECT_EQ(TreeView_GetSelection(tv), s.want) << "key " << s.vk;
    EXPECT_EQ((State(a) & TVIS_EXPANDED) != 0, s.expanded) << "key " << s.vk;
    ASSERT_FALSE(Codes().empty());
    EXPECT_EQ(Codes()[0], TVN_KEYDOWN) << "TVN_KEYDOWN comes first";
  }
  auto type = [&](const std::string& s) {
    for (unsigned char ch : s) SendMessageA(tv, WM_CHAR, ch, 0);
  };
  type("be");
  EXPECT_EQ(TreeView_GetSelection(tv), b);
  type("r");
  EXPECT_EQ(TreeView_GetSelection(tv), b2) << "the prefix grows";
  char buf[16] = {};
  TreeView_GetISearchString(tv, buf);
  EXPECT_STREQ(buf, "ber");
  hb->AdvanceClock(1500);
  SendMessageA(tv, WM_NULL, 0, 0);
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
  type("\xD6\xD0");
  EXPECT_EQ(TreeView_GetSelection(tv), z) << "a double-byte prefix after the pause";
}

TEST_F(TreeViewTest, CustomDrawStagesAndColours) {
  HTREEITEM a = Add(TVI_ROOT, "A");
  Add(TVI_ROOT, "B");
  std::vector<DWORD> stages;
  Host::Get().hook = [&](NMHDR* h) -> LRESULT {
    if (h->code != NM_CUSTOMDRAW) return 0;
    auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(h);
    stages.push_back(cd->nmcd.dwDrawStage);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec == DWORD_PTR(a)) {
      cd->clrTextBk = RGB(255, 0, 0);
      return CDRF_NOTIFYPOSTPAINT;
    }
    return CDRF_DODEFAULT;
  };
  InvalidateRect(tv, nullptr, TRUE);
  UpdateWindow(tv);
  std::vector<DWORD> want = {CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT, CDDS_ITEMPREPAINT,
                             CDDS_POSTPAINT};
  EXPECT_EQ(stages, want);
  RECT r = LabelRect(a);
  HDC dc = GetDC(tv);
  EXPECT_EQ(GetPixel(dc, r.left + 1, r.top + 1), RGB(255, 0, 0));
  ReleaseDC(tv, dc);
}

TEST_F(TreeViewTest, ScrollingKeepsTheCaretInView) {
  std::vector<HTREEITEM> items;
  for (int i = 0; i < 40; ++i) items.push_back(Add(TVI_ROOT, ("item " + std::to_string(i)).c_str()));
  int page = int(TreeView_GetVisibleCount(tv));
  ASSERT_GT(page, 3);
  ASSERT_LT(page, 40);
  TreeView_SelectItem(tv, items[30]);
  HTREEITEM first = TreeView_GetFirstVisible(tv);
  RECT r;
  ASSERT_TRUE(TreeView_GetItemRect(tv, items[30], &r, FALSE));
  RECT client;
  GetClientRect(tv, &client);
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, client.bottom);
  EXPECT_NE(first, items[0]);
  SendMessageA(tv, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(TreeView_GetFirstVisible(tv), items[0]);
  SendMessageA(tv, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(TreeView_GetFirstVisible(tv), items[1]);
  TreeView_SelectSetFirstVisible(tv, items[10]);
  EXPECT_EQ(TreeView_GetFirstVisible(tv), items[10]);
  SendMessageA(tv, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(TreeView_GetFirstVisible(tv), items[std::size_t(40 - page)]);
}

// The shown rows as the tree answers them (first row, then each next visible
// one), and as a walk over the items and their expanded states gives them.
class TreeViewRowsTest : public TreeViewTest {
 protected:
  std::vector<HTREEITEM> Shown() {
    std::vector<HTREEITEM> r;
    for (HTREEITEM h = TreeView_GetRoot(tv); h; h = TreeView_GetNextVisible(tv, h)) r.push_back(h);
    return r;
  }
  void Walk(HTREEITEM First, std::vector<HTREEITEM>& Out) {
    for (HTREEITEM h = First; h; h = TreeView_GetNextSibling(tv, h)) {
      Out.push_back(h);
      if (State(h) & TVIS_EXPANDED) Walk(TreeView_GetChild(tv, h), Out);
    }
  }
  int LevelOf(HTREEITEM h) {
    int n = 0;
    for (HTREEITEM p = TreeView_GetParent(tv, h); p; p = TreeView_GetParent(tv, p)) ++n;
    return n;
  }
  // Rows, their places, the labels' extents and both scroll ranges agree
  // with the walk.
  void Check(const std::string& Step) {
    SCOPED_TRACE(Step);
    std::vector<HTREEITEM> want;
    Walk(TreeView_GetRoot(tv), want);
    const std::vector<HTREEITEM> rows = Shown();
    ASSERT_EQ(rows, want);
    const int h = int(TreeView_GetItemHeight(tv)), indent = int(TreeView_GetIndent(tv));
    HTREEITEM first = TreeView_GetFirstVisible(tv);
    const int top = int(std::find(rows.begin(), rows.end(), first) - rows.begin());
    if (!rows.empty()) ASSERT_LT(top, int(rows.size()));
    HDC dc = GetDC(tv);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(tv, WM_GETFONT, 0, 0)));
    SCROLLINFO hs;
    hs.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(tv, SB_HORZ, &hs);
    const int xOffset = hs.nMax > 0 ? hs.nPos : 0;
    int widest = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      RECT r;
      ASSERT_TRUE(TreeView_GetItemRect(tv, rows[i], &r, TRUE));
      EXPECT_EQ(r.top, (int(i) - top) * h) << Text(rows[i]);
      const std::string text = Text(rows[i]);
      SIZE sz{};
      GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
      EXPECT_EQ(r.left, (LevelOf(rows[i]) + 1) * indent - xOffset) << text;
      EXPECT_EQ(r.right - r.left, sz.cx + 4) << text;
      widest = std::max(widest, int(r.right) + xOffset);
    }
    SelectObject(dc, old);
    ReleaseDC(tv, dc);
    RECT c;
    GetClientRect(tv, &c);
    if (widest > c.right) EXPECT_EQ(hs.nMax, widest - 1);
    SCROLLINFO vs;
    vs.fMask = SIF_RANGE;
    GetScrollInfo(tv, SB_VERT, &vs);
    if (int(rows.size()) > int(TreeView_GetVisibleCount(tv))) EXPECT_EQ(vs.nMax, int(rows.size()) - 1);
  }
};

TEST_F(TreeViewRowsTest, ShownRowsFollowEveryChange) {
  std::mt19937 rng(20240611);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  std::vector<HTREEITEM> items;
  auto alive = [&] {
    std::vector<HTREEITEM> a;
    for (HTREEITEM h : items)
      if (Text(h) != "<invalid>") a.push_back(h);
    items = a;
  };
  auto any = [&]() -> HTREEITEM { return items.empty() ? nullptr : items[std::size_t(pick(int(items.size())))]; };
  int serial = 0;
  for (int step = 0; step < 600; ++step) {
    HTREEITEM h = any();
    std::string what;
    switch (items.size() < 8 ? 0 : pick(10)) {
      case 0: {
        HTREEITEM parent = pick(4) == 0 || !h ? TVI_ROOT : h;
        HTREEITEM after = TVI_LAST;
        switch (pick(4)) {
          case 0: after = TVI_FIRST; break;
          case 1: after = TVI_SORT; break;
          case 2:
            if (HTREEITEM c = TreeView_GetChild(tv, parent == TVI_ROOT ? nullptr : parent)) after = c;
            break;
          default: break;
        }
        const std::string text = std::string(std::size_t(1 + pick(12)), char('a' + pick(26))) + std::to_string(++serial);
        items.push_back(Add(parent, text.c_str(), after));
        what = "insert " + text;
        break;
      }
      case 1:
        what = "delete " + Text(h);
        TreeView_DeleteItem(tv, h);
        alive();
        break;
      case 2:
      case 3:
        what = "expand " + Text(h);
        TreeView_Expand(tv, h, TVE_EXPAND);
        break;
      case 4:
        what = "collapse " + Text(h);
        TreeView_Expand(tv, h, pick(5) == 0 ? TVE_COLLAPSE | TVE_COLLAPSERESET : TVE_COLLAPSE);
        alive();
        break;
      case 5: {
        what = "expanded state of " + Text(h);
        TVITEMA it;
        it.mask = TVIF_STATE;
        it.hItem = h;
        it.stateMask = TVIS_EXPANDED;
        it.state = State(h) & TVIS_EXPANDED ? 0 : TVIS_EXPANDED;
        TreeView_SetItem(tv, &it);
        break;
      }
      case 6: {
        const std::string text = std::string(std::size_t(1 + pick(30)), 'W');
        what = "text of " + Text(h);
        TVITEMA it;
        it.mask = TVIF_TEXT;
        it.hItem = h;
        it.pszText = const_cast<char*>(text.c_str());
        TreeView_SetItem(tv, &it);
        break;
      }
      case 7:
        what = "sort below " + Text(h);
        TreeView_SortChildren(tv, h, pick(2));
        break;
      case 8:
        what = "ensure visible " + Text(h);
        TreeView_EnsureVisible(tv, h);
        break;
      default:
        what = "select " + Text(h);
        TreeView_SelectItem(tv, h);
        break;
    }
    if (step == 300) {
      HFONT f = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
      SendMessageA(tv, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
      what += ", new font";
    }
    Check(std::to_string(step) + ": " + what);
    if (HasFatalFailure()) return;
  }
}

// A chain of items each the only child of the one before, deeper than the
// stack could follow by recursion: shown, expanded, painted, sorted and
// deleted, and a second chain freed with the window.
TEST_F(TreeViewRowsTest, AChainOfAHundredThousandLevels) {
  constexpr int kDepth = 100000;
  std::vector<HTREEITEM> chain;
  chain.reserve(kDepth);
  HTREEITEM parent = TVI_ROOT;
  for (int i = 0; i < kDepth; ++i) {
    parent = Add(parent, ("level " + std::to_string(i)).c_str());
    chain.push_back(parent);
  }
  ASSERT_EQ(TreeView_GetCount(tv), UINT(kDepth));
  ASSERT_TRUE(TreeView_EnsureVisible(tv, chain.back()));
  EXPECT_TRUE(State(chain[kDepth / 2]) & TVIS_EXPANDED);
  EXPECT_EQ(TreeView_GetLastVisible(tv), chain.back());
  RECT r, c;
  GetClientRect(tv, &c);
  ASSERT_TRUE(TreeView_GetItemRect(tv, chain.back(), &r, FALSE));
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, c.bottom);
  const int page = int(TreeView_GetVisibleCount(tv));
  EXPECT_EQ(TreeView_GetFirstVisible(tv), chain[std::size_t(kDepth - page)]);
  SCROLLINFO vs;
  vs.fMask = SIF_RANGE;
  GetScrollInfo(tv, SB_VERT, &vs);
  EXPECT_EQ(vs.nMax, kDepth - 1);
  ASSERT_TRUE(TreeView_GetItemRect(tv, chain.back(), &r, TRUE));
  EXPECT_EQ(r.left, kDepth * int(TreeView_GetIndent(tv))) << "the label after one indent per level";
  InvalidateRect(tv, nullptr, TRUE);
  UpdateWindow(tv);

  TreeView_Expand(tv, chain[0], TVE_COLLAPSE);
  EXPECT_EQ(TreeView_GetLastVisible(tv), chain[0]);
  SetFocus(tv);
  TreeView_SelectItem(tv, chain[0]);
  SendMessageA(tv, WM_KEYDOWN, VK_MULTIPLY, 0);  // expands everything below
  EXPECT_EQ(TreeView_GetLastVisible(tv), chain.back());
  EXPECT_TRUE(TreeView_SortChildren(tv, chain[0], TRUE));

  ClearNotes();
  EXPECT_TRUE(TreeView_DeleteItem(tv, chain[0]));
  EXPECT_EQ(TreeView_GetCount(tv), 0u);
  std::vector<HTREEITEM> deleted;
  for (const Note& n : TvNotes())
    if (n.code == TVN_DELETEITEMA) deleted.push_back(n.oldItem);
  ASSERT_EQ(deleted.size(), std::size_t(kDepth));
  EXPECT_EQ(deleted.front(), chain.back()) << "the deepest item goes first";
  EXPECT_EQ(deleted.back(), chain.front());

  parent = TVI_ROOT;
  for (int i = 0; i < kDepth; ++i) parent = Add(parent, "again");
  DestroyWindow(tv);
  tv = nullptr;
}

TEST_F(TreeViewTest, Screenshot) {
  HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, 32, 16};
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(mem, &all, magenta);
  RECT folder{1, 3, 15, 14}, page{20, 1, 29, 15};
  HBRUSH yellow = CreateSolidBrush(RGB(240, 200, 80)), white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(mem, &folder, yellow);
  FillRect(mem, &page, white);
  HBRUSH black = CreateSolidBrush(0);
  FrameRect(mem, &folder, black);
  FrameRect(mem, &page, black);
  SelectObject(mem, old);
  ImageList_AddMasked(il, bmp, RGB(255, 0, 255));
  TreeView_SetImageList(tv, il, TVSIL_NORMAL);
  HFONT f = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "\xCB\xCE\xCC\xE5");
  SendMessageA(tv, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
  auto add = [&](HTREEITEM p, const char* t, int img) {
    TVINSERTSTRUCTA is;
    is.hParent = p;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    is.item.pszText = const_cast<char*>(t);
    is.item.iImage = is.item.iSelectedImage = img;
    return TreeView_InsertItem(tv, &is);
  };
  HTREEITEM novel = add(TVI_ROOT, "\xD0\xA1\xCB\xB5", 0);  // 小说
  HTREEITEM vol = add(novel, "\xB5\xDA\xD2\xBB\xBE\xED", 0);  // 第一卷
  add(vol, "\xB5\xDA\xD2\xBB\xD5\xC2", 1);
  HTREEITEM ch2 = add(vol, "\xB5\xDA\xB6\xFE\xD5\xC2", 1);
  add(novel, "\xB5\xDA\xB6\xFE\xBE\xED", 0);
  HTREEITEM notes = add(TVI_ROOT, "Notes", 0);
  add(notes, "characters", 1);
  TreeView_Expand(tv, novel, TVE_EXPAND);
  TreeView_Expand(tv, vol, TVE_EXPAND);
  SetFocus(tv);
  TreeView_SelectItem(tv, ch2);
  PvProcessMessages();
  PvCaptureWindow(host);
  PvProcessMessages();
  RECT wr;
  GetWindowRect(host, &wr);
  std::string path = ::testing::TempDir() + "treeview.png";
  hb->SaveScreenshot(path, &wr);
  std::printf("screenshot: %s\n", path.c_str());
  // the selected label is highlighted
  RECT r = LabelRect(ch2);
  HDC dc = GetDC(tv);
  EXPECT_EQ(GetPixel(dc, r.left + 1, r.top + 1), GetSysColor(COLOR_HIGHLIGHT));
  ReleaseDC(tv, dc);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  ImageList_Destroy(il);
}

}  // namespace
