// The standard window classes driven by messages and synthetic input on the
// headless backend. Text uses the built-in font with fixed metrics: single-byte
// characters are 7 pixels wide, double-byte characters 14, lines 14 high.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "platform/backend/headless/headless.h"
#include "platform/controls/stdwnd.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace {

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

struct Note {
  HWND from;
  int code;
};
std::vector<Note>& Notes() {
  static std::vector<Note> n;
  return n;
}
LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && l) Notes().push_back({reinterpret_cast<HWND>(l), int(SHORT(HIWORD(w)))});
  if (m == WM_NOTIFY) {
    auto* nm = reinterpret_cast<NMHDR*>(l);
    Notes().push_back({nm->hwndFrom, int(nm->code)});
  }
  return DefWindowProcA(h, m, w, l);
}

class StdWnd : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  HWND top = nullptr;
  HFONT font = nullptr;
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    WNDCLASSEXA wc;
    if (!GetClassInfoExA(nullptr, "StdTestParent", &wc)) {
      wc.lpfnWndProc = ParentProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
      wc.lpszClassName = "StdTestParent";
      RegisterClassExA(&wc);
    }
    Notes().clear();
    top = CreateWindowExA(0, "StdTestParent", "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                          nullptr, nullptr, nullptr);
    font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
  }
  void TearDown() override {
    PvResetWindowManager();
    hb->Reset();
    DeleteObject(font);
  }
  HWND Make(const char* cls, DWORD style, const AnsiString& text = "", int w = 200, int h = 24, int id = 7) {
    HWND c = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, top,
                             reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    return c;
  }
  static AnsiString Text(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(std::size_t(n) + 1, '\0');
    GetWindowTextA(h, s.data(), n + 1);
    s.resize(std::size_t(n));
    return s;
  }
  static std::pair<int, int> Sel(HWND h) {
    DWORD a = 0, b = 0;
    SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {int(a), int(b)};
  }
  static void Type(HWND h, const AnsiString& s) {
    for (unsigned char c : s) SendMessageA(h, WM_CHAR, c, 1);
  }
  void Key(unsigned vk, unsigned mods = 0) {
    hb->Key(vk, mods);
    PvProcessMessages();
  }
  int Count(HWND h, int code) const {
    int n = 0;
    for (const Note& x : Notes())
      if (x.from == h && x.code == code) ++n;
    return n;
  }
};

// ---------------------------------------------------------------------------
// EDIT

TEST_F(StdWnd, EditSelectionKeepsCharactersWhole) {
  // "ab中文cd": a=0 b=1 中=2..3 文=4..5 c=6 d=7
  HWND e = Make("EDIT", ES_AUTOHSCROLL, A("ab中文cd"));
  struct Case {
    int start, end;
    std::pair<int, int> sel;
  } cases[] = {
      {3, 5, {2, 4}},   // positions inside a character move to its start
      {0, -1, {0, 8}},  // select all
      {6, 2, {2, 6}},   // reversed: reported ordered
      {9, 20, {8, 8}},  // past the end clamps
      {5, 5, {4, 4}},
  };
  for (const Case& c : cases) {
    SendMessageA(e, EM_SETSEL, WPARAM(c.start), LPARAM(c.end));
    EXPECT_EQ(Sel(e), c.sel) << c.start << "," << c.end;
  }
}

TEST_F(StdWnd, EditReversedSelectionMovesCaretEnd) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, A("ab中文cd"));
  SetFocus(e);
  SendMessageA(e, EM_SETSEL, 6, 2);  // anchor 6, caret 2
  Key(VK_RIGHT, HeadlessBackend::Shift);
  EXPECT_EQ(Sel(e), std::make_pair(4, 6));  // the caret end stepped over 中
  Key(VK_RIGHT, HeadlessBackend::Shift);
  Key(VK_RIGHT, HeadlessBackend::Shift);
  EXPECT_EQ(Sel(e), std::make_pair(6, 7));  // crossed the anchor
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));  // collapses to the left end
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(4, 4));
  Key(VK_END, HeadlessBackend::Shift);
  Key(VK_HOME, HeadlessBackend::Shift);
  EXPECT_EQ(Sel(e), std::make_pair(0, 4));
}

TEST_F(StdWnd, EditDoubleByteInputAndDeletion) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL);
  SetFocus(e);
  Type(e, "a");
  Type(e, A("中"));  // lead then trail WM_CHAR
  SendMessageA(e, WM_IME_CHAR, WPARAM((BYTE(A("文")[0]) << 8) | BYTE(A("文")[1])), 1);
  EXPECT_EQ(Text(e), A("a中文"));
  EXPECT_EQ(Sel(e), std::make_pair(5, 5));
  hb->CommitText("字");  // committed by the input method
  PvProcessMessages();
  EXPECT_EQ(Text(e), A("a中文字"));
  SendMessageA(e, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(Text(e), A("a中文"));
  SendMessageA(e, EM_SETSEL, 1, 1);
  Key(VK_DELETE);
  EXPECT_EQ(Text(e), A("a文"));
  EXPECT_EQ(Sel(e), std::make_pair(1, 1));
}

TEST_F(StdWnd, EditUndoIsOneLevelAndToggles) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, "x");
  EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));  // WM_SETTEXT leaves nothing to undo
  SendMessageA(e, EM_SETSEL, 1, 1);
  Type(e, "abc");  // typing is one step
  EXPECT_EQ(Text(e), "xabc");
  EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));
  EXPECT_TRUE(SendMessageA(e, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(e), "x");
  SendMessageA(e, WM_UNDO, 0, 0);  // undoing the undo redoes
  EXPECT_EQ(Text(e), "xabc");
  SendMessageA(e, EM_SETSEL, 0, 1);
  SendMessageA(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("y"));  // not undoable: undo keeps the old step
  EXPECT_EQ(Text(e), "yabc");
  SendMessageA(e, EM_SETSEL, 4, 4);
  SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(A("中").c_str()));
  SendMessageA(e, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), "yabc");
  SendMessageA(e, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessageA(e, EM_UNDO, 0, 0));
}

