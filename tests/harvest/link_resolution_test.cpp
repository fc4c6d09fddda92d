#include <gtest/gtest.h>

#include "harvest/scan/link_resolution.h"
#include "harvest/text/page_address.h"

namespace pelmoa {
namespace {

struct ResolveCase {
  const char* name;
  const char* page_url;
  const char* reference;
  const char* file_name;
  const char* image_url;  // nullptr: passed over
};

void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }

class ResolveImageReferenceTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveImageReferenceTest, GivesFileNameAndAddress) {
  const auto& c = GetParam();
  const ResolvedReference r = ResolveImageReference(c.page_url, c.reference);
  if (!c.image_url) {
    EXPECT_TRUE(r.pass_over);
    return;
  }
  EXPECT_FALSE(r.pass_over);
  EXPECT_EQ(r.file_name, c.file_name);
  EXPECT_EQ(r.image_url, c.image_url);
}

constexpr char kPage[] = "http://host/dir/page.html";

INSTANTIATE_TEST_SUITE_P(
    References, ResolveImageReferenceTest,
    ::testing::Values(
        ResolveCase{"BareName", kPage, "a.jpg", "a.jpg", "http://host/dir/a.jpg"},
        ResolveCase{"SubFolder", kPage, "img/a.jpg", "a.jpg", "http://host/dir/img/a.jpg"},
        ResolveCase{"DotSegmentsKept", kPage, "../img/a.jpg", "a.jpg",
                    "http://host/dir/../img/a.jpg"},
        ResolveCase{"RootRelative", kPage, "/img/a.gif", "a.gif", "http://host/img/a.gif"},
        ResolveCase{"RootRelativeAfterSpaces", kPage, "  /img/a.gif", "a.gif",
                    "http://host/img/a.gif"},
        ResolveCase{"Absolute", kPage, "http://cdn/x/b.png", "b.png", "http://cdn/x/b.png"},
        ResolveCase{"HttpsAbsolute", kPage, "https://cdn/x/b.png", "b.png", "https://cdn/x/b.png"},
        ResolveCase{"ProtocolRelativeIsRootRelative", kPage, "//cdn/x/b.png", "b.png",
                    "http://host//cdn/x/b.png"},
        ResolveCase{"CapitalSchemeIsRelative", kPage, "HTTP://cdn/x/b.png", "b.png",
                    "http://host/dir/HTTP://cdn/x/b.png"},
        ResolveCase{"HttpPrefixedNameIsAbsolute", kPage, "httpd.jpg", "httpd.jpg", "httpd.jpg"},
        ResolveCase{"QueryKeptInName", kPage, "show.cgi?id=7&f=c.jpg", "show.cgi?id=7&f=c.jpg",
                    "http://host/dir/show.cgi?id=7&f=c.jpg"},
        ResolveCase{"NoDotPassedOver", kPage, "pics/photojpg", "", nullptr},
        ResolveCase{"ScriptPageLosesLastSegment", "http://host/dir/list.cgi?p=2", "a.jpg", "a.jpg",
                    "http://host/dir/a.jpg"},
        ResolveCase{"QueryWithoutDotLosesLastSegment", "http://host/cgi/list?p=2", "a.jpg",
                    "a.jpg", "http://host/cgi/a.jpg"},
        ResolveCase{"DirectoryGivesTwoSlashes", "http://host/dir/", "a.jpg", "a.jpg",
                    "http://host/dir//a.jpg"},
        ResolveCase{"LastSegmentWithoutDotStays", "http://host/dir/sub", "a.jpg", "a.jpg",
                    "http://host/dir/sub/a.jpg"},
        ResolveCase{"SlashInsideQuery", "http://host/cgi?a=b/c", "a.jpg", "a.jpg",
                    "http://host/cgi?a=b/c/a.jpg"},
        ResolveCase{"PortKeptForRootRelative", "http://host:8080/d/p.htm", "/img/a.gif", "a.gif",
                    "http://host:8080/img/a.gif"},
        ResolveCase{"SpacesTrimmedForRelativeKeptInName", kPage, " a b.jpg ", " a b.jpg ",
                    "http://host/dir/a b.jpg"},
        ResolveCase{"SpacesKeptForAbsolute", kPage, "http://c/x.jpg ", "x.jpg ",
                    "http://c/x.jpg "},
        ResolveCase{"HostlessPageStillResolves", "http://a.b", "/x.gif", "x.gif",
                    "http:///x.gif"}),
    [](const auto& info) { return std::string(info.param.name); });

