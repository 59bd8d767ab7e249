// The completion list: a pop-up window of items next to an editor's caret,
// in three kinds (a filtered code list, a hint box, a parameter box), with
// item texts that may carry inline formatting commands; and the component
// that attaches the list to editors, opens it by a shortcut or a timer and
// puts the chosen item in place of the word before the caret.
//
// Item text format: plain characters are text; "\\" is one backslash;
// "\word{argument}" is a command, the word compared without case:
//   color{name or number}  the following text in that colour
//   style{+B} style{-I} style{~U}  add, remove or toggle bold, italic,
//                          strike-out (S) or underline (U)
//   column{}               move to the next column
//   hspace{n}              n pixels of space
//   image{n}               image n of the image list
// An unknown command or an argument that does not convert is skipped; a
// command with no "{" or no "}" before the end hides the rest of the text.
#pragma once
#include <memory>
#include <vector>

#include "editor/txtedit.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"
#include "platform/controls/timers.h"

enum TTxtCompletionType { ctCode, ctHint, ctParams };
PV_ENUM_NAMES(TTxtCompletionType, "ctCode ctHint ctParams")

enum TTxtCompletionOption {
  scoAnsiStrings, scoCaseSensitive, scoLimitToMatchedText, scoTitleIsCentered, scoUseInsertList,
  scoUsePrettyText, scoUseBuiltInTimer, scoEndCharCompletion, scoConsiderWordBreakChars, scoCompleteWithTab,
  scoCompleteWithEnter
};
using TTxtCompletionOptions = TSet<TTxtCompletionOption>;
PV_ENUM_NAMES(TTxtCompletionOption,
              "scoAnsiStrings scoCaseSensitive scoLimitToMatchedText scoTitleIsCentered scoUseInsertList "
              "scoUsePrettyText scoUseBuiltInTimer scoEndCharCompletion scoConsiderWordBreakChars "
              "scoCompleteWithTab scoCompleteWithEnter")
inline const TTxtCompletionOptions TxtDefaultProposalOptions{scoLimitToMatchedText, scoEndCharCompletion,
                                                             scoCompleteWithTab, scoCompleteWithEnter};

// ---------------------------------------------------------------- item texts

enum TFormatChunkKind { fkText, fkColor, fkStyle, fkColumn, fkHSpace, fkImage };
using TFormatChunkKinds = TSet<TFormatChunkKind>;

struct TFormatChunk {
  AnsiString Str;  // the text of an fkText chunk
  TFormatChunkKind Kind = fkText;
  int Data = 0;           // the colour (fkColor) or the number (fkHSpace, fkImage)
  char StyleLetter = 0;   // fkStyle: 'B', 'I', 'S' or 'U'
  int StyleAction = 0;    // fkStyle: +1 add, -1 remove, 0 toggle
};
using TFormatChunkList = std::vector<TFormatChunk>;

class TProposalColumns;

// Fills List with the chunks of Text, leaving out those whose kind is in Mask.
void ParseItemText(const AnsiString& Text, TFormatChunkList& List, TFormatChunkKinds Mask);
// Draws the chunks from Rect's left edge on its top line (or only measures
// them) and returns the x reached.
int DrawChunks(TCanvas* Canvas, const TRect& Rect, const TFormatChunkList& List, bool MeasureOnly,
               TCustomImageList* Images, TProposalColumns* Columns);
void DrawItemText(TCanvas* Canvas, const TRect& Rect, const AnsiString& Text, TCustomImageList* Images,
                  TProposalColumns* Columns, bool Selected);
int MeasureItemText(TCanvas* Canvas, const AnsiString& Text, TProposalColumns* Columns,
                    TCustomImageList* Images);
// The text of an item without its commands.
AnsiString PlainItemText(const AnsiString& Text);
// The pieces of a comma-separated list joined by blanks, piece Index in bold.
AnsiString FormatParameters(const AnsiString& Text, int Index);

