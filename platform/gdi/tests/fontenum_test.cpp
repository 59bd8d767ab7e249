// Enumerating the installed font families through the platform call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace fontenum_test {

struct TSeen {
  std::vector<std::string> Names;
  std::vector<DWORD> Types;
  std::vector<BYTE> Charsets;
  int StopAfter = -1;
};

int Collect(const LOGFONTA* Font, const TEXTMETRICA*, DWORD Type, LPARAM Data) {
  auto* seen = reinterpret_cast<TSeen*>(Data);
  seen->Names.push_back(Font->lfFaceName);
  seen->Types.push_back(Type);
  seen->Charsets.push_back(Font->lfCharSet);
  return int(seen->Names.size()) != seen->StopAfter;
}

TEST(FontEnum, FamiliesWithTheirType) {
  std::vector<std::string> installed = EnumFontFamilyNames();
  ASSERT_FALSE(installed.empty());
  LOGFONTA lf;
  lf.lfCharSet = DEFAULT_CHARSET;
  TSeen all;
  EXPECT_EQ(EnumFontFamiliesExA(nullptr, &lf, &Collect, reinterpret_cast<LPARAM>(&all), 0), 1);
  ASSERT_EQ(all.Names.size(), installed.size());
  for (std::size_t i = 0; i < installed.size(); ++i) {
    EXPECT_EQ(all.Names[i], installed[i].substr(0, std::min<std::size_t>(installed[i].size(), LF_FACESIZE - 1)));
    EXPECT_EQ(all.Charsets[i], DEFAULT_CHARSET);
  }
  // the DejaVu faces the machine has are outline fonts
  bool dejavu = false;
  for (std::size_t i = 0; i < all.Names.size(); ++i)
    if (all.Names[i] == "DejaVu Sans") {
      dejavu = true;
      EXPECT_EQ(all.Types[i] & TRUETYPE_FONTTYPE, TRUETYPE_FONTTYPE);
    }
  EXPECT_TRUE(dejavu);

  // a face name limits the list, without regard to case
  std::string face = "dejavu sans";
  face.copy(lf.lfFaceName, face.size());
  TSeen one;
  EnumFontFamiliesExA(nullptr, &lf, &Collect, reinterpret_cast<LPARAM>(&one), 0);
  EXPECT_EQ(one.Names, std::vector<std::string>{"DejaVu Sans"});

  // the callback ends the enumeration by answering 0
  LOGFONTA any;
  any.lfCharSet = DEFAULT_CHARSET;
  TSeen first;
  first.StopAfter = 1;
  EXPECT_EQ(EnumFontFamiliesExA(nullptr, &any, &Collect, reinterpret_cast<LPARAM>(&first), 0), 0);
  EXPECT_EQ(first.Names.size(), 1u);
}

}  // namespace fontenum_test
