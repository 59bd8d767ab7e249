#include "inplace/kxlookup.h"

#include "platform/controls/menus.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variants.h"

KX_EDIT_CLASS_IMPL(TkxInplaceLookupEdit)

namespace {

// Raises the editor's refresh-suspending flag for a scope.
struct LookupRefreshSuspended {
  TkxInplaceEdit* E;
  bool Old;
  explicit LookupRefreshSuspended(TkxInplaceEdit* AE) : E(AE), Old(AE->DisableRefresh) { E->DisableRefresh = true; }
  ~LookupRefreshSuspended() { E->DisableRefresh = Old; }
};

// The length of S without its last character (a double-byte one whole).
std::size_t WithoutLastChar(const AnsiString& S) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < S.size();) {
    cut = i;
    i += IsDBCSLeadByte(static_cast<unsigned char>(S[i])) && i + 1 < S.size() ? 2 : 1;
  }
  return cut;
}

}  // namespace

// ---- data-field helpers ----

TkxBlobEditKind kxGetBlobEditKind(TkxBlobKind BlobKind, TField* Field) {
  switch (BlobKind) {
    case bkBlob: return bekBlob;
    case bkMemo: return bekMemo;
    case bkPict: return bekPict;
    case bkOle: return bekOle;
    case bkAuto: break;
  }
  if (!Field) return bekBlob;
  switch (Field->DataType()) {
    case ftMemo:
    case ftFmtMemo: return bekMemo;
    case ftGraphic: return bekPict;
    case ftParadoxOle:
    case ftDBaseOle: return bekOle;
    default: return bekBlob;
  }
}

void kxAssignBlobFieldValue(const Variant& Value, TField* Field) {
  if (!Field) return;
  if (Value.IsNull() || Value.IsEmpty()) {
    Field->Clear();
    return;
  }
  if (VarIsStr(Value)) {
    Field->SetAsVariant(Value);
    return;
  }
  // Values are typed: text or a picture's bytes. A number is no reference to
  // a picture; only 0 (no picture) has a meaning, and it empties the field.
  if (VarIsOrdinal(Value) && Value.AsInteger() == 0) {
    Field->Clear();
    return;
  }
  DatabaseErrorFmt("Field '%s' takes text or picture data only", {Field->DisplayName()});
}

bool kxCanModifyLookupField(TField* Field) {
  if (!Field || !Field->DataSet()) return false;
  std::vector<TField*> keys;
  Field->DataSet()->GetFieldList(keys, Field->KeyFields);
  if (keys.empty()) return false;
  for (TField* f : keys)
    if (!f->CanModify()) return false;
  return true;
}

bool kxVarEquals(const Variant& A, const Variant& B) {
  const bool an = A.IsNull() || A.IsEmpty(), bn = B.IsNull() || B.IsEmpty();
  if (an || bn) return an == bn;
  try {
    return VarCompareValue(A, B) == vrEqual;
  } catch (const Exception&) {
    return false;
  }
}

// ---- TPopupDBLookupListBox ----

