// Hostile packages: each malformed file, generated here, gives one error of the right kind
// whose message names the file; nothing crashes and the work stays bounded. Run under
// AddressSanitizer in CI.
#include "ooxml/detail/xml.h"
#include "ooxml/package.h"
#include "support/test_env.h"
#include "zip_fixture.h"

#include <QElapsedTimer>
#include <QFile>

#include <zip.h>

#include <gtest/gtest.h>

using namespace morvane;

using ooxml::Error;
using ooxml::Package;
using opctest::Member;

namespace {

constexpr char kName[] = "hostile.xlsx";

ooxml::Result<std::unique_ptr<Package>> openZip(const QByteArray& bytes,
                                                const ooxml::Limits& limits = {}) {
  return Package::openBytes(bytes, kName, limits);
}

std::vector<Member> withMember(Member extra) {
  auto members = opctest::minimalWorkbook();
  members.push_back(std::move(extra));
  return members;
}

std::vector<Member> replacing(const QString& name, const QByteArray& data) {
  auto members = opctest::minimalWorkbook();
  for (Member& m : members) {
    if (m.name == name) m.data = data;
  }
  return members;
}

// The open fails with `code`, naming the file and mentioning `words`.
void expectOpenFails(const QByteArray& bytes, Error::Code code, const QString& words,
                     const ooxml::Limits& limits = {}) {
  auto opened = openZip(bytes, limits);
  ASSERT_FALSE(opened.ok()) << "opened although hostile";
  EXPECT_EQ(int(opened.error().code), int(code)) << opened.error().message.toStdString();
  EXPECT_TRUE(opened.error().message.startsWith(QStringLiteral("%1: ").arg(kName)))
      << opened.error().message.toStdString();
  EXPECT_TRUE(opened.error().message.contains(words, Qt::CaseInsensitive))
      << opened.error().message.toStdString();
}

QByteArray valid() { return opctest::makeZip(opctest::minimalWorkbook()); }

QByteArray deepXml(int depth) {
  QByteArray xml =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  xml += QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
  return xml + "</worksheet>";
}

const QByteArray kBillionLaughs =
    R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">)"
    R"(<!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">)"
    R"(<!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">)"
    R"(<!ENTITY lol4 "&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;">)"
    R"(<!ENTITY lol5 "&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;">)"
    R"(]><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><v>&lol5;</v></worksheet>)";

}  // namespace

TEST(HostileZip, NotAZipEmptyOrTruncated) {
  expectOpenFails("PK this is plain text, not an archive", Error::Code::NotAPackage, "not a zip");
  expectOpenFails(QByteArray(), Error::Code::NotAPackage, "empty");
  const QByteArray good = valid();
  for (const qsizetype keep :
       {qsizetype(4), qsizetype(30), good.size() / 2, good.size() - 23, good.size() - 1}) {
    SCOPED_TRACE(keep);
    expectOpenFails(good.left(keep), Error::Code::NotAPackage, "zip");
  }
}

TEST(HostileZip, DamagedMemberDataFailsWhenRead) {
  QByteArray bytes =
      opctest::makeZip(withMember({"xl/media/data.bin", QByteArray(4000, 'q') + "tail"}));
  // Overwrite the member's compressed data (it follows its local header).
  const qsizetype local = bytes.indexOf("xl/media/data.bin");
  ASSERT_GT(local, 0);
  for (qsizetype i = local + 17; i < local + 27; ++i) bytes[i] = char(0xA5);
  auto opened = openZip(bytes);
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  auto read = (*opened)->read("/xl/media/data.bin");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().code, Error::Code::NotAPackage);
  EXPECT_TRUE(read.error().message.contains(kName));
  EXPECT_TRUE(read.error().message.contains("/xl/media/data.bin"));
}

