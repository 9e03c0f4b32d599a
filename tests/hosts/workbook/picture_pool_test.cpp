// PicturePool: bounded look-ahead, the run's order (passed pictures dropped, the last one kept
// for repeated copies), failures handed back, and a cancel that leaves no worker running.
#include "hosts/workbook/picture_pool.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using namespace morvane::hosts::workbook;

namespace {

enum class Outcome { Drawn, Refused, Throws };

struct Counters {
  std::atomic<int> gathered = 0, built = 0;
};

// `count` pictures "p0".."p<count-1>", each building after `buildMs`.
std::vector<PicturePool::Ahead> pictures(Counters& counters, int count, int buildMs = 0,
                                         Outcome outcome = Outcome::Drawn) {
  std::vector<PicturePool::Ahead> out;
  for (int i = 0; i < count; ++i) {
    out.push_back(
        {QStringLiteral("p%1").arg(i), [&counters, buildMs, outcome] {
           ++counters.gathered;
           return [&counters, buildMs, outcome]() -> BuiltPicture {
             std::this_thread::sleep_for(std::chrono::milliseconds(buildMs));
             ++counters.built;
             if (outcome == Outcome::Throws) throw std::runtime_error("out of memory");
             if (outcome == Outcome::Refused) return QStringLiteral("unreadable chart");
             return ClipboardPicture{
                 [](QPainter& p, const QRectF& r) { p.fillRect(r, Qt::red); }, QSizeF(20, 10), {}};
           };
         }});
  }
  return out;
}

TEST(PicturePoolTest, LooksAheadAFewPicturesPerWorkerOnly) {
  Counters counters;
  PicturePool pool(2);
  pool.announce(pictures(counters, 50), kOfferBitmap | kEncodePng);
  const int limit = 2 * PicturePool::kAheadPerWorker;
  EXPECT_EQ(counters.gathered, limit);
  const auto first = pool.take(QStringLiteral("p0"));
  ASSERT_TRUE(first);
  const auto& picture = std::get<ClipboardPicture>(*first);
  ASSERT_TRUE(picture.drawn);
  EXPECT_EQ(picture.drawn->image.pixel(1, 1), QColor(Qt::red).rgb());
  EXPECT_TRUE(picture.drawn->png.startsWith("\x89PNG"));
  EXPECT_TRUE(picture.drawn->emf.isEmpty());
  EXPECT_EQ(counters.gathered, limit + 1);
}

// The run's copies come in its order; one it passed is no longer drawn ahead, one asked again
// (a copy repeated for the same row) is the same picture, one never announced is not there.
TEST(PicturePoolTest, FollowsTheRunsOrder) {
  Counters counters;
  PicturePool pool(2);
  pool.announce(pictures(counters, 20), kOfferEmf);
  const struct {
    const char* key;
    bool drawnAhead;
  } takes[] = {{"p0", true}, {"p0", true},   {"p3", true},  {"p1", false},
               {"p4", true}, {"p15", false}, {"p16", true}, {"unknown", false}};
  std::shared_ptr<const DrawnForms> previous;
  for (const auto& t : takes) {
    SCOPED_TRACE(t.key);
    const auto taken = pool.take(QString::fromLatin1(t.key));
    ASSERT_EQ(taken.has_value(), t.drawnAhead);
    if (!taken) continue;
    const auto& drawn = std::get<ClipboardPicture>(*taken).drawn;
    ASSERT_TRUE(drawn);
    EXPECT_FALSE(drawn->emf.isEmpty());
    EXPECT_TRUE(drawn->image.isNull());
    if (QLatin1String(t.key) == QLatin1String("p0")) {
      if (previous) {
        EXPECT_EQ(drawn, previous);
      }
      previous = drawn;
    }
  }
}

// A refusal comes back as the picture's outcome, for the copy to raise; anything else a worker
// meets leaves the picture to its copy, which meets it again on the host's thread.
TEST(PicturePoolTest, HandsFailuresBackToTheCopy) {
  for (const Outcome outcome : {Outcome::Refused, Outcome::Throws}) {
    Counters counters;
    PicturePool pool(2);
    pool.announce(pictures(counters, 3, 0, outcome), kOfferBitmap);
    const auto taken = pool.take(QStringLiteral("p0"));
    if (outcome == Outcome::Refused) {
      ASSERT_TRUE(taken);
      EXPECT_EQ(std::get<QString>(*taken), QStringLiteral("unreadable chart"));
    } else {
      EXPECT_FALSE(taken);
    }
  }
}

TEST(PicturePoolTest, CancelLeavesNoWorkerAndDrawsNothingMore) {
  Counters counters;
  PicturePool pool(2);
  pool.announce(pictures(counters, 40, 30), kOfferBitmap);
  ASSERT_TRUE(pool.take(QStringLiteral("p0")));
  pool.cancel();
  EXPECT_EQ(pool.activeWorkers(), 0);
  const int built = counters.built;
  EXPECT_LE(built, 1 + 2 * PicturePool::kAheadPerWorker);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(counters.built, built);
  EXPECT_FALSE(pool.take(QStringLiteral("p1")));
  EXPECT_FALSE(pool.take(QStringLiteral("p0")));
}

}  // namespace
