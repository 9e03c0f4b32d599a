// The GUI front end run in-process as a user runs it: its windows are found and clicked, its
// message boxes answered and its file dialogs filled while runGui's own event loops run.
#include "app/gui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/batch.h"
#include "app/deck_parts.h"
#include "app/file_choosers.h"
#include "app/ui_script.h"
#include "hosts/presentation/loader.h"
#include "hosts/workbook/host.h"
#include "mainwindow/controls.h"
#include "mainwindow/user_form_obj.h"
#include "ooxml/package.h"
#include "paste/confirm_dialog.h"
#include "paste/paste_commands.h"
#include "paste/progress_window.h"
#include "pdf/pdf_dialog.h"
#include "registry/registry.h"
#include "startup/start_tool.h"

using namespace morvane;

using apptest::fileBytes;
using apptest::readDeck;
using apptest::UiScript;
using mainwindow::UserFormObj;

namespace {

QString sample(const QString& folder) {
  const QString path = QDir(folder).filePath(QStringLiteral("sample-sales.xlsx"));
  QFile::copy(QStringLiteral(MORVANE_SOURCE_DIR "/examples/sample-sales.xlsx"), path);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  return path;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(bytes);
  return path;
}

// The runs' settings (last folder, recent workbooks) go to a folder of this binary's own.
class TemporarySettings : public ::testing::Environment {
 public:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
  }

 private:
  QTemporaryDir m_dir;
};
const auto* const kSettings = ::testing::AddGlobalTestEnvironment(new TemporarySettings);

void clearSettings() { QSettings(QStringLiteral("morvane"), QStringLiteral("morvane")).clear(); }

// Clicks the button of `box` captioned `caption`.
void clickButton(QMessageBox* box, const QString& caption) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == caption) return b->click();
  ADD_FAILURE() << "no button " << caption.toStdString();
  box->reject();
}

// Runs the front end while the script plays the user; every step must have been reached and
// no message box may have come unasked.
int runScripted(UiScript& script, const QStringList& args) {
  script.start();
  const int status = morvane::app::runGui(args);
  script.stop();
  EXPECT_TRUE(script.timedOut().isEmpty())
      << "waited in vain for " << script.timedOut().toStdString();
  EXPECT_TRUE(script.finished()) << "the front end returned before the script's last step";
  EXPECT_TRUE(script.unexpected().isEmpty())
      << script.unexpected().join(QStringLiteral(" | ")).toStdString();
  return status;
}

