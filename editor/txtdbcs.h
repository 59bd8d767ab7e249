// Double-byte helpers of the editor's text code: code page 936 lead bytes are
// 0x81..0xFE and a trail byte lies in 0x40..0xFE without 0x7F. A lead byte that
// is not followed by a valid trail byte stands alone as one character.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace txtdbcs {

inline bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
inline bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// True when a double-byte character starts at index i of s[0..n).
inline bool PairAt(const unsigned char* s, std::size_t n, std::size_t i) {
  return i + 1 < n && IsLead(s[i]) && IsTrailByte(s[i + 1]);
}

// Width of the character that starts at i (1 or 2).
inline std::size_t CharWidth(const unsigned char* s, std::size_t n, std::size_t i) {
  return PairAt(s, n, i) ? 2 : 1;
}

// Fills flags[i] = 1 for every byte that is the second byte of a double-byte
// character; flags gets n + 1 entries (the terminator position is never a trail).
inline void MarkTrailBytes(const unsigned char* s, std::size_t n, std::vector<std::uint8_t>& flags) {
  flags.assign(n + 1, 0);
  for (std::size_t i = 0; i < n;) {
    if (PairAt(s, n, i)) {
      flags[i + 1] = 1;
      i += 2;
    } else {
      ++i;
    }
  }
}

// Start (0-based) of the run of characters that ends at byte End of s (with
// trail flags from MarkTrailBytes): walks back over every character that is a
// double-byte one or a single byte above blank for which Stop is false. A
// trail byte is never taken for a blank or a stop.
template <class StopFn>
std::size_t RunStartBefore(const unsigned char* s, std::size_t End, const std::vector<std::uint8_t>& Trail,
                           StopFn Stop) {
  std::size_t i = End;
  while (i > 0) {
    const std::size_t start = (i >= 2 && Trail[i - 1]) ? i - 2 : i - 1;
    if (start == i - 1 && (s[start] <= ' ' || Stop(s[start]))) break;
    i = start;
  }
  return i;
}

inline unsigned char AsciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
inline unsigned char AsciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

}  // namespace txtdbcs
