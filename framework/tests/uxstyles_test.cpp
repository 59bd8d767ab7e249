// Styles, style sets and style sheets: slot fallback through sheet chains,
// change and removal notification, and paint parameters completed from defaults.
#include "framework/uxstyles.h"

#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A style set that records its changes and gives fixed defaults.
class RecordingStyles : public TuxStyles {
  PV_CLASS(RecordingStyles, TuxStyles)
 public:
  explicit RecordingStyles(TPersistent* AOwner) : TuxStyles(AOwner) {}
  std::vector<int> ChangedIndexes;
  TFont DefaultFont;
  void GetDefaultViewParams(int Index, void* Data, TuxPaintParams& Params) override {
    TuxStyles::GetDefaultViewParams(Index, Data, Params);
    Params.Color = clBtnFace;
    Params.TextColor = clBtnText;
    Params.Font = &DefaultFont;
  }

 protected:
  void Changed(int Index) override { ChangedIndexes.push_back(Index); }
};

class RecordingSheet : public TuxCustomStyleSheet {
  PV_CLASS(RecordingSheet, TuxCustomStyleSheet)
 public:
  explicit RecordingSheet(TComponent* AOwner) : TuxCustomStyleSheet(AOwner) {}
  TClass GetStylesClass() const override { return RecordingStyles::StaticClass(); }
  RecordingStyles* Set() { return static_cast<RecordingStyles*>(Styles()); }
};

struct StylesTest : ::testing::Test {
  void SetUp() override { HeadlessBackend::Install(); }
  TComponent Form{nullptr};
  TuxStyleRepository* Repo = new TuxStyleRepository(&Form);
  TuxStyle* NewStyle(TColor Color = clDefault) {
    auto* s = static_cast<TuxStyle*>(Repo->CreateItem(TuxStyle::StaticClass()));
    s->SetColor(Color);
    return s;
  }
  RecordingSheet* NewSheet() {
    return static_cast<RecordingSheet*>(Repo->CreateStyleSheet(RecordingSheet::StaticClass()));
  }
};

TEST_F(StylesTest, EmptySlotFallsBackToTheSheetUntilSetExplicitly) {
  TuxStyle* sheetStyle = NewStyle(clRed);
  TuxStyle* own = NewStyle(clBlue);
  RecordingSheet* sheet = NewSheet();
  sheet->Set()->SetValue(2, sheetStyle);
  RecordingStyles set(nullptr);

  set.SetStyleSheet(sheet);
  EXPECT_EQ(set.GetValue(2), sheetStyle);
  EXPECT_EQ(set.GetValue(3), nullptr);
  EXPECT_EQ(set.ChangedIndexes, std::vector<int>{2});

  set.SetValue(2, own);
  EXPECT_EQ(set.GetValue(2), own);
  set.SetValue(2, nullptr);
  EXPECT_EQ(set.GetValue(2), sheetStyle);
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.ChangedIndexes, (std::vector<int>{2, 2, 2}));

  // A change of the sheet's style reaches the set that uses the sheet.
  set.ChangedIndexes.clear();
  sheetStyle->SetColor(clGreen);
  EXPECT_EQ(set.ChangedIndexes, std::vector<int>{2});
}

TEST_F(StylesTest, SheetChainsFallBackAndNotifyDownTheChain) {
  TuxStyle* deep = NewStyle(clRed);
  RecordingSheet* base = NewSheet();
  RecordingSheet* middle = NewSheet();
  base->Set()->SetValue(7, deep);
  middle->Set()->SetStyleSheet(base);
  RecordingStyles set(nullptr);
  set.SetStyleSheet(middle);
  EXPECT_EQ(set.GetValue(7), deep);

  set.ChangedIndexes.clear();
  deep->SetTextColor(clYellow);
  EXPECT_EQ(set.ChangedIndexes, std::vector<int>{7});

  // Freeing the bottom sheet detaches it; the slot loses its style.
  set.ChangedIndexes.clear();
  delete base;
  EXPECT_EQ(middle->Set()->StyleSheet(), nullptr);
  EXPECT_EQ(set.GetValue(7), nullptr);
  EXPECT_EQ(set.ChangedIndexes, std::vector<int>{7});
}

