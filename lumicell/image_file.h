// SPDX-License-Identifier: GPL-3.0-or-later
// Writes 0xFFRRGGBB pixel rows as a binary PPM (P6) or a PNG file.
#pragma once

#include <cstdint>
#include <string>

namespace lumicell {

struct ImageView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // pixels per row
};

std::string encodePpm(const ImageView& image);
// An uncompressed (stored) PNG of 8-bit RGB; empty when the image has no pixels, which PNG cannot hold.
std::string encodePng(const ImageView& image);

// PNG when the name ends in .png (any case), PPM otherwise. False with a reason on failure.
bool writeImageFile(const std::string& path, const ImageView& image, std::string* error);

}  // namespace lumicell
