// Pages written to hurt: huge, endless, compressed into a bomb, full of NUL bytes and broken
// UTF-8, naming files that climb out of the folder, and framesets that never end.

#include <zlib.h>

#include <algorithm>
#include <fstream>

#include "hostile_case.h"

namespace pelmoa::testing {
namespace {

using namespace std::string_literals;

constexpr std::size_t kPageLimit = std::size_t{64} << 20;

// The test server compresses text types itself when the client accepts it, which takes
// seconds for a page of megabytes; large pages go out as they are under this type. The
// run does not look at the type beyond its charset.
constexpr char kAsIs[] = "application/octet-stream";

// The body is shared, not copied, and goes out in pieces as the client takes them: a copy
// of a 64 MiB page per request (two, with the handler's own) held back the first byte for
// longer than a short stall window on a loaded machine under the sanitizers.
void ServeBytes(TestServer& server, const std::string& path, std::string body,
                const std::string& content_type = "text/html") {
  auto shared = std::make_shared<const std::string>(std::move(body));
  server.Handle(path, [shared, content_type](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(
        shared->size(), content_type,
        [shared](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          return sink.write(shared->data() + offset, std::min<std::size_t>(length, 1 << 20));
        });
  });
}

// A page whose text is `head` padded with spaces to exactly `size` bytes.
std::string PaddedPage(const std::string& head, std::size_t size) {
  std::string page = head;
  page.resize(size, ' ');
  return page;
}

// `decoded` bytes of spaces, gzip-compressed: about a thousandth of that on the wire.
std::string GzipBomb(std::size_t decoded) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
  const std::string block(1 << 20, ' ');
  std::string out;
  char buf[1 << 16];
  for (std::size_t fed = 0; fed < decoded; fed += block.size()) {
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    z.avail_in = static_cast<uInt>(block.size());
    const int flush = fed + block.size() >= decoded ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = reinterpret_cast<Bytef*>(buf);
      z.avail_out = sizeof buf;
      deflate(&z, flush);
      out.append(buf, sizeof buf - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  return out;
}

std::string HundredThousandReferences(CaseContext& ctx) {
  // Every hundredth reference is fetched, every hundredth (offset by fifty) names a file
  // with a control character, the rest end in "jpg" without a '.' and are passed over.
  std::string page;
  page.reserve(3'000'000);
  for (int k = 0; k < 100'000; ++k) {
    const std::string n = std::to_string(k);
    if (k % 100 == 0) {
      page += "<img src=\"i" + n + ".gif\">\n";
    } else if (k % 100 == 50) {
      page += "<img src=\"bad\x01" + n + ".gif\">\n";
    } else {
      page += "<a href=\"p/" + n + "jpg\">" + n + "</a>\n";
    }
  }
  ServeBytes(ctx.server, "/h/many.html", std::move(page), kAsIs);
  ctx.server.HandleRegex(R"(/h/i\d+\.gif)", [](const auto&, httplib::Response& res) {
    res.set_content(TinyGif(), "image/gif");
  });
  return ctx.server.Url("/h/many.html");
}

std::string OverTheLimit(CaseContext& ctx) {
  ServeBytes(ctx.server, "/big.html", PaddedPage("<img src=\"x.jpg\">", kPageLimit + 1), kAsIs);
  ctx.server.Serve("/x.jpg", "X", "image/jpeg");
  return ctx.server.Url("/big.html");
}

std::string AtTheLimit(CaseContext& ctx) {
  ServeBytes(ctx.server, "/big.html", PaddedPage("<img src=\"x.jpg\">", kPageLimit), kAsIs);
  ctx.server.Serve("/x.jpg", "X", "image/jpeg");
  return ctx.server.Url("/big.html");
}

std::string EndlessPage(CaseContext& ctx) {
  ctx.server.Handle("/endless.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider(kAsIs, [](std::size_t, httplib::DataSink& sink) {
      static const std::string chunk = PaddedPage("<img src=\"x.jpg\">", 64 * 1024);
      return sink.write(chunk.data(), chunk.size());
    });
  });
  ctx.server.Serve("/x.jpg", "X", "image/jpeg");
  return ctx.server.Url("/endless.html");
}

