#include "inplace/kxdate.h"

#include "inplace/kxresources.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variants.h"

KX_EDIT_CLASS_IMPL(TkxInplaceDateEdit)

// ---- date text ----

bool kxParseDateKeyword(const AnsiString& Text, TDateTime& Date) {
  const TDateTime today = ::Date();
  for (int k = 0; k < 20; ++k) {
    const AnsiString& key = kxDateKeywords[k];
    if (key.empty() || Text.size() < key.size() || AnsiCompareText(Text.substr(0, key.size()), key) != 0) continue;
    TDateTime d = today;
    if (k == 1) d = today - 1;
    else if (k == 2) d = today + 1;
    else if (k >= 3 && k <= 9) {
      const int t = (k - 2) - DayOfWeek(today);
      d = t >= 0 ? today + t : today + 7 + t;
    } else if (k >= 10 && k <= 16) {
      d = today - (DayOfWeek(today) - (k - 9));
    } else if (k == 17 || k == 18) {
      Word y, m, dd;
      DecodeDate(today, y, m, dd);
      d = k == 17 ? EncodeDate(y, m, 1) : EncodeDate(y, m, Word(kxDaysInMonth(y, m)));
    } else if (k == 19) {
      d = Now();
    }
    const AnsiString rest = Trim(Text.substr(key.size()));
    if (rest.size() >= 2 && (rest[0] == '+' || rest[0] == '-')) {
      int n = 0;
      if (TryStrToInt(Trim(rest.substr(1)), n)) d += rest[0] == '+' ? n : -n;
    }
    Date = d;
    return true;
  }
  return false;
}

bool kxStrToDate(const AnsiString& Text, TDateTime& Date) {
  AnsiString s = Trim(Text);
  if (s.empty()) return false;
  if (FormatSettings().DateSeparator == '.') {
    int dots = 0;
    for (char& c : s)
      if (c == '.' && dots < 2) {
        c = ' ';
        ++dots;
      }
  }
  if (kxParseDateKeyword(s, Date)) return true;
  try {
    Date = VarToDateTime(Variant(s));
    return true;
  } catch (const Exception&) {
    return false;
  }
}

AnsiString kxDateToLocaleText(TDateTime Date) {
  if (Date == NullDate) return AnsiString();
  AnsiString s = GetDateFormatStr(Date);
  if (kxTimeOfDateTime(Date) != 0) s += " " + GetTimeFormatStr(Date);
  return s;
}

AnsiString kxMaskedDateFormat() {
  const AnsiString& f = FormatSettings().ShortDateFormat;
  AnsiString r;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    const bool lone = (c == 'd' || c == 'M') && (i == 0 || f[i - 1] != c) && (i + 1 >= f.size() || f[i + 1] != c);
    r += c;
    if (lone) r += c;
  }
  const std::size_t m = r.find('M');
  if (m != AnsiString::npos) {
    std::size_t e = m;
    while (e < r.size() && r[e] == 'M') ++e;
    if (e - m > 3) r.erase(m + 3, e - m - 3);
  }
  return r;
}

AnsiString kxDateToText(bool Masked, TDateTime Date) {
  if (Date == NullDate) return AnsiString();
  // Days of the years 1 to 9999 only (NaN fails too).
  if (!(Date > -DateDelta && Date < 2958466.0)) throw EConvertError(kxInvalidDateText);
  return Masked ? FormatDateTime(kxMaskedDateFormat(), Date) : kxDateToLocaleText(Date);
}

AnsiString kxDateEditMask() {
  const AnsiString& f = FormatSettings().ShortDateFormat;
  AnsiString r = "!";
  for (std::size_t i = 0; i < f.size();) {
    const char c = f[i];
    if (c == 'M' || c == 'd' || c == 'y') {
      std::size_t e = i;
      while (e < f.size() && f[e] == c) ++e;
      const std::size_t n = e - i;
      r += n <= 2 ? "99" : c == 'y' ? "9999" : "lll";
      i = e;
    } else {
      r += c;
      ++i;
    }
  }
  return r + ";1; ";
}

// ---- TkxInplaceDateEdit ----

TkxInplaceDateEdit::TkxInplaceDateEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FControlStyle >> csSetCaption;
  FRouteKeysToPopup = false;
}

TkxInplaceDateEdit::~TkxInplaceDateEdit() {
  TkxGridDatePopup* p = FDatePopup;
  FDatePopup = nullptr;
  if (FCurrentPopup == p) FCurrentPopup = nullptr;
  delete p;
}

bool TkxInplaceDateEdit::ShowsEmptyMask() { return FMasked && GetEditText() == kxMaskEmptyText(FEditMask); }

void TkxInplaceDateEdit::SetDateInternal(TDateTime D) {
  // The text first: a value that is no date fails here and changes nothing.
  const AnsiString text = kxDateToText(FMasked, D);
  const TDateTime old = FDate;
  FDate = D;
  SetMaskText(text);
  FTextEdited = false;
  if (!InternalChanging && D != old && OnDateChanged) OnDateChanged(this);
}

void TkxInplaceDateEdit::SetDate(TDateTime Value) {
  if (Value == FDate && !FTextEdited) return;
  TCustomkxContainer* c = Container();
  if ((c && c->IsInitEdit()) || CanModify()) SetDateInternal(Value);
}

