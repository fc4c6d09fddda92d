#include "harvest/scan/image_refs.h"

namespace pelmoa {

void ImageRefs::Add(std::string_view cut, bool added, bool decoded) {
  ++size_;
  if (!runs_.empty() && runs_.back().added == added && runs_.back().decoded == decoded &&
      SameCut(runs_.back().text, cut)) {
    ++runs_.back().count;
    return;
  }
  runs_.push_back({cut, added, 1, decoded});
}

void ImageRefs::AddOwned(std::string value, bool added) {
  if (!runs_.empty() && runs_.back().added == added && !runs_.back().decoded &&
      runs_.back().text == value) {
    ++size_;
    ++runs_.back().count;
    return;
  }
  owned_.push_back(std::move(value));
  Add(owned_.back(), added);
}

std::vector<std::string> ImageRefs::Strings() const {
  std::vector<std::string> out;
  out.reserve(size_);
  for (const Run& run : runs_) out.insert(out.end(), run.count, std::string(run.text));
  return out;
}

}  // namespace pelmoa
