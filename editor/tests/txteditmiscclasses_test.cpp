// Settings objects of the editor, marks, the shared image strip, handler
// chains, the gradient fill and the attribute walk over scheme highlighters.
#include "editor/txteditmiscclasses.h"

#include <gtest/gtest.h>

#include "editor/tests/edtest.h"
#include "editor/txteditmisc.h"
#include "editor/txtscheme.h"
#include "platform/classes/filer.h"
#include "platform/gdi/tests/canvas.h"

namespace {

struct MiscChangeCount {
  int N = 0;
  void Changed(TObject*) { ++N; }
};

TEST(TxtGutter, SettersClampAndReport) {
  TTxtGutter g;
  MiscChangeCount c;
  g.OnChange = TNotifyEvent(&c, &MiscChangeCount::Changed);
  g.SetDigitCount(20);
  EXPECT_EQ(g.DigitCount(), 12);
  EXPECT_EQ(g.DigitsInUse(), 12);
  g.SetDigitCount(1);
  EXPECT_EQ(g.DigitCount(), 2);
  g.SetLeftOffset(-3);
  EXPECT_EQ(g.LeftOffset(), 0);
  g.SetGradientSteps(1);
  EXPECT_EQ(g.GradientSteps(), 2);
  int before = c.N;
  g.SetColor(g.Color());  // unchanged: no report
  EXPECT_EQ(c.N, before);
  g.SetBorderStyle(g.BorderStyle());  // always reports
  EXPECT_EQ(c.N, before + 1);
  g.Font()->SetSize(12);
  EXPECT_EQ(c.N, before + 2);
}

TEST(TxtGutter, LineNumbersAndWidth) {
  TTxtGutter g;
  g.SetShowLineNumbers(true);
  g.SetAutoSize(true);
  g.AdjustDigitCount(12345);
  EXPECT_EQ(g.DigitsInUse(), 5);
  EXPECT_EQ(g.PixelWidth(7), g.LeftOffset() + g.RightOffset() + 5 * 7 + 2);
  g.AdjustDigitCount(12);
  EXPECT_EQ(g.DigitsInUse(), 4);  // never below DigitCount
  EXPECT_EQ(g.LineNumberText(7), "   7");
  g.SetLeadingZeros(true);
  EXPECT_EQ(g.LineNumberText(7), "0007");
  g.SetLineNumberStart(0);
  EXPECT_TRUE(g.ZeroStart());
  EXPECT_EQ(g.LineNumberText(1), "0000");
  g.SetLineNumberStart(10);
  EXPECT_FALSE(g.ZeroStart());
  EXPECT_EQ(g.LineNumberText(1), "0010");
  g.SetShowLineNumbers(false);
  EXPECT_EQ(g.PixelWidth(7), 30);
  g.SetVisible(false);
  EXPECT_EQ(g.PixelWidth(7), 0);
}

TEST(TxtGutter, AssignCopiesEverythingAndReportsOnce) {
  TTxtGutter a, b;
  a.SetShowLineNumbers(true);
  a.SetAutoSize(true);
  a.AdjustDigitCount(123456);
  a.SetColor(clRed);
  a.Font()->SetName("Arial");
  MiscChangeCount c;
  b.OnChange = TNotifyEvent(&c, &MiscChangeCount::Changed);
  b.Assign(&a);
  EXPECT_EQ(c.N, 1);
  EXPECT_EQ(b.DigitsInUse(), 6);
  EXPECT_EQ(b.Color(), clRed);
  EXPECT_EQ(b.Font()->Name(), "Arial");
}

TEST(TxtEditMarkList, MarksOfLineTakesTheFirstSeventeen) {
  TTxtEditMarkList list;
  MiscChangeCount c;
  list.OnChange = TNotifyEvent(&c, &MiscChangeCount::Changed);
  for (int i = 0; i < 18; ++i) {
    auto* m = new TTxtEditMark();
    m->SetLine(4);
    m->SetImageIndex(i);
    list.Add(m);
  }
  auto* other = new TTxtEditMark();
  other->SetLine(5);
  list.Add(other);
  EXPECT_EQ(c.N, 19);
  TTxtEditMarks marks;
  list.MarksOfLine(4, marks);
  for (int i = 0; i < kMaxMarksPerLine; ++i) EXPECT_EQ(marks[i]->ImageIndex(), i);
  list.MarksOfLine(5, marks);
  EXPECT_EQ(marks[0], other);
  EXPECT_EQ(marks[1], nullptr);
  list.Delete(0);  // no report
  EXPECT_EQ(c.N, 19);
  list.Remove(other);
  EXPECT_EQ(c.N, 20);
  EXPECT_THROW(list.Remove(other), EListError);
}

TEST(TxtEditMark, ReportsAroundLineChangesWhileVisible) {
  TTxtEditMark m;
  MiscChangeCount c;
  m.OnChange = TNotifyEvent(&c, &MiscChangeCount::Changed);
  m.SetLine(3);  // not visible: silent
  EXPECT_EQ(c.N, 0);
  m.SetVisible(true);
  EXPECT_EQ(c.N, 1);
  m.SetLine(5);  // before and after
  EXPECT_EQ(c.N, 3);
  m.SetLine(0);  // only before: the new line is not positive
  EXPECT_EQ(c.N, 4);
  EXPECT_FALSE(m.IsBookmark());
  m.SetBookmarkIndex(3);
  EXPECT_TRUE(m.IsBookmark());
}

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override { InitEditorTestClasses(); }
};

