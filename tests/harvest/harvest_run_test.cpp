#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "harvest/files/file_names.h"
#include "harvest/harvest.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"

namespace pelmoa {
namespace {

using testing::ReadFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::TestServer;
using testing::WriteFile;
using Lines = std::vector<std::string>;

const std::string kA = "\xe6\x8c\x87\xe5\xae\x9a\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc";  // 指定エラー
const std::string kUnreadable = kA + "|指定のHTMLファイルは存在しないか、参照できません";
const std::string kNoImages = kA + "|指定のURLには画像が存在しません";

class HarvestRunTest : public ::testing::Test {
 protected:
  TransferOptions Options(int jobs = 6) {
    TransferOptions o;
    o.jobs = jobs;
    o.stall_timeout = std::chrono::milliseconds(3000);
    return o;
  }
  void Run(RecordingHost& host, const std::string& path) {
    HarvestPage(server.Url(path), folder.str(), host);
  }
  bool NoTemporaryFiles() const {
    for (const auto& name : folder.Entries()) {
      if (name.rfind(".pelmoa-", 0) == 0) return false;
    }
    return true;
  }

  TestServer server;
  TempDir folder;
};

TEST_F(HarvestRunTest, GalleryStoresEveryImageAndReportsInOrder) {
  // 12 references: 8 inline, 4 links; two have no '.' in their file name and are passed over;
  // a.jpg appears twice (inline and link).
  std::string page = "<html>";
  for (int k = 1; k <= 6; ++k) page += "<img src=\"p" + std::to_string(k) + ".jpg\">";
  page += "<img src=\"/cgi/photojpg\"><img src=\"a.jpg\">";
  page += "<a href=\"big/b.png\">b</a><a href=\"a.jpg\">a</a><a href=\"c.gif\">c</a>";
  page += "<a href=\"noext/gif\">n</a></html>";
  server.Serve("/g/index.html", page);
  for (int k = 1; k <= 6; ++k) server.Serve("/g/p" + std::to_string(k) + ".jpg", "jpg" + std::to_string(k), "image/jpeg");
  server.Serve("/g/a.jpg", "AAAA", "image/jpeg");
  server.Serve("/g/big/b.png", testing::TinyPng(), "image/png");
  server.Serve("/g/c.gif", testing::TinyGif(), "image/gif");

  RecordingHost host(Options());
  Run(host, "/g/index.html");

  EXPECT_EQ(host.StatusTexts(), (Lines{"HTMLファイルの取得中", "ページ情報の解析中", "画像情報を取得中",
                                       "画像のダウンロード中 全12画像", ""}));
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(host.Filter("max:"), Lines{"12"});
  EXPECT_EQ(host.Filter("value:"), Lines{"0"});
  EXPECT_EQ(host.Filter("visible:"), (Lines{"1", "0"}));
  EXPECT_EQ(host.Steps(), 10);
  EXPECT_EQ(host.Filter("stored:"), (Lines{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg",
                                            "p6.jpg", "a.jpg", "b.png", "a.jpg", "c.gif"}));
  EXPECT_EQ(ReadFile(folder.path() / "p3.jpg"), "jpg3");
  EXPECT_EQ(ReadFile(folder.path() / "b.png"), testing::TinyPng());
  EXPECT_EQ(folder.Entries(), (Lines{"a.jpg", "b.png", "c.gif", "p1.jpg", "p2.jpg", "p3.jpg",
                                     "p4.jpg", "p5.jpg", "p6.jpg"}));
  // Every image request names the page it came from.
  const auto requests = server.Requests();
  const auto referers = server.Referers();
  for (std::size_t k = 1; k < requests.size(); ++k) {
    EXPECT_EQ(referers[k], server.Url("/g/index.html")) << requests[k];
  }
}

TEST_F(HarvestRunTest, ViewerAndPngLoaderCallsFollowTheRun) {
  server.Serve("/v.html", R"(<img src="x.png"><img src="gone.png"><img src="y.gif">)");
  server.Serve("/x.png", testing::TinyPng(), "image/png");
  server.Serve("/y.gif", testing::TinyGif(), "image/gif");
  RecordingHost host(Options());
  host.view_option = true;
  Run(host, "/v.html");
  Lines seen;
  for (const auto& c : host.calls) {
    if (c == "png+" || c == "png-" || c == "frame" || c == "step" || c.rfind("view:", 0) == 0) {
      seen.push_back(c);
    }
  }
  const std::string f = folder.str();
  EXPECT_EQ(seen, (Lines{"png+", "frame", "view:" + f + "|x.png|1", "step", "step",
                         "view:" + f + "|y.gif|3", "step", "png-"}));
}

TEST_F(HarvestRunTest, PageWithoutImagesShowsMessageB) {
  server.Serve("/none.html", R"(<a href="a.jpeg">x</a><img src="b.jpg?v=1">)");
  RecordingHost host(Options());
  Run(host, "/none.html");
  EXPECT_EQ(host.Messages(), Lines{kNoImages});
  EXPECT_EQ(host.StatusTexts().back(), "");
  EXPECT_TRUE(host.Filter("max:").empty());
}

TEST_F(HarvestRunTest, UnreadablePagesShowMessageA) {
  server.Serve("/empty.html", "");
  server.Serve("/error.html", "<img src=a.jpg>", "text/html", 500);
  for (const std::string& url :
       {server.Url("/missing.html"), server.Url("/empty.html"), server.Url("/error.html"),
        std::string("http://127.0.0.1:1/closed.html")}) {
    RecordingHost host(Options());
    HarvestPage(url, folder.str(), host);
    EXPECT_EQ(host.Messages(), Lines{kUnreadable}) << url;
    EXPECT_EQ(host.StatusTexts(), (Lines{"HTMLファイルの取得中", ""})) << url;
  }
}

TEST_F(HarvestRunTest, FramesetHarvestsEachFrameIntoTheSameFolder) {
  // The first tag has no src of its own: it pairs with the next one's, so the menu is
  // harvested twice.
  server.Serve(
      "/f/index.html",
      R"(<frameset cols="20%,*"><frame name="t"><frame src="menu.html"><frame src="main.html"></frameset>)");
  server.Serve("/f/menu.html", "<a href=\"main.html\">menu</a>");
  server.Serve("/f/main.html", R"(<frameset><frame src="inner.html"></frameset>)");
  server.Serve("/f/inner.html", R"(<img src="pic.jpg"><img src="pic2.jpg">)");
  server.Serve("/f/pic.jpg", "P1", "image/jpeg");
  server.Serve("/f/pic2.jpg", "P2", "image/jpeg");
  RecordingHost host(Options());
  Run(host, "/f/index.html");
  EXPECT_EQ(host.Messages(), (Lines{kNoImages, kNoImages}));  // the menu frame
  EXPECT_EQ(folder.Entries(), (Lines{"pic.jpg", "pic2.jpg"}));
  EXPECT_EQ(host.Filter("png+").size(), 5u);
  EXPECT_EQ(host.Filter("png-").size(), 5u);
  EXPECT_EQ(host.StatusTexts().back(), "");
}

TEST_F(HarvestRunTest, FrameCyclesEnd) {
  server.Serve("/c/self.html", R"(<frameset><frame src="self.html"><frame src="a.html"></frameset>)");
  server.Serve("/c/a.html", R"(<frameset><frame src="b.html"></frameset>)");
  server.Serve("/c/b.html", R"(<frameset><frame src="a.html"><frame src="img.html"></frameset>)");
  server.Serve("/c/img.html", R"(<img src="z.gif">)");
  server.Serve("/c/z.gif", testing::TinyGif(), "image/gif");
  RecordingHost host(Options());
  Run(host, "/c/self.html");
  EXPECT_EQ(folder.Entries(), Lines{"z.gif"});
  EXPECT_EQ(server.RequestCount("/c/self.html"), 1);
  EXPECT_EQ(server.RequestCount("/c/a.html"), 1);
}

TEST_F(HarvestRunTest, DeepFramesetStopsAtTheLevelLimit) {
  // Every level names a new page one level down, for ever.
  server.HandleRegex(R"(/deep/(\d+)\.html)", [](const auto& groups, httplib::Response& res) {
    const std::string next = std::to_string(std::stoi(groups[0]) + 1) + ".html";
    res.set_content("<frameset><frame src=\"" + next + "\"></frameset>", "text/html");
  });
  RecordingHost host(Options());
  Run(host, "/deep/1.html");
  EXPECT_EQ(server.RequestCount("/deep/16.html"), 1);
  EXPECT_EQ(server.RequestCount("/deep/17.html"), 0);
}

TEST_F(HarvestRunTest, FailedImagesAreCountedAndTheRunGoesOn) {
  server.Serve("/e.html",
               R"(<img src="ok1.jpg"><img src="missing.jpg"><img src="ok2.jpg">)"
               R"(<img src="http://127.0.0.1:1/x.jpg"><img src="ok3.jpg">)");
  for (const char* p : {"/ok1.jpg", "/ok2.jpg", "/ok3.jpg"}) server.Serve(p, p, "image/jpeg");
  RecordingHost host(Options());
  Run(host, "/e.html");
  EXPECT_EQ(host.StatusTexts(),
            (Lines{"HTMLファイルの取得中", "ページ情報の解析中", "画像情報を取得中", "画像のダウンロード中 全5画像",
                   "画像のダウンロード中 全5画像   Error:1", "画像のダウンロード中 全5画像   Error:2",
                   "全5画像中 2画像を保存できませんでした"}));
  EXPECT_EQ(host.Steps(), 5);
  EXPECT_EQ(folder.Entries(), (Lines{"ok1.jpg", "ok2.jpg", "ok3.jpg"}));
}

TEST_F(HarvestRunTest, ErrorStatusImagesStoreNothingAnd403IsAskedAgainWithoutReferer) {
  WriteFile(folder.path() / "denied.jpg", "EARLIER");
  server.Serve("/s.html", R"(<img src="denied.jpg"><img src="picky.jpg">)");
  server.Serve("/denied.jpg", "<html>forbidden</html>", "text/html", 404);
  server.Handle("/picky.jpg", [](const httplib::Request& req, httplib::Response& res) {
    if (req.has_header("Referer")) {
      res.status = 403;
      res.set_content("no", "text/plain");
    } else {
      res.set_content("PICKY", "image/jpeg");
    }
  });
  RecordingHost host(Options());
  Run(host, "/s.html");
  EXPECT_EQ(ReadFile(folder.path() / "denied.jpg"), "EARLIER");
  EXPECT_EQ(ReadFile(folder.path() / "picky.jpg"), "PICKY");
  EXPECT_EQ(server.RequestCount("/picky.jpg"), 2);
  EXPECT_EQ(host.StatusTexts()[4], "画像のダウンロード中 全2画像   Error:1");
}

TEST_F(HarvestRunTest, RedirectsAreFollowedOnlyToHttp) {
  server.Serve("/r.html", R"(<img src="moved.jpg"><img src="tofile.jpg"><img src="loop.jpg">)");
  server.Redirect("/moved.jpg", "/real/moved.jpg");
  server.Serve("/real/moved.jpg", "MOVED", "image/jpeg");
  server.Redirect("/tofile.jpg", "file:///etc/passwd");
  server.Redirect("/loop.jpg", "/loop.jpg");
  RecordingHost host(Options());
  Run(host, "/r.html");
  EXPECT_EQ(folder.Entries(), Lines{"moved.jpg"});
  EXPECT_EQ(ReadFile(folder.path() / "moved.jpg"), "MOVED");
  EXPECT_EQ(host.StatusTexts()[5], "画像のダウンロード中 全3画像   Error:2");
  EXPECT_LE(server.RequestCount("/loop.jpg"), 11);
}

TEST_F(HarvestRunTest, StalledImageFailsAfterTheTimeOut) {
  server.Serve("/slow.html", R"(<img src="slow.jpg"><img src="fast.jpg">)");
  server.Handle("/slow.jpg", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    res.set_content("SLOW", "image/jpeg");
  });
  server.Serve("/fast.jpg", "FAST", "image/jpeg");
  TransferOptions o = Options();
  o.stall_timeout = std::chrono::milliseconds(700);
  RecordingHost host(o);
  Run(host, "/slow.html");
  EXPECT_EQ(folder.Entries(), Lines{"fast.jpg"});
  EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(HarvestRunTest, MissingOrBlockedFolderFailsEveryEntryAndLeavesNothing) {
  server.Serve("/m.html", R"(<img src="a.jpg"><img src="b.jpg">)");
  server.Serve("/a.jpg", "A", "image/jpeg");
  server.Serve("/b.jpg", "B", "image/jpeg");
  WriteFile(folder.path() / "file", "x");
  for (const std::string& target : {(folder.path() / "nowhere").string(),
                                   (folder.path() / "file").string()}) {
    RecordingHost host(Options());
    HarvestPage(server.Url("/m.html"), target, host);
    EXPECT_EQ(host.StatusTexts()[5], "画像のダウンロード中 全2画像   Error:2") << target;
    EXPECT_EQ(host.StatusTexts().back(), "全2画像中 2画像を保存できませんでした") << target;
    EXPECT_EQ(host.Filter("visible:"), (Lines{"1", "0"})) << target;
    EXPECT_EQ(host.Steps(), 2);
  }
  EXPECT_EQ(folder.Entries(), Lines{"file"});
  // The files are created before the requests: nothing is asked for that could not be kept.
  EXPECT_EQ(server.RequestCount("/a.jpg") + server.RequestCount("/b.jpg"), 0);
}

TEST_F(HarvestRunTest, UnsafeFileNamesAreRefusedNotFetched) {
  server.Serve("/u.html", "<img src=\"x\x01.jpg\">" R"(<img src="a\..\..\x.jpg">)" R"(<img src="ok.gif">)");
  server.Serve("/ok.gif", testing::TinyGif(), "image/gif");
  RecordingHost host(Options());
  Run(host, "/u.html");
  EXPECT_EQ(folder.Entries(), Lines{"ok.gif"});
  EXPECT_EQ(host.Steps(), 3);
  EXPECT_EQ(host.StatusTexts()[5], "画像のダウンロード中 全3画像   Error:2");
  EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "x.jpg"));
}

TEST_F(HarvestRunTest, JapanesePagesGiveJapaneseFileNames) {
  // 写真.jpg in Shift_JIS, declared only by the page's meta tag; a stray lead byte is one
  // U+FFFD in the name and the request, as a browser asks for it.
  server.Serve("/sjis.html",
               "<meta charset=\"Shift_JIS\"><img src=\"\x8e\xca\x90\x5e.jpg\">"
               "<img src=\"abc\x82.jpg\">",
               "text/html");
  server.Serve("/abc%EF%BF%BD.jpg", "BAD", "image/jpeg");
  server.Serve("/utf8.html", "<img src=\"画像 一.png\">", "text/html; charset=utf-8");
  server.Handle("/%E5%86%99%E7%9C%9F.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("SJIS", "image/jpeg");
  });
  server.Handle("/%E7%94%BB%E5%83%8F%20%E4%B8%80.png",
                [](const httplib::Request&, httplib::Response& res) {
                  res.set_content("UTF8", "image/png");
                });
  RecordingHost a(Options());
  Run(a, "/sjis.html");
  RecordingHost b(Options());
  Run(b, "/utf8.html");
  // The names as UTF-8 text, not in the narrow code page (which on Windows is not UTF-8).
  EXPECT_EQ(ReadFile(folder.path() / PathFromUtf8("写真.jpg")), "SJIS");
  EXPECT_EQ(ReadFile(folder.path() / PathFromUtf8("abc\uFFFD.jpg")), "BAD");
  EXPECT_EQ(ReadFile(folder.path() / PathFromUtf8("画像 一.png")), "UTF8");
}

