// Input: the first bytes of an image body. The readers of the image headers never read past
// the bytes, a known size has two sides above 0, more bytes never change a size or a
// damaged header's verdict, and the check fed in pieces never disagrees with one reading.

#include <cstdint>
#include <string_view>

#include "fuzz_oracle.h"
#include "harvest/net/image_size.h"
#include "harvest/net/small_image_check.h"

using pelmoa::ImageSizeReading;
using pelmoa::SmallImageCheck;
using pelmoa::fuzz::Check;
using Verdict = SmallImageCheck::Verdict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const ImageSizeReading whole = pelmoa::ReadImageSize(body);
  if (whole.state == ImageSizeReading::kKnown) {
    Check(whole.width > 0 && whole.height > 0, "a known size with a side of 0");
  }
  for (std::size_t cut : {size / 2, size / 3, size > 0 ? size - 1 : 0}) {
    const ImageSizeReading part = pelmoa::ReadImageSize(body.substr(0, cut));
    if (part.state == ImageSizeReading::kKnown) Check(part == whole, "more bytes changed a size");
    if (part.state == ImageSizeReading::kNone) {
      Check(whole.state == ImageSizeReading::kNone, "a damaged header healed");
    }
  }

  // The minimum side and the piece length come from the last bytes.
  const int min_side = size > 0 ? data[size - 1] : 0;
  const std::size_t piece = size > 1 ? 1 + data[size - 2] % 64 : 1;
  SmallImageCheck check(min_side);
  for (std::size_t at = 0; at < size; at += piece) check.Feed(body.substr(at, piece));
  const ImageSizeReading head =
      pelmoa::ReadImageSize(body.substr(0, SmallImageCheck::kHeadLimit));
  Verdict expected = Verdict::kKeep;
  if (min_side > 0 && head.state == ImageSizeReading::kNeedMore &&
      size < SmallImageCheck::kHeadLimit) {
    expected = Verdict::kUndecided;
  } else if (min_side > 0 && head.state == ImageSizeReading::kKnown) {
    const auto side = static_cast<std::uint32_t>(min_side);
    expected = head.width < side || head.height < side ? Verdict::kLeaveOut : Verdict::kKeep;
  }
  // The check reads again only when its bytes have grown by half: the last few may not
  // have been read yet.
  Check(check.verdict() == expected || check.verdict() == Verdict::kUndecided,
        "the check and one reading of the same bytes disagree");
  return 0;
}
