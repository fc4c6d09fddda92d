#include "sources/registered_url_store.h"

#include <gtest/gtest.h>

#include "test_settings.h"

namespace pelmoa {
namespace {

const QString kApp = QStringLiteral("Pelmoa");
const QString kSection = QStringLiteral("URL");

class RegisteredUrlStoreTest : public ::testing::Test {
 protected:
  void Put(const QString& key, const QString& value) {
    store_.WriteSetting(kApp, kSection, key, value);
  }
  // Reads the store behind the list's back: absent keys read as "(absent)".
  QString Raw(const QString& key) const {
    const QString value = settings_.Stored(kSection, key);
    return value.isNull() ? QStringLiteral("(absent)") : value;
  }

  testing::TestSettings settings_;
  SettingsStore& store_ = settings_.store();
};

QList<RegisteredUrl> Entries(int count, const QString& stem = QStringLiteral("page")) {
  QList<RegisteredUrl> list;
  for (int i = 1; i <= count; ++i) {
    list.append({stem + QString::number(i), QStringLiteral("http://host/%1/%2").arg(stem).arg(i)});
  }
  return list;
}

TEST_F(RegisteredUrlStoreTest, EmptyStoreLoadsEmptyList) {
  EXPECT_TRUE(LoadRegisteredUrls(store_).isEmpty());
  EXPECT_TRUE(RegisteredAddresses(store_).isEmpty());
}

TEST_F(RegisteredUrlStoreTest, LoadingStopsAtTheFirstMissingTitle) {
  Put("Title001", "one");
  Put("URL001", "http://one/");
  Put("Title002", "two");
  Put("URL002", "http://two/");
  Put("Title004", "four");
  Put("URL004", "http://four/");
  const QList<RegisteredUrl> expected{{"one", "http://one/"}, {"two", "http://two/"}};
  EXPECT_EQ(LoadRegisteredUrls(store_), expected);
}

TEST_F(RegisteredUrlStoreTest, MissingUrlKeyReadsNone) {
  Put("Title001", "no address");
  const QList<RegisteredUrl> expected{{"no address", "None"}};
  EXPECT_EQ(LoadRegisteredUrls(store_), expected);
}

TEST_F(RegisteredUrlStoreTest, UrlNoneIsAnOrdinaryValue) {
  Put("Title001", "first");
  Put("URL001", "None");
  Put("Title002", "second");
  Put("URL002", "http://two/");
  EXPECT_EQ(LoadRegisteredUrls(store_).size(), 2);
}

TEST_F(RegisteredUrlStoreTest, PositionsPassFrom999To1000WithoutABreak) {
  for (int p = 1; p <= 1000; ++p) {
    const QString number =
        p < 1000 ? QStringLiteral("%1").arg(p, 3, 10, QLatin1Char('0')) : QStringLiteral("1000");
    Put("Title" + number, "t" + QString::number(p));
    Put("URL" + number, "u" + QString::number(p));
  }
  const QList<RegisteredUrl> list = LoadRegisteredUrls(store_);
  ASSERT_EQ(list.size(), 1000);
  EXPECT_EQ(list[0], (RegisteredUrl{"t1", "u1"}));
  EXPECT_EQ(list[11], (RegisteredUrl{"t12", "u12"}));
  EXPECT_EQ(list[998], (RegisteredUrl{"t999", "u999"}));
  EXPECT_EQ(list[999], (RegisteredUrl{"t1000", "u1000"}));
}

TEST_F(RegisteredUrlStoreTest, SaveUsesThreeDigitPositionsThenPlainNumbers) {
  SaveRegisteredUrls(store_, Entries(12));
  EXPECT_EQ(Raw("Title001"), "page1");
  EXPECT_EQ(Raw("URL001"), "http://host/page/1");
  EXPECT_EQ(Raw("Title012"), "page12");
  EXPECT_EQ(Raw("URL012"), "http://host/page/12");
  EXPECT_EQ(Raw("Title12"), "(absent)");
  EXPECT_EQ(Raw("Title013"), "(absent)");  // already the end: nothing to clean up
}

TEST_F(RegisteredUrlStoreTest, SavingFewerEntriesEndsTheListAndDeletesNothing) {
  SaveRegisteredUrls(store_, Entries(5));
  QList<RegisteredUrl> three = Entries(5);
  three.remove(1, 2);
  SaveRegisteredUrls(store_, three);

  EXPECT_EQ(LoadRegisteredUrls(store_), three);
  for (const char* key : {"Title004", "URL004", "Title005", "URL005"}) {
    EXPECT_EQ(Raw(key), "None") << key;
  }
  EXPECT_EQ(Raw("Title006"), "(absent)");

  // A later, longer save must not bring the old fifth entry back.
  three.append(RegisteredUrl{"new", "http://new/"});
  SaveRegisteredUrls(store_, three);
  EXPECT_EQ(LoadRegisteredUrls(store_), three);
}

TEST_F(RegisteredUrlStoreTest, CleanUpStopsAtTheFirstPositionAlreadyEnded) {
  SaveRegisteredUrls(store_, Entries(3));
  Put("Title004", "None");
  Put("Title005", "stale");
  Put("URL005", "http://stale/");
  SaveRegisteredUrls(store_, Entries(1));
  EXPECT_EQ(Raw("Title002"), "None");
  EXPECT_EQ(Raw("Title003"), "None");
  EXPECT_EQ(Raw("Title005"), "stale");
  EXPECT_EQ(Raw("URL005"), "http://stale/");
}

TEST_F(RegisteredUrlStoreTest, SavingAnEmptyListEndsTheListAtOne) {
  SaveRegisteredUrls(store_, Entries(2));
  SaveRegisteredUrls(store_, {});
  EXPECT_TRUE(LoadRegisteredUrls(store_).isEmpty());
  EXPECT_EQ(Raw("Title001"), "None");
  EXPECT_EQ(Raw("URL001"), "None");
}

TEST_F(RegisteredUrlStoreTest, SavingNeverReordersTrimsOrDeduplicates) {
  const QList<RegisteredUrl> list{
      {"zeta", "http://z/"},
      {"  spaced title  ", "  http://spaced/  "},
      {"alpha", "http://a/"},
      {"alpha", "http://a/"},
      {"日本語のページ", "http://例え.jp/パス?q=1&r=2#frag"},
      {"none", "None"},
      {"None ", ""},
      {" None", "@at, comma; semicolon = equals \"quote\" \\back"},
      {"NONE", "http://upper/"},
  };
  SaveRegisteredUrls(store_, list);
  EXPECT_EQ(LoadRegisteredUrls(store_), list);
  // Through a fresh store too, so nothing lives only in memory.
  EXPECT_EQ(LoadRegisteredUrls(*settings_.Reopen()), list);
}

struct TitleCase {
  const char* name;
  const char* title;
  bool ends_list;
};

class EndMarkerTest : public RegisteredUrlStoreTest,
                      public ::testing::WithParamInterface<TitleCase> {};

TEST_P(EndMarkerTest, OnlyExactlyNoneEndsTheList) {
  Put("Title001", "first");
  Put("URL001", "http://first/");
  Put("Title002", GetParam().title);
  Put("URL002", "http://second/");
  Put("Title003", "third");
  Put("URL003", "http://third/");
  EXPECT_EQ(LoadRegisteredUrls(store_).size(), GetParam().ends_list ? 1 : 3);
  EXPECT_EQ(IsEndMarkerTitle(GetParam().title), GetParam().ends_list);
}

INSTANTIATE_TEST_SUITE_P(Titles, EndMarkerTest,
                         ::testing::Values(TitleCase{"Exact", "None", true},
                                           TitleCase{"LowerCase", "none", false},
                                           TitleCase{"UpperCase", "NONE", false},
                                           TitleCase{"TrailingSpace", "None ", false},
                                           TitleCase{"LeadingSpace", " None", false},
                                           TitleCase{"Longer", "Nonesuch", false},
                                           TitleCase{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegisteredUrlStoreTest, RegisteredAddressesFollowTheListOnceEach) {
  SaveRegisteredUrls(
      store_,
      {{"b", "http://b/"}, {"a", "http://a/"}, {"b again", "http://b/"}, {"c", "http://c/"}});
  EXPECT_EQ(RegisteredAddresses(store_), (QStringList{"http://b/", "http://a/", "http://c/"}));
}

}  // namespace
}  // namespace pelmoa
