// The rules text: a line-oriented tagged format of its own with a fixed tag
// vocabulary, written by WriteRulesText and read back by the two readers.
#include <cstring>

#include "editor/txtrules.h"
#include "platform/rtl/strings.h"

namespace {

const char* const kTags[] = {
    "AnyTerm", "Attri", "Author", "Back", "CaseSensitive", "CloseOnEol", "CloseOnTerm", "CloseSymbol",
    "Company", "Copyright", "Date", "Def", "DelimiterChars", "Email", "FileTypeName", "Fore", "General",
    "H", "History", "Info", "KW", "Layout", "Name", "Num", "OpenSymbol", "Range", "Remark", "Revision",
    "S", "Sample", "Style", "Type", "RuleHighlighter", "Version", "W", "Web"};

// ---------------------------------------------------------------- writer

AnsiString Escape(const AnsiString& S) {
  AnsiString r;
  r.reserve(S.size());
  for (char c : S) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '"': r += "&qt;"; break;
      case '>': r += "&gt;"; break;
      default: r += c;
    }
  }
  return r;
}

struct Writer {
  AnsiString out;
  static AnsiString Indent(int d) { return AnsiString(std::size_t(d), ' '); }
  void Line(const AnsiString& s) {
    out += s;
    out += '\n';
  }
  void Open(int d, const char* tag) { Line(Indent(d) + "<" + tag + ">"); }
  void OpenNamed(int d, const char* tag, const AnsiString& name) {
    Line(Indent(d) + "<" + tag + " Name=\"" + Escape(name) + "\">");
  }
  void Close(int d, const char* tag) { Line(Indent(d) + "</" + tag + ">"); }
  void Value(int d, const char* tag, const AnsiString& v) {
    Line(Indent(d) + "<" + tag + ">" + Escape(v) + "</" + tag + ">");
  }
  void Bool(int d, const char* tag, bool v) {
    Line(Indent(d) + "<" + tag + ">" + (v ? "True" : "False") + "</" + tag + ">");
  }
  void Style(int d, TTxtHighlighterAttributes& a) {
    Value(d, "Back", std::to_string(a.Background()));
    Value(d, "Fore", std::to_string(a.Foreground()));
    AnsiString s;
    if (a.Style() & txtBold) s += 'B';
    if (a.Style() & txtItalic) s += 'I';
    if (a.Style() & txtUnderline) s += 'U';
    if (a.Style() & txtStrikeOut) s += 'S';
    Value(d, "Style", s);
  }
  void Range(int d, TTxtRange& r) {
    OpenNamed(d, "Range", r.Name);
    Open(d, "Def");
    Style(d + 1, r.DefaultAttributes);
    Close(d, "Def");
    Open(d, "Num");
    Style(d + 1, r.NumberAttributes);
    Close(d, "Num");
    Value(d, "OpenSymbol", r.OpenSymbol.Symbol);
    Value(d, "CloseSymbol", r.CloseSymbol.Symbol);
    AnsiString delims;
    for (int b = 1; b < 256; ++b)
      if (r.DelimiterChars[b] && b != 10 && b != 13 && b != 32) delims += char(b);
    Value(d, "DelimiterChars", delims);
    Bool(d, "AnyTerm", r.OpenSymbol.TermMode == 1);
    Bool(d, "CloseOnTerm", r.CloseOnTerm);
    Bool(d, "CloseOnEol", r.CloseOnEol);
    Bool(d, "CaseSensitive", r.CaseSensitive());
    for (int i = 0; i < r.KeywordGroupCount(); ++i) {
      TTxtSymbolGroup* g = r.KeywordGroupAt(i);
      OpenNamed(d, "KW", g->Name);
      Open(d + 1, "Attri");
      Style(d + 2, *g->Attri);
      Close(d + 1, "Attri");
      for (int w = 0; w < g->Words.Count(); ++w) Value(d + 1, "W", g->Words[w]);
      Close(d, "KW");
    }
    for (int i = 0; i < r.RangeCount(); ++i) Range(d + 1, *r.RangeAt(i));
    Close(d, "Range");
  }
};

// ---------------------------------------------------------------- reader

// How deep ranges may nest in a rules text; deeper text is refused before the
// reader's recursion can exhaust the stack.
constexpr int kMaxRangeDepth = 200;

struct Tag {
  bool none = false;     // the text ended
  bool closing = false;
  int index = -1;        // in kTags; -1 for a tag outside the table
  AnsiString name;
  AnsiString value;
  bool Is(const char* t) const { return index >= 0 && std::strcmp(kTags[index], t) == 0; }
};

