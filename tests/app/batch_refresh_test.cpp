// `morvane refresh` on the real binary: next month's workbook drawn onto this month's deck,
// with everything the user did to the slides kept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "hosts/presentation/provenance.h"
#include "ooxml/pptx/presentation_document.h"
#include "support/batch_binary.h"
#include "support/test_env.h"
#include "support/workbook_outline.h"
#include "support/xlsx_outline_writer.h"

using namespace morvane;
using batchtest::Outcome;
using batchtest::runMorvane;

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Rewrites parts of a package file as another program saving it would.
void editPackage(const QString& file, const std::function<void(ooxml::Package&)>& edit) {
  auto package = ooxml::Package::open(file);
  ASSERT_TRUE(package.ok()) << package.error().message.toStdString();
  edit(*package.value());
  ASSERT_TRUE(package.value()->save(file).ok());
}

void replaceIn(ooxml::Package& package, const QString& part, const QByteArray& from,
               const QByteArray& to) {
  QByteArray bytes = package.read(part).value();
  ASSERT_TRUE(bytes.contains(from)) << part.toStdString() << " lacks " << from.toStdString();
  bytes.replace(from, to);
  ASSERT_TRUE(package.write(part, bytes, package.contentType(part)).ok());
}

// Next month: North's January grows from 12,500 to 42,500, in the cells and in every chart's
// cached values.
void nextMonth(const QString& book) {
  editPackage(book, [](ooxml::Package& p) {
    replaceIn(p, "/xl/worksheets/sheet1.xml", "<v>12500</v>", "<v>42500</v>");
    for (const QString& part : p.partNames())
      if (part.startsWith("/xl/charts/chart") && p.read(part).value().contains("<c:v>12500</c:v>"))
        replaceIn(p, part, "<c:v>12500</c:v>", "<c:v>42500</c:v>");
  });
}

// The picture (or embedded object's picture) each slide shows first, decoded, with its part.
struct Shown {
  quint32 id = 0;
  QImage image;
  QByteArray bytes;
};

std::vector<Shown> shownPictures(const QString& deck) {
  std::vector<Shown> out;
  auto doc = ooxml::pptx::Document::open(deck);
  EXPECT_TRUE(doc.ok());
  if (!doc.ok()) return out;
  for (int s = 0; s < doc.value()->slideCount(); ++s) {
    Shown shown;
    for (const auto& shape : doc.value()->shapes(s)) {
      auto data = doc.value()->pictureData(s, shape.id);
      if (!data) continue;
      shown = {shape.id, QImage::fromData(data->bytes), data->bytes};
      break;
    }
    out.push_back(shown);
  }
  return out;
}

QString slideXml(const QString& deck, int number) {
  auto package = ooxml::Package::open(deck);
  return QString::fromUtf8(
      package.value()->read(QStringLiteral("/ppt/slides/slide%1.xml").arg(number)).value());
}

// The user's work on slide 1: the picture moved, resized, cropped, rotated, renamed, linked to
// slide 2 and animated, and speaker notes written.
const char kUserTiming[] =
    "<p:timing><p:tnLst><p:par><p:cTn id=\"1\" dur=\"indefinite\" "
    "nodeType=\"tmRoot\"><p:childTnLst>"
    "<p:par><p:cTn id=\"2\" presetID=\"10\" presetClass=\"entr\" nodeType=\"clickEffect\">"
    "<p:stCondLst><p:cond delay=\"0\"/></p:stCondLst><p:childTnLst><p:animEffect transition=\"in\" "
    "filter=\"fade\"><p:cBhvr><p:cTn id=\"3\" dur=\"500\"/><p:tgtEl><p:spTgt spid=\"2\"/></p:tgtEl>"
    "</p:cBhvr></p:animEffect></p:childTnLst></p:cTn></p:par></p:childTnLst></p:cTn></p:par>"
    "</p:tnLst></p:timing>";
const char kUserFrame[] =
    "<a:xfrm rot=\"600000\"><a:off x=\"254000\" y=\"381000\"/><a:ext cx=\"4572000\" "
    "cy=\"3429000\"/></a:xfrm>";

