// The main window on a real workbook through the workbook host: the list it loads and
// screenshots of both modes with the host's own chart pictures in the preview.
#include "mainwindow_fixture.h"

#include "office/automation_error.h"
#include "hosts/workbook/host.h"
#include "support/test_env.h"

#include <QDir>
#include <QTemporaryDir>

using namespace morvane;

using namespace mwtest;

namespace {

// The spreadsheet program is the workbook host; no presentation program runs.
class HostSession : public office::OfficeSession {
 public:
  explicit HostSession(std::shared_ptr<excel::Application> excel) : m_excel(std::move(excel)) {}
  std::shared_ptr<excel::Application> attachExcel() override { return m_excel; }
  std::shared_ptr<ppt::Application> attachPowerPoint() override {
    throw office::AutomationError::cantCreateObject();
  }
  std::shared_ptr<ppt::Application> createPowerPoint() override {
    throw office::AutomationError::cantCreateObject();
  }
  void saveAfterCommand() override {}

 private:
  std::shared_ptr<excel::Application> m_excel;
};

}  // namespace

TEST(RealWorkbook, ListsTheWorkbooksChartsAndShowsThemInBothModes) {
  const QString corpus = testenv::corpusDir("xlsx");
  MORVANE_REQUIRE(!corpus.isEmpty(), "the xlsx corpus");
  const QString source = corpus + "/phps_three_pie3d_one_sheet.xlsx";
  MORVANE_REQUIRE(QFileInfo::exists(source), source.toStdString());
  // The host never writes the file by opening it, but the tool changes the workbook in
  // memory; a copy keeps the corpus out of reach all the same.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("Pies.xlsx");
  ASSERT_TRUE(QFile::copy(source, path));
  auto opened = hosts::workbook::openWorkbook(path);
  ASSERT_TRUE(opened) << opened.error().message.toStdString();

  HostSession session(opened->application);
  fake::RecordingMessages messages;
  fake::RecordingDesktop desktop;
  desktop.processEvents = false;
  morvane::startup::Tool tool(session, messages, desktop);
  {
    mainwindow::MainForms forms(tool);
    try {
      morvane::startup::StartTool(tool);
    } catch (const office::AutomationError& error) {
      // The list load selects row 0, which has the host copy that chart's picture.
      if (error.description().contains("Copy"))
        GTEST_SKIP() << "the workbook host cannot copy pictures in this build: "
                     << error.description().toStdString();
      throw;
    }
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].prompt.toStdString();
    mainwindow::UserFormObj& w = *forms.mainWindow();
    ASSERT_EQ(w.listCount(), 3);
    EXPECT_EQ(w.listText(0, 0), "Chart 1");
    EXPECT_EQ(mainwindow::UserFormObj::caption(w.Label19),
              "Active XLS file: Pies.xlsx\rActive PPT file: No Active presentation is running");

    w.setListIndex(1);
    ASSERT_NE(w.previewPicture(), nullptr);  // the host's bitmap of the chart
    // Drawn at 192 dpi: twice the pixels of its size in points at 96 dpi.
    const QSizeF points = w.previewPicture()->naturalSize();
    EXPECT_EQ(w.previewPicture()->image().size(), (points * 96.0 / 72.0 * 2).toSize());
    const QString out = testenv::outputDir("mainwindow");
    ASSERT_TRUE(w.grab().save(out + "/real_title_mode.png"));
    w.setOptionButton8(true);
    w.setPasteFormat("Enhanced Metafile");
    ASSERT_TRUE(w.grab().save(out + "/real_number_mode.png"));
    EXPECT_TRUE(w.isNumberMode());
    EXPECT_EQ(w.listIndex(), 0);
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
