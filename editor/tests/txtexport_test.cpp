// Exporters: the walk over lines and attribute runs, escaping, the buffer;
// the RTF document (font and colour tables, escapes, read back as text);
// the HTML document (classes, entities, UTF-8, the clipboard fragment, and a
// real browser showing the text in its colours).
#include "editor/txtexport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "editor/tests/edtest.h"
#include "editor/tests/exportread.h"
#include "editor/txtrules.h"
#include "platform/db/tests/dbtest.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/exceptions.h"

namespace {

// Tokens are runs of letters and digits, of blanks, or single other
// characters (a double-byte character whole); "if" and "then" are keywords.
class TWordHighlighter : public TTxtCustomHighlighter {
  PV_CLASS(TWordHighlighter, TTxtCustomHighlighter)
 public:
  explicit TWordHighlighter(TComponent* AOwner) : TTxtCustomHighlighter(AOwner) {
    Key = new TTxtHighlighterAttributes("Key Word");
    Key->SetForeground(clBlue);
    Key->SetStyle(txtBold);
    Text = new TTxtHighlighterAttributes("Text");
    Text->SetForeground(clNone);
    Text->SetBackground(clNone);
    Space = new TTxtHighlighterAttributes("Space");
    Space->SetForeground(clNone);
    Space->SetBackground(clNone);
    Hanzi = new TTxtHighlighterAttributes(Utf8ToAnsi("汉字"));
    Hanzi->SetForeground(clRed);
    Mark = new TTxtHighlighterAttributes(Utf8ToAnsi("标点"));
    Mark->SetForeground(clGreen);
    Mark->SetStyle(txtUnderline | txtStrikeOut);
    for (auto* a : {Key, Text, Space, Hanzi, Mark}) AddAttribute(a);
  }
  TTxtHighlighterAttributes *Key, *Text, *Space, *Hanzi, *Mark;
  TTxtHighlighterAttributes* DefaultAttribute(int Kind) override { return Kind == 4 ? Space : nullptr; }
  bool AtLineEnd() const override { return FPos >= FLine.size(); }
  AnsiString TokenText() const override { return FLine.substr(FPos, FEnd - FPos); }
  TTxtHighlighterAttributes* TokenAttribute() const override {
    const AnsiString t = TokenText();
    const unsigned char c = static_cast<unsigned char>(t[0]);
    if (t == "if" || t == "then") return Key;
    if (c == ' ') return Space;
    if (c >= 0x81) return Hanzi;
    if (std::isalnum(c)) return Text;
    return Mark;
  }
  int TokenKind() const override { return 0; }
  int TokenStart() const override { return int(FPos); }
  void NextToken() override {
    FPos = FEnd;
    Scan();
  }
  void StartLine(const AnsiString& S, int) override {
    FLine = S;
    FPos = 0;
    Scan();
  }

 private:
  void Scan() {
    FEnd = FPos;
    if (FPos >= FLine.size()) return;
    auto kind = [&](std::size_t i) {
      const unsigned char c = static_cast<unsigned char>(FLine[i]);
      return c == ' ' ? 1 : std::isalnum(c) ? 2 : 0;
    };
    const int k = kind(FPos);
    if (k == 0) {
      FEnd = FPos + std::size_t(CharLength(FLine, FPos));
      return;
    }
    while (FEnd < FLine.size() && kind(FEnd) == k) ++FEnd;
  }
  AnsiString FLine;
  std::size_t FPos = 0, FEnd = 0;
};

// Writes every call of the exporter as a marker.
class TMarkExporter : public TTxtCustomExporter {
 public:
  using TTxtCustomExporter::TTxtCustomExporter;
  using TTxtCustomExporter::EscapeText;

