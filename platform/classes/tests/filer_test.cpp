#include <gtest/gtest.h>

#include <limits>

#include "platform/classes/tests/fixtures.h"

namespace {

const char* kModuleText =
    "object LibDataModule: TTestModule\n"
    "  object libDS: TTestDataSet\n"
    "    TableName = 'books'\n"
    "    Left = 24\n"
    "    Top = 16\n"
    "  end\n"
    "end\n";

const char* kFormText =
    "object MainForm: TTestForm\n"
    "  Tag = 7\n"
    "  Link = LibDataModule.libDS\n"
    "  object Panel1: TTestControl\n"
    "    Align = taTop\n"
    "    object Button1: TTestControl\n"
    "      Caption = 'It''s '#13#10'\xD6\xD0\xCE\xC4' +\n"
    "        ' more'\n"
    "      Hint = 'h'#20013'i'\n"
    "      Left = $10\n"
    "      Big = 123456789012\n"
    "      Ratio = 0.25\n"
    "      Visible = False\n"
    "      Accel = 'K'\n"
    "      Options = [tsBold, tsUnderline]\n"
    "      Font.Name = 'Tahoma'\n"
    "      Font.Style = [tsItalic]\n"
    "      Items.Strings = (\n"
    "        'one'\n"
    "        'two')\n"
    "      Columns = <\n"
    "        item\n"
    "          Title = 'A'\n"
    "        end\n"
    "        item\n"
    "          Title = 'B'\n"
    "          Width = 10\n"
    "        end>\n"
    "      Data = {\n"
    "        00FF10\n"
    "        7F}\n"
    "      Points = (1 -2 $30)\n"
    "      Link = Edit1\n"
    "      OnClick = Button1Click\n"
    "    end\n"
    "  end\n"
    "  object Edit1: TTestControl\n"
    "    OnKeyPress = EditKeyPress\n"
    "    OnClick = Button1Click\n"
    "  end\n"
    "end\n";

class FilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    EventLog().clear();
    module = new TTestModule(nullptr);
    ReadComponentFromText(kModuleText, module);
  }
  void TearDown() override {
    delete form;
    delete form2;
    delete module;
  }
  TTestForm* ReadForm(const AnsiString& text) {
    auto* f = new TTestForm(nullptr);
    try {
      ReadComponentFromText(text, f);
    } catch (...) {
      delete f;
      throw;
    }
    return f;
  }
  TTestModule* module = nullptr;
  TTestForm* form = nullptr;
  TTestForm* form2 = nullptr;
};

TEST_F(FilerTest, DescriptionBuildsLiveTree) {
  form = ReadForm(kFormText);
  EXPECT_EQ(form->Name(), "MainForm");
  EXPECT_EQ(form->Tag(), 7);
  ASSERT_EQ(form->ComponentCount(), 3);  // everything is owned by the root
  TTestControl* button = form->Button1;  // fields are bound by name
  ASSERT_NE(button, nullptr);
  ASSERT_NE(form->Panel1, nullptr);
  EXPECT_EQ(button->GetParentComponent(), form->Panel1);
  EXPECT_EQ(form->Panel1->GetParentComponent(), form);
  EXPECT_EQ(form->Panel1->Align, taTop);

  EXPECT_EQ(button->Caption, "It's \r\n\xD6\xD0\xCE\xC4 more");
  EXPECT_EQ(button->Hint, u"h\u4E2Di");
  EXPECT_EQ(button->Left, 16);
  EXPECT_EQ(button->Big, 123456789012LL);
  EXPECT_DOUBLE_EQ(button->Ratio, 0.25);
  EXPECT_FALSE(button->Visible);
  EXPECT_EQ(button->Accel, 'K');
  EXPECT_EQ(button->Options, (TTestStyles{tsBold, tsUnderline}));
  EXPECT_EQ(button->Font.Name, "Tahoma");
  EXPECT_EQ(button->Font.Style, TTestStyles{tsItalic});
  EXPECT_EQ(button->Font.Size, 9);
  ASSERT_EQ(button->Items.Count(), 2);
  EXPECT_EQ(button->Items.Strings(1), "two");
  ASSERT_EQ(button->Columns.Count(), 2);
  EXPECT_EQ(static_cast<TTestColumn*>(button->Columns.Items(0))->Title, "A");
  EXPECT_EQ(static_cast<TTestColumn*>(button->Columns.Items(0))->Width, 64);
  EXPECT_EQ(static_cast<TTestColumn*>(button->Columns.Items(1))->Width, 10);
  EXPECT_EQ(button->Data, AnsiString("\x00\xFF\x10\x7F", 4));
  EXPECT_EQ(button->Points, (std::vector<int>{1, -2, 48}));

  // references: forward within the root and across roots
  EXPECT_EQ(button->Link(), form->FindComponent("Edit1"));
  EXPECT_EQ(form->Link(), module->FindComponent("libDS"));
  EXPECT_EQ(module->FindComponent("libDS")->DesignInfo(), (16 << 16) | 24);

  // handlers fire on the form
  button->OnClick(button);
  auto* edit = static_cast<TTestControl*>(form->FindComponent("Edit1"));
  edit->OnClick(edit);
  EXPECT_EQ(form->Clicks, 2);
  EXPECT_TRUE(button->OnClick == edit->OnClick);
  char key = 'x';
  edit->OnKeyPress(edit, key);
  EXPECT_EQ(form->LastKey, "x");

  // state after reading
  for (int i = 0; i < form->ComponentCount(); ++i) {
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csReading));
  }
}

