#include "host/SaverUnit.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/AnimationUnit.h"
#include "host/FrameRegion.h"
#include "host/ProgramEntry.h"
#include "host/XAdvTimerComp.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"

int IgnoreMoves = 0;

namespace {
// Telling the platform that a screen saver runs has no equivalent on X11.
void SetScreenSaverRunning(bool) {}
}  // namespace

TSaverForm::TSaverForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      IdleAdvTimer(new TAdvTimer(this)),
      Passwords(&SystemPasswordPlatform()) {
  // FormCreate: the timer is off until the first activation sets it up.
  IdleAdvTimer->SetEnabled(false);
  IdleAdvTimer->SetOnTimer([this](QObject*) { IdleAdvTimerTimer(); });
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setWindowTitle(QStringLiteral("Lettrance"));
  FAlwaysWhole = !qEnvironmentVariableIsEmpty("LETTRANCE_WHOLE_FRAMES");
  // Off screen and empty until the first activation places it.
  setGeometry(-1000, -1000, 0, 0);
}

TSaverForm::~TSaverForm() {
  StopFrameDriving();
  if (!FClosed) SaverAni.Done();
  if (SaverAni.Target == this) SaverAni.Target = nullptr;
}

void TSaverForm::ShowCursor(bool visible) {
  setCursor(visible ? Qt::ArrowCursor : Qt::BlankCursor);
}

void TSaverForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FFirstActivate) FormActivate();
}

void TSaverForm::FormActivate() {
  FFirstActivate = false;
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);

  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  SaverAni.Preview = false;
  SaverAni.Width = screen.Width;
  SaverAni.Height = screen.Height;
  SaverAni.Background = DesktopBitmap.get();
  SaverAni.MakeSurface = QtSurfaceFactory();
  SaverAni.Target = this;
  SaverAni.Init();

  // The window covers the primary screen; its size is in device-independent
  // pixels, the frames in device pixels.
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) setGeometry(primary->geometry());
  FLastX = -1;
  FLastY = -1;
  StartFrameDriving();
  FRunning.start();
  raise();  // topmost: the window flags keep it above others
  SetScreenSaverRunning(true);
  ShowCursor(false);
  activateWindow();
  GrabInput();
}

void TSaverForm::GrabInput() {
  grabMouse();
  grabKeyboard();
  // X refuses a grab until the window is viewable, which may be a moment
  // after it was shown: try again until the server agrees.
  QWindow* window = windowHandle();
  const bool grabbed = window != nullptr && window->setKeyboardGrabEnabled(true) &&
                       window->setMouseGrabEnabled(true);
  if (!grabbed && !FClosed && ++FGrabAttempts < 100) {
    QTimer::singleShot(20, this, &TSaverForm::GrabInput);
  }
}

void TSaverForm::StartFrameDriving() {
  if (Globals.TimerInterval != 0) {
    IdleAdvTimer->SetInterval(Globals.TimerInterval);
    IdleAdvTimer->SetEnabled(true);
  } else if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    FIdleHandler =
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TSaverForm::AppIdle);
  }
}

void TSaverForm::StopFrameDriving() {
  IdleAdvTimer->SetEnabled(false);
  if (FIdleHandler) disconnect(FIdleHandler);
  FIdleHandler = {};
}

void TSaverForm::AppIdle() {
  // The loop is about to wait: give it the next frame to work on instead.
  QCoreApplication::postEvent(this, new QEvent(WM_NEXTFRAME));
}

void TSaverForm::IdleAdvTimerTimer() {
  NextFrame();
}

void TSaverForm::NextFrame() {
  if (FClosed) return;
  SaverAni.Step();
  SaverAni.Present();
  ++FFrames;
}

bool TSaverForm::event(QEvent* event) {
  if (event->type() == WM_NEXTFRAME) {
    NextFrame();
    return true;
  }
  if (event->type() == WM_CLOSEREQUEST) {
    TryClose();
    return true;
  }
  return QWidget::event(event);
}

void TSaverForm::keyPressEvent(QKeyEvent* event) {
  event->accept();
  FormKeyDown(event->key());
}

void TSaverForm::FormKeyDown(int key) {
  if (key == Qt::Key_N) {
    SaverAni.Layout();
    return;
  }
  if (key != Qt::Key_S) {
    TryClose();
    return;
  }
  if (TestRun) {
    close();
    return;
  }
  if (!OpenSetupDialog) return;
  releaseKeyboard();
  releaseMouse();
  ShowCursor(true);
  if (OpenSetupDialog(*this)) {
    StopFrameDriving();
    StartFrameDriving();
    SaverAni.Init();  // reloads what the dialog saved
  }
  ShowCursor(false);
  activateWindow();
  setFocus();
  FGrabAttempts = 0;
  GrabInput();
  IgnoreMoves = 5;
}

