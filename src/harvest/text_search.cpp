#include "harvest/text_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace pelmoa {
namespace {

constexpr std::size_t kBlock = 64;
// The needle bytes compared in the wide loop; the rest is checked per candidate.
constexpr std::size_t kWideBytes = 4;

unsigned char ToLowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool MatchesAt(std::string_view text, std::size_t at, std::string_view lower_needle,
               std::size_t from_byte) {
  if (text.size() - at < lower_needle.size()) return false;
  for (std::size_t k = from_byte; k < lower_needle.size(); ++k) {
    if (ToLowerAscii(static_cast<unsigned char>(text[at + k])) !=
        static_cast<unsigned char>(lower_needle[k])) {
      return false;
    }
  }
  return true;
}

int CountTrailingZeros(std::uint64_t v) { return __builtin_ctzll(v); }

}  // namespace

TextFinder::TextFinder(std::string_view text, std::string_view needle) : text_(text) {
  needle_.reserve(needle.size());
  fold_.reserve(needle.size());
  for (char c : needle) {
    const auto u = static_cast<unsigned char>(c);
    needle_.push_back(static_cast<char>(ToLowerAscii(u)));
    fold_.push_back(static_cast<char>(IsLetter(u) ? 0x20 : 0));
  }
}

std::uint64_t TextFinder::MatchMaskSlow(std::size_t block) const {
  std::uint64_t mask = 0;
  const std::size_t end = std::min(text_.size(), block + kBlock);
  for (std::size_t at = block; at < end; ++at) {
    if (MatchesAt(text_, at, needle_, 0)) mask |= std::uint64_t{1} << (at - block);
  }
  return mask;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
namespace {

// One block with 32-byte compares, for processors that have them (checked at run time, so
// the program still runs on any x86-64).
__attribute__((target("avx2"))) std::uint64_t WideMaskAvx2(const char* base,
                                                            const std::string& needle,
                                                            const std::string& fold,
                                                            std::size_t wide) {
  std::uint64_t mask = 0;
  for (std::size_t lane = 0; lane < kBlock; lane += 32) {
    __m256i all = _mm256_set1_epi8(-1);
    for (std::size_t k = 0; k < wide; ++k) {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + lane + k));
      const __m256i folded = _mm256_or_si256(bytes, _mm256_set1_epi8(fold[k]));
      all = _mm256_and_si256(all, _mm256_cmpeq_epi8(folded, _mm256_set1_epi8(needle[k])));
    }
    mask |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(all)))
            << lane;
  }
  return mask;
}

// Asked once, on first use: a static initialiser could run before the processor
// features are read.
bool HaveAvx2() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return have;
}

}  // namespace
#endif

std::uint64_t TextFinder::MatchMask(std::size_t block) const {
#if defined(__SSE2__)
  const std::size_t wide = std::min(needle_.size(), kWideBytes);
  // The wide loop reads up to wide - 1 bytes past the block; near the end of the text the
  // plain loop takes over.
  if (block + kBlock + wide - 1 > text_.size()) return MatchMaskSlow(block);
  const char* base = text_.data() + block;
  std::uint64_t mask = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (HaveAvx2()) {
    mask = WideMaskAvx2(base, needle_, fold_, wide);
  } else
#endif
  {
    for (std::size_t lane = 0; lane < kBlock; lane += 16) {
      __m128i all = _mm_set1_epi8(-1);
      for (std::size_t k = 0; k < wide; ++k) {
        const __m128i bytes =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + lane + k));
        const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(fold_[k]));
        all = _mm_and_si128(all, _mm_cmpeq_epi8(folded, _mm_set1_epi8(needle_[k])));
      }
      mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(all)))
              << lane;
    }
  }
  if (needle_.size() > wide) {
    for (std::uint64_t m = mask; m; m &= m - 1) {
      const int b = CountTrailingZeros(m);
      if (!MatchesAt(text_, block + static_cast<std::size_t>(b), needle_, wide)) {
        mask &= ~(std::uint64_t{1} << b);
      }
    }
  }
  return mask;
#else
  return MatchMaskSlow(block);
#endif
}

std::uint64_t TextFinder::BlockMask(std::size_t block) {
  if (block != mask_block_) {
    mask_ = MatchMask(block);
    mask_block_ = block;
  }
  return mask_;
}

std::size_t TextFinder::Find(std::size_t from) {
  if (needle_.empty() || from >= text_.size()) return kNotFound;
  // The last answer is also the first occurrence at or after any from in [last_from_, last_hit_].
  if (last_from_ != kNotFound && from >= last_from_ && from <= last_hit_) return last_hit_;
  std::size_t block = from - from % kBlock;
  std::uint64_t mask = BlockMask(block) & (~std::uint64_t{0} << (from - block));
  while (mask == 0) {
    block += kBlock;
    if (block >= text_.size()) break;
    mask = BlockMask(block);
  }
  const std::size_t hit =
      mask ? block + static_cast<std::size_t>(CountTrailingZeros(mask)) : kNotFound;
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
