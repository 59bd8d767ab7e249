// The editor control: an owner-painted multi-line text editor over a line
// store, with a gutter, token colours from a highlighter, a caret, one
// selection in normal, line or column mode, bookmarks, undo and redo,
// keyboard commands through a keystroke table, word wrap, the clipboard and
// drag and drop of text. Text is code page 936: a column counts bytes, a
// double-byte character spans two columns and two screen cells, and no caret
// or selection end is left on its second byte.
//
// Positions: a buffer position (TBufferCoord) is (byte column, line), both
// 1-based; a display position is (screen cell, display row), both 1-based,
// with tabs expanded and, with word wrap, lines split into rows.
#pragma once
#include <memory>
#include <vector>

#include "editor/txtedittypes.h"
#include "editor/txteditkbdhandler.h"
#include "editor/txteditkeycmds.h"
#include "editor/txteditmiscclasses.h"
#include "editor/txteditsearch.h"
#include "editor/txteditstringlist.h"
#include "editor/txteditundo.h"
#include "editor/txthighlighter.h"
#include "editor/txttextdrawer.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/timers.h"

PV_DECLARE_EXCEPTION(ETxtEditError, Exception)

class TCustomTxtEdit;

// Notifications of focus changes that run through the command pipeline; no
// command carries them out.
constexpr TTxtEditorCommand ecFocusEnter = 480, ecFocusLeave = 481;

enum TTxtEditorOption {
  eoAltSetsColumnMode, eoAutoIndent, eoAutoSizeMaxScrollWidth, eoDisableScrollArrows, eoDragDropEditing,
  eoDropFiles, eoEnhanceHomeKey, eoEnhanceEndKey, eoGroupUndo, eoHalfPageScroll, eoHideShowScrollbars,
  eoKeepCaretX, eoNoCaret, eoNoSelection, eoRightMouseMovesCursor, eoScrollByOneLess, eoScrollHintFollows,
  eoScrollPastEof, eoScrollPastEol, eoShowScrollHint, eoShowSpecialChars, eoSmartTabDelete, eoSmartTabs,
  eoSpecialLineDefaultFg, eoTabIndent, eoTabsToSpaces, eoTrimTrailingSpaces
};
using TTxtEditorOptions = TSet<TTxtEditorOption>;
PV_ENUM_NAMES(TTxtEditorOption,
              "eoAltSetsColumnMode eoAutoIndent eoAutoSizeMaxScrollWidth eoDisableScrollArrows eoDragDropEditing "
              "eoDropFiles eoEnhanceHomeKey eoEnhanceEndKey eoGroupUndo eoHalfPageScroll eoHideShowScrollbars "
              "eoKeepCaretX eoNoCaret eoNoSelection eoRightMouseMovesCursor eoScrollByOneLess eoScrollHintFollows "
              "eoScrollPastEof eoScrollPastEol eoShowScrollHint eoShowSpecialChars eoSmartTabDelete eoSmartTabs "
              "eoSpecialLineDefaultFg eoTabIndent eoTabsToSpaces eoTrimTrailingSpaces")
// The default set (40632722).
inline const TTxtEditorOptions TxtDefaultOptions{eoAutoIndent,    eoDragDropEditing, eoEnhanceEndKey,
                                                 eoGroupUndo,     eoScrollPastEol,   eoShowScrollHint,
                                                 eoSmartTabDelete, eoSmartTabs,      eoTabsToSpaces};

enum TTxtStatusChange {
  scAll, scCaretX, scCaretY, scLeftChar, scTopLine, scInsertMode, scModified, scSelection, scReadOnly
};
using TTxtStatusChanges = TSet<TTxtStatusChange>;
PV_ENUM_NAMES(TTxtStatusChange,
              "scAll scCaretX scCaretY scLeftChar scTopLine scInsertMode scModified scSelection scReadOnly")

enum TTxtEditCaretType { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };
PV_ENUM_NAMES(TTxtEditCaretType, "ctVerticalLine ctHorizontalLine ctHalfBlock ctBlock")
enum TScrollHintFormat { shfTopLineOnly, shfTopToBottom };
PV_ENUM_NAMES(TScrollHintFormat, "shfTopLineOnly shfTopToBottom")
PV_ENUM_NAMES(TTxtSelectionMode, "smNormal smLine smColumn")
enum TTransientType { ttBefore, ttAfter };
enum TTxtReplaceAction { raCancel, raSkip, raReplace, raReplaceAll };

// State flags of the control.
enum TTxtEditState : Word {
  esCaretPending = 1, esScrollBarsPending = 2, esStoreUpdating = 4, esSkipNextChar = 8,
  esSystemCaretShown = 16, esDoubleClickWord = 32, esGutterPressPending = 64, esDragPending = 128
};

