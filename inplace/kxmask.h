// The mask editor and its edit-mask engine. A mask "pattern;save;blank" fixes
// the length of the text, what may be typed at each position and the literals
// between; the editor works on the rich-edit window in overwrite mode, the
// character at the caret always selected. Positions are CP936 bytes: a
// double-byte literal of the pattern takes two positions, a double-byte
// character typed at a letter position takes two letter positions.
#pragma once

#include "inplace/kxeditor.h"

// The error of an incomplete masked value.
PV_DECLARE_EXCEPTION(EkxMaskEditError, Exception)

enum TkxMaskCharKind {
  mckNone, mckLiteral, mckLocaleLiteral, mckDirective, mckFieldSeparator, mckField, mckOptional, mckRequired
};

struct TkxMaskDirectives {
  bool Reverse = false;
  bool Upper = false;
  bool Lower = false;
  bool Literal = false;
};

// ---- the engine (Index: 0-based byte of the mask; Pos: 0-based text position) ----
TkxMaskCharKind kxMaskCharKind(const AnsiString& Mask, int Index);
TkxMaskDirectives kxMaskDirectivesAt(const AnsiString& Mask, int Index);
// Text positions of the mask (every character but directives and the fields).
int kxMaskPositionCount(const AnsiString& Mask);
// The second field: "0" leaves the literals out of the value.
bool kxMaskSavesLiterals(const AnsiString& Mask);
// The third field's character, "_" without one.
char kxMaskBlankChar(const AnsiString& Mask);
// The mask index of text position Pos, -1 beyond the mask.
int kxMaskIndexOfPosition(const AnsiString& Mask, int Pos);
// Whether text position Pos takes input (not a literal).
bool kxMaskIsInputPosition(const AnsiString& Mask, int Pos);
// The character a literal at mask index Index shows (locale separators resolved).
char kxMaskLiteralChar(const AnsiString& Mask, int Index);
// Raw input placed into the input positions, literals inserted, Blank for missing input.
AnsiString kxMaskApply(const AnsiString& Mask, const AnsiString& Raw, char Blank);
// The input characters of an edit text: literals removed, blanks trimmed, other blanks spaces.
AnsiString kxMaskStrip(const AnsiString& Mask, const AnsiString& EditText, char Blank);
// A value that holds its literals, fitted field by field to the mask.
AnsiString kxMaskAlign(const AnsiString& Mask, const AnsiString& Value, char Blank);
// The edit text of an empty editor.
AnsiString kxMaskEmptyText(const AnsiString& Mask);

class TkxInplaceMaskEdit : public TkxInplaceTextEdit {
  PV_CLASS(TkxInplaceMaskEdit, TkxInplaceTextEdit)
  KX_EDIT_CLASS(TkxInplaceMaskEdit)
 public:
  explicit TkxInplaceMaskEdit(TComponent* AOwner);

  AnsiString EditMask() const { return FEditMask; }
  void SetEditMask(const AnsiString& Value);
  virtual void DoSetEditMask(const AnsiString& Value);
  bool IsMasked() const { return FMasked; }
  char MaskBlank() const { return FMaskBlank; }
  bool MaskSave() const { return FMaskSave; }
  int MaxChars() const { return FMaxChars; }
  bool IgnoreBlanks() const { return FIgnoreBlanks; }
  void SetIgnoreBlanks(bool Value) { FIgnoreBlanks = Value; }

  // The window text, literals and blanks included.
  AnsiString GetEditText();
  // Sets the window text when it differs (the edit text, already in shape).
  void SetEditText(const AnsiString& Value);
  // The mask editor's GetText and SetText (TControl's GetText reads the
  // window): the value text (masked: the input characters, with the literals
  // when they are saved), and a value text shown through the mask.
  AnsiString GetMaskText();
  void SetMaskText(const AnsiString& Value);
  bool IsComplete(const AnsiString& EditText, int* FirstFailing = nullptr);
  virtual void GetSel(int& SelStart, int& SelStop);
  // Places the mask caret on position P with the character there selected.
  void PlaceCaret(int P);
  void NormalizeCaret();
  int CaretPosition() const { return FCaretPos; }

  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  bool GetDisableCloseEditor() override;
  void GetDisplayText(AnsiString& Text) override;
  void ValidateEdit() override;
  bool NeedsOleCallback() override { return FMasked; }
  void DoSetMaxLength(int Value) override;
  int GetDefaultMaxLength() override { return FMasked ? FMaxChars : 0; }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void TypeChar(char Key);
  // Checks Ch for the input position of mask index Index; the character to
  // enter (case converted) in Ch, or false.
  bool MatchChar(char& Ch, int Index, int Pos);
  void MoveByArrow(Word Key, TShiftState Shift);
  void MoveToEnds(Word Key, TShiftState Shift);
  void DeleteByKey(Word Key);
  // The edit text with the input positions of [Start, Stop) blanked.
  AnsiString BlankRange(const AnsiString& Text, int Start, int Stop);
  // Replaces [Start, Stop) of the window text with Text of the same length.
  void ReplaceRange(int Start, int Stop, const AnsiString& Text);
  void InsertString(const AnsiString& Text);
  void RaiseMaskError();
  int NextInputPos(int P);
  int PrevInputPos(int P);
  void ChangeMask(const AnsiString& Value);
  void NoteRestoreValue();

  AnsiString FEditMask;
  char FMaskBlank = '_';
  bool FMaskSave = true;
  bool FMasked = false;
  bool FReEnter = false;
  bool FIgnoreBlanks = false;
  int FMaxChars = 0;
  int FCaretPos = 0;
  int FButtonDownX = 0;

  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void WMLButtonDown(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMSetFocus(TMessage& Message);
  void EMReplaceSel(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMWantSpecialKey(TMessage& Message);
  void CNCommand(TWMCommand& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCut)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMPaste)
    PV_MESSAGE_HANDLER(WM_CLEAR, TMessage, WMClear)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(EM_REPLACESEL, TMessage, EMReplaceSel)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CM_WANTSPECIALKEY, TMessage, CMWantSpecialKey)
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
  END_MESSAGE_MAP(TkxInplaceTextEdit)
};

class TkxInplaceMaskEdit::TClassRef : public TkxInplaceTextEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceMaskEdit::StaticClass(); }
};

void kxInitMaskEdit();