TEST(HostileZip, EncryptedMembersAreRefused) {
  QByteArray bytes = valid();
  ASSERT_TRUE(opctest::setEncryptedFlag(&bytes, "xl/workbook.xml"));
  expectOpenFails(bytes, Error::Code::NotAPackage, "encrypted");

  // And one really encrypted by libzip, when this libzip can encrypt.
  if (zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(target);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    const std::vector<Member> members = opctest::minimalWorkbook();  // read at zip_close()
    for (const Member& m : members) {
      zip_source_t* data =
          zip_source_buffer(archive, m.data.constData(), quint64(m.data.size()), 0);
      const zip_int64_t index = zip_file_add(archive, m.name.toUtf8().constData(), data, 0);
      if (m.name == "xl/workbook.xml")
        zip_file_set_encryption(archive, quint64(index), ZIP_EM_AES_256, "pw");
    }
    ASSERT_EQ(zip_close(archive), 0);
    zip_stat_t st;
    zip_source_stat(target, &st);
    QByteArray encrypted(qsizetype(st.size), '\0');
    zip_source_open(target);
    zip_source_read(target, encrypted.data(), st.size);
    zip_source_close(target);
    zip_source_free(target);
    zip_error_fini(&error);
    expectOpenFails(encrypted, Error::Code::NotAPackage, "encrypted");
  }
}

TEST(HostileZip, MemberNamesThatEscapeThePackageAreRefused) {
  for (const QString name : {"../evil.xml", "xl/../../evil.xml", "%2e%2e/evil.xml", "/etc/passwd",
                             "..\\evil.xml", "C:/evil.xml", "xl//double.xml", "xl/./dot.xml"}) {
    SCOPED_TRACE(name.toStdString());
    expectOpenFails(opctest::makeZip(withMember({name, "x"})), Error::Code::Unsafe, "member");
  }
}

TEST(HostileZip, DuplicateNamesAreRefusedWhateverTheirCase) {
  expectOpenFails(opctest::makeZip(withMember({"XL/Workbook.xml", "<x/>"})),
                  Error::Code::NotAPackage, "same part");
  // Exactly equal names, which no zip writer produces.
  QByteArray bytes = opctest::makeZip(withMember({"xl/workbook.xmm", "<x/>"}));
  ASSERT_TRUE(opctest::renameMember(&bytes, "xl/workbook.xmm", "xl/workbook.xml"));
  auto opened = openZip(bytes);
  ASSERT_FALSE(opened.ok());
  EXPECT_TRUE(opened.error().message.contains(kName));
}

TEST(HostileZip, MissingContentTypesIsNotAPackage) {
  auto members = opctest::minimalWorkbook();
  members.erase(members.begin());
  expectOpenFails(opctest::makeZip(members), Error::Code::NotAPackage, "[Content_Types].xml");
  // A plain zip of anything else, too.
  expectOpenFails(opctest::makeZip({{"readme.txt", "hello"}}), Error::Code::NotAPackage,
                  "[Content_Types].xml");
}

