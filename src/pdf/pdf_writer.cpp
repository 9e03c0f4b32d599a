#include "pdf/pdf_writer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "office/clipboard_formats.h"
#include "pdf/image_stream.h"

namespace morvane::pdf {
namespace {

constexpr double kPointsPerCm = 72.0 / 2.54;
// Device units per inch: fine enough that rounding never moves a picture visibly.
constexpr int kResolution = 1200;
// Bytes kept of the document's end: its trailer and startxref, with room to spare.
constexpr qsizetype kTrailerRoom = 8192;

}  // namespace

PdfWriter::PdfWriter() : m_pageWidthPt(20.0 * kPointsPerCm), m_pageHeightPt(15.0 * kPointsPerCm) {}

PdfWriter::~PdfWriter() { discard(); }

void PdfWriter::discard() {
  if (m_painter && m_painter->isActive()) m_painter->end();
  m_painter.reset();
  m_writer.reset();
  m_splice.reset();
  m_tail.reset();
  if (m_file) m_file->cancelWriting();
  m_file.reset();  // an uncommitted AtomicFile removes its temporary file
  m_pageOpen = m_anyPage = m_ended = m_broken = false;
}

bool PdfWriter::BeginDocument(const QString& path, const QString& title, const QString& creator,
                              const QString& author, const QString& producer) {
  if (m_file) {
    m_error = QStringLiteral("a document is already open");
    return false;
  }
  if (path.isEmpty()) {
    m_error = QStringLiteral("no output path");
    return false;
  }
  auto file = std::make_unique<files::AtomicFile>(QFileInfo(path).absoluteFilePath());
  if (!file->open(QIODevice::WriteOnly)) {
    m_error = file->errorString();
    return false;
  }
  m_file = std::move(file);
  m_tail = std::make_unique<TailKeepingDevice>(*m_file, kTrailerRoom);
  m_splice = std::make_unique<ImageSplicingDevice>(*m_tail);
  m_writer = std::make_unique<QPdfWriter>(m_splice.get());
  m_writer->setResolution(kResolution);
  m_writer->setTitle(title);
  m_writer->setCreator(creator);
  m_info = {title, creator, author, producer, QDateTime::currentDateTimeUtc()};
  m_painter = std::make_unique<QPainter>();
  for (auto& image : m_images) image.placeholder = QImage();  // Qt drew them in another document
  m_error.clear();
  return true;
}

int PdfWriter::AddFont(const QString& name, int, int) {
  if (name.isEmpty()) return 0;
  QFont font(name);
  // Resolve the substitute once so every page uses the same face.
  font.setFamily(QFontInfo(font).family());
  m_fonts.push_back(font);
  return int(m_fonts.size());
}

void PdfWriter::SetUnits(int code) {
  m_unitInPoints = code == kUnitCentimetres ? kPointsPerCm : 1.0;
}

bool PdfWriter::CaptureImage(const QImage& image, const QByteArray& jpeg, int jpegQuality) {
  m_captured = image;
  m_capturedJpeg.clear();
  QBuffer buffer;
  buffer.setData(jpeg);
  if (!jpeg.isEmpty() && buffer.open(QIODevice::ReadOnly) &&
      QImageReader(&buffer, "jpeg").size() == image.size()) {
    m_capturedJpeg = jpeg;
    m_capturedJpegQuality = jpegQuality;
  }
  return !image.isNull();
}

bool PdfWriter::SaveImageAsJpeg(const QString& path, int quality) {
  if (m_captured.isNull()) {
    m_error = QStringLiteral("no picture captured");
    return false;
  }
  const QByteArray jpeg = !m_capturedJpeg.isEmpty() && m_capturedJpegQuality == quality
                              ? m_capturedJpeg
                              : office::jpegOnWhite(m_captured, quality);
  QFile file(path);
  m_savedJpeg.clear();
  if (jpeg.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(jpeg) != jpeg.size()) {
    m_error = QStringLiteral("the picture of %1 x %2 pixels cannot be stored as JPEG in %3")
                  .arg(m_captured.width())
                  .arg(m_captured.height())
                  .arg(path);
    return false;
  }
  m_savedJpeg = jpeg;
  return true;
}

// Images are kept encoded until written, so a document holds no decoded picture. A JPEG the
// page can hold as it is is never decoded here.
int PdfWriter::LoadImageFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  QByteArray bytes = file.readAll();
  QByteArray jpegDictionary = jpegImageDictionary(bytes);
  // The JPEG just saved needs no decoding to prove it whole: the encoder wrote it.
  if (!jpegDictionary.isEmpty() && bytes == m_savedJpeg) {
    m_images.push_back({std::move(bytes), {}, std::move(jpegDictionary)});
    m_lastImage = QImage();
    m_lastHandle = int(m_images.size());
    return m_lastHandle;
  }
  QImage image = QImage::fromData(bytes);
  if (image.isNull()) return 0;
  m_images.push_back({std::move(bytes), {}, std::move(jpegDictionary)});
  // The image just loaded is normally drawn next: keep that one decoded.
  m_lastImage = std::move(image);
  m_lastHandle = int(m_images.size());
  return m_lastHandle;
}

int PdfWriter::ImageWidth() const { return qRound(m_captured.deviceIndependentSize().width()); }
int PdfWriter::ImageHeight() const { return qRound(m_captured.deviceIndependentSize().height()); }

