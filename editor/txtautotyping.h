// Typing aids attached to an editor: templates expanded from a short token by
// a shortcut key, and corrections of words as they are finished.
//
// Template list format (one entry per line):
//   token            any non-empty line that starts neither with "=" nor "|"
//   |description     optional, directly after the token
//   =template line   one line of the template each; a "|" in it marks where
//                    the caret goes after the expansion
// A template ends at the first line that is empty or does not start with "=".
#pragma once
#include <memory>

#include "editor/txtcompletion.h"

class TTxtAutoComplete : public TComponent {
  PV_CLASS(TTxtAutoComplete, TComponent)
 public:
  explicit TTxtAutoComplete(TComponent* AOwner);
  ~TTxtAutoComplete() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Editor hooks.
  virtual void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditorKeyPress(TObject* Sender, char& Key);

  // Replaces Token before E's caret by its template; without an exact
  // template and with Lookup, offers the list of all templates.
  void ExpandToken(const AnsiString& Token, TCustomTxtEdit* E, bool Lookup);
  // The characters before E's caret back to a blank or an end-of-token character.
  AnsiString TokenBeforeCaret(TCustomTxtEdit* E) const;
  TTxtCompletionProposal* LookupProposal() const { return FProposal.get(); }

  // ---- published ----
  TStrings* AutoCompleteList() const { return FList.get(); }
  void SetAutoCompleteList(TStrings* Value) { FList->Assign(Value); }
  const AnsiString& EndOfTokenChr() const { return FEndOfTokenChr; }
  void SetEndOfTokenChr(const AnsiString& Value) { FEndOfTokenChr = Value; }
  TCustomTxtEdit* Editor() const { return FEditor; }
  void SetEditor(TCustomTxtEdit* Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool DoLookupWhenNotExact() const { return FDoLookup; }
  void SetDoLookupWhenNotExact(bool Value);
  TTxtCompletionOptions Options() const { return FOptions; }
  void SetOptions(TTxtCompletionOptions Value);
  TNotifyEvent OnBeforeExecute;
  TNotifyEvent OnAfterExecute;

 private:
  void Expand(int Index, TCustomTxtEdit* E, const AnsiString& Token);
  void OfferLookup(TCustomTxtEdit* E);
  void LookupAccepted(TObject* Sender, const AnsiString& Value, TShiftState Shift, int Index, char EndToken);
  void Unhook();

  TShortCut FShortCut;
  TCustomTxtEdit* FEditor = nullptr;
  std::unique_ptr<TStringList> FList;
  bool FNoNextKey = false;
  AnsiString FEndOfTokenChr = "()[]. ";
  std::unique_ptr<TTxtCompletionProposal> FProposal;
  bool FDoLookup = true;
  TTxtCompletionOptions FOptions;
};

enum TAsTxtAutoCorrectOption { ascoCorrectOnMouseDown, ascoIgnoreCase, ascoMaintainCase };
using TAsTxtAutoCorrectOptions = TSet<TAsTxtAutoCorrectOption>;
PV_ENUM_NAMES(TAsTxtAutoCorrectOption, "ascoCorrectOnMouseDown ascoIgnoreCase ascoMaintainCase")
enum TAutoCorrectAction { aaCorrect, aaAbort };
using TAutoCorrectEvent = TEvent<void(TObject* Sender, const AnsiString& AOriginal, const AnsiString& ACorrection,
                                      int Line, int Column, TAutoCorrectAction& Action)>;

// Replaces a finished word that is the original of one of its pairs
// (original, separator, correction) by the correction.
class TCustomTxtAutoCorrect : public TComponent {
  PV_CLASS(TCustomTxtAutoCorrect, TComponent)
 public:
  explicit TCustomTxtAutoCorrect(TComponent* AOwner);
  ~TCustomTxtAutoCorrect() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Editor hooks.
  virtual void EditorCommand(TObject* Sender, bool AfterProcessing, bool& Handled, TTxtEditorCommand& Command,
                             char& AChar, void* Data, void* HandlerData);
  virtual void EditorMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  void AddCorrection(const AnsiString& AOriginal, const AnsiString& ACorrection);
  AnsiString LastWordBeforeCaret() const;
  // Editor mode (Position >= 0): replaces the word before the caret when it
  // is Original. Text mode (Position < 0): replaces every whole-word
  // occurrence of Original in Text. True when something was replaced.
  bool ApplyCorrection(AnsiString& Text, const AnsiString& Original, int& Position, const AnsiString& Correction);
  // 0-based offset of the first occurrence of Word in Text at or after
  // Start, or -1.
  int FindWord(const AnsiString& Text, const AnsiString& Word, bool WholeWord, bool CaseSensitive,
               int Start) const;
  int LastCommandLine() const { return FPrevLine; }

  TCustomTxtEdit* Editor() const { return FEditor; }
  void SetEditor(TCustomTxtEdit* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  char ItemSepChar() const { return FItemSepChar; }
  void SetItemSepChar(char Value) { FItemSepChar = Value; }
  TAsTxtAutoCorrectOptions Options() const { return FOptions; }
  void SetOptions(TAsTxtAutoCorrectOptions Value) { FOptions = Value; }
  TAutoCorrectEvent OnAutoCorrect;
  TNotifyEvent OnCorrected;

 private:
  // Splits item Index at its last separator.
  void ItemAt(int Index, AnsiString& Original, AnsiString& Correction) const;
  AnsiString MatchCase(const AnsiString& Typed, const AnsiString& Correction) const;
  void Unhook();
  void CorrectPendingWord();

  TCustomTxtEdit* FEditor = nullptr;
  bool FEnabled = true;
  std::unique_ptr<TStringList> FItems;
  char FItemSepChar = '\t';
  TAsTxtAutoCorrectOptions FOptions{ascoIgnoreCase, ascoMaintainCase};
  int FPrevLine = -1;
  // The word that a finishing command ends, corrected after the command ran:
  // the blank, mark, Tab or line break is typed first, so that undoing the
  // correction gives back the word as typed with what finished it.
  AnsiString FPendingWord;
  TBufferCoord FPendingEnd{0, 0};  // just after the word
  TTxtEditorCommand FPendingCommand = ecNone;
  int FCorrectingLine = 0;  // the line ApplyCorrection works on, 0: the caret's
};

class TTxtAutoCorrect : public TCustomTxtAutoCorrect {
  PV_CLASS(TTxtAutoCorrect, TCustomTxtAutoCorrect)
 public:
  using TCustomTxtAutoCorrect::TCustomTxtAutoCorrect;
};

void RegisterAutoTypingClasses();