 protected:
  static AnsiString Flags(bool Bg, bool Fg, TTxtFontStyles S) {
    return AnsiString(Bg ? "b" : "") + (Fg ? "f" : "") + IntToStr(S);
  }
  void CloseAttributes(bool Bg, bool Fg, TTxtFontStyles S) override { AppendText("<C" + Flags(Bg, Fg, S) + ">"); }
  void OpenAttributes(bool Bg, bool Fg, TTxtFontStyles S) override { AppendText("<O" + Flags(Bg, Fg, S) + ">"); }
  void CloseLastAttributes() override { AppendText("<L>"); }
  void OpenFirstAttributes(bool Bg, bool Fg, TTxtFontStyles S) override {
    AppendText("<F" + Flags(Bg, Fg, S) + ">");
  }
  void WriteLineBreak() override { AppendText("<BR>"); }
  AnsiString Footer() override { return "<END>"; }
  AnsiString Header() override { return "<HEAD>"; }
  AnsiString EscapeDoubleByte(Byte Lead, Byte Trail) override {
    return "[" + IntToHex(int(Lead), 2) + IntToHex(int(Trail), 2) + "]";
  }
};

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { InitEditorTestClasses(); }
  TWordHighlighter H{nullptr};
  TStringList Lines;
  void SetLines(std::initializer_list<const char*> L) {
    Lines.Clear();
    for (const char* s : L) Lines.Add(Utf8ToAnsi(s));
  }
};

TEST_F(ExportTest, RunsOpenAndCloseAsAttributesChange) {
  TMarkExporter x(nullptr);
  x.SetHighlighter(&H);
  SetLines({"ab"});
  x.ExportAll(&Lines);
  EXPECT_EQ(x.BufferText(), "<HEAD><Ff0>ab<BR><L><END>");  // the font colour is a system colour: "changed"
  EXPECT_EQ(x.BufferSize(), int(x.BufferText().size()));
  SetLines({"if ab", "", "then"});
  x.ExportAll(&Lines);
  EXPECT_EQ(x.BufferText(),
            "<HEAD><Ff1>if<Cf1><Of0> ab<BR><BR><Cf0><Of1>then<BR><L><END>");  // blanks and plain text share a run
  x.SetUseBackground(true);
  EXPECT_EQ(x.Color(), clNone);  // taken from the whitespace attribute
}

TEST_F(ExportTest, RangesAndSilentAborts) {
  TMarkExporter x(nullptr);
  x.SetHighlighter(&H);
  SetLines({"abc", "def", "ghi"});
  x.ExportLines(&Lines, TBufferCoord{2, 1}, TBufferCoord{3, 2});
  EXPECT_EQ(x.BufferText(), "<HEAD><Ff0>bc<BR>de<BR><L><END>");
  const AnsiString before = x.BufferText();
  const struct {
    TBufferCoord Start, Stop;
  } aborts[] = {{{3, 1}, {3, 1}}, {{2, 2}, {1, 1}}, {{1, 4}, {1, 5}}, {{5, 2}, {9, 2}}};
  for (const auto& c : aborts) {
    SCOPED_TRACE(c.Start.Char * 10 + c.Start.Line);
    EXPECT_THROW(x.ExportLines(&Lines, c.Start, c.Stop), EAbort);
    EXPECT_EQ(x.BufferText(), before);
  }
  // a stop beyond the text is clamped to its end
  x.ExportLines(&Lines, TBufferCoord{3, 3}, TBufferCoord{99, 99});
  EXPECT_EQ(x.BufferText(), "<HEAD><Ff0>i<BR><L><END>");
  TStringList none;
  EXPECT_THROW(x.ExportAll(&none), EAbort);
  EXPECT_THROW(x.ExportAll(nullptr), EAbort);
  TMarkExporter bare(nullptr);
  EXPECT_THROW(bare.ExportAll(&Lines), EAbort);
  // the same highlighter again keeps the buffer; another one clears it
  x.SetHighlighter(&H);
  EXPECT_GT(x.BufferSize(), 0);
  TWordHighlighter other(nullptr);
  x.SetHighlighter(&other);
  EXPECT_EQ(x.BufferSize(), 0);
}

