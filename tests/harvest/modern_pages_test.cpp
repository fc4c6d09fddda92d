#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harvest/harvest.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"

namespace pelmoa {
namespace {

// One page, harvested with the additions for today's pages off and on. An outcome reads
// "N: stored names / requested addresses", then "| last status" when images failed; "none"
// when the page has no image. Under /i/ the server answers every address: a name with an
// extension as that type of image, a name without one by the type after its last '_'
// (pic_webp is image/webp, mark_svg image/svg+xml, login_html text/html). HOST stands for the
// server's host:port.
struct Row {
  const char* name;
  const char* page;
  const char* off;
  const char* on;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class ModernPagesTest : public ::testing::TestWithParam<Row> {
 protected:
  std::string Harvest(bool modern) {
    testing::TempDir folder;
    TransferOptions o;
    o.jobs = 1;  // requests in list order
    testing::RecordingHost host(o);
    const std::size_t before = server.Requests().size();
    HarvestPage(server.Url("/i/page.html"), folder.str(), host, {.modern_pages = modern});
    if (host.Filter("max:").empty()) return "none";
    std::string outcome = host.Filter("max:")[0] + ":";
    for (const auto& name : host.Filter("stored:")) outcome += " " + name;
    outcome += " /";
    const auto requests = server.Requests();
    for (std::size_t k = before + 1; k < requests.size(); ++k) outcome += " " + requests[k];
    if (!host.StatusTexts().back().empty()) outcome += " | " + host.StatusTexts().back();
    return outcome;
  }

  testing::TestServer server;
};

TEST_P(ModernPagesTest, FindsAndNamesTheseImages) {
  server.HandleRegex(R"(/i/([^?]*))", [](const auto& groups, httplib::Response& res) {
    const std::string& name = groups[0];
    const std::size_t dot = name.rfind('.');
    std::string type = dot == std::string::npos ? name.substr(name.rfind('_') + 1)
                                                : "image/" + name.substr(dot + 1);
    if (type == "html") type = "text/html";
    if (type == "webp") type = "image/webp";
    if (type == "svg") type = "image/svg+xml";
    if (type == "image/jpg") type = "image/jpeg";
    res.set_content("picture", type);
  });
  std::string page = GetParam().page;
  if (const std::size_t at = page.find("HOST"); at != std::string::npos) {
    page.replace(at, 4, "127.0.0.1:" + std::to_string(server.port()));
  }
  server.Serve("/i/page.html", page);
  EXPECT_EQ(Harvest(false), GetParam().off);
  EXPECT_EQ(Harvest(true), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ModernPagesTest,
    ::testing::Values(
        // Unquoted values that overlap and share their end: each cut is named on its own.
        Row{"OverlappingCuts", "<a href=x.y/href=z.gif><a href=a/href=b/c.gif>",
            "4: href=z.gif z.gif c.gif c.gif / /i/x.y/href=z.gif /i/z.gif /i/a/href=b/c.gif /i/b/c.gif",
            "4: href=z.gif z.gif c.gif c (2).gif / /i/x.y/href=z.gif /i/z.gif /i/a/href=b/c.gif "
            "/i/b/c.gif"},
        Row{"OverlappingCutsInAQuery", "<a href=x.gif?href=y:/z.gif>",
            "2: z.gif z.gif / /i/x.gif?href=y:/z.gif /i/y:/z.gif",
            "2: z.gif / /i/x.gif?href=y:/z.gif"},
        Row{"OverlappingCutsAfterADotSegment", "<a href=a/./href=b/c.gif>",
            "2: c.gif c.gif / /i/a/./href=b/c.gif /i/b/c.gif",
            "2: c.gif c (2).gif / /i/a/href=b/c.gif /i/b/c.gif"},
        Row{"OverlappingCutsWithAQuery", "<a href=p/href=q.gif?1>", "none",
            "2: href=q.gif q.gif / /i/p/href=q.gif?1 /i/q.gif?1"},
        // The second name is refused (a control character), but its address was asked for.
        Row{"SameAddressUnderARefusedName", "<a href=x%7F.gif?1><a href=x\x7f.gif?1>", "none",
            "2: x%7F.gif / /i/x%7F.gif?1"},
        Row{"SpacerAndDataSrc", R"(<img src="spacer.gif" data-src="photo.jpg">)",
            "1: spacer.gif / /i/spacer.gif",
            "3: spacer.gif photo.jpg / /i/spacer.gif /i/photo.jpg"},
        Row{"SrcsetWidths", R"(<img src="a-480.jpg" srcset="a-480.jpg 480w, a-1600.jpg 1600w, a-800.jpg 800w">)",
            "1: a-480.jpg / /i/a-480.jpg", "3: a-480.jpg a-1600.jpg / /i/a-480.jpg /i/a-1600.jpg"},
        Row{"DataSrcsetDensitiesIsNoDataSrc",
            R"(<img src="b.jpg" data-srcset="b.jpg, b-3x.jpg 3x, b-2x.jpg 2x">)",
            "1: b.jpg / /i/b.jpg", "3: b.jpg b-3x.jpg / /i/b.jpg /i/b-3x.jpg"},
        Row{"SrcsetWithoutDescriptorsTieKeepsFirst", R"(<img srcset="c1.jpg, c2.jpg 1x">)", "none",
            "2: c1.jpg / /i/c1.jpg"},
        Row{"SrcsetWidthTieKeepsFirst", R"(<img srcset="w1.jpg 800w, w2.jpg 800w, w0.jpg 799w">)",
            "none", "2: w1.jpg / /i/w1.jpg"},
        Row{"NameInsideALongerNameIsNone",
            R"(<img src="a.gif" x-data-src="x.jpg" data-srcx="y.jpg" data-original-src="z.jpg">)",
            "1: a.gif / /i/a.gif", "4: a.gif y.jpg z.jpg / /i/a.gif /i/y.jpg /i/z.jpg"},
        Row{"PictureSource",
            R"(<picture><source srcset="d.webp 1x, d@2x.webp 2x" type="image/webp"><img src="d.jpg"></picture>)",
            "1: d.jpg / /i/d.jpg", "3: d.jpg d@2x.webp / /i/d.jpg /i/d@2x.webp"},
        Row{"WiderExtensionsAnyCase",
            R"(<img src="e.jpeg"><img src="F.WEBP"><a href="g.avif">g</a><a href="h.BMP">h</a>)",
            "none", "6: e.jpeg F.WEBP g.avif h.BMP / /i/e.jpeg /i/F.WEBP /i/g.avif /i/h.BMP"},
        Row{"QueryAndFragment", R"(<img src="q.jpg?w=1200"><a href="r.png#top">r</a>)", "none",
            "3: q.jpg r.png / /i/q.jpg?w=1200 /i/r.png"},
        Row{"DataValuesPassedOver",
            R"(<img src="data:image/gif;base64,R0lG" data-src="data:image/png;base64,iVBO" srcset="data:image/gif;base64,AAAA 2x, s.jpg">)",
            "none", "2: s.jpg / /i/s.jpg"},
        Row{"FoundTwiceFetchedOnce",
            R"(<img src="t.jpg" data-src="t.jpg"><a href="t.jpg">t</a><img data-src="u.webp"><a href="u.webp">u</a>)",
            "2: t.jpg t.jpg / /i/t.jpg /i/t.jpg",
            "7: t.jpg u.webp t.jpg / /i/t.jpg /i/u.webp /i/t.jpg"},
        Row{"NameFromTheAnswersType", R"(<img data-src="/i/pic_webp"><img data-lazy-src="login_html">)",
            "none",
            "2: pic_webp.webp / /i/pic_webp /i/login_html | 全2画像中 1画像を保存できませんでした"},
        // .svgz is another format: the extension test takes whole extensions only.
        Row{"SvgByExtensionAndByType",
            R"(<img src="a.svg"><a href="B.SVG">b</a><a href="c.svgz">c</a><div data-src="d.Svg"></div><div data-src="/i/mark_svg"></div>)",
            "none", "5: a.svg B.SVG d.Svg mark_svg.svg / /i/a.svg /i/B.SVG /i/d.Svg /i/mark_svg"},
        Row{"SchemeRelativeAddress", R"(<div data-original="//HOST/i/w.png"></div>)", "none",
            "1: w.png / /i/w.png"},
        // What a browser shows and requests from the page's tags (the fourth pass).
        Row{"ImgWithoutExtensionSocialAndPoster",
            R"(<img src="pic_webp?s=48"><meta property="OG:IMAGE" content="og.jpg"><video poster="v.gif">)",
            "none", "3: pic_webp.webp og.jpg v.gif / /i/pic_webp?s=48 /i/og.jpg /i/v.gif"},
        Row{"BackgroundAndOtherDataValues",
            R"h(<div style="background-image: url('bg.png')" data-img="d.jpg" data-link="p_webp"></div>)h",
            "none", "2: bg.png d.jpg / /i/bg.png /i/d.jpg"},
        Row{"TagValuesDecodedTextOnesAsBefore", R"(<img src="q.jpg?a=1&amp;b=2">)", "none",
            "2: q.jpg / /i/q.jpg?a=1&b=2"},
        Row{"CommentsAndScriptsAreNoTagsNoscriptIs",
            R"(<!-- <img src="c_webp"> --><script>s='<img src="s_webp">'</script><noscript><img src="n_webp"></noscript>)",
            "none", "1: n_webp.webp / /i/n_webp"},
        Row{"FirstBaseHrefForEveryAddress",
            R"(<img src="x.gif"><base href="/i/b/"><base href="/i/c/">)", "1: x.gif / /i/x.gif",
            "2: x.gif / /i/b/x.gif"},
        Row{"NotHttpAndDotNamesPassedOver",
            R"(<img src="data:image/x/a.gif"><img src="ok.gif"><img src="..">)",
            "2: a.gif ok.gif / /i/data:image/x/a.gif /i/ok.gif", "4: ok.gif / /i/ok.gif"},
        Row{"BackslashEndsAPathSegment", R"(<div data-src="b\c.gif"></div>)", "none",
            "1: c.gif / /i/b/c.gif"},
        Row{"SameNameFromAnotherAddressNumbered",
            R"(<img src="a/dims_webp?w=1"><img src="b/dims_webp?w=2"><img src="c/logo.png"><img src="d/logo.png"><img src="c/logo.png">)",
            "3: logo.png logo.png logo.png / /i/c/logo.png /i/d/logo.png /i/c/logo.png",
            "8: logo.png logo (2).png logo.png dims_webp.webp dims_webp (2).webp / /i/c/logo.png "
            "/i/d/logo.png /i/c/logo.png /i/a/dims_webp?w=1 /i/b/dims_webp?w=2"},
        Row{"OffIsTodaysRun",
            R"(<img src="spacer.gif" data-src="p.jpg" srcset="p-2.jpg 2x"><picture><source srcset="p.webp"><img src="p.png?v=1"></picture><a href="big.jpeg">b</a><a href="x.png">x</a>)",
            "2: spacer.gif x.png / /i/spacer.gif /i/x.png",
            "9: spacer.gif p.png big.jpeg x.png p.jpg p-2.jpg p.webp / /i/spacer.gif /i/p.png?v=1 "
            "/i/big.jpeg /i/x.png /i/p.jpg /i/p-2.jpg /i/p.webp"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
