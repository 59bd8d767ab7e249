// Format: the platform's format language over a list of TVarRec arguments.
#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/floatfmt_internal.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

struct FormatState {
  const AnsiString& fmt;
  const TVarRec* args;
  std::size_t count;
  std::size_t next = 0;

  [[noreturn]] void Invalid() const { throw EConvertError(SInvalidFormat, {fmt}); }
  [[noreturn]] void Missing() const { throw EConvertError(SArgumentMissing, {fmt}); }

  const TVarRec& Take() {
    if (next >= count) Missing();
    return args[next++];
  }

  static bool IsInteger(const TVarRec& a) { return a.kind == TVarRec::vtInteger || a.kind == TVarRec::vtInt64; }

  // A number or '*' at fmt[i]; -1 when there is neither.
  long ReadNumber(std::size_t& i) {
    if (i < fmt.size() && fmt[i] == '*') {
      ++i;
      const TVarRec& a = Take();
      if (!IsInteger(a)) Invalid();
      return static_cast<long>(std::clamp<Int64>(a.i, 0, 1000000));  // a negative width counts as none
    }
    if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9') return -1;
    long v = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
      if (v < 1000000) v = v * 10 + (fmt[i] - '0');
      ++i;
    }
    return v;
  }
};

std::string Unsigned(UInt64 v) { return std::to_string(v); }

// Minimum digits for integers: zeros after the sign.
std::string PadDigits(std::string digits, long precision) {
  bool neg = !digits.empty() && digits[0] == '-';
  if (neg) digits.erase(0, 1);
  if (precision > static_cast<long>(digits.size())) digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
  return neg ? "-" + digits : digits;
}

// At most `max` bytes of s, never ending inside a double-byte character.
std::string Clip(std::string_view s, long max) {
  if (max < 0 || static_cast<std::size_t>(max) >= s.size()) return std::string(s);
  std::size_t end = 0;
  while (end < s.size()) {
    std::size_t n = (IsDBCSLeadByte(s[end]) && end + 1 < s.size()) ? 2 : 1;
    if (end + n > static_cast<std::size_t>(max)) break;
    end += n;
  }
  return std::string(s.substr(0, end));
}

}  // namespace

AnsiString Format(const AnsiString& Fmt, TVarRecList Args) { return Format(Fmt, Args.begin(), Args.size()); }

AnsiString Format(const AnsiString& Fmt, const TVarRec* Args, std::size_t Count) {
  using namespace pv_float;
  FormatState st{Fmt, Args, Count};
  const TFormatSettings& fs = FormatSettings();
  AnsiString out;
  out.reserve(Fmt.size() + 16);
  std::size_t i = 0;
  while (i < Fmt.size()) {
    char c = Fmt[i];
    // '%' (0x25) is never a trail byte, so bytes can be copied one by one.
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    ++i;
    if (i < Fmt.size() && Fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    long width = st.ReadNumber(i);
    if (width >= 0 && i < Fmt.size() && Fmt[i] == ':') {
      st.next = static_cast<std::size_t>(width);
      ++i;
      width = -1;
    }
    bool left = false;
    if (width < 0 && i < Fmt.size() && Fmt[i] == '-') {
      left = true;
      ++i;
    }
    if (width < 0) width = st.ReadNumber(i);
    long prec = -1;
    if (i < Fmt.size() && Fmt[i] == '.') {
      ++i;
      prec = st.ReadNumber(i);
      if (prec < 0) prec = 0;
    }
    if (i >= Fmt.size()) st.Invalid();
    char type = static_cast<char>(Fmt[i] >= 'a' && Fmt[i] <= 'z' ? Fmt[i] - 32 : Fmt[i]);
    ++i;

    std::string text;
    switch (type) {
      case 'D': {
        const TVarRec& a = st.Take();
        if (!FormatState::IsInteger(a)) st.Invalid();
        text = PadDigits(std::to_string(a.i), prec);
        break;
      }
      case 'U': {
        const TVarRec& a = st.Take();
        if (!FormatState::IsInteger(a)) st.Invalid();
        UInt64 v = a.kind == TVarRec::vtInteger ? static_cast<std::uint32_t>(a.i) : static_cast<UInt64>(a.i);
        text = PadDigits(Unsigned(v), prec);
        break;
      }
      case 'X': {
        const TVarRec& a = st.Take();
        if (!FormatState::IsInteger(a)) st.Invalid();
        text = a.kind == TVarRec::vtInteger ? IntToHex32(static_cast<std::uint32_t>(a.i), 0)
                                            : IntToHex64(static_cast<UInt64>(a.i), 0);
        text = PadDigits(text, prec);
        break;
      }
      case 'E':
      case 'F':
      case 'G':
      case 'N':
      case 'M': {
        const TVarRec& a = st.Take();
        Decimal d;
        if (a.kind == TVarRec::vtExtended) d = FromDouble(static_cast<double>(a.e));
        else if (a.kind == TVarRec::vtCurrency) d = FromCurrency(Currency::FromScaled(a.i));
        else st.Invalid();
        switch (type) {
          case 'E':
            text = FormatDecimal(d, ffExponent, prec < 0 ? 15 : static_cast<int>(std::min<long>(prec, 18)), 3, fs);
            break;
          case 'F':
            text = FormatDecimal(d, ffFixed, 19, prec < 0 ? 2 : static_cast<int>(std::min<long>(prec, 18)), fs);
            break;
          case 'G':
            text = FormatDecimal(d, ffGeneral, prec < 0 ? 15 : static_cast<int>(std::min<long>(prec, 18)), 3, fs);
            break;
          case 'N':
            text = FormatDecimal(d, ffNumber, 19, prec < 0 ? 2 : static_cast<int>(std::min<long>(prec, 18)), fs);
            break;
          default:
            text = FormatDecimal(d, ffCurrency, 19,
                                 prec < 0 ? fs.CurrencyDecimals : static_cast<int>(std::min<long>(prec, 18)), fs);
            break;
        }
        break;
      }
      case 'S': {
        const TVarRec& a = st.Take();
        switch (a.kind) {
          case TVarRec::vtString: text = Clip(a.s, prec); break;
          case TVarRec::vtChar: text = Clip(std::string(1, static_cast<char>(a.i)), prec); break;
          case TVarRec::vtWideString: text = Clip(WideToAnsi(a.w ? std::u16string_view(a.w) : std::u16string_view()), prec); break;
          default: st.Invalid();
        }
        break;
      }
      case 'P': {
        const TVarRec& a = st.Take();
        if (a.kind != TVarRec::vtPointer) st.Invalid();
        text = PadDigits(IntToHex64(reinterpret_cast<std::uintptr_t>(a.p), static_cast<int>(sizeof(void*) * 2)), prec);
        break;
      }
      default:
        st.Invalid();
    }
    if (width > static_cast<long>(text.size())) {
      std::string pad(static_cast<std::size_t>(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}
