#include <gtest/gtest.h>

#include "platform/classes/tests/fixtures.h"

namespace {

class TypInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

TEST_F(TypInfoTest, TablesInheritAndAnswerByName) {
  EXPECT_TRUE(IsPublishedProp(TTestControl::StaticClass(), "caption"));
  EXPECT_TRUE(IsPublishedProp(TTestControl::StaticClass(), "Tag"));   // from TComponent
  EXPECT_TRUE(IsPublishedProp(TTestControl::StaticClass(), "Link"));  // from TTestComponent
  EXPECT_FALSE(IsPublishedProp(TTestDataSet::StaticClass(), "Caption"));
  EXPECT_FALSE(IsPublishedProp(TTestControl::StaticClass(), "Nothing"));
  auto list = GetPropList(TTestControl::StaticClass());
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list[0]->Name, "Name");  // ancestors' entries first
  EXPECT_EQ(list[1]->Name, "Tag");

  struct KindCase {
    const char* name;
    TTypeKind kind;
  } kinds[] = {{"Caption", tkString}, {"Hint", tkWString},  {"Left", tkInteger},    {"Big", tkInt64},
               {"Ratio", tkFloat},    {"Visible", tkEnumeration}, {"Accel", tkChar}, {"Align", tkEnumeration},
               {"Options", tkSet},    {"Font", tkClass},   {"Link", tkClass},      {"OnClick", tkMethod}};
  for (const auto& k : kinds) {
    const TPropInfo* p = GetPropInfo(TTestControl::StaticClass(), k.name);
    ASSERT_NE(p, nullptr) << k.name;
    EXPECT_EQ(p->Kind, k.kind) << k.name;
  }
  EXPECT_EQ(GetPropInfo(TTestControl::StaticClass(), "Font")->PropClass, TTestFont::StaticClass());
}

TEST_F(TypInfoTest, ReadAndWriteByNameAsTextAndTyped) {
  TTestForm form(nullptr);
  form.SetName("Form");
  auto* c = new TTestControl(&form);
  c->SetName("Button1");
  auto* other = new TTestControl(&form);
  other->SetName("Other");

  SetPropText(c, "Left", "$20");
  EXPECT_EQ(c->Left, 32);
  SetPropText(c, "Align", "taClient");
  EXPECT_EQ(GetEnumProp(c, "Align"), "taClient");
  SetPropText(c, "Options", "[tsItalic, tsBold]");
  EXPECT_EQ(GetPropText(c, "Options"), "[tsBold,tsItalic]");
  SetPropText(c, "Font.Name", "Arial");
  EXPECT_EQ(c->Font.Name, "Arial");
  EXPECT_EQ(GetStrProp(c, "Font.Name"), "Arial");
  SetPropText(c, "Ratio", "2.5");
  EXPECT_DOUBLE_EQ(GetFloatProp(c, "Ratio"), 2.5);
  SetPropText(c, "Visible", "false");
  EXPECT_EQ(GetOrdProp(c, "Visible"), 0);
  SetPropText(c, "Link", "Other");
  EXPECT_EQ(GetObjectProp(c, "Link"), other);
  EXPECT_EQ(GetPropText(c, "Link"), "Other");
  SetPropText(c, "OnClick", "Button1Click");
  EXPECT_EQ(GetPropText(c, "OnClick"), "Button1Click");
  c->OnClick(c);
  EXPECT_EQ(form.Clicks, 1);
  SetInt64Prop(c, "Big", INT64_C(1) << 40);
  EXPECT_EQ(c->Big, INT64_C(1) << 40);
  SetWideStrProp(c, "Hint", u"\u4E2D");
  EXPECT_EQ(GetWideStrProp(c, "Hint"), u"\u4E2D");

  struct Bad {
    const char* name;
    const char* value;
  } bad[] = {{"Left", "12x"}, {"Align", "taNowhere"}, {"Options", "[tsBlink]"}, {"Ratio", "abc"},
             {"Link", "Nobody"}, {"OnClick", "EditKeyPress"}, {"OnClick", "Missing"}, {"Nothing", "1"},
             {"Caption.Length", "1"}};
  for (const auto& b : bad) EXPECT_ANY_THROW(SetPropText(c, b.name, b.value)) << b.name << "=" << b.value;
  EXPECT_EQ(c->Left, 32);
  EXPECT_THROW(GetStrProp(c, "Left"), EPropertyError);  // wrong kind
  try {
    GetOrdProp(c, "Nothing");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message, "Property Nothing does not exist");
  }
}

TEST_F(TypInfoTest, DefaultsAndStoredDecideWhatIsWritten) {
  TTestControl c(nullptr);
  const TPropInfo* left = GetPropInfo(&c, "Left");
  const TPropInfo* caption = GetPropInfo(&c, "Caption");
  const TPropInfo* ratio = GetPropInfo(&c, "Ratio");
  const TPropInfo* name = GetPropInfo(&c, "Name");
  EXPECT_TRUE(IsDefaultPropValue(&c, left));
  EXPECT_TRUE(IsDefaultPropValue(&c, caption));
  EXPECT_TRUE(IsDefaultPropValue(&c, ratio));
  c.Left = 1;
  c.Caption = "x";
  c.Ratio = 0;
  EXPECT_FALSE(IsDefaultPropValue(&c, left));
  EXPECT_FALSE(IsDefaultPropValue(&c, caption));
  EXPECT_FALSE(IsDefaultPropValue(&c, ratio));
  EXPECT_EQ(left->DefaultOrd, 0);
  EXPECT_FALSE(IsStoredProp(&c, name));
  EXPECT_TRUE(IsStoredProp(&c, "Caption"));
}