TEST(HostileZip, ZipBombsStopAtTheLimits) {
  const QByteArray zeros(16 << 20, '\0');  // deflates more than 1000 to 1
  // A bomb in a part nobody reads does not stop the package; reading it does.
  auto opened = openZip(opctest::makeZip(withMember({"xl/media/bomb.bin", zeros})));
  ASSERT_TRUE(opened.ok());
  QElapsedTimer timer;
  timer.start();
  auto read = (*opened)->read("/xl/media/bomb.bin");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(read.error().message.contains("zip bomb"));
  EXPECT_TRUE(read.error().message.contains(kName));
  EXPECT_LT(timer.elapsed(), 1000);  // refused from the directory, nothing inflated

  // In a part open must read, it stops the open.
  expectOpenFails(opctest::makeZip(replacing("_rels/.rels", zeros)), Error::Code::Unsafe,
                  "zip bomb");
  expectOpenFails(opctest::makeZip(replacing("[Content_Types].xml", zeros)), Error::Code::Unsafe,
                  "zip bomb");

  // Per-part and total limits.
  ooxml::Limits limits;
  limits.maxPartSize = 1000;
  auto small =
      openZip(opctest::makeZip(withMember({"xl/media/big.bin", QByteArray(5000, 'b')})), limits);
  ASSERT_TRUE(small.ok());
  auto big = (*small)->read("/xl/media/big.bin");
  ASSERT_FALSE(big.ok());
  EXPECT_EQ(big.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(big.error().message.contains("limit of 1000"));

  limits = ooxml::Limits();
  limits.maxTotalSize = 3000;
  auto members = opctest::minimalWorkbook();
  members.push_back({"xl/media/a.bin", QByteArray(1000, 'a')});
  members.push_back({"xl/media/b.bin", QByteArray(1000, 'b')});
  auto total = openZip(opctest::makeZip(members), limits);
  ASSERT_TRUE(total.ok()) << total.error().message.toStdString();
  ASSERT_TRUE((*total)->read("/xl/media/a.bin").ok());
  ASSERT_TRUE((*total)->read("/xl/media/a.bin").ok());  // a part is counted once
  auto over = (*total)->read("/xl/media/b.bin");
  ASSERT_FALSE(over.ok());
  EXPECT_EQ(over.error().code, Error::Code::Unsafe);
}

TEST(HostileZip, DeclaredSizesThatLie) {
  // Declared huge: refused before inflating.
  QByteArray huge = valid();
  ASSERT_TRUE(opctest::setDeclaredSize(&huge, "xl/workbook.xml", 0xFFFFFFF0u));
  auto opened = openZip(huge);
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  auto read = (*opened)->read("/xl/workbook.xml");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(read.error().message.contains("4294967280 bytes"))
      << read.error().message.toStdString();
  // Declared smaller than the data: never inflated past the declared size.
  QByteArray tiny = valid();
  ASSERT_TRUE(opctest::setDeclaredSize(&tiny, "xl/workbook.xml", 10));
  auto opened2 = openZip(tiny);
  ASSERT_TRUE(opened2.ok());
  auto read2 = (*opened2)->read("/xl/workbook.xml");
  ASSERT_FALSE(read2.ok());
  EXPECT_EQ(read2.error().code, Error::Code::NotAPackage);
  EXPECT_TRUE(read2.error().message.contains(kName));
  // The same lie on a .rels part stops the open.
  QByteArray rels = valid();
  ASSERT_TRUE(opctest::setDeclaredSize(&rels, "_rels/.rels", 10));
  expectOpenFails(rels, Error::Code::NotAPackage, "_rels/.rels");
}

TEST(HostileZip, AbsurdMemberCounts) {
  ooxml::Limits limits;
  limits.maxParts = 20;
  auto members = opctest::minimalWorkbook();
  for (int i = 0; i < 30; ++i) members.push_back({QStringLiteral("xl/media/m%1.bin").arg(i), "m"});
  expectOpenFails(opctest::makeZip(members), Error::Code::Unsafe, "limit of 20", limits);
  // A directory that claims far more entries than it holds.
  QByteArray bytes = valid();
  ASSERT_TRUE(opctest::setEntryCount(&bytes, 65535));
  expectOpenFails(bytes, Error::Code::NotAPackage, "zip");
}

TEST(HostileZip, OpenRefusesFilesLargerThanTheTotalLimit) {
  const QString path = testenv::outputDir("opc_hostile") + "/large.xlsx";
  ASSERT_TRUE(opctest::writeFile(path, valid()));
  ooxml::Limits limits;
  limits.maxTotalSize = 100;
  auto opened = Package::open(path, limits);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(opened.error().message.contains("large.xlsx"));
}

TEST(HostileXml, DtdsAndEntityExpansionAreRefused) {
  const QByteArray external =
      R"(<?xml version="1.0"?><!DOCTYPE Types SYSTEM "file:///etc/passwd">)"
      R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)";
  expectOpenFails(opctest::makeZip(replacing("[Content_Types].xml", external)), Error::Code::Unsafe,
                  "DTD");
  expectOpenFails(opctest::makeZip(replacing("xl/_rels/workbook.xml.rels", kBillionLaughs)),
                  Error::Code::Unsafe, "/xl/_rels/workbook.xml.rels");

  // In an ordinary part, the XML reader refuses it with the file and the part named.
  auto opened = openZip(opctest::makeZip(replacing("xl/worksheets/sheet1.xml", kBillionLaughs)));
  ASSERT_TRUE(opened.ok());
  auto doc = ooxml::readXml(**opened, "/xl/worksheets/sheet1.xml");
  ASSERT_FALSE(doc.ok());
  EXPECT_EQ(doc.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(doc.error().message.startsWith(QString(kName) + ": /xl/worksheets/sheet1.xml"))
      << doc.error().message.toStdString();
}

TEST(HostileXml, DeepNestingIsRefusedQuickly) {
  QElapsedTimer timer;
  timer.start();
  auto parsed = ooxml::parseXml(deepXml(200000), "/xl/deep.xml");
  ASSERT_FALSE(parsed.ok());
  EXPECT_EQ(parsed.error().code, Error::Code::Unsafe);
  EXPECT_TRUE(parsed.error().message.contains("/xl/deep.xml"));
  EXPECT_LT(timer.elapsed(), 5000);
  EXPECT_TRUE(ooxml::parseXml(deepXml(200), "/xl/ok.xml").ok());
  // The package's limit applies to what open reads and to readXml.
  ooxml::Limits limits;
  limits.maxXmlDepth = 50;
  expectOpenFails(opctest::makeZip(replacing("_rels/.rels", deepXml(100))), Error::Code::Unsafe,
                  "deeper", limits);
  auto opened =
      openZip(opctest::makeZip(replacing("xl/worksheets/sheet1.xml", deepXml(100))), limits);
  ASSERT_TRUE(opened.ok());
  EXPECT_FALSE(ooxml::readXml(**opened, "/xl/worksheets/sheet1.xml").ok());
}

TEST(HostileXml, MalformedPackageXmlNamesFileAndPart) {
  expectOpenFails(
      opctest::makeZip(replacing("_rels/.rels", "<Relationships><oops></Relationships>")),
      Error::Code::BadXml, "/_rels/.rels");
  expectOpenFails(opctest::makeZip(replacing("[Content_Types].xml", "<Wrong/>")),
                  Error::Code::BadXml, "Types");
  const QByteArray noTarget =
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
      R"(<Relationship Id="rId1" Type="t"/></Relationships>)";
  expectOpenFails(opctest::makeZip(replacing("xl/_rels/workbook.xml.rels", noTarget)),
                  Error::Code::BadXml, "no Id or no Target");
}

TEST(HostileZip, RandomDamageNeverCrashes) {
  // Deterministic byte damage all over a valid package: every outcome is a package or an
  // error that names the file, and every part read or save either works or fails cleanly.
  const QByteArray good = opctest::makeZip(withMember({"xl/media/m.bin", QByteArray(3000, 'z')}));
  quint32 state = 0x9E3779B9u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  int opened = 0;
  for (int round = 0; round < 400; ++round) {
    QByteArray bytes = good;
    const int hits = 1 + int(next() % 4);
    for (int h = 0; h < hits; ++h) bytes[qsizetype(next() % quint32(bytes.size()))] = char(next());
    auto package = openZip(bytes);
    if (!package.ok()) {
      EXPECT_TRUE(package.error().message.startsWith(QString(kName) + ": "))
          << package.error().message.toStdString();
      continue;
    }
    ++opened;
    for (const QString& part : (*package)->partNames()) {
      auto data = (*package)->read(part);
      if (!data.ok()) {
        EXPECT_TRUE(data.error().message.contains(kName));
      }
      auto doc = ooxml::readXml(**package, part);
      if (!doc.ok()) {
        EXPECT_TRUE(doc.error().message.contains(kName));
      }
    }
    // A damaged stored member fails its CRC when copied; that too is an error, not a crash.
    auto saved = (*package)->saveToBytes();
    if (!saved.ok()) {
      EXPECT_EQ(saved.error().code, Error::Code::Unwritable);
      EXPECT_TRUE(saved.error().message.contains(kName));
    }
  }
  EXPECT_GT(opened, 0);  // some damage lands in places a reader tolerates
}
