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
#include "host/MonitorCover.h"
#include "host/XAdvTimerComp.h"
#include "platform/ScreenMetrics.h"
#include "platform/wayland/WaylandToolkit.h"
#include "platform/wayland/WaylandWindows.h"

int IgnoreMoves = 0;

namespace {
// Telling the platform that a screen saver runs has no equivalent on X11.
void SetScreenSaverRunning(bool) {}
}  // namespace

TSaverForm::TSaverForm(const TGlobals& settings, TSaverRole role, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Passwords(&SystemPasswordPlatform()),
      FDriver(this),
      IdleAdvTimer(FDriver.Timer()),
      FSettings(settings),
      FRole(role) {
  // FormCreate: no frames until the first activation starts them.
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
  FDriver.Stop();
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

  StartAnimation();

  // The window covers the primary screen; its size is in device-independent
  // pixels, the frames in device pixels.
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) CoverMonitor(*this, primary->geometry());
  FLastX = -1;
  FLastY = -1;
  raise();  // topmost: the window flags keep it above others
  SetScreenSaverRunning(true);
  ShowCursor(false);
  activateWindow();
  GrabInput();
  if (platform::ToolkitOnWayland()) {
    // No global grabs on Wayland: keys pressed once another window (or the
    // compositor's workspace) has the focus never reach us, so a saver left
    // running there would no longer end by a key. Losing the focus to
    // anything not ours counts as input; our own windows (the other outputs'
    // covers, the setup dialog) keep the application active.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
              if (state == Qt::ApplicationInactive && isVisible()) TryClose();
            });
  }
}

void TSaverForm::GrabInput() {
  // Wayland has no grabs for a full-screen window: every surface of ours
  // takes its own input and the covers pass it on.
  if (platform::ToolkitOnWayland()) return;
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

void TSaverForm::StartAnimation() {
  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  FDriver.Start(FSettings, TFrameSurface{screen.Width, screen.Height, false, FDesktop, this});
  FDriver.Run(FSettings.TimerInterval);
}

bool TSaverForm::event(QEvent* event) {
  if (event->type() == WM_NEXTFRAME) {
    if (!FClosed) FDriver.NextFrame();
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
    FDriver.Animation().Layout();
    return;
  }
  if (key != Qt::Key_S) {
    TryClose();
    return;
  }
  if (FRole == srTest) {
    close();
    return;
  }
  if (!OpenSetupDialog) return;
  releaseKeyboard();
  releaseMouse();
  ShowCursor(true);
  // Cancelled, the run goes on as it was (options of the command line
  // included); confirmed, it shows what was saved.
  if (const std::optional<TGlobals> saved = OpenSetupDialog(*this)) {
    FSettings = *saved;
    StartAnimation();
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

void TSaverForm::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (QWindow* window = windowHandle()) platform::ResendCursor(*window);
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
  if (FRole == srTest) {
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
  FDriver.Stop();
  SetScreenSaverRunning(false);
  releaseKeyboard();
  releaseMouse();
  ShowCursor(true);
  resize(10, 10);
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
  if (FFrame == nullptr && FDriver.Frames() == 0 && !FClosed && FDriver.Running()) {
    FPaintingFirstFrame = true;
    FDriver.NextFrame();
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
