// Program entry. The workbench itself is not built yet; until it is, the
// program shows a small demonstration window on the desktop: a tree view of a
// story, an edit box with Chinese text, buttons, a status panel and a main menu.
//
//   penvro                                  runs on the display named by DISPLAY
//   penvro --headless-screenshot FILE.png   builds the same window with no display,
//                                           saves its picture and ends
//
// When PENVARRO_EVENT_LOG names a file, the program appends to it (UTF-8) what the
// window received: button clicks, menu commands, and the edit box's text at the end.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include "platform/backend/desktop/desktop.h"
#include "platform/backend/headless/headless.h"
#include "platform/controls/commctrl.h"
#include "platform/controls/stdwnd.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace {

enum : int {
  kCmdExit = 100, kCmdCopy = 101, kCmdPaste = 102,
  kIdTree = 200, kIdEdit = 201, kIdCopy = 202, kIdPaste = 203, kIdExit = 204,
};
constexpr int kPanelHeight = 26;

HWND gFrame, gTree, gEdit;
HMENU gFileMenu;
AnsiString gStatus;

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

void Log(const std::string& utf8) {
  const char* path = std::getenv("PENVARRO_EVENT_LOG");
  if (!path || !*path) return;
  std::ofstream f(path, std::ios::app | std::ios::binary);
  f << utf8 << '\n';
}

AnsiString EditText() {
  int n = GetWindowTextLengthA(gEdit);
  std::string buf(std::size_t(n) + 1, '\0');
  GetWindowTextA(gEdit, buf.data(), n + 1);
  buf.resize(std::size_t(n));
  return buf;
}

void SetStatus(const AnsiString& text) {
  gStatus = text;
  RECT rc;
  GetClientRect(gFrame, &rc);
  rc.top = rc.bottom - kPanelHeight;
  InvalidateRect(gFrame, &rc, TRUE);
}

void Command(int id) {
  switch (id) {
    case kCmdCopy:
    case kIdCopy:
      SendMessageA(gEdit, EM_SETSEL, 0, -1);
      SendMessageA(gEdit, WM_COPY, 0, 0);
      Log("copy");
      SetStatus(A("已复制"));
      break;
    case kCmdPaste:
    case kIdPaste:
      SendMessageA(gEdit, EM_SETSEL, 0, -1);
      SendMessageA(gEdit, WM_PASTE, 0, 0);
      Log("paste");
      SetStatus(A("已粘贴"));
      break;
    case kCmdExit:
    case kIdExit:
      Log("exit");
      DestroyWindow(gFrame);
      break;
    default:
      break;
  }
}

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_COMMAND:
      Command(LOWORD(w));
      return 0;
    case WM_NCLBUTTONDOWN:
      // the window manager does not track the menu bar yet: its one item opens here
      if (w == HTMENU) {
        RECT r;
        GetWindowRect(h, &r);
        POINT client{0, 0};
        ClientToScreen(h, &client);
        TrackPopupMenu(gFileMenu, TPM_LEFTALIGN | TPM_TOPALIGN, r.left + GetSystemMetrics(SM_CXFRAME), client.y, 0, h,
                       nullptr);
        return 0;
      }
      return DefWindowProcA(h, m, w, l);
    case WM_SETFOCUS:
      if (gEdit) SetFocus(gEdit);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT rc;
      GetClientRect(h, &rc);
      FillRect(dc, &rc, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
      // the status panel along the bottom
      RECT panel{rc.left + 2, rc.bottom - kPanelHeight, rc.right - 2, rc.bottom - 2};
      DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT);
      SetBkMode(dc, TRANSPARENT);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      RECT text{panel.left + 6, panel.top, panel.right - 6, panel.bottom};
      DrawTextA(dc, gStatus.c_str(), int(gStatus.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_DESTROY:
      Log("edit=" + AnsiToUtf8(EditText()));
      gEdit = gTree = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(h, m, w, l);
  }
}

HTREEITEM AddNode(HTREEITEM parent, const char* utf8) {
  AnsiString text = A(utf8);
  TVINSERTSTRUCTA ins;
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = text.data();
  return reinterpret_cast<HTREEITEM>(SendMessageA(gTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

HWND Child(const char* cls, const char* utf8, DWORD style, DWORD exStyle, int x, int y, int w, int hgt, int id) {
  HWND c = CreateWindowExA(exStyle, cls, A(utf8).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, hgt, gFrame,
                           reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return c;
}

void CreateDemo() {
  RegisterStandardWindowClasses();
  InitCommonControls();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = FrameProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
  wc.lpszClassName = "PenvarroDemo";
  RegisterClassExA(&wc);

  HMENU bar = CreateMenu();
  HMENU file = gFileMenu = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kCmdCopy, A("复制(&C)").c_str());
  AppendMenuA(file, MF_STRING, kCmdPaste, A("粘贴(&P)").c_str());
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kCmdExit, A("退出(&X)").c_str());
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), A("文件(&F)").c_str());

  gFrame = CreateWindowExA(0, "PenvarroDemo", A("Penvarro 演示").c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100,
                           100, 560, 400, nullptr, bar, nullptr, nullptr);
  gTree = Child(WC_TREEVIEWA, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
                WS_EX_CLIENTEDGE, 8, 8, 180, 290, kIdTree);
  HTREEITEM vol = AddNode(TVI_ROOT, "第一卷");
  AddNode(vol, "第一章 初见");
  AddNode(vol, "第二章 节点");
  HTREEITEM people = AddNode(TVI_ROOT, "人物");
  AddNode(people, "李雷");
  AddNode(people, "韩梅梅");
  SendMessageA(gTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(vol));
  SendMessageA(gTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(people));

  gEdit = Child("EDIT", "你好，世界", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 200, 8, 336, 24, kIdEdit);
  Child("BUTTON", "复制", BS_PUSHBUTTON | WS_TABSTOP, 0, 200, 44, 80, 26, kIdCopy);
  Child("BUTTON", "粘贴", BS_PUSHBUTTON | WS_TABSTOP, 0, 288, 44, 80, 26, kIdPaste);
  Child("BUTTON", "退出", BS_PUSHBUTTON | WS_TABSTOP, 0, 456, 44, 80, 26, kIdExit);
  gStatus = A("就绪");
  ShowWindow(gFrame, SW_SHOW);
  UpdateWindow(gFrame);
  SetFocus(gEdit);
  SendMessageA(gEdit, EM_SETSEL, 0, 0);
}

int HeadlessScreenshot(const std::string& png) {
  HeadlessBackend& hb = HeadlessBackend::Install();
  CreateDemo();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  RECT r;
  GetWindowRect(gFrame, &r);
  hb.SaveScreenshot(png, &r);
  DestroyWindow(gFrame);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::strcmp(argv[1], "--headless-screenshot") == 0) return HeadlessScreenshot(argv[2]);
    if (argc != 1) {
      std::fprintf(stderr, "usage: %s [--headless-screenshot FILE.png]\n", argv[0]);
      return 2;
    }
    DesktopBackend::Install();
    CreateDemo();
    MSG m;
    int r;
    while ((r = GetMessageA(&m, nullptr, 0, 0)) > 0) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    return r < 0 ? 1 : int(m.wParam);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Penvarro: %s\n", e.what());
    return 1;
  }
}
