// Picture values and the graphic editor: headers, empty and unreadable
// values, values that are no string, the picture's place in the cell, the
// commands by key, the context menu, and the floating toolbar (placement,
// enabled states, the clipboard).
#include "inplace/tests/kxtest.h"

#include "inplace/kxgraphic.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/dlgscript.h"
#include "platform/gdi/tests/refimage.h"

namespace {

// A W x H bitmap picture, its left half red and its right half blue.
void MakeHalves(TPicture* P, int W, int H) {
  TBitmap b;
  b.SetSize(W, H);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(kxRect(0, 0, W / 2, H));
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FillRect(kxRect(W / 2, 0, W, H));
  P->SetBitmap(&b);
}

AnsiString WithHeader(const AnsiString& Bytes, std::uint32_t Size) {
  AnsiString h("\x01\x00\x00\x01", 4);
  for (int i = 0; i < 4; ++i) h += char((Size >> (8 * i)) & 0xFF);
  return h + Bytes;
}

class KxGraphicTest : public InplaceTest {
 protected:
  TkxInplaceGraphicEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceGraphicEdit>();
  }
  void ClearClipboard() {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
  }
  bool ToolbarShown() { return E->ToolBar()->HandleAllocated() && IsWindowVisible(E->ToolBar()->Handle()); }
};

TEST_F(KxGraphicTest, PictureValuesWithAndWithoutHeader) {
  TPicture source;
  MakeHalves(&source, 6, 4);
  const AnsiString bytes = kxPictureToString(&source);
  ASSERT_FALSE(bytes.empty());
  struct Case {
    const char* Name;
    AnsiString Value;
    bool Loads;
  } cases[] = {
      {"plain", bytes, true},
      {"header", WithHeader(bytes, std::uint32_t(bytes.size())), true},
      {"header with a wrong size", WithHeader(bytes, std::uint32_t(bytes.size() + 1)), false},
      {"short", AnsiString("\x01\x00\x00\x01", 4), false},
      {"garbage", AnsiString("not a picture at all"), false},
  };
  for (const Case& c : cases) {
    TPicture p;
    MakeHalves(&p, 2, 2);  // what a failed load must leave alone
    if (c.Loads) {
      kxLoadPictureFromValue(&p, nullptr, Variant(c.Value));
      EXPECT_EQ(6, p.Width()) << c.Name;
      EXPECT_EQ(clBlue, p.Bitmap()->Canvas()->Pixels(5, 3)) << c.Name;
    } else {
      EXPECT_THROW(kxLoadPictureFromValue(&p, nullptr, Variant(c.Value)), Exception) << c.Name;
      EXPECT_EQ(2, p.Width()) << c.Name;
    }
  }
  // With a graphic class a failed load keeps the graphic too.
  TPicture p;
  MakeHalves(&p, 2, 2);
  EXPECT_THROW(kxLoadPictureFromValue(&p, TIcon::StaticClass(), Variant(bytes)), Exception);
  EXPECT_EQ(2, p.Width());
  kxLoadPictureFromValue(&p, TBitmap::StaticClass(), Variant(bytes));
  EXPECT_EQ(6, p.Width());
  // Empty, Null and values that are no string clear the picture; nothing crashes.
  for (const Variant& v : {Variant(AnsiString()), Variant::Null(), Variant(12345678), Variant(3.5), Variant()}) {
    MakeHalves(&p, 2, 2);
    kxLoadPictureFromValue(&p, nullptr, v);
    EXPECT_TRUE(kxIsPictureEmpty(&p));
  }
  EXPECT_EQ("", kxPictureToString(&p));
  EXPECT_EQ("", kxPictureToString(nullptr));
}

TEST_F(KxGraphicTest, TheValueIsThePicturesBytes) {
  TPicture source;
  MakeHalves(&source, 6, 4);
  const AnsiString bytes = kxPictureToString(&source);
  Activate(E, kxRect(20, 30, 160, 130), Variant(bytes));
  EXPECT_EQ(6, E->Picture()->Width());
  EXPECT_FALSE(E->Modified());
  Variant v = E->EditValue();
  ASSERT_TRUE(VarIsStr(v));
  EXPECT_EQ(bytes, v.AsString());
  // A number reaching the editor is no picture: the cell empties, nothing crashes.
  E->SetEditValue(Variant(0x12345678));
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
  EXPECT_TRUE(E->EditValue().IsNull());
  // An unreadable value raises and keeps the picture shown.
  E->SetEditValue(Variant(bytes));
  EXPECT_THROW(E->SetEditValue(Variant(AnsiString("broken"))), Exception);
  EXPECT_EQ(6, E->Picture()->Width());
  EXPECT_FALSE(E->Modified());
  // The host's picture handler sees the picture that is read.
  struct Swap {
    TPicture* Other;
    void Assign(TObject*, TPicture*& P) { P = Other; }
  } swap{&source};
  TPicture other;
  MakeHalves(&other, 8, 8);
  swap.Other = &other;
  E->OnAssignPicture = TkxGraphicEditAssignPictureEvent(&swap, &Swap::Assign);
  EXPECT_EQ(kxPictureToString(&other), E->EditValue().AsString());
}