class Reader {
 public:
  Reader(const AnsiString& text, bool wholeDocument) : s(text), whole(wholeDocument) {}

  const AnsiString& s;
  bool whole;
  std::size_t pos = 0;

  // The line counter of the messages: the line ends before the position, each
  // CR LF, LF or lone CR counting once.
  AnsiString Line() const {
    int n = 0;
    for (std::size_t i = 0; i < pos && i < s.size(); ++i)
      if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n'))) ++n;
    return std::to_string(n);
  }

  [[noreturn]] void EndOfLine() { throw Exception("Unexpected end of line. Line " + Line()); }

  static AnsiString Decode(const AnsiString& v) {
    AnsiString r;
    r.reserve(v.size());
    for (std::size_t i = 0; i < v.size();) {
      if (v[i] == '&') {
        static const struct {
          const char* ent;
          char ch;
        } ents[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&qt;", '"'}, {"&amp;", '&'}};
        bool done = false;
        for (const auto& e : ents) {
          std::size_t n = std::strlen(e.ent);
          if (v.compare(i, n, e.ent) == 0) {
            r += e.ch;
            i += n;
            done = true;
            break;
          }
        }
        if (done) continue;
      }
      r += v[i++];
    }
    return r;
  }

  Tag Next(bool allowUnknown) {
    Tag t;
    while (pos < s.size() && s[pos] != '<') ++pos;
    if (pos >= s.size()) {
      t.none = true;
      return t;
    }
    ++pos;
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos < s.size() && s[pos] == '/') {
      t.closing = true;
      ++pos;
    }
    std::size_t start = pos;
    for (;;) {
      if (pos >= s.size() || s[pos] == '\0' || s[pos] == '\r') EndOfLine();
      if (s[pos] == ' ' || s[pos] == '>') break;
      ++pos;
    }
    t.name = s.substr(start, pos - start);
    for (int i = 0; i < int(std::size(kTags)); ++i)
      if (SameText(t.name, kTags[i])) {
        t.index = i;
        break;
      }
    if (t.index < 0) {
      if (allowUnknown) return t;
      throw Exception("Tag \"" + t.name + "\" is unknown (line " + Line() + ")");
    }
    // Quoted strings inside the tag: the last one is its value.
    for (;;) {
      if (pos >= s.size() || s[pos] == '\0' || s[pos] == '\r') EndOfLine();
      if (s[pos] == '>') break;
      if (s[pos] == '"') {
        std::size_t q = ++pos;
        for (;;) {
          if (pos >= s.size() || s[pos] == '\0' || s[pos] == '\r') EndOfLine();
          if (s[pos] == '"') break;
          ++pos;
        }
        t.value = Decode(s.substr(q, pos - q));
      }
      ++pos;
    }
    ++pos;
    return t;
  }

  // The text of a value element whose opening tag was just read.
  AnsiString Text(const Tag& open) {
    std::size_t start = pos;
    for (;;) {
      if (pos >= s.size() || s[pos] == '\0' || s[pos] == '\r') EndOfLine();
      if (s[pos] == '<') break;
      ++pos;
    }
    AnsiString v = Decode(s.substr(start, pos - start));
    Tag close = Next(false);
    if (close.none || !close.closing || close.index != open.index)
      throw Exception("Close tag: /" + close.name + " is not found. Line " + Line());
    return v;
  }

  // Reads the children of section Name until its closing tag, handing each
  // opening tag to Child, which returns false for a tag it does not accept.
  template <class F>
  void Section(const char* Name, F Child) {
    for (;;) {
      Tag t = Next(false);
      if (t.none) throw Exception(AnsiString("Unexpected end of rules text in section ") + Name);
      if (t.closing) {
        if (t.Is(Name)) return;
        throw Exception("Unexpected tag: /" + t.name + " line " + Line());
      }
      if (!Child(t)) throw Exception("Unexpected tag: " + t.name + " line " + Line());
    }
  }

  static bool IsTrue(const AnsiString& v) { return AnsiLowerCase(v) == "true"; }

  static TTxtFontStyles StyleOf(const AnsiString& v) {
    TTxtFontStyles st = 0;
    if (v.find('B') != AnsiString::npos) st |= txtBold;
    if (v.find('I') != AnsiString::npos) st |= txtItalic;
    if (v.find('U') != AnsiString::npos) st |= txtUnderline;
    if (v.find('S') != AnsiString::npos) st |= txtStrikeOut;
    return st;
  }

