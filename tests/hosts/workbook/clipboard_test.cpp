// The host's copy members on the real clipboard: which formats each offers, the sizes of the
// bitmap and the metafile, the embedded workbook of a native copy, drawing only on demand,
// and the program's errors for objects that are not there.
#include "hosts/workbook/clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "emf/emf_player.h"
#include "hosts/workbook/host.h"
#include "hosts/workbook/objects.h"
#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "office/picture.h"
#include "ooxml/package.h"
#include "ooxml/xlsx/workbook_document.h"
#include "workbook_fixture.h"

using namespace morvane;

namespace {

const QString kBitmapMime = QStringLiteral("application/x-qt-image");
const QString kEmfMime = QString::fromLatin1(office::kEmfMime);
const QString kNativeMime = QString::fromLatin1(office::kNativeObjectMime);
const QString kSvgMime = QString::fromLatin1(office::kSvgMime);

// Report: A1:C4 and one chart anchored over columns E:K, rows 2 to 16 (7 default columns of
// 64 px and 15 rows of 20 px: 448 x 300 px, 336 x 225 pt). Overview: a chart sheet.
testbook::WorkbookOutline copyBook() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Copy.xlsx");
  testbook::SheetOutline report;
  report.name = QStringLiteral("Report");
  report.charts = {{QStringLiteral("Revenue"), QStringLiteral("Revenue")}};
  report.cells[{1, 1}] = QStringLiteral("Region");
  report.cells[{1, 2}] = QStringLiteral("Units");
  const QStringList regions = {"North", "South", "East"};
  for (int r = 0; r < 3; ++r) {
    report.cells[{r + 2, 1}] = regions[r];
    report.cells[{r + 2, 2}] = 10.0 * (r + 1);
  }
  testbook::SheetOutline overview;
  overview.kind = testbook::SheetOutline::Kind::ChartSheet;
  overview.name = QStringLiteral("Overview");
  outline.sheets = {report, overview};
  return outline;
}

const QMimeData* clipboardData() { return QGuiApplication::clipboard()->mimeData(); }
QImage clipboardBitmap() { return qvariant_cast<QImage>(clipboardData()->imageData()); }

bool offers(const QString& mime) { return clipboardData() && clipboardData()->formats().contains(mime); }

void expectPointSize(const QSizeF& actual, const QSizeF& expected) {
  EXPECT_NEAR(actual.width(), expected.width(), 0.5);
  EXPECT_NEAR(actual.height(), expected.height(), 0.5);
}

// A bitmap holds twice the pixels of 96 dpi, says so in its device pixel ratio and dots per
// metre (192 dpi), and so measures `points` wherever it is read.
void expectCrispBitmap(const QImage& bitmap, const QSizeF& points) {
  EXPECT_EQ(bitmap.size(), (points * 96.0 / 72.0 * 2).toSize());
  EXPECT_EQ(bitmap.devicePixelRatio(), 2.0);
  EXPECT_EQ(bitmap.dotsPerMeterX(), 7559);
  EXPECT_EQ(bitmap.dotsPerMeterY(), 7559);
  const auto picture = office::Picture::fromImage(bitmap);
  ASSERT_NE(picture, nullptr);
  expectPointSize(picture->naturalSize(), points);
}

class HostClipboard : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(open()); }
  bool open(const QList<testfixture::PartEdit>& edits = {}) {
    m_path = m_dir.filePath(QStringLiteral("Copy.xlsx"));
    const QString written = testfixture::writeEdited(copyBook(), m_path, edits);
    EXPECT_TRUE(written.isEmpty()) << written.toStdString();
    auto opened = hosts::workbook::openWorkbook(m_path);
    EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message.toStdString());
    if (!opened.ok()) return false;
    m_host = opened->host;
    m_book = opened->application->activeWorkbook();
    return written.isEmpty();
  }
  std::shared_ptr<excel::Chart> revenue() {
    return m_book->worksheet(QStringLiteral("Report"))->chartObjects().at(0)->chart();
  }
  std::shared_ptr<excel::Range> table() { return m_book->worksheet(QStringLiteral("Report"))->range(QStringLiteral("A1:C4")); }

  QTemporaryDir m_dir;
  QString m_path;
  std::shared_ptr<hosts::workbook::WorkbookHost> m_host;
  std::shared_ptr<excel::Workbook> m_book;
};

