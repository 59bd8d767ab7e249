#include "editor/txteditmisc.h"

#include <cstring>

#include "editor/txtdbcs.h"
#include "editor/txthighlighter.h"
#include "editor/txtscheme.h"
#include "platform/rtl/strings.h"

using namespace txtdbcs;

TBufferCoord EarlierPosition(const TBufferCoord& P1, const TBufferCoord& P2) {
  if (P2.Line < P1.Line || (P2.Line == P1.Line && P2.Char < P1.Char)) return P2;
  return P1;
}

bool FindFirstTab(const AnsiString& Line, int& CharsBefore) {
  std::size_t p = Line.find('\t');
  CharsBefore = p == AnsiString::npos ? int(Line.size()) : int(p);
  return p != AnsiString::npos;
}

AnsiString TabsToSpacesWidth1(const AnsiString& Line, int TabWidth, bool& HasTabs) {
  int before;
  HasTabs = FindFirstTab(Line, before);
  if (!HasTabs) return Line;
  AnsiString r = Line;
  for (std::size_t i = std::size_t(before); i < r.size(); ++i)
    if (r[i] == '\t') r[i] = ' ';
  return r;
}

namespace {
template <bool Pow2>
AnsiString ExpandTabs(const AnsiString& Line, int TabWidth, bool& HasTabs) {
  int before;
  HasTabs = FindFirstTab(Line, before);
  if (!HasTabs) return Line;
  const int mask = TabWidth - 1;
  auto cells = [&](int col) { return Pow2 ? TabWidth - (col & mask) : TabWidth - col % TabWidth; };
  // Size first, then one allocation.
  std::size_t len = std::size_t(before);
  for (std::size_t i = std::size_t(before); i < Line.size(); ++i)
    len += Line[i] == '\t' ? std::size_t(cells(int(len))) : 1;
  AnsiString r;
  r.reserve(len);
  r.append(Line, 0, std::size_t(before));
  for (std::size_t i = std::size_t(before); i < Line.size(); ++i) {
    if (Line[i] == '\t') r.append(std::size_t(cells(int(r.size()))), '\t');
    else r.push_back(Line[i]);
  }
  return r;
}
}  // namespace

AnsiString ExpandTabsPow2(const AnsiString& Line, int TabWidth, bool& HasTabs) {
  return ExpandTabs<true>(Line, TabWidth, HasTabs);
}

AnsiString ExpandTabsAny(const AnsiString& Line, int TabWidth, bool& HasTabs) {
  return ExpandTabs<false>(Line, TabWidth, HasTabs);
}

bool IsTabWidthPow2(int N) {
  for (int p = 2; p <= 65536; p *= 2)
    if (N == p) return true;
  return false;
}

TTabExpander ChooseTabExpander(int TabWidth) {
  if (TabWidth <= 1) return &TabsToSpacesWidth1;
  if (IsTabWidthPow2(TabWidth)) return &ExpandTabsPow2;
  return &ExpandTabsAny;
}

int ExpandedLength(const AnsiString& Line, int TabWidth) {
  if (TabWidth <= 1) return int(Line.size());
  int col = 0;
  for (char c : Line) col += c == '\t' ? TabWidth - col % TabWidth : 1;
  return col;
}

int CharIndexToColumn(int Index, int TabWidth, const AnsiString& Line) {
  if (Index < 2) return 1;
  int before;
  if (TabWidth <= 1 || !FindFirstTab(Line, before) || Index <= before + 1) return Index;
  int col = before;  // cells before the first tab
  for (int i = before + 1; i < Index; ++i) {
    if (i <= int(Line.size()) && Line[std::size_t(i - 1)] == '\t') col += TabWidth - col % TabWidth;
    else ++col;
  }
  return col + 1;
}

int ScanForwardInSet(const AnsiString& Line, int Start, const char* Chars) {
  const int n = int(Line.size());
  if (Start < 1 || Start > n) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(Line.data());
  std::vector<std::uint8_t> trail;
  MarkTrailBytes(p, std::size_t(n), trail);
  int i = Start - 1;
  if (trail[std::size_t(i)]) ++i;
  while (i < n) {
    int w = int(CharWidth(p, std::size_t(n), std::size_t(i)));
    if (w == 1 && p[i] && std::strchr(Chars, p[i])) return i + 1;
    i += w;
  }
  return 0;
}

int ScanBackwardInSet(const AnsiString& Line, int Start, const char* Chars) {
  const int n = int(Line.size());
  if (Start < 1) return 0;
  if (Start > n) Start = n;
  const auto* p = reinterpret_cast<const unsigned char*>(Line.data());
  int last = 0;
  for (int i = 0; i < Start;) {
    int w = int(CharWidth(p, std::size_t(n), std::size_t(i)));
    if (w == 1 && p[i] && std::strchr(Chars, p[i])) last = i + 1;
    i += w;
  }
  return last;
}

int ScanForwardLeadByte(const AnsiString& Line, int Start) {
  const int n = int(Line.size());
  if (Start < 1 || Start > n) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(Line.data());
  std::vector<std::uint8_t> trail;
  MarkTrailBytes(p, std::size_t(n), trail);
  int i = Start - 1;
  if (trail[std::size_t(i)]) ++i;
  while (i < n) {
    if (PairAt(p, std::size_t(n), std::size_t(i))) return i + 1;
    ++i;
  }
  return 0;
}

