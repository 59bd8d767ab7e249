#include "editors/uxmaskeditmodes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace maskmodes_test {

// Source texts in these tests are UTF-8; modes work on code page 936.
AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

struct FakeProperties : IuxMaskEditModeProperties {
  bool GetCaseInsensitive() const override { return CaseInsensitive; }
  bool GetIgnoreMaskBlank() const override { return IgnoreMaskBlank; }
  TEditCharCase GetCharCase() const override { return CharCase; }
  bool CaseInsensitive = true;
  bool IgnoreMaskBlank = false;
  TEditCharCase CharCase = TEditCharCase::ecNormal;
};

class MaskModes : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }  // date separator "-", time separator ":"
  void TearDown() override { ResetFormatSettings(); }
  FakeProperties Properties;
};

// ---- standard mode ----

struct StandardCase {
  const char* Mask;  // UTF-8
  const char* Text;  // UTF-8
  const char* Formatted;  // GetFormattedText (Text, KeepLiterals True), UTF-8
  const char* Value;      // GetValueText (Text, KeepLiterals True), UTF-8
  bool Accepted;
  bool AcceptedIgnoringBlanks;
  TEditCharCase CharCase = TEditCharCase::ecNormal;
};

const StandardCase kStandardCases[] = {
    {"000-0000", "1234567", "123-4567", "123-4567", false, false},
    {"000-0000", "123-4567", "123-4567", "123-4567", true, true},
    {"000-0000;0", "123-4567", "123-4567", "1234567", true, true},
    {"000-0000", "___-____", "___-____", "   -    ", false, true},  // the untouched empty text
    {"000-0000", "12_-____", "12_-____", "12 -    ", false, false},  // a partial one is not
    {"999", "1 3", "1_3", "1 3", true, true},
    {">LL", "ab", "AB", "AB", true, true},
    {">LL", "ab", "AB", "ab", true, true, TEditCharCase::ecLowerCase},  // the edit's own case rules
    {"CC", "中文字", "中文", "中文", false, false},
    {"0000年00月", "2024年05月", "2024年05月", "2024年05月", true, true},
    {"0000年00月;0", "2024年05月", "2024年05月", "202405", true, true},
};

TEST_F(MaskModes, StandardModeFormatsValuesAndValidates) {
  for (const StandardCase& c : kStandardCases) {
    SCOPED_TRACE(std::string(c.Mask) + " : " + c.Text);
    Properties.CharCase = c.CharCase;
    TuxMaskEditStandardMode mode(&Properties);
    EXPECT_EQ(mode.GetModeKind(), emkStandard);
    mode.Compile(A(c.Mask));
    EXPECT_EQ(mode.GetMask(), A(c.Mask));
    EXPECT_EQ(mode.GetFormattedText(A(c.Text), true), A(c.Formatted));
    EXPECT_EQ(mode.GetValueText(A(c.Text), true), A(c.Value));
    Properties.IgnoreMaskBlank = false;
    EXPECT_EQ(mode.IsTextAccepted(A(c.Text)), c.Accepted);
    Properties.IgnoreMaskBlank = true;
    EXPECT_EQ(mode.IsTextAccepted(A(c.Text)), c.AcceptedIgnoringBlanks);
    Properties.IgnoreMaskBlank = false;
  }
}

TEST_F(MaskModes, StandardModeEmptyStringAndBlank) {
  TuxMaskEditStandardMode mode(&Properties);
  mode.Compile("000-00;1;*");
  EXPECT_EQ(mode.GetEmptyString(), "   -  ");
  EXPECT_EQ(mode.GetBlank(1), '*');
  EXPECT_TRUE(mode.GetNeedUpdateEditValue());
  mode.Compile("00;0");
  EXPECT_EQ(mode.GetEmptyString(), "  ");
  // Without a mask nothing formats by the one before.
  mode.Compile("");
  EXPECT_EQ(mode.GetValueText("a1", true), "a1");
  EXPECT_EQ(mode.GetFormattedText("a1", true), "");
}

// ---- regular-expression modes ----

