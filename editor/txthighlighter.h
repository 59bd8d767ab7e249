// Highlighters split one line at a time into styled tokens. This is the style
// record, the abstract highlighter with its scanning contract, and the list of
// registered highlighter classes.
#pragma once
#include <bitset>
#include <vector>

#include "editor/txtmethodchain.h"
#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"

// Colours are signed 32-bit values; this one means "no colour".
constexpr Integer clTxtNone = 0x1FFFFFFF;
constexpr Integer clTxtWindow = Integer(0xFF000005);
constexpr Integer clTxtWindowText = Integer(0xFF000008);

// Font style bits of an attribute.
using TTxtFontStyles = Byte;
constexpr TTxtFontStyles txtBold = 1, txtItalic = 2, txtUnderline = 4, txtStrikeOut = 8;

using TTxtCharSet = std::bitset<256>;

class TTxtHighlighterAttributes : public TPersistent {
  PV_CLASS(TTxtHighlighterAttributes, TPersistent)
 public:
  explicit TTxtHighlighterAttributes(const AnsiString& Name = AnsiString());

  void Assign(TPersistent* Source) override;
  virtual void Changed();
  // Reads a style from a development environment's editor-colour settings.
  virtual bool LoadFromIdeRegistry(HKEY RootKey, const AnsiString& AttrKey, const AnsiString& AttrName,
                                   bool OldStyle);

  void AssignColorAndStyle(TTxtHighlighterAttributes* Source);
  void RecordDefaults();
  bool LoadFromRegistry(TRegistry& Reg);
  bool SaveToRegistry(TRegistry& Reg);

  Integer Background() const { return FBackground; }
  void SetBackground(Integer Value);
  Integer Foreground() const { return FForeground; }
  void SetForeground(Integer Value);
  TTxtFontStyles Style() const { return FStyle; }
  void SetStyle(TTxtFontStyles Value);
  const AnsiString& StyleName() const { return FStyleName; }
  void SetStyleName(const AnsiString& Value) { FStyleName = Value; }

  bool BackgroundToStream() const { return FBackground != FSavedBackground; }
  bool ForegroundToStream() const { return FForeground != FSavedForeground; }
  bool StyleToStream() const { return FStyle != FSavedStyle; }

  TNotifyEvent OnStyleChange;

 private:
  Integer FBackground = 0;
  Integer FSavedBackground = 0;
  Integer FForeground = 0;
  Integer FSavedForeground = 0;
  AnsiString FStyleName;
  TTxtFontStyles FStyle = 0;
  TTxtFontStyles FSavedStyle = 0;
};

class TTxtCustomHighlighter : public TComponent {
  PV_CLASS(TTxtCustomHighlighter, TComponent)
 public:
  explicit TTxtCustomHighlighter(TComponent* AOwner);
  ~TTxtCustomHighlighter() override;

  void Assign(TPersistent* Source) override;
  void Loaded() override;

  virtual int AttributeCount() const;
  virtual TTxtHighlighterAttributes* AttributeAt(int Index) const;
  virtual TTxtHighlighterAttributes* DefaultAttribute(int Kind) = 0;
  virtual AnsiString GetDefaultFilter() const { return FDefaultFilter; }
  virtual TTxtCharSet IdentifierChars() const;
  virtual AnsiString GetSampleText() const { return AnsiString(); }
  virtual bool DefaultFilterToStream() const { return true; }
  virtual void SetDefaultFilter(const AnsiString& Value) { FDefaultFilter = Value; }
  virtual void SetSampleText(const AnsiString& Value) {}
  virtual void SetWordSeparators(const TTxtCharSet& Value) { WordSeparators = Value; }
  virtual int Capabilities() const { return 2; }
  virtual AnsiString LanguageName() const { return "<Unknown>"; }
  virtual bool AtLineEnd() const = 0;
  // The state at the end of the scanned line; compared only for equality.
  virtual Integer ScanState() const { return 0; }
  virtual AnsiString TokenText() const = 0;
  virtual TTxtHighlighterAttributes* TokenAttribute() const = 0;
  virtual int TokenKind() const = 0;
  virtual int TokenStart() const = 0;
  virtual bool IsKeyword(const AnsiString& AKeyword) const { return false; }
  virtual void NextToken() = 0;
  // Text must stay alive and unchanged until the scan of the line ends.
  virtual void StartLine(const AnsiString& Text, int LineIndex) = 0;
  virtual void RestoreScanState(Integer Value) {}
  virtual void ResetScanState() {}
  virtual bool UseUserSetting(int Index) { return false; }
  virtual void ListUserSettings(TStrings* Settings) {
    if (Settings) Settings->Clear();
  }
  virtual bool LoadFromRegistry(HKEY RootKey, const AnsiString& Key);
  virtual bool SaveToRegistry(HKEY RootKey, const AnsiString& Key);

  void HookAttributeChange(const TNotifyEvent& Handler) { FAttributeChange.Add(Handler); }
  void UnhookAttributeChange(const TNotifyEvent& Handler) { FAttributeChange.Remove(Handler); }
  void NotifyAttributeChange(TObject* Sender);
  void ScanToLineEnd();
  void ClearAttributes();

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);

  TTxtCharSet WordSeparators;

 protected:
  // Adds an attribute to the style list (owned); a duplicate name raises the
  // list's duplicate error.
  void AddAttribute(TTxtHighlighterAttributes* Attri);

 private:
  TStringList FStyleList;
  TTxtNotifyEventChain FAttributeChange;
  AnsiString FDefaultFilter;
  bool FEnabled = true;
};

// The registered highlighter classes.
class TTxtHighlighterList {
 public:
  int Count() const { return int(FList.size()); }
  TClass Items(int Index) const { return FList.at(Index); }
  int IndexOf(TClass C) const;
  void Add(TClass C) {
    if (IndexOf(C) < 0) FList.push_back(C);
  }

 private:
  std::vector<TClass> FList;
};

TTxtHighlighterList& HighlighterClasses();
void RegisterHighlighterClass(TClass C);