void userEdits(const QString& deck) {
  editPackage(deck, [](ooxml::Package& p) {
    const QString slide = QStringLiteral("/ppt/slides/slide1.xml");
    const QString link = p.addRelationship(
        slide, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slide",
        "/ppt/slides/slide2.xml");
    const QString notes = p.addRelationship(
        slide, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/notesSlide",
        "/ppt/notesSlides/notesSlide1.xml");
    (void)notes;
    ASSERT_TRUE(
        p.write("/ppt/notesSlides/notesSlide1.xml",
                "<?xml version=\"1.0\"?><p:notes xmlns:p=\"http://schemas.openxmlformats.org/"
                "presentationml/2006/main\"><p:cSld/></p:notes>",
                "application/vnd.openxmlformats-officedocument.presentationml.notesSlide+xml")
            .ok());
    QString xml = QString::fromUtf8(p.read(slide).value());
    const QRegularExpression pic(
        "<p:pic><p:nvPicPr><p:cNvPr id=\"2\" name=\"[^\"]*\"( descr=\"[^\"]*\")?/>(.*?)<a:blip "
        "r:embed=\"(rId\\d+)\"/>(.*?)<a:xfrm><a:off[^>]*/><a:ext[^>]*/></a:xfrm>");
    const auto m = pic.match(xml);
    ASSERT_TRUE(m.hasMatch()) << xml.toStdString();
    xml.replace(
        m.capturedStart(), m.capturedLength(),
        QStringLiteral("<p:pic><p:nvPicPr><p:cNvPr id=\"2\" name=\"North and South\" descr=\"Sales "
                       "by month\"><a:hlinkClick r:id=\"") +
            link + "\" action=\"ppaction://hlinksldjump\"/>" + "</p:cNvPr>" + m.captured(2) +
            "<a:blip r:embed=\"" + m.captured(3) + "\"/><a:srcRect l=\"10000\" t=\"5000\"/>" +
            m.captured(4) + kUserFrame);
    xml.replace("</p:sld>", QString(kUserTiming) + "</p:sld>");
    ASSERT_TRUE(p.write(slide, xml.toUtf8(), p.contentType(slide)).ok());
  });
}

struct RefreshTest : ::testing::Test {
  QTemporaryDir dir;
  QString book = batchtest::sample(dir);
  QString deck = dir.filePath(QStringLiteral("Monthly.pptx"));

  void paste(const QStringList& extra = {}) {
    const Outcome run = runMorvane(QStringList{"paste", book, deck, "--labels"} + extra);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  }
};

}  // namespace

TEST_F(RefreshTest, PicturesShowTheNewDataWhereTheUserLeftThem) {
  paste({"--format", "bitmap"});
  userEdits(deck);
  const std::vector<Shown> before = shownPictures(deck);
  const QByteArray notesBefore =
      ooxml::Package::open(deck).value()->read("/ppt/notesSlides/notesSlide1.xml").value();
  nextMonth(book);

  const Outcome run = runMorvane({"refresh", book, deck});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString() << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("6 shape(s) refreshed, 0 reported")) << run.out.toStdString();

  // What a fresh paste of next month's workbook shows.
  const QString fresh = dir.filePath(QStringLiteral("fresh.pptx"));
  ASSERT_EQ(runMorvane({"paste", book, fresh, "--format", "bitmap"}).exitCode, 0);
  const std::vector<Shown> after = shownPictures(deck), expected = shownPictures(fresh);
  ASSERT_EQ(after.size(), 6u);
  ASSERT_EQ(expected.size(), 6u);
  for (size_t s = 0; s < 6; ++s) {
    SCOPED_TRACE(s + 1);
    ASSERT_FALSE(after[s].image.isNull());
    EXPECT_EQ(after[s].image, expected[s].image);
    EXPECT_EQ(after[s].id, before[s].id);
  }
  EXPECT_NE(after[0].image, before[0].image);  // Chart 1 draws North
  EXPECT_EQ(after[2].image, before[2].image);  // Chart 3, of another sheet, did not change

  const QString xml = slideXml(deck, 1);
  EXPECT_TRUE(xml.contains(kUserFrame)) << xml.toStdString();
  EXPECT_TRUE(xml.contains(kUserTiming));
  EXPECT_TRUE(xml.contains("<a:srcRect l=\"10000\" t=\"5000\"/>"));  // same proportions: crop kept
  EXPECT_TRUE(xml.contains("name=\"North and South\" descr=\"Sales by month\""));
  EXPECT_TRUE(xml.contains("action=\"ppaction://hlinksldjump\""));
  auto package = ooxml::Package::open(deck);
  EXPECT_EQ(package.value()->read("/ppt/notesSlides/notesSlide1.xml").value(), notesBefore);
  EXPECT_EQ(
      package.value()
          ->relationshipsOfType(
              "/ppt/slides/slide1.xml",
              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/notesSlide")
          .size(),
      1u);
  // One picture part per shape: the old ones left the package.
  int media = 0;
  for (const QString& part : package.value()->partNames()) media += part.startsWith("/ppt/media/");
  EXPECT_EQ(media, 6);
}