struct RegExprCase {
  const char* Mask;  // UTF-8
  const char* Text;  // UTF-8
  const char* Formatted;  // UTF-8
  bool Accepted;
  bool AcceptedIgnoringBlanks;
  bool CaseInsensitive = true;
};

const RegExprCase kRegExprCases[] = {
    {"\\d\\d/\\d\\d", "", "", true, true},  // an empty text is always accepted
    {"\\d\\d/\\d\\d", "12-34", "12-34", true, true},
    {"\\d\\d/\\d\\d", "12-3", "12-3", false, true},  // a partial match only when blanks are ignored
    {"\\d\\d/\\d\\d", "1x2-34", "12-34", false, false},
    {"[A-Z]{2}\\d+", "ab12", "", false, false},      // subranges never fold case
    {"'AB'\\d+", "ab12", "AB12", true, true},        // symbols take the expression's case
    {"'AB'\\d+", "ab12", "", false, false, false},
    {"\\d+年\\d+月", "2024年5月", "2024年5月", true, true},
    {"\\d+年\\d+月", "2024年5", "2024年5", false, true},
    {".{2}", "中文字", "中文", false, false},
    {".{2}", "中文", "中文", true, true},
};

TEST_F(MaskModes, RegExprModeFormatsAndValidates) {
  for (const RegExprCase& c : kRegExprCases) {
    SCOPED_TRACE(std::string(c.Mask) + " : " + c.Text);
    Properties.CaseInsensitive = c.CaseInsensitive;
    TuxMaskEditRegExprMode mode(&Properties);
    EXPECT_EQ(mode.GetModeKind(), emkRegExpr);
    mode.Compile(A(c.Mask));
    EXPECT_EQ(mode.GetFormattedText(A(c.Text), true), A(c.Formatted));
    EXPECT_EQ(mode.GetValueText(A(c.Text), true), A(c.Text));
    EXPECT_EQ(mode.GetEmptyString(), "");
    Properties.IgnoreMaskBlank = false;
    EXPECT_EQ(mode.IsTextAccepted(A(c.Text)), c.Accepted);
    Properties.IgnoreMaskBlank = true;
    EXPECT_EQ(mode.IsTextAccepted(A(c.Text)), c.AcceptedIgnoringBlanks);
    Properties.IgnoreMaskBlank = false;
  }
}

struct RegExprExCase {
  const char* Mask;  // UTF-8
  const char* EmptyString;  // UTF-8
  const char* Text;  // UTF-8
  const char* Formatted;  // UTF-8
  bool Accepted;
};

const RegExprExCase kRegExprExCases[] = {
    {"'ID-'\\d+", "ID-", "", "ID-", false},
    {"'ID-'\\d+", "ID-", "ID-", "ID-", true},  // the starting characters count as empty
    {"'ID-'\\d+", "ID-", "ID-7", "ID-7", true},
    {"'ID-'\\d+", "ID-", "7", "ID-", false},   // typed text is not completed in front
    {"\\d\\d/\\d\\d", "", "", "", true},
    {"\\d\\d/\\d\\d", "", "12", "12-", false},
    {"\\d\\d/\\d\\d", "", "12-34", "12-34", true},
    {"\\d{4}年\\d\\d月", "", "2024", "2024年", false},
    {"\\d{4}年\\d\\d月", "", "2024年05", "2024年05月", false},
    {"\\d{4}年\\d\\d月", "", "2024年05月", "2024年05月", true},
    {"'第'\\d+'章'", "第", "第3", "第3", false},
    {"'第'\\d+'章'", "第", "第3章", "第3章", true},
};

TEST_F(MaskModes, RegExprExModeSuppliesFixedCharacters) {
  for (const RegExprExCase& c : kRegExprExCases) {
    SCOPED_TRACE(std::string(c.Mask) + " : " + c.Text);
    TuxMaskEditRegExprExMode mode(&Properties);
    EXPECT_EQ(mode.GetModeKind(), emkRegExprEx);
    mode.Compile(A(c.Mask));
    EXPECT_EQ(mode.GetCompletionText(), A(c.EmptyString));  // collected when compiled
    EXPECT_EQ(mode.GetEmptyString(), A(c.EmptyString));
    EXPECT_EQ(mode.GetFormattedText(A(c.Text), true), A(c.Formatted));
    EXPECT_EQ(mode.IsTextAccepted(A(c.Text)), c.Accepted);
  }
}