TEST_F(HarvestRunTest, SameNameTwiceLaterWinsAndLongerFileIsReplacedWhole) {
  WriteFile(folder.path() / "logo.gif", std::string(10000, 'x'));
  server.Serve("/d.html", R"(<img src="a/logo.gif"><img src="b/logo.gif">)");
  server.Serve("/a/logo.gif", "FIRST", "image/gif");
  server.Serve("/b/logo.gif", "SECOND", "image/gif");
  for (int jobs : {1, 6}) {
    RecordingHost host(Options(jobs));
    Run(host, "/d.html");
    EXPECT_EQ(ReadFile(folder.path() / "logo.gif"), "SECOND") << jobs;
  }
}

// With the option for today's pages the frames of a frameset are one harvest: a name the
// first frame stored from another address is numbered in the second, and an address the
// first fetched is not fetched again. A file of an earlier run is replaced as before.
TEST_F(HarvestRunTest, TodaysPagesNumberNamesAndFetchOnceAcrossFrames) {
  WriteFile(folder.path() / "logo.gif", "EARLIER RUN");
  server.Serve("/t/index.html", R"(<frameset><frame src="a.html"><frame src="b.html"></frameset>)");
  server.Serve("/t/a.html", R"(<img src="x/logo.gif"><img data-src="s.webp">)");
  server.Serve("/t/b.html", R"(<img src="y/LOGO.gif"><img data-src="s.webp"><img src="y/logo.gif">)");
  server.Serve("/t/x/logo.gif", "X", "image/gif");
  server.Serve("/t/y/logo.gif", "Y", "image/gif");
  server.Serve("/t/y/LOGO.gif", "Y2", "image/gif");
  server.Serve("/t/s.webp", "S", "image/webp");
  RecordingHost host(Options(1));
  HarvestPage(server.Url("/t/index.html"), folder.str(), host, {.modern_pages = true});
#ifdef _WIN32
  const Lines stored{"logo.gif", "s.webp", "LOGO (2).gif", "logo (3).gif"};
#else
  const Lines stored{"logo.gif", "s.webp", "LOGO.gif", "logo (2).gif"};
#endif
  EXPECT_EQ(host.Filter("stored:"), stored);
  EXPECT_EQ(ReadFile(folder.path() / "logo.gif"), "X");
  EXPECT_EQ(ReadFile(folder.path() / stored.back()), "Y");
  EXPECT_EQ(server.RequestCount("/t/s.webp"), 1);
}

