// BMP and ICO/CUR codecs, metafile headers, and conversions between decoded
// images and bitmaps. Every count, size and offset is checked against the
// data before it is used.
#include "platform/gdi/pictures.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_internal.h"
#include "platform/rtl/streams.h"

using namespace pvgdi;

namespace {

[[noreturn]] void Bad(const char* what) { throw EInvalidGraphic(AnsiString("Invalid bitmap: ") + what); }

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24); }
std::int32_t I32(const std::uint8_t* p) { return std::int32_t(U32(p)); }
void Put16(TBytes& b, unsigned v) { b.push_back(std::uint8_t(v)); b.push_back(std::uint8_t(v >> 8)); }
void Put32(TBytes& b, std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i))); }

void CheckSize(std::int64_t w, std::int64_t h) {
  if (w <= 0 || h <= 0) Bad("empty or negative size");
  if (w > PV_MAX_IMAGE_SIDE || h > PV_MAX_IMAGE_SIDE || w * h > PV_MAX_IMAGE_PIXELS) Bad("image too large");
}

int MaskShift(std::uint32_t m) {
  if (!m) return 0;
  int s = 0;
  while (!(m & 1)) { m >>= 1; ++s; }
  return s;
}
int MaskBits(std::uint32_t m) {
  int n = 0;
  while (m) { n += m & 1; m >>= 1; }
  return n;
}
std::uint32_t Channel(std::uint32_t v, std::uint32_t mask) {
  if (!mask) return 0;
  std::uint32_t x = (v & mask) >> MaskShift(mask);
  int bits = MaskBits(mask);
  if (bits >= 8) return x >> (bits - 8);
  return (x * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1);
}

struct Dib {
  int w = 0, h = 0;
  bool topDown = false;
  int bpp = 0;
  std::uint32_t compression = 0;
  std::uint32_t masks[4] = {};
  std::vector<std::uint32_t> palette;
  std::size_t headerSize = 0;  // header + masks + palette
};

// Reads the info header, masks and palette at p (n bytes available).
Dib ReadDibHeader(const std::uint8_t* p, std::size_t n, bool icon) {
  Dib d;
  if (n < 12) Bad("truncated header");
  std::uint32_t hs = U32(p);
  bool core = hs == 12;
  if (!core && (hs < 40 || hs > n || hs > 1024)) Bad("unknown header");
  if (core) {
    d.w = U16(p + 4);
    d.h = U16(p + 6);
    d.bpp = U16(p + 10);
  } else {
    std::int32_t w = I32(p + 4), h = I32(p + 8);
    if (h == INT32_MIN) Bad("bad height");
    d.w = w;
    d.topDown = h < 0;
    d.h = h < 0 ? -h : h;
    d.bpp = U16(p + 14);
    d.compression = U32(p + 16);
  }
  if (icon) d.h /= 2;  // colour image followed by the AND mask
  CheckSize(d.w, d.h);
  std::size_t off = hs;
  switch (d.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Bad("unsupported bit depth");
  }
  bool rle = d.compression == BI_RLE8 || d.compression == BI_RLE4;
  if (rle && ((d.compression == BI_RLE8 && d.bpp != 8) || (d.compression == BI_RLE4 && d.bpp != 4) || d.topDown))
    Bad("bad compression");
  if (d.compression == BI_BITFIELDS) {
    if (d.bpp != 16 && d.bpp != 32) Bad("bad bit fields");
    if (hs >= 52) {
      d.masks[0] = U32(p + 40); d.masks[1] = U32(p + 44); d.masks[2] = U32(p + 48);
      if (hs >= 56) d.masks[3] = U32(p + 52);
    } else {
      if (n < off + 12) Bad("truncated masks");
      d.masks[0] = U32(p + off); d.masks[1] = U32(p + off + 4); d.masks[2] = U32(p + off + 8);
      off += 12;
    }
  } else if (d.compression != BI_RGB && !rle) {
    Bad("unsupported compression");
  } else if (d.bpp == 16) {
    d.masks[0] = 0x7C00; d.masks[1] = 0x03E0; d.masks[2] = 0x001F;
  } else if (d.bpp == 32) {
    d.masks[0] = 0xFF0000; d.masks[1] = 0xFF00; d.masks[2] = 0xFF; d.masks[3] = 0xFF000000;
  }
  if (d.bpp <= 8) {
    std::uint32_t count = core ? 0 : U32(p + 32);
    if (count == 0 || count > (1u << d.bpp)) count = 1u << d.bpp;
    std::size_t entry = core ? 3 : 4;
    if (n < off + count * entry) Bad("truncated palette");
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* q = p + off + i * entry;
      d.palette.push_back(0xFF000000u | (q[2] << 16) | (q[1] << 8) | q[0]);
    }
    d.palette.resize(1u << d.bpp, 0xFF000000u);
    off += count * entry;
  }
  d.headerSize = off;
  return d;
}

