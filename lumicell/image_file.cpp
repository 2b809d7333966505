// SPDX-License-Identifier: GPL-3.0-or-later
// PPM and PNG writers for lumicell-render.
#include "lumicell/image_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace lumicell {

namespace {

void appendRgb(std::string& out, uint32_t p) {
  out += static_cast<char>((p >> 16) & 0xFF);
  out += static_cast<char>((p >> 8) & 0xFF);
  out += static_cast<char>(p & 0xFF);
}

uint32_t crc32(const std::string& data, std::size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = from; i < data.size(); ++i) c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void appendBe32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
  appendBe32(out, static_cast<uint32_t>(data.size()));
  const std::size_t start = out.size();
  out += type;
  out += data;
  appendBe32(out, crc32(out, start));
}

}  // namespace

std::string encodePpm(const ImageView& image) {
  std::string out = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  out.reserve(out.size() + static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x) appendRgb(out, image.pixels[y * image.stride + x]);
  return out;
}

std::string encodePng(const ImageView& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  // Filter byte 0 before each row of RGB.
  std::string raw;
  raw.reserve(static_cast<std::size_t>(image.height) * (1 + static_cast<std::size_t>(image.width) * 3));
  for (int32_t y = 0; y < image.height; ++y) {
    raw += '\0';
    for (int32_t x = 0; x < image.width; ++x) appendRgb(raw, image.pixels[y * image.stride + x]);
  }
  // zlib stream of stored deflate blocks.
  std::string z = "\x78\x01";
  std::size_t pos = 0;
  do {
    const std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + len == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(len & 0xFF);
    z += static_cast<char>(len >> 8);
    z += static_cast<char>(~len & 0xFF);
    z += static_cast<char>((~len >> 8) & 0xFF);
    z.append(raw, pos, len);
    pos += len;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (const char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  appendBe32(z, (b << 16) | a);

  std::string ihdr;
  appendBe32(ihdr, static_cast<uint32_t>(image.width));
  appendBe32(ihdr, static_cast<uint32_t>(image.height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

  std::string out = "\x89PNG\r\n\x1a\n";
  appendChunk(out, "IHDR", ihdr);
  appendChunk(out, "IDAT", z);
  appendChunk(out, "IEND", {});
  return out;
}

bool writeImageFile(const std::string& path, const ImageView& image, std::string* error) {
  auto endsWithPng = [&path] {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png";
  };
  std::string data;
  if (endsWithPng()) {
    data = encodePng(image);
    if (data.empty()) {
      if (error) *error = "a PNG cannot hold an image of " + std::to_string(image.width) + " x " +
                          std::to_string(image.height) + " pixels";
      return false;
    }
  } else {
    data = encodePpm(image);
  }
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (f) f.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (f) f.close();
  if (!f) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace lumicell
