#include "platform/controls/dbctrls.h"

#include "platform/classes/typinfo.h"
#include "platform/controls/dbgrids.h"
#include "platform/db/hooks.h"

namespace {
// Focuses the control that shows a field, for TField::FocusControl.
bool FocusFieldControl(TComponent* Control) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->CanFocus()) return false;
  wc->SetFocus();
  return true;
}

bool IsCtrlChar(char Key, char Letter) { return Key == char(Letter - 'A' + 1); }
}  // namespace

void InitDBControls() { FieldControlFocusHook() = &FocusFieldControl; }

// ---------------------------------------------------------------------------
// TDBEdit

TDBEdit::TDBEdit(TComponent* AOwner) : TCustomEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  InitDBControls();
  FControlStyle << csReplicatable;
  // The window stays read-only until the dataset edits.
  TCustomEdit::SetReadOnly(true);
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TDBEdit::DataChange);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TDBEdit::EditingChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TDBEdit::UpdateData);
}

TDBEdit::~TDBEdit() {
  // The link must not call back into a half-destroyed control.
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->SetDataSource(nullptr);
}

void TDBEdit::SetDataSource(TDataSource* Value) {
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBEdit::Change() {
  FDataLink->Modified();
  TCustomEdit::Change();
}

void TDBEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) FDataLink->Edit();
}

void TDBEdit::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  unsigned char k = static_cast<unsigned char>(Key);
  if (k >= 32 && FDataLink->Field() && !FDataLink->Field()->IsValidChar(Key)) {
    MessageBeep(0);
    Key = 0;
  }
  k = static_cast<unsigned char>(Key);
  if (k >= 32 || Key == '\b' || IsCtrlChar(Key, 'V') || IsCtrlChar(Key, 'X')) {
    // Typing starts editing; a control that cannot edit swallows the key.
    if (!FDataLink->Edit()) Key = 0;
  } else if (Key == 27) {
    FDataLink->Reset();
    SelectAll();
    Key = 0;
  }
}

void TDBEdit::DataChange(TObject*) {
  TField* f = FDataLink->Field();
  if (f) {
    if (f->DataType() == ftString || f->DataType() == ftFixedChar || f->DataType() == ftWideString)
      SetMaxLength(f->Size());
    else
      SetMaxLength(0);
    SetText(FFocused && FDataLink->CanModify() ? f->Text() : f->DisplayText());
  } else {
    SetMaxLength(0);
    SetText(ComponentState().Contains(csDesigning) ? Name() : AnsiString());
  }
  if (HandleAllocated()) SetModified(false);
}

void TDBEdit::EditingChange(TObject*) { TCustomEdit::SetReadOnly(!FDataLink->Editing()); }

void TDBEdit::UpdateData(TObject*) {
  if (TField* f = FDataLink->Field()) f->SetText(Text());
}

void TDBEdit::SetFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  // Focused, the edit shows the editable text; otherwise the display text.
  FDataLink->Reset();
}

void TDBEdit::CMEnter(TMessage& Message) {
  SetFocused(true);
  TCustomEdit::Dispatch(Message);
}

void TDBEdit::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    // The bad text stays selected in the focused edit.
    SelectAll();
    SetFocus();
    throw;
  }
  SetFocused(false);
  TCustomEdit::Dispatch(Message);
}

void TDBEdit::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(static_cast<TDataLink*>(FDataLink.get()));
}

void TDBEdit::WMCutPaste(TMessage& Message) {
  FDataLink->Edit();
  TCustomEdit::Dispatch(Message);
}