TEST_F(RefreshTest, DryRunsAndRefusalsWriteNothing) {
  paste({"--format", "emf"});
  nextMonth(book);
  const QByteArray deckBytes = fileBytes(deck);
  QFile::copy(book, dir.filePath("not-a-deck.pptx"));
  const struct {
    QStringList args;
    int exit;
    const char* says;
  } cases[] = {
      {{"refresh", book, deck, "--dry-run"},
       0,
       "6 shape(s) would be refreshed, 0 reported; nothing written"},
      {{"refresh", book, book}, 1, "is the workbook itself"},
      {{"refresh", book, dir.filePath("missing.pptx")}, 1, "does not exist"},
      {{"refresh", book, dir.filePath("not-a-deck.pptx")}, 2, ""},
      {{"refresh", dir.filePath("missing.xlsx"), deck}, 2, ""},
      {{"refresh", book, deck, "--from", "Other.xlsx"}, 1, "0 shape(s) refreshed, 6 reported"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const Outcome run = runMorvane(c.args);
    EXPECT_EQ(run.exitCode, c.exit) << run.err.toStdString();
    EXPECT_TRUE((run.out + run.err).contains(c.says)) << (run.out + run.err).toStdString();
    EXPECT_EQ(fileBytes(deck), deckBytes);
  }
  EXPECT_TRUE(QDir(dir.path()).entryList({"*.tmp"}, QDir::Hidden | QDir::Files).isEmpty());
}

// Next month's file has another name: --from finds last month's objects, their labels and tags
// take the new name, and the run after needs no --from.
TEST_F(RefreshTest, ARenamedWorkbookRefreshesWithFromAndItsLabelsFollow) {
  paste({"--format", "emf"});
  const QString february = dir.filePath(QStringLiteral("Sales-Feb.xlsx"));
  ASSERT_TRUE(QFile::rename(book, february));
  nextMonth(february);

  const Outcome unmatched = runMorvane({"refresh", february, deck});
  EXPECT_EQ(unmatched.exitCode, 1);
  EXPECT_TRUE(unmatched.out.contains("SalesTable (Sales): not in the deck"))
      << unmatched.out.toStdString();
  const Outcome run = runMorvane({"refresh", february, deck, "--from", "sample-sales.xlsx"});
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("12 shape(s) refreshed"))
      << run.out.toStdString();  // six labels too

  auto doc = ooxml::pptx::Document::open(deck);
  int labels = 0;
  for (int s = 0; s < doc.value()->slideCount(); ++s)
    for (const auto& shape : doc.value()->shapes(s)) {
      auto record = hosts::presentation::readSourceRecord(*doc.value(), s, shape.id);
      if (!record) continue;
      EXPECT_EQ(record->workbook, "Sales-Feb.xlsx");
      if (record->format != office::SourceRecord::kLabel) continue;
      ++labels;
      EXPECT_TRUE(doc.value()->text(s, shape.id)->startsWith(february))
          << doc.value()->text(s, shape.id)->toStdString();
    }
  EXPECT_EQ(labels, 6);
  EXPECT_EQ(runMorvane({"refresh", february, deck, "--no-labels"}).exitCode, 0);
}

