// End to end: each library window opened from the frame's 视图 menu of the
// real program on an X display, one edit typed into it, the window closed,
// and the edit found in the library file.
#include <string>

#include "platform/backend/desktop/tests/e2e/programtest.h"

namespace {

using namespace pvtest;

// Where 视图 stands on the frame's main-menu bar, and the items of its menu.
constexpr int kViewMenuX = 17, kViewMenuY = 90;
enum ViewItem { kNarrativeItem, kDesignItem, kTemplateItem };
// The items' heights and the rule between the second and the third.
constexpr int kFirstItemY = 14, kItemPitch = 23, kRuleHeight = 9;
int ItemY(ViewItem Item) {
  return kFirstItemY + kItemPitch * int(Item) + (Item >= kTemplateItem ? kRuleHeight : 0);
}

class LibraryWindowsOnDisplay : public ProgramOnDisplayBase {
 protected:
  fs::path Library() const { return dir / "data" / "lib.l"; }

  // Starts the program and opens Item from the 视图 menu; the frame's window.
  std::string OpenFromViewMenu(ViewItem Item, const char* Shot_) {
    std::string win = Start();
    EXPECT_FALSE(win.empty()) << "the frame never appeared";
    if (win.empty()) return win;
    ClickAt(win, kViewMenuX, kViewMenuY);
    std::string menu = WaitForPopup(win, 5000);
    EXPECT_FALSE(menu.empty()) << "the 视图 menu did not open";
    if (menu.empty()) return {};
    Shot(std::string(Shot_) + "_menu.png");
    ClickAt(menu, GeometryOf(menu).w / 2, ItemY(Item));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    return win;
  }
  // Types ASCII at the end of the text of the editor at (X, Y): xdotool types
  // other characters by remapping a key for each, which a loaded display may
  // miss (the input method's path is tested headless).
  void TypeInto(const std::string& Win, int X, int Y) {
    ClickAt(Win, X, Y);
    Xdo({"key", "ctrl+End"});
    Xdo({"type", "--delay", "60", "abc xyz"});
  }
  // Closes the active child window of the frame.
  void CloseChild(const std::string& Win) { Xdo({"key", "ctrl+F4"}); }
  // Polls the library until Query gives Want, for at most five seconds.
  std::string WaitForQuery(const std::string& Query, const std::string& Want) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((got = Sql(Library(), Query)) != Want && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return got;
  }
  void ExpectSoundAndEnd() {
    EXPECT_EQ(IntegrityCheck(Library()), "ok");
    int status;
    EXPECT_FALSE(Exited(&status)) << "the program ended";
  }
};

// 设计分子: notes typed into the design-element window reach the file when the
// window closes.
TEST_F(LibraryWindowsOnDisplay, TheDesignElementWindowSavesItsEditWhenClosed) {
  std::string win = OpenFromViewMenu(kDesignItem, "e2e_design");
  ASSERT_FALSE(win.empty());
  TypeInto(win, 440, 200);
  Shot("e2e_design.png");
  EXPECT_EQ(Sql(Library(), "SELECT count(*) FROM region1 WHERE ttext1 LIKE '%abc xyz%'"), "0")
      << "saved before the window closed";
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT count(*) FROM region1 WHERE ttext1 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

// 叙述分子: a narrative table chosen from the keyboard, its body text typed
// into, the window closed: the text is in the file.
TEST_F(LibraryWindowsOnDisplay, TheNarrativeElementWindowSavesItsEditWhenClosed) {
  std::string win = OpenFromViewMenu(kNarrativeItem, "e2e_narrative");
  ASSERT_FALSE(win.empty());
  // The table chooser on the panel's bar: drop it down, take its row.
  ClickAt(win, 100, 59);
  Xdo({"key", "alt+Down"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Xdo({"key", "Down"});
  Xdo({"key", "Return"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  TypeInto(win, 470, 200);
  Shot("e2e_narrative.png");
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT count(*) FROM mem1 WHERE ttext2 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

// 设计模板: notes typed into the library side of the template window reach the
// file when the author moves to another node; closing keeps them.
TEST_F(LibraryWindowsOnDisplay, TheTemplateWindowWritesItsEditWhenTheAuthorMovesOn) {
  std::string win = OpenFromViewMenu(kTemplateItem, "e2e_template");
  ASSERT_FALSE(win.empty());
  ClickAt(win, 100, 82);  // 人物 in the library tree
  TypeInto(win, 320, 200);
  ClickAt(win, 100, 100);  // 地点
  Shot("e2e_template.png");
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT tid FROM region1 WHERE ttext1 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

}  // namespace
