#include "inplace/kxcurrency.h"

#include <cmath>

#include "inplace/kxresources.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

KX_EDIT_CLASS_IMPL(TkxInplaceCurrencyEdit)

TkxInplaceCurrencyEdit::TkxInplaceCurrencyEdit(TComponent* AOwner) : TkxInplaceMaskEdit(AOwner) {
  FControlStyle >> csSetCaption;
  DecimalPlaces = 2;
  GetDefaultDisplayFormat(FDisplayFormat);
}

void TkxInplaceCurrencyEdit::Repaint() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

bool TkxInplaceCurrencyEdit::TryTextToFloat(const AnsiString& S, double& X) {
  AnsiString t;
  const char sep = FormatSettings().ThousandSeparator;
  for (char c : S)
    if (c != sep) t += c;
  double v = 0;
  if (TextToFloat(t, v) && std::isfinite(v) && (v == 0 || (std::fabs(v) >= 4.94e-324 && std::fabs(v) <= 1.7e308))) {
    X = v;
    return true;
  }
  X = 0;
  return false;
}

double TkxInplaceCurrencyEdit::GetValue() {
  const AnsiString t = GetMaskText();
  if (t.empty()) return 0;
  double x = 0;
  return TryTextToFloat(t, x) ? x : FMinValue;
}

void TkxInplaceCurrencyEdit::SetValue(double X) {
  if (FMaxValue != FMinValue) X = std::max(FMinValue, std::min(FMaxValue, X));
  const AnsiString s = FloatToStrF(X, ffGeneral, 15, 0);
  const bool modified = GetModified();
  try {
    if (GetMaskText() != s) SetMaskText(s);
  } catch (...) {
    SetModified(modified);
    throw;
  }
  SetModified(modified);
}

void TkxInplaceCurrencyEdit::SetValueRange(double Max, double Min) {
  FStoredValues << svMaxValue << svMinValue;
  DoSetValueRange(Max, Min);
}

void TkxInplaceCurrencyEdit::SetDisplayFormat(const AnsiString& Value) {
  FStoredValues << svDisplayFormat;
  DoSetDisplayFormat(Value);
}

void TkxInplaceCurrencyEdit::DoSetDisplayFormat(const AnsiString& S) {
  if (S == FDisplayFormat) return;
  FDisplayFormat = S;
  Repaint();
}

void TkxInplaceCurrencyEdit::SetNullable(bool Value) {
  if (Value == FNullable) return;
  FNullable = Value;
  Repaint();
}

void TkxInplaceCurrencyEdit::SetNullString(const AnsiString& Value) {
  if (Value == FNullString) return;
  FNullString = Value;
  Repaint();
}

void TkxInplaceCurrencyEdit::SetMaxValue(double X) {
  if (X < FMinValue) X = FMinValue;
  if (X == FMaxValue) return;
  FMaxValue = X;
  SetValue(GetValue());
}

void TkxInplaceCurrencyEdit::SetMinValue(double X) {
  if (X > FMaxValue) X = FMaxValue;
  if (X == FMinValue) return;
  FMinValue = X;
  SetValue(GetValue());
}

void TkxInplaceCurrencyEdit::DoSetValueRange(double Max, double Min) {
  FMinValue = Min > Max ? Max : Min;
  FMaxValue = Max;
  SetValue(GetValue());
}

void TkxInplaceCurrencyEdit::GetDefaultDisplayFormat(AnsiString& S) { kxGetCurrencyDisplayFormat(S); }

bool TkxInplaceCurrencyEdit::IsValidChar(char Key) {
  const TFormatSettings& fs = FormatSettings();
  const bool allowed = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == 'E' || Key == 'e' ||
                       Key == fs.DecimalSeparator || (UseThousandSeparator && Key == fs.ThousandSeparator);
  if (!allowed) return false;
  AnsiString s = GetMaskText();
  const int start = std::min(GetSelStart(), int(s.size()));
  s.erase(std::size_t(start), std::size_t(std::max(0, GetSelLength())));
  if (Key == '-' && s.empty()) return true;
  s.insert(std::size_t(start), 1, Key);
  const std::size_t p = s.find(fs.DecimalSeparator);
  if (p != AnsiString::npos) {
    const std::size_t e = s.find_first_of("Ee", p + 1);
    const std::size_t decimals = (e != AnsiString::npos ? e : s.size()) - p - 1;
    if (decimals > DecimalPlaces) return false;
  }
  double x = 0;
  return TryTextToFloat(s, x);
}

