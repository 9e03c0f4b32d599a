// morvane: the GUI (`morvane [WORKBOOK [PRESENTATION]]`) and the batch commands
// (`morvane list|paste|pdf|export ...`), which always run offscreen.
#include "app/batch.h"
#include "app/gui.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isBatchCommand(const char* arg) {
  for (const char* c : {"list", "paste", "pdf", "export"})
    if (std::strcmp(arg, c) == 0) return true;
  return false;
}

// Batch runs draw offscreen, whose platform warns that windows cannot be sized to their
// hints; that says nothing to a script's user, everything else still reaches stderr.
QtMessageHandler defaultHandler = nullptr;
void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  if (defaultHandler) defaultHandler(type, context, message);
}

void printUsage() {
  std::fprintf(stderr,
               "usage: morvane [WORKBOOK [PRESENTATION]]\n"
               "       morvane list WORKBOOK [--save-workbook]\n"
               "       morvane paste WORKBOOK PRESENTATION [--mode title|number] [--format emf|bitmap|svg]\n"
               "                     [--order name|sheet|numerator] [--labels] [--save-workbook] [--plan FILE]\n"
               "       morvane pdf WORKBOOK [OUT.pdf] [--mode title|number] [--order name|sheet|numerator]\n"
               "                   [--footer|--no-footer] [--save-workbook] [--plan FILE]\n"
               "       morvane export WORKBOOK DIR [--format png|emf|svg]\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool batch = argc > 1 && isBatchCommand(argv[1]);
  if (batch) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A private runtime folder keeps the offscreen platform quiet where none is set (CI, cron).
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
      const QByteArray dir = "/tmp/morvane-runtime-" + QByteArray::number(getuid());
      ::mkdir(dir.constData(), 0700);
      qputenv("XDG_RUNTIME_DIR", dir);
    }
  }
  if (batch) defaultHandler = qInstallMessageHandler(quietOffscreenHandler);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Morvane©"));
  QStringList args = QApplication::arguments().mid(1);
  if (batch) {
    const QString command = args.takeFirst();
    if (command == QLatin1String("list")) return morvane::app::runList(args);
    if (command == QLatin1String("paste")) return morvane::app::runPaste(args);
    if (command == QLatin1String("pdf")) return morvane::app::runPdf(args);
    return morvane::app::runExport(args);
  }
  if (!args.isEmpty() && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
    printUsage();
    return 0;
  }
  return morvane::app::runGui(args);
}
