#include "editor/txthighlighter.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "editor/tests/edtest.h"
#include "editor/txteditinit.h"
#include "editor/txteditkeycmds.h"
#include "editor/txtrules.h"
#include "editor/txtscheme.h"
#include "editor/regexpr.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"

namespace {

// A highlighter with a fixed set of named attributes.
class TTestHighlighter : public TTxtCustomHighlighter {
  PV_CLASS(TTestHighlighter, TTxtCustomHighlighter)
 public:
  explicit TTestHighlighter(TComponent* AOwner, std::vector<const char*> names = {"Comment", "Keyword"})
      : TTxtCustomHighlighter(AOwner) {
    for (const char* n : names) AddAttribute(new TTxtHighlighterAttributes(n));
  }
  TTxtHighlighterAttributes* Attr(const char* name) {
    for (int i = 0; i < AttributeCount(); ++i)
      if (AttributeAt(i)->StyleName() == name) return AttributeAt(i);
    return nullptr;
  }
  TTxtHighlighterAttributes* DefaultAttribute(int) override { return nullptr; }
  bool AtLineEnd() const override { return true; }
  AnsiString TokenText() const override { return ""; }
  TTxtHighlighterAttributes* TokenAttribute() const override { return nullptr; }
  int TokenKind() const override { return 0; }
  int TokenStart() const override { return 0; }
  void NextToken() override {}
  void StartLine(const AnsiString&, int) override {}
};

struct Count : TObject {
  int n = 0;
  void Hit(TObject*) { ++n; }
};

TEST(TxtHighlighterAttributes, ChangeNotifications) {
  TTxtHighlighterAttributes a("x"), b("y");
  EXPECT_EQ(a.Background(), clTxtNone);
  EXPECT_TRUE(a.BackgroundToStream());  // a fresh attribute streams both colours
  Count c;
  a.OnStyleChange = TNotifyEvent(&c, &Count::Hit);
  a.SetBackground(clTxtNone);
  EXPECT_EQ(c.n, 0);
  b.SetBackground(1);
  b.SetForeground(2);
  b.SetStyle(txtBold);
  a.Assign(&b);  // three values, one notification
  EXPECT_EQ(c.n, 1);
  EXPECT_EQ(a.StyleName(), "y");
  EXPECT_EQ(a.Style(), txtBold);
  a.RecordDefaults();
  EXPECT_FALSE(a.StyleToStream());
  EXPECT_FALSE(a.ForegroundToStream());
}

TEST(TxtCustomHighlighter, AssignCopiesStylesByName) {
  TTestHighlighter a(nullptr, {"Comment", "Keyword"}), b(nullptr, {"Keyword", "String"});
  b.Attr("Keyword")->SetForeground(7);
  b.Attr("String")->SetForeground(9);
  b.WordSeparators.reset();
  b.SetDefaultFilter("*.t");
  b.SetEnabled(false);
  a.Assign(&b);
  EXPECT_EQ(a.Attr("Keyword")->Foreground(), 7);
  EXPECT_EQ(a.Attr("Comment")->Foreground(), clTxtNone);
  EXPECT_EQ(a.AttributeCount(), 2);
  EXPECT_TRUE(a.WordSeparators.none());
  EXPECT_EQ(a.GetDefaultFilter(), "*.t");
  EXPECT_FALSE(a.Enabled());
  EXPECT_EQ(a.AttributeAt(-1), nullptr);
  EXPECT_EQ(a.AttributeAt(2), nullptr);
  EXPECT_THROW(a.Assign(nullptr), Exception);
}

TEST(TxtCustomHighlighter, DefaultWordSeparators) {
  TTestHighlighter h(nullptr);
  std::string seps;
  for (int i = 0; i < 256; ++i)
    if (h.WordSeparators[i]) seps += char(i);
  EXPECT_EQ(seps, "!\"'()*+,-./:;=?[\\]^{|}");
  EXPECT_EQ(h.LanguageName(), "<Unknown>");
  EXPECT_EQ(h.Capabilities(), 2);
}

TEST(TxtCustomHighlighter, DuplicateStyleNamesAreRefused) {
  EXPECT_THROW(TTestHighlighter(nullptr, {"A", "A"}), Exception);
}

TEST(TxtCustomHighlighter, RegistryPersistence) {
  std::string dir = ::testing::TempDir() + "/pv_editor_reg";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  TTestHighlighter a(nullptr);
  a.Attr("Comment")->SetForeground(0x123456);
  a.Attr("Keyword")->SetStyle(txtBold | txtUnderline);
  ASSERT_TRUE(a.SaveToRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Hl"));
  TTestHighlighter b(nullptr);
  EXPECT_TRUE(b.LoadFromRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Hl"));
  EXPECT_EQ(b.Attr("Comment")->Foreground(), 0x123456);
  EXPECT_EQ(b.Attr("Keyword")->Style(), txtBold | txtUnderline);
  // a subkey missing for one attribute: false, while the others still load
  TTestHighlighter c(nullptr, {"Comment", "Other"});
  EXPECT_FALSE(c.LoadFromRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Hl"));
  EXPECT_EQ(c.Attr("Comment")->Foreground(), 0x123456);
  EXPECT_FALSE(c.LoadFromRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Missing"));
}

TEST(TxtHighlighterAttributes, OldStyleIdeSettings) {
  std::string dir = ::testing::TempDir() + "/pv_editor_reg";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\PenvarroTest\\Ide", true));
    r.WriteString("A", "0,0,B,1,1,3,5");
    r.WriteString("B", "0,0,BI,0,0,3,5");
  }
  TTxtHighlighterAttributes a("a"), b("b");
  EXPECT_TRUE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Ide", "A", true));
  EXPECT_EQ(a.Style(), txtBold);
  EXPECT_EQ(a.Foreground(), clTxtWindowText);
  EXPECT_EQ(a.Background(), clTxtWindow);
  EXPECT_TRUE(b.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Ide", "B", true));
  EXPECT_EQ(b.Style(), txtBold | txtItalic);
  EXPECT_EQ(b.Foreground(), 0x008080);  // olive
  EXPECT_EQ(b.Background(), 0x800080);  // purple
  EXPECT_FALSE(b.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Software\\PenvarroTest\\Ide", "C", true));
}

// ---------------------------------------------------------------- scheme item

TEST(TScheme, ExpressionsAreValidated) {
  TCollection schemes(TScheme::StaticClass());
  auto* s = static_cast<TScheme*>(schemes.Add());
  EXPECT_TRUE(s->CaseSensitive());
  EXPECT_EQ(s->MarkerAttri()->Background(), 0x00FFFF);
  EXPECT_FALSE(s->MarkerAttri()->BackgroundToStream());
  s->SetStartExpr("<a>");
  try {
    s->SetStartExpr("(");
    FAIL();
  } catch (const ERegExpr& e) {
    EXPECT_EQ(e.Message, "\"(\" is not a valid Regular Expression.\rError (pos 1):  ParseReg Unmatched ()");
  }
  EXPECT_EQ(s->StartExpr(), "<a>");
  s->SetEndExpr("");
  EXPECT_EQ(s->EndExpr(), "");
  s->SetSchemeName("Quotes");
  EXPECT_EQ(s->DisplayName(), "Quotes");
  s->SetCaseSensitive(false);
  s->SetEndExpr("ABC");
  s->SetEndExpr("abc");  // a change of case only: stored without a change notification
  EXPECT_EQ(s->EndExpr(), "abc");
}

// ---------------------------------------------------------------- form streaming

class StreamingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitEditorTestClasses(); }
};

TEST_F(StreamingTest, RulesTravelAsTheSyntaxProperty) {
  TTxtRules a(nullptr);
  a.SetName("Rules1");
  a.LoadFromText(
      "<RuleHighlighter><Range Name=\"Root\"><Range Name=\"S\"><OpenSymbol>\xA1\xB0</OpenSymbol>"
      "<CloseSymbol>\xA1\xB1</CloseSymbol></Range></Range></RuleHighlighter>");
  AnsiString text = WriteComponentToText(&a);
  EXPECT_NE(text.find("Syntax"), AnsiString::npos);
  TTxtRules b(nullptr);
  ReadComponentFromText(text, &b);
  ASSERT_EQ(b.RootRange->RangeCount(), 1);
  EXPECT_EQ(b.RootRange->RangeAt(0)->OpenSymbol.Symbol, "\xA1\xB0");

  TTxtRules empty(nullptr);
  empty.SetName("Rules2");
  EXPECT_EQ(WriteComponentToText(&empty).find("Syntax"), AnsiString::npos);
}

// A component that streams a keystroke table as its differences from the defaults.
class TKeyHolder : public TComponent {
  PV_CLASS(TKeyHolder, TComponent)
 public:
  explicit TKeyHolder(TComponent* AOwner) : TComponent(AOwner), Keys(this) { Keys.LoadDefaults(); }
  TTxtEditKeyStrokes Keys;

 protected:
  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    DefineKeystrokeProperties(Filer, &Keys, nullptr);
  }
};

TEST_F(StreamingTest, KeystrokesTravelAsDifferences) {
  TKeyHolder a(nullptr);
  a.SetName("Holder");
  EXPECT_EQ(WriteComponentToText(&a).find("Keystrokes"), AnsiString::npos);
  a.Keys.Delete(a.Keys.FindKey('T', {ssCtrl}));
  a.Keys.AddBinding(ecDeleteLine, 'T', {ssCtrl});
  AnsiString text = WriteComponentToText(&a);
  EXPECT_NE(text.find("RemovedKeystrokes"), AnsiString::npos);
  EXPECT_NE(text.find("AddedKeystrokes"), AnsiString::npos);
  EXPECT_NE(text.find("ecDeleteLine"), AnsiString::npos);
  TKeyHolder b(nullptr);
  ReadComponentFromText(text, &b);
  ASSERT_EQ(b.Keys.Count(), a.Keys.Count());
  TTxtKeyTranslator t;
  EXPECT_EQ(t.KeyToCommand(b.Keys, 'T', {ssCtrl}), ecDeleteLine);
}

}  // namespace
