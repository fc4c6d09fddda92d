// HTTP/2 over TLS, from Node's server (h2_server.js): forty images on one connection, and one
// stream of a page that stalls or is reset while the others go on. The Windows build runs
// these under Wine as well.

#include <algorithm>

#include "harvest/harvest.h"
#include "hostile_case.h"

namespace pelmoa::testing {
namespace {

constexpr int kH2Images = 40;

Lines H2ImageNames(int count, bool sorted) {
  Lines names;
  for (int k = 1; k <= count; ++k) names.push_back("i" + std::to_string(k) + ".gif");
  if (sorted) std::sort(names.begin(), names.end());
  return names;
}

// Forty images from a server that offers HTTP/2 and answers later images first.
std::string Http2Gallery(CaseContext& ctx) {
  ctx.h2 = std::make_unique<H2Server>(5, true);
  ctx.skip_reason = ctx.h2->failure();
  return ctx.h2->Url("/" + std::to_string(kH2Images) + "/page.html");
}

void Http2Multiplexed(CaseContext& ctx) {
  EXPECT_EQ(ctx.host.Filter("stored:"), H2ImageNames(kH2Images, false))
      << "stored out of list order";
  EXPECT_EQ(ReadFile(ctx.dest / "i7.gif"), "IMAGE 7");
  EXPECT_EQ(ctx.h2->sessions(), 1) << "the page and every image share one connection";
  EXPECT_GT(ctx.h2->most_streams(), 6) << "more images in flight than HTTP/1.1 would allow";
  // One image at a time over HTTP/1.1 shows and stores exactly the same.
  TransferOptions options = HostileTest::Options(2000ms, 1);
  options.http2 = false;
  RecordingHost one_at_a_time(options);
  HarvestPage(ctx.h2->Url("/" + std::to_string(kH2Images) + "/page.html"), ctx.folder,
              one_at_a_time);
  EXPECT_EQ(one_at_a_time.calls, ctx.host.calls);
}

// Eight images whose third stream the server leaves open after its first bytes ("stall") or
// resets there ("reset"); an earlier file of that name must survive.
HostileCase::Arrange OneBadStream(const std::string& how) {
  return [how](CaseContext& ctx) {
    ctx.h2 = std::make_unique<H2Server>(5, false);
    ctx.skip_reason = ctx.h2->failure();
    WriteFile(ctx.dest / "i3.gif", "EARLIER");
    return ctx.h2->Url("/8-" + how + "3/page.html");
  };
}

void OthersStoredEarlierKept(CaseContext& ctx) {
  EXPECT_EQ(ReadFile(ctx.dest / "i3.gif"), "EARLIER");
  EXPECT_EQ(ReadFile(ctx.dest / "i8.gif"), "IMAGE 8");
}

}  // namespace

std::vector<HostileCase> Http2Cases() {
  return {
      {"MultiplexesOneHostInListOrder", Http2Gallery,
       Loop(kH2Images, 0, kH2Images, H2ImageNames(kH2Images, true)), Http2Multiplexed},
      {"StreamStallsInsideAnImage", OneBadStream("stall"), Loop(8, 1, 8, H2ImageNames(8, true)),
       OthersStoredEarlierKept, 1000ms},
      {"StreamResetInsideAnImage", OneBadStream("reset"), Loop(8, 1, 8, H2ImageNames(8, true)),
       OthersStoredEarlierKept},
  };
}

}  // namespace pelmoa::testing