TEST_F(HostClipboard, ChartAreaCopyOffersBitmapMetafileSvgAndTheWorkbook) {
  revenue()->chartAreaCopy();
  EXPECT_TRUE(offers(kBitmapMime) && offers(kEmfMime) && offers(kSvgMime) && offers(kNativeMime));
  const QImage bitmap = clipboardBitmap();
  expectCrispBitmap(bitmap, QSizeF(336, 225));
  EXPECT_EQ(testfixture::barHeights(bitmap).size(), 3u);

  const QByteArray emfBytes = clipboardData()->data(kEmfMime);
  const auto emf = office::Picture::fromEmf(emfBytes);
  ASSERT_NE(emf, nullptr);
  expectPointSize(emf->naturalSize(), QSizeF(336, 225));
  const QImage played = emf::rasterizeEmf(emfBytes, bitmap.size());
  ASSERT_FALSE(played.isNull());
  EXPECT_EQ(testfixture::barHeights(played).size(), 3u);

  const auto native = office::NativeObject::deserialize(clipboardData()->data(kNativeMime));
  ASSERT_TRUE(native.has_value());
  EXPECT_EQ(native->kind, office::NativeObject::Kind::Chart);
  EXPECT_EQ(native->workbookName, "Copy.xlsx");
  EXPECT_EQ(native->sheet, "Report");
  EXPECT_EQ(native->name, "Revenue");
  expectPointSize(native->sizePoints, QSizeF(336, 225));
  auto package = ooxml::Package::openBytes(native->workbook, QStringLiteral("embedded"));
  ASSERT_TRUE(package.ok()) << package.error().message.toStdString();
  auto embedded = ooxml::xlsx::WorkbookDocument::fromPackage(std::move(package.value()));
  ASSERT_TRUE(embedded.ok()) << embedded.error().message.toStdString();
  ASSERT_EQ((*embedded)->model().sheets.size(), 2u);
  EXPECT_EQ((*embedded)->model().sheets[1].name, "Overview");
}

TEST_F(HostClipboard, CopyPictureOffersOnlyTheAskedFormatWhateverAppearanceAndSize) {
  for (int appearance : {excel::xlScreen, excel::xlPrinter}) {
    for (int size : {excel::xlScreen, excel::xlPrinter}) {
      SCOPED_TRACE(testing::Message() << "appearance " << appearance << ", size " << size);
      revenue()->copyPicture(appearance, size, excel::xlBitmap);
      EXPECT_TRUE(offers(kBitmapMime));
      EXPECT_FALSE(offers(kEmfMime) || offers(kNativeMime));
      expectCrispBitmap(clipboardBitmap(), QSizeF(336, 225));

      revenue()->copyPicture(appearance, size, excel::xlPicture);
      EXPECT_TRUE(offers(kEmfMime));
      EXPECT_FALSE(clipboardData()->hasImage() || offers(kNativeMime) || offers(kSvgMime));
      const auto emf = office::Picture::fromEmf(clipboardData()->data(kEmfMime));
      ASSERT_NE(emf, nullptr);
      expectPointSize(emf->naturalSize(), QSizeF(336, 225));

      revenue()->copyPicture(appearance, size, excel::xlSvg);
      EXPECT_TRUE(offers(kSvgMime) && offers(kBitmapMime));
      EXPECT_FALSE(offers(kEmfMime) || offers(kNativeMime));
      expectCrispBitmap(clipboardBitmap(), QSizeF(336, 225));
    }
  }
}

TEST_F(HostClipboard, AChartSheetCopiesAtThePagesSizeAsAChartSheetObject) {
  m_book->sheet(QStringLiteral("Overview"))->chart()->chartAreaCopy();
  expectCrispBitmap(clipboardBitmap(), QSizeF(720, 540));
  const auto native = office::NativeObject::deserialize(clipboardData()->data(kNativeMime));
  ASSERT_TRUE(native.has_value());
  EXPECT_EQ(native->kind, office::NativeObject::Kind::ChartSheet);
  EXPECT_EQ(native->sheet, "Overview");
  EXPECT_TRUE(native->name.isEmpty());
  expectPointSize(native->sizePoints, QSizeF(720, 540));
}

