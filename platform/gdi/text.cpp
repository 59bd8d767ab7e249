// Fonts and text: face-name substitution through fontconfig, FreeType
// rendering into a glyph cache, the built-in fixed-metric font, metrics,
// measuring and TextOut/ExtTextOut/TabbedTextOut. Text is CP936; a
// double-byte character is one glyph. Measuring and drawing use the same
// advances, so they agree to the pixel.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"
#include "platform/rtl/strings.h"

namespace pvgdi {

struct Glyph {
  int left = 0, top = 0;  // bitmap offset from the pen: x right, rows above the baseline
  int w = 0, h = 0;
  int adv = 0;            // advance along the baseline
  int advX = 0, advY = 0; // advance vector on screen (rotated fonts)
  std::vector<std::uint8_t> cov;  // coverage 0..255, w*h
};

struct FaceRef {
  FT_Face face = nullptr;
  bool emboldenSynth = false;
  bool obliqueSynth = false;
};

// How glyphs of one width class (single-byte or double-byte characters) are
// fitted into the fixed cell of the faces that keep the original's metrics.
struct CellFit {
  double sx = 0, sy = 0;  // pixels per em, horizontally and vertically
  int base = 0;           // baseline of the glyphs in rows from the cell's top
};

struct FontInstance {
  LOGFONTA lf;
  bool builtin = false;
  // Faces that keep the original's cell metrics: every single-byte character
  // is `half` pixels wide, every double-byte one `full`, and no ink leaves the
  // cell of tm.tmHeight rows.
  bool cell = false;
  int half = 0, full = 0;
  CellFit narrow, wide;
  int quadrant = 0;  // rotation in quarter turns counter-clockwise
  std::vector<FaceRef> faces;  // primary first, then fallbacks
  int em = 12, xem = 12;
  bool mono = false;
  TEXTMETRICA tm;
  int ulPos = 1, ulThick = 1, soPos = 4, soThick = 1;  // below/above the baseline
  Glyph* sb[256] = {};
  std::unordered_map<std::uint16_t, Glyph*> db;
  std::vector<std::unique_ptr<Glyph>> store;
  std::unordered_map<std::uint32_t, std::uint32_t> ucs;  // CP936 code -> code point
};

namespace {

FT_Library g_ft = nullptr;
bool g_fcInit = false;
std::map<std::pair<std::string, int>, FT_Face> g_faces;
std::vector<std::unique_ptr<FontInstance>> g_instances;

FT_Library Ft() {
  if (!g_ft) FT_Init_FreeType(&g_ft);
  return g_ft;
}

// Font files are read through a stream of positioned reads rather than the
// whole-file mapping FreeType makes by default: a CJK collection is several
// megabytes, of which a program touches the tables and the glyphs it draws.
unsigned long ReadFontFile(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
  const int fd = static_cast<int>(stream->descriptor.value);
  if (count == 0) return offset <= stream->size ? 0 : 1;  // a seek
  unsigned long done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, buffer + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<unsigned long>(n);
  }
  return done;
}

void CloseFontFile(FT_Stream stream) {
  close(static_cast<int>(stream->descriptor.value));
  delete stream;
}

FT_Face OpenFace(const std::string& path, int index) {
  auto key = std::make_pair(path, index);
  auto it = g_faces.find(key);
  if (it != g_faces.end()) return it->second;
  FT_Face f = nullptr;
  const int fd = Ft() ? open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
  struct stat st{};
  if (fd >= 0 && fstat(fd, &st) == 0 && st.st_size > 0) {
    auto* stream = new FT_StreamRec{};
    stream->descriptor.value = fd;
    stream->size = static_cast<unsigned long>(st.st_size);
    stream->read = ReadFontFile;
    stream->close = CloseFontFile;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    // FreeType closes the stream itself when the face fails to open or is done.
    if (FT_Open_Face(g_ft, &args, index, &f) != 0) f = nullptr;
  } else if (fd >= 0) {
    close(fd);
  }
  g_faces[key] = f;
  return f;
}

bool EqualsNoCase(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The family that stands in for the faces that keep the original's cell:
// its Latin glyphs are half as wide as its hanzi.
constexpr const char* kCellFamily = "WenQuanYi Micro Hei Mono";

struct Substitution {
  const char* family = nullptr;  // null: no entry
  bool cell = false;             // keeps the original's cell metrics
  bool pair = false;             // a double-byte character is exactly two single-byte cells
};

// The platform's face names and the installed families that stand in for them.
// "Default" is the platform's default face, which on a Chinese system is 宋体.
Substitution Substitute(const std::string& utf8) {
  // The fixed-pitch faces of program text map to the cell family with
  // double-byte characters exactly two cells wide, so that a text editor's
  // grid holds hanzi and Latin alike.
  static const struct { const char* from; const char* to; bool cell; bool pair = false; } table[] = {
      {"\xE5\xAE\x8B\xE4\xBD\x93", kCellFamily, true},              // 宋体
      {"\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93", kCellFamily, true},  // 新宋体
      {"SimSun", kCellFamily, true},
      {"NSimSun", kCellFamily, true},
      {"Default", kCellFamily, true},
      {"\xE9\xBB\x91\xE4\xBD\x93", "WenQuanYi Micro Hei", false},              // 黑体
      {"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91", "WenQuanYi Micro Hei", false},  // 微软雅黑
      {"\xE6\xA5\xB7\xE4\xBD\x93_GB2312", "WenQuanYi Micro Hei", false},       // 楷体_GB2312
      {"MS Sans Serif", "DejaVu Sans", false},
      {"MS Shell Dlg", "DejaVu Sans", false},
      {"MS Shell Dlg 2", "DejaVu Sans", false},
      {"Tahoma", "DejaVu Sans", false},
      {"Arial", "DejaVu Sans", false},
      {"Verdana", "DejaVu Sans", false},
      {"System", "DejaVu Sans", false},
      {"Courier New", kCellFamily, true, true},
      {"Courier", kCellFamily, true, true},
      {"Fixedsys", "DejaVu Sans Mono", false},
      {"Terminal", "DejaVu Sans Mono", false},
      {"Times New Roman", "DejaVu Serif", false},
  };
  for (const auto& e : table)
    if (EqualsNoCase(utf8, e.from)) return {e.to, e.cell, e.pair};
  if (utf8.empty()) return {"WenQuanYi Micro Hei", false};
  return {};
}

bool MatchFace(const std::string& family, const char* lang, int weight, bool italic, FaceRef& out) {
  if (!g_fcInit) {
    FcInit();
    g_fcInit = true;
  }
  FcPattern* pat = FcPatternCreate();
  if (!family.empty()) FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (lang) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  FcPatternAddInteger(pat, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* m = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!m) return false;
  FcChar8* file = nullptr;
  int index = 0, w = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  bool ok = FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch;
  FcPatternGetInteger(m, FC_INDEX, 0, &index);
  FcPatternGetInteger(m, FC_WEIGHT, 0, &w);
  FcPatternGetInteger(m, FC_SLANT, 0, &slant);
  if (ok) {
    out.face = OpenFace(reinterpret_cast<const char*>(file), index);
    out.emboldenSynth = weight >= 600 && w < FC_WEIGHT_DEMIBOLD;
    out.obliqueSynth = italic && slant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(m);
  return ok && out.face;
}

void SetSize(FontInstance* fi, FT_Face f) { FT_Set_Pixel_Sizes(f, FT_UInt(fi->xem), FT_UInt(fi->em)); }

void SetCellSize(FT_Face f, double sx, double sy) {
  // 72 dots per inch: a point is a pixel, and sizes keep their fractions.
  FT_Set_Char_Size(f, FT_F26Dot6(std::lround(sx * 64)), FT_F26Dot6(std::lround(sy * 64)), 72, 72);
}

// Keeps the pixels of a glyph with pen-relative x in [x0, x1) and y (down) in [y0, y1).
void CropGlyph(Glyph& g, int x0, int x1, int y0, int y1) {
  const int gx = g.left, gy = -g.top;
  const int nx0 = std::max(gx, x0), nx1 = std::min(gx + g.w, x1);
  const int ny0 = std::max(gy, y0), ny1 = std::min(gy + g.h, y1);
  if (nx0 == gx && ny0 == gy && nx1 == gx + g.w && ny1 == gy + g.h) return;
  if (nx1 <= nx0 || ny1 <= ny0) {
    g.w = g.h = 0;
    g.cov.clear();
    return;
  }
  std::vector<std::uint8_t> out(std::size_t(nx1 - nx0) * std::size_t(ny1 - ny0));
  for (int y = ny0; y < ny1; ++y)
    std::memcpy(out.data() + std::size_t(y - ny0) * std::size_t(nx1 - nx0),
                g.cov.data() + std::size_t(y - gy) * std::size_t(g.w) + std::size_t(nx0 - gx), std::size_t(nx1 - nx0));
  g.cov.swap(out);
  g.left = nx0;
  g.top = -ny0;
  g.w = nx1 - nx0;
  g.h = ny1 - ny0;
}

bool IsFullWidth(FT_Face f, FT_UInt gi) {
  return FT_Load_Glyph(f, gi, FT_LOAD_NO_SCALE) == 0 && f->glyph->metrics.horiAdvance * 4 >= FT_Pos(f->units_per_EM) * 3;
}

bool IsCjkFace(FT_Face f) { return f && FT_Get_Char_Index(f, 0x4E2D) != 0; }

// The size a LOGFONT height asks for, capped; the most negative height has
// no 32-bit magnitude.
int HeightMagnitude(LONG h) { return int(std::min<std::int64_t>(std::abs(std::int64_t(h)), 2000)); }

// Built-in font metrics
constexpr int kFixedAscent = 11, kFixedDescent = 3, kFixedSB = 7, kFixedDB = 14;

void InitBuiltin(FontInstance* fi) {
  fi->builtin = true;
  TEXTMETRICA& tm = fi->tm;
  tm.tmHeight = kFixedAscent + kFixedDescent;
  tm.tmAscent = kFixedAscent;
  tm.tmDescent = kFixedDescent;
  tm.tmAveCharWidth = kFixedSB;
  tm.tmMaxCharWidth = kFixedDB;
  fi->ulPos = 1;
  fi->soPos = 4;
}

// Fits one width class of glyphs into the cell: `samples` are characters of
// the class whose outlines span its ascenders and descenders. The glyphs keep
// the face's em vertically unless their ink is taller than the cell; their
// advance is scaled to the slot width `w`. The baseline moves up from the
// cell's ascent when the descenders need more room than the descent gives.
CellFit FitClass(FT_Face f, const char32_t* samples, int w, int cell, int ascent) {
  double upem = f->units_per_EM ? f->units_per_EM : 1000;
  double top = 0, bottom = 0, adv = 0;
  for (const char32_t* p = samples; *p; ++p) {
    FT_UInt gi = FT_Get_Char_Index(f, FT_ULong(*p));
    if (!gi || FT_Load_Glyph(f, gi, FT_LOAD_NO_SCALE) != 0) continue;
    const FT_Glyph_Metrics& m = f->glyph->metrics;
    top = std::max(top, double(m.horiBearingY));
    bottom = std::min(bottom, double(m.horiBearingY - m.height));
    adv = std::max(adv, double(m.horiAdvance));
  }
  if (adv <= 0) {  // the face lacks the class: assume glyphs as tall as the em
    top = upem * ascent / cell;
    bottom = top - upem;
    adv = upem * w / cell;
  }
  // Antialiased edges may reach this far past the cell; the cell cuts them off.
  constexpr double kSpill = 0.25;
  CellFit fit;
  fit.sx = w * upem / adv;
  fit.sy = cell;
  if (top - bottom > upem) fit.sy = cell * upem / (top - bottom);
  double above = top * fit.sy / upem, below = -bottom * fit.sy / upem;
  fit.base = std::clamp(cell - int(std::ceil(below - kSpill)), 0, ascent);
  if (above > fit.base + kSpill) fit.sy *= (fit.base + kSpill) / above;
  return fit;
}

// Metrics of the faces that keep the original's cell. The original's em is
// 256 units, 220 of them above the baseline, with no leading: the cell is the
// em whichever sign the height has, and is split between ascent and descent in
// that proportion. Single-byte characters are half as wide as double-byte ones.
void InitCell(FontInstance* fi, bool pair) {
  int cell = fi->lf.lfHeight == 0 ? 12 : HeightMagnitude(fi->lf.lfHeight);
  fi->cell = true;
  fi->em = fi->xem = cell;
  TEXTMETRICA& tm = fi->tm;
  tm.tmHeight = cell;
  tm.tmAscent = (cell * 220 + 128) / 256;
  tm.tmDescent = cell - tm.tmAscent;
  tm.tmInternalLeading = 0;
  tm.tmExternalLeading = 0;
  fi->half = fi->lf.lfWidth > 0 ? std::min<int>(fi->lf.lfWidth, 2000) : (cell + 1) / 2;
  fi->full = fi->lf.lfWidth > 0 || pair ? 2 * fi->half : cell;
  tm.tmAveCharWidth = fi->half;
  tm.tmMaxCharWidth = std::max(fi->half, fi->full);
  FT_Face f = fi->faces[0].face;
  fi->narrow = FitClass(f, U"Hbdfhklgjpqy|()", fi->half, cell, tm.tmAscent);
  fi->wide = FitClass(f, U"\u4E2D\u56FD\u6587\u5B57\u9F98", fi->full, cell, tm.tmAscent);
  double upem = f->units_per_EM ? f->units_per_EM : 1000;
  fi->ulThick = std::clamp(int(std::lround(f->underline_thickness * double(cell) / upem)), 1,
                           std::max<int>(1, tm.tmDescent));
  fi->ulPos = std::clamp(int(std::lround(-f->underline_position * double(cell) / upem)), 0,
                         std::max<int>(0, tm.tmDescent - fi->ulThick));
  fi->soPos = std::max(1, int(std::lround(tm.tmAscent * 0.3)));
  fi->soThick = fi->ulThick;
  // Fixed pitch: TMPF_FIXED_PITCH stays clear.
  tm.tmPitchAndFamily = BYTE(TMPF_TRUETYPE | TMPF_VECTOR | (fi->lf.lfPitchAndFamily & 0xF0));
}

void InitReal(FontInstance* fi) {
  std::string name = AnsiToUtf8(std::string(fi->lf.lfFaceName, strnlen(fi->lf.lfFaceName, LF_FACESIZE)));
  Substitution sub = Substitute(name);
  std::string family = sub.family ? sub.family : name;
  FaceRef primary;
  int weight = fi->lf.lfWeight == 0 ? FW_NORMAL : fi->lf.lfWeight;
  bool italic = fi->lf.lfItalic != 0;
  if (!MatchFace(family, nullptr, weight, italic, primary)) MatchFace("DejaVu Sans", nullptr, weight, italic, primary);
  if (primary.face) fi->faces.push_back(primary);
  // A CJK face follows a face without hanzi. It follows the cell faces' face
  // too: its quotes and dashes are full-width, as double-byte characters are.
  FaceRef cjkFace;
  if ((sub.cell || !IsCjkFace(primary.face)) && MatchFace("WenQuanYi Micro Hei", "zh-cn", weight, italic, cjkFace) &&
      IsCjkFace(cjkFace.face) && cjkFace.face != primary.face)
    fi->faces.push_back(cjkFace);
  FaceRef latin;
  if (MatchFace("DejaVu Sans", nullptr, weight, italic, latin) && latin.face != primary.face) fi->faces.push_back(latin);
  if (fi->faces.empty()) {
    InitBuiltin(fi);  // no fonts at all: fall back to the fixed font's metrics
    return;
  }
  if (sub.cell) {
    InitCell(fi, sub.pair);
    return;
  }
  FT_Face f = fi->faces[0].face;
  TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  double upem = f->units_per_EM ? f->units_per_EM : 1000;
  double asc = os2 && os2->usWinAscent ? os2->usWinAscent : f->ascender;
  double desc = os2 && os2->usWinDescent ? os2->usWinDescent : -f->descender;
  if (asc + desc <= 0) { asc = upem * 0.8; desc = upem * 0.2; }
  const LONG h = fi->lf.lfHeight;
  int em;
  if (h < 0) em = HeightMagnitude(h);
  else if (h > 0) em = int(std::clamp<long>(std::lround(h * upem / (asc + desc)), 1, 2000));
  else em = 12;
  fi->em = fi->xem = em;
  fi->mono = fi->lf.lfQuality == NONANTIALIASED_QUALITY;
  TEXTMETRICA& tm = fi->tm;
  tm.tmAscent = LONG(std::ceil(asc * em / upem - 0.01));
  tm.tmDescent = LONG(std::ceil(desc * em / upem - 0.01));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - em);
  SetSize(fi, f);
  bool cjk = IsCjkFace(f);
  double ave = os2 && os2->xAvgCharWidth > 0 && !cjk ? os2->xAvgCharWidth * double(em) / upem : 0;
  if (ave <= 0) {
    FT_UInt gi = FT_Get_Char_Index(f, cjk ? '0' : 'x');
    if (gi && FT_Load_Glyph(f, gi, FT_LOAD_DEFAULT) == 0) ave = f->glyph->advance.x / 64.0;
    else ave = em / 2.0;
  }
  tm.tmAveCharWidth = std::max<LONG>(1, LONG(std::lround(ave)));
  if (fi->lf.lfWidth > 0 && fi->lf.lfWidth != tm.tmAveCharWidth) {
    fi->xem = std::max(1, int(std::lround(double(em) * fi->lf.lfWidth / ave)));
    tm.tmAveCharWidth = fi->lf.lfWidth;
    SetSize(fi, f);
  }
  SetSize(fi, f);
  tm.tmMaxCharWidth = std::max<LONG>(tm.tmAveCharWidth, LONG((f->size->metrics.max_advance + 63) >> 6));
  if (cjk || fi->faces.size() > 1) tm.tmMaxCharWidth = std::max<LONG>(tm.tmMaxCharWidth, em);
  fi->ulPos = std::max(1, int(std::lround(-f->underline_position * double(em) / upem)));
  fi->ulThick = std::max(1, int(std::lround(f->underline_thickness * double(em) / upem)));
  fi->soPos = std::max(1, int(std::lround(tm.tmAscent * 0.3)));
  fi->soThick = fi->ulThick;
  bool fixed = FT_IS_FIXED_WIDTH(f);
  tm.tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_TRUETYPE | TMPF_VECTOR |
                             (fi->lf.lfPitchAndFamily & 0xF0));
}

FontInstance* Realize(const LOGFONTA& lf) {
  for (auto& fi : g_instances)
    if (std::memcmp(&fi->lf, &lf, sizeof lf) == 0) return fi.get();
  auto fi = std::make_unique<FontInstance>();
  fi->lf = lf;
  std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  if (EqualsNoCase(face, PV_FIXED_FONT_NAME)) InitBuiltin(fi.get());
  else InitReal(fi.get());
  int esc = ((lf.lfEscapement % 3600) + 3600) % 3600;
  fi->quadrant = esc == 900 ? 1 : esc == 1800 ? 2 : esc == 2700 ? 3 : 0;
  TEXTMETRICA& tm = fi->tm;
  tm.tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? GB2312_CHARSET : lf.lfCharSet;
  if (fi->builtin) tm.tmPitchAndFamily = TMPF_FIXED_PITCH | (lf.lfPitchAndFamily & 0xF0);
  // Realized fonts live as long as the program (font objects point at them);
  // when there are many, the glyph caches of the oldest ones are dropped.
  if (g_instances.size() > 256) {
    FontInstance* old = g_instances[g_instances.size() - 257].get();
    std::fill(std::begin(old->sb), std::end(old->sb), nullptr);
    old->db.clear();
    old->store.clear();
  }
  g_instances.push_back(std::move(fi));
  return g_instances.back().get();
}

std::uint32_t CodePoint(FontInstance* fi, std::uint32_t code) {
  if (code < 0x80) return code;
  auto it = fi->ucs.find(code);
  if (it != fi->ucs.end()) return it->second;
  char buf[2];
  int n = 0;
  if (code > 0xFF) buf[n++] = char(code >> 8);
  buf[n++] = char(code & 0xFF);
  std::uint32_t cp = 0xFFFD;
  try {
    WideString w = AnsiToWide(std::string_view(buf, std::size_t(n)));
    if (w.size() == 1) cp = w[0];
  } catch (...) {
  }
  fi->ucs[code] = cp;
  return cp;
}

void RotateGlyph(Glyph& g, int quadrant) {
  g.advX = g.adv;
  g.advY = 0;
  if (quadrant == 0 || g.w == 0 || g.h == 0) {
    if (quadrant == 1) { g.advX = 0; g.advY = -g.adv; }
    if (quadrant == 2) { g.advX = -g.adv; }
    if (quadrant == 3) { g.advX = 0; g.advY = g.adv; }
    return;
  }
  // Pixel (px, py) relative to the pen (py down) maps to:
  //  q1 (text going up): (py, -px); q2: (-px, -py); q3 (text going down): (-py, px).
  std::vector<std::uint8_t> out;
  int L = g.left, T = -g.top;  // bitmap's top-left relative to the pen (y down)
  int nw, nh, nl, nt;
  if (quadrant == 1) { nw = g.h; nh = g.w; nl = T; nt = -(L + g.w - 1); }
  else if (quadrant == 2) { nw = g.w; nh = g.h; nl = -(L + g.w - 1); nt = -(T + g.h - 1); }
  else { nw = g.h; nh = g.w; nl = -(T + g.h - 1); nt = L; }
  out.assign(std::size_t(nw) * nh, 0);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) {
      int px = L + x, py = T + y, qx, qy;
      if (quadrant == 1) { qx = py; qy = -px; }
      else if (quadrant == 2) { qx = -px; qy = -py; }
      else { qx = -py; qy = px; }
      out[std::size_t(qy - nt) * nw + (qx - nl)] = g.cov[std::size_t(y) * g.w + x];
    }
  g.cov.swap(out);
  g.w = nw;
  g.h = nh;
  g.left = nl;
  g.top = -nt;
  if (quadrant == 1) { g.advX = 0; g.advY = -g.adv; }
  else if (quadrant == 2) { g.advX = -g.adv; g.advY = 0; }
  else { g.advX = 0; g.advY = g.adv; }
}

