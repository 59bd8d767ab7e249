#include "editor/txtrules.h"

#include <gtest/gtest.h>

#include "platform/rtl/locale.h"
#include "platform/rtl/streams.h"

namespace {

// CP936 text used below.
#define ZHANGSAN "\xD5\xC5\xC8\xFD"  // 张三
#define LISI "\xC0\xEE\xCB\xC4"      // 李四
#define COLON "\xA3\xBA"             // ：
#define LQUOTE "\xA1\xB0"            // “
#define RQUOTE "\xA1\xB1"            // ”
#define COMMA "\xA3\xAC"             // ，
#define STOP "\xA1\xA3"              // 。
#define NIHAO "\xC4\xE3\xBA\xC3"     // 你好
#define TIANQI "\xBD\xF1\xCC\xEC\xCF\xC2\xD3\xEA\xC1\xCB"  // 今天下雨了
#define BANG "\xA3\xA1"              // ！

struct Token {
  std::string text;
  TTxtHighlighterAttributes* attr;
};

std::vector<Token> Scan(TTxtRules& h, const std::string& line, bool reset = true) {
  if (reset) h.ResetScanState();
  std::vector<Token> out;
  h.StartLine(line, 0);
  while (!h.AtLineEnd()) {
    out.push_back({h.TokenText(), h.TokenAttribute()});
    h.NextToken();
  }
  return out;
}

std::vector<std::string> Texts(const std::vector<Token>& t) {
  std::vector<std::string> r;
  for (auto& x : t) r.push_back(x.text);
  return r;
}

// A rules document written by hand for Chinese prose: names are keywords, the
// Chinese punctuation rows are delimiters and quoted speech is a range.
const char* const kProseRules =
    "<RuleHighlighter>\n"
    " <Info>\n"
    "  <General>\n"
    "   <Name>\xD0\xA1\xCB\xB5</Name>\n"  // 小说
    "  </General>\n"
    " </Info>\n"
    " <Range Name=\"Root\">\n"
    " <Def><Back>536870911</Back><Fore>0</Fore><Style></Style></Def>\n"
    " <Num><Back>536870911</Back><Fore>255</Fore><Style>I</Style></Num>\n"
    " <DelimiterChars>!&qt;#$%&amp;'()*+,-./:;&lt;=&gt;?@[\\]^`{|}~\xA1\xA3</DelimiterChars>\n"
    " <CaseSensitive>False</CaseSensitive>\n"
    " <KW Name=\"People\">\n"
    "  <Attri><Back>536870911</Back><Fore>128</Fore><Style>B</Style></Attri>\n"
    "  <W>" ZHANGSAN "</W>\n"
    "  <W>" LISI "</W>\n"
    " </KW>\n"
    "  <Range Name=\"Speech\">\n"
    "  <Def><Back>536870911</Back><Fore>32768</Fore><Style></Style></Def>\n"
    "  <OpenSymbol>" LQUOTE "</OpenSymbol>\n"
    "  <CloseSymbol>" RQUOTE "</CloseSymbol>\n"
    "  <DelimiterChars>!,.:;?\xA1\xA3</DelimiterChars>\n"
    "  <AnyTerm>True</AnyTerm>\n"
    "  </Range>\n"
    " </Range>\n"
    "</RuleHighlighter>\n";

TEST(TxtRules, HandWrittenRulesColourChineseProse) {
  TTxtRules h(nullptr);
  h.LoadFromText(kProseRules);
  EXPECT_EQ(h.InfoName, "\xD0\xA1\xCB\xB5");
  TTxtRange* root = h.RootRange.get();
  ASSERT_EQ(root->RangeCount(), 1);
  TTxtRange* speech = root->RangeAt(0);
  TTxtHighlighterAttributes* people = root->KeywordGroupAt(0)->Attri;
  EXPECT_EQ(people->Style(), txtBold);
  EXPECT_EQ(people->Foreground(), 128);

  const std::string line = ZHANGSAN COLON LQUOTE NIHAO COMMA LISI STOP RQUOTE TIANQI BANG "12" STOP;
  auto tokens = Scan(h, line);
  const std::vector<std::pair<std::string, TTxtHighlighterAttributes*>> expected = {
      {ZHANGSAN, people},
      {COLON, &root->DefaultAttributes},
      {LQUOTE, &speech->DefaultAttributes},
      {NIHAO, &speech->DefaultAttributes},
      {COMMA, &speech->DefaultAttributes},
      {LISI, &speech->DefaultAttributes},  // the keywords belong to the outer range
      {STOP, &speech->DefaultAttributes},
      {RQUOTE, &speech->DefaultAttributes},
      {TIANQI, &root->DefaultAttributes},
      {BANG, &root->DefaultAttributes},
      {"12", &root->NumberAttributes},
      {STOP, &root->DefaultAttributes},
  };
  ASSERT_EQ(tokens.size(), expected.size());
  int start = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(tokens[i].text, expected[i].first);
    EXPECT_EQ(tokens[i].attr, expected[i].second);
    start += int(tokens[i].text.size());
  }
  EXPECT_EQ(start, int(line.size()));
  EXPECT_EQ(h.ScanState(), root->Id());