// ---------------------------------------------------------------- columns

class TProposalColumn : public TCollectionItem {
  PV_CLASS(TProposalColumn, TCollectionItem)
 public:
  explicit TProposalColumn(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  const AnsiString& BiggestWord() const { return FBiggestWord; }
  void SetBiggestWord(const AnsiString& Value);
  TFontStyles DefaultFontStyle() const { return FDefaultFontStyle; }
  void SetDefaultFontStyle(TFontStyles Value);
  int InternalWidth() const { return FInternalWidth; }

 private:
  AnsiString FBiggestWord = "CONSTRUCTOR";
  int FInternalWidth = -1;
  TFontStyles FDefaultFontStyle;
};

class TProposalColumns : public TOwnedCollection {
  PV_CLASS(TProposalColumns, TOwnedCollection)
 public:
  TProposalColumns(TPersistent* AOwner, TCollectionItemClass ItemClass) : TOwnedCollection(AOwner, ItemClass) {}
  TProposalColumn* Add() { return static_cast<TProposalColumn*>(TCollection::Add()); }
  TProposalColumn* Items(int Index) const { return static_cast<TProposalColumn*>(TCollection::Items(Index)); }
};

// ---------------------------------------------------------------- the list window

class TTxtBaseCompletionProposal;

using TCompletionExecute = TEvent<void(TTxtCompletionType Kind, TObject* Sender, AnsiString& CurrentInput, int& x,
                                       int& y, bool& CanExecute)>;
using TCompletionChange = TEvent<void(TObject* Sender, int AIndex)>;
using TTxtBaseCompletionProposalPaintItem =
    TEvent<void(TObject* Sender, int Index, TCanvas* TargetCanvas, const TRect& ItemRect, bool& CustomDraw)>;
using TTxtBaseCompletionProposalMeasureItem =
    TEvent<void(TObject* Sender, int Index, TCanvas* TargetCanvas, int& ItemWidth)>;
using TCompletionParameter = TEvent<void(TObject* Sender, int CurrentIndex, int& Level, int& IndexToDisplay,
                                         char& Key, AnsiString& DisplayString)>;
using TCompletionAccept = TEvent<void(TObject* Sender, TShiftState Shift, char EndToken)>;

class TTxtBaseCompletionProposalForm : public TCustomForm {
  PV_CLASS(TTxtBaseCompletionProposalForm, TCustomForm)
 public:
  TTxtBaseCompletionProposalForm(TComponent* AOwner, TTxtBaseCompletionProposal* Proposal);
  ~TTxtBaseCompletionProposalForm() override;

  void CreateParams(TCreateParams& Params) override;
  bool CanResize(int& NewWidth, int& NewHeight) override;

  // ---- lists and filtering ----
  TStringList* ItemList() const { return FItemList.get(); }
  TStringList* InsertList() const { return FInsertList.get(); }
  TStringList* ShownList() const { return FShownList.get(); }
  void SetItemList(TStrings* Value);
  void SetInsertList(TStrings* Value) { FInsertList->Assign(Value); }
  // The shown list becomes every item (no filtering yet).
  void ShowAllItems();
  const AnsiString& TypedText() const { return FTypedText; }
  void SetTypedText(const AnsiString& Value);
  bool ItemMatches(int I, bool FromItemList) const;
  void RebuildShownList();
  int OriginalIndex(int I) const;

  // ---- selection and scrolling ----
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  void MoveSelection(int Delta);
  int NbLinesInWindow() const { return FNbLinesInWindow; }
  void SetNbLinesInWindow(int Value);
  int TopRow() const { return FScrollbar->Position(); }
  TScrollBar* Scrollbar() const { return FScrollbar; }
  void AdjustScrollBar();

