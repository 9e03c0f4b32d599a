// Placement of a pasted object and the source label, on the office double.
#include "paste/placement.h"
#include "paste/source_label.h"
#include "paste_fixture.h"

#include "registry/registry.h"

using namespace morvane;

using pastetest::PasteTest;

namespace {

class PlacementTest : public PasteTest {
 protected:
  // A shape of w × h on slide 1, the slide shown and selected, as after a paste.
  std::shared_ptr<fake::ShapeState> pasted(float w, float h) {
    auto shape = std::make_shared<fake::ShapeState>();
    shape->kind = fake::ShapeState::Kind::Picture;
    shape->left = 100, shape->top = 50, shape->width = w, shape->height = h;
    slide(1)->shapes.push_back(std::make_shared<fake::ShapeState>());  // an earlier shape
    slide(1)->shapes.push_back(shape);
    f.office.powerPoint->shownSlide = 1;
    f.office.powerPoint->selected = fake::PowerPointState::Selected::Slide;
    return shape;
  }
  void place() {
    auto app = f.office.attachPowerPoint();
    std::shared_ptr<ppt::Presentation> presentation;
    paste::PPTSLIDESLAYOUT(*app, *f.tool.workbook, presentation);
    EXPECT_TRUE(presentation);
  }
};

}  // namespace

TEST_F(PlacementTest, SmallObjectGrowsToTheMaximumWidthAtTheBuiltInCorner) {
  const auto shape = pasted(340, 100);
  place();
  EXPECT_FLOAT_EQ(shape->width, 680);
  EXPECT_FLOAT_EQ(shape->height, 200);
  EXPECT_FLOAT_EQ(shape->left, 20);
  EXPECT_FLOAT_EQ(shape->top, 120);
  EXPECT_EQ(shape->lockAspectRatio, ppt::msoFalse);
  EXPECT_EQ(f.office.powerPoint->viewType, ppt::ppViewSlide);
  // The last shape of the slide is the one selected and scaled.
  EXPECT_GE(log().indexOf("Shapes.Item(2)"), 0);
  EXPECT_EQ(log().count("ShapeRange.ScaleWidth(2,0,0)"), 1);
  EXPECT_EQ(log().count("ShapeRange.ScaleHeight(2,0,2)"), 1);
}

TEST_F(PlacementTest, LargeObjectShrinksUntilItsHeightFits) {
  const auto shape = pasted(1360, 1600);
  place();
  EXPECT_FLOAT_EQ(shape->width, 340);
  EXPECT_FLOAT_EQ(shape->height, 400);
  EXPECT_FLOAT_EQ(shape->left, 20);
  EXPECT_FLOAT_EQ(shape->top, 120);
  EXPECT_EQ(log().callsStartingWith("ShapeRange.Scale"),
            QStringList({"ShapeRange.ScaleWidth(0.5,0,0)", "ShapeRange.ScaleHeight(0.5,0,2)",
                         "ShapeRange.ScaleWidth(0.5,0,0)", "ShapeRange.ScaleHeight(0.5,0,2)"}));
}

TEST_F(PlacementTest, SmallTallObjectIsReducedFromTheTopLeftAfterGrowing) {
  const auto shape = pasted(100, 100);  // 680 × 680 first, then down to 400 × 400
  place();
  EXPECT_NEAR(shape->width, 400, 0.01);
  EXPECT_NEAR(shape->height, 400, 0.01);
  const QStringList scales = log().callsStartingWith("ShapeRange.Scale");
  ASSERT_EQ(scales.size(), 4);
  EXPECT_TRUE(scales[3].endsWith(",0,0)")) << scales[3].toStdString();
}

TEST_F(PlacementTest, ObjectAsWideAsTheBoxIsNotScaledEvenWhenTooTall) {
  const auto shape = pasted(680, 900);
  place();
  EXPECT_FLOAT_EQ(shape->width, 680);
  EXPECT_FLOAT_EQ(shape->height, 900);
  EXPECT_EQ(log().count("ShapeRange.Scale"), 0);
  EXPECT_FLOAT_EQ(shape->left, 20);
  EXPECT_FLOAT_EQ(shape->top, 120);
}

