// The drop-down base and the image editor: buttons in the frame and their
// widths, pressing and releasing them, the deferred drop-down, keys routed to
// a shown list, the wheel, placing the pop-up, and the image editor's list,
// steps, type-ahead and cells.
#include "inplace/tests/kxtest.h"

#include "inplace/kximage.h"

namespace {

class TProbeDropDown : public TkxInplaceDropDownEdit {
  PV_CLASS(TProbeDropDown, TkxInplaceDropDownEdit)
 public:
  explicit TProbeDropDown(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {}
  int DropDowns = 0, Clicks = 0;
  std::vector<int> Steps;
  void DropDown() override { ++DropDowns; }
  void ButtonClick(int) override { ++Clicks; }
  void StepItem(int Delta, bool) override { Steps.push_back(Delta); }
};

class Counter : public TObject {
 public:
  int Count = 0;
  bool Refuse = false;
  void Hit(TObject*) { ++Count; }
  void CloseUp(TObject*, AnsiString&, bool& Accept) {
    ++Count;
    if (Refuse) Accept = false;
  }
};

// An image list of N solid squares of size S in distinct colours.
TImageList* MakeImages(TComponent* Owner, int N, int S) {
  auto* list = new TImageList(Owner);
  list->SetWidth(S);
  list->SetHeight(S);
  const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};
  for (int i = 0; i < N; ++i) {
    TBitmap bmp;
    bmp.SetSize(S, S);
    bmp.Canvas()->Brush()->SetColor(colours[i % 6]);
    bmp.Canvas()->FillRect(kxRect(0, 0, S, S));
    list->Add(&bmp, nullptr);
  }
  return list;
}

class KxDropDownTest : public InplaceTest {
 protected:
  // The middle of button I (0 = next to the text) of a shown editor, in screen coordinates.
  TPoint ButtonPoint(TkxInplaceEdit* E, int Width, int Index = 0) {
    RECT r;
    GetWindowRect(E->Handle(), &r);
    return kxPoint(r.right - 2 - Width * Index - Width / 2, (r.top + r.bottom) / 2);
  }
};

TEST_F(KxDropDownTest, ButtonWidthsAndHiddenButtons) {
  auto* e = NewEditor<TProbeDropDown>();
  auto* ref = dynamic_cast<const TkxInplaceDropDownEdit::TClassRef*>(e->EditClass());
  ASSERT_NE(nullptr, ref);
  std::unique_ptr<TkxDropDownEditViewData> vd(static_cast<TkxDropDownEditViewData*>(e->CreateViewData(false)));
  const int sb = GetSystemMetrics(SM_CXVSCROLL);
  struct Case {
    TkxEditButtonViewStyle Style;
    int GlyphW;
    int Width;
  } cases[] = {{bts3D, 0, sb},        {btsFlat, 0, sb - 1}, {btsSimple, 0, sb - 1}, {btsHotFlat, 0, sb},
               {bts3D, 30, 34},       {btsFlat, 30, 33},    {btsSimple, 30, 33},    {btsHotFlat, 30, 32}};
  TBitmap glyph;
  for (const Case& c : cases) {
    glyph.SetSize(c.GlyphW, 10);
    vd->ButtonGlyph = c.GlyphW ? &glyph : nullptr;
    vd->ButtonStyle = c.Style;
    vd->ButtonsHidden = false;
    ref->CalcButtons(vd.get());
    ASSERT_EQ(1, vd->ButtonCount);
    EXPECT_EQ(c.Width, vd->ButtonEntries[0].Width) << int(c.Style) << " glyph " << c.GlyphW;
    EXPECT_EQ(c.GlyphW ? bkGlyph : bkDown, vd->ButtonEntries[0].Kind);
  }
  // An empty glyph is dropped and the arrow comes back.
  glyph.SetSize(0, 0);
  e->SetButtonGlyph(&glyph);
  EXPECT_EQ(nullptr, e->ButtonGlyphOrNull());
  // An inactive cell of a style that hides inactive buttons: no button, the text has the full width.
  e->Style()->SetButtonTransparence(ebtHideInactive);
  e->SetBounds(0, 0, 100, 20);
  vd.reset(static_cast<TkxDropDownEditViewData*>(e->CreateViewData(false)));
  TkxEditViewRects rects;
  ref->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(0, vd->ButtonCount);
  EXPECT_EQ(96, rects.ClientRect.Width());
  e->SetSelected(true);
  vd.reset(static_cast<TkxDropDownEditViewData*>(e->CreateViewData(false)));
  ref->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(1, vd->ButtonCount);
  EXPECT_EQ(96 - sb, rects.ClientRect.Width());
}

TEST_F(KxDropDownTest, PressingTheButtonDropsDownAfterTheClick) {
  auto* e = NewEditor<TProbeDropDown>();
  Activate(e, kxRect(20, 30, 180, 50), Variant("x"));
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  TPoint p = ButtonPoint(e, w);
  hb->MouseMove(p.x, p.y);
  Pump();
  EXPECT_EQ(0, e->HotButton());
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_EQ(1, e->DropDowns);  // posted, then run after the click
  EXPECT_EQ(0, e->PushedButton());
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(-1, e->PushedButton());
  EXPECT_EQ(1, e->Clicks);
  // Released outside the pushed button: no click.
  hb->MouseDown(p.x, p.y);
  hb->MouseMove(p.x - 80, p.y);
  hb->MouseUp(p.x - 80, p.y);
  Pump();
  EXPECT_EQ(1, e->Clicks);
  EXPECT_EQ(2, e->DropDowns);
  // Keys: Alt+Down and F4 drop down; the wheel steps one item per notch.
  Press(VK_DOWN, HeadlessBackend::Alt);
  Press(VK_F4);
  EXPECT_EQ(4, e->DropDowns);
  hb->Wheel(p.x - 80, p.y, -120);
  hb->Wheel(p.x - 80, p.y, 240);
  Pump();
  EXPECT_EQ((std::vector<int>{1, -1}), e->Steps);
  // Edit-button events: the host's hook first, then the editor's own.
  Counter host, own;
  std::vector<int> order;
  e->OnHostEditButtonClick = TNotifyEvent(&host, &Counter::Hit);
  e->OnEditButtonClick = TNotifyEvent(&own, &Counter::Hit);
  e->DoEditButtonClick();
  EXPECT_EQ(1, host.Count);
  EXPECT_EQ(1, own.Count);
}

TEST_F(KxDropDownTest, PopupPlacementWidensOnlyWhenAsked) {
  auto* e = NewEditor<TProbeDropDown>();
  Activate(e, kxRect(20, 30, 180, 50), Variant("x"));
  auto* popup = NewObject<TBox>(Form);
  popup->SetBounds(0, 0, 60, 40);
  RECT er;
  GetWindowRect(e->Handle(), &er);
  e->PositionPopup(popup, false);
  EXPECT_EQ(60, popup->Width());
  EXPECT_EQ(er.left, popup->Left());  // the border rectangle's left (a 3-D border fills the window)
  EXPECT_EQ(er.bottom, popup->Top());
  e->PositionPopup(popup, true);
  EXPECT_EQ(er.right - er.left, popup->Width());
  e->PopupAlignment = taRightJustify;
  popup->SetBounds(0, 0, 60, 40);
  e->PositionPopup(popup, false);
  EXPECT_EQ(er.right - 60, popup->Left());
  // Near the bottom of the work area the pop-up goes above the editor.
  TRect work;
  kxGetMonitorWorkArea(kxPoint(0, 0), work);
  Form->SetBounds(100, work.bottom - 120, 400, 110);
  Pump();
  e->ShowInRect(kxRect(20, 30, 180, 50));
  GetWindowRect(e->Handle(), &er);
  popup->SetBounds(0, 0, 60, 200);
  e->PositionPopup(popup, false);
  EXPECT_EQ(er.top - 200, popup->Top());
}

class KxImageEditTest : public KxDropDownTest {
 protected:
  TkxInplaceImageEdit* E = nullptr;
  TImageList* Images = nullptr;
  void SetUp() override {
    KxDropDownTest::SetUp();
    E = NewEditor<TkxInplaceImageEdit>();
    Images = MakeImages(Form, 4, 12);
    TStringList values, descriptions;
    values.SetCommaText("0,1,2,3");
    for (const char* d : {"Apple", "Banana", "apricot", "Cherry"}) descriptions.Add(d);
    E->SetValues(&values);
    E->SetDescriptions(&descriptions);
    E->SetImages(Images);
  }
};

TEST_F(KxImageEditTest, ClickOpensTheListKeysMoveInItEnterAccepts) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("1"));
  TPoint p = At(E, 10, 5);
  hb->Click(p.x, p.y);
  Pump();
  ASSERT_TRUE(E->PopupShown());
  TkxPopupImageListBox* list = E->ListBox();
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_EQ(E->Handle(), GetFocus());   // the list never takes the focus
  EXPECT_EQ(1, list->ItemIndex());
  EXPECT_EQ(4, list->Count());
  EXPECT_EQ(4 * list->ItemPixelHeight(), list->ClientHeight());
  Press(VK_DOWN);
  EXPECT_EQ(2, list->ItemIndex());
  EXPECT_TRUE(Host->KeysDown.empty());  // routed to the list, not the host
  int beeps = hb->BeepCount();
  Press(VK_RETURN);
  EXPECT_FALSE(E->PopupShown());
  EXPECT_FALSE(IsWindowVisible(list->Handle()));
  EXPECT_EQ("2", E->Text());
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(beeps, hb->BeepCount());
  EXPECT_TRUE(Host->KeysDown.empty());
  // F4 opens, Escape closes without accepting, Alt+Down accepts.
  Press(VK_F4);
  ASSERT_TRUE(E->PopupShown());
  Press(VK_UP);
  Press(VK_ESCAPE);
  EXPECT_EQ("2", E->Text());
  Press(VK_F4);
  Press(VK_UP);
  Press(VK_DOWN, HeadlessBackend::Alt);
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ("1", E->Text());
}