Glyph* MakeGlyph(FontInstance* fi, std::uint32_t code, bool dbcs) {
  auto g = std::make_unique<Glyph>();
  if (fi->builtin) {
    bool ink;
    if (dbcs) {
      g->adv = kFixedDB;
      ink = code != 0xA1A1;  // the ideographic space is blank
      if (ink) { g->left = 1; g->top = kFixedAscent - 1; g->w = 12; g->h = 12; }
    } else {
      g->adv = kFixedSB;
      ink = code > 0x20 && code != 0x7F;
      if (ink) { g->left = 1; g->top = kFixedAscent - 3; g->w = 5; g->h = 8; }
    }
    g->cov.assign(std::size_t(g->w) * g->h, 255);
  } else {
    std::uint32_t cp = CodePoint(fi, code);
    FaceRef* use = nullptr;
    FT_UInt gi = 0;
    if (cp >= 0x20 || cp == '\t') {
      // In the cell faces every double-byte character is full-width: a face
      // with a full-width form comes before one with a half-width form.
      bool wantWide = fi->cell && dbcs;
      for (FaceRef& f : fi->faces) {
        FT_UInt i = FT_Get_Char_Index(f.face, cp == '\t' ? ' ' : cp);
        if (!i) continue;
        if (!use) use = &f, gi = i;
        if (!wantWide || IsFullWidth(f.face, i)) {
          use = &f, gi = i;
          break;
        }
      }
    }
    if (!use) { use = &fi->faces[0]; gi = 0; }
    FT_Face f = use->face;
    const CellFit* fit = fi->cell ? (dbcs ? &fi->wide : &fi->narrow) : nullptr;
    const int slotW = dbcs ? fi->full : fi->half;
    double natural = 0;  // unhinted advance of a glyph fitted to the cell
    if (fit) SetCellSize(f, fit->sx, fit->sy);
    else SetSize(fi, f);
    FT_Int32 flags = FT_LOAD_DEFAULT | (fi->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    bool loaded = cp >= 0x20 || cp == '\t' ? FT_Load_Glyph(f, gi, flags) == 0 : false;
    if (loaded && fit) {
      natural = f->glyph->linearHoriAdvance / 65536.0;
      if (natural > slotW + 0.5) {  // wider than its slot (a fallback face's glyph): narrow it
        SetCellSize(f, fit->sx * slotW / natural, fit->sy);
        loaded = FT_Load_Glyph(f, gi, flags) == 0;
        natural = slotW;
      }
    }
    if (cp < 0x20 && cp != '\t') {
      g->adv = 0;  // control characters take no room
    } else if (loaded) {
      FT_GlyphSlot slot = f->glyph;
      if (use->emboldenSynth) FT_GlyphSlot_Embolden(slot);
      if (use->obliqueSynth) FT_GlyphSlot_Oblique(slot);
      g->adv = int((slot->advance.x + 32) >> 6);
      if (cp != ' ' && cp != '\t' && cp != 0x3000 &&
          FT_Render_Glyph(slot, fi->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bm = slot->bitmap;
        g->w = int(bm.width);
        g->h = int(bm.rows);
        g->left = slot->bitmap_left;
        g->top = slot->bitmap_top;
        g->cov.assign(std::size_t(g->w) * g->h, 0);
        for (int y = 0; y < g->h; ++y) {
          const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
          for (int x = 0; x < g->w; ++x) {
            std::uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255
                                                                 : row[x];
            g->cov[std::size_t(y) * g->w + x] = v;
          }
        }
      }
      if (fit) {
        // Every glyph takes its slot; a narrower one (half-width punctuation
        // among double-byte characters) is centred in it. Its baseline sits
        // where the class was fitted, and nothing leaves the cell or, upright,
        // the slot.
        g->adv = slotW;
        if (natural < slotW) g->left += int(std::lround((slotW - natural) / 2));
        g->top += fi->tm.tmAscent - fit->base;
        bool upright = !fi->lf.lfItalic;
        CropGlyph(*g, upright ? 0 : -slotW, upright ? slotW : 2 * slotW, -fi->tm.tmAscent, fi->tm.tmDescent);
      }
    }
  }
  RotateGlyph(*g, fi->quadrant);
  fi->store.push_back(std::move(g));
  return fi->store.back().get();
}

inline Glyph* GetGlyph(FontInstance* fi, std::uint32_t code, bool dbcs) {
  if (!dbcs) {
    Glyph*& slot = fi->sb[code & 0xFF];
    if (!slot) slot = MakeGlyph(fi, code, false);
    return slot;
  }
  auto it = fi->db.find(std::uint16_t(code));
  if (it != fi->db.end()) return it->second;
  Glyph* g = MakeGlyph(fi, code, true);
  fi->db.emplace(std::uint16_t(code), g);
  return g;
}

// Splits CP936 text into characters: a lead byte followed by a trail byte is one.
inline int CharLen(const char* s, int i, int len) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c >= 0x81 && c <= 0xFE && i + 1 < len) {
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (t >= 0x40 && t <= 0xFE && t != 0x7F) return 2;
  }
  return 1;
}