// Input-method text arrives as whole characters that the edit window inserts
// itself, not as typed keys: it starts editing the same way, or the read-only
// window would refuse it.
void TDBEdit::WMImeChar(TMessage& Message) {
  char k = char(Message.WParam > 0xFF ? (Message.WParam >> 8) & 0xFF : Message.WParam & 0xFF);
  KeyPress(k);
  if (k) TCustomEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TDBMemo

TDBMemo::TDBMemo(TComponent* AOwner) : TDBEdit(AOwner) {
  SetBounds(Left(), Top(), 185, 89);
  SetAutoSelect(false);
  FDataLink->OnDataChange = TNotifyEvent(this, &TDBMemo::MemoDataChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TDBMemo::MemoUpdateData);
}

void TDBMemo::CreateParams(TCreateParams& Params) {
  TDBEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
  if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
}

void TDBMemo::SetAutoDisplay(bool Value) {
  if (FAutoDisplay == Value) return;
  FAutoDisplay = Value;
  if (Value) LoadMemo();
}

void TDBMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TDBMemo::LoadMemo() {
  TField* f = FDataLink->Field();
  if (FMemoLoaded || !f || !f->IsBlob()) return;
  SetText(f->AsString());
  FMemoLoaded = true;
  if (HandleAllocated()) SetModified(false);
  EditingChange(this);
}

void TDBMemo::MemoDataChange(TObject*) {
  TField* f = FDataLink->Field();
  if (!f) {
    SetText(ComponentState().Contains(csDesigning) ? Name() : AnsiString());
    FMemoLoaded = false;
  } else if (f->IsBlob()) {
    if (FAutoDisplay || (FDataLink->Editing() && FMemoLoaded)) {
      FMemoLoaded = false;
      LoadMemo();
    } else {
      SetText("(" + f->DisplayLabel() + ")");
      FMemoLoaded = false;
    }
  } else {
    SetText(FFocused && FDataLink->CanModify() ? f->Text() : f->DisplayText());
    FMemoLoaded = true;
  }
  if (HandleAllocated()) SetModified(false);
}

void TDBMemo::MemoUpdateData(TObject*) {
  // A memo that was never loaded holds "(label)", not the value.
  if (TField* f = FDataLink->Field(); f && FMemoLoaded) f->SetAsString(Text());
}

void TDBMemo::KeyPress(char& Key) {
  if (!FMemoLoaded) {
    if (Key == '\r') LoadMemo();
    Key = 0;
    return;
  }
  if (Key == '\r' || Key == '\n') {
    if (!FDataLink->Edit()) Key = 0;
    return;
  }
  TDBEdit::KeyPress(Key);
}

void TDBMemo::DblClick() {
  if (!FMemoLoaded) LoadMemo();
  TDBEdit::DblClick();
}

void TDBMemo::WMGetDlgCode(TMessage& Message) {
  TDBEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTARROWS;
}

// ---------------------------------------------------------------------------
// TDBText

TDBText::TDBText(TComponent* AOwner) : TGraphicControl(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  InitDBControls();
  FControlStyle << csReplicatable;
  SetBounds(Left(), Top(), 65, 17);
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TDBText::DataChange);
}

TDBText::~TDBText() {
  FDataLink->OnDataChange = nullptr;
  FDataLink->SetDataSource(nullptr);
}

void TDBText::SetDataSource(TDataSource* Value) {
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBText::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBText::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TDBText::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Value)
    FControlStyle >> csOpaque;
  else
    FControlStyle << csOpaque;
  Invalidate();
}

void TDBText::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TDBText::SetAutoSize(bool Value) {
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

void TDBText::DataChange(TObject*) {
  TField* f = FDataLink->Field();
  AnsiString text = f ? f->DisplayText() : (ComponentState().Contains(csDesigning) ? Name() : AnsiString());
  if (text == FText) return;
  FText = text;
  AdjustBounds();
  Invalidate();
}

void TDBText::AdjustBounds() {
  if (!AutoSize() || ComponentState().Contains(csLoading) || !Parent() || !Parent()->HandleAllocated()) return;
  TCanvas* c = Canvas();
  c->SetFont(Font());
  TRect r{0, 0, FWordWrap ? Width() : 0x4000, 0};
  AnsiString t = FText.empty() ? AnsiString(" ") : FText;
  c->TextRect(r, t, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0));
  SetBounds(Left(), Top(), FWordWrap ? Width() : r.right, r.bottom);
}

void TDBText::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  c->SetFont(Font());
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  c->TextRect(r, FText, align[FAlignment] | DT_NOPREFIX | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0));
}

void TDBText::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(static_cast<TDataLink*>(FDataLink.get()));
}

// ---------------------------------------------------------------------------
// Published properties

void InitDBCtrlsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  InitDBControls();
  RegisterClasses({TDBEdit::StaticClass(), TDBMemo::StaticClass(), TDBText::StaticClass(),
                   TCustomDBGrid::StaticClass(), TDBGrid::StaticClass(), TColumn::StaticClass(), TDBLookupListBox::StaticClass()});
  RegisterProps<TDBEdit>([](TPropBuilder<TDBEdit>& p) {
    PublishControlProps(p, "Align Anchors AutoSize Color Constraints Enabled Font ImeMode ImeName ParentColor "
                           "ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnClick "
                           "OnDblClick OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove "
                           "OnMouseUp",
                        {.ParentColor = false, .TabStop = true});
    p.Prop("OnChange", &TDBEdit::OnChange, &TDBEdit::OnChange);
    p.Prop("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
    p.Prop("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField).Default(AnsiString());
    p.Prop("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(false);
    p.Prop("MaxLength", &TDBEdit::MaxLength, &TDBEdit::SetMaxLength).Default(0);
    p.Prop("PasswordChar", &TDBEdit::PasswordChar, &TDBEdit::SetPasswordChar).Default(char(0));
    p.Prop("AutoSelect", &TDBEdit::AutoSelect, &TDBEdit::SetAutoSelect).Default(true);
  });
  RegisterProps<TDBMemo>([](TPropBuilder<TDBMemo>& p) {
    p.Prop("AutoDisplay", &TDBMemo::AutoDisplay, &TDBMemo::SetAutoDisplay).Default(true);
    p.Prop("WordWrap", &TDBMemo::WordWrap, &TDBMemo::SetWordWrap).Default(true);
  });
  RegisterProps<TDBText>([](TPropBuilder<TDBText>& p) {
    PublishControlProps(p, "Align Anchors Color Constraints Enabled Font ParentColor ParentFont ParentShowHint "
                           "PopupMenu ShowHint Visible OnClick OnDblClick OnMouseDown OnMouseMove OnMouseUp");
    p.Prop("DataSource", &TDBText::DataSource, &TDBText::SetDataSource);
    p.Prop("DataField", &TDBText::DataField, &TDBText::SetDataField).Default(AnsiString());
    p.Prop("AutoSize", &TDBText::AutoSize, &TDBText::SetAutoSize).Default(false);
    p.Prop("Transparent", &TDBText::Transparent, &TDBText::SetTransparent).Default(false);
    p.Prop("WordWrap", &TDBText::WordWrap, &TDBText::SetWordWrap).Default(false);
  });
  RegisterProps<TColumnTitle>([](TPropBuilder<TColumnTitle>& p) {
    p.Prop("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption);
  });
  RegisterProps<TColumn>([](TPropBuilder<TColumn>& p) {
    p.Prop("FieldName", &TColumn::FieldName, &TColumn::SetFieldName).Default(AnsiString());
    p.Prop("ReadOnly", &TColumn::ReadOnly, &TColumn::SetReadOnly).Default(false);
    p.Prop("Title", &TColumn::Title, &TColumn::SetTitle);
    p.Prop("Visible", &TColumn::Visible, &TColumn::SetVisible).Default(true);
    p.Prop("Width", &TColumn::Width, &TColumn::SetWidth);
  });
  RegisterProps<TCustomDBGrid>([](TPropBuilder<TCustomDBGrid>& p) {
    PublishControlProps(p, "Align Anchors Color Constraints Enabled Font ImeMode ImeName ParentColor ParentFont "
                           "ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnClick OnDblClick OnEnter "
                           "OnExit OnKeyDown OnKeyPress OnKeyUp",
                        {.ParentColor = false, .TabStop = true});
    p.Prop("Columns", &TCustomDBGrid::Columns, &TCustomDBGrid::SetColumns);
    p.Prop("DataSource", &TCustomDBGrid::DataSource, &TCustomDBGrid::SetDataSource);
    p.Prop("DefaultRowHeight", &TCustomDBGrid::DefaultRowHeight, &TCustomDBGrid::SetDefaultRowHeight).Default(18);
    p.Prop("Options", &TCustomDBGrid::Options, &TCustomDBGrid::SetOptions)
        .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                dgConfirmDelete, dgCancelOnExit});
    p.Prop("ReadOnly", &TCustomDBGrid::ReadOnly, &TCustomDBGrid::SetReadOnly).Default(false);
    p.Field("OnColEnter", &TCustomDBGrid::OnColEnter);
    p.Field("OnColExit", &TCustomDBGrid::OnColExit);
    p.Field("OnColumnResized", &TCustomDBGrid::OnColumnResized);
  });
}

// ---- lookup lists ----

void TLookupListDataLink::ActiveChanged() { FList->ListDataChanged(); }
void TLookupListDataLink::DataSetChanged() { FList->ListDataChanged(); }
void TLookupListDataLink::RecordChanged(TField*) { FList->ListDataChanged(); }

TDBLookupListBox::TDBLookupListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FListLink(std::make_unique<TLookupListDataLink>(this)) {
  FControlStyle << csCaptureMouse << csClickEvents;
  FTabStop = true;
  FColor = clWindow;
  FParentColor = false;
  SetBounds(Left(), Top(), 121, 97);
}

TDBLookupListBox::~TDBLookupListBox() { FListLink->SetDataSource(nullptr); }

void TDBLookupListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == ListSource()) FListLink->SetDataSource(nullptr);
}

