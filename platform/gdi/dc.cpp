// Device contexts: creation, state, saving and restoring, coordinates,
// clipping, surfaces and the span painter.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"

namespace pvgdi {

namespace {
struct DCTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<DCObj>> dcs;
  std::uintptr_t next = 0x40000000;
};
DCTable& D() {
  static DCTable* t = new DCTable;
  return *t;
}
Surface* g_screen = nullptr;
std::uint32_t g_dummyPixel = 0xFFFFFFFF;
Surface g_dummy{&g_dummyPixel, 1, 1, 4, {}, nullptr};
HBITMAP g_defaultBitmap = nullptr;

HBITMAP DefaultBitmap() {
  if (!g_defaultBitmap) {
    std::uintptr_t id = 0;
    BitmapObj* b = NewBitmap(1, 1, true, &id);
    b->stock = true;
    b->store[0] = 0xFFFFFFFFu;
    g_defaultBitmap = ToHandle<HBITMAP>(id);
  }
  return g_defaultBitmap;
}
}  // namespace

DCObj* LookupDC(HDC h) {
  if (!h) return nullptr;
  auto& t = D();
  auto it = t.dcs.find(reinterpret_cast<std::uintptr_t>(h));
  return it == t.dcs.end() ? nullptr : it->second.get();
}

void RetainState(const DCState& st) {
  AddRef(st.pen);
  AddRef(st.brush);
  AddRef(st.font);
  AddRef(st.bitmap);
  AddRef(st.palette);
}

void ReleaseState(DCState& st) {
  Release(st.pen);
  Release(st.brush);
  Release(st.font);
  Release(st.bitmap);
  Release(st.palette);
}

void TouchClip(DCObj* dc) { ++dc->clipSerial; }

POINT DCObj::DevOrigin() const {
  if (kind == DCKind::Surface && surface) return surface->origin;
  if (kind == DCKind::Screen && g_screen) return g_screen->origin;
  return POINT{};
}

POINT DCObj::Offset() const {
  POINT d = DevOrigin();
  return POINT{st.vpOrg.x - st.winOrg.x + d.x, st.vpOrg.y - st.winOrg.y + d.y};
}

static bool SurfaceTarget(const Surface* s, Target& t) {
  if (!s || !s->pixels || s->width <= 0 || s->height <= 0) return false;
  t.top = s->pixels;
  t.stride = s->stride / 4;
  t.w = s->width;
  t.h = s->height;
  t.mono = false;
  return true;
}

bool DCObj::GetTarget(Target& t) {
  switch (kind) {
    case DCKind::Memory: {
      BitmapObj* b = GetBitmap(st.bitmap);
      if (!b) return false;
      t.top = b->Top();
      t.stride = b->StridePx();
      t.w = b->w;
      t.h = b->h;
      t.mono = b->mono;
      return t.w > 0 && t.h > 0;
    }
    case DCKind::Surface: return SurfaceTarget(surface, t);
    case DCKind::Screen: return SurfaceTarget(g_screen ? g_screen : &g_dummy, t);
  }
  return false;
}

const Region& DCObj::Clip(const Target& t) {
  const Surface* s = kind == DCKind::Surface ? surface : kind == DCKind::Screen ? g_screen : nullptr;
  RegionObj* vis = s ? GetRegion(s->visible) : nullptr;
  POINT d = DevOrigin();
  std::uint64_t key[6] = {reinterpret_cast<std::uintptr_t>(t.top), (std::uint64_t(t.w) << 32) | unsigned(t.h),
                          vis ? vis->serial : 0, vis ? vis->id : 0,
                          (std::uint64_t(unsigned(d.x)) << 32) | unsigned(d.y), clipSerial};
  if (cacheValid && std::memcmp(key, cacheKey, sizeof key) == 0) return effClip;
  effClip = Region(RECT{0, 0, t.w, t.h});
  if (vis) effClip = Region::Combine(effClip, vis->rgn, RGN_AND);
  if (st.clip) {
    Region c = *st.clip;
    c.Offset(d.x, d.y);
    effClip = Region::Combine(effClip, c, RGN_AND);
  }
  std::memcpy(cacheKey, key, sizeof key);
  cacheValid = true;
  return effClip;
}

