// Panels, splitters, images, radio groups, colour boxes, scroll bars, bitmap
// and speed buttons, owner-drawn list boxes, and their window descriptions.
#include <gtest/gtest.h>
#include "platform/classes/filer.h"
#include "platform/controls/buttons.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

class ExtCtrls : public CtlTest {
 protected:
  TForm* form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    RegisterStandardWindowClasses();
    InitStdCtrlsProps();
    InitExtCtrlsProps();
    InitButtonsProps();
    form = NewObject<TForm>(Application, 0);
    form->SetBounds(40, 40, 420, 320);
    form->SetColor(clBtnFace);
  }
  template <class T>
  T* Add(int x, int y, int w, int h, TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->SetParent(parent ? parent : form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void ShowForm() {
    form->Show();
    Pump();
    UpdateWindow(form->Handle());
  }
  // The screen pixel under a client point of C, as 0xRRGGBB.
  std::uint32_t Px(TControl* C, int X, int Y) {
    TPoint p = C->ClientToScreen({X, Y});
    return hb->ScreenPixel(p.x, p.y) & 0xFFFFFF;
  }
  static std::uint32_t Rgb(TColor C) {
    COLORREF r = ColorToRGB(C);
    return ((r & 0xFF) << 16) | (r & 0xFF00) | ((r >> 16) & 0xFF);
  }
};

struct Counter {
  int n = 0;
  void Hit(TObject*) { ++n; }
};

const char kFormText[] = R"(object Form1: TForm
  Left = 40
  Top = 40
  Width = 420
  Height = 320
  Caption = '控件'
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 412
    Height = 40
    Align = alTop
    Alignment = taLeftJustify
    BevelInner = bvLowered
    BevelWidth = 2
    Caption = '标题'
    TabOrder = 0
  end
  object List1: TListBox
    Left = 0
    Top = 40
    Width = 100
    Height = 200
    Align = alLeft
    Items.Strings = (
      '甲'
      '乙')
    Style = lbOwnerDrawFixed
    ItemHeight = 20
    TabOrder = 1
  end
  object Splitter1: TSplitter
    Left = 100
    Top = 40
    Width = 4
    Height = 200
    MinSize = 40
  end
  object Radio1: TRadioGroup
    Left = 120
    Top = 50
    Width = 180
    Height = 80
    Caption = '方向'
    Columns = 2
    Items.Strings = (
      '上'
      '下'
      '左')
    ItemIndex = 1
    TabOrder = 2
  end
  object Colors1: TColorBox
    Left = 120
    Top = 140
    Width = 150
    Height = 22
    Selected = clRed
    TabOrder = 3
  end
  object Ok1: TBitBtn
    Left = 120
    Top = 180
    Width = 75
    Height = 25
    Kind = bkOK
    TabOrder = 4
  end
  object Speed1: TSpeedButton
    Left = 200
    Top = 180
    Width = 23
    Height = 22
    GroupIndex = 3
    Down = True
    Flat = True
  end
  object Check1: TCheckBox
    Left = 230
    Top = 180
    Width = 90
    Height = 17
    Caption = '选中'
    State = cbChecked
    TabOrder = 5
  end
  object Bar1: TScrollBar
    Left = 330
    Top = 50
    Width = 17
    Height = 120
    Kind = sbVertical
    Max = 50
    Position = 10
    TabOrder = 6
  end
  object Shape1: TShape
    Left = 360
    Top = 180
    Width = 20
    Height = 20
    Brush.Color = clRed
    Shape = stCircle
  end
end
)";

