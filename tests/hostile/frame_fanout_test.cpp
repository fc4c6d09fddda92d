// Framesets twenty levels deep in which every page is new. Two frames wide only near the top,
// the frame level limit ends the nesting; two wide all the way down it would take 2^16 - 1
// pages, so the limit on frame pages per run ends it first.

#include <cstdio>

#include "hostile_fixture.h"

namespace pelmoa::testing {
namespace {

constexpr int kDepth = 20;

struct FanOut {
  std::string name;
  int wide_above_level;  // pages above this level name two frames, the rest one
  std::size_t pages;     // pages fetched before the level limit stops the nesting
  std::string deepest;   // the path of a page at the last level harvested
};

void PrintTo(const FanOut& f, std::ostream* os) { *os << f.name; }

class FrameFanOutTest : public HostileTest, public ::testing::WithParamInterface<FanOut> {};

TEST_P(FrameFanOutTest, LevelLimitEndsTheNesting) {
  const FanOut& f = GetParam();
  // "/fan/P.html" sits at level |P| + 1, P a string of a and b.
  server.HandleRegex(R"(/fan/([ab]*)\.html)", [&f](const auto& groups, httplib::Response& res) {
    const std::string& p = groups[0];
    const int level = static_cast<int>(p.size()) + 1;
    std::string page = "<img src=\"leaf.gif\">";
    if (level < kDepth) {
      page = "<frameset><frame src=\"" + p + "a.html\">";
      if (level < f.wide_above_level) page += "<frame src=\"" + p + "b.html\">";
      page += "</frameset>";
    }
    res.set_content(page, "application/octet-stream");
  });
  RecordingHost host(Options());
  const auto start = std::chrono::steady_clock::now();
  RunBounded(host, server.Url("/fan/.html"), 300s);
  std::printf("%s: %zu pages in %lld ms\n", f.name.c_str(), server.Requests().size(),
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()));
  EXPECT_EQ(server.Requests().size(), f.pages);
  EXPECT_EQ(server.RequestCount("/fan/" + f.deepest + ".html"), 1);
  EXPECT_EQ(server.RequestCount("/fan/" + f.deepest + "a.html"), 0);
  // Framesets show nothing themselves and no leaf was reached.
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_TRUE(host.Filter("max:").empty());
  EXPECT_EQ(host.Filter("png+").size(), f.pages);
  EXPECT_EQ(host.Filter("png-").size(), f.pages);
}

// Two wide above level 5: 31 pages in the top five levels, then 16 chains of 11 pages each.
// Two wide throughout: the page named and 1024 frame pages, the first chain down to level 16.
INSTANTIATE_TEST_SUITE_P(
    Frames, FrameFanOutTest,
    ::testing::Values(FanOut{"TwoWideNearTheTop", 5, 31 + 16 * 11, "bbbb" + std::string(11, 'a')},
                      FanOut{"TwoWideTwentyDeep", kDepth, 1 + 1024, std::string(15, 'a')}),
    RowName<FanOut>);

}  // namespace
}  // namespace pelmoa::testing

namespace pelmoa::testing {
namespace {

// Sixteen static pages, each naming the next one ten times: siblings are harvested as often
// as they are named, so the level limit alone would leave 10^15 nested runs.
TEST_F(HostileTest, SameFrameNamedTenTimesAtEveryLevelEnds) {
  for (int level = 1; level <= 16; ++level) {
    std::string page = "<frameset>";
    for (int k = 0; k < 10; ++k) {
      page += "<frame src=\"L" + std::to_string(level + 1) + ".html\">";
    }
    server.Serve("/w/L" + std::to_string(level) + ".html", page + "</frameset>",
                 "application/octet-stream");
  }
  server.Serve("/w/L17.html", "<img src=\"deep.gif\">");
  RecordingHost host(Options());
  RunBounded(host, server.Url("/w/L1.html"), 120s);
  EXPECT_GE(server.RequestCount("/w/L16.html"), 1);
  EXPECT_EQ(server.RequestCount("/w/L17.html"), 0);
  EXPECT_LE(server.Requests().size(), 5000u);
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(host.StatusTexts().back(), "ページ情報の解析中");
}

}  // namespace
}  // namespace pelmoa::testing