TEST_F(StylesTest, AssigningTheEffectiveStyleChangesNothing) {
  TuxStyle* s = NewStyle(clRed);
  RecordingSheet* sheet = NewSheet();
  sheet->Set()->SetValue(1, s);
  RecordingStyles set(nullptr);
  set.SetStyleSheet(sheet);
  set.ChangedIndexes.clear();

  set.SetValue(1, s);       // already effective through the sheet
  set.SetValue(4, nullptr);  // already empty
  EXPECT_EQ(set.Count(), 0);
  EXPECT_TRUE(set.ChangedIndexes.empty());
  EXPECT_EQ(s->ListenerCount(), 1);  // only the sheet's own set
}

TEST_F(StylesTest, InvalidSheetsAreIgnored) {
  RecordingSheet* a = NewSheet();
  RecordingSheet* b = NewSheet();
  auto* plain = static_cast<TuxCustomStyleSheet*>(Repo->CreateStyleSheet(TuxCustomStyleSheet::StaticClass()));
  b->Set()->SetStyleSheet(a);
  ASSERT_EQ(b->Set()->StyleSheet(), a);

  a->Set()->SetStyleSheet(a);  // its own sheet
  EXPECT_EQ(a->Set()->StyleSheet(), nullptr);
  a->Set()->SetStyleSheet(b);  // b leads back to a
  EXPECT_EQ(a->Set()->StyleSheet(), nullptr);
  RecordingStyles set(nullptr);
  set.SetStyleSheet(plain);  // a sheet of another style-set class
  EXPECT_EQ(set.StyleSheet(), nullptr);
  EXPECT_EQ(plain->StylesUserCount(), 0);
}

TEST_F(StylesTest, FreeingAStyleEmptiesEverySlotHoldingIt) {
  TuxStyle* shared = NewStyle(clRed);
  TuxStyle* other = NewStyle(clBlue);
  RecordingStyles set(nullptr);
  set.SetValue(3, shared);
  set.SetValue(1, other);
  set.SetValue(8, shared);
  set.ChangedIndexes.clear();

  delete shared;
  EXPECT_EQ(set.GetValue(3), nullptr);
  EXPECT_EQ(set.GetValue(8), nullptr);
  EXPECT_EQ(set.GetValue(1), other);
  EXPECT_EQ(set.ChangedIndexes, (std::vector<int>{8, 3}));
  EXPECT_EQ(Repo->Count(), 1);
}

