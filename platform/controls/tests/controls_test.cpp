// Colours, drawing objects and canvases, control messages, painting, drag and
// drop, hints and the image list's stored form.
#include "platform/controls/tests/ctltest.h"
#include "platform/classes/filer.h"
#include "platform/controls/imglist.h"
#include "platform/controls/timers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace {

TEST(Colors, NamesAndValues) {
  struct Case {
    const char* text;
    TColor color;
  };
  const Case cases[] = {{"clRed", clRed}, {"clBtnFace", clBtnFace}, {"clNone", clNone}, {"$00123456", 0x123456}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StringToColor(c.text), c.color);
    EXPECT_EQ(ColorToString(c.color), c.text);
  }
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("reddish"), EConvertError);
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
}

TEST(Hints, SplitOnlyAtABarThatBeginsACharacter) {
  struct Case {
    const char* Hint;
    const char* Short;
    const char* Long;
  };
  const Case cases[] = {
      {"打开|打开一个故事", "打开", "打开一个故事"},
      {"東京", "東京", "東京"},              // 0x96 0x7C: no split inside the character
      {"東|東方", "東", "東方"},
      {"|只有长提示", "", "只有长提示"},
      {"短|", "短", ""},
      {"a|b|c", "a", "b|c"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Hint);
    EXPECT_EQ(GetShortHint(Utf8ToAnsi(c.Hint)), Utf8ToAnsi(c.Short));
    EXPECT_EQ(GetLongHint(Utf8ToAnsi(c.Hint)), Utf8ToAnsi(c.Long));
  }
}

TEST(Fonts, SizeAndHeight) {
  TFont f;
  EXPECT_EQ(f.Name(), Utf8ToAnsi("宋体"));
  EXPECT_EQ(f.Size(), 9);
  EXPECT_EQ(f.Height(), -12);
  int changes = 0;
  struct R {
    int* n;
    void On(TObject*) { ++*n; }
  } r{&changes};
  f.OnChange = TNotifyEvent(&r, &R::On);
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  f.SetStyle({fsBold});
  EXPECT_EQ(f.LogFont().lfWeight, FW_BOLD);
  EXPECT_EQ(changes, 2);
  f.SetSize(12);  // no change, no event
  EXPECT_EQ(changes, 2);
  // A long double-byte face name is never cut inside a character.
  f.SetName(AnsiString(31, 'a') + Utf8ToAnsi("字"));
  LOGFONTA lf = f.LogFont();
  EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
}

// A font adopted from a turned handle stays turned when another font (a
// canvas's) takes its values; changing a property makes an upright font.
TEST(Fonts, TurnedHandleSurvivesAssign) {
  LOGFONTA lf = TFont().LogFont();
  lf.lfEscapement = lf.lfOrientation = 2700;
  TFont turned;
  turned.SetHandle(CreateFontIndirectA(&lf));
  TFont copy;
  copy.Assign(&turned);
  EXPECT_EQ(copy.Escapement(), 2700);
  LOGFONTA got{};
  ASSERT_TRUE(GetObjectA(copy.Handle(), sizeof got, &got));
  EXPECT_EQ(got.lfEscapement, 2700);
  TFont upright;
  EXPECT_FALSE(copy.Equals(&upright));
  copy.SetHeight(-16);
  EXPECT_EQ(copy.Escapement(), 0);
  EXPECT_EQ(copy.LogFont().lfEscapement, 0);
}