using TPlaceMarkEvent = TEvent<void(TObject* Sender, TTxtEditMark*& Mark)>;
using TProcessCommandEvent =
    TEvent<void(TObject* Sender, TTxtEditorCommand& Command, char& AChar, void* Data)>;
using TContextHelpEvent = TEvent<void(TObject* Sender, AnsiString Word)>;
using TDropFilesEvent = TEvent<void(TObject* Sender, int X, int Y, TStrings* AFiles)>;
using TGutterClickEvent =
    TEvent<void(TObject* Sender, TMouseButton Button, int X, int Y, int Line, TTxtEditMark* Mark)>;
using TGutterGetTextEvent = TEvent<void(TObject* Sender, int aLine, AnsiString& aText)>;
using TGutterPaintEvent = TEvent<void(TObject* Sender, int aLine, int X, int Y)>;
using TTxtPaintEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas)>;
using TPaintTransient = TEvent<void(TObject* Sender, TCanvas* Canvas, TTransientType TransientType)>;
using TReplaceTextEvent = TEvent<void(TObject* Sender, const AnsiString& ASearch, const AnsiString& AReplace,
                                      int Line, int Column, TTxtReplaceAction& Action)>;
using TTxtScrollEvent = TEvent<void(TObject* Sender, TScrollBarKind Kind)>;
using TSpecialLineColorsEvent =
    TEvent<void(TObject* Sender, int Line, bool& Special, TColor& FG, TColor& BG)>;
using TStatusChangeEvent = TEvent<void(TObject* Sender, TTxtStatusChanges Changes)>;
// A handler hooked into the command pipeline.
using THookedCommandEvent = TEvent<void(TObject* Sender, bool AfterProcessing, bool& Handled,
                                        TTxtEditorCommand& Command, char& AChar, void* Data, void* HandlerData)>;

// Maps lines to display rows while word wrap is on. Indexes are 0-based
// lines; positions are (expanded column, line) and (column, row), 1-based.
class ITxtEditBufferPlugin {
 public:
  virtual ~ITxtEditBufferPlugin() = default;
  virtual TBufferCoord MapBufferToDisplay(const TBufferCoord& Pos) = 0;
  virtual TBufferCoord MapDisplayToBuffer(const TBufferCoord& Pos) = 0;
  virtual int TotalRows() const = 0;
  virtual int RowWidth(int Row) const = 0;
  virtual int NoteLinesInserted(int Index, int Count) = 0;
  virtual int NoteLinesDeleted(int Index, int Count) = 0;
  virtual int NoteLinesReplaced(int Index, int Count) = 0;
  virtual void NoteWindowChanged() = 0;
  virtual void RebuildMap() = 0;
};

// A plug-in of an editor: told after each paint and about inserted and
// deleted lines. It registers itself with the editor it is made for.
class TTxtEditPlugin : public TObject {
  PV_CLASS(TTxtEditPlugin, TObject)
 public:
  explicit TTxtEditPlugin(TCustomTxtEdit* AOwner);
  ~TTxtEditPlugin() override;
  TCustomTxtEdit* Editor() const { return FOwner; }
  virtual void AfterPaint(TCanvas* ACanvas, const TRect& AClip, int FirstLine, int LastLine) {}
  virtual void LinesInserted(int FirstLine, int Count) {}
  virtual void LinesDeleted(int FirstLine, int Count) {}

 private:
  friend class TCustomTxtEdit;
  TCustomTxtEdit* FOwner;
};

// The picture strip of the built-in bookmark images.
using TTxtInternalImageStrip = TTxtInternalImage;

class TCustomTxtEdit : public TCustomControl {
  PV_CLASS(TCustomTxtEdit, TCustomControl)
 public:
  explicit TCustomTxtEdit(TComponent* AOwner);
  ~TCustomTxtEdit() override;

  // ---- component ----
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetName(const AnsiString& NewName) override;
  void BeforeDestruction() override;

