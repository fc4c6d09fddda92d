#pragma once

#include <QObject>
#include <memory>

namespace pelmoa::testing {

// Makes a Qt Test class known to its folder's test program (test_class_main.cpp), which runs
// the class its first argument names, or every class when it names none.
bool RegisterTestClass(const char* name, std::unique_ptr<QObject> (*make)());

}  // namespace pelmoa::testing

// In place of QTEST_MAIN, once per test class.
#define PELMOA_TEST_CLASS(Class)                                                      \
  static const bool pelmoa_test_class_registered = ::pelmoa::testing::RegisterTestClass( \
      #Class, [] { return std::unique_ptr<QObject>(new Class); })
