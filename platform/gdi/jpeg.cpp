// JPEG through the libjpeg 6b interface. libjpeg reports fatal errors by
// calling error_exit, which must not return. The setjmp that catches it sits
// in small functions that hold only plain data, so the long jump crosses
// libjpeg's C frames alone; the C++ side then raises EJPEG("JPEG error #n").
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/gdi/pictures.h"

namespace {

struct ErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code;
};

void ErrorExit(j_common_ptr cinfo) {
  ErrorMgr* e = reinterpret_cast<ErrorMgr*>(cinfo->err);
  e->code = e->pub.msg_code;
  std::longjmp(e->jump, 1);
}

// Warnings mean damaged data (for example a truncated file): treat them as errors.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

void InitErrors(ErrorMgr& e) {
  jpeg_std_error(&e.pub);
  e.pub.error_exit = ErrorExit;
  e.pub.emit_message = EmitMessage;
  e.pub.output_message = OutputMessage;
  e.code = 0;
}

// Source manager over a memory buffer; running out of data is an error.
void SrcInit(j_decompress_ptr) {}
boolean SrcFill(j_decompress_ptr cinfo) {
  cinfo->err->msg_code = JERR_INPUT_EOF;
  cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
  return FALSE;
}
void SrcSkip(j_decompress_ptr cinfo, long n) {
  if (n <= 0) return;
  if (std::size_t(n) > cinfo->src->bytes_in_buffer) {
    SrcFill(cinfo);
    return;
  }
  cinfo->src->next_input_byte += n;
  cinfo->src->bytes_in_buffer -= std::size_t(n);
}
void SrcTerm(j_decompress_ptr) {}

struct Decoder {
  jpeg_decompress_struct cinfo;
  ErrorMgr err;
  jpeg_source_mgr src;
  bool created;
};

// Each step returns 0 on success or the libjpeg message code.
int StepOpen(Decoder* d, const std::uint8_t* data, std::size_t size) {
  InitErrors(d->err);
  d->cinfo.err = &d->err.pub;
  if (setjmp(d->err.jump)) return d->err.code ? d->err.code : -1;
  jpeg_create_decompress(&d->cinfo);
  d->created = true;
  d->src.init_source = SrcInit;
  d->src.fill_input_buffer = SrcFill;
  d->src.skip_input_data = SrcSkip;
  d->src.resync_to_restart = jpeg_resync_to_restart;
  d->src.term_source = SrcTerm;
  d->src.next_input_byte = data;
  d->src.bytes_in_buffer = size;
  d->cinfo.src = &d->src;
  jpeg_read_header(&d->cinfo, TRUE);
  return 0;
}

int StepStart(Decoder* d) {
  if (setjmp(d->err.jump)) return d->err.code ? d->err.code : -1;
  jpeg_start_decompress(&d->cinfo);
  return 0;
}

int StepRead(Decoder* d, JSAMPROW row) {
  if (setjmp(d->err.jump)) return d->err.code ? d->err.code : -1;
  JSAMPROW rows[1] = {row};
  jpeg_read_scanlines(&d->cinfo, rows, 1);
  return 0;
}

int StepFinish(Decoder* d) {
  if (setjmp(d->err.jump)) return d->err.code ? d->err.code : -1;
  jpeg_finish_decompress(&d->cinfo);
  return 0;
}

// Destination manager into a malloc'ed buffer.
struct Dest {
  jpeg_destination_mgr pub;
  std::uint8_t* buf;
  std::size_t cap;
};
void DstInit(j_compress_ptr cinfo) {
  Dest* d = reinterpret_cast<Dest*>(cinfo->dest);
  d->cap = 65536;
  d->buf = static_cast<std::uint8_t*>(std::malloc(d->cap));
  if (!d->buf) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
  }
  d->pub.next_output_byte = d->buf;
  d->pub.free_in_buffer = d->cap;
}
boolean DstEmpty(j_compress_ptr cinfo) {
  Dest* d = reinterpret_cast<Dest*>(cinfo->dest);
  std::size_t used = d->cap;
  auto* nb = static_cast<std::uint8_t*>(std::realloc(d->buf, d->cap * 2));
  if (!nb) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
  }
  d->buf = nb;
  d->cap *= 2;
  d->pub.next_output_byte = d->buf + used;
  d->pub.free_in_buffer = d->cap - used;
  return TRUE;
}
void DstTerm(j_compress_ptr) {}

