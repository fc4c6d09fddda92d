#include "harvest/text/text_search.h"

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
  SetNeedle(0, needle);
}

TextFinder::TextFinder(std::string_view text, std::string_view needle, std::string_view other)
    : text_(text) {
  SetNeedle(0, needle);
  SetNeedle(1, other);
  // An empty needle would match everywhere; one needle alone is the plain finder.
  needles_ = other.empty() ? 1 : 2;
}

void TextFinder::SetNeedle(std::size_t j, std::string_view needle) {
  needle_[j].reserve(needle.size());
  fold_[j].reserve(needle.size());
  for (char c : needle) {
    const auto u = static_cast<unsigned char>(c);
    needle_[j].push_back(static_cast<char>(ToLowerAscii(u)));
    fold_[j].push_back(static_cast<char>(IsLetter(u) ? 0x20 : 0));
  }
}

std::uint64_t TextFinder::MatchMaskSlow(std::size_t block) const {
  std::uint64_t mask = 0;
  const std::size_t end = std::min(text_.size(), block + kBlock);
  for (std::size_t at = block; at < end; ++at) {
    for (std::size_t j = 0; j < needles_; ++j) {
      if (MatchesAt(text_, at, needle_[j], 0)) mask |= std::uint64_t{1} << (at - block);
    }
  }
  return mask;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
namespace {

// One block with 32-byte compares, for processors that have them (checked at run time, so
// the program still runs on any x86-64). With two needles each load serves both.
template <std::size_t N>
__attribute__((target("avx2"))) void WideMasksAvx2(const char* base, const std::string* needle,
                                                   const std::string* fold,
                                                   const std::size_t* wide, std::uint64_t* mask) {
  const std::size_t widest = N == 1 ? wide[0] : std::max(wide[0], wide[N - 1]);
  for (std::size_t lane = 0; lane < kBlock; lane += 32) {
    __m256i all[N];
    for (std::size_t j = 0; j < N; ++j) all[j] = _mm256_set1_epi8(-1);
    for (std::size_t k = 0; k < widest; ++k) {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + lane + k));
      for (std::size_t j = 0; j < N; ++j) {
        if (k >= wide[j]) continue;
        const __m256i folded = _mm256_or_si256(bytes, _mm256_set1_epi8(fold[j][k]));
        all[j] = _mm256_and_si256(all[j], _mm256_cmpeq_epi8(folded, _mm256_set1_epi8(needle[j][k])));
      }
    }
    for (std::size_t j = 0; j < N; ++j) {
      mask[j] |= static_cast<std::uint64_t>(
                     static_cast<std::uint32_t>(_mm256_movemask_epi8(all[j])))
                 << lane;
    }
  }
}

// The first block at or after `block` (and before `end`) in which a needle's wide bytes
// match anywhere, without leaving the loop for blocks where nothing does: a needle that is
// rare in a page then costs one tight pass over it.
template <std::size_t N>
__attribute__((target("avx2"))) std::size_t SkipQuietBlocksAvx2(
    const char* text, std::size_t block, std::size_t end, const std::string* needle,
    const std::string* fold, const std::size_t* wide) {
  __m256i want[N][kWideBytes];
  __m256i bits[N][kWideBytes];
  for (std::size_t j = 0; j < N; ++j) {
    for (std::size_t k = 0; k < wide[j]; ++k) {
      want[j][k] = _mm256_set1_epi8(needle[j][k]);
      bits[j][k] = _mm256_set1_epi8(fold[j][k]);
    }
  }
  for (; block < end; block += kBlock) {
    __m256i any = _mm256_setzero_si256();
    for (std::size_t lane = 0; lane < kBlock; lane += 32) {
      for (std::size_t j = 0; j < N; ++j) {
        __m256i all = _mm256_set1_epi8(-1);
        for (std::size_t k = 0; k < wide[j]; ++k) {
          const __m256i bytes =
              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + block + lane + k));
          all = _mm256_and_si256(
              all, _mm256_cmpeq_epi8(_mm256_or_si256(bytes, bits[j][k]), want[j][k]));
        }
        any = _mm256_or_si256(any, all);
      }
    }
    if (!_mm256_testz_si256(any, any)) return block;
  }
  return block;
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
  return needles_ == 1 ? MatchMaskOf<1>(block) : MatchMaskOf<2>(block);
}

std::size_t TextFinder::SkipQuietBlocks(std::size_t block) const {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (!HaveAvx2()) return block;
  std::size_t wide[2] = {};
  std::size_t widest = 0;
  for (std::size_t j = 0; j < needles_; ++j) {
    wide[j] = std::min(needle_[j].size(), kWideBytes);
    widest = std::max(widest, wide[j]);
  }
  // Blocks whose wide loop would read past the text are left to MatchMask.
  if (text_.size() < kBlock + widest - 1) return block;
  const std::size_t last = text_.size() - (kBlock + widest - 1);
  const std::size_t end = last - last % kBlock + kBlock;
  if (block >= end) return block;
  return needles_ == 1
             ? SkipQuietBlocksAvx2<1>(text_.data(), block, end, needle_, fold_, wide)
             : SkipQuietBlocksAvx2<2>(text_.data(), block, end, needle_, fold_, wide);
#else
  return block;
#endif
}

template <std::size_t N>
std::uint64_t TextFinder::MatchMaskOf(std::size_t block) const {
#if defined(__SSE2__)
  std::size_t wide[N];
  std::size_t widest = 0;
  for (std::size_t j = 0; j < N; ++j) {
    wide[j] = std::min(needle_[j].size(), kWideBytes);
    widest = std::max(widest, wide[j]);
  }
  // The wide loop reads up to widest - 1 bytes past the block; near the end of the text the
  // plain loop takes over.
  if (block + kBlock + widest - 1 > text_.size()) return MatchMaskSlow(block);
  const char* base = text_.data() + block;
  std::uint64_t masks[N] = {};
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (HaveAvx2()) {
    WideMasksAvx2<N>(base, needle_, fold_, wide, masks);
  } else
#endif
  {
    for (std::size_t lane = 0; lane < kBlock; lane += 16) {
      for (std::size_t j = 0; j < N; ++j) {
        __m128i all = _mm_set1_epi8(-1);
        for (std::size_t k = 0; k < wide[j]; ++k) {
          const __m128i bytes =
              _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + lane + k));
          const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(fold_[j][k]));
          all = _mm_and_si128(all, _mm_cmpeq_epi8(folded, _mm_set1_epi8(needle_[j][k])));
        }
        masks[j] |=
            static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(all)))
            << lane;
      }
    }
  }
  std::uint64_t mask = 0;
  for (std::size_t j = 0; j < N; ++j) {
    if (needle_[j].size() > wide[j]) {
      for (std::uint64_t m = masks[j]; m; m &= m - 1) {
        const int b = CountTrailingZeros(m);
        if (!MatchesAt(text_, block + static_cast<std::size_t>(b), needle_[j], wide[j])) {
          masks[j] &= ~(std::uint64_t{1} << b);
        }
      }
    }
    mask |= masks[j];
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
  if (needle_[0].empty() || from >= text_.size()) return kNotFound;
  // The last answer is also the first occurrence at or after any from in [last_from_, last_hit_].
  if (last_from_ != kNotFound && from >= last_from_ && from <= last_hit_) return last_hit_;
  std::size_t block = from - from % kBlock;
  std::uint64_t mask = BlockMask(block) & (~std::uint64_t{0} << (from - block));
  while (mask == 0) {
    block = SkipQuietBlocks(block + kBlock);
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