struct Laid {
  Glyph* g;
  int pos;    // pen offset along the baseline from the start
  int index;  // byte index
  int bytes;
  int adv;    // advance including extra spacing
};

// Lays out a line; returns the total advance.
int Layout(FontInstance* fi, const DCState& st, const char* s, int len, const int* dx, std::vector<Laid>& out) {
  out.clear();
  if (fi->store.size() > 20000) {  // keep the cache bounded; nothing refers to glyphs between calls
    std::fill(std::begin(fi->sb), std::end(fi->sb), nullptr);
    fi->db.clear();
    fi->store.clear();
  }
  int breaks = 0;
  if (st.breakCount > 0 && st.breakExtra)
    for (int i = 0; i < len; ++i)
      if (s[i] == char(fi->tm.tmBreakChar)) ++breaks;
  int pos = 0, breakIdx = 0;
  for (int i = 0; i < len;) {
    int n = CharLen(s, i, len);
    std::uint32_t code = n == 2 ? (std::uint32_t(std::uint8_t(s[i])) << 8) | std::uint8_t(s[i + 1])
                                : std::uint8_t(s[i]);
    Glyph* g = GetGlyph(fi, code, n == 2);
    int adv;
    if (dx) {
      adv = dx[i] + (n == 2 ? dx[i + 1] : 0);
    } else {
      adv = g->adv + st.charExtra;
      if (breaks && n == 1 && s[i] == char(fi->tm.tmBreakChar)) {
        int extra = st.breakExtra / st.breakCount;
        if (breakIdx < std::abs(st.breakExtra % st.breakCount)) extra += st.breakExtra < 0 ? -1 : 1;
        adv += extra;
        ++breakIdx;
      }
    }
    out.push_back({g, pos, i, n, adv});
    pos += adv;
    i += n;
  }
  return pos;
}