  void Style(const char* Name, TTxtHighlighterAttributes& a) {
    Section(Name, [&](const Tag& t) {
      if (t.Is("Back")) a.SetBackground(StrToIntDef(Text(t), 0));
      else if (t.Is("Fore")) a.SetForeground(StrToIntDef(Text(t), 0));
      else if (t.Is("Style")) a.SetStyle(StyleOf(Text(t)));
      else return false;
      return true;
    });
  }

  void Range(TTxtRange& r, int depth) {
    if (depth > kMaxRangeDepth)
      throw Exception("Ranges nested too deeply (more than " + std::to_string(kMaxRangeDepth) + " levels). Line " +
                      Line());
    Section("Range", [&](const Tag& t) {
      if (t.Is("AnyTerm")) r.OpenSymbol.TermMode = IsTrue(Text(t)) ? 1 : 2;
      else if (t.Is("CaseSensitive")) r.SetCaseSensitive(IsTrue(Text(t)));
      else if (t.Is("CloseOnEol")) r.CloseOnEol = IsTrue(Text(t));
      else if (t.Is("CloseOnTerm")) r.CloseOnTerm = IsTrue(Text(t));
      else if (t.Is("OpenSymbol")) r.OpenSymbol.Symbol = Text(t);
      else if (t.Is("CloseSymbol")) r.CloseSymbol.Symbol = Text(t);
      else if (t.Is("DelimiterChars")) {
        AnsiString v = Text(t);
        r.DelimiterChars.reset();
        for (unsigned char c : v) r.DelimiterChars.set(c);
      } else if (t.Is("Def")) Style("Def", r.DefaultAttributes);
      else if (t.Is("Num")) Style("Num", r.NumberAttributes);
      else if (t.Is("KW")) {
        auto* g = new TTxtSymbolGroup(AnsiString(), r.AddAttributes("unknown"));
        g->Name = t.value;
        r.AddKeywordGroup(g);
        Section("KW", [&](const Tag& k) {
          if (k.Is("Attri")) Style("Attri", *g->Attri);
          else if (k.Is("W")) g->Words.Add(Text(k));
          else return false;
          return true;
        });
      } else if (t.Is("Range")) {
        auto* child = new TTxtRange();
        child->Name = t.value;
        r.AddRange(child);
        Range(*child, depth + 1);
      } else return false;
      return true;
    });
  }

  // The Info section; Rules is nullptr when nothing is to be stored.
  void Info(TTxtRules* Rules) {
    AnsiString ignored;
    auto field = [&](AnsiString TTxtRules::*m) -> AnsiString& { return Rules ? Rules->*m : ignored; };
    Section("Info", [&](const Tag& t) {
      if (t.Is("General")) {
        Section("General", [&](const Tag& g) {
          if (g.Is("Name")) field(&TTxtRules::InfoName) = Text(g);
          else if (g.Is("FileTypeName")) field(&TTxtRules::FileTypeName) = Text(g);
          else if (g.Is("Layout")) field(&TTxtRules::Layout) = Text(g);
          else return false;
          return true;
        });
      } else if (t.Is("Author")) {
        Section("Author", [&](const Tag& a) {
          if (a.Is("Name")) field(&TTxtRules::AuthorName) = Text(a);
          else if (a.Is("Email")) field(&TTxtRules::AuthorEmail) = Text(a);
          else if (a.Is("Web")) field(&TTxtRules::AuthorWeb) = Text(a);
          else if (a.Is("Copyright")) field(&TTxtRules::AuthorCopyright) = Text(a);
          else if (a.Is("Company")) field(&TTxtRules::AuthorCompany) = Text(a);
          else if (a.Is("Remark")) field(&TTxtRules::AuthorRemark) = Text(a);
          else return false;
          return true;
        });
      } else if (t.Is("Version")) {
        Section("Version", [&](const Tag& v) {
          if (v.Is("Version")) {
            Integer n = StrToIntDef(Text(v), 0);
            if (Rules) Rules->Version = n;
          } else if (v.Is("Revision")) {
            Integer n = StrToIntDef(Text(v), 0);
            if (Rules) Rules->Revision = n;
          } else if (v.Is("Date")) {
            // The date is written as a float in the locale's format; read it back so.
            double d = 0;
            if (!TryStrToFloat(Text(v), d)) d = 0;
            if (Rules) Rules->Date = d;
          } else if (v.Is("Type")) {
            AnsiString s = Text(v);
            Byte ty = s == "Beta" ? 1 : s == "Release" ? 2 : 0;
            if (Rules) Rules->VersionType = ty;
          } else return false;
          return true;
        });
      } else if (t.Is("History")) {
        Section("History", [&](const Tag& h) {
          if (!h.Is("H")) return false;
          AnsiString v = Text(h);
          if (Rules) Rules->History.Add(v);
          return true;
        });
      } else if (t.Is("Sample")) {
        if (Rules) Rules->Sample.Clear();
        Section("Sample", [&](const Tag& h) {
          if (!h.Is("S")) return false;
          AnsiString v = Text(h);
          if (Rules) Rules->Sample.Add(v);
          return true;
        });
      } else return false;
      return true;
    });
  }