  // Speech left open at the end of a line carries over to the next one.
  Scan(h, LQUOTE NIHAO);
  Integer state = h.ScanState();
  EXPECT_EQ(state, speech->Id());
  h.RestoreScanState(state);
  auto next = Scan(h, LISI RQUOTE, false);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[0].attr, &speech->DefaultAttributes);
}

TEST(TxtRules, DoubleByteCharactersAreNeverSplit) {
  TTxtRules h(nullptr);
  auto* g = new TTxtSymbolGroup("\x81\x41", h.RootRange->AddAttributes("kw"));  // second byte 'A'
  h.RootRange->AddKeywordGroup(g);
  h.RootRange->SetCaseSensitive(false);
  // A second byte equal to "\" or "|" is no delimiter: the word is one token.
  EXPECT_EQ(Texts(Scan(h, "\x81\x5C\x81\x7C" "ab cd")), (std::vector<std::string>{"\x81\x5C\x81\x7C" "ab", " ", "cd"}));
  // Folding leaves second bytes alone: "\x81\x61" is another character than the keyword.
  auto t = Scan(h, "\x81\x61 \x81\x41");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].attr, &h.RootRange->DefaultAttributes);
  EXPECT_EQ(t[2].attr, g->Attri);
  // Delimiters listed as double-byte punctuation end words at whole characters.
  h.RootRange->DelimiterChars.set(0xA3);
  h.ResetRules();
  EXPECT_EQ(Texts(Scan(h, NIHAO COMMA NIHAO)), (std::vector<std::string>{NIHAO, COMMA, NIHAO}));
}

TEST(TxtRules, ScanningEdgeCases) {
  TTxtRules h(nullptr);
  TTxtRange* root = h.RootRange.get();
  auto addGroup = [&](TTxtRange* r, const char* words) {
    auto* g = new TTxtSymbolGroup(words, r->AddAttributes("kw"));
    r->AddKeywordGroup(g);
    return g;
  };
  auto* g1 = addGroup(root, "begin\r\nend");
  auto* g2 = addGroup(root, "end");  // the later group wins
  auto* term = new TTxtRange("$", "");
  term->CloseOnTerm = true;
  term->OpenSymbol.TermMode = 1;
  root->AddRange(term);
  auto* eol = new TTxtRange("//", "");
  eol->CloseOnEol = true;
  eol->OpenSymbol.TermMode = 1;
  root->AddRange(eol);
  auto* inner = new TTxtRange("(*", "*)");
  inner->OpenSymbol.TermMode = 1;
  inner->CloseOnEol = true;
  eol->AddRange(inner);

  // empty line: one empty token in the default style
  auto t = Scan(h, "");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].text, "");
  EXPECT_EQ(t[0].attr, &root->DefaultAttributes);

  // numbers
  t = Scan(h, "12;34ab 1.5");
  EXPECT_EQ(Texts(t), (std::vector<std::string>{"12", ";", "34ab", " ", "1", ".", "5"}));
  EXPECT_EQ(t[0].attr, &root->NumberAttributes);
  EXPECT_EQ(t[2].attr, &root->DefaultAttributes);
  EXPECT_EQ(t[4].attr, &root->NumberAttributes);

  // keywords: case-insensitive, text as typed, later group wins, whole words only
  t = Scan(h, "BeGiN eNd beginx");
  EXPECT_EQ(Texts(t), (std::vector<std::string>{"BeGiN", " ", "eNd", " ", "beginx"}));
  EXPECT_EQ(t[0].attr, g1->Attri);
  EXPECT_EQ(t[2].attr, g2->Attri);
  EXPECT_EQ(t[4].attr, &root->DefaultAttributes);

  // a range closed by the first delimiter
  t = Scan(h, "$abc def");
  EXPECT_EQ(Texts(t), (std::vector<std::string>{"$", "abc", " ", "def"}));
  EXPECT_EQ(t[1].attr, &term->DefaultAttributes);
  EXPECT_EQ(t[3].attr, &root->DefaultAttributes);

  // a range to the end of the line; two nested ranges close one level per line end
  Scan(h, "// (* x");
  EXPECT_EQ(h.ScanState(), eol->Id());
  Scan(h, "x // y");
  EXPECT_EQ(h.ScanState(), root->Id());

  // tab is no delimiter unless listed
  EXPECT_EQ(Texts(Scan(h, "a\tb c")), (std::vector<std::string>{"a\tb", " ", "c"}));
}