  // ---- look ----
  TFont* ItemFont() const { return FFont.get(); }
  void SetItemFont(TFont* Value);
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value);
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int RowHeight() const { return FEffectiveItemHeight; }
  int FontHeight() const { return FFontHeight; }
  int TitleHeight() const { return FTitleHeight; }
  int Margin() const { return FMargin; }
  void SetMargin(int Value) { FMargin = Value; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value) { FImages = Value; }
  bool Resizeable() const { return FResizeable; }
  void SetResizeable(bool Value);
  TColor ClSelect = clHighlight;
  TColor ClSelectedText = clHighlightText;
  TColor ClBackground = clWindow;
  TColor ClTitleBackground = clBtnFace;

  // ---- kind and options ----
  TTxtCompletionType CurrentKind() const { return FCurrentKind; }
  void SetCurrentKind(TTxtCompletionType Value) { FCurrentKind = Value; }
  TTxtCompletionType DefaultType() const { return FDefaultType; }
  void SetDefaultType(TTxtCompletionType Value);
  // The option bits the window follows (bits 0-5, 9 and 10 of the proposal's).
  TTxtCompletionOptions Flags() const { return FFlags; }
  void SetFlags(TTxtCompletionOptions Value) { FFlags = Value; }
  int CurrentParameter = 0;
  TTxtCharSet WordBreakChars;
  AnsiString EndOfTokenChr;
  AnsiString TriggerChars;
  TProposalColumns* Columns() const;

  // ---- the editor served ----
  TCustomTxtEdit* CurrentEditor() const { return FCurrentEditor; }
  void SetCurrentEditor(TCustomTxtEdit* Value) { FCurrentEditor = Value; }

  // Sizes the window for its kind and places it at (X, Y) on the screen,
  // above the caret line when it would leave the screen at the bottom.
  void LayoutForm(int X, int Y);
  // Shows the window without making it active (the hint kinds), or shown
  // and active (the code list).
  void ShowQuietly();
  void ShowActive();

  // Events for the component that attaches the list to editors.
  TCompletionAccept OnAccept;
  TNotifyEvent OnCancelList;
  TKeyPressEvent OnListKeyPress;

 protected:
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Activate() override;
  void Deactivate() override;
  void DoShow() override;
  void DoHide() override;

  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
  void WMGetDlgCode(TMessage& Message);
  void WMActivate2(TMessage& Message);

 private:
  void RecalcItemHeight();
  void ResizeBitmaps();
  void ScrollbarChange(TObject* Sender);
  void ScrollbarScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void ScrollbarEnter(TObject* Sender);
  void PaintCode();
  void PaintHint();
  void FireChange(int Row);
  // The editor runs a command as if typed.
  void EditorCommand(TTxtEditorCommand Command, char AChar = 0);

  TTxtBaseCompletionProposal* FProposal;
  AnsiString FTypedText;
  std::unique_ptr<TStringList> FItemList, FInsertList, FShownList;
  std::vector<int> FShownIndex;  // the ItemList index of each shown row
  int FSelectedIndex = 0;
  int FNbLinesInWindow = 8;
  int FFontHeight = 0;
  int FTitleFontHeight = 0;
  int FEffectiveItemHeight = 0;
  TScrollBar* FScrollbar = nullptr;
  std::unique_ptr<TBitmap> FBitmap, FTitleBitmap;
  TCustomTxtEdit* FCurrentEditor = nullptr;
  AnsiString FTitle;
  std::unique_ptr<TFont> FFont, FTitleFont;
  bool FResizeable = true;
  int FItemHeight = 0;
  int FMargin = 2;
  TCustomImageList* FImages = nullptr;
  TTxtCompletionOptions FFlags{scoAnsiStrings, scoTitleIsCentered};
  int FMouseWheelAccumulator = 0;
  TTxtCompletionType FCurrentKind = ctCode;
  TTxtCompletionType FDefaultType = ctCode;
  bool FSavedCaretShownUnfocused = false;
  int FTitleHeight = 0;
  bool FCreating = true;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate2)
  END_MESSAGE_MAP(TCustomForm)
};

// ---------------------------------------------------------------- the base component

