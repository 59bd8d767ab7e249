// Item hints: one shared hint window under the cursor, shown a second after
// the mouse settles on an item, at once when another item follows within
// 400 ms of the last hint going, and hidden after ten seconds.
#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/menus.h"
#include "platform/win/system.h"

namespace {

constexpr UINT kHintsShowDelay = 1000, kHintsHideDelay = 10000, kHintsGrace = 400;

struct THintsState {
  TkxBarHintWindow* Window = nullptr;
  bool Requested = false, Shown = false;
  AnsiString Pending;
  TkxBarManager* Manager = nullptr;
  UINT_PTR Timer = 0, GraceTimer = 0;
  bool Grace = false;
  bool TimerShows = false;  // the running timer shows (else it hides)
};

THintsState& HintsState() {
  static THintsState s;
  return s;
}

bool HintsManagerAlive(TkxBarManager* M) {
  for (int i = 0; i < kxBarManagerCount(); ++i)
    if (kxBarGetManager(i) == M) return true;
  return false;
}

void HintsTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  THintsState& s = HintsState();
  bool shows = s.TimerShows;
  kxBarKillHintTimer();
  TkxBarManager* m = s.Manager;
  if (!m || !HintsManagerAlive(m) || m->IsDestroying()) return;
  if (shows) m->ShowHintNow();
  else m->ShowHint(false, AnsiString());
}

void HintsGraceProc(HWND, UINT, UINT_PTR, DWORD) {
  kxBarKillHintGraceTimer();
  HintsState().Grace = false;
}

void HintsHide() {
  THintsState& s = HintsState();
  if (s.Window && s.Window->HandleAllocated() && IsWindowVisible(s.Window->Handle()))
    ShowWindow(s.Window->Handle(), SW_HIDE);
}

bool HintsWindowVisible() {
  THintsState& s = HintsState();
  return s.Window && s.Window->HandleAllocated() && IsWindowVisible(s.Window->Handle());
}

// The selected control of a manager when its bar window is not in keyboard menu mode.
TkxBarItemControl* HintsSelected(TkxBarManager* M) {
  TkxBarItemControl* c = M->SelectedItem();
  if (!c || !c->Parent()) return nullptr;
  if (c->Parent() == M->BarInMenuMode()) return nullptr;
  return c;
}

}  // namespace

TkxBarHintWindow* kxBarHintWindow() { return HintsState().Window; }

void kxBarCreateHintWindow() {
  THintsState& s = HintsState();
  if (!s.Window) s.Window = new TkxBarHintWindow(nullptr);
}

void kxBarFreeHintWindow() {
  THintsState& s = HintsState();
  kxBarKillHintTimer();
  kxBarKillHintGraceTimer();
  s.Grace = s.Requested = s.Shown = false;
  s.Manager = nullptr;
  if (s.Window) {
    TkxBarHintWindow* w = s.Window;
    s.Window = nullptr;
    w->Free();
  }
}

void kxBarHintManagerGone(TkxBarManager* Manager) {
  THintsState& s = HintsState();
  if (s.Manager != Manager) return;
  kxBarKillHintTimer();
  kxBarKillHintGraceTimer();
  s.Grace = s.Requested = s.Shown = false;
  s.Manager = nullptr;
  HintsHide();
}

void kxBarKillHintTimer() {
  THintsState& s = HintsState();
  if (s.Timer) KillTimer(nullptr, s.Timer);
  s.Timer = 0;
}

void kxBarKillHintGraceTimer() {
  THintsState& s = HintsState();
  if (s.GraceTimer) KillTimer(nullptr, s.GraceTimer);
  s.GraceTimer = 0;
}

// ===========================================================================
// TkxBarHintWindow
// ===========================================================================

TkxBarHintWindow::TkxBarHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  SetColor(TColor(GetSysColor(COLOR_INFOBK)));
  SetParentColor(false);
}

void TkxBarHintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_DISABLED;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TkxBarHintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TkxBarHintWindow::Paint() {
  TRect r = ClientRect();
  HDC dc = Canvas()->Handle();
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
  r.left += 2;
  r.top += 2;
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, FText.c_str(), int(FText.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
}

void TkxBarHintWindow::ActivateHint(TPoint P, const AnsiString& Text, TkxBarManager* Manager) {
  FText = Text;
  SetColor(Application ? Application->HintColor() : TColor(GetSysColor(COLOR_INFOBK)));
  TFont* font = Canvas()->Font();
  if (Manager && Manager->UseSystemFont()) {
    NONCLIENTMETRICSA ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) font->SetHandle(CreateFontIndirectA(&ncm.lfStatusFont));
    else font->SetSize(8);
  } else if (Manager) {
    font->Assign(Manager->Font());
  }
  if (Screen) font->SetColor(Screen->HintFont()->Color());
  TRect work = kxBarGetWorkArea(P);
  RECT m{0, 0, work.Width(), 0};
  HDC dc = Canvas()->Handle();
  DrawTextA(dc, FText.c_str(), int(FText.size()), &m, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  int w = m.right - m.left + 6, h = m.bottom - m.top + 6;
  TRect r{P.x, P.y, P.x + w, P.y + h};
  if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
  if (r.bottom > work.bottom) OffsetRect(&r, 0, P.y - h - 20 - r.top);
  if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
  if (r.top < work.top) OffsetRect(&r, 0, work.top - r.top);
  SetBounds(r.left, r.top, w, h);
  Invalidate();
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(Handle());
}

// ===========================================================================
// the manager's hint timing
// ===========================================================================

void TkxBarManager::ShowHint(bool Show, const AnsiString& Text) {
  if (FIsCustomizing || FDesigning || !FShowHint) return;
  THintsState& s = HintsState();
  if (!Show && !s.Requested) return;
  s.Requested = Show;
  s.Pending = Text;
  s.Shown = false;
  kxBarKillHintTimer();
  if (Show && (HintsSelected(this) || !Text.empty())) {
    if (HintsWindowVisible() || s.Grace) {
      ShowHintNow();
      return;
    }
    s.Manager = this;
    s.TimerShows = true;
    s.Timer = SetTimer(nullptr, 0, kHintsShowDelay, HintsTimerProc);
    return;
  }
  if (HintsWindowVisible()) {
    HintsHide();
    if (Show) {
      kxBarKillHintGraceTimer();
      s.Grace = true;
      s.GraceTimer = SetTimer(nullptr, 0, kHintsGrace, HintsGraceProc);
    }
  }
}

void TkxBarManager::ShowHintNow() {
  THintsState& s = HintsState();
  TkxBarItemControl* c = HintsSelected(this);
  if (!c && s.Pending.empty()) return;
  POINT cursor;
  GetCursorPos(&cursor);
  if (s.Pending.empty()) {
    TCustomkxBarControl* bar = c->Parent();
    TPoint p = bar->ScreenToClient(TPoint{cursor.x, cursor.y});
    TRect client = bar->ClientRect();
    if (!PtInRect(&client, p) || bar->ItemAtPos(p) != c) return;
  }
  TPoint at{cursor.x, cursor.y + 20};
  AnsiString text = s.Pending;
  bool show = !text.empty();
  if (text.empty() && c && c->Item()) {
    text = GetShortHint(c->Item()->Hint());
    if (auto* a = dynamic_cast<TCustomAction*>(c->Item()->Action()); a && !a->DoHint(text)) {
      HintsHide();
      return;
    }
    show = !text.empty() && (c->IsEnabled() || FShowHintForDisabledItems);
    if (show && FShowShortCutInHint)
      if (TShortCut sc = c->GetShortCut()) text += " (" + ShortCutToText(sc) + ")";
  }
  if (!show || !s.Window) {
    HintsHide();
    return;
  }
  s.Window->ActivateHint(at, text, this);
  s.Shown = true;
  s.Manager = this;
  s.TimerShows = false;
  kxBarKillHintTimer();
  s.Timer = SetTimer(nullptr, 0, kHintsHideDelay, HintsTimerProc);
}