TEST(Canvas, DrawsOnBitmap) {
  TBitmap b;
  b.SetSize(20, 10);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect({0, 0, 10, 10});
  c->Pen()->SetColor(clBlue);
  c->MoveTo(10, 5);
  c->LineTo(20, 5);
  EXPECT_EQ(COLORREF(c->Pixels(5, 5)), RGB(255, 0, 0));
  EXPECT_EQ(COLORREF(c->Pixels(15, 5)), RGB(0, 0, 255));
  EXPECT_EQ(COLORREF(c->Pixels(15, 2)), RGB(255, 255, 255));
  // Changing the brush between calls takes effect at once.
  c->Brush()->SetColor(clLime);
  c->FillRect({0, 0, 2, 2});
  EXPECT_EQ(COLORREF(c->Pixels(1, 1)), RGB(0, 255, 0));
  c->Font()->SetName(PV_FIXED_FONT_NAME);
  EXPECT_EQ(c->TextWidth("ab"), 14);
  EXPECT_EQ(c->TextWidth(Utf8ToAnsi("字")), 14);
  // Flood fill stops at the border colour.
  TBitmap f;
  f.SetSize(10, 10);
  f.Canvas()->Pen()->SetColor(clBlack);
  f.Canvas()->Brush()->SetStyle(bsClear);
  f.Canvas()->Rectangle(2, 2, 8, 8);
  f.Canvas()->Brush()->SetColor(clYellow);
  f.Canvas()->FloodFill(4, 4, clBlack, fsBorder);
  EXPECT_EQ(COLORREF(f.Canvas()->Pixels(4, 4)), RGB(255, 255, 0));
  EXPECT_EQ(COLORREF(f.Canvas()->Pixels(0, 0)), RGB(255, 255, 255));
}

TEST(Bitmaps, StreamRoundTripAndBadData) {
  TBitmap b;
  b.SetSize(3, 2);
  b.Canvas()->SetPixel(1, 1, clRed);
  TMemoryStream m;
  b.SaveToStream(&m);
  m.SetPosition(0);
  TBitmap c;
  c.LoadFromStream(&m);
  EXPECT_EQ(c.Width(), 3);
  EXPECT_EQ(c.Height(), 2);
  EXPECT_EQ(COLORREF(c.Canvas()->Pixels(1, 1)), RGB(255, 0, 0));
  TStringStream junk("not a picture");
  EXPECT_THROW(c.LoadFromStream(&junk), EInvalidGraphic);
  EXPECT_EQ(c.Width(), 3);  // the old image survives
  EXPECT_THROW(c.SetSize(-1, 5), EInvalidGraphic);
  EXPECT_THROW(c.SetSize(100000, 100000), EInvalidGraphic);
}

class ControlsTest : public CtlTest {};

// What a control draws on its canvas outside painting (here from a click)
// reaches the screen once the message is handled.
TEST_F(ControlsTest, CanvasDrawingOutsidePaintReachesTheScreen) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(10, 10, 200, 150);
  auto* box = new TBox(f);
  box->SetParent(f);
  box->SetBounds(10, 10, 60, 40);
  f->Show();
  Pump();
  struct Draw {
    TBox* Box;
    void OnClick(TObject*) {
      Box->Canvas()->Brush()->SetColor(clRed);
      Box->Canvas()->FillRect(TRect{0, 0, 20, 20});
    }
  } draw{box};
  box->OnClick = TNotifyEvent(&draw, &Draw::OnClick);
  TPoint p = At(box, 5, 5);
  EXPECT_NE(hb->ScreenPixel(p.x, p.y) & 0xFFFFFF, 0xFF0000u);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(hb->ScreenPixel(p.x, p.y) & 0xFFFFFF, 0xFF0000u);
  box->OnClick = TNotifyEvent();
  f->Free();
}

// A control that changes its size again while it handles a size change keeps
// the size it chose; the outer change does not write its own numbers back.
TEST_F(ControlsTest, SizeChangedAgainWhileResizingHolds) {
  auto* f = new TForm(Application, 0);
  auto* box = new TBox(f);
  box->SetParent(f);
  f->Show();
  struct Grow {
    TBox* Box;
    void OnResize(TObject*) {
      if (Box->Height() < 40) Box->SetBounds(Box->Left(), Box->Top(), Box->Width(), 40);
    }
  } grow{box};
  box->OnResize = TNotifyEvent(&grow, &Grow::OnResize);
  box->SetBounds(0, 0, 60, 20);
  EXPECT_EQ(box->Height(), 40);
  RECT r;
  GetWindowRect(box->Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 40);
  box->OnResize = TNotifyEvent();
  f->Free();
}

