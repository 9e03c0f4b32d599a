// morvane: the GUI (`morvane [WORKBOOK [PRESENTATION]]`) and the batch commands
// (`morvane list|paste|pdf|export ...`), which always run offscreen. The command line is read
// before any Qt application exists, so help, version and usage errors need no display.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <cstdio>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/gui.h"

namespace {

// Batch runs draw offscreen, whose platform warns that windows cannot be sized to their
// hints; that says nothing to a script's user, everything else still reaches stderr.
QtMessageHandler defaultHandler = nullptr;
void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  if (defaultHandler) defaultHandler(type, context, message);
}

void print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

void runOffscreen() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A private runtime folder keeps the offscreen platform quiet where none is set (CI, cron).
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray dir = "/tmp/morvane-runtime-" + QByteArray::number(getuid());
    ::mkdir(dir.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", dir);
  }
  defaultHandler = qInstallMessageHandler(quietOffscreenHandler);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace morvane::app;
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QFile::decodeName(argv[i]);
  const auto parsed = parseCommandLine(args);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    const QString who = error->command.isEmpty() ? QStringLiteral("morvane")
                                                 : QStringLiteral("morvane ") + error->command;
    print(stderr, who + QStringLiteral(": ") + error->message + QLatin1Char('\n'));
    print(stderr, usageSummary(error->command));
    return kExitUsage;
  }
  const CommandLine& line = std::get<CommandLine>(parsed);
  switch (line.command) {
    case Command::Help:
      print(stdout, usageText(line.topic));
      return kExitDone;
    case Command::Version:
      print(stdout, versionText());
      return kExitDone;
    case Command::Gui:
      break;
    default:
      runOffscreen();
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Morvane©"));
  QApplication::setApplicationVersion(QStringLiteral(MORVANE_VERSION));
  switch (line.command) {
    case Command::List:
      return runList(line.options);
    case Command::Paste:
      return runPaste(line.options);
    case Command::Pdf:
      return runPdf(line.options);
    case Command::Export:
      return runExport(line.options);
    case Command::Refresh:
      return runRefresh(line.options);
    default:
      return runGui(line.options.files);
  }
}
