#include "range_fixture.h"

#include "support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cmath>

using namespace morvane;

namespace morvane::rangetest {

const ooxml::xlsx::WorkbookDocument* book() {
  static const std::unique_ptr<ooxml::xlsx::WorkbookDocument> document = []() -> std::unique_ptr<ooxml::xlsx::WorkbookDocument> {
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python) || QProcess::execute(python, {"-c", "import openpyxl"}) != 0) return nullptr;
    const QString path = QDir(testenv::outputDir("range-fixtures")).filePath("range_book.xlsx");
    const QString script = QStringLiteral(MORVANE_SOURCE_DIR "/tests/render/range/make_range_book.py");
    if (QProcess::execute(python, {script, path}) != 0) return nullptr;
    auto opened = ooxml::xlsx::WorkbookDocument::open(path);
    return opened ? std::move(*opened) : nullptr;
  }();
  return document.get();
}

render::range::NamedRange named(const QString& name) {
  return render::range::resolveNamedRange(book()->model(), name);
}

QImage picture(const QString& name, const render::range::RangeOptions& options) {
  const render::range::NamedRange range = named(name);
  const QImage image =
      render::range::rangeToImage(book()->model(), range.sheetIndex, range.rect, 96, options);
  saveToGallery(image, name + ".png");
  return image;
}

void saveToGallery(const QImage& image, const QString& fileName) {
  image.save(QDir(testenv::outputDir("range-gallery")).filePath(fileName));
}

namespace {

bool inked(const QImage& image, int x, int y, int threshold) {
  const QRgb p = image.pixel(x, y);
  return qRed(p) + qGreen(p) + qBlue(p) < threshold;
}

}  // namespace

int inkCount(const QImage& image, const QRect& area, int threshold) {
  const QRect r = area.intersected(image.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += inked(image, x, y, threshold);
  return n;
}

int inkRight(const QImage& image, const QRect& area, int threshold) {
  const QRect r = area.intersected(image.rect());
  for (int x = r.right(); x >= r.left(); --x)
    for (int y = r.top(); y <= r.bottom(); ++y)
      if (inked(image, x, y, threshold)) return x;
  return -1;
}

int inkLeft(const QImage& image, const QRect& area, int threshold) {
  const QRect r = area.intersected(image.rect());
  for (int x = r.left(); x <= r.right(); ++x)
    for (int y = r.top(); y <= r.bottom(); ++y)
      if (inked(image, x, y, threshold)) return x;
  return -1;
}

int pixelsOfWidth(double characters) {
  const int mdw = 7;  // Calibri 11, the workbook's default font
  return int(std::trunc((256 * characters + std::trunc(128.0 / mdw)) / 256 * mdw));
}

}  // namespace morvane::rangetest