void TPopupDBLookupListBox::SetPopupBorder(TkxPopupBorder Value) {
  if (FPopupBorder == Value) return;
  FPopupBorder = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TPopupDBLookupListBox::SetShadow(bool Value) {
  if (FShadow == Value) return;
  FShadow = Value;
  if (HandleAllocated()) RecreateWnd();
}

int TPopupDBLookupListBox::GetBorderSize() const {
  int b = TPopupDataList::GetBorderSize();
  switch (FPopupBorder) {
    case pbSingle: b = 2; break;
    case pbFrame3D: b = 8; break;
    case pbFlat: b = 4; break;
    default: break;
  }
  return b + (FShadow ? ShadowSize : 0);
}

void TPopupDBLookupListBox::CreateParams(TCreateParams& Params) {
  TPopupDataList::CreateParams(Params);
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  Params.Style &= ~DWORD(WS_BORDER);
  Params.WindowClass.style = CS_SAVEBITS;
  Params.WndParent = OwnerControl && OwnerControl->HandleAllocated() ? OwnerControl->Handle() : nullptr;
}

void TPopupDBLookupListBox::WMNCCalcSize(TMessage& Message) {
  TPopupDataList::Dispatch(Message);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (r) kxPopupNCCalcSize(*r, FPopupBorder, ShadowSize, FShadow);
}

void TPopupDBLookupListBox::WMNCPaint(TMessage& Message) {
  TPopupDataList::Dispatch(Message);
  if (!HandleAllocated()) return;
  const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  kxPaintPopupFrameOnWindow(Handle(), FPopupBorder, ShadowSize, FShadow, (style & WS_HSCROLL) && (style & WS_VSCROLL));
}

void TPopupDBLookupListBox::WMSize(TWMSize& Message) {
  TPopupDataList::Dispatch(Message);
  if (HandleAllocated()) kxSetShadowWindowRegion(Handle(), FShadow, ShadowSize);
}

// ---- TkxInplaceLookupEdit ----

TkxInplaceLookupEdit::TkxInplaceLookupEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FList = new TPopupDBLookupListBox(nullptr);
  FList->OwnerControl = this;
  FList->OnMouseUp = TMouseEvent(static_cast<TkxInplaceDropDownEdit*>(this), &TkxInplaceDropDownEdit::PopupMouseUp);
  FListSource = new TDataSource(nullptr);
  FCurrentPopup = FList;
  FSearchInPopup = true;
}

TkxInplaceLookupEdit::~TkxInplaceLookupEdit() {
  if (FCurrentPopup == FList) FCurrentPopup = nullptr;
  delete FList;
  FList = nullptr;
  delete FListSource;
  FListSource = nullptr;
  if (FLookupField) FLookupField->RemoveFreeNotification(this);
}

void TkxInplaceLookupEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupField) FLookupField = nullptr;
}