TEST_F(KxGraphicTest, ThePicturesPlaceInTheCell) {
  TPicture pic;
  MakeHalves(&pic, 200, 100);
  auto draw = [&](bool Stretch, bool Center) {
    TkxGraphicEditViewData vd;
    vd.Picture = &pic;
    vd.Stretch = Stretch;
    vd.Center = Center;
    vd.Brush = CreateSolidBrush(RGB(0, 255, 0));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 100);
    HGDIOBJ old = SelectObject(dc, bmp);
    E->EditClass()->DrawClient(dc, kxRect(0, 0, 100, 100), false, &vd);
    std::vector<COLORREF> px = {GetPixel(dc, 10, 10), GetPixel(dc, 90, 10), GetPixel(dc, 10, 49),
                                GetPixel(dc, 10, 50), GetPixel(dc, 10, 99)};
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteObject(vd.Brush);
    return px;
  };
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
  // Stretched: 100 x 50 at the top, the rest the background.
  EXPECT_EQ((std::vector<COLORREF>{red, blue, red, green, green}), draw(true, true));
  // Centred at its own size: offset by (-50, 0), the middle of the picture shows.
  EXPECT_EQ((std::vector<COLORREF>{red, blue, red, red, red}), draw(false, true));
  // At the top-left without centring: only the red half shows.
  EXPECT_EQ((std::vector<COLORREF>{red, red, red, red, red}), draw(false, false));
}

TEST_F(KxGraphicTest, CommandsByKey) {
  ClearClipboard();
  TPicture pic;
  MakeHalves(&pic, 6, 4);
  Activate(E, kxRect(20, 30, 160, 130), Variant(kxPictureToString(&pic)));
  E->SetFocus();
  Pump();
  Press('C', HeadlessBackend::Ctrl);
  EXPECT_TRUE(ClipboardHasFormat(CF_PICTURE));
  Press(VK_DELETE, HeadlessBackend::Shift);  // cut
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
  EXPECT_TRUE(E->Modified());
  Press(VK_INSERT, HeadlessBackend::Shift);  // paste
  EXPECT_EQ(6, E->Picture()->Width());
  // A host that refuses changes keeps the picture.
  Host->ModifyOk = false;
  Press('X', HeadlessBackend::Ctrl);
  EXPECT_EQ(6, E->Picture()->Width());
  EXPECT_TRUE(ClipboardHasFormat(CF_PICTURE));
  Host->ModifyOk = true;
  E->PerformCommand(ptbDelete);
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
  // Without a picture on the clipboard, paste does nothing.
  ClearClipboard();
  Press('V', HeadlessBackend::Ctrl);
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
}

TEST_F(KxGraphicTest, LoadAndSaveThroughThePictureDialogs) {
  TKxTempDir dir;
  TPicture pic;
  MakeHalves(&pic, 6, 4);
  Activate(E, kxRect(20, 30, 160, 130), Variant(kxPictureToString(&pic)));
  // Saved under a name without extension: the bitmap's own is added.
  AnswerText(AnsiString(dir.Path) + "/cell");
  E->PerformCommand(ptbSave);
  ASSERT_TRUE(std::filesystem::exists(dir.Path + "/cell.bmp"));
  E->PerformCommand(ptbDelete);
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
  AnswerText(AnsiString(dir.Path) + "/cell.bmp");
  E->PerformCommand(ptbLoad);
  EXPECT_EQ(6, E->Picture()->Width());
  // Cancelled, nothing changes; without a picture nothing is saved.
  AnswerCancel();
  E->PerformCommand(ptbLoad);
  EXPECT_EQ(6, E->Picture()->Width());
  E->PerformCommand(ptbDelete);
  E->PerformCommand(ptbSave);
  EXPECT_EQ(0, PendingDialogAnswers());
}

TEST_F(KxGraphicTest, TheContextMenuShowsTheChosenCommands) {
  Activate(E, kxRect(20, 30, 160, 130), Variant(AnsiString()));
  E->PopupToolBar()->Buttons = TkxPopupToolBarButtons{ptbCopy, ptbPaste, ptbCustom};
  E->PopupToolBar()->CustomButtonCaption = "Effects";
  TPopupMenu* m = E->PrepareContextMenu();
  ASSERT_EQ(9, m->Items()->Count());
  std::vector<bool> visible, enabled;
  for (int i = 0; i < 9; ++i) {
    visible.push_back(m->Items()->Items(i)->Visible());
    enabled.push_back(m->Items()->Items(i)->Enabled());
  }
  EXPECT_EQ((std::vector<bool>{false, true, true, false, false, false, false, true, true}), visible);
  EXPECT_EQ("Effects", m->Items()->Items(8)->Caption());
  EXPECT_FALSE(enabled[1]);  // nothing to copy
  EXPECT_EQ("&Copy", m->Items()->Items(1)->Caption());
  struct Hits {
    int N = 0;
    void Hit(TObject*) { ++N; }
  } hits;
  E->OnCustomClick = TNotifyEvent(&hits, &Hits::Hit);
  m->Items()->Items(8)->Click();
  EXPECT_EQ(1, hits.N);
}

