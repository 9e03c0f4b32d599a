// The export under failure and untimely closing, with the real main window and forms (also
// run under AddressSanitizer): a selection that fails mid-run, and OK pressed after the main
// window was closed.
#include "pdf_command_fixture.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>

using namespace morvane;

using pdftest::PdfCommandTest;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST_F(PdfCommandTest, ASelectionFailingMidRunEndsTheToolAndKeepsTheOldFile) {
  {
    QFile old(output);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the PDF of last month");
  }
  w().SonicClick10->click();
  ASSERT_NE(pdf->dialog(), nullptr);
  f.office.log.failOn(QStringLiteral("Name(Sales).RefersToRange"));  // the last row
  pdf->dialog()->SonicClick2->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_TRUE(f.tool.ended());
  ASSERT_EQ(f.messages.shown.size(), 1u);  // the failure, with its error
  EXPECT_EQ(readAll(output), QByteArray("the PDF of last month"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Morvane©.pdf")});
  EXPECT_TRUE(f.desktop.opened.isEmpty());
}

TEST_F(PdfCommandTest, OkAfterTheMainWindowClosedWritesNothing) {
  w().SonicClick10->click();
  QPointer<pdf::Dialog1> dialog = pdf->dialog();
  ASSERT_TRUE(dialog);
  QPointer<mainwindow::UserFormObj> window = &w();
  forms->unloadMainWindow();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window);
  ASSERT_TRUE(dialog);  // a loaded form keeps the tool running
  dialog->SonicClick2->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dialog);
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_TRUE(f.messages.shown.empty());
}