std::string Bomb(CaseContext& ctx) {
  static const std::string bomb = GzipBomb(std::size_t{256} << 20);
  EXPECT_LT(bomb.size(), std::size_t{1} << 20) << "the bomb should be small on the wire";
  ctx.server.Handle("/bomb.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Encoding", "gzip");
    res.set_content(bomb, kAsIs);
  });
  return ctx.server.Url("/bomb.html");
}

std::string NulAndBrokenUtf8(CaseContext& ctx) {
  ServeBytes(ctx.server, "/u8/page.html",
             "\0\0<img src=\"ok.gif\">\0\xff\xfe\x80<img src=\"a\0b.gif\">"
             "<img src=\"bad\xff.png\">"s,
             "text/html; charset=utf-8");
  ctx.server.Serve("/u8/ok.gif", TinyGif(), "image/gif");
  ctx.server.Serve("/u8/bad%EF%BF%BD.png", TinyPng(), "image/png");
  return ctx.server.Url("/u8/page.html");
}

std::string BrokenUtf8WithoutCharset(CaseContext& ctx) {
  ServeBytes(ctx.server, "/sj/page.html", "\x80\xff\xfd\0\x81<img src=\"ok.gif\">\xa0\xfe"s,
             "text/html");
  ctx.server.Serve("/sj/ok.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/sj/page.html");
}

std::string OnlyNulBytes(CaseContext& ctx) {
  ServeBytes(ctx.server, "/nul.html", std::string(1 << 20, '\0'), kAsIs);
  return ctx.server.Url("/nul.html");
}

const std::string kName255 = std::string(251, 'm') + ".jpg";

std::string HostileNames(CaseContext& ctx) {
  std::string page;
  for (const std::string& ref :
       {std::string("."), std::string(".."), std::string("sub/.."), std::string("..\\..\\x.jpg"),
        std::string("x\x1f.gif"), std::string("x\x7f.gif"), std::string("a\tb.jpg"),
        std::string("sub/..\\evil.png"), std::string(296, 'n') + ".jpg", kName255,
        std::string("../up.jpg"), std::string("%2e%2e%2fpct.jpg"),
        std::string("/../../root.gif")}) {
    page += "<img src=\"" + ref + "\">";
  }
  ServeBytes(ctx.server, "/n/names.html", page);
  ctx.server.Serve("/n/" + kName255, "M", "image/jpeg");
  ctx.server.Serve("/n/../up.jpg", "UP", "image/jpeg");
  ctx.server.Serve("/n/%2e%2e%2fpct.jpg", "PCT", "image/jpeg");
  ctx.server.Serve("/../../root.gif", "ROOT", "image/gif");
  return ctx.server.Url("/n/names.html");
}

