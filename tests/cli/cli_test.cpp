#include <curl/curl.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "harvest/files/file_names.h"
#include "temp_dir.h"
#include "test_server.h"
#ifdef _WIN32
#include <windows.h>  // after the server's winsock2.h
#endif

namespace pelmoa {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::TestServer;
using Lines = std::vector<std::string>;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

#ifdef _WIN32
// The folder separator of the paths the program prints.
constexpr char kSep = '\\';

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// pelmoa-harvest.exe of the same build: src/cli beside this test's tests/cli.
std::string HarvestExe() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto build = std::filesystem::path(self).parent_path().parent_path().parent_path();
  return Utf8FromPath(build / "src" / "cli" / "pelmoa-harvest.exe");
}

Outcome RunCli(const std::string& args, const TempDir& scratch) {
  const auto out = scratch.path() / "stdout";
  const auto err = scratch.path() / "stderr";
  // cmd /c takes the whole line in one more pair of quotes.
  const std::string cmd = "\"" + Quote(HarvestExe()) + " " + args + " >" +
                          Quote(Utf8FromPath(out)) + " 2>" + Quote(Utf8FromPath(err)) + " <NUL\"";
  const int status = _wsystem(PathFromUtf8(cmd).c_str());
  return {status, ReadFile(out), ReadFile(err)};
}
#else
constexpr char kSep = '/';

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Outcome RunCli(const std::string& args, const TempDir& scratch) {
  const auto out = scratch.path() / "stdout";
  const auto err = scratch.path() / "stderr";
  const std::string cmd = std::string(PELMOA_HARVEST_EXE) + " " + args + " >" +
                          Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}
#endif

Lines SplitLines(const std::string& s) {
  Lines lines;
  std::size_t from = 0;
  while (from < s.size()) {
    std::size_t nl = s.find('\n', from);
    lines.push_back(s.substr(from, nl - from));
    if (nl == std::string::npos) break;
    from = nl + 1;
  }
  return lines;
}

class CliTest : public ::testing::Test {
 protected:
  TestServer server;
  TempDir scratch;
  TempDir work;
};

TEST_F(CliTest, StoresImagesAndPrintsPathsInOrder) {
  server.Serve("/g.html", R"(<img src="a.jpg"><a href="b.gif">b</a><img src="a.jpg">)");
  server.Serve("/a.jpg", "A", "image/jpeg");
  server.Serve("/b.gif", testing::TinyGif(), "image/gif");
  const std::string folder = Utf8FromPath(work.path() / "new" / "gallery");
  const Outcome o = RunCli(Quote(server.Url("/g.html")) + " " + Quote(folder), scratch);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(SplitLines(o.out),
            (Lines{folder + kSep + "a.jpg", folder + kSep + "a.jpg", folder + kSep + "b.gif"}));
  EXPECT_EQ(SplitLines(o.err), (Lines{"HTMLファイルの取得中", "ページ情報の解析中",
                                      "画像情報を取得中", "画像のダウンロード中 全3画像"}));
  EXPECT_EQ(ReadFile(PathFromUtf8(folder) / "a.jpg"), "A");
}

TEST_F(CliTest, FailedImageGivesStatusOne) {
  server.Serve("/f.html", R"(<img src="missing.jpg"><img src="ok.jpg">)");
  server.Serve("/ok.jpg", "OK", "image/jpeg");
  const Outcome o =
      RunCli("--jobs 1 " + Quote(server.Url("/f.html")) + " " + Quote(work.str()), scratch);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(SplitLines(o.out), Lines{work.str() + kSep + "ok.jpg"});
  EXPECT_EQ(SplitLines(o.err),
            (Lines{"HTMLファイルの取得中", "ページ情報の解析中", "画像情報を取得中",
                   "画像のダウンロード中 全2画像", "画像のダウンロード中 全2画像   Error:1",
                   "全2画像中 1画像を保存できませんでした"}));
}

TEST_F(CliTest, ModernFindsLazyImagesAndNamesThemByType) {
  server.Serve("/m.html",
               R"(<img src="spacer.gif" data-src="photo.jpg?w=1200"><img data-src="/avatar">)");
  server.Serve("/spacer.gif", testing::TinyGif(), "image/gif");
  server.Serve("/photo.jpg", "P", "image/jpeg");
  server.Serve("/avatar", "W", "image/webp");
  const Outcome o = RunCli(
      "--modern --jobs 1 " + Quote(server.Url("/m.html")) + " " + Quote(work.str()), scratch);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(SplitLines(o.out),
            (Lines{work.str() + kSep + "spacer.gif", work.str() + kSep + "photo.jpg",
                   work.str() + kSep + "avatar.webp"}));
}

// A left-out picture is neither stored nor failed: status 0, its count in the last line.
TEST_F(CliTest, MinSideLeavesOutSmallPictures) {
  server.Serve("/s.html", R"(<img src="dot.png"><img src="wide.png">)");
  server.Serve("/dot.png", testing::TinyPng(), "image/png");
  // A header of 640 x 480 pixels is all the check reads.
  const std::string wide("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x02\x80\0\0\x01\xe0", 24);
  server.Serve("/wide.png", wide, "image/png");
  const Outcome o = RunCli(
      "--min-side=100 " + Quote(server.Url("/s.html")) + " " + Quote(work.str()), scratch);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(SplitLines(o.out), Lines{work.str() + kSep + "wide.png"});
  EXPECT_EQ(SplitLines(o.err).back(), "全2画像中 1画像を小さいため除外しました");
}

