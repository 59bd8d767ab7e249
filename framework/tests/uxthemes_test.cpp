// The theme manager's receiver window: a theme change and a change of the
// system colours both reach every subscriber, and one that raises does not
// keep the others from hearing of it.
#include "framework/uxthemes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/tests/ctltest.h"

namespace {

class ThemeReceiverTest : public CtlTest {
 public:
  void OnException(TObject*, Exception* E) { Errors.push_back(E->Message); }

 protected:
  std::vector<std::string> Calls;
  std::vector<AnsiString> Errors;
  std::unique_ptr<TkxThemeChangedNotificator> A, B, C;
  void SetUp() override {
    CtlTest::SetUp();
    kxInitThemes();
    Application->OnException = TExceptionEvent(this, &ThemeReceiverTest::OnException);
    A = Subscriber("A", false);
    B = Subscriber("B", true);
    C = Subscriber("C", false);
  }
  void TearDown() override {
    A.reset();
    B.reset();
    C.reset();
    kxDoneThemes();
    CtlTest::TearDown();
  }
  std::unique_ptr<TkxThemeChangedNotificator> Subscriber(const char* Name, bool Raises) {
    auto S = std::make_unique<TkxThemeChangedNotificator>();
    S->OnThemeChanged = [this, Name, Raises] {
      Calls.push_back(Name);
      if (Raises) throw Exception(AnsiString(Name) + " failed");
    };
    return S;
  }
};

TEST_F(ThemeReceiverTest, ThemeAndColourChangesReachEverySubscriberPastOneThatRaises) {
  const HWND Receiver = kxThemeChangedReceiverWindow();
  ASSERT_TRUE(IsWindow(Receiver));
  struct Way {
    const char* Name;
    void (*Announce)(HWND Receiver);
  };
  const Way Ways[] = {
      {"theme change", [](HWND R) { SendMessageA(R, WM_THEMECHANGED, 0, 0); }},
      {"system colours", [](HWND) { PvSysColorsChanged(); }},  // told to every top-level window
  };
  for (const Way& W : Ways) {
    SCOPED_TRACE(W.Name);
    Calls.clear();
    Errors.clear();
    W.Announce(Receiver);
    EXPECT_EQ(Calls, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Errors, (std::vector<AnsiString>{"B failed"}));
  }

  // other messages only get the default handling
  Calls.clear();
  SendMessageA(Receiver, WM_SETTINGCHANGE, 0, 0);
  EXPECT_TRUE(Calls.empty());

  kxDoneThemes();
  EXPECT_EQ(kxThemeChangedReceiverWindow(), nullptr);
  EXPECT_FALSE(IsWindow(Receiver));
}

// Without an application to hand it to, the exception is raised again, but
// only after every subscriber was called.
TEST_F(ThemeReceiverTest, WithoutAnApplicationTheFirstErrorIsRaisedAfterAllWereCalled) {
  auto Other = Subscriber("D", true);
  TApplication* Saved = Application;
  Application = nullptr;
  try {
    kxThemeChanged();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "B failed");
  }
  Application = Saved;
  EXPECT_EQ(Calls, (std::vector<std::string>{"A", "B", "C", "D"}));
}

// After the window manager was started afresh, start-up makes a new window.
TEST_F(ThemeReceiverTest, StartUpAgainAfterAResetMakesANewWindow) {
  PvResetWindowManager();
  EXPECT_EQ(kxThemeChangedReceiverWindow(), nullptr);
  kxInitThemes();
  ASSERT_TRUE(IsWindow(kxThemeChangedReceiverWindow()));
  SendMessageA(kxThemeChangedReceiverWindow(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Calls.size(), 3u);
  EXPECT_EQ(Errors.size(), 1u);
}

}  // namespace