TEST_F(StdWnd, RichEditUndoRedoGroupsTyping) {
  HWND r = Make("RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL);
  Type(r, "ab");
  SendMessageA(r, EM_SETSEL, 0, 0);  // moving the caret ends the typing step
  Type(r, A("中c"));
  EXPECT_EQ(Text(r), A("中cab"));
  EXPECT_TRUE(SendMessageA(r, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(r), "ab");
  EXPECT_TRUE(SendMessageA(r, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(r), "");
  EXPECT_FALSE(SendMessageA(r, EM_CANUNDO, 0, 0));
  EXPECT_TRUE(SendMessageA(r, EM_CANREDO, 0, 0));
  SendMessageA(r, EM_REDO, 0, 0);
  SendMessageA(r, EM_REDO, 0, 0);
  EXPECT_EQ(Text(r), A("中cab"));
  EXPECT_FALSE(SendMessageA(r, EM_CANREDO, 0, 0));
  SendMessageA(r, EM_UNDO, 0, 0);
  Type(r, "z");  // a new change drops the redo steps
  EXPECT_FALSE(SendMessageA(r, EM_CANREDO, 0, 0));
}

TEST_F(StdWnd, RichEditEventMaskAndQueries) {
  HWND r = Make("RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL, A("一二三abc"));
  Notes().clear();
  Type(r, "x");
  EXPECT_EQ(Count(r, EN_CHANGE), 0);  // masked out by default
  SendMessageA(r, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  Type(r, "y");
  EXPECT_EQ(Count(r, EN_CHANGE), 1);
  EXPECT_EQ(Count(r, EN_SELCHANGE), 1);
  CHARRANGE cr;
  cr.cpMin = 4;
  cr.cpMax = 8;
  SendMessageA(r, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  char buf[32] = {};
  EXPECT_EQ(SendMessageA(r, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf)), 4);
  EXPECT_EQ(std::string(buf), A("二三"));
  GETTEXTLENGTHEX gl;
  gl.flags = GTL_NUMCHARS;
  EXPECT_EQ(SendMessageA(r, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0), 8);  // xy一二三abc
  gl.flags = GTL_DEFAULT;
  EXPECT_EQ(SendMessageA(r, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0), 11);
}

TEST_F(StdWnd, RichEditTextModeOleCallbackAndUnderlineType) {
  HWND plain = Make("RichEdit20A", ES_AUTOHSCROLL, "abc");
  EXPECT_EQ(0, SendMessageA(plain, EM_SETTEXTMODE, TM_PLAINTEXT, 0));
  EXPECT_NE(0, SendMessageA(plain, EM_SETTEXTMODE, TM_RICHTEXT, 0));
  EXPECT_TRUE(SendMessageA(plain, EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT);
  EXPECT_EQ(TRUE, SendMessageA(plain, EM_SETOLECALLBACK, 0, 0));
  // The second character format underlines by its underline type.
  CHARFORMAT2A cf;
  cf.dwMask = CFM_UNDERLINETYPE | CFM_COLOR;
  cf.crTextColor = RGB(0, 0, 255);
  cf.bUnderlineType = CFU_UNDERLINE;
  SendMessageA(plain, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  CHARFORMATA got;
  SendMessageA(plain, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&got));
  EXPECT_TRUE(got.dwEffects & CFE_UNDERLINE);
  EXPECT_EQ(RGB(0, 0, 255), got.crTextColor);
  cf.dwMask = CFM_UNDERLINETYPE;
  cf.bUnderlineType = CFU_UNDERLINENONE;
  SendMessageA(plain, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(plain, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&got));
  EXPECT_FALSE(got.dwEffects & CFE_UNDERLINE);
}

TEST_F(StdWnd, RichEditKeepsUnneededBarsDisabledWithDisableNoScroll) {
  HWND hide = Make("RichEdit20A", ES_MULTILINE | WS_VSCROLL, "short");
  HWND keep = Make("RichEdit20A", ES_MULTILINE | WS_VSCROLL | ES_DISABLENOSCROLL, "short");
  EXPECT_FALSE(GetWindowLongA(hide, GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongA(keep, GWL_STYLE) & WS_VSCROLL);
  SCROLLBARINFO sbi;
  sbi.cbSize = sizeof sbi;
  ASSERT_TRUE(GetScrollBarInfo(keep, OBJID_VSCROLL, &sbi));
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

TEST_F(StdWnd, HiddenScrollBarsComeBackWhenNeeded) {
  HWND list = Make("LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
  EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
  for (int i = 0; i < 40; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
  for (const char* cls : {"EDIT", "RichEdit20A"}) {
    HWND memo = Make(cls, ES_MULTILINE | WS_VSCROLL, "short");
    EXPECT_FALSE(GetWindowLongA(memo, GWL_STYLE) & WS_VSCROLL) << cls;
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "line\r\n";
    SetWindowTextA(memo, lines.c_str());
    EXPECT_TRUE(GetWindowLongA(memo, GWL_STYLE) & WS_VSCROLL) << cls;
  }
}

TEST_F(StdWnd, RichEditOptionsKeepTheReadOnlyState) {
  HWND r = Make("RichEdit20A", ES_MULTILINE | ES_READONLY, "fixed");
  SendMessageA(r, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
  EXPECT_TRUE(GetWindowLongA(r, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(DWORD(ECO_READONLY | ECO_SELECTIONBAR), DWORD(SendMessageA(r, EM_GETOPTIONS, 0, 0)));
  SendMessageA(r, EM_SETOPTIONS, ECOOP_AND, ~LPARAM(ECO_READONLY));
  EXPECT_FALSE(GetWindowLongA(r, GWL_STYLE) & ES_READONLY);
  SendMessageA(r, EM_SETREADONLY, TRUE, 0);
  SendMessageA(r, EM_SETOPTIONS, ECOOP_XOR, ECO_SELECTIONBAR);
  EXPECT_TRUE(GetWindowLongA(r, GWL_STYLE) & ES_READONLY);
}

TEST_F(StdWnd, EditCharFromPosAndPosFromChar) {
  // left margin 1: character n of a single-byte run starts at x = 1 + 7n
  HWND e = Make("EDIT", ES_AUTOHSCROLL, A("ab中c"));
  struct Case {
    int index, x;
  } pos[] = {{0, 1}, {1, 8}, {2, 15}, {4, 29}};
  for (const Case& c : pos) {
    LRESULT r = SendMessageA(e, EM_POSFROMCHAR, WPARAM(c.index), 0);
    EXPECT_EQ(SHORT(LOWORD(r)), c.x) << c.index;
    EXPECT_EQ(SHORT(HIWORD(r)), 0);
  }
  EXPECT_EQ(SendMessageA(e, EM_POSFROMCHAR, 5, 0), -1);  // past the last character
  struct Hit {
    int x, index;
  } hits[] = {{0, 0}, {4, 0}, {5, 1}, {16, 2}, {21, 2}, {23, 4}, {200, 5}};
  for (const Hit& c : hits) {
    LRESULT r = SendMessageA(e, EM_CHARFROMPOS, 0, MAKELPARAM(c.x, 5));
    EXPECT_EQ(LOWORD(r), c.index) << "x=" << c.x;
  }
}

TEST_F(StdWnd, EditMultiLineGeometry) {
  // 20 px of margins in a 72 px wide window leave room for 10 single-byte characters
  HWND e = Make("EDIT", ES_MULTILINE | ES_AUTOVSCROLL, "", 72, 100);
  SendMessageA(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  SetWindowTextA(e, (A("第一行") + "\r\n" + "hello world again\r\n\r\nend").c_str());
  // lines: "第一行" | "hello " | "world " | "again" | "" | "end"
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 6);
  struct Case {
    int line, index, length;
  } lines[] = {{0, 0, 6}, {1, 8, 6}, {2, 14, 6}, {3, 20, 5}, {4, 27, 0}, {5, 29, 3}};
  for (const Case& c : lines) {
    EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, WPARAM(c.line), 0), c.index) << c.line;
    EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, WPARAM(c.index), 0), c.length) << c.line;
    EXPECT_EQ(SendMessageA(e, EM_LINEFROMCHAR, WPARAM(c.index), 0), c.line) << c.line;
  }
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 6, 0), -1);
  char buf[16] = {};
  WORD size = sizeof buf;
  std::memcpy(buf, &size, sizeof size);
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buf)), 6);
  EXPECT_EQ(std::string(buf, 6), A("第一行"));
  LRESULT p = SendMessageA(e, EM_POSFROMCHAR, 29, 0);
  EXPECT_EQ(SHORT(HIWORD(p)), 5 * 14);
  LRESULT hit = SendMessageA(e, EM_CHARFROMPOS, 0, MAKELPARAM(16, 14 + 3));
  EXPECT_EQ(LOWORD(hit), 10);
  EXPECT_EQ(HIWORD(hit), 1);
  // Up and Down keep the column
  SetFocus(e);
  SendMessageA(e, EM_SETSEL, 4, 4);  // after 第一
  Key(VK_DOWN);
  EXPECT_EQ(Sel(e), std::make_pair(12, 12));
  Key(VK_UP);
  EXPECT_EQ(Sel(e), std::make_pair(4, 4));
}

TEST_F(StdWnd, EditNotificationsAndLimit) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL);
  SetWindowTextA(e, "abc");
  EXPECT_EQ(Count(e, EN_UPDATE), 1);
  EXPECT_EQ(Count(e, EN_CHANGE), 1);
  EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
  Notes().clear();
  SendMessageA(e, EM_LIMITTEXT, 5, 0);
  SendMessageA(e, EM_SETSEL, 3, 3);
  SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(A("d中文").c_str()));
  EXPECT_EQ(Text(e), "abcd");  // 中 would pass the limit and is not split
  EXPECT_EQ(Count(e, EN_CHANGE), 1);
  EXPECT_EQ(Count(e, EN_MAXTEXT), 1);
  Type(e, "e");
  Type(e, "f");
  EXPECT_EQ(Text(e), "abcde");
  EXPECT_EQ(Count(e, EN_MAXTEXT), 2);
  SetFocus(e);
  SetFocus(top);
  EXPECT_EQ(Count(e, EN_SETFOCUS), 1);
  EXPECT_EQ(Count(e, EN_KILLFOCUS), 1);
}

TEST_F(StdWnd, EditStyles) {
  struct Case {
    DWORD style;
    const char* typed;
    const char* text;
  } cases[] = {
      {ES_UPPERCASE, "aBc1", "ABC1"},
      {ES_LOWERCASE, "aBc1", "abc1"},
      {ES_READONLY, "abc", ""},
      {0, "a\rb\tc", "abc"},  // single-line ignores Enter and Tab
      {ES_MULTILINE | ES_AUTOVSCROLL, "a\rb", "a\r\nb"},
      {0, "abcdefghijklmnopqrstuvwxyz0123456789", "abcdefghijklmnopqrstuvwxyz"},  // no auto-scroll: stops when full
  };
  for (const Case& c : cases) {
    HWND e = Make("EDIT", c.style, "", 7 * 26 + 2);
    Type(e, c.typed);
    EXPECT_EQ(Text(e), c.text) << std::hex << c.style;
    DestroyWindow(e);
  }
  HWND ro = Make("EDIT", ES_READONLY | ES_AUTOHSCROLL);
  SendMessageA(ro, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("set"));  // programs may still change it
  EXPECT_EQ(Text(ro), "set");
  SendMessageA(ro, EM_SETREADONLY, FALSE, 0);
  Type(ro, "!");
  EXPECT_EQ(Text(ro), "set!");
}

TEST_F(StdWnd, EditClipboardAndPassword) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, A("复制粘贴"));
  SendMessageA(e, EM_SETSEL, 0, 4);
  SendMessageA(e, WM_CUT, 0, 0);
  EXPECT_EQ(Text(e), A("粘贴"));
  SendMessageA(e, EM_SETSEL, 4, 4);
  EXPECT_TRUE(SendMessageA(e, EM_CANPASTE, 0, 0));
  SendMessageA(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), A("粘贴复制"));
  SendMessageA(e, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), A("粘贴"));

  HWND pw = Make("EDIT", ES_PASSWORD | ES_AUTOHSCROLL, A("密码"));
  EXPECT_EQ(SendMessageA(pw, EM_GETPASSWORDCHAR, 0, 0), '*');
  SendMessageA(pw, EM_SETSEL, 0, -1);
  SendMessageA(pw, WM_COPY, 0, 0);  // a password never reaches the clipboard
  SendMessageA(e, EM_SETSEL, 0, 0);
  SendMessageA(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), A("复制粘贴"));
  EXPECT_EQ(Text(pw), A("密码"));
  // each character shows as one mask character
  EXPECT_EQ(SHORT(LOWORD(SendMessageA(pw, EM_POSFROMCHAR, 2, 0))), 1 + 7);
}