// A1:C4: three default columns of 64 px and four rows of 20 px.
TEST_F(HostClipboard, RangeCopiesMeasureTheirCells) {
  table()->copy();
  EXPECT_TRUE(offers(kBitmapMime) && offers(kEmfMime) && offers(kSvgMime) && offers(kNativeMime));
  expectCrispBitmap(clipboardBitmap(), QSizeF(144, 60));
  const QByteArray emfBytes = clipboardData()->data(kEmfMime);
  const auto emf = office::Picture::fromEmf(emfBytes);
  ASSERT_NE(emf, nullptr);
  expectPointSize(emf->naturalSize(), QSizeF(144, 60));
  EXPECT_FALSE(emf::rasterizeEmf(emfBytes, QSize(192, 80)).isNull());
  const auto native = office::NativeObject::deserialize(clipboardData()->data(kNativeMime));
  ASSERT_TRUE(native.has_value());
  EXPECT_EQ(native->kind, office::NativeObject::Kind::Range);
  EXPECT_EQ(native->name, "$A$1:$C$4");
  EXPECT_EQ(native->sheet, "Report");
  EXPECT_FALSE(native->workbook.isEmpty());

  for (int appearance : {excel::xlScreen, excel::xlPrinter}) {
    table()->copyPicture(appearance, excel::xlBitmap);
    EXPECT_TRUE(offers(kBitmapMime));
    EXPECT_FALSE(offers(kEmfMime) || offers(kNativeMime));
    expectCrispBitmap(clipboardBitmap(), QSizeF(144, 60));
    table()->copyPicture(appearance, excel::xlPicture);
    EXPECT_TRUE(offers(kEmfMime));
    EXPECT_FALSE(clipboardData()->hasImage() || offers(kNativeMime));
    table()->copyPicture(appearance, excel::xlSvg);
    EXPECT_TRUE(offers(kSvgMime) && offers(kBitmapMime));
    EXPECT_FALSE(offers(kEmfMime) || offers(kNativeMime));
  }
}

// The JPEG beside every bitmap is that bitmap as pages store it, drawn when read or ahead
// alike; transparent parts turn white, as on a page.
TEST(HostClipboardOffer, BitmapsComeWithTheirJpegDrawnAheadOrNot) {
  const QColor half(0, 0, 255, 128);
  hosts::workbook::ClipboardPicture picture{
      [half](QPainter& painter, const QRectF& target) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(target, half);
      },
      QSizeF(30, 15),
      {}};
  const auto ahead = std::make_shared<const hosts::workbook::DrawnForms>(hosts::workbook::drawForms(
      picture, hosts::workbook::kOfferBitmap | hosts::workbook::kEncodeJpeg));
  hosts::workbook::offerOnClipboard(picture, hosts::workbook::kOfferBitmap);
  const QByteArray lazy = clipboardData()->data(QLatin1String(office::kJpegMime));
  const QImage bitmap = qvariant_cast<QImage>(clipboardData()->imageData());
  EXPECT_EQ(lazy, office::jpegOnWhite(bitmap, office::kJpegQuality));
  EXPECT_EQ(lazy, ahead->jpeg);
  const QImage decoded = QImage::fromData(lazy);
  EXPECT_EQ(decoded.size(), bitmap.size());
  EXPECT_EQ(decoded.dotsPerMeterX(), bitmap.dotsPerMeterX());
  const QColor middle = decoded.pixelColor(40, 20);  // blue at half over white
  EXPECT_NEAR(middle.red(), 127, 8);
  EXPECT_NEAR(middle.blue(), 255, 8);
}

