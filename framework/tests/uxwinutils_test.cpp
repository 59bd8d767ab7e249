// The desktop, window and key helpers, the pop-up menu height, the form font
// and the components that belong to a TuxControl, on the headless backend
// (screen and work area 1920x1080, drag threshold 4).
#include "framework/uxwinutils.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/uxcontrols.h"
#include "framework/uxgraphics.h"
#include "framework/uxlookandfeel.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace {

class UxWinUtilsTest : public CtlTest {};

TEST(UxWinUtilTest, RemoveHotKeyPrefix) {
  struct Case {
    const char* In;
    const char* Out;
  } cases[] = {
      {"&File", "File"}, {"A&&B", "A&B"},   {"Save&", "Save_"}, {"", ""},
      {"&&", "&"},       {"&&&", "&_"},      {"a&&&b", "a&b"},   {"&\xce\xc4\xbc\xfe", "\xce\xc4\xbc\xfe"},
      {"No marks", "No marks"},
  };
  for (const Case& c : cases) EXPECT_EQ(uxRemoveHotKeyPrefix(c.In), c.Out) << c.In;
}

TEST(UxWinUtilTest, NumericAndPrintableChars) {
  struct Case {
    char Ch;
    bool Kind0, Kind1, Kind2;
  } cases[] = {
      {'0', true, true, true},     {'9', true, true, true},    {'+', true, true, true},
      {'-', true, true, true},     {'.', false, true, true},   {'e', false, false, true},
      {'E', false, false, true},   {'x', false, false, false}, {',', false, false, false},
      {' ', false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uxIsNumericChar(c.Ch, 0), c.Kind0) << c.Ch;
    EXPECT_EQ(uxIsNumericChar(c.Ch, 1), c.Kind1) << c.Ch;
    EXPECT_EQ(uxIsNumericChar(c.Ch, 2), c.Kind2) << c.Ch;
    EXPECT_EQ(uxIsNumericChar(c.Ch, 7), c.Kind0) << c.Ch;  // unknown kinds: digits and signs only
  }
  // The separator follows the locale.
  TFormatSettings saved = FormatSettings();
  FormatSettings().DecimalSeparator = ',';
  EXPECT_TRUE(uxIsNumericChar(',', 1));
  EXPECT_FALSE(uxIsNumericChar('.', 1));
  FormatSettings() = saved;

  EXPECT_FALSE(uxIsPrintableChar('\x1f'));
  EXPECT_FALSE(uxIsPrintableChar('\t'));
  EXPECT_TRUE(uxIsPrintableChar(' '));
  EXPECT_TRUE(uxIsPrintableChar('~'));
  EXPECT_TRUE(uxIsPrintableChar('\xb0'));  // a lead byte of a double-byte character
}

TEST(UxWinUtilTest, ShiftStateToMouseKeysAndKeys) {
  struct Case {
    TShiftState Shift;
    UINT Keys;
  } cases[] = {
      {{}, 0u},
      {{ssShift}, MK_SHIFT},
      {{ssCtrl}, MK_CONTROL},
      {{ssLeft}, MK_LBUTTON},
      {{ssRight}, MK_RBUTTON},
      {{ssMiddle}, MK_MBUTTON},
      {{ssAlt, ssDouble}, 0u},
      {{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle, ssAlt, ssDouble},
       MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON},
  };
  for (const Case& c : cases) EXPECT_EQ(uxShiftStateToMouseKeys(c.Shift), c.Keys);
  for (Word k : {Word(0), Word('A'), Word(VK_F12), Word(VK_PROCESSKEY), Word(0xFFFF)}) EXPECT_EQ(uxNormalizeKey(k), k);
}

