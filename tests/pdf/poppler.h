// Reading PDFs back with poppler's command-line tools, for the PDF writer's tests.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace morvane::popplertest {

// True when pdfinfo, pdfimages, pdftotext, pdffonts and pdftoppm are all on PATH.
bool available();
// Standard output of `tool args...`; empty when it fails to run or exits non-zero.
QString run(const QString& tool, const QStringList& args);
// Both outputs of `tool args...`; exit code -1 when it did not run to its end.
struct ToolRun {
  int exitCode = -1;
  QString out;
  QString err;
};
ToolRun runTool(const QString& tool, const QStringList& args);

struct PageInfo {
  int pages = 0;
  std::vector<QSizeF> sizes;  // points, one per page
  QString title;
  QString creator;
  QString author;
  QString producer;
  QString errors;  // what pdfinfo reported on stderr (syntax errors, repaired tables)
};
PageInfo info(const QString& pdf);

struct ImageRow {
  int page = 0;
  int width = 0;
  int height = 0;
  QString encoding;
  double xPpi = 0;
  double yPpi = 0;
};
std::vector<ImageRow> images(const QString& pdf);

struct Word {
  QString text;
  QRectF box;  // points, origin at the page's top-left corner
};
std::vector<Word> words(const QString& pdf, int page);

struct FontRow {
  QString name;
  bool embedded = false;
};
std::vector<FontRow> fonts(const QString& pdf);

// The pixels of every image, in the document's order, as pdfimages decodes them (PNG).
std::vector<QImage> imagePixels(const QString& pdf);

// Page `page` rendered at `dpi`; null on failure.
QImage render(const QString& pdf, int page, double dpi);

}  // namespace morvane::popplertest