TEST_F(CliTest, ListPrintsWhatARunWouldRequestAndFetchesNoImage) {
  server.Serve("/l.html",
               R"(<img src="a.jpg"><img data-src="b.webp"><a href="c d.gif">c</a><a href="httpd.jpg">)");
  const std::string base = server.Url("/");
  const Outcome off = RunCli("--list " + Quote(server.Url("/l.html")), scratch);
  EXPECT_EQ(off.status, 0);
  EXPECT_EQ(SplitLines(off.out), (Lines{base + "a.jpg", base + "c%20d.gif"}));
  EXPECT_EQ(SplitLines(off.err),
            (Lines{"HTMLファイルの取得中", "ページ情報の解析中", "画像情報を取得中"}));
  const Outcome on = RunCli("--modern --list " + Quote(server.Url("/l.html")), scratch);
  EXPECT_EQ(on.status, 0);
  // The img pass meets data-src's "src" as well, and takes b.webp there.
  // A browser asks for httpd.jpg on the page's host; the defined run for "httpd.jpg" itself.
  EXPECT_EQ(SplitLines(on.out),
            (Lines{base + "a.jpg", base + "b.webp", base + "c%20d.gif", base + "httpd.jpg"}));
  EXPECT_EQ(server.Requests(), (Lines{"/l.html", "/l.html"}));
}

TEST_F(CliTest, MessageBoxIsOneLineAndStatusOne) {
  const Outcome o = RunCli(Quote(server.Url("/nothing.html")) + " " + Quote(work.str()), scratch);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(SplitLines(o.err),
            (Lines{"HTMLファイルの取得中",
                   "指定エラー: 指定のHTMLファイルは存在しないか、参照できません"}));
}

// Over HTTPS the system's store alone knows nothing of the tests' authority: without
// --cacert the page cannot be read, with it (or with HTTP/2 refused) it harvests as over http.
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
TEST_F(CliTest, HttpsTrustsTheAuthorityGivenWithCacert) {
  TestServer tls(testing::ServerCert::kTrusted);
  tls.Serve("/t.html", R"(<img src="a.jpg">)");
  tls.Serve("/a.jpg", "A", "image/jpeg");
  const std::string page = Quote(tls.Url("/t.html")) + " " + Quote(work.str());
  const Outcome untrusted = RunCli(page, scratch);
  EXPECT_EQ(untrusted.status, 1);
  EXPECT_EQ(SplitLines(untrusted.err).back(),
            "指定エラー: 指定のHTMLファイルは存在しないか、参照できません");
  const std::string cacert = Quote(testing::TestCertificates::Get().ca_file());
  for (const std::string& options : {"--cacert " + cacert, "--http1.1 --cacert=" + cacert}) {
    const Outcome o = RunCli(options + " " + page, scratch);
    EXPECT_EQ(o.status, 0) << options;
    EXPECT_EQ(SplitLines(o.out), Lines{work.str() + kSep + "a.jpg"}) << options;
  }
}
#endif

#ifdef _WIN32
// Wine gives a console only where there is a display (ctest runs this case once more under
// one). The program writes the console's characters and leaves its code page as it was.
TEST_F(CliTest, ConsoleKeepsItsCodePage) {
  FreeConsole();
  if (!AllocConsole() || GetConsoleOutputCP() == 0) GTEST_SKIP() << "no console without a display";
  SetConsoleOutputCP(932);
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = start.hStdError = screen;
  const std::string line_utf8 =
      Quote(HarvestExe()) + " " + Quote(server.Url("/none.html")) + " " + Quote(work.str());
  std::wstring cmd = PathFromUtf8(line_utf8).native();
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &start, &child));
  WaitForSingleObject(child.hProcess, 60000);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  EXPECT_EQ(GetConsoleOutputCP(), 932u);
  const std::wstring first = L"HTMLファイルの取得中";
  std::wstring line(first.size(), L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, line.data(), DWORD(line.size()), COORD{0, 0}, &read);
  EXPECT_EQ(line, first);
  CloseHandle(screen);
  FreeConsole();
}
#endif

TEST_F(CliTest, UsageErrorsGiveStatusTwo) {
  for (const std::string& args :
       {std::string(""), std::string("only-one"), std::string("--jobs 0 u f"),
        std::string("--jobs 7 u f"), std::string("--jobs x u f"), std::string("--bogus u f"),
        std::string("a b c"), Quote("") + " f", "u " + Quote(""), "u " + Quote("   "),
        std::string("u f --cacert"), std::string("--cacert= u f"),
        std::string("--min-side -1 u f"), std::string("--min-side=10000 u f"),
        std::string("--min-side u f"), std::string("--list u f"), std::string("--list"),
        "--list " + Quote(" ")}) {
    const Outcome o = RunCli(args, scratch);
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_NE(o.err.find("usage: pelmoa-harvest"), std::string::npos) << args;
    EXPECT_EQ(o.err.find("HTTP/2") != std::string::npos,
              (curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_HTTP2) != 0);
  }
}

TEST(CliArgs, JobsAndPositionals) {
  auto a = ParseCliArgs({"--jobs", "3", "http://h/", "dir"});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->jobs, 3);
  EXPECT_EQ(a->url, "http://h/");
  auto b = ParseCliArgs({"--jobs=1", "--", "-u", "-d"});
  ASSERT_TRUE(b);
  EXPECT_EQ(b->url, "-u");
  EXPECT_EQ(ParseCliArgs({"u", "f"})->jobs, 6);
  EXPECT_EQ(ParseCliArgs({"u", "f"})->min_side, 0);
  EXPECT_EQ(ParseCliArgs({"--min-side", "9999", "u", "f"})->min_side, 9999);
  EXPECT_EQ(ParseCliArgs({"--min-side=0", "u", "f"})->min_side, 0);
  auto list = ParseCliArgs({"--modern", "http://h/", "--list"});
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->list);
  EXPECT_EQ(list->url, "http://h/");
}

}  // namespace
}  // namespace pelmoa