TEST_F(ImageTest, StripsOfOneResourceShareOnePicture) {
  const int before = InternalResourceCount();
  {
    TTxtInternalImage a("TxtEditInternalImages", 10);
    TTxtInternalImage b("txteditinternalimages", 10);
    EXPECT_EQ(a.Picture(), b.Picture());
    EXPECT_EQ(InternalResourceCount(), before + 1);
    EXPECT_EQ(a.Width(), (a.Picture()->Width() + 5) / 10);
    ASSERT_GT(a.Height(), 0);
    // a cell is copied opaque, centred in a taller row
    Canvas c(40, 40, RGB(1, 2, 3));
    TCanvas canvas;
    canvas.SetHandle(c.dc);
    a.DrawCell(&canvas, 3, 0, 0, a.Height() + 10);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(c.Ink(0, 0, a.Width(), 5, RGB(1, 2, 3)), 0);
    EXPECT_GT(c.Ink(0, 5, a.Width(), 5 + a.Height(), RGB(1, 2, 3)), 0);
    Canvas d(40, 40, RGB(1, 2, 3));
    canvas.SetHandle(d.dc);
    a.DrawCell(&canvas, 10, 0, 0, 20);  // no such cell
    canvas.SetHandle(nullptr);
    EXPECT_EQ(d.Ink(0, 0, d.w, d.h, RGB(1, 2, 3)), 0);
  }
  EXPECT_EQ(InternalResourceCount(), before);
}

TEST_F(ImageTest, GlyphTallerThanTheRowShowsItsMiddleBand) {
  TTxtGlyph g;
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(4, 10);
  for (int y = 0; y < 10; ++y) {
    bmp->Canvas()->Brush()->SetColor(TColor(RGB(y * 20, 0, 0)));
    bmp->Canvas()->FillRect(TRect{0, y, 4, y + 1});
  }
  g.SetGlyph(bmp.get());
  EXPECT_EQ(g.Width(), 4);
  Canvas c(10, 10, RGB(255, 255, 255));
  TCanvas canvas;
  canvas.SetHandle(c.dc);
  g.Draw(&canvas, 0, 0, 4);  // rows 3..6 of the picture
  canvas.SetHandle(nullptr);
  EXPECT_EQ(c.At(0, 0), RGB(60, 0, 0));
  EXPECT_EQ(c.At(0, 3), RGB(120, 0, 0));
  EXPECT_EQ(c.At(0, 4), RGB(255, 255, 255));
}