std::size_t RowBytes(int w, int bpp) { return ((std::size_t(w) * bpp + 31) / 32) * 4; }

void DecodeRle(const Dib& d, const std::uint8_t* p, std::size_t n, TRawImage& img) {
  const bool four = d.compression == BI_RLE4;
  int x = 0, y = 0;  // y counts from the bottom
  std::size_t i = 0;
  auto put = [&](int idx) {
    if (x < d.w && y < d.h) img.At(x, d.h - 1 - y) = d.palette[std::size_t(idx) & (d.palette.size() - 1)];
    ++x;
  };
  while (true) {
    if (i + 2 > n) Bad("truncated RLE data");
    std::uint8_t a = p[i], b = p[i + 1];
    i += 2;
    if (a > 0) {
      for (int k = 0; k < a; ++k) put(four ? ((k & 1) ? (b & 15) : (b >> 4)) : b);
      continue;
    }
    if (b == 0) { x = 0; ++y; if (y > d.h) Bad("RLE past the image"); continue; }
    if (b == 1) break;
    if (b == 2) {
      if (i + 2 > n) Bad("truncated RLE delta");
      x += p[i];
      y += p[i + 1];
      i += 2;
      if (y > d.h) Bad("RLE past the image");
      continue;
    }
    std::size_t bytes = four ? (b + 1) / 2 : b;
    std::size_t padded = (bytes + 1) & ~std::size_t(1);
    if (i + padded > n) Bad("truncated RLE run");
    for (int k = 0; k < b; ++k) put(four ? ((k & 1) ? (p[i + k / 2] & 15) : (p[i + k / 2] >> 4)) : p[i + k]);
    i += padded;
  }
}