// A window that names its parent's window among its creation parameters, as a
// toolbar names its dock.
class TParentNamingBox : public TBox {
  PV_CLASS(TParentNamingBox, TBox)
 public:
  using TBox::TBox;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TBox::CreateParams(Params);
    if (Parent()) Params.WndParent = Parent()->Handle();
  }
};

// A child window taken out of its parent has no window; resizing it leaves
// its children as they are (their measuring would ask for a window that cannot
// be made) until it has a parent again, when they are aligned at once.
TEST_F(ControlsTest, AChildWindowOutOfItsParentAlignsItsChildrenWhenItHasOneAgain) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(0, 0, 400, 300);
  auto* outer = new TBox(f);
  outer->SetParent(f);
  outer->SetBounds(0, 0, 200, 100);
  auto* inner = new TBox(f);
  inner->SetParent(outer);
  inner->SetAlign(alClient);
  auto* bar = new TParentNamingBox(f);
  bar->SetParent(inner);
  bar->SetAlign(alTop);
  f->Show();
  Pump();
  ASSERT_EQ(bar->Width(), 200);
  outer->SetParent(nullptr);
  EXPECT_FALSE(outer->HandleAllocated());
  EXPECT_NO_THROW(outer->SetBounds(0, 0, 260, 120));
  EXPECT_EQ(inner->Width(), 200);
  outer->SetParent(f);
  EXPECT_EQ(inner->Width(), 260);
  EXPECT_EQ(inner->Height(), 120);
  EXPECT_EQ(bar->Width(), 260);
  f->Free();
}

TEST_F(ControlsTest, ParentFontAndColorFlowDown) {
  auto* f = new TForm(Application, 0);
  auto* outer = new TBox(f);
  outer->SetParent(f);
  auto* inner = new TBox(f);
  inner->SetParent(outer);
  outer->Font()->SetSize(14);
  EXPECT_FALSE(outer->ParentFont());
  EXPECT_EQ(inner->Font()->Size(), 14);
  EXPECT_TRUE(inner->ParentFont());
  inner->SetColor(clRed);
  outer->SetColor(clBlue);
  EXPECT_EQ(inner->Color(), clRed);
  inner->SetParentColor(true);
  EXPECT_EQ(inner->Color(), clBlue);
  // A control cannot become its own ancestor.
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
}

TEST_F(ControlsTest, MessageMapsAndWindowProcSubclassing) {
  auto* f = new TForm(Application, 0);
  auto* b = new TTestButton(f);
  b->SetParent(f);
  b->Default = true;
  f->Show();
  EXPECT_EQ(b->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON));
  EXPECT_EQ(b->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(b->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
  // Replacing WindowProc sees every message first.
  struct Spy {
    TControl* c;
    TWndMethod old;
    std::vector<UINT> seen;
    void Proc(TMessage& M) {
      seen.push_back(M.Msg);
      old(M);
    }
  } spy{b, b->WindowProc, {}};
  b->WindowProc = TWndMethod(&spy, &Spy::Proc);
  b->Perform(CM_DIALOGKEY, VK_RETURN, 0);
  EXPECT_EQ(spy.seen, std::vector<UINT>{CM_DIALOGKEY});
  b->WindowProc = spy.old;
}

TEST_F(ControlsTest, ReflectsCommandsToTheChild) {
  auto* f = new TForm(Application, 0);
  struct TReflector : public TCustomControl {
    explicit TReflector(TComponent* O) : TCustomControl(O) {}
    std::vector<UINT> got;
    void WndProc(TMessage& M) override {
      if (M.Msg >= CN_BASE && M.Msg < CN_BASE + 0x400) {
        got.push_back(M.Msg);
        M.Result = 42;
        return;
      }
      TCustomControl::WndProc(M);
    }
  };
  auto* r = new TReflector(f);
  r->SetParent(f);
  f->Show();
  Pump();
  HWND child = r->Handle();
  EXPECT_EQ(SendMessageA(f->Handle(), WM_COMMAND, MAKEWPARAM(5, 1), reinterpret_cast<LPARAM>(child)), 42);
  NMHDR hdr;
  hdr.hwndFrom = child;
  hdr.code = 7;
  EXPECT_EQ(SendMessageA(f->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr)), 42);
  EXPECT_EQ(SendMessageA(f->Handle(), WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child)), 42);
  EXPECT_EQ(r->got, (std::vector<UINT>{CN_COMMAND, CN_NOTIFY, CN_CTLCOLOREDIT}));
}