int ScanBackwardLeadByte(const AnsiString& Line, int Start) {
  const int n = int(Line.size());
  if (Start > n) Start = n;
  const auto* p = reinterpret_cast<const unsigned char*>(Line.data());
  int last = 0;
  for (int i = 0; i < Start;) {
    int w = int(CharWidth(p, std::size_t(n), std::size_t(i)));
    if (w == 2) last = i + 1;
    i += w;
  }
  return last;
}

const char* FindLineEnd(const char* P) {
  if (!P) return nullptr;
  while (*P && *P != '\r' && *P != '\n') ++P;
  return P;
}

AnsiString ShortHighlighterName(const AnsiString& S) {
  AnsiString r = S;
  if (r.size() >= 4 && SameText(r.substr(0, 4), "TTxt")) r.erase(0, 4);
  else if (!r.empty() && (r[0] == 'T' || r[0] == 't')) r.erase(0, 1);
  if (r.size() >= 3 && SameText(r.substr(r.size() - 3), "syn")) r.erase(r.size() - 3);
  return r;
}

int SameClassIndex(TTxtCustomHighlighter* Highlighter, const std::vector<TTxtCustomHighlighter*>& List) {
  int n = 1;
  for (TTxtCustomHighlighter* h : List) {
    if (h == Highlighter) break;
    if (h && h->ClassType() == Highlighter->ClassType()) ++n;
  }
  return n;
}

bool WalkHighlighterAttributes(TTxtCustomHighlighter* Highlighter, bool SkipDuplicates,
                               const TTxtHighlighterAttrProc& Callback, void* Params) {
  if (!Highlighter || !Callback) return true;
  static thread_local std::vector<TTxtCustomHighlighter*>* visited = nullptr;
  std::vector<TTxtCustomHighlighter*> own;
  bool outer = visited == nullptr;
  if (outer) visited = &own;
  struct Restore {
    bool outer;
    ~Restore() {
      if (outer) visited = nullptr;
    }
  } restore{outer};
  bool seen = false;
  for (TTxtCustomHighlighter* h : *visited)
    if (h == Highlighter) seen = true;
  if (seen && SkipDuplicates) return true;
  if (!seen) visited->push_back(Highlighter);
  AnsiString prefix = ShortHighlighterName(Highlighter->ClassName()) +
                      std::to_string(SameClassIndex(Highlighter, *visited)) + ".";
  bool result = true;
  if (auto* multi = dynamic_cast<TTxtCustomMultiHighlighter*>(Highlighter)) {
    // the highlighter outside the schemes first, then each scheme's marker
    // style (numbered from 1) and its highlighter
    result = WalkHighlighterAttributes(multi->DefaultHighlighter(), SkipDuplicates, Callback, Params);
    for (int i = 0; result && i < multi->Schemes()->Count(); ++i) {
      TScheme* scheme = multi->SchemeAt(i);
      TTxtHighlighterAttributes* marker = scheme->MarkerAttri();
      result = Callback(Highlighter, marker, prefix + marker->StyleName() + std::to_string(i + 1), Params);
      if (result) result = WalkHighlighterAttributes(scheme->Highlighter(), SkipDuplicates, Callback, Params);
    }
    return result;
  }
  for (int i = 0; i < Highlighter->AttributeCount(); ++i) {
    TTxtHighlighterAttributes* a = Highlighter->AttributeAt(i);
    result = Callback(Highlighter, a, prefix + a->StyleName(), Params);
    if (!result) break;
  }
  return result;
}

void FillGradient(TCanvas* Canvas, TColor StartColor, TColor EndColor, bool Horizontal, const TRect& Rect,
                  int Steps) {
  TBrush* brush = Canvas->Brush();
  const TColor oldColor = brush->Color();
  for (const TGradientBand& band : GradientBands(ColorToRGB(StartColor), ColorToRGB(EndColor), Horizontal, Rect, Steps)) {
    brush->SetColor(TColor(band.Color));
    Canvas->FillRect(TRect(band.Rect));
  }
  brush->SetColor(oldColor);
}

std::vector<TGradientBand> GradientBands(COLORREF StartColor, COLORREF EndColor, bool Horizontal,
                                         const RECT& Rect, int Steps) {
  Steps = ClampInt(Steps, 2, 256);
  auto mulDiv = [](long long a, long long b, long long c) -> int {
    long long p = a * b;
    return int(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
  };
  const int extent = Horizontal ? Rect.right - Rect.left : Rect.bottom - Rect.top;
  std::vector<TGradientBand> bands;
  for (int i = 0; i < Steps; ++i) {
    TGradientBand b;
    b.Rect = Rect;
    int from = mulDiv(i, extent, Steps), to = mulDiv(i + 1, extent, Steps);
    if (Horizontal) {
      b.Rect.left = Rect.left + from;
      b.Rect.right = Rect.left + to;
    } else {
      b.Rect.top = Rect.top + from;
      b.Rect.bottom = Rect.top + to;
    }
    auto ch = [&](BYTE s, BYTE e) { return BYTE(s + mulDiv(i, int(e) - int(s), Steps - 1)); };
    b.Color = RGB(ch(GetRValue(StartColor), GetRValue(EndColor)), ch(GetGValue(StartColor), GetGValue(EndColor)),
                  ch(GetBValue(StartColor), GetBValue(EndColor)));
    bands.push_back(b);
  }
  return bands;
}