void TkxInplaceCurrencyEdit::KeyPress(char& Key) {
  const TFormatSettings& fs = FormatSettings();
  if (!(UseThousandSeparator && Key == fs.ThousandSeparator) && (Key == ',' || Key == '.'))
    Key = fs.DecimalSeparator;
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TkxInplaceMaskEdit::KeyPress(Key);
}

void TkxInplaceCurrencyEdit::GetEditingValue(Variant& Value, bool FromData) {
  if (FDisplayFormat.empty()) {
    TkxInplaceMaskEdit::GetEditingValue(Value, FromData);
    return;
  }
  const AnsiString t = GetMaskText();
  double x = 0;
  if (t.empty()) {
    if (FNullable) {
      Value = Variant(FNullString);
      return;
    }
  } else if (!TryTextToFloat(t, x)) {
    x = 0;
  }
  try {
    Value = Variant(FormatFloat(FDisplayFormat, x));
  } catch (const EConvertError&) {
    Value = Variant(FormatFloat(FDisplayFormat, 0));
  }
}

void TkxInplaceCurrencyEdit::GetEditValue(Variant& Value) {
  if (FNullable && GetMaskText().empty()) Value = Variant::Null();
  else TkxInplaceMaskEdit::GetEditValue(Value);
}

bool TkxInplaceCurrencyEdit::RepaintOnActivate() {
  return TkxInplaceMaskEdit::RepaintOnActivate() || !FDisplayFormat.empty();
}

void TkxInplaceCurrencyEdit::ValidateEdit() {
  TkxInplaceMaskEdit::ValidateEdit();
  if (GetModified() && !(GetMaskText().empty() && FNullable)) SetValue(GetValue());
}

void TkxInplaceCurrencyEdit::WMPasteAmount(TMessage& Message) {
  if (!IsEditable()) return;
  const AnsiString old = GetMaskText();
  TkxInplaceMaskEdit::Dispatch(Message);
  double x = 0;
  if (!TextToFloat(GetMaskText(), x)) {
    SetMaskText(old);
    SelectAll();
  }
}

void TkxInplaceCurrencyEdit::RefreshDataProperties() {
  TkxInplaceMaskEdit::RefreshDataProperties();
  AnsiString f;
  GetDefaultDisplayFormat(f);
  if (!FStoredValues.Contains(svDisplayFormat)) DoSetDisplayFormat(f);
  if (!FStoredValues.Contains(svMaxValue) && !FStoredValues.Contains(svMinValue)) {
    DoSetValueRange(GetDefaultMaxValue(), GetDefaultMinValue());
  } else {
    if (!FStoredValues.Contains(svMaxValue)) SetMaxValue(GetDefaultMaxValue());
    if (!FStoredValues.Contains(svMinValue)) SetMinValue(GetDefaultMinValue());
  }
}

void TkxInplaceCurrencyEdit::RestoreDefaults() {
  TkxInplaceMaskEdit::RestoreDefaults();
  AnsiString f;
  GetDefaultDisplayFormat(f);
  DoSetDisplayFormat(f);
  DoSetValueRange(GetDefaultMaxValue(), GetDefaultMinValue());
}

void TkxInplaceCurrencyEdit::CMWinIniChange(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  if (FStoredValues.Contains(svDisplayFormat)) return;
  GetFormatSettings();
  AnsiString f;
  GetDefaultDisplayFormat(f);
  DoSetDisplayFormat(f);
}

void kxInitCurrencyEdit() { RegisterClasses({TkxInplaceCurrencyEdit::StaticClass()}); }
