// The handle table, stock objects, pens, brushes, palettes and system colours.
#include <cstring>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"

namespace pvgdi {

namespace {
struct Table {
  std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObj>> objs;
  std::uintptr_t next = 0x10000;
};
Table& T() {
  static Table* t = new Table;  // never destroyed: handles may be freed at exit
  return *t;
}
std::uint64_t g_regionSerial = 1;
}  // namespace

void RegionObj::Touch() { serial = ++g_regionSerial; }

std::uintptr_t Register(std::unique_ptr<GdiObj> obj) {
  Table& t = T();
  std::uintptr_t id = t.next;
  t.next += 4;
  obj->id = id;
  if (obj->type == OBJ_REGION) static_cast<RegionObj*>(obj.get())->Touch();
  t.objs.emplace(id, std::move(obj));
  return id;
}

GdiObj* Lookup(const void* h) {
  if (!h) return nullptr;
  Table& t = T();
  auto it = t.objs.find(reinterpret_cast<std::uintptr_t>(h));
  return it == t.objs.end() ? nullptr : it->second.get();
}

void DestroyObject(GdiObj* o) { T().objs.erase(o->id); }

void AddRef(HGDIOBJ h) {
  if (GdiObj* o = Lookup(h)) ++o->refs;
}

void Release(HGDIOBJ h) {
  GdiObj* o = Lookup(h);
  if (!o) return;
  if (o->refs > 0) --o->refs;
  if (o->refs == 0 && o->pendingDelete && !o->stock) DestroyObject(o);
}

BitmapObj* NewBitmap(int w, int h, bool mono, std::uintptr_t* id) {
  if (w < 0 || h < 0 || std::int64_t(w) * h > PV_MAX_BITMAP_PIXELS) return nullptr;
  auto b = std::make_unique<BitmapObj>();
  b->type = OBJ_BITMAP;
  b->w = w;
  b->h = h;
  b->mono = mono;
  b->store.assign(std::size_t(w) * h + 1, mono ? 0xFF000000u : 0xFF000000u);
  b->bits = b->store.data();
  BitmapObj* raw = b.get();
  std::uintptr_t i = Register(std::move(b));
  if (id) *id = i;
  return raw;
}

// ---------------------------------------------------------------------------
// System colours: the classic scheme.
namespace {
COLORREF g_sys[PV_SYSCOLOR_COUNT] = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240),
    RGB(192, 192, 192), RGB(10, 36, 106),   RGB(212, 208, 200)};
HBRUSH g_sysBrush[PV_SYSCOLOR_COUNT] = {};
HGDIOBJ g_stock[20] = {};

HGDIOBJ MakeStockBrush(UINT style, COLORREF c, bool dc = false) {
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = style;
  b->color = c;
  b->stock = true;
  b->dcBrush = dc;
  return ToHandle<HGDIOBJ>(Register(std::move(b)));
}
HGDIOBJ MakeStockPen(UINT style, COLORREF c, bool dc = false) {
  auto p = std::make_unique<PenObj>();
  p->type = OBJ_PEN;
  p->style = style;
  p->color = c;
  p->stock = true;
  p->dcPen = dc;
  return ToHandle<HGDIOBJ>(Register(std::move(p)));
}
HGDIOBJ MakeStockFont(const char* face, int height) {
  auto f = std::make_unique<FontObj>();
  f->type = OBJ_FONT;
  f->stock = true;
  f->lf.lfHeight = height;
  f->lf.lfWeight = FW_NORMAL;
  f->lf.lfCharSet = GB2312_CHARSET;
  std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
  return ToHandle<HGDIOBJ>(Register(std::move(f)));
}

