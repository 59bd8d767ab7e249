#include "editors/uxformats.h"

#include "editors/uxdateutils.h"
#include "platform/controls/forms.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/winuser.h"

#include <algorithm>
#include <cstring>

namespace {

TuxFormatController* FormatController = nullptr;

// ---- parsing a format string into items ----

struct TFormatParser {
  TuxDateTimeFormatInfo& Info;
  bool HourPrefixSet = false;
  AnsiString HourPrefix;

  void Add(Byte Kind, const AnsiString& Data) {
    if (Kind == dtikText) {
      if (!Info.Items.empty() && Info.Items.back().Kind == dtikText) {
        Info.Items.back().Data += Data;
        return;
      }
    } else if (Kind != dtikDateSeparator && Kind != dtikTimeSeparator) {
      if (Info.DefinedItems[Kind]) return;  // only the first of each kind
    }
    Info.DefinedItems[Kind] = true;
    Info.Items.push_back({Kind, Data});
  }

  // Parses S in place; Level 0 is the format itself, 1 a format it names.
  bool Parse(const AnsiString& Format, int Level) {
    if (Level > 1) return true;  // one level of nesting only
    const AnsiString S = Format.empty() ? AnsiString("C") : Format;
    const bool HadHour = Info.DefinedItems[dtikHour];
    bool HasAmPm = false;
    char Prev = 0;
    std::size_t I = 0;
    const std::size_t N = S.size();
    auto RunOf = [&](char Upper) {
      std::size_t J = I;
      while (J < N && char(std::toupper(static_cast<unsigned char>(S[J]))) == Upper) ++J;
      return int(J - I);
    };
    auto StartsAt = [&](const char* Word) {
      const std::size_t L = std::strlen(Word);
      return I + L <= N && SameText(S.substr(I, L), Word);
    };
    while (I < N) {
      const char Raw = S[I];
      if (IsDBCSLeadByte(Raw) && I + 1 < N) {
        Add(dtikText, S.substr(I, 2));
        I += 2;
        Prev = 0;
        continue;
      }
      char C = char(std::toupper(static_cast<unsigned char>(Raw)));
      const bool Letter = C >= 'A' && C <= 'Z';
      if (C == 'M' && Prev == 'H') C = 'N';
      switch (C) {
        case '"':
        case '\'': {
          const std::size_t Close = S.find(Raw, I + 1);
          const std::size_t End = Close == AnsiString::npos ? N : Close;
          if (End > I + 1) Add(dtikText, S.substr(I + 1, End - I - 1));
          I = Close == AnsiString::npos ? N : Close + 1;
          continue;
        }
        case '/':
          Add(dtikDateSeparator, "/");
          ++I;
          continue;
        case ':':
          Add(dtikTimeSeparator, ":");
          ++I;
          continue;
        case 'A':
          if (StartsAt("AM/PM")) {
            Add(dtikTimeSuffix, S.substr(I, 5));
            I += 5;
            HasAmPm = true;
          } else if (StartsAt("A/P")) {
            Add(dtikTimeSuffix, S.substr(I, 3));
            I += 3;
            HasAmPm = true;
          } else if (StartsAt("AMPM")) {
            Add(dtikTimeSuffix, "AMPM");
            I += 4;
            HasAmPm = true;
          } else if (StartsAt("AAAA")) {
            Add(dtikDay, "DDDD");
            I += 4;
          } else if (StartsAt("AAA")) {
            Add(dtikDay, "DDD");
            I += 3;
          } else {
            Add(dtikText, S.substr(I, 1));
            ++I;
          }
          Prev = 'A';
          continue;
        case 'C': {
          ++I;
          if (!Parse(FormatSettings().ShortDateFormat, Level + 1)) return false;
          if (Level + 1 <= 1) Add(dtikText, " ");
          if (!Parse(FormatSettings().LongTimeFormat, Level + 1)) return false;
          Prev = 'C';
          continue;
        }
        default:
          break;
      }
      if (!Letter) {
        Add(dtikText, S.substr(I, 1));
        ++I;
        continue;
      }
      const int Run = RunOf(char(std::toupper(static_cast<unsigned char>(Raw))));
      I += std::size_t(Run);
      switch (C) {
        case 'D':
          if (Run <= 4)
            Add(dtikDay, AnsiString(std::size_t(Run), 'D'));
          else if (!Parse(Run == 5 ? FormatSettings().ShortDateFormat : FormatSettings().LongDateFormat, Level + 1))
            return false;
          break;
        case 'E':
        case 'Y':
          Add(dtikYear, Run > 2 ? "YYYY" : "YY");
          break;
        case 'G':
          return false;  // eras are not supported
        case 'H':
          Add(dtikHour, AnsiString(std::size_t(std::min(Run, 2)), 'H'));
          break;
        case 'M':
          Add(dtikMonth, AnsiString(std::size_t(std::min(Run, 4)), 'M'));
          break;
        case 'N':
          Add(dtikMin, AnsiString(std::size_t(std::min(Run, 2)), 'N'));
          break;
        case 'S':
          Add(dtikSec, AnsiString(std::size_t(std::min(Run, 2)), 'S'));
          break;
        case 'Z':
          Add(dtikMSec, AnsiString(std::size_t(std::min(Run, 3)), 'Z'));
          break;
        case 'T':
          if (!Parse(Run == 1 ? FormatSettings().ShortTimeFormat : FormatSettings().LongTimeFormat, Level + 1))
            return false;
          break;
        default:
          Add(dtikText, S.substr(I - std::size_t(Run), std::size_t(Run)));
          break;
      }
      Prev = C;
    }
    // The hour's clock comes from the string that held it.
    if (!HadHour && Info.DefinedItems[dtikHour] && !HourPrefixSet) {
      HourPrefixSet = true;
      HourPrefix = HasAmPm ? "12" : "24";
    }
    return true;
  }
};

AnsiString LocaleAm() {
  const AnsiString& S = LocaleFormatSettings().TimeAMString;
  return S;
}
AnsiString LocalePm() {
  const AnsiString& S = LocaleFormatSettings().TimePMString;
  return S;
}

int SuffixKind(const AnsiString& Data) {
  if (SameText(Data, "A/P")) return 0;
  if (SameText(Data, "AM/PM")) return 1;
  return 2;
}

bool LongName(const AnsiString& Data) { return Data.size() > 2; }

AnsiString SeparatorRegExpr(char Sep) {
  if (Sep == 0) return "";
  if (Sep == ' ') return "' '";
  return AnsiString("\\") + Sep;
}

}  // namespace

