// Reading packages: real office files from the corpus and generated ones.
#include "ooxml/detail/xml.h"
#include "ooxml/package.h"
#include "support/test_env.h"
#include "zip_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace morvane;

using ooxml::Package;
using ooxml::Relationship;

namespace {

const QString kWorksheetType = ooxml::reltype::officeRel("worksheet");

std::unique_ptr<Package> openMinimal() {
  auto opened = Package::openBytes(opctest::makeZip(opctest::minimalWorkbook()), "mini.xlsx");
  EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message.toStdString());
  return opened.ok() ? std::move(*opened) : nullptr;
}

QStringList corpusFiles(const QString& kind) {
  const QString dir = testenv::corpusDir(kind);
  QStringList files;
  if (dir.isEmpty()) return files;
  for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name)) {
    if (name.contains(QLatin1Char('.')) && !name.endsWith(QLatin1String(".md")))
      files << dir + QLatin1Char('/') + name;
  }
  return files;
}

// Every corpus file opens, its main part is where the package relationship says, every
// internal target exists and every XML part parses.
void checkCorpusFile(const QString& path, const QStringList& mainTypes) {
  SCOPED_TRACE(path.toStdString());
  auto opened = Package::open(path);
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  Package& package = **opened;
  EXPECT_FALSE(package.isStrict());
  const auto main = package.relationshipsOfType("/", ooxml::reltype::kOfficeDocument);
  ASSERT_EQ(main.size(), 1u);
  ASSERT_TRUE(package.hasPart(main[0].targetPart));
  EXPECT_TRUE(mainTypes.contains(package.contentType(main[0].targetPart)))
      << package.contentType(main[0].targetPart).toStdString();
  for (const QString& part : package.partNames()) {
    SCOPED_TRACE(part.toStdString());
    EXPECT_FALSE(package.contentType(part).isEmpty());
    for (const Relationship& rel : package.relationships(part)) {
      if (rel.external) {
        EXPECT_TRUE(rel.targetPart.isEmpty());
      } else {
        EXPECT_TRUE(package.hasPart(rel.targetPart)) << rel.target.toStdString();
      }
    }
    if (!package.contentType(part).endsWith(QLatin1String("xml"))) continue;
    auto doc = ooxml::readXml(package, part);
    EXPECT_TRUE(doc.ok()) << doc.error().message.toStdString();
  }
}

}  // namespace

