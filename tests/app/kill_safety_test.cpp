// SIGKILL sent to the real binary at seeded random instants of its own run, the final writes
// included: the workbook, the deck and the PDF are each the old file byte for byte or a
// complete new one, and no temporary file outlives the next run that writes its target.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <map>
#include <random>

#include "deck_parts.h"
#include "hosts/workbook/host.h"
#include "pdf/poppler.h"
#include "support/batch_binary.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

constexpr int kKills = 16;  // for each command

QStringList temporaries(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral(".*.morvane-*.tmp")}, QDir::Files | QDir::Hidden);
}

// Each file's size and modification time, by name.
using FolderState = std::map<QString, std::pair<qint64, qint64>>;
FolderState state(const QString& folder) {
  FolderState out;
  for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
    out[file.fileName()] = {file.size(), file.lastModified().toMSecsSinceEpoch()};
  return out;
}

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

struct Timing {
  qint64 total;       // ms from start to exit
  qint64 writesFrom;  // ms at which it began writing in the folder
};

// A run of the binary, timed from its start.
class Run {
 public:
  explicit Run(const QStringList& args) {
    m_process.start(QStringLiteral(MORVANE_BINARY), args);
    m_clock.start();
  }
  qint64 elapsed() const { return m_clock.elapsed(); }
  // Waits up to `ms` milliseconds; false once the run has ended.
  bool wait(qint64 ms) {
    return ms > 0 && m_process.state() != QProcess::NotRunning &&
           !m_process.waitForFinished(int(ms));
  }
  // Waits until the run starts writing in `folder` (a file appears, or one changes size or
  // time); false when the run ended first.
  bool waitForWrites(const QString& folder, const FolderState& before) {
    while (wait(1))
      if (state(folder) != before) return true;
    return false;
  }
  void kill() {
    if (m_process.state() != QProcess::NotRunning) ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished();
  }

 private:
  QProcess m_process;
  QElapsedTimer m_clock;
};

Timing measure(const QStringList& args, const QString& folder) {
  Run run(args);
  const qint64 writesFrom = run.waitForWrites(folder, state(folder)) ? run.elapsed() : -1;
  while (run.wait(1)) {
  }
  const qint64 total = run.elapsed();
  return {total, writesFrom < 0 ? total : writesFrom};
}

// Seeded instants: every other one anywhere in the run's duration, the others that many
// milliseconds after the run begins writing, within its final writes.
struct Instant {
  bool afterWrites;
  qint64 ms;
};
std::vector<Instant> instants(const Timing& timing, std::mt19937& random) {
  std::uniform_int_distribution<qint64> anywhere(0, timing.total);
  std::uniform_int_distribution<qint64> writing(
      0, std::max<qint64>(1, timing.total - timing.writesFrom));
  std::vector<Instant> out;
  for (int i = 0; i < kKills; ++i)
    out.push_back(i % 2 ? Instant{true, writing(random)} : Instant{false, anywhere(random)});
  return out;
}

void killAt(const QStringList& args, const Instant& at, const QString& folder) {
  const FolderState before = state(folder);
  Run run(args);
  if (!at.afterWrites || run.waitForWrites(folder, before)) run.wait(at.ms);
  run.kill();
}

std::string describe(const char* command, const Instant& at, const Timing& timing) {
  return QStringLiteral("%1 killed %2 ms after %3 (writes from %4 of %5 ms)")
      .arg(QLatin1String(command))
      .arg(at.ms)
      .arg(at.afterWrites ? QStringLiteral("its first write") : QStringLiteral("its start"))
      .arg(timing.writesFrom)
      .arg(timing.total)
      .toStdString();
}

bool completeWorkbook(const QString& path) {
  auto opened = hosts::workbook::openWorkbook(path);
  if (!opened) return false;
  for (const auto& sheet : opened.value().application->activeWorkbook()->sheets())
    if (sheet->name() == QLatin1String("kukukukuZichron")) return true;
  return false;
}

class KillSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    MORVANE_REQUIRE(popplertest::available(), "poppler-utils");
    book = batchtest::sample(dir);
    deck = dir.filePath(QStringLiteral("deck.pptx"));
    pdf = dir.filePath(QStringLiteral("out.pdf"));
    oldBook = apptest::fileBytes(book);
    ASSERT_EQ(batchtest::runMorvane({"paste", book, deck}).exitCode, 0);
    ASSERT_EQ(batchtest::runMorvane({"pdf", book, pdf}).exitCode, 0);
    oldDeck = apptest::fileBytes(deck);
    oldPdf = apptest::fileBytes(pdf);
  }
  void restore() {
    put(book, oldBook);
    put(deck, oldDeck);
    put(pdf, oldPdf);
  }

  QTemporaryDir dir;
  QString book, deck, pdf;
  QByteArray oldBook, oldDeck, oldPdf;
  std::mt19937 random{20261209};
};

}  // namespace

TEST_F(KillSafety, EveryFileIsTheOldOrACompleteNewOneAndNoTemporaryLingers) {
  const QStringList paste{"paste", book, deck, "--save-workbook"};
  const QStringList export_{"pdf", book, pdf};
  const QStringList refresh{"refresh", book, deck};
  restore();
  const Timing refreshTiming = measure(refresh, dir.path());
  restore();
  const Timing pasteTiming = measure(paste, dir.path());
  restore();
  const Timing pdfTiming = measure(export_, dir.path());

  for (const Instant& at : instants(pasteTiming, random)) {
    SCOPED_TRACE(describe("paste", at, pasteTiming));
    restore();
    killAt(paste, at, dir.path());
    EXPECT_TRUE(apptest::fileBytes(book) == oldBook || completeWorkbook(book));
    const apptest::DeckParts parts = apptest::readDeck(deck);
    EXPECT_TRUE(apptest::fileBytes(deck) == oldDeck ||
                (parts.error.isEmpty() && parts.slideCount() == 12))
        << parts.error.toStdString();
  }
  for (const Instant& at : instants(pdfTiming, random)) {
    SCOPED_TRACE(describe("pdf", at, pdfTiming));
    restore();
    killAt(export_, at, dir.path());
    if (apptest::fileBytes(pdf) != oldPdf) {
      const popplertest::PageInfo info = popplertest::info(pdf);
      EXPECT_EQ(info.pages, 6);
      EXPECT_EQ(info.errors, QString());
    }
  }
  for (const Instant& at : instants(refreshTiming, random)) {
    SCOPED_TRACE(describe("refresh", at, refreshTiming));
    restore();
    killAt(refresh, at, dir.path());
    const apptest::DeckParts parts = apptest::readDeck(deck);
    EXPECT_TRUE(apptest::fileBytes(deck) == oldDeck ||
                (parts.error.isEmpty() && parts.slideCount() == 6))
        << parts.error.toStdString();
  }
  // Whatever the kills left, and a temporary planted for each target by a process that has
  // ended, the next whole runs sweep every one.
  QProcess ended;
  ended.start(QStringLiteral("true"));
  ASSERT_TRUE(ended.waitForStarted());
  const QString deadPid = QString::number(ended.processId());
  ASSERT_TRUE(ended.waitForFinished());
  for (const QString& target : {book, deck, pdf})
    put(dir.filePath(QLatin1Char('.') + QFileInfo(target).fileName() +
                     QStringLiteral(".morvane-%1-stale1.tmp").arg(deadPid)),
        "left by a killed run");
  EXPECT_EQ(batchtest::runMorvane(paste).exitCode, 0);
  EXPECT_EQ(batchtest::runMorvane(export_).exitCode, 0);
  EXPECT_EQ(temporaries(dir.path()), QStringList());
}
