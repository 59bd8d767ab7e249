// The HTML exporter: an XHTML document with one CSS class per highlighter
// attribute and the text in a preformatted block, or the clipboard's HTML
// fragment with its offset header. The document is UTF-8: each double-byte
// character of code page 936 is converted, the characters that markup
// reserves become entities, and a byte that is no character by itself in
// code page 936 becomes an entity or the replacement character.
#include <cstdio>

#include "editor/txteditmisc.h"
#include "editor/txtexport.h"
#include "platform/win/system.h"

namespace {

// HTML 4 names of the Latin-1 characters 161..255.
const char* const kLatin1Entities[95] = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",
    "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34",
    "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave",
    "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve",
    "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",
    "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",
    "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

AnsiString TenDigits(Int64 V) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10lld", static_cast<long long>(V));
  return buf;
}

}  // namespace

TTxtExporterHTML::TTxtExporterHTML(TComponent* AOwner) : TTxtCustomExporter(AOwner) {
  FPairsBeforeReplacements = true;
  FClipboardFormat = RegisterClipboardFormatA("HTML Format");
  FDefaultFilter = "HTML Documents (*.htm;*.html)|*.htm;*.html";
  SetReplacement('"', "&quot;");
  SetReplacement('&', "&amp;");
  SetReplacement('<', "&lt;");
  SetReplacement('>', "&gt;");
  // A single byte of 0x80 and above: the euro sign of code page 936, or a
  // byte without its partner. The Latin-1 names serve the latter where they
  // exist; the rest are marked as broken.
  for (int b = 0x80; b <= 0xFF; ++b) SetReplacement(Byte(b), "&#xFFFD;");
  SetReplacement(128, "&euro;");
  SetReplacement(153, "&trade;");
  for (int b = 161; b <= 255; ++b) SetReplacement(Byte(b), AnsiString("&") + kLatin1Entities[b - 161] + ";");
}

AnsiString TTxtExporterHTML::EscapeDoubleByte(Byte Lead, Byte Trail) {
  const char pair[2] = {char(Lead), char(Trail)};
  return AnsiToUtf8(std::string_view(pair, 2));
}

// ---------------------------------------------------------------- classes

AnsiString TTxtExporterHTML::HtmlColor(TColor Color) {
  const COLORREF c = ColorToRGB(Color);
  return "#" + IntToHex(int(GetRValue(c)), 2) + IntToHex(int(GetGValue(c)), 2) + IntToHex(int(GetBValue(c)), 2);
}

