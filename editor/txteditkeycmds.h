// Editor command codes, keystroke bindings and the default key table.
#pragma once
#include <vector>

#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/menus.h"

using TTxtEditorCommand = Word;

PV_DECLARE_EXCEPTION(ETxtKeyError, Exception)

constexpr TTxtEditorCommand ecNone = 0, ecLeft = 1, ecRight = 2, ecUp = 3, ecDown = 4, ecWordLeft = 5,
    ecWordRight = 6, ecLineStart = 7, ecLineEnd = 8, ecPageUp = 9, ecPageDown = 10, ecPageLeft = 11,
    ecPageRight = 12, ecPageTop = 13, ecPageBottom = 14, ecEditorTop = 15, ecEditorBottom = 16, ecGotoXY = 17,
    ecSelLeft = 101, ecSelRight = 102, ecSelUp = 103, ecSelDown = 104, ecSelWordLeft = 105,
    ecSelWordRight = 106, ecSelLineStart = 107, ecSelLineEnd = 108, ecSelPageUp = 109, ecSelPageDown = 110,
    ecSelPageLeft = 111, ecSelPageRight = 112, ecSelPageTop = 113, ecSelPageBottom = 114, ecSelEditorTop = 115,
    ecSelEditorBottom = 116, ecSelGotoXY = 117, ecSelWord = 198, ecSelectAll = 199, ecCopy = 201,
    ecScrollUp = 211, ecScrollDown = 212, ecScrollLeft = 213, ecScrollRight = 214, ecInsertMode = 221,
    ecOverwriteMode = 222, ecToggleMode = 223, ecNormalSelect = 231, ecColumnSelect = 232, ecLineSelect = 233,
    ecMatchBracket = 250, ecCommentBlock = 251, ecGotoMarker0 = 301, ecGotoMarker9 = 310, ecSetMarker0 = 351,
    ecSetMarker9 = 360, ecContextHelp = 490, ecDeleteLastChar = 501, ecDeleteChar = 502, ecDeleteWord = 503,
    ecDeleteLastWord = 504, ecDeleteBOL = 505, ecDeleteEOL = 506, ecDeleteLine = 507, ecClearAll = 508,
    ecLineBreak = 509, ecInsertLine = 510, ecChar = 511, ecImeStr = 550, ecUndo = 601, ecRedo = 602, ecCut = 603,
    ecPaste = 604, ecBlockIndent = 610, ecBlockUnindent = 611, ecTab = 612, ecShiftTab = 613, ecUpperCase = 620,
    ecLowerCase = 621, ecToggleCase = 622, ecTitleCase = 623, ecUpperCaseBlock = 625, ecLowerCaseBlock = 626,
    ecToggleCaseBlock = 627, ecString = 630, ecAutoCompletion = 650, ecUserFirst = 1001;

// The name of a named command code ("ecLeft"); false when the code has none.
bool CommandToIdent(int Command, AnsiString& Ident);
// The code of a command name (exact spelling); false when unknown.
bool IdentToCommand(const AnsiString& Ident, int& Command);
AnsiString CommandToName(int Command);  // "" when the code has no name
int NameToCommand(const AnsiString& Name);  // -1 when unknown
// The name, or the decimal number for a code without one.
AnsiString CommandToText(int Command);
// The 101 named commands as a name table for integer properties.
const TIdentMap* EditorCommandIdents();


class TTxtEditKeyStrokes;

class TTxtEditKeyStroke : public TCollectionItem {
  PV_CLASS(TTxtEditKeyStroke, TCollectionItem)
 public:
  explicit TTxtEditKeyStroke(TCollection* Collection) : TCollectionItem(Collection) {}

  void Assign(TPersistent* Source) override;
  AnsiString DisplayName() const override;

  TTxtEditorCommand Command() const { return FCommand; }
  void SetCommand(TTxtEditorCommand Value) { FCommand = Value; }
  TShortCut GetShortCut() const { return ::ShortCut(FKey, FShift); }
  void SetShortCut(TShortCut Value);
  TShortCut GetShortCut2() const { return ::ShortCut(FKey2, FShift2); }
  void SetShortCut2(TShortCut Value);

  Word Key() const { return FKey; }
  TShiftState Shift() const { return FShift; }
  Word Key2() const { return FKey2; }
  TShiftState Shift2() const { return FShift2; }
  void SetKey(Word Value) { FKey = Value; }
  void SetShift(TShiftState Value) { FShift = Value; }
  void SetKey2(Word Value) { FKey2 = Value; }
  void SetShift2(TShiftState Value) { FShift2 = Value; }

 private:
  Word FKey = 0;
  TShiftState FShift;
  Word FKey2 = 0;
  TShiftState FShift2;
  TTxtEditorCommand FCommand = ecNone;
};

class TTxtEditKeyStrokes : public TCollection {
  PV_CLASS(TTxtEditKeyStrokes, TCollection)
 public:
  explicit TTxtEditKeyStrokes(TPersistent* AOwner);

  TTxtEditKeyStroke* Add() { return static_cast<TTxtEditKeyStroke*>(TCollection::Add()); }
  void AddBinding(TTxtEditorCommand Command, Word Key, TShiftState Shift);
  void Assign(TPersistent* Source) override;
  int FindCommand(TTxtEditorCommand Command) const;
  int FindKey(Word Key, TShiftState Shift) const;
  int FindKeyPair(Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2) const;
  int FindShortCutPair(TShortCut ShortCut, TShortCut ShortCut2) const;
  TTxtEditKeyStroke* Items(int Index) const { return static_cast<TTxtEditKeyStroke*>(TCollection::Items(Index)); }
  void LoadDefaults();
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

// Key translation with a remembered first key of a two-key binding; the editor
// control keeps one of these next to its table.
struct TTxtKeyTranslator {
  Word PendingKey = 0;
  TShiftState PendingShift;
  // Returns the bound command or ecNone.
  TTxtEditorCommand KeyToCommand(const TTxtEditKeyStrokes& Keys, Word Code, TShiftState Shift);
};

// Streaming of a keystroke table as its differences from a reference table:
// the items of Reference missing from Keys ("RemovedKeystrokes") and the items
// of Keys missing from Reference ("AddedKeystrokes").
void KeystrokeDifferences(const TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Reference,
                          TTxtEditKeyStrokes& Removed, TTxtEditKeyStrokes& Added);
// Applies read differences: each removed binding found with the same command is
// deleted, then each added one is appended.
void ApplyRemovedKeystrokes(TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Removed);
void ApplyAddedKeystrokes(TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Added);
// Defines "RemovedKeystrokes" and "AddedKeystrokes" on Filer for a control whose
// table is Keys; Reference is the ancestor's table or nullptr for the defaults.
void DefineKeystrokeProperties(TFiler* Filer, TTxtEditKeyStrokes* Keys, const TTxtEditKeyStrokes* Reference);

// Registers the keystroke item's published properties; part of start-up.
void RegisterEditorKeystrokeClasses();
