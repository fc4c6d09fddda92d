#include "harvest/text_search.h"

#include <cstring>

namespace pelmoa {
namespace {

unsigned char ToLowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
unsigned char ToUpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

bool MatchesAt(std::string_view text, std::size_t at, std::string_view lower_needle) {
  if (text.size() - at < lower_needle.size()) return false;
  for (std::size_t k = 1; k < lower_needle.size(); ++k) {
    if (ToLowerAscii(static_cast<unsigned char>(text[at + k])) !=
        static_cast<unsigned char>(lower_needle[k])) {
      return false;
    }
  }
  return true;
}

}  // namespace

TextFinder::TextFinder(std::string_view text, std::string_view needle) : text_(text) {
  needle_.reserve(needle.size());
  for (char c : needle) needle_.push_back(static_cast<char>(ToLowerAscii(c)));
  if (!needle_.empty()) {
    lower_ = static_cast<unsigned char>(needle_[0]);
    upper_ = ToUpperAscii(lower_);
  }
}

std::size_t TextFinder::NextOfByte(unsigned char c, std::size_t from, std::size_t& cached_from,
                                   std::size_t& cached_hit) const {
  // The cached hit is the first c at or after cached_from, so it is also the first at or
  // after any from in [cached_from, cached_hit].
  if (cached_from != kNotFound && from >= cached_from && from <= cached_hit) return cached_hit;
  std::size_t hit = kNotFound;
  if (from < text_.size()) {
    const void* p = std::memchr(text_.data() + from, c, text_.size() - from);
    if (p) hit = static_cast<const char*>(p) - text_.data();
  }
  cached_from = from;
  cached_hit = hit;
  return hit;
}

std::size_t TextFinder::Find(std::size_t from) {
  if (needle_.empty() || from >= text_.size()) return kNotFound;
  if (last_from_ != kNotFound && from >= last_from_ && from <= last_hit_) return last_hit_;
  std::size_t pos = from;
  std::size_t hit = kNotFound;
  while (pos < text_.size()) {
    std::size_t a = NextOfByte(lower_, pos, lower_from_, lower_hit_);
    std::size_t b = lower_ == upper_ ? kNotFound : NextOfByte(upper_, pos, upper_from_, upper_hit_);
    std::size_t cand = a < b ? a : b;
    if (cand == kNotFound) break;
    if (MatchesAt(text_, cand, needle_)) {
      hit = cand;
      break;
    }
    pos = cand + 1;
  }
  last_from_ = from;
  last_hit_ = hit;
  return hit;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view needle) {
  return TextFinder(text, needle).Find(0) != kNotFound;
}

std::string_view TrimSpaces(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

}  // namespace pelmoa