TEST_F(ExportTest, DoubleBytePairsAndTheBuffer) {
  TMarkExporter x(nullptr);
  EXPECT_EQ(x.EscapeText("a\xD6\xD0" "b"), "a[D6D0]b");
  EXPECT_EQ(x.EscapeText("a\xD6"), "a\xD6");  // a lead byte that ends the token stays alone
  EXPECT_EQ(x.Title(), "Untitled");
  x.SetTitle("");
  EXPECT_EQ(x.Title(), "Untitled");
  // a long export grows the buffer past its first size and the header goes in front
  x.SetHighlighter(&H);
  Lines.Clear();
  for (int i = 0; i < 300; ++i) Lines.Add(AnsiString(40, 'x'));
  x.ExportAll(&Lines);
  const AnsiString t = x.BufferText();
  EXPECT_EQ(t.substr(0, 10), "<HEAD><Ff0");
  EXPECT_EQ(t.substr(t.size() - 12), "<BR><L><END>");
  EXPECT_EQ(int(t.size()), 6 + 5 + 300 * (40 + 4) + 3 + 5);
  TempDir dir;
  x.SaveToFile(dir.File("out.txt").c_str());
  std::ifstream in(dir.File("out.txt"), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), t);
  EXPECT_THROW(x.SaveToFile(dir.File("no/such/folder/out.txt").c_str()), EFCreateError);
}

// ---------------------------------------------------------------- RTF

using exportread::RtfText;

TEST_F(ExportTest, RtfDocument) {
  TTxtExporterRTF x(nullptr);
  x.SetHighlighter(&H);
  EXPECT_EQ(x.FormatName(), "RTF");
  EXPECT_EQ(x.DefaultFilter(), "Rich Text Format Documents (*.rtf)|*.rtf");
  SetLines({"{a}\\b", "cd"});
  x.ExportAll(&Lines);
  const AnsiString t = x.BufferText();
  EXPECT_EQ(t.substr(0, 38), "{\\rtf1\\ansi\\ansicpg936\\deff0\\deftab720");
  EXPECT_NE(t.find("{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n"), AnsiString::npos);
  EXPECT_NE(t.find("{\\title Untitled}}\r\n\\deflang1033\\pard\\plain\\f0\\fs20 "), AnsiString::npos);
  EXPECT_NE(t.find("\\{"), AnsiString::npos);
  EXPECT_NE(t.find("\\ul0\\strike0\\cf1 a\\cf0\\ul\\strike \\}"), AnsiString::npos) << t;
  EXPECT_NE(t.find("\\\\"), AnsiString::npos);
  EXPECT_EQ(t.find("\\cb"), AnsiString::npos);  // no background without UseBackground
  EXPECT_EQ(t.substr(t.size() - 10), "cd\r\n\\par }");
  EXPECT_EQ(RtfText(t), "{a}\\b\ncd\n");
  // a Chinese font name and size, a Chinese title with a brace, styles
  TTxtExporterRTF y(nullptr);
  y.SetHighlighter(&H);
  TFont f;
  f.SetName(Utf8ToAnsi("宋体"));
  f.SetSize(12);
  y.SetFont(&f);
  y.SetTitle(Utf8ToAnsi("标题{1}"));
  SetLines({"if 中文 -"});
  y.ExportAll(&Lines);
  const AnsiString u = y.BufferText();
  EXPECT_NE(u.find("{\\fonttbl{\\f0\\fnil\\fcharset134 \\'CB\\'CE\\'CC\\'E5;}}\r\n"), AnsiString::npos);
  EXPECT_NE(u.find("\\fs24 "), AnsiString::npos);
  EXPECT_NE(u.find("{\\title \\'B1\\'EA\\'CC\\'E2\\{1\\}}}"), AnsiString::npos);
  EXPECT_NE(u.find("\\cf0\\b if\\b0\\cf1  \\cf2 \\'D6\\'D0\\'CE\\'C4\\cf1  \\cf3\\ul\\strike -"), AnsiString::npos) << u;
  EXPECT_NE(u.find("{\\colortbl\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red255\\green0\\blue0;"
                   "\\red0\\green128\\blue0;}"),
            AnsiString::npos);
  EXPECT_EQ(RtfText(u), Utf8ToAnsi("if 中文 -\n"));
  x.SetFont(nullptr);
  EXPECT_EQ(x.Font()->Name(), "Courier New");
}

