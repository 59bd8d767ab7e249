// Reference-image comparison for rendering tests. A reference is a PNG file in
// a folder of the source tree. With PV_UPDATE_REFS=1 the rendered image is
// written as the new reference, and a copy enlarged four times goes into a
// fresh temporary folder for looking at it before committing. Otherwise the
// image must match the reference pixel for pixel (colour channels; alpha is
// ignored); on a mismatch the rendered image is written into a fresh
// temporary folder, and the message names the first differing pixel (and its
// cell, for sheets laid out in cells).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/pictures.h"

namespace pvref {

inline bool WritePng(const TRawImage& Image, const std::string& Path) {
  const TBytes Png = EncodePng(Image);
  std::ofstream Out(Path, std::ios::binary);
  Out.write(reinterpret_cast<const char*>(Png.data()), std::streamsize(Png.size()));
  return Out.good();
}

// A new folder of its own under the system's temporary folder ("" on failure).
inline std::string NewTempFolder() {
  std::string Template = (std::filesystem::temp_directory_path() / "pv_ref_XXXXXX").string();
  const char* Made = mkdtemp(Template.data());
  return Made ? std::string(Made) : std::string();
}

inline TRawImage Enlarged(const TRawImage& Image, int Factor) {
  TRawImage Big;
  Big.Width = Image.Width * Factor;
  Big.Height = Image.Height * Factor;
  Big.Pixels.resize(std::size_t(Big.Width) * std::size_t(Big.Height));
  for (int y = 0; y < Big.Height; ++y)
    for (int x = 0; x < Big.Width; ++x) Big.At(x, y) = Image.At(x / Factor, y / Factor);
  return Big;
}

}  // namespace pvref

// Folder is relative to the source tree ("framework/tests/ref"), Name the file
// name without ".png". CellW and CellH, when given, name the cell of the first
// difference.
inline ::testing::AssertionResult MatchesReference(const TRawImage& Image, const std::string& Folder,
                                                   const std::string& Name, int CellW = 0, int CellH = 0) {
  const std::string Path = std::string(PV_SOURCE_DIR) + "/" + Folder + "/" + Name + ".png";
  const char* Update = std::getenv("PV_UPDATE_REFS");
  if (Update && std::string(Update) == "1") {
    if (!pvref::WritePng(Image, Path)) return ::testing::AssertionFailure() << "cannot write " << Path;
    const std::string Dir = pvref::NewTempFolder();
    if (!Dir.empty() && pvref::WritePng(pvref::Enlarged(Image, 4), Dir + "/" + Name + "_x4.png"))
      std::cerr << "reference " << Path << " written; enlarged copy in " << Dir << "\n";
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
  ::testing::AssertionResult Failure = ::testing::AssertionFailure();
  Failure << Name << ": " << Diffs << " pixels differ, first at (" << FirstX << "," << FirstY << ")";
  if (CellW > 0 && CellH > 0) Failure << ", cell column " << FirstX / CellW << " row " << FirstY / CellH;
  const std::string Dir = pvref::NewTempFolder();
  if (!Dir.empty() && pvref::WritePng(Image, Dir + "/" + Name + ".png"))
    Failure << "; the rendered image is in " << Dir;
  return Failure;
}