// A style in two slots: dropping it from one slot, in any of the ways a slot can
// be emptied or reassigned, leaves the set listening for the other.
TEST_F(StylesTest, StyleInTwoSlotsStaysHeardUntilItLeavesBoth) {
  struct Case {
    const char* how;
    void (*drop)(RecordingStyles& set, TuxStyle* other);
  };
  const Case cases[] = {
      {"replaced", [](RecordingStyles& set, TuxStyle* other) { set.SetValue(3, other); }},
      {"cleared", [](RecordingStyles& set, TuxStyle*) { set.SetValue(3, nullptr); }},
      {"deleted",
       [](RecordingStyles& set, TuxStyle*) {
         int pos = -1;
         ASSERT_TRUE(set.Find(3, pos));
         set.Delete(pos);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    TuxStyle* shared = NewStyle(clRed);
    TuxStyle* other = NewStyle(clBlue);
    RecordingStyles set(nullptr);
    set.SetValue(3, shared);
    set.SetValue(8, shared);
    c.drop(set, other);
    EXPECT_EQ(shared->ListenerCount(), 1);

    set.ChangedIndexes.clear();
    shared->SetColor(clGreen);
    EXPECT_EQ(set.ChangedIndexes, std::vector<int>{8});

    set.ChangedIndexes.clear();
    delete shared;
    EXPECT_EQ(set.GetValue(8), nullptr);
    EXPECT_EQ(set.ChangedIndexes, std::vector<int>{8});
    set.SetValue(8, other);  // the slot no longer holds a freed style
    EXPECT_EQ(set.GetValue(8), other);

    // Leaving the last slot ends the listening.
    set.SetValue(8, nullptr);
    set.SetValue(3, nullptr);
    EXPECT_EQ(other->ListenerCount(), 0);
    delete other;
  }
}

// A listener that never removes itself must not make a style's destruction hang.
TEST_F(StylesTest, StyleDestructionEndsWithAListenerThatStaysRegistered) {
  struct Stubborn : IuxStyleListener {
    int Removed = 0;
    void NotifyStyleChanged(TuxCustomStyle*) override {}
    void NotifyStyleRemoved(TuxCustomStyle*) override { ++Removed; }
  } stubborn;
  TuxStyle* s = NewStyle();
  s->AddListener(&stubborn);
  s->AddListener(&stubborn);
  EXPECT_EQ(s->ListenerCount(), 1);
  delete s;
  EXPECT_EQ(stubborn.Removed, 1);
}

TEST_F(StylesTest, RepositoryFreesItsStylesAndSheetsAndTheirUsersForgetThem) {
  TuxStyle* s = NewStyle(clRed);
  RecordingSheet* sheet = NewSheet();
  RecordingStyles set(nullptr);
  set.SetValue(0, s);
  set.SetStyleSheet(sheet);
  delete Repo;
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.StyleSheet(), nullptr);
  EXPECT_EQ(Form.ComponentCount(), 0);
}

TEST_F(StylesTest, ColourAssignmentFollowsTheDefaultMarker) {
  TuxStyle* s = NewStyle();
  s->SetColor(clRed);
  s->SetTextColor(clBlue);
  EXPECT_EQ(s->AssignedValues(), (TuxStyleValues{svColor, svTextColor}));
  s->SetColor(clDefault);
  EXPECT_EQ(s->AssignedValues(), TuxStyleValues{svTextColor});

  RecordingStyles set(nullptr);
  set.SetValue(0, s);
  TuxPaintParams p;
  set.GetViewParams(0, nullptr, nullptr, p);
  EXPECT_EQ(p.Color, clBtnFace);  // from the defaults
  EXPECT_EQ(p.TextColor, clBlue);
  EXPECT_EQ(p.Font, &set.DefaultFont);
  EXPECT_EQ(p.Bitmap, nullptr);
}

TEST_F(StylesTest, ViewParamsPreferTheGivenStyleThenTheSlotThenDefaults) {
  TuxStyle* slot = NewStyle(clRed);
  slot->SetTextColor(clGreen);
  slot->Bitmap()->SetSize(4, 4);
  TuxStyle* given = NewStyle(clBlue);
  given->Font()->SetSize(20);
  EXPECT_TRUE(given->AssignedValues().Contains(svFont));
  EXPECT_TRUE(slot->AssignedValues().Contains(svBitmap));

  RecordingStyles set(nullptr);
  set.SetValue(5, slot);
  struct Case {
    bool BitmapInViewParams;
    TBitmap* Bitmap;
  } cases[] = {{false, nullptr}, {true, slot->Bitmap()}};
  for (const Case& c : cases) {
    set.SetBitmapInViewParams(c.BitmapInViewParams);
    TuxPaintParams p;
    set.GetViewParams(5, nullptr, given, p);
    EXPECT_EQ(p.Color, clBlue);
    EXPECT_EQ(p.TextColor, clGreen);
    EXPECT_EQ(p.Font, given->Font());
    EXPECT_EQ(p.Bitmap, c.Bitmap);
  }
  EXPECT_EQ(set.GetBitmap(5), slot->Bitmap());
  slot->Bitmap()->SetSize(0, 0);
  EXPECT_FALSE(slot->AssignedValues().Contains(svBitmap));
  EXPECT_EQ(set.GetBitmap(5), nullptr);
}

TEST_F(StylesTest, AssignAndRestoreDefaults) {
  TuxStyle* src = NewStyle(clRed);
  src->SetAssignedValues(TuxStyleValues{svTextColor});  // values stay, set changes
  EXPECT_EQ(src->Color(), clRed);
  TuxStyle* dst = NewStyle();
  dst->Assign(src);
  EXPECT_EQ(dst->Color(), clRed);
  EXPECT_EQ(dst->AssignedValues(), TuxStyleValues{svTextColor});

  RecordingStyles set(nullptr);
  set.SetValue(0, dst);
  set.ChangedIndexes.clear();
  dst->RestoreDefaults();
  EXPECT_TRUE(dst->AssignedValues().Empty());
  EXPECT_EQ(dst->Color(), clDefault);
  EXPECT_EQ(set.ChangedIndexes, std::vector<int>{0});
}

TEST_F(StylesTest, FontChangeNotifiesSlotsUsingThatDefaultFont) {
  TuxStyle* withFont = NewStyle();
  withFont->Font()->SetSize(15);
  RecordingStyles set(nullptr);
  set.SetValue(1, withFont);
  TuxPaintParams p;
  set.GetViewParams(2, nullptr, nullptr, p);  // asks defaults up to slot 2
  set.ChangedIndexes.clear();
  set.FontChanged(nullptr, &set.DefaultFont);
  EXPECT_EQ(set.ChangedIndexes, (std::vector<int>{0, 2}));
  set.ChangedIndexes.clear();
  TFont other;
  set.FontChanged(nullptr, &other);
  EXPECT_TRUE(set.ChangedIndexes.empty());
}

TEST_F(StylesTest, FindKeepsItemsSortedByIndex) {
  RecordingStyles set(nullptr);
  TuxStyle* s = NewStyle();
  for (int index : {10, -3, 4, 7}) set.SetValue(index, s);
  struct {
    int Index;
    bool Found;
    int Position;
  } cases[] = {{-3, true, 0}, {4, true, 1}, {10, true, 3}, {-5, false, 0}, {5, false, 2}, {11, false, 4}};
  for (const auto& c : cases) {
    int pos = -1;
    EXPECT_EQ(set.Find(c.Index, pos), c.Found) << c.Index;
    EXPECT_EQ(pos, c.Position) << c.Index;
  }
  EXPECT_THROW(set.Items(4), EListError);
}

TEST_F(StylesTest, CaptionFollowsTheNameUnlessSetOtherwise) {
  RecordingSheet* sheet = NewSheet();
  sheet->SetName("Sheet1");
  sheet->SetCaption("SHEET1");
  EXPECT_FALSE(sheet->IsCaptionStored());
  sheet->SetName("Plain");
  EXPECT_EQ(sheet->Caption(), "Plain");
  sheet->SetCaption("Fancy");
  sheet->SetName("Renamed");
  EXPECT_EQ(sheet->Caption(), "Fancy");
}

TEST_F(StylesTest, ParentMustBeARepository) {
  TuxStyle* s = NewStyle();
  EXPECT_EQ(s->GetParentComponent(), Repo);
  EXPECT_THROW(s->SetParentComponent(&Form), EComponentError);
  auto* other = new TuxStyleRepository(&Form);
  s->SetParentComponent(other);
  EXPECT_EQ(Repo->Count(), 0);
  EXPECT_EQ(other->Count(), 1);
}

}  // namespace