// Blends a glyph with its origin at pen position (px, py) (target pixels).
void BlendGlyph(const Target& t, const Region& clip, const RECT* extra, const Glyph& g, int px, int py,
                std::uint32_t color) {
  if (g.w == 0 || g.h == 0) return;
  int gx = px + g.left, gy = py - g.top;
  RECT box = clip.Box();
  int y1 = std::max<int>(gy, box.top), y2 = std::min<int>(gy + g.h, box.bottom);
  if (extra) {
    y1 = std::max<int>(y1, extra->top);
    y2 = std::min<int>(y2, extra->bottom);
  }
  int hint = -1;
  const unsigned cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
  for (int y = y1; y < y2; ++y) {
    int bi = clip.FindBand(y, hint);
    if (bi < 0) continue;
    hint = bi;
    const auto& xs = clip.Bands()[bi].xs;
    std::uint32_t* row = t.Row(y);
    const std::uint8_t* cov = g.cov.data() + std::size_t(y - gy) * g.w - gx;
    for (std::size_t k = 0; k < xs.size(); k += 2) {
      int a = std::max(gx, xs[k]), b = std::min(gx + g.w, xs[k + 1]);
      if (extra) {
        a = std::max<int>(a, extra->left);
        b = std::min<int>(b, extra->right);
      }
      for (int x = a; x < b; ++x) {
        unsigned c = cov[x];
        if (c == 0) continue;
        if (c == 255 || t.mono) {
          if (!t.mono || c >= 128) row[x] = color;
          continue;
        }
        std::uint32_t d = row[x];
        unsigned ic = 255 - c;
        unsigned r = (cr * c + ((d >> 16) & 0xFF) * ic + 127) / 255;
        unsigned gg = (cg * c + ((d >> 8) & 0xFF) * ic + 127) / 255;
        unsigned bb = (cb * c + (d & 0xFF) * ic + 127) / 255;
        row[x] = 0xFF000000u | (r << 16) | (gg << 8) | bb;
      }
    }
  }
}