class TTxtBaseCompletionProposal : public TComponent {
  PV_CLASS(TTxtBaseCompletionProposal, TComponent)
 public:
  explicit TTxtBaseCompletionProposal(TComponent* AOwner);
  ~TTxtBaseCompletionProposal() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- virtual operations ----
  virtual void SetOptions(TTxtCompletionOptions Value);
  virtual void CloseParameterHint() {}
  virtual void EditorCommandHook(TObject* Sender, bool AfterProcessing, bool& Handled, TTxtEditorCommand& Command,
                                 char& AChar, void* Data, void* HandlerData) {}
  virtual void ExecuteAt(const AnsiString& CurrentInput, int X, int Y, TTxtCompletionType Kind);

  void Execute(const AnsiString& CurrentInput, int X, int Y) { ExecuteAt(CurrentInput, X, Y, FForm->DefaultType()); }
  TTxtBaseCompletionProposalForm* Form() const { return FForm; }
  bool Active() const { return FForm->Visible(); }
  void ResetAssignedList() { FForm->ShowAllItems(); }

  // ---- published ----
  TTxtCompletionType DefaultType() const { return FForm->DefaultType(); }
  void SetDefaultType(TTxtCompletionType Value);
  TTxtCompletionOptions Options() const { return FOptions; }
  TStrings* ItemList() const { return FForm->ItemList(); }
  void SetItemList(TStrings* Value) { FForm->SetItemList(Value); }
  TStrings* InsertList() const { return FForm->InsertList(); }
  void SetInsertList(TStrings* Value) { FForm->SetInsertList(Value); }
  int NbLinesInWindow() const { return FNbLinesInWindow; }
  void SetNbLinesInWindow(int Value);
  TColor ClSelect() const { return FForm->ClSelect; }
  void SetClSelect(TColor Value) { FForm->ClSelect = Value; }
  TColor ClSelectedText() const { return FForm->ClSelectedText; }
  void SetClSelectedText(TColor Value) { FForm->ClSelectedText = Value; }
  TColor ClBackground() const { return FForm->ClBackground; }
  void SetClBackground(TColor Value) { FForm->ClBackground = Value; }
  TColor ClTitleBackground() const { return FForm->ClTitleBackground; }
  void SetClTitleBackground(TColor Value) { FForm->ClTitleBackground = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  const AnsiString& EndOfTokenChr() const { return FForm->EndOfTokenChr; }
  void SetEndOfTokenChr(const AnsiString& Value) { FForm->EndOfTokenChr = Value; }
  const AnsiString& TriggerChars() const { return FForm->TriggerChars; }
  void SetTriggerChars(const AnsiString& Value) { FForm->TriggerChars = Value; }
  const AnsiString& Title() const { return FForm->Title(); }
  void SetTitle(const AnsiString& Value) { FForm->SetTitle(Value); }
  TFont* Font() const { return FForm->ItemFont(); }
  void SetFont(TFont* Value) { FForm->SetItemFont(Value); }
  TFont* TitleFont() const { return FForm->TitleFont(); }
  void SetTitleFont(TFont* Value) { FForm->SetTitleFont(Value); }
  TProposalColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TProposalColumns* Value) { FColumns->Assign(Value); }
  bool Resizeable() const { return FForm->Resizeable(); }
  void SetResizeable(bool Value) { FForm->SetResizeable(Value); }
  int ItemHeight() const { return FForm->ItemHeight(); }
  void SetItemHeight(int Value) { FForm->SetItemHeight(Value); }
  TCustomImageList* Images() const { return FForm->Images(); }
  void SetImages(TCustomImageList* Value);
  int Margin() const { return FForm->Margin(); }
  void SetMargin(int Value) { FForm->SetMargin(Value); }

  TCompletionChange OnChange;
  TNotifyEvent OnClose;
  TCompletionExecute OnExecute;
  TTxtBaseCompletionProposalMeasureItem OnMeasureItem;
  TTxtBaseCompletionProposalPaintItem OnPaintItem;
  TCompletionParameter OnParameterToken;
  TNotifyEvent OnShow;

