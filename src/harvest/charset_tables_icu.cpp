#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "harvest/charset_tables.h"

namespace pelmoa {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Opened by ICU's own names, never through its aliases: which table a label means is the
// label table's decision, not ICU's. The Windows build carries only these converters' data
// (scripts/windows/deps lists the same names).
Converter Open(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter c(ucnv_open(name, &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  return c;
}

// The character of one byte sequence, or 0 when the converter has none.
char32_t CharacterOf(UConverter* c, const char* bytes, int length) {
  UChar units[4];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(c, units, 4, bytes, length, &status);
  if (U_FAILURE(status)) return 0;
  if (n == 1 && !U16_IS_SURROGATE(units[0])) return units[0];
  if (n == 2 && U16_IS_LEAD(units[0]) && U16_IS_TRAIL(units[1])) {
    return U16_GET_SUPPLEMENTARY(units[0], units[1]);
  }
  return 0;
}

// A table of byte sequences: bytes_of writes the bytes of a pointer and says how many.
template <typename BytesOf>
std::vector<char32_t> BuildIndex(const char* converter, std::size_t size, BytesOf bytes_of,
                                 bool private_use_is_none = true) {
  std::vector<char32_t> index(size, 0);
  const Converter c = Open(converter);
  if (!c) return index;
  for (std::size_t pointer = 0; pointer < size; ++pointer) {
    char bytes[4];
    const int length = bytes_of(pointer, bytes);
    const char32_t ch = CharacterOf(c.get(), bytes, length);
    // ICU gives a vendor's user-defined area as private-use characters where the standard
    // has no character (Shift_JIS's own area is the decoder's rule, not the table's).
    index[pointer] = private_use_is_none && ch >= 0xE000 && ch <= 0xF8FF ? 0 : ch;
  }
  return index;
}

char Byte(std::size_t value) { return static_cast<char>(static_cast<unsigned char>(value)); }

struct SingleByteSource {
  Encoding encoding;
  const char* converter;  // nullptr: ISO-8859-1 with the changes below
};
constexpr SingleByteSource kSingleByteSources[] = {
    {Encoding::kIbm866, "ibm-866_P100-1995"},       {Encoding::kIso8859_2, "ibm-912_P100-1995"},
    {Encoding::kIso8859_3, "ibm-913_P100-2000"},    {Encoding::kIso8859_4, "ibm-914_P100-1995"},
    {Encoding::kIso8859_5, "ibm-915_P100-1995"},    {Encoding::kIso8859_6, "ibm-1089_P100-1995"},
    {Encoding::kIso8859_7, "ibm-9005_X110-2007"},   {Encoding::kIso8859_8, "ibm-5012_P100-1999"},
    {Encoding::kIso8859_8I, "ibm-5012_P100-1999"},  {Encoding::kIso8859_10, "iso-8859_10-1998"},
    {Encoding::kIso8859_13, "ibm-921_P100-1995"},   {Encoding::kIso8859_14, "iso-8859_14-1998"},
    {Encoding::kIso8859_15, "ibm-923_P100-1998"},   {Encoding::kIso8859_16, nullptr},
    {Encoding::kKoi8R, "ibm-878_P100-1996"},        {Encoding::kKoi8U, "ibm-1168_P100-2002"},
    {Encoding::kMacintosh, "macos-0_2-10.2"},       {Encoding::kWindows874, "windows-874-2000"},
    {Encoding::kWindows1250, "ibm-5346_P100-1998"}, {Encoding::kWindows1251, "ibm-5347_P100-1998"},
    {Encoding::kWindows1252, "ibm-5348_P100-1997"}, {Encoding::kWindows1253, "ibm-5349_P100-1998"},
    {Encoding::kWindows1254, "ibm-5350_P100-1998"}, {Encoding::kWindows1255, "ibm-9447_P100-2002"},
    {Encoding::kWindows1256, "ibm-9448_X100-2005"}, {Encoding::kWindows1257, "ibm-9449_P100-2002"},
    {Encoding::kWindows1258, "ibm-5354_P100-1998"}, {Encoding::kXMacCyrillic, "macos-7_3-10.2"},
};
constexpr std::size_t kSingleByteCount = std::size(kSingleByteSources);

struct Change {
  Encoding encoding;
  unsigned char byte;
  char16_t character;  // 0: none
};
// Where the standard's index differs from ICU's table (ISO-8859-16: from ISO-8859-1).
constexpr Change kChanges[] = {
    {Encoding::kKoi8U, 0xAE, 0x045E},      {Encoding::kKoi8U, 0xBE, 0x040E},
    {Encoding::kWindows874, 0xDB, 0},      {Encoding::kWindows874, 0xDC, 0},
    {Encoding::kWindows874, 0xDD, 0},      {Encoding::kWindows874, 0xDE, 0},
    {Encoding::kWindows874, 0xFC, 0},      {Encoding::kWindows874, 0xFD, 0},
    {Encoding::kWindows874, 0xFE, 0},      {Encoding::kWindows874, 0xFF, 0},
    {Encoding::kWindows1253, 0xAA, 0},     {Encoding::kWindows1255, 0xCA, 0x05BA},
    {Encoding::kIso8859_16, 0xA1, 0x0104}, {Encoding::kIso8859_16, 0xA2, 0x0105},
    {Encoding::kIso8859_16, 0xA3, 0x0141}, {Encoding::kIso8859_16, 0xA4, 0x20AC},
    {Encoding::kIso8859_16, 0xA5, 0x201E}, {Encoding::kIso8859_16, 0xA6, 0x0160},
    {Encoding::kIso8859_16, 0xA8, 0x0161}, {Encoding::kIso8859_16, 0xAA, 0x0218},
    {Encoding::kIso8859_16, 0xAC, 0x0179}, {Encoding::kIso8859_16, 0xAE, 0x017A},
    {Encoding::kIso8859_16, 0xAF, 0x017B}, {Encoding::kIso8859_16, 0xB2, 0x010C},
    {Encoding::kIso8859_16, 0xB3, 0x0142}, {Encoding::kIso8859_16, 0xB4, 0x017D},
    {Encoding::kIso8859_16, 0xB5, 0x201D}, {Encoding::kIso8859_16, 0xB8, 0x017E},
    {Encoding::kIso8859_16, 0xB9, 0x010D}, {Encoding::kIso8859_16, 0xBA, 0x0219},
    {Encoding::kIso8859_16, 0xBC, 0x0152}, {Encoding::kIso8859_16, 0xBD, 0x0153},
    {Encoding::kIso8859_16, 0xBE, 0x0178}, {Encoding::kIso8859_16, 0xBF, 0x017C},
    {Encoding::kIso8859_16, 0xC3, 0x0102}, {Encoding::kIso8859_16, 0xC5, 0x0106},
    {Encoding::kIso8859_16, 0xD0, 0x0110}, {Encoding::kIso8859_16, 0xD1, 0x0143},
    {Encoding::kIso8859_16, 0xD5, 0x0150}, {Encoding::kIso8859_16, 0xD7, 0x015A},
    {Encoding::kIso8859_16, 0xD8, 0x0170}, {Encoding::kIso8859_16, 0xDD, 0x0118},
    {Encoding::kIso8859_16, 0xDE, 0x021A}, {Encoding::kIso8859_16, 0xE3, 0x0103},
    {Encoding::kIso8859_16, 0xE5, 0x0107}, {Encoding::kIso8859_16, 0xF0, 0x0111},
    {Encoding::kIso8859_16, 0xF1, 0x0144}, {Encoding::kIso8859_16, 0xF5, 0x0151},
    {Encoding::kIso8859_16, 0xF7, 0x015B}, {Encoding::kIso8859_16, 0xF8, 0x0171},
    {Encoding::kIso8859_16, 0xFD, 0x0119}, {Encoding::kIso8859_16, 0xFE, 0x021B},
};

using SingleByteTables = std::array<std::array<char32_t, 128>, kSingleByteCount>;

SingleByteTables BuildSingleByteTables() {
  SingleByteTables tables{};
  for (std::size_t k = 0; k < kSingleByteCount; ++k) {
    const SingleByteSource& source = kSingleByteSources[k];
    const Converter c = source.converter ? Open(source.converter) : nullptr;
    for (std::size_t b = 0; b < 128; ++b) {
      const char byte = Byte(0x80 + b);
      tables[k][b] = source.converter ? (c ? CharacterOf(c.get(), &byte, 1) : 0) : 0x80 + b;
    }
    for (const Change& change : kChanges) {
      if (change.encoding == source.encoding) tables[k][change.byte - 0x80] = change.character;
    }
  }
  return tables;
}

}  // namespace

const std::vector<char32_t>& Jis0208Index() {
  static const std::vector<char32_t> index =
      BuildIndex("ibm-943_P15A-2003", 60 * 188, [](std::size_t p, char* b) {
        const std::size_t lead = p / 188;
        const std::size_t trail = p % 188;
        b[0] = Byte(lead < 0x1F ? 0x81 + lead : 0xC1 + lead);
        b[1] = Byte(trail < 0x3F ? 0x40 + trail : 0x41 + trail);
        return 2;
      });
  return index;
}

const std::vector<char32_t>& Jis0212Index() {
  // Rows from 0x73 on hold IBM's extensions, which the standard's table leaves out.
  static const std::vector<char32_t> index =
      BuildIndex("euc-jp-2007", (0x73 - 0x21) * 94, [](std::size_t p, char* b) {
        b[0] = '\x8F';
        b[1] = Byte(0xA1 + p / 94);
        b[2] = Byte(0xA1 + p % 94);
        return 3;
      });
  return index;
}

const std::vector<char32_t>& EucKrIndex() {
  static const std::vector<char32_t> index =
      BuildIndex("windows-949-2000", 126 * 190, [](std::size_t p, char* b) {
        b[0] = Byte(0x81 + p / 190);
        b[1] = Byte(0x41 + p % 190);
        return 2;
      });
  return index;
}

const std::vector<char32_t>& Big5Index() {
  static const std::vector<char32_t> index =
      BuildIndex("ibm-1375_P100-2008", 126 * 157, [](std::size_t p, char* b) {
        const std::size_t trail = p % 157;
        b[0] = Byte(0x81 + p / 157);
        b[1] = Byte(trail < 0x3F ? 0x40 + trail : 0x62 + trail);
        return 2;
      });
  return index;
}

const std::array<char32_t, 128>& SingleByteIndex(Encoding encoding) {
  static const SingleByteTables tables = BuildSingleByteTables();
  for (std::size_t k = 0; k < kSingleByteCount; ++k) {
    if (kSingleByteSources[k].encoding == encoding) return tables[k];
  }
  static const std::array<char32_t, 128> none{};
  return none;
}

const std::vector<char32_t>& Gb18030Index() {
  static const std::vector<char32_t> index = [] {
    std::vector<char32_t> two = BuildIndex(
        "gb18030", 126 * 190,
        [](std::size_t p, char* b) {
          const std::size_t trail = p % 190;
          b[0] = Byte(0x81 + p / 190);
          b[1] = Byte(trail < 0x3F ? 0x40 + trail : 0x41 + trail);
          return 2;
        },
        false);
    // GB18030-2022 gave these characters of their own; ICU 72 still has GB18030-2005's
    // private-use ones.
    const std::pair<std::size_t, char32_t> changes[] = {
        {0xA3A0, 0x3000}, {0xA6D9, 0xFE10}, {0xA6DA, 0xFE12}, {0xA6DB, 0xFE11}, {0xA6DC, 0xFE13},
        {0xA6DD, 0xFE14}, {0xA6DE, 0xFE15}, {0xA6DF, 0xFE16}, {0xA6EC, 0xFE17}, {0xA6ED, 0xFE18},
        {0xA6F3, 0xFE19}, {0xFE59, 0x9FB4}, {0xFE61, 0x9FB5}, {0xFE66, 0x9FB6}, {0xFE67, 0x9FB7},
        {0xFE6D, 0x9FB8}, {0xFE7E, 0x9FB9}, {0xFE90, 0x9FBA}, {0xFEA0, 0x9FBB},
    };
    for (const auto& [bytes, character] : changes) {
      const std::size_t trail = bytes & 0xFF;
      two[((bytes >> 8) - 0x81) * 190 + trail - (trail < 0x7F ? 0x40 : 0x41)] = character;
    }
    return two;
  }();
  return index;
}

const std::vector<char32_t>& Gb18030FourByteIndex() {
  static const std::vector<char32_t> index = BuildIndex(
      "gb18030", 39420,
      [](std::size_t p, char* b) {
        b[0] = Byte(0x81 + p / 12600);
        b[1] = Byte(0x30 + p / 1260 % 10);
        b[2] = Byte(0x81 + p / 10 % 126);
        b[3] = Byte(0x30 + p % 10);
        return 4;
      },
      false);
  return index;
}

}  // namespace pelmoa