// Within the threshold means strictly less than it on both axes.
TEST_F(UxWinUtilsTest, DragThresholdBoundaries) {
  const int t = GetSystemMetrics(SM_CXDRAG);
  ASSERT_EQ(t, 4);
  const TPoint p{100, 200};
  struct Case {
    int DX, DY;
    bool Inside;
  } cases[] = {
      {0, 0, true},   {3, 0, true},   {-3, 0, true},  {0, 3, true},  {0, -3, true}, {3, -3, true},
      {4, 0, false},  {-4, 0, false}, {0, 4, false},  {0, -4, false}, {3, 4, false}, {4, 3, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(uxIsInDragThreshold(p, p.x + c.DX, p.y + c.DY), c.Inside) << c.DX << "," << c.DY;
}

// Work area 0,0-1920,1080: each edge that sticks out is pulled in; the left
// and top edges win for a rectangle larger than the area.
TEST_F(UxWinUtilsTest, FitRectToWorkArea) {
  struct Case {
    TRect In, Out;
  } cases[] = {
      {{100, 100, 300, 200}, {100, 100, 300, 200}},          // inside
      {{1800, 100, 2000, 200}, {1720, 100, 1920, 200}},      // right
      {{100, 1000, 300, 1100}, {100, 980, 300, 1080}},       // bottom
      {{-50, 100, 150, 200}, {0, 100, 200, 200}},            // left
      {{100, -30, 300, 70}, {100, 0, 300, 100}},             // top
      {{1900, 1070, 2000, 1170}, {1820, 980, 1920, 1080}},   // bottom-right corner
      {{-500, 100, 2500, 200}, {0, 100, 3000, 200}},         // wider: left edge at 0
      {{1000, 500, 3500, 2000}, {0, 0, 2500, 1500}},         // larger both ways
  };
  for (const Case& c : cases) {
    TRect r = c.In;
    uxFitRectToWorkArea(r, TPoint{r.left, r.top});
    EXPECT_EQ(r, c.Out) << c.In.left << "," << c.In.top;
  }
  TRect r{90, 90, 120, 120};
  uxFitRectToArea(r, TRect{100, 100, 200, 200});
  EXPECT_EQ(r, (TRect{100, 100, 130, 130}));
}

TEST_F(UxWinUtilsTest, WindowsAndMapping) {
  TForm form(nullptr, 0);
  form.SetBounds(100, 100, 400, 300);
  auto* outer = new TBox(&form);
  outer->SetBounds(10, 20, 200, 150);
  outer->SetParent(&form);
  auto* inner = new TBox(&form);
  inner->SetBounds(5, 6, 50, 40);
  inner->SetParent(outer);
  auto* loose = new TBox(&form);  // no parent

  EXPECT_FALSE(uxHasAllocatedParentHandle(inner));
  EXPECT_FALSE(uxHasAllocatedParentHandle(loose));
  form.HandleNeeded();
  EXPECT_TRUE(uxHasAllocatedParentHandle(inner));
  EXPECT_FALSE(uxHasAllocatedParentHandle(&form));

  HWND f = form.Handle(), o = outer->Handle(), i = inner->Handle();
  EXPECT_TRUE(uxIsChildWindow(o));
  EXPECT_FALSE(uxIsChildWindow(f));
  EXPECT_TRUE(uxIsWindowOrChild(f, f));
  EXPECT_TRUE(uxIsWindowOrChild(f, i));
  EXPECT_TRUE(uxIsWindowOrChild(o, i));
  EXPECT_FALSE(uxIsWindowOrChild(i, o));

  TRect r{1, 2, 11, 12};
  uxMapRectBetweenWindows(i, o, r);
  EXPECT_EQ(r, (TRect{6, 8, 16, 18}));
  uxMapRectBetweenWindows(o, nullptr, r);
  TPoint origin = outer->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(r, (TRect{origin.x + 6, origin.y + 8, origin.x + 16, origin.y + 18}));
  uxMapRectBetweenWindows(nullptr, i, r);
  EXPECT_EQ(r, (TRect{1, 2, 11, 12}));

  hb->MouseMove(333, 444);
  PvProcessMessages();
  TPoint p;
  GetMouseCursorPos(p);
  EXPECT_EQ(p, (TPoint{333, 444}));
}

TEST_F(UxWinUtilsTest, CtrlPressedFollowsTheKeyboard) {
  EXPECT_FALSE(uxIsCtrlPressed());
  hb->KeyDown(VK_CONTROL);
  PvProcessMessages();
  EXPECT_TRUE(uxIsCtrlPressed());
  hb->KeyUp(VK_CONTROL);
  PvProcessMessages();
  EXPECT_FALSE(uxIsCtrlPressed());
}

struct Measure {
  void Item(TObject*, TCanvas*, int&, int& Height) { Height = 30; }
};

TEST_F(UxWinUtilsTest, PopupMenuHeight) {
  TCanvas* c = uxScreenCanvas()->Canvas();
  c->Font()->Assign(Screen->MenuFont());
  const int line = c->TextHeight("Qg") + 4;

  TPopupMenu menu(nullptr);
  EXPECT_EQ(uxGetPopupMenuHeight(&menu), 4);
  for (const char* s : {"One", "Two", "Three"}) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(s);
    menu.Items()->Add(item);
  }
  menu.Items()->Items(1)->SetVisible(false);
  EXPECT_EQ(uxGetPopupMenuHeight(&menu), 2 * line + 4);

  // Items that draw themselves measure themselves, starting from the text line.
  Measure m;
  menu.Items()->Items(0)->OnMeasureItem = TMenuMeasureItemEvent(&m, &Measure::Item);
  menu.SetOwnerDraw(true);
  int measured = line;
  int w = 0;
  menu.Items()->Items(2)->MeasureItem(c, w, measured);
  EXPECT_EQ(uxGetPopupMenuHeight(&menu), 30 + measured + 4);

  EXPECT_EQ(uxGetPopupMenuHeight(nullptr), 0);
}

TEST_F(UxWinUtilsTest, SetFormFontScalesByTextHeight) {
  TForm form(nullptr, 0);
  form.SetBounds(100, 100, 400, 300);
  form.SetClientSize(300, 200);
  auto* box = new TBox(&form);
  box->SetBounds(10, 20, 100, 40);
  box->SetParent(&form);
  auto* inner = new TBox(&form);
  inner->SetBounds(4, 6, 20, 10);
  inner->SetParent(box);

  TCanvas* c = form.Canvas();
  c->Font()->Assign(form.Font());
  const int h0 = c->TextHeight("Qq");
  TFont big;
  big.Assign(form.Font());
  big.SetSize(form.Font()->Size() * 2);
  c->Font()->Assign(&big);
  const int h1 = c->TextHeight("Qq");
  ASSERT_GT(h0, 0);
  ASSERT_NE(h0, h1);

  uxSetFormFont(&form, &big);
  EXPECT_EQ(form.Font()->Size(), big.Size());
  EXPECT_EQ(box->BoundsRect(), (TRect{MulDiv(10, h1, h0), MulDiv(20, h1, h0), MulDiv(10, h1, h0) + MulDiv(100, h1, h0),
                                      MulDiv(20, h1, h0) + MulDiv(40, h1, h0)}));
  EXPECT_EQ(inner->Left(), MulDiv(4, h1, h0));
  EXPECT_EQ(inner->Width(), MulDiv(20, h1, h0));
  EXPECT_EQ(form.ClientWidth(), MulDiv(300, h1, h0));
  EXPECT_EQ(form.ClientHeight(), MulDiv(200, h1, h0));
}

// ---- components that belong to a TuxControl ----

class TPart : public TuxControlChildComponent {
 public:
  using TuxControlChildComponent::TuxControlChildComponent;
  static std::vector<std::string>* NextLog;
  void SetControl(TuxControl* Value) override {
    if (NextLog) NextLog->push_back(Value ? "attach" : "detach");
    TuxControlChildComponent::SetControl(Value);
  }

 protected:
  void InitChildComponent() override {
    if (NextLog) NextLog->push_back("init");
  }
};
std::vector<std::string>* TPart::NextLog = nullptr;

class UxChildComponentTest : public UxWinUtilsTest {
 protected:
  TForm* Form = nullptr;
  TuxControl* Control = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    UxWinUtilsTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
    Control = NewObject<TuxControl>(Form);
    Control->SetParent(Form);
    TPart::NextLog = &Log;
  }
  void TearDown() override {
    TPart::NextLog = nullptr;
    delete Form;
    uxDoneLookAndFeel();
    UxWinUtilsTest::TearDown();
  }
};