TEST(TxtRules, KeywordTakesTheClosingSymbolsPlace) {
  TTxtRules h(nullptr);
  auto* r = new TTxtRange("<", ">");
  r->OpenSymbol.TermMode = 1;
  h.RootRange->AddRange(r);
  auto* g = new TTxtSymbolGroup(">", r->AddAttributes("kw"));
  r->AddKeywordGroup(g);
  Scan(h, "<a>");
  EXPECT_EQ(h.ScanState(), r->Id());  // ">" is a keyword now and no longer closes
}

TEST(TxtRules, CaseInsensitiveChildMatchesFromTheNextLine) {
  TTxtRules h(nullptr);
  h.RootRange->SetCaseSensitive(true);
  auto* child = new TTxtRange("{", "}");
  child->OpenSymbol.TermMode = 1;
  child->SetCaseSensitive(false);
  auto* g = new TTxtSymbolGroup("KEY", child->AddAttributes("kw"));
  child->AddKeywordGroup(g);
  h.RootRange->AddRange(child);
  auto t = Scan(h, "{key");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_NE(t[1].attr, g->Attri);  // the line was folded by the case-sensitive root
  t = Scan(h, "key}", false);
  EXPECT_EQ(t[0].attr, g->Attri);
}

TEST(TxtRules, StaleScanStatesFallBackToTheRoot) {
  TTxtRules h(nullptr);
  h.LoadFromText(kProseRules);
  Scan(h, LQUOTE);
  Integer stale = h.ScanState();
  h.LoadFromText(kProseRules);  // frees the old ranges
  h.RestoreScanState(stale);
  EXPECT_EQ(h.CurrentRange, h.RootRange.get());

  Scan(h, LQUOTE);
  h.ClearRules();  // the range in effect is freed
  EXPECT_EQ(Texts(Scan(h, "a b", false)), (std::vector<std::string>{"a", " ", "b"}));
}

TEST(TxtRules, RemovedRangesLeaveNoScanStateOrSymbolBehind) {
  TTxtRules h(nullptr);
  auto* child = new TTxtRange("{", "}");
  child->OpenSymbol.TermMode = 1;
  auto* grand = new TTxtRange("<", ">");
  grand->OpenSymbol.TermMode = 1;
  auto* great = new TTxtRange("[", "]");
  great->OpenSymbol.TermMode = 1;
  grand->AddRange(great);
  child->AddRange(grand);
  h.RootRange->AddRange(child);
  Scan(h, "{<[");
  const Integer greatState = h.ScanState();
  EXPECT_EQ(greatState, great->Id());
  h.RestoreScanState(child->Id());
  const Integer grandState = grand->Id();

  // The removed ranges were prepared and their states handed out: none of it
  // may lead back into them.
  h.RemoveRange(child, grand);
  EXPECT_EQ(h.CurrentRange, h.RootRange.get());
  for (Integer stale : {grandState, greatState}) {
    h.RestoreScanState(stale);
    EXPECT_EQ(h.CurrentRange, h.RootRange.get());
  }
  h.RestoreScanState(child->Id());
  EXPECT_EQ(h.CurrentRange, child);
  auto t = Scan(h, "{<x", true);
  EXPECT_EQ(h.ScanState(), child->Id());  // "<" opens nothing any more
  ASSERT_EQ(Texts(t), (std::vector<std::string>{"{", "<", "x"}));
  EXPECT_EQ(t[1].attr, &child->DefaultAttributes);

  // The same with the tree prepared once more and a direct child removed.
  h.PrepareRules();
  h.RestoreScanState(child->Id());
  const Integer childState = child->Id();
  h.RemoveRange(h.RootRange.get(), child);
  h.RestoreScanState(childState);
  EXPECT_EQ(h.CurrentRange, h.RootRange.get());
  EXPECT_EQ(Texts(Scan(h, "{a}")), (std::vector<std::string>{"{", "a", "}"}));
  EXPECT_EQ(h.ScanState(), h.RootRange->Id());
}