TEST_F(ExtCtrls, DescriptionLoadsLaysOutAndWritesBack) {
  ReadComponentFromText(Utf8ToAnsi(kFormText), form);
  auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  auto* list = dynamic_cast<TListBox*>(form->FindComponent("List1"));
  auto* split = dynamic_cast<TSplitter*>(form->FindComponent("Splitter1"));
  auto* radio = dynamic_cast<TRadioGroup*>(form->FindComponent("Radio1"));
  auto* colors = dynamic_cast<TColorBox*>(form->FindComponent("Colors1"));
  auto* ok = dynamic_cast<TBitBtn*>(form->FindComponent("Ok1"));
  auto* speed = dynamic_cast<TSpeedButton*>(form->FindComponent("Speed1"));
  auto* check = dynamic_cast<TCheckBox*>(form->FindComponent("Check1"));
  auto* bar = dynamic_cast<TScrollBar*>(form->FindComponent("Bar1"));
  auto* shape = dynamic_cast<TShape*>(form->FindComponent("Shape1"));
  ASSERT_TRUE(panel && list && split && radio && colors && ok && speed && check && bar && shape);
  ShowForm();

  EXPECT_EQ(panel->Caption(), Utf8ToAnsi("标题"));
  EXPECT_EQ(panel->Alignment(), taLeftJustify);
  EXPECT_EQ(panel->BevelInner(), bvLowered);
  EXPECT_EQ(panel->Width(), form->ClientWidth());
  EXPECT_EQ(list->Items()->GetCount(), 2);
  EXPECT_EQ(list->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(split->MinSize(), 40);
  EXPECT_EQ(split->Left(), list->Left() + list->Width());
  EXPECT_EQ(radio->ButtonCount(), 3);
  EXPECT_EQ(radio->ItemIndex(), 1);
  EXPECT_TRUE(radio->Buttons(1)->Checked());
  EXPECT_FALSE(radio->Buttons(0)->Checked());
  EXPECT_EQ(colors->Selected(), clRed);
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->Default());
  EXPECT_TRUE(speed->Down());
  EXPECT_TRUE(speed->Flat());
  EXPECT_EQ(check->State(), cbChecked);
  EXPECT_EQ(bar->Kind(), sbVertical);
  EXPECT_EQ(bar->Max(), 50);
  EXPECT_EQ(bar->Position(), 10);
  EXPECT_EQ(shape->Shape(), stCircle);
  EXPECT_EQ(shape->Brush()->Color(), clRed);

  // the writer keeps what differs from the defaults and leaves out the rest
  AnsiString text = WriteComponentToText(form);
  for (const char* kept : {"Kind = bkOK", "BevelInner = bvLowered", "Selected = clRed", "ItemIndex = 1",
                           "MinSize = 40", "GroupIndex = 3", "Down = True", "Kind = sbVertical", "Position = 10",
                           "Shape = stCircle", "State = cbChecked", "Columns = 2"})
    EXPECT_NE(text.find(kept), AnsiString::npos) << kept;
  for (const char* left : {"BevelOuter", "AutoSnap", "ResizeStyle", "NumGlyphs", "Checked = True"})
    EXPECT_EQ(text.find(left), AnsiString::npos) << left;
  // the radio group's own buttons and the colour box's list are not written
  EXPECT_EQ(text.find("TRadioButton"), AnsiString::npos);
  EXPECT_EQ(text.find("clMaroon"), AnsiString::npos);
}

TEST_F(ExtCtrls, PanelFrameShrinksTheClientAreaAndAlignsTheCaption) {
  auto* panel = Add<TPanel>(10, 10, 200, 60);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  auto* inner = Add<TBox>(0, 0, 10, 10, panel);
  inner->SetAlign(alClient);
  ShowForm();
  // outer bevel 2 + border 3 + inner bevel 2
  EXPECT_EQ(inner->BoundsRect(), TRect(7, 7, 193, 53));
  EXPECT_EQ(Px(panel, 0, 0), Rgb(clBtnHighlight));        // raised outer bevel: light top-left
  EXPECT_EQ(Px(panel, 199, 59), Rgb(clBtnShadow));        // and dark bottom-right
  EXPECT_EQ(Px(panel, 5, 5), Rgb(clBtnShadow));           // lowered inner bevel: dark top-left

  // the caption's leftmost ink moves with the alignment
  inner->SetVisible(false);
  panel->SetCaption("WWWW");
  int firstInk[3];
  TAlignment order[3] = {taLeftJustify, taCenter, taRightJustify};
  for (int i = 0; i < 3; ++i) {
    panel->SetAlignment(order[i]);
    Pump();
    UpdateWindow(panel->Handle());
    firstInk[i] = -1;
    for (int x = 7; x < 193 && firstInk[i] < 0; ++x)
      for (int y = 20; y < 40; ++y)
        if (Px(panel, x, y) != Rgb(clBtnFace)) {
          firstInk[i] = x;
          break;
        }
    ASSERT_GE(firstInk[i], 0) << i;
  }
  EXPECT_LT(firstInk[0], 15);
  EXPECT_LT(firstInk[0], firstInk[1]);
  EXPECT_LT(firstInk[1], firstInk[2]);
  EXPECT_THROW(panel->SetBorderStyle(bsSizeable), EInvalidOperation);
}