// The process's peak memory from the last reset on, in KiB; a reset sets it to what is in use.
long PeakKiB(bool reset = false) {
  if (reset) std::ofstream("/proc/self/clear_refs") << "5";
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

long peak_before_run = 0;

// Every "img " of the page pairs with one src value of 64 KiB, 20,000 times: 20,000
// references, each with a name too long to store, each counted. Cutting the value again for
// each one held 1.25 GB.
constexpr int kCuts = 20'000;

std::function<std::string(CaseContext&)> ValueCutManyTimes(const char* extension, bool modern) {
  return [extension, modern](CaseContext& ctx) {
    std::string page;
    for (int k = 0; k < kCuts; ++k) page += "img ";
    page += "src=\"" + std::string(64 << 10, 'v') + extension + "\">";
    ServeBytes(ctx.server, "/cut/page.html", std::move(page), kAsIs);
    ctx.options.modern_pages = modern;
    peak_before_run = PeakKiB(true);
    return ctx.server.Url("/cut/page.html");
  };
}

void SmallPeakAndNothingAsked(CaseContext& ctx) {
  EXPECT_LT(PeakKiB() - peak_before_run, 64 << 10) << "KiB more at the peak of the run";
  EXPECT_EQ(ctx.server.Requests(), Lines{"/cut/page.html"});
}

// Unquoted values after "href=" 50,000 times overlap and share their end: 50,000 references,
// each counted; the 51 whose names fit are asked for (and not found). Each cut's name and
// address once read nearly the whole page again: 3.5 s and 38 s for this page.
constexpr int kOverlaps = 50'000;

std::function<std::string(CaseContext&)> OverlappingValues(bool modern) {
  return [modern](CaseContext& ctx) {
    std::string page = "<a ";
    for (int k = 0; k < kOverlaps; ++k) page += "href=";
    ServeBytes(ctx.server, "/v/page.html", page + "x.jpg>", kAsIs);
    ctx.options.modern_pages = modern;
    return ctx.server.Url("/v/page.html");
  };
}

void FitsAsked(CaseContext& ctx) { EXPECT_EQ(ctx.server.Requests().size(), 1u + 51u); }

// Names without an extension take one from the answer's type, so they must leave room for
// the longest (".webp"): 250 bytes do, 251 and 252 are refused before they are asked for.
std::string NamesThatGrowWithTheirType(CaseContext& ctx) {
  std::string page;
  for (int length : {250, 251, 252}) {
    page += "<img data-src=\"/n/" + std::string(static_cast<std::size_t>(length), 'n') + "\">";
  }
  ServeBytes(ctx.server, "/n/page.html", page);
  ctx.server.HandleRegex("/n/n+", [](const auto&, httplib::Response& res) {
    res.set_content("JPEG", "image/jpeg");
  });
  ctx.options.modern_pages = true;
  return ctx.server.Url("/n/page.html");
}

// Pages that hurt the pass over tags, each after one picture the run stores: a tag the end
// of the page cuts off, a script that never ends (in and out of its escaped states), and a
// tag of a million attributes, the one taken named twice.
std::function<std::string(CaseContext&)> HostileTags(const std::string& tail) {
  return [tail](CaseContext& ctx) {
    ServeBytes(ctx.server, "/t/page.html", "<img src=\"ok.gif\">" + tail, kAsIs);
    ctx.server.Serve("/t/ok.gif", TinyGif(), "image/gif");
    ctx.server.Serve("/t/p.png", TinyPng(), "image/png");
    ctx.options.modern_pages = true;
    return ctx.server.Url("/t/page.html");
  };
}

std::string Repeated(const std::string& part, int times) {
  std::string out;
  out.reserve(part.size() * static_cast<std::size_t>(times));
  for (int k = 0; k < times; ++k) out += part;
  return out;
}

std::string MillionAttributes() {
  std::string tag = "<p";
  tag.reserve(10 << 20);
  for (int k = 0; k < 1'000'000; ++k) tag += " a" + std::to_string(k);
  return tag + " data-p=\"p.png\" a7 data-p=\"x.png\">";
}

// Images of many addresses that all give one name: each is kept, as "a (k).gif".
constexpr int kSameNames = 1000;

std::string ManyImagesOfOneName(CaseContext& ctx) {
  std::string page;
  for (int k = 1; k <= kSameNames; ++k) page += "<img src=\"a.gif?" + std::to_string(k) + "\">";
  ServeBytes(ctx.server, "/o/page.html", page);
  ctx.server.Serve("/o/a.gif", TinyGif(), "image/gif");
  ctx.options.modern_pages = true;
  return ctx.server.Url("/o/page.html");
}

Lines NumberedNames(int count) {
  Lines names{"a.gif"};
  for (int k = 2; k <= count; ++k) names.push_back("a (" + std::to_string(k) + ").gif");
  std::sort(names.begin(), names.end());
  return names;
}

std::string SelfByOtherSpellings(CaseContext& ctx) {
  ServeBytes(ctx.server, "/c/self.html",
             "<frameset><frame src=\"" + ctx.server.Url("/c/self.html") +
                 "\"><frame src=\"./self.html\"><frame src=\"/elsewhere/self.html\">"
                 "<frame src=\"pics.html\"></frameset>");
  ServeBytes(ctx.server, "/c/pics.html", "<img src=\"z.gif\">");
  ctx.server.Serve("/c/z.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/c/self.html");
}

std::string CycleThroughRedirect(CaseContext& ctx) {
  ServeBytes(ctx.server, "/r/a.html",
             "<frameset><frame src=\"b.html\"><frame src=\"pics.html\"></frameset>");
  ctx.server.Redirect("/r/b.html", "/r/a.html");
  ServeBytes(ctx.server, "/r/pics.html", "<img src=\"z.gif\">");
  ctx.server.Serve("/r/z.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/r/a.html");
}

}  // namespace

