// Reference-image comparison for rendering tests. With PV_UPDATE_REFS=1 the
// rendered image is written as the new reference; otherwise it must match the
// stored one pixel for pixel (colour channels; alpha is ignored).
#pragma once

#include "platform/controls/graphics.h"
#include "platform/gdi/pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

inline ::testing::AssertionResult MatchesReference(TBitmap* Bitmap, const std::string& Name) {
  const std::string Path = std::string(PV_SOURCE_DIR) + "/framework/tests/ref/" + Name + ".png";
  TRawImage Image = Bitmap->ToRawImage();
  const char* Update = std::getenv("PV_UPDATE_REFS");
  if (Update && std::string(Update) == "1") {
    const TBytes Png = EncodePng(Image);
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Png.data()), std::streamsize(Png.size()));
    return ::testing::AssertionSuccess();
  }
  std::ifstream In(Path, std::ios::binary);
  if (!In) return ::testing::AssertionFailure() << "no reference image " << Path << " (run with PV_UPDATE_REFS=1)";
  const std::vector<std::uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  const TRawImage Ref = DecodePng(Bytes.data(), Bytes.size());
  if (Ref.Width != Image.Width || Ref.Height != Image.Height)
    return ::testing::AssertionFailure() << Name << ": size " << Image.Width << "x" << Image.Height << " differs from "
                                         << Ref.Width << "x" << Ref.Height;
  int Diffs = 0, FirstX = -1, FirstY = -1;
  for (int y = 0; y < Ref.Height; ++y)
    for (int x = 0; x < Ref.Width; ++x)
      if ((Ref.At(x, y) & 0xFFFFFF) != (Image.At(x, y) & 0xFFFFFF) && Diffs++ == 0) {
        FirstX = x;
        FirstY = y;
      }
  if (Diffs == 0) return ::testing::AssertionSuccess();
  const TBytes Png = EncodePng(Image);
  std::ofstream(Name + ".actual.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(Png.data()), std::streamsize(Png.size()));
  return ::testing::AssertionFailure() << Name << ": " << Diffs << " pixels differ, first at (" << FirstX << ","
                                       << FirstY << "); actual image written to " << Name << ".actual.png";
}