// A real one-sheet workbook with a number in A1: no chart and no name, so nothing to paste.
QString workbookWithoutObjects(const QString& path) {
  auto package = ooxml::Package::create(path);
  const QString book = QStringLiteral("/xl/workbook.xml");
  package->addRelationship(QStringLiteral("/"),
                           QString::fromLatin1(ooxml::reltype::kOfficeDocument), book);
  const QString sheetId = package->addRelationship(book, ooxml::reltype::officeRel("worksheet"),
                                                   QStringLiteral("/xl/worksheets/sheet1.xml"));
  const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  package->write(
      book,
      "<workbook " + ns +
          " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
          "<sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"" +
          sheetId.toUtf8() + "\"/></sheets></workbook>",
      QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"));
  package->write(
      QStringLiteral("/xl/worksheets/sheet1.xml"),
      "<worksheet " + ns +
          "><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>",
      QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"));
  EXPECT_TRUE(package->save(path).ok());
  return path;
}

// A deck with `slides` blank slides, written by the presentation host.
QString deckWithSlides(const QString& path, int slides) {
  auto opened = hosts::presentation::openPresentation(path);
  EXPECT_TRUE(opened.ok());
  if (!opened.ok()) return path;
  auto pres = opened.value().application->activePresentation();
  for (int s = 1; s <= slides; ++s) pres->slidesAdd(s, ppt::ppLayoutBlank);
  opened.value().application->save();
  return path;
}

// A click on the list row, where the user's mouse would land.
void clickRow(UserFormObj* window, int row) {
  QTreeWidgetItem* item = window->listCharts->topLevelItem(row);
  ASSERT_TRUE(item);
  window->listCharts->scrollToItem(item);
  QTest::mouseClick(window->listCharts->viewport(), Qt::LeftButton, {},
                    window->listCharts->visualItemRect(item).center());
}

void clickClose(UserFormObj* window) { window->SonicClick6->click(); }

const QStringList kSampleObjects{"Chart 1/Sales",    "Chart 2/Sales",
                                 "Chart 3/Regions",  "{Chart Sheet}/Overview",
                                 "SalesTable/Sales", "RegionShares/Regions"};

}  // namespace

TEST(GuiFrontEnd, WithBothFilesPasteToPowerPointFillsTheDeckAndDiscardKeepsTheWorkbook) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  const QByteArray bookBefore = fileBytes(book);
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  QStringList listed;
  QString confirmation;
  int slidesSavedByThePaste = -1;

  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               for (int r = 0; r < window->listCount(); ++r)
                                 listed << window->listText(r, 0) + QLatin1Char('/') +
                                               window->listText(r, 1);
                               window->SonicClick19->click();  // Paste to PowerPoint
                             })
      .onWindow<paste::Dialog>(QStringLiteral("the confirmation dialog"),
                               [&](paste::Dialog* dialog) {
                                 confirmation = dialog->label1Text();
                                 dialog->SonicClick1->click();  // OK
                               })
      .onWindow<paste::Progress>(
          QStringLiteral("the finished progress window"),
          [&](paste::Progress* progress) {
            slidesSavedByThePaste = readDeck(deck).slideCount();
            progress->SonicClick2->click();  // Cancel closes the tool
          },
          [](paste::Progress* progress) {
            return paste::Progress::caption(progress->Label2) == paste::kDone;
          })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book, deck}), morvane::app::kExitDone);

  EXPECT_EQ(listed, kSampleObjects);
  EXPECT_TRUE(confirmation.startsWith(QStringLiteral("6 object(s) will be pasted to ")))
      << confirmation.toStdString();
  EXPECT_EQ(slidesSavedByThePaste, 6) << "the paste command saves the deck when it ends";
  const auto pasted = readDeck(deck);
  ASSERT_EQ(pasted.slideCount(), 6) << pasted.error.toStdString();
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(pasted.pictureCount(s), 1) << "slide " << s;
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(opened.value().application->activePresentation()->slide(6)->layout(),
            ppt::ppLayoutTitleOnly);

  ASSERT_EQ(script.messages().size(), 1);
  EXPECT_TRUE(script.messages()[0].contains(QStringLiteral("sample-sales.xlsx")))
      << script.messages()[0].toStdString();
  EXPECT_EQ(fileBytes(book), bookBefore) << "Discard wrote the workbook";
}

// Selecting a chart off the active sheet (Chart 3 on Regions) works like any other row.
TEST(GuiFrontEnd, ClickingEachRowShowsItsPreview) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  QStringList counters;
  int previews = 0;
  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               for (int r = window->listCount() - 1; r >= 0; --r) {
                                 clickRow(window, r);
                                 if (window->isUnloaded()) return;  // the tool ended
                                 counters << UserFormObj::caption(window->lblChtDisplayCnt);
                                 if (window->previewPicture()) ++previews;
                               }
                               clickClose(window);
                             })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book, dir.filePath(QStringLiteral("deck.pptx"))}),
            morvane::app::kExitDone);
  EXPECT_EQ(previews, 6);
  ASSERT_EQ(counters.size(), 6);
  EXPECT_EQ(counters.front(), QStringLiteral("Objects:    6 of 6"));
  EXPECT_EQ(counters.back(), QStringLiteral("Objects:    1 of 6"));
}

TEST(GuiFrontEnd, SlideNumberModePastesOntoTheNumberedSlide) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  const QString deck = deckWithSlides(dir.filePath(QStringLiteral("three.pptx")), 3);
  ASSERT_EQ(readDeck(deck).slideCount(), 3);
  QString confirmation;
  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               window->OptionButton8->click();  // slide-number mode
                               if (window->isUnloaded()) return;
                               clickRow(window, 0);  // Chart 1
                               QTest::keyClicks(window->TextBox10, QStringLiteral("3"));
                               window->SonicClick19->click();
                             })
      .onWindow<paste::Dialog>(QStringLiteral("the confirmation dialog"),
                               [&](paste::Dialog* dialog) {
                                 confirmation = dialog->label1Text();
                                 dialog->SonicClick1->click();
                               })
      .onWindow<paste::Progress>(
          QStringLiteral("the finished progress window"),
          [](paste::Progress* progress) { progress->SonicClick2->click(); },
          [](paste::Progress* progress) {
            return paste::Progress::caption(progress->Label2) == paste::kDone;
          })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book, deck}), morvane::app::kExitDone);
  EXPECT_TRUE(confirmation.startsWith(QStringLiteral("1 object(s)"))) << confirmation.toStdString();
  const auto pasted = readDeck(deck);
  ASSERT_EQ(pasted.slideCount(), 3);
  EXPECT_EQ(pasted.pictureCount(1), 0);
  EXPECT_EQ(pasted.pictureCount(2), 0);
  EXPECT_EQ(pasted.pictureCount(3), 1);
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(opened.value().application->activePresentation()->slide(3)->layout(),
            ppt::ppLayoutTitleOnly);
}

