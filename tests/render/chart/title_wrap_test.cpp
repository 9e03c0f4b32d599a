// Long chart and axis titles wrap at word boundaries to the room they have and are never
// clipped: every line fits, every word appears, and the plot makes room for the lines.
#include <gtest/gtest.h>

#include <tuple>

#include "inline_chart.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_text.h"

using namespace morvane;

namespace {

using charttest::chartFromXml;
using charttest::layOut;
using charttest::numRef;
using charttest::strRef;

const QString kLong =
    "Quarterly revenue by region compared with the budget agreed at the start of the financial "
    "year";

// A title of rich text; `pPr` as the program writes it, or none as some libraries do.
QString richTitle(const QString& text, const QString& bodyPr = "<a:bodyPr/>",
                  const QString& pPr = "<a:pPr><a:defRPr/></a:pPr>") {
  return "<c:title><c:tx><c:rich>" + bodyPr + "<a:p>" + pPr + "<a:r><a:t>" + text.toHtmlEscaped() +
         "</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title>";
}

QString column(const QString& chartTitle, const QString& catTitle = QString(),
               const QString& valTitle = QString()) {
  return chartTitle +
         "<c:autoTitleDeleted val=\"0\"/><c:plotArea><c:barChart><c:barDir val=\"col\"/>"
         "<c:grouping val=\"clustered\"/>" +
         charttest::series(0, "Revenue", strRef({"North", "South", "East", "West"}),
                           numRef({4, 7, 5, 6})) +
         "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart><c:catAx><c:axId val=\"1\"/>"
         "<c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:axPos val=\"b\"/>" +
         catTitle +
         "<c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId val=\"2\"/><c:scaling><c:orientation "
         "val=\"minMax\"/></c:scaling><c:axPos val=\"l\"/><c:majorGridlines/>" +
         valTitle +
         "<c:crossAx val=\"1\"/><c:crossBetween val=\"between\"/></c:valAx></c:plotArea>";
}

QStringList words(const QString& text) { return text.simplified().split(' ', Qt::SkipEmptyParts); }

TEST(TitleWrap, LongChartTitleWrapsToTheChartWidth) {
  const auto chart = chartFromXml(column(richTitle(kLong)));
  const QSizeF size(300, 220);
  const render::chart::ChartLayout l = layOut(chart, size);
  const QStringList lines = l.title.split('\n');
  ASSERT_GE(lines.size(), 2);
  const double room = size.width() - 14;  // the chart area less its margins
  for (const QString& line : lines) {
    EXPECT_LE(render::chart::measureText(l.titleStyle, line).width(), room) << line.toStdString();
    EXPECT_EQ(line, line.trimmed());
  }
  EXPECT_EQ(words(l.title), words(kLong)) << "every word, in order";
  // The lines are centred in the chart, and the plot starts below the last one.
  const QSizeF block = render::chart::measureText(l.titleStyle, l.title);
  EXPECT_NEAR(l.titleCenter.x(), size.width() / 2, 1e-9);
  EXPECT_GE(l.titleCenter.x() - block.width() / 2, 0);
  EXPECT_GE(l.plotOuter.top(), l.titleCenter.y() + block.height() / 2);
  // Drawn: ink on each title line's band, none past the chart.
  const QImage image = charttest::picture(chart, size);
  const double lineHeight = block.height() / lines.size();
  for (int i = 0; i < lines.size(); ++i) {
    const QRectF band(0, l.titleCenter.y() - block.height() / 2 + i * lineHeight + 2, size.width(),
                      lineHeight - 4);
    EXPECT_GT(charttest::inkIn(image, band), 20) << "line " << i;
  }
  charttest::savePng(image, "chart-title-wrap", "long_chart_title");
}

TEST(TitleWrap, ShortTitlesStayOnOneLine) {
  const render::chart::ChartLayout l = layOut(chartFromXml(column(richTitle("Revenue"))));
  EXPECT_EQ(l.title, "Revenue");
  EXPECT_TRUE(l.titleStyle.font.bold());
  // Without paragraph properties the title is drawn regular, at 18 pt still.
  const render::chart::ChartLayout bare =
      layOut(chartFromXml(column(richTitle("Revenue", "<a:bodyPr/>", QString()))));
  EXPECT_FALSE(bare.titleStyle.font.bold());
  EXPECT_EQ(bare.titleStyle.font.pointSizeF(), l.titleStyle.font.pointSizeF());
}

// Axis titles as the program writes them (10 pt bold) and without paragraph properties
// (18 pt regular) wrap alike.
TEST(TitleWrap, AxisTitlesWrapToTheirAxis) {
  for (const auto& [pPr, sizePt, bold] :
       {std::tuple{QString("<a:pPr><a:defRPr/></a:pPr>"), 10.0, true},
        std::tuple{QString(), 18.0, false}}) {
    SCOPED_TRACE(sizePt);
    const QString cat = richTitle(kLong, "<a:bodyPr/>", pPr);
    const QString val = richTitle("Revenue in thousands of euros after returns and discounts",
                                  "<a:bodyPr rot=\"-5400000\" vert=\"horz\"/>", pPr);
    const auto chart = chartFromXml(column(QString(), cat, val));
    const QSizeF size(320, 200);
    const render::chart::ChartLayout l = layOut(chart, size);
    const render::chart::AxisLayout* horizontal = nullptr;
    const render::chart::AxisLayout* vertical = nullptr;
    for (const render::chart::AxisLayout& a : l.axes) (a.horizontal ? horizontal : vertical) = &a;
    ASSERT_TRUE(horizontal && vertical);
    EXPECT_EQ(horizontal->titleStyle.font.pointSizeF(), sizePt);
    EXPECT_EQ(vertical->titleStyle.font.bold(), bold);
    ASSERT_TRUE(horizontal->title.contains('\n'));
    ASSERT_TRUE(vertical->title.contains('\n'));
    // Each line fits along its axis: the plot's width or height, on which the title is centred.
    for (const QString& line : horizontal->title.split('\n'))
      EXPECT_LE(render::chart::measureText(horizontal->titleStyle, line).width(),
                l.plotArea.width() + 1e-9);
    for (const QString& line : vertical->title.split('\n'))
      EXPECT_LE(render::chart::measureText(vertical->titleStyle, line).width(),
                l.plotArea.height() + 1e-9);
    // At 18 pt the long title would take more than its third of the chart: it ends in "…".
    if (bold)
      EXPECT_EQ(words(horizontal->title), words(kLong));
    else
      EXPECT_TRUE(horizontal->title.endsWith(QChar(0x2026)));
    // The titles keep clear of the plot and stay inside the chart.
    const QSizeF h = render::chart::measureRotated(horizontal->titleStyle, horizontal->title);
    const QSizeF v = render::chart::measureRotated(vertical->titleStyle, vertical->title);
    EXPECT_GE(horizontal->titleCenter.y() - h.height() / 2, l.plotArea.bottom());
    EXPECT_LE(horizontal->titleCenter.y() + h.height() / 2, size.height());
    EXPECT_LE(vertical->titleCenter.x() + v.width() / 2, l.plotArea.left());
    EXPECT_GE(vertical->titleCenter.x() - v.width() / 2, 0);
    EXPECT_GE(horizontal->titleCenter.x() - h.width() / 2, l.plotArea.left() - 1e-9);
    EXPECT_LE(horizontal->titleCenter.x() + h.width() / 2, l.plotArea.right() + 1e-9);
    EXPECT_GE(vertical->titleCenter.y() - v.height() / 2, l.plotArea.top() - 1e-9);
    EXPECT_LE(vertical->titleCenter.y() + v.height() / 2, l.plotArea.bottom() + 1e-9);
    charttest::savePng(charttest::picture(chart, size), "chart-title-wrap",
                       QString("long_axis_titles_%1pt").arg(sizePt));
  }
}

TEST(TitleWrap, WrapTextBreaksAtSpacesAndKeepsLineBreaks) {
  const render::chart::TextStyle style = render::chart::makeTextStyle(
      ooxml::chart::defaultTheme(), ooxml::chart::TextFormat(), 10, false, Qt::black);
  // Any two neighbouring words fit, three never do.
  double width = 0;
  for (const char* pair : {"alpha beta", "beta gamma", "gamma delta"})
    width = std::max(width, render::chart::measureText(style, pair).width() + 0.5);
  ASSERT_GT(render::chart::measureText(style, "beta gamma delta").width(), width);
  EXPECT_EQ(render::chart::wrapText(style, "alpha beta gamma delta", width),
            "alpha beta\ngamma delta");
  EXPECT_EQ(render::chart::wrapText(style, "alpha\nbeta gamma delta", width),
            "alpha\nbeta gamma\ndelta");
  EXPECT_EQ(render::chart::wrapText(style, "alpha   beta", 1000), "alpha beta")
      << "runs of spaces fold";
  EXPECT_EQ(render::chart::wrapText(style, "", width), "");
}

TEST(TitleWrap, AWordWiderThanTheRoomBreaksRatherThanClips) {
  const render::chart::TextStyle style = render::chart::makeTextStyle(
      ooxml::chart::defaultTheme(), ooxml::chart::TextFormat(), 18, true, Qt::black);
  const QString word = "Pneumonoultramicroscopicsilicovolcanoconiosis";
  const double width = 120;
  const QString wrapped = render::chart::wrapText(style, "A " + word + " B", width);
  for (const QString& line : wrapped.split('\n'))
    EXPECT_LE(render::chart::measureText(style, line).width(), width);
  EXPECT_EQ(QString(wrapped).remove('\n').remove(' '), "A" + word + "B");
  // Even a width below one letter shows every letter, one per line.
  EXPECT_EQ(render::chart::wrapText(style, "abc", 1), "a\nb\nc");
}

}  // namespace
