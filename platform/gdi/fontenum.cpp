// The installed font families, as fontconfig lists them.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <cctype>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/strings.h"

namespace {

// The family name to report for one font: the simplified-Chinese name when the
// font has one (as a Chinese system names its faces), else its first name.
std::string ReportedFamily(FcPattern* font) {
  FcChar8* first = nullptr;
  if (FcPatternGetString(font, FC_FAMILY, 0, &first) != FcResultMatch || !first) return {};
  for (int i = 0;; ++i) {
    FcChar8* lang = nullptr;
    if (FcPatternGetString(font, FC_FAMILYLANG, i, &lang) != FcResultMatch) break;
    std::string l = reinterpret_cast<const char*>(lang);
    if (l == "zh-cn" || l == "zh" || l == "zh-sg") {
      FcChar8* name = nullptr;
      if (FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch && name)
        return reinterpret_cast<const char*>(name);
    }
  }
  return reinterpret_cast<const char*>(first);
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

namespace {

// The CP936 names of the families with at least one scalable face.
std::vector<std::string> ScalableFamilies() {
  std::vector<std::string> out;
  if (!FcInit()) return out;
  FcPattern* pat = FcPatternCreate();
  if (pat) FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, static_cast<char*>(nullptr));
  FcFontSet* set = pat && os ? FcFontList(nullptr, pat, os) : nullptr;
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      std::string utf8 = ReportedFamily(set->fonts[i]);
      if (!utf8.empty()) out.push_back(Utf8ToAnsi(utf8));
    }
    FcFontSetDestroy(set);
  }
  if (os) FcObjectSetDestroy(os);
  if (pat) FcPatternDestroy(pat);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

int EnumFontFamiliesExA(HDC, const LOGFONTA* Font, FONTENUMPROCA Proc, LPARAM Data, DWORD) {
  if (!Proc) return 0;
  std::string wanted = Font ? std::string(Font->lfFaceName, strnlen(Font->lfFaceName, LF_FACESIZE)) : std::string();
  std::vector<std::string> scalable = ScalableFamilies();
  int result = 1;
  for (const std::string& name : EnumFontFamilyNames()) {
    if (!wanted.empty() && !(!LessNoCase(name, wanted) && !LessNoCase(wanted, name))) continue;
    LOGFONTA lf;
    lf.lfCharSet = Font ? Font->lfCharSet : DEFAULT_CHARSET;
    // the face field holds 31 bytes and its terminator; a double-byte character is never cut
    std::size_t n = 0;
    while (n < name.size()) {
      std::size_t step = static_cast<unsigned char>(name[n]) >= 0x81 && n + 1 < name.size() ? 2 : 1;
      if (n + step > LF_FACESIZE - 1) break;
      n += step;
    }
    std::copy(name.begin(), name.begin() + std::ptrdiff_t(n), lf.lfFaceName);
    TEXTMETRICA tm{};
    DWORD type = std::binary_search(scalable.begin(), scalable.end(), name) ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE;
    result = Proc(&lf, &tm, type, Data);
    if (!result) break;
  }
  return result;
}

std::vector<std::string> EnumFontFamilyNames() {
  std::vector<std::string> out;
  if (!FcInit()) return out;
  FcPattern* pat = FcPatternCreate();
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, static_cast<char*>(nullptr));
  FcFontSet* set = pat && os ? FcFontList(nullptr, pat, os) : nullptr;
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      std::string utf8 = ReportedFamily(set->fonts[i]);
      if (utf8.empty()) continue;
      // Names the code page cannot hold would come out garbled: leave them out.
      std::string ansi = Utf8ToAnsi(utf8);
      if (AnsiToUtf8(ansi) != utf8) continue;
      out.push_back(ansi);
    }
    FcFontSetDestroy(set);
  }
  if (os) FcObjectSetDestroy(os);
  if (pat) FcPatternDestroy(pat);
  std::sort(out.begin(), out.end(), LessNoCase);
  out.erase(std::unique(out.begin(), out.end(),
                        [](const std::string& a, const std::string& b) { return !LessNoCase(a, b) && !LessNoCase(b, a); }),
            out.end());
  return out;
}