bool uxParseDateTimeFormat(const AnsiString& Format, TuxDateTimeFormatInfo& Info) {
  Info = TuxDateTimeFormatInfo();
  TFormatParser P{Info};
  if (!P.Parse(Format, 0)) {
    Info = TuxDateTimeFormatInfo();
    return false;
  }
  auto Hour = std::find_if(Info.Items.begin(), Info.Items.end(), [](auto& It) { return It.Kind == dtikHour; });
  if (Hour != Info.Items.end()) {
    Hour->Data = P.HourPrefix + Hour->Data;
  } else if (Info.DefinedItems[dtikTimeSuffix]) {
    Info.Items.erase(std::remove_if(Info.Items.begin(), Info.Items.end(),
                                    [](auto& It) { return It.Kind == dtikTimeSuffix; }),
                     Info.Items.end());
    Info.DefinedItems[dtikTimeSuffix] = false;
  }
  return true;
}

int uxGetFormatItemWidth(const TuxDateTimeFormatItem& Item) {
  switch (Item.Kind) {
    case dtikText:
      return int(Item.Data.size());
    case dtikYear:
      return Item.Data == "YY" ? 2 : 4;
    case dtikMonth:
    case dtikDay:
      return LongName(Item.Data) ? 3 : 2;
    case dtikHour:
    case dtikMin:
    case dtikSec:
      return 2;
    case dtikTimeSuffix:
      switch (SuffixKind(Item.Data)) {
        case 0: return 1;
        case 1: return 2;
        default: return int(std::max(LocaleAm().size(), LocalePm().size()));
      }
    case dtikDateSeparator:
    case dtikTimeSeparator:
      return 1;
    default:
      return 0;
  }
}

bool uxFindFormatItemAtPos(const TuxDateTimeFormatInfo& Info, int Pos, TuxDateTimeFormatItemInfo& Item) {
  if (Pos <= 0 || Info.Items.empty()) return false;
  int Start = 1;
  for (const TuxDateTimeFormatItem& It : Info.Items) {
    const int W = uxGetFormatItemWidth(It);
    if (Start + W > Pos) {
      Item.Kind = It.Kind;
      Item.ItemStart = Start;
      Item.ItemWidth = W;
      Item.TimeSuffixKind = It.Kind == dtikTimeSuffix ? SuffixKind(It.Data) : 0;
      return true;
    }
    Start += W;
  }
  return false;
}

