// Class-library wrappers of the standard window classes.
#include "platform/controls/stdctrls.h"
#include <algorithm>
#include <cstring>
#include "platform/controls/menus.h"
#include "platform/controls/stdwnd_internal.h"

// ---- TButtonControl ----
// Buttons click through BN_CLICKED; a mouse-up click of the control itself
// would run OnClick a second time.
TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs >> csClickEvents >> csCaptureMouse;
  SetControlStyle(cs);
}

// ---- TButton ----
TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  // Without a focused button elsewhere the default one is the one Enter presses.
  TCustomForm* f = GetParentForm(this);
  TWinControl* focused = f ? f->ActiveControl() : nullptr;
  if (!dynamic_cast<TButton*>(focused)) SetButtonStyle(Value);
}

void TButton::SetButtonStyle(bool ADefault) {
  FActive = ADefault;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CMFocusChanged(TMessage& Message) {
  auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
  if (dynamic_cast<TButton*>(sender)) SetButtonStyle(sender == this);
  else SetButtonStyle(FDefault);
  TButtonControl::Dispatch(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Click();
}

// Enter presses the default button and Escape the cancel button of the form.
void TButton::CMDialogKey(TMessage& Message) {
  WPARAM key = Message.WParam;
  if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

// ---- TCustomCheckBox ----
// The "&" letter of the caption focuses the check box and toggles it.
void TCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(Left(), Top(), 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= WS_TABSTOP | BS_3STATE;
}

void TCustomCheckBox::CreateWndDone() { SendMessageA(Handle(), BM_SETCHECK, WPARAM(FState), 0); }

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, WPARAM(FState), 0);
  Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

void TCustomCheckBox::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Toggle();
}

// ---- TRadioButton ----
TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(Left(), Top(), 113, 17); }

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWndDone() {
  SendMessageA(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
  SetTabStop(FChecked);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  // exclusive within the parent
  if (TWinControl* p = Parent()) {
    for (int i = 0; i < p->ControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(p->Controls(i));
      if (other && other != this) other->SetChecked(false);
    }
  }
  Click();
}

void TRadioButton::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode()) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
  }
}

// Tabbing into an unchecked radio button checks it (a mouse press checks it by clicking).
// The "&" letter of the caption focuses the radio button, which checks it.
void TRadioButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (!FChecked) SetChecked(true);
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TRadioButton::CMEnter2(TMessage& Message) {
  TButtonControl::Dispatch(Message);
  if (!FChecked && GetKeyState(VK_LBUTTON) >= 0) SetChecked(true);
}

// ---- TCustomGroupBox ----
TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csAcceptsControls << csSetCaption;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.top += pvstd::MeasureFont(Font()->Handle()).height;  // no window needed to measure
  Rect.left += 2;
  Rect.right -= 2;
  Rect.bottom -= 2;
  if (Rect.right < Rect.left) Rect.right = Rect.left;
  if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  int th = c->TextHeight("0");
  TRect r = ClientRect();
  r.top += th / 2;
  DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
  AnsiString text = Caption();
  if (!text.empty()) {
    TRect tr{8, 0, 8, th};
    DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_CALCRECT);
    tr.left -= 1;
    tr.right += 1;
    c->Brush()->SetColor(Color());
    FillRect(dc, &tr, c->Brush()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(Enabled() ? Font()->Color() : COLORREF(0xFF000000 + COLOR_GRAYTEXT)));
    tr.left += 1;
    DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE);
  }
}

// ---- TCustomEdit ----
TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 121, 21);
  SetTabStop(true);
  SetColor(TColor(0xFF000000 + COLOR_WINDOW));
  SetParentColor(false);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | (FReadOnly ? ES_READONLY : 0) |
                  (FHideSelection ? 0 : ES_NOHIDESEL) | (FCharCase == TEditCharCase::ecUpperCase ? ES_UPPERCASE : 0) |
                  (FCharCase == TEditCharCase::ecLowerCase ? ES_LOWERCASE : 0) | (FPasswordChar ? ES_PASSWORD : 0);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::CreateWndDone() {
  SendMessageA(Handle(), EM_LIMITTEXT, WPARAM(FMaxLength), 0);
  if (FPasswordChar) SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(BYTE(FPasswordChar)), 0);
  SendMessageA(Handle(), EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (HandleAllocated()) {
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(BYTE(Value)), 0);
    Invalidate();
  }
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) FModified = SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, Value, 0);
}

