// Registration of the standard window classes and their shared helpers.
#include <cstring>
#include "platform/controls/stdwnd_internal.h"
#include "platform/rtl/strings.h"

namespace pvstd {

namespace {
HDC ScratchDC() {
  static HDC dc = nullptr;
  if (!dc) dc = CreateCompatibleDC(nullptr);
  return dc;
}
}  // namespace

FontInfo MeasureFont(HFONT f) {
  HDC dc = ScratchDC();
  HGDIOBJ old = SelectObject(dc, FontOr(f));
  TEXTMETRICA tm;
  FontInfo fi;
  if (GetTextMetricsA(dc, &tm)) {
    fi.height = tm.tmHeight;
    fi.aveWidth = tm.tmAveCharWidth;
    fi.ascent = tm.tmAscent;
  }
  SelectObject(dc, old);
  return fi;
}

int TextWidth(HFONT f, const std::string& s) {
  if (s.empty()) return 0;
  HDC dc = ScratchDC();
  HGDIOBJ old = SelectObject(dc, FontOr(f));
  DWORD e = GetTabbedTextExtentA(dc, s.data(), int(s.size()), 0, nullptr);
  SelectObject(dc, old);
  return LOWORD(e);
}

int CompareNoCase(const std::string& a, const std::string& b) { return AnsiCompareText(a, b); }

bool StartsNoCase(const std::string& s, const std::string& prefix) {
  if (prefix.size() > s.size()) return false;
  // the prefix must end on a character boundary of s
  std::size_t i = 0;
  while (i < prefix.size()) i += IsLead(s[i]) && i + 1 < s.size() ? 2 : 1;
  if (i != prefix.size()) return false;
  return AnsiSameText(s.substr(0, prefix.size()), prefix);
}

HBRUSH ControlColor(HWND h, HDC dc, UINT msg) {
  HWND parent = GetParent(h);
  LRESULT r = parent ? SendMessageA(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h))
                     : DefWindowProcA(h, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
  if (!r) r = DefWindowProcA(h, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
  return reinterpret_cast<HBRUSH>(r);
}

void DrawLabel(HDC dc, const std::string& text, RECT rc, UINT format, bool enabled) {
  int oldMode = SetBkMode(dc, TRANSPARENT);
  if (enabled) {
    DrawTextA(dc, text.c_str(), int(text.size()), &rc, format);
  } else {
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT r1 = Offset(rc, 1, 1);
    DrawTextA(dc, text.c_str(), int(text.size()), &r1, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &rc, format);
    SetTextColor(dc, old);
  }
  SetBkMode(dc, oldMode);
}

LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);  // stdwnd_static.cpp

}  // namespace pvstd

void RegisterStandardWindowClasses() {
  using namespace pvstd;
  WNDCLASSEXA probe;
  if (GetClassInfoExA(nullptr, "BUTTON", &probe)) return;
  struct Cls {
    const char* name;
    WNDPROC proc;
    UINT style;
    LPCSTR cursor;
  };
  const Cls classes[] = {
      {"EDIT", EditProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM},
      {"RichEdit20A", RichEditProc, CS_DBLCLKS, IDC_IBEAM},
      {"RICHEDIT", RichEditProc, CS_DBLCLKS, IDC_IBEAM},
      {"LISTBOX", ListBoxProc, CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
      {"ComboLBox", ListBoxProc, CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW},
      {"COMBOBOX", ComboBoxProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW},
      {"BUTTON", ButtonProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW},
      {"STATIC", StaticProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW},
  };
  for (const Cls& c : classes) {
    WNDCLASSEXA wc;
    wc.style = c.style | CS_GLOBALCLASS;
    wc.lpfnWndProc = c.proc;
    wc.hCursor = LoadCursorA(nullptr, c.cursor);
    wc.lpszClassName = c.name;
    RegisterClassExA(&wc);
  }
}