struct TextCtx {
  DCObj* dc = nullptr;
  Target t;
  const Region* clip = nullptr;
  POINT off;
  FontInstance* fi = nullptr;
};

bool OpenText(HDC hdc, TextCtx& c, bool needTarget) {
  c.dc = LookupDC(hdc);
  if (!c.dc) return false;
  c.fi = DCFont(c.dc);
  if (!c.fi) return false;
  if (needTarget) {
    if (!c.dc->GetTarget(c.t)) return false;
    c.dc->drawn = true;
    c.clip = &c.dc->Clip(c.t);
  }
  c.off = c.dc->Offset();
  return true;
}

// Draws laid-out text. (x, y) is the reference point in target pixels after
// alignment: the start of the baseline.
void PaintRun(TextCtx& c, const std::vector<Laid>& laid, int width, int bx, int by, const RECT* clipPx,
              bool opaqueBox, int underlineIndex, bool prefixOnly) {
  FontInstance* fi = c.fi;
  const TEXTMETRICA& tm = fi->tm;
  const int q = fi->quadrant;
  // Unit vectors: along the baseline (ux, uy) and "down" from the baseline (vx, vy).
  int ux = 1, uy = 0, vx = 0, vy = 1;
  if (q == 1) { ux = 0; uy = -1; vx = 1; vy = 0; }
  else if (q == 2) { ux = -1; uy = 0; vx = 0; vy = -1; }
  else if (q == 3) { ux = 0; uy = 1; vx = -1; vy = 0; }
  auto rectAlong = [&](int s0, int s1, int d0, int d1) {
    // Rectangle covering baseline offsets [s0, s1) and down offsets [d0, d1).
    int xa = bx + ux * s0 + vx * d0, ya = by + uy * s0 + vy * d0;
    int xb = bx + ux * s1 + vx * d1, yb = by + uy * s1 + vy * d1;
    // Half-open in both directions: adjust when an axis runs backwards.
    RECT r;
    r.left = std::min(xa, xb) + (std::min(xa, xb) == xb && xa != xb ? 1 : 0);
    r.right = std::max(xa, xb) + (std::max(xa, xb) == xa && xa != xb ? 1 : 0);
    r.top = std::min(ya, yb) + (std::min(ya, yb) == yb && ya != yb ? 1 : 0);
    r.bottom = std::max(ya, yb) + (std::max(ya, yb) == ya && ya != yb ? 1 : 0);
    if (clipPx) {
      r.left = std::max(r.left, clipPx->left);
      r.top = std::max(r.top, clipPx->top);
      r.right = std::min(r.right, clipPx->right);
      r.bottom = std::min(r.bottom, clipPx->bottom);
    }
    return r;
  };
  if (opaqueBox && !prefixOnly) {
    Paint bk = SolidPaint(c.t, c.dc->st.bk);
    FillRectPx(c.t, *c.clip, rectAlong(0, width, -tm.tmAscent, tm.tmDescent), bk, R2_COPYPEN);
  }
  const std::uint32_t color = MapColor(c.t, c.dc->st.text);
  if (!prefixOnly)
    for (const Laid& l : laid)
      BlendGlyph(c.t, *c.clip, clipPx, *l.g, bx + ux * l.pos, by + uy * l.pos, color);
  Paint fg;
  fg.color = color;
  if (!prefixOnly && fi->lf.lfUnderline)
    FillRectPx(c.t, *c.clip, rectAlong(0, width, fi->ulPos, fi->ulPos + fi->ulThick), fg, R2_COPYPEN);
  if (!prefixOnly && fi->lf.lfStrikeOut)
    FillRectPx(c.t, *c.clip, rectAlong(0, width, -fi->soPos, -fi->soPos + fi->soThick), fg, R2_COPYPEN);
  if (underlineIndex >= 0)
    for (const Laid& l : laid)
      if (l.index == underlineIndex) {
        FillRectPx(c.t, *c.clip, rectAlong(l.pos, l.pos + l.g->adv, fi->ulPos, fi->ulPos + fi->ulThick), fg,
                   R2_COPYPEN);
        break;
      }
}

}  // namespace

