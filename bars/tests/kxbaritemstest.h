// Fixture of the extra item kinds' tests: an item put first on the fixture's
// toolbar, and the colours the user sees on that bar.
#pragma once
#include "bars/kxbaritemsext.h"
#include "bars/tests/kxbartest.h"

class BarsItemsTest : public BarsFormTest {
 protected:
  // Puts Item first on the toolbar and shows the bar again so that its link
  // gets a control.
  void OnToolbar(TkxBarItem* Item) {
    static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(Item);
    ToolsBar->SetVisible(false);
    ToolsBar->SetVisible(true);
    Pump();
  }
  TkxBarControl* Bar() { return ToolsBar->Control(); }
  // The colour (0xRRGGBB) the user sees at a point of the bar's client area.
  unsigned PixelAt(int X, int Y) {
    TPoint s = Bar()->ClientToScreen(TPoint(X, Y));
    return Screen(TRect{s.x, s.y, s.x + 1, s.y + 1}).Pixels[0] & 0xFFFFFF;
  }
  // A form read from a description, without one of its own class.
  static TForm* FormFromText(const char* Text) {
    auto* form = new TForm(nullptr, 0);
    ReadComponentFromText(Text, form);
    return form;
  }
  static unsigned ScreenColor(TColor C) {
    COLORREF c = ColorToRGB(C);
    return unsigned(GetRValue(c)) << 16 | unsigned(GetGValue(c)) << 8 | GetBValue(c);
  }
};
