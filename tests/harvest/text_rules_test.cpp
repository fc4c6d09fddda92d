#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "harvest/files/file_names.h"
#include "harvest/files/stored_names.h"
#include "harvest/scan/url_encoding.h"
#include "harvest/text/page_decoding.h"

namespace pelmoa {
namespace {

struct EncodeCase {
  const char* name;
  const char* url;
  const char* wire;
};

void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class EncodeRequestUrlTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeRequestUrlTest, GoesOnTheWireAs) {
  EXPECT_EQ(EncodeRequestUrl(GetParam().url), GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, EncodeRequestUrlTest,
    ::testing::Values(
        EncodeCase{"Plain", "http://h/a.jpg", "http://h/a.jpg"},
        EncodeCase{"Space", "http://h/my photo.jpg", "http://h/my%20photo.jpg"},
        EncodeCase{"AmpEntity", "http://h/s.cgi?a=1&amp;b=2.jpg", "http://h/s.cgi?a=1&b=2.jpg"},
        EncodeCase{"NumericEntities", "http://h/?a&#38;b&#x26;c", "http://h/?a&b&c"},
        EncodeCase{"EntitiesInCapitals", "http://h/?a&AMP;b&#X26;c&Amp;d", "http://h/?a&b&c&d"},
        EncodeCase{"EscapesKept", "http://h/a%20b.jpg", "http://h/a%20b.jpg"},
        EncodeCase{"Japanese", "http://h/写真.jpg", "http://h/%E5%86%99%E7%9C%9F.jpg"},
        EncodeCase{"BareAmpersandKept", "http://h/?a=1&b=2", "http://h/?a=1&b=2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
  const char* name;
  std::string file_name;
  bool safe;
  bool safe_on_windows;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int k = 0; k < times; ++k) out += text;
  return out;
}

class IsSafeFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(IsSafeFileNameTest, RefusesNamesThatLeaveTheFolder) {
  const NameCase& c = GetParam();
#ifdef _WIN32
  EXPECT_EQ(IsSafeFileName(c.file_name), c.safe_on_windows);
#else
  EXPECT_EQ(IsSafeFileName(c.file_name), c.safe);
#endif
  // The Windows rules are checked on every platform.
  EXPECT_EQ(IsSafeWindowsFileName(c.file_name), c.safe_on_windows);
}

INSTANTIATE_TEST_SUITE_P(
    Names, IsSafeFileNameTest,
    ::testing::Values(
        NameCase{"Plain", "a.jpg", true, true}, NameCase{"Japanese", "写真.jpg", true, true},
        NameCase{"Query", "show.cgi?f=b.png", true, false}, NameCase{"Dot", ".", false, false},
        NameCase{"DotDot", "..", false, false},
        NameCase{"Backslash", "..\\..\\x.jpg", false, false},
        NameCase{"ControlCharacter", "a\x01.jpg", false, false},
        NameCase{"Delete", "a\x7f.jpg", false, false},
        NameCase{"Nul", std::string("a\0.jpg", 6), false, false},
        NameCase{"Longest", std::string(251, 'a') + ".jpg", true, true},
        NameCase{"TooLong", std::string(252, 'a') + ".jpg", false, false},
        // Windows counts UTF-16 units: 200 Japanese characters are 600 bytes but 200 units;
        // a character past U+FFFF is two units.
        NameCase{"JapaneseOf200", Repeat("写", 196) + ".jpg", false, true},
        NameCase{"JapaneseOf255", Repeat("写", 251) + ".jpg", false, true},
        NameCase{"JapaneseOf256", Repeat("写", 252) + ".jpg", false, false},
        NameCase{"SurrogatePairsOf256", Repeat("𠮷", 126) + ".jpg", false, false},
        // Windows: device names with any extension and any case, a name the system would
        // shorten, and the characters it reserves (":" would open an alternate stream).
        NameCase{"Device", "con", true, false},
        NameCase{"DeviceWithExtension", "NUL.jpg", true, false},
        NameCase{"NumberedDevice", "Com1.png", true, false},
        NameCase{"DeviceWithSpaceBeforeDot", "lpt9 .gif", true, false},
        NameCase{"Aux", "aux.png", true, false}, NameCase{"Prn", "PRN", true, false},
        NameCase{"ConsoleInput", "CONIN$.gif", true, false},
        NameCase{"DeviceNameInside", "console.jpg", true, true},
        NameCase{"TwoDigitPort", "COM10.jpg", true, true},
        NameCase{"TrailingDot", "a.jpg.", true, false},
        NameCase{"TrailingSpace", "a.jpg ", true, false},
        NameCase{"Colon", "a.jpg:zone", true, false}, NameCase{"Star", "*.jpg", true, false},
        NameCase{"Pipe", "a|b.jpg", true, false}, NameCase{"Quote", "\"a\".jpg", true, false},
        NameCase{"AngleBrackets", "<a>.jpg", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Images stored so far, each under the name it was given ("name@address": the name the
// reference gives), then the name an image of an address gets.
struct StoredNameCase {
  const char* name;
  std::vector<std::string> stored;
  const char* file_name;
  const char* address;
  const char* expected;
  const char* expected_on_windows = nullptr;  // where letter case does not tell names apart
};

void PrintTo(const StoredNameCase& c, std::ostream* os) { *os << c.name; }

class StoredNamesTest : public ::testing::TestWithParam<StoredNameCase> {};

TEST_P(StoredNamesTest, NoPictureIsLostToAName) {
  const StoredNameCase& c = GetParam();
  StoredNames names;
  for (const std::string& s : c.stored) {
    const std::string address = s.substr(s.find('@') + 1);
    names.Stored(names.NameFor(s.substr(0, s.find('@')), address), address);
  }
#ifdef _WIN32
  EXPECT_EQ(names.NameFor(c.file_name, c.address),
            c.expected_on_windows ? c.expected_on_windows : c.expected);
#else
  EXPECT_EQ(names.NameFor(c.file_name, c.address), c.expected);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Names, StoredNamesTest,
    ::testing::Values(
        StoredNameCase{"Free", {"b.jpg@/b"}, "a.jpg", "/a", "a.jpg"},
        StoredNameCase{"SameAddressKeepsItsName", {"a.jpg@/1/a"}, "a.jpg", "/1/a", "a.jpg"},
        StoredNameCase{"OtherAddressNumbered", {"a.jpg@/1/a"}, "a.jpg", "/2/a", "a (2).jpg"},
        StoredNameCase{"NextFreeNumber", {"a.jpg@/1", "a (2).jpg@/2"}, "a.jpg", "/3",
                       "a (3).jpg"},
        StoredNameCase{"ItsOwnNumberedName", {"a.jpg@/1", "a (2).jpg@/2"}, "a.jpg", "/2",
                       "a (2).jpg"},
        StoredNameCase{"EarlierAddressAfterOthers", {"a.jpg@/1", "a.jpg@/2", "a.jpg@/3"},
                       "a.jpg", "/1", "a.jpg"},
        StoredNameCase{"NumberAfterOthers", {"a.jpg@/1", "a.jpg@/2", "a (3).jpg@/x", "a.jpg@/3"},
                       "a.jpg", "/4", "a (5).jpg"},
        StoredNameCase{"BeforeTheLastDot", {"p.x.PNG@/1"}, "p.x.PNG", "/2", "p.x (2).PNG"},
        StoredNameCase{"NoDot", {"avatar@/1"}, "avatar", "/2", "avatar (2)"},
        StoredNameCase{"LetterCase", {"A.JPG@/1"}, "a.jpg", "/2", "a.jpg", "a (2).jpg"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodeCase {
  const char* name;
  std::string bytes;
  const char* content_type;
  std::string utf8;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodePageTest : public ::testing::TestWithParam<DecodeCase> {};

// The copying form and the moving one (which keeps a page needing no conversion in the
// buffer it arrived in) give the same text.
TEST_P(DecodePageTest, GivesUtf8) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodePage(std::string_view(c.bytes), c.content_type), c.utf8);
  EXPECT_EQ(DecodePage(std::string(c.bytes), c.content_type), c.utf8);
}

// 写真 in Shift_JIS and EUC-JP; U+FFFD in UTF-8.
const std::string kSjis = "\x8e\xca\x90\x5e";
const std::string kEuc = "\xbc\xcc\xbf\xbf";
const std::string kBad = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Charsets, DecodePageTest,
    ::testing::Values(
        DecodeCase{"Utf8Plain", "写真.jpg", "text/html", "写真.jpg"},
        DecodeCase{"Utf8Bom", "\xEF\xBB\xBF" "a", "text/html; charset=Shift_JIS", "a"},
        DecodeCase{"HeaderCharset", kSjis, "text/html; charset=Shift_JIS", "写真"},
        DecodeCase{"HeaderWinsOverMeta", "<meta charset=\"euc-jp\">" + kSjis,
                   "text/html; charset=Shift_JIS", "<meta charset=\"euc-jp\">写真"},
        DecodeCase{"MetaCharset", "<meta charset=\"euc-jp\">" + kEuc, "text/html",
                   "<meta charset=\"euc-jp\">写真"},
        DecodeCase{"MetaHttpEquiv",
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">" +
                       kSjis,
                   "", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">写真"},
        DecodeCase{"UnknownLabelFallsThrough", kSjis, "text/html; charset=no-such-thing", "写真"},
        DecodeCase{"NoLabelNotUtf8MeansShiftJis", kSjis, "", "写真"},
        DecodeCase{"BadBytesBecomeReplacement", "a\xff" "b", "text/html; charset=utf-8",
                   "a\xEF\xBF\xBD" "b"},
        DecodeCase{"PlainUtf8Tag", "<img src=\"\xe5\x86\x99.jpg\">", "text/html",
                   "<img src=\"\xe5\x86\x99.jpg\">"},
        DecodeCase{"ByteOrderMarkDropped", "\xEF\xBB\xBF<p>a</p>", "", "<p>a</p>"},
        // Read the other way round, "a" would be U+6100.
        DecodeCase{"Utf16LeByteOrderMark", std::string("\xFF\xFE" "a\0", 4), "", "a"},
        DecodeCase{"Utf16BeByteOrderMark", std::string("\xFE\xFF\0" "a", 4),
                   "text/html; charset=utf-8", "a"},
        DecodeCase{"DeclaredUtf8", "<p>\xe5\x86\x99</p>", "text/html; charset=UTF-8",
                   "<p>\xe5\x86\x99</p>"},
        DecodeCase{"Empty", "", "", ""},
        // The same text for the same bytes in every build (labels and decoders of the WHATWG
        // Encoding Standard).
        DecodeCase{"EucJpNecRow13", kEuc + "\xAD\xA1.jpg", "text/html; charset=EUC-JP",
                   "写真①.jpg"},
        DecodeCase{"EucJpWaveDash", "\xA1\xC1", "text/html; charset=euc-jp", "～"},
        DecodeCase{"EucJpJis0212", "\x8F\xB0\xA1", "text/html; charset=euc-jp", "丂"},
        DecodeCase{"Iso2022Jp", "\x1B$B<L??\x1B(B.jpg", "text/html; charset=iso-2022-jp",
                   "写真.jpg"},
        // Half-width katakana: the first, one inside and the last of the 63, in each form.
        DecodeCase{"EucJpHalfWidthKatakana", "\x8E\xA1\x8E\xB1\x8E\xDF\x8E\xE0",
                   "text/html; charset=euc-jp", "｡ｱﾟ" + kBad},
        DecodeCase{"ShiftJisHalfWidthKatakana", "\xA1\xB1\xDF", "text/html; charset=shift_jis",
                   "｡ｱﾟ"},
        DecodeCase{"Iso2022JpKatakana", "\x1B(I\x21\x31\x5F\x1B(B!", "text/html; charset=iso-2022-jp",
                   "｡ｱﾟ!"},
        // JIS X 0201 Roman: a yen sign and an overline where ASCII has \\ and ~.
        DecodeCase{"Iso2022JpRoman", "\x1B(J\\~a\x1B(B\\~", "text/html; charset=iso-2022-jp",
                   "¥‾a\\~"},
        DecodeCase{"ShiftJisBadLeadKeepsDot", "abc\x82.jpg", "text/html; charset=shift_jis",
                   "abc" + kBad + ".jpg"},
        DecodeCase{"ShiftJisBadLeadKeepsQuote", "<img src=\"a\x82\">", "",
                   "<img src=\"a" + kBad + "\">"},
        DecodeCase{"UjisIsUnknown", "<meta charset=\"euc-jp\">" + kEuc, "text/html; charset=ujis",
                   "<meta charset=\"euc-jp\">写真"},
        // Read as IBM's code page, 0x5C would be a yen sign.
        DecodeCase{"Cp943IsUnknown", kSjis + "\\", "text/html; charset=cp943", "写真\\"},
        DecodeCase{"Latin1IsWindows1252", "\x80\xE9", "text/html; charset=ISO-8859-1", "€é"},
        DecodeCase{"MetaUtf16MeansUtf8", "<meta charset=\"utf-16\">写", "",
                   "<meta charset=\"utf-16\">写"},
        DecodeCase{"Utf16Le", std::string("<\0p\0", 4), "text/html; charset=utf-16", "<p"},
        DecodeCase{"Utf16Be", std::string("\0<\xD8\x00", 4), "text/html; charset=utf-16be",
                   "<" + kBad},
        DecodeCase{"Replacement", "<img src=a.jpg>", "text/html; charset=iso-2022-kr", kBad},
        DecodeCase{"XUserDefined", "\x80", "text/html; charset=x-user-defined", "\uF780"},
        DecodeCase{"Gbk", "\xC4\xE3\x80", "text/html; charset=gb2312", "你€"},
        DecodeCase{"Gb18030FourBytes", "\x81\x30\x81\x30", "text/html; charset=gb18030", "\u0080"},
        DecodeCase{"Big5", "\xA4\x40\x88\x62\x88\x40", "text/html; charset=big5", "一Ê̄㇀"},
        DecodeCase{"EucKr", "\xB0\xA1", "text/html; charset=korean", "가"},
        DecodeCase{"Ibm866", "\x80", "text/html; charset=cp866", "А"},
        DecodeCase{"Iso8859_2", "\xA1", "text/html; charset=latin2", "Ą"},
        DecodeCase{"Iso8859_3", "\xA1", "text/html; charset=iso-8859-3", "Ħ"},
        DecodeCase{"Iso8859_4", "\xA2", "text/html; charset=iso-8859-4", "ĸ"},
        DecodeCase{"Iso8859_5", "\xB0", "text/html; charset=cyrillic", "А"},
        DecodeCase{"Iso8859_6", "\xC7", "text/html; charset=arabic", "ا"},
        DecodeCase{"Iso8859_7", "\xA4", "text/html; charset=greek", "€"},
        DecodeCase{"Iso8859_8", "\xE0\xFD", "text/html; charset=logical", "א\u200E"},
        DecodeCase{"Iso8859_10", "\xBD", "text/html; charset=latin6", "―"},
        DecodeCase{"Iso8859_13", "\xA1", "text/html; charset=iso-8859-13", "”"},
        DecodeCase{"Iso8859_14", "\xA1", "text/html; charset=iso-8859-14", "Ḃ"},
        DecodeCase{"Iso8859_15", "\xA4", "text/html; charset=l9", "€"},
        DecodeCase{"Iso8859_16", "\xAA", "text/html; charset=iso-8859-16", "Ș"},
        DecodeCase{"Koi8R", "\xC1", "text/html; charset=koi8-r", "а"},
        DecodeCase{"Koi8U", "\xAE", "text/html; charset=koi8-u", "ў"},
        DecodeCase{"Macintosh", "\x80", "text/html; charset=mac", "Ä"},
        DecodeCase{"XMacCyrillic", "\x80", "text/html; charset=x-mac-cyrillic", "А"},
        DecodeCase{"Windows874", "\xA1\xDB", "text/html; charset=tis-620", "ก" + kBad},
        DecodeCase{"Windows1250", "\x8A", "text/html; charset=cp1250", "Š"},
        DecodeCase{"Windows1251", "\xC0", "text/html; charset=windows-1251", "А"},
        DecodeCase{"Windows1253", "\xC1\xAA", "text/html; charset=windows-1253", "Α" + kBad},
        DecodeCase{"Windows1254", "\xD0", "text/html; charset=latin5", "Ğ"},
        DecodeCase{"Windows1255", "\xE0\xCA", "text/html; charset=windows-1255", "א\u05BA"},
        DecodeCase{"Windows1256", "\x8A", "text/html; charset=windows-1256", "ٹ"},
        DecodeCase{"Windows1257", "\xC0", "text/html; charset=windows-1257", "Ą"},
        DecodeCase{"Windows1258", "\xC3", "text/html; charset=windows-1258", "Ă"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
