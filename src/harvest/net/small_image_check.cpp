#include "harvest/net/small_image_check.h"

#include <algorithm>

#include "harvest/net/image_size.h"

namespace pelmoa {

SmallImageCheck::SmallImageCheck(int min_side)
    : min_side_(min_side > 0 ? static_cast<std::uint32_t>(min_side) : 0),
      verdict_(min_side > 0 ? Verdict::kUndecided : Verdict::kKeep) {}

void SmallImageCheck::Decide(std::string_view head) {
  read_at_size_ = head.size();
  const ImageSizeReading r = ReadImageSize(head);
  if (r.state == ImageSizeReading::kNeedMore) {
    if (head.size() >= kHeadLimit) verdict_ = Verdict::kKeep;
    return;
  }
  const bool small = r.state == ImageSizeReading::kKnown &&
                     (r.width < min_side_ || r.height < min_side_);
  verdict_ = small ? Verdict::kLeaveOut : Verdict::kKeep;
}

SmallImageCheck::Verdict SmallImageCheck::Feed(std::string_view piece) {
  if (verdict_ != Verdict::kUndecided || piece.empty()) return verdict_;
  fed_ += static_cast<std::int64_t>(piece.size());
  if (head_.empty()) {
    // Most headers are whole in the first piece: read it where it lies.
    Decide(piece.substr(0, kHeadLimit));
    if (verdict_ != Verdict::kUndecided) return verdict_;
  }
  head_.append(piece.substr(0, kHeadLimit - std::min(kHeadLimit, head_.size())));
  if (head_.size() >= kHeadLimit || head_.size() >= read_at_size_ + read_at_size_ / 2 + 1) {
    Decide(head_);
  }
  if (verdict_ != Verdict::kUndecided) std::string().swap(head_);
  return verdict_;
}

}  // namespace pelmoa
