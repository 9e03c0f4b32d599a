#include "app/file_choosers.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace morvane::app {

namespace {

const QString kWorkbookTitle = QStringLiteral("Morvane© - open a workbook");
const QString kPresentationTitle = QStringLiteral("Morvane© - presentation to paste into");
const QString kNewDeckTitle = QStringLiteral("Morvane© - new deck");
const QString kWorkbookFilter = QStringLiteral("Workbooks (*.xlsx *.xlsm)");
const QString kDeckFilter = QStringLiteral("Presentations (*.pptx *.pptm *.potx)");

QSettings settings() { return QSettings(QStringLiteral("morvane"), QStringLiteral("morvane")); }

QString lastFolder() {
  const QString folder = settings().value(QStringLiteral("lastFolder")).toString();
  if (!folder.isEmpty() && QDir(folder).exists()) return folder;
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void rememberFolderOf(const QString& path) {
  if (!path.isEmpty())
    settings().setValue(QStringLiteral("lastFolder"), QFileInfo(path).absolutePath());
}

// A desktop's own file dialog has no screen to appear on under the offscreen platform and
// would wait there unanswerable; Qt's dialog works on every platform.
QFileDialog::Options fileDialogOptions() {
  QFileDialog::Options options;
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    options |= QFileDialog::DontUseNativeDialog;
  return options;
}

QString browseWorkbook() {
  const QString path = QFileDialog::getOpenFileName(nullptr, kWorkbookTitle, lastFolder(),
                                                    kWorkbookFilter, nullptr, fileDialogOptions());
  rememberFolderOf(path);
  return path;
}

// The recent workbooks in a list: Open takes the one selected, "Browse…" the file dialog.
QString chooseAmong(const QStringList& recent) {
  QDialog dialog;
  dialog.setObjectName(QStringLiteral("workbookChooser"));
  dialog.setWindowTitle(kWorkbookTitle);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("recentWorkbooks"));
  for (const QString& path : recent) {
    auto* item = new QListWidgetItem(QFileInfo(path).fileName(), list);
    item->setToolTip(path);
    item->setData(Qt::UserRole, path);
  }
  list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
  QPushButton* browse = buttons->addButton(QStringLiteral("Browse…"), QDialogButtonBox::ActionRole);
  browse->setObjectName(QStringLiteral("browse"));
  bool browsing = false;
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    browsing = true;
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Recent workbooks:"), &dialog));
  layout->addWidget(list);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return QString();
  if (browsing) return browseWorkbook();
  return list->currentItem() ? list->currentItem()->data(Qt::UserRole).toString() : QString();
}

}  // namespace

QStringList recentWorkbooks() {
  QStringList out;
  for (const QString& path : settings().value(QStringLiteral("recentWorkbooks")).toStringList())
    if (QFileInfo::exists(path) && out.size() < kRecentWorkbooks) out << path;
  return out;
}

void rememberWorkbook(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList recent = settings().value(QStringLiteral("recentWorkbooks")).toStringList();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  // Kept beyond the number listed, so a workbook moved away leaves the list full.
  settings().setValue(QStringLiteral("recentWorkbooks"), recent.mid(0, 2 * kRecentWorkbooks));
  rememberFolderOf(absolute);
}

QString chooseWorkbook() {
  const QStringList recent = recentWorkbooks();
  return recent.isEmpty() ? browseWorkbook() : chooseAmong(recent);
}

QString choosePresentation() {
  QMessageBox box(QMessageBox::Question, kPresentationTitle,
                  QStringLiteral("Paste into an existing presentation or into a new deck?"));
  QPushButton* open = box.addButton(QStringLiteral("Open…"), QMessageBox::AcceptRole);
  QPushButton* create = box.addButton(QStringLiteral("New deck…"), QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(open);
  box.exec();
  QString path;
  if (box.clickedButton() == open) {
    path = QFileDialog::getOpenFileName(nullptr, kPresentationTitle, lastFolder(), kDeckFilter,
                                        nullptr, fileDialogOptions());
  } else if (box.clickedButton() == create) {
    QFileDialog dialog(nullptr, kNewDeckTitle, lastFolder(),
                       QStringLiteral("Presentations (*.pptx)"));
    dialog.setOptions(fileDialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pptx"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      path = dialog.selectedFiles().first();
    // A name typed with another ending still gets the new deck's own.
    if (!path.isEmpty() && !path.endsWith(QLatin1String(".pptx"), Qt::CaseInsensitive))
      path += QStringLiteral(".pptx");
  }
  rememberFolderOf(path);
  return path;
}

}  // namespace morvane::app