// ---------------------------------------------------------------- HTML

TEST_F(ExportTest, HtmlHelpers) {
  const std::pair<const char*, const char*> names[] = {
      {"Uni1.Key Word", "uni1-keyword"}, {"Uni1.汉字", "uni1-"}, {"A_b.C9", "a-b-c9"}, {"x--y", "x--y"}};
  for (const auto& [in, out] : names) EXPECT_EQ(TTxtExporterHTML::ValidClassName(Utf8ToAnsi(in)), out);
  EXPECT_EQ(TTxtExporterHTML::HtmlColor(clRed), "#FF0000");
  EXPECT_EQ(TTxtExporterHTML::HtmlColor(clBlack), "#000000");
  EXPECT_EQ(TTxtExporterHTML::HtmlColor(clWindow), "#FFFFFF");  // a system colour as its real value
  TTxtExporterHTML x(nullptr);
  x.SetHighlighter(&H);
  EXPECT_EQ(x.StyleRule(H.Text, "T1.Text"), ".t1-text { }");
  EXPECT_EQ(x.StyleRule(H.Mark, "a"), ".a { color: #008000; text-decoration: underline; text-decoration: line-through; }");
  EXPECT_EQ(x.AttributeClassName(H.Key), "wordhighlighter1-keyword");
  // Chinese style names would all be "wordhighlighter1-": each keeps a class of its own
  EXPECT_EQ(x.AttributeClassName(H.Mark), "wordhighlighter1-");
  EXPECT_EQ(x.AttributeClassName(H.Hanzi), "wordhighlighter1-2");
}