AnsiString uxGetStandardMask(const TuxDateTimeFormatInfo& Info, TuxMaskKind Kind) {
  if (Info.Items.empty()) return "";
  AnsiString M = Kind == mkTime ? "" : "!";
  for (const TuxDateTimeFormatItem& It : Info.Items) {
    switch (It.Kind) {
      case dtikText:
        for (std::size_t I = 0; I < It.Data.size();) {
          const int L = CharLength(It.Data, I);
          M += "\\" + It.Data.substr(I, std::size_t(L));
          I += std::size_t(L);
        }
        break;
      case dtikYear:
        M += It.Data == "YY" ? "99" : "9999";
        break;
      case dtikMonth:
      case dtikDay:
        M += LongName(It.Data) ? "lll" : "99";
        break;
      case dtikHour:
      case dtikMin:
      case dtikSec:
        M += Kind == mkTime ? "00" : "99";
        break;
      case dtikTimeSuffix:
        M += AnsiString(std::size_t(uxGetFormatItemWidth(It)), 'c');
        break;
      case dtikDateSeparator:
        M += "/";
        break;
      case dtikTimeSeparator:
        M += ":";
        break;
      default:
        break;
    }
  }
  return M + (Kind == mkTime ? ";1;0" : ";1; ");
}

AnsiString uxQuoteRegExprText(const AnsiString& Text) {
  AnsiString R;
  bool Open = false;
  for (std::size_t I = 0; I < Text.size();) {
    const int L = CharLength(Text, I);
    if (L == 1 && Text[I] == '\'') {
      if (Open) R += "'";
      Open = false;
      R += "\\'";
    } else {
      if (!Open) R += "'";
      Open = true;
      R += Text.substr(I, std::size_t(L));
    }
    I += std::size_t(L);
  }
  if (Open) R += "'";
  return R;
}

AnsiString uxGetDateRegExprMask(const TuxDateTimeFormatInfo& Info) {
  const TFormatSettings& FS = FormatSettings();
  AnsiString M;
  for (const TuxDateTimeFormatItem& It : Info.Items) {
    switch (It.Kind) {
      case dtikText:
        M += uxQuoteRegExprText(It.Data);
        break;
      case dtikYear:
        M += It.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d";
        break;
      case dtikMonth: {
        M += "((0?[1-9]|1[012])|(";
        for (int I = 0; I < 12; ++I) {
          if (I > 0) M += "|";
          M += uxQuoteRegExprText(It.Data.size() == 4 ? FS.LongMonthNames[I] : FS.ShortMonthNames[I]);
        }
        M += "))";
        break;
      }
      case dtikDay:
        M += "([012]?[1-9]|[123]0|31)";
        break;
      case dtikDateSeparator:
        M += SeparatorRegExpr(LocaleFormatSettings().DateSeparator);
        break;
      default:
        break;
    }
  }
  return M;
}

AnsiString uxGetTimeRegExprMask(const TuxDateTimeFormatInfo& Info) {
  AnsiString M;
  for (const TuxDateTimeFormatItem& It : Info.Items) {
    switch (It.Kind) {
      case dtikText:
        M += uxQuoteRegExprText(It.Data);
        break;
      case dtikHour:
        M += It.Data.rfind("12", 0) == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
        break;
      case dtikMin:
      case dtikSec:
        M += "[0-5]?\\d";
        break;
      case dtikTimeSuffix:
        switch (SuffixKind(It.Data)) {
          case 0: M += "(A|P)?"; break;
          case 1: M += "(AM|PM)?"; break;
          default: {
            const AnsiString Am = LocaleAm(), Pm = LocalePm();
            if (!Am.empty() && !Pm.empty())
              M += "(" + uxQuoteRegExprText(Am) + "|" + uxQuoteRegExprText(Pm) + ")?";
            else if (!Am.empty() || !Pm.empty())
              M += "(" + uxQuoteRegExprText(Am.empty() ? Pm : Am) + ")?";
            break;
          }
        }
        break;
      case dtikTimeSeparator:
        M += SeparatorRegExpr(LocaleFormatSettings().TimeSeparator);
        break;
      default:
        break;
    }
  }
  return M;
}

