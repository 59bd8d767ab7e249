// The inner list box's incremental search: letters typed quickly narrow the
// search, a pause starts a new one, double-byte characters are taken whole
// (the trail byte from the queue) and Backspace removes them whole.
#include "editors/uxinnerlistbox.h"

#include "platform/backend/headless/headless.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

namespace {

struct InnerListBoxFixture : ::testing::Test {
  HeadlessBackend* HB = nullptr;
  TForm* Form = nullptr;
  TuxCustomInnerListBox* List = nullptr;
  int Clicks = 0;
  void SetUp() override {
    HB = &HeadlessBackend::Install();
    RegisterStandardWindowClasses();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(10, 10, 200, 200);
    List = new TuxCustomInnerListBox(Form);
    List->SetBounds(0, 0, 150, 150);
    List->SetParent(Form);
    // apple, apricot, banana, 中国, 中文, 中山
    for (const char* S : {"apple", "apricot", "banana", "\xD6\xD0\xB9\xFA", "\xD6\xD0\xCE\xC4", "\xD6\xD0\xC9\xBD"})
      List->Items()->Add(S);
    List->OnClick = TNotifyEvent(this, &InnerListBoxFixture::Clicked);
    Form->Show();
  }
  void TearDown() override { delete Form; }
  void Clicked(TObject*) { ++Clicks; }
  // Types one character (a double-byte one as lead and trail, as the input
  // method delivers it) and answers whether the key reached the list box.
  void Type(const char* Ch) {
    if (IsDBCSLeadByte(Ch[0]) && Ch[1]) {
      PostMessageA(List->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(Ch[1])), 0);
      SendMessageA(List->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(Ch[0])), 0);
    } else {
      SendMessageA(List->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(Ch[0])), 0);
    }
  }
};

TEST_F(InnerListBoxFixture, TypedLettersNarrowTheSearchUntilAPause) {
  struct Step {
    const char* Key;
    unsigned Wait;  // milliseconds before the key
    const char* Search;
    int Index;
  } Steps[] = {
      {"a", 0, "a", 0},
      {"p", 100, "ap", 0},
      {"r", 100, "apr", 1},
      {"b", 600, "b", 2},       // a pause longer than the delay: a new search
      {"x", 100, "bx", 2},      // no item starts with it: the selection stays
      {"\b", 100, "b", 2},
      {"\xD6\xD0", 600, "\xD6\xD0", 3},
      {"\xCE\xC4", 100, "\xD6\xD0\xCE\xC4", 4},
      {"\b", 100, "\xD6\xD0", 3},  // both bytes of 文 go
      {"\b", 100, "", 0},          // an empty search goes to the first item
  };
  for (const Step& S : Steps) {
    HB->AdvanceClock(S.Wait);
    Type(S.Key);
    EXPECT_EQ(List->SearchText(), S.Search) << "after " << S.Key;
    EXPECT_EQ(List->ItemIndex(), S.Index) << "after " << S.Key;
  }
  EXPECT_GT(Clicks, 0);
}

TEST_F(InnerListBoxFixture, MultiSelectKeepsOnlyTheFoundItemSelected) {
  List->SetMultiSelect(true);
  List->SetSelected(0, true);
  List->SetSelected(5, true);
  HB->AdvanceClock(1000);
  Type("b");
  EXPECT_EQ(List->SelCount(), 1);
  EXPECT_TRUE(List->Selected(2));
}

TEST_F(InnerListBoxFixture, NoSearchWhenOffAndTabAndEnterAreDropped) {
  List->SetAutoComplete(false);
  HB->AdvanceClock(1000);
  Type("b");
  EXPECT_EQ(List->SearchText(), "");
  List->SetAutoComplete(true);
  Type("\t");
  Type("\r");
  EXPECT_EQ(List->SearchText(), "");
}

}  // namespace
