#include <gtest/gtest.h>

#include "harvest/scan/browser_url.h"

namespace pelmoa {
namespace {

// A reference on a page (and its first <base href>) and the address a browser requests,
// nullptr when it requests none over http or https.
struct Row {
  const char* name;
  const char* reference;
  const char* address;
  const char* page = "http://host/dir/page.html?q=1";
  const char* base = nullptr;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class BrowserUrlTest : public ::testing::TestWithParam<Row> {};

TEST_P(BrowserUrlTest, ResolvesAsABrowser) {
  const Row& row = GetParam();
  const BrowserUrlResolver resolver(
      row.page, row.base ? std::optional<std::string_view>(row.base) : std::nullopt);
  const std::optional<std::string> address = resolver.Resolve(row.reference);
  if (!row.address) {
    EXPECT_FALSE(address) << *address;
    return;
  }
  ASSERT_TRUE(address);
  EXPECT_EQ(*address, row.address);
}

INSTANTIATE_TEST_SUITE_P(
    References, BrowserUrlTest,
    ::testing::Values(
        Row{"Relative", "img/a.jpg", "http://host/dir/img/a.jpg"},
        Row{"OtherHostOnThePagesScheme", "//cdn.example/a.jpg", "https://cdn.example/a.jpg",
            "https://host/p.html"},
        Row{"DotSegmentsNeverAboveTheRoot", "./x/../../../../a.jpg", "http://host/a.jpg"},
        Row{"EncodedDotSegments", "a/%2E%2e/b.jpg", "http://host/dir/b.jpg"},
        Row{"BackslashIsASlashBeforeTheQuery", "\\\\cdn\\x\\a.jpg?p=a\\b",
            "http://cdn/x/a.jpg?p=a\\b"},
        Row{"TabsAndLineBreaksGoSpacesAtTheEndsToo", " \x01\t/a\n.j\rpg\t ", "http://host/a.jpg"},
        Row{"SchemeAndHostInLowerCaseDefaultPortDropped", "HTTPS://CDN.Example:443/X.JPG",
            "https://cdn.example/X.JPG"},
        Row{"OtherPortKept", "//h:8080/a.jpg", "http://h:8080/a.jpg"},
        Row{"SameSchemeWithoutSlashesIsRelative", "http:a.jpg", "http://host/dir/a.jpg"},
        Row{"SameSchemeOneSlashIsRootRelative", "http:/a.jpg", "http://host/a.jpg"},
        Row{"OtherSchemeTakesAHost", "https:cdn/a.jpg", "https://cdn/a.jpg"},
        Row{"SpacesAndUtf8Encoded", "写 真.jpg?q=日本 '", "http://host/dir/%E5%86%99%20%E7%9C%9F.jpg?q=%E6%97%A5%E6%9C%AC%20%27"},
        Row{"PathSetAndEscapesKept", "a^`{}\"%41%zz.jpg", "http://host/dir/a%5E%60%7B%7D%22%41%zz.jpg"},
        Row{"FragmentNotRequested", "a.jpg#top", "http://host/dir/a.jpg"},
        Row{"EmptyQueryKept", "./a.jpg?#top", "http://host/dir/a.jpg?"},
        Row{"FragmentAloneIsThePage", "#top", "http://host/dir/page.html?q=1"},
        Row{"QueryAloneOnThePagesPath", "?v=2", "http://host/dir/page.html?v=2"},
        Row{"NotHttpPassedOver", "javascript:void(0)", nullptr},
        Row{"DataPassedOver", "data:image/png;base64,AA", nullptr},
        Row{"FtpPassedOver", "ftp://host/a.jpg", nullptr},
        Row{"NoHostPassedOver", "http:///", nullptr},
        Row{"BadPortPassedOver", "http://h:99999/a.jpg", nullptr},
        Row{"BaseFolder", "a.jpg", "https://cdn/img/a.jpg", "https://host/dir/p.html",
            "//cdn/img/"},
        Row{"BaseRelativeToThePage", "a.jpg", "http://host/static/a.jpg",
            "http://host/dir/p.html", "../static/"},
        Row{"ScriptBaseLeavesThePage", "a.jpg", "http://host/dir/a.jpg", "http://host/dir/p.html",
            "javascript:alert(1)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