TEST(GuiFrontEnd, SaveWritesTheRegistryAndAnUnchangedWorkbookIsNotAskedAbout) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  const QByteArray original = fileBytes(book);
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));

  // The question names the workbook and offers Save and Discard; Enter saves.
  QString question;
  QMessageBox::StandardButtons offered;
  UiScript first;
  first.onWindow<UserFormObj>(QStringLiteral("the main window"), clickClose)
      .onModal<QMessageBox>(QStringLiteral("the workbook save question"), [&](QMessageBox* box) {
        question = box->text();
        offered = box->standardButtons();
        QTest::keyClick(box, Qt::Key_Return);
      });
  EXPECT_EQ(runScripted(first, {book, deck}), morvane::app::kExitDone);
  EXPECT_TRUE(question.contains(QStringLiteral("sample-sales.xlsx"))) << question.toStdString();
  EXPECT_EQ(offered, QMessageBox::Save | QMessageBox::Discard);
  EXPECT_FALSE(QFile::exists(deck)) << "opening and closing the window wrote a deck";
  const QByteArray saved = fileBytes(book);
  EXPECT_NE(saved, original);
  auto reopened = hosts::workbook::openWorkbook(book);
  ASSERT_TRUE(reopened.ok()) << reopened.error().message.toStdString();
  auto workbook = reopened.value().application->activeWorkbook();
  ASSERT_TRUE(workbook);
  EXPECT_TRUE(registry::WorksheetExists(*workbook, registry::kRegistrySheet));

  // The saved workbook already holds the registry and the chart names: nothing to ask.
  UiScript second;
  second.onWindow<UserFormObj>(QStringLiteral("the main window"), clickClose);
  EXPECT_EQ(runScripted(second, {book, deck}), morvane::app::kExitDone);
  EXPECT_TRUE(second.messages().isEmpty());
  EXPECT_EQ(fileBytes(book), saved);
}

// The list's edits and mode reach the workbook only through Save; the next start shows them.
TEST(GuiFrontEnd, EditsSurviveSaveAndAreGoneAfterDiscard) {
  for (const auto answer : {QMessageBox::Save, QMessageBox::Discard}) {
    SCOPED_TRACE(answer == QMessageBox::Save ? "Save" : "Discard");
    QTemporaryDir dir;
    const QString book = sample(dir.path());
    const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
    UiScript edit;
    edit.onWindow<UserFormObj>(QStringLiteral("the main window"),
                               [](UserFormObj* window) {
                                 clickRow(window, 1);            // Chart 2
                                 window->SonicClick21->click();  // Include? -> N
                                 QTest::keyClicks(window->TextBox1, QStringLiteral("Regional"));
                                 window->SpinButton1->upButton()->click();  // Move Up
                                 window->OptionButton8->click();            // slide-number mode
                                 QTest::keyClicks(window->TextBox10, QStringLiteral("4"));
                                 clickClose(window);
                               })
        .answerMessage(QStringLiteral("the workbook save question"), answer);
    EXPECT_EQ(runScripted(edit, {book, deck}), morvane::app::kExitDone);

    QStringList firstRow;
    bool numberMode = false;
    UiScript look;
    look.onWindow<UserFormObj>(QStringLiteral("the main window again"), [&](UserFormObj* window) {
      for (int c : {0, 2, 3, 4, 5}) firstRow << window->listText(0, c);
      numberMode = window->isNumberMode();
      clickClose(window);
    });
    if (answer == QMessageBox::Discard)
      look.answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
    EXPECT_EQ(runScripted(look, {book, deck}), morvane::app::kExitDone);
    if (answer == QMessageBox::Save) {
      EXPECT_EQ(firstRow, (QStringList{"Chart 2", "N", "1", "4", "Regional"}));
      EXPECT_TRUE(numberMode);
    } else {
      EXPECT_EQ(firstRow, (QStringList{"Chart 1", "Y", "1", "", ""}));
      EXPECT_FALSE(numberMode);
    }
  }
}

