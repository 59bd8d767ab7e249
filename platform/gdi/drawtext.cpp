// DrawText/DrawTextEx: prefixes, tabs, line breaking, word wrap, ellipses,
// alignment and the calculated rectangle.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

namespace {

inline int CharLen(const std::string& s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) {
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (t >= 0x40 && t <= 0xFE && t != 0x7F) return 2;
  }
  return 1;
}

struct Line {
  std::string text;
  int ul = -1;  // byte index of the prefix-underlined character
};

struct Measurer {
  DCObj* dc;
  bool expandTabs;
  int tabWidth;
  // Width of s from a line start, tabs expanded to multiples of tabWidth.
  int Width(const std::string& s) const {
    if (!expandTabs || s.find('\t') == std::string::npos) return TextWidth(dc, s.data(), int(s.size()));
    int pos = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == '\t') {
        pos += TextWidth(dc, s.data() + start, int(i - start));
        if (i < s.size() && tabWidth > 0) pos = (pos / tabWidth + 1) * tabWidth;
        start = i + 1;
      } else if (CharLen(s, i) == 2) {
        ++i;
      }
    }
    return pos;
  }
};

// Removes "&" prefixes: "&&" is one "&", "&x" underlines x.
std::string StripPrefix(const std::string& s, int& ul) {
  std::string out;
  ul = -1;
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out += '&';
        i += 2;
        continue;
      }
      if (i + 1 < s.size()) ul = int(out.size());
      ++i;
      continue;
    }
    int n = CharLen(s, i);
    out.append(s, i, std::size_t(n));
    i += std::size_t(n);
  }
  return out;
}

bool IsDbcs(const std::string& s, std::size_t i) { return CharLen(s, i) == 2; }

// Greedy word wrap of one paragraph into lines no wider than width.
void Wrap(const Measurer& m, const std::string& para, int ulPara, int width, bool breakWords, bool dbcsBreak,
          std::vector<Line>& out) {
  std::size_t start = 0;
  const std::size_t n = para.size();
  // Without tabs a stretch's width is a difference of pen offsets.
  std::vector<int> offs;
  const bool tabs = m.expandTabs && para.find('\t') != std::string::npos;
  if (!tabs) TextOffsets(m.dc, para.data(), int(n), offs);
  auto widthOf = [&](std::size_t a, std::size_t b) {
    return tabs ? m.Width(para.substr(a, b - a)) : offs[b] - offs[a];
  };
  auto emit = [&](std::size_t a, std::size_t b) {
    Line l;
    l.text = para.substr(a, b - a);
    if (ulPara >= int(a) && ulPara < int(b)) l.ul = ulPara - int(a);
    out.push_back(std::move(l));
  };
  if (n == 0) {
    emit(0, 0);
    return;
  }
  while (start < n) {
    std::size_t i = start;
    std::size_t breakEnd = 0, breakNext = 0;  // last break: line end and next line start
    bool haveBreak = false;
    std::size_t lineEnd = n, next = n;
    while (i < n) {
      int cl = CharLen(para, i);
      if (para[i] == ' ') {
        std::size_t j = i;
        while (j < n && para[j] == ' ') ++j;
        breakEnd = i;
        breakNext = j;
        haveBreak = true;
        i = j;
        continue;
      }
      bool db = cl == 2;
      if (db && dbcsBreak && i > start) {
        breakEnd = i;
        breakNext = i;
        haveBreak = true;
      }
      if (widthOf(start, i + std::size_t(cl)) > width) {
        if (haveBreak && breakEnd > start) {
          lineEnd = breakEnd;
          next = breakNext;
        } else if (haveBreak && breakNext > start && breakEnd == start) {
          lineEnd = start;
          next = breakNext;
        } else if (breakWords && i > start) {
          lineEnd = i;
          next = i;
        } else {
          // A word wider than the line stays whole; look for the next break.
          std::size_t j = i + cl;
          while (j < n && para[j] != ' ' && !(dbcsBreak && IsDbcs(para, j))) j += CharLen(para, j);
          lineEnd = j;
          next = j;
          while (next < n && para[next] == ' ') ++next;
        }
        break;
      }
      if (db && dbcsBreak) {
        breakEnd = i + 2;
        breakNext = i + 2;
        haveBreak = true;
      }
      i += cl;
    }
    if (i >= n) {
      lineEnd = n;
      next = n;
    }
    emit(start, lineEnd);
    if (next <= start) next = start + 1;  // always progress
    start = next;
  }
}

