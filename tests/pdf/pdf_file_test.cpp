// The PDF writer's file handling: the output appears only at FinishDocument, a failed or
// abandoned document leaves the old file and no temporary behind; and the picture hand-over.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "pdf/pdf_writer.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

const QByteArray kOldBytes("old deck, must survive");

QString freshDir(const QString& name) {
  const QString dir = testenv::outputDir(QStringLiteral("pdf_files/") + name);
  QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// One page with a line of text, the document left open or not.
void writePage(pdf::PdfWriter& writer) {
  const int font = writer.AddFont(QStringLiteral("Arial"), 0, 0);
  writer.SetUnits(pdf::PdfWriter::kUnitCentimetres);
  ASSERT_TRUE(writer.BeginPage());
  writer.DrawText(10, 0.5, QStringLiteral("page"), font, 6, pdf::PdfWriter::kAlignCentre);
  writer.EndPage();
}

TEST(PdfWriterFile, FinishReplacesTheOldFileAndLeavesNothingElse) {
  const QString dir = freshDir(QStringLiteral("finish"));
  const QString path = dir + QStringLiteral("/out.pdf");
  writeFile(path, kOldBytes);
  pdf::PdfWriter writer;
  ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
  writePage(writer);
  writer.EndDocument();
  EXPECT_EQ(readFile(path), kOldBytes);  // nothing visible before the rename
  ASSERT_TRUE(writer.FinishDocument());
  EXPECT_TRUE(readFile(path).startsWith("%PDF-"));
  EXPECT_TRUE(readFile(path).trimmed().endsWith("%%EOF"));
  EXPECT_EQ(entries(dir), QStringList{QStringLiteral("out.pdf")});
  EXPECT_FALSE(writer.FinishDocument());  // only once
}

TEST(PdfWriterFile, DestroyedWithoutFinishKeepsTheOldFileAndRemovesItsTemporary) {
  const QString dir = freshDir(QStringLiteral("abandoned"));
  const QString path = dir + QStringLiteral("/out.pdf");
  writeFile(path, kOldBytes);
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
    writePage(writer);
    writer.EndDocument();
    EXPECT_EQ(readFile(path), kOldBytes);
  }
  EXPECT_EQ(readFile(path), kOldBytes);
  EXPECT_EQ(entries(dir), QStringList{QStringLiteral("out.pdf")});
}

TEST(PdfWriterFile, DestroyedInMidPageCreatesNoFile) {
  const QString dir = freshDir(QStringLiteral("mid_page"));
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(dir + QStringLiteral("/new.pdf"), {}, {}, {}, {}));
    ASSERT_TRUE(writer.BeginPage());
  }
  EXPECT_TRUE(entries(dir).isEmpty());
}