FontInstance* DCFont(DCObj* dc) {
  FontObj* f = GetFont(dc->st.font);
  if (!f) return nullptr;
  if (!f->inst) f->inst = Realize(f->lf);
  return f->inst;
}

int TextWidth(DCObj* dc, const char* s, int len) {
  FontInstance* fi = DCFont(dc);
  if (!fi) return 0;
  std::vector<Laid> laid;
  return Layout(fi, dc->st, s, len, nullptr, laid);
}

void TextOffsets(DCObj* dc, const char* s, int len, std::vector<int>& offsets) {
  offsets.assign(std::size_t(len) + 1, 0);
  FontInstance* fi = DCFont(dc);
  if (!fi) return;
  std::vector<Laid> laid;
  int total = Layout(fi, dc->st, s, len, nullptr, laid);
  for (const Laid& l : laid)
    for (int k = 0; k < l.bytes; ++k) offsets[std::size_t(l.index + k)] = l.pos;
  offsets[std::size_t(len)] = total;
}

void FontHeights(DCObj* dc, int* height, int* ave, int* ext) {
  FontInstance* fi = DCFont(dc);
  if (height) *height = fi ? fi->tm.tmHeight : 0;
  if (ave) *ave = fi ? fi->tm.tmAveCharWidth : 0;
  if (ext) *ext = fi ? fi->tm.tmExternalLeading : 0;
}

