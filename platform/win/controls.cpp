// Window classes the window manager provides itself.
#include "platform/win/wndinternal.h"

namespace pvwin {
LRESULT ScrollBarControlProc(HWND, UINT, WPARAM, LPARAM);  // scroll.cpp
LRESULT MdiClientProc(HWND, UINT, WPARAM, LPARAM);         // mdi.cpp
void MarkSystemClass(const char* name);                    // wnd.cpp

void RegisterControlClasses() {
  WNDCLASSEXA wc;
  wc.style = CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ScrollBarControlProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "SCROLLBAR";
  RegisterClassExA(&wc);
  MarkSystemClass("SCROLLBAR");
  WNDCLASSEXA mc;
  mc.style = 0;
  mc.lpfnWndProc = MdiClientProc;
  mc.cbWndExtra = 0;
  mc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  mc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_APPWORKSPACE + 1));
  mc.lpszClassName = "MDICLIENT";
  RegisterClassExA(&mc);
  MarkSystemClass("MDICLIENT");
}
}  // namespace pvwin
