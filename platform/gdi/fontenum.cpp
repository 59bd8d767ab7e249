// The installed font families, as fontconfig lists them.
#include <fontconfig/fontconfig.h>

#include <algorithm>
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
