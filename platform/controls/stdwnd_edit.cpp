// The EDIT window class (single- and multi-line) and the core it shares with
// the rich-edit window in plain-text mode.
//
// Text is CP936; every position is a byte offset and is kept on a character
// start, so the caret never sits inside a double-byte character. The
// selection has an anchor (where it started) and a caret end; EM_GETSEL
// reports them ordered, EM_SETSEL(start, end) puts the anchor at start and the
// caret at end. Multi-line text breaks lines at CR LF; without ES_AUTOHSCROLL
// the lines also wrap at the format rectangle's width.
#include <algorithm>
#include <cstring>
#include <vector>
#include "platform/controls/stdwnd_internal.h"
#include "platform/rtl/strings.h"

namespace pvstd {
namespace {

struct Line {
  std::size_t start = 0, len = 0, next = 0;  // next: where the following line starts
};
struct Snap {
  std::string text;
  std::size_t anchor = 0, caret = 0;
};

struct Edit {
  HWND h = nullptr;
  bool rich = false;
  std::string text;
  std::size_t anchor = 0, caret = 0;
  HFONT font = nullptr;
  FontInfo fi;
  int ml = 1, mr = 1;
  RECT fmt;
  bool fmtFixed = false;
  std::vector<Line> lines;
  int first = 0;  // first visible line (multi-line)
  int xoff = 0;   // horizontal scroll in pixels
  std::size_t limit = 32767;
  DWORD bars = 0;  // WS_VSCROLL and WS_HSCROLL as created: a hidden bar comes back when needed
  bool modified = false;
  char pw = '*';
  // single-level undo of the EDIT class: undoing again redoes
  Snap undo;
  bool canUndo = false;
  bool typing = false;  // the last change was typing that further typing joins
  // multi-level undo and redo of the rich-edit window
  std::vector<Snap> undos, redos;
  DWORD mask = 0;
  DWORD options = 0;
  COLORREF bk = CLR_INVALID;
  CHARFORMATA cf;
  void* oleCallback = nullptr;
  bool focus = false, track = false;
  int lead = -1;  // lead byte waiting for its trail byte (WM_CHAR pairs)
  DWORD Style() const { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
  bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  bool Password() const { return !Multi() && (Style() & ES_PASSWORD) != 0; }
  std::size_t SelMin() const { return std::min(anchor, caret); }
  std::size_t SelMax() const { return std::max(anchor, caret); }
  int LineH() const { return std::max(1, fi.height); }
  int Visible() const { return std::max(1, int(fmt.bottom - fmt.top) / LineH()); }
};

StateMap<Edit>& States() {
  static StateMap<Edit> m;
  return m;
}

// ---- characters ----
std::size_t CharStart(const std::string& s, std::size_t pos) {
  if (pos >= s.size()) return s.size();
  return AdjustToCharStart(s, pos);
}
std::size_t Next(const std::string& s, std::size_t pos) {
  if (pos >= s.size()) return s.size();
  if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') return pos + 2;
  return CharNext(s, pos);
}
std::size_t Prev(const std::string& s, std::size_t pos) {
  if (pos == 0) return 0;
  if (pos >= 2 && s[pos - 1] == '\n' && s[pos - 2] == '\r') return pos - 2;
  return CharPrev(s, pos);
}
int CharClass(const std::string& s, std::size_t pos) {
  unsigned char c = s[pos];
  if (c == ' ' || c == '\t') return 0;
  if (c == '\r' || c == '\n') return 1;
  if (IsLead(c) && pos + 1 < s.size()) return 2;
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80) return 3;
  return 4;
}
std::size_t CountChars(const std::string& s, std::size_t from, std::size_t to) {
  std::size_t n = 0;
  for (std::size_t i = from; i < to; i = CharNext(s, i)) ++n;
  return n;
}

// ---- notifications ----
void Notify(Edit* e, UINT code) {
  if (e->rich) {
    if (code == EN_CHANGE && !(e->mask & ENM_CHANGE)) return;
    if (code == EN_UPDATE && !(e->mask & ENM_UPDATE)) return;
    if ((code == EN_HSCROLL || code == EN_VSCROLL) && !(e->mask & ENM_SCROLL)) return;
  }
  NotifyParent(e->h, code);
}

void SelChanged(Edit* e, std::size_t oldMin, std::size_t oldMax) {
  if (!e->rich || !(e->mask & ENM_SELCHANGE)) return;
  if (oldMin == e->SelMin() && oldMax == e->SelMax()) return;
  HWND parent = GetParent(e->h);
  if (!parent) return;
  SELCHANGE sc;
  sc.nmhdr.hwndFrom = e->h;
  sc.nmhdr.idFrom = UINT_PTR(GetDlgCtrlID(e->h));
  sc.nmhdr.code = EN_SELCHANGE;
  sc.chrg.cpMin = LONG(e->SelMin());
  sc.chrg.cpMax = LONG(e->SelMax());
  sc.seltyp = WORD(e->SelMin() == e->SelMax() ? SEL_EMPTY : SEL_TEXT);
  SendMessageA(parent, WM_NOTIFY, WPARAM(sc.nmhdr.idFrom), reinterpret_cast<LPARAM>(&sc));
}

// ---- layout ----
std::string Shown(const Edit* e, std::size_t from, std::size_t to) {
  if (!e->Password()) return e->text.substr(from, to - from);
  return std::string(CountChars(e->text, from, to), e->pw);
}

int Width(const Edit* e, std::size_t from, std::size_t to) {
  if (to <= from) return 0;
  return TextWidth(e->font, Shown(e, from, to));
}

void WrapLine(Edit* e, std::size_t s, std::size_t end, std::size_t next, int width) {
  const std::string& t = e->text;
  std::size_t pos = s;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontOr(e->font));
  while (true) {
    std::size_t n = end - pos;
    std::vector<int> dx(n + 1);
    SIZE sz;
    if (n) GetTextExtentExPointA(dc, t.data() + pos, int(n), 0, nullptr, dx.data(), &sz);
    if (n == 0 || sz.cx <= width) {
      e->lines.push_back({pos, n, next});
      break;
    }
    // longest prefix that fits, on a character start
    std::size_t fit = 0;
    for (std::size_t i = pos; i < end;) {
      std::size_t j = CharNext(t, i);
      if (dx[j - pos - 1] > width) break;
      fit = j - pos;
      i = j;
    }
    std::size_t brk = 0;
    for (std::size_t i = pos; i < pos + fit;) {  // last space inside the prefix
      std::size_t j = CharNext(t, i);
      if (t[i] == ' ') brk = j - pos;
      i = j;
    }
    if (brk == 0 || (fit < n && IsLead(t[pos + fit]))) brk = fit;  // double-byte text breaks anywhere
    if (brk == 0) brk = CharNext(t, pos) - pos;
    e->lines.push_back({pos, brk, pos + brk});
    pos += brk;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
}

void Layout(Edit* e) {
  RECT cr;
  GetClientRect(e->h, &cr);
  if (!e->fmtFixed) {
    e->fmt = cr;
    int bar = e->rich && (e->options & ECO_SELECTIONBAR) ? 8 : 0;
    e->fmt.left += e->ml + bar;
    e->fmt.right -= e->mr;
    if (e->fmt.right < e->fmt.left) e->fmt.right = e->fmt.left;
  }
  e->lines.clear();
  if (!e->Multi()) {
    e->lines.push_back({0, e->text.size(), e->text.size()});
    return;
  }
  bool wrap = !(e->Style() & ES_AUTOHSCROLL);
  int width = e->fmt.right - e->fmt.left;
  const std::string& t = e->text;
  std::size_t s = 0;
  while (true) {
    std::size_t crlf = t.find("\r\n", s);
    std::size_t end = crlf == std::string::npos ? t.size() : crlf;
    std::size_t next = crlf == std::string::npos ? t.size() : crlf + 2;
    if (wrap && width > 0 && end > s)
      WrapLine(e, s, end, next, width);
    else
      e->lines.push_back({s, end - s, next});
    if (crlf == std::string::npos) break;
    s = next;
  }
  int maxFirst = std::max(0, int(e->lines.size()) - 1);
  e->first = std::clamp(e->first, 0, maxFirst);
}

int LineOf(const Edit* e, std::size_t pos) {
  int lo = 0, hi = int(e->lines.size()) - 1;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (e->lines[mid].start <= pos)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

int AlignOffset(const Edit* e, int li) {
  DWORD st = e->Style();
  if (!(st & (ES_CENTER | ES_RIGHT))) return 0;
  const Line& l = e->lines[li];
  int w = Width(e, l.start, l.start + l.len);
  int room = (e->fmt.right - e->fmt.left) - w;
  if (room <= 0) return 0;
  return (st & ES_RIGHT) ? room : room / 2;
}

int LineX(const Edit* e, int li) { return e->fmt.left - e->xoff + AlignOffset(e, li); }
int LineY(const Edit* e, int li) { return e->fmt.top + (li - e->first) * e->LineH(); }

POINT PosToPoint(const Edit* e, std::size_t pos) {
  int li = LineOf(e, pos);
  const Line& l = e->lines[li];
  std::size_t p = std::min(pos, l.start + l.len);
  POINT pt;
  pt.x = LineX(e, li) + Width(e, l.start, p);
  pt.y = LineY(e, li);
  return pt;
}

std::size_t PosInLine(const Edit* e, int li, int x) {
  const Line& l = e->lines[li];
  int base = LineX(e, li);
  std::size_t best = l.start;
  for (std::size_t i = l.start; i < l.start + l.len;) {
    std::size_t j = CharNext(e->text, i);
    int x0 = base + Width(e, l.start, i), x1 = base + Width(e, l.start, j);
    if (2 * x < x0 + x1) return i;  // in the left half
    best = j;
    i = j;
  }
  return best;
}

std::size_t PointToPos(const Edit* e, int x, int y, int* lineOut = nullptr) {
  int li = e->first + (y - e->fmt.top) / e->LineH();
  if (y < e->fmt.top) li = e->first - 1;
  li = std::clamp(li, 0, int(e->lines.size()) - 1);
  if (lineOut) *lineOut = li;
  return PosInLine(e, li, x);
}

// ---- scroll bars, caret and scrolling ----
int ContentWidth(const Edit* e) {
  int w = 0;
  for (const Line& l : e->lines) w = std::max(w, Width(e, l.start, l.start + l.len));
  return w;
}

void UpdateBars(Edit* e) {
  DWORD st = e->Style() | e->bars;
  // A rich-edit window with ES_DISABLENOSCROLL keeps bars it does not need, disabled.
  const UINT keep = e->rich && (st & ES_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
  if (st & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
    si.nMin = 0;
    si.nMax = std::max(0, int(e->lines.size()) - 1);
    si.nPage = UINT(e->Visible());
    si.nPos = e->first;
    SetScrollInfo(e->h, SB_VERT, &si, TRUE);
  }
  if (st & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
    si.nMin = 0;
    si.nMax = std::max(0, ContentWidth(e) - 1);
    si.nPage = UINT(std::max(1, int(e->fmt.right - e->fmt.left)));
    si.nPos = e->xoff;
    SetScrollInfo(e->h, SB_HORZ, &si, TRUE);
  }
}

void PlaceCaret(Edit* e) {
  if (!e->focus) return;
  POINT pt = PosToPoint(e, e->caret);
  SetCaretPos(pt.x, pt.y);
  if (HIMC imc = ImmGetContext(e->h)) {
    COMPOSITIONFORM cf;
    cf.dwStyle = CFS_POINT;
    cf.ptCurrentPos = pt;
    ImmSetCompositionWindow(imc, &cf);
    ImmReleaseContext(e->h, imc);
  }
}

void Redraw(Edit* e) { InvalidateRect(e->h, nullptr, TRUE); }

// Scrolls so that the caret is visible.
void ScrollCaret(Edit* e) {
  int oldFirst = e->first, oldX = e->xoff;
  int li = LineOf(e, e->caret);
  if (e->Multi()) {
    if (li < e->first) e->first = li;
    if (li >= e->first + e->Visible()) e->first = li - e->Visible() + 1;
  }
  bool hscroll = !e->Multi() || (e->Style() & ES_AUTOHSCROLL);
  const int w = e->fmt.right - e->fmt.left;
  // A formatting rectangle without width shows nothing: no scrolling for it.
  if (hscroll && w > 0) {
    const Line& l = e->lines[li];
    int cx = AlignOffset(e, li) + Width(e, l.start, std::min(e->caret, l.start + l.len));
    if (cx - e->xoff < 0) e->xoff = std::max(0, cx - w / 4);
    if (cx - e->xoff >= w) e->xoff = cx - w + std::max(1, w / 4);
    // Never scrolled past the end of the text: a window grown wide enough shows it all.
    e->xoff = std::min(e->xoff, std::max(0, ContentWidth(e) + 1 - w));
    if (e->xoff < 0) e->xoff = 0;
  }
  if (oldFirst != e->first || oldX != e->xoff) {
    Redraw(e);
    UpdateBars(e);
  }
  PlaceCaret(e);
}

// ---- selection ----
void SetSel(Edit* e, std::size_t anchor, std::size_t caret, bool scroll) {
  std::size_t oldMin = e->SelMin(), oldMax = e->SelMax();
  e->anchor = CharStart(e->text, std::min(anchor, e->text.size()));
  e->caret = CharStart(e->text, std::min(caret, e->text.size()));
  e->typing = false;
  if (oldMin != e->SelMin() || oldMax != e->SelMax()) Redraw(e);
  if (scroll)
    ScrollCaret(e);
  else
    PlaceCaret(e);
  SelChanged(e, oldMin, oldMax);
}

// ---- changes ----
void PushUndo(Edit* e) {
  Snap s{e->text, e->anchor, e->caret};
  if (e->rich) {
    e->undos.push_back(std::move(s));
    if (e->undos.size() > 100) e->undos.erase(e->undos.begin());
    e->redos.clear();
  } else {
    e->undo = std::move(s);
    e->canUndo = true;
  }
}

std::string ApplyCase(const Edit* e, std::string s) {
  DWORD st = e->Style();
  if (!(st & (ES_UPPERCASE | ES_LOWERCASE))) return s;
  for (std::size_t i = 0; i < s.size();) {
    if (IsLead(s[i]) && i + 1 < s.size()) {
      i += 2;
      continue;
    }
    char& c = s[i];
    if ((st & ES_UPPERCASE) && c >= 'a' && c <= 'z') c = char(c - 32);
    if ((st & ES_LOWERCASE) && c >= 'A' && c <= 'Z') c = char(c + 32);
    ++i;
  }
  return s;
}

bool Fits(Edit* e) {
  DWORD st = e->Style();
  if (!e->Multi())
    return (st & ES_AUTOHSCROLL) || Width(e, 0, e->text.size()) <= e->fmt.right - e->fmt.left;
  return (st & ES_AUTOVSCROLL) || int(e->lines.size()) <= e->Visible();
}

// Replaces the selection with s. `user`: typed, pasted or cut by the user
// (the fit rules of a control without auto-scroll apply). Returns false when
// nothing changed.
bool ReplaceSel(HWND h, std::string s, bool undoable, bool typing, bool user) {
  Edit* e = States().Get(h);
  if (!e) return false;
  if (!e->Multi()) {
    std::size_t cut = s.find_first_of("\r\n");
    if (cut != std::string::npos) s.resize(cut);
  }
  // never keep half a double-byte character at the end
  std::size_t valid = 0;
  while (valid < s.size()) {
    if (IsLead(s[valid])) {
      if (valid + 1 >= s.size()) break;
      valid += 2;
    } else {
      ++valid;
    }
  }
  s.resize(valid);
  s = ApplyCase(e, std::move(s));
  std::size_t a = e->SelMin(), b = e->SelMax();
  std::size_t keep = e->text.size() - (b - a);
  bool maxed = false;
  if (keep + s.size() > e->limit) {
    std::size_t room = e->limit > keep ? e->limit - keep : 0;
    std::size_t n = 0;
    while (n < s.size()) {
      std::size_t step = IsLead(s[n]) ? 2 : 1;
      if (n + step > room) break;
      n += step;
    }
    s.resize(n);
    maxed = true;
  }
  if (s.empty() && a == b) {
    if (maxed) Notify(e, EN_MAXTEXT);
    return false;
  }
  Snap before{e->text, e->anchor, e->caret};
  bool joinTyping = typing && e->typing && (e->rich ? !e->undos.empty() : e->canUndo);
  e->text.replace(a, b - a, s);
  e->anchor = e->caret = a + s.size();
  Layout(e);
  if (user && !Fits(e)) {
    e->text = before.text;
    e->anchor = before.anchor;
    e->caret = before.caret;
    Layout(e);
    Notify(e, EN_MAXTEXT);
    return false;
  }
  if (undoable && !joinTyping) {
    Snap now{e->text, e->anchor, e->caret};
    e->text = before.text;
    e->anchor = before.anchor;
    e->caret = before.caret;
    PushUndo(e);
    e->text = std::move(now.text);
    e->anchor = now.anchor;
    e->caret = now.caret;
  }
  e->typing = typing;
  e->modified = true;
  Redraw(e);
  ScrollCaret(e);
  UpdateBars(e);
  SelChanged(e, a, b);
  Notify(e, EN_UPDATE);
  if (!(e = States().Get(h))) return true;
  Notify(e, EN_CHANGE);
  if (maxed && (e = States().Get(h))) Notify(e, EN_MAXTEXT);
  return true;
}

void Restore(HWND h, Snap s) {
  Edit* e = States().Get(h);
  std::size_t oldMin = e->SelMin(), oldMax = e->SelMax();
  e->text = std::move(s.text);
  e->anchor = std::min(s.anchor, e->text.size());
  e->caret = std::min(s.caret, e->text.size());
  e->typing = false;
  e->modified = true;
  Layout(e);
  Redraw(e);
  ScrollCaret(e);
  UpdateBars(e);
  SelChanged(e, oldMin, oldMax);
  Notify(e, EN_UPDATE);
  if ((e = States().Get(h))) Notify(e, EN_CHANGE);
}

bool Undo(HWND h) {
  Edit* e = States().Get(h);
  if (e->rich) {
    if (e->undos.empty()) return false;
    Snap s = std::move(e->undos.back());
    e->undos.pop_back();
    e->redos.push_back({e->text, e->anchor, e->caret});
    Restore(h, std::move(s));
    return true;
  }
  if (!e->canUndo) return false;
  Snap s = std::move(e->undo);
  e->undo = {e->text, e->anchor, e->caret};  // undoing again redoes
  Restore(h, std::move(s));
  return true;
}

bool Redo(HWND h) {
  Edit* e = States().Get(h);
  if (!e->rich || e->redos.empty()) return false;
  Snap s = std::move(e->redos.back());
  e->redos.pop_back();
  e->undos.push_back({e->text, e->anchor, e->caret});
  Restore(h, std::move(s));
  return true;
}

void EmptyUndo(Edit* e) {
  e->canUndo = false;
  e->undo = {};
  e->undos.clear();
  e->redos.clear();
  e->typing = false;
}

// ---- clipboard ----
void Copy(Edit* e) {
  if (e->Password() || e->SelMin() == e->SelMax()) return;
  std::string s = e->text.substr(e->SelMin(), e->SelMax() - e->SelMin());
  if (!OpenClipboard(e->h)) return;
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  if (char* p = static_cast<char*>(GlobalLock(g))) {
    std::memcpy(p, s.c_str(), s.size() + 1);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
  }
  CloseClipboard();
}

bool ClipboardText(HWND h, std::string& out) {
  if (!OpenClipboard(h)) return false;
  bool ok = false;
  if (HANDLE g = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(g))) {
      std::size_t n = strnlen(p, GlobalSize(g));
      out.assign(p, n);
      GlobalUnlock(g);
      ok = true;
    }
  }
  CloseClipboard();
  return ok;
}

void Paste(HWND h) {
  Edit* e = States().Get(h);
  if (!e || e->ReadOnly()) return;
  std::string s;
  if (ClipboardText(h, s)) ReplaceSel(h, s, true, false, true);
}

void Clear(HWND h) {
  Edit* e = States().Get(h);
  if (!e || e->ReadOnly() || e->SelMin() == e->SelMax()) return;
  ReplaceSel(h, std::string(), true, false, true);
}

void Cut(HWND h) {
  Edit* e = States().Get(h);
  if (!e || e->ReadOnly() || e->Password()) return;
  Copy(e);
  Clear(h);
}

// ---- painting ----
void Paint(Edit* e) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(e->h, &ps);
  if (!dc) return;
  RECT cr;
  GetClientRect(e->h, &cr);
  bool enabled = IsWindowEnabled(e->h);
  HBRUSH bg;
  HBRUSH own = nullptr;
  if (e->rich) {
    COLORREF c = e->bk == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : e->bk;
    own = CreateSolidBrush(c);
    bg = own;
    SetBkColor(dc, c);
    COLORREF fg = (e->cf.dwMask & CFM_COLOR) && !(e->cf.dwEffects & CFE_AUTOCOLOR) ? e->cf.crTextColor
                                                                                  : GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, fg);
  } else {
    bg = ControlColor(e->h, dc, (e->ReadOnly() || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  }
  if (!bg) bg = GetSysColorBrush(COLOR_WINDOW);
  FillRect(dc, &cr, bg);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  HFONT font = FontOr(e->font);
  HFONT made = nullptr;
  if (e->rich && (e->cf.dwMask & CFM_UNDERLINE) && (e->cf.dwEffects & CFE_UNDERLINE)) {
    LOGFONTA lf;
    if (GetObjectA(font, sizeof lf, &lf)) {
      lf.lfUnderline = 1;
      made = CreateFontIndirectA(&lf);
      font = made;
    }
  }
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, e->fmt.left, e->fmt.top, e->fmt.right, e->fmt.bottom);
  bool showSel = e->SelMin() != e->SelMax() &&
                 (e->focus || (e->Style() & ES_NOHIDESEL) || (e->rich && (e->options & ECO_NOHIDESEL)));
  COLORREF text = GetTextColor(dc);
  int last = std::min(int(e->lines.size()), e->first + e->Visible() + 1);
  for (int li = e->Multi() ? e->first : 0; li < last; ++li) {
    const Line& l = e->lines[li];
    int x = LineX(e, li), y = LineY(e, li);
    std::string shown = Shown(e, l.start, l.start + l.len);
    if (!shown.empty()) TabbedTextOutA(dc, x, y, shown.data(), int(shown.size()), 0, nullptr, x);
    if (!showSel) continue;
    std::size_t s0 = std::max(e->SelMin(), l.start), s1 = std::min(e->SelMax(), l.start + l.len);
    bool brkSel = e->SelMax() > l.start + l.len && e->SelMin() <= l.start + l.len && l.next > l.start + l.len;
    if (s1 < s0) continue;
    int x0 = x + Width(e, l.start, s0), x1 = x + Width(e, l.start, s1);
    if (brkSel) x1 += std::max(2, e->fi.aveWidth / 2);  // a selected line break shows as a little block
    if (x1 <= x0) continue;
    RECT hr = MakeRect(x0, y, x1, y + e->LineH());
    FillRect(dc, &hr, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    std::string part = Shown(e, s0, s1);
    if (!part.empty()) TabbedTextOutA(dc, x0, y, part.data(), int(part.size()), 0, nullptr, x);
    SetTextColor(dc, text);
  }
  SelectObject(dc, oldFont);
  if (made) DeleteObject(made);
  if (own) DeleteObject(own);
  EndPaint(e->h, &ps);
}

// ---- keyboard ----
std::size_t WordLeft(const std::string& t, std::size_t pos) {
  while (pos > 0 && CharClass(t, Prev(t, pos)) == 0) pos = Prev(t, pos);
  if (pos == 0) return 0;
  int cls = CharClass(t, Prev(t, pos));
  while (pos > 0 && CharClass(t, Prev(t, pos)) == cls) pos = Prev(t, pos);
  return pos;
}
std::size_t WordRight(const std::string& t, std::size_t pos) {
  if (pos >= t.size()) return t.size();
  int cls = CharClass(t, pos);
  if (cls == 1) return Next(t, pos);
  while (pos < t.size() && CharClass(t, pos) == cls) pos = Next(t, pos);
  while (pos < t.size() && CharClass(t, pos) == 0) pos = Next(t, pos);
  return pos;
}

void KeyDown(HWND h, WPARAM vk) {
  Edit* e = States().Get(h);
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const std::string& t = e->text;
  std::size_t pos = e->caret;
  bool move = true;
  int li = LineOf(e, pos);
  switch (vk) {
    case VK_LEFT:
      if (!shift && e->anchor != e->caret && !ctrl)
        pos = e->SelMin();
      else
        pos = ctrl ? WordLeft(t, pos) : Prev(t, pos);
      break;
    case VK_RIGHT:
      if (!shift && e->anchor != e->caret && !ctrl)
        pos = e->SelMax();
      else
        pos = ctrl ? WordRight(t, pos) : Next(t, pos);
      break;
    case VK_HOME: pos = ctrl ? 0 : e->lines[li].start; break;
    case VK_END: pos = ctrl ? t.size() : e->lines[li].start + e->lines[li].len; break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!e->Multi()) {
        if (vk == VK_UP || vk == VK_PRIOR)
          pos = Prev(t, pos);
        else
          pos = Next(t, pos);
        break;
      }
      int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : e->Visible();
      int target = li + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step);
      target = std::clamp(target, 0, int(e->lines.size()) - 1);
      if (vk == VK_PRIOR || vk == VK_NEXT)
        e->first = std::clamp(e->first + (target - li), 0, std::max(0, int(e->lines.size()) - 1));
      pos = PosInLine(e, target, PosToPoint(e, e->caret).x);
      break;
    }
    case VK_DELETE:
      move = false;
      if (e->ReadOnly()) break;
      if (shift) {
        Cut(h);
      } else if (e->anchor != e->caret) {
        Clear(h);
      } else if (pos < t.size()) {
        e->anchor = Next(t, pos);
        ReplaceSel(h, std::string(), true, false, true);
      }
      break;
    case VK_INSERT:
      move = false;
      if (ctrl)
        Copy(e);
      else if (shift)
        Paste(h);
      break;
    default: move = false;
  }
  if (!move) return;
  if (!(e = States().Get(h))) return;
  SetSel(e, shift ? e->anchor : pos, pos, true);
}