void InitStock() {
  if (g_stock[0]) return;
  g_stock[WHITE_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
  g_stock[LTGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
  g_stock[GRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
  g_stock[DKGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
  g_stock[BLACK_BRUSH] = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
  g_stock[NULL_BRUSH] = MakeStockBrush(BS_NULL, 0);
  g_stock[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
  g_stock[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
  g_stock[NULL_PEN] = MakeStockPen(PS_NULL, 0);
  const char* song = "\xCB\xCE\xCC\xE5";  // 宋体
  g_stock[OEM_FIXED_FONT] = MakeStockFont("Fixedsys", -12);
  g_stock[ANSI_FIXED_FONT] = MakeStockFont("Courier New", -12);
  g_stock[ANSI_VAR_FONT] = MakeStockFont("MS Sans Serif", -12);
  g_stock[SYSTEM_FONT] = MakeStockFont(song, -12);
  g_stock[DEVICE_DEFAULT_FONT] = MakeStockFont(song, -12);
  g_stock[SYSTEM_FIXED_FONT] = MakeStockFont("Fixedsys", -12);
  g_stock[DEFAULT_GUI_FONT] = MakeStockFont(song, -12);
  {
    auto p = std::make_unique<PaletteObj>();
    p->type = OBJ_PAL;
    p->stock = true;
    g_stock[DEFAULT_PALETTE] = ToHandle<HGDIOBJ>(Register(std::move(p)));
  }
  g_stock[DC_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255), true);
  g_stock[DC_PEN] = MakeStockPen(PS_SOLID, 0, true);
}
}  // namespace

std::uint32_t SysPixel(int index) {
  return ToPixel(index >= 0 && index < PV_SYSCOLOR_COUNT ? g_sys[index] : 0);
}

}  // namespace pvgdi

using namespace pvgdi;

COLORREF ResolveColor(COLORREF c) {
  if ((c & 0xFF000000u) == 0xFF000000u) {
    unsigned i = c & 0xFFFFFF;
    return i < unsigned(PV_SYSCOLOR_COUNT) ? g_sys[i] : 0;
  }
  return c & 0xFFFFFF;
}

DWORD GetSysColor(int index) {
  return index >= 0 && index < PV_SYSCOLOR_COUNT ? g_sys[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= PV_SYSCOLOR_COUNT) return nullptr;
  if (!g_sysBrush[index]) {
    auto b = std::make_unique<BrushObj>();
    b->type = OBJ_BRUSH;
    b->style = BS_SOLID;
    b->color = g_sys[index];
    b->stock = true;
    b->sysIndex = index;
    g_sysBrush[index] = ToHandle<HBRUSH>(Register(std::move(b)));
  }
  return g_sysBrush[index];
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors) {
  if (count < 0 || (count && (!indexes || !colors))) return FALSE;
  for (int i = 0; i < count; ++i) {
    int k = indexes[i];
    if (k < 0 || k >= PV_SYSCOLOR_COUNT) continue;
    g_sys[k] = colors[i] & 0xFFFFFF;
    if (BrushObj* b = GetBrush(g_sysBrush[k])) b->color = g_sys[k];
  }
  if (count > 0 && PvSysColorsChangedHook) PvSysColorsChangedHook();
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  InitStock();
  if (index < 0 || index >= 20) return nullptr;
  return g_stock[index];
}

static HPEN NewPen(UINT style, int width, COLORREF color, bool ext) {
  UINT kind = style & PS_STYLE_MASK;
  if (kind > PS_ALTERNATE) return nullptr;
  auto p = std::make_unique<PenObj>();
  p->type = ext ? OBJ_EXTPEN : OBJ_PEN;
  p->style = style;
  p->width = width < 1 ? 1 : width;
  p->color = color;
  p->ext = ext;
  return ToHandle<HPEN>(Register(std::move(p)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  return NewPen(UINT(style) & PS_STYLE_MASK, width, color, false);
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) return nullptr;
  return CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount,
                  const DWORD* styles) {
  if (!lb) return nullptr;
  UINT kind = style & PS_STYLE_MASK;
  if ((style & PS_TYPE_MASK) == PS_COSMETIC && width != 1) return nullptr;
  if (kind == PS_ALTERNATE && (style & PS_TYPE_MASK) != PS_COSMETIC) return nullptr;
  if (kind == PS_USERSTYLE && (styleCount == 0 || styleCount > 16 || !styles)) return nullptr;
  if (width > 10000) return nullptr;
  HPEN h = NewPen(style, int(width), lb->lbStyle == BS_NULL ? 0 : lb->lbColor, true);
  PenObj* p = GetPen(h);
  if (p && lb->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
  if (p && kind == PS_USERSTYLE) p->user.assign(styles, styles + styleCount);
  return h;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = BS_SOLID;
  b->color = color;
  return ToHandle<HBRUSH>(Register(std::move(b)));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = BS_HATCHED;
  b->color = color;
  b->hatch = hatch;
  return ToHandle<HBRUSH>(Register(std::move(b)));
}

HBRUSH CreatePatternBrush(HBITMAP bmp) {
  BitmapObj* src = GetBitmap(bmp);
  if (!src || src->w == 0 || src->h == 0) return nullptr;
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = BS_PATTERN;
  b->monoPattern = src->mono;
  // Smaller bitmaps repeat to fill the 8x8 cell.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b->pattern[y * 8 + x] = src->Row(y % src->h)[x % src->w];
  return ToHandle<HBRUSH>(Register(std::move(b)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    case BS_NULL: {
      auto b = std::make_unique<BrushObj>();
      b->type = OBJ_BRUSH;
      b->style = BS_NULL;
      return ToHandle<HBRUSH>(Register(std::move(b)));
    }
    default: return nullptr;
  }
}

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > 1024) return nullptr;
  auto p = std::make_unique<PaletteObj>();
  p->type = OBJ_PAL;
  p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  return ToHandle<HPALETTE>(Register(std::move(p)));
}

BOOL DeleteObject(HGDIOBJ h) {
  GdiObj* o = Lookup(h);
  if (!o || o->stock) return FALSE;
  if (o->refs > 0) {
    // Still selected somewhere: freed when the last DC lets go of it.
    o->pendingDelete = true;
    return TRUE;
  }
  DestroyObject(o);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
  GdiObj* o = Lookup(h);
  return o ? o->type : 0;
}

int GetObjectA(HGDIOBJ h, int size, void* out) {
  GdiObj* o = Lookup(h);
  if (!o) return 0;
  switch (o->type) {
    case OBJ_PEN: {
      auto* p = static_cast<PenObj*>(o);
      if (!out) return sizeof(LOGPEN);
      if (size < int(sizeof(LOGPEN))) return 0;
      LOGPEN lp;
      lp.lopnStyle = p->style;
      lp.lopnWidth.x = p->width;
      lp.lopnColor = p->color;
      std::memcpy(out, &lp, sizeof lp);
      return sizeof(LOGPEN);
    }
    case OBJ_EXTPEN: {
      auto* p = static_cast<PenObj*>(o);
      if (!out) return sizeof(EXTLOGPEN);
      if (size < int(sizeof(EXTLOGPEN))) return 0;
      EXTLOGPEN ep;
      ep.elpPenStyle = p->style;
      ep.elpWidth = DWORD(p->width);
      ep.elpBrushStyle = (p->style & PS_STYLE_MASK) == PS_NULL ? BS_NULL : BS_SOLID;
      ep.elpColor = p->color;
      ep.elpNumEntries = DWORD(p->user.size());
      std::memcpy(out, &ep, sizeof ep);
      return sizeof(EXTLOGPEN);
    }
    case OBJ_BRUSH: {
      auto* b = static_cast<BrushObj*>(o);
      if (!out) return sizeof(LOGBRUSH);
      if (size < int(sizeof(LOGBRUSH))) return 0;
      LOGBRUSH lb;
      lb.lbStyle = b->style;
      lb.lbColor = b->color;
      lb.lbHatch = std::uintptr_t(b->hatch);
      std::memcpy(out, &lb, sizeof lb);
      return sizeof(LOGBRUSH);
    }
    case OBJ_FONT: {
      auto* f = static_cast<FontObj*>(o);
      if (!out) return sizeof(LOGFONTA);
      int n = size < int(sizeof(LOGFONTA)) ? size : int(sizeof(LOGFONTA));
      if (n <= 0) return 0;
      std::memcpy(out, &f->lf, std::size_t(n));
      return n;
    }
    case OBJ_BITMAP: {
      auto* b = static_cast<BitmapObj*>(o);
      BITMAP bm;
      bm.bmType = 0;
      bm.bmWidth = b->w;
      bm.bmHeight = b->h;
      bm.bmBitsPixel = b->mono ? 1 : 32;
      bm.bmWidthBytes = b->mono ? ((b->w + 15) / 16) * 2 : b->w * 4;
      bm.bmPlanes = 1;
      bm.bmBits = b->dib ? b->bits : nullptr;
      if (!out) return sizeof(BITMAP);
      if (b->dib && size >= int(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biWidth = b->w;
        ds.dsBmih.biHeight = b->bottomUp ? b->h : -b->h;
        ds.dsBmih.biBitCount = 32;
        ds.dsBmih.biSizeImage = DWORD(b->w) * DWORD(b->h) * 4;
        std::memcpy(out, &ds, sizeof ds);
        return sizeof(DIBSECTION);
      }
      if (size < int(sizeof(BITMAP))) return 0;
      std::memcpy(out, &bm, sizeof bm);
      return sizeof(BITMAP);
    }
    case OBJ_PAL: {
      auto* p = static_cast<PaletteObj*>(o);
      if (!out || size < 2) return 0;
      WORD n = WORD(p->entries.size());
      std::memcpy(out, &n, 2);
      return 2;
    }
    default: return 0;
  }
}