void DrawTextLine(DCObj* dc, int x, int y, const char* s, int len, const RECT* clipRc, int underlineIndex,
                  bool prefixOnly) {
  TextCtx c;
  if (!OpenText(reinterpret_cast<HDC>(dc->id), c, true)) return;
  std::vector<Laid> laid;
  int width = Layout(c.fi, dc->st, s, len, nullptr, laid);
  RECT px;
  if (clipRc) px = RECT{clipRc->left + c.off.x, clipRc->top + c.off.y, clipRc->right + c.off.x, clipRc->bottom + c.off.y};
  int bx = x + c.off.x, by = y + c.off.y + c.fi->tm.tmAscent;
  PaintRun(c, laid, width, bx, by, clipRc ? &px : nullptr, dc->st.bkMode == OPAQUE, underlineIndex, prefixOnly);
}

}  // namespace pvgdi

using namespace pvgdi;

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) return nullptr;
  auto f = std::make_unique<FontObj>();
  f->type = OBJ_FONT;
  f->lf = *lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  // Unused bytes after the name must not make equal fonts differ.
  std::size_t n = strnlen(f->lf.lfFaceName, LF_FACESIZE);
  std::memset(f->lf.lfFaceName + n, 0, LF_FACESIZE - n);
  return ToHandle<HFONT>(Register(std::move(f)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strikeOut);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
  TextCtx c;
  if (!tm || !OpenText(hdc, c, false)) return FALSE;
  *tm = c.fi->tm;
  return TRUE;
}

int GetTextFaceA(HDC hdc, int count, char* face) {
  DCObj* dc = LookupDC(hdc);
  FontObj* f = dc ? GetFont(dc->st.font) : nullptr;
  if (!f) return 0;
  int n = int(strnlen(f->lf.lfFaceName, LF_FACESIZE));
  if (!face) return n + 1;
  if (count <= 0) return 0;
  int k = std::min(n, count - 1);
  std::memcpy(face, f->lf.lfFaceName, std::size_t(k));
  face[k] = 0;
  return k;
}

BOOL GetTextExtentPoint32A(HDC hdc, const char* s, int len, SIZE* size) {
  TextCtx c;
  if (!size || len < 0 || (len && !s) || !OpenText(hdc, c, false)) return FALSE;
  std::vector<Laid> laid;
  size->cx = Layout(c.fi, c.dc->st, s, len, nullptr, laid);
  size->cy = c.fi->tm.tmHeight;
  return TRUE;
}

BOOL GetTextExtentPointA(HDC hdc, const char* s, int len, SIZE* size) {
  return GetTextExtentPoint32A(hdc, s, len, size);
}

BOOL GetTextExtentExPointA(HDC hdc, const char* s, int len, int maxExtent, int* fit, int* dx, SIZE* size) {
  TextCtx c;
  if (len < 0 || (len && !s) || !OpenText(hdc, c, false)) return FALSE;
  std::vector<Laid> laid;
  int total = Layout(c.fi, c.dc->st, s, len, nullptr, laid);
  int fitted = 0;
  for (const Laid& l : laid) {
    int end = l.pos + l.adv;
    if (dx) {
      dx[l.index] = end;
      if (l.bytes == 2) dx[l.index + 1] = end;
    }
    if (end <= maxExtent && fitted == l.index) fitted = l.index + l.bytes;
  }
  if (fit) *fit = fitted;
  if (size) {
    size->cx = total;
    size->cy = c.fi->tm.tmHeight;
  }
  return TRUE;
}

static bool CharCode(UINT ch, char* buf, int& n) {
  n = 0;
  if (ch > 0xFF) buf[n++] = char(ch >> 8);
  buf[n++] = char(ch & 0xFF);
  return ch <= 0xFFFF;
}

BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths) {
  TextCtx c;
  if (!widths || last < first || !OpenText(hdc, c, false)) return FALSE;
  std::vector<Laid> laid;
  for (UINT ch = first; ch <= last; ++ch) {
    char buf[2];
    int n;
    if (!CharCode(ch, buf, n)) return FALSE;
    DCState st = c.dc->st;
    st.charExtra = 0;
    st.breakCount = 0;
    widths[ch - first] = Layout(c.fi, st, buf, n, nullptr, laid);
  }
  return TRUE;
}

BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths) { return GetCharWidth32A(hdc, first, last, widths); }

BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, ABC* abc) {
  TextCtx c;
  if (!abc || last < first || !OpenText(hdc, c, false)) return FALSE;
  std::vector<Laid> laid;
  for (UINT ch = first; ch <= last; ++ch) {
    char buf[2];
    int n;
    if (!CharCode(ch, buf, n)) return FALSE;
    DCState st = c.dc->st;
    st.charExtra = 0;
    st.breakCount = 0;
    Layout(c.fi, st, buf, n, nullptr, laid);
    const Glyph* g = laid.empty() ? nullptr : laid[0].g;
    ABC& r = abc[ch - first];
    if (!g) { r = ABC{}; continue; }
    if (g->cov.empty() || c.fi->quadrant != 0) {
      r.abcA = 0;
      r.abcB = UINT(std::max(g->adv, 0));
      r.abcC = 0;
    } else {
      r.abcA = g->left;
      r.abcB = UINT(g->w);
      r.abcC = g->adv - g->left - g->w;
    }
  }
  return TRUE;
}

// Tab stops: none given: every 8 average widths; one: every tabStops[0];
// several: at those positions, then one space width beyond the last.
static int NextTab(int pos, int origin, int tabs, const int* stops, int aveWidth, int spaceWidth) {
  int rel = pos - origin;
  if (tabs <= 0 || !stops) {
    int step = 8 * aveWidth;
    return origin + (rel / step + 1) * step;
  }
  if (tabs == 1) {
    int step = std::abs(stops[0]);
    if (step <= 0) step = 8 * aveWidth;
    return origin + (rel / step + 1) * step;
  }
  for (int i = 0; i < tabs; ++i)
    if (std::abs(stops[i]) > rel) return origin + std::abs(stops[i]);
  return pos + spaceWidth;
}

