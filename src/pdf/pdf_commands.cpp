#include "pdf/pdf_commands.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>

#include "files/atomic_file.h"
#include "office/clipboard_formats.h"
#include "paste/paste_steps.h"
#include "pdf/pdf_writer.h"
#include "registry/registry.h"

namespace morvane::pdf {

using office::Int16;
using startup::kToolTitle;

namespace {

constexpr int kJpegQuality = 75;
// Centimetres per inch as the page geometry has always converted them.
constexpr double kCentimetresPerInch = 2.52;
constexpr double kFooterX = 10.0;
constexpr double kFooterY = 0.5;
constexpr double kFooterSize = 6.0;

bool included(const ExportList& list, int row) {
  return list.listText(row, paste::kColInclude) == registry::kYes;
}

bool includedWithSlideNumber(const ExportList& list, int row) {
  return included(list, row) && !list.listText(row, paste::kColSlideNumber).isEmpty();
}

}  // namespace

PictureBox fitPictureBox(double width, double height) {
  // One factor for both sides, so a pie stays round; a picture that fits is not enlarged.
  double scale = 1.0;
  if (width > kMaxPictureWidth) scale = kMaxPictureWidth / width;
  if (height * scale > kMaxPictureHeight) scale = kMaxPictureHeight / height;
  const double w = width * scale;
  const double h = height * scale;
  return {(kPageWidth - w) / 2.0, (kPageHeight - h) / 2.0, w, h};
}

PictureBox pictureBox(int pixelWidth, int pixelHeight) {
  return fitPictureBox(pixelWidth * kCentimetresPerInch / 72.0, pixelHeight * kCentimetresPerInch / 72.0);
}

QString footerText(const QString& workbookFullName, const QString& name, const QString& sheet) {
  const QString separator = QStringLiteral(" ,  ");
  return workbookFullName + separator + name + separator + sheet;
}

QString defaultOutputPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  return QDir(folder).filePath(kOutputFileName);
}

PdfCommands::PdfCommands(startup::Tool& tool, paste::FormRegistry* forms)
    : m_tool(tool), m_forms(forms), m_outputPath(defaultOutputPath()) {
  m_entry = [this](const std::function<void()>& command) { startup::RunGuarded(m_tool, command); };
  m_clipboardImage = [] { return QGuiApplication::clipboard()->image(); };
  m_clipboardJpeg = [] {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QLatin1String(office::kJpegMime))
               ? data->data(QLatin1String(office::kJpegMime))
               : QByteArray();
  };
}

PdfCommands::~PdfCommands() { delete m_dialog.data(); }

void PdfCommands::SonicClick10_Click(std::shared_ptr<ExportList> list) {
  if (list->isTitleMode()) {
    m_tool.confirmationCount = 0;
    for (int row = 0; row < list->listCount(); ++row)
      if (included(*list, row)) ++m_tool.confirmationCount;
  }
  if (list->isNumberMode()) {
    m_tool.confirmationCount = 0;
    for (int row = 0; row < list->listCount(); ++row)
      if (includedWithSlideNumber(*list, row)) ++m_tool.confirmationCount;
  }
  m_dialogList = std::move(list);
  if (m_dialog && !m_dialog->isUnloaded()) {
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return;
  }
  auto* dialog = new Dialog1;
  dialog->setEntryPoint(m_entry);
  dialog->setOk([this] { dialogOk(); });
  dialog->setRelease([this](QWidget* form) {
    if (m_forms) m_forms->unloadForm(form);
    else form->deleteLater();
  });
  dialog->load(m_tool.confirmationCount, m_outputPath);
  m_dialog = dialog;
  if (m_forms) m_forms->registerForm(dialog);
  dialog->show();
}

void PdfCommands::dialogOk() {
  const std::shared_ptr<ExportList> list = m_dialogList;
  // The main window was closed while the dialog stayed open: there is nothing to export.
  if (!list || list->isUnloaded()) return;
  if (list->isTitleMode()) YesPaste6PDF(*list);
  if (list->isNumberMode()) YesPaste8PDF(*list);
}

void PdfCommands::YesPaste6PDF(ExportList& list) {
  exportRows(list, [&list](int row) { return included(list, row); });
}

void PdfCommands::YesPaste8PDF(ExportList& list) {
  exportRows(list, [&list](int row) { return includedWithSlideNumber(list, row); });
}

