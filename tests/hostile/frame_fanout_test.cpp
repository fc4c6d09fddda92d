// Framesets twenty levels deep in which every page is new, so only the frame level limit ends
// the nesting. Two frames wide all the way down that is 2^16 - 1 pages before the limit
// stops it: far too long for this suite, so the full case is kept for measuring by hand
// (--gtest_also_run_disabled_tests) and the suite runs one that is two wide only near the top.

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
INSTANTIATE_TEST_SUITE_P(Narrow, FrameFanOutTest,
                         ::testing::Values(FanOut{"TwoWideNearTheTop", 5, 31 + 16 * 11,
                                                  "bbbb" + std::string(11, 'a')}),
                         RowName<FanOut>);
INSTANTIATE_TEST_SUITE_P(DISABLED_Full, FrameFanOutTest,
                         ::testing::Values(FanOut{"TwoWideTwentyDeep", kDepth, (1u << 16) - 1,
                                                  std::string(15, 'b')}),
                         RowName<FanOut>);

}  // namespace
}  // namespace pelmoa::testing
