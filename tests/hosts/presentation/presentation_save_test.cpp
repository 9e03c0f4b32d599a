// Saving: a reopened deck has the same slides and shapes, parts not touched stay byte for
// byte, and a failed save leaves what was on disk.
#include <unistd.h>

#include <QDir>
#include <QSet>

#include "host_fixture.h"
#include "support/pptx_validity.h"

using namespace morvane;

namespace {

using hosttest::fails;

TEST(Save, ReopenedDeckHasTheSameSlidesAndShapes) {
  const QString path =
      hosttest::freshPath(QStringLiteral("presentation_save"), QStringLiteral("reopen.pptx"));
  auto host = hosttest::openHost(path);
  ASSERT_TRUE(host);
  auto pres = host->activePresentation();
  for (int i = 1; i <= 2; ++i) {
    auto slide = pres->slidesAdd(i, ppt::ppLayoutBlank);
    host->activeWindow()->view()->gotoSlide(i);
    hosttest::putOnClipboard(hosttest::bitmap(100 * i, 60));
    host->activeWindow()->view()->pasteSpecial(ppt::ppPasteBitmap);
    slide->setLayout(ppt::ppLayoutTitleOnly);
    slide->shapes()->item(2)->select(ppt::msoTrue);
    host->activeWindow()->selection()->textRange()->setText(QStringLiteral("Slide %1").arg(i));
  }
  host->save();
  const QByteArray bytes = hosttest::readFile(path);
  EXPECT_EQ(pptxcheck::problems(bytes), QStringList());
  auto again = hosttest::openHost(path);
  ASSERT_TRUE(again);
  const ooxml::pptx::Document& a = host->document();
  const ooxml::pptx::Document& b = again->document();
  ASSERT_EQ(b.slideCount(), 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(b.shapes(i).size(), a.shapes(i).size());
    for (size_t k = 0; k < a.shapes(i).size(); ++k) {
      EXPECT_EQ(b.shapes(i)[k].id, a.shapes(i)[k].id);
      EXPECT_EQ(b.shapes(i)[k].kind, a.shapes(i)[k].kind);
      EXPECT_EQ(b.shapes(i)[k].frame, a.shapes(i)[k].frame);
    }
    EXPECT_EQ(again->activePresentation()->slide(i + 1)->layout(), ppt::ppLayoutTitleOnly);
    EXPECT_EQ(again->activePresentation()
                  ->slide(i + 1)
                  ->shapes()
                  ->item(2)
                  ->textFrame()
                  ->textRange()
                  ->text(),
              QStringLiteral("Slide %1").arg(i + 1));
  }
}

TEST(Save, PartsNotTouchedAreCopiedByteForByte) {
  const QString dir = testenv::corpusDir(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!dir.isEmpty(), "pptx corpus");
  const QString path =
      hosttest::freshPath(QStringLiteral("presentation_save"), QStringLiteral("corpus.pptx"));
  ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/poi_16x9_screen_custom_master.pptx"), path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  const QByteArray original = hosttest::readFile(path);
  auto host = hosttest::openHost(path);
  ASSERT_TRUE(host);
  auto pres = host->activePresentation();
  pres->slidesAdd(pres->slidesCount() + 1, ppt::ppLayoutBlank);
  host->activeWindow()->view()->gotoSlide(pres->slidesCount());
  hosttest::putOnClipboard(hosttest::bitmap(64, 64));
  host->activeWindow()->view()->pasteSpecial(ppt::ppPasteBitmap);
  host->save();

  auto before = ooxml::Package::openBytes(original, QStringLiteral("before"));
  auto after = ooxml::Package::openBytes(hosttest::readFile(path), QStringLiteral("after"));
  ASSERT_TRUE(before.ok() && after.ok());
  const QSet<QString> edited = {QStringLiteral("/ppt/presentation.xml"),
                                QStringLiteral("/ppt/_rels/presentation.xml.rels"),
                                QStringLiteral("/[Content_Types].xml")};
  int compared = 0;
  for (const QString& part : before.value()->partNames()) {
    if (edited.contains(part)) continue;
    ASSERT_TRUE(after.value()->hasPart(part)) << part.toStdString();
    EXPECT_EQ(*after.value()->read(part), *before.value()->read(part)) << part.toStdString();
    ++compared;
  }
  EXPECT_GT(compared, 150);
  const QStringList known = pptxcheck::problems(original);
  for (const QString& p : pptxcheck::problems(hosttest::readFile(path)))
    EXPECT_TRUE(known.contains(p)) << p.toStdString();
}

TEST(Save, AFailedSaveLeavesWhatWasOnDisk) {
  const QString dir = testenv::outputDir(QStringLiteral("presentation_save/failing"));
  // The target is a folder: the rename cannot replace it.
  const QString folderTarget = dir + QStringLiteral("/deck.pptx");
  QDir().mkpath(folderTarget + QStringLiteral("/inside"));
  {
    auto host = std::make_shared<hosts::presentation::PresentationHost>(
        ooxml::pptx::Document::createBlank(), folderTarget);
    EXPECT_TRUE(fails([&] { host->save(); }));
    EXPECT_TRUE(QFileInfo(folderTarget + QStringLiteral("/inside")).isDir());
  }
  // The folder vanished after opening.
  const QString gone = dir + QStringLiteral("/gone");
  QDir(gone).removeRecursively();
  QDir().mkpath(gone);
  auto host = hosttest::openHost(gone + QStringLiteral("/deck.pptx"));
  ASSERT_TRUE(host);
  QDir(gone).removeRecursively();
  try {
    host->save();
    ADD_FAILURE() << "saving into a missing folder succeeded";
  } catch (const office::AutomationError& e) {
    EXPECT_TRUE(e.description().contains(QStringLiteral("deck.pptx"))) << e.what();
  }
  EXPECT_FALSE(QFileInfo::exists(gone));
  // A read-only folder (only meaningful when not running as root).
  if (::geteuid() != 0) {
    const QString ro = dir + QStringLiteral("/readonly");
    QDir().mkpath(ro);
    const QString path = ro + QStringLiteral("/deck.pptx");
    QFile::remove(path);
    auto first = hosttest::openHost(path);
    first->save();
    const QByteArray old = hosttest::readFile(path);
    first->activePresentation()->slidesAdd(1, ppt::ppLayoutBlank);
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(fails([&] { first->save(); }));
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(hosttest::readFile(path), old);
  }
}

}  // namespace