// A left list, a splitter beside it and a client memo.
class SplitterTest : public ExtCtrls {
 protected:
  TBox* left = nullptr;
  TSplitter* split = nullptr;
  TBox* client = nullptr;
  Counter moved;
  void SetUp() override {
    ExtCtrls::SetUp();
    form->SetClientSize(400, 200);
    left = Add<TBox>(0, 0, 100, 200);
    left->SetAlign(alLeft);
    split = Add<TSplitter>(100, 0, 4, 200);
    split->SetAlign(alLeft);
    split->SetMinSize(40);
    split->OnMoved = TNotifyEvent(&moved, &Counter::Hit);
    client = Add<TBox>(0, 0, 10, 10);
    client->SetAlign(alClient);
    ShowForm();
  }
  void DragBy(int dx) {
    TPoint p = At(split, 1, 100);
    hb->Drag(p.x, p.y, p.x + dx, p.y);
    Pump();
  }
};

TEST_F(SplitterTest, DragResizesTheNeighbourWithinItsLimits) {
  struct Case {
    bool autoSnap;
    int dx;
    int width;  // of the left control afterwards
  } cases[] = {
      {true, 50, 150},     // plain move
      {true, -40, 60},     // back
      {false, -90, 40},    // stops at MinSize
      {true, -90, 0},      // snaps shut at MinSize
      {true, 500, 356},    // the client keeps MinSize: 400 - 4 - 40
  };
  for (const Case& c : cases) {
    left->SetWidth(100);
    Pump();
    split->SetAutoSnap(c.autoSnap);
    int before = moved.n;
    DragBy(c.dx);
    EXPECT_EQ(left->Width(), c.width) << c.dx;
    EXPECT_EQ(split->Left(), c.width) << c.dx;
    EXPECT_EQ(client->Left(), c.width + 4) << c.dx;
    EXPECT_EQ(moved.n, before + 1) << c.dx;
  }
  // a drag that ends where it began changes nothing and reports nothing
  int before = moved.n;
  left->SetWidth(100);
  Pump();
  DragBy(0);
  EXPECT_EQ(left->Width(), 100);
  EXPECT_EQ(moved.n, before);
}

TEST_F(SplitterTest, RightAlignedSplitterGrowsItsNeighbourLeftwards) {
  auto* right = Add<TBox>(300, 0, 80, 200);
  right->SetAlign(alRight);
  auto* rs = Add<TSplitter>(290, 0, 4, 200);
  rs->SetAlign(alRight);
  Pump();
  ASSERT_EQ(rs->Left() + rs->Width(), right->Left());
  TPoint p = At(rs, 1, 50);
  hb->Drag(p.x, p.y, p.x - 30, p.y);
  Pump();
  EXPECT_EQ(right->Width(), 110);
  EXPECT_EQ(right->Left() + right->Width(), form->ClientWidth());
}

TEST_F(SplitterTest, DragLineIsDrawnOnTheDesktopAndRemoved) {
  TPoint p = At(split, 1, 100);
  std::uint32_t before = hb->ScreenPixel(p.x + 30, p.y);
  hb->MouseDown(p.x, p.y);
  hb->MouseMove(p.x + 15, p.y);
  hb->MouseMove(p.x + 30, p.y);
  Pump();
  EXPECT_TRUE(split->LineVisible());
  // the XOR line sits at the new edge, not where the drag started from
  EXPECT_NE(hb->ScreenPixel(p.x + 30, p.y), before);
  EXPECT_EQ(left->Width(), 100);  // nothing moves until the button is released
  hb->MouseUp(p.x + 30, p.y);
  Pump();
  UpdateWindow(form->Handle());
  EXPECT_FALSE(split->LineVisible());
  EXPECT_EQ(left->Width(), 130);
  // the overlay is clean again: the pixel shows the splitter/client as painted
  EXPECT_EQ(hb->ScreenPixel(p.x + 300, p.y) & 0xFFFFFF, Px(client, 300 - 4 - 30 + 1, 100));
}