// ---------------------------------------------------------------- rules text

void Fill(TTxtRules& h) {
  h.InfoName = "Name \"quoted\" <x> & y";
  h.FileTypeName = "Novel";
  h.Layout = "\xD6\xD0\xCE\xC4";
  h.AuthorName = "A";
  h.AuthorEmail = "a@b";
  h.AuthorWeb = "w";
  h.AuthorCopyright = "c";
  h.AuthorCompany = "co";
  h.AuthorRemark = "r";
  h.Version = 3;
  h.Revision = 7;
  h.VersionType = vtRelease;
  h.Date = 45000.25;
  h.History.Add("first");
  h.History.Add("second");
  h.Sample.Add(ZHANGSAN COLON);
  TTxtRange* root = h.RootRange.get();
  root->Name = "Root \"r\"";
  root->DefaultAttributes.SetForeground(12345);
  root->NumberAttributes.SetStyle(txtBold | txtStrikeOut);
  root->SetCaseSensitive(true);
  root->DelimiterChars.set(0xA3);
  auto* g = new TTxtSymbolGroup("if\r\nthen\r\n" ZHANGSAN, root->AddAttributes("unknown"));
  g->Name = "Keys & <more>";
  g->Attri->SetBackground(-16777211);
  g->Attri->SetStyle(txtItalic | txtUnderline);
  root->AddKeywordGroup(g);
  auto* child = new TTxtRange("\"", "\"");
  child->Name = "Str";
  child->OpenSymbol.TermMode = 1;
  child->CloseOnEol = true;
  root->AddRange(child);
  auto* grand = new TTxtRange("<<", ">>");
  grand->Name = "Inner";
  grand->CloseOnTerm = true;
  child->AddRange(grand);
}

void ExpectSameStyle(TTxtHighlighterAttributes& a, TTxtHighlighterAttributes& b) {
  EXPECT_EQ(a.Background(), b.Background());
  EXPECT_EQ(a.Foreground(), b.Foreground());
  EXPECT_EQ(a.Style(), b.Style());
}

void ExpectSameRange(TTxtRange& a, TTxtRange& b) {
  SCOPED_TRACE(a.Name);
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.OpenSymbol.Symbol, b.OpenSymbol.Symbol);
  EXPECT_EQ(a.CloseSymbol.Symbol, b.CloseSymbol.Symbol);
  EXPECT_EQ(a.OpenSymbol.TermMode == 1, b.OpenSymbol.TermMode == 1);
  EXPECT_EQ(a.CloseOnEol, b.CloseOnEol);
  EXPECT_EQ(a.CloseOnTerm, b.CloseOnTerm);
  EXPECT_EQ(a.CaseSensitive(), b.CaseSensitive());
  TTxtCharSet da = a.DelimiterChars, db = b.DelimiterChars;
  for (int c : {10, 13, 32}) da.reset(c), db.reset(c);
  EXPECT_EQ(da, db);
  ExpectSameStyle(a.DefaultAttributes, b.DefaultAttributes);
  ExpectSameStyle(a.NumberAttributes, b.NumberAttributes);
  ASSERT_EQ(a.KeywordGroupCount(), b.KeywordGroupCount());
  for (int i = 0; i < a.KeywordGroupCount(); ++i) {
    EXPECT_EQ(a.KeywordGroupAt(i)->Name, b.KeywordGroupAt(i)->Name);
    EXPECT_TRUE(a.KeywordGroupAt(i)->Words.Equals(&b.KeywordGroupAt(i)->Words));
    ExpectSameStyle(*a.KeywordGroupAt(i)->Attri, *b.KeywordGroupAt(i)->Attri);
  }
  ASSERT_EQ(a.RangeCount(), b.RangeCount());
  for (int i = 0; i < a.RangeCount(); ++i) ExpectSameRange(*a.RangeAt(i), *b.RangeAt(i));
}

