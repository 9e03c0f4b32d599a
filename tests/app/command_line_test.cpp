// The command line as a user meets it in a terminal: help and version without a display,
// usage errors with status 64, both option spellings, and outputs that never overwrite what
// they should not. Run on the real binary.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/batch_binary.h"
#include "support/xlsx_outline_writer.h"

using namespace morvane;

using batchtest::Outcome;
using batchtest::runMorvane;
using batchtest::sample;

namespace {

// No display and no platform plugin chosen: what a terminal over ssh offers.
QProcessEnvironment headless() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  env.insert(QStringLiteral("DISPLAY"), QString());
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  return env;
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(CommandLine, HelpVersionAndUsageErrorsNeedNoDisplay) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const struct {
    QStringList args;
    int status;
    const char* out;  // a pattern stdout must match ("" : empty)
    const char* err;  // likewise for stderr
  } cases[] = {
      {{"--help"}, 0, "^usage: morvane \\[WORKBOOK.*Exit status:.*64", ""},
      {{"-h"}, 0, "^usage: morvane ", ""},
      {{"help"}, 0, "^usage: morvane ", ""},
      {{"help", "pdf"}, 0, "^usage: morvane pdf WORKBOOK \\[OUT.pdf\\].*--force", ""},
      {{"paste", "--help"}, 0, "^usage: morvane paste WORKBOOK PRESENTATION", ""},
      {{"export", book, "x", "-h"}, 0, "^usage: morvane export", ""},
      {{"--version"}, 0, "^morvane \\d+\\.\\d+", ""},
      {{"list"}, 64, "", "^morvane list: missing WORKBOOK\nusage: morvane list"},
      {{"list", "-x", book}, 64, "", "^morvane list: unknown option -x\n"},
      {{"export", book, "-"}, 64, "", "^morvane export: unknown option -\n"},
      {{"paste", book, "d.pptx", "--mode=sideways"},
       64,
       "",
       "--mode takes title, number, not sideways"},
      {{"paste", book, "d.pptx", "--labels=yes"}, 64, "", "--labels takes no value"},
      {{"pdf", book, "--plan"}, 64, "", "--plan takes a value"},
      {{"pdf", book, "a.pdf", "b.pdf"}, 64, "", "unexpected argument b.pdf"},
      {{"help", "frobnicate"}, 64, "", "no command frobnicate"},
      {{"--frobnicate"}, 64, "", "^morvane: unknown option --frobnicate\nusage: morvane \\["},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
    const Outcome run = runMorvane(c.args, headless());
    EXPECT_EQ(run.exitCode, c.status) << run.err.toStdString();
    const QRegularExpression out(QLatin1String(c.out),
                                 QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression err(QLatin1String(c.err),
                                 QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(*c.out ? out.match(run.out).hasMatch() : run.out.isEmpty())
        << run.out.toStdString();
    EXPECT_TRUE(*c.err ? err.match(run.err).hasMatch() : run.err.isEmpty())
        << run.err.toStdString();
  }
}

TEST(CommandLine, OutputsNeverReplaceTheWorkbookOrAFileOfAnotherKind) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QByteArray original = contents(book);
  const QString notes = dir.filePath(QStringLiteral("notes.txt"));
  QFile text(notes);
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("my notes\n");
  text.close();
  QFile::link(book, dir.filePath(QStringLiteral("link.pptx")));
  const struct {
    QStringList args;
    const char* err;
  } refused[] = {
      {{"paste", book, book}, "is the workbook itself"},
      {{"paste", book, dir.filePath(QStringLiteral("link.pptx"))}, "is the workbook itself"},
      {{"pdf", book, book}, "is the workbook itself"},
      {{"pdf", book, notes}, "exists and is not a PDF; add --force"},
      {{"paste", book, dir.filePath(QStringLiteral("new.odp"))},
       "a new presentation must be a .pptx"},
      {{"paste", book, notes}, "is not a presentation"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
    const Outcome run = runMorvane(c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String(c.err))) << run.err.toStdString();
  }
  EXPECT_EQ(contents(book), original);
  EXPECT_EQ(contents(notes), "my notes\n");
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("new.odp"))));

  // Asked for, the file is replaced; a name without the suffix gets it.
  EXPECT_EQ(runMorvane({"pdf", book, notes, "--force"}).exitCode, 0);
  EXPECT_TRUE(contents(notes).startsWith("%PDF-"));
  EXPECT_EQ(runMorvane({"pdf", book, dir.filePath(QStringLiteral("report"))}).exitCode, 0);
  EXPECT_TRUE(contents(dir.filePath(QStringLiteral("report.pdf"))).startsWith("%PDF-"));
}

