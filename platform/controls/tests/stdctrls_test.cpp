// The class-library wrappers of the standard controls on a form, driven by
// the messages their windows send (clicks as BM_CLICK, typing as WM_CHAR).
#include <gtest/gtest.h>
#include "platform/controls/stdctrls.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

class StdCtrls : public CtlTest {
 protected:
  TForm* form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    RegisterStandardWindowClasses();
    form = NewObject<TForm>(Application, 0);
    form->SetBounds(50, 50, 400, 300);
  }
  template <class T>
  T* Add(int x, int y, int w = -1, int h = -1, TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->SetParent(parent ? parent : form);
    c->SetBounds(x, y, w < 0 ? c->Width() : w, h < 0 ? c->Height() : h);
    return c;
  }
  static void Click(TWinControl* c) { SendMessageA(c->Handle(), BM_CLICK, 0, 0); }
};

struct Counter {
  int n = 0;
  void Hit(TObject*) { ++n; }
};

TEST_F(StdCtrls, EditChangeAndSelection) {
  auto* e = Add<TEdit>(8, 8, 200);
  Counter changes;
  e->OnChange = TNotifyEvent(&changes, &Counter::Hit);
  e->HandleNeeded();
  e->SetText(Utf8ToAnsi("小说abc"));
  EXPECT_EQ(changes.n, 1);
  e->SelectAll();
  EXPECT_EQ(e->SelLength(), 7);
  e->SetSelStart(2);
  e->SetSelLength(2);
  EXPECT_EQ(e->SelText(), Utf8ToAnsi("说"));
  e->SetSelText("X");
  EXPECT_EQ(e->Text(), Utf8ToAnsi("小Xabc"));
  EXPECT_TRUE(e->Modified());
  EXPECT_EQ(changes.n, 2);
  e->SetMaxLength(6);
  e->SelectAll();
  e->SetSelText("123456789");
  EXPECT_EQ(e->Text(), "123456");
  e->SetReadOnly(true);
  SendMessageA(e->Handle(), WM_CHAR, 'a', 0);
  EXPECT_EQ(e->Text(), "123456");
  e->SetReadOnly(false);
  e->SetSelStart(0);
  e->SetMaxLength(0);
  SendMessageA(e->Handle(), WM_CHAR, 'a', 0);
  EXPECT_EQ(e->Text(), "a123456");
  EXPECT_EQ(changes.n, 4);
}

// The character case is a scoped enumeration that still reads and writes by
// its value names.
TEST_F(StdCtrls, EditCharCaseByName) {
  auto* e = Add<TEdit>(8, 8, 200);
  SetEnumProp(e, "CharCase", "ecUpperCase");
  EXPECT_EQ(e->CharCase(), TEditCharCase::ecUpperCase);
  EXPECT_EQ(GetEnumProp(e, "CharCase"), "ecUpperCase");
  EXPECT_NE(GetWindowLongA(e->Handle(), GWL_STYLE) & ES_UPPERCASE, 0);
  e->SetCharCase(TEditCharCase::ecNormal);
  EXPECT_EQ(GetEnumProp(e, "CharCase"), "ecNormal");
}

