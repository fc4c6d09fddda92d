#include "hostile_case.h"

namespace pelmoa::testing {
namespace {

TEST_P(HostileCaseTest, RunEndsCountedAndContained) {
  const HostileCase& c = GetParam();
  RecordingHost host(Options(c.stall, c.jobs));
  CaseContext ctx{server, sandbox.path(), dest(), host, dest_str(), {}, nullptr, {}, {}, {}, {}};
  const std::string url = c.arrange(ctx);
  if (!ctx.skip_reason.empty()) GTEST_SKIP() << ctx.skip_reason;
  RunBounded(host, url, ctx.folder, kRunBound, ctx.options);
  ExpectOutcome(host, c.outcome);
  if (c.check) c.check(ctx);
}

INSTANTIATE_TEST_SUITE_P(Http2, HostileCaseTest, ::testing::ValuesIn(Http2Cases()),
                         RowName<HostileCase>);
// The rest leans on POSIX (raw sockets, file-size limits, mounts) and on OpenSSL servers.
#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(Pages, HostileCaseTest, ::testing::ValuesIn(PageCases()),
                         RowName<HostileCase>);
INSTANTIATE_TEST_SUITE_P(Servers, HostileCaseTest, ::testing::ValuesIn(ServerCases()),
                         RowName<HostileCase>);
INSTANTIATE_TEST_SUITE_P(Folders, HostileCaseTest, ::testing::ValuesIn(FolderCases()),
                         RowName<HostileCase>);
INSTANTIATE_TEST_SUITE_P(Tls, HostileCaseTest, ::testing::ValuesIn(TlsCases()),
                         RowName<HostileCase>);
#endif

}  // namespace
}  // namespace pelmoa::testing
