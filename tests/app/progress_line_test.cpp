// What a batch run shows on a terminal: one updating progress line on stderr, nothing when
// stderr is not a terminal or with --quiet, and the list's header only for a person. Run on
// the real binary under `script`, which gives it a pseudo-terminal.
#include "app/progress_line.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/batch_binary.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

QString quoted(const QString& word) {
  return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
         QLatin1Char('\'');
}

// The binary run on a pseudo-terminal: everything it wrote to stdout and stderr, in order.
QString onTerminal(const QStringList& args) {
  QStringList words{quoted(QStringLiteral(MORVANE_BINARY))};
  for (const QString& arg : args) words << quoted(arg);
  QProcess script;
  script.start(QStringLiteral("script"),
               {QStringLiteral("-qec"), words.join(QLatin1Char(' ')), QStringLiteral("/dev/null")});
  script.closeWriteChannel();
  script.waitForFinished(180000);
  return QString::fromUtf8(script.readAllStandardOutput());
}

}  // namespace

TEST(ProgressLine, CountNameAndTimeCutToTheTerminal) {
  struct Row {
    int columns;
    QString name;
    QString line;
  } rows[] = {
      {80, QStringLiteral("Chart 1 on Sales"), QStringLiteral("3/12  Chart 1 on Sales  1.5 s")},
      {22, QStringLiteral("Chart 1 on Sales"), QStringLiteral("3/12  Chart 1\u2026  1.5 s")},
      {12, QStringLiteral("Chart 1 on Sales"), QStringLiteral("3/12    1.5")},
      {80, QStringLiteral("Two\nlines"), QStringLiteral("3/12  Two lines  1.5 s")},
  };
  for (const Row& row : rows)
    EXPECT_EQ(app::ProgressLine::text(3, 12, row.name, 1.48, row.columns), row.line) << row.columns;
}

TEST(ProgressLine, OnlyOnATerminalAndNeverWithQuiet) {
  MORVANE_REQUIRE(!QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty(),
                  "script (util-linux)");
  QTemporaryDir dir;
  const QString book = batchtest::sample(dir);
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  const QString pictures = dir.filePath(QStringLiteral("pictures"));
  const QString first = QStringLiteral("\r\x1b[K1/6  Chart 1 on Sales  ");
  const QString last = QStringLiteral("\r\x1b[K6/6  RegionShares on Regions  ");
  const QStringList commands[] = {
      {"paste", book, deck}, {"pdf", book, pdf}, {"export", book, pictures}};
  for (const QStringList& command : commands) {
    SCOPED_TRACE(command.front().toStdString());
    const QString shown = onTerminal(command);
    EXPECT_TRUE(shown.contains(first)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(last)) << shown.toStdString();
    EXPECT_FALSE(onTerminal(command + QStringList{"--quiet"}).contains(first));
    const batchtest::Outcome piped = batchtest::runMorvane(command);
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_FALSE(piped.err.contains(QLatin1Char('\r'))) << piped.err.toStdString();
  }

  const QString header = QStringLiteral("name\tsheet\tinclude\tnumerator");
  EXPECT_TRUE(onTerminal({"list", book}).contains(header));
  EXPECT_FALSE(batchtest::runMorvane({"list", book}).out.contains(header));
}
