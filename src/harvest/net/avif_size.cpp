// The size of an AVIF picture: the ispe property of its primary item, found through the
// boxes of the ISO media file that carries it (ftyp, then meta with pitm, iprp/ipco and
// iprp/ipma). A grid picture's primary item is the grid, whose ispe is the whole picture's,
// not a tile's.

#include <cstdint>
#include <optional>
#include <vector>

#include "harvest/net/image_header_bytes.h"
#include "harvest/net/image_size.h"

namespace pelmoa {
namespace {

using namespace header_bytes;
using Reading = ImageSizeReading;

constexpr Reading kNeedMore{Reading::kNeedMore};
constexpr Reading kNone{Reading::kNone};

struct Box {
  std::string_view type;
  std::size_t body = 0;  // offset of the body in the bytes read
  std::size_t end = 0;   // offset just past the box
};

enum class Step { kBox, kEnd, kNeedMore, kDamaged };

// The box at `at` inside [at, limit) of s: its header must be in s, its body need not.
Step NextBox(std::string_view s, std::size_t at, std::size_t limit, Box& box) {
  if (at == limit) return Step::kEnd;
  if (limit - at < 8) return Step::kDamaged;
  if (s.size() < at + 8) return Step::kNeedMore;
  std::uint64_t size = Be32(s, at);
  std::size_t header = 8;
  if (size == 1) {
    if (limit - at < 16) return Step::kDamaged;
    if (s.size() < at + 16) return Step::kNeedMore;
    size = std::uint64_t{Be32(s, at + 8)} << 32 | Be32(s, at + 12);
    header = 16;
  } else if (size == 0) {
    size = limit - at;  // to the end of what holds it
  }
  if (size < header || size > limit - at) return Step::kDamaged;
  box = {s.substr(at + 4, 4), at + header, at + static_cast<std::size_t>(size)};
  return Step::kBox;
}

// The boxes of the meta box that name the primary item's size.
struct Meta {
  std::optional<std::uint32_t> primary;
  std::vector<Box> properties;  // ipco's children, property index 1 first
  std::vector<std::uint32_t> primary_properties;
  bool have_ipco = false;
  bool have_ipma = false;
};

bool FtypIsAvif(std::string_view s, const Box& ftyp) {
  // Major brand, minor version, then compatible brands, four bytes each.
  for (std::size_t at = ftyp.body; at + 4 <= ftyp.end; at += at == ftyp.body ? 8 : 4) {
    const std::string_view brand = s.substr(at, 4);
    if (brand == "avif" || brand == "avis") return true;
  }
  return false;
}

bool ReadPitm(std::string_view s, const Box& b, Meta& meta) {
  if (b.end - b.body < 6) return false;
  const bool wide = Byte(s, b.body) != 0;
  if (wide && b.end - b.body < 8) return false;
  meta.primary = wide ? Be32(s, b.body + 4) : Be16(s, b.body + 4);
  return true;
}

bool ReadIpco(std::string_view s, const Box& b, Meta& meta) {
  for (std::size_t at = b.body;;) {
    Box child;
    const Step step = NextBox(s, at, b.end, child);
    if (step == Step::kEnd) break;
    if (step != Step::kBox) return false;
    meta.properties.push_back(child);
    at = child.end;
  }
  meta.have_ipco = true;
  return true;
}

// Only the primary item's associations are kept; it must be known first (pitm comes before
// iprp in every file the format's writers make).
bool ReadIpma(std::string_view s, const Box& b, Meta& meta) {
  if (!meta.primary || b.end - b.body < 8) return false;
  const std::uint32_t version = Byte(s, b.body);
  const bool wide_index = (Byte(s, b.body + 3) & 1) != 0;
  const std::uint32_t entries = Be32(s, b.body + 4);
  std::size_t at = b.body + 8;
  for (std::uint32_t e = 0; e < entries; ++e) {
    const std::size_t id_bytes = version < 1 ? 2 : 4;
    if (b.end - at < id_bytes + 1) return false;
    const std::uint32_t item = version < 1 ? Be16(s, at) : Be32(s, at);
    const std::uint32_t count = Byte(s, at + id_bytes);
    at += id_bytes + 1;
    const std::size_t each = wide_index ? 2 : 1;
    if (b.end - at < count * each) return false;
    for (std::uint32_t k = 0; k < count; ++k, at += each) {
      const std::uint32_t index = wide_index ? Be16(s, at) & 0x7fff : Byte(s, at) & 0x7f;
      if (item == *meta.primary && index != 0) meta.primary_properties.push_back(index);
    }
  }
  meta.have_ipma = true;
  return true;
}

// The children of meta (a full box: version and flags first), and those of iprp.
Reading ReadMeta(std::string_view s, const Box& meta_box) {
  if (meta_box.end - meta_box.body < 4) return kNone;
  Meta meta;
  std::vector<Box> containers{meta_box};
  std::size_t at = meta_box.body + 4;
  std::size_t limit = meta_box.end;
  for (;;) {
    if (meta.have_ipco && meta.have_ipma) break;
    Box box;
    const Step step = NextBox(s, at, limit, box);
    if (step == Step::kNeedMore) return kNeedMore;
    if (step == Step::kDamaged) return kNone;
    if (step == Step::kEnd) {
      // The end of iprp goes on with the rest of meta.
      if (containers.size() == 1) return kNone;
      at = containers.back().end;
      containers.pop_back();
      limit = containers.back().end;
      continue;
    }
    if (box.type == "iprp") {
      containers.push_back(box);
      at = box.body;
      limit = box.end;
      continue;
    }
    const bool wanted = box.type == "pitm" || (containers.size() == 2 &&
                                                (box.type == "ipco" || box.type == "ipma"));
    if (wanted && s.size() < box.end) return kNeedMore;
    if (box.type == "pitm" && !ReadPitm(s, box, meta)) return kNone;
    if (wanted && box.type == "ipco" && !ReadIpco(s, box, meta)) return kNone;
    if (wanted && box.type == "ipma" && !ReadIpma(s, box, meta)) return kNone;
    at = box.end;
  }
  for (std::uint32_t index : meta.primary_properties) {
    if (index > meta.properties.size()) return kNone;
    const Box& p = meta.properties[index - 1];
    if (p.type != "ispe") continue;
    // A full box: version and flags, then the width and the height.
    if (p.end - p.body < 12) return kNone;
    return Reading::Known(Be32(s, p.body + 4), Be32(s, p.body + 8));
  }
  return kNone;
}

}  // namespace

ImageSizeReading ReadAvifSize(std::string_view s) {
  if (MatchAt(s, 4, "ftyp") == Match::kNo) return kNone;
  // The file's length is not known while it arrives; the top-level boxes may run as far as
  // any size says.
  constexpr std::size_t kUnbounded = SIZE_MAX / 2;
  Box ftyp;
  const Step first = NextBox(s, 0, kUnbounded, ftyp);
  if (first == Step::kNeedMore) return kNeedMore;
  if (first != Step::kBox || ftyp.type != "ftyp") return kNone;
  if (s.size() < ftyp.end) return kNeedMore;
  if (!FtypIsAvif(s, ftyp)) return kNone;
  for (std::size_t at = ftyp.end;;) {
    Box box;
    const Step step = NextBox(s, at, kUnbounded, box);
    if (step == Step::kNeedMore) return kNeedMore;
    if (step != Step::kBox) return kNone;
    if (box.type == "meta") return ReadMeta(s, box);
    at = box.end;
  }
}

}  // namespace pelmoa