TEST_F(ExtCtrls, RadioGroupKeepsIndexAndButtonsInStep) {
  auto* g = Add<TRadioGroup>(10, 10, 200, 100);
  Counter clicks;
  g->OnClick = TNotifyEvent(&clicks, &Counter::Hit);
  g->Items()->Add("A");
  g->Items()->Add("B");
  g->Items()->Add("C");
  g->Items()->Add("D");
  g->SetColumns(2);
  ShowForm();
  ASSERT_EQ(g->ButtonCount(), 4);
  EXPECT_EQ(g->ItemIndex(), -1);
  EXPECT_GT(g->Buttons(2)->Left(), g->Buttons(0)->Left());  // the second column
  EXPECT_EQ(g->Buttons(2)->Top(), g->Buttons(0)->Top());

  SendMessageA(g->Buttons(1)->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_EQ(clicks.n, 1);
  g->SetItemIndex(3);
  EXPECT_TRUE(g->Buttons(3)->Checked());
  EXPECT_FALSE(g->Buttons(1)->Checked());
  g->SetItemIndex(7);  // out of range: ignored
  EXPECT_EQ(g->ItemIndex(), 3);
  // deleting the selected item leaves the index inside the list
  g->Items()->Delete(3);
  EXPECT_EQ(g->ButtonCount(), 3);
  EXPECT_LT(g->ItemIndex(), 3);
  g->SetItemIndex(-1);
  for (int i = 0; i < g->ButtonCount(); ++i) EXPECT_FALSE(g->Buttons(i)->Checked());
}

TEST_F(ExtCtrls, ColorBoxNamesColoursAndAsksForACustomOne) {
  auto* cb = Add<TColorBox>(10, 10, 150, 22);
  ShowForm();
  int red = cb->Items()->IndexOf("clRed");
  ASSERT_GE(red, 0);
  EXPECT_EQ(cb->Colors(red), clRed);
  EXPECT_EQ(cb->ColorNames(0), "clBlack");
  cb->SetSelected(clNavy);
  EXPECT_EQ(cb->ColorNames(cb->ItemIndex()), "clNavy");
  // the system colours include the newer ones, such as the caption gradients
  for (TColor c : {clGradientInactiveCaption, clGradientActiveCaption, clHotLight, clMenuHighlight, clMenuBar}) {
    cb->SetSelected(c);
    ASSERT_GE(cb->ItemIndex(), 0);
    EXPECT_EQ(cb->Colors(cb->ItemIndex()), c);
  }
  EXPECT_EQ(cb->ColorNames(cb->Items()->IndexOf("clGradientInactiveCaption")), "clGradientInactiveCaption");
  cb->SetSelected(clNavy);
  EXPECT_THROW(cb->Colors(1000), EListError);

  cb->SetStyle(TColorBoxStyle{cbStandardColors, cbCustomColor, cbPrettyNames});
  EXPECT_EQ(cb->ColorNames(0), "Custom...");
  EXPECT_EQ(cb->Selected(), clNavy);  // the choice survives the new list
  EXPECT_EQ(cb->ColorNames(cb->ItemIndex()), "Navy");
  cb->SetSelected(TColor(0x123456));  // not a named colour: becomes the custom entry
  EXPECT_EQ(cb->ItemIndex(), 0);
  EXPECT_EQ(cb->Colors(0), TColor(0x123456));

  struct Answer {
    bool accept = false;
    TColor color = clBlack;
    int asked = 0;
    void Get(TObject*, TColor& c, bool& ok) {
      ++asked;
      c = color;
      ok = accept;
    }
  } answer;
  cb->OnGetCustomColor = decltype(cb->OnGetCustomColor)(&answer, &Answer::Get);
  cb->SetSelected(clRed);
  int redIndex = cb->ItemIndex();
  // choosing "Custom..." and cancelling goes back to red
  cb->SetItemIndex(0);
  cb->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
  EXPECT_EQ(answer.asked, 1);
  EXPECT_EQ(cb->ItemIndex(), redIndex);
  EXPECT_EQ(cb->Selected(), clRed);
  answer.accept = true;
  answer.color = TColor(0x00AA55);
  cb->SetItemIndex(0);
  cb->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
  EXPECT_EQ(cb->Selected(), TColor(0x00AA55));
}

TEST_F(ExtCtrls, ImagePlacesItsPicture) {
  auto* img = Add<TImage>(10, 10, 100, 50);
  img->Picture()->Bitmap()->SetSize(20, 10);
  struct Case {
    bool stretch, center, proportional;
    TRect dest;
  } cases[] = {
      {false, false, false, {0, 0, 20, 10}},
      {false, true, false, {40, 20, 60, 30}},
      {true, false, false, {0, 0, 100, 50}},
      {true, false, true, {0, 0, 100, 50}},
      {false, false, true, {0, 0, 20, 10}},  // proportional alone never enlarges
  };
  for (const Case& c : cases) {
    img->SetStretch(c.stretch);
    img->SetCenter(c.center);
    img->SetProportional(c.proportional);
    EXPECT_EQ(img->DestRect(), c.dest) << c.stretch << c.center << c.proportional;
  }
  img->Picture()->Bitmap()->SetSize(40, 10);
  img->SetStretch(true);
  img->SetProportional(true);
  img->SetCenter(true);
  EXPECT_EQ(img->DestRect(), TRect(0, 12, 100, 37));
}

TEST_F(ExtCtrls, TransparentImageLeavesItsBackgroundColourUnpainted) {
  auto* img = Add<TImage>(10, 10, 20, 20);
  TBitmap* b = img->Picture()->Bitmap();
  b->SetSize(20, 20);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(TRect(0, 0, 20, 20));
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(TRect(5, 5, 15, 15));
  ShowForm();
  EXPECT_EQ(Px(img, 1, 1), Rgb(clBlue));
  img->SetTransparent(true);
  UpdateWindow(form->Handle());
  EXPECT_EQ(Px(img, 1, 1), Rgb(clBtnFace));  // the bottom-left colour is the transparent one
  EXPECT_EQ(Px(img, 10, 10), Rgb(clRed));
}

TEST_F(ExtCtrls, SpeedButtonGroupsKeepOneDown) {
  TSpeedButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = Add<TSpeedButton>(10 + i * 30, 10, 23, 22);
    b[i]->SetGroupIndex(1);
  }
  auto* plain = Add<TSpeedButton>(120, 10, 23, 22);
  Counter clicks;
  plain->OnClick = TNotifyEvent(&clicks, &Counter::Hit);
  ShowForm();
  auto click = [&](TControl* c) {
    TPoint p = At(c, 5, 5);
    hb->Click(p.x, p.y);
    Pump();
  };
  click(b[0]);
  EXPECT_TRUE(b[0]->Down());
  click(b[1]);
  EXPECT_TRUE(b[1]->Down());
  EXPECT_FALSE(b[0]->Down());
  click(b[1]);  // the last one down stays down
  EXPECT_TRUE(b[1]->Down());
  b[1]->SetDown(false);
  EXPECT_TRUE(b[1]->Down());
  b[2]->SetAllowAllUp(true);  // for the whole group
  EXPECT_TRUE(b[1]->AllowAllUp());
  click(b[1]);
  EXPECT_FALSE(b[1]->Down());

  click(plain);
  EXPECT_FALSE(plain->Down());
  EXPECT_EQ(clicks.n, 1);
  plain->SetDown(true);  // no group: never stays down
  EXPECT_FALSE(plain->Down());
  // a press released outside the button is no click
  TPoint p = At(plain, 5, 5);
  hb->Drag(p.x, p.y, p.x + 100, p.y + 100);
  Pump();
  EXPECT_EQ(clicks.n, 1);
  EXPECT_EQ(plain->State(), bsUp);
}