void DecodePixels(const Dib& d, const std::uint8_t* p, std::size_t n, TRawImage& img) {
  img.Width = d.w;
  img.Height = d.h;
  img.SourceBitsPerPixel = d.bpp;
  img.Monochrome = d.bpp == 1;
  img.Pixels.assign(std::size_t(d.w) * d.h, d.bpp <= 8 && !d.palette.empty() ? d.palette[0] : 0xFF000000u);
  if (d.compression == BI_RLE8 || d.compression == BI_RLE4) {
    DecodeRle(d, p, n, img);
    return;
  }
  std::size_t rb = RowBytes(d.w, d.bpp);
  if (rb * std::size_t(d.h) > n) Bad("truncated pixel data");
  bool anyAlpha = false;
  for (int row = 0; row < d.h; ++row) {
    const std::uint8_t* r = p + rb * std::size_t(row);
    int y = d.topDown ? row : d.h - 1 - row;
    std::uint32_t* out = img.Pixels.data() + std::size_t(y) * d.w;
    for (int x = 0; x < d.w; ++x) {
      std::uint32_t px;
      switch (d.bpp) {
        case 1: px = d.palette[(r[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: px = d.palette[(r[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: px = d.palette[r[x]]; break;
        case 24: px = 0xFF000000u | (r[x * 3 + 2] << 16) | (r[x * 3 + 1] << 8) | r[x * 3]; break;
        default: {
          std::uint32_t v = d.bpp == 16 ? U16(r + x * 2) : U32(r + x * 4);
          std::uint32_t a = d.masks[3] ? Channel(v, d.masks[3]) : 255;
          if (d.masks[3] && a) anyAlpha = true;
          px = (a << 24) | (Channel(v, d.masks[0]) << 16) | (Channel(v, d.masks[1]) << 8) | Channel(v, d.masks[2]);
        }
      }
      out[x] = px;
    }
  }
  if (d.bpp == 32 && d.masks[3]) {
    if (!anyAlpha) {
      // An all-zero alpha channel carries no information: the image is opaque.
      for (auto& px : img.Pixels) px |= 0xFF000000u;
    } else {
      img.HasAlpha = true;
    }
  }
}

}  // namespace

TRawImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
  if (!data) Bad("no data");
  const std::uint8_t* p = data;
  std::size_t n = size;
  std::size_t pixelOffset = 0;
  bool fileHeader = n >= 2 && p[0] == 'B' && p[1] == 'M';
  if (fileHeader) {
    if (n < 14 + 12) Bad("truncated file header");
    pixelOffset = U32(p + 10);
    p += 14;
    n -= 14;
  }
  Dib d = ReadDibHeader(p, n, false);
  std::size_t off = d.headerSize;
  if (fileHeader && pixelOffset >= 14 + d.headerSize) off = pixelOffset - 14;
  if (off > n) Bad("pixel data outside the file");
  TRawImage img;
  DecodePixels(d, p + off, n - off, img);
  return img;
}

TBytes EncodeBmp(const TRawImage& img, int bpp) {
  if (bpp != 24 && bpp != 32) throw EInvalidGraphicOperation("BMP can be written with 24 or 32 bits");
  if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != std::size_t(img.Width) * img.Height)
    throw EInvalidGraphicOperation("Cannot write an empty image");
  std::size_t rb = RowBytes(img.Width, bpp);
  std::size_t pixels = rb * std::size_t(img.Height);
  TBytes b;
  b.reserve(54 + pixels);
  b.push_back('B');
  b.push_back('M');
  Put32(b, std::uint32_t(54 + pixels));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, std::uint32_t(img.Width));
  Put32(b, std::uint32_t(img.Height));
  Put16(b, 1);
  Put16(b, unsigned(bpp));
  Put32(b, BI_RGB);
  Put32(b, std::uint32_t(pixels));
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = img.Height - 1; y >= 0; --y) {
    std::size_t start = b.size();
    for (int x = 0; x < img.Width; ++x) {
      std::uint32_t p = img.At(x, y);
      b.push_back(std::uint8_t(p));
      b.push_back(std::uint8_t(p >> 8));
      b.push_back(std::uint8_t(p >> 16));
      if (bpp == 32) b.push_back(std::uint8_t(p >> 24));
    }
    while (b.size() - start < rb) b.push_back(0);
  }
  return b;
}

// ---------------------------------------------------------------------------
// ICO / CUR

TIconFile DecodeIco(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 6) throw EInvalidGraphic("Invalid icon: truncated header");
  if (U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2)) throw EInvalidGraphic("Invalid icon: bad header");
  TIconFile f;
  f.Cursor = U16(data + 2) == 2;
  unsigned count = U16(data + 4);
  if (count == 0) throw EInvalidGraphic("Invalid icon: no images");
  if (6 + std::size_t(count) * 16 > size) throw EInvalidGraphic("Invalid icon: truncated directory");
  for (unsigned i = 0; i < count; ++i) {
    const std::uint8_t* e = data + 6 + i * 16;
    std::uint32_t bytes = U32(e + 8), offset = U32(e + 12);
    if (offset > size || bytes > size - offset || bytes < 8) throw EInvalidGraphic("Invalid icon: image outside the file");
    const std::uint8_t* p = data + offset;
    TIconImage ii;
    if (f.Cursor) ii.Hotspot = POINT{U16(e + 4), U16(e + 6)};
    if (p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G') {
      ii.Image = DecodePng(p, bytes);
      ii.Mask.assign(ii.Image.Pixels.size(), 0);
      for (std::size_t k = 0; k < ii.Mask.size(); ++k) ii.Mask[k] = (ii.Image.Pixels[k] >> 24) == 0;
    } else {
      Dib d = ReadDibHeader(p, bytes, true);
      if (d.compression != BI_RGB && d.compression != BI_BITFIELDS) throw EInvalidGraphic("Invalid icon: compressed image");
      std::size_t xorBytes = RowBytes(d.w, d.bpp) * std::size_t(d.h);
      std::size_t andRow = RowBytes(d.w, 1);
      if (d.headerSize + xorBytes > bytes) throw EInvalidGraphic("Invalid icon: truncated image");
      d.masks[3] = d.bpp == 32 ? 0xFF000000u : 0;
      DecodePixels(d, p + d.headerSize, bytes - d.headerSize, ii.Image);
      ii.Mask.assign(std::size_t(d.w) * d.h, 0);
      const std::uint8_t* andp = p + d.headerSize + xorBytes;
      bool haveMask = d.headerSize + xorBytes + andRow * std::size_t(d.h) <= bytes;
      for (int row = 0; row < d.h && haveMask; ++row) {
        int y = d.h - 1 - row;
        for (int x = 0; x < d.w; ++x)
          ii.Mask[std::size_t(y) * d.w + x] = (andp[andRow * std::size_t(row) + (x >> 3)] >> (7 - (x & 7))) & 1;
      }
      if (!ii.Image.HasAlpha) {
        for (std::size_t k = 0; k < ii.Mask.size(); ++k)
          ii.Image.Pixels[k] = ii.Mask[k] ? (ii.Image.Pixels[k] & 0xFFFFFF) : (ii.Image.Pixels[k] | 0xFF000000u);
        ii.Image.HasAlpha = true;
      } else {
        for (std::size_t k = 0; k < ii.Mask.size(); ++k)
          if ((ii.Image.Pixels[k] >> 24) == 0) ii.Mask[k] = 1;
      }
    }
    f.Images.push_back(std::move(ii));
  }
  return f;
}

