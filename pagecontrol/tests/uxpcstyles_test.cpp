// Every painter style drawn on each side of the page, in one row and in
// several rows, with images, the current, a disabled, a highlighted and a hot
// tab: compared with reference sheets that were checked by eye.
#include "pagecontrol/tests/pcsheet.h"

namespace {

using PcStyleSheetTest = PcSheetTest;

TEST_F(PcStyleSheetTest, Tabs) { EXPECT_TRUE(MatchesReference(RenderSheet(1), "pagecontrol/tests/ref", "style_tabs", CellW, CellH)); }

}  // namespace