TEST_F(ControlsTest, GraphicChildrenGetPaintAndMouse) {
  struct TSpot : public TGraphicControl {
    explicit TSpot(TComponent* O) : TGraphicControl(O) { SetBounds(10, 10, 20, 20); }
    int clicks = 0;
    void Click() override { ++clicks; }
    void Paint() override {
      Canvas()->Brush()->SetColor(clRed);
      Canvas()->FillRect(ClientRect());
    }
  };
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 200, 150);
  auto* s = new TSpot(f);
  s->SetParent(f);
  f->Show();
  Pump();
  TPoint p = At(s, 5, 5);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(s->clicks, 1);
  TPoint outside = At(s, 25, 25);
  hb->Click(outside.x, outside.y);
  Pump();
  EXPECT_EQ(s->clicks, 1);
  // The parent paints its graphic children; PaintTo draws the same into any DC.
  PvWindowImage img = PvCaptureWindow(f->Handle());
  RECT wr;
  GetWindowRect(f->Handle(), &wr);
  std::uint32_t px = img.pixels[std::size_t(p.y - wr.top) * img.width + (p.x - wr.left)];
  EXPECT_EQ(px & 0xFFFFFF, 0xFF0000u);
  TBitmap bmp;
  bmp.SetSize(f->ClientWidth(), f->ClientHeight());
  f->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(15, 15)), RGB(255, 0, 0));
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(5, 5)), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ControlsTest, DoubleBufferedPaintsTheSame) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(50, 50, 120, 100);
  auto* b = new TBox(f);
  b->SetParent(f);
  b->SetBounds(5, 5, 40, 30);
  b->SetColor(clBlue);
  b->SetDoubleBuffered(true);
  f->Show();
  Pump();
  PvWindowImage img = PvCaptureWindow(b->Handle());
  ASSERT_GT(img.width, 10);
  EXPECT_EQ(img.pixels[std::size_t(10) * img.width + 10] & 0xFFFFFF, 0x0000FFu);
  EXPECT_GT(b->Paints, 0);
}

// Records whether each paint was a copy for PaintTo.
class TCopyBox : public TBox {
  PV_CLASS(TCopyBox, TBox)
 public:
  explicit TCopyBox(TComponent* AOwner) : TBox(AOwner) {}
  std::vector<bool> Copies;

 protected:
  void Paint() override {
    Copies.push_back(ControlState().Contains(csPaintCopy));
    TBox::Paint();
  }
};

TEST_F(ControlsTest, PaintToMarksItsPaintsAsCopies) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(50, 50, 120, 100);
  auto* outer = new TCopyBox(f);
  outer->SetParent(f);
  outer->SetBounds(5, 5, 80, 60);
  auto* inner = new TCopyBox(f);
  inner->SetParent(outer);
  inner->SetBounds(10, 10, 30, 20);
  inner->SetColor(clRed);
  f->Show();
  Pump();
  UpdateWindow(f->Handle());
  ASSERT_FALSE(outer->Copies.empty());
  EXPECT_FALSE(outer->Copies.back());
  outer->Copies.clear();
  inner->Copies.clear();
  TBitmap bmp;
  bmp.SetSize(80, 60);
  outer->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(outer->Copies, std::vector<bool>{true});
  EXPECT_EQ(inner->Copies, std::vector<bool>{true});
  EXPECT_FALSE(outer->ControlState().Contains(csPaintCopy));
  EXPECT_FALSE(inner->ControlState().Contains(csPaintCopy));
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(15, 15)), RGB(255, 0, 0));
}

