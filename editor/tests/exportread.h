// Reading exported documents back in tests: the text of an RTF document as
// the exporter writes it, and the page a headless Chromium (from the Debian
// archive, when installed) builds from an HTML file.
#pragma once
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtl/strings.h"

namespace exportread {

// The text of an RTF document as this exporter writes it: the groups of the
// header skipped, "\par" as a line break, hexadecimal escapes as bytes.
inline AnsiString RtfText(const AnsiString& Rtf) {
  AnsiString r;
  int depth = 0, skipFrom = 0;
  for (std::size_t i = 0; i < Rtf.size();) {
    const char c = Rtf[i];
    if (c == '{') {
      ++depth;
      if (depth >= 2 && !skipFrom) skipFrom = depth;
      ++i;
    } else if (c == '}') {
      if (depth == skipFrom) skipFrom = 0;
      --depth;
      ++i;
    } else if (c == '\\') {
      const char n = i + 1 < Rtf.size() ? Rtf[i + 1] : '\0';
      if (n == '\\' || n == '{' || n == '}') {
        if (!skipFrom) r += n;
        i += 2;
      } else if (n == '\'') {
        if (!skipFrom && i + 3 < Rtf.size()) r += char(HexDigitValue(Rtf[i + 2]) * 16 + HexDigitValue(Rtf[i + 3]));
        i += 4;
      } else {
        std::size_t j = i + 1;
        while (j < Rtf.size() && (std::isalpha(static_cast<unsigned char>(Rtf[j])) ||
                                  std::isdigit(static_cast<unsigned char>(Rtf[j])) || Rtf[j] == '-'))
          ++j;
        if (!skipFrom && Rtf.substr(i + 1, j - i - 1) == "par") r += "\n";
        if (j < Rtf.size() && Rtf[j] == ' ') ++j;
        i = j;
      }
    } else if (c == '\r' || c == '\n') {
      ++i;
    } else {
      if (!skipFrom) r += c;
      ++i;
    }
  }
  return r;
}

// The headless browser's path, or empty when none is installed.
inline std::string HeadlessBrowser() {
  for (const char* b : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
    if (std::filesystem::exists(b)) return b;
  return std::string();
}

// The start of a browser command line whose profile lives in WorkDir.
inline std::string BrowserCommand(const std::string& Browser, const std::string& WorkDir) {
  return "timeout 120 " + Browser + " --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir=" +
         WorkDir + "/profile ";
}

// The DOM the browser builds from the page at Page (a path), as UTF-8; empty
// when the browser fails. Its profile and output stay in WorkDir.
inline std::string BrowserDom(const std::string& Browser, const std::string& Page, const std::string& WorkDir) {
  const std::string out = WorkDir + "/dom.txt";
  if (std::system((BrowserCommand(Browser, WorkDir) + "--dump-dom file://" + Page + " > " + out + " 2>/dev/null")
                      .c_str()) != 0)
    return std::string();
  std::ifstream dom(out);
  return std::string((std::istreambuf_iterator<char>(dom)), std::istreambuf_iterator<char>());
}

}  // namespace exportread