TEST(TxtRulesText, SaveAndLoadGiveTheSameTree) {
  TTxtRules a(nullptr);
  Fill(a);
  TMemoryStream s;
  a.SaveToStream(&s);
  s.SetPosition(0);
  TTxtRules b(nullptr);
  b.LoadFromStream(&s);
  ExpectSameRange(*a.RootRange, *b.RootRange);
  EXPECT_EQ(b.InfoName, a.InfoName);
  EXPECT_EQ(b.FileTypeName, a.FileTypeName);
  EXPECT_EQ(b.Layout, a.Layout);
  EXPECT_EQ(b.AuthorName, a.AuthorName);
  EXPECT_EQ(b.AuthorEmail, a.AuthorEmail);
  EXPECT_EQ(b.AuthorWeb, a.AuthorWeb);
  EXPECT_EQ(b.AuthorCopyright, a.AuthorCopyright);
  EXPECT_EQ(b.AuthorCompany, a.AuthorCompany);
  EXPECT_EQ(b.AuthorRemark, a.AuthorRemark);
  EXPECT_EQ(b.Version, 3);
  EXPECT_EQ(b.Revision, 7);
  EXPECT_EQ(b.VersionType, vtRelease);
  EXPECT_DOUBLE_EQ(b.Date, 45000.25);  // written as a float, read back as one
  EXPECT_TRUE(b.History.Equals(&a.History));
  EXPECT_TRUE(b.Sample.Equals(&a.Sample));
  // and the text is stable
  EXPECT_EQ(b.SaveToText(), a.SaveToText());
}

TEST(TxtRulesText, WrittenForm) {
  TTxtRules a(nullptr);
  Fill(a);
  std::string text = a.SaveToText();
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(text.rfind("<RuleHighlighter>\n <ImportantInfo>\n  ******* Please read carefully", 0), 0u);
  EXPECT_NE(text.find(" <Range Name=\"Root &qt;r&qt;\">\n <Def>\n  <Back>536870911</Back>\n  <Fore>12345</Fore>"),
            std::string::npos);
  EXPECT_NE(text.find(" <KW Name=\"Keys &amp; &lt;more&gt;\">\n  <Attri>\n   <Back>-16777211</Back>"),
            std::string::npos);
  EXPECT_NE(text.find("   <Style>IU</Style>\n  </Attri>\n  <W>if</W>"), std::string::npos);
  EXPECT_NE(text.find("  <Range Name=\"Str\">\n  <Def>"), std::string::npos);
  EXPECT_NE(text.find("<Type>Release</Type>"), std::string::npos);
  EXPECT_NE(text.find("<AnyTerm>True</AnyTerm>"), std::string::npos);
  EXPECT_TRUE(text.size() > 20 && text.compare(text.size() - 19, 19, "</RuleHighlighter>\n") == 0);
}

TEST(TxtRulesText, ReadingDetails) {
  TTxtRules h(nullptr);
  const std::string base =
      "<rulehighlighter><Info><History><H>a</H></History><Sample><S>x</S></Sample></Info>"
      "<range Name=\"R\"><num><Style>B</Style></num><Def><Style>I</Style></Def>"
      "<Range Name=\"c\"></Range></range><Foo>skipped</Foo></RuleHighlighter>";
  h.LoadFromText(base);
  EXPECT_EQ(h.RootRange->Name, "R");
  EXPECT_EQ(h.RootRange->NumberAttributes.Style(), txtBold);
  EXPECT_EQ(h.RootRange->DefaultAttributes.Style(), txtItalic);
  EXPECT_EQ(h.RootRange->RangeCount(), 1);
  h.LoadFromText(base);
  EXPECT_EQ(h.History.Count(), 2);  // history accumulates
  EXPECT_EQ(h.Sample.Count(), 1);   // the sample is replaced
  EXPECT_EQ(h.RootRange->RangeCount(), 1);

  // numbers and types that do not parse read as 0; a date that is no number too
  h.LoadFromText(
      "<RuleHighlighter><Info><Version><Version>x</Version><Revision>2</Revision><Date>abc</Date>"
      "<Type>beta</Type></Version></Info></RuleHighlighter>");
  EXPECT_EQ(h.Version, 0);
  EXPECT_EQ(h.Revision, 2);
  EXPECT_EQ(h.Date, 0);
  EXPECT_EQ(h.VersionType, 0);

  // entities: partial spellings stay literal
  h.LoadFromText("<RuleHighlighter><Range Name=\"&qt;a&b&lt\"><OpenSymbol>&am;&x&gt;</OpenSymbol></Range></RuleHighlighter>");
  EXPECT_EQ(h.RootRange->Name, "\"a&b&lt");
  EXPECT_EQ(h.RootRange->OpenSymbol.Symbol, "&am;&x>");
}