std::uint32_t MapColor(const Target& t, COLORREF c) {
  std::uint32_t p = ToPixel(ResolveColor(c));
  return t.mono ? MonoOf(p) : p;
}

Paint SolidPaint(const Target& t, COLORREF c) {
  Paint p;
  p.solid = true;
  p.color = MapColor(t, c);
  return p;
}

static bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x + y == 7;
  }
  return false;
}

Paint BrushPaint(DCObj* dc, const Target& t, HBRUSH brush) {
  Paint p;
  std::uintptr_t v = reinterpret_cast<std::uintptr_t>(brush);
  if (v >= 1 && v <= std::uintptr_t(PV_SYSCOLOR_COUNT)) {  // (HBRUSH)(COLOR_* + 1)
    p.color = t.mono ? MonoOf(SysPixel(int(v - 1))) : SysPixel(int(v - 1));
    return p;
  }
  BrushObj* b = GetBrush(brush);
  if (!b || b->style == BS_NULL) {
    p.null = true;
    return p;
  }
  POINT d = dc->DevOrigin();
  p.orgX = dc->st.brushOrg.x + d.x;
  p.orgY = dc->st.brushOrg.y + d.y;
  if (b->style == BS_SOLID) {
    p.color = MapColor(t, b->dcBrush ? dc->st.dcBrush : b->color);
    return p;
  }
  p.solid = false;
  if (b->style == BS_HATCHED) {
    std::uint32_t fg = MapColor(t, b->color), bg = MapColor(t, dc->st.bk);
    bool opaque = dc->st.bkMode == OPAQUE;
    p.opaque = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool on = HatchBit(b->hatch, x, y);
        p.pat[y * 8 + x] = on ? fg : bg;
        if (on || opaque) p.opaque |= 1ull << (y * 8 + x);
      }
    return p;
  }
  // Pattern: a monochrome pattern takes the text colour for 0 and background for 1.
  std::uint32_t fg = MapColor(t, dc->st.text), bg = MapColor(t, dc->st.bk);
  for (int i = 0; i < 64; ++i) {
    std::uint32_t c = b->pattern[i];
    if (b->monoPattern) c = (c & 0xFFFFFF) ? bg : fg;
    else if (t.mono) c = MonoOf(c);
    p.pat[i] = c | 0xFF000000u;
  }
  return p;
}

static inline void PaintRun(std::uint32_t* row, int y, int a, int b, const Paint& p, int rop2) {
  if (p.solid) {
    const std::uint32_t c = p.color;
    switch (rop2) {
      case R2_COPYPEN: FillPixels(row + a, b - a, c); return;
      case R2_NOP: return;
      case R2_NOT:
        for (int x = a; x < b; ++x) row[x] = ~row[x] | 0xFF000000u;
        return;
      case R2_XORPEN:
        for (int x = a; x < b; ++x) row[x] = (row[x] ^ c) | 0xFF000000u;
        return;
      default:
        for (int x = a; x < b; ++x) row[x] = Rop2(rop2, c, row[x]);
        return;
    }
  }
  for (int x = a; x < b; ++x) {
    if (!p.Drawn(x, y)) continue;
    const std::uint32_t c = p.At(x, y);
    row[x] = rop2 == R2_COPYPEN ? c : Rop2(rop2, c, row[x]);
  }
}

void FillSpan(const Target& t, const Region& clip, int y, int x1, int x2, const Paint& p, int rop2,
              int* hint) {
  if (p.null || x2 <= x1) return;
  int bi = clip.FindBand(y, hint ? *hint : -1);
  if (bi < 0) return;
  if (hint) *hint = bi;
  const auto& xs = clip.Bands()[bi].xs;
  std::uint32_t* row = t.Row(y);
  for (std::size_t k = 0; k < xs.size(); k += 2) {
    if (xs[k] >= x2) break;
    int a = std::max(x1, xs[k]), b = std::min(x2, xs[k + 1]);
    if (a < b) PaintRun(row, y, a, b, p, rop2);
  }
}