TEST_F(KxGraphicTest, TheFloatingToolbar) {
  TPicture pic;
  MakeHalves(&pic, 6, 4);
  E->PopupToolBar()->SetIsPopupMenu(false);
  Activate(E, kxRect(20, 30, 160, 130), Variant(kxPictureToString(&pic)));
  E->SetFocus();
  Pump();
  EXPECT_FALSE(ToolbarShown());
  TPoint p = At(E, 20, 20);
  hb->DoubleClick(p.x, p.y);
  Pump();
  ASSERT_TRUE(ToolbarShown());
  EXPECT_EQ(E->Handle(), GetFocus());  // shown without activation
  TkxPopupToolBar* t = E->ToolBar();
  RECT er;
  GetWindowRect(E->Handle(), &er);
  EXPECT_EQ(er.bottom, t->Top());  // below the editor
  EXPECT_EQ(er.left, t->Left());
  // Enabled states: cut, copy, delete, load and save with a picture.
  ClearClipboard();
  t->UpdateButtons();
  std::vector<bool> enabled;
  for (int i = 0; i < 6; ++i) enabled.push_back(t->Button(i)->Enabled());
  EXPECT_EQ((std::vector<bool>{true, true, false, true, true, true}), enabled);
  // A picture put on the clipboard elsewhere enables Paste.
  CopyPictureToClipboard(&pic);
  Pump();
  EXPECT_TRUE(t->Button(ptbPaste)->Enabled());
  // A click on Delete empties the cell.
  TSpeedButton* del = t->Button(ptbDelete);
  TPoint d = At(del, del->Width() / 2, del->Height() / 2);
  hb->Click(d.x, d.y);
  Pump();
  EXPECT_TRUE(kxIsPictureEmpty(E->Picture()));
  EXPECT_FALSE(t->Button(ptbCut)->Enabled());
  // Losing the focus to another control hides it.
  auto* other = NewObject<TTestContainer>(Form);
  other->SetParent(Form);
  other->SetBounds(10, 250, 50, 20);
  other->SetFocus();
  Pump();
  EXPECT_FALSE(ToolbarShown());
}

TEST_F(KxGraphicTest, ABottomToolbarAtTheFootOfTheScreenGoesAbove) {
  TRect work;
  kxGetMonitorWorkArea(kxPoint(0, 0), work);
  Form->SetBounds(100, work.bottom - 160, 400, 150);
  Pump();
  E->PopupToolBar()->SetIsPopupMenu(false);
  Activate(E, kxRect(20, 30, 160, 130), Variant(AnsiString()));
  E->SetFocus();
  E->ShowToolbar();
  Pump();
  ASSERT_TRUE(ToolbarShown());
  RECT er;
  GetWindowRect(E->Handle(), &er);
  EXPECT_EQ(er.top, E->ToolBar()->Top() + E->ToolBar()->Height());
  // A toolbar moved by the user reopens where it was.
  E->HideToolbar();
  E->ToolBar()->SetBounds(300, 200, E->ToolBar()->Width(), E->ToolBar()->Height());
  E->ShowToolbar();
  EXPECT_EQ(kxPoint(300, 200), E->ToolbarPos);
  EXPECT_EQ(300, E->ToolBar()->Left());
  E->SetPopupToolbarPosStored(false);
  EXPECT_EQ(kxPoint(-10000, -10000), E->ToolbarPos);
}

TEST_F(KxGraphicTest, ClassPaintedCellMatchesTheLiveEditor) {
  TPicture pic;
  MakeHalves(&pic, 60, 40);
  pic.Bitmap()->Canvas()->Brush()->SetColor(clYellow);
  pic.Bitmap()->Canvas()->FillRect(kxRect(20, 10, 40, 30));
  E->SetStretch(true);
  Activate(E, kxRect(20, 30, 140, 80), Variant(kxPictureToString(&pic)));
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E);
  // The host paints other rows' cells with view data that carries their picture.
  std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(false));
  TRawImage cls = ClassShot(E, vd.get());
  EXPECT_EQ(0, PixelDiffs(live, cls));
  EXPECT_TRUE(MatchesReference(SideBySide(live, cls), "inplace/tests/ref", "graphic_cell"));
}

}  // namespace