TEST_F(PlacementTest, OptionCellsGiveTheBoxWhenEitherMaximumIsSet) {
  setOption(registry::kLeftColumn, 10);
  setOption(registry::kTopColumn, 30);
  setOption(registry::kMaxWidthColumn, 500);
  setOption(registry::kMaxHeightColumn, 300);
  const auto shape = pasted(250, 100);
  place();
  EXPECT_FLOAT_EQ(shape->width, 500);
  EXPECT_FLOAT_EQ(shape->height, 200);
  EXPECT_FLOAT_EQ(shape->left, 10);
  EXPECT_FLOAT_EQ(shape->top, 30);
}

TEST_F(PlacementTest, CornerCellsAloneDoNotReplaceTheBuiltInBox) {
  setOption(registry::kLeftColumn, 55);
  setOption(registry::kTopColumn, 66);
  const auto shape = pasted(340, 100);
  place();
  EXPECT_FLOAT_EQ(shape->left, 20);
  EXPECT_FLOAT_EQ(shape->top, 120);
  EXPECT_FLOAT_EQ(shape->width, 680);
}

// One maximum set and the other empty would scale by 0: the object keeps its pasted size
// (never a shape without size in the file) and is still moved to the box's corner.
TEST_F(PlacementTest, ZeroMaximumLeavesTheObjectUnscaled) {
  setOption(registry::kMaxWidthColumn, 500);
  const auto shape = pasted(340, 100);
  place();
  EXPECT_FLOAT_EQ(shape->width, 340);
  EXPECT_FLOAT_EQ(shape->height, 100);
  EXPECT_FLOAT_EQ(shape->left, 0);
  EXPECT_FLOAT_EQ(shape->top, 0);
  EXPECT_EQ(log().count("ShapeRange.Scale"), 0);

  setOption(registry::kMaxWidthColumn, office::Variant());
  setOption(registry::kMaxHeightColumn, 300);
  const auto other = pasted(1000, 100);
  place();
  EXPECT_FLOAT_EQ(other->width, 720);  // not scaled by the box, but kept on the slide
  EXPECT_FLOAT_EQ(other->height, 72);
}

TEST_F(PlacementTest, TextInAnOptionCellEndsTheStepWithATypeMismatch) {
  setOption(registry::kMaxWidthColumn, "wide");
  pasted(340, 100);
  try {
    place();
    FAIL() << "no error";
  } catch (const office::AutomationError& e) {
    EXPECT_EQ(e.number(), office::AutomationError::kTypeMismatch);
  }
}

TEST_F(PlacementTest, LabelIsWrittenThroughTheSelectionInOrder) {
  pasted(100, 100);
  auto app = f.office.attachPowerPoint();
  f.office.log.clear();
  const QString text = paste::labelText("/home/user/Book1.xlsx", "Chart 1", "Data");
  EXPECT_EQ(text, "/home/user/Book1.xlsx ,  Chart 1 ,  Data");
  paste::LabelInSlide(*app, text, paste::labelPosition({}, true));

  const QStringList calls = log().calls();
  const QStringList order = {"Shapes.AddLabel(1,20.25,515,8.5,28.875)", "Select(-1)", "TextFrame.WordWrap=0",
                             "TextRange.Characters(1,0)", "TextRange.Select",
                             "TextRange.ParagraphFormat.Alignment=1", "TextRange.Text=" + text,
                             "TextRange.Font.Size=10", "TextRange.Font.Name=Tahoma", "Selection.Unselect"};
  int at = 0;
  for (const QString& step : order) {
    const auto it = std::find_if(calls.begin() + at, calls.end(), [&](const QString& c) { return c.contains(step); });
    ASSERT_NE(it, calls.end()) << "missing or out of order: " << step.toStdString();
    at = int(it - calls.begin()) + 1;
  }
  const auto label = slide(1)->shapes.back();
  EXPECT_EQ(label->kind, fake::ShapeState::Kind::Label);
  EXPECT_EQ(label->text, text);
  EXPECT_EQ(label->fontName, "Tahoma");
  EXPECT_FLOAT_EQ(label->fontSize, 10);
  EXPECT_EQ(label->wordWrap, ppt::msoFalse);
  EXPECT_FLOAT_EQ(label->left, 20.25f);
  EXPECT_FLOAT_EQ(label->top, 515);
  EXPECT_EQ(f.office.powerPoint->selected, fake::PowerPointState::Selected::Nothing);
}

