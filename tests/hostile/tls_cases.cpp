// HTTPS: pages and images over TLS with the tests' own authority, redirects between the two
// schemes, certificates that must not verify, a connection cut inside an image, a handshake
// that never finishes. (HTTP/2 has h2_cases.cpp, which the Windows build runs as well.)

#include "harvest/harvest.h"
#include "hostile_case.h"

namespace pelmoa::testing {
namespace {

// Every certificate but the trusted one fails verification in its own way.
std::string CertName(ServerCert cert) {
  switch (cert) {
    case ServerCert::kTrusted: return "Trusted";
    case ServerCert::kUnknownAuthority: return "UnknownAuthority";
    case ServerCert::kWrongHost: return "WrongHostName";
    case ServerCert::kExpired: return "Expired";
  }
  return "";
}

std::string Https(const std::string& http_url) { return "https" + http_url.substr(4); }

std::string HttpsPageWithHttpAndHttpsImages(CaseContext& ctx) {
  TestServer& tls = ctx.Tls();
  tls.Serve("/s/page.html", "<img src=\"a.gif\"><img src=\"/pics/b.gif\"><img src=\"" +
                                ctx.server.Url("/c.gif") + "\"><a href=\"" + tls.Url("/d.png") +
                                "\">d</a>");
  tls.Serve("/s/a.gif", "TLS A", "image/gif");
  tls.Serve("/pics/b.gif", "TLS B", "image/gif");
  ctx.server.Serve("/c.gif", "PLAIN C", "image/gif");
  tls.Serve("/d.png", "TLS D", "image/png");
  return tls.Url("/s/page.html");
}

// The page and one image move from http to https; references resolve against the address
// as typed, so the image is asked over http first.
std::string HttpRedirectedToHttps(CaseContext& ctx) {
  TestServer& tls = ctx.Tls();
  ctx.server.Redirect("/up/page.html", tls.Url("/up/page.html"));
  tls.Serve("/up/page.html", "<img src=\"x.gif\"><img src=\"" + tls.Url("/up/w.gif") + "\">");
  ctx.server.Redirect("/up/x.gif", tls.Url("/up/x.gif"), 301);
  tls.Serve("/up/x.gif", "TLS X", "image/gif");
  tls.Serve("/up/w.gif", "TLS W", "image/gif");
  return ctx.server.Url("/up/page.html");
}

std::string HttpsRedirectedToHttp(CaseContext& ctx) {
  TestServer& tls = ctx.Tls();
  tls.Redirect("/down/page.html", ctx.server.Url("/down/page.html"));
  ctx.server.Serve("/down/page.html", "<img src=\"z.gif\">");
  tls.Redirect("/down/z.gif", ctx.server.Url("/down/z.gif"));
  ctx.server.Serve("/down/z.gif", "PLAIN Z", "image/gif");
  return tls.Url("/down/page.html");
}

std::function<std::string(CaseContext&)> PageBehind(ServerCert cert) {
  return [cert](CaseContext& ctx) {
    TestServer& tls = ctx.Tls(cert);
    tls.Serve("/page.html", "<img src=\"x.gif\">");
    tls.Serve("/x.gif", "X", "image/gif");
    return tls.Url("/page.html");
  };
}

// An image between two good ones, with an earlier file of its name that must survive.
std::function<std::string(CaseContext&)> ImageBehind(ServerCert cert) {
  return [cert](CaseContext& ctx) {
    TestServer& tls = ctx.Tls(cert);
    WriteFile(ctx.dest / "r.jpg", "EARLIER");
    tls.Serve("/r.jpg", "UNVERIFIED", "image/jpeg");
    ctx.server.Serve("/s/page.html", "<img src=\"ok1.gif\"><img src=\"" + tls.Url("/r.jpg") +
                                         "\"><img src=\"ok2.gif\">");
    ctx.server.Serve("/s/ok1.gif", TinyGif(), "image/gif");
    ctx.server.Serve("/s/ok2.gif", TinyGif(), "image/gif");
    return ctx.server.Url("/s/page.html");
  };
}

// Nothing was asked of a server whose certificate did not verify.
void NothingAsked(CaseContext& ctx) { EXPECT_EQ(ctx.tls.back()->Requests(), Lines{}); }

void EarlierImageKept(CaseContext& ctx) {
  EXPECT_EQ(ReadFile(ctx.dest / "r.jpg"), "EARLIER");
  EXPECT_EQ(ReadFile(ctx.dest / "ok2.gif"), TinyGif());
}

std::string CutInsideAnImage(CaseContext& ctx) {
  TestServer& tls = ctx.Tls();
  tls.Handle("/r.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(1'000'000, "image/jpeg",
                             [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset >= 256 * 1024) return false;  // drops the connection
                               const std::string chunk(64 * 1024, 'T');
                               return sink.write(chunk.data(), chunk.size());
                             });
  });
  WriteFile(ctx.dest / "r.jpg", "EARLIER");
  ctx.server.Serve("/s/page.html", "<img src=\"ok1.gif\"><img src=\"" + tls.Url("/r.jpg") +
                                       "\"><img src=\"ok2.gif\">");
  ctx.server.Serve("/s/ok1.gif", TinyGif(), "image/gif");
  ctx.server.Serve("/s/ok2.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/s/page.html");
}

