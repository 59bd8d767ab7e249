#include "editors/uxstdmask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace stdmask_test {

// Source texts in these tests are UTF-8; masks work on code page 936.
AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

class StdMask : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }  // date separator "-", time separator ":"
  void TearDown() override { ResetFormatSettings(); }
};

// ---- compiling ----

struct CompileCase {
  const char* Mask;            // UTF-8
  int Count;
  const char* EmptyText;       // UTF-8
  const char* EmptyValueText;  // UTF-8
  bool SaveLiterals = true;
  bool Leading = false;
};

const CompileCase kCompileCases[] = {
    {"000;1;*", 3, "***", "   "},
    {"000-0000", 8, "___-____", "   -    "},
    {"000-0000;0", 8, "___-____", "       ", false},
    {"000-0000;0;#", 8, "###-####", "       ", false},
    {"!99999", 5, "_____", "     ", true, true},
    {"\\00", 2, "0_", "0 "},       // an escaped "0" is a literal zero
    {"0\\", 1, "_", " "},          // a "\" at the very end adds nothing
    {"00/00", 5, "__-__", "  -  "},  // the locale's date separator
    {"00:00", 5, "__:__", "  :  "},  // and time separator
    {"00;1", 2, "__", "  "},
    {"0;2", 3, "_;2", " ;2"},      // only "0" or "1" make a settings part
    {"0;1;", 4, "_;1;", " ;1;"},   // the settings part counts only at the very end
    {"0;1;ab", 6, "_;1;_b", " ;1; b"},  // "b" is no mask character
    {";0", 0, "", "", false},
    {">l<>L<a", 3, "___", "   "},  // case switches take no position
    {"LlAaCc09#", 9, "_________", "         "},
    {"!", 0, "", "", true, true},
    {"0000年00月", 8, "____年__月", "    年  月"},  // a hanzi literal is one position
    {"\\中C", 2, "中_", "中 "},
};

TEST_F(StdMask, CompilesPositionsAndSettings) {
  for (const CompileCase& c : kCompileCases) {
    SCOPED_TRACE(c.Mask);
    TuxStandardMask mask;
    mask.SetMask(A(c.Mask));
    EXPECT_EQ(mask.GetMask(), A(c.Mask));
    EXPECT_EQ(mask.Count(), c.Count);
    AnsiString text;
    mask.GetEmptyText(text);
    EXPECT_EQ(text, A(c.EmptyText));
    mask.GetEmptyValueText(text);
    EXPECT_EQ(text, A(c.EmptyValueText));
    EXPECT_EQ(mask.SaveLiteralCharacters(), c.SaveLiterals);
    EXPECT_EQ(mask.Leading(), c.Leading);
  }
}

TEST_F(StdMask, SettingsPartGivesRequiredDigitsAndTheBlank) {
  TuxStandardMask mask;
  mask.SetMask("000;1;*");
  EXPECT_EQ(mask.Blank(), '*');
  for (int i = 0; i < 3; ++i) {
    auto* item = dynamic_cast<TuxStandardMaskNumericItem*>(mask.Items(i));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->Optional());
  }
  EXPECT_EQ(mask.Items(3), nullptr);
  EXPECT_EQ(mask.Items(-1), nullptr);
  // Setting another mask starts again from the defaults.
  mask.SetMask("0");
  EXPECT_EQ(mask.Blank(), '_');
  EXPECT_TRUE(mask.SaveLiteralCharacters());
}

// Which characters each kind of position takes, and the case it gives them.
struct PositionCase {
  const char* Mask;  // one position
  const char* Input;  // UTF-8
  bool Accepted;
  const char* After;  // Ch after Check, UTF-8
};

const PositionCase kPositionCases[] = {
    {"L", "a", true, "a"},   {"L", "1", false, "1"},  {"L", "中", false, "中"}, {"l", "Z", true, "Z"},
    {"A", "7", true, "7"},   {"A", "-", false, "-"},  {"C", "中", true, "中"},  {"C", " ", true, " "},
    {"0", "5", true, "5"},   {"0", "a", false, "a"},  {"9", "+", false, "+"},  {"#", "+", true, "+"},
    {"#", "-", true, "-"},   {"#", "x", false, "x"},
    {">L", "a", true, "A"},  {"<L", "A", true, "a"},  {">0", "a", false, "A"},  // converts even when refusing
    {">C", "中", true, "中"}, {"<>L", "a", true, "a"},
    {"-", "-", true, "-"},   {"\\L", "L", true, "L"}, {"\\L", "l", false, "l"}, {"年", "年", true, "年"},
};

TEST_F(StdMask, PositionsCheckAndConvertCharacters) {
  for (const PositionCase& c : kPositionCases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Input);
    TuxStandardMask mask;
    mask.SetMask(A(c.Mask));
    ASSERT_EQ(mask.Count(), 1);
    int length = 0;
    TuxMaskChar ch = uxMaskCharAt(A(c.Input), 0, length);
    EXPECT_EQ(mask.Items(0)->Check(ch), c.Accepted);
    EXPECT_EQ(uxMaskCharToText(ch), A(c.After));
  }
}