void PdfCommands::exportRows(ExportList& list, const std::function<bool(int)>& written) {
  PdfWriter writer;
  const bool begun =
      writer.BeginDocument(m_outputPath, QStringLiteral("Title"), QStringLiteral("Creator"),
                           QStringLiteral("Author"), QStringLiteral("Producer"));
  // The page pictures pass through a private file beside the output, never a shared fixed
  // path; it is named like the output's temporary file, so a killed run's is swept too.
  const files::ScratchFile scratch(m_outputPath);
  m_pages = 0;
  m_missing.clear();
  if (!begun || scratch.path().isEmpty()) {
    m_outcome = Outcome::NotCreated;
    m_tool.messages.msgBox(kCannotBuildMessage, startup::vbExclamation, kToolTitle);
    list.setListIndex(0);
    return;
  }
  const int font = writer.AddFont(QStringLiteral("Arial"), 0, 0);
  writer.SetUnits(PdfWriter::kUnitCentimetres);
  const QString savedFormat = list.pasteFormat();
  list.setPasteFormat(QStringLiteral("Bitmap"));

  writePages(list, written, writer, font, scratch.path());

  writer.EndDocument();
  if (writer.FinishDocument()) {
    m_outcome = Outcome::Written;
    if (!m_missing.empty())
      m_tool.messages.msgBox(paste::missingPicturesMessage(m_missing, QStringLiteral("pages")),
                             startup::vbExclamation, kToolTitle);
    if (m_dialog && m_dialog->check2Value() == 1) m_tool.desktop.openFile(m_outputPath);
  } else {
    m_outcome = Outcome::NotFinished;
    m_tool.messages.msgBox(QStringLiteral("The PDF file could not be written:\r\r%1\r\r%2")
                               .arg(m_outputPath, writer.errorString()),
                           startup::vbExclamation, kToolTitle);
  }
  list.setPasteFormat(savedFormat);
  list.setListIndex(0);
}

void PdfCommands::writePages(ExportList& list, const std::function<bool(int)>& written,
                             PdfWriter& writer, int font, const QString& imagePath) {
  const int footer = m_dialog ? m_dialog->check1Value() : 1;
  const int last = list.listCount() - 1;
  int total = 0;
  std::vector<std::pair<QString, QString>> rows;
  for (int row = 0; row <= last; ++row) {
    if (!written(row)) continue;
    ++total;
    rows.emplace_back(list.listText(row, paste::kColName), list.listText(row, paste::kColSheet));
  }
  // The pages take the clipboard's bitmap and its JPEG, never its PNG.
  const paste::PictureLookAhead lookAhead(m_tool.workbook.get(), rows, excel::PictureUse::Jpeg);
  int done = 0;
  Int16 row;
  for (row = 0; row <= last; ++row) {
    list.setCurrentRow(row);
    if (!written(row)) continue;
    m_tool.reportObject(++done, total, list.listText(row, paste::kColName),
                        list.listText(row, paste::kColSheet));
    // Selecting the row that is already selected runs nothing; its picture must still be
    // the one on the clipboard, so the handling runs directly.
    if (list.listIndex() == row) list.runSelection();
    else list.setListIndex(row);

    // A capture that fails must not pick up the previous page's picture, still in the file.
    // A row whose picture could not be made captures nothing, so its page stays empty like
    // one whose image fails.
    const QString problem = list.pictureProblem();
    if (problem.isEmpty()) {
      const QImage image = m_clipboardImage();
      writer.CaptureImage(image, m_clipboardJpeg ? m_clipboardJpeg() : QByteArray(),
                          office::kJpegQuality);
    } else {
      writer.CaptureImage(QImage());
    }
    const bool saved = writer.SaveImageAsJpeg(imagePath, kJpegQuality);
    const int image = saved ? writer.LoadImageFile(imagePath) : 0;
    if (image == 0) {
      m_missing.push_back({list.listText(row, paste::kColName),
                           list.listText(row, paste::kColSheet),
                           !problem.isEmpty() ? problem
                           : saved ? QStringLiteral("the stored picture cannot be read back")
                                   : writer.errorString()});
    }
    const PictureBox box = pictureBox(writer.ImageWidth(), writer.ImageHeight());

    writer.SetPageSize(kPageWidth, kPageHeight);
    writer.BeginPage();
    const QString text = footerText(m_tool.workbook ? m_tool.workbook->fullName() : QString(),
                                    list.listText(row, paste::kColName), list.listText(row, paste::kColSheet));
    if (image != 0) {
      writer.DrawImage(image, box.x, box.y, box.width, box.height);
      if (footer == 1) writer.DrawText(kFooterX, kFooterY, text, font, kFooterSize, PdfWriter::kAlignCentre);
    }
    writer.EndPage();
    ++m_pages;
  }
  list.setCurrentRow(row);
}

}  // namespace morvane::pdf