AnsiString uxGetDisplayFormat(const TuxDateTimeFormatInfo& Info) {
  AnsiString F;
  for (const TuxDateTimeFormatItem& It : Info.Items) {
    switch (It.Kind) {
      case dtikText:
        F += "'" + It.Data + "'";
        break;
      case dtikYear:
        F += LowerCase(It.Data);
        break;
      case dtikMonth:
        F += LongName(It.Data) ? "mmm" : "mm";
        break;
      case dtikDay:
        F += LongName(It.Data) ? "ddd" : "dd";
        break;
      case dtikHour:
        F += "hh";
        break;
      case dtikMin:
        F += "nn";
        break;
      case dtikSec:
        F += "ss";
        break;
      case dtikTimeSuffix:
        F += LowerCase(It.Data);
        break;
      case dtikDateSeparator:
        F += "/";
        break;
      case dtikTimeSeparator:
        F += ":";
        break;
      default:
        break;
    }
  }
  return F;
}

AnsiString uxGetCurrencyFormat() {
  const TFormatSettings& FS = LocaleFormatSettings();
  const AnsiString Number = ",0." + AnsiString(FS.CurrencyDecimals, '0');
  AnsiString Symbol;
  for (std::size_t I = 0; I < FS.CurrencyString.size();) {
    const int L = CharLength(FS.CurrencyString, I);
    const char C = FS.CurrencyString[I];
    if (L == 1 && (C == ',' || C == '.'))
      Symbol += AnsiString("'") + C + "'";
    else
      Symbol += FS.CurrencyString.substr(I, std::size_t(L));
    I += std::size_t(L);
  }
  AnsiString Positive;
  if (Symbol.empty()) {
    // Without a symbol the amount still shows, as a plain number.
    Positive = Number;
  } else {
    switch (FS.CurrencyFormat) {
      case 0: Positive = Symbol + Number; break;
      case 1: Positive = Number + Symbol; break;
      case 2: Positive = Symbol + " " + Number; break;
      case 3: Positive = Number + " " + Symbol; break;
      default: break;
    }
  }
  // The sixteen negative patterns; '$' stands for the symbol, '1' for the number.
  static const char* const Negative[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",   "1-$",   "1$-",
                                           "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  AnsiString Neg;
  if (FS.NegCurrFormat <= 15)
    for (const char* P = Negative[FS.NegCurrFormat]; *P; ++P) {
      if (*P == '$') Neg += Symbol;
      else if (*P == '1') Neg += Number;
      else Neg += *P;
    }
  return Positive + ";" + Neg;
}

// ---- the controller ----

TuxFormatController::TuxFormatController() {
  if (!FormatController) FormatController = this;
  GetFormats();
}

TuxFormatController::~TuxFormatController() {
  if (FWindow) DeallocateHWnd(FWindow);
  FWindow = nullptr;
  if (FormatController == this) FormatController = nullptr;
}

void TuxFormatController::GetFormats() {
  if (!FormatController) FormatController = this;
  if (!FAssignedCurrencyFormat) CurrencyFormat = uxGetCurrencyFormat();
  if (!FAssignedStartOfWeek) StartOfWeek = Byte((LocaleFormatSettings().FirstDayOfWeek + 1) % 7);
  CalculateMasks(true);
  // Single "d" and "M" are doubled so that the edit format has fixed widths.
  const AnsiString& S = FormatSettings().ShortDateFormat;
  DateEditFormat.clear();
  for (std::size_t I = 0; I < S.size(); ++I) {
    const char C = S[I];
    DateEditFormat += C;
    if ((C == 'd' || C == 'M') && (I == 0 || S[I - 1] != C) && (I + 1 >= S.size() || S[I + 1] != C))
      DateEditFormat += C;
  }
}

void TuxFormatController::CalculateMasks(bool WithSmartDateWords) {
  const TFormatSettings& FS = FormatSettings();
  uxParseDateTimeFormat(FS.ShortDateFormat, DateFormatInfo);
  uxParseDateTimeFormat(FS.LongTimeFormat, TimeFormatInfo);
  uxParseDateTimeFormat(FS.ShortDateFormat + " " + FS.LongTimeFormat, DateTimeFormatInfo);
  DateEditMask = uxGetStandardMask(DateFormatInfo, mkDate);
  if (!FAssignedStandardDateEditMask) StandardDateEditMask = DateEditMask;
  if (!FAssignedRegExprDateEditMask) {
    RegExprDateEditMask = uxGetDateRegExprMask(DateFormatInfo);
    if (WithSmartDateWords) uxAddSmartDateWords(RegExprDateEditMask, false);
  }
  if (!FAssignedRegExprDateTimeEditMask) {
    RegExprDateTimeEditMask =
        uxGetDateRegExprMask(DateFormatInfo) + " ' '(" + uxGetTimeRegExprMask(TimeFormatInfo) + ")?";
    if (WithSmartDateWords) uxAddSmartDateWords(RegExprDateTimeEditMask, true);
  }
  if (!FAssignedStandardDateTimeEditMask) StandardDateTimeEditMask = uxGetStandardMask(DateTimeFormatInfo, mkDateTime);
  MaskedDateEditFormat = uxGetDisplayFormat(DateFormatInfo);
  MaskedDateTimeEditFormat = uxGetDisplayFormat(DateTimeFormatInfo);
}

int TuxFormatController::GetFormatTextLength(const TuxDateTimeFormatInfo& Info) const {
  int L = 0;
  for (const TuxDateTimeFormatItem& It : Info.Items) L += uxGetFormatItemWidth(It);
  return L;
}

void TuxFormatController::SetCurrencyFormat(const AnsiString& Value) {
  CurrencyFormat = Value;
  FAssignedCurrencyFormat = true;
}
void TuxFormatController::SetRegExprDateEditMask(const AnsiString& Value) {
  RegExprDateEditMask = Value;
  FAssignedRegExprDateEditMask = true;
}
void TuxFormatController::SetRegExprDateTimeEditMask(const AnsiString& Value) {
  RegExprDateTimeEditMask = Value;
  FAssignedRegExprDateTimeEditMask = true;
}
void TuxFormatController::SetStandardDateEditMask(const AnsiString& Value) {
  StandardDateEditMask = Value;
  FAssignedStandardDateEditMask = true;
}
void TuxFormatController::SetStandardDateTimeEditMask(const AnsiString& Value) {
  StandardDateTimeEditMask = Value;
  FAssignedStandardDateTimeEditMask = true;
}
void TuxFormatController::SetStartOfWeek(Byte Value) {
  StartOfWeek = Byte(Value % 7);
  FAssignedStartOfWeek = true;
}

void TuxFormatController::AddListener(IuxFormatControllerListener* Listener) {
  if (!Listener || std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end()) return;
  FListeners.push_back(Listener);
  if (!FWindow) FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

void TuxFormatController::RemoveListener(IuxFormatControllerListener* Listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), Listener), FListeners.end());
  if (FListeners.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = nullptr;
  }
}

