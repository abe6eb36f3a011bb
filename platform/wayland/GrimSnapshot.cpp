#include "platform/wayland/GrimSnapshot.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include "platform/DesktopSnapshot.h"

namespace platform {
namespace {

TGrimPicture Black(QSize target, std::string problem) {
  return TGrimPicture{ScaleSnapshot(QImage(), target), std::move(problem)};
}

// The first line grim wrote on stderr, for the user; empty when it said nothing.
std::string FirstLine(const QByteArray& text) {
  const QByteArray line = text.trimmed().split('\n').value(0).trimmed();
  return line.toStdString();
}

}  // namespace

TGrimPicture TakeGrimPicture(const QString& program, const QString& output, const QRect& area,
                             QSize target, std::chrono::milliseconds limit) {
  // PPM: no compression to wait for, and Qt reads it without a plugin.
  QStringList arguments{QStringLiteral("-t"), QStringLiteral("ppm")};
  if (!output.isEmpty()) {
    arguments << QStringLiteral("-o") << output;
  } else {
    arguments << QStringLiteral("-g")
              << QStringLiteral("%1,%2 %3x%4")
                     .arg(area.x())
                     .arg(area.y())
                     .arg(area.width())
                     .arg(area.height());
  }
  arguments << QStringLiteral("-");
  const QDeadlineTimer deadline(limit);
  QProcess grim;
  grim.start(program, arguments, QIODevice::ReadOnly);
  if (!grim.waitForStarted(static_cast<int>(deadline.remainingTime()))) {
    return Black(target, grim.error() == QProcess::FailedToStart
                             ? program.toStdString() + " is not installed (or cannot be run)"
                             : program.toStdString() + " did not start within " +
                                   std::to_string(limit.count()) + " ms");
  }
  if (!grim.waitForFinished(static_cast<int>(deadline.remainingTime()))) {
    grim.kill();
    grim.waitForFinished();
    return Black(target, program.toStdString() + " took longer than " +
                             std::to_string(limit.count()) + " ms");
  }
  const QByteArray pixels = grim.readAllStandardOutput();
  if (grim.exitStatus() != QProcess::NormalExit || grim.exitCode() != 0) {
    const std::string said = FirstLine(grim.readAllStandardError());
    return Black(target, program.toStdString() + " failed" +
                             (said.empty() ? std::string() : ": " + said) +
                             " (the compositor may not offer screen copies)");
  }
  const QImage picture = QImage::fromData(pixels, "PPM");
  if (picture.isNull()) {
    return Black(target, program.toStdString() + " gave no picture that could be read");
  }
  return TGrimPicture{ScaleSnapshot(picture, target), std::string()};
}

}  // namespace platform