// A server that takes the connection and never answers the client's hello.
std::string HandshakeNeverEndsForThePage(CaseContext& ctx) {
  ctx.raw = std::make_unique<RawServer>(Silent);
  return Https(ctx.raw->Url("/page.html"));
}

std::string HandshakeNeverEndsForAnImage(CaseContext& ctx) {
  ctx.raw = std::make_unique<RawServer>(Silent);
  WriteFile(ctx.dest / "r.jpg", "EARLIER");
  ctx.server.Serve("/s/page.html", "<img src=\"ok1.gif\"><img src=\"" +
                                       Https(ctx.raw->Url("/r.jpg")) + "\"><img src=\"ok2.gif\">");
  ctx.server.Serve("/s/ok1.gif", TinyGif(), "image/gif");
  ctx.server.Serve("/s/ok2.gif", TinyGif(), "image/gif");
  return ctx.server.Url("/s/page.html");
}

}  // namespace

std::vector<HostileCase> TlsCases() {
  const Outcome image_failed = Loop(3, 1, 3, Lines{"ok1.gif", "ok2.gif", "r.jpg"});
  std::vector<HostileCase> cases = {
      {"HttpsPageWithHttpAndHttpsImages", HttpsPageWithHttpAndHttpsImages,
       Loop(4, 0, 4, Lines{"a.gif", "b.gif", "c.gif", "d.png"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ReadFile(ctx.dest / "a.gif"), "TLS A");
         // A root-relative reference keeps the page's scheme.
         EXPECT_EQ(ReadFile(ctx.dest / "b.gif"), "TLS B");
         EXPECT_EQ(ReadFile(ctx.dest / "c.gif"), "PLAIN C");
       }},
      {"HttpRedirectedToHttps", HttpRedirectedToHttps, Loop(2, 0, 2, Lines{"w.gif", "x.gif"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "x.gif"), "TLS X"); }},
      {"HttpsRedirectedToHttp", HttpsRedirectedToHttp, Loop(1, 0, 1, Lines{"z.gif"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "z.gif"), "PLAIN Z"); }},
      {"ConnectionCutInsideAnImage", CutInsideAnImage, image_failed, EarlierImageKept},
      {"HandshakeNeverEndsForThePage", HandshakeNeverEndsForThePage, Message(kUnreadablePage),
       {}, 1000ms},
      {"HandshakeNeverEndsForAnImage", HandshakeNeverEndsForAnImage, image_failed,
       EarlierImageKept, 1000ms},
  };
  for (ServerCert cert :
       {ServerCert::kUnknownAuthority, ServerCert::kWrongHost, ServerCert::kExpired}) {
    cases.push_back({"PageBehind" + CertName(cert), PageBehind(cert), Message(kUnreadablePage),
                     NothingAsked});
    cases.push_back(
        {"ImageBehind" + CertName(cert), ImageBehind(cert), image_failed, [](CaseContext& ctx) {
           NothingAsked(ctx);
           EarlierImageKept(ctx);
         }});
  }
  return cases;
}

}  // namespace pelmoa::testing
