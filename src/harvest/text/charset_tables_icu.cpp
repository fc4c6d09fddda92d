#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "harvest/text/charset_tables.h"

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
  static const std::vector<char32_t> index = [] {
    std::vector<char32_t> big5 =
        BuildIndex("ibm-1375_P100-2008", 126 * 157, [](std::size_t p, char* b) {
          const std::size_t trail = p % 157;
          b[0] = Byte(0x81 + p / 157);
          b[1] = Byte(trail < 0x3F ? 0x40 + trail : 0x62 + trail);
          return 2;
        });
    const auto set = [&big5](std::size_t bytes, char32_t character) {
      const std::size_t trail = bytes & 0xFF;
      big5[((bytes >> 8) - 0x81) * 157 + trail - (trail < 0x7F ? 0x40 : 0x62)] = character;
    };
    // Cells where the standard's index has a character and ICU's table none or a private-use
    // one: the control pictures, CJK strokes, ideographs Unicode added later, and duplicates
    // the standard maps to the unified ideograph.
    for (std::size_t b = 0; b < 32; ++b) set(0xA3C0 + b, 0x2400 + b);
    const std::pair<std::size_t, char32_t> changes[] = {
        {0x87A4, 0x9F97}, {0x87AC, 0x9F96}, {0x8840, 0x31C0}, {0x8841, 0x31C1}, {0x8842, 0x31C2},
        {0x8843, 0x31C3}, {0x8844, 0x31C4}, {0x8846, 0x31C5}, {0x8849, 0x31C6}, {0x884A, 0x31C7},
        {0x884D, 0x31C8}, {0x884F, 0x31C9}, {0x8850, 0x31CA}, {0x8851, 0x31CB}, {0x8852, 0x31CC},
        {0x8854, 0x31CD}, {0x8855, 0x31CE}, {0x88A9, 0x23DA}, {0x88AA, 0x23DB}, {0x8C43, 0x9FA6},
        {0x8C6D, 0x9FA7}, {0x8C74, 0x9FA8}, {0x8CB7, 0x9FA9}, {0x8CB9, 0x9FAA}, {0x8CBB, 0x9FAB},
        {0x8CC0, 0x9FAC}, {0x8CD7, 0x9FAD}, {0x8CD8, 0x9FAE}, {0x8CDA, 0x9FAF}, {0x8CED, 0x9FB2},
        {0x8D48, 0x9FB3}, {0x8E69, 0x7BB8}, {0x8E6F, 0x7C06}, {0x8E7E, 0x7CCE}, {0x8EAB, 0x7DD2},
        {0x8EB4, 0x7E1D}, {0x8ECD, 0x8005}, {0x8ED0, 0x8028}, {0x8F57, 0x83C1}, {0x8F69, 0x84A8},
        {0x8F6E, 0x840F}, {0x8FCB, 0x89A6}, {0x8FCC, 0x89A9}, {0x8FFE, 0x8D77}, {0x906D, 0x90FD},
        {0x907A, 0x92B9}, {0x90DC, 0x975C}, {0x90F1, 0x97FF}, {0x91BF, 0x9F16}, {0x9244, 0x8503},
        {0x92AF, 0x5159}, {0x92B0, 0x515B}, {0x92B1, 0x515D}, {0x92B2, 0x515E}, {0x92C8, 0x936E},
        {0x92D1, 0x7479}, {0x9447, 0x6D67}, {0x94CA, 0x799B}, {0x95D9, 0x9097}, {0x9644, 0x975D},
        {0x96ED, 0x701E}, {0x96FC, 0x5B28}, {0x9B76, 0x7201}, {0x9B78, 0x77D7}, {0x9B7B, 0x7E87},
        {0x9BC6, 0x99D6}, {0x9BDE, 0x91D4}, {0x9BEC, 0x60DE}, {0x9BF6, 0x6FB6}, {0x9C42, 0x8F36},
        {0x9C53, 0x4FBB}, {0x9C62, 0x71DF}, {0x9C68, 0x9104}, {0x9C6B, 0x9DF0}, {0x9C77, 0x83CF},
        {0x9CBC, 0x5C10}, {0x9CBD, 0x79E3}, {0x9CD0, 0x5A67}, {0x9D57, 0x8F0B}, {0x9D5A, 0x7B51},
        {0x9DC4, 0x62D0}, {0x9EA9, 0x6062}, {0x9EEF, 0x75F9}, {0x9EFD, 0x6C4A}, {0x9F60, 0x9B2E},
        {0x9F66, 0x9F17}, {0x9FCB, 0x50ED}, {0x9FD8, 0x5F0C}, {0xA063, 0x880F}, {0xA077, 0x62CE},
        {0xA0D5, 0x7468}, {0xA0DF, 0x7162}, {0xA0E4, 0x7250}, {0xA3E0, 0x2421}, {0xC6CF, 0x5EF4},
        {0xC6D3, 0x65E0}, {0xC6D5, 0x7676}, {0xC6D7, 0x96B6}, {0xC6DE, 0x3003}, {0xC6DF, 0x4EDD},
        {0xC879, 0x31CF}, {0xC8A1, 0x9FB0}, {0xC8A3, 0x9FB1}, {0xFA5F, 0x5029}, {0xFA66, 0x507D},
        {0xFABD, 0x5305}, {0xFAC5, 0x5344}, {0xFAD5, 0x537F}, {0xFB48, 0x5605}, {0xFBB8, 0x5A77},
        {0xFBF3, 0x5E75}, {0xFBF9, 0x5ED0}, {0xFC4F, 0x5F58}, {0xFC6C, 0x60A4}, {0xFCB9, 0x6490},
        {0xFCE2, 0x6674}, {0xFCF1, 0x675E}, {0xFDB7, 0x6C9C}, {0xFDB8, 0x6E1D}, {0xFDBB, 0x6E2F},
        {0xFDF1, 0x716E}, {0xFE52, 0x732A}, {0xFE6F, 0x745C}, {0xFEAA, 0x74E9}, {0xFEDD, 0x7809},
    };
    for (const auto& [bytes, character] : changes) set(bytes, character);
    return big5;
  }();
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
