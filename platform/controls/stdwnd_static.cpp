// The STATIC window class: text (left, centred, right, simple, no word wrap),
// icons and bitmaps (STM_SETIMAGE/STM_SETICON), filled and framed rectangles
// and etched lines, drawn in the classic look.
//
// The parent chooses the text colour and background through WM_CTLCOLORSTATIC.
// Without SS_NOTIFY the control is transparent to the mouse (HTTRANSPARENT);
// with it, clicks and double clicks reach the parent as STN_CLICKED/STN_DBLCLK
// and enabling or disabling as STN_ENABLE/STN_DISABLE.
#include <algorithm>
#include <cstdlib>
#include "platform/controls/stdwnd_internal.h"

namespace pvstd {

namespace {

struct Static {
  HWND h = nullptr;
  HFONT font = nullptr;
  HANDLE image = nullptr;  // HICON for SS_ICON, HBITMAP for SS_BITMAP; not owned
  DWORD Style() const { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
  DWORD Type() const { return Style() & SS_TYPEMASK; }
  bool IsText() const {
    DWORD t = Type();
    return t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT || t == SS_SIMPLE || t == SS_LEFTNOWORDWRAP;
  }
};

StateMap<Static>& States() {
  static StateMap<Static> m;
  return m;
}

std::string Caption(HWND h) {
  int n = GetWindowTextLengthA(h);
  std::string s(std::size_t(n) + 1, '\0');
  GetWindowTextA(h, s.data(), n + 1);
  s.resize(std::size_t(n));
  return s;
}

// The natural size of the image (0x0 when there is none).
SIZE ImageSize(DWORD type, HANDLE image) {
  SIZE sz{0, 0};
  if (!image) return sz;
  if (type == SS_BITMAP) {
    BITMAP bm;
    if (GetObjectA(static_cast<HGDIOBJ>(image), sizeof bm, &bm)) sz = {bm.bmWidth, std::abs(bm.bmHeight)};
  } else {
    ICONINFO ii;
    if (GetIconInfo(static_cast<HICON>(image), &ii)) {
      BITMAP bm;
      HBITMAP b = ii.hbmColor ? ii.hbmColor : ii.hbmMask;
      if (b && GetObjectA(b, sizeof bm, &bm)) sz = {bm.bmWidth, ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
  }
  return sz;
}

void Redraw(Static* s) { InvalidateRect(s->h, nullptr, TRUE); }

// A new image: the control takes the image's size unless told to keep its own.
HANDLE SetImage(Static* s, HANDLE image) {
  HANDLE old = s->image;
  s->image = image;
  DWORD st = s->Style();
  SIZE sz = ImageSize(s->Type(), image);
  if (image && !(st & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) && sz.cx > 0 && sz.cy > 0) {
    RECT wr, cr;
    GetWindowRect(s->h, &wr);
    GetClientRect(s->h, &cr);
    int ncx = (wr.right - wr.left) - cr.right, ncy = (wr.bottom - wr.top) - cr.bottom;
    SetWindowPos(s->h, nullptr, 0, 0, sz.cx + ncx, sz.cy + ncy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((s = States().Get(s->h))) Redraw(s);
  return old;
}

void PaintImage(Static* s, HDC dc, const RECT& c) {
  DWORD type = s->Type(), st = s->Style();
  SIZE sz = ImageSize(type, s->image);
  int x = 0, y = 0, w = sz.cx, hgt = sz.cy;
  if (st & SS_CENTERIMAGE) {
    x = (c.right - sz.cx) / 2;
    y = (c.bottom - sz.cy) / 2;
  } else if (st & SS_RIGHTJUST) {
    x = c.right - sz.cx;
  }
  if (type == SS_BITMAP) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, static_cast<HGDIOBJ>(s->image));
    BitBlt(dc, x, y, w, hgt, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    DrawIconEx(dc, x, y, static_cast<HICON>(s->image), w, hgt, 0, nullptr, DI_NORMAL);
  }
}

void Paint(Static* s, HDC dc) {
  HWND h = s->h;
  RECT c;
  GetClientRect(h, &c);
  DWORD type = s->Type(), st = s->Style();
  switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: {
      int colour = (type == SS_BLACKRECT || type == SS_BLACKFRAME)  ? COLOR_3DDKSHADOW
                   : (type == SS_GRAYRECT || type == SS_GRAYFRAME) ? COLOR_3DSHADOW
                                                                   : COLOR_3DHILIGHT;
      if (type <= SS_WHITERECT) FillRect(dc, &c, GetSysColorBrush(colour));
      else FrameRect(dc, &c, GetSysColorBrush(colour));
      return;
    }
    case SS_OWNERDRAW: {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_STATIC;
      dis.CtlID = UINT(GetDlgCtrlID(h));
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = c;
      if (HWND p = GetParent(h)) SendMessageA(p, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      return;
    }
    default: break;
  }
  HBRUSH bg = ControlColor(h, dc, WM_CTLCOLORSTATIC);
  if (!(s = States().Get(h))) return;
  FillRect(dc, &c, bg ? bg : GetSysColorBrush(COLOR_BTNFACE));
  switch (type) {
    case SS_ETCHEDHORZ: {
      RECT r = c;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
      return;
    }
    case SS_ETCHEDVERT: {
      RECT r = c;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
      return;
    }
    case SS_ETCHEDFRAME: {
      RECT r = c;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
      return;
    }
    case SS_ICON:
    case SS_BITMAP:
      if (s->image) PaintImage(s, dc, c);
      return;
    default: break;
  }
  if (!s->IsText()) return;
  std::string text = Caption(h);
  if (text.empty()) return;
  UINT format = DT_EXPANDTABS;
  if (type == SS_CENTER) format |= DT_CENTER | DT_WORDBREAK;
  else if (type == SS_RIGHT) format |= DT_RIGHT | DT_WORDBREAK;
  else if (type == SS_LEFT) format |= DT_LEFT | DT_WORDBREAK;
  else format |= DT_LEFT | DT_SINGLELINE;  // simple and no-word-wrap: one line, clipped
  if (st & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (st & SS_CENTERIMAGE) format = (format & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
  switch (st & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format = (format & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: format = (format & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: format = (format & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_WORD_ELLIPSIS; break;
    default: break;
  }
  HGDIOBJ oldFont = SelectObject(dc, FontOr(s->font));
  DrawLabel(dc, text, c, format, IsWindowEnabled(h) != FALSE);
  SelectObject(dc, oldFont);
}

}  // namespace

LRESULT StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Static* s = States().Get(h);
  if (!s) {
    if (msg == WM_NCCREATE) {
      s = States().Make(h);
      s->h = h;
      // A sunken static control gets the thin static edge around it.
      if (s->Style() & SS_SUNKEN)
        SetWindowLongPtrA(h, GWL_EXSTYLE, GetWindowLongPtrA(h, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    }
    return DefWindowProcA(h, msg, wp, lp);
  }
  LRESULT drawn = 0;
  if (SelfDrawnMessage(
          h, msg, wp, lp, s, [&](HDC dc) { Paint(s, dc); },
          [&] {
            if ((s = States().Get(h))) Redraw(s);  // a handler may have destroyed the window
          },
          drawn))
    return drawn;
  switch (msg) {
    case WM_NCDESTROY:
      States().Drop(h);
      return DefWindowProcA(h, msg, wp, lp);
    case WM_NCHITTEST:
      // Only a notifying control takes the mouse; others let it through to the window below.
      return (s->Style() & SS_NOTIFY) ? DefWindowProcA(h, msg, wp, lp) : LRESULT(HTTRANSPARENT);
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ENABLE:
      Redraw(s);
      if (s->Style() & SS_NOTIFY) NotifyParent(h, wp ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_LBUTTONDOWN:
      if (s->Style() & SS_NOTIFY) NotifyParent(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (s->Style() & SS_NOTIFY) NotifyParent(h, STN_DBLCLK);
      return 0;
    case STM_SETIMAGE: {
      DWORD type = s->Type();
      bool fits = (wp == IMAGE_BITMAP && type == SS_BITMAP) ||
                  ((wp == IMAGE_ICON || wp == IMAGE_CURSOR) && type == SS_ICON);
      if (!fits) return 0;
      return reinterpret_cast<LRESULT>(SetImage(s, reinterpret_cast<HANDLE>(lp)));
    }
    case STM_GETIMAGE: {
      DWORD type = s->Type();
      bool fits = (wp == IMAGE_BITMAP && type == SS_BITMAP) ||
                  ((wp == IMAGE_ICON || wp == IMAGE_CURSOR) && type == SS_ICON);
      return fits ? reinterpret_cast<LRESULT>(s->image) : 0;
    }
    case STM_SETICON:
      if (s->Type() != SS_ICON) return 0;
      return reinterpret_cast<LRESULT>(SetImage(s, reinterpret_cast<HANDLE>(wp)));
    case STM_GETICON: return s->Type() == SS_ICON ? reinterpret_cast<LRESULT>(s->image) : 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pvstd