struct Encoder {
  jpeg_compress_struct cinfo;
  ErrorMgr err;
  Dest dest;
  bool created;
};

int EncOpen(Encoder* e, int w, int h, int quality, bool progressive, bool gray) {
  InitErrors(e->err);
  e->cinfo.err = &e->err.pub;
  e->dest.buf = nullptr;
  if (setjmp(e->err.jump)) return e->err.code ? e->err.code : -1;
  jpeg_create_compress(&e->cinfo);
  e->created = true;
  e->dest.pub.init_destination = DstInit;
  e->dest.pub.empty_output_buffer = DstEmpty;
  e->dest.pub.term_destination = DstTerm;
  e->cinfo.dest = &e->dest.pub;
  e->cinfo.image_width = JDIMENSION(w);
  e->cinfo.image_height = JDIMENSION(h);
  e->cinfo.input_components = gray ? 1 : 3;
  e->cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&e->cinfo);
  jpeg_set_quality(&e->cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&e->cinfo);
  jpeg_start_compress(&e->cinfo, TRUE);
  return 0;
}

int EncWrite(Encoder* e, JSAMPROW row) {
  if (setjmp(e->err.jump)) return e->err.code ? e->err.code : -1;
  JSAMPROW rows[1] = {row};
  jpeg_write_scanlines(&e->cinfo, rows, 1);
  return 0;
}

int EncFinish(Encoder* e) {
  if (setjmp(e->err.jump)) return e->err.code ? e->err.code : -1;
  jpeg_finish_compress(&e->cinfo);
  return 0;
}

[[noreturn]] void Raise(int code) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "JPEG error #%d", code);
  throw EJPEG(buf);
}

// Owns the libjpeg objects on the C++ side.
struct DecoderGuard {
  Decoder* d;
  ~DecoderGuard() {
    if (d->created) jpeg_destroy_decompress(&d->cinfo);
  }
};
struct EncoderGuard {
  Encoder* e;
  ~EncoderGuard() {
    if (e->created) jpeg_destroy_compress(&e->cinfo);
    std::free(e->dest.buf);
  }
};

}  // namespace

bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int* width, int* height) {
  if (!data || size < 4) return false;
  Decoder d{};
  DecoderGuard g{&d};
  if (StepOpen(&d, data, size) != 0) return false;
  if (width) *width = int(d.cinfo.image_width);
  if (height) *height = int(d.cinfo.image_height);
  return true;
}