TEST_F(FilerTest, LoadedRunsOnceForEachComponentRootFirst) {
  EventLog().clear();
  form = ReadForm(kFormText);
  std::vector<std::string> loaded;
  for (auto& e : EventLog())
    if (e.rfind("loaded ", 0) == 0) loaded.push_back(e);
  EXPECT_EQ(loaded, (std::vector<std::string>{"loaded MainForm", "loaded Panel1", "loaded Button1", "loaded Edit1"}));
}

TEST_F(FilerTest, WriteThenReadGivesEqualTree) {
  form = ReadForm(kFormText);
  AnsiString text = WriteComponentToText(form);
  // Only values that differ from the defaults are stored.
  EXPECT_EQ(text.find("Font.Size"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Ratio = 1"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Items.Strings = (\n"), AnsiString::npos) << text;
  EXPECT_NE(text.find("OnClick = Button1Click"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Link = LibDataModule.libDS"), AnsiString::npos) << text;

  delete form;
  form = nullptr;
  form2 = ReadForm(text);
  EXPECT_EQ(WriteComponentToText(form2), text);
  TTestControl* button = form2->Button1;
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Caption, "It's \r\n\xD6\xD0\xCE\xC4 more");
  EXPECT_EQ(button->Hint, u"h\u4E2Di");
  EXPECT_EQ(button->Data, AnsiString("\x00\xFF\x10\x7F", 4));
  EXPECT_EQ(button->Points, (std::vector<int>{1, -2, 48}));
  EXPECT_EQ(button->GetParentComponent(), form2->Panel1);
  button->OnClick(button);
  EXPECT_EQ(form2->Clicks, 1);
}

TEST_F(FilerTest, RoundTripKeepsAwkwardValues) {
  form = new TTestForm(nullptr);
  form->SetName("F");
  auto* c = new TTestControl(form);
  c->SetName("C");
  c->SetParentComponent(form);
  c->Caption = AnsiString("a'b\x01\x7F\xB0\xA1", 7);
  c->Hint = u"\u00E9\uFFFF'";
  c->Ratio = 3.0;
  c->Big = -9223372036854775807LL - 1;
  c->Left = -2147483647 - 1;
  c->Accel = '\'';
  c->Data = AnsiString(1000, '\xAB');
  auto* latin = new TTestControl(form);
  latin->SetName("Latin");
  latin->SetParentComponent(form);
  latin->Hint = u"caf\u00E9";
  AnsiString text = WriteComponentToText(form);
  delete form;
  form = nullptr;
  form2 = ReadForm(text);
  auto* d = static_cast<TTestControl*>(form2->FindComponent("C"));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Caption, AnsiString("a'b\x01\x7F\xB0\xA1", 7));
  EXPECT_EQ(d->Hint, u"\u00E9\uFFFF'");
  EXPECT_DOUBLE_EQ(d->Ratio, 3.0);
  EXPECT_EQ(d->Big, -9223372036854775807LL - 1);
  EXPECT_EQ(d->Left, -2147483647 - 1);
  EXPECT_EQ(d->Accel, '\'');
  EXPECT_EQ(d->Data, AnsiString(1000, '\xAB'));
  auto* latin2 = static_cast<TTestControl*>(form2->FindComponent("Latin"));
  ASSERT_NE(latin2, nullptr);
  EXPECT_EQ(latin2->Hint, u"caf\u00E9");
}

struct BadCase {
  const char* name;
  const char* text;
  int line;
  const char* fragment;
};

