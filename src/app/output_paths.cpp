#include "app/output_paths.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace morvane::app {

namespace {

bool hasSuffix(const QString& path, const QString& suffix) {
  return path.endsWith(suffix, Qt::CaseInsensitive);
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

bool sameFile(const QString& a, const QString& b) {
  const QFileInfo first(a), second(b);
  if (!first.exists() || !second.exists()) return false;
  if (first.canonicalFilePath() == second.canonicalFilePath()) return true;
  struct stat x {
  }, y{};
  return ::stat(QFile::encodeName(a).constData(), &x) == 0 &&
         ::stat(QFile::encodeName(b).constData(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

std::optional<QString> refuseWorkbookAsOutput(const QString& workbook, const QString& output) {
  if (!sameFile(workbook, output)) return std::nullopt;
  return QStringLiteral("%1 is the workbook itself: the output must be another file")
      .arg(shown(output));
}

std::optional<QString> refuseNonDeck(const QString& presentation) {
  if (!QFileInfo::exists(presentation)) {
    if (hasSuffix(presentation, QStringLiteral(".pptx"))) return std::nullopt;
    return QStringLiteral("%1 does not exist, and a new presentation must be a .pptx file")
        .arg(shown(presentation));
  }
  for (const char* suffix : {".pptx", ".pptm", ".potx"})
    if (hasSuffix(presentation, QLatin1String(suffix))) return std::nullopt;
  return QStringLiteral("%1 is not a presentation (.pptx, .pptm or .potx)")
      .arg(shown(presentation));
}

QString withPdfSuffix(const QString& path) {
  if (hasSuffix(path, QStringLiteral(".pdf")) || QFileInfo::exists(path)) return path;
  return path + QStringLiteral(".pdf");
}

std::optional<QString> refuseNonPdf(const QString& path, bool force) {
  QFile file(path);
  if (force || !file.exists()) return std::nullopt;
  if (file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-") return std::nullopt;
  return QStringLiteral("%1 exists and is not a PDF; add --force to replace it").arg(shown(path));
}

}  // namespace morvane::app