// Ctrl+Alt+X has no character on the layout: the edit box neither cuts nor
// types; Ctrl+X alone cuts.
TEST_F(StdWnd, EditTakesCtrlAltLettersForNothing) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, "abc");
  SetFocus(e);
  SendMessageA(e, EM_SETSEL, 0, -1);
  Key('X', HeadlessBackend::Ctrl | HeadlessBackend::Alt);
  EXPECT_EQ(Text(e), "abc");
  EXPECT_EQ(Sel(e), (std::pair<int, int>{0, 3}));
  Key('X', HeadlessBackend::Ctrl);
  EXPECT_EQ(Text(e), "");
}

// The clipboard characters reach the window as its own messages, so a window
// procedure wrapping the edit box can refuse them.
WNDPROC gEditBase = nullptr;
int gRefused = 0;
LRESULT RefusingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CUT || m == WM_PASTE || m == WM_UNDO) {
    ++gRefused;
    return 0;
  }
  return CallWindowProcA(gEditBase, h, m, w, l);
}

TEST_F(StdWnd, ClipboardCharactersGoThroughTheWindowsMessages) {
  for (const char* cls : {"EDIT", "RichEdit20A"}) {
    HWND e = Make(cls, ES_AUTOHSCROLL, "abc");
    gEditBase = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingProc)));
    gRefused = 0;
    SetFocus(e);
    SendMessageA(e, EM_SETSEL, 0, -1);
    Key('X', HeadlessBackend::Ctrl);
    Key('V', HeadlessBackend::Ctrl);
    Key('Z', HeadlessBackend::Ctrl);
    EXPECT_EQ(Text(e), "abc") << cls;
    EXPECT_EQ(3, gRefused) << cls;
    DestroyWindow(e);
  }
}

