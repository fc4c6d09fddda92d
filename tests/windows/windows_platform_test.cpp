// The Windows services that have code of their own: the registry settings store, the
// Favorites folder, UTF-16 and long paths, short names, the default folder. Runs under Wine on
// the build machine.

#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <string>

#include "desktop/default_folder.h"
#include "desktop/folder_entry.h"
#include "desktop/registry_settings_store.h"
#include "harvest/files/file_names.h"
#include "sources/favorites_folder.h"
#include "temp_dir.h"

namespace pelmoa {
namespace {

// A root of the test's own under HKEY_CURRENT_USER, removed afterwards.
const wchar_t kRoot[] = L"Software\\Pelmoa tests";

std::wstring RawKey(const std::wstring& app, const std::wstring& section) {
  return std::wstring(kRoot) + L"\\" + app + L"\\" + section;
}

void RawWrite(const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
              DWORD bytes) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(h, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
  RegCloseKey(h);
}

std::wstring RawRead(const std::wstring& key, const std::wstring& name, DWORD* type) {
  wchar_t buffer[1024] = {};
  DWORD bytes = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, type, buffer,
                   &bytes) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return buffer;
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
  RegistrySettingsStore store{QString::fromWCharArray(kRoot)};
};

struct Value {
  const char* name;
  const wchar_t* key;
  std::wstring value;
};

// Values written by the store are the plain REG_SZ values earlier versions wrote and read, in
// the section's own key; and the other way round.
TEST_F(RegistryStoreTest, StringValuesUnderAppAndSectionBothWays) {
  const Value values[] = {
      {"Folder", L"DLFolder", L"C:\\Users\\花子\\Pictures\\DLImages"},
      {"Address", L"URL", L"http://example.test/page.html?a=1&b=2"},
      {"Number", L"Left", L"3600"},
      {"Empty", L"Title1", L""},
      {"AtSign", L"Title2", L"@ByteArray(x)"},
  };
  for (const Value& v : values) {
    store.WriteSetting("Pelmoa", "Settings", QString::fromWCharArray(v.key),
                       QString::fromStdWString(v.value));
    DWORD type = 0;
    EXPECT_EQ(RawRead(RawKey(L"Pelmoa", L"Settings"), v.key, &type), v.value) << v.name;
    EXPECT_EQ(type, DWORD(REG_SZ)) << v.name;

    const std::wstring raw = v.value + L" (raw)";
    RawWrite(RawKey(L"Pelmoa", L"Other"), v.key, REG_SZ, raw.c_str(),
             DWORD((raw.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(store.ReadSetting("Pelmoa", "Other", QString::fromWCharArray(v.key), "-"),
              QString::fromStdWString(raw))
        << v.name;
  }
}

TEST_F(RegistryStoreTest, MissingOrNonStringValuesReadAsTheDefault) {
  EXPECT_EQ(store.ReadSetting("Pelmoa", "Nowhere", "Left", "-1"), "-1");
  const DWORD number = 42;
  RawWrite(RawKey(L"Pelmoa", L"Settings"), L"Top", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(store.ReadSetting("Pelmoa", "Settings", "Top", "-1"), "-1");
}

TEST(FavoritesFolder, IsTheShellsFavoritesFolder) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, 0, path)));
  EXPECT_EQ(FavoritesFolder(), QDir::fromNativeSeparators(QString::fromWCharArray(path)));
}

// A Japanese name reaches the file system as itself, whatever the ANSI code page.
TEST(Utf16Paths, JapaneseNamesAreStoredAsThemselves) {
  testing::TempDir dir;
  const std::string name = "写真①〜.jpg";
  const std::filesystem::path target = dir.path() / PathFromUtf8(name);
  TempImageFile file;
  ASSERT_EQ(file.Create(target), "");
  ASSERT_TRUE(file.Write("JPG", 3));
  ASSERT_EQ(file.Commit(), "");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{name});
  EXPECT_NE(GetFileAttributesW((dir.path().wstring() + L"\\写真①〜.jpg").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Utf8FromPath(target.filename()), name);
}

// The 8.3 short name the system gives a file (Wine makes them by hash: IMAG~YIR.JPG).
std::filesystem::path ShortName(const std::filesystem::path& file) {
  wchar_t alias[MAX_PATH] = {};
  GetShortPathNameW(file.c_str(), alias, MAX_PATH);
  return std::filesystem::path(alias).filename();
}

std::string Store(const std::filesystem::path& target, const std::string& bytes) {
  TempImageFile file;
  if (std::string error = file.Create(target); !error.empty()) return error;
  file.Write(bytes.data(), bytes.size());
  return file.Commit();
}

// A page may name an image after the short name of a file the user keeps, or of the
// temporary file of another image: neither is ever replaced through it.
TEST(ShortNames, NoFileIsReplacedThroughItsShortName) {
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "image-original.jpg", "mine");
  const std::filesystem::path alias = ShortName(dir.path() / "image-original.jpg");
  ASSERT_NE(alias, "image-original.jpg");
  EXPECT_NE(Store(dir.path() / alias, "page"), "");
  EXPECT_EQ(testing::ReadFile(dir.path() / "image-original.jpg"), "mine");

