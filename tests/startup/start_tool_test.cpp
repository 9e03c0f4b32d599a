// Start-up's road, its refusals and the failure rule, on the office double.
#include "startup/start_tool.h"
#include "support/office_double.h"

#include <gtest/gtest.h>

using namespace morvane;

using fake::ToolFixture;
using morvane::startup::vbExclamation;
using morvane::startup::vbInformation;
using office::Variant;
using testbook::ChartOutline;
using testbook::NameOutline;
using testbook::SheetOutline;
using testbook::WorkbookOutline;

namespace {

class RecordingForms : public morvane::startup::Forms {
 public:
  explicit RecordingForms(fake::CallLog& log) : m_log(log) {}
  void showSplash() override { m_log.call("Forms.ShowSplash"); }
  void unloadSplash() override { m_log.call("Forms.UnloadSplash"); }
  void loadMainWindow() override { m_log.call("Forms.LoadMainWindow"); }
  void showMainWindow() override { m_log.call("Forms.ShowMainWindow"); }
  void unloadMainWindow() override { m_log.call("Forms.UnloadMainWindow"); }
  void showClosing() override { m_log.call("Forms.ShowClosing"); }
  void unloadClosing() override { m_log.call("Forms.UnloadClosing"); }

 private:
  fake::CallLog& m_log;
};

SheetOutline worksheet(const QString& name, QStringList charts = {}) {
  SheetOutline s;
  s.name = name;
  for (const auto& c : charts) s.charts.push_back(ChartOutline{c, {}});
  return s;
}

class StartToolTest : public ::testing::Test {
 protected:
  StartToolTest() : forms(f.office.log) { f.tool.forms = &forms; }
  void start() { morvane::startup::StartTool(f.tool); }
  QStringList chartNames(const QString& sheet) {
    QStringList out;
    for (const auto& c : f.office.sheet(sheet)->charts) out << c->name;
    return out;
  }
  ToolFixture f;
  RecordingForms forms;
};

}  // namespace

TEST_F(StartToolTest, NoRunningSpreadsheetProgram) {
  f.office.excelRunning = false;
  start();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "No running Excel instance found");
  EXPECT_EQ(f.messages.shown[0].style, vbExclamation);
  EXPECT_EQ(f.messages.shown[0].title, "Morvane©");
  EXPECT_TRUE(f.tool.ended());
  EXPECT_EQ(f.office.log.count("Forms."), 0);
}

TEST_F(StartToolTest, NoActiveWorkbook) {
  start();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "An Excel instance found but no Activeworkbook");
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(StartToolTest, ProtectedWorkbookWithoutRegistryIsLeftUntouched) {
  WorkbookOutline outline;
  outline.protectStructure = true;
  outline.sheets = {worksheet("Sheet1", {"Sales"})};
  f.office.openWorkbook(outline);
  start();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt,
            "              The workbook looks protected\r\rPlease remove the protection and reopen "
            "Morvane©\rAfter that you may reprotect the workbook.\rThe message will not longer appear");
  EXPECT_EQ(f.messages.shown[0].style, vbExclamation);
  EXPECT_EQ(f.office.workbook().sheets.size(), 1u);
  EXPECT_TRUE(f.office.workbook().names.empty());
  EXPECT_EQ(chartNames("Sheet1"), QStringList{"Sales"});
  EXPECT_EQ(f.office.log.callsStartingWith("Range").size(), 0);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(StartToolTest, ProtectedWorkbookWithRegistryStartsAndRenames) {
  WorkbookOutline outline;
  outline.protectStructure = true;
  SheetOutline reg = worksheet("kukukukuZichron");
  reg.visible = excel::xlSheetVisible;  // an existing registry is not re-hidden
  outline.sheets = {worksheet("Sheet1", {"Sales"}), reg};
  f.office.openWorkbook(outline);
  start();
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_EQ(chartNames("Sheet1"), QStringList{"Chart 1"});
  EXPECT_EQ(f.office.sheet("kukukukuZichron")->visible, excel::xlSheetVisible);
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(StartToolTest, CreatesTheRegistrySheetVeryHiddenWithItsFormats) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"Sales"})};
  f.office.openWorkbook(outline);
  start();
  auto reg = f.office.sheet("kukukukuZichron");
  ASSERT_TRUE(reg);
  EXPECT_EQ(f.office.workbook().sheets.back(), reg);
  EXPECT_EQ(reg->visible, excel::xlSheetVeryHidden);
  EXPECT_EQ(reg->formatAt(5, 1), "@");
  EXPECT_EQ(reg->formatAt(5, 8), "@");
  EXPECT_EQ(reg->formatAt(5, 4), "0");
  EXPECT_EQ(reg->formatAt(5, 9), "General");
  ASSERT_EQ(f.office.workbook().names.size(), 1u);
  EXPECT_EQ(f.office.workbook().names[0]->name, "kuku123");
  EXPECT_EQ(f.office.workbook().names[0]->refersTo, "kukukukuZichron!$A:$H");
}