TEST_F(ControlsTest, DragAndDropWithThreshold) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(0, 0, 300, 200);
  auto* src = new TBox(f);
  src->SetParent(f);
  src->SetBounds(10, 10, 50, 50);
  src->SetDragMode(dmAutomatic);
  auto* dst = new TBox(f);
  dst->SetParent(f);
  dst->SetBounds(150, 10, 50, 50);
  struct Rec {
    int overs = 0;
    TObject* dropSource = nullptr;
    TPoint dropAt{};
    TObject* endTarget = reinterpret_cast<TObject*>(1);
    TShiftState shift;
    void Over(TObject*, TObject*, int, int, TDragState, bool& accept) {
      ++overs;
      accept = true;
    }
    void Drop(TObject*, TObject* s, int x, int y) {
      dropSource = s;
      dropAt = {x, y};
      shift = DragObject() ? DragObject()->ShiftState() : TShiftState{};
    }
    void End(TObject*, TObject* t, int, int) { endTarget = t; }
  } rec;
  dst->OnDragOver = TDragOverEvent(&rec, &Rec::Over);
  dst->OnDragDrop = TDragDropEvent(&rec, &Rec::Drop);
  src->OnEndDrag = TEndDragEvent(&rec, &Rec::End);
  f->Show();
  Pump();
  TPoint a = At(src, 20, 20), b = At(dst, 20, 20);
  hb->MouseDown(a.x, a.y);
  Pump();
  EXPECT_EQ(DragControl(), src);  // pending until the mouse moves far enough
  hb->MouseMove(a.x + 10, a.y);
  Pump();
  EXPECT_NE(GetCapture(), nullptr);
  hb->MouseMove(b.x, b.y);
  Pump();
  EXPECT_GT(rec.overs, 0);
  hb->MouseUp(b.x, b.y);
  Pump();
  EXPECT_GT(rec.overs, 0);
  EXPECT_EQ(rec.dropSource, src);
  EXPECT_EQ(rec.dropAt, (TPoint{20, 20}));
  EXPECT_EQ(rec.endTarget, dst);
  EXPECT_EQ(DragControl(), nullptr);

  // A move below the threshold is a click, not a drag.
  rec = Rec{};
  hb->Drag(a.x, a.y, a.x + 2, a.y, 2);
  Pump();
  EXPECT_EQ(rec.dropSource, nullptr);
  EXPECT_EQ(rec.endTarget, nullptr);  // ended without a target
  // Escape cancels a drag in progress.
  rec = Rec{};
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(a.x + 30, a.y);
  hb->MouseMove(b.x, b.y);
  Pump();
  EXPECT_EQ(DragControl(), src);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(DragControl(), nullptr);
  hb->MouseUp(b.x, b.y);
  Pump();
  EXPECT_EQ(rec.dropSource, nullptr);
}

// The drag messages a target hears: an enter is followed by a move (whose
// answer decides acceptance), and a drag that ends without an accepted drop
// (Escape, or a release where the target refuses) is cancelled over it.
class TDragLogBox : public TBox {
  PV_CLASS(TDragLogBox, TBox)
 public:
  explicit TDragLogBox(TComponent* AOwner) : TBox(AOwner) {}
  std::string Log;
  bool AcceptMoves = true;
  void Dispatch(TMessage& M) override {
    if (M.Msg == CM_DRAG && M.WParam != dmFindTarget) {
      static const char* const kNames[] = {"enter", "leave", "move", "drop", "cancel"};
      Log += std::string(Log.empty() ? "" : " ") + kNames[M.WParam];
      if (M.WParam == dmDragMove) {
        M.Result = AcceptMoves ? 1 : 0;
        return;
      }
    }
    TBox::Dispatch(M);
  }
};

