#pragma once
// The one application of a test program: the X11 platform when a server is
// there ($DISPLAY), so that tests can show windows and read the screen back;
// else offscreen, where they skip what needs a server.

#include <QGuiApplication>
#include <cstdlib>

inline QGuiApplication& XcbOrOffscreenApplication() {
  static int argc = 3;
  static char name[] = "platform-test";
  static char option[] = "-platform";
  static char xcb[] = "xcb";
  static char offscreen[] = "offscreen";
  static char* argv[] = {name, option, std::getenv("DISPLAY") ? xcb : offscreen, nullptr};
  static QGuiApplication application(argc, argv);
  return application;
}