TEST_F(StdCtrls, CheckBoxStatesFollowClicks) {
  auto* cb = Add<TCheckBox>(8, 8);
  cb->SetCaption("check");
  Counter clicks;
  cb->OnClick = TNotifyEvent(&clicks, &Counter::Hit);
  cb->HandleNeeded();
  struct Case {
    bool allowGrayed;
    TCheckBoxState states[3];
  } cases[] = {
      {false, {cbChecked, cbUnchecked, cbChecked}},
      {true, {cbGrayed, cbUnchecked, cbChecked}},  // starts from checked here
  };
  for (const Case& c : cases) {
    cb->SetAllowGrayed(c.allowGrayed);
    for (TCheckBoxState want : c.states) {
      Click(cb);
      EXPECT_EQ(cb->State(), want) << c.allowGrayed;
      EXPECT_EQ(TCheckBoxState(SendMessageA(cb->Handle(), BM_GETCHECK, 0, 0)), want);
    }
  }
  EXPECT_EQ(clicks.n, 6);
  cb->SetChecked(false);
  EXPECT_EQ(SendMessageA(cb->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(StdCtrls, RadioButtonsAreExclusiveWithinTheirParent) {
  auto* a = Add<TRadioButton>(8, 8);
  auto* b = Add<TRadioButton>(8, 30);
  auto* box = Add<TGroupBox>(150, 8, 200, 100);
  auto* c = Add<TRadioButton>(8, 20, -1, -1, box);
  auto* d = Add<TRadioButton>(8, 44, -1, -1, box);
  for (TWinControl* w : std::initializer_list<TWinControl*>{a, b, c, d}) w->HandleNeeded();
  a->SetChecked(true);
  c->SetChecked(true);
  Click(b);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());  // another parent, another group
  d->SetChecked(true);
  EXPECT_FALSE(c->Checked());
  EXPECT_EQ(SendMessageA(c->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(b->Checked());
}

TEST_F(StdCtrls, DefaultAndCancelButtonsSetModalResult) {
  auto* ok = Add<TButton>(8, 40);
  auto* cancel = Add<TButton>(100, 40);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  form->Show();
  EXPECT_EQ(SendMessageA(ok->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  EXPECT_EQ(SendMessageA(cancel->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
  struct Case {
    WPARAM key;
    TModalResult result;
  } cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}, {VK_TAB, mrNone}};
  for (const Case& c : cases) {
    form->SetModalResult(mrNone);
    ok->Perform(CM_DIALOGKEY, c.key, 0);
    cancel->Perform(CM_DIALOGKEY, c.key, 0);
    EXPECT_EQ(form->ModalResult(), c.result) << c.key;
  }
  form->SetModalResult(mrNone);
  Counter clicks;
  ok->OnClick = TNotifyEvent(&clicks, &Counter::Hit);
  Click(ok);
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_EQ(clicks.n, 1);  // one mouse click, one OnClick
  // The focused button is the one Enter presses, whichever is the default.
  ok->SetDefault(false);
  EXPECT_EQ(SendMessageA(ok->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  cancel->SetFocus();
  EXPECT_EQ(SendMessageA(ok->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
  EXPECT_EQ(SendMessageA(cancel->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  form->SetModalResult(mrNone);
  cancel->Perform(CM_DIALOGKEY, VK_RETURN, 0);
  EXPECT_EQ(form->ModalResult(), mrCancel);
}

TEST_F(StdCtrls, ListBoxItemsSurviveRecreation) {
  auto* lb = Add<TListBox>(8, 8, 120, 100);
  Counter clicks;
  lb->OnClick = TNotifyEvent(&clicks, &Counter::Hit);
  lb->HandleNeeded();
  TObject tag;
  for (const char* s : {"c", "a", "b"}) lb->Items()->Add(s);
  lb->Items()->PutObject(0, &tag);
  EXPECT_EQ(lb->Items()->IndexOf("B"), 2);
  lb->SetItemIndex(0);
  lb->SetSorted(true);  // a new window: items, objects and the selection come back, now sorted
  EXPECT_EQ(lb->Items()->GetText(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(lb->Items()->GetObject(2), &tag);
  EXPECT_EQ(lb->ItemIndex(), 0);  // the index is kept, not the item
  EXPECT_THROW(lb->Items()->Delete(5), Exception);
  lb->SetMultiSelect(true);
  lb->SetSelected(1, true);
  lb->SetSelected(2, true);
  EXPECT_EQ(lb->SelCount(), 2);
  EXPECT_FALSE(lb->Selected(0));
  TRect r = lb->ItemRect(1);
  EXPECT_EQ(lb->ItemAtPos({r.left + 1, r.top + 1}, true), 1);
  EXPECT_EQ(lb->ItemAtPos({1, 90}, true), -1);
  EXPECT_EQ(lb->ItemAtPos({1, 90}, false), 3);
  EXPECT_EQ(clicks.n, 0);  // changes made by the program are not clicks
}

TEST_F(StdCtrls, ComboBoxEvents) {
  auto* cb = Add<TComboBox>(8, 8, 120);
  cb->SetStyle(csDropDownList);
  Counter change, select, drop, close;
  cb->OnChange = TNotifyEvent(&change, &Counter::Hit);
  cb->OnSelect = TNotifyEvent(&select, &Counter::Hit);
  cb->OnDropDown = TNotifyEvent(&drop, &Counter::Hit);
  cb->OnCloseUp = TNotifyEvent(&close, &Counter::Hit);
  cb->HandleNeeded();
  for (int i = 0; i < 20; ++i) cb->Items()->Add("item" + std::to_string(i));
  cb->SetItemIndex(3);
  EXPECT_EQ(cb->Text(), "item3");
  EXPECT_EQ(change.n, 0);
  cb->SetDroppedDown(true);
  EXPECT_EQ(drop.n, 1);
  HWND list = FindWindowA("ComboLBox", nullptr);
  ASSERT_TRUE(list);
  RECT lr;
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.bottom - lr.top, 8 * int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)) + 2);  // DropDownCount rows
  SendMessageA(cb->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(cb->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(close.n, 1);
  EXPECT_EQ(cb->ItemIndex(), 4);
  EXPECT_EQ(select.n, 2);  // the arrow selects at once, Enter keeps it
  EXPECT_EQ(change.n, 2);
}

// A text set before the window exists is shown once it does, and survives a
// new window; a list style has no text of its own.
TEST_F(StdCtrls, ComboBoxKeepsTheTextSetBeforeItsWindow) {
  auto* cb = Add<TComboBox>(8, 8, 120);
  cb->SetText(Utf8ToAnsi("张三"));
  ASSERT_FALSE(cb->HandleAllocated());
  cb->HandleNeeded();
  EXPECT_EQ(AnsiToUtf8(cb->Text()), "张三");
  cb->Items()->Add("a");
  cb->SetText("typed");
  cb->SetSorted(true);
  EXPECT_EQ(cb->Text(), "typed");
  auto* list = Add<TComboBox>(8, 40, 120);
  list->SetStyle(csDropDownList);
  list->SetText("none");
  list->HandleNeeded();
  EXPECT_EQ(list->Text(), "");
}

TEST_F(StdCtrls, LabelSizesToTextAndFocusesItsControl) {
  auto* e = Add<TEdit>(100, 8);
  auto* l = Add<TLabel>(8, 8);
  l->Font()->SetName(PV_FIXED_FONT_NAME);
  l->Font()->SetHeight(-14);
  l->SetCaption(Utf8ToAnsi("&Name中"));
  EXPECT_EQ(l->Width(), 4 * 7 + 14);  // the "&" takes no room
  EXPECT_EQ(l->Height(), 14);
  l->SetShowAccelChar(false);
  EXPECT_EQ(l->Width(), 5 * 7 + 14);
  l->SetShowAccelChar(true);
  l->SetFocusControl(e);
  form->Show();
  Pump();
  EXPECT_EQ(l->Perform(CM_DIALOGCHAR, 'n', 0), 1);
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(l->Perform(CM_DIALOGCHAR, 'x', 0), 0);
}

TEST_F(StdCtrls, MemoLines) {
  auto* m = Add<TMemo>(8, 8, 300, 120);
  m->SetWordWrap(false);
  m->HandleNeeded();
  m->Lines()->SetText(Utf8ToAnsi("第一行\nsecond\r\nthird\r\n"));
  EXPECT_EQ(m->Lines()->GetCount(), 3);
  EXPECT_EQ(m->Lines()->Get(0), Utf8ToAnsi("第一行"));
  m->Lines()->Insert(1, "inserted");
  m->Lines()->Add("last");
  m->Lines()->Delete(0);
  EXPECT_EQ(m->Text(), "inserted\r\nsecond\r\nthird\r\nlast\r\n");
  m->SetCaretPos({3, 2});
  EXPECT_EQ(m->CaretPos().x, 3);
  EXPECT_EQ(m->CaretPos().y, 2);
  EXPECT_THROW(m->Lines()->Delete(9), Exception);
  m->Lines()->Clear();
  EXPECT_EQ(m->Lines()->GetCount(), 0);
  m->SetWantTabs(true);
  EXPECT_TRUE(SendMessageA(m->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(StdCtrls, EditWithoutBorderKeepsItsTextAndDropsTheEdge) {
  auto* m = Add<TMemo>(8, 8, 300, 120);
  m->Lines()->SetText("kept");
  EXPECT_TRUE(GetWindowLongPtrA(m->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  m->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLongPtrA(m->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(m->ClientWidth(), 300);
  EXPECT_EQ(m->Lines()->Get(0), "kept");
  EXPECT_EQ(m->BorderStyle(), bsNone);
}

}  // namespace
