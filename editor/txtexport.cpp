// The exporter base: walks lines token by token through the highlighter,
// opens and closes attribute runs as colours and styles change, escapes the
// characters the format reserves, and puts the header (computed after the
// body, so that it can list what the body used) in front of the body.
#include "editor/txtexport.h"

#include <algorithm>
#include <cstring>

#include "editor/txtdbcs.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"

namespace {

const char* const kUntitled = "Untitled";

void SetDefaultExportFont(TFont* F) {
  F->SetName("Courier New");
  F->SetSize(10);
  F->SetColor(clWindowText);
  F->SetStyle(TFontStyles{});
}

}  // namespace

TTxtCustomExporter::TTxtCustomExporter(TComponent* AOwner)
    : TComponent(AOwner), FBuffer(std::make_unique<TMemoryStream>()), FFont(std::make_unique<TFont>()) {
  SetDefaultExportFont(FFont.get());
  FTitle = kUntitled;
  ResetOutput();
}

TTxtCustomExporter::~TTxtCustomExporter() = default;

AnsiString TTxtCustomExporter::BufferText() const {
  return AnsiString(static_cast<const char*>(FBuffer->Memory()), std::size_t(FBuffer->Size()));
}

void TTxtCustomExporter::SaveToFile(const AnsiString& FileName) {
  FBuffer->SetPosition(0);
  FBuffer->SaveToFile(FileName);
}

// ---------------------------------------------------------------- properties

void TTxtCustomExporter::SetExportAsText(bool Value) {
  if (Value == FExportAsText) return;
  FExportAsText = Value;
  ResetOutput();
}

void TTxtCustomExporter::SetFont(TFont* Value) {
  if (Value) FFont->Assign(Value);
  else SetDefaultExportFont(FFont.get());
}

void TTxtCustomExporter::TakeColorFromWhitespace() {
  if (!FHighlighter || !FUseBackground) return;
  if (TTxtHighlighterAttributes* a = FHighlighter->DefaultAttribute(4)) FColor = a->Background();
}

void TTxtCustomExporter::SetHighlighter(TTxtCustomHighlighter* Value) {
  if (FHighlighter == Value) return;
  FHighlighter = Value;
  ResetOutput();
  TakeColorFromWhitespace();
}

void TTxtCustomExporter::SetUseBackground(bool Value) {
  FUseBackground = Value;
  TakeColorFromWhitespace();
}

void TTxtCustomExporter::SetTitle(const AnsiString& Value) {
  if (Value == FTitle) return;
  FTitle = Value.empty() ? AnsiString(kUntitled) : Value;
}

// ---------------------------------------------------------------- the buffer

void TTxtCustomExporter::AppendText(const AnsiString& Text) {
  if (!Text.empty()) FBuffer->WriteBuffer(Text.data(), LongInt(Text.size()));
}

void TTxtCustomExporter::InsertAtStart(const AnsiString& Text) {
  if (Text.empty()) return;
  const Int64 pos = FBuffer->Position();
  const Int64 len = Int64(Text.size());
  if (pos + len > FBuffer->Size()) FBuffer->SetSize((pos + len + 6144) / 4096 * 4096);
  char* m = static_cast<char*>(FBuffer->Memory());
  std::memmove(m + len, m, std::size_t(pos));
  std::memcpy(m, Text.data(), Text.size());
  FBuffer->SetPosition(pos + len);
}

void TTxtCustomExporter::ResetOutput() {
  FBuffer->SetPosition(0);
  FBuffer->SetSize(0);
  FLastStyle = 0;
  FLastBG = ColorToRGB(clWindow);
  FLastFG = ColorToRGB(clWindowText);
}

// ---------------------------------------------------------------- escaping and attributes

AnsiString TTxtCustomExporter::EscapeDoubleByte(Byte Lead, Byte Trail) {
  AnsiString r(2, '\0');
  r[0] = char(Lead);
  r[1] = char(Trail);
  return r;
}

AnsiString TTxtCustomExporter::EscapeText(const AnsiString& Token) {
  AnsiString r;
  r.reserve(Token.size() + 32);
  const auto* s = reinterpret_cast<const unsigned char*>(Token.data());
  const std::size_t n = Token.size();
  for (std::size_t i = 0; i < n;) {
    const Byte b = s[i];
    if (FPairsBeforeReplacements && txtdbcs::PairAt(s, n, i)) {
      r += EscapeDoubleByte(b, s[i + 1]);
      i += 2;
    } else if (FHasReplacement[b]) {
      r += FReplace[b];
      ++i;
    } else if (!FPairsBeforeReplacements && IsDBCSLeadByte(b) && i + 1 < n) {
      r += EscapeDoubleByte(b, s[i + 1]);
      i += 2;
    } else {
      r += char(b);
      ++i;
    }
  }
  return r;
}

COLORREF TTxtCustomExporter::ResolveColor(TColor Value, TColor Default) {
  return ColorToRGB(Value == clNone ? Default : Value);
}

