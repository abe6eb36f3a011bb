#pragma once
// TFrameDriver: the animation on one surface (the saver window, a host's
// window, a preview). It sets the animation up for the surface with the
// settings it is given, drives the frames from the frame timer or whenever
// the event loop is idle, and stops it. The saver, hosted mode and the
// preview all show their frames through one.

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/AnimationUnit.h"

class TAdvTimer;

// Where and how large the animation is drawn.
struct TFrameSurface {
  int32_t Width = 0;  // surface pixels
  int32_t Height = 0;
  bool Preview = false;
  const Picture* Background = nullptr;  // the desktop picture, not owned
  FrameTarget* Target = nullptr;        // where finished frames go, not owned
};

class TFrameDriver : public QObject {
 public:
  explicit TFrameDriver(QObject* parent = nullptr);
  ~TFrameDriver() override;

  // Lays out the animation on `surface` with `settings` (again, when it
  // runs already: a new size, new settings), with the lines from the file
  // or program the settings name, if any. Frames wait for Run.
  void Start(const TGlobals& settings, const TFrameSurface& surface);
  // Frames every `intervalMs` milliseconds from the frame timer; for 0,
  // each time the event loop is about to wait.
  void Run(int32_t intervalMs);
  // No frames until the next Run; the animation stays as it is.
  void Pause();
  // No more frames; the animation lets go of its back buffer.
  void Stop();

  // One frame now: Step, Present, then AfterFrame.
  void NextFrame();
  // Called after each frame (hosted mode and the preview watch their
  // window there).
  std::function<void()> AfterFrame;

  bool Running() const { return FRunning; }
  int Frames() const { return FFrames; }
  TSaverAni& Animation() { return FAnimation; }
  const TSaverAni& Animation() const { return FAnimation; }
  TAdvTimer* Timer() const { return FTimer; }

 protected:
  bool event(QEvent* event) override;

 private:
  void ReportFrameRate() const;

  std::unique_ptr<TTextFeed> FFeed;  // fresh lines, when the settings ask for them
  TSaverAni FAnimation;
  TAdvTimer* const FTimer;
  QMetaObject::Connection FIdleHandler;
  bool FRunning = false;
  int FFrames = 0;
  QElapsedTimer FClock;
};
