#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <cstdio>

#include "app/batch.h"
#include "app/batch_options.h"
#include "app/console_messages.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "files/atomic_file.h"
#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "paste/paste_steps.h"
#include "registry/object_sort.h"
#include "registry/registry.h"
#include "startup/start_tool.h"

namespace morvane::app {

namespace {

// "Sales - Chart 1", with what cannot stand in a file name replaced.
QString fileStem(const QString& sheet, const QString& name) {
  QString stem = name == registry::kChartSheetMarker ? sheet : sheet + QStringLiteral(" - ") + name;
  static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
  stem.replace(unsafe, QStringLiteral("_"));
  if (stem.startsWith(QLatin1Char('.'))) stem.replace(0, 1, QLatin1Char('_'));
  return stem.left(200);
}

// Puts the object's picture on the clipboard through the spreadsheet surface, as a copy in
// the window would.
void copyPicture(excel::Workbook& workbook, const QString& name, const QString& sheet, int format) {
  if (name == registry::kChartSheetMarker) {
    workbook.chart(sheet)->copyPicture(excel::xlScreen, excel::xlScreen, format);
  } else if (name.startsWith(QStringLiteral("Chart "))) {
    workbook.worksheet(sheet)->chartObject(name)->chart()->copyPicture(excel::xlScreen, excel::xlScreen, format);
  } else {
    workbook.name(name)->refersToRange()->copyPicture(excel::xlScreen, format);
  }
}

// The file formats and the CopyPicture format each is copied in.
const QHash<QString, int> kExportFormats{{QStringLiteral("png"), excel::xlBitmap},
                                         {QStringLiteral("emf"), excel::xlPicture},
                                         {QStringLiteral("svg"), excel::xlSvg}};

}  // namespace

int runExport(BatchOptions options) {
  const QStringList& files = options.files;
  const QString format = options.format.value_or(QStringLiteral("png"));
  auto opened = hosts::workbook::openWorkbook(files[0]);
  if (!opened) {
    std::fprintf(stderr, "%s\n", opened.error().message.toLocal8Bit().constData());
    return kExitUnreadable;
  }
  QDir out(files[1]);
  if (!out.exists() && !QDir().mkpath(files[1])) {
    std::fprintf(stderr, "%s: cannot create the folder\n", qPrintable(files[1]));
    return kExitUnwritable;
  }
  FileSession session(opened.value());
  ProgressLine progress(stderr, ProgressLine::onTerminal(stderr, options.quiet));
  ConsoleMessages messages;
  BatchDesktop desktop;
  startup::Tool tool(session, messages, desktop);
  messages.showProgress(tool, progress);
  int written = 0;
  int missing = 0;
  try {
    if (!startup::PrepareWorkbook(tool)) return kExitRefused;
    registry::SyncRegistry(*tool.workbook, tool.objectTable, tool.counts, tool.leftOutNames);
    if (!tool.leftOutNames.isEmpty())
      messages.msgBox(startup::leftOutMessage(tool.leftOutNames), startup::vbInformation,
                      startup::kToolTitle);
    registry::ExchangeSort(tool.objectTable, registry::kColNumerator);
    QSet<QString> used;
    // One sweep of the folder for every file's stale temporaries: a sweep per file would read
    // the growing folder once for each.
    files::removeStaleTemporariesIn(out.absolutePath());
    const auto& table = tool.objectTable;
    std::vector<std::pair<QString, QString>> rows;
    for (int r = 1; r <= table.rowCount(); ++r)
      rows.emplace_back(table.at(registry::kColName, r).toText(),
                        table.at(registry::kColSheet, r).toText());
    const int copyFormat = kExportFormats.value(format);
    const paste::PictureLookAhead lookAhead(
        tool.workbook.get(), rows,
        copyFormat == excel::xlPicture ? excel::PictureUse::Metafile
        : copyFormat == excel::xlSvg   ? excel::PictureUse::Svg
                                       : excel::PictureUse::EncodedBitmap);
    for (int r = 1; r <= table.rowCount(); ++r) {
      const QString name = table.at(registry::kColName, r).toText();
      const QString sheet = table.at(registry::kColSheet, r).toText();
      tool.reportObject(r, table.rowCount(), name, sheet);
      // An object no picture can be made of is named and left out; the others are written.
      try {
        copyPicture(*tool.workbook, name, sheet, copyFormat);
      } catch (const office::AutomationError& error) {
        if (!error.isInvalidPicture()) throw;
        progress.clear();
        std::fprintf(stderr, "%s on %s: no picture: %s\n", qPrintable(name), qPrintable(sheet),
                     qPrintable(error.description()));
        ++missing;
        continue;
      }
      const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
      QByteArray bytes;
      if (format != "png") {
        bytes =
            mime ? mime->data(format == "emf" ? office::kEmfMime : office::kSvgMime) : QByteArray();
      } else if (mime && mime->hasImage()) {
        bytes = mime->data(QStringLiteral("image/png"));
        if (bytes.isEmpty()) {
          QBuffer buffer(&bytes);
          buffer.open(QIODevice::WriteOnly);
          qvariant_cast<QImage>(mime->imageData()).save(&buffer, "PNG");
        }
      }
      if (bytes.isEmpty()) {
        progress.clear();
        std::fprintf(stderr, "%s on %s: no picture\n", qPrintable(name), qPrintable(sheet));
        ++missing;
        continue;
      }
      QString stem = fileStem(sheet, name);
      for (int n = 2; used.contains(stem.toLower()); ++n) stem = fileStem(sheet, name) + QStringLiteral(" (%1)").arg(n);
      used.insert(stem.toLower());
      const QString path = out.filePath(stem + QLatin1Char('.') + format);
      if (!files::writeAtomically(path, bytes, nullptr, false)) {
        progress.clear();
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(path));
        return kExitUnwritable;
      }
      progress.clear();
      std::fprintf(stdout, "%s\n", path.toUtf8().constData());
      ++written;
    }
  } catch (const office::AutomationError& error) {
    progress.clear();
    messages.msgBox(error.userText(), startup::vbCritical, startup::kToolTitle);
    return kExitRefused;
  }
  progress.clear();
  if (!missing) return kExitDone;
  std::fprintf(stderr, "%d picture(s) written to %s%s\n", written, qPrintable(files[1]),
               qPrintable(withoutPictures(missing)));
  return kExitRefused;
}

}  // namespace morvane::app