void Char(HWND h, unsigned ch) {
  Edit* e = States().Get(h);
  if (e->lead >= 0) {
    char s[2] = {char(e->lead), char(ch)};
    e->lead = -1;
    if (e->ReadOnly()) {
      MessageBeep(0);
      return;
    }
    ReplaceSel(h, std::string(s, 2), true, true, true);
    return;
  }
  if (IsLead(ch)) {
    e->lead = int(ch);
    return;
  }
  switch (ch) {
    // The clipboard and undo characters go through the window's own messages,
    // so that a window procedure that wraps this one sees and may refuse them.
    case 0x03: SendMessageA(h, WM_COPY, 0, 0); return;
    case 0x16: SendMessageA(h, WM_PASTE, 0, 0); return;
    case 0x18: SendMessageA(h, WM_CUT, 0, 0); return;
    case 0x1A:
      if (!e->ReadOnly()) SendMessageA(h, WM_UNDO, 0, 0);
      return;
    case 0x01:
      if (e->rich) SetSel(e, 0, e->text.size(), false);
      return;
    case 0x08:
      if (e->ReadOnly()) {
        MessageBeep(0);
        return;
      }
      if (e->anchor == e->caret) {
        if (e->caret == 0) return;
        e->anchor = Prev(e->text, e->caret);
      }
      ReplaceSel(h, std::string(), true, false, true);
      return;
    case '\r':
    case '\n':
      if (!e->Multi()) return;
      if (e->ReadOnly()) {
        MessageBeep(0);
        return;
      }
      ReplaceSel(h, "\r\n", true, false, true);
      return;
    case '\t':
      if (!e->Multi()) return;
      break;
    default:
      if (ch < 0x20) return;
  }
  if (e->ReadOnly()) {
    MessageBeep(0);
    return;
  }
  ReplaceSel(h, std::string(1, char(ch)), true, true, true);
}