int TCustomEdit::SelStart() {
  DWORD a = 0, b = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return int(a);
}

void TCustomEdit::SetSelStart(int Value) { SendMessageA(Handle(), EM_SETSEL, WPARAM(Value), LPARAM(Value)); }

int TCustomEdit::SelLength() {
  DWORD a = 0, b = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return int(b - a);
}

void TCustomEdit::SetSelLength(int Value) {
  int s = SelStart();
  SendMessageA(Handle(), EM_SETSEL, WPARAM(s), LPARAM(s + Value));
  SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

AnsiString TCustomEdit::SelText() {
  AnsiString t = Text();
  DWORD a = 0, b = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  if (a > t.size()) return {};
  return t.substr(a, std::min<std::size_t>(b, t.size()) - a);
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
  SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == EN_CHANGE) Change();
}

void TCustomEdit::CMEnter2(TMessage& Message) {
  if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TWinControl::Dispatch(Message);
}

// ---- TWinItemStrings ----
AnsiString TWinItemStrings::Get(int Index) const {
  LRESULT n = SendMessageA(Wnd(), Msg(LB_GETTEXTLEN, CB_GETLBTEXTLEN), WPARAM(Index), 0);
  if (n < 0) throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
  std::string s(std::size_t(n) + 1, '\0');
  SendMessageA(Wnd(), Msg(LB_GETTEXT, CB_GETLBTEXT), WPARAM(Index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(std::size_t(n));
  return s;
}

int TWinItemStrings::GetCount() const { return int(SendMessageA(Wnd(), Msg(LB_GETCOUNT, CB_GETCOUNT), 0, 0)); }

TObject* TWinItemStrings::GetObject(int Index) const {
  LRESULT r = SendMessageA(Wnd(), Msg(LB_GETITEMDATA, CB_GETITEMDATA), WPARAM(Index), 0);
  if (r == LB_ERR) throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
  return reinterpret_cast<TObject*>(r);
}

void TWinItemStrings::PutObject(int Index, TObject* AObject) {
  SendMessageA(Wnd(), Msg(LB_SETITEMDATA, CB_SETITEMDATA), WPARAM(Index), reinterpret_cast<LPARAM>(AObject));
}

void TWinItemStrings::Insert(int Index, const AnsiString& S) {
  if (SendMessageA(Wnd(), Msg(LB_INSERTSTRING, CB_INSERTSTRING), WPARAM(Index), reinterpret_cast<LPARAM>(S.c_str())) <
      0)
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

int TWinItemStrings::Add(const AnsiString& S) {
  LRESULT r = SendMessageA(Wnd(), Msg(LB_ADDSTRING, CB_ADDSTRING), 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (r < 0) throw EOutOfResources("Cannot add an item to the list");
  return int(r);
}

void TWinItemStrings::Delete(int Index) {
  if (SendMessageA(Wnd(), Msg(LB_DELETESTRING, CB_DELETESTRING), WPARAM(Index), 0) < 0)
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TWinItemStrings::Clear() { SendMessageA(Wnd(), Msg(LB_RESETCONTENT, CB_RESETCONTENT), 0, 0); }

int TWinItemStrings::IndexOf(const AnsiString& S) const {
  LRESULT r = SendMessageA(Wnd(), Msg(LB_FINDSTRINGEXACT, CB_FINDSTRINGEXACT), WPARAM(-1),
                           reinterpret_cast<LPARAM>(S.c_str()));
  return r < 0 ? -1 : int(r);
}

namespace {
void SaveItems(TStrings* from, std::unique_ptr<TStringList>& to) {
  to = std::make_unique<TStringList>();
  for (int i = 0; i < from->GetCount(); ++i) to->AddObject(from->Get(i), from->GetObject(i));
}
void RestoreItems(std::unique_ptr<TStringList>& from, TStrings* to) {
  if (!from) return;
  for (int i = 0; i < from->GetCount(); ++i) to->AddObject(from->Get(i), from->GetObject(i));
  from.reset();
}
}  // namespace

// ---- TCustomListBox ----
TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TWinItemStrings>(this, false)),
      FCanvas(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetColor(TColor(0xFF000000 + COLOR_WINDOW));
  SetParentColor(false);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                  (FSorted ? LBS_SORT : 0) | (FIntegralHeight ? 0 : LBS_NOINTEGRALHEIGHT) |
                  (FMultiSelect ? (FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL) : 0) |
                  (FColumns > 0 ? LBS_MULTICOLUMN | WS_HSCROLL : 0) |
                  (FStyle == lbOwnerDrawFixed ? LBS_OWNERDRAWFIXED : 0) |
                  (FStyle == lbOwnerDrawVariable ? LBS_OWNERDRAWVARIABLE : 0);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWndDone() {
  if (FStyle != lbStandard) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, FItemHeight);
  if (FColumns > 0) SendMessageA(Handle(), LB_SETCOLUMNWIDTH, WPARAM(std::max(1, Width() / FColumns)), 0);
  RestoreItems(FSaved, FItems.get());
  if (FSavedIndex >= 0) SetItemIndex(FSavedIndex);
  FSavedIndex = -1;
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated() && FItems->GetCount() > 0) {
    SaveItems(FItems.get(), FSaved);
    FSavedIndex = ItemIndex();
  }
  TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() {
  if (FMultiSelect) return int(SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0));
  return int(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value) {
  if (FMultiSelect)
    SendMessageA(Handle(), LB_SETCARETINDEX, WPARAM(Value), 0);
  else
    SendMessageA(Handle(), LB_SETCURSEL, WPARAM(Value), 0);
}

bool TCustomListBox::Selected(int Index) {
  LRESULT r = SendMessageA(Handle(), LB_GETSEL, WPARAM(Index), 0);
  if (r < 0) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return r != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (FMultiSelect) {
    if (SendMessageA(Handle(), LB_SETSEL, Value, Index) < 0) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  } else if (Value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() {
  return FMultiSelect ? int(SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0)) : (ItemIndex() >= 0 ? 1 : 0);
}
int TCustomListBox::TopIndex() { return int(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)); }
void TCustomListBox::SetTopIndex(int Value) { SendMessageA(Handle(), LB_SETTOPINDEX, WPARAM(Value), 0); }

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  int n = Count();
  for (int i = TopIndex(); i < n; ++i) {
    TRect r = ItemRect(i);
    if (Pos.x >= r.left && Pos.x < r.right && Pos.y >= r.top && Pos.y < r.bottom) return i;
    if (r.top > ClientHeight()) break;
  }
  return Existing ? -1 : n;
}

TRect TCustomListBox::ItemRect(int Index) {
  RECT r{};
  if (SendMessageA(Handle(), LB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)) < 0 && Index != Count())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return r;
}

int TCustomListBox::ItemHeight() {
  if (HandleAllocated() && FStyle == lbStandard) return int(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeight = Value;
  if (HandleAllocated() && FStyle != lbStandard) RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (HandleAllocated()) RecreateWnd();  // the items come back in order
}

void TCustomListBox::SetColumns(int Value) {
  if (FColumns == Value || Value < 0) return;
  FColumns = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::CNCommand(TWMCommand& Message) {
  switch (SHORT(Message.NotifyCode())) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
  }
}

// ---- TCustomComboBox ----
TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TWinItemStrings>(this, true)),
      FCanvas(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 145, 21);
  SetTabStop(true);
  SetColor(TColor(0xFF000000 + COLOR_WINDOW));
  SetParentColor(false);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  DWORD kind = FStyle == csSimple ? CBS_SIMPLE : FStyle == csDropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
  Params.Style |= WS_TABSTOP | kind | CBS_AUTOHSCROLL | (FSorted ? CBS_SORT : 0) |
                  (FStyle == csOwnerDrawFixed ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0) |
                  (FStyle == csOwnerDrawVariable ? CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS : 0);
}

void TCustomComboBox::CreateWndDone() {
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, FItemHeight);
  RestoreItems(FSaved, FItems.get());
  // The text set before the window existed (or kept by a recreation) goes
  // into the edit part; a list style shows only its selected item.
  if (FSavedIndex >= 0) SetItemIndex(FSavedIndex);
  else if (FStyle != csDropDownList && !FText.empty()) SetWindowTextA(Handle(), FText.c_str());
  FSavedIndex = -1;
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated() && FItems->GetCount() > 0) {
    SaveItems(FItems.get(), FSaved);
    FSavedIndex = ItemIndex();
  }
  TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex() { return int(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }
void TCustomComboBox::SetItemIndex(int Value) { SendMessageA(Handle(), CB_SETCURSEL, WPARAM(Value), 0); }

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() { return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
void TCustomComboBox::SetDroppedDown(bool Value) { SendMessageA(Handle(), CB_SHOWDROPDOWN, Value, 0); }

void TCustomComboBox::CNCommand(TWMCommand& Message) {
  switch (SHORT(Message.NotifyCode())) {
    case CBN_DROPDOWN: {
      // the list shows DropDownCount items
      int n = std::max(1, std::min(FDropDownCount, std::max(1, FItems->GetCount())));
      int ih = int(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
      RECT wr;
      GetWindowRect(Handle(), &wr);
      SetWindowPos(Handle(), nullptr, 0, 0, wr.right - wr.left, (wr.bottom - wr.top) + n * ih + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      if (OnDropDown) OnDropDown(this);
      break;
    }
    case CBN_CLOSEUP:
      if (OnCloseUp) OnCloseUp(this);
      break;
    case CBN_SELCHANGE:
      Click();
      if (OnSelect) OnSelect(this);
      if (OnChange) OnChange(this);
      break;
    case CBN_EDITCHANGE:
      if (OnChange) OnChange(this);
      break;
  }
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeight = Value;
  if (HandleAllocated() && (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable))
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, Value);
}

// ---- owner draw ----
TOwnerDrawState TOwnerDrawHelper::StateOf(UINT ItemState) {
  // ODS_* are the set's bits, except the combo box's edit flag (0x1000)
  TOwnerDrawState s = TOwnerDrawState::FromMask(ItemState & 0x3FF);
  if (ItemState & ODS_COMBOBOXEDIT) s << odComboBoxEdit;
  return s;
}

void TOwnerDrawHelper::DrawDefault(TCanvas* Canvas, const TRect& Rect, const AnsiString& Text,
                                   TOwnerDrawState State) {
  if (State.Contains(odSelected)) {
    Canvas->Brush()->SetColor(clHighlight);
    Canvas->Font()->SetColor(clHighlightText);
  }
  Canvas->FillRect(Rect);
  TRect r = Rect;
  r.left += 2;
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(r, Text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

namespace {
// Runs Draw with Canvas bound to the item's DC, restoring the DC afterwards.
template <class F>
void WithItemCanvas(TCanvas* Canvas, TWinControl* Control, HDC DC, F&& Draw) {
  int saved = SaveDC(DC);
  Canvas->SetHandle(DC);
  Canvas->Font()->Assign(Control->Font());
  Canvas->Brush()->Assign(Control->Brush());
  Canvas->Brush()->SetColor(Control->Color());
  try {
    Draw();
  } catch (...) {
    Canvas->SetHandle(nullptr);
    RestoreDC(DC, saved);
    throw;
  }
  Canvas->SetHandle(nullptr);
  RestoreDC(DC, saved);
}
}  // namespace

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TOwnerDrawHelper::DrawDefault(FCanvas.get(), Rect, Index >= 0 && Index < Count() ? FItems->Get(Index) : "",
                                State);
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  TOwnerDrawState state = TOwnerDrawHelper::StateOf(dis->itemState);
  WithItemCanvas(FCanvas.get(), this, dis->hDC, [&] {
    int index = int(dis->itemID);
    // a selected item starts with the selection colours, as handlers expect
    if (index >= 0 && state.Contains(odSelected)) {
      FCanvas->Brush()->SetColor(clHighlight);
      FCanvas->Font()->SetColor(clHighlightText);
    }
    // an empty list still gets a focus rectangle drawn with item -1
    if (index >= 0) DrawItem(index, dis->rcItem, state);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) FCanvas->DrawFocusRect(dis->rcItem);
  });
  Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (!mis) return;
  int h = int(mis->itemHeight) > 0 ? int(mis->itemHeight) : FItemHeight;
  if (FStyle == lbOwnerDrawVariable) MeasureItem(int(mis->itemID), h);
  mis->itemHeight = UINT(std::max(1, h));
  Message.Result = 1;
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TOwnerDrawHelper::DrawDefault(FCanvas.get(), Rect,
                                Index >= 0 && Index < FItems->GetCount() ? FItems->Get(Index) : "", State);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  TOwnerDrawState state = TOwnerDrawHelper::StateOf(dis->itemState);
  WithItemCanvas(FCanvas.get(), this, dis->hDC, [&] {
    if (int(dis->itemID) >= 0) DrawItem(int(dis->itemID), dis->rcItem, state);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) FCanvas->DrawFocusRect(dis->rcItem);
  });
  Message.Result = 1;
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (!mis) return;
  int h = FItemHeight;
  if (FStyle == csOwnerDrawVariable) MeasureItem(int(mis->itemID), h);
  mis->itemHeight = UINT(std::max(1, h));
  Message.Result = 1;
}

// ---- TCustomLabel ----

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csSetCaption;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 65, 17);
  FAutoSize = true;
}

