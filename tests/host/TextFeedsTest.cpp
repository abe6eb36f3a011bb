// The text feeds through the real filesystem and real programs.
#include "host/TextFeeds.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "tests/support/TempDir.h"

namespace {

TGlobals FromFile(const std::string& path) {
  TGlobals settings;
  settings.TextSource = tsFile;
  settings.TextFile = path;
  return settings;
}

TGlobals FromProgram(const std::string& command) {
  TGlobals settings;
  settings.TextSource = tsProgram;
  settings.TextProgram = command;
  return settings;
}

// What a feed gives for one cycle, waited for.
std::optional<std::string> OneText(const TGlobals& settings, int limitMs = 5000) {
  const std::unique_ptr<TTextFeed> feed = MakeTextFeed(settings, ftWait, limitMs);
  if (!feed) return std::nullopt;
  feed->CycleStarted();
  return feed->FreshText();
}

TEST(TextFeedsTest, FilesOfEveryKindAreReadSafelyAndNeverWaitedOn) {
  TempDir dir;
  const std::string longLine(5000, 'w');
  TempDir::Write(dir.File("long"), longLine + "\n");
  TempDir::Write(dir.File("cr-only"), "one\rtwo\rthree");
  TempDir::Write(dir.File("latin1"), "gr\xFC\xDF\n");
  TempDir::Write(dir.File("escapes"), "\x1B[32mgreen\x1B[0m\n\x1B]0;x\x07title\n");
  TempDir::Write(dir.File("big"), std::string(1 << 20, 'm'));
  TempDir::Write(dir.File("empty"), "");
  TempDir::Write(dir.File("blank"), "\n \t\n\r\n");
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"long", longLine},  // the animation cuts it at its letter limit
      {"cr-only", "one\rtwo\rthree"},
      {"latin1", "gr\xC3\xBC\xC3\x9F"},
      {"escapes", "green\rtitle"},
      {"big", std::string(64 * 1024, 'm')},
      // Nothing to show: the last text stays.
      {"empty", std::nullopt},
      {"blank", std::nullopt},
      {"folder", std::nullopt},
      {"fifo", std::nullopt},  // nobody writes to it: must not block
      {"missing", std::nullopt},
  };
  for (const auto& [name, text] : cases) EXPECT_EQ(OneText(FromFile(dir.File(name))), text) << name;
}

TEST(TextFeedsTest, ProgramsPrintTheirLinesOrFailWithoutAText) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"printf 'one\\ntwo\\n'", "one\rtwo"},
      {"read line; echo \"got:$line\"", "got:"},  // standard input is empty
      {"echo out; exit 3", std::nullopt},
      {"no-such-program-of-lettrance", std::nullopt},
      {"true", std::nullopt},
      {"echo on stderr >&2", std::nullopt},
  };
  for (const auto& [command, text] : cases)
    EXPECT_EQ(OneText(FromProgram(command)), text) << command;
  // Nothing in the text is run: it is shown as it is.
  EXPECT_EQ(OneText(FromProgram("echo '$(touch /tmp/x); `id`'")), "$(touch /tmp/x); `id`");
}

// Runs, as opposed to ended: an ended process may stay a zombie for a while
// where nobody reaps orphans.
bool Runs(pid_t pid) {
  const std::string stat = TempDir::Read("/proc/" + std::to_string(pid) + "/stat");
  const size_t state = stat.rfind(") ");
  return state != std::string::npos && stat[state + 2] != 'Z' && stat[state + 2] != 'X';
}

TEST(TextFeedsTest, AProgramPastItsTimeIsEndedWithItsChildren) {
  TempDir dir;
  const std::string pidFile = dir.File("child");
  // The child outlives the shell unless the whole group is ended.
  const std::string command = "sleep 30 & echo $! > " + pidFile + "; echo early; wait";
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(OneText(FromProgram(command), 300), std::nullopt);
  EXPECT_LT(clock.elapsed(), 10000);
  const pid_t child = std::stoi(TempDir::Read(pidFile));
  ASSERT_GT(child, 0);
  for (int i = 0; i < 100 && Runs(child); ++i) QThread::msleep(10);
  EXPECT_FALSE(Runs(child)) << "the program's child still runs";
}

TEST(TextFeedsTest, InTheBackgroundANewTextComesEachCycleWithoutWaiting) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  TempDir dir;
  const std::string counter = dir.File("n");
  TempDir::Write(counter, "");
  // Prints a new number each run: 1, 2, ...
  const auto feed = MakeTextFeed(
      FromProgram("echo x >> " + counter + "; sleep 0.2; wc -l < " + counter), ftBackground);
  ASSERT_TRUE(feed);
  std::vector<std::string> texts;
  for (int cycle = 0; cycle < 2; ++cycle) {
    QElapsedTimer asked;
    asked.start();
    feed->CycleStarted();
    EXPECT_LT(asked.elapsed(), 150) << "the cycle waited for the program";
    std::optional<std::string> text;
    while (!text && asked.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      text = feed->FreshText();
    }
    texts.push_back(text.value_or("none"));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"1", "2"}));
}

TEST(TextFeedsTest, TheStoredTextNeedsNoFeed) {
  TGlobals settings;
  EXPECT_EQ(MakeTextFeed(settings, ftWait), nullptr);
  settings.TextSource = 7;  // unknown: the stored text
  settings.TextProgram = "echo x";
  EXPECT_EQ(MakeTextFeed(settings, ftWait), nullptr);
}

}  // namespace
