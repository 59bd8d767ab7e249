#include "platform/rtl/lcmap.h"

#include <unicode/translit.h>
#include <unicode/uscript.h>
#include <unicode/unistr.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/rtl/strings.h"

namespace lcmap_impl {

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The byte length of a counted or terminated string; -1 for a bad count.
int SourceLength(const char* Src, int Count) {
  if (!Src || Count < -1) return -1;
  return Count == -1 ? static_cast<int>(std::strlen(Src)) + 1 : Count;
}

icu::Transliterator* Transliterator(bool Simplified) {
  static std::once_flag once;
  static std::unique_ptr<icu::Transliterator> toSimplified, toTraditional;
  std::call_once(once, [] {
    UErrorCode status = U_ZERO_ERROR;
    toSimplified.reset(icu::Transliterator::createInstance("Traditional-Simplified", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) toSimplified.reset();
    status = U_ZERO_ERROR;
    toTraditional.reset(icu::Transliterator::createInstance("Simplified-Traditional", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) toTraditional.reset();
  });
  return Simplified ? toSimplified.get() : toTraditional.get();
}

// One double-byte character mapped, or the character itself when it has no
// counterpart code page 936 holds as one character.
std::string MapCharacter(icu::Transliterator& T, std::string_view Char) {
  const std::string utf8 = AnsiToUtf8(Char);
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(utf8);
  UErrorCode status = U_ZERO_ERROR;
  // Only ideographs have a counterpart; punctuation such as corner brackets
  // stays as written.
  if (u.length() == 0 || uscript_getScript(u.char32At(0), &status) != USCRIPT_HAN) return std::string(Char);
  T.transliterate(u);
  std::string mapped;
  u.toUTF8String(mapped);
  if (mapped == utf8) return std::string(Char);
  const AnsiString back = Utf8ToAnsi(mapped);
  if (back.size() != 2 || !IsLead(static_cast<unsigned char>(back[0]))) return std::string(Char);
  return back;
}

}  // namespace lcmap_impl

int MultiByteToWideChar(UINT CodePage, DWORD, const char* lpMultiByteStr, int cbMultiByte, WCHAR* lpWideCharStr,
                        int cchWideChar) {
  if ((CodePage != CP_ACP && CodePage != CP_936) || cchWideChar < 0) return 0;
  const int n = lcmap_impl::SourceLength(lpMultiByteStr, cbMultiByte);
  if (n <= 0) return 0;
  const WideString wide = AnsiToWide(std::string_view(lpMultiByteStr, static_cast<std::size_t>(n)));
  const int units = static_cast<int>(wide.size());
  if (cchWideChar == 0) return units;
  if (!lpWideCharStr || cchWideChar < units) return 0;
  std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
  return units;
}

int LCMapStringA(DWORD, DWORD dwMapFlags, const char* lpSrcStr, int cchSrc, char* lpDestStr, int cchDest) {
  if (dwMapFlags != LCMAP_SIMPLIFIED_CHINESE && dwMapFlags != LCMAP_TRADITIONAL_CHINESE) return 0;
  if (cchDest < 0) return 0;
  const int n = lcmap_impl::SourceLength(lpSrcStr, cchSrc);
  if (n <= 0) return 0;
  icu::Transliterator* t = lcmap_impl::Transliterator(dwMapFlags == LCMAP_SIMPLIFIED_CHINESE);
  if (!t) return 0;
  std::string out;
  out.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n;) {
    const auto c = static_cast<unsigned char>(lpSrcStr[i]);
    if (lcmap_impl::IsLead(c) && i + 1 < n && lpSrcStr[i + 1] != 0) {
      out += lcmap_impl::MapCharacter(*t, std::string_view(lpSrcStr + i, 2));
      i += 2;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  const int size = static_cast<int>(out.size());
  if (cchDest == 0) return size;
  if (!lpDestStr || cchDest < size) return 0;
  std::memcpy(lpDestStr, out.data(), out.size());
  return size;
}