void FillRectPx(const Target& t, const Region& clip, RECT rc, const Paint& p, int rop2) {
  if (p.null) return;
  RECT box = clip.Box();
  rc.top = std::max(rc.top, box.top);
  rc.bottom = std::min(rc.bottom, box.bottom);
  int hint = -1;
  for (int y = rc.top; y < rc.bottom; ++y) FillSpan(t, clip, y, rc.left, rc.right, p, rop2, &hint);
}

void FillRegion(const Target& t, const Region& clip, const Region& r, const Paint& p, int rop2) {
  if (p.null) return;
  int hint = -1;
  for (const Band& b : r.Bands())
    for (int y = b.y1; y < b.y2; ++y)
      for (std::size_t k = 0; k < b.xs.size(); k += 2) FillSpan(t, clip, y, b.xs[k], b.xs[k + 1], p, rop2, &hint);
}

}  // namespace pvgdi

using namespace pvgdi;

static HDC NewDC(DCKind kind, Surface* s) {
  auto dc = std::make_unique<DCObj>();
  dc->kind = kind;
  dc->surface = s;
  dc->st.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->st.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->st.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  dc->st.palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  if (kind == DCKind::Memory) dc->st.bitmap = DefaultBitmap();
  RetainState(dc->st);
  auto& t = D();
  std::uintptr_t id = t.next;
  t.next += 4;
  dc->id = id;
  if (kind == DCKind::Memory) {
    // the default bitmap may sit in many DCs
  }
  t.dcs.emplace(id, std::move(dc));
  return reinterpret_cast<HDC>(id);
}

HDC CreateCompatibleDC(HDC) { return NewDC(DCKind::Memory, nullptr); }

HDC CreateSurfaceDC(Surface* s) { return s ? NewDC(DCKind::Surface, s) : nullptr; }

HDC CreateDCA(LPCSTR, LPCSTR, LPCSTR, const void*) { return NewDC(DCKind::Screen, nullptr); }

Surface* GetDCSurface(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  return dc && dc->kind == DCKind::Surface ? dc->surface : nullptr;
}

bool SurfaceDCDrawn(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  return dc && dc->drawn;
}

void SetScreenSurface(Surface* s) { g_screen = s; }
Surface* GetScreenSurface() { return g_screen; }

BOOL DeleteDC(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (BitmapObj* b = GetBitmap(dc->st.bitmap))
    if (b->selectedIn == hdc) b->selectedIn = nullptr;
  ReleaseState(dc->st);
  for (DCState& s : dc->saved) ReleaseState(s);
  D().dcs.erase(dc->id);
  return TRUE;
}

DWORD GetObjectType(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return 0;
  return dc->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
}

