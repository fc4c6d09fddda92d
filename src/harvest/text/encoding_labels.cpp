#include "harvest/text/encoding_labels.h"

#include <string>

namespace pelmoa {
namespace {

struct Labels {
  Encoding encoding;
  std::string_view labels;  // lower case, separated by single spaces
};

// Every label the WHATWG Encoding Standard lists, by encoding.
constexpr Labels kLabels[] = {
    {Encoding::kUtf8, "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
    {Encoding::kIbm866, "866 cp866 csibm866 ibm866"},
    {Encoding::kIso8859_2,
     "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {Encoding::kIso8859_3,
     "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {Encoding::kIso8859_4,
     "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {Encoding::kIso8859_5,
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 "
     "iso_8859-5:1988"},
    {Encoding::kIso8859_6,
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
     "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {Encoding::kIso8859_7,
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 "
     "iso_8859-7 iso_8859-7:1987 sun_eu_greek"},
    {Encoding::kIso8859_8,
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 "
     "iso_8859-8 iso_8859-8:1988 visual"},
    {Encoding::kIso8859_8I, "csiso88598i iso-8859-8-i logical"},
    {Encoding::kIso8859_10, "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {Encoding::kIso8859_13, "iso-8859-13 iso8859-13 iso885913"},
    {Encoding::kIso8859_14, "iso-8859-14 iso8859-14 iso885914"},
    {Encoding::kIso8859_15, "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {Encoding::kIso8859_16, "iso-8859-16"},
    {Encoding::kKoi8R, "cskoi8r koi koi8 koi8-r koi8_r"},
    {Encoding::kKoi8U, "koi8-ru koi8-u"},
    {Encoding::kMacintosh, "csmacintosh mac macintosh x-mac-roman"},
    {Encoding::kWindows874, "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {Encoding::kWindows1250, "cp1250 windows-1250 x-cp1250"},
    {Encoding::kWindows1251, "cp1251 windows-1251 x-cp1251"},
    {Encoding::kWindows1252,
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 "
     "iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {Encoding::kWindows1253, "cp1253 windows-1253 x-cp1253"},
    {Encoding::kWindows1254,
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 "
     "latin5 windows-1254 x-cp1254"},
    {Encoding::kWindows1255, "cp1255 windows-1255 x-cp1255"},
    {Encoding::kWindows1256, "cp1256 windows-1256 x-cp1256"},
    {Encoding::kWindows1257, "cp1257 windows-1257 x-cp1257"},
    {Encoding::kWindows1258, "cp1258 windows-1258 x-cp1258"},
    {Encoding::kXMacCyrillic, "x-mac-cyrillic x-mac-ukrainian"},
    {Encoding::kGbk,
     "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
    {Encoding::kGb18030, "gb18030"},
    {Encoding::kBig5, "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {Encoding::kEucJp, "cseucpkdfmtjapanese euc-jp x-euc-jp"},
    {Encoding::kIso2022Jp, "csiso2022jp iso-2022-jp"},
    {Encoding::kShiftJis, "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"},
    {Encoding::kEucKr,
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 "
     "ksc_5601 windows-949"},
    {Encoding::kReplacement,
     "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement"},
    {Encoding::kUtf16Be, "unicodefffe utf-16be"},
    {Encoding::kUtf16Le, "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
    {Encoding::kXUserDefined, "x-user-defined"},
};

bool IsAsciiWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

}  // namespace

std::optional<Encoding> EncodingForLabel(std::string_view label) {
  while (!label.empty() && IsAsciiWhitespace(label.front())) label.remove_prefix(1);
  while (!label.empty() && IsAsciiWhitespace(label.back())) label.remove_suffix(1);
  // A label holds no space, so an empty or spaced one can never match a whole entry.
  if (label.empty()) return std::nullopt;
  std::string lower(label);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  for (const Labels& entry : kLabels) {
    std::string_view rest = entry.labels;
    while (!rest.empty()) {
      const std::size_t space = rest.find(' ');
      if (rest.substr(0, space) == lower) return entry.encoding;
      rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
  }
  return std::nullopt;
}

}  // namespace pelmoa