TEST(TxtRulesText, LocaleDecimalSeparatorRoundTrip) {
  TFormatSettings fs = DefaultFormatSettings();
  fs.DecimalSeparator = ',';
  SetFormatSettings(fs);
  TTxtRules a(nullptr);
  a.Date = 40000.5;
  TTxtRules b(nullptr);
  b.LoadFromText(a.SaveToText());
  ResetFormatSettings();
  EXPECT_DOUBLE_EQ(b.Date, 40000.5);
}

TEST(TxtRulesText, MalformedTextsRaiseTheirMessages) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"", "Highlighter header tag (\"<RuleHighlighter>\") was not found."},
      {"<Foo>", "Highlighter header tag (\"<RuleHighlighter>\") was not found."},
      {"<RuleHighlighter>\n", "Closing tag: /RuleHighlighter was not found. Line 1"},
      {"<RuleHighlighter>\r\n\r\n</Info>", "Closing tag: /RuleHighlighter was not found. Line 2"},
      {"<RuleHighlighter><Range Name=\"x\"><Bogus>1</Bogus>", "Tag \"Bogus\" is unknown (line 0)"},
      {"<RuleHighlighter>\r\n<Info>\r\n<General>\r\n<Name>x</Layout>", "Close tag: /Layout is not found. Line 3"},
      {"<RuleHighlighter><Info><Range Name=\"x\">", "Unexpected tag: Range line 0"},
      {"<RuleHighlighter><Info></General>", "Unexpected tag: /General line 0"},
      {"<RuleHighlighter><Info><General><Name>abc", "Unexpected end of line. Line 0"},
      {"<RuleHighlighter><Info><General><Name>a\rb</Name>", "Unexpected end of line. Line 0"},
      {"<RuleHighlighter><Ran\rge>", "Unexpected end of line. Line 0"},
      {"<RuleHighlighter><Range Name=\"x", "Unexpected end of line. Line 0"},
      {"<RuleHighlighter><Info>", "Unexpected end of rules text in section Info"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TTxtRules h(nullptr);
    try {
      h.LoadFromText(c.text);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
}

// The message of loading Text, or "" when it loaded.
std::string LoadError(const std::string& Text) {
  TTxtRules h(nullptr);
  try {
    h.LoadFromText(Text);
    return "";
  } catch (const Exception& e) {
    return e.Message;
  }
}

std::string WithLineEnds(std::string Text, const char* End) {
  std::string r;
  for (char c : Text) {
    if (c == '\n') r += End;
    else r += c;
  }
  return r;
}

TEST(TxtRulesText, ErrorsCountLinesAlikeWithLfCrLfAndCr) {
  // The counter is the number of line ends before the error.
  const struct {
    const char* text;  // written with LF
    const char* message;
  } cases[] = {
      {"<RuleHighlighter>\n<Range Name=\"x\">\n<Def>\n<Bogus>1</Bogus>", "Tag \"Bogus\" is unknown (line 3)"},
      {"<RuleHighlighter>\n<Info>\n<General>\n<Name>x</Layout>", "Close tag: /Layout is not found. Line 3"},
      {"<RuleHighlighter>\n\n<Range Name=\"x", "Unexpected end of line. Line 2"},
      {"<RuleHighlighter>\n<Info>\n<Range Name=\"x\">", "Unexpected tag: Range line 2"},
      {"<RuleHighlighter>\n<Info>\n</Info>\n\n", "Closing tag: /RuleHighlighter was not found. Line 4"},
  };
  for (const auto& c : cases) {
    for (const char* end : {"\n", "\r\n", "\r"}) {
      SCOPED_TRACE(testing::Message() << c.text << " with line ends " << testing::PrintToString(std::string(end)));
      EXPECT_EQ(LoadError(WithLineEnds(c.text, end)), c.message);
    }
  }

  // A text as the writer leaves it, damaged on its 12th line (11 line ends before it).
  TTxtRules a(nullptr);
  std::string text = a.SaveToText();
  std::size_t at = 0;
  for (int i = 0; i < 11; ++i) at = text.find('\n', at) + 1;
  text.insert(at, "<Bogus>");
  for (const char* end : {"\n", "\r\n"}) {
    SCOPED_TRACE(end[0] == '\r' ? "CRLF" : "LF");
    std::string msg = LoadError(WithLineEnds(text, end));
    EXPECT_NE(msg.find("Bogus"), std::string::npos) << msg;
    EXPECT_NE(msg.find("line 11"), std::string::npos) << msg;
  }
}

TEST(TxtRulesText, DeeplyNestedRangesAreRefused) {
  auto nested = [](int levels) {
    std::string t = "<RuleHighlighter>";
    for (int i = 0; i < levels; ++i) t += "<Range Name=\"r\">";
    for (int i = 0; i < levels; ++i) t += "</Range>";
    return t + "</RuleHighlighter>";
  };
  EXPECT_EQ(LoadError(nested(200)), "");  // the root and 199 levels below it
  for (int levels : {201, 30000}) {
    SCOPED_TRACE(levels);
    EXPECT_EQ(LoadError(nested(levels)), "Ranges nested too deeply (more than 200 levels). Line 0");
  }
  // The range-level reader shares the limit.
  TTxtRange target;
  TStringStream s(nested(30000));
  try {
    target.LoadFromStream(&s);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.Message).find("nested too deeply"), std::string::npos) << e.Message;
  }
}