TEST_F(ExtCtrls, BitBtnKindsPresetCaptionResultAndKeys) {
  struct Case {
    TBitBtnKind kind;
    const char* caption;
    TModalResult result;
    bool isDefault, isCancel;
  } cases[] = {
      {bkOK, "OK", mrOk, true, false},         {bkCancel, "Cancel", mrCancel, false, true},
      {bkYes, "&Yes", mrYes, true, false},     {bkNo, "&No", mrNo, false, true},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
      {bkHelp, "&Help", mrNone, false, false},
  };
  for (const Case& c : cases) {
    auto* btn = Add<TBitBtn>(10, 10, 75, 25);
    btn->SetKind(c.kind);
    EXPECT_EQ(btn->Caption(), c.caption) << c.kind;
    EXPECT_EQ(btn->ModalResult(), c.result) << c.kind;
    EXPECT_EQ(btn->Default(), c.isDefault) << c.kind;
    EXPECT_EQ(btn->Cancel(), c.isCancel) << c.kind;
    EXPECT_NE(btn->ShownGlyph(), nullptr) << c.kind;
    btn->SetParent(nullptr);
    delete btn;
  }
  auto* ok = Add<TBitBtn>(10, 10, 75, 25);
  ok->SetKind(bkOK);
  ShowForm();
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ModalResult(), mrOk);
  // drawn by the class library: a raised face around the glyph
  EXPECT_EQ(Px(ok, 0, 0), Rgb(clWindowFrame));  // default frame
  // a glyph of its own replaces the kind's
  TBitmap g;
  g.SetSize(32, 16);  // a strip of two
  ok->SetGlyph(&g);
  EXPECT_EQ(ok->NumGlyphs(), 2);
  EXPECT_EQ(ok->ShownGlyph(), ok->Glyph());
}

