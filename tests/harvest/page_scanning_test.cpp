#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harvest/scan/frame_pages.h"
#include "harvest/scan/page_scanning.h"

namespace pelmoa {
namespace {

struct ScanCase {
  const char* name;
  const char* page;
  std::vector<std::string> refs;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class ScanImageRefsTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanImageRefsTest, CollectsExactlyTheseEntries) {
  EXPECT_EQ(ScanImageRefs(GetParam().page).Strings(), GetParam().refs);
}

INSTANTIATE_TEST_SUITE_P(
    PageTexts, ScanImageRefsTest,
    ::testing::Values(
        ScanCase{"UpperCaseTagAndExtension", R"(<IMG SRC="a/b.JPG">)", {"a/b.JPG"}},
        ScanCase{"HitInsideValuePairsWithNextSrc", R"(<img src="img/a.jpg"><img src="b.gif">)",
                 {"img/a.jpg", "b.gif", "b.gif"}},
        ScanCase{"InlineBeforeLinks", R"(<a href="l.png"><img src="a.jpg"><a href="a.jpg">)",
                 {"a.jpg", "l.png", "a.jpg"}},
        ScanCase{"SingleQuotes", "<img src='x.gif'>", {"x.gif"}},
        ScanCase{"DoubleQuoteLaterWins", R"(<img src='x.gif'><a href="y.htm">)", {}},
        ScanCase{"UnquotedEndedByGt", "<img src=a.gif>", {"a.gif"}},
        ScanCase{"UnquotedEndedBySpace", "<img src=a.gif width=10>", {"a.gif"}},
        ScanCase{"UnquotedLosesToLaterQuote", R"(<img src=a.jpg alt="x">)", {}},
        ScanCase{"SpacesAfterEqualsSkipped", "<img src=  a.gif >", {"a.gif"}},
        ScanCase{"QueryAfterExtension", R"(<img src="a.jpg?v=2">)", {}},
        ScanCase{"ScriptLinkEndingInPng", R"(<a href="show.cgi?f=b.png">)", {"show.cgi?f=b.png"}},
        ScanCase{"JpegIsNotJpg", R"(<a href="a.jpeg">)", {}},
        ScanCase{"TrailingSpaceKept", R"(<a href="p.PNG ">)", {"p.PNG "}},
        ScanCase{"EmptyValue", R"(<img src="">)", {}},
        ScanCase{"HitWithoutSrc", "<p>img</p>", {}},
        ScanCase{"NoDotNeeded", R"(<a href="photojpg">)", {"photojpg"}},
        ScanCase{"UnterminatedQuote", R"(<img src="a.jpg)", {}},
        ScanCase{"EveryHitBeforeOneSrcCounts", R"(<p>img, img</p><img src="a.jpg"><a href="a.jpg">)",
                 {"a.jpg", "a.jpg", "a.jpg", "a.jpg"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScanImageRefs, NulBytesInsideThePageAreText) {
  const std::string page("<img src=\"a.jpg\">\0<a href=\"b.png\">", 34);
  EXPECT_EQ(ScanImageRefs(page).Strings(), (std::vector<std::string>{"a.jpg", "b.png"}));
}

TEST(ExtractAttrValue, DelimitersByPriorityNotNearness) {
  // The '=' and the single quote are nearer, but a double quote anywhere later wins.
  EXPECT_EQ(ExtractAttrValue(R"(src='a' = "b")", 0).value(), "b");
  EXPECT_EQ(ExtractAttrValue("src='a' = b>", 0).value(), "a");
  EXPECT_EQ(ExtractAttrValue("src = b>", 0).value(), "b");
  EXPECT_FALSE(ExtractAttrValue("src b", 0).has_value());
  // A space but no '>' anywhere after an unquoted value: no value.
  EXPECT_FALSE(ExtractAttrValue("src=a b", 0).has_value());
  EXPECT_EQ(ExtractAttrValue("src=ab>", 0).value(), "ab");
  EXPECT_EQ(ExtractAttrValue(R"(src="")", 0).value(), "");
}

TEST(ScanImageRefs, LargePageWithoutSingleQuotesStaysLinear) {
  // Every value's single-quote search runs to the end of the page; answered from the
  // remembered hit, 200,000 tags are one pass, not 200,000.
  std::string page;
  for (int k = 0; k < 200000; ++k) page += "<img src=\"p" + std::to_string(k) + ".jpg\"> ";
  const auto refs = ScanImageRefs(page);
  ASSERT_EQ(refs.size(), 200000u);
  EXPECT_EQ(refs.runs().back().text, "p199999.jpg");
}

struct FrameCase {
  const char* name;
  const char* page_url;
  const char* page;
  std::vector<std::string> frames;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class ScanFrameRefsTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ScanFrameRefsTest, GivesTheseFrameAddresses) {
  std::vector<std::string> frames;
  for (const FrameRef& f : ScanFrameRefs(GetParam().page, GetParam().page_url)) {
    frames.insert(frames.end(), f.count, f.address);
  }
  EXPECT_EQ(frames, GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Framesets, ScanFrameRefsTest,
    ::testing::Values(
        FrameCase{"RelativeUnderPage", "http://host/dir/index.html",
                  R"(<frameset cols="20%,*"><frame src="menu.html"><frame src="main.html"></frameset>)",
                  {"http://host/dir/menu.html", "http://host/dir/main.html"}},
        FrameCase{"UnderDirectoryTwoSlashes", "http://host/dir/",
                  R"(<frameset><frame src="menu.html"><frame src="main.html"></frameset>)",
                  {"http://host/dir//menu.html", "http://host/dir//main.html"}},
        FrameCase{"AbsoluteKept", "http://host/dir/i.html", R"(<FRAME SRC="http://other/x.html">)",
                  {"http://other/x.html"}},
        FrameCase{"HttpsAbsoluteToo", "http://host/dir/i.html", R"(<frame src="https://o/x.html">)",
                  {"https://o/x.html"}},
        FrameCase{"CapitalSchemeIsRelative", "http://host/dir/i.html",
                  R"(<frame src="HTTP://other/x.html">)", {"http://host/dir/x.html"}},
        FrameCase{"DirectoryPartsDropped", "http://host/dir/i.html",
                  R"(<frame src="sub/menu.html"><frame src="/menu.html"><frame src="../menu.html">)",
                  {"http://host/dir/menu.html", "http://host/dir/menu.html",
                   "http://host/dir/menu.html"}},
        FrameCase{"SrcAfterName", "http://host/dir/i.html", R"(<frame name="a" src="a.html">)",
                  {"http://host/dir/a.html"}},
        FrameCase{"FrameFollowedByNewlineIsNoTag", "http://host/dir/i.html",
                  "<frameset><frame\nsrc=\"a.html\"></frameset>", {}},
        FrameCase{"EmptyValueGivesNoEntry", "http://host/dir/i.html",
                  R"(<frame src=""><frame src="b.html">)", {"http://host/dir/b.html"}},
        FrameCase{"EveryTagBeforeOneSrcCounts", "http://host/dir/i.html",
                  R"(<frame ><frame name="x"><frame src="a.html"><frame src="a.html">)",
                  {"http://host/dir/a.html", "http://host/dir/a.html", "http://host/dir/a.html",
                   "http://host/dir/a.html"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsFramesetPage, AnywhereAnyCase) {
  EXPECT_TRUE(IsFramesetPage("<!-- <FRAMESET --> <img src=a.jpg>"));
  EXPECT_FALSE(IsFramesetPage("<frame src=a.html>"));
}

}  // namespace
}  // namespace pelmoa
