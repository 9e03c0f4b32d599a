#include "app/desktop_seams.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

namespace morvane::app {

int QtMessages::msgBox(const QString& prompt, int style, const QString& title) {
  QMessageBox box;
  QString text = prompt;
  text.replace(QChar(13), QChar(10));
  box.setText(text);
  box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
  const int icon = style & 0x70;
  box.setIcon(icon == startup::vbCritical      ? QMessageBox::Critical
              : icon == startup::vbExclamation ? QMessageBox::Warning
              : icon == startup::vbInformation ? QMessageBox::Information
                                               : QMessageBox::NoIcon);
  // Enter presses OK; Esc presses Cancel, or OK when that is the only button.
  const bool withCancel = (style & 0x7) == startup::vbOKCancel;
  box.setStandardButtons(withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
  return box.exec() == QMessageBox::Cancel ? startup::vbCancel : startup::vbOK;
}

void QtDesktop::yield() { QCoreApplication::processEvents(); }

void QtDesktop::sleepMs(int milliseconds) { QThread::msleep(milliseconds); }

bool QtDesktop::openFile(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool QtDesktop::activateWindow(const QString&) { return false; }

void BatchDesktop::yield() { QCoreApplication::processEvents(); }

void BatchDesktop::sleepMs(int milliseconds) { QThread::msleep(milliseconds); }

}  // namespace morvane::app