int SaveDC(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  RetainState(dc->st);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  int n = int(dc->saved.size());
  int target = level < 0 ? n + level + 1 : level;  // the level to return to
  if (target < 1 || target > n) return FALSE;
  BitmapObj* oldBmp = GetBitmap(dc->st.bitmap);
  DCState restored = dc->saved[target - 1];
  BitmapObj* newBmp = GetBitmap(restored.bitmap);
  if (newBmp && newBmp != oldBmp && newBmp->selectedIn && newBmp->selectedIn != hdc && !newBmp->stock)
    return FALSE;
  // Ownership of the bitmaps moves before any reference is dropped (which may free one).
  if (oldBmp && oldBmp != newBmp && oldBmp->selectedIn == hdc) oldBmp->selectedIn = nullptr;
  if (newBmp && !newBmp->stock) newBmp->selectedIn = hdc;
  // The saved states from target on are dropped; their references go with them.
  ReleaseState(dc->st);
  dc->st = dc->saved[target - 1];  // takes over the references of saved[target - 1]
  for (int i = target; i < n; ++i) ReleaseState(dc->saved[i]);
  dc->saved.resize(target - 1);
  dc->cacheValid = false;
  TouchClip(dc);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DCObj* dc = LookupDC(hdc);
  GdiObj* o = Lookup(h);
  if (!dc || !o || o->pendingDelete) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (o->type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: slot = reinterpret_cast<HGDIOBJ*>(&dc->st.pen); break;
    case OBJ_BRUSH: slot = reinterpret_cast<HGDIOBJ*>(&dc->st.brush); break;
    case OBJ_FONT: slot = reinterpret_cast<HGDIOBJ*>(&dc->st.font); break;
    case OBJ_PAL: slot = reinterpret_cast<HGDIOBJ*>(&dc->st.palette); break;
    case OBJ_REGION: {
      int r = SelectClipRgn(hdc, static_cast<HRGN>(h));
      return reinterpret_cast<HGDIOBJ>(std::intptr_t(r));
    }
    case OBJ_BITMAP: {
      if (dc->kind != DCKind::Memory) return nullptr;
      auto* b = static_cast<BitmapObj*>(o);
      if (b->selectedIn && b->selectedIn != hdc) return nullptr;
      if (BitmapObj* old = GetBitmap(dc->st.bitmap))
        if (old->selectedIn == hdc) old->selectedIn = nullptr;
      if (!b->stock) b->selectedIn = hdc;
      slot = reinterpret_cast<HGDIOBJ*>(&dc->st.bitmap);
      // A new bitmap resets the clip region, as the platform does.
      dc->st.clip.reset();
      TouchClip(dc);
      break;
    }
    default: return nullptr;
  }
  HGDIOBJ old = *slot;
  AddRef(h);
  *slot = h;
  Release(old);
  return old;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_FONT: return dc->st.font;
    case OBJ_PAL: return dc->st.palette;
    case OBJ_BITMAP: return dc->st.bitmap;
  }
  return nullptr;
}

int GetDeviceCaps(HDC hdc, int index) {
  DCObj* dc = LookupDC(hdc);
  Target t;
  bool have = dc && dc->GetTarget(t);
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return have ? t.w : 0;
    case VERTRES: return have ? t.h : 0;
    case DESKTOPHORZRES: return have ? t.w : 0;
    case DESKTOPVERTRES: return have ? t.h : 0;
    case HORZSIZE: return have ? t.w * 254 / 960 : 0;
    case VERTSIZE: return have ? t.h * 254 / 960 : 0;
    case BITSPIXEL: return have && t.mono ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
  }
  return 0;
}

