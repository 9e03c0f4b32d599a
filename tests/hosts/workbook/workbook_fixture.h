// Workbooks for the host's picture tests: outline workbooks whose chart parts a test replaces
// with its own chart XML, and workbooks written by openpyxl (an independent producer whose
// charts carry formulas without cached values).
#pragma once

#include "support/workbook_outline.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QImage;

namespace morvane::testfixture {

// A change to one part of a written outline: `from` replaced by `to` in its text, or the
// whole part replaced by `to` when `from` is empty.
struct PartEdit {
  QString part;  // "/xl/charts/chart1.xml", "/xl/worksheets/sheet1.xml"
  QByteArray to;
  QByteArray from;
};

// Writes `outline` to `path` with `edits` applied. Empty on success, else why not.
QString writeEdited(const testbook::WorkbookOutline& outline, const QString& path, const QList<PartEdit>& edits);

// A clustered column chart part without legend whose one series has the given references
// (an empty formula leaves that element out). `title` is a chart title c:tx/c:strRef
// formula. Prefixed with c: unless `defaultNamespace`, as openpyxl writes.
struct ChartRefs {
  QString name, categories, values, title;
  bool numericCategories = false;
  bool multiLevelCategories = false;
  bool plotVisibleOnly = true;
  bool defaultNamespace = false;
  QString extraInValues;  // XML appended inside the values' reference after c:f
};
QByteArray barChartXml(const ChartRefs& refs);

// Heights in pixels of the saturated vertical runs of `image`, left to right: the bars of a
// column chart drawn in theme colours over white, grey gridlines and black text.
std::vector<int> barHeights(const QImage& image);

// True when /usr/bin/python3 imports openpyxl.
bool haveOpenpyxl();
// Runs `script` with /usr/bin/python3 and `args`. Empty on success, else its error output.
QString runPython(const char* script, const QStringList& args);

}  // namespace morvane::testfixture