void PdfWriter::SetPageSize(double width, double height) {
  m_pageWidthPt = width * m_unitInPoints;
  m_pageHeightPt = height * m_unitInPoints;
}

double PdfWriter::toDevice(double length) const {
  return length * m_unitInPoints / 72.0 * kResolution;
}

bool PdfWriter::BeginPage() {
  if (!m_file || m_pageOpen || m_ended) return false;
  // Exact match: a fuzzy match could snap the size to a neighbouring paper format. Portrait
  // with width > height is what gives a landscape page its real size (Landscape would swap).
  const QPageSize size(QSizeF(m_pageWidthPt, m_pageHeightPt), QPageSize::Point, QString(),
                       QPageSize::ExactMatch);
  m_writer->setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
  if (!m_anyPage) {
    if (!m_painter->begin(m_writer.get())) {
      m_error = QStringLiteral("cannot start the PDF");
      return false;
    }
  } else if (!m_writer->newPage()) {
    m_error = QStringLiteral("cannot start a page");
    return false;
  }
  // The JPEG was lossy once already; keep Qt from compressing it lossily again.
  m_painter->setRenderHints(QPainter::LosslessImageRendering | QPainter::SmoothPixmapTransform |
                            QPainter::TextAntialiasing);
  m_anyPage = m_pageOpen = true;
  return true;
}

void PdfWriter::DrawImage(int handle, double x, double y, double width, double height) {
  if (!m_pageOpen || handle < 1 || handle > int(m_images.size())) return;
  const QRectF box(toDevice(x), toDevice(y), toDevice(width), toDevice(height));
  LoadedImage& loaded = m_images[size_t(handle - 1)];
  QImage image;
  if (loaded.placeholder.isNull()) {
    if (loaded.jpegDictionary.isEmpty()) {
      image = handle == m_lastHandle ? m_lastImage : QImage::fromData(loaded.encoded);
      if (image.format() != QImage::Format_RGB32) {  // neither a JPEG nor opaque: Qt stores it
        m_painter->drawImage(box, image);
        return;
      }
    }
    loaded.placeholder = QImage(1, 1, QImage::Format_RGB32);
    loaded.placeholder.fill(Qt::white);
  }
  m_splice->holdImage();
  m_painter->drawImage(box, loaded.placeholder);
  if (!m_splice->holdsImage()) {  // Qt refers to the object it wrote for it before
    m_splice->replaceImage({}, {});
    return;
  }
  if (loaded.encoded.isEmpty()) {  // written once and let go: Qt should have referred to it
    m_error = QStringLiteral("a picture drawn again could not be stored");
    m_broken = true;
    return;
  }
  bool spliced;
  if (!loaded.jpegDictionary.isEmpty()) {
    spliced = m_splice->replaceImage(loaded.jpegDictionary, loaded.encoded);
  } else {
    if (image.isNull()) image = QImage::fromData(loaded.encoded);
    const QByteArray stream = deflatedRows(image);
    spliced = m_splice->replaceImage(imageDictionary(image.width(), image.height(), stream.size()),
                                     stream);
  }
  if (!spliced) {
    m_error = m_splice->errorString();
    m_broken = true;
    return;
  }
  // Qt refers to the written object from now on: a long document keeps no picture it has
  // written (some 40 KB a page).
  loaded.encoded = QByteArray();
  if (handle == m_lastHandle) m_lastImage = QImage();
}

void PdfWriter::DrawText(double x, double y, const QString& text, int font, double size,
                         int alignment) {
  if (!m_pageOpen || font < 1 || font > int(m_fonts.size())) return;
  QFont f = m_fonts[font - 1];
  f.setPointSizeF(size);
  m_painter->setFont(f);
  m_painter->setPen(Qt::black);
  double left = toDevice(x);
  if (alignment == kAlignCentre)
    left -= QFontMetricsF(f, m_writer.get()).horizontalAdvance(text) / 2.0;
  const double baseline = m_pageHeightPt / 72.0 * kResolution - toDevice(y);
  m_painter->drawText(QPointF(left, baseline), text);
}

void PdfWriter::EndPage() { m_pageOpen = false; }

void PdfWriter::EndDocument() {
  if (!m_file || m_ended) return;
  m_pageOpen = false;
  if (!m_anyPage && !BeginPage()) return;
  m_pageOpen = false;
  m_splice->holdEnd();
  m_painter->end();
  if (!m_splice->finish()) {
    m_error = m_splice->errorString();
    m_broken = true;
  }
  m_ended = true;
}

bool PdfWriter::appendInfo() {
  const QByteArray update = infoUpdate(m_tail->tail(), m_tail->written(), m_info, &m_error);
  if (update.isEmpty()) return false;
  if (m_file->write(update) != update.size()) {
    m_error = m_file->errorString();
    return false;
  }
  return true;
}

bool PdfWriter::FinishDocument() {
  if (!m_file) {
    m_error = QStringLiteral("no document is open");
    return false;
  }
  EndDocument();
  if (!m_ended || m_broken) {
    discard();
    return false;
  }
  m_painter.reset();
  m_writer.reset();
  m_splice.reset();
  if (!appendInfo()) {
    discard();
    return false;
  }
  m_tail.reset();
  const bool ok = m_file->commit();
  if (!ok) m_error = m_file->errorString();
  m_file.reset();
  m_ended = false;
  m_anyPage = false;
  return ok;
}

}  // namespace morvane::pdf