class FilerErrorTest : public FilerTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(FilerErrorTest, RaisesReadErrorWithLineAndLeavesNothing) {
  const BadCase& c = GetParam();
  auto* f = new TTestForm(nullptr);
  f->SetName("Keep");
  auto* existing = new TTestControl(f);
  existing->SetName("Existing");
  try {
    ReadComponentFromText(c.text, f);
    FAIL() << "no error for " << c.name;
  } catch (const EReadError& e) {
    AnsiString msg = e.Message;
    EXPECT_NE(msg.find(c.fragment), AnsiString::npos) << msg;
    EXPECT_NE(msg.find("on line " + std::to_string(c.line)), AnsiString::npos) << msg;
  }
  // The components the failed read created are gone; what was there stays.
  EXPECT_EQ(f->ComponentCount(), 1);
  EXPECT_EQ(f->Components(0), existing);
  EXPECT_EQ(f->Button1, nullptr);
  EXPECT_FALSE(f->ComponentState().Contains(csLoading));
  EXPECT_FALSE(existing->ComponentState().Contains(csReading));
  delete f;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, FilerErrorTest,
    ::testing::Values(
        BadCase{"MissingEnd", "object F: TTestForm\n  object Button1: TTestControl\n    Left = 1\n  end\n", 5, "'end' expected"},
        BadCase{"UnknownClass", "object F: TTestForm\n  object Button1: TTestControl\n  end\n  object X: TNoSuchClass\n  end\nend\n", 4,
                "Class TNoSuchClass not found"},
        BadCase{"UnknownProperty", "object F: TTestForm\n  object Button1: TTestControl\n    Left = 1\n    Bogus = 2\n  end\nend\n", 4,
                "Button1.Bogus: Property Bogus does not exist"},
        BadCase{"UnknownNestedProperty", "object F: TTestForm\n  object Button1: TTestControl\n    Font.Colour = 1\n  end\nend\n", 3,
                "Property Colour does not exist"},
        BadCase{"BadString", "object F: TTestForm\n  object Button1: TTestControl\n    Caption = 'abc\n  end\nend\n", 3,
                "Unterminated string"},
        BadCase{"BadStringJoin", "object F: TTestForm\n  object Button1: TTestControl\n    Caption = 'abc' +\n  end\nend\n", 4,
                "String expected"},
        BadCase{"OddBinary", "object F: TTestForm\n  object Button1: TTestControl\n    Data = {\n      ABC}\n  end\nend\n", 4,
                "odd number of digits"},
        BadCase{"BadBinaryDigit", "object F: TTestForm\n  object Button1: TTestControl\n    Data = {AG}\n  end\nend\n", 3,
                "Invalid binary value"},
        BadCase{"MissingReference", "object F: TTestForm\n  object Button1: TTestControl\n    Link = Nobody\n  end\nend\n", 3,
                "Component 'Nobody' not found"},
        BadCase{"MissingCrossRootReference", "object F: TTestForm\n  object Button1: TTestControl\n  end\n  Link = LibDataModule.noDS\nend\n",
                4, "Component 'LibDataModule.noDS' not found"},
        BadCase{"UnknownEnum", "object F: TTestForm\n  object Button1: TTestControl\n    Align = taSideways\n  end\nend\n", 3,
                "'taSideways' is not a valid TTestAlign value"},
        BadCase{"UnknownSetElement", "object F: TTestForm\n  object Button1: TTestControl\n    Options = [tsBold, tsBlink]\n  end\nend\n",
                3, "'tsBlink' is not a valid TTestStyle value"},
        BadCase{"UnknownHandler", "object F: TTestForm\n  object Button1: TTestControl\n    OnClick = NoSuchClick\n  end\nend\n", 3,
                "Method 'NoSuchClick' not found"},
        BadCase{"WrongHandlerSignature", "object F: TTestForm\n  object Button1: TTestControl\n    OnClick = EditKeyPress\n  end\nend\n",
                3, "incompatible parameter list"},
        BadCase{"WrongValueKind", "object F: TTestForm\n  object Button1: TTestControl\n    Left = 'x'\n  end\nend\n", 3,
                "Invalid property value"},
        BadCase{"IntegerOutOfRange", "object F: TTestForm\n  object Button1: TTestControl\n    Left = 99999999999\n  end\nend\n", 3,
                "out of range"},
        BadCase{"FloatOutOfRange", "object F: TTestForm\n  object Button1: TTestControl\n    Ratio = 1e999\n  end\nend\n", 3,
                "Number out of range"},
        BadCase{"NegativeFloatOutOfRange", "object F: TTestForm\n  object Button1: TTestControl\n    Ratio = -2.5e309\n  end\nend\n",
                3, "Number out of range"},
        BadCase{"VariantFloatOutOfRange", "object F: TTestForm\n  object Button1: TTestControl\n    Value = 1.0e400\n  end\nend\n",
                3, "Number out of range"},
        BadCase{"BadListItem", "object F: TTestForm\n  object Button1: TTestControl\n    Points = (\n      1\n      'x')\n  end\nend\n", 5,
                "Invalid property value"},
        BadCase{"DuplicateName", "object F: TTestForm\n  object Button1: TTestControl\n  end\n  object Existing: TTestControl\n  end\nend\n", 4,
                "A component named Existing already exists"},
        BadCase{"InvalidName", "object F: TTestForm\n  object Button1: TTestControl\n  end\n  object Existing: TTestControl\n  end\n  object 9: TTestControl\n  end\nend\n",
                6, "Identifier expected"},
        BadCase{"InheritedWithoutAncestor", "object F: TTestForm\n  inherited Ghost: TTestControl\n  end\nend\n", 2,
                "Ancestor for 'Ghost' not found"},
        BadCase{"NotAComponent", "object F: TTestForm\n  object Col: TTestColumn\n  end\nend\n", 2, "is not a component class"},
        BadCase{"TextAfterEnd", "object F: TTestForm\nend\nobject G: TTestForm\nend\n", 3, "Text after the final 'end'"},
        BadCase{"BadCollection", "object F: TTestForm\n  object Button1: TTestControl\n    Columns = <\n      thing\n      end>\n  end\nend\n", 4,
                "'item' expected"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST_F(FilerTest, SecondInstanceOfRootGetsUniqueName) {
  form = ReadForm(kFormText);
  form2 = ReadForm(kFormText);
  EXPECT_EQ(form2->Name(), "MainForm_1");
  EXPECT_EQ(FindGlobalComponent("MainForm"), form);
}

TEST_F(FilerTest, InheritedDescriptionChangesExistingComponents) {
  form = ReadForm(kFormText);
  ReadComponentFromText(
      "inherited MainForm: TTestForm\n"
      "  inherited Panel1: TTestControl\n"
      "    inherited Button1: TTestControl\n"
      "      Caption = 'changed'\n"
      "    end\n"
      "    object Button2: TTestControl\n"
      "    end\n"
      "  end\n"
      "end\n",
      form);
  EXPECT_EQ(form->Button1->Caption, "changed");
  EXPECT_EQ(form->Button1->Left, 16);  // untouched values stay
  auto* b2 = form->FindComponent("Button2");
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(b2->GetParentComponent(), form->Panel1);
}

TEST_F(FilerTest, StreamRoundTripCreatesRootByClassName) {
  TMemoryStream ms;
  WriteComponentToStream(&ms, module);
  ms.SetPosition(0);
  delete module;
  module = nullptr;
  TComponent* copy = ReadComponentFromStream(&ms, nullptr);
  module = dynamic_cast<TTestModule*>(copy);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Name(), "LibDataModule");
  auto* ds = dynamic_cast<TTestDataSet*>(module->FindComponent("libDS"));
  ASSERT_NE(ds, nullptr);
  EXPECT_EQ(ds->TableName, "books");
  EXPECT_EQ(ds->DesignInfo(), (16 << 16) | 24);
}

TEST_F(FilerTest, VariantAndCurrencyPropertiesRoundTrip) {
  const Variant values[] = {Variant(7), Variant(static_cast<long long>(1) << 40), Variant(2.5), Variant("\xD6\xD0"),
                            Variant(u"\u4E2D"), Variant(true), Variant::Null()};
  for (const Variant& value : values) {
    form = new TTestForm(nullptr);
    form->SetName("F");
    auto* c = new TTestControl(form);
    c->SetName("C");
    c->SetParentComponent(form);
    c->Value = value;
    c->Price = Currency::FromDouble(12.34);
    AnsiString text = WriteComponentToText(form);
    delete form;
    form = ReadForm(text);
    auto* d = static_cast<TTestControl*>(form->FindComponent("C"));
    ASSERT_NE(d, nullptr) << text;
    EXPECT_EQ(d->Value.Type() == varNull, value.Type() == varNull) << text;
    if (!value.IsNull()) {
      EXPECT_EQ(d->Value.AsString(), value.AsString()) << text;
    }
    EXPECT_EQ(d->Price.Value, 123400) << text;
    delete form;
    form = nullptr;
  }
}

TEST_F(FilerTest, ReassignedCollectionDropsReferencesOfItsOldItems) {
  form = ReadForm(
      "object F: TTestForm\n"
      "  object Grid: TTestControl\n"
      "    Columns = <\n"
      "      item\n"
      "        Source = Grid\n"
      "      end>\n"
      "    Columns = <\n"
      "      item\n"
      "        Title = 'kept'\n"
      "      end\n"
      "      item\n"
      "        Source = F\n"
      "      end>\n"
      "  end\n"
      "end\n");
  auto* grid = static_cast<TTestControl*>(form->FindComponent("Grid"));
  ASSERT_EQ(grid->Columns.Count(), 2);
  EXPECT_EQ(static_cast<TTestColumn*>(grid->Columns.Items(0))->Source, nullptr);
  EXPECT_EQ(static_cast<TTestColumn*>(grid->Columns.Items(1))->Source, form);
}

TEST_F(FilerTest, ParserAcceptsValueForms) {
  auto tree = ParseDescription(
      "object A: TX [3]\n"
      "  I = -12\n"
      "  H = $7FFFFFFF\n"
      "  F = 1.5e3\n"
      "  C = 2.5c\n"
      "  S = #65'b'#$43\n"
      "  E = []\n"
      "  L = ()\n"
      "  N = nil\n"
      "  Q = <>\n"
      "  B = {}\n"
      "end");
  ASSERT_EQ(tree->Props.size(), 10u);
  EXPECT_EQ(tree->Index, 3);
  EXPECT_EQ(tree->Props[0].Value.Int, -12);
  EXPECT_EQ(tree->Props[1].Value.Int, 0x7FFFFFFF);
  EXPECT_EQ(tree->Props[2].Value.Type, vaExtended);
  EXPECT_DOUBLE_EQ(tree->Props[2].Value.Float, 1500.0);
  EXPECT_DOUBLE_EQ(tree->Props[3].Value.Float, 2.5);
  EXPECT_EQ(tree->Props[4].Value.Str, "AbC");
  EXPECT_EQ(tree->Props[5].Value.Type, vaSet);
  EXPECT_TRUE(tree->Props[6].Value.Items.empty());
  EXPECT_EQ(tree->Props[7].Value.Type, vaNil);
  EXPECT_EQ(tree->Props[8].Value.Type, vaCollection);
  EXPECT_EQ(tree->Props[9].Value.Type, vaBinary);
  EXPECT_EQ(tree->Props[4].Line, 6);
}

TEST_F(FilerTest, ListItemsSeparatedBySpaceStaySeparate) {
  auto tree = ParseDescription("object A: TX\n  L = ('a' 'b'#9 'c' + 'd')\nend");
  const auto& items = tree->Props[0].Value.Items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Str, "a");
  EXPECT_EQ(items[1].Str, "b\t");
  EXPECT_EQ(items[2].Str, "cd");
}

TEST_F(FilerTest, OnlyFiniteFloatsAreWritten) {
  const struct {
    const char* name;
    double value;
    const char* shown;
  } cases[] = {
      {"infinity", std::numeric_limits<double>::infinity(), "INF"},
      {"minus infinity", -std::numeric_limits<double>::infinity(), "-INF"},
      {"not a number", std::numeric_limits<double>::quiet_NaN(), "NAN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form = new TTestForm(nullptr);
    form->SetName("F");
    auto* ctl = new TTestControl(form);
    ctl->SetName("C");
    ctl->SetParentComponent(form);
    ctl->Ratio = c.value;
    try {
      AnsiString text = WriteComponentToText(form);
      ADD_FAILURE() << "written as: " << text;
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message, AnsiString("Cannot store the floating-point value ") + c.shown + " in Ratio");
    }
    ctl->Ratio = 2.0;
    ctl->Value = Variant(c.value);
    try {
      AnsiString text = WriteComponentToText(form);
      ADD_FAILURE() << "written as: " << text;
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message, AnsiString("Cannot store the floating-point value ") + c.shown + " in Value");
    }
    delete form;
    form = nullptr;

    // A tree made some other way is refused at formatting as well.
    TDescObject tree;
    tree.ClassName = "TX";
    TDescProp p;
    p.Name = "R";
    p.Value.Type = vaExtended;
    p.Value.Float = c.value;
    tree.Props.push_back(p);
    EXPECT_THROW(FormatDescription(tree), EWriteError);
  }
  // Too small to tell from zero is no error: it reads as zero.
  auto tree = ParseDescription("object A: TX\n  F = 1e-400\nend");
  EXPECT_EQ(tree->Props[0].Value.Float, 0.0);
}

TEST_F(FilerTest, DeepNestingIsRejectedNotOverflowed) {
  AnsiString text = "object A: TX\n  L = " + AnsiString(100000, '(') + "\nend";
  EXPECT_THROW(ParseDescription(text), EReadError);
}

}  // namespace