void TkxInplaceDateEdit::UpdateEditMask() {
  TkxFlagScope change(InternalChanging);
  SetEditText(AnsiString());
  if (FUseEditMask) {
    SetEditMask(kxDateEditMask());
  } else {
    DoSetEditMask(AnsiString());
    FStoredValues >> svEditMask;
  }
  SetDateInternal(FDate);
}

void TkxInplaceDateEdit::SetUseEditMask(bool Value) {
  if (FUseEditMask == Value) return;
  FUseEditMask = Value;
  UpdateEditMask();
}

void TkxInplaceDateEdit::CMWinIniChange(TMessage& Message) {
  TkxInplaceDropDownEdit::Dispatch(Message);
  GetFormatSettings();
  kxReadFirstDayOfWeek();
  UpdateEditMask();
}

void TkxInplaceDateEdit::SetEditValue(const Variant& Value) {
  TkxFlagScope change(InternalChanging);
  if (Value.IsNull() || Value.IsEmpty() ||
      ((Value.Type() == varString || Value.Type() == varOleStr) && Value.AsString().empty())) {
    SetDateInternal(NullDate);
    return;
  }
  SetDateInternal(Value.AsDouble());
}

void TkxInplaceDateEdit::GetEditValue(Variant& Value) {
  Value = FDate == NullDate ? Variant::Null() : Variant::FromDate(FDate);
}

void TkxInplaceDateEdit::Change() {
  if (InternalChanging) return;
  TkxInplaceDropDownEdit::Change();
  FTextEdited = true;
}

void TkxInplaceDateEdit::GetDisplayText(AnsiString& Text) {
  TkxInplaceDropDownEdit::GetDisplayText(Text);
  if (ShowsEmptyMask()) Text.clear();
}

void TkxInplaceDateEdit::DoDateValidateInput(const AnsiString& AText, TDateTime& ADate, bool& AError,
                                             AnsiString& AMessage) {
  if (OnDateValidateInput) OnDateValidateInput(this, AText, ADate, AMessage, AError);
}

void TkxInplaceDateEdit::ValidateEdit() {
  TDateTime d = DateOnError == deNull ? NullDate : ::Date();
  if (GetModified()) {
    const AnsiString t = GetEditText();
    bool error = false;
    if (ShowsEmptyMask() || (!FMasked && t.empty())) d = NullDate;
    else error = !kxStrToDate(t, d);
    if (error || DateValidation) {
      // A host closing the editor takes no message: text that is no date
      // cancels the edit, the stored date stays. A valid date is kept.
      auto cancel = [this] {
        Reset();
        TkxFlagScope change(InternalChanging);
        SetMaskText(AnsiString());
      };
      if (CloseFlag && error) {
        cancel();
        return;
      }
      bool aerror = error && DateValidation;
      AnsiString message = kxInvalidDateText;
      DoDateValidateInput(t, d, aerror, message);
      if (aerror) {
        if (CloseFlag) {
          cancel();
          return;
        }
        if (!ComponentState().Contains(csDesigning)) {
          FReEnter = true;
          if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
        }
        MessageBeep(0);
        throw Exception(message);
      }
    }
    SetDate(d);
    SetModified(true);
  }
  TkxInplaceDropDownEdit::ValidateEdit();
}

void TkxInplaceDateEdit::DropDown() {
  if (FPopupShown || !IsEditable()) return;
  if (!FDatePopup) FDatePopup = NewObject<TkxGridDatePopup>(nullptr);
  else FDatePopup->DestroyHandle();
  TkxGridDatePopup* p = FDatePopup;
  p->SetOwnerEdit(this);
  FCurrentPopup = p;
  DoEditButtonClick();
  p->SetPopupBorderStyle(GetPopupBorder());
  p->SetShadow(Style()->Shadow());
  p->Font()->Assign(Font());
  p->HasTodayButton = DateButtons.Contains(btnToday);
  p->HasClearButton = DateButtons.Contains(btnClear);
  p->OnDateSelected = TNotifyEvent();
  TDateTime start = ::Date();
  if (!ShowsEmptyMask()) {
    TDateTime parsed = NullDate;
    if (kxStrToDate(GetEditText(), parsed)) FLastParsedDate = parsed;
  }
  if (FLastParsedDate != NullDate) start = kxTruncDateTime(FLastParsedDate);
  p->SetMonthStart(start);
  p->SetSelection(start);
  p->OnDateSelected = TNotifyEvent(this, &TkxInplaceDateEdit::PopupDateSelected);
  p->HandleNeeded();
  p->AdjustPopupSize();
  PositionPopup(p, false);
  FPopupShown = true;
  p->ShowPopup();
}

void TkxInplaceDateEdit::PopupDateSelected(TObject*) {
  if (!FDatePopup) return;
  TDateTime d = FDatePopup->GetSelectionStart();
  if (SaveTime && d != NullDate && FLastParsedDate != NullDate) {
    const TDateTime t = kxTimeOfDateTime(FLastParsedDate);
    d = d < 0 ? d - t : d + t;
  }
  SetDate(d);
  SetModified(true);
}

void kxInitDateEdit() { RegisterClasses({TkxInplaceDateEdit::StaticClass()}); }