namespace {

// Styles and sheets owned by the form but kept in a repository: freeing the
// form frees each exactly once whatever order its components go in.
TEST(StylesOwnership, FormOwnedStylesSurviveTheFormsDestruction) {
  HeadlessBackend::Install();
  auto* form = new TComponent(nullptr);
  auto* repo = new TuxStyleRepository(form);
  auto* style = static_cast<TuxStyle*>(repo->CreateItemEx(TuxStyle::StaticClass(), form));
  repo->CreateStyleSheetEx(RecordingSheet::StaticClass(), form);
  RecordingStyles set(nullptr);
  set.SetValue(0, style);
  EXPECT_EQ(form->ComponentCount(), 3);
  delete form;
  EXPECT_EQ(set.Count(), 0);
}

TEST(StylesOwnership, CreatingFromAWrongClassRaises) {
  TuxStyleRepository repo(nullptr);
  EXPECT_THROW(repo.CreateItem(TComponent::StaticClass()), EComponentError);
  EXPECT_THROW(repo.CreateStyleSheet(TuxStyle::StaticClass()), EComponentError);
  EXPECT_EQ(repo.Count(), 0);
}

}  // namespace

namespace {

TEST(StylesStreaming, SheetStreamsBuiltIn) {
  HeadlessBackend::Install();
  TComponent form(nullptr);
  form.SetName("Form1");
  auto* sheet = new RecordingSheet(&form);
  sheet->SetName("Sheet1");
  sheet->SetDesigning(false);
  EXPECT_FALSE(sheet->BuiltIn());
  sheet->SetBuiltIn(true);
  AnsiString text = WriteComponentToText(sheet);
  EXPECT_NE(text.find("BuiltIn = True"), AnsiString::npos) << text;

  RegisterClasses({RecordingSheet::StaticClass()});
  auto* copy = new RecordingSheet(nullptr);
  ReadComponentFromText(text, copy);
  EXPECT_TRUE(copy->BuiltIn());
  delete copy;
}

}  // namespace

namespace {

// A component holding a style set that looks at a slot while it is written.
class SlotOwner : public TComponent {
  PV_CLASS(SlotOwner, TComponent)
 public:
  explicit SlotOwner(TComponent* AOwner) : TComponent(AOwner) {}
  TuxStyles Styles{this};
  std::vector<TuxCustomStyle*> SeenWhileWriting;

 protected:
  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    SeenWhileWriting.push_back(Styles.GetValue(0));
  }
};