TEST_F(KxImageEditTest, ClickingAnItemInTheListChoosesIt) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("0"));
  Press(VK_F4);
  TkxPopupImageListBox* list = E->ListBox();
  RECT lr;
  GetWindowRect(list->Handle(), &lr);
  TRect item = list->ItemRect(3);
  TPoint p = list->ClientToScreen(kxPoint(item.left + 5, (item.top + item.bottom) / 2));
  hb->MouseMove(p.x, p.y);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ("3", E->Text());
  // A host hook that refuses the choice leaves the value as it was.
  Counter hook;
  hook.Refuse = true;
  E->OnHostCloseUp = TkxHostCloseUpEvent(&hook, &Counter::CloseUp);
  Press(VK_F4);
  Press(VK_UP);
  Press(VK_RETURN);
  EXPECT_EQ(1, hook.Count);
  EXPECT_EQ("3", E->Text());
}

TEST_F(KxImageEditTest, StepsTypeAheadAndEmptyValues) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("none"));
  TPoint p = At(E, 10, 5);
  hb->Wheel(p.x, p.y, -120);  // a text that is no value: the first value
  Pump();
  EXPECT_EQ("0", E->Text());
  hb->Wheel(p.x, p.y, 120);  // the first stays first
  Pump();
  EXPECT_EQ("0", E->Text());
  E->StepItem(10, false);
  EXPECT_EQ("3", E->Text());
  // Typing a repeats through the descriptions starting with it, wrapping.
  E->SetEditValue(Variant("3"));
  std::vector<AnsiString> seen;
  for (int i = 0; i < 3; ++i) {
    E->Perform(WM_CHAR, 'a', 0);
    seen.push_back(E->Text());
  }
  EXPECT_EQ((std::vector<AnsiString>{"0", "2", "0"}), seen);
  // More descriptions than values: the extra ones are never chosen.
  TStringList more;
  for (const char* d : {"Apple", "Banana", "apricot", "Cherry", "Zebra"}) more.Add(d);
  E->SetDescriptions(&more);
  E->Perform(WM_CHAR, 'z', 0);
  EXPECT_EQ("0", E->Text());
  // Without values the list never opens, though the button event fires, and stepping does nothing.
  Counter clicks;
  E->OnEditButtonClick = TNotifyEvent(&clicks, &Counter::Hit);
  TStringList empty;
  E->SetValues(&empty);
  Press(VK_F4);
  EXPECT_EQ(1, clicks.Count);
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ(E->ListBox(), E->CurrentPopup());
  E->StepItem(1, false);
  EXPECT_EQ("0", E->Text());
}

