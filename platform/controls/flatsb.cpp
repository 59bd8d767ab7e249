// Flat scroll bars of the common controls: the per-bar drawing mode of a
// window kept in window properties; the scroll data goes to the ordinary bars.
#include "platform/controls/commctrl.h"

namespace {
const char* const kFlatSBInit = "PvFlatSBInit";
const char* const kFlatSBHStyle = "PvFlatSBHStyle";
const char* const kFlatSBVStyle = "PvFlatSBVStyle";

// Modes are stored plus one, so that a stored regular mode is not "no property".
void* ModeValue(std::intptr_t Mode) { return reinterpret_cast<void*>(Mode + 1); }
}  // namespace

BOOL InitializeFlatSB(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  SetPropA(hwnd, kFlatSBInit, reinterpret_cast<void*>(1));
  return TRUE;
}

void UninitializeFlatSB(HWND hwnd) {
  RemovePropA(hwnd, kFlatSBInit);
  RemovePropA(hwnd, kFlatSBHStyle);
  RemovePropA(hwnd, kFlatSBVStyle);
}

BOOL FlatSB_SetScrollProp(HWND hwnd, UINT index, std::intptr_t newValue, BOOL redraw) {
  if (!GetPropA(hwnd, kFlatSBInit)) return FALSE;
  if (newValue < FSB_REGULAR_MODE || newValue > FSB_FLAT_MODE) return FALSE;
  if (index == WSB_PROP_HSTYLE) SetPropA(hwnd, kFlatSBHStyle, ModeValue(newValue));
  else if (index == WSB_PROP_VSTYLE) SetPropA(hwnd, kFlatSBVStyle, ModeValue(newValue));
  else return FALSE;
  if (redraw) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return TRUE;
}

BOOL FlatSB_GetScrollProp(HWND hwnd, UINT index, int* value) {
  if (!value || !GetPropA(hwnd, kFlatSBInit)) return FALSE;
  const char* name = index == WSB_PROP_HSTYLE ? kFlatSBHStyle : index == WSB_PROP_VSTYLE ? kFlatSBVStyle : nullptr;
  if (!name) return FALSE;
  auto v = reinterpret_cast<std::intptr_t>(GetPropA(hwnd, name));
  *value = v ? int(v - 1) : FSB_REGULAR_MODE;
  return TRUE;
}

BOOL FlatSB_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) { return GetScrollInfo(hwnd, bar, si); }

int FlatSB_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw) {
  return SetScrollInfo(hwnd, bar, si, redraw);
}
