#include "workbook_fixture.h"

#include "support/xlsx_outline_writer.h"

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <algorithm>

using namespace morvane;

namespace morvane::testfixture {

namespace {

QString escaped(QString s) {
  return s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

}  // namespace

QString writeEdited(const testbook::WorkbookOutline& outline, const QString& path, const QList<PartEdit>& edits) {
  auto package = testxlsx::buildWorkbook(outline);
  for (const PartEdit& edit : edits) {
    auto bytes = package->read(edit.part);
    if (!bytes.ok()) return bytes.error().message;
    if (!edit.from.isEmpty() && !bytes.value().contains(edit.from))
      return QStringLiteral("%1 does not contain %2").arg(edit.part, QString::fromUtf8(edit.from));
    const QByteArray changed = edit.from.isEmpty() ? edit.to : QByteArray(bytes.value()).replace(edit.from, edit.to);
    const ooxml::Status written = package->write(edit.part, changed, package->contentType(edit.part));
    if (!written.ok()) return written.error().message;
  }
  const ooxml::Status saved = package->save(path);
  return saved.ok() ? QString() : saved.error().message;
}

QByteArray barChartXml(const ChartRefs& refs) {
  const QString c = refs.defaultNamespace ? QString() : QStringLiteral("c:");
  auto ref = [&](const QString& source, const QString& kind, const QString& formula, const QString& extra = {}) {
    if (formula.isEmpty()) return QString();
    return QStringLiteral("<%1%2><%1%3><%1f>%4</%1f>%5</%1%3></%1%2>").arg(c, source, kind, escaped(formula), extra);
  };
  QString title;
  if (!refs.title.isEmpty())
    title = QStringLiteral("<%1title>%2<%1overlay val=\"0\"/></%1title>").arg(c, ref("tx", "strRef", refs.title));
  const QString series =
      QStringLiteral("<%1ser><%1idx val=\"0\"/><%1order val=\"0\"/>").arg(c) + ref("tx", "strRef", refs.name) +
      ref("cat", refs.multiLevelCategories ? "multiLvlStrRef" : refs.numericCategories ? "numRef" : "strRef",
          refs.categories) +
      ref("val", "numRef", refs.values, refs.extraInValues) + QStringLiteral("</%1ser>").arg(c);
  const QString ns = refs.defaultNamespace ? QStringLiteral("xmlns") : QStringLiteral("xmlns:c");
  const QString xml = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<%1chartSpace %2=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><%1chart>%3"
      "<%1autoTitleDeleted val=\"0\"/><%1plotArea><%1layout/><%1barChart><%1barDir val=\"col\"/>"
      "<%1grouping val=\"clustered\"/><%1varyColors val=\"0\"/>%4<%1gapWidth val=\"150\"/>"
      "<%1axId val=\"10\"/><%1axId val=\"20\"/></%1barChart>"
      "<%1catAx><%1axId val=\"10\"/><%1scaling><%1orientation val=\"minMax\"/></%1scaling><%1delete val=\"0\"/>"
      "<%1axPos val=\"b\"/><%1crossAx val=\"20\"/></%1catAx>"
      "<%1valAx><%1axId val=\"20\"/><%1scaling><%1orientation val=\"minMax\"/><%1min val=\"0\"/></%1scaling>"
      "<%1delete val=\"0\"/><%1axPos val=\"l\"/><%1crossAx val=\"10\"/></%1valAx></%1plotArea>"
      "<%1plotVisOnly val=\"%5\"/></%1chart></%1chartSpace>")
      .arg(c, ns, title, series, refs.plotVisibleOnly ? "1" : "0");
  return xml.toUtf8();
}

std::vector<int> barHeights(const QImage& image) {
  std::vector<int> heights;
  bool inBar = false;
  for (int x = 0; x < image.width(); ++x) {
    int column = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      const int spread = std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
      if (spread > 60) ++column;
    }
    if (column > 0 && !inBar) heights.push_back(0);
    if (column > 0) heights.back() = std::max(heights.back(), column);
    inBar = column > 0;
  }
  return heights;
}

bool haveOpenpyxl() {
  return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) &&
         QProcess::execute(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) == 0;
}

QString runPython(const char* script, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + args);
  if (!p.waitForFinished(120000)) return QStringLiteral("python did not finish");
  if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return QString::fromUtf8(p.readAllStandardError()).trimmed() + QStringLiteral(" (exit %1)").arg(p.exitCode());
  return {};
}

}  // namespace morvane::testfixture