// ---- formatting ----

struct FormatCase {
  const char* Mask;   // UTF-8
  const char* Input;  // UTF-8
  bool ConvertCase;
  bool KeepLiteralsOfInput;
  const char* Result;  // UTF-8
};

const FormatCase kFormatCases[] = {
    {"000-0000", "1234567", true, false, "123-4567"},
    {"000-0000", "12-34", true, false, "12_-34__"},      // a typed literal moves on to its position
    {"000-0000;0", "1234567", true, false, "123-4567"},  // digits only: the literal is passed
    {"000-0000;0", "12-34", true, false, "123-4___"},    // literals of the mask are not tried
    {"000-0000;0", "12-34", true, true, "12_-34__"},     // unless the input keeps them
    {"!00000", "12", true, false, "___12"},
    {"!000-00", "1-23", true, false, "__1-23"},
    {"!99", "1234", true, false, "34"},
    {"000", "1 3", true, false, "1_3"},                  // an input blank leaves a position blank
    {"000;1;*", "1*3", true, false, "1*3"},
    {"000;1;*", "1_3", true, false, "13*"},              // "_" is no blank of this mask
    {"LL", "a1b", true, false, "ab"},
    {"000", "12345", true, false, "123"},                // what fits nowhere is dropped
    {"000", "abc", true, false, "___"},
    {">lll", "aBc", true, false, "ABC"},
    {">lll", "aBc", false, false, "aBc"},
    {">l<>l", "ab", true, false, "Ab"},
    {"<LL", "AB", true, false, "ab"},
    {"###", "+-5", true, false, "+-5"},
    {"(000)", "(12)", true, false, "(12_)"},
    {"(000)", "12", true, false, "(12_)"},
    // Chinese characters fill one position each and are never split.
    {"CCC", "中a文", true, false, "中a文"},
    {"CC", "中文字", true, false, "中文"},
    {"LL", "中ab", true, false, "ab"},
    {"0000年00月", "202405", true, false, "2024年05月"},
    {"0000年00月", "2024年5月", true, false, "2024年5_月"},
    {"0000年00月;0", "2024年5月", true, false, "2024年5_月"},  // the hanzi literals are dropped
    {"!CC", "中文字", true, false, "文字"},
};

TEST_F(StdMask, FormatPlacesCharactersIntoPositions) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Input);
    TuxStandardMask mask;
    mask.SetMask(A(c.Mask));
    AnsiString text = A(c.Input);
    mask.Format(text, c.ConvertCase, c.KeepLiteralsOfInput);
    EXPECT_EQ(text, A(c.Result));
  }
}

// ---- validity and value text ----

struct ValidCase {
  const char* Mask;  // UTF-8
  const char* Text;  // UTF-8
  bool Valid;
  const char* After;  // Text after IsValid, UTF-8
};

const ValidCase kValidCases[] = {
    {"000-0000", "123-4567", true, "123-4567"},
    {"000-0000", "123-456", false, "123-456"},     // one character short
    {"000-0000", "123-45678", false, "123-45678"},
    {"000-0000", "12a-4567", false, "12a-4567"},
    {"000-0000", "123+4567", false, "123+4567"},   // literal positions take only their character
    {"999", "1 3", true, "1 3"},                   // blanks only in optional positions
    {"999", "1_3", true, "1_3"},
    {"000", "1_3", false, "1_3"},
    {"000;1;*", "1*3", false, "1*3"},
    {"999;1;*", "1*3", true, "1*3"},
    {">LL", "ab", true, "AB"},                     // case conversion is applied in place
    {"<ll", "A1", false, "a1"},
    {"CC", "中文", true, "中文"},
    {"LL", "中文", false, "中文"},
    {"CCC", "中文", false, "中文"},                // two characters for three positions
    {"0000年00月", "2024年05月", true, "2024年05月"},
    {"0000年00月", "2024-05月", false, "2024-05月"},
    {"", "", true, ""},
};

TEST_F(StdMask, IsValidChecksEveryPosition) {
  for (const ValidCase& c : kValidCases) {
    SCOPED_TRACE(std::string(c.Mask) + " : " + c.Text);
    TuxStandardMask mask;
    mask.SetMask(A(c.Mask));
    AnsiString text = A(c.Text);
    EXPECT_EQ(mask.IsValid(text), c.Valid);
    EXPECT_EQ(text, A(c.After));
  }
}

struct ValueCase {
  const char* Mask;  // UTF-8
  const char* Text;  // UTF-8
  const char* Value;  // UTF-8
};

