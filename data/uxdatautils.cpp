#include "data/uxdatautils.h"

#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

void uxGetCurrencyFormat(AnsiString& Format) {
  const TFormatSettings& fs = FormatSettings();
  Format = ",0." + AnsiString(fs.CurrencyDecimals, '0');
  AnsiString symbol;
  for (std::size_t i = 0; i < fs.CurrencyString.size();) {
    const std::size_t n = static_cast<std::size_t>(CharLength(fs.CurrencyString, i));
    const char c = fs.CurrencyString[i];
    if (n == 1 && (c == '.' || c == ',')) {
      symbol += '\'';
      symbol += c;
      symbol += '\'';
    } else {
      symbol.append(fs.CurrencyString, i, n);
    }
    i += n;
  }
  if (symbol.empty()) return;
  switch (fs.CurrencyFormat) {
    case 0: Format = symbol + Format; break;
    case 1: Format += symbol; break;
    case 2: Format = symbol + ' ' + Format; break;
    case 3: Format += ' ' + symbol; break;
    default: break;
  }
}

double uxIntPart(double X) {
  if (!std::isfinite(X) || std::fabs(X) >= 9.2e18) return std::trunc(X);
  return static_cast<double>(static_cast<Int64>(X));
}

double uxFracPart(double X) { return X - uxIntPart(X); }

int uxLocaleFirstWeekDay() {
  const int setting = LocaleFormatSettings().FirstDayOfWeek;  // 0 Monday .. 6 Sunday
  if (setting < 0 || setting > 6) return 1;
  return (setting + 1) % 7;
}

TDateTime uxWeekStart(TDateTime Date) {
  const int w = uxLocaleFirstWeekDay();
  const int d = DayOfWeek(Date) - 1;  // 0 Sunday .. 6 Saturday
  const double whole = uxIntPart(Date);
  return d >= w ? whole - (d - w) : whole - 7 + (w - d);
}

bool uxTextMatches(const AnsiString& Text, const AnsiString& SearchText, bool Partial) {
  const AnsiString text = AnsiUpperCase(Text), search = AnsiUpperCase(SearchText);
  if (search.empty()) return text.empty();
  if (!Partial) return text == search;
  if (text.size() < search.size() || text.compare(0, search.size(), search) != 0) return false;
  // The match must end on a character boundary of Text: a search text that
  // ends with a lead byte does not match the first half of a character.
  return text.size() == search.size() || ByteType(text, static_cast<int>(search.size()) + 1) != mbTrailByte;
}

// ---------------------------------------------------------------------------

TuxCustomDataBinding::TuxCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent)
    : FDataComponent(ADataComponent), FOwner(AOwner) {}

void TuxCustomDataBinding::NotifyDataChange(TObject* A, TObject* B) {
  if (OnDataChange) OnDataChange(A, B);
}

void TuxCustomDataBinding::NotifyEditingChange(TObject* A, TObject* B) {
  if (OnEditingChange) OnEditingChange(A, B);
}

void TuxCustomDataBinding::NotifyUpdateData(TObject* A, TObject* B) {
  if (OnUpdateData) OnUpdateData(A, B);
}

void TuxCustomDataBinding::SetVisualControl(TComponent* Control) {
  if (FVisualControl == Control) return;
  FVisualControl = Control;
  VisualControlChanged();
}

// ---------------------------------------------------------------------------

void TuxCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TCollection::Assign(Source);
    return;
  }
  if (source->Count() == 0 && Count() == 0) return;
  BeginUpdate();
  try {
    for (int i = 0; i < source->Count(); ++i) {
      TCollectionItem* item = i < Count() ? Items(i) : Add();
      item->Assign(source->Items(i));
    }
    while (Count() > source->Count()) Delete(Count() - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}
