// The BUTTON window class: push and default push buttons, check boxes (plain,
// automatic, three-state), radio buttons (plain and automatic), group boxes
// and owner-drawn buttons, drawn in the classic look.
//
// A click is a press and release of the left button (or Space) inside the
// button. Automatic check boxes toggle (three-state ones cycle unchecked,
// checked, indeterminate); an automatic radio button checks itself and
// unchecks the automatic radio buttons of its group (the siblings between
// WS_GROUP marks). Then BN_CLICKED goes to the parent.
#include <algorithm>
#include "platform/controls/stdwnd_internal.h"

namespace pvstd {
namespace {

struct Button {
  HWND h = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false, focus = false, track = false, spaceDown = false;
  HFONT font = nullptr;
  HANDLE image = nullptr;
  DWORD Style() const { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
  DWORD Type() const { return Style() & BS_TYPEMASK; }
  bool IsCheck() const {
    DWORD t = Type();
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
  }
  bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
  bool IsPush() const { return Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON || Type() == BS_USERBUTTON; }
};

StateMap<Button>& States() {
  static StateMap<Button> m;
  return m;
}

std::string Caption(HWND h) {
  int n = GetWindowTextLengthA(h);
  std::string s(std::size_t(n) + 1, '\0');
  GetWindowTextA(h, s.data(), n + 1);
  s.resize(std::size_t(n));
  return s;
}

void Paint(Button* b, HDC dc) {
  HWND h = b->h;
  RECT c;
  GetClientRect(h, &c);
  DWORD type = b->Type(), st = b->Style();
  bool enabled = IsWindowEnabled(h);
  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (b->pushed ? ODS_SELECTED : 0) | (b->focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = c;
    if (HWND p = GetParent(h)) SendMessageA(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  bool push = b->IsPush() || ((st & BS_PUSHLIKE) && (b->IsCheck() || b->IsRadio()));
  HBRUSH bg = ControlColor(h, dc, push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
  if (!(b = States().Get(h))) return;
  HGDIOBJ oldFont = SelectObject(dc, FontOr(b->font));
  std::string text = Caption(h);
  if (push) {
    FillRect(dc, &c, bg ? bg : GetSysColorBrush(COLOR_BTNFACE));
    RECT r = c;
    bool def = type == BS_DEFPUSHBUTTON;
    if (def) {
      FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      r = Inflate(r, -1, -1);
    }
    bool down = b->pushed || (!b->IsPush() && b->check == BST_CHECKED);
    if (b->pushed && b->IsPush()) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    }
    RECT tr = Inflate(c, -4, -4);
    if (down) tr = Offset(tr, 1, 1);
    UINT h_align = (st & BS_CENTER) == BS_LEFT ? DT_LEFT : (st & BS_CENTER) == BS_RIGHT ? DT_RIGHT : DT_CENTER;
    UINT fmt = h_align | ((st & BS_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawLabel(dc, text, tr, fmt, enabled);
    if (b->focus) {
      RECT fr = Inflate(c, -4, -4);
      DrawFocusRect(dc, &fr);
    }
  } else if (type == BS_GROUPBOX) {
    // the inside is left alone: the group's controls show through
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    RECT frame = c;
    frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
      RECT tr = MakeRect(c.left + 8, c.top, c.right - 8, c.top + tm.tmHeight);
      RECT calc = tr;
      DrawTextA(dc, text.c_str(), int(text.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
      RECT gap = MakeRect(tr.left - 2, tr.top, std::min(tr.right, calc.right + 2), tr.bottom);
      FillRect(dc, &gap, bg ? bg : GetSysColorBrush(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawLabel(dc, text, tr, DT_LEFT | DT_SINGLELINE, enabled);
    }
  } else {
    // check box or radio button: a 13 x 13 glyph and the caption beside it
    FillRect(dc, &c, bg ? bg : GetSysColorBrush(COLOR_BTNFACE));
    const int box = 13;
    bool leftText = (st & BS_LEFTTEXT) != 0;
    int y = (c.bottom - box) / 2;
    RECT g = leftText ? MakeRect(c.right - box, y, c.right, y + box) : MakeRect(0, y, box, y + box);
    UINT state = b->IsRadio() ? DFCS_BUTTONRADIO : (type == BS_3STATE || type == BS_AUTO3STATE) && b->check == BST_INDETERMINATE
                                                       ? DFCS_BUTTON3STATE | DFCS_CHECKED
                                                       : DFCS_BUTTONCHECK;
    if (b->check == BST_CHECKED) state |= DFCS_CHECKED;
    if (b->pushed) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &g, DFC_BUTTON, state);
    RECT tr = leftText ? MakeRect(0, c.top, c.right - box - 4, c.bottom) : MakeRect(box + 4, c.top, c.right, c.bottom);
    UINT fmt = ((st & BS_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER)) | (leftText ? DT_RIGHT : DT_LEFT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawLabel(dc, text, tr, fmt, enabled);
    if (b->focus && !text.empty()) {
      RECT calc = tr;
      DrawTextA(dc, text.c_str(), int(text.size()), &calc, (fmt & ~DT_VCENTER) | DT_CALCRECT);
      int th = calc.bottom - calc.top;
      RECT fr = MakeRect(calc.left - 1, (c.bottom - th) / 2 - 1, std::min<int>(calc.right + 1, c.right),
                         (c.bottom - th) / 2 + th + 1);
      if (leftText) fr = MakeRect(tr.right - (calc.right - calc.left) - 1, fr.top, tr.right + 1, fr.bottom);
      DrawFocusRect(dc, &fr);
    }
  }
  SelectObject(dc, oldFont);
}

void Redraw(Button* b) { InvalidateRect(b->h, nullptr, FALSE); }

void SetPushed(Button* b, bool on) {
  if (b->pushed == on) return;
  b->pushed = on;
  Redraw(b);
}

// Unchecks the automatic radio buttons of h's group.
void UncheckGroup(HWND h) {
  HWND parent = GetParent(h);
  if (!parent) return;
  // the group runs from the last sibling at or before h with WS_GROUP to the next one with WS_GROUP
  std::vector<HWND> sibs;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) sibs.push_back(c);
  auto it = std::find(sibs.begin(), sibs.end(), h);
  if (it == sibs.end()) return;
  std::size_t i = std::size_t(it - sibs.begin()), start = i;
  while (start > 0 && !(GetWindowLongPtrA(sibs[start], GWL_STYLE) & WS_GROUP)) --start;
  std::size_t end = i + 1;
  while (end < sibs.size() && !(GetWindowLongPtrA(sibs[end], GWL_STYLE) & WS_GROUP)) ++end;
  for (std::size_t k = start; k < end; ++k) {
    HWND s = sibs[k];
    if (s == h || !IsWindow(s)) continue;
    // a button window of any class name (wrapped controls register their own)
    if (!States().Get(s) || (GetWindowLongPtrA(s, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON) continue;
    SendMessageA(s, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Click(HWND h) {
  Button* b = States().Get(h);
  if (!b) return;
  switch (b->Type()) {
    case BS_AUTOCHECKBOX: SendMessageA(h, BM_SETCHECK, b->check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case BS_AUTO3STATE:
      SendMessageA(h, BM_SETCHECK, b->check == BST_UNCHECKED ? BST_CHECKED
                                   : b->check == BST_CHECKED ? BST_INDETERMINATE
                                                             : BST_UNCHECKED,
                   0);
      break;
    case BS_AUTORADIOBUTTON:
      UncheckGroup(h);
      if (IsWindow(h)) SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
      break;
  }
  if (IsWindow(h)) NotifyParent(h, BN_CLICKED);
}

}  // namespace

LRESULT ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Button* b = States().Get(h);
  if (!b) {
    if (msg == WM_NCCREATE) {
      b = States().Make(h);
      b->h = h;
    }
    return DefWindowProcA(h, msg, wp, lp);
  }
  LRESULT drawn = 0;
  if (SelfDrawnMessage(
          h, msg, wp, lp, b, [&](HDC dc) { Paint(b, dc); },
          [&] {
            if ((b = States().Get(h))) Redraw(b);  // a handler may have destroyed the window
          },
          drawn))
    return drawn;
  switch (msg) {
    case WM_NCDESTROY:
      States().Drop(h);
      return DefWindowProcA(h, msg, wp, lp);
    case WM_ENABLE: Redraw(b); return 0;
    case WM_GETDLGCODE: {
      switch (b->Type()) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
        case BS_USERBUTTON:
        case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    }
    case WM_SETFOCUS:
      b->focus = true;
      Redraw(b);
      if (b->Style() & BS_NOTIFY) NotifyParent(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      b->focus = false;
      b->spaceDown = false;
      if (b->track || b->pushed) {
        b->track = false;
        SetPushed(b, false);
        if (GetCapture() == h) ReleaseCapture();
      }
      Redraw(b);
      if ((b = States().Get(h)) && (b->Style() & BS_NOTIFY)) NotifyParent(h, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (b->IsRadio() || b->Type() == BS_OWNERDRAW || (b->Style() & BS_NOTIFY)) {
        NotifyParent(h, BN_DOUBLECLICKED);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (b->Type() == BS_GROUPBOX) return 0;
      if (GetFocus() != h) SetFocus(h);
      if (!(b = States().Get(h))) return 0;
      b->track = true;
      SetCapture(h);
      SetPushed(b, true);
      return 0;
    case WM_MOUSEMOVE:
      if (b->track) {
        RECT c;
        GetClientRect(h, &c);
        SetPushed(b, Inside(c, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      }
      return 0;
    case WM_LBUTTONUP:
      if (b->track) {
        b->track = false;
        RECT c;
        GetClientRect(h, &c);
        bool inside = Inside(c, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        SetPushed(b, false);
        if (GetCapture() == h) ReleaseCapture();
        if (inside) Click(h);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (b->track) {
        b->track = false;
        SetPushed(b, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && b->Type() != BS_GROUPBOX) {
        b->spaceDown = true;
        SetPushed(b, true);
      }
      return 0;
    case WM_KEYUP:
      if (wp == VK_SPACE && b->spaceDown) {
        b->spaceDown = false;
        SetPushed(b, false);
        Click(h);
      }
      return 0;
    case WM_CHAR: return 0;
    case WM_SYSKEYUP:
      return DefWindowProcA(h, msg, wp, lp);
    case BM_GETCHECK: return (b->IsCheck() || b->IsRadio()) ? LRESULT(b->check) : 0;
    case BM_SETCHECK: {
      if (!b->IsCheck() && !b->IsRadio()) return 0;
      UINT v = UINT(wp);
      DWORD t = b->Type();
      if (v == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) v = BST_CHECKED;
      if (v > BST_INDETERMINATE) v = BST_CHECKED;
      if (b->check != v) {
        b->check = v;
        Redraw(b);
      }
      if (b->IsRadio()) {  // the checked radio button is the one tabbing stops at
        LONG_PTR st = GetWindowLongPtrA(h, GWL_STYLE);
        SetWindowLongPtrA(h, GWL_STYLE, v == BST_CHECKED ? (st | WS_TABSTOP) : (st & ~LONG_PTR(WS_TABSTOP)));
      }
      return 0;
    }
    case BM_GETSTATE:
      return LRESULT(((b->IsCheck() || b->IsRadio()) ? b->check : 0) | (b->pushed ? BST_PUSHED : 0) |
                     (b->focus ? BST_FOCUS : 0));
    case BM_SETSTATE:
      SetPushed(b, wp != 0);
      if (b->Type() == BS_USERBUTTON || b->Type() == BS_OWNERDRAW) NotifyParent(h, wp ? BN_HILITE : BN_UNHILITE);
      return 0;
    case BM_SETSTYLE: {
      LONG_PTR st = GetWindowLongPtrA(h, GWL_STYLE);
      SetWindowLongPtrA(h, GWL_STYLE, (st & ~LONG_PTR(0xFFFF)) | LONG_PTR(wp & 0xFFFF));
      if (lp && (b = States().Get(h))) Redraw(b);
      return 0;
    }
    case BM_CLICK: {
      if (!IsWindowEnabled(h)) return 0;
      SetPushed(b, true);
      SetPushed(b, false);
      Click(h);
      return 0;
    }
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(b->image);
    case BM_SETIMAGE: {
      HANDLE old = b->image;
      b->image = reinterpret_cast<HANDLE>(lp);
      Redraw(b);
      return reinterpret_cast<LRESULT>(old);
    }
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pvstd
