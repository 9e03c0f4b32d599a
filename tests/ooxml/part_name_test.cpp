// Relationship targets resolved against their source parts, and written back relative.
#include "ooxml/package.h"

#include <gtest/gtest.h>

using namespace morvane;

using ooxml::Package;

struct TargetCase {
  const char* name;
  const char* source;
  const char* target;
  const char* resolved;
};

TEST(PartNames, ResolveTarget) {
  const TargetCase cases[] = {
      {"sibling folder", "/xl/workbook.xml", "worksheets/sheet1.xml", "/xl/worksheets/sheet1.xml"},
      {"parent folder", "/xl/worksheets/sheet1.xml", "../drawings/drawing1.xml",
       "/xl/drawings/drawing1.xml"},
      {"package root", "/", "xl/workbook.xml", "/xl/workbook.xml"},
      {"absolute", "/xl/worksheets/sheet1.xml", "/xl/media/a.png", "/xl/media/a.png"},
      {"dot segments", "/ppt/slides/slide1.xml", "./../slideLayouts/./layout1.xml",
       "/ppt/slideLayouts/layout1.xml"},
      {"percent-encoded", "/xl/workbook.xml", "media/my%20image%C3%A9.png",
       "/xl/media/my image\xC3\xA9.png"},
      {"fragment dropped", "/xl/workbook.xml", "sheet.xml#A1", "/xl/sheet.xml"},
      {"backslashes", "/xl/worksheets/sheet1.xml", "..\\media\\a.png", "/xl/media/a.png"},
      {"climbs above the root", "/xl/workbook.xml", "../../etc/passwd", ""},
      {"url", "/xl/workbook.xml", "https://example.org/x.xml", ""},
      {"only a fragment", "/xl/workbook.xml", "#Sheet1!A1", ""},
      {"the root itself", "/xl/workbook.xml", "..", ""},
  };
  for (const TargetCase& c : cases) {
    EXPECT_EQ(Package::resolveTarget(c.source, c.target), QString::fromUtf8(c.resolved)) << c.name;
  }
}

TEST(PartNames, RelativeTarget) {
  const TargetCase cases[] = {
      {"same folder", "/xl/workbook.xml", "/xl/styles.xml", "styles.xml"},
      {"child folder", "/xl/workbook.xml", "/xl/worksheets/sheet1.xml", "worksheets/sheet1.xml"},
      {"sibling folder", "/xl/worksheets/sheet1.xml", "/xl/drawings/drawing1.xml",
       "../drawings/drawing1.xml"},
      {"package root", "/", "/ppt/presentation.xml", "ppt/presentation.xml"},
      {"two levels up", "/xl/charts/deep/chart1.xml", "/docProps/app.xml",
       "../../../docProps/app.xml"},
      {"case-insensitive folders", "/XL/workbook.xml", "/xl/theme/theme1.xml", "theme/theme1.xml"},
      {"encoded space", "/xl/workbook.xml", "/xl/media/my image.png", "media/my%20image.png"},
  };
  for (const TargetCase& c : cases) {
    const QString relative = Package::relativeTarget(c.source, c.target);
    EXPECT_EQ(relative, QString::fromUtf8(c.resolved)) << c.name;
    // Every relative target resolves back to where it points (modulo letter case).
    EXPECT_EQ(Package::resolveTarget(c.source, relative).toCaseFolded(),
              QString(c.target).toCaseFolded())
        << c.name;
  }
}
