// Flat scroll bars: a window initialised for them keeps each bar's mode, and
// the scroll data goes to the window's ordinary bars.
#include "platform/controls/commctrl.h"
#include "platform/controls/tests/ctltest.h"

namespace {

class FlatSBTest : public CtlTest {};

TEST_F(FlatSBTest, ModesArePerBarAndOnlyForInitialisedWindows) {
  TForm* form = NewObject<TForm>(Application);
  form->SetBounds(0, 0, 200, 100);
  HWND h = form->Handle();
  int mode = -1;
  EXPECT_FALSE(FlatSB_SetScrollProp(h, WSB_PROP_VSTYLE, FSB_FLAT_MODE, FALSE));
  EXPECT_FALSE(FlatSB_GetScrollProp(h, WSB_PROP_VSTYLE, &mode));
  ASSERT_TRUE(InitializeFlatSB(h));
  ASSERT_TRUE(FlatSB_GetScrollProp(h, WSB_PROP_VSTYLE, &mode));
  EXPECT_EQ(FSB_REGULAR_MODE, mode);
  EXPECT_TRUE(FlatSB_SetScrollProp(h, WSB_PROP_VSTYLE, FSB_ENCARTA_MODE, TRUE));
  EXPECT_TRUE(FlatSB_SetScrollProp(h, WSB_PROP_HSTYLE, FSB_FLAT_MODE, FALSE));
  EXPECT_FALSE(FlatSB_SetScrollProp(h, WSB_PROP_HSTYLE, 7, FALSE));
  FlatSB_GetScrollProp(h, WSB_PROP_VSTYLE, &mode);
  EXPECT_EQ(FSB_ENCARTA_MODE, mode);
  FlatSB_GetScrollProp(h, WSB_PROP_HSTYLE, &mode);
  EXPECT_EQ(FSB_FLAT_MODE, mode);

  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  si.nMin = 0;
  si.nMax = 50;
  si.nPage = 10;
  si.nPos = 12;
  FlatSB_SetScrollInfo(h, SB_VERT, &si, FALSE);
  SCROLLINFO plain;
  plain.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &plain));
  EXPECT_EQ(12, plain.nPos);
  EXPECT_EQ(50, plain.nMax);
  SCROLLINFO flat;
  flat.fMask = SIF_POS;
  ASSERT_TRUE(FlatSB_GetScrollInfo(h, SB_VERT, &flat));
  EXPECT_EQ(12, flat.nPos);

  UninitializeFlatSB(h);
  EXPECT_FALSE(FlatSB_GetScrollProp(h, WSB_PROP_VSTYLE, &mode));
}

}  // namespace