  TempImageFile other;
  ASSERT_EQ(other.Create(dir.path() / "other.jpg"), "");
  other.Write("other", 5);
  EXPECT_NE(Store(dir.path() / ShortName(other.temp_path()), "page"), "");
  EXPECT_EQ(other.Commit(), "");
  EXPECT_EQ(testing::ReadFile(dir.path() / "other.jpg"), "other");

  // The file's own name in other letters is still its name.
  EXPECT_EQ(Store(dir.path() / "IMAGE-ORIGINAL.JPG", "new"), "");
  EXPECT_EQ(testing::ReadFile(dir.path() / "image-original.jpg"), "new");
  EXPECT_EQ(dir.Entries().size(), 2u);
}

struct PathRow {
  const char* name;
  std::wstring given;
  std::wstring system;
};

// A long path goes to the system in its "\\?\" form, which the system takes literally: it
// must already be whole, as the system would have made it. A relative one is as long as it is
// once resolved: here under a current folder of 230 characters.
TEST(LongPaths, TakeTheFormThatReachesAnyLength) {
  testing::TempDir dir;
  std::filesystem::path current = dir.path();
  while (current.native().size() < 230) current /= std::wstring(20, L'c');
  ASSERT_FALSE(MakeDirectoryPath(current));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(current);
  const std::wstring here = std::filesystem::current_path().native();
  const std::wstring deep = std::wstring(130, L'd') + L"\\" + std::wstring(130, L'e');
  const PathRow rows[] = {
      {"RelativeUnderDeepFolder", L"sub\\b.jpg", L"\\\\?\\" + here + L"\\sub\\b.jpg"},
      {"RelativeResolvedShort", L"..\\..\\..\\b.jpg",
       (std::filesystem::path(here).parent_path().parent_path().parent_path() / L"b.jpg").native()},
      {"ShortAsItIs", L"C:/a/../b.jpg", L"C:/a/../b.jpg"},
      {"Drive", L"C:\\" + deep, L"\\\\?\\C:\\" + deep},
      {"MadeWhole", L"C:/" + deep + L"/./x/../b.jpg.", L"\\\\?\\C:\\" + deep + L"\\b.jpg"},
      {"Network", L"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + deep},
      {"AlreadyLong", L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep},
  };
  for (const PathRow& row : rows) EXPECT_EQ(SystemPath(row.given).native(), row.system) << row.name;
  // A relative folder of the run: its image lands there.
  EXPECT_FALSE(MakeDirectoryPath(L"sub"));
  EXPECT_EQ(Store(L"sub\\b.jpg", "B"), "");
  EXPECT_EQ(testing::ReadFile(current / L"sub" / L"b.jpg"), "B");
  std::filesystem::current_path(before);
}

// An installed copy keeps its images in the pictures folder even where its own folder could
// be written (the per-user Programs folder is, and hidden); an unpacked one beside itself.
TEST(DefaultFolder, InstalledCopiesUseThePicturesFolder) {
  testing::TempDir unpacked;
  const QString pictures = QDir::toNativeSeparators(
      QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/DLImages");
  const QString programs = qEnvironmentVariable("LOCALAPPDATA") + "\\Programs\\Pelmoa";
  ASSERT_TRUE(QDir().mkpath(programs));
  EXPECT_EQ(DefaultDownloadFolder(programs), pictures);
  EXPECT_EQ(DefaultDownloadFolder(qEnvironmentVariable("ProgramFiles") + "\\Pelmoa"), pictures);
  const QString beside = QString::fromStdWString(unpacked.path().native());
  EXPECT_EQ(DefaultDownloadFolder(beside), QDir::toNativeSeparators(beside + "/DLImages"));
}

// The system words its errors in the language of its installation; the user reads Japanese.
TEST(FolderCreation, ReasonsAreTheProgramsOwn) {
  EXPECT_EQ(CreateFolderPath("Q:\\画像").reason,
            QString::fromUtf8("その場所（ドライブやネットワーク上の場所）が見つかりません"));
  EXPECT_EQ(CreateFolderPath("C:\\a<b>").reason,
            QString::fromUtf8("フォルダ名に使えない文字が含まれています"));
}

}  // namespace
}  // namespace pelmoa