// A window that grows wide enough for its text shows it from the start, even
// when the caret had scrolled it while it was narrow.
TEST_F(StdWnd, EditGrownWideShowsTheWholeText) {
  for (const char* cls : {"EDIT", "RichEdit20A"}) {
    HWND fresh = Make(cls, ES_AUTOHSCROLL, "abcdefghij", 300, 24);
    HWND e = Make(cls, ES_AUTOHSCROLL, "", 0, 24);
    SetWindowTextA(e, "abcdefghij");
    SendMessageA(e, EM_SETSEL, 10, 10);
    SetWindowPos(e, nullptr, 0, 0, 300, 24, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(SendMessageA(fresh, EM_POSFROMCHAR, 0, 0), SendMessageA(e, EM_POSFROMCHAR, 0, 0)) << cls;
    DestroyWindow(e);
    DestroyWindow(fresh);
  }
}

// A formatting rectangle with no width (a window still being placed) never
// scrolls the text; once wide, the text shows from its start.
TEST_F(StdWnd, EditWithoutRoomDoesNotScroll) {
  for (const char* cls : {"EDIT", "RichEdit20A"}) {
    HWND fresh = Make(cls, ES_AUTOHSCROLL, "abcdefghij", 300, 24);
    HWND e = Make(cls, ES_AUTOHSCROLL, "abcdefghij", 300, 24);
    for (RECT r : {RECT{2, 1, 2, 19}, RECT{2, 1, -1, 19}}) {
      SendMessageA(e, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
      SendMessageA(e, EM_SETSEL, 0, 0);
    }
    RECT wide{1, 0, 299, 24};
    SendMessageA(fresh, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&wide));
    SendMessageA(e, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&wide));
    auto x0 = [&](HWND h) {
      if (std::string(cls) == "EDIT") return int(SHORT(LOWORD(SendMessageA(h, EM_POSFROMCHAR, 0, 0))));
      POINT p{};
      SendMessageA(h, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), 0);
      return int(p.x);
    };
    EXPECT_EQ(1, x0(fresh)) << cls;
    EXPECT_EQ(x0(fresh), x0(e)) << cls;
    DestroyWindow(e);
    DestroyWindow(fresh);
  }
}

TEST_F(StdWnd, EditMouseSelection) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, A("one 中文 two"));
  POINT o{0, 0};
  ClientToScreen(e, &o);
  hb->Click(o.x + 1 + 7 * 2, o.y + 5);  // between n and e
  PvProcessMessages();
  EXPECT_EQ(GetFocus(), e);
  EXPECT_EQ(Sel(e), std::make_pair(2, 2));
  hb->AdvanceClock(1000);  // not a double-click
  hb->Drag(o.x + 1 + 7 * 2, o.y + 5, o.x + 1 + 7 * 4 + 16, o.y + 5);
  PvProcessMessages();
  EXPECT_EQ(Sel(e), std::make_pair(2, 6));  // ends after 中
  hb->AdvanceClock(1000);
  hb->DoubleClick(o.x + 71, o.y + 5);
  PvProcessMessages();
  EXPECT_EQ(Sel(e), std::make_pair(9, 12));  // the word "two"
}

}  // namespace

// ---------------------------------------------------------------------------
// LISTBOX