TEST_F(ExtCtrls, BitBtnCloseKindClosesItsForm) {
  auto* close = Add<TBitBtn>(10, 10, 75, 25);
  close->SetKind(bkClose);
  ShowForm();
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  SendMessageA(close->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(form->Visible());
}

TEST_F(ExtCtrls, ScrollBarKeepsPositionInRangeAndFollowsScrollCodes) {
  auto* bar = Add<TScrollBar>(10, 10, 200, 17);
  Counter changes;
  bar->OnChange = TNotifyEvent(&changes, &Counter::Hit);
  ShowForm();
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(bar->Min(), 0);  // a refused change leaves everything as it was
  bar->SetPosition(500);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(changes.n, 1);
  bar->SetSmallChange(3);
  bar->SetLargeChange(20);
  bar->SetPageSize(10);
  struct Case {
    unsigned code;
    int from, to;
  } cases[] = {
      {SB_LINEDOWN, 0, 3}, {SB_LINEUP, 1, 0},     {SB_PAGEDOWN, 10, 30},
      {SB_PAGEDOWN, 85, 91},  // the last full page starts at Max - PageSize + 1
      {SB_TOP, 40, 0},     {SB_BOTTOM, 40, 91},
  };
  for (const Case& c : cases) {
    bar->SetPosition(c.from);
    SendMessageA(form->Handle(), WM_HSCROLL, MAKEWPARAM(c.code, 0), reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), c.to) << c.code << " from " << c.from;
  }
  EXPECT_THROW(bar->SetPageSize(200), EInvalidOperation);
}

TEST_F(ExtCtrls, ScrollBarControlDrawsItsArrowsAndKeepsItsWindowState) {
  auto* bar = Add<TScrollBar>(10, 10, 17, 120);
  bar->SetKind(sbVertical);
  bar->SetBounds(10, 10, 17, 120);
  bar->SetParams(3, 0, 10);
  ShowForm();
  // the window's own scroll state follows the control
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 3);
  int lo = -1, hi = -1;
  GetScrollRange(bar->Handle(), SB_CTL, &lo, &hi);
  EXPECT_EQ(hi, 10);
  // and it is drawn: the up arrow's raised edge, its glyph, the track below it
  PvWindowImage img = PvCaptureWindow(bar->Handle());
  ASSERT_EQ(img.width, 17);
  auto rgb = [&](int x, int y) { return img.pixels[std::size_t(y) * img.width + x] & 0xFFFFFF; };
  auto sys = [](int index) {
    COLORREF c = GetSysColor(index);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  };
  int dark = 0;
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 15; ++x) dark += rgb(x, y) == sys(COLOR_BTNTEXT);
  EXPECT_GT(dark, 0) << "no arrow glyph";
  EXPECT_EQ(rgb(0, 16), sys(COLOR_3DLIGHT)) << "no button edge";
}

