#pragma once

#include <functional>
#include <memory>
#include <ostream>

#include "h2_server.h"
#include "hostile_fixture.h"
#include "raw_server.h"

namespace pelmoa::testing {

// What a case's arrangement may use and leave behind; everything it sets up is undone when
// the case ends, before the checks on the sandbox run.
struct CaseContext {
  TestServer& server;
  std::filesystem::path sandbox;
  std::filesystem::path dest;
  RecordingHost& host;
  std::string folder;  // handed to the run; the destination unless the case says otherwise
  HarvestOptions options;
  std::shared_ptr<RawServer> raw;  // shared: the Windows build has no RawServer to delete
  std::string skip_reason;
  std::vector<std::function<void()>> undo;
  std::vector<std::unique_ptr<TestServer>> tls;
  std::unique_ptr<H2Server> h2;

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
  // A new TLS server with this certificate of the tests' authority.
  TestServer& Tls(ServerCert cert = ServerCert::kTrusted) {
    tls.push_back(std::make_unique<TestServer>(cert));
    return *tls.back();
  }
#endif

  ~CaseContext() {
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) (*it)();
  }
};

// One hostile case: an arrangement that returns the address to harvest, the outcome the run
// must end with, and what else must hold afterwards.
struct HostileCase {
  using Arrange = std::function<std::string(CaseContext&)>;
  using Check = std::function<void(CaseContext&)>;
  HostileCase(std::string name, Arrange arrange, Outcome outcome, Check check = {},
              std::chrono::milliseconds stall = 2000ms, int jobs = 6)
      : name(std::move(name)),
        arrange(std::move(arrange)),
        outcome(std::move(outcome)),
        check(std::move(check)),
        stall(stall),
        jobs(jobs) {}

  std::string name;
  std::function<std::string(CaseContext&)> arrange;
  Outcome outcome;
  std::function<void(CaseContext&)> check;
  std::chrono::milliseconds stall = 2000ms;
  int jobs = 6;
};

inline void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class HostileCaseTest : public HostileTest, public ::testing::WithParamInterface<HostileCase> {};

std::vector<HostileCase> PageCases();
std::vector<HostileCase> ServerCases();
std::vector<HostileCase> FolderCases();
std::vector<HostileCase> TlsCases();
std::vector<HostileCase> Http2Cases();

}  // namespace pelmoa::testing