namespace {

std::vector<std::string> Items(HWND lb) {
  std::vector<std::string> r;
  int n = int(SendMessageA(lb, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::string s(std::size_t(SendMessageA(lb, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, '\0');
    SendMessageA(lb, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
    s.pop_back();
    r.push_back(s);
  }
  return r;
}
LRESULT Add(HWND lb, const std::string& s, UINT msg = LB_ADDSTRING, WPARAM w = 0) {
  return SendMessageA(lb, msg, w, reinterpret_cast<LPARAM>(s.c_str()));
}

}  // namespace

TEST_F(StdWnd, ListBoxSortedInsertionIgnoresCase) {
  HWND lb = Make("LISTBOX", LBS_SORT | LBS_NOTIFY | WS_VSCROLL, "", 120, 14 * 5);
  for (const char* s : {"delta", "Alpha", "charlie", "中文", "alpha", "Bravo", "啊"}) Add(lb, A(s));
  // ASCII letters fold; double-byte text sorts by its bytes, after ASCII; equal keys keep insertion order
  std::vector<std::string> want = {"Alpha", "alpha", "Bravo", "charlie", "delta", A("啊"), A("中文")};
  EXPECT_EQ(Items(lb), want);
  EXPECT_EQ(Add(lb, "x", LB_INSERTSTRING, 0), 0);  // insertion at an index does not sort
  EXPECT_EQ(Items(lb)[0], "x");
  EXPECT_EQ(Add(lb, "y", LB_INSERTSTRING, 99), LB_ERR);
  EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 0, 0), 7);
  EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 7, 0), LB_ERR);
}

TEST_F(StdWnd, SortedListAndComboBoxesUseTheChineseOrder) {
  HWND lb = Make("LISTBOX", LBS_SORT, "", 120, 14 * 5);
  HWND cb = Make("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, "", 120, 150);
  for (const char* s : {"a", "abc", "B", "Zeta", "_x", "丂", "阿", "澳", "张三", "中文", "亍"}) {
    Add(lb, A(s));
    Add(cb, A(s), CB_ADDSTRING);
  }
  // Punctuation first, letters without case, then hanzi by pinyin: 亍 chù (a
  // second-level character) and 丂 kǎo (an extension one) among the rest.
  std::vector<std::string> want;
  for (const char* s : {"_x", "a", "abc", "B", "Zeta", "阿", "澳", "亍", "丂", "张三", "中文"}) want.push_back(A(s));
  EXPECT_EQ(Items(lb), want);
  std::vector<std::string> combo;
  for (int i = 0; i < int(SendMessageA(cb, CB_GETCOUNT, 0, 0)); ++i) {
    char buf[32] = {};
    SendMessageA(cb, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
    combo.push_back(buf);
  }
  EXPECT_EQ(combo, want);
  // Equal without case: after the equal ones; searching finds them without case.
  EXPECT_EQ(Add(lb, "A"), 2);
  EXPECT_EQ(Add(lb, A("ＺＥＴＡ")), 6) << "full-width letters sort with the half-width ones";
  EXPECT_EQ(Add(lb, A("ｚｅｔａ")), 7) << "their case ignored too";
  EXPECT_EQ(SendMessageA(lb, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(A("ｚｅｔＡ").c_str())), 6);
  EXPECT_EQ(SendMessageA(cb, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("ZETA")), 4);
}

TEST_F(StdWnd, ListBoxFindString) {
  HWND lb = Make("LISTBOX", 0, "", 120, 14 * 5);
  for (const char* s : {"apple", "Apricot", "banana", "中文", "中国", "apple"}) Add(lb, A(s), LB_INSERTSTRING, WPARAM(-1));
  struct Case {
    UINT msg;
    int start;
    const char* key;
    int found;
  } cases[] = {
      {LB_FINDSTRING, -1, "ap", 0},      {LB_FINDSTRING, 0, "AP", 1},
      {LB_FINDSTRING, 1, "ap", 5},       {LB_FINDSTRING, 5, "ap", 0},  // wraps around
      {LB_FINDSTRING, -1, "中", 3},      {LB_FINDSTRING, 3, "中", 4},
      {LB_FINDSTRING, -1, "z", LB_ERR},  {LB_FINDSTRINGEXACT, -1, "APPLE", 0},
      {LB_FINDSTRINGEXACT, 0, "apple", 5}, {LB_FINDSTRINGEXACT, -1, "apri", LB_ERR},
      {LB_FINDSTRINGEXACT, -1, "中国", 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessageA(lb, c.msg, WPARAM(c.start), reinterpret_cast<LPARAM>(A(c.key).c_str())), c.found)
        << c.key << " from " << c.start;
  // a prefix that ends inside a double-byte character matches nothing
  std::string half = A("中").substr(0, 1);
  EXPECT_EQ(SendMessageA(lb, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(half.c_str())), LB_ERR);
  EXPECT_EQ(SendMessageA(lb, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("ban")), 2);
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
}

TEST_F(StdWnd, ListBoxSingleSelectionByMouseAndKeys) {
  HWND lb = Make("LISTBOX", LBS_NOTIFY | WS_VSCROLL, "", 120, 14 * 3);
  for (int i = 0; i < 6; ++i) Add(lb, "item" + std::to_string(i));
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), LB_ERR);
  Notes().clear();
  EXPECT_EQ(SendMessageA(lb, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(Count(lb, LBN_SELCHANGE), 0);  // only the user's changes notify
  POINT o{0, 0};
  ClientToScreen(lb, &o);
  hb->Click(o.x + 5, o.y + 14 * 2 + 3);
  PvProcessMessages();
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Count(lb, LBN_SELCHANGE), 1);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 2);  // scrolled to keep it visible
  Key(VK_END);
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 5);
  SendMessageA(lb, WM_CHAR, 'i', 0);  // type-ahead finds the next item starting with i
  EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 0);
  LRESULT hit = SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 14 + 2));
  EXPECT_EQ(LOWORD(hit), 1);
  EXPECT_EQ(HIWORD(hit), 0);
  RECT r;
  SendMessageA(lb, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, 28);
  EXPECT_EQ(r.bottom, 42);
  hb->AdvanceClock(1000);
  hb->DoubleClick(o.x + 5, o.y + 3);
  PvProcessMessages();
  EXPECT_EQ(Count(lb, LBN_DBLCLK), 1);
}