 protected:
  friend class TTxtBaseCompletionProposalForm;
  TTxtBaseCompletionProposalForm* FForm = nullptr;
  TTxtCompletionOptions FOptions = TxtDefaultProposalOptions;
  int FNbLinesInWindow = 8;
  int FWidth = 260;
  std::unique_ptr<TProposalColumns> FColumns;
  // The character set of the word-break characters the list applies.
  TTxtCharSet& WordBreakChars() { return FForm->WordBreakChars; }
};

// ---------------------------------------------------------------- attached to editors

using TCodeCompletionEvent =
    TEvent<void(TObject* Sender, AnsiString& Value, TShiftState Shift, int Index, char EndToken)>;
using TAfterCodeCompletionEvent =
    TEvent<void(TObject* Sender, const AnsiString& Value, TShiftState Shift, int Index, char EndToken)>;

class TTxtCompletionProposal : public TTxtBaseCompletionProposal {
  PV_CLASS(TTxtCompletionProposal, TTxtBaseCompletionProposal)
 public:
  explicit TTxtCompletionProposal(TComponent* AOwner);
  ~TTxtCompletionProposal() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void SetOptions(TTxtCompletionOptions Value) override;
  void CloseParameterHint() override;
  void EditorCommandHook(TObject* Sender, bool AfterProcessing, bool& Handled, TTxtEditorCommand& Command,
                         char& AChar, void* Data, void* HandlerData) override;
  void ExecuteAt(const AnsiString& CurrentInput, int X, int Y, TTxtCompletionType Kind) override;
  virtual void ShowForEditor(TCustomTxtEdit* E);

  void AttachEditor(TCustomTxtEdit* E);
  void DetachEditor(TCustomTxtEdit* E);
  int EditorCount() const { return int(FEditors.size()); }
  TCustomTxtEdit* Editors(int Index) const { return FEditors.at(Index); }
  void CancelList();
  void HideList();
  void InsertSelection(TObject* Sender, TShiftState Shift, char EndToken);

  // The word before the caret and where it starts; the token before a
  // delimiter left of the caret.
  AnsiString WordBeforeCaret(TCustomTxtEdit* E);
  AnsiString TokenBeforeDelimiter(TCustomTxtEdit* E);
  int CompletionStart() const { return FCompletionStart; }
  bool KeySwallowPending() const { return FNoNextKey; }
  TTimer* Timer() const { return FTimer.get(); }
  AnsiString PreviousToken;

  // ---- published ----
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  TCustomTxtEdit* Editor() const { return FEditor; }
  void SetEditor(TCustomTxtEdit* Value);
  int TimerInterval() const { return FTimerInterval; }
  void SetTimerInterval(int Value);
  TCodeCompletionEvent OnCodeCompletion;
  TAfterCodeCompletionEvent OnAfterCodeCompletion;
  TNotifyEvent OnCancelled;

 private:
  void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void EditorKeyPress(TObject* Sender, char& Key);
  void TimerExecute(TObject* Sender);
  void ListCancelled(TObject* Sender);
  void ListKeyPress(TObject* Sender, char& Key);
  void StopTimer() {
    if (FTimer) FTimer->SetEnabled(false);
  }
  bool IsAttached(TCustomTxtEdit* E) const;
  void RebuildWordBreakChars(TCustomTxtEdit* E);

  std::vector<TCustomTxtEdit*> FEditors;
  TShortCut FShortCut;
  bool FNoNextKey = false;
  int FCompletionStart = 0;
  bool FAdjustCompletionStart = false;
  std::unique_ptr<TTimer> FTimer;
  int FTimerInterval = 1000;
  TCustomTxtEdit* FEditor = nullptr;
};

// Registers the completion classes and their published properties.
void RegisterCompletionClasses();