TEST(TxtRulesText, RangeLevelReader) {
  TTxtRules h(nullptr);
  Fill(h);
  std::string text = h.SaveToText();
  TTxtRange target;
  target.Name = "Mine";
  TStringStream s(text);
  target.LoadFromStream(&s);
  EXPECT_EQ(target.Name, "Mine");
  ExpectSameRange(*h.RootRange->RangeAt(0), *target.RangeAt(0));
  // names are decoded as the whole-document reader decodes them
  EXPECT_EQ(target.KeywordGroupAt(0)->Name, "Keys & <more>");

  TStringStream bad("<Foo>");
  try {
    target.LoadFromStream(&bad);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Highlighter header tag (\"<RuleHighlighter>\") is not found.");
  }
}

TEST(TxtRules, LoadingNotifiesHookedEditors) {
  struct Listener : TObject {
    int calls = 0;
    TObject* sender = nullptr;
    void Changed(TObject* s) {
      ++calls;
      sender = s;
    }
  } l;
  TTxtRules h(nullptr);
  h.HookAttributeChange(TNotifyEvent(&l, &Listener::Changed));
  h.LoadFromText(kProseRules);
  EXPECT_EQ(l.calls, 1);
  EXPECT_EQ(l.sender, &h);
  EXPECT_THROW(h.LoadFromText("<RuleHighlighter>"), Exception);
  EXPECT_EQ(l.calls, 2);
  h.UnhookAttributeChange(TNotifyEvent(&l, &Listener::Changed));
  h.SetEnabled(false);
  EXPECT_EQ(l.calls, 2);
}

}  // namespace

namespace {

// Every cut-off prefix of a written rules text either loads or raises one of
// the reader's errors; none crashes or leaves the highlighter unusable.
TEST(TxtRulesText, TruncatedTextsFailCleanly) {
  TTxtRules a(nullptr);
  Fill(a);
  const std::string text = a.SaveToText();
  TTxtRules h(nullptr);
  int failures = 0;
  for (std::size_t n = 0; n < text.size(); n += 7) {
    try {
      h.LoadFromText(text.substr(0, n));
    } catch (const Exception&) {
      ++failures;
    }
    Scan(h, "if " ZHANGSAN);
  }
  EXPECT_GT(failures, 0);
  h.LoadFromText(text);
  ExpectSameRange(*a.RootRange, *h.RootRange);
}

}  // namespace