TEST(StylesStreaming, OnlyOwnStylesCountWhileTheOwnerIsWritten) {
  HeadlessBackend::Install();
  TComponent form(nullptr);
  auto* repo = new TuxStyleRepository(&form);
  auto* style = static_cast<TuxStyle*>(repo->CreateItem(TuxStyle::StaticClass()));
  SlotOwner owner(nullptr);
  owner.SetName("Owner1");
  // TuxStyles sets need a sheet whose style-set class is TuxStyles.
  struct StylesSheet : TuxCustomStyleSheet {
    using TuxCustomStyleSheet::TuxCustomStyleSheet;
    TClass GetStylesClass() const override { return TuxStyles::StaticClass(); }
  };
  auto* tsheet = new StylesSheet(repo);
  tsheet->Styles()->SetValue(0, style);
  owner.Styles.SetStyleSheet(tsheet);
  EXPECT_EQ(owner.Styles.GetValue(0), style);
  WriteComponentToText(&owner);
  ASSERT_FALSE(owner.SeenWhileWriting.empty());
  EXPECT_EQ(owner.SeenWhileWriting.back(), nullptr);
  auto* own = static_cast<TuxStyle*>(repo->CreateItem(TuxStyle::StaticClass()));
  owner.Styles.SetValue(0, own);  // an own style counts while writing
  WriteComponentToText(&owner);
  EXPECT_EQ(owner.SeenWhileWriting.back(), own);
}

}  // namespace

namespace {

// ---- streaming: a repository, its styles and a sheet written into a
// description and read back, with a view whose slots refer to them ----

class TestViewStyles : public TuxStyles {
  PV_CLASS(TestViewStyles, TuxStyles)
 public:
  explicit TestViewStyles(TPersistent* AOwner) : TuxStyles(AOwner) {}
  TuxCustomStyle* Content() const { return GetValue(0); }
  void SetContent(TuxCustomStyle* Value) { SetValue(0, Value); }
  TuxCustomStyle* Header() const { return GetValue(1); }
  void SetHeader(TuxCustomStyle* Value) { SetValue(1, Value); }
};

class TestStyleSheet : public TuxCustomStyleSheet {
  PV_CLASS(TestStyleSheet, TuxCustomStyleSheet)
 public:
  explicit TestStyleSheet(TComponent* AOwner) : TuxCustomStyleSheet(AOwner) {}
  TClass GetStylesClass() const override { return TestViewStyles::StaticClass(); }
  TestViewStyles* ViewStyles() { return static_cast<TestViewStyles*>(Styles()); }
};

class TestView : public TComponent {
  PV_CLASS(TestView, TComponent)
 public:
  explicit TestView(TComponent* AOwner) : TComponent(AOwner) {}
  TestViewStyles* Styles() { return &FStyles; }

