#include <gtest/gtest.h>

#include <string>

#include "harvest/scan/tag_scan.h"

namespace pelmoa {
namespace {

// A page and what the pass over its tags takes, values joined by " | "; "base=" adds the
// base address it found.
struct Row {
  const char* name;
  std::string page;
  const char* refs;
  const char* base = "";
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class TagScanTest : public ::testing::TestWithParam<Row> {};

TEST_P(TagScanTest, TakesWhatABrowserShows) {
  const TagRefs found = ScanTagRefs(GetParam().page);
  std::string refs;
  for (const std::string_view v : found.refs) refs += (refs.empty() ? "" : " | ") + std::string(v);
  EXPECT_EQ(refs, GetParam().refs);
  EXPECT_EQ(std::string(found.base_href.value_or("")), GetParam().base);
}

// Twenty attributes before a second src: the first src still wins past the point where the
// names go into a set.
std::string ManyAttributes() {
  std::string tag = "<img src=\"first.jpg\"";
  for (int k = 0; k < 20; ++k) tag += " a" + std::to_string(k);
  return tag + " src=\"second.jpg\" a3=\"x\" data-p=\"p.png\" data-p=\"q.png\">";
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TagScanTest,
    ::testing::Values(
        Row{"ImgWithoutExtension", R"h(<IMG SRC="/avatar?s=48"><img src=/rt:fit/h:320/x>)h",
            "/avatar?s=48 | /rt:fit/h:320/x"},
        Row{"SrcsetOnceByLargestAtItsPlace",
            R"h(<img alt=x srcset="s.jpg 1x, l.jpg 2x" style="background:url(b.png)" src="a.jpg">)h",
            "l.jpg | b.png"},
        Row{"SrcsetOfDataOnlyFallsBackToSrc", R"h(<img srcset="data:image/gif;base64,R0 2x" src="a.jpg"><img srcset="" src="b.jpg">)h",
            "a.jpg | b.jpg"},
        Row{"InputOfTypeImageOnly", R"h(<input type=IMAGE src=i><input src=t><input type=" image" src=u>)h",
            "i"},
        Row{"VideoPoster", R"h(<video poster="p.jpg" src="v.mp4"></video>)h", "p.jpg"},
        Row{"SocialImages",
            R"h(<meta property="og:image" content="o"><meta name="TWITTER:IMAGE:SRC" content="t"><meta property="og:image:secure_url" content="s"><meta name="description" content="d.jpg"><meta content="c" property="og:title">)h",
            "o | t | s"},
        Row{"LinkImageSrcIsOneRelToken",
            R"h(<link rel="preload IMAGE_SRC" href="l"><link rel="image_srcset" href="no"><link rel=icon href=i.png>)h",
            "l"},
        Row{"BackgroundsOfStyle",
            R"h(<p style="color:red; Background: #fff url( 'a b.png' ) no-repeat, URL(b.png); background-image:url(&quot;c.png&quot;); list-style-image:url(d.png); background:url(); background-image:url(e\).png)">)h",
            "a b.png | b.png | c.png | e).png"},
        Row{"StyleTextIsNoDeclaration", R"h(<p style="/* background:url(a.png) */ content:'background:url(b.png)'">)h", ""},
        Row{"OtherDataAttributesWithAnExtension",
            R"h(<div data-img="i.jpg?w=2" data-item-thumb="T.WEBP" data-src="taken.jpg" data-srcset="s.jpg 2x" data-lazy-src="l.jpg" data-original="o.jpg" data-link="/page" data-big="data:image/png;base64,AA.png">)h",
            "i.jpg?w=2 | T.WEBP"},
        Row{"CharacterReferencesDecoded",
            R"h(<img src="a&amp;b&#47;c&#x2f;d&copy;e&copy f&AMP;g&lt&notin;h&#128;i&#0;j&#x110000;k&#;&#xZ.jpg">)h",
            "a&b/c/d©e© f&g<∉h€i\xEF\xBF\xBDj\xEF\xBF\xBDk&#;&#xZ.jpg"},
        Row{"LegacyNamesBeforeEqualsOrLetterStay", R"h(<img src="x.jpg?a=1&copy=2&not3&notit;&amp=4">)h",
            "x.jpg?a=1&copy=2&not3&notit;&amp=4"},
        Row{"CommentsAreNoTags",
            R"h(<!-- <img src="c1"> --><!--><img src="a"><!---><img src="b"><!-- x --!><img src="c"><!-- <!-- --><img src="d"><!--- ->--> <img src="e">)h",
            "a | b | c | d | e"},
        Row{"BogusCommentsAndDoctype",
            R"h(<!DOCTYPE html PUBLIC "x>"<img src="a"><?php echo '<img src="p">' ?><img src="b"></ 3 <img src="c">><img src="d">)h",
            "a | b | d"},
        Row{"RawTextIsNoMarkup",
            R"h(<script>"<img src=s>"</scripts></script ><style><img src=st></style><textarea><img src=ta></TEXTAREA><title><img src=ti></title><xmp><img src=x></xmp><iframe><img src=if></iframe><noembed><img src=ne></noembed><noframes><img src=nf></noframes><img src="after">)h",
            "after"},
        Row{"ScriptCommentHidesItsEndTag",
            R"h(<script><!--<script></script><img src=hidden></script>--></script><img src="a"><script><!--</script><img src="b">)h",
            "a | b"},
        Row{"NoscriptIsMarkup", R"h(<noscript><img src="n.jpg"></noscript>)h", "n.jpg"},
        Row{"PlaintextEndsTheMarkup", R"h(<img src="a"><plaintext></plaintext><img src="b">)h", "a"},
        Row{"EndTagQuotesHideGreaterThan", R"h(</p title="><img src=x>"><img src="a">)h", "a"},
        Row{"AttributesWithoutSpaces", R"h(<img/alt="a"src="s"><img src=u/ >)h", "s | u/"},
        Row{"TagCutOffByTheEnd", R"h(<img src="a"><img src="b")h", "a"},
        Row{"FirstOfTwoAttributes", ManyAttributes(), "first.jpg | p.png"},
        Row{"EmptyAndDataValuesAreNoReference",
            R"h(<img src=""><img src><video poster=" data:image/png;base64,AA"><img src=  >)h", ""},
        Row{"FirstBaseWithAValue",
            R"h(<img src="a"><!-- <base href="c/"> --><base target=_top><base href=""><base href="/cdn/&amp;/"><base href="other/">)h",
            "a", "/cdn/&/"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