TBytes EncodeIco(const std::vector<TIconImage>& images) {
  if (images.empty() || images.size() > 0xFFFF) throw EInvalidGraphicOperation("Cannot write an icon without images");
  TBytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, unsigned(images.size()));
  std::vector<TBytes> bodies;
  for (const TIconImage& ii : images) {
    const TRawImage& im = ii.Image;
    if (im.Width <= 0 || im.Height <= 0 || im.Width > 256 || im.Height > 256 ||
        im.Pixels.size() != std::size_t(im.Width) * im.Height)
      throw EInvalidGraphicOperation("Icon images are 1..256 pixels square");
    TBytes body;
    Put32(body, 40);
    Put32(body, std::uint32_t(im.Width));
    Put32(body, std::uint32_t(im.Height * 2));
    Put16(body, 1);
    Put16(body, 32);
    for (int k = 0; k < 6; ++k) Put32(body, 0);
    for (int y = im.Height - 1; y >= 0; --y)
      for (int x = 0; x < im.Width; ++x) Put32(body, im.At(x, y));
    std::size_t andRow = RowBytes(im.Width, 1);
    for (int y = im.Height - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(andRow, 0);
      for (int x = 0; x < im.Width; ++x) {
        std::size_t k = std::size_t(y) * im.Width + x;
        bool hole = ii.Mask.size() == im.Pixels.size() ? ii.Mask[k] != 0 : (im.Pixels[k] >> 24) == 0;
        if (hole) row[std::size_t(x >> 3)] |= std::uint8_t(0x80 >> (x & 7));
      }
      body.insert(body.end(), row.begin(), row.end());
    }
    bodies.push_back(std::move(body));
  }
  std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const TRawImage& im = images[i].Image;
    b.push_back(std::uint8_t(im.Width == 256 ? 0 : im.Width));
    b.push_back(std::uint8_t(im.Height == 256 ? 0 : im.Height));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, std::uint32_t(bodies[i].size()));
    Put32(b, offset);
    offset += std::uint32_t(bodies[i].size());
  }
  for (const TBytes& body : bodies) b.insert(b.end(), body.begin(), body.end());
  return b;
}

HICON CreateIconFromImage(const TIconImage& ii, bool cursor) {
  const TRawImage& im = ii.Image;
  if (im.Width <= 0 || im.Height <= 0 || im.Pixels.size() != std::size_t(im.Width) * im.Height) return nullptr;
  HBITMAP col = CreateBitmapFromImage(im);
  HBITMAP msk = CreateBitmap(im.Width, im.Height, 1, 1, nullptr);
  BitmapObj* m = GetBitmap(msk);
  for (int y = 0; y < im.Height; ++y)
    for (int x = 0; x < im.Width; ++x) {
      std::size_t k = std::size_t(y) * im.Width + x;
      bool hole = ii.Mask.size() == im.Pixels.size() ? ii.Mask[k] != 0 : (im.Pixels[k] >> 24) == 0;
      m->Row(y)[x] = hole ? 0xFFFFFFFFu : 0xFF000000u;
      // Under the mask the colour is XORed onto the screen: black leaves it unchanged.
      if (hole && !im.HasAlpha) GetBitmap(col)->Row(y)[x] = 0xFF000000u;
    }
  ICONINFO info;
  info.fIcon = !cursor;
  info.xHotspot = DWORD(ii.Hotspot.x);
  info.yHotspot = DWORD(ii.Hotspot.y);
  info.hbmColor = col;
  info.hbmMask = msk;
  HICON h = CreateIconIndirect(&info);
  DeleteObject(col);
  DeleteObject(msk);
  return h;
}

// ---------------------------------------------------------------------------
// Metafiles

