// ImageSplicingDevice: between QPdfWriter and the file. Qt stores a picture drawn without loss
// as its raw pixels deflated at zlib's default level, most of an export's time; the PDF writer
// draws a one-pixel placeholder instead, and this device writes the picture's own stream in
// place of the object Qt wrote for it. Qt's cross-reference table, written last, still counts
// Qt's bytes: the device holds the document's end and corrects the table's offsets.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <utility>
#include <vector>

namespace morvane::pdf {

class ImageSplicingDevice : public QIODevice {
 public:
  // `target` must be open for writing and outlive the device.
  explicit ImageSplicingDevice(QIODevice& target);

  // Holds what is written from now on, until replaceImage().
  void holdImage();
  // True when bytes are held since holdImage(): Qt wrote the placeholder's objects. Nothing
  // is held when Qt drew a placeholder it had written before.
  bool holdsImage() const { return !m_held.isEmpty(); }
  // Writes, in place of what was held (the placeholder's image object and the object of its
  // length), an image object of `dictionary` entries and `stream`, and the length object with
  // that stream's length; writes nothing when nothing is held. False, writing nothing, when the
  // held bytes are not such objects.
  bool replaceImage(const QByteArray& dictionary, const QByteArray& stream);
  // Holds everything written from now on: the end of the document, with its table.
  void holdEnd();
  // Corrects the offsets of the held cross-reference table and its startxref, and writes the
  // held bytes. False when they end with no classic table, or the target refuses them.
  bool finish();

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 length) override;

 private:
  enum class Hold { None, Image, End };
  // Where the byte Qt counts at `offset` is in the file.
  qint64 fileOffset(qint64 offset) const;
  bool pass(const QByteArray& bytes);

  QIODevice& m_target;
  Hold m_hold = Hold::None;
  QByteArray m_held;
  qint64 m_heldFrom = 0;  // Qt's count at the first held byte
  qint64 m_counted = 0;   // bytes Qt wrote
  qint64 m_written = 0;   // bytes written to the target
  // (Qt's offset, the file's offset) from which the offsets move together, in order.
  std::vector<std::pair<qint64, qint64>> m_anchors{{0, 0}};
};

}  // namespace morvane::pdf