#define PV_DC_OR(ret)         \
  DCObj* dc = LookupDC(hdc);     \
  if (!dc) return ret;

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
  PV_DC_OR(FALSE);
  if (old) *old = dc->st.winOrg;
  dc->st.winOrg = POINT{x, y};
  return TRUE;
}
BOOL GetWindowOrgEx(HDC hdc, POINT* pt) {
  PV_DC_OR(FALSE);
  if (pt) *pt = dc->st.winOrg;
  return TRUE;
}
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old) {
  PV_DC_OR(FALSE);
  if (old) *old = dc->st.winOrg;
  dc->st.winOrg.x += dx;
  dc->st.winOrg.y += dy;
  return TRUE;
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
  PV_DC_OR(FALSE);
  if (old) *old = dc->st.vpOrg;
  dc->st.vpOrg = POINT{x, y};
  return TRUE;
}
BOOL GetViewportOrgEx(HDC hdc, POINT* pt) {
  PV_DC_OR(FALSE);
  if (pt) *pt = dc->st.vpOrg;
  return TRUE;
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) {
  PV_DC_OR(FALSE);
  if (old) *old = dc->st.vpOrg;
  dc->st.vpOrg.x += dx;
  dc->st.vpOrg.y += dy;
  return TRUE;
}
int SetMapMode(HDC hdc, int mode) {
  PV_DC_OR(0);
  return mode == MM_TEXT ? MM_TEXT : 0;
}
int GetMapMode(HDC hdc) {
  PV_DC_OR(0);
  return MM_TEXT;
}
BOOL LPtoDP(HDC hdc, POINT* pts, int count) {
  PV_DC_OR(FALSE);
  for (int i = 0; i < count; ++i) {
    pts[i].x += dc->st.vpOrg.x - dc->st.winOrg.x;
    pts[i].y += dc->st.vpOrg.y - dc->st.winOrg.y;
  }
  return TRUE;
}
BOOL DPtoLP(HDC hdc, POINT* pts, int count) {
  PV_DC_OR(FALSE);
  for (int i = 0; i < count; ++i) {
    pts[i].x -= dc->st.vpOrg.x - dc->st.winOrg.x;
    pts[i].y -= dc->st.vpOrg.y - dc->st.winOrg.y;
  }
  return TRUE;
}
BOOL GetDCOrgEx(HDC hdc, POINT* pt) {
  PV_DC_OR(FALSE);
  if (pt) *pt = dc->DevOrigin();
  return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF c) {
  PV_DC_OR(CLR_INVALID);
  COLORREF o = dc->st.text;
  dc->st.text = c;
  return o;
}
COLORREF GetTextColor(HDC hdc) {
  PV_DC_OR(CLR_INVALID);
  return dc->st.text;
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
  PV_DC_OR(CLR_INVALID);
  COLORREF o = dc->st.bk;
  dc->st.bk = c;
  return o;
}
COLORREF GetBkColor(HDC hdc) {
  PV_DC_OR(CLR_INVALID);
  return dc->st.bk;
}
int SetBkMode(HDC hdc, int mode) {
  PV_DC_OR(0);
  if (mode != OPAQUE && mode != TRANSPARENT) return 0;
  int o = dc->st.bkMode;
  dc->st.bkMode = mode;
  return o;
}
int GetBkMode(HDC hdc) {
  PV_DC_OR(0);
  return dc->st.bkMode;
}
int SetROP2(HDC hdc, int rop2) {
  PV_DC_OR(0);
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  int o = dc->st.rop2;
  dc->st.rop2 = rop2;
  return o;
}
int GetROP2(HDC hdc) {
  PV_DC_OR(0);
  return dc->st.rop2;
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
  PV_DC_OR(FALSE);
  if (old) *old = dc->st.brushOrg;
  dc->st.brushOrg = POINT{x, y};
  return TRUE;
}
BOOL GetBrushOrgEx(HDC hdc, POINT* pt) {
  PV_DC_OR(FALSE);
  if (pt) *pt = dc->st.brushOrg;
  return TRUE;
}
int SetStretchBltMode(HDC hdc, int mode) {
  PV_DC_OR(0);
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  int o = dc->st.stretchMode;
  dc->st.stretchMode = mode;
  return o;
}
int GetStretchBltMode(HDC hdc) {
  PV_DC_OR(0);
  return dc->st.stretchMode;
}
int SetPolyFillMode(HDC hdc, int mode) {
  PV_DC_OR(0);
  if (mode != ALTERNATE && mode != WINDING) return 0;
  int o = dc->st.polyFill;
  dc->st.polyFill = mode;
  return o;
}
int GetPolyFillMode(HDC hdc) {
  PV_DC_OR(0);
  return dc->st.polyFill;
}
int SetArcDirection(HDC hdc, int dir) {
  PV_DC_OR(0);
  if (dir != AD_COUNTERCLOCKWISE && dir != AD_CLOCKWISE) return 0;
  int o = dc->st.arcDir;
  dc->st.arcDir = dir;
  return o;
}
int GetArcDirection(HDC hdc) {
  PV_DC_OR(0);
  return dc->st.arcDir;
}
COLORREF GetNearestColor(HDC hdc, COLORREF c) {
  PV_DC_OR(CLR_INVALID);
  Target t;
  if (dc->GetTarget(t) && t.mono) return ToColorRef(MonoOf(ToPixel(ResolveColor(c))));
  return ResolveColor(c);
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF c) {
  PV_DC_OR(CLR_INVALID);
  COLORREF o = dc->st.dcBrush;
  dc->st.dcBrush = c;
  return o;
}
COLORREF SetDCPenColor(HDC hdc, COLORREF c) {
  PV_DC_OR(CLR_INVALID);
  COLORREF o = dc->st.dcPen;
  dc->st.dcPen = c;
  return o;
}
BOOL GdiFlush() { return TRUE; }

HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL) {
  return static_cast<HPALETTE>(SelectObject(hdc, pal));
}
UINT RealizePalette(HDC hdc) { return LookupDC(hdc) ? 0 : GDI_ERROR; }

// ---------------------------------------------------------------------------
// Clipping. The DC's clip region is kept in device coordinates.

static RECT DeviceBounds(DCObj* dc) {
  Target t;
  if (!dc->GetTarget(t)) return RECT{};
  POINT d = dc->DevOrigin();
  return RECT{-d.x, -d.y, t.w - d.x, t.h - d.y};
}

static int EffectiveComplexity(DCObj* dc) {
  Target t;
  if (!dc->GetTarget(t)) return ERROR;
  return dc->Clip(t).Complexity();
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  PV_DC_OR(ERROR);
  RegionObj* r = GetRegion(rgn);
  if (!r) {
    if (mode != RGN_COPY || rgn) return ERROR;
    dc->st.clip.reset();
  } else if (mode == RGN_COPY) {
    dc->st.clip = r->rgn;
  } else if (mode >= RGN_AND && mode <= RGN_DIFF) {
    Region cur = dc->st.clip ? *dc->st.clip : Region(DeviceBounds(dc));
    dc->st.clip = Region::Combine(cur, r->rgn, mode);
  } else {
    return ERROR;
  }
  TouchClip(dc);
  return EffectiveComplexity(dc);
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  PV_DC_OR(-1);
  RegionObj* r = GetRegion(rgn);
  if (!r) return -1;
  if (!dc->st.clip) return 0;
  r->rgn = *dc->st.clip;
  r->Touch();
  return 1;
}

