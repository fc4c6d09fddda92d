#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "session_file.h"
#include "sources/firefox_open_browser_windows.h"
#include "sources/firefox_session.h"

namespace pelmoa {
namespace {

using testing::MozLz4;
using testing::SessionJson;
using testing::WriteSessionFile;

QByteArray WithDeclaredSize(QByteArray file, quint32 size) {
  for (int i = 0; i < 4; ++i) file[8 + i] = char((size >> (8 * i)) & 0xff);
  return file;
}

// One window with two tabs; the second is selected and shows its second page.
const char kTwoTabs[] =
    R"({"windows":[{"selected":2,"tabs":[)"
    R"({"index":1,"entries":[{"url":"http://a1/"},{"url":"http://a2/"}]},)"
    R"({"index":2,"entries":[{"url":"http://b1/"},{"url":"http://b2/"},{"url":"http://b3/"}]})"
    R"(]}]})";
const char kOutOfRange[] =
    R"({"windows":[{"selected":9,"tabs":[)"
    R"({"index":1,"entries":[{"url":"http://a1/"}]},)"
    R"({"index":-4,"entries":[{"url":"http://b1/"},{"url":"http://b2/"}]})"
    R"(]},{"selected":1e300,"tabs":[{"index":1e300,"entries":[{"url":"http://c1/"}]}]}]})";
const char kNoIndexes[] =
    R"({"windows":[{"tabs":[{"entries":[{"url":"http://x1/"},{"url":"http://x2/"}]},)"
    R"({"entries":[{"url":"http://y1/"}]}]}]})";
const char kOddWindows[] =
    R"({"windows":[{"tabs":[{"index":1,"entries":[]}]},{"tabs":[]},7,{"tabs":[{"entries":[{}]}]}]})";

struct SessionCase {
  const char* name;
  QByteArray file;
  QStringList expected;
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

class SessionFileTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(SessionFileTest, YieldsTheSelectedAddressOfEveryWindow) {
  QTemporaryDir root;
  WriteSessionFile(root.path(), QStringLiteral("abcd1234.default-release"), GetParam().file);
  FirefoxOpenBrowserWindows windows({root.path()});
  EXPECT_EQ(windows.WindowAddresses(), GetParam().expected);
}

const QByteArray kTwoWindowsJson = SessionJson(
    {QStringLiteral("http://first.example/"), QStringLiteral("https://second.example/page?q=1")});
const QByteArray kTwoWindows = MozLz4(kTwoWindowsJson);

const SessionCase kCases[] = {
    {"TwoWindowsInOrder",
     kTwoWindows,
     {"http://first.example/", "https://second.example/page?q=1"}},
    {"SelectedTabAndEntry", MozLz4(kTwoTabs), {"http://b2/"}},
    {"IndexesOutOfRangeTakeTheNearest", MozLz4(kOutOfRange), {"http://b1/", "http://c1/"}},
    {"MissingIndexesTakeFirstTabLastEntry", MozLz4(kNoIndexes), {"http://x2/"}},
    {"WindowsWithoutAnAddressYieldEmptyText", MozLz4(kOddWindows), {"", "", "", ""}},
    {"EmptyAddressKept", MozLz4(SessionJson({"http://a/", ""})), {"http://a/", ""}},
    {"NoWindows", MozLz4(R"({"windows":[]})"), {}},
    {"WrongMagic", QByteArray("mozLz41").append('\0') + kTwoWindows.mid(8), {}},
    {"Truncated", kTwoWindows.first(kTwoWindows.size() / 2), {}},
    {"HeaderOnly", kTwoWindows.first(12), {}},
    {"ShorterThanTheHeader", QByteArray("mozLz4"), {}},
    {"EmptyFile", QByteArray(), {}},
    {"GarbageBlock",
     QByteArray("mozLz40", 8) + QByteArray("\x40\x00\x00\x00", 4) + QByteArray(64, '\xff'),
     {}},
    {"DeclaredSizeTooLarge",
     WithDeclaredSize(kTwoWindows, quint32(kTwoWindowsJson.size() + 100)),
     {}},
    {"DeclaredSizeTooSmall", WithDeclaredSize(kTwoWindows, 10), {}},
    {"DeclaredSizeHuge", WithDeclaredSize(kTwoWindows, 0xffffffffu), {}},
    {"NotJson", MozLz4("this is not a session"), {}},
    {"JsonWithoutWindows", MozLz4(R"({"version":["sessionrestore",1]})"), {}},
    {"WindowsNotAnArray", MozLz4(R"({"windows":{"0":{}}})"), {}},
    {"JsonArray", MozLz4("[1,2,3]"), {}},
};

INSTANTIATE_TEST_SUITE_P(Files, SessionFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnpackMozLz4Test, RefusesADeclaredSizeAboveTheBound) {
  const QByteArray json = SessionJson({"http://a/"});
  const QByteArray file = MozLz4(json);
  EXPECT_EQ(UnpackMozLz4(file, quint32(json.size())), json);
  EXPECT_FALSE(UnpackMozLz4(file, quint32(json.size() - 1)).has_value());
}

TEST(FirefoxOpenBrowserWindowsTest, NoFirefoxFolderMeansNoWindows) {
  QTemporaryDir root;
  FirefoxOpenBrowserWindows windows({root.filePath(QStringLiteral("missing"))});
  EXPECT_TRUE(windows.WindowAddresses().isEmpty());
}

TEST(FirefoxOpenBrowserWindowsTest, ProfileWithoutSessionMeansNoWindows) {
  QTemporaryDir root;
  ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("p.default/sessionstore-backups")));
  FirefoxOpenBrowserWindows windows({root.path()});
  EXPECT_TRUE(windows.WindowAddresses().isEmpty());
}

TEST(FirefoxOpenBrowserWindowsTest, MostRecentlyWrittenSessionComesLast) {
  QTemporaryDir first_root;
  QTemporaryDir second_root;
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const auto write = [](const QString& root, const char* profile, const char* address,
                        const QDateTime& when) {
    QFile file(WriteSessionFile(root, profile, MozLz4(SessionJson({address}))));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
  };
  write(first_root.path(), "aaa.recent", "http://recent/", now.addSecs(-10));
  write(first_root.path(), "bbb.old", "http://old/", now.addSecs(-3600));
  write(second_root.path(), "ccc.middle", "http://middle/", now.addSecs(-60));
  QFile damaged(
      second_root.filePath(QStringLiteral("ddd.broken/sessionstore-backups/recovery.jsonlz4")));
  QDir(second_root.path()).mkpath(QStringLiteral("ddd.broken/sessionstore-backups"));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("mozLz40\0garbage", 15);
  damaged.close();

  FirefoxOpenBrowserWindows windows({first_root.path(), second_root.path()});
  EXPECT_EQ(windows.WindowAddresses(),
            (QStringList{"http://old/", "http://middle/", "http://recent/"}));
}

}  // namespace
}  // namespace pelmoa
