// The drop-down list of string combos draws and measures its strings through
// the combo, so that a combo kind with its own entry drawing (font marks,
// colours) shows it in the list as in its edit area.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "platform/controls/stdwnd.h"

void TkxBarDropDownListBox::MeasureItems() {
  if (!FCombo || !HandleAllocated()) return;
  for (int i = 0; i < Items()->Count(); ++i) {
    int h = 0;
    MeasureItem(i, h);
    SendMessageA(Handle(), LB_SETITEMHEIGHT, WPARAM(i), LPARAM(std::max(h, 1)));
  }
}

void TkxBarDropDownListBox::MeasureItem(int Index, int& Height) {
  if (FCombo) FCombo->MeasureItem(Index, Height);
  else TCustomListBox::MeasureItem(Index, Height);
}

void TkxBarDropDownListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (!FCombo) {
    TCustomListBox::DrawItem(Index, Rect, State);
    return;
  }
  // the state as the combo takes it (the ODS_* bits); the focus frame is the list's own
  unsigned bits = 0;
  for (int i = odSelected; i <= odComboBoxEdit; ++i)
    if (State.Contains(TOwnerDrawStateItem(i))) bits |= 1u << i;
  FCombo->DrawItem(Index, Rect, bits & ~unsigned(ODS_FOCUS));
}