TEST_F(ExportTest, HtmlDocumentIsUtf8WithEntities) {
  TTxtExporterHTML x(nullptr);
  x.SetHighlighter(&H);
  x.SetExportAsText(true);
  x.SetTitle(Utf8ToAnsi("标题 <1>"));
  SetLines({"a<b"});
  Lines.Add(Utf8ToAnsi("if 中文&") + "\x80\xD6");
  x.ExportAll(&Lines);
  const std::string t = x.BufferText();
  EXPECT_EQ(t.substr(0, 40), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
  EXPECT_NE(t.find("charset=utf-8"), std::string::npos);
  EXPECT_NE(t.find("<title>标题 &lt;1&gt;</title>"), std::string::npos);
  EXPECT_NE(t.find("body { color: #000000; background-color: #FFFFFF; }"), std::string::npos);
  EXPECT_NE(t.find(".wordhighlighter1-keyword { color: #0000FF; font-weight: bold; }\r\n"), std::string::npos);
  EXPECT_NE(t.find("<pre>\r\n<code><span style=\"font: 10pt Courier New;\"><span class=\"wordhighlighter1-text\">a"
                   "</span><span class=\"wordhighlighter1-\">&lt;</span><span class=\"wordhighlighter1-text\">b\r\n"),
            std::string::npos)
      << t;
  // a double-byte character in UTF-8; the euro byte and a lone lead byte as references
  EXPECT_NE(t.find("中文</span><span class=\"wordhighlighter1-\">&amp;&euro;</span><span class=\"wordhighlighter1-2\">&Ouml;"),
            std::string::npos)
      << t;
  EXPECT_EQ(t.substr(t.size() - 49), "\r\n</span></span>\r\n</code></pre>\r\n</body>\r\n</html>");
  x.SetCreateHTMLFragment(true);
  x.ExportAll(&Lines);
  const std::string f = x.BufferText();
  EXPECT_EQ(f.substr(0, 7), "<pre>\r\n");
  EXPECT_EQ(f.substr(f.size() - 24), "</span>\r\n</code></pre>\r\n");
}

TEST_F(ExportTest, HtmlClipboardFragmentOffsets) {
  TTxtExporterHTML x(nullptr);
  x.SetHighlighter(&H);
  SetLines({"if x"});
  x.ExportAll(&Lines);
  const std::string t = x.BufferText();
  auto number = [&](const char* Key) {
    const std::size_t p = t.find(Key);
    return p == std::string::npos ? -1L : std::stol(t.substr(p + std::strlen(Key), 10));
  };
  EXPECT_EQ(t.substr(0, 13), "Version:0.9\r\n");
  EXPECT_EQ(number("StartHTML:"), 105);
  EXPECT_EQ(t.substr(105, 5), "<?xml");
  EXPECT_EQ(number("EndHTML:"), long(t.size()));
  EXPECT_EQ(t.substr(std::size_t(number("StartFragment:")), 20), "<!--StartFragment-->");
  EXPECT_EQ(t.substr(std::size_t(number("EndFragment:")) - 3, 3), "-->");
  EXPECT_EQ(t.substr(t.size() - 47), "</code></pre><!--EndFragment--></body>\r\n</html>");
}

TEST_F(ExportTest, HtmlOfTheRuleHighlighterKeepsItsColours) {
  TTxtRules rules(nullptr);
  TTxtRange* r = rules.RootRange.get();
  r->Name = "Root";
  r->DefaultAttributes.SetForeground(clBlack);
  r->DefaultAttributes.SetBackground(clWhite);
  auto* g = new TTxtSymbolGroup("Lin", r->AddAttributes(Utf8ToAnsi("人名")));
  g->Attri->SetForeground(clRed);
  g->Name = "names";
  r->AddKeywordGroup(g);
  rules.PrepareRules();
  TTxtExporterHTML x(nullptr);
  x.SetHighlighter(&rules);
  x.SetExportAsText(true);
  SetLines({"Lin said"});
  x.ExportAll(&Lines);
  const std::string t = x.BufferText();
  EXPECT_NE(t.find("{ color: #FF0000; }"), std::string::npos) << t;
  // the class names start with the short class name: "TTxtRules" without "TTxt"
  EXPECT_NE(t.find("\">Lin</span><span class=\"rules1-"), std::string::npos) << t;
  EXPECT_EQ(t.find("class=\"\""), std::string::npos);
}

// The document opened in a headless browser: the Chinese text is in the
// page and the keyword is drawn in its colour. Skipped without a browser.
TEST_F(ExportTest, HtmlInABrowser) {
  const std::string browser = exportread::HeadlessBrowser();
  if (browser.empty()) GTEST_SKIP() << "no headless browser";
  TTxtExporterHTML x(nullptr);
  H.Key->SetBackground(clYellow);
  x.SetHighlighter(&H);
  x.SetUseBackground(true);
  x.SetExportAsText(true);
  TFont f;
  f.SetName("Courier New");
  f.SetSize(28);
  x.SetFont(&f);
  SetLines({"if 中文字", "then"});
  x.ExportAll(&Lines);
  TempDir dir;
  x.SaveToFile(dir.File("page.htm").c_str());
  const std::string common = exportread::BrowserCommand(browser, dir.File(""));
  const std::string d = exportread::BrowserDom(browser, dir.File("page.htm"), dir.File(""));
  EXPECT_NE(d.find("中文字"), std::string::npos) << d;
  ASSERT_EQ(std::system((common + "--window-size=400,200 --screenshot=" + dir.File("shot.png") + " file://" +
                         dir.File("page.htm") + " >/dev/null 2>&1")
                            .c_str()),
            0);
  std::ifstream png(dir.File("shot.png"), std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  const TRawImage img = DecodePng(bytes.data(), bytes.size());
  int yellow = 0, blue = 0, red = 0;
  for (std::uint32_t p : img.Pixels) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    yellow += r > 240 && g > 240 && b < 20;
    blue += r < 40 && g < 40 && b > 200;
    red += r > 200 && g < 40 && b < 40;
  }
  EXPECT_GT(yellow, 100);  // the keyword's background
  EXPECT_GT(blue, 20);     // the keyword's letters
  EXPECT_GT(red, 20);      // the Chinese characters
}

}  // namespace
