// Address completion from browser histories: which files are found, what is read from
// them, that the browsers' own files stay untouched, and that bad files are passed over.

#include <sqlite3.h>

#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QOperatingSystemVersion>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <filesystem>
#include <memory>

#include "mainwindow/address_completion.h"
#include "mainwindow/history_reader.h"
#include "temp_dir.h"
#include "test_class.h"

namespace fs = std::filesystem;

namespace {

// A small SQLite database written through SQLite itself; the connection stays open while
// the test reads, as a running browser's would.
class Database {
 public:
  Database(const fs::path& path, const char* schema, bool wal) {
    fs::create_directories(path.parent_path());
    sqlite3_open(path.string().c_str(), &db_);
    if (wal) Exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
    Exec(schema);
  }
  ~Database() { sqlite3_close(db_); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      qWarning("sqlite: %s", error);
      sqlite3_free(error);
    }
  }

 private:
  sqlite3* db_ = nullptr;
};

const char kFirefoxSchema[] =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
    " hidden INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL);";
const char kChromiumSchema[] =
    "CREATE TABLE urls (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
    " visit_count INTEGER DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL,"
    " hidden INTEGER DEFAULT 0 NOT NULL);";

// Where the browsers keep their histories below the home folder, on Linux and on Windows.
bool OnWindows() {
  return QOperatingSystemVersion::currentType() == QOperatingSystemVersion::Windows;
}
std::string Firefox(const std::string& profile) {
  return (OnWindows() ? "AppData/Roaming/Mozilla/Firefox/Profiles/" : ".mozilla/firefox/") +
         profile + "/places.sqlite";
}
std::string Chromium(const char* on_linux, const char* on_windows, const std::string& profile) {
  return std::string(OnWindows() ? on_windows : on_linux) + "/" + profile + "/History";
}

QByteArray Bytes(const fs::path& p) {
  QFile f(QString::fromStdString(p.string()));
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

}  // namespace

class HistoryReaderTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { home_ = std::make_unique<pelmoa::testing::TempDir>(); }
  void cleanup() { home_.reset(); }

  void emptyHomeGivesNothing() {
    QVERIFY(pelmoa::HistoryFiles(Home()).isEmpty());
    QVERIFY(pelmoa::ReadHistoryAddresses(Home()).isEmpty());
    QVERIFY(pelmoa::ReadHistoryAddresses(Home() + QStringLiteral("/missing")).isEmpty());
  }

  void firefoxMostUsedFirstOnlyWebAddresses() {
    Database db(home_->path() / Firefox("ab12.default-release"), kFirefoxSchema, false);
    db.Exec("INSERT INTO moz_places (url, frecency) VALUES"
            " ('http://rare.test/', 10), ('https://often.test/gallery/', 900),"
            " ('place:sort=8', 5000), ('file:///home/me/a.html', 800),"
            " ('http://middle.test/page.html', 300);");
    QCOMPARE(pelmoa::ReadHistoryAddresses(Home()),
             QStringList({"https://often.test/gallery/", "http://middle.test/page.html",
                          "http://rare.test/"}));
  }

  void recentVisitsInTheLogAreReadAndTheFilesStayUntouched() {
    const fs::path places = home_->path() / Firefox("p.default");
    Database db(places, kFirefoxSchema, true);
    db.Exec("INSERT INTO moz_places (url, frecency) VALUES ('http://in-the-log.test/', 1);");
    const fs::path wal = places.string() + "-wal";
    QVERIFY(fs::exists(wal));
    const QByteArray db_before = Bytes(places);
    const QByteArray wal_before = Bytes(wal);
    const auto time_before = fs::last_write_time(places);

    QCOMPARE(pelmoa::ReadHistoryAddresses(Home()), QStringList({"http://in-the-log.test/"}));

    QCOMPARE(Bytes(places), db_before);
    QCOMPARE(Bytes(wal), wal_before);
    QVERIFY(fs::last_write_time(places) == time_before);
    // Nothing new beside the browser's files (no copies, no shared-memory index).
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(places.parent_path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    QCOMPARE(names, std::vector<std::string>({"places.sqlite", "places.sqlite-shm",
                                              "places.sqlite-wal"}));
  }

  void chromiumFamilyProfilesAndRepeatsOnce() {
    Database chromium(
        home_->path() / Chromium(".config/chromium", "AppData/Local/Chromium/User Data", "Default"),
        kChromiumSchema, false);
    chromium.Exec("INSERT INTO urls (url, visit_count, last_visit_time) VALUES"
                  " ('http://one.test/', 3, 1), ('chrome://settings/', 50, 1),"
                  " ('https://two.test/', 7, 1);");
    Database brave(home_->path() / Chromium(".config/BraveSoftware/Brave-Browser",
                                            "AppData/Local/BraveSoftware/Brave-Browser/User Data",
                                            "Profile 1"),
                   kChromiumSchema, false);
    brave.Exec("INSERT INTO urls (url, visit_count, last_visit_time) VALUES"
               " ('http://one.test/', 9, 1), ('http://three.test/', 1, 1);");
    const QStringList found = pelmoa::ReadHistoryAddresses(Home());
    QCOMPARE(found.size(), 3);
    QVERIFY(found.contains("http://one.test/"));
    QVERIFY(found.contains("https://two.test/"));
    QVERIFY(found.contains("http://three.test/"));
    QCOMPARE(pelmoa::HistoryFiles(Home()).size(), 2);
  }

  void damagedOrForeignFilesArePassedOver() {
    const fs::path garbage =
        home_->path() /
        Chromium(".config/google-chrome", "AppData/Local/Google/Chrome/User Data", "Default");
    fs::create_directories(garbage.parent_path());
    pelmoa::testing::WriteFile(garbage, std::string(4096, 'x'));
    // A database of another shape where a history is expected.
    Database other(
        home_->path() / Chromium(".config/vivaldi", "AppData/Local/Vivaldi/User Data", "Default"),
        "CREATE TABLE something (a INTEGER);", false);
    // A folder where a history file would be.
    fs::create_directories(home_->path() / Firefox("z.odd"));
    Database good(home_->path() / Firefox("a.good"), kFirefoxSchema, false);
    good.Exec("INSERT INTO moz_places (url, frecency) VALUES ('http://good.test/', 1);");

    QCOMPARE(pelmoa::ReadHistoryAddresses(Home()), QStringList({"http://good.test/"}));
  }

  void completionLoadsInTheBackgroundAndProposesContainedText() {
    Database db(home_->path() / Firefox("p"), kFirefoxSchema, false);
    db.Exec("INSERT INTO moz_places (url, frecency) VALUES"
            " ('http://www.example.test/photos/', 5), ('http://other.test/', 1);");
    QLineEdit box;
    pelmoa::AddressCompletion completion(&box, Home());
    QCOMPARE(box.completer(), completion.completer());
    completion.AddAddresses({"http://registered.test/list.html"});
    QTRY_VERIFY(completion.HistoryLoaded());
    const QStringList all = completion.Addresses();
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.first(), QStringLiteral("http://registered.test/list.html"));

    // What was typed anywhere in the address, letter case ignored.
    QCompleter* c = completion.completer();
    c->setCompletionPrefix(QStringLiteral("PHOTOS"));
    QCOMPARE(c->completionCount(), 1);
    QCOMPARE(c->currentCompletion(), QStringLiteral("http://www.example.test/photos/"));
    completion.AddAddresses({"http://other.test/", ""});
    QCOMPARE(completion.Addresses().size(), 3);
  }

 private:
  QString Home() const { return QString::fromStdString(home_->str()); }
  std::unique_ptr<pelmoa::testing::TempDir> home_;
};

PELMOA_TEST_CLASS(HistoryReaderTest);
#include "history_reader_test.moc"