AnsiString TTxtExporterHTML::ValidClassName(const AnsiString& Name) {
  AnsiString s = Name;
  for (std::size_t i = s.size(); i-- > 0;) {
    char& c = s[i];
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
    if (c == '.' || c == '_') c = '-';
    else if (!(c == '-' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) s.erase(i, 1);
  }
  return s;
}

namespace {

AnsiString StyleDeclarations(TTxtHighlighterAttributes* A, bool UseBackground) {
  AnsiString r;
  if (UseBackground && A->Background() != clNone)
    r += "background-color: " + TTxtExporterHTML::HtmlColor(A->Background()) + "; ";
  if (A->Foreground() != clNone) r += "color: " + TTxtExporterHTML::HtmlColor(A->Foreground()) + "; ";
  if (A->Style() & txtBold) r += "font-weight: bold; ";
  if (A->Style() & txtItalic) r += "font-style: italic; ";
  if (A->Style() & txtUnderline) r += "text-decoration: underline; ";
  if (A->Style() & txtStrikeOut) r += "text-decoration: line-through; ";
  return r;
}

}  // namespace

AnsiString TTxtExporterHTML::StyleRule(TTxtHighlighterAttributes* Attri, const AnsiString& Name) {
  return "." + ValidClassName(Name) + " { " + StyleDeclarations(Attri, FUseBackground) + "}";
}

void TTxtExporterHTML::AddClass(TTxtHighlighterAttributes* Attri) {
  TClassEntry e{Attri, ShortHighlighterName(FHighlighter->ClassName()) + "1." + Attri->StyleName(), AnsiString()};
  // Names that differ only in characters a class name cannot hold (Chinese
  // style names) would share one class and so one colour: the later ones
  // get a number.
  const AnsiString base = ValidClassName(e.UniqueName);
  e.ClassName = base;
  auto taken = [&](const AnsiString& N) {
    for (const TClassEntry& c : FClasses)
      if (c.ClassName == N) return true;
    return false;
  };
  for (int n = 2; taken(e.ClassName); ++n) e.ClassName = base + IntToStr(n);
  FClasses.push_back(e);
}

const std::vector<TTxtExporterHTML::TClassEntry>& TTxtExporterHTML::Classes() {
  if (!FClassesListed && FHighlighter) {
    FClassesListed = true;
    for (int i = 0; i < FHighlighter->AttributeCount(); ++i)
      if (TTxtHighlighterAttributes* a = FHighlighter->AttributeAt(i)) AddClass(a);
  }
  return FClasses;
}

AnsiString TTxtExporterHTML::AttributeClassName(TTxtHighlighterAttributes* Attri) {
  if (!Attri || !FHighlighter) return AnsiString();
  for (const TClassEntry& c : Classes())
    if (c.Attri == Attri) return c.ClassName;
  // an attribute the highlighter does not list (the rule-driven highlighter
  // lists none) gets a class of its own, so the body keeps its colours
  AddClass(Attri);
  return FClasses.back().ClassName;
}

// ---------------------------------------------------------------- body

void TTxtExporterHTML::ApplyTokenAttribute(TTxtHighlighterAttributes* Attri) {
  if (FFirstAttribute) {
    // a new export: the attributes may have changed since the last one
    FClasses.clear();
    FClassesListed = false;
  }
  FLastAttri = Attri;
  TTxtCustomExporter::ApplyTokenAttribute(Attri);
}

void TTxtExporterHTML::OpenAttributes(bool, bool, TTxtFontStyles) {
  AppendText("<span class=\"" + AttributeClassName(FLastAttri) + "\">");
}

// ---------------------------------------------------------------- header and footer

AnsiString TTxtExporterHTML::DocumentHead() {
  AnsiString styles;
  for (const TClassEntry& c : Classes())
    styles += "." + c.ClassName + " { " + StyleDeclarations(c.Attri, FUseBackground) + "}\r\n";
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n"
         "<head>\r\n"
         "<title>" + EscapeText(FTitle) + "</title>\r\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
         "<meta name=\"generator\" content=\"TxtEdit HTML exporter\" />\r\n"
         "<style type=\"text/css\">\r\n"
         "<!--\r\n"
         "body { color: " + HtmlColor(FFont->Color()) + "; background-color: " + HtmlColor(FColor) + "; }\r\n" +
         styles + "-->\r\n"
         "</style>\r\n"
         "</head>\r\n"
         "<body>\r\n";
}

AnsiString TTxtExporterHTML::Header() {
  const AnsiString head = DocumentHead();
  // the classes belong to this export only
  FClasses.clear();
  FClassesListed = false;
  if (FExportAsText) {
    return (FCreateHTMLFragment ? AnsiString() : head) + "<pre>\r\n<code><span style=\"font: " +
           IntToStr(FFont->Size()) + "pt " + EscapeText(FFont->Name()) + ";\">";
  }
  const AnsiString fragmentStart = "<!--StartFragment--><pre><code>";
  const Int64 body = FBuffer->Size();
  const Int64 h = Int64(head.size()), f = Int64(fragmentStart.size());
  return "Version:0.9\r\nStartHTML:" + TenDigits(105) + "\r\nEndHTML:" + TenDigits(h + f + body + 152) +
         "\r\nStartFragment:" + TenDigits(h + 105) + "\r\nEndFragment:" + TenDigits(h + f + body + 136) + "\r\n" +
         head + fragmentStart;
}

AnsiString TTxtExporterHTML::Footer() {
  AnsiString r = FExportAsText ? "</span>\r\n</code></pre>\r\n" : "</code></pre><!--EndFragment-->";
  if (!(FCreateHTMLFragment && FExportAsText)) r += "</body>\r\n</html>";
  return r;
}
