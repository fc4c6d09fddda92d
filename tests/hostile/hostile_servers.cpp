// Servers that misbehave: resets, silence, drips slower than a byte a second, redirect
// loops, redirects to other schemes, and error statuses for images.

#include <atomic>
#include <new>
#include <thread>

#include "harvest/harvest.h"
#include "hostile_case.h"

// While armed, an array of 256 KiB, the size of the writer's blocks for a large image's body,
// cannot be allocated: the allocation failure inside the transfer's write callback, which no
// server can cause. Everything else goes through the ordinary scalar allocation, so the
// sanitizers pair every allocation with its release as before.
namespace {
std::atomic<bool> fail_block_allocations{false};
}  // namespace

void* operator new[](std::size_t size) {
  if (size == 256 * 1024 && fail_block_allocations.load()) throw std::bad_alloc();
  return ::operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new[](size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

namespace pelmoa::testing {
namespace {

// An image from a misbehaving server between two good ones, with an earlier file of its
// name in the folder that must survive.
std::function<std::string(CaseContext&)> ImageFrom(RawServer::Behaviour behaviour) {
  return [behaviour](CaseContext& ctx) {
    ctx.raw = std::make_unique<RawServer>(behaviour);
    WriteFile(ctx.dest / "r.jpg", "EARLIER");
    ctx.server.Serve("/s/page.html", "<img src=\"ok1.gif\"><img src=\"" + ctx.raw->Url("/r.jpg") +
                                         "\"><img src=\"ok2.gif\">");
    ctx.server.Serve("/s/ok1.gif", TinyGif(), "image/gif");
    ctx.server.Serve("/s/ok2.gif", TinyGif(), "image/gif");
    return ctx.server.Url("/s/page.html");
  };
}

std::function<std::string(CaseContext&)> PageFrom(RawServer::Behaviour behaviour) {
  return [behaviour](CaseContext& ctx) {
    ctx.raw = std::make_unique<RawServer>(behaviour);
    return ctx.raw->Url("/page.html");
  };
}

void EarlierImageKept(CaseContext& ctx) {
  EXPECT_EQ(ReadFile(ctx.dest / "r.jpg"), "EARLIER");
  EXPECT_EQ(ReadFile(ctx.dest / "ok2.gif"), TinyGif());
}

std::string BlockOfALargeImageNotAllocated(CaseContext& ctx) {
  fail_block_allocations = true;
  ctx.undo.push_back([] { fail_block_allocations = false; });
  WriteFile(ctx.dest / "r.jpg", "EARLIER");
  ctx.server.Serve("/s/r.jpg", std::string(300 << 10, 'R'), "image/jpeg");
  ctx.server.Serve("/s/page.html", "<img src=\"ok1.gif\"><img src=\"r.jpg\"><img src=\"ok2.gif\">");
  ctx.server.Serve("/s/ok1.gif", TinyGif(), "image/gif");
  ctx.server.Serve("/s/ok2.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/s/page.html");
}

std::string Page(CaseContext& ctx, const std::string& body) {
  ctx.server.Serve("/h/page.html", body);
  return ctx.server.Url("/h/page.html");
}

std::string RedirectLoopPage(CaseContext& ctx) {
  ctx.server.Redirect("/h/a.html", "/h/b.html");
  ctx.server.Redirect("/h/b.html", "/h/a.html");
  return ctx.server.Url("/h/a.html");
}

std::string RedirectLoopImage(CaseContext& ctx) {
  ctx.server.Redirect("/h/a.jpg", "/h/b.jpg");
  ctx.server.Redirect("/h/b.jpg", "/h/a.jpg");
  ctx.server.Serve("/h/ok.gif", TinyGif(), "image/gif");
  return Page(ctx, "<img src=\"a.jpg\"><img src=\"ok.gif\">");
}

std::function<std::string(CaseContext&)> RedirectPageTo(std::string scheme) {
  return [scheme](CaseContext& ctx) {
    ctx.server.Redirect("/h/away.html", scheme == "file"
                                            ? "file://" + (ctx.sandbox / "outside.txt").string()
                                            : "ftp://127.0.0.1:1/page.html");
    return ctx.server.Url("/h/away.html");
  };
}

std::function<std::string(CaseContext&)> RedirectImageTo(std::string scheme) {
  return [scheme](CaseContext& ctx) {
    ctx.server.Redirect("/h/away.jpg", scheme == "file"
                                           ? "file://" + (ctx.sandbox / "outside.txt").string()
                                           : "ftp://127.0.0.1:1/away.jpg");
    ctx.server.Serve("/h/ok.gif", TinyGif(), "image/gif");
    return Page(ctx, "<img src=\"away.jpg\"><img src=\"ok.gif\">");
  };
}

std::string ErrorStatuses(CaseContext& ctx) {
  std::string page;
  for (int status : {401, 403, 404, 500}) {
    const std::string name = std::to_string(status) + ".jpg";
    WriteFile(ctx.dest / name, "EARLIER " + name);
    ctx.server.Serve("/h/" + name, "<html>error page</html>", "text/html", status);
    page += "<img src=\"" + name + "\">";
  }
  ctx.server.Serve("/h/ok.gif", TinyGif(), "image/gif");
  return Page(ctx, page + "<img src=\"ok.gif\">");
}

constexpr int kFalling = 12;

Lines FallingNames(int count, bool sorted) {
  Lines names;
  for (int k = 1; k <= count; ++k) names.push_back("f" + std::to_string(k) + ".gif");
  if (sorted) std::sort(names.begin(), names.end());
  return names;
}

// Each image is answered 30 ms sooner than the one before it, so the transfers in flight
// finish in reverse order.
std::string ServeFalling(TestServer& server) {
  server.HandleRegex(R"(/h/f(\d+)\.gif)", [](const auto& groups, httplib::Response& res) {
    const int k = std::stoi(groups[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(30 * (kFalling - k)));
    res.set_content("F" + groups[0], "image/gif");
  });
  std::string page;
  for (const auto& name : FallingNames(kFalling, false)) page += "<img src=\"" + name + "\">";
  server.Serve("/h/page.html", page);
  return server.Url("/h/page.html");
}

std::string LatencyFallingWithPosition(CaseContext& ctx) { return ServeFalling(ctx.server); }

// Stored in list order; and a run cancelled after its third image keeps exactly the first
// three, not the later ones that had already arrived.
void StoredInListOrder(CaseContext& ctx) {
  EXPECT_EQ(ctx.host.Filter("stored:"), FallingNames(kFalling, false));
  for (const auto& name : FallingNames(kFalling, false)) std::filesystem::remove(ctx.dest / name);
  // A server of its own: the first run's idle connections hold six of the other's workers.
  TestServer server;
  const std::string url = ServeFalling(server);
  RecordingHost cancelled(HostileTest::Options());
  cancelled.on_call = [](RecordingHost& h, const std::string& line) {
    if (line.rfind("stored:", 0) == 0 && h.Filter("stored:").size() == 2) h.cancel_flag = true;
  };
  HarvestPage(url, ctx.folder, cancelled);
  EXPECT_EQ(cancelled.Filter("stored:"), FallingNames(3, false));
  Lines left;
  for (const auto& e : std::filesystem::directory_iterator(ctx.dest)) {
    left.push_back(e.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, FallingNames(3, true));
}

}  // namespace

std::vector<HostileCase> ServerCases() {
  const Outcome image_failed = Loop(3, 1, 3, Lines{"ok1.gif", "ok2.gif", "r.jpg"});
  const Outcome page_unreadable = Message(kUnreadablePage);
  const Outcome one_of_two_failed = Loop(2, 1, 2, Lines{"ok.gif"});
  return {
      {"ResetInTheMiddleOfAnImage", ImageFrom(ResetMidBody), image_failed, EarlierImageKept},
      {"ResetInTheMiddleOfThePage", PageFrom(ResetMidBody), page_unreadable},
      {"ImageShorterThanItsLength", ImageFrom(ShortBody), image_failed, EarlierImageKept},
      {"ImageChunksEndWithoutTheLastChunk", ImageFrom(ChunkedCutShort), image_failed,
       EarlierImageKept},
      {"PageShorterThanItsLength", PageFrom(ShortBody), page_unreadable},
      {"ImageServerAcceptsAndNeverAnswers", ImageFrom(Silent), image_failed, EarlierImageKept,
       1000ms},
      {"PageServerAcceptsAndNeverAnswers", PageFrom(Silent), page_unreadable, {}, 1000ms},
      {"ImageOneByteEveryFiveSeconds", ImageFrom(DripBody(5000)), image_failed, EarlierImageKept,
       1000ms},
      // A byte comes more often than the time-out, so the line is never idle for a whole
      // window, yet it brings less than a byte a second: still no useful progress.
      {"ImageDripsFasterThanTheTimeOut", ImageFrom(DripBody(2500)), image_failed, EarlierImageKept,
       3000ms},
      // Slow but steady: a few bytes every 200 ms is progress, over more than one window.
      {"ImageSlowButSteady", ImageFrom(SlowBody(40, 4, 200)), Loop(3, 0, 3, image_failed.files),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "r.jpg"), std::string(40, 'L')); },
       1000ms},
      {"PageHeadDripsFasterThanTheTimeOut", PageFrom(DripHead(2500)), page_unreadable, {}, 3000ms},
      {"ImageHeadersWithoutEnd", ImageFrom(EndlessHead), image_failed, EarlierImageKept},
      {"PageHeadersWithoutEnd", PageFrom(EndlessHead), page_unreadable},
      {"RedirectLoopForThePage", RedirectLoopPage, page_unreadable},
      {"RedirectLoopForAnImage", RedirectLoopImage, one_of_two_failed,
       [](CaseContext& ctx) { EXPECT_LE(ctx.server.RequestCount("/h/a.jpg"), 11); }},
      {"PageRedirectedToFile", RedirectPageTo("file"), page_unreadable},
      {"PageRedirectedToFtp", RedirectPageTo("ftp"), page_unreadable},
      {"ImageRedirectedToFile", RedirectImageTo("file"), one_of_two_failed},
      {"ImageRedirectedToFtp", RedirectImageTo("ftp"), one_of_two_failed},
      {"LatencyFallingWithPosition", LatencyFallingWithPosition,
       Loop(kFalling, 0, kFalling, FallingNames(kFalling, true)), StoredInListOrder},
      {"BlockOfALargeImageNotAllocated", BlockOfALargeImageNotAllocated, image_failed,
       EarlierImageKept},
      {"ImagesWithErrorStatuses", ErrorStatuses,
       Loop(5, 4, 5, Lines{"401.jpg", "403.jpg", "404.jpg", "500.jpg", "ok.gif"}),
       [](CaseContext& ctx) {
         for (int status : {401, 403, 404, 500}) {
           const std::string name = std::to_string(status) + ".jpg";
           EXPECT_EQ(ReadFile(ctx.dest / name), "EARLIER " + name);
         }
         // A refusal is asked once more without the Referer; the others only once.
         EXPECT_EQ(ctx.server.RequestCount("/h/403.jpg"), 2);
         EXPECT_EQ(ctx.server.RequestCount("/h/404.jpg"), 1);
       }},
  };
}

}  // namespace pelmoa::testing
