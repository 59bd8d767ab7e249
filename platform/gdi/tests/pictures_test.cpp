// Picture files: round trips, hand-made BMP variants, damaged and oversized input.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "canvas.h"
#include "platform/gdi/pictures.h"

namespace {

TRawImage Sample(int w, int h, bool alpha) {
  TRawImage img;
  img.Width = w;
  img.Height = h;
  img.HasAlpha = alpha;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t a = alpha ? std::uint32_t((x * 40 + y * 7) & 0xFF) : 0xFFu;
      img.Pixels.push_back((a << 24) | (std::uint32_t(x * 37) & 0xFF) << 16 | (std::uint32_t(y * 59) & 0xFF) << 8 |
                           std::uint32_t((x + y) * 13 & 0xFF));
    }
  return img;
}

void Put16(TBytes& b, unsigned v) { b.push_back(std::uint8_t(v)); b.push_back(std::uint8_t(v >> 8)); }
void Put32(TBytes& b, std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i))); }

// A BMP file with a 40-byte header, a palette and the given pixel bytes.
TBytes MakeBmp(int w, int h, int bpp, std::uint32_t compression, const std::vector<std::uint32_t>& palette,
               const TBytes& pixels) {
  TBytes b;
  std::uint32_t off = std::uint32_t(14 + 40 + palette.size() * 4);
  b.push_back('B');
  b.push_back('M');
  Put32(b, std::uint32_t(off + pixels.size()));
  Put32(b, 0);
  Put32(b, off);
  Put32(b, 40);
  Put32(b, std::uint32_t(w));
  Put32(b, std::uint32_t(h));
  Put16(b, 1);
  Put16(b, unsigned(bpp));
  Put32(b, compression);
  Put32(b, std::uint32_t(pixels.size()));
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, std::uint32_t(palette.size()));
  Put32(b, 0);
  for (std::uint32_t c : palette) Put32(b, c);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

void ExpectSamePixels(const TRawImage& a, const TRawImage& b, std::uint32_t mask = 0xFFFFFFFFu) {
  ASSERT_EQ(a.Width, b.Width);
  ASSERT_EQ(a.Height, b.Height);
  for (std::size_t i = 0; i < a.Pixels.size(); ++i)
    ASSERT_EQ(a.Pixels[i] & mask, b.Pixels[i] & mask) << "pixel " << i;
}

// Every shorter prefix of a valid file must raise, never crash.
template <class Decode>
void ExpectPrefixesRaise(const TBytes& file, Decode decode, std::size_t step = 1) {
  for (std::size_t n = 0; n < file.size(); n += step) {
    bool raised = false;
    try {
      decode(file.data(), n);
    } catch (const EInvalidGraphic&) {
      raised = true;
    }
    ASSERT_TRUE(raised) << "prefix of " << n << " of " << file.size() << " bytes was accepted";
  }
}

TEST(Bmp, RoundTrips) {
  for (int bpp : {24, 32}) {
    TRawImage img = Sample(5, 3, bpp == 32);  // odd width: rows are padded
    TBytes file = EncodeBmp(img, bpp);
    EXPECT_EQ(file.size(), 54u + (bpp == 24 ? 16u : 20u) * 3);
    TRawImage back = DecodeBmp(file.data(), file.size());
    ExpectSamePixels(img, back, bpp == 24 ? 0xFFFFFFu : 0xFFFFFFFFu);
    EXPECT_EQ(back.HasAlpha, bpp == 32);
  }
  EXPECT_THROW(EncodeBmp(Sample(2, 2, false), 8), EInvalidGraphicOperation);
}