TEST(BatchRefresh, ADeletedChartIsReportedAndTheOthersRefreshOntoTheirOwnSlides) {
  QTemporaryDir dir;
  testbook::WorkbookOutline outline;
  outline.fileName = "Charts.xlsx";
  testbook::SheetOutline data;
  data.name = "Data";
  data.cells[{1, 1}] = office::Variant(1.0);
  for (const char* id :
       {"{0000000A-0000-4000-8000-000000000001}", "{0000000B-0000-4000-8000-000000000002}",
        "{0000000C-0000-4000-8000-000000000003}"})
    data.charts.push_back({QStringLiteral("Chart %1").arg(data.charts.size() + 1),
                           QStringLiteral("Title %1").arg(data.charts.size() + 1), false, id});
  outline.sheets = {data};
  const QString book = dir.filePath("Charts.xlsx"), deck = dir.filePath("deck.pptx");
  ASSERT_TRUE(testxlsx::writeWorkbook(outline, book).ok());
  ASSERT_EQ(runMorvane({"paste", book, deck, "--format", "emf"}).exitCode, 0);
  const std::vector<Shown> before = shownPictures(deck);

  outline.sheets[0].charts.erase(outline.sheets[0].charts.begin());
  ASSERT_TRUE(testxlsx::writeWorkbook(outline, book).ok());
  const Outcome run = runMorvane({"refresh", book, deck});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.contains("slide 1, shape 1: Chart 1 (Data), no longer in Charts.xlsx"))
      << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("2 shape(s) refreshed, 1 reported"));

  auto doc = ooxml::pptx::Document::open(deck);
  const char* keys[] = {"{0000000A-0000-4000-8000-000000000001}",
                        "{0000000B-0000-4000-8000-000000000002}",
                        "{0000000C-0000-4000-8000-000000000003}"};
  const std::vector<Shown> after = shownPictures(deck);
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(s + 1);
    auto record = hosts::presentation::readSourceRecord(*doc.value(), s, after[size_t(s)].id);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->key, keys[s]);
    // Titles tell the charts apart: each slide still shows its own chart.
    EXPECT_EQ(after[size_t(s)].bytes, before[size_t(s)].bytes);
  }
}

TEST_F(RefreshTest, ExcelObjectsGetTheirNewEmbeddedWorkbook) {
  const QString plan = dir.filePath("plan.tsv");
  QFile file(plan);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "name\tsheet\tinclude\ttitle\tslide\tpaste_as\n"
      "Chart 1\tSales\t\t\t\tExcel object\nSalesTable\tSales\t\t\t\tExcel object\n");
  file.close();
  paste({"--format", "emf", "--plan", plan});
  nextMonth(book);
  const Outcome run = runMorvane({"refresh", book, deck});
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("redrawn as object")) << run.out.toStdString();

  auto package = ooxml::Package::open(deck);
  int objects = 0;
  for (const QString& part : package.value()->partNames()) {
    if (!part.startsWith("/ppt/embeddings/")) continue;
    ++objects;
    auto embedded = ooxml::Package::openBytes(package.value()->read(part).value(), part);
    ASSERT_TRUE(embedded.ok());
    EXPECT_TRUE(
        embedded.value()->read("/xl/worksheets/sheet1.xml").value().contains("<v>42500</v>"));
  }
  EXPECT_EQ(objects, 2);  // the old workbooks left the package
}

TEST_F(RefreshTest, ADeckLibreOfficeSavedInBetweenRefreshes) {
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("soffice")).isEmpty(), "LibreOffice (soffice)");
  paste({"--format", "emf"});
  QTemporaryDir profile, out;
  QProcess soffice;
  soffice.start("soffice", {"-env:UserInstallation=file://" + profile.path(), "--headless",
                            "--norestore", "--convert-to", "pptx", "--outdir", out.path(), deck});
  ASSERT_TRUE(soffice.waitForFinished(300000));
  const QString resaved = QDir(out.path()).filePath(QFileInfo(deck).fileName());
  ASSERT_TRUE(QFileInfo::exists(resaved));
  nextMonth(book);
  const Outcome run = runMorvane({"refresh", book, resaved});
  EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("6 shape(s) refreshed, 0 reported")) << run.out.toStdString();
}