void TuxFormatController::NotifyFormatChanged() {
  // A listener may leave the list while it hears of the change.
  const std::vector<IuxFormatControllerListener*> Copy = FListeners;
  for (IuxFormatControllerListener* L : Copy)
    if (std::find(FListeners.begin(), FListeners.end(), L) != FListeners.end()) L->FormatChanged();
}

void TuxFormatController::NotifyTimeChanged() {
  const std::vector<IuxFormatControllerListener*> Copy = FListeners;
  for (IuxFormatControllerListener* L : Copy)
    if (std::find(FListeners.begin(), FListeners.end(), L) != FListeners.end())
      if (auto* L2 = dynamic_cast<IuxFormatControllerListener2*>(L)) L2->TimeChanged();
}

void TuxFormatController::WndProc(TMessage& Message) {
  try {
    if (Message.Msg == WM_WININICHANGE) {
      const char* Section = reinterpret_cast<const char*>(Message.LParam);
      if (Message.WParam == 0 && Section && SameText(Section, "intl")) {
        GetFormatSettings();
        GetFormats();
        NotifyFormatChanged();
      }
      Message.Result = 0;
      return;
    }
    if (Message.Msg == WM_TIMECHANGE) {
      NotifyTimeChanged();
      Message.Result = 0;
      return;
    }
    Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

TuxFormatController* uxGetFormatController() {
  if (!FormatController) new TuxFormatController();
  return FormatController;
}

void uxInitFormatController() { uxGetFormatController(); }

void uxDoneFormatController() { delete FormatController; }

bool uxFormatControllerExists() { return FormatController != nullptr; }