TField* TDBLookupListBox::Field(const AnsiString& Name) const {
  TDataSet* d = FListLink->DataSet();
  return d && d->Active() && !Name.empty() ? d->FindField(Name) : nullptr;
}

void TDBLookupListBox::SetListSource(TDataSource* Value) {
  if (Value == ListSource()) return;
  if (ListSource()) ListSource()->RemoveFreeNotification(this);
  FListLink->SetDataSource(Value);
  if (!Value) {
    ListDataChanged();
    return;
  }
  Value->FreeNotification(this);
  TDataSet* d = Value->DataSet();
  if (d && d->Active()) {
    for (const AnsiString* name : {&FKeyField, &FListField})
      if (!name->empty() && !d->FindField(*name)) {
        FListLink->SetDataSource(nullptr);
        Value->RemoveFreeNotification(this);
        DatabaseErrorFmt("Field '%s' not found", {*name}, d);
      }
  }
  SetKeyValue(FKeyValue);
}

void TDBLookupListBox::SetKeyField(const AnsiString& Value) {
  FKeyField = Value;
  SetKeyValue(FKeyValue);
}

void TDBLookupListBox::SetListField(const AnsiString& Value) {
  FListField = Value;
  Invalidate();
}

int TDBLookupListBox::RecordCount() const {
  TDataSet* d = FListLink->DataSet();
  return d && d->Active() ? d->RecordCount() : 0;
}

int TDBLookupListBox::ItemHeight() const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, const_cast<TDBLookupListBox*>(this)->Font()->Handle());
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 2;
}

int TDBLookupListBox::GetBorderSize() const { return (FCtl3D ? 2 : 1); }

void TDBLookupListBox::SetRowCount(int Value) {
  FRowCount = std::max(1, Value);
  SetClientHeight(FRowCount * ItemHeight());
  UpdateScrollBar();
}

void TDBLookupListBox::CMFontChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  SetClientHeight(FRowCount * ItemHeight());
}

void TDBLookupListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL | WS_BORDER;
}

Variant TDBLookupListBox::ValueAt(int Index, const AnsiString& FieldName, bool Display) {
  TDataSet* d = FListLink->DataSet();
  TField* f = Field(FieldName);
  if (!d || !f || Index < 0 || Index >= d->RecordCount()) return Variant::Null();
  const bool old = FReading;
  FReading = true;
  const int saved = d->RecNo();
  d->DisableControls();
  Variant v;
  try {
    d->SetRecNo(Index + 1);
    v = Display ? Variant(f->DisplayText()) : f->AsVariant();
    if (saved > 0) d->SetRecNo(saved);
  } catch (...) {
    d->EnableControls();
    FReading = old;
    throw;
  }
  d->EnableControls();
  FReading = old;
  return v;
}

AnsiString TDBLookupListBox::RowText(int Index) {
  Variant v = ValueAt(Index, FListField, true);
  return v.IsNull() ? AnsiString() : v.AsString();
}

void TDBLookupListBox::SetKeyValue(const Variant& Value) {
  FKeyValue = Value;
  TDataSet* d = FListLink->DataSet();
  int selected = -1;
  if (d && d->Active() && Field(FKeyField) && !Value.IsNull() && !Value.IsEmpty()) {
    const bool old = FReading;
    FReading = true;
    try {
      if (d->Locate(FKeyField, Value, TLocateOptions{})) selected = d->RecNo() - 1;
    } catch (...) {
      FReading = old;
      throw;
    }
    FReading = old;
  }
  FSelected = selected;
  if (FSelected >= 0 && (FSelected < FTop || FSelected >= FTop + FRowCount)) ScrollTo(FSelected - FRowCount / 2);
  UpdateScrollBar();
  Invalidate();
}