void TSaverForm::mousePressEvent(QMouseEvent* event) {
  event->accept();
  TryClose();
}

void TSaverForm::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  // The 3-pixel rule is about screen pixels, whatever scale Qt draws at.
  const QPointF at = event->position() * devicePixelRatioF();
  FormMouseMove(static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y())));
}

void TSaverForm::FormMouseMove(int x, int y) {
  if (IgnoreMoves > 0) {
    --IgnoreMoves;
    return;
  }
  if (FLastX == -1 && FLastY == -1) {
    FLastX = x;
    FLastY = y;
    return;
  }
  if (std::abs(x - FLastX) > 2 && std::abs(y - FLastY) > 2) {
    FLastX = x;
    FLastY = y;
    TryClose();
  }
}

void TSaverForm::TryClose() {
  if (FClosed) return;
  if (RunMode != rmRun || TestRun) {
    close();
    return;
  }
  IgnoreMoves = 5;
  if (VerifyPassword(static_cast<platform::WindowId>(winId()), *this, *Passwords)) close();
}

void TSaverForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TSaverForm::FormClose() {
  if (FClosed) return;
  FClosed = true;
  StopFrameDriving();
  SetScreenSaverRunning(false);
  releaseKeyboard();
  releaseMouse();
  ShowCursor(true);
  SaverAni.Done();
  SaverAni.Target = nullptr;
  resize(10, 10);
  ReportFrameRate();
}

void TSaverForm::ReportFrameRate() const {
  // For measuring: LETTRANCE_FRAME_STATS=1 prints the frame rate at the end.
  if (qEnvironmentVariableIsEmpty("LETTRANCE_FRAME_STATS") || !FRunning.isValid()) return;
  const qint64 ms = std::max<qint64>(FRunning.elapsed(), 1);
  std::fprintf(stderr, "lettrance: %d frames in %lld ms (%.1f frames per second)\n", FFrames,
               static_cast<long long>(ms), 1000.0 * FFrames / static_cast<double>(ms));
}

void TSaverForm::ShowFrame(const QImage& frame, const QRegion& changed) {
  if (FPaintingFirstFrame) {
    // Made for the paint under way, which shows it.
    FFrame = &frame;
    return;
  }
  // Painted at once, so the back buffer is not shared past this call (a
  // shared buffer would be copied when the next frame is drawn into it).
  // Only the changed places are painted and sent to the X server.
  FFrame = &frame;
  if (FWholeFrameDue || FAlwaysWhole) {
    FWholeFrameDue = false;
    repaint();
  } else if (!PutChangedPlaces(frame, changed)) {
    const QRegion area = FramePixelsToWindow(changed, devicePixelRatioF());
    if (!area.isEmpty()) repaint(area);
  }
  FFrame = nullptr;
}

bool TSaverForm::PutChangedPlaces(const QImage& frame, const QRegion& changed) {
  // Qt's backing store keeps the last frame it painted: once it is exposed
  // and shows that again, the next frame must be painted whole.
  const auto window = static_cast<platform::WindowId>(winId());
  if (FDirectPut == nullptr || FDirectPut->Window() != window) {
    FDirectPut = std::make_unique<platform::X11WindowPut>(window);
    if (windowHandle() != nullptr) windowHandle()->installEventFilter(this);
  }
  return FDirectPut->Put(frame, changed);
}

bool TSaverForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && watched == windowHandle()) FWholeFrameDue = true;
  return QWidget::eventFilter(watched, event);
}

void TSaverForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FWholeFrameDue = true;
}

void TSaverForm::paintEvent(QPaintEvent* event) {
  // The first time the window is shown, it shows the first frame at once
  // rather than black until the timer's first tick.
  if (FFrame == nullptr && FFrames == 0 && !FClosed && SaverAni.Buffer && SaverAni.Target == this) {
    FPaintingFirstFrame = true;
    NextFrame();
    FPaintingFirstFrame = false;
    if (FFrame != nullptr) {
      QPainter painter(this);
      PaintFrame(painter, *FFrame, event->region(), devicePixelRatioF());
      FWholeFrameDue = event->region() != QRegion(rect());
      FFrame = nullptr;
      return;
    }
  }
  QPainter painter(this);
  if (FFrame == nullptr || FFrame->isNull()) {
    // Asked by the window system: black until the next frame, painted whole.
    painter.fillRect(rect(), Qt::black);
    FWholeFrameDue = true;
    return;
  }
  PaintFrame(painter, *FFrame, event->region(), devicePixelRatioF());
}
