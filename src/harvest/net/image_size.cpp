#include "harvest/net/image_size.h"

#include <webp/decode.h>

#include <cstdint>

#include "harvest/net/image_header_bytes.h"

namespace pelmoa {
namespace {

using namespace header_bytes;
using Reading = ImageSizeReading;

constexpr Reading kNeedMore{Reading::kNeedMore};
constexpr Reading kNone{Reading::kNone};

// The signature, then the first chunk, which must be the 13-byte IHDR.
Reading Png(std::string_view head) {
  static constexpr std::string_view kMagic("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  const Match m = MatchAt(head, 0, kMagic);
  if (m == Match::kNo) return kNone;
  if (head.size() < 24) return kNeedMore;
  return Reading::Known(Be32(head, 16), Be32(head, 20));
}

// The logical screen, which every frame of the picture lies in.
Reading Gif(std::string_view head) {
  const Match m87 = MatchAt(head, 0, "GIF87a");
  const Match m89 = MatchAt(head, 0, "GIF89a");
  if (m87 == Match::kNo && m89 == Match::kNo) return kNone;
  if (head.size() < 10) return kNeedMore;
  return Reading::Known(Le16(head, 6), Le16(head, 8));
}

// Segments one after another up to the first frame header; APPn (EXIF, ICC profiles,
// XMP), tables and comments are passed by their lengths.
Reading Jpeg(std::string_view head) {
  if (MatchAt(head, 0, "\xff\xd8") == Match::kNo) return kNone;
  std::size_t at = 2;
  for (;;) {
    if (at >= head.size()) return kNeedMore;
    if (Byte(head, at) != 0xff) return kNone;
    while (at < head.size() && Byte(head, at) == 0xff) ++at;  // fill bytes
    if (at >= head.size()) return kNeedMore;
    const std::uint32_t marker = Byte(head, at++);
    // Markers without a segment: TEM, RST0..7, and a repeated start of image.
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) continue;
    // Image data or its end before any frame header, or a stuffed zero out of place.
    if (marker == 0xd9 || marker == 0xda || marker == 0x00) return kNone;
    if (at + 2 > head.size()) return kNeedMore;
    const std::uint32_t length = Be16(head, at);
    if (length < 2) return kNone;
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC), which share the range.
    const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                       marker != 0xcc;
    if (frame) {
      if (length < 8) return kNone;
      if (at + 7 > head.size()) return kNeedMore;
      // Length, sample precision, then the number of lines and of samples per line; 0 lines
      // means a later DNL segment gives the height.
      return Reading::Known(Be16(head, at + 5), Be16(head, at + 3));
    }
    at += length;
  }
}

// The file header, then the size of the header that follows it: the core header of OS/2
// has 16-bit sides, every later one signed 32-bit ones, a negative height standing for a
// picture stored top-down.
Reading Bmp(std::string_view head) {
  if (MatchAt(head, 0, "BM") == Match::kNo) return kNone;
  if (head.size() < 18) return kNeedMore;
  const std::uint32_t info = Le32(head, 14);
  if (info == 12) {
    if (head.size() < 22) return kNeedMore;
    return Reading::Known(Le16(head, 18), Le16(head, 20));
  }
  // The header sizes the formats' versions have: the next bytes of a text that happens to
  // begin with "BM" are not one of them.
  if (info != 16 && info != 40 && info != 52 && info != 56 && info != 64 && info != 108 &&
      info != 124) {
    return kNone;
  }
  if (head.size() < 26) return kNeedMore;
  const auto width = static_cast<std::int32_t>(Le32(head, 18));
  const auto height = static_cast<std::int32_t>(Le32(head, 22));
  if (width <= 0 || height == INT32_MIN) return kNone;
  return Reading::Known(static_cast<std::uint32_t>(width),
               static_cast<std::uint32_t>(height < 0 ? -height : height));
}

// libwebp reads the RIFF container and the VP8, VP8L or VP8X header, and says when the bytes
// end too early. The first chunk must be one of those three: libwebp would also take the
// bytes after the container's header as a bare VP8 stream, whose length it can only guess
// from the bytes that have arrived.
Reading Webp(std::string_view head) {
  if (MatchAt(head, 0, "RIFF") == Match::kNo || MatchAt(head, 8, "WEBPVP8") == Match::kNo) {
    return kNone;
  }
  if (head.size() < 16) return kNeedMore;
  if (head[15] != ' ' && head[15] != 'L' && head[15] != 'X') return kNone;
  WebPBitstreamFeatures features;
  switch (WebPGetFeatures(reinterpret_cast<const std::uint8_t*>(head.data()), head.size(),
                          &features)) {
    case VP8_STATUS_OK:
      if (features.width <= 0 || features.height <= 0) return kNone;
      return Reading::Known(static_cast<std::uint32_t>(features.width),
                   static_cast<std::uint32_t>(features.height));
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return kNeedMore;
    default:
      return kNone;
  }
}

}  // namespace

ImageSizeReading ReadImageSize(std::string_view head) {
  if (head.empty()) return kNeedMore;
  // Each format's first byte is its own; an ISO media file begins with the size of its
  // first box, whose first byte none of these can be for a box of a sane size.
  switch (Byte(head, 0)) {
    case 0x89:
      return Png(head);
    case 'G':
      return Gif(head);
    case 0xff:
      return Jpeg(head);
    case 'B':
      return Bmp(head);
    case 'R':
      return Webp(head);
    default:
      return ReadAvifSize(head);
  }
}

}  // namespace pelmoa
