#include "inplace/kxtime.h"

#include "inplace/kxcalendar.h"
#include "inplace/kxresources.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

KX_EDIT_CLASS_IMPL(TkxInplaceTimeEdit)

AnsiString kxTimeDisplayFormat(TkxTimeEditFormat Format) {
  switch (Format) {
    case tfHourMin: return "hh:nn";
    case tfHour: return "hh";
    default: return "hh:nn:ss";
  }
}

AnsiString kxTimeEditMask(TkxTimeEditFormat Format) {
  switch (Format) {
    case tfHourMin: return "00:00;1;0";
    case tfHour: return "00;1;0";
    default: return "00:00:00;1;0";
  }
}

TkxInplaceTimeEdit::TkxInplaceTimeEdit(TComponent* AOwner) : TkxInplaceSpinEdit(AOwner) {
  // Steps are fractions of a day: the value is never rounded to whole units.
  FValueType = vtFloat;
  SetEditMask(kxTimeEditMask(FTimeEditFormat));
  SetIgnoreBlanks(true);
}

void TkxInplaceTimeEdit::SetTimeEditFormat(TkxTimeEditFormat Value) {
  if (Value == FTimeEditFormat) return;
  FTimeEditFormat = Value;
  SetEditMask(kxTimeEditMask(Value));
}

void TkxInplaceTimeEdit::SetTime(TDateTime X) {
  if (X == FTime) return;
  TCustomkxContainer* c = Container();
  if ((c && c->IsInitEdit()) || CanModify()) SetValue(X);
}

char TkxInplaceTimeEdit::GetCaretTimePart() {
  const AnsiString f = UpperCase(kxTimeDisplayFormat(FTimeEditFormat));
  const int n = int(f.size());
  int p = std::min(GetSelStart() + 1, std::min(MaxChars(), n));
  p = std::max(p, 1);
  const char c = f[std::size_t(p - 1)];
  if (c == 'H' || c == 'N' || c == 'S') return c;
  return f[std::size_t(std::max(p - 1, 1) - 1)];
}

double TkxInplaceTimeEdit::GetIncrement() {
  switch (GetCaretTimePart()) {
    case 'H': return kxOneHour;
    case 'N': return kxOneMinute;
    case 'S': return kxOneSecond;
    default: return 0;
  }
}

bool TkxInplaceTimeEdit::IsValidSpinChar(char Ch) {
  const int sel = GetSelStart();
  auto outside = [Ch](char Lo, char Hi) { return Ch < Lo || Ch > Hi; };
  switch (GetCaretTimePart()) {
    case 'H':
      if (sel == 0 && outside('0', '2')) return false;
      if (sel == 1) {
        const AnsiString t = GetEditText();
        if (!t.empty() && t[0] == '2' && outside('0', '3')) return false;
      }
      return true;
    case 'N': return !(sel == 3 && outside('0', '5'));
    case 'S': return !(sel == 6 && outside('0', '5'));
    default: return true;
  }
}

double TkxInplaceTimeEdit::GetValue() {
  TDateTime t = 0;
  return TryStrToTime(GetEditText(), t) ? t : 0;
}

void TkxInplaceTimeEdit::SetValue(double X) {
  // A step past either end of the day is ignored: no wrapping, no clamping.
  if (X < 0 || X > kxLastTimeOfDay) return;
  int c = HandleAllocated() ? GetSelStart() : 0;
  c = c < 3 ? 1 : (c <= 5 ? 4 : 7);
  FTime = X;
  AnsiString s;
  try {
    s = FormatDateTime(kxTimeDisplayFormat(FTimeEditFormat), X);
  } catch (const Exception&) {
    s = TimeToStr(kxTimeOfDateTime(Now()));
  }
  SetEditText(s);
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, WPARAM(c), LPARAM(c + 1));
}

void TkxInplaceTimeEdit::LoadTime(TDateTime X) {
  if (X > kxLastTimeOfDay && X < 1) {
    SetValue(kxLastTimeOfDay);
    FTime = X;
    return;
  }
  SetValue(X);
}

void TkxInplaceTimeEdit::SetEditValue(const Variant& Value) {
  const bool modified = GetModified();
  try {
    if (Value.IsNull() || Value.IsEmpty() || (VarIsStr(Value) && Value.AsString().empty())) {
      FDatePart = 0;
      LoadTime(0);
    } else {
      // Converted first: a value that is no date-time raises and changes nothing.
      const TDateTime v = Value.AsDateTime();
      FDatePart = kxTruncDateTime(v);
      LoadTime(kxTimeOfDateTime(v));
    }
  } catch (...) {
    SetModified(modified);
    throw;
  }
  SetModified(modified);
}

void TkxInplaceTimeEdit::GetEditValue(Variant& Value) {
  if (FTime == 0 && FDatePart == 0) Value = Variant(Currency(0));
  else Value = Variant(double(FTime + FDatePart));
}

void kxInitTimeEdit() { RegisterClasses({TkxInplaceTimeEdit::StaticClass()}); }