TEST_F(ExtCtrls, OwnerDrawListBoxMeasuresAndDrawsItsItems) {
  auto* list = Add<TListBox>(10, 10, 150, 150);
  list->SetStyle(lbOwnerDrawVariable);
  struct Owner {
    std::vector<int> drawn;
    TOwnerDrawState selectedState;
    TColor selectedBrush = clNone, selectedFont = clNone, plainBrush = clNone;
    TListBox* list = nullptr;
    void Measure(TWinControl*, int index, int& h) { h = 10 + index * 5; }
    void Draw(TWinControl*, int index, TRect r, TOwnerDrawState state) {
      drawn.push_back(index);
      if (state.Contains(odSelected)) {
        selectedState = state;
        selectedBrush = list->Canvas()->Brush()->Color();
        selectedFont = list->Canvas()->Font()->Color();
      } else {
        plainBrush = list->Canvas()->Brush()->Color();
      }
      list->Canvas()->Brush()->SetColor(index == 1 ? clRed : clLime);
      list->Canvas()->FillRect(r);
    }
  } owner;
  owner.list = list;
  list->OnMeasureItem = TMeasureItemEvent(&owner, &Owner::Measure);
  list->OnDrawItem = TDrawItemEvent(&owner, &Owner::Draw);
  for (const char* s : {"a", "b", "c"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  ShowForm();
  EXPECT_EQ(list->ItemRect(0).Height(), 10);
  EXPECT_EQ(list->ItemRect(2).Height(), 20);
  EXPECT_EQ(list->ItemRect(1).top, 10);
  EXPECT_FALSE(owner.drawn.empty());
  EXPECT_TRUE(owner.selectedState.Contains(odSelected));
  // a handler starts from the selection colours for the selected item, else the list's
  EXPECT_EQ(owner.selectedBrush, clHighlight);
  EXPECT_EQ(owner.selectedFont, clHighlightText);
  EXPECT_EQ(owner.plainBrush, list->Color());
  TRect r1 = list->ItemRect(1);
  EXPECT_EQ(Px(list, r1.left + 5, r1.top + 5), Rgb(clRed));
  TRect r2 = list->ItemRect(2);
  EXPECT_EQ(Px(list, r2.left + 5, r2.top + 5), Rgb(clLime));
}

TEST_F(ExtCtrls, StaticTextAcceleratorFocusesItsControl) {
  auto* other = Add<TEdit>(100, 40, 100, 21);
  auto* edit = Add<TEdit>(100, 10, 100, 21);
  auto* st = Add<TStaticText>(10, 10, 80, 17);
  st->SetCaption("&Name");
  st->SetFocusControl(edit);
  st->SetBorderStyle(sbsSunken);
  ShowForm();
  other->SetFocus();
  EXPECT_FALSE(edit->Focused());
  hb->Key('N', 0x4 /* Alt */);
  Pump();
  EXPECT_TRUE(edit->Focused());
  edit->SetParent(nullptr);
  delete edit;  // the link goes with it
  EXPECT_EQ(st->FocusControl(), nullptr);
}

TEST_F(ExtCtrls, ScreenshotOfAFormWithPanelSplitterAndControls) {
  ReadComponentFromText(Utf8ToAnsi(kFormText), form);
  auto* bevel = Add<TBevel>(120, 215, 200, 2);
  bevel->SetShape(bsTopLine);
  auto* st = Add<TStaticText>(120, 225, 80, 17);
  st->SetCaption(Utf8ToAnsi("静态文本"));
  st->SetBorderStyle(sbsSunken);
  ShowForm();
  auto* check = dynamic_cast<TCheckBox*>(form->FindComponent("Check1"));
  ASSERT_TRUE(check);
  EXPECT_EQ(check->Color(), form->Color());  // parent colour
  std::string path = ::testing::TempDir() + "extctrls_form.png";
  RECT area = form->BoundsRect();
  hb->SaveScreenshot(path, &area);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
}

}  // namespace