static RECT LogicalToDevice(DCObj* dc, int l, int t, int r, int b) {
  int dx = dc->st.vpOrg.x - dc->st.winOrg.x, dy = dc->st.vpOrg.y - dc->st.winOrg.y;
  return RECT{std::min(l, r) + dx, std::min(t, b) + dy, std::max(l, r) + dx, std::max(t, b) + dy};
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  PV_DC_OR(ERROR);
  Region rc(LogicalToDevice(dc, left, top, right, bottom));
  dc->st.clip = dc->st.clip ? Region::Combine(*dc->st.clip, rc, RGN_AND) : rc;
  TouchClip(dc);
  return EffectiveComplexity(dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  PV_DC_OR(ERROR);
  Region rc(LogicalToDevice(dc, left, top, right, bottom));
  Region cur = dc->st.clip ? *dc->st.clip : Region(DeviceBounds(dc));
  dc->st.clip = Region::Combine(cur, rc, RGN_DIFF);
  TouchClip(dc);
  return EffectiveComplexity(dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  PV_DC_OR(ERROR);
  if (dc->st.clip) dc->st.clip->Offset(dx, dy);
  TouchClip(dc);
  return EffectiveComplexity(dc);
}

int GetClipBox(HDC hdc, RECT* rc) {
  PV_DC_OR(ERROR);
  Target t;
  if (!rc || !dc->GetTarget(t)) return ERROR;
  const Region& c = dc->Clip(t);
  RECT b = c.Box();
  POINT o = dc->Offset();
  if (!c.Empty()) {
    b.left -= o.x;
    b.right -= o.x;
    b.top -= o.y;
    b.bottom -= o.y;
  }
  *rc = b;
  return c.Complexity();
}

BOOL RectVisible(HDC hdc, const RECT* rc) {
  PV_DC_OR(FALSE);
  Target t;
  if (!rc || !dc->GetTarget(t)) return FALSE;
  POINT o = dc->Offset();
  RECT r{std::min(rc->left, rc->right) + o.x, std::min(rc->top, rc->bottom) + o.y,
         std::max(rc->left, rc->right) + o.x, std::max(rc->top, rc->bottom) + o.y};
  return dc->Clip(t).Intersects(r);
}

BOOL PtVisible(HDC hdc, int x, int y) {
  PV_DC_OR(FALSE);
  Target t;
  if (!dc->GetTarget(t)) return FALSE;
  POINT o = dc->Offset();
  return dc->Clip(t).Contains(x + o.x, y + o.y);
}

// ---------------------------------------------------------------------------
// Surfaces

void SurfaceCopyClipped(Surface* dst, int x, int y, const Surface* src, const RECT& srcRect, HRGN clip) {
  if (!dst || !src || !dst->pixels || !src->pixels) return;
  RECT s{std::max<LONG>(srcRect.left, 0), std::max<LONG>(srcRect.top, 0),
         std::min<LONG>(srcRect.right, src->width), std::min<LONG>(srcRect.bottom, src->height)};
  x += s.left - srcRect.left;
  y += s.top - srcRect.top;
  int w = s.right - s.left, h = s.bottom - s.top;
  if (x < 0) { s.left -= x; w += x; x = 0; }
  if (y < 0) { s.top -= y; h += y; y = 0; }
  w = std::min(w, dst->width - x);
  h = std::min(h, dst->height - y);
  if (w <= 0 || h <= 0) return;
  Region area(RECT{x, y, x + w, y + h});
  if (clip) {
    RegionObj* r = GetRegion(clip);
    if (r) area = Region::Combine(area, r->rgn, RGN_AND);
  }
  auto rowOf = [](const Surface* sf, int yy) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(sf->pixels) + std::ptrdiff_t(yy) * sf->stride);
  };
  const bool down = dst == src && y > s.top;  // overlapping: copy from the bottom
  const auto& bands = area.Bands();
  auto copyRow = [&](int yy, const Band& b) {
    std::uint32_t* d = rowOf(dst, yy);
    const std::uint32_t* sr = rowOf(src, yy - y + s.top);
    for (std::size_t k = 0; k < b.xs.size(); k += 2)
      std::memmove(d + b.xs[k], sr + (b.xs[k] - x + s.left), std::size_t(b.xs[k + 1] - b.xs[k]) * 4);
  };
  if (!down) {
    for (const Band& b : bands)
      for (int yy = b.y1; yy < b.y2; ++yy) copyRow(yy, b);
  } else {
    for (auto it = bands.rbegin(); it != bands.rend(); ++it)
      for (int yy = it->y2 - 1; yy >= it->y1; --yy) copyRow(yy, *it);
  }
}

void SurfaceCopy(Surface* dst, int x, int y, const Surface* src, const RECT& srcRect) {
  SurfaceCopyClipped(dst, x, y, src, srcRect, nullptr);
}

void SurfaceFill(Surface* dst, const RECT& rc, COLORREF color) {
  if (!dst || !dst->pixels) return;
  std::uint32_t px = ToPixel(ResolveColor(color));
  int l = std::max<int>(rc.left, 0), r = std::min<int>(rc.right, dst->width);
  int t = std::max<int>(rc.top, 0), b = std::min<int>(rc.bottom, dst->height);
  for (int y = t; y < b; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(dst->pixels) + std::ptrdiff_t(y) * dst->stride);
    std::fill(row + l, row + std::max(l, r), px);
  }
}

bool GetBitmapSurface(HBITMAP bmp, Surface* out) {
  BitmapObj* b = GetBitmap(bmp);
  if (!b || !out) return false;
  out->pixels = b->Top();
  out->width = b->w;
  out->height = b->h;
  out->stride = b->StridePx() * 4;
  out->origin = POINT{};
  out->visible = nullptr;
  return true;
}

bool GetDCPixels(HDC hdc, Surface* out) {
  DCObj* dc = LookupDC(hdc);
  Target t;
  if (!dc || !out || !dc->GetTarget(t)) return false;
  dc->drawn = true;  // the caller may write the pixels
  out->pixels = t.top;
  out->width = t.w;
  out->height = t.h;
  out->stride = t.stride * 4;
  out->origin = dc->DevOrigin();
  out->visible = nullptr;
  return true;
}
