// Class-library wrappers of the standard window classes: buttons (push, check
// box, radio button), the group box and the single-line edit.
#pragma once
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdwnd.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/stringlist.h"

// The base of push buttons, check boxes and radio buttons.
class TButtonControl : public TWinControl {
  PV_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* AOwner);
  virtual bool Checked() { return false; }
  virtual void SetChecked(bool) {}
};

class TButton : public TButtonControl {
  PV_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return FDefault; }
  virtual void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Sets the form's ModalResult, then runs OnClick.
  void Click() override;
  void CreateParams(TCreateParams& Params) override;

 protected:
  void CNCommand(TWMCommand& Message);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  // Shows the button as the one Enter presses.
  void SetButtonStyle(bool ADefault);
  bool FDefault = false;
  bool FCancel = false;
  // Enter presses this button: it has the focus, or it is the default one and
  // the focus is not on another button.
  bool FActive = false;
  TModalResult FModalResult = mrNone;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
    PV_MESSAGE_HANDLER(CM_FOCUSCHANGED, TMessage, CMFocusChanged)
  END_MESSAGE_MAP(TButtonControl)
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
  PV_CLASS(TCustomCheckBox, TButtonControl)
 public:
  explicit TCustomCheckBox(TComponent* AOwner);
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  bool Checked() override { return FState == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  void CreateParams(TCreateParams& Params) override;
  // The next state of a click: unchecked, checked, then grayed when allowed.
  virtual void Toggle();

 protected:
  void CreateWndDone() override;
  void CNCommand(TWMCommand& Message);
  void CMDialogChar(TMessage& Message);
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
  END_MESSAGE_MAP(TButtonControl)
};

class TCheckBox : public TCustomCheckBox {
  PV_CLASS(TCheckBox, TCustomCheckBox)
 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the other radio buttons of its parent;
// entering one by keyboard checks it.
class TRadioButton : public TButtonControl {
  PV_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() override { return FChecked; }
  void SetChecked(bool Value) override;
  void CreateParams(TCreateParams& Params) override;

 protected:
  void CreateWndDone() override;
  void CNCommand(TWMCommand& Message);
  void CMEnter2(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  bool FChecked = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter2)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
  END_MESSAGE_MAP(TButtonControl)
};

class TCustomGroupBox : public TCustomControl {
  PV_CLASS(TCustomGroupBox, TCustomControl)
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
  PV_CLASS(TGroupBox, TCustomGroupBox)
 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// Scoped: the text editor's command codes use the names ecUpperCase and ecLowerCase.
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A single-line edit (the EDIT window class).
class TCustomEdit : public TWinControl {
  PV_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // bsSingle draws the sunken client edge; bsNone draws none.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool Modified();
  void SetModified(bool Value);
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  AnsiString SelText();
  void SetSelText(const AnsiString& Value);
  void SelectAll();
  void ClearSelection() { SendMessageA(Handle(), WM_CLEAR, 0, 0); }
  void CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
  void CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
  void PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
  void Undo() { SendMessageA(Handle(), WM_UNDO, 0, 0); }
  bool CanUndo() { return SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0; }
  void ClearUndo() { SendMessageA(Handle(), EM_EMPTYUNDOBUFFER, 0, 0); }
  void Clear() { SetText(""); }
  TNotifyEvent OnChange;
  void CreateParams(TCreateParams& Params) override;

 protected:
  virtual void Change();
  void CreateWndDone() override;
  void CNCommand(TWMCommand& Message);
  void CMEnter2(TMessage& Message);
  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FModified = false;
  TBorderStyle FBorderStyle = bsSingle;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter2)
  END_MESSAGE_MAP(TWinControl)
};

class TEdit : public TCustomEdit {
  PV_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---- list box and combo box ----

// The items of a list or combo box window, kept by the window itself; the
// strings' objects are the items' data.
class TWinItemStrings : public TStrings {
  PV_CLASS(TWinItemStrings, TStrings)
 public:
  // `combo` picks the CB_* messages.
  TWinItemStrings(TWinControl* Control, bool Combo) : FControl(Control), FCombo(Combo) {}
  AnsiString Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const AnsiString& S) override;
  int Add(const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const AnsiString& S) const override;