const ValueCase kValueCases[] = {
    {"000-0000", "123-45__", "123-45  "},
    {"000-0000;0", "123-45__", "12345  "},
    {"000;1;*", "1**", "1  "},
    {"000;1;*", "1__", "1__"},                 // "_" is no blank here
    {"000-0000", "12", "12"},                  // read only as far as the text goes
    {"00", "1234", "12"},                      // and only as far as the mask goes
    {"00年00月;0", "12年3_月", "123 "},
    {"00年00月", "12年3_月", "12年3 月"},
};

TEST_F(StdMask, ValueTextTurnsBlanksToSpacesAndKeepsSavedLiterals) {
  for (const ValueCase& c : kValueCases) {
    SCOPED_TRACE(std::string(c.Mask) + " : " + c.Text);
    TuxStandardMask mask;
    mask.SetMask(A(c.Mask));
    AnsiString text = A(c.Text);
    mask.GetValueText(text);
    EXPECT_EQ(text, A(c.Value));
  }
}

// ---- fuzzing ----

// Format as the rule reads, trying every position in turn; the mask's own
// Format finds positions faster and must agree with it.
AnsiString SlowFormat(const TuxStandardMask& Mask, const AnsiString& Text, bool ConvertCase, bool KeepLiterals) {
  const int n = Mask.Count();
  std::vector<TuxMaskChar> shown(static_cast<std::size_t>(n));
  std::vector<bool> literal(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    auto* item = dynamic_cast<TuxStandardMaskLiteralItem*>(Mask.Items(i));
    literal[static_cast<std::size_t>(i)] = item != nullptr;
    shown[static_cast<std::size_t>(i)] = item ? item->Literal() : Mask.Blank();
  }
  std::vector<TuxMaskChar> input = uxMaskChars(Text);
  if (Mask.Leading()) std::reverse(input.begin(), input.end());
  const int step = Mask.Leading() ? -1 : 1;
  int position = Mask.Leading() ? n - 1 : 0;
  for (TuxMaskChar typed : input) {
    for (int q = position; q >= 0 && q < n; q += step) {
      const bool isLiteral = literal[static_cast<std::size_t>(q)];
      if (isLiteral && !Mask.SaveLiteralCharacters() && !KeepLiterals) continue;
      TuxMaskChar ch = typed;
      if (Mask.Items(q)->Check(ch)) {
        shown[static_cast<std::size_t>(q)] = ConvertCase ? ch : typed;
      } else if (isLiteral || (typed != Mask.Blank() && typed != ' ')) {
        continue;
      }
      position = q + step;
      break;
    }
  }
  AnsiString result;
  for (TuxMaskChar ch : shown) uxAppendMaskChar(result, ch);
  return result;
}

const char* const kMaskPieces[] = {"L", "l", "A", "a", "C", "c", "0", "9", "#", ":", "/", "\\", ">", "<", "<>",
                                   "-", "(", ")", "中", "年", " ", ";", ";1", ";0;*", "!", "x", "_"};
const char* const kTextPieces[] = {"1", "2", "a", "B", "-", "+", ":", "_", " ", "*", "中", "年", "x", "(",
                                   "\xB0"};

TEST_F(StdMask, FuzzFormatAgreesWithTheRuleAndIsStable) {
  std::mt19937 random(4242);
  auto pick = [&](int Count) { return static_cast<int>(random() % static_cast<unsigned>(Count)); };
  for (int round = 0; round < 4000; ++round) {
    AnsiString maskText;
    for (int i = pick(12); i > 0; --i) maskText += A(kMaskPieces[pick(std::size(kMaskPieces))]);
    AnsiString input;
    for (int i = pick(16); i > 0; --i) input += A(kTextPieces[pick(std::size(kTextPieces))]);
    SCOPED_TRACE(std::string("mask ") + maskText + " input " + input);
    TuxStandardMask mask;
    mask.SetMask(maskText);
    const bool convert = pick(2) == 0, keep = pick(2) == 0;
    AnsiString text = input;
    mask.Format(text, convert, keep);
    ASSERT_EQ(text, SlowFormat(mask, input, convert, keep));
    ASSERT_EQ(static_cast<int>(uxMaskChars(text).size()), mask.Count());
    // A formatted text formats to itself when literals are kept.
    AnsiString again = text;
    mask.Format(again, convert, true);
    ASSERT_EQ(again, text);
    AnsiString value = text;
    mask.GetValueText(value);
    AnsiString checked = text;
    mask.IsValid(checked);
    ASSERT_EQ(uxMaskChars(checked).size(), uxMaskChars(text).size());
  }
}

TEST_F(StdMask, LongMasksAndTextsStayLinear) {
  // Nothing in the input fits until the very end: a slow search would try
  // every position for every character.
  TuxStandardMask mask;
  mask.SetMask(AnsiString(50000, '0') + "L");
  AnsiString text = AnsiString(50000, '+') + "z";
  mask.Format(text, true, false);
  EXPECT_EQ(text, AnsiString(50000, '_') + "z");
}

}  // namespace stdmask_test