TEST(HostClipboardOffer, PicturesAreDrawnOnlyWhenReadAndOncePerFormat) {
  int drawn = 0, natives = 0;
  hosts::workbook::ClipboardPicture picture{[&drawn](QPainter& painter, const QRectF& target) {
                                              ++drawn;
                                              painter.fillRect(target, Qt::blue);
                                            },
                                            QSizeF(30, 15)};
  hosts::workbook::offerOnClipboard(picture, hosts::workbook::kOfferNativeCopy, [&natives] {
    ++natives;
    office::NativeObject object;
    object.name = QStringLiteral("lazy");
    return object;
  });
  const QMimeData* data = clipboardData();
  EXPECT_TRUE(data->hasImage() && data->hasFormat(kEmfMime) && data->hasFormat(kNativeMime));
  EXPECT_EQ(drawn, 0);
  const QImage bitmap = qvariant_cast<QImage>(data->imageData());
  EXPECT_EQ(drawn, 1);
  EXPECT_EQ(bitmap.size(), QSize(80, 40));
  EXPECT_EQ(bitmap.pixelColor(40, 20), QColor(Qt::blue));
  EXPECT_FALSE(data->data(QStringLiteral("image/png")).isEmpty());
  qvariant_cast<QImage>(data->imageData());
  EXPECT_EQ(drawn, 1);
  EXPECT_EQ(natives, 0);
  EXPECT_FALSE(data->data(kEmfMime).isEmpty());
  EXPECT_EQ(drawn, 2);
  const QByteArray svg = data->data(kSvgMime);
  EXPECT_EQ(drawn, 3);
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 30 15\"")) << svg.toStdString();  // points
  EXPECT_TRUE(svg.contains("fill=\"#0000ff\""));
  data->data(kSvgMime);
  EXPECT_EQ(drawn, 3);
  EXPECT_EQ(office::NativeObject::deserialize(data->data(kNativeMime))->name, "lazy");
  EXPECT_EQ(natives, 1);
}

// Past the pixel budget a bitmap is drawn at a lower resolution: within both limits, the
// proportions and the size in points kept, at 96 dpi as at 192.
TEST(HostClipboardBudget, LargePicturesKeepTheirProportionsWithinTheBudget) {
  using hosts::workbook::bitmapGeometry;
  struct Case {
    QSizeF points;
    int scale;
    QSize pixels;  // empty: scaled down, checked against the limits
  };
  const Case cases[] = {
      {{144, 60}, 1, {192, 80}}, {{144, 60}, 2, {384, 160}},
      {{2400, 75000}, 1, {}},    {{2400, 75000}, 2, {}},  // 5,000 rows of 50 columns
      {{40000, 300}, 2, {}},     {{5000, 5000}, 1, {}},   // one side; the area alone
      {{6e6, 2e6}, 2, {}},       {{0, 0}, 2, {1, 1}},
  };
  for (const Case& c : cases) {
    const auto geometry = bitmapGeometry(c.points, c.scale);
    const QSize& px = geometry.pixels;
    SCOPED_TRACE(testing::Message()
                 << c.points.width() << "x" << c.points.height() << " at " << c.scale);
    if (!c.pixels.isEmpty()) {
      EXPECT_EQ(px, c.pixels);
      EXPECT_EQ(geometry.dotsPerInch, 96.0 * c.scale);
      continue;
    }
    EXPECT_LE(std::max(px.width(), px.height()), hosts::workbook::kMaxBitmapSide);
    EXPECT_LE(double(px.width()) * px.height(), hosts::workbook::kMaxBitmapPixels);
    // A whole dpi may give up some of the budget, never most of it.
    const double longest = std::max(c.points.width(), c.points.height());
    const double cap = std::min(hosts::workbook::kMaxBitmapPixels,
                                hosts::workbook::kMaxBitmapSide * hosts::workbook::kMaxBitmapSide *
                                    std::min(c.points.width(), c.points.height()) / longest);
    EXPECT_GT(double(px.width()) * px.height(), 0.5 * cap);
    EXPECT_NEAR(px.width() * 72.0 / geometry.dotsPerInch, c.points.width(),
                72.0 / geometry.dotsPerInch);
    EXPECT_NEAR(px.height() * 72.0 / geometry.dotsPerInch, c.points.height(),
                72.0 / geometry.dotsPerInch);
  }
}

