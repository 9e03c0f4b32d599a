// A whole .xlsx through the workbook model and host: opened, prepared and scanned as
// `morvane list` does, then the first objects' pictures drawn as the selection copies them.
#include "app/file_session.h"
#include "fuzz_support.h"
#include "office/automation_error.h"
#include "registry/registry.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

using namespace morvane;

namespace {

class Silent : public startup::MessageBoxes, public startup::Desktop {
 public:
  int msgBox(const QString&, int, const QString&) override { return startup::vbOK; }
  void yield() override {}
  void sleepMs(int) override {}
  bool openFile(const QString&) override { return false; }
  bool activateWindow(const QString&) override { return false; }
};

// Copies one listed object's bitmap and reads it back, so the picture is really drawn.
void drawObject(excel::Workbook& workbook, const QString& name, const QString& sheet) {
  if (name == QLatin1String("{Chart Sheet}")) {
    if (auto chart = workbook.chart(sheet)) chart->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  } else if (name.startsWith(QLatin1String("Chart "))) {
    auto ws = workbook.worksheet(sheet);
    auto object = ws ? ws->chartObject(name) : nullptr;
    if (auto chart = object ? object->chart() : nullptr)
      chart->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  } else if (auto defined = workbook.name(name)) {
    if (auto range = defined->refersToRange()) range->copyPicture(excel::xlScreen, excel::xlBitmap);
  }
  if (const QMimeData* mime = QGuiApplication::clipboard()->mimeData(); mime && mime->hasImage())
    (void)qvariant_cast<QImage>(mime->imageData());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::scratchFile(QStringLiteral("fuzz.xlsx"), fuzz::bytesOf(data, size));
  auto opened = hosts::workbook::openWorkbook(path);
  if (!opened) return 0;
  app::FileSession session(opened.value());
  Silent silent;
  startup::Tool tool(session, silent, silent);
  try {
    if (!startup::PrepareWorkbook(tool)) return 0;
    registry::SyncRegistry(*tool.workbook, tool.objectTable, tool.counts);
    const auto& table = tool.objectTable;
    for (int r = 1; r <= std::min(table.rowCount(), 3); ++r) {
      try {
        drawObject(*tool.workbook, table.at(1, r).toText(), table.at(2, r).toText());
      } catch (const office::AutomationError&) {
        // An object the program cannot copy: the next one still is.
      }
    }
  } catch (const office::AutomationError&) {
    // The program's refusals are answers, not faults.
  }
  return 0;
}