static LONG TabbedCore(HDC hdc, int x, int y, const char* s, int len, int tabs, const int* stops, int origin,
                       bool draw) {
  TextCtx c;
  if (len < 0 || (len && !s) || !OpenText(hdc, c, draw)) return 0;
  std::vector<Laid> laid;
  int spaceW = Layout(c.fi, c.dc->st, " ", 1, nullptr, laid);
  int pos = x;
  int start = 0;
  auto segment = [&](int a, int b) {
    if (b <= a) return;
    int w = Layout(c.fi, c.dc->st, s + a, b - a, nullptr, laid);
    if (draw) {
      int bx = pos + c.off.x, by = y + c.off.y + c.fi->tm.tmAscent;
      PaintRun(c, laid, w, bx, by, nullptr, c.dc->st.bkMode == OPAQUE, -1, false);
    }
    pos += w;
  };
  for (int i = 0; i < len; ++i) {
    if (s[i] == '\t') {
      segment(start, i);
      int next = NextTab(pos, origin, tabs, stops, c.fi->tm.tmAveCharWidth, spaceW);
      if (draw && c.dc->st.bkMode == OPAQUE) {
        Paint bk = SolidPaint(c.t, c.dc->st.bk);
        FillRectPx(c.t, *c.clip, RECT{pos + c.off.x, y + c.off.y, next + c.off.x, y + c.off.y + c.fi->tm.tmHeight}, bk,
                   R2_COPYPEN);
      }
      pos = next;
      start = i + 1;
    } else if (CharLen(s, i, len) == 2) {
      ++i;
    }
  }
  segment(start, len);
  return MAKELONG(WORD(pos - x), WORD(c.fi->tm.tmHeight));
}

DWORD GetTabbedTextExtentA(HDC hdc, const char* s, int len, int tabs, const int* stops) {
  return DWORD(TabbedCore(hdc, 0, 0, s, len, tabs, stops, 0, false));
}

LONG TabbedTextOutA(HDC hdc, int x, int y, const char* s, int len, int tabs, const int* stops, int origin) {
  return TabbedCore(hdc, x, y, s, len, tabs, stops, origin, true);
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rc, const char* s, UINT len, const int* dx) {
  TextCtx c;
  if ((len && !s) || len > 0x7FFFFFFF || !OpenText(hdc, c, true)) return FALSE;
  DCState& st = c.dc->st;
  RECT rcPx{};
  if (rc) rcPx = RECT{rc->left + c.off.x, rc->top + c.off.y, rc->right + c.off.x, rc->bottom + c.off.y};
  if (rc && (options & ETO_OPAQUE))
    FillRectPx(c.t, *c.clip, rcPx, SolidPaint(c.t, st.bk), R2_COPYPEN);
  std::vector<Laid> laid;
  int width = Layout(c.fi, st, s, int(len), dx, laid);
  if (st.textAlign & TA_UPDATECP) {
    x = st.cur.x;
    y = st.cur.y;
  }
  const TEXTMETRICA& tm = c.fi->tm;
  int shift = 0;  // along the baseline
  switch (st.textAlign & TA_CENTER) {
    case TA_RIGHT: shift = -width; break;
    case TA_CENTER: shift = -width / 2; break;
  }
  int down = 0;  // from the reference point to the baseline
  switch (st.textAlign & TA_BASELINE) {
    case TA_TOP: down = tm.tmAscent; break;
    case TA_BOTTOM: down = -tm.tmDescent; break;
    default: down = 0; break;
  }
  int q = c.fi->quadrant;
  int ux = q == 0 ? 1 : q == 2 ? -1 : 0, uy = q == 1 ? -1 : q == 3 ? 1 : 0;
  int vx = -uy, vy = ux;
  int bx = x + c.off.x + ux * shift + vx * down;
  int by = y + c.off.y + uy * shift + vy * down;
  bool clipped = rc && (options & ETO_CLIPPED);
  PaintRun(c, laid, width, bx, by, clipped ? &rcPx : nullptr, st.bkMode == OPAQUE, -1, false);
  if (st.textAlign & TA_UPDATECP) {
    if ((st.textAlign & TA_CENTER) == TA_LEFT) st.cur.x += width * ux, st.cur.y += width * uy;
    else if ((st.textAlign & TA_CENTER) == TA_RIGHT) st.cur.x -= width * ux, st.cur.y -= width * uy;
  }
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* s, int len) {
  if (len < 0) return FALSE;
  return ExtTextOutA(hdc, x, y, 0, nullptr, s, UINT(len), nullptr);
}

UINT SetTextAlign(HDC hdc, UINT align) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return GDI_ERROR;
  UINT o = dc->st.textAlign;
  dc->st.textAlign = align & TA_MASK;
  return o;
}

UINT GetTextAlign(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  return dc ? dc->st.textAlign : GDI_ERROR;
}

int SetTextCharacterExtra(HDC hdc, int extra) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return int(0x80000000);
  int o = dc->st.charExtra;
  dc->st.charExtra = extra;
  return o;
}

int GetTextCharacterExtra(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  return dc ? dc->st.charExtra : int(0x80000000);
}

BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  dc->st.breakExtra = breakCount > 0 ? breakExtra : 0;
  dc->st.breakCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

DWORD GetFontLanguageInfo(HDC hdc) {
  TextCtx c;
  if (!OpenText(hdc, c, false)) return GCP_ERROR;
  BYTE cs = c.fi->tm.tmCharSet;
  bool dbcs = cs == GB2312_CHARSET || cs == SHIFTJIS_CHARSET || cs == HANGEUL_CHARSET || cs == CHINESEBIG5_CHARSET;
  return dbcs ? GCP_DBCS : 0;
}

BOOL GrayStringA(HDC hdc, HBRUSH brush, void* proc, LPARAM data, int len, int x, int y, int, int) {
  // Without an output procedure the data is the text; it is drawn in the grey text colour.
  DCObj* dc = LookupDC(hdc);
  if (!dc || proc || !data) return FALSE;
  const char* s = reinterpret_cast<const char*>(data);
  if (len <= 0) len = int(std::strlen(s));
  COLORREF old = SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  int oldMode = SetBkMode(hdc, TRANSPARENT);
  (void)brush;
  TextOutA(hdc, x, y, s, len);
  SetBkMode(hdc, oldMode);
  SetTextColor(hdc, old);
  return TRUE;
}
