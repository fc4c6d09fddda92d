// The network rules of the Windows build that Wine cannot show, run here: the real
// system_network_win.cpp, linked over the Linux one with the system's calls stubbed
// (winhttp_stub/), against real servers on 127.0.0.1. Wine's TLS cannot use the tests'
// authority, its lookups cannot be held back, and it fetches a configuration script once per
// process, so only one of its lookups is ever slow.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "harvest/harvest.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"
#include "winhttp_stub/winhttp_stub.h"

namespace pelmoa::testing {
namespace {

using namespace std::chrono_literals;

class WindowsRulesTest : public ::testing::Test {
 protected:
  void TearDown() override { SetStubInternetSettings({}); }

  std::vector<std::string> Harvest(const std::string& url, TransferOptions options = {}) {
    RecordingHost host(options);
    if (on_call) host.on_call = on_call;
    HarvestPage(url, folder.str(), host);
    return host.Filter("stored:");
  }

  TempDir folder;
  std::function<void(RecordingHost&, const std::string&)> on_call;
};

// A page over http names six images on an https host of the added authority. Schannel checks
// against the file alone once it is given one, so a request gets it only after the system's
// store refused: every refused request, the six started side by side included.
TEST_F(WindowsRulesTest, EveryRefusedRequestIsAskedAgainWithTheAddedAuthorities) {
  TestServer page;
  TestServer tls(ServerCert::kTrusted);
  std::string html;
  for (int k = 1; k <= 6; ++k) {
    const std::string name = "t" + std::to_string(k) + ".gif";
    tls.Serve("/" + name, "TLS " + name, "image/gif");
    html += "<img src=\"" + tls.Url("/" + name) + "\">";
  }
  page.Serve("/p.html", html);
  TransferOptions options;
  options.extra_ca_file = TestCertificates::Get().ca_file();
  EXPECT_EQ(Harvest(page.Url("/p.html"), options),
            (std::vector<std::string>{"t1.gif", "t2.gif", "t3.gif", "t4.gif", "t5.gif", "t6.gif"}));
  EXPECT_EQ(ReadFile(folder.path() / "t6.gif"), "TLS t6.gif");
}

// Automatic configuration that answers each host slowly, a page and five images on six
// hosts: the lookups of a run are outstanding 2 s in all, whether each answers in time (one
// answer must not open the next wait) or none does.
class LookupAllowanceTest : public WindowsRulesTest,
                            public ::testing::WithParamInterface<std::chrono::milliseconds> {};

TEST_P(LookupAllowanceTest, RunWaitsTwoSecondsInAll) {
  std::vector<std::unique_ptr<TestServer>> hosts;
  TestServer page;
  std::string html;
  for (int k = 1; k <= 5; ++k) {
    hosts.push_back(std::make_unique<TestServer>());
    hosts.back()->Serve("/h.gif", "H", "image/gif");
    html += "<img src=\"" + hosts.back()->Url("/h.gif") + "\">";
  }
  page.Serve("/p.html", html);
  SetStubInternetSettings({.detect = true, .automatic = [answer = GetParam()](const std::string&) {
                             std::this_thread::sleep_for(answer);
                             return std::optional<std::string>("");
                           }});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Harvest(page.Url("/p.html")).size(), 5u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
}

INSTANTIATE_TEST_SUITE_P(Answers, LookupAllowanceTest, ::testing::Values(1500ms, 3000ms),
                         [](const auto& info) {
                           return "After" + std::to_string(info.param.count()) + "ms";
                         });

// The second image's host is looked up slowly: the first image goes on and is stored
// meanwhile, and the lookup's answer (a proxy) then serves the second.
TEST_F(WindowsRulesTest, TransfersGoOnWhileAHostIsLookedUp) {
  TestServer site;
  TestServer slow;
  TestServer proxy;
  site.Serve("/p.html", "<img src=\"a.gif\"><img src=\"" + slow.Url("/b.gif") + "\">");
  site.Serve("/a.gif", "A", "image/gif");
  slow.Serve("/b.gif", "direct", "image/gif");
  proxy.Serve(slow.Url("/b.gif"), "via proxy", "image/gif");
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  auto gate = std::make_shared<Gate>();
  const std::string slow_origin = slow.Url("");
  const std::string via = proxy.Url("").substr(7);
  SetStubInternetSettings(
      {.detect = true, .automatic = [gate, slow_origin, via](const std::string& url) {
         if (url.rfind(slow_origin, 0) != 0) return std::optional<std::string>("");
         std::unique_lock lock(gate->mutex);
         gate->opened.wait_for(lock, 10s, [&] { return gate->open; });
         return std::optional<std::string>(via);
       }});
  on_call = [gate](RecordingHost&, const std::string& line) {
    if (line != "stored:a.gif") return;
    std::lock_guard lock(gate->mutex);
    gate->open = true;
    gate->opened.notify_all();
  };
  EXPECT_EQ(Harvest(site.Url("/p.html")), (std::vector<std::string>{"a.gif", "b.gif"}));
  EXPECT_EQ(ReadFile(folder.path() / "b.gif"), "via proxy");
}

}  // namespace
}  // namespace pelmoa::testing