void TkxInplaceLookupEdit::SetLookupField(TField* Value) {
  if (FLookupField == Value) return;
  if (FLookupField) FLookupField->RemoveFreeNotification(this);
  FLookupField = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxInplaceLookupEdit::SetListFieldName(const AnsiString& Value) {
  if (FListFieldName == Value) return;
  FListFieldName = Value;
  ListSourceChanged();
}

void TkxInplaceLookupEdit::ListSourceChanged() {
  if (FLookupField) return;
  ShowText(AnsiString());
  EndSearch();
}

TField* TkxInplaceLookupEdit::KeyField() const {
  if (!FLookupField || !FLookupField->DataSet()) return nullptr;
  return FLookupField->DataSet()->FindField(FLookupField->KeyFields);
}

AnsiString TkxInplaceLookupEdit::GetLookupDisplayText(bool FromListRecord) {
  if (!FLookupField) return AnsiString();
  TDataSet* d = LookupDataSet();
  if (FromListRecord && d && d->Active())
    if (TField* r = d->FindField(FLookupField->LookupResultField)) return r->DisplayText();
  return FLookupField->DisplayText();
}

void TkxInplaceLookupEdit::ShowText(const AnsiString& Text) {
  const bool old = FAssigningText;
  FAssigningText = true;
  try {
    SetMaskText(Text);
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
}

void TkxInplaceLookupEdit::EndSearch() {
  FSearching = false;
  FSearchText.clear();
}

bool TkxInplaceLookupEdit::SetKeyValue(const Variant& Value) {
  if (!FLookupField) return false;
  TField* k = KeyField();
  if (!k || !k->CanModify() || !CanModify()) return false;
  if (Value.IsNull() || Value.IsEmpty()) k->Clear();
  else k->SetAsVariant(Value);
  FKeyValue = Value;
  ShowText(GetLookupDisplayText(false));
  SetModified(true);
  Change();
  return true;
}

void TkxInplaceLookupEdit::ClearValue() {
  if (!FLookupField) return;
  SetKeyValue(Variant::Null());
  ShowText(GetLookupDisplayText(false));
  EndSearch();
  SelectAll();
}

void TkxInplaceLookupEdit::SetEditValue(const Variant& Value) {
  if (DisableRefresh) return;
  if (!FLookupField) {
    FKeyValue = Value;
    ShowText(GetLookupDisplayText(false));
    return;
  }
  TkxInplaceDropDownEdit::SetEditValue(Value);
  EndSearch();
}

bool TkxInplaceLookupEdit::GetDataReadOnly() {
  TField* k = KeyField();
  return !(k && k->CanModify());
}

void TkxInplaceLookupEdit::SetActive(bool Active) {
  TkxInplaceDropDownEdit::SetActive(Active);
  EndSearch();
}

void TkxInplaceLookupEdit::DoSetReadOnly(bool Value) {
  TkxInplaceDropDownEdit::DoSetReadOnly(Value);
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, TRUE, 0);
}

bool TkxInplaceLookupEdit::CanDropDown() { return !ReadOnly() && FLookupField; }

void TkxInplaceLookupEdit::PrepareList() {
  TPopupDBLookupListBox* l = FList;
  l->OwnerControl = this;
  l->SetPopupBorder(GetPopupBorder());
  l->SetColor(Color());
  l->Font()->Assign(Font());
  l->SetShadow(Style()->Shadow());
  // The frame must exist before the rows size the list's client area.
  l->HandleNeeded();
  l->SetBounds(l->Left(), l->Top(), DropDownWidth != 0 ? DropDownWidth : Width(), l->Height());
  l->SetRowCount(DropDownRows);
  l->SetListSource(nullptr);
  FListSource->SetDataSet(LookupDataSet());
  l->SetKeyField(FLookupField->LookupKeyFields);
  l->SetListField(FListFieldName.empty() ? FLookupField->LookupResultField : FListFieldName);
  try {
    l->SetListSource(FListSource);
  } catch (...) {
    l->SetListSource(nullptr);
    throw;
  }
  TDataSet* d = FLookupField->DataSet();
  l->SetKeyValue(d ? d->FieldByName(FLookupField->KeyFields)->AsVariant() : Variant::Null());
  const int n = l->RecordCount();
  if (n > 0 && n < l->RowCount()) l->SetRowCount(n);
}

void TkxInplaceLookupEdit::DropDown() {
  if (!CanDropDown() || !HandleAllocated()) return;
  ::SetFocus(Handle());
  if (GetFocus() != Handle()) return;
  DoEditButtonClick();
  PrepareList();
  PositionPopup(FList, false);
  SetWindowPos(FList->Handle(), HWND_TOPMOST, FList->Left(), FList->Top(), 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  FPopupShown = true;
  Invalidate();
}

void TkxInplaceLookupEdit::CloseUp(bool Accept) {
  if (!FPopupShown) return;
  EndSearch();
  if (HWND cap = GetCapture()) SendMessageA(cap, WM_CANCELMODE, 0, 0);
  FocusIfPossible();
  if (FList->HandleAllocated())
    SetWindowPos(FList->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  FPopupShown = false;
  Variant value = FList->KeyValue();
  FList->SetListSource(nullptr);
  FListSource->SetDataSet(nullptr);
  Invalidate();
  if (OnCloseUp) OnCloseUp(this, value, Accept);
  if (!Accept) return;
  SetKeyValue(value);
  if (FLookupField) {
    const AnsiString t = GetLookupDisplayText(false);
    if (t != Text()) ShowText(t);
  }
  SelectAll();
}

void TkxInplaceLookupEdit::LocateText(const AnsiString&) {
  TField* k = KeyField();
  FList->SetKeyValue(k ? k->AsVariant() : Variant::Null());
}

void TkxInplaceLookupEdit::SelectAfter(int Prefix) {
  if (!HandleAllocated()) return;
  const int len = GetTextLength();
  SendMessageA(Handle(), EM_SETSEL, WPARAM(len), LPARAM(std::min(Prefix, len)));
}

void TkxInplaceLookupEdit::LocateSearchText() {
  ShowText(FSearchText);
  TDataSet* d = LookupDataSet();
  bool found = false;
  if (d && FLookupField) {
    try {
      found = d->Locate(FLookupField->LookupResultField, Variant(FSearchText),
                        TLocateOptions{loCaseInsensitive, loPartialKey});
    } catch (const Exception&) {
      found = false;
    }
  }
  if (found) {
    bool set = false;
    {
      LookupRefreshSuspended suspended(this);
      set = SetKeyValue(d->FieldByName(FLookupField->LookupKeyFields)->AsVariant());
    }
    ShowText(GetLookupDisplayText(set));
    SelectAfter(int(FSearchText.size()));
    return;
  }
  if (FSearching && WithoutLastChar(FSearchText) > 0) {
    // The character that matched nothing is dropped: the previous match shows again.
    FSearchText.erase(WithoutLastChar(FSearchText));
    LocateSearchText();
    return;
  }
  EndSearch();
  ShowText(GetLookupDisplayText(false));
}

void TkxInplaceLookupEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) EndSearch();
  if (Key == VK_DELETE && GetSelLength() == GetTextLength() && CanDeleteText) {
    ClearValue();
    Key = 0;
  }
  if (ClearKey != 0 && ShortCut(Key, Shift) == ClearKey) {
    ClearValue();
    Key = 0;
  }
  if (Key) TkxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TkxInplaceLookupEdit::KeyPress(char& Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  if (ReadOnly()) {
    Key = 0;
  } else if (FLookupField) {
    if (Key == '\b') {
      if (GetSelLength() == GetTextLength() && CanDeleteText) {
        ClearValue();
      } else {
        if (!FSearching && GetSelStart() != 0) {
          FSearching = true;
          FSearchText = Text();
        }
        if (FSearching) {
          FSearchText.erase(WithoutLastChar(FSearchText));
          if (FSearchText.empty() && CanDeleteText) {
            ClearValue();
          } else {
            SelectAfter(int(FSearchText.size()));
            LocateSearchText();
          }
        }
      }
    } else if (k >= 32) {
      TDataSet* d = LookupDataSet();
      if (d && d->FindField(FLookupField->LookupResultField)) {
        AnsiString ch(1, Key);
        MSG trail;
        if (IsDBCSLeadByte(k) && HandleAllocated() && PeekMessageA(&trail, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
          if (trail.message == WM_QUIT) PostQuitMessage(int(trail.wParam));
          else ch += char(trail.wParam);
        }
        if (!FSearching) FSearchText.clear();
        FSearching = true;
        FSearchText += ch;
        LocateSearchText();
        if (ImmediateDropDown && !FPopupShown) {
          DropDown();
          LocateText(Text());
        }
      }
    }
    Key = 0;
  }
  TkxInplaceDropDownEdit::KeyPress(Key);
}

void TkxInplaceLookupEdit::StepItem(int Delta, bool Cyclic) {
  if (!CanDropDown()) return;
  EndSearch();
  TDataSet* d = LookupDataSet();
  if (d && d->Active() && !FLookupField->LookupKeyFields.empty()) {
    TField* k = KeyField();
    TField* lk = d->FieldByName(FLookupField->LookupKeyFields);
    const Variant current = k ? k->AsVariant() : lk->AsVariant();
    if (d->Locate(FLookupField->LookupKeyFields, current, TLocateOptions{})) {
      d->MoveBy(Delta);
      if (d->Eof() && Cyclic) d->First();
    } else {
      d->First();
    }
    const Variant next = lk->AsVariant();
    if (!kxVarEquals(next, current)) SetKeyValue(next);
  }
  SelectAll();
}

void kxInitLookupEdit() { RegisterClasses({TkxInplaceLookupEdit::StaticClass()}); }