TEST_F(StdWnd, ListBoxMultipleAndExtendedSelection) {
  auto selected = [](HWND lb) {
    int buf[16];
    int n = int(SendMessageA(lb, LB_GETSELITEMS, 16, reinterpret_cast<LPARAM>(buf)));
    return std::vector<int>(buf, buf + std::max(0, n));
  };
  HWND multi = Make("LISTBOX", LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT, "", 120, 14 * 6);
  HWND ext = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, 150,
                             10, 120, 14 * 6, top, nullptr, nullptr, nullptr);
  SendMessageA(ext, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  for (int i = 0; i < 6; ++i) {
    Add(multi, std::to_string(i));
    Add(ext, std::to_string(i));
  }
  POINT m{0, 0}, x{0, 0};
  ClientToScreen(multi, &m);
  ClientToScreen(ext, &x);
  auto click = [&](POINT o, int item, unsigned mods = 0) {
    if (mods & HeadlessBackend::Ctrl) hb->KeyDown(VK_CONTROL);
    if (mods & HeadlessBackend::Shift) hb->KeyDown(VK_SHIFT);
    hb->Click(o.x + 5, o.y + item * 14 + 3);
    if (mods & HeadlessBackend::Shift) hb->KeyUp(VK_SHIFT);
    if (mods & HeadlessBackend::Ctrl) hb->KeyUp(VK_CONTROL);
    hb->AdvanceClock(1000);
    PvProcessMessages();
  };
  // multiple: each click toggles its item
  click(m, 1);
  click(m, 3);
  click(m, 1);
  EXPECT_EQ(selected(multi), std::vector<int>({3}));
  SetFocus(multi);
  Key(VK_DOWN);  // moves the caret (from the last clicked item 1) only
  EXPECT_EQ(selected(multi), std::vector<int>({3}));
  Key(VK_SPACE);
  EXPECT_EQ(selected(multi), std::vector<int>({2, 3}));
  EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 2);
  // extended: click selects one, Shift a range from the anchor, Ctrl toggles
  click(x, 1);
  click(x, 4, HeadlessBackend::Shift);
  EXPECT_EQ(selected(ext), std::vector<int>({1, 2, 3, 4}));
  click(x, 2, HeadlessBackend::Ctrl);
  EXPECT_EQ(selected(ext), std::vector<int>({1, 3, 4}));
  click(x, 0, HeadlessBackend::Shift);  // the anchor moved to 2 with the Ctrl click
  EXPECT_EQ(selected(ext), std::vector<int>({0, 1, 2}));
  Key(VK_DOWN, HeadlessBackend::Shift);
  Key(VK_DOWN, HeadlessBackend::Shift);
  Key(VK_DOWN, HeadlessBackend::Shift);
  EXPECT_EQ(selected(ext), std::vector<int>({2, 3}));
  // messages
  EXPECT_EQ(SendMessageA(ext, LB_SETCURSEL, 0, 0), LB_ERR);  // not for multiple selection
  SendMessageA(ext, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessageA(ext, LB_GETSELCOUNT, 0, 0), 6);
  SendMessageA(ext, LB_SELITEMRANGEEX, 4, 1);  // reversed range deselects
  EXPECT_EQ(selected(ext), std::vector<int>({0, 5}));
}

TEST_F(StdWnd, ListBoxOwnerDrawAndVirtual) {
  static std::vector<UINT> measured, drawn;
  static int compares = 0;
  measured.clear();
  drawn.clear();
  compares = 0;
  WNDCLASSEXA wc;
  if (!GetClassInfoExA(nullptr, "OwnerParent", &wc)) {
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_MEASUREITEM) {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        measured.push_back(mi->itemID);
        mi->itemHeight = 10 + mi->itemID;
        return TRUE;
      }
      if (m == WM_DRAWITEM) {
        drawn.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(l)->itemID);
        return TRUE;
      }
      if (m == WM_COMPAREITEM) {
        auto* ci = reinterpret_cast<COMPAREITEMSTRUCT*>(l);
        ++compares;
        return ci->itemData1 < ci->itemData2 ? -1 : ci->itemData1 > ci->itemData2 ? 1 : 0;
      }
      return DefWindowProcA(h, m, w, l);
    };
    wc.lpszClassName = "OwnerParent";
    RegisterClassExA(&wc);
  }
  HWND p = CreateWindowExA(0, "OwnerParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr,
                           nullptr, nullptr);
  HWND var = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_SORT, 0, 0, 100,
                             100, p, nullptr, nullptr, nullptr);
  for (LPARAM d : {30, 10, 20}) SendMessageA(var, LB_ADDSTRING, 0, d);  // no strings: item data, sorted by the parent
  EXPECT_GT(compares, 0);
  EXPECT_EQ(SendMessageA(var, LB_GETITEMDATA, 0, 0), 10);
  EXPECT_EQ(SendMessageA(var, LB_GETITEMDATA, 2, 0), 30);
  EXPECT_EQ(measured.size(), 3u);  // one WM_MEASUREITEM per item
  RECT r;
  SendMessageA(var, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, SendMessageA(var, LB_GETITEMHEIGHT, 0, 0));
  UpdateWindow(var);
  EXPECT_EQ(drawn.size(), 3u);

  HWND virt = CreateWindowExA(0, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT, 100, 0,
                              100, 50, p, nullptr, nullptr, nullptr);
  EXPECT_EQ(SendMessageA(virt, LB_ADDSTRING, 0, 1), LB_ERR);
  EXPECT_EQ(SendMessageA(virt, LB_SETCOUNT, 100000, 0), 0);
  EXPECT_EQ(SendMessageA(virt, LB_GETCOUNT, 0, 0), 100000);
  drawn.clear();
  SendMessageA(virt, LB_SETTOPINDEX, 99990, 0);
  UpdateWindow(virt);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), 99990u);  // only the visible items are drawn
  EXPECT_LE(drawn.size(), 6u);
}