  // ---- text ----
  TTxtEditStringList* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value);
  AnsiString GetText() override;
  AnsiString LineText();
  void SetLineText(const AnsiString& S);

  // ---- caret and selection (coordinates) ----
  int CaretX() const { return FCaretX; }
  int CaretY() const { return FCaretY; }
  TBufferCoord GetCaretPos() const { return TBufferCoord{FCaretX, FCaretY}; }
  void SetCaretColumn(int X) { SetCaretAndCollapse(TBufferCoord{X, FCaretY}); }
  void SetCaretLine(int Y) { SetCaretAndCollapse(TBufferCoord{FCaretX, Y}); }
  void SetCaretX(int X) { MoveCaretTo(TBufferCoord{X, FCaretY}); }
  void SetCaretY(int Y) { MoveCaretTo(TBufferCoord{FCaretX, Y}); }
  void SetCaretXY(const TBufferCoord& P) { SetCaretAndCollapse(P); }
  int KeptCaretColumn() const { return FKeptCaretColumn; }
  bool CaretAtWrapEnd() const { return FCaretAtWrapEnd; }
  TBufferCoord SelectionAnchor() const { return FSelectionAnchor; }
  TBufferCoord SelectionFocus() const { return FSelectionFocus; }
  TBufferCoord GetSelectionStart() const;
  TBufferCoord GetSelectionEnd() const;
  void SetSelectionStart(TBufferCoord Value);
  void SetSelectionEnd(TBufferCoord Value);
  bool HasSelection() const;
  bool SelectionSpansLines() const;
  bool SelectionCoversWholeLines();
  TTxtSelectionMode SelectionMode() const { return FSelectionMode; }
  void SetSelectionMode(TTxtSelectionMode Value);
  TTxtSelectionMode ActiveSelectionMode() const { return FActiveSelectionMode; }
  void SetActiveSelectionMode(TTxtSelectionMode Value);
  void PlaceCaretAndSelection(const TBufferCoord& Caret, const TBufferCoord& Begin, const TBufferCoord& End);
  void SelectAll();
  void SelectWordAt(TBufferCoord P);
  void SelectWordAtCaret() { SelectWordAt(GetCaretPos()); }
  void SelectByLength(int N);
  AnsiString GetSelText();
  void SetSelText(const AnsiString& Text) { ReplaceSelectionInMode(FActiveSelectionMode, Text, true); }
  void ReplaceSelectionInMode(TTxtSelectionMode Mode, const AnsiString& Text, bool AddToUndoList);
  void InsertColumnBlock(const TBufferCoord& Begin, const TBufferCoord& End, const AnsiString& Text,
                         bool AddToUndoList);
  // Replaces the selection (or inserts at the caret) as one undo step.
  void ReplaceSelection(const AnsiString& Text);
  void EraseSelection() {
    if (HasSelection()) ReplaceSelection(AnsiString());
  }
  void ClearAll();
  bool IsPointInSelection(const TBufferCoord& Value) const;

  // ---- coordinates ----
  TBufferCoord TextPosToDisplayPos(const TBufferCoord& P);
  TBufferCoord DisplayPosToTextPos(const TBufferCoord& P);
  TPoint DisplayPosToPixels(const TBufferCoord& P) const;
  TBufferCoord PixelsToDisplayPos(int X, int Y) const;
  TBufferCoord PixelsToNearestDisplayPos(int X, int Y) const;
  TBufferCoord GetDisplayCaret();
  int GetDisplayX() { return GetDisplayCaret().Char; }
  int GetDisplayY() { return WordWrap() ? GetDisplayCaret().Line : FCaretY; }
  bool CaretInView();
  void MoveCaretToPixel(int X, int Y);
  void SetCaretFromDisplay(const TBufferCoord& P);
  void RememberCaretColumn();
  void GoToLineCentered(int Line);
  int DisplayRowCount() const;
  int FirstRowOfLine(int Line) const;
  int LineOfRow(int Row) const;

  // ---- bookmarks ----
  void PlaceBookmark(int Index, int X, int Y);
  void RemoveBookmark(int Index);
  void JumpToBookmark(int Index);
  TTxtEditMark* Bookmark(int Index) const { return Index >= 0 && Index <= 9 ? FBookmarks[Index] : nullptr; }
  bool GetBookmark(int Index, int& X, int& Y) const;

  // ---- navigation (virtual pairs: the caret form and the form for a position) ----
  virtual void JumpToMatchingBracket();
  virtual TBufferCoord MatchingBracket();
  virtual TBufferCoord MatchingBracketFrom(const TBufferCoord& Pos);
  virtual TBufferCoord FollowingWordStart() { return FollowingWordStartFrom(GetCaretPos()); }
  virtual TBufferCoord FollowingWordStartFrom(const TBufferCoord& Pos);
  virtual TBufferCoord CurrentWordStart() { return CurrentWordStartFrom(GetCaretPos()); }
  virtual TBufferCoord CurrentWordStartFrom(const TBufferCoord& Pos);
  virtual TBufferCoord CurrentWordEnd() { return CurrentWordEndFrom(GetCaretPos()); }
  virtual TBufferCoord CurrentWordEndFrom(const TBufferCoord& Pos);
  virtual TBufferCoord PrecedingWordStart() { return PrecedingWordStartFrom(GetCaretPos()); }
  virtual TBufferCoord PrecedingWordStartFrom(const TBufferCoord& Pos);
  AnsiString GetWordAtPos(const TBufferCoord& Pos);
  AnsiString WordAtCaret() { return GetWordAtPos(GetCaretPos()); }
  bool TokenAttributeAt(const TBufferCoord& Pos, AnsiString& Token, TTxtHighlighterAttributes*& Attri);
  bool TokenAttributeAt(const TBufferCoord& Pos, AnsiString& Token, int& TokenType, int& Start,
                        TTxtHighlighterAttributes*& Attri);
  int PositionToOffset(const TBufferCoord& Pos) const;
  TBufferCoord OffsetToPosition(int Index) const;

  // ---- commands ----
  virtual void RunCommand(TTxtEditorCommand Command, char AChar, void* Data);
  virtual void PerformCommand(TTxtEditorCommand Command, char AChar, void* Data);
  void AddCommandHook(const THookedCommandEvent& Handler, void* HandlerData);
  void RemoveCommandHook(const THookedCommandEvent& Handler);
  int CommandHookCount() const { return int(FCommandHooks.size()); }
  TTxtEditorCommand KeyToCommand(Word Code, TShiftState Shift, void*& Data) {
    return FKeyTranslator.KeyToCommand(*FKeystrokes, Code, Shift);
  }
  Word PendingKey() const { return FKeyTranslator.PendingKey; }

  // ---- search and replace ----
  // Finds SearchText through the search engine and selects the match; with
  // sfReplace or sfReplaceAll replaces it (or every match), asking through
  // OnReplaceText with sfPromptOnReplace. Returns the number of matches met.
  int FindReplace(const AnsiString& SearchText, const AnsiString& ReplaceText, TTxtSearchFlags Options);

  // ---- undo ----
  void Undo();
  void Redo();
  bool CanUndo() { return !GetReadOnly() && FUndoList->HasItems(); }
  bool CanRedo() { return !GetReadOnly() && FRedoList->HasItems(); }
  void BeginUndoGroup() { FUndoList->OpenGroup(); }
  void EndUndoGroup() { FUndoList->CloseGroup(); }
  void SuspendUndo() {
    FUndoList->Suspend();
    FRedoList->Suspend();
  }
  void ResumeUndo() {
    FUndoList->Resume();
    FRedoList->Resume();
  }
  void ClearUndoHistory() {
    FUndoList->Clear();
    FRedoList->Clear();
  }
  TTxtEditUndoList* UndoList() const { return FUndoList.get(); }
  TTxtEditUndoList* RedoList() const { return FRedoList.get(); }
  int MaxUndo() const { return FUndoList->MaxItems(); }
  void SetMaxUndo(int Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // ---- clipboard ----
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  bool CanPaste();

  // ---- painting and scrolling ----
  void BeginPaintLock();
  void EndPaintLock();
  void BeginUpdate() { BeginPaintLock(); }
  void EndUpdate() { EndPaintLock(); }
  int PaintLock() const { return FPaintLock; }
  virtual void InvalidateArea(const TRect& Rect, bool Erase);
  void InvalidateGutter() { InvalidateGutterRows(-1, -1); }
  void InvalidateGutterRows(int FirstLine, int LastLine);
  void InvalidateTextLines(int FirstLine, int LastLine);
  void InvalidateTextLine(int Line);
  void InvalidateSelection();
  void MakeCaretVisible() { MakeCaretVisibleCentred(false); }
  void MakeCaretVisibleCentred(bool ForceToMiddle);
  void UpdateScrollBars();
  int TopLine() const { return FTopLine; }
  void SetTopLine(int Value);
  int LeftChar() const { return FLeftChar; }
  void SetLeftChar(int Value);
  int RowsInWindow() const { return FRowsInWindow; }
  int ColumnsInWindow() const { return FColumnsInWindow; }
  int CharWidth() const { return FCharWidth; }
  int LineHeight() const { return FLineHeight; }
  int TextStartX() const { return FTextStartX; }
  int GutterWidth() const { return FGutterWidth; }
  void SetGutterWidth(int W);
  int MaxScrollWidth() const { return FMaxScrollWidth; }
  void SetMaxScrollWidth(int Value);
  // The client rectangle painted since the last call (tests of invalidation).
  TRect PendingInvalidArea() const { return FPendingInvalidArea; }
  bool ThumbTracking() const { return FThumbTracking; }

  // ---- metrics ----
  void CalcTextMetrics();
  void UpdateWindowMetrics(bool ApplyFontChange);
  void ApplyFontChange();
  TheTextDrawer* TextDrawer() const { return FTextDrawer.get(); }
  bool CaretShownUnfocused() const { return FCaretShownUnfocused; }
  void SetCaretShownUnfocused(bool Value);

  // ---- highlighter ranges ----
  void RescanAllRanges();
  int RescanFrom(int Index);

  // ---- input chains and focus controls ----
  void HookKeyDown(const TKeyEvent& H) { FKbdHandler.HookKeyDown(H); }
  void UnhookKeyDown(const TKeyEvent& H) { FKbdHandler.UnhookKeyDown(H); }
  void HookKeyPress(const TKeyPressEvent& H) { FKbdHandler.HookKeyPress(H); }
  void UnhookKeyPress(const TKeyPressEvent& H) { FKbdHandler.UnhookKeyPress(H); }
  void HookMouseDown(const TMouseEvent& H) { FKbdHandler.HookMouseDown(H); }
  void UnhookMouseDown(const TMouseEvent& H) { FKbdHandler.UnhookMouseDown(H); }
  void RegisterFocusControl(TWinControl* Control);
  void UnregisterFocusControl(TWinControl* Control);
  int FocusControlCount() const { return int(FFocusControls.size()); }
  void SetFocus() override;
  int PendingImeChars() const { return FPendingImeChars; }

  // ---- published properties ----
  TColor ActiveLineColor() const { return FActiveLineColor; }
  void SetActiveLineColor(TColor Value);
  TTxtBookMarkOpt* BookMarkOptions() const { return FBookMarkOptions.get(); }
  void SetBookMarkOptions(TTxtBookMarkOpt* Value) { FBookMarkOptions->Assign(Value); }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int ExtraLineSpacing() const { return FExtraLineSpacing; }
  void SetExtraLineSpacing(int Value);
  TTxtGutter* Gutter() const { return FGutter.get(); }
  void SetGutter(TTxtGutter* Value) { FGutter->Assign(Value); }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TTxtCustomHighlighter* Highlighter() const { return FHighlighter; }
  void SetHighlighter(TTxtCustomHighlighter* Value);
  TTxtEditCaretType InsertCaret() const { return FInsertCaret; }
  void SetInsertCaret(TTxtEditCaretType Value);
  bool InsertMode() const { return FInsertMode; }
  void SetInsertMode(bool Value);
  TTxtEditKeyStrokes* Keystrokes() const { return FKeystrokes.get(); }
  void SetKeystrokes(TTxtEditKeyStrokes* Value);
  TTxtEditorOptions Options() const { return FOptions; }
  void SetOptions(TTxtEditorOptions Value);
  TTxtEditCaretType OverwriteCaret() const { return FOverwriteCaret; }
  void SetOverwriteCaret(TTxtEditCaretType Value);
  bool ReadOnly() { return GetReadOnly(); }
  void SetReadOnlyProp(bool Value) { SetReadOnly(Value); }
  int RightEdge() const { return FRightEdge; }
  void SetRightEdge(int Value);
  TColor RightEdgeColor() const { return FRightEdgeColor; }
  void SetRightEdgeColor(TColor Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TColor ScrollHintColor() const { return FScrollHintColor; }
  void SetScrollHintColor(TColor Value) { FScrollHintColor = Value; }
  TScrollHintFormat ScrollHintFormat() const { return FScrollHintFormat; }
  void SetScrollHintFormat(TScrollHintFormat Value) { FScrollHintFormat = Value; }
  TTxtEditSearchCustom* SearchEngine() const { return FSearchEngine; }
  void SetSearchEngine(TTxtEditSearchCustom* Value);
  TTxtSelectedColor* SelectedColor() const { return FSelectedColor.get(); }
  void SetSelectedColor(TTxtSelectedColor* Value) { FSelectedColor->Assign(Value); }
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool WordWrap() const { return FWordWrapPlugin != nullptr; }
  void SetWordWrap(bool Value);
  TTxtGlyph* WordWrapGlyph() const { return FWordWrapGlyph.get(); }
  void SetWordWrapGlyph(TTxtGlyph* Value) { FWordWrapGlyph->Assign(Value); }
  ITxtEditBufferPlugin* WordWrapPlugin() const { return FWordWrapPlugin.get(); }
  TTxtEditMarkList* Marks() const { return FMarks.get(); }
  Word EditorState() const { return FEditorState; }
  bool ShowingSpecialChars() const { return FShowingSpecialChars; }

  // ---- events ----
  TNotifyEvent OnChange;
  TPlaceMarkEvent OnClearBookmark;
  TProcessCommandEvent OnCommandProcessed;
  TDropFilesEvent OnDropFiles;
  TGutterClickEvent OnGutterClick;
  TTxtMouseCursorEvent OnMouseCursor;
  TTxtPaintEvent OnPaint;
  TPlaceMarkEvent OnPlaceBookmark;
  TProcessCommandEvent OnProcessCommand;
  TProcessCommandEvent OnProcessUserCommand;
  TReplaceTextEvent OnReplaceText;
  TSpecialLineColorsEvent OnSpecialLineColors;
  TContextHelpEvent OnContextHelp;
  TPaintTransient OnPaintTransient;
  TTxtScrollEvent OnScroll;
  TGutterGetTextEvent OnGutterGetText;
  TGutterPaintEvent OnGutterPaint;
  TStatusChangeEvent OnStatusChange;

  // ---- for plug-ins and descendants ----
  void AddStatusChanges(TTxtStatusChanges Changes);
  void DoLinesDeleted(int FirstLine, int Count);
  void DoLinesInserted(int FirstLine, int Count);
  int LeadingBlankCount(const AnsiString& Text, bool ExpandTabs) const;
  AnsiString BlankRun(int Width, bool WantTabs) const;
  void UpdateAutoScroll(int X, int Y);
  bool IsEditorFamily(TObject* Source) const;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void DragCanceled();
  void DoEndDrag(TObject* Target, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

 protected:
  // ---- virtual operations of the control ----
  virtual void FireChange();
  virtual bool GetReadOnly() { return FReadOnly; }
  virtual void StoreChanged(TObject* Sender);
  virtual void RunCommandHooks(bool AfterProcessing, TTxtEditorCommand& Command, char& AChar, void* Data);
  virtual void DrawGutterArea(const TRect& Clip, int FirstRow, int LastRow);
  virtual void DrawTextArea(const TRect& Clip, int FirstRow, int LastRow, int FirstColumn, int LastColumn);
  virtual void MoveCaretTo(TBufferCoord P) { PlaceCaret(true, P); }
  virtual void SetCaretAndCollapse(const TBufferCoord& P);
  virtual void PlaceCaret(bool EnsureVisible, TBufferCoord P);
  virtual void SetReadOnly(bool Value);
  virtual void ChooseMouseCursor();
  virtual void FireClearBookmark(TTxtEditMark*& Mark);
  virtual void FireCommandProcessed(TTxtEditorCommand& Command, char& AChar, void* Data);
  virtual void FireGutterClick(TMouseButton Button, int X, int Y);
  virtual void FirePaint();
  virtual void FirePaintTransientNested(TTransientType TransientType, bool Lock);
  virtual void FirePaintTransient(TTransientType TransientType) { FirePaintTransientNested(TransientType, false); }
  virtual void FirePlaceBookmark(TTxtEditMark*& Mark);
  virtual void FireProcessCommand(TTxtEditorCommand& Command, char& AChar, void* Data);
  virtual void FireReplaceText(const AnsiString& ASearch, const AnsiString& AReplace, int Line, int Column,
                               TTxtReplaceAction& Action);
  virtual bool FireSpecialLineColors(int Line, TColor& Foreground, TColor& Background);
  virtual void FireStatusChange(TTxtStatusChanges Changes);
  virtual void ResetKeystrokes();

  // ---- platform control ----
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void DefineProperties(TFiler* Filer) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void SetTextValue(const AnsiString& Value) override;
  void FontChanged(TObject* Sender) override;

  // ---- messages ----
  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
  void WMGetDlgCode(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMSize(TWMSize& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMCancelMode(TMessage& Message) {}
  void WMCaptureChanged(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMImeComposition(TMessage& Message);
  void WMImeNotify(TMessage& Message);
  void WMSysChar(TWMKey& Message);
  void WMDropFiles(TMessage& Message);
  void WMCut(TMessage& Message);
  void WMCopy(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void WMUndo(TMessage& Message);

  // ---- internals shared by the parts of the control ----
  bool Has(TTxtEditorOption O) const { return FOptions.Contains(O); }
  bool State(Word Flag) const { return (FEditorState & Flag) != 0; }
  void SetState(Word Flag, bool On) { FEditorState = On ? Word(FEditorState | Flag) : Word(FEditorState & ~Flag); }
  void SetOptionQuietly(TTxtEditorOption O, bool On) {
    if (On) FOptions << O;
    else FOptions >> O;
  }
  TColor LineBackground(int Line);
  TColor ColorOf(TColor C) const { return C; }
  int LongestLineWidth() { return FLines->LongestLineWidth(); }
  void StoreLine(int Line, const AnsiString& Text);  // 1-based; trims with eoTrimTrailingSpaces
  // The text to store on Line: trimmed at once outside an edit, kept whole
  // inside one (the line is trimmed when the edit ends) and while undoing.
  AnsiString TextToStore(int Line, const AnsiString& Text);
  // An edit: lines stored inside it lose their trailing blanks when the
  // outermost one ends, and the blanks that were there before the edit are
  // recorded as part of its undo step.
  void BeginEdit();
  void EndEdit();
  void TrimEditedLines();
  AnsiString LineAt(int Line) const { return FLines->Get(Line - 1); }  // 1-based, "" outside
  int LineCount() const { return FLines->Count(); }
  bool IsTrailAt(const AnsiString& S, int Column) const;  // column (1-based) on a second byte
  TBufferCoord MoveOffTrail(const TBufferCoord& P, int Direction) const;
  void CreateSystemCaret();
  void PositionSystemCaret();
  void ShowCaretNow();
  void HideCaretNow();
  void DestroySystemCaret();
  bool HasFocusNow();
  void StepCaretHorizontally(int DX, bool SelectionCommand);
  void StepCaretVertically(int DY, bool SelectionCommand);
  void MoveCaretWithSelection(const TBufferCoord& Before, const TBufferCoord& After, bool SelectionCommand);
  void CaretCommand(TTxtEditorCommand Command, void* Data);
  void LineStartTarget(bool Sel);
  void LineEndTarget(bool Sel);
  void ScrollCommand(TTxtEditorCommand Command);
  void SetMarkerCommand(int Index, void* Data);
  void EditCommand(TTxtEditorCommand Command, char AChar, void* Data);
  void EditCommandBody(TTxtEditorCommand Command, char AChar, void* Data);
  void DeleteLastChar();
  void DeleteChar();
  void DeleteWordOrEol(bool Eol);
  void DeleteLastWordOrBol(bool Bol);
  void DeleteLine();
  void InsertLineBreak(bool MoveCaret);
  void TypeChar(char AChar);
  void InsertImeString(const char* Text);
  void TabCommand();
  void ShiftTabCommand();
  void BlockIndent();
  void BlockUnindent();
  void CaseCommand(TTxtEditorCommand Command);
  void DeleteSelectionByKey();
  int InsertStream(const AnsiString& Text);
  int InsertColumn(const AnsiString& Text, bool AddToUndoList);
  int InsertLines(const AnsiString& Text);
  void DeleteSelectionInMode();
  // The selection collapses onto the caret (after a command that moved the caret itself).
  void CollapseSelectionAtCaret();
  // Records the deletion of the selection as it will happen: a stream span in
  // normal mode, the lines it covers in line mode, one span per line of a
  // column block. ByKey: a normal selection made backwards is recorded as
  // urReverseDelete.
  void RecordSelectionDeletion(bool ByKey);
  // Records the last insertion (FInsertFrom..FInsertTo) with Reason.
  void RecordInsertion(TTxtUndoReason Reason);
  void ReplayUndoRecord();
  void ShiftTrimLines(int Index, int Count);
  void ReplayRedoRecord();
  void UndoItemAdded(TObject* Sender);
  void UpdateModifiedFromSavePoint();
  void CopyTextToClipboard(const AnsiString& Text);
  void DoPasteFromClipboard();
  void GutterChanged(TObject* Sender);
  void SelectedColorChanged(TObject* Sender);
  void BookMarkOptionsChanged(TObject* Sender);
  void MarksChanged(TObject* Sender);
  void WordWrapGlyphChanged(TObject* Sender);
  void HighlighterAttrChanged(TObject* Sender);
  void StoreChanging(TObject* Sender);
  void StoreCleared(TObject* Sender);
  void StoreDeleted(TObject* Sender, int Index, int Count);
  void StoreInserted(TObject* Sender, int Index, int Count);
  void StorePut(TObject* Sender, int Index, int Count);
  void AutoScrollStep(TObject* Sender);
  void UpdateScrollBarsNow();
  void ShowScrollHint();
  void HideScrollHint();
  void ReadRemovedKeystrokes(TReader* Reader);
  void ReadAddedKeystrokes(TReader* Reader);
  // Painting helpers (painting).
  struct PaintState;
  void PaintRows(PaintState& S);
  void DrawMarkGlyph(TTxtEditMark* Mark, int& Offset, int Row, bool FirstGroup);
  void UpdateDropFiles(bool Accept);

  // ---- fields ----
  bool FCaretShownUnfocused = false;
  TBufferCoord FSelectionAnchor{1, 1};
  TBufferCoord FSelectionFocus{1, 1};
  int FCaretX = 1;
  int FKeptCaretColumn = 1;
  int FCaretY = 1;
  int FColumnsInWindow = 0;
  int FCharWidth = 0;
  std::unique_ptr<TFont> FFixedPitchFont;
  int FPendingImeChars = 0;
  bool FPrevRowEndedWrap = false;
  bool FInsertMode = true;
  std::unique_ptr<TTxtEditStringList> FLines;
  int FRowsInWindow = 0;
  int FLeftChar = 1;
  int FMaxScrollWidth = 1024;
  int FPaintLock = 0;
  bool FReadOnly = false;
  int FRightEdge = 80;
  TColor FRightEdgeColor = clSilver;
  TColor FScrollHintColor = clInfoBk;
  TScrollHintFormat FScrollHintFormat = shfTopLineOnly;
  TScrollStyle FScrollBars = ssBoth;
  int FLineHeight = 0;
  int FTextStartX = 0;
  int FTopLine = 1;
  TTxtCustomHighlighter* FHighlighter = nullptr;
  std::unique_ptr<TTxtSelectedColor> FSelectedColor;
  TColor FActiveLineColor = clNone;
  std::unique_ptr<TTxtEditUndoList> FUndoList;
  std::unique_ptr<TTxtEditUndoList> FRedoList;
  TTxtEditMark* FBookmarks[10] = {};
  int FPressPointX = 0, FPressPointY = 0;
  std::unique_ptr<TTxtBookMarkOpt> FBookMarkOptions;
  TBorderStyle FBorderStyle = bsSingle;
  bool FHideSelection = false;
  int FWheelRemainder = 0;
  TTxtEditCaretType FOverwriteCaret = ctBlock;
  TTxtEditCaretType FInsertCaret = ctVerticalLine;
  TPoint FCaretShapeOffset{0, 0};
  std::unique_ptr<TTxtEditKeyStrokes> FKeystrokes;
  bool FModified = false;
  std::unique_ptr<TTxtEditMarkList> FMarks;
  int FExtraLineSpacing = 0;
  TTxtSelectionMode FSelectionMode = smNormal;
  TTxtSelectionMode FActiveSelectionMode = smNormal;
  bool FWantReturns = true;
  bool FWantTabs = false;
  std::unique_ptr<ITxtEditBufferPlugin> FWordWrapPlugin;
  std::unique_ptr<TTxtGlyph> FWordWrapGlyph;
  bool FCaretAtWrapEnd = false;
  std::unique_ptr<TTxtGutter> FGutter;
  int FTabWidth = 8;
  std::unique_ptr<TheTextDrawer> FTextDrawer;
  TRect FPendingInvalidArea{0, 0, 0, 0};
  Word FEditorState = 0;
  TTxtEditorOptions FOptions = TxtDefaultOptions;
  TTxtStatusChanges FStatusChanges;
  TTxtKeyTranslator FKeyTranslator;
  TTxtEditSearchCustom* FSearchEngine = nullptr;
  struct HookEntry {
    THookedCommandEvent Handler;
    void* Data;
  };
  std::vector<HookEntry> FCommandHooks;
  TTxtEditKbdHandler FKbdHandler;
  std::vector<TWinControl*> FFocusControls;
  std::vector<TTxtEditPlugin*> FPluginList;
  std::unique_ptr<TTimer> FAutoScrollTimer;
  int FAutoScrollStepX = 0, FAutoScrollStepY = 0;
  bool FShowingSpecialChars = false;
  int FTransientPaintDepth = 0;
  bool FThumbTracking = false;
  int FGutterWidth = 0;
  std::unique_ptr<TTxtInternalImageStrip> FInternalImage;
  bool FDestroying = false;
  bool FDragSource = false;  // a drag started here is in progress
  bool FUpdatingScrollBars = false;  // UpdateScrollBars is running
  bool FScrollBarsAgain = false;     // and was asked again meanwhile
  int FEditDepth = 0;
  int FReplayDepth = 0;           // undo or redo is replaying records
  std::vector<int> FTrimLines;    // lines stored by the running edit (1-based)
  TTxtEditUndoItem* FEditTop = nullptr;  // newest undo item when the edit began
  int FEditCount = 0;             // and the number of items then
  // Where the last insertion into the lines changed the text, as a stream
  // span from FInsertFrom to FInsertTo, and the text it replaced there
  // (filler made past a line's end starts the span at that end; lines
  // overwritten in line mode are the replaced text): what an exact undo
  // record of the insertion holds.
  TBufferCoord FInsertFrom{1, 1};
  TBufferCoord FInsertTo{1, 1};
  AnsiString FInsertOver;

  friend class TTxtEditPlugin;
  friend class TTxtWordWrapPlugin;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_GETTEXT, TMessage, WMGetText)
    PV_MESSAGE_HANDLER(WM_GETTEXTLENGTH, TMessage, WMGetTextLength)
    PV_MESSAGE_HANDLER(WM_SETTEXT, TMessage, WMSetText)
    PV_MESSAGE_HANDLER(WM_IME_COMPOSITION, TMessage, WMImeComposition)
    PV_MESSAGE_HANDLER(WM_IME_NOTIFY, TMessage, WMImeNotify)
    PV_MESSAGE_HANDLER(WM_SYSCHAR, TWMKey, WMSysChar)
    PV_MESSAGE_HANDLER(WM_DROPFILES, TMessage, WMDropFiles)
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCut)
    PV_MESSAGE_HANDLER(WM_COPY, TMessage, WMCopy)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMPaste)
    PV_MESSAGE_HANDLER(WM_CLEAR, TMessage, WMClear)
    PV_MESSAGE_HANDLER(WM_UNDO, TMessage, WMUndo)
  END_MESSAGE_MAP(TCustomControl)
};

// The published editor.
class TTxtEdit : public TCustomTxtEdit {
  PV_CLASS(TTxtEdit, TCustomTxtEdit)
 public:
  explicit TTxtEdit(TComponent* AOwner) : TCustomTxtEdit(AOwner) {}
};

// The format name of the private clipboard block and its identifier.
extern const char* const TxtEditClipboardFormatName;  // "TxtEdit Control Block Type"
UINT TxtEditClipboardFormat();

// The hint window shared by all editors while a thumb is dragged (nil before
// first use), and its release at shut-down.
THintWindow* TxtScrollHintWindow();
void FreeTxtScrollHintWindow();

// Registers TTxtEdit with its published properties; part of the editor's start-up.
void RegisterTxtEditClasses();
