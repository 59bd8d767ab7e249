// PNG through libpng's simplified interface, which keeps its error handling
// inside libpng and reports failures through the image's message.
#include <png.h>

#include <cstring>

#include "platform/gdi/pictures.h"

TRawImage DecodePng(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 8) throw EInvalidGraphic("Invalid PNG image: truncated");
  // libpng stops at the last image row; a file cut before its end chunk is still damaged.
  static const std::uint8_t kEnd[8] = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  bool ended = false;
  const std::size_t lo = size > 4096 ? size - 4096 : 0;  // trailing bytes after the end are tolerated
  for (std::size_t i = size - 8 + 1; i-- > lo;)
    if (std::memcmp(data + i, kEnd, 8) == 0) {
      ended = true;
      break;
    }
  if (!ended) throw EInvalidGraphic("Invalid PNG image: truncated");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    throw EInvalidGraphic(AnsiString("Invalid PNG image: ") + image.message);
  if (image.width == 0 || image.height == 0 || image.width > unsigned(PV_MAX_IMAGE_SIDE) ||
      image.height > unsigned(PV_MAX_IMAGE_SIDE) ||
      std::int64_t(image.width) * image.height > PV_MAX_IMAGE_PIXELS) {
    png_image_free(&image);
    throw EInvalidGraphic("Invalid PNG image: image too large");
  }
  const bool alpha = image.format & PNG_FORMAT_FLAG_ALPHA;
  const bool gray = !(image.format & PNG_FORMAT_FLAG_COLOR);
  const int depth = image.format & PNG_FORMAT_FLAG_COLORMAP ? 8 : (gray ? 8 : 24) + (alpha ? 8 : 0);
  image.format = PNG_FORMAT_BGRA;
  TRawImage img;
  img.Width = int(image.width);
  img.Height = int(image.height);
  img.Pixels.resize(std::size_t(img.Width) * img.Height);
  if (!png_image_finish_read(&image, nullptr, img.Pixels.data(), 0, nullptr)) {
    std::string msg = image.message;
    png_image_free(&image);
    throw EInvalidGraphic("Invalid PNG image: " + msg);
  }
  img.HasAlpha = alpha;
  img.SourceBitsPerPixel = depth;
  return img;
}

TBytes EncodePng(const TRawImage& img) {
  if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != std::size_t(img.Width) * img.Height)
    throw EInvalidGraphicOperation("Cannot write an empty image");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(img.Width);
  image.height = png_uint_32(img.Height);
  image.format = img.HasAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  // Without alpha the file stores BGR triples.
  std::vector<std::uint8_t> px;
  px.reserve(img.Pixels.size() * 4);
  for (std::uint32_t p : img.Pixels) {
    px.push_back(std::uint8_t(p));
    px.push_back(std::uint8_t(p >> 8));
    px.push_back(std::uint8_t(p >> 16));
    if (img.HasAlpha) px.push_back(std::uint8_t(p >> 24));
  }
  png_alloc_size_t n = 0;
  if (!png_image_write_to_memory(&image, nullptr, &n, 0, px.data(), 0, nullptr))
    throw EInvalidGraphicOperation(AnsiString("Cannot write PNG: ") + image.message);
  TBytes out(n);
  if (!png_image_write_to_memory(&image, out.data(), &n, 0, px.data(), 0, nullptr))
    throw EInvalidGraphicOperation(AnsiString("Cannot write PNG: ") + image.message);
  out.resize(n);
  return out;
}