TRawImage DecodeJpeg(const std::uint8_t* data, std::size_t size, const TJpegDecodeOptions& opts) {
  if (!data || size < 4) Raise(JERR_INPUT_EMPTY);
  Decoder d{};
  DecoderGuard g{&d};
  if (int c = StepOpen(&d, data, size)) Raise(c);
  jpeg_decompress_struct& ci = d.cinfo;
  if (ci.image_width == 0 || ci.image_height == 0 || ci.image_width > unsigned(PV_MAX_IMAGE_SIDE) ||
      ci.image_height > unsigned(PV_MAX_IMAGE_SIDE) ||
      std::int64_t(ci.image_width) * ci.image_height > PV_MAX_IMAGE_PIXELS)
    Raise(JERR_IMAGE_TOO_BIG);
  if (ci.progressive_mode && !opts.Progressive) throw EJPEG("JPEG error: progressive images are not accepted");
  int denom = opts.ScaleDenom;
  if (denom != 1 && denom != 2 && denom != 4 && denom != 8) denom = 1;
  ci.scale_num = 1;
  ci.scale_denom = unsigned(denom);
  bool cmyk = ci.jpeg_color_space == JCS_CMYK || ci.jpeg_color_space == JCS_YCCK;
  if (opts.Grayscale) ci.out_color_space = JCS_GRAYSCALE;
  else if (cmyk) ci.out_color_space = JCS_CMYK;
  else ci.out_color_space = JCS_RGB;
  if (opts.Quantize && !cmyk) {
    ci.quantize_colors = TRUE;
    // The colour quantizer needs at least 8 colours; grey levels at least 2.
    const int least = opts.Grayscale ? 2 : 8;
    ci.desired_number_of_colors = opts.Colors < least ? least : opts.Colors > 256 ? 256 : opts.Colors;
  }
  if (int c = StepStart(&d)) Raise(c);
  TRawImage img;
  img.Width = int(ci.output_width);
  img.Height = int(ci.output_height);
  img.SourceBitsPerPixel = ci.num_components == 1 ? 8 : 24;
  img.Pixels.resize(std::size_t(img.Width) * img.Height);
  std::vector<JSAMPLE> row(std::size_t(ci.output_width) * std::size_t(ci.output_components > 0 ? ci.output_components : 1));
  for (int y = 0; y < img.Height; ++y) {
    if (int c = StepRead(&d, row.data())) Raise(c);
    std::uint32_t* out = img.Pixels.data() + std::size_t(y) * img.Width;
    for (int x = 0; x < img.Width; ++x) {
      unsigned r, gg, b;
      if (ci.quantize_colors) {
        int idx = row[std::size_t(x)];
        if (ci.out_color_components == 1) r = gg = b = ci.colormap[0][idx];
        else { r = ci.colormap[0][idx]; gg = ci.colormap[1][idx]; b = ci.colormap[2][idx]; }
      } else if (ci.output_components == 1) {
        r = gg = b = row[std::size_t(x)];
      } else if (ci.output_components == 4) {
        // Adobe files store CMYK inverted.
        const JSAMPLE* p = &row[std::size_t(x) * 4];
        r = unsigned(p[0]) * p[3] / 255;
        gg = unsigned(p[1]) * p[3] / 255;
        b = unsigned(p[2]) * p[3] / 255;
      } else {
        const JSAMPLE* p = &row[std::size_t(x) * 3];
        r = p[0]; gg = p[1]; b = p[2];
      }
      out[x] = 0xFF000000u | (r << 16) | (gg << 8) | b;
    }
  }
  if (int c = StepFinish(&d)) Raise(c);
  return img;
}

TBytes EncodeJpeg(const TRawImage& img, int quality, bool progressive, bool grayscale) {
  if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != std::size_t(img.Width) * img.Height)
    throw EInvalidGraphicOperation("Cannot write an empty image");
  if (img.Width > 65500 || img.Height > 65500) throw EInvalidGraphicOperation("Image too large for JPEG");
  quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
  Encoder e{};
  EncoderGuard g{&e};
  if (int c = EncOpen(&e, img.Width, img.Height, quality, progressive, grayscale)) Raise(c);
  std::vector<JSAMPLE> row(std::size_t(img.Width) * 3);
  for (int y = 0; y < img.Height; ++y) {
    for (int x = 0; x < img.Width; ++x) {
      std::uint32_t p = img.At(x, y);
      unsigned r = (p >> 16) & 0xFF, gg = (p >> 8) & 0xFF, b = p & 0xFF;
      if (grayscale) row[std::size_t(x)] = JSAMPLE((r * 299 + gg * 587 + b * 114 + 500) / 1000);
      else {
        row[std::size_t(x) * 3] = JSAMPLE(r);
        row[std::size_t(x) * 3 + 1] = JSAMPLE(gg);
        row[std::size_t(x) * 3 + 2] = JSAMPLE(b);
      }
    }
    if (int c = EncWrite(&e, row.data())) Raise(c);
  }
  if (int c = EncFinish(&e)) Raise(c);
  std::size_t n = e.dest.cap - e.dest.pub.free_in_buffer;
  return TBytes(e.dest.buf, e.dest.buf + n);
}