// ---- mouse ----
void SelectWordAt(Edit* e, std::size_t pos) {
  const std::string& t = e->text;
  if (t.empty()) return;
  if (pos >= t.size()) pos = Prev(t, t.size());
  int cls = CharClass(t, pos);
  std::size_t a = pos, b = Next(t, pos);
  if (cls != 1) {
    while (a > 0 && CharClass(t, Prev(t, a)) == cls) a = Prev(t, a);
    while (b < t.size() && CharClass(t, b) == cls) b = Next(t, b);
  }
  SetSel(e, a, b, true);
}

void ContextMenu(HWND h, LPARAM lp) {
  Edit* e = States().Get(h);
  if (GetFocus() != h) SetFocus(h);
  if (!(e = States().Get(h))) return;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (lp == -1) {
    pt = PosToPoint(e, e->caret);
    ClientToScreen(h, &pt);
  }
  bool sel = e->SelMin() != e->SelMax(), ro = e->ReadOnly();
  bool canUndo = e->rich ? !e->undos.empty() : e->canUndo;
  HMENU m = CreatePopupMenu();
  AppendMenuA(m, MF_STRING | ((canUndo && !ro) ? 0 : MF_GRAYED), WM_UNDO, "撤消(&U)");
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(m, MF_STRING | ((sel && !ro && !e->Password()) ? 0 : MF_GRAYED), WM_CUT, "剪切(&T)");
  AppendMenuA(m, MF_STRING | ((sel && !e->Password()) ? 0 : MF_GRAYED), WM_COPY, "复制(&C)");
  AppendMenuA(m, MF_STRING | ((!ro && IsClipboardFormatAvailable(CF_TEXT)) ? 0 : MF_GRAYED), WM_PASTE,
              "粘贴(&P)");
  AppendMenuA(m, MF_STRING | ((sel && !ro) ? 0 : MF_GRAYED), WM_CLEAR, "删除(&D)");
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  bool all = e->SelMin() == 0 && e->SelMax() == e->text.size();
  AppendMenuA(m, MF_STRING | ((!e->text.empty() && !all) ? 0 : MF_GRAYED), EM_SETSEL, "全选(&A)");
  UINT cmd = UINT(TrackPopupMenu(m, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, pt.x, pt.y, 0, h, nullptr));
  DestroyMenu(m);
  if (!IsWindow(h)) return;
  if (cmd == EM_SETSEL)
    SendMessageA(h, EM_SETSEL, 0, -1);
  else if (cmd)
    SendMessageA(h, cmd, 0, 0);
}

