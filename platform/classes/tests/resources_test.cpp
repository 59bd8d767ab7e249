#include <gtest/gtest.h>

#include "platform/classes/resources_init.h"
#include "platform/classes/tests/fixtures.h"
#include "platform/rtl/resources.h"

void InitTestResources();

namespace {

class TTestForm2 : public TTestForm {
  PV_CLASS(TTestForm2, TTestForm)
 public:
  explicit TTestForm2(TComponent* AOwner) : TTestForm(AOwner) {}
};

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    static bool once = false;
    if (!once) {
      once = true;
      InitTestResources();
      RegisterClass(TTestForm2::StaticClass());
    }
  }
};

TEST_F(ResourcesTest, FilesAreRegisteredByFolderAndName) {
  TResourceData bmp = FindResourceData(RT_BITMAP, "tiny");
  ASSERT_TRUE(bmp);
  EXPECT_EQ(AnsiString(reinterpret_cast<const char*>(bmp.Data), bmp.Size), AnsiString("BM\x00\x01\x02", 5));
  EXPECT_TRUE(FindResourceData(RT_RCDATA, "TTestForm"));
  EXPECT_FALSE(FindResourceData(RT_BITMAP, "TTestForm"));
  EXPECT_EQ(LoadStr(1001), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(LoadStr(1002), "two\nlines\\");
  EXPECT_EQ(LoadStr(1003), "");
}

TEST_F(ResourcesTest, FormReadsItsDescriptionsAncestorFirst) {
  auto* form = new TTestForm2(nullptr);
  EXPECT_TRUE(InitInheritedComponent(form, TTestRoot::StaticClass()));
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_EQ(form->Button1->Caption, "\xB1\xEA\xCC\xE2");  // from TTestForm's description
  EXPECT_EQ(form->Button1->Left, 5);                     // from TTestForm2's
  EXPECT_NE(form->Panel1, nullptr);
  form->Button1->OnClick(form->Button1);
  EXPECT_EQ(form->Clicks, 1);
  EXPECT_EQ(form->Name(), "MainForm");
  delete form;

  TTestModule module(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&module, TTestRoot::StaticClass()));
  EXPECT_FALSE(ReadComponentRes("NoSuchForm", &module));
}

TEST_F(ResourcesTest, MalformedStringTablesNameFileAndLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"1=a\nabc\n", "t.txt: '=' expected on line 2"},
      {"x1=a\n", "t.txt: 'x1' is not a string number on line 1"},
      {"; c\n\n-4=a\n", "t.txt: '-4' is not a string number on line 3"},
      {"5=a\\q\n", "t.txt: unknown escape \\q on line 1"},
      {"99999999999=a\n", "t.txt: '99999999999' is not a string number on line 1"},
  };
  for (const auto& c : cases) {
    try {
      RegisterStringTable(c.text, std::strlen(c.text), "t.txt");
      ADD_FAILURE() << c.text;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
}

}  // namespace