TEST_F(HarvestRunTest, ScriptPageResolvesAgainstItsFolder) {
  server.Serve("/cgi/list", R"(<img src="p.jpg">)");
  server.Serve("/cgi/p.jpg", "P", "image/jpeg");
  RecordingHost host(Options());
  Run(host, "/cgi/list?p=2");
  EXPECT_EQ(ReadFile(folder.path() / "p.jpg"), "P");
}

TEST_F(HarvestRunTest, FolderWithSpacesAroundIsTrimmedForFiles) {
  server.Serve("/t.html", R"(<img src="t.jpg">)");
  server.Serve("/t.jpg", "T", "image/jpeg");
  RecordingHost host(Options());
  host.view_option = true;
  HarvestPage(server.Url("/t.html"), " " + folder.str() + " ", host);
  EXPECT_EQ(ReadFile(folder.path() / "t.jpg"), "T");
  // The viewer receives the folder exactly as the run did.
  EXPECT_EQ(host.Filter("view:"), Lines{" " + folder.str() + " |t.jpg|1"});
}

TEST_F(HarvestRunTest, PipelinedAndSequentialRunsReportIdentically) {
  std::string page;
  for (int k = 0; k < 30; ++k) {
    // Appended piece by piece: "i" + std::to_string(…) trips a false -Wrestrict in GCC 12.
    std::string name = "i";
    name += std::to_string(k % 25) + ".jpg";
    page += "<img src=\"" + name + "\">";
    if (k % 7 != 3) server.Serve("/" + name, "body" + std::to_string(k), "image/jpeg");
  }
  server.Serve("/p.html", page);
  RecordingHost seq(Options(1));
  Run(seq, "/p.html");
  const auto seq_entries = folder.Entries();
  RecordingHost par(Options(6));
  Run(par, "/p.html");
  EXPECT_EQ(seq.calls, par.calls);
  EXPECT_EQ(folder.Entries(), seq_entries);
}

// Images of several MiB, so that blocks wait for the writer's thread when the cancel comes.
TEST_F(HarvestRunTest, CancelInTheMiddleLeavesNoTemporaryFile) {
  std::string page;
  for (int k = 0; k < 20; ++k) page += "<img src=\"c" + std::to_string(k) + ".jpg\">";
  server.Serve("/cancel.html", page);
  server.HandleRegex(R"(/c(\d+)\.jpg)", [](const auto&, httplib::Response& res) {
    res.set_chunked_content_provider("image/jpeg", [](size_t offset, httplib::DataSink& sink) {
      if (offset > (3 << 20)) {
        sink.done();
        return true;
      }
      std::string chunk(64 * 1024, 'x');
      sink.write(chunk.data(), chunk.size());
      return true;
    });
  });
  RecordingHost host(Options());
  host.on_call = [](RecordingHost& h, const std::string& line) {
    if (line.rfind("stored:", 0) == 0) h.cancel_flag = true;
  };
  Run(host, "/cancel.html");
  EXPECT_TRUE(NoTemporaryFiles());
  EXPECT_EQ(host.Filter("stored:").size(), 1u);
}

}  // namespace
}  // namespace pelmoa
