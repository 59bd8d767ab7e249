// Every painter style drawn on each side of the page, in one row and in
// several rows, with images, the current, a disabled, a highlighted and a hot
// tab: compared with reference sheets that were checked by eye.
#include "pagecontrol/tests/pcsheet.h"

namespace {

using PcStyleSheetTest = PcSheetTest;

struct Style {
  int ID;
  const char* Name;
};

const Style kStyles[] = {{1, "style_tabs"},      {2, "style_buttons"},   {3, "style_flatbuttons"},
                         {5, "style_extraflat"}, {6, "style_ultraflat"}, {7, "style_flat"},
                         {8, "style_office11"},  {9, "style_slanted"},   {10, "style_onenote"}};

TEST_F(PcStyleSheetTest, EveryStyleOnEverySide) {
  for (const Style& S : kStyles) {
    SCOPED_TRACE(S.Name);
    EXPECT_TRUE(MatchesReference(RenderSheet(S.ID), "pagecontrol/tests/ref", S.Name, CellW, CellH));
    // Each sheet starts from an empty form.
    while (Form->ComponentCount() > 0) delete Form->Components(Form->ComponentCount() - 1);
  }
}

}  // namespace