void VScroll(Edit* e, int code, int thumb) {
  int old = e->first, n = int(e->lines.size());
  switch (code) {
    case SB_LINEUP: --e->first; break;
    case SB_LINEDOWN: ++e->first; break;
    case SB_PAGEUP: e->first -= std::max(1, e->Visible() - 1); break;
    case SB_PAGEDOWN: e->first += std::max(1, e->Visible() - 1); break;
    case SB_TOP: e->first = 0; break;
    case SB_BOTTOM: e->first = n; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: e->first = thumb; break;
  }
  e->first = std::clamp(e->first, 0, std::max(0, n - e->Visible()));
  if (old != e->first) {
    Redraw(e);
    UpdateBars(e);
    PlaceCaret(e);
  }
}

void HScroll(Edit* e, int code, int thumb) {
  int old = e->xoff, w = e->fmt.right - e->fmt.left, maxX = std::max(0, ContentWidth(e) - w);
  switch (code) {
    case SB_LINELEFT: e->xoff -= e->fi.aveWidth; break;
    case SB_LINERIGHT: e->xoff += e->fi.aveWidth; break;
    case SB_PAGELEFT: e->xoff -= w; break;
    case SB_PAGERIGHT: e->xoff += w; break;
    case SB_LEFT: e->xoff = 0; break;
    case SB_RIGHT: e->xoff = maxX; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: e->xoff = thumb; break;
  }
  e->xoff = std::clamp(e->xoff, 0, std::max(maxX, 0));
  if (old != e->xoff) {
    Redraw(e);
    UpdateBars(e);
    PlaceCaret(e);
  }
}

