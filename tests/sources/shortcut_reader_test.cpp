#include "sources/shortcut_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmoa {
namespace {

struct ShortcutCase {
  const char* name;
  QByteArray file;
  std::optional<QString> expected;
};

void PrintTo(const ShortcutCase& c, std::ostream* os) { *os << c.name; }

class ReadShortcutUrlTest : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(ReadShortcutUrlTest, FindsTheFirstFieldHoldingUrlEquals) {
  const auto as_std = [](const std::optional<QString>& s) -> std::optional<std::string> {
    if (!s) return std::nullopt;
    return s->toStdString();
  };
  EXPECT_EQ(as_std(ReadShortcutUrl(GetParam().file)), as_std(GetParam().expected));
}

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }
std::optional<QString> U(const char* utf8) { return QString::fromUtf8(utf8); }

const ShortcutCase kCases[] = {
    {"Typical", "[InternetShortcut]\r\nURL=http://www.example.com/gallery/index.html\r\n",
     U("http://www.example.com/gallery/index.html")},
    {"TypicalWithDefaultSection",
     "[DEFAULT]\r\nIDList=\r\n[InternetShortcut]\r\nURL=http://example.com/a.html\r\n"
     "IconIndex=0\r\nHotKey=0\r\n",
     U("http://example.com/a.html")},
    {"BaseUrlBeforeUrl",
     "[DEFAULT]\r\nBASEURL=http://base.example.com/\r\n[InternetShortcut]\r\n"
     "URL=http://real.example.com/\r\n",
     U("http://base.example.com/")},
    {"LowerCaseKey", "[InternetShortcut]\r\nurl=http://lower.example.com/\r\n",
     U("http://lower.example.com/")},
    {"MixedCaseKey", "[InternetShortcut]\r\nUrL=http://mixed/\r\n", U("http://mixed/")},
    {"KeyInsideAField", "[InternetShortcut]\r\nMyURL=http://inside/\r\n", U("http://inside/")},
    {"CommaCutsTheAddress", "[InternetShortcut]\r\nURL=http://example.com/a,b.html\r\n",
     U("http://example.com/a")},
    {"OnlyUrlEquals", "[InternetShortcut]\r\nURL=\r\nIconIndex=0\r\n", U("")},
    {"OnlyUrlEqualsAtTheEnd", "[InternetShortcut]\r\nURL=", U("")},
    {"QuotedFieldKeepsItsComma", "\"URL=http://example.com/a,b.html\"\r\n",
     U("http://example.com/a,b.html")},
    {"QuotedFieldSpansLineEnds", "\"note\r\nURL=http://quoted/\"\r\n", U("http://quoted/")},
    {"LeadingSpacesSkipped", "[InternetShortcut]\r\n    URL=http://spaced/\r\n",
     U("http://spaced/")},
    {"TrailingSpacesKept", "[InternetShortcut]\r\nURL=http://example.com/  \r\n",
     U("http://example.com/  ")},
    {"UnixLineEnds", "[InternetShortcut]\nURL=http://lf/\n", U("http://lf/")},
    {"OldMacLineEnds", "[InternetShortcut]\rURL=http://cr/\r", U("http://cr/")},
    {"LaterOccurrenceInTheSameField", "URL=http://a/?next=URL=x\r\n", U("http://a/?next=URL=x")},
    {"NoUrlField", "[InternetShortcut]\r\nIconIndex=0\r\nHotKey=0\r\n", std::nullopt},
    {"UrlWithoutEquals", "[InternetShortcut]\r\nURL http://x/\r\n", std::nullopt},
    {"EmptyFile", "", std::nullopt},
    {"Utf8Japanese", "[InternetShortcut]\r\nURL=http://example.jp/ページ.html\r\n",
     U("http://example.jp/ページ.html")},
    {"ShiftJis",
     "[InternetShortcut]\r\nURL=http://example.jp/"
     "\x83\x79\x81\x5b\x83\x57"  // ページ
     "/"
     "\x95\x5c\x8e\xa6"  // 表示, whose first trail byte is a backslash
     ".html\r\n",
     U("http://example.jp/ページ/表示.html")},
    {"FieldLongerThanSixteenBits",
     Bytes(std::string(40000, 'x') + "URL=http://long.example.com/\r\n"),
     U("http://long.example.com/")},
    {"AddressLongerThanSixteenBits", Bytes("URL=http://h/" + std::string(70000, 'p')),
     QString::fromStdString("http://h/" + std::string(70000, 'p'))},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadShortcutUrlTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FieldsCase {
  const char* name;
  const char* text;
  QStringList fields;
};

void PrintTo(const FieldsCase& c, std::ostream* os) { *os << c.name; }

class ReadDelimitedFieldsTest : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(ReadDelimitedFieldsTest, SplitsAsDelimitedData) {
  EXPECT_EQ(ReadDelimitedFields(QString::fromUtf8(GetParam().text)), GetParam().fields);
}

const FieldsCase kFieldCases[] = {
    {"CommasAndLines", "a,b\r\nc", {"a", "b", "c"}},
    {"LeadingSpacesOnly", "  a  ,  b", {"a  ", "b"}},
    {"QuotesDropped", "\"a,b\",c", {"a,b", "c"}},
    {"TextAfterClosingQuoteIgnored", "\"a\" tail,b", {"a", "b"}},
    {"UnclosedQuoteRunsToTheEnd", "\"a,b\r\nc", {"a,b\r\nc"}},
    {"EmptyLineIsAnEmptyField", "a\r\n\r\nb", {"a", "", "b"}},
};

INSTANTIATE_TEST_SUITE_P(Texts, ReadDelimitedFieldsTest, ::testing::ValuesIn(kFieldCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
