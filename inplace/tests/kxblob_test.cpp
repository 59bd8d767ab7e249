// The blob editor and its pop-up: icons by kind and emptiness, kinds without
// a pop-up, the memo pop-up's keys, buttons and saving rules, the picture
// pop-up's size, placement away from the screen's edge, read-only pop-ups,
// and values that are no picture.
#include "inplace/tests/kxtest.h"

#include "inplace/kxblob.h"
#include "inplace/kxresources.h"
#include "platform/gdi/tests/refimage.h"

namespace {

struct BlobHits {
  int N = 0;
  void Hit(TObject*) { ++N; }
};

class KxBlobEditTest : public InplaceTest {
 protected:
  TkxInplaceBlobEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceBlobEdit>();
  }
  void ShowBlob(const AnsiString& Value) {
    Activate(E, kxRect(20, 30, 180, 50), Variant(Value));
    E->SetFocus();
    Pump();
  }
  bool PopupShown() { return E->Popup() && E->Popup()->HandleAllocated() && IsWindowVisible(E->Popup()->Handle()); }
  void Chars(const char* S) {
    for (const char* p = S; *p; ++p) {
      hb->KeyDown(0, false, std::string(1, *p));
      hb->KeyUp(0);
    }
    Pump();
  }
  // A screen point in the middle of a panel button.
  TPoint ButtonPoint(TkxBlobPopupButton B) {
    TRect r = E->Popup()->ButtonRect(B, true);
    RECT wr;
    GetWindowRect(E->Popup()->Handle(), &wr);
    return kxPoint(wr.left + (r.left + r.right) / 2, wr.top + (r.top + r.bottom) / 2);
  }
};

TEST_F(KxBlobEditTest, IconsByKindAndEmptiness) {
  struct Case {
    TkxBlobEditKind Kind;
    bool Empty;
    int Index;
  } cases[] = {{bekMemo, true, 2}, {bekMemo, false, 3}, {bekPict, true, 4}, {bekPict, false, 5},
               {bekOle, true, 6},  {bekOle, false, 7},  {bekBlob, true, 0}, {bekBlob, false, 1}};
  for (const Case& c : cases) EXPECT_EQ(c.Index, kxBlobIconIndex(c.Kind, c.Empty)) << int(c.Kind);
  ASSERT_NE(nullptr, kxBlobImages);
  EXPECT_EQ(8, kxBlobImages->Count());
  // The cells as the class paints them: empty memo, memo, picture, OLE (ellipsis).
  std::vector<TRawImage> cells;
  for (const Case& c : {cases[0], cases[1], cases[3], cases[5]}) {
    E->SetBlobEditKind(c.Kind);
    Activate(E, kxRect(20, 30, 80, 50), Variant(AnsiString(c.Empty ? "" : "x")));
    Host->SetFocus();
    Pump();
    std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(false));
    auto* b = dynamic_cast<TkxBlobEditViewData*>(vd.get());
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(c.Empty, b->IsEmpty);
    TRawImage cls = ClassShot(E, vd.get());
    EXPECT_EQ(0, PixelDiffs(Shot(E), cls)) << int(c.Kind);
    cells.push_back(cls);
  }
  TRawImage sheet = SideBySide(SideBySide(cells[0], cells[1]), SideBySide(cells[2], cells[3]));
  EXPECT_TRUE(MatchesReference(sheet, "inplace/tests/ref", "blob_cells"));
}

TEST_F(KxBlobEditTest, OleAndRawBlobsHaveNoPopup) {
  BlobHits clicks;
  E->OnEditButtonClick = TNotifyEvent(&clicks, &BlobHits::Hit);
  for (TkxBlobEditKind k : {bekOle, bekBlob}) {
    E->SetBlobEditKind(k);
    ShowBlob("data");
    Press(VK_F4);
    EXPECT_FALSE(PopupShown());
    std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(false));
    auto* d = static_cast<TkxDropDownEditViewData*>(vd.get());
    TkxEditViewRects rects;
    E->EditClass()->CalcViewInfo(vd.get(), false, rects);
    EXPECT_EQ(bkEllipsis, d->ButtonEntries[0].Kind);
  }
  EXPECT_EQ(2, clicks.N);
}

TEST_F(KxBlobEditTest, TheMemoPopupSavesOnOkAndNotOnCancel) {
  ShowBlob("");
  TPoint cell = At(E, 10, 5);
  hb->Click(cell.x, cell.y);  // any click drops the pop-up down
  Pump();
  ASSERT_TRUE(PopupShown());
  TCustomkxBlobPopup* p = E->Popup();
  EXPECT_EQ(p->Handle(), GetFocus());
  EXPECT_FALSE(p->OkEnabled());
  Type("中文");
  Chars("a");
  EXPECT_EQ(Gbk("中文a"), p->MemoText());
  EXPECT_TRUE(p->OkEnabled());
  Press(VK_RETURN);  // a new line
  Chars("b");
  EXPECT_EQ(Gbk("中文a\r\nb"), p->MemoText());
  Press(VK_RETURN, HeadlessBackend::Ctrl);  // accepts
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Gbk("中文a\r\nb"), E->BlobText());
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(E->Handle(), GetFocus());
  EXPECT_EQ(p->Width(), E->PopupWidth);  // the size is kept for next time

  // Escape and Cancel never save.
  Press(VK_F4);
  ASSERT_TRUE(PopupShown());
  EXPECT_EQ(Gbk("中文a\r\nb"), p->MemoText());
  Chars("c");
  Press(VK_ESCAPE);
  EXPECT_EQ(Gbk("中文a\r\nb"), E->BlobText());
  Press(VK_F4);
  Chars("d");
  TPoint cancel = ButtonPoint(bpbCancel);
  hb->Click(cancel.x, cancel.y);
  Pump();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Gbk("中文a\r\nb"), E->BlobText());
  // The OK button by mouse.
  Press(VK_F4);
  Press(VK_END, HeadlessBackend::Ctrl);
  Chars("e");
  TPoint ok = ButtonPoint(bpbOk);
  hb->Click(ok.x, ok.y);
  Pump();
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ(Gbk("中文a\r\nbe"), E->BlobText());
}

