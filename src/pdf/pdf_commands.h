// PdfCommands: the "Create  PDF" command, its dialog Dialog1 and the two export runs it
// starts (YesPaste6PDF in title mode, YesPaste8PDF in slide-number mode). Each run writes
// one landscape page per written row of the list, in list order, holding the picture the
// selection handling put on the clipboard for that row and, when asked, a footer naming the
// workbook, the object and its sheet. One instance lives for the whole tool.
#pragma once

#include "paste/missing_pictures.h"
#include "paste/paste_commands.h"
#include "pdf/export_list.h"
#include "pdf/pdf_dialog.h"
#include "startup/tool.h"

#include <QImage>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace morvane::pdf {

inline const QString kOutputFileName = QStringLiteral("Morvane©.pdf");
inline const QString kCannotBuildMessage =
    QStringLiteral("Can't build pdf file. Please close any open PDF file and try again");

// Page geometry, in centimetres.
inline constexpr double kPageWidth = 20.0;
inline constexpr double kPageHeight = 15.0;
inline constexpr double kMaxPictureWidth = 18.0;
inline constexpr double kMaxPictureHeight = 12.0;

// Where the picture of a `pixelWidth` x `pixelHeight` capture goes on the page: each pixel
// taken as 1/72 inch at 2.52 cm per inch, shrunk as a whole (never enlarged) to fit the
// 18 x 12 box, centred.
struct PictureBox {
  double x, y, width, height;
};
PictureBox pictureBox(int pixelWidth, int pixelHeight);
// The same for a picture already converted to centimetres.
PictureBox fitPictureBox(double width, double height);

// Workbook path, name and sheet, separated by " ,  ".
QString footerText(const QString& workbookFullName, const QString& name, const QString& sheet);

// `Morvane©.pdf` in the user's documents folder, or in the home folder when there is none.
QString defaultOutputPath();

class PdfCommands {
 public:
  using EntryPoint = paste::PasteCommands::EntryPoint;

  // `forms` may be null (the dialog then deletes itself when unloaded).
  explicit PdfCommands(startup::Tool& tool, paste::FormRegistry* forms = nullptr);
  ~PdfCommands();
  PdfCommands(const PdfCommands&) = delete;
  PdfCommands& operator=(const PdfCommands&) = delete;

  // The guarded entry point the dialog's buttons use (RunGuarded on the tool by default).
  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }
  void setOutputPath(const QString& path) { m_outputPath = path; }
  const QString& outputPath() const { return m_outputPath; }
  // Where the runs take each row's picture (the desktop clipboard's image by default, with the
  // JPEG the clipboard offers beside it; a picture from elsewhere is encoded by the writer).
  void setClipboardImage(std::function<QImage()> read) {
    m_clipboardImage = std::move(read);
    m_clipboardJpeg = nullptr;
  }

  // "Create  PDF": counts the rows that will be written and shows Dialog1, loading it when
  // it is not loaded; an open dialog is brought forward and keeps its message.
  void SonicClick10_Click(std::shared_ptr<ExportList> list);

  // The export runs. Throw AutomationError from the selection handling; the output is then
  // left as it was. Show a message and write nothing when the output cannot be created. A
  // row whose picture could not be made (or stored) gets an empty page; the run goes on and,
  // once the file is written, lists such rows in one message.
  void YesPaste6PDF(ExportList& list);
  void YesPaste8PDF(ExportList& list);

  Dialog1* dialog() const { return m_dialog; }

  // How the last export run ended, and how many pages it wrote.
  enum class Outcome { NotRun, Written, NotCreated, NotFinished };
  Outcome lastOutcome() const { return m_outcome; }
  int lastPageCount() const { return m_pages; }
  // The rows of the last run whose pages have no picture (it could not be made or stored),
  // in list order; a written file's message lists them.
  const std::vector<paste::MissingPicture>& lastMissingPictures() const { return m_missing; }

 private:
  void dialogOk();
  void exportRows(ExportList& list, const std::function<bool(int)>& written);
  void writePages(ExportList& list, const std::function<bool(int)>& written, class PdfWriter& writer,
                  int font, const QString& imagePath);

  startup::Tool& m_tool;
  paste::FormRegistry* m_forms;
  EntryPoint m_entry;
  QString m_outputPath;
  std::function<QImage()> m_clipboardImage;
  std::function<QByteArray()> m_clipboardJpeg;
  std::shared_ptr<ExportList> m_dialogList;
  QPointer<Dialog1> m_dialog;
  Outcome m_outcome = Outcome::NotRun;
  int m_pages = 0;
  std::vector<paste::MissingPicture> m_missing;
};

}  // namespace morvane::pdf