TEST_F(ImageTest, WrapGlyphDefaultsToItsResource) {
  TTxtGlyph g("TxtEditWrapped", clLime);
  EXPECT_GT(g.Width(), 0);
  EXPECT_EQ(g.InternalMaskColor(), clLime);
  TTxtGlyph none;
  EXPECT_EQ(none.Width(), 0);
  EXPECT_EQ(none.InternalMaskColor(), clNone);
  none.Assign(&g);
  EXPECT_EQ(none.Width(), g.Width());
}

// ---------------------------------------------------------------- chains

struct ChainHandlers {
  std::vector<std::string> Log;
  void A(TObject*) { Log.push_back("A"); }
  void B(TObject*) { Log.push_back("B"); }
  void Fails(TObject*) { throw Exception("handler failed"); }
  void Continue(TObject*, Exception& E, bool& DoContinue) { Log.push_back("error " + E.Message); }
  void Stop(TObject*, Exception& E, bool& DoContinue) { DoContinue = false; }
  void Raise(TObject*, Exception&, bool&) { throw Exception("again"); }
};

TEST(TxtMethodChain, CallsInOrderAndRemovesEveryCopy) {
  ChainHandlers h;
  TTxtNotifyEventChain chain;
  chain.Add(TNotifyEvent(&h, &ChainHandlers::A));
  chain.Add(TNotifyEvent(&h, &ChainHandlers::B));
  chain.Add(TNotifyEvent(&h, &ChainHandlers::A));
  chain.Fire();
  EXPECT_EQ(h.Log, (std::vector<std::string>{"A", "B", "A"}));
  chain.Remove(TNotifyEvent(&h, &ChainHandlers::A));
  EXPECT_EQ(chain.Count(), 1);
}

TEST(TxtMethodChain, HandlerErrors) {
  ChainHandlers h;
  TTxtNotifyEventChain chain;
  chain.Add(TNotifyEvent(&h, &ChainHandlers::Fails));
  chain.Add(TNotifyEvent(&h, &ChainHandlers::B));
  EXPECT_THROW(chain.Fire(), Exception);  // no error handler: raised again
  EXPECT_TRUE(h.Log.empty());
  chain.OnHandlerError = TTxtExceptionEvent(&h, &ChainHandlers::Continue);
  chain.Fire();
  EXPECT_EQ(h.Log, (std::vector<std::string>{"error handler failed", "B"}));
  h.Log.clear();
  chain.OnHandlerError = TTxtExceptionEvent(&h, &ChainHandlers::Stop);
  chain.Fire();
  EXPECT_TRUE(h.Log.empty());
  chain.OnHandlerError = TTxtExceptionEvent(&h, &ChainHandlers::Raise);
  try {
    chain.Fire();
    FAIL();
  } catch (const ETxtMethodChain& e) {
    EXPECT_EQ(e.Message, "TTxtNotifyEventChain.DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler");
  }
}

// ---------------------------------------------------------------- gradient

TEST(TxtEditMisc, FillGradientPaintsItsBands) {
  Canvas c(10, 4, RGB(255, 255, 255));
  TCanvas canvas;
  canvas.SetHandle(c.dc);
  canvas.Brush()->SetColor(clYellow);
  FillGradient(&canvas, TColor(RGB(0, 0, 0)), TColor(RGB(200, 100, 0)), true, TRect{0, 0, 10, 4}, 1);
  EXPECT_EQ(canvas.Brush()->Color(), clYellow);  // the brush comes back
  canvas.SetHandle(nullptr);
  // one step draws two bands: black, then the end colour
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(4, 3), RGB(0, 0, 0));
  EXPECT_EQ(c.At(5, 0), RGB(200, 100, 0));
  EXPECT_EQ(c.At(9, 3), RGB(200, 100, 0));
}

// ---------------------------------------------------------------- scheme highlighters

// Highlighters with fixed attributes and a trivial scanner, named for the walk.
class TTwoStyles : public TQuietHighlighter<> {
  PV_CLASS(TTwoStyles, TQuietHighlighter<>)
 public:
  explicit TTwoStyles(TComponent* AOwner) : TQuietHighlighter<>(AOwner) {
    AddStyle("Comment");
    AddStyle("Key");
  }
};