TEST_F(UxChildComponentTest, CreatedForAControlInitialisesBeforeAttaching) {
  auto* owned = NewObject<TPart>(Control, true);
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "attach"}));
  EXPECT_EQ(owned->Owner(), Form);  // the control's owner
  EXPECT_EQ(owned->Control(), Control);
  EXPECT_TRUE(owned->HasParent());
  EXPECT_EQ(owned->GetParentComponent(), Control);

  auto* unowned = NewObject<TPart>(Control, false);
  EXPECT_EQ(unowned->Owner(), nullptr);
  EXPECT_EQ(unowned->Control(), Control);
  delete unowned;
}

TEST_F(UxChildComponentTest, ReadAsChildOfAControl) {
  auto* part = NewObject<TPart>(Form);
  EXPECT_EQ(Log, (std::vector<std::string>{"init"}));
  EXPECT_FALSE(part->HasParent());
  EXPECT_EQ(part->GetParentComponent(), nullptr);
  part->SetParentComponent(Form);  // not a TuxControl: stays alone
  EXPECT_EQ(part->Control(), nullptr);
  part->SetParentComponent(Control);
  EXPECT_EQ(part->Control(), Control);
  EXPECT_TRUE(part->HasParent());
}

// The control goes first: the component forgets it and is freed later safely.
TEST_F(UxChildComponentTest, OutlivesItsControl) {
  auto* owned = NewObject<TPart>(Control, true);
  auto* unowned = NewObject<TPart>(Control, false);
  delete Control;
  Control = nullptr;
  EXPECT_EQ(owned->Control(), nullptr);
  EXPECT_EQ(unowned->Control(), nullptr);
  EXPECT_FALSE(unowned->HasParent());
  delete unowned;
  delete owned;
}

TEST_F(UxWinUtilsTest, CursorsRegisteredAtStartUp) {
  uxInitWinUtils();
  EXPECT_EQ(Screen->Cursors(crUxHandPoint), LoadCursorA(nullptr, IDC_HAND));
}

}  // namespace