std::string EndEllipsis(const Measurer& m, const std::string& s, int width, bool words) {
  if (m.Width(s) <= width) return s;
  const int dots = m.Width("...");
  std::size_t best = 0, bestWord = 0;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t next = i + std::size_t(CharLen(s, i));
    if (m.Width(s.substr(0, next)) + dots > width) break;
    best = next;
    if (next < s.size() && s[next] == ' ') bestWord = next;
    i = next;
  }
  if (words && bestWord) best = bestWord;
  return s.substr(0, best) + "...";
}

std::string PathEllipsis(const Measurer& m, const std::string& s, int width) {
  if (m.Width(s) <= width) return s;
  std::size_t slash = std::string::npos;
  for (std::size_t i = 0; i < s.size(); i += std::size_t(CharLen(s, i)))
    if (s[i] == '\\' || s[i] == '/') slash = i;
  if (slash == std::string::npos) return EndEllipsis(m, s, width, false);
  std::string head = s.substr(0, slash), tail = s.substr(slash);
  std::size_t best = 0;
  bool fits = false;
  for (std::size_t i = 0; i <= head.size();) {
    if (m.Width(head.substr(0, i) + "..." + tail) > width) break;
    best = i;
    fits = true;
    if (i == head.size()) break;
    i += std::size_t(CharLen(head, i));
  }
  if (!fits) return "..." + tail;
  return head.substr(0, best) + "..." + tail;
}

}  // namespace