std::vector<HostileCase> PageCases() {
  return {
      {"HundredThousandReferences", HundredThousandReferences, Loop(100'000, 1000, 2000),
       [](CaseContext& ctx) {
         EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ctx.dest), {}), 1000);
       }},
      {"PageOneByteOverTheLimit", OverTheLimit, Message(kUnreadablePage),
       [](CaseContext& ctx) { EXPECT_EQ(ctx.server.RequestCount("/x.jpg"), 0); }},
      {"PageExactlyAtTheLimit", AtTheLimit, Loop(1, 0, 1, Lines{"x.jpg"})},
      {"EndlessChunkedPage", EndlessPage, Message(kUnreadablePage)},
      {"GzipBombPage", Bomb, Message(kUnreadablePage)},
      {"NulBytesAndBrokenUtf8", NulAndBrokenUtf8,
       Loop(3, 1, 3, Lines{"bad\xEF\xBF\xBD.png", "ok.gif"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "bad\xEF\xBF\xBD.png"), TinyPng()); }},
      {"BrokenUtf8WithoutCharset", BrokenUtf8WithoutCharset, Loop(1, 0, 1, Lines{"ok.gif"})},
      {"OnlyNulBytes", OnlyNulBytes, Message(kNoImages)},
      {"FileNamesThatClimbOrCarryControls", HostileNames,
       Loop(10, 6, 10, Lines{"%2e%2e%2fpct.jpg", kName255, "root.gif", "up.jpg"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ReadFile(ctx.dest / "up.jpg"), "UP");
         EXPECT_EQ(ReadFile(ctx.dest / "root.gif"), "ROOT");
         // Refused names are never asked for.
         for (const auto& r : ctx.server.Requests()) {
           EXPECT_EQ(r.find("x.jpg"), std::string::npos) << r;
         }
       }},
      {"ValueCutManyTimes", ValueCutManyTimes(".jpg", false), Loop(kCuts, kCuts, kCuts, Lines{}),
       SmallPeakAndNothingAsked},
      {"ValueCutManyTimesForTodaysPages", ValueCutManyTimes(".webp", true),
       Loop(kCuts, kCuts, kCuts, Lines{}), SmallPeakAndNothingAsked},
      {"OverlappingValues", OverlappingValues(false),
       Loop(kOverlaps, kOverlaps, kOverlaps, Lines{}), FitsAsked},
      {"OverlappingValuesForTodaysPages", OverlappingValues(true),
       Loop(kOverlaps, kOverlaps, kOverlaps, Lines{}), FitsAsked},
      {"NamesThatGrowWithTheirType", NamesThatGrowWithTheirType,
       Loop(3, 2, 3, Lines{std::string(250, 'n') + ".jpg"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ctx.server.Requests(), (Lines{"/n/page.html", "/n/" + std::string(250, 'n')}));
       }},
      {"TagCutOffByTheEndOfThePage",
       HostileTags("<p data-p=\"p.png\"" + Repeated(" a<b=\"c\"", 500'000)),
       Loop(2, 0, 1, Lines{"ok.gif"})},
      {"ScriptThatNeverEnds",
       HostileTags("<script>" + Repeated("<!--<script><img src=s_webp>--></scrip>", 200'000)),
       Loop(2, 0, 1, Lines{"ok.gif"})},
      {"TagOfAMillionAttributes", HostileTags(MillionAttributes()),
       Loop(3, 0, 2, Lines{"ok.gif", "p.png"})},
      {"ManyImagesOfOneName", ManyImagesOfOneName,
       // Two of the passes find every one; the second finding is passed over as fetched.
       Loop(2 * kSameNames, 0, kSameNames, NumberedNames(kSameNames))},
      {"FramesetNamingItselfByOtherSpellings", SelfByOtherSpellings, Loop(1, 0, 1, Lines{"z.gif"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ctx.server.RequestCount("/c/self.html"), 1);
         EXPECT_EQ(ctx.server.RequestCount("/c/pics.html"), 1);
       }},
      {"TwoPageCycleThroughARedirect", CycleThroughRedirect, Loop(1, 0, 2, Lines{"z.gif"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ctx.server.RequestCount("/r/b.html"), 1);
         EXPECT_EQ(ctx.server.RequestCount("/r/a.html"), 2);
       }},
  };
}

}  // namespace pelmoa::testing
