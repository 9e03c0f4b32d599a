#include "pdf/poppler.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/test_env.h"

using namespace morvane;

namespace morvane::popplertest {

bool available() {
  for (const char* tool : {"pdfinfo", "pdfimages", "pdftotext", "pdffonts", "pdftoppm"})
    if (testenv::findTool(QString::fromLatin1(tool)).isEmpty()) return false;
  return true;
}

ToolRun runTool(const QString& tool, const QStringList& args) {
  QProcess process;
  process.start(testenv::findTool(tool), args);
  ToolRun result;
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
    return result;
  result.exitCode = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

QString run(const QString& tool, const QStringList& args) {
  const ToolRun result = runTool(tool, args);
  return result.exitCode == 0 ? result.out : QString();
}

namespace {

QString field(const QString& text, const QString& name) {
  const QRegularExpression line(QStringLiteral("^%1:\\s+(.*)$").arg(name),
                                QRegularExpression::MultilineOption);
  return line.match(text).captured(1).trimmed();
}

}  // namespace

PageInfo info(const QString& pdf) {
  PageInfo result;
  const ToolRun run1 = runTool(QStringLiteral("pdfinfo"), {pdf});
  const QString first = run1.exitCode == 0 ? run1.out : QString();
  result.errors = run1.err;
  result.pages = field(first, QStringLiteral("Pages")).toInt();
  result.title = field(first, QStringLiteral("Title"));
  result.creator = field(first, QStringLiteral("Creator"));
  result.author = field(first, QStringLiteral("Author"));
  result.producer = field(first, QStringLiteral("Producer"));
  if (result.pages == 0) return result;
  const QString all =
      run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                      QStringLiteral("-l"), QString::number(result.pages), pdf});
  static const QRegularExpression size(
      QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+) pts"),
      QRegularExpression::MultilineOption);
  for (auto it = size.globalMatch(all); it.hasNext();) {
    const auto m = it.next();
    result.sizes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
  }
  return result;
}

std::vector<ImageRow> images(const QString& pdf) {
  std::vector<ImageRow> rows;
  const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  // Two header lines, then: page num type width height color comp bpc enc interp object ID
  // x-ppi y-ppi size ratio.
  for (int i = 2; i < lines.size(); ++i) {
    const QStringList f = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (f.size() < 14) continue;
    rows.push_back(
        {f[0].toInt(), f[3].toInt(), f[4].toInt(), f[8], f[12].toDouble(), f[13].toDouble()});
  }
  return rows;
}

std::vector<Word> words(const QString& pdf, int page) {
  std::vector<Word> result;
  const QString html = run(QStringLiteral("pdftotext"),
                           {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                            QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
  static const QRegularExpression word(
      QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                     "yMax=\"([\\d.]+)\">([^<]*)</word>"));
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
    const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
    result.push_back({m.captured(5), QRectF(topLeft, bottomRight)});
  }
  return result;
}

std::vector<FontRow> fonts(const QString& pdf) {
  std::vector<FontRow> rows;
  const QStringList lines =
      run(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  // Two header lines; the last five columns are emb sub uni object ID.
  for (int i = 2; i < lines.size(); ++i) {
    const QStringList f = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (f.size() < 6) continue;
    rows.push_back({f[0], f[f.size() - 5] == QLatin1String("yes")});
  }
  return rows;
}

std::vector<QImage> imagePixels(const QString& pdf) {
  QTemporaryDir dir;
  run(QStringLiteral("pdfimages"),
      {QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("image"))});
  std::vector<QImage> result;
  for (const QString& name :
       QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
    result.emplace_back(dir.filePath(name));
  return result;
}

QImage render(const QString& pdf, int page, double dpi) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath(QStringLiteral("page"));
  run(QStringLiteral("pdftoppm"),
      {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
       QString::number(page), QStringLiteral("-l"), QString::number(page),
       QStringLiteral("-singlefile"), pdf, prefix});
  return QImage(prefix + QStringLiteral(".png"));
}

}  // namespace morvane::popplertest