// ---------------------------------------------------------------------------
// BUTTON

TEST_F(StdWnd, ButtonClicksByStyle) {
  struct Case {
    DWORD style;
    std::vector<UINT> checks;  // BM_GETCHECK after each of three clicks
  } cases[] = {
      {BS_PUSHBUTTON, {0, 0, 0}},
      {BS_CHECKBOX, {0, 0, 0}},  // not automatic: the parent decides
      {BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
      {BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
      {BS_RADIOBUTTON, {0, 0, 0}},
      {BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED, BST_CHECKED}},
  };
  for (const Case& c : cases) {
    HWND b = Make("BUTTON", c.style, "b", 80, 24);
    POINT o{5, 5};
    ClientToScreen(b, &o);
    Notes().clear();
    for (UINT want : c.checks) {
      hb->Click(o.x, o.y);
      hb->AdvanceClock(1000);
      PvProcessMessages();
      EXPECT_EQ(UINT(SendMessageA(b, BM_GETCHECK, 0, 0)), want) << std::hex << c.style;
    }
    EXPECT_EQ(Count(b, BN_CLICKED), 3) << std::hex << c.style;
    DestroyWindow(b);
  }
}

TEST_F(StdWnd, ButtonPressReleaseOutsideDoesNotClick) {
  HWND b = Make("BUTTON", BS_AUTOCHECKBOX, "b", 80, 24);
  POINT o{5, 5};
  ClientToScreen(b, &o);
  hb->MouseDown(o.x, o.y);
  PvProcessMessages();
  EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  hb->MouseMove(o.x + 200, o.y);
  PvProcessMessages();
  EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  hb->MouseUp(o.x + 200, o.y);
  PvProcessMessages();
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Count(b, BN_CLICKED), 0);
  // Space presses and clicks
  SetFocus(b);
  Key(VK_SPACE);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Count(b, BN_CLICKED), 1);
  // a plain check box takes no indeterminate state
  SendMessageA(b, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EnableWindow(b, FALSE);
  SendMessageA(b, BM_CLICK, 0, 0);
  EXPECT_EQ(Count(b, BN_CLICKED), 1);
}

