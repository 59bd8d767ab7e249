// Shortcut text, menu trees and shortcut dispatch.
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

TEST(ShortCutText, RoundTrips) {
  struct Case {
    TShortCut sc;
    const char* text;
  };
  const Case cases[] = {
      {ShortCut('S', {ssCtrl}), "Ctrl+S"},
      {ShortCut('S', {ssCtrl, ssShift}), "Shift+Ctrl+S"},
      {ShortCut(VK_F5, {}), "F5"},
      {ShortCut(VK_DELETE, {}), "Del"},
      {ShortCut(VK_RETURN, {ssAlt}), "Alt+Enter"},
      {ShortCut(VK_F12, {ssShift, ssCtrl, ssAlt}), "Shift+Ctrl+Alt+F12"},
      {ShortCut('1', {ssCtrl}), "Ctrl+1"},
      {ShortCut(VK_NUMPAD3, {}), "Num 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.sc);
  }
  EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', {ssCtrl}));
  EXPECT_EQ(TextToShortCut(" Ctrl + S "), ShortCut('S', {ssCtrl}));
  for (const char* bad : {"", "Ctrl+", "Hyper+S", "Ctrl+Nothing", "+"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(TextToShortCut(bad), 0);
  }
  EXPECT_EQ(ShortCutToText(0), "");
  Word key;
  TShiftState shift;
  ShortCutToKey(ShortCut('X', {ssAlt}), key, shift);
  EXPECT_EQ(key, 'X');
  EXPECT_EQ(shift, TShiftState{ssAlt});
}

TEST(Hotkeys, StripAndFind) {
  struct Case {
    const char* caption;
    const char* stripped;
    char hotkey;
  };
  const Case cases[] = {
      {"&File", "File", 'F'},     {"E&xit", "Exit", 'X'}, {"Save && Quit", "Save & Quit", 0},
      {"打开(&O)", "打开(O)", 'O'}, {"plain", "plain", 0},   {"trailing&", "trailing", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    AnsiString caption = Utf8ToAnsi(c.caption);  // captions are code page 936
    EXPECT_EQ(StripHotkey(caption), Utf8ToAnsi(c.stripped));
    EXPECT_EQ(GetHotkey(caption), c.hotkey);
  }
  EXPECT_TRUE(IsAccel('o', Utf8ToAnsi("打开(&O)")));
  EXPECT_FALSE(IsAccel('P', Utf8ToAnsi("打开(&O)")));
  // A '&' right after a lead byte is a trail byte, not a marker.
  EXPECT_EQ(GetHotkey("\x81&x"), 0);
}

class MenusTest : public CtlTest {};

struct Clicks {
  std::vector<std::string> log;
  void Click(TObject* s) { log.push_back(static_cast<TMenuItem*>(s)->Caption()); }
};

TEST_F(MenusTest, TreeAndRadioGroups) {
  Clicks c;
  TMainMenu* m = NewMenu(Application, "Main",
                         {NewSubMenu("&View", 0, "View",
                                     {NewItem("Small", 0, true, true, TNotifyEvent(&c, &Clicks::Click), 0, "Small"),
                                      NewItem("Large", 0, false, true, TNotifyEvent(&c, &Clicks::Click), 0, "Large"),
                                      NewLine()})});
  TMenuItem* view = m->Items()->Find("view");
  ASSERT_NE(view, nullptr);
  TMenuItem* small = view->Items(0);
  TMenuItem* large = view->Items(1);
  small->SetRadioItem(true);
  large->SetRadioItem(true);
  small->SetGroupIndex(1);
  large->SetGroupIndex(1);
  large->SetChecked(true);
  EXPECT_FALSE(small->Checked());
  EXPECT_EQ(m->FindItem(large->Command(), fkCommand), large);
  EXPECT_TRUE(m->DispatchCommand(WORD(small->Command())));
  EXPECT_EQ(c.log, std::vector<std::string>{"Small"});
  EXPECT_THROW(view->Add(view), EMenuError);
  EXPECT_THROW(view->Items(7), EMenuError);
  large->SetMenuIndex(0);
  EXPECT_EQ(view->Items(0), large);
  view->Delete(0);
  EXPECT_EQ(large->Parent(), nullptr);
  delete large;
  EXPECT_EQ(view->Count(), 2);
}

TEST_F(MenusTest, AutoCheckAndActionLink) {
  auto* list = new TActionList(Application);
  auto* act = new TAction(Application);
  act->SetActionList(list);
  act->SetCaption("&Bold");
  act->SetShortCut(ShortCut('B', {ssCtrl}));
  act->SetDisableIfNoHandler(false);
  auto* pm = new TPopupMenu(Application);
  auto* item = new TMenuItem(Application);
  pm->Items()->Add(item);
  item->SetAction(act);
  EXPECT_EQ(item->Caption(), "&Bold");
  EXPECT_EQ(item->ShortCut(), ShortCut('B', {ssCtrl}));
  act->SetCaption("&Heavy");
  EXPECT_EQ(item->Caption(), "&Heavy");
  act->SetChecked(true);
  EXPECT_TRUE(item->Checked());
  // An item changed by hand no longer follows the action for that property.
  item->SetCaption("Mine");
  act->SetCaption("&Other");
  EXPECT_EQ(item->Caption(), "Mine");
  // Freeing the action unlinks the item.
  act->Free();
  EXPECT_EQ(item->Action(), nullptr);

  auto* toggle = new TMenuItem(Application);
  toggle->SetAutoCheck(true);
  pm->Items()->Add(toggle);
  toggle->Click();
  EXPECT_TRUE(toggle->Checked());
  toggle->Click();
  EXPECT_FALSE(toggle->Checked());
}

TEST_F(MenusTest, PopupShortcutsWorkFromTheControl) {
  auto* f = new TForm(Application, 0);
  auto* box = new TBox(f);
  box->SetParent(f);
  box->SetTabStop(true);
  Clicks c;
  TPopupMenu* pm = NewPopupMenu(f, "Pop", paLeft, true,
                                {NewItem("Copy", ShortCut('C', {ssCtrl}), false, true, TNotifyEvent(&c, &Clicks::Click), 0, "Copy1")});
  box->SetPopupMenu(pm);
  f->Show();
  Pump();
  box->SetFocus();
  Pump();
  hb->Key('C', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(c.log, std::vector<std::string>{"Copy"});
  // Popup raises OnPopup and remembers where.
  int pops = 0;
  struct P {
    int* n;
    void On(TObject*) { ++*n; }
  } p{&pops};
  pm->OnPopup = TNotifyEvent(&p, &P::On);
  hb->Key(VK_ESCAPE);  // the pop-up menu is tracked until Escape closes it
  pm->Popup(10, 20);
  EXPECT_EQ(pops, 1);
  EXPECT_EQ(pm->PopupPoint(), (TPoint{10, 20}));
}

}  // namespace