// A range four times the budget's height is drawn whole, scaled: its last row shows at the
// bottom of the bitmap, and the bitmap measures the range's points.
TEST_F(HostClipboard, ARangePastTheBudgetIsDrawnWholeAndScaled) {
  auto report = m_book->worksheet(QStringLiteral("Report"));
  report->cells(1600, 3)->setValue(QStringLiteral("Bottom line"));
  report->range(QStringLiteral("A1:C1600"))->copyPicture(excel::xlScreen, excel::xlBitmap);
  const QImage bitmap = clipboardBitmap();
  EXPECT_EQ(bitmap.height(), hosts::workbook::kMaxBitmapSide);
  EXPECT_NEAR(double(bitmap.width()) / bitmap.height(), 144.0 / 24000.0, 1.0 / bitmap.height());
  const auto picture = office::Picture::fromImage(bitmap);
  ASSERT_NE(picture, nullptr);
  EXPECT_NEAR(picture->naturalSize().height(), 24000, 24000 * 0.01);
  int dark = 0;  // the text of the last row, in column C
  for (int y = bitmap.height() - 6; y < bitmap.height(); ++y)
    for (int x = bitmap.width() * 2 / 3; x < bitmap.width(); ++x)
      dark += qGray(bitmap.pixel(x, y)) < 160;
  EXPECT_GT(dark, 0);
}

// A copy read later shows the cells as they were when it was made, as the program's does.
TEST_F(HostClipboard, ACopyReadLaterShowsTheWorkbookAsItWasWhenCopied) {
  testfixture::ChartRefs refs;
  refs.values = QStringLiteral("Report!$B$2:$B$4");
  ASSERT_TRUE(open({{QStringLiteral("/xl/charts/chart1.xml"), testfixture::barChartXml(refs), {}}}));
  table()->copyPicture(excel::xlScreen, excel::xlBitmap);
  const QImage rangeBefore = clipboardBitmap();
  revenue()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  const std::vector<int> barsBefore = testfixture::barHeights(clipboardBitmap());
  ASSERT_EQ(barsBefore.size(), 3u);
  EXPECT_NEAR(barsBefore[0], barsBefore[2] / 3.0, 2);

  table()->copyPicture(excel::xlScreen, excel::xlBitmap);
  m_book->worksheet(QStringLiteral("Report"))->cells(2, 1)->setValue(QStringLiteral("North-West"));
  EXPECT_EQ(clipboardBitmap(), rangeBefore);
  revenue()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  m_book->worksheet(QStringLiteral("Report"))->cells(4, 2)->setValue(5.0);
  EXPECT_EQ(testfixture::barHeights(clipboardBitmap()), barsBefore);

  table()->copyPicture(excel::xlScreen, excel::xlBitmap);
  EXPECT_NE(clipboardBitmap(), rangeBefore);
  revenue()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  const std::vector<int> barsAfter = testfixture::barHeights(clipboardBitmap());
  ASSERT_EQ(barsAfter.size(), 3u);
  EXPECT_LT(barsAfter[2], barsAfter[0]);
}

// The font-family of every text element of the SVG copies.
QSet<QString> svgTextFamilies(const QByteArray& svg) {
  QSet<QString> families;
  QXmlStreamReader reader(svg);
  while (!reader.atEnd())
    if (reader.readNext() == QXmlStreamReader::StartElement &&
        reader.name() == QLatin1String("text"))
      families << reader.attributes().value(QLatin1String("font-family")).toString();
  return families;
}

// The audience's machines have the families the workbook asks for (Calibri here, the
// default of charts and cells), not the metric-compatible stand-in drawn with here.
TEST_F(HostClipboard, SvgTextNamesTheRequestedFontFamily) {
  revenue()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlSvg);
  EXPECT_EQ(svgTextFamilies(clipboardData()->data(kSvgMime)), QSet<QString>{"Calibri"});
  table()->copyPicture(excel::xlScreen, excel::xlSvg);
  EXPECT_EQ(svgTextFamilies(clipboardData()->data(kSvgMime)), QSet<QString>{"Calibri"});
}