 private:
  TestViewStyles FStyles{this};
};

// A root that writes and reads the components it owns that have no parent.
class TestRoot : public TComponent {
  PV_CLASS(TestRoot, TComponent)
 public:
  explicit TestRoot(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
  TComponent* GetChildOwner() override { return this; }
};

void RegisterStreamingTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  InitGraphicsProps();
  uxInitStyles();
  RegisterClasses({TestRoot::StaticClass(), TestView::StaticClass(), TestStyleSheet::StaticClass()});
  RegisterProps<TestViewStyles>([](TPropBuilder<TestViewStyles>& p) {
    p.Prop("Content", &TestViewStyles::Content, &TestViewStyles::SetContent);
    p.Prop("Header", &TestViewStyles::Header, &TestViewStyles::SetHeader);
    p.Prop("StyleSheet", &TestViewStyles::StyleSheet, &TestViewStyles::SetStyleSheet);
  });
  RegisterProps<TestStyleSheet>([](TPropBuilder<TestStyleSheet>& p) {
    p.Prop("Styles", [](TestStyleSheet* s) { return s->ViewStyles(); });
  });
  RegisterProps<TestView>([](TPropBuilder<TestView>& p) {
    p.Prop("Styles", [](TestView* v) { return v->Styles(); });
  });
}

template <class T>
T* Named(TComponent* Root, const char* Name) {
  auto* c = dynamic_cast<T*>(Root->FindComponent(Name));
  EXPECT_NE(c, nullptr) << Name;
  return c;
}

TEST(StylesStreaming, RepositoryStylesSheetAndSlotsRoundTrip) {
  HeadlessBackend::Install();
  RegisterStreamingTestClasses();
  AnsiString text;
  {
    TestRoot root(nullptr);
    root.SetName("Root1");
    auto* repo = new TuxStyleRepository(&root);
    repo->SetName("Repo");
    auto* plain = static_cast<TuxStyle*>(repo->CreateItemEx(TuxStyle::StaticClass(), &root));
    plain->SetName("Plain");
    auto* full = static_cast<TuxStyle*>(repo->CreateItemEx(TuxStyle::StaticClass(), &root));
    full->SetName("Full");
    full->SetColor(clInfoBk);
    full->SetTextColor(RGB(1, 2, 3));
    full->Font()->SetName("Arial");
    full->Font()->SetSize(11);
    full->Bitmap()->SetSize(2, 2);
    full->Bitmap()->Canvas()->SetPixel(1, 0, clRed);
    auto* sheet = static_cast<TestStyleSheet*>(repo->CreateStyleSheetEx(TestStyleSheet::StaticClass(), &root));
    sheet->SetName("Sheet");
    sheet->SetCaption("Blue steel");
    sheet->ViewStyles()->SetHeader(plain);
    auto* view = new TestView(&root);
    view->SetName("View");
    view->Styles()->SetContent(full);
    view->Styles()->SetStyleSheet(sheet);
    text = WriteComponentToText(&root);
  }
  // Only the assigned values are stored; an unassigned style stores its empty set.
  EXPECT_NE(text.find("AssignedValues = []"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Color = clDefault"), AnsiString::npos) << text;
  EXPECT_NE(text.find("BuiltIn = False"), AnsiString::npos) << text;

  TestRoot copy(nullptr);
  ReadComponentFromText(text, &copy);
  auto* repo = Named<TuxStyleRepository>(&copy, "Repo");
  auto* plain = Named<TuxStyle>(&copy, "Plain");
  auto* full = Named<TuxStyle>(&copy, "Full");
  auto* sheet = Named<TestStyleSheet>(&copy, "Sheet");
  auto* view = Named<TestView>(&copy, "View");
  ASSERT_TRUE(repo && plain && full && sheet && view);
  EXPECT_EQ(repo->Count(), 2);
  EXPECT_EQ(repo->StyleSheetCount(), 1);
  EXPECT_EQ(full->StyleRepository(), repo);
  EXPECT_EQ(sheet->StyleRepository(), repo);
  EXPECT_TRUE(plain->AssignedValues().Empty());
  EXPECT_EQ(full->AssignedValues(), (TuxStyleValues{svBitmap, svColor, svFont, svTextColor}));
  EXPECT_EQ(full->Color(), clInfoBk);
  EXPECT_EQ(full->TextColor(), TColor(RGB(1, 2, 3)));
  EXPECT_EQ(full->Font()->Name(), "Arial");
  EXPECT_EQ(full->Font()->Size(), 11);
  EXPECT_EQ(full->Bitmap()->Width(), 2);
  EXPECT_EQ(full->Bitmap()->Canvas()->Pixels(1, 0), clRed);
  EXPECT_EQ(sheet->Caption(), "Blue steel");
  EXPECT_EQ(view->Styles()->GetValue(0), full);
  EXPECT_EQ(view->Styles()->StyleSheet(), sheet);
  EXPECT_EQ(view->Styles()->GetValue(1), plain);  // through the sheet
  EXPECT_EQ(view->Styles()->Count(), 1);          // only Content is its own
  // Written again, the copy gives the same description.
  EXPECT_EQ(WriteComponentToText(&copy), text);
}

// A style set told that a style goes can still read that style's values
// (another of its slots still holds it while the first is emptied).
TEST_F(StylesTest, StyleValuesAreWholeWhileItsRemovalIsAnnounced) {
  struct ReadingStyles : RecordingStyles {
    using RecordingStyles::RecordingStyles;
    std::vector<AnsiString> FontNamesSeen;
    void Changed(int Index) override {
      for (int i = 0; i < 2; ++i)
        if (auto* s = dynamic_cast<TuxStyle*>(GetValue(i))) FontNamesSeen.push_back(s->Font()->Name());
    }
  } set(nullptr);
  TuxStyle* s = NewStyle();
  s->Font()->SetName("Courier New");
  set.SetValue(0, s);
  set.SetValue(1, s);
  set.FontNamesSeen.clear();
  delete s;
  // Slot 1 is emptied first; slot 0 still holds the style and reads it whole.
  EXPECT_EQ(set.FontNamesSeen, std::vector<AnsiString>{"Courier New"});
  EXPECT_EQ(set.Count(), 0);
}

}  // namespace