TEST_F(StartToolTest, RenamesChartsByPositionAcrossWorksheets) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("North", {"Sales"}), worksheet("South", {"Sales", "Mine"})};
  f.office.openWorkbook(outline);
  start();
  EXPECT_EQ(chartNames("North"), QStringList{"Chart 1"});
  EXPECT_EQ(chartNames("South"), (QStringList{"Chart 2", "Chart 3"}));
  // The first worksheet deleted, the next start renumbers from 1.
  f.office.sheet("North")->deleted = true;
  start();
  EXPECT_EQ(chartNames("South"), (QStringList{"Chart 1", "Chart 2"}));
  // Each chart is activated before it is named through the active chart's parent.
  const int activate = f.office.log.indexOf("ChartObject(Chart 2).Activate");
  ASSERT_GE(activate, 0);
  EXPECT_GT(f.office.log.indexOf("Chart(Chart 2).Parent", activate), activate);
}

TEST_F(StartToolTest, NoObjectsWhenOnlyTheRegistryNameExists) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1")};
  f.office.openWorkbook(outline);
  start();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt,
            "No objects to paste found! Please create a least one object in order to make Morvane© "
            "form visible");
  EXPECT_EQ(f.messages.shown[0].style, vbInformation);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(StartToolTest, AHiddenNameIsEnoughToOpenTheWindowInOrder) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1")};
  outline.names = {NameOutline{"Secret", "Sheet1!$A$1", true}};
  f.office.openWorkbook(outline);
  start();
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_EQ(f.office.log.callsStartingWith("Forms."),
            (QStringList{"Forms.ShowSplash", "Forms.LoadMainWindow", "Forms.ShowMainWindow",
                         "Forms.UnloadSplash"}));
  EXPECT_EQ(f.desktop.yields, 1);
  EXPECT_EQ(f.tool.counts.objectCount, 1);
}

TEST_F(StartToolTest, MajorVersionIsTheVersionsWholeNumber) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"A"})};
  f.office.openWorkbook(outline);
  f.office.excel->version = "11.0";
  start();
  EXPECT_EQ(f.tool.majorVersion, 11);
}

TEST_F(StartToolTest, AFailingCallIsReportedSavedAndEndsTheTool) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"A", "B"})};
  f.office.openWorkbook(outline);
  f.office.log.failOn("ChartObject(B).Activate");
  EXPECT_FALSE(morvane::startup::RunGuarded(f.tool, [&] { start(); }));
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.startsWith("Run-time error '1004':"));
  EXPECT_TRUE(f.messages.shown[0].prompt.contains("ChartObject(B).Activate"));
  EXPECT_EQ(f.office.commandSaves, 1);
  EXPECT_TRUE(f.tool.ended());
  EXPECT_EQ(chartNames("Sheet1"), (QStringList{"Chart 1", "B"}));  // left as far as it got
}

TEST_F(StartToolTest, CloseShowsTheClosingFormThenUnloads) {
  morvane::startup::CloseTool(f.tool);
  EXPECT_EQ(f.office.log.callsStartingWith("Forms."),
            (QStringList{"Forms.ShowClosing", "Forms.UnloadMainWindow", "Forms.UnloadClosing"}));
  EXPECT_EQ(f.desktop.yields, 1);
}
