// Helpers shared by the standard window classes (not part of the public interface).
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include "platform/controls/stdwnd.h"
#include "platform/gdi/gdi.h"

namespace pvstd {

inline bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline RECT MakeRect(int l, int t, int r, int b) {
  RECT rc;
  rc.left = l, rc.top = t, rc.right = r, rc.bottom = b;
  return rc;
}
inline RECT Offset(RECT r, int dx, int dy) { return MakeRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy); }
inline RECT Inflate(RECT r, int dx, int dy) { return MakeRect(r.left - dx, r.top - dy, r.right + dx, r.bottom + dy); }
inline bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Sends a WM_COMMAND notification to the parent (or owner) of h.
inline void NotifyParent(HWND h, UINT code) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), int(code)), reinterpret_cast<LPARAM>(h));
}

// The messages a self-drawn window class answers alike: painting (also into a
// given DC), no separate erasing, and a font or text that redraws it. `state`
// holds the font; paint(dc) draws the control, redraw() invalidates it.
// Returns true when `msg` was one of them, with its result in `result`.
template <typename State, typename PaintFn, typename RedrawFn>
bool SelfDrawnMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp, State* state, PaintFn paint, RedrawFn redraw,
                      LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) paint(dc);
      EndPaint(h, &ps);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT: paint(reinterpret_cast<HDC>(wp)); result = 0; return true;
    case WM_ERASEBKGND: result = 1; return true;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wp);
      if (lp) redraw();
      result = 0;
      return true;
    case WM_GETFONT: result = reinterpret_cast<LRESULT>(state->font); return true;
    case WM_SETTEXT:
      result = DefWindowProcA(h, msg, wp, lp);
      redraw();
      return true;
    default: return false;
  }
}

// The font a control draws with: the one set with WM_SETFONT, else the system font.
inline HFONT FontOr(HFONT f) { return f ? f : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

// Text metrics of a font, measured on a scratch DC.
struct FontInfo {
  int height = 14, aveWidth = 7, ascent = 11;
};
FontInfo MeasureFont(HFONT f);
// Width in pixels of text in font f (tabs expanded).
int TextWidth(HFONT f, const std::string& s);

// Case-insensitive comparison of CP936 text in the locale's order
// (AnsiCompareText), as sorted list and combo boxes order their items.
int CompareNoCase(const std::string& a, const std::string& b);
// Whether s begins with prefix (on a character boundary), ignoring case.
bool StartsNoCase(const std::string& s, const std::string& prefix);

// Per-window state kept by the window procedures, freed at WM_NCDESTROY.
template <typename T>
class StateMap {
 public:
  T* Get(HWND h) {
    auto it = map_.find(h);
    return it == map_.end() ? nullptr : it->second.get();
  }
  T* Make(HWND h) {
    auto& p = map_[h];
    p = std::make_unique<T>();
    return p.get();
  }
  void Drop(HWND h) { map_.erase(h); }

 private:
  std::unordered_map<HWND, std::unique_ptr<T>> map_;
};

// The brush and colours a parent chooses for a control (WM_CTLCOLOR*).
HBRUSH ControlColor(HWND h, HDC dc, UINT msg);

// Draws text with "&" accelerator prefixes, grayed (embossed) when disabled.
void DrawLabel(HDC dc, const std::string& text, RECT rc, UINT format, bool enabled);

// Makes a list send its notifications and owner-draw messages to its combo box.
void ListBoxSetOwnerCombo(HWND list, HWND combo);

LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT RichEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
// The edit window procedure in rich-edit mode (multi-level undo, event mask, ...).
LRESULT EditCoreProc(HWND, UINT, WPARAM, LPARAM, bool rich);

}  // namespace pvstd