  // The document level. Range is the target of Range elements; Rules is the
  // highlighter being loaded, or nullptr for the range-level reader.
  void Document(TTxtRules* Rules, TTxtRange& Target) {
    Tag head = Next(true);
    if (head.none || head.closing || !head.Is("RuleHighlighter")) {
      if (Rules) throw Exception("Highlighter header tag (\"<RuleHighlighter>\") was not found.");
      throw Exception("Highlighter header tag (\"<RuleHighlighter>\") is not found.");
    }
    for (;;) {
      Tag t = Next(true);
      if (t.none) throw Exception("Closing tag: /RuleHighlighter was not found. Line " + Line());
      if (t.closing) {
        if (t.index < 0) continue;
        if (t.Is("RuleHighlighter")) return;
        throw Exception("Closing tag: /RuleHighlighter was not found. Line " + Line());
      }
      if (t.Is("Copyright")) Text(t);
      else if (t.Is("Info")) Info(Rules);
      else if (t.Is("Range")) {
        if (Rules) Target.Name = t.value;
        Range(Target, 1);
      }
    }
  }
};

}  // namespace

AnsiString WriteRulesText(TTxtRules& R) {
  Writer w;
  w.Open(0, "RuleHighlighter");
  w.Open(1, "ImportantInfo");
  w.Line("  ******* Please read carefully *************************");
  w.Line("  * Please, make any changes in this file very carefuly!*");
  w.Line("  * It is much more convinient to use native designer!  *");
  w.Line("  *******************************************************");
  w.Close(1, "ImportantInfo");
  w.Open(1, "Info");
  w.Open(2, "General");
  w.Value(3, "Name", R.InfoName);
  w.Value(3, "FileTypeName", R.FileTypeName);
  w.Value(3, "Layout", R.Layout);
  w.Close(2, "General");
  w.Open(2, "Author");
  w.Value(3, "Name", R.AuthorName);
  w.Value(3, "Email", R.AuthorEmail);
  w.Value(3, "Web", R.AuthorWeb);
  w.Value(3, "Copyright", R.AuthorCopyright);
  w.Value(3, "Company", R.AuthorCompany);
  w.Value(3, "Remark", R.AuthorRemark);
  w.Close(2, "Author");
  w.Open(2, "Version");
  w.Value(3, "Version", std::to_string(R.Version));
  w.Value(3, "Revision", std::to_string(R.Revision));
  w.Value(3, "Date", FloatToStr(R.Date));
  static const char* const types[] = {"Internal Test", "Beta", "Release"};
  if (R.VersionType <= 2) w.Value(3, "Type", types[R.VersionType]);
  w.Close(2, "Version");
  w.Open(2, "History");
  for (int i = 0; i < R.History.Count(); ++i) w.Value(3, "H", R.History[i]);
  w.Close(2, "History");
  w.Open(2, "Sample");
  for (int i = 0; i < R.Sample.Count(); ++i) w.Value(3, "S", R.Sample[i]);
  w.Close(2, "Sample");
  w.Close(1, "Info");
  w.Range(1, *R.RootRange);
  w.Value(1, "CopyRight", "Rule highlighter rules text, written by the rule-driven highlighter of Penvarro");
  w.Close(0, "RuleHighlighter");
  return w.out;
}

void ReadRulesText(TTxtRules& Rules, const AnsiString& Text) {
  Reader r(Text, true);
  r.Document(&Rules, *Rules.RootRange);
}

void ReadRangeRulesText(TTxtRange& Range, const AnsiString& Text) {
  Reader r(Text, false);
  r.Document(nullptr, Range);
}