TEST_F(StdWnd, AutoRadioGroupsAreExclusive) {
  // group one: r1 r2 r3 (plain radio r3 is not unchecked automatically); group two: r4 r5
  HWND r1 = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, "1", 60, 20, 1);
  HWND r2 = Make("BUTTON", BS_AUTORADIOBUTTON, "2", 60, 20, 2);
  HWND r3 = Make("BUTTON", BS_RADIOBUTTON, "3", 60, 20, 3);
  HWND r4 = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, "4", 60, 20, 4);
  HWND r5 = Make("BUTTON", BS_AUTORADIOBUTTON, "5", 60, 20, 5);
  for (HWND r : {r1, r2, r3, r4, r5})  // sibling order r1..r5, as a dialog lists them
    SetWindowPos(r, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  auto checks = [&] {
    std::string s;
    for (HWND r : {r1, r2, r3, r4, r5}) s += char('0' + SendMessageA(r, BM_GETCHECK, 0, 0));
    return s;
  };
  SendMessageA(r3, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(r4, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(r1, BM_CLICK, 0, 0);
  EXPECT_EQ(checks(), "10110");
  SendMessageA(r2, BM_CLICK, 0, 0);
  EXPECT_EQ(checks(), "01110");
  SendMessageA(r5, BM_CLICK, 0, 0);
  EXPECT_EQ(checks(), "01101");
  SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);  // setting the check directly touches no other button
  EXPECT_EQ(checks(), "11101");
  EXPECT_TRUE(GetWindowLongPtrA(r1, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrA(r4, GWL_STYLE) & WS_TABSTOP);
}

TEST_F(StdWnd, ButtonDialogCodesAndDefaultStyle) {
  struct Case {
    DWORD style;
    LRESULT code;
  } cases[] = {
      {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {BS_AUTOCHECKBOX, DLGC_BUTTON},
      {BS_GROUPBOX, DLGC_STATIC},
  };
  for (const Case& c : cases) {
    HWND b = Make("BUTTON", c.style, "b");
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), c.code) << c.style;
    DestroyWindow(b);
  }
  HWND b = Make("BUTTON", BS_PUSHBUTTON, "b");
  SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  EXPECT_TRUE(GetWindowLongPtrA(b, GWL_STYLE) & WS_VISIBLE);  // only the low word changes
}

// ---------------------------------------------------------------------------
// COMBOBOX

namespace {
std::vector<int> CodesOf(HWND h) {
  std::vector<int> r;
  for (const Note& n : Notes())
    if (n.from == h) r.push_back(n.code);
  return r;
}
}  // namespace

TEST_F(StdWnd, ComboDropDownListSelectsByMouse) {
  HWND cb = Make("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, "", 120, 200);
  for (const char* s : {"红", "绿", "蓝"}) SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(A(s).c_str()));
  RECT wr;
  GetWindowRect(cb, &wr);
  EXPECT_LT(wr.bottom - wr.top, 40);  // the window keeps the selection field's height
  RECT dr;
  SendMessageA(cb, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dr));
  EXPECT_EQ(dr.bottom - dr.top, 200);
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), CB_ERR);
  Notes().clear();
  hb->Click(wr.left + 10, wr.top + 5);  // opens the list
  PvProcessMessages();
  EXPECT_TRUE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(CodesOf(cb), std::vector<int>({CBN_SETFOCUS, CBN_DROPDOWN}));
  Notes().clear();
  hb->AdvanceClock(1000);
  hb->Click(wr.left + 10, wr.bottom + 1 + 14 + 5);  // the second item
  PvProcessMessages();
  EXPECT_FALSE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Text(cb), A("绿"));
  EXPECT_EQ(CodesOf(cb), std::vector<int>({CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
  // opened and cancelled with Escape: the selection stays
  Notes().clear();
  Key(VK_F4);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 2);
  Key(VK_ESCAPE);
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
  // closed: arrows select at once
  Notes().clear();
  Key(VK_DOWN);
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(CodesOf(cb), std::vector<int>({CBN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(cb, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("none")), CB_ERR);
}

TEST_F(StdWnd, ComboDropDownEditAndMessages) {
  HWND cb = Make("COMBOBOX", CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL, "", 120, 150);
  for (const char* s : {"beta", "Alpha", "gamma"}) SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  char buf[16] = {};
  SendMessageA(cb, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ(buf, "Alpha");
  EXPECT_EQ(SendMessageA(cb, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("GAMMA")), 2);
  EXPECT_EQ(SendMessageA(cb, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("be")), 1);
  EXPECT_EQ(Text(cb), "beta");
  HWND edit = GetDlgItem(cb, PV_COMBO_EDIT_ID);
  ASSERT_TRUE(edit);
  Notes().clear();
  SetFocus(cb);  // passes the focus to the edit and selects its text
  EXPECT_EQ(GetFocus(), edit);
  Type(edit, A("新"));
  EXPECT_EQ(Text(cb), A("新"));
  EXPECT_EQ(Count(cb, CBN_EDITCHANGE), 1);
  EXPECT_EQ(Count(cb, CBN_EDITUPDATE), 1);
  EXPECT_EQ(SendMessageA(cb, CB_GETEDITSEL, 0, 0), MAKELONG(2, 2));
  Key(VK_DOWN);  // arrows in the edit choose items
  EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(cb), "gamma");
  SendMessageA(cb, CB_SETCURSEL, WPARAM(-1), 0);
  EXPECT_EQ(Text(cb), "");
  SendMessageA(cb, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(cb, CB_GETCOUNT, 0, 0), 0);
}

// ---------------------------------------------------------------------------
// A small dialog of standard controls, painted on the headless screen. The
// picture is written where PV_SCREENSHOT_DIR points (for looking at it); the
// test checks a few classic details by pixel.

TEST_F(StdWnd, DialogPaintsClassicControls) {
  HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND dlg = CreateWindowExA(WS_EX_DLGMODALFRAME, "StdTestParent", A("设置").c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 200, 200, 360, 260, nullptr, nullptr,
                             nullptr, nullptr);
  auto make = [&](const char* cls, DWORD style, const char* text, int x, int y, int w, int h, DWORD ex = 0) {
    HWND c = CreateWindowExA(ex, cls, A(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg, nullptr,
                             nullptr, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(gui), 0);
    return c;
  };
  make("BUTTON", BS_GROUPBOX, "选项", 8, 4, 160, 84);
  HWND chk = make("BUTTON", BS_AUTOCHECKBOX, "自动保存(&S)", 16, 22, 140, 18);
  make("BUTTON", BS_AUTO3STATE, "显示行号", 16, 42, 140, 18);
  HWND r1 = make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, "横排", 16, 62, 60, 18);
  make("BUTTON", BS_AUTORADIOBUTTON, "竖排", 84, 62, 60, 18);
  HWND edit = make("EDIT", ES_AUTOHSCROLL, "第一章 开端", 176, 8, 168, 22, WS_EX_CLIENTEDGE);
  make("EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, "多行文字\r\nsecond line", 176, 36, 168, 52,
       WS_EX_CLIENTEDGE);
  HWND lb = make("LISTBOX", LBS_NOTIFY | WS_VSCROLL, "", 8, 96, 160, 84, WS_EX_CLIENTEDGE);
  for (const char* s : {"宋体", "黑体", "楷体", "仿宋", "Arial", "Courier New"})
    SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(A(s).c_str()));
  SendMessageA(lb, LB_SETCURSEL, 1, 0);
  HWND cb = make("COMBOBOX", CBS_DROPDOWNLIST, "", 176, 96, 168, 120);
  for (const char* s : {"小四", "五号", "小五"}) SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(A(s).c_str()));
  SendMessageA(cb, CB_SETCURSEL, 1, 0);
  HWND dd = make("COMBOBOX", CBS_DROPDOWN, "", 176, 126, 168, 120);
  SetWindowTextA(dd, "12");
  HWND ok = make("BUTTON", BS_DEFPUSHBUTTON, "确定", 176, 196, 80, 26);
  make("BUTTON", BS_PUSHBUTTON, "取消", 264, 196, 80, 26);
  HWND off = make("BUTTON", BS_PUSHBUTTON, "帮助", 8, 196, 80, 26);
  EnableWindow(off, FALSE);
  SendMessageA(chk, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, 6);
  UpdateWindow(dlg);
  PvProcessMessages();
  RECT wr;
  GetWindowRect(dlg, &wr);
  if (const char* dir = std::getenv("PV_SCREENSHOT_DIR")) hb->SaveScreenshot(std::string(dir) + "/stdwnd_dialog.png", &wr);

  auto px = [&](HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    return hb->ScreenPixel(p.x, p.y) & 0xFFFFFF;
  };
  auto rgb = [](int index) {
    COLORREF c = GetSysColor(index);
    return std::uint32_t((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
  };
  RECT r;
  GetClientRect(ok, &r);
  EXPECT_EQ(px(ok, 0, 0), 0u);                            // the default button's black frame
  EXPECT_EQ(px(ok, r.right / 2, 1), rgb(COLOR_BTNHIGHLIGHT));  // then the raised edge
  EXPECT_EQ(px(ok, r.right / 2, r.bottom - 2), rgb(COLOR_3DDKSHADOW));
  EXPECT_EQ(px(lb, 1, int(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0)) + 1), rgb(COLOR_HIGHLIGHT));  // item 1 selected
  // The focused edit shows its selection: the highlight fills the text's cell,
  // here its first column, left of the first hanzi's ink.
  EXPECT_EQ(px(edit, 1, 2), rgb(COLOR_HIGHLIGHT));
}
