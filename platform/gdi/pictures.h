// Picture files: BMP, ICO/CUR, JPEG and PNG decoders and encoders, and the
// header of metafiles (which are kept as bytes and drawn as a frame).
// Decoders check every size and offset against the data and raise
// EInvalidGraphic (EJPEG for JPEG data) on damaged or oversized input.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"

PV_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
PV_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
PV_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic)  // "JPEG error #%d"

using TBytes = std::vector<std::uint8_t>;

// Largest image a decoder accepts: each side and the pixel count.
constexpr int PV_MAX_IMAGE_SIDE = 32768;
constexpr std::int64_t PV_MAX_IMAGE_PIXELS = 64LL * 1024 * 1024;

// A decoded image: top-down rows of 32-bit BGRA pixels (0xAARRGGBB),
// straight (not premultiplied) alpha.
struct TRawImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
  bool HasAlpha = false;       // alpha carries information
  int SourceBitsPerPixel = 0;  // depth in the file
  bool Monochrome = false;     // 1-bit black and white source
  std::uint32_t& At(int x, int y) { return Pixels[std::size_t(y) * Width + x]; }
  std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * Width + x]; }
};

// BMP: reads 1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, with or without the
// file header (data starting "BM" or with the info header). Writes 24 or 32 bits.
TRawImage DecodeBmp(const std::uint8_t* data, std::size_t size);
TBytes EncodeBmp(const TRawImage& img, int bitsPerPixel);

// ICO and CUR: every image of the directory. PNG-compressed entries are read.
struct TIconImage {
  TRawImage Image;               // colour, alpha from the file or from the AND mask
  std::vector<std::uint8_t> Mask;  // 1 = transparent, Width*Height
  POINT Hotspot;                 // cursors only
};
struct TIconFile {
  bool Cursor = false;
  std::vector<TIconImage> Images;
};
TIconFile DecodeIco(const std::uint8_t* data, std::size_t size);
// Writes an icon file with 32-bit images (and their AND masks).
TBytes EncodeIco(const std::vector<TIconImage>& images);
// An icon handle from one image (mask from the alpha channel or mask).
HICON CreateIconFromImage(const TIconImage& img, bool cursor);

// JPEG through the libjpeg 6b interface.
struct TJpegDecodeOptions {
  int ScaleDenom = 1;        // 1, 2, 4 or 8
  bool Grayscale = false;    // decode to grey levels
  bool Quantize = false;     // reduce to at most 256 colours
  int Colors = 256;
  bool Progressive = true;   // allow progressive files
};
TRawImage DecodeJpeg(const std::uint8_t* data, std::size_t size,
                     const TJpegDecodeOptions& opts = {});
TBytes EncodeJpeg(const TRawImage& img, int quality = 90, bool progressive = false,
                  bool grayscale = false);
// Width and height from the header only.
bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int* width, int* height);

// PNG through libpng. Alpha is kept.
TRawImage DecodePng(const std::uint8_t* data, std::size_t size);
TBytes EncodePng(const TRawImage& img);

// Metafiles: kind and header size; drawing draws a frame.
struct TMetafileInfo {
  bool Enhanced = false;
  bool Placeable = false;
  int Width = 0;   // pixels at 96 per inch (0 when the file gives no size)
  int Height = 0;
  int MMWidth = 0;   // 0.01 mm
  int MMHeight = 0;
};
TMetafileInfo ReadMetafileHeader(const std::uint8_t* data, std::size_t size);
void DrawMetafileFrame(HDC hdc, const RECT& rc);

// Bitmaps and images.
HBITMAP CreateBitmapFromImage(const TRawImage& img);  // 32-bit DIB section, alpha kept
TRawImage GetBitmapImage(HBITMAP bmp);                // straight copy of the pixels
// Premultiplies the colour by alpha (for AlphaBlend with AC_SRC_ALPHA).
void PremultiplyAlpha(TRawImage& img);

// Streams: the picture bytes from a stream's position (all that remain, or
// `count` bytes; raises EReadError when fewer arrive), and writing them.
class TStream;
TBytes ReadPictureBytes(TStream* stream, std::int64_t count = -1);
void WritePictureBytes(TStream* stream, const TBytes& bytes);

// Picks the decoder from the leading bytes: "BM", ICO/CUR, JPEG, PNG.
enum class TPictureFormat { Unknown, Bmp, Ico, Cur, Jpeg, Png, Wmf, Emf };
TPictureFormat DetectPictureFormat(const std::uint8_t* data, std::size_t size);
