// "Create  PDF" behind the real main window on the office double: the dialog, the rows each
// mode writes, one page per row holding that row's own picture, the footer and opening
// options, the unwritable output, and the state the window is left in. PDFs are read back
// with poppler.
#include "pdf_command_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>

using namespace morvane;

using pdftest::near;
using pdftest::PdfCommandTest;

struct BoxCase {
  const char* name;
  double width, height;  // converted centimetres, or pixels when `pixels`
  bool pixels;
  pdf::PictureBox expected;
};

class PdfPictureBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(PdfPictureBox, ShrinksUniformlyIntoTheBoxAndCentres) {
  const BoxCase& c = GetParam();
  const pdf::PictureBox box = c.pixels ? pdf::pictureBox(int(c.width), int(c.height))
                                       : pdf::fitPictureBox(c.width, c.height);
  EXPECT_NEAR(box.x, c.expected.x, 1e-9);
  EXPECT_NEAR(box.y, c.expected.y, 1e-9);
  EXPECT_NEAR(box.width, c.expected.width, 1e-9);
  EXPECT_NEAR(box.height, c.expected.height, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PdfPictureBox,
    ::testing::Values(
        BoxCase{"WideScaledToTheWidth", 30, 5, false, {1, 6, 18, 3}},
        BoxCase{"FittingKeepsItsSize", 10, 6, false, {5, 4.5, 10, 6}},
        BoxCase{"TallScaledToTheHeight", 6, 24, false, {8.5, 1.5, 3, 12}},
        BoxCase{"WideAndTallLimitedByTheTighterSide", 36, 30, false, {2.8, 1.5, 14.4, 12}},
        BoxCase{"ExactlyTheBox", 18, 12, false, {1, 1.5, 18, 12}},
        // 1000 x 100 pixels convert to 35 x 3.5 cm; 200 x 100 to 7 x 3.5 cm.
        BoxCase{"WidePixels", 1000, 100, true, {1, 6.6, 18, 1.8}},
        BoxCase{"SmallPixels", 200, 100, true, {6.5, 5.75, 7, 3.5}},
        BoxCase{"SquarePixelsStaySquare", 2000, 2000, true, {4, 1.5, 12, 12}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PdfOutput, FooterAndDefaultPath) {
  EXPECT_EQ(pdf::footerText(QStringLiteral("/w/b.xlsx"), QStringLiteral("Chart 1"), QStringLiteral("Data")),
            QStringLiteral("/w/b.xlsx ,  Chart 1 ,  Data"));
  EXPECT_TRUE(pdf::defaultOutputPath().endsWith(QStringLiteral("/Morvane©.pdf")));
  EXPECT_TRUE(QDir(QFileInfo(pdf::defaultOutputPath()).path()).exists());
}

TEST_F(PdfCommandTest, ThreeIncludedRowsGiveThreePagesInListOrderEachWithItsOwnPicture) {
  include({QStringLiteral("Y"), QStringLiteral("N"), QStringLiteral("Y"), QStringLiteral("Y")});
  std::vector<QColor> expected{rowColour(0), rowColour(2), rowColour(3)};
  w().setListIndex(0);
  // Another program's clipboard content must not reach the first page (row 0 is selected,
  // so selecting it again runs nothing).
  QImage foreign(40, 40, QImage::Format_RGB32);
  foreign.fill(QColor(255, 0, 255));
  QGuiApplication::clipboard()->setImage(foreign);

  w().SonicClick10->click();
  pdf::Dialog1* dialog = pdf->dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dialog Caption"));
  EXPECT_EQ(dialog->label1Text(), QStringLiteral("3 object(s) will be inserted in ") + output +
                                      QStringLiteral("\r\rContinue?"));
  EXPECT_TRUE(dialog->Check1->isChecked());
  EXPECT_TRUE(dialog->Check2->isChecked());
  EXPECT_LT(dialog->SonicClick2->geometry().x(), dialog->SonicClick1->geometry().x());  // OK left of Cancel
  dialog->show();
  dialog->grab().save(testenv::outputDir(QStringLiteral("pdf")) + QStringLiteral("/dialog1.png"));
  dialog->SonicClick2->click();

  EXPECT_EQ(pdf->lastOutcome(), pdf::PdfCommands::Outcome::Written);
  const auto colours = pageColours();
  ASSERT_EQ(colours.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(near(colours[i], expected[i])) << "page " << i + 1;
  const QString workbook = f.tool.workbook->fullName();
  EXPECT_TRUE(pageText(1).contains(QStringLiteral("Chart 1"))) << pageText(1).toStdString();
  EXPECT_TRUE(pageText(2).contains(QStringLiteral("Chart 3")));
  EXPECT_TRUE(pageText(3).contains(QStringLiteral("Sales")));
  EXPECT_TRUE(pageText(3).startsWith(workbook.left(10)));
  EXPECT_EQ(f.desktop.opened, QStringList{output});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(pdf->dialog(), nullptr);  // OK unloads the dialog
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(PdfCommandTest, SlideNumberModeWritesOnlyIncludedRowsWithASlideNumber) {
  w().OptionButton8->click();
  include({QStringLiteral("Y"), QStringLiteral("Y"), QStringLiteral("N"), QStringLiteral("Y")});
  w().setListText(0, 4, QStringLiteral("2"));
  w().setListText(1, 4, QString());          // included, no number: left out
  w().setListText(2, 4, QStringLiteral("1"));  // numbered, not included: left out
  w().setListText(3, 4, QStringLiteral("1"));  // numbers do not reorder the pages
  const QColor first = rowColour(0);
  const QColor last = rowColour(3);
  w().SonicClick10->click();
  ASSERT_NE(pdf->dialog(), nullptr);
  EXPECT_TRUE(pdf->dialog()->label1Text().startsWith(QStringLiteral("2 object(s)")));
  pdf->dialog()->SonicClick2->click();
  const auto colours = pageColours();
  ASSERT_EQ(colours.size(), 2u);
  EXPECT_TRUE(near(colours[0], first));
  EXPECT_TRUE(near(colours[1], last));
}

TEST_F(PdfCommandTest, TheModeAtOkDecidesAndPressingAgainKeepsTheOpenDialog) {
  include({QStringLiteral("Y"), QStringLiteral("Y"), QStringLiteral("Y"), QStringLiteral("N")});
  w().setListText(1, 4, QStringLiteral("1"));
  w().SonicClick10->click();
  pdf::Dialog1* dialog = pdf->dialog();
  ASSERT_NE(dialog, nullptr);
  const QString message = dialog->label1Text();
  EXPECT_TRUE(message.startsWith(QStringLiteral("3 ")));
  w().OptionButton8->click();  // the window stays usable while the dialog is open
  w().SonicClick10->click();
  EXPECT_EQ(pdf->dialog(), dialog);
  EXPECT_EQ(dialog->label1Text(), message);  // not recomputed
  EXPECT_EQ(f.tool.confirmationCount, 1);
  dialog->SonicClick2->click();
  EXPECT_EQ(pdf->lastPageCount(), 1);  // slide-number mode's rows, the mode at OK
  EXPECT_EQ(popplertest::info(output).pages, 1);
}

TEST_F(PdfCommandTest, NothingIncludedLeavesOnlyCancelWhichWritesNothing) {
  include({QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("N")});
  w().SonicClick10->click();
  pdf::Dialog1* dialog = pdf->dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(dialog->SonicClick2->isVisibleTo(dialog));
  EXPECT_TRUE(dialog->SonicClick1->isVisibleTo(dialog));
  dialog->SonicClick1->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(pdf->dialog(), nullptr);
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_EQ(pdf->lastOutcome(), pdf::PdfCommands::Outcome::NotRun);
}

TEST_F(PdfCommandTest, ClearedBoxesWriteNoFooterAndDoNotOpenTheFile) {
  w().SonicClick10->click();
  ASSERT_NE(pdf->dialog(), nullptr);
  pdf->dialog()->Check1->setChecked(false);
  pdf->dialog()->Check2->setChecked(false);
  pdf->dialog()->SonicClick2->click();
  ASSERT_EQ(popplertest::info(output).pages, 4);
  for (int page = 1; page <= 4; ++page) EXPECT_EQ(pageText(page), QString()) << page;
  EXPECT_TRUE(f.desktop.opened.isEmpty());
}

TEST_F(PdfCommandTest, EndsOnRowZeroInTheUsersFormatAfterCapturingBitmaps) {
  w().setComboBox1Value(mainwindow::kEnhancedMetafile);
  w().setListIndex(2);
  w().SonicClick10->click();
  pdf->dialog()->SonicClick2->click();
  EXPECT_EQ(w().pasteFormat(), mainwindow::kEnhancedMetafile);
  EXPECT_EQ(w().listIndex(), 0);
  EXPECT_EQ(int(w().currentRow()), w().listCount());
  // Every page holds a picture although the user's format was the metafile.
  const auto images = popplertest::images(output);
  ASSERT_EQ(images.size(), 4u);
  // 80 x 60 logical pixels at 2.52 cm per 72 pixels: 2.8 x 2.1 cm on the page, holding the
  // bitmap's 160 x 120 pixels.
  EXPECT_EQ(images[0].width, 160);
  EXPECT_EQ(images[0].height, 120);
  EXPECT_NEAR(images[0].width / images[0].xPpi * 2.54, 2.8, 0.02);
  EXPECT_NEAR(images[0].height / images[0].yPpi * 2.54, 2.1, 0.02);
}

TEST_F(PdfCommandTest, AWidePictureKeepsItsProportionsOnThePage) {
  // Each row's picture stretched to 1000 x 100 logical pixels (2000 x 200 at the bitmaps'
  // device pixel ratio of 2): 35 x 3.5 cm converted.
  pdf->setClipboardImage([] { return QGuiApplication::clipboard()->image().scaled(2000, 200); });
  w().SonicClick10->click();
  pdf->dialog()->SonicClick2->click();
  const auto images = popplertest::images(output);
  ASSERT_EQ(images.size(), 4u);
  for (const auto& image : images) {
    SCOPED_TRACE(image.page);
    // The same resolution on both axes is the same aspect as the picture's.
    EXPECT_NEAR(image.xPpi, image.yPpi, 1.0);
    EXPECT_NEAR(image.width / image.xPpi * 2.54, 18.0, 0.1);
  }
}

TEST_F(PdfCommandTest, AnOutputThatCannotBeCreatedShowsTheMessageAndChangesNothing) {
  const QString blocked = dir.filePath(QStringLiteral("no-such-folder/Morvane©.pdf"));
  pdf->setOutputPath(blocked);
  w().setComboBox1Value(mainwindow::kEnhancedMetafile);
  QString formatWhileShown;
  f.messages.onShow = [&](const auto&) { formatWhileShown = w().pasteFormat(); };
  w().SonicClick10->click();
  pdf->dialog()->SonicClick2->click();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, pdf::kCannotBuildMessage);
  EXPECT_EQ(f.messages.shown[0].style, 48);
  EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("Morvane©"));
  EXPECT_EQ(formatWhileShown, mainwindow::kEnhancedMetafile);
  EXPECT_EQ(w().pasteFormat(), mainwindow::kEnhancedMetafile);
  EXPECT_FALSE(QFile::exists(blocked));
  EXPECT_TRUE(f.desktop.opened.isEmpty());
  EXPECT_FALSE(f.tool.ended());
}

// A row whose picture cannot be made, at copy time or when it is read, gets an empty page
// (never the previous row's picture); the run goes on, and one message names the row.
class PdfMissingPicture : public PdfCommandTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PdfMissingPicture, ItsPageStaysEmptyAndTheRunGoesOn) {
  const bool atCopy = GetParam();
  std::vector<QColor> expected{rowColour(0), QColor(Qt::white), rowColour(2), rowColour(3)};
  if (atCopy) {
    f.office.sheet(QStringLiteral("Data"))->charts[1]->unreadable = true;
  } else {
    pdf->setClipboardImage(
        [this] { return w().listIndex() == 1 ? QImage() : QGuiApplication::clipboard()->image(); });
  }
  w().SonicClick10->click();
  ASSERT_NE(pdf->dialog(), nullptr);
  pdf->dialog()->SonicClick2->click();

  EXPECT_EQ(pdf->lastOutcome(), pdf::PdfCommands::Outcome::Written);
  EXPECT_EQ(pdf->lastPageCount(), 4);
  const auto colours = pageColours();
  ASSERT_EQ(colours.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(near(colours[i], expected[i])) << "page " << i + 1;
  EXPECT_EQ(pageText(2), QString());  // no footer either
  ASSERT_EQ(pdf->lastMissingPictures().size(), 1u);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].style, startup::vbExclamation);
  EXPECT_TRUE(f.messages.shown[0].prompt.contains(
      "\r\rChart 2 (Data): " + (atCopy ? QString("Invalid picture") : QString("no picture"))))
      << f.messages.shown[0].prompt.toStdString();
  EXPECT_FALSE(f.tool.ended());
}

INSTANTIATE_TEST_SUITE_P(Failures, PdfMissingPicture, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "AtCopy" : "WhenRead");
                         });