TEST_F(KxBlobEditTest, ClickingOutsideSavesOnlyWithAlwaysSave) {
  for (bool always : {false, true}) {
    E->AlwaysSaveText = always;
    ShowBlob("old");
    Press(VK_F4);
    ASSERT_TRUE(PopupShown());
    Press(VK_END, HeadlessBackend::Ctrl);
    Chars("!");
    TPoint away = At(Host, 250, 180);
    hb->Click(away.x, away.y);
    Pump();
    EXPECT_FALSE(PopupShown());
    EXPECT_EQ(AnsiString(always ? "old!" : "old"), E->BlobText()) << always;
  }
}

TEST_F(KxBlobEditTest, AReadOnlyPopupOnlyCloses) {
  Host->ModifyOk = false;
  E->SetReadOnly(true);
  ShowBlob("fixed");
  Press(VK_F4);
  ASSERT_TRUE(PopupShown());
  TCustomkxBlobPopup* p = E->Popup();
  EXPECT_TRUE(p->ReadOnly());
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(p->ButtonRect(bpbOk, false))));
  EXPECT_FALSE(IsRectEmpty(&static_cast<const RECT&>(p->ButtonRect(bpbClose, false))));
  Chars("x");
  EXPECT_EQ("fixed", p->MemoText());
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_FALSE(PopupShown());
  EXPECT_EQ("fixed", E->BlobText());
}

TEST_F(KxBlobEditTest, PicturePopupSizeAndPlacement) {
  TPicture pic;
  TBitmap* b = pic.Bitmap();
  b->SetSize(2000, 100);
  E->SetBlobEditKind(bekPict);
  const AnsiString bytes = kxPictureToString(&pic);
  ShowBlob(bytes);
  Press(VK_F4);
  ASSERT_TRUE(PopupShown());
  TCustomkxBlobPopup* p = E->Popup();
  TRect work;
  kxGetMonitorWorkArea(kxPoint(0, 0), work);
  EXPECT_LE(p->Width(), work.Width());
  // The picture keeps its aspect ratio in the client area: 20 to 1.
  const int cw = p->ClientWidth(), ch = p->ClientHeight();
  EXPECT_NEAR(cw / 20, ch, 2);
  EXPECT_EQ(3, p->Corner());  // below the editor, left-aligned
  Press(VK_ESCAPE);
  // A value read back is the picture's bytes; a value that is no picture raises.
  Variant v = E->EditValue();
  ASSERT_TRUE(VarIsStr(v));
  EXPECT_EQ(bytes, v.AsString());
  E->SetEditValue(Variant(12345));
  EXPECT_THROW(E->EditValue(), Exception);
  EXPECT_THROW(Press(VK_F4), Exception);
  EXPECT_FALSE(E->Popup()->HasPicture() && !kxIsPictureEmpty(E->Popup()->Picture()));
}

TEST_F(KxBlobEditTest, APopupAtTheFootOfTheScreenOpensAboveWithItsGripAway) {
  TRect work;
  kxGetMonitorWorkArea(kxPoint(0, 0), work);
  Form->SetBounds(100, work.bottom - 100, 400, 90);
  Pump();
  E->PopupHeight = 10;  // below the minimum
  ShowBlob("text");
  Press(VK_F4);
  ASSERT_TRUE(PopupShown());
  TCustomkxBlobPopup* p = E->Popup();
  RECT er;
  GetWindowRect(E->Handle(), &er);
  EXPECT_EQ(er.top, p->Top() + p->Height());
  EXPECT_EQ(1, p->Corner());  // the grip at the top right, away from the editor
  EXPECT_GE(p->Height(), p->MinHeight());
  EXPECT_GE(p->Width(), p->MinWidth());
  // The sizing edge is the top one; the panel answers as border.
  RECT wr;
  GetWindowRect(p->Handle(), &wr);
  EXPECT_EQ(HTTOP, SendMessageA(p->Handle(), WM_NCHITTEST, 0, MAKELPARAM((wr.left + wr.right) / 2, wr.top)));
  EXPECT_EQ(HTTOPRIGHT, SendMessageA(p->Handle(), WM_NCHITTEST, 0, MAKELPARAM(wr.right - 2, wr.top + 2)));
  Press(VK_ESCAPE);
}

}  // namespace

namespace {

TEST_F(KxBlobEditTest, TheMemoPopupLooksLikeAMemoWithItsButtonPanel) {
  E->PopupWidth = 220;
  E->PopupHeight = 120;
  ShowBlob(Gbk("第一行\r\nsecond line"));
  Press(VK_F4);
  ASSERT_TRUE(PopupShown());
  Press(VK_END, HeadlessBackend::Ctrl);
  Chars("!");
  Pump();
  EXPECT_TRUE(MatchesReference(Shot(E->Popup()), "inplace/tests/ref", "blob_memo_popup"));
}

}  // namespace
