// The settings file is the user's to damage: a file cut in half, binary garbage, values of
// another type, numbers that are not numbers, and a registered list of ten thousand entries.
// The program must start, place its window on the screen and keep working.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "desktop/settings_store.h"
#include "fake_prompter.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/frm_main.h"
#include "sources/registered_url_store.h"
#include "temp_dir.h"

namespace pelmoa::testing {
namespace {

using namespace std::string_literals;

struct DamagedFile {
  std::string name;
  std::string bytes;  // the whole settings file
};

void PrintTo(const DamagedFile& d, std::ostream* os) { *os << d.name; }

class DamagedSettingsTest : public ::testing::TestWithParam<DamagedFile> {
 protected:
  void SetUp() override {
    ini_ = (dir_.path() / "settings.ini").string();
    std::ofstream(ini_, std::ios::binary) << GetParam().bytes;
  }
  TempDir dir_;
  std::string ini_;
};

TEST_P(DamagedSettingsTest, WindowOpensOnTheScreenAndTheListLoads) {
  QSettingsStore store(QString::fromStdString(ini_));
  FakePrompter prompter;
  frmMain window(store, prompter);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().intersects(window.frameGeometry()));
  EXPECT_TRUE(prompter.boxes.empty());
  // Whatever the file held, the registered list reads as a list.
  const QList<RegisteredUrl> list = LoadRegisteredUrls(store);
  EXPECT_LE(list.size(), 3);
  // And the store still takes and gives back a value.
  store.WriteSetting("Pelmoa", "Setting", "DLFolder", "/tmp/after");
  EXPECT_EQ(store.ReadSetting("Pelmoa", "Setting", "DLFolder", ""), "/tmp/after");
}

std::string Garbage() {
  std::string g;
  for (int k = 0; k < 4096; ++k) g += static_cast<char>((k * 7919 + 13) % 256);
  return g;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSettingsTest,
    ::testing::Values(
        DamagedFile{"BinaryGarbage", Garbage()},
        DamagedFile{"CutInTheMiddle", "[Setting]\nWindowTop=15\nWindowLe"},
        DamagedFile{"UnclosedSectionAndAHugeLine",
                    "[Setting\nWindowTop=1500\nWindowLeft=" + std::string(1 << 20, '9') + "\n"},
        DamagedFile{"ValuesOfOtherTypes",
                    "[Setting]\nWindowTop=@Rect(1 2 3 4)\nWindowLeft=@Point(-99999 5)\n"
                    "DLFolder=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10)\n[URL]\nTitle001=@Size(1 2)\n"
                    "URL001=@ByteArray(\\xff)\nTitle002=a, b, c\n"},
        DamagedFile{"NumbersThatAreNot",
                    "[Setting]\nWindowTop=1e39\nWindowLeft=nan\nDLFolder=\n[URL]\nTitle001=\n"},
        DamagedFile{"HugeAndNegativeNumbers",
                    "[Setting]\nWindowTop=-3.4e38\nWindowLeft=99999999999999999999\n"},
        DamagedFile{"BrokenUtf8AndNul",
                    "[Setting]\nDLFolder=\xff\xfe/\0x\nWindowTop=\x80\n[URL]\nTitle001=\xc3\n"
                    "URL001=http://\xe3\x81/\n"s}),
    [](const auto& info) { return info.param.name; });

// Ten thousand entries, written in one go as an earlier version would have left them.
TEST(RegisteredListTest, TenThousandEntriesLoadAndTheWindowStarts) {
  TempDir dir;
  const QString ini = QString::fromStdString((dir.path() / "settings.ini").string());
  {
    QSettings file(ini, QSettings::IniFormat);
    for (int p = 1; p <= 10'000; ++p) {
      const QString number =
          p < 1000 ? QStringLiteral("%1").arg(p, 3, 10, QLatin1Char('0')) : QString::number(p);
      file.setValue("URL/Title" + number, "title " + QString::number(p));
      file.setValue("URL/URL" + number, "http://host/" + QString::number(p) + "/");
    }
  }
  QSettingsStore store(ini);
  const auto start = std::chrono::steady_clock::now();
  const QList<RegisteredUrl> list = LoadRegisteredUrls(store);
  ASSERT_EQ(list.size(), 10'000);
  EXPECT_EQ(list[999].url, "http://host/1000/");
  EXPECT_EQ(list.back().title, "title 10000");

  FakePrompter prompter;
  frmMain window(store, prompter);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_GE(window.address_completion()->Addresses().size(), 10'000);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("10,000 entries: loaded and window open in %lld ms\n",
              static_cast<long long>(ms.count()));
  // Generous: this only proves the start does not take for ever.
  EXPECT_LT(ms, std::chrono::seconds(60));
}

TEST(SettingsRobustness, TenThousandEntriesSaveAndLoadBack) {
  TempDir dir;
  const QString ini = QString::fromStdString((dir.path() / "settings.ini").string());
  QList<RegisteredUrl> list;
  for (int p = 1; p <= 10'000; ++p) {
    list.push_back({"title " + QString::number(p), "http://host/" + QString::number(p) + "/"});
  }
  {
    QSettingsStore store(ini);
    SaveRegisteredUrls(store, list);
  }
  QSettingsStore next_start(ini);
  const QList<RegisteredUrl> loaded = LoadRegisteredUrls(next_start);
  ASSERT_EQ(loaded.size(), 10'000);
  EXPECT_EQ(loaded[999].title, "title 1000");
  EXPECT_EQ(loaded.back().url, "http://host/10000/");
}

}  // namespace
}  // namespace pelmoa::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (at build time) needs no window system.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
