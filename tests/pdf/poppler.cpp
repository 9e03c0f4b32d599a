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

QString run(const QString& tool, const QStringList& args) {
  QProcess process;
  process.start(testenv::findTool(tool), args);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

PageInfo info(const QString& pdf) {
  PageInfo result;
  const QString first = run(QStringLiteral("pdfinfo"), {pdf});
  static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                        QRegularExpression::MultilineOption);
  static const QRegularExpression title(QStringLiteral("^Title:\\s+(.*)$"),
                                        QRegularExpression::MultilineOption);
  static const QRegularExpression creator(QStringLiteral("^Creator:\\s+(.*)$"),
                                          QRegularExpression::MultilineOption);
  result.pages = pages.match(first).captured(1).toInt();
  result.title = title.match(first).captured(1).trimmed();
  result.creator = creator.match(first).captured(1).trimmed();
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