TEST_F(MaskModes, BadExpressionRaisesMaskEditErrorListingEachError) {
  for (bool ex : {false, true}) {
    SCOPED_TRACE(ex);
    std::unique_ptr<TuxMaskEditRegExprMode> mode = ex ? std::make_unique<TuxMaskEditRegExprExMode>(&Properties)
                                                       : std::make_unique<TuxMaskEditRegExprMode>(&Properties);
    mode->Compile("\\d+");
    try {
      mode->Compile("[]|a**");
      FAIL() << "no error";
    } catch (const EuxEditError& e) {
      EXPECT_STREQ(e.ClassName(), "EuxMaskEditError");
      EXPECT_EQ(e.Message,
                "Regular expression errors:\r\n"
                "Line1, Char2: Can't create empty enumeration\r\n"
                "Line1, Char6: The '*' quantifier cannot be applied here");
    }
    // Nothing compiled is in force: no text is formatted or taken.
    EXPECT_EQ(mode->GetFormattedText("12", true), "");
    EXPECT_FALSE(mode->IsTextAccepted("12"));
    EXPECT_EQ(mode->GetEmptyString(), "");
    // An empty mask leaves no expression either.
    mode->Compile("\\d+");
    mode->Compile("");
    EXPECT_EQ(mode->GetFormattedText("12", true), "");
  }
}

// Random masks through both compilers and every mode operation: errors are
// mask errors, and formatted texts are stable and accepted.
const char* const kPieces[] = {"\\d", "\\w", ".", "a", "B", "中", "年", "/", ":", "(", ")", "|", "*", "+", "?",
                               "{2}", "{0,3}", "[a-c]", "[^0]", "'X-'", "\\1", "0", "L", "C", "9", "#", "!",
                               ">", "<", ";1;*", "\\", "[", "{", "'"};
const char* const kInputs[] = {"1", "2", "a", "b", "B", "X", "-", ":", "中", "年", " ", "_", "*"};

TEST_F(MaskModes, FuzzModesOnRandomMasks) {
  std::mt19937 random(1337);
  auto pick = [&](int Count) { return static_cast<int>(random() % static_cast<unsigned>(Count)); };
  for (int round = 0; round < 2000; ++round) {
    AnsiString mask;
    for (int i = 1 + pick(10); i > 0; --i) mask += A(kPieces[pick(std::size(kPieces))]);
    AnsiString input;
    for (int i = pick(12); i > 0; --i) input += A(kInputs[pick(std::size(kInputs))]);
    SCOPED_TRACE(std::string("mask ") + mask + " input " + input);
    Properties.IgnoreMaskBlank = pick(2) == 0;
    TuxMaskEditStandardMode standard(&Properties);
    standard.Compile(mask);
    const AnsiString shown = standard.GetFormattedText(input, true);
    ASSERT_EQ(standard.GetFormattedText(shown, true), shown);
    standard.IsTextAccepted(shown);
    standard.GetValueText(shown, pick(2) == 0);

    TuxMaskEditRegExprExMode ex(&Properties);
    try {
      ex.Compile(mask);
    } catch (const EuxMaskEditError& e) {
      ASSERT_TRUE(e.Message.starts_with("Regular expression errors:\r\n"));
      continue;
    }
    const AnsiString empty = ex.GetEmptyString();
    ASSERT_TRUE(ex.IsTextAccepted(empty));
    const AnsiString formatted = ex.GetFormattedText(input, true);
    ASSERT_EQ(ex.GetFormattedText(formatted, true), formatted);
    // A formatted text is a prefix of some value, so it passes when
    // blanks are ignored.
    Properties.IgnoreMaskBlank = true;
    ASSERT_TRUE(ex.IsTextAccepted(formatted));
  }
}

}  // namespace maskmodes_test