void TTxtCustomExporter::ApplyTokenAttribute(TTxtHighlighterAttributes* Attri) {
  const TColor bg = Attri ? TColor(Attri->Background()) : clNone;
  const TColor fg = Attri ? TColor(Attri->Foreground()) : clNone;
  const TTxtFontStyles style = Attri ? Attri->Style() : 0;
  if (FFirstAttribute) {
    FFirstAttribute = false;
    FLastBG = ResolveColor(bg, FColor);
    FLastFG = ResolveColor(fg, FFont->Color());
    FLastStyle = style;
    // compared with the colours as stored: a system colour there always differs
    OpenFirstAttributes(FUseBackground && TColor(FLastBG) != FColor, FFont->Color() != TColor(FLastFG), FLastStyle);
    return;
  }
  const COLORREF newBG = ResolveColor(bg, FColor), newFG = ResolveColor(fg, FFont->Color());
  const bool bgChanged = FUseBackground && newBG != FLastBG;
  const bool fgChanged = newFG != FLastFG;
  if (!bgChanged && !fgChanged && style == FLastStyle) return;
  const TTxtFontStyles previous = FLastStyle;
  CloseAttributes(bgChanged, fgChanged, TTxtFontStyles(previous & ~style));
  FLastBG = newBG;
  FLastFG = newFG;
  FLastStyle = style;
  OpenAttributes(bgChanged, fgChanged, TTxtFontStyles(style & ~previous));
}

// ---------------------------------------------------------------- exporting

void TTxtCustomExporter::ExportAll(TStrings* Lines) {
  ExportLines(Lines, TBufferCoord{1, 1}, TBufferCoord{2147483647, 2147483647});
}

void TTxtCustomExporter::ExportLines(TStrings* Lines, TBufferCoord Start, TBufferCoord Stop) {
  if (!Lines || Lines->Count() == 0 || !FHighlighter) Abort();
  if (Lines->Count() < Start.Line || Stop.Line < Start.Line || Start.Line < 1) Abort();
  Stop.Line = std::max(1, std::min(Stop.Line, Lines->Count()));
  Stop.Char = std::max(1, std::min(Stop.Char, int(Lines->Get(Stop.Line - 1).size()) + 1));
  Start.Char = std::max(1, std::min(Start.Char, int(Lines->Get(Start.Line - 1).size()) + 1));
  if (Start.Line == Stop.Line && Start.Char >= Stop.Char) Abort();
  FBuffer->SetPosition(0);
  FBuffer->SetSize(std::max<Int64>(4096, Int64(Stop.Line - Start.Line) * 128));
  FHighlighter->ResetScanState();
  FFirstAttribute = true;
  for (int i = Start.Line; i <= Stop.Line; ++i) {
    AnsiString line = Lines->Get(i - 1);
    if (i == Stop.Line) line.resize(std::min(line.size(), std::size_t(Stop.Char - 1)));
    if (i == Start.Line && Start.Char > 1) line.erase(0, std::min(line.size(), std::size_t(Start.Char - 1)));
    FHighlighter->StartLine(line, i);
    while (!FHighlighter->AtLineEnd()) {
      TTxtHighlighterAttributes* a = FHighlighter->TokenAttribute();
      const AnsiString text = EscapeText(FHighlighter->TokenText());
      ApplyTokenAttribute(a);
      WriteToken(text);
      FHighlighter->NextToken();
    }
    WriteLineBreak();
  }
  if (!FFirstAttribute) CloseLastAttributes();
  FBuffer->SetSize(FBuffer->Position());
  InsertAtStart(Header());
  AppendText(Footer());
  FBuffer->SetSize(FBuffer->Position());
}

// ---------------------------------------------------------------- registration

void RegisterExporterClasses() {
  RegisterClasses({TTxtExporterRTF::StaticClass(), TTxtExporterHTML::StaticClass()});
  RegisterProps<TTxtCustomExporter>([](TPropBuilder<TTxtCustomExporter>& p) {
    using P = TTxtCustomExporter;
    p.Prop("Color", &P::Color, &P::SetColor).Idents(ColorIdentMap());
    p.Prop("DefaultFilter", &P::DefaultFilter, &P::SetDefaultFilter);
    p.Prop("Font", &P::Font, &P::SetFont);
    p.Prop("Highlighter", &P::Highlighter, &P::SetHighlighter);
    p.Prop("Title", &P::Title, &P::SetTitle);
    p.Prop("UseBackground", &P::UseBackground, &P::SetUseBackground).Default(false);
  });
  RegisterProps<TTxtExporterHTML>([](TPropBuilder<TTxtExporterHTML>& p) {
    p.Prop("CreateHTMLFragment", &TTxtExporterHTML::CreateHTMLFragment, &TTxtExporterHTML::SetCreateHTMLFragment)
        .Default(false);
  });
}
