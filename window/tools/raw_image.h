#pragma once
// The layout of the image blobs that window/tools/rawimage writes at build time and the
// window wraps at start-up: this header, then the pixels as QImage keeps them in memory, then
// for an indexed image its colour table.

#include <cstdint>

namespace window {

inline constexpr std::uint32_t kRawImageMagic = 0x31495254;  // "TRI1" in file order

// Host byte order: the blobs are made and used on the same machine's build.
struct RawImageHeader {
  std::uint32_t magic;
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t bytesPerLine;  // a multiple of 4
  std::uint32_t format;        // a QImage::Format
  std::uint32_t colorCount;    // Format_Indexed8: QRgb entries after the pixels; else 0
};
static_assert(sizeof(RawImageHeader) % 4 == 0, "keeps the pixels 4-byte aligned");

}  // namespace window
