#pragma once
// The one QApplication of a widget test program, made on first use. Widget
// tests call EnsureQtApplication() in SetUp or SetUpTestSuite.

#include <QApplication>

inline QApplication& EnsureQtApplication() {
  static int argc = 1;
  static char programName[] = "lettrance-widget-test";
  static char* argv[] = {programName, nullptr};
  // Never destroyed: at process exit Qt's own globals (the input devices of
  // the test helpers) may already be gone, so tearing the application down
  // then would crash.
  static QApplication* const application = new QApplication(argc, argv);
  return *application;
}