TEST(CommandLine, BothOptionSpellingsAndTheExportFormatSynonym) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const Outcome paste = runMorvane(
      {"paste", book, dir.filePath(QStringLiteral("d.pptx")), "--format=emf", "--order", "name"});
  ASSERT_EQ(paste.exitCode, 0) << paste.err.toStdString();
  const Outcome exported =
      runMorvane({"export", book, dir.filePath(QStringLiteral("pictures")), "--format=bitmap"});
  ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("pictures"))).entryList({"*.png"}, QDir::Files).size(),
            6);
  // A file name that starts with a dash is given after "--".
  const QString dashed = dir.filePath(QStringLiteral("-deck.pptx"));
  EXPECT_EQ(runMorvane({"paste", book, "--", dashed}).exitCode, 0);
  EXPECT_TRUE(QFile::exists(dashed));
}

TEST(CommandLine, ListAsJsonForScripts) {
  QTemporaryDir dir;
  const Outcome run = runMorvane({"list", sample(dir), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QJsonArray objects = QJsonDocument::fromJson(run.out.toUtf8()).array();
  ASSERT_EQ(objects.size(), 6);
  const QJsonObject first = objects[0].toObject();
  EXPECT_EQ(first.value("name").toString(), QStringLiteral("Chart 1"));
  EXPECT_EQ(first.value("sheet").toString(), QStringLiteral("Sales"));
  EXPECT_EQ(first.value("kind").toString(), QStringLiteral("chart"));
  EXPECT_EQ(first.value("include"), QJsonValue(true));
  EXPECT_EQ(first.value("numerator"), QJsonValue(1));
  EXPECT_TRUE(first.value("slide").isNull());
  EXPECT_TRUE(first.value("title").isString());
  EXPECT_EQ(first.value("paste_as").toString(), QStringLiteral("Picture"));
  EXPECT_EQ(objects[3].toObject().value("kind").toString(), QStringLiteral("chartsheet"));
  EXPECT_EQ(objects[4].toObject().value("kind").toString(), QStringLiteral("range"));
}

// A box's centred, carriage-return text reads on a terminal from the margin, line by line.
TEST(CommandLine, RefusalsReadCleanlyOnATerminal) {
  QTemporaryDir dir;
  testbook::WorkbookOutline outline;
  outline.protectStructure = true;
  outline.sheets = {testbook::SheetOutline{}};
  outline.sheets[0].name = QStringLiteral("Data");
  const QString book = dir.filePath(QStringLiteral("locked.xlsx"));
  ASSERT_TRUE(testxlsx::writeWorkbook(outline, book).ok());
  const Outcome run = runMorvane({"list", book});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.startsWith(QStringLiteral("The workbook looks protected\n\nPlease remove")))
      << run.err.toStdString();
  EXPECT_FALSE(run.err.contains(QLatin1Char('\r')));
}

TEST(CommandLine, ADeckThatCannotBeWrittenIsReportedOnceWithItsReason) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  // A file size limit makes the deck's write fail as a full disk would; the signal it raises
  // is ignored so the write returns the error instead of ending the process.
  QProcess limited;
  limited.start(QStringLiteral("bash"),
                {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 16; exec \"$@\""),
                 QStringLiteral("bash"), QStringLiteral(MORVANE_BINARY), QStringLiteral("paste"),
                 book, deck});
  ASSERT_TRUE(limited.waitForFinished(180000));
  const QString err = QString::fromLocal8Bit(limited.readAllStandardError());
  EXPECT_EQ(limited.exitCode(), 3) << err.toStdString();
  EXPECT_EQ(err.count(deck), 1) << err.toStdString();
  EXPECT_EQ(err.count(QStringLiteral("File too large")), 1) << err.toStdString();
  EXPECT_FALSE(QFile::exists(deck));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("sample-sales.xlsx")});
}