UINT TCustomLabel::TextFlags() const {
  UINT f = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  f |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (!FShowAccelChar) f |= DT_NOPREFIX;
  return f | DT_EXPANDTABS;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Font()->Assign(Font());
  SelectObject(dc, c->Font()->Handle());
  AnsiString text = Caption();
  if (text.empty() || (FShowAccelChar && text == "&")) return;
  UINT flags = TextFlags();
  if (FLayout != tlTop) {
    TRect calc = r;
    DrawTextA(dc, text.c_str(), int(text.size()), &calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    int dy = FLayout == tlBottom ? r.Height() - h : (r.Height() - h) / 2;
    r.top += dy;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColor(COLORREF(Font()->Color())));
  pvstd::DrawLabel(dc, text, r, flags, Enabled());
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  AnsiString text = Caption();
  if (text.empty()) text = " ";
  TRect r{0, 0, FWordWrap ? Width() : 0, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, TextFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  int left = Left();
  if (!FWordWrap && FAlignment == taRightJustify) left += Width() - r.right;
  if (!FWordWrap && FAlignment == taCenter) left += (Width() - r.right) / 2;
  SetBounds(left, Top(), r.right, r.bottom);
}

void TCustomLabel::SetAutoSize(bool Value) {
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout Value) {
  FLayout = Value;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool Value) {
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool Value) {
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged2(TMessage& Message) {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMFontChanged3(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
  if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Word(Message.WParam), Caption()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
  }
}

// ---- TMemoStrings ----
AnsiString TMemoStrings::Get(int Index) const {
  LRESULT start = SendMessageA(Wnd(), EM_LINEINDEX, WPARAM(Index), 0);
  if (start < 0) return {};
  LRESULT len = SendMessageA(Wnd(), EM_LINELENGTH, WPARAM(start), 0);
  std::string buf(std::max<std::size_t>(std::size_t(len), sizeof(WORD)), '\0');
  WORD size = WORD(std::min<LRESULT>(len, 0xFFFF));
  std::memcpy(buf.data(), &size, sizeof size);
  LRESULT n = SendMessageA(Wnd(), EM_GETLINE, WPARAM(Index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::size_t(std::max<LRESULT>(n, 0)));
  return buf;
}

int TMemoStrings::GetCount() const {
  int n = int(SendMessageA(Wnd(), EM_GETLINECOUNT, 0, 0));
  // an empty last line (text ending in a line break) is not a line of its own
  if (n > 0 && SendMessageA(Wnd(), EM_LINELENGTH, WPARAM(SendMessageA(Wnd(), EM_LINEINDEX, WPARAM(n - 1), 0)), 0) == 0)
    --n;
  return n;
}

void TMemoStrings::Insert(int Index, const AnsiString& S) {
  if (Index < 0 || Index > GetCount()) throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
  LRESULT at = SendMessageA(Wnd(), EM_LINEINDEX, WPARAM(Index), 0);
  AnsiString line;
  if (at >= 0) {
    line = S + "\r\n";
  } else {  // after the last line
    at = GetWindowTextLengthA(Wnd());
    AnsiString text = FMemo->Text();
    line = (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) || text.empty() ? S + "\r\n"
                                                                                                 : "\r\n" + S;
  }
  SendMessageA(Wnd(), EM_SETSEL, WPARAM(at), LPARAM(at));
  SendMessageA(Wnd(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int Index) {
  LRESULT start = SendMessageA(Wnd(), EM_LINEINDEX, WPARAM(Index), 0);
  if (start < 0 || Index >= GetCount()) throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
  LRESULT next = SendMessageA(Wnd(), EM_LINEINDEX, WPARAM(Index + 1), 0);
  if (next < 0) next = GetWindowTextLengthA(Wnd());
  SendMessageA(Wnd(), EM_SETSEL, WPARAM(start), LPARAM(next));
  SendMessageA(Wnd(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() { SetWindowTextA(Wnd(), ""); }

AnsiString TMemoStrings::GetText() const {
  int n = GetWindowTextLengthA(Wnd());
  std::string s(std::size_t(n) + 1, '\0');
  GetWindowTextA(Wnd(), s.data(), n + 1);
  s.resize(std::size_t(n));
  return s;
}

void TMemoStrings::SetText(const AnsiString& Text) {
  // lines end in CR LF in the window
  AnsiString t;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    char ch = Text[i];
    if (ch == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') {
      t += "\r\n";
      ++i;
    } else if (ch == '\n' || ch == '\r') {
      t += "\r\n";
    } else {
      t += ch;
    }
  }
  SetWindowTextA(Wnd(), t.c_str());
}

// ---- TCustomMemo ----
TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~DWORD(ES_AUTOHSCROLL | ES_PASSWORD);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                  ((FScrollBars == ssVertical || FScrollBars == ssBoth) ? WS_VSCROLL : 0) |
                  ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) ? WS_HSCROLL : 0) |
                  (FWordWrap ? 0 : ES_AUTOHSCROLL);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (HandleAllocated()) RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
  DWORD a = 0, b = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  int line = int(SendMessageA(Handle(), EM_LINEFROMCHAR, WPARAM(b), 0));
  int col = int(b) - int(SendMessageA(Handle(), EM_LINEINDEX, WPARAM(line), 0));
  return TPoint{col, line};
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  LRESULT start = SendMessageA(Handle(), EM_LINEINDEX, WPARAM(Value.y), 0);
  if (start < 0) return;
  int pos = int(start) + std::max(0, int(Value.x));
  SendMessageA(Handle(), EM_SETSEL, WPARAM(pos), LPARAM(pos));
}

void TCustomMemo::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  if ((Key == '\r' && !FWantReturns) || (Key == '\t' && !FWantTabs)) Key = 0;
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
  TCustomEdit::Dispatch(Message);
  Message.Result = (Message.Result & ~LRESULT(DLGC_WANTALLKEYS | DLGC_WANTTAB)) | (FWantTabs ? DLGC_WANTTAB : 0);
  if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
}

// ---- TCustomStaticText ----
TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TCustomControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csSetCaption << csOpaque;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 65, 17);
  FAutoSize = true;
  SetColor(clBtnFace);
}

void TCustomStaticText::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  HDC dc = c->Handle();
  if (FBorderStyle == sbsSingle) {
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
  } else if (FBorderStyle == sbsSunken) {
    RECT e = r;
    DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
  }
  if (FBorderStyle != sbsNone) r = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  AnsiString text = Caption();
  if (text.empty()) return;
  c->Font()->Assign(Font());
  SelectObject(dc, c->Font()->Handle());
  UINT flags = (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT) |
               DT_SINGLELINE | DT_EXPANDTABS | (FShowAccelChar ? 0 : DT_NOPREFIX);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColor(COLORREF(Font()->Color())));
  pvstd::DrawLabel(dc, text, r, flags, Enabled());
}