// Refresh runs start-up again on the workbook in memory: it works even with the file gone.
TEST(GuiFrontEnd, RefreshReattachesToTheWorkbookInMemory) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  QPointer<UserFormObj> first;
  QStringList listed;
  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               first = window;
                               ASSERT_TRUE(QFile::remove(book));
                               window->CommandButton5->click();  // Refresh
                             })
      .onWindow<UserFormObj>(
          QStringLiteral("the refreshed main window"),
          [&](UserFormObj* window) {
            for (int r = 0; r < window->listCount(); ++r)
              listed << window->listText(r, 0) + QLatin1Char('/') + window->listText(r, 1);
            clickClose(window);
          },
          [&](UserFormObj* window) { return window != first.data(); })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book, dir.filePath(QStringLiteral("deck.pptx"))}),
            morvane::app::kExitDone);
  EXPECT_EQ(listed, kSampleObjects);
  EXPECT_FALSE(QFile::exists(book));  // Discard wrote nothing back
}

TEST(GuiFrontEnd, WithoutArgumentsCancellingTheWorkbookDialogGivesTheNoWorkbookMessage) {
  clearSettings();
  UiScript script;
  script.answerFileDialog(QStringLiteral("the workbook dialog"), QString())
      .answerMessage(QStringLiteral("the missing workbook message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(script, {}), morvane::app::kExitRefused);
  EXPECT_EQ(script.fileDialogs(), QStringList{QStringLiteral("Morvane© - open a workbook")});
  EXPECT_EQ(script.messages(), QStringList{morvane::startup::kNoWorkbookMessage});
}

TEST(GuiFrontEnd, ARefusalAtStartWritesNoDeckButAsksAboutTheChangedWorkbook) {
  QTemporaryDir dir;
  const QString book = workbookWithoutObjects(dir.filePath(QStringLiteral("plain.xlsx")));
  const QByteArray before = fileBytes(book);
  ASSERT_FALSE(before.isEmpty());
  UiScript script;
  script.answerMessage(QStringLiteral("the no-objects message"), QMessageBox::Ok)
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book, dir.filePath(QStringLiteral("deck.pptx"))}),
            morvane::app::kExitRefused);
  ASSERT_EQ(script.messages().size(), 2);
  EXPECT_EQ(script.messages()[0], morvane::startup::kNoObjectsMessage);
  EXPECT_TRUE(script.messages()[1].contains(QStringLiteral("plain.xlsx")));
  EXPECT_EQ(fileBytes(book), before);
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("deck.pptx")))) << "nothing was pasted";
}

TEST(GuiFrontEnd, TheFileDialogsChooseTheWorkbookAndANewDeckIsWrittenOnlyByAPaste) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  const QString deck = dir.filePath(QStringLiteral("chosen.pptx"));
  int listed = -1;
  QString status;
  clearSettings();
  UiScript script;
  script.answerFileDialog(QStringLiteral("the workbook dialog"), book)
      .onModal<QMessageBox>(QStringLiteral("open or new deck"),
                            [](QMessageBox* box) { clickButton(box, QStringLiteral("New deck…")); })
      .answerFileDialog(QStringLiteral("the new deck dialog"),
                        dir.filePath(QStringLiteral("chosen")))
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               listed = window->listCount();
                               status = UserFormObj::caption(window->Label19);
                               clickClose(window);
                             })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {}), morvane::app::kExitDone);
  EXPECT_EQ(script.fileDialogs(), QStringList({QStringLiteral("Morvane© - open a workbook"),
                                               QStringLiteral("Morvane© - new deck")}));
  EXPECT_EQ(listed, 6);
  EXPECT_TRUE(status.endsWith(QStringLiteral("Active PPT file: chosen.pptx")))
      << status.toStdString();
  EXPECT_FALSE(QFile::exists(deck)) << "nothing was pasted";
}