class TStoredTest : public TComponent {
  PV_CLASS(TStoredTest, TComponent)
 public:
  explicit TStoredTest(TComponent* o) : TComponent(o) {}
  int Count = 0;
  int Mode = 3;
  int Colour = static_cast<int>(0x80000008u);
  bool IsCountStored() const { return Count > 10; }
};

TEST_F(TypInfoTest, StoredPredicateAndOverriddenDefault) {
  RegisterProps<TStoredTest>([](TPropBuilder<TStoredTest>& p) {
    p.Field("Count", &TStoredTest::Count).Stored(&TStoredTest::IsCountStored);
    p.Field("Mode", &TStoredTest::Mode);  // no default: always written
    p.Field("Tag", &TStoredTest::Mode).Default(3);  // replaces the inherited entry in place
    p.Field("Colour", &TStoredTest::Colour).Default(0x80000008u);  // unsigned constant, signed property
  });
  TStoredTest t(nullptr);
  t.SetName("T");
  t.Count = 5;
  EXPECT_FALSE(IsStoredProp(&t, "Count"));
  t.Count = 11;
  EXPECT_TRUE(IsStoredProp(&t, "Count"));
  auto list = GetPropList(TStoredTest::StaticClass());
  EXPECT_EQ(list[1]->Name, "Tag");
  EXPECT_EQ(list[1]->DefaultOrd, 3);
  AnsiString text = WriteComponentToText(&t);
  EXPECT_EQ(text, "object T: TStoredTest\n  Count = 11\n  Mode = 3\nend\n");
}

TEST_F(TypInfoTest, EnumAndSetNames) {
  const TEnumInfo* e = TEnumNames<TTestAlign>::Info();
  EXPECT_EQ(e->TypeName, "TTestAlign");
  EXPECT_EQ(GetEnumName(e, 2), "taBottom");
  EXPECT_EQ(GetEnumName(e, 9), "9");
  EXPECT_EQ(GetEnumValue(e, "TACLIENT"), 3);
  EXPECT_EQ(GetEnumValue(e, "x"), -1);
  const TEnumInfo* s = TEnumNames<TTestStyle>::Info();
  EXPECT_EQ(SetToString(s, 0b101), "[tsBold,tsUnderline]");
  EXPECT_EQ(SetToString(s, 0, false), "");
  EXPECT_EQ(StringToSet(s, " [ tsUnderline ,tsBold ] "), 0b101u);
  EXPECT_EQ(StringToSet(s, "[]"), 0u);
  EXPECT_THROW(StringToSet(s, "[tsBold"), EPropertyConvertError);
}

struct THost : TObject {
  int Calls = 0;
  void A(TObject*) { ++Calls; }
  void B(TObject*) { Calls += 10; }
  int Twice(int x) const { return 2 * x; }
};

TEST_F(TypInfoTest, EventsCompareByObjectAndFunction) {
  THost h1, h2;
  TNotifyEvent a1(&h1, &THost::A), a1b(&h1, &THost::A), a2(&h2, &THost::A), b1(&h1, &THost::B), nil;
  EXPECT_TRUE(a1 == a1b);
  EXPECT_FALSE(a1 == a2);
  EXPECT_FALSE(a1 == b1);
  EXPECT_TRUE(nil == nullptr);
  EXPECT_FALSE(nil);
  EXPECT_TRUE(a1);
  EXPECT_THROW(nil(nullptr), EInvalidOperation);
  a1(nullptr);
  b1(nullptr);
  EXPECT_EQ(h1.Calls, 11);

  // swapping through the untyped form keeps identity
  TMethod m = a2.ToMethod();
  EXPECT_TRUE(TNotifyEvent::FromMethod(m) == a2);
  EXPECT_THROW(TKeyPressEvent::FromMethod(m), EInvalidCast);
  EXPECT_FALSE(TNotifyEvent::FromMethod(TMethod{}));

  TEvent<int(int)> twice(&h1, &THost::Twice);
  EXPECT_EQ(twice(21), 42);
}

TEST_F(TypInfoTest, HandlersAreFoundByNameAndNamedBack) {
  TTestForm form(nullptr);
  TMethod m = MethodByName(&form, "button1click");
  ASSERT_TRUE(m.Assigned());
  EXPECT_EQ(MethodName(m), "Button1Click");
  TNotifyEvent e = TNotifyEvent::FromMethod(m);
  EXPECT_TRUE(e == TNotifyEvent(&form, &TTestForm::Button1Click));
  e(nullptr);
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_FALSE(MethodByName(&form, "Nope").Assigned());
  THost h;
  EXPECT_EQ(MethodName(TNotifyEvent(&h, &THost::A).ToMethod()), "");
}

}  // namespace