void TCustomStaticText::AdjustBounds() {
  if (!FAutoSize) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  AnsiString text = Caption();
  if (text.empty()) text = " ";
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r,
            DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | (FShowAccelChar ? 0 : DT_NOPREFIX));
  SelectObject(dc, old);
  DeleteDC(dc);
  int border = FBorderStyle == sbsNone ? 0 : 2;
  SetBounds(Left(), Top(), r.right + border, r.bottom + border);
}

void TCustomStaticText::SetAutoSize(bool Value) {
  TCustomControl::SetAutoSize(Value);
  AdjustBounds();
}
void TCustomStaticText::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomStaticText::SetBorderStyle(TStaticBorderStyle Value) {
  FBorderStyle = Value;
  AdjustBounds();
  Invalidate();
}
void TCustomStaticText::SetShowAccelChar(bool Value) {
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}
void TCustomStaticText::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}
void TCustomStaticText::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}
void TCustomStaticText::CMTextChanged3(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  AdjustBounds();
  Invalidate();
}
void TCustomStaticText::CMFontChanged4(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  AdjustBounds();
}
void TCustomStaticText::CMDialogChar2(TMessage& Message) {
  if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Word(Message.WParam), Caption()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
  }
}

// ---- registration ----

namespace {
constexpr const char* kWinCommon =
    "Align Anchors Color Constraints Ctl3D Cursor DragCursor DragKind DragMode Enabled Font ImeMode ImeName "
    "ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible "
    "OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress "
    "OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnStartDrag";
// Edit, list and combo boxes: a window-coloured field of their own that takes the focus.
constexpr TControlPropDefaults kFieldDefaults{.ParentColor = false, .TabStop = true};
}

void InitStdCtrlsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TButtonControl::StaticClass(), TButton::StaticClass(), TCustomCheckBox::StaticClass(),
                   TCheckBox::StaticClass(), TRadioButton::StaticClass(), TCustomGroupBox::StaticClass(),
                   TGroupBox::StaticClass(), TCustomEdit::StaticClass(), TEdit::StaticClass(),
                   TCustomListBox::StaticClass(), TListBox::StaticClass(), TCustomComboBox::StaticClass(),
                   TComboBox::StaticClass(), TCustomLabel::StaticClass(), TLabel::StaticClass(),
                   TCustomMemo::StaticClass(), TMemo::StaticClass(), TCustomStaticText::StaticClass(),
                   TStaticText::StaticClass()});
  RegisterProps<TButton>([](TPropBuilder<TButton>& p) {
    PublishControlProps(p, kWinCommon, {.TabStop = true});
    PublishControlProps(p, "Action BiDiMode Caption ParentBiDiMode");
    p.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    p.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    p.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  });
  RegisterProps<TCustomCheckBox>([](TPropBuilder<TCustomCheckBox>& p) {
    PublishControlProps(p, kWinCommon, {.TabStop = true});
    PublishControlProps(p, "Action BiDiMode Caption ParentBiDiMode");
    p.Prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
    p.Prop("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
    // Checked is State in another form; State is the one stored
    p.Prop("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Stored(false);
  });
  RegisterProps<TRadioButton>([](TPropBuilder<TRadioButton>& p) {
    PublishControlProps(p, kWinCommon);
    PublishControlProps(p, "Action BiDiMode Caption ParentBiDiMode");
    p.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  });
  RegisterProps<TCustomGroupBox>([](TPropBuilder<TCustomGroupBox>& p) {
    PublishControlProps(p, kWinCommon);
    PublishControlProps(p, "BiDiMode Caption ParentBiDiMode OnResize");
  });
  RegisterProps<TCustomEdit>([](TPropBuilder<TCustomEdit>& p) {
    PublishControlProps(p, kWinCommon, kFieldDefaults);
    PublishControlProps(p, "AutoSize BiDiMode ParentBiDiMode Text");
    p.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
    p.Prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(TEditCharCase::ecNormal);
    p.Prop("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
    p.Prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
    p.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
    p.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
    p.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    p.Field("OnChange", &TCustomEdit::OnChange);
  });
  RegisterProps<TCustomMemo>([](TPropBuilder<TCustomMemo>& p) {
    // a memo stores Lines, not Text
    p.Prop("Text", &TControl::Text, &TControl::SetText).Stored(false);
    p.Prop("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
    p.Prop("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
    p.Prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
    p.Prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
    p.Prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
  });
  RegisterProps<TCustomListBox>([](TPropBuilder<TCustomListBox>& p) {
    PublishControlProps(p, kWinCommon, kFieldDefaults);
    PublishControlProps(p, "BiDiMode ParentBiDiMode");
    p.Prop("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).Default(0);
    p.Prop("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
    p.Prop("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight).Default(false);
    // a standard list box takes its item height from its font
    p.Prop("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight)
        .Default(16)
        .Stored([](TObject* o) { return static_cast<TCustomListBox*>(o)->Style() != lbStandard; });
    p.Prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
    p.Prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    p.Prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
    p.Prop("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
    p.Field("OnDrawItem", &TCustomListBox::OnDrawItem);
    p.Field("OnMeasureItem", &TCustomListBox::OnMeasureItem);
  });
  RegisterProps<TCustomComboBox>([](TPropBuilder<TCustomComboBox>& p) {
    PublishControlProps(p, kWinCommon, kFieldDefaults);
    PublishControlProps(p, "BiDiMode ParentBiDiMode Text");
    p.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    p.Prop("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight).Default(16);
    p.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    p.Prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    p.Prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    // the selection is applied once Items are read (they come first in a description)
    p.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
    p.Field("OnChange", &TCustomComboBox::OnChange);
    p.Field("OnSelect", &TCustomComboBox::OnSelect);
    p.Field("OnDropDown", &TCustomComboBox::OnDropDown);
    p.Field("OnCloseUp", &TCustomComboBox::OnCloseUp);
    p.Field("OnDrawItem", &TCustomComboBox::OnDrawItem);
    p.Field("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
  });
  RegisterProps<TCustomLabel>([](TPropBuilder<TCustomLabel>& p) {
    PublishControlProps(p,
                        "Align Anchors AutoSize BiDiMode Caption Color Constraints Cursor DragCursor DragKind "
                        "DragMode Enabled Font ParentBiDiMode ParentColor ParentFont ParentShowHint PopupMenu "
                        "ShowHint Visible OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag "
                        "OnMouseDown OnMouseMove OnMouseUp OnStartDrag");
    p.Prop("AutoSize", &TControl::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
    p.Prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    p.Prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    p.Prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
    p.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
    p.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
    p.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  });
  RegisterProps<TCustomStaticText>([](TPropBuilder<TCustomStaticText>& p) {
    PublishControlProps(p, kWinCommon, {.Color = clBtnFace, .ParentColor = false});
    PublishControlProps(p, "BiDiMode Caption ParentBiDiMode");
    p.Prop("AutoSize", &TControl::AutoSize, &TCustomStaticText::SetAutoSize).Default(true);
    p.Prop("Alignment", &TCustomStaticText::Alignment, &TCustomStaticText::SetAlignment).Default(taLeftJustify);
    p.Prop("BorderStyle", &TCustomStaticText::BorderStyle, &TCustomStaticText::SetBorderStyle).Default(sbsNone);
    p.Prop("FocusControl", &TCustomStaticText::FocusControl, &TCustomStaticText::SetFocusControl);
    p.Prop("ShowAccelChar", &TCustomStaticText::ShowAccelChar, &TCustomStaticText::SetShowAccelChar).Default(true);
  });
}