TEST_F(HostClipboard, MissingObjectsRaiseTheProgramsErrorsAndLeaveTheClipboardAlone) {
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  auto error = [](auto&& call) -> std::optional<office::AutomationError> {
    try {
      call();
    } catch (const office::AutomationError& e) {
      return e;
    }
    return std::nullopt;
  };
  using hosts::workbook::HostChart;
  using hosts::workbook::HostRange;
  const auto a1 = ooxml::xlsx::CellRange::cell(1, 1);
  const struct {
    const char* what;
    std::function<void()> call;
    int number;
    const char* description;
  } cases[] = {
      {"sheet 9 chart", [&] { HostChart(m_host, 9, 0).chartAreaCopy(); }, 9, "Subscript out of range"},
      {"sheet -1 picture", [&] { HostChart(m_host, -1, 0).copyPicture(1, 1, 2); }, 9, "Subscript out of range"},
      {"object 5", [&] { HostChart(m_host, 0, 5).chartAreaCopy(); }, 1004, "Method 'Copy' of object 'ChartArea' failed"},
      {"object 5 picture", [&] { HostChart(m_host, 0, 5).copyPicture(1, 1, -4147); }, 1004,
       "Method 'CopyPicture' of object '_Chart' failed"},
      {"worksheet as chart sheet", [&] { HostChart(m_host, 0, -1).chartAreaCopy(); }, 1004, ""},
      {"range on sheet 9", [&] { HostRange(m_host, 9, a1).copy(); }, 9, "Subscript out of range"},
      {"range picture on sheet 9", [&] { HostRange(m_host, 9, a1).copyPicture(1, 2); }, 9, "Subscript out of range"},
  };
  for (const auto& c : cases) {
    const auto raised = error(c.call);
    ASSERT_TRUE(raised.has_value()) << c.what;
    EXPECT_EQ(raised->number(), c.number) << c.what;
    if (*c.description) {
      EXPECT_EQ(raised->description(), c.description) << c.what;
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before") << c.what;
  }
}

// No picture can be made: the copy says so with the reader's message and leaves nothing
// an earlier copy put on the clipboard.
TEST_F(HostClipboard, AnUnreadableChartPartFailsWithTheReadersMessage) {
  ASSERT_TRUE(open({{QStringLiteral("/xl/charts/chart1.xml"), QByteArray("<c:chartSpace"), {}}}));
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  try {
    revenue()->chartAreaCopy();
    FAIL() << "copied an unreadable chart";
  } catch (const office::AutomationError& e) {
    EXPECT_TRUE(e.isInvalidPicture()) << e.number();
    EXPECT_TRUE(e.description().contains(QLatin1String("chart1.xml"))) << e.description().toStdString();
  }
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

}  // namespace

namespace {

TEST_F(HostClipboard, CopiesOfWorkbookObjectsOfferTheirSourceRecord) {
  m_book->namesAdd(QStringLiteral("Table"), QStringLiteral("=Report!R1C1:R4C3"));
  const QString key =
      m_book->worksheet(QStringLiteral("Report"))->chartObjects().at(0)->stableKey();
  using Kind = office::SourceRecord::Kind;
  const struct {
    const char* what;
    std::function<void()> copy;
    std::optional<office::SourceRecord> record;
  } cases[] = {
      {"chart copy", [&] { revenue()->chartAreaCopy(); },
       office::SourceRecord{"Copy.xlsx", Kind::Chart, "Report", "Revenue", key, {}}},
      {"chart picture",
       [&] { revenue()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap); },
       office::SourceRecord{"Copy.xlsx", Kind::Chart, "Report", "Revenue", key, {}}},
      {"chart sheet", [&] { m_book->chart(QStringLiteral("Overview"))->chartAreaCopy(); },
       office::SourceRecord{"Copy.xlsx", Kind::ChartSheet, "Overview", {}, {}, {}}},
      {"named range", [&] { table()->copyPicture(excel::xlScreen, excel::xlPicture); },
       office::SourceRecord{"Copy.xlsx", Kind::Range, "Report", "Table", {}, {}}},
      {"other cells",
       [&] { m_book->worksheet(QStringLiteral("Report"))->range(QStringLiteral("A1:B2"))->copy(); },
       std::nullopt},
  };
  const QString mime = QString::fromLatin1(office::kSourceMime);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.copy();
    ASSERT_EQ(offers(mime), c.record.has_value());
    if (c.record)
      EXPECT_EQ(office::SourceRecord::fromCompact(QString::fromUtf8(clipboardData()->data(mime))),
                c.record);
  }
}

}  // namespace
