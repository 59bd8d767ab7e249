// Shared internals of the drawing layer (not for use outside platform/gdi).
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"

namespace pvgdi {

// Largest bitmap the layer creates (pixels).
constexpr std::int64_t PV_MAX_BITMAP_PIXELS = 128LL * 1024 * 1024;

// ---------------------------------------------------------------------------
// Regions: y-banded lists of x intervals, half-open on both axes.
struct Band {
  int y1 = 0, y2 = 0;
  std::vector<int> xs;  // pairs [x1, x2), sorted, disjoint, not touching
};

struct Span {
  int y, x1, x2;
};

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& rc) { SetRect(rc); }
  void SetEmpty() { bands_.clear(); }
  void SetRect(const RECT& rc);
  bool Empty() const { return bands_.empty(); }
  RECT Box() const;
  int Complexity() const;  // NULLREGION / SIMPLEREGION / COMPLEXREGION
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rc) const;
  void Offset(int dx, int dy);
  bool operator==(const Region& o) const;
  const std::vector<Band>& Bands() const { return bands_; }
  std::vector<RECT> Rects() const;
  // Builds from spans in any order; overlapping spans merge.
  static Region FromSpans(std::vector<Span> spans);
  static Region Combine(const Region& a, const Region& b, int mode);
  // Index of the band containing y, or -1. `hint` speeds up sequential lookups.
  int FindBand(int y, int hint = -1) const;

 private:
  std::vector<Band> bands_;
  friend struct RegionBuilder;
};

// ---------------------------------------------------------------------------
// Objects behind handles
struct GdiObj {
  DWORD type = 0;  // OBJ_*
  int refs = 0;    // selections into DC states (current and saved)
  bool stock = false;
  bool pendingDelete = false;
  std::uintptr_t id = 0;
  virtual ~GdiObj() = default;
};

struct PenObj : GdiObj {
  UINT style = PS_SOLID;  // full style incl. type and caps
  int width = 1;
  COLORREF color = 0;
  bool ext = false;
  bool dcPen = false;  // DC_PEN stock object: uses the DC's pen colour
  std::vector<DWORD> user;  // PS_USERSTYLE dashes
  UINT Kind() const { return style & PS_STYLE_MASK; }
};

struct BitmapObj;

struct BrushObj : GdiObj {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  bool dcBrush = false;   // DC_BRUSH stock object
  int sysIndex = -1;      // system colour brushes follow SetSysColors
  // Pattern brushes: 8x8 copy of the bitmap taken at creation
  bool monoPattern = false;
  std::uint32_t pattern[64] = {};
};

struct FontInstance;

struct FontObj : GdiObj {
  LOGFONTA lf;
  FontInstance* inst = nullptr;  // realized font, shared by equal LOGFONTs
};

struct PaletteObj : GdiObj {
  std::vector<PALETTEENTRY> entries;
};

struct RegionObj : GdiObj {
  Region rgn;
  std::uint64_t serial = 0;
  void Touch();
};

struct BitmapObj : GdiObj {
  int w = 0, h = 0;
  bool mono = false;
  bool dib = false;
  bool bottomUp = false;
  std::vector<std::uint32_t> store;
  std::uint32_t* bits = nullptr;  // memory start (row 0 of memory)
  HDC selectedIn = nullptr;
  // pointer to top row and stride in pixels (negative for bottom-up)
  std::uint32_t* Row(int y) const {
    return bottomUp ? bits + std::size_t(h - 1 - y) * w : bits + std::size_t(y) * w;
  }
  std::uint32_t* Top() const { return Row(0); }
  int StridePx() const { return bottomUp ? -w : w; }
};

// ---------------------------------------------------------------------------
// Handle table
std::uintptr_t Register(std::unique_ptr<GdiObj> obj);
GdiObj* Lookup(const void* h);
template <class T>
T* LookupAs(const void* h, DWORD type) {
  GdiObj* o = Lookup(h);
  if (!o || o->type != type) return nullptr;
  return static_cast<T*>(o);
}
inline PenObj* GetPen(const void* h) {
  GdiObj* o = Lookup(h);
  return o && (o->type == OBJ_PEN || o->type == OBJ_EXTPEN) ? static_cast<PenObj*>(o) : nullptr;
}
inline BrushObj* GetBrush(const void* h) { return LookupAs<BrushObj>(h, OBJ_BRUSH); }
inline FontObj* GetFont(const void* h) { return LookupAs<FontObj>(h, OBJ_FONT); }
inline BitmapObj* GetBitmap(const void* h) { return LookupAs<BitmapObj>(h, OBJ_BITMAP); }
inline RegionObj* GetRegion(const void* h) { return LookupAs<RegionObj>(h, OBJ_REGION); }
template <class H>
H ToHandle(std::uintptr_t id) { return reinterpret_cast<H>(id); }
void AddRef(HGDIOBJ h);
void Release(HGDIOBJ h);
void DestroyObject(GdiObj* o);

BitmapObj* NewBitmap(int w, int h, bool mono, std::uintptr_t* id);