TEST(Bmp, PaletteAndCompressedVariants) {
  const std::vector<std::uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::uint32_t P0 = 0xFF000000, P1 = 0xFFFF0000, P2 = 0xFF00FF00, P3 = 0xFF0000FF;
  struct Case {
    const char* name;
    int w, h, bpp;
    std::uint32_t compression;
    TBytes pixels;
    std::vector<std::uint32_t> expect;  // top-down
  } cases[] = {
      // 1 bit, bottom row first: bottom 1,0,1  top 0,1,0
      {"1-bit", 3, 2, 1, BI_RGB, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, {P0, P1, P0, P1, P0, P1}},
      {"4-bit", 3, 1, 4, BI_RGB, {0x12, 0x30, 0, 0}, {P1, P2, P3}},
      {"8-bit", 2, 1, 8, BI_RGB, {3, 2, 0, 0}, {P3, P2}},
      // RLE8: bottom row a run of four 1s; top row literal 2,1,2 then a run of one 0
      {"RLE8", 4, 2, 8, BI_RLE8, {4, 1, 0, 0, 0, 3, 2, 1, 2, 0, 1, 0, 0, 0, 0, 1}, {P2, P1, P2, P0, P1, P1, P1, P1}},
      // RLE4: run of four alternating 1,2; then a delta skips the rest
      {"RLE4", 4, 1, 4, BI_RLE4, {4, 0x12, 0, 1}, {P1, P2, P1, P2}},
      {"16-bit 555", 2, 1, 16, BI_RGB, {0x00, 0x7C, 0x1F, 0x00}, {0xFFFF0000, 0xFF0000FF}},
  };
  for (const Case& k : cases) {
    TBytes file = MakeBmp(k.w, k.h, k.bpp, k.compression, k.bpp <= 8 ? pal : std::vector<std::uint32_t>{}, k.pixels);
    TRawImage img = DecodeBmp(file.data(), file.size());
    EXPECT_EQ(img.Pixels, k.expect) << k.name;
    EXPECT_EQ(img.SourceBitsPerPixel, k.bpp) << k.name;
  }
  // A bare DIB (no file header), as found in resources and on the clipboard.
  TBytes file = MakeBmp(2, 1, 8, BI_RGB, pal, {3, 2, 0, 0});
  TRawImage img = DecodeBmp(file.data() + 14, file.size() - 14);
  EXPECT_EQ(img.Pixels, (std::vector<std::uint32_t>{P3, P2}));
}

TEST(Bmp, DamagedAndOversizedInputRaises) {
  TBytes good = EncodeBmp(Sample(5, 3, false), 24);
  ExpectPrefixesRaise(good, DecodeBmp);
  TBytes rle = MakeBmp(4, 2, 8, BI_RLE8, {0, 0xFF0000}, {4, 1, 0, 0, 4, 1, 0, 1});
  ExpectPrefixesRaise(rle, DecodeBmp);
  auto corrupt = [](TBytes b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  const TBytes bad[] = {
      corrupt(good, 18, 100000),                            // width beyond the cap
      corrupt(corrupt(good, 18, 30000), 22, 30000),         // too many pixels
      corrupt(good, 22, 0x80000000u),                       // height INT_MIN
      corrupt(good, 18, 0),                                 // zero width
      corrupt(good, 10, 0x7FFFFFF0u),                       // pixel offset past the end
      corrupt(good, 28, 7),                                 // bit depth 7
      corrupt(good, 30, 9),                                 // unknown compression
      corrupt(rle, 22, 0xFFFFFFFEu),                        // RLE with a top-down height
  };
  for (const TBytes& b : bad) EXPECT_THROW(DecodeBmp(b.data(), b.size()), EInvalidGraphic);
  // An RLE stream that runs past the last row.
  TBytes past = MakeBmp(2, 1, 8, BI_RLE8, {0}, {0, 0, 0, 0, 0, 0, 0, 1});
  EXPECT_THROW(DecodeBmp(past.data(), past.size()), EInvalidGraphic);
  EXPECT_THROW(DecodeBmp(nullptr, 0), EInvalidGraphic);
}

TEST(Ico, RoundTripAndDrawing) {
  TIconImage a, b;
  a.Image = Sample(16, 16, true);
  b.Image = Sample(32, 32, false);
  b.Mask.assign(32 * 32, 0);
  b.Mask[0] = 1;
  TBytes file = EncodeIco({a, b});
  TIconFile f = DecodeIco(file.data(), file.size());
  ASSERT_EQ(f.Images.size(), 2u);
  EXPECT_FALSE(f.Cursor);
  ExpectSamePixels(a.Image, f.Images[0].Image);
  EXPECT_EQ(f.Images[1].Image.Width, 32);
  EXPECT_EQ(f.Images[1].Mask[0], 1);
  EXPECT_EQ(f.Images[1].Mask[1], 0);
  ExpectPrefixesRaise(file, DecodeIco, 7);
  // The same file as a cursor: type 2, with the hotspot in the directory.
  TBytes cur = file;
  cur[2] = 2;
  cur[6 + 4] = 3;  // hotspot x of the first image
  cur[6 + 6] = 5;  // hotspot y
  TIconFile cf = DecodeIco(cur.data(), cur.size());
  EXPECT_TRUE(cf.Cursor);
  EXPECT_EQ(cf.Images[0].Hotspot.x, 3);
  EXPECT_EQ(cf.Images[0].Hotspot.y, 5);

  // An icon handle draws through its mask: transparent pixels stay.
  TIconImage m;
  m.Image.Width = m.Image.Height = 2;
  m.Image.Pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  m.Mask = {0, 1, 0, 0};
  HICON icon = CreateIconFromImage(m, false);
  ASSERT_NE(icon, nullptr);
  Canvas c(2, 2, RGB(9, 9, 9));
  ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 0), RGB(9, 9, 9));
  EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST(Jpeg, RoundTripAndOptions) {
  // Flat 16x16 blocks (whole coding units) survive compression nearly unchanged.
  TRawImage img;
  img.Width = img.Height = 32;
  const std::uint32_t blocks[4] = {0xFFC03020u, 0xFF2060A0u, 0xFFF0F0F0u, 0xFF101010u};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) img.Pixels.push_back(blocks[(y / 16) * 2 + x / 16]);
  TBytes file = EncodeJpeg(img, 95);
  int w = 0, h = 0;
  ASSERT_TRUE(ReadJpegSize(file.data(), file.size(), &w, &h));
  EXPECT_EQ(w, 32);
  TRawImage back = DecodeJpeg(file.data(), file.size());
  ASSERT_EQ(back.Width, 32);
  for (int i = 0; i < 32 * 32; ++i)
    for (int sh : {0, 8, 16}) {
      int x = i % 32, y = i / 32;
      if (std::abs(x % 16 - 8) > 5 || std::abs(y % 16 - 8) > 5) continue;  // chroma is smoothed across block edges
      int d = int((back.Pixels[std::size_t(i)] >> sh) & 0xFF) - int((img.Pixels[std::size_t(i)] >> sh) & 0xFF);
      ASSERT_LE(std::abs(d), 4) << "pixel " << i;  // lossy by nature; flat blocks stay close
    }
  TJpegDecodeOptions half;
  half.ScaleDenom = 2;
  EXPECT_EQ(DecodeJpeg(file.data(), file.size(), half).Width, 16);
  TJpegDecodeOptions grey;
  grey.Grayscale = true;
  for (std::uint32_t p : DecodeJpeg(file.data(), file.size(), grey).Pixels) {
    EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
  }
  TJpegDecodeOptions quant;
  quant.Quantize = true;
  quant.Colors = 8;
  std::set<std::uint32_t> colours;
  for (std::uint32_t p : DecodeJpeg(file.data(), file.size(), quant).Pixels) colours.insert(p);
  EXPECT_LE(colours.size(), 8u);
  TBytes prog = EncodeJpeg(img, 80, true);
  EXPECT_EQ(DecodeJpeg(prog.data(), prog.size()).Height, 32);
  TJpegDecodeOptions noProg;
  noProg.Progressive = false;
  EXPECT_THROW(DecodeJpeg(prog.data(), prog.size(), noProg), EJPEG);
}

