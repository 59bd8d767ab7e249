// The application object keeps the name of the program's help file.
#include "platform/controls/tests/ctltest.h"

namespace {

class AppHelpFileTest : public CtlTest {};

TEST_F(AppHelpFileTest, HelpFileIsEmptyUntilSetAndKeepsTheName) {
  ASSERT_NE(Application, nullptr);
  EXPECT_TRUE(Application->HelpFile().empty());
  Application->SetHelpFile("help/penvarro.hlp");
  EXPECT_EQ(Application->HelpFile(), "help/penvarro.hlp");
  Application->SetHelpFile("");
}

}  // namespace