// ---------------------------------------------------------------------------
// Pixels
inline std::uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF ToColorRef(std::uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
inline std::uint32_t MonoOf(std::uint32_t px) {
  unsigned s = ((px >> 16) & 0xFF) + ((px >> 8) & 0xFF) + (px & 0xFF);
  return s >= 383 ? 0xFFFFFFFFu : 0xFF000000u;
}

// Fills n pixels with v: whole 64-byte blocks are copied from a pattern so
// the compiler emits wide stores.
inline void FillPixels(std::uint32_t* p, long n, std::uint32_t v) {
  if (n <= 0) return;
  if (n < 32) {
    for (long i = 0; i < n; ++i) p[i] = v;
    return;
  }
  std::uint32_t block[16];
  for (std::uint32_t& b : block) b = v;
  long i = 0;
  for (; i + 16 <= n; i += 16) std::memcpy(p + i, block, sizeof block);
  for (; i < n; ++i) p[i] = v;
}

// The pixels a DC draws into.
struct Target {
  std::uint32_t* top = nullptr;  // row 0
  int stride = 0;                // in pixels
  int w = 0, h = 0;
  bool mono = false;
  std::uint32_t* Row(int y) const { return top + std::ptrdiff_t(y) * stride; }
};

// ---------------------------------------------------------------------------
// Device contexts
struct PathData {
  bool open = false;    // between BeginPath and EndPath
  bool closed = false;  // EndPath done
  std::vector<std::vector<POINT>> figures;  // device coordinates
  std::vector<bool> closedFig;
};

struct DCState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;
  HPALETTE palette = nullptr;
  COLORREF text = 0;
  COLORREF bk = 0xFFFFFF;
  COLORREF dcBrush = 0xFFFFFF;
  COLORREF dcPen = 0;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFill = ALTERNATE;
  int arcDir = AD_COUNTERCLOCKWISE;
  UINT textAlign = 0;
  int charExtra = 0;
  int breakExtra = 0, breakCount = 0;
  POINT winOrg, vpOrg, brushOrg, cur;
  std::optional<Region> clip;  // device coordinates
};

enum class DCKind { Memory, Surface, Screen };

struct DCObj {
  std::uintptr_t id = 0;
  DCKind kind = DCKind::Memory;
  Surface* surface = nullptr;
  DCState st;
  std::vector<DCState> saved;
  PathData path;
  // clip cache
  std::uint64_t clipSerial = 0;  // bumps on any change of st.clip
  Region effClip;                // in target pixels
  std::uint64_t cacheKey[6] = {};
  bool cacheValid = false;
  bool drawn = false;  // a drawing call reached its pixels since it was made

  bool GetTarget(Target& t);
  // Offset from logical to target pixel coordinates.
  POINT Offset() const;
  // Device-to-pixel offset (surface origin; 0 for memory DCs).
  POINT DevOrigin() const;
  const Region& Clip(const Target& t);
};

DCObj* LookupDC(HDC h);
void TouchClip(DCObj* dc);
void ReleaseState(DCState& st);
void RetainState(const DCState& st);

// ---------------------------------------------------------------------------
// Painting spans
struct Paint {
  // A brush resolved for a target: 8x8 colours and which pixels to draw.
  bool solid = true;
  std::uint32_t color = 0;
  std::uint32_t pat[64] = {};
  std::uint64_t opaque = ~0ull;  // bit (y*8+x) set: pattern pixel is drawn
  int orgX = 0, orgY = 0;        // pattern origin in target pixels
  bool null = false;
  std::uint32_t At(int x, int y) const {
    return solid ? color : pat[((y - orgY) & 7) * 8 + ((x - orgX) & 7)];
  }
  bool Drawn(int x, int y) const {
    return solid || ((opaque >> (((y - orgY) & 7) * 8 + ((x - orgX) & 7))) & 1);
  }
};

// The DC's brush (or a given one) as a Paint for its target.
Paint BrushPaint(DCObj* dc, const Target& t, HBRUSH brush);
Paint SolidPaint(const Target& t, COLORREF c);
std::uint32_t MapColor(const Target& t, COLORREF c);

inline std::uint32_t Rop2(int rop2, std::uint32_t p, std::uint32_t d) {
  const unsigned f = unsigned(rop2 - 1) & 15;
  std::uint32_t r = 0;
  if (f & 1) r |= ~p & ~d;
  if (f & 2) r |= ~p & d;
  if (f & 4) r |= p & ~d;
  if (f & 8) r |= p & d;
  return r | 0xFF000000u;
}
inline std::uint32_t Rop3(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r | 0xFF000000u;
}

// Fills spans (target pixels) clipped by `clip` with a paint and binary raster op.
void FillSpan(const Target& t, const Region& clip, int y, int x1, int x2, const Paint& p,
              int rop2, int* hint = nullptr);
void FillRegion(const Target& t, const Region& clip, const Region& r, const Paint& p, int rop2);
void FillRectPx(const Target& t, const Region& clip, RECT rc, const Paint& p, int rop2);

// Scan conversion (target pixels)
void PolygonSpans(const std::vector<std::vector<POINT>>& polys, bool winding,
                  std::vector<Span>& out);
void EllipseSpans(int l, int t, int r, int b, std::vector<Span>& out);
void RoundRectSpans(int l, int t, int r, int b, int ew, int eh, std::vector<Span>& out);

// Text (text.cpp) used by DrawText and the classic painters
FontInstance* DCFont(DCObj* dc);
// Width of a line (with character extra), height and average width of the DC's font.
int TextWidth(DCObj* dc, const char* s, int len);
// Pen offsets before each byte (len + 1 entries; inside a double-byte
// character the offset of its start).
void TextOffsets(DCObj* dc, const char* s, int len, std::vector<int>& offsets);
void FontHeights(DCObj* dc, int* height, int* aveWidth, int* externalLeading);
// Draws a line with its top-left at logical (x, y), left-aligned whatever the
// DC's alignment; clipped to clipRc (logical) when given; underlines the
// character at byte index underlineIndex (-1: none).
void DrawTextLine(DCObj* dc, int x, int y, const char* s, int len, const RECT* clipRc,
                  int underlineIndex, bool prefixOnly = false);

// System colours
std::uint32_t SysPixel(int index);

}  // namespace pvgdi