void TDBLookupListBox::SelectIndex(int Index) {
  const int n = RecordCount();
  if (n == 0) return;
  Index = std::clamp(Index, 0, n - 1);
  TDataSet* d = FListLink->DataSet();
  const bool old = FReading;
  FReading = true;
  try {
    d->SetRecNo(Index + 1);
    TField* k = Field(FKeyField);
    FKeyValue = k ? k->AsVariant() : Variant::Null();
  } catch (...) {
    FReading = old;
    throw;
  }
  FReading = old;
  FSelected = Index;
  if (FSelected < FTop) ScrollTo(FSelected);
  else if (FSelected >= FTop + FRowCount) ScrollTo(FSelected - FRowCount + 1);
  Invalidate();
}

void TDBLookupListBox::ScrollTo(int Top) {
  FTop = std::clamp(Top, 0, std::max(0, RecordCount() - FRowCount));
  UpdateScrollBar();
  Invalidate();
}

void TDBLookupListBox::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, RecordCount() - 1);
  si.nPage = UINT(FRowCount);
  si.nPos = FTop;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TDBLookupListBox::ListDataChanged() {
  if (FReading) return;
  FTop = std::clamp(FTop, 0, std::max(0, RecordCount() - FRowCount));
  UpdateScrollBar();
  Invalidate();
}

void TDBLookupListBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const int h = ItemHeight();
  const TRect cr = ClientRect();
  const int n = RecordCount();
  for (int row = 0; row * h < cr.bottom; ++row) {
    const int i = FTop + row;
    const TRect r = TRect{0, row * h, cr.right, (row + 1) * h};
    const bool selected = i == FSelected && i < n;
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->FillRect(r);
    if (i >= n) continue;
    c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
    c->TextRect(r, r.left + 2, r.top + 1, RowText(i));
    if (selected && Focused()) c->DrawFocusRect(r);
  }
}

void TDBLookupListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Y >= 0) {
    const int i = FTop + Y / std::max(1, ItemHeight());
    if (i < RecordCount()) SelectIndex(i);
  }
}

void TDBLookupListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!Shift.Contains(ssLeft)) return;
  const int h = std::max(1, ItemHeight());
  if (Y < 0) SelectIndex(FTop - 1);
  else if (Y >= ClientHeight()) SelectIndex(FTop + FRowCount);
  else if (FTop + Y / h < RecordCount()) SelectIndex(FTop + Y / h);
}

void TDBLookupListBox::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int s = FSelected < 0 ? -1 : FSelected;
  switch (Key) {
    case VK_UP: SelectIndex(s < 0 ? 0 : s - 1); break;
    case VK_DOWN: SelectIndex(s + 1); break;
    case VK_PRIOR: SelectIndex(s - FRowCount + 1); break;
    case VK_NEXT: SelectIndex(std::max(0, s) + FRowCount - 1); break;
    case VK_HOME: SelectIndex(0); break;
    case VK_END: SelectIndex(RecordCount() - 1); break;
    default: return;
  }
  Key = 0;
}

void TDBLookupListBox::WMVScroll(TMessage& Message) {
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: ScrollTo(FTop - 1); break;
    case SB_LINEDOWN: ScrollTo(FTop + 1); break;
    case SB_PAGEUP: ScrollTo(FTop - FRowCount); break;
    case SB_PAGEDOWN: ScrollTo(FTop + FRowCount); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(RecordCount()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(int(HIWORD(Message.WParam))); break;
    default: break;
  }
}

void TDBLookupListBox::WMMouseWheel(TMessage& Message) {
  ScrollTo(FTop + (GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0 ? -1 : 1));
  Message.Result = 1;
}

TPopupDataList::TPopupDataList(TComponent* AOwner) : TDBLookupListBox(AOwner) {
  FVisible = false;
  FTabStop = false;
  FCtl3D = false;
}

void TPopupDataList::CreateParams(TCreateParams& Params) {
  TDBLookupListBox::CreateParams(Params);
  Params.Style = (Params.Style & ~DWORD(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
}