TEST(Jpeg, DamagedInputRaisesNumberedErrors) {
  TRawImage img = Sample(24, 24, false);
  TBytes file = EncodeJpeg(img, 75);
  for (std::size_t n = 0; n < file.size(); n += 5) {
    try {
      DecodeJpeg(file.data(), n);
      FAIL() << "prefix of " << n << " bytes accepted";
    } catch (const EJPEG& e) {
      ASSERT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << e.what();
    }
  }
  TBytes garbage(100, 0x55);
  garbage[0] = 0xFF;
  garbage[1] = 0xD8;
  EXPECT_THROW(DecodeJpeg(garbage.data(), garbage.size()), EJPEG);
  // Oversized dimensions in the frame header.
  TBytes big = file;
  for (std::size_t i = 2; i + 9 < big.size(); ++i)
    if (big[i] == 0xFF && big[i + 1] == 0xC0) {
      big[i + 5] = 0xFF; big[i + 6] = 0xF0;  // height 65520
      big[i + 7] = 0xFF; big[i + 8] = 0xF0;  // width 65520
      break;
    }
  EXPECT_THROW(DecodeJpeg(big.data(), big.size()), EJPEG);
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

TEST(Png, RoundTripWithAlphaAndDamagedInput) {
  TRawImage img = Sample(7, 5, true);
  TBytes file = EncodePng(img);
  TRawImage back = DecodePng(file.data(), file.size());
  ExpectSamePixels(img, back);
  EXPECT_TRUE(back.HasAlpha);
  TRawImage opaque = Sample(3, 3, false);
  TBytes f2 = EncodePng(opaque);
  TRawImage b2 = DecodePng(f2.data(), f2.size());
  EXPECT_FALSE(b2.HasAlpha);
  ExpectSamePixels(opaque, b2);
  ExpectPrefixesRaise(file, DecodePng);
  // IHDR declaring 100000 x 100000 with a valid checksum.
  TBytes big = f2;
  const std::uint8_t dims[8] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0};
  std::memcpy(big.data() + 16, dims, 8);
  std::uint32_t crc = Crc32(big.data() + 12, 17);
  big[29] = std::uint8_t(crc >> 24);
  big[30] = std::uint8_t(crc >> 16);
  big[31] = std::uint8_t(crc >> 8);
  big[32] = std::uint8_t(crc);
  EXPECT_THROW(DecodePng(big.data(), big.size()), EInvalidGraphic);
}