TEST(PackageRead, CorpusWorkbooksOpenWithResolvableRelationships) {
  const QStringList files = corpusFiles(QStringLiteral("xlsx"));
  MORVANE_REQUIRE(!files.isEmpty(), "corpus/xlsx");
  for (const QString& file : files) {
    checkCorpusFile(
        file, {QStringLiteral(
                   "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"),
               QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml")});
  }
}

TEST(PackageRead, CorpusPresentationsOpenWithResolvableRelationships) {
  const QStringList files = corpusFiles(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!files.isEmpty(), "corpus/pptx");
  for (const QString& file : files) {
    checkCorpusFile(
        file,
        {QStringLiteral(
             "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml"),
         QStringLiteral(
             "application/vnd.openxmlformats-officedocument.presentationml.template.main+xml")});
  }
}

TEST(PackageRead, PartsRelationshipsAndContentTypes) {
  auto package = openMinimal();
  ASSERT_TRUE(package);
  EXPECT_EQ(package->partNames(),
            (std::vector<QString>{"/_rels/.rels", "/xl/workbook.xml", "/xl/_rels/workbook.xml.rels",
                                  "/xl/worksheets/sheet1.xml"}));
  // Part names ignore case; content types come from Overrides, then Defaults.
  EXPECT_TRUE(package->hasPart("/XL/Workbook.XML"));
  EXPECT_FALSE(package->hasPart("/[Content_Types].xml"));
  EXPECT_EQ(package->contentType("/xl/WORKBOOK.xml"),
            "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
  EXPECT_EQ(package->contentType("/xl/other.xml"), "application/xml");
  EXPECT_EQ(package->contentType("/xl/_rels/workbook.xml.rels"),
            "application/vnd.openxmlformats-package.relationships+xml");
  EXPECT_EQ(package->contentType("/xl/media/image1.png"), "");

  const auto rels = package->relationships("/xl/workbook.xml");
  ASSERT_EQ(rels.size(), 2u);
  EXPECT_EQ(rels[0].targetPart, "/xl/worksheets/sheet1.xml");
  EXPECT_TRUE(rels[1].external);
  EXPECT_EQ(rels[1].target, "https://example.org/a%20b");  // as written, never resolved
  EXPECT_TRUE(rels[1].targetPart.isEmpty());
  EXPECT_EQ(package->relationship("/xl/workbook.xml", "rId2")->type,
            ooxml::reltype::officeRel("hyperlink"));
  EXPECT_FALSE(package->relationship("/xl/workbook.xml", "rId9").has_value());
  EXPECT_EQ(package->relationshipsOfType("/xl/workbook.xml", kWorksheetType).size(), 1u);
  EXPECT_TRUE(package->relationships("/xl/worksheets/sheet1.xml").empty());

  auto sheet = package->read("/xl/worksheets/sheet1.xml");
  ASSERT_TRUE(sheet.ok());
  EXPECT_TRUE(sheet->contains("<t xml:space=\"preserve\"> </t>"));
  auto missing = package->read("/xl/nothing.xml");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ooxml::Error::Code::NotFound);
  EXPECT_TRUE(missing.error().message.contains("mini.xlsx"));
  EXPECT_TRUE(missing.error().message.contains("/xl/nothing.xml"));
}

TEST(PackageRead, PercentEncodedMemberAndTargetNamesMeet) {
  auto members = opctest::minimalWorkbook();
  members[3].data.replace("Target=\"worksheets/sheet1.xml\"",
                          "Target=\"worksheets/my%20sheet.xml\"");
  members[4].name = "xl/worksheets/my sheet.xml";
  members[0].data.replace("/xl/worksheets/sheet1.xml", "/xl/worksheets/my%20sheet.xml");
  members.push_back({"xl/media/image%201.png", "png"});
  auto opened = Package::openBytes(opctest::makeZip(members), "encoded.xlsx");
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  const auto rels = (*opened)->relationships("/xl/workbook.xml");
  EXPECT_EQ(rels[0].targetPart, "/xl/worksheets/my sheet.xml");
  EXPECT_TRUE((*opened)->hasPart(rels[0].targetPart));
  EXPECT_EQ((*opened)->contentType(rels[0].targetPart),
            "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
  // Regenerated content types encode the name again.
  ASSERT_TRUE((*opened)->write("/xl/x y.xml", "<a/>", "text/x-test").ok());
  auto saved = (*opened)->saveToBytes();
  ASSERT_TRUE(saved.ok());
  const QByteArray types = opctest::memberData(*saved, "[Content_Types].xml");
  EXPECT_TRUE(types.contains(R"(PartName="/xl/worksheets/my%20sheet.xml")")) << types.toStdString();
  EXPECT_TRUE(types.contains(R"(PartName="/xl/x%20y.xml")"));
  EXPECT_TRUE((*opened)->hasPart("/xl/media/image 1.png"));
  EXPECT_EQ((*opened)->read("/xl/media/image 1.png").value(), "png");
}

TEST(PackageRead, TargetsTakeThePartsOwnSpelling) {
  auto members = opctest::minimalWorkbook();
  members[4].name = "xl/Worksheets/Sheet1.xml";
  auto opened = Package::openBytes(opctest::makeZip(members), "case.xlsx");
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  const auto rels = (*opened)->relationships("/XL/WORKBOOK.XML");
  ASSERT_EQ(rels.size(), 2u);
  EXPECT_EQ(rels[0].target, "worksheets/sheet1.xml");
  EXPECT_EQ(rels[0].targetPart, "/xl/Worksheets/Sheet1.xml");
  EXPECT_EQ((*opened)->partNames().back(), rels[0].targetPart);
}

TEST(PackageRead, OpenNamesTheFileWhenItIsMissingOrAFolder) {
  const QString dir = testenv::outputDir("opc_open_errors");
  auto missing = Package::open(dir + "/absent.xlsx");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ooxml::Error::Code::NotFound);
  EXPECT_TRUE(missing.error().message.contains("absent.xlsx"));
  auto folder = Package::open(dir);
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.error().code, ooxml::Error::Code::Unreadable);
}
