#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

// The finder matches 64 bytes at a time; these place needles on and across those edges, at
// the very end of the text, and next to bytes that differ from a needle byte only in the
// bit that letter case flips.
struct FindCase {
  const char* name;
  std::string text;
  const char* needle;
  std::vector<std::size_t> from;      // queries, in this order, to one finder
  std::vector<std::size_t> expected;  // kNotFound for none
  const char* other = "";             // a second needle: either one is found
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

// n filler bytes with needle text written over them at the given positions.
std::string Filler(std::size_t n, std::vector<std::pair<std::size_t, std::string>> at) {
  std::string s(n, 'x');
  for (const auto& [pos, text] : at) s.replace(pos, text.size(), text);
  return s;
}

class TextFinderTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(TextFinderTest, FindsTheFirstOccurrenceAtOrAfter) {
  const FindCase& c = GetParam();
  TextFinder finder(c.text, c.needle, c.other);
  ASSERT_EQ(c.from.size(), c.expected.size());
  for (std::size_t k = 0; k < c.from.size(); ++k) {
    EXPECT_EQ(finder.Find(c.from[k]), c.expected[k]) << "query " << k << " from " << c.from[k];
  }
}

INSTANTIATE_TEST_SUITE_P(
    BlockEdges, TextFinderTest,
    ::testing::Values(
        FindCase{"AtStart", Filler(200, {{0, "img"}}), "img", {0, 1}, {0, kNotFound}},
        FindCase{"CrossingFirstEdge", Filler(200, {{62, "img"}}), "img", {0, 63}, {62, kNotFound}},
        FindCase{"LastByteOfBlock", Filler(200, {{63, "\""}}), "\"", {0, 63, 64}, {63, 63, kNotFound}},
        FindCase{"FirstByteOfNextBlock", Filler(200, {{128, "src"}}), "src", {0, 127, 128, 129},
                 {128, 128, 128, kNotFound}},
        FindCase{"AtTheVeryEnd", Filler(130, {{127, "IMG"}}), "img", {0, 127}, {127, 127}},
        FindCase{"CutOffByTheEnd", Filler(130, {{128, "im"}}), "img", {0}, {kNotFound}},
        FindCase{"ShortText", "aImG", "img", {0, 1, 2}, {1, 1, kNotFound}},
        FindCase{"LongNeedleMismatchAfterFourBytes",
                 Filler(300, {{60, "<framexyz"}, {130, "<FRAMESET"}}), "<frameset", {0, 131},
                 {130, kNotFound}},
        FindCase{"LongNeedleAcrossAnEdge", Filler(300, {{123, "<frame src"}}), "<frame ", {0},
                 {123}},
        FindCase{"OnlyLettersFoldCase", Filler(300, {{10, "{@`"}, {20, "[@`"}, {270, "[@`"}}),
                 "[@`", {0, 21}, {20, 270}},
        FindCase{"EveryLetterCase", Filler(200, {{5, "hReF"}, {90, "HREF"}}), "href",
                 {0, 6, 91}, {5, 90, kNotFound}},
        FindCase{"QueriesGoingBack", Filler(300, {{20, "'"}, {200, "'"}}), "'",
                 {150, 0, 21, 199, 201}, {200, 20, 200, 200, kNotFound}},
        FindCase{"NothingAnywhere", Filler(1000, {}), "'", {0, 500, 999, 1000},
                 {kNotFound, kNotFound, kNotFound, kNotFound}},
        FindCase{"HighBytesAreNotLetters", "\xc9\xcdG img", "img", {0}, {4}},
        FindCase{"EitherOfTwoNeedles",
                 Filler(300, {{30, "data_"}, {62, "SrcSet"}, {127, "DATA-"}, {290, "srcse"}}),
                 "data-", {0, 63, 128}, {62, 127, kNotFound}, "srcset"}));

// The text may be a view into a longer buffer: a needle completed only by the bytes after
// the view's end is not there.
TEST(TextFinder, NeverLooksPastTheEndOfItsText) {
  for (std::size_t length : {64, 128, 130, 192}) {
    const std::string buffer = Filler(length + 64, {{length - 2, "img"}});
    TextFinder finder(std::string_view(buffer).substr(0, length), "img");
    EXPECT_EQ(finder.Find(0), kNotFound) << length;
  }
}

}  // namespace
}  // namespace pelmoa