TEST_F(KxImageEditTest, LookupOfImageIndexes) {
  TStringList values, indexes;
  values.SetCommaText("a,b,c,d");
  indexes.SetCommaText("3,x");
  struct Case {
    const char* Text;
    bool DefaultImages;
    int Description, Image;
  } cases[] = {{"a", true, 0, 0}, {"c", true, 2, 2}, {"a", false, 0, 3}, {"b", false, 1, -1},
               {"c", false, 2, 2}, {"q", false, -1, -1}};
  TStringList descriptions;
  descriptions.SetCommaText("A,B,C");
  for (const Case& c : cases) {
    int d = 0, i = 0;
    TkxInplaceImageEdit::LookupValueIndexes(c.Text, &indexes, d, i, c.DefaultImages, &values, &descriptions);
    EXPECT_EQ(c.Description, d) << c.Text << c.DefaultImages;
    EXPECT_EQ(c.Image, i) << c.Text << c.DefaultImages;
  }
  // The list shows no image for a value without an index entry.
  E->SetValues(&values);
  E->SetImageIndexes(&indexes);
  E->SetDefaultImages(false);
  Activate(E, kxRect(20, 30, 180, 50), Variant("a"));
  Press(VK_F4);
  TStrings* items = E->ListBox()->Items();
  ASSERT_EQ(4, items->Count());
  EXPECT_EQ(3, int(reinterpret_cast<std::intptr_t>(items->Objects(0))));
  EXPECT_EQ(-2, int(reinterpret_cast<std::intptr_t>(items->Objects(1))));
  EXPECT_EQ(-2, int(reinterpret_cast<std::intptr_t>(items->Objects(2))));
}

TEST_F(KxImageEditTest, CellsShowImageAndDescription) {
  Activate(E, kxRect(20, 30, 180, 50), Variant("2"));
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  // A description-less, centred image.
  E->SetShowDescription(false);
  TRawImage centred = ClassShot(E);
  const int mid = centred.Width / 2;
  EXPECT_EQ(0xFF0000FFu & 0xFFFFFF, centred.At(mid - 12, centred.Height / 2) & 0xFFFFFF);  // blue image
  E->SetShowDescription(true);
  E->SetEditValue(Variant("none"));
  TRawImage raw = ClassShot(E);
  EXPECT_TRUE(MatchesReference(SideBySide(SideBySide(live, cls), SideBySide(centred, raw)), "inplace/tests/ref",
                               "image_cell"));
}

}  // namespace
