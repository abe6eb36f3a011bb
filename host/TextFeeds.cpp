#include "host/TextFeeds.h"

#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QTimer>
#include <iostream>
#include <set>
#include <string>

#include "platform/TextFileRead.h"

namespace {

// Says each trouble once, however often it happens again.
class TTroubleReport {
 public:
  void Say(const std::string& message) {
    if (FSaid.insert(message).second) std::cerr << "lettrance: " << message << std::endl;
  }

 private:
  std::set<std::string> FSaid;
};

class TFileFeed : public TTextFeed {
 public:
  explicit TFileFeed(std::string path) : FPath(std::move(path)) {}

  std::optional<std::string> FreshText() override { return std::exchange(FFresh, std::nullopt); }

  // A regular file is read at once: reading it never waits for anyone.
  void CycleStarted() override {
    const platform::TFileRead read = platform::ReadFileStart(FPath, kFedTextLimit);
    if (!read.Ok) {
      FReport.Say("the text file \"" + FPath + "\" cannot be read (" + read.Error +
                  "); the last text stays");
      return;
    }
    std::string text = SafeFedText(read.Bytes);
    if (text.empty()) {
      FReport.Say("the text file \"" + FPath + "\" holds no text; the last text stays");
      return;
    }
    FFresh = std::move(text);
  }

 private:
  const std::string FPath;
  std::optional<std::string> FFresh;
  TTroubleReport FReport;
};

class TProgramFeed : public TTextFeed {
 public:
  TProgramFeed(std::string command, TFeedTiming timing, int limitMs)
      : FCommand(std::move(command)), FTiming(timing), FLimitMs(limitMs) {
    FProcess.setProgram(QStringLiteral("/bin/sh"));
    FProcess.setArguments({QStringLiteral("-c"), QString::fromStdString(FCommand)});
    FProcess.setStandardInputFile(QProcess::nullDevice());
    FProcess.setStandardErrorFile(QProcess::nullDevice());
    // A group of its own, so that ending it ends what it started too.
    FProcess.setChildProcessModifier([] { ::setsid(); });
    QObject::connect(&FProcess, &QProcess::readyReadStandardOutput, [this] { TakeOutput(); });
    QObject::connect(&FProcess, &QProcess::finished,
                     [this](int code, QProcess::ExitStatus how) { Finished(code, how); });
    QObject::connect(&FProcess, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
      if (error == QProcess::FailedToStart) Trouble("cannot be started");
    });
    FLimit.setSingleShot(true);
    FLimit.setInterval(FLimitMs);
    QObject::connect(&FLimit, &QTimer::timeout, [this] { EndGroup(); });
  }

  ~TProgramFeed() override {
    if (FProcess.state() == QProcess::NotRunning) return;
    FEnded = true;
    KillGroup();
    FProcess.waitForFinished(1000);
  }

  std::optional<std::string> FreshText() override { return std::exchange(FFresh, std::nullopt); }

  void CycleStarted() override {
    if (FProcess.state() != QProcess::NotRunning) return;  // the last run is still at work
    FOutput.clear();
    FEnded = false;
    FProcess.start();
    if (FTiming == ftBackground) {
      FLimit.start();
      return;
    }
    if (!FProcess.waitForStarted(FLimitMs)) return;
    if (!FProcess.waitForFinished(FLimitMs)) {
      EndGroup();
      FProcess.waitForFinished(1000);
    }
  }

 private:
  void TakeOutput() {
    const QByteArray bytes = FProcess.readAllStandardOutput();
    // Read on past the limit, so that the program is not stuck writing.
    const size_t room = kFedTextLimit - std::min(kFedTextLimit, FOutput.size());
    FOutput.append(bytes.constData(), std::min(room, static_cast<size_t>(bytes.size())));
  }

  void KillGroup() {
    const qint64 pid = FProcess.processId();
    if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
  }

  void EndGroup() {
    if (FProcess.state() == QProcess::NotRunning) return;
    FEnded = true;
    KillGroup();
    Trouble(std::string("took longer than ") + std::to_string(FLimitMs) + " ms and was ended");
  }

  void Finished(int code, QProcess::ExitStatus how) {
    FLimit.stop();
    TakeOutput();
    if (FEnded) return;  // already said why
    if (how != QProcess::NormalExit) {
      Trouble("ended abnormally");
    } else if (code == 127) {
      Trouble("was not found");
    } else if (code != 0) {
      Trouble(std::string("ended with exit status ") + std::to_string(code));
    } else if (std::string text = SafeFedText(FOutput); text.empty()) {
      Trouble("printed nothing");
    } else {
      FFresh = std::move(text);
    }
  }

  void Trouble(const std::string& what) {
    FReport.Say("the text program \"" + FCommand + "\" " + what + "; the last text stays");
  }

  const std::string FCommand;
  const TFeedTiming FTiming;
  const int FLimitMs;
  QProcess FProcess;
  QTimer FLimit;
  std::string FOutput;
  bool FEnded = false;
  std::optional<std::string> FFresh;
  TTroubleReport FReport;
};

}  // namespace

std::unique_ptr<TTextFeed> MakeTextFeed(const TGlobals& settings, TFeedTiming timing, int limitMs) {
  if (settings.TextSource == tsFile && !settings.TextFile.empty()) {
    return std::make_unique<TFileFeed>(settings.TextFile);
  }
  if (settings.TextSource == tsProgram && !settings.TextProgram.empty()) {
    return std::make_unique<TProgramFeed>(settings.TextProgram, timing, limitMs);
  }
  return nullptr;
}
