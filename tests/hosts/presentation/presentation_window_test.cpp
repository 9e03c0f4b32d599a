// Slides, layouts, the selection rules and labels on the presentation host.
#include "host_fixture.h"
#include "hosts/presentation/host.h"

using namespace morvane;

namespace {

using hosttest::fails;

std::shared_ptr<hosts::presentation::PresentationHost> corpusHost(const QString& file,
                                                                  const QString& copyName) {
  const QString dir = testenv::corpusDir(QStringLiteral("pptx"));
  if (dir.isEmpty()) return nullptr;
  const QString path = hosttest::freshPath(QStringLiteral("presentation_window"), copyName);
  EXPECT_TRUE(QFile::copy(dir + QLatin1Char('/') + file, path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  return hosttest::openHost(path);
}

TEST(NoPresentation, HasNoWindowAndNothingToSave) {
  hosts::presentation::PresentationHost host;
  EXPECT_EQ(host.windowsCount(), 0);
  EXPECT_EQ(host.version(), "16.0");
  EXPECT_TRUE(fails([&] { host.activePresentation(); }));
  EXPECT_TRUE(fails([&] { host.activeWindow(); }));
  EXPECT_NO_THROW(host.save());
}

TEST(Layouts, TitleOnlyAddsATitleAfterExistingShapesAndKeepsAnExistingTitle) {
  MORVANE_REQUIRE(!testenv::corpusDir(QStringLiteral("pptx")).isEmpty(), "pptx corpus");
  auto host =
      corpusHost(QStringLiteral("pp_4x3_picture_slides.pptx"), QStringLiteral("pictures.pptx"));
  ASSERT_TRUE(host);
  auto slide = host->activePresentation()->slide(1);
  const int before = slide->shapes()->count();
  const QString firstName = slide->shapes()->item(1)->name();
  ASSERT_GE(before, 1);
  slide->setLayout(ppt::ppLayoutTitleOnly);
  EXPECT_EQ(slide->layout(), ppt::ppLayoutTitleOnly);
  ASSERT_EQ(slide->shapes()->count(), before + 1);
  EXPECT_EQ(slide->shapes()->item(1)->name(), firstName);
  EXPECT_TRUE(slide->shapes()->item(before + 1)->name().startsWith(QLatin1String("Title")));
  slide->setLayout(ppt::ppLayoutBlank);
  slide->setLayout(ppt::ppLayoutTitleOnly);
  EXPECT_EQ(slide->shapes()->count(), before + 1);

  auto withTitle = corpusHost(QStringLiteral("poi_4x3_one_slide_per_layout.pptx"),
                              QStringLiteral("layouts.pptx"));
  ASSERT_TRUE(withTitle);
  auto first = withTitle->activePresentation()->slide(1);  // a Title Slide: centred title
  const int shapes = first->shapes()->count();
  first->setLayout(ppt::ppLayoutTitleOnly);
  EXPECT_EQ(first->shapes()->count(), shapes);
}

TEST(Slides, NewSlidesJoinTheMasterOfTheLastSlide) {
  MORVANE_REQUIRE(!testenv::corpusDir(QStringLiteral("pptx")).isEmpty(), "pptx corpus");
  // Build a two-master deck whose last slide is on the second master.
  auto doc = ooxml::pptx::Document::open(testenv::corpusDir(QStringLiteral("pptx")) +
                                         QStringLiteral("/pp_4x3_two_masters.pptx"));
  ASSERT_TRUE(doc.ok());
  const QString second = doc.value()->masters()[1].part;
  ASSERT_TRUE(
      doc.value()->addSlide(0, *doc.value()->layoutOfType(second, QStringLiteral("blank"))).ok());
  const QString path = hosttest::freshPath(QStringLiteral("presentation_window"),
                                           QStringLiteral("two_masters.pptx"));
  ASSERT_TRUE(doc.value()->save(path).ok());
  auto host = hosttest::openHost(path);
  ASSERT_TRUE(host);
  auto pres = host->activePresentation();
  auto added = pres->slidesAdd(2, ppt::ppLayoutTitleOnly);
  const ooxml::pptx::Document& d = host->document();
  EXPECT_EQ(d.masterOfLayout(d.slideLayout(1)), second);
  EXPECT_EQ(added->shapes()->count(), 1);  // its title
  EXPECT_TRUE(fails([&] { pres->slidesAdd(5, ppt::ppLayoutBlank); }));
  EXPECT_TRUE(fails([&] { pres->slidesAdd(1, 999); }));
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    m_host = hosttest::openHost(hosttest::freshPath(QStringLiteral("presentation_window"),
                                                    QStringLiteral("selection.pptx")));
    ASSERT_TRUE(m_host);
    auto pres = m_host->activePresentation();
    pres->slidesAdd(1, ppt::ppLayoutBlank);
    pres->slidesAdd(2, ppt::ppLayoutBlank);
  }
  std::shared_ptr<ppt::Selection> selection() { return m_host->activeWindow()->selection(); }
  std::shared_ptr<hosts::presentation::PresentationHost> m_host;
};

TEST_F(Window, SelectionRules) {
  auto window = m_host->activeWindow();
  EXPECT_EQ(window->view()->slide()->slideIndex(), 1);  // the first slide is shown
  EXPECT_TRUE(fails([&] { selection()->slideRange(); }));
  EXPECT_TRUE(fails([&] { selection()->shapeRange(); }));
  EXPECT_TRUE(fails([&] { selection()->textRange(); }));

  auto second = m_host->activePresentation()->slide(2);
  second->select();
  EXPECT_EQ(window->view()->slide()->slideIndex(), 2);
  EXPECT_EQ(selection()->slideRange()->shapes()->count(), 0);
  EXPECT_TRUE(fails([&] { selection()->shapeRange(); }));

  hosttest::putOnClipboard(hosttest::bitmap(50, 50));
  window->view()->pasteSpecial(ppt::ppPasteBitmap);
  auto label = second->shapes()->addLabel(1, 10, 10, 8.5f, 28.875f);
  EXPECT_TRUE(fails([&] { selection()->textRange(); }));  // the picture is selected
  label->select(ppt::msoTrue);                            // replaces the selection
  selection()->textRange()->setText(QStringLiteral("abc"));
  selection()->shapeRange()->textFrame()->textRange()->characters(2, 0)->select();
  selection()->textRange()->setText(QStringLiteral("XY"));  // typed at the cursor
  EXPECT_EQ(label->textFrame()->textRange()->text(), QStringLiteral("aXYbc"));
  EXPECT_EQ(selection()->textRange()->text(), QStringLiteral("XY"));

  window->view()->gotoSlide(1);
  EXPECT_EQ(window->view()->slide()->slideIndex(), 1);
  EXPECT_TRUE(fails([&] { selection()->shapeRange(); }));
  EXPECT_TRUE(fails([&] { window->view()->gotoSlide(3); }));
  EXPECT_TRUE(fails([&] { window->setViewType(0); }));
}

TEST_F(Window, LabelsWithoutWrapGrowToTheirTextFromTheLeftEdge) {
  auto slide = m_host->activePresentation()->slide(1);
  auto label = slide->shapes()->addLabel(1, 20.25f, 515, 8.5f, 28.875f);
  label->select(ppt::msoTrue);
  label->textFrame()->setWordWrap(ppt::msoFalse);
  selection()->shapeRange()->textFrame()->textRange()->characters(1, 0)->select();
  auto text = selection()->textRange();
  text->setParagraphAlignment(ppt::ppAlignLeft);
  text->setText(
      QStringLiteral("/home/user/reports/Quarterly Sales 2026.xlsx ,  Chart 1 ,  Sheet1"));
  text->setFontSize(10);
  text->setFontName(QStringLiteral("Tahoma"));
  selection()->unselect();
  EXPECT_FLOAT_EQ(label->left(), 20.25f);
  EXPECT_FLOAT_EQ(label->top(), 515);
  EXPECT_GT(label->width(), 200);  // one line, far wider than the 8.5 points it started with
  EXPECT_LT(label->height(), 20);  // one 10-point line
  EXPECT_EQ(label->textFrame()->wordWrap(), ppt::msoFalse);
  EXPECT_TRUE(fails([&] { selection()->slideRange(); }));
}

}  // namespace