namespace {

struct PlacementBoxCells {
  float left, top, width, height;
};

struct SlideCase {
  const char* name;
  float width, height;
};

void PrintTo(const SlideCase& c, std::ostream* os) { *os << c.name; }

const SlideCase kSlides[] = {{"FourByThree", 720, 540}, {"Wide720", 720, 405},
                             {"Wide960", 960, 540},     {"SixteenByTen", 720, 450},
                             {"A4", 780, 540},          {"XGA", 1024, 768},
                             {"Banner", 720, 200}};

class SlideSizeTest : public PlacementTest, public ::testing::WithParamInterface<SlideCase> {
 protected:
  SlideSizeTest() {
    f.office.powerPoint->presentation->slideWidth = GetParam().width;
    f.office.powerPoint->presentation->slideHeight = GetParam().height;
  }
  void expectOnSlide(const fake::ShapeState& shape) {
    const float tolerance = 1e-3f;
    EXPECT_GE(shape.left, -tolerance);
    EXPECT_GE(shape.top, -tolerance);
    EXPECT_LE(shape.left + shape.width, GetParam().width + tolerance);
    EXPECT_LE(shape.top + shape.height, GetParam().height + tolerance);
    EXPECT_GT(shape.width, 0);
  }
  float sx() const { return GetParam().width / 720; }
  float sy() const { return GetParam().height / 540; }
};

}  // namespace

// The built-in box and the label cover the same part of every slide as of 720 x 540, where
// they stay where they always were; the label's first line is always on the slide.
TEST_P(SlideSizeTest, BuiltInBoxAndLabelFollowTheSlide) {
  for (const QSizeF size : {QSizeF(60, 45), QSizeF(1360, 1600), QSizeF(3000, 200)}) {
    const auto shape = pasted(float(size.width()), float(size.height()));
    place();
    expectOnSlide(*shape);
    EXPECT_FLOAT_EQ(shape->left, 20 * sx());
    EXPECT_FLOAT_EQ(shape->top, 120 * sy());
    EXPECT_TRUE(qFuzzyCompare(shape->width, 680 * sx()) ||
                qFuzzyCompare(shape->height, 400 * sy()));
  }
  const QPointF label = paste::labelPosition({GetParam().width, GetParam().height}, true);
  EXPECT_FLOAT_EQ(float(label.x()), 20.25f * sx());
  // Mapped, unless a slide so low would lose the first line (a 10-point line and its inset).
  EXPECT_FLOAT_EQ(float(label.y()), std::min(515 * sy(), GetParam().height - 16));
}

// Boxes typed into the option cells are used in points as given; a picture they would put
// off the slide comes back on it, its proportions kept.
TEST_P(SlideSizeTest, OptionCellBoxesNeverPutAPictureOffTheSlide) {
  const PlacementBoxCells boxes[] = {{20, 120, 680, 400},
                                     {900, 600, 300, 200},
                                     {-50, -20, 500, 300},
                                     {0, 0, 5000, 5000},
                                     {700, 10, 400, 100}};
  for (const auto& box : boxes) {
    setOption(registry::kLeftColumn, box.left);
    setOption(registry::kTopColumn, box.top);
    setOption(registry::kMaxWidthColumn, box.width);
    setOption(registry::kMaxHeightColumn, box.height);
    for (const QSizeF size : {QSizeF(340, 100), QSizeF(100, 300)}) {
      SCOPED_TRACE(QStringLiteral("box at %1,%2 picture %3 x %4")
                       .arg(box.left)
                       .arg(box.top)
                       .arg(size.width())
                       .arg(size.height())
                       .toStdString());
      const auto shape = pasted(float(size.width()), float(size.height()));
      place();
      expectOnSlide(*shape);
      EXPECT_NEAR(shape->width / shape->height, size.width() / size.height(), 1e-3);
      const bool fits = box.left >= 0 && box.top >= 0 && box.left + box.width <= GetParam().width &&
                        box.top + box.height <= GetParam().height;
      if (fits) {  // nothing to mend: exactly where the cells say
        EXPECT_FLOAT_EQ(shape->left, box.left);
        EXPECT_FLOAT_EQ(shape->top, box.top);
      }
    }
  }
  EXPECT_FLOAT_EQ(float(paste::labelPosition({GetParam().width, GetParam().height}, false).x()),
                  20.25f);
}

INSTANTIATE_TEST_SUITE_P(Slides, SlideSizeTest, ::testing::ValuesIn(kSlides),
                         [](const auto& info) { return std::string(info.param.name); });
