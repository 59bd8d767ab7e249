// The drag manager shows a control's drag image on the screen while dragging
// over targets that display drag images, hides it elsewhere and removes it
// when the drag ends or is cancelled.
#include "ctltest.h"
#include "platform/controls/imglist.h"

namespace {

constexpr COLORREF kImage = RGB(255, 0, 0);

// A box that drags an 8x8 image: red, its left half masked out (white).
class TImageSource : public TBox {
  PV_CLASS(TImageSource, TBox)
 public:
  explicit TImageSource(TComponent* AOwner) : TBox(AOwner), Images(new TImageList(this)) {
    Images->SetSize(8, 8);
    HBITMAP b = CreateBitmap(8, 8, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, x < 4 ? RGB(255, 255, 255) : kImage);
    SelectObject(dc, old);
    DeleteDC(dc);
    ImageList_AddMasked(Images->Handle(), b, RGB(255, 255, 255));
    DeleteObject(b);
    Images->SetDragImage(0, 0, 0);  // the image's top-left corner at the mouse
    SetDragMode(dmAutomatic);
  }
  bool WithImages = true;
  TImageList* Images;
  TDragImageList* GetDragImages() override { return WithImages ? Images : nullptr; }
};

class DragImageTest : public CtlTest {
 protected:
  TForm* f = nullptr;
  TImageSource* src = nullptr;
  TBox* shows = nullptr;  // displays drag images
  TBox* plain = nullptr;  // does not
  int drops = 0;
  void Over(TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; }
  void Drop(TObject*, TObject*, int, int) { ++drops; }

  void SetUp() override {
    CtlTest::SetUp();
    f = new TForm(Application, 0);
    f->SetBounds(0, 0, 400, 200);
    src = new TImageSource(f);
    src->SetParent(f);
    src->SetBounds(10, 10, 50, 50);
    shows = Box(120, clBlue, true);
    plain = Box(240, clLime, false);
    f->Show();
    Pump();
  }
  TBox* Box(int left, TColor colour, bool display) {
    auto* b = new TBox(f);
    b->SetParent(f);
    b->SetBounds(left, 10, 80, 80);
    b->SetColor(colour);
    TControlStyle st = b->ControlStyle();
    if (display) st << csDisplayDragImage;
    b->SetControlStyle(st);
    b->OnDragOver = TDragOverEvent(this, &DragImageTest::Over);
    b->OnDragDrop = TDragDropEvent(this, &DragImageTest::Drop);
    return b;
  }
  COLORREF Px(const TPoint& p, int dx, int dy) {
    std::uint32_t v = hb->ScreenPixel(p.x + dx, p.y + dy);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  void MoveTo(const TPoint& p) {
    hb->MouseMove(p.x, p.y);
    Pump();
  }
  // Presses on the source and drags far enough to start.
  void Start() {
    TPoint a = At(src, 20, 20);
    hb->MouseDown(a.x, a.y);
    Pump();
    MoveTo({a.x + 15, a.y});
  }
  // The image drawn with its top-left at p: red right half, background left half.
  void ExpectImageAt(const TPoint& p, COLORREF under) {
    EXPECT_EQ(Px(p, 6, 3), kImage);
    EXPECT_EQ(Px(p, 1, 3), under);  // masked pixels keep what is below
  }
  void ExpectNoImageAt(const TPoint& p, COLORREF under) {
    EXPECT_EQ(Px(p, 6, 3), under);
    EXPECT_EQ(Px(p, 1, 3), under);
  }
};

TEST_F(DragImageTest, ShownOverDisplayingTargetsOnlyAndGoneAfterDrop) {
  COLORREF blue = ColorToRGB(clBlue), lime = ColorToRGB(clLime);
  Start();
  TPoint p1 = At(shows, 20, 20), p2 = At(plain, 20, 20), p3 = At(shows, 40, 30);
  MoveTo(p1);
  ASSERT_EQ(DragControl(), src);
  ExpectImageAt(p1, blue);
  MoveTo(p2);  // a target that does not display drag images
  ExpectNoImageAt(p2, lime);
  ExpectNoImageAt(p1, blue);
  MoveTo(p3);  // back: shown again, and only at the new place
  ExpectImageAt(p3, blue);
  ExpectNoImageAt(p1, blue);
  hb->MouseUp(p3.x, p3.y);
  Pump();
  EXPECT_EQ(DragControl(), nullptr);
  EXPECT_EQ(drops, 1);
  ExpectNoImageAt(p3, blue);
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
  EXPECT_FALSE(src->Images->Dragging());
}

TEST_F(DragImageTest, CancelledDragRemovesTheImage) {
  COLORREF blue = ColorToRGB(clBlue);
  TPoint p = At(shows, 20, 20);
  // Escape during the drag.
  Start();
  MoveTo(p);
  ExpectImageAt(p, blue);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(DragControl(), nullptr);
  ExpectNoImageAt(p, blue);
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(drops, 0);
  // CancelDrag called by the program.
  Start();
  MoveTo(p);
  ExpectImageAt(p, blue);
  CancelDrag();
  Pump();
  ExpectNoImageAt(p, blue);
  EXPECT_FALSE(src->Images->Dragging());
  hb->MouseUp(p.x, p.y);
  Pump();
}

TEST_F(DragImageTest, NoImagesNothingShown) {
  COLORREF blue = ColorToRGB(clBlue);
  src->WithImages = false;
  TPoint p = At(shows, 20, 20);
  Start();
  MoveTo(p);
  EXPECT_EQ(DragControl(), src);
  ExpectNoImageAt(p, blue);
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(drops, 1);
}

}  // namespace