TEST(Pictures, DetectionMetafilesAndBitmaps) {
  TBytes bmp = EncodeBmp(Sample(2, 2, false), 24);
  TBytes png = EncodePng(Sample(2, 2, false));
  TBytes jpg = EncodeJpeg(Sample(8, 8, false));
  TBytes ico = EncodeIco({TIconImage{Sample(4, 4, true), {}, {}}});
  EXPECT_EQ(DetectPictureFormat(bmp.data(), bmp.size()), TPictureFormat::Bmp);
  EXPECT_EQ(DetectPictureFormat(png.data(), png.size()), TPictureFormat::Png);
  EXPECT_EQ(DetectPictureFormat(jpg.data(), jpg.size()), TPictureFormat::Jpeg);
  EXPECT_EQ(DetectPictureFormat(ico.data(), ico.size()), TPictureFormat::Ico);
  EXPECT_EQ(DetectPictureFormat(bmp.data(), 1), TPictureFormat::Unknown);

  TBytes wmf;
  Put32(wmf, 0x9AC6CDD7u);
  Put16(wmf, 0);
  for (int v : {0, 0, 1440, 720}) Put16(wmf, unsigned(v));
  Put16(wmf, 1440);
  wmf.resize(22, 0);
  TMetafileInfo wi = ReadMetafileHeader(wmf.data(), wmf.size());
  EXPECT_TRUE(wi.Placeable);
  EXPECT_EQ(wi.Width, 96);
  EXPECT_EQ(wi.Height, 48);
  TBytes emf(88, 0);
  emf[0] = 1;
  const std::int32_t frame[4] = {0, 0, 2540, 5080};
  std::memcpy(emf.data() + 24, frame, 16);
  const std::uint32_t sig = 0x464D4520u;
  std::memcpy(emf.data() + 40, &sig, 4);
  TMetafileInfo ei = ReadMetafileHeader(emf.data(), emf.size());
  EXPECT_TRUE(ei.Enhanced);
  EXPECT_EQ(ei.Width, 96);
  EXPECT_EQ(ei.Height, 192);
  EXPECT_THROW(ReadMetafileHeader(bmp.data(), bmp.size()), EInvalidGraphic);

  TRawImage img = Sample(3, 2, true);
  HBITMAP h = CreateBitmapFromImage(img);
  ExpectSamePixels(img, GetBitmapImage(h));
  DeleteObject(h);
  EXPECT_THROW(GetBitmapImage(h), EInvalidGraphicOperation);
}

}  // namespace

#include "platform/rtl/streams.h"

namespace {

TEST(Pictures, ThroughStreams) {
  TBytes png = EncodePng(Sample(3, 2, true));
  TMemoryStream ms;
  ms.WriteBuffer("xx", 2);
  WritePictureBytes(&ms, png);
  ms.SetPosition(2);
  TBytes back = ReadPictureBytes(&ms);
  EXPECT_EQ(back, png);
  ms.SetPosition(2);
  EXPECT_THROW(ReadPictureBytes(&ms, std::int64_t(png.size()) + 1), EReadError);
}

}  // namespace

namespace {

// Damaged files: bytes changed at random (fixed seed) either decode or raise
// EInvalidGraphic; nothing else (run under AddressSanitizer too).
TEST(Pictures, CorruptedBytesRaiseOrDecode) {
  const TBytes files[] = {
      EncodeBmp(Sample(9, 7, false), 24),
      MakeBmp(4, 2, 8, BI_RLE8, {0, 0xFF0000}, {4, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 0, 0, 1}),
      MakeBmp(4, 1, 4, BI_RLE4, {0, 0xFF0000}, {4, 0x12, 0, 1}),
      EncodeIco({TIconImage{Sample(8, 8, true), {}, {}}}),
      EncodeJpeg(Sample(16, 16, false), 70),
      EncodePng(Sample(6, 5, true)),
  };
  std::uint32_t seed = 12345;
  auto rnd = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  for (const TBytes& f : files) {
    for (int round = 0; round < 300; ++round) {
      TBytes b = f;
      int flips = 1 + int(rnd() % 4);
      for (int k = 0; k < flips; ++k) b[rnd() % b.size()] = std::uint8_t(rnd());
      try {
        switch (DetectPictureFormat(f.data(), f.size())) {
          case TPictureFormat::Bmp: DecodeBmp(b.data(), b.size()); break;
          case TPictureFormat::Ico: DecodeIco(b.data(), b.size()); break;
          case TPictureFormat::Jpeg: DecodeJpeg(b.data(), b.size()); break;
          case TPictureFormat::Png: DecodePng(b.data(), b.size()); break;
          default: FAIL();
        }
      } catch (const EInvalidGraphic&) {
      }
    }
  }
}

}  // namespace