TEST_F(ControlsTest, DragTargetHearsEnterMoveAndCancel) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(0, 0, 300, 200);
  auto* src = new TBox(f);
  src->SetParent(f);
  src->SetBounds(10, 10, 50, 50);
  src->SetDragMode(dmAutomatic);
  auto* dst = new TDragLogBox(f);
  dst->SetParent(f);
  dst->SetBounds(150, 10, 50, 50);
  f->Show();
  Pump();
  TPoint a = At(src, 20, 20), b = At(dst, 20, 20);
  struct Case {
    bool accept;
    bool escape;
    const char* log;
  } cases[] = {
      {true, false, "enter move move drop"},
      {true, true, "enter move move cancel"},
      {false, false, "enter move move cancel"},
  };
  for (const Case& c : cases) {
    dst->Log.clear();
    dst->AcceptMoves = c.accept;
    for (TPoint p : {a, TPoint(a.x + 30, a.y), b, TPoint(b.x + 1, b.y)}) {
      if (p == a) hb->MouseDown(p.x, p.y);
      else hb->MouseMove(p.x, p.y);
      Pump();
    }
    if (c.escape) {
      hb->Key(VK_ESCAPE);
      Pump();
    }
    hb->MouseUp(b.x + 1, b.y);
    Pump();
    EXPECT_EQ(dst->Log, c.log) << c.accept << c.escape;
    EXPECT_EQ(DragControl(), nullptr);
  }
}

TEST_F(ControlsTest, HintShowsAfterPause) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(0, 0, 300, 200);
  auto* b = new TBox(f);
  b->SetParent(f);
  b->SetBounds(10, 10, 80, 40);
  // 東 ends in the byte of "|" (0x96 0x7C)
  b->SetHint(Utf8ToAnsi("東提示|状态栏文字東"));
  b->SetShowHint(true);
  f->Show();
  Pump();
  TPoint p = At(b, 10, 10);
  hb->MouseMove(p.x, p.y);
  Pump();
  EXPECT_EQ(Application->Hint(), Utf8ToAnsi("状态栏文字東"));
  EXPECT_TRUE(Application->HintWindow() == nullptr || !Application->HintWindow()->Showing());
  hb->AdvanceClock(Application->HintPause() + 10);
  Pump();
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_TRUE(Application->HintWindow()->Showing());
  EXPECT_EQ(Application->HintWindow()->Caption(), Utf8ToAnsi("東提示"));
  hb->Key('A');
  Pump();
  EXPECT_FALSE(Application->HintWindow()->Showing());
}

TEST_F(ControlsTest, TimerFiresOnInterval) {
  auto* t = new TTimer(Application);
  int n = 0;
  struct R {
    int* n;
    void On(TObject*) { ++*n; }
  } r{&n};
  t->SetInterval(100);
  t->SetOnTimer(TNotifyEvent(&r, &R::On));
  hb->AdvanceClock(250);
  Pump();
  EXPECT_GE(n, 1);
  t->SetEnabled(false);
  int before = n;
  hb->AdvanceClock(500);
  Pump();
  EXPECT_EQ(n, before);
}

TEST_F(ControlsTest, ImageListStoredInDescription) {
  auto* il = new TImageList(Application);
  il->SetName("Images1");
  il->SetSize(4, 4);
  TBitmap b;
  b.SetSize(8, 4);  // two images
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect({0, 0, 4, 4});
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FillRect({4, 0, 8, 4});
  EXPECT_EQ(il->Add(&b, nullptr), 0);
  EXPECT_EQ(il->Count(), 2);
  AnsiString text = WriteComponentToText(il);
  EXPECT_NE(text.find("Bitmap = {"), AnsiString::npos);
  std::unique_ptr<TImageList> holder(new TImageList(nullptr));
  TImageList* copy = holder.get();
  ReadComponentFromText(text, copy);
  EXPECT_EQ(copy->Width(), 4);
  ASSERT_EQ(copy->Count(), 2);
  TBitmap out;
  copy->GetBitmap(1, &out);
  EXPECT_EQ(COLORREF(out.Canvas()->Pixels(1, 1)), RGB(0, 0, 255));
  // Damaged data leaves the list as it was.
  AnsiString bad = text;
  auto pos = bad.find("Bitmap = {");
  bad.replace(pos + 10, 8, "FFFFFFFF");
  EXPECT_THROW(ReadComponentFromText(bad, copy), Exception);
  EXPECT_EQ(copy->Count(), 2);
}

}  // namespace