class TSwitching : public TQuietHighlighter<TTxtCustomMultiHighlighter> {
  PV_CLASS(TSwitching, TQuietHighlighter<TTxtCustomMultiHighlighter>)
 public:
  explicit TSwitching(TComponent* AOwner) : TQuietHighlighter<TTxtCustomMultiHighlighter>(AOwner) {}
};

TEST(TxtEditMisc, WalkOverSchemesNamesMarkersByNumber) {
  TTwoStyles outside(nullptr), inner(nullptr);
  TSwitching multi(nullptr);
  multi.SetDefaultHighlighter(&outside);
  static_cast<TScheme*>(multi.Schemes()->Add())->SetHighlighter(&inner);
  static_cast<TScheme*>(multi.Schemes()->Add())->SetHighlighter(&outside);
  std::vector<std::string> names;
  auto cb = [&](TTxtCustomHighlighter*, TTxtHighlighterAttributes*, const AnsiString& Name, void*) {
    names.push_back(Name);
    return true;
  };
  EXPECT_TRUE(WalkHighlighterAttributes(&multi, true, cb, nullptr));
  // the second walk of `outside` is skipped with SkipDuplicates
  const std::vector<std::string> expected = {"TwoStyles1.Comment", "TwoStyles1.Key", "Switching1.Marker1",
                                             "TwoStyles2.Comment", "TwoStyles2.Key", "Switching1.Marker2"};
  EXPECT_EQ(names, expected);
  // the walk stops at the first false
  int calls = 0;
  auto stop = [&](TTxtCustomHighlighter*, TTxtHighlighterAttributes*, const AnsiString&, void*) {
    return ++calls < 3;
  };
  EXPECT_FALSE(WalkHighlighterAttributes(&multi, true, stop, nullptr));
  EXPECT_EQ(calls, 3);
}

// ---------------------------------------------------------------- descriptions

class TSettingsHolder : public TComponent {
  PV_CLASS(TSettingsHolder, TComponent)
 public:
  explicit TSettingsHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TTxtGutter Gutter;
  TTxtSelectedColor Selected;
  TTxtHighlighterAttributes Attri{"Key"};
};

TEST_F(ImageTest, SettingsTravelInDescriptions) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterProps<TSettingsHolder>([](TPropBuilder<TSettingsHolder>& p) {
      p.Prop("Gutter", [](TSettingsHolder* h) { return &h->Gutter; });
      p.Prop("Selected", [](TSettingsHolder* h) { return &h->Selected; });
      p.Prop("Attri", [](TSettingsHolder* h) { return &h->Attri; });
    });
  }
  TSettingsHolder a(nullptr);
  a.SetName("Holder");
  a.Attri.RecordDefaults();
  // at their defaults only the gutter's font (as every font) is written
  AnsiString plain = WriteComponentToText(&a);
  EXPECT_EQ(plain.find("Gutter.S"), AnsiString::npos) << plain;
  EXPECT_EQ(plain.find("Selected"), AnsiString::npos) << plain;
  EXPECT_EQ(plain.find("Attri"), AnsiString::npos) << plain;
  a.Gutter.SetShowLineNumbers(true);
  a.Gutter.SetBorderStyle(gbsRight);
  a.Selected.SetBackground(clRed);
  a.Attri.SetStyle(txtBold | txtItalic);
  AnsiString text = WriteComponentToText(&a);
  EXPECT_NE(text.find("Gutter.ShowLineNumbers = True"), AnsiString::npos) << text;
  EXPECT_NE(text.find("gbsRight"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Selected.Background = clRed"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Attri.Style = [fsBold, fsItalic]"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Attri.Background"), AnsiString::npos) << text;
  TSettingsHolder b(nullptr);
  b.Attri.RecordDefaults();
  ReadComponentFromText(text, &b);
  EXPECT_TRUE(b.Gutter.ShowLineNumbers());
  EXPECT_EQ(b.Gutter.BorderStyle(), gbsRight);
  EXPECT_EQ(b.Selected.Background(), clRed);
  EXPECT_EQ(b.Attri.Style(), txtBold | txtItalic);
}

}  // namespace
