// The main of a folder's Qt Test program: the application as QTEST_MAIN sets it up, then the
// class the first argument names (every class when it names none); the other arguments go
// to Qt Test.

#include <QApplication>
#include <QTest>
#include <utility>
#include <vector>

#include "test_class.h"

namespace pelmoa::testing {
namespace {

using Maker = std::unique_ptr<QObject> (*)();

std::vector<std::pair<QString, Maker>>& Classes() {
  static std::vector<std::pair<QString, Maker>> classes;
  return classes;
}

}  // namespace

bool RegisterTestClass(const char* name, Maker make) {
  // Without its namespace, as on the command line.
  Classes().emplace_back(QString::fromLatin1(name).section(QStringLiteral("::"), -1), make);
  return true;
}

}  // namespace pelmoa::testing

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  std::vector<char*> args(argv, argv + argc);
  std::vector<pelmoa::testing::Maker> chosen;
  for (const auto& [name, make] : pelmoa::testing::Classes()) {
    if (args.size() > 1 && name == QLatin1String(args[1])) chosen.push_back(make);
  }
  if (chosen.empty()) {
    for (const auto& entry : pelmoa::testing::Classes()) chosen.push_back(entry.second);
  } else {
    args.erase(args.begin() + 1);
  }
  int failed = 0;
  for (const pelmoa::testing::Maker make : chosen) {
    const std::unique_ptr<QObject> test = make();
    failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
  }
  return failed;
}
