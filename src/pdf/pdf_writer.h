// PdfWriter: writes one PDF document page by page through QPdfWriter/QPainter, with the
// operations the PDF export calls (pictures taken over as a QImage, stored as JPEG, placed in
// centimetres; text lines in embedded fonts). It owns its temporary output until
// FinishDocument puts the file in place; destroyed earlier, it leaves no file behind and the
// old file at the output path as it was. Not thread-safe; use it on one thread.
#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

#include "files/atomic_file.h"
#include "pdf/image_splice.h"
#include "pdf/pdf_info_update.h"

class QFont;
class QPainter;
class QPdfWriter;

namespace morvane::pdf {

class PdfWriter {
 public:
  // Unit codes for SetUnits.
  static constexpr int kUnitPoints = 0;
  static constexpr int kUnitCentimetres = 2;
  // Alignment code for DrawText: centre the text on x.
  static constexpr int kAlignCentre = 2;

  PdfWriter();
  ~PdfWriter();
  PdfWriter(const PdfWriter&) = delete;
  PdfWriter& operator=(const PdfWriter&) = delete;

  // Opens a temporary file in the folder of `path` for the document. True on success. False
  // when it cannot be created (folder missing or not writable, `path` is a folder, or a
  // document is already open); then nothing on disk changed. The four texts become the
  // document information (FinishDocument adds what QPdfWriter cannot write).
  bool BeginDocument(const QString& path, const QString& title, const QString& creator,
                     const QString& author, const QString& producer);
  // A font handle (> 0) for DrawText, or 0 when `name` is empty. The family goes through
  // fontconfig substitution ("Arial" becomes Liberation Sans when installed); Qt embeds the
  // subset it uses. The two flags are accepted and ignored.
  int AddFont(const QString& name, int flags, int reserved);
  // kUnitCentimetres: later positions and sizes are centimetres; any other code: points.
  void SetUnits(int code);

  // Holds `image` as the captured picture, and `jpeg` when it is that picture already stored
  // as SaveImageAsJpeg stores it at `jpegQuality` (it is ignored when its size differs).
  // False (and nothing held) when `image` is null.
  bool CaptureImage(const QImage& image, const QByteArray& jpeg = {}, int jpegQuality = -1);
  // Writes the held picture as a JPEG file of `quality` (0..100). False when nothing is held
  // or the file cannot be written.
  bool SaveImageAsJpeg(const QString& path, int quality);
  // Decodes an image file for DrawImage: a handle > 0 valid for this writer's life, or 0
  // when the file cannot be read.
  int LoadImageFile(const QString& path);
  // Size of the held picture in logical pixels (a picture of device pixel ratio 2 counts half
  // its pixels, as at 96 dpi); 0 when nothing is held. The JPEG keeps all its pixels.
  int ImageWidth() const;
  int ImageHeight() const;

  // Size of the pages begun after this call, in the current units (default 20 x 15 cm).
  void SetPageSize(double width, double height);
  // Starts a new empty page. False when no document is open, a page is already open, or Qt
  // cannot start painting.
  bool BeginPage();
  // Draws image `handle` stretched to the box whose top-left corner is (x, y) from the page's
  // top-left corner. Does nothing for handle 0, an unknown handle, or outside a page.
  void DrawImage(int handle, double x, double y, double width, double height);
  // Writes `text` in font `font` at `size` points with its baseline `y` above the BOTTOM
  // edge; alignment kAlignCentre centres it on x, any other code starts it at x. Does nothing
  // for an unknown font handle or outside a page.
  void DrawText(double x, double y, const QString& text, int font, double size, int alignment);
  void EndPage();
  // Completes the document in the temporary file. Qt cannot write a document without pages,
  // so a document with none gets one empty page.
  void EndDocument();
  // Ends the document if needed, appends its document information and renames the temporary
  // file over the output path. True on success; false (and the old file untouched) when no
  // document is open, the information cannot be added or the rename fails.
  bool FinishDocument();

  QString author() const { return m_info.author; }
  QString producer() const { return m_info.producer; }
  // The reason of the last failure, for messages.
  QString errorString() const { return m_error; }

 private:
  double toDevice(double length) const;
  void discard();
  bool appendInfo();

  std::unique_ptr<files::AtomicFile> m_file;
  std::unique_ptr<TailKeepingDevice> m_tail;      // before m_file
  std::unique_ptr<ImageSplicingDevice> m_splice;  // between m_writer and m_tail
  std::unique_ptr<QPdfWriter> m_writer;
  std::unique_ptr<QPainter> m_painter;
  std::vector<QFont> m_fonts;
  struct LoadedImage {
    QByteArray encoded;  // as loaded
    QImage placeholder;  // what Qt draws in its place, once drawn
    QByteArray jpegDictionary;  // when `encoded` is a JPEG the page can hold as it is
  };
  std::vector<LoadedImage> m_images;
  QImage m_lastImage;
  int m_lastHandle = 0;
  QImage m_captured;
  QByteArray m_capturedJpeg;
  QByteArray m_savedJpeg;  // what SaveImageAsJpeg wrote last
  int m_capturedJpegQuality = -1;
  DocumentInfo m_info;
  QString m_error;
  double m_unitInPoints = 1.0;
  double m_pageWidthPt;
  double m_pageHeightPt;
  bool m_pageOpen = false;
  bool m_anyPage = false;
  bool m_ended = false;
  bool m_broken = false;  // a picture or the table could not be spliced: the file is refused
};

}  // namespace morvane::pdf