// A reference only the additions for today's pages find: the name is its last path segment
// without query or fragment (an extension from the answer's type when it has none), the
// fragment is not sent, and "//host" is another host on the page's own scheme.
struct AddedCase {
  const char* name;
  const char* page_url;
  const char* reference;
  const char* file_name;
  const char* image_url;  // nullptr: passed over
  bool typed = false;     // the name takes its extension from the answer's type
};

void PrintTo(const AddedCase& c, std::ostream* os) { *os << c.name; }

class ResolveAddedReferenceTest : public ::testing::TestWithParam<AddedCase> {};

TEST_P(ResolveAddedReferenceTest, GivesFileNameAndAddress) {
  const auto& c = GetParam();
  const ResolvedReference r = ResolveAddedReference(c.page_url, c.reference);
  ASSERT_EQ(r.pass_over, c.image_url == nullptr);
  if (r.pass_over) return;
  EXPECT_EQ(r.file_name, c.file_name);
  EXPECT_EQ(r.image_url, c.image_url);
  EXPECT_EQ(r.extension_from_type, c.typed);
}

constexpr char kHttpsPage[] = "https://host/dir/page.html";

INSTANTIATE_TEST_SUITE_P(
    References, ResolveAddedReferenceTest,
    ::testing::Values(
        AddedCase{"OtherHostOnHttpsPage", kHttpsPage, "//cdn/x/b.webp", "b.webp",
                  "https://cdn/x/b.webp"},
        AddedCase{"OtherHostOnHttpPage", kPage, "//cdn/x/b.webp", "b.webp", "http://cdn/x/b.webp"},
        AddedCase{"RootRelativeOnHttpsPage", kHttpsPage, "/i/a.avif", "a.avif",
                  "https://host/i/a.avif"},
        AddedCase{"QueryKeptFragmentDropped", kPage, " q.jpg?w=1#top ", "q.jpg",
                  "http://host/dir/q.jpg?w=1"},
        AddedCase{"NoExtensionTakesTheType", kPage, "/i/pic?v=2", "pic", "http://host/i/pic?v=2",
                  true},
        AddedCase{"NoNamePassedOver", kPage, "/i/?v=2", "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
  const char* name;
  const char* typed;
  const char* document_path;  // as the transfer reports it
  const char* normalised;     // after the fetch
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class PageAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(PageAddressTest, NormalisesAroundTheFetch) {
  const auto& c = GetParam();
  const std::string before = NormalisePageAddress(c.typed);
  EXPECT_EQ(DocumentPathOf(before), c.document_path);
  EXPECT_EQ(CompletePageAddress(before, DocumentPathOf(before)), c.normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PageAddressTest,
    ::testing::Values(
        AddressCase{"SchemeAdded", "host/dir/", "/dir/", "http://host/dir/"},
        AddressCase{"SpacesRemoved", " http://host/dir/ ", "/dir/", "http://host/dir/"},
        AddressCase{"CapitalSchemeGetsPrefix", "HTTP://host/", "//host/", "http://HTTP://host/"},
        AddressCase{"HttpsKept", "https://host/a/p.html", "/a/p.html", "https://host/a/p.html"},
        AddressCase{"BareHost", "http://host", "", "http://host/"},
        AddressCase{"DirectoryWithoutSlash", "http://host/dir", "/dir", "http://host/dir/"},
        AddressCase{"FileStays", "http://host/dir/page.html", "/dir/page.html",
                    "http://host/dir/page.html"},
        AddressCase{"DotAnywhereStays", "http://host/x.y", "/x.y", "http://host/x.y"},
        AddressCase{"ScriptWithQueryGetsNoSlash", "http://host/cgi/list?p=2", "/cgi/list",
                    "http://host/cgi/list?p=2"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
