// The rich-edit window in plain-text mode: the EDIT core with multi-level undo
// and redo (typing grouped into one step), an event mask for EN_CHANGE,
// EN_UPDATE, EN_SELCHANGE and scroll notifications, the text length and
// selected text queries, one background colour, one character format (colour
// and underline) for all the text, and the selection bar. Messages that take
// points use the rich-edit forms (EM_CHARFROMPOS with a POINT*, EM_POSFROMCHAR
// filling a POINT*).
#include "platform/controls/stdwnd_internal.h"

namespace pvstd {

LRESULT RichEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return EditCoreProc(h, msg, wp, lp, true);
}

}  // namespace pvstd
