// Paragraph formatting of an editor's lines: Chinese prose as paragraphs in
// simplified characters, each indented by four blanks.
#include <memory>
#include <vector>

#include "app/libdatamodule.h"
#include "editor/txteditstringlist.h"
#include "platform/rtl/lcmap.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

namespace paragraph_impl {

const char* const kIndent = "    ";

// One line as a paragraph, without its indent.
AnsiString Tidy(const AnsiString& Line) {
  AnsiString s = Trim(Line);
  AnsiString noBlanks;
  noBlanks.reserve(s.size());
  for (char c : s)
    if (c != ' ') noBlanks += c;
  return TLibDataModule::ToSimplifiedChinese(Trim(noBlanks));
}

std::vector<AnsiString> OldLines(TCustomTxtEdit* Editor) {
  std::vector<AnsiString> lines;
  TStrings* store = Editor->Lines();
  lines.reserve(static_cast<std::size_t>(store->Count()));
  for (int i = 0; i < store->Count(); ++i) lines.push_back(store->Strings(i));
  return lines;
}

}  // namespace paragraph_impl

AnsiString TLibDataModule::ToSimplifiedChinese(const AnsiString& Text) {
  const int units = MultiByteToWideChar(CP_936, 0, Text.c_str(), -1, nullptr, 0);
  if (units <= 0) return "";
  std::vector<char> buffer(static_cast<std::size_t>(units) * 2 + 1, '\0');
  if (LCMapStringA(0x0804, LCMAP_SIMPLIFIED_CHINESE, Text.c_str(), -1, buffer.data(), units * 2) == 0) return "";
  return AnsiString(buffer.data());
}

void TLibDataModule::format(TCustomTxtEdit* Editor) {
  if (!Editor) return;
  std::vector<AnsiString> lines;
  for (const AnsiString& line : paragraph_impl::OldLines(Editor))
    lines.push_back(paragraph_impl::kIndent + paragraph_impl::Tidy(line));
  TStrings* store = Editor->Lines();
  store->Clear();
  for (const AnsiString& line : lines) store->Add(line);
}

void TLibDataModule::formatAdvance(TCustomTxtEdit* Editor) {
  if (!Editor) return;
  std::vector<AnsiString> lines;
  for (const AnsiString& line : paragraph_impl::OldLines(Editor))
    if (AnsiString t = paragraph_impl::Tidy(line); !t.empty()) lines.push_back(paragraph_impl::kIndent + t);
  Editor->SetText("");
  TStrings* store = Editor->Lines();
  for (const AnsiString& line : lines) store->Add(line);
}