TEST(GuiFrontEnd, CancellingThePresentationDialogLeavesNoPresentationToPasteInto) {
  QTemporaryDir dir;
  const QString book = sample(dir.path());
  const int filesBefore = int(QDir(dir.path()).entryList(QDir::Files).size());
  UiScript script;
  script
      .onModal<QMessageBox>(QStringLiteral("open or new deck"),
                            [](QMessageBox* box) { clickButton(box, QStringLiteral("Open…")); })
      .answerFileDialog(QStringLiteral("the presentation dialog"), QString())
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [](UserFormObj* window) { window->SonicClick19->click(); })
      .answerMessage(QStringLiteral("the no-presentation message"), QMessageBox::Ok)
      .onWindow<UserFormObj>(QStringLiteral("the main window again"), clickClose)
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {book}), morvane::app::kExitDone);
  EXPECT_EQ(script.fileDialogs(),
            QStringList{QStringLiteral("Morvane© - presentation to paste into")});
  ASSERT_EQ(script.messages().size(), 2);
  EXPECT_EQ(script.messages()[0], paste::kNoPresentationMessage);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), filesBefore);
}

TEST(GuiFrontEnd, AFileThatCannotBeReadIsNamedAndLeftUntouchedWithStatusTwo) {
  QTemporaryDir dir;
  const QString junkBook =
      writeFile(dir.filePath(QStringLiteral("junk.xlsx")), "this is not a zip file at all");
  UiScript notAWorkbook;
  notAWorkbook.answerMessage(QStringLiteral("the unreadable workbook message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(notAWorkbook, {junkBook}), morvane::app::kExitUnreadable);
  ASSERT_EQ(notAWorkbook.messages().size(), 1);
  EXPECT_TRUE(notAWorkbook.messages()[0].contains(QStringLiteral("junk.xlsx")))
      << notAWorkbook.messages()[0].toStdString();
  EXPECT_EQ(fileBytes(junkBook), QByteArray("this is not a zip file at all"));

  // A workbook that is not there: named, and not created.
  const QString missing = dir.filePath(QStringLiteral("missing.xlsx"));
  UiScript notThere;
  notThere.answerMessage(QStringLiteral("the missing workbook message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(notThere, {missing}), morvane::app::kExitUnreadable);
  ASSERT_EQ(notThere.messages().size(), 1);
  EXPECT_TRUE(notThere.messages()[0].contains(QStringLiteral("missing.xlsx")));
  EXPECT_FALSE(QFile::exists(missing));

  // A good workbook with a deck that is no deck: neither file is written.
  const QString book = sample(dir.path());
  const QByteArray bookBefore = fileBytes(book);
  const QString junkDeck =
      writeFile(dir.filePath(QStringLiteral("junk.pptx")), "PK\x03\x04 truncated");
  UiScript notADeck;
  notADeck.answerMessage(QStringLiteral("the unreadable deck message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(notADeck, {book, junkDeck}), morvane::app::kExitUnreadable);
  ASSERT_EQ(notADeck.messages().size(), 1);
  EXPECT_TRUE(notADeck.messages()[0].contains(QStringLiteral("junk.pptx")))
      << notADeck.messages()[0].toStdString();
  EXPECT_EQ(fileBytes(junkDeck), QByteArray("PK\x03\x04 truncated"));
  EXPECT_EQ(fileBytes(book), bookBefore);
}

TEST(GuiFrontEnd, AWorkbookSaveThatFailsIsReportedWithStatusThree) {
  QTemporaryDir bookDir;
  QTemporaryDir deckDir;
  const QString book = sample(bookDir.path());
  const QString deck = deckWithSlides(deckDir.filePath(QStringLiteral("deck.pptx")), 1);
  UiScript script;
  // The workbook's folder vanishes while the tool holds the workbook in memory.
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               QDir(bookDir.path()).removeRecursively();
                               clickClose(window);
                             })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Save)
      .answerMessage(QStringLiteral("the failed save message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(script, {book, deck}), morvane::app::kExitUnwritable);
  ASSERT_EQ(script.messages().size(), 2);
  EXPECT_TRUE(script.messages()[1].contains(QStringLiteral("sample-sales.xlsx")))
      << script.messages()[1].toStdString();
  EXPECT_FALSE(QFile::exists(book));
  EXPECT_EQ(readDeck(deck).slideCount(), 1) << "the deck is still saved";
}

// "Create  PDF" from the window: the dialog names the real file in the documents folder (the
// home folder here, which has none), OK writes a page per object while the window stays.
TEST(GuiFrontEnd, CreatePdfWritesEveryObjectIntoTheNamedFile) {
  QTemporaryDir dir;
  QTemporaryDir home;
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", home.path().toUtf8());
  const QString book = sample(dir.path());
  const QString pdfPath = home.filePath(QStringLiteral("Morvane©.pdf"));
  QString message;
  bool windowStayed = false;
  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [](UserFormObj* window) { window->SonicClick10->click(); })
      .onWindow<pdf::Dialog1>(QStringLiteral("the PDF dialog"),
                              [&](pdf::Dialog1* dialog) {
                                message = dialog->label1Text();
                                dialog->Check2->setChecked(false);  // no viewer offscreen
                                dialog->SonicClick2->click();       // OK
                              })
      .onWindow<UserFormObj>(QStringLiteral("the main window after the export"),
                             [&](UserFormObj* window) {
                               windowStayed = true;
                               clickClose(window);
                             })
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  const int status = runScripted(script, {book, dir.filePath(QStringLiteral("deck.pptx"))});
  qputenv("HOME", oldHome);
  EXPECT_EQ(status, morvane::app::kExitDone);
  EXPECT_EQ(message, QStringLiteral("6 object(s) will be inserted in ") + pdfPath +
                         QStringLiteral("\r\rContinue?"));
  EXPECT_TRUE(windowStayed);
  QFile written(pdfPath);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QByteArray bytes = written.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 6);
}

// Drags `path` over the list of `window` and, when the window takes it, drops it there.
bool dropOn(UserFormObj* window, const QString& path) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  const QPoint at = window->listCharts->geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &drop);
  return true;
}

// A workbook dropped on the main window: the save question about the current one, then
// start-up on the dropped one with the same deck. Other files are not taken.
TEST(GuiFrontEnd, ADroppedWorkbookIsOpenedAfterTheSaveQuestionAboutTheCurrentOne) {
  QTemporaryDir dir;
  const QString first = sample(dir.path());
  const QString second = dir.filePath(QStringLiteral("second.xlsx"));
  ASSERT_TRUE(QFile::copy(first, second));
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  bool textTaken = true, bookTaken = false;
  QString secondStatus;
  UiScript script;
  script
      .onWindow<UserFormObj>(QStringLiteral("the main window"),
                             [&](UserFormObj* window) {
                               textTaken =
                                   dropOn(window, dir.filePath(QStringLiteral("notes.txt")));
                               bookTaken = dropOn(window, second);
                             })
      .answerMessage(QStringLiteral("the save question about the first"), QMessageBox::Discard)
      .onWindow<UserFormObj>(
          QStringLiteral("the main window on the dropped workbook"),
          [&](UserFormObj* window) {
            secondStatus = UserFormObj::caption(window->Label19);
            clickClose(window);
          },
          [](UserFormObj* window) { return !window->isUnloaded(); })
      .answerMessage(QStringLiteral("the save question about the second"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(script, {first, deck}), morvane::app::kExitDone);
  EXPECT_FALSE(textTaken);
  EXPECT_TRUE(bookTaken);
  ASSERT_EQ(script.messages().size(), 2);
  EXPECT_TRUE(script.messages()[0].contains(QStringLiteral("sample-sales.xlsx")));
  EXPECT_TRUE(script.messages()[1].contains(QStringLiteral("second.xlsx")));
  EXPECT_TRUE(secondStatus.startsWith(QStringLiteral("Active XLS file: second.xlsx")));
  EXPECT_TRUE(secondStatus.endsWith(QStringLiteral("deck.pptx"))) << secondStatus.toStdString();

  // A dropped file that is no workbook is named and the chooser, listing the workbook just
  // closed, comes back.
  const QString junk = writeFile(dir.filePath(QStringLiteral("junk.xlsm")), "not a zip");
  QStringList offered;
  UiScript bad;
  bad.onWindow<UserFormObj>(QStringLiteral("the main window"),
                            [&](UserFormObj* window) { dropOn(window, junk); })
      .answerMessage(QStringLiteral("the save question"), QMessageBox::Discard)
      .answerMessage(QStringLiteral("the unreadable workbook message"), QMessageBox::Ok)
      .onModal<QDialog>(QStringLiteral("the workbook chooser"), [&](QDialog* chooser) {
        if (auto* list = chooser->findChild<QListWidget*>())
          for (int r = 0; r < list->count(); ++r) offered << list->item(r)->text();
        chooser->reject();
      });
  EXPECT_EQ(runScripted(bad, {first, deck}), morvane::app::kExitUnreadable);
  ASSERT_EQ(bad.messages().size(), 2);
  EXPECT_TRUE(bad.messages()[1].contains(QStringLiteral("junk.xlsm")));
  EXPECT_EQ(offered.value(0), QStringLiteral("sample-sales.xlsx"));
}

// A chosen workbook that cannot be read is named, and the chooser comes back.
TEST(GuiFrontEnd, AnUnreadableChosenWorkbookBringsTheChooserBack) {
  QTemporaryDir dir;
  clearSettings();
  const QString junk = writeFile(dir.filePath(QStringLiteral("junk.xlsx")), "not a zip");
  const QString book = sample(dir.path());
  UiScript script;
  script.answerFileDialog(QStringLiteral("the workbook dialog"), junk)
      .answerMessage(QStringLiteral("the unreadable workbook message"), QMessageBox::Ok)
      .answerFileDialog(QStringLiteral("the workbook dialog again"), QString());
  EXPECT_EQ(runScripted(script, {}), morvane::app::kExitUnreadable);
  EXPECT_EQ(script.fileDialogs().size(), 2);
  ASSERT_EQ(script.messages().size(), 1);
  EXPECT_TRUE(script.messages()[0].contains(QStringLiteral("junk.xlsx")));

  UiScript retry;
  retry.answerFileDialog(QStringLiteral("the workbook dialog"), junk)
      .answerMessage(QStringLiteral("the unreadable workbook message"), QMessageBox::Ok)
      .answerFileDialog(QStringLiteral("the workbook dialog again"), book)
      .answerMessage(QStringLiteral("open or new deck"), QMessageBox::Cancel)
      .onWindow<UserFormObj>(QStringLiteral("the main window"), clickClose)
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(retry, {}), morvane::app::kExitDone);
}

// The chooser lists the last workbooks opened, latest first, at most eight; the file dialog
// starts in the folder last used.
TEST(GuiFrontEnd, TheChooserListsTheLastEightWorkbooksAndTheDialogStartsInTheLastFolder) {
  QTemporaryDir dir;
  clearSettings();
  QStringList books;
  for (int i = 0; i < 10; ++i)
    books << writeFile(dir.filePath(QStringLiteral("book%1.xlsx").arg(i)), "listed only");
  for (const QString& b : books) morvane::app::rememberWorkbook(b);
  QFile::remove(books[8]);  // a workbook that is gone is not offered
  const QStringList recent = morvane::app::recentWorkbooks();
  EXPECT_EQ(recent.size(), 8);
  EXPECT_EQ(recent.first(), books[9]);
  EXPECT_FALSE(recent.contains(books[8]));

  QTemporaryDir other;
  const QString book = sample(other.path());
  morvane::app::rememberWorkbook(book);
  QStringList listed;
  QString startFolder;
  UiScript script;
  script
      .onModal<QDialog>(QStringLiteral("the workbook chooser"),
                        [&](QDialog* chooser) {
                          auto* list =
                              chooser->findChild<QListWidget*>(QStringLiteral("recentWorkbooks"));
                          ASSERT_TRUE(list);
                          for (int r = 0; r < list->count(); ++r) listed << list->item(r)->text();
                          chooser->findChild<QPushButton*>(QStringLiteral("browse"))->click();
                        })
      .onModal<QFileDialog>(QStringLiteral("the workbook dialog"),
                            [&](QFileDialog* dialog) {
                              startFolder = dialog->directory().absolutePath();
                              dialog->reject();
                            })
      .answerMessage(QStringLiteral("the missing workbook message"), QMessageBox::Ok);
  EXPECT_EQ(runScripted(script, {}), morvane::app::kExitRefused);
  ASSERT_EQ(listed.size(), 8);
  EXPECT_EQ(listed.first(), QStringLiteral("sample-sales.xlsx"));
  EXPECT_EQ(startFolder, QDir(other.path()).absolutePath());

  // Open takes the first, the latest.
  UiScript reopen;
  reopen
      .onModal<QDialog>(QStringLiteral("the workbook chooser"),
                        [](QDialog* chooser) { chooser->accept(); })
      .answerMessage(QStringLiteral("open or new deck"), QMessageBox::Cancel)
      .onWindow<UserFormObj>(QStringLiteral("the main window"), clickClose)
      .answerMessage(QStringLiteral("the workbook save question"), QMessageBox::Discard);
  EXPECT_EQ(runScripted(reopen, {}), morvane::app::kExitDone);
  EXPECT_TRUE(reopen.messages().last().contains(QStringLiteral("sample-sales.xlsx")));
}