// Whether BeginDocument on `path` succeeds, run as an unprivileged user when this process is
// root (root ignores folder permissions). The child reports through its exit code only.
bool beginsAsUnprivilegedUser(const QString& path) {
  if (::geteuid() != 0) {
    pdf::PdfWriter writer;
    return writer.BeginDocument(path, {}, {}, {}, {});
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    pdf::PdfWriter writer;
    ::_exit(writer.BeginDocument(path, {}, {}, {}, {}) ? 1 : 0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return true;
  EXPECT_NE(WEXITSTATUS(status), 2) << "cannot drop to user nobody";
  return WEXITSTATUS(status) != 0;
}

TEST(PdfWriterFile, UnwritableFolderFailsAndKeepsTheOldFile) {
  const QString dir = freshDir(QStringLiteral("read_only"));
  const QString path = dir + QStringLiteral("/out.pdf");
  writeFile(path, kOldBytes);
  // The old file itself is writable by anyone: only a direct overwrite could succeed, and the
  // writer must not fall back to one.
  QFile::setPermissions(
      path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
  QFile::setPermissions(dir,
                        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
  EXPECT_FALSE(beginsAsUnprivilegedUser(path));
  QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(readFile(path), kOldBytes);
  EXPECT_EQ(entries(dir), QStringList{QStringLiteral("out.pdf")});
}

TEST(PdfWriterFile, FailedBeginLeavesTheWriterClosed) {
  pdf::PdfWriter writer;
  EXPECT_FALSE(writer.BeginDocument(QStringLiteral("/proc/self/out.pdf"), {}, {}, {}, {}));
  EXPECT_FALSE(writer.errorString().isEmpty());
  EXPECT_FALSE(writer.BeginPage());
  EXPECT_FALSE(writer.FinishDocument());
}

TEST(PdfWriterFile, UncreatableOutputsFailAndTouchNothing) {
  const QString dir = freshDir(QStringLiteral("uncreatable"));
  const QString folder = dir + QStringLiteral("/a_folder");
  QDir().mkpath(folder);
  writeFile(folder + QStringLiteral("/inside.txt"), kOldBytes);
  pdf::PdfWriter writer;
  EXPECT_FALSE(writer.BeginDocument(folder, {}, {}, {}, {}));  // the path is a folder
  EXPECT_FALSE(writer.BeginDocument(dir + QStringLiteral("/missing/out.pdf"), {}, {}, {}, {}));
  EXPECT_FALSE(writer.BeginDocument(QStringLiteral("/proc/self/out.pdf"), {}, {}, {}, {}));
  EXPECT_FALSE(writer.BeginDocument(QString(), {}, {}, {}, {}));
  EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a_folder")});
  EXPECT_EQ(entries(folder), QStringList{QStringLiteral("inside.txt")});
  EXPECT_EQ(readFile(folder + QStringLiteral("/inside.txt")), kOldBytes);
  // The writer stays usable after failures.
  EXPECT_TRUE(writer.BeginDocument(dir + QStringLiteral("/out.pdf"), {}, {}, {}, {}));
  EXPECT_FALSE(writer.BeginDocument(dir + QStringLiteral("/second.pdf"), {}, {}, {}, {}));
}

TEST(PdfWriterFile, DocumentWithoutPagesStillBecomesAPdf) {
  const QString dir = freshDir(QStringLiteral("no_pages"));
  const QString path = dir + QStringLiteral("/out.pdf");
  pdf::PdfWriter writer;
  ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
  ASSERT_TRUE(writer.FinishDocument());
  EXPECT_TRUE(readFile(path).startsWith("%PDF-"));
}

TEST(PdfWriterFile, PagesNeedAnOpenDocumentAndNoOpenPage) {
  const QString dir = freshDir(QStringLiteral("page_order"));
  pdf::PdfWriter writer;
  EXPECT_FALSE(writer.BeginPage());
  ASSERT_TRUE(writer.BeginDocument(dir + QStringLiteral("/out.pdf"), {}, {}, {}, {}));
  EXPECT_TRUE(writer.BeginPage());
  EXPECT_FALSE(writer.BeginPage());
  writer.EndPage();
  EXPECT_TRUE(writer.BeginPage());
  writer.EndDocument();
  EXPECT_FALSE(writer.BeginPage());
  EXPECT_TRUE(writer.FinishDocument());
}

TEST(PdfWriterPicture, SizeIsTheCapturedPixelsAndNothingBeforeACapture) {
  pdf::PdfWriter writer;
  EXPECT_EQ(writer.ImageWidth(), 0);
  EXPECT_EQ(writer.ImageHeight(), 0);
  EXPECT_FALSE(
      writer.SaveImageAsJpeg(freshDir(QStringLiteral("nothing")) + QStringLiteral("/x.jpg"), 75));
  QImage picture(857, 143, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  EXPECT_TRUE(writer.CaptureImage(picture));
  EXPECT_EQ(writer.ImageWidth(), 857);
  EXPECT_EQ(writer.ImageHeight(), 143);
  // An empty clipboard drops the held picture rather than keeping a stale one.
  EXPECT_FALSE(writer.CaptureImage(QImage()));
  EXPECT_EQ(writer.ImageWidth(), 0);
}

TEST(PdfWriterPicture, JpegRoundTripKeepsSizeAndFlattensTransparencyOnWhite) {
  const QString dir = freshDir(QStringLiteral("jpeg"));
  QImage picture(200, 100, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) picture.setPixelColor(x, y, QColor(0, 0, 0));
  pdf::PdfWriter writer;
  ASSERT_TRUE(writer.CaptureImage(picture));
  const QString jpeg = dir + QStringLiteral("/p.jpg");
  ASSERT_TRUE(writer.SaveImageAsJpeg(jpeg, 75));
  const QImage back(jpeg, "JPEG");
  ASSERT_EQ(back.size(), QSize(200, 100));
  EXPECT_LT(QColor(back.pixel(50, 50)).lightness(), 30);
  EXPECT_GT(QColor(back.pixel(150, 50)).lightness(), 225);
  EXPECT_GT(writer.LoadImageFile(jpeg), 0);
  // Lower quality must give a smaller file: the quality reaches the encoder.
  QImage noisy(200, 200, QImage::Format_RGB32);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x)
      noisy.setPixel(x, y, qRgb((x * 37) % 256, (y * 91) % 256, (x * y) % 256));
  writer.CaptureImage(noisy);
  ASSERT_TRUE(writer.SaveImageAsJpeg(dir + QStringLiteral("/q75.jpg"), 75));
  ASSERT_TRUE(writer.SaveImageAsJpeg(dir + QStringLiteral("/q10.jpg"), 10));
  EXPECT_LT(QFile(dir + QStringLiteral("/q10.jpg")).size(),
            QFile(dir + QStringLiteral("/q75.jpg")).size());
}

// A picture drawn at twice 96 dpi: its size counts logical pixels, so the page geometry is
// that of the 96-dpi picture, while the JPEG keeps every pixel and its 192 dpi. The left half
// is black: a JPEG drawn at the logical size would leave the right three quarters white.
TEST(PdfWriterPicture, HighResolutionPicturesKeepTheirPixelsAndCountLogicalOnes) {
  QImage picture(400, 200, QImage::Format_ARGB32);
  picture.fill(Qt::white);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) picture.setPixelColor(x, y, Qt::black);
  picture.setDevicePixelRatio(2);
  picture.setDotsPerMeterX(7559);
  picture.setDotsPerMeterY(7559);
  pdf::PdfWriter writer;
  ASSERT_TRUE(writer.CaptureImage(picture));
  EXPECT_EQ(writer.ImageWidth(), 200);
  EXPECT_EQ(writer.ImageHeight(), 100);
  const QString jpeg = freshDir(QStringLiteral("jpeg2x")) + QStringLiteral("/p.jpg");
  ASSERT_TRUE(writer.SaveImageAsJpeg(jpeg, 75));
  const QImage back(jpeg, "JPEG");
  ASSERT_EQ(back.size(), QSize(400, 200));
  EXPECT_EQ(back.dotsPerMeterX(), 7559);
  EXPECT_LT(QColor(back.pixel(150, 150)).lightness(), 30);
  EXPECT_GT(QColor(back.pixel(250, 50)).lightness(), 225);
}

TEST(PdfWriterPicture, UnreadableFilesGiveHandleZero) {
  const QString dir = freshDir(QStringLiteral("unreadable"));
  writeFile(dir + QStringLiteral("/broken.jpg"), QByteArray("\xFF\xD8\xFF not really", 15));
  pdf::PdfWriter writer;
  EXPECT_EQ(writer.LoadImageFile(dir + QStringLiteral("/broken.jpg")), 0);
  EXPECT_EQ(writer.LoadImageFile(dir + QStringLiteral("/absent.jpg")), 0);
  EXPECT_FALSE(writer.SaveImageAsJpeg(dir + QStringLiteral("/no/such/folder.jpg"), 75));
}

}  // namespace
