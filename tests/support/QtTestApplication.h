#pragma once
// The one QApplication of a widget test program. Including this header is
// enough: the application exists from before the first test to after the
// last one, and is torn down while Qt's own globals still exist.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char programName[] = "lettrance-widget-test";
    static char* argv[] = {programName, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// fontconfig loses a few bytes while parsing its configuration files when Qt
// first lists the fonts; that is none of ours. The leak checker asks for this
// list by name in sanitizer builds; weak, in case two files of one program
// include this header.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
