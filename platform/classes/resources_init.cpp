#include "platform/classes/resources_init.h"

#include <charconv>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/resources.h"

void RegisterStringTable(const void* Data, std::size_t Size, const char* Source) {
  const char* p = static_cast<const char*>(Data);
  const char* end = p + Size;
  int line = 0;
  auto fail = [&](const AnsiString& what) {
    throw EReadError(AnsiString(Source) + ": " + what + " on line " + std::to_string(line));
  };
  while (p < end) {
    ++line;
    const char* eol = p;
    while (eol < end && *eol != '\n') ++eol;
    AnsiString text(p, eol);
    p = eol < end ? eol + 1 : end;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (line == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) fail("the table must be CP936, not UTF-8 with a mark");
    std::size_t first = text.find_first_not_of(" \t");
    if (first == AnsiString::npos || text[first] == ';') continue;
    std::size_t eq = text.find('=');
    if (eq == AnsiString::npos) fail("'=' expected");
    AnsiString idText = text.substr(first, eq - first);
    while (!idText.empty() && (idText.back() == ' ' || idText.back() == '\t')) idText.pop_back();
    int id = 0;
    auto r = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (idText.empty() || r.ec != std::errc() || r.ptr != idText.data() + idText.size() || id < 0)
      fail("'" + idText + "' is not a string number");
    AnsiString value;
    for (std::size_t i = eq + 1; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\\' && i + 1 < text.size()) {
        char n = text[++i];
        if (n == 'n') value += '\n';
        else if (n == 'r') value += '\r';
        else if (n == 't') value += '\t';
        else if (n == '\\') value += '\\';
        else fail(AnsiString("unknown escape \\") + n);
      } else {
        value += c;
      }
    }
    RegisterString(id, value);
  }
}
