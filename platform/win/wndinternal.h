// The window manager's internal state: window objects, the handle table, the queue.
// Only the window manager's own sources include this header.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>
#include "platform/backend/backend.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/winuser.h"

struct TopSurface;  // a top-level window's image (paint.cpp)

namespace pvwin {

struct WndClass {
  std::string name;  // as registered
  std::string key;   // lower case, for lookup
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0, wndExtra = 0;
  HINSTANCE inst = nullptr;
  HICON icon = nullptr, iconSm = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH brush = nullptr;
  std::string menuName;
  ATOM atom = 0;
  bool system = false;
  std::vector<std::uint8_t> extra;
};

struct ScrollBarState {
  int min = 0, max = 100, page = 0, pos = 0, trackPos = 0;
  UINT arrows = 0;  // ESB_* disable flags
  bool tracking = false;
  bool disabledNoScroll = false;  // disabled by SIF_DISABLENOSCROLL, not by EnableScrollBar
};

struct Wnd {
  HWND h = nullptr;
  WndClass* cls = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0, exStyle = 0;
  LONG_PTR id = 0, userData = 0;
  HINSTANCE inst = nullptr;
  std::string text;
  Wnd* parent = nullptr;  // the desktop for top-level windows
  Wnd* owner = nullptr;
  // Children in z-order: first is topmost; `next` is the sibling below.
  Wnd* firstChild = nullptr;
  Wnd* lastChild = nullptr;
  Wnd* next = nullptr;
  Wnd* prev = nullptr;
  RECT rect;    // window rectangle in the parent's client coordinates
  RECT client;  // client rectangle in the parent's client coordinates
  std::vector<std::uint8_t> extra;
  std::vector<std::pair<std::string, HANDLE>> props;
  HWND lastFocus = nullptr;  // restored when the top-level window is activated again
  HMENU menu = nullptr;
  HMENU sysMenu = nullptr;
  ScrollBarState hs, vs;
  RECT normalRect;  // restored position of a minimised or maximised window
  bool hasNormalRect = false;
  bool restoreMaximized = false;  // a top-level window minimised from maximised goes back to it
  bool needSizeMove = false;  // WM_SIZE/WM_MOVE still owed (top-level windows before first show)
  bool destroying = false;
  bool dead = false;
  bool acceptFiles = false;
  bool redrawOff = false;  // WM_SETREDRAW FALSE
  bool ncActive = false;   // the caption is drawn active (WM_NCACTIVATE)
  bool hiddenByOwner = false;  // hidden while its owner is minimised
  bool scrollControl = false;  // served by the SCROLLBAR class procedure (also when subclassed)
  // painting
  HRGN update = nullptr;  // client-relative update region; null when empty
  bool needErase = false;
  bool needNcPaint = false;
  bool internalPaint = false;
  bool inPaintList = false;
  bool caretHiddenForPaint = false;
  HRGN windowRgn = nullptr;  // window-relative shape, owned
  BYTE layeredAlpha = 255;
  COLORREF layeredKey = 0;
  DWORD layeredFlags = 0;
  bool perPixelAlpha = false;
  // the picture came from UpdateLayeredWindow: painting no longer reaches the screen
  bool layeredPicture = false;
  TopSurface* surface = nullptr;  // top-level windows only
  HDC ownDC = nullptr;         // CS_OWNDC
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  DWORD due = 0;
  bool system = false;    // the window manager's own: never seen as WM_TIMER
  bool cosmetic = false;  // only for looks (caret blinking): no reason to wait for it
};

struct Hook {
  int type = 0;
  HOOKPROC proc = nullptr;
  HHOOK h = nullptr;
  bool removed = false;
};

struct PendingInput {
  BackendInput in;
  DWORD time = 0;
};

struct MouseTrack {
  HWND hwnd = nullptr;
  DWORD flags = 0;
  DWORD hoverTime = 400;
  DWORD hoverStart = 0;
  POINT hoverPt;
  bool hoverArmed = false;
};

class Sink : public IBackendSink {
 public:
  void Input(const BackendInput& in) override;
};

struct State {
  // handle table
  struct Slot {
    Wnd* w = nullptr;
    std::uint32_t gen = 0;
  };
  std::vector<Slot> slots;
  std::vector<std::uint32_t> freeSlots;
  std::vector<Wnd*> graveyard;
  Wnd* desktop = nullptr;
  std::vector<WndClass*> classes;
  ATOM nextAtom = 0xC000;
  // queue
  std::deque<MSG> posted;
  std::deque<PendingInput> input;
  std::deque<MSG> cooked;  // messages made from one input event, delivered before new input
  bool quitPosted = false;
  int quitCode = 0;
  DWORD msgTime = 0;
  POINT msgPos;
  int sendDepth = 0;
  int dispatchDepth = 0;
  std::vector<Timer> timers;
  UINT_PTR nextTimerId = 0x7FF0;
  std::vector<Hook*> hooks[16];
  int hookCallDepth = 0;
  bool hooksRemoved = false;  // some hook is marked removed and still listed
  std::uint32_t nextHookId = 1;
  std::vector<std::string> registeredMessages;
  // input state
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  bool appActive = false;
  BYTE keys[256] = {};
  BYTE asyncKeys[256] = {};
  POINT cursor{0, 0};
  RECT cursorClip{0, 0, 0, 0};
  bool cursorClipped = false;
  HCURSOR cursorShape = nullptr;
  int cursorShowCount = 0;
  HWND mouseWindow = nullptr;  // window under the cursor at the last mouse message
  UINT dblClickTime = 500;
  bool swapButtons = false;
  struct {
    HWND hwnd = nullptr;
    UINT msg = 0;
    DWORD time = 0;
    POINT pt;
    bool valid = false;
  } lastClick;
  MouseTrack track;
  std::string lastKeyText;  // CP936 text of the key down being translated
  bool imeComposing = false;
  unsigned lastKeyDown = 0;  // the last key pressed (Alt alone enters menu mode)
  int beeps = 0;
  Sink sink;
  IBackend* backend = nullptr;
  int paintCount = 0;  // windows waiting for WM_PAINT
  HWND lockedWindow = nullptr;  // LockWindowUpdate
};

State& S();

// Handle lookup: null for stale handles, O(1).
inline Wnd* W(HWND h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  std::uint32_t index = std::uint32_t(v & 0xFFFFFFFFu) - 16u;
  State& s = S();
  if (index >= s.slots.size()) return nullptr;
  const State::Slot& slot = s.slots[index];
  if (slot.gen != std::uint32_t(v >> 32) || !slot.w) return nullptr;
  return slot.w;
}
HWND AllocHandle(Wnd* w);
void FreeHandle(HWND h);

// coordinates
POINT ClientOrigin(Wnd* w);  // screen position of the client area's top-left
RECT ScreenRect(Wnd* w);     // window rectangle in screen coordinates
RECT ScreenClient(Wnd* w);
bool IsTopLevel(Wnd* w);
Wnd* TopLevelOf(Wnd* w);
bool IsDescendant(Wnd* ancestor, Wnd* w);
bool IsReallyVisible(Wnd* w);
// WM_PARENTNOTIFY up the parent chain of `child`: WM_CREATE, WM_DESTROY or a
// button press (WM_LBUTTONDOWN ...) at the screen point `screenPt`.
void SendParentNotify(HWND child, UINT event, POINT screenPt);

// z-order lists
void Unlink(Wnd* w);
void LinkAfter(Wnd* parent, Wnd* w, Wnd* after);  // after == nullptr: first (topmost)
void LinkLast(Wnd* parent, Wnd* w);

// window positions
BOOL SetWindowPosImpl(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags);
bool ActivateWindow(HWND h, int how, bool moveToTop);
void ActivateOtherWindow(HWND hiding);
void ReleaseCaptureImpl(bool notify);

// non-client metrics
RECT NcBorders(DWORD style, DWORD exStyle, bool hasMenu, bool topLevel);
void DefaultNcCalcSize(Wnd* w, RECT* r);
int DefaultHitTest(Wnd* w, POINT screen);

}  // namespace pvwin
#include "platform/win/system.h"
namespace pvwin {
CaptionLayout GetCaptionLayout(Wnd* w);

// painting hooks from the positioning and destruction paths
void InvalidateForGeometry(Wnd* w, const RECT& oldRect, const RECT& oldClient, UINT flags, bool wasVisible);
void PaintWindowNow(HWND h);  // synchronous non-client paint and erase (top-level show and size)
void PaintFreeWindow(Wnd* w);
void PaintTopLevelChanged(Wnd* w);
void PaintZOrderChanged();

// timers
void RemoveTimersOf(HWND h);
DWORD Now();

// hooks
bool HooksInstalled(int type);
LRESULT CallHooks(int type, int code, WPARAM w, LPARAM l);

// message helpers
inline LRESULT Send(HWND h, UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(h, m, w, l); }
void PostMsg(HWND h, UINT m, WPARAM w, LPARAM l);
void PurgeQueueOf(HWND h);

// caret, IME, scroll bars
void CaretWindowDestroyed(HWND h);
void ImeSetResult(const std::string& cp936);
void ImeSetComposition(const std::string& cp936);
// Cooked input-method messages carrying their string (WM_IME_COMPOSITION underneath).
constexpr UINT kImeResultMarker = WM_IME_COMPOSITION | 0x80000000u;
constexpr UINT kImeCompMarker = WM_IME_COMPOSITION | 0x40000000u;
void ScrollNcPaint(Wnd* w, HDC dc);
int ScrollHitTest(Wnd* w, POINT screen);
bool ScrollTrackClick(Wnd* w, int hit, POINT screen);

// backend notifications for top-level windows
void BackendCreated(Wnd* w);
void BackendDestroyed(Wnd* w);
void BackendGeometry(Wnd* w);
void BackendVisibility(Wnd* w);
void BackendRestack(Wnd* w);
void BackendTitle(Wnd* w);

// elsewhere in the window manager
bool MdiChildIsActive(Wnd* w);                                     // mdi.cpp
bool IsMdiClient(HWND h);
void MdiDefaultPosition(HWND client, int* x, int* y, int* cx, int* cy);
void MdiChildCreated(HWND child);
void DrawMenuBar(Wnd* w, HDC dc, RECT r);                          // menu.cpp
void RegisterLayeredEntries(std::map<std::string, void*>& e);      // paint.cpp
void ResetCaret();                                                 // caret.cpp
HANDLE MakeDropHandle(const std::string& utf8Lines, POINT screen, HWND target);  // system.cpp
bool TrayCallback(unsigned id, HWND* h, UINT* msg);                              // system.cpp

// conversions
std::string Cp936ToUtf8(const std::string& s);
std::string Utf8ToCp936(const std::string& s);
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
std::string Lower(const std::string& s);

}  // namespace pvwin
