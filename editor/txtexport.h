// Exporters turn lines of text into a formatted document, each token in the
// colours and style that a highlighter gives it: the base walks the lines and
// keeps the output buffer, the subclasses write Rich Text Format and HTML.
#pragma once
#include <array>
#include <bitset>
#include <memory>
#include <vector>

#include "editor/txtedittypes.h"
#include "editor/txthighlighter.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

class TTxtCustomExporter : public TComponent {
  PV_CLASS(TTxtCustomExporter, TComponent)
 public:
  explicit TTxtCustomExporter(TComponent* AOwner);
  ~TTxtCustomExporter() override;

  void ExportAll(TStrings* Lines);
  // Exports from Start up to before Stop, both (column, line), 1-based. An
  // empty or impossible range, no lines or no highlighter abort silently.
  void ExportLines(TStrings* Lines, TBufferCoord Start, TBufferCoord Stop);
  void SaveToFile(const AnsiString& FileName);
  int BufferSize() const { return int(FBuffer->Size()); }
  // The document built by the last export.
  AnsiString BufferText() const;

  virtual UINT ClipboardFormat() { return FClipboardFormat; }
  virtual AnsiString FormatName() { return AnsiString(); }

  // ---- published ----
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  const AnsiString& DefaultFilter() const { return FDefaultFilter; }
  void SetDefaultFilter(const AnsiString& Value) { FDefaultFilter = Value; }
  bool ExportAsText() const { return FExportAsText; }
  void SetExportAsText(bool Value);
  TFont* Font() const { return FFont.get(); }
  // Copies Value's properties; nullptr restores the default font.
  void SetFont(TFont* Value);
  TTxtCustomHighlighter* Highlighter() const { return FHighlighter; }
  void SetHighlighter(TTxtCustomHighlighter* Value);
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value);
  bool UseBackground() const { return FUseBackground; }
  void SetUseBackground(bool Value);

 protected:
  virtual void CloseAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles RemovedStyles) = 0;
  virtual void OpenAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles AddedStyles) = 0;
  virtual void CloseLastAttributes() = 0;
  virtual void OpenFirstAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles Styles) = 0;
  virtual void WriteToken(const AnsiString& Token) { AppendText(Token); }
  virtual void WriteLineBreak() = 0;
  virtual AnsiString Footer() = 0;
  virtual AnsiString Header() = 0;
  virtual AnsiString EscapeDoubleByte(Byte Lead, Byte Trail);
  virtual void ApplyTokenAttribute(TTxtHighlighterAttributes* Attri);
  virtual void ResetOutput();

  void AppendText(const AnsiString& Text);
  void AppendLineBreak() { AppendText("\r\n"); }
  void InsertAtStart(const AnsiString& Text);
  AnsiString EscapeText(const AnsiString& Token);
  static COLORREF ResolveColor(TColor Value, TColor Default);
  void SetReplacement(Byte B, const AnsiString& Text) {
    FReplace[B] = Text;
    FHasReplacement.set(B);
  }

  std::unique_ptr<TMemoryStream> FBuffer;
  bool FFirstAttribute = true;
  TColor FColor = clWindow;
  UINT FClipboardFormat = 1;
  AnsiString FDefaultFilter;
  bool FExportAsText = false;
  std::unique_ptr<TFont> FFont;
  TTxtCustomHighlighter* FHighlighter = nullptr;
  COLORREF FLastBG = 0;
  COLORREF FLastFG = 0;
  TTxtFontStyles FLastStyle = 0;
  AnsiString FTitle;
  bool FUseBackground = false;
  // With it set a complete double-byte character goes to EscapeDoubleByte
  // before the replacement table is asked about its bytes.
  bool FPairsBeforeReplacements = false;

 private:
  void TakeColorFromWhitespace();
  std::array<AnsiString, 256> FReplace;
  std::bitset<256> FHasReplacement;
};

class TTxtExporterRTF : public TTxtCustomExporter {
  PV_CLASS(TTxtExporterRTF, TTxtCustomExporter)
 public:
  explicit TTxtExporterRTF(TComponent* AOwner);
  AnsiString FormatName() override { return "RTF"; }
  // The RTF colour number of an RGB colour, added to the table when new.
  int ColorIndex(COLORREF Color);

 protected:
  void CloseAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles RemovedStyles) override;
  void OpenAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles AddedStyles) override;
  void CloseLastAttributes() override {}
  void OpenFirstAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles Styles) override {
    OpenAttributes(BackgroundChanged, ForegroundChanged, Styles);
  }
  void WriteLineBreak() override { AppendText("\r\n\\par "); }
  AnsiString Footer() override { return "}"; }
  AnsiString Header() override;
  AnsiString EscapeDoubleByte(Byte Lead, Byte Trail) override;
  void ResetOutput() override;

 private:
  AnsiString FontTable();
  bool FPendingBlank = false;
  std::vector<COLORREF> FColors;
};

class TTxtExporterHTML : public TTxtCustomExporter {
  PV_CLASS(TTxtExporterHTML, TTxtCustomExporter)
 public:
  explicit TTxtExporterHTML(TComponent* AOwner);
  AnsiString FormatName() override { return "HTML"; }

  static AnsiString HtmlColor(TColor Color);
  static AnsiString ValidClassName(const AnsiString& Name);
  AnsiString StyleRule(TTxtHighlighterAttributes* Attri, const AnsiString& Name);
  AnsiString AttributeClassName(TTxtHighlighterAttributes* Attri);

  bool CreateHTMLFragment() const { return FCreateHTMLFragment; }
  void SetCreateHTMLFragment(bool Value) { FCreateHTMLFragment = Value; }

 protected:
  void CloseAttributes(bool, bool, TTxtFontStyles) override { AppendText("</span>"); }
  void OpenAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles AddedStyles) override;
  void CloseLastAttributes() override { AppendText("</span>"); }
  void OpenFirstAttributes(bool BackgroundChanged, bool ForegroundChanged, TTxtFontStyles Styles) override {
    OpenAttributes(BackgroundChanged, ForegroundChanged, Styles);
  }
  void WriteLineBreak() override { AppendLineBreak(); }
  AnsiString Footer() override;
  AnsiString Header() override;
  AnsiString EscapeDoubleByte(Byte Lead, Byte Trail) override;
  void ApplyTokenAttribute(TTxtHighlighterAttributes* Attri) override;

 private:
  struct TClassEntry {
    TTxtHighlighterAttributes* Attri;
    AnsiString UniqueName, ClassName;
  };
  // The highlighter's listed attributes, then those that the body used
  // without the highlighter listing them, each with its class name.
  const std::vector<TClassEntry>& Classes();
  void AddClass(TTxtHighlighterAttributes* Attri);
  AnsiString DocumentHead();

  TTxtHighlighterAttributes* FLastAttri = nullptr;
  bool FCreateHTMLFragment = false;
  std::vector<TClassEntry> FClasses;
  bool FClassesListed = false;
};

void RegisterExporterClasses();
