#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmoa {

// Decides, from an image's first bytes as they arrive, whether the picture is smaller than
// a minimum side. An image whose header gives no size within its first 64 KiB (SVG, an
// unknown or damaged header) is kept.
class SmallImageCheck {
 public:
  enum class Verdict { kUndecided, kKeep, kLeaveOut };

  static constexpr std::size_t kHeadLimit = 64 * 1024;

  // A minimum side of 0 (or less) keeps every image without looking at it.
  explicit SmallImageCheck(int min_side = 0);

  // The next piece of the body; returns the verdict so far.
  Verdict Feed(std::string_view piece);
  Verdict verdict() const { return verdict_; }
  // Bytes of the body taken while undecided.
  std::int64_t fed() const { return fed_; }

 private:
  void Decide(std::string_view head);

  std::uint32_t min_side_ = 0;
  Verdict verdict_ = Verdict::kKeep;
  std::int64_t fed_ = 0;
  // Copied only when one piece does not decide; read again each time it has grown by half,
  // so a server that sends a byte at a time costs a few readings, not one per byte.
  std::string head_;
  std::size_t read_at_size_ = 0;
};

}  // namespace pelmoa