int DrawTextExA(HDC hdc, char* str, int len, RECT* rc, UINT fmt, DRAWTEXTPARAMS* dtp) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !rc || (!str && len != 0)) return 0;
  if (len < 0) len = int(std::strlen(str));
  int tabChars = 8;
  if (fmt & DT_TABSTOP) {
    tabChars = int((fmt >> 8) & 0xFF);
    fmt &= ~0xFF00u;
  } else if (dtp && dtp->iTabLength > 0) {
    tabChars = dtp->iTabLength;
  }
  int lm = dtp ? dtp->iLeftMargin : 0, rm = dtp ? dtp->iRightMargin : 0;
  int lineH, ave, ext;
  FontHeights(dc, &lineH, &ave, &ext);
  if (fmt & DT_EXTERNALLEADING) lineH += ext;
  Measurer m{dc, (fmt & DT_EXPANDTABS) != 0, tabChars * ave};
  const int left = rc->left + lm, right = rc->right - rm;
  const int width = right - left;

  std::string src(str ? str : "", std::size_t(len));
  int ul = -1;
  std::string text = (fmt & DT_NOPREFIX) ? src : StripPrefix(src, ul);
  if (fmt & DT_HIDEPREFIX) ul = -1;

  // Paragraphs split at line breaks, unless single-line.
  std::vector<Line> lines;
  const bool single = fmt & DT_SINGLELINE;
  std::size_t p = 0;
  while (true) {
    std::size_t e = p;
    if (!single)
      while (e < text.size() && text[e] != '\r' && text[e] != '\n') e += std::size_t(CharLen(text, e));
    else
      e = text.size();
    std::string para = text.substr(p, e - p);
    int ulPara = ul >= int(p) && ul < int(e) ? ul - int(p) : -1;
    if (single) {
      // Line breaks in single-line text are not shown.
      std::string clean;
      for (std::size_t i = 0; i < para.size(); ++i)
        if (para[i] != '\r' && para[i] != '\n') clean += para[i];
        else if (ulPara > int(clean.size())) --ulPara;
      para = clean;
    }
    if ((fmt & DT_WORDBREAK) && !single) {
      Wrap(m, para, ulPara, width, (fmt & DT_EDITCONTROL) != 0, !(fmt & DT_NOFULLWIDTHCHARBREAK), lines);
    } else {
      lines.push_back(Line{para, ulPara});
    }
    if (e >= text.size()) break;
    p = e + 1;
    if (text[e] == '\r' && p < text.size() && text[p] == '\n') ++p;
    if (p > text.size()) break;
  }
  if (text.empty() && lines.empty()) lines.push_back(Line{});

  // Ellipses
  const UINT ellipsis = fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  bool modified = false;
  if (ellipsis) {
    for (Line& l : lines) {
      std::string before = l.text;
      if (fmt & DT_PATH_ELLIPSIS) l.text = PathEllipsis(m, l.text, width);
      else l.text = EndEllipsis(m, l.text, width, (fmt & DT_WORD_ELLIPSIS) && !(fmt & DT_END_ELLIPSIS));
      if (l.text != before) {
        modified = true;
        if (l.ul >= 0 && (l.ul >= int(l.text.size()) || l.text.compare(0, std::size_t(l.ul) + 1, before, 0, std::size_t(l.ul) + 1) != 0))
          l.ul = -1;
      }
    }
  }
  if (modified && (fmt & DT_MODIFYSTRING) && str && lines.size() == 1) {
    const std::string& r = lines[0].text;
    std::size_t cap = std::size_t(len) + 4;
    std::size_t n = std::min(r.size(), cap);
    std::memcpy(str, r.data(), n);
    if (n < cap) str[n] = 0;
  }

  int maxW = 0;
  for (const Line& l : lines) maxW = std::max(maxW, m.Width(l.text));
  int totalH = lineH * int(lines.size());
  if (dtp) dtp->uiLengthDrawn = UINT(len);

  if (fmt & DT_CALCRECT) {
    rc->right = rc->left + maxW + lm + rm;
    rc->bottom = rc->top + totalH;
    return totalH;
  }

  int y = rc->top;
  if (single) {
    if (fmt & DT_VCENTER) y = rc->top + (rc->bottom - rc->top - lineH) / 2;
    else if (fmt & DT_BOTTOM) y = rc->bottom - lineH;
  }
  const RECT* clip = (fmt & DT_NOCLIP) ? nullptr : rc;
  int drawnBottom = y;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    int ly = y + int(i) * lineH;
    if ((fmt & DT_EDITCONTROL) && i > 0 && ly + lineH > rc->bottom) break;
    if (clip && ly >= rc->bottom) break;
    int w = m.Width(l.text);
    int x = left;
    if (fmt & DT_CENTER) x = left + (width - w) / 2;
    else if (fmt & DT_RIGHT) x = right - w;
    if (m.expandTabs && l.text.find('\t') != std::string::npos) {
      // Draw segment by segment at the expanded positions.
      std::size_t start = 0;
      int pos = 0;
      for (std::size_t k = 0; k <= l.text.size(); ++k) {
        if (k == l.text.size() || l.text[k] == '\t') {
          int segUl = l.ul >= int(start) && l.ul < int(k) ? l.ul - int(start) : -1;
          DrawTextLine(dc, x + pos, ly, l.text.data() + start, int(k - start), clip, segUl,
                       (fmt & DT_PREFIXONLY) != 0);
          pos += TextWidth(dc, l.text.data() + start, int(k - start));
          if (k < l.text.size() && m.tabWidth > 0) pos = (pos / m.tabWidth + 1) * m.tabWidth;
          start = k + 1;
        } else if (CharLen(l.text, k) == 2) {
          ++k;
        }
      }
    } else {
      DrawTextLine(dc, x, ly, l.text.data(), int(l.text.size()), clip, l.ul, (fmt & DT_PREFIXONLY) != 0);
    }
    drawnBottom = ly + lineH;
  }
  if (single && (fmt & (DT_VCENTER | DT_BOTTOM))) return drawnBottom - rc->top;
  return totalH;
}

int DrawTextA(HDC hdc, const char* s, int len, RECT* rc, UINT format) {
  return DrawTextExA(hdc, const_cast<char*>(s), len, rc, format, nullptr);
}
