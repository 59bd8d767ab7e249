// Large buttons (sizes, the images they choose and gray scale, the index
// synchronisation read from descriptions) and colour combos (entries for
// colours, the automatic entry, the colour dialog and the colour button).
#include "bars/tests/kxbaritemstest.h"
#include "platform/controls/dlgscript.h"

namespace kxbaritemsbtn_test {

class BarsLargeItemsTest : public BarsItemsTest {
 protected:
  // An image list of Size-pixel squares in the given colours.
  TImageList* Squares(int Size, std::initializer_list<TColor> Colors) {
    auto* list = new TImageList(F);
    list->SetSize(Size, Size);
    for (TColor c : Colors) {
      TBitmap b;
      b.SetSize(Size, Size);
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(TRect{0, 0, Size, Size});
      b.Canvas()->SetPixel(0, Size - 1, clFuchsia);  // the corner that tells the transparent colour
      list->AddMasked(&b, clFuchsia);
    }
    return list;
  }
  int TextHeight() {
    SIZE s{};
    GetTextExtentPoint32A(Bar()->FontDC(), "Qq", 2, &s);
    return s.cy;
  }
  int TextWidth(const AnsiString& T) {
    SIZE s{};
    GetTextExtentPoint32A(Bar()->FontDC(), T.c_str(), int(T.size()), &s);
    return s.cx;
  }
};

// The natural size follows the image and the caption's place; fixed sizes
// win; negative ones are ignored.
TEST_F(BarsLargeItemsTest, ALargeButtonIsSizedByItsImageAndCaption) {
  F->BarManager1->SetLargeImages(Squares(32, {clRed, clLime}));
  auto* b = new TkxBarLargeButton(F);
  b->SetCaption(A("新建故事"));
  b->SetLargeImageIndex(1);
  OnToolbar(b);
  auto size = [&] {
    TRect r = ToolLink(b)->Control()->ItemRect();
    return std::make_pair(r.Width(), r.Height());
  };
  int th = TextHeight(), tw = TextWidth(A("新建故事"));
  EXPECT_EQ(size(), std::make_pair(std::max(32 + 10, tw + 16), 32 + 6 + th + 1)) << "glyph on top";
  b->SetGlyphLayout(glLeft);
  Pump();
  EXPECT_EQ(size(), std::make_pair(32 + 10 + tw + 6, std::max(32 + 6, th + 6)));
  b->SetShowCaption(false);
  Pump();
  EXPECT_EQ(size().first, 42);
  b->SetWidth(-3);
  EXPECT_EQ(b->Width(), 0);
  b->SetWidth(60);
  b->SetHeight(50);
  Pump();
  EXPECT_EQ(size(), std::make_pair(60, 50));
  // without any image
  b->SetWidth(0);
  b->SetHeight(0);
  b->SetLargeImageIndex(-1);
  Pump();
  EXPECT_EQ(size(), std::make_pair(30, 26));
  EXPECT_FALSE(b->CanUseAccel(ToolLink(b))) << "no caption on a toolbar";
}

// A hot image alone serves hot and not hot; not hot, an enabled button shows
// it in gray scale.
TEST_F(BarsLargeItemsTest, AHotImageAloneIsGrayUntilHot) {
  F->BarManager1->SetHotImages(Squares(24, {clRed, clRed, clRed, clBlue}));
  auto* b = new TkxBarLargeButton(F);
  b->SetCaption("Go");
  b->SetShowCaption(false);
  b->SetHotImageIndex(3);
  OnToolbar(b);
  auto* c = dynamic_cast<TkxBarLargeButtonControl*>(ToolLink(b)->Control());
  ASSERT_NE(c, nullptr);
  for (bool hot : {false, true}) {
    TkxBarLargeButtonControl::TImage img = c->ChooseImage(hot);
    EXPECT_EQ(img.Images, F->BarManager1->HotImages());
    EXPECT_EQ(img.Index, 3);
  }
  TRect r = c->ItemRect();
  TPoint mid{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  Bar()->Repaint();
  Pump();
  unsigned idle = PixelAt(mid.x, mid.y);
  EXPECT_NE(idle, 0x0000FFu);
  EXPECT_EQ((idle >> 16) & 0xFF, idle & 0xFF) << "gray";
  EXPECT_EQ((idle >> 8) & 0xFF, idle & 0xFF);
  b->SetAutoGrayScale(false);
  Pump();
  EXPECT_EQ(PixelAt(mid.x, mid.y), 0x0000FFu);
}

// Read from a description: ImageIndex alone fills LargeImageIndex and keeps
// the two in step; a button written with SyncImageIndex False keeps both.
TEST_F(BarsLargeItemsTest, ImageIndexesFollowEachOtherUnlessToldApart) {
  const char* text = R"(object Form3: TForm
  object Manager3: TkxBarManager
    object Synced: TkxBarLargeButton
      Category = 0
      ImageIndex = 5
    end
    object Apart: TkxBarLargeButton
      Category = 0
      ImageIndex = 5
      LargeImageIndex = 7
      SyncImageIndex = False
    end
  end
end
)";
  TForm* form = FormFromText(text);
  auto* synced = dynamic_cast<TkxBarLargeButton*>(form->FindComponent("Synced"));
  auto* apart = dynamic_cast<TkxBarLargeButton*>(form->FindComponent("Apart"));
  ASSERT_NE(synced, nullptr);
  ASSERT_NE(apart, nullptr);
  EXPECT_EQ(synced->LargeImageIndex(), 5);
  EXPECT_TRUE(synced->SyncImageIndex());
  EXPECT_EQ(apart->ImageIndex(), 5);
  EXPECT_EQ(apart->LargeImageIndex(), 7);
  EXPECT_FALSE(apart->SyncImageIndex());
  // in step: a new large index moves the small one
  synced->SetLargeImageIndex(2);
  EXPECT_EQ(synced->ImageIndex(), 2);
  AnsiString written = WriteComponentToText(form);
  std::size_t s = written.find("object Synced");
  std::size_t a = written.find("object Apart");
  ASSERT_NE(s, AnsiString::npos);
  ASSERT_NE(a, AnsiString::npos);
  AnsiString syncedText = written.substr(s, a - s), apartText = written.substr(a);
  EXPECT_EQ(syncedText.find(" ImageIndex = "), AnsiString::npos) << "the small index follows the large one";
  EXPECT_NE(syncedText.find("LargeImageIndex = 2"), AnsiString::npos);
  EXPECT_NE(apartText.find(" ImageIndex = 5"), AnsiString::npos);
  form->Free();
}

// ---- colour combo ----

TEST_F(BarsLargeItemsTest, ColoursChooseTheirEntries) {
  auto* c = new TkxBarColorCombo(F);
  EXPECT_EQ(c->Items()->Count(), 16);
  EXPECT_EQ(c->DropDownCount(), 16);
  EXPECT_FALSE(c->ShowEditor());
  struct Case {
    TColor Color;
    bool Auto;
    int Index;
    const char* Text;
  };
  const Case cases[] = {{clRed, false, 9, "红"},          {clRed, true, 10, "红"},
                        {clBtnFace, false, -1, ""},       {TColor(RGB(0, 128, 128)), false, 6, "青色"},
                        {clWindowText, true, 0, "(自动)"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Index);
    c->SetShowAutoColor(k.Auto);
    c->SetColor(k.Color);
    EXPECT_EQ(c->ItemIndex(), k.Index);
    EXPECT_EQ(c->Text(), A(k.Text));
    EXPECT_EQ(c->Color(), k.Color);
  }
  // the automatic entry changes the default list length, not a chosen one
  c->SetShowAutoColor(false);
  EXPECT_EQ(c->DropDownCount(), 16);
  c->SetShowAutoColor(true);
  EXPECT_EQ(c->DropDownCount(), 17);
  c->SetShowAutoColor(false);
  c->SetDropDownCount(10);
  c->SetShowAutoColor(true);
  EXPECT_EQ(c->DropDownCount(), 10);
  // choosing an entry sets the colour (the automatic entry is first)
  c->SetItemIndex(14);
  EXPECT_EQ(c->Color(), TColor(RGB(255, 0, 255)));
}

// A colour outside the list shows the custom text with a box of that colour.
TEST_F(BarsLargeItemsTest, ACustomColourShowsItsBox) {
  auto* c = new TkxBarColorCombo(F);
  c->SetWidth(110);
  TColor odd = TColor(RGB(10, 200, 30));
  c->SetColor(odd);
  OnToolbar(c);
  EXPECT_EQ(c->ItemIndex(), -1);
  TRect r = ToolLink(c)->Control()->ItemRect();
  Bar()->Repaint();
  Pump();
  int boxed = 0;
  for (int x = r.left; x < r.right; ++x) boxed += PixelAt(x, (r.top + r.bottom) / 2) == 0x0AC81Eu;
  EXPECT_GE(boxed, 20) << "the colour box";
}

// The dialog opens with the current colour; OK takes its colour, Cancel
// leaves the colour as it was.
TEST_F(BarsLargeItemsTest, TheColourDialogChangesTheColour) {
  auto* c = new TkxBarColorCombo(F);
  c->SetColor(clRed);
  QueueDialogAnswer(TDialogAnswer().TypeText("$00FF00").Press(mrOk));
  c->DoClick();
  EXPECT_EQ(c->Color(), TColor(0x00FF00));
  EXPECT_EQ(c->ItemIndex(), 10);
  AnswerCancel();
  c->DoClick();
  EXPECT_EQ(c->Color(), TColor(0x00FF00));
  EXPECT_EQ(PendingDialogAnswers(), 0);
}

// The colour button: (height - 4) div 7 * 7 + 4 pixels wide, only where it
// takes less than half the item.
TEST_F(BarsLargeItemsTest, TheColourButtonNeedsRoom) {
  auto* c = new TkxBarColorCombo(F);
  c->SetShowCustomColorButton(true);
  OnToolbar(c);
  auto* control = dynamic_cast<TkxBarColorComboControl*>(ToolLink(c)->Control());
  ASSERT_NE(control, nullptr);
  HDC dc = Bar()->FontDC();
  control->Paint(dc, TRect{0, 0, 100, 21}, kxPaintKindToolbar);
  EXPECT_EQ(control->ColorButtonRect(), (TRect{82, 0, 100, 21}));
  control->Paint(dc, TRect{0, 0, 35, 21}, kxPaintKindToolbar);
  EXPECT_EQ(control->ColorButtonRect(), TRect{});
}

}  // namespace kxbaritemsbtn_test
