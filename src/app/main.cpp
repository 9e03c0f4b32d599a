// morvane: the GUI (`morvane [WORKBOOK [PRESENTATION]]`) and the batch commands
// (`morvane list|paste|pdf|export ...`), which always run offscreen.
#include "app/batch.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

bool isBatchCommand(const char* arg) {
  for (const char* c : {"list", "paste", "pdf", "export"})
    if (std::strcmp(arg, c) == 0) return true;
  return false;
}

void printUsage() {
  std::fprintf(stderr,
               "usage: morvane [WORKBOOK [PRESENTATION]]\n"
               "       morvane list WORKBOOK [--save-workbook]\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool batch = argc > 1 && isBatchCommand(argv[1]);
  if (batch) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Morvane©"));
  QStringList args = QApplication::arguments().mid(1);
  if (batch) {
    const QString command = args.takeFirst();
    if (command == QLatin1String("list")) return morvane::app::runList(args);
    std::fprintf(stderr, "morvane %s: not available in this build\n", qPrintable(command));
    return morvane::app::kExitUsage;
  }
  if (!args.isEmpty() && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
    printUsage();
    return 0;
  }
  printUsage();
  return morvane::app::kExitUsage;
}