std::size_t LineLengthAt(const Edit* e, std::size_t pos) {
  const Line& l = e->lines[LineOf(e, pos)];
  return l.len;
}

}  // namespace

LRESULT EditCoreProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool rich) {
  Edit* e = States().Get(h);
  if (!e) {
    if (msg == WM_NCCREATE) {
      e = States().Make(h);
      e->h = h;
      e->rich = rich;
      e->limit = 32767;
      e->bars = DWORD(GetWindowLongPtrA(h, GWL_STYLE)) & (WS_VSCROLL | WS_HSCROLL);
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      if (cs && cs->lpszName) e->text = cs->lpszName;
      e->fi = MeasureFont(e->font);
      Layout(e);
    }
    return DefWindowProcA(h, msg, wp, lp);
  }
  switch (msg) {
    case WM_NCDESTROY:
      States().Drop(h);
      return DefWindowProcA(h, msg, wp, lp);
    case WM_CREATE:
      Layout(e);
      UpdateBars(e);
      return 0;
    case WM_SIZE:
      Layout(e);
      UpdateBars(e);
      ScrollCaret(e);
      Redraw(e);
      return 0;
    case WM_STYLECHANGED:
      Layout(e);
      Redraw(e);
      return 0;
    case WM_PAINT:
      Paint(e);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wp);
      e->fi = MeasureFont(e->font);
      Layout(e);
      UpdateBars(e);
      if (e->focus) {
        CreateCaret(h, nullptr, 1, e->LineH());
        ShowCaret(h);
      }
      PlaceCaret(e);
      if (lp) Redraw(e);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(lp);
      std::size_t oldMin = e->SelMin(), oldMax = e->SelMax();
      e->text = t ? t : "";
      e->anchor = e->caret = 0;
      e->first = 0;
      e->xoff = 0;
      e->modified = false;
      e->lead = -1;
      EmptyUndo(e);
      Layout(e);
      UpdateBars(e);
      Redraw(e);
      PlaceCaret(e);
      SelChanged(e, oldMin, oldMax);
      Notify(e, EN_UPDATE);
      if ((e = States().Get(h))) Notify(e, EN_CHANGE);
      return TRUE;
    }
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      std::size_t n = std::min(e->text.size(), std::size_t(wp - 1));
      n = CharStart(e->text, n);
      std::memcpy(buf, e->text.data(), n);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(e->text.size());
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (e->Multi()) {
        code |= DLGC_WANTALLKEYS;
        if (auto* m = reinterpret_cast<const MSG*>(lp)) {
          if (m->message == WM_KEYDOWN || m->message == WM_CHAR) {
            if ((m->wParam == VK_RETURN && !(e->Style() & ES_WANTRETURN)) || m->wParam == VK_ESCAPE ||
                m->wParam == VK_TAB)
              code &= ~LRESULT(DLGC_WANTALLKEYS);
          }
        }
      }
      return code;
    }
    case WM_SETFOCUS:
      e->focus = true;
      CreateCaret(h, nullptr, 1, e->LineH());
      PlaceCaret(e);
      ShowCaret(h);
      if (e->SelMin() != e->SelMax()) Redraw(e);
      Notify(e, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e->focus = false;
      e->track = false;
      DestroyCaret();
      if (e->SelMin() != e->SelMax()) Redraw(e);
      Notify(e, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      Redraw(e);
      return 0;
    case WM_KEYDOWN:
      KeyDown(h, wp);
      return 0;
    case WM_CHAR:
      if (wp > 0xFF) {
        Char(h, unsigned((wp >> 8) & 0xFF));
        if ((e = States().Get(h))) Char(h, unsigned(wp & 0xFF));
      } else {
        Char(h, unsigned(wp));
      }
      return 0;
    case WM_IME_CHAR:
      if (wp > 0xFF) {
        e->lead = -1;
        if (e->ReadOnly()) {
          MessageBeep(0);
          return 0;
        }
        char s[2] = {char((wp >> 8) & 0xFF), char(wp & 0xFF)};
        ReplaceSel(h, std::string(s, 2), true, true, true);
      } else {
        Char(h, unsigned(wp));
      }
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h) SetFocus(h);
      if (!(e = States().Get(h))) return 0;
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      if (e->rich && (e->options & ECO_SELECTIONBAR) && x < e->fmt.left) {
        int li = 0;
        PointToPos(e, e->fmt.left, y, &li);
        SetSel(e, e->lines[li].start, e->lines[li].next, true);
        return 0;
      }
      std::size_t pos = PointToPos(e, x, y);
      SetSel(e, (wp & MK_SHIFT) ? e->anchor : pos, pos, true);
      if ((e = States().Get(h))) {
        e->track = true;
        SetCapture(h);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (e->track && (wp & MK_LBUTTON)) {
        std::size_t pos = PointToPos(e, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        if (pos != e->caret) SetSel(e, e->anchor, pos, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (e->track) {
        e->track = false;
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      e->track = false;
      return 0;
    case WM_LBUTTONDBLCLK:
      if (e->rich && (e->options & ECO_SELECTIONBAR) && GET_X_LPARAM(lp) < e->fmt.left) {
        SetSel(e, 0, e->text.size(), true);
        return 0;
      }
      SelectWordAt(e, PointToPos(e, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_CONTEXTMENU:
      ContextMenu(h, lp);
      return 0;
    case WM_VSCROLL:
      Notify(e, EN_VSCROLL);
      if ((e = States().Get(h))) VScroll(e, LOWORD(wp), SHORT(HIWORD(wp)));
      return 0;
    case WM_HSCROLL:
      Notify(e, EN_HSCROLL);
      if ((e = States().Get(h))) HScroll(e, LOWORD(wp), SHORT(HIWORD(wp)));
      return 0;
    case WM_MOUSEWHEEL: {
      if (!e->Multi()) return DefWindowProcA(h, msg, wp, lp);
      int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      Notify(e, EN_VSCROLL);
      if (!(e = States().Get(h))) return 0;
      for (int i = 0; i < std::abs(notches) * 3; ++i) VScroll(e, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      return 0;
    }
    case WM_CUT: Cut(h); return 0;
    case WM_COPY: Copy(e); return 0;
    case WM_PASTE: Paste(h); return 0;
    case WM_CLEAR: Clear(h); return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo(h) ? TRUE : FALSE;
    case EM_CANUNDO: return (e->rich ? !e->undos.empty() : e->canUndo) ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: EmptyUndo(e); return 0;
    case EM_GETSEL: {
      if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(e->SelMin());
      if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(e->SelMax());
      if (e->SelMax() > 0xFFFF) return -1;
      return MAKELONG(WORD(e->SelMin()), WORD(e->SelMax()));
    }
    case EM_SETSEL: {
      LONG a = LONG(wp), c = LONG(lp);
      std::size_t n = e->text.size();
      if (a == -1) {
        SetSel(e, e->caret, e->caret, false);
      } else {
        std::size_t an = a < 0 ? n : std::size_t(a), ca = c < 0 ? n : std::size_t(c);
        SetSel(e, an, ca, rich);
      }
      return 0;
    }
    case EM_EXGETSEL: {
      if (auto* cr = reinterpret_cast<CHARRANGE*>(lp)) {
        cr->cpMin = LONG(e->SelMin());
        cr->cpMax = LONG(e->SelMax());
      }
      return 0;
    }
    case EM_EXSETSEL: {
      auto* cr = reinterpret_cast<const CHARRANGE*>(lp);
      if (!cr) return LRESULT(e->SelMax());
      std::size_t n = e->text.size();
      if (cr->cpMin == -1)
        SetSel(e, e->caret, e->caret, true);
      else
        SetSel(e, cr->cpMin < 0 ? n : std::size_t(cr->cpMin), cr->cpMax < 0 ? n : std::size_t(cr->cpMax), true);
      if (!(e = States().Get(h))) return 0;
      return LRESULT(e->SelMax());
    }
    case EM_REPLACESEL:
      ReplaceSel(h, lp ? reinterpret_cast<const char*>(lp) : "", wp != 0, false, false);
      return 0;
    case EM_GETSELTEXT: {
      char* buf = reinterpret_cast<char*>(lp);
      std::string s = e->text.substr(e->SelMin(), e->SelMax() - e->SelMin());
      if (buf) std::memcpy(buf, s.c_str(), s.size() + 1);
      return LRESULT(s.size());
    }
    case EM_LIMITTEXT:
      e->limit = wp ? std::size_t(wp) : std::size_t(0x7FFFFFFE);
      return 0;
    case EM_EXLIMITTEXT:
      e->limit = lp > 0 ? std::size_t(lp) : std::size_t(65536);
      return 0;
    case EM_GETLIMITTEXT: return LRESULT(e->limit);
    case EM_GETMODIFY: return e->modified ? TRUE : FALSE;
    case EM_SETMODIFY: e->modified = wp != 0; return 0;
    case EM_SETREADONLY: {
      DWORD st = e->Style();
      SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR(wp ? (st | ES_READONLY) : (st & ~ES_READONLY)));
      Redraw(e);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      if (e->Multi()) return 0;
      DWORD st = e->Style();
      if (wp) e->pw = char(wp);
      SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR(wp ? (st | ES_PASSWORD) : (st & ~ES_PASSWORD)));
      if ((e = States().Get(h))) {
        Layout(e);
        Redraw(e);
        PlaceCaret(e);
      }
      return 0;
    }
    case EM_GETPASSWORDCHAR: return e->Password() ? LRESULT(BYTE(e->pw)) : 0;
    case EM_SETMARGINS: {
      int l = SHORT(LOWORD(lp)), r = SHORT(HIWORD(lp));
      if (wp & EC_USEFONTINFO) l = r = std::max(1, e->fi.aveWidth / 2);
      if (wp & EC_LEFTMARGIN) e->ml = l;
      if (wp & EC_RIGHTMARGIN) e->mr = r;
      e->fmtFixed = false;
      Layout(e);
      Redraw(e);
      PlaceCaret(e);
      return 0;
    }
    case EM_GETMARGINS: return MAKELONG(WORD(e->ml), WORD(e->mr));
    case EM_SETRECT:
    case EM_SETRECTNP: {
      if (auto* r = reinterpret_cast<const RECT*>(lp)) {
        e->fmt = *r;
        e->fmtFixed = true;
      } else {
        e->fmtFixed = false;
      }
      Layout(e);
      UpdateBars(e);
      if (msg == EM_SETRECT) Redraw(e);
      PlaceCaret(e);
      return 0;
    }
    case EM_GETRECT:
      if (auto* r = reinterpret_cast<RECT*>(lp)) *r = e->fmt;
      return 0;
    case EM_GETLINECOUNT: return e->Multi() ? LRESULT(e->lines.size()) : 1;
    case EM_LINEINDEX: {
      int li = int(LONG(wp));
      if (li < 0) li = LineOf(e, e->caret);
      if (li >= int(e->lines.size())) return -1;
      return LRESULT(e->lines[li].start);
    }
    case EM_LINELENGTH: {
      LONG idx = LONG(wp);
      if (!e->Multi()) return LRESULT(e->text.size());
      if (idx < 0) {
        if (e->SelMin() == e->SelMax()) return LRESULT(LineLengthAt(e, e->caret));
        const Line& a = e->lines[LineOf(e, e->SelMin())];
        const Line& b = e->lines[LineOf(e, e->SelMax())];
        std::size_t bEnd = b.start + b.len;
        return LRESULT((e->SelMin() - a.start) + (bEnd > e->SelMax() ? bEnd - e->SelMax() : 0));
      }
      if (std::size_t(idx) > e->text.size()) return 0;
      return LRESULT(LineLengthAt(e, std::size_t(idx)));
    }
    case EM_GETLINE: {
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf) return 0;
      WORD size;
      std::memcpy(&size, buf, sizeof size);
      std::size_t li = e->Multi() ? std::size_t(wp) : 0;
      if (li >= e->lines.size()) return 0;
      const Line& l = e->lines[li];
      std::size_t n = std::min<std::size_t>(l.len, size);
      std::memcpy(buf, e->text.data() + l.start, n);
      return LRESULT(n);
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
      if (!e->Multi()) return 0;
      LONG idx = msg == EM_LINEFROMCHAR ? LONG(wp) : LONG(lp);
      std::size_t pos = idx < 0 ? e->SelMin() : std::min(std::size_t(idx), e->text.size());
      return LineOf(e, pos);
    }
    case EM_LINESCROLL:
      if (!e->Multi()) return FALSE;
      if (LONG(lp)) {
        int old = e->first;
        e->first = std::clamp(e->first + int(LONG(lp)), 0, std::max(0, int(e->lines.size()) - 1));
        if (old != e->first) Redraw(e);
      }
      if (LONG(wp)) HScroll(e, SB_THUMBPOSITION, e->xoff + int(LONG(wp)) * e->fi.aveWidth);
      UpdateBars(e);
      PlaceCaret(e);
      return TRUE;
    case EM_SCROLL: {
      if (!e->Multi()) return FALSE;
      int old = e->first;
      if (wp > SB_PAGEDOWN) return FALSE;
      VScroll(e, int(wp), 0);
      return MAKELONG(WORD(SHORT(e->first - old)), TRUE);
    }
    case EM_SCROLLCARET:
      ScrollCaret(e);
      return TRUE;
    case EM_GETFIRSTVISIBLELINE: {
      if (e->Multi()) return e->first;
      return LRESULT(PosInLine(e, 0, e->fmt.left));
    }
    case EM_CHARFROMPOS: {
      int x, y;
      if (rich) {
        auto* p = reinterpret_cast<const POINT*>(lp);
        if (!p) return -1;
        x = p->x;
        y = p->y;
      } else {
        x = GET_X_LPARAM(lp);
        y = GET_Y_LPARAM(lp);
      }
      int li = 0;
      std::size_t pos = PointToPos(e, x, y, &li);
      if (rich) return LRESULT(pos);
      return MAKELONG(WORD(pos), WORD(li));
    }
    case EM_POSFROMCHAR: {
      if (rich) {
        auto* p = reinterpret_cast<POINT*>(wp);
        std::size_t idx = std::size_t(lp);
        if (!p || lp < 0 || idx > e->text.size()) return 0;
        *p = PosToPoint(e, idx);
        return 0;
      }
      if (LONG(wp) < 0 || std::size_t(wp) >= e->text.size()) return -1;
      POINT pt = PosToPoint(e, std::size_t(wp));
      return MAKELONG(WORD(SHORT(pt.x)), WORD(SHORT(pt.y)));
    }
    case EM_CANPASTE: return IsClipboardFormatAvailable(CF_TEXT) ? TRUE : FALSE;
    case EM_FMTLINES: return wp ? TRUE : FALSE;
    case EM_SETTABSTOPS: return TRUE;
    default: break;
  }
  if (rich) {
    switch (msg) {
      case EM_SETEVENTMASK: {
        DWORD old = e->mask;
        e->mask = DWORD(lp);
        return LRESULT(old);
      }
      case EM_GETEVENTMASK: return LRESULT(e->mask);
      case EM_GETTEXTLENGTHEX: {
        auto* g = reinterpret_cast<const GETTEXTLENGTHEX*>(wp);
        if (g && (g->flags & GTL_NUMCHARS)) return LRESULT(CountChars(e->text, 0, e->text.size()));
        return LRESULT(e->text.size());
      }
      case EM_REDO: return Redo(h) ? TRUE : FALSE;
      case EM_CANREDO: return e->redos.empty() ? FALSE : TRUE;
      case EM_SETBKGNDCOLOR: {
        COLORREF old = e->bk == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : e->bk;
        e->bk = wp ? CLR_INVALID : COLORREF(lp);
        Redraw(e);
        return LRESULT(old);
      }
      case EM_SETCHARFORMAT: {
        auto* cf = reinterpret_cast<const CHARFORMATA*>(lp);
        if (!cf) return 0;
        if (cf->dwMask & CFM_COLOR) {
          e->cf.dwMask |= CFM_COLOR;
          e->cf.crTextColor = cf->crTextColor;
          e->cf.dwEffects = (e->cf.dwEffects & ~CFE_AUTOCOLOR) | (cf->dwEffects & CFE_AUTOCOLOR);
        }
        if (cf->dwMask & CFM_UNDERLINE) {
          e->cf.dwMask |= CFM_UNDERLINE;
          e->cf.dwEffects = (e->cf.dwEffects & ~CFE_UNDERLINE) | (cf->dwEffects & CFE_UNDERLINE);
        }
        if ((cf->dwMask & CFM_UNDERLINETYPE) && cf->cbSize >= sizeof(CHARFORMAT2A)) {
          auto* cf2 = reinterpret_cast<const CHARFORMAT2A*>(lp);
          e->cf.dwMask |= CFM_UNDERLINE;
          e->cf.dwEffects = (e->cf.dwEffects & ~CFE_UNDERLINE) |
                            (cf2->bUnderlineType != CFU_UNDERLINENONE ? CFE_UNDERLINE : 0);
        }
        Redraw(e);
        return TRUE;
      }
      case EM_GETCHARFORMAT: {
        if (auto* cf = reinterpret_cast<CHARFORMATA*>(lp)) {
          cf->dwMask = CFM_COLOR | CFM_UNDERLINE;
          cf->dwEffects = e->cf.dwEffects;
          if (!(e->cf.dwMask & CFM_COLOR)) cf->dwEffects |= CFE_AUTOCOLOR;
          cf->crTextColor = e->cf.crTextColor;
        }
        return LRESULT(CFM_COLOR | CFM_UNDERLINE);
      }
      case EM_SETOPTIONS: {
        DWORD o = DWORD(lp);
        // The read-only option starts from the window's own state (EM_SETREADONLY, ES_READONLY).
        e->options = (e->options & ~DWORD(ECO_READONLY)) | (e->ReadOnly() ? ECO_READONLY : 0);
        switch (wp) {
          case ECOOP_SET: e->options = o; break;
          case ECOOP_OR: e->options |= o; break;
          case ECOOP_AND: e->options &= o; break;
          case ECOOP_XOR: e->options ^= o; break;
        }
        DWORD st = e->Style();
        SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR((e->options & ECO_READONLY) ? (st | ES_READONLY) : (st & ~ES_READONLY)));
        if ((e = States().Get(h))) {
          Layout(e);
          Redraw(e);
          return LRESULT(e->options);
        }
        return 0;
      }
      case EM_GETOPTIONS: return LRESULT(e->options | (e->ReadOnly() ? ECO_READONLY : 0));
      // The window keeps plain text and has no embedded objects: the text mode
      // is accepted when it asks for plain text, the object callback is kept.
      case EM_SETTEXTMODE: return (wp & TM_RICHTEXT) ? 1 : 0;
      case EM_GETTEXTMODE: return LRESULT(TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_SINGLECODEPAGE);
      case EM_SETOLECALLBACK:
        e->oleCallback = reinterpret_cast<void*>(lp);
        return TRUE;
    }
  }
  return DefWindowProcA(h, msg, wp, lp);
}

LRESULT EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return EditCoreProc(h, msg, wp, lp, false); }

}  // namespace pvstd