 private:
  HWND Wnd() const { return FControl->Handle(); }
  UINT Msg(UINT lb, UINT cb) const { return FCombo ? cb : lb; }
  TWinControl* FControl;
  bool FCombo;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// The state of an owner-drawn item; the bits follow the ODS_* flags.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                           odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent = TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// Shared by the list and combo box: turns WM_DRAWITEM / WM_MEASUREITEM into
// DrawItem / MeasureItem calls on a canvas bound to the item's DC.
class TOwnerDrawHelper {
 public:
  static TOwnerDrawState StateOf(UINT ItemState);
  // Fills the item with the selection or window colour and draws its text.
  static void DrawDefault(TCanvas* Canvas, const TRect& Rect, const AnsiString& Text, TOwnerDrawState State);
};

class TCustomListBox : public TWinControl {
  PV_CLASS(TCustomListBox, TWinControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex();
  void SetItemIndex(int Value);
  int Count() { return FItems->GetCount(); }
  bool Selected(int Index);
  void SetSelected(int Index, bool Value);
  int SelCount();
  int TopIndex();
  void SetTopIndex(int Value);
  // The item at a client point; -1 when none (Existing) or the index past the last item.
  int ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(int Index);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  int ItemHeight();
  void SetItemHeight(int Value);
  void Clear() { FItems->Clear(); }
  // The canvas owner-draw handlers paint on (bound to the item's DC while they run).
  TCanvas* Canvas() const { return FCanvas.get(); }
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  void CreateParams(TCreateParams& Params) override;

 protected:
  // Owner-drawn styles: OnDrawItem when assigned, else the item's text.
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  // lbOwnerDrawVariable: OnMeasureItem may change Height (starts at ItemHeight).
  virtual void MeasureItem(int Index, int& Height);
  void CreateWndDone() override;
  void DestroyWnd() override;
  void CNCommand(TWMCommand& Message);
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  std::unique_ptr<TStrings> FItems;
  std::unique_ptr<TStringList> FSaved;  // items kept while the window is recreated
  std::unique_ptr<TCanvas> FCanvas;
  int FSavedIndex = -1;
  TListBoxStyle FStyle = lbStandard;
  bool FMultiSelect = false, FExtendedSelect = true, FSorted = false, FIntegralHeight = false;
  int FColumns = 0, FItemHeight = 16;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CN_DRAWITEM, TMessage, CNDrawItem)
    PV_MESSAGE_HANDLER(CN_MEASUREITEM, TMessage, CNMeasureItem)
  END_MESSAGE_MAP(TWinControl)
};

class TListBox : public TCustomListBox {
  PV_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TWinControl {
  PV_CLASS(TCustomComboBox, TWinControl)
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex();
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  void Clear() { FItems->Clear(); }
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TCanvas* Canvas() const { return FCanvas.get(); }
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  void CreateParams(TCreateParams& Params) override;

 protected:
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  void CreateWndDone() override;
  void DestroyWnd() override;
  void CNCommand(TWMCommand& Message);
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  std::unique_ptr<TStrings> FItems;
  std::unique_ptr<TStringList> FSaved;
  std::unique_ptr<TCanvas> FCanvas;
  int FSavedIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  bool FSorted = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CN_DRAWITEM, TMessage, CNDrawItem)
    PV_MESSAGE_HANDLER(CN_MEASUREITEM, TMessage, CNMeasureItem)
  END_MESSAGE_MAP(TWinControl)
};

class TComboBox : public TCustomComboBox {
  PV_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---- label ----
// TAlignment (taLeftJustify, taRightJustify, taCenter) is shared with the fields of datasets.
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Text painted on the parent; "&" marks an accelerator that focuses FocusControl.
class TCustomLabel : public TGraphicControl {
  PV_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;
  // Sizes the label to its text (keeping the width when it wraps).
  void AdjustBounds();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  UINT TextFlags() const;
  void CMTextChanged2(TMessage& Message);
  void CMFontChanged3(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false, FTransparent = false, FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged2)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged3)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
  END_MESSAGE_MAP(TGraphicControl)
};

class TLabel : public TCustomLabel {
  PV_CLASS(TLabel, TCustomLabel)
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---- memo ----
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The lines of a memo as its window holds them (wrapped lines count as lines).
class TMemoStrings : public TStrings {
  PV_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TWinControl* Memo) : FMemo(Memo) {}
  AnsiString Get(int Index) const override;
  int GetCount() const override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  AnsiString GetText() const override;
  void SetText(const AnsiString& Text) override;

 private:
  HWND Wnd() const { return FMemo->Handle(); }
  TWinControl* FMemo;
};

class TCustomMemo : public TCustomEdit {
  PV_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  // The caret as (column, line), columns in bytes.
  TPoint CaretPos();
  void SetCaretPos(const TPoint& Value);
  void CreateParams(TCreateParams& Params) override;

 protected:
  void KeyPress(char& Key) override;
  void WMGetDlgCode(TMessage& Message);
  std::unique_ptr<TStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true, FWantReturns = true, FWantTabs = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomEdit)
};

class TMemo : public TCustomMemo {
  PV_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---- static text ----
enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

// A windowed label: it can sit above windowed siblings and have a border.
class TCustomStaticText : public TCustomControl {
  PV_CLASS(TCustomStaticText, TCustomControl)
 public:
  explicit TCustomStaticText(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;
  void AdjustBounds();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  void CMTextChanged3(TMessage& Message);
  void CMFontChanged4(TMessage& Message);
  void CMDialogChar2(TMessage& Message);
  TAlignment FAlignment = taLeftJustify;
  TStaticBorderStyle FBorderStyle = sbsNone;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged3)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged4)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar2)
  END_MESSAGE_MAP(TCustomControl)
};

class TStaticText : public TCustomStaticText {
  PV_CLASS(TStaticText, TCustomStaticText)
 public:
  explicit TStaticText(TComponent* AOwner) : TCustomStaticText(AOwner) {}
};

PV_ENUM_NAMES(TEditCharCase, "ecNormal ecUpperCase ecLowerCase")
PV_ENUM_NAMES(TListBoxStyle, "lbStandard lbOwnerDrawFixed lbOwnerDrawVariable")
PV_ENUM_NAMES(TComboBoxStyle, "csDropDown csSimple csDropDownList csOwnerDrawFixed csOwnerDrawVariable")
PV_ENUM_NAMES(TAlignment, "taLeftJustify taRightJustify taCenter")
PV_ENUM_NAMES(TTextLayout, "tlTop tlCenter tlBottom")
PV_ENUM_NAMES(TScrollStyle, "ssNone ssHorizontal ssVertical ssBoth")
PV_ENUM_NAMES(TCheckBoxState, "cbUnchecked cbChecked cbGrayed")
PV_ENUM_NAMES(TStaticBorderStyle, "sbsNone sbsSingle sbsSunken")

// Registers the classes of this unit and their published properties, so that
// window descriptions can create them. Idempotent.
void InitStdCtrlsProps();
