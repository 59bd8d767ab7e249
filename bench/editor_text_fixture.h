// Generated CP936 prose for the editor benchmarks: Hanzi from the GB2312 block,
// Chinese punctuation, a few names, numbers and Latin words, in lines of about
// 60 bytes separated by CR LF.
#pragma once
#include <random>
#include <string>
#include <vector>

inline std::string MakeChineseText(std::size_t bytes, unsigned seed = 936) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE), pick(0, 99), len(20, 90);
  static const char* const pieces[] = {"\xD5\xC5\xC8\xFD", "\xC0\xEE\xCB\xC4", "\xA3\xAC", "\xA1\xA3",
                                       "\xA3\xBA\xA1\xB0", "\xA1\xB1", "chapter12", " 2024 ", "abc7"};
  std::string out;
  out.reserve(bytes + 128);
  while (out.size() < bytes) {
    std::size_t lineEnd = out.size() + std::size_t(len(rng));
    while (out.size() < lineEnd) {
      int p = pick(rng);
      if (p < 85) {
        out.push_back(char(lead(rng)));
        out.push_back(char(trail(rng)));
      } else {
        out += pieces[p % 9];
      }
    }
    out += "\r\n";
  }
  return out;
}

// The lines of a text split at CR LF, CR or LF: the work every editor's
// loading is measured against.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* e = p;
    while (e < end && *e != '\r' && *e != '\n') ++e;
    lines.emplace_back(p, e);
    if (e < end && *e == '\r') ++e;
    if (e < end && *e == '\n') ++e;
    p = e;
  }
  return lines;
}