TMetafileInfo ReadMetafileHeader(const std::uint8_t* data, std::size_t size) {
  TMetafileInfo info;
  if (!data) throw EInvalidGraphic("Invalid metafile: no data");
  if (size >= 22 && U32(data) == 0x9AC6CDD7u) {
    // Placeable: bounding box in units of `inch` per inch.
    info.Placeable = true;
    int l = std::int16_t(U16(data + 6)), t = std::int16_t(U16(data + 8));
    int r = std::int16_t(U16(data + 10)), b = std::int16_t(U16(data + 12));
    int inch = U16(data + 14);
    if (inch == 0) throw EInvalidGraphic("Invalid metafile: zero units per inch");
    info.Width = std::abs(r - l) * 96 / inch;
    info.Height = std::abs(b - t) * 96 / inch;
    info.MMWidth = std::abs(r - l) * 2540 / inch;
    info.MMHeight = std::abs(b - t) * 2540 / inch;
    return info;
  }
  if (size >= 88 && U32(data) == 1 && U32(data + 40) == 0x464D4520u) {
    info.Enhanced = true;
    // rclFrame in 0.01 mm
    int l = I32(data + 24), t = I32(data + 28), r = I32(data + 32), b = I32(data + 36);
    info.MMWidth = std::abs(r - l);
    info.MMHeight = std::abs(b - t);
    info.Width = int(std::int64_t(info.MMWidth) * 96 / 2540);
    info.Height = int(std::int64_t(info.MMHeight) * 96 / 2540);
    return info;
  }
  if (size >= 18 && (U16(data) == 1 || U16(data) == 2) && U16(data + 2) == 9) return info;  // plain WMF: no size
  throw EInvalidGraphic("Invalid metafile");
}

void DrawMetafileFrame(HDC hdc, const RECT& rc) {
  FrameRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// ---------------------------------------------------------------------------
// Conversions

HBITMAP CreateBitmapFromImage(const TRawImage& img) {
  if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != std::size_t(img.Width) * img.Height) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = img.Width;
  bi.bmiHeader.biHeight = -img.Height;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h) return nullptr;
  std::memcpy(bits, img.Pixels.data(), img.Pixels.size() * 4);
  if (!img.HasAlpha)
    for (std::size_t i = 0; i < img.Pixels.size(); ++i) static_cast<std::uint32_t*>(bits)[i] |= 0xFF000000u;
  return h;
}

TRawImage GetBitmapImage(HBITMAP bmp) {
  TRawImage img;
  BitmapObj* b = GetBitmap(bmp);
  if (!b) throw EInvalidGraphicOperation("Invalid bitmap handle");
  img.Width = b->w;
  img.Height = b->h;
  img.Monochrome = b->mono;
  img.SourceBitsPerPixel = b->mono ? 1 : 32;
  img.Pixels.resize(std::size_t(b->w) * b->h);
  for (int y = 0; y < b->h; ++y) std::memcpy(img.Pixels.data() + std::size_t(y) * b->w, b->Row(y), std::size_t(b->w) * 4);
  return img;
}

void PremultiplyAlpha(TRawImage& img) {
  for (auto& p : img.Pixels) {
    unsigned a = p >> 24;
    auto ch = [&](int sh) { return ((((p >> sh) & 0xFF) * a + 127) / 255) << sh; };
    p = (a << 24) | ch(16) | ch(8) | ch(0);
  }
}

TPictureFormat DetectPictureFormat(const std::uint8_t* d, std::size_t n) {
  if (!d || n < 4) return TPictureFormat::Unknown;
  if (d[0] == 'B' && d[1] == 'M') return TPictureFormat::Bmp;
  if (d[0] == 0xFF && d[1] == 0xD8) return TPictureFormat::Jpeg;
  if (d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') return TPictureFormat::Png;
  if (n >= 6 && U16(d) == 0 && U16(d + 2) == 1) return TPictureFormat::Ico;
  if (n >= 6 && U16(d) == 0 && U16(d + 2) == 2) return TPictureFormat::Cur;
  if (U32(d) == 0x9AC6CDD7u) return TPictureFormat::Wmf;
  if (n >= 44 && U32(d) == 1 && U32(d + 40) == 0x464D4520u) return TPictureFormat::Emf;
  return TPictureFormat::Unknown;
}

TBytes ReadPictureBytes(TStream* stream, std::int64_t count) {
  if (!stream) throw EInvalidGraphicOperation("No stream");
  if (count < 0) count = stream->Remaining();
  if (count > std::int64_t(PV_MAX_IMAGE_PIXELS) * 8) throw EInvalidGraphic("Picture data too large");
  AnsiString s = ReadStreamBytes(stream, count);
  return TBytes(s.begin(), s.end());
}

void WritePictureBytes(TStream* stream, const TBytes& bytes) {
  if (!stream) throw EInvalidGraphicOperation("No stream");
  if (bytes.size() > 0x7FFFFFFFu) throw EInvalidGraphicOperation("Picture data too large");
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), LongInt(bytes.size()));
}
