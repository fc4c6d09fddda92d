#pragma once

#include <cstdint>
#include <string_view>

namespace pelmoa {

// What the first bytes of an image say about its width and height.
struct ImageSizeReading {
  enum State {
    kNeedMore,  // the bytes begin a known header but end before its size
    kNone,      // no known format, a damaged header, or a side of 0: no size at all
    kKnown,
  };
  State state = kNeedMore;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  bool operator==(const ImageSizeReading&) const = default;

  // The size a header gives: a side of 0 says nothing about the picture, and the largest side
  // any of these formats allows is below 2^31.
  static ImageSizeReading Known(std::uint32_t width, std::uint32_t height) {
    constexpr std::uint32_t kMaxSide = 0x7fffffff;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return {kNone};
    return {kKnown, width, height};
  }
};

// The size from the header of a PNG (IHDR), GIF (logical screen), JPEG (first frame header,
// past any APPn segments), WebP (VP8, VP8L, VP8X), BMP or AVIF (the primary item's ispe),
// given the image's first bytes. A longer head never changes a known size.
ImageSizeReading ReadImageSize(std::string_view head);

// The AVIF part of ReadImageSize: kNone also when the bytes are no AVIF file at all.
ImageSizeReading ReadAvifSize(std::string_view head);

}  // namespace pelmoa
